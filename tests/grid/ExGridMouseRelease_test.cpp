#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

namespace {

// A shown, focused text grid of 6 x 6 cells that selects ranges.
struct EditGrid : ::testing::Test {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    EditGrid() {
        g->SetColCount(6);
        g->SetRowCount(6);
        g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
        for (int r = 1; r < 6; ++r)
            for (int c = 1; c < 6; ++c) g->SetCellEx(c, r, u"v");
        g->SetFocus();
    }
    TPoint In(int c, int r) {
        const TRect R = g->CellRect(c, r);
        return {R.Left + 5, R.Top + 5};
    }
    void Press(int c, int r, TShiftState Shift = {}) {
        const TPoint p = In(c, r);
        SimulateMouseDown(g, mbLeft, p.X, p.Y, Shift);
        SimulateMouseUp(g, mbLeft, p.X, p.Y, Shift);
    }
    void DblClick(int c, int r) {
        const TPoint p = In(c, r);
        SimulateDblClick(g, p.X, p.Y);
    }
    bool Editing() { return g->InplaceEditor() && g->InplaceEditor()->Visible(); }
    bool Sel(int l, int t, int r, int b) {
        const TGridRect s = g->Selection();
        return s.Left == l && s.Top == t && s.Right == r && s.Bottom == b;
    }
};

TEST_F(EditGrid, RangeSelectAndEditSelectsFirstAndEditsTheCurrentCellOnTheNextPress) {
    g->MouseActions().SetRangeSelectAndEdit(true);
    Press(2, 2);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_FALSE(Editing());
    Press(2, 2);
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(g->Options().Contains(goEditing));
    // Shift extends the range and leaves editing.
    Press(4, 3, {ssShift});
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(g->Options().Contains(goEditing));
    EXPECT_TRUE(Sel(2, 2, 4, 3));
    // A drag selects a range; nothing opens.
    const TPoint a = In(1, 1), b = In(3, 4);
    SimulateMouseDown(g, mbLeft, a.X, a.Y);
    SimulateMouseMove(g, b.X, b.Y, {ssLeft});
    SimulateMouseUp(g, mbLeft, b.X, b.Y);
    EXPECT_TRUE(Sel(1, 1, 3, 4));
    EXPECT_FALSE(Editing());
    // A double click on another cell edits it at once.
    DblClick(5, 5);
    EXPECT_TRUE(Editing());
    EXPECT_EQ(g->Col(), 5);
    EXPECT_EQ(g->Row(), 5);
}

TEST_F(EditGrid, EditOnDblClickOnlyOpensNothingOnPressesAndTheEditorOnADoubleClick) {
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->MouseActions().SetEditOnDblClickOnly(true);
    bool readOnlyRow3 = true;
    g->OnCanEditCell = [&](TObject*, int ARow, int, bool& CanEdit) {
        if (readOnlyRow3 && ARow == 3) CanEdit = false;
    };
    Press(2, 2);
    Press(2, 2);
    EXPECT_FALSE(Editing());
    DblClick(2, 2);
    EXPECT_TRUE(Editing());
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    // Enter ends the edit and editing stays off for the next press.
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(Editing());
    Application->ProcessMessages();
    Press(2, 2);
    EXPECT_FALSE(Editing());
    // A cell that may not be edited stays closed.
    DblClick(4, 3);
    EXPECT_FALSE(Editing());
}

}  // namespace
