#include "framework/ExtCtrls.h"

#include "framework/Forms.h"
#include "framework/Threads.h"

#include <gtest/gtest.h>

TEST(Timer, EnablingARunningTimerAgainKeepsItsInterval) {
    TTimer timer(nullptr);
    Cardinal ticked = 0;
    timer.OnTimer = [&](TObject*) {
        if (!ticked) ticked = GetTickCount();
    };
    timer.SetInterval(300);
    timer.SetEnabled(true);
    const Cardinal start = GetTickCount();
    while (Cardinal(GetTickCount() - start) < 200) {
        Application->ProcessMessages();
        Sleep(2);
    }
    const Cardinal again = GetTickCount();
    timer.SetEnabled(true);  // a restart would delay the tick to again + 300
    while (!ticked && Cardinal(GetTickCount() - again) < 1000) {
        Application->ProcessMessages();
        Sleep(2);
    }
    ASSERT_NE(ticked, 0u);
    EXPECT_LT(Cardinal(ticked - again), 250u);
}
