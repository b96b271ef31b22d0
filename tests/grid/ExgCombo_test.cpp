#include "grid/ExgCombo.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A flat combo box on a panel of its own colour.
struct ComboForm {
    TForm form{nullptr};
    TPanel* panel;
    TExgComboBox* combo;
    TButton* other;

    ComboForm() {
        form.SetBounds(0, 0, 300, 200);
        panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(0, 0, 300, 200);
        panel->SetColor(TColor(0x00C000));
        combo = new TExgComboBox(&form);
        combo->SetParent(panel);
        combo->SetBounds(20, 20, 150, 21);
        combo->Items().Add(u"one");
        other = new TButton(&form);
        other->SetParent(panel);
        other->SetBounds(20, 100, 80, 25);
        form.Show();
        other->SetFocus();
    }
    static TColor At(const std::unique_ptr<TBitmap>& b, int x, int y) { return b->Canvas().Pixels(x, y); }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(combo, *b);
        return b;
    }
};

TEST(ExgCombo, ButtonWidthKeepsToItsRange) {
    ComboForm f;
    const int w = f.combo->ButtonWidth();
    for (int bad : {13, 33}) {
        f.combo->SetButtonWidth(bad);
        EXPECT_EQ(f.combo->ButtonWidth(), w);
    }
    for (int good : {14, 32}) {
        f.combo->SetButtonWidth(good);
        EXPECT_EQ(f.combo->ButtonWidth(), good);
    }
}

TEST(ExgCombo, FlatTakesTheParentsColourAndDisablingKeepsIt) {
    ComboForm f;
    f.combo->SetColor(clWindow);
    f.combo->SetFlat(true);
    EXPECT_EQ(f.combo->Color(), TColor(0x00C000));
    f.combo->SetFlat(false);
    EXPECT_EQ(f.combo->Color(), clWindow);
    f.combo->SetFlat(true);
    f.combo->SetColor(clYellow);
    f.combo->SetEnabled(false);
    EXPECT_TRUE(f.combo->ParentColor());
    EXPECT_EQ(f.combo->Color(), TColor(0x00C000));
    f.combo->SetEnabled(true);
    EXPECT_FALSE(f.combo->ParentColor());
    EXPECT_EQ(f.combo->Color(), clYellow);
}

TEST(ExgCombo, TheFlatFrameAndAColouredButtonAreDrawnOverTheBox) {
    ComboForm f;
    f.combo->SetFlat(true);
    f.combo->SetColor(clWhite);
    auto b = f.Render();
    const int h = f.combo->Height(), w = f.combo->Width(), bw = f.combo->ButtonWidth();
    // Two frames in the parent's colour, then the box's own.
    EXPECT_EQ(f.At(b, 0, h / 2), TColor(0x00C000));
    EXPECT_EQ(f.At(b, 1, h / 2), TColor(0x00C000));
    EXPECT_EQ(f.At(b, 2, h / 2), clWhite);
    EXPECT_EQ(f.At(b, w / 2, 0), TColor(0x00C000));
    // The inactive button is ringed in the face colour.
    EXPECT_EQ(f.At(b, w - bw + 1, h / 2), ColorToRGB(clBtnFace));

    f.combo->ButtonColor = clNavy;
    f.combo->ButtonTextColor = clYellow;
    f.combo->Invalidate();
    b = f.Render();
    // The arrow's tip row in the middle of the button, its fill beside it.
    const int left = f.combo->ClientWidth() - bw + 2 + 1 - 1;
    EXPECT_EQ(f.At(b, left + 7, 1 + 1 + 8), clYellow);
    EXPECT_EQ(f.At(b, left + 7, 1 + 1 + 3), clNavy);

    // A border colour replaces the flat frame.
    f.combo->SetBorderColor(clRed);
    b = f.Render();
    EXPECT_EQ(f.At(b, 0, h / 2), clRed);
    EXPECT_EQ(f.At(b, w - 1, h / 2), clRed);
}

TEST(ExgCombo, TheListClosingIsReported) {
    ComboForm f;
    int closed = 0;
    f.combo->OnDropUp = [&](TObject*) { ++closed; };
    f.combo->SetDroppedDown(true);
    f.combo->SetDroppedDown(false);
    EXPECT_EQ(closed, 1);
}

TEST(ExgCombo, FocusColoursAndFrames) {
    ComboForm f;
    f.combo->SetColor(clWhite);
    f.combo->Init();
    f.combo->SetFocusColor(clYellow);
    f.combo->SetBorderColor(clRed);
    f.combo->SetFocusBorderColor(clBlue);
    const int h = f.combo->Height();
    auto b = f.Render();
    EXPECT_EQ(f.At(b, 0, h / 2), clRed);
    f.combo->SetFocus();
    EXPECT_EQ(f.combo->Color(), clYellow);
    b = f.Render();
    EXPECT_EQ(f.At(b, 0, h / 2), clBlue);
    f.other->SetFocus();
    EXPECT_EQ(f.combo->Color(), clWhite);
    b = f.Render();
    EXPECT_EQ(f.At(b, 0, h / 2), clRed);
}

}  // namespace
