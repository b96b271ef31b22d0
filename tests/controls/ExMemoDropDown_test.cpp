#include "controls/ExMemoDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

struct MemoFixture : ::testing::Test {
    TForm form{nullptr};
    TExMemoDropDown* dd = nullptr;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 100);
        dd = new TExMemoDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 120, 21);
        form.Show();
        dd->SetFocus();
    }
};

TEST_F(MemoFixture, WithTypingOffTheEditShowsTheFirstLine) {
    dd->SetEditorEnabled(false);
    dd->MemoText().SetText(u"one\r\ntwo");
    EXPECT_EQ(dd->GetText(), u"one...");
    dd->MemoText().SetText(u"only");
    EXPECT_EQ(dd->GetText(), u"only");
    const String longLine = u"a line far too wide for the edit field";
    dd->MemoText().SetText(longLine);
    const String shown = dd->GetText();
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    EXPECT_EQ(longLine.compare(0, shown.size() - 3, shown.substr(0, shown.size() - 3)), 0);
    EXPECT_LT(shown.size(), longLine.size());
    // With typing on, the edit holds the whole text and typing reaches the lines.
    dd->SetEditorEnabled(true);
    dd->MemoText().SetText(u"one\r\ntwo");
    EXPECT_EQ(dd->GetText(), u"one\r\ntwo");
    dd->SetText(u"typed");
    EXPECT_EQ(dd->MemoText().Count(), 1);
    EXPECT_EQ(dd->MemoText().Strings(0), u"typed");
}

TEST_F(MemoFixture, EscDropsThePopupsEditsAndCtrlAStaysInTheMemo) {
    // As the grid gives a cell's text: through Text, which cancelling puts back.
    dd->SetTextValue(u"first\r\nsecond");
    ASSERT_EQ(dd->MemoText().Count(), 2);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    EXPECT_EQ(dd->Memo()->Lines().Count(), 2);
    dd->Memo()->SetFocus();
    SimulateKey(u'A', {ssCtrl});
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_EQ(dd->Memo()->SelText(), dd->Memo()->Text());
    dd->Memo()->SetText(u"changed");
    SimulateKey(VK_RETURN);  // a new line in the memo, not a close
    EXPECT_TRUE(dd->DroppedDown());
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    ASSERT_EQ(dd->MemoText().Count(), 2);
    EXPECT_EQ(dd->MemoText().Strings(1), u"second");

    dd->ShowDropDown();
    dd->Memo()->SetText(u"kept\r\nlines");
    dd->Memo()->SetFocus();
    SimulateKey(VK_F4);
    EXPECT_FALSE(dd->DroppedDown());
    ASSERT_EQ(dd->MemoText().Count(), 2);
    EXPECT_EQ(dd->MemoText().Strings(0), u"kept");
}

TEST_F(MemoFixture, AutoDropOpensOnEnteringAndNotWhenTheFocusComesBack) {
    TEdit* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 50, 100, 21);
    other->SetFocus();
    dd->SetAutoDrop(true);
    dd->SetFocus();
    EXPECT_TRUE(dd->DroppedDown());
    dd->HideDropDown(false);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_TRUE(dd->Focused());
    EXPECT_TRUE(dd->AutoDrop());
}

}  // namespace
