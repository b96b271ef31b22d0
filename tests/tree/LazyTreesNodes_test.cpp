#include "tree/TreeCheck.h"

#include "framework/System.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

// Three top-level nodes; the first has two children (expanded), the second
// three (collapsed), each first child one grandchild.
struct Fixture {
    TBaseLazyTree Tree{nullptr};
    std::vector<std::string> Log;
    int Inits = 0, Frees = 0;
    Fixture() {
        Tree.SetNodeDataSize(int(sizeof(int)));
        Tree.OnInitNode = [this](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) { ++Inits; };
        Tree.OnFreeNode = [this](TBaseLazyTree*, PLazyNode) { ++Frees; };
        Tree.OnStructureChange = [this](TBaseLazyTree*, PLazyNode, TChangeReason R) {
            Log.push_back("structure " + std::to_string(int(R)));
        };
        Tree.BeginUpdate();
        Tree.SetRootNodeCount(3);
        PLazyNode A = Tree.GetFirstChildNoInit(nullptr);
        PLazyNode B = A->NextSibling;
        Tree.SetChildCount(A, 2);
        Tree.SetChildCount(B, 3);
        Tree.SetChildCount(A->FirstChild, 1);
        Tree.SetChildCount(B->FirstChild, 1);
        Tree.EndUpdate();
        Tree.SetExpanded(A, true);
        Log.clear();
    }
    PLazyNode Top(int I) {
        PLazyNode N = Tree.RootNode()->FirstChild;
        while (I-- > 0) N = N->NextSibling;
        return N;
    }
};

TEST(LazyTreeNodes, StructuralOperationsKeepEveryTotalAndCount) {
    struct Case {
        const char* Name;
        std::function<void(Fixture&)> Step;
        Cardinal RootTotal;  // TotalCount of the root afterwards
    };
    const Case Cases[] = {
        {"add to root", [](Fixture& F) { F.Tree.AddChild(nullptr); }, 12},
        {"add to expanded", [](Fixture& F) { F.Tree.AddChild(F.Top(0)); }, 12},
        {"add to collapsed", [](Fixture& F) { F.Tree.AddChild(F.Top(1)); }, 12},
        {"insert before", [](Fixture& F) { F.Tree.InsertNode(F.Top(0)->LastChild, amInsertBefore); }, 12},
        {"insert after", [](Fixture& F) { F.Tree.InsertNode(F.Top(0)->FirstChild, amInsertAfter); }, 12},
        {"insert first child", [](Fixture& F) { F.Tree.InsertNode(F.Top(2), amAddChildFirst); }, 12},
        {"insert last child", [](Fixture& F) { F.Tree.InsertNode(F.Top(0), amAddChildLast); }, 12},
        {"insert before root", [](Fixture& F) { F.Tree.InsertNode(nullptr, amInsertBefore); }, 12},
        {"grow children", [](Fixture& F) { F.Tree.SetChildCount(F.Top(0), 5); }, 14},
        {"shrink children", [](Fixture& F) { F.Tree.SetChildCount(F.Top(1), 1); }, 9},
        {"delete expanded subtree", [](Fixture& F) { F.Tree.DeleteNode(F.Top(0)); }, 7},
        {"delete only grandchild", [](Fixture& F) { F.Tree.DeleteNode(F.Top(0)->FirstChild->FirstChild); }, 10},
        {"delete children", [](Fixture& F) { F.Tree.DeleteChildren(F.Top(1), true); }, 7},
        {"clear", [](Fixture& F) { F.Tree.Clear(); }, 1},
        {"data size change", [](Fixture& F) { F.Tree.SetNodeDataSize(32); }, 4},
        {"hide expanded", [](Fixture& F) { F.Tree.SetVisible(F.Top(0), false); }, 11},
        {"hide child", [](Fixture& F) { F.Tree.SetVisible(F.Top(0)->FirstChild, false); }, 11},
        {"filter parent", [](Fixture& F) { F.Tree.SetFiltered(F.Top(0), true); }, 11},
        {"height", [](Fixture& F) { F.Tree.SetNodeHeight(F.Top(0)->LastChild, 40); }, 11},
        {"height above 16 bits", [](Fixture& F) { F.Tree.SetNodeHeight(F.Top(0)->LastChild, 70000); }, 11},
        {"full expand", [](Fixture& F) { F.Tree.FullExpand(); }, 11},
        {"full collapse", [](Fixture& F) { F.Tree.FullExpand(); F.Tree.FullCollapse(); }, 11},
        {"reset", [](Fixture& F) { F.Tree.ResetNode(F.Top(0)); }, 8},
        {"default height", [](Fixture& F) { F.Tree.SetDefaultNodeHeight(0); F.Tree.AddChild(nullptr); }, 12},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Fixture F;
        ExpectConsistent(F.Tree);
        C.Step(F);
        ExpectConsistent(F.Tree);
        EXPECT_EQ(F.Tree.RootNode()->TotalCount, C.RootTotal);
    }
}

TEST(LazyTreeNodes, NewNodesAndTheirData) {
    TBaseLazyTree Tree(nullptr);
    PLazyNode Node = Tree.AddChild(nullptr);
    EXPECT_EQ(Tree.NodeDataSize(), int(sizeof(void*)));  // asked once, one pointer
    EXPECT_EQ(Node->Index, 0u);
    EXPECT_EQ(Node->TotalCount, 1u);
    // The automatic sort of the default options initialises the parent's children.
    EXPECT_EQ(Node->States, (TLazyNodeStates{vsInitialized, vsVisible}));
    EXPECT_EQ(Tree.RootNode()->TotalCount, 2u);
    EXPECT_EQ(Tree.GetNodeData(nullptr), nullptr);
    EXPECT_EQ(Tree.GetNodeData(Tree.RootNode()), nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Tree.GetNodeData(Node)) % alignof(std::max_align_t), 0u);
    Tree.SetNodeHeight(Node, 70000);  // the largest row, not a wrapped one
    EXPECT_EQ(Node->NodeHeight, 65535);
    Tree.SetChildCount(Node, 2);
    Tree.SetChildCount(Node, 0);  // as DeleteChildren(Node, false)
    EXPECT_TRUE(Node->States.Contains(vsHasChildren));
    ExpectConsistent(Tree);

    TBaseLazyTree Zero(nullptr);
    Zero.SetNodeDataSize(0);
    PLazyNode Z = Zero.AddChild(nullptr);
    EXPECT_THROW(Zero.GetNodeData(Z), EAssertionFailed);
    EXPECT_THROW(Zero.AddChild(nullptr, &Zero), EAssertionFailed);
    EXPECT_THROW(Zero.ReserveInternalData(4), EAssertionFailed);
}

// Thousands of nodes span several pool chunks; blocks freed and made again
// come from the free list. Every data area stays aligned for any type, comes
// zeroed, and filling it whole leaves every neighbouring record intact.
TEST(LazyTreeNodes, DataAreasAlignedZeroedAndApartInEveryBlock) {
    for (int DataSize : {1, 8, 24, 40}) {
        SCOPED_TRACE(DataSize);
        TBaseLazyTree Tree(nullptr);
        Tree.SetNodeDataSize(DataSize);
        Tree.SetRootNodeCount(3000);
        auto CheckFresh = [&](PLazyNode N) {
            auto* Data = static_cast<unsigned char*>(Tree.GetNodeData(N));
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Data) % alignof(std::max_align_t), 0u);
            EXPECT_EQ(std::count(Data, Data + DataSize, 0), DataSize);
            std::fill(Data, Data + DataSize, 0xFF);
        };
        for (PLazyNode N = Tree.GetFirstNoInit(); N; N = Tree.GetNextNoInit(N)) CheckFresh(N);
        ExpectConsistent(Tree);
        for (PLazyNode N = Tree.RootNode()->FirstChild; N && N->NextSibling;) {
            PLazyNode Next = N->NextSibling->NextSibling;
            Tree.DeleteNode(N);
            N = Next;
        }
        PLazyNode OldLast = Tree.RootNode()->LastChild;
        Tree.SetRootNodeCount(3000);
        for (PLazyNode N = OldLast->NextSibling; N; N = N->NextSibling) CheckFresh(N);
        ExpectConsistent(Tree);
        EXPECT_EQ(Tree.RootNode()->TotalCount, 3001u);
    }
}

TEST(LazyTreeNodes, OnFreeNodeForInitialisedOrTouchedNodesAndSharedDataReleased) {
    auto Shared = std::make_shared<int>(5);
    std::vector<PLazyNode> Freed;
    {
        TBaseLazyTree Tree(nullptr);
        Tree.SetNodeDataSize(32);
        Tree.TreeOptions().SetAutoOptions({});  // no sort that initialises everything
        Tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode N) { Freed.push_back(N); };
        Tree.SetRootNodeCount(4);
        PLazyNode A = Tree.RootNode()->FirstChild, B = A->NextSibling, C = B->NextSibling, D = C->NextSibling;
        Tree.GetNodeData(A);                 // touched
        Tree.GetFirstChild(nullptr);         // A initialised too
        Tree.GetNextSibling(A);              // B initialised
        Tree.SetNodeData(D, std::static_pointer_cast<void>(Shared));
        EXPECT_EQ(Shared.use_count(), 2);
        (void)C;
        Tree.Clear();
        EXPECT_EQ(Freed, (std::vector<PLazyNode>{D, B, A}));  // C: never initialised nor touched
        EXPECT_EQ(Shared.use_count(), 1);
        EXPECT_TRUE(Tree.IsEmpty());
        Freed.clear();
        Tree.Clear();  // empty: nothing happens
        EXPECT_TRUE(Freed.empty());
    }
}

TEST(LazyTreeNodes, InitialisationOnceAndNeverFromNoInitWalks) {
    TBaseLazyTree Tree(nullptr);
    Tree.TreeOptions().SetAutoOptions({});
    std::map<PLazyNode, int> Inits;
    std::vector<TLazyNodeInitStates> Seen;
    Tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode N, TLazyNodeInitStates& S) {
        ++Inits[N];
        Seen.push_back(S);
        S.Include(ivsHasChildren);
    };
    Tree.OnInitChildren = [&](TBaseLazyTree* T, PLazyNode N, Cardinal& Count) { Count = T->GetNodeLevel(N) < 2 ? 3 : 0; };
    Tree.SetRootNodeCount(3);
    for (PLazyNode N = Tree.GetFirstNoInit(); N; N = Tree.GetNextNoInit(N)) {}
    Tree.GetLastVisibleNoInit();
    Tree.GetFirstVisibleNoInit();
    EXPECT_TRUE(Inits.empty());
    for (PLazyNode N = Tree.GetFirst(); N; N = Tree.GetNext(N)) {}
    for (PLazyNode N = Tree.GetFirst(); N; N = Tree.GetNext(N)) {}
    EXPECT_EQ(Inits.size(), 3u + 9u + 27u);  // children made on demand along the walk
    for (auto& [Node, Count] : Inits) EXPECT_EQ(Count, 1);
    ExpectConsistent(Tree);
    Tree.ReinitNode(Tree.GetFirst(), false);
    EXPECT_TRUE(Seen.back().Contains(ivsReInit));
}

TEST(LazyTreeNodes, OneStructureEventPerUpdateAndAtOnceOutside) {
    Fixture F;
    F.Tree.AddChild(nullptr);
    EXPECT_EQ(F.Log, (std::vector<std::string>{"structure " + std::to_string(int(crChildAdded))}));
    F.Log.clear();
    F.Tree.BeginUpdate();
    F.Tree.AddChild(F.Top(0));
    F.Tree.DeleteNode(F.Top(3));
    EXPECT_TRUE(F.Log.empty());
    F.Tree.EndUpdate();
    EXPECT_EQ(F.Log, (std::vector<std::string>{"structure " + std::to_string(int(crAccumulated))}));
    ExpectConsistent(F.Tree);
    // With a delay the event waits for the change timer.
    F.Log.clear();
    F.Tree.SetChangeDelay(50);
    F.Tree.HandleNeeded();
    F.Tree.AddChild(nullptr);
    EXPECT_TRUE(F.Log.empty());
    EXPECT_GE(F.Tree.TimerStarts(6), 1u);
    F.Tree.TimerFired(6);
    EXPECT_EQ(F.Log, (std::vector<std::string>{"structure " + std::to_string(int(crAccumulated))}));
    EXPECT_THROW(F.Tree.EndOperation(okSortNode), EAssertionFailed);
}

TEST(LazyTreeNodes, DeletionLeavesNoReferenceToTheFreedNode) {
    Fixture F;
    F.Tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    PLazyNode Child = F.Top(0)->FirstChild;
    F.Tree.SetFocusedNode(Child);
    F.Tree.AddToSelection(Child);
    F.Tree.AddToSelection(F.Top(2));
    F.Tree.DeleteNode(Child);
    EXPECT_EQ(F.Tree.FocusedNode(), nullptr);
    EXPECT_EQ(F.Tree.SelectedCount(), 1);
    ExpectConsistent(F.Tree);
    // Inside an update the entry is only marked, and packed at the end.
    F.Tree.AddToSelection(F.Top(1));
    F.Tree.BeginUpdate();
    F.Tree.DeleteNode(F.Top(1));
    EXPECT_EQ(F.Tree.SelectedCount(), 2);
    F.Tree.EndUpdate();
    EXPECT_EQ(F.Tree.SelectedCount(), 1);
    ExpectConsistent(F.Tree);
    EXPECT_THROW(F.Tree.IterateSubtree(nullptr, [&](TBaseLazyTree*, PLazyNode N, void*, bool&) { F.Tree.DeleteNode(N); }, nullptr),
                 EAssertionFailed);
}

TEST(LazyTreeNodes, ExpandCollapseEventsAndFreeingOnCollapse) {
    Fixture F;
    std::vector<std::string> Events;
    int Asked = 0;
    F.Tree.OnExpanding = [&](TBaseLazyTree*, PLazyNode, bool&) { Events.push_back("expanding"); };
    F.Tree.OnExpanded = [&](TBaseLazyTree*, PLazyNode) { Events.push_back("expanded"); };
    F.Tree.OnInitChildren = [&](TBaseLazyTree*, PLazyNode, Cardinal& Count) { ++Asked; Count = 2; };
    PLazyNode Leaf = F.Top(2);
    F.Tree.SetHasChildren(Leaf, true);
    F.Tree.TreeOptions().SetAutoOptions(F.Tree.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoFreeOnCollapse});
    F.Tree.ToggleNode(Leaf);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Events, (std::vector<std::string>{"expanding", "expanded"}));
    ExpectConsistent(F.Tree);
    int FreedBefore = F.Frees;
    F.Tree.ToggleNode(Leaf);
    EXPECT_TRUE(Leaf->States.Contains(vsHasChildren));
    EXPECT_EQ(Leaf->ChildCount, 0u);
    F.Tree.ToggleNode(Leaf);
    EXPECT_EQ(Asked, 2);
    EXPECT_EQ(F.Frees - FreedBefore, 2);
    ExpectConsistent(F.Tree);
    // A node whose children answer 0 is not expanded.
    F.Tree.OnInitChildren = [&](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 0; };
    Events.clear();
    PLazyNode Other = F.Tree.AddChild(nullptr);
    F.Tree.SetHasChildren(Other, true);
    F.Tree.ToggleNode(Other);
    EXPECT_EQ(Events, (std::vector<std::string>{"expanding"}));
    EXPECT_FALSE(Other->States.Contains(vsExpanded));
    EXPECT_FALSE(Other->States.Contains(vsHasChildren));
    ExpectConsistent(F.Tree);
}

// A full expansion against the plain walk it stands for: every node not yet
// expanded toggled in tree order inside one update. Seeded shapes mix nodes
// with children, nodes that claim children and get none, hidden and filtered
// nodes; each tree is expanded with nobody listening, with OnExpanding and
// OnStateChange handlers, and in a descendant that overrides DoExpanding. The
// nodes, totals, visible counts and every event come out alike.
class TExpandingProbe : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;
    std::vector<Cardinal>* Log = nullptr;
    bool DoExpanding(PLazyNode Node) override {
        Log->push_back(Node->Index);
        return TBaseLazyTree::DoExpanding(Node);
    }
};

TEST(LazyTreeNodes, FullExpandEqualsTogglingEveryNodeInTreeOrder) {
    enum TListen { lNobody, lHandlers, lOverride };
    struct TRun {
        std::vector<std::string> Nodes;
        std::vector<std::string> Events;
        Cardinal Visible = 0, RootHeight = 0;
    };
    auto Build = [](unsigned Seed, TListen Listen, bool Reference) {
        std::mt19937 Random(Seed);
        const Cardinal Roots = 1 + Random() % 6;
        TRun Run;
        std::unique_ptr<TBaseLazyTree> Owned;
        std::vector<Cardinal> Overridden;
        if (Listen == lOverride) {
            auto* Probe = new TExpandingProbe(nullptr);
            Probe->Log = &Overridden;
            Owned.reset(Probe);
        } else {
            Owned = std::make_unique<TBaseLazyTree>(nullptr);
        }
        TBaseLazyTree& Tree = *Owned;
        // The answers depend on the node's place only, so every run sees the same tree.
        auto Key = [](PLazyNode N) {
            unsigned K = 17;
            for (; N->NextSibling != N; N = N->Parent) K = K * 31 + N->Index;  // up to the root
            return K;
        };
        Tree.OnInitNode = [&, Seed](TBaseLazyTree*, PLazyNode, PLazyNode Node, TLazyNodeInitStates& States) {
            const unsigned K = (Key(Node) ^ Seed) * 2654435761u >> 8;
            if (K % 3 == 0) States.Include(ivsHasChildren);
            if (K % 11 == 1) States.Include(ivsFiltered);
            if (K % 13 == 2) States.Include(ivsExpanded);
            Run.Events.push_back("init " + std::to_string(Node->Index));
        };
        Tree.OnInitChildren = [&, Seed](TBaseLazyTree*, PLazyNode Node, Cardinal& Count) {
            Count = (Key(Node) ^ Seed) % 4;  // 0: claimed children that are not there
            Run.Events.push_back("children " + std::to_string(Count));
        };
        if (Listen == lHandlers) {
            Tree.OnExpanding = [&](TBaseLazyTree*, PLazyNode Node, bool&) {
                Run.Events.push_back("expanding " + std::to_string(Node->Index));
            };
            Tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates Enter, TLazyTreeStates Leave) {
                Run.Events.push_back("state " + std::to_string(Enter.Bits()) + " " + std::to_string(Leave.Bits()));
            };
        }
        Tree.OnExpanded = [&](TBaseLazyTree*, PLazyNode Node) {
            Run.Events.push_back("expanded " + std::to_string(Node->Index));
        };
        Tree.SetRootNodeCount(Roots);
        if (Random() % 2) Tree.SetVisible(Tree.RootNode()->FirstChild, false);
        if (Reference) {
            Tree.BeginUpdate();
            for (PLazyNode N = Tree.GetFirst(); N; N = Tree.GetNext(N))
                if (!N->States.Contains(vsExpanded)) Tree.ToggleNode(N);
            Tree.EndUpdate();
        } else {
            Tree.FullExpand();
        }
        ExpectConsistent(Tree);
        for (PLazyNode N = Tree.GetFirstNoInit(); N; N = Tree.GetNextNoInit(N))
            Run.Nodes.push_back(std::to_string(N->Index) + " " + std::to_string(N->ChildCount) + " " +
                                std::to_string(N->States.Bits()) + " " + std::to_string(N->TotalCount) + " " +
                                std::to_string(N->TotalHeight));
        for (Cardinal I : Overridden) Run.Events.push_back("override " + std::to_string(I));
        Run.Visible = Tree.VisibleCount();
        Run.RootHeight = Tree.RootNode()->TotalHeight;
        return Run;
    };
    auto Asked = [](const TRun& Run, const std::string& Kind) {
        std::vector<std::string> Nodes;
        for (const std::string& E : Run.Events)
            if (E.rfind(Kind, 0) == 0) Nodes.push_back(E.substr(Kind.size()));
        return Nodes;
    };
    for (unsigned Seed = 1; Seed <= 40; ++Seed) {
        SCOPED_TRACE(testing::Message() << "seed " << Seed);
        // Every node toggled, leaves included, is asked: the handler and the override alike.
        const std::vector<std::string> Expanding = Asked(Build(Seed, lHandlers, false), "expanding ");
        EXPECT_FALSE(Expanding.empty());
        EXPECT_EQ(Asked(Build(Seed, lOverride, false), "override "), Expanding);
        for (TListen Listen : {lNobody, lHandlers, lOverride}) {
            SCOPED_TRACE(testing::Message() << "listener " << int(Listen));
            const TRun Expected = Build(Seed, Listen, true);
            const TRun Got = Build(Seed, Listen, false);
            EXPECT_EQ(Got.Nodes, Expected.Nodes);
            // The reference walk has no okExpand operation around it: only tsExpanding differs.
            std::vector<std::string> GotEvents, ExpectedEvents;
            const std::string Expanding = std::to_string(TLazyTreeStates{tsExpanding}.Bits());
            for (const std::string& E : Got.Events)
                if (E != "state " + Expanding + " 0" && E != "state 0 " + Expanding) GotEvents.push_back(E);
            EXPECT_EQ(GotEvents, Expected.Events);
            EXPECT_EQ(Got.Visible, Expected.Visible);
            EXPECT_EQ(Got.RootHeight, Expected.RootHeight);
        }
    }
}

TEST(LazyTreeNodes, SortIsStableAndARaisingComparisonLeavesTheSiblings) {
    TBaseLazyTree Tree(nullptr);
    Tree.SetNodeDataSize(int(sizeof(int)));
    Tree.SetRootNodeCount(6);
    const int Keys[] = {3, 1, 3, 2, 1, 3};
    int I = 0;
    for (PLazyNode N = Tree.GetFirstNoInit(); N; N = N->NextSibling) *Tree.GetNodeData<int>(N) = Keys[I++];
    std::vector<PLazyNode> Original;
    for (PLazyNode N = Tree.RootNode()->FirstChild; N; N = N->NextSibling) Original.push_back(N);
    Tree.OnCompareNodes = [&](TBaseLazyTree*, PLazyNode A, PLazyNode B, TColumnIndex, int& R) {
        R = *Tree.GetNodeData<int>(A) - *Tree.GetNodeData<int>(B);
    };
    auto Order = [&] {
        std::vector<PLazyNode> R;
        for (PLazyNode N = Tree.RootNode()->FirstChild; N; N = N->NextSibling) R.push_back(N);
        return R;
    };
    Tree.Sort(nullptr, 0, sdAscending);
    EXPECT_EQ(Order(), (std::vector<PLazyNode>{Original[1], Original[4], Original[3], Original[0], Original[2], Original[5]}));
    ExpectConsistent(Tree);
    Tree.Sort(nullptr, 0, sdDescending);
    EXPECT_EQ(Order(), (std::vector<PLazyNode>{Original[0], Original[2], Original[5], Original[3], Original[1], Original[4]}));
    ExpectConsistent(Tree);
    auto Before = Order();
    int Calls = 0;
    Tree.OnCompareNodes = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, int& R) {
        if (++Calls == 4) throw Exception("compare failed");
        R = -1;
    };
    EXPECT_THROW(Tree.Sort(nullptr, 0, sdAscending), Exception);
    EXPECT_EQ(Order(), Before);
    EXPECT_EQ(Tree.OperationCount(), 0);
    ExpectConsistent(Tree);
}

}  // namespace
