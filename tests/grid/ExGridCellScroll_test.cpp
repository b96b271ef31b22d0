#include "PaintForm.h"

#include "grid/foundation/MarkupText.h"

#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Lines of text, each "line <n>", with the first one marked by Mark.
String Lines(int Count, const String& Mark = u"line 1") {
    String s = Mark;
    for (int i = 2; i <= Count; ++i) s += u"\n" + String(u"line ") + IntToStr(i);
    return s;
}

// The paint fixture with column 1 120 pixels wide and rows 1 and 2 40 high;
// cell (1, 1) holds 30 lines under an automatic scroll bar.
struct ScrollForm : PaintForm {
    ScrollForm() {
        g->SetWordWrap(true);
        g->SetColWidths(1, 120);
        g->SetRowHeights(1, 40);
        g->SetRowHeights(2, 40);
        g->SetCellEx(1, 1, Lines(30));
        g->AddScrollBar(1, 1, true);
    }
    void Hover(int ACol, int ARow) {
        const TRect R = g->CellRect(ACol, ARow);
        SimulateMouseMove(g, (R.Left + R.Right) / 2 - 20, (R.Top + R.Bottom) / 2);
    }
    // Where the bar the person scrolls is, relative to cell (ACol, ARow):
    // "over", "no height", "hidden" or "elsewhere".
    std::string Bar(int ACol, int ARow) {
        TScrollBar* b = g->CellScrollBar();
        if (!b->Visible()) return "hidden";
        if (b->Height() == 0) return "no height";
        const TRect R = g->CellRect(ACol, ARow);
        const int lw = g->GridLineWidth();
        if (b->Left() == R.Right - 17 - lw && b->Top() == R.Top + lw && b->Width() == 17 &&
            b->Height() == R.Bottom - R.Top - 2 * lw)
            return "over";
        return "elsewhere";
    }
    void Scroll(Word Code, int Pos = 0) {
        g->Perform(WM_VSCROLL, MakeWParam(Code, Word(Pos)), LPARAM(g->CellScrollBar()->Handle()));
    }
};

bool Dark(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return GetRValue(rgb) < 0x60 && GetGValue(rgb) < 0x60 && GetBValue(rgb) < 0x60;
}

TEST(ExGridCellScroll, ACellKeepsItsScrollStateInItsGraphic) {
    ScrollForm f;
    TExColumnGrid& g = *f.g;
    // Automatic range: the row's height is shown of the text's height.
    const TScrollProp autoProp = g.GetScrollProp(1, 1);
    EXPECT_EQ(autoProp.PageSize, 40);
    EXPECT_EQ(autoProp.Range, g.GetCellTextSize(1, 1, true, true).Y);
    EXPECT_GT(autoProp.Range, 30 * 10);
    EXPECT_TRUE(g.HasAutoRangeScrollBar(1, 1));
    EXPECT_EQ(g.GetCellType(1, 1), ctScrollbar);
    // A new text measures again.
    g.SetCellEx(1, 1, Lines(2));
    EXPECT_LT(g.GetScrollProp(1, 1).Range, 40);
    g.SetRowHeights(1, 30);
    g.SetCellEx(1, 1, Lines(3));
    EXPECT_EQ(g.GetScrollProp(1, 1).PageSize, 30);

    // A fixed range stays whatever the text.
    g.AddScrollBar(2, 1, false);
    EXPECT_FALSE(g.HasAutoRangeScrollBar(2, 1));
    const struct {
        const char* what;
        int col;
        TScrollProp prop;
        int pos;
    } cases[] = {
        {"a bar as made", 2, {0, 100}, 0},
        {"a cell without a bar", 3, {-1, -1}, -1},
    };
    g.SetCellEx(2, 1, Lines(50));
    for (const auto& c : cases) {
        EXPECT_EQ(g.HasScrollBar(c.col, 1), c.pos == 0) << c.what;
        EXPECT_EQ(g.GetScrollProp(c.col, 1).PageSize, c.prop.PageSize) << c.what;
        EXPECT_EQ(g.GetScrollProp(c.col, 1).Range, c.prop.Range) << c.what;
        EXPECT_EQ(g.GetScrollPosition(c.col, 1), c.pos) << c.what;
    }
    g.SetScrollProp(2, 1, {20, 300});
    g.SetScrollPosition(2, 1, 120);
    EXPECT_EQ(g.GetScrollProp(2, 1).Range, 300);
    EXPECT_EQ(g.GetScrollPosition(2, 1), 120);
    // Other cells take no scroll state.
    g.SetScrollPosition(3, 1, 5);
    g.SetScrollProp(3, 1, {1, 2});
    EXPECT_EQ(g.GetScrollPosition(3, 1), -1);
    EXPECT_EQ(g.GetScrollProp(3, 1).Range, -1);
    g.RemoveScrollBar(2, 1);
    EXPECT_FALSE(g.HasScrollBar(2, 1));
    EXPECT_EQ(g.GetCellType(2, 1), ctEmpty);
    EXPECT_EQ(g.GetCellEx(2, 1), Lines(50));
}

TEST(ExGridCellScroll, TheBarComesOverTheCellUnderTheMouseWhoseTextScrolls) {
    ScrollForm f;
    TExColumnGrid& g = *f.g;
    g.SetCellEx(2, 2, u"short");
    g.AddScrollBar(2, 2, true);  // the text fits: nothing to scroll
    ASSERT_NE(g.CellScrollBar(), nullptr);
    EXPECT_EQ(f.Bar(1, 1), "hidden");
    const struct {
        int col, row;
        const char* bar;
    } moves[] = {
        {1, 1, "over"},
        {1, 2, "hidden"},   // no bar in that cell
        {1, 1, "over"},
        {2, 2, "hidden"},   // its text fits
        {1, 1, "over"},
    };
    for (const auto& m : moves) {
        f.Hover(m.col, m.row);
        EXPECT_EQ(f.Bar(1, 1), m.bar) << m.col << "," << m.row;
    }
    EXPECT_EQ(g.CellScrollBar()->Max(), g.GetScrollProp(1, 1).Range);
    EXPECT_EQ(g.CellScrollBar()->PageSize(), 40);
    EXPECT_EQ(g.CellScrollBar()->Parent(), &g);
    EXPECT_FALSE(g.CellScrollBar()->TabStop());
}

TEST(ExGridCellScroll, ScrollingTheBarMovesTheCellTextAndReportsIt) {
    ScrollForm f;
    TExColumnGrid& g = *f.g;
    std::vector<std::tuple<int, int, int, int, int>> reports;
    g.OnScrollCell = [&](TObject*, int ACol, int ARow, int Pos, int Min, int Max) {
        reports.emplace_back(ACol, ARow, Pos, Min, Max);
    };
    f.Hover(1, 1);
    const int range = g.GetScrollProp(1, 1).Range;
    ASSERT_GT(range, 200);
    // A real click on the bar's lower arrow.
    TScrollBar* bar = g.CellScrollBar();
    SimulateClick(bar, bar->Width() / 2, bar->Height() - 4);
    EXPECT_EQ(g.GetScrollPosition(1, 1), 10);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_tuple(1, 1, 10, 0, range));

    const struct {
        const char* what;
        Word code;
        int pos;  // of the thumb for SB_THUMBTRACK
        int from, to;
    } cases[] = {
        {"line up", SB_LINEUP, 0, 50, 40},
        {"line down", SB_LINEDOWN, 0, 50, 60},
        {"line up at the top", SB_LINEUP, 0, 0, 0},
        {"line down at the end", SB_LINEDOWN, 0, range, range},
        {"page up", SB_PAGEUP, 0, 150, 50},
        {"page up past the top", SB_PAGEUP, 0, 50, 0},
        {"page down", SB_PAGEDOWN, 0, 50, 150},
        {"page down past the end", SB_PAGEDOWN, 0, range - 30, range},
        {"thumb dragged", SB_THUMBTRACK, 33, 50, 33},
        {"end of scrolling", SB_ENDSCROLL, 0, 50, 50},
    };
    for (const auto& c : cases) {
        g.SetScrollPosition(1, 1, c.from);
        EXPECT_EQ(bar->Position(), c.from) << c.what;
        reports.clear();
        f.Scroll(c.code, c.pos);
        EXPECT_EQ(g.GetScrollPosition(1, 1), c.to) << c.what;
        EXPECT_EQ(reports.size(), c.from == c.to ? 0u : 1u) << c.what;
    }
    // The grid's own rows do not move with the cell's bar.
    EXPECT_EQ(g.TopRow(), 1);
}

TEST(ExGridCellScroll, TheBarLeavesWithItsCell) {
    const struct {
        const char* what;
        std::function<void(TExColumnGrid&)> change;
        int col, row;  // where the cell is afterwards
        const char* bar;
    } cases[] = {
        {"nothing", [](TExColumnGrid&) {}, 1, 1, "over"},
        {"scrolled out of view", [](TExColumnGrid& g) { g.SetTopRow(3); }, 1, 1, "no height"},
        {"scrolled away and back", [](TExColumnGrid& g) {
             g.SetTopRow(3);
             g.SetTopRow(1);
         }, 1, 1, "over"},
        {"its row removed", [](TExColumnGrid& g) { g.RemoveRows(1, 1); }, 1, 1, "hidden"},
        {"its bar removed", [](TExColumnGrid& g) { g.RemoveScrollBar(1, 1); }, 1, 1, "hidden"},
        {"its column hidden", [](TExColumnGrid& g) { g.HideColumn(1); }, 1, 1, "hidden"},
        {"a column inserted before it", [](TExColumnGrid& g) { g.InsertCols(0, 1); }, 2, 1, "hidden"},
    };
    for (const auto& c : cases) {
        ScrollForm f;
        f.g->SetRowCount(30);
        f.Hover(1, 1);
        c.change(*f.g);
        EXPECT_EQ(f.Bar(c.col, c.row), c.bar) << c.what;
    }
}

TEST(ExGridCellScroll, TheCellShowsItsBarAndItsTextMovedUpUnderAClip) {
    ScrollForm f;
    TExColumnGrid& g = *f.g;
    // Only the first line is wide: the others end left of x = 50.
    g.SetCellEx(1, 1, Lines(30, u"MMMMMMMMMM"));
    g.SetColWidths(2, 120);
    g.SetCellEx(2, 1, u"M");
    g.AddScrollBar(2, 1, true);  // fits: no bar is painted
    g.SetRow(3);  // the cells are painted white, not selected
    const TRect R = g.CellRect(1, 1);
    // The cell's grid line takes the last pixel.
    const TRect strip{R.Right - 18, R.Top, R.Right - 1, R.Bottom - 1};
    const TRect wide{R.Left + 50, R.Top, R.Right - 19, R.Bottom};
    const TRect header = g.CellRect(1, 0);
    auto b = f.Render();
    // The bar: its arrows dark, its track not the cell's white all along;
    // none in the cell whose text fits.
    EXPECT_TRUE(PaintForm::AnyPixel(b, strip, Dark));
    EXPECT_FALSE(PaintForm::AnyPixel(b, TRect{strip.Left + 8, strip.Top + 1, strip.Left + 9, strip.Bottom - 1},
                                     [](TColor c) { return c == clWhite; }));
    const TRect R2 = g.CellRect(2, 1);
    EXPECT_FALSE(PaintForm::Inked(b, TRect{R2.Right - 18, R2.Top, R2.Right - 1, R2.Bottom - 1}));
    EXPECT_TRUE(PaintForm::AnyPixel(b, wide, Dark));

    // Moved up by 20 the wide line would stand in the header.
    g.SetScrollPosition(1, 1, 20);
    b = f.Render();
    EXPECT_FALSE(PaintForm::AnyPixel(b, wide, Dark));
    EXPECT_FALSE(PaintForm::AnyPixel(b, TRect{header.Left + 1, header.Top + 1, header.Right - 1, header.Bottom - 1}, Dark));
    EXPECT_TRUE(PaintForm::AnyPixel(b, strip, Dark));
    // The next lines show, clipped at the cell's bottom: the row below stays clean.
    EXPECT_TRUE(PaintForm::AnyPixel(b, TRect{R.Left + 2, R.Top, R.Left + 50, R.Bottom}, Dark));
    const TRect below = g.CellRect(1, 2);
    EXPECT_FALSE(PaintForm::AnyPixel(b, TRect{below.Left + 1, below.Top + 1, below.Right - 1, below.Bottom - 1}, Dark));
    // The bar is flat: its arrows are framed in the shadow colour, never lit by raised white edges.
    const TRect upArrow{strip.Left, strip.Top + 1, strip.Right, strip.Top + 17};
    EXPECT_TRUE(PaintForm::AnyPixel(b, upArrow, [](TColor c) { return c == ColorToRGB(clBtnShadow); }));
    EXPECT_FALSE(PaintForm::AnyPixel(b, upArrow, [](TColor c) { return c == clWhite; }));
    EXPECT_FALSE(g.CellScrollBar()->Ctl3D());
}

// The press lands where the text is painted: a check box on the first line
// is under the mouse while the text is not scrolled and gone above the cell
// once it is.
TEST(ExGridCellScroll, APressFindsTheTextWhereTheScrolledCellShowsIt) {
    const struct {
        const char* what;
        int pos;
        const char16_t* value;
    } cases[] = {
        {"not scrolled", 0, u"TRUE"},
        {"scrolled past the check box", 100, u"FALSE"},
    };
    for (const auto& c : cases) {
        TForm form{nullptr};
        form.SetBounds(0, 0, 700, 300);
        auto* grid = new TExStringGrid(&form);
        TExStringGrid& g = *grid;
        g.SetParent(&form);
        g.SetBounds(0, 0, 650, 200);
        g.SetOptions(g.Options() + TGridOptions{goEditing});
        g.SetDefaultColWidth(120);
        g.SetRowHeights(2, 40);
        form.Show();
        g.SetFocus();
        String text = u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"20\">";
        for (int i = 0; i < 20; ++i) text += u"<BR>more";
        g.SetCellEx(2, 2, text);
        g.AddScrollBar(2, 2, false);
        g.SetScrollProp(2, 2, {40, 400});
        g.SetScrollPosition(2, 2, c.pos);
        const TRect R = g.CellRect(2, 2);
        SimulateClick(&g, R.Left + 9, R.Top + 10);
        String value;
        GetControlValue(g.GetCellEx(2, 2), u"c", value);
        EXPECT_EQ(value, c.value) << c.what;
    }
}

}  // namespace
