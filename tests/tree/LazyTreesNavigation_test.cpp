#include "tree/TreeCheck.h"

#include "framework/Windows.h"

#include <functional>
#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

// A fixture tree with collapsed, hidden and filtered nodes: 4 top-level nodes
// of 3 children, each first child with 2 grandchildren.
struct NavTree {
    TBaseLazyTree Tree{nullptr};
    std::vector<PLazyNode> All;  // tree order
    explicit NavTree(bool ChildrenAbove) {
        Tree.TreeOptions().SetAutoOptions({});
        if (ChildrenAbove)
            Tree.TreeOptions().SetPaintOptions(Tree.TreeOptions().PaintOptions() + TLTPaintOptions{toChildrenAbove});
        Tree.SetRootNodeCount(4);
        for (PLazyNode T = Tree.RootNode()->FirstChild; T; T = T->NextSibling) {
            Tree.SetChildCount(T, 3);
            Tree.SetChildCount(T->FirstChild, 2);
        }
        for (PLazyNode N = Tree.GetFirst(); N; N = Tree.GetNext(N)) All.push_back(N);
        PLazyNode T0 = All[0], T1 = All[6], T2 = All[12], T3 = All[18];
        Tree.SetExpanded(T0, true);
        Tree.SetExpanded(T0->FirstChild, true);
        Tree.SetExpanded(T2, true);
        Tree.SetExpanded(T2->FirstChild, true);
        Tree.SetExpanded(T3, true);
        Tree.SetVisible(T0->LastChild, false);       // hidden leaf
        Tree.SetFiltered(T2->FirstChild, true);       // filtered, expanded
        Tree.SetVisible(T3->FirstChild, false);       // hidden subtree
        Tree.SetFiltered(T3->LastChild, true);
        (void)T1;  // collapsed
    }
    // Reference: nodes shown on screen, in display order.
    std::vector<PLazyNode> Display(bool Above) {
        std::vector<PLazyNode> R;
        std::function<void(PLazyNode)> Walk = [&](PLazyNode P) {
            for (PLazyNode N = P->FirstChild; N; N = N->NextSibling) {
                if (!N->States.Contains(vsVisible)) continue;
                bool Shown = !N->States.Contains(vsFiltered);
                if (Shown && !Above) R.push_back(N);
                if (N->States.Contains(vsExpanded)) Walk(N);
                if (Shown && Above) R.push_back(N);
            }
        };
        Walk(Tree.RootNode());
        return R;
    }
    std::vector<PLazyNode> Order(bool Above) {
        std::vector<PLazyNode> R;
        std::function<void(PLazyNode)> Walk = [&](PLazyNode P) {
            for (PLazyNode N = P->FirstChild; N; N = N->NextSibling) {
                if (!Above) R.push_back(N);
                Walk(N);
                if (Above) R.push_back(N);
            }
        };
        Walk(Tree.RootNode());
        return R;
    }
};

PLazyNode After(const std::vector<PLazyNode>& List, PLazyNode N, int Step) {
    auto It = std::find(List.begin(), List.end(), N);
    if (It == List.end()) return reinterpret_cast<PLazyNode>(1);  // not in the list
    long I = (It - List.begin()) + Step;
    return I < 0 || I >= long(List.size()) ? nullptr : List[I];
}

TEST(LazyTreeNavigation, EveryStepFromEveryNodeMatchesAReferenceWalk) {
    for (bool Above : {false, true}) {
        SCOPED_TRACE(Above ? "children above" : "tree order");
        NavTree F(Above);
        ExpectConsistent(F.Tree);
        auto Order = F.Order(Above);
        auto Display = F.Display(Above);
        EXPECT_EQ(F.Tree.VisibleCount(), Display.size());
        EXPECT_EQ(F.Tree.GetFirst(true), Order.front());
        EXPECT_EQ(F.Tree.GetFirstVisible(nullptr, true), Display.front());
        EXPECT_EQ(F.Tree.GetLastVisible(nullptr, true), Display.back());
        for (PLazyNode N : F.All) {
            EXPECT_EQ(F.Tree.GetNext(N, true), After(Order, N, 1));
            EXPECT_EQ(F.Tree.GetNextNoInit(N, true), After(Order, N, 1));
            EXPECT_EQ(F.Tree.GetPrevious(N, true), After(Order, N, -1));
            EXPECT_EQ(F.Tree.GetPreviousNoInit(N, true), After(Order, N, -1));
            EXPECT_EQ(F.Tree.GetNext(N, false), After(F.Order(false), N, 1));
            // From a node that is not shown the steps still land on shown nodes.
            for (PLazyNode R : {F.Tree.GetNextVisible(N, true), F.Tree.GetPreviousVisible(N, true),
                                F.Tree.GetNextVisibleNoInit(N, true), F.Tree.GetPreviousVisibleNoInit(N, true)})
                EXPECT_TRUE(R == nullptr || std::find(Display.begin(), Display.end(), R) != Display.end());
            if (std::find(Display.begin(), Display.end(), N) != Display.end()) {
                EXPECT_EQ(F.Tree.GetNextVisible(N, true), After(Display, N, 1));
                EXPECT_EQ(F.Tree.GetNextVisibleNoInit(N, true), After(Display, N, 1));
                EXPECT_EQ(F.Tree.GetPreviousVisible(N, true), After(Display, N, -1));
                EXPECT_EQ(F.Tree.GetPreviousVisibleNoInit(N, true), After(Display, N, -1));
            }
            auto TreeOrder = F.Order(false);
            EXPECT_EQ(F.Tree.AbsoluteIndex(N), Cardinal(std::find(TreeOrder.begin(), TreeOrder.end(), N) - TreeOrder.begin()));
            for (PLazyNode M : F.All) {
                int Expected = (std::find(Order.begin(), Order.end(), N) - Order.begin()) <
                                       (std::find(Order.begin(), Order.end(), M) - Order.begin()) ? -1 : 1;
                if (N == M) Expected = 0;
                int Got = F.Tree.CompareTreeOrder(N, M, true);
                EXPECT_EQ(Got < 0 ? -1 : Got > 0 ? 1 : 0, Expected);
            }
        }
        // An enumerator walks the display and stays finished.
        std::vector<PLazyNode> Seen;
        for (PLazyNode N : F.Tree.VisibleNodes()) Seen.push_back(N);
        EXPECT_EQ(Seen, Display);
        auto E = F.Tree.Nodes(true);
        TLTLazyNodeEnumerator It = E.GetEnumerator();
        std::size_t Count = 0;
        while (It.MoveNext()) ++Count;
        EXPECT_EQ(Count, Order.size());
        EXPECT_FALSE(It.MoveNext());
        ExpectConsistent(F.Tree);
    }
}

TEST(LazyTreeNavigation, EdgesOfTheFamily) {
    TBaseLazyTree Empty(nullptr);
    EXPECT_EQ(Empty.GetFirst(), nullptr);
    EXPECT_EQ(Empty.GetLastVisible(), nullptr);
    EXPECT_EQ(Empty.GetFirstLeaf(), nullptr);
    EXPECT_EQ(Empty.CheckedCount(), 0);
    EXPECT_EQ(Empty.GetNext(nullptr), nullptr);
    EXPECT_THROW(Empty.GetNext(Empty.RootNode()), EAssertionFailed);
    EXPECT_THROW(Empty.CompareTreeOrder(nullptr, Empty.RootNode(), false), EAssertionFailed);
    EXPECT_FALSE(Empty.Nodes().GetEnumerator().MoveNext());

    NavTree F(false);
    PLazyNode Collapsed = F.All[6];
    EXPECT_EQ(F.Tree.GetFirstVisibleChild(Collapsed), Collapsed->FirstChild);
    EXPECT_EQ(F.Tree.GetLastVisibleChild(Collapsed), nullptr);
    EXPECT_EQ(F.Tree.GetNodeLevel(F.All[2]), 2u);
    EXPECT_EQ(F.Tree.LevelDifference(F.All[0], F.All[2]), 2);
    EXPECT_EQ(F.Tree.LevelDifference(F.All[2], F.All[0]), -2);
    EXPECT_THROW(F.Tree.LevelDifference(F.All[2], nullptr), EAssertionFailed);
    EXPECT_TRUE(F.Tree.HasAsParent(F.All[2], F.All[0]));
    F.All[3]->CheckState = csCheckedPressed;
    F.All[4]->CheckState = csCheckedNormal;
    EXPECT_EQ(F.Tree.GetFirstChecked(), F.All[4]);
    EXPECT_EQ(F.Tree.CheckedCount(), 1);
    int Visited = 0;
    F.Tree.IterateSubtree(F.All[6], [&](TBaseLazyTree*, PLazyNode, void*, bool&) { ++Visited; }, nullptr, {}, false, true);
    EXPECT_EQ(Visited, 5);  // children and grandchildren of the collapsed node
}

TEST(LazyTreeNavigation, IncrementalSearchStepsWrapsAndBeeps) {
    TBaseLazyTree Tree(nullptr);
    Tree.TreeOptions().SetAutoOptions({});
    const char* Names[] = {"apple", "banana", "avocado", "berry", "cherry"};
    Tree.SetNodeDataSize(int(sizeof(void*)));
    Tree.SetRootNodeCount(5);
    int I = 0;
    for (PLazyNode N = Tree.GetFirstNoInit(); N; N = N->NextSibling) Tree.SetNodeData(N, const_cast<char*>(Names[I++]));
    Tree.SetIncrementalSearch(isAll);
    Tree.OnIncrementalSearch = [&](TBaseLazyTree*, PLazyNode N, const String& Text, int& Result) {
        std::string Name = *Tree.GetNodeData<const char*>(N);
        std::string Typed = StringToUtf8(Text);
        Result = Name.compare(0, Typed.size(), Typed) == 0 ? 0 : 1;
    };
    auto Name = [&] { return std::string(*Tree.GetNodeData<const char*>(Tree.FocusedNode())); };
    Tree.SearchIncrementally(u'b');
    EXPECT_EQ(Name(), "banana");
    Tree.SearchIncrementally(u'b');  // same letter again: the next one
    EXPECT_EQ(Name(), "berry");
    Tree.SearchIncrementally(u'b');  // and around
    EXPECT_EQ(Name(), "banana");
    Tree.SearchIncrementally(u'\b');  // the shorter text, searched backwards from one step before
    EXPECT_EQ(Name(), "apple");
    EXPECT_EQ(Tree.SearchBuffer(), u"");
    int Beeps = MessageBeepCount();
    Tree.SearchIncrementally(u'z');
    EXPECT_EQ(MessageBeepCount(), Beeps + 1);
    EXPECT_EQ(Name(), "apple");
    Tree.TimerFired(7);  // the typed text times out
    EXPECT_FALSE(Tree.TreeStates().Contains(tsIncrementalSearching));
    Tree.SearchIncrementally(u'c');
    EXPECT_EQ(Name(), "cherry");
    EXPECT_EQ(Tree.SelectedCount(), 1);
    ExpectConsistent(Tree);
}

}  // namespace
