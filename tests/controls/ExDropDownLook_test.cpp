#include "controls/ExDropDown.h"
#include "controls/ExItemSelector.h"

#include "framework/Forms.h"
#include "framework/Streaming.h"
#include "framework/Streams.h"

#include <gtest/gtest.h>

namespace {

TEST(DropDownLook, StyleRowsReachThePopupTheStripsAndTheirButtons) {
    TForm form(nullptr);
    auto* dd = new TExCustomDropDown(&form);
    struct Row {
        TGPKStyle style;
        TColor color, colorTo, border;  // border: clNone means "unchanged" is checked against the previous value
        bool setsBorder;
        TColor header, headerTo, font, headerBorder, button, buttonTo;
    };
    const Row rows[] = {
        {tsOffice2003Silver, 0xFFFFFF, clNone, 0, false, 0xECE2E1, 0xB39698, 0, 0x947C7C, 0xECE2E1, 0xB39698},
        {tsOffice2007Luna, 0xF3E5DA, 0xF0DED0, clNone, true, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFEFE3, 0xFFDDC4},
        {tsWindowsXP, 0xFFFFFF, clNone, 0, false, 0xFFFFFF, TColor(0xFF00000F), 0, 0x808080, 0xFFFFFF,
         TColor(0xFF00000F)},
        {tsTerminal, 0xFFFFFF, 0xFFFFFF, 0x808080, true, TColor(0xFF00000F), TColor(0xFF00000F), 0, clNone,
         TColor(0xFF00000F), TColor(0xFF00000F)},
        {tsOffice2010Blue, 0xFFFFFF, 0xF1EFED, 0xEDEDEC, true, 0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F, 0xFDF6EF,
         0xF0DAC7},
    };
    for (const Row& r : rows) {
        dd->SetDropDownBorderColor(0);
        dd->SetComponentStyle(r.style);
        EXPECT_EQ(dd->GetComponentStyle(), r.style);
        EXPECT_EQ(dd->DropDownColor(), r.color) << r.style;
        EXPECT_EQ(dd->DropDownColorTo(), r.colorTo) << r.style;
        EXPECT_EQ(dd->DropDownBorderColor(), r.setsBorder ? r.border : TColor(0)) << r.style;
        for (TBarAppearance* look : {static_cast<TBarAppearance*>(&dd->DropDownHeader()),
                                     static_cast<TBarAppearance*>(&dd->DropDownFooter())}) {
            EXPECT_EQ(look->Color(), r.header) << r.style;
            EXPECT_EQ(look->ColorTo(), r.headerTo) << r.style;
            EXPECT_EQ(look->Font().Color(), r.font) << r.style;
            EXPECT_EQ(look->BorderColor(), r.headerBorder) << r.style;
        }
        EXPECT_EQ(dd->ButtonAppearance().Color(), r.button) << r.style;
        EXPECT_EQ(dd->ButtonAppearance().ColorTo(), r.buttonTo) << r.style;
    }
    // The state colours of the Office 2007 look and of the Office 2010 ones.
    dd->SetComponentStyle(tsOffice2007Luna);
    const TExButtonAppearance& b = dd->ButtonAppearance();
    EXPECT_EQ(b.ColorHot(), 0xEBFDFF);
    EXPECT_EQ(b.ColorHotTo(), 0xACECFF);
    EXPECT_EQ(b.BorderColorHot(), 0x99CEDB);
    EXPECT_EQ(b.ColorDown(), 0xAAD9FF);
    EXPECT_EQ(b.BorderColorDown(), 0x42AEFE);
    EXPECT_EQ(b.ColorChecked(), 0x76AFF1);
    EXPECT_EQ(b.BorderColorChecked(), 0x45667B);
    EXPECT_EQ(b.BorderColor(), clNone);
    dd->SetComponentStyle(tsOffice2010Black);
    EXPECT_EQ(b.BorderColor(), 0xD7D7D6);
    EXPECT_EQ(b.ColorHot(), 0x8AE3FD);
    EXPECT_EQ(b.ColorHotTo(), clNone);
    EXPECT_EQ(b.ColorChecked(), 0x45E1FE);
    // tsCustom changes only the stored style.
    dd->SetComponentStyle(tsCustom);
    EXPECT_EQ(dd->GetComponentStyle(), tsCustom);
    EXPECT_EQ(b.BorderColor(), 0xD7D7D6);
}

TEST(DropDownLook, ColorTonesAndSelectionStyles) {
    TForm form(nullptr);
    auto* dd = new TExCustomDropDown(&form);
    TColorTones tones;
    tones.Background = {0x111111, 0x222222, 0x333333};
    tones.Hover = {0x444444, 0, 0};
    tones.Selected = {0x555555, 0, 0};
    dd->SetColorTones(tones);
    EXPECT_EQ(dd->Button()->ButtonColor, 0x111111);
    EXPECT_EQ(dd->Button()->ButtonColorHot, 0x444444);
    EXPECT_EQ(dd->Button()->ButtonColorDown, 0x555555);
    EXPECT_EQ(dd->Button()->ButtonBorderColor, 0x222222);
    EXPECT_EQ(dd->BorderColor(), 0x222222);

    EXPECT_EQ(dd->SelectionColorStyle(), scOffice2007);
    EXPECT_EQ(dd->SelectionColor(), 0xD7FFFD);
    dd->SetSelectionColorStyle(scWindows7);
    EXPECT_EQ(dd->SelectionColor(), 0xFCEBDC);
    EXPECT_EQ(dd->SelectionColorTo(), 0xFCDBC1);
    dd->SetSelectionColorStyle(scCustom);
    EXPECT_EQ(dd->SelectionColor(), 0xFCEBDC);
}

TEST(DropDownLook, StreamKeepsBothStylesWithoutApplyingThem) {
    TForm form(nullptr);
    auto* source = new TExCustomDropDown(&form);
    source->SetComponentStyle(tsOffice2010Black);
    source->SetSelectionColorStyle(scWindowsVista);
    source->SetDropDownColor(0x123456);
    TMemoryStream stream;
    WriteComponentImage(stream, *source);

    auto* target = new TExCustomDropDown(&form);
    stream.SetPosition(0);
    ReadComponentImage(stream, *target);
    EXPECT_EQ(target->GetComponentStyle(), tsOffice2010Black);
    EXPECT_EQ(target->SelectionColorStyle(), scWindowsVista);
    // Not applied again: the colours are the streamed ones.
    EXPECT_EQ(target->DropDownColor(), 0x123456);
    EXPECT_EQ(target->DropDownHeader().Color(), 0xFFEFE3) << "the header keeps the constructor's look";
}

}  // namespace

namespace {

struct LookFixture : ::testing::Test {
    TForm form{nullptr};
    TExCustomDropDown* dd = nullptr;
    void SetUp() override {
        form.SetBounds(100, 100, 400, 150);
        form.SetColor(0xEEEEEE);
        dd = new TExCustomDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(150, 50, 120, 21);
        form.Show();
    }
};

TEST_F(LookFixture, TheLabelFollowsItsPositionAndTheEdit) {
    dd->SetLabelCaption(u"Value");
    ASSERT_NE(dd->EditLabel(), nullptr);
    TLabel* l = dd->EditLabel();
    EXPECT_EQ(l->Parent(), &form);
    EXPECT_EQ(l->Top(), 50);
    EXPECT_LT(l->Left() + l->Width(), 150);
    dd->SetLabelPosition(lpTopCenter);
    EXPECT_EQ(l->Top(), 50 - l->Height() - 4);
    EXPECT_EQ(l->Left(), 150 + (120 - l->Width()) / 2);
    dd->SetBounds(160, 60, 120, 21);
    EXPECT_EQ(l->Top(), 60 - l->Height() - 4);
    dd->SetLabelCaption(u"A caption much wider than the edit itself");
    EXPECT_LT(l->Left(), 160) << "centred: left of the edit by half the difference";
}

TEST_F(LookFixture, DisabledFrameAndPickOnlyHighlight) {
    dd->SetEnabled(false);
    TBitmap shot;
    RenderControlToBitmap(dd, shot);
    EXPECT_EQ(shot.Canvas().Pixels(0, 10), TColor(0xC0C0C0));
    EXPECT_EQ(shot.Canvas().Pixels(60, 0), TColor(0xC0C0C0));
    dd->SetEnabled(true);

    TEdit* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 10, 80, 21);
    dd->SetEditorEnabled(false);
    dd->SetTextValue(u"pick");
    other->SetFocus();
    RenderControlToBitmap(dd, shot);
    const TColor highlight = ColorToRGB(clHighlight);
    EXPECT_NE(shot.Canvas().Pixels(90, 4), highlight) << "not focused: plain";
    dd->SetFocus();
    dd->Repaint();
    RenderControlToBitmap(dd, shot);
    EXPECT_EQ(shot.Canvas().Pixels(90, 4), highlight) << "focused: highlighted";
}

TEST(DropDownLook, ItemListColoursByStyle) {
    TItemAppearance a;
    TExCustomDropDown::ApplyItemAppearanceStyle(&a, tsOffice2007Luna);
    EXPECT_EQ(a.ColorHot, 0xEBFDFF);
    EXPECT_EQ(a.ColorMirrorSelectedTo, 0x7AE1FE);
    EXPECT_EQ(a.BorderColorTop, 0xF4FEFF);
    TExCustomDropDown::ApplyItemAppearanceStyle(&a, tsOffice2003Blue);
    EXPECT_EQ(a.BorderColorTop, clNone);
    TExCustomDropDown::ApplyItemAppearanceStyle(&a, tsTerminal);
    EXPECT_EQ(a.ColorSelected, TColor(0xFF00000D));
    EXPECT_EQ(a.ColorSelectedText, TColor(0xFF00000E));
    EXPECT_EQ(a.ColorMirrorHot, clNone);
    a.BorderColorHot = 0x123;
    TExCustomDropDown::ApplyItemAppearanceStyle(&a, tsCustom);
    EXPECT_EQ(a.BorderColorHot, 0x123);
    TExCustomDropDown::ApplyItemAppearanceStyle(nullptr, tsTerminal);
}

}  // namespace

namespace {

TEST(DropDownLook, SelectionIsPlainInTheCustomStyleAndRoundedOtherwise) {
    TForm form(nullptr);
    auto* dd = new TExCustomDropDown(&form);
    TBitmap b;
    b.SetSize(40, 20);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().FillRect(Rect(0, 0, 40, 20));
    dd->DrawSelection(b.Canvas(), Rect(0, 0, 40, 20), 0, 0x00FF00);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), TColor(0x00FF00)) << "the corner shows the list's background";
    EXPECT_NE(b.Canvas().Pixels(20, 10), TColor(clWhite));
    dd->SetSelectionColorStyle(scCustom);
    dd->SetSelectionColor(0x0000FF);
    dd->DrawSelection(b.Canvas(), Rect(0, 0, 40, 20), 0, 0x00FF00);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), TColor(0x0000FF));
    EXPECT_EQ(b.Canvas().Pixels(39, 19), TColor(0x0000FF));
}

}  // namespace

namespace {

TEST_F(LookFixture, AButtonGlyphTakesThePlaceOfTheArrow) {
    TBitmap arrow;
    RenderControlToBitmap(dd->Button(), arrow);
    TBitmap glyph;
    glyph.SetSize(8, 8);
    // A glyph's corner pixel is its transparent colour: a white frame around a red square.
    glyph.Canvas().Brush().SetColor(clWhite);
    glyph.Canvas().FillRect(Rect(0, 0, 8, 8));
    glyph.Canvas().Brush().SetColor(TColor(0x0000C0));
    glyph.Canvas().FillRect(Rect(1, 1, 7, 7));
    dd->SetDropDownButtonGlyph(&glyph);
    EXPECT_EQ(dd->DropDownButtonGlyph().Width(), 8);
    EXPECT_EQ(&dd->DropDownButtonGlyph(), &dd->Button()->Glyph());  // kept in the button
    TBitmap shot;
    RenderControlToBitmap(dd->Button(), shot);
    int red = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) red += ColorToRGB(shot.Canvas().Pixels(x, y)) == 0x0000C0;
    EXPECT_GT(red, 20);
    dd->SetDropDownButtonGlyph(nullptr);
    EXPECT_TRUE(dd->DropDownButtonGlyph().Empty());
    RenderControlToBitmap(dd->Button(), shot);
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            ASSERT_EQ(shot.Canvas().Pixels(x, y), arrow.Canvas().Pixels(x, y)) << x << "," << y;
}

}  // namespace
