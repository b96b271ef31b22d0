#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown column grid of 5 rows with the focus; column 2 holds data check boxes.
struct AdvanceForm : GridOnForm<TExColumnGrid> {
    std::vector<std::string> changing;

    AdvanceForm() : GridOnForm(450, 250) {
        g->SetRowCount(5);
        g->Columns().Items(2)->SetEditor(edDataCheckBox);
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(2, r, u"");
        g->OnCellChanging = [this](TObject*, int oldRow, int oldCol, int newRow, int newCol, bool&) {
            changing.push_back(std::to_string(oldCol) + "," + std::to_string(oldRow) + ">" + std::to_string(newCol) +
                               "," + std::to_string(newRow));
        };
        g->SetFocus();
    }
};

}  // namespace

// Enter in an open editor: a check-box target is toggled and the editor closed,
// each move reporting its change from the cell the advance started at.
TEST(ExGridAdvance, EnterOntoACheckBoxTogglesItAndReportsTheStartCell) {
    struct Case {
        const char* name;
        int col, row;
        TAdvanceDirection direction;
        bool refuse;
        int toCol, toRow;
        std::vector<std::string> changing;
        const char16_t* check;
        bool editor;
    };
    const Case cases[] = {
        {"check box toggled", 1, 1, adLeftRight, false, 2, 1, {"1,1>2,1", "1,1>2,1"}, u"Y", true},
        {"top to bottom", 1, 4, adTopBottom, false, 2, 1, {"1,4>2,1", "1,4>2,1"}, u"Y", true},
        {"text cell", 3, 1, adLeftRight, false, 4, 1, {"3,1>4,1"}, u"", true},
        {"refused stays", 1, 1, adLeftRight, true, 1, 1, {"1,1>2,1"}, u"", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        AdvanceForm f;
        f.g->Navigation().SetAdvanceOnEnter(true);
        f.g->Navigation().SetAdvanceDirection(k.direction);
        const TRect R = f.g->CellRect(k.col, k.row);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        SimulateText(u"a");
        ASSERT_TRUE(f.g->EditorMode());
        f.changing.clear();
        if (k.refuse) f.g->OnCellChanging = [&](TObject*, int, int, int, int, bool& allow) {
            f.changing.push_back("1,1>2,1");
            allow = false;
        };
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
        EXPECT_EQ(f.changing, k.changing);
        EXPECT_EQ(f.g->GetCellEx(2, 1), k.check);
        EXPECT_EQ(f.g->EditorMode(), k.editor);
    }
    // Called with the editor shown, an advance in either direction toggles the
    // check box it reaches and leaves no editor open on it.
    for (TAdvanceDirection d : {adTopBottom, adLeftRight}) {
        AdvanceForm f;
        f.g->Navigation().SetAdvanceDirection(d);
        f.g->FocusCell(1, d == adTopBottom ? 4 : 1, true);
        f.g->ShowEditor();
        ASSERT_TRUE(f.g->EditorMode());
        f.g->AdvanceCell(f.g->Col(), f.g->Row(), true, true, false, true);
        EXPECT_EQ(f.g->Col(), 2);
        EXPECT_EQ(f.g->Row(), 1);
        EXPECT_EQ(f.g->GetCellEx(2, 1), u"Y");
        EXPECT_FALSE(f.g->EditorMode());
    }
}

// A handler that asks for a Tab while one is under way does not move the cursor twice.
TEST(ExGridAdvance, ANestedTabForTheSameCellIsIgnored) {
    AdvanceForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    f.g->FocusCell(1, 1, true);
    int nested = 0;
    f.g->OnSelectCell = [&](TObject*, int, int, bool&) {
        if (nested++ == 0) f.g->TabAdvance(false);
    };
    EXPECT_TRUE(f.g->TabAdvance(false));
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 1);
    // The next Tab moves on again.
    nested = 1;
    f.g->TabAdvance(false);
    EXPECT_EQ(f.g->Col(), 3);
}

// Tab past the last cell appends the row above a floating footer.
TEST(ExGridAdvance, TabPastTheLastCellAddsTheRowAboveAFloatingFooter) {
    AdvanceForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    f.g->Navigation().SetAdvanceInsert(true);
    f.g->FloatingFooter().SetVisible(true);
    f.g->SetCellEx(1, 4, u"footer");
    f.g->FocusCell(4, 3, true);
    int added = -1;
    f.g->OnAutoAddRow = [&](TObject*, int r) { added = r; };
    f.g->TabAdvance(false);
    EXPECT_EQ(f.g->RowCount(), 6);
    EXPECT_EQ(f.g->GetCellEx(1, 5), u"footer");
    EXPECT_EQ(f.g->Row(), 4);
    EXPECT_EQ(added, 5 - f.g->FixedFooters());
}
