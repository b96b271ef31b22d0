#include "framework/SysUtils.h"
#include "shell/ParGenFile.h"

#include "shell/Globals.h"
#include "shell/ParGenSchema.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/ParGenGolden.h"
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::string Golden(int model) { return ParGen_Golden(model); }

class ParGenFileTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = Model_Code; }
    void TearDown() override { Model_Code = saved_; }
    TParGenFile LoadText(const std::string& xml) {
        dir_.write("ParGen.xml", xml);
        return TParGenFile::Load(Utf8ToString(dir_.file("ParGen.xml")));
    }
    TempDir dir_;

private:
    int saved_ = 0;
};

}  // namespace

TEST(ParGenSchema, HoldsEveryNameOnceAndEachModelASequenceOfKnownNames) {
    std::set<std::u16string_view> names;
    for (const auto& e : ParGen_All_Elements()) names.insert(e.Name);
    EXPECT_EQ(names.size(), 185u);

    std::set<std::u16string_view> used;
    for (int model : ParGen_Model_Codes) {
        const auto& items = ParGen_Model_Items(model);
        ASSERT_GE(items.size(), 15u) << model;
        std::set<std::u16string_view> seen;
        for (const auto& item : items) {
            EXPECT_TRUE(seen.insert(item.Element->Name).second) << model;
            used.insert(item.Element->Name);
        }
        EXPECT_EQ(items.front().Element->Name, u"PROFINET_IP1");
        EXPECT_EQ(items[14].Element->Name, u"PROFINET_NAME_STA");
    }
    EXPECT_EQ(used.size(), 185u) << "every element belongs to some model";
    EXPECT_TRUE(ParGen_Model_Items(36).empty());
}

TEST_F(ParGenFileTest, NewProjectOfEveryModelWritesItsGoldenFile) {
    for (int model : ParGen_Model_Codes) {
        Model_Code = model;
        std::string golden = Golden(model);
        ASSERT_FALSE(golden.empty()) << "golden file of model " << model;
        EXPECT_EQ(TParGenFile::New_Project().SaveToUtf8(), golden) << "model " << model;
    }
}

TEST_F(ParGenFileTest, ReadThenWrittenAgainIsUnchanged) {
    for (int model : ParGen_Model_Codes) {
        Model_Code = model;
        std::string golden = Golden(model);
        TParGenFile file = LoadText(golden);
        file.Save(Utf8ToString(dir_.file("Again.xml")));
        EXPECT_EQ(dir_.read("Again.xml"), golden) << "model " << model;
    }
}

TEST_F(ParGenFileTest, ReadingRules) {
    Model_Code = 4;
    TParGenFile f = LoadText(
        "<Par_Gen>"
        "<PROFINET_IP1></PROFINET_IP1>"                          // present but empty
        "<PROFINET_IP2><x/>7</PROFINET_IP2>"                      // text cannot be taken
        "<PROFINET_IP3> 12</PROFINET_IP3>"                        // leading blank
        "<PROFINET_IP4>12 </PROFINET_IP4>"                        // trailing blank
        "<PROFINET_SM1>$FF</PROFINET_SM1>"                        // hexadecimal
        "<PROFINET_EN_GAT> 1</PROFINET_EN_GAT>"                   // flag not exactly "1"
        "<PROFINET_ENABLE_DIAGNOSTIC>01</PROFINET_ENABLE_DIAGNOSTIC>"
        "<MODBUS_MASTER_CLEAR_DATA>1</MODBUS_MASTER_CLEAR_DATA>"
        "<MODBUS_MASTER_BAUDRATE>fast</MODBUS_MASTER_BAUDRATE>"  // position that is no number
        "<MODBUS_MASTER_PARITY>7</MODBUS_MASTER_PARITY>"          // position beyond the list
        "<MODBUS_MASTER_SERIAL>1</MODBUS_MASTER_SERIAL>"
        "<modbus_master_timeout>5</modbus_master_timeout>"        // case differs: missing
        "<MODBUS_MASTER_CYCLICDELAY>250</MODBUS_MASTER_CYCLICDELAY>"
        "<MODBUS_MASTER_CYCLICDELAY>999</MODBUS_MASTER_CYCLICDELAY>"  // only the first counts
        "</Par_Gen>");

    EXPECT_EQ(f.Raw(u"PROFINET_IP1"), String());
    EXPECT_EQ(f.Text(u"PROFINET_IP1"), u"");
    EXPECT_EQ(f.Number(u"PROFINET_IP1"), -1);
    EXPECT_FALSE(f.Has(u"PROFINET_IP2"));
    EXPECT_EQ(f.Text(u"PROFINET_IP2"), u"168");
    EXPECT_EQ(f.Number(u"PROFINET_IP3"), 12);
    EXPECT_EQ(f.Text(u"PROFINET_IP3"), u" 12");  // texts stay exactly as stored
    EXPECT_EQ(f.Number(u"PROFINET_IP4"), -1);
    EXPECT_EQ(f.Number(u"PROFINET_SM1"), 255);
    EXPECT_EQ(f.Text(u"PROFINET_SM2"), u"255");  // missing: the default
    EXPECT_FALSE(f.Flag(u"PROFINET_EN_GAT"));
    EXPECT_FALSE(f.Flag(u"PROFINET_ENABLE_DIAGNOSTIC"));
    EXPECT_TRUE(f.Flag(u"MODBUS_MASTER_CLEAR_DATA"));
    EXPECT_FALSE(f.Flag(u"MODBUS_MASTER_ENABLE_POLL"));
    EXPECT_EQ(f.Position(u"MODBUS_MASTER_BAUDRATE"), 7);
    EXPECT_EQ(f.Position(u"MODBUS_MASTER_PARITY"), 0);
    EXPECT_EQ(f.Position(u"MODBUS_MASTER_SERIAL"), 1);
    EXPECT_EQ(f.Position(u"MODBUS_MASTER_STOPBITS"), 0);
    EXPECT_EQ(f.Text(u"MODBUS_MASTER_TIMEOUT"), u"1000");
    EXPECT_EQ(f.Text(u"MODBUS_MASTER_CYCLICDELAY"), u"250");
    EXPECT_EQ(f.Text(u"PROFINET_PORT"), u"2000");
}

TEST_F(ParGenFileTest, ListTextsSNMPVersionAndPerModelDefaults) {
    Model_Code = 35;
    TParGenFile f = LoadText(
        "<Anything>"
        "<SNMP_VERSION1>1</SNMP_VERSION1><SNMP_VERSION2>0</SNMP_VERSION2><SNMP_VERSION3>1</SNMP_VERSION3>"
        "<SNMP_VER3_SECURITY_LEVEL>  auth priv </SNMP_VER3_SECURITY_LEVEL>"
        "<SNMP_VER3_AUTHORITY_MODE>sha</SNMP_VER3_AUTHORITY_MODE>"
        "<SNMP_VER3_PRIVACY_MODE>Blowfish</SNMP_VER3_PRIVACY_MODE>"
        "</Anything><!--SW_VERSION = 1.000-->");
    EXPECT_EQ(f.SNMP_Version(), 2);  // a later "1" wins
    EXPECT_EQ(f.Position(u"SNMP_VER3_SECURITY_LEVEL"), 2);
    EXPECT_EQ(f.Position(u"SNMP_VER3_AUTHORITY_MODE"), 1);
    EXPECT_EQ(f.Position(u"SNMP_VER3_PRIVACY_MODE"), 0);
    EXPECT_EQ(f.Text(u"PROFINET_NB_IN"), u"496");
    EXPECT_EQ(f.Text(u"EtherNetIP_IP4"), u"5");  // missing reads 5; only a new project has 10
    EXPECT_EQ(f.Text(u"PROFINET_PORT"), u"34964");
    EXPECT_EQ(f.Text(u"SNMP_VER3_PRIVACY_MODE"), u"Blowfish");

    EXPECT_EQ(LoadText("<Par_Gen/>").SNMP_Version(), 2);
    EXPECT_EQ(LoadText("<Par_Gen><SNMP_VERSION2>1</SNMP_VERSION2></Par_Gen>").SNMP_Version(), 1);

    Model_Code = 9;
    EXPECT_EQ(TParGenFile().Text(u"PROFINET_NB_OUT"), u"500");
    Model_Code = 22;
    TParGenFile dmx = LoadText("<Par_Gen><DMX_TYPE>7</DMX_TYPE></Par_Gen>");
    EXPECT_EQ(dmx.Position(u"DMX_TYPE"), 1);
    EXPECT_EQ(LoadText("<Par_Gen><DMX_TYPE>0</DMX_TYPE></Par_Gen>").Position(u"DMX_TYPE"), 0);
}

TEST_F(ParGenFileTest, FixedElementsAreWrittenWhateverIsSet) {
    Model_Code = 21;
    TParGenFile f = TParGenFile::New_Project();
    f.Set(u"PROFINET_NB_OUT", u"77");
    f.Set(u"PROFINET_AUTO_CALC_BYTE", u"1");
    std::string xml = f.SaveToUtf8();
    EXPECT_NE(xml.find("<PROFINET_NB_OUT>1024</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE>0</PROFINET_AUTO_CALC_BYTE>"),
              std::string::npos);

    Model_Code = 30;
    f = TParGenFile::New_Project();
    f.Set(u"SNMP_MapType", u"0");
    EXPECT_NE(f.SaveToUtf8().find("<SNMP_MapType>1</SNMP_MapType>"), std::string::npos);
}

TEST_F(ParGenFileTest, ElementsOfOtherModelsAreNeverWritten) {
    Model_Code = 32;
    TParGenFile f = TParGenFile::New_Project();
    f.Set(u"MODBUS_MASTER_BAUDRATE", u"3");
    std::string xml = f.SaveToUtf8();
    EXPECT_EQ(xml.find("MODBUS_MASTER"), std::string::npos);
    Model_Code = 6;
    EXPECT_EQ(TParGenFile::New_Project().SaveToUtf8().find("PROFINET_NB_"), std::string::npos);
}

TEST_F(ParGenFileTest, UnreadableFilesRaise) {
    Model_Code = 4;
    EXPECT_THROW(TParGenFile::Load(Utf8ToString(dir_.file("none.xml"))), EFOpenError);
    EXPECT_THROW(LoadText("<Par_Gen><PROFINET_IP1>1</Par_Gen>"), EXmlError);
}

TEST(ParGenNumberRule, TakesBlanksSignAndHexOnlyInFront) {
    struct Case { const char16_t* text; int value; } cases[] = {
        {u"12", 12}, {u"  12", 12}, {u"12 ", -1}, {u"", -1}, {u" ", -1}, {u"$FF", 255}, {u"$ff", 255},
        {u"-5", -5}, {u"+5", 5}, {u"1.5", -1}, {u"abc", -1}, {u"2147483647", 2147483647},
        {u"2147483648", -1}, {u"-2147483648", -2147483647 - 1}, {u"$", -1}, {u"0x10", 16}, {u"\t5", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToIntDef(c.text, -1), c.value) << StringToUtf8(c.text);
}
