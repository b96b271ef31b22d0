// The moments at which the grid calls its virtual operations, as a grid
// built on it sees them: a probe subclass logs every call.
#include "framework/Forms.h"
#include "framework/Grids.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Num(int v) { return std::to_string(v); }

class ProbeGrid : public TStringGrid {
public:
    explicit ProbeGrid(TComponent* owner) : TStringGrid(owner) {}

    std::vector<std::string> log;
    // What the grid looked like when ColumnMoved / RowMoved began.
    struct Seen {
        int col = -1, row = -1, width = -1, height = -1;
        String text;
    } seenAtMove;
    int watchIndex = 0;

    bool CanEdit() { return CanEditShow(); }
    void MoveColumn(int from, int to) override {
        log.push_back("movecolumn " + Num(from) + "," + Num(to));
        TStringGrid::MoveColumn(from, to);
    }
    void MoveRow(int from, int to) override {
        log.push_back("moverow " + Num(from) + "," + Num(to));
        TStringGrid::MoveRow(from, to);
    }
    void Key(Word key, TShiftState shift = {}) { KeyDown(key, shift); }

protected:
    bool SelectCell(int c, int r) override {
        log.push_back("select " + Num(c) + "," + Num(r));
        return TStringGrid::SelectCell(c, r);
    }
    bool CanEditShow() override {
        bool can = TStringGrid::CanEditShow();
        log.push_back(can ? "canshow yes" : "canshow no");
        return can;
    }
    TInplaceEdit* CreateEditor() override {
        log.push_back("create");
        return TStringGrid::CreateEditor();
    }
    String GetEditMask(int c, int r) override {
        log.push_back("mask " + Num(c) + "," + Num(r));
        return TStringGrid::GetEditMask(c, r);
    }
    String GetEditText(int c, int r) override {
        log.push_back("gettext " + Num(c) + "," + Num(r));
        return TStringGrid::GetEditText(c, r);
    }
    int GetEditLimit() override {
        log.push_back("limit");
        return TStringGrid::GetEditLimit();
    }
    void SetEditText(int c, int r, const String& v) override {
        log.push_back("settext " + Num(c) + "," + Num(r) + "=" + StringToUtf8(v));
        TStringGrid::SetEditText(c, r, v);
    }
    void TopLeftChanged() override {
        log.push_back("topleft " + Num(LeftCol()) + "," + Num(TopRow()));
        TStringGrid::TopLeftChanged();
    }
    void SizeChanged(int oldCols, int oldRows) override {
        log.push_back("size " + Num(oldCols) + "," + Num(oldRows) + "->" + Num(ColCount()) + "," + Num(RowCount()));
        TStringGrid::SizeChanged(oldCols, oldRows);
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
        seenAtMove = {Col(), Row(), ColWidths(watchIndex), RowHeights(watchIndex), Cells(to, 0)};
        log.push_back("columnmoved " + Num(from) + "," + Num(to));
        TStringGrid::ColumnMoved(from, to);
    }
    void RowMoved(int from, int to) override {
        seenAtMove = {Col(), Row(), ColWidths(watchIndex), RowHeights(watchIndex), Cells(0, to)};
        log.push_back("rowmoved " + Num(from) + "," + Num(to));
        TStringGrid::RowMoved(from, to);
    }
    void DrawCell(int c, int r, TRect rect, TGridDrawState st) override {
        log.push_back("draw " + Num(c) + "," + Num(r));
        TStringGrid::DrawCell(c, r, rect, st);
    }
};

bool Has(const std::vector<std::string>& log, const std::string& s) {
    for (const auto& l : log)
        if (l == s) return true;
    return false;
}

struct ProbeForm {
    explicit ProbeForm(TGridOptions add = {}) {
        form.SetBounds(50, 50, 400, 200);
        grid = new ProbeGrid(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 320, 120);
        grid->SetColCount(6);
        grid->SetRowCount(30);
        grid->SetOptions(grid->Options() + add);
        for (int r = 1; r < 30; ++r)
            for (int c = 1; c < 6; ++c) grid->SetCells(c, r, Utf8ToString("r" + Num(r) + "c" + Num(c)));
        other = new TCustomControl(&form);
        other->SetParent(&form);
        other->SetBounds(330, 0, 50, 50);
        other->SetTabStop(true);
        form.Show();
        grid->SetFocus();
        grid->log.clear();
    }
    TForm form{nullptr};
    ProbeGrid* grid;
    TCustomControl* other;
};

}  // namespace

// The framework moves the sizes and the current cell of a column (row)
// before ColumnMoved (RowMoved), and the string grid's ColumnMoved moves the
// texts, then OnColumnMoved fires once. An override must not move them again.
TEST(GridsProbe, MovesShiftSizesAndTheCurrentCellOnceBeforeTheNotification) {
    struct Case {
        const char* name;
        bool columns;
        int from, to, current;
        int expCurrent;
    } cases[] = {
        {"column right, current is it", true, 1, 3, 1, 3},
        {"column right, current between", true, 1, 3, 2, 1},
        {"column left, current at target", true, 3, 1, 1, 2},
        {"column left, current after", true, 3, 1, 4, 4},
        {"row down, current is it", false, 2, 5, 2, 5},
        {"row up, current between", false, 5, 2, 3, 4},
    };
    for (const Case& c : cases) {
        ProbeGrid g(nullptr);
        g.SetColCount(6);
        g.SetRowCount(8);
        g.SetCells(c.from, 0, u"moving");
        g.SetCells(0, c.from, u"moving");
        if (c.columns) {
            g.SetColWidths(c.from, 40);
            g.SetCol(c.current);
        } else {
            g.SetRowHeights(c.from, 40);
            g.SetRow(c.current);
        }
        int fired = 0;
        g.OnColumnMoved = g.OnRowMoved = [&](TObject*, int, int) { ++fired; };
        g.watchIndex = c.to;
        g.log.clear();
        if (c.columns) g.MoveColumn(c.from, c.to);
        else g.MoveRow(c.from, c.to);
        // At the notification: sizes and the current cell already moved, texts not yet.
        EXPECT_EQ(c.columns ? g.seenAtMove.width : g.seenAtMove.height, 40) << c.name;
        EXPECT_EQ(c.columns ? g.seenAtMove.col : g.seenAtMove.row, c.expCurrent) << c.name;
        EXPECT_NE(g.seenAtMove.text, u"moving") << c.name;
        // Afterwards each moved once.
        EXPECT_EQ(fired, 1) << c.name;
        EXPECT_EQ(c.columns ? g.ColWidths(c.to) : g.RowHeights(c.to), 40) << c.name;
        EXPECT_EQ(c.columns ? g.Col() : g.Row(), c.expCurrent) << c.name;
        EXPECT_EQ(c.columns ? g.Cells(c.to, 0) : g.Cells(0, c.to), u"moving") << c.name;
        EXPECT_TRUE(Has(g.log, c.columns ? "colwidths" : "rowheights")) << c.name;
    }
}

// A drag of a header reaches an override of MoveColumn (MoveRow).
TEST(GridsProbe, MouseMovesGoThroughMoveColumnAndMoveRow) {
    ProbeForm f({goColMoving, goRowMoving});
    ProbeGrid& g = *f.grid;
    // Column pitch 65, row pitch 25: the header of column 1 onto column 3.
    SimulateMouseDown(&g, mbLeft, 80, 10);
    SimulateMouseMove(&g, 3 * 65 + 10, 10);
    SimulateMouseUp(&g, mbLeft, 3 * 65 + 10, 10);
    EXPECT_TRUE(Has(g.log, "movecolumn 1,3"));
    EXPECT_TRUE(Has(g.log, "columnmoved 1,3"));
    // The fixed cell of row 1 onto row 2.
    SimulateMouseDown(&g, mbLeft, 10, 25 + 5);
    SimulateMouseMove(&g, 10, 2 * 25 + 5);
    SimulateMouseUp(&g, mbLeft, 10, 2 * 25 + 5);
    EXPECT_TRUE(Has(g.log, "moverow 1,2"));
    EXPECT_EQ(g.Cells(3, 2), u"r1c1");
}

TEST(GridsProbe, EditorUpdateAsksInTheStatedOrder) {
    ProbeForm f({goEditing});
    ProbeGrid& g = *f.grid;
    g.SetRow(2);
    g.log.clear();
    g.ShowEditor();
    // Asked, created, filled (mask, text, limit), asked again, shown.
    std::vector<std::string> expected{"canshow yes", "create", "mask 1,2", "gettext 1,2", "limit", "canshow yes"};
    EXPECT_EQ(g.log, expected);
    ASSERT_TRUE(g.InplaceEditor()->Visible());
    // An update on the same cell does not refill.
    g.log.clear();
    g.UpdateEditor();
    EXPECT_EQ(g.log, (std::vector<std::string>{"canshow yes", "canshow yes"}));
    // With goAlwaysShowEditor the editor moves along: the old cell is
    // written back before the new one is read.
    g.SetOptions(g.Options() + TGridOptions{goAlwaysShowEditor});
    g.InplaceEditor()->SetText(u"typed");
    g.log.clear();
    g.SetCol(2);
    ASSERT_GE(g.log.size(), 5u);
    EXPECT_EQ(g.log[0], "select 2,2");
    auto at = [&](const std::string& s) {
        for (size_t i = 0; i < g.log.size(); ++i)
            if (g.log[i] == s) return int(i);
        return -1;
    };
    EXPECT_GE(at("settext 1,2=typed"), 0);
    EXPECT_LT(at("settext 1,2=typed"), at("mask 2,2"));
    EXPECT_LT(at("mask 2,2"), at("gettext 2,2"));
    EXPECT_LT(at("gettext 2,2"), at("limit"));
    EXPECT_EQ(g.Cells(1, 2), u"typed");
}

TEST(GridsProbe, CountsAndScrollsNotify) {
    ProbeGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(30);
    g.log.clear();
    g.SetRowCount(40);
    g.SetColCount(4);
    EXPECT_TRUE(Has(g.log, "size 6,30->6,40"));
    EXPECT_TRUE(Has(g.log, "size 6,40->4,40"));
    // Every scroll, whatever its cause, tells TopLeftChanged.
    struct Case {
        const char* name;
        std::function<void()> act;
        std::string expected;
    } cases[] = {
        {"TopRow", [&] { g.SetTopRow(5); }, "topleft 1,5"},
        {"Row into view", [&] { g.SetRow(20); }, "topleft 1,18"},
        {"key", [&] { g.Key(VK_UP, {ssCtrl}); }, "topleft 1,17"},
        {"scroll bar", [&] { g.Perform(WM_VSCROLL, SB_LINEUP, 0); }, "topleft 1,16"},
        {"wheel", [&] { g.Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0); }, "topleft 1,17"},
    };
    for (const Case& c : cases) {
        g.log.clear();
        c.act();
        EXPECT_TRUE(Has(g.log, c.expected)) << c.name;
    }
}

// An open editor whose cell scrolls out of view and back comes back with it.
TEST(GridsProbe, EditorFollowsItsCellOutOfViewAndBack) {
    ProbeForm f({goEditing});
    ProbeGrid& g = *f.grid;
    g.SetRow(2);
    g.ShowEditor();
    TInplaceEdit* ed = g.InplaceEditor();
    ASSERT_TRUE(ed->Visible());
    g.SetTopRow(10);
    EXPECT_FALSE(ed->Visible());
    EXPECT_TRUE(g.EditorMode());
    EXPECT_TRUE(g.Focused());  // the keys still reach the grid
    g.SetTopRow(1);
    EXPECT_TRUE(ed->Visible());
    EXPECT_TRUE(ed->Focused());
    EXPECT_EQ(ed->BoundsRect(), g.CellRect(1, 2));
}

// Leaving the grid closes the editor unless goAlwaysShowEditor; the text goes into the cell.
TEST(GridsProbe, FocusLeavingTheGridClosesTheEditor) {
    for (bool always : {false, true}) {
        ProbeForm f(always ? TGridOptions{goEditing, goAlwaysShowEditor} : TGridOptions{goEditing});
        ProbeGrid& g = *f.grid;
        g.ShowEditor();
        TInplaceEdit* ed = g.InplaceEditor();
        ASSERT_TRUE(ed->Focused()) << always;
        SimulateText(u"z");
        f.other->SetFocus();
        EXPECT_EQ(g.EditorMode(), always) << always;
        EXPECT_EQ(ed->Visible(), always) << always;
        EXPECT_EQ(g.Cells(1, 1), u"z") << always;
    }
}

// Paint draws every visible cell once, fixed cells included.
TEST(GridsProbe, PaintDrawsEveryVisibleCellOnce) {
    ProbeForm f;
    ProbeGrid& g = *f.grid;
    g.SetTopRow(4);
    g.log.clear();
    TBitmap bmp;
    RenderControlToBitmap(&g, bmp);
    std::vector<std::string> draws;
    for (const auto& l : g.log)
        if (l.rfind("draw ", 0) == 0) draws.push_back(l);
    // Columns 0..4 (4 partly), rows 0 and 4..7 (7 partly) on 320 x 120 less the bars.
    std::vector<std::string> expected;
    for (int r : {0, 4, 5, 6, 7})
        for (int c = 0; c <= 4; ++c)
            if (!IsRectEmpty(g.CellRect(c, r))) expected.push_back("draw " + Num(c) + "," + Num(r));
    EXPECT_EQ(draws, expected);
    EXPECT_FALSE(expected.empty());
}

// A thumb position stands for the row FixedRows + MulDiv(Pos, RowCount -
// VisibleRowCount - FixedRows, 127) (what a scroll hint shows), and a thumb
// dropped there stays there (or, with fewer rows than positions, stands
// for the same row).
TEST(GridsProbe, ThumbPositionsRoundTrip) {
    struct Case {
        int rows, fixedRows;
    } cases[] = {{101, 1}, {500, 1}, {1000, 3}, {3000, 0}};
    for (const Case& c : cases) {
        ProbeGrid g(nullptr);
        g.SetRowCount(c.rows);
        g.SetFixedRows(c.fixedRows);
        const int range = g.RowCount() - g.VisibleRowCount() - g.FixedRows();
        for (int pos = 0; pos <= 127; ++pos) {
            g.Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, pos), 0);
            ASSERT_EQ(g.TopRow(), c.fixedRows + MulDiv(pos, range, 127)) << c.rows << " at " << pos;
            if (range >= 127) {
                ASSERT_EQ(g.ScrollPos(SB_VERT), pos) << c.rows << " at " << pos;
            } else {
                // Fewer rows than positions: the thumb shown stands for the same row.
                const int top = g.TopRow();
                g.Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, g.ScrollPos(SB_VERT)), 0);
                ASSERT_EQ(g.TopRow(), top) << c.rows << " at " << pos;
            }
        }
    }
}

// The base press, move and release by the options in force.
TEST(GridsProbe, MousePressMoveAndReleaseByOptions) {
    // Cell (c, r) centre: column pitch 65, row pitch 25.
    auto cx = [](int c) { return c * 65 + 30; };
    auto cy = [](int r) { return r * 25 + 12; };
    struct Case {
        const char* name;
        TGridOptions add;
        int pressCol, pressRow;
        TShiftState shift;
        int dragCol, dragRow;  // -1: no drag
        TGridState stateAfterPress;
        bool editor;
        TGridRect selection;
        int clicks;
    } cases[] = {
        {"plain press", {}, 2, 2, {}, -1, -1, gsSelecting, false, {2, 2, 2, 2}, 1},
        {"drag a range", {}, 2, 2, {}, 3, 3, gsSelecting, false, {2, 2, 3, 3}, 1},
        {"shift press extends from the anchor", {}, 3, 3, {ssShift}, -1, -1, gsSelecting, false, {1, 1, 3, 3}, 1},
        {"press on a fixed cell", {}, 0, 2, {}, -1, -1, gsNormal, false, {1, 1, 1, 1}, 0},
        {"editing: press another cell", {goEditing}, 2, 2, {}, -1, -1, gsNormal, false, {2, 2, 2, 2}, 1},
        {"editing: press the current cell", {goEditing}, 1, 1, {}, -1, -1, gsNormal, true, {1, 1, 1, 1}, 1},
        {"always show editor", {goEditing, goAlwaysShowEditor}, 2, 2, {}, -1, -1, gsNormal, true, {2, 2, 2, 2}, 1},
    };
    for (const Case& c : cases) {
        ProbeForm f(c.add);
        ProbeGrid& g = *f.grid;
        int downs = 0, ups = 0, clicks = 0;
        g.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
        g.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
        g.OnClick = [&](TObject*) { ++clicks; };
        SimulateMouseDown(&g, mbLeft, cx(c.pressCol), cy(c.pressRow), c.shift);
        EXPECT_EQ(g.GridState(), c.stateAfterPress) << c.name;
        int upCol = c.pressCol, upRow = c.pressRow;
        if (c.dragCol >= 0) {
            SimulateMouseMove(&g, cx(c.dragCol), cy(c.dragRow), {ssLeft});
            upCol = c.dragCol;
            upRow = c.dragRow;
        }
        SimulateMouseUp(&g, mbLeft, cx(upCol), cy(upRow), c.shift);
        EXPECT_EQ(g.GridState(), gsNormal) << c.name;
        EXPECT_EQ(g.EditorMode() && g.InplaceEditor() && g.InplaceEditor()->Visible(), c.editor) << c.name;
        EXPECT_EQ(g.Selection(), c.selection) << c.name;
        EXPECT_EQ(downs, 1) << c.name;
        EXPECT_EQ(ups, 1) << c.name;
        EXPECT_EQ(clicks, c.clicks) << c.name;
    }
}

// Cancel mode ends whatever the mouse was doing.
TEST(GridsProbe, CancelModeEndsSelectingSizingAndMoving) {
    struct Case {
        const char* name;
        int x, y;
        TGridState state;
    } cases[] = {
        {"selecting", 2 * 65 + 30, 2 * 25 + 12, gsSelecting},
        {"column sizing", 129, 10, gsColSizing},
        {"row sizing", 10, 2 * 25 - 1, gsRowSizing},
        {"column moving", 2 * 65 + 30, 10, gsColMoving},
    };
    for (const Case& c : cases) {
        ProbeForm f({goColSizing, goRowSizing, goColMoving});
        ProbeGrid& g = *f.grid;
        const int width = g.ColWidths(1);
        SimulateMouseDown(&g, mbLeft, c.x, c.y);
        ASSERT_EQ(g.GridState(), c.state) << c.name;
        g.Perform(WM_CANCELMODE, 0, 0);
        EXPECT_EQ(g.GridState(), gsNormal) << c.name;
        SimulateMouseMove(&g, c.x + 40, c.y + 40, {ssLeft});
        SimulateMouseUp(&g, mbLeft, c.x + 40, c.y + 40);
        EXPECT_EQ(g.ColWidths(1), width) << c.name;
        EXPECT_FALSE(Has(g.log, "columnmoved 2,3")) << c.name;
    }
}
