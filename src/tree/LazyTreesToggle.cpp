// Expanding, collapsing and sorting.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <cmath>
#include <typeinfo>

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
    const TLTAutoOptions Auto = FOptions->AutoOptions();
    const bool Animated = FOptions->AnimationOptions().Contains(toAnimatedToggle);
    const bool ChildrenAbove = FOptions->PaintOptions().Contains(toChildrenAbove);
    bool Allowed;
    bool Expanded = false;
    // How the window scrolls after an expansion: the node's place before it, and whether the node
    // with its children fits the window, and the children below the node.
    TRect NodeRect;
    bool FitsWithChildren = false, ChildrenFitBelow = false;
    Int64 Change = 0;
    if (Node->States.Contains(vsExpanded)) {
        Allowed = DoCollapsing(Node);
        if (Allowed) {
            Change = Int64(GetNodeHeight(Node)) - Int64(Node->TotalHeight);
            if (FUpdateCount == 0 && Animated && !FStates.Contains(tsCollapsing))
                AnimateToggle(Node, false, int(-Change));
            // The node keeps only its own row; the change is what its children showed.
            AddToTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
            if (GetFullyVisible(Node)) FVisibleCount -= CountShownChildren(Node);
            Node->States.Exclude(vsExpanded);
            DoCollapsed(Node);
            if (Auto.Contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
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
                // Fetched once: fetching fits the back buffer to the window.
                TCanvas& Target = Canvas();
                for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling)
                    if (Run->States.Contains(vsVisible)) {
                        MeasureItemHeight(&Target, Run);
                        Change += Run->TotalHeight;
                    }
                if (HandleAllocated() && GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) {
                    NodeRect = GetDisplayRect(Node, NoColumn, false);
                    FitsWithChildren = (NodeRect.Bottom - NodeRect.Top) + Change <= ClientHeight();
                    ChildrenFitBelow = NodeRect.Bottom + Change <= ClientHeight();
                }
                if (FUpdateCount == 0) {
                    if (NodeRect.Top < ClientHeight() && Animated && !FStates.Contains(tsExpanding) &&
                        !FStates.Contains(tsPainting))
                        AnimateToggle(Node, true, int(Change));
                    if (Auto.Contains(toAutoSort)) Sort(Node, FHeader->SortColumn, FHeader->SortDirection, false);
                }
                Node->States.Include(vsExpanded);
                AddToTotalHeight(Node, Change, true);
                if (GetFullyVisible(Node)) FVisibleCount += CountShownChildren(Node);
                DoExpanded(Node);
                Expanded = true;
            }
        }
    }
    if (!Allowed) return;
    InvalidatePositionCache();
    if (FUpdateCount > 0) return;
    RevalidatePositionCache();
    if (Change == 0 && Node->ChildCount == 0) {
        // Nothing came or went below it: the node alone shows its new button.
        InvalidateNode(Node);
        return;
    }
    UpdateScrollBars(true);
    if (FStates.Contains(tsExpanding) || FStates.Contains(tsPainting) || !HandleAllocated()) {
        InvalidateToBottom(Node);
        return;
    }
    if (Expanded && Auto.Contains(toAutoScrollOnExpand) && !ChildrenAbove) {
        // The children come into view: all of them when the node fits with them, else from the node on.
        if (FitsWithChildren) ScrollIntoView(GetLastVisible(Node, true), false, false);
        else SetTopNode(Node);
    } else if (Expanded && Auto.Contains(toAutoScrollOnExpand)) {
        // Above the node: it keeps its place when its children fit above it, else as much of them as
        // fits shows with the node at the bottom, or they start at the top when the node was not shown.
        if (FitsWithChildren) SetOffsetXY(FOffsetX, FOffsetY - int(Change));
        else if (NodeRect.Bottom > 0 && NodeRect.Top < ClientHeight()) SetBottomNode(Node);
        else SetTopNode(GetFirstVisibleChild(Node));
    } else if (ChildrenAbove) {
        // The rows above the node came or went: the node stays where it was.
        SetOffsetXY(FOffsetX, FOffsetY - int(Change));
    }
    InvalidateTree();
}

// ---------------------------------------------------------------------------
// The toggle animation: the part of the window beside the node's row scrolls
// step by step, so that the children seem to slide out or in.
// ---------------------------------------------------------------------------

void TBaseLazyTree::AnimateToggle(PLazyNode Node, bool Expanding, int ChildrenHeight) {
    if (!HandleAllocated() || !IsWindowVisible(Handle()) || ChildrenHeight <= 0 || !GetFullyVisible(Node)) return;
    using TData = TToggleAnimationData;
    const TLTAnimationOptions Animation = FOptions->AnimationOptions();
    const bool Advanced = Animation.Contains(toAdvancedAnimatedToggle);
    const bool AutoScroll = FOptions->AutoOptions().Contains(toAutoScrollOnExpand);
    const int Height = ClientHeight(), Width = ClientWidth();
    const TRect NodeRect = GetDisplayRect(Node, NoColumn, false);
    const int NodeTop = NodeRect.Top, NodeBottom = NodeRect.Bottom, NodeHeight = NodeBottom - NodeTop;
    const int Content = RangeY();     // the content's height before the toggle
    const int ScrolledDown = -FOffsetY;
    auto Band = [&](int Top, int Bottom) { return TRect{0, std::max(Top, 0), Width, std::min(Bottom, Height)}; };
    TData Data;
    Data.Brush = FColors->BackGroundColor();
    int Distance1 = 0, Distance2 = 0;
    if (!FOptions->PaintOptions().Contains(toChildrenAbove)) {
        if (!Expanding) {
            const int EndAfter = Content - ChildrenHeight - ScrolledDown;  // the content's bottom afterwards
            if (Advanced && ScrolledDown != 0 && Content > Height && EndAfter < Height) {
                // The rows above come down into the room that opens at the bottom.
                Data.R1 = Band(0, NodeBottom);
                Data.Mode1 = TData::tsmDown;
                Distance1 = std::min(ScrolledDown, Height - EndAfter);
            } else {
                Data.R1 = Band(NodeBottom, Height);
                Data.Mode1 = TData::tsmUp;
                Distance1 = std::min(ChildrenHeight, Data.R1.Bottom - Data.R1.Top + 1);
            }
        } else {
            const bool Fits = NodeHeight + ChildrenHeight <= Height;
            const bool FitBelow = NodeBottom + ChildrenHeight <= Height;
            if (AutoScroll && Advanced && NodeTop >= 1 && !(Fits && FitBelow)) {
                // The node travels up to make room while the rows below it go down.
                Data.R1 = Band(0, NodeBottom + 1);
                Data.Mode1 = TData::tsmUp;
                Distance1 = std::min(ChildrenHeight - (Height - NodeBottom), NodeTop + 1);
                Data.R2 = Band(NodeBottom + 1, Height);
                Data.Mode2 = TData::tsmDown;
                Distance2 = Data.R2.Bottom - Data.R2.Top;
            } else {
                Data.R1 = Band(NodeBottom, Height);
                Data.Mode1 = TData::tsmDown;
                Distance1 = std::min(ChildrenHeight, Data.R1.Bottom - Data.R1.Top);
            }
        }
    } else if (!Expanding) {
        if (NodeTop >= Height) return;
        if (Advanced && ScrolledDown < ChildrenHeight) {
            Data.R1 = Band(NodeTop - ChildrenHeight, Height);
            Data.Mode1 = TData::tsmUp;
            Distance1 = ChildrenHeight - ScrolledDown;
        } else {
            Data.R1 = Band(0, NodeTop);
            Data.Mode1 = TData::tsmDown;
            Distance1 = std::min(ChildrenHeight, NodeTop + 1);
        }
    } else {
        const bool Fits = NodeHeight + ChildrenHeight <= Height;
        const bool HighContent = Content >= Height;
        const bool FitAbove = NodeTop - ChildrenHeight >= 0;
        const bool BottomInside = NodeBottom <= Height;
        if (!Advanced || (Fits && HighContent && ((FitAbove && BottomInside) || !AutoScroll))) {
            Data.R1 = Band(0, NodeTop);
            Data.Mode1 = TData::tsmUp;
            Distance1 = std::min(ChildrenHeight, NodeTop);
        } else {
            Data.R1 = Band(NodeTop, Height);
            Data.Mode1 = TData::tsmDown;
            Data.R2 = Band(0, NodeTop);
            Data.Mode2 = TData::tsmUp;
            const bool Overflows = Content + ChildrenHeight > Height;
            if (AutoScroll) {
                if (Fits && BottomInside && Overflows)
                    Distance1 = ChildrenHeight >= NodeTop ? ChildrenHeight - NodeTop : Height - Content;
                else if (Overflows)
                    Distance1 = Height - NodeTop - NodeHeight;
                else
                    Distance1 = ChildrenHeight;
                if (!Overflows) Distance2 = 0;
                else if (Distance1 < 1) {
                    Distance1 = 0;
                    Distance2 = std::min(ChildrenHeight, Height);
                } else {
                    Distance2 = std::min(NodeTop, ChildrenHeight - Distance1);
                }
            } else {
                const int Overflow = Content + ChildrenHeight - Height;
                Distance1 = ChildrenHeight + ScrolledDown - std::max(Overflow, 0);
                Distance2 = Overflow > 0 ? std::min(Overflow, NodeTop) : 0;
            }
        }
    }
    if (Distance1 <= 0 || Data.R1.Top >= Data.R1.Bottom) Data.Mode1 = TData::tsmNone;
    if (Distance2 <= 0 || Data.R2.Top >= Data.R2.Bottom) Data.Mode2 = TData::tsmNone;
    if (Data.Mode1 == TData::tsmNone) Distance1 = 0;
    if (Data.Mode2 == TData::tsmNone) Distance2 = 0;
    // The band that moves further leads; the other follows in proportion.
    if (Distance1 > 0 && Distance2 > 0) {
        if (Distance2 > Distance1) {
            std::swap(Data.R1, Data.R2);
            std::swap(Data.Mode1, Data.Mode2);
            std::swap(Distance1, Distance2);
        }
        Data.ScaleFactor = double(Distance2) / Distance1;
    }
    const int Steps = Distance1 > 0 ? Distance1 : Distance2;
    if (Steps <= 0) return;
    if (FStates.Contains(tsHint)) Application->CancelHint();
    // The window shows what it is to show before its pixels move.
    UpdateWindow(Handle());
    RunAnimation(Steps, int(FAnimationDuration),
                 [this, &Data](int Step, int StepSize, void*) { return ToggleAnimationStep(Step, StepSize, Data); },
                 &Data);
}

bool TBaseLazyTree::ToggleAnimationStep(int Step, int StepSize, TToggleAnimationData& Data) {
    using TData = TToggleAnimationData;
    if (StepSize <= 0) return true;
    int Step2 = 0;
    if (Data.Mode1 != TData::tsmNone) {
        ScrollBand(Data.R1, Data.Mode1, StepSize);
        if (Data.Mode2 != TData::tsmNone && Data.ScaleFactor > 0) {
            Step2 = int(std::lround((StepSize + Data.MissedSteps) * Data.ScaleFactor));
            Data.MissedSteps = StepSize * Data.ScaleFactor + Data.MissedSteps - Step2;
        }
    } else {
        Step2 = StepSize;
    }
    if (Data.Mode2 != TData::tsmNone && Step2 > 0) ScrollBand(Data.R2, Data.Mode2, Step2);
    // What the first step uncovers takes the ground; later steps carry it along.
    if (Step == 0) {
        if (Data.Mode1 != TData::tsmNone) FillUncoveredBand(Data.R1, Data.Mode1, StepSize, Data.Brush);
        if (Data.Mode2 != TData::tsmNone && Step2 > 0) FillUncoveredBand(Data.R2, Data.Mode2, Step2, Data.Brush);
    }
    PresentWindow(Handle());
    return true;
}

void TBaseLazyTree::ScrollBand(const TRect& R, TToggleAnimationData::TScrollMode Mode, int Distance) {
    const int Height = R.Bottom - R.Top;
    if (Distance <= 0 || Distance >= Height || Mode == TToggleAnimationData::tsmNone) return;
    TCanvas& C = Canvas();
    if (Mode == TToggleAnimationData::tsmUp)
        C.CopyRect(TRect{R.Left, R.Top, R.Right, R.Bottom - Distance}, C,
                   TRect{R.Left, R.Top + Distance, R.Right, R.Bottom});
    else
        C.CopyRect(TRect{R.Left, R.Top + Distance, R.Right, R.Bottom}, C,
                   TRect{R.Left, R.Top, R.Right, R.Bottom - Distance});
}

void TBaseLazyTree::FillUncoveredBand(const TRect& R, TToggleAnimationData::TScrollMode Mode, int Distance,
                                      TColor Brush) {
    TRect Band = R;
    if (Mode == TToggleAnimationData::tsmUp) Band.Top = std::max(R.Top, R.Bottom - Distance - 1);
    else Band.Bottom = std::min(R.Bottom, R.Top + Distance + 1);
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Brush);
    C.FillRect(Band);
    if (!FHeader->UseColumns()) return;
    // Columns with a colour of their own show it.
    const TLazyTreeColumns& Columns = FHeader->Columns();
    for (TColumnIndex Index = Columns.GetFirstVisibleColumn(); Index >= 0; Index = Columns.GetNextVisibleColumn(Index)) {
        const TLazyTreeColumn* Column = Columns[Index];
        if (Column->Options().Contains(coParentColor)) continue;
        C.Brush().SetColor(Column->Color());
        C.FillRect(TRect{std::max(Band.Left, Column->Left()), Band.Top,
                         std::min(Band.Right, Column->Left() + Column->Width()), Band.Bottom});
    }
}

void TBaseLazyTree::SetExpanded(PLazyNode Node, bool Value) {
    if (Node && Node != FRoot && Value != Node->States.Contains(vsExpanded)) ToggleNode(Node);
}

inline bool TBaseLazyTree::ToggleWouldShowNothing(PLazyNode Node) const {
    // A toggle of an initialised node without children inside an update, with
    // the cache already stopped and invalid, only fires OnStateChange and
    // OnExpanding, and ends with every state as it was: a million leaves of a
    // full expansion need not pass it when no one listens.
    constexpr TLazyNodeStates Busy{vsHasChildren, vsToggling, vsDeleting};
    return Node->ChildCount == 0 && Node->States.Contains(vsInitialized) && (Node->States * Busy).Empty() &&
           !OnExpanding && !OnStateChange && FUpdateCount > 0 && FStates.Contains(tsValidationNeeded) &&
           CacheValidationStopped();
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
    const bool PlainEvents = HasLibraryEventOperations();
    while (Run && Run != Stop && !OperationCanceled()) {
        if (!Run->States.Contains(vsExpanded) && !(PlainEvents && ToggleWouldShowNothing(Run))) ToggleNode(Run);
        Run = GetNext(Run);
    }
}

bool TBaseLazyTree::HasLibraryEventOperations() const {
    // The library's own classes keep DoExpanding and DoStateChange as they are.
    const std::type_info& Type = typeid(*this);
    return Type == typeid(TBaseLazyTree) || Type == typeid(TLazyStringTree) || Type == typeid(TLazyDrawTree) ||
           Type == typeid(TCustomLazyStringTree) || Type == typeid(TCustomLazyDrawTree);
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
            // Called directly rather than through a function object: it runs once per node.
            const auto SortLevel = [&](const auto& Self, PLazyNode Node) -> void {
                Sort(Node, Column, Direction, DoInit);
                for (PLazyNode Run = Node->FirstChild; Run && !OperationCanceled(); Run = Run->NextSibling) {
                    if (DoInit && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
                    if (Run->States.Contains(vsInitialized) && (!AutoSort || Run->States.Contains(vsExpanded)))
                        Self(Self, Run);
                }
            };
            SortLevel(SortLevel, FRoot);
        }
        InvalidatePositionCache();
    }
    if (FUpdateCount == 0) {
        RevalidatePositionCache();
        InvalidateTree();
    }
}
