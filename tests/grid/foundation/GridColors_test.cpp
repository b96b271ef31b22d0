#include "grid/foundation/GridColors.h"

#include "framework/Resources.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A bitmap filled with one colour, to paint on and probe.
struct Surface {
    TBitmap bmp;
    Surface(int w, int h, TColor fill = clWhite) : bmp(w, h) {
        bmp.Canvas().Brush().SetColor(fill);
        bmp.Canvas().FillRect(Rect(0, 0, w, h));
    }
    TCanvas& C() { return bmp.Canvas(); }
    TColor At(int x, int y) { return bmp.Canvas().Pixels(x, y); }
};

TEST(GridColors, ChannelArithmetic) {
    struct Case {
        TColor got, want;
    } cases[] = {
        {HalveColor(clWhite), RGB(127, 127, 127)},
        {HalveColor(clBtnFace), HalveColor(ColorToRGB(clBtnFace))},  // system colours resolve first
        {AdjustColorPercent(RGB(240, 200, 10), 7), RGB(255, 214, 11)},  // 256.8 holds at 255
        {AdjustColorPercent(RGB(200, 0, 100), -20), RGB(160, 0, 80)},
        {AdjustColorPercent(RGB(10, 10, 10), -200), RGB(0, 0, 0)},
        {InterpolateColor(RGB(0, 100, 200), RGB(100, 200, 0), 0, 10, 0), RGB(0, 100, 200)},
        {InterpolateColor(RGB(0, 100, 200), RGB(100, 200, 0), 0, 10, 10), RGB(100, 200, 0)},
        {InterpolateColor(RGB(0, 100, 200), RGB(100, 200, 0), 0, 10, 5), RGB(50, 150, 100)},
        // Position counts from 0, not from RangeStart.
        {InterpolateColor(RGB(0, 0, 0), RGB(100, 0, 0), 10, 20, 5), RGB(50, 0, 0)},
        {InterpolateColor(clBtnFace, clNone, 0, 10, 5), clBtnFace},
        {InterpolateColor(RGB(1, 2, 3), RGB(9, 9, 9), 4, 4, 2), RGB(1, 2, 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << std::hex << c.want;
    EXPECT_EQ(ColorToHTMLHex(RGB(0x11, 0x22, 0x33)), u"112233");
    EXPECT_EQ(ColorToHTMLHex(RGB(0xAB, 0x0C, 0xFF)), u"AB0CFF");
}

TEST(GridColors, GradientBandsEndOnTheTargetColour) {
    // 16 steps over 10 pixels: one band per pixel, the last exactly ToColor.
    Surface s(10, 4);
    DrawGradient(s.C(), RGB(0, 0, 0), RGB(90, 0, 180), 16, Rect(0, 0, 10, 4), true);
    std::set<TColor> seen;
    for (int x = 0; x < 10; ++x) seen.insert(s.At(x, 2));
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(s.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(s.At(9, 3), RGB(90, 0, 180));
    EXPECT_EQ(s.At(5, 1), RGB(50, 0, 100));

    // Steps 0 becomes 1: two bands, the second only at the far edge.
    Surface z(10, 4);
    DrawGradient(z.C(), clRed, clBlue, 0, Rect(0, 0, 10, 4), true);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(z.At(x, 1), clRed) << x;
    EXPECT_EQ(z.At(9, 1), clBlue);

    // Vertical, with Top and Bottom swapped: the rectangle is normalised.
    Surface v(4, 10);
    DrawGradient(v.C(), clRed, clBlue, -3, Rect(0, 10, 4, 0), false);
    EXPECT_EQ(v.At(1, 0), clRed);
    EXPECT_EQ(v.At(1, 9), clBlue);

    // An empty height draws nothing.
    Surface e(4, 4);
    DrawGradient(e.C(), clRed, clBlue, 8, Rect(0, 2, 4, 2), true);
    EXPECT_EQ(e.At(1, 2), clWhite);
}

TEST(GridColors, GradientWithoutAColourFillsPlainly) {
    Surface s(6, 6);
    DrawGradient(s.C(), clNone, clRed, 8, Rect(1, 1, 5, 5), true);
    EXPECT_EQ(s.At(1, 1), clRed);
    EXPECT_EQ(s.At(4, 4), clRed);
    EXPECT_EQ(s.At(5, 5), clWhite);
    Surface t(6, 6);
    DrawGradient(t.C(), clGreen, clNone, 8, Rect(0, 0, 6, 6), false);
    EXPECT_EQ(t.At(3, 5), clGreen);
    // Both clNone: the brush draws nothing.
    Surface n(6, 6);
    DrawGradient(n.C(), clNone, clNone, 8, Rect(0, 0, 6, 6), false);
    EXPECT_EQ(n.At(3, 3), clWhite);
}

TEST(GridColors, MirrorGradientFillsTwoHalvesThenTheBorder) {
    Surface s(8, 20);
    DrawMirrorGradient(s.C(), Rect(0, 0, 8, 20), clRed, clRed, clBlue, clBlue, true, clNone, false, true);
    EXPECT_EQ(s.At(4, 0), clRed);
    EXPECT_EQ(s.At(4, 9), clRed);
    EXPECT_EQ(s.At(4, 10), clBlue);
    EXPECT_EQ(s.At(4, 19), clBlue);

    // Horizontal split when not vertical.
    Surface h(20, 4);
    DrawMirrorGradient(h.C(), Rect(0, 0, 20, 4), clRed, clRed, clBlue, clBlue, false, clNone, false, true);
    EXPECT_EQ(h.At(9, 2), clRed);
    EXPECT_EQ(h.At(10, 2), clBlue);

    // The plain fill and its frame reach one pixel below the rectangle.
    Surface p(10, 10);
    DrawMirrorGradient(p.C(), Rect(1, 1, 9, 8), clYellow, clNone, clNone, clNone, true, clBlack, false, true);
    EXPECT_EQ(p.At(4, 8), clBlack);
    EXPECT_EQ(p.At(4, 7), clYellow);
    EXPECT_EQ(p.At(4, 9), clWhite);

    // No fill: only the border, as two side lines.
    Surface b(10, 10);
    DrawMirrorGradient(b.C(), Rect(1, 1, 9, 9), clYellow, clNone, clNone, clNone, true, clBlack, true, false);
    EXPECT_EQ(b.At(1, 4), clBlack);
    EXPECT_EQ(b.At(8, 4), clBlack);
    EXPECT_EQ(b.At(4, 1), clWhite);
    EXPECT_EQ(b.At(4, 4), clWhite);
}

TEST(GridColors, StyledSelectionEndsFollowTheSide) {
    const TColor fill = RGB(10, 20, 30), top = RGB(1, 1, 1), bottom = RGB(2, 2, 2), border = RGB(3, 3, 3),
                 edge = RGB(4, 4, 4), back = RGB(5, 5, 5);
    // Rect (0,0,20,12): L 0, T 0, R 19, B 10.
    struct Case {
        int side;
        TColor topLeft, leftEdge, rightEdge, topRight;
    } cases[] = {
        {0, back, edge, edge, back},
        {1, back, edge, border, border},
        {2, border, border, edge, back},
        {3, border, border, border, border},
    };
    for (const Case& c : cases) {
        Surface s(20, 12);
        DrawStyledSelection(s.C(), fill, clNone, clNone, clNone, top, bottom, border, edge, back, Rect(0, 0, 20, 12),
                            c.side);
        SCOPED_TRACE(c.side);
        EXPECT_EQ(s.At(0, 0), c.topLeft);
        EXPECT_EQ(s.At(1, 0), c.leftEdge);
        EXPECT_EQ(s.At(17, 0), c.rightEdge);
        EXPECT_EQ(s.At(18, 0), c.topRight);
        EXPECT_EQ(s.At(8, 5), fill);
        EXPECT_EQ(s.At(8, 10), border);  // bottom border line
    }
    // Two-part fill: upper half and lower half of the inner rectangle.
    Surface m(20, 22);
    DrawStyledSelection(m.C(), clRed, clRed, clBlue, clBlue, top, bottom, border, edge, back, Rect(0, 0, 20, 22), 0);
    EXPECT_EQ(m.At(8, 3), clRed);
    EXPECT_EQ(m.At(8, 17), clBlue);
}

TEST(GridColors, TransparentBitmapTakesTheBackgroundForItsCornerColour) {
    TBitmap glyph(3, 3);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, 3, 3));
    glyph.Canvas().SetPixels(1, 1, clBlack);
    RegisterBitmapResource(u"GRIDCOLORS_TEST_GLYPH", [](TBitmap& b) {
        b.SetSize(3, 3);
        b.Canvas().Brush().SetColor(clFuchsia);
        b.Canvas().FillRect(Rect(0, 0, 3, 3));
        b.Canvas().SetPixels(2, 2, clBlack);
    });
    Surface s(8, 8);
    DrawBitmapTransparent(s.C(), glyph, clYellow, Rect(2, 2, 8, 8));
    EXPECT_EQ(s.At(2, 2), clYellow);
    EXPECT_EQ(s.At(3, 3), clBlack);
    EXPECT_EQ(s.At(5, 5), clWhite);  // the rest of the rectangle is untouched
    Surface r(8, 8);
    DrawResourceBitmapTransparent(r.C(), clAqua, Rect(0, 0, 8, 8), u"GRIDCOLORS_TEST_GLYPH");
    EXPECT_EQ(r.At(0, 0), clAqua);
    EXPECT_EQ(r.At(2, 2), clBlack);
}

}  // namespace
