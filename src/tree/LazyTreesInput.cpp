// Mouse and keyboard: hit testing, the two-step check-box click (pressed on
// button or key down, committed on release over the same box), expand
// buttons, selection and focus by click and by the navigation keys, the
// scroll bars and the wheel.

#include "tree/LazyTrees_p.h"

#include "framework/ImgList.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>

namespace {

TCheckState NextCheckState(TCheckType Type, TCheckState State) {
    switch (Type) {
    case ctTriStateCheckBox:
    case ctCheckBox: return ToggledCheckState(State);
    case ctRadioButton: return csCheckedNormal;
    case ctButton: return csUncheckedNormal;
    default: return csMixedNormal;
    }
}

}  // namespace

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
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const int IndentSize = int(GetNodeLevel(Node)) + (Paint.Contains(toShowRoot) ? 1 : 0);
    const int IndentEnd = FOffsetX + int(FIndent) * (Paint.Contains(toFixedIndent) ? 1 : IndentSize);
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
    if (CanFocus() && !Focused()) SetFocus();
    THitInfo Hit = GetHitTestInfoAt(X, Y);
    PLazyNode Node = Hit.HitNode;
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
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            Node->States.Contains(vsDisabled) || Button != mbLeft)
            return;
        TCheckState NewState = NextCheckState(Node->CheckType, Node->CheckState);
        if (DoChecking(Node, NewState)) {
            DoStateChange({tsMouseCheckPending});
            FCheckNode = Node;
            FPendingCheckState = NewState;
            Node->CheckState = PressedCheckState(Node->CheckState);
            InvalidateNode(Node);
        }
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
}

void TBaseLazyTree::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (!FStates.Contains(tsMouseCheckPending)) return;
    DoStateChange({}, {tsMouseCheckPending});
    PLazyNode Node = FCheckNode;
    FCheckNode = nullptr;
    if (!Node) return;
    THitInfo Hit = GetHitTestInfoAt(X, Y);
    Node->CheckState = UnpressedCheckState(Node->CheckState);
    if (Hit.HitNode == Node && Hit.HitPosition != hiOnItemIndent && Hit.HitPosition != hiOnItemButton &&
        Hit.HitPosition != hiOnItemRight)
        ChangeCheckState(Node, FPendingCheckState);
    InvalidateNode(Node);
}

void TBaseLazyTree::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    PLazyNode Hot = GetHitTestInfoAt(X, Y).HitNode;
    if (Hot != FCurrentHotNode) {
        PLazyNode Old = FCurrentHotNode;
        FCurrentHotNode = Hot;
        if (Old) InvalidateNode(Old);
        if (Hot) InvalidateNode(Hot);
    }
}

void TBaseLazyTree::WMLButtonDblClk(TWMMouse& Message) {
    TCustomControl::WMLButtonDblClk(Message);
    if (!FOptions->MiscOptions().Contains(toToggleOnDblClick)) return;
    THitInfo Hit = GetHitTestInfoAt(Message.XPos(), Message.YPos());
    if (Hit.HitNode && Hit.HitPosition != hiOnItemButton && Hit.HitPosition != hiOnItemCheckbox)
        ToggleNode(Hit.HitNode);
}

void TBaseLazyTree::HandleCheckKey(bool Down) {
    PLazyNode Node = FFocusedNode;
    if (Down) {
        if (!Node || !ShowsCheck(Node) || FStates.Contains(tsKeyCheckPending) ||
            FStates.Contains(tsMouseCheckPending) || Node->States.Contains(vsDisabled))
            return;
        TCheckState NewState = NextCheckState(Node->CheckType, Node->CheckState);
        if (DoChecking(Node, NewState)) {
            DoStateChange({tsKeyCheckPending});
            FCheckNode = Node;
            FPendingCheckState = NewState;
            Node->CheckState = PressedCheckState(Node->CheckState);
            InvalidateNode(Node);
        }
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
    if (FStates.Contains(tsKeyCheckPending) && Key != VK_SPACE) {
        // Another key abandons a held check box.
        DoStateChange({}, {tsKeyCheckPending});
        if (FCheckNode) {
            FCheckNode->CheckState = UnpressedCheckState(FCheckNode->CheckState);
            InvalidateNode(FCheckNode);
        }
        FCheckNode = nullptr;
    }
    PLazyNode Node = FFocusedNode;
    PLazyNode Target = nullptr;
    const int Page = std::max(1, ClientHeight() / int(std::max<Cardinal>(FDefaultNodeHeight, 1)));
    switch (Key) {
    case VK_UP: Target = Node ? GetPreviousVisible(Node, false) : GetFirstVisible(); break;
    case VK_DOWN: Target = Node ? GetNextVisible(Node, false) : GetFirstVisible(); break;
    case VK_HOME: Target = GetFirstVisible(); break;
    case VK_END: Target = GetLastVisible(); break;
    case VK_PRIOR:
    case VK_NEXT: {
        Target = Node ? Node : GetFirstVisible();
        for (int I = 0; I < Page && Target; ++I) {
            PLazyNode Step = Key == VK_PRIOR ? GetPreviousVisible(Target, false) : GetNextVisible(Target, false);
            if (!Step) break;
            Target = Step;
        }
        break;
    }
    case VK_LEFT:
        if (Node && Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren)) ToggleNode(Node);
        else if (Node && Node->Parent != FRoot) Target = Node->Parent;
        break;
    case VK_RIGHT:
        if (Node && Node->States.Contains(vsHasChildren)) {
            if (!Node->States.Contains(vsExpanded)) ToggleNode(Node);
            else Target = GetFirstVisibleChild(Node);
        }
        break;
    case VK_ADD:
        if (Node && !Node->States.Contains(vsExpanded)) ToggleNode(Node);
        break;
    case VK_SUBTRACT:
        if (Node && Node->States.Contains(vsExpanded)) ToggleNode(Node);
        break;
    case VK_SPACE:
        if (FOptions->MiscOptions().Contains(toCheckSupport) && Node && Node->CheckType != ctNone)
            HandleCheckKey(true);
        break;
    case 0x41:
        if (Shift == TShiftState{ssCtrl} && FOptions->SelectionOptions().Contains(toMultiSelect)) SelectAll(true);
        break;
    default: break;
    }
    if (Target && Target != Node) {
        PLazyNode LastFocused = Node;
        if (MoveFocus(Target, true)) {
            if (Shift.Contains(ssShift) && FOptions->SelectionOptions().Contains(toMultiSelect)) {
                ApplyClickSelection(LastFocused, Target, TShiftState{ssShift}, false);
            } else if (!Shift.Contains(ssCtrl)) {
                ClearSelection();
                AddToSelection(Target);
                FRangeAnchor = Target;
            }
            ScrollIntoView(Target, false);
        }
        Invalidate();
    }
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
    int Target = ScrollTarget(Message, Position, int(FScrollBarOptions->HorizontalIncrement),
                              std::max(1, ClientWidth()), RangeX());
    SetOffsetXY(-Target, FOffsetY);
}

bool TBaseLazyTree::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    // Three lines of the default height per notch (120 units).
    int Amount = WheelDelta * 3 * int(FDefaultNodeHeight) / 120;
    if (Shift.Contains(ssCtrl)) Amount = WheelDelta / 120 * ClientHeight();
    SetOffsetXY(FOffsetX, FOffsetY + Amount);
    return true;
}
