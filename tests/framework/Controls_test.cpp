#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr Cardinal WM_PROBE_POSTED = WM_USER + 1;

std::string Num(int v) { return std::to_string(v); }

// A custom control that logs the messages it receives, in the manner of the
// push button: it captures the mouse, takes the focus on a press, and clicks
// on its accelerator.
class Probe : public TCustomControl {
public:
    explicit Probe(TComponent* owner, std::vector<std::string>* log, std::string name)
        : TCustomControl(owner), log_(log), name_(std::move(name)) {
        SetControlStyle({csCaptureMouse, csSetCaption});
        SetTabStop(true);
    }

protected:
    void CMMouseEnter(TMessage& m) override {
        Log("enter");
        TCustomControl::CMMouseEnter(m);
    }
    void CMMouseLeave(TMessage& m) override {
        Log("leave");
        TCustomControl::CMMouseLeave(m);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        TCustomControl::MouseDown(b, s, x, y);
        Log("down " + Num(x) + "," + Num(y));
        SetFocus();
    }
    void MouseMove(TShiftState s, int x, int y) override {
        TCustomControl::MouseMove(s, x, y);
        if (MouseCapture()) Log("drag " + Num(x) + "," + Num(y));
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        TCustomControl::MouseUp(b, s, x, y);
        Log("up " + Num(x) + "," + Num(y));
        PostMessage(Handle(), WM_PROBE_POSTED);
        Log("click handled");
    }
    void CNKeyDown(TWMKey& m) override {
        TCustomControl::CNKeyDown(m);
        if (m.Result == 0) Log("cnkeydown " + Num(m.CharCode()));
    }
    void KeyDown(Word& key, TShiftState shift) override {
        TCustomControl::KeyDown(key, shift);
        Log("keydown " + Num(key));
    }
    void KeyPress(Char& key) override {
        TCustomControl::KeyPress(key);
        Log("keypress " + Num(key));
    }
    void CMDialogChar(TCMDialogChar& m) override {
        if (IsAccel(m.CharCode(), Caption())) {
            Log("accel");
            m.Result = 1;
            return;
        }
        TCustomControl::CMDialogChar(m);
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_PROBE_POSTED) {
            Log("posted");
            return;
        }
        TCustomControl::Dispatch(m);
    }
    void Paint() override {
        Canvas().Brush().SetColor(clYellow);
        Canvas().FillRect(Rect(2, 2, 8, 8));
    }

private:
    void Log(const std::string& s) { log_->push_back(name_ + " " + s); }
    std::vector<std::string>* log_;
    std::string name_;
};

struct ProbeForm {
    ProbeForm() {
        form.SetBounds(100, 100, 300, 100);
        a = new Probe(&form, &log, "a");
        a->SetParent(&form);
        a->SetBounds(10, 10, 100, 30);
        b = new Probe(&form, &log, "b");
        b->SetParent(&form);
        b->SetBounds(150, 10, 100, 30);
        b->SetCaption(u"&Go");
        form.Show();
        log.clear();
    }
    std::vector<std::string> log;
    TForm form{nullptr};
    Probe* a;
    Probe* b;
};

}  // namespace

TEST(Controls, MouseEnterLeaveAndCaptureWithAReleaseOutside) {
    ProbeForm f;
    SimulateMouseMove(f.a, 5, 5);
    SimulateMouseMove(f.b, 5, 5);
    SimulateMouseMove(f.a, 6, 6);
    SimulateMouseDown(f.a, mbLeft, 6, 6);
    // While a holds the capture, moving over b leaves a but does not enter
    // b, and the moves and the release go to a.
    SimulateMouseMove(f.b, 10, 12);
    SimulateMouseUp(f.b, mbLeft, 10, 12);
    std::vector<std::string> expected{
        "a enter", "a leave", "b enter", "b leave", "a enter", "a down 6,6", "a leave", "a drag 150,12",
        "a up 150,12", "a click handled"};
    EXPECT_EQ(f.log, expected);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    // The posted message comes after the click has been handled.
    Application->ProcessMessages();
    ASSERT_FALSE(f.log.empty());
    EXPECT_EQ(f.log.back(), "a posted");
    EXPECT_TRUE(f.a->Focused());
}

TEST(Controls, KeysReachTheFocusedControlAndAcceleratorsTheirOwner) {
    ProbeForm f;
    f.a->SetFocus();
    ASSERT_TRUE(f.a->Focused());
    SimulateKey('X');
    SimulateKey('G', {ssAlt});
    SimulateKey('G');  // a does not want characters: the form offers it as an accelerator
    // Alt+G comes as a system key (no CN_KEYDOWN) and a system character.
    std::vector<std::string> expected{"a cnkeydown 88", "a keydown 88", "a keypress 120", "a keydown 71",
                                      "b accel", "a cnkeydown 71", "a keydown 71", "b accel"};
    EXPECT_EQ(f.log, expected);
    EXPECT_TRUE(GetKeyState(VK_MENU) >= 0);
}

TEST(Controls, ACustomControlRendersThroughItsCanvas) {
    ProbeForm f;
    f.form.SetColor(clWhite);
    TBitmap bmp;
    RenderControlToBitmap(&f.form, bmp);
    EXPECT_EQ(bmp.Width(), 300);
    EXPECT_EQ(bmp.Canvas().Pixels(10 + 4, 10 + 4), clYellow);
    EXPECT_EQ(bmp.Canvas().Pixels(5, 5), clWhite);
}

TEST(Controls, TimersAndMessagesPostedFromAnotherThreadArriveInTheLoop) {
    ProbeForm f;
    struct Ticker : TCustomControl {
        using TCustomControl::TCustomControl;
        int ticks = 0, posted = 0;
        void WMTimer(TWMTimer& m) override {
            if (m.TimerID() == 111 && ++ticks == 3) KillTimer(Handle(), 111);
        }
        void Dispatch(TMessage& m) override {
            if (m.Msg == WM_PROBE_POSTED) posted += int(m.WParam);
            else TCustomControl::Dispatch(m);
        }
    };
    auto* t = new Ticker(&f.form);
    t->SetParent(&f.form);
    SetTimer(t->Handle(), 111, 5);
    HWND h = t->Handle();
    std::thread worker([h] {
        for (int i = 0; i < 10; ++i) PostMessage(h, WM_PROBE_POSTED, 1);
    });
    worker.join();
    Cardinal start = GetTickCount();
    while ((t->ticks < 3 || t->posted < 10) && GetTickCount() - start < 5000) Application->ProcessMessages();
    EXPECT_EQ(t->posted, 10);
    EXPECT_EQ(t->ticks, 3);
    // A handle whose window is gone takes no more messages.
    delete t;
    EXPECT_FALSE(PostMessage(h, WM_PROBE_POSTED, 1));
}

TEST(Controls, AMessageSentFromAnotherThreadIsHandledOnTheUserInterfaceThread) {
    ProbeForm f;
    struct Answering : TCustomControl {
        using TCustomControl::TCustomControl;
        bool onMain = false;
        void Dispatch(TMessage& m) override {
            if (m.Msg == WM_PROBE_POSTED) {
                onMain = IsMainThread();
                m.Result = LRESULT(m.WParam * 2);
            } else {
                TCustomControl::Dispatch(m);
            }
        }
    };
    auto* c = new Answering(&f.form);
    c->SetParent(&f.form);
    HWND h = c->Handle();
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] { answer = SendMessage(h, WM_PROBE_POSTED, 21); });
    Cardinal start = GetTickCount();
    while (answer == 0 && GetTickCount() - start < 5000) Application->ProcessMessages();
    worker.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_TRUE(c->onMain);
}
