#include "grid/EXGEdit.h"

#include "framework/Clipboard.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown form with a focused edit of the kind under test; button clicks counted.
template <class Edit>
struct EditForm {
    TForm form{nullptr};
    Edit* edit;
    int clicks = 0;
    EditForm() {
        form.SetBounds(0, 0, 300, 120);
        edit = new Edit(&form);
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 150, 24);
        edit->OnClickBtn = [this](TObject*) { ++clicks; };
        form.Show();
        edit->SetFocus();
    }
};

TEST(ExgEditBtn, F4ClicksTheButtonUnlessCtrlOrAltIsHeld) {
    EditForm<TExgEditBtn> f;
    SimulateKey(VK_F4);
    EXPECT_EQ(f.clicks, 1);
    SimulateKey(VK_F4, TShiftState{ssCtrl});
    SimulateKey(VK_F4, TShiftState{ssAlt});
    EXPECT_EQ(f.clicks, 1);
}

TEST(ExgEditBtn, AReleaseOverTheButtonClicksItAndFocusesTheEdit) {
    EditForm<TExgEditBtn> f;
    TEdit other(&f.form);
    other.SetParent(&f.form);
    other.SetBounds(10, 60, 100, 24);
    other.SetFocus();
    f.edit->SetTabStop(true);
    TExSpeedButton* b = f.edit->Button()->Button();
    SimulateClick(b, 3, 3);
    EXPECT_EQ(f.clicks, 1);
    EXPECT_TRUE(f.edit->Focused());
    // A release outside the button clicks nothing.
    SimulateMouseDown(b, mbLeft, 3, 3);
    SimulateMouseUp(b, mbLeft, 300, 300);
    EXPECT_EQ(f.clicks, 1);
}

TEST(ExgEditBtn, WithoutTheEditorTypingAndPastingChangeNothingButTheButtonWorks) {
    EditForm<TExgEditBtn> f;
    f.edit->SetText(u"abc");
    f.edit->SetEditorEnabled(false);
    f.edit->SetSelStart(3);
    SimulateText(u"x");
    Clipboard().SetAsText(u"pasted");
    f.edit->Perform(WM_PASTE);
    EXPECT_EQ(f.edit->Text(), u"abc");
    SimulateKey(VK_F4);
    EXPECT_EQ(f.clicks, 1);
    f.edit->SetEditorEnabled(true);
    SimulateText(u"x");
    EXPECT_EQ(f.edit->Text(), u"abcx");
}

TEST(ExgUnitEditBtn, TextAndUnitSplitsOnTheFirstUnitThatEndsTheValue) {
    EditForm<TExgUnitEditBtn> f;
    f.edit->Units().Add(u"mm");
    f.edit->Units().Add(u"m");
    struct Case {
        const char16_t* value;
        const char16_t* text;
        const char16_t* unit;
    };
    // A value without a unit leaves text and unit as they were.
    const Case cases[] = {{u"12mm", u"12", u"mm"}, {u"12m", u"12", u"m"}, {u"12", u"12", u"m"}, {u"7mm", u"7", u"mm"}};
    for (const Case& c : cases) {
        f.edit->SetTextAndUnit(c.value);
        EXPECT_EQ(f.edit->Text(), String(c.text)) << StringToUtf8(c.value);
        EXPECT_EQ(f.edit->UnitID(), String(c.unit)) << StringToUtf8(c.value);
    }
    f.edit->SetText(u"5");
    f.edit->SetUnitID(u"kg");
    EXPECT_EQ(f.edit->TextAndUnit(), u"5kg");
    EXPECT_TRUE(f.edit->RightAlign());
}

TEST(ExgUnitEditBtn, TheButtonMenuListsTheUnitsAndOnlyANewUnitIsReported) {
    EditForm<TExgUnitEditBtn> f;
    f.edit->Units().Add(u"mm");
    f.edit->Units().Add(u"m");
    f.edit->SetUnitID(u"mm");
    std::vector<String> changes;
    f.edit->OnUnitChanged = [&](TObject*, const String& u) { changes.push_back(u); };
    TScriptedDialogService dialogs;
    dialogs.AnswerMenu(u"m");
    dialogs.AnswerMenu(u"m");
    SimulateKey(VK_F4);
    EXPECT_EQ(f.edit->UnitID(), u"m");
    SimulateClick(f.edit->Button()->Button(), 3, 3);
    EXPECT_EQ(f.clicks, 2);
    EXPECT_EQ(changes, std::vector<String>{u"m"});
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Kind, dkPopupMenu);
}

TEST(ExgUnitEditBtn, PaintsTheUnitBesideTheValue) {
    EditForm<TExgUnitEditBtn> f;
    f.edit->SetText(u"12");
    TBitmap without(f.edit->Width(), f.edit->Height());
    f.edit->PaintTo(without.Canvas(), 0, 0);
    f.edit->SetUnitID(u"mm");
    f.edit->Repaint();
    TBitmap with(f.edit->Width(), f.edit->Height());
    f.edit->PaintTo(with.Canvas(), 0, 0);
    // The unit's place lies left of the button.
    const int right = f.edit->ClientWidth() - f.edit->Button()->Width() - 3;
    int changed = 0;
    for (int x = right - f.edit->UnitSpace(); x < right; ++x)
        for (int y = 2; y < f.edit->ClientHeight(); ++y)
            if (with.Canvas().Pixels(x, y) != without.Canvas().Pixels(x, y)) ++changed;
    EXPECT_GT(changed, 0);
}

}  // namespace
