#include "grid/ExGrid.h"

#include "framework/BalloonTip.h"

#include <gtest/gtest.h>

namespace {

int BalloonWindows(TExStringGrid& g) {
    int n = 0;
    for (int i = 0; i < g.ComponentCount(); ++i)
        if (dynamic_cast<TBalloonTip*>(g.Components(i))) ++n;
    return n;
}

TEST(ExGridBalloon, SwitchingLeavesOneWindowAndTheSettingsReachIt) {
    TExStringGrid g(nullptr);
    g.Balloon().SetInitialDelay(250);
    g.Balloon().SetTransparency(55);
    for (int i = 0; i < 20; ++i) {
        g.Balloon().SetEnable(true);
        EXPECT_EQ(BalloonWindows(g), 1);
        g.Balloon().SetEnable(false);
        EXPECT_EQ(BalloonWindows(g), 0);
    }
    g.Balloon().SetEnable(true);
    TBalloonTip* tip = g.Tools().BalloonTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->DelayTime(TTDT_INITIAL), 250);
    EXPECT_EQ(tip->Opacity(), 200);
    EXPECT_EQ(tip->Title(), u"ToolTipText");
}

TEST(ExGridBalloon, CellTextIsCutAndCleaned) {
    TExStringGrid g(nullptr);
    g.Balloon().SetTextColor(clRed);
    g.Balloon().SetEnable(true);
    g.SetCellEx(1, 1, String(3000, u'x'));
    g.SetCellEx(2, 1, u"\t\r\n<b>a</b>\tb");
    String title, text;
    int icon = 0;
    g.Tools().BalloonText(1, 1, title, text, icon);
    EXPECT_EQ(text, String(2045, u'x') + u"...");
    EXPECT_EQ(title, u" ");
    EXPECT_EQ(icon, TTI_INFO);
    g.Tools().BalloonText(2, 1, title, text, icon);
    EXPECT_EQ(text, u"a b");
    EXPECT_EQ(g.Tools().BalloonTip()->TipTextColor(), clRed);
    EXPECT_EQ(g.Tools().BalloonTip()->MaxTipWidth(), 300);

    g.Tools().OnCellBalloon = [](TObject*, int, int, String& t, String& s, int& i) {
        t = String(150, u't');
        s = u"own";
        i = 2;
    };
    g.Tools().BalloonText(2, 1, title, text, icon);
    EXPECT_EQ(title, String(97, u't') + u"...");
    EXPECT_EQ(text, u"own");
    EXPECT_EQ(icon, 2);
}

}  // namespace
