// Check states: changing one node, tri-state propagation, radio exclusion, bulk operations.

#include "tree/LazyTrees_p.h"

bool CheckStateIsDisabled(TCheckState State) { return State > csMixedPressed; }

bool CheckStateIsChecked(TCheckState State) {
    return State == csCheckedNormal || State == csCheckedPressed || State == csCheckedDisabled;
}

TCheckState EnabledCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedDisabled: return csUncheckedNormal;
    case csCheckedDisabled: return csCheckedNormal;
    case csMixedDisabled: return csMixedNormal;
    default: return State;
    }
}

TCheckState PressedCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedNormal: return csUncheckedPressed;
    case csCheckedNormal: return csCheckedPressed;
    case csMixedNormal: return csMixedPressed;
    default: return State;
    }
}

TCheckState UnpressedCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedPressed: return csUncheckedNormal;
    case csCheckedPressed: return csCheckedNormal;
    case csMixedPressed: return csMixedNormal;
    default: return State;
    }
}

TCheckState ToggledCheckState(TCheckState State) {
    switch (State) {
    case csUncheckedNormal: return csCheckedNormal;
    case csUncheckedPressed: return csCheckedPressed;
    case csCheckedNormal: return csUncheckedNormal;
    case csCheckedPressed: return csUncheckedPressed;
    case csMixedNormal: return csCheckedNormal;
    case csMixedPressed: return csCheckedPressed;
    default: return State;
    }
}

namespace {
inline bool IsBox(TCheckType Type) { return Type == ctTriStateCheckBox || Type == ctCheckBox; }
}  // namespace

bool TBaseLazyTree::DoChecking(PLazyNode Node, TCheckState& NewState) {
    if (ReadOnly()) return false;
    bool Allowed = true;
    if (OnChecking) OnChecking(this, Node, NewState, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoChecked(PLazyNode Node) {
    if (OnChecked) OnChecked(this, Node);
}

void TBaseLazyTree::SetCheckState(PLazyNode Node, TCheckState Value) {
    if (!Node || Node->CheckState == Value || Node->States.Contains(vsDisabled)) return;
    if (DoChecking(Node, Value)) ChangeCheckState(Node, Value);
}

void TBaseLazyTree::ChangeCheckState(PLazyNode Node, TCheckState Value) {
    if (ApplyCheckState(Node, Value)) DoChecked(Node);
}

bool TBaseLazyTree::ApplyCheckState(PLazyNode Node, TCheckState Value) {
    if (Node->States.Contains(vsChecking)) return false;
    Node->States.Include(vsChecking);
    TFinally Done{[Node] { Node->States.Exclude(vsChecking); }};
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    else if (Node->CheckState == Value) return false;
    if (FCheckPropagationCount == 0) DoStateChange({tsCheckPropagation});
    ++FCheckPropagationCount;
    TFinally Count{[this] {
        if (--FCheckPropagationCount == 0) DoStateChange({}, {tsCheckPropagation});
    }};
    bool Tracking = FOptions->AutoOptions().Contains(toAutoTristateTracking);
    if (Node->CheckType == ctTriStateCheckBox && Tracking && Node->ChildCount > 0 &&
        (Value == csUncheckedNormal || Value == csCheckedNormal)) {
        int Unchecked = 0, Checked = 0, Mixed = 0;
        bool Unchecking = Value == csUncheckedNormal;
        for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) {
            if (!IsBox(Run->CheckType)) continue;
            if (!CheckStateIsDisabled(Run->CheckState)) SetCheckState(Run, Value);
            switch (Run->CheckState) {
            case csUncheckedNormal: ++Unchecked; break;
            case csCheckedNormal: ++Checked; break;
            case csMixedNormal: ++Mixed; break;
            case csUncheckedDisabled: if (Unchecking) ++Unchecked; break;
            case csCheckedDisabled: if (Unchecking) ++Checked; break;
            default: break;
            }
        }
        if (Mixed > 0) Value = csMixedNormal;
        else if (Checked > 0) Value = Unchecked > 0 ? csMixedNormal : csCheckedNormal;
    }
    if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
        for (PLazyNode Run = Node->Parent->FirstChild; Run; Run = Run->NextSibling)
            if (Run->CheckType == ctRadioButton) Run->CheckState = csUncheckedNormal;
        InvalidateTree();
    }
    Node->CheckState = Value;
    PLazyNode Parent = Node->Parent;
    if (Parent != FRoot && !Parent->States.Contains(vsInitialized)) InitializeNode(Parent);
    bool Result = true;
    if (Tracking && Parent != FRoot && !Parent->States.Contains(vsChecking) && !Parent->States.Contains(vsDisabled) &&
        IsBox(Node->CheckType) && Parent->CheckType == ctTriStateCheckBox)
        Result = UpdateParentCheckState(Node, Value);
    InvalidateNode(Node);
    return Result;
}

bool TBaseLazyTree::UpdateParentCheckState(PLazyNode Node, TCheckState NewCheckState) {
    PLazyNode Parent = Node->Parent;
    int Count = 0, CheckedCount = 0;
    bool AnyMixed = false;
    for (PLazyNode Run = Parent->FirstChild; Run; Run = Run->NextSibling) {
        if (!IsBox(Run->CheckType)) continue;
        TCheckState State = Run == Node ? NewCheckState : Run->CheckState;
        ++Count;
        if (CheckStateIsChecked(State)) ++CheckedCount;
        if (State == csMixedNormal) AnyMixed = true;
    }
    TCheckState State;
    if (CheckedCount > 0 || AnyMixed) State = CheckedCount < Count ? csMixedNormal : csCheckedNormal;
    else State = csUncheckedNormal;
    if (!DoChecking(Parent, State)) return false;
    ChangeCheckState(Parent, State);
    return true;
}

void TBaseLazyTree::SetCheckType(PLazyNode Node, TCheckType Value) {
    if (!Node || Node->CheckType == Value || ReadOnly()) return;
    Node->CheckType = Value;
    if (Value != ctTriStateCheckBox && (Node->CheckState == csMixedNormal || Node->CheckState == csMixedPressed))
        Node->CheckState = csUncheckedNormal;
    if (FOptions->AutoOptions().Contains(toAutoTristateTracking) && IsBox(Value) && Node->Parent != FRoot) {
        PLazyNode Parent = Node->Parent;
        if (!Parent->States.Contains(vsInitialized)) InitializeNode(Parent);
        if (Parent->CheckType == ctTriStateCheckBox) {
            if (Parent->CheckState == csUncheckedNormal || Parent->CheckState == csUncheckedDisabled)
                SetCheckState(Node, csUncheckedNormal);
            else if (Parent->CheckState == csCheckedNormal || Parent->CheckState == csCheckedDisabled)
                SetCheckState(Node, csCheckedNormal);
        }
    }
    InvalidateNode(Node);
}

void TBaseLazyTree::SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled) {
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    PLazyNode Run = pSelectedOnly ? GetFirstSelected() : GetFirst();
    while (Run) {
        if (!(pExcludeDisabled && CheckStateIsDisabled(Run->CheckState))) SetCheckState(Run, aCheckState);
        Run = pSelectedOnly ? GetNextSelected(Run) : GetNext(Run);
    }
}

void TBaseLazyTree::ClearChecked() {
    for (PLazyNode Run = FRoot->FirstChild; Run; Run = GetNextNoInit(Run))
        if (Run->CheckState != csUncheckedNormal) SetCheckState(Run, csUncheckedNormal);
}
