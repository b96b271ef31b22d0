#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>
#include <thread>

namespace {

class SyncingThread : public TThread {
public:
    SyncingThread() : TThread(true) {}
    ~SyncingThread() override {
        Terminate();
        WaitFor();
    }
    std::atomic<int> synced{0};
    bool ranOnMain = false;

protected:
    void Execute() override {
        for (int i = 0; i < 5; ++i) {
            Synchronize([this] {
                ranOnMain = IsMainThread();
                ++synced;
            });
        }
        SetReturnValue(42);
    }
};

class FailingThread : public TThread {
public:
    FailingThread() : TThread(true) {}

protected:
    void Execute() override { throw EConvertError(u"'x' is not a valid integer value"); }
};

class CountingThread : public TThread {
public:
    explicit CountingThread(TEvent* gate) : TThread(false), gate_(gate) {}
    ~CountingThread() override {
        Terminate();
        WaitFor();
    }
    std::atomic<int> ticks{0};

protected:
    void Execute() override {
        while (!CheckTerminated()) {
            ++ticks;
            gate_->SetEvent();
            Sleep(2);
        }
    }

private:
    TEvent* gate_;
};

class RunningThread : public TThread {
public:
    RunningThread() : TThread(false) {}
    std::atomic<bool> ran{false};

protected:
    void Execute() override {
        ran = true;
        SetReturnValue(7);
    }
};

}  // namespace

TEST(Threads, SynchronizeWhileTheMainThreadWaitsDoesNotDeadlock) {
    SyncingThread t;
    EXPECT_TRUE(t.Suspended());
    t.Start();
    EXPECT_EQ(t.WaitFor(), 42);
    EXPECT_EQ(t.synced.load(), 5);
    EXPECT_TRUE(t.ranOnMain);
    EXPECT_TRUE(t.Finished());
}

TEST(Threads, AnExceptionInExecuteEndsTheThreadAndIsKept) {
    FailingThread t;
    bool terminatedOnMain = false;
    t.OnTerminate = [&](TObject*) { terminatedOnMain = IsMainThread(); };
    t.Start();
    t.WaitFor();
    ASSERT_NE(t.FatalException(), nullptr);
    EXPECT_EQ(t.FatalException()->Message(), u"'x' is not a valid integer value");
    EXPECT_TRUE(terminatedOnMain);
}

TEST(Threads, SuspendCountAndStartOfARunningThread) {
    TEvent gate(false, false);
    CountingThread t(&gate);
    // Created running: it starts once the main thread serves its calls.
    EXPECT_FALSE(t.Suspended());
    while (gate.WaitFor(5) != wrSignaled) CheckSynchronize(5);
    t.Suspend();
    t.Suspend();
    EXPECT_TRUE(t.Suspended());
    Sleep(20);  // the thread stops at its next sleep
    int frozen = t.ticks.load();
    Sleep(30);
    EXPECT_LE(t.ticks.load(), frozen + 1);
    t.Resume();
    EXPECT_TRUE(t.Suspended());  // still one suspension left
    t.Resume();
    EXPECT_FALSE(t.Suspended());
    gate.ResetEvent();
    EXPECT_EQ(gate.WaitFor(2000), wrSignaled);
}

TEST(Threads, EventsResetManuallyOrByThemselves) {
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(10), wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrTimeout);

    TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), wrSignaled);
    EXPECT_EQ(automatic.WaitFor(0), wrTimeout);
}

TEST(Threads, TickCountDifferencesSurviveTheWrap) {
    Cardinal start = 0xFFFFFFF0u, now = 0x00000010u;
    EXPECT_EQ(Cardinal(now - start), 0x20u);
    Cardinal t0 = GetTickCount();
    Sleep(15);
    EXPECT_GE(Cardinal(GetTickCount() - t0), 14u);
}

TEST(Threads, AThreadCreatedRunningThatIsAwaitedAtOnceStillRuns) {
    RunningThread t;
    EXPECT_EQ(t.WaitFor(), 7);
    EXPECT_TRUE(t.ran.load());
}

TEST(Threads, AnAutomaticEventLetsOneOfTwoWaitersThrough) {
    TEvent ev(false, false);
    std::atomic<int> through{0};
    std::thread a([&] { if (ev.WaitFor(300) == wrSignaled) ++through; });
    std::thread b([&] { if (ev.WaitFor(300) == wrSignaled) ++through; });
    Sleep(30);
    ev.SetEvent();
    a.join();
    b.join();
    EXPECT_EQ(through.load(), 1);
}

namespace {

class LambdaThread : public TThread {
public:
    LambdaThread(bool suspended, std::function<void(LambdaThread*)> body) : TThread(suspended), body_(std::move(body)) {}
    using TThread::Synchronize;
    using TThread::Queue;

protected:
    void Execute() override { body_(this); }

private:
    std::function<void(LambdaThread*)> body_;
};

}  // namespace

TEST(Threads, ASynchronisedCallsExceptionReachesTheWorkerAndQueuedCallsRunInOrder) {
    std::vector<int> order;
    String caught;
    LambdaThread t(true, [&](LambdaThread* self) {
        for (int i = 0; i < 3; ++i) self->Queue([&order, i] { order.push_back(i); });
        try {
            self->Synchronize([] { throw EConvertError(u"bad"); });
        } catch (const Exception& e) {
            caught = e.Message();
        }
    });
    t.Start();
    t.WaitFor();
    CheckSynchronize();
    EXPECT_EQ(caught, u"bad");
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(t.FatalException(), nullptr);
}

TEST(Threads, ShortThreadsThatFreeThemselvesEndCleanly) {
    TEvent done(true, false);
    std::atomic<bool> noticed{false};
    for (int i = 0; i < 20; ++i) {
        auto* t = new LambdaThread(true, [](LambdaThread*) {});
        t->FreeOnTerminate = true;
        t->OnTerminate = [&](TObject*) { noticed = true; };
        t->Start();
    }
    Cardinal start = GetTickCount();
    while (!noticed && Cardinal(GetTickCount() - start) < 2000) CheckSynchronize(5);
    EXPECT_TRUE(noticed.load());
    // Let the others finish and free themselves.
    start = GetTickCount();
    while (Cardinal(GetTickCount() - start) < 100) CheckSynchronize(5);
}

TEST(Threads, AWorkerWaitsForAnotherAndACreatedRunningThreadFreedUnstartedNeverRuns) {
    std::atomic<bool> innerRan{false}, neverRan{true};
    LambdaThread inner(true, [&](LambdaThread*) { Sleep(20); innerRan = true; });
    LambdaThread outer(true, [&](LambdaThread*) { inner.WaitFor(); });
    inner.Start();
    outer.Start();
    outer.WaitFor();
    EXPECT_TRUE(innerRan.load());
    {
        LambdaThread unstarted(false, [&](LambdaThread*) { neverRan = false; });
    }
    CheckSynchronize(20);
    EXPECT_TRUE(neverRan.load());
}

TEST(Threads, AFailingQueuedCallDoesNotBreakOffAWaitAndReachesTheLoopAfterwards) {
    std::atomic<bool> finished{false};
    LambdaThread t(true, [&](LambdaThread* self) {
        self->Queue([] { throw EConvertError(u"queued call failed"); });
        Sleep(30);
        finished = true;
    });
    t.Start();
    EXPECT_NO_THROW(t.WaitFor());
    EXPECT_TRUE(finished.load());
    EXPECT_TRUE(t.Finished());
    // The failure is not lost: the next serving of calls raises it, where the
    // application's loop shows it.
    try {
        CheckSynchronize();
        ADD_FAILURE() << "the queued call's failure was lost";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"queued call failed");
    }
}

TEST(Threads, EveryFailingQueuedCallIsReported) {
    LambdaThread t(true, [](LambdaThread* self) {
        self->Queue([] { throw EConvertError(u"first"); });
        self->Queue([] { throw EConvertError(u"second"); });
    });
    t.Start();
    while (!t.Finished()) Sleep(1);
    std::vector<String> reported;
    for (int i = 0; i < 3; ++i) {
        try {
            CheckSynchronize();
        } catch (const Exception& e) {
            reported.push_back(e.Message());
        }
    }
    EXPECT_EQ(reported, (std::vector<String>{u"first", u"second"}));
    t.WaitFor();
}
