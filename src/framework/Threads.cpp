#include "framework/Threads.h"

#include <chrono>
#include <deque>
#include <memory>
#include <vector>

namespace {

// The thread that ran the program's static initialisation: the
// user-interface thread.
const std::thread::id MainThreadID = std::this_thread::get_id();
thread_local TThread* CurrentThreadObject = nullptr;

struct SyncEntry {
    TThread* Owner = nullptr;
    TThreadMethod Method;
    bool Synchronous = false;
    bool Done = false;
    std::exception_ptr Error;
};

std::mutex SyncMutex;
std::condition_variable SyncArrived;  // the user-interface thread waits on it
std::condition_variable SyncDone;     // synchronising workers wait on it
std::deque<std::shared_ptr<SyncEntry>> SyncList;
std::mutex WakeMutex;
std::function<void()> WakeHook;

void WakeMainThread() {
    std::function<void()> wake;
    {
        std::lock_guard lock(WakeMutex);
        wake = WakeHook;
    }
    if (wake) wake();
}

void AddSyncEntry(const std::shared_ptr<SyncEntry>& entry) {
    {
        std::lock_guard lock(SyncMutex);
        SyncList.push_back(entry);
    }
    SyncArrived.notify_all();
    WakeMainThread();
}

}  // namespace

Cardinal GetTickCount() { return Cardinal(GetTickCount64()); }

UInt64 GetTickCount64() {
    using namespace std::chrono;
    return UInt64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool IsMainThread() { return std::this_thread::get_id() == MainThreadID; }

void Sleep(Cardinal Milliseconds) {
    TThread* self = CurrentThreadObject;
    if (self) self->WaitWhileSuspended();
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    if (self) self->WaitWhileSuspended();
}

void SetWakeMainThread(std::function<void()> Wake) {
    std::lock_guard lock(WakeMutex);
    WakeHook = std::move(Wake);
}

bool CheckSynchronize(int Timeout) {
    if (!IsMainThread()) return false;
    size_t pending;
    {
        std::unique_lock lock(SyncMutex);
        if (SyncList.empty() && Timeout > 0)
            SyncArrived.wait_for(lock, std::chrono::milliseconds(Timeout), [] { return !SyncList.empty(); });
        pending = SyncList.size();
    }
    if (pending == 0) return false;
    // One entry at a time: a call may free a thread whose later entries
    // must then not run. A queued call that fails ends the round with its
    // failure; the calls after it wait for the next round, so that no
    // failure goes unreported.
    for (size_t i = 0; i < pending; ++i) {
        std::shared_ptr<SyncEntry> entry;
        {
            std::lock_guard lock(SyncMutex);
            if (SyncList.empty()) break;
            entry = SyncList.front();
            SyncList.pop_front();
        }
        try {
            entry->Method();
        } catch (...) {
            if (!entry->Synchronous) {
                // Whatever else waits gets its own wake-up for the next round.
                bool more;
                {
                    std::lock_guard lock(SyncMutex);
                    more = !SyncList.empty();
                }
                if (more) WakeMainThread();
                throw;
            }
            entry->Error = std::current_exception();
        }
        if (entry->Synchronous) {
            {
                std::lock_guard lock(SyncMutex);
                entry->Done = true;
            }
            SyncDone.notify_all();
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// TEvent
// ---------------------------------------------------------------------------
TEvent::TEvent(bool ManualReset, bool InitialState) : FManualReset(ManualReset), FSignaled(InitialState) {}

void TEvent::SetEvent() {
    {
        std::lock_guard lock(FMutex);
        FSignaled = true;
    }
    if (FManualReset) FCond.notify_all();
    else FCond.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard lock(FMutex);
    FSignaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout) {
    std::unique_lock lock(FMutex);
    auto ready = [this] { return FSignaled; };
    if (Timeout == INFINITE) FCond.wait(lock, ready);
    else if (!FCond.wait_for(lock, std::chrono::milliseconds(Timeout), ready)) return wrTimeout;
    if (!FManualReset) FSignaled = false;
    return wrSignaled;
}

// ---------------------------------------------------------------------------
// TThread
// ---------------------------------------------------------------------------
TThread::TThread(bool CreateSuspended) {
    if (CreateSuspended) {
        FSuspendCount = 1;
    } else {
        FStartQueued = true;
        auto entry = std::make_shared<SyncEntry>();
        entry->Owner = this;
        entry->Method = [this] {
            std::unique_lock lock(FMutex);
            if (!FStarted && FSuspendCount == 0) {
                lock.unlock();
                StartNow();
            }
        };
        AddSyncEntry(entry);
    }
}

TThread::~TThread() {
    RemoveQueuedEvents(this);
    if (FStarted && !FFinished && std::this_thread::get_id() != FThread.get_id()) {
        Terminate();
        {
            std::lock_guard lock(FMutex);
            FSuspendCount = 0;
        }
        FCond.notify_all();
        WaitFor();
    }
    if (FThread.joinable()) {
        if (FThread.get_id() == std::this_thread::get_id()) FThread.detach();
        else FThread.join();
    }
}

TThread* TThread::CurrentThread() { return CurrentThreadObject; }

void TThread::StartNow() {
    // The lock is held until FThread is set: Run takes it first, so a short
    // Execute cannot reach the end (and detach FThread, with FreeOnTerminate)
    // before the handle is stored.
    std::lock_guard lock(FMutex);
    if (FStarted) return;
    FStarted = true;
    FSuspendCount = 0;
    FThread = std::thread([this] { Run(); });
}

void TThread::Start() {
    bool start;
    {
        std::lock_guard lock(FMutex);
        start = !FStarted;
    }
    if (start) StartNow();
    else Resume();
}

void TThread::Resume() {
    bool start = false;
    {
        std::lock_guard lock(FMutex);
        if (FSuspendCount > 0) --FSuspendCount;
        start = FSuspendCount == 0 && !FStarted;
    }
    if (start) StartNow();
    else FCond.notify_all();
}

void TThread::Suspend() {
    {
        std::lock_guard lock(FMutex);
        ++FSuspendCount;
    }
    if (CurrentThreadObject == this) WaitWhileSuspended();
}

bool TThread::Suspended() const {
    std::lock_guard lock(FMutex);
    return FSuspendCount > 0;
}

void TThread::WaitWhileSuspended() {
    std::unique_lock lock(FMutex);
    FCond.wait(lock, [this] { return FSuspendCount <= 0; });
}

void TThread::Terminate() { FTerminated = true; }

bool TThread::CheckTerminated() {
    if (CurrentThreadObject == this) WaitWhileSuspended();
    return FTerminated;
}

int TThread::WaitFor() {
    if (CurrentThreadObject == this) throw EInvalidOperation("Thread cannot wait for itself");
    if (!FStarted) {
        // Created running but its start still waits in the queue: waiting
        // for it must not skip it.
        bool startNow;
        {
            std::lock_guard lock(FMutex);
            startNow = FStartQueued && FSuspendCount == 0;
        }
        if (!startNow) return FReturnValue;
        StartNow();
    }
    if (IsMainThread()) {
        // A queued call that fails while we wait must not break off the wait
        // (a destructor waiting would end the process): its failure is
        // queued again for the application's loop, after the wait.
        std::vector<std::exception_ptr> failures;
        while (!FFinished) {
            try {
                CheckSynchronize(10);
            } catch (...) {
                failures.push_back(std::current_exception());
            }
        }
        for (auto& failure : failures) {
            auto entry = std::make_shared<SyncEntry>();
            entry->Method = [failure] { std::rethrow_exception(failure); };
            AddSyncEntry(entry);
        }
    } else {
        std::unique_lock lock(FMutex);
        FCond.wait(lock, [this] { return bool(FFinished); });
    }
    if (FThread.joinable() && !FreeOnTerminate) FThread.join();
    return FReturnValue;
}

const Exception* TThread::FatalException() const {
    if (!FFatalException) return nullptr;
    try {
        std::rethrow_exception(FFatalException);
    } catch (const Exception& e) {
        return &e;  // lives as long as the exception_ptr we hold
    } catch (...) {
        return nullptr;
    }
}

void TThread::DoTerminate() {
    if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Run() {
    CurrentThreadObject = this;
    WaitWhileSuspended();
    try {
        Execute();
    } catch (const std::exception& e) {
        FFatalException = std::current_exception();
        if (!dynamic_cast<const Exception*>(&e))
            FFatalException = std::make_exception_ptr(Exception(std::string_view(e.what())));
    } catch (...) {
        FFatalException = std::make_exception_ptr(Exception(std::string_view("Unknown exception in thread")));
    }
    try {
        DoTerminate();
    } catch (...) {
        // The thread is over; a failing end notice must not take the process with it.
    }
    bool freeIt = FreeOnTerminate;
    {
        std::lock_guard lock(FMutex);
        FFinished = true;
    }
    FCond.notify_all();
    SyncArrived.notify_all();
    WakeMainThread();
    CurrentThreadObject = nullptr;
    if (freeIt) {
        FThread.detach();
        delete this;
    }
}

void TThread::Synchronize(TThreadMethod Method) { Synchronize(this, std::move(Method)); }

void TThread::Synchronize(TThread* AThread, TThreadMethod Method) {
    if (IsMainThread()) {
        Method();
        return;
    }
    auto entry = std::make_shared<SyncEntry>();
    entry->Owner = AThread;
    entry->Method = std::move(Method);
    entry->Synchronous = true;
    AddSyncEntry(entry);
    {
        std::unique_lock lock(SyncMutex);
        SyncDone.wait(lock, [&] { return entry->Done; });
    }
    if (AThread && CurrentThreadObject == AThread) AThread->WaitWhileSuspended();
    if (entry->Error) std::rethrow_exception(entry->Error);
}

void TThread::Queue(TThreadMethod Method) { Queue(this, std::move(Method)); }

void TThread::Queue(TThread* AThread, TThreadMethod Method) {
    if (IsMainThread()) {
        Method();
        return;
    }
    auto entry = std::make_shared<SyncEntry>();
    entry->Owner = AThread;
    entry->Method = std::move(Method);
    AddSyncEntry(entry);
    if (AThread && CurrentThreadObject == AThread) AThread->WaitWhileSuspended();
}

void TThread::RemoveQueuedEvents(TThread* AThread) {
    std::lock_guard lock(SyncMutex);
    for (auto it = SyncList.begin(); it != SyncList.end();) {
        if ((*it)->Owner == AThread && !(*it)->Synchronous) it = SyncList.erase(it);
        else ++it;
    }
}
