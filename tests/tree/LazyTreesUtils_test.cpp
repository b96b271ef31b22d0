// Fitting texts into widths, measured in the canvas font.

#include "tree/LazyTrees.Utils.h"
#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Resources.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

struct Measured {
    Measured() {
        Bitmap.SetSize(1, 1);
        Canvas().Font().SetSize(10);
        Digit = Canvas().TextWidth(S("0"));
        Dots = Canvas().TextWidth(S("..."));
    }
    TCanvas& Canvas() { return Bitmap.Canvas(); }
    TBitmap Bitmap;
    int Digit = 0, Dots = 0;
};

}  // namespace

TEST(LazyTreesUtils, ShortenToWidthKeepsTheLongestPrefixThatFitsWithTheEllipsis) {
    Measured M;
    const String Text = S("abcdef");
    auto W = [&](int N) { return M.Canvas().TextWidth(Text.substr(0, N)); };
    struct Case {
        int Width, EllipsisWidth;
        const char* Expected;
    } Cases[] = {
        {0, 0, ""},
        {-5, 0, ""},
        {W(6) + M.Dots, 0, "abcdef"},
        {W(2) + M.Dots, 0, "ab..."},
        {W(2) + M.Dots - 1, 0, "a..."},
        {M.Dots + 1, 0, "..."},
        {M.Dots, 0, ""},  // no room beyond the ellipsis
        {W(2) + 5, 5, "ab..."},  // the given ellipsis width is trusted
    };
    for (const Case& c : Cases)
        EXPECT_EQ(ShortenToWidth(M.Canvas(), Text, c.Width, c.EllipsisWidth), S(c.Expected)) << c.Width;
    // A text that fits only without the ellipsis is still shortened.
    String Cut = ShortenToWidth(M.Canvas(), Text, W(6), 0);
    EXPECT_LT(Cut.size(), Text.size() + 3);
    EXPECT_EQ(Cut.substr(Cut.size() - 3), S("..."));
    EXPECT_EQ(ShortenToWidth(M.Canvas(), S(""), 100, 0), S(""));
}

TEST(LazyTreesUtils, WrapToWidthBreaksAtBlanksAndCutsLongWords) {
    Measured M;
    struct Case {
        const char* Text;
        int Chars;
        bool RightToLeft;
        const char* Expected;
    } Cases[] = {
        {"  111 222 33333  ", 7, false, "111 222\n33333"},
        {"111 222 33333", 7, true, "33333\n111 222"},
        {"0123456789", 4, false, "0123\n4567\n89"},
        {"0123456789", 4, true, "6789\n2345\n01"},
        {"11  22", 3, false, "11 \n22"},
        {"\t ", 10, false, ""},
        {"wide", 0, false, "w\ni\nd\ne"},
    };
    for (const Case& c : Cases) {
        // Room for Chars digits (all digits are equally wide) and not one more.
        int Width = c.Chars == 0 ? 0 : M.Canvas().TextWidth(String(c.Chars, u'0')) + M.Digit / 2;
        TRect Bounds{0, 0, Width, 100};
        EXPECT_EQ(WrapToWidth(M.Canvas(), S(c.Text), Bounds, c.RightToLeft), S(c.Expected)) << c.Text;
    }
}

namespace {

// A one-row 32-bit bitmap with its pixels as B, G, R, A bytes.
struct Row32 {
    explicit Row32(std::vector<std::array<Byte, 4>> Pixels) {
        Bitmap.SetPixelFormat(pf32bit);
        Bitmap.SetSize(int(Pixels.size()), 1);
        Byte* P = static_cast<Byte*>(Bitmap.ScanLine(0));
        for (const auto& Pixel : Pixels)
            for (Byte B : Pixel) *P++ = B;
    }
    std::array<Byte, 4> operator[](int X) {
        const Byte* P = static_cast<const Byte*>(Bitmap.ScanLine(0)) + 4 * X;
        return {P[0], P[1], P[2], P[3]};
    }
    TBitmap Bitmap;
};

}  // namespace

TEST(LazyTreesUtils, BlendPixelsByConstantAndPixelAlphaAndWithAColour) {
    using P = std::array<Byte, 4>;
    struct Case {
        int Mode, Alpha, Bias;
        P Source, Destination, Expected;
    } Cases[] = {
        {0, 0, 0, {240, 240, 240, 240}, {16, 32, 64, 128}, {16, 32, 64, 128}},
        // Alpha 255 does not give the source exactly: (16 + 255 * 240) div 256.
        {0, 255, 0, {240, 240, 240, 240}, {16, 16, 16, 16}, {239, 239, 239, 239}},
        {0, 128, 0, {200, 100, 0, 255}, {0, 100, 200, 1}, {100, 100, 100, 128}},
        {0, 128, 20, {200, 100, 0, 255}, {0, 100, 200, 255}, {120, 120, 120, 255}},
        {0, 128, -120, {200, 100, 0, 255}, {0, 100, 200, 255}, {0, 0, 0, 135}},
        // The source pixel's own alpha, then scaled by the constant.
        {1, 0, 0, {200, 100, 0, 64}, {0, 100, 200, 0}, {50, 100, 150, 16}},
        {2, 128, 0, {200, 100, 0, 64}, {0, 100, 200, 0}, {25, 100, 175, 8}},
        // A colour (red 200, green 100, blue 0) over the destination; alpha blends with 0.
        {3, 128, int(RGB(200, 100, 0)), {1, 2, 3, 4}, {0, 100, 200, 200}, {0, 100, 200, 100}},
        {4, 128, 0, {200, 100, 0, 64}, {0, 100, 200, 0}, {0, 100, 200, 0}},
    };
    for (const Case& c : Cases) {
        Row32 Source({c.Source}), Destination({c.Destination});
        BlendPixels(&Source.Bitmap, &Destination.Bitmap, TRect{0, 0, 1, 1}, TPoint{0, 0}, c.Mode, c.Alpha, c.Bias);
        EXPECT_EQ(Destination[0], c.Expected) << c.Mode << " " << c.Alpha << " " << c.Bias;
    }
    // The rectangle's pixels go to the target point; the others stay.
    Row32 Source({{9, 9, 9, 9}, {200, 200, 200, 200}, {9, 9, 9, 9}}), Destination({{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    BlendPixels(&Source.Bitmap, &Destination.Bitmap, TRect{1, 0, 2, 1}, TPoint{2, 0}, 0, 128, 0);
    EXPECT_EQ(Destination[0], (P{0, 0, 0, 0}));
    EXPECT_EQ(Destination[1], (P{0, 0, 0, 0}));
    EXPECT_EQ(Destination[2], (P{100, 100, 100, 100}));
    BlendPixels(&Source.Bitmap, &Destination.Bitmap, TRect{0, 0, 0, 1}, TPoint{0, 0}, 0, 128, 0);  // empty: nothing
    TBitmap Device(1, 1);
    Device.SetPixelFormat(pfDevice);
    try {
        BlendPixels(&Source.Bitmap, &Device, TRect{0, 0, 1, 1}, TPoint{0, 0}, 0, 128, 0);
        ADD_FAILURE() << "a bitmap that is not 32-bit was blended";
    } catch (const EAssertionFailed& E) {
        EXPECT_NE(String(E.Message()).find(u"Alpha blending error: bitmap must use 32 bpp."), String::npos);
    }
    EXPECT_THROW(BlendPixels(nullptr, &Destination.Bitmap, TRect{0, 0, 1, 1}, TPoint{0, 0}, 0, 128, 0),
                 EAssertionFailed);
    BlendPixels(nullptr, &Destination.Bitmap, TRect{0, 0, 1, 1}, TPoint{0, 0}, 3, 0, 0);  // a colour needs no source
}

TEST(LazyTreesUtils, DragStripsForEveryDirectionOfAMove) {
    using S = TDragStrip;
    const int W = 100, H = 20;
    struct Case {
        int DX, DY;
        TRect Surviving;
        S Sample1, Sample2, Draw1, Draw2;
    } Cases[] = {
        {3, 0, {0, 0, 97, 20}, {0, 0, 3, 20}, {}, {97, 0, 3, 20}, {}},
        {3, 2, {0, 0, 97, 18}, {0, 0, 3, 20}, {3, 0, 97, 2}, {0, 18, 97, 2}, {97, 0, 3, 20}},
        {3, -2, {0, 2, 97, 20}, {0, 0, 3, 20}, {3, 18, 97, 2}, {0, 0, 97, 2}, {97, 0, 3, 20}},
        {-3, 0, {3, 0, 100, 20}, {97, 0, 3, 20}, {}, {0, 0, 3, 20}, {}},
        {-3, 2, {3, 0, 100, 20}, {0, 0, 97, 2}, {97, 0, 3, 20}, {0, 0, 3, 20}, {3, 18, 97, 2}},
        {-3, -2, {3, 2, 100, 20}, {0, 18, 97, 2}, {97, 0, 3, 20}, {0, 0, 3, 20}, {3, 0, 97, 2}},
        {0, 2, {0, 0, 100, 18}, {}, {0, 0, 100, 2}, {}, {0, 18, 100, 2}},
        {0, 0, {0, 0, 100, 20}, {}, {0, 0, 100, 0}, {}, {0, 20, 100, 0}},
        {0, -2, {0, 2, 100, 20}, {}, {0, 18, 100, 2}, {}, {0, 0, 100, 2}},
    };
    for (const Case& c : Cases) {
        const TDragStrips Got = DragStripRects(W, H, c.DX, c.DY);
        EXPECT_EQ(Got.All, (TRect{0, 0, W, H}));
        EXPECT_EQ(Got.Surviving, c.Surviving) << c.DX << "," << c.DY;
        EXPECT_EQ(Got.Sample1, c.Sample1) << c.DX << "," << c.DY;
        EXPECT_EQ(Got.Sample2, c.Sample2) << c.DX << "," << c.DY;
        EXPECT_EQ(Got.Draw1, c.Draw1) << c.DX << "," << c.DY;
        EXPECT_EQ(Got.Draw2, c.Draw2) << c.DX << "," << c.DY;
    }
}

TEST(LazyTreesUtils, ImageListColoursAndNormalizedRectangles) {
    EXPECT_EQ(ColorToImageListColor(clNone), CLR_NONE);
    EXPECT_EQ(ColorToImageListColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(ColorToImageListColor(clRed), Cardinal(RGB(255, 0, 0)));
    EXPECT_EQ(ColorToImageListColor(clWindow), Cardinal(ColorToRGB(clWindow)));
    EXPECT_EQ(NormalizedRect(TRect{10, 8, 2, 3}), (TRect{2, 3, 10, 8}));
    EXPECT_EQ(NormalizedRect(TRect{1, 8, 2, 3}), (TRect{1, 3, 2, 8}));
}

TEST(LazyTreesUtils, SystemCheckPicturesAreTheFrameControlsOnATransparentGround) {
    for (bool Flat : {false, true}) {
        TImageList* List = Flat ? SystemFlatCheckList() : SystemCheckList();
        ASSERT_EQ(List->Count(), 25);
        EXPECT_EQ(List, Flat ? SystemFlatCheckList() : SystemCheckList()) << "made once";
        const int W = List->Width(), H = List->Height();
        // What the list draws over a ground colour, against the frame control drawn directly.
        auto Drawn = [&](TBitmap& B, int Index, TColor Ground) {
            B.SetSize(W, H);
            B.Canvas().Brush().SetColor(Ground);
            B.Canvas().FillRect(TRect{0, 0, W, H});
            List->Draw(B.Canvas(), 0, 0, Index, dsTransparent, itImage);
        };
        for (TColor Ground : {clWhite, clBlack}) {
            TBitmap Empty;
            Drawn(Empty, 0, Ground);
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X) ASSERT_EQ(Empty.Canvas().Pixels(X, Y), ColorToRGB(Ground)) << X << "," << Y;
        }
        struct Case {
            int Index;
            unsigned State;
        } Cases[] = {
            {13, DFCS_BUTTONCHECK | DFCS_CHECKED},
            {9, DFCS_BUTTONCHECK},
            {10, DFCS_BUTTONCHECK | DFCS_HOT},
            {6, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_HOT},
            {20, DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_INACTIVE},
        };
        for (const Case& c : Cases) {
            TBitmap Want(W, H);
            Want.Canvas().Brush().SetColor(clWhite);
            Want.Canvas().FillRect(TRect{0, 0, W, H});
            TRect R{0, 0, W, H};
            Want.Canvas().DrawFrameControl(R, DFC_BUTTON, c.State | (Flat ? DFCS_FLAT : 0));
            TBitmap Got;
            Drawn(Got, c.Index, clWhite);
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X)
                    ASSERT_EQ(Got.Canvas().Pixels(X, Y), Want.Canvas().Pixels(X, Y))
                        << c.Index << " flat " << Flat << " at " << X << "," << Y;
        }
        // The push buttons are those of the drawn dark (flat) strip, centred.
        TImageList* Buttons = Flat ? CheckListFlat() : CheckListDark();
        for (int Index = 21; Index <= 24; ++Index) {
            TBitmap Want(W, H);
            Want.Canvas().Brush().SetColor(clWhite);
            Want.Canvas().FillRect(TRect{0, 0, W, H});
            Buttons->Draw(Want.Canvas(), (W - 16) / 2, (H - 16) / 2, Index, dsTransparent, itImage);
            TBitmap Got;
            Drawn(Got, Index, clWhite);
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X)
                    ASSERT_EQ(Got.Canvas().Pixels(X, Y), Want.Canvas().Pixels(X, Y))
                        << Index << " flat " << Flat << " at " << X << "," << Y;
        }
    }
}

TEST(LazyTreesUtils, ListImagesPlainBlendedOrGreyAndStretchedBitmaps) {
    // A list of one half-transparent picture: red on the left half, clear on the right.
    TImageList List(8, 8);
    TBitmap Picture(8, 8);
    Picture.Canvas().Brush().SetColor(clFuchsia);
    Picture.Canvas().FillRect(TRect{0, 0, 8, 8});
    Picture.Canvas().Brush().SetColor(clRed);
    Picture.Canvas().FillRect(TRect{0, 0, 4, 8});
    List.AddMasked(Picture, clFuchsia);
    List.SetBlendColor(clBlue);
    struct Case {
        const char* Name;
        unsigned Style;
        bool Enabled;
        TColor Left;  // clNone: a shade of grey
    } Cases[] = {
        {"plain", ILD_TRANSPARENT, true, clRed},
        {"blended with the list's colour", ILD_TRANSPARENT | ILD_BLEND25, true, clNone},
        {"disabled: grey whatever the style", ILD_TRANSPARENT | ILD_BLEND25, false, clNone},
    };
    for (const Case& c : Cases) {
        TBitmap B(8, 8);
        B.Canvas().Brush().SetColor(clWhite);
        B.Canvas().FillRect(TRect{0, 0, 8, 8});
        DrawListImage(List, 0, B.Canvas(), 0, 0, c.Style, c.Enabled);
        const TColor Left = B.Canvas().Pixels(1, 1);
        EXPECT_EQ(B.Canvas().Pixels(6, 6), ColorToRGB(clWhite)) << c.Name << ": the clear half stays";
        if (c.Left != clNone) EXPECT_EQ(Left, ColorToRGB(c.Left)) << c.Name;
        else if (c.Enabled) {
            EXPECT_GT(GetBValue(Left), 0) << c.Name;
            EXPECT_GT(GetRValue(Left), GetBValue(Left)) << c.Name;
        } else {
            EXPECT_EQ(GetRValue(Left), GetGValue(Left)) << c.Name;
            EXPECT_EQ(GetGValue(Left), GetBValue(Left)) << c.Name;
            EXPECT_LT(GetRValue(Left), 255) << c.Name;
        }
    }
    // A 2 x 2 bitmap stretched over 8 x 8 fills four 4 x 4 quarters.
    TBitmap Small(2, 2);
    Small.Canvas().SetPixels(0, 0, clRed);
    Small.Canvas().SetPixels(1, 0, clLime);
    Small.Canvas().SetPixels(0, 1, clBlue);
    Small.Canvas().SetPixels(1, 1, clYellow);
    TBitmap Big(10, 10);
    Big.Canvas().Brush().SetColor(clWhite);
    Big.Canvas().FillRect(TRect{0, 0, 10, 10});
    StretchDrawBitmap(Big.Canvas(), TRect{1, 1, 9, 9}, Small);
    EXPECT_EQ(Big.Canvas().Pixels(0, 0), ColorToRGB(clWhite));
    EXPECT_EQ(Big.Canvas().Pixels(4, 4), ColorToRGB(clRed));
    EXPECT_EQ(Big.Canvas().Pixels(5, 4), ColorToRGB(clLime));
    EXPECT_EQ(Big.Canvas().Pixels(4, 5), ColorToRGB(clBlue));
    EXPECT_EQ(Big.Canvas().Pixels(8, 8), ColorToRGB(clYellow));
    EXPECT_EQ(Big.Canvas().Pixels(9, 9), ColorToRGB(clWhite));
}

TEST(LazyTreesUtils, MeasuredTextAndClippingToARectangle) {
    Measured m;
    TRect R{10, 20, 500, 500};
    MeasureTextRect(m.Canvas(), u"000", R, DT_SINGLELINE);
    EXPECT_EQ(R.Left, 10);
    EXPECT_EQ(R.Top, 20);
    EXPECT_EQ(R.Right, 10 + 3 * m.Digit) << "measured from the corner, not within the old width";
    EXPECT_EQ(R.Bottom, 20 + m.Canvas().TextHeight(u"0"));
    TRect Lines{0, 0, 0, 0};
    MeasureTextRect(m.Canvas(), u"00 00", Lines, DT_WORDBREAK);
    EXPECT_EQ(Lines.Bottom, 2 * m.Canvas().TextHeight(u"0")) << "a one-pixel width breaks at every blank";

    // Clipping, with the canvas origin moved: R is logical, the extra region device.
    TBitmap B(20, 20);
    TCanvas& C = B.Canvas();
    C.SetViewportOrg(2, 0);
    const TRegion Extra(TRect{0, 0, 20, 8});
    struct Case {
        const TRegion* Extra;
        int InsideY;
    } Cases[] = {{nullptr, 12}, {&Extra, 6}};
    for (const Case& c : Cases) {
        C.SelectClipRgn(nullptr);
        C.Brush().SetColor(clWhite);
        C.FillRect(TRect{-2, 0, 18, 20});
        ClipCanvasToRect(C, TRect{4, 4, 10, 14}, c.Extra);
        C.Brush().SetColor(clRed);
        C.FillRect(TRect{-2, 0, 18, 20});
        C.SelectClipRgn(nullptr);
        C.SetViewportOrg(0, 0);
        EXPECT_EQ(C.Pixels(6, c.InsideY), ColorToRGB(clRed)) << "logical 4 lies at device 6";
        EXPECT_EQ(C.Pixels(5, 6), ColorToRGB(clWhite));
        EXPECT_EQ(C.Pixels(12, 6), ColorToRGB(clWhite));
        EXPECT_EQ(C.Pixels(11, 6), ColorToRGB(clRed));
        EXPECT_EQ(C.Pixels(6, 14), ColorToRGB(clWhite));
        if (c.Extra) EXPECT_EQ(C.Pixels(6, 9), ColorToRGB(clWhite)) << "cut by the extra region";
        C.SetViewportOrg(2, 0);
    }
}

// The drawn strips: 25 pictures (9 utility pictures) of 16 x 16 on a transparent ground; the remapped
// ones show only the system's window, face, shadow and text colours, the XP strip its own.
TEST(LazyTreesUtils, DrawnStripsKeepTheirLayoutAndFollowTheSystemColours) {
    const std::vector<TColor> System{ColorToRGB(clWindow), ColorToRGB(clBtnFace), ColorToRGB(clBtnShadow),
                                     ColorToRGB(clBtnText)};
    const struct {
        const char* Name;
        TImageList* List;
        int Pictures;
        bool Remapped;
    } Strips[] = {
        {"light check", DrawnCheckList(0), 25, true}, {"dark check", DrawnCheckList(1), 25, true},
        {"light tick", DrawnCheckList(2), 25, true},  {"dark tick", DrawnCheckList(3), 25, true},
        {"flat", DrawnCheckList(4), 25, true},        {"XP", DrawnCheckList(5), 25, false},
        {"utilities", UtilityImageList(), 9, true},
    };
    for (const auto& s : Strips) {
        ASSERT_EQ(s.List->Count(), s.Pictures) << s.Name;
        EXPECT_EQ(s.List->Width(), 16);
        EXPECT_EQ(s.List->Height(), 16);
        bool OwnColour = false;
        for (int Index = 0; Index < s.Pictures; ++Index) {
            // Over two grounds: what differs between them is the transparent part.
            TBitmap OnRed(16, 16), OnLime(16, 16);
            for (auto [B, Ground] : {std::pair{&OnRed, clRed}, std::pair{&OnLime, clLime}}) {
                B->Canvas().Brush().SetColor(Ground);
                B->Canvas().FillRect(TRect{0, 0, 16, 16});
                s.List->Draw(B->Canvas(), 0, 0, Index, dsTransparent, itImage);
            }
            int Drawn = 0;
            for (int Y = 0; Y < 16; ++Y)
                for (int X = 0; X < 16; ++X) {
                    const TColor P = OnRed.Canvas().Pixels(X, Y);
                    if (P != OnLime.Canvas().Pixels(X, Y)) continue;
                    ++Drawn;
                    const bool InSystem = std::find(System.begin(), System.end(), P) != System.end();
                    if (s.Remapped) EXPECT_TRUE(InSystem) << s.Name << " " << Index << " at " << X << "," << Y << std::hex << " " << P;
                    else OwnColour = OwnColour || !InSystem;
                }
            const bool Empty = s.Pictures == 9 ? Index >= 6 : Index == 0;
            EXPECT_EQ(Drawn == 0, Empty) << s.Name << " picture " << Index;
        }
        if (!s.Remapped) EXPECT_TRUE(OwnColour) << s.Name;
    }
}

TEST(LazyTreesUtils, ASharedListIsReloadedInPlace) {
    TImageList* Utilities = UtilityImageList();
    LoadSharedImageList(*Utilities, S("LT_UTILITIES"), true);
    EXPECT_EQ(UtilityImageList(), Utilities);
    EXPECT_EQ(Utilities->Count(), 9);
    EXPECT_THROW(LoadSharedImageList(*Utilities, S("LT_NO_SUCH_STRIP"), true), EResNotFound);
    EXPECT_EQ(Utilities->Count(), 9) << "a missing resource leaves the list as it was";
}

TEST(LazyTreesUtils, TheFirstTreeSetsUpTheSharedPartsOnceForTheProcess) {
    TLazyStringTree First(nullptr);
    ASSERT_NE(TreeLibraryLock, nullptr);
    EXPECT_EQ(MMXAvailable, ProcessorHasMMX());
#if defined(__x86_64__)
    EXPECT_TRUE(ProcessorHasMMX()) << "every x86-64 processor has MMX";
#endif
    TImageList* const Lists[] = {CheckListLight(), CheckListDark(), TickListLight(), TickListDark(),
                                 CheckListFlat(),  CheckListXP(),   SystemCheckList(), SystemFlatCheckList()};
    for (TImageList* List : Lists) {
        ASSERT_NE(List, nullptr);
        EXPECT_EQ(List->Count(), 25);
    }
    EXPECT_EQ(DrawnCheckList(1), CheckListDark());
    EXPECT_EQ(UtilityImageList()->Count(), 9);
    // The header's two split cursors are the screen's cursors 63 and 62.
    for (auto [Index, Name] : {std::pair{crHeaderSplit, u"LT_HEADERSPLIT"}, std::pair{crHeaderVertSplit, u"LT_VERTSPLIT"}}) {
        TCursorResource Shown, Drawn;
        ASSERT_TRUE(Screen->Cursors(Index, Shown)) << Index;
        LoadCursorResource(Drawn, Name);
        EXPECT_EQ(Shown.HotSpot, Drawn.HotSpot);
        EXPECT_EQ(Shown.Image.Width(), Drawn.Image.Width());
    }
    // A second tree sets up nothing again: a list emptied meanwhile stays empty.
    CheckListLight()->Clear();
    TLazyStringTree Second(nullptr);
    EXPECT_EQ(CheckListLight()->Count(), 0);
    EXPECT_EQ(DrawnCheckList(0), CheckListLight());
    LoadSharedImageList(*CheckListLight(), u"LT_CHECK_LIGHT", true);
    EXPECT_EQ(CheckListLight()->Count(), 25);
}

TEST(LazyTreesUtils, ASharedListIsLoadedOnlyWhileNoOtherThreadHoldsTheLibraryLock) {
    SetUpTreeLibrary();
    std::atomic<bool> Held{false}, Released{false};
    std::thread Holder([&] {
        TreeLibraryLock->Enter();
        Held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Released = true;
        TreeLibraryLock->Leave();
    });
    while (!Held) std::this_thread::yield();
    TImageList* Flat = CheckListFlat();
    LoadSharedImageList(*Flat, u"LT_FLAT", true);
    EXPECT_TRUE(Released) << "the loading waited for the lock";
    EXPECT_EQ(Flat->Count(), 25);
    Holder.join();
}
