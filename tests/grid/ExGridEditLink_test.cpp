#include "grid/ExCGrid.h"
#include "grid/ExGridEditLink.h"

#include "PlainEditLink.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using TTestLink = TPlainEditLink;

struct LinkForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    TTestLink link{nullptr};
    bool refuse = false;
    std::vector<std::string> log;
    LinkForm() {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(edCustom);
        g->SetEditLink(&link);
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(1, r, u"old" + IntToStr(r));
        g->OnCellValidate = [this](TObject*, int, int r, String& v, bool& valid) {
            log.push_back("validate " + std::to_string(r) + " " + StringToUtf8(v));
            valid = !refuse;
        };
        form.Show();
        g->SetFocus();
        TRect R = g->CellRect(1, 2);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    ~LinkForm() { g->SetEditLink(nullptr); }
    TEdit* Open() {
        SimulateKey(VK_F2);
        return link.Edit && link.Edit->Visible() ? link.Edit : nullptr;
    }
};

TEST(EditLink, EnterWritesTheControlsValueAndEscapeKeepsTheCell) {
    LinkForm f;
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), u"old2");
    EXPECT_EQ(f.link.EditCell(), (TPoint{1, 2}));
    e->SetText(u"new");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"new");
    EXPECT_TRUE(f.g->Focused());
    ASSERT_TRUE(f.Open());
    f.link.Edit->SetText(u"dropped");
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"new");
    EXPECT_TRUE(f.g->Focused());
}

TEST(EditLink, ARefusedValueOpensTheEditorAgainOnTheSameCell) {
    LinkForm f;
    f.refuse = true;
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    e->SetText(u"bad");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 bad"});
    EXPECT_EQ(f.g->Row(), 2);
    ASSERT_TRUE(f.link.Edit);
    EXPECT_TRUE(f.link.Edit->Visible());
    EXPECT_TRUE(f.link.Edit->Focused());
}

TEST(EditLink, HomeStaysWithTheControlAndEndLeavesUnlessWanted) {
    LinkForm f;
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    SimulateKey(VK_HOME);
    EXPECT_TRUE(e->Focused());
    f.link.WantKeyHomeEnd = true;
    SimulateKey(VK_END);
    EXPECT_TRUE(e->Focused());
    f.link.WantKeyHomeEnd = false;
    SimulateKey(VK_END);
    EXPECT_TRUE(f.g->Focused());
}

TEST(EditLink, TabWithoutTabToNextAtEndWritesAndStays) {
    LinkForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    e->SetText(u"tabbed");
    SimulateKey(VK_TAB);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"tabbed");
    EXPECT_TRUE(f.g->Focused());
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
}

TEST(EditLink, APopupLinkClosedByEnterWritesItsValue) {
    LinkForm f;
    f.link.SetEditStyle(esPopup);
    f.link.SetPopupWidth(120);
    f.link.SetPopupHeight(60);
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    ASSERT_TRUE(f.link.PopupForm());
    EXPECT_EQ(f.link.PopupForm()->Name(), u"gridform");
    EXPECT_EQ(e->Parent(), f.link.PopupForm());
    e->SetText(u"popped");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"popped");
    EXPECT_FALSE(f.link.PopupForm()->Visible());
}

}  // namespace

namespace {

TEST(EditLink, EachColumnOpensItsOwnLinkAndLetsGoOfAFreedOne) {
    TForm form{nullptr};
    form.SetBounds(0, 0, 500, 350);
    auto* g = new TExColumnGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 400, 250);
    TTestLink first(nullptr);
    auto second = std::make_unique<TTestLink>(nullptr);
    for (int c : {1, 2}) g->Columns().Items(c)->SetEditor(edCustom);
    g->Columns().Items(1)->SetEditLink(&first);
    g->Columns().Items(2)->SetEditLink(second.get());
    g->SetCellEx(2, 1, u"two");
    form.Show();
    g->SetFocus();
    const TRect R = g->CellRect(2, 1);
    SimulateClick(g, R.Left + 5, R.Top + 5);
    SimulateKey(VK_F2);
    ASSERT_TRUE(second->Edit && second->Edit->Visible());
    EXPECT_EQ(second->Edit->Text(), u"two");
    EXPECT_FALSE(first.Edit);
    SimulateKey(VK_ESCAPE);
    second.reset();
    EXPECT_EQ(g->Columns().Items(2)->EditLink(), nullptr);
    EXPECT_EQ(g->Columns().Items(1)->EditLink(), &first);
    g->SetEditLink(nullptr);
}

}  // namespace

namespace {

// A link over a list-only combo box.
class TComboLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TComboBox* Combo = nullptr;
    TWinControl* GetEditControl() override { return Combo; }
    void CreateEditor(TWinControl* AParent) override {
        if (Combo) return;
        Combo = new TComboBox(AParent);
        Combo->SetParent(AParent);
        Combo->SetStyle(csDropDownList);
        for (const char16_t* s : {u"red", u"green", u"blue"}) Combo->Items().Add(s);
    }
    void DestroyEditor() override {
        delete Combo;
        Combo = nullptr;
    }
    String GetEditorValue() override { return Combo ? Combo->Text() : String(); }
    void SetEditorValue(const String& S) override { Combo->SetItemIndex(Combo->Items().IndexOf(S)); }
};

TEST(EditLink, AChoiceInTheLinksComboIsReportedAsAComboChange) {
    TForm form{nullptr};
    form.SetBounds(0, 0, 500, 350);
    auto* g = new TExColumnGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 400, 250);
    TComboLink link(nullptr);
    g->Columns().Items(1)->SetEditor(edCustom);
    g->SetEditLink(&link);
    g->SetCellEx(1, 2, u"green");
    std::vector<std::string> changes;
    g->OnComboChange = [&](TObject*, int c, int r, int idx, const String& s) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(idx) + " " +
                          StringToUtf8(s));
    };
    form.Show();
    g->SetFocus();
    const TRect R = g->CellRect(1, 2);
    SimulateClick(g, R.Left + 5, R.Top + 5);
    SimulateKey(VK_F2);
    ASSERT_TRUE(link.Combo && link.Combo->Visible());
    EXPECT_TRUE(link.Combo->Focused());
    EXPECT_TRUE(changes.empty());
    SimulateKey(VK_DOWN);
    EXPECT_EQ(changes, std::vector<std::string>{"1,2 2 blue"});
    // A text change of the link's combo is told too, then once more without
    // index, with the text of the grid's own (unused) combo.
    changes.clear();
    g->Perform(WM_COMMAND, WPARAM(CBN_EDITCHANGE) << 16, LPARAM(link.Combo->Handle()));
    EXPECT_EQ(changes, (std::vector<std::string>{"1,2 2 blue", "1,2 -1 "}));
    g->SetEditLink(nullptr);
}

}  // namespace

namespace {

// OnGetEditorProp hands the application the link it may prepare, before OnGetEditorPropInt.
TEST(EditLink, TheEditorPropertyEventsGetTheLinkThenTheCell) {
    LinkForm f;
    std::vector<std::string> order;
    f.g->OnGetEditorProp = [&](TObject*, int c, int r, TEditLink* L) {
        order.push_back("prop " + std::to_string(c) + "," + std::to_string(r) + (L == &f.link ? " link" : " none"));
    };
    f.g->OnGetEditorPropInt = [&](TObject*, int c, int r) {
        order.push_back("int " + std::to_string(c) + "," + std::to_string(r));
    };
    TEdit* e = f.Open();
    ASSERT_TRUE(e);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "prop 1,2 link");
    EXPECT_EQ(order.back(), "int 1,2");
    EXPECT_EQ(f.g->EditCtrl(), e);
    SimulateKey(VK_ESCAPE);
    // The text editor asks without a link.
    order.clear();
    f.g->Columns().Items(3)->SetEditor(edNormal);
    TRect R = f.g->CellRect(3, 2);
    SimulateClick(f.g, R.Left + 5, R.Top + 5);
    SimulateKey(VK_F2);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "prop 3,2 none");
}

}  // namespace
