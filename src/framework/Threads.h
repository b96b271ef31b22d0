#pragma once
// Threads, events and critical sections, and the calls that carry work from
// a worker thread onto the user-interface thread. Windows are changed only
// on the user-interface thread; a worker that needs to touch one hands a
// call to Synchronize (and waits for it) or Queue (and goes on).

#include "framework/System.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

constexpr Cardinal INFINITE = 0xFFFFFFFF;

// Milliseconds since an arbitrary start, wrapping at 2^32 like the
// classic counter: `GetTickCount() - start` is the elapsed time also
// across the wrap, as long as it is computed in Cardinal.
Cardinal GetTickCount();
UInt64 GetTickCount64();
// Sleeps the calling thread. Inside a TThread it is also the point where a
// suspension asked for by another thread takes hold.
void Sleep(Cardinal Milliseconds);

bool IsMainThread();

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// A manual-reset event stays set until ResetEvent; an automatic one lets one
// waiter through and resets itself.
class TEvent {
public:
    explicit TEvent(bool ManualReset = true, bool InitialState = false);
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(Cardinal Timeout = INFINITE);

private:
    std::mutex FMutex;
    std::condition_variable FCond;
    bool FManualReset;
    bool FSignaled;
};

class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

// Re-entrant lock for data shared between threads.
class TCriticalSection {
public:
    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }
    bool TryEnter() { return FMutex.try_lock(); }

private:
    std::recursive_mutex FMutex;
};

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

class TThread : public TObject {
public:
    // A thread created suspended starts with Start (or Resume). One created
    // running starts as soon as the creating thread next serves
    // synchronised calls (the user-interface loop, WaitFor), so that the
    // derived constructor has finished before Execute runs; Start starts it
    // at once.
    explicit TThread(bool CreateSuspended);
    // Asks the thread to end and waits for it when it still runs. Derived
    // classes whose Execute uses their own members end the thread in their
    // own destructor (Terminate, WaitFor) before those members go.
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    // Lowers the suspension count; the thread runs again at 0.
    void Resume();
    // Raises the suspension count. Called by the thread itself it stops at
    // once; called by another thread it takes hold at the thread's next
    // Sleep, Synchronize, Queue or CheckTerminated.
    void Suspend();
    bool Suspended() const;
    void Terminate();
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    bool Started() const { return FStarted; }
    // Waits for the end of the thread and returns ReturnValue. On the
    // user-interface thread it keeps running synchronised calls meanwhile,
    // so a thread that synchronises while it is awaited does not deadlock.
    // A thread created running that has not started yet starts now; one
    // created suspended and never started returns at once.
    int WaitFor();

    bool FreeOnTerminate = false;
    TThreadPriority Priority = tpNormal;
    int ReturnValue() const { return FReturnValue; }
    // The exception that ended Execute, or nil; the thread object keeps it.
    const Exception* FatalException() const;
    std::exception_ptr FatalExceptionPtr() const { return FFatalException; }
    // Fired on the user-interface thread when Execute has returned.
    TNotifyEvent OnTerminate;

    // Runs Method on the user-interface thread and waits for it; an
    // exception it raises is raised again in the calling thread. On the
    // user-interface thread it runs at once.
    void Synchronize(TThreadMethod Method);
    static void Synchronize(TThread* AThread, TThreadMethod Method);
    // Hands Method to the user-interface thread without waiting. On the
    // user-interface thread it runs at once.
    void Queue(TThreadMethod Method);
    static void Queue(TThread* AThread, TThreadMethod Method);
    // Drops queued calls of AThread that have not run yet.
    static void RemoveQueuedEvents(TThread* AThread);
    // The TThread object of the calling thread, nil on other threads.
    static TThread* CurrentThread();

protected:
    virtual void Execute() = 0;
    void SetReturnValue(int Value) { FReturnValue = Value; }
    // A point where a pending suspension takes hold; returns Terminated.
    bool CheckTerminated();
    virtual void DoTerminate();

private:
    friend void Sleep(Cardinal Milliseconds);
    void Run();
    void StartNow();
    void WaitWhileSuspended();

    std::thread FThread;
    mutable std::mutex FMutex;
    std::condition_variable FCond;
    int FSuspendCount = 0;
    std::atomic<bool> FStarted{false};
    bool FStartQueued = false;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    int FReturnValue = 0;
    std::exception_ptr FFatalException;
};

// Runs the synchronised and queued calls that are waiting; called by the
// user-interface loop and by WaitFor. Waits up to Timeout milliseconds for
// one to arrive when none waits. Returns true when it ran any.
bool CheckSynchronize(int Timeout = 0);
// Called (from any thread) whenever a call for the user-interface thread has
// been added; the application sets it to wake its loop.
void SetWakeMainThread(std::function<void()> Wake);
