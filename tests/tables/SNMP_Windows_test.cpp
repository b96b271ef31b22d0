#include "tables/USNMP_Trap_Access.h"
#include "tables/USNMP_Trap_Access_MBus.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace snmp_col;

// A press inside the cell at display column col, row row.
void Press(TExColumnGrid* g, int col, int row) {
    const TRect R = g->CellRect(col, row);
    SimulateClick(g, R.Left + 4, R.Top + 4);
}

// Column 0 of rows 1..n, joined by "|".
std::string Numbers(TExColumnGrid* g, int n) {
    std::string s;
    for (int r = 1; r <= n; ++r) s += (r > 1 ? "|" : "") + StringToUtf8(g->GetCellEx(0, r));
    return s;
}

class SnmpWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_SNMP_Trap = S(dir.file("SNMP_Trap.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_SNMP_Trap.clear();
        Path_ParGen.clear();
    }
    void Fill_Read_Row(TExColumnGrid* g, int r, const char* community, const char* description) {
        const char16_t* cells[] = {u"", u"Int", u"", u"", u"", u"", u"12", u"0", u"16", u"", u"10.0.0.1", u"Float", u"m"};
        for (int c = 3; c <= 14; ++c) g->SetCellEx(c, r, cells[c - 2]);
        g->SetCellEx(Community, r, S(community));
        g->SetCellEx(R_Description, r, S(description));
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(SnmpWindows, ScriptedEditsOfModel17AreSavedAsTheGoldenFile) {
    Model_Code = 17;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>");
    auto w = Make_Window<TFSNMP_Trap_Access>();
    EXPECT_EQ(w->ClientWidth(), 1256);
    EXPECT_EQ(w->ClientHeight(), 337);
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_SNMP_Read;
        EXPECT_EQ(r->ColCount(), 15);  // Conversion shown with map type 1
        EXPECT_EQ(r->Columns().Items(R_Mnemonic)->Width(), 180);
        EXPECT_EQ(r->Columns().Items(R_Position)->ComboItems().Count(), 1024);
        Fill_Read_Row(r, 1, "public", "alpha");
        Fill_Read_Row(r, 2, "public", "beta");
        // Tick On Timer of row 2 (from empty: checked) and give it a time.
        r->ToggleCheckBox(R_On_Timer, 2);
        r->SetCellEx(R_Time, 2, u"x3E8");
        // Insert before row 2: an empty row, its Enable box unchecked; then
        // row 1 copied into it and its description changed.
        r->SetRow(2);
        w->Btn_InsRow->Click();
        r->SetRow(1);
        w->Btn_CopyRow->Click();
        r->SetRow(2);
        w->Btn_PasteRow->Click();
        r->SetCellEx(R_Description, 2, u"gamma");
        // Untick Enable of row 1, as a click on its box does.
        r->ToggleCheckBox(Enable, 1);
        w->ACG_SNMP_ReadCheckBoxClick(r, Enable, 1, false);
        EXPECT_EQ(r->GetCellEx(0, 1), u"");
        EXPECT_EQ(r->GetCellEx(0, 2), u"1");
        w->PageControl1->SetActivePage(w->TS_SNMP_Write);
        TExColumnGrid* wr = w->ACG_SNMP_Write;
        const char16_t* cells[] = {u"Y", u"priv", u"String", u"7", u"0", u"4", u"delta", u"None", u"text"};
        for (int c = 1; c <= 9; ++c) wr->SetCellEx(c, 1, cells[c - 1]);
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("SNMP_Trap.xml"), Golden("SNMP_Trap_17.xml"));
    // The active tab is kept for the next show.
    dialogs.OnModalForm = [&](TCustomForm*) { w->Btn_Cancel->Click(); };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(w->PageControl1->ActivePage(), w->TS_SNMP_Write);
}

TEST_F(SnmpWindows, Model21IgnoresAndEmptiesTheWriteMap) {
    Model_Code = 21;
    dir.write("SNMP_Trap.xml", Golden("SNMP_Trap_17.xml"));
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_FALSE(w->TS_SNMP_Write->TabVisible());
        EXPECT_EQ(w->ACG_SNMP_Write->GetCellEx(Community, 1), u"");
        EXPECT_EQ(w->ACG_SNMP_Read->GetCellEx(R_Description, 3), u"beta");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("SNMP_Trap.xml"), Golden("SNMP_Trap_21.xml"));
}

TEST_F(SnmpWindows, AFailedShowAsksBeforeOkAndCancelLeavesTheFile) {
    Model_Code = 17;
    const std::string original = "<SNMP_Trap><SNMP_Trap_Read><row Community_Name='a' Type='Int' Position='0' Bit='0' "
                                 "NumBits='8' IP_Address='1.2.3.4'/></SNMP_Trap_Read></SNMP_Trap>";
    dir.write("SNMP_Trap.xml", original);
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);  // the missing write map
        EXPECT_EQ(w->ACG_SNMP_Read->GetCellEx(Community, 1), u"a");
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        EXPECT_EQ(dialogs.Shown.size(), 2u);
        w->ACG_SNMP_Read->SetCellEx(Community, 1, u"changed");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(dir.read("SNMP_Trap.xml"), original);
}

TEST_F(SnmpWindows, MBusMapThroughTheFillerContract) {
    auto w = Make_Window<TFSNMP_Trap_Access_MBus>();
    TExColumnGrid* g = w->ACG_SNMP_Read;
    EXPECT_EQ(g->ColCount(), 11);
    for (int c : {1, 2, 7}) EXPECT_TRUE(g->IsHiddenColumn(c)) << c;
    // The filler: two rows, row 1 emptied, then one row per object.
    g->SetRowCount(2);
    for (int c = 1; c <= 13; ++c) g->SetCellEx(c, 1, String());
    g->SetRowCount(3);
    const char16_t* rows[2][13] = {
        {u"0", u"-1", u"ID Pri : 1 - m", u"Node State", u"public", u"String", u"N", u"N", u"0", u"3", u"mNodeState",
         u"", u""},
        {u"0", u"0", u"ID Pri : 1 - m", u"Energy", u"public", u"String", u"N", u"Y", u"500", u"20", u"menergy",
         u"10.0.0.2", u"kWh"},
    };
    for (int r = 1; r <= 2; ++r) {
        g->SetCellEx(0, r, IntToStr(r));
        for (int c = 1; c <= 13; ++c) g->SetCellEx(c, r, rows[r - 1][c - 1]);
    }
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        g->SetCellEx(snmp_mbus_col::IP, 1, u"10.0.0.1");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text,
              u"Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    // The hint of the display column that shows Community Name (N, Node, Variable before it).
    String hint;
    w->ACG_SNMP_ReadGridHint(g, 0, 3, hint);
    EXPECT_EQ(hint, u"Insert the Community Name for the SNMP Trap (Max 15 characters)");
    w->ACG_SNMP_ReadGridHint(g, 1, 3, hint);
    EXPECT_EQ(hint, u"");
    // Cancel changes nothing of the grid the filler reads back only on OK.
    dialogs.OnModalForm = [&](TCustomForm*) { w->Btn_Cancel->Click(); };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(g->GetCellEx(snmp_mbus_col::IP, 1), u"10.0.0.1");
}

TEST_F(SnmpWindows, RenderedReadGridShowsTheColumnColours) {
    Model_Code = 17;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>");
    auto w = Make_Window<TFSNMP_Trap_Access>();
    TBitmap bmp;
    dialogs.OnModalForm = [&](TCustomForm*) {
        RenderControlToBitmap(w->ACG_SNMP_Read, bmp);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    // Left edges of the shown columns from their design widths; a point
    // just inside each cell of row 2 (row 1 holds the current cell), clear of
    // the check boxes in the middle.
    const struct {
        int col;
        TColor rgb;  // #RRGGBB
    } colours[] = {{1, 0xFFD8B0}, {2, 0xE0FAFE}, {4, 0xA8FFA8}, {8, 0xFCD6F4}, {10, 0xFFFFA8},
                   {11, 0xD5D5FF}, {12, 0xC9E4E4}, {13, 0xFFD8B0}};
    int left[15] = {0};
    for (int c = 1; c < 15; ++c) left[c] = left[c - 1] + w->ACG_SNMP_Read->Columns().Items(c - 1)->Width();
    for (const auto& c : colours) {
        const TColor want = RGB((c.rgb >> 16) & 0xFF, (c.rgb >> 8) & 0xFF, c.rgb & 0xFF);
        EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(left[c.col] + 6, 2 * 22 + 6)), want) << c.col;
    }
    for (int c = 0; c < 15; ++c)
        EXPECT_TRUE(w->ACG_SNMP_Read->Columns().Items(c)->HeaderFont().Style().Contains(fsBold)) << c;
}

TEST_F(SnmpWindows, MBusRowsGoBackOnlyOnOk) {
    auto w = Make_Window<TFSNMP_Trap_Access_MBus>();
    std::vector<std::array<String, 14>> rows = {
        {u"1", u"0", u"-1", u"ID Pri : 1 - m", u"Node State", u"public", u"String", u"N", u"N", u"0", u"3",
         u"mNodeState", u"10.0.0.1", u""}};
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ACG_SNMP_Read->RowCount(), 2);
        w->ACG_SNMP_Read->SetCellEx(snmp_mbus_col::Mnemonic, 1, u"state");
        w->Btn_Cancel->Click();
    };
    EXPECT_FALSE(w->Edit_Rows(rows));
    EXPECT_EQ(rows[0][13], u"");
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ACG_SNMP_Read->GetCellEx(snmp_mbus_col::Mnemonic, 1), u"");  // refilled
        w->ACG_SNMP_Read->SetCellEx(snmp_mbus_col::Mnemonic, 1, u"state");
        w->Btn_OK->Click();
    };
    EXPECT_TRUE(w->Edit_Rows(rows));
    EXPECT_EQ(rows[0][13], u"state");
    // A network without objects: one empty row, and OK closes.
    std::vector<std::array<String, 14>> none;
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ACG_SNMP_Read->RowCount(), 2);
        EXPECT_EQ(w->ACG_SNMP_Read->GetCellEx(snmp_mbus_col::Description, 1), u"");
        w->Btn_OK->Click();
    };
    EXPECT_TRUE(w->Edit_Rows(none));
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(SnmpWindows, OnlyAPressOnAnEnableBoxRenumbersItsOwnMap) {
    using namespace snmp_col;
    Model_Code = 20;  // On Command and Conversion hidden: display and real columns differ after Enable
    dir.write("SNMP_Trap.xml",
              "<SNMP_Trap><SNMP_Trap_Read><row Enable='Y' Community_Name='a'/><row Enable='Y' Community_Name='b'/>"
              "<row Enable='Y' Community_Name='c'/></SNMP_Trap_Read>"
              "<SNMP_Trap_Write><row Enable='Y' Community_Name='w'/><row Enable='Y' Community_Name='v'/>"
              "</SNMP_Trap_Write></SNMP_Trap>");
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_SNMP_Read;
        TExColumnGrid* wr = w->ACG_SNMP_Write;
        ASSERT_TRUE(r->IsHiddenColumn(R_On_CMD));
        EXPECT_EQ(Numbers(r, 4), "1|2|3|4");
        Press(r, Enable, 1);
        EXPECT_EQ(r->GetCellEx(Enable, 1), u"N");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        // On Timer (shown at display column 5): toggled, nothing renumbered.
        Press(r, r->DisplColIndex(R_On_Timer), 2);
        EXPECT_EQ(r->GetCellEx(R_On_Timer, 2), u"Y");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        // An inserted row comes unchecked and is numbered only by a press on its box.
        r->SetRow(2);
        w->Btn_InsRow->Click();
        EXPECT_EQ(r->GetCellEx(Enable, 2), u"");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        Press(r, Enable, 2);
        EXPECT_EQ(r->GetCellEx(Enable, 2), u"Y");
        EXPECT_EQ(Numbers(r, 5), "|1|2|3|4");
        Press(r, Enable, 1);
        EXPECT_EQ(Numbers(r, 5), "1|2|3|4|5");
        // The write map renumbers itself only.
        w->PageControl1->SetActivePage(w->TS_SNMP_Write);
        Press(wr, Enable, 1);
        EXPECT_EQ(wr->GetCellEx(Enable, 1), u"N");
        EXPECT_EQ(Numbers(wr, 3), "|1|2");
        EXPECT_EQ(Numbers(r, 5), "1|2|3|4|5");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(SnmpWindows, APressInTheMBusMapTogglesOnTimerAndLeavesTheNumbers) {
    using namespace snmp_mbus_col;
    auto w = Make_Window<TFSNMP_Trap_Access_MBus>();
    std::vector<std::array<String, 14>> rows(2);
    for (int i = 0; i < 2; ++i)
        rows[static_cast<std::size_t>(i)] = {IntToStr(i + 1), u"0", IntToStr(i), u"ID Pri : 1 - m", u"Energy",
                                             u"public", u"Int", u"N", u"N", u"", u"32", u"e" + IntToStr(i),
                                             u"10.0.0.1", u""};
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->ACG_SNMP_Read;
        Press(g, g->DisplColIndex(On_Timer), 2);
        EXPECT_EQ(g->GetCellEx(On_Timer, 2), u"Y");
        EXPECT_EQ(g->GetCellEx(On_Change, 2), u"N");  // the hidden box beside it
        EXPECT_EQ(Numbers(g, 2), "1|2");
        g->SetCellEx(Trap_Time, 2, u"500");
        w->Btn_OK->Click();
    };
    EXPECT_TRUE(w->Edit_Rows(rows));
    EXPECT_EQ(rows[1][On_Timer], u"Y");
    EXPECT_EQ(rows[0][On_Timer], u"N");
}

TEST_F(SnmpWindows, HeaderHintsAndDoubleClickSizingOnTheShownGrids) {
    Model_Code = 16;
    const bool size = Opt_Double_Click_Auto_Size;
    auto w = Make_Window<TFSNMP_Trap_Access>();
    auto m = Make_Window<TFSNMP_Trap_Access_MBus>();
    // The hint that comes up with the mouse resting at a point of a cell.
    auto hintAt = [](TExColumnGrid* g, int c, int r) -> String {
        TRect R = g->CellRect(c, r);
        SimulateMouseMove(g, R.Left + 10, R.Top + 5);
        Application->ActivateHint(g->ClientToScreen({R.Left + 10, R.Top + 5}));
        THintWindow* h = Application->HintWindow();
        String text = h && h->IsHintShowing() ? h->Text() : String(u"(none)");
        Application->CancelHint();
        return text;
    };
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->ACG_SNMP_Read;
        // Model 16 shows On CMD (display column 5).
        EXPECT_EQ(hintAt(g, 5, 0), u"Enable/Disable the possibility to Send the SNMP Trap when a Command Arrive");
        EXPECT_EQ(hintAt(g, 2, 1), u"(none)");
        // The write grid on its own page answers from its own list.
        w->PageControl1->SetActivePage(w->TS_SNMP_Write);
        EXPECT_EQ(hintAt(w->ACG_SNMP_Write, 1, 0), Lang_Table[1052]);
        EXPECT_FALSE(Lang_Table[1052].empty());
        EXPECT_EQ(hintAt(w->ACG_SNMP_Write, 1, 1), u"(none)");
        w->PageControl1->SetActivePage(w->TS_SNMP_Read);
        g->SetCellEx(R_Description, 1, u"a description far wider than its column");
        const int before = g->ColWidths(R_Description);
        TRect R = g->CellRect(R_Description, 0);
        Opt_Double_Click_Auto_Size = false;
        SimulateDblClick(g, (R.Left + R.Right) / 2, R.Top + 5);
        EXPECT_EQ(g->ColWidths(R_Description), before);
        Opt_Double_Click_Auto_Size = true;
        SimulateDblClick(g, (R.Left + R.Right) / 2, R.Top + 5);
        EXPECT_GT(g->ColWidths(R_Description), before);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    dialogs.OnModalForm = [&](TCustomForm*) {
        // Community Name follows its real column past the hidden ones.
        TExColumnGrid* g = m->ACG_SNMP_Read;
        EXPECT_EQ(hintAt(g, 3, 0), u"Insert the Community Name for the SNMP Trap (Max 15 characters)");
        m->Btn_Cancel->Click();
    };
    EXPECT_EQ(m->ShowModal(), mrCancel);
    Opt_Double_Click_Auto_Size = size;
}

// With the jump option on, Enter in a list cell takes the value and moves on
// in the table being edited, never in the other one.
TEST_F(SnmpWindows, EnterInAListCellJumpsOnInItsOwnTable) {
    Model_Code = 16;
    const bool jump = Opt_Jump_Field_Tables;
    Opt_Jump_Field_Tables = true;
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_SNMP_Read;
        TExColumnGrid* wr = w->ACG_SNMP_Write;
        const int writeCol = wr->Col();
        Press(r, Community, 1);
        SimulateText(u"abc");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(r->GetCellEx(Community, 1), u"abc");
        EXPECT_EQ(r->Col(), Type);
        SimulateKey(VK_F2);
        SimulateKey(VK_DOWN);
        SimulateKey(VK_RETURN);
        EXPECT_EQ(r->GetCellEx(Type, 1), u"String");
        EXPECT_EQ(r->GetCellEx(Community, 1), u"abc");
        EXPECT_EQ(r->Col(), Type + 1);
        EXPECT_FALSE(r->Combobox()->Visible());
        EXPECT_EQ(wr->Col(), writeCol);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    Opt_Jump_Field_Tables = jump;
}

// Typing stops at 15 characters in the community names and descriptions of
// both maps; the M-Bus map's Type stays "String", which its filler ignores.
TEST_F(SnmpWindows, CommunityAndDescriptionTakeFifteenTypedCharactersAndTheMBusTypeIsFixed) {
    Model_Code = 16;
    const String typed = u"abcdefghijklmnopqrst";
    auto type_into = [&](TExColumnGrid* g, int real_col) {
        Press(g, g->DisplColIndex(real_col), 1);
        SimulateText(typed);
        SimulateKey(VK_RETURN);
        return g->GetCellEx(real_col, 1);
    };
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(type_into(w->ACG_SNMP_Read, Community), typed.substr(0, 15));
        EXPECT_EQ(type_into(w->ACG_SNMP_Read, R_Description), typed.substr(0, 15));
        w->PageControl1->SetActivePage(w->TS_SNMP_Write);
        EXPECT_EQ(type_into(w->ACG_SNMP_Write, Community), typed.substr(0, 15));
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);

    auto m = Make_Window<TFSNMP_Trap_Access_MBus>();
    std::vector<std::array<String, 14>> rows = {
        {u"1", u"0", u"-1", u"ID Pri : 1 - m", u"Node State", u"", u"String", u"N", u"N", u"0", u"3", u"",
         u"10.0.0.1", u""}};
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = m->ACG_SNMP_Read;
        EXPECT_EQ(type_into(g, snmp_mbus_col::Community), typed.substr(0, 15));
        EXPECT_EQ(type_into(g, snmp_mbus_col::Description), typed.substr(0, 15));
        Press(g, g->DisplColIndex(snmp_mbus_col::Type), 1);
        SimulateKey(VK_F2);
        SimulateKey(VK_UP);
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(g->Combobox()->Visible());
        EXPECT_EQ(g->GetCellEx(snmp_mbus_col::Type, 1), u"String");
        m->Btn_Cancel->Click();
    };
    EXPECT_FALSE(m->Edit_Rows(rows));
}
