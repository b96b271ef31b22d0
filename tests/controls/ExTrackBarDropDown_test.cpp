#include "controls/ExTrackBarDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

struct TrackFixture : ::testing::Test {
    TForm form{nullptr};
    TExTrackBarDropDown* dd = nullptr;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 100);
        dd = new TExTrackBarDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 150, 21);
        form.Show();
        dd->SetFocus();
    }
};

TEST_F(TrackFixture, KeysAndDragsMoveThePositionWithinTheRange) {
    dd->SetFrequency(3);
    dd->SetPageSize(2);
    struct Case {
        const char* name;
        int start;
        Word key;  // 0: a drag instead
        int dragBy;
        int expect;
    };
    const Case cases[] = {
        {"Up lowers by the frequency", 5, VK_UP, 0, 2},
        {"Down raises by the frequency", 5, VK_DOWN, 0, 8},
        {"Up below the minimum does nothing", 2, VK_UP, 0, 2},
        {"Down at 8 would pass 10", 8, VK_DOWN, 0, 8},
        {"a drag of 5 pixels raises by 2", 4, 0, 5, 6},
        {"a drag of -3 pixels lowers by 1", 4, 0, -3, 3},
        {"a drag of 1 pixel changes nothing", 4, 0, 1, 4},
    };
    for (const Case& c : cases) {
        dd->SetPosition(c.start);
        if (c.key) {
            SimulateKey(c.key);
        } else {
            SimulateMouseDown(dd, mbLeft, 50, 5);
            SimulateMouseMove(dd, 50 + c.dragBy, 5, {ssLeft});
            SimulateMouseUp(dd, mbLeft, 50 + c.dragBy, 5);
        }
        EXPECT_EQ(dd->Position(), c.expect) << c.name;
        EXPECT_EQ(dd->GetText(), IntToStr(c.expect)) << c.name;
    }
    // With typing on neither keys nor drags change the value.
    dd->SetEditorEnabled(true);
    dd->SetPosition(5);
    SimulateKey(VK_UP);
    SimulateMouseDown(dd, mbLeft, 50, 5);
    SimulateMouseMove(dd, 60, 5, {ssLeft});
    SimulateMouseUp(dd, mbLeft, 60, 5);
    EXPECT_EQ(dd->Position(), 5);
}

TEST_F(TrackFixture, PositionIsClampedAndTextFollowsBothWays) {
    dd->SetPosition(4);
    dd->SetPosition(15);
    EXPECT_EQ(dd->Position(), 10);
    EXPECT_EQ(dd->GetText(), u"10");
    dd->SetText(u"7");
    EXPECT_EQ(dd->Position(), 7);
    dd->SetText(u"x");  // not a whole number: the position stays
    EXPECT_EQ(dd->Position(), 7);

    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    EXPECT_EQ(dd->DropDownForm()->Width(), 150);
    EXPECT_EQ(dd->TrackBar()->Width(), 150 - 2);
    EXPECT_EQ(dd->DropDownForm()->Height(), 50) << "40 + 2 borders, held at the least height";
    EXPECT_EQ(dd->TrackBar()->Position(), 7);
    // Dragging the slider changes the text at once.
    dd->TrackBar()->SetPosition(3);
    dd->TrackBar()->OnChange(dd->TrackBar());
    EXPECT_EQ(dd->GetText(), u"3");
    // A click elsewhere accepts.
    TForm other(nullptr);
    other.Show();
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->Position(), 3);
}

}  // namespace
