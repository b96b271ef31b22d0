// Drag and drop: the tree as drag source (the selection travels in a data
// object) and as drop target (drop target node, drop mode, suggested effect,
// automatic expansion, the drop).

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned ExpandTimer = 1;

// The drag calls also tell Alt in the key flags.
TShiftState ShiftOfKeys(Cardinal KeyState) {
    TShiftState Shift = KeysToShiftState(KeyState);
    if (KeyState & MK_ALT) Shift.Include(ssAlt);
    return Shift;
}

}  // namespace

TLTDragManager::TLTDragManager(TBaseLazyTree* Owner) : FOwner(Owner->AliveToken()) {}

TBaseLazyTree* TLTDragManager::Owner() const {
    auto Token = FOwner.lock();
    return Token ? *Token : nullptr;
}

HRESULT TLTDragManager::QueryContinueDrag(bool EscapePressed, Cardinal KeyState) {
    if (EscapePressed || ((KeyState & MK_LBUTTON) && (KeyState & MK_RBUTTON))) return DRAGDROP_S_CANCEL;
    if (KeyState & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
    return DRAGDROP_S_DROP;
}

HRESULT TLTDragManager::GiveFeedback(Cardinal) { return DRAGDROP_S_USEDEFAULTCURSORS; }

HRESULT TLTDragManager::DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                                  Cardinal& Effect) {
    TBaseLazyTree* Tree = Owner();
    if (!Tree) return E_UNEXPECTED;
    FDataObject = Data;
    FIsDropTarget = true;
    FDragSource = Tree->SourceTreeOfDataObject(Data);
    return Tree->OleDragEnter(FDragSource, KeyState, Point, Effect);
}

HRESULT TLTDragManager::DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) {
    TBaseLazyTree* Tree = Owner();
    if (!Tree) return E_UNEXPECTED;
    return Tree->OleDragOver(FDragSource, KeyState, Point, dsDragMove, Effect);
}

HRESULT TLTDragManager::DragLeave() {
    if (TBaseLazyTree* Tree = Owner()) Tree->OleDragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.reset();
    return S_OK;
}

HRESULT TLTDragManager::Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                             Cardinal& Effect) {
    TBaseLazyTree* Tree = Owner();
    HRESULT Result = Tree ? Tree->OleDrop(FDragSource, Data, KeyState, Point, Effect) : E_UNEXPECTED;
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.reset();
    return Result;
}

std::shared_ptr<IDataObject> TLTDragManager::DragDataObject() {
    if (FDataObject) return FDataObject;
    TBaseLazyTree* Tree = Owner();
    if (!Tree) return nullptr;
    std::shared_ptr<IDataObject> Data;
    if (Tree->OnCreateDataObject) Tree->OnCreateDataObject(Tree, Data);
    return Data ? Data : Tree->DoCreateDataObject();
}

std::shared_ptr<TLTDragManager> TBaseLazyTree::DoCreateDragManager() {
    std::shared_ptr<TLTDragManager> Manager;
    if (OnCreateDragManager) OnCreateDragManager(this, Manager);
    return Manager;
}

std::shared_ptr<TLTDragManager> TBaseLazyTree::DragManager() {
    if (!FDragManager) FDragManager = DoCreateDragManager();
    if (!FDragManager) FDragManager = std::make_shared<TLTDragManager>(this);
    return FDragManager;
}

void TBaseLazyTree::UpdateDropTarget() {
    if (!HandleAllocated() || IsLoading()) return;
    if (FOptions->MiscOptions().Contains(toAcceptOLEDrop)) RegisterDragDrop(this, DragManager());
    else RevokeDragDrop(this);
}

// ---------------------------------------------------------------------------
// Source side
// ---------------------------------------------------------------------------

bool TBaseLazyTree::DoDragAllowed(PLazyNode Node, TColumnIndex Column) {
    bool Allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, Node, Column, Allowed);
    return Allowed;
}

void TBaseLazyTree::BeginDrag(bool Immediate, int Threshold) {
    if (DragType == dtFw) {
        DoStateChange({tsFwDragPending});
        TCustomControl::BeginDrag(Immediate, Threshold);
        return;
    }
    if (FStates.Contains(tsOLEDragPending) || FStates.Contains(tsOLEDragging)) return;
    FDragThreshold = Threshold < 0 ? DragThreshold : Threshold;
    if (Immediate) RunOleDrag(FLastClickPos);
    else DoStateChange({tsOLEDragPending});
}

bool TBaseLazyTree::Dragging() const {
    return FStates.Contains(tsOLEDragging) || FStates.Contains(tsOLEDragPending) || TCustomControl::Dragging();
}

bool TBaseLazyTree::DragMouseMove(int X, int Y) {
    if (!FStates.Contains(tsOLEDragPending)) return false;
    if (std::abs(X - FLastClickPos.X) < FDragThreshold && std::abs(Y - FLastClickPos.Y) < FDragThreshold) return false;
    RunOleDrag(FLastClickPos);
    return true;
}

void TBaseLazyTree::RunOleDrag(TPoint HotSpot) {
    DoEditCancelled();
    if (PLazyNode Hot = FCurrentHotNode) {
        FCurrentHotNode = nullptr;
        FCurrentHotColumn = NoColumn;
        FHotNodeButtonHit = false;
        InvalidateNode(Hot);
    }
    if (FFocusedNode && !FFocusedNode->States.Contains(vsSelected)) {
        MergeIntoSelection(TNodeArray{FFocusedNode}, 1, false);
        InvalidateNode(FFocusedNode);
    }
    FDragSelection = GetSortedSelection(true);
    DoStateChange({tsOLEDragging}, {tsClearPending, tsOLEDragPending});
    std::shared_ptr<TLTDragManager> Manager = DragManager();
    std::shared_ptr<IDataObject> Data = Manager->DragDataObject();
    FLastDropMode = dmOnNode;
    FLastDragEffect = 0;
    Cardinal Allowed = 0;
    if (DragOperations.Contains(doCopy)) Allowed |= DROPEFFECT_COPY;
    if (DragOperations.Contains(doMove)) Allowed |= DROPEFFECT_MOVE;
    if (DragOperations.Contains(doLink)) Allowed |= DROPEFFECT_LINK;
    if (Allowed == 0) Allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    // The framework hears of the drag's start and end as of its own drags.
    TDragObject* DragObject = nullptr;
    DoStartDrag(DragObject);
    TFinally Done{[this] {
        const TPoint P = ScreenToClient(GetCursorPos());
        DoEndDrag(this, P.X, P.Y);
        FDragImage->EndDrag();
        if (FLastDragEffect == DROPEFFECT_MOVE && FOptions->AutoOptions().Contains(toAutoDeleteMovedNodes))
            DeleteSelectedNodes();
        DoStateChange({}, {tsOLEDragging});
        FDragSelection.clear();
    }};
    PrepareDragImage(HotSpot, Data);
    RunDragLoop(Allowed, Data, FLastDragEffect);
}

// The platform's drag carries the picture of the dragged nodes, the mouse at its centre.
void TBaseLazyTree::RunDragLoop(Cardinal AllowedEffects, const std::shared_ptr<IDataObject>& DataObject,
                                Cardinal& Effect) {
    const TBitmap& Picture = FDragImage->SystemPicture();
    ::DoDragDrop(DataObject, DragManager(), AllowedEffects, Effect, Picture.Empty() ? nullptr : &Picture,
                 TPoint{Picture.Width() / 2, Picture.Height() / 2});
}

// The picture floats in a window of its own: the tree paints first, then the
// picture takes what now lies under it.
void TBaseLazyTree::RepaintUnderDragImage(TBaseLazyTree* Source, TRect R, bool ReshowDragImage, bool UpdateNCArea) {
    if (!IntersectRect(R, R, ClientRect()) || !HandleAllocated()) return;
    constexpr Cardinal Now = RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | RDW_UPDATENOW;
    if (UpdateNCArea) RedrawWindow(Handle(), &R, nullptr, Now | RDW_FRAME);
    else RedrawWindow(Handle(), &R, nullptr, Now);
    if (Source) Source->DragImage().RecaptureBackground(R, ReshowDragImage);
}

// ---------------------------------------------------------------------------
// Target side
// ---------------------------------------------------------------------------

Cardinal TBaseLazyTree::SuggestedDropEffect(TBaseLazyTree* Source, TShiftState Shift, TPoint, Cardinal AllowedEffects) {
    auto IfAllowed = [AllowedEffects](Cardinal Effect, Cardinal Otherwise) {
        return (AllowedEffects & Effect) ? Effect : Otherwise;
    };
    const Cardinal Base = Source == this ? IfAllowed(DROPEFFECT_MOVE, AllowedEffects) : IfAllowed(DROPEFFECT_COPY, AllowedEffects);
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftKey = Shift.Contains(ssShift);
    if (Ctrl && ShiftKey) return IfAllowed(DROPEFFECT_LINK, Base);
    if (Ctrl) return IfAllowed(DROPEFFECT_COPY, Base);
    if (ShiftKey) return IfAllowed(DROPEFFECT_MOVE, Base);
    if (Shift.Contains(ssAlt)) return IfAllowed(DROPEFFECT_LINK, Base);
    return Base;
}

TDropMode TBaseLazyTree::DropModeAt(TPoint P, THitInfo& HitInfo, TRect NodeRect) {
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const bool FullRow = HitInfo.HitNode && (FOptions->MiscOptions().Contains(toFullRowDrag) || Selection.Contains(toFullRowSelect));
    const bool OffContent = !HitInfo.HitPositions.Contains(hiOnItemLabel) &&
                            !HitInfo.HitPositions.Contains(hiOnNormalIcon) &&
                            !HitInfo.HitPositions.Contains(hiOnStateIcon);
    if (FOptions->MiscOptions().Contains(toReportMode) && !FullRow && OffContent) HitInfo.HitNode = nullptr;
    if (!HitInfo.HitNode) return dmNowhere;
    if (OffContent && FOptions->PaintOptions().Contains(toShowDropmark))
        return P.Y < (NodeRect.Top + NodeRect.Bottom) / 2 ? dmAbove : dmBelow;
    return dmOnNode;
}

bool TBaseLazyTree::DoDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode,
                               Cardinal& Effect) {
    bool Accept = false;
    if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, Accept);
    return Accept;
}

void TBaseLazyTree::DoDragDrop(TObject* Source, const std::shared_ptr<IDataObject>& DataObject,
                               const std::vector<CLIPFORMAT>& Formats, TShiftState Shift, TPoint Pt, Cardinal& Effect,
                               TDropMode Mode) {
    if (OnDragDrop) OnDragDrop(this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

HRESULT TBaseLazyTree::OleDragEnter(TBaseLazyTree* Source, Cardinal KeyState, TPoint Pt, Cardinal& Effect) {
    FDragScrollStart = 0;
    try {
        TShiftState Shift = ShiftOfKeys(KeyState);
        if (FStates.Contains(tsLeftButtonDown)) Shift.Include(ssLeft);
        if (FStates.Contains(tsMiddleButtonDown)) Shift.Include(ssMiddle);
        if (FStates.Contains(tsRightButtonDown)) Shift.Include(ssRight);
        Pt = ScreenToClient(Pt);
        Effect = SuggestedDropEffect(Source, Shift, Pt, Effect);
        if (!DoDragOver(Source, Shift, dsDragEnter, Pt, FLastDropMode, Effect)) {
            Effect = DROPEFFECT_NONE;
            return S_OK;
        }
        THitInfo Hit = GetHitTestInfoAt(Pt.X, Pt.Y);
        if (Hit.HitNode) {
            FDropTargetNode = Hit.HitNode;
            const bool FullRow = FOptions->MiscOptions().Contains(toFullRowDrag) ||
                                 FOptions->SelectionOptions().Contains(toFullRowSelect);
            if (Hit.HitPositions.Contains(hiOnItemLabel) || FullRow) {
                FLastDropMode = dmOnNode;
            } else {
                const TRect R = GetDisplayRect(Hit.HitNode, false);
                FLastDropMode = Pt.Y < (R.Top + R.Bottom) / 2 ? dmAbove : dmBelow;
            }
        } else {
            FLastDropMode = dmNowhere;
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// The view moves by one step towards each edge the point is near, as long as there is more to see.
bool TBaseLazyTree::ScrollWhileDragging(TPoint Pt) {
    FScrollDirections = ScrollDirectionsAt(Pt.X, Pt.Y);
    if (FScrollDirections.Empty()) return false;
    const int StepY = std::min(int(FScrollBarOptions->VerticalIncrement), ClientHeight());
    const int StepX = int(FScrollBarOptions->HorizontalIncrement);
    int DX = 0, DY = 0;
    if (FScrollDirections.Contains(sdUp)) {
        DY = StepY;
        if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
    }
    if (FScrollDirections.Contains(sdDown)) {
        DY = -StepY;
        if (ClientHeight() - FOffsetY == RangeY()) FScrollDirections.Exclude(sdDown);
    }
    if (FScrollDirections.Contains(sdLeft)) {
        DX = StepX;
        if (FOffsetX == 0) FScrollDirections.Exclude(sdLeft);
    }
    if (FScrollDirections.Contains(sdRight)) {
        DX = -StepX;
        if (ClientWidth() - FOffsetX == RangeX()) FScrollDirections.Exclude(sdRight);
    }
    const int OldX = FOffsetX, OldY = FOffsetY;
    SetOffsetXY(FOffsetX + DX, FOffsetY + DY);
    return FOffsetX != OldX || FOffsetY != OldY;
}

HRESULT TBaseLazyTree::OleDragOver(TObject* Source, Cardinal KeyState, TPoint Pt, TDragState State,
                                   Cardinal& Effect) {
    try {
        const TPoint Screen = Pt;
        Pt = ScreenToClient(Pt);
        // A drag from a tree of this process repaints under that tree's picture; any other only invalidates.
        TBaseLazyTree* SourceTree = dynamic_cast<TBaseLazyTree*>(Source);
        const bool Scrolled = State != dsDragLeave && ScrollWhileDragging(Pt);
        if (Scrolled && !SourceTree) Invalidate();
        TShiftState Shift = ShiftOfKeys(KeyState);
        if (FStates.Contains(tsLeftButtonDown)) Shift.Include(ssLeft);
        if (FStates.Contains(tsMiddleButtonDown)) Shift.Include(ssMiddle);
        if (FStates.Contains(tsRightButtonDown)) Shift.Include(ssRight);
        THitInfo Hit = GetHitTestInfoAt(Pt.X, Pt.Y);
        const TRect R = Hit.HitNode ? GetDisplayRect(Hit.HitNode, false) : TRect();
        const TDropMode Mode = DropModeAt(Pt, Hit, R);
        const bool Moves = SourceTree && SourceTree->DragImage().WillMove(Screen);
        auto Repaint = [&](const TRect& Area) {
            if (Scrolled) RepaintUnderDragImage(SourceTree, ClientRect(), !Moves, true);
            else RepaintUnderDragImage(SourceTree, Area, !Moves, false);
        };
        if (Hit.HitNode != FDropTargetNode || Mode != FLastDropMode) {
            FLastDropMode = Mode;
            if (Hit.HitNode != FDropTargetNode) {
                StopTimer(ExpandTimer);
                PLazyNode Old = FDropTargetNode;
                FDropTargetNode = Hit.HitNode;
                if (!SourceTree) {
                    if (Old) InvalidateNode(Old);
                    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
                } else if (Old) {
                    TRect Area = GetDisplayRect(Old, false);
                    if (FDropTargetNode) UnionRect(Area, Area, R);
                    Repaint(Area);
                } else {
                    Repaint(R);
                }
                // Hovering over a node with children opens it after a while.
                if (FDropTargetNode && FOptions->AutoOptions().Contains(toAutoDropExpand) &&
                    FDropTargetNode->States.Contains(vsHasChildren))
                    StartTimer(ExpandTimer, AutoExpandDelay);
            } else if (FDropTargetNode) {
                if (SourceTree) Repaint(R);
                else InvalidateNode(FDropTargetNode);
            }
        } else if (SourceTree && Scrolled) {
            RepaintUnderDragImage(SourceTree, ClientRect(), !Moves, true);
        }
        if (HandleAllocated()) UpdateWindow(Handle());
        if (Moves) SourceTree->DragImage().DragTo(Screen, false);
        Effect = SuggestedDropEffect(SourceTree, Shift, Pt, Effect);
        if (!DoDragOver(Source, Shift, State, Pt, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
        if (Scrolled) Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::OleDragLeave() {
    StopTimer(ExpandTimer);
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    FDropTargetNode = nullptr;
    Cardinal Effect = DROPEFFECT_NONE;
    DoDragOver(nullptr, {}, dsDragLeave, TPoint{0, 0}, FLastDropMode, Effect);
}

HRESULT TBaseLazyTree::OleDrop(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                               Cardinal KeyState, TPoint Pt, Cardinal& Effect) {
    TFinally Clear{[this] {
        if (FDropTargetNode) InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }};
    StopTimer(ExpandTimer);
    StopTimer(4);
    DoStateChange({}, {tsScrolling, tsScrollPending});
    HRESULT Result = OleDragOver(Source, KeyState, Pt, dsDragMove, Effect);
    if (FAILED(Result) || (Effect & ~DROPEFFECT_SCROLL) == 0) return E_FAIL;
    try {
        TShiftState Shift = ShiftOfKeys(KeyState) - TShiftState{ssLeft, ssMiddle, ssRight};
        Shift.Include(FStates.Contains(tsRightButtonDown) ? ssRight : FStates.Contains(tsMiddleButtonDown) ? ssMiddle : ssLeft);
        Pt = ScreenToClient(Pt);
        std::vector<CLIPFORMAT> Formats;
        std::shared_ptr<IEnumFORMATETC> Enum;
        if (!DataObject || FAILED(DataObject->EnumFormatEtc(DATADIR_GET, Enum)) || !Enum) return E_UNEXPECTED;
        HRESULT Reset = Enum->Reset();
        if (FAILED(Reset)) return E_UNEXPECTED;
        FORMATETC Format;
        while (Enum->Next(1, &Format, nullptr) == S_OK) Formats.push_back(Format.cfFormat);
        DoDragDrop(Source, DataObject, Formats, Shift, Pt, Effect, FLastDropMode);
        return Reset;
    } catch (const std::exception& E) {
        Application->HandleException(E);
        return E_UNEXPECTED;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::AutoExpandDropTarget() {
    StopTimer(ExpandTimer);
    if (FDropTargetNode && FDropTargetNode->States.Contains(vsHasChildren) &&
        !FDropTargetNode->States.Contains(vsExpanded)) {
        ToggleNode(FDropTargetNode);
        if (HandleAllocated()) Update();
    }
}

bool TBaseLazyTree::ProcessDrop(const std::shared_ptr<IDataObject>& DataObject, PLazyNode TargetNode, Cardinal& Effect,
                                TLTNodeAttachMode Mode) {
    if (Mode == amNoWhere) {
        Effect = DROPEFFECT_NONE;
        return false;
    }
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    TBaseLazyTree* Source = SourceTreeOfDataObject(DataObject);
    if (Source) Source->BeginUpdate();
    TFinally EndSource{[Source] {
        if (Source) Source->EndUpdate();
    }};
    try {
        if ((Effect & DROPEFFECT_MOVE) && Source) {
            bool Result = ProcessOLEData(Source, DataObject, TargetNode, Mode, (Effect & DROPEFFECT_COPY) == 0);
            Effect = DROPEFFECT_NONE;
            return Result;
        }
        if (Effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) return ProcessOLEData(Source, DataObject, TargetNode, Mode, false);
        return false;
    } catch (...) {
        Effect = DROPEFFECT_NONE;
        return false;
    }
}

// ---------------------------------------------------------------------------
// The framework's own drag (dtFw)
// ---------------------------------------------------------------------------

void TBaseLazyTree::DoStartDrag(TDragObject*& DragObject) {
    TCustomControl::DoStartDrag(DragObject);
    if (DragObject) DoStateChange({tsUserDragObject});
}

void TBaseLazyTree::DoEndDrag(TObject* Target, int X, int Y) {
    TCustomControl::DoEndDrag(Target, X, Y);
    FinishDrag();
}

void TBaseLazyTree::FinishDrag() {
    const TLazyTreeStates Dragging{tsOLEDragging, tsFwDragging, tsFwDragPending, tsFwDragFinished};
    if ((FStates * Dragging).Empty()) return;
    DoStateChange({}, {tsUserDragObject, tsFwDragging, tsFwDragPending, tsFwDragFinished});
    if (!HandleAllocated()) return;
    // The press that began the drag gets its release, so that the click completes.
    const TPoint P = ScreenToClient(GetCursorPos());
    const Cardinal Up = FStates.Contains(tsRightButtonDown)    ? WM_RBUTTONUP
                        : FStates.Contains(tsMiddleButtonDown) ? WM_MBUTTONUP
                                                               : WM_LBUTTONUP;
    Perform(Up, 0, MakeLParam(P.X, P.Y));
}

void TBaseLazyTree::CMDrag(TMessage& Message) {
    auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
    if (!Rec || !Rec->Source) return;
    TObject* Source = Rec->Source->SourceForEvents();
    const TPoint Client = ScreenToClient(Rec->Pos);
    const TShiftState Keys = KeyboardStateToShiftState() * TShiftState{ssShift, ssCtrl, ssAlt};
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        static const TDragState States[] = {dsDragEnter, dsDragLeave, dsDragMove};
        const TDragState State = States[Message.WParam];
        if (State == dsDragEnter) {
            DoStateChange({tsFwDragging}, {tsClearPending, tsEditPending, tsFwDragPending});
        } else if (State == dsDragLeave) {
            DoStateChange({tsFwDragFinished}, {tsFwDragging});
        } else if (MayAutoScroll()) {
            ArmAutoScroll(Client.X, Client.Y);
        }
        Cardinal KeyState = 0;
        if (Keys.Contains(ssShift)) KeyState |= MK_SHIFT;
        if (Keys.Contains(ssCtrl)) KeyState |= MK_CONTROL;
        Cardinal Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        OleDragOver(Source, KeyState, Rec->Pos, State, Effect);
        FLastFwDragTarget = FDropTargetNode;
        FFwDragEffect = Effect & ~DROPEFFECT_SCROLL;
        if (State == dsDragLeave) {
            StopTimer(ExpandTimer);
            if (FDropTargetNode) InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
        }
        Message.Result = LRESULT(FFwDragEffect);
        break;
    }
    case dmDragDrop: {
        // The drop ends the drag over this tree: no state is left that would
        // scroll it on later mouse moves.
        TFinally Clear{[this] {
            if (FDropTargetNode) InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
            StopTimer(ExpandTimer);
            if (!(FStates * TLazyTreeStates{tsScrolling, tsScrollPending}).Empty()) {
                StopTimer(4);
                DoStateChange({}, {tsScrolling, tsScrollPending});
            }
            if (!Dragging()) DoStateChange({}, {tsFwDragging, tsFwDragFinished});
        }};
        if (FDropTargetNode) InvalidateNode(FDropTargetNode);
        FDropTargetNode = FLastFwDragTarget;
        Cardinal Effect = FFwDragEffect;
        DoDragDrop(Source, nullptr, {}, Keys, Client, Effect, FLastDropMode);
        break;
    }
    default: break;
    }
}

// ---------------------------------------------------------------------------
// The drag picture
// ---------------------------------------------------------------------------

// Shows the blended picture at a screen position; it never takes the mouse
// or the focus, so the drag goes on underneath it.
class TLTDragOverlay : public TCustomControl {
public:
    explicit TLTDragOverlay(TWinControl* Tree) : TCustomControl(nullptr) { SetParent(Tree); }
    TBitmap Picture;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle |= WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    }
    void Paint() override { Canvas().Draw(0, 0, Picture); }
};

namespace {

Byte Clamp255(int V) { return Byte(std::clamp(V, 0, 255)); }

// The picture over Target: with per-pixel alpha scaled by the constant, or the constant alone.
void BlendOver(TBitmap& Target, TBitmap& Picture, const std::vector<Byte>* Alpha, int ConstantAlpha, int Bias) {
    for (int Y = 0; Y < Picture.Height(); ++Y) {
        auto* S = static_cast<Byte*>(Picture.ScanLine(Y));
        auto* D = static_cast<Byte*>(Target.ScanLine(Y));
        for (int X = 0; X < Picture.Width(); ++X) {
            const int A = Alpha ? ((*Alpha)[std::size_t(Y * Picture.Width() + X)] * ConstantAlpha) / 256 : ConstantAlpha;
            for (int C = 0; C < 3; ++C) {
                Byte& Dst = D[4 * X + C];
                Dst = Clamp255((Dst * (256 - A) + S[4 * X + C] * A) / 256 + Bias);
            }
        }
    }
}

}  // namespace

TLTDragImage::TLTDragImage(TBaseLazyTree* AOwner) : FOwner(AOwner) {}

TLTDragImage::~TLTDragImage() { EndDrag(); }

bool TLTDragImage::Visible() const {
    return FStates.Contains(disInDrag) && FStates.Contains(disPrepared) && !FStates.Contains(disHidden) &&
           !FStates.Contains(disSystemSupport);
}

bool TLTDragImage::WillMove(TPoint P) const {
    if (!Visible()) return false;
    if (MoveRestriction == dmrHorizontalOnly) return P.X != FLastPosition.X;
    if (MoveRestriction == dmrVerticalOnly) return P.Y != FLastPosition.Y;
    return P.X != FLastPosition.X || P.Y != FLastPosition.Y;
}

TRect TLTDragImage::GetDragImageRect() const {
    if (!Visible()) return {};
    return TRect{FImagePosition.X, FImagePosition.Y, FImagePosition.X + FBackImage.Width(),
                 FImagePosition.Y + FBackImage.Height()};
}

void TLTDragImage::PrepareDrag(const TBitmap& DragImage, TPoint ImagePosition, TPoint HotSpot,
                               const std::shared_ptr<IDataObject>& DataObject) {
    EndDrag();
    const int W = DragImage.Width(), H = DragImage.Height();
    // With a data object the platform's drag carries the picture, its hot spot at the centre.
    if (DataObject) {
        FSystemPicture.Assign(&DragImage);
        FStates = {disSystemSupport};
        return;
    }
    FLastPosition = HotSpot;
    for (TBitmap* B : {&FDragImage, &FAlphaImage, &FBackImage}) {
        B->SetPixelFormat(pf32bit);
        B->SetSize(W, H);
    }
    FDragImage.Canvas().Draw(0, 0, DragImage);
    // Opaque at the centre, fading towards the edges; the key colour is fully transparent.
    FAlpha.assign(std::size_t(W) * std::size_t(H), 0);
    const double C = std::max(W, H);
    const TColor Key = ColorKey == clNone ? clNone : ColorToRGB(ColorKey);
    for (int Y = 0; Y < H; ++Y) {
        const auto* Row = static_cast<const Byte*>(FDragImage.ScanLine(Y));
        for (int X = 0; X < W; ++X) {
            const TColor Pixel = TColor(Row[4 * X + 2] | (Row[4 * X + 1] << 8) | (Row[4 * X] << 16));
            if (Key != clNone && Pixel == Key) continue;
            const double DX = (X - W / 2) / C, DY = (Y - H / 2) / C;
            FAlpha[std::size_t(Y * W + X)] = Byte(std::nearbyint(255 * std::exp(-8 * std::sqrt(DX * DX + DY * DY))));
        }
    }
    if (PreBlendBias != 0) {
        TBitmap Copy;
        Copy.Assign(&FDragImage);
        BlendOver(FDragImage, Copy, nullptr, 255, PreBlendBias);
    }
    FImagePosition = ImagePosition;
    FStates = {disHidden, disInDrag, disPrepared};
}

void TLTDragImage::Capture() {
    CaptureScreen(TRect{FImagePosition.X, FImagePosition.Y, FImagePosition.X + FBackImage.Width(),
                        FImagePosition.Y + FBackImage.Height()},
                  FBackImage);
    FBackImage.SetPixelFormat(pf32bit);
}

// The background copied, the picture blended over it, the result shown at the picture's place.
void TLTDragImage::InternalShowDragImage() {
    FAlphaImage.Assign(&FBackImage);
    FAlphaImage.SetPixelFormat(pf32bit);
    const bool PerPixel = Fade || ColorKey != clNone;
    BlendOver(FAlphaImage, FDragImage, PerPixel ? &FAlpha : nullptr, Transparency, PostBlendBias);
    if (!FOverlay) FOverlay = std::make_unique<TLTDragOverlay>(FOwner);
    FOverlay->Picture.Assign(&FAlphaImage);
    FOverlay->SetBounds(FImagePosition.X, FImagePosition.Y, FAlphaImage.Width(), FAlphaImage.Height());
    FOverlay->Show();
    FOverlay->Invalidate();
    FOverlay->Update();
}

void TLTDragImage::ShowDragImage() {
    if (FStates != TLTDragImageStates{disHidden, disInDrag, disPrepared}) return;
    FStates.Exclude(disHidden);
    Capture();
    InternalShowDragImage();
}

void TLTDragImage::HideDragImage() {
    if (!Visible()) return;
    FStates.Include(disHidden);
    if (FOverlay) FOverlay->Hide();
}

// Restore, move, capture, draw: the screen under the old place comes back
// before the new place is read, so the picture never reads itself.
bool TLTDragImage::DragTo(TPoint P, bool ForceRepaint) {
    int DX = FLastPosition.X - P.X, DY = FLastPosition.Y - P.Y;
    if (MoveRestriction == dmrHorizontalOnly) DY = 0;
    if (MoveRestriction == dmrVerticalOnly) DX = 0;
    if (DX == 0 && DY == 0 && !ForceRepaint) return false;
    const bool Result = Visible();
    if (Result) {
        if (FOverlay) FOverlay->Hide();
        if (ForceRepaint && FOwner && FOwner->HandleAllocated()) UpdateWindow(FOwner->Handle());
        FImagePosition.X -= DX;
        FImagePosition.Y -= DY;
        Capture();
        InternalShowDragImage();
    }
    FLastPosition = P;
    return Result;
}

void TLTDragImage::EndDrag() {
    HideDragImage();
    FStates = {};
    FOverlay.reset();
    for (TBitmap* B : {&FDragImage, &FAlphaImage, &FBackImage, &FSystemPicture}) B->SetSize(0, 0);
    FAlpha.clear();
}

void TLTDragImage::RecaptureBackground(TRect, bool ReshowDragImage) {
    if (!Visible()) return;
    if (FOverlay) FOverlay->Hide();
    Capture();
    if (ReshowDragImage) InternalShowDragImage();
}
