#pragma once
// The invariant checker of the lazy tree: after any step outside an update,
// every kept total and count must equal a fresh recount.

#include "tree/LazyTrees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace treetest {

struct Recount {
    Cardinal Visible = 0;
    std::set<PLazyNode> Selected;
};

inline void CheckNode(TBaseLazyTree& Tree, PLazyNode Node, bool Shown, Recount& R) {
    const bool ShowFiltered = Tree.TreeOptions().PaintOptions().Contains(toShowFilteredNodes);
    Cardinal Count = 0, Total = 1;
    Cardinal Height = Node == Tree.RootNode() || !(Node->States.Contains(vsFiltered) && !ShowFiltered) ? Node->NodeHeight : 0;
    PLazyNode Previous = nullptr;
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) {
        EXPECT_EQ(Run->Index, Count) << "index of a child";
        EXPECT_EQ(Run->Parent, Node);
        EXPECT_EQ(Run->PrevSibling, Previous);
        bool ChildShown = Shown && Node->States.Contains(vsExpanded) && Run->States.Contains(vsVisible);
        if (ChildShown && !(Run->States.Contains(vsFiltered) && !ShowFiltered)) ++R.Visible;
        if (Run->States.Contains(vsSelected)) R.Selected.insert(Run);
        CheckNode(Tree, Run, ChildShown, R);
        Total += Run->TotalCount;
        if (Node->States.Contains(vsExpanded) && Run->States.Contains(vsVisible)) Height += Run->TotalHeight;
        Previous = Run;
        ++Count;
    }
    EXPECT_EQ(Node->LastChild, Previous);
    EXPECT_EQ(Node->ChildCount, Count);
    EXPECT_EQ(Node->TotalCount, Total);
    EXPECT_EQ(Node->TotalHeight, Height);
}

// Runs every check; call outside updates.
inline void ExpectConsistent(TBaseLazyTree& Tree) {
    Recount R;
    CheckNode(Tree, Tree.RootNode(), true, R);
    EXPECT_EQ(Tree.VisibleCount(), R.Visible) << "visible count";
    const TNodeArray& Selection = Tree.SelectionArray();
    EXPECT_EQ(int(Selection.size()), Tree.SelectedCount());
    EXPECT_TRUE(std::is_sorted(Selection.begin(), Selection.end(), std::less<>()));
    EXPECT_EQ(std::set<PLazyNode>(Selection.begin(), Selection.end()), R.Selected) << "selection array";
}

}  // namespace treetest
