#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A focusable custom control that records the key data of its key messages
// and the cancel-mode messages it gets.
class KeyProbe : public TCustomControl {
public:
    explicit KeyProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    std::vector<LPARAM> downs, ups;
    int cancels = 0;

protected:
    // Every key is the probe's own, arrows and Enter too.
    void WMGetDlgCode(TMessage& m) override { m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB; }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) downs.push_back(m.LParam);
        if (m.Msg == WM_KEYUP || m.Msg == WM_SYSKEYUP) ups.push_back(m.LParam);
        if (m.Msg == WM_CANCELMODE) ++cancels;
        TCustomControl::Dispatch(m);
    }
};

struct KeyForm {
    KeyForm() {
        form.SetBounds(40, 40, 300, 200);
        probe = Place<KeyProbe>(&form, 10, 10, 100, 40);
        form.Show();
        form.SetFocus();
        probe->SetFocus();
    }
    TForm form{nullptr};
    KeyProbe* probe;
};

int ScanOf(LPARAM data) { return int((data >> 16) & 0xFF); }
bool ExtendedOf(LPARAM data) { return (data & 0x01000000) != 0; }

}  // namespace

TEST(KeyData, ScanCodeAndExtendedFlagOfEachKey) {
    KeyForm f;
    ASSERT_EQ(FindFocusedControl(), f.probe);
    struct Case { Word vk; int scan; bool extended; } cases[] = {
        {VK_DECIMAL, 0x53, false}, {VK_DELETE, 0x53, true},   {VK_NUMPAD0 + 7, 0x47, false},
        {VK_HOME, 0x47, true},     {VK_UP, 0x48, true},       {VK_NEXT, 0x51, true},
        {VK_INSERT, 0x52, true},   {VK_NUMPAD0, 0x52, false}, {'A', 0x1E, false},
        {'Q', 0x10, false},        {'M', 0x32, false},        {'1', 0x02, false},
        {'0', 0x0B, false},        {VK_RETURN, 0x1C, false},  {VK_ESCAPE, 0x01, false},
        {VK_F1, 0x3B, false},      {VK_F12, 0x58, false},     {VK_SPACE, 0x39, false},
        {VK_SUBTRACT, 0x4A, false}, {VK_DIVIDE, 0x35, true},  {VK_OEM_2, 0x35, false},
        {VK_RCONTROL, 0x1D, true}, {VK_LCONTROL, 0x1D, false},
    };
    for (const auto& c : cases) {
        f.probe->downs.clear();
        f.probe->ups.clear();
        SimulateKey(c.vk);
        ASSERT_EQ(f.probe->downs.size(), 1u) << c.vk;
        ASSERT_EQ(f.probe->ups.size(), 1u) << c.vk;
        const LPARAM down = f.probe->downs[0], up = f.probe->ups[0];
        EXPECT_EQ(ScanOf(down), c.scan) << c.vk;
        EXPECT_EQ(ExtendedOf(down), c.extended) << c.vk;
        EXPECT_EQ(down & 0xFFFF, 1) << c.vk;
        EXPECT_EQ(down & LPARAM(0xC0000000), 0) << c.vk;
        EXPECT_EQ(ScanOf(up), c.scan) << c.vk;
        EXPECT_EQ(up & LPARAM(0xC0000000), LPARAM(0xC0000000)) << c.vk;
    }
    // The keypad's Enter is the extended one; Alt shows in bit 29.
    EXPECT_TRUE(ExtendedOf(KeyDataOf(VK_RETURN, true, false, false, false)));
    EXPECT_NE(KeyDataOf('X', false, true, false, false) & 0x20000000, 0);
    EXPECT_EQ(KeyDataToShiftState(KeyDataOf('X', false, true, false, false)), TShiftState{ssAlt});
}

TEST(KeyData, KeyToCharGivesTheCharacterAKeyTypes) {
    struct Case { Word vk; TShiftState shift; Char ch; } cases[] = {
        {'A', {}, u'a'},           {'A', {ssShift}, u'A'},       {'A', {ssCtrl}, 1},
        {'Z', {ssCtrl}, 26},       {'1', {}, u'1'},              {'1', {ssShift}, u'!'},
        {'0', {ssShift}, u')'},    {VK_OEM_MINUS, {}, u'-'},     {VK_OEM_MINUS, {ssShift}, u'_'},
        {VK_OEM_PERIOD, {}, u'.'}, {VK_OEM_1, {ssShift}, u':'},  {VK_OEM_7, {}, u'\''},
        {VK_OEM_5, {}, u'\\'},     {VK_DECIMAL, {}, u'.'},       {VK_NUMPAD0 + 5, {}, u'5'},
        {VK_RETURN, {}, 13},       {VK_BACK, {}, 8},             {VK_SPACE, {ssShift}, u' '},
        {VK_F1, {}, 0},            {VK_LEFT, {}, 0},             {VK_DELETE, {}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyToChar(c.vk, c.shift), c.ch) << c.vk;
}

TEST(ContextMenu, RightButtonAndKeyboardShowThePopupMenu) {
    TScriptedDialogService svc;
    KeyForm f;
    auto* outer = Place<TPanel>(&f.form, 120, 10, 150, 150);
    auto* inner = Place<TPanel>(outer, 10, 10, 50, 50);
    auto* edit = Place<TEdit>(&f.form, 10, 100, 100, 21);
    TPopupMenu menu(nullptr);
    int clicks = 0;
    menu.Items().Add(NewItem(&menu, u"&Copy", [&](TObject*) { ++clicks; }));
    f.probe->SetPopupMenu(&menu);
    outer->SetPopupMenu(&menu);
    edit->SetPopupMenu(&menu);

    struct Step { const char* what; std::function<void()> act; TControl* owner; } steps[] = {
        {"menu key", [] { SimulateKey(VK_APPS); }, f.probe},
        {"shift+F10", [] { SimulateKey(VK_F10, {ssShift}); }, f.probe},
        {"right button on a child without a menu", [&] {
             SimulateMouseDown(inner, mbRight, 5, 5);
             SimulateMouseUp(inner, mbRight, 5, 5);
         }, outer},
        {"right button on a standard edit", [&] {
             SimulateMouseDown(edit, mbRight, 5, 5);
             SimulateMouseUp(edit, mbRight, 5, 5);
         }, edit},
    };
    for (const Step& s : steps) {
        menu.PopupComponent = nullptr;
        svc.AnswerMenu(u"Copy");
        const int before = clicks;
        f.probe->SetFocus();
        s.act();
        EXPECT_EQ(clicks, before + 1) << s.what;
        EXPECT_EQ(menu.PopupComponent, s.owner) << s.what;
    }
    EXPECT_EQ(svc.Shown.size(), 4u);
}

// An arrow key the focused control takes stays with it: the toolkit must not
// offer it to the form as well, which would move the focus on.
TEST(KeyData, AKeyTheFocusedControlTookGoesToNoOtherWindow) {
    KeyForm f;
    auto* next = Place<KeyProbe>(&f.form, 10, 60, 100, 40);
    f.probe->SetFocus();
    ASSERT_EQ(FindFocusedControl(), f.probe);
    SimulateWindowSystemKey(VK_RIGHT);
    EXPECT_EQ(f.probe->downs.size(), 1u);
    EXPECT_EQ(FindFocusedControl(), f.probe);
    EXPECT_TRUE(next->downs.empty());
}

TEST(CancelMode, APressInAnotherWindowCancelsTheFocusedControlsMode) {
    KeyForm f;
    TForm other(nullptr);
    other.SetBounds(400, 40, 200, 100);
    auto* target = Place<TPanel>(&other, 10, 10, 80, 40);
    other.Show();
    f.form.SetFocus();
    f.probe->SetFocus();
    ASSERT_EQ(FindFocusedControl(), f.probe);
    f.probe->cancels = 0;
    SimulateMouseDown(target, mbLeft, 5, 5);
    SimulateMouseUp(target, mbLeft, 5, 5);
    EXPECT_EQ(f.probe->cancels, 1);
    // A press on the focused control itself cancels nothing.
    f.probe->SetFocus();
    f.probe->cancels = 0;
    SimulateMouseDown(f.probe, mbLeft, 5, 5);
    SimulateMouseUp(f.probe, mbLeft, 5, 5);
    EXPECT_EQ(f.probe->cancels, 0);
}

namespace {

class PlainHint : public THintWindow {
public:
    using THintWindow::THintWindow;
};
class OwnHint : public THintWindow {
public:
    using THintWindow::THintWindow;
};

// A panel that names its own hint window class and pause.
class OwnHintPanel : public TPanel {
public:
    using TPanel::TPanel;
    int askedPause = -1;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_HINTSHOWPAUSE) {
            int* pause = reinterpret_cast<int*>(m.LParam);
            askedPause = *pause;
            *pause = 0;
            return;
        }
        if (m.Msg == CM_HINTSHOW) {
            HintInfoOf(m)->HintWindowClass = [](TComponent* o) { return new OwnHint(o); };
            return;
        }
        TPanel::Dispatch(m);
    }
};

}  // namespace

TEST(Hints, WindowClassPerRequestPauseAndClosingMessages) {
    THintWindowFactory saved = HintWindowClass;
    HintWindowClass = [](TComponent* o) { return new PlainHint(o); };
    const int pause = Application->HintPause;
    Application->HintPause = 700;
    Application->CancelHint();
    {
        KeyForm f;
        auto* own = Place<OwnHintPanel>(&f.form, 120, 10, 60, 40);
        auto* plain = Place<TPanel>(&f.form, 200, 10, 60, 40);
        for (TControl* c : std::initializer_list<TControl*>{own, plain}) {
            c->SetHint(u"Tip");
            c->SetShowHint(true);
        }
        SimulateMouseMove(own, 5, 5);
        EXPECT_EQ(own->askedPause, 700);
        Application->ActivateHint(own->ClientToScreen({5, 5}));
        ASSERT_NE(dynamic_cast<OwnHint*>(Application->HintWindow()), nullptr);
        EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
        // A key closes the hint.
        SimulateKey('A');
        EXPECT_FALSE(Application->HintWindow()->IsHintShowing());

        SimulateMouseMove(plain, 5, 5);
        Application->ActivateHint(plain->ClientToScreen({5, 5}));
        ASSERT_NE(dynamic_cast<PlainHint*>(Application->HintWindow()), nullptr);
        EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
        EXPECT_FALSE(Application->IsHintMsg(TMessage{WM_MOUSEMOVE, 0, 0, 0}));
        EXPECT_TRUE(Application->IsHintMsg(TMessage{WM_RBUTTONDOWN, 0, 0, 0}));
        EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
    }
    Application->CancelHint();
    Application->HintPause = pause;
    HintWindowClass = saved;
}

TEST(Hints, HintWindowsUseTheScreensHintFont) {
    THintWindow w(nullptr);
    EXPECT_EQ(w.Font().Name(), Screen->HintFont().Name());
    EXPECT_EQ(w.Font().Size(), Screen->HintFont().Size());
    EXPECT_EQ(w.Font().Color(), clInfoText);
}
