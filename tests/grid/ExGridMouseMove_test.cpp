#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/Windows.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A shown grid of 5 x 5 cells with one fixed row and column, painted up to
// date, so that what the mouse invalidates can be read.
struct HoverGrid : ::testing::Test {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    HoverGrid() {
        g->SetColCount(5);
        g->SetRowCount(5);
        Flush();
    }
    void Flush() { UpdateWindow(g->Handle()); }
    TRect Pending() {
        TRect r{};
        GetUpdateRect(g->Handle(), &r, false);
        return r;
    }
    void MoveTo(int c, int r) {
        const TRect R = g->CellRect(c, r);
        SimulateMouseMove(g, R.Left + 5, R.Top + 5);
    }
    TRect Both(TRect a, TRect b) {
        TRect u{};
        UnionRect(u, a, b);
        return u;
    }
};

TEST_F(HoverGrid, AHoveredHeaderCellIsTrackedAndOnlyTheCellsLeftAndEnteredRepaint) {
    g->SetHoverFixedCells(hfFixedRows);
    MoveTo(1, 0);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{1, 0}));
    EXPECT_EQ(Pending(), g->CellRect(1, 0));
    Flush();
    MoveTo(3, 0);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{3, 0}));
    EXPECT_EQ(Pending(), Both(g->CellRect(1, 0), g->CellRect(3, 0)));
    Flush();
    // Within the same cell nothing repaints.
    SimulateMouseMove(g, g->CellRect(3, 0).Left + 9, 3);
    EXPECT_EQ(Pending(), TRect{});
    // Fixed columns do not hover under hfFixedRows; the header cell left is repainted.
    MoveTo(0, 2);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), g->CellRect(3, 0));
    Flush();
    MoveTo(2, 2);
    EXPECT_EQ(Pending(), TRect{});

    g->SetHoverFixedCells(hfFixedColumns);
    MoveTo(0, 3);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{0, 3}));
    // Leaving the grid clears it.
    Flush();
    SimulateMouseLeave();
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), g->CellRect(0, 3));
}

TEST_F(HoverGrid, ResettingTheFixedHighlightPutsOutTheLitHeaderOnly) {
    g->SetHoverFixedCells(hfFixedRows);
    MoveTo(2, 0);
    Flush();
    g->ResetFixedCellHighlight();
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), g->CellRect(2, 0));
    Flush();
    g->ResetFixedCellHighlight();
    EXPECT_EQ(Pending(), TRect{}) << "nothing lit, nothing repainted";
}

TEST_F(HoverGrid, ARepaintedRectangleRunsFromItsFirstToItsLastCell) {
    g->RepaintRect(Rect(1, 1, 3, 2));
    EXPECT_EQ(Pending(), Both(g->CellRect(1, 1), g->CellRect(3, 2)));
    Flush();
    g->RepaintRect(Rect(-1, 1, 3, 2));
    EXPECT_EQ(Pending(), TRect{});
    // A corner out of view repaints the whole grid.
    g->SetRowCount(60);
    Flush();
    g->RepaintRect(Rect(1, 1, 2, 50));
    EXPECT_EQ(Pending(), g->ClientRect());
}

TEST_F(HoverGrid, OnlyACursorTheGridDidNotSetEndsTheOfferOfAPress) {
    g->MouseActions().SetRowSelect(true);
    MoveTo(0, 2);
    ASSERT_EQ(g->MouseSelectMode(), msRow);
    g->SetOwnCursor(crHandPoint);
    EXPECT_EQ(g->MouseSelectMode(), msRow);
    EXPECT_FALSE(g->Invokedchange);
    g->SetCursor(crCross);
    EXPECT_EQ(g->MouseSelectMode(), msNormal);
}

TEST_F(HoverGrid, TheCellUnderTheMouseMayChooseItsCursor) {
    std::vector<TPoint> asked;
    g->OnGetCellCursor = [&](TObject*, int ACol, int ARow, int, int, TCursor& ACursor) {
        EXPECT_EQ(ACursor, g->Cursor());
        asked.push_back({ACol, ARow});
        };
    MoveTo(2, 3);
    g->Perform(WM_SETCURSOR, WPARAM(g->Handle()), HTCLIENT);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), (TPoint{2, 3}));
    // While a press would select a row, the offer's cursor stands.
    g->MouseActions().SetRowSelect(true);
    MoveTo(0, 3);
    ASSERT_EQ(g->MouseSelectMode(), msRow);
    asked.clear();
    g->Perform(WM_SETCURSOR, WPARAM(g->Handle()), HTCLIENT);
    EXPECT_TRUE(asked.empty());
}

TEST_F(HoverGrid, NoHoverWithoutTheSetting) {
    MoveTo(2, 0);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), TRect{});
}

TEST_F(HoverGrid, TheListViewLookMarksTheHotHeaderCell) {
    g->SetLook(glListView);
    Flush();
    MoveTo(2, 0);
    EXPECT_EQ(g->HotFixedCell(), (TPoint{2, 0}));
    EXPECT_EQ(Pending(), g->CellRect(2, 0));
    Flush();
    // A data cell is the hot cell too, but only the header cell left repaints.
    MoveTo(2, 3);
    EXPECT_EQ(g->HotFixedCell(), (TPoint{2, 3}));
    EXPECT_EQ(Pending(), g->CellRect(2, 0));
    MoveTo(4, 0);
    Flush();
    SimulateMouseLeave();
    EXPECT_EQ(g->HotFixedCell(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), g->CellRect(4, 0));
}

// The mouse over an in-cell push button draws it hot, and only its cell is
// repainted on the way in and out.
TEST_F(HoverGrid, AButtonUnderTheMouseIsDrawnHot) {
    g->SetOptions(g->Options() + TGridOptions{goEditing});  // a button of a cell that cannot be edited is disabled
    g->AddButton(2, 2, 30, 14, u"Go", haCenter, vaCenter);
    g->AddButton(3, 3, 30, 14, u"No", haCenter, vaCenter);
    Flush();
    auto render = [this] {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    };
    auto same = [](const std::unique_ptr<TBitmap>& a, const std::unique_ptr<TBitmap>& b) {
        for (int y = 0; y < a->Height(); ++y)
            for (int x = 0; x < a->Width(); ++x)
                if (a->Canvas().Pixels(x, y) != b->Canvas().Pixels(x, y)) return false;
        return true;
    };
    const auto normal = render();
    const TRect button = g->GetCellButtonRect(2, 2);
    ASSERT_FALSE(IsRectEmpty(button));
    const TRect cell = g->CellRect(2, 2);
    EXPECT_TRUE(PtInRect(cell, TPoint{button.Left, button.Top}));

    struct Step {
        TPoint at;
        TPoint hover;
        TRect pending;
    } steps[] = {
        {{button.Left + 3, button.Top + 3}, {2, 2}, cell},
        {{button.Left + 8, button.Top + 5}, {2, 2}, {}},        // still on it: nothing repaints
        {{cell.Left + 1, cell.Top + 1}, {-1, -1}, cell},        // same cell, off the button
        {{button.Left + 3, button.Top + 3}, {2, 2}, cell},
        {{g->CellRect(3, 3).Left + 1, g->CellRect(3, 3).Top + 1}, {-1, -1}, cell},
    };
    for (const Step& s : steps) {
        SimulateMouseMove(g, s.at.X, s.at.Y);
        EXPECT_EQ(g->HoverButton(), s.hover) << s.at.X << "," << s.at.Y;
        EXPECT_EQ(Pending(), s.pending) << s.at.X << "," << s.at.Y;
        Flush();
        EXPECT_EQ(same(render(), normal), s.hover.X < 0) << s.at.X << "," << s.at.Y;
    }

    // Leaving the grid from the button puts it back.
    SimulateMouseMove(g, button.Left + 3, button.Top + 3);
    Flush();
    SimulateMouseLeave();
    EXPECT_EQ(g->HoverButton(), (TPoint{-1, -1}));
    EXPECT_EQ(Pending(), cell);
    Flush();
    EXPECT_TRUE(same(render(), normal));

    // A pushed button keeps its pushed look under the mouse.
    g->PushButton(2, 2, true);
    Flush();
    const auto pushed = render();
    SimulateMouseMove(g, button.Left + 3, button.Top + 3);
    Flush();
    EXPECT_TRUE(same(render(), pushed));
}

TEST_F(HoverGrid, AFixedRowIsSizedByDraggingItsBottomBorder) {
    g->MouseActions().SetSizeFixedRow(true);
    g->SetHintShowSizing(true);
    std::vector<int> sizing;
    int ended = -1;
    g->OnRowSizing = [&](TObject*, int ARow, int Size) {
        EXPECT_EQ(ARow, 0);
        sizing.push_back(Size);
    };
    g->OnEndRowSize = [&](TObject*, int ARow) { ended = ARow; };
    const int border = g->RowHeights(0) + 1;
    const int x = g->CellRect(2, 0).Left + 10;
    // Four pixels off the border nothing is offered.
    SimulateMouseMove(g, x, border + 4);
    SimulateMouseDown(g, mbLeft, x, border + 4);
    SimulateMouseMove(g, x, border + 20, {ssLeft});
    SimulateMouseUp(g, mbLeft, x, border + 20);
    EXPECT_EQ(g->RowHeights(0), border - 1);
    EXPECT_TRUE(sizing.empty());

    SimulateMouseMove(g, x, border + 1);
    SimulateMouseDown(g, mbLeft, x, border + 1);
    SimulateMouseMove(g, x, 40, {ssLeft});
    ASSERT_NE(g->ScrollHintWindow(), nullptr);
    EXPECT_TRUE(g->ScrollHintShowing());
    EXPECT_EQ(g->ScrollHintWindow()->Text(), u"rh=<b>40</b>");
    SimulateMouseUp(g, mbLeft, x, 40);
    EXPECT_EQ(g->RowHeights(0), 40);
    EXPECT_EQ(sizing, (std::vector<int>{40}));
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(g->ScrollHintWindow()->IsHintShowing());
    // Data rows below keep their heights.
    EXPECT_EQ(g->RowHeights(1), g->DefaultRowHeight());
}

// A menu that notes its showing instead of running a modal loop.
struct QuietMenu : TPopupMenu {
    QuietMenu() : TPopupMenu(nullptr) {}
    int shown = 0;
    void Popup(int, int) override { ++shown; }
};

// A header whose drop-down menu asked to stay lit keeps its highlight over the
// one mouse leave the menu brings, but the column selection the header offered
// is taken back all the same; the next leave clears the highlight too.
TEST_F(HoverGrid, LeavingResetsTheOfferedSelectionEvenWhileAMenuKeepsItsHeaderLit) {
    QuietMenu menu;
    g->SetHoverFixedCells(hfAll);
    g->ControlLook().FixedDropDownButton = true;
    g->SetFixedDropDownMenu(&menu);
    g->OnFixedDropDownClick = [](TObject*, int, int, TPopupMenu*&, bool& keep) { keep = true; };
    g->MouseActions().SetColSelect(true);
    const TRect R = g->CellRect(2, 0);
    const TPoint button{R.Right - 8, R.Top + 5};
    SimulateMouseMove(g, button.X, button.Y);
    SimulateMouseDown(g, mbLeft, button.X, button.Y);
    SimulateMouseUp(g, mbLeft, button.X, button.Y);
    ASSERT_EQ(menu.shown, 1);
    SimulateMouseMove(g, button.X - 20, button.Y);
    ASSERT_EQ(g->MouseSelectMode(), msColumn);
    SimulateMouseLeave();
    EXPECT_EQ(g->MouseSelectMode(), msNormal);
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{2, 0}));
    SimulateMouseMove(g, button.X - 20, button.Y);
    SimulateMouseLeave();
    EXPECT_EQ(g->HoverFixedCell(), (TPoint{-1, -1}));
    g->SetFixedDropDownMenu(nullptr);
}

// A range drag onto the partly shown column at the right scrolls the grid
// sideways, unless the horizontal position is kept while the button is held.
TEST_F(HoverGrid, ARangeDragKeepsTheHorizontalPositionWhenAskedTo) {
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        g->SetColCount(12);
        g->SetLeftCol(1);
        g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
        g->Navigation().SetKeepHorizScroll(keep);
        // The last column in view, shown only in part.
        const int partly = g->LeftCol() + g->VisibleColCount();
        const TRect from = g->CellRect(1, 1), to = g->CellRect(partly, 2);
        ASSERT_GT(to.Right - to.Left, 0);
        ASSERT_GT(to.Right, g->ClientWidth());
        SimulateMouseDown(g, mbLeft, from.Left + 5, from.Top + 5);
        SimulateMouseMove(g, to.Left + 2, to.Top + 5, {ssLeft});
        EXPECT_EQ(g->LeftCol() == 1, keep);
        EXPECT_EQ(g->Selection().Right, partly);
        SimulateMouseUp(g, mbLeft, to.Left + 2, to.Top + 5);
    }
}

// The header column of a node row offers row selection everywhere but on the
// node's glyph, which opens or closes the node instead.
TEST_F(HoverGrid, ANodeGlyphOffersNoRowSelection) {
    g->MouseActions().SetRowSelect(true);
    g->Tools().AddNode(1, 3);
    struct Case {
        int row;
        bool precise;
        int x;
        TMouseSelectMode mode;
    } cases[] = {
        {1, false, 20, msNormal},  // the whole header cell of a node row is its glyph
        {1, true, 8, msNormal},    // on the glyph
        {1, true, 40, msRow},      // beside it
        {2, false, 8, msRow},      // a row inside the node
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.row * 100 + k.x);
        g->MouseActions().SetPreciseNodeClick(k.precise);
        const TRect R = g->CellRect(0, k.row);
        SimulateMouseMove(g, R.Left + k.x, R.Top + 5);
        EXPECT_EQ(g->MouseSelectMode(), k.mode);
    }
}

// A row selection dragged from the header column up over the header row
// keeps scrolling the earlier rows into view, one row a move, and takes them in.
TEST_F(HoverGrid, ARowDragAboveTheRowsKeepsScrollingThemIntoView) {
    g->SetRowCount(30);
    g->MouseActions().SetRowSelect(true);
    g->MouseActions().SetAllSelect(true);
    g->SetTopRow(6);
    const TRect start = g->CellRect(0, 8);
    SimulateMouseMove(g, start.Left + 5, start.Top + 5);
    ASSERT_EQ(g->MouseSelectMode(), msRow);
    SimulateMouseDown(g, mbLeft, start.Left + 5, start.Top + 5);
    const TRect header = g->CellRect(0, 0);
    for (int top : {5, 4, 3}) {
        SimulateMouseMove(g, header.Left + 5, header.Top + 5, {ssLeft});
        EXPECT_EQ(g->TopRow(), top);
        EXPECT_EQ(g->MouseSelectMode(), msRow);
    }
    // Back on the first row shown the selection takes in the rows scrolled in.
    const TRect first = g->CellRect(0, 3);
    SimulateMouseMove(g, first.Left + 5, first.Top + 5, {ssLeft});
    EXPECT_EQ(g->Selection().Top, 3);
    EXPECT_EQ(g->Selection().Bottom, 8);
    SimulateMouseUp(g, mbLeft, first.Left + 5, first.Top + 5);
}

// The sizing hint shows at the header cell whose border was taken: in a grid
// of two header rows, on the row pressed.
TEST_F(HoverGrid, TheSizingHintShowsBesideThePressedHeaderCell) {
    g->SetFixedRows(2);
    g->SetOptions(g->Options() + TGridOptions{goColSizing});
    g->SetHintShowSizing(true);
    for (const int row : {0, 1}) {
        SCOPED_TRACE(row);
        const TRect R = g->CellRect(2, row);
        SimulateMouseMove(g, R.Right - 1, R.Top + 5);
        SimulateMouseDown(g, mbLeft, R.Right - 1, R.Top + 5);
        SimulateMouseMove(g, R.Left + 70, R.Top + 5, {ssLeft});
        THTMLHintWindow* w = g->ScrollHintWindow();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->IsHintShowing());
        EXPECT_EQ(w->Left(), g->ClientToScreen({R.Left, 0}).X);
        EXPECT_EQ(w->Top(), g->ClientToScreen({0, R.Top}).Y);
        SimulateMouseUp(g, mbLeft, R.Left + 70, R.Top + 5);
        EXPECT_FALSE(w->IsHintShowing());
    }
}

}  // namespace
