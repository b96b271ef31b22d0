#include "framework/BalloonTip.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"

#include "support/Place.h"

#include <gtest/gtest.h>

namespace {

template <class Pred>
bool PumpUntil(Pred done, Cardinal limitMs = 2000) {
    const Cardinal start = GetTickCount();
    while (!done()) {
        if (Cardinal(GetTickCount() - start) > limitMs) return false;
        Application->ProcessMessages();
        Sleep(2);
    }
    return true;
}

LRESULT ShowBalloon(TWinControl* edit, const String& title, const String& text, int icon) {
    EDITBALLOONTIP tip;
    tip.pszTitle = title.c_str();
    tip.pszText = text.c_str();
    tip.ttiIcon = icon;
    return edit->Perform(EM_SHOWBALLOONTIP, 0, LPARAM(&tip));
}

}  // namespace

TEST(BalloonTip, EditBalloonsShareOneWindowOverTwentySwitches) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 150);
    auto* a = Place<TEdit>(&form, 10, 10, 120, 21);
    auto* b = Place<TEdit>(&form, 10, 60, 120, 21);
    form.Show();
    TBalloonTip* first = &EditBalloonTip();
    const HWND handle = first->Handle();
    for (int i = 0; i < 20; ++i) {
        TEdit* e = i % 2 ? b : a;
        EXPECT_EQ(ShowBalloon(e, u"Invalid entry", u"Value " + IntToStr(i), i % 5), 1);
        EXPECT_EQ(&EditBalloonTip(), first);
        EXPECT_EQ(EditBalloonTip().Handle(), handle);
        EXPECT_TRUE(EditBalloonTip().IsTipShowing());
        EXPECT_EQ(EditBalloonTip().CurrentTool(), e);
    }
    TBalloonTip& tip = EditBalloonTip();
    EXPECT_EQ(tip.TipText(), u"Value 19");
    EXPECT_EQ(tip.Title(), u"Invalid entry");
    EXPECT_EQ(tip.Icon(), TTI_NONE);  // 19 % 5 = 4: not an icon
    // Below the edit that asked.
    EXPECT_GE(tip.Top(), b->ClientToScreen({0, 0}).Y + b->Height() - 1);
    // Only the edit that shows the balloon hides it.
    a->Perform(EM_HIDEBALLOONTIP);
    EXPECT_TRUE(tip.IsTipShowing());
    b->Perform(EM_HIDEBALLOONTIP);
    EXPECT_FALSE(tip.IsTipShowing());
}

TEST(BalloonTip, DelaysIconsAndDrawing) {
    TBalloonTip tip(nullptr);
    struct Case { int which; int value; int expected; } cases[] = {
        {TTDT_INITIAL, -1, 500}, {TTDT_RESHOW, -1, 100}, {TTDT_AUTOPOP, -1, 5000},
        {TTDT_INITIAL, 40, 40},  {TTDT_AUTOPOP, 700, 700},
    };
    for (const auto& c : cases) {
        tip.SetDelayTime(c.which, c.value);
        EXPECT_EQ(tip.DelayTime(c.which), c.expected) << c.which << " " << c.value;
    }
    tip.SetDelayTime(TTDT_AUTOMATIC, 1000);
    EXPECT_EQ(tip.DelayTime(TTDT_INITIAL), 1000);
    EXPECT_EQ(tip.DelayTime(TTDT_RESHOW), 200);
    EXPECT_EQ(tip.DelayTime(TTDT_AUTOPOP), 10000);
    tip.SetDelayTime(TTDT_AUTOMATIC, -1);
    EXPECT_EQ(tip.DelayTime(TTDT_AUTOPOP), 5000);

    for (int icon : {-1, 4, 100}) {
        tip.SetTitle(u"T", icon);
        EXPECT_EQ(tip.Icon(), TTI_NONE) << icon;
    }
    tip.SetTitle(u"Warning", TTI_WARNING);
    EXPECT_EQ(tip.Icon(), TTI_WARNING);

    // A long text breaks at the maximum width.
    tip.SetTipText(u"one two three four five six seven eight nine ten eleven twelve");
    const TSize wide = tip.TipSize();
    tip.SetMaxTipWidth(80);
    const TSize narrow = tip.TipSize();
    EXPECT_LE(narrow.cx, 80 + 12);
    EXPECT_GT(narrow.cy, wide.cy);

    const TColor back = RGB(200, 230, 255), text = RGB(120, 0, 0);
    tip.SetTipColors(back, text);
    tip.SetOpacity(200);
    EXPECT_EQ(tip.Opacity(), 200);
    tip.Popup(nullptr, {100, 100});
    ASSERT_TRUE(tip.IsTipShowing());
    TBitmap shot;
    RenderControlToBitmap(&tip, shot);
    EXPECT_EQ(shot.Canvas().Pixels(shot.Width() / 2, shot.Height() - 3), back);
    int textPixels = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.Canvas().Pixels(x, y) == text) ++textPixels;
    EXPECT_GT(textPixels, 20);
    tip.Pop();
    EXPECT_FALSE(tip.IsTipShowing());
}

TEST(BalloonTip, AToolShowsItsTipAfterTheInitialDelayAndPopsAfterAWhile) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 150);
    auto* panel = Place<TPanel>(&form, 10, 10, 100, 50);
    auto* other = Place<TPanel>(&form, 150, 10, 100, 50);
    form.Show();
    TBalloonTip tip(nullptr);
    tip.SetDelayTime(TTDT_INITIAL, 10);
    tip.SetDelayTime(TTDT_AUTOPOP, 80);
    int asked = 0;
    tip.OnGetText = [&](TBalloonTip*, TControl* tool, String& title, String& text, int& icon) {
        ++asked;
        EXPECT_EQ(tool, panel);
        title = u"Cell";
        text = u"Asked " + IntToStr(asked);
        icon = TTI_INFO;
    };
    tip.AddTool(panel);
    SimulateMouseMove(other, 5, 5);
    Application->ProcessMessages();
    EXPECT_FALSE(tip.IsTipShowing());
    SimulateMouseMove(panel, 20, 20);
    ASSERT_TRUE(PumpUntil([&] { return tip.IsTipShowing(); }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(tip.TipText(), u"Asked 1");
    EXPECT_EQ(tip.CurrentTool(), panel);
    EXPECT_TRUE(PumpUntil([&] { return !tip.IsTipShowing(); }));
    // A press on the tool takes a waiting tip away.
    SimulateMouseMove(other, 5, 5);
    SimulateMouseMove(panel, 30, 30);
    SimulateMouseDown(panel, mbLeft, 30, 30);
    SimulateMouseUp(panel, mbLeft, 30, 30);
    PumpUntil([] { return false; }, 40);
    EXPECT_FALSE(tip.IsTipShowing());
    EXPECT_EQ(asked, 1);
    // Tracking: shown where asked, and no auto-pop.
    tip.TrackActivate(panel, true);
    tip.TrackPosition({300, 320});
    EXPECT_TRUE(tip.IsTipShowing());
    EXPECT_EQ(tip.Left(), 300);
    PumpUntil([] { return false; }, 120);
    EXPECT_TRUE(tip.IsTipShowing());
    tip.TrackActivate(panel, false);
    EXPECT_FALSE(tip.IsTipShowing());
}
