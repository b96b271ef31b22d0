// The SNMP trap section: how rows of "SNMP_Trap.xml" become entries, per
// model, and the files that refuse the build.
#include "ImageFixture.h"
#include "image/ImageBuild.h"
#include "image/SNMPTrap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

struct TRead {
    TSNMP_Trap_Tables Tables;
    TMain_Param_Block Main;
    TCPU2_Param_Block CPU2;
};

std::unique_ptr<TRead> Read(const TProjectFixture& p, int model) {
    auto r = std::make_unique<TRead>();
    Init_Main_Param_Block(r->Main);
    Init_CPU2_Param_Block(r->CPU2);
    Read_SNMP_Trap(model, p.Sources().Path_SNMP_Trap, r->Tables, r->Main, &r->CPU2);
    return r;
}

std::string Message_Of(const std::function<void()>& action) {
    try {
        action();
    } catch (const EImageError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(SNMPTrap, RowsBecomeEntriesByTheRulesOfEachModel) {
    TProjectFixture p(0);
    p.SNMP_Trap({R"(Enable="Y" Type="Int" On_Command="Y" NumBits="x" Conversion="Float * 100" IP_Address="10.20.30.40")",
                 R"(Enable="Y" Type="String" NumBits="4" IP_Address="")",
                 R"(Enable="Y" Type="string" Position="$10" Bit=" 7" Time="abc" IP_Address="300.1.2.3")",
                 R"(Enable="Y" Time="4294967295")"},
                {});
    struct TCase {
        int Model;
        Byte Conversion, Flags0;
    } cases[] = {
        // Conversion read by 17, 18, 19, 21, 30, 33, 35, 1018; On_Command by all but 20, 21, 35.
        {15, 0, 0x0A}, {16, 0, 0x0A}, {17, 3, 0x0A}, {18, 3, 0x0A}, {19, 3, 0x0A}, {20, 0, 0x08}, {21, 3, 0x08},
        {30, 3, 0x0A}, {32, 0, 0x0A}, {33, 3, 0x0A}, {34, 0, 0x0A}, {35, 3, 0x08}, {1018, 3, 0x0A}};
    for (const TCase& c : cases) {
        auto r = Read(p, c.Model);
        const TSNMP_Trap_Entry& e0 = r->Tables.Read[0];
        EXPECT_EQ(e0.Conversion, c.Conversion) << c.Model;
        EXPECT_EQ(e0.Flags, c.Flags0) << c.Model;
        EXPECT_EQ(e0.Num_Bits, 1) << "a size that is no number counts 1 bit";
        EXPECT_EQ(e0.Trap_IP_Address, 0x0A141E28u);
        const TSNMP_Trap_Entry& e1 = r->Tables.Read[1];
        EXPECT_EQ(e1.Num_Bits, 32);
        EXPECT_EQ(e1.Trap_IP_Address, 0u) << "an empty address is 0.0.0.0, not the previous row's";
        const TSNMP_Trap_Entry& e2 = r->Tables.Read[2];
        EXPECT_EQ(e2.Position, 16);
        EXPECT_EQ(e2.Bit, 7);
        EXPECT_EQ(e2.Time, 0u);
        EXPECT_EQ(r->Tables.Read[3].Time, 4294967295u) << "the largest time its 32 bits hold";
        EXPECT_EQ(e2.Num_Bits, 0) << "a missing size stays 0";
        EXPECT_EQ(e2.Trap_IP_Address, 0x00010203u) << "an octet outside 0..255 counts 0";
    }
}

TEST(SNMPTrap, DescriptorLandsWhereTheModelKeepsIt) {
    TProjectFixture p(0);
    p.SNMP_Trap({R"(Enable="Y")", R"(Enable="N")", R"(Enable="Y")"}, {R"(Enable="Y")"});
    struct TCase {
        int Model;
        Cardinal Main_Read, Main_Write, CPU2_Count, CPU2_Read, CPU2_Write;
    } cases[] = {{20, 0x68800, 0x6B800, 0, 0, 0},       {35, 0, 0, 2, 0x80000, 0x83000},
                 {18, 0x62000, 0x65000, 2, 0x80000, 0x83000}, {19, 0x62000, 0x65000, 0, 0, 0},
                 {33, 0x68A00, 0x6BA00, 0, 0, 0},       {1018, 0x62000, 0x65000, 2, 0x80000, 0x83000},
                 {30, 0x62000, 0x65000, 0, 0, 0},       {15, 0x68800, 0x6B800, 0, 0, 0},
                 {16, 0x68800, 0x6B800, 0, 0, 0},       {17, 0x68800, 0x6B800, 0, 0, 0},
                 {32, 0x68800, 0x6B800, 0, 0, 0},       {34, 0x68800, 0x6B800, 0, 0, 0}};
    for (const TCase& c : cases) {
        auto r = Read(p, c.Model);
        TLeBytes m = r->Main.Bytes(), c2 = r->CPU2.Bytes();
        EXPECT_EQ(m.GetU32(416), 2u) << c.Model;
        EXPECT_EQ(m.GetU32(420), 1u) << c.Model;
        EXPECT_EQ(m.GetU32(424), c.Main_Read) << c.Model;
        EXPECT_EQ(m.GetU32(428), c.Main_Write) << c.Model;
        EXPECT_EQ(c2.GetU32(1436), c.CPU2_Count) << c.Model;
        EXPECT_EQ(c2.GetU32(1444), c.CPU2_Read) << c.Model;
        EXPECT_EQ(c2.GetU32(1448), c.CPU2_Write) << c.Model;
    }
}

TEST(SNMPTrap, Model21ReadsNoWriteMapAndNeedsNone) {
    TProjectFixture p(21);
    p.SNMP_Trap({R"(Enable="Y" Position="1")"}, {}, false);
    auto r = Read(p, 21);
    EXPECT_EQ(r->Tables.Read_Count, 1u);
    EXPECT_EQ(r->Tables.Write_Count, 0u);
    EXPECT_EQ(r->Main.Bytes().GetU32(424), 0u);
}

TEST(SNMPTrap, TheSectionIsAlwaysTheWholeTwoTables) {
    TSNMP_Trap_Tables tables;
    std::vector<Byte> buffer(0x6000 + 10, 0xEE);
    EXPECT_EQ(Save_SNMP_Trap_Tables(tables, 5, TLeBytes(buffer.data(), buffer.size(), "t")), 0x6005u);
    EXPECT_EQ(buffer[4], 0xEE);
    EXPECT_EQ(buffer[0x6005], 0xEE);
    EXPECT_EQ(std::count(buffer.begin() + 5, buffer.begin() + 0x6005, 0), 0x6000);
}

TEST(SNMPTrap, FilesTheConverterCannotTakeRefuseTheBuildAndChangeNothing) {
    std::vector<std::string> tooMany(256, R"(Enable="Y" Position="1")");
    tooMany.insert(tooMany.begin() + 3, R"(Enable="N")");  // disabled rows do not count
    std::vector<std::string> exactly = tooMany;
    tooMany.push_back(R"(Enable="Y")");
    struct TCase {
        std::string File;
        std::string Message;
    } cases[] = {
        {"<SNMP_Trap><SNMP_Trap_Read><row Enable=\"Y\"></SNMP_Trap_Read></SNMP_Trap>", "SNMP maps \"SNMP_Trap.xml\" cannot be read"},
        {"<SNMP_Trap><SNMP_Trap_Write/></SNMP_Trap>", "no \"SNMP_Trap_Read\" element"},
        {"<SNMP_Trap><SNMP_Trap_Read/></SNMP_Trap>", "no \"SNMP_Trap_Write\" element"},
        {"", "more than 256 enabled rows"},
        {"<SNMP_Trap><SNMP_Trap_Read/><SNMP_Trap_Write><row Enable=\"Y\"/><row Enable=\"Y\" Position=\"70000\"/>"
         "</SNMP_Trap_Write></SNMP_Trap>",
         "row 2 of its SNMP write map has Position \"70000\", but the converter takes a value from 0 to 65535"},
        {"<SNMP_Trap><SNMP_Trap_Read><row Enable=\"Y\" Type=\"String\" NumBits=\"8192\"/></SNMP_Trap_Read>"
         "<SNMP_Trap_Write/></SNMP_Trap>",
         "has NumBits \"8192\", but the converter takes a size of 0 to 65535 bits"},
        {"<SNMP_Trap><SNMP_Trap_Read><row Enable=\"Y\" Time=\"-5\"/></SNMP_Trap_Read><SNMP_Trap_Write/></SNMP_Trap>",
         "has Time \"-5\""},
        // Numbers too large for 32 bits are out of range too, not "no number" (which would give 0 or 1).
        {"<SNMP_Trap><SNMP_Trap_Read><row Enable=\"Y\" Position=\"99999999999\"/></SNMP_Trap_Read><SNMP_Trap_Write/></SNMP_Trap>",
         "has Position \"99999999999\", but the converter takes a value from 0 to 65535"},
        {"<SNMP_Trap><SNMP_Trap_Read><row Enable=\"Y\" Time=\"4294967296\"/></SNMP_Trap_Read><SNMP_Trap_Write/></SNMP_Trap>",
         "has Time \"4294967296\", but the converter takes a value from 0 to 4294967295"},
        {"<SNMP_Trap><SNMP_Trap_Read/><SNMP_Trap_Write><row Enable=\"Y\" Type=\"String\" NumBits=\"9999999999\"/>"
         "</SNMP_Trap_Write></SNMP_Trap>",
         "has NumBits \"9999999999\""},
    };
    for (int model : {35, 20}) {
        TProjectFixture p(model);
        p.SNMP_Trap(exactly, {});
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        EXPECT_EQ(image->SNMP_Trap.Read_Count, 256u);
        Write_Device_Image(*image, p.Sources().Project_Dir);
        std::string before = p.Read_Bin("bank.bin") + p.Read_Bin("bank1.bin") + p.Read_Bin("bank2.bin");

        for (const TCase& c : cases) {
            if (c.File.empty())
                p.SNMP_Trap(tooMany, {});
            else
                p.Raw_File("SNMP_Trap.xml", c.File);
            std::string message = Message_Of([&] { Write_Device_Image(*Build_Device_Image(p.Sources()), p.Sources().Project_Dir); });
            EXPECT_NE(message.find(c.Message), std::string::npos) << model << ": " << message;
            EXPECT_EQ(p.Read_Bin("bank.bin") + p.Read_Bin("bank1.bin") + p.Read_Bin("bank2.bin"), before);
        }
    }
}

TEST(SNMPTrap, ConversionCodes) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"FLOAT", 1},      {u"FLOAT * 10", 2},  {u"FLOAT * 100", 3}, {u"FLOAT / 10", 4}, {u"FLOAT / 100", 5},
        {u"FLOAT * 1000", 6}, {u"FLOAT / 1000", 7}, {u"INT * 1000", 8},  {u"INT * 100", 9},  {u"INT * 10", 10},
        {u"NONE", 0},       {u"FLOAT*10", 0},    {u"", 0}};
    for (const auto& [text, code] : cases) EXPECT_EQ(SNMP_Conversion_Code(text), code) << StringToUtf8(text);
}
