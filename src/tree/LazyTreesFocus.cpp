// Focus, the edit link, focus messages and incremental search.

#include "tree/LazyTrees_p.h"

#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

namespace {
constexpr unsigned EditTimer = 2, SearchTimer = 7;
}

bool TBaseLazyTree::DoFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn) {
    bool Allowed = OldColumn == NewColumn || FHeader->AllowFocus(NewColumn);
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoFocusChanged(PLazyNode Node, TColumnIndex Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
}

bool TBaseLazyTree::MoveFocus(PLazyNode Node, bool Ask) {
    if (FStates.Contains(tsEditing) && !EndEditNode()) return false;
    if (Node == FRoot) Node = nullptr;
    if (Node != FFocusedNode && (!Ask || DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
        PLazyNode Old = FFocusedNode;
        bool AutoExpand = FOptions->AutoOptions().Contains(toAutoExpand);
        if (Old && AutoExpand && Old->States.Contains(vsExpanded) && Node && Node->Parent == Old->Parent)
            ToggleNode(Old);
        else if (Old)
            InvalidateNode(Old);
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (FHeader->ColumnCount() > 0 && (FFocusedColumn < 0 || FFocusedColumn >= FHeader->ColumnCount()))
            FFocusedColumn = FHeader->MainColumn;
        if (FOptions->AutoOptions().Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
            ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                           !FOptions->SelectionOptions().Contains(toFullRowSelect));
    }
    if (FSelectionCount == 0) AnchorAtFocusedNode();
    return FFocusedNode == Node;
}

void TBaseLazyTree::SetFocusedNode(PLazyNode Value) {
    PLazyNode Old = FFocusedNode;
    MoveFocus(Value, true);
    if (FFocusedNode != Old && FFocusedNode == (Value == FRoot ? nullptr : Value))
        DoFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::SetFocusedColumn(TColumnIndex Value) {
    if (Value == FFocusedColumn || !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    CancelEditNode();
    FFocusedColumn = Value;
    if (FFocusedNode && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    DoFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseLazyTree::FocusCell(PLazyNode Node, TColumnIndex Column) {
    if (!FHeader->AllowFocus(Column)) Column = FFocusedColumn;
    bool Changed = Node != FFocusedNode || Column != FFocusedColumn;
    TColumnIndex OldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    if (MoveFocus(Node, true)) {
        CancelEditNode();
        if (Changed) DoFocusChanged(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = OldColumn;
    }
}

PLazyNode TBaseLazyTree::FocusSomeNode() {
    if (FFocusedNode) return FFocusedNode;
    PLazyNode Node = GetFirstSelected();
    if (!Node) Node = GetFirstVisible();
    if (Node) SetFocusedNode(Node);
    return FFocusedNode;
}

// ---------------------------------------------------------------------------
// Focus messages
// ---------------------------------------------------------------------------

void TBaseLazyTree::WndProc(TMessage& Message) {
    // The header has the first word on every message; what it takes ends there.
    if (FHeader && FHeader->HandleHeaderMessage(Message)) return;
    if (ClipboardMessage(Message) || AccessibilityMessage(Message) || TreeViewMessage(Message)) return;
    switch (Message.Msg) {
    case WM_CHANGESTATE:
        DoStateChange(ChangeStateStates(Message.WParam), ChangeStateStates(WPARAM(Message.LParam)));
        return;
    case CM_TREEQUERY: Message.Result = 1; return;
    case CM_STYLECHANGED:
        UpdateStyleEnabled();
        RecreateWnd();
        return;
    case WM_NCDESTROY:
        NonClientDestroy();
        break;
    default: break;
    }
    // A press on the frame (the border, the header band) focuses the tree as one in the client area does.
    if ((Message.Msg == WM_NCLBUTTONDOWN || Message.Msg == WM_NCRBUTTONDOWN || Message.Msg == WM_NCMBUTTONDOWN) &&
        !Focused() && CanFocus())
        SetFocus();
    TCustomControl::WndProc(Message);
    if (Message.Msg == WM_SETFOCUS) {
        if (!(FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused))) InvalidateTree();
    } else if (Message.Msg == WM_KILLFOCUS) {
        EndPanning();
        for (unsigned Id : {1u, 2u, 3u, 4u, 7u}) StopTimer(Id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        DoStateChange({}, {tsEditPending, tsNodeHeightTracking, tsNodeHeightTrackPending, tsIncrementalSearching,
                           tsLeftButtonDown, tsMiddleButtonDown, tsRightButtonDown, tsOLEDragPending, tsScrolling,
                           tsScrollPending, tsFwDragPending});
        if (FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused)) InvalidateNode(FFocusedNode);
        else InvalidateTree();
    } else if (Message.Msg == CM_HINTSHOWPAUSE) {
        // Tooltips come at once, and so do the header's hints while no hint window stands.
        const bool OverHeader = HintWindowGone && FHeader->UseColumns() && FHeader->Options.Contains(hoShowHint) &&
                                FHeader->InHeader(ScreenToClient(GetCursorPos()));
        if ((HintMode == hmTooltip || OverHeader) && Message.LParam) *reinterpret_cast<int*>(Message.LParam) = 0;
    } else if (Message.Msg == WM_THEMECHANGED) {
        ThemeChanged();
    }
}

// The window goes: nothing may go on working for it.
void TBaseLazyTree::NonClientDestroy() {
    StopCacheValidation();
    for (unsigned Id : {5u, 6u}) StopTimer(Id);
    if (!ComponentState().Contains(csDesigning) && FOptions->MiscOptions().Contains(toAcceptOLEDrop))
        RevokeDragDrop(this);
    FLinePatternReady = false;  // made again for the next window
    // An animation running in a nested loop must not step on into this tree.
    if (FStates.Contains(tsInAnimation)) HintWindowGone = true;
}

void TBaseLazyTree::CMEnter(TMessage& Message) {
    TCustomControl::CMEnter(Message);
    EnsureNodeSelected();
}

void TBaseLazyTree::WMCancelMode(TMessage& Message) {
    for (unsigned Id : {1u, 2u, 3u, 4u, 7u, 8u}) StopTimer(Id);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    const bool Band = FStates.Contains(tsDrawSelecting);
    DoStateChange({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending, tsIncrementalSearching,
                       tsOLEDragPending, tsFwDragPending});
    if (Band) InvalidateTree();
    TCustomControl::WMCancelMode(Message);
}

// ---------------------------------------------------------------------------
// Editing
// ---------------------------------------------------------------------------

bool TBaseLazyTree::DoEditing(PLazyNode Node, TColumnIndex Column) {
    bool Allowed = FOptions->MiscOptions().Contains(toEditable) && Enabled() && !ReadOnly() && Column < 0;
    if (OnEditing) OnEditing(this, Node, Column, Allowed);
    return Allowed;
}

bool TBaseLazyTree::CanEdit(PLazyNode Node, TColumnIndex Column) { return DoEditing(Node, Column); }

std::shared_ptr<ILTEditLink> TBaseLazyTree::DoCreateEditor(PLazyNode Node, TColumnIndex Column) {
    std::shared_ptr<ILTEditLink> Link;
    if (OnCreateEditor) OnCreateEditor(this, Node, Column, Link);
    return Link;
}

bool TBaseLazyTree::EditNode(PLazyNode Node, TColumnIndex Column) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    TreeAssert(Column >= -1 && (Column < FHeader->ColumnCount() || Column == -1),
               "Column must be a valid column index (-1 if no header is shown).");
    if (FStates.Contains(tsEditing) || ReadOnly()) return FStates.Contains(tsEditing);
    SetFocusedNode(Node);
    if (FFocusedNode != Node || !CanEdit(Node, Column)) return false;
    FEditColumn = Column;
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    StartEditing();
    return FStates.Contains(tsEditing);
}

void TBaseLazyTree::StartEditing() {
    StopTimer(4);
    StopTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (!FFocusedNode || FFocusedNode->States.Contains(vsDisabled) || ReadOnly() || FEditLink) return;
    FEditLink = DoCreateEditor(FFocusedNode, FEditColumn);
    if (FEditLink) {
        DoStateChange({tsEditing}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsDrawSelecting,
                                    tsMouseCheckPending, tsOLEDragging, tsOLEDragPending, tsScrolling, tsScrollPending});
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                       !FOptions->AutoOptions().Contains(toDisableAutoscrollOnEdit));
        if (FEditLink->PrepareEdit(this, FFocusedNode, FEditColumn)) {
            FEditNode = FFocusedNode;
            PlaceEditor();
            InvalidateNode(FFocusedNode);
            if (!FEditLink->BeginEdit()) DoStateChange({}, {tsEditing});
        } else {
            DoStateChange({}, {tsEditing});
        }
        if (!FStates.Contains(tsEditing)) {
            FEditLink.reset();
            FEditNode = nullptr;
        }
    }
}

bool TBaseLazyTree::DoEdited() {
    StopTimer(EditTimer);
    bool Result = false;
    if (FStates.Contains(tsEditing) && FEditLink && FEditLink->EndEdit()) {
        DoStateChange({}, {tsEditing});
        FEditLink.reset();
        PLazyNode Node = FFocusedNode;
        FEditNode = nullptr;
        if (OnEdited) OnEdited(this, Node, FEditColumn);
        Result = true;
    }
    DoStateChange({}, {tsEditPending});
    return Result;
}

bool TBaseLazyTree::DoEditCancelled() {
    StopTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (FStates.Contains(tsEditing) && FEditLink && FEditLink->CancelEdit()) {
        DoStateChange({}, {tsEditing});
        // A tree being destroyed tells no one: its owner may be gone already.
        if (OnEditCancelled && !IsDestroying()) OnEditCancelled(this, FEditColumn);
        if (!IsDestroying()) FEditLink.reset();
        FEditNode = nullptr;
        return true;
    }
    return false;
}

bool TBaseLazyTree::EndEditNode() {
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return DoEdited();
    return true;
}

bool TBaseLazyTree::CancelEditNode() {
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return DoEditCancelled();
    return true;
}

// ---------------------------------------------------------------------------
// Incremental search
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetIncrementalSearch(TLTIncrementalSearch Value) {
    if (Value == FIncrementalSearch) return;
    FIncrementalSearch = Value;
    if (Value == isNone) {
        StopTimer(SearchTimer);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
    }
}

int TBaseLazyTree::DoIncrementalSearch(PLazyNode Node, const String& Text) {
    int Result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, Result);
    return Result;
}

void TBaseLazyTree::SearchIncrementally(Char Key) {
    StopTimer(SearchTimer);
    if (FIncrementalSearch == isNone) return;
    TFinally Restart{[this] { StartTimer(SearchTimer, IncrementalSearchTimeout); }};
    if (Key == 0) return;
    DoStateChange({tsIncrementalSearching});
    bool Backspace = Key == 8;
    if (Backspace && FSearchBuffer.empty()) return;
    PLazyNode Start = IncrementalSearchStart == ssAlwaysStartOver ? nullptr
                      : IncrementalSearchStart == ssLastHit   ? FLastSearchNode
                                                              : FFocusedNode;
    if (Start && FIncrementalSearch == isInitializedOnly && !Start->States.Contains(vsInitialized)) Start = nullptr;
    if (Start && FIncrementalSearch == isVisibleOnly && (!GetFullyVisible(Start) || GetEffectivelyFiltered(Start)))
        Start = nullptr;
    bool Forward = (IncrementalSearchDirection == sdForward) != Backspace;
    auto Step = [&](PLazyNode N) -> PLazyNode {
        PLazyNode R;
        switch (FIncrementalSearch) {
        case isInitializedOnly: R = Forward ? GetNextNoInit(N) : GetPreviousNoInit(N); break;
        case isVisibleOnly: R = Forward ? GetNextVisible(N) : GetPreviousVisible(N); break;
        default: R = Forward ? GetNext(N) : GetPrevious(N); break;
        }
        if (R) return R;
        switch (FIncrementalSearch) {
        case isInitializedOnly: return Forward ? GetFirstNoInit() : GetLastNoInit();
        case isVisibleOnly: return Forward ? GetFirstVisible() : GetLastVisible();
        default: return Forward ? GetFirst() : GetLast();
        }
    };
    bool SameLetter = FSearchBuffer.size() == 1 && !Backspace && FSearchBuffer[0] == Key;
    if (SameLetter && Start && DoIncrementalSearch(Start, FSearchBuffer + Key) == 0) SameLetter = false;
    if (FSearchBuffer.empty() || !Start || SameLetter || Backspace) {
        if (Start) {
            Start = Step(Start);
        } else {
            switch (FIncrementalSearch) {
            case isInitializedOnly: Start = Forward ? GetFirstNoInit() : GetLastNoInit(); break;
            case isVisibleOnly: Start = Forward ? GetFirstVisible() : GetLastVisible(); break;
            default: Start = Forward ? GetFirst() : GetLast(); break;
            }
        }
    }
    if (!Start) return;
    String Text;
    if (SameLetter) {
        Text = FSearchBuffer;
    } else if (Backspace) {
        FSearchBuffer.pop_back();
        Text = FSearchBuffer;
    } else {
        Text = FSearchBuffer + Key;
    }
    PLazyNode Run = Start, Found = nullptr;
    do {
        if (DoIncrementalSearch(Run, Text) == 0) {
            Found = Run;
            break;
        }
        Run = Step(Run);
    } while (Run && Run != Start);
    if (Found) {
        ClearSelection();
        FSearchBuffer = Text;
        FLastSearchNode = Found;
        SetFocusedNode(Found);
        SetSelected(Found, true);
    } else {
        MessageBeep(0);
    }
}
