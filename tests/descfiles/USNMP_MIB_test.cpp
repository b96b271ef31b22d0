#include "descfiles/USNMP_MIB.h"

#include "DescFixture.h"
#include "descfiles/DescFile_Text.h"

#include <array>
#include <cstdio>

namespace {

class MIB : public DescProject {
protected:
    static std::string Row(const std::string& enable, const std::string& description, const std::string& type) {
        return "<row Enable=\"" + enable + "\" Community_Name=\"public\" Type=\"" + type +
               "\" Position=\"0\" Bit=\"0\" NumBits=\"8\" Description=\"" + description +
               "\" Conversion=\"None\" Mnemonic=\"\"/>";
    }
    void Maps(const std::string& read, const std::string& write) {
        Table("SNMP_Trap.xml", "SNMP_Trap",
              "<SNMP_Trap_Read>" + read + "</SNMP_Trap_Read><SNMP_Trap_Write>" + write + "</SNMP_Trap_Write>");
    }
    // The Part's example: two enabled read rows around a disabled one, one enabled write row.
    void Example() {
        Maps(Row("Y", "temp", "Int") + Row("N", "off", "Int") + Row("Y", "label", "String"), Row("Y", "setpoint", "Int"));
    }
    std::string Generate() {
        Read_SNMP_Trap_For_MIB();
        Write_MIB_File(P("out.mib"));
        return dir.read("out.mib");
    }
    static std::vector<std::string> Containing(const std::string& bytes, const std::string& part) {
        std::vector<std::string> out;
        for (const auto& l : Crlf_Lines(bytes))
            if (l.find(part) != std::string::npos) out.push_back(l);
        return out;
    }
};

TEST_F(MIB, WorkedExampleMatchesGoldenFile) {
    Model_Code = 15;
    Example();
    const std::string actual = Generate();
    Expect_Same_Lines(Golden("mib/Example.mib", actual), actual);
    EXPECT_EQ((std::vector<std::string>{
                  "temp OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"temp\" ::= { bufferinval 1 }",
                  "label OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"label\" ::= { bufferinval 2 }"}),
              Containing(actual, "::= { bufferinval "));
    EXPECT_EQ((std::vector<std::string>{
                  "setpoint OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-write STATUS current DESCRIPTION \"setpoint\" ::= { bufferoutval 1 }"}),
              Containing(actual, "::= { bufferoutval "));
    EXPECT_EQ((std::vector<std::string>{
                  "trapval1 NOTIFICATION-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"temp\" ::= { trapsval 1 }",
                  "trapval2 NOTIFICATION-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"label\" ::= { trapsval 2 }"}),
              Containing(actual, "NOTIFICATION-TYPE"));
}

TEST_F(MIB, Model21ListsNoWriteObjectsAndMatchesGoldenFile) {
    Model_Code = 21;
    Example();
    const std::string actual = Generate();
    Expect_Same_Lines(Golden("mib/Model_21.mib", actual), actual);
    EXPECT_TRUE(Containing(actual, "bufferoutval ").size() == 1);  // only the node itself
    // Its map file has no write table at all.
    Table("SNMP_Trap.xml", "SNMP_Trap", "<SNMP_Trap_Read>" + Row("Y", "temp", "Int") + "</SNMP_Trap_Read>");
    EXPECT_NO_THROW(Generate());
}

TEST_F(MIB, RowReadingRules) {
    Model_Code = 15;
    Maps(Row("y", "a", "int") + "<row Description=\"skipped\"/>" + Row("Y", "", "String") + Row("N", "b", "Int") +
             Row("Y", "c", "Float"),
         "");
    Read_SNMP_Trap_For_MIB();
    EXPECT_EQ((std::vector<String>{u"a", u"", u"c"}), SNMP_MIB_Read_List);
    EXPECT_EQ((std::vector<bool>{true, false, false}), MIB_Read_Is_Int);
    const std::string actual = Generate();
    EXPECT_EQ((std::vector<std::string>{
                  "bufferinval2 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"\" ::= { bufferinval 2 }"}),
              Containing(actual, "{ bufferinval 2 }"));
    EXPECT_EQ(1u, Containing(actual, "trapval2 NOTIFICATION-TYPE").size());
}

TEST_F(MIB, MoreThan256RowsAreAllWritten) {
    Model_Code = 15;
    std::string rows;
    for (int i = 0; i < 300; ++i) rows += Row("Y", "v" + std::to_string(i), i % 2 ? "Int" : "String");
    Maps(rows, rows);
    const std::string actual = Generate();
    EXPECT_EQ(300u, Containing(actual, "::= { bufferinval ").size());
    EXPECT_EQ(1u, Containing(actual, "v299 OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-write").size());
}

TEST_F(MIB, BadMapFilesStopTheGeneration) {
    Model_Code = 15;
    Table("SNMP_Trap.xml", "SNMP_Trap", "<SNMP_Trap_Read/>");
    EXPECT_THROW(Generate(), EDescFileError);
    Table("SNMP_Trap.xml", "SNMP_Trap", "<SNMP_Trap_Write/>");
    EXPECT_THROW(Generate(), EDescFileError);
    dir.write("SNMP_Trap.xml", "<SNMP_Trap><SNMP_Trap_Read>");
    EXPECT_THROW(Generate(), EXmlError);
    // A quote or a line break would end the MIB's quoted text early.
    Maps(Row("Y", "a&quot;b", "Int"), "");
    EXPECT_THROW(Generate(), EDescFileError);
    Maps("", Row("Y", "a&#10;b", "Int"));
    EXPECT_THROW(Generate(), EDescFileError);
    // A character the code page has no byte for is named, not written as "?".
    Maps(Row("Y", "temp\xE2\x84\x83", "Int"), "");
    try {
        Generate();
        ADD_FAILURE() << "no refusal";
    } catch (const EDescFileError& e) {
        EXPECT_NE(String::npos, e.Message().find(u"U+2103")) << StringToUtf8(e.Message());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.mib")));
}

TEST_F(MIB, NoMapFileGivesTheFixedTree) {
    Model_Code = 15;
    SNMP_MIB_Read_List = {u"stale"};
    const std::string actual = Generate();
    EXPECT_TRUE(SNMP_MIB_Read_List.empty());
    EXPECT_EQ(0u, Containing(actual, "NOTIFICATION-TYPE").size());
    EXPECT_EQ("END", Crlf_Lines(actual).back());
}

// What net-snmp's parser makes of the generated module.
std::string Shell_Output(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    std::array<char, 4096> buf;
    while (size_t n = fread(buf.data(), 1, buf.size(), p)) out.append(buf.data(), n);
    pclose(p);
    return out;
}

TEST_F(MIB, LoadsInSnmptranslate) {
    if (Shell_Output("command -v snmptranslate").empty()) {
        std::printf("snmptranslate is not installed (Debian package snmp): check skipped\n");
        GTEST_SKIP();
    }
    Model_Code = 15;
    Example();
    Generate();
    // snmptranslate finds a module by its file name; the standard modules it
    // imports come from small stand-ins, not from the machine's MIB folders.
    std::filesystem::rename(dir.file("out.mib"), dir.file("GATEWAY.txt"));
    const std::string mibs = "snmptranslate -M " + Data_Dir() + "/mib/smi:" + dir.path() + " -m GATEWAY ";
    EXPECT_EQ("", Shell_Output(mibs + "-PW -Tp 2>&1 >/dev/null")) << "the parser complains";
    const std::vector<std::pair<std::string, std::string>> oids = {
        {"identity", ".1.3.6.1.4.1.61847.2"},
        {"hellostring", ".1.3.6.1.4.1.61847.1.1.1.1"},
        {"bufferinblk8", ".1.3.6.1.4.1.61847.1.1.1.4.8"},
        {"temp", ".1.3.6.1.4.1.61847.1.1.1.4.9.1"},
        {"label", ".1.3.6.1.4.1.61847.1.1.1.4.9.2"},
        {"bufferoutblk1", ".1.3.6.1.4.1.61847.1.1.1.5.1"},
        {"setpoint", ".1.3.6.1.4.1.61847.1.1.1.5.9.1"},
        {"trapval2", ".1.3.6.1.4.1.61847.1.1.2.1.2"},
    };
    for (const auto& [name, oid] : oids) EXPECT_EQ(oid + "\n", Shell_Output(mibs + "-On GATEWAY::" + name)) << name;
    EXPECT_NE(std::string::npos, Shell_Output(mibs + "-Td GATEWAY::setpoint").find("MAX-ACCESS\tread-write"));
}

}  // namespace
