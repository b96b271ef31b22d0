// Mouse and keyboard: hit testing, the two-step check-box click (pressed on
// button or key down, committed on release over the same box), expand
// buttons, selection and focus by click and by the navigation keys, the
// scroll bars and the wheel.

#include "tree/LazyTrees_p.h"

#include "framework/ComCtrls.h"
#include "framework/ImgList.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cstring>

TCheckState TBaseLazyTree::NextCheckState(TCheckType Type, TCheckState State) {
    switch (Type) {
    case ctTriStateCheckBox:
    case ctCheckBox: return ToggledCheckState(State);
    case ctRadioButton: return csCheckedNormal;
    case ctButton: return csUncheckedNormal;
    default: return csMixedNormal;
    }
}

TBaseLazyTree::THitInfo TBaseLazyTree::GetHitTestInfoAt(int X, int Y) {
    THitInfo Info;
    GetHitTestInfoAt(X, Y, true, Info);
    return Info;
}

void TBaseLazyTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo) {
    HitInfo = THitInfo{};
    if (X < 0) HitInfo.HitPositions.Include(hiToLeft);
    else if (X > std::max(ClientWidth(), RangeX())) HitInfo.HitPositions.Include(hiToRight);
    if (Y < 0) HitInfo.HitPositions.Include(hiAbove);
    else if (Y > std::max(ClientHeight(), RangeY())) HitInfo.HitPositions.Include(hiBelow);
    // Client and tree coordinates of the point; fixed columns do not scroll sideways.
    const int FixedWidth = FHeader->UseColumns() ? FHeader->Columns().GetVisibleFixedWidth() : 0;
    const int FixedLeft = FixedOriginX();
    const int Origin = X >= FixedLeft && X < FixedLeft + FixedWidth ? FixedLeft : ScrollOriginX();
    int ClientX = X, TreeX = X, TreeY = Y;
    if (Relative) {
        TreeX = X - Origin;
        TreeY = Y - FOffsetY;
    } else {
        ClientX = X + Origin;
    }
    HitInfo.HitPoint = TPoint{TreeX, TreeY};
    if (!HitInfo.HitPositions.Empty()) return;

    int NodeTop = 0;
    PLazyNode Node = GetNodeAt(0, TreeY + FOffsetY, &NodeTop);
    if (Node && !Node->States.Contains(vsInitialized)) InitializeNode(Node);
    HitInfo.HitNode = Node;
    int Left = 0, Right = 0, Offset = TreeX;
    if (FHeader->UseColumns()) {
        const TLazyTreeColumns& Columns = FHeader->Columns();
        HitInfo.HitColumn = Columns.ColumnAtWithBounds(TPoint{ClientX, 0}, Left, Right, true);
        if (Node && HitInfo.HitColumn >= 0 && FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
            // An empty cell belongs to the text that runs into it from the left.
            const TColumnIndex FirstHit = HitInfo.HitColumn;
            while (HitInfo.HitColumn >= 0 && DoGetCellIsEmpty(Node, HitInfo.HitColumn)) {
                const TColumnIndex Previous = Columns.GetPreviousVisibleColumn(HitInfo.HitColumn);
                if (Previous < 0) break;
                HitInfo.HitColumn = Previous;
                Left -= Columns[Previous]->Width();
            }
            for (TColumnIndex Next = Columns.GetNextVisibleColumn(FirstHit);
                 Next >= 0 && DoGetCellIsEmpty(Node, Next); Next = Columns.GetNextVisibleColumn(Next))
                Right += Columns[Next]->Width();
        }
        Offset = ClientX - Left;
        Right -= Left;
    } else {
        Right = std::max(ClientWidth(), RangeX());
    }
    if (!Node || HitInfo.HitColumn == InvalidColumn) {
        HitInfo.HitPositions.Include(hiNowhere);
        return;
    }
    HitInfo.HitPositions = {hiOnItem};
    if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
        const TRect R = GetDisplayRect(Node, HitInfo.HitColumn, false);
        const int ClientY = TreeY + FOffsetY;
        if (ClientY <= R.Top + 1) HitInfo.HitPositions.Include(hiUpperSplitter);
        else if (ClientY >= R.Bottom - 3) HitInfo.HitPositions.Include(hiLowerSplitter);
    }
    const TAlignment Alignment = CellTextAlignment(HitInfo.HitColumn);
    if (CellRightToLeft(HitInfo.HitColumn)) ClassifyHitRightToLeft(HitInfo, Offset, Alignment, Right);
    else ClassifyHitLeftToRight(HitInfo, Offset, Alignment, Right);
}

int TBaseLazyTree::HitIndent(PLazyNode Node) {
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    if (Paint.Contains(toFixedIndent)) return int(FIndent);
    return int(FIndent) * (int(GetNodeLevel(Node)) + (Paint.Contains(toShowRoot) ? 1 : 0));
}

int TBaseLazyTree::HitImageWidth(PLazyNode Node, TColumnIndex Column, bool State) {
    TImageList* Default = State ? FStateImages : FImages;
    if (!Default) return -1;
    bool Ghosted = false;
    TImageList* List = Default;
    const TLTImageKind Kind = State ? ikState : GetSelected(Node) ? ikSelected : ikNormal;
    return DoGetImageIndex(Node, Kind, Column, Ghosted, List) >= 0 && List ? List->Width() : -1;
}

// The button stands in the level nearest the content: Distance from the cell's leading edge.
void TBaseLazyTree::ClassifyHitIndent(THitInfo& HitInfo, int Distance, int Indent) {
    bool OnButton = false;
    if (FOptions->PaintOptions().Contains(toShowButtons) && HitInfo.HitNode->States.Contains(vsHasChildren)) {
        if (Distance >= Indent - int(FIndent)) {
            HitInfo.HitPositions.Include(hiOnItemButton);
            OnButton = true;
        }
        if (Distance >= Indent - ButtonBitmap(bpPlus).Width()) {
            HitInfo.HitPositions.Include(hiOnItemButtonExact);
            OnButton = true;
        }
    }
    if (!OnButton) HitInfo.HitPositions.Include(hiOnItemIndent);
}

bool TBaseLazyTree::ClassifyHitImages(THitInfo& HitInfo, int Distance, int& ImageOffset) {
    PLazyNode Node = HitInfo.HitNode;
    if (HitInfo.HitColumn == FHeader->GetMainColumn()) {
        if (ShowsCheck(Node)) ImageOffset += CheckImageSize() + 2;
        if (Distance < ImageOffset) {
            HitInfo.HitPositions = {hiOnItem};
            if (Node->CheckType != ctNone) HitInfo.HitPositions.Include(hiOnItemCheckbox);
            return true;
        }
    }
    for (const bool State : {true, false}) {
        const int Width = HitImageWidth(Node, HitInfo.HitColumn, State);
        if (Width < 0) continue;
        ImageOffset += Width + 2;
        if (Distance < ImageOffset) {
            HitInfo.HitPositions.Include(State ? hiOnStateIcon : hiOnNormalIcon);
            return true;
        }
    }
    return false;
}

void TBaseLazyTree::ClassifyHitRightToLeft(THitInfo& HitInfo, int Offset, TAlignment Alignment, int Right) {
    PLazyNode Node = HitInfo.HitNode;
    const TColumnIndex Column = HitInfo.HitColumn;
    const bool MainColumn = Column == FHeader->GetMainColumn();
    const int Indent = MainColumn ? HitIndent(Node) : 0;
    // The indentation lies at the cell's right edge, the level nearest the content holding the button.
    int Edge = Right - Indent;
    if (MainColumn && Offset >= Edge) {
        ClassifyHitIndent(HitInfo, Right - Offset, Indent);
        return;
    }
    if (!MainColumn && FOptions->MiscOptions().Contains(toReportMode)) return;
    // Check box and images measured from the leading (right) edge, as left to right from the left.
    int ImageOffset = Indent + FMargin;
    if (ClassifyHitImages(HitInfo, Right - Offset, ImageOffset)) return;
    Edge = Right - ImageOffset;
    const int TextWidth = QueryCellTextWidth(Node, Column);
    if (TextWidth > Edge) {
        HitInfo.HitPositions.Include(hiOnItemLabel);
        return;
    }
    switch (ChangeBiDiModeAlignment(Alignment)) {
    case taRightJustify:
        HitInfo.HitPositions.Include(Offset < Edge - TextWidth ? hiOnItemLeft : hiOnItemLabel);
        break;
    case taCenter: {
        const int Center = (Edge - TextWidth) / 2;
        HitInfo.HitPositions.Include(Offset < Center                 ? hiOnItemLeft
                                     : Offset < Center + TextWidth ? hiOnItemLabel
                                                                   : hiOnItemRight);
        break;
    }
    default: HitInfo.HitPositions.Include(Offset > TextWidth ? hiOnItemRight : hiOnItemLabel); break;
    }
}

void TBaseLazyTree::ClassifyHitLeftToRight(THitInfo& HitInfo, int Offset, TAlignment Alignment, int Right) {
    PLazyNode Node = HitInfo.HitNode;
    const TColumnIndex Column = HitInfo.HitColumn;
    const bool MainColumn = Column == FHeader->GetMainColumn();
    const int Indent = MainColumn ? HitIndent(Node) : 0;
    if (MainColumn && Offset < Indent + FMargin) {
        ClassifyHitIndent(HitInfo, Offset, Indent);
        return;
    }
    if (!MainColumn && FOptions->MiscOptions().Contains(toReportMode)) return;
    int ImageOffset = Indent + FMargin;
    if (ClassifyHitImages(HitInfo, Offset, ImageOffset)) return;
    const int TextWidth = QueryCellTextWidth(Node, Column);
    if (TextWidth > Right - ImageOffset) {
        HitInfo.HitPositions.Include(hiOnItemLabel);
        return;
    }
    switch (Alignment) {
    case taRightJustify:
        HitInfo.HitPositions.Include(Offset >= Right - TextWidth ? hiOnItemLabel : hiOnItemLeft);
        break;
    case taCenter: {
        const int Center = (ImageOffset + Right - TextWidth) / 2;
        HitInfo.HitPositions.Include(Offset < Center                 ? hiOnItemLeft
                                     : Offset < Center + TextWidth ? hiOnItemLabel
                                                                   : hiOnItemRight);
        break;
    }
    default: HitInfo.HitPositions.Include(Offset < ImageOffset + TextWidth ? hiOnItemLabel : hiOnItemRight); break;
    }
}

// ---------------------------------------------------------------------------
// Mouse buttons
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMLButtonDown(TWMMouse& Message) {
    DoStateChange({tsLeftButtonDown});
    TCustomControl::WMLButtonDown(Message);
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    ProcessMouseDown(Message, Hit);
}

void TBaseLazyTree::WMLButtonUp(TWMMouse& Message) {
    DoStateChange({}, {tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown});
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    ProcessMouseUp(Message, Hit);
    TCustomControl::WMLButtonUp(Message);
}

void TBaseLazyTree::WMLButtonDblClk(TWMMouse& Message) {
    DoStateChange({tsLeftDblClick});
    TCustomControl::WMLButtonDblClk(Message);
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    ProcessMouseDoubleClick(Message, Hit);
    DoStateChange({}, {tsLeftDblClick});
}

void TBaseLazyTree::WMRButtonDown(TWMMouse& Message) {
    DoStateChange({tsRightButtonDown});
    if (!FHeader->States.Empty()) return;
    TCustomControl::WMRButtonDown(Message);
    if (!FOptions->SelectionOptions().Contains(toRightClickSelect)) return;
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    ProcessMouseDown(Message, Hit);
}

void TBaseLazyTree::WMRButtonDblClk(TWMMouse& Message) {
    DoStateChange({tsRightDblClick});
    TCustomControl::WMRButtonDblClk(Message);
    if (FOptions->SelectionOptions().Contains(toRightClickSelect)) {
        THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
        ProcessMouseDoubleClick(Message, Hit);
    }
    DoStateChange({}, {tsRightDblClick});
}

void TBaseLazyTree::WMMButtonDown(TWMMouse& Message) {
    DoStateChange({tsMiddleButtonDown});
    if (!FHeader->States.Empty()) return;
    TCustomControl::WMMButtonDown(Message);
    const TPoint P{Message.XPos(), Message.YPos()};
    if (FOptions->MiscOptions().Contains(toWheelPanning) && !IsPanning() &&
        (RangeX() > ClientWidth() || RangeY() > ClientHeight())) {
        FLastClickPos = P;
        BeginPanning(ClientToScreen(P));
        return;
    }
    EndPanning();
    if (!FOptions->SelectionOptions().Contains(toMiddleClickSelect)) return;
    THitInfo Hit = GetHitTestInfoAt(P.X, P.Y);
    ProcessMouseDown(Message, Hit);
}

void TBaseLazyTree::WMMButtonUp(TWMMouse& Message) {
    DoStateChange({}, {tsMiddleButtonDown});
    if (IsPanning()) {
        // Released without dragging: panning goes on until the next click.
        if (FStates.Contains(tsWheelScrolling)) DoStateChange({}, {tsWheelPanning});
        else EndPanning();
        return;
    }
    if (!FHeader->States.Empty()) return;
    TCustomControl::WMMButtonUp(Message);
    if (!FOptions->SelectionOptions().Contains(toMiddleClickSelect)) return;
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    ProcessMouseUp(Message, Hit);
}

void TBaseLazyTree::WMMButtonDblClk(TWMMouse& Message) {
    DoStateChange({tsMiddleDblClick});
    TCustomControl::WMMButtonDblClk(Message);
    if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
        ProcessMouseDoubleClick(Message, Hit);
    }
    DoStateChange({}, {tsMiddleDblClick});
}

namespace {

TShiftState ReducedShiftState(WPARAM Keys) {
    const TShiftState All = KeysToShiftState(Keys);
    return All * TShiftState{ssShift, ssAlt, ssCtrl};
}

}  // namespace

void TBaseLazyTree::ProcessMouseDown(TWMMouse& Message, THitInfo& HitInfo) {
    const TPoint P{Message.XPos(), Message.YPos()};
    // While panning a click only ends it.
    if (IsPanning()) {
        EndPanning();
        return;
    }
    if (FStates.Contains(tsEditPending)) {
        StopTimer(2);
        DoStateChange({}, {tsEditPending});
    }
    if (IsEditing() && !DoEdited()) return;
    if (!Focused() && CanFocus()) {
        SetFocus();
        GetHitTestInfoAt(P.X, P.Y, true, HitInfo);
    }
    FHeader->Columns().SetClickIndex(HitInfo.HitColumn);

    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const TLTMiscOptions Misc = FOptions->MiscOptions();
    const THitPositions& At = HitInfo.HitPositions;
    PLazyNode HitNode = HitInfo.HitNode;
    bool ColumnChange = false;
    TColumnIndex NewColumn = FFocusedColumn;
    if (At.Contains(hiOnItemLabel) || Selection.Contains(toFullRowSelect) || Misc.Contains(toGridExtensions)) {
        ColumnChange = HitInfo.HitColumn != FFocusedColumn;
        NewColumn = Selection.Contains(toExtendedFocus) ? HitInfo.HitColumn : FHeader->GetMainColumn();
    }
    if (ColumnChange && !FHeader->AllowFocus(NewColumn)) {
        ColumnChange = false;
        NewColumn = FFocusedColumn;
    }
    const bool NodeChange = HitNode != FFocusedNode;
    TShiftState Shift = ReducedShiftState(Message.Keys());
    const bool AltPressed = Shift.Contains(ssAlt);
    Shift.Exclude(ssAlt);
    const bool IsCellHit = !AltPressed && !Selection.Contains(toSimpleDrawSelection) &&
                           (At.Contains(hiOnItemLabel) || At.Contains(hiOnNormalIcon));
    const bool FullRowHit = !AltPressed && !IsCellHit && HitNode && !At.Contains(hiNowhere) &&
                            !At.Contains(hiOnItemButton) && !At.Contains(hiOnItemCheckbox) &&
                            (Selection.Contains(toFullRowSelect) || (Misc.Contains(toGridExtensions) && HitInfo.HitColumn >= 0));
    const bool AnyHit = IsCellHit || FullRowHit;
    const bool MultiSelect = Selection.Contains(toMultiSelect);
    const bool ShiftEmpty = Shift.Empty();
    const bool NodeSelected = AnyHit && HitNode->States.Contains(vsSelected);
    const bool FullRowDrag = MultiSelect && !Selection.Contains(toDisableDrawSelection)
                                 ? Misc.Contains(toFullRowDrag) && FullRowHit && !At.Contains(hiNowhere) &&
                                       (NodeSelected || At.Contains(hiOnItemLabel) || At.Contains(hiOnNormalIcon))
                                 : Misc.Contains(toFullRowDrag);
    const bool HeightDrag = Message.Msg() == WM_LBUTTONDOWN && At.Contains(hiOnItem) &&
                            (At.Contains(hiUpperSplitter) || At.Contains(hiLowerSplitter));
    bool DragAllowed = (DragMode() == dmAutomatic || Dragging()) && (!FullRowHit || FullRowDrag);
    if (!DragAllowed && HitNode && DragMode() == dmManual)
        DragAllowed = DoDragAllowed(HitNode, NewColumn) && (FullRowDrag || IsCellHit);

    if (HeightDrag) {
        PLazyNode Node = At.Contains(hiUpperSplitter) ? GetPreviousVisible(HitNode, true) : HitNode;
        if (SplitterMayResizeNode(P, Node, HitInfo.HitColumn)) {
            FHeightTrackNode = Node;
            FHeightTrackColumn = HitInfo.HitColumn;
            const TRect R = GetDisplayRect(Node, HitInfo.HitColumn, false);
            FHeightTrackPoint = TPoint{R.Left, R.Top};
            DoStateChange({tsNodeHeightTrackPending});
            SetMouseCapture(true);
            return;
        }
    }
    if (At.Contains(hiOnItemButton) && HitNode && HitNode->States.Contains(vsHasChildren)) {
        ToggleNode(HitNode);
        return;
    }
    if (At.Contains(hiOnItemCheckbox)) {
        if (Message.Keys() & MK_LBUTTON) PressCheck(HitNode, tsMouseCheckPending);
        return;
    }
    if ((FRoot->ChildCount > 0 && ShiftEmpty) || FSelectionCount == 0) {
        PLazyNode Level = HitNode ? HitNode : GetLastVisible();
        FLastSelectionLevel = Level ? int(GetNodeLevel(Level)) : -1;
    }
    // A click on a selected node that may start a drag clears the other selected nodes only on release.
    if (MultiSelect && ShiftEmpty && AnyHit && DragAllowed && NodeSelected && !SelectionLocked)
        DoStateChange({tsClearPending});
    const bool NoPopup = !DragAllowed && (!FStates.Contains(tsRightButtonDown) ||
                                          !PopupMenuAvailable(HitNode, HitInfo.HitColumn, P));
    const bool MayDrawSelect = !Selection.Contains(toDisableDrawSelection) && !IsCellHit && !FullRowDrag;
    if (MayDrawSelect && MultiSelect) {
        SetMouseCapture(true);
        DoStateChange({tsDrawSelPending});
        FDrawSelShiftState = Shift;
        FNewSelRect = TRect{HitInfo.HitPoint.X, HitInfo.HitPoint.Y, HitInfo.HitPoint.X, HitInfo.HitPoint.Y};
        FLastSelRect = TRect{};
    }
    if (!SelectionLocked && ((!AnyHit && !FullRowDrag && MultiSelect && ShiftEmpty) ||
                             (AnyHit && (!NodeSelected || NoPopup) && (ShiftEmpty || !MultiSelect)))) {
        TreeAssert(!FStates.Contains(tsClearPending), "Pending and direct clearance are mutual exclusive!");
        if (NodeSelected || (AltPressed && HitNode && HitInfo.HitColumn == FHeader->GetMainColumn() &&
                             !At.Contains(hiNowhere))) {
            const bool WasMulti = FSelectionCount > 1;
            DropSelection();
            MergeIntoSelection(TNodeArray{HitNode}, 1, true);
            if (WasMulti) {
                InvalidateTree();
                Changed(nullptr);
            }
        } else if (!(At.Contains(hiNowhere) && Selection.Contains(toAlwaysSelectNode))) {
            ClearSelectionNotify(false);
        }
    }
    if (Focused() && HitNode && (At.Contains(hiOnItemLabel) || (Misc.Contains(toGridExtensions) && !At.Contains(hiNowhere))) &&
        HitNode->States.Contains(vsSelected) && !ColumnChange && ShiftEmpty)
        DoStateChange({tsEditPending});
    // Beside the content of a multi-selection tree the press waits for the band.
    if (MayDrawSelect && (MultiSelect || At.Contains(hiNowhere)) && !FullRowHit) return;
    FLastClickPos = P;
    if (AnyHit && DoFocusChanging(FFocusedNode, HitNode, FFocusedColumn, NewColumn)) {
        PLazyNode LastFocused = FFocusedNode;
        if (ColumnChange) {
            FFocusedColumn = NewColumn;
            InvalidateTree();
        }
        if (NodeChange) MoveFocus(HitNode, false);
        if (MultiSelect && !ShiftEmpty) {
            ApplyClickSelection(LastFocused, HitNode, Shift, DragAllowed);
        } else {
            if (ShiftEmpty) FRangeAnchor = HitNode;
            if (!HitNode->States.Contains(vsSelected)) AddToSelection(HitNode);
        }
        if (NodeChange || ColumnChange) {
            if (FFocusedNode)
                ScrollIntoView(FFocusedNode, Selection.Contains(toCenterScrollIntoView),
                               !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus) &&
                                   !Selection.Contains(toFullRowSelect));
            DoFocusChanged(FFocusedNode, FFocusedColumn);
        }
    }
    if (FSelectionCount == 0) Changed(nullptr);
    if (DragAllowed && AnyHit &&
        (FStates.Contains(tsLeftButtonDown) || FStates.Contains(tsMiddleButtonDown) ||
         FStates.Contains(tsRightButtonDown)))
        BeginDrag(false);
}

void TBaseLazyTree::ProcessMouseUp(TWMMouse& Message, THitInfo& HitInfo) {
    SetMouseCapture(false);
    if (FStates.Contains(tsFwDragPending)) return;
    if (IsMouseSelecting()) {
        DoStateChange({}, {tsToggleFocusedSelection, tsDrawSelPending, tsDrawSelecting});
        InvalidateTree();
    }
    if (FStates.Contains(tsClearPending)) {
        const bool WasSelected = FFocusedNode && FFocusedNode->States.Contains(vsSelected);
        ClearSelection();
        if (WasSelected) AddToSelection(FFocusedNode);
    }
    PLazyNode HitNode = HitInfo.HitNode;
    if (FStates.Contains(tsToggleFocusedSelection) && HitNode && HitNode == FFocusedNode) {
        if (!HitNode->States.Contains(vsSelected)) AddToSelection(HitNode);
        else if (!(FOptions->SelectionOptions().Contains(toAlwaysSelectNode) && FSelectionCount == 1))
            RemoveFromSelection(HitNode);
        InvalidateNode(HitNode);
    }
    DoStateChange({}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging, tsOLEDragPending,
                       tsScrolling, tsScrollPending});
    StopTimer(4);
    if (FStates.Contains(tsMouseCheckPending)) {
        DoStateChange({}, {tsMouseCheckPending});
        PLazyNode Node = FCheckNode;
        FCheckNode = nullptr;
        if (Node) {
            Node->CheckState = UnpressedCheckState(Node->CheckState);
            if (Node == HitNode && HitInfo.HitPositions.Contains(hiOnItem)) ChangeCheckState(Node, FPendingCheckState);
            InvalidateNode(Node);
        }
    }
    // The notices come after the check state: a handler sees the new one.
    const TShiftState Shift = KeysToShiftState(Message.Keys());
    const TColumnIndex ClickIndex = FHeader->Columns().ClickIndex();
    if (ClickIndex >= 0 && ClickIndex == HitInfo.HitColumn) DoColumnClick(HitInfo.HitColumn, Shift);
    if (HitNode) DoNodeClick(HitInfo);
    if (FStates.Contains(tsEditPending)) {
        if (HitNode && HitNode == FFocusedNode && HitInfo.HitPositions.Contains(hiOnItem) &&
            FOptions->MiscOptions().Contains(toEditOnClick) && HitInfo.HitColumn == FFocusedColumn &&
            CanEdit(FFocusedNode, HitInfo.HitColumn)) {
            FEditColumn = FFocusedColumn;
            StartTimer(2, EditDelay);
        } else {
            DoStateChange({}, {tsEditPending});
        }
    }
}

void TBaseLazyTree::ProcessMouseDoubleClick(TWMMouse& Message, THitInfo& HitInfo) {
    bool EditByDoubleClick = !IsEditing() && FOptions->MiscOptions().Contains(toEditOnDblClick);
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    const THitPositions& At = HitInfo.HitPositions;
    PLazyNode HitNode = HitInfo.HitNode;
    if (!IsEditing() || DoEdited()) {
        const TShiftState Shift = KeysToShiftState(Message.Keys());
        if (HitInfo.HitColumn == FHeader->Columns().ClickIndex()) DoColumnDblClick(HitInfo.HitColumn, Shift);
        if (HitNode) DoNodeDblClick(HitInfo);
        const TLazyTreeColumns& Columns = FHeader->Columns();
        const bool OnFixedEdge = HitNode && At.Contains(hiOnItem) && HitInfo.HitColumn >= 0 &&
                                 Columns.IsValidColumn(HitInfo.HitColumn) &&
                                 Columns[HitInfo.HitColumn]->Options().Contains(coFixed) &&
                                 (At.Contains(hiUpperSplitter) || At.Contains(hiLowerSplitter));
        const bool Toggles = At.Contains(hiOnItemButton) ||
                             (FOptions->MiscOptions().Contains(toToggleOnDblClick) &&
                              (At.Contains(hiOnItemLabel) || At.Contains(hiOnNormalIcon) ||
                               At.Contains(hiOnStateIcon) ||
                               (HitNode && FOptions->SelectionOptions().Contains(toFullRowSelect))));
        if (OnFixedEdge) {
            PLazyNode Node = At.Contains(hiUpperSplitter) ? GetPreviousVisible(HitNode, true) : HitNode;
            if (Node && Node != FRoot && FOptions->MiscOptions().Contains(toNodeHeightDblClickResize) &&
                DoNodeHeightDblClickResize(Node, HitInfo.HitColumn, Shift, TPoint{Message.XPos(), Message.YPos()})) {
                SetNodeHeight(Node, FDefaultNodeHeight);
                if (HandleAllocated()) Update();
                EditByDoubleClick = false;
            }
        } else if (At.Contains(hiOnItemCheckbox)) {
            if (Message.Keys() & MK_LBUTTON) {
                PressCheck(HitNode, tsMouseCheckPending);
                if (FCheckNode == HitNode && FStates.Contains(tsMouseCheckPending)) EditByDoubleClick = false;
            }
        } else if (Toggles && HitNode) {
            ToggleNode(HitNode);
            EditByDoubleClick = false;
        }
    }
    if (EditByDoubleClick && FFocusedNode && FFocusedNode == HitNode && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(FFocusedNode, HitInfo.HitColumn)) {
        DoStateChange({tsEditPending});
        FEditColumn = FFocusedColumn;
        StartTimer(2, 0);
    }
}

void TBaseLazyTree::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (IsPanning()) {
        // Dragged with the button held: the release ends panning.
        if (FStates.Contains(tsWheelPanning) && FStates.Contains(tsWheelScrolling) &&
            (std::abs(X - FLastClickPos.X) >= GetSystemMetrics(SM_CXDRAG) ||
             std::abs(Y - FLastClickPos.Y) >= GetSystemMetrics(SM_CYDRAG)))
            DoStateChange({}, {tsWheelScrolling});
        ChoosePanningCursor(X, Y);
        return;
    }
    if (TrackNodeHeight(Shift, X, Y)) return;
    if (MayAutoScroll()) ArmAutoScroll(X, Y);
    if (FStates.Contains(tsDrawSelPending)) {
        if (!TrackSelectionRect(X, Y)) return;
        TRect Band = FNewSelRect;
        if (std::abs(Band.Right - Band.Left) > GetSystemMetrics(SM_CXDRAG) ||
            std::abs(Band.Bottom - Band.Top) > GetSystemMetrics(SM_CYDRAG)) {
            // The band takes over from a selection waiting to be cleared on release.
            if (FStates.Contains(tsClearPending)) {
                DoStateChange({}, {tsClearPending});
                ClearSelection();
            }
            DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
            FFocusedColumn = FHeader->GetMainColumn();
            UpdateDrawSelection();
            Invalidate();
        }
        return;
    }
    if (FStates.Contains(tsDrawSelecting)) {
        // The scroll timer moves the band while the view scrolls.
        if (FStates.Contains(tsScrolling)) return;
        if (TrackSelectionRect(X, Y)) {
            UpdateDrawSelection();
            Invalidate();
        }
        return;
    }
    if (DragMouseMove(X, Y)) return;
    TrackHotNode(X, Y);
}

void TBaseLazyTree::TrackHotNode(int X, int Y) {
    const THitInfo Hit = GetHitTestInfoAt(X, Y);
    // A node is hot over its check box or its text (the explorer look also over the button itself), or
    // anywhere on its row when the full row selects.
    const THitPositions P = Hit.HitPositions;
    const bool Hot = Hit.HitNode &&
                     (P.Contains(hiOnItemCheckbox) || P.Contains(hiOnItemLabel) ||
                      (FStates.Contains(tsUseExplorerTheme) && P.Contains(hiOnItemButtonExact)) ||
                      (FOptions->SelectionOptions().Contains(toFullRowSelect) && !P.Contains(hiNowhere)));
    PLazyNode Old = FCurrentHotNode;
    ChangeHotNode(Hot ? Hit.HitNode : nullptr, Hot ? Hit.HitColumn : NoColumn);
    // Moving onto or off the button of the hot node changes its picture.
    const bool OnButton = FCurrentHotNode && P.Contains(hiOnItemButtonExact);
    if (FCurrentHotNode && (OnButton != FHotNodeButtonHit || FCurrentHotNode != Old))
        InvalidateNode(FCurrentHotNode);
    FHotNodeButtonHit = OnButton;
}

void TBaseLazyTree::ChangeHotNode(PLazyNode Hot, TColumnIndex Column) {
    if (Hot == FCurrentHotNode && Column == FCurrentHotColumn) return;
    PLazyNode Old = FCurrentHotNode;
    DoHotChange(Old, Hot);
    FCurrentHotNode = Hot;
    FCurrentHotColumn = Column;
    if (!Hot) FHotNodeButtonHit = false;
    if (Old) InvalidateNode(Old);
    if (Hot) InvalidateNode(Hot);
}

void TBaseLazyTree::CMMouseLeave(TMessage& Message) {
    // A hint shown for this tree is not valid any more, nor is automatic scrolling outside panning.
    if (FStates.Contains(tsHint)) FLastHintRect = TRect{};
    DoStateChange({}, {tsHint});
    if (!IsPanning()) {
        StopTimer(4);
        DoStateChange({}, {tsScrolling, tsScrollPending});
    }
    FHotNodeButtonHit = false;
    ChangeHotNode(nullptr);
    FHeader->Columns().ForgetMouse();
    DoMouseLeave();
    DefaultHandler(Message);
}

void TBaseLazyTree::WMNCHitTest(TMessage& Message) {
    TCustomControl::WMNCHitTest(Message);
    // The header band is frame to the window, not client area.
    if (HandleAllocated() && FHeader->Options.Contains(hoVisible) &&
        FHeader->InHeader(ScreenToClient(TPoint{SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())})))
        Message.Result = HTBORDER;
}

// The first half of a check: the box shows pressed, the new state waits for the release.
void TBaseLazyTree::PressCheck(PLazyNode Node, TLazyTreeState Pending) {
    if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
        Node->States.Contains(vsDisabled))
        return;
    TCheckState NewState = NextCheckState(Node->CheckType, Node->CheckState);
    if (!DoChecking(Node, NewState)) return;
    DoStateChange({Pending});
    FCheckNode = Node;
    FPendingCheckState = NewState;
    Node->CheckState = PressedCheckState(Node->CheckState);
    InvalidateNode(Node);
}

void TBaseLazyTree::HandleCheckKey(bool Down) {
    PLazyNode Node = FFocusedNode;
    if (Down) {
        if (Node && ShowsCheck(Node)) PressCheck(Node, tsKeyCheckPending);
        return;
    }
    if (!FStates.Contains(tsKeyCheckPending)) return;
    DoStateChange({}, {tsKeyCheckPending});
    PLazyNode Checked = FCheckNode;
    FCheckNode = nullptr;
    if (!Checked) return;
    Checked->CheckState = UnpressedCheckState(Checked->CheckState);
    if (Checked == FFocusedNode) ChangeCheckState(Checked, FPendingCheckState);
    InvalidateNode(Checked);
}

void TBaseLazyTree::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (!DoKeyAction(Key, Shift)) return;
    if (FStates.Contains(tsKeyCheckPending) && Key != VK_SPACE) {
        // Another key abandons a held check box.
        DoStateChange({}, {tsKeyCheckPending});
        if (FCheckNode) {
            FCheckNode->CheckState = UnpressedCheckState(FCheckNode->CheckState);
            InvalidateNode(FCheckNode);
        }
        FCheckNode = nullptr;
    }
    const bool Navigation = Key == VK_BACK || Key == VK_TAB || (Key >= VK_PRIOR && Key <= VK_DOWN);
    if (Navigation && FRoot->ChildCount > 0) {
        NavigationKey(Key, Shift);
        return;
    }
    // The four operator characters act as the keypad's keys wherever they are typed.
    Word Code = Key;
    switch (KeyToChar(Key, Shift - TShiftState{ssCtrl})) {
    case u'*': Code = VK_MULTIPLY; break;
    case u'+': Code = VK_ADD; break;
    case u'-': Code = VK_SUBTRACT; break;
    case u'/': Code = VK_DIVIDE; break;
    default: break;
    }
    PLazyNode Node = FFocusedNode;
    const bool Searching = FStates.Contains(tsIncrementalSearching);
    switch (Code) {
    case VK_MULTIPLY:
        if (Searching) DoStateChange({tsIncrementalSearchPending});
        else if (Node) FullExpand(Node);
        break;
    case VK_DIVIDE:
        if (Searching) DoStateChange({tsIncrementalSearchPending});
        else if (Node) FullCollapse(Node);
        break;
    case VK_ADD:
        if (Searching) DoStateChange({tsIncrementalSearchPending});
        else if (Shift.Contains(ssCtrl)) {
            if (FOptions->MiscOptions().Contains(toReverseFullExpandHotKey) != Shift.Contains(ssShift)) FullExpand();
            else FHeader->AutoFitColumns(true, smaUseColumnOption, -1, -1);
        } else if (Node && !Node->States.Contains(vsExpanded)) {
            ToggleNode(Node);
        }
        break;
    case VK_SUBTRACT:
        if (Searching) DoStateChange({tsIncrementalSearchPending});
        else if (Shift.Contains(ssCtrl)) {
            if (FOptions->MiscOptions().Contains(toReverseFullExpandHotKey) != Shift.Contains(ssShift)) FullCollapse();
            else FHeader->RestoreColumns();
        } else if (Node && Node->States.Contains(vsExpanded)) {
            ToggleNode(Node);
        }
        break;
    case VK_ESCAPE:
        if (IsMouseSelecting()) {
            DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
            InvalidateTree();
        } else if (IsEditing()) {
            CancelEditNode();
        }
        break;
    case VK_APPS: ContextMenuKey(); break;
    case VK_SPACE:
        if (FOptions->MiscOptions().Contains(toCheckSupport) && Node && Node->CheckType != ctNone)
            HandleCheckKey(true);
        else
            DoStateChange({tsIncrementalSearchPending});
        break;
    case 0x41:
        // Only the letter: in a key-down 0x61 is the keypad's 1.
        if (Shift.Contains(ssCtrl)) SelectAll(true);
        else DoStateChange({tsIncrementalSearchPending});
        break;
    case VK_F1:
        if (OnGetHelpContext) {
            int Context = 0;
            for (PLazyNode Run = Node; Run && Run != FRoot && Context == 0; Run = Run->Parent)
                OnGetHelpContext(this, Run, std::max(FFocusedColumn, 0), Context);
            for (TControl* Control = this; Control && Context == 0; Control = Control->Parent())
                Context = Control->HelpContext();
            if (Context != 0) Application->HelpContext(Context);
        }
        break;
    case VK_F2:
        if (Shift.Empty() && Node && CanEdit(Node, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            StartEditing();
        }
        break;
    default:
        // AltGr gives Ctrl and Alt together: it types characters too.
        if (Shift.Contains(ssAlt) == Shift.Contains(ssCtrl) && Code >= 0x20)
            DoStateChange({tsIncrementalSearchPending});
        break;
    }
}

void TBaseLazyTree::WMChar(TWMKey& Message) {
    if (FStates.Contains(tsIncrementalSearchPending)) {
        SearchIncrementally(Char(Message.CharCode()));
        DoStateChange({}, {tsIncrementalSearchPending});
    }
    TCustomControl::WMChar(Message);
}

void TBaseLazyTree::NavigationKey(Word Key, TShiftState Shift) {
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const TLTMiscOptions Misc = FOptions->MiscOptions();
    const TLazyTreeColumns& Columns = FHeader->Columns();
    const bool Ctrl = Shift.Contains(ssCtrl);
    // Ctrl with Left and Right scrolls towards its side of the screen, whichever way the tree reads.
    const int Direction = UseRightToLeftAlignment() ? -1 : 1;
    const bool ExtendSelection = Shift.Contains(ssShift) && Selection.Contains(toMultiSelect) && !IsEditing();
    bool RangeKey = (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME) && ExtendSelection;
    const bool InvalidateAll = RangeKey || FSelectionCount > 1;
    const bool ClearFirst = Shift.Empty() || (Misc.Contains(toGridExtensions) && !Shift.Contains(ssShift)) ||
                            !Selection.Contains(toMultiSelect) || Key == VK_BACK || Key == VK_TAB;
    PLazyNode Start = FFocusedNode;
    if (!Start && !Shift.Empty()) Start = GetFirstVisible();
    if (!FRangeAnchor) FRangeAnchor = GetFirstSelected() ? GetFirstSelected() : GetFirst();
    auto Drop = [this](PLazyNode Node) {
        if (Node) RemoveFromSelection(Node);
    };
    // The next (or previous) visible column that may take the focus.
    auto ColumnAfter = [&](TColumnIndex Column, bool Forward) {
        return Forward ? Columns.GetNextVisibleColumn(Column, true) : Columns.GetPreviousVisibleColumn(Column, true);
    };
    switch (Key) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching)) DoStateChange({tsIncrementalSearchPending});
        else if (FFocusedNode && FFocusedNode->Parent != FRoot) SetFocusedNode(FFocusedNode->Parent);
        break;
    case VK_TAB: {
        if (!Selection.Contains(toExtendedFocus) || !FHeader->UseColumns()) break;
        const bool Forward = !Shift.Contains(ssShift);
        PLazyNode Node = FFocusedNode ? FFocusedNode : GetFirstVisible();
        TColumnIndex Column = ColumnAfter(FFocusedColumn, Forward);
        // On to the first (last) cell of the next (previous) row; never round from the last cell to the first.
        while (Node) {
            while (Column >= 0 && !DoFocusChanging(FFocusedNode, Node, FFocusedColumn, Column))
                Column = ColumnAfter(Column, Forward);
            if (Column >= 0) {
                FocusCell(Node, Column);
                break;
            }
            Node = Forward ? GetNextVisible(Node) : GetPreviousVisible(Node);
            Column = Forward ? Columns.GetFirstVisibleColumn(true) : Columns.GetLastVisibleColumn(true);
        }
        break;
    }
    case VK_HOME:
    case VK_END: {
        // Right to left the two keys change places.
        const bool ToEnd = (Key == VK_END) != UseRightToLeftAlignment();
        PLazyNode Target = ToEnd ? GetLastVisible() : GetFirstVisible();
        TColumnIndex Column = NoColumn;
        if (FHeader->UseColumns()) {
            Column = ToEnd ? Columns.GetLastVisibleColumn() : Columns.GetFirstVisibleColumn();
            while (Column >= 0 && !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Column))
                Column = ToEnd ? Columns.GetPreviousVisibleColumn(Column) : Columns.GetNextVisibleColumn(Column);
            if (Column < NoColumn) return;
        }
        if (Shift == TShiftState{ssCtrl} && !Misc.Contains(toGridExtensions)) {
            // Only the view moves.
            if (Target)
                ScrollIntoView(Target, Selection.Contains(toCenterScrollIntoView),
                               !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
            SetOffsetXY(Key == VK_HOME && !UseRightToLeftAlignment() ? 0 : -2147483647, FOffsetY);
            break;
        }
        if (Target && (!Misc.Contains(toGridExtensions) || Ctrl)) SetFocusedNode(Target);
        if (Misc.Contains(toGridExtensions) && !Selection.Contains(toFullRowSelect) && Column >= 0)
            SetFocusedColumn(Column);
        break;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        const bool Up = Key == VK_PRIOR;
        if (Shift == TShiftState{ssShift, ssCtrl}) {
            SetOffsetXY(FOffsetX + (Up ? ClientWidth() : -ClientWidth()), FOffsetY);
            break;
        }
        if (Shift == TShiftState{ssShift, ssAlt}) {
            if (!FHeader->UseColumns()) break;
            if (!Columns.IsValidColumn(FFocusedColumn)) {
                SetFocusedColumn(Columns.GetFirstVisibleColumn());
                break;
            }
            // A page of columns: as many as fit beside the fixed ones, never onto a fixed one.
            TColumnIndex C = FFocusedColumn;
            int Width = Columns.GetVisibleFixedWidth();
            for (;;) {
                const TColumnIndex P = Up ? Columns.GetPreviousVisibleColumn(C) : Columns.GetNextVisibleColumn(C);
                if (P < 0 || Width + Columns[C]->Width() >= ClientWidth() || Columns[P]->Options().Contains(coFixed))
                    break;
                Width += Columns[C]->Width();
                C = P;
            }
            SetFocusedColumn(C);
            break;
        }
        if (Ctrl) {
            SetOffsetXY(FOffsetX, FOffsetY + (Up ? ClientHeight() : -ClientHeight()));
            break;
        }
        PLazyNode N = FFocusedNode;
        if (!N) {
            N = Up ? GetFirstVisible() : GetLastVisible();
        } else {
            int Sum = 0;
            for (;;) {
                PLazyNode Step = Up ? GetPreviousVisible(N, false) : GetNextVisible(N, false);
                if (!Step || Sum + int(N->NodeHeight) >= ClientHeight()) break;
                Sum += int(Up ? Step->NodeHeight : N->NodeHeight);
                N = Step;
            }
        }
        if (N) SetFocusedNode(N);
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        const bool Up = Key == VK_UP;
        if (Ctrl) {
            SetOffsetXY(FOffsetX, FOffsetY + (Up ? 1 : -1) * int(FDefaultNodeHeight));
            break;
        }
        PLazyNode New = FFocusedNode ? (Up ? GetPreviousVisible(FFocusedNode, false) : GetNextVisible(FFocusedNode, false))
                                     : (Up ? GetLastVisible() : GetFirstVisible());
        if (!New) {
            if (FFocusedNode) InvalidateNode(FFocusedNode);
            break;
        }
        if (IsEditing() && !EndEditNode()) return;
        // Moving back towards the anchor shrinks a range.
        int Order = Start ? CompareTreeOrder(Start, FRangeAnchor, false) : 0;
        if (!ExtendSelection || (Up ? Order > 0 : Order < 0)) Drop(FFocusedNode);
        SetFocusedNode(New);
        break;
    }
    case VK_LEFT: {
        PLazyNode Node = FFocusedNode;
        if (Ctrl) {
            SetOffsetXY(FOffsetX + Direction * Columns.GetScrollWidth(), FOffsetY);
        } else if (Selection.Contains(toExtendedFocus) && Misc.Contains(toGridExtensions)) {
            if (const TColumnIndex Column = ColumnAfter(FFocusedColumn, false); Column >= 0) SetFocusedColumn(Column);
        } else if (Node && Node->States.Contains(vsExpanded) && Node->ChildCount > 0 && Shift.Empty()) {
            ToggleNode(Node);
        } else if (!Node) {
            SetFocusedNode(GetFirstVisible());
        } else if (Node->Parent != FRoot) {
            if (ExtendSelection) {
                if (Node->Index > 0) RangeKey = true;
                else if (CompareTreeOrder(Start, FRangeAnchor, false) > 0) Drop(Node);
            }
            SetFocusedNode(Node->Parent);
        }
        break;
    }
    case VK_RIGHT: {
        PLazyNode Node = FFocusedNode;
        if (Ctrl) {
            SetOffsetXY(FOffsetX - Direction * Columns.GetScrollWidth(), FOffsetY);
        } else if (Selection.Contains(toExtendedFocus) && Misc.Contains(toGridExtensions)) {
            if (const TColumnIndex Column = ColumnAfter(FFocusedColumn, true); Column >= 0) SetFocusedColumn(Column);
        } else if (Node && !Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren) && Shift.Empty()) {
            ToggleNode(Node);
        } else if (!Node) {
            SetFocusedNode(GetFirstVisible());
        } else if (PLazyNode Child = GetFirstVisibleChild(Node)) {
            if (ExtendSelection && CompareTreeOrder(Child, FRangeAnchor, false) < 0) Drop(Node);
            SetFocusedNode(Child);
        }
        break;
    }
    default: break;
    }
    // The selection follows the focus.
    bool Cleared = false;
    if (ClearFirst && (Start != FFocusedNode || FSelectionCount != 1)) {
        ClearSelection();
        Cleared = true;
    }
    if (Shift.Empty() && FFocusedNode) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = int(GetNodeLevel(FFocusedNode));
    }
    if (FFocusedNode) {
        if (RangeKey) ToggleRange(Start, FFocusedNode);
        if (FFocusedNode != Start || Cleared) AddToSelection(FFocusedNode);
        ScrollIntoView(FFocusedNode, Selection.Contains(toCenterScrollIntoView));
    }
    if (InvalidateAll) Invalidate();
    else if (FFocusedNode) InvalidateNode(FFocusedNode);
}

void TBaseLazyTree::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTabs ? DLGC_WANTTAB : 0);
}

void TBaseLazyTree::KeyUp(Word& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_TAB) FocusSomeNode();
    if (Key == VK_SPACE) HandleCheckKey(false);
}

namespace {

int ScrollTarget(const TWMScroll& Message, int Position, int Line, int Page, int Range) {
    switch (Message.ScrollCode()) {
    case SB_LINEUP: return Position - Line;
    case SB_LINEDOWN: return Position + Line;
    case SB_PAGEUP: return Position - Page;
    case SB_PAGEDOWN: return Position + Page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return Message.Pos();
    case SB_TOP: return 0;
    case SB_BOTTOM: return Range;
    default: return Position;
    }
}

}  // namespace

void TBaseLazyTree::WMVScroll(TWMScroll& Message) {
    int Position = -FOffsetY;
    if (Message.ScrollCode() == SB_THUMBTRACK || Message.ScrollCode() == SB_THUMBPOSITION) {
        SCROLLINFO Info;
        Info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), SB_VERT, Info)) {
            SetOffsetXY(FOffsetX, -Info.nTrackPos);
            return;
        }
    }
    int Target = ScrollTarget(Message, Position, int(FScrollBarOptions->VerticalIncrement),
                              std::max(1, ClientHeight()), RangeY());
    SetOffsetXY(FOffsetX, -Target);
}

void TBaseLazyTree::WMHScroll(TWMScroll& Message) {
    // The bar shows the effective position: right to left offset 0 stands at the bar's right end.
    const bool RightToLeft = UseRightToLeftAlignment();
    auto OffsetFor = [&](int Position) { return RightToLeft ? ClientWidth() + Position - RangeX() : -Position; };
    int Position = FEffectiveOffsetX;
    if (Message.ScrollCode() == SB_THUMBTRACK || Message.ScrollCode() == SB_THUMBPOSITION) {
        SCROLLINFO Info;
        Info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), SB_HORZ, Info)) {
            SetOffsetXY(OffsetFor(Info.nTrackPos), FOffsetY);
            return;
        }
    }
    // A page is what the fixed columns leave of the window.
    int Target = ScrollTarget(Message, Position, int(FScrollBarOptions->HorizontalIncrement),
                              std::max(1, ClientWidth() - FHeader->Columns().GetVisibleFixedWidth()), RangeX());
    SetOffsetXY(OffsetFor(Target), FOffsetY);
}

bool TBaseLazyTree::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    EndPanning();
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const double Factor = WheelDelta / 120.0;
    int Lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines);
    if (RangeY() > ClientHeight() && !Shift.Contains(ssShift)) {
        // -1 lines means the user scrolls a page per notch.
        double Amount = Shift.Contains(ssCtrl) || Lines == -1 ? ClientHeight() * Factor
                                                                : Lines * Factor * int(FDefaultNodeHeight);
        SetOffsetXY(FOffsetX, FOffsetY + int(Amount));
    } else {
        // Sideways by the scroll width (the average scrolling column, the indent without columns).
        double Amount = Shift.Contains(ssCtrl) ? (ClientWidth() - FHeader->Columns().GetVisibleFixedWidth()) * Factor
                                                : FHeader->Columns().GetScrollWidth() * Lines * Factor;
        SetOffsetXY(FOffsetX + int(Amount), FOffsetY);
    }
    return true;
}

void TBaseLazyTree::DoNodeClick(const THitInfo& HitInfo) {
    if (OnNodeClick) OnNodeClick(this, HitInfo);
}

void TBaseLazyTree::DoNodeDblClick(const THitInfo& HitInfo) {
    if (OnNodeDblClick) OnNodeDblClick(this, HitInfo);
}

void TBaseLazyTree::DoHotChange(PLazyNode Old, PLazyNode New) {
    if (OnHotChange) OnHotChange(this, Old, New);
}

void TBaseLazyTree::DoColumnClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

// ---------------------------------------------------------------------------
// The platform's tree-view queries, so that tools written for the plain tree
// view can read this one; item handles are node references.
// ---------------------------------------------------------------------------

bool TBaseLazyTree::TreeViewMessage(TMessage& Message) {
    switch (Message.Msg) {
    case TVM_GETITEMRECT: {
        auto* R = reinterpret_cast<TRect*>(Message.LParam);
        if (!R) return true;
        PLazyNode Node;
        std::memcpy(&Node, R, sizeof Node);
        Message.Result = Node && GetVisible(Node);
        if (Message.Result) *R = GetDisplayRect(Node, NoColumn, Message.WParam != 0);
        return true;
    }
    case TVM_GETNEXTITEM: {
        const auto Node = reinterpret_cast<PLazyNode>(Message.LParam);
        PLazyNode Result = nullptr;
        switch (Message.WParam) {
        case TVGN_ROOT: Result = GetFirst(); break;
        case TVGN_NEXT: Result = Node ? GetNextSibling(Node) : nullptr; break;
        case TVGN_PREVIOUS: Result = Node ? GetPreviousSibling(Node) : nullptr; break;
        case TVGN_PARENT: Result = Node && Node->Parent != FRoot ? Node->Parent : nullptr; break;
        case TVGN_CHILD: Result = Node ? GetFirstChild(Node) : nullptr; break;
        case TVGN_FIRSTVISIBLE: Result = GetFirstVisible(); break;
        case TVGN_NEXTVISIBLE: Result = Node ? GetNextVisible(Node) : nullptr; break;
        case TVGN_PREVIOUSVISIBLE: Result = Node ? GetPreviousVisible(Node) : nullptr; break;
        case TVGN_DROPHILITE: Result = FDropTargetNode; break;
        case TVGN_CARET: Result = FFocusedNode; break;
        case TVGN_LASTVISIBLE: Result = GetLastVisible(); break;
        default: break;
        }
        Message.Result = reinterpret_cast<LRESULT>(Result);
        return true;
    }
    case TVM_GETITEMW: {
        auto* Item = reinterpret_cast<TVITEMW*>(Message.LParam);
        Message.Result = Item && (Item->mask & TVIF_HANDLE) && Item->hItem;
        if (!Message.Result) return true;
        const auto Node = static_cast<PLazyNode>(Item->hItem);
        auto ImageIndex = [&](TLTImageKind Kind) {
            bool Ghosted = false;
            TImageList* List = nullptr;
            return DoGetImageIndex(Node, Kind, NoColumn, Ghosted, List);
        };
        if (Item->mask & TVIF_CHILDREN) Item->cChildren = int(Node->ChildCount);
        if (Item->mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
            Item->iImage = ImageIndex(ikNormal);
            Item->iSelectedImage = ImageIndex(ikSelected);
        }
        if (Item->mask & TVIF_STATE) {
            Item->stateMask = 0xFF2F;
            Cardinal State = 0;
            if (Node == FFocusedNode) State |= TVIS_FOCUSED;
            if (Node->States.Contains(vsSelected)) State |= TVIS_SELECTED;
            if (Node->States.Contains(vsCutOrCopy)) State |= TVIS_CUT;
            if (Node == FDropTargetNode) State |= TVIS_DROPHILITED;
            if (Node->States.Contains(vsExpanded)) State |= TVIS_EXPANDED;
            // Image indexes travel plus one in four bits each; -1 (none) gives 0.
            State |= (Cardinal(ImageIndex(ikState) + 1) & 0xF) << 12;
            State |= (Cardinal(ImageIndex(ikOverlay) + 1) & 0xF) << 8;
            Item->state = State;
        }
        if ((Item->mask & TVIF_TEXT) && Item->pszText && Item->cchTextMax > 0) {
            TFont Font;
            TRect R;
            String Text;
            GetTextInfo(Node, NoColumn, Font, R, Text);
            const std::size_t Count = std::min(Text.size(), std::size_t(Item->cchTextMax - 1));
            std::copy_n(Text.data(), Count, Item->pszText);
            Item->pszText[Count] = 0;
        }
        return true;
    }
    default: return false;
    }
}
