// The pointer over the tree: the cursor it shows (the split cursor over a row
// edge that may be dragged, the hot cursor over a hot node), the node popup
// menus the owner hands out, entering and leaving, and dragging a row's lower
// edge to set the node's height.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Cursor
// ---------------------------------------------------------------------------

void TBaseLazyTree::DoGetCursor(TCursor& Cursor) {
    if (OnGetCursor) OnGetCursor(this, Cursor);
}

void TBaseLazyTree::WMSetCursor(TMessage& Message) {
    TCustomControl::WMSetCursor(Message);
    // While panning the panning cursor stays; outside the client area the framework decides.
    if (Word(Message.LParam & 0xFFFF) != HTCLIENT || IsPanning() || !HandleAllocated()) return;
    if (Screen->Cursor() != crDefault) return;
    const TPoint P = ScreenToClient(GetCursorPos());
    TCursor NewCursor = crDefault;
    if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
        const THitInfo Hit = GetHitTestInfoAt(P.X, P.Y);
        if (PLazyNode Node = NodeEdgeAt(Hit); Node && SplitterMayResizeNode(P, Node, Hit.HitColumn))
            NewCursor = crVSplit;
    }
    if (NewCursor == crDefault)
        NewCursor = FOptions->PaintOptions().Contains(toHotTrack) && FCurrentHotNode && HotCursor != crDefault
                        ? HotCursor
                        : Cursor();
    DoGetCursor(NewCursor);
    ::SetCursor(NewCursor);
    Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Popup menus
// ---------------------------------------------------------------------------

TPopupMenu* TBaseLazyTree::DoGetPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint Position) {
    if (!OnGetPopupMenu) return nullptr;
    TPopupMenu* Menu = nullptr;
    bool AskParent = true;
    if (!Node) {
        OnGetPopupMenu(this, nullptr, -1, Position, AskParent, Menu);
        return Menu;
    }
    for (PLazyNode Run = Node; Run && Run != FRoot && !Menu && AskParent; Run = Run->Parent)
        OnGetPopupMenu(this, Run, Column, Position, AskParent, Menu);
    return Menu;
}

bool TBaseLazyTree::PopupMenuAvailable(PLazyNode Node, TColumnIndex Column, TPoint Position) {
    return PopupMenu() != nullptr || DoGetPopupMenu(Node, Column, Position) != nullptr;
}

void TBaseLazyTree::ShowPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint Position) {
    TPopupMenu* Menu = DoGetPopupMenu(Node, Column, Position);
    if (!Menu) return;
    DoStateChange({tsPopupMenuShown});
    StopTimer(2);
    Menu->PopupComponent = this;
    // The keyboard's (-1, -1) opens the menu at the tree's corner.
    const TPoint At = Position.X == -1 && Position.Y == -1 ? ClientToScreen(TPoint{0, 0}) : ClientToScreen(Position);
    Menu->Popup(At.X, At.Y);
}

void TBaseLazyTree::WMRButtonUp(TWMMouse& Message) {
    DoStateChange({}, {tsRightButtonDown, tsPopupMenuShown});
    // The header is busy with its own press.
    if (!FHeader->States.Empty()) return;
    Application->CancelHint();
    if (IsMouseSelecting() && PopupMenu()) {
        DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
        InvalidateTree();
    }
    DefaultHandler(Message.Message);
    const TPoint P{Message.XPos(), Message.YPos()};
    MouseUp(mbRight, KeysToShiftState(Message.Keys()), P.X, P.Y);
    THitInfo Hit;
    GetHitTestInfoAt(P.X, P.Y, true, Hit);
    if (FOptions->SelectionOptions().Contains(toRightClickSelect)) ProcessMouseUp(Message, Hit);
    // The control's own menu is the framework's; otherwise the owner's for the node under the mouse.
    if (!PopupMenu() && HandleAllocated()) ShowPopupMenu(Hit.HitNode, Hit.HitColumn, P);
    if (!HandleAllocated()) return;
    const TPoint Screen = ClientToScreen(P);
    Perform(WM_CONTEXTMENU, Handle(), MakeLParam(Screen.X, Screen.Y));
}

void TBaseLazyTree::WMContextMenu(TMessage& Message) {
    DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsFwDragPending});
    // The tree's own menu was shown already.
    if (FStates.Contains(tsPopupMenuShown)) {
        Message.Result = 1;
        return;
    }
    TCustomControl::WMContextMenu(Message);
}

void TBaseLazyTree::ContextMenuKey() {
    DoStateChange({}, {tsPopupMenuShown});
    if (!FFocusedNode) {
        ShowPopupMenu(nullptr, -1, TPoint{-1, -1});
        return;
    }
    const TRect R = GetDisplayRect(FFocusedNode, FFocusedColumn, true);
    int Width = QueryCellTextWidth(FFocusedNode, FFocusedColumn);
    if (FHeader->Columns().IsValidColumn(FFocusedColumn))
        Width = std::min(Width, FHeader->Columns()[FFocusedColumn]->Width());
    else
        Width = std::min(Width, ClientWidth());
    ShowPopupMenu(FFocusedNode, FFocusedColumn, TPoint{R.Left + Width / 2, (R.Top + R.Bottom) / 2});
}

// ---------------------------------------------------------------------------
// Entering and leaving, column double clicks, key actions
// ---------------------------------------------------------------------------

void TBaseLazyTree::DoMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TBaseLazyTree::DoMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TBaseLazyTree::CMMouseEnter(TMessage& Message) {
    DoMouseEnter();
    DefaultHandler(Message);
}

void TBaseLazyTree::DoColumnDblClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
}

bool TBaseLazyTree::DoKeyAction(Word& CharCode, TShiftState& Shift) {
    bool DoDefault = true;
    if (OnKeyAction) OnKeyAction(this, CharCode, Shift, DoDefault);
    return DoDefault;
}

// ---------------------------------------------------------------------------
// Node heights by mouse
// ---------------------------------------------------------------------------

bool TBaseLazyTree::DoCanSplitterResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column, bool Allowed) {
    if (OnCanSplitterResizeNode) OnCanSplitterResizeNode(this, P, Node, Column, Allowed);
    return Allowed;
}

bool TBaseLazyTree::DoNodeHeightTracking(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                         TPoint P) {
    bool Allowed = true;
    if (OnNodeHeightTracking) OnNodeHeightTracking(this, Node, Column, Shift, TrackPoint, P, Allowed);
    return Allowed;
}

bool TBaseLazyTree::DoNodeHeightDblClickResize(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint P) {
    bool Allowed = true;
    if (OnNodeHeightDblClickResize) OnNodeHeightDblClickResize(this, Node, Column, Shift, P, Allowed);
    return Allowed;
}

bool TBaseLazyTree::SplitterMayResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column) {
    const bool Allowed = FOptions->MiscOptions().Contains(toNodeHeightResize) && Node && Node != FRoot &&
                         FHeader->Columns().IsValidColumn(Column) &&
                         FHeader->Columns()[Column]->Options().Contains(coFixed);
    return DoCanSplitterResizeNode(P, Node, Column, Allowed);
}

// The hit test marks two pixels at a row's top edge and three at its bottom edge.
PLazyNode TBaseLazyTree::NodeEdgeAt(const THitInfo& Hit) {
    if (!Hit.HitNode || !Hit.HitPositions.Contains(hiOnItem)) return nullptr;
    if (Hit.HitPositions.Contains(hiUpperSplitter)) return GetPreviousVisible(Hit.HitNode, true);
    if (Hit.HitPositions.Contains(hiLowerSplitter)) return Hit.HitNode;
    return nullptr;
}

bool TBaseLazyTree::TrackNodeHeight(TShiftState Shift, int X, int Y) {
    if (FStates.Contains(tsNodeHeightTrackPending)) {
        // The drag begins: whatever else was waiting for the mouse is called off.
        Application->CancelHint();
        EndPanning();
        for (unsigned Id : {1u, 2u, 3u, 4u, 7u}) StopTimer(Id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        DoStateChange({tsNodeHeightTracking}, {tsEditPending, tsNodeHeightTrackPending, tsIncrementalSearching,
                                               tsOLEDragPending, tsScrolling, tsScrollPending, tsFwDragPending});
    }
    if (!FStates.Contains(tsNodeHeightTracking)) return false;
    if (FHeightTrackNode && DoNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn, Shift, FHeightTrackPoint,
                                                 TPoint{X, Y}))
        SetNodeHeight(FHeightTrackNode,
                      Cardinal(std::max(1, std::max(Y, FHeightTrackPoint.Y + 1) - FHeightTrackPoint.Y)));
    if (HandleAllocated()) Update();
    return true;
}
