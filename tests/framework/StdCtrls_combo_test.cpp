#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

namespace {
struct ComboForm {
    ComboForm() {
        form.SetBounds(100, 100, 400, 200);
        combo = Place<TComboBox>(&form, 150, 10, 120, 21);
        for (const char16_t* s : {u"Holding Register", u"Input Register", u"Coil"}) combo->Items().Add(s);
        form.Show();
        form.SetFocus();
        combo->SetFocus();
    }
    TForm form{nullptr};
    TComboBox* combo;
};
}  // namespace

TEST(ComboBox, DroppedWidthAndTheListsSide) {
    ComboForm f;
    TComboBox& c = *f.combo;
    struct Case { int set; int width; } cases[] = {{0, 120}, {60, 120}, {200, 200}};
    for (const auto& k : cases) {
        c.SetDroppedWidth(k.set);
        EXPECT_EQ(c.DroppedWidth(), k.width) << k.set;
    }
    const TPoint origin = c.ClientToScreen({0, 0});
    for (bool right : {false, true}) {
        c.SetDropDownAlignRight(right);
        c.SetDroppedDown(true);
        ASSERT_TRUE(c.DroppedDown());
        const TRect list = c.DroppedRect();
        EXPECT_EQ(list.Right - list.Left, 200) << right;
        if (right) EXPECT_EQ(list.Right, origin.X + c.Width());
        else EXPECT_EQ(list.Left, origin.X);
        c.SetDroppedDown(false);
    }
    EXPECT_TRUE(IsRectEmpty(c.DroppedRect()));
}

TEST(ComboBox, FieldSelectionItemHeightAndPositions) {
    ComboForm f;
    TComboBox& c = *f.combo;
    c.SetText(u"abcdef");
    c.SetSelStart(2);
    c.SetSelLength(3);
    EXPECT_EQ(c.SelStart(), 2);
    EXPECT_EQ(c.SelLength(), 3);
    EXPECT_EQ(c.CharFromPos({1, 10}), 0);
    EXPECT_EQ(c.CharFromPos({100, 10}), 6);
    c.SetItemHeight(-1, 20);
    EXPECT_EQ(c.Height(), 26);
    EXPECT_EQ(c.ItemHeight(-1), 20);
    c.SetItemHeight(0, 18);
    EXPECT_EQ(c.ItemHeight(), 18);
}

TEST(ComboBox, AutoCompleteFillsInTheFirstMatchingItem) {
    for (bool on : {true, false}) {
        ComboForm f;
        TComboBox& c = *f.combo;
        c.SetAutoComplete(on);
        c.SetText(u"");
        SimulateText(u"in");
        if (on) {
            EXPECT_EQ(c.Text(), u"Input Register");
            EXPECT_EQ(c.SelStart(), 2);
            EXPECT_EQ(c.SelLength(), 12);
            EXPECT_EQ(c.ItemIndex(), 1);
            SimulateKey(VK_BACK);  // takes the completion away and completes nothing
            EXPECT_EQ(c.Text(), u"In");
        } else {
            EXPECT_EQ(c.Text(), u"in");
        }
    }
}

// A list narrower than its widest item opens wide enough to show it whole.
TEST(ComboBox, AListOpensAtLeastAsWideAsItsWidestItem) {
    ComboForm f;
    TComboBox& c = *f.combo;
    c.SetWidth(60);
    c.SetDroppedDown(true);
    ASSERT_TRUE(c.DroppedDown());
    const TRect list = c.DroppedRect();
    TBitmap measure;
    measure.Canvas().Font().Assign(&c.Font());
    EXPECT_GE(list.Right - list.Left, measure.Canvas().TextWidth(u"Holding Register") + 8);
    c.SetDroppedDown(false);
}
