#include "framework/ComCtrls.h"
#include "framework/DateUtils.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/Threads.h"

#include "support/Place.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

TEST(StdCtrls, AnEditLimitsAndCasesTypedTextAndAReadOnlyOneStaysPut) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<TEdit>(&form, 8, 8, 120, 21);
    e->SetMaxLength(3);
    e->SetCharCase(ecUpperCase);
    form.Show();
    e->SetFocus();
    SimulateText(u"abcde");
    EXPECT_EQ(e->Text(), u"ABC");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetReadOnly(true);
    SimulateText(u"x");
    EXPECT_EQ(changes, 0);
}

TEST(StdCtrls, ADropDownComboReadsMinusOneForTextOutsideItsItemsAndReportsOnlyThePerson) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* c = Place<TComboBox>(&form, 8, 8, 120, 21);
    c->SetStyle(csDropDown);
    int o1 = 1, o2 = 2;
    c->Items().AddObject(u"one", reinterpret_cast<TObject*>(&o1));
    c->Items().AddObject(u"two", reinterpret_cast<TObject*>(&o2));
    int changes = 0, selects = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    c->OnSelect = [&](TObject*) { ++selects; };
    form.Show();
    c->SetItemIndex(5);
    EXPECT_EQ(c->ItemIndex(), -1);
    c->SetItemIndex(1);
    EXPECT_EQ(c->Text(), u"two");
    EXPECT_EQ(c->Items().Objects(c->ItemIndex()), reinterpret_cast<TObject*>(&o2));
    c->SetText(u"zzz");
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    c->SetFocus();
    SimulateText(u"q");
    EXPECT_GE(changes, 1);
    c->SetDropDownCount(3);
    EXPECT_EQ(c->DropDownCount(), 3);
    c->SetItemIndex(-1);
    EXPECT_EQ(c->ItemIndex(), -1);
    c->SetStyle(csDropDownList);
    c->SetItemIndex(0);
    changes = 0;
    SimulateKey(VK_DOWN);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(c->ItemIndex(), 1);
}

TEST(StdCtrls, APageWithAHiddenTabCanStillBeShownByCode) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* pc = Place<TPageControl>(&form, 0, 0, 300, 200);
    auto* s1 = new TTabSheet(pc); s1->SetPageControl(pc); s1->SetCaption(u"A");
    auto* s2 = new TTabSheet(pc); s2->SetPageControl(pc); s2->SetCaption(u"B");
    auto* s3 = new TTabSheet(pc); s3->SetPageControl(pc); s3->SetCaption(u"C");
    form.Show();
    s2->SetTabVisible(false);
    EXPECT_EQ(s2->TabIndex(), -1);
    EXPECT_EQ(s3->TabIndex(), 1);
    pc->SetActivePage(s2);
    EXPECT_EQ(pc->ActivePage(), s2);
    EXPECT_TRUE(s2->Visible());
    EXPECT_FALSE(s1->Showing());
}

TEST(StdCtrls, ATreeKeepsItsSelectionWhenOtherNodesGo) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* tv = Place<TTreeView>(&form, 0, 0, 300, 200);
    TTreeNode* r = tv->Items().Add(nullptr, u"root");
    TTreeNode* a = tv->Items().AddChild(r, u"a");
    TTreeNode* b = tv->Items().AddChild(r, u"b");
    TTreeNode* a1 = tv->Items().AddChild(a, u"a1");
    EXPECT_EQ(tv->Items().Count(), 4);
    EXPECT_EQ(tv->Items().Item(2), a1);
    EXPECT_EQ(a1->Level(), 2);
    int changes = 0;
    tv->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
    form.Show();
    tv->SetSelected(b);
    EXPECT_EQ(tv->Selected(), b);
    EXPECT_EQ(changes, 1);
    a->Delete();
    EXPECT_EQ(tv->Items().Count(), 2);
    EXPECT_EQ(tv->Selected(), b);
    b->Delete();
    EXPECT_EQ(tv->Selected(), r);
    EXPECT_EQ(changes, 2);  // the selection moved to the parent
    tv->Items().Clear();
    EXPECT_EQ(tv->Items().Count(), 0);
}

TEST(StdCtrls, ATimerTicksOnTheUserInterfaceThreadUntilDisabled) {
    TTimer t(nullptr);
    int n = 0;
    bool main = false;
    t.SetInterval(5);
    t.OnTimer = [&](TObject*) { ++n; main = IsMainThread(); if (n == 3) t.SetEnabled(false); };
    t.SetEnabled(true);
    Cardinal start = GetTickCount();
    while (n < 3 && GetTickCount() - start < 2000) Application->ProcessMessages(), Sleep(1);
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(main);
}

TEST(StdCtrls, AGroupBoxClipsItsChildrenToItsHeight) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    form.SetColor(clWhite);
    auto* g = Place<TGroupBox>(&form, 10, 10, 100, 50);
    auto* p = Place<TPanel>(g, 10, 20, 60, 100);
    p->SetColor(clRed);
    p->SetBevelOuter(bvNone);
    form.Show();
    TBitmap bmp;
    RenderControlToBitmap(&form, bmp);
    EXPECT_NE(bmp.Canvas().Pixels(40, 40), clWhite);
    EXPECT_EQ(bmp.Canvas().Pixels(40, 90), clWhite);
}

namespace {

// A parent that hears its children's notifications, as a grid hears its
// date editor's.
class NotifiedPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<std::pair<HWND, Cardinal>> heard;

protected:
    void WMNotify(TMessage& m) override {
        auto* header = reinterpret_cast<NMHDR*>(m.LParam);
        heard.push_back({HWND(header->hwndFrom), header->code});
        TPanel::WMNotify(m);
    }
};

}  // namespace

TEST(StdCtrls, DatePickersFireOnlyOnThePersonsChangeAndTellTheirParent) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* host = Place<NotifiedPanel>(&form, 0, 0, 150, 35);
    auto* d = Place<TDateTimePicker>(host, 10, 10, 100, 21);
    auto* m = Place<TMonthCalendar>(&form, 10, 40, 200, 150);
    int changes = 0;
    d->OnChange = [&](TObject*) { ++changes; };
    form.Show();
    d->SetDateTime(EncodeDate(2020, 3, 4) + EncodeTime(5, 6, 7, 0));
    EXPECT_EQ(changes, 0);
    EXPECT_NEAR(d->DateTime(), EncodeDate(2020, 3, 4) + EncodeTime(5, 6, 7, 0), 1e-6);
    m->SetDate(EncodeDate(2021, 1, 2));
    EXPECT_EQ(m->Date(), EncodeDate(2021, 1, 2));
    d->SetFocus();
    SimulateKey(VK_UP);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(host->heard.size(), 1u);
    EXPECT_EQ(host->heard[0], std::make_pair(d->Handle(), DTN_DATETIMECHANGE));
}

TEST(StdCtrls, ALabelsAcceleratorFocusesItsControl) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* l = Place<TLabel>(&form, 10, 10, 50, 15);
    auto* e1 = Place<TEdit>(&form, 70, 10, 50, 21);
    auto* e2 = Place<TEdit>(&form, 70, 40, 50, 21);
    l->SetCaption(u"&Name");
    l->SetFocusControl(e2);
    form.Show();
    e1->SetFocus();
    SimulateKey('N', {ssAlt});
    EXPECT_TRUE(e2->Focused());
}


TEST(StdCtrls, ARightClickOpensTheControlsPopupMenu) {
    TScriptedDialogService svc;
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<TPanel>(&form, 8, 8, 120, 50);
    TPopupMenu menu(nullptr);
    int clicks = 0;
    menu.Items().Add(NewItem(&menu, u"&Copy", [&](TObject*) { ++clicks; }));
    e->SetPopupMenu(&menu);
    form.Show();
    svc.AnswerMenu(u"Copy");
    SimulateMouseDown(e, mbRight, 10, 10);
    SimulateMouseUp(e, mbRight, 10, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menu.PopupComponent, e);
}

namespace {

// A hint window that remembers what it was asked to show.
class RecordingHint : public THintWindow {
public:
    using THintWindow::THintWindow;
    static inline std::vector<String> shown;
    void ActivateHint(TRect r, const String& hint) override {
        shown.push_back(hint);
        THintWindow::ActivateHint(r, hint);
    }
};

// A panel that rewrites its hint as it is about to show.
class HintedPanel : public TPanel {
public:
    using TPanel::TPanel;
    int hintShows = 0;

protected:
    void CMHintShow(TMessage& m) override {
        ++hintShows;
        HintInfoOf(m)->HintStr += u"!";
    }
};

void PumpFor(Cardinal ms) {
    Cardinal start = GetTickCount();
    while (Cardinal(GetTickCount() - start) < ms) {
        Application->ProcessMessages();
        Sleep(1);
    }
}

}  // namespace

TEST(StdCtrls, AHintShowsAfterItsPauseAndNotOnceTheMouseHasLeft) {
    THintWindowFactory saved = HintWindowClass;
    HintWindowClass = [](TComponent* owner) { return new RecordingHint(owner); };
    RecordingHint::shown.clear();
    int pause = Application->HintPause;
    Application->HintPause = 30;
    Application->CancelHint();
    {
        TForm form(nullptr);
        form.SetBounds(0, 0, 300, 200);
        auto* p = Place<HintedPanel>(&form, 10, 10, 100, 50);
        p->SetHint(u"Speed|The speed of the line");
        p->SetShowHint(true);
        form.Show();
        SimulateMouseMove(p, 20, 20);
        EXPECT_EQ(Application->Hint(), u"The speed of the line");
        Cardinal start = GetTickCount();
        while (RecordingHint::shown.empty() && Cardinal(GetTickCount() - start) < 2000) PumpFor(5);
        EXPECT_EQ(p->hintShows, 1);
        ASSERT_EQ(RecordingHint::shown.size(), 1u);
        EXPECT_EQ(RecordingHint::shown[0], u"Speed!");
        ASSERT_NE(Application->HintWindow(), nullptr);
        EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
        Application->CancelHint();
        EXPECT_FALSE(Application->HintWindow()->IsHintShowing());

        // The mouse goes over the control and leaves the program's windows
        // before the pause is over: no hint comes.
        SimulateMouseMove(&form, 200, 150);
        SimulateMouseMove(p, 30, 30);
        SimulateMouseLeave();
        PumpFor(80);
        EXPECT_EQ(RecordingHint::shown.size(), 1u);
        EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
    }
    Application->CancelHint();
    Application->HintPause = pause;
    HintWindowClass = saved;
}

namespace {

class FocusLog : public TCustomControl {
public:
    FocusLog(TComponent* owner, std::vector<std::pair<String, HWND>>* log) : TCustomControl(owner), log_(log) {
        SetTabStop(true);
    }
    std::vector<std::pair<String, HWND>>* log_;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_SETFOCUS) log_->push_back({Name() + u" set", HWND(m.WParam)});
        if (m.Msg == WM_KILLFOCUS) log_->push_back({Name() + u" kill", HWND(m.WParam)});
        TCustomControl::Dispatch(m);
    }
};

}  // namespace

TEST(StdCtrls, FocusMessagesNameTheOtherWindow) {
    std::vector<std::pair<String, HWND>> log;
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* a = new FocusLog(&form, &log);
    a->SetParent(&form);
    a->SetBounds(10, 10, 50, 50);
    a->SetName(u"a");
    auto* b = new FocusLog(&form, &log);
    b->SetParent(&form);
    b->SetBounds(100, 10, 50, 50);
    b->SetName(u"b");
    std::vector<String> enters;
    a->OnEnter = [&](TObject*) { enters.push_back(u"a enter"); };
    a->OnExit = [&](TObject*) { enters.push_back(u"a exit"); };
    b->OnEnter = [&](TObject*) { enters.push_back(u"b enter"); };
    form.Show();
    a->SetFocus();
    log.clear();
    enters.clear();
    b->SetFocus();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], std::make_pair(String(u"a kill"), b->Handle()));
    EXPECT_EQ(log[1], std::make_pair(String(u"b set"), a->Handle()));
    EXPECT_EQ(enters, (std::vector<String>{u"a exit", u"b enter"}));
    log.clear();
    SimulateKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], std::make_pair(String(u"b kill"), a->Handle()));
}

namespace {

class MsgLog : public TCustomControl {
public:
    explicit MsgLog(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption});
    }
    std::vector<Cardinal> msgs;
    std::vector<WPARAM> wparams;
    bool Got(Cardinal m) const { return std::find(msgs.begin(), msgs.end(), m) != msgs.end(); }

protected:
    void Dispatch(TMessage& m) override {
        msgs.push_back(m.Msg);
        wparams.push_back(m.WParam);
        TCustomControl::Dispatch(m);
    }
};

}  // namespace

TEST(StdCtrls, PropertyChangesAndInputArriveAsTheirMessages) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* c = Place<MsgLog>(&form, 10, 10, 100, 50);
    form.Show();
    struct Case {
        const char* what;
        std::function<void()> act;
        Cardinal msg;
    };
    int clicks = 0, dbl = 0;
    bool wheel = false;
    c->OnClick = [&](TObject*) { ++clicks; };
    c->OnDblClick = [&](TObject*) { ++dbl; };
    c->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        wheel = delta == -120;
        handled = true;
    };
    Case cases[] = {
        {"size", [&] { c->SetBounds(10, 10, 120, 60); }, WM_SIZE},
        {"move", [&] { c->SetBounds(20, 15, 120, 60); }, WM_MOVE},
        {"enabled", [&] { c->SetEnabled(false); c->SetEnabled(true); }, CM_ENABLEDCHANGED},
        {"font", [&] { c->Font().SetSize(14); }, CM_FONTCHANGED},
        {"parent font", [&] { form.Font().SetSize(11); }, CM_PARENTFONTCHANGED},
        {"color", [&] { c->SetColor(clRed); }, CM_COLORCHANGED},
        {"text", [&] { c->SetCaption(u"x"); }, CM_TEXTCHANGED},
        {"paint", [&] {
             c->Invalidate();
             Cardinal start = GetTickCount();
             while (!c->Got(WM_PAINT) && Cardinal(GetTickCount() - start) < 2000) PumpFor(5);
         }, WM_PAINT},
        {"wheel", [&] { SimulateWheel(c, 5, 5, -120); }, WM_MOUSEWHEEL},
        {"dblclick", [&] { SimulateDblClick(c, 5, 5); }, WM_LBUTTONDBLCLK},
        {"right", [&] { SimulateMouseDown(c, mbRight, 5, 5); SimulateMouseUp(c, mbRight, 5, 5); }, WM_RBUTTONUP},
        {"middle", [&] { SimulateMouseDown(c, mbMiddle, 5, 5); SimulateMouseUp(c, mbMiddle, 5, 5); }, WM_MBUTTONDOWN},
        {"cursor", [&] { SimulateMouseMove(c, 6, 6); }, WM_SETCURSOR},
        {"timer", [&] {
             SetTimer(c->Handle(), 3, 1);
             Cardinal start = GetTickCount();
             while (!c->Got(WM_TIMER) && Cardinal(GetTickCount() - start) < 2000) PumpFor(5);
             KillTimer(c->Handle(), 3);
         }, WM_TIMER},
    };
    for (auto& k : cases) {
        c->msgs.clear();
        k.act();
        EXPECT_TRUE(c->Got(k.msg)) << k.what;
    }
    EXPECT_TRUE(wheel);
    EXPECT_EQ(dbl, 1);
    EXPECT_GE(clicks, 1);
}

TEST(StdCtrls, LeftAndRightAltAreKeptApart) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<TEdit>(&form, 10, 10, 100, 21);
    form.Show();
    e->SetFocus();
    SimulateKeyDown(VK_RMENU, {ssAlt});
    EXPECT_LT(GetKeyState(VK_RMENU), 0);
    EXPECT_GE(GetKeyState(VK_LMENU), 0);
    EXPECT_LT(GetKeyState(VK_MENU), 0);
    SimulateKeyUp(VK_RMENU, {});
    EXPECT_GE(GetKeyState(VK_RMENU), 0);
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    SimulateKeyDown(VK_LMENU, {ssAlt});
    EXPECT_LT(GetAsyncKeyState(VK_LMENU), 0);
    EXPECT_GE(GetKeyState(VK_RMENU), 0);
    SimulateKeyUp(VK_LMENU, {});
}

TEST(StdCtrls, AListBoxReportsTheChosenRowWhenItsClickEventRuns) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* list = Place<TListBox>(&form, 8, 8, 150, 120);
    for (const char16_t* name : {u"plant1", u"plant2", u"plant3"}) list->Items().Add(name);
    list->SetItemIndex(2);
    form.Show();
    std::vector<int> seen;
    list->OnClick = [&](TObject*) { seen.push_back(list->ItemIndex()); };
    const int row = list->ItemHeight();
    SimulateClick(list, 20, row / 2 + 1);
    SimulateClick(list, 20, row + row / 2 + 1);
    list->SetFocus();
    SimulateKey(VK_DOWN);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list->ItemIndex(), 2);
}

TEST(StdCtrls, TheFirstClickAfterADropDownListReachesItsControl) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* combo = Place<TComboBox>(&form, 8, 8, 150, 21);
    combo->SetStyle(csDropDownList);
    for (const char16_t* rate : {u"9600", u"19200"}) combo->Items().Add(rate);
    auto* ok = Place<TButton>(&form, 8, 100, 80, 25);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    // The list opens on the press and takes the release itself: the
    // control never sees its button come up. Then the list closes.
    SimulateMouseDown(combo, mbLeft, 140, 10);
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
    SimulateClick(ok, 10, 10);
    EXPECT_EQ(clicks, 1);
}

TEST(StdCtrls, ListsGroupsAndButtonsKeepTheirSelectionRules) {
    TScriptedDialogService svc;
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.SetColor(clWhite);
    auto* list = Place<TListBox>(&form, 8, 8, 100, 80);
    list->Items().Add(u"a");
    list->Items().Add(u"b");
    list->SetItemIndex(4);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(1);
    EXPECT_EQ(list->ItemIndex(), 1);

    auto* group = Place<TRadioGroup>(&form, 120, 8, 120, 100);
    group->Items().Add(u"RS232");
    group->Items().Add(u"RS485");
    int groupClicks = 0;
    group->OnClick = [&](TObject*) { ++groupClicks; };
    group->SetItemIndex(1);
    EXPECT_EQ(groupClicks, 1);
    EXPECT_TRUE(group->Buttons(1)->Checked());

    auto* s1 = Place<TSpeedButton>(&form, 250, 8, 23, 22);
    auto* s2 = Place<TSpeedButton>(&form, 275, 8, 23, 22);
    s1->SetGroupIndex(1);
    s2->SetGroupIndex(1);
    int s2Clicks = 0;
    s2->OnClick = [&](TObject*) { ++s2Clicks; };
    s1->SetDown(true);
    form.Show();
    SimulateClick(s2, 5, 5);
    EXPECT_EQ(s2Clicks, 1);
    EXPECT_TRUE(s2->Down());
    EXPECT_FALSE(s1->Down());
    SimulateClick(group->Buttons(0), 5, 5);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(groupClicks, 2);

    auto* track = Place<TTrackBar>(&form, 8, 200, 150, 30);
    int trackChanges = 0;
    track->OnChange = [&](TObject*) { ++trackChanges; };
    track->SetPosition(4);
    EXPECT_EQ(trackChanges, 0);
    track->SetFocus();
    SimulateKey(VK_RIGHT);
    EXPECT_EQ(track->Position(), 5);
    EXPECT_EQ(trackChanges, 1);

    auto* link = Place<TLinkLabel>(&form, 8, 240, 200, 20);
    link->SetCaption(u"See <a href=\"http://127.0.0.1/help\">help</a>");
    String target;
    link->OnLinkClick = [&](TObject*, const String& l, TSysLinkType) { target = l; };
    link->LinkClicked(u"http://127.0.0.1/help");
    EXPECT_EQ(target, u"http://127.0.0.1/help");

    // The whole form, standard controls and all, as a PNG.
    TempDir dir;
    SaveControlToPng(&form, Utf8ToString(dir.file("form.png")));
    TPngImage png;
    png.LoadFromFile(Utf8ToString(dir.file("form.png")));
    EXPECT_EQ(png.Width(), 400);
    EXPECT_EQ(png.Height(), 300);
}

TEST(StdCtrls, DisabledFieldsShowButtonFaceAndGreyTextAndTakeNoFocusByClick) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* focused = Place<TEdit>(&form, 8, 8, 120, 21);
    auto* edit = Place<TEdit>(&form, 8, 40, 120, 21);
    edit->SetText(u"34964");
    auto* list = Place<TListBox>(&form, 8, 70, 120, 60);
    list->Items().Add(u"WWWWWWWW");
    auto* check = Place<TCheckBox>(&form, 8, 140, 160, 21);
    check->SetCaption(u"WWWWWWWW");
    auto* combo = Place<TComboBox>(&form, 8, 170, 160, 21);
    combo->SetStyle(csDropDownList);
    combo->Items().Add(u"WWWWWWWW");
    combo->SetItemIndex(0);
    form.Show();
    focused->SetFocus();
    // Counts the pixels of a colour in a control's picture, give or take the
    // shading of a drawn face.
    auto count = [](TWinControl* c, TColor colour, int slack = 0) {
        TBitmap bmp;
        RenderControlToBitmap(c, bmp);
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) {
                const TColor p = ColorToRGB(bmp.Canvas().Pixels(x, y));
                n += std::abs(GetRValue(p) - GetRValue(colour)) <= slack &&
                     std::abs(GetGValue(p) - GetGValue(colour)) <= slack &&
                     std::abs(GetBValue(p) - GetBValue(colour)) <= slack;
            }
        return n;
    };
    const TColor face = ColorToRGB(clBtnFace), grey = ColorToRGB(clGrayText);
    for (TWinControl* c : std::initializer_list<TWinControl*>{edit, list, check, combo}) {
        c->SetEnabled(false);
        const int area = c->Width() * c->Height();
        EXPECT_GT(count(c, face, 12), area / 3) << StringToUtf8(c->ClassName());
        EXPECT_LT(count(c, clWhite), area / 50) << StringToUtf8(c->ClassName());  // a frame highlight at most
        EXPECT_GT(count(c, grey), 10) << StringToUtf8(c->ClassName());
        EXPECT_EQ(count(c, clBlack), 0) << StringToUtf8(c->ClassName());
        SimulateClick(c, 5, 5);
        EXPECT_TRUE(focused->Focused()) << StringToUtf8(c->ClassName());
    }
}

TEST(StdCtrls, AnImageStretchesCentresAndLetsItsTransparentColourThrough) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    form.SetColor(clWhite);
    TBitmap pic;
    pic.SetSize(4, 4);
    pic.Canvas().Brush().SetColor(clRed);
    pic.Canvas().FillRect(Rect(0, 0, 4, 4));
    pic.Canvas().SetPixels(0, 3, clBlue);  // bottom left: the transparent colour
    pic.Canvas().SetPixels(3, 3, clBlue);
    auto* stretched = Place<TImage>(&form, 0, 0, 40, 40);
    stretched->Picture().SetGraphic(&pic);
    stretched->SetStretch(true);
    auto* centred = Place<TImage>(&form, 50, 0, 40, 40);
    centred->Picture().SetGraphic(&pic);
    centred->SetCenter(true);
    centred->SetTransparent(true);
    TBitmap shot;
    RenderControlToBitmap(&form, shot);
    EXPECT_EQ(shot.Canvas().Pixels(5, 5), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(35, 5), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(38, 38), clBlue);
    EXPECT_EQ(shot.Canvas().Pixels(50 + 18, 18), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(50 + 21, 21), clWhite);  // transparent: the form shows
    EXPECT_EQ(shot.Canvas().Pixels(50 + 5, 5), clWhite);    // outside the centred picture
}

TEST(StdCtrls, AMemoKeepsEnterForItselfAndTheDefaultButtonGetsItElsewhere) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* memo = Place<TMemo>(&form, 8, 8, 200, 80);
    auto* edit = Place<TEdit>(&form, 8, 100, 200, 21);
    auto* ok = Place<TButton>(&form, 8, 130, 80, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    memo->SetFocus();
    SimulateText(u"a");
    SimulateKey(VK_RETURN);
    SimulateText(u"b");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(memo->Lines().Count(), 2);
    edit->SetFocus();
    SimulateKey(VK_RETURN);
    EXPECT_EQ(clicks, 1);
}

TEST(StdCtrls, TabGoesThroughContainersInTabOrderSkippingWhatCannotTakeTheFocus) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* e1 = Place<TEdit>(&form, 8, 8, 100, 21);
    auto* box = Place<TGroupBox>(&form, 8, 40, 200, 120);
    auto* e3 = Place<TEdit>(box, 8, 50, 100, 21);
    auto* e2 = Place<TEdit>(box, 8, 20, 100, 21);
    auto* off = Place<TEdit>(box, 8, 80, 100, 21);
    auto* e4 = Place<TEdit>(&form, 8, 200, 100, 21);
    auto* noStop = Place<TEdit>(&form, 8, 230, 100, 21);
    e2->SetTabOrder(0);  // before e3, though made after it
    off->SetEnabled(false);
    noStop->SetTabStop(false);
    form.Show();
    e1->SetFocus();
    std::vector<TWinControl*> seen;
    for (int i = 0; i < 5; ++i) {
        SimulateKey(VK_TAB);
        seen.push_back(form.ActiveControl());
    }
    EXPECT_EQ(seen, (std::vector<TWinControl*>{e2, e3, e4, e1, e2}));
    SimulateKey(VK_TAB, {ssShift});
    EXPECT_EQ(form.ActiveControl(), e1);
    SimulateKey(VK_TAB, {ssShift});
    EXPECT_EQ(form.ActiveControl(), e4);
}

TEST(StdCtrls, AFormFiresCreateOnceThenShowActivateResizeAndClose) {
    std::vector<String> log;
    auto* form = new TForm(nullptr);
    form->OnCreate = [&](TObject*) { log.push_back(u"create"); };
    form->OnShow = [&](TObject*) { log.push_back(u"show"); };
    form->OnActivate = [&](TObject*) { log.push_back(u"activate"); };
    form->OnResize = [&](TObject*) { log.push_back(u"resize"); };
    form->OnClose = [&](TObject*, TCloseAction& a) {
        log.push_back(u"close");
        a = caFree;
    };
    form->SetBounds(0, 0, 300, 200);
    log.clear();  // sizing before showing is no part of the story
    form->Show();
    form->SetClientWidth(320);
    form->Hide();
    form->Show();
    // A child chains its own resize handler in and out.
    TNotifyEvent saved = form->OnResize;
    form->OnResize = [&, saved](TObject* s) {
        log.push_back(u"child");
        if (saved) saved(s);
    };
    form->SetClientHeight(150);
    form->OnResize = saved;
    form->SetClientHeight(160);
    form->Close();
    PumpFor(20);  // a freed form goes once the loop runs
    std::vector<String> expected{u"create", u"show", u"activate", u"resize", u"show", u"activate",
                                 u"child", u"resize", u"resize", u"close"};
    EXPECT_EQ(log, expected);
}

TEST(StdCtrls, ClickingACheckedRadioAgainAndTogglingAListCheckByKey) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* r1 = Place<TRadioButton>(&form, 8, 8, 100, 17);
    auto* r2 = Place<TRadioButton>(&form, 8, 30, 100, 17);
    auto* list = Place<TCheckListBox>(&form, 120, 8, 120, 80);
    list->Items().Add(u"Enabled");
    list->Items().Add(u"Scale");
    int r1Clicks = 0, checks = 0;
    r1->OnClick = [&](TObject*) { ++r1Clicks; };
    list->OnClickCheck = [&](TObject*) { ++checks; };
    form.Show();
    SimulateClick(r1, 5, 5);
    SimulateClick(r1, 5, 5);
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(r1Clicks, 1);
    SimulateClick(r2, 5, 5);
    EXPECT_FALSE(r1->Checked());
    list->SetFocus();
    list->SetItemIndex(1);
    SimulateKey(VK_SPACE);
    EXPECT_TRUE(list->Checked(1));
    EXPECT_EQ(checks, 1);
    list->SetChecked(0, true);  // code: no event
    EXPECT_EQ(checks, 1);
}

TEST(StdCtrls, ATransparentLabelShowsItsParentAndAnOpaqueOneItsColour) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    form.SetColor(clWhite);
    auto* clear = Place<TLabel>(&form, 0, 0, 60, 20);
    clear->SetAutoSize(false);
    clear->SetCaption(u"x");
    clear->SetColor(clRed);
    clear->SetTransparent(true);
    auto* solid = Place<TLabel>(&form, 100, 0, 60, 20);
    solid->SetAutoSize(false);
    solid->SetCaption(u"x");
    solid->SetColor(clRed);
    TBitmap shot;
    RenderControlToBitmap(&form, shot);
    EXPECT_EQ(shot.Canvas().Pixels(50, 15), clWhite);
    EXPECT_EQ(shot.Canvas().Pixels(150, 15), clRed);
}

TEST(StdCtrls, AFormPreviewingKeysCanDropOrChangeTypedCharacters) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* e = Place<TEdit>(&form, 8, 8, 100, 21);
    form.SetKeyPreview(true);
    form.OnKeyPress = [](TObject*, Char& key) {
        if (key == u'x') key = 0;
        else if (key == u',') key = u'.';
    };
    form.Show();
    e->SetFocus();
    SimulateText(u"1x,5");
    EXPECT_EQ(e->Text(), u"1.5");
}

TEST(StdCtrls, MemoSelectAllSelectsEveryLine) {
    TForm form(nullptr);
    auto* memo = Place<TMemo>(&form, 0, 0, 200, 100);
    memo->Lines().Add(u"first");
    memo->Lines().Add(u"second");
    memo->SelectAll();
    EXPECT_EQ(memo->SelText(), u"first\r\nsecond");
}

// Lists, memos and trees scroll their contents in a viewport; painting them,
// with a windowless control over a list, leaves the console quiet (a painter
// opened on the wrong widget makes the toolkit complain at every paint).
TEST(StdCtrls, ScrollingControlsPaintWithoutPainterComplaints) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* list = Place<TListBox>(&form, 8, 8, 150, 120);
    for (const char16_t* s : {u"one", u"two", u"three"}) list->Items().Add(s);
    Place<TLabel>(list, 4, 4, 40, 13)->SetCaption(u"over");
    Place<TMemo>(&form, 170, 8, 150, 120)->Lines().Add(u"text");
    Place<TTreeView>(&form, 8, 140, 150, 120)->Items().Add(nullptr, u"node");
    form.Show();
    testing::internal::CaptureStderr();
    TBitmap shot;
    RenderControlToBitmap(&form, shot);
    form.Repaint();
    Application->ProcessMessages();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("QPainter"), std::string::npos) << said;
    EXPECT_EQ(said.find("paintEngine"), std::string::npos) << said;
}

TEST(StdCtrls, AScrollBarWithoutCtl3DIsDrawnFlatAndKeepsWorking) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    auto* bar = Place<TScrollBar>(&form, 10, 10, 17, 150);
    bar->SetKind(sbVertical);
    bar->SetParams(0, 0, 100);
    form.Show();
    EXPECT_TRUE(bar->Ctl3D());
    bar->SetCtl3D(false);
    TBitmap shot;
    RenderControlToBitmap(bar, shot);
    int shadow = 0, white = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const TColor c = shot.Canvas().Pixels(x, y);
            shadow += c == ColorToRGB(clBtnShadow);
            white += c == clWhite;
        }
    // Framed arrows and thumb, no lit edges.
    EXPECT_GT(shadow, 0);
    EXPECT_EQ(white, 0);
    // The person still scrolls it.
    int scrolled = 0;
    bar->OnScroll = [&](TObject*, TScrollCode, int& Pos) { scrolled = Pos; };
    bar->Perform(CN_VSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(scrolled, 1);
    EXPECT_EQ(bar->Position(), 1);
}
