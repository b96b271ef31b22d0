// Mouse and keyboard: hit testing, the two-step check-box click (pressed on
// button or key down, committed on release over the same box), expand
// buttons, selection and focus by click and by the navigation keys, the
// scroll bars and the wheel.

#include "tree/LazyTrees_p.h"

#include "framework/ImgList.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>

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
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight()) return Info;
    int Top = 0;
    PLazyNode Node = GetNodeAt(X, Y, &Top);
    if (!Node) {
        Info.HitPosition = hiBelow;
        return Info;
    }
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    Info.HitNode = Node;
    if (FHeader->UseColumns()) {
        const TLazyTreeColumns& Columns = FHeader->Columns();
        // A fixed column lies over the scrolled ones.
        Info.HitColumn = InvalidColumn;
        for (TLazyTreeColumn* Column : Columns.GetVisibleColumns())
            if (X >= Column->Left() && X < Column->Left() + Column->Width() &&
                (Info.HitColumn < 0 || Column->Options().Contains(coFixed)))
                Info.HitColumn = Column->Index();
        // An empty cell belongs to the text that runs into it from the left.
        if (FOptions->AutoOptions().Contains(toAutoSpanColumns))
            for (TColumnIndex Previous; Info.HitColumn >= 0 && DoGetCellIsEmpty(Node, Info.HitColumn) &&
                                        (Previous = Columns.GetPreviousVisibleColumn(Info.HitColumn)) >= 0;)
                Info.HitColumn = Previous;
        if (Info.HitColumn != FHeader->GetMainColumn()) {
            Info.HitPosition = Info.HitColumn < 0 ? hiOnItemRight : hiOnItemLabel;
            return Info;
        }
    }
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const int IndentSize = int(GetNodeLevel(Node)) + (Paint.Contains(toShowRoot) ? 1 : 0);
    const int IndentEnd = MainColumnOrigin() + int(FIndent) * (Paint.Contains(toFixedIndent) ? 1 : IndentSize);
    if (X < IndentEnd) {
        // The button's column is the node's own indent step.
        int Own = IndentEnd - int(FIndent);
        Info.HitPosition = Paint.Contains(toShowButtons) && Node->States.Contains(vsHasChildren) && X >= Own &&
                                   IndentSize > 0
                               ? hiOnItemButton
                               : hiOnItemIndent;
        return Info;
    }
    int Left = IndentEnd + FMargin;
    if (ShowsCheck(Node)) {
        if (X >= Left - 1 && X < Left - 1 + CheckImageSize()) {
            Info.HitPosition = hiOnItemCheckbox;
            return Info;
        }
        Left += CheckImageSize() + 2;
    }
    bool Ghosted = false;
    TImageList* List = FStateImages;
    if (FStateImages && DoGetImageIndex(Node, ikState, -1, Ghosted, List) >= 0 && List) {
        if (X >= Left - 1 && X < Left + List->Width()) {
            Info.HitPosition = hiOnStateIcon;
            return Info;
        }
        Left += List->Width() + 2;
    }
    List = FImages;
    if (FImages && DoGetImageIndex(Node, GetSelected(Node) ? ikSelected : ikNormal, -1, Ghosted, List) >= 0 && List) {
        if (X >= Left - 1 && X < Left + List->Width()) {
            Info.HitPosition = hiOnNormalIcon;
            return Info;
        }
        Left += List->Width() + 2;
    }
    Info.HitPosition = X < Left + QueryCellTextWidth(Node) ? hiOnItemLabel : hiOnItemRight;
    return Info;
}

void TBaseLazyTree::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    // While panning a click only ends it.
    if (IsPanning()) {
        EndPanning();
        return;
    }
    if (Button == mbMiddle) {
        if (FOptions->MiscOptions().Contains(toWheelPanning) && (RangeX() > ClientWidth() || RangeY() > ClientHeight())) {
            FLastClickPos = TPoint{X, Y};
            BeginPanning(ClientToScreen(FLastClickPos));
            return;
        }
        if (!FOptions->SelectionOptions().Contains(toMiddleClickSelect)) return;
    }
    if (CanFocus() && !Focused()) SetFocus();
    THitInfo Hit = GetHitTestInfoAt(X, Y);
    PLazyNode Node = Hit.HitNode;
    FLastClickPos = TPoint{X, Y};
    FClickColumn = Hit.HitColumn;
    if (StartHeightTracking(Button, X, Y)) return;
    if (StartsDrawSelection(Button, Shift, X, Y, Hit)) return;
    if (!Node) {
        if (Button == mbLeft && !FOptions->SelectionOptions().Contains(toAlwaysSelectNode) &&
            !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift))
            ClearSelection();
        return;
    }
    if (Hit.HitPosition == hiOnItemButton) {
        if (Button == mbLeft) ToggleNode(Node);
        return;
    }
    if (Hit.HitPosition == hiOnItemCheckbox) {
        if (Button == mbLeft) PressCheck(Node, tsMouseCheckPending);
        return;
    }
    if (Button != mbLeft && !(Button == mbRight && FOptions->SelectionOptions().Contains(toRightClickSelect)))
        return;
    PLazyNode LastFocused = FFocusedNode;
    const bool Multi = FOptions->SelectionOptions().Contains(toMultiSelect);
    if (Multi && (Shift.Contains(ssShift) || Shift.Contains(ssCtrl))) {
        if (MoveFocus(Node, true)) ApplyClickSelection(LastFocused, Node, Shift, false);
    } else if (MoveFocus(Node, true)) {
        if (!GetSelected(Node) || FSelectionCount > 1) {
            ClearSelection();
            AddToSelection(Node);
        }
        FRangeAnchor = Node;
    }
    ScrollIntoView(Node, false);
    Invalidate();
    if (Button == mbLeft && DragMode() == dmManual && GetSelected(Node) && DoDragAllowed(Node, FFocusedColumn))
        BeginDrag(false);
}

// A press beside the node contents of a multi-selection tree may start a
// rubber band: it clears the selection (unless Shift or Ctrl is held) and
// waits for the mouse to move far enough.
bool TBaseLazyTree::StartsDrawSelection(TMouseButton Button, TShiftState Shift, int X, int Y, const THitInfo& Hit) {
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    if (Button != mbLeft || !Selection.Contains(toMultiSelect) || Selection.Contains(toDisableDrawSelection))
        return false;
    const bool Alt = Shift.Contains(ssAlt);
    const bool CellHit = !Alt && !Selection.Contains(toSimpleDrawSelection) &&
                         (Hit.HitPosition == hiOnItemLabel || Hit.HitPosition == hiOnNormalIcon);
    const bool FullRowHit = !Alt && !CellHit && Hit.HitNode && Hit.HitPosition != hiOnItemButton &&
                            Hit.HitPosition != hiOnItemCheckbox && Selection.Contains(toFullRowSelect);
    const bool FullRowDrag = FOptions->MiscOptions().Contains(toFullRowDrag) && FullRowHit;
    if (CellHit || FullRowDrag || FullRowHit || Hit.HitPosition == hiOnItemButton ||
        Hit.HitPosition == hiOnItemCheckbox)
        return false;
    TShiftState Reduced;
    for (TShiftStateValue Key : {ssShift, ssCtrl})
        if (Shift.Contains(Key)) Reduced.Include(Key);
    SetMouseCapture(true);
    DoStateChange({tsDrawSelPending});
    FDrawSelShiftState = Reduced;
    FNewSelRect = TRect{X - FOffsetX, Y - FOffsetY, X - FOffsetX, Y - FOffsetY};
    FLastSelRect = TRect{};
    if (Reduced.Empty() && !SelectionLocked && !(!Hit.HitNode && Selection.Contains(toAlwaysSelectNode)))
        ClearSelectionNotify(false);
    return true;
}

void TBaseLazyTree::EndDrawSelection() {
    if (!IsMouseSelecting()) return;
    const bool Band = FStates.Contains(tsDrawSelecting);
    DoStateChange({}, {tsToggleFocusedSelection, tsDrawSelPending, tsDrawSelecting, tsScrolling, tsScrollPending});
    StopTimer(4);
    SetMouseCapture(false);
    if (Band) Invalidate();
}

void TBaseLazyTree::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbMiddle && IsPanning()) {
        // Released without dragging: panning goes on until the next click.
        if (FStates.Contains(tsWheelScrolling)) DoStateChange({}, {tsWheelPanning});
        else EndPanning();
        return;
    }
    if (Button == mbLeft && (FStates.Contains(tsNodeHeightTracking) || FStates.Contains(tsNodeHeightTrackPending))) {
        DoStateChange({}, {tsNodeHeightTracking, tsNodeHeightTrackPending});
        SetMouseCapture(false);
    }
    EndDrawSelection();
    DoStateChange({}, {tsOLEDragPending});
    THitInfo Hit = GetHitTestInfoAt(X, Y);
    if (FStates.Contains(tsMouseCheckPending)) {
        DoStateChange({}, {tsMouseCheckPending});
        PLazyNode Node = FCheckNode;
        FCheckNode = nullptr;
        if (Node) {
            Node->CheckState = UnpressedCheckState(Node->CheckState);
            if (Hit.HitNode == Node && Hit.HitPosition != hiOnItemIndent && Hit.HitPosition != hiOnItemButton &&
                Hit.HitPosition != hiOnItemRight)
                ChangeCheckState(Node, FPendingCheckState);
            InvalidateNode(Node);
        }
    }
    // The notices come after the check state: a handler sees the new one.
    if (Button == mbLeft && Hit.HitColumn >= 0 && Hit.HitColumn == FClickColumn) DoColumnClick(Hit.HitColumn, Shift);
    if (Hit.HitNode) DoNodeClick(Hit);
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
            DoStateChange({tsDrawSelecting}, {tsDrawSelPending, tsClearPending});
            UpdateDrawSelection();
            Invalidate();
        }
        return;
    }
    if (FStates.Contains(tsDrawSelecting)) {
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
    // Moving onto or off the button of the same node changes its picture.
    const bool OnButton = Hit.HitNode && Hit.HitPosition == hiOnItemButton;
    if (OnButton != FHotNodeButtonHit && Hit.HitNode == FCurrentHotNode && Hit.HitNode) InvalidateNode(Hit.HitNode);
    FHotNodeButtonHit = OnButton;
    ChangeHotNode(Hit.HitNode);
}

void TBaseLazyTree::ChangeHotNode(PLazyNode Hot) {
    if (Hot == FCurrentHotNode) return;
    PLazyNode Old = FCurrentHotNode;
    DoHotChange(Old, Hot);
    FCurrentHotNode = Hot;
    if (Old) InvalidateNode(Old);
    if (Hot) InvalidateNode(Hot);
}

void TBaseLazyTree::CMMouseLeave(TMessage& Message) {
    FHotNodeButtonHit = false;
    ChangeHotNode(nullptr);
    DoMouseLeave();
    DefaultHandler(Message);
}

void TBaseLazyTree::WMLButtonDblClk(TWMMouse& Message) {
    TCustomControl::WMLButtonDblClk(Message);
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    const TShiftState Shift = KeysToShiftState(Message.Keys());
    if (Hit.HitColumn >= 0 && Hit.HitColumn == FClickColumn) DoColumnDblClick(Hit.HitColumn, Shift);
    if (Hit.HitNode) DoNodeDblClick(Hit);
    if (ResetNodeHeightAt(Shift, Message.XPos(), Message.YPos(), Hit)) return;
    if (!FOptions->MiscOptions().Contains(toToggleOnDblClick)) return;
    if (Hit.HitNode && Hit.HitPosition != hiOnItemButton && Hit.HitPosition != hiOnItemCheckbox)
        ToggleNode(Hit.HitNode);
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
    PLazyNode Node = FFocusedNode;
    const bool Searching = FStates.Contains(tsIncrementalSearching);
    switch (Key) {
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
        if (IsEditing()) CancelEditNode();
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
    default: break;
    }
}

void TBaseLazyTree::NavigationKey(Word Key, TShiftState Shift) {
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool ExtendSelection = Shift.Contains(ssShift) && Selection.Contains(toMultiSelect) && !IsEditing();
    bool RangeKey = (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME) && ExtendSelection;
    const bool InvalidateAll = RangeKey || FSelectionCount > 1;
    const bool ClearFirst = Shift.Empty() ||
                            (FOptions->MiscOptions().Contains(toGridExtensions) && !Shift.Contains(ssShift)) ||
                            !Selection.Contains(toMultiSelect) || Key == VK_BACK || Key == VK_TAB;
    PLazyNode Start = FFocusedNode;
    if (!Start && !Shift.Empty()) Start = GetFirstVisible();
    if (!FRangeAnchor) FRangeAnchor = GetFirstSelected() ? GetFirstSelected() : GetFirst();
    auto Drop = [this](PLazyNode Node) {
        if (Node) RemoveFromSelection(Node);
    };
    switch (Key) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching)) DoStateChange({tsIncrementalSearchPending});
        else if (FFocusedNode && FFocusedNode->Parent != FRoot) SetFocusedNode(FFocusedNode->Parent);
        break;
    case VK_HOME:
    case VK_END: {
        PLazyNode Target = Key == VK_HOME ? GetFirstVisible() : GetLastVisible();
        if (Shift == TShiftState{ssCtrl}) {
            ScrollIntoView(Target, Selection.Contains(toCenterScrollIntoView));
            break;
        }
        if (Target) SetFocusedNode(Target);
        break;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        const bool Up = Key == VK_PRIOR;
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
            SetOffsetXY(FOffsetX + int(FScrollBarOptions->HorizontalIncrement), FOffsetY);
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
            SetOffsetXY(FOffsetX - int(FScrollBarOptions->HorizontalIncrement), FOffsetY);
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
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TBaseLazyTree::KeyUp(Word& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
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
    int Position = -FOffsetX;
    if (Message.ScrollCode() == SB_THUMBTRACK || Message.ScrollCode() == SB_THUMBPOSITION) {
        SCROLLINFO Info;
        Info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), SB_HORZ, Info)) {
            SetOffsetXY(-Info.nTrackPos, FOffsetY);
            return;
        }
    }
    // A page is what the fixed columns leave of the window.
    int Target = ScrollTarget(Message, Position, int(FScrollBarOptions->HorizontalIncrement),
                              std::max(1, ClientWidth() - FHeader->Columns().GetVisibleFixedWidth()), RangeX());
    SetOffsetXY(-Target, FOffsetY);
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
