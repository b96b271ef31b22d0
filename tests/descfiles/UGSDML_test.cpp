#include "descfiles/UGSDML.h"

#include "DescFixture.h"
#include "descfiles/DescFile_Text.h"
#include "descfiles/UGSDML_Template.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"

#include <optional>

namespace {

using TElements = std::vector<std::pair<std::string, std::string>>;

class GSDML : public DescProject {
protected:
    std::string Generate(int model) {
        Model_Code = model;
        EXPECT_TRUE(Write_GSDML_For_Model(P("out.xml")));
        return dir.read("out.xml");
    }
    // The document read back with the project's XML reader.
    TXmlNode Parse(TXmlDocument& doc) {
        doc.LoadFromFile(P("out.xml"));
        return doc.DocumentElement();
    }
    static TXmlNode Path(TXmlNode node, std::initializer_list<const char16_t*> names) {
        for (const char16_t* n : names) node = node.ChildNode(n);
        return node;
    }
    static std::vector<std::string> Containing(const std::string& bytes, const std::string& part) {
        std::vector<std::string> out;
        for (const auto& l : Crlf_Lines(bytes))
            if (l.find(part) != std::string::npos) out.push_back(l.substr(l.find_first_not_of(' ')));
        return out;
    }
    void J1939_Rec(const std::string& rows) { Table("J1939_Rec_Frames.xml", "Receive_J1939", rows); }
    void J1939_Send(const std::string& rows) { Table("J1939_Send_Frames.xml", "Receive_J1939", rows); }
    void NMEA_Rec(const std::string& rows) { Table("NMEA_Rec_Frames.xml", "Receive_NMEA_2000", rows); }
    void NMEA_Send(const std::string& rows) { Table("NMEA_Send_Frames.xml", "Receive_NMEA_2000", rows); }
};

// ---------------------------------------------------------------------------
// Size readers
// ---------------------------------------------------------------------------

struct SizeCase {
    const char* what;
    int model;
    std::optional<TElements> pargen;  // nullopt: no "ParGen.xml"
    std::string j1939_rec, j1939_send, nmea_rec, nmea_send;  // row elements; "-": no file
    int in, out;
    const char16_t* station;  // null: not checked
};

TEST_F(GSDML, SizeReaders) {
    const std::string none = "-";
    const SizeCase cases[] = {
        {"CANopen without ParGen", 24, std::nullopt, none, none, none, none, 1440, 1440, u"SERIAL"},
        {"CANopen non-numeric and zero", 24, TElements{{"PROFINET_NB_OUT", "abc"}, {"PROFINET_NB_IN", "0"}}, none, none, none, none, 1440, 0, u"SERIAL"},
        {"CANopen reverse keys", 8, TElements{{"PROFINET_NB_OUT", "100"}, {"PROFINET_NB_IN", "0x20"}}, none, none, none, none, 100, 32, nullptr},
        {"CAN default", 0, TElements{}, none, none, none, none, 1438, 1438, u"SERIAL"},
        {"Serial straight keys", 9, TElements{{"PROFINET_NB_IN", "7"}, {"PROFINET_NB_OUT", "9"}}, none, none, none, none, 7, 9, u"SERIAL"},
        {"Serial default", 9, std::nullopt, none, none, none, none, 500, 500, u"SERIAL"},
        {"SNMP agent default", 20, std::nullopt, none, none, none, none, 1024, 1024, u"SERIAL"},
        {"DeviceNet master", 1, TElements{{"PROFINET_NB_IN", "11"}}, none, none, none, none, 11, 1438, nullptr},
        {"DeviceNet slave", 2, TElements{{"DNETS_NB_OUT", "3"}, {"DNETS_NB_IN", "4"}}, none, none, none, none, 3, 4, nullptr},
        {"DeviceNet slave default", 2, std::nullopt, none, none, none, none, 455, 455, nullptr},
        {"PROFIBUS slave without ParGen", 3, std::nullopt, none, none, none, none, 0, 0, nullptr},
        {"PROFIBUS slave", 3, TElements{{"PROFIBUS_SLAVE_NB_OUT", "10"}, {"PROFIBUS_SLAVE_NB_IN", "x"}}, none, none, none, none, 10, 0, nullptr},
        {"Modbus master", 4, TElements{{"MODBUS_MASTER_NB_OUT", "20"}, {"MODBUS_MASTER_NB_IN", "30"}}, none, none, none, none, 20, 30, u"SERIAL"},
        {"Modbus slave default name", 5, std::nullopt, none, none, none, none, 512, 512, u"gx52826"},
        {"Modbus slave keeps blanks", 26, TElements{{"PROFINET_NAME_STA", "   "}}, none, none, none, none, 512, 512, u"   "},
        {"Modbus TCP master", 11, TElements{{"MODBUS_TCP_MASTER_NB_OUT", "1025"}, {"MODBUS_TCP_MASTER_NB_IN", "10"}}, none, none, none, none, 1025, 10, nullptr},
        {"Modbus TCP slave", 12, TElements{{"MODBUS_TCP_Slave_NB_OUT", "5"}, {"MODBUS_TCP_Slave_NB_IN", "6"}}, none, none, none, none, 5, 6, u"SERIAL"},
        {"EtherNet/IP default", 13, std::nullopt, none, none, none, none, 496, 496, nullptr},
        {"Ethernet default", 31, std::nullopt, none, none, none, none, 512, 512, u"SERIAL"},
        {"M-Bus without ParGen", 10, std::nullopt, none, none, none, none, 1, 4, u"devicefl"},
        {"M-Bus without the key", 10, TElements{}, none, none, none, none, 1439, 4, u"devicefl"},
        // Model 10's image takes the low 16 bits of the length, at most 1439.
        {"M-Bus beyond the image", 10, TElements{{"PROFINET_NB_OUT", "2000"}}, none, none, none, none, 1439, 4, nullptr},
        {"M-Bus negative", 10, TElements{{"PROFINET_NB_OUT", "-5"}}, none, none, none, none, 1439, 4, nullptr},
        {"M-Bus 65536 is 0", 10, TElements{{"PROFINET_NB_OUT", "65536"}}, none, none, none, none, 1, 4, nullptr},
        {"M-Bus zero becomes one", 10, TElements{{"PROFINET_NB_OUT", "0"}, {"PROFINET_NB_IN", "99"}}, none, none, none, none, 1, 4, u"devicefl"},
        {"DMX without ParGen", 22, std::nullopt, none, none, none, none, 1, 512, nullptr},
        {"DMX out", 22, TElements{{"DMX_TYPE", "1"}, {"PROFINET_NB_IN", "300"}}, none, none, none, none, 1, 300, nullptr},
        {"DMX in", 29, TElements{{"DMX_TYPE", "0"}, {"PROFINET_NB_OUT", "200"}}, none, none, none, none, 200, 1, nullptr},
        {"DMX other direction text", 22, TElements{{"DMX_TYPE", " 0"}}, none, none, none, none, 1, 512, nullptr},
        {"station name blanks", 24, TElements{{"PROFINET_NAME_STA", "  "}}, none, none, none, none, 1440, 1440, u"SERIAL"},
        {"station name untrimmed", 24, TElements{{"PROFINET_NAME_STA", " plc 1 "}}, none, none, none, none, 1440, 1440, u" plc 1 "},
        {"J1939 sums", 6, std::nullopt,
         R"(<row TP="Y" TP_NByte="100"/><row TP="N" TP_NByte=""/><row TP="n" TP_NByte="4"/>)", none, none, none, 112, 1, u"SERIAL"},
        {"J1939 send rows", 14, TElements{{"PROFINET_NAME_STA", "st"}}, "",
         R"(<row TP_NByte="3"/><row/><row TP_NByte="x"/>)", none, none, 1, 19, u"st"},
        {"J1939 TP trimmed", 6, std::nullopt, R"(<row TP=" y " TP_NByte="9"/>)", none, none, none, 9, 1, nullptr},
        {"NMEA sums", 7, std::nullopt, none, none,
         R"(<row TP="N" FP="Y" TP_NByte="20"/><row TP="Y" FP="N" TP_NByte="30"/><row TP="N" FP="N"/>)",
         R"(<row TP_NByte="5"/><row TP_NByte="6"/>)", 58, 11, u"SERIAL"},
        {"NMEA empty tables", 28, std::nullopt, none, none, "", "", 1, 1, u"SERIAL"},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* f : {"ParGen.xml", "J1939_Rec_Frames.xml", "J1939_Send_Frames.xml", "NMEA_Rec_Frames.xml",
                              "NMEA_Send_Frames.xml"})
            std::filesystem::remove(dir.file(f));
        if (c.pargen) ParGen(*c.pargen);
        if (c.j1939_rec != none) J1939_Rec(c.j1939_rec);
        if (c.j1939_send != none) J1939_Send(c.j1939_send);
        if (c.nmea_rec != none) NMEA_Rec(c.nmea_rec);
        if (c.nmea_send != none) NMEA_Send(c.nmea_send);
        GSDML_Input_Len = GSDML_Output_Len = -99;
        GSDML_Station_Name = u"stale";
        Generate(c.model);
        EXPECT_EQ(c.in, GSDML_Input_Len);
        EXPECT_EQ(c.out, GSDML_Output_Len);
        if (c.station) {
            EXPECT_EQ(String(c.station), GSDML_Station_Name);
        }
        // The lengths are what the module's data items carry.
        TXmlDocument doc;
        TXmlNode io = Path(Parse(doc), {u"ProfileBody", u"ApplicationProcess", u"ModuleList", u"ModuleItem",
                                        u"VirtualSubmoduleList", u"VirtualSubmoduleItem", u"IOData"});
        if (c.model != 11) {
            EXPECT_EQ(IntToStr(c.in), io.ChildNode(u"Input").ChildNode(u"DataItem").AttributeOr(u"Length", u"?"));
            EXPECT_EQ(IntToStr(c.out), io.ChildNode(u"Output").ChildNode(u"DataItem").AttributeOr(u"Length", u"?"));
        }
    }
}

TEST_F(GSDML, RequiredFrameBytesThatDoNotReadStopTheGeneration) {
    const std::vector<std::tuple<int, std::string, std::string>> bad = {
        {6, "J1939_Rec_Frames.xml", R"(<row TP="Y" TP_NByte="many"/>)"},
        {7, "NMEA_Rec_Frames.xml", R"(<row TP="N" FP="y"/>)"},
        {28, "NMEA_Send_Frames.xml", R"(<row TP_NByte=""/>)"},
    };
    for (const auto& [model, file, rows] : bad) {
        Table(file, "Receive_J1939", rows);
        Model_Code = model;
        EXPECT_THROW(Write_GSDML_For_Model(P("out.xml")), EDescFileError) << file;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
        std::filesystem::remove(dir.file(file));
    }
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>");
    Model_Code = 24;
    EXPECT_THROW(Write_GSDML_For_Model(P("out.xml")), EXmlError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
}

// ---------------------------------------------------------------------------
// Documents
// ---------------------------------------------------------------------------

struct GoldenCase {
    int model;
    TElements pargen;
    const char* file;
};

TEST_F(GSDML, DocumentsMatchGoldenFiles) {
    const GoldenCase cases[] = {
        {0, {{"PROFINET_NB_IN", "64"}, {"PROFINET_NB_OUT", "32"}, {"PROFINET_NAME_STA", "can-gw"}}, "gsdml/Model_0.xml"},
        {3, {{"PROFIBUS_SLAVE_NB_IN", "244"}, {"PROFIBUS_SLAVE_NB_OUT", "100"}}, "gsdml/Model_3.xml"},
        {5, {{"MODBUS_SLAVE_NB_IN", "16"}, {"MODBUS_SLAVE_NB_OUT", "8"}}, "gsdml/Model_5.xml"},
        {10, {{"PROFINET_NB_OUT", "200"}, {"PROFINET_NAME_STA", "meters"}}, "gsdml/Model_10.xml"},
        {11, {{"MODBUS_TCP_MASTER_NB_OUT", "1025"}, {"MODBUS_TCP_MASTER_NB_IN", "10"}}, "gsdml/Model_11_Split.xml"},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.file);
        ParGen(c.pargen);
        const std::string actual = Generate(c.model);
        Expect_Same_Lines(Golden(c.file, actual), actual);
        TXmlDocument doc;
        TXmlNode root = Parse(doc);
        EXPECT_EQ(u"ISO15745Profile", root.NodeName());
    }
}

TEST_F(GSDML, EveryTemplateWritesAWellFormedDocument) {
    const std::string xmllint = Shell_Output("command -v xmllint");
    if (xmllint.empty()) std::printf("xmllint is not installed (Debian package libxml2-utils): its check skipped\n");
    ParGen({{"PROFINET_NAME_STA", "st"}});
    int templates = 0;
    for (int model = 0; model <= 35; ++model) {
        SCOPED_TRACE(model);
        Model_Code = model;
        std::filesystem::remove(dir.file("out.xml"));
        if (!Write_GSDML_For_Model(P("out.xml"))) {
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
            continue;
        }
        ++templates;
        const std::string bytes = dir.read("out.xml");
        const bool latin1 = model == 0 || model == 27 || model == 5 || model == 26 || model == 28;
        EXPECT_EQ(!latin1, bytes.rfind("\xEF\xBB\xBF", 0) == 0);
        EXPECT_NE(std::string::npos,
                  Crlf_Lines(bytes)[0].find(latin1 ? "encoding=\"iso-8859-1\"" : "encoding=\"UTF-8\""));
        EXPECT_EQ(bytes.size() - 2, bytes.rfind("\r\n"));
        TXmlDocument doc;
        TXmlNode body = Path(Parse(doc), {u"ProfileBody"});
        EXPECT_FALSE(Path(body, {u"DeviceIdentity"}).AttributeOr(u"DeviceID", u"").empty());
        const TXmlNode dap = Path(body, {u"ApplicationProcess", u"DeviceAccessPointList", u"DeviceAccessPointItem"});
        EXPECT_FALSE(dap.AttributeOr(u"ImplementationType", u"").empty());
        const String dns = dap.AttributeOr(u"DNS_CompatibleName", u"");
        EXPECT_EQ(LowerCase(dns), dns);
        // What an independent XML reader makes of it.
        if (!xmllint.empty()) {
            EXPECT_EQ("", Shell_Output("xmllint --noout " + dir.file("out.xml")));
        }
    }
    EXPECT_EQ(24, templates);
}

TEST_F(GSDML, ProjectTextIsEscapedAndReadsBack) {
    const std::string name = "a&b <\"c\"> 'd'\tè";
    ParGen({{"PROFINET_NAME_STA", "a&amp;b &lt;\"c\"&gt; 'd'&#9;\xC3\xA8"}});
    for (int model : {24, 0}) {  // UTF-8 and ISO-8859-1
        SCOPED_TRACE(model);
        Generate(model);
        TXmlDocument doc;
        TXmlNode dap = Path(Parse(doc), {u"ProfileBody", u"ApplicationProcess", u"DeviceAccessPointList",
                                         u"DeviceAccessPointItem"});
        EXPECT_EQ(Utf8ToString(name), dap.AttributeOr(u"ImplementationType", u""));
        EXPECT_EQ(Utf8ToString(name), dap.AttributeOr(u"DNS_CompatibleName", u""));
    }
    EXPECT_NE(std::string::npos, dir.read("out.xml").find("a&amp;b &lt;&quot;c&quot;&gt; &apos;d&apos;&#9;\xE8\""));
}

TEST_F(GSDML, CharactersTheFileCannotHoldAreRefusedByName) {
    ParGen({{"PROFINET_NAME_STA", "plc\xE2\x82\xAC"}});  // the euro sign
    Model_Code = 0;                                        // written in ISO-8859-1
    try {
        Write_GSDML_For_Model(P("out.xml"));
        FAIL() << "no refusal";
    } catch (const EDescFileError& e) {
        EXPECT_NE(String::npos, e.Message().find(u"U+20AC")) << StringToUtf8(e.Message());
        EXPECT_NE(String::npos, e.Message().find(u"station name")) << StringToUtf8(e.Message());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
    // A character beyond U+FFFF is named by its code point, not by half of it.
    ParGen({{"PROFINET_NAME_STA", "plc\xF0\x9F\x98\x80"}});
    try {
        Write_GSDML_For_Model(P("out.xml"));
        FAIL() << "no refusal";
    } catch (const EDescFileError& e) {
        EXPECT_NE(String::npos, e.Message().find(u"U+1F600")) << StringToUtf8(e.Message());
        EXPECT_EQ(String::npos, e.Message().find(u"U+D83D")) << StringToUtf8(e.Message());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
    ParGen({{"PROFINET_NAME_STA", "plc\xE2\x82\xAC"}});
    Generate(24);  // UTF-8 holds it
    EXPECT_NE(std::string::npos, dir.read("out.xml").find("plc\xE2\x82\xAC"));

    GSDML_Station_Name = String(u"bell") + Char(7);
    Model_Code = 24;
    EXPECT_THROW(Build_GSDML_Lines(), EDescFileError);
    EXPECT_EQ(u"x&#10;y&#13;", GSDML_Escape(u"x\ny\r"));
}

TEST_F(GSDML, ModbusTcpMasterSplitsAt1024) {
    struct Case {
        std::string out_key, in_key;  // input length, output length
        std::vector<std::string> io_lines;
        bool second;
    };
    const Case cases[] = {
        {"1024", "1024",
         {"<Input><DataItem DataType=\"OctetString\" Length=\"1024\" TextId=\"IDT_Input_1\"/></Input>",
          "<Output><DataItem DataType=\"OctetString\" Length=\"1024\" TextId=\"IDT_Output_1\"/></Output>"},
         false},
        {"1025", "10",
         {"<Input><DataItem DataType=\"OctetString\" Length=\"1024\" TextId=\"IDT_Input_1\"/></Input>",
          "<Output><DataItem DataType=\"OctetString\" Length=\"10\" TextId=\"IDT_Output_1\"/></Output>",
          "<Input><DataItem DataType=\"OctetString\" Length=\"1\" TextId=\"IDT_Input_1\"/></Input>"},
         true},
        {"1440", "1440",
         {"<Input><DataItem DataType=\"OctetString\" Length=\"1024\" TextId=\"IDT_Input_1\"/></Input>",
          "<Output><DataItem DataType=\"OctetString\" Length=\"1024\" TextId=\"IDT_Output_1\"/></Output>",
          "<Input><DataItem DataType=\"OctetString\" Length=\"416\" TextId=\"IDT_Input_1\"/></Input>",
          "<Output><DataItem DataType=\"OctetString\" Length=\"416\" TextId=\"IDT_Output_1\"/></Output>"},
         true},
        {"0", "0", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out_key + "/" + c.in_key);
        ParGen({{"MODBUS_TCP_MASTER_NB_OUT", c.out_key}, {"MODBUS_TCP_MASTER_NB_IN", c.in_key}});
        const std::string actual = Generate(11);
        auto io = Containing(actual, "<DataItem");
        EXPECT_EQ(c.io_lines, io);
        EXPECT_EQ(c.second, actual.find("IDM_2") != std::string::npos);
        EXPECT_EQ(c.second, actual.find("M2") != std::string::npos);
        if (c.io_lines.empty()) {  // the access point's submodule and the module: both without items
            EXPECT_EQ(2u, Containing(actual, "<IOData IOPS_Length=\"1\" IOCS_Length=\"1\"/>").size());
        }
    }
}

TEST_F(GSDML, LengthsTheBusCannotCarryAreRefusedByTheirField) {
    struct Case {
        int model;
        TElements pargen;
        std::string j1939_rec;
        std::string field, length, most;
    } cases[] = {
        {31, {{"PROFINET_NB_OUT", "-5"}}, "", "PROFINET_NB_OUT", "-5", "1440"},
        {24, {{"PROFINET_NB_IN", "1441"}}, "", "PROFINET_NB_IN", "1441", "1440"},
        {11, {{"MODBUS_TCP_MASTER_NB_OUT", "3000"}}, "", "MODBUS_TCP_MASTER_NB_OUT", "3000", "1440"},
        {22, {{"DMX_TYPE", "1"}, {"PROFINET_NB_IN", "2000"}}, "", "PROFINET_NB_IN", "2000", "1440"},
        {3, {{"PROFIBUS_SLAVE_NB_IN", "245"}}, "", "PROFIBUS_SLAVE_NB_IN", "245", "244"},
        {6, {}, R"(<row TP="Y" TP_NByte="1000"/><row TP="N" TP_NByte="500"/>)",
         "TP_NByte of \"J1939_Rec_Frames.xml\"", "1500", "1440"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        ParGen(c.pargen);
        std::filesystem::remove(dir.file("J1939_Rec_Frames.xml"));
        if (!c.j1939_rec.empty()) J1939_Rec(c.j1939_rec);
        Model_Code = c.model;
        try {
            Write_GSDML_For_Model(P("out.xml"));
            ADD_FAILURE() << "written";
        } catch (const EDescFileError& e) {
            EXPECT_EQ("Error! " + c.field + " is " + c.length + " bytes, but the bus carries 0 to " + c.most +
                          " bytes. The file was not written.",
                      StringToUtf8(e.Message()));
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
    }
    // The largest lengths each bus carries are written.
    ParGen({{"PROFINET_NB_OUT", "1440"}, {"PROFINET_NB_IN", "1440"}});
    EXPECT_EQ(2u, Containing(Generate(24), "OctetString\" Length=\"1440\"").size());
    ParGen({{"PROFIBUS_SLAVE_NB_OUT", "244"}, {"PROFIBUS_SLAVE_NB_IN", "244"}});
    EXPECT_EQ(2u, Containing(Generate(3), "OctetString\" Length=\"244\"").size());
}

TEST_F(GSDML, TheNameOfStationIsLowerCase) {
    ParGen({{"PROFINET_NAME_STA", "PLC-Boiler-1"}});
    for (int model : {8, 24}) {  // the fixed text and the project's name
        SCOPED_TRACE(model);
        Generate(model);
        TXmlDocument doc;
        TXmlNode dap = Path(Parse(doc), {u"ProfileBody", u"ApplicationProcess", u"DeviceAccessPointList",
                                         u"DeviceAccessPointItem"});
        EXPECT_EQ(model == 8 ? u"SERIAL" : u"PLC-Boiler-1", dap.AttributeOr(u"ImplementationType", u""));
        EXPECT_EQ(model == 8 ? u"serial" : u"plc-boiler-1", dap.AttributeOr(u"DNS_CompatibleName", u""));
    }
}

TEST_F(GSDML, ModelPairsDifferOnlyInTheirIdentity) {
    const std::vector<std::pair<int, int>> pairs = {{5, 26}, {0, 27}, {4, 25}, {22, 29}};
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(second);
        const auto a = Crlf_Lines(Generate(first));
        const auto b = Crlf_Lines(Generate(second));
        ASSERT_EQ(a.size(), b.size());
        std::vector<std::string> differing;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) differing.push_back(b[i].substr(b[i].find_first_not_of(' ')));
        ASSERT_EQ(3u, differing.size());
        EXPECT_EQ(0u, differing[0].find("<DeviceIdentity "));
        EXPECT_EQ(0u, differing[1].find("<Family "));
        EXPECT_EQ(0u, differing[2].find("<OrderNumber "));
    }
}

TEST_F(GSDML, VariantsAndFamilies) {
    const std::string m3 = Generate(3);
    EXPECT_EQ((std::vector<std::string>{"<IOConfigData MaxInputLength=\"250\" MaxOutputLength=\"250\"/>"}),
              Containing(m3, "<IOConfigData"));
    EXPECT_EQ(1u, Containing(m3, "<ApplicationRelations NumberOfAR=\"2\">").size());
    const std::string m5 = Generate(5);  // family B, Modbus RTU
    EXPECT_EQ(1u, Containing(m5, "<ModuleItemRef ModuleItemTarget=\"IDM_1\" AllowedInSlots=\"1\"/>").size());
    EXPECT_EQ(1u, Containing(m5, "ReductionRatio=\"1 2 4 8 16 32\"").size());
    EXPECT_EQ(1u, Containing(m5, "<ApplicationRelations>").size());
    EXPECT_EQ(1u, Containing(m5, "<SubslotItem SubslotNumber=\"0\" TextId=\"IDT_SUBSLOT_1\"/>").size());
    EXPECT_EQ(1u, Containing(m5, "<ModuleItem ID=\"IDM_1\" ModuleIdentNumber=\"0x00000001\">").size());
    EXPECT_EQ(1u, Containing(m5, "<Text TextId=\"IDT_NAME_S2\" Value=\"Submodule 2\"/>").size());
    EXPECT_EQ(0u, Containing(m5, "IDT_Input_1").size());
    // The text table's last three rows give Value first.
    EXPECT_EQ(1u, Containing(m5, "<Text Value=\"Continue operation\" TextId=\"IDT_ASSIGN_do_continue_counting\"/>").size());
    const std::string m10 = Generate(10);
    EXPECT_EQ(1u, Containing(m10, "Length=\"4\" TextId=\"IDT_Output_1\"").size());
}

TEST(GSDML_Path, TheComposedNameGoesIntoThePickedFolder) {
    EXPECT_EQ(u"/p/q/GSDML-V2.31-Korvia-GX52817-20130109.xml",
              GSDML_Target_Path(u"/p/q/other.xml", u"GSDML-V2.31-Korvia-GX52817-20130109.xml"));
    EXPECT_EQ(u"/n.xml", GSDML_Target_Path(u"/x.xml", u"n.xml"));
}

}  // namespace
