#pragma once
// The one background thread all trees of the process share: it rebuilds the
// position cache of trees with more than 2000 visible nodes. It never runs
// owner code and never writes node fields; state changes and height
// measurements run as synchronised calls on the user-interface thread.

#include "framework/Threads.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

class TBaseLazyTree;

class TLazyTreeWorker : public TThread {
public:
    // Every tree takes one reference; the first makes the thread, the last ends it.
    static TLazyTreeWorker* Acquire();
    static void Release();
    static TLazyTreeWorker* Shared();

    // Lists the tree (once) and wakes the thread.
    void AddTree(TBaseLazyTree* Tree);
    // Unlists the tree and waits until the thread has left it.
    void RemoveTree(TBaseLazyTree* Tree);
    // Serves the thread's synchronised calls until it has left the tree.
    void WaitUntilTreeIdle(TBaseLazyTree* Tree);
    TBaseLazyTree* CurrentTree() const { return FCurrentTree.load(); }
    ~TLazyTreeWorker() override;

protected:
    void Execute() override;

private:
    TLazyTreeWorker();
    std::mutex FLock;
    std::deque<TBaseLazyTree*> FWaiters;
    std::atomic<TBaseLazyTree*> FCurrentTree{nullptr};
    TEvent FWake{false, false};
    Cardinal FRefCount = 0;
};
