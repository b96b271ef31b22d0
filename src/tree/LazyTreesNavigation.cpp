// Navigation: tree order, children-above order, display order, enumerations.

#include "tree/LazyTrees_p.h"

namespace {
constexpr const char* RootText = "Node must not be the hidden root node.";
}

#define TREE_ABOVE(CA) ((CA) && FOptions->PaintOptions().Contains(toChildrenAbove))

namespace {
inline void EnsureInit(TBaseLazyTree* T, PLazyNode N) {
    if (N && !N->States.Contains(vsInitialized)) T->InitializeNode(N);
}
inline bool NeedsChildren(PLazyNode N) { return N->States.Contains(vsHasChildren) && N->ChildCount == 0; }
}  // namespace

// ---------------------------------------------------------------------------
// Tree order
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirst(bool ConsiderChildrenAbove) {
    PLazyNode Result = FRoot->FirstChild;
    if (!Result) return nullptr;
    EnsureInit(this, Result);
    if (TREE_ABOVE(ConsiderChildrenAbove)) {
        for (;;) {
            if (NeedsChildren(Result)) InitializeChildren(Result);
            if (!Result->FirstChild) break;
            Result = Result->FirstChild;
            EnsureInit(this, Result);
        }
    }
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstNoInit(bool ConsiderChildrenAbove) {
    PLazyNode Result = FRoot->FirstChild;
    if (Result && TREE_ABOVE(ConsiderChildrenAbove))
        while (Result->FirstChild) Result = Result->FirstChild;
    return Result;
}

PLazyNode TBaseLazyTree::GetLast(PLazyNode Node, bool ConsiderChildrenAbove) {
    PLazyNode Result = GetLastChild(Node);
    if (!TREE_ABOVE(ConsiderChildrenAbove))
        while (Result) {
            PLazyNode Next = GetLastChild(Result);
            if (!Next) break;
            Result = Next;
        }
    return Result;
}

PLazyNode TBaseLazyTree::GetLastNoInit(PLazyNode Node, bool ConsiderChildrenAbove) {
    PLazyNode Result = GetLastChildNoInit(Node);
    if (!TREE_ABOVE(ConsiderChildrenAbove))
        while (Result) {
            PLazyNode Next = GetLastChildNoInit(Result);
            if (!Next) break;
            Result = Next;
        }
    return Result;
}

PLazyNode TBaseLazyTree::GetNext(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    PLazyNode Result;
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        if (NeedsChildren(Node)) InitializeChildren(Node);
        if (Node->FirstChild) {
            Result = Node->FirstChild;
        } else {
            Result = Node;
            while (Result != FRoot && !Result->NextSibling) Result = Result->Parent;
            Result = Result == FRoot ? nullptr : Result->NextSibling;
        }
    } else if (Node->NextSibling) {
        Result = Node->NextSibling;
        for (;;) {
            EnsureInit(this, Result);
            if (NeedsChildren(Result)) InitializeChildren(Result);
            if (!Result->FirstChild) break;
            Result = Result->FirstChild;
        }
    } else {
        Result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        if (Node->FirstChild) return Node->FirstChild;
        PLazyNode Result = Node;
        while (Result != FRoot && !Result->NextSibling) Result = Result->Parent;
        return Result == FRoot ? nullptr : Result->NextSibling;
    }
    if (Node->NextSibling) {
        PLazyNode Result = Node->NextSibling;
        while (Result->FirstChild) Result = Result->FirstChild;
        return Result;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PLazyNode TBaseLazyTree::GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    PLazyNode Result;
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        if (Node->PrevSibling) {
            Result = GetLast(Node->PrevSibling, false);
            if (!Result) Result = Node->PrevSibling;
        } else {
            Result = Node->Parent == FRoot ? nullptr : Node->Parent;
        }
    } else {
        if (NeedsChildren(Node)) InitializeChildren(Node);
        if (Node->LastChild) {
            Result = Node->LastChild;
        } else {
            Result = Node;
            while (Result != FRoot && !Result->PrevSibling) Result = Result->Parent;
            Result = Result == FRoot ? nullptr : Result->PrevSibling;
        }
    }
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        if (Node->PrevSibling) {
            PLazyNode Result = GetLastNoInit(Node->PrevSibling, false);
            return Result ? Result : Node->PrevSibling;
        }
        return Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (Node->LastChild) return Node->LastChild;
    PLazyNode Result = Node;
    while (Result != FRoot && !Result->PrevSibling) Result = Result->Parent;
    return Result == FRoot ? nullptr : Result->PrevSibling;
}

PLazyNode TBaseLazyTree::GetFirstInitialized(bool ConsiderChildrenAbove) {
    PLazyNode Result = GetFirstNoInit(ConsiderChildrenAbove);
    if (Result && !Result->States.Contains(vsInitialized)) Result = GetNextInitialized(Result, ConsiderChildrenAbove);
    return Result;
}

PLazyNode TBaseLazyTree::GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove) {
    PLazyNode Result = Node;
    do Result = GetNextNoInit(Result, ConsiderChildrenAbove);
    while (Result && !Result->States.Contains(vsInitialized));
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove) {
    PLazyNode Result = Node;
    do Result = GetPreviousNoInit(Result, ConsiderChildrenAbove);
    while (Result && !Result->States.Contains(vsInitialized));
    return Result;
}

PLazyNode TBaseLazyTree::GetLastInitialized(PLazyNode Node, bool ConsiderChildrenAbove) {
    PLazyNode Result = GetLastNoInit(Node, ConsiderChildrenAbove);
    if (Result && !Result->States.Contains(vsInitialized)) Result = GetPreviousInitialized(Result, ConsiderChildrenAbove);
    return Result;
}

// ---------------------------------------------------------------------------
// Children and siblings
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstChild(PLazyNode Node) {
    PLazyNode Result;
    if (!Node || Node == FRoot) {
        Result = FRoot->FirstChild;
    } else {
        EnsureInit(this, Node);
        if (!Node->States.Contains(vsHasChildren)) return nullptr;
        if (Node->ChildCount == 0) InitializeChildren(Node);
        Result = Node->FirstChild;
    }
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetLastChild(PLazyNode Node) {
    PLazyNode Result;
    if (!Node || Node == FRoot) {
        Result = FRoot->LastChild;
    } else {
        EnsureInit(this, Node);
        if (!Node->States.Contains(vsHasChildren)) return nullptr;
        if (Node->ChildCount == 0) InitializeChildren(Node);
        Result = Node->LastChild;
    }
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstChildNoInit(PLazyNode Node) {
    if (!Node || Node == FRoot) return FRoot->FirstChild;
    return Node->States.Contains(vsHasChildren) ? Node->FirstChild : nullptr;
}

PLazyNode TBaseLazyTree::GetLastChildNoInit(PLazyNode Node) {
    if (!Node || Node == FRoot) return FRoot->LastChild;
    return Node->States.Contains(vsHasChildren) ? Node->LastChild : nullptr;
}

PLazyNode TBaseLazyTree::GetNextSibling(PLazyNode Node) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    EnsureInit(this, Node->NextSibling);
    return Node->NextSibling;
}

PLazyNode TBaseLazyTree::GetNextSiblingNoInit(PLazyNode Node) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    return Node->NextSibling;
}

PLazyNode TBaseLazyTree::GetPreviousSibling(PLazyNode Node) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    EnsureInit(this, Node->PrevSibling);
    return Node->PrevSibling;
}

PLazyNode TBaseLazyTree::GetPreviousSiblingNoInit(PLazyNode Node) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    return Node->PrevSibling;
}

namespace {
inline bool Shows(const TBaseLazyTree* T, PLazyNode N, bool IncludeFiltered) {
    return N->States.Contains(vsVisible) && (IncludeFiltered || !T->GetEffectivelyFiltered(N));
}
}  // namespace

PLazyNode TBaseLazyTree::GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode Result = Node;
    do {
        Result = GetNextSibling(Result);
    } while (Result && !Shows(this, Result, IncludeFiltered));
    return Result;
}

PLazyNode TBaseLazyTree::GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode Result = Node;
    do {
        Result = Result->NextSibling;
    } while (Result && !Shows(this, Result, IncludeFiltered));
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode Result = Node;
    do {
        Result = GetPreviousSibling(Result);
    } while (Result && !Shows(this, Result, IncludeFiltered));
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    PLazyNode Result = Node;
    do {
        Result = Result->PrevSibling;
    } while (Result && !Shows(this, Result, IncludeFiltered));
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered) {
    PLazyNode Result = GetFirstChild(Node ? Node : FRoot);
    if (Result && !Shows(this, Result, IncludeFiltered)) Result = GetNextVisibleSibling(Result, IncludeFiltered);
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered) {
    PLazyNode Result = GetFirstChildNoInit(Node ? Node : FRoot);
    if (Result && !Shows(this, Result, IncludeFiltered)) Result = GetNextVisibleSiblingNoInit(Result, IncludeFiltered);
    return Result;
}

PLazyNode TBaseLazyTree::GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered) {
    if (Node && Node != FRoot && !(GetFullyVisible(Node) && Node->States.Contains(vsExpanded))) return nullptr;
    PLazyNode Result = GetLastChild(Node ? Node : FRoot);
    if (Result && !Shows(this, Result, IncludeFiltered)) Result = GetPreviousVisibleSibling(Result, IncludeFiltered);
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered) {
    if (Node && Node != FRoot && !(GetFullyVisible(Node) && Node->States.Contains(vsExpanded))) return nullptr;
    PLazyNode Result = GetLastChildNoInit(Node ? Node : FRoot);
    if (Result && !Shows(this, Result, IncludeFiltered)) Result = GetPreviousVisibleSiblingNoInit(Result, IncludeFiltered);
    return Result;
}

// ---------------------------------------------------------------------------
// Display order
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetVisibleParent(PLazyNode Node, bool IncludeFiltered) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    TreeAssert(Node != FRoot, RootText);
    PLazyNode Result = Node->Parent;
    while (Result != FRoot && (!GetFullyVisible(Result) || (!IncludeFiltered && GetEffectivelyFiltered(Result))))
        Result = Result->Parent;
    return Result;
}

namespace {
// Walks the display order with or without initialising; both families share it.
struct TDisplayWalk {
    TBaseLazyTree* T;
    bool Init;
    void Prepare(PLazyNode N) const {
        if (!Init || !N) return;
        EnsureInit(T, N);
    }
    void Children(PLazyNode N) const {
        if (Init && NeedsChildren(N)) T->InitializeChildren(N);
    }
    // The next node of a displayed subtree's row sequence in tree order after
    // Node, ignoring filtering.
    PLazyNode NextTree(PLazyNode Node, PLazyNode Root) const {
        PLazyNode Result = Node;
        if (Result->States.Contains(vsExpanded)) {
            Children(Result);
            if (Result->FirstChild) {
                Result = Result->FirstChild;
                Prepare(Result);
                if (Result->States.Contains(vsVisible)) return Result;
            }
        }
        for (;;) {
            while (Result != Root && !Result->NextSibling) Result = Result->Parent;
            if (Result == Root) return nullptr;
            Result = Result->NextSibling;
            Prepare(Result);
            if (Result->States.Contains(vsVisible)) return Result;
        }
    }
    // The deepest first displayed descendant (children come first).
    PLazyNode DeepestFirst(PLazyNode Node) const {
        for (;;) {
            if (!Node->States.Contains(vsExpanded)) return Node;
            Children(Node);
            PLazyNode Child = Node->FirstChild;
            while (Child) {
                Prepare(Child);
                if (Child->States.Contains(vsVisible)) break;
                Child = Child->NextSibling;
            }
            if (!Child) return Node;
            Node = Child;
        }
    }
    PLazyNode NextAbove(PLazyNode Node, PLazyNode Root) const {
        for (PLazyNode Run = Node->NextSibling; Run; Run = Run->NextSibling) {
            Prepare(Run);
            if (Run->States.Contains(vsVisible)) return DeepestFirst(Run);
        }
        if (Node->Parent == Root) return nullptr;
        Prepare(Node->Parent);
        return Node->Parent;
    }
    PLazyNode DeepestLast(PLazyNode Node) const {
        for (;;) {
            if (!Node->States.Contains(vsExpanded)) return Node;
            Children(Node);
            PLazyNode Child = Node->LastChild;
            while (Child) {
                Prepare(Child);
                if (Child->States.Contains(vsVisible)) break;
                Child = Child->PrevSibling;
            }
            if (!Child) return Node;
            Node = Child;
        }
    }
    PLazyNode PreviousTree(PLazyNode Node, PLazyNode Root) const {
        for (PLazyNode Run = Node->PrevSibling; Run; Run = Run->PrevSibling) {
            Prepare(Run);
            if (Run->States.Contains(vsVisible)) return DeepestLast(Run);
        }
        if (Node->Parent == Root) return nullptr;
        Prepare(Node->Parent);
        return Node->Parent;
    }
    PLazyNode PreviousAbove(PLazyNode Node, PLazyNode Root) const {
        if (Node->States.Contains(vsExpanded)) {
            Children(Node);
            for (PLazyNode Run = Node->LastChild; Run; Run = Run->PrevSibling) {
                Prepare(Run);
                if (Run->States.Contains(vsVisible)) return Run;
            }
        }
        for (PLazyNode Run = Node; Run != Root; Run = Run->Parent)
            for (PLazyNode Sib = Run->PrevSibling; Sib; Sib = Sib->PrevSibling) {
                Prepare(Sib);
                if (Sib->States.Contains(vsVisible)) return Sib;
            }
        return nullptr;
    }
};
}  // namespace

PLazyNode TBaseLazyTree::GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    TDisplayWalk Walk{this, true};
    bool Above = TREE_ABOVE(ConsiderChildrenAbove);
    PLazyNode Result = Node;
    if (!GetFullyVisible(Result)) Result = GetVisibleParent(Result, true);
    do {
        Result = Above ? (Result == FRoot ? nullptr : Walk.NextAbove(Result, FRoot)) : Walk.NextTree(Result, FRoot);
    } while (Result && !GetEffectivelyVisible(Result));
    return Result;
}

PLazyNode TBaseLazyTree::GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    TDisplayWalk Walk{this, false};
    bool Above = TREE_ABOVE(ConsiderChildrenAbove);
    PLazyNode Result = Node;
    // A start that is not shown steps from its nearest shown ancestor, in both orders.
    if (!GetFullyVisible(Result)) Result = GetVisibleParent(Result, true);
    do {
        Result = Above ? (Result == FRoot ? nullptr : Walk.NextAbove(Result, FRoot)) : Walk.NextTree(Result, FRoot);
    } while (Result && !GetEffectivelyVisible(Result));
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    bool Above = TREE_ABOVE(ConsiderChildrenAbove);
    if (!GetFullyVisible(Node)) {
        PLazyNode Parent = GetVisibleParent(Node, true);
        PLazyNode Result = GetLastVisible(Parent == FRoot ? nullptr : Parent, true, false);
        return Result ? Result : (Parent == FRoot ? nullptr : Parent);
    }
    TDisplayWalk Walk{this, true};
    PLazyNode Result = Node;
    do {
        Result = Above ? Walk.PreviousAbove(Result, FRoot) : Walk.PreviousTree(Result, FRoot);
    } while (Result && !GetEffectivelyVisible(Result));
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    TreeAssert(Node != FRoot, RootText);
    bool Above = TREE_ABOVE(ConsiderChildrenAbove);
    if (!GetFullyVisible(Node)) {
        PLazyNode Parent = GetVisibleParent(Node, true);
        PLazyNode Result = GetLastVisibleNoInit(Parent == FRoot ? nullptr : Parent, true, false);
        return Result ? Result : (Parent == FRoot ? nullptr : Parent);
    }
    TDisplayWalk Walk{this, false};
    PLazyNode Result = Node;
    do {
        Result = Above ? Walk.PreviousAbove(Result, FRoot) : Walk.PreviousTree(Result, FRoot);
    } while (Result && !GetEffectivelyVisible(Result));
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    if (NeedsChildren(Node)) InitializeChildren(Node);
    if (!Node->FirstChild) return nullptr;
    PLazyNode Result = GetFirstChild(Node);
    TDisplayWalk Walk{this, true};
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        while (Result && !Result->States.Contains(vsVisible)) {
            while (Result != FRoot && !Result->NextSibling) Result = Result->Parent;
            if (Result == FRoot) return nullptr;
            Result = Result->NextSibling;
            EnsureInit(this, Result);
        }
    } else {
        while (Result && !Result->States.Contains(vsVisible)) Result = GetNextSibling(Result);
        Result = Result ? Walk.DeepestFirst(Result) : (Node == FRoot ? nullptr : Node);
    }
    if (Result && !IncludeFiltered && GetEffectivelyFiltered(Result)) Result = GetNextVisible(Result, true);
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    PLazyNode Result = Node->FirstChild;
    if (!Result) return nullptr;
    TDisplayWalk Walk{this, false};
    if (!TREE_ABOVE(ConsiderChildrenAbove)) {
        while (Result && !Result->States.Contains(vsVisible)) {
            while (Result != FRoot && !Result->NextSibling) Result = Result->Parent;
            if (Result == FRoot) return nullptr;
            Result = Result->NextSibling;
        }
    } else {
        while (Result && !Result->States.Contains(vsVisible)) Result = Result->NextSibling;
        Result = Result ? Walk.DeepestFirst(Result) : (Node == FRoot ? nullptr : Node);
    }
    if (Result && !IncludeFiltered && GetEffectivelyFiltered(Result)) Result = GetNextVisibleNoInit(Result, true);
    return Result;
}

PLazyNode TBaseLazyTree::GetLastVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    PLazyNode Result = GetLastNoInit(Node, ConsiderChildrenAbove);
    while (Result && Result != Node &&
           (!GetFullyVisible(Result) || (!IncludeFiltered && GetEffectivelyFiltered(Result))))
        Result = GetPreviousNoInit(Result, ConsiderChildrenAbove);
    return Result == Node ? nullptr : Result;
}

PLazyNode TBaseLazyTree::GetLastVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    PLazyNode Result = GetLastVisibleNoInit(Node, ConsiderChildrenAbove, IncludeFiltered);
    for (PLazyNode Run = Result; Run && Run != Node && Run != FRoot; Run = Run->Parent) EnsureInit(this, Run);
    return Result;
}

// ---------------------------------------------------------------------------
// Checked, leaves, levels
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstChecked(TCheckState State, bool ConsiderChildrenAbove) {
    return GetNextChecked(nullptr, State, ConsiderChildrenAbove);
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove) {
    PLazyNode Result = !Node || Node == FRoot ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (Result && Result->CheckState != State) Result = GetNextNoInit(Result, ConsiderChildrenAbove);
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove) {
    PLazyNode Result = !Node || Node == FRoot ? GetLastNoInit(nullptr, ConsiderChildrenAbove) : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (Result && Result->CheckState != State) Result = GetPreviousNoInit(Result, ConsiderChildrenAbove);
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstLeaf() { return GetNextLeaf(nullptr); }

PLazyNode TBaseLazyTree::GetNextLeaf(PLazyNode Node) {
    PLazyNode Result;
    if (!Node || Node == FRoot) {
        Result = FRoot->FirstChild;
        EnsureInit(this, Result);
    } else {
        Result = GetNext(Node);
    }
    while (Result && Result->States.Contains(vsHasChildren)) Result = GetNext(Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousLeaf(PLazyNode Node) {
    PLazyNode Result;
    if (!Node || Node == FRoot) {
        Result = FRoot->LastChild;
        EnsureInit(this, Result);
    } else {
        Result = GetPrevious(Node);
    }
    while (Result && Result->States.Contains(vsHasChildren)) Result = GetPrevious(Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetFirstLevel(Cardinal NodeLevel) {
    PLazyNode Result = GetFirstNoInit(true);
    while (Result && GetNodeLevel(Result) != NodeLevel) Result = GetNextNoInit(Result, true);
    EnsureInit(this, Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetNextLevel(PLazyNode Node, Cardinal NodeLevel) {
    if (!Node || Node == FRoot) return nullptr;
    PLazyNode Result = GetNext(Node);
    while (Result && GetNodeLevel(Result) != NodeLevel) Result = GetNext(Result);
    return Result;
}

PLazyNode TBaseLazyTree::GetPreviousLevel(PLazyNode Node, Cardinal NodeLevel) {
    if (!Node || Node == FRoot) return nullptr;
    PLazyNode Result = GetPrevious(Node);
    while (Result && GetNodeLevel(Result) != NodeLevel) Result = GetPrevious(Result);
    return Result;
}

// ---------------------------------------------------------------------------
// Positions
// ---------------------------------------------------------------------------

Cardinal TBaseLazyTree::GetNodeLevel(PLazyNode Node) const {
    Cardinal Level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PLazyNode Run = Node->Parent; Run != FRoot; Run = Run->Parent) ++Level;
    return Level;
}

Cardinal TBaseLazyTree::AbsoluteIndex(PLazyNode Node) {
    if (!Node || Node == FRoot) return 0;
    Cardinal Result = 0;
    while (Node != FRoot) {
        EnsureInit(this, Node);
        if (Node->PrevSibling) {
            Node = Node->PrevSibling;
            Result += Node->TotalCount;
        } else {
            Node = Node->Parent;
            if (Node != FRoot) ++Result;
        }
    }
    return Result;
}

bool TBaseLazyTree::HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent) return false;
    for (PLazyNode Run = Node->Parent; Run; Run = Run == FRoot ? nullptr : Run->Parent)
        if (Run == PotentialParent) return true;
    return false;
}

int TBaseLazyTree::LevelDifference(PLazyNode Node1, PLazyNode Node2) const {
    TreeAssert(Node1 && Node2, "Both nodes must be Assigned.");
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

int TBaseLazyTree::CompareTreeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const {
    TreeAssert(Node1 && Node2, "Nodes must never be nil.");
    if (Node1 == Node2) return 0;
    bool Above = TREE_ABOVE(ConsiderChildrenAbove);
    if (HasAsParent(Node1, Node2)) return Above ? -1 : 1;
    if (HasAsParent(Node2, Node1)) return Above ? 1 : -1;
    Cardinal L1 = GetNodeLevel(Node1), L2 = GetNodeLevel(Node2);
    while (L1 > L2) { Node1 = Node1->Parent; --L1; }
    while (L2 > L1) { Node2 = Node2->Parent; --L2; }
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return int(Node1->Index) - int(Node2->Index);
}

PLazyNode TBaseLazyTree::IterateSubtree(PLazyNode Node, const TLTGetNodeCallback& Callback, void* Data,
                                        TLazyNodeStates Filter, bool DoInit, bool ChildNodesOnly) {
    TreeAssert(Node != FRoot, RootText);
    bool WasIterating = FStates.Contains(tsIterating);
    DoStateChange({tsIterating});
    TFinally Done{[&] { if (!WasIterating) DoStateChange({}, {tsIterating}); }};
    auto Step = [&](PLazyNode N) { return DoInit ? GetNext(N) : GetNextNoInit(N); };
    PLazyNode Stop = nullptr;
    if (Node) {
        if (DoInit) EnsureInit(this, Node);
        PLazyNode Run = Node;
        while (Run != FRoot && !Run->NextSibling) Run = Run->Parent;
        Stop = Run == FRoot ? nullptr : Run->NextSibling;
    } else {
        Node = GetFirstNoInit(false);
    }
    if (Node && DoInit) EnsureInit(this, Node);
    if (Node && ChildNodesOnly) Node = Node->FirstChild;
    bool Abort = false;
    while (Node && Node != Stop) {
        if (Filter.Empty() || (Node->States * Filter) == Filter) {
            Callback(this, Node, Data, Abort);
            if (Abort) return Node;
        }
        Node = Step(Node);
    }
    return nullptr;
}

int TBaseLazyTree::CheckedCount() {
    int Count = 0;
    for (PLazyNode Run = GetFirstChecked(csCheckedNormal); Run; Run = GetNextChecked(Run, csCheckedNormal)) ++Count;
    return Count;
}

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

bool TLTLazyNodeEnumerator::MoveNext() {
    if (!FCanModeNext) return false;
    FNode = FEnumeration->GetNext(FNode);
    FCanModeNext = FNode != nullptr;
    return FCanModeNext;
}

PLazyNode TLTLazyNodeEnumeration::GetNext(PLazyNode N) const {
    TBaseLazyTree* T = FTree;
    switch (FMode) {
    case vneAll: return N ? T->GetNext(N, FConsiderChildrenAbove) : T->GetFirst(FConsiderChildrenAbove);
    case vneChecked: return N ? T->GetNextChecked(N, FState, FConsiderChildrenAbove) : T->GetFirstChecked(FState, FConsiderChildrenAbove);
    case vneChild: return N ? T->GetNextSibling(N) : T->GetFirstChild(FNode);
    case vneCutCopy: {
        PLazyNode R = N ? T->GetNextNoInit(N, FConsiderChildrenAbove) : T->GetFirstNoInit(FConsiderChildrenAbove);
        while (R && !R->States.Contains(vsCutOrCopy)) R = T->GetNextNoInit(R, FConsiderChildrenAbove);
        return R;
    }
    case vneInitialized: return N ? T->GetNextInitialized(N, FConsiderChildrenAbove) : T->GetFirstInitialized(FConsiderChildrenAbove);
    case vneLeaf: return N ? T->GetNextLeaf(N) : T->GetFirstLeaf();
    case vneLevel: return N ? T->GetNextLevel(N, FNodeLevel) : T->GetFirstLevel(FNodeLevel);
    case vneNoInit: return N ? T->GetNextNoInit(N, FConsiderChildrenAbove) : T->GetFirstNoInit(FConsiderChildrenAbove);
    case vneSelected: return N ? T->GetNextSelected(N, FConsiderChildrenAbove) : T->GetFirstSelected(FConsiderChildrenAbove);
    case vneVisible: return N ? T->GetNextVisible(N, FConsiderChildrenAbove) : T->GetFirstVisible(FNode, FConsiderChildrenAbove, FIncludeFiltered);
    case vneVisibleNoInit: return N ? T->GetNextVisibleNoInit(N, FConsiderChildrenAbove) : T->GetFirstVisibleNoInit(FNode, FConsiderChildrenAbove, FIncludeFiltered);
    case vneVisibleChild: return N ? T->GetNextVisibleSibling(N, FIncludeFiltered) : T->GetFirstVisibleChild(FNode, FIncludeFiltered);
    case vneVisibleNoInitChild: return N ? T->GetNextVisibleSiblingNoInit(N, FIncludeFiltered) : T->GetFirstVisibleChildNoInit(FNode, FIncludeFiltered);
    }
    return nullptr;
}

namespace {
TLTLazyNodeEnumeration Make(TBaseLazyTree* T, TLTLazyNodeEnumerationMode Mode) {
    TLTLazyNodeEnumeration E;
    E.FMode = Mode;
    E.FTree = T;
    return E;
}
}  // namespace

TLTLazyNodeEnumeration TBaseLazyTree::Nodes(bool CA) { auto E = Make(this, vneAll); E.FConsiderChildrenAbove = CA; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::InitializedNodes(bool CA) { auto E = Make(this, vneInitialized); E.FConsiderChildrenAbove = CA; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::NoInitNodes(bool CA) { auto E = Make(this, vneNoInit); E.FConsiderChildrenAbove = CA; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::SelectedNodes(bool CA) { auto E = Make(this, vneSelected); E.FConsiderChildrenAbove = CA; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::CheckedNodes(TCheckState State, bool CA) {
    auto E = Make(this, vneChecked);
    E.FState = State;
    E.FConsiderChildrenAbove = CA;
    return E;
}
TLTLazyNodeEnumeration TBaseLazyTree::ChildNodes(PLazyNode Node) { auto E = Make(this, vneChild); E.FNode = Node; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::LeafNodes() { return Make(this, vneLeaf); }
TLTLazyNodeEnumeration TBaseLazyTree::LevelNodes(Cardinal NodeLevel) { auto E = Make(this, vneLevel); E.FNodeLevel = NodeLevel; return E; }
TLTLazyNodeEnumeration TBaseLazyTree::VisibleNodes(PLazyNode Node, bool CA, bool IncludeFiltered) {
    auto E = Make(this, vneVisible);
    E.FNode = Node;
    E.FConsiderChildrenAbove = CA;
    E.FIncludeFiltered = IncludeFiltered;
    return E;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleNoInitNodes(PLazyNode Node, bool CA, bool IncludeFiltered) {
    auto E = VisibleNodes(Node, CA, IncludeFiltered);
    E.FMode = vneVisibleNoInit;
    return E;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNodes(PLazyNode Node, bool IncludeFiltered) {
    auto E = Make(this, vneVisibleChild);
    E.FNode = Node;
    E.FIncludeFiltered = IncludeFiltered;
    return E;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered) {
    auto E = VisibleChildNodes(Node, IncludeFiltered);
    E.FMode = vneVisibleNoInitChild;
    return E;
}
