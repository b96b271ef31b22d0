#include "tree/TreeCheck.h"

#include "framework/Threads.h"
#include "tree/LazyTrees.Worker.h"

#include <thread>

using treetest::ExpectConsistent;

namespace {

// Serves the worker's calls until the condition holds (or a generous limit passes).
template <class F>
bool PumpUntil(F Condition, Cardinal Milliseconds = 10000) {
    Cardinal Start = GetTickCount();
    while (!Condition() && GetTickCount() - Start < Milliseconds) CheckSynchronize(1);
    return Condition();
}

TEST(LazyTreeWorker, BuildsTheCacheOfLargeTreesOffTheInterfaceThread) {
    TBaseLazyTree Tree(nullptr);
    bool OffThread = false;
    Tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) { OffThread |= !IsMainThread(); };
    Tree.OnMeasureItem = [&](TBaseLazyTree*, TCanvas*, PLazyNode N, int& Height) {
        OffThread |= !IsMainThread();
        Height = 10 + int(N->Index % 3);
    };
    Tree.TreeOptions().SetAutoOptions({});
    Tree.SetRootNodeCount(2000);
    EXPECT_FALSE(PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }, 30));  // 2000: never
    Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    Tree.SetRootNodeCount(5000);
    ASSERT_TRUE(PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
    const TCache& Cache = Tree.PositionCache();
    ASSERT_EQ(Cache.size(), 3u);
    Cardinal Top = 0, Ordinal = 0;
    std::size_t Entry = 0;
    for (PLazyNode N = Tree.GetFirstVisibleNoInit(); N; N = Tree.GetNextVisibleNoInit(N), ++Ordinal) {
        if (Ordinal % 2000 == 0) {
            EXPECT_EQ(Cache[Entry].Node, N);
            EXPECT_EQ(Cache[Entry].AbsoluteTop, Top);
            ++Entry;
        }
        Top += N->NodeHeight;
    }
    EXPECT_FALSE(OffThread);
    ExpectConsistent(Tree);
}

TEST(LazyTreeWorker, ChangesAndDestructionWhileABuildRuns) {
    for (int Round = 0; Round < 5; ++Round) {
        auto Tree = std::make_unique<TBaseLazyTree>(nullptr);
        Tree->TreeOptions().SetAutoOptions({});
        Tree->SetRootNodeCount(30000);
        // Structural changes wait for the walk to leave the tree.
        Tree->SetRootNodeCount(20000);
        Tree->AddChild(nullptr);
        Tree->DeleteNode(Tree->GetFirstNoInit());
        ExpectConsistent(*Tree);
        if (Round % 2 == 0) {
            ASSERT_TRUE(PumpUntil([&] { return Tree->TreeStates().Contains(tsUseCache); }));
            EXPECT_EQ(Tree->PositionCache().size(), 10u);
        }
        Tree.reset();  // also in the middle of a build
    }
    EXPECT_EQ(TLazyTreeWorker::Shared(), nullptr);  // the last tree ended the thread
}

TEST(LazyTreeWorker, AMeasurementThatChangesTheTreeStopsTheWalkAndHandsTheTreeOverAgain) {
    TBaseLazyTree Tree(nullptr);
    Tree.TreeOptions().SetAutoOptions({});
    Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    int Added = 0;
    Tree.OnMeasureItem = [&](TBaseLazyTree* T, TCanvas*, PLazyNode N, int&) {
        if (N->Index == 1000 && Added++ == 0) T->AddChild(nullptr);  // the owner changes the tree
    };
    Tree.SetRootNodeCount(4000);  // measured here, on this thread: one node more
    Tree.DeleteNode(Tree.GetFirstNoInit());
    Tree.ReinitChildren(nullptr, false);
    Added = 0;  // measured anew by the worker, which has not started: it waits for this thread
    ASSERT_TRUE(PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
    EXPECT_EQ(Added, 1);
    EXPECT_EQ(Tree.RootNodeCount(), 4001u);
    EXPECT_EQ(Tree.PositionCache().size(), 3u);
    ExpectConsistent(Tree);
}

TEST(LazyTreeWorker, StateChangesArriveAsAMessageTheTreeAppliesAsOneChange) {
    std::vector<std::pair<TLazyTreeStates, TLazyTreeStates>> Seen;
    TBaseLazyTree Tree(nullptr);
    Tree.TreeOptions().SetAutoOptions({});
    Tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates Enter, TLazyTreeStates Leave) {
        Seen.emplace_back(Enter, Leave);
    };
    struct Case {
        WPARAM Enter;
        LPARAM Leave;
        TLazyTreeStates WantEnter, WantLeave;
    } Cases[] = {
        {1, 0, {tsStopValidation}, {}},
        {2 | 4, 1, {tsUseCache, tsValidating}, {tsStopValidation}},
        {8, 2 | 4, {tsValidationNeeded}, {tsUseCache, tsValidating}},
        {0x10 | 0x100, 8 | 0x20, {}, {tsValidationNeeded}},  // unknown bits mean nothing
    };
    for (const Case& c : Cases) {
        Seen.clear();
        Tree.Perform(WM_CHANGESTATE, c.Enter, c.Leave);
        ASSERT_EQ(Seen.size(), 1u) << c.Enter;
        EXPECT_EQ(Seen[0].first, c.WantEnter) << c.Enter;
        EXPECT_EQ(Seen[0].second, c.WantLeave) << c.Enter;
        for (TLazyTreeState S : {tsStopValidation, tsUseCache, tsValidating, tsValidationNeeded})
            if (c.WantEnter.Contains(S) || c.WantLeave.Contains(S))
                EXPECT_EQ(Tree.TreeStates().Contains(S), c.WantEnter.Contains(S)) << c.Enter << " " << int(S);
    }
    // The worker's own changes come the same way: entering validation, then the cache.
    Tree.Perform(WM_CHANGESTATE, 0, 2 | 4 | 8);
    Seen.clear();
    Tree.SetRootNodeCount(5000);
    ASSERT_TRUE(PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
    bool Validating = false, Cached = false;
    for (const auto& [Enter, Leave] : Seen) {
        Validating |= Enter == TLazyTreeStates{tsValidating} && Leave == TLazyTreeStates{tsUseCache, tsValidationNeeded};
        Cached |= Enter == TLazyTreeStates{tsUseCache} && Leave == TLazyTreeStates{tsStopValidation, tsValidating};
    }
    EXPECT_TRUE(Validating);
    EXPECT_TRUE(Cached);
}

TEST(LazyTreeWorker, ATreeBeingDestroyedTellsItsOwnerNoStateChange) {
    int Changes = 0;
    auto Tree = std::make_unique<TBaseLazyTree>(nullptr);
    Tree->TreeOptions().SetAutoOptions({});
    Tree->SetRootNodeCount(5000);  // a cache the destructor stops validating
    Tree->OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates, TLazyTreeStates) { ++Changes; };
    Tree.reset();
    EXPECT_EQ(Changes, 0);
}

}  // namespace
