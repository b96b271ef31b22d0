// The images of the M-Bus models 10 and 21: the network image byte for byte,
// its two copies, the two blocks, the fixed and the variable SNMP map, and
// the projects the converter cannot take.
#include "MBusFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace std::string_literals;

namespace {

void Build_And_Write(const TProjectFixture& p) { Write_Device_Image(*Build_Device_Image(p.Sources()), p.Sources().Project_Dir); }

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
