#include "grid/ExCGrid.h"
#include "grid/foundation/Markup.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

// A shown white string grid of 5 x 6 cells of 120 x 24 pixels, painted up to
// date, so that both its pixels and what it invalidates can be read.
struct MarkupForm {
    TForm form{nullptr};
    TExStringGrid* g;
    MarkupForm() {
        form.SetBounds(0, 0, 700, 300);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 650, 200);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetRowCount(6);
        g->SetDefaultColWidth(120);
        g->SetDefaultRowHeight(24);
        form.Show();
        Flush();
    }
    void Flush() { UpdateWindow(g->Handle()); }
    TRect Pending() {
        TRect r{};
        GetUpdateRect(g->Handle(), &r, false);
        return r;
    }
    Bmp Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
    // Client pixel (x, y) in the rendered window (border 2).
    static TColor At(const Bmp& b, int x, int y) { return b->Canvas().Pixels(x + 2, y + 2); }
    // The inside of cell (c, r), clear of its lines.
    TRect Inside(int c, int r) {
        TRect R = g->CellRect(c, r);
        InflateRect(R, -1, -1);
        return R;
    }
    // A point on the first letters of cell (c, r)'s text.
    void Move(int c, int r, int dx = 0) {
        const TRect R = g->CellRect(c, r);
        SimulateMouseMove(g, R.Left + 6 + dx, R.Top + 10);
    }
    void Tick() { g->Perform(WM_TIMER, 111, 0); }
};

bool Blue(TColor c) { return GetBValue(c) > 150 && GetRValue(c) < 120 && GetGValue(c) < 120; }
bool Ink(TColor c) { return c != clWhite; }

int Count(const Bmp& b, TRect R, bool (*Test)(TColor)) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (Test(MarkupForm::At(b, x, y))) ++n;
    return n;
}

// The longest horizontal run of pixels passing the test: an underline makes
// one as long as its text, the letters "l" and "i" none longer than 2.
int LongestRun(const Bmp& b, TRect R, bool (*Test)(TColor)) {
    int best = 0;
    for (int y = R.Top; y < R.Bottom; ++y) {
        int run = 0;
        for (int x = R.Left; x < R.Right; ++x) {
            run = Test(MarkupForm::At(b, x, y)) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

// The rightmost inked column of R, R.Left - 1 when nothing is inked.
int InkRight(const Bmp& b, TRect R) {
    for (int x = R.Right - 1; x >= R.Left; --x)
        for (int y = R.Top; y < R.Bottom; ++y)
            if (Ink(MarkupForm::At(b, x, y))) return x;
    return R.Left - 1;
}

// ---------------------------------------------------------------------------
// EnableHTML

TEST(ExGridMarkup, WithoutEnableHTMLMarkupShowsAsTypedAndActsAsPlainText) {
    const char16_t* const link = u"<A HREF=\"cell://R4C3\">llll</A>";
    for (const bool html : {true, false}) {
        SCOPED_TRACE(html ? "markup on" : "markup off");
        MarkupForm f;
        f.g->SetWordWrap(false);
        f.g->SetEnableHTML(html);
        f.g->SetCells(2, 2, link);
        f.g->SetCells(3, 2, u"llll");
        auto b = f.Render();
        const TRect cell = f.Inside(2, 2);
        // Markup: the link's four letters in the link colour; otherwise the
        // whole tag in the font's colour, reaching far past four letters.
        EXPECT_EQ(Count(b, cell, Blue) > 0, html);
        const TRect plain = f.Inside(3, 2);
        EXPECT_EQ(InkRight(b, cell) - cell.Left > InkRight(b, plain) - plain.Left + 20, !html);
        // Measured: the tags count only as text.
        const TPoint markupSize = f.g->GetCellTextSize(2, 2, false, false);
        const TPoint plainSize = f.g->GetCellTextSize(3, 2, false, false);
        EXPECT_EQ(markupSize.X > plainSize.X + 40, !html);
        EXPECT_EQ(f.g->GridTextKind(link), html ? 1 : 0);

        // A press on the letters follows the link only as markup.
        String told;
        f.g->OnAnchorClick = [&](TObject*, int, int, const String& Anchor, bool& Auto) {
            told = Anchor;
            Auto = false;
        };
        const TRect R = f.g->CellRect(2, 2);
        SimulateMouseDown(f.g, mbLeft, R.Left + 8, R.Top + 10);
        SimulateMouseUp(f.g, mbLeft, R.Left + 8, R.Top + 10);
        EXPECT_EQ(told, html ? u"cell://R4C3" : u"");
    }
}

TEST(ExGridMarkup, InTextControlsOpenWithEnterOnlyAsMarkup) {
    for (const bool html : {true, false}) {
        SCOPED_TRACE(html ? "markup on" : "markup off");
        MarkupForm f;
        f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
        f.g->SetEnableHTML(html);
        f.g->SetCells(2, 2, u"<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"60\" VALUE=\"v\">");
        f.g->FocusCell(2, 2);
        f.g->SetFocus();
        ASSERT_TRUE(f.g->Focused());
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->CtrlEditing(), html);
    }
}

TEST(ExGridMarkup, ClippedMarkupEndsInAnEllipsisOnlyWithEnhTextSize) {
    const struct {
        const char16_t* text;
        bool clipped;
    } cases[] = {{u"<b>mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm</b>", true}, {u"<b>mm</b>", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        MarkupForm f;
        f.g->SetCells(2, 2, c.text);
        auto plain = f.Render();
        f.g->SetEnhTextSize(true);
        f.Flush();
        auto ellipsis = f.Render();
        const TRect R = f.Inside(2, 2);
        bool same = true;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                same = same && MarkupForm::At(plain, x, y) == MarkupForm::At(ellipsis, x, y);
        EXPECT_EQ(same, !c.clipped);
        // Without the ellipsis the letters run on to the cell's edge.
        if (c.clipped) EXPECT_GE(InkRight(plain, R), R.Right - 4);
    }
}

// ---------------------------------------------------------------------------
// Highlighted runs

bool Lime(TColor c) { return c == clLime; }
bool Red(TColor c) { return c == clRed; }

// Highlighted text takes the grid's highlight colours; the renderer's shared
// colours are back to what they were after the grid has painted.
TEST(ExGridMarkup, HighlightedRunsTakeTheGridsHighlightColours) {
    MarkupForm f;
    f.g->SetCells(1, 2, u"ab <hi>MMMM</hi> cd");
    f.g->SetCells(2, 2, u"ab MMMM cd");
    f.g->SetHighlightColor(clLime);
    f.g->SetHighlightTextColor(clRed);
    f.Flush();
    auto b = f.Render();
    EXPECT_GT(Count(b, f.Inside(1, 2), Lime), 40);
    EXPECT_GT(Count(b, f.Inside(1, 2), Red), 10);
    EXPECT_EQ(Count(b, f.Inside(2, 2), Lime), 0);
    EXPECT_EQ(HiLightBkColor, clHighlight);
    EXPECT_EQ(HiLightTextColor, clHighlightText);
    // The default colours: the system's highlight, no lime.
    f.g->SetHighlightColor(clHighlight);
    f.g->SetHighlightTextColor(clHighlightText);
    f.Flush();
    b = f.Render();
    EXPECT_EQ(Count(b, f.Inside(1, 2), Lime), 0);
    const TColor sys = ColorToRGB(clHighlight);
    int n = 0;
    const TRect R = f.Inside(1, 2);
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += MarkupForm::At(b, x, y) == sys;
    EXPECT_GT(n, 40);
}

// ---------------------------------------------------------------------------
// URLUnderlineOnHover

TEST(ExGridMarkup, WithUnderlineOnHoverOnlyTheLinkUnderTheMouseIsUnderlined) {
    MarkupForm f;
    f.g->SetCells(2, 2, u"<A HREF=\"a\">llllllll</A> <A HREF=\"b\">llllllll</A>");
    f.g->SetCells(2, 3, u"plain");
    const TRect cell = f.Inside(2, 2);
    const int mid = cell.Left + (cell.Right - cell.Left) / 2;
    // Where the first and the second link stand.
    const TRect first = Rect(cell.Left, cell.Top, cell.Left + 30, cell.Bottom);
    auto runs = [&](const Bmp& b) { return std::pair{LongestRun(b, first, Blue), LongestRun(b, cell, Blue)}; };

    // Without the setting every link is underlined.
    auto b = f.Render();
    EXPECT_GE(runs(b).first, 15);

    f.g->SetURLUnderlineOnHover(true);
    f.Flush();
    b = f.Render();
    EXPECT_LE(runs(b).second, 3);  // no link underlined
    EXPECT_EQ(f.g->HoverLink(), 0);

    // Over the first link: it alone, and only its cell repaints.
    f.Move(2, 2);
    EXPECT_EQ(f.g->HoverCell(), (TPoint{2, 2}));
    EXPECT_EQ(f.g->HoverLink(), 1);
    EXPECT_EQ(f.Pending(), f.g->CellRect(2, 2));
    f.Flush();
    b = f.Render();
    EXPECT_GE(runs(b).first, 15);
    EXPECT_LE(LongestRun(b, Rect(first.Right + 10, cell.Top, mid + 40, cell.Bottom), Blue), 3);

    // Along the same link nothing repaints.
    f.Move(2, 2, 3);
    EXPECT_EQ(f.Pending(), TRect{});

    // Beside the links: no link, the cell repaints without an underline.
    f.Move(2, 2, 100);
    EXPECT_EQ(f.g->HoverLink(), 0);
    EXPECT_EQ(f.Pending(), f.g->CellRect(2, 2));
    f.Flush();
    EXPECT_LE(runs(f.Render()).second, 3);

    // Back on it, then onto a plain cell: the hovered cell is let go.
    f.Move(2, 2);
    f.Flush();
    f.Move(2, 3);
    EXPECT_EQ(f.g->HoverCell(), (TPoint{-1, -1}));
    EXPECT_EQ(f.Pending(), f.g->CellRect(2, 2));
    f.Flush();
    EXPECT_LE(runs(f.Render()).second, 3);

    // Leaving the grid lets it go as well.
    f.Move(2, 2);
    f.Flush();
    SimulateMouseLeave();
    EXPECT_EQ(f.g->HoverLink(), 0);
    EXPECT_EQ(f.Pending(), f.g->CellRect(2, 2));
}

// ---------------------------------------------------------------------------
// Blinking markup

TEST(ExGridMarkup, BlinkingTextHidesAndShowsAtEachTick) {
    MarkupForm f;
    f.g->SetCells(2, 2, u"llll<BLINK>llll</BLINK>");
    const TRect R = f.Inside(2, 2);
    const TRect steady = Rect(R.Left, R.Top, R.Left + 12, R.Bottom);
    const TRect blinking = Rect(R.Left + 14, R.Top, R.Right, R.Bottom);
    auto b = f.Render();
    ASSERT_GT(Count(b, steady, Ink), 0);
    ASSERT_GT(Count(b, blinking, Ink), 0);

    // Without EnableBlink ticks change nothing.
    f.Tick();
    EXPECT_FALSE(f.g->GridBlink());
    EXPECT_EQ(f.Pending(), TRect{});

    f.g->SetEnableBlink(true);
    f.Tick();
    EXPECT_TRUE(f.g->GridBlink());
    EXPECT_EQ(f.Pending(), f.g->CellRect(2, 2));
    f.Flush();
    b = f.Render();
    EXPECT_GT(Count(b, steady, Ink), 0);
    EXPECT_EQ(Count(b, blinking, Ink), 0);
    f.Tick();
    f.Flush();
    EXPECT_GT(Count(f.Render(), blinking, Ink), 0);

    // Switched off in the hidden half, the text shows again.
    f.Tick();
    f.Flush();
    ASSERT_EQ(Count(f.Render(), blinking, Ink), 0);
    f.g->SetEnableBlink(false);
    EXPECT_FALSE(f.g->GridBlink());
    f.Flush();
    EXPECT_GT(Count(f.Render(), blinking, Ink), 0);
}

TEST(ExGridMarkup, ATickRepaintsTheShownCellsThatBlink) {
    const struct {
        const char* what;
        int col, row;         // stored column
        int hide;             // a column hidden first, -1 none
        int shownCol;         // where it is repainted, -1 nowhere
    } cases[] = {
        {"a data cell", 2, 3, -1, 2},
        {"a header cell", 3, 0, -1, 3},
        {"a fixed column's cell", 0, 4, -1, 0},
        {"a row out of view", 2, 12, -1, -1},
        {"a hidden column", 2, 3, 2, -1},
        {"right of a hidden column", 3, 3, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MarkupForm f;
        f.g->SetRowCount(20);
        f.g->SetEnableBlink(true);
        f.g->SetCells(1, 1, u"<b>steady</b>");
        f.g->SetCells(c.col, c.row, u"x <blink>y</blink>");
        if (c.hide >= 0) f.g->HideColumn(c.hide);
        f.Flush();
        f.Tick();
        EXPECT_EQ(f.Pending(), c.shownCol >= 0 ? f.g->CellRect(c.shownCol, c.row) : TRect{});
    }
}

// ---------------------------------------------------------------------------
// URLShowInText

TEST(ExGridMarkup, AddressesInDisplayTextsBecomeLinks) {
    const struct {
        const char16_t* text;
        const char16_t* shown;
    } cases[] = {
        {u"see www.abc.org now", u"see <a href=\"www.abc.org\">www.abc.org</a> now"},
        {u"http://abc.org", u"<a href=\"http://abc.org\">http://abc.org</a>"},
        // The address that starts first is linked whole, whatever its kind.
        {u"go HTTPS://www.abc.org", u"go <a href=\"HTTPS://www.abc.org\">HTTPS://www.abc.org</a>"},
        {u"ftp://a.b or www.c.d", u"<a href=\"ftp://a.b\">ftp://a.b</a> or www.c.d"},
        {u"to Mailto:a@b.c", u"to <a href=\"Mailto:a@b.c\">Mailto:a@b.c</a>"},
        {u"a<b file://x/y", u"a&lt;b <a href=\"file://x/y\">file://x/y</a>"},
        {u"nntp://n.s", u"<a href=\"nntp://n.s\">nntp://n.s</a>"},
        {u"no address here", u"no address here"},
    };
    for (const auto& c : cases) {
        MarkupForm f;
        f.g->SetCells(2, 2, c.text);
        EXPECT_EQ(f.g->Cells(2, 2), c.text);
        f.g->SetURLShowInText(true);
        EXPECT_EQ(f.g->GetCellEx(2, 2), c.shown) << StringToUtf8(c.text);
        // Stored as typed.
        EXPECT_EQ(f.g->Cells(2, 2), c.text);
        f.g->SetURLShowInText(false);
        EXPECT_EQ(f.g->GetCellEx(2, 2), c.text);
    }
}

TEST(ExGridMarkup, AddressesInTextAreDrawnAndFollowedAsLinks) {
    MarkupForm f;
    f.g->SetCells(2, 2, u"at www.abc.org");
    const TRect cell = f.Inside(2, 2);
    EXPECT_EQ(Count(f.Render(), cell, Blue), 0);
    f.g->SetURLShowInText(true);
    f.Flush();
    auto b = f.Render();
    EXPECT_GT(Count(b, cell, Blue), 0);
    EXPECT_GE(LongestRun(b, cell, Blue), 30);  // underlined
    // The words before it keep the font's colour.
    EXPECT_EQ(Count(b, Rect(cell.Left, cell.Top, cell.Left + 12, cell.Bottom), Blue), 0);

    String told;
    f.g->OnAnchorClick = [&](TObject*, int, int, const String& Anchor, bool& Auto) {
        told = Anchor;
        Auto = false;
    };
    const TRect R = f.g->CellRect(2, 2);
    SimulateMouseDown(f.g, mbLeft, R.Left + 40, R.Top + 10);
    SimulateMouseUp(f.g, mbLeft, R.Left + 40, R.Top + 10);
    EXPECT_EQ(told, u"www.abc.org");

    // Without markup the link's tags show as typed.
    f.g->SetEnableHTML(false);
    f.Flush();
    EXPECT_EQ(Count(f.Render(), cell, Blue), 0);
}

// ---------------------------------------------------------------------------
// Themed progress bars

TEST(ExGridMarkup, ProgressXPDrawsTheStylesBarForThemedControlStyles) {
    const TColor face = RGB(230, 230, 230), frame = RGB(188, 188, 188), chunk = RGB(6, 176, 37);
    const struct {
        TGridControlStyle style;
        bool xp;
        bool themed;
    } looks[] = {
        {csTheme, true, true}, {csWinXP, true, true}, {csTheme, false, false}, {csClassic, true, false},
        {csFlat, true, false},
    };
    for (const auto& l : looks) {
        SCOPED_TRACE(std::to_string(int(l.style)) + (l.xp ? " xp" : ""));
        PaintForm f;
        f.g->SetColWidths(2, 120);
        f.g->AddProgress(2, 3, clRed, clBlue);
        f.g->ControlLook().ControlStyle = l.style;
        f.g->ControlLook().ProgressXP = l.xp;
        // Cell (2, 3) is 80..200 x 60..80: the bar 83..196 x 63..76 (framed)
        // inside the margins, its chunk 2 further in, over the value's share of
        // 110 pixels.
        const struct {
            const char16_t* value;
            int chunkEnd;  // the chunk covers 85 .. chunkEnd - 1
        } values[] = {{u"50", 140}, {u"0", 85}, {u"100", 195}, {u"150", 195}, {u"-5", 85}, {u"", 85}};
        for (const auto& v : values) {
            SCOPED_TRACE(StringToUtf8(v.value));
            f.g->SetCellEx(2, 3, v.value);
            auto r = f.Render();
            if (!l.themed) {
                EXPECT_EQ(PaintForm::At(r, 84, 70), clGray);  // the plain bar's frame
                continue;
            }
            EXPECT_EQ(PaintForm::At(r, 83, 70), frame);
            EXPECT_EQ(PaintForm::At(r, 196, 70), frame);
            EXPECT_EQ(PaintForm::At(r, 140, 63), frame);
            EXPECT_EQ(PaintForm::At(r, 140, 76), frame);
            EXPECT_EQ(PaintForm::At(r, 84, 70), face);
            EXPECT_EQ(PaintForm::At(r, 195, 70), face);
            if (v.chunkEnd > 85) EXPECT_EQ(PaintForm::At(r, 85, 65), chunk);
            if (v.chunkEnd > 85) EXPECT_EQ(PaintForm::At(r, v.chunkEnd - 1, 74), chunk);
            if (v.chunkEnd < 195) EXPECT_EQ(PaintForm::At(r, v.chunkEnd, 70), face);
            EXPECT_EQ(PaintForm::At(r, 150, 64), face);  // above the chunk
        }
    }
}

}  // namespace
