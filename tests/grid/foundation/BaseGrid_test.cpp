#include "grid/foundation/BaseGrid.h"

#include "grid/foundation/CellCodecs.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {


// A grid class as the grid control is one: it keeps the row count for the
// hooks, may hide the last row, and logs the calls the base grid makes.
class ProbeGrid : public TBaseGrid {
public:
    explicit ProbeGrid(TComponent* owner) : TBaseGrid(owner) {}

    void SetNormalRowCount(int v) { FNormalRowCount = v; }
    void SetHideLastRow(bool v) { FHideLastRow = v; }
    void SetHoverRowIdx(int v) { FHoverRowIdx = v; }
    bool HasAnyProps() const { return FHasCellProps; }
    void Key(Word key) { KeyDown(key, {}); }

    std::vector<TPoint> changed;  // CellTextChanged
    int hiddenLastRowChanges = 0;
    int hiddenCols = 0;           // kept beyond ColCount
    std::map<std::pair<int, int>, TColor> brushes;  // GetVisualProperties answers
    std::map<std::pair<int, int>, int> drawn;       // DrawGridCell per cell
    std::map<std::pair<int, int>, TRect> contentRects;

    int TotalColCount() override { return ColCount() + hiddenCols; }
    void CellTextChanged(int c, int r) override { changed.push_back({c, r}); }
    void HiddenLastRowChanged() override { ++hiddenLastRowChanges; }
    void GetVisualProperties(int c, int r, TGridDrawState&, bool, bool, bool, TBrush& brush, TColor&, TColor&,
                             TColor&, TFont&, TAlignment&, TVAlignment&, bool&, TCellGradientDirection&) override {
        if (auto it = brushes.find({c, r}); it != brushes.end()) brush.SetColor(it->second);
    }
    void DrawGridCell(TCanvas&, int c, int r, TRect rect, TGridDrawState) override {
        ++drawn[{c, r}];
        contentRects[{c, r}] = rect;
    }
};

// A graphic the cell owns; counts the living ones.
struct CountingGraphic : TCellGraphicBase {
    static inline int alive = 0;
    CountingGraphic() { ++alive; }
    ~CountingGraphic() override { --alive; }
};

// Texts "c,r" in every cell of a 6 x 6 grid.
struct Cells6 {
    ProbeGrid g{nullptr};
    Cells6() {
        g.SetColCount(6);
        g.SetRowCount(6);
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r < 6; ++r) g.SetCells(c, r, IntToStr(c) + u"," + IntToStr(r));
    }
};

TEST(BaseGrid, DisplayTextHooksRunOnlyBelowTheNormalRowCount) {
    Cells6 f;
    std::vector<std::string> calls;
    f.g.OnGetDisplText = [&](TObject*, int c, int r, String& v) {
        calls.push_back(std::to_string(c) + "," + std::to_string(r));
        v += u"!";
    };
    EXPECT_EQ(f.g.GetCellEx(2, 1), u"2,1");
    EXPECT_TRUE(calls.empty());

    f.g.SetNormalRowCount(3);
    f.g.MergeCells(1, 1, 2, 2);
    EXPECT_EQ(f.g.GetCellEx(2, 2), u"1,1!");  // the hook sees the base cell
    EXPECT_EQ(calls, std::vector<std::string>{"1,1"});
    EXPECT_EQ(f.g.GetCellEx(0, 3), u"0,3");

    f.g.OnGetDisplWideText = [](TObject*, int, int, String& v) { v += u"\u20AC"; };
    EXPECT_EQ(f.g.GetCellEx(0, 0), EncodeWideCellText(u"0,0!\u20AC"));
    EXPECT_EQ(f.g.GetCellEx(0, 4), u"0,4");
}

TEST(BaseGrid, MergedAreaReadsAndWritesItsBaseCell) {
    Cells6 f;
    ProbeGrid& g = f.g;
    g.MergeCells(1, 1, 3, 2);
    EXPECT_EQ(g.MergeCount(), 1);
    struct Case {
        int c, r;
        bool base;
        int sx, sy;
    } cells[] = {{1, 1, true, 2, 1}, {2, 1, false, 1, 0}, {3, 1, false, 2, 0},
                 {1, 2, false, 0, 1}, {2, 2, false, 1, 1}, {3, 2, false, 2, 1}};
    for (const Case& c : cells) {
        SCOPED_TRACE(std::to_string(c.c) + "," + std::to_string(c.r));
        TCellProperties* p = g.GetCellProperties(c.c, c.r);
        EXPECT_EQ(p->IsBaseCell(), c.base);
        EXPECT_EQ(p->CellSpanX(), c.sx);
        EXPECT_EQ(p->CellSpanY(), c.sy);
        EXPECT_EQ(g.GetCellEx(c.c, c.r), u"1,1");
        EXPECT_EQ(g.BaseCell(c.c, c.r), Point(1, 1));
        EXPECT_TRUE(g.IsMergedCell(c.c, c.r));
        EXPECT_EQ(g.IsMergedNonBaseCell(c.c, c.r), !c.base);
        EXPECT_TRUE(g.IsXMergedCell(c.c, c.r));
        EXPECT_TRUE(g.IsYMergedCell(c.c, c.r));
        EXPECT_EQ(g.CellSpan(c.c, c.r), Point(2, 1));
        EXPECT_EQ(g.FullCell(c.c, c.r), Rect(1, 1, 3, 2));
    }
    EXPECT_EQ(g.CellExt(2, 1), Point(1, 1));
    EXPECT_EQ(g.CellExt(1, 1), Point(2, 1));
    EXPECT_EQ(g.CellSpan(4, 1), Point(0, 0));
    int bc = -1, br = -1;
    EXPECT_FALSE(g.ResolveBaseCell(3, 2, bc, br));
    EXPECT_EQ(Point(bc, br), Point(1, 1));
    EXPECT_TRUE(g.ResolveBaseCell(4, 4, bc, br));
    EXPECT_EQ(Point(bc, br), Point(4, 4));
    EXPECT_EQ(g.MinRowSpan(1), 1);
    EXPECT_EQ(g.MinRowSpan(4), 6);
    EXPECT_EQ(g.MaxRowSpan(2), 1);

    g.changed.clear();
    g.SetCellEx(3, 2, u"new");
    EXPECT_EQ(g.Cells(1, 1), u"new");
    EXPECT_EQ(g.Cells(3, 2), u"3,2");
    ASSERT_EQ(g.changed.size(), 1u);
    EXPECT_EQ(g.changed[0], Point(1, 1));

    // Splitting from any cell of the area shows the cells' own texts again.
    g.SplitCells(2, 2);
    EXPECT_EQ(g.MergeCount(), 0);
    for (const Case& c : cells) {
        EXPECT_TRUE(g.GetCellProperties(c.c, c.r)->IsBaseCell());
        EXPECT_EQ(g.GetCellProperties(c.c, c.r)->CellSpanX(), -1);
        EXPECT_FALSE(g.IsMergedCell(c.c, c.r));
    }
    EXPECT_EQ(g.GetCellEx(3, 2), u"3,2");

    // A cell never merged: nothing changes, but the count goes down.
    g.SplitCells(5, 5);
    EXPECT_EQ(g.MergeCount(), -1);
    EXPECT_EQ(g.GetCellProperties(5, 5)->CellSpanX(), -1);
    // A 1 x 1 merge is not a merged cell but takes the merged rectangle path.
    g.MergeCells(4, 4, 1, 1);
    EXPECT_FALSE(g.IsMergedCell(4, 4));
    EXPECT_EQ(g.CellSpan(4, 4), Point(0, 0));
    EXPECT_EQ(g.CellRect(4, 4), g.VirtualCellRect(4, 4));
}

TEST(BaseGrid, CellsOutsideTheTotalColumnCountStandForThemselves) {
    Cells6 f;
    ProbeGrid& g = f.g;
    g.MergeCells(1, 1, 2, 1);
    // A merged-looking slot beyond the columns is never mapped.
    TCellProperties* outside = g.GetCellProperties(7, 1);
    outside->SetIsBaseCell(false);
    outside->SetCellSpanX(6);
    outside->SetCellSpanY(0);
    g.SetGridCell(7, 1, u"hidden");
    EXPECT_FALSE(g.CellPropsAssigned(7, 1));
    EXPECT_EQ(g.GetCellEx(7, 1), u"hidden");
    EXPECT_EQ(g.BaseCell(7, 1), Point(7, 1));
    // Once the grid class counts that column, the cell maps.
    g.hiddenCols = 2;
    EXPECT_TRUE(g.CellPropsAssigned(7, 1));
    EXPECT_EQ(g.GetCellEx(7, 1), u"1,1");
}

TEST(BaseGrid, SpanComparisons) {
    Cells6 f;
    ProbeGrid& g = f.g;
    EXPECT_FALSE(g.ColSpanIdentical(1, 2));  // no merged cell at all
    EXPECT_FALSE(g.RowSpanIdentical(1, 2));
    g.MergeCells(1, 1, 2, 2);
    EXPECT_TRUE(g.ColSpanIdentical(1, 2));
    EXPECT_TRUE(g.RowSpanIdentical(1, 2));
    EXPECT_FALSE(g.ColSpanIdentical(1, 3));  // a row with only one of them spanned
    g.MergeCells(3, 4, 2, 1);
    g.MergeCells(2, 3, 1, 1);
    EXPECT_FALSE(g.ColSpanIdentical(2, 3));
    Cells6 h;
    h.g.MergeCells(1, 1, 2, 1);
    h.g.MergeCells(2, 2, 2, 1);
    EXPECT_FALSE(h.g.ColSpanIdentical(1, 2));  // spanned rows with different base columns
}

TEST(BaseGrid, NewPropertiesTakeTheGridsLook) {
    Cells6 f;
    ProbeGrid& g = f.g;
    g.SetColor(RGB(1, 2, 3));
    g.Font().SetName(u"Probe Sans");
    g.Font().SetColor(clMaroon);
    EXPECT_FALSE(g.HasAnyProps());
    EXPECT_EQ(g.GetObjectEx(1, 1), nullptr);
    EXPECT_FALSE(g.CellPropsAssigned(1, 1));

    TCellProperties* p = g.GetCellProperties(1, 1);
    EXPECT_TRUE(g.HasAnyProps());
    EXPECT_EQ(g.GetCellProperties(1, 1), p);
    EXPECT_EQ(p->BrushColor(), RGB(1, 2, 3));
    EXPECT_EQ(p->BrushColorTo(), clNone);
    EXPECT_EQ(p->FontName(), u"Probe Sans");
    EXPECT_EQ(p->FontColor(), clMaroon);
    EXPECT_EQ(p->Alignment(), taLeftJustify);
    EXPECT_EQ(p->VAlignment(), vtaTop);
    EXPECT_TRUE(p->WordWrap());
    EXPECT_EQ(p->GradientDirection(), GradientVertical);
    EXPECT_EQ(p->CellSpanX(), -1);
    EXPECT_TRUE(p->IsBaseCell());
    EXPECT_EQ(p->OwnerCol(), 1);

    g.SetWordWrap(false);
    EXPECT_FALSE(g.GetCellProperties(2, 2)->WordWrap());

    // Assign copies the merge place and owner cell, not the gradient.
    g.MergeCells(3, 3, 2, 2);
    TCellProperties copy(&g, 0, 0);
    copy.SetBrushColorTo(clRed);
    copy.Assign(g.GetCellProperties(4, 4));
    EXPECT_FALSE(copy.IsBaseCell());
    EXPECT_EQ(Point(copy.CellSpanX(), copy.CellSpanY()), Point(1, 1));
    EXPECT_EQ(Point(copy.OwnerCol(), copy.OwnerRow()), Point(4, 4));
    EXPECT_EQ(copy.BrushColorTo(), clRed);

    // Dropping the properties leaves the cell out of any area.
    g.SetCellProperties(4, 4, nullptr);
    EXPECT_FALSE(g.CellPropsAssigned(4, 4));
    EXPECT_EQ(g.GetCellEx(4, 4), u"4,4");
}

TEST(BaseGrid, ObjectsBracketAnEmptyCellWithABlank) {
    Cells6 f;
    ProbeGrid& g = f.g;
    TPersistent value;
    g.SetCells(1, 1, u"");
    g.changed.clear();
    g.SetObjectEx(1, 1, &value);  // no properties yet: the blank goes in plainly
    EXPECT_EQ(g.GetObjectEx(1, 1), &value);
    EXPECT_EQ(g.Cells(1, 1), u"");
    EXPECT_EQ(g.changed.size(), 1u);
    g.changed.clear();
    g.SetObjectEx(1, 1, nullptr);  // with properties both writes notify
    EXPECT_EQ(g.changed.size(), 2u);
    g.changed.clear();
    g.SetObjectEx(2, 2, &value);  // a cell with text gets no bracket
    EXPECT_TRUE(g.changed.empty());
    EXPECT_EQ(g.Cells(2, 2), u"2,2");
}

TEST(BaseGrid, FreeingPropertiesFreesOnlyTheCellsOwnGraphics) {
    TPersistent foreign;
    {
        Cells6 f;
        ProbeGrid& g = f.g;
        g.SetGraphicObjectEx(1, 1, new CountingGraphic);
        g.SetGraphicObjectEx(2, 1, &foreign);
        g.SetGraphicObjectEx(5, 5, new CountingGraphic);
        EXPECT_EQ(CountingGraphic::alive, 2);
        g.FreeCellPropsRect(0, 0, 3, 3);
        EXPECT_EQ(CountingGraphic::alive, 1);
        EXPECT_FALSE(g.CellPropsAssigned(1, 1));
        EXPECT_FALSE(g.CellPropsAssigned(2, 1));
        EXPECT_TRUE(g.CellPropsAssigned(5, 5));

        // Kept beyond a shrunk grid and in a hidden column: freed with the grid.
        g.SetGraphicObjectEx(9, 2, new CountingGraphic);
        g.SetRowCount(3);
        EXPECT_EQ(CountingGraphic::alive, 2);
    }
    EXPECT_EQ(CountingGraphic::alive, 0);
}

TEST(BaseGrid, WritesIntoAHiddenLastRowAreReported) {
    Cells6 f;
    ProbeGrid& g = f.g;
    g.SetCellEx(1, 5, u"x");
    EXPECT_EQ(g.hiddenLastRowChanges, 0);
    g.SetHideLastRow(true);
    for (int c = 0; c < 6; ++c) g.SetCellEx(c, 5, u"y");
    g.SetCellEx(1, 4, u"z");
    EXPECT_EQ(g.hiddenLastRowChanges, 6);
}

TEST(BaseGrid, ResettingDropsReferencesWithoutFreeing) {
    Cells6 f;
    ProbeGrid& g = f.g;
    TCellProperties* p = g.GetCellProperties(2, 3);
    g.ResetCell(2, 3);
    EXPECT_EQ(g.Cells(2, 3), u"");
    EXPECT_FALSE(g.CellPropsAssigned(2, 3));
    g.SetGridObject(2, 0, p);  // the grid class moved it
    EXPECT_EQ(g.GetCellProperties(2, 0), p);
    g.ResetColCells(2);
    g.ResetRowCells(4);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(g.Cells(2, r), u"");
    for (int c = 0; c < 6; ++c) EXPECT_EQ(g.Cells(c, 4), u"");
    EXPECT_EQ(g.Cells(3, 3), u"3,3");
    delete p;  // it left the grid's slots; its owner lets go of it on deletion
}

// A grid on a shown form, for keys and the wheel.
struct KeyForm {
    TForm form{nullptr};
    ProbeGrid* g;
    explicit KeyForm(int rows = 10) {
        form.SetBounds(40, 40, 500, 300);
        g = new ProbeGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 200);
        g->SetDefaultRowHeight(20);
        g->SetColCount(8);
        g->SetRowCount(rows);
        form.Show();
        g->SetFocus();
    }
    TPoint At() const { return {g->Col(), g->Row()}; }
};

TEST(BaseGrid, ArrowKeysStepOverAMergedArea) {
    KeyForm f;
    ProbeGrid& g = *f.g;
    g.MergeCells(2, 2, 2, 2);
    struct Case {
        TPoint from;
        Word key;
        TPoint to;
    } cases[] = {
        {{2, 2}, VK_RIGHT, {4, 2}}, {{2, 2}, VK_DOWN, {2, 4}}, {{2, 2}, VK_LEFT, {1, 2}},
        {{2, 2}, VK_UP, {2, 1}},    {{1, 2}, VK_RIGHT, {2, 2}}, {{2, 1}, VK_DOWN, {2, 2}},
        {{4, 3}, VK_LEFT, {2, 2}},  // into the area: onto its base cell
        {{3, 3}, VK_LEFT, {1, 3}},  // from inside: beside the area
        {{3, 3}, VK_UP, {3, 1}},    {{3, 3}, VK_RIGHT, {4, 3}}, {{3, 3}, VK_DOWN, {3, 4}},
    };
    for (const Case& c : cases) {
        g.SetCol(c.from.X);
        g.SetRow(c.from.Y);
        ASSERT_EQ(f.At(), c.from);
        SimulateKey(c.key);
        EXPECT_EQ(f.At(), c.to) << c.from.X << "," << c.from.Y << " key " << c.key;
    }
}

TEST(BaseGrid, HiddenLastRowKeepsTheCursorOff) {
    KeyForm f(30);
    ProbeGrid& g = *f.g;
    g.SetHideLastRow(true);
    for (int i = 0; i < 5; ++i) {
        SimulateKey(VK_NEXT);
        EXPECT_LT(g.Row(), 29);
    }
    EXPECT_EQ(g.Row(), 28);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(g.Row(), 28);
    SimulateKey(VK_END, {ssCtrl});
    EXPECT_EQ(g.Row(), 28);
    g.SetRow(26);
    for (int i = 0; i < 4; ++i) SimulateWheel(&g, 50, 50, -120);
    EXPECT_EQ(g.Row(), 28);
    SimulateWheel(&g, 50, 50, 120);
    EXPECT_EQ(g.Row(), 27);

    // One scrollable row, and it is the hidden one: the cursor stays there.
    KeyForm small(2);
    small.g->SetHideLastRow(true);
    for (Word key : {VK_NEXT, VK_DOWN, VK_UP}) SimulateKey(key);
    SimulateWheel(small.g, 20, 20, -120);
    EXPECT_EQ(small.g->Row(), 1);
}

TEST(BaseGrid, WheelLeavesTheCursorOnABaseCell) {
    KeyForm f;
    ProbeGrid& g = *f.g;
    g.MergeCells(1, 3, 2, 2);
    g.SetCol(2);
    g.SetRow(2);
    SimulateWheel(&g, 50, 50, -120);
    EXPECT_EQ(f.At(), Point(1, 3));
    g.SetCol(2);
    g.SetRow(5);
    SimulateWheel(&g, 50, 50, 120);
    EXPECT_EQ(f.At(), Point(1, 3));
}

// ---------------------------------------------------------------------------
// Painting

struct PaintForm {
    TForm form{nullptr};
    ProbeGrid* g;
    PaintForm() {
        form.SetBounds(40, 40, 500, 300);
        g = new ProbeGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 300, 160);
        g->SetScrollBars(ssNone);
        g->SetBorderStyle(bsNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetColCount(10);
        g->SetRowCount(8);
        // The focus stays with another control: the grid paints unfocused.
        auto* other = new ProbeGrid(&form);
        other->SetParent(&form);
        other->SetBounds(320, 0, 100, 100);
        form.Show();
        other->SetFocus();
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
};

TColor At(TBitmap& b, int x, int y) { return b.Canvas().Pixels(x, y); }
TColor At(const std::unique_ptr<TBitmap>& b, int x, int y) { return b->Canvas().Pixels(x, y); }

TEST(BaseGridPaint, RectanglesOfCellsInAndOutOfView) {
    PaintForm f;
    ProbeGrid& g = *f.g;
    g.SetLeftCol(3);
    EXPECT_EQ(g.VirtualCellRect(0, 0), Rect(0, 0, 40, 20));
    EXPECT_EQ(g.VirtualCellRect(2, 2), Rect(0, 40, 40, 60));  // scrolled out under the fixed column
    EXPECT_EQ(g.VirtualCellRect(4, 4), Rect(80, 80, 120, 100));
    EXPECT_EQ(g.CellRect(3, 1), Rect(40, 20, 80, 40));
    EXPECT_EQ(g.CellRect(1, 5), Rect(0, 0, 40, 20));  // out of view: its size at the origin
    EXPECT_EQ(g.CellRect(9, 1), Rect(280, 20, 320, 40));  // partly in view: not cut at the edge
    g.MergeCells(2, 2, 3, 3);
    EXPECT_EQ(g.CellRect(3, 3), Rect(0, 40, 120, 100));
    EXPECT_EQ(g.CellSize(4, 2), Point(120, 60));
    TWinControl control(nullptr);
    g.GetCellProperties(1, 6)->SetControl(&control);
    EXPECT_EQ(g.CellRect(1, 6), Rect(-40, 120, 0, 140));
}

TEST(BaseGridPaint, GridLinesFollowTheWidth) {
    PaintForm f;
    auto b = f.Render();
    // Cell (1,1) is x 40..80, y 20..40; its lines run along its right and bottom edges.
    EXPECT_EQ(At(b, 60, 39), clSilver);
    EXPECT_EQ(At(b, 79, 30), clSilver);
    EXPECT_EQ(At(b, 60, 38), clWhite);
    EXPECT_EQ(At(b, 78, 30), clWhite);
    // Fixed cells: 1-pixel lines in the fixed line colour.
    EXPECT_EQ(At(b, 20, 19), clGray);
    EXPECT_EQ(At(b, 39, 10), clGray);
    EXPECT_EQ(f.g->contentRects[std::make_pair(1, 1)], Rect(41, 21, 79, 39));
    EXPECT_EQ(f.g->contentRects[std::make_pair(0, 0)], Rect(0, 0, 39, 18));

    f.g->SetGridLineWidth(3);
    b = f.Render();
    for (int y : {37, 38, 39}) EXPECT_EQ(At(b, 60, y), clSilver) << y;
    EXPECT_EQ(At(b, 60, 36), clWhite);
    for (int x : {77, 78, 79}) EXPECT_EQ(At(b, x, 30), clSilver) << x;
    EXPECT_EQ(At(b, 76, 30), clWhite);
    EXPECT_EQ(At(b, 20, 19), clGray);
    EXPECT_EQ(At(b, 20, 18), clWhite);
    EXPECT_EQ(f.g->contentRects[std::make_pair(1, 1)], Rect(43, 23, 77, 37));
}

TEST(BaseGridPaint, MergedAreaUnderTheFixedColumnPaintsOncePerPass) {
    PaintForm f;
    ProbeGrid& g = *f.g;
    g.SetLeftCol(3);
    auto reference = f.Render();

    g.MergeCells(2, 2, 3, 3);
    g.brushes[{2, 2}] = clYellow;
    g.drawn.clear();
    auto b = f.Render();
    EXPECT_EQ(g.drawn[std::make_pair(2, 2)], 1);
    EXPECT_EQ(g.drawn.count({3, 2}), 0u);
    // Columns 3 and 4 show the area; the fixed column looks as without it.
    EXPECT_EQ(At(b, 50, 50), clYellow);
    EXPECT_EQ(At(b, 110, 90), clYellow);
    EXPECT_EQ(At(b, 130, 50), clWhite);
    for (int y = 40; y < 100; y += 3)
        for (int x = 0; x < 40; x += 3) ASSERT_EQ(At(b, x, y), At(reference, x, y)) << x << "," << y;

    f.Render();
    EXPECT_EQ(g.drawn[std::make_pair(2, 2)], 2);  // painted again in the next pass
}

TEST(BaseGridPaint, StyledSelectionRoundsOnlyTheOuterEnds) {
    struct Case {
        bool drawFocusSelected;
        TColor border, edge;
    } cases[] = {{false, 0xD9D9D9, 0xEFEFEF}, {true, 0x8DD7D3, 0xC3D9DF}};
    for (const Case& c : cases) {
        PaintForm f;
        ProbeGrid& g = *f.g;
        if (c.drawFocusSelected) g.SetOptions(g.Options() + TGridOptions{goDrawFocusSelected});
        g.SetSelectionStyle(ssOffice2007);
        g.SetSelection({1, 1, 3, 1});
        auto b = f.Render();
        SCOPED_TRACE(c.drawFocusSelected);
        // Left cell x 40..80: its left end only.
        EXPECT_EQ(At(b, 40, 20), clWhite);
        EXPECT_EQ(At(b, 41, 20), c.edge);
        EXPECT_EQ(At(b, 77, 20), c.border);
        EXPECT_EQ(At(b, 78, 20), c.border);
        // Middle cell x 80..120: no end.
        EXPECT_EQ(At(b, 80, 20), c.border);
        EXPECT_EQ(At(b, 118, 20), c.border);
        // Right cell x 120..160: its right end only.
        EXPECT_EQ(At(b, 120, 20), c.border);
        EXPECT_EQ(At(b, 157, 20), c.edge);
        EXPECT_EQ(At(b, 158, 20), clWhite);
    }
}

TEST(BaseGridPaint, HiddenLastRowShowsOnlyTheGridColour) {
    PaintForm f;
    ProbeGrid& g = *f.g;
    g.brushes[{1, 7}] = clRed;
    g.brushes[{1, 6}] = clRed;
    g.SetHideLastRow(true);
    auto b = f.Render();
    for (int x = 0; x < 300; x += 7) {
        EXPECT_EQ(At(b, x, 145), clWhite) << x;
        EXPECT_EQ(At(b, x, 159), clWhite) << x;
    }
    EXPECT_EQ(At(b, 60, 130), clRed);
    EXPECT_EQ(g.drawn.count({1, 7}), 0u);
}

TEST(BaseGridPaint, HoverAndActiveRowColours) {
    PaintForm f;
    ProbeGrid& g = *f.g;
    g.SetHoverRow(true);
    g.SetHoverRowColor(clAqua);
    g.SetHoverRowIdx(3);
    g.SetActiveRowShow(true);
    g.SetActiveRowColor(clLime);
    g.SetCol(2);
    g.SetRow(5);
    auto b = f.Render();
    EXPECT_EQ(At(b, 60, 70), clAqua);   // (1,3)
    EXPECT_EQ(At(b, 20, 70), clWhite);  // fixed cells keep their look without hcFixed
    EXPECT_EQ(At(b, 60, 110), clLime);  // (1,5)
    EXPECT_EQ(At(b, 20, 110), clWhite); // fixed column
    // The current cell shows the selection, not the active row.
    EXPECT_NE(At(b, 100, 110), clLime);

    // PaintCellExt of a selected cell: active-row colours, no content.
    TBitmap face(40, 20);
    g.drawn.clear();
    g.PaintCellExt(face.Canvas(), 0, 0, Rect(0, 0, 40, 20), TGridDrawState{gdSelected});
    EXPECT_EQ(At(face, 10, 10), clLime);
    EXPECT_TRUE(g.drawn.empty());
}

}  // namespace

// Right to left the grid paints its left-to-right picture mirrored: a cell's
// right line becomes its first column on screen.
TEST(BaseGridPaint, RightToLeftMirrorsCellsLinesAndSelection) {
    PaintForm f;
    ProbeGrid& g = *f.g;
    g.SetBiDiMode(bdRightToLeft);
    ASSERT_EQ(g.ClientWidth(), 300);
    auto b = f.Render();
    // Cell (1,1): x 40..80 left to right, 220..260 on the screen.
    EXPECT_EQ(g.CellRect(1, 1), Rect(220, 20, 260, 40));
    EXPECT_EQ(g.CellLayoutRect(1, 1), Rect(40, 20, 80, 40));
    EXPECT_EQ(At(b, 220, 30), clSilver);
    EXPECT_EQ(At(b, 221, 30), clWhite);
    EXPECT_EQ(At(b, 259, 30), clWhite);
    EXPECT_EQ(At(b, 240, 39), clSilver);
    EXPECT_EQ(At(b, 240, 38), clWhite);
    EXPECT_EQ(At(b, 260, 10), clGray);  // the fixed column's line, at its first column on the screen
    EXPECT_EQ(g.contentRects[std::make_pair(1, 1)], Rect(41, 21, 79, 39));  // DrawGridCell's own coordinates

    // A styled selection from column 1 to 3 rounds its start at the screen's right.
    g.SetSelectionStyle(ssOffice2007);
    g.SetSelection({1, 1, 3, 1});
    b = f.Render();
    EXPECT_EQ(At(b, 259, 20), clWhite);
    EXPECT_NE(At(b, 258, 21), clWhite);
    EXPECT_NE(At(b, 200, 30), clWhite);
    EXPECT_NE(At(b, 145, 30), clWhite);
    EXPECT_EQ(At(b, 130, 30), clWhite);

}
