#include "controls/ExDetailDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

struct DetailFixture : ::testing::Test {
    TForm form{nullptr};
    TExDetailDropDown* dd = nullptr;
    int selects = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        dd = new TExDetailDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 160, 21);
        for (const char16_t* c : {u"Red", u"Green", u"Blue", u"Green"}) {
            TDetailItem* it = dd->Items().Add();
            it->SetCaption(c);
            it->Notes = String(u"<b>") + c + u"</b> notes";
        }
        dd->OnSelect = [this](TObject*) { ++selects; };
        form.Show();
        dd->SetFocus();
    }
};

TEST_F(DetailFixture, ItemIndexSetsTheCaptionAndIgnoresOutOfRange) {
    EXPECT_EQ(dd->Items().IndexOf(u"Green"), 1) << "the first of equal captions";
    EXPECT_EQ(dd->Items().IndexOf(u"green"), -1) << "case-sensitive";
    dd->SetItemIndex(2);
    EXPECT_EQ(dd->GetText(), u"Blue");
    EXPECT_EQ(selects, 1);
    dd->SetItemIndex(2);
    dd->SetItemIndex(7);
    dd->SetItemIndex(-5);
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
    dd->SetItemIndex(-1);
    EXPECT_EQ(dd->GetText(), u"");
    EXPECT_EQ(selects, 1) << "clearing fires nothing";
    dd->SelectNext();
    EXPECT_EQ(dd->ItemIndex(), 0) << "from none to the first";
    dd->SelectLast();
    dd->SelectNext();
    EXPECT_EQ(dd->ItemIndex(), 3);
}

TEST_F(DetailFixture, TypingCompletesAgainstTheCaptions) {
    SimulateText(u"gr");
    EXPECT_EQ(dd->GetText(), u"green") << "typed characters kept as typed";
    EXPECT_EQ(dd->SelText(), u"een");
    EXPECT_EQ(dd->ItemIndex(), 1);
    // A letter that matches nothing cuts the text at the caret.
    SimulateText(u"x");
    EXPECT_EQ(dd->GetText(), u"grx");
    EXPECT_EQ(dd->SelStart(), 3);

    dd->MatchCase = true;
    dd->SetText(u"");
    SimulateText(u"b");
    EXPECT_EQ(dd->GetText(), u"b") << "case counts now";
    dd->SetText(u"");
    SimulateText(u"B");
    EXPECT_EQ(dd->GetText(), u"Blue");
}

TEST_F(DetailFixture, EnterPicksAnExactCaptionOnly) {
    dd->SetItemIndex(0);
    dd->SetText(u"Blue");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(dd->ItemIndex(), 2);
    dd->SetText(u"Purple");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(dd->ItemIndex(), 2);
}

TEST_F(DetailFixture, KeysMoveInsideThePopupAndEscRestores) {
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    ASSERT_NE(dd->ItemSelector(), nullptr);
    EXPECT_EQ(dd->ItemSelector()->Items().Count(), 4);
    EXPECT_EQ(dd->ItemSelector()->ItemIndex(), 0);
    SimulateKey(VK_DOWN);
    SimulateKey(VK_DOWN);
    EXPECT_TRUE(dd->DroppedDown()) << "keys move without closing";
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->GetText(), u"Blue");
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 0) << "cancelling restores the item chosen at opening";
    EXPECT_EQ(dd->GetText(), u"Red");

    // Closed, the arrows step through the items.
    dd->SetFocus();
    SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->ItemIndex(), 1);
}

TEST_F(DetailFixture, AClickOnARowPicksAndCloses) {
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TCustomItemSelector* panel = dd->ItemSelector()->Panel();
    TRect r;
    panel->GetItemRect(1, r);
    EXPECT_EQ(r.Height(), dd->ItemHeight());
    SimulateClick(panel, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->GetText(), u"Green");
}

TEST_F(DetailFixture, RowsDrawCaptionAndNotesOrTheOwnersPainting) {
    dd->Items().Items(0)->SetCaption(u"");  // a row of notes only
    dd->ShowDropDown();
    TCustomItemSelector* panel = dd->ItemSelector()->Panel();
    TBitmap shot;
    RenderControlToBitmap(panel, shot);
    TRect r0, r1;
    panel->GetItemRect(0, r0);
    panel->GetItemRect(1, r1);
    auto inked = [&](const TRect& r, int top, int bottom) {
        for (int y = r.Top + top; y < r.Top + bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (shot.Canvas().Pixels(x, y) != shot.Canvas().Pixels(r.Left + 1, r.Top + 1)) return true;
        return false;
    };
    EXPECT_TRUE(inked(r1, 2, 12)) << "the caption line";
    EXPECT_FALSE(inked(r0, 2, 6)) << "no caption: the top line stays empty";

    int calls = 0;
    dd->OnDrawSelectedImage = [&](TObject* Sender, TCanvas&, TRect) {
        EXPECT_EQ(Sender, dd);
        ++calls;
    };
    RenderControlToBitmap(panel, shot);
    EXPECT_EQ(calls, 4);
}

}  // namespace

TEST_F(DetailFixture, AnOpenedDropDownIsDestroyedWithoutItsSelectorCallingBack) {
    dd->ShowDropDown();
    ASSERT_NE(dd->ItemSelector(), nullptr);
    // The pop-up and the selector go while the drop-down is half destroyed: a
    // resize of the selector then must not reach the drop-down's handler.
    TExCustomItemSelector* selector = dd->ItemSelector();
    int resizes = 0;
    selector->OnResize = [&, handler = selector->OnResize](TObject* Sender) {
        ++resizes;
        handler(Sender);
    };
    delete dd;
    dd = nullptr;
    EXPECT_EQ(resizes, 0);
}
