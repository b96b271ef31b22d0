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
