#include "controls/FlatButton.h"

#include "framework/ActnList.h"
#include "framework/Dialogs.h"
#include "framework/ImgList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <memory>
#include <vector>

namespace {

constexpr TColor Face = 0xEDF7F8;

// Focusable stand-ins for an edit field and a radio button: only their class
// names matter to the dialog keys.
class EditProbe : public TCustomControl {
public:
    explicit EditProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};
class RadioButtonProbe : public TCustomControl {
public:
    explicit RadioButtonProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};
class Panel : public TCustomControl {
public:
    explicit Panel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    }
};

// A dialog as the windows build them: OK (the default button), Cancel (the
// cancel button with the cancel result, on a panel), one more button, an
// edit field and a radio button.
struct Dialog {
    Dialog() {
        form.SetBounds(100, 100, 420, 160);
        form.SetColor(Face);
        panel = new Panel(&form);
        panel->SetParent(&form);
        panel->SetBounds(0, 100, 420, 40);
        ok = Button(&form, 10, 10, u"OK");
        ok->SetDefault(true);
        cancel = Button(panel, 130, 6, u"Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        other = Button(&form, 250, 10, u"&Apply");
        edit = new EditProbe(&form);
        edit->SetParent(&form);
        edit->SetBounds(10, 60, 100, 20);
        radio = new RadioButtonProbe(&form);
        radio->SetParent(&form);
        radio->SetBounds(130, 60, 100, 20);
        form.Show();
    }
    TFlatButton* Button(TWinControl* parent, int x, int y, const String& caption) {
        auto* b = new TFlatButton(&form);
        b->SetParent(parent);
        b->SetBounds(x, y, 110, 28);
        b->SetStyle(bsEncarta);
        b->SetColor(Face);
        b->SetLightColor(clGray);
        b->SetColorWhenDown(33023);
        b->SetHotTrackColor(clYellow);
        b->SetCaption(caption);
        b->OnClick = [this, b](TObject* sender) {
            EXPECT_EQ(sender, b);
            ++clicks[b];
        };
        return b;
    }
    int Clicks(TFlatButton* b) { return clicks[b]; }
    // The colour of one pixel of the button as it shows now.
    TColor Pixel(TFlatButton* b, int x, int y) {
        TBitmap bmp;
        RenderControlToBitmap(b, bmp);
        return bmp.Canvas().Pixels(x, y);
    }
    TForm form{nullptr};
    Panel* panel;
    TFlatButton *ok, *cancel, *other;
    EditProbe* edit;
    RadioButtonProbe* radio;
    std::map<TFlatButton*, int> clicks;
};

}  // namespace

TEST(FlatButtonInput, LeftPressAndReleaseAnywhereClicksOnce) {
    Dialog d;
    SimulateMouseDown(d.ok, mbLeft, 20, 10);
    EXPECT_TRUE(d.ok->Pressed());
    EXPECT_TRUE(d.ok->Focused());
    EXPECT_EQ(d.Pixel(d.ok, 55, 3), 33023);  // the pressed face
    SimulateMouseMove(d.ok, 300, 90);
    SimulateMouseUp(d.ok, mbLeft, 300, 90);  // far outside the button
    EXPECT_EQ(d.Clicks(d.ok), 1);
    EXPECT_FALSE(d.ok->Pressed());
    SimulateClick(d.ok, 5, 5);
    EXPECT_EQ(d.Clicks(d.ok), 2);
}

TEST(FlatButtonInput, RightPressOnlyFiresTheMouseEvents) {
    Dialog d;
    std::vector<TMouseButton> downs;
    d.ok->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { downs.push_back(b); };
    SimulateMouseDown(d.ok, mbRight, 20, 10);
    EXPECT_FALSE(d.ok->Pressed());
    SimulateMouseUp(d.ok, mbRight, 20, 10);
    EXPECT_EQ(d.Clicks(d.ok), 0);
    EXPECT_EQ(downs, std::vector<TMouseButton>{mbRight});
}

TEST(FlatButtonInput, EnterAndSpaceClickTheFocusedButtonOncePerPress) {
    Dialog d;
    d.other->SetFocus();
    SimulateKeyDown(VK_SPACE);
    EXPECT_TRUE(d.other->Pressed());
    EXPECT_EQ(d.Clicks(d.other), 0);
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(d.Clicks(d.other), 1);
    // Enter with another button focused goes to that button, not to the default one.
    SimulateKey(VK_RETURN);
    EXPECT_EQ(d.Clicks(d.other), 2);
    EXPECT_EQ(d.Clicks(d.ok), 0);
}

TEST(FlatButtonInput, AKeyReleasedWithoutItsPressOnTheButtonDoesNotClick) {
    Dialog d;
    d.other->SetFocus();
    // The press went to a dialog that has closed since: only the release arrives.
    SimulateKeyUp(VK_RETURN);
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(d.Clicks(d.other), 0);
    // A press of the other key does not arm the release of this one.
    SimulateKeyDown(VK_SPACE);
    SimulateKeyUp(VK_RETURN);
    EXPECT_EQ(d.Clicks(d.other), 0);
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(d.Clicks(d.other), 1);
    // A press on one button, the focus moved on, the release on another: no click anywhere.
    SimulateKeyDown(VK_SPACE);
    d.ok->SetFocus();
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(d.Clicks(d.other), 1);
    EXPECT_EQ(d.Clicks(d.ok), 0);
    SimulateKey(VK_SPACE);
    EXPECT_EQ(d.Clicks(d.ok), 1);
}

TEST(FlatButtonInput, EnterGoesToTheDefaultButtonFromFieldsAndRadioButtons) {
    Dialog d;
    for (TWinControl* focus : {static_cast<TWinControl*>(d.edit), static_cast<TWinControl*>(d.radio)}) {
        focus->SetFocus();
        ASSERT_TRUE(focus->Focused());
        SimulateKey(VK_RETURN);
    }
    EXPECT_EQ(d.Clicks(d.ok), 2);
    EXPECT_EQ(d.Clicks(d.other), 0);
    // The default button does not click when it is disabled.
    d.ok->SetEnabled(false);
    SimulateKey(VK_RETURN);
    EXPECT_EQ(d.Clicks(d.ok), 2);
}

TEST(FlatButtonInput, EscapeWithoutShiftKeysClicksCancelAndSetsTheFormsResult) {
    Dialog d;
    d.edit->SetFocus();
    for (TShiftState shift : {TShiftState{ssShift}, TShiftState{ssCtrl}, TShiftState{ssAlt}}) SimulateKey(VK_ESCAPE, shift);
    EXPECT_EQ(d.Clicks(d.cancel), 0);
    EXPECT_EQ(d.form.ModalResult(), mrNone);
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(d.Clicks(d.cancel), 1);
    // The button sits on a panel; its result goes to the form.
    EXPECT_EQ(d.form.ModalResult(), mrCancel);
}

TEST(FlatButtonInput, AcceleratorClicks) {
    Dialog d;
    d.edit->SetFocus();
    SimulateKey('A', {ssAlt});
    EXPECT_EQ(d.Clicks(d.other), 1);
    SimulateKey('A');  // the edit stand-in takes no characters: the form offers it as an accelerator
    EXPECT_EQ(d.Clicks(d.other), 2);
    SimulateKey('X', {ssAlt});
    EXPECT_EQ(d.Clicks(d.other), 2);
    // The click consumed the press: a later release of another mouse button clicks nothing.
    EXPECT_FALSE(d.other->Pressed());
    SimulateMouseDown(d.other, mbRight, 5, 5);
    SimulateMouseUp(d.other, mbRight, 5, 5);
    EXPECT_EQ(d.Clicks(d.other), 2);
}

TEST(FlatButtonInput, ModalResultEndsAModalForm) {
    Dialog d;
    d.form.Hide();
    // The click arrives as input while the modal loop runs.
    PostMessage(d.cancel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    PostMessage(d.cancel->Handle(), WM_LBUTTONUP, 0, MakeLParam(5, 5));
    EXPECT_EQ(d.form.ShowModal(), mrCancel);
    EXPECT_EQ(d.Clicks(d.cancel), 1);
}

TEST(FlatButtonInput, HotTrackingShowsAtOnceAndGoesAtOnceWithoutFade) {
    Dialog d;
    int enters = 0, exits = 0;
    d.ok->OnMouseEnter = [&](TObject*) { ++enters; };
    d.ok->OnMouseExit = [&](TObject*) { ++exits; };
    SimulateMouseMove(d.ok, 30, 5);
    EXPECT_EQ(d.ok->HotTrackStep(), 8);
    EXPECT_EQ(d.Pixel(d.ok, 55, 3), clYellow);
    SimulateMouseMove(d.other, 30, 5);
    EXPECT_EQ(d.ok->HotTrackStep(), 0);
    EXPECT_EQ(d.Pixel(d.ok, 55, 3), Face);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(d.ok->FadeThread(), nullptr);
}

TEST(FlatButtonInput, FocusRectangleLiesFourPixelsInside) {
    Dialog d;
    TBitmap plain, focused;
    RenderControlToBitmap(d.ok, plain);
    d.ok->SetFocus();
    RenderControlToBitmap(d.ok, focused);
    int changed = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 110; ++x) {
            if (plain.Canvas().Pixels(x, y) == focused.Canvas().Pixels(x, y)) continue;
            ++changed;
            const bool onFrame = ((x == 4 || x == 105) && y >= 4 && y <= 23) || ((y == 4 || y == 23) && x >= 4 && x <= 105);
            EXPECT_TRUE(onFrame) << x << "," << y;
        }
    EXPECT_GT(changed, 50);  // dotted: every other pixel of the frame
}

TEST(FlatButtonInput, SlowDeceaseFadesInEightTicksOnTheInterfaceThread) {
    Dialog d;
    d.ok->SetSlowDecease(true);
    ASSERT_NE(d.ok->FadeThread(), nullptr);
    SimulateMouseMove(d.ok, 30, 5);
    SimulateMouseMove(d.other, 30, 5);
    EXPECT_EQ(d.ok->HotTrackStep(), 8);  // leaving starts the ticks, it does not drop the colour
    std::vector<int> steps;
    const Cardinal start = GetTickCount();
    while (d.ok->HotTrackStep() > 0 && GetTickCount() - start < 3000) {
        CheckSynchronize(50);
        if (steps.empty() || steps.back() != d.ok->HotTrackStep()) steps.push_back(d.ok->HotTrackStep());
    }
    const Cardinal elapsed = GetTickCount() - start;
    EXPECT_EQ(steps, (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_GE(elapsed, 7 * 30u);
    EXPECT_EQ(d.Pixel(d.ok, 55, 3), Face);
    // Then the thread rests: no further steps.
    CheckSynchronize(100);
    EXPECT_EQ(d.ok->HotTrackStep(), 0);
    EXPECT_TRUE(d.ok->FadeThread()->Suspended());

    // Clearing SlowDecease during a fade ends it.
    SimulateMouseMove(d.ok, 30, 5);
    SimulateMouseMove(d.other, 30, 5);
    CheckSynchronize(50);
    d.ok->SetSlowDecease(false);
    EXPECT_EQ(d.ok->HotTrackStep(), 0);
    EXPECT_EQ(d.ok->FadeThread(), nullptr);
}

TEST(FlatButtonInput, ClearingSlowDeceaseWithAStepWaitingEndsCleanly) {
    // A hang here must fail the test, not the whole run.
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(5), [&] { return finished; })) {
            std::fprintf(stderr, "clearing SlowDecease hangs\n");
            std::abort();
        }
    });
    Dialog d;
    d.ok->SetSlowDecease(true);
    SimulateMouseMove(d.ok, 30, 5);
    SimulateMouseMove(d.other, 30, 5);
    // The interface thread is busy past a tick: the thread's step is waiting for it.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    d.ok->SetSlowDecease(false);
    EXPECT_EQ(d.ok->HotTrackStep(), 0);
    EXPECT_EQ(d.ok->FadeThread(), nullptr);
    {
        std::lock_guard lock(m);
        finished = true;
    }
    cv.notify_all();
    watchdog.join();
}

TEST(FlatButtonInput, DestroyingAButtonDuringItsFadeEndsCleanly) {
    Dialog d;
    d.other->SetSlowDecease(true);
    SimulateMouseMove(d.other, 30, 5);
    SimulateMouseMove(d.ok, 30, 5);
    CheckSynchronize(40);
    const Cardinal start = GetTickCount();
    delete d.other;
    EXPECT_LT(GetTickCount() - start, 1000u);
    CheckSynchronize(100);
}

TEST(FlatButtonInput, DisablingReleasesThePress) {
    Dialog d;
    SimulateMouseDown(d.ok, mbLeft, 20, 10);
    d.ok->SetEnabled(false);
    EXPECT_FALSE(d.ok->Pressed());
    SimulateMouseUp(d.ok, mbLeft, 20, 10);
    EXPECT_EQ(d.Clicks(d.ok), 0);
    SimulateClick(d.ok, 20, 10);
    EXPECT_EQ(d.Clicks(d.ok), 0);
}

// A press on the button moves the focus, and the field left refuses it in a
// message box, which in the window system takes the press's release: the
// press ends there, so the button neither stays pressed nor holds the mouse,
// and the next click goes where it is made.
TEST(FlatButtonInput, AMessageShownWhileThePressMovesTheFocusEndsThePress) {
    Dialog d;
    TScriptedDialogService dialogs;
    d.edit->SetFocus();
    d.edit->OnExit = [&](TObject*) {
        MessageDlg(u"refused", mtError, TMsgDlgButtons{mbOK});
        d.edit->SetFocus();
    };
    SimulateMouseDown(d.ok, mbLeft, 20, 10);
    EXPECT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_TRUE(d.edit->Focused());
    EXPECT_FALSE(d.ok->Pressed());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    d.edit->OnExit = nullptr;
    SimulateClick(d.other, 20, 10);
    EXPECT_EQ(d.Clicks(d.other), 1);
    EXPECT_EQ(d.Clicks(d.ok), 0);
}

namespace {
// Records where menus open and what had happened by then.
class MenuProbe : public TScriptedDialogService {
public:
    bool PopupMenu(TPopupMenu* Menu, int X, int Y, TMenuItem*& Chosen) override {
        At.push_back({X, Y});
        if (Before) Before();
        return TScriptedDialogService::PopupMenu(Menu, X, Y, Chosen);
    }
    std::vector<TPoint> At;
    std::function<void()> Before;
};
}  // namespace

TEST(FlatButtonInput, ClickOpensThePopupMenuBelowTheBottomLeftCornerAfterOnClickAndResult) {
    Dialog d;
    MenuProbe menus;
    auto* menu = new TPopupMenu(&d.form);
    int picked = 0;
    menu->Items().Add(NewItem(menu, u"Export", [&](TObject*) { ++picked; }));
    d.cancel->SetPopupMenu(menu);
    int clicksSeen = -1;
    TModalResult resultSeen = mrNone;
    menus.Before = [&] {
        clicksSeen = d.Clicks(d.cancel);
        resultSeen = d.form.ModalResult();
    };
    menus.AnswerMenu(u"Export");
    SimulateClick(d.cancel, 20, 10);
    ASSERT_EQ(menus.At.size(), 1u);
    const TPoint corner = d.cancel->ClientToScreen({0, d.cancel->Height()});
    EXPECT_EQ(menus.At[0].X, corner.X);
    EXPECT_EQ(menus.At[0].Y, corner.Y);
    EXPECT_EQ(clicksSeen, 1);
    EXPECT_EQ(resultSeen, mrCancel);
    EXPECT_EQ(picked, 1);
    // Without a menu nothing opens.
    SimulateClick(d.ok, 20, 10);
    EXPECT_EQ(menus.At.size(), 1u);
}

namespace {

TEST(FlatButtonInput, AnActionGivesItsCaptionStateHintAndImageAndRunsOnClick) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    TImageList images(16, 16);
    TBitmap strip;
    strip.SetSize(32, 16);
    strip.Canvas().Brush().SetColor(TColor(0x00C000));
    strip.Canvas().FillRect(Rect(0, 0, 16, 16));
    strip.Canvas().Brush().SetColor(TColor(0x0000C0));
    strip.Canvas().FillRect(Rect(16, 0, 32, 16));
    ASSERT_EQ(images.Add(&strip, nullptr), 0);
    TActionList list(&form);
    list.SetImages(&images);
    auto* save = new TAction(&form);
    save->SetCaption(u"Save");
    save->SetHint(u"Saves the table");
    save->SetImageIndex(1);
    save->SetActionList(&list);
    int runs = 0, clicks = 0;
    save->OnExecute = [&](TObject*) { ++runs; };

    auto* b = new TFlatButton(&form);
    b->SetParent(&form);
    b->SetBounds(10, 10, 120, 30);
    b->OnClick = [&](TObject*) { ++clicks; };
    b->SetAction(save);
    form.Show();
    EXPECT_EQ(b->Caption(), u"Save");
    EXPECT_EQ(b->Hint(), u"Saves the table");
    EXPECT_EQ(b->NumGlyphs(), 1);
    ASSERT_EQ(b->Glyph().Width(), 16);
    EXPECT_EQ(ColorToRGB(b->Glyph().Canvas().Pixels(8, 8)), 0x0000C0);  // image 1 of the list

    SimulateClick(b, 5, 5);
    EXPECT_EQ(clicks, 1);  // the button's own click, and the action
    EXPECT_EQ(runs, 1);

    save->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    save->SetEnabled(true);
    save->SetCaption(u"Save all");
    EXPECT_EQ(b->Caption(), u"Save all");
    // The glyph is taken only while the button has none.
    save->SetImageIndex(0);
    EXPECT_EQ(ColorToRGB(b->Glyph().Canvas().Pixels(8, 8)), 0x0000C0);
    b->SetGlyph(nullptr);
    save->SetHint(u"Saves every table");  // any change of the action offers the image again
    EXPECT_EQ(ColorToRGB(b->Glyph().Canvas().Pixels(8, 8)), 0x00C000);
    // An index outside the list leaves the glyph empty.
    b->SetGlyph(nullptr);
    save->SetImageIndex(5);
    EXPECT_TRUE(b->Glyph().Empty());
}

}  // namespace
