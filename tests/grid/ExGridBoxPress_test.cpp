// Presses and Space on the boxes of cells: radio buttons, the row boxes of
// column 0, the header box that sets a whole column, and precise clicks.

#include "grid/ExGrid.h"

#include "framework/Simulate.h"
#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct BoxGrid {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    BoxGrid() {
        g->SetColCount(4);
        g->SetRowCount(6);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
    }
    void Press(int c, int r, int dx = 4) {
        const TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + dx, (R.Top + R.Bottom) / 2);
    }
};

}  // namespace

TEST(ExGridBoxPress, RadioButtonsArePickedByPressAndBySpace) {
    BoxGrid b;
    TExStringGrid* g = b.g;
    g->AddRadioButtonColumn(2);
    std::vector<std::pair<int, int>> clicks;
    g->OnRadioButtonClick = [&](TObject*, int c, int r) { clicks.push_back({c, r}); };

    b.Press(2, 3);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 3);
    b.Press(2, 1);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 1);
    EXPECT_FALSE(g->IsRadioButtonChecked(2, 3));

    g->SetFocus();
    g->SetCol(2);
    g->SetRow(4);
    SimulateKey(VK_SPACE);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 4);
    EXPECT_EQ(g->Cells(2, 4), u"") << "Space picks the button and types nothing";
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 3}, {2, 1}, {2, 4}}));

    // A cell that cannot be edited keeps its choice.
    g->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    b.Press(2, 5);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 4);
}

TEST(ExGridBoxPress, RowBoxesInColumnZeroSelectTheirRows) {
    BoxGrid b;
    TExStringGrid* g = b.g;
    g->MouseActions().SetDisjunctRowSelect(true);
    g->MouseActions().SetHotmailRowSelect(true);
    // The row boxes work even where the grid may not be edited.
    g->SetOptions(g->Options() - TGridOptions{goEditing});

    b.Press(0, 2);
    EXPECT_TRUE(g->RowSelect(2));
    EXPECT_EQ(g->Selection().Top, 2);
    EXPECT_EQ(g->Selection().Bottom, 2);
    EXPECT_EQ(g->Selection().Left, g->FixedCols());
    EXPECT_EQ(g->Selection().Right, g->ColCount() - 1);
    b.Press(0, 4);
    EXPECT_TRUE(g->RowSelect(2));
    EXPECT_TRUE(g->RowSelect(4));
    b.Press(0, 2);
    EXPECT_FALSE(g->RowSelect(2));
    bool state = true;
    g->GetCheckBoxState(0, 2, state);
    EXPECT_FALSE(state);
    g->GetCheckBoxState(0, 4, state);
    EXPECT_TRUE(state);
}

TEST(ExGridBoxPress, TheHeaderBoxSetsTheWholeColumnWithCheckAllCheck) {
    struct Case {
        bool rowBoxes;
        int col;
    } cases[] = {{false, 2}, {true, 0}};
    for (const Case& c : cases) {
        BoxGrid b;
        TExStringGrid* g = b.g;
        g->MouseActions().SetCheckAllCheck(true);
        if (c.rowBoxes) {
            g->MouseActions().SetDisjunctRowSelect(true);
            g->MouseActions().SetHotmailRowSelect(true);
        } else {
            g->AddCheckBoxColumn(2);
        }
        b.Press(c.col, 0);
        for (int r = 1; r < g->RowCount(); ++r) {
            bool state = false;
            g->GetCheckBoxState(c.col, r, state);
            EXPECT_TRUE(state) << c.rowBoxes << " row " << r;
            if (c.rowBoxes) EXPECT_TRUE(g->RowSelect(r)) << r;
        }
        b.Press(c.col, 0);
        for (int r = 1; r < g->RowCount(); ++r) {
            bool state = true;
            g->GetCheckBoxState(c.col, r, state);
            EXPECT_FALSE(state) << c.rowBoxes << " row " << r;
        }
    }
}

TEST(ExGridBoxPress, PreciseClicksToggleOnlyOnTheBox) {
    BoxGrid b;
    TExStringGrid* g = b.g;
    g->MouseActions().SetPreciseCheckBoxCheck(true);
    g->AddCheckBox(2, 2, false);
    bool state = true;
    b.Press(2, 2, 50);
    g->GetCheckBoxState(2, 2, state);
    EXPECT_FALSE(state) << "a press beside the box leaves it";
    b.Press(2, 2, 4);
    g->GetCheckBoxState(2, 2, state);
    EXPECT_TRUE(state);
}
