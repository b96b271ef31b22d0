#include "framework/Windows.h"

#include "framework/Forms.h"
#include "framework/ShellApi.h"

#include <gtest/gtest.h>

TEST(SystemMetrics, ClassicValuesAt96DotsPerInch) {
    struct Case { int index; int value; } cases[] = {
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
        {SM_CXBORDER, 1},   {SM_CYBORDER, 1},   {SM_CXDRAG, 4},      {SM_CYDRAG, 4},
        {SM_CXMENUCHECK, 13}, {SM_CXDLGFRAME, 3}, {SM_CYVTHUMB, 17}, {12345, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
    EXPECT_GE(GetSystemMetrics(SM_CMONITORS), 1);
}

TEST(SystemMetrics, SettingsAndTheTestGuard) {
    Cardinal lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines));
    EXPECT_EQ(lines, 3u);
    int fade = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETTOOLTIPFADE, 0, &fade));
    EXPECT_EQ(fade, 1);
    EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &fade));
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, nullptr));
    TRect area;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &area));
    EXPECT_EQ(area, Screen->WorkAreaRect());
    {
        TSystemMetricsGuard page(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, WHEEL_PAGESCROLL);
        TSystemMetricsGuard bar(TSystemMetricsGuard::Metric, SM_CXVSCROLL, 25);
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines);
        EXPECT_EQ(lines, WHEEL_PAGESCROLL);
        EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 25);
    }
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines);
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
}

TEST(SystemMetrics, MessageBeepIsCounted) {
    const int before = MessageBeepCount();
    MessageBeep(0);
    MessageBeep(0x30);
    EXPECT_EQ(MessageBeepCount(), before + 2);
}

TEST(Monitors, WorkAreaNearestAPointAndTheDesktop) {
    const TRect desktop = Screen->DesktopRect();
    EXPECT_GT(Screen->DesktopWidth(), 0);
    EXPECT_GT(Screen->DesktopHeight(), 0);
    // A point far outside every monitor still finds the nearest one's work area.
    const TRect far = Screen->MonitorWorkAreaFromPoint({desktop.Right + 5000, desktop.Bottom + 5000});
    const TRect inside = Screen->MonitorWorkAreaFromPoint({desktop.Left + 1, desktop.Top + 1});
    EXPECT_FALSE(IsRectEmpty(far));
    EXPECT_FALSE(IsRectEmpty(inside));
    if (Screen->MonitorCount() == 1) {
        EXPECT_EQ(far, Screen->WorkAreaRect());
        EXPECT_EQ(inside, Screen->WorkAreaRect());
    }
}

TEST(ScreenCursors, NumberedCursorsComeFromCursorResources) {
    RegisterCursorResource(u"TEST_SPLIT_CURSOR", [](TCursorResource& c) {
        c.Image.SetSize(16, 16);
        c.Image.Canvas().Brush().SetColor(clWhite);
        c.Image.Canvas().FillRect(Rect(0, 0, 16, 16));
        c.HotSpot = {7, 3};
    });
    Screen->SetCursors(63, u"test_split_cursor");
    TCursorResource got;
    ASSERT_TRUE(Screen->Cursors(63, got));
    EXPECT_EQ(got.HotSpot, (TPoint{7, 3}));
    EXPECT_EQ(got.Image.Width(), 16);
    EXPECT_FALSE(Screen->Cursors(64, got));
    EXPECT_THROW(Screen->SetCursors(64, u"NO_SUCH_CURSOR"), EResNotFound);
    EXPECT_FALSE(Screen->Cursors(64, got));
}

TEST(FileIcons, OneIndexPerKindOfFileInTheSystemList) {
    const String folder = Utf8ToString(::testing::TempDir());
    const int dir = GetFileIcon(folder, true);
    const int text1 = GetFileIcon(u"notes.txt", true);
    const int text2 = GetFileIcon(u"other.TXT", true);
    const int image = GetFileIcon(u"photo.png", true);
    EXPECT_EQ(text1, text2);
    EXPECT_NE(dir, text1);
    EXPECT_NE(image, text1);
    TImageList& list = SystemImageList(true);
    EXPECT_EQ(list.Width(), 32);
    for (int i : {dir, text1, image}) {
        EXPECT_GE(i, 0);
        EXPECT_LT(i, list.Count());
    }
    EXPECT_EQ(SystemImageList(false).Width(), 16);
    const int small = GetFileIcon(u"notes.txt", false);
    EXPECT_LT(small, SystemImageList(false).Count());
}
