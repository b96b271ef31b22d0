#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"

#include "grid/ExCGrid.h"

#include "framework/Dialogs.h"
#include "framework/Serial.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FlagGuard {
    bool jump = Opt_Jump_Field_Tables, size = Opt_Double_Click_Auto_Size;
    int model = Model_Code;
    ~FlagGuard() {
        Opt_Jump_Field_Tables = jump;
        Opt_Double_Click_Auto_Size = size;
        Model_Code = model;
    }
};

}  // namespace

TEST(Comon, CodeConversions) {
    EXPECT_EQ(Data_Type_Code(u"Byte"), 0);
    EXPECT_EQ(Data_Type_Code(u"int 2 BYTES"), 2);
    EXPECT_EQ(Data_Type_Code(u"Octet String"), 5);
    EXPECT_EQ(Data_Type_Code(u"Float to Int 1 byte"), 6);
    EXPECT_EQ(Data_Type_Code(u"float to int 8 bytes"), 9);
    EXPECT_EQ(Data_Type_Code(u" Int 2 bytes"), 0);
    EXPECT_EQ(Data_Type_Code(u"Word"), 0);
    const char* const names[] = {"Byte",         "Int 1 byte",          "Int 2 bytes",          "Int 4 bytes",
                                 "Int 8 bytes",  "Octet String",        "Float to Int 1 byte",  "Float to Int 2 bytes",
                                 "Float to Int 4 bytes", "Float to Int 8 bytes"};
    for (int code = 0; code < 10; ++code)
        EXPECT_EQ(Data_Type_Code(S(names[code])), code) << names[code];

    EXPECT_EQ(SNMP_Security_Level_Code(u"  auth priv "), 2);
    EXPECT_EQ(SNMP_Security_Level_Code(u"Auth NoPriv"), 1);
    EXPECT_EQ(SNMP_Security_Level_Code(u"NoAuth NoPriv"), 0);
    EXPECT_EQ(SNMP_Auth_Mode_Code(u"sha"), 1);
    EXPECT_EQ(SNMP_Auth_Mode_Code(u"MD5"), 0);
    EXPECT_EQ(SNMP_Priv_Mode_Code(u" AES"), 1);
    EXPECT_EQ(SNMP_Priv_Mode_Code(u"DES"), 0);
    EXPECT_EQ(SNMP_Map_Type_Code(u" vaRIAble "), 1);
    EXPECT_EQ(SNMP_Map_Type_Code(u"Fixed"), 0);
    EXPECT_EQ(Get_BACnet_Eng_Units(0x1234, 77), 0);

    FlagGuard guard;
    const std::pair<int, int> devs[] = {{10, 11}, {21, 20}, {4, 0}, {1018, 0}};
    for (auto [model, dev] : devs) {
        Model_Code = model;
        EXPECT_EQ(Get_XML_Code_Dev(), dev) << model;
        EXPECT_EQ(Get_Scan_Form_Type(), 0);
    }
}

TEST(Comon, IpTextToBytes) {
    const struct {
        const char* text;
        int b[4];
        bool error;
    } cases[] = {
        {"192.168.1.5", {192, 168, 1, 5}, false},
        {"1.2.3", {1, 2, 0, 3}, true},
        {"1.2.3.4.5", {1, 2, 3, 0}, true},
        {"10.0.0.256", {10, 0, 0, 0}, true},
        {"10.-1.0.1", {10, 0, 0, 1}, true},
        {"a.b.c.d", {0, 0, 0, 0}, true},
        {"0.0.0.0", {0, 0, 0, 0}, false},
        {"255.255.255.255", {255, 255, 255, 255}, false},
        {"1..2.3", {1, 0, 2, 3}, true},
    };
    for (const auto& c : cases) {
        Byte b[4] = {9, 9, 9, 9};
        EXPECT_EQ(IP_Str_To_Bytes(S(c.text), b[0], b[1], b[2], b[3]), c.error) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(b[i], c.b[i]) << c.text << " byte " << i;
    }
    Byte b[4] = {7, 7, 7, 7};
    EXPECT_TRUE(IP_Str_To_Bytes(u"", b[0], b[1], b[2], b[3]));
    EXPECT_EQ(b[0] + b[1] + b[2] + b[3], 28);  // unchanged
}

TEST(Comon, SnmpNameRule) {
    EXPECT_EQ(Check_Name_Chars(u"community7", 1), 0);
    EXPECT_EQ(Check_Name_Chars(u"Community7", 1), 1);
    EXPECT_EQ(Check_Name_Chars(u"comm-unity", 1), 1);
    EXPECT_EQ(Check_Name_Chars(u"7community", 1), 1);
    EXPECT_EQ(Check_Name_Chars(u"Community7", 0), 0);
    EXPECT_EQ(Check_Name_Chars(u"7community", 0), 0);
    EXPECT_EQ(Check_Name_Chars(u"com munity", 0), 1);
    EXPECT_EQ(Check_Name_Chars(u"caf\u00E9", 0), 1);
    EXPECT_EQ(Check_Name_Chars(u"", 1), 0);
}

TEST(Comon, DeleteAndInsertMoveEveryDataColumnHiddenOnesIncluded) {
    // 4 rows (header + 3), visible columns 0..2, one hidden column 3.
    StandInGrid grid(4, 3, 1);
    grid.SetCellEx(0, 1, u"1");
    grid.SetCellEx(0, 2, u"2");
    grid.SetRow(1, "a1|b1|h1");
    grid.SetRow(2, "a2|b2|h2");
    grid.SetRow(3, "a3|b3|h3");

    Grid_Delete_Row(1, grid);
    EXPECT_EQ(grid.Row(1), "a2|b2|h2");
    EXPECT_EQ(grid.Row(2), "a3|b3|h3");
    EXPECT_EQ(grid.Row(3), "||");
    EXPECT_EQ(grid.GetCellEx(0, 1), u"1");
    EXPECT_EQ(grid.GetRowCount(), 4);

    StandInGrid ins(4, 3, 1);
    ins.SetCellEx(0, 1, u"1");
    ins.SetRow(1, "a1|b1|h1");
    ins.SetRow(2, "a2|b2|h2");
    ins.SetRow(3, "a3|b3|h3");
    Grid_Insert_Row(1, ins);
    EXPECT_EQ(ins.Row(1), "||");
    EXPECT_EQ(ins.Row(2), "a1|b1|h1");
    EXPECT_EQ(ins.Row(3), "a2|b2|h2");
    EXPECT_EQ(ins.GetCellEx(0, 1), u"1");
}

TEST(Comon, CopyTakesVisibleAndHiddenColumns) {
    StandInGrid grid(3, 3, 2);
    grid.SetRow(2, "a|b|h1|h2");
    Row_Clipboard = {u"old"};
    Grid_Copy_Row(grid, 2);
    EXPECT_EQ(Row_Clipboard, (std::vector<String>{u"a", u"b", u"h1", u"h2"}));
}

TEST(Comon, EnterMovesToTheNextCellOnlyWithTheOption) {
    FlagGuard guard;
    StandInGrid grid(3, 3);  // data rows 1..2, data columns 1..2
    Char key = 13;
    Opt_Jump_Field_Tables = false;
    Grid_Enter_Next_Cell(grid, key);
    EXPECT_EQ(key, 13);
    EXPECT_EQ(grid.GetCol(), 1);

    Opt_Jump_Field_Tables = true;
    const struct {
        int col, row, nextCol, nextRow;
    } moves[] = {{1, 1, 2, 1}, {2, 1, 1, 2}, {2, 2, 1, 1}, {0, 1, 0, 1}};
    for (const auto& m : moves) {
        grid.SetCol(m.col);
        grid.SetRowEx(m.row);
        key = 13;
        Grid_Enter_Next_Cell(grid, key);
        EXPECT_EQ(key, 0);
        EXPECT_EQ(grid.GetCol(), m.nextCol);
        EXPECT_EQ(grid.GetRowEx(), m.nextRow);
    }
    key = u'a';
    Grid_Enter_Next_Cell(grid, key);
    EXPECT_EQ(key, u'a');
}

TEST(Comon, DoubleClickOnTheHeaderSizesTheColumnWithTheOption) {
    FlagGuard guard;
    StandInGrid grid(3, 3);
    Opt_Double_Click_Auto_Size = false;
    Grid_DblClick_Auto_Size(grid, 0, 2);
    Opt_Double_Click_Auto_Size = true;
    Grid_DblClick_Auto_Size(grid, 1, 2);
    Grid_DblClick_Auto_Size(grid, 0, 2);
    ASSERT_EQ(grid.autoSized.size(), 1u);
    EXPECT_EQ(grid.autoSized[0], std::make_pair(2, 0));
}

TEST(Comon, SerialPortNumbersCountTheDevicesOfThisMachine) {
    const std::vector<String> list = Get_COM_Port_List();
    ASSERT_EQ(list.size(), EnumerateSerialPorts().size());
    for (std::size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i], IntToStr(static_cast<int>(i) + 1));
}

TEST(Comon, PasteChecksTheSourceTheWidthAndAsksBeforeOverwriting) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    StandInGrid grid(4, 3, 1);  // columns 1, 2 visible, 3 hidden
    grid.checkBoxCols = {2};
    Row_Clipboard = {u"a", u"b", u"h"};

    Grid_Paste_Row(grid, 1, false);  // copied from another grid
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error!!! Copy a valid row before Paste it");
    EXPECT_EQ(grid.Row(1), "||");

    Row_Clipboard = {u"a", u"b"};
    Grid_Paste_Row(grid, 1, true);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Text, u"Error in the Copy values!!! Copy a valid row before Paste it");

    // Only a check-box cell is set: the row is free, pasted without a question.
    Row_Clipboard = {u"a", u"b", u"h"};
    grid.SetRow(2, "  |1|");
    Grid_Paste_Row(grid, 2, true);
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(grid.Row(2), "a|b|h");

    grid.SetRow(3, "x||");
    dialogs.AnswerBox(IDNO);
    Grid_Paste_Row(grid, 3, true);
    ASSERT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_EQ(dialogs.Shown[2].Text, u"Row Already used. Do you want to overwrite the values?");
    EXPECT_EQ(grid.Row(3), "x||");
    dialogs.AnswerBox(IDYES);
    Grid_Paste_Row(grid, 3, true);
    EXPECT_EQ(grid.Row(3), "a|b|h");
    EXPECT_EQ(Row_Clipboard.size(), 3u);  // a paste never empties the clipboard
}

namespace {

// A column grid of 4 columns with a hidden column 3 and a check-box column 2.
struct ColumnGridRows {
    TExColumnGrid g{nullptr};
    TColumnGridRows rows{g};
    ColumnGridRows() {
        g.SetColCount(5);
        g.SetRowCount(5);
        g.Columns().Items(2)->SetEditor(edDataCheckBox);
        for (int r = 1; r < 5; ++r)
            for (int c = 1; c < 5; ++c) g.SetCellEx(c, r, c == 2 ? u"N" : IntToStr(c) + u"," + IntToStr(r));
        g.HideColumn(3);
    }
    String Row(int r) { return g.GetCellEx(1, r) + u"|" + g.GetCellEx(2, r) + u"|" + g.GetCellEx(3, r) + u"|" + g.GetCellEx(4, r); }
};

}  // namespace

TEST(Comon, RowHelpersWorkOnAColumnGrid) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    ColumnGridRows f;
    EXPECT_EQ(f.rows.GetColCount(), 4);
    EXPECT_EQ(f.rows.NumHiddenColumns(), 1);
    EXPECT_TRUE(f.rows.IsDataCheckBoxColumn(2));
    EXPECT_FALSE(f.rows.IsDataCheckBoxColumn(1));

    Grid_Copy_Row(f.rows, 2);
    EXPECT_EQ(Row_Clipboard, (std::vector<String>{u"1,2", u"N", u"3,2", u"4,2"}));

    // The row helpers move every data column, the hidden one too, so no cell
    // stays behind with another row.
    Grid_Insert_Row(1, f.rows);
    EXPECT_EQ(f.Row(1), u"|||");
    EXPECT_EQ(f.Row(2), u"1,1|N|3,1|4,1");

    // A row holding only a check-box state counts as free.
    f.g.SetCellEx(1, 1, u"");
    f.g.SetCellEx(2, 1, u"Y");
    f.g.SetCellEx(3, 1, u"");
    f.g.SetCellEx(4, 1, u"");
    Grid_Paste_Row(f.rows, 1, true);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(f.Row(1), u"1,2|N|3,2|4,2");
}
