// Image lists and the program's resources.

#include "framework/ImgList.h"
#include "framework/Resources.h"

#include <gtest/gtest.h>

namespace {

TEST(GraphicsImageList, TheSaturateStateDrawsInGreyAndKeepsTransparency) {
    TBitmap strip(4, 4);
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(Rect(0, 0, 4, 4));
    strip.Canvas().Brush().SetColor(clRed);
    strip.Canvas().FillRect(Rect(0, 0, 2, 4));
    TImageList list(4, 4);
    list.AddMasked(strip, clFuchsia);
    TBitmap out(8, 4);
    out.Canvas().Brush().SetColor(clYellow);
    out.Canvas().FillRect(Rect(0, 0, 8, 4));
    IMAGELISTDRAWPARAMS p;
    p.himl = &list;
    p.hdcDst = &out.Canvas();
    p.fState = ILS_SATURATE;
    EXPECT_TRUE(ImageList_DrawIndirect(p));
    p.x = 4;
    p.fState = ILS_NORMAL;
    EXPECT_TRUE(ImageList_DrawIndirect(p));
    EXPECT_EQ(out.Canvas().Pixels(0, 0), RGB(76, 76, 76));  // red's brightness
    EXPECT_EQ(out.Canvas().Pixels(3, 0), clYellow);         // transparent stays so
    EXPECT_EQ(out.Canvas().Pixels(4, 0), clRed);
    p.i = 5;
    EXPECT_FALSE(ImageList_DrawIndirect(p));
}

TEST(GraphicsImageList, MaskedStripSplitsIntoImagesDrawnTransparently) {
    TBitmap strip(8, 4);  // two 4 x 4 images on magenta
    TCanvas& s = strip.Canvas();
    s.Brush().SetColor(clFuchsia);
    s.FillRect(Rect(0, 0, 8, 4));
    s.SetPixels(1, 1, clRed);
    s.SetPixels(6, 2, clBlue);
    TImageList list(4, 4);
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap out(10, 10);
    TCanvas& c = out.Canvas();
    c.Brush().SetColor(clYellow);
    c.FillRect(Rect(0, 0, 10, 10));
    list.Draw(c, 2, 2, 0);
    list.Draw(c, 5, 5, 1);
    EXPECT_EQ(c.Pixels(3, 3), clRed);
    EXPECT_EQ(c.Pixels(2, 2), clYellow);
    EXPECT_EQ(c.Pixels(7, 7), clBlue);
    EXPECT_EQ(c.Pixels(5, 5), clYellow);
    list.Draw(c, 0, 0, 7);  // out of range: nothing
    EXPECT_EQ(c.Pixels(0, 0), clYellow);

    TBitmap one;
    list.GetBitmap(1, one);
    EXPECT_EQ(one.Width(), 4);
    EXPECT_EQ(one.Canvas().Pixels(2, 2), clBlue);
    EXPECT_EQ(one.Canvas().Pixels(0, 0), clWhite);
}

TEST(GraphicsImageList, DisabledImagesAreGreyed) {
    TBitmap img(4, 4);
    img.Canvas().Brush().SetColor(clFuchsia);
    img.Canvas().FillRect(Rect(0, 0, 4, 4));
    img.Canvas().Brush().SetColor(clRed);
    img.Canvas().FillRect(Rect(1, 1, 3, 3));
    TImageList list(4, 4);
    list.AddMasked(img, clDefault);  // the bottom-left colour is the mask colour
    TBitmap out(8, 8);
    list.Draw(out.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(out.Canvas().Pixels(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(out.Canvas().Pixels(2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(out.Canvas().Pixels(3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(out.Canvas().Pixels(0, 0), clWhite);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_NE(out.Canvas().Pixels(x, y), clRed);
}

TEST(GraphicsResources, BitmapsByNameWithTheSizesTheButtonExpects) {
    struct Case {
        const char* name;
        int w, h;
    } cases[] = {{"FBOK", 36, 18}, {"FBCANCEL", 36, 18}, {"FBHELP", 36, 18},   {"FBYES", 36, 18},
                 {"FBNO", 36, 18}, {"FBCLOSE", 36, 18},  {"FBABORT", 36, 18},  {"FBRETRY", 36, 18},
                 {"FBIGNORE", 36, 18}, {"FBALL", 36, 19}, {"FBARROW", 5, 3}};
    for (const auto& k : cases) {
        TBitmap b;
        LoadBitmapResource(b, S(k.name));
        EXPECT_EQ(b.Width(), k.w) << k.name;
        EXPECT_EQ(b.Height(), k.h) << k.name;
        EXPECT_EQ(b.PixelFormat(), pf4bit) << k.name;
        // Both halves of a kind glyph have something drawn on the background.
        if (k.w == 36) {
            TColor back = b.TransparentColor();
            int left = 0, right = 0;
            for (int y = 0; y < k.h; ++y)
                for (int x = 0; x < 36; ++x)
                    (x < 18 ? left : right) += b.Canvas().Pixels(x, y) != back;
            EXPECT_GT(left, 5) << k.name;
            EXPECT_GT(right, 5) << k.name;
        }
    }
    TBitmap b;
    EXPECT_THROW(LoadBitmapResource(b, S("NOSUCH")), EResNotFound);
    try {
        LoadBitmapResource(b, S("NOSUCH"));
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), S("Resource NOSUCH not found"));
    }
}

TEST(GraphicsResources, UnitsRegisterTheirOwn) {
    RegisterBitmapResource(S("TestGlyph"), [](TBitmap& b) {
        b.SetSize(3, 2);
        b.Canvas().SetPixels(1, 1, clRed);
    });
    EXPECT_TRUE(ResourceExists(S("TESTGLYPH"), rkBitmap));
    EXPECT_FALSE(ResourceExists(S("TESTGLYPH"), rkCursor));
    TBitmap b;
    LoadBitmapResource(b, S("testglyph"));
    EXPECT_EQ(b.Canvas().Pixels(1, 1), clRed);
    RegisterDataResource(S("Blob"), ByteString("\x01\x02", 2));
    EXPECT_EQ(LoadDataResource(S("BLOB")), ByteString("\x01\x02", 2));
    RegisterCursorResource(S("TestCursor"), [](TCursorResource& c) {
        c.Image.SetSize(16, 16);
        c.HotSpot = Point(7, 7);
    });
    TCursorResource cur;
    LoadCursorResource(cur, S("testcursor"));
    EXPECT_EQ(cur.HotSpot, Point(7, 7));
    EXPECT_EQ(cur.Image.Width(), 16);
}

}  // namespace

namespace {
TEST(GraphicsImageList, OverlaysAndSelectionBlend) {
    TBitmap strip(8, 4);
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(Rect(0, 0, 8, 4));
    strip.Canvas().Brush().SetColor(clWhite);
    strip.Canvas().FillRect(Rect(0, 0, 4, 4));  // image 0: white square
    strip.Canvas().SetPixels(7, 3, clBlack);     // image 1: a dot in its corner
    strip.Canvas().SetPixels(4, 3, clFuchsia);
    TImageList list(4, 4);
    list.AddMasked(strip, clFuchsia);
    EXPECT_TRUE(list.Overlay(1, 0));
    EXPECT_FALSE(list.Overlay(5, 0));
    TBitmap out(4, 4);
    ImageList_DrawEx(list, 0, out.Canvas(), 0, 0, 0, 0, clNone, clNone, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(out.Canvas().Pixels(3, 3), clBlack);
    EXPECT_EQ(out.Canvas().Pixels(1, 1), clWhite);
    // Selected: half the blend colour over the image's pixels.
    ImageList_DrawEx(list, 0, out.Canvas(), 0, 0, 0, 0, clNone, clBlue, ILD_SELECTED);
    TColor p = out.Canvas().Pixels(1, 1);
    EXPECT_NEAR(GetRValue(p), 127, 2);
    EXPECT_NEAR(GetBValue(p), 255, 1);
    // The mask style: black where the image is, white elsewhere.
    TBitmap m(8, 4);
    ImageList_DrawEx(list, 1, m.Canvas(), 0, 0, 0, 0, clNone, clNone, ILD_MASK);
    EXPECT_EQ(m.Canvas().Pixels(3, 3), clBlack);
    EXPECT_EQ(m.Canvas().Pixels(0, 0), clWhite);
}
}  // namespace
