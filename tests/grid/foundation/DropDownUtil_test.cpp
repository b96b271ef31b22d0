#include "grid/foundation/DropDownUtil.h"

#include "framework/ImgList.h"

#include <gtest/gtest.h>

namespace {

TEST(DropDownUtil, SteppedGradientPixelForPixel) {
    TBitmap B(12, 10);
    B.Canvas().Brush().SetColor(clRed);
    B.Canvas().FillRect(Rect(0, 0, 12, 10));
    DrawSteppedGradient(B.Canvas(), clBlack, clWhite, 2, Rect(0, 0, 11, 10), true);
    for (int x = 0; x < 12; ++x) {
        const TColor Expected = x < 5 ? clBlack : x < 11 ? RGB(128, 128, 128) : clRed;
        for (int y = 0; y < 10; ++y) ASSERT_EQ(B.Canvas().Pixels(x, y), Expected) << x << "," << y;
    }
}

TEST(DropDownUtil, ColourTables) {
    EXPECT_EQ(BlendColor(clRed, clBlue, 50), RGB(128, 0, 128));
    EXPECT_EQ(BlendColor(clBtnFace, clBlue, 100), clBtnFace);
    EXPECT_EQ(BlendColor(clRed, clBtnFace, 0), clBtnFace);
    EXPECT_EQ(BlendColor(clWhite, clBlack, 25), RGB(64, 64, 64));
    EXPECT_EQ(AdjustColorBrightness(RGB(100, 241, 245), -10, -10, 0), RGB(90, 217, 245));
    EXPECT_EQ(AdjustColorBrightness(clBlack, 20, 20, 20), RGB(20, 20, 20));
    EXPECT_EQ(AdjustColorBrightness(clWhite, 20, 20, 20), clWhite);
}

TEST(DropDownUtil, NumberAndTextTables) {
    const struct {
        const char16_t* Text;
        int Kind;
    } Kinds[] = {{u"123", 0},   {u"-5", 0},   {u"1-2", 0}, {u"1,234.5", 1}, {u"1.2.3", 2}, {u"FF", 5},
                 {u"ff-1", 5},  {u"0x1F", 2}, {u"", 2},    {u"--1", 2},     {u",123", 2},  {u"1,2,3", 2}};
    for (const auto& K : Kinds) EXPECT_EQ(NumberKindOfText(K.Text), K.Kind) << String(K.Text).size();
    EXPECT_EQ(HexToInt(u"1F"), 31);
    EXPECT_EQ(HexToInt(u"G1"), 1);
    EXPECT_EQ(HexToInt(u"100000000"), 0);
    EXPECT_EQ(HexToInt(u"ffffffff"), -1);
    EXPECT_EQ(StripThousandSeparators(u"1,234,567"), u"1234567");
    EXPECT_TRUE(IsListSeparatorChar(u';'));
    EXPECT_FALSE(IsListSeparatorChar(u'.'));

    TBitmap B(10, 10);
    TCanvas& C = B.Canvas();
    EXPECT_EQ(MeasureText(C, u"").X, 0);
    EXPECT_EQ(MeasureText(C, u"Hello").X, C.TextWidth(u"Hello"));
    const String Long = u"A rather long caption";
    const int W = C.TextWidth(u"A rather...") + 1;
    const String Short = EllipsisText(C, Long, W, true);
    EXPECT_EQ(Short.substr(Short.size() - 3), u"...");
    EXPECT_LT(C.TextWidth(Short), W);
    EXPECT_EQ(EllipsisText(C, Long, 1000, true), Long);
    EXPECT_EQ(EllipsisText(C, Long, C.TextWidth(u"..") , true), Long);  // nothing narrow enough
    EXPECT_EQ(EllipsisText(C, Long, C.TextWidth(u"A rather") + 1, false), u"A rather");

    TPoint Size = DrawMarkupTextInRect(C, u"<b>Bold</b>", Rect(0, 0, 200, 50), nullptr, false, nullptr);
    C.Font().SetStyle({fsBold});
    EXPECT_EQ(Size.X, C.TextWidth(u"Bold"));
}

TEST(DropDownUtil, ImageAndTextPlacement) {
    TBitmap B(100, 20);
    TCanvas& C = B.Canvas();
    C.Brush().SetColor(clWhite);
    C.FillRect(Rect(0, 0, 100, 20));
    C.Font().SetColor(clBlack);
    DrawImageAndText(&C, Rect(0, 0, 100, 20), u"ab", nullptr, -1);
    int Left = -1;
    for (int x = 0; x < 100 && Left < 0; ++x)
        for (int y = 0; y < 20; ++y)
            if (C.Pixels(x, y) != clWhite) {
                Left = x;
                break;
            }
    EXPECT_NEAR(Left, (100 - C.TextWidth(u"ab")) / 2, 2);  // centred without an image

    TImageList Images(8, 8);
    TBitmap Red(8, 8);
    Red.Canvas().Brush().SetColor(clRed);
    Red.Canvas().FillRect(Rect(0, 0, 8, 8));
    Images.Add(&Red, nullptr);
    C.FillRect(Rect(0, 0, 100, 20));
    DrawImageAndText(&C, Rect(0, 0, 100, 20), u"ab", &Images, 0);
    EXPECT_EQ(C.Pixels(4, 6), clRed);
    EXPECT_EQ(C.Pixels(3, 6), clWhite);
    EXPECT_EQ(C.Pixels(11, 13), clRed);
    EXPECT_EQ(C.Pixels(4, 14), clWhite);
    DrawImageAndText(nullptr, Rect(0, 0, 100, 20), u"ab", &Images, 0);
}

}  // namespace
