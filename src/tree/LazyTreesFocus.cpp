// Focus, the edit link and incremental search.

#include "tree/LazyTrees_p.h"

#include "framework/SysUtils.h"
#include "framework/Windows.h"

bool TBaseLazyTree::DoFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn) {
    bool Allowed = true;
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoFocusChanged(PLazyNode Node, TColumnIndex Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
}

void TBaseLazyTree::SetFocusedNode(PLazyNode Value) {
    if (Value == FFocusedNode) return;
    if (!DoFocusChanging(FFocusedNode, Value, FFocusedColumn, FFocusedColumn)) return;
    if (FStates.Contains(tsEditing) && !EndEditNode()) return;
    PLazyNode Old = FFocusedNode;
    FFocusedNode = Value;
    if (Old) InvalidateNode(Old);
    if (Value) {
        InvalidateNode(Value);
        if (!FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus)) ScrollIntoView(Value, false, false);
    }
    if (FSelectionCount == 0) AnchorAtFocusedNode();
    DoFocusChanged(Value, FFocusedColumn);
}

void TBaseLazyTree::SetFocusedColumn(TColumnIndex Value) {
    if (Value == FFocusedColumn) return;
    if (!DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    FFocusedColumn = Value;
    DoFocusChanged(FFocusedNode, Value);
}

PLazyNode TBaseLazyTree::FocusSomeNode() {
    if (FFocusedNode) return FFocusedNode;
    PLazyNode Node = GetFirstSelected();
    if (!Node) Node = GetFirstVisible();
    if (Node) SetFocusedNode(Node);
    return FFocusedNode;
}

bool TBaseLazyTree::EditNode(PLazyNode Node, TColumnIndex Column) {
    if (!Node || !FOptions->MiscOptions().Contains(toEditable) || ReadOnly()) return false;
    if (FStates.Contains(tsEditing) && !EndEditNode()) return false;
    if (!FEditLink || !FEditLink->PrepareEdit(this, Node, Column)) return false;
    FEditNode = Node;
    FEditColumn = Column;
    DoStateChange({tsEditing});
    if (!FEditLink->BeginEdit()) {
        DoStateChange({}, {tsEditing});
        FEditNode = nullptr;
        return false;
    }
    return true;
}

bool TBaseLazyTree::EndEditNode() {
    if (!FStates.Contains(tsEditing)) return true;
    if (FEditLink && !FEditLink->EndEdit()) return false;
    DoStateChange({}, {tsEditing});
    FEditNode = nullptr;
    return true;
}

bool TBaseLazyTree::CancelEditNode() {
    if (!FStates.Contains(tsEditing) && !FStates.Contains(tsEditPending)) return true;
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    if (FStates.Contains(tsEditing)) {
        DoStateChange({}, {tsEditing});
        if (FEditLink) FEditLink->CancelEdit();
    }
    FEditNode = nullptr;
    return true;
}

int TBaseLazyTree::DoIncrementalSearch(PLazyNode Node, const String& Text) {
    int Result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, Result);
    return Result;
}

void TBaseLazyTree::SearchIncrementally(Char Key) {
    if (IncrementalSearch == isNone) return;
    StopTimer(7);
    bool Backspace = Key == u'\b';
    if (Backspace) {
        if (!FSearchBuffer.empty()) FSearchBuffer.pop_back();
    } else {
        FSearchBuffer.push_back(Key);
    }
    DoStateChange({tsIncrementalSearching});
    auto Step = [&](PLazyNode N) -> PLazyNode {
        bool Forward = IncrementalSearchDirection == sdForward;
        switch (IncrementalSearch) {
        case isVisibleOnly: return Forward ? GetNextVisibleNoInit(N) : GetPreviousVisibleNoInit(N);
        case isInitializedOnly: return Forward ? GetNextInitialized(N) : GetPreviousInitialized(N);
        default: return Forward ? GetNext(N) : GetPrevious(N);
        }
    };
    auto First = [&]() -> PLazyNode {
        bool Forward = IncrementalSearchDirection == sdForward;
        switch (IncrementalSearch) {
        case isVisibleOnly: return Forward ? GetFirstVisibleNoInit() : GetLastVisibleNoInit();
        case isInitializedOnly: return Forward ? GetFirstInitialized() : GetLastInitialized();
        default: return Forward ? GetFirst() : GetLast();
        }
    };
    // Typing the same letter again steps to the next match of that letter.
    bool SameLetter = FSearchBuffer.size() == 2 && FSearchBuffer[0] == FSearchBuffer[1];
    if (SameLetter) FSearchBuffer.pop_back();
    PLazyNode Start = IncrementalSearchStart == ssAlwaysStartOver ? nullptr
                      : IncrementalSearchStart == ssLastHit ? FLastSearchNode : FFocusedNode;
    if (!Start) Start = First();
    PLazyNode Run = Start;
    if (Run && (SameLetter || Backspace == false ? SameLetter : false)) Run = Step(Run);
    PLazyNode Found = nullptr;
    bool Wrapped = false;
    while (Run || !Wrapped) {
        if (!Run) {
            Wrapped = true;
            Run = First();
            if (!Run) break;
        }
        if (DoIncrementalSearch(Run, FSearchBuffer) == 0) {
            Found = Run;
            break;
        }
        Run = Step(Run);
        if (Run == Start) break;
    }
    if (Found) {
        FLastSearchNode = Found;
        ClearSelection();
        SetFocusedNode(Found);
        AddToSelection(Found);
    } else {
        // Nothing matches the longer text: keep the text that did and say so.
        if (!Backspace && !SameLetter && !FSearchBuffer.empty()) FSearchBuffer.pop_back();
        MessageBeep(0);
    }
    if (FSearchBuffer.empty()) DoStateChange({}, {tsIncrementalSearching});
    else StartTimer(7, IncrementalSearchTimeout);
}
