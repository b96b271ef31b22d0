#include "controls/ExDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(DropDownPlacement, ChoosesAboveOrBelowAndKeepsTheRightEdge) {
    struct Case {
        const char* name;
        TRect edit;
        TSize popup;
        TRect work;
        TDropPosition pos;
        int userW, userH;
        TRect expect;
    };
    const TRect work = Rect(0, 0, 1024, 740);
    const Case cases[] = {
        {"auto with room below: top row on the edit's bottom row", Rect(100, 100, 300, 121), {200, 150}, work, dpAuto,
         -1, -1, Bounds(100, 120, 200, 150)},
        {"auto near the bottom: bottom on the edit's top", Rect(100, 650, 300, 671), {200, 150}, work, dpAuto, -1, -1,
         Bounds(100, 500, 200, 150)},
        {"auto compares with the screen height, not the work area", Rect(100, 600, 300, 621), {200, 150}, work,
         dpAuto, -1, -1, Bounds(100, 620, 200, 150)},
        {"down even near the bottom", Rect(100, 650, 300, 671), {200, 150}, work, dpDown, -1, -1,
         Bounds(100, 670, 200, 150)},
        {"up even with room below", Rect(100, 100, 300, 121), {200, 150}, work, dpUp, -1, -1, Bounds(100, -50, 200, 150)},
        {"wider than the room on the right: shifted to end at the work area", Rect(900, 100, 1000, 121), {300, 100},
         work, dpDown, -1, -1, Bounds(724, 120, 300, 100)},
        {"a work area starting left of zero: not shifted", Rect(900, 100, 1000, 121), {300, 100},
         Rect(-1280, 0, 1024, 740), dpDown, -1, -1, Bounds(900, 120, 300, 100)},
        {"left edge outside the work area: not shifted", Rect(1100, 100, 1200, 121), {300, 100}, work, dpDown, -1, -1,
         Bounds(1100, 120, 300, 100)},
        {"the user's size replaces the computed one after placing", Rect(100, 650, 300, 671), {200, 150}, work,
         dpAuto, 260, 90, Bounds(100, 500, 260, 90)},
    };
    for (const Case& c : cases) {
        TDropDownPlacement p;
        p.EditRect = c.edit;
        p.PopupSize = c.popup;
        p.WorkArea = c.work;
        p.ScreenHeight = 768;
        p.Position = c.pos;
        p.UserWidth = c.userW;
        p.UserHeight = c.userH;
        EXPECT_EQ(PlaceDropDown(p), c.expect) << c.name;
    }
}

// A kind with a plain edit field as its pop-up control, loaded from the
// edit's text and written back when the pop-up hides.
class EditKind : public TExCustomDropDown {
public:
    explicit EditKind(TComponent* owner) : TExCustomDropDown(owner) {
        CreateDropDownForm();
    }
    TEdit* inner = nullptr;
    int loads = 0;

protected:
    void CreateDropDownForm() override {
        TExCustomDropDown::CreateDropDownForm();
        if (!inner && FDropDownForm) {
            inner = new TEdit(this);
            inner->SetParent(FDropDownForm);
            inner->SetHeight(60);
            SetControl(inner);
            FFocusControl = inner;
        }
    }
    void DoBeforeDropDown() override {
        TExCustomDropDown::DoBeforeDropDown();
        ++loads;
        inner->SetText(GetText());
        inner->SetWidth(Width());
    }
    void FormHide() override {
        TExCustomDropDown::FormHide();
        SetText(inner->Text());
    }
};

struct PopupFixture : ::testing::Test {
    TForm form{nullptr};
    TForm other{nullptr};
    EditKind* dd = nullptr;
    std::vector<bool> dropUps;

    void SetUp() override {
        form.SetBounds(100, 100, 400, 200);
        other.SetBounds(600, 100, 200, 100);
        dd = new EditKind(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 200, 21);
        dd->OnDropUp = [this](TObject*, bool cancelled) { dropUps.push_back(cancelled); };
        other.Show();
        form.Show();
        dd->SetFocus();
        dd->SetTextValue(u"start");
    }
    void ClickButton() {
        TControl* b = dd->Button()->SpeedButton();
        SimulateClick(b, 5, 5);
    }
};

TEST_F(PopupFixture, ButtonOpensActivationElsewhereClosesAndTheQuickClickDoesNotReopen) {
    ClickButton();
    ASSERT_TRUE(dd->DroppedDown());
    ASSERT_TRUE(dd->DropDownForm()->Visible());
    EXPECT_EQ(dd->loads, 1);
    // Below the edit, overlapping its bottom row.
    const TPoint at = form.ClientToScreen(TPoint{10, 10});
    EXPECT_EQ(dd->DropDownForm()->Left(), at.X);
    EXPECT_EQ(dd->DropDownForm()->Top(), at.Y + 21 - 1);
    EXPECT_EQ(dd->DropDownForm()->Width(), 200);

    // Activating a window of the pop-up keeps it open.
    dd->inner->SetFocus();
    EXPECT_TRUE(dd->DroppedDown());

    dd->inner->SetText(u"typed");
    SimulateActivate(&other);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_FALSE(dd->DropDownForm()->Visible());
    ASSERT_EQ(dropUps.size(), 1u);
    EXPECT_TRUE(dropUps[0]);  // CancelOnDeActivate
    EXPECT_EQ(dd->GetText(), u"start");

    SimulateActivate(&form);
    ClickButton();
    EXPECT_FALSE(dd->DroppedDown()) << "the click that closed it does not reopen it";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ClickButton();
    EXPECT_TRUE(dd->DroppedDown());
}

TEST_F(PopupFixture, AcceptingDeactivationBlockedActivationVetoAndRefusedOpenings) {
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    dd->DropDownForm()->SetCancelOnDeActivate(false);
    dd->inner->SetText(u"kept");
    dd->DropDownForm()->SetBlockActivate(true);
    const UInt64 before = dd->DropDownForm()->DeActivateTime();
    SimulateActivate(&other);
    EXPECT_TRUE(dd->DroppedDown()) << "BlockActivate";
    EXPECT_EQ(dd->DropDownForm()->DeActivateTime(), before);
    dd->DropDownForm()->SetBlockActivate(false);
    SimulateActivate(dd->DropDownForm());
    SimulateActivate(&other);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->GetText(), u"kept");
    ASSERT_EQ(dropUps.size(), 1u);
    EXPECT_FALSE(dropUps[0]);

    // A veto leaves it closed and fires no close.
    dd->OnDropDown = [](TObject*, bool& accept) { accept = false; };
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_FALSE(dd->DropDownForm()->Visible());
    EXPECT_EQ(dropUps.size(), 1u);
    dd->OnDropDown = nullptr;

    dd->SetReadOnly(true);
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
    dd->SetReadOnly(false);
    dd->SetEnabled(false);
    dd->ShowDropDown();
    EXPECT_FALSE(dd->DroppedDown());
}

TEST_F(PopupFixture, UserSizeIsReusedUntilTheSizeSettingChanges) {
    dd->ShowDropDown();
    TDropDownForm* f = dd->DropDownForm();
    const int computed = f->Height();
    f->SetBounds(f->Left(), f->Top(), 300, 140);
    dd->HideDropDown(false);
    dd->ShowDropDown();
    EXPECT_EQ(f->Width(), 300);
    EXPECT_EQ(f->Height(), 140);
    dd->HideDropDown(false);
    dd->SetDropDownHeight(0);  // unchanged: the user's size stays
    dd->SetDropDownHeight(99);
    dd->ShowDropDown();
    EXPECT_EQ(f->Width(), 300);
    EXPECT_EQ(f->Height(), 99);
    EXPECT_NE(computed, 99);
    // The constraints keep any resize at 80 x 50 or more.
    f->SetBounds(f->Left(), f->Top(), 10, 10);
    EXPECT_EQ(f->Width(), 80);
    EXPECT_EQ(f->Height(), 50);
}

TEST_F(PopupFixture, KeysInTheEditAndInThePopupControl) {
    struct Case {
        const char* name;
        bool pickOnly;
        bool inPopup;  // typed in the pop-up control
        Word key;
        TShiftState shift;
        bool openFirst;
        bool openAfter;
        int cancelled;  // -1: no close
        const char16_t* textAfter;
    };
    const Case cases[] = {
        {"F4 opens", false, false, VK_F4, {}, false, true, -1, u"start"},
        {"F4 closes with accept", false, false, VK_F4, {}, true, false, 0, u"edited"},
        {"Enter accepts", false, false, VK_RETURN, {}, true, false, 0, u"edited"},
        {"Esc cancels", false, false, VK_ESCAPE, {}, true, false, 1, u"start"},
        {"Alt+Down opens", false, false, VK_DOWN, {ssAlt}, false, true, -1, u"start"},
        {"Alt+Up closes with accept", false, false, VK_UP, {ssAlt}, true, false, 0, u"edited"},
        {"Enter in the pop-up accepts", false, true, VK_RETURN, {}, true, false, 0, u"edited"},
        {"Esc in the pop-up cancels", false, true, VK_ESCAPE, {}, true, false, 1, u"start"},
        {"F4 in the pop-up accepts", false, true, VK_F4, {}, true, false, 0, u"edited"},
        {"Alt+Down in the pop-up accepts", false, true, VK_DOWN, {ssAlt}, true, false, 0, u"edited"},
        {"pick-only: F4 opens", true, false, VK_F4, {}, false, true, -1, u"start"},
        {"pick-only: Esc cancels", true, true, VK_ESCAPE, {}, true, false, 1, u"start"},
    };
    for (const Case& c : cases) {
        dropUps.clear();
        dd->SetEditorEnabled(!c.pickOnly);
        dd->SetTextValue(u"start");
        form.FocusControl(dd);
        SimulateActivate(&form);
        dd->SetFocus();
        if (c.openFirst) {
            dd->ShowDropDown();
            ASSERT_TRUE(dd->DroppedDown()) << c.name;
            dd->inner->SetText(u"edited");
        }
        if (c.inPopup) {
            dd->inner->SetFocus();
            SimulateKey(c.key, c.shift);
        } else if (c.openFirst) {
            // The pop-up has the keyboard: the edit gets the key as a message.
            dd->Perform(c.shift.Contains(ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, c.key,
                        c.shift.Contains(ssAlt) ? LPARAM(0x20000000) : 0);
        } else {
            SimulateKey(c.key, c.shift);
        }
        EXPECT_EQ(dd->DroppedDown(), c.openAfter) << c.name;
        if (c.cancelled < 0) EXPECT_TRUE(dropUps.empty()) << c.name;
        else {
            ASSERT_EQ(dropUps.size(), 1u) << c.name;
            EXPECT_EQ(dropUps[0], c.cancelled == 1) << c.name;
        }
        if (dd->DroppedDown()) dd->HideDropDown(true);
        if (c.cancelled >= 0) EXPECT_EQ(dd->GetText(), String(c.textAfter)) << c.name;
    }
}

TEST_F(PopupFixture, PickOnlyEditIgnoresLettersAndOpensOnAClick) {
    dd->SetEditorEnabled(false);
    dd->SetTextValue(u"abc");
    SimulateText(u"xyz");
    EXPECT_EQ(dd->GetText(), u"abc");
    SimulateClick(dd, 20, 5);
    EXPECT_TRUE(dd->DroppedDown());
}

}  // namespace
