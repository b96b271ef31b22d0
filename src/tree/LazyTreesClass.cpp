// The tree class: life cycle, update bracket, change notification, long
// operations, timers, the position cache, options and colours.

#include "tree/LazyTrees_p.h"

#include "framework/Messages.h"
#include "framework/Styles.h"
#include "framework/Threads.h"
#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/LazyTrees.StyleHooks.h"
#include "tree/LazyTrees.Utils.h"
#include "tree/LazyTrees.Worker.h"

#include <algorithm>
#include <typeinfo>

namespace {
constexpr unsigned ChangeTimer = 5;
constexpr unsigned StructureChangeTimer = 6;
}  // namespace

namespace {
// The library's shared set-up comes before anything of the first tree is made.
TComponent* AfterSetUp(TComponent* Owner) {
    SetUpTreeLibrary();
    return Owner;
}
}  // namespace

TBaseLazyTree::TBaseLazyTree(TComponent* AOwner)
    : TCustomControl(AfterSetUp(AOwner)), FPool(std::make_unique<TNodePool>()) {
    SetBounds(0, 0, 200, 100);
    FHeader.reset(HeaderClassToCreate());
    FOptions.reset(TreeOptionsClass());
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FColors = std::make_unique<TLTColors>(this);
    // The styled scroll bars' hooks, once for every tree.
    RegisterTreeStyleHooks();
    FClipboardFormats = std::make_unique<TClipboardFormats>(this);
    FAliveToken = std::make_shared<TBaseLazyTree*>(this);
    FDragImage = std::make_unique<TLTDragImage>(this);
    FDragImage->Fade = true;
    FDragImage->Transparency = 200;
    FBackground = std::make_unique<TPicture>();
    // A picture the owner changes in place shows at once.
    FBackground->OnChange = [this](TObject*) {
        if (!IsDestroying()) InvalidateTree();
    };
    FWorker = TLazyTreeWorker::Acquire();
    CreateRootNode();
    UpdateStyleEnabled();
}

void TBaseLazyTree::UpdateStyleEnabled() { FFwStyleEnabled = TStyleManager::IsCustomStyleActive(); }

TBaseLazyTree::~TBaseLazyTree() {
    Destroying();
    // The window goes with the tree; its non-client destroy reaches this class only from here.
    if (HandleAllocated()) Perform(WM_NCDESTROY, 0, 0);
    StopCacheValidation();
    FOptions->SetMiscOptions(FOptions->MiscOptions() - TLTMiscOptions{toReadOnly});
    FAliveToken.reset();
    FWorker = nullptr;
    TLazyTreeWorker::Release();
    EndPanning();
    CancelEditNode();
    FEditLink.reset();
    // Every node gets its OnFreeNode while the tree is still whole.
    Clear();
    for (unsigned Id = 1; Id < 9; ++Id) StopTimer(Id);
    std::destroy_at(FRoot);
    ::operator delete(FRoot);
    FRoot = nullptr;
}

void TBaseLazyTree::Loaded() {
    if (FStates.Contains(tsNeedRootCountUpdate)) {
        DoStateChange({}, {tsNeedRootCountUpdate});
        Cardinal Count = FRoot->ChildCount;
        FRoot->ChildCount = 0;
        if (Count > 0) {
            TLTMiscOptions Saved = FOptions->MiscOptions();
            FOptions->SetMiscOptions(Saved - TLTMiscOptions{toReadOnly});
            BeginUpdate();
            TFinally Restore{[&] {
                EndUpdate();
                FOptions->SetMiscOptions(Saved);
            }};
            SetChildCount(FRoot, Count);
        }
    }
    FHeader->AfterLoading();
}

void TBaseLazyTree::Assign(const TBaseLazyTree& Source) {
    if (ReadOnly()) return;
    SetBiDiMode(Source.BiDiMode());
    SetChangeDelay(Source.FChangeDelay);
    FColors->Assign(*Source.FColors);
    SetDefaultNodeHeight(Source.FDefaultNodeHeight);
    DefaultPasteMode = Source.DefaultPasteMode;
    SetNodeDataSize(Source.FNodeDataSize);
    SetNodeAlignment(Source.FNodeAlignment);
    SetBackground(*Source.FBackground);
    Source.FOptions->AssignTo(*FOptions);
    SetRootNodeCount(Source.RootNodeCount());
    FScrollBarOptions->Assign(*Source.FScrollBarOptions);
}

// ---------------------------------------------------------------------------
// Update bracket
// ---------------------------------------------------------------------------

void TBaseLazyTree::BeginUpdate() {
    if (!IsMainThread())
        Assert(false, u"UI controls like " + S(typeid(*this).name()) +
                          u" should only be manipulated through the main thread.");
    if (!IsDestroying()) {
        if (FUpdateCount == 0) DoUpdating(usBegin);
        else DoUpdating(usUpdate);
    }
    ++FUpdateCount;
    DoStateChange({tsUpdating});
}

void TBaseLazyTree::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (IsDestroying()) return;
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
            RecheckAllChildrenHiddenEverywhere();
            DoStateChange({}, {tsUpdateHiddenChildrenNeeded});
        }
        DoStateChange({}, {tsUpdating});
        CompactSelectionArray();
        InvalidatePositionCache();
        RevalidatePositionCache();
        UpdateScrollBars(false);
        TFinally After{[this] {
            if (FOptions->AutoOptions().Contains(toAutoSort))
                SortTree(FHeader->SortColumn, FHeader->SortDirection, true);
            InvalidateTree();
            NotifyDesigner();
        }};
        if (FStates.Contains(tsStructureChangePending))
            DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
    }
    if (FUpdateCount > 0) {
        DoUpdating(usUpdate);
    } else {
        DoUpdating(usEnd);
        EnsureNodeSelected();
    }
}

void TBaseLazyTree::BeginSynch() {
    if (IsDestroying()) return;
    if (FSynchUpdateCount == 0) {
        DoUpdating(usBeginSynch);
        for (unsigned Id : {ChangeTimer, StructureChangeTimer, 1u, 2u, 3u, 4u, 7u}) StopTimer(Id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        DoStateChange({}, {tsEditPending, tsIncrementalSearching, tsScrolling, tsScrollPending});
        if (FStates.Contains(tsStructureChangePending))
            DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
    } else {
        DoUpdating(usSynch);
    }
    ++FSynchUpdateCount;
    DoStateChange({tsSynchMode});
}

void TBaseLazyTree::EndSynch() {
    if (FSynchUpdateCount > 0) --FSynchUpdateCount;
    if (IsDestroying()) return;
    if (FSynchUpdateCount > 0) {
        DoUpdating(usSynch);
    } else {
        DoStateChange({}, {tsSynchMode});
        DoUpdating(usEndSynch);
    }
}

// ---------------------------------------------------------------------------
// Change notification
// ---------------------------------------------------------------------------

void TBaseLazyTree::RecordPendingChange(bool StructureChange, PLazyNode Node, TChangeReason Reason) {
    if (StructureChange) {
        if (FStates.Contains(tsStructureChangePending)) StopTimer(StructureChangeTimer);
        else DoStateChange({tsStructureChangePending});
        FLastStructureChangeNode = Node;
        if (FLastStructureChangeReason == crIgnore) FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore) FLastStructureChangeReason = crAccumulated;
    } else {
        if (FStates.Contains(tsChangePending)) StopTimer(ChangeTimer);
        else DoStateChange({tsChangePending});
        FLastChangedNode = Node;
    }
}

void TBaseLazyTree::StructureChanged(PLazyNode Node, TChangeReason Reason) {
    RecordPendingChange(true, Node, Reason);
    if (FUpdateCount > 0) return;
    if (FChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode))
        StartTimer(StructureChangeTimer, FChangeDelay);
    else
        DoStructureChange(Node, Reason);
}

void TBaseLazyTree::Changed(PLazyNode Node) {
    RecordPendingChange(false, Node, crIgnore);
    if (FUpdateCount > 0) return;
    if (FChangeDelay > 0 && HandleAllocated() && !FStates.Contains(tsSynchMode))
        StartTimer(ChangeTimer, FChangeDelay);
    else
        DoChange(Node);
}

void TBaseLazyTree::DoStructureChange(PLazyNode Node, TChangeReason Reason) {
    StopTimer(StructureChangeTimer);
    if (OnStructureChange) OnStructureChange(this, Node, Reason);
    DoStateChange({}, {tsStructureChangePending});
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

void TBaseLazyTree::DoChange(PLazyNode Node) {
    StopTimer(ChangeTimer);
    if (OnChange) OnChange(this, Node);
    DoStateChange({}, {tsChangePending});
    FLastChangedNode = nullptr;
}

void TBaseLazyTree::DoUpdating(TLTUpdateState State) {
    if (OnUpdating) OnUpdating(this, State);
}

void TBaseLazyTree::DoStateChange(TLazyTreeStates Enter, TLazyTreeStates Leave) {
    // A tree being destroyed tells no one: its owner may be gone already.
    if (OnStateChange && !IsDestroying() && (!(Enter - FStates).Empty() || !(Leave * FStates).Empty()))
        OnStateChange(this, Enter, Leave);
    FStates = (FStates + Enter) - Leave;
}

void TBaseLazyTree::StartOperation(TLTOperationKind Kind) {
    ++FOperationCount;
    DoStartOperation(Kind);
    if (FOperationCount == 1) FOperationCanceled = false;
}

void TBaseLazyTree::EndOperation(TLTOperationKind Kind) {
    TreeAssert(FOperationCount > 0, "EndOperation must not be called when no operation in progress.");
    --FOperationCount;
    DoEndOperation(Kind);
}

void TBaseLazyTree::CancelOperation() {
    if (FOperationCount > 0) FOperationCanceled = true;
}

void TBaseLazyTree::DoStartOperation(TLTOperationKind Kind) {
    if (OnStartOperation) OnStartOperation(this, Kind);
}

void TBaseLazyTree::DoEndOperation(TLTOperationKind Kind) {
    if (OnEndOperation) OnEndOperation(this, Kind);
}

// ---------------------------------------------------------------------------
// Timers
// ---------------------------------------------------------------------------

void TBaseLazyTree::StartTimer(unsigned Id, Cardinal Elapse) {
    ++FTimerStarts[Id];
    FTimerRunning[Id] = true;
    if (HandleAllocated()) SetTimer(Handle(), Id, Elapse);
}

void TBaseLazyTree::StopTimer(unsigned Id) {
    if (!FTimerRunning[Id]) return;
    FTimerRunning[Id] = false;
    if (HandleAllocated()) KillTimer(Handle(), Id);
}

void TBaseLazyTree::WMTimer(TWMTimer& Message) { TimerFired(unsigned(Message.TimerID())); }

void TBaseLazyTree::CMSysColorChange(TMessage& Message) {
    ReloadRemappedImageLists();
    TCustomControl::CMSysColorChange(Message);
    Perform(WM_SYSCOLORCHANGE, Message.WParam, Message.LParam);
}

void TBaseLazyTree::TimerFired(unsigned Id) {
    switch (Id) {
    case ChangeTimer:
        if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
        else StopTimer(ChangeTimer);
        break;
    case StructureChangeTimer:
        DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        break;
    case 1:  // the drop target has been hovered long enough
        AutoExpandDropTarget();
        break;
    case 2:  // edit delay
        StartEditing();
        break;
    case 4:  // automatic scrolling and panning: a first tick after the delay, then steps
        if (FStates.Contains(tsScrollPending)) {
            StopTimer(4);
            StartTimer(4, AutoScrollInterval);
            DoStateChange({tsScrolling}, {tsScrollPending});
        }
        ScrollTimerStep();
        break;
    case 7:  // the typed text of an incremental search has timed out
        DoStateChange({}, {tsIncrementalSearching});
        StopTimer(7);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        break;
    default:
        StopTimer(Id);
        break;
    }
}

// ---------------------------------------------------------------------------
// Position cache
// ---------------------------------------------------------------------------

void TBaseLazyTree::InvalidatePositionCache() {
    // Already invalid: no state would change (a full expansion asks once per node).
    if (FStates.Contains(tsValidationNeeded) && !FStates.Contains(tsUseCache)) return;
    DoStateChange({tsValidationNeeded}, {tsUseCache});
}

Cardinal TBaseLazyTree::WalkHeight(PLazyNode Node) {
    if (!FOptions->MiscOptions().Contains(toVariableNodeHeight)) return Node->NodeHeight;
    if (IsMainThread()) return GetNodeHeight(Node);
    // Initialising and measuring run owner code: on the user-interface thread, as one call.
    Cardinal Height = 0;
    TThread::Synchronize(TThread::CurrentThread(), [&] {
        FInWorkerCall = true;
        TFinally Done{[this] { FInWorkerCall = false; }};
        Height = GetNodeHeight(Node);
    });
    return Height;
}

bool TBaseLazyTree::BuildPositionCache() {
    constexpr Cardinal Step = 2000;
    if (FStopRequested.load()) return false;
    if (FStartIndex == 0) FPositionCache.clear();
    std::size_t Entries = FVisibleCount < 2 ? 0 : (FVisibleCount + Step - 1) / Step;
    FPositionCache.resize(Entries);
    PLazyNode Node = GetFirstVisibleNoInit(nullptr, true);
    Cardinal Top = 0;
    std::size_t Index = 0;
    Cardinal Ordinal = 0;
    Cardinal Walked = 0;
    while (Node && Index < Entries && !FStopRequested.load()) {
        if (Ordinal % Step == 0) FPositionCache[Index++] = TCacheEntry{Node, Top};
        Top += WalkHeight(Node);
        // A measurement may have changed the tree (the owner's handlers ran): look again.
        if (FStopRequested.load()) break;
        ++Ordinal;
        ++Walked;
        Node = GetNextVisibleNoInit(Node, true);
    }
    if (FStopRequested.load()) return false;
    // Entries left over (the count was ahead of the walk): the next one marks the bottom.
    if (Index < Entries) {
        FPositionCache.resize(Index + 1);
        FPositionCache[Index] = TCacheEntry{GetLastVisibleNoInit(nullptr, true), Top};
    }
    return Walked >= 2;
}

void TBaseLazyTree::StopCacheValidation() {
    // Already stopped and held by no worker: no state would change and no one
    // waits (every toggle of a full expansion asks).
    if (CacheValidationStopped()) return;
    bool WasValidating = FStates.Contains(tsValidating);
    // Only this thread sets the request: a read spares the locked write when it stands.
    if (!FStopRequested.load(std::memory_order_relaxed)) FStopRequested.store(true);
    DoStateChange({tsStopValidation}, {tsUseCache});
    if (FWorker && !FInWorkerCall && FWithWorker) {
        FWorker->RemoveTree(this);
        FWithWorker = false;
    }
    if (WasValidating) InvalidatePositionCache();
}

void TBaseLazyTree::RevalidatePositionCache() {
    StopCacheValidation();
    FStartIndex = 0;
    if (FStates.Contains(tsValidationNeeded) && FVisibleCount > 2000 && FWorker) {
        // Inside a measurement for the worker's walk the tree is handed over
        // again once that walk has ended.
        if (FInWorkerCall) FRevalidateAfterBuild = true;
        else {
            FWorker->AddTree(this);
            FWithWorker = true;
        }
    }
}

// ---------------------------------------------------------------------------
// Options, scroll-bar options, colours
// ---------------------------------------------------------------------------

TCustomLazyTreeOptions::TCustomLazyTreeOptions(TBaseLazyTree* AOwner)
    : FOwner(AOwner),
      FPaintOptions{toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines, toThemeAware, toUseBlendedImages},
      FAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoSort, toAutoTristateTracking,
                   toAutoDeleteMovedNodes, toAutoChangeScale},
      FMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick, toWheelPanning,
                   toEditOnClick} {}

void TCustomLazyTreeOptions::SetPaintOptions(TLTPaintOptions Value) {
    if (Value == FPaintOptions) return;
    TLTPaintOptions Old = FPaintOptions;
    if (Value.Contains(toFixedIndent) && !Old.Contains(toFixedIndent)) Value.Include(toShowRoot);
    FPaintOptions = Value;
    TBaseLazyTree* T = FOwner;
    bool Loading = T->IsLoading();
    if (!Loading && Old.Contains(toShowFilteredNodes) != Value.Contains(toShowFilteredNodes)) {
        bool Added = Value.Contains(toShowFilteredNodes);
        bool Window = T->HandleAllocated();
        if (Window) T->BeginUpdate();
        TFinally End{[&] { if (Window) T->EndUpdate(); }};
        T->StopCacheValidation();
        for (PLazyNode Run = T->GetFirstNoInit(false); Run; Run = T->GetNextNoInit(Run, false)) {
            if (!Run->States.Contains(vsFiltered)) continue;
            if (T->GetFullyVisible(Run)) {
                if (Added) ++T->FVisibleCount;
                else --T->FVisibleCount;
            }
            T->AddToTotalHeight(Run, Added ? Int64(Run->NodeHeight) : -Int64(Run->NodeHeight), true);
        }
    }
    if (!T->HandleAllocated() || Loading) return;
    if (Old.Contains(toThemeAware) != Value.Contains(toThemeAware) ||
        Old.Contains(toUseExplorerTheme) != Value.Contains(toUseExplorerTheme))
        T->ThemeChanged();
    if (Old.Contains(toChildrenAbove) != Value.Contains(toChildrenAbove)) {
        T->InvalidatePositionCache();
        if (T->FUpdateCount == 0) T->RevalidatePositionCache();
    }
    T->Invalidate();
}

void TCustomLazyTreeOptions::SetAutoOptions(TLTAutoOptions Value) {
    if (Value == FAutoOptions) return;
    bool SpanChanged = Value.Contains(toAutoSpanColumns) != FAutoOptions.Contains(toAutoSpanColumns);
    FAutoOptions = Value;
    if (SpanChanged && !FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->Invalidate();
}

void TCustomLazyTreeOptions::SetSelectionOptions(TLTSelectionOptions Value) {
    if (Value == FSelectionOptions) return;
    TLTSelectionOptions Old = FSelectionOptions;
    FSelectionOptions = Value;
    TBaseLazyTree* T = FOwner;
    if (Old.Contains(toMultiSelect) != Value.Contains(toMultiSelect) ||
        (Value.Contains(toLevelSelectConstraint) && !Old.Contains(toLevelSelectConstraint)) ||
        (Value.Contains(toSiblingSelectConstraint) && !Old.Contains(toSiblingSelectConstraint)))
        T->ClearSelection();
    if (Old.Contains(toExtendedFocus) && !Value.Contains(toExtendedFocus) && T->FFocusedColumn > 0 &&
        T->HandleAllocated()) {
        T->FFocusedColumn = T->FHeader->MainColumn;
        T->Invalidate();
    }
    if (!Value.Contains(toExtendedFocus)) T->FFocusedColumn = T->FHeader->MainColumn;
}

void TCustomLazyTreeOptions::SetMiscOptions(TLTMiscOptions Value) {
    if (Value == FMiscOptions) return;
    TLTMiscOptions Old = FMiscOptions;
    FMiscOptions = Value;
    TBaseLazyTree* T = FOwner;
    if (T->IsLoading() || !T->HandleAllocated()) return;
    if (Old.Contains(toCheckSupport) != Value.Contains(toCheckSupport)) T->Invalidate();
    if (Old.Contains(toAcceptOLEDrop) != Value.Contains(toAcceptOLEDrop)) T->UpdateDropTarget();
    if (Value.Contains(toVariableNodeHeight) && !Old.Contains(toVariableNodeHeight)) {
        T->BeginUpdate();
        TFinally End{[T] { T->EndUpdate(); }};
        T->ReinitChildren(nullptr, true);
    }
}

void TCustomLazyTreeOptions::AssignTo(TCustomLazyTreeOptions& Dest) const {
    Dest.SetPaintOptions(FPaintOptions);
    Dest.SetAnimationOptions(FAnimationOptions);
    Dest.SetAutoOptions(FAutoOptions);
    Dest.SetSelectionOptions(FSelectionOptions);
    Dest.SetMiscOptions(FMiscOptions);
}

void TScrollBarOptions::Assign(const TScrollBarOptions& Source) {
    SetAlwaysVisible(Source.FAlwaysVisible);
    HorizontalIncrement = Source.HorizontalIncrement;
    SetScrollBars(Source.FScrollBars);
    SetScrollBarStyle(Source.FScrollBarStyle);
    VerticalIncrement = Source.VerticalIncrement;
}

TLTColors::TLTColors(TBaseLazyTree* AOwner)
    : FOwner(AOwner),
      FColors{clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace,
              clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow,
              clHighlightText, clBtnFace} {}

void TLTColors::SetColor(Index I, TColor Value) {
    if (FColors[I] == Value) return;
    FColors[I] = Value;
    if (!FOwner->ComponentState().Contains(csLoading) && FOwner->HandleAllocated()) FOwner->Invalidate();
}

void TLTColors::Assign(const TLTColors& Source) {
    std::copy(std::begin(Source.FColors), std::end(Source.FColors), std::begin(FColors));
    if (FOwner->UpdateCount() == 0) FOwner->InvalidateTree();
}

TColor TLTColors::BackGroundColor() const { return FOwner->Color(); }
TColor TLTColors::NodeFontColor() const { return FOwner->Font().Color(); }

// ---------------------------------------------------------------------------
// Referenced components and scaling
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    InvalidateTree();
}

void TBaseLazyTree::SetStateImages(TImageList* Value) {
    if (FStateImages == Value) return;
    FStateImages = Value;
    if (Value) Value->FreeNotification(this);
    InvalidateTree();
}

void TBaseLazyTree::SetCheckImageKind(TCheckImageKind Value) {
    if (FCheckImageKind == Value) return;
    FCheckImageKind = Value;
    if (FUpdateCount == 0 && !IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetCustomCheckImages(TImageList* Value) {
    if (FCustomCheckImages == Value) return;
    FCustomCheckImages = Value;
    if (Value) Value->FreeNotification(this);
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    bool Repaint = false;
    if (AComponent == FImages) {
        FImages = nullptr;
        Repaint = true;
    }
    if (AComponent == FStateImages) {
        FStateImages = nullptr;
        Repaint = true;
    }
    if (AComponent == FCustomCheckImages) {
        FCustomCheckImages = nullptr;
        FCheckImageKind = ckSystemDefault;
        Repaint = true;
    }
    if (Repaint && !IsDestroying()) InvalidateTree();
    if (FHeader && AComponent == FHeader->Images()) FHeader->SetImages(nullptr);
}

void TBaseLazyTree::ChangeScale(int M, int D) {
    if (M == D || D == 0 || !FOptions->AutoOptions().Contains(toAutoChangeScale)) return;
    FHeader->ApplyScale(M, D);
    SetDefaultNodeHeight(Cardinal(std::max(0, MulDiv(int(FDefaultNodeHeight), M, D))));
    SetIndent(Cardinal(std::max(0, MulDiv(int(FIndent), M, D))));
}
