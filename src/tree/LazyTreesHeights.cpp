// Node heights, visibility, filtering and the position cache.

#include "tree/LazyTrees_p.h"

#include <algorithm>

bool TBaseLazyTree::GetEffectivelyFiltered(PLazyNode Node) const {
    return Node && Node->States.Contains(vsFiltered) && !FOptions->PaintOptions().Contains(toShowFilteredNodes);
}

bool TBaseLazyTree::GetEffectivelyVisible(PLazyNode Node) const {
    return Node && Node->States.Contains(vsVisible) && !GetEffectivelyFiltered(Node);
}

bool TBaseLazyTree::GetFullyVisible(PLazyNode Node) const {
    TreeAssert(Node != nullptr, "Invalid parameter.");
    if (!Node->States.Contains(vsVisible)) return false;
    if (Node == FRoot) return true;
    for (PLazyNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded) || !Run->States.Contains(vsVisible)) return false;
    return true;
}

bool TBaseLazyTree::GetVisiblePath(PLazyNode Node) const {
    TreeAssert(Node && Node != FRoot, "Invalid parameters.");
    for (PLazyNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded) || !Run->States.Contains(vsVisible)) return false;
    return true;
}

Cardinal TBaseLazyTree::CountShownChildren(PLazyNode Node) const {
    if (!Node->States.Contains(vsExpanded)) return 0;
    Cardinal Count = 0;
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling)
        if (Run->States.Contains(vsVisible)) Count += CountShownChildren(Run) + (GetEffectivelyFiltered(Run) ? 0 : 1);
    return Count;
}

void TBaseLazyTree::RecheckAllChildrenHidden(PLazyNode Node) {
    if (Node->ChildCount > 0) {
        bool AnyShown = false;
        for (PLazyNode Run = Node->FirstChild; Run && !AnyShown; Run = Run->NextSibling) AnyShown = GetEffectivelyVisible(Run);
        if (AnyShown) Node->States.Exclude(vsAllChildrenHidden);
        else Node->States.Include(vsAllChildrenHidden);
    } else if (Node->States.Contains(vsHasChildren)) {
        Node->States.Exclude(vsAllChildrenHidden);
    } else {
        Node->States.Include(vsAllChildrenHidden);
    }
}

void TBaseLazyTree::RecheckAllChildrenHiddenEverywhere() {
    for (PLazyNode Run = GetFirstNoInit(false); Run; Run = GetNextNoInit(Run, false)) RecheckAllChildrenHidden(Run);
}

Cardinal TBaseLazyTree::GetNodeHeight(PLazyNode Node) {
    if (!Node || Node == FRoot) return 0;
    if (FOptions->MiscOptions().Contains(toVariableNodeHeight) && !Node->States.Contains(vsDeleting)) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        MeasureItemHeight(&Canvas(), Node);
    }
    return Node->NodeHeight;
}

void TBaseLazyTree::SetNodeHeight(PLazyNode Node, Cardinal Value) {
    if (!Node || Node == FRoot || ReadOnly()) return;
    // The record keeps 16 bits: a larger height is the largest row, not a wrapped one.
    Word NewHeight = Word(std::min<Cardinal>(Value, 65535));
    if (NewHeight == Node->NodeHeight) return;
    // A measurement for the worker's own walk must not wait for that walk.
    if (!FInWorkerCall) StopCacheValidation();
    Int64 Difference = Int64(NewHeight) - Node->NodeHeight;
    Node->NodeHeight = NewHeight;
    if (GetEffectivelyFiltered(Node)) return;
    AddToTotalHeight(Node, Difference, true);
    if (FStates.Contains(tsEditing) && FEditNode == Node) PlaceEditor();
    if (FInWorkerCall) return;
    InvalidatePositionCache();
    if (!FStates.Contains(tsValidating) && GetFullyVisible(Node) && FUpdateCount == 0 &&
        !FStates.Contains(tsPainting) && !FStates.Contains(tsSizing)) {
        RevalidatePositionCache();
        InvalidateToBottom(Node);
        UpdateScrollBars(true);
    }
}

void TBaseLazyTree::SetDefaultNodeHeight(Cardinal Value) {
    if (Value == 0) Value = 18;
    if (Value == FDefaultNodeHeight) return;
    Int64 Difference = Int64(Value) - FDefaultNodeHeight;
    FRoot->TotalHeight = Cardinal(Int64(FRoot->TotalHeight) + Difference);
    FRoot->NodeHeight = Word(std::min<Cardinal>(Value, 65535));
    FDefaultNodeHeight = Value;
    InvalidatePositionCache();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        RevalidatePositionCache();
        UpdateScrollBars(true);
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
        InvalidateTree();
    }
}

void TBaseLazyTree::FitDefaultNodeHeight() {
    if (!FOptions->AutoOptions().Contains(toAutoChangeScale)) return;
    Canvas().SetFont(Font());
    int Height = Canvas().TextHeight(u"Tg");
    if (Height > int(FDefaultNodeHeight)) SetDefaultNodeHeight(Cardinal(Height));
}

void TBaseLazyTree::MeasureItemHeight(TCanvas* Canvas, PLazyNode Node) {
    if (Node->States.Contains(vsHeightMeasured)) return;
    Node->States.Include(vsHeightMeasured);
    if (!FOptions->MiscOptions().Contains(toVariableNodeHeight)) return;
    int NewHeight = Node->NodeHeight;
    DoMeasureItem(Canvas, Node, NewHeight);
    SetNodeHeight(Node, Cardinal(std::max(NewHeight, 0)));
}

void TBaseLazyTree::DoMeasureItem(TCanvas* TargetCanvas, PLazyNode Node, int& NodeHeight) {
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (OnMeasureItem) OnMeasureItem(this, TargetCanvas, Node, NodeHeight);
}

bool TBaseLazyTree::GetVisible(PLazyNode Node) {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    return Node->States.Contains(vsVisible);
}

void TBaseLazyTree::SetVisible(PLazyNode Node, bool Value) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    if (Value == Node->States.Contains(vsVisible)) return;
    StopCacheValidation();
    Cardinal OldCount = FVisibleCount;
    PLazyNode Parent = Node->Parent;
    if (Value) {
        Node->States.Include(vsVisible);
        if (Parent->States.Contains(vsExpanded)) AddToTotalHeight(Parent, Node->TotalHeight, true);
        if (GetVisiblePath(Node)) FVisibleCount += CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
        if (!GetEffectivelyFiltered(Node)) Parent->States.Exclude(vsAllChildrenHidden);
    } else {
        if (Parent->States.Contains(vsExpanded)) AddToTotalHeight(Parent, -Int64(Node->TotalHeight), true);
        if (GetVisiblePath(Node)) FVisibleCount -= CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
        Node->States.Exclude(vsVisible);
        if (Parent != FRoot) {
            if (FUpdateCount > 0) DoStateChange({tsUpdateHiddenChildrenNeeded});
            else RecheckAllChildrenHidden(Parent);
        }
    }
    InvalidatePositionCache();
    if (FVisibleCount != OldCount && FUpdateCount == 0) {
        RevalidatePositionCache();
        UpdateScrollBars(true);
        InvalidateTree();
    }
}

void TBaseLazyTree::SetFullyVisible(PLazyNode Node, bool Value) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter");
    SetVisible(Node, Value);
    if (!Value) return;
    for (PLazyNode Run = Node->Parent; Run != FRoot; Run = Run->Parent) {
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
        if (!Run->States.Contains(vsVisible)) SetVisible(Run, true);
    }
}

void TBaseLazyTree::SetVisiblePath(PLazyNode Node, bool Value) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    if (!Value) return;
    for (PLazyNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
}

void TBaseLazyTree::SetFiltered(PLazyNode Node, bool Value) {
    TreeAssert(Node && Node != FRoot, "Invalid parameter.");
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Value == Node->States.Contains(vsFiltered)) return;
    StopCacheValidation();
    Cardinal OldCount = FVisibleCount;
    bool Shows = FOptions->PaintOptions().Contains(toShowFilteredNodes);
    if (Value) {
        Node->States.Include(vsFiltered);
        if (!Shows) {
            if (Node->States.Contains(vsInitializing) && Node->ChildCount == 0) Node->TotalHeight = 0;
            else AddToTotalHeight(Node, -Int64(Node->NodeHeight), true);
            if (GetFullyVisible(Node)) --FVisibleCount;
        }
        if (Node->Parent != FRoot) {
            if (FUpdateCount > 0) DoStateChange({tsUpdateHiddenChildrenNeeded});
            else RecheckAllChildrenHidden(Node->Parent);
        }
    } else {
        Node->States.Exclude(vsFiltered);
        if (!Shows) {
            AddToTotalHeight(Node, Node->NodeHeight, true);
            if (GetFullyVisible(Node)) ++FVisibleCount;
        }
        if (Node->States.Contains(vsVisible)) Node->Parent->States.Exclude(vsAllChildrenHidden);
    }
    InvalidatePositionCache();
    if (FVisibleCount != OldCount && FUpdateCount == 0) {
        RevalidatePositionCache();
        UpdateScrollBars(true);
        InvalidateTree();
    }
}

bool TBaseLazyTree::GetMultiline(PLazyNode Node) const {
    return Node && Node != FRoot && Node->States.Contains(vsMultiline);
}

void TBaseLazyTree::SetMultiline(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot || Value == Node->States.Contains(vsMultiline)) return;
    if (Value) Node->States.Include(vsMultiline);
    else Node->States.Exclude(vsMultiline);
    if (FUpdateCount == 0) InvalidateNode(Node);
}
