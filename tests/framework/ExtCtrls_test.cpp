#include "framework/ExtCtrls.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
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

TEST(Splitter, DraggingResizesTheControlBesideItWithinMinSize) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    form.SetClientHeight(300);
    auto* top = new TPanel(&form);
    top->SetParent(&form);
    top->SetAlign(alTop);
    top->SetHeight(100);
    auto* split = new TSplitter(&form);
    split->SetParent(&form);
    split->SetAlign(alTop);
    split->SetTop(100);
    split->SetHeight(4);
    auto* rest = new TPanel(&form);
    rest->SetParent(&form);
    rest->SetAlign(alClient);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    form.Show();
    ASSERT_EQ(split->Top(), 100);
    ASSERT_EQ(split->ResizeControl(), top);
    EXPECT_EQ(split->Cursor(), crHSplit);  // until the mouse shows it is a horizontal bar

    struct Case { int dy; int height; } cases[] = {{40, 140}, {-200, 30}, {500, 300 - 4 - 30}};
    for (const auto& c : cases) {
        const int y = split->Top() + 1;
        SimulateMouseMove(&form, 50, y);
        SimulateMouseDown(&form, mbLeft, 50, y);
        SimulateMouseMove(&form, 50, y + c.dy);
        SimulateMouseUp(&form, mbLeft, 50, y + c.dy);
        EXPECT_EQ(top->Height(), c.height) << c.dy;
        EXPECT_EQ(split->Top(), top->Height()) << c.dy;
        EXPECT_EQ(rest->Top(), split->Top() + 4) << c.dy;
    }
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(split->Cursor(), crVSplit);
}

TEST(ScrollBox, ChildrenBeyondTheClientAreaScrollIntoView) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 200, 150);
    auto* near = new TPanel(box);
    near->SetParent(box);
    near->SetBounds(0, 0, 50, 50);
    auto* far = new TPanel(box);
    far->SetParent(box);
    far->SetBounds(20, 400, 50, 30);
    form.Show();
    box->UpdateScrollBars();
    EXPECT_EQ(box->VertRange(), 430);
    EXPECT_EQ(box->HorzRange(), 70);
    EXPECT_EQ(box->ClientRect().Right, 200 - 17);  // the vertical bar shows, the horizontal one not
    EXPECT_EQ(box->ClientRect().Bottom, 150);

    box->ScrollInView(far);
    EXPECT_EQ(box->VertPosition(), 430 - 150);
    EXPECT_EQ(far->Top(), 400 - 280);
    EXPECT_EQ(near->Top(), -280);
    box->SetVertPosition(-50);  // kept within the range
    EXPECT_EQ(box->VertPosition(), 0);
    EXPECT_EQ(near->Top(), 0);
    SimulateWheel(box, 10, 10, -120);
    EXPECT_EQ(box->VertPosition(), 24);
    EXPECT_EQ(near->Top(), -24);
    box->SetVertPosition(10000);
    EXPECT_EQ(box->VertPosition(), 280);
}
