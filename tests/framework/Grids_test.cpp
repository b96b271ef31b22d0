#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/Grids.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string U8(const String& s) { return StringToUtf8(s); }
std::string Num(int v) { return std::to_string(v); }

// A string grid that opens its protected operations to the tests and logs
// the notifications the grid library relies on. Without a border, so that
// window and client coordinates agree (the border has its own test).
class TestGrid : public TStringGrid {
public:
    explicit TestGrid(TComponent* owner) : TStringGrid(owner) { SetBorderStyle(bsNone); }

    void Key(Word key, TShiftState shift = {}) { KeyDown(key, shift); }
    Word KeyResult(Word key, TShiftState shift = {}) {
        KeyDown(key, shift);
        return key;
    }
    Char Press(Char ch) {
        KeyPress(ch);
        return ch;
    }
    void Down(int x, int y, TShiftState shift = {}) { MouseDown(mbLeft, shift, x, y); }
    void Move(int x, int y) { MouseMove({ssLeft}, x, y); }
    void Up(int x, int y) { MouseUp(mbLeft, {}, x, y); }
    bool CanEdit() { return CanEditShow(); }

    std::vector<std::string> log;
    bool refuse = false;                // SelectCell answers false
    std::vector<TGridCoord> refused;    // cells SelectCell refused
    struct Drawn {
        int col, row;
        TGridDrawState state;
        TRect rect;
    };
    std::vector<Drawn> drawn;
    int limit = 0;  // GetEditLimit

protected:
    int GetEditLimit() override { return limit; }
    bool SelectCell(int c, int r) override {
        log.push_back("select " + Num(c) + "," + Num(r));
        if (refuse) {
            refused.push_back({c, r});
            return false;
        }
        return TStringGrid::SelectCell(c, r);
    }
    void SetEditText(int c, int r, const String& v) override {
        log.push_back("settext " + Num(c) + "," + Num(r) + "=" + U8(v));
        TStringGrid::SetEditText(c, r, v);
    }
    void ColWidthsChanged() override {
        log.push_back("colwidths");
        TStringGrid::ColWidthsChanged();
    }
    void RowHeightsChanged() override {
        log.push_back("rowheights");
        TStringGrid::RowHeightsChanged();
    }
    void ColumnMoved(int from, int to) override {
        TStringGrid::ColumnMoved(from, to);
        log.push_back("columnmoved " + Num(from) + "," + Num(to) + " text " + U8(Cells(to, 0)));
    }
    void RowMoved(int from, int to) override {
        TStringGrid::RowMoved(from, to);
        log.push_back("rowmoved " + Num(from) + "," + Num(to));
    }
    void WMVScroll(TWMScroll& m) override {
        log.push_back("vscroll " + Num(m.ScrollCode()) + "," + Num(m.Pos()));
        TStringGrid::WMVScroll(m);
    }
    void TopLeftChanged() override {
        log.push_back("topleft " + Num(LeftCol()) + "," + Num(TopRow()));
        TStringGrid::TopLeftChanged();
    }
    void DrawCell(int c, int r, TRect rect, TGridDrawState st) override {
        drawn.push_back({c, r, st, rect});
        TStringGrid::DrawCell(c, r, rect, st);
    }
};

// Column pitch 65 (64 + one line), row pitch 25 (24 + one line); the
// default size 320 x 120 shows the fixed column and three scrolled columns
// wholly, the fixed row and three scrolled rows wholly.
constexpr int kColPitch = 65;
constexpr int kRowPitch = 25;

bool Contains(const std::vector<std::string>& log, const std::string& s) {
    for (const auto& l : log)
        if (l == s) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Rules the grid library relies on without stating them. Each is decided
// here and kept:
// 1. Draw state: gdFixed for fixed cells; gdFocused for the current cell
//    while the grid has the focus; gdSelected for cells inside Selection,
//    except the focused current cell unless goDrawFocusSelected or goRowSelect.
// 2. Setting Col or Row scrolls the new current cell into view.
// 3. TopRow and LeftCol are clamped so that the last page is full.
// 4. The area right of the last column and below the last row has the grid's Color.
// 5. Everything but painting works without a window; repainting requests
//    do nothing before the window exists.
// 6. Right to left the grid is the mirror of its left-to-right picture.
// Besides: counts shrinking never cut the cell store (cells beyond a count
// come back when it grows), while deleting a row or column removes its
// cells; a Shift press or a drag moves the anchor end of the selection and
// leaves the current cell; a move refused by SelectCell sets the key to 0.
TEST(Grids, RulesWithoutAWindow) {
    TestGrid g(nullptr);
    g.SetRowCount(20);
    g.SetColCount(10);
    EXPECT_FALSE(g.HandleAllocated());
    // Rule 2.
    g.SetRow(12);
    EXPECT_EQ(g.TopRow(), 10);  // rows 10..12 in view, 12 the last
    g.SetCol(8);
    EXPECT_EQ(g.LeftCol(), 6);
    // Rule 3.
    g.SetTopRow(100);
    EXPECT_EQ(g.TopRow(), 17);
    EXPECT_EQ(g.TopRow() + g.VisibleRowCount(), g.RowCount());
    g.SetLeftCol(-5);
    EXPECT_EQ(g.LeftCol(), 1);
    // Rule 5: repaint requests before the window exists are harmless.
    g.InvalidateCell(3, 3);
    g.InvalidateRow(2);
    g.InvalidateGrid();
    g.SetCells(2, 2, u"x");
    EXPECT_EQ(g.Cells(2, 2), u"x");
    // The store survives shrinking and keeps columns beyond the count.
    g.SetCells(9, 19, u"corner");
    g.SetCells(15, 3, u"beyond");
    g.SetColCount(3);
    g.SetRowCount(4);
    EXPECT_EQ(g.Cells(15, 3), u"beyond");
    g.SetColCount(10);
    g.SetRowCount(20);
    EXPECT_EQ(g.Cells(9, 19), u"corner");
    EXPECT_TRUE(g.Cells(-1, 5).empty());
    EXPECT_THROW(g.SetCells(-1, 0, u"x"), EInvalidGridOperation);
}

TEST(Grids, DefaultsAndTheFixedCountErrors) {
    TestGrid g(nullptr);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.TabStop());

    struct Case {
        bool rows;
        int value;
        const char* message;
    } cases[] = {
        {true, 5, "Fixed row count must be less than row count"},
        {true, 9, "Fixed row count must be less than row count"},
        {false, 5, "Fixed column count must be less than column count"},
        {false, 6, "Fixed column count must be less than column count"},
    };
    for (const Case& c : cases) {
        try {
            if (c.rows) g.SetFixedRows(c.value);
            else g.SetFixedCols(c.value);
            ADD_FAILURE() << "no error for " << c.value;
        } catch (const EInvalidGridOperation& e) {
            EXPECT_EQ(U8(e.Message()), c.message);
        }
        EXPECT_EQ(g.FixedRows(), 1);
        EXPECT_EQ(g.FixedCols(), 1);
    }
    g.SetFixedRows(4);
    EXPECT_EQ(g.FixedRows(), 4);
    EXPECT_EQ(g.Row(), 4);  // the current cell starts after the fixed ones
    // A count at or below the fixed count lowers the fixed count.
    g.SetRowCount(3);
    EXPECT_EQ(g.FixedRows(), 2);
    EXPECT_EQ(g.Row(), 2);
    // The default sizes go to every column and row, and to new ones.
    g.SetColWidths(2, 10);
    g.SetDefaultColWidth(30);
    EXPECT_EQ(g.ColWidths(2), 30);
    g.SetColCount(8);
    EXPECT_EQ(g.ColWidths(7), 30);
    g.SetDefaultRowHeight(18);
    EXPECT_EQ(g.RowHeights(0), 18);
    EXPECT_THROW(g.SetColWidths(8, 5), EInvalidGridOperation);
}

TEST(Grids, CellRectAndMouseToCell) {
    TestGrid g(nullptr);
    g.SetColCount(10);
    g.SetRowCount(20);
    g.SetColWidths(2, 30);
    // Both scroll bars show: the client area is 303 x 103.
    EXPECT_EQ(g.ClientRect(), Rect(0, 0, 320 - TCustomGrid::ScrollBarSize, 120 - TCustomGrid::ScrollBarSize));
    // Rectangles exclude the line after the cell; the last partly visible
    // cell is clipped to the client area.
    EXPECT_EQ(g.CellRect(0, 0), Rect(0, 0, 64, 24));
    EXPECT_EQ(g.CellRect(1, 1), Rect(65, 25, 129, 49));
    EXPECT_EQ(g.CellRect(2, 1), Rect(130, 25, 160, 49));
    EXPECT_EQ(g.CellRect(4, 4), Rect(226, 100, 290, 103));
    EXPECT_EQ(g.CellRect(5, 1), Rect(291, 25, 303, 49));
    EXPECT_TRUE(IsRectEmpty(g.CellRect(6, 1)));    // beyond the client area
    EXPECT_TRUE(IsRectEmpty(g.CellRect(10, 1)));   // beyond the grid
    EXPECT_TRUE(IsRectEmpty(g.CellRect(-1, 1)));
    g.SetTopRow(5);
    EXPECT_TRUE(IsRectEmpty(g.CellRect(1, 4)));    // scrolled away
    EXPECT_EQ(g.CellRect(0, 5), Rect(0, 25, 64, 49));
    EXPECT_EQ(g.CellRect(1, 0), Rect(65, 0, 129, 24));  // fixed rows stay

    struct Case {
        int x, y, col, row;
    } cases[] = {
        {0, 0, 0, 0},     {63, 23, 0, 0},  {64, 24, 0, 0},  // the line belongs to the cell before it
        {65, 25, 1, 5},   {129, 49, 1, 5}, {130, 50, 2, 6},
        {302, 102, 5, 8}, {-1, 10, -1, -1}, {10, 103, -1, -1}, {303, 10, -1, -1},
    };
    for (const Case& c : cases) {
        int col = 99, row = 99;
        g.MouseToCell(c.x, c.y, col, row);
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    }
    // Past the last column and row there is no cell.
    TestGrid small(nullptr);
    small.SetColCount(2);
    small.SetRowCount(2);
    EXPECT_EQ(small.MouseCoord(200, 10), (TGridCoord{-1, -1}));
    EXPECT_EQ(small.MouseCoord(10, 60), (TGridCoord{-1, -1}));
}

TEST(Grids, VisibleCountsAndTheLastFullPage) {
    TestGrid g(nullptr);
    g.SetScrollBars(ssNone);  // the client area is the whole control
    g.SetColCount(10);
    g.SetRowCount(20);
    EXPECT_EQ(g.VisibleColCount(), 3);
    EXPECT_EQ(g.VisibleRowCount(), 3);
    g.SetBounds(0, 0, 1 + kColPitch * 4, kRowPitch * 21);
    EXPECT_EQ(g.VisibleColCount(), 3);
    EXPECT_EQ(g.VisibleRowCount(), 19);  // all rows fit
    EXPECT_GE(g.VisibleRowCount() + g.FixedRows(), g.RowCount());
    g.SetTopRow(5);
    EXPECT_EQ(g.TopRow(), 1);
    // Shrinking the window brings the top row back so that the last page stays full.
    g.SetBounds(0, 0, 320, 120);
    g.SetTopRow(17);
    g.SetBounds(0, 0, 320, kRowPitch * 11);
    EXPECT_EQ(g.TopRow(), 10);
    EXPECT_EQ(g.TopRow() + g.VisibleRowCount(), 20);
}

// The keyboard navigation of the grid, each key with its goRowSelect and
// goTabs variants. Grid of 10 columns and 20 rows, three scrolled rows and
// columns wholly visible; a page is the visible count less one.
TEST(Grids, KeyboardNavigationTable) {
    struct Case {
        const char* name;
        Word key;
        TShiftState shift;
        TGridOptions add;
        int col, row, topRow;  // start; topRow 0: as scrolled by the move
        int expCol, expRow;
    } cases[] = {
        {"Down", VK_DOWN, {}, {}, 3, 5, 0, 3, 6},
        {"Up", VK_UP, {}, {}, 3, 5, 0, 3, 4},
        {"Left", VK_LEFT, {}, {}, 3, 5, 0, 2, 5},
        {"Right", VK_RIGHT, {}, {}, 3, 5, 0, 4, 5},
        {"Up at the first row", VK_UP, {}, {}, 3, 1, 0, 3, 1},
        {"Right at the last column", VK_RIGHT, {}, {}, 9, 5, 0, 9, 5},
        {"Left with row select", VK_LEFT, {}, {goRowSelect}, 1, 5, 0, 1, 4},
        {"Right with row select", VK_RIGHT, {}, {goRowSelect}, 1, 5, 0, 1, 6},
        {"Down with row select", VK_DOWN, {}, {goRowSelect}, 1, 5, 0, 1, 6},
        {"Up with row select", VK_UP, {}, {goRowSelect}, 1, 5, 0, 1, 4},
        {"PgDn with row select", VK_NEXT, {}, {goRowSelect}, 1, 5, 0, 1, 7},
        {"PgDn", VK_NEXT, {}, {}, 3, 5, 0, 3, 7},
        {"PgUp", VK_PRIOR, {}, {}, 3, 5, 0, 3, 3},
        {"PgDn near the end", VK_NEXT, {}, {}, 3, 19, 0, 3, 19},
        {"Home", VK_HOME, {}, {}, 5, 5, 0, 1, 5},
        {"End", VK_END, {}, {}, 3, 5, 0, 9, 5},
        {"Home with row select", VK_HOME, {}, {goRowSelect}, 1, 5, 0, 1, 1},
        {"End with row select", VK_END, {}, {goRowSelect}, 1, 5, 0, 1, 19},
        {"Ctrl+Home", VK_HOME, {ssCtrl}, {}, 5, 7, 0, 1, 1},
        {"Ctrl+End", VK_END, {ssCtrl}, {}, 3, 5, 0, 9, 19},
        {"Ctrl+PgUp", VK_PRIOR, {ssCtrl}, {}, 3, 5, 4, 3, 4},
        {"Ctrl+PgDn", VK_NEXT, {ssCtrl}, {}, 3, 5, 4, 3, 6},
        {"Ctrl+Left", VK_LEFT, {ssCtrl}, {}, 5, 5, 0, 3, 5},
        {"Ctrl+Right", VK_RIGHT, {ssCtrl}, {}, 5, 5, 0, 7, 5},
        {"Ctrl+Left with row select", VK_LEFT, {ssCtrl}, {goRowSelect}, 1, 5, 0, 1, 5},
        {"Ctrl+Right with row select", VK_RIGHT, {ssCtrl}, {goRowSelect}, 1, 5, 0, 1, 5},
        {"Ctrl+End with row select", VK_END, {ssCtrl}, {goRowSelect}, 1, 5, 0, 1, 19},
        {"Tab with row select and goTabs", VK_TAB, {}, {goTabs, goRowSelect}, 1, 5, 0, 1, 5},
        {"Tab without goTabs", VK_TAB, {}, {}, 3, 5, 0, 3, 5},
        {"Tab", VK_TAB, {}, {goTabs}, 3, 5, 0, 4, 5},
        {"Tab at the row end", VK_TAB, {}, {goTabs}, 9, 5, 0, 1, 6},
        {"Tab at the last cell", VK_TAB, {}, {goTabs}, 9, 19, 0, 1, 1},
        {"Shift+Tab", VK_TAB, {ssShift}, {goTabs}, 4, 5, 0, 3, 5},
        {"Shift+Tab at the row start", VK_TAB, {ssShift}, {goTabs}, 1, 5, 0, 9, 4},
        {"Shift+Tab at the first cell", VK_TAB, {ssShift}, {goTabs}, 1, 1, 0, 9, 19},
        {"Tab skips a column that is no tab stop", VK_TAB, {}, {goTabs}, 1, 5, 0, 3, 5},
    };
    for (const Case& c : cases) {
        TestGrid g(nullptr);
        g.SetColCount(10);
        g.SetRowCount(20);
        g.SetTabStops(2, false);
        g.SetOptions(g.Options() + c.add);
        g.SetRow(c.row);
        g.SetCol(c.col);
        if (c.topRow) g.SetTopRow(c.topRow);
        int clicks = 0;
        g.OnClick = [&](TObject*) { ++clicks; };
        g.Key(c.key, c.shift);
        EXPECT_EQ(g.Col(), c.expCol) << c.name;
        // A key that moves the current cell clicks the grid.
        EXPECT_EQ(clicks, c.expCol != c.col || c.expRow != c.row ? 1 : 0) << c.name;
        EXPECT_EQ(g.Row(), c.expRow) << c.name;
        // The current cell is always in view after a key.
        EXPECT_GE(g.Row(), g.TopRow()) << c.name;
        EXPECT_LT(g.Row(), g.TopRow() + g.VisibleRowCount()) << c.name;
    }
}

TEST(Grids, KeysScrollAndExtendTheSelection) {
    TestGrid g(nullptr);
    g.SetColCount(10);
    g.SetRowCount(20);
    g.SetRow(5);
    g.SetTopRow(4);
    g.Key(VK_DOWN, {ssCtrl});  // Ctrl+Down scrolls only
    EXPECT_EQ(g.TopRow(), 5);
    EXPECT_EQ(g.Row(), 5);
    g.Key(VK_NEXT);  // a page moves the view with the cell
    EXPECT_EQ(g.Row(), 7);
    EXPECT_EQ(g.TopRow(), 7);
    // Shift with goRangeSelect keeps the anchor.
    g.Key(VK_DOWN, {ssShift});
    g.Key(VK_RIGHT, {ssShift});
    EXPECT_EQ(g.Selection(), (TGridRect{1, 7, 2, 8}));
    EXPECT_EQ(g.Anchor(), (TGridCoord{1, 7}));
    g.Key(VK_DOWN);  // without Shift the selection is one cell again
    EXPECT_EQ(g.Selection(), (TGridRect{2, 9, 2, 9}));
    // Without goRangeSelect Shift extends nothing.
    g.SetOptions(g.Options() - TGridOptions{goRangeSelect});
    g.Key(VK_DOWN, {ssShift});
    EXPECT_EQ(g.Selection(), (TGridRect{2, 10, 2, 10}));
    // F2 asks for the editor (which shows only with a window).
    g.Key(VK_F2);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_FALSE(g.CanEdit());
}

TEST(Grids, SelectCellRefusalKeepsTheCell) {
    TestGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(8);
    g.SetRow(3);
    g.refuse = true;
    EXPECT_EQ(g.KeyResult(VK_DOWN), 0);  // the refused key goes no further
    g.SetRow(6);
    g.SetCol(4);
    g.MoveColRow(2, 2, true, true);
    g.Down(kColPitch * 3 + 5, kRowPitch * 2 + 5);
    g.Up(kColPitch * 3 + 5, kRowPitch * 2 + 5);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 3);
    std::vector<TGridCoord> expected{{1, 4}, {1, 6}, {4, 3}, {2, 2}, {3, 2}};
    EXPECT_EQ(g.refused, expected);
    g.refuse = false;
    g.SetRow(6);
    EXPECT_EQ(g.Row(), 6);
    EXPECT_THROW(g.SetRow(8), EInvalidGridOperation);
}

TEST(Grids, SelectionIsOrderedFromAnchorAndCurrentCell) {
    TestGrid g(nullptr);
    g.SetColCount(8);
    g.SetRowCount(8);
    // Setting: anchor at (Left, Top), current cell at (Right, Bottom), as given.
    g.SetSelection({5, 6, 2, 3});
    EXPECT_EQ(g.Anchor(), (TGridCoord{5, 6}));
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Selection(), (TGridRect{2, 3, 5, 6}));
    // Setting it does not ask SelectCell.
    EXPECT_TRUE(g.log.empty());
    // A selection outside every cell hides it.
    g.SetSelection({-1, -1, -1, -1});
    EXPECT_EQ(g.Selection(), (TGridRect{-1, -1, -1, -1}));
    EXPECT_TRUE(IsRectEmpty(g.CellRect(g.Col(), g.Row())));
    g.SetRowCount(9);  // and stays hidden when the counts change
    EXPECT_EQ(g.Row(), -1);
    // Setting a row while the selection is hidden starts at the first scrolled column.
    g.SetRow(3);
    EXPECT_EQ(g.Col(), 1);
    // With row select a cell selects its whole row.
    g.SetOptions(g.Options() + TGridOptions{goRowSelect});
    g.SetRow(4);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 4, 7, 4}));
    g.Key(VK_DOWN, {ssShift});
    EXPECT_EQ(g.Selection(), (TGridRect{1, 4, 7, 5}));
}

TEST(Grids, StructureMovesTextsObjectsAndSizesTogether) {
    TestGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(6);
    TObject o1, o2;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c) g.SetCells(c, r, Utf8ToString(Num(c) + ":" + Num(r)));
    g.SetCells(7, 2, u"hidden");  // a column kept beyond the count
    g.SetObjects(1, 2, &o1);
    g.SetObjects(3, 4, &o2);
    g.SetRowHeights(2, 40);
    g.SetColWidths(1, 20);
    g.SetRow(4);

    g.MoveRow(2, 4);
    EXPECT_EQ(g.Cells(0, 4), u"0:2");
    EXPECT_EQ(g.Cells(0, 2), u"0:3");
    EXPECT_EQ(g.Objects(1, 4), &o1);
    EXPECT_EQ(g.Cells(7, 4), u"hidden");
    EXPECT_EQ(g.RowHeights(4), 40);
    EXPECT_EQ(g.Row(), 3);  // the current row moved up with its row
    EXPECT_TRUE(Contains(g.log, "rowmoved 2,4"));

    g.MoveColumn(1, 3);
    EXPECT_EQ(g.Cells(3, 0), u"1:0");
    EXPECT_EQ(g.Objects(3, 4), &o1);
    EXPECT_EQ(g.Objects(2, 3), &o2);
    EXPECT_EQ(g.ColWidths(3), 20);
    EXPECT_TRUE(Contains(g.log, "columnmoved 1,3 text 1:0"));

    g.DeleteRow(1);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cells(0, 1), u"0:3");
    EXPECT_EQ(g.RowHeights(3), 40);
    EXPECT_EQ(g.Cells(7, 3), u"hidden");
    g.SetRowCount(6);  // a deleted row does not come back
    EXPECT_TRUE(g.Cells(0, 5).empty());
    EXPECT_EQ(g.RowHeights(5), g.DefaultRowHeight());

    g.InsertRow(1);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_TRUE(g.Cells(0, 1).empty());
    EXPECT_EQ(g.Cells(0, 2), u"0:3");
    EXPECT_EQ(g.RowHeights(4), 40);
    EXPECT_EQ(g.Cells(7, 4), u"hidden");

    g.DeleteColumn(0);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.Cells(6, 4), u"hidden");
    EXPECT_EQ(g.ColWidths(2), 20);
    g.InsertColumn(0);
    EXPECT_EQ(g.Cells(7, 4), u"hidden");
    EXPECT_EQ(g.ColWidths(3), 20);
    EXPECT_EQ(g.ColWidths(0), g.DefaultColWidth());
}

TEST(Grids, CellStoreIsProportionalToTheCellsInUse) {
    TGridCells cells;
    cells.SetText(3, 100000, u"far");
    EXPECT_EQ(cells.SlotsInUse(), 4);  // one row of four text slots
    cells.SetText(3, 100000, u"");
    EXPECT_EQ(cells.RowExtent(), 0);
    EXPECT_EQ(cells.SlotsInUse(), 0);
    cells.SetText(0, 5, u"a");
    cells.SetText(0, 9, u"b");
    cells.MoveRow(5, 20);
    EXPECT_EQ(cells.Text(0, 20), u"a");
    EXPECT_EQ(cells.Text(0, 8), u"b");
    cells.MoveColumn(0, 30);
    EXPECT_EQ(cells.Text(30, 20), u"a");
    cells.DeleteColumn(30);
    cells.DeleteRow(8);
    EXPECT_EQ(cells.RowExtent(), 0);
}

TEST(Grids, ATakenRowKeepsItsCellsAndLeavesAnEmptyRowBehind) {
    TGridCells cells;
    TObject marker;
    cells.SetText(0, 2, u"a");
    cells.SetText(2, 2, u"a text past a short string's room");  // packed, with an empty cell between
    cells.SetText(1, 3, u"y");
    cells.SetText(0, 3, u"x");  // written out of order
    cells.SetObject(2, 3, &marker);
    cells.SetText(0, 4, u"below");
    TGridCells::TTakenRow packed = cells.TakeRow(2);
    TGridCells::TTakenRow single = cells.TakeRow(3);
    EXPECT_EQ(packed.TextView(0), u"a");
    EXPECT_EQ(packed.TextView(1), u"");
    EXPECT_EQ(packed.TextView(2), u"a text past a short string's room");
    EXPECT_EQ(packed.TextView(3), u"");
    EXPECT_EQ(packed.Object(2), nullptr);
    EXPECT_EQ(single.TextView(0), u"x");
    EXPECT_EQ(single.TextView(1), u"y");
    EXPECT_EQ(single.Object(2), &marker);
    EXPECT_EQ(single.Object(-1), nullptr);
    EXPECT_EQ(cells.TextExtent(2), 0);
    EXPECT_EQ(cells.Object(2, 3), nullptr);
    EXPECT_EQ(cells.Text(0, 4), u"below");  // the rows below stay where they are

    // Taking the last row gives the empty tail back; an empty row takes out nothing.
    TGridCells::TTakenRow last = cells.TakeRow(4);
    EXPECT_EQ(cells.RowExtent(), 0);
    TGridCells::TTakenRow none = cells.TakeRow(7);
    EXPECT_EQ(none.TextView(0), u"");
    none = std::move(last);
    EXPECT_EQ(none.TextView(0), u"below");
    EXPECT_EQ(last.TextView(0), u"");
}

// Rows filled from left to right are held in another form than rows written
// out of order; every operation, with reads between them, must see the same
// cells as a plain model of the grid.
TEST(Grids, CellStoreMatchesAPlainModelUnderMixedOperations) {
    constexpr int kSide = 10;
    std::vector<std::vector<String>> model;  // grows as cells are written or moved
    auto at = [&](int c, int r) -> String& {
        if (r >= static_cast<int>(model.size())) model.resize(r + 1);
        if (c >= static_cast<int>(model[r].size())) model[r].resize(c + 1);
        return model[r][c];
    };
    TGridCells cells;
    unsigned seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    auto moveItem = [](auto& v, int from, int to) {
        auto item = v[from];
        v.erase(v.begin() + from);
        v.insert(v.begin() + to, item);
    };
    // Texts of every length a row's buffer copies in its own way (one
    // character, pieces up to 16, longer), with characters outside ASCII and
    // surrogate pairs.
    auto text = [&](const String& head) {
        static const Char kPool[] = u"xy\u00e9\u4e2d\xd83d\xde00";
        String v = head;
        for (int n = next(24); n > 0; --n) v += kPool[next(6)];
        return next(6) == 0 ? v.substr(0, size_t(1 + next(2))) : v;
    };
    auto check = [&](int step) {
        int extent = 0;
        const int rows = std::max<int>(static_cast<int>(model.size()), 2 * kSide);
        for (int r = 0; r < rows; ++r) {
            const int cols = std::max<int>(r < static_cast<int>(model.size()) ? static_cast<int>(model[r].size()) : 0, 2 * kSide);
            for (int c = 0; c < cols; ++c) {
                const String expected = at(c, r);
                // The view first: it leaves a packed row packed.
                ASSERT_EQ(String(cells.TextView(c, r)), expected) << "step " << step << " cell " << c << "," << r;
                if (next(2)) ASSERT_EQ(cells.Text(c, r), expected) << "step " << step << " cell " << c << "," << r;
                if (!expected.empty()) extent = r + 1;
            }
        }
        ASSERT_EQ(cells.RowExtent(), extent) << "step " << step;
    };
    for (int step = 0; step < 4000; ++step) {
        const int a = next(kSide), b = next(kSide);
        switch (next(12)) {
        case 0: case 1: case 2: case 3: {  // mostly writes, some of them clearing
            const String v = next(5) == 0 ? String() : text(u"t" + IntToStr(step));
            cells.SetText(a, b, v);
            at(a, b) = v;
            break;
        }
        case 4:  // a whole row from left to right, as a fill writes it
            for (int c = 0; c < kSide; ++c) {
                const String v = c == a ? String() : text(u"r" + IntToStr(step) + u"." + IntToStr(c));
                cells.SetText(c, b, v);
                at(c, b) = v;
            }
            break;
        case 5:
            cells.InsertColumn(a);
            for (auto& row : model)
                if (a < static_cast<int>(row.size())) row.insert(row.begin() + a, String());
            break;
        case 6:
            cells.DeleteColumn(a);
            for (auto& row : model)
                if (a < static_cast<int>(row.size())) row.erase(row.begin() + a);
            break;
        case 7:
            cells.MoveColumn(a, b);
            for (auto& row : model) {
                if (static_cast<int>(row.size()) <= std::max(a, b)) row.resize(std::max(a, b) + 1);
                moveItem(row, a, b);
            }
            break;
        case 8:
            cells.InsertRow(a);
            if (a < static_cast<int>(model.size())) model.insert(model.begin() + a, std::vector<String>());
            break;
        case 9:
            cells.DeleteRow(a);
            if (a < static_cast<int>(model.size())) model.erase(model.begin() + a);
            break;
        case 10:
            at(0, std::max(a, b));
            if (next(2)) {
                cells.MoveRow(a, b);
                moveItem(model, a, b);
            } else {
                cells.SwapRows(a, b);
                std::swap(model[a], model[b]);
            }
            break;
        default:
            if (next(8) == 0) {
                cells.ClearColumnsFrom(a + 3);
                for (auto& row : model)
                    if (static_cast<int>(row.size()) > a + 3) row.resize(a + 3);
            } else if (next(8) == 0) {
                cells.ClearRowsFrom(a + 3);
                if (static_cast<int>(model.size()) > a + 3) model.resize(a + 3);
            }
            break;
        }
        // Reads at some steps only, so that rows are written on in both forms.
        if (next(4) == 0) check(step);
        if (HasFatalFailure()) return;
    }
    check(-1);
}

TEST(Grids, SwapRowsExchangesWholeRowsAndKeepsTheStoreTight) {
    TGridCells cells;
    TObject tag;
    cells.SetText(0, 1, u"one");
    cells.SetText(2, 1, u"one-c");
    cells.SetObject(1, 3, &tag);
    cells.SetText(0, 3, u"three");
    cells.SwapRows(1, 3);
    EXPECT_EQ(cells.Text(0, 1), u"three");
    EXPECT_EQ(cells.Object(1, 1), &tag);
    EXPECT_EQ(cells.Text(2, 3), u"one-c");
    EXPECT_EQ(cells.Object(1, 3), nullptr);
    // With an empty row beyond the store: the store grows, and shrinks back.
    cells.SwapRows(3, 10);
    EXPECT_EQ(cells.Text(0, 10), u"one");
    EXPECT_EQ(cells.RowExtent(), 11);
    cells.SwapRows(10, 3);
    EXPECT_EQ(cells.RowExtent(), 4);
    cells.SwapRows(50, 60);  // two empty rows: nothing changes
    cells.SwapRows(-1, 2);
    cells.SwapRows(2, 2);
    EXPECT_EQ(cells.RowExtent(), 4);
    EXPECT_EQ(cells.Text(0, 3), u"one");
}

TEST(Grids, ScrollBarThumbSpreadsOverTheScrollableRows) {
    TestGrid g(nullptr);
    g.SetColCount(10);
    g.SetRowCount(101);  // rows 1..100, last full top row 98
    auto scroll = [&](Cardinal msg, Word code, int pos = 0) { g.Perform(msg, MakeWParam(code, pos), 0); };
    scroll(WM_VSCROLL, SB_THUMBPOSITION, 127);
    EXPECT_EQ(g.TopRow(), 98);
    EXPECT_EQ(g.ScrollPos(SB_VERT), 127);
    scroll(WM_VSCROLL, SB_THUMBPOSITION, 64);
    EXPECT_EQ(g.TopRow(), 1 + MulDiv(64, 97, 127));
    scroll(WM_VSCROLL, SB_THUMBTRACK, 10);  // tracking moves only with goThumbTracking
    EXPECT_EQ(g.TopRow(), 1 + MulDiv(64, 97, 127));
    scroll(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.ScrollPos(SB_VERT), 0);
    scroll(WM_VSCROLL, SB_LINEDOWN);
    scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(g.TopRow(), 4);
    scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(g.TopRow(), 98);
    // Asked to, the view scrolls on past its last page (up to the last row), the thumb staying at the end.
    g.SetTopRow(100);
    EXPECT_EQ(g.TopRow(), 98);
    g.SetTopRow(99, true);
    EXPECT_EQ(g.TopRow(), 99);
    EXPECT_EQ(g.ScrollPos(SB_VERT), 127);
    g.SetTopRow(200, true);
    EXPECT_EQ(g.TopRow(), 100);
    scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(g.TopRow(), 98);
    scroll(WM_HSCROLL, SB_THUMBPOSITION, 127);
    EXPECT_EQ(g.LeftCol(), 7);
    EXPECT_EQ(g.ScrollPos(SB_HORZ), 127);
    EXPECT_TRUE(Contains(g.log, "topleft 7,98"));
    // The wheel steps the current row.
    g.SetRow(50);
    g.Perform(WM_MOUSEWHEEL, MakeWParam(0, -120), 0);
    EXPECT_EQ(g.Row(), 51);
}

// ---------------------------------------------------------------------------
// With a window (offscreen)

namespace {

struct GridForm {
    explicit GridForm(TGridOptions add = {}) {
        form.SetBounds(50, 50, 400, 200);
        grid = new TestGrid(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 320, 120);
        grid->SetColCount(6);
        grid->SetRowCount(10);
        grid->SetOptions(grid->Options() + add);
        for (int r = 1; r < 10; ++r)
            for (int c = 1; c < 6; ++c) grid->SetCells(c, r, Utf8ToString("r" + Num(r) + "c" + Num(c)));
        form.Show();
        grid->SetFocus();
        grid->log.clear();
    }
    TForm form{nullptr};
    TestGrid* grid;
};

}  // namespace

TEST(Grids, EditorShowsOverTheCellAndWritesEveryChange) {
    GridForm f({goEditing});
    TestGrid& g = *f.grid;
    ASSERT_TRUE(g.Focused());
    g.SetRow(2);
    g.ShowEditor();
    TInplaceEdit* ed = g.InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), u"r2c1");
    EXPECT_EQ(ed->BoundsRect(), g.CellRect(1, 2));
    EXPECT_EQ(ed->SelLength(), 4);  // the text is selected
    EXPECT_TRUE(ed->Focused());
    g.log.clear();
    // Typing: every change goes into the cell at once, and OnKeyPress sees every character.
    std::string pressed;
    g.OnKeyPress = [&](TObject*, Char& k) { pressed += char(k); };
    SimulateText(u"ab");
    EXPECT_EQ(g.Cells(1, 2), u"ab");
    EXPECT_EQ(pressed, "ab");
    std::vector<std::string> expected{"settext 1,2=a", "settext 1,2=ab"};
    EXPECT_EQ(g.log, expected);
    SimulateKey(VK_BACK);
    EXPECT_EQ(g.Cells(1, 2), u"a");
    // Down goes to the grid: the editor writes back, hides and the cell moves.
    g.log.clear();
    SimulateKey(VK_DOWN);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(ed->Visible());
    EXPECT_TRUE(g.Focused());
    EXPECT_TRUE(Contains(g.log, "settext 1,2=a"));
}

TEST(Grids, EnterTogglesTheEditorAndACharacterOpensIt) {
    GridForm f({goEditing});
    TestGrid& g = *f.grid;
    g.SetRow(3);
    SimulateKey(VK_RETURN);
    ASSERT_TRUE(g.EditorMode());
    ASSERT_NE(g.InplaceEditor(), nullptr);
    EXPECT_TRUE(g.InplaceEditor()->Visible());
    SimulateKey(VK_RETURN);  // from the editor: closes it again
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(g.InplaceEditor()->Visible());
    EXPECT_EQ(g.Cells(1, 3), u"r3c1");
    // A printable character opens the editor and is its first input (the
    // selected old text goes).
    g.log.clear();
    SimulateText(u"x");
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplaceEditor()->Text(), u"x");
    EXPECT_EQ(g.Cells(1, 3), u"x");
    // HideEditor writes the editor's text back into its cell.
    g.InplaceEditor()->SetSelText(u"yz");
    g.log.clear();
    g.HideEditor();
    EXPECT_EQ(g.log, std::vector<std::string>{"settext 1,3=xyz"});
    // Writing the current cell from code refills an open editor.
    g.ShowEditor();
    g.SetCells(1, 3, u"new");
    EXPECT_EQ(g.InplaceEditor()->Text(), u"new");
    // Taking goEditing away hides the editor at once.
    g.SetOptions(g.Options() - TGridOptions{goEditing});
    EXPECT_FALSE(g.InplaceEditor()->Visible());
    EXPECT_FALSE(g.EditorMode());
    // Without goEditing a character only reaches KeyPress.
    std::string pressed;
    g.OnKeyPress = [&](TObject*, Char& k) { pressed += char(k); };
    SimulateText(u"q");
    EXPECT_EQ(pressed, "q");
    EXPECT_FALSE(g.EditorMode());
}

TEST(Grids, EditorFollowsTheProtocolOnCellMoves) {
    GridForm f({goEditing, goAlwaysShowEditor});
    TestGrid& g = *f.grid;
    // goAlwaysShowEditor: the editor stays open and is refilled for each cell.
    g.ShowEditor();
    TInplaceEdit* ed = g.InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->Text(), u"r1c1");
    ed->SetSelText(u"edited");
    g.log.clear();
    g.SetCol(2);
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), u"r1c2");
    EXPECT_EQ(ed->BoundsRect(), g.CellRect(2, 1));
    EXPECT_EQ(g.Cells(1, 1), u"edited");
    EXPECT_EQ(g.log.front(), "select 2,1");
    EXPECT_TRUE(Contains(g.log, "settext 1,1=edited"));
    // InvalidateEditor refills from the cell.
    g.Data().SetText(2, 1, u"behind");
    g.InvalidateEditor();
    EXPECT_EQ(ed->Text(), u"behind");
    // Keys at the ends of the text go to the grid.
    ed->SetSelStart(int(ed->Text().size()));
    SimulateKey(VK_RIGHT);
    EXPECT_EQ(g.Col(), 3);
    ed->SetSelStart(3);
    SimulateKey(VK_RIGHT);  // inside the text the caret moves
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(ed->SelStart(), 4);
}

TEST(Grids, MaskedEditorTakesOnlyWhatTheMaskAllows) {
    GridForm f({goEditing});
    TestGrid& g = *f.grid;
    g.OnGetEditMask = [](TObject*, int c, int, String& mask) {
        if (c == 1) mask = u"000";
    };
    g.SetRow(2);
    g.log.clear();
    // A letter opens the editor but is refused: the cell keeps its text.
    SimulateText(u"a");
    ASSERT_TRUE(g.EditorMode());
    TInplaceEdit* ed = g.InplaceEditor();
    EXPECT_EQ(ed->EditMask(), u"000");
    EXPECT_EQ(g.Cells(1, 2), u"r2c1");
    EXPECT_TRUE(g.log.empty());
    // Digits go into the cell one by one; another letter and a digit beyond
    // the mask are refused; blanks are stored as spaces.
    SimulateText(u"7x429");
    std::vector<std::string> expected{"settext 1,2=7  ", "settext 1,2=74 ", "settext 1,2=742"};
    EXPECT_EQ(g.log, expected);
    EXPECT_EQ(g.Cells(1, 2), u"742");
    // Backspace and Delete blank their position; the others stay in place.
    SimulateKey(VK_BACK);
    EXPECT_EQ(ed->EditText(), u"74_");
    ed->SetSelStart(0);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(ed->EditText(), u"_4_");
    EXPECT_EQ(g.Cells(1, 2), u" 4 ");
    // The incomplete entry is refused when checked.
    EXPECT_THROW(ed->ValidateEdit(), EDBEditError);
    EXPECT_EQ(ed->SelStart(), 0);
    // A column without a mask edits freely again.
    g.SetCol(2);
    g.ShowEditor();
    SimulateText(u"ab");
    EXPECT_EQ(g.Cells(2, 2), u"ab");
}

TEST(Grids, EditorCopiesCutsAndPastesThroughTheClipboard) {
    GridForm f({goEditing});
    TestGrid& g = *f.grid;
    g.SetRow(2);
    g.ShowEditor();
    TInplaceEdit* ed = g.InplaceEditor();
    SimulateKey('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), u"r2c1");
    // Into another cell: the pasted text replaces the selection and goes
    // into that cell through SetEditText.
    SimulateKey(VK_DOWN);
    g.ShowEditor();
    g.log.clear();
    SimulateKey('V', {ssCtrl});
    EXPECT_EQ(g.Cells(1, 3), u"r2c1");
    EXPECT_EQ(g.log, std::vector<std::string>{"settext 1,3=r2c1"});
    // The other keys: Shift+Delete cuts, Shift+Insert pastes, Ctrl+Insert
    // copies, Ctrl+X cuts.
    ed->SetSelStart(0);
    ed->SetSelLength(2);
    SimulateKey(VK_DELETE, {ssShift});
    EXPECT_EQ(g.Cells(1, 3), u"c1");
    EXPECT_EQ(Clipboard().AsText(), u"r2");
    ed->SetSelStart(2);
    SimulateKey(VK_INSERT, {ssShift});
    EXPECT_EQ(g.Cells(1, 3), u"c1r2");
    ed->SelectAll();
    SimulateKey(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), u"c1r2");
    ed->SetSelStart(0);
    ed->SetSelLength(1);
    SimulateKey('X', {ssCtrl});
    EXPECT_EQ(g.Cells(1, 3), u"1r2");
    EXPECT_EQ(Clipboard().AsText(), u"c");
    // A password edit gives nothing away.
    ed->SetPasswordChar(u'*');
    ed->SelectAll();
    SimulateKey('C', {ssCtrl});
    SimulateKey('X', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), u"c");
    EXPECT_EQ(g.Cells(1, 3), u"1r2");
}

TEST(Grids, PasteKeepsToTheLimitAndTheMask) {
    GridForm f({goEditing});
    TestGrid& g = *f.grid;
    g.limit = 5;
    g.OnGetEditMask = [](TObject*, int c, int, String& mask) {
        if (c == 2) mask = u"(000) 000-0000;0;_";
    };
    g.SetRow(2);
    g.ShowEditor();
    Clipboard().SetAsText(u"abcdefgh");
    SimulateKey('V', {ssCtrl});
    EXPECT_EQ(g.Cells(1, 2), u"abcde");  // cut to MaxLength
    SimulateKey('V', {ssCtrl});          // no room left: nothing changes
    EXPECT_EQ(g.Cells(1, 2), u"abcde");
    // With a mask: a text that does not fit is refused as a whole; literals
    // may be pasted or left out; what is beyond the mask is cut.
    g.SetCol(2);
    g.ShowEditor();
    TInplaceEdit* ed = g.InplaceEditor();
    ed->SelectAll();
    SimulateKey('V', {ssCtrl});
    EXPECT_EQ(g.Cells(2, 2), u"r2c2");
    struct Case {
        const char* clip;
        const char* cell;
    };
    const Case cases[] = {
        {"(555) 123-4567 ext 9", "5551234567"},
        {"5551234", "5551234"},
        {"555_12", "555 12"},  // a copied blank stays blank
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        ed->SelectAll();
        Clipboard().SetAsText(Utf8ToString(c.clip));
        SimulateKey(VK_INSERT, {ssShift});
        EXPECT_EQ(StringToUtf8(g.Cells(2, 2)), c.cell);
    }
}

TEST(Grids, SizingAndMovingByMouse) {
    GridForm f({goColSizing, goColMoving, goRowMoving});
    TestGrid& g = *f.grid;
    // The border after column 1 lies at x = 129 in the header row.
    SimulateMouseDown(&g, mbLeft, 129, 10);
    EXPECT_EQ(g.GridState(), gsColSizing);
    SimulateMouseMove(&g, 150, 10);
    SimulateMouseUp(&g, mbLeft, 150, 10);
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(g.ColWidths(1), 64 + 21);
    EXPECT_TRUE(Contains(g.log, "colwidths"));
    g.SetColWidths(1, 64);
    // Dragging the header of column 1 onto column 3 moves it there.
    g.SetCells(1, 0, u"H1");
    g.log.clear();
    SimulateMouseDown(&g, mbLeft, 80, 10);
    EXPECT_EQ(g.GridState(), gsColMoving);
    SimulateMouseMove(&g, 3 * kColPitch - 5 + 10, 10);
    {
        // While dragging, the drop place shows as an inverted line at the target's far edge.
        TBitmap bmp;
        RenderControlToBitmap(&g, bmp);
        const TRect target = g.CellRect(3, 0);
        EXPECT_NE(bmp.Canvas().Pixels(target.Right, 60), clSilver);
        EXPECT_EQ(bmp.Canvas().Pixels(target.Right + 2, 60), ColorToRGB(clWindow));
    }
    SimulateMouseUp(&g, mbLeft, 3 * kColPitch + 10, 10);
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_TRUE(Contains(g.log, "columnmoved 1,3 text H1"));
    EXPECT_EQ(g.Cells(3, 5), u"r5c1");
    // Rows by their fixed column.
    g.log.clear();
    SimulateMouseDown(&g, mbLeft, 10, kRowPitch + 5);
    SimulateMouseMove(&g, 10, 2 * kRowPitch + 5);
    SimulateMouseUp(&g, mbLeft, 10, 2 * kRowPitch + 5);
    EXPECT_TRUE(Contains(g.log, "rowmoved 1,2"));
    EXPECT_EQ(g.Cells(2, 2), u"r1c3");  // column 3 moved to 2 before
    // A press on a data cell selects a range by dragging (the anchor end moves).
    SimulateMouseDown(&g, mbLeft, kColPitch + 5, kRowPitch + 5);
    EXPECT_EQ(g.GridState(), gsSelecting);
    SimulateMouseMove(&g, 2 * kColPitch + 5, 3 * kRowPitch + 5);
    SimulateMouseUp(&g, mbLeft, 2 * kColPitch + 5, 3 * kRowPitch + 5);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 2, 3}));
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
}

TEST(Grids, DrawStatesOfTheCells) {
    struct Case {
        const char* name;
        TGridOptions add;
        bool focused;
        bool currentSelected;  // the current cell gets gdSelected
    } cases[] = {
        {"focused", {}, true, false},
        {"focused, draw focus selected", {goDrawFocusSelected}, true, true},
        {"focused, row select", {goRowSelect}, true, true},
        {"not focused", {}, false, true},
    };
    for (const Case& c : cases) {
        GridForm f(c.add);
        TestGrid& g = *f.grid;
        if (!c.focused) {
            auto* other = new TCustomControl(&f.form);
            other->SetParent(&f.form);
            other->SetBounds(330, 0, 50, 50);
            other->SetFocus();
        }
        g.SetSelection({2, 3, 1, 2});  // current cell (1, 2)
        g.drawn.clear();
        TBitmap bmp;
        RenderControlToBitmap(&g, bmp);
        ASSERT_FALSE(g.drawn.empty()) << c.name;
        bool sawCurrent = false;
        for (const auto& d : g.drawn) {
            const bool fixed = d.col < 1 || d.row < 1;
            EXPECT_EQ(d.state.Contains(gdFixed), fixed) << c.name;
            if (fixed) continue;
            EXPECT_EQ(d.rect, g.CellRect(d.col, d.row)) << c.name;
            const bool current = d.col == g.Col() && d.row == g.Row();
            if (current) sawCurrent = true;
            EXPECT_EQ(d.state.Contains(gdFocused), current && g.Focused()) << c.name;
            const TGridRect sel = g.Selection();
            const bool inSel = GridRectContains(sel, d.col, d.row);
            EXPECT_EQ(d.state.Contains(gdSelected), inSel && (!current || c.currentSelected)) << c.name;
        }
        EXPECT_TRUE(sawCurrent) << c.name;
        EXPECT_EQ(g.Focused(), c.focused) << c.name;
    }
}

TEST(Grids, RenderedGridShowsLinesFixedCellsSelectionAndFocus) {
    GridForm f;
    TestGrid& g = *f.grid;
    g.SetColCount(3);  // columns end at x = 195
    g.SetColor(clAqua);
    g.SetFixedColor(clYellow);
    g.SetSelection({2, 2, 1, 1});  // current cell (1, 1), selection to (2, 2)
    ASSERT_TRUE(g.Focused());
    TBitmap bmp;
    RenderControlToBitmap(&g, bmp);
    TCanvas& px = bmp.Canvas();
    // Fixed cells in FixedColor with black lines between them.
    EXPECT_EQ(px.Pixels(30, 12), clYellow);
    EXPECT_EQ(px.Pixels(64, 12), clBlack);
    EXPECT_EQ(px.Pixels(30, 24), clBlack);
    EXPECT_EQ(px.Pixels(100, 24), clBlack);  // below the header of a scrolled column
    // Silver lines between normal cells.
    EXPECT_EQ(px.Pixels(129, 60), clSilver);
    EXPECT_EQ(px.Pixels(100, 49), clSilver);
    // Selected cells in the highlight colour; the focused current cell keeps
    // the grid's colour and shows the focus rectangle.
    EXPECT_EQ(px.Pixels(160, 60), ColorToRGB(clHighlight));
    EXPECT_EQ(px.Pixels(100, 35), clAqua);
    int inverted = 0;
    for (int x = 65; x < 129; ++x)
        if (px.Pixels(x, 25) != clAqua) ++inverted;
    EXPECT_GT(inverted, 20);
    // Beyond the last column and below the last row: the grid's colour.
    EXPECT_EQ(px.Pixels(250, 10), clAqua);
    EXPECT_EQ(px.Pixels(250, 100), clAqua);
    // The vertical scroll bar (the rows do not fit): its thumb at the top of the track.
    EXPECT_EQ(px.Pixels(311, 25), ColorToRGB(clBtnFace));
    EXPECT_NE(px.Pixels(311, 60), ColorToRGB(clBtnFace));  // the track is lighter than the thumb
    // The text of a cell.
    bool text = false;
    for (int y = 52; y < 72 && !text; ++y)
        for (int x = 67; x < 120 && !text; ++x)
            if (px.Pixels(x, y) != ColorToRGB(clHighlight) && px.Pixels(x, y) != clAqua) text = true;
    EXPECT_TRUE(text);
}

TEST(Grids, InplaceEditTypesWithinItsLimitAndFindsTheCharacterUnderAPoint) {
    TInplaceEdit ed(nullptr);
    ed.SetBounds(0, 0, 200, 40);
    EXPECT_EQ(ed.FormatRect(), Rect(3, 3, 198, 40));
    int changes = 0;
    ed.OnChange = [&](TObject*) { ++changes; };
    ed.SetMaxLength(3);
    for (Char ch : String(u"abcd")) ed.Perform(WM_CHAR, ch, 0);
    EXPECT_EQ(ed.Text(), u"abc");  // the fourth character does not fit
    EXPECT_EQ(changes, 3);
    ed.Perform(WM_CHAR, 8, 0);
    EXPECT_EQ(ed.Text(), u"ab");
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(ed.CharFromPos({0, 5}), 0);
    EXPECT_EQ(ed.CharFromPos({190, 5}), 2);
    // Word wrap breaks the text at the format width; a point on the second
    // line finds a character of the second word.
    ed.SetMaxLength(0);
    ed.SetText(u"alpha beta gamma");
    ed.SetBounds(0, 0, 60, 80);
    ed.SetWordWrap(true);
    const int lineHeight = ed.Canvas().TextHeight(u"Wg");
    EXPECT_GE(ed.CharFromPos({4, 3 + lineHeight + 2}), 6);
    ed.SetWordWrap(false);
    EXPECT_LT(ed.CharFromPos({4, 3 + lineHeight + 2}), 6);
    // A line feed starts a new line when the edit wants returns.
    ed.SelectAll();
    ed.Perform(WM_CHAR, 10, 0);
    EXPECT_EQ(ed.Text(), u"\r\n");
    ed.SetWantReturns(false);
    ed.Perform(WM_CHAR, 10, 0);
    EXPECT_EQ(ed.Text(), u"\r\n");
}

TEST(Grids, DoubleClickAndRightPress) {
    GridForm f;
    TestGrid& g = *f.grid;
    int dbl = 0, right = 0;
    g.OnDblClick = [&](TObject*) { ++dbl; };
    g.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { right += b == mbRight; };
    SimulateDblClick(&g, 2 * kColPitch + 5, 2 * kRowPitch + 5);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(g.Col(), 2);
    SimulateMouseDown(&g, mbRight, 5, 5);
    SimulateMouseUp(&g, mbRight, 5, 5);
    EXPECT_EQ(right, 1);
}

TEST(Grids, ScrollBarsTakeTheirRoomAndScrollTheGrid) {
    TestGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    EXPECT_FALSE(g.ScrollBarShown(SB_VERT));
    EXPECT_FALSE(g.ScrollBarShown(SB_HORZ));
    EXPECT_EQ(g.ClientRect(), Rect(0, 0, 320, 120));
    g.SetRowCount(20);  // rows no longer fit: a vertical bar, and the columns still fit beside it
    EXPECT_TRUE(g.ScrollBarShown(SB_VERT));
    EXPECT_FALSE(g.ScrollBarShown(SB_HORZ));
    EXPECT_EQ(g.ClientWidth(), 303);
    g.SetScrollBars(ssHorizontal);
    EXPECT_FALSE(g.ScrollBarShown(SB_VERT));
    g.SetScrollBars(ssBoth);

    // The bar at x 303..320: arrows of 17 pixels at both ends, the thumb
    // (17 pixels) on the track between them.
    auto mouse = [&](Cardinal msg, int x, int y) { g.Perform(msg, 0, MakeLParam(x, y)); };
    g.log.clear();
    mouse(WM_LBUTTONDOWN, 310, 110);  // the down arrow
    mouse(WM_LBUTTONUP, 310, 110);
    EXPECT_EQ(g.TopRow(), 2);
    mouse(WM_LBUTTONDOWN, 310, 80);  // the track below the thumb: a page (the visible rows less one)
    mouse(WM_LBUTTONUP, 310, 80);
    EXPECT_EQ(g.TopRow(), 2 + 2);
    std::vector<std::string> expected{"vscroll 1,0", "topleft 1,2", "vscroll 8,0", "vscroll 3,0", "topleft 1,4",
                                      "vscroll 8,0"};
    EXPECT_EQ(g.log, expected);
    // Dragging the thumb to the end: tracking, then the position on release.
    g.log.clear();
    const int thumbTop = 17 + g.ScrollPos(SB_VERT) * (120 - 3 * 17) / 127;
    mouse(WM_LBUTTONDOWN, 310, thumbTop + 5);
    mouse(WM_MOUSEMOVE, 310, 200);
    mouse(WM_LBUTTONUP, 310, 200);
    EXPECT_EQ(g.TopRow(), 17);  // rows 17..19 fill the last page
    expected = {"vscroll 5,127", "vscroll 4,127", "topleft 1,17", "vscroll 8,0"};
    EXPECT_EQ(g.log, expected);
    EXPECT_EQ(g.ScrollPos(SB_VERT), 127);
    // Presses on the bar are not presses on cells.
    EXPECT_EQ(g.Row(), 1);
    EXPECT_FALSE(g.MouseCapture());
}

// A grid that asks for bars to be kept or left hidden.
class BarGrid : public TStringGrid {
public:
    explicit BarGrid(TComponent* owner) : TStringGrid(owner) { SetBorderStyle(bsNone); }
    bool keepH = false, hideH = false, hideV = false;

protected:
    bool ScrollBarKept(int Bar) const override { return Bar == SB_HORZ && keepH; }
    bool ScrollBarHidden(int Bar) const override { return Bar == SB_HORZ ? hideH : hideV; }
};

TEST(Grids, ABarTheGridHidesStaysAwayUnlessItIsKept) {
    // 5 x 20 cells of 64 x 24 on 320 x 120: the rows do not fit, nor the columns beside the vertical bar.
    BarGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(20);
    ASSERT_TRUE(g.ScrollBarShown(SB_VERT));
    ASSERT_TRUE(g.ScrollBarShown(SB_HORZ));
    const int height = g.ClientHeight(), width = g.ClientWidth();
    g.hideH = true;  // the rows still need the vertical bar; the client gets the horizontal bar's room
    EXPECT_FALSE(g.ScrollBarShown(SB_HORZ));
    EXPECT_TRUE(g.ScrollBarShown(SB_VERT));
    EXPECT_EQ(g.ClientHeight(), height + TCustomGrid::ScrollBarSize);
    EXPECT_EQ(g.ClientWidth(), width);
    g.keepH = true;  // a kept bar shows all the same
    EXPECT_TRUE(g.ScrollBarShown(SB_HORZ));
    EXPECT_EQ(g.ClientHeight(), height);
    g.keepH = g.hideH = false;
    g.hideV = true;  // without the vertical bar the columns fit no better: the horizontal one stays
    EXPECT_FALSE(g.ScrollBarShown(SB_VERT));
    EXPECT_TRUE(g.ScrollBarShown(SB_HORZ));
    EXPECT_EQ(g.ClientWidth(), width + TCustomGrid::ScrollBarSize);
    g.hideV = false;  // asked again, the bars come back
    EXPECT_TRUE(g.ScrollBarShown(SB_VERT));
    EXPECT_EQ(g.ClientRect(), Rect(0, 0, width, height));
}

TEST(Grids, ScrollBarTakesRealMouseInput) {
    GridForm f;
    TestGrid& g = *f.grid;
    ASSERT_TRUE(g.ScrollBarShown(SB_VERT));
    ASSERT_TRUE(g.ScrollBarShown(SB_HORZ));  // the vertical bar ends above the horizontal one
    SimulateMouseMove(&g, 310, 95);
    SimulateMouseDown(&g, mbLeft, 310, 95);  // the down arrow
    SimulateMouseMove(&g, 200, 50);           // leaving the bar while held: still the bar's
    SimulateMouseUp(&g, mbLeft, 200, 50);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(Grids, ASingleBorderIsAClientEdgeWithThe3DLookElseALine) {
    struct Case {
        TFormBorderStyle border;
        bool ctl3D;
        int inset;
        TColor corner;  // the window's top-left pixel
    } cases[] = {
        {bsSingle, true, 2, ColorToRGB(clBtnShadow)},
        {bsSingle, false, 1, ColorToRGB(clWindowFrame)},
        {bsNone, true, 0, clNone},
    };
    for (const Case& c : cases) {
        TStringGrid g(nullptr);
        g.SetScrollBars(ssNone);
        g.SetBorderStyle(c.border);
        g.SetCtl3D(c.ctl3D);
        EXPECT_EQ(g.ClientRect(), Rect(0, 0, 320 - 2 * c.inset, 120 - 2 * c.inset)) << c.inset;
        g.SetScrollBars(ssBoth);
        g.SetRowCount(50);  // a vertical bar, inside the border
        EXPECT_EQ(g.ClientWidth(), 320 - 2 * c.inset - TCustomGrid::ScrollBarSize) << c.inset;
        TBitmap bmp;
        RenderControlToBitmap(&g, bmp);
        if (c.inset > 0) EXPECT_EQ(bmp.Canvas().Pixels(0, 60), c.corner) << c.inset;
    }
}

TEST(Grids, RightToLeftTheGridIsTheMirrorOfItsPicture) {
    GridForm f({goColSizing});
    TestGrid& g = *f.grid;
    g.SetColCount(3);  // columns end at x = 195 of the left-to-right layout
    g.SetColor(clAqua);
    g.SetFixedColor(clYellow);
    g.SetBiDiMode(bdRightToLeft);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int W = g.ClientWidth();
    ASSERT_EQ(W, 320 - bar);
    // The cells in the window's coordinates, and the way back.
    EXPECT_EQ(g.CellRect(1, 1), (TRect{W - 129, 25, W - 65, 49}));
    EXPECT_EQ(g.CellRect(0, 0), (TRect{W - 64, 0, W, 24}));
    EXPECT_EQ(g.MouseCoord(W - 70, 30), (TGridCoord{1, 1}));
    EXPECT_EQ(g.MouseCoord(W - 1, 1), (TGridCoord{0, 0}));
    EXPECT_EQ(g.MouseCoord(10, 30), (TGridCoord{-1, -1}));  // left of the last column
    // DrawCell still gets the left-to-right rectangle.
    g.drawn.clear();
    TBitmap bmp;
    RenderControlToBitmap(&g, bmp);
    const auto cell11 = std::find_if(g.drawn.begin(), g.drawn.end(), [](const auto& d) { return d.col == 1 && d.row == 1; });
    ASSERT_NE(cell11, g.drawn.end());
    EXPECT_EQ(cell11->rect, (TRect{65, 25, 129, 49}));
    // The picture: the vertical bar at the left, the fixed column at the right.
    TCanvas& px = bmp.Canvas();
    auto at = [&](int clientX, int y) { return px.Pixels(bar + clientX, y); };
    EXPECT_NE(px.Pixels(bar / 2, 60), clAqua);
    EXPECT_EQ(at(W - 30, 12), clYellow);
    EXPECT_EQ(at(W - 65, 12), clBlack);   // the line between the fixed column and column 1
    EXPECT_EQ(at(W - 130, 60), clSilver);  // between columns 1 and 2
    EXPECT_EQ(at(50, 10), clAqua);        // beyond the last column, now at the left
    // The text of cell (2, 1) stands at the cell's right edge.
    int inkLeft = W, inkRight = -1;
    for (int y = 27; y < 47; ++y)
        for (int x = W - 194; x < W - 130; ++x)
            if (at(x, y) != clAqua && at(x, y) != ColorToRGB(clHighlight)) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    EXPECT_GE(inkRight, W - 130 - 8);
    EXPECT_GT(inkLeft, W - 194 + 8);
    // The arrow keys move to the cell on their side of the screen.
    g.SetCol(1);
    g.Key(VK_LEFT);
    EXPECT_EQ(g.Col(), 2);
    g.Key(VK_RIGHT);
    EXPECT_EQ(g.Col(), 1);
    // The border between columns 1 and 2 is dragged leftwards to widen column 1.
    SimulateMouseDown(&g, mbLeft, W - 129, 10);
    EXPECT_EQ(g.GridState(), gsColSizing);
    SimulateMouseMove(&g, W - 150, 10);
    SimulateMouseUp(&g, mbLeft, W - 150, 10);
    EXPECT_EQ(g.ColWidths(1), 64 + 21);
    g.SetColWidths(1, 64);
    // The horizontal bar starts with its thumb at the right end.
    g.SetColCount(9);
    SCROLLINFO si;
    si.fMask = SIF_POS | SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(g.Handle(), SB_HORZ, si));
    EXPECT_EQ(si.nPos, si.nMax);
    g.Perform(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(g.LeftCol(), 2);
    // The editor stands over the mirrored cell.
    g.SetLeftCol(1);
    g.SetOptions(g.Options() + TGridOptions{goEditing});
    g.SetCol(1);
    g.SetRow(1);
    g.ShowEditor();
    ASSERT_NE(g.InplaceEditor(), nullptr);
    EXPECT_EQ(g.InplaceEditor()->Left(), W - 129);
}
