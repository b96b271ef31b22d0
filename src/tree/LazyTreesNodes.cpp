// The node model: blocks, linking, adding, deleting, initialisation on demand.

#include "tree/LazyTrees_p.h"

#include <algorithm>
#include <new>
#include <typeinfo>

#include <sys/mman.h>

// ---------------------------------------------------------------------------
// Node record
// ---------------------------------------------------------------------------

void* TLazyNode::GetData() {
    States.Include(vsOnFreeNodeCallRequired);
    return RawData();
}

void TLazyNode::SetData(void* UserData) {
    std::memcpy(RawData(), &UserData, sizeof(void*));
    States.Include(vsOnFreeNodeCallRequired);
}

void TLazyNode::SetData(std::shared_ptr<void> UserData) {
    new (RawData()) std::shared_ptr<void>(std::move(UserData));
    States.Include(vsOnFreeNodeCallRequired);
    States.Include(vsReleaseCallOnUserDataRequired);
}

// ---------------------------------------------------------------------------
// Block pool
// ---------------------------------------------------------------------------

void TBaseLazyTree::TNodePool::AddChunk(std::size_t Bytes) {
    Chunks.reserve(Chunks.size() + 1);
    if (Bytes >= MappedChunkBytes) {
        void* Data = ::mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (Data != MAP_FAILED) {
            Chunks.push_back({static_cast<std::byte*>(Data), Bytes, true});
            ChunkZeroed = true;
            return;
        }
    }
    Chunks.push_back({new std::byte[Bytes], Bytes, false});
    ChunkZeroed = false;
}

void TBaseLazyTree::TNodePool::ReleaseChunks() {
    for (const TChunk& Chunk : Chunks)
        if (Chunk.Mapped) ::munmap(Chunk.Data, Chunk.Bytes);
        else delete[] Chunk.Data;
    Chunks.clear();
}

// ---------------------------------------------------------------------------
// Blocks and totals
// ---------------------------------------------------------------------------

void TBaseLazyTree::CreateRootNode() {
    if (FRoot) return;
    FRootBlockSize = TLazyNode::DataOffset + FTotalInternalDataSize;
    void* Block = ::operator new(FRootBlockSize);
    std::memset(Block, 0, FRootBlockSize);
    FRoot = new (Block) TLazyNode;
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRoot->Parent = reinterpret_cast<PLazyNode>(this);
    FRoot->States = {vsInitialized, vsExpanded, vsHasChildren, vsVisible};
    FRoot->NodeHeight = Word(FDefaultNodeHeight);
    FRoot->TotalHeight = FDefaultNodeHeight;
    FRoot->TotalCount = 1;
    FRoot->Align = 50;
}

std::size_t TBaseLazyTree::NodeBlockSize() {
    if (FNodeDataSize == -1) {
        int Size = DoGetNodeDataSize();
        FNodeDataSize = Size < -1 ? -1 : Size;
    }
    return TNodePool::BlockSizeFor(TLazyNode::DataOffset + std::size_t(std::max(FNodeDataSize, 0)) +
                                   FTotalInternalDataSize);
}

inline PLazyNode TBaseLazyTree::NewNodeBlockOfSize(std::size_t Size) {
    // The block comes zeroed: only the fields that do not start at zero are set.
    PLazyNode Node = new (FPool->Allocate(Size)) TLazyNode;
    Node->TotalCount = 1;
    Node->TotalHeight = FDefaultNodeHeight;
    Node->NodeHeight = Word(std::min<Cardinal>(FDefaultNodeHeight, 65535));
    Node->States = {vsVisible};
    Node->Align = 50;
    return Node;
}

PLazyNode TBaseLazyTree::NewNodeBlock() { return NewNodeBlockOfSize(NodeBlockSize()); }

void TBaseLazyTree::FreeNodeBlock(PLazyNode Node) { FPool->Release(Node); }

TBaseLazyTree* TBaseLazyTree::TreeFromNode(PLazyNode Node) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    while (Node->NextSibling != Node) Node = Node->Parent;
    return reinterpret_cast<TBaseLazyTree*>(Node->Parent);
}

void TBaseLazyTree::AddToTotalCount(PLazyNode Node, int Value, bool Relative) {
    Int64 Difference = Relative ? Value : Int64(Value) - Int64(Node->TotalCount);
    if (Difference == 0) return;
    for (;;) {
        Node->TotalCount = Cardinal(Int64(Node->TotalCount) + Difference);
        if (Node == FRoot) break;
        Node = Node->Parent;
    }
}

void TBaseLazyTree::AddToTotalHeight(PLazyNode Node, Int64 Value, bool Relative) {
    Int64 Difference = Relative ? Value : Value - Int64(Node->TotalHeight);
    if (Difference == 0) return;
    for (;;) {
        Node->TotalHeight = Cardinal(Int64(Node->TotalHeight) + Difference);
        if (Node == FRoot || !Node->States.Contains(vsVisible) || !Node->Parent->States.Contains(vsExpanded))
            break;
        Node = Node->Parent;
    }
}

void TBaseLazyTree::RecountTotals(PLazyNode Node) {
    Node->TotalCount = 1;
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) {
        RecountTotals(Run);
        Node->TotalCount += Run->TotalCount;
    }
}

void TBaseLazyTree::RecomputeTotalHeights(PLazyNode Node) {
    Node->TotalHeight = GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight;
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) {
        RecomputeTotalHeights(Run);
        if (Node->States.Contains(vsExpanded) && Run->States.Contains(vsVisible))
            Node->TotalHeight += Run->TotalHeight;
    }
}

bool TBaseLazyTree::ReadOnly() const { return FOptions->MiscOptions().Contains(toReadOnly); }

std::size_t TBaseLazyTree::ReserveInternalData(std::size_t Size) {
    TreeAssert(FRoot->TotalCount == 1, "Internal data allocation must be done before any node is created.");
    std::size_t Offset = FTotalInternalDataSize;
    FTotalInternalDataSize += (Size + 3) / 4 * 4;
    std::size_t NewSize = TLazyNode::DataOffset + FTotalInternalDataSize;
    void* Block = ::operator new(NewSize);
    std::memset(Block, 0, NewSize);
    std::memcpy(Block, FRoot, FRootBlockSize);
    ::operator delete(FRoot);
    FRoot = static_cast<PLazyNode>(Block);
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRootBlockSize = NewSize;
    return Offset;
}

// ---------------------------------------------------------------------------
// Linking
// ---------------------------------------------------------------------------

void TBaseLazyTree::LinkNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode, TBaseLazyTree* TargetTree) {
    Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting};
    PLazyNode Parent;
    switch (Mode) {
    case amInsertBefore: {
        Parent = Destination->Parent;
        Node->Index = Destination->Index;
        for (PLazyNode Run = Destination; Run; Run = Run->NextSibling) ++Run->Index;
        Node->Parent = Parent;
        Node->NextSibling = Destination;
        Node->PrevSibling = Destination->PrevSibling;
        if (Destination->PrevSibling) Destination->PrevSibling->NextSibling = Node;
        Destination->PrevSibling = Node;
        if (Parent->FirstChild == Destination) Parent->FirstChild = Node;
        break;
    }
    case amInsertAfter: {
        Parent = Destination->Parent;
        Node->Index = Destination->Index + 1;
        for (PLazyNode Run = Destination->NextSibling; Run; Run = Run->NextSibling) ++Run->Index;
        Node->Parent = Parent;
        Node->PrevSibling = Destination;
        Node->NextSibling = Destination->NextSibling;
        if (Destination->NextSibling) Destination->NextSibling->PrevSibling = Node;
        Destination->NextSibling = Node;
        if (Parent->LastChild == Destination) Parent->LastChild = Node;
        break;
    }
    case amAddChildFirst: {
        Parent = Destination;
        Node->Index = 0;
        for (PLazyNode Run = Parent->FirstChild; Run; Run = Run->NextSibling) ++Run->Index;
        Node->Parent = Parent;
        Node->PrevSibling = nullptr;
        Node->NextSibling = Parent->FirstChild;
        if (Parent->FirstChild) Parent->FirstChild->PrevSibling = Node;
        else Parent->LastChild = Node;
        Parent->FirstChild = Node;
        break;
    }
    case amAddChildLast: {
        Parent = Destination;
        Node->Index = Parent->LastChild ? Parent->LastChild->Index + 1 : 0;
        Node->Parent = Parent;
        Node->NextSibling = nullptr;
        Node->PrevSibling = Parent->LastChild;
        if (Parent->LastChild) Parent->LastChild->NextSibling = Node;
        else Parent->FirstChild = Node;
        Parent->LastChild = Node;
        break;
    }
    default:
        return;
    }
    ++Parent->ChildCount;
    Parent->States.Include(vsHasChildren);
    TargetTree->AddToTotalCount(Parent, int(Node->TotalCount), true);
    if (Parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible)) {
        TargetTree->AddToTotalHeight(Parent, Node->TotalHeight, true);
        // Only rows the user can see count: the parent itself must be shown.
        if (TargetTree->GetFullyVisible(Parent))
            TargetTree->FVisibleCount += TargetTree->CountShownChildren(Node) +
                                         (TargetTree->GetEffectivelyVisible(Node) ? 1 : 0);
    }
    if (Parent != TargetTree->FRoot) {
        if (TargetTree->GetEffectivelyVisible(Node))
            Parent->States.Exclude(vsAllChildrenHidden);
        else if (Parent->ChildCount == 1)
            Parent->States.Include(vsAllChildrenHidden);
    }
}

void TBaseLazyTree::UnlinkNode(PLazyNode Node, bool KeepFocus, bool Reindex, bool ParentClearing) {
    TreeAssert(Node && Node != FRoot, "Node must neither be nil nor the root node.");
    if (Node == FFocusedNode && !KeepFocus) {
        FFocusedNode = nullptr;
        DoFocusChanged(nullptr, FFocusedColumn);
    }
    if (Node == FRangeAnchor) {
        FRangeAnchor = nullptr;
        FLastSelectionLevel = -1;
    }
    PLazyNode Parent = Node->Parent;
    if (Parent != FRoot && !ParentClearing) {
        if (FUpdateCount > 0) DoStateChange({tsUpdateHiddenChildrenNeeded});
        else RecheckAllChildrenHidden(Parent);
    }
    if (Node->States.Contains(vsDeleting)) return;
    Node->States.Exclude(vsChecking);
    // Tested before the parent may collapse below: the node was counted as shown.
    bool WasShown = GetFullyVisible(Node);
    --Parent->ChildCount;
    bool AdjustHeight = Parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
    if (Parent->ChildCount == 0) {
        Parent->States -= TLazyNodeStates{vsAllChildrenHidden, vsHasChildren};
        if (Parent != FRoot) Parent->States.Exclude(vsExpanded);
    }
    AddToTotalCount(Parent, -int(Node->TotalCount), true);
    if (AdjustHeight) AddToTotalHeight(Parent, -Int64(Node->TotalHeight), true);
    if (WasShown) FVisibleCount -= CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
    if (Node->PrevSibling) Node->PrevSibling->NextSibling = Node->NextSibling;
    else Parent->FirstChild = Node->NextSibling;
    if (Node->NextSibling) {
        Node->NextSibling->PrevSibling = Node->PrevSibling;
        if (Reindex) {
            Cardinal Index = Node->Index;
            for (PLazyNode Run = Node->NextSibling; Run; Run = Run->NextSibling) Run->Index = Index++;
        }
    } else {
        Parent->LastChild = Node->PrevSibling;
    }
}

// ---------------------------------------------------------------------------
// Adding
// ---------------------------------------------------------------------------

void TBaseLazyTree::StoreUserData(PLazyNode Node, void* UserData) {
    if (FNodeDataSize < int(sizeof(void*)))
        Assert(false, S(typeid(*this).name()) +
                          u": Cannot set initial user data because there is not enough user data space allocated.");
    Node->SetData(UserData);
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, void* UserData) {
    if (ReadOnly()) return nullptr;
    CancelEditNode();
    if (!Parent) Parent = FRoot;
    if (!Parent->States.Contains(vsInitialized)) InitializeNode(Parent);
    ++FUpdateCount;
    {
        TFinally Restore{[this] { --FUpdateCount; }};
        SetChildCount(Parent, Parent->ChildCount + 1);
        Parent->States.Exclude(vsAllChildrenHidden);
    }
    PLazyNode Result = Parent->LastChild;
    if (UserData) StoreUserData(Result, UserData);
    InvalidatePositionCache();
    if (FUpdateCount == 0) {
        RevalidatePositionCache();
        if (FStates.Contains(tsStructureChangePending))
            StructureChanged(Parent == FRoot ? nullptr : Parent, crChildAdded);
        if (AutoSortWanted())
            Sort(Parent, FHeader->SortColumn, FHeader->SortDirection, true);
        InvalidateToBottom(Parent);
        UpdateScrollBars(true);
    }
    return Result;
}

PLazyNode TBaseLazyTree::AddChild(PLazyNode Parent, std::shared_ptr<void> UserData) {
    if (FNodeDataSize != -1 && FNodeDataSize < int(sizeof(std::shared_ptr<void>)))
        Assert(false, S(typeid(*this).name()) +
                          u": Cannot set initial user data because there is not enough user data space allocated.");
    PLazyNode Node = AddChild(Parent, nullptr);
    if (Node) SetNodeData(Node, std::move(UserData));
    return Node;
}

PLazyNode TBaseLazyTree::InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData) {
    if (Mode == amNoWhere) return nullptr;
    CancelEditNode();
    if (!Node) Node = FRoot;
    PLazyNode Result = NewNodeBlock();
    if (Node == FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if ((Mode == amAddChildFirst || Mode == amAddChildLast) && !Node->States.Contains(vsInitialized))
        InitializeNode(Node);
    StopCacheValidation();
    LinkNode(Result, Node, Mode, this);
    if (UserData) StoreUserData(Result, UserData);
    if (FUpdateCount == 0) {
        if (AutoSortWanted())
            Sort(Mode == amAddChildFirst || Mode == amAddChildLast ? Node : Node->Parent,
                 FHeader->SortColumn, FHeader->SortDirection, true);
        UpdateScrollBars(true);
        InvalidateToBottom(Mode == amInsertBefore ? Result : Node);
    }
    InvalidatePositionCache();
    if (FUpdateCount == 0) RevalidatePositionCache();
    StructureChanged(Result, crNodeAdded);
    return Result;
}

Cardinal TBaseLazyTree::GetChildCount(PLazyNode Node) const {
    return Node ? Node->ChildCount : FRoot->ChildCount;
}

void TBaseLazyTree::SetChildCount(PLazyNode Node, Cardinal NewChildCount) {
    if (ReadOnly()) return;
    if (!Node) Node = FRoot;
    if (NewChildCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewChildCount == Node->ChildCount) return;
    StopCacheValidation();
    if (NewChildCount > Node->ChildCount) {
        Cardinal Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
        if (!Node->LastChild) Node->States.Include(vsHasChildren);
        Node->States -= TLazyNodeStates{vsAllChildrenHidden, vsHeightMeasured};
        Cardinal Added = NewChildCount - Node->ChildCount;
        bool Shown = Node->States.Contains(vsExpanded) && GetFullyVisible(Node);
        if (Shown) FVisibleCount += Added;
        // The block size is settled once for the whole run of new children.
        const std::size_t BlockSize = NodeBlockSize();
        PLazyNode Last = Node->LastChild;
        PLazyNode FirstNew = nullptr;
        for (Cardinal I = 0; I < Added; ++I) {
            PLazyNode Child = NewNodeBlockOfSize(BlockSize);
            Child->Index = Index++;
            Child->Parent = Node;
            Child->PrevSibling = Last;
            if (Last) Last->NextSibling = Child;
            else Node->FirstChild = Child;
            Last = Child;
            if (!FirstNew) FirstNew = Child;
        }
        Node->LastChild = Last;
        // Every new block starts with the default height as its total.
        const Int64 NewHeight = Int64(Added) * FDefaultNodeHeight;
        Node->ChildCount = NewChildCount;
        if (Node->States.Contains(vsExpanded)) AddToTotalHeight(Node, NewHeight, true);
        AddToTotalCount(Node, int(Added), true);
        // Measured once linked and counted, so each height change lands in the totals.
        if (FOptions->MiscOptions().Contains(toVariableNodeHeight))
            for (PLazyNode Run = FirstNew; Run; Run = Run->NextSibling) GetNodeHeight(Run);
        if (FUpdateCount == 0 && AutoSortWanted())
            Sort(Node, FHeader->SortColumn, FHeader->SortDirection, true);
        InvalidatePositionCache();
    } else {
        while (Node->ChildCount > NewChildCount) DeleteNode(Node->LastChild);
    }
    if (FUpdateCount == 0) {
        RevalidatePositionCache();
        UpdateScrollBars(true);
        InvalidateTree();
    }
    StructureChanged(Node == FRoot ? nullptr : Node, crChildAdded);
}

void TBaseLazyTree::SetRootNodeCount(Cardinal Value) {
    if (IsLoading()) {
        FRoot->ChildCount = Value;
        DoStateChange({tsNeedRootCountUpdate});
        return;
    }
    if (FRoot->ChildCount == Value) return;
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    StopCacheValidation();
    SetChildCount(FRoot, Value);
}

void TBaseLazyTree::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FNodeDataSize) return;
    FNodeDataSize = Value;
    if (IsLoading()) return;
    Cardinal Count = FRoot->ChildCount;
    Clear();
    SetRootNodeCount(Count);
}

void* TBaseLazyTree::GetNodeData(PLazyNode Node) {
    TreeAssert(FNodeDataSize > 0, "NodeDataSize not initialized.");
    if (!Node || Node == FRoot) return nullptr;
    return Node->GetData();
}

void TBaseLazyTree::SetNodeData(PLazyNode Node, void* UserData) {
    if (!Node || Node == FRoot) return;
    StoreUserData(Node, UserData);
}

void TBaseLazyTree::SetNodeData(PLazyNode Node, std::shared_ptr<void> UserData) {
    if (!Node || Node == FRoot) return;
    if (FNodeDataSize < int(sizeof(std::shared_ptr<void>)))
        Assert(false, S(typeid(*this).name()) +
                          u": Cannot set initial user data because there is not enough user data space allocated.");
    if (Node->States.Contains(vsReleaseCallOnUserDataRequired))
        *reinterpret_cast<std::shared_ptr<void>*>(Node->RawData()) = std::move(UserData);
    else
        Node->SetData(std::move(UserData));
}

bool TBaseLazyTree::GetHasChildren(PLazyNode Node) const {
    return (Node ? Node : FRoot)->States.Contains(vsHasChildren);
}

void TBaseLazyTree::SetHasChildren(PLazyNode Node, bool Value) {
    if (!Node || ReadOnly()) return;
    if (Value) {
        Node->States.Include(vsHasChildren);
        Node->States.Exclude(vsAllChildrenHidden);
    } else {
        if (Node->ChildCount > 0) DeleteChildren(Node, true);
        else Node->States.Exclude(vsHasChildren);
        if (Node->Parent && Node != FRoot) Node->States.Include(vsAllChildrenHidden);
    }
    InvalidateNode(Node);
}

bool TBaseLazyTree::GetChildrenInitialized(PLazyNode Node) const {
    return !(Node->States.Contains(vsHasChildren) && Node->ChildCount == 0);
}

bool TBaseLazyTree::GetDisabled(PLazyNode Node) const { return Node && Node->States.Contains(vsDisabled); }

void TBaseLazyTree::SetDisabled(PLazyNode Node, bool Value) {
    if (!Node || Node == FRoot || Value == Node->States.Contains(vsDisabled)) return;
    if (Value) Node->States.Include(vsDisabled);
    else Node->States.Exclude(vsDisabled);
    InvalidateNode(Node);
}

PLazyNode TBaseLazyTree::GetNodeParent(PLazyNode Node) const {
    if (!Node || Node == FRoot || Node->Parent == FRoot) return nullptr;
    return Node->Parent;
}

void TBaseLazyTree::SetNodeParent(PLazyNode Node, PLazyNode Value) {
    if (Node && Value && Value != Node->Parent) MoveTo(Node, Value, amAddChildLast, false);
}

// ---------------------------------------------------------------------------
// Deleting
// ---------------------------------------------------------------------------

void TBaseLazyTree::RememberNextNodeToSelect(PLazyNode Node) {
    if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode)) return;
    if (Node->NextSibling) FNextNodeToSelect = Node->NextSibling;
    else if (Node->PrevSibling) FNextNodeToSelect = Node->PrevSibling;
    else if (Node->Parent != FRoot) FNextNodeToSelect = Node->Parent;
    else FNextNodeToSelect = Node->FirstChild;
}

void TBaseLazyTree::DeleteNodeInternal(PLazyNode Node, bool Reindex, bool ParentClearing) {
    if (!Node || Node == FRoot || ReadOnly()) return;
    TreeAssert(!FStates.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    PLazyNode Parent = Node->Parent;
    if (!ParentClearing) StructureChanged(Parent == FRoot ? nullptr : Parent, crChildDeleted);
    if (Node->States.Contains(vsSelected)) {
        if (FUpdateCount == 0) {
            bool WasSynch = FStates.Contains(tsSynchMode);
            FStates.Include(tsSynchMode);
            TFinally Restore{[&] { if (!WasSynch) FStates.Exclude(tsSynchMode); }};
            RemoveFromSelection(Node);
        } else {
            MarkRemovedFromSelection(Node);
            if (FSelectionCount - 1 <= 1) RememberNextNodeToSelect(Node);
        }
    }
    InvalidateToBottom(Parent);
    if (FStates.Contains(tsHint)) DoStateChange({}, {tsHint});
    if (!ParentClearing) StopCacheValidation();
    DeleteChildren(Node, false);
    UnlinkNode(Node, false, Reindex, false);
    DoFreeNode(Node);
    if (!ParentClearing) {
        if (Parent != FRoot) RecheckAllChildrenHidden(Parent);
        InvalidatePositionCache();
        if (FUpdateCount == 0) {
            RevalidatePositionCache();
            UpdateScrollBars(true);
        }
    }
}

void TBaseLazyTree::DeleteChildren(PLazyNode Node, bool ResetHasChildren) {
    if (!Node) return;
    if (Node->ChildCount == 0 || ReadOnly()) {
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        return;
    }
    TreeAssert(!FStates.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    ++FUpdateCount;
    {
        TFinally Restore{[this] { --FUpdateCount; }};
        StopCacheValidation();
        bool Shown = Node == FRoot || (GetFullyVisible(Node) && Node->States.Contains(vsExpanded));
        for (PLazyNode Run = Node->LastChild; Run;) {
            PLazyNode Previous = Run->PrevSibling;
            if (Shown && GetEffectivelyVisible(Run)) --FVisibleCount;
            Run->States.Include(vsDeleting);
            if (Previous) Previous->NextSibling = nullptr;
            DeleteNodeInternal(Run, false, true);
            Run = Previous;
        }
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        if (Node != FRoot) Node->States.Exclude(vsExpanded);
        Node->ChildCount = 0;
        if (Node == FRoot || Node->States.Contains(vsDeleting)) {
            Node->TotalCount = 1;
            Node->TotalHeight = Node == FRoot ? Node->NodeHeight : (GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight);
        } else {
            AddToTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
            AddToTotalCount(Node, 1, false);
        }
        Node->FirstChild = nullptr;
        Node->LastChild = nullptr;
    }
    InvalidatePositionCache();
    if (FUpdateCount == 0) {
        CompactSelectionArray();
        RevalidatePositionCache();
        UpdateScrollBars(true);
        InvalidateToBottom(Node);
        if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
        EnsureNodeSelected();
    }
    StructureChanged(Node, crChildDeleted);
}

void TBaseLazyTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || ReadOnly()) return;
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    TNodeArray Nodes = GetSortedSelection(true);
    for (int I = int(Nodes.size()) - 1; I > 0; --I)
        DeleteNodeInternal(Nodes[I], Nodes[I]->Parent != Nodes[I - 1]->Parent, false);
    if (!Nodes.empty()) DeleteNodeInternal(Nodes[0], true, false);
}

void TBaseLazyTree::Clear() {
    if (FRoot->ChildCount == 0 || (ReadOnly() && !IsDestroying())) return;
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    StopCacheValidation();
    CancelEditNode();
    if (FStates.Contains(tsCopyPending) || FStates.Contains(tsCutPending))
        DoStateChange({}, {tsCopyPending, tsCutPending});
    ClearSelectionNotify(false);
    FFocusedNode = FLastSelected = FCurrentHotNode = FDropTargetNode = FLastChangedNode = nullptr;
    FRangeAnchor = FCheckNode = FLastFwDragTarget = FLastSearchNode = nullptr;
    DeleteChildren(FRoot, true);
}

void TBaseLazyTree::ForgetNode(PLazyNode Node) {
    if (FLastChangedNode == Node) FLastChangedNode = nullptr;
    if (FCurrentHotNode == Node) FCurrentHotNode = nullptr;
    if (FDropTargetNode == Node) FDropTargetNode = nullptr;
    if (FLastStructureChangeNode == Node) FLastStructureChangeNode = nullptr;
    if (FNextNodeToSelect == Node) FNextNodeToSelect = Node->Parent == FRoot ? nullptr : Node->Parent;
    // Nothing may keep naming a freed block.
    if (FCheckNode == Node) FCheckNode = nullptr;
    if (FLastSearchNode == Node) FLastSearchNode = nullptr;
    if (FHeightTrackNode == Node) FHeightTrackNode = nullptr;
    if (FLastFwDragTarget == Node) FLastFwDragTarget = nullptr;
    if (FHintNode == Node) FHintNode = nullptr;
    if (FLastSelected == Node) FLastSelected = nullptr;
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (FRangeAnchor == Node) FRangeAnchor = nullptr;
    std::erase(FDragSelection, Node);
    if (FEditNode == Node) CancelEditNode();
}

void TBaseLazyTree::DoFreeNode(PLazyNode Node) {
    ForgetNode(Node);
    if (Node->States.Contains(vsInitialized) || Node->States.Contains(vsOnFreeNodeCallRequired))
        if (OnFreeNode) OnFreeNode(this, Node);
    if (Node->States.Contains(vsReleaseCallOnUserDataRequired))
        std::destroy_at(reinterpret_cast<std::shared_ptr<void>*>(Node->RawData()));
    FreeNodeBlock(Node);
    if (FUpdateCount == 0) EnsureNodeSelected();
}

// ---------------------------------------------------------------------------
// Initialisation on demand
// ---------------------------------------------------------------------------

void TBaseLazyTree::InitializeNode(PLazyNode Node) {
    Node->States.Include(vsInitializing);
    // Every node passes here once: a try block rather than a guard object (see ToggleNode).
    try {
        InitializeNodeUnguarded(Node);
    } catch (...) {
        Node->States.Exclude(vsInitializing);
        throw;
    }
    Node->States.Exclude(vsInitializing);
}

void TBaseLazyTree::InitializeNodeUnguarded(PLazyNode Node) {
    TLazyNodeInitStates InitStates;
    bool WasFiltered = Node->States.Contains(vsFiltered);
    if (Node->States.Contains(vsInitialized)) InitStates.Include(ivsReInit);
    Node->States.Include(vsInitialized);
    DoInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, InitStates);
    // Most nodes are answered with no state at all.
    if (InitStates.Empty() && !Node->States.Contains(vsExpanded)) return;
    if (InitStates.Contains(ivsDisabled)) Node->States.Include(vsDisabled);
    if (InitStates.Contains(ivsHasChildren)) Node->States.Include(vsHasChildren);
    if (InitStates.Contains(ivsSelected)) {
        TNodeArray One{Node};
        AddToSelection(One, 1, false);
    }
    if (InitStates.Contains(ivsMultiline)) Node->States.Include(vsMultiline);
    if (InitStates.Contains(ivsFiltered) && !WasFiltered) {
        Node->States.Include(vsFiltered);
        if (!FOptions->PaintOptions().Contains(toShowFilteredNodes)) {
            AddToTotalHeight(Node, -Int64(Node->NodeHeight), true);
            if (GetFullyVisible(Node)) --FVisibleCount;
            if (FUpdateCount == 0) UpdateScrollBars(true);
        }
    }
    if (Node->States.Contains(vsExpanded) != InitStates.Contains(ivsExpanded)) {
        if (InitStates.Contains(ivsExpanded)) ToggleNode(Node);
        else if (Node->States.Contains(vsHasChildren)) InitializeChildren(Node);
    }
}

void TBaseLazyTree::InitializeChildren(PLazyNode Node) {
    if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren)) return;
    Cardinal Count = Node->ChildCount;
    if (DoInitChildren(Node, Count)) {
        SetChildCount(Node, Count);
        if (Count == 0) Node->States.Exclude(vsHasChildren);
    }
}

void TBaseLazyTree::ReinitNode(PLazyNode Node, bool Recursive) {
    if (!Node || Node == FRoot) return;
    Node->States -= TLazyNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured};
    if (Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Recursive) ReinitChildren(Node, true);
}

void TBaseLazyTree::ReinitChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    InitializeChildren(Node);
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) ReinitNode(Run, Recursive);
}

void TBaseLazyTree::ResetNode(PLazyNode Node) {
    CancelEditNode();
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    DoResetNode(Node);
    DeleteChildren(Node, false);
    Node->States -= TLazyNodeStates{vsInitialized, vsChecking, vsCutOrCopy, vsDeleting,
                                    vsExpanded, vsHasChildren, vsHeightMeasured};
    InvalidateNode(Node);
}

void TBaseLazyTree::ValidateNode(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    else if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Recursive) {
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
        for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) ValidateNode(Run, true);
    }
}

void TBaseLazyTree::ValidateChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) ValidateNode(Run, Recursive);
}

void TBaseLazyTree::InitRecursive(PLazyNode Node, Cardinal Levels, bool VisibleOnly) {
    if (!Node) Node = FRoot;
    else if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (Levels == 0 || (VisibleOnly && !Node->States.Contains(vsExpanded))) return;
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) InitRecursive(Run, Levels - 1, VisibleOnly);
}

Cardinal TBaseLazyTree::TotalCount() {
    ++FUpdateCount;
    TFinally Restore{[this] { --FUpdateCount; }};
    ValidateNode(FRoot, true);
    return FRoot->TotalCount - 1;
}

// ---------------------------------------------------------------------------
// Events of the node model
// ---------------------------------------------------------------------------

void TBaseLazyTree::DoInitNode(PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& InitStates) {
    if (OnInitNode) OnInitNode(this, Parent, Node, InitStates);
}

bool TBaseLazyTree::DoInitChildren(PLazyNode Node, Cardinal& ChildCount) {
    if (!OnInitChildren) return false;
    OnInitChildren(this, Node, ChildCount);
    return true;
}

int TBaseLazyTree::DoGetNodeDataSize() {
    int Size = int(sizeof(void*));
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
    return Size;
}

void TBaseLazyTree::DoResetNode(PLazyNode Node) {
    if (OnResetNode) OnResetNode(this, Node);
}
