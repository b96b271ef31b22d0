#include "grid/ExCGrid.h"

#include "grid/foundation/GridColors.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

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
    // Left-aligned cells keep the box at their left and top: cell (1, 1) content
    // 41..79 x 21..39, less the offset, puts the box at 43..59 x 23..39.
    auto glyph = [&](int c, int r, int dx, int dy) { return PaintForm::At(b, c * 40 + 3 + dx, r * 20 + 3 + dy); };
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

TEST(ExGridPaint, ListImagesStandWhereTheirAlignmentSays) {
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
    f.g->AddImageIdx(2, 3, 0, haCenter, vaCenter);    // cell x 80..120, y 60..80: image at 92..108, 62..78
    f.g->AddImageIdx(3, 4, 1, haLeft, vaTop);  // cell x 120..160, y 80..100
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
    f.g->AddImageIdx(3, 4, 7, haLeft, vaTop);
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
    EXPECT_THROW(f.g->AddImageIdx(f.g->ColCount(), 1, 0, haCenter, vaCenter), Exception);
}

namespace {

// The bounding box of the pixels in R (client coordinates) that differ from Back.
TRect InkBox(const std::unique_ptr<TBitmap>& b, TRect R, TColor Back) {
    TRect box{R.Right, R.Bottom, R.Left, R.Top};
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (PaintForm::At(b, x, y) != Back) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

}  // namespace

TEST(ExGridPaint, TurnedTextsStandAsTheirAngleSays) {
    PaintForm f;
    f.g->SetColWidths(2, 80);
    f.g->SetRowHeights(2, 80);
    f.g->AddRotated(2, 2, 90, u"Turned");
    int angle = 0;
    ASSERT_TRUE(f.g->IsRotated(2, 2, angle));
    EXPECT_EQ(angle, 90);
    EXPECT_EQ(f.g->Cells(2, 2), u"Turned");
    // Cell (2, 2): client 80..160 x 40..120, its content inside the lines.
    const TRect cell{81, 41, 159, 119};
    auto b = f.Render();
    TRect up = InkBox(b, cell, clWhite);
    ASSERT_LT(up.Left, up.Right);
    EXPECT_GT(up.Bottom - up.Top, 2 * (up.Right - up.Left));  // standing upright
    EXPECT_LE(up.Left, cell.Left + 4);                       // at the left and top by default alignment
    EXPECT_LE(up.Top, cell.Top + 4);

    f.g->SetRotated(2, 2, 360);
    b = f.Render();
    TRect flat = InkBox(b, cell, clWhite);
    EXPECT_GT(flat.Right - flat.Left, 2 * (flat.Bottom - flat.Top));

    // Angles come into 0 .. 360 by whole turns.
    for (auto [given, kept] : {std::pair{450, 90}, std::pair{-90, 270}, std::pair{360, 360}, std::pair{0, 0}}) {
        f.g->SetRotated(2, 2, given);
        ASSERT_TRUE(f.g->IsRotated(2, 2, angle));
        EXPECT_EQ(angle, kept) << given;
    }

    f.g->RemoveRotated(2, 2);
    EXPECT_FALSE(f.g->IsRotated(2, 2, angle));
    EXPECT_EQ(f.g->Cells(2, 2), u"Turned");
    EXPECT_THROW(f.g->AddRotated(1, f.g->RowCount() + 5, 90, u"x"), Exception);
}

TEST(ExGridPaint, TurnedTextSizesAndColumnSizing) {
    struct Case {
        int W, H, Angle;
        TPoint Size;
    };
    for (const Case& c : {Case{40, 13, 90, {25, 52}}, Case{40, 13, 0, {52, 25}}, Case{40, 13, 45, {49, 49}},
                          Case{40, 13, 270, {25, 52}}, Case{40, 13, 180, {52, 25}}})
        EXPECT_EQ(TExStringGrid::RotatedTextSize(c.W, c.H, c.Angle), c.Size) << c.Angle;

    PaintForm f;
    const String text = u"A long turned header";
    f.g->SetCellEx(2, 1, text);
    f.g->AutoSizeCol(2);
    const int flat = f.g->ColWidths(2);
    f.g->AddRotated(2, 1, 90, text);
    f.g->AutoSizeCol(2);
    EXPECT_LT(f.g->ColWidths(2), flat / 2);  // upright: the width of one line
    EXPECT_GE(f.g->ColWidths(2), 12);
}

TEST(ExGridPaint, ActiveCellHeadersAndTheSortedHeader) {
    PaintForm f;
    f.g->SetActiveCellColor(0x00FF00);
    f.g->SetActiveCellShow(true);
    f.g->SetCol(2);
    f.g->SetRow(3);
    f.g->SortSettings().SetColumn(4);
    f.g->SortSettings().SetHeaderColor(0x0000FF);
    auto b = f.Render();
    // Middles of the header cells (column c: x 40c..40c+40; row r: y 20r..20r+20).
    EXPECT_EQ(PaintForm::At(b, 20, 70), TColor(0x00FF00));  // row header of the current row
    EXPECT_EQ(PaintForm::At(b, 100, 10), TColor(0x00FF00)); // column header of the current column
    EXPECT_EQ(PaintForm::At(b, 180, 10), TColor(0x0000FF)); // the sorted column's header
    EXPECT_NE(PaintForm::At(b, 20, 50), TColor(0x00FF00));  // other headers keep the fixed gradient
    EXPECT_NE(PaintForm::At(b, 140, 10), TColor(0x00FF00));
    EXPECT_NE(PaintForm::At(b, 140, 10), TColor(0x0000FF));

    f.g->SetActiveCellShow(false);
    f.g->SetLook(glClassic);
    b = f.Render();
    EXPECT_NE(PaintForm::At(b, 100, 10), TColor(0x00FF00));
    EXPECT_NE(PaintForm::At(b, 180, 10), TColor(0x0000FF));  // the classic look has no gradient headers
}

TEST(ExGridPaint, UnfocusedSelectionWithoutAColourTakesThePlatformsAndADisabledGridGreysItsText) {
    PaintForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.g->SetSelectionColor(clNone);
    f.g->SetSelection({1, 1, 3, 3});
    auto b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 100, 50), ColorToRGB(clHighlight));

    // Text in a strong colour shows it; a disabled grid draws it in its disabled colour.
    f.g->SetSelection({1, 1, 1, 1});
    f.g->SetCellEx(3, 4, u"WWWW");
    f.g->SetFontColors(3, 4, 0xFF0000);
    f.g->SetDisabledFontColor(0x0000FF);
    auto inked = [&](bool Red) {
        auto r = f.Render();
        for (int y = 81; y < 99; ++y)
            for (int x = 121; x < 159; ++x) {
                TColor c = PaintForm::At(r, x, y);
                int strong = Red ? GetRValue(c) : GetBValue(c), weak = Red ? GetBValue(c) : GetRValue(c);
                if (strong > 200 && weak < 100) return true;
            }
        return false;
    };
    EXPECT_TRUE(inked(false));
    EXPECT_FALSE(inked(true));
    f.g->SetEnabled(false);
    EXPECT_TRUE(inked(true));
    EXPECT_FALSE(inked(false));
}

TEST(ExGridPaint, BandsColourNormalRowsOnly) {
    TForm form{nullptr};
    form.SetBounds(0, 0, 400, 300);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 240);
    g->SetScrollBars(ssNone);
    g->SetDefaultColWidth(40);
    g->SetDefaultRowHeight(20);
    g->SetFixedRowHeight(20);
    g->SetRowCount(8);
    g->SetFixedFooters(1);
    g->SetColor(clWhite);
    g->Bands().SetPrimaryColor(0x00FFFF);
    g->Bands().SetSecondaryColor(0xFF00FF);
    g->Bands().SetPrimaryLength(2);
    g->Bands().SetSecondaryLength(1);
    g->Bands().SetActive(true);
    g->SetColors(2, 4, 0x00FF00);
    form.Show();
    TBitmap b;
    RenderControlToBitmap(g, b);
    auto at = [&](int col, int row) { return b.Canvas().Pixels(col * 40 + 20 + 2, row * 20 + 10 + 2); };
    const TColor primary = 0x00FFFF, secondary = 0xFF00FF;
    const TColor rows[] = {0, primary, primary, secondary, primary, primary, secondary};
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(at(1, r), rows[r]) << r;
    EXPECT_EQ(at(2, 4), TColor(0x00FF00));  // a cell's own colour beats the band
    EXPECT_NE(at(1, 7), primary);           // the footer row stays unbanded
    EXPECT_NE(at(1, 7), secondary);
    EXPECT_NE(at(0, 2), primary);           // so do the fixed cells
}
