// Pixel rules of the canvas, probed on small bitmaps.

#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A white bitmap of the given size with a black pen and white brush.
struct Sheet {
    TBitmap bmp;
    TCanvas& c;
    explicit Sheet(int w = 20, int h = 20) : bmp(w, h), c(bmp.Canvas()) {}
    // The rows as text: '.' white, '#' the given colour, '?' anything else.
    std::string Rows(TColor ink, TRect area) {
        std::string s;
        for (int y = area.Top; y < area.Bottom; ++y) {
            for (int x = area.Left; x < area.Right; ++x) {
                TColor p = c.Pixels(x, y);
                s += p == clWhite ? '.' : p == ink ? '#' : '?';
            }
            s += '\n';
        }
        return s;
    }
    int Count(TColor ink) {
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                n += c.Pixels(x, y) == ink;
        return n;
    }
};

TEST(GraphicsColors, SystemColoursResolveThroughTheClassicTable) {
    struct Case {
        TColor color;
        TColor rgb;
    } cases[] = {
        {clBtnFace, RGB(212, 208, 200)}, {clBtnShadow, RGB(128, 128, 128)}, {clBtnHighlight, clWhite},
        {cl3DDkShadow, RGB(64, 64, 64)}, {cl3DLight, RGB(212, 208, 200)},   {clWindow, clWhite},
        {clWindowText, clBlack},         {clHighlight, RGB(10, 36, 106)},   {clHighlightText, clWhite},
        {clInfoBk, RGB(255, 255, 225)},  {clGrayText, clGray},              {clSkyBlue, clSkyBlue},
        {clNone, clNone},                {0x123456, 0x123456},
    };
    for (const auto& k : cases)
        EXPECT_EQ(ColorToRGB(k.color), k.rgb) << std::hex << k.color;
    EXPECT_EQ(clBtnFace, static_cast<TColor>(0xFF00000F));
    EXPECT_EQ(cl3DDkShadow, static_cast<TColor>(0xFF000015));
}

TEST(GraphicsFont, SizeAndHeightAt96PixelsPerInch) {
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.Height(), -11);
    f.SetHeight(-13);
    EXPECT_EQ(f.Size(), 10);
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    TFont g;
    g.SetName(S("Verdana"));
    g.SetStyle({fsBold, fsItalic});
    f.Assign(&g);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Name(), S("Verdana"));
    EXPECT_TRUE(f.Style().Contains(fsBold));
    EXPECT_FALSE(f.Style().Contains(fsUnderline));
}

TEST(GraphicsCanvas, RectanglesAreRightAndBottomExclusive) {
    Sheet s(8, 6);
    s.c.Brush().SetColor(clRed);
    s.c.FillRect(Rect(1, 1, 4, 3));
    EXPECT_EQ(s.Rows(clRed, Rect(0, 0, 6, 4)), "......\n.###..\n.###..\n......\n");

    Sheet t(8, 6);
    t.c.Pen().SetColor(clBlue);
    t.c.Brush().SetColor(clBlue);
    t.c.Rectangle(2, 1, 6, 4);
    EXPECT_EQ(t.Rows(clBlue, Rect(0, 0, 8, 5)), "........\n..####..\n..####..\n..####..\n........\n");

    // Outline in the pen, inside in the brush.
    Sheet u(8, 6);
    u.c.Pen().SetColor(clBlack);
    u.c.Brush().SetColor(clRed);
    u.c.Rectangle(0, 0, 5, 4);
    EXPECT_EQ(u.Rows(clBlack, Rect(0, 0, 6, 5)), "#####.\n#???#.\n#???#.\n#####.\n......\n");
    EXPECT_EQ(u.c.Pixels(2, 2), clRed);
}

TEST(GraphicsCanvas, FrameRectIsOnePixelInTheBrushColour) {
    Sheet s(8, 6);
    s.c.Brush().SetColor(clGreen);
    s.c.FrameRect(Rect(1, 1, 6, 5));
    EXPECT_EQ(s.Rows(clGreen, Rect(0, 0, 7, 6)), ".......\n.#####.\n.#...#.\n.#...#.\n.#####.\n.......\n");
}

TEST(GraphicsCanvas, LinesAndPolylinesLeaveOutTheLastPoint) {
    Sheet s(10, 6);
    s.c.MoveTo(1, 1);
    s.c.LineTo(6, 1);
    EXPECT_EQ(s.Rows(clBlack, Rect(0, 1, 8, 2)), ".#####..\n");
    EXPECT_EQ(s.c.PenPos(), Point(6, 1));

    Sheet v(6, 8);
    v.c.MoveTo(2, 5);
    v.c.LineTo(2, 1);  // upward: 5..2 drawn, 1 left out
    EXPECT_EQ(v.Rows(clBlack, Rect(2, 0, 3, 7)), ".\n.\n#\n#\n#\n#\n.\n");

    Sheet p(8, 8);
    p.c.Polyline({Point(1, 1), Point(5, 1), Point(5, 5)});
    EXPECT_EQ(p.Rows(clBlack, Rect(0, 0, 7, 7)),
              ".......\n"
              ".#####.\n"
              ".....#.\n"
              ".....#.\n"
              ".....#.\n"
              ".......\n"
              ".......\n");

    // A diagonal has one pixel per step of the major axis.
    Sheet d(8, 8);
    d.c.MoveTo(0, 0);
    d.c.LineTo(6, 3);
    EXPECT_EQ(d.Count(clBlack), 6);
    EXPECT_EQ(d.c.Pixels(0, 0), clBlack);
    EXPECT_EQ(d.c.Pixels(6, 3), clWhite);
}

// Wide pens: centred, round ends, both ends drawn, the same pixels in either
// direction, and every pixel painted once (an XOR line drawn twice is gone).
TEST(GraphicsCanvas, WidePensAreCentredWithRoundEnds) {
    for (int w : {2, 3, 4, 5}) {
        Sheet f(20, 20), b(20, 20), v(20, 20);
        for (Sheet* s : {&f, &b, &v})
            s->c.Pen().SetWidth(w);
        f.c.MoveTo(4, 9);
        f.c.LineTo(15, 9);
        b.c.MoveTo(15, 9);
        b.c.LineTo(4, 9);
        v.c.MoveTo(9, 4);
        v.c.LineTo(9, 15);
        const TRect all = Rect(0, 0, 20, 20);
        EXPECT_EQ(f.Rows(clBlack, all), b.Rows(clBlack, all)) << w;
        const int top = 9 - w / 2, bottom = 9 + (w - 1) / 2;
        for (int y = 0; y < 20; ++y) {
            EXPECT_EQ(f.c.Pixels(9, y), y >= top && y <= bottom ? clBlack : clWhite) << w << ": row " << y;
            EXPECT_EQ(v.c.Pixels(y, 9), y >= top && y <= bottom ? clBlack : clWhite) << w << ": column " << y;
        }
        // Both ends drawn, and the ends reach as far as the sides.
        EXPECT_EQ(f.c.Pixels(15, 9), clBlack) << w;
        EXPECT_EQ(f.c.Pixels(4 - (w - 1) / 2, 9), clBlack) << w;
        EXPECT_EQ(f.c.Pixels(15 + w / 2, 9), w % 2 ? clBlack : clWhite) << w;
        // Odd widths: the shape is mirror-symmetric about the line.
        for (int d = 1; w % 2 && d <= w / 2; ++d)
            for (int x = 0; x < 20; ++x)
                EXPECT_EQ(f.c.Pixels(x, 9 - d), f.c.Pixels(x, 9 + d)) << w << ": " << x << "," << d;
        Sheet x(20, 20);
        x.c.Pen().SetWidth(w);
        x.c.Pen().SetMode(pmXor);
        x.c.Pen().SetColor(clWhite);
        for (int k = 0; k < 2; ++k)
            x.c.Polyline({Point(3, 3), Point(16, 5), Point(6, 16)});
        EXPECT_EQ(x.Rows(clBlack, all), Sheet(20, 20).Rows(clBlack, all)) << w;
    }
}

TEST(GraphicsCanvas, DrawFocusRectTwiceRestoresThePixels) {
    Sheet s(12, 10);
    s.c.Brush().SetColor(clYellow);
    s.c.FillRect(Rect(0, 0, 6, 10));
    TBitmap before;
    before.Assign(&s.bmp);
    s.c.DrawFocusRect(Rect(2, 2, 10, 8));
    int changed = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            changed += s.c.Pixels(x, y) != before.Canvas().Pixels(x, y);
    EXPECT_GT(changed, 8);
    EXPECT_EQ(s.c.Pixels(5, 5), clYellow);  // inside untouched
    s.c.DrawFocusRect(Rect(2, 2, 10, 8));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(s.c.Pixels(x, y), before.Canvas().Pixels(x, y)) << x << "," << y;
}

}  // namespace

namespace {
TEST(GraphicsText, TextOutDrawsInsideItsCellAndMovesThePen) {
    Sheet s(60, 20);
    s.c.Font().SetColor(clBlack);
    s.c.Brush().SetStyle(bsClear);
    const int w = s.c.TextWidth(S("Hg")), h = s.c.TextHeight(S("Hg"));
    EXPECT_GT(w, 8);
    EXPECT_GE(h, 11);
    s.c.TextOut(2, 3, S("Hg"));
    EXPECT_EQ(s.c.PenPos(), Point(2 + w, 3));
    int inside = 0, outside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            if (s.c.Pixels(x, y) != clWhite)
                (PtInRect(Rect(2, 3, 2 + w, 3 + h), Point(x, y)) ? inside : outside)++;
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0);
}
}  // namespace

namespace {
TEST(GraphicsCanvas, RoundRectStaysInsideItsBoundsWithRoundedCorners) {
    Sheet s(14, 12);
    s.c.Pen().SetColor(clBlack);
    s.c.Brush().SetColor(clRed);
    s.c.RoundRect(1, 1, 11, 9, 6, 6);
    // Edges on the first and last rows and columns of [1,11) x [1,9).
    EXPECT_EQ(s.c.Pixels(6, 1), clBlack);
    EXPECT_EQ(s.c.Pixels(6, 8), clBlack);
    EXPECT_EQ(s.c.Pixels(1, 5), clBlack);
    EXPECT_EQ(s.c.Pixels(10, 5), clBlack);
    EXPECT_EQ(s.c.Pixels(6, 5), clRed);
    // Nothing outside, and the corners are cut.
    for (int x = 0; x < 14; ++x) {
        EXPECT_EQ(s.c.Pixels(x, 0), clWhite);
        EXPECT_EQ(s.c.Pixels(x, 9), clWhite);
    }
    for (int y = 0; y < 12; ++y) {
        EXPECT_EQ(s.c.Pixels(0, y), clWhite);
        EXPECT_EQ(s.c.Pixels(11, y), clWhite);
    }
    EXPECT_EQ(s.c.Pixels(1, 1), clWhite);
    EXPECT_EQ(s.c.Pixels(10, 1), clWhite);
    EXPECT_EQ(s.c.Pixels(1, 8), clWhite);
    EXPECT_EQ(s.c.Pixels(10, 8), clWhite);
}

TEST(GraphicsCanvas, TransparentDrawLeavesTheBottomLeftColourOut) {
    TBitmap glyph(4, 3);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, 4, 3));
    glyph.Canvas().SetPixels(1, 1, clBlue);
    glyph.Canvas().SetPixels(3, 0, clBlack);
    glyph.SetTransparent(true);
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);

    Sheet s(8, 6);
    s.c.Brush().SetColor(clYellow);
    s.c.FillRect(Rect(0, 0, 8, 6));
    s.c.Draw(2, 2, glyph);
    EXPECT_EQ(s.c.Pixels(3, 3), clBlue);
    EXPECT_EQ(s.c.Pixels(5, 2), clBlack);
    EXPECT_EQ(s.c.Pixels(2, 2), clYellow);
    EXPECT_EQ(s.c.Pixels(4, 4), clYellow);

    // Opaque drawing copies every pixel.
    glyph.SetTransparent(false);
    s.c.Draw(2, 2, glyph);
    EXPECT_EQ(s.c.Pixels(2, 2), clFuchsia);

    // A fixed transparent colour replaces the bottom-left rule.
    glyph.SetTransparent(true);
    glyph.SetTransparentColor(clBlue);
    s.c.FillRect(Rect(0, 0, 8, 6));
    s.c.Draw(2, 2, glyph);
    EXPECT_EQ(s.c.Pixels(3, 3), clYellow);
    EXPECT_EQ(s.c.Pixels(2, 2), clFuchsia);
}

TEST(GraphicsCanvas, BrushCopyReplacesOneColourByTheBrush) {
    TBitmap src(3, 2);
    src.Canvas().Brush().SetColor(clWhite);
    src.Canvas().FillRect(Rect(0, 0, 3, 2));
    src.Canvas().SetPixels(0, 0, clRed);
    src.Canvas().SetPixels(2, 1, clBlack);
    Sheet s(6, 4);
    s.c.Brush().SetColor(clGreen);
    s.c.BrushCopy(Rect(1, 1, 4, 3), src, Rect(0, 0, 3, 2), clWhite);
    EXPECT_EQ(s.Rows(clGreen, Rect(0, 0, 5, 4)), ".....\n.?##.\n.##?.\n.....\n");
    EXPECT_EQ(s.c.Pixels(1, 1), clRed);
    EXPECT_EQ(s.c.Pixels(3, 2), clBlack);
}

TEST(GraphicsCanvas, CopyRectModesAndStretching) {
    TBitmap src(2, 1);
    src.Canvas().SetPixels(0, 0, RGB(0xF0, 0x0F, 0x00));
    src.Canvas().SetPixels(1, 0, clBlack);
    struct Case {
        TCopyMode mode;
        TColor dest, expected;  // for the first source pixel
    } cases[] = {
        {cmSrcCopy, clWhite, RGB(0xF0, 0x0F, 0x00)},
        {cmSrcAnd, RGB(0x30, 0xFF, 0xFF), RGB(0x30, 0x0F, 0x00)},
        {cmSrcPaint, RGB(0x0F, 0x00, 0x11), RGB(0xFF, 0x0F, 0x11)},
        {cmSrcInvert, RGB(0xFF, 0xFF, 0x00), RGB(0x0F, 0xF0, 0x00)},
        {cmNotSrcCopy, clWhite, RGB(0x0F, 0xF0, 0xFF)},
        {cmMergePaint, RGB(0xFF, 0xF0, 0x00), RGB(0xFF, 0xF0, 0xFF)},
        {cmBlackness, clWhite, clBlack},
        {cmWhiteness, clBlack, clWhite},
        {cmDstInvert, RGB(1, 2, 3), RGB(254, 253, 252)},
    };
    for (const auto& k : cases) {
        Sheet s(4, 2);
        s.c.SetPixels(0, 0, k.dest);
        s.c.SetCopyMode(k.mode);
        s.c.CopyRect(Rect(0, 0, 1, 1), src.Canvas(), Rect(0, 0, 1, 1));
        EXPECT_EQ(s.c.Pixels(0, 0), k.expected) << std::hex << k.mode;
    }
    // Stretched: each source pixel becomes two.
    Sheet s(4, 2);
    s.c.CopyRect(Rect(0, 0, 4, 1), src.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(s.c.Pixels(1, 0), RGB(0xF0, 0x0F, 0x00));
    EXPECT_EQ(s.c.Pixels(2, 0), clBlack);
    EXPECT_EQ(s.c.Pixels(3, 0), clBlack);
}

TEST(GraphicsCanvas, ClippingWithARegionOfBands) {
    Sheet s(10, 10);
    // Two bands: an L shape of rectangles.
    TRegion a(Rect(1, 1, 4, 9)), b(Rect(1, 6, 9, 9)), l;
    l.Combine(a, b, RGN_OR);
    EXPECT_EQ(l.Rects().size(), 2u);
    s.c.SelectClipRgn(&l);
    s.c.Brush().SetColor(clBlue);
    s.c.FillRect(Rect(0, 0, 10, 10));
    s.c.Pen().SetColor(clBlue);
    s.c.MoveTo(0, 3);
    s.c.LineTo(10, 3);
    EXPECT_EQ(s.c.Pixels(5, 3), -1);  // outside the clip reads as invalid
    EXPECT_EQ(s.c.ClipRect(), Rect(1, 1, 9, 9));
    s.c.SelectClipRgn(nullptr);
    EXPECT_EQ(s.Rows(clBlue, Rect(0, 0, 10, 10)),
              "..........\n"
              ".###......\n"
              ".###......\n"
              ".###......\n"
              ".###......\n"
              ".###......\n"
              ".########.\n"
              ".########.\n"
              ".########.\n"
              "..........\n");

    // Save, narrow, restore; the origin moves rectangles but not regions.
    Sheet t(10, 10);
    int saved = t.c.SaveDC();
    t.c.SetViewportOrg(2, 2);
    t.c.SetBrushOrigin(Point(3, 1));
    t.c.IntersectClipRect(0, 0, 3, 3);  // device 2..4
    t.c.ExcludeClipRect(1, 1, 2, 2);    // device 3,3
    t.c.Brush().SetColor(clRed);
    t.c.FillRect(Rect(-2, -2, 8, 8));
    t.c.RestoreDC(saved);
    EXPECT_EQ(t.c.ViewportOrg(), Point(0, 0));
    EXPECT_EQ(t.c.BrushOrigin(), Point(0, 0));
    t.c.Brush().SetColor(clBlue);
    t.c.FillRect(Rect(6, 6, 7, 7));
    EXPECT_EQ(t.Rows(clRed, Rect(1, 1, 6, 6)), ".....\n.###.\n.#.#.\n.###.\n.....\n");
    EXPECT_EQ(t.c.Pixels(6, 6), clBlue);
}

TEST(GraphicsCanvas, FloodFillBorderAndSurface) {
    Sheet s(10, 10);
    s.c.Brush().SetStyle(bsClear);
    s.c.Rectangle(1, 1, 8, 8);
    s.c.Brush().SetColor(clRed);
    s.c.FloodFill(4, 4, clBlack, fsBorder);
    EXPECT_EQ(s.c.Pixels(4, 4), clRed);
    EXPECT_EQ(s.c.Pixels(2, 6), clRed);
    EXPECT_EQ(s.c.Pixels(1, 1), clBlack);
    EXPECT_EQ(s.c.Pixels(0, 0), clWhite);
    s.c.Brush().SetColor(clGreen);
    s.c.FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(s.c.Pixels(9, 9), clGreen);
    EXPECT_EQ(s.c.Pixels(4, 4), clRed);
}

TEST(GraphicsCanvas, DottedPenStartsItsPatternAtTheFirstPoint) {
    Sheet s(16, 3);
    s.c.Brush().SetStyle(bsClear);  // transparent gaps
    s.c.Pen().SetStyle(psDot);
    s.c.MoveTo(0, 1);
    s.c.LineTo(14, 1);
    EXPECT_EQ(s.Rows(clBlack, Rect(0, 1, 16, 2)), "###...###...##..\n");
    // XOR pen twice restores.
    s.c.Pen().SetStyle(psSolid);
    s.c.Pen().SetMode(pmXor);
    s.c.Pen().SetColor(clWhite);
    s.c.MoveTo(0, 2);
    s.c.LineTo(5, 2);
    EXPECT_EQ(s.c.Pixels(2, 2), clBlack);
    s.c.MoveTo(0, 2);
    s.c.LineTo(5, 2);
    EXPECT_EQ(s.c.Pixels(2, 2), clWhite);
}

TEST(GraphicsCanvas, DrawEdgeRaisedAndSunkenInTheSystemColours) {
    Sheet s(8, 8);
    TRect r = Rect(0, 0, 8, 8);
    s.c.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 6, 6));
    EXPECT_EQ(s.c.Pixels(0, 3), ColorToRGB(cl3DLight));
    EXPECT_EQ(s.c.Pixels(1, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.c.Pixels(7, 3), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(s.c.Pixels(6, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.c.Pixels(7, 0), ColorToRGB(cl3DDkShadow));  // far corners are dark
    EXPECT_EQ(s.c.Pixels(0, 7), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(s.c.Pixels(3, 3), clWhite);
    TRect q = Rect(0, 0, 8, 8);
    s.c.DrawEdge(q, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(s.c.Pixels(0, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.c.Pixels(1, 3), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(s.c.Pixels(7, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.c.Pixels(3, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(q, Rect(0, 0, 8, 8));
}
}  // namespace

namespace {
TEST(GraphicsCanvas, PatternBrushTilesFromTheBrushOrigin) {
    TBitmap dots(2, 2);  // monochrome checker: black pixels take the font colour
    dots.SetPixelFormat(pf1bit);
    dots.Canvas().Brush().SetColor(clWhite);
    dots.Canvas().FillRect(Rect(0, 0, 2, 2));
    dots.Canvas().SetPixels(0, 0, clBlack);
    dots.Canvas().SetPixels(1, 1, clBlack);
    Sheet s(6, 3);
    s.c.Font().SetColor(clRed);
    s.c.Brush().SetBitmap(&dots);
    s.c.SetBkColor(clWhite);
    s.c.FillRect(Rect(0, 0, 6, 1));
    s.c.SetBrushOrigin(Point(1, 0));
    s.c.FillRect(Rect(0, 1, 6, 2));
    EXPECT_EQ(s.Rows(clRed, Rect(0, 0, 6, 2)), "#.#.#.\n#.#.#.\n");
    s.c.Brush().SetBitmap(nullptr);
    s.c.Brush().SetColor(clBlue);
    s.c.FillRect(Rect(0, 2, 6, 3));
    EXPECT_EQ(s.c.Pixels(3, 2), clBlue);
}

TEST(GraphicsCanvas, PictureFollowsItsGraphicsChanges) {
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    pic.Bitmap().SetSize(4, 4);
    EXPECT_GE(changes, 2);
    const int before = changes;
    pic.Bitmap().Canvas().SetPixels(1, 1, clRed);
    EXPECT_GT(changes, before);
    EXPECT_EQ(pic.Width(), 4);
}
}  // namespace

namespace {
TEST(GraphicsCanvas, CurvedShapesFillTheirBoundingBoxExactly) {
    struct Case {
        const char* name;
        int kind;  // 0 ellipse, 1 round rectangle, 2 pie (full circle), 3 chord (upper half)
        TRect box;
    } cases[] = {
        {"circle", 0, Rect(2, 2, 12, 12)},   {"ellipse", 0, Rect(1, 3, 18, 10)}, {"round", 1, Rect(0, 0, 20, 13)},
        {"pie", 2, Rect(3, 1, 15, 13)},       {"odd", 0, Rect(4, 4, 9, 11)},
    };
    for (const auto& k : cases) {
        Sheet s(22, 16);
        s.c.Pen().SetColor(clBlack);
        s.c.Brush().SetColor(clRed);
        const TRect& b = k.box;
        switch (k.kind) {
        case 0: s.c.Ellipse(b); break;
        case 1: s.c.RoundRect(b.Left, b.Top, b.Right, b.Bottom, 10, 10); break;
        default: s.c.Pie(b.Left, b.Top, b.Right, b.Bottom, b.Right, b.Top + b.Height() / 2, b.Left, b.Top); break;
        }
        TRect ink{100, 100, -1, -1};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 22; ++x)
                if (s.c.Pixels(x, y) != clWhite) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        if (k.kind == 2) {
            // A quarter from 3 o'clock counter-clockwise to the top-left corner's ray: upper right.
            EXPECT_LE(ink.Right, b.Right) << k.name;
            EXPECT_GE(ink.Right, b.Right - 1) << k.name;
            EXPECT_EQ(ink.Top, b.Top) << k.name;
            EXPECT_GE(ink.Left, b.Left) << k.name;
            EXPECT_LE(ink.Bottom, b.Top + b.Height() / 2 + 1) << k.name;
            continue;
        }
        EXPECT_EQ(ink, b) << k.name;
        EXPECT_EQ(s.c.Pixels((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2), clRed) << k.name;
    }
    // Diamond of csDiamond and small arrow: the polygon outline includes every corner.
    Sheet t(12, 8);
    t.c.Brush().SetColor(clBlack);
    t.c.Polygon({Point(2, 1), Point(8, 1), Point(5, 4)});
    EXPECT_EQ(t.Rows(clBlack, Rect(0, 0, 10, 6)), "..........\n..#######.\n...#####..\n....###...\n.....#....\n..........\n");
}
}  // namespace

namespace {
// A convex polygon's fill stays inside its outline and leaves no gap to it,
// whichever way the edges run.
TEST(GraphicsCanvas, PolygonFillMeetsItsOutlineExactly) {
    const std::vector<std::vector<TPoint>> polygons = {
        {{2, 2}, {17, 5}, {6, 17}},           {{10, 1}, {18, 10}, {10, 18}, {1, 10}}, {{1, 1}, {18, 3}, {3, 18}},
        {{18, 1}, {1, 9}, {18, 18}},          {{3, 1}, {15, 1}, {9, 18}},             {{1, 18}, {9, 1}, {17, 18}},
        {{18, 18}, {1, 14}, {4, 2}, {16, 1}},
    };
    for (size_t i = 0; i < polygons.size(); ++i) {
        Sheet s(20, 20);
        s.c.Brush().SetColor(clRed);
        s.c.Polygon(polygons[i]);
        for (int y = 0; y < 20; ++y) {
            int l = 99, r = -1;
            for (int x = 0; x < 20; ++x)
                if (s.c.Pixels(x, y) == clBlack)
                    l = std::min(l, x), r = std::max(r, x);
            for (int x = 0; x < 20; ++x) {
                const TColor p = s.c.Pixels(x, y);
                const TColor want = x < l || x > r ? clWhite : p == clBlack ? clBlack : clRed;
                EXPECT_EQ(p, want) << "polygon " << i << " at " << x << "," << y;
            }
        }
    }
}
}  // namespace

namespace {
// Ellipses and rounded corners are mirror-symmetric, small ones stay round,
// and a corner as large as the box is the ellipse itself.
TEST(GraphicsCanvas, EllipsesAndRoundedCornersAreSymmetric) {
    struct Case {
        int w, h, cw, ch;  // box size; corner ellipse (0: an Ellipse)
    } cases[] = {{4, 4, 0, 0}, {5, 5, 0, 0}, {10, 10, 0, 0}, {13, 7, 0, 0}, {14, 9, 4, 4},
                 {15, 12, 6, 6}, {16, 11, 10, 10}, {9, 14, 5, 8}};
    for (const auto& k : cases) {
        Sheet s(18, 16);
        s.c.Brush().SetColor(clRed);
        if (k.cw == 0)
            s.c.Ellipse(1, 1, 1 + k.w, 1 + k.h);
        else
            s.c.RoundRect(1, 1, 1 + k.w, 1 + k.h, k.cw, k.ch);
        for (int y = 0; y < k.h; ++y)
            for (int x = 0; x < k.w; ++x) {
                const TColor p = s.c.Pixels(1 + x, 1 + y);
                EXPECT_EQ(p, s.c.Pixels(k.w - x, 1 + y)) << k.w << "x" << k.h << " at " << x << "," << y;
                EXPECT_EQ(p, s.c.Pixels(1 + x, k.h - y)) << k.w << "x" << k.h << " at " << x << "," << y;
            }
        EXPECT_EQ(s.c.Pixels(1, 1), clWhite) << k.w << "x" << k.h << ": the corner is cut";
        EXPECT_EQ(s.c.Pixels(1 + k.w / 2, 1), clBlack) << k.w << "x" << k.h;
        EXPECT_EQ(s.c.Pixels(1 + k.w / 2, 1 + k.h / 2), clRed) << k.w << "x" << k.h;
    }
    // Shapes far larger than the surface cost only what shows.
    for (int kind = 0; kind < 3; ++kind) {
        Sheet big(20, 20);
        big.c.Brush().SetColor(clRed);
        const int n = 1 << 28;
        if (kind == 0)
            big.c.Ellipse(-n, -n, n, n);
        else if (kind == 1)
            big.c.RoundRect(-n, -n, n, n, n, n);
        else
            big.c.Pie(-n, -n, n, n, n, 0, n, 0);
        EXPECT_EQ(big.c.Pixels(10, 10), clRed) << kind;
    }
    Sheet e(16, 12), r(16, 12);
    e.c.Ellipse(2, 1, 15, 10);
    r.c.RoundRect(2, 1, 15, 10, 13, 9);
    EXPECT_EQ(r.Rows(clBlack, Rect(0, 0, 16, 12)), e.Rows(clBlack, Rect(0, 0, 16, 12)));
}
}  // namespace

namespace {
// Arcs, pies and chords share the ellipse's pixels: a full arc is the
// ellipse's outline, and every part stays on the side its rays choose.
TEST(GraphicsCanvas, ArcsPiesAndChordsFollowTheEllipseOfTheirBox) {
    for (TRect b : {Rect(1, 1, 11, 11), Rect(2, 1, 15, 8), Rect(0, 0, 7, 12), Rect(3, 2, 14, 15)}) {
        Sheet e(16, 16), a(16, 16);
        e.c.Brush().SetStyle(bsClear);
        e.c.Ellipse(b);
        const int cy = (b.Top + b.Bottom) / 2;
        a.c.Arc(b.Left, b.Top, b.Right, b.Bottom, b.Right, cy, b.Right, cy);
        const TRect all = Rect(0, 0, 16, 16);
        EXPECT_EQ(a.Rows(clBlack, all), e.Rows(clBlack, all)) << b.Left << "," << b.Top;

        // The upper half: from 3 o'clock counter-clockwise to 9 o'clock.
        Sheet h(16, 16);
        h.c.Arc(b.Left, b.Top, b.Right, b.Bottom, b.Right, cy, b.Left - 1, cy);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const TColor want = e.c.Pixels(x, y) == clBlack && 2 * y <= b.Top + b.Bottom - 1 ? clBlack : clWhite;
                if (2 * y != b.Top + b.Bottom - 1) {  // the row through the centre may go either way
                    EXPECT_EQ(h.c.Pixels(x, y), want) << x << "," << y;
                }
            }

        // Pie and chord of the lower half: nothing above the centre row, the bottom reached.
        for (int kind = 0; kind < 2; ++kind) {
            Sheet p(16, 16);
            p.c.Brush().SetColor(clRed);
            if (kind == 0)
                p.c.Pie(b.Left, b.Top, b.Right, b.Bottom, b.Left - 1, cy, b.Right, cy);
            else
                p.c.Chord(b.Left, b.Top, b.Right, b.Bottom, b.Left - 1, cy, b.Right, cy);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (p.c.Pixels(x, y) != clWhite) {
                        EXPECT_TRUE(PtInRect(b, Point(x, y))) << kind << ": " << x << "," << y;
                        EXPECT_GE(2 * y + 1, b.Top + b.Bottom - 1) << kind << ": " << x << "," << y;
                    }
            EXPECT_EQ(p.c.Pixels((b.Left + b.Right) / 2, b.Bottom - 1), clBlack) << kind;
            EXPECT_EQ(p.c.Pixels((b.Left + b.Right) / 2, b.Bottom - 3), clRed) << kind;
        }
    }
}
}  // namespace

namespace {
TEST(GraphicsCanvas, MasksThroughMonochromeBitmapsFollowTheClassicConversion) {
    // The classic transparent copy: a mask from the transparent colour, then
    // the image ANDed with the inverted mask, and so on.
    TBitmap image(3, 1);
    image.Canvas().SetPixels(0, 0, clFuchsia);
    image.Canvas().SetPixels(1, 0, clBlue);
    image.Canvas().SetPixels(2, 0, clFuchsia);
    TBitmap mask(3, 1);
    mask.SetMonochrome(true);
    image.Canvas().Brush().SetColor(clFuchsia);  // the source background: becomes white
    mask.Canvas().CopyRect(Rect(0, 0, 3, 1), image.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(mask.Canvas().Pixels(0, 0), clWhite);
    EXPECT_EQ(mask.Canvas().Pixels(1, 0), clBlack);
    // Colours drawn on a monochrome bitmap become black or white.
    mask.Canvas().SetPixels(2, 0, clYellow);
    EXPECT_EQ(mask.Canvas().Pixels(2, 0), clWhite);
    // From monochrome to colour: black takes the text colour, white the background.
    Sheet s(4, 2);
    s.c.Font().SetColor(clRed);
    s.c.Brush().SetColor(clGreen);
    s.c.CopyRect(Rect(0, 0, 3, 1), mask.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(s.c.Pixels(0, 0), clGreen);
    EXPECT_EQ(s.c.Pixels(1, 0), clRed);
    // The transparent draw with the mask: background kept where the mask is white.
    Sheet t(4, 2);
    t.c.Brush().SetColor(clYellow);
    t.c.FillRect(Rect(0, 0, 4, 2));
    t.c.Font().SetColor(clBlack);
    t.c.Brush().SetColor(clWhite);
    t.c.SetCopyMode(cmSrcAnd);
    t.c.CopyRect(Rect(0, 0, 3, 1), mask.Canvas(), Rect(0, 0, 3, 1));  // hole where the image is
    image.Canvas().Brush().SetColor(clBlack);
    image.Canvas().SetPixels(0, 0, clBlack);
    image.Canvas().SetPixels(2, 0, clBlack);
    t.c.SetCopyMode(cmSrcPaint);
    t.c.CopyRect(Rect(0, 0, 3, 1), image.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(t.c.Pixels(0, 0), clYellow);
    EXPECT_EQ(t.c.Pixels(1, 0), clBlue);
}
}  // namespace

