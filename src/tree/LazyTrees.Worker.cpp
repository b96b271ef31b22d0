// The shared worker thread that rebuilds position caches.

#include "tree/LazyTrees.Worker.h"

#include "tree/LazyTrees_p.h"

#include <algorithm>

namespace {
TLazyTreeWorker* SharedWorker = nullptr;

// The worker never changes a tree's states itself: it sends the tree the change as a message.
void SendChangeState(TBaseLazyTree* Tree, TLazyTreeStates Enter, TLazyTreeStates Leave) {
    Tree->Perform(WM_CHANGESTATE, ChangeStateFlags(Enter), LPARAM(ChangeStateFlags(Leave)));
}

const TLazyTreeState ChangeStateBits[] = {tsStopValidation, tsUseCache, tsValidating, tsValidationNeeded};
}  // namespace

WPARAM ChangeStateFlags(TLazyTreeStates States) {
    WPARAM Flags = 0;
    for (int Bit = 0; Bit < 4; ++Bit)
        if (States.Contains(ChangeStateBits[Bit])) Flags |= WPARAM(1) << Bit;
    return Flags;
}

TLazyTreeStates ChangeStateStates(WPARAM Flags) {
    TLazyTreeStates States;
    for (int Bit = 0; Bit < 4; ++Bit)
        if (Flags & (WPARAM(1) << Bit)) States.Include(ChangeStateBits[Bit]);
    return States;
}

TLazyTreeWorker::TLazyTreeWorker() : TThread(true) {}

TLazyTreeWorker::~TLazyTreeWorker() {
    Terminate();
    FWake.SetEvent();
    // Short polls: the thread ends within one wake-up.
    while (Started() && !Finished()) CheckSynchronize(1);
    WaitFor();
}

TLazyTreeWorker* TLazyTreeWorker::Acquire() {
    if (!SharedWorker) {
        SharedWorker = new TLazyTreeWorker();
        SharedWorker->Start();
    }
    ++SharedWorker->FRefCount;
    return SharedWorker;
}

void TLazyTreeWorker::Release() {
    if (!SharedWorker) return;
    if (--SharedWorker->FRefCount > 0) return;
    TLazyTreeWorker* Doomed = SharedWorker;
    SharedWorker = nullptr;
    delete Doomed;
}

TLazyTreeWorker* TLazyTreeWorker::Shared() { return SharedWorker; }

void TLazyTreeWorker::AddTree(TBaseLazyTree* Tree) {
    TreeAssert(Tree != nullptr, "Tree must not be nil.");
    Tree->FStopRequested.store(false);
    Tree->DoStateChange({}, {tsStopValidation});
    {
        std::lock_guard Guard(FLock);
        if (std::find(FWaiters.begin(), FWaiters.end(), Tree) == FWaiters.end()) FWaiters.push_back(Tree);
    }
    FWake.SetEvent();
}

void TLazyTreeWorker::RemoveTree(TBaseLazyTree* Tree) {
    TreeAssert(Tree != nullptr, "Tree must not be nil.");
    {
        std::lock_guard Guard(FLock);
        FWaiters.erase(std::remove(FWaiters.begin(), FWaiters.end(), Tree), FWaiters.end());
    }
    WaitUntilTreeIdle(Tree);
}

void TLazyTreeWorker::WaitUntilTreeIdle(TBaseLazyTree* Tree) {
    // The thread may be waiting for a state change or a measurement on this
    // thread: serve those while waiting, with a short sleep rather than a spin.
    while (FCurrentTree.load() == Tree) CheckSynchronize(1);
}

void TLazyTreeWorker::Execute() {
    while (!Terminated()) {
        FWake.WaitFor(INFINITE);
        if (Terminated()) break;
        TBaseLazyTree* Tree = nullptr;
        {
            std::lock_guard Guard(FLock);
            if (!FWaiters.empty()) {
                Tree = FWaiters.front();
                FWaiters.pop_front();
                FCurrentTree.store(Tree);
                if (!FWaiters.empty()) FWake.SetEvent();
            }
        }
        if (!Tree) continue;
        std::weak_ptr<TBaseLazyTree*> Token = Tree->FAliveToken;
        bool Done = false;
        try {
            Synchronize([Tree] { SendChangeState(Tree, {tsValidating}, {tsUseCache, tsValidationNeeded}); });
            if (!Tree->FStopRequested.load()) Done = Tree->BuildPositionCache();
        } catch (...) {
            Done = false;
        }
        try {
            Synchronize([Tree, Done] {
                TLazyTreeStates Enter;
                if (Done) Enter.Include(tsUseCache);
                Tree->FStopRequested.store(false);
                SendChangeState(Tree, Enter, {tsStopValidation, tsValidating});
                if (Done && Tree->TreeOptions().MiscOptions().Contains(toVariableNodeHeight)) Tree->UpdateScrollBars(true);
            });
        } catch (...) {
        }
        FCurrentTree.store(nullptr);
        // The editor follows the new positions; nothing happens once the tree is gone.
        Queue([Token] {
            auto Alive = Token.lock();
            if (!Alive) return;
            TBaseLazyTree* T = *Alive;
            if (T->FRevalidateAfterBuild) {
                T->FRevalidateAfterBuild = false;
                T->RevalidatePositionCache();
            }
            if (T->IsEditing()) T->PlaceEditor();
        });
    }
}
