#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown form with a column grid: columns 1 and 2 hold data check boxes
// (column 2 read-only), column 3 plain text. Clicks and check boxes logged.
struct MouseForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    std::vector<std::string> log;

    MouseForm() {
        form.SetBounds(0, 0, 600, 400);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 450, 250);
        g->SetRowCount(5);
        g->Columns().Items(1)->SetEditor(edDataCheckBox);
        g->Columns().Items(2)->SetEditor(edDataCheckBox);
        g->Columns().Items(2)->SetReadOnly(true);
        for (int r = 1; r < g->RowCount(); ++r) {
            g->SetCellEx(1, r, u"");
            g->SetCellEx(2, r, u"");
            g->SetCellEx(3, r, u"t");
        }
        auto at = [](int c, int r) { return " " + std::to_string(c) + "," + std::to_string(r); };
        g->OnCheckBoxClick = [this, at](TObject*, int c, int r, bool s) {
            log.push_back("check" + at(c, r) + (s ? " on" : " off"));
        };
        g->OnCheckBoxChange = [this, at](TObject*, int c, int r, bool s) {
            log.push_back("change" + at(c, r) + (s ? " on" : " off"));
        };
        g->OnClickCell = [this, at](TObject*, int r, int c) { log.push_back("clickcell" + at(c, r)); };
        g->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("mousedown"); };
        g->OnClick = [this](TObject*) { log.push_back("click"); };
        form.Show();
        g->SetFocus();
    }
    void Press(int c, int r, int dx = 5, int dy = 5) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + dx, R.Top + dy);
    }
};

TEST(ExGridMouse, APressAnywhereInACheckBoxCellTogglesItInsteadOfACellClick) {
    MouseForm f;
    TRect R = f.g->CellRect(1, 2);
    f.Press(1, 2, R.Right - R.Left - 3, R.Bottom - R.Top - 3);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Y");
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 on", "check 1,2 on", "mousedown", "click"}));
    f.log.clear();
    f.Press(1, 2);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"N");
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 off", "check 1,2 off", "mousedown", "click"}));
    // Anything but the check-true text counts as unchecked.
    f.g->SetCellEx(1, 3, u"x");
    f.Press(1, 3);
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"Y");
    // The second press of a double click is no second toggle.
    R = f.g->CellRect(1, 4);
    SimulateDblClick(f.g, R.Left + 5, R.Top + 5);
    EXPECT_EQ(f.g->GetCellEx(1, 4), u"Y");
}

TEST(ExGridMouse, ReadOnlyAndHeaderCheckBoxCellsOnlySelect) {
    MouseForm f;
    f.Press(2, 3);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"");
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 2,3", "click"}));
    f.log.clear();
    const String header = f.g->Cells(1, 0);
    f.Press(1, 0);
    EXPECT_EQ(f.g->Cells(1, 0), header);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 1,0"}));
}

TEST(ExGridMouse, APlainPressSelectsAndAPressOnTheCurrentCellOpensTheEditor) {
    MouseForm f;
    f.Press(3, 2);
    EXPECT_EQ(f.g->Col(), 3);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 3,2", "click"}));
    EXPECT_FALSE(f.g->EditorMode());
    f.Press(3, 2);
    EXPECT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
}

TEST(ExGridMouse, ACheckBoxPressKeepsTheTextTypedInAnotherCell) {
    MouseForm f;
    f.Press(3, 2);
    SimulateText(u"ab");
    ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
    f.Press(1, 3);
    EXPECT_FALSE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"ab");
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"Y");
    EXPECT_EQ(f.g->Row(), 3);
}

TEST(ExGridMouse, APressBelowTheLastRowClosesTheEditorAndKeepsTheText) {
    MouseForm f;
    f.g->SetFixedRowAlways(true);
    f.Press(3, 2);
    SimulateText(u"ab");
    TRect last = f.g->CellRect(3, f.g->RowCount() - 1);
    SimulateClick(f.g, last.Left + 5, last.Bottom + 20);
    EXPECT_FALSE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"ab");
    EXPECT_EQ(f.g->Row(), 2);
}

TEST(ExGridMouse, APressOnAHeaderBorderSizesAndIsNoCellClick) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    TRect R = f.g->CellRect(3, 0);
    SimulateMouseDown(f.g, mbLeft, R.Right - 2, R.Top + 5);
    SimulateMouseUp(f.g, mbLeft, R.Right - 2, R.Top + 5);
    SimulateClick(f.g, R.Left + 10, R.Top + 5);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "mousedown", "clickcell 3,0"}));
}

TEST(ExGridMouse, ARefusedClickLeavesTheCurrentCell) {
    MouseForm f;
    f.g->OnCanClickCell = [](TObject*, int, int, bool& Allow) { Allow = false; };
    f.Press(3, 3);
    f.Press(1, 3);
    EXPECT_EQ(f.g->Row(), 1);
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"");
    EXPECT_TRUE(f.log.empty());
}

TEST(ExGridMouse, SpaceTogglesAnEditableCheckBoxCellOnly) {
    MouseForm f;
    f.Press(3, 2);
    f.Press(1, 2);
    f.log.clear();
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"N");
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 off", "check 1,2 off"}));
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Y");
    f.log.clear();
    SimulateKey(VK_RIGHT);
    ASSERT_EQ(f.g->Col(), 2);
    f.log.clear();
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"");
    EXPECT_TRUE(f.log.empty());
    // Another look: the read-only box still answers.
    f.g->ControlLook().CheckAlwaysActive = true;
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"Y");
}

}  // namespace

TEST(ExGridMouse, DoubleClickReportsItsCell) {
    MouseForm f;
    std::vector<std::pair<int, int>> clicks;
    f.g->OnDblClickCell = [&](TObject*, int row, int col) { clicks.emplace_back(row, col); };
    const TRect r = f.g->CellRect(3, 2);
    SimulateDblClick(f.g, r.Left + 5, r.Top + 5);
    SimulateDblClick(f.g, 440, 240);  // below and right of every cell
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 3}}));
}
