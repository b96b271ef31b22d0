#include "framework/ComCtrls.h"
#include "framework/DateUtils.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

TEST(TrackBar, PageKeysMoveByThePageSize) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* bar = Place<TTrackBar>(&form, 10, 10, 200, 40);
    bar->SetMax(100);
    EXPECT_EQ(bar->PageSize(), 2);
    bar->SetPageSize(25);
    form.Show();
    form.SetFocus();
    bar->SetFocus();
    SimulateKey(VK_NEXT);
    EXPECT_EQ(bar->Position(), 25);
    bar->SetPageSize(10);
    SimulateKey(VK_NEXT);
    EXPECT_EQ(bar->Position(), 35);
}

TEST(TreeView, RowSelectMarksTheWholeRow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* tree = Place<TTreeView>(&form, 10, 10, 200, 150);
    TTreeNode* root = tree->Items().Add(nullptr, u"Root");
    TTreeNode* child = tree->Items().AddChild(root, u"Child");
    root->Expand(false);
    tree->SetHideSelection(false);
    tree->SetSelected(child);
    form.Show();
    EXPECT_FALSE(tree->RowSelect());
    tree->SetRowSelect(true);
    EXPECT_TRUE(tree->RowSelect());
    // The selected row's left end (its indentation) and its far right show
    // the mark's colour, as the text does.
    TBitmap shot;
    RenderControlToBitmap(tree, shot);
    TTreeNode* hit = nullptr;
    int y = 0;
    for (; y < shot.Height() && hit != child; ++y) hit = tree->GetNodeAt(150, y);
    ASSERT_EQ(hit, child);
    y += 3;
    const TColor mark = shot.Canvas().Pixels(150, y);
    EXPECT_NE(mark, shot.Canvas().Pixels(150, 2));  // the mark is not the background
    EXPECT_EQ(shot.Canvas().Pixels(3, y), mark);
    EXPECT_EQ(shot.Canvas().Pixels(185, y), mark);
}

TEST(PopupMenu, ItemsNameTheirPictureInTheMenusImages) {
    TPopupMenu menu(nullptr);
    TMenuItem* item = NewItem(&menu, u"Copy", nullptr);
    menu.Items().Add(item);
    EXPECT_EQ(item->ImageIndex, -1);
    item->ImageIndex = 0;
    {
        TImageList images(nullptr);
        menu.SetImages(&images);
        EXPECT_EQ(menu.Images(), &images);
    }
    EXPECT_EQ(menu.Images(), nullptr);  // the list went away first
}

namespace {
struct PickerForm {
    PickerForm() {
        form.SetBounds(100, 100, 300, 100);
        picker = Place<TDateTimePicker>(&form, 10, 10, 150, 21);
        picker->SetFormat(u"dd/mm/yyyy");
        picker->SetDate(EncodeDate(2024, 3, 15));
        picker->OnChange = [this](TObject*) { ++changes; };
        form.Show();
        form.SetFocus();
        picker->SetFocus();
    }
    TForm form{nullptr};
    TDateTimePicker* picker;
    int changes = 0;
};
}  // namespace

TEST(DateTimePicker, CheckBoxMeansNoDateAndSpaceTogglesIt) {
    PickerForm f;
    TDateTimePicker& p = *f.picker;
    EXPECT_TRUE(p.Checked());
    p.SetShowCheckbox(true);
    p.SetChecked(false);
    EXPECT_FALSE(p.Checked());
    // Without a date, typing and the calendar do nothing.
    SimulateKey(VK_UP);
    SimulateKey(VK_F4);
    EXPECT_FALSE(p.DroppedDown());
    EXPECT_EQ(p.Date(), EncodeDate(2024, 3, 15));
    SimulateKey(VK_SPACE);
    EXPECT_TRUE(p.Checked());
    EXPECT_EQ(f.changes, 1);
    p.SetShowCheckbox(false);
    EXPECT_TRUE(p.Checked());  // no box: always a date
}

TEST(DateTimePicker, FieldsTypedDigitsAndTheRange) {
    PickerForm f;
    TDateTimePicker& p = *f.picker;
    p.SetField(1);
    SimulateKey(VK_UP);  // the caret's field steps
    EXPECT_EQ(p.Date(), EncodeDate(2024, 4, 15));
    EXPECT_EQ(p.Field(), 1);
    p.SetField(0);
    EXPECT_EQ(p.Field(), 0);
    SimulateText(u"21");  // the day, then the caret moves on to the month
    EXPECT_EQ(p.Date(), EncodeDate(2024, 4, 21));
    EXPECT_EQ(p.Field(), 1);
    EXPECT_GT(f.changes, 0);
    p.SetMinDate(EncodeDate(2024, 4, 1));
    p.SetMaxDate(EncodeDate(2024, 4, 30));
    p.SetDate(EncodeDate(2025, 1, 1));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 4, 30));
    p.SetDate(EncodeDate(2020, 1, 1));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 4, 1));
    p.SetMinDate(0);
    p.SetDate(EncodeDate(2020, 1, 1));
    EXPECT_EQ(p.Date(), EncodeDate(2020, 1, 1));
}

TEST(DateTimePicker, F4DropsTheCalendarDownAndClosesIt) {
    PickerForm f;
    TDateTimePicker& p = *f.picker;
    std::vector<std::string> log;
    p.OnDropDown = [&](TObject*) { log.push_back("drop"); };
    p.OnCloseUp = [&](TObject*) { log.push_back("close"); };
    p.SetWeekNumbers(true);
    EXPECT_TRUE(p.WeekNumbers());
    SimulateKey(VK_F4);
    EXPECT_TRUE(p.DroppedDown());
    p.SetDroppedDown(false);
    EXPECT_FALSE(p.DroppedDown());
    SimulateKey(VK_DOWN, {ssAlt});
    EXPECT_TRUE(p.DroppedDown());
    p.SetDroppedDown(false);
    EXPECT_EQ(log, (std::vector<std::string>{"drop", "close", "drop", "close"}));
    // Up-down mode has no calendar.
    p.SetDateMode(dmUpDown);
    SimulateKey(VK_F4);
    EXPECT_FALSE(p.DroppedDown());
}
