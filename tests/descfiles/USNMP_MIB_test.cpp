#include "descfiles/USNMP_MIB.h"

#include "DescFixture.h"
#include "descfiles/DescFile_Text.h"

#include <array>
#include <cstdio>
#include <sstream>

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
                  "trapval1 NOTIFICATION-TYPE OBJECTS { temp } STATUS current DESCRIPTION \"temp\" ::= { trapsval 1 }",
                  "trapval2 NOTIFICATION-TYPE OBJECTS { label } STATUS current DESCRIPTION \"label\" ::= { trapsval 2 }"}),
              Containing(actual, " NOTIFICATION-TYPE "));
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
    std::string read, write;
    for (int i = 0; i < 300; ++i) {
        read += Row("Y", "v" + std::to_string(i), i % 2 ? "Int" : "String");
        write += Row("Y", "w" + std::to_string(i), i % 2 ? "Int" : "String");
    }
    Maps(read, write);
    const std::string actual = Generate();
    EXPECT_EQ(300u, Containing(actual, "::= { bufferinval ").size());
    EXPECT_EQ(1u, Containing(actual, "w299 OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-write").size());
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
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.mib")));
}

TEST_F(MIB, DescriptionsThatAreNoObjectNamesAreRefusedByRowAndRule) {
    Model_Code = 15;
    const std::string chars_read =
        "!! [SNMP Read] Description is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and "
        "\"0\"..\"9\"). First character must be a letter and must be lowercase";
    const std::string chars_write =
        "!! [SNMP Write] Descrtiption is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and "
        "\"0\"..\"9\"). First character must be a letter and must be lowercase";
    const std::string longer = "!! Description must not be longer than 64 characters";
    const std::string ok = Row("Y", "ok", "Int");
    const std::string off = Row("N", "Not checked", "Int");
    struct Case {
        std::string read, write, row, table, description, rule;
    } cases[] = {
        {ok + Row("Y", "Boiler temp", "Int"), "", "2", "SNMP_Trap_Read", "Boiler temp", chars_read},
        {off + Row("Y", "Flow_Rate", "Int"), "", "2", "SNMP_Trap_Read", "Flow_Rate", chars_read},
        {"", ok + Row("Y", "2nd", "Int"), "2", "SNMP_Trap_Write", "2nd", chars_write},
        {Row("Y", "temp\xE2\x84\x83", "Int"), "", "1", "SNMP_Trap_Read", "temp\xE2\x84\x83", chars_read},
        {Row("Y", "a-b", "Int"), "", "1", "SNMP_Trap_Read", "a-b", chars_read},
        {Row("Y", "a" + std::string(64, 'b'), "Int"), "", "1", "SNMP_Trap_Read", "a" + std::string(64, 'b'), longer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        Maps(c.read, c.write);
        std::filesystem::remove(dir.file("out.mib"));
        try {
            Generate();
            ADD_FAILURE() << "no refusal";
        } catch (const EDescFileError& e) {
            EXPECT_EQ("Error row " + c.row + " of " + c.table + ", description \"" + c.description + "\": " + c.rule +
                          ". The MIB file was not written.",
                      StringToUtf8(e.Message()));
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.mib")));
    }
    // Disabled rows, empty descriptions and the longest descriptor pass.
    Maps(off + Row("Y", "", "Int") + Row("Y", "a" + std::string(63, 'B'), "Int"), "");
    EXPECT_NO_THROW(Generate());
}

TEST_F(MIB, DescriptionsThatAreTheModulesOwnNamesAreRefused) {
    Model_Code = 15;
    struct {
        const char* read;
        const char* write;
        bool refused;
    } cases[] = {
        {"data", "x", true},          {"countin", "x", true},      {"countOut", "x", true},
        {"bufferinval2", "x", true},  {"x", "bufferoutval9", true}, {"trapval7", "x", true},
        {"bufferinblk3", "x", true},  {"x", "enterprises", true},  {"x", "identity", true},
        {"temp", "tEMP", true},       {"counting", "x", false},    {"trapval", "x", false},
        {"bufferinvalue", "x", false}, {"trapval7a", "datalog", false},
    };
    for (const auto& c : cases) {
        Maps(Row("Y", c.read, "Int"), Row("Y", c.write, "Int"));
        std::filesystem::remove(dir.file("out.mib"));
        if (!c.refused) {
            EXPECT_NO_THROW(Generate()) << c.read << " " << c.write;
            continue;
        }
        try {
            Generate();
            ADD_FAILURE() << "no refusal of " << c.read << " " << c.write;
        } catch (const EDescFileError& e) {
            const std::string m = StringToUtf8(e.Message());
            EXPECT_NE(std::string::npos, m.find("cannot name its object")) << m;
            EXPECT_NE(std::string::npos, m.find("the MIB file was not written")) << m;
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.mib")));
    }
    EXPECT_EQ(u"", MIB_Name_Clash(u"temperature"));
    EXPECT_NE(u"", MIB_Name_Clash(u"Hellostring"));
}

TEST_F(MIB, NoMapFileGivesTheFixedTree) {
    Model_Code = 15;
    SNMP_MIB_Read_List = {u"stale"};
    const std::string actual = Generate();
    EXPECT_TRUE(SNMP_MIB_Read_List.empty());
    EXPECT_EQ(0u, Containing(actual, " NOTIFICATION-TYPE ").size());
    EXPECT_EQ("END", Crlf_Lines(actual).back());
}

// The models with an SNMP agent, each writing its module.
const int SNMP_Models[] = {15, 16, 17, 18, 19, 20, 21, 30, 32, 33, 34, 35, 1018};

// The lines of a smilint report whose severity is an error (levels 0 to 3;
// 4 and above are warnings and notes).
std::vector<std::string> Smilint_Errors(const std::string& report) {
    std::vector<std::string> errors;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t at = line.find(": [");
        if (at == std::string::npos || at + 3 >= line.size() || line[at + 3] > '3') continue;
        errors.push_back(line);
    }
    return errors;
}

TEST_F(MIB, EveryModelsModuleLoadsInSnmptranslate) {
    if (Shell_Output("command -v snmptranslate").empty()) {
        std::printf("snmptranslate is not installed (Debian package snmp): check skipped\n");
        GTEST_SKIP();
    }
    Example();
    for (int model : SNMP_Models) {
        SCOPED_TRACE(model);
        Model_Code = model;
        Generate();
        // snmptranslate finds a module by its file name; the standard modules it
        // imports come from small stand-ins, not from the machine's MIB folders.
        std::filesystem::rename(dir.file("out.mib"), dir.file("GATEWAY.txt"));
        const std::string mibs = "snmptranslate -M " + Data_Dir() + "/mib/smi:" + dir.path() + " -m GATEWAY ";
        EXPECT_EQ("", Shell_Output(mibs + "-PW -Tp 2>&1 >/dev/null")) << "the parser complains";
        std::vector<std::pair<std::string, std::string>> oids = {
            {"identity", ".1.3.6.1.4.1.32473.2"},
            {"hellostring", ".1.3.6.1.4.1.32473.1.1.1.1"},
            {"bufferinblk8", ".1.3.6.1.4.1.32473.1.1.1.4.8"},
            {"temp", ".1.3.6.1.4.1.32473.1.1.1.4.9.1"},
            {"label", ".1.3.6.1.4.1.32473.1.1.1.4.9.2"},
            {"bufferoutblk1", ".1.3.6.1.4.1.32473.1.1.1.5.1"},
            {"trapval2", ".1.3.6.1.4.1.32473.1.1.2.1.2"},
        };
        if (model != 21) oids.push_back({"setpoint", ".1.3.6.1.4.1.32473.1.1.1.5.9.1"});
        for (const auto& [name, oid] : oids)
            EXPECT_EQ(oid + "\n", Shell_Output(mibs + "-On GATEWAY::" + name)) << name;
        if (model != 21) {
            EXPECT_NE(std::string::npos, Shell_Output(mibs + "-Td GATEWAY::setpoint").find("MAX-ACCESS\tread-write"));
        }
        std::filesystem::remove(dir.file("GATEWAY.txt"));
    }
}

TEST_F(MIB, EveryModelsLargestModuleIsStrictSMIv2) {
    if (Shell_Output("command -v smilint").empty()) {
        std::printf("smilint is not installed (Debian package smitools): check skipped\n");
        GTEST_SKIP();
    }
    // Full read and write maps; every fourth description left empty, so
    // that the generated names appear too.
    std::string read, write;
    for (int i = 0; i < 256; ++i) {
        read += Row("Y", i % 4 == 3 ? "" : "in" + std::to_string(i), i % 2 ? "Int" : "String");
        write += Row("Y", i % 4 == 3 ? "" : "out" + std::to_string(i), i % 3 ? "Int" : "String");
    }
    Maps(read, write);
    for (int model : SNMP_Models) {
        SCOPED_TRACE(model);
        Model_Code = model;
        Generate();
        std::filesystem::rename(dir.file("out.mib"), dir.file("GATEWAY"));
        // The base module comes from the test's own copy, not from the machine.
        const std::string report = Shell_Output("SMIPATH=" + Data_Dir() + "/mib/smi smilint -c /dev/null -s -l 6 " +
                                                dir.file("GATEWAY"));
        EXPECT_NE(std::string::npos, report.find(": [")) << "no report at level 6: " << report;
        EXPECT_EQ(std::vector<std::string>{}, Smilint_Errors(report));
    }
    // What the check finds in a module with a name strict compilers refuse.
    std::string bytes = dir.read("GATEWAY");
    bytes.replace(bytes.find("in0 OBJECT-TYPE"), 3, "In_0");
    dir.write("GATEWAY", bytes);
    EXPECT_FALSE(Smilint_Errors(Shell_Output("SMIPATH=" + Data_Dir() + "/mib/smi smilint -c /dev/null -s -l 6 " +
                                             dir.file("GATEWAY")))
                     .empty());
}

}  // namespace
