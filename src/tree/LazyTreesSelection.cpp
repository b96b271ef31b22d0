// Selection: the address-sorted array with lazy removal, and its operations.

#include "tree/LazyTrees_p.h"

#include "framework/Threads.h"

#include <algorithm>
#include <typeinfo>

namespace {
inline bool Marked(PLazyNode N) { return (reinterpret_cast<std::uintptr_t>(N) & 1) != 0; }
inline PLazyNode Mark(PLazyNode N) { return reinterpret_cast<PLazyNode>(reinterpret_cast<std::uintptr_t>(N) | 1); }
inline PLazyNode Unmarked(PLazyNode N) { return reinterpret_cast<PLazyNode>(reinterpret_cast<std::uintptr_t>(N) & ~std::uintptr_t(1)); }
}  // namespace

bool TBaseLazyTree::LocateInSelection(PLazyNode Node, int& Index, int LowBound, int HighBound) const {
    if (LowBound < 0) LowBound = 0;
    if (HighBound < 0) HighBound = FSelectionCount - 1;
    bool Found = false;
    Index = LowBound;
    auto Key = reinterpret_cast<std::uintptr_t>(Node);
    while (LowBound <= HighBound) {
        int Middle = (LowBound + HighBound) / 2;
        auto Entry = reinterpret_cast<std::uintptr_t>(Unmarked(FSelection[Middle]));
        if (Entry < Key) {
            LowBound = Middle + 1;
        } else {
            HighBound = Middle - 1;
            if (Entry == Key) {
                Found = true;
                LowBound = Middle;
                break;
            }
        }
    }
    Index = LowBound;
    return Found;
}

void TBaseLazyTree::CompactSelectionArray() {
    if (FSelectionCount == 0) return;
    auto End = std::remove_if(FSelection.begin(), FSelection.begin() + FSelectionCount, Marked);
    FSelectionCount = int(End - FSelection.begin());
    FSelection.resize(FSelectionCount);
}

bool TBaseLazyTree::MergeIntoSelection(TNodeArray NewItems, int NewLength, bool ForceInsert) {
    NewItems.resize(NewLength);
    TNodeArray Accepted;
    if (ForceInsert) {
        Accepted = NewItems;
        for (PLazyNode N : Accepted) {
            N->States.Include(vsSelected);
            if (OnAddToSelection) OnAddToSelection(this, N);
        }
    } else {
        TLTSelectionOptions Sel = FOptions->SelectionOptions();
        if (Sel.Contains(toLevelSelectConstraint) && FLastSelectionLevel == -1 && !NewItems.empty())
            FLastSelectionLevel = int(GetNodeLevel(NewItems[0]));
        if (Sel.Contains(toSiblingSelectConstraint) && !FRangeAnchor && !NewItems.empty()) FRangeAnchor = NewItems[0];
        for (PLazyNode N : NewItems) {
            if (N->States.Contains(vsDisabled) || N->States.Contains(vsSelected)) continue;
            if (Sel.Contains(toLevelSelectConstraint) && int(GetNodeLevel(N)) != FLastSelectionLevel) continue;
            if (Sel.Contains(toSiblingSelectConstraint) && FRangeAnchor && N->Parent != FRangeAnchor->Parent) continue;
            N->States.Include(vsSelected);
            Accepted.push_back(N);
            if (OnAddToSelection) OnAddToSelection(this, N);
        }
    }
    if (Accepted.empty()) return false;
    // Entries marked removed keep their sorted place until compaction.
    FSelection.resize(FSelectionCount);
    std::sort(Accepted.begin(), Accepted.end(), std::less<>());
    TNodeArray Merged;
    Merged.reserve(FSelection.size() + Accepted.size());
    std::merge(FSelection.begin(), FSelection.end(), Accepted.begin(), Accepted.end(), std::back_inserter(Merged),
               [](PLazyNode A, PLazyNode B) { return std::less<>()(Unmarked(A), Unmarked(B)); });
    TreeAssert(Merged.size() == FSelection.size() + Accepted.size(), "The count of placed nodes does not match.");
    FSelection.swap(Merged);
    FSelectionCount = int(FSelection.size());
    return true;
}

bool TBaseLazyTree::AddToSelection(PLazyNode Node) {
    if (SelectionLocked) return false;
    TreeAssert(Node != nullptr, "Node must not be nil!");
    if (!MergeIntoSelection(TNodeArray{Node}, 1, false)) return false;
    if (FSelectionCount == 1) {
        FFocusedNode = Node;
    }
    InvalidateNode(Node);
    Changed(Node);
    return true;
}

bool TBaseLazyTree::AddToSelection(const TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    if (SelectionLocked) return false;
    if (!MergeIntoSelection(NewItems, NewLength, ForceInsert)) return false;
    if (NewLength == 1) {
        InvalidateNode(NewItems[0]);
        Changed(NewItems[0]);
    } else {
        InvalidateTree();
        Changed(nullptr);
    }
    return true;
}

void TBaseLazyTree::RemoveFromSelection(PLazyNode Node) {
    if (SelectionLocked) return;
    TreeAssert(Node != nullptr, "Node must not be nil!");
    if (!IsMainThread())
        Assert(false, S(typeid(*this).name()) + u".RemoveFromSelection() must only be called from UI thread.");
    if (!Node->States.Contains(vsSelected)) return;
    Node->States.Exclude(vsSelected);
    int Index;
    if (LocateInSelection(Node, Index)) {
        FSelection.erase(FSelection.begin() + Index);
        --FSelectionCount;
    }
    if (FSelectionCount == 0) AnchorAtFocusedNode();
    if (FSelectionCount <= 1) RememberNextNodeToSelect(Node);
    DoRemoveFromSelection(Node);
    Changed(Node);
}

void TBaseLazyTree::MarkRemovedFromSelection(PLazyNode Node) {
    int Index;
    if (!LocateInSelection(Node, Index)) return;
    Node->States.Exclude(vsSelected);
    FSelection[Index] = Mark(FSelection[Index]);
    DoRemoveFromSelection(Node);
    RecordPendingChange(false, Node, crIgnore);
}

void TBaseLazyTree::DoRemoveFromSelection(PLazyNode Node) {
    if (OnRemoveFromSelection) OnRemoveFromSelection(this, Node);
}

void TBaseLazyTree::DropSelection() {
    if (FUpdateCount > 0) CompactSelectionArray();
    for (int I = FSelectionCount - 1; I >= 0; --I) {
        PLazyNode N = FSelection[I];
        if (Marked(N)) continue;
        N->States.Exclude(vsSelected);
        DoRemoveFromSelection(N);
    }
    FSelectionCount = 0;
    AnchorAtFocusedNode();
    FSelection.clear();
    DoStateChange({}, {tsClearPending});
}

void TBaseLazyTree::ClearSelectionNotify(bool Notify) {
    if (SelectionLocked || FSelectionCount == 0 || IsDestroying()) return;
    DropSelection();
    if (Notify) Changed(nullptr);
}

void TBaseLazyTree::AnchorAtFocusedNode() {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

void TBaseLazyTree::SetSelected(PLazyNode Node, bool Value) {
    if (SelectionLocked || !Node || Node == FRoot || Value == Node->States.Contains(vsSelected)) return;
    bool Multi = FOptions->SelectionOptions().Contains(toMultiSelect);
    if (Value) {
        if (FSelectionCount == 0) FRangeAnchor = Node;
        else if (!Multi) ClearSelection();
        AddToSelection(Node);
        if (!Multi) SetFocusedNode(Node);
        if (!FRangeAnchor) FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0) AnchorAtFocusedNode();
    }
    if (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

void TBaseLazyTree::SelectAll(bool VisibleOnly) {
    if (SelectionLocked || !FOptions->SelectionOptions().Contains(toMultiSelect)) return;
    TNodeArray List;
    for (PLazyNode Run = VisibleOnly ? GetFirstVisible() : GetFirst(); Run;
         Run = VisibleOnly ? GetNextVisible(Run) : GetNext(Run))
        if (!Run->States.Contains(vsSelected)) List.push_back(Run);
    if (!List.empty()) AddToSelection(List, int(List.size()), false);
    InvalidateTree();
}

void TBaseLazyTree::InvertSelection(bool VisibleOnly) {
    if (SelectionLocked || !FOptions->SelectionOptions().Contains(toMultiSelect)) return;
    TNodeArray List;
    bool HadSelection = FSelectionCount > 0;
    for (PLazyNode Run = VisibleOnly ? GetFirstVisibleNoInit() : GetFirstNoInit(); Run;
         Run = VisibleOnly ? GetNextVisibleNoInit(Run) : GetNextNoInit(Run)) {
        if (Run->States.Contains(vsSelected)) MarkRemovedFromSelection(Run);
        else List.push_back(Run);
    }
    CompactSelectionArray();
    if (!List.empty()) AddToSelection(List, int(List.size()), false);
    else if (HadSelection) Changed(nullptr);
    InvalidateTree();
    if (FSelectionCount == 0) FNextNodeToSelect = nullptr;
}

void TBaseLazyTree::SelectRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly) {
    if (SelectionLocked) return;
    TreeAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (!StartNode || !GetFullyVisible(StartNode)) {
        PLazyNode Previous = StartNode ? GetPreviousVisible(StartNode) : nullptr;
        StartNode = Previous ? Previous : GetFirstVisible();
    }
    if (CompareTreeOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    PLazyNode Anchor = FRangeAnchor;
    if (!AddOnly) DropSelection();
    TNodeArray List;
    for (PLazyNode Run = StartNode; Run; Run = GetNextVisible(Run)) {
        if (!Run->States.Contains(vsSelected)) List.push_back(Run);
        if (Run == EndNode) break;
    }
    if (!List.empty()) AddToSelection(List, int(List.size()), false);
    if (Anchor && Anchor->States.Contains(vsSelected)) FRangeAnchor = Anchor;
}

void TBaseLazyTree::ToggleRange(PLazyNode StartNode, PLazyNode EndNode) {
    if (SelectionLocked) return;
    TreeAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (!StartNode) {
        StartNode = FRoot->FirstChild;
    } else if (!GetFullyVisible(StartNode)) {
        PLazyNode Previous = GetPreviousVisible(StartNode);
        StartNode = Previous ? Previous : FRoot->FirstChild;
    }
    if (!StartNode) return;
    int Order = CompareTreeOrder(StartNode, EndNode, true);
    if (Order == 0) return;
    if (Order > 0) std::swap(StartNode, EndNode);
    TNodeArray List;
    auto Toggle = [&](PLazyNode N) {
        if (N->States.Contains(vsSelected)) MarkRemovedFromSelection(N);
        else List.push_back(N);
    };
    PLazyNode Anchor = FRangeAnchor;
    for (PLazyNode Run = StartNode; Run; Run = GetNextVisible(Run)) {
        bool First = Run == StartNode, Last = Run == EndNode;
        if (First) {
            if (Anchor && CompareTreeOrder(Run, Anchor, true) < 0) Toggle(Run);
        } else if (Last) {
            if (Anchor && CompareTreeOrder(Run, Anchor, true) > 0) Toggle(Run);
        } else {
            Toggle(Run);
        }
        if (Last) break;
    }
    CompactSelectionArray();
    if (Anchor && !Anchor->States.Contains(vsSelected)) List.push_back(Anchor);
    if (!List.empty()) AddToSelection(List, int(List.size()), false);
}

void TBaseLazyTree::UnselectRange(PLazyNode StartNode, PLazyNode EndNode) {
    if (SelectionLocked) return;
    TreeAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (!StartNode || !GetFullyVisible(StartNode)) {
        PLazyNode Previous = StartNode ? GetPreviousVisible(StartNode) : nullptr;
        StartNode = Previous ? Previous : FRoot->FirstChild;
    }
    if (!StartNode) return;
    if (CompareTreeOrder(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
    for (PLazyNode Run = StartNode; Run; Run = GetNextVisible(Run)) {
        MarkRemovedFromSelection(Run);
        if (Run == EndNode) break;
    }
    CompactSelectionArray();
}

void TBaseLazyTree::ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, TShiftState Shift, bool DragPending) {
    (void)LastFocused;
    bool Ctrl = Shift.Contains(ssCtrl), ShiftDown = Shift.Contains(ssShift);
    if (Ctrl && ShiftDown) {
        SelectRange(FRangeAnchor, NewNode, true);
    } else if (Ctrl) {
        if (!FOptions->SelectionOptions().Contains(toSiblingSelectConstraint)) FRangeAnchor = NewNode;
        if (DragPending) {
            DoStateChange({tsToggleFocusedSelection});
        } else if (NewNode->States.Contains(vsSelected)) {
            RemoveFromSelection(NewNode);
        } else {
            AddToSelection(NewNode);
        }
    } else if (ShiftDown) {
        if (!FRangeAnchor) FRangeAnchor = FRoot->FirstChild;
        if (FRangeAnchor) SelectRange(FRangeAnchor, NewNode, false);
    } else {
        if (!NewNode->States.Contains(vsSelected)) AddToSelection(NewNode);
        FRangeAnchor = NewNode;
    }
    InvalidateTree();
}

PLazyNode TBaseLazyTree::GetFirstSelected(bool ConsiderChildrenAbove) { return GetNextSelected(nullptr, ConsiderChildrenAbove); }

PLazyNode TBaseLazyTree::GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (FSelectionCount == 0) return nullptr;
    PLazyNode Run = !Node || Node == FRoot ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (Run && !Run->States.Contains(vsSelected)) Run = GetNextNoInit(Run, ConsiderChildrenAbove);
    if (Run && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
    return Run;
}

PLazyNode TBaseLazyTree::GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (FSelectionCount == 0) return nullptr;
    PLazyNode Run = !Node || Node == FRoot ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                           : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (Run && !Run->States.Contains(vsSelected)) Run = GetPreviousNoInit(Run, ConsiderChildrenAbove);
    if (Run && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
    return Run;
}

TNodeArray TBaseLazyTree::GetSortedSelection(bool Resolve) { return SortedNodesInState(vsSelected, Resolve); }

void TBaseLazyTree::EnsureNodeSelected() {
    if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode) || IsEmpty()) return;
    if (FSelectionCount == 0 && !SelectionLocked) {
        if (FNextNodeToSelect) SetSelected(FNextNodeToSelect, true);
        else if (Focused()) SetSelected(GetFirstVisible(), true);
    }
    if (!FFocusedNode) FocusSomeNode();
    if (PLazyNode First = GetFirstSelected()) ScrollIntoView(First, false, false);
}

// ---------------------------------------------------------------------------
// The rubber band
// ---------------------------------------------------------------------------

namespace {

TRect Ordered(const TRect& R) {
    return TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                 std::max(R.Top, R.Bottom)};
}

}  // namespace

void TBaseLazyTree::AddToTempList(PLazyNode Node) { FTempNodeCache.push_back(Node); }

void TBaseLazyTree::ClearTempList() { FTempNodeCache.clear(); }

bool TBaseLazyTree::TrackSelectionRect(int X, int Y) {
    if (FStates.Contains(tsDrawSelecting)) FLastSelRect = FNewSelRect;
    TRect Old = FNewSelRect;
    FNewSelRect.Right = std::clamp(X - ScrollOriginX(), 0, std::max(ClientWidth(), RangeX()));
    FNewSelRect.Bottom = std::clamp(Y - FOffsetY, 0, std::max(ClientHeight(), RangeY()));
    return FNewSelRect.Right != Old.Right || FNewSelRect.Bottom != Old.Bottom;
}

bool TBaseLazyTree::UpdateDrawSelection() {
    if (FRoot->ChildCount == 0 || !FStates.Contains(tsDrawSelecting)) return false;
    ClearTempList();
    // The main column's span in tree coordinates (the client width without columns) and its alignment.
    int Left = 0, Right = UseRightToLeftAlignment() ? std::max(ClientWidth(), RangeX()) : ClientWidth();
    TAlignment Alignment = FAlignment;
    const TColumnIndex Main = FHeader->GetMainColumn();
    if (FHeader->UseColumns() && FHeader->Columns().IsValidColumn(Main)) {
        const TLazyTreeColumn* Column = FHeader->Columns()[Main];
        const bool Fixed = Column->Options().Contains(coVisible) && Column->Options().Contains(coFixed);
        Left = Column->Left() - (Fixed ? FixedOriginX() : ScrollOriginX());
        Right = Left + Column->Width();
        Alignment = Column->Alignment();
    }
    bool Changed = CellRightToLeft(FHeader->UseColumns() ? Main : NoColumn)
                       ? SweepSelectionRightToLeft(Left, Ordered(FNewSelRect), Ordered(FLastSelRect), Right, Alignment)
                       : SweepSelectionLeftToRight(Left, Ordered(FNewSelRect), Ordered(FLastSelRect), Right, Alignment);
    if (Changed) {
        CompactSelectionArray();
        TNodeArray Collected;
        Collected.swap(FTempNodeCache);
        AddToSelection(Collected, int(Collected.size()), false);
        this->Changed(nullptr);
    }
    return Changed;
}

// The mirror image: the bands mirrored about the main column's span meet the nodes as a left-to-right
// sweep with the mirrored alignment sees them.
bool TBaseLazyTree::SweepSelectionRightToLeft(int Left, const TRect& NewRect, const TRect& OldRect, int Right,
                                              TAlignment Alignment) {
    auto Mirror = [&](const TRect& R) { return TRect{Left + Right - R.Right, R.Top, Left + Right - R.Left, R.Bottom}; };
    return SweepSelectionLeftToRight(Left, Mirror(NewRect), Mirror(OldRect), Right, ChangeBiDiModeAlignment(Alignment));
}

bool TBaseLazyTree::SweepSelectionLeftToRight(int Left, const TRect& NewRect, const TRect& OldRect, int Right,
                                              TAlignment Alignment) {
    const bool Invert = FDrawSelShiftState.Contains(ssCtrl);
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const bool Simple = Selection.Contains(toSimpleDrawSelection) || Selection.Contains(toFullRowSelect);
    const bool ShowRoot = FOptions->PaintOptions().Contains(toShowRoot);
    const bool ShowFiltered = FOptions->PaintOptions().Contains(toShowFilteredNodes);
    const bool UseColumns = FHeader->UseColumns();
    const TLazyTreeColumns& Columns = FHeader->Columns();
    const TColumnIndex Main = FHeader->GetMainColumn();
    const bool Span = UseColumns && FOptions->AutoOptions().Contains(toAutoSpanColumns) && Columns.IsValidColumn(Main);
    const int MinY = std::min(NewRect.Top, OldRect.Top);
    const int MaxY = std::max(NewRect.Bottom, OldRect.Bottom);
    int Top = 0;
    PLazyNode Run = GetNodeAt(0, MinY + FOffsetY, &Top);
    Top -= FOffsetY;
    bool Changed = false;
    auto Overlaps = [](const TRect& Band, int BoxLeft, int BoxRight, int RowTop, int RowBottom) {
        return Band.Left <= BoxRight && Band.Right >= BoxLeft && Band.Top < RowBottom && Band.Bottom > RowTop;
    };
    for (; Run && Top < MaxY; Run = GetNextVisibleNoInit(Run, false)) {
        if (Run->States.Contains(vsFiltered) && !ShowFiltered) continue;
        const int Bottom = Top + int(Run->NodeHeight);
        const int Level = int(GetNodeLevel(Run)) + (ShowRoot ? 1 : 0);
        const int NodeLeft = Left + FMargin + int(FIndent) * (FOptions->PaintOptions().Contains(toFixedIndent) ? 1 : Level);
        bool InNew, InOld;
        if (Simple) {
            // A band left of the columns' end reaching past the indentation takes the row.
            auto Takes = [&](const TRect& Band) {
                return Band.Top < Bottom && Band.Bottom > Top && Band.Right > NodeLeft &&
                       (!UseColumns || Band.Left < Columns.TotalWidth());
            };
            InNew = Takes(NewRect);
            InOld = Takes(OldRect);
        } else {
            int TextLeft = NodeContentLeft(Run) - MainColumnOrigin() + Left;
            int TextRight = Right;
            // Empty neighbour cells lend the text their room.
            if (Span)
                for (TColumnIndex Next = Columns.GetNextVisibleColumn(Main); Next >= 0 && DoGetCellIsEmpty(Run, Next);
                     Next = Columns.GetNextVisibleColumn(Next))
                    TextRight += Columns[Next]->Width();
            const int Width = QueryCellTextWidth(Run, Main);
            const bool WholeCell = (TextLeft >= NewRect.Left && TextLeft >= OldRect.Left && Alignment == taLeftJustify) ||
                                   Width > TextRight - TextLeft;
            if (!WholeCell) {
                if (Alignment == taLeftJustify) {
                    TextRight = TextLeft + Width;
                } else if (Alignment == taCenter) {
                    TextLeft = (TextLeft + TextRight - Width) / 2;
                    TextRight = TextLeft + Width;
                } else {
                    TextLeft = TextRight - Width;
                }
            }
            InNew = Overlaps(NewRect, TextLeft, TextRight, Top, Bottom);
            InOld = Overlaps(OldRect, TextLeft, TextRight, Top, Bottom);
        }
        if (InNew != InOld) {
            if (Invert ? GetSelected(Run) : InOld) MarkRemovedFromSelection(Run);
            else if (!GetSelected(Run)) AddToTempList(Run);
            Changed = true;
        }
        Top = Bottom;
    }
    return Changed;
}
