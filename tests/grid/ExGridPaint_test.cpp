#include "grid/ExCGrid.h"

#include "grid/foundation/GridColors.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// An offscreen column grid of 40 x 20 cells, no scroll bars; another
// control holds the focus unless a test gives it to the grid.
struct PaintForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    TExColumnGrid* other;
    PaintForm() {
        form.SetBounds(0, 0, 600, 400);
        form.SetColor(clWhite);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(10, 10, 300, 200);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        other = new TExColumnGrid(&form);
        other->SetParent(&form);
        other->SetBounds(320, 10, 100, 100);
        form.Show();
        other->SetFocus();
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
    // Client point (x, y) of the grid in the rendered window (border 2).
    static TColor At(const std::unique_ptr<TBitmap>& b, int x, int y) { return b->Canvas().Pixels(x + 2, y + 2); }
};

TEST(ExGridPaint, XPHeaderGradientWithItsLines) {
    PaintForm f;
    auto b = f.Render();
    // Header cell (1, 0): client x 40..80, y 0..20; white at the top, the
    // fixed colour towards the bottom, white left line, half-fixed-colour bottom line.
    TColor face = ColorToRGB(f.g->FixedColor());
    EXPECT_EQ(PaintForm::At(b, 60, 1), clWhite);   // highlight line at top + 1
    EXPECT_EQ(PaintForm::At(b, 41, 10), clWhite);  // highlight line at left + 1
    EXPECT_EQ(PaintForm::At(b, 60, 18), HalveColor(face));
    TColor mid = PaintForm::At(b, 60, 8), low = PaintForm::At(b, 60, 15);
    EXPECT_NE(mid, clWhite);
    EXPECT_LE(GetRValue(low), GetRValue(mid));  // darker towards the bottom
    // Data cells are white with silver lines.
    EXPECT_EQ(PaintForm::At(b, 140, 70), clWhite);
    EXPECT_EQ(PaintForm::At(b, 140, 79), clSilver);

    f.g->SetFlat(true);
    b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 60, 8), face);
}

TEST(ExGridPaint, CheckBoxGlyphsFollowEditabilityAndStyle) {
    PaintForm f;
    f.g->ControlLook().ControlStyle = csWinXP;
    f.g->Columns().Items(1)->SetEditor(edDataCheckBox);
    f.g->Columns().Items(2)->SetEditor(edDataCheckBox);
    f.g->Columns().Items(2)->SetReadOnly(true);
    f.g->SetCellEx(1, 1, u"Y");
    f.g->SetCellEx(1, 2, u"N");
    f.g->SetCellEx(2, 1, u"Y");
    f.g->SetCellEx(2, 2, u"N");
    auto b = f.Render();
    // The glyph is centred: cell (1, 1) content 41..79 x 21..39 puts the box at 52..68 x 22..38.
    auto glyph = [&](int c, int r, int dx, int dy) { return PaintForm::At(b, c * 40 + 12 + dx, r * 20 + 2 + dy); };
    const TColor frameOn = 0x80511C, frameOff = 0xB5B5B5, markOn = 0x21A121, markOff = 0xA0A0A0;
    EXPECT_EQ(glyph(1, 1, 1, 5), frameOn);   // EXGCHK05
    EXPECT_EQ(glyph(1, 1, 6, 10), markOn);
    EXPECT_EQ(glyph(1, 2, 1, 5), frameOn);   // EXGCHK06
    EXPECT_EQ(glyph(1, 2, 6, 10), clWhite);
    EXPECT_EQ(glyph(2, 1, 1, 5), frameOff);  // EXGCHK07
    EXPECT_EQ(glyph(2, 1, 6, 10), markOff);
    EXPECT_EQ(glyph(2, 2, 1, 5), frameOff);  // EXGCHK08
    EXPECT_EQ(glyph(2, 2, 6, 10), TColor(0xF0F0F0));

    // CheckAlwaysActive shows the enabled glyphs in the read-only column.
    f.g->ControlLook().CheckAlwaysActive = true;
    b = f.Render();
    EXPECT_EQ(glyph(2, 1, 1, 5), frameOn);

    // The themed box differs from the drawn glyphs.
    f.g->ControlLook().ControlStyle = csTheme;
    f.g->ControlLook().CheckAlwaysActive = false;
    b = f.Render();
    bool differs = false;
    for (int x = 0; x < 16 && !differs; ++x)
        for (int y = 0; y < 16 && !differs; ++y) differs = glyph(1, 1, x, y) != clWhite && glyph(1, 1, x, y) != frameOn && glyph(1, 1, x, y) != markOn;
    EXPECT_TRUE(differs);
}

TEST(ExGridPaint, SelectionColourOrFocusRectangle) {
    PaintForm f;
    f.g->SetFocus();
    f.g->SetCol(2);
    f.g->SetRow(2);
    auto b = f.Render();
    // Without goDrawFocusSelected the current cell keeps its colour and gets a dotted focus rectangle.
    EXPECT_EQ(PaintForm::At(b, 100, 50), clWhite);
    bool dotted = false;
    for (int x = 82; x < 118; ++x) dotted = dotted || PaintForm::At(b, x, 41) != clWhite;
    EXPECT_TRUE(dotted);

    f.g->SetOptions(f.g->Options() + TGridOptions{goDrawFocusSelected});
    b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 100, 50), TColor(0xEACAB6));
}

TEST(ExGridPaint, TheBorderFrameInBorderColour) {
    PaintForm f;
    auto b = f.Render();
    EXPECT_EQ(b->Canvas().Pixels(1, 50), TColor(0xB99D7F));
    EXPECT_EQ(b->Canvas().Pixels(150, 1), TColor(0xB99D7F));
    EXPECT_EQ(b->Canvas().Pixels(0, 50), clWhite);  // the parent's colour outside
    f.g->SetBorderColor(clRed);
    b = f.Render();
    EXPECT_EQ(b->Canvas().Pixels(1, 50), clRed);
}

TEST(ExGridPaint, ColourMix) {
    struct Case {
        TColor a, b;
        int w;
        TColor mix;
    } cases[] = {
        {0xFF0000, 0x0000FF, 50, 0x800080},  // 127.5 rounds to even 128
        {0xFF0000, 0x0000FF, 100, 0xFF0000},
        {0xFF0000, 0x0000FF, 0, 0x0000FF},
        {clNone, 0x0000FF, 50, 0x0000FF},
        {0xFF0000, clNone, 50, 0xFF0000},
        {0x010101, 0x000000, 50, 0x000000},  // 0.5 rounds to even 0
        {0x030303, 0x000000, 50, 0x020202},  // 1.5 rounds to 2
    };
    for (const Case& c : cases) EXPECT_EQ(MixColors(c.a, c.b, c.w), c.mix) << std::hex << c.a << " " << c.b;

    TExStringGrid g(nullptr);
    g.SetSelectionColorMixerFactor(150);
    EXPECT_EQ(g.SelectionColorMixerFactor(), 100);
    g.SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(g.SelectionColorMixerFactor(), 0);
}

TEST(ExGridPaint, MixedSelectionOfAColouredCell) {
    PaintForm f;
    f.g->SetSelectionColor(0xFF0000);
    f.g->SetSelectionColorMixer(true);
    f.g->SetColors(1, 3, 0x0000FF);
    f.g->SetSelection({1, 3, 2, 3});
    auto b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 60, 70), TColor(0x800080));
    EXPECT_EQ(PaintForm::At(b, 100, 70), TColor(0xFF0000));  // own colour is the grid's: unmixed
}

}  // namespace

TEST(ExGridPaint, ListImagesStandWhereTheirAlignmentSaysInPlaceOfTheText) {
    PaintForm f;
    TImageList images(16, 16);
    for (TColor c : {clRed, clBlue}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas().Brush().SetColor(c);
        b.Canvas().FillRect(TRect{0, 0, 16, 16});
        images.Add(&b, nullptr);
    }
    f.g->SetGridImages(&images);
    f.g->SetCellEx(2, 3, u"hidden");
    f.g->AddImageIdx(2, 3, 0, taCenter, vtaCenter);    // cell x 80..120, y 60..80: image at 92..108, 62..78
    f.g->AddImageIdx(3, 4, 1, taLeftJustify, vtaTop);  // cell x 120..160, y 80..100
    EXPECT_EQ(f.g->GetImageIdx(2, 3), 0);
    EXPECT_EQ(f.g->GetImageIdx(3, 4), 1);
    EXPECT_EQ(f.g->GetImageIdx(4, 4), -1);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"hidden") << "the text stays";
    auto b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 100, 70), clRed);
    EXPECT_EQ(PaintForm::At(b, 93, 63), clRed);
    EXPECT_EQ(PaintForm::At(b, 85, 70), clWhite);
    EXPECT_EQ(PaintForm::At(b, 115, 70), clWhite);
    EXPECT_EQ(PaintForm::At(b, 125, 85), clBlue);
    EXPECT_EQ(PaintForm::At(b, 150, 85), clWhite);
    // An index the list does not have draws nothing; removing shows the text again.
    f.g->AddImageIdx(3, 4, 7, taLeftJustify, vtaTop);
    f.g->RemoveImageIdx(2, 3);
    EXPECT_EQ(f.g->GetImageIdx(2, 3), -1);
    b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 125, 85), clWhite);
    int text = 0;
    for (int x = 82; x < 118; ++x)
        for (int y = 62; y < 78; ++y) {
            const TColor c = PaintForm::At(b, x, y);
            EXPECT_NE(c, clRed);
            text += c != clWhite;
        }
    EXPECT_GT(text, 20);
    EXPECT_THROW(f.g->AddImageIdx(f.g->ColCount(), 1, 0, taCenter, vtaCenter), Exception);
}
