// The selection resizer: a drag on the grip stretches the selection and
// fills the new cells from the old ones.

#include "grid/ExGrid.h"

#include "framework/Simulate.h"
#include "GridOnForm.h"

#include <gtest/gtest.h>

TEST(ExGridSelResize, ADragOnTheGripStretchesAndFillsTheSelection) {
    struct Case {
        bool resizer, editing;
        bool resized;
    } cases[] = {{true, false, true}, {true, true, true}, {false, false, false}};
    for (const Case& c : cases) {
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(4);
        g->SetRowCount(6);
        g->SetSelectionRectangle(true);
        g->SetSelectionResizer(c.resizer);
        g->Navigation().SetAllowSmartClipboard(true);
        // A grid that is not edited takes the paste only when told to.
        if (c.editing) g->SetOptions(g->Options() + TGridOptions{goEditing});
        else g->Navigation().SetAllowClipboardAlways(true);
        g->SetCells(1, 1, u"7");
        TGridRect one;
        one.Left = one.Right = 1;
        one.Top = one.Bottom = 1;
        g->SetSelection(one);
        std::vector<std::pair<TGridRect, TGridRect>> events;
        g->OnSelectionResize = [&](TObject*, const TGridRect& a, const TGridRect& b) { events.push_back({a, b}); };
        g->OnSelectionResized = [&](TObject*, const TGridRect& a, const TGridRect& b) { events.push_back({a, b}); };

        const TRect grip = g->CellRect(1, 1);
        SimulateMouseMove(g, grip.Right - 3, grip.Bottom - 3);
        EXPECT_EQ(g->MouseSelectMode(), c.resizer ? msResize : msNormal);
        SimulateMouseDown(g, mbLeft, grip.Right - 3, grip.Bottom - 3);
        const TRect to = g->CellRect(1, 3);
        SimulateMouseMove(g, to.Left + 5, to.Top + 5, TShiftState{ssLeft});
        SimulateMouseUp(g, mbLeft, to.Left + 5, to.Top + 5);

        if (!c.resized) {
            EXPECT_TRUE(events.empty());
            EXPECT_EQ(g->Cells(1, 3), u"");
            continue;
        }
        ASSERT_EQ(events.size(), 2u) << c.editing;
        for (const auto& e : events) {
            EXPECT_EQ(e.first.Top, 1);
            EXPECT_EQ(e.first.Bottom, 1);
            EXPECT_EQ(e.second.Top, 1);
            EXPECT_EQ(e.second.Bottom, 3);
            EXPECT_EQ(e.second.Left, 1);
            EXPECT_EQ(e.second.Right, 1);
        }
        EXPECT_EQ(g->Cells(1, 2), u"7") << c.editing;
        EXPECT_EQ(g->Cells(1, 3), u"7") << c.editing;
        EXPECT_FALSE(g->EditorMode()) << "the fill goes into the cells, not an editor";
        EXPECT_EQ(g->Options().Contains(goEditing), c.editing);
    }
}
