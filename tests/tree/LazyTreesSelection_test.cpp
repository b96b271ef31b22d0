#include "tree/TreeCheck.h"

#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

// Two top-level nodes with three children each, all expanded.
struct SelTree {
    TBaseLazyTree Tree{nullptr};
    PLazyNode A, B;
    explicit SelTree(TLTSelectionOptions Options) {
        Tree.TreeOptions().SetSelectionOptions(Options);
        Tree.SetRootNodeCount(2);
        A = Tree.RootNode()->FirstChild;
        B = A->NextSibling;
        Tree.SetChildCount(A, 3);
        Tree.SetChildCount(B, 3);
        Tree.FullExpand();
    }
};

TEST(LazyTreeSelection, ConstraintsAndDisabledNodes) {
    SelTree Level({toMultiSelect, toLevelSelectConstraint});
    Level.Tree.AddToSelection(Level.A->FirstChild);
    EXPECT_FALSE(Level.Tree.AddToSelection(Level.B));            // another level
    EXPECT_TRUE(Level.Tree.AddToSelection(Level.B->LastChild));  // same level, other parent
    Level.Tree.SetDisabled(Level.A->LastChild, true);
    EXPECT_FALSE(Level.Tree.AddToSelection(Level.A->LastChild));
    EXPECT_EQ(Level.Tree.SelectedCount(), 2);
    ExpectConsistent(Level.Tree);
    Level.Tree.ClearSelection();  // the level is free again
    EXPECT_TRUE(Level.Tree.AddToSelection(Level.B));

    SelTree Sibling({toMultiSelect, toSiblingSelectConstraint});
    Sibling.Tree.AddToSelection(Sibling.A->FirstChild);
    EXPECT_TRUE(Sibling.Tree.AddToSelection(Sibling.A->LastChild));
    EXPECT_FALSE(Sibling.Tree.AddToSelection(Sibling.B->FirstChild));
    ExpectConsistent(Sibling.Tree);

    SelTree Single({});
    Single.Tree.SetSelected(Single.A, true);
    Single.Tree.SetSelected(Single.B, true);  // replaces and focuses
    EXPECT_EQ(Single.Tree.SelectedCount(), 1);
    EXPECT_EQ(Single.Tree.FocusedNode(), Single.B);
    Single.Tree.TreeOptions().SetSelectionOptions({toMultiSelect});  // a change clears it
    EXPECT_EQ(Single.Tree.SelectedCount(), 0);
    ExpectConsistent(Single.Tree);
}

TEST(LazyTreeSelection, RemovalsInsideAnUpdateAreCompactedAtItsEnd) {
    SelTree F({toMultiSelect});
    F.Tree.SelectAll(false);
    EXPECT_EQ(F.Tree.SelectedCount(), 8);
    std::vector<PLazyNode> Removed;
    F.Tree.OnRemoveFromSelection = [&](TBaseLazyTree*, PLazyNode N) { Removed.push_back(N); };
    F.Tree.BeginUpdate();
    F.Tree.InvertSelection(false);  // everything leaves
    F.Tree.DeleteNode(F.A->FirstChild);
    F.Tree.EndUpdate();
    EXPECT_EQ(Removed.size(), 8u);
    EXPECT_EQ(F.Tree.SelectedCount(), 0);
    ExpectConsistent(F.Tree);
    F.Tree.SelectRange(F.A->LastChild, F.B->FirstChild, false);
    EXPECT_EQ(F.Tree.GetSortedSelection(false), (TNodeArray{F.A->LastChild, F.B, F.B->FirstChild}));
    EXPECT_EQ(F.Tree.GetSortedSelection(true), (TNodeArray{F.A->LastChild, F.B}));
    F.Tree.DeleteSelectedNodes();
    EXPECT_EQ(F.Tree.RootNode()->TotalCount, 3u);
    ExpectConsistent(F.Tree);
}

TEST(LazyTreeSelection, ClicksWithShiftAndCtrl) {
    SelTree F({toMultiSelect});
    PLazyNode A1 = F.A->FirstChild, A3 = F.A->LastChild, B1 = F.B->FirstChild;
    F.Tree.ApplyClickSelection(nullptr, A1, {}, false);
    EXPECT_EQ(F.Tree.RangeAnchor(), A1);
    F.Tree.ApplyClickSelection(A1, B1, {ssShift}, false);  // anchor to B1
    EXPECT_EQ(F.Tree.GetSortedSelection(false), (TNodeArray{A1, A1->NextSibling, A3, F.B, B1}));
    F.Tree.ApplyClickSelection(B1, A3, {ssCtrl}, false);  // toggles A3 off
    EXPECT_FALSE(F.Tree.GetSelected(A3));
    EXPECT_EQ(F.Tree.RangeAnchor(), A3);
    F.Tree.ApplyClickSelection(A3, A1, {ssCtrl}, true);  // a drag may start: deferred
    EXPECT_TRUE(F.Tree.TreeStates().Contains(tsToggleFocusedSelection));
    EXPECT_TRUE(F.Tree.GetSelected(A1));
    F.Tree.UnselectRange(A1, F.B);
    EXPECT_EQ(F.Tree.GetSortedSelection(false), (TNodeArray{B1}));
    treetest::ExpectConsistent(F.Tree);
}

TEST(LazyTreeSelection, AlwaysSelectNodeKeepsOneSelected) {
    SelTree F({toAlwaysSelectNode});
    F.Tree.SetSelected(F.A->FirstChild, true);
    F.Tree.DeleteNode(F.A->FirstChild);  // its next sibling takes its place
    ASSERT_EQ(F.Tree.SelectedCount(), 1);
    EXPECT_EQ(F.Tree.GetFirstSelected(), F.A->FirstChild);
    F.Tree.ToggleNode(F.A);  // the selected child is hidden: its parent is selected
    EXPECT_EQ(F.Tree.GetFirstSelected(), F.A);
    ExpectConsistent(F.Tree);
}

class TProbeTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;
    void HoldCheck(PLazyNode Node) {
        FCheckNode = Node;
        DoStateChange({tsMouseCheckPending});
    }
    PLazyNode HeldCheck() const { return FCheckNode; }
    PLazyNode LastSearch() const { return FLastSearchNode; }
};

TEST(LazyTreeSelection, DeletingHeldOrSearchedNodesLeavesNoReference) {
    TProbeTree Tree(nullptr);
    Tree.SetRootNodeCount(3);
    PLazyNode Node = Tree.GetFirst()->NextSibling;
    Tree.HoldCheck(Node);
    Tree.DeleteNode(Node);
    EXPECT_EQ(Tree.HeldCheck(), nullptr);
    EXPECT_TRUE(Tree.TreeStates().Contains(tsMouseCheckPending));  // the button release still comes
    Tree.SetIncrementalSearch(isAll);
    Tree.SearchIncrementally(u'x');  // every node matches: the first is the hit
    ASSERT_NE(Tree.LastSearch(), nullptr);
    Tree.DeleteNode(Tree.LastSearch());
    EXPECT_EQ(Tree.LastSearch(), nullptr);
    ExpectConsistent(Tree);
}

// An editor that may refuse to end.
class TFakeLink : public ILTEditLink {
public:
    bool AllowEnd = true;
    int Begun = 0, Ended = 0;
    bool BeginEdit() override { ++Begun; return true; }
    bool CancelEdit() override { return true; }
    bool EndEdit() override { if (AllowEnd) ++Ended; return AllowEnd; }
    bool PrepareEdit(TBaseLazyTree*, PLazyNode, TColumnIndex) override { return true; }
    TRect GetBounds() override { return TRect{}; }
    void SetBounds(TRect) override {}
};

TEST(LazyTreeSelection, FocusAndEditing) {
    SelTree F({});
    auto Link = std::make_shared<TFakeLink>();
    F.Tree.OnCreateEditor = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, std::shared_ptr<ILTEditLink>& Out) { Out = Link; };
    EXPECT_FALSE(F.Tree.EditNode(F.A, -1));  // not editable
    F.Tree.TreeOptions().SetMiscOptions(F.Tree.TreeOptions().MiscOptions() + TLTMiscOptions{toEditable});
    EXPECT_TRUE(F.Tree.EditNode(F.A, -1));
    EXPECT_EQ(Link->Begun, 1);
    Link->AllowEnd = false;
    F.Tree.SetFocusedNode(F.B);  // the editor refuses to end: the focus stays
    EXPECT_EQ(F.Tree.FocusedNode(), F.A);
    Link->AllowEnd = true;
    std::vector<std::string> Changes;
    F.Tree.OnFocusChanged = [&](TBaseLazyTree*, PLazyNode, TColumnIndex C) { Changes.push_back(std::to_string(C)); };
    F.Tree.SetFocusedNode(F.B);
    EXPECT_EQ(F.Tree.FocusedNode(), F.B);
    EXPECT_FALSE(F.Tree.IsEditing());
    EXPECT_EQ(Link->Ended, 1);
    F.Tree.OnFocusChanging = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, TColumnIndex, bool& Allowed) { Allowed = false; };
    F.Tree.SetFocusedColumn(2);
    EXPECT_EQ(F.Tree.FocusedColumn(), -1);
    EXPECT_EQ(Changes.size(), 1u);
    F.Tree.OnFocusChanging = nullptr;
    // With automatic expanding the focus collapses the sibling it leaves.
    F.Tree.TreeOptions().SetAutoOptions(F.Tree.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoExpand});
    F.Tree.FullCollapse();
    F.Tree.SetFocusedNode(F.A);
    EXPECT_TRUE(F.A->States.Contains(vsExpanded));
    F.Tree.SetFocusedNode(F.B);
    EXPECT_FALSE(F.A->States.Contains(vsExpanded));
    EXPECT_TRUE(F.B->States.Contains(vsExpanded));
    F.Tree.TreeOptions().SetMiscOptions(F.Tree.TreeOptions().MiscOptions() + TLTMiscOptions{toReadOnly});
    EXPECT_FALSE(F.Tree.EditNode(F.B, -1));
    ExpectConsistent(F.Tree);
}

TEST(LazyTreeSelection, ShowingFilteredNodesAdjustsCountsAndHeights) {
    SelTree F({});
    F.Tree.SetFiltered(F.A->FirstChild, true);
    F.Tree.SetFiltered(F.B, true);
    Cardinal Count = F.Tree.VisibleCount(), Height = F.Tree.RootNode()->TotalHeight;
    auto& Options = F.Tree.TreeOptions();
    Options.SetPaintOptions(Options.PaintOptions() + TLTPaintOptions{toShowFilteredNodes});
    EXPECT_EQ(F.Tree.VisibleCount(), Count + 2);
    EXPECT_EQ(F.Tree.RootNode()->TotalHeight, Height + 36);
    ExpectConsistent(F.Tree);
    Options.SetPaintOptions(Options.PaintOptions() - TLTPaintOptions{toShowFilteredNodes});
    EXPECT_EQ(F.Tree.VisibleCount(), Count);
    ExpectConsistent(F.Tree);
    Options.SetPaintOptions(Options.PaintOptions() + TLTPaintOptions{toFixedIndent} - TLTPaintOptions{toShowRoot});
    EXPECT_TRUE(Options.PaintOptions().Contains(toShowRoot));
}

}  // namespace
