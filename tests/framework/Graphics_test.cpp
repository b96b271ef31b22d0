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
