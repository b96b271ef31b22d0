#include "controls/FlatButton.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor Face = 0xEDF7F8;   // the windows' button colour
constexpr TColor Orange = 33023;    // their pressed colour
constexpr TColor Key = clOlive;     // the test glyphs' transparent colour

// The look most windows give their buttons, drawn by the painter alone.
struct Look {
    int W = 110, H = 28;
    TAlignment Alignment = taCenter;
    String Caption = u"OK";
    TFlatButtonLayout Layout = blGlyphLeft;
    TColor Shadow = clGray, Light = clGray, HotTrack = clYellow, Down = Orange, Color = Face;
    TFlatButtonStyle Style = bsEncarta;
    bool WordWrap = false, Flat = false, Enabled = true, Hot = false, Pressed = false;
    const TBitmap* Glyph = nullptr;
    int NumGlyphs = 0;
    int Step = 0;

    std::unique_ptr<TBitmap> Paint() const {
        auto bmp = std::make_unique<TBitmap>(W, H);
        TFont font;
        font.SetName(u"Tahoma");
        font.SetHeight(-11);
        TBitmap none;
        PaintButton(bmp->Canvas(), W, H, Alignment, Caption, Layout, font, Shadow, Light, HotTrack, Down, Color,
                    Style, false, WordWrap, Flat, Enabled, Hot, Pressed, Glyph ? *Glyph : none, NumGlyphs, Step);
        return bmp;
    }
};

// Count 8x8 images side by side, image i a solid square in Colours[i] on the key colour.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> Colours) {
    const int n = int(Colours.size());
    auto b = std::make_unique<TBitmap>(8 * n, 8);
    b->Canvas().Brush().SetColor(Key);
    b->Canvas().FillRect(Rect(0, 0, 8 * n, 8));
    int i = 0;
    for (TColor c : Colours) {
        b->Canvas().Brush().SetColor(c);
        b->Canvas().FillRect(Rect(8 * i + 1, 1, 8 * i + 7, 7));
        ++i;
    }
    return b;
}

// The top-left pixel of colour c (inside r when given), or (-1,-1).
TPoint Find(TBitmap& b, TColor c, TRect r = {}) {
    if (IsRectEmpty(r)) r = Rect(0, 0, b.Width(), b.Height());
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (b.Canvas().Pixels(x, y) == c) return {x, y};
    return {-1, -1};
}

int CountDark(TBitmap& b, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const TColor c = b.Canvas().Pixels(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) ++n;
        }
    return n;
}

}  // namespace

TEST(FlatButtonPaint, EncartaFaceAndFrameInEachState) {
    struct Case {
        const char* name;
        bool enabled, hot, pressed;
        int step;
        TColor face;
    };
    const Case cases[] = {
        {"rest", true, false, false, 0, Face},
        {"hot", true, true, false, 8, clYellow},
        // Half way: each channel rounded to even: 251.5 -> 252, 247..255 -> 251, 118.5 -> 118.
        {"fading", true, false, false, 4, RGB(252, 251, 118)},
        {"pressed", true, true, true, 8, Orange},
        {"disabled", false, true, true, 8, Face},
    };
    for (const Case& c : cases) {
        Look look;
        look.Light = clWhite;  // light and shadow apart, to see which line is which
        look.Enabled = c.enabled;
        look.Hot = c.hot;
        look.Pressed = c.pressed;
        look.Step = c.step;
        auto bmp = look.Paint();
        TCanvas& cv = bmp->Canvas();
        EXPECT_EQ(cv.Pixels(55, 3), c.face) << c.name;
        const bool down = c.pressed && c.enabled;
        const TColor topLeft = down ? clGray : clWhite, bottomRight = down ? clWhite : clGray;
        // Light on the left and top (from 0,H-1 round to W-2,0), dark from W-1,0 round to 1,H-1.
        EXPECT_EQ(cv.Pixels(0, 27), topLeft) << c.name;
        EXPECT_EQ(cv.Pixels(0, 0), topLeft) << c.name;
        EXPECT_EQ(cv.Pixels(108, 0), topLeft) << c.name;
        EXPECT_EQ(cv.Pixels(109, 0), bottomRight) << c.name;
        EXPECT_EQ(cv.Pixels(109, 27), bottomRight) << c.name;
        EXPECT_EQ(cv.Pixels(1, 27), bottomRight) << c.name;
        EXPECT_EQ(cv.Pixels(1, 1), c.face) << c.name;
    }
}

TEST(FlatButtonPaint, FlatButtonsFrameOnlyWhileHotOrPressed) {
    Look look;
    look.Flat = true;
    EXPECT_EQ(look.Paint()->Canvas().Pixels(0, 0), Face);
    look.Hot = true;
    EXPECT_EQ(look.Paint()->Canvas().Pixels(0, 0), clGray);
}

TEST(FlatButtonPaint, EncartaPressedTurnsBoldWithoutMovingButNormalMovesOnePixel) {
    auto glyph = Strip({clRed});
    Look look;
    look.Glyph = glyph.get();
    look.NumGlyphs = 1;
    look.Caption = u"Cancel";
    look.Alignment = taLeftJustify;  // centred, the glyph would follow the wider bold caption
    auto rest = look.Paint();
    look.Pressed = true;
    look.Hot = true;
    auto down = look.Paint();
    EXPECT_EQ(Find(*down, clRed), Find(*rest, clRed));
    const TRect text = Rect(30, 4, 106, 24);
    EXPECT_GT(CountDark(*down, text), CountDark(*rest, text));  // bold ink

    look.Style = bsNormal;
    look.Pressed = false;
    auto normalRest = look.Paint();
    look.Pressed = true;
    auto normalDown = look.Paint();
    const TPoint a = Find(*normalRest, clRed), b = Find(*normalDown, clRed);
    ASSERT_GE(a.X, 0);
    EXPECT_EQ(b.X, a.X + 1);
    EXPECT_EQ(b.Y, a.Y + 1);
    const TRect inside = Rect(1, 1, look.W - 1, look.H - 1);  // the caption whole, moved or not
    EXPECT_EQ(CountDark(*normalDown, inside), CountDark(*normalRest, inside));  // no bold
}

TEST(FlatButtonPaint, GlyphColumnByState) {
    auto four = Strip({clRed, clBlue, clLime, clFuchsia});
    auto one = Strip({clRed});
    auto two = Strip({clRed, clBlue});
    struct Case {
        const TBitmap* glyph;
        int num;
        bool enabled, hot, pressed;
        TColor shown;
    };
    const Case cases[] = {
        {four.get(), 4, true, false, false, clRed},  {four.get(), 4, true, true, false, clFuchsia},
        {four.get(), 4, true, false, true, clLime},  {four.get(), 4, true, true, true, clLime},
        {four.get(), 4, false, true, true, clBlue},  {one.get(), 1, false, false, false, clRed},
        {two.get(), 2, false, false, false, clBlue}, {two.get(), 2, true, true, true, clRed},
    };
    for (const Case& c : cases) {
        Look look;
        look.Glyph = c.glyph;
        look.NumGlyphs = c.num;
        look.Enabled = c.enabled;
        look.Hot = c.hot;
        look.Pressed = c.pressed;
        auto bmp = look.Paint();
        EXPECT_GE(Find(*bmp, c.shown).X, 0) << c.num << c.enabled << c.hot << c.pressed;
        // One image only, its key colour transparent.
        for (TColor other : {clRed, clBlue, clLime, clFuchsia})
            if (other != c.shown) {
                EXPECT_EQ(Find(*bmp, other).X, -1);
            }
        EXPECT_EQ(Find(*bmp, Key).X, -1);
    }
}

TEST(FlatButtonPaint, DisabledCaptionIsGray) {
    Look look;
    look.Caption = u"Delete Row";
    look.Enabled = false;
    auto bmp = look.Paint();
    EXPECT_GE(Find(*bmp, clGray, Rect(2, 2, 108, 26)).X, 2);  // gray ink inside the frame
    EXPECT_EQ(CountDark(*bmp, Rect(2, 2, 108, 26)), 0);
}

TEST(FlatButtonPaint, LongCaptionIsCutCharacterByCharacterUnlessWordWrap) {
    TCanvas measure;
    TFont font;
    font.SetName(u"Tahoma");
    font.SetHeight(-11);
    measure.SetFont(font);
    const String caption = u"A caption much too long for the button";
    String fitted = caption;
    while (measure.TextWidth(fitted) > 110 - 8) fitted.pop_back();
    ASSERT_LT(fitted.size(), caption.size());

    Look look;
    look.Caption = caption;
    auto cut = look.Paint();
    look.Caption = fitted;
    auto expected = look.Paint();
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 110; ++x)
            ASSERT_EQ(cut->Canvas().Pixels(x, y), expected->Canvas().Pixels(x, y)) << x << "," << y;

    // Wrapped, the caption takes two lines in the same width.
    look.Caption = u"Wrapped caption here";
    look.WordWrap = true;
    look.H = 44;
    look.W = 90;
    auto wrapped = look.Paint();
    int rowsWithInk = 0;
    for (int y = 2; y < 42; ++y) rowsWithInk += CountDark(*wrapped, Rect(2, y, 88, y + 1)) > 0;
    EXPECT_GT(rowsWithInk, 14);  // more than one line of text
}

TEST(FlatButtonPaint, GlyphPlacementByLayoutAndAlignment) {
    auto glyph = Strip({clRed});
    struct Case {
        TFlatButtonLayout layout;
        TAlignment alignment;
        TPoint glyphAt;  // top-left of the image (the square starts 1 pixel in)
    };
    // W 110, H 28, empty caption: glyph 8x8.
    const Case cases[] = {
        {blGlyphLeft, taLeftJustify, {4, 10}},
        {blGlyphLeft, taRightJustify, {110 - 8 - 4, 10}},
        {blGlyphLeft, taCenter, {(110 - 8) / 2, 10}},
        {blGlyphTop, taCenter, {(110 - 8) / 2, 0}},
    };
    for (const Case& c : cases) {
        Look look;
        look.Caption = u"";
        look.Glyph = glyph.get();
        look.NumGlyphs = 1;
        look.Layout = c.layout;
        look.Alignment = c.alignment;
        auto bmp = look.Paint();
        const TPoint p = Find(*bmp, clRed);
        EXPECT_EQ(p.X, c.glyphAt.X + 1) << int(c.layout) << int(c.alignment);
        if (c.layout == blGlyphLeft) {
            EXPECT_EQ(p.Y, c.glyphAt.Y + 1);
        }
    }
}

TEST(FlatButtonPaint, ModernFaceIsTwoGradients) {
    Look look;
    look.Style = bsModern;
    look.Light = clWhite;
    look.Color = clBlue;
    look.HotTrack = clNone;
    auto bmp = look.Paint();
    // 32 bands over 5 rows: each row shows the last band that starts on it
    // (band 6 of 31 on row 2); the face colour is reached at a quarter of
    // the height and turns back toward the light colour below; the inner
    // frame is in the face colour.
    TCanvas& c = bmp->Canvas();
    EXPECT_EQ(c.Pixels(55, 2), RGB(206, 206, 255));
    EXPECT_EQ(c.Pixels(55, 6), RGB(8, 8, 255));
    EXPECT_EQ(c.Pixels(55, 25), RGB(239, 239, 255));
    EXPECT_EQ(c.Pixels(55, 26), clBlue);
    EXPECT_EQ(c.Pixels(55, 0), clGray);
}

TEST(FlatButtonPaint, PopupArrowSitsElevenFromTheRight) {
    auto bmp = std::make_unique<TBitmap>(110, 28);
    TFont font;
    TBitmap none;
    PaintButton(bmp->Canvas(), 110, 28, taCenter, u"", blGlyphLeft, font, clGray, clGray, clNone, clNone, Face,
                bsEncarta, true, false, false, true, false, false, none, 0, 0);
    // The arrow's rows: 5, 3 and 1 pixels wide, from W-11, H div 2 - 1.
    TCanvas& c = bmp->Canvas();
    EXPECT_EQ(c.Pixels(99, 13), clBlack);
    EXPECT_EQ(c.Pixels(103, 13), clBlack);
    EXPECT_EQ(c.Pixels(100, 14), clBlack);
    EXPECT_EQ(c.Pixels(99, 14), Face);
    EXPECT_EQ(c.Pixels(101, 15), clBlack);
    EXPECT_EQ(c.Pixels(100, 15), Face);
}

TEST(FlatButtonResources, KindBitmapsAndArrowHaveTheirSizes) {
    const char* names[] = {"FBOK", "FBCANCEL", "FBHELP", "FBYES", "FBNO", "FBCLOSE", "FBABORT", "FBRETRY", "FBIGNORE"};
    for (const char* n : names) {
        TBitmap b;
        ASSERT_TRUE(LoadFlatButtonResource(Utf8ToString(n), b)) << n;
        EXPECT_EQ(b.Width(), 36) << n;
        EXPECT_EQ(b.Height(), 18) << n;
        // The disabled image differs from the normal one, and both have ink.
        EXPECT_NE(Find(b, clGray).X, -1) << n;
    }
    TBitmap all, arrow;
    ASSERT_TRUE(LoadFlatButtonResource(u"FBALL", all));
    EXPECT_EQ(all.Height(), 19);
    ASSERT_TRUE(LoadFlatButtonResource(u"FBARROW", arrow));
    EXPECT_EQ(arrow.Width(), 5);
    EXPECT_EQ(arrow.Height(), 3);
    EXPECT_EQ(arrow.Canvas().Pixels(2, 2), clBlack);
    EXPECT_NE(arrow.Canvas().Pixels(0, 2), clBlack);  // the key colour, transparent
    TBitmap unknown;
    EXPECT_FALSE(LoadFlatButtonResource(u"FBNONE", unknown));
}

// ---------------------------------------------------------------------------
// The control's properties

TEST(FlatButton, CreationDefaults) {
    TForm form(nullptr);
    TFont f;
    f.SetName(u"Verdana");
    form.SetFont(f);
    TFlatButton b(&form);
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 23);
    EXPECT_TRUE(b.TabStop());
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.Style(), bsNormal);
    EXPECT_EQ(b.Alignment(), taCenter);
    EXPECT_EQ(b.ColorWhenDown(), clNone);
    EXPECT_EQ(b.HotTrackColor(), clNone);
    EXPECT_EQ(b.LightColor(), clWhite);
    EXPECT_EQ(b.ShadowColor(), clGray);
    EXPECT_EQ(b.HotTrackFont().Name(), u"Verdana");
    EXPECT_FALSE(b.ControlStyle().Contains(csClickEvents));
}

TEST(FlatButton, KindGlyphModalResultAndColorStyleWriters) {
    TFlatButton b(nullptr);
    b.SetKind(bkCancel);
    EXPECT_EQ(b.ModalResult(), mrCancel);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Caption(), u"Abbrechen");
    EXPECT_EQ(b.Glyph().Width(), 36);
    EXPECT_EQ(b.Kind(), bkCancel);
    // The modal result makes the kind custom; glyph and caption stay.
    b.SetModalResult(mrOk);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.Caption(), u"Abbrechen");
    EXPECT_EQ(b.Glyph().Width(), 36);

    auto strip = Strip({clRed, clBlue, clLime});
    b.SetGlyph(strip.get());
    EXPECT_EQ(b.NumGlyphs(), 3);
    b.SetNumGlyphs(1);  // a stored count written afterwards wins
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetGlyph(nullptr);
    EXPECT_EQ(b.NumGlyphs(), 0);

    b.SetColorStyle(lcsQuicken);
    EXPECT_EQ(b.ColorStyle(), lcsCustom);
    EXPECT_EQ(b.Color(), 0x603000);
    EXPECT_EQ(b.Font().Color(), clWhite);
    EXPECT_EQ(b.Style(), bsQuicken);
    EXPECT_EQ(b.HotTrackColor(), 0xCEAE9C);
    b.SetColorStyle(lcsCustom);
    EXPECT_EQ(b.Color(), 0x603000);
    b.SetColorStyle(lcsUltraFlat2);
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Style(), bsNormal);
    EXPECT_EQ(b.Font().Color(), clBlack);
}
