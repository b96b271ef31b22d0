#include "tables/USNMP_Trap_Access.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"
#include "tables/Check_Outcome.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace snmp_col;

struct ModelGuard {
    int model = Model_Code;
    ~ModelGuard() { Model_Code = model; }
};

// The two maps as the window has them: 257 rows, read columns 0..14, write 0..9.
struct Maps {
    StandInGrid read;
    StandInGrid write{257, 10};
    // readHidden: read columns hidden by the set-up (they follow the shown ones).
    explicit Maps(int readHidden = 0) : read(257, 15 - readHidden, readHidden) {
        SNMP_Reset(read, write);
        read.checkBoxCols = {1, 4, 5, 6};
        write.checkBoxCols = {1};
    }
    // A row that passes every check.
    void Read_Row(int r, const char* description) {
        read.SetRow(r, std::string("Y|public|Int|N|N|N||0|0|16|") + description + "|192.168.1.5|None|");
    }
    void Write_Row(int r, const char* description) {
        write.SetRow(r, std::string("Y|public|String|3|0|4|") + description + "|None|");
    }
};

std::string Ints(const std::vector<int>& v) {
    std::string s;
    for (int i : v) s += (s.empty() ? "" : " ") + std::to_string(i);
    return s;
}

}  // namespace

TEST(SnmpTrapAccess, ColumnSetUpByModelAndMapType) {
    TempDir dir;
    // "ParGen.xml" states: absent, element missing, "0", "1", "abc", not well-formed.
    const char* const pargen[] = {nullptr, "<Par_Gen><X>1</X></Par_Gen>", "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>",
                                  "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>",
                                  "<Par_Gen><SNMP_MapType>abc</SNMP_MapType></Par_Gen>", "<Par_Gen><SNMP_MapType>"};
    const int map_types[] = {1, 0, 0, 1, 0, 1};
    // Per model: On CMD shown, Conversion shown for each state, Mnemonic widths
    // with Conversion hidden (read), Write tab.
    const struct {
        int model;
        bool on_cmd;
        const char* conversion;  // per state, '1' shown
        int hidden_read_width;
        bool write_tab;
    } models[] = {
        {15, true, "000000", 230, true},   {16, true, "000000", 230, true},   {17, true, "100101", 280, true},
        {18, false, "100101", 280, true},  {19, false, "100101", 280, true},  {20, false, "000000", 280, true},
        {21, false, "111111", 0, false},   {30, false, "111111", 0, true},    {32, true, "000000", 230, true},
        {33, false, "111111", 0, true},    {34, true, "000000", 230, true},   {35, false, "111111", 0, true},
        {1018, false, "111111", 0, true},
    };
    const std::string hints_read[2][2] = {
        // [on_cmd][conversion]
        {"1039 1040 1041 1042 1044 1045 1046 1047 1048 1049 1050 1051",
         "1039 1040 1041 1042 1044 1045 1046 1047 1048 1049 1050 1083 1051"},
        {"1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1051",
         "1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1083 1051"},
    };
    const std::string hints_write[2] = {"1052 1053 1054 1055 1056 1057 1058 1059",
                                        "1052 1053 1054 1055 1056 1057 1058 1084 1059"};
    for (int s = 0; s < 6; ++s) {
        const String path = S(dir.file("ParGen" + std::to_string(s) + ".xml"));
        if (pargen[s]) dir.write("ParGen" + std::to_string(s) + ".xml", pargen[s]);
        ASSERT_EQ(SNMP_Map_Type(path), map_types[s]) << s;
        for (const auto& m : models) {
            const TSNMP_Column_Setup c = SNMP_Column_Setup(m.model, SNMP_Map_Type(path));
            const bool conv = m.conversion[s] == '1';
            SCOPED_TRACE("model " + std::to_string(m.model) + " state " + std::to_string(s));
            EXPECT_EQ(c.On_CMD_Shown, m.on_cmd);
            EXPECT_EQ(c.Conversion_Shown, conv);
            EXPECT_EQ(c.Mnemonic_Width_Read, conv ? 180 : m.hidden_read_width);
            EXPECT_EQ(c.Mnemonic_Width_Write, conv ? 500 : 600);
            EXPECT_EQ(c.Write_Tab, m.write_tab);
            EXPECT_EQ(Ints(c.Hint_Read), hints_read[m.on_cmd][conv]);
            EXPECT_EQ(Ints(c.Hint_Write), hints_write[conv]);
            EXPECT_EQ(Ints(c.Hidden_Read), std::string(m.on_cmd ? "" : "5") + (conv ? "" : m.on_cmd ? "13" : " 13"));
            EXPECT_EQ(Ints(c.Hidden_Write), conv ? "" : "8");
        }
    }
    Load_Default_Texts();
    const TSNMP_Column_Setup c16 = SNMP_Column_Setup(16, 1);
    EXPECT_EQ(SNMP_Header_Hint(c16.Hint_Read, 0, 5), u"Enable/Disable the possibility to Send the SNMP Trap when a Command Arrive");
    EXPECT_EQ(SNMP_Header_Hint(c16.Hint_Read, 0, 13), u"Insert a Description of SNMP Trap");
    EXPECT_EQ(SNMP_Header_Hint(c16.Hint_Read, 1, 5), u"");
    EXPECT_EQ(SNMP_Header_Hint(c16.Hint_Read, 0, 0), u"");
}

TEST(SnmpTrapAccess, ValidationStopsAtTheFirstFailureWithItsMessage) {
    Load_Default_Texts();
    using Edit = std::function<void(Maps&)>;
    auto cell = [](bool read, int col, int row, const char* text) {
        return [=](Maps& m) { (read ? m.read : m.write).SetCellEx(col, row, S(text)); };
    };
    const struct {
        const char* name;
        Edit edit;
        bool conversion_shown;
        const char* message;  // nullptr: passes
    } cases[] = {
        {"valid maps", [](Maps&) {}, true, nullptr},
        {"community with a blank", cell(true, Community, 2, "pub lic"), false,
         "Error row 2!! [SNMP Read] Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {"disabled rows skipped", [](Maps& m) { m.read.SetRow(2, "N|bad name|||||||||||"); }, true, nullptr},
        {"unchecked box skipped too", [](Maps& m) { m.read.SetRow(2, "|bad name|||||||||||"); }, true, nullptr},
        {"type empty", cell(true, Type, 1, " "), false, "Error row 1!! [SNMP Read] Type must be selected"},
        {"timer off ignores the time", cell(true, R_Time, 1, "abc"), false, nullptr},
        {"timer 0", [](Maps& m) { m.read.SetCellEx(R_On_Timer, 1, u"y"); m.read.SetCellEx(R_Time, 1, u"0"); }, false,
         "Error row 1!! [SNMP Read] Time must be between 1 and 1000000000 ms"},
        {"timer too long", [](Maps& m) { m.read.SetCellEx(R_On_Timer, 1, u"Y"); m.read.SetCellEx(R_Time, 1, u"1000000001"); },
         false, "Error row 1!! [SNMP Read] Time must be between 1 and 1000000000 ms"},
        {"timer hexadecimal", [](Maps& m) { m.read.SetCellEx(R_On_Timer, 1, u"Y"); m.read.SetCellEx(R_Time, 1, u"x3E8"); },
         false, nullptr},
        {"position empty", cell(true, R_Position, 1, ""), false, "Error row 1!! [SNMP Read] Position must be selected"},
        {"bit empty", cell(true, R_Bit, 1, ""), false, "Error row 1!! [SNMP Read] Start Bit must be selected"},
        {"string from bit 3", [](Maps& m) { m.read.SetCellEx(Type, 1, u"String"); m.read.SetCellEx(R_Bit, 1, u"3"); }, false,
         "Error row 1!! [SNMP Read] Start Bit must be 0 if Type is String"},
        {"17 bytes of a string", [](Maps& m) { m.read.SetCellEx(Type, 1, u"String"); m.read.SetCellEx(R_NumBits, 1, u"17"); },
         false, "Error row 1!! [SNMP Read] Num Bits/Bytes must be between 1 and 16 bytes"},
        {"16 bytes of a string", [](Maps& m) { m.read.SetCellEx(Type, 1, u"String"); m.read.SetCellEx(R_NumBits, 1, u"16"); },
         false, nullptr},
        {"17 bits of an int", cell(true, R_NumBits, 1, "17"), false, nullptr},
        {"65 bits", cell(true, R_NumBits, 1, "65"), false, "Error row 1!! [SNMP Read] Num Bits/Bytes must be between 1 and 64 bits"},
        {"description capital", cell(true, R_Description, 1, "Temp"), false,
         "Error row 1!! [SNMP Read] Description is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {"description a MIB name", cell(true, R_Description, 1, "countin"), false,
         "Error row 1!! [SNMP Read] Description \"countin\" cannot name its object in the MIB: the module uses the name \"countin\" itself"},
        {"description a generated MIB name", cell(false, W_Description, 1, "bufferinval2"), false,
         "Error row 1!! [SNMP Write] Description \"bufferinval2\" cannot name its object in the MIB: the module makes names \"bufferinval\" and a number itself"},
        {"empty IP", cell(true, R_IP, 1, ""), false,
         "Error row 1!! [SNMP Read] IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"conversion shown and empty", cell(true, R_Conversion, 1, ""), true, "Error row 1!! [SNMP Read] Conversion must be selected"},
        {"conversion hidden and empty", cell(true, R_Conversion, 1, ""), false, nullptr},
        {"write community", cell(false, Community, 1, "a_b"), false,
         "Error row 1!! [SNMP Write] Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {"write type", cell(false, Type, 1, ""), false, "Error row 1!! [SNMP Write] Type must be selected"},
        {"write position", cell(false, W_Position, 1, ""), false, "Error row 1!! [SNMP Write] Position must be selected"},
        {"write bit", cell(false, W_Bit, 1, ""), false, "Error row 1!! [SNMP Write] Start Bit must be selected"},
        {"write string bit", cell(false, W_Bit, 1, "1"), false, "Error row 1!! [SNMP Write] Start Bit must be 0 if Type is String"},
        {"write 17 bytes", cell(false, W_NumBits, 1, "17"), false,
         "Error row 1!! [SNMP Write] Num Bits/Bytes must be between 1 and 16 bytes"},
        {"write int 0 bits", [](Maps& m) { m.write.SetCellEx(Type, 1, u"INT"); m.write.SetCellEx(W_NumBits, 1, u"0"); }, false,
         "Error row 1!! [SNMP Write] Num Bits/Bytes must be between 1 and 64 bits"},
        {"write description", cell(false, W_Description, 1, "9a"), false,
         "Error row 1!! [SNMP Write] Descrtiption is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {"write conversion", cell(false, W_Conversion, 1, " "), true, "Error row 1!! [SNMP Write] Conversion must be selected"},
        {"same description in both maps", cell(false, W_Description, 1, "alpha"), false,
         "Error!! The Descriptions must be all differents"},
        {"case differs", cell(false, W_Description, 1, "Alpha"), false,
         "Error row 1!! [SNMP Write] Descrtiption is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
        {"case differs inside", [](Maps& m) { m.read.SetCellEx(R_Description, 1, u"aBc"); m.write.SetCellEx(W_Description, 1, u"abc"); },
         false, nullptr},
        {"two empty descriptions",
         [](Maps& m) { m.read.SetCellEx(R_Description, 1, u""); m.write.SetCellEx(W_Description, 1, u""); }, false,
         "Error!! The Descriptions must be all differents"},
        {"one empty description", cell(true, R_Description, 1, ""), false, nullptr},
        {"rows after the end unchecked", [](Maps& m) { m.read.SetRow(3, "N|||||||||||||"); m.read.SetCellEx(Community, 3, u"  ");
                                                      m.read.SetRow(4, "Y|bad name|||||||||||"); }, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Maps m;
        m.Read_Row(1, "alpha");
        m.Read_Row(2, "beta");
        m.Write_Row(1, "gamma");
        c.edit(m);
        std::vector<String> descs;
        Expect_Check_Outcome([&] { return SNMP_Controllo_dati(m.read, m.write, c.conversion_shown, descs); }, c.message);
    }
}

TEST(SnmpTrapAccess, LoadTakesDefaultsForMissingAttributesAndModel21IgnoresTheWriteMap) {
    ModelGuard guard;
    TempDir dir;
    dir.write("SNMP_Trap.xml",
              "<SNMP_Trap><SNMP_Trap_Read><row Community_Name='a'/>"
              "<row Enable='' Community_Name='b' On_Change='' On_Command='' On_Timer='' Conversion='' Time=''/>"
              "</SNMP_Trap_Read><SNMP_Trap_Write><row Community_Name='w'/></SNMP_Trap_Write></SNMP_Trap>\r\n"
              "<!--SW_VERSION = 1.100-->\r\n");
    const String path = S(dir.file("SNMP_Trap.xml"));
    for (int model : {17, 21}) {
        Maps m;
        TShow_Guard show;
        TScriptedDialogService dialogs;
        SNMP_Show_Tables(show, m.read, m.write, model, path);
        EXPECT_TRUE(dialogs.Shown.empty());
        EXPECT_EQ(m.read.Row(1), "Y|a||N|N|N|||||||None|");
        EXPECT_EQ(m.read.Row(2), "|b||||||||||||");
        EXPECT_EQ(m.read.Row(3), "Y|||||||||||||");
        // Only enabled rows are numbered.
        EXPECT_EQ(m.read.GetCellEx(0, 1), u"1");
        EXPECT_EQ(m.read.GetCellEx(0, 2), u"");
        EXPECT_EQ(m.read.GetCellEx(0, 3), u"2");
        EXPECT_EQ(m.write.Row(1), model == 21 ? "Y||||||||" : "Y|w||||||None|");
    }
}

TEST(SnmpTrapAccess, FailedShowKeepsTheReadRowsAndOkAsksBeforeReplacing) {
    Load_Default_Texts();
    TempDir dir;
    const std::string original = "<SNMP_Trap><SNMP_Trap_Read><row Enable='Y' Community_Name='a' Type='Int' "
                                 "Position='0' Bit='0' NumBits='8' Description='x' IP_Address='1.2.3.4'/>"
                                 "</SNMP_Trap_Read></SNMP_Trap>";
    dir.write("SNMP_Trap.xml", original);
    const String path = S(dir.file("SNMP_Trap.xml"));
    Maps m;
    TShow_Guard show;
    TScriptedDialogService dialogs;
    SNMP_Show_Tables(show, m.read, m.write, 17, path);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(m.read.GetCellEx(Community, 1), u"a");
    // The numbering was skipped: N keeps the plain row numbers of the reset.
    m.read.SetCellEx(Enable, 1, u"N");
    EXPECT_EQ(m.read.GetCellEx(0, 1), u"1");
    EXPECT_EQ(m.write.GetCellEx(0, 2), u"2");

    std::vector<String> descs;
    dialogs.AnswerBox(IDNO);
    EXPECT_FALSE(SNMP_OK(show, m.read, m.write, 17, false, descs, path));
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dir.read("SNMP_Trap.xml"), original);
}

TEST(SnmpTrapAccess, DeleteMovesHiddenCellsAndMnemonicAndLeavesTheNumbers) {
    Maps m(1);  // Conversion hidden
    for (int r = 1; r <= 5; ++r) {
        m.Read_Row(r, ("d" + std::to_string(r)).c_str());
        m.read.SetCellEx(R_Conversion, r, S("Float * " + std::to_string(r)));
        m.read.SetCellEx(R_Mnemonic, r, S("m" + std::to_string(r)));
    }
    m.read.SetRow(256, "Y|last|Int|N|N|N||0|0|8|z|1.1.1.1|Int * 10|ml");
    Index_Row_Build(m.read);
    Grid_Delete_Row(3, m.read);
    EXPECT_EQ(m.read.Row(3), "Y|public|Int|N|N|N||0|0|16|d4|192.168.1.5|Float * 4|m4");
    EXPECT_EQ(m.read.Row(4), "Y|public|Int|N|N|N||0|0|16|d5|192.168.1.5|Float * 5|m5");
    EXPECT_EQ(m.read.Row(255), "Y|last|Int|N|N|N||0|0|8|z|1.1.1.1|Int * 10|ml");
    EXPECT_EQ(m.read.Row(256), "|||||||||||||");
    EXPECT_EQ(m.read.GetCellEx(0, 255), u"255");
    EXPECT_EQ(m.read.GetCellEx(0, 256), u"256");
    Grid_Insert_Row(1, m.read);
    EXPECT_EQ(m.read.Row(1), "|||||||||||||");
    EXPECT_EQ(m.read.GetCellEx(0, 1), u"1");
    Index_Row_Build(m.read);
    EXPECT_EQ(m.read.GetCellEx(0, 1), u"");
    EXPECT_EQ(m.read.GetCellEx(0, 2), u"1");
}

TEST(SnmpTrapAccess, PasteOnlyIntoTheGridCopiedFrom) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    Maps m;
    m.Read_Row(1, "alpha");
    Grid_Copy_Row(m.read, 1);
    // The window's flags: copied in the read grid, so the write grid's flag is false.
    Grid_Paste_Row(m.write, 1, false);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error!!! Copy a valid row before Paste it");
    // Same width check as a paste of a row of another grid with a stale flag.
    Grid_Paste_Row(m.write, 1, true);
    EXPECT_EQ(dialogs.Shown[1].Text, u"Error in the Copy values!!! Copy a valid row before Paste it");
    // Into a row in use of the read grid: the question, then No.
    m.Read_Row(2, "beta");
    dialogs.AnswerBox(IDNO);
    Grid_Paste_Row(m.read, 2, true);
    EXPECT_EQ(dialogs.Shown[2].Text, u"Row Already used. Do you want to overwrite the values?");
    EXPECT_EQ(m.read.GetCellEx(R_Description, 2), u"beta");
    // Into the reset row 3 (Enable "Y" only, a check box): pasted at once.
    Grid_Paste_Row(m.read, 3, true);
    EXPECT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_EQ(m.read.GetCellEx(R_Description, 3), u"alpha");
}

TEST(SnmpTrapAccess, SavedFileForModel17And21) {
    ModelGuard guard;
    TempDir dir;
    const String path = S(dir.file("SNMP_Trap.xml"));
    for (int model : {17, 21}) {
        Maps m;
        TShow_Guard show;
        SNMP_Show_Tables(show, m.read, m.write, model, path);  // no file: empty maps
        m.Read_Row(1, "alpha");
        m.read.SetRow(2, "N| x |String|||||||||||");
        m.Write_Row(1, "gamma");
        TScriptedDialogService dialogs;
        std::vector<String> descs;
        ASSERT_TRUE(SNMP_OK(show, m.read, m.write, model, false, descs, path));
        const std::string read_rows =
            "<SNMP_Trap_Read><row Enable=\"Y\" Community_Name=\"public\" Type=\"Int\" On_Change=\"N\" On_Command=\"N\" "
            "On_Timer=\"N\" Time=\"\" Position=\"0\" Bit=\"0\" NumBits=\"16\" Description=\"alpha\" "
            "IP_Address=\"192.168.1.5\" Conversion=\"None\" Mnemonic=\"\"/><row Enable=\"N\" Community_Name=\" x \" "
            "Type=\"String\" On_Change=\"\" On_Command=\"\" On_Timer=\"\" Time=\"\" Position=\"\" Bit=\"\" NumBits=\"\" "
            "Description=\"\" IP_Address=\"\" Conversion=\"\" Mnemonic=\"\"/></SNMP_Trap_Read>";
        const std::string write_rows =
            model == 21 ? "<SNMP_Trap_Write/>"
                        : "<SNMP_Trap_Write><row Enable=\"Y\" Community_Name=\"public\" Type=\"String\" Position=\"3\" "
                          "Bit=\"0\" NumBits=\"4\" Description=\"gamma\" Conversion=\"None\" Mnemonic=\"\"/></SNMP_Trap_Write>";
        EXPECT_EQ(dir.read("SNMP_Trap.xml"), "<SNMP_Trap>" + read_rows + write_rows + "</SNMP_Trap>\r\n<!--SW_VERSION = " +
                                                 (model == 21 ? "1.201" : "1.100") + "-->\r\n");
    }
}
