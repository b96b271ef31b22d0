// Expanding, collapsing and sorting.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Threads.h"

#include <cmath>

bool TBaseLazyTree::DoExpanding(PLazyNode Node) {
    bool Allowed = true;
    if (OnExpanding) OnExpanding(this, Node, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoExpanded(PLazyNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

bool TBaseLazyTree::DoCollapsing(PLazyNode Node) {
    bool Allowed = true;
    if (OnCollapsing) OnCollapsing(this, Node, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoCollapsed(PLazyNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
    if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode)) return;
    PLazyNode First = GetFirstSelected();
    if (First && !GetFullyVisible(First)) {
        RemoveFromSelection(First);
        PLazyNode Parent = GetVisibleParent(First);
        if (Parent && Parent != FRoot) AddToSelection(Parent);
    }
    if (FSelectionCount == 0) EnsureNodeSelected();
}

void TBaseLazyTree::SetAnimationDuration(Cardinal Value) {
    if (Value == FAnimationDuration) return;
    FAnimationDuration = Value;
    TLTAnimationOptions Options = FOptions->AnimationOptions();
    if (Value) Options.Include(toAnimatedToggle);
    else Options.Exclude(toAnimatedToggle);
    FOptions->SetAnimationOptions(Options);
}

void TBaseLazyTree::RunAnimation(int Steps, int Duration, const TLTAnimationCallback& Callback, void* Data) {
    if (FStates.Contains(tsInAnimation) || Duration == 0) return;
    DoStateChange({tsInAnimation});
    TFinally Done{[this] { DoStateChange({}, {tsCancelHintAnimation, tsInAnimation}); }};
    int StepSize = std::max(1, int(std::lround(double(Steps) / Duration)));
    int StepCount = Steps / StepSize;
    int Step = 0;
    int Remaining = Duration;
    auto Terminating = [] { return Application->Terminated(); };
    while (StepCount > 0 && Remaining > 0 && !Terminating()) {
        Cardinal Start = GetTickCount();
        Cardinal Due = Start + Cardinal(Remaining / StepCount);
        if (!Callback(Step, StepSize, Data)) break;
        while (int(GetTickCount() - Due) < 0) {}  // the step is due at a fixed time
        int Spent = int(GetTickCount() - Start);
        if (Spent > Remaining) {
            Remaining = 0;
            StepCount = 0;
        } else {
            Remaining -= Spent;
            --StepCount;
        }
        while (StepCount > 0 && Remaining / StepCount < 1) {
            ++StepSize;
            StepCount = Remaining / StepSize;
        }
        Step = Steps - StepCount;
    }
    if (!Terminating()) Callback(0, 0, Data);
}

void TBaseLazyTree::ToggleNode(PLazyNode Node) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    if (Node->States.Contains(vsToggling) || Node->States.Contains(vsDeleting)) return;
    StopCacheValidation();
    bool WasToggling = FStates.Contains(tsToggling);
    DoStateChange({tsToggling});
    Node->States.Include(vsToggling);
    const auto Done = [&] {
        Node->States.Exclude(vsToggling);
        if (!WasToggling) DoStateChange({}, {tsToggling});
    };
    // A full expansion toggles every node: a try block costs nothing on the
    // way through, where a guard object asks for the pending exceptions twice.
    try {
        ToggleNodeUnguarded(Node);
    } catch (...) {
        try {
            Done();
        } catch (...) {
        }
        throw;
    }
    Done();
}

void TBaseLazyTree::ToggleNodeUnguarded(PLazyNode Node) {
    bool Allowed;
    if (Node->States.Contains(vsExpanded)) {
        Allowed = DoCollapsing(Node);
        if (Allowed) {
            // The node keeps only its own row; the change is what its children showed.
            AddToTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
            if (GetFullyVisible(Node)) FVisibleCount -= CountShownChildren(Node);
            Node->States.Exclude(vsExpanded);
            DoCollapsed(Node);
            if (FOptions->AutoOptions().Contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
                DeleteChildren(Node, false);
                Node->States.Include(vsHasChildren);
            }
        }
    } else {
        Allowed = DoExpanding(Node);
        if (Allowed) {
            if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
            if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
            if (Node->ChildCount > 0 && !Node->States.Contains(vsExpanded)) {
                Int64 Change = 0;
                // Fetched once: fetching fits the back buffer to the window.
                TCanvas& Target = Canvas();
                for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling)
                    if (Run->States.Contains(vsVisible)) {
                        MeasureItemHeight(&Target, Run);
                        Change += Run->TotalHeight;
                    }
                if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort))
                    Sort(Node, FHeader->SortColumn, FHeader->SortDirection, false);
                Node->States.Include(vsExpanded);
                AddToTotalHeight(Node, Change, true);
                if (GetFullyVisible(Node)) FVisibleCount += CountShownChildren(Node);
                DoExpanded(Node);
            }
        }
    }
    if (Allowed) {
        InvalidatePositionCache();
        if (FUpdateCount == 0) {
            RevalidatePositionCache();
            UpdateScrollBars(true);
            InvalidateToBottom(Node);
        }
    }
}

void TBaseLazyTree::SetExpanded(PLazyNode Node, bool Value) {
    if (Node && Node != FRoot && Value != Node->States.Contains(vsExpanded)) ToggleNode(Node);
}

void TBaseLazyTree::FullExpand(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    DoStateChange({tsExpanding});
    StartOperation(okExpand);
    BeginUpdate();
    TFinally Done{[this] {
        EndOperation(okExpand);
        EndUpdate();
        DoStateChange({}, {tsExpanding});
    }};
    PLazyNode Stop = nullptr;
    PLazyNode Run;
    if (Node) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        PLazyNode Up = Node;
        while (Up != FRoot && !Up->NextSibling) Up = Up->Parent;
        Stop = Up == FRoot ? nullptr : Up->NextSibling;
        Run = Node;
    } else {
        Run = GetFirst();
    }
    while (Run && Run != Stop && !OperationCanceled()) {
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
        Run = GetNext(Run);
    }
}

void TBaseLazyTree::FullCollapse(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    if (Node == FRoot) Node = nullptr;
    DoStateChange({tsCollapsing});
    BeginUpdate();
    TFinally Done{[this] {
        EndUpdate();
        DoStateChange({}, {tsCollapsing});
    }};
    PLazyNode Run = GetLastVisibleNoInit(Node, true);
    while (Run && Run != Node) {
        if (Run->States.Contains(vsExpanded) && Run->States.Contains(vsHasChildren)) ToggleNode(Run);
        Run = GetPreviousNoInit(Run, true);
    }
    if (Node && Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren)) ToggleNode(Node);
}

// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

int TBaseLazyTree::DoCompareNodes(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column) {
    int Result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, Result);
    return Result;
}

bool TBaseLazyTree::HasComparison() const { return bool(OnCompareNodes); }

bool TBaseLazyTree::AutoSortWanted() const {
    return FOptions->AutoOptions().Contains(toAutoSort) && FHeader->SortColumn > -2;
}

void TBaseLazyTree::SortChildrenList(PLazyNode Node, TColumnIndex Column, TSortDirection Direction) {
    // A stable merge sort into a separate list, installed only when every
    // comparison returned: a raising handler leaves the siblings as they were.
    TNodeArray Items;
    Items.reserve(Node->ChildCount);
    for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) Items.push_back(Run);
    TNodeArray Buffer(Items.size());
    auto Compare = [&](PLazyNode A, PLazyNode B) { return OperationCanceled() ? 0 : DoCompareNodes(A, B, Column); };
    for (std::size_t Width = 1; Width < Items.size(); Width *= 2) {
        for (std::size_t Lo = 0; Lo < Items.size(); Lo += 2 * Width) {
            std::size_t Mid = std::min(Lo + Width, Items.size()), Hi = std::min(Lo + 2 * Width, Items.size());
            std::size_t L = Lo, R = Mid, Out = Lo;
            while (L < Mid && R < Hi) {
                int C = Compare(Items[L], Items[R]);
                bool TakeRight = Direction == sdAscending ? C > 0 : C < 0;
                Buffer[Out++] = TakeRight ? Items[R++] : Items[L++];
            }
            while (L < Mid) Buffer[Out++] = Items[L++];
            while (R < Hi) Buffer[Out++] = Items[R++];
        }
        Items.swap(Buffer);
    }
    PLazyNode Previous = nullptr;
    Cardinal Index = 0;
    for (PLazyNode Item : Items) {
        Item->PrevSibling = Previous;
        Item->NextSibling = nullptr;
        Item->Index = Index++;
        if (Previous) Previous->NextSibling = Item;
        else Node->FirstChild = Item;
        Previous = Item;
    }
    Node->LastChild = Previous;
}

void TBaseLazyTree::Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    StopCacheValidation();
    if (FStates.Contains(tsEditPending)) {
        StopTimer(2);
        DoStateChange({}, {tsEditPending});
    }
    if (FStates.Contains(tsEditing) && !EndEditNode()) return;
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return;
    if (DoInit) {
        if (Node->ChildCount == 0) InitializeChildren(Node);
        ValidateChildren(Node, false);
    }
    // Without any comparison every order stays: skip the merge altogether.
    if (Node->ChildCount > 1 && HasComparison()) {
        StartOperation(okSortNode);
        TFinally End{[&] { EndOperation(okSortNode); }};
        SortChildrenList(Node, Column, Direction);
        InvalidatePositionCache();
    }
    if (FUpdateCount == 0) {
        RevalidatePositionCache();
        InvalidateTree();
    }
}

void TBaseLazyTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    if (FRoot->TotalCount <= 2) return;
    {
        ++FUpdateCount;
        TFinally Restore{[this] { --FUpdateCount; }};
        if (Column > -2) {
            bool AutoSort = FOptions->AutoOptions().Contains(toAutoSort);
            StartOperation(okSortTree);
            TFinally End{[&] { EndOperation(okSortTree); }};
            std::function<void(PLazyNode)> SortLevel = [&](PLazyNode Node) {
                Sort(Node, Column, Direction, DoInit);
                for (PLazyNode Run = Node->FirstChild; Run && !OperationCanceled(); Run = Run->NextSibling) {
                    if (DoInit && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
                    if (Run->States.Contains(vsInitialized) && (!AutoSort || Run->States.Contains(vsExpanded)))
                        SortLevel(Run);
                }
            };
            SortLevel(FRoot);
        }
        InvalidatePositionCache();
    }
    if (FUpdateCount == 0) {
        RevalidatePositionCache();
        InvalidateTree();
    }
}
