// The images of the M-Bus models 10 and 21: the network image byte for byte,
// its two copies, the two blocks, the fixed and the variable SNMP map, and
// the projects the converter cannot take.
#include "MBusImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace std::string_literals;

namespace {


std::string Refusal(const TProjectFixture& p) {
    try {
        Build_Device_Image(p.Sources());
    } catch (const EImageError& e) {
        return e.what();
    }
    return "(built)";
}

// Bytes expected in a file, appended in order.
struct TBytes {
    std::string s;
    TBytes& U8(std::uint32_t v) { s += char(v); return *this; }
    TBytes& U16(std::uint32_t v) { return U8(v).U8(v >> 8); }
    TBytes& U32(std::uint32_t v) { return U16(v).U16(v >> 16); }
    TBytes& Raw(const std::string& bytes) { s += bytes; return *this; }
};

// The positions a network image stores, found by walking it from its base.
std::set<std::size_t> Stored_Positions(const std::string& file, std::size_t base, std::size_t variableSize) {
    std::set<std::size_t> at = {base, base + 4};
    std::size_t node = U32_At(file, base);
    std::size_t firstVariable = U32_At(file, node + 7);
    for (; node < firstVariable; node += 23) {
        at.insert(node + 7);
        std::size_t variable = U32_At(file, node + 7);
        for (std::uint32_t i = 0; i < U16_At(file, node + 5); ++i) at.insert(variable + variableSize * i + 21);
    }
    return at;
}

// "bank.bin" from 2048 is the image of "bank2.bin", each stored position 2048 further on.
void Expect_Same_Network(const std::string& bank, const std::string& bank2, std::size_t variableSize) {
    ASSERT_EQ(bank.size(), 2048 + bank2.size());
    EXPECT_EQ(U8_At(bank, 2048), 0xC0u);
    EXPECT_EQ(U32_At(bank, 2049), 2057u);
    std::string copy = bank.substr(2048);
    std::set<std::size_t> stored = Stored_Positions(bank2, 1, variableSize), inBank;
    for (std::size_t at : Stored_Positions(bank, 2049, variableSize)) inBank.insert(at - 2048);
    EXPECT_EQ(stored, inBank);
    std::set<std::size_t> covered;
    for (std::size_t at : stored) {
        EXPECT_EQ(U32_At(copy, at), U32_At(bank2, at) + 2048) << at;
        for (std::size_t k = 0; k < 4; ++k) covered.insert(at + k);
    }
    for (std::size_t i = 0; i < copy.size(); ++i)
        if (!covered.count(i)) EXPECT_EQ(copy[i], bank2[i]) << i;
}

TExpectedBlock Head_Defaults(int model) {
    TExpectedBlock e;
    std::uint8_t kind = model == 21 ? 224 : 192;
    e.U32(0, 125000).U32(12, 9600).U16(16, 8).Bytes(40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    e.U16(52, 10000).U16(54, 10001).U16(56, 10001).U16(58, kind).U32(60, 2400).U16(64, 8).U16(66, 2);
    e.b[96] = kind;
    return e;
}

TExpectedBlock Bank1_Defaults(int model) {
    TExpectedBlock e;
    e.U32(0, 250000).U32(4, 250000).U32(8, 9600).Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
    e.U16(52, 10000).U32(60, 9600).Bytes(72, {192, 168, 0, 10});
    e.b[59] = model == 21 ? 224 : 192;
    e.b[526] = e.b[529] = 1;
    e.b[532] = e.b[535] = 8;
    e.b[570] = 191;
    e.b[590] = 1;
    e.U32(596, 0x68800).U32(600, 120000);
    return e;
}

const TMBus_Node Example_Node = {
    R"(Enable_Node="1" Node_ID_Type="0" ID_Primary="5" ID_Secondary="77" Node_State="1" Cut_After="2")",
    {R"(Enable="1" Type="0" Fun_Field="0" Dim="2" Unit="3" StoNumber="4294967295" Tariff="7" VIFE="9" Position="2")",
     R"(Enable="1" Type="13" Fun_Field="1" Dim="0" Scale="1")"}};

const TKeys Example_Keys = MBus_ParGen({{"PROFINET_IP1", "10"}, {"PROFINET_IP2", "0"}, {"PROFINET_IP3", "0"},
                                        {"PROFINET_IP4", "7"}, {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "0"},
                                        {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"}, {"PROFINET_EN_GAT", "2"},
                                        {"PROFINET_NB_OUT", "100"}, {"Meter_NS_Error_Code", "7"}, {"Working_mode", "0"}});

}  // namespace

TEST(ImageMBus, TheExampleNetworkByteForByte) {
    TProjectFixture p(10);
    p.ParGen(Example_Keys);
    MBus_Network(p, {Example_Node});
    Build_And_Write(p);

    TBytes b2;
    b2.U8(0xC0).U32(9).U32(84);
    // The node at B + 8: primary address 5, two variables from B + 31, node state at 0, 3 frames.
    b2.U8(0).Raw(std::string("\0\0\0\x05", 4)).U16(2).U32(32).U8(0).U8(0).U8(1).U16(0).U8(0).U16(1).U8(0).U8(0).U8(0).U8(3);
    // 4 bytes at 1..5, then 1 byte at 5 with its scale byte at 6.
    b2.U8(0).U8(0).U8(4).U16(1).U8(0).U16(5).U8(3).U32(0xFFFFFFFF).U32(7).U8(9).U8(0).U8(0).U8(0).U32(84).U8(2);
    b2.U8(13).U8(2).U8(1).U16(5).U8(1).U16(6).U8(0).U32(0).U32(0).U8(0).U8(0).U8(0).U8(0).U32(84).U8(1);
    // The stream at B + 83: the gateway as read, EN_GAT 2, the ports, 100 bytes, 9600 even, 300 ms.
    b2.Raw("\x0A\x00\x00\x07\xFF\xFF\xFF\x00\x0A\x00\x00\x01"s).U8(2).U16(34964).U16(100);
    b2.U8(5).U8(1).U32(300).U8(1).U8(0).U8(7);
    EXPECT_EQ(p.Read_Bin("bank2.bin"), b2.s);

    std::string bank = p.Read_Bin("bank.bin");
    TExpectedBlock head = Head_Defaults(10);
    head.Bytes(40, {10, 0, 0, 7, 255, 255, 255, 0, 10, 0, 0, 1}).U16(54, 34964).U16(56, 34964).Text(80, "devicename1");
    head.U32(116, 4).U32(120, 100).U32(12, 9600).U32(60, 9600).U16(18, 2).U16(66, 2);
    EXPECT_EQ(bank.substr(0, 2048), head.Close());

    TExpectedBlock bank1 = Bank1_Defaults(10);
    bank1.Bytes(40, {10, 0, 0, 7, 255, 255, 255, 0, 10, 0, 0, 1}).U16(54, 502).U16(56, 502).Text(344, "devicename1");
    bank1.U32(360, 4).U32(364, 100).U32(508, 9600);
    bank1.b[523] = 2;
    EXPECT_EQ(p.Read_Bin("bank1.bin"), bank1.Close());
    EXPECT_EQ(p.Read_Bin("bank3.bin"), "");

    Expect_Same_Network(bank, b2.s, 26);
}

TEST(ImageMBus, NodeAndVariableRules) {
    TProjectFixture p(10);
    MBus_Network(p, {
        {R"(Enable_Node="2" Node_State="1")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="0")"}},
        {R"(Node_State="1" Ident_Num="1")", {R"(Enable="0" Type="0" Fun_Field="0" Dim="0")", R"(Enable="2" Type="0" Fun_Field="0" Dim="0")"}},
        {R"(Node_ID_Type="1" ID_Secondary="12345678" ID_Primary="3")",
         {R"(Enable="1" Type="0" Fun_Field="1" Dim="2")", R"(Enable="1" Type="0" Fun_Field="2" Dim="0")",
          R"(Enable="1" Type="0" Fun_Field="3" Dim="1")", R"(Enable="1" Type="21" Fun_Field="0" Dim="4" VIF_ASCII="abc")",
          R"(Enable="1" Type="5" Fun_Field="0" Dim="5" VIF_ASCII="abc")", R"(Enable="1" Type="0" Fun_Field="0" Dim="3" Length="12")",
          R"(Enable="1" Type="0" Fun_Field="0" Dim="7" Length="12")"}},
        {R"(ID="7" Node_ID_Type="1" ID_Secondary="99" Ident_Num="1" Cut_After="x" Var_List_Type="1")",
         {R"(Enable="1" Type="0" Fun_Field="0" Dim="9")", R"(Enable="1" Type="20" Fun_Field="0" Dim="0" TP_Mod_Regs="1")",
          R"(Enable="1" Type="0" Fun_Field="0" Dim="0" ForceInteger32="1" BCDtoINT="1" SWAP="1")",
          R"(Enable="1" Type="0" Fun_Field="0" Dim="0" Conv_Float="1" Scale="0" Position="abc")"}},
    });
    Build_And_Write(p);
    std::string b2 = p.Read_Bin("bank2.bin");

    // Two nodes go into the image: the first is left out by Enable_Node "2", the second has no enabled variable.
    const std::size_t n3 = 9, n4 = 32, vars = 55, texts = 55 + 26 * 11;
    ASSERT_EQ(b2.size(), texts + 3);  // no "ParGen.xml": no stream
    EXPECT_EQ(U32_At(b2, 5), texts + 3);
    EXPECT_EQ(b2.substr(n3, 5), std::string("\x01\x00\xBC\x61\x4E", 5));
    EXPECT_EQ(b2.substr(n4, 5), std::string("\x01\x00\x00\x00\x07", 5));
    EXPECT_EQ(b2.substr(texts), "cba");

    struct TField {
        std::size_t At, Width;
        std::uint32_t Value;
        const char* What;
    };
    auto var = [&](int i, std::size_t offset) { return vars + 26 * i + offset; };
    const TField fields[] = {
        {n3 + 5, 2, 7, "variables of node 3"}, {n3 + 7, 4, vars, "its first variable"}, {n3 + 22, 1, 250, "frames without Cut_After"},
        {n3 + 13, 1, 0, "no node state"}, {n3 + 14, 2, 0, "node-state offset"}, {n3 + 17, 2, 0, "ident offset"},
        {n4 + 5, 2, 4, "variables of node 4"}, {n4 + 7, 4, var(7, 0), "its first variable"}, {n4 + 22, 1, 250, "frames with a bad Cut_After"},
        {n4 + 21, 1, 1, "by position"}, {n4 + 16, 1, 1, "ident"}, {n4 + 14, 2, 36, "node-state offset"}, {n4 + 17, 2, 36, "ident offset"},
        {var(0, 1), 1, 2, "Fun_Field 1"}, {var(1, 1), 1, 1, "Fun_Field 2"}, {var(2, 1), 1, 3, "Fun_Field 3"},
        {var(0, 3), 2, 0, "Dim 2 at"}, {var(0, 6), 2, 4, "Dim 2 end"}, {var(1, 3), 2, 4, "Dim 0 at"}, {var(2, 3), 2, 5, "Dim 1 at"},
        {var(3, 3), 2, 7, "Dim 4 at"}, {var(3, 2), 1, 3, "Dim 4 code"}, {var(3, 20), 1, 3, "VIF length, type 21"},
        {var(3, 21), 4, texts, "VIF position"}, {var(4, 20), 1, 0, "VIF length, type 5"}, {var(4, 21), 4, texts + 3, "no VIF"},
        {var(4, 3), 2, 10, "Dim 5 at"}, {var(5, 3), 2, 16, "Dim 3 at"}, {var(5, 2), 1, 7, "Dim 3 code"}, {var(5, 19), 1, 0, "Length with Dim 3"},
        {var(6, 3), 2, 24, "Dim 7 at"}, {var(6, 2), 1, 13, "Dim 7 code"}, {var(6, 19), 1, 12, "Length with Dim 7"},
        {var(6, 6), 2, 36, "Dim 7 end"}, {var(6, 25), 1, 1, "Position missing"},
        {var(7, 3), 2, 40, "Dim 9 at"}, {var(7, 2), 1, 2, "Dim 9 code"}, {var(7, 6), 2, 42, "Dim 9 end"},
        {var(8, 3), 2, 42, "time point at"}, {var(8, 6), 2, 48, "time point end"}, {var(8, 18), 1, 4, "TP_Mod_Regs"},
        {var(9, 6), 2, 52, "forced integer end"}, {var(9, 18), 1, 0x0B, "options"},
        {var(10, 6), 2, 53, "Dim 0 end"}, {var(10, 18), 1, 0, "Conv_Float is model 21's"}, {var(10, 25), 1, 1, "Position no number"},
    };
    for (const TField& f : fields) {
        std::uint32_t got = f.Width == 1 ? U8_At(b2, f.At) : f.Width == 2 ? U16_At(b2, f.At) : U32_At(b2, f.At);
        EXPECT_EQ(got, f.Value) << f.What;
    }
    Expect_Same_Network(p.Read_Bin("bank.bin"), b2, 26);
}

TEST(ImageMBus, SingleSlaveModeStartsEveryNodeAt4) {
    TProjectFixture p(10);
    p.ParGen(MBus_ParGen({{"Working_mode", "1"}}));
    const TMBus_Node node = {R"(Node_State="1")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="1")"}};
    MBus_Network(p, {node, node});
    Build_And_Write(p);
    std::string b2 = p.Read_Bin("bank2.bin");
    for (std::size_t n : {9u, 32u}) EXPECT_EQ(U16_At(b2, n + 14), 4u) << n;
    for (std::size_t v : {55u, 81u}) EXPECT_EQ(U16_At(b2, v + 3), 5u) << v;
    EXPECT_EQ(U8_At(b2, b2.size() - 2), 1u);  // the mode in the stream
}

TEST(ImageMBus, SpeedParityAndDataSize) {
    struct TCase {
        int Model;
        TKeys Keys;
        std::uint32_t Speed, Parity, Data_Size;
    };
    const TCase cases[] = {
        {10, {{"Meter_Baud", "5"}, {"Meter_Par", "0"}, {"PROFINET_NB_OUT", "2000"}}, 9600, 0, 1439},
        {10, {{"Meter_Baud", "9"}, {"Meter_Par", "2"}, {"PROFINET_NB_OUT", "0"}}, 2400, 3, 1},
        {10, {{"Meter_Baud", "0"}, {"Meter_Par", "1"}}, 300, 2, 1439},
        {10, {{"Meter_Baud", "7"}, {"Meter_Par", "0"}, {"PROFINET_NB_OUT", "65537"}}, 38400, 0, 1},
        {21, {{"Meter_Baud", "2"}, {"Meter_Par", "0"}, {"PROFINET_NB_OUT", "12"}}, 1200, 0, 1024},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        TKeys keys = c.Keys;
        keys.push_back({"Meter_Req_Delay", "50"});
        p.ParGen(keys);
        Build_And_Write(p);
        std::string head = p.Read_Bin("bank.bin"), bank1 = p.Read_Bin("bank1.bin"), b2 = p.Read_Bin("bank2.bin");
        EXPECT_EQ(U32_At(head, 12), c.Speed) << c.Speed;
        EXPECT_EQ(U32_At(head, 60), c.Speed) << c.Speed;
        EXPECT_EQ(U32_At(bank1, 508), c.Speed) << c.Speed;
        EXPECT_EQ(U16_At(head, 18), c.Parity) << c.Speed;
        EXPECT_EQ(U16_At(head, 66), c.Parity) << c.Speed;
        EXPECT_EQ(U8_At(bank1, 523), c.Parity) << c.Speed;
        EXPECT_EQ(U32_At(head, 120), c.Data_Size) << c.Speed;
        EXPECT_EQ(U32_At(bank1, 364), c.Data_Size) << c.Speed;
        EXPECT_EQ(U16_At(b2, 9 + 15), c.Data_Size) << c.Speed;  // the stream follows the empty network at once
    }
}

TEST(ImageMBus, Model21FixedMapBlocksAndTrapTable) {
    TProjectFixture p(21);
    p.ParGen(MBus_ParGen({{"PROFINET_EN_GAT", "0"}, {"PROFINET_NAME_STA", "mbus-21"}, {"SNMP_AUX_INT_DIM", "2"},
                          {"SNMP_VERSION1", "1"}, {"SNMP_VERSION3", "1"}, {"SNMP_VER3_USER", "admin"},
                          {"SNMP_VER3_SECURITY_LEVEL", "Auth NoPriv"}, {"SNMP_VER3_AUTHORITY", "authpass1"},
                          {"SNMP_VER3_PRIVACY", "never-read"}, {"SNMP_Contact", "ops@example.net"},
                          {"SNMP_Location", "Hall 7 / Rack 12X"}, {"Working_mode", "1"}}));
    MBus_Network(p, {
        {R"(Node_State="1" Ident_Num="1" NS_Community_Name="public" NS_OnTimer="1" NS_Timer="5000" NS_Desc="state of the first meter" NS_IP_Add="192.168.0.5" IN_Community_Name="ident" IN_OnTimer="0" IN_Timer="x" IN_Desc="id" IN_IP_Add="10.1.2.3")",
         {R"(Enable="1" Type="0" Fun_Field="0" Dim="0" Scale="1" BCDtoINT="1" Conv_Float="1" Post_Operation="8" Var_Community_Name="energy" Var_OnTimer="1" Var_Timer="60000" Var_Desc="kWh" Var_IP_Add="1.2.3.4")"}},
        {R"(Node_State="1")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="3")", R"(Enable="0" Type="0" Fun_Field="0" Dim="3")"}},
    });
    Build_And_Write(p);

    TExpectedBlock head = Head_Defaults(21);
    head.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).U16(54, 34964).U16(56, 34964).Text(80, "mbus-21");
    head.U32(116, 4).U32(120, 1024).U32(12, 9600).U32(60, 9600).U16(18, 2).U16(66, 2).U32(324, 8);
    EXPECT_EQ(p.Read_Bin("bank.bin").substr(0, 2048), head.Close());

    TExpectedBlock bank1 = Bank1_Defaults(21);
    bank1.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).U16(54, 502).U16(56, 502).Text(344, "mbus-21");
    bank1.U32(360, 4).U32(364, 1024).U32(508, 9600);
    bank1.b[523] = 2;
    bank1.U32(760, 5).U32(764, 0).U32(768, 0x80000).U32(772, 0x80000);
    bank1.U32(776, 0x55).Text(780, "admin").Text(800, "authpass1");  // versions 1 and 3, authentication, MD5
    bank1.Text(832, "ops@example.net").Text(848, "Hall 7 / Rack 12");
    EXPECT_EQ(p.Read_Bin("bank1.bin"), bank1.Close());

    // Every value takes its fixed slot: 3, 8 and 20 bytes from 0 (the mode is 0 for this model).
    std::string b2 = p.Read_Bin("bank2.bin");
    const std::size_t n1 = 9, n2 = 32, v1 = 55, v2 = 55 + 27;
    EXPECT_EQ(U16_At(b2, n1 + 14), 0u);
    EXPECT_EQ(U16_At(b2, n1 + 17), 3u);
    EXPECT_EQ(U16_At(b2, v1 + 3), 11u);
    EXPECT_EQ(U16_At(b2, v1 + 6), 31u);
    EXPECT_EQ(U8_At(b2, v1 + 5), 0u);   // no scale byte for this model
    EXPECT_EQ(U8_At(b2, v1 + 18), 0u);  // no options with the fixed map
    EXPECT_EQ(U8_At(b2, v1 + 26), 8u);  // the post-operation
    EXPECT_EQ(U16_At(b2, n2 + 14), 31u);
    EXPECT_EQ(U16_At(b2, v2 + 3), 34u);
    EXPECT_EQ(U16_At(b2, v2 + 6), 54u);
    EXPECT_EQ(U8_At(b2, b2.size() - 2), 0u);  // Working_mode is not this model's
    Expect_Same_Network(p.Read_Bin("bank.bin"), b2, 27);

    // The second node carries no SNMP attributes: empty texts and 0.0.0.0, never the first node's.
    std::string expected = Trap_Entry(0, 0, 24, 0, 0x04, 5000, "public", "state of the fi", {0x05, 0x00, 0xA8, 0xC0}) +
                           Trap_Entry(3, 0, 64, 0, 0x00, 0, "ident", "id", {0x03, 0x02, 0x01, 0x0A}) +
                           Trap_Entry(11, 0, 160, 0, 0x04, 60000, "energy", "kWh", {0x04, 0x03, 0x02, 0x01}) +
                           Trap_Entry(31, 0, 24, 0, 0x00, 0, "", "", {}) + Trap_Entry(34, 0, 160, 0, 0x00, 0, "", "", {});
    EXPECT_EQ(p.Read_Bin("bank3.bin"), expected);
}

TEST(ImageMBus, Model21VariableMapTakesTheTrapSection) {
    TProjectFixture p(21);
    p.ParGen(MBus_ParGen({{"SNMP_MAP", " variable "}}));
    p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Type="Int" Position="10" NumBits="16" On_Timer="Y" Time="100" IP_Address="10.0.0.1" Conversion="Float")",
                 R"(Enable="Y" Community_Name="second" Type="Int" Position="12" NumBits="16")"},
                {}, false);
    MBus_Network(p, {{R"(Node_State="1")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="1" Conv_Float="1" SWAP="1")"}}});
    Build_And_Write(p);

    std::string bank1 = p.Read_Bin("bank1.bin");
    EXPECT_EQ(U32_At(bank1, 760), 2u);
    EXPECT_EQ(U32_At(bank1, 764), 0u);
    EXPECT_EQ(U32_At(bank1, 768), 0x80000u);
    EXPECT_EQ(U32_At(bank1, 772), 0x80000u);
    EXPECT_EQ(U8_At(bank1, 876), 1u);
    std::string section(0x6000, '\0');
    section.replace(0, 96, Trap_Entry(10, 0, 16, 1, 0x0C, 100, "public", "", {0x01, 0x00, 0x00, 0x0A}) +
                               Trap_Entry(12, 0, 16, 0, 0x08, 0, "second", "", {}));
    EXPECT_EQ(p.Read_Bin("bank3.bin"), section);

    // The variable map sizes values as model 10 does, and reads Conv_Float.
    std::string b2 = p.Read_Bin("bank2.bin");
    EXPECT_EQ(U16_At(b2, 32 + 3), 1u);
    EXPECT_EQ(U16_At(b2, 32 + 6), 5u);
    EXPECT_EQ(U8_At(b2, 32 + 18), 0x12u);
}

TEST(ImageMBus, EveryBuildStartsClean) {
    TProjectFixture p(21);
    p.ParGen(MBus_ParGen({{"SNMP_MAP", "VARIABLE"}}));
    p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Position="1")"}, {}, false);
    const TMBus_Node node = {R"(Node_State="1" NS_Community_Name="ns")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="1")"}};
    MBus_Network(p, {node});
    Build_And_Write(p);
    EXPECT_EQ(p.Read_Bin("bank3.bin").size(), 0x6000u);

    std::filesystem::remove(p.Project() + "/ParGen.xml");
    Build_And_Write(p);
    TProjectFixture fresh(21);
    fresh.SNMP_Trap({R"(Enable="Y" Community_Name="public" Position="1")"}, {}, false);
    MBus_Network(fresh, {node});
    Build_And_Write(fresh);
    for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin", "bank3.bin"}) EXPECT_EQ(p.Read_Bin(name), fresh.Read_Bin(name)) << name;
    EXPECT_EQ(U8_At(p.Read_Bin("bank1.bin"), 876), 0u);
    EXPECT_EQ(p.Read_Bin("bank3.bin").size(), 96u);  // the fixed map: node state and variable
    EXPECT_EQ(p.Read_Bin("bank2.bin").size(), 1u + 8 + 23 + 27);  // no stream
}

TEST(ImageMBus, ProjectsTheConverterCannotTakeAreRefused) {
    auto many = [](int nodes, const std::string& nodeAttributes, int variables, const std::string& variable) {
        std::vector<TMBus_Node> network(nodes, TMBus_Node{nodeAttributes, std::vector<std::string>(variables, variable)});
        return MBus_Network_Xml(network);
    };
    const std::string vif(255, 'v');
    struct TCase {
        int Model;
        TKeys Keys;
        std::string Network;
        std::string Message;
    };
    const TCase cases[] = {
        {10, MBus_ParGen(), "<M-Bus_Network><Nodo>", "\"M_Bus.xml\" cannot be read"},
        {10, MBus_ParGen(), MBus_Network_Xml({{"", {R"(Enable="1" Type="0" Fun_Field="0")"}}}), "variable 1 of node 1 has no \"Dim\""},
        {10, MBus_ParGen(), MBus_Network_Xml({{"", {R"(Enable="0")", R"(Enable="1" Type="0" Fun_Field="one" Dim="0")"}}}),
         "variable 2 of node 1 has no whole number in \"Fun_Field\" (\"one\")"},
        {10, {{"Meter_Par", "0"}, {"Meter_Req_Delay", "1"}}, "", "\"ParGen.xml\" have no \"Meter_Baud\""},
        {10, {{"Meter_Baud", "0"}, {"Meter_Par", "0"}, {"Meter_Req_Delay", "1.5"}}, "", "no whole number in \"Meter_Req_Delay\""},
        {10, MBus_ParGen(), many(1, "", 720, R"(Enable="1" Type="21" Fun_Field="0" Dim="0" VIF_ASCII=")" + vif + "\""),
         "more than the 197955 bytes"},
        {21, MBus_ParGen(), many(205, "", 10, R"(Enable="1" Type="0" Fun_Field="0" Dim="0")"), "more than 2048 SNMP map entries"},
        {10, MBus_ParGen(), many(1, "", 258, R"(Enable="1" Type="0" Fun_Field="0" Dim="7" Length="255")"),
         "variable 258 of node 1 reach the process-image offset 65790"},
        {10, MBus_ParGen(), many(256, "", 1, R"(Enable="1" Type="0" Fun_Field="0" Dim="0")"), "more than 255 meters"},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        Build_And_Write(p);
        std::vector<std::string> before;
        for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin", "bank3.bin"}) before.push_back(p.Read_Bin(name));
        p.ParGen(c.Keys);
        if (!c.Network.empty()) p.Raw_File("M_Bus.xml", c.Network);
        std::string message = Refusal(p);
        EXPECT_NE(message.find(c.Message), std::string::npos) << message;
        int i = 0;
        for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin", "bank3.bin"}) EXPECT_EQ(p.Read_Bin(name), before[i++]) << name;
    }
}
