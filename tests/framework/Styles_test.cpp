#include "framework/Styles.h"

#include "framework/Forms.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr Cardinal MsgTaken = WM_USER + 1, MsgAround = WM_USER + 2, MsgPassed = WM_USER + 3;

std::string Log;

struct Probe : TWinControl {
    using TWinControl::TWinControl;
    void WndProc(TMessage& Message) override {
        if (Message.Msg >= MsgTaken && Message.Msg <= MsgPassed) Log += "control " + std::to_string(Message.Msg - WM_USER) + ";";
        if (Message.Msg == CM_STYLECHANGED) Log += "style changed;";
        TWinControl::WndProc(Message);
    }
};
struct ProbeChild : Probe {
    using Probe::Probe;
};

// Takes message 1, wraps 2 around the control's own handling, lets 3 pass.
struct ProbeHook : TStyleHook {
    using TStyleHook::TStyleHook;
    void WndProc(TMessage& Message) override {
        switch (Message.Msg) {
        case MsgTaken:
            Log += "hook 1;";
            Handled = true;
            break;
        case MsgAround:
            Log += "hook before;";
            CallDefaultProc(Message);
            Log += "hook after;";
            Handled = true;
            break;
        case MsgPassed: Log += "hook 3;"; break;
        default: break;
        }
    }
};

TStyleColors InkColors() {
    TStyleColors c;
    c.Track = clBlack;
    c.Face = clGray;
    c.Cell = RGB(1, 2, 3);
    return c;
}

void EnsureInkStyle() {
    static const bool known = TStyleManager::RegisterStyle(std::make_unique<TColorStyle>(u"Probe Ink", InkColors()));
    (void)known;
}

TEST(StyleManager, StartsWithTheSystemStyleAndSwitchesByNameTellingEveryWindow) {
    EnsureInkStyle();
    EXPECT_EQ(StyleServices().Name(), u"Windows");
    EXPECT_TRUE(StyleServices().IsSystemStyle());
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
    EXPECT_FALSE(TStyleManager::RegisterStyle(std::make_unique<TColorStyle>(u"probe INK", TStyleColors{})));
    EXPECT_FALSE(TStyleManager::TrySetStyle(u"No Such Style"));
    EXPECT_EQ(StyleServices().Name(), u"Windows");

    TForm form(nullptr);
    auto* p = new Probe(&form);
    p->SetParent(&form);
    form.Show();
    Log.clear();
    ASSERT_TRUE(TStyleManager::TrySetStyle(u"PROBE INK"));
    EXPECT_EQ(StyleServices().Name(), u"Probe Ink");
    EXPECT_TRUE(TStyleManager::IsCustomStyleActive());
    EXPECT_EQ(Log, "style changed;");
    // A style switched off counts as none.
    StyleServices().SetEnabled(false);
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
    StyleServices().SetEnabled(true);
    TColor c = clNone;
    EXPECT_TRUE(StyleServices().GetElementColor(StyleServices().GetElementDetails(tgCellNormal), ecFillColor, c));
    EXPECT_EQ(c, RGB(1, 2, 3));
    EXPECT_FALSE(StyleServices().GetElementColor(StyleServices().GetElementDetails(tgCellNormal), ecTextColor, c))
        << "a colour the style leaves out";
    EXPECT_EQ(c, clNone);
    ASSERT_TRUE(TStyleManager::TrySetStyle(u"Windows"));
    EXPECT_FALSE(StyleServices().GetElementColor(StyleServices().GetElementDetails(tgCellNormal), ecFillColor, c));
}

TEST(StyleHooks, SeeAControlsMessagesFirstOnlyWhileAStyleIsActive) {
    EnsureInkStyle();
    TCustomStyleEngine::RegisterStyleHook<Probe, ProbeHook>();
    TForm form(nullptr);
    auto* p = new Probe(&form);
    p->SetParent(&form);
    auto* child = new ProbeChild(&form);
    child->SetParent(&form);
    auto* painter = new Probe(&form);
    painter->SetControlStyle(painter->ControlStyle() + TControlStyle{csOverrideStylePaint});
    painter->SetParent(&form);
    form.Show();
    auto run = [&](TControl* c) {
        Log.clear();
        for (Cardinal m : {MsgTaken, MsgAround, MsgPassed}) c->Perform(m);
        return Log;
    };
    EXPECT_EQ(run(p), "control 1;control 2;control 3;") << "the system style has no hooks";
    TStyleManager::TrySetStyle(u"Probe Ink");
    struct Case {
        const char* what;
        TControl* control;
        std::string log;
    };
    const std::string hooked = "hook 1;hook before;control 2;hook after;hook 3;control 3;";
    for (const Case& c : {Case{"the class", p, hooked}, Case{"a descendant", child, hooked},
                          Case{"a control painting the style itself", painter, "control 1;control 2;control 3;"}})
        EXPECT_EQ(run(c.control), c.log) << c.what;
    EXPECT_NE(TCustomStyleEngine::HookOf(p), nullptr);
    EXPECT_EQ(TCustomStyleEngine::HookOf(painter), nullptr);
    // Taken back: the hooks go at once.
    TCustomStyleEngine::UnRegisterStyleHook<Probe, ProbeHook>();
    EXPECT_EQ(TCustomStyleEngine::HookOf(p), nullptr);
    EXPECT_EQ(run(p), "control 1;control 2;control 3;");
    TCustomStyleEngine::RegisterStyleHook<Probe, ProbeHook>();
    EXPECT_EQ(run(p), hooked);
    // A control that goes takes its hook along.
    delete child;
    EXPECT_EQ(TCustomStyleEngine::HookOf(child), nullptr);
    TStyleManager::TrySetStyle(u"Windows");
    EXPECT_EQ(TCustomStyleEngine::HookOf(p), nullptr);
    EXPECT_EQ(run(p), "control 1;control 2;control 3;");
    TCustomStyleEngine::UnRegisterStyleHook<Probe, ProbeHook>();
}

}  // namespace
