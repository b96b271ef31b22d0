// The low-metric mapping mode: tenths of a millimetre, y up.

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The bounding box of the pixels of one colour, in pixels.
TRect InkBox(TBitmap& bmp, TColor ink) {
    TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    TCanvas& c = bmp.Canvas();
    const int mode = c.SetMapMode(MM_TEXT);
    const TPoint org = c.ViewportOrg();
    c.SetViewportOrg(0, 0);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (c.Pixels(x, y) == ink) box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                              std::max(box.Bottom, y + 1)};
    c.SetViewportOrg(org.X, org.Y);
    c.SetMapMode(mode);
    return box;
}

}  // namespace

TEST(CanvasMapping, AnInchOfTenthsOfAMillimetreFillsAnInchOfPixels) {
    struct Case {
        int dpi;
        TPoint origin;
        TRect logical;
        TRect pixels;
    } cases[] = {
        {96, {0, 0}, {0, 0, 254, -254}, {0, 0, 96, 96}},        // y grows upwards: the inch below the origin
        {96, {10, 150}, {0, 0, 254, 254}, {10, 54, 106, 150}},  // the inch above a moved origin
        {96, {0, 0}, {127, -127, 254, -254}, {48, 48, 96, 96}},
        {300, {0, 0}, {0, 0, 254, -254}, {0, 0, 300, 300}},    // a printer's resolution
    };
    for (const Case& k : cases) {
        TBitmap bmp(320, 320);
        TCanvas& c = bmp.Canvas();
        c.SetPixelsPerInch(k.dpi);
        EXPECT_EQ(c.SetMapMode(MM_LOMETRIC), MM_TEXT);
        c.SetViewportOrg(k.origin.X, k.origin.Y);
        c.Brush().SetColor(clRed);
        c.FillRect(k.logical);
        const TRect box = InkBox(bmp, clRed);
        EXPECT_EQ(box.Left, k.pixels.Left) << k.dpi;
        EXPECT_EQ(box.Top, k.pixels.Top) << k.dpi;
        EXPECT_EQ(box.Right, k.pixels.Right) << k.dpi;
        EXPECT_EQ(box.Bottom, k.pixels.Bottom) << k.dpi;
    }
}

TEST(CanvasMapping, PointsClipPenFontAndSavedStateFollowTheMode) {
    TBitmap bmp(200, 200);
    TCanvas& c = bmp.Canvas();
    c.SetMapMode(MM_LOMETRIC);
    c.SetViewportOrg(0, 100);

    TPoint p[3] = {{254, 254}, {0, -127}, {-10, 0}};
    c.LPtoDP(p, 3);
    EXPECT_EQ(p[0], (TPoint{96, 4}));
    EXPECT_EQ(p[1], (TPoint{0, 148}));
    EXPECT_EQ(p[2], (TPoint{-4, 100}));
    TPoint q[1] = {{96, 4}};
    c.DPtoLP(q, 1);
    EXPECT_EQ(q[0], (TPoint{254, 254}));

    EXPECT_EQ(c.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(c.GetDeviceCaps(HORZRES), 200);
    EXPECT_EQ(c.GetDeviceCaps(HORZSIZE), 53);  // 200 pixels at 96 dpi: 52.9 mm

    // The clip is given and read back in tenths of a millimetre.
    c.SaveDC();
    c.IntersectClipRect(0, 0, 127, 127);
    const TRect clip = c.ClipRect();
    EXPECT_EQ(clip.Left, 0);
    EXPECT_EQ(clip.Top, 127);
    EXPECT_EQ(clip.Right, 127);
    EXPECT_EQ(clip.Bottom, 0);
    c.Brush().SetColor(clBlue);
    c.FillRect({-500, 500, 500, -500});
    const TRect blue = InkBox(bmp, clBlue);
    EXPECT_EQ(blue.Left, 0);
    EXPECT_EQ(blue.Top, 52);
    EXPECT_EQ(blue.Right, 48);
    EXPECT_EQ(blue.Bottom, 100);
    c.SetMapMode(MM_TEXT);
    c.RestoreDC(-1);
    EXPECT_EQ(c.MapMode(), MM_LOMETRIC);  // kept by SaveDC

    // A 5.3 mm pen draws a line 20 pixels thick.
    c.Pen().SetColor(clGreen);
    c.Pen().SetWidth(53);
    c.MoveTo(0, -200);
    c.LineTo(400, -200);
    EXPECT_EQ(c.PenPos(), (TPoint{400, -200}));
    const TRect green = InkBox(bmp, clGreen);
    EXPECT_EQ(green.Bottom - green.Top, 20);
    EXPECT_EQ(c.Pen().Width(), 53);

    // A 1 cm font measures as a 38-pixel font does, in tenths of a millimetre.
    c.Font().SetHeight(-100);
    const int logical = c.TextHeight(u"Ag");
    c.SetMapMode(MM_TEXT);
    c.Font().SetHeight(-38);
    EXPECT_EQ(logical, MulDiv(c.TextHeight(u"Ag"), 254, 96));
    EXPECT_EQ(c.SetMapMode(12345), 0);
    EXPECT_EQ(c.MapMode(), MM_TEXT);
}

// ---------------------------------------------------------------------------
// The right-to-left layout: the canvas mirrored about its width.

namespace {

// The ink box in device pixels, whatever layout the canvas has.
TRect DeviceInkBox(TBitmap& bmp, TColor ink) {
    const Cardinal layout = bmp.Canvas().SetLayout(0);
    const TRect box = InkBox(bmp, ink);
    bmp.Canvas().SetLayout(layout);
    return box;
}

}  // namespace

TEST(CanvasMirror, ShapesLieMirroredAboutTheWidthWithLinesOnePixelRightOfTheirRectangles) {
    TBitmap bmp(100, 40);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect({0, 0, 100, 40});
    EXPECT_EQ(c.SetLayout(LAYOUT_RTL), 0u);
    EXPECT_EQ(c.Layout(), LAYOUT_RTL);

    c.Brush().SetColor(clRed);
    c.FillRect({10, 0, 30, 10});
    EXPECT_EQ(DeviceInkBox(bmp, clRed), (TRect{70, 0, 90, 10}));

    // A one-pixel line at x = 30 runs along device column 70, the rectangle's first device column.
    c.Pen().SetColor(clBlue);
    c.MoveTo(30, 12);
    c.LineTo(30, 20);
    EXPECT_EQ(DeviceInkBox(bmp, clBlue), (TRect{70, 12, 71, 20}));

    // Pixels are one-pixel rectangles; reading goes the same way as writing.
    c.SetPixels(5, 30, clLime);
    EXPECT_EQ(DeviceInkBox(bmp, clLime), (TRect{94, 30, 95, 31}));
    EXPECT_EQ(c.Pixels(5, 30), clLime);

    // The clip is logical too and reads back in order.
    c.SaveDC();
    c.IntersectClipRect(40, 22, 50, 28);
    EXPECT_EQ(c.ClipRect(), (TRect{40, 22, 50, 28}));
    c.Brush().SetColor(clGreen);
    c.FillRect({0, 0, 100, 40});
    EXPECT_EQ(DeviceInkBox(bmp, clGreen), (TRect{50, 22, 60, 28}));
    c.SetLayout(0);
    c.RestoreDC(-1);
    EXPECT_EQ(c.Layout(), LAYOUT_RTL);  // kept by SaveDC
    TPoint p[1] = {{10, 5}};
    c.LPtoDP(p, 1);
    EXPECT_EQ(p[0], (TPoint{90, 5}));
    c.DPtoLP(p, 1);
    EXPECT_EQ(p[0], (TPoint{10, 5}));
}

TEST(CanvasMirror, TextsAndPicturesKeepTheirOrientationAtTheMirroredPlace) {
    TBitmap bmp(200, 60);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect({0, 0, 200, 60});
    c.Font().SetHeight(-14);
    c.Font().SetColor(clBlack);
    const int w = c.TextWidth(u"Mirror");
    c.SetLayout(LAYOUT_RTL);
    c.Brush().SetStyle(bsClear);

    // A text at x ends at W - x.
    c.TextOut(20, 0, u"Mirror");
    TRect ink = DeviceInkBox(bmp, clBlack);
    EXPECT_LE(ink.Right, 180);
    EXPECT_GE(ink.Right, 180 - 3);
    EXPECT_GE(ink.Left, 180 - w);

    // The same text unmirrored at the device place looks alike pixel for pixel.
    TBitmap plain(200, 60);
    plain.Canvas().Brush().SetColor(clWhite);
    plain.Canvas().FillRect({0, 0, 200, 60});
    plain.Canvas().Font().SetHeight(-14);
    plain.Canvas().Brush().SetStyle(bsClear);
    plain.Canvas().TextOut(180 - w, 0, u"Mirror");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ((c.SetLayout(0), c.Pixels(x, y)),
                      plain.Canvas().Pixels(x, y))
                << x << "," << y;
    c.SetLayout(LAYOUT_RTL);

    // Left-justified DrawText stands at the rectangle's device right, right-justified at its device left.
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clWhite);
    c.FillRect({0, 0, 200, 60});
    c.Brush().SetStyle(bsClear);
    TRect r{20, 20, 120, 40};  // device 80..180
    c.DrawText(u"Mirror", r, DT_SINGLELINE | DT_NOPREFIX);
    ink = DeviceInkBox(bmp, clBlack);
    EXPECT_GE(ink.Right, 180 - 3);
    EXPECT_LE(ink.Right, 180);
    c.Brush().SetStyle(bsSolid);
    c.FillRect({0, 0, 200, 60});
    c.Brush().SetStyle(bsClear);
    c.DrawText(u"Mirror", r, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
    ink = DeviceInkBox(bmp, clBlack);
    EXPECT_GE(ink.Left, 80);
    EXPECT_LE(ink.Left, 80 + 3);
    // Measuring keeps the logical left edge.
    TRect m{20, 20, 120, 40};
    c.DrawText(u"Mirror", m, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(m.Left, 20);
    EXPECT_EQ(m.Right, 20 + w);

    // A picture lands at the mirrored place with its left column still at its left.
    TBitmap pic(8, 4);
    pic.Canvas().Brush().SetColor(clRed);
    pic.Canvas().FillRect({0, 0, 4, 4});
    pic.Canvas().Brush().SetColor(clBlue);
    pic.Canvas().FillRect({4, 0, 8, 4});
    c.Brush().SetStyle(bsSolid);
    c.FillRect({0, 0, 200, 60});
    c.Draw(10, 50, pic);
    EXPECT_EQ(DeviceInkBox(bmp, clRed), (TRect{182, 50, 186, 54}));
    EXPECT_EQ(DeviceInkBox(bmp, clBlue), (TRect{186, 50, 190, 54}));
}
