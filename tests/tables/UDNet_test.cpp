#include "tables/UDNet.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace dnet_col;

class DNet : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Model_Code = 1;
        Path_DNETM_Net = S(dir.file("DNETM_Net.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_DNETM_Net.clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(DNet, ValidationChecksIdAndByteCountsUpToTheFirstEmptyId) {
    const struct {
        std::vector<std::string> rows;  // "ID|IN|OUT|ResetDN|ResetPN|Mnemonic" from row 1
        const char* message;            // "" passes
    } cases[] = {
        {{"63|0|65535||Y|m"}, ""},
        {{"0|65535|0|N|N|"}, ""},
        {{"1|1|1|||", "1|2|2|||"}, ""},  // one ID twice
        {{"1|1|1|||", "|x|x|||", "99|x|x|||"}, ""},  // rows after an empty ID are no rows
        {{"1|1|1|||", "64|1|1|||"}, "Error in row 2!! ID must be 0 or 63"},
        {{"  |1|1|||"}, "Error in row 1!! ID must be 0 or 63"},  // blanks are no end
        {{"-1|1|1|||"}, "Error in row 1!! ID must be 0 or 63"},
        {{"x3F|65536|1|||"}, "Error in row 1!! Number Byte IN must be 0 or 65535"},
        {{"3||1|||"}, "Error in row 1!! Number Byte IN must be 0 or 65535"},
        {{"3|1|65536|||"}, "Error in row 1!! Number Byte OUT must be 0 or 65535"},
        {{"3|1|1 |||"}, "Error in row 1!! Number Byte OUT must be 0 or 65535"},
    };
    for (const auto& c : cases) {
        StandInGrid grid(DNet_Row_Count + 1, 7);
        for (std::size_t i = 0; i < c.rows.size(); ++i) grid.SetRow(static_cast<int>(i) + 1, c.rows[i]);
        dialogs.Shown.clear();
        const bool ok = DNet_controllo_dati(grid);
        EXPECT_EQ(ok, *c.message == 0) << c.rows[0];
        if (*c.message) {
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(StringToUtf8(dialogs.Shown[0].Text), c.message);
        }
    }
    // The 64th row is checked like every other.
    StandInGrid full(DNet_Row_Count + 1, 7);
    for (int r = 1; r <= DNet_Row_Count; ++r) full.SetRow(r, std::to_string(r - 1) + "|1|1|||");
    EXPECT_TRUE(DNet_controllo_dati(full));
    full.SetCellEx(NB_OUT, 64, u"70000");
    dialogs.Shown.clear();
    EXPECT_FALSE(DNet_controllo_dati(full));
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error in row 64!! Number Byte OUT must be 0 or 65535");
}

TEST_F(DNet, LoadGivesResetDefaultsAndStopsAtAMissingCount) {
    dir.write("DNETM_Net.xml",
              "<DNET_Net><row ID='1' NB_IN='2' NB_OUT='3' Mnemonic='a'/>"
              "<row ID='2' NB_IN='2' NB_OUT='3' Reset_DeviceNet='' Reset_PROFINET='Y' Mnemonic=''/>"
              "<row ID='3' NB_OUT='3' Mnemonic='c'/><row ID='4' NB_IN='1' NB_OUT='1' Mnemonic='d'/></DNET_Net>");
    StandInGrid grid(DNet_Row_Count + 1, 7);
    grid.SetRow(4, "old|old|old|old|old|old");
    TShow_Guard guard;
    DNet_Show_Table(guard, grid, Path_DNETM_Net);
    EXPECT_TRUE(guard.Incomplete());
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Could not convert variant of type (Null) into type (OleStr)");
    EXPECT_EQ(grid.Row(1), "1|2|3|N|N|a");
    EXPECT_EQ(grid.Row(2), "2|2|3||Y|");
    EXPECT_EQ(grid.Row(3), "3|||||");  // the row that stopped the loading: what was read
    EXPECT_EQ(grid.Row(4), "|||||");   // reset, not read
    EXPECT_EQ(grid.GetCellEx(0, 64), u"64");
}

TEST_F(DNet, ScriptedEditsAreSavedAsTheGoldenFile) {
    auto w = Make_Window<TFDNet>();
    EXPECT_EQ(w->ClientWidth(), 784);
    EXPECT_EQ(w->ClientHeight(), 337);
    EXPECT_EQ(w->EXG->RowCount(), DNet_Row_Count + 1);
    EXPECT_EQ(w->EXG->Columns().Items(Reset_DeviceNet)->Header(), u"Reset on DeviceNet");
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->EXG;
        const char16_t* rows[][4] = {{u"10", u"4", u"2", u"valve"}, {u"11", u"0", u"8", u"drive"},
                                     {u"12", u"1", u"1", u"gone"}};
        for (int r = 1; r <= 3; ++r) {
            const int cols[] = {ID, NB_IN, NB_OUT, Mnemonic};
            for (int i = 0; i < 4; ++i) g->SetCellEx(cols[i], r, rows[r - 1][i]);
        }
        g->ToggleCheckBox(Reset_DeviceNet, 1);  // from empty: ticked
        g->ToggleCheckBox(Reset_PROFINET, 1);
        g->ToggleCheckBox(Reset_PROFINET, 1);   // and cleared again: "N"
        // Insert before row 2, fill it; delete row 4 ("gone") after a No and a Yes.
        g->SetRow(2);
        w->Btn_InsRow->Click();
        g->SetCellEx(ID, 2, u"63");
        g->SetCellEx(NB_IN, 2, u"x10");
        g->SetCellEx(NB_OUT, 2, u"0");
        g->SetRow(4);
        dialogs.AnswerBox(IDNO);
        w->Btn_DelRow->Click();
        EXPECT_EQ(g->GetCellEx(Mnemonic, 4), u"gone");
        dialogs.AnswerBox(IDYES);
        w->Btn_DelRow->Click();
        EXPECT_EQ(g->GetCellEx(ID, 4), u"");
        EXPECT_EQ(g->GetCellEx(0, 4), u"4");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 4");
    EXPECT_EQ(dir.read("DNETM_Net.xml"), Golden("DNETM_Net.xml"));
    // Cancel after edits leaves the file; the next show reads it back.
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->EXG->GetCellEx(Reset_DeviceNet, 1), u"Y");
        EXPECT_EQ(w->EXG->GetCellEx(Reset_DeviceNet, 2), u"");
        w->EXG->SetCellEx(ID, 1, u"99");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(dir.read("DNETM_Net.xml"), Golden("DNETM_Net.xml"));
}
