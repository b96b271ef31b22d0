// Text on the canvas: DrawText's breaks, ellipsis, prefixes and measuring,
// and rotated text. Widths come from the canvas itself, so the tests hold
// for any installed face.

#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Page {
    TBitmap bmp;
    TCanvas& c;
    explicit Page(int w = 200, int h = 120) : bmp(w, h), c(bmp.Canvas()) {
        c.Font().SetName(S("Verdana"));
        c.Font().SetHeight(-13);
        c.Font().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
    }
    // Bounding box of the pixels that are not white (empty when none).
    TRect Ink() {
        TRect r{bmp.Width(), bmp.Height(), 0, 0};
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                if (c.Pixels(x, y) != clWhite) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return IsRectEmpty(r) ? TRect{} : r;
    }
    bool SameAs(Page& o) {
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                if (c.Pixels(x, y) != o.c.Pixels(x, y))
                    return false;
        return true;
    }
};

TEST(GraphicsText, DrawTextFlagsHaveTheirClassicValues) {
    EXPECT_EQ(DT_CENTER, 0x1u);
    EXPECT_EQ(DT_VCENTER, 0x4u);
    EXPECT_EQ(DT_SINGLELINE, 0x20u);
    EXPECT_EQ(DT_CALCRECT, 0x400u);
    EXPECT_EQ(DT_END_ELLIPSIS, 0x8000u);
    EXPECT_EQ(DT_HIDEPREFIX, 0x100000u);
}

TEST(GraphicsText, WordBreakMeasuresAndDrawsTheSameLines) {
    Page p;
    const int h = p.c.TextHeight(S("Ag"));
    const int w2 = p.c.TextWidth(S("alpha beta"));
    TRect calc = Rect(10, 5, 10 + w2 + 2, 5);
    int height = p.c.DrawText(S("alpha beta gamma"), calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, 2 * h);
    EXPECT_EQ(calc, Rect(10, 5, 10 + w2, 5 + 2 * h));
    EXPECT_EQ(p.Ink(), TRect{});  // measuring draws nothing

    struct Case {
        const char* text;
        int width;
    } cases[] = {
        {"alpha beta gamma", w2 + 2},
        {"one two three four five six seven", 70},
        {"line one\r\nline two\nthree", 150},
        {"averyveryverylongwordthatdoesnotfit short", 40},
    };
    for (const auto& k : cases) {
        Page q;
        TRect m = Rect(5, 5, 5 + k.width, 5);
        q.c.DrawText(S(k.text), m, DT_WORDBREAK | DT_CALCRECT | DT_NOCLIP);
        TRect d = Rect(5, 5, 5 + k.width, 200);
        q.c.DrawText(S(k.text), d, DT_WORDBREAK | DT_NOCLIP);
        TRect ink = q.Ink();
        EXPECT_GE(ink.Top, m.Top) << k.text;
        EXPECT_LE(ink.Bottom, m.Bottom) << k.text;
        EXPECT_GT(ink.Bottom, m.Bottom - h) << k.text;  // the last measured line has ink
        EXPECT_LE(ink.Right, m.Right + 1) << k.text;
    }
    // A long word stays whole without edit-control rules and is cut with them.
    Page a, b;
    TRect ra = Rect(0, 0, 40, 0), rb = Rect(0, 0, 40, 0);
    a.c.DrawText(S("abcdefghijklmnop"), ra, DT_WORDBREAK | DT_CALCRECT);
    b.c.DrawText(S("abcdefghijklmnop"), rb, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
    EXPECT_EQ(ra.Height(), h);
    EXPECT_GT(ra.Width(), 40);
    EXPECT_GT(rb.Height(), h);
    EXPECT_LE(rb.Width(), 40);
}

TEST(GraphicsText, EndEllipsisShortensToWhatFits) {
    Page p, ref;
    const String text = S("abcdefghijklmnop");
    const int maxW = p.c.TextWidth(S("abcdef..."));
    TRect r = Rect(4, 4, 4 + maxW, 30);
    p.c.DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
    ref.c.TextOut(4, 4, S("abcdef..."));
    EXPECT_TRUE(p.SameAs(ref));
    TRect m = Rect(4, 4, 4 + maxW, 30);
    p.c.DrawText(text, m, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_EQ(m.Width(), maxW);
    // Text that fits keeps all its characters.
    Page f, fref;
    TRect wide = Rect(4, 4, 190, 30);
    f.c.DrawText(text, wide, DT_SINGLELINE | DT_END_ELLIPSIS);
    fref.c.TextOut(4, 4, text);
    EXPECT_TRUE(f.SameAs(fref));
}

TEST(GraphicsText, PathEllipsisKeepsTheFileName) {
    Page p, ref;
    const int maxW = p.c.TextWidth(S("C:\\...\\file.txt")) + 2;
    TRect r = Rect(0, 0, maxW, 20);
    p.c.DrawText(S("C:\\folder\\subfolder\\file.txt"), r, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    ref.c.TextOut(0, 0, S("C:\\...\\file.txt"));
    EXPECT_TRUE(p.SameAs(ref));
}

TEST(GraphicsText, AmpersandPrefixUnderlinesOrShowsItself) {
    struct Case {
        const char* text;
        unsigned flags;
        const char* plain;  // drawn as TextOut of this
        bool underline;
    } cases[] = {
        {"&File", 0, "File", true},       {"&File", DT_HIDEPREFIX, "File", false},
        {"&File", DT_NOPREFIX, "&File", false}, {"A&&B", 0, "A&B", false},
        {"Save&", 0, "Save", false},
    };
    for (const auto& k : cases) {
        Page d, ref;
        TRect r = Rect(2, 2, 190, 40);
        d.c.DrawText(S(k.text), r, k.flags);
        ref.c.TextOut(2, 2, S(k.plain));
        if (!k.underline) {
            EXPECT_TRUE(d.SameAs(ref)) << k.text;
            continue;
        }
        // Differences only under the first letter, below the baseline.
        const int fw = ref.c.TextWidth(S("F"));
        int diffs = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                if (d.c.Pixels(x, y) != ref.c.Pixels(x, y)) {
                    ++diffs;
                    EXPECT_GE(x, 2) << k.text;
                    EXPECT_LT(x, 2 + fw) << k.text;
                    EXPECT_EQ(d.c.Pixels(x, y), clBlack);
                }
        EXPECT_GT(diffs, 2) << k.text;
    }
}

TEST(GraphicsText, SingleLineCentresAndOpaqueBackground) {
    Page p;
    const TSize e = p.c.TextExtent(S("Mid"));
    TRect r = Rect(0, 0, 200, 60);
    p.c.Brush().SetColor(clYellow);  // solid brush: opaque text background
    p.c.DrawText(S("Mid"), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const int x0 = (200 - e.cx) / 2, y0 = (60 - e.cy) / 2;
    EXPECT_EQ(p.c.Pixels(x0, y0), clYellow);
    EXPECT_EQ(p.c.Pixels(x0 + e.cx - 1, y0 + e.cy - 1), clYellow);
    EXPECT_EQ(p.c.Pixels(x0 - 1, y0), clWhite);
    EXPECT_EQ(p.c.Pixels(x0, y0 + e.cy), clWhite);
    // Transparent background mode leaves the cell alone.
    Page t;
    t.c.Brush().SetColor(clYellow);
    t.c.SetBkMode(TRANSPARENT);
    t.c.TextOut(0, 0, S("Mid"));
    EXPECT_EQ(t.c.Pixels(0, 0), clWhite);
}

TEST(GraphicsText, RotatedTextReadsUpwardOrDownwardFromItsOrigin) {
    const String text = S("Rotated");
    struct Case {
        int escapement;
        bool upward;
    } cases[] = {{900, true}, {-2700, true}, {2700, false}, {-900, false}};
    for (const auto& k : cases) {
        Page p(120, 120);
        const int w = p.c.TextWidth(text), h = p.c.TextHeight(text);
        p.c.Font().SetEscapement(k.escapement);
        p.c.TextOut(60, 60, text);
        TRect ink = p.Ink();
        ASSERT_FALSE(IsRectEmpty(ink)) << k.escapement;
        EXPECT_GT(ink.Height(), ink.Width()) << k.escapement;
        if (k.upward) {
            // Upward: the text runs from the origin toward the top; its top side faces left.
            EXPECT_GE(ink.Left, 60);
            EXPECT_LE(ink.Right, 60 + h);
            EXPECT_LE(ink.Bottom, 60);
            EXPECT_GE(ink.Top, 60 - w);
        } else {
            EXPECT_LE(ink.Right, 60);
            EXPECT_GE(ink.Left, 60 - h);
            EXPECT_GE(ink.Top, 60);
            EXPECT_LE(ink.Bottom, 60 + w);
        }
        // The first letter lies at the origin's end.
        Page first(120, 120);
        first.c.Font().SetEscapement(k.escapement);
        first.c.TextOut(60, 60, S("R"));
        TRect r = first.Ink();
        if (k.upward)
            EXPECT_GT(r.Top, 60 - w / 2);
        else
            EXPECT_LT(r.Bottom, 60 + w / 2);
    }
}

}  // namespace

namespace {
TEST(GraphicsText, TextIsNotAntialiasedAndMetricsAddUp) {
    Page p;
    p.c.Font().SetColor(clBlue);
    p.c.Font().SetStyle({fsBold, fsItalic});
    p.c.TextOut(3, 3, S("Smooth edges? No: Wg&%@"));
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            TColor px = p.c.Pixels(x, y);
            ASSERT_TRUE(px == clWhite || px == clBlue) << x << "," << y << " " << std::hex << px;
            ink += px == clBlue;
        }
    EXPECT_GT(ink, 50);
    TTextMetric tm{};
    ASSERT_TRUE(p.c.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight, p.c.TextHeight(S("x")));
    EXPECT_GE(tm.tmHeight, 13);  // the character height of -13 plus the internal leading
    EXPECT_GT(tm.tmAveCharWidth, 0);
}

TEST(GraphicsText, EmptyTextMeasuresOneLineWhenSingle) {
    Page p;
    const int h = p.c.TextHeight(S("x"));
    TRect a = Rect(5, 5, 50, 50), b = Rect(5, 5, 50, 50);
    EXPECT_EQ(p.c.DrawText(S(""), a, DT_CALCRECT | DT_SINGLELINE), h);
    EXPECT_EQ(a, Rect(5, 5, 5, 5 + h));
    p.c.DrawText(S(""), b, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(b, Rect(5, 5, 5, 5));
}
// External leading only ever adds space: a line drawn at the bottom of a
// rectangle one text height tall keeps its underline in every face.
TEST(GraphicsText, ExternalLeadingNeverShortensALine) {
    for (const char* face : {"", "Tahoma", "Verdana", "Segoe UI", "Arial"}) {
        SCOPED_TRACE(face);
        TBitmap bmp(120, 40);
        TCanvas& c = bmp.Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, 120, 40));
        if (*face) c.Font().SetName(S(face));
        c.Font().SetStyle(TFontStyles{fsUnderline});
        const int h = c.TextHeight(S("gh"));
        TRect calc = Rect(0, 0, 120, 40);
        c.DrawText(S("iiii"), calc, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
        EXPECT_GE(calc.Bottom, h);
        TRect r = Rect(10, 5, 120, 5 + h);
        c.DrawText(S("iiii"), r, DT_SINGLELINE | DT_BOTTOM | DT_EXTERNALLEADING);
        // The underline: a row inked all along the text.
        const int w = c.TextWidth(S("iiii"));
        bool underline = false;
        for (int y = 5; y < 5 + h && !underline; ++y) {
            int run = 0;
            for (int x = 10; x < 10 + w; ++x) run = c.Pixels(x, y) != clWhite ? run + 1 : 0;
            underline = run >= w - 1;
        }
        EXPECT_TRUE(underline);
    }
}
}  // namespace

TEST(GraphicsText, TextRectFillsItsRectangleWithAnOpaqueFlagEvenWithAClearBrush) {
    Page p;
    p.c.SetBkColor(clYellow);
    p.c.TextRect(Rect(10, 10, 60, 30), 12, 12, S("Mid"));
    EXPECT_EQ(p.c.Pixels(58, 28), clWhite) << "a clear brush leaves the ground";
    p.c.SetTextFlags(ETO_OPAQUE);
    EXPECT_EQ(p.c.TextFlags(), ETO_OPAQUE);
    p.c.SetBkColor(clYellow);
    p.c.TextRect(Rect(10, 10, 60, 30), 12, 12, S("Mid"));
    EXPECT_EQ(p.c.Pixels(58, 28), clYellow);
    EXPECT_EQ(p.c.Pixels(60, 28), clWhite);
}

// Right-to-left reading: the neutral full stop after a word goes to its
// reading end, which is the left.
TEST(CanvasText, RightToLeftReadingPutsTrailingPunctuationAtTheLeft) {
    auto LeftmostColumnTop = [](Page& p) {
        const TRect ink = p.Ink();
        for (int y = 0; y < p.bmp.Height(); ++y)
            if (p.c.Pixels(ink.Left, y) != clWhite) return y;
        return -1;
    };
    Page ltr, rtl;
    TRect r{10, 10, 190, 40};
    ltr.c.DrawText(S("HI."), r, DT_SINGLELINE | DT_NOPREFIX);
    rtl.c.DrawText(S("HI."), r, DT_SINGLELINE | DT_NOPREFIX | DT_RTLREADING);
    // Left to right the leftmost ink is the tall H; right to left it is the dot on the baseline.
    EXPECT_LT(LeftmostColumnTop(ltr) + 5, LeftmostColumnTop(rtl));
    EXPECT_NEAR(ltr.Ink().Width(), rtl.Ink().Width(), 1);  // the pair kerns otherwise
}
