#include "grid/foundation/ExCheckBox.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

namespace {

class RedPanel : public TCustomControl {
public:
    explicit RedPanel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    }

protected:
    void Paint() override {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(ClientRect());
    }
};

struct Form {
    Form() {
        form.SetBounds(100, 100, 300, 160);
        panel = new RedPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(0, 0, 300, 100);
        box = new TExCheckBox(&form);
        box->SetParent(panel);
        box->SetBounds(10, 10, 98, 20);
        box->SetCaption(u"&Match case");
        box->OnClick = [this](TObject*) { ++clicks; };
        other = new TExCheckBox(&form);
        other->SetParent(panel);
        other->SetBounds(10, 40, 98, 20);
        other->SetTabStop(true);
        form.Show();
    }
    void Click(TMouseButton Button, int X = 30, int Y = 10) {
        SimulateMouseDown(box, Button, X, Y);
        SimulateMouseUp(box, Button, X, Y);
    }
    TForm form{nullptr};
    RedPanel* panel;
    TExCheckBox *box, *other;
    int clicks = 0;
};

TEST(ExCheckBox, MouseGesturesAndReadOnly) {
    Form f;
    EXPECT_EQ(f.box->Width(), 98);
    f.Click(mbLeft);
    EXPECT_TRUE(f.box->Checked());
    EXPECT_EQ(f.clicks, 1);
    f.Click(mbRight);  // the right button toggles as well
    EXPECT_FALSE(f.box->Checked());
    EXPECT_EQ(f.clicks, 2);

    SimulateMouseDown(f.box, mbLeft, 30, 10);
    EXPECT_TRUE(f.box->Down());
    SimulateMouseMove(f.box, 150, 10);
    EXPECT_FALSE(f.box->Down());
    SimulateMouseMove(f.box, 40, 10);
    EXPECT_TRUE(f.box->Down());
    SimulateMouseMove(f.box, 150, 10);
    SimulateMouseUp(f.box, mbLeft, 150, 10);  // released outside
    EXPECT_FALSE(f.box->Checked());
    EXPECT_EQ(f.clicks, 2);

    f.box->SetReadOnly(true);
    f.Click(mbLeft);
    EXPECT_FALSE(f.box->Checked());
    EXPECT_EQ(f.clicks, 3);  // read-only still clicks

    f.box->SetReadOnly(false);
    f.box->SetState(cbGrayed);
    f.box->Toggle();
    EXPECT_EQ(f.box->State(), cbChecked);
    EXPECT_EQ(f.clicks, 3);  // setting the state fires nothing
}

TEST(ExCheckBox, KeysAndAccelerator) {
    Form f;
    f.box->SetFocus();
    SimulateKey(VK_SPACE);
    EXPECT_TRUE(f.box->Checked());
    EXPECT_EQ(f.clicks, 1);
    SimulateKey('M', TShiftState{ssAlt});
    EXPECT_FALSE(f.box->Checked());  // toggled by its accelerator, without a click
    EXPECT_EQ(f.clicks, 1);

    f.box->SetReturnIsTab(true);
    f.box->SetTabStop(true);
    f.box->SetFocus();
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(f.other->Focused());
}

TEST(ExCheckBox, MarkPlacementAndTransparency) {
    const TThemeRenderer Was = CurrentThemeRenderer();
    SetThemeRenderer(trStyled);
    Form f;
    f.box->SetCaption(u"");
    f.box->SetAlignment(taRightJustify);
    f.box->SetButtonVertAlign(tlBottom);
    EXPECT_EQ(f.box->MarkRect(), Bounds(83, 6, 14, 14));
    TBitmap Shot;
    RenderControlToBitmap(f.box, Shot);
    const TColor Back = Shot.Canvas().Pixels(40, 2);
    int Left = 99, Top = 99;
    for (int y = 0; y < 20; ++y)
        for (int x = 60; x < 98; ++x)
            if (Shot.Canvas().Pixels(x, y) != Back) {
                Left = std::min(Left, x);
                Top = std::min(Top, y);
            }
    EXPECT_EQ(Left, 83);
    EXPECT_EQ(Top, 6);

    EXPECT_NE(Back, clRed);
    f.box->SetTransparent(true);
    RenderControlToBitmap(f.box, Shot);
    EXPECT_EQ(Shot.Canvas().Pixels(40, 2), clRed);  // the parent's painting shows through
    f.box->SetTransparentChaching(true);
    RenderControlToBitmap(f.box, Shot);
    EXPECT_EQ(Shot.Canvas().Pixels(40, 2), clRed);
    SetThemeRenderer(Was);
}

}  // namespace
