#include "descfiles/UEds.h"

#include "DescFixture.h"
#include "EdsRules.h"
#include "descfiles/DescFile_Text.h"
#include "framework/IniFiles.h"

#include <set>

namespace {


class EDS : public DescProject {
protected:
    void SetUp() override {
        DescProject::SetUp();
        Model_Code = 24;
    }
    void PDO(const std::string& receive, const std::string& transmit) {
        Table("PDO_CANopen.xml", "EtherNetIP_to_SDO_CANopen",
              "<Receive_PDO>" + receive + "</Receive_PDO><Transmit_PDO>" + transmit + "</Transmit_PDO>");
    }
    void SDO(const std::string& read, const std::string& write) {
        Table("SDO_Server_CANopen.xml", "EtherNetIP_to_SDO_CANopen",
              "<SDO_Read>" + read + "</SDO_Read><SDO_Write>" + write + "</SDO_Write>");
    }
    static std::string Rx(const std::string& cob, const std::string& dim) {
        return "<row COB-ID=\"" + cob + "\" Dimension=\"" + dim +
               "\" Address_B1=\"0\" Address_B2=\"1\" Address_B3=\"\" Address_B4=\"\" Address_B5=\"\" Address_B6=\"\" "
               "Address_B7=\"\" Address_B8=\"\" TimeOut=\"0\" Mnemonic=\"\"/>";
    }
    static std::string Sdo(const std::string& index, const std::string& sub, const std::string& nbyte) {
        return "<row Index=\"" + index + "\" SubIndex=\"" + sub + "\" NByte=\"" + nbyte +
               "\" Address_B1=\"0\" Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"\"/>";
    }
    std::string Generate() {
        TClockGuard clock(EncodeDateTime(2026, 12, 9, 15, 7, 42, 0));
        Write_EDS_File(P("out.eds"));
        return dir.read("out.eds");
    }
    // The section names in file order, as they stand in the file.
    static std::vector<std::string> Sections(const std::string& bytes) {
        std::vector<std::string> out;
        for (const auto& l : Crlf_Lines(bytes))
            if (!l.empty() && l[0] == '[') out.push_back(l.substr(1, l.size() - 2));
        return out;
    }
    void Expect_Unique_Sections(const std::string& bytes) {
        const auto sections = Sections(bytes);
        std::set<std::string> seen;
        for (const auto& s : sections) EXPECT_TRUE(seen.insert(s).second) << "section [" << s << "] twice";
    }
};

TEST_F(EDS, PdoWorkedExampleMatchesGoldenFile) {
    PDO(Rx("0x201", "2"), "");
    const std::string actual = Generate();
    Expect_Same_Lines(Golden("eds/PDO_Example.eds", actual), actual);
    Expect_Unique_Sections(actual);
    EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(actual));

    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"1", ini.ReadString(u"DeviceInfo", u"NrOfRXPDO", u""));
    EXPECT_EQ(u"11", ini.ReadString(u"OptionalObjects", u"SupportedObjects", u""));
    EXPECT_EQ(u"0x1400", ini.ReadString(u"OptionalObjects", u"9", u""));
    EXPECT_EQ(u"0x1600", ini.ReadString(u"OptionalObjects", u"10", u""));
    EXPECT_EQ(u"0x7000", ini.ReadString(u"OptionalObjects", u"11", u""));
    EXPECT_EQ(u"0x00000201", ini.ReadString(u"1400sub1", u"DefaultValue", u""));
    EXPECT_EQ(u"3", ini.ReadString(u"1600", u"SubNumber", u""));
    EXPECT_EQ(u"0x70000108", ini.ReadString(u"1600sub1", u"DefaultValue", u""));
    EXPECT_EQ(u"0x70000208", ini.ReadString(u"1600sub2", u"DefaultValue", u""));
    EXPECT_EQ(u"RPDO1", ini.ReadString(u"7000", u"ParameterName", u""));
    EXPECT_EQ(u"b1", ini.ReadString(u"7000sub1", u"ParameterName", u""));
    EXPECT_EQ(u"b2", ini.ReadString(u"7000sub2", u"ParameterName", u""));
    EXPECT_EQ(u"03:07PM", ini.ReadString(u"FileInfo", u"CreationTime", u""));
    EXPECT_EQ(u"12-09-2026", ini.ReadString(u"FileInfo", u"CreationDate", u""));
}

TEST_F(EDS, SdoWorkedExampleMatchesGoldenFile) {
    SDO(Sdo("0x2000", "3", "2") + Sdo("0x2000", "1", "1"), Sdo("0x2001", "0", "4"));
    const std::string actual = Generate();
    Expect_Same_Lines(Golden("eds/SDO_Example.eds", actual), actual);
    Expect_Unique_Sections(actual);

    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"2", ini.ReadString(u"ManufacturerObjects", u"SupportedObjects", u""));
    EXPECT_EQ(u"0x2000", ini.ReadString(u"ManufacturerObjects", u"1", u""));
    EXPECT_EQ(u"0x2001", ini.ReadString(u"ManufacturerObjects", u"2", u""));
    EXPECT_EQ(u"3", ini.ReadString(u"2000", u"SubNumber", u""));
    EXPECT_EQ(u"0x03", ini.ReadString(u"2000sub0", u"DefaultValue", u""));
    EXPECT_EQ(u"0x0005", ini.ReadString(u"2000sub1", u"DataType", u""));
    EXPECT_EQ(u"ro", ini.ReadString(u"2000sub1", u"AccessType", u""));
    EXPECT_EQ(u"0x0006", ini.ReadString(u"2000sub3", u"DataType", u""));
    // Sub-index 0 alone: a plain UNSIGNED32 variable, not a record.
    EXPECT_FALSE(ini.ValueExists(u"2001", u"SubNumber"));
    EXPECT_FALSE(ini.SectionExists(u"2001sub0"));
    EXPECT_EQ(u"0x7", ini.ReadString(u"2001", u"ObjectType", u""));
    EXPECT_EQ(u"0x0007", ini.ReadString(u"2001", u"DataType", u""));
    EXPECT_EQ(u"rw", ini.ReadString(u"2001", u"AccessType", u""));
    EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(actual));
    const auto sections = Sections(actual);
    const auto at = [&](const std::string& s) { return std::find(sections.begin(), sections.end(), s) - sections.begin(); };
    EXPECT_LT(at("2000sub0"), at("2000sub1"));
    EXPECT_LT(at("2000sub1"), at("2000sub3"));
}

TEST_F(EDS, RepeatedSubIndexMakesOneEntryReadWriteWhenEitherWrites) {
    SDO(Sdo("8192", "10", "1") + Sdo("0x2000", "10", "1") + Sdo("0x2000", "2", "2"), Sdo("0x2000", "0xA", "4"));
    const std::string actual = Generate();
    Expect_Unique_Sections(actual);
    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"1", ini.ReadString(u"ManufacturerObjects", u"SupportedObjects", u""));
    EXPECT_EQ(u"3", ini.ReadString(u"2000", u"SubNumber", u""));  // generated sub 0, sub 2, sub 10
    EXPECT_EQ(u"0x0A", ini.ReadString(u"2000sub0", u"DefaultValue", u""));
    EXPECT_EQ(u"rw", ini.ReadString(u"2000subA", u"AccessType", u""));
    EXPECT_EQ(u"0x0005", ini.ReadString(u"2000subA", u"DataType", u""));  // the first row's size
    EXPECT_EQ(u"ro", ini.ReadString(u"2000sub2", u"AccessType", u""));
}

TEST_F(EDS, ARowAtSubIndexZeroBesideOthersGivesWayToTheCount) {
    SDO(Sdo("0x2100", "0", "4") + Sdo("0x2100", "2", "2"), Sdo("0x2100", "1", "1"));
    const std::string actual = Generate();
    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"3", ini.ReadString(u"2100", u"SubNumber", u""));
    EXPECT_EQ(u"Largest Sub-Index supported", ini.ReadString(u"2100sub0", u"ParameterName", u""));
    EXPECT_EQ(u"0x0005", ini.ReadString(u"2100sub0", u"DataType", u""));
    EXPECT_EQ(u"ro", ini.ReadString(u"2100sub0", u"AccessType", u""));
    EXPECT_EQ(u"0x02", ini.ReadString(u"2100sub0", u"DefaultValue", u""));
    EXPECT_EQ(u"rw", ini.ReadString(u"2100sub1", u"AccessType", u""));
    EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(actual));
}

// Every model that writes a data sheet, with full PDO tables and SDO objects
// of every shape: the sheet keeps the format's rules.
TEST_F(EDS, EveryModelsSheetWithFullTablesKeepsTheFormatsRules) {
    std::string rx, tx;
    for (int i = 0; i < 30; ++i) {
        rx += Rx(std::to_string(0x200 + i), std::to_string(i % 8 + 1));
        tx += Rx(std::to_string(0x180 + i), std::to_string(8 - i % 8));
    }
    PDO(rx, tx);
    std::string read, write;
    for (int i = 0; i < 40; ++i) {
        const std::string index = std::to_string(0x2000 + i);
        const std::string size = std::to_string(i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 4);
        switch (i % 4) {
        case 0: read += Sdo(index, "0", size); break;                               // a variable alone
        case 1: read += Sdo(index, "0", size) + Sdo(index, "3", size); break;       // count and entries
        case 2: write += Sdo(index, "1", size) + Sdo(index, "254", "4"); break;     // no row at 0
        default: read += Sdo(index, "5", size); write += Sdo(index, "0", size) + Sdo(index, "5", "2"); break;
        }
    }
    SDO(read, write);
    for (int model : {8, 24, 33}) {
        Model_Code = model;
        const std::string actual = Generate();
        EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(actual)) << "model " << model;
        TIniFile ini(P("out.eds"));
        EXPECT_EQ(u"30", ini.ReadString(u"DeviceInfo", u"NrOfTXPDO", u""));
        EXPECT_EQ(u"40", ini.ReadString(u"ManufacturerObjects", u"SupportedObjects", u""));
    }
}

TEST(EDS_Rules, TheCheckFindsTheFaultsToolsRejectSheetsFor) {
    const std::string base =
        "[FileInfo]\r\nFileName=x.eds\r\n[DeviceInfo]\r\nNrOfRXPDO=0\r\nNrOfTXPDO=0\r\n"
        "[MandatoryObjects]\r\nSupportedObjects=3\r\n1=0x1000\r\n2=0x1001\r\n3=0x1018\r\n"
        "[1000]\r\nParameterName=Device Type\r\nObjectType=0x07\r\nDataType=0x0007\r\nAccessType=const\r\n"
        "[1001]\r\nParameterName=Error Register\r\nObjectType=0x07\r\nDataType=0x0005\r\nAccessType=ro\r\n"
        "[1018]\r\nSubNumber=2\r\nParameterName=Identity Object\r\nObjectType=0x09\r\n"
        "[1018sub0]\r\nParameterName=n\r\nObjectType=0x7\r\nDataType=0x0005\r\nAccessType=ro\r\nDefaultValue=1\r\n"
        "[1018sub1]\r\nParameterName=Vendor\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=ro\r\n";
    EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(base));
    // The object of a single row at sub-index 0 as the old sheet wrote it.
    const std::string old_record =
        base +
        "[ManufacturerObjects]\r\nSupportedObjects=1\r\n1=0x2001\r\n"
        "[2001]\r\nSubNumber=1\r\nParameterName=App Vars\r\nObjectType=0x9\r\n"
        "[2001sub0]\r\nParameterName=Application Variable\r\nObjectType=0x7\r\nDataType=0x0007\r\n"
        "AccessType=rw\r\nDefaultValue=0x00000000\r\n";
    const std::vector<std::string> old_faults = {"[2001sub0] is not the UNSIGNED8 count of the entries"};
    EXPECT_EQ(old_faults, eds_rules::Violations(old_record));
    const std::pair<std::string, std::string> faults[] = {
        {base + "[1018sub2]\r\nParameterName=x\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=ro\r\n",
         "[1018] SubNumber=2 but 3 sub-sections"},
        {base + "[1000]\r\n", "section [1000] twice"},
        {base + "[OptionalObjects]\r\nSupportedObjects=2\r\n1=0x1005\r\n",
         "[OptionalObjects] lists 1 objects, SupportedObjects says 2"},
        {base + "[1005]\r\nParameterName=x\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=rw\r\n",
         "object section [1005] is in no object list"},
    };
    for (const auto& [text, first] : faults) {
        const auto found = eds_rules::Violations(text);
        ASSERT_FALSE(found.empty()) << first;
        EXPECT_EQ(first, found.front());
    }
    std::string bad_type = base;
    bad_type.replace(bad_type.find("AccessType=const"), 16, "AccessType=read");
    EXPECT_EQ(std::vector<std::string>{"[1000] has no valid AccessType"}, eds_rules::Violations(bad_type));
}

TEST_F(EDS, AnIndexInBothTablesMixesReadOnlyAndReadWrite) {
    SDO(Sdo("0x3000", "1", "4"), Sdo("0x3000", "2", "4"));
    Generate();
    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"ro", ini.ReadString(u"3000sub1", u"AccessType", u""));
    EXPECT_EQ(u"rw", ini.ReadString(u"3000sub2", u"AccessType", u""));
}

TEST_F(EDS, MoreThanThirtyPdosAreWrittenWithNamesOfTheirOwn) {
    std::string rows;
    for (int i = 0; i < 40; ++i) rows += Rx(std::to_string(0x200 + i), "1");
    PDO(rows, rows);
    const std::string actual = Generate();
    Expect_Unique_Sections(actual);
    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"40", ini.ReadString(u"DeviceInfo", u"NrOfRXPDO", u""));
    EXPECT_EQ(u"av1", ini.ReadString(u"701Dsub1", u"ParameterName", u""));
    EXPECT_EQ(u"rx31_1", ini.ReadString(u"701Esub1", u"ParameterName", u""));
    EXPECT_EQ(u"tx40_1", ini.ReadString(u"7077sub1", u"ParameterName", u""));
    EXPECT_EQ(u"248", ini.ReadString(u"OptionalObjects", u"SupportedObjects", u""));
}

TEST_F(EDS, ObjectsThatWouldRepeatASectionAreRefused) {
    std::string rows;
    for (int i = 0; i < 31; ++i) rows += Rx("0x181", "1");
    PDO(rows, "");
    SDO(Sdo("0x701E", "0", "1"), "");  // the 31st receive PDO's data object
    EXPECT_THROW(Generate(), EDescFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.eds")));
}

TEST_F(EDS, ModelIdentity) {
    for (auto [model, file, product] : std::vector<std::tuple<int, const char16_t*, const char16_t*>>{
             {24, u"PROFINET_CANopen.eds", u"817"}, {33, u"CANopen_SNMP_Agent.eds", u"805"}, {8, u"PROFINET_CANopen.eds", u"830"}}) {
        Model_Code = model;
        Generate();
        TIniFile ini(P("out.eds"));
        EXPECT_EQ(file, ini.ReadString(u"FileInfo", u"FileName", u"")) << model;
        EXPECT_EQ(product, ini.ReadString(u"DeviceInfo", u"ProductNumber", u"")) << model;
    }
}

TEST_F(EDS, NoTablesGiveTheFixedObjectsOnly) {
    const std::string actual = Generate();
    Expect_Unique_Sections(actual);
    EXPECT_EQ(std::vector<std::string>{}, eds_rules::Violations(actual));
    TIniFile ini(P("out.eds"));
    EXPECT_EQ(u"0", ini.ReadString(u"DeviceInfo", u"NrOfRXPDO", u""));
    EXPECT_EQ(u"0", ini.ReadString(u"ManufacturerObjects", u"SupportedObjects", u""));
    EXPECT_EQ(u"8", ini.ReadString(u"OptionalObjects", u"SupportedObjects", u""));
}

TEST_F(EDS, PdoDefaultsAndRefusals) {
    PDO("<row Mnemonic=\"x\"/>", "<row COB-ID=\"abc\" Dimension=\"\"/>");
    Generate();
    EXPECT_EQ(0, EDS_TPDO_Table[0].COB_ID);
    EXPECT_EQ(8, EDS_TPDO_Table[0].Dimension);
    EXPECT_EQ(8, EDS_RPDO_Table[0].Dimension);
    for (const char* dim : {"0", "9", "-1"}) {
        PDO(Rx("0x181", dim), "");
        EXPECT_THROW(Generate(), EDescFileError) << dim;
    }
}

TEST_F(EDS, BadSdoTablesStopTheGeneration) {
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"<SDO_Read>" + Sdo("x", "1", "1") + "</SDO_Read><SDO_Write/>", "non-numeric Index"},
        {"<SDO_Read><row Index=\"0x2000\" NByte=\"1\"/></SDO_Read><SDO_Write/>", "missing SubIndex"},
        {"<SDO_Read>" + Sdo("0x2000", "256", "1") + "</SDO_Read><SDO_Write/>", "SubIndex out of range"},
        {"<SDO_Read>" + Sdo("0x12000", "1", "1") + "</SDO_Read><SDO_Write/>", "Index out of range"},
        {"<SDO_Read/>", "no SDO_Write element"},
    };
    for (const auto& [body, what] : bad) {
        Table("SDO_Server_CANopen.xml", "EtherNetIP_to_SDO_CANopen", body);
        EXPECT_THROW(Generate(), EDescFileError) << what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.eds"))) << what;
    }
    dir.write("SDO_Server_CANopen.xml", "<EtherNetIP_to_SDO_CANopen><SDO_Read>");
    EXPECT_THROW(Generate(), EXmlError);
}

TEST(EDS_Clock, TimeTextsUseTheTwelveHourClock) {
    struct Case {
        int hour, minute;
        const char16_t* text;
    };
    for (const Case& c : {Case{15, 7, u"03:07PM"}, Case{12, 0, u"12:00PM"}, Case{12, 30, u"12:30PM"},
                          Case{0, 5, u"12:05AM"}, Case{0, 0, u"12:00AM"}, Case{9, 41, u"09:41AM"},
                          Case{11, 59, u"11:59AM"}, Case{23, 59, u"11:59PM"}, Case{13, 0, u"01:00PM"}})
        EXPECT_EQ(c.text, EDS_Time_Text(EncodeTime(c.hour, c.minute, 59, 999))) << c.hour << ":" << c.minute;
    EXPECT_EQ(u"12-09-2026", EDS_Date_Text(EncodeDate(2026, 12, 9)));
    EXPECT_EQ(u"01-31-2027", EDS_Date_Text(EncodeDateTime(2027, 1, 31, 23, 59, 0, 0)));
}

}  // namespace
