#include "controls/ExDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

// A kind whose pop-up holds a plain panel-sized edit.
class PanelKind : public TExCustomDropDown {
public:
    explicit PanelKind(TComponent* owner) : TExCustomDropDown(owner) { CreateDropDownForm(); }
    TMemo* inner = nullptr;

protected:
    void CreateDropDownForm() override {
        TExCustomDropDown::CreateDropDownForm();
        if (!inner && FDropDownForm) {
            inner = new TMemo(this);
            inner->SetParent(FDropDownForm);
            inner->SetHeight(80);
            SetControl(inner);
        }
    }
    void DoBeforeDropDown() override {
        TExCustomDropDown::DoBeforeDropDown();
        inner->SetWidth(220);
    }
};

struct StripFixture : ::testing::Test {
    TForm form{nullptr};
    PanelKind* dd = nullptr;
    std::vector<std::pair<char, int>> clicks;  // 'h' / 'f', button index
    std::vector<bool> dropUps;
    void SetUp() override {
        form.SetBounds(100, 100, 400, 200);
        dd = new PanelKind(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 200, 21);
        dd->OnDropDownHeaderButtonClick = [this](TObject*, int i) { clicks.push_back({'h', i}); };
        dd->OnDropDownFooterButtonClick = [this](TObject*, int i) { clicks.push_back({'f', i}); };
        dd->OnDropUp = [this](TObject*, bool c) { dropUps.push_back(c); };
        form.Show();
        dd->SetFocus();
    }
    void AddHeaderButtons(std::initializer_list<int> widths) {
        for (int w : widths) {
            THeaderButton* b = dd->DropDownHeader().Buttons().Add();
            b->SetCaption(u"B");
            b->SetWidth(w);
        }
    }
};

TEST_F(StripFixture, HeaderButtonsArePackedFromEitherSide) {
    AddHeaderButtons({30, 40, 25});
    dd->DropDownHeader().SetButtonAlignment(TBarAppearance::baRight);
    dd->ShowDropDown();
    TExHeader* h = dd->DropDownForm()->Header();
    ASSERT_NE(h, nullptr);
    const TRect area = h->ButtonsArea();
    EXPECT_EQ(area, Rect(2, 2, h->ClientWidth() - 2, h->ClientHeight() - 3));
    const auto& list = h->ButtonList();
    ASSERT_EQ(list.Count(), 3);
    // The first button is the rightmost; no gaps.
    EXPECT_EQ(list.GetItemsEx(0)->Left(), area.Right - 30);
    EXPECT_EQ(list.GetItemsEx(1)->Left(), area.Right - 70);
    EXPECT_EQ(list.GetItemsEx(2)->Left(), area.Right - 95);
    for (int i = 0; i < 3; ++i) {
        TExButton* b = list.GetItemsEx(i);
        EXPECT_LE(b->Height(), area.Height());
        EXPECT_EQ(b->Top(), std::max(int(area.Top), (area.Bottom - b->Height()) / 2));
    }
    dd->HideDropDown(false);

    dd->DropDownHeader().SetButtonAlignment(TBarAppearance::baLeft);
    dd->ShowDropDown();
    EXPECT_EQ(list.GetItemsEx(0)->Left(), 2);
    EXPECT_EQ(list.GetItemsEx(1)->Left(), 32);
    EXPECT_EQ(list.GetItemsEx(2)->Left(), 72);

    SimulateClick(list.GetItemsEx(1), 3, 3);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair('h', 1));
    EXPECT_THROW(list.GetItemsEx(3), Exception);
    EXPECT_THROW(list.GetItemsEx(-1), Exception);
}

TEST_F(StripFixture, FooterButtonModalResultsCloseThePopup) {
    // Results 1 .. 14: whether the pop-up closes, and whether as cancelled.
    const struct {
        TModalResult mr;
        bool closes;
        bool cancelled;
    } cases[] = {{mrOk, true, false},       {mrCancel, true, true},  {mrAbort, true, true},
                 {mrRetry, false, false},   {mrIgnore, true, true},  {mrYes, true, false},
                 {mrNo, true, true},        {mrClose, false, false}, {mrHelp, false, false},
                 {mrTryAgain, false, false}, {mrContinue, false, false}, {mrAll, true, false},
                 {mrNoToAll, true, true},   {mrYesToAll, true, false}};
    TFooterButton* fb = dd->DropDownFooter().Buttons().Add();
    fb->SetCaption(u"Go");
    for (const auto& c : cases) {
        fb->SetModalResult(c.mr);
        dd->SetTextValue(u"before");
        dd->ShowDropDown();
        ASSERT_TRUE(dd->DroppedDown());
        dd->SetText(u"after");
        clicks.clear();
        dropUps.clear();
        SimulateClick(dd->DropDownForm()->Footer()->ButtonList().GetItemsEx(0), 3, 3);
        EXPECT_EQ(dd->DroppedDown(), !c.closes) << c.mr;
        EXPECT_EQ(clicks.size(), 1u) << c.mr;
        if (c.closes) {
            ASSERT_EQ(dropUps.size(), 1u) << c.mr;
            EXPECT_EQ(dropUps[0], c.cancelled) << c.mr;
            EXPECT_EQ(dd->GetText(), c.cancelled ? u"before" : u"after") << c.mr;
        } else {
            dd->HideDropDown(false);
        }
    }
}

TEST_F(StripFixture, TheGripShowsOnlyWhenSizeableAndResizesThePopup) {
    dd->ShowDropDown();
    TExFooter* f = dd->DropDownForm()->Footer();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->ShowsSizeGrip());
    EXPECT_EQ(f->ButtonsArea().Right, f->ClientWidth() - 14);
    TDropDownForm* popup = dd->DropDownForm();
    const int w = popup->Width(), h = popup->Height();
    const int gx = f->Width() - 5, gy = f->Height() - 5;
    SimulateMouseDown(f, mbLeft, gx, gy);
    SimulateMouseMove(f, gx + 30, gy + 20);
    EXPECT_EQ(popup->Width(), w + 30);
    EXPECT_EQ(popup->Height(), h + 20);
    SimulateMouseMove(f, gx - 500, gy - 500);
    EXPECT_EQ(popup->Width(), 80);
    EXPECT_EQ(popup->Height(), 50);
    SimulateMouseUp(f, mbLeft, gx - 500, gy - 500);
    dd->HideDropDown(false);

    dd->SetDropDownSizeable(false);
    dd->ShowDropDown();
    EXPECT_FALSE(f->ShowsSizeGrip());
    EXPECT_EQ(f->ButtonsArea().Right, f->ClientWidth() - 2);
    const int w2 = popup->Width();
    SimulateMouseDown(f, mbLeft, f->Width() - 5, f->Height() - 5);
    SimulateMouseMove(f, f->Width() + 40, f->Height());
    SimulateMouseUp(f, mbLeft, f->Width() + 40, f->Height());
    EXPECT_EQ(popup->Width(), w2);
}

TEST_F(StripFixture, HiddenLooksMakeNoStrips) {
    dd->DropDownHeader().SetVisible(false);
    dd->DropDownFooter().SetVisible(false);
    dd->ShowDropDown();
    EXPECT_EQ(dd->DropDownForm()->Header(), nullptr);
    EXPECT_EQ(dd->DropDownForm()->Footer(), nullptr);
    // Border 1 on each side around the control alone.
    EXPECT_EQ(dd->DropDownForm()->Height(), 80 + 2);
}

}  // namespace
