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
    f.combo->Invalidate();
    b = f.Render();
    // Without a text colour the arrow takes the font's.
    const int arrowX = f.combo->ClientWidth() - bw + 2 + 7, arrowY = 1 + 1 + 8;
    EXPECT_EQ(f.At(b, arrowX, arrowY), ColorToRGB(f.combo->Font().Color()));
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

// IsWinXP drops the ring around an inactive themed button; IsVista leaves
// the painting to the platform unless a border or button colour is set.
TEST(ExgCombo, IsWinXPAndIsVistaLeaveTheirPartsToThePlatform) {
    ComboForm f;
    f.combo->SetFlat(true);
    f.combo->SetColor(clWhite);
    const int h = f.combo->Height(), bw = f.combo->ButtonWidth();
    const int ringX = f.combo->ClientWidth() - bw + 1;
    ASSERT_EQ(f.At(f.Render(), ringX, h / 2), ColorToRGB(clBtnFace));
    f.combo->SetIsWinXP(true);
    f.combo->Invalidate();
    EXPECT_NE(f.At(f.Render(), ringX, h / 2), ColorToRGB(clBtnFace));
    // The flat frame is drawn, in the parent's colour, until IsVista.
    EXPECT_EQ(f.At(f.Render(), 0, h / 2), TColor(0x00C000));
    f.combo->SetIsVista(true);
    f.combo->Invalidate();
    EXPECT_NE(f.At(f.Render(), 0, h / 2), TColor(0x00C000));
    f.combo->SetBorderColor(clRed);
    EXPECT_EQ(f.At(f.Render(), 0, h / 2), clRed);
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

TEST(ExgCombo, TheCaptionLabelSitsBesideTheControlAndFollowsIt) {
    ComboForm f;
    EXPECT_EQ(f.combo->ComboLabel(), nullptr);
    EXPECT_EQ(f.combo->LabelCaption(), u"");
    f.combo->SetLabelCaption(u"&Name");
    TLabel* l = f.combo->ComboLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(f.combo->LabelCaption(), u"&Name");
    EXPECT_EQ(l->Parent(), f.panel);
    EXPECT_EQ(l->FocusControl(), f.combo);
    const int h = f.combo->Height(), lw = l->Width(), lh = l->Height();
    ASSERT_GT(lw, 0);
    struct Case {
        TLabelPosition Position;
        int Left, Top;
    };
    for (const Case& c : {Case{lpLeftTop, 20 - lw - 4, 20}, Case{lpLeftCenter, 20 - lw - 4, 20 + (h - lh) / 2},
                          Case{lpTopLeft, 20, 20 - lh - 4}, Case{lpBottomLeft, 20, 20 + h + 4},
                          Case{lpTopCenter, 20 + (150 - lw) / 2, 20 - lh - 4}, Case{lpRightTop, 20 + 150 + 4, 20},
                          Case{lpLeftTopLeft, 16, 20}}) {
        f.combo->SetLabelPosition(c.Position);
        EXPECT_EQ(l->Left(), c.Left) << int(c.Position);
        EXPECT_EQ(l->Top(), c.Top) << int(c.Position);
    }
    // The margin and a move of the control take the label along.
    f.combo->SetLabelPosition(lpBottomLeft);
    f.combo->SetLabelMargin(10);
    f.combo->SetBounds(50, 60, 150, h);
    EXPECT_EQ(l->Left(), 50);
    EXPECT_EQ(l->Top(), 60 + f.combo->Height() + 10);
    // Enabled and visible follow the control, unless the label stays enabled.
    f.combo->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());
    f.combo->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(l->Enabled());
    f.combo->SetEnabled(true);
    f.combo->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    f.combo->SetVisible(true);
    EXPECT_TRUE(l->Visible());
    // Bold while focused.
    f.combo->SetFocusLabel(true);
    f.combo->SetFocus();
    EXPECT_TRUE(l->Font().Style().Contains(fsBold));
    f.other->SetFocus();
    EXPECT_FALSE(l->Font().Style().Contains(fsBold));
}

TEST(ExgCombo, AutoFocusTakesTheFocusWhenTheMouseEntersOnTheActiveForm) {
    ComboForm f;
    auto enter = [&] {
        SimulateMouseMove(f.other, 5, 5);
        SimulateMouseMove(f.combo, 5, 5);
    };
    enter();
    EXPECT_TRUE(f.other->Focused());
    f.combo->SetAutoFocus(true);
    enter();
    EXPECT_TRUE(f.combo->Focused());
    // Another form active: hovering the control leaves the focus alone.
    f.other->SetFocus();
    TForm second(nullptr);
    second.SetBounds(400, 0, 100, 100);
    second.Show();
    SimulateActivate(&second);
    ASSERT_FALSE(f.form.Active());
    enter();
    EXPECT_FALSE(f.combo->Focused());
}

}  // namespace
