#include "controls/ExDateTimePicker.h"

#include "framework/DateUtils.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptionLabel, PlacesForEveryPosition) {
    // A control at (100, 50) 80 x 20; a label 30 x 13 whose caption measures 28; margin 4.
    const TRect b = Bounds(100, 50, 80, 20);
    const TSize l{30, 13};
    struct Case {
        TLabelPosition pos;
        TPoint at;
    };
    const Case cases[] = {
        {lpLeftTop, {68, 50}},       {lpLeftCenter, {68, 53}},     {lpLeftBottom, {68, 57}},
        {lpTopLeft, {100, 33}},      {lpBottomLeft, {100, 74}},    {lpLeftTopLeft, {96, 50}},
        {lpLeftCenterLeft, {96, 53}}, {lpLeftBottomLeft, {96, 57}}, {lpTopCenter, {125, 33}},
        {lpBottomCenter, {125, 74}}, {lpRightTop, {184, 50}},      {lpRightCenter, {184, 53}},
        {lpRighBottom, {184, 57}},   {lpTopRight, {150, 33}},      {lpBottomRight, {150, 74}},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionLabelPosition(c.pos, b, l, 28, 4), c.at) << int(c.pos);
    // A label wider than the control, centred: left of it by half the difference.
    EXPECT_EQ(CaptionLabelPosition(lpTopCenter, b, TSize{120, 13}, 118, 4).X, 100 - 20);
}

struct PickerFixture : ::testing::Test {
    TForm form{nullptr};
    TExDateTimePicker* dtp = nullptr;
    void SetUp() override {
        form.SetBounds(100, 100, 400, 120);
        dtp = new TExDateTimePicker(&form);
        dtp->SetParent(&form);
        dtp->SetBounds(120, 10, 220, 21);
        form.Show();
    }
};

TEST_F(PickerFixture, DateAndTimeComeFromBothPickers) {
    ASSERT_NE(dtp->TimePicker(), nullptr);
    const TDateTime march3 = EncodeDate(2026, 3, 3);
    dtp->SetDateTime(march3 + EncodeTime(14, 25, 10, 500));
    EXPECT_DOUBLE_EQ(dtp->GetDateTime(), march3 + EncodeTime(14, 25, 10, 0)) << "milliseconds dropped";
    dtp->TimePicker()->SetTime(EncodeTime(9, 5, 0, 0));
    EXPECT_DOUBLE_EQ(dtp->GetDateTime(), march3 + EncodeTime(9, 5, 0, 0));
    EXPECT_DOUBLE_EQ(dtp->Time(), EncodeTime(9, 5, 0, 0));
    dtp->TimePicker()->SetTime(EncodeTime(14, 25, 10, 0));
    dtp->SetDate(EncodeDate(2026, 7, 1) + EncodeTime(1, 1, 1, 0));
    EXPECT_DOUBLE_EQ(dtp->GetDateTime(), EncodeDate(2026, 7, 1) + EncodeTime(14, 25, 10, 0));
    // The time picker sits inside the right end.
    EXPECT_LT(dtp->TimePicker()->Left() + dtp->TimePicker()->Width(), dtp->Width());
    EXPECT_EQ(dtp->TimePicker()->Top(), 1);

    dtp->SetKind(dkDate);
    EXPECT_EQ(dtp->TimePicker(), nullptr);
    dtp->SetTime(EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(dtp->Time(), EncodeTime(8, 0, 0, 0));
    dtp->SetKind(dkDateTime);
    EXPECT_NE(dtp->TimePicker(), nullptr);
}

TEST_F(PickerFixture, TheCheckBoxEnablesTheTimePicker) {
    dtp->SetShowCheckbox(true);
    dtp->SetChecked(false);
    EXPECT_FALSE(dtp->TimePicker()->Enabled());
    dtp->SetChecked(true);
    EXPECT_TRUE(dtp->TimePicker()->Enabled());
    // Space in the picker clears the box: the time picker follows.
    dtp->SetFocus();
    SimulateKey(VK_SPACE);
    EXPECT_FALSE(dtp->Checked());
    EXPECT_FALSE(dtp->TimePicker()->Enabled());

    // Loaded unchecked (the box's state set while loading, before the time
    // picker followed it): the end of loading disables the time picker.
    dtp->BeginLoading();
    dtp->SetChecked(true);
    dtp->TDateTimePicker::SetChecked(false);
    ASSERT_TRUE(dtp->TimePicker()->Enabled());
    dtp->EndLoading();
    EXPECT_FALSE(dtp->TimePicker()->Enabled());
}

TEST_F(PickerFixture, FocusLabelIsBoldOnlyWhileFocused) {
    TEdit* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 60, 80, 21);
    dtp->SetKind(dkDate);
    dtp->SetLabelCaption(u"When");
    dtp->SetFocusLabel(true);
    dtp->SetLabelPosition(lpRighBottom);
    EXPECT_EQ(dtp->PickerLabel()->Left(), dtp->Left() + dtp->Width() + 4);
    EXPECT_EQ(dtp->PickerLabel()->Top() + dtp->PickerLabel()->Height(), dtp->Top() + dtp->Height());
    other->SetFocus();
    EXPECT_FALSE(dtp->PickerLabel()->Font().Style().Contains(fsBold));
    dtp->SetFocus();
    EXPECT_TRUE(dtp->PickerLabel()->Font().Style().Contains(fsBold));
    other->SetFocus();
    EXPECT_FALSE(dtp->PickerLabel()->Font().Style().Contains(fsBold));
}

TEST_F(PickerFixture, AutoTabMovesOnWhenADigitCompletesAField) {
    dtp->SetFormat(u"dd/mm/yyyy");
    dtp->SetAutoTab(true);
    dtp->SetDateTime(EncodeDate(2026, 3, 3) + EncodeTime(12, 0, 0, 0));
    dtp->SetFocus();
    dtp->SetField(2);  // the year, the format's last field
    SimulateText(u"2027");
    Application->ProcessMessages();
    EXPECT_TRUE(dtp->TimePicker()->Focused()) << "completing the year moves into the time picker";

    dtp->SetFocus();
    dtp->SetField(0);
    SimulateText(u"15");
    Application->ProcessMessages();
    EXPECT_TRUE(dtp->Focused());
    EXPECT_GT(dtp->Field(), 0) << "changing the day moves to the next field";
}

TEST_F(PickerFixture, MetroButtonFollowsTheMouse) {
    dtp->SetKind(dkDate);
    dtp->SetMetroStyle(true);
    dtp->ButtonColor = TColor(0x0000FF);
    dtp->ButtonColorHot = TColor(0x00FF00);
    dtp->ButtonColorDown = TColor(0xFF0000);
    dtp->ButtonTextColor = TColor(0xFFFFFF);
    const int bx = dtp->Width() - dtp->ButtonWidth() / 2;  // inside the button area, clear of the arrow
    auto buttonPixel = [&] {
        dtp->Repaint();
        TBitmap shot;
        RenderControlToBitmap(dtp, shot);
        return shot.Canvas().Pixels(bx, 3);
    };
    EXPECT_EQ(buttonPixel(), TColor(0x0000FF));
    SimulateMouseMove(dtp, bx, 10);
    EXPECT_TRUE(dtp->ButtonHover());
    EXPECT_EQ(buttonPixel(), TColor(0x00FF00));
    SimulateMouseMove(dtp, 10, 10);
    EXPECT_FALSE(dtp->ButtonHover()) << "the text area is not the button";
    EXPECT_EQ(buttonPixel(), TColor(0x0000FF));
}

TEST_F(PickerFixture, FramesOfTheFlatAndMetroLooks) {
    dtp->SetKind(dkDate);
    form.SetColor(TColor(0x3080C0));
    auto pixel = [&](int x, int y) {
        dtp->Repaint();
        TBitmap shot;
        RenderControlToBitmap(dtp, shot);
        return shot.Canvas().Pixels(x, y);
    };
    // Flat without a border: the outline takes the parent's colour.
    dtp->SetCtl3D(false);
    dtp->SetBorderStyle(bsNone);
    EXPECT_EQ(pixel(0, 10), TColor(0x3080C0));
    EXPECT_EQ(pixel(dtp->Width() - 1, 10), TColor(0x3080C0));
    // Metro with a border colour, and another while focused.
    dtp->SetCtl3D(true);
    dtp->SetMetroStyle(true);
    dtp->SetBorderColor(TColor(0x123456));
    dtp->SetFocusBorderColor(TColor(0x654321));
    TEdit* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 60, 80, 21);
    other->SetFocus();
    EXPECT_EQ(pixel(0, 10), TColor(0x123456));
    dtp->SetFocus();
    EXPECT_TRUE(dtp->HasFocus());
    EXPECT_EQ(pixel(0, 10), TColor(0x654321));
    other->SetFocus();
    // Disabled under themes: the grey-blue frame unless DisabledBorder.
    dtp->SetEnabled(false);
    EXPECT_EQ(pixel(0, 10), TColor(0xB99D7F));
    EXPECT_EQ(pixel(40, 0), TColor(0xB99D7F));
}

}  // namespace
