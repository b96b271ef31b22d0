// The mouse over the header band: a press on a column border tracks the
// column's width (one on the lower edge the band's height) until the
// release, Escape or the loss of the focus; a
// press on a column presses it and the release clicks it (sorting it with
// hoHeaderClickAutoSort). The band lies in the frame: its presses arrive as
// non-client messages, the moves of a tracking press as client ones.

#include "tree/LazyTrees_p.h"
#include "tree/LTHeaderPopup.h"

#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

TShiftState CurrentShiftKeys() {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0) Shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) Shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
    return Shift;
}

}  // namespace

bool TLTHeader::FindSplitterColumn(TPoint P) {
    if (!UseColumns()) return false;
    TLazyTreeColumns& C = *FColumns;
    C.FTrackIndex = -1;
    const int T1 = int(std::nearbyint(SplitterHitTolerance * 0.6)), T2 = SplitterHitTolerance - T1;
    const int Fixed = C.GetVisibleFixedWidth();
    int Edge = FOwner->RangeX() + FOwner->ScrollOriginX();
    for (auto It = C.FPositionToIndex.rbegin(); It != C.FPositionToIndex.rend(); ++It) {
        TLazyTreeColumn* Column = C.Items(*It);
        if (!Column->FOptions.Contains(coVisible)) continue;
        const bool IsFixed = Column->FOptions.Contains(coFixed);
        const int E = IsFixed ? Edge - FOwner->ScrollOriginX() + FOwner->FixedOriginX() : Edge;
        if ((IsFixed || P.X > Fixed) && E - T2 < P.X && P.X < E + T1 && C.CanResizeColumn(P, *It)) {
            C.FTrackIndex = *It;
            FTrackPoint = TPoint{E - Column->FWidth, P.Y};
            return true;
        }
        Edge -= Column->FWidth;
    }
    return false;
}

// A border in the band, or the border between the fixed and the scrolling columns anywhere along the content.
bool TLTHeader::BorderHit(TPoint P) {
    if (!Options.Contains(hoColumnResize) || !FindSplitterColumn(P)) return false;
    if (InHeader(P)) return true;
    const TLazyTreeColumns& C = *FColumns;
    const TColumnIndex Next = C.GetNextVisibleColumn(C.FTrackIndex);
    return C.Items(C.FTrackIndex)->Options().Contains(coFixed) && Next >= 0 &&
           !C.Items(Next)->Options().Contains(coFixed) && P.Y >= 0 && P.Y < FOwner->RangeY();
}

// Whether the header-relative point Q lies on the column's glyph or check box as last painted.
bool TLazyTreeColumns::OnGlyph(TColumnIndex Column, TPoint Q) const {
    const TLazyTreeColumn& C = *Items(Column);
    return C.FHasImage && PtInRect(C.FImageRect, Q);
}

TColumnIndex TLazyTreeColumns::PressColumn(TPoint P) {
    TColumnIndex Column = ColumnFromPosition(TPoint{P.X, P.Y + FHeader->Height()});
    if (Column < 0 || Column == FDownIndex || !Items(Column)->FOptions.Contains(coAllowClick) ||
        !Items(Column)->FOptions.Contains(coEnabled))
        return Column;
    if (FDownIndex >= 0) FHeader->Invalidate(FDownIndex);
    FDownIndex = Column;
    FCheckBoxHit = Items(Column)->FCheckBox && OnGlyph(Column, TPoint{P.X, P.Y + FHeader->Height()});
    FHeader->Invalidate(Column);
    return Column;
}

bool TLazyTreeColumns::UpdateHoverColumn(TPoint P) {
    const TColumnIndex Column = ColumnFromPosition(TPoint{P.X, P.Y + FHeader->Height()});
    if (Column == FHoverIndex) return false;
    if (FHoverIndex >= 0) FHeader->Invalidate(FHoverIndex);
    FHoverIndex = Column;
    if (Column >= 0) FHeader->Invalidate(Column);
    return true;
}

void TLazyTreeColumns::ProcessHeaderClick(TPoint P, TMouseButton Button, bool Force, bool DblClick) {
    TBaseLazyTree* T = FHeader->Treeview();
    const TPoint Q{P.X, P.Y + FHeader->Height()};
    const TColumnIndex Column = ColumnFromPosition(Q);
    TBaseLazyTree::TLTHeaderHitInfo Hit;
    Hit.X = Q.X;
    Hit.Y = Q.Y;
    Hit.Shift = CurrentShiftKeys();
    if (DblClick) Hit.Shift.Include(ssDouble);
    Hit.Button = Button;
    if (Column >= 0 && Items(Column)->FOptions.Contains(coAllowClick) && (Force || Column == FDownIndex)) {
        FClickIndex = Column;
        Hit.Column = Column;
        Hit.HitPosition = {TBaseLazyTree::hhiOnColumn};
        TLazyTreeColumn& C = *Items(Column);
        if (OnGlyph(Column, Q)) {
            Hit.HitPosition.Include(TBaseLazyTree::hhiOnIcon);
            if (C.FCheckBox) {
                if (Button == mbLeft) C.SetCheckState(T->NextCheckState(C.FCheckType, C.FCheckState));
                Hit.HitPosition.Include(TBaseLazyTree::hhiOnCheckbox);
            }
        }
    } else {
        FClickIndex = -1;
        Hit.Column = -1;
        Hit.HitPosition = {TBaseLazyTree::hhiNoWhere};
    }
    if (DblClick) {
        T->DoHeaderDblClick(Hit);
    } else {
        if (FHeader->Options.Contains(hoHeaderClickAutoSort) && Button == mbLeft && Hit.Column >= 0 &&
            !Hit.HitPosition.Contains(TBaseLazyTree::hhiOnCheckbox)) {
            if (FHeader->SortColumn == Hit.Column) {
                FHeader->SetSortDirection(FHeader->SortDirection == sdAscending ? sdDescending : sdAscending);
            } else {
                FHeader->SetSortColumn(Hit.Column);
                FHeader->SetSortDirection(Items(Hit.Column)->DefaultSortDirection());
            }
        }
        if (Button == mbRight && FHeader->Options.Contains(hoAutoColumnPopupMenu))
            FHeader->ShowAutoColumnMenu(Q);
        T->DoHeaderClick(Hit);
    }
    if (!Hit.HitPosition.Contains(TBaseLazyTree::hhiNoWhere)) FHeader->Invalidate(Column);
}

// ---------------------------------------------------------------------------
// Column dragging
// ---------------------------------------------------------------------------

void TLTHeader::PrepareColumnDrag(TPoint P, TPoint Start) {
    TLazyTreeColumns& C = *FColumns;
    C.FDropTarget = -1;
    const TPoint StartClient = FOwner->ScreenToClient(Start);
    C.FDragIndex = C.ColumnFromPosition(TPoint{StartClient.X, StartClient.Y + FHeight});
    if (!C.IsValidColumn(C.FDragIndex)) return;
    TLazyTreeColumn* Column = C.Items(C.FDragIndex);
    TBitmap Picture;
    Picture.SetPixelFormat(pf32bit);
    Picture.SetSize(Column->Width(), FHeight);
    Picture.Canvas().Brush().SetColor(clBtnFace);
    Picture.Canvas().FillRect(TRect{0, 0, Picture.Width(), Picture.Height()});
    C.PaintHeader(Picture.Canvas(), TRect{Column->Left(), 0, Column->Left() + Column->Width(), FHeight}, TPoint{0, 0});
    const TPoint Position = FOwner->ClientToScreen(TPoint{Column->Left(), -FHeight});
    if (!FDragImage) {
        FDragImage = std::make_unique<TLTDragImage>(FOwner);
        FDragImage->Fade = false;
        FDragImage->PreBlendBias = -50;
        FDragImage->Transparency = 140;
    }
    FDragImage->MoveRestriction = Options.Contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone;
    FDragImage->PrepareDrag(Picture, Position, P, nullptr);
    FDragImage->ShowDragImage();
}

void TLTHeader::DragColumnTo(TPoint P) {
    TLazyTreeColumns& C = *FColumns;
    const TPoint Client = FOwner->ScreenToClient(P);
    const TColumnIndex Over = C.ColumnFromPosition(TPoint{Client.X, Client.Y + FHeight});
    bool Force = Over != InvalidColumn && Over != C.FDropTarget;
    if (Over >= 0) {
        int Left = 0, Right = 0;
        C.GetColumnBounds(Over, Left, Right);
        const bool Before = Client.X < (Left + Right) / 2;
        if (Before != C.FDropBefore) {
            C.FDropBefore = Before;
            Force = true;
        }
    }
    if (Force) {
        if (C.FDropTarget >= 0) Invalidate(C.FDropTarget);
        C.FDropTarget = -1;
        if (Over >= 0) {
            C.FDropTarget = Over;
            Invalidate(Over);
        }
    }
    if (FDragImage) FDragImage->DragTo(P, Force);
}

// A drop inside the tree's window moves the dragged column before or after
// the drop target; a drop elsewhere is reported as a drag out.
void TLTHeader::EndColumnDrag(TPoint Screen, bool Drop) {
    TLazyTreeColumns& C = *FColumns;
    if (FDragImage) FDragImage->EndDrag();
    if (Drop && C.IsValidColumn(C.FDragIndex)) {
        TRect Window;
        GetWindowRect(FOwner->Handle(), Window);
        if (C.FDropTarget >= 0 && C.FDropTarget != C.FDragIndex && PtInRect(Window, Screen)) {
            TLazyTreeColumn* Dragged = C.Items(C.FDragIndex);
            const int Old = int(Dragged->Position());
            const int Target = int(C.Items(C.FDropTarget)->Position());
            const int New = C.FDropBefore ? (Old < Target ? std::max(Target - 1, 0) : Target)
                                          : (Old < Target ? Target : Target + 1);
            Dragged->SetPosition(Cardinal(New));
            FOwner->DoHeaderDragged(C.FDragIndex, Old);
        } else {
            FOwner->DoHeaderDraggedOut(C.FDragIndex, Screen);
        }
    }
    C.FDropTarget = -1;
    C.FDragIndex = -1;
    Invalidate();
}

// Made anew for each right click, so that it lists the columns as they are now.
void TLTHeader::ShowAutoColumnMenu(TPoint Client) {
    delete FAutoColumnMenu;
    auto* Menu = new TLTHeaderPopupMenu(FOwner);
    FAutoColumnMenu = Menu;
    Menu->OnColumnChange = [this](TBaseLazyTree*, TColumnIndex Column, bool Visible) {
        if (FOwner->OnColumnVisibilityChanged) FOwner->OnColumnVisibilityChanged(FOwner, Column, Visible);
    };
    Menu->PopupComponent = FOwner;
    if (Options.Contains(hoDblClickResize) && FOwner->RootNodeCount() > 0) Menu->Options.Include(poResizeToFitItem);
    const TPoint Screen = FOwner->ClientToScreen(Client);
    Menu->Popup(Screen.X, Screen.Y);
}

// Header-relative coordinates, as the header's mouse events report them.
TPoint TLTHeader::HeaderPoint(TPoint Client) const { return TPoint{Client.X, Client.Y + FHeight}; }

void TLTHeader::MouseEvent(TLTHeaderMouseKind Kind, TMouseButton Button, TPoint Client) {
    const TPoint H = HeaderPoint(Client);
    const TShiftState Shift = CurrentShiftKeys();
    if (Kind == hmMove) FOwner->DoHeaderMouseMove(Shift, H.X, H.Y);
    else if (Kind == hmDown) FOwner->DoHeaderMouseDown(Button, Shift, H.X, H.Y);
    else FOwner->DoHeaderMouseUp(Button, Shift, H.X, H.Y);
}

bool TLTHeader::CanResizeHeight(TPoint P) { return DoCanSplitterResizeHeader(P, Options.Contains(hoHeightResize)); }

void TLTHeader::Press(TPoint P) {
    Application->CancelHint();
    FOwner->StopTimer(4);
    FOwner->DoStateChange({}, {tsScrolling, tsScrollPending, tsEditPending});
    FOwner->StopTimer(2);
    const TShiftState Shift = CurrentShiftKeys();
    if (InHeaderSplitterArea(P) && CanResizeHeight(P)) {
        FColumns->FHoverIndex = -1;
        DoBeforeHeaderHeightTracking(Shift);
        States.Include(hsHeightTrackPending);
        FOwner->SetMouseCapture(true);
        return;
    }
    if (BorderHit(P)) {
        FColumns->FHoverIndex = -1;
        DoBeforeColumnWidthTracking(FColumns->FTrackIndex, Shift);
        States.Include(hsColumnWidthTrackPending);
        FOwner->SetMouseCapture(true);
        return;
    }
    if (InHeader(P)) {
        FColumns->PressColumn(P);
        FDragStart = FOwner->ClientToScreen(P);
        // The press waits for its release (or a column drag) as captured client messages.
        States.Include(hsDragPending);
        FOwner->SetMouseCapture(true);
        MouseEvent(hmDown, mbLeft, P);
    }
}

void TLTHeader::Release(TPoint P, bool ClientMessage, TShiftState) {
    Application->CancelHint();
    const bool HadStates = !States.Empty();
    if (HadStates) FOwner->SetMouseCapture(false);
    if (States.Contains(hsDragging)) EndColumnDrag(FOwner->ClientToScreen(P), true);
    TLazyTreeColumns& C = *FColumns;
    if ((ClientMessage && C.FDownIndex >= 0) || !ClientMessage) C.ProcessHeaderClick(P, mbLeft, false, false);
    if (HadStates || !ClientMessage) MouseEvent(hmUp, mbLeft, P);
    if (States.Contains(hsHeightTracking)) DoAfterHeaderHeightTracking();
    if (C.FTrackIndex >= 0) {
        if (States.Contains(hsColumnWidthTracking)) DoAfterColumnWidthTracking(C.FTrackIndex);
        Invalidate(C.FTrackIndex);
        C.FTrackIndex = -1;
    }
    if (C.FDownIndex >= 0) {
        Invalidate(C.FDownIndex);
        C.FDownIndex = -1;
        C.FCheckBoxHit = false;
    }
    States -= THeaderStates{hsDragging, hsDragPending, hsColumnWidthTracking, hsColumnWidthTrackPending,
                            hsHeightTracking, hsHeightTrackPending};
}

bool TLTHeader::HandleHeaderMessage(TMessage& Message) {
    if (States.Empty() && !UseColumns()) return false;  // the plain tree: nothing to do here
    auto ClientOf = [this](const TMessage& M) {
        return FOwner->ScreenToClient(TPoint{SmallInt(M.LParamLo()), SmallInt(M.LParamHi())});
    };
    auto ClientPoint = [](const TMessage& M) { return TPoint{SmallInt(M.LParamLo()), SmallInt(M.LParamHi())}; };
    const THeaderStates Tracking{hsColumnWidthTracking, hsColumnWidthTrackPending, hsHeightTracking,
                                 hsHeightTrackPending};
    switch (Message.Msg) {
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
        if (Message.Msg == WM_KEYDOWN && Message.WParam != VK_ESCAPE) return false;
        if (States.Contains(hsDragging)) {
            FOwner->SetMouseCapture(false);
            EndColumnDrag(TPoint{}, false);
            States -= THeaderStates{hsDragging, hsDragPending};
            if (Message.Msg == WM_KILLFOCUS) return false;
            Message.Result = 0;
            return true;
        }
        if (!(States * Tracking).Empty()) {
            FOwner->SetMouseCapture(false);
            if (States.Contains(hsHeightTracking) || States.Contains(hsHeightTrackPending))
                DoAfterHeaderHeightTracking();
            else if (FColumns->FTrackIndex >= 0)
                DoAfterColumnWidthTracking(FColumns->FTrackIndex);
            States -= Tracking;
            // The loss of the focus still reaches the tree and the framework.
            if (Message.Msg == WM_KILLFOCUS) return false;
            Message.Result = 0;
            return true;
        }
        return false;
    case WM_SETCURSOR: {
        if (!States.Empty()) {
            Message.Result = 1;
            return true;
        }
        const TPoint P = FOwner->ScreenToClient(GetCursorPos());
        TCursor Cursor;
        if (InHeaderSplitterArea(P) && CanResizeHeight(P)) Cursor = crHeaderVertSplit;
        else if (BorderHit(P)) Cursor = crHeaderSplit;
        else return false;
        FOwner->DoGetHeaderCursor(Cursor);
        if (Cursor == crDefault) return false;
        SetCursor(Cursor);
        Message.Result = 1;
        return true;
    }
    case WM_NCMOUSEMOVE: {
        // The hover mark follows the mouse; timer 3 clears it once the mouse has left.
        const TPoint P = ClientOf(Message);
        MouseEvent(hmMove, mbLeft, P);
        if (InHeader(P) && (FColumns->UpdateHoverColumn(P) ||
                            (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)))
            FOwner->StartTimer(3, 50);
        return false;
    }
    case WM_TIMER: {
        if (Message.WParam != 3) return false;
        const TPoint P = FOwner->ScreenToClient(GetCursorPos());
        if (!InHeader(P) || (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
            FOwner->StopTimer(3);
            FColumns->FHoverIndex = FColumns->FClickIndex = FColumns->FDownIndex = -1;
            FColumns->FCheckBoxHit = false;
            Invalidate();
        }
        Message.Result = 0;
        return true;
    }
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN: {
        const TPoint P = Message.Msg == WM_NCLBUTTONDOWN ? ClientOf(Message) : ClientPoint(Message);
        Press(P);
        if (States.Empty()) return false;
        Message.Result = 0;
        return true;
    }
    case WM_MOUSEMOVE: {
        const TPoint P = ClientPoint(Message);
        if (States.Contains(hsColumnWidthTrackPending)) {
            States.Exclude(hsColumnWidthTrackPending);
            States.Include(hsColumnWidthTracking);
        }
        if (States.Contains(hsHeightTrackPending)) {
            States.Exclude(hsHeightTrackPending);
            States.Include(hsHeightTracking);
        }
        if (States.Contains(hsHeightTracking)) {
            // P.Y is the distance below the lower edge: the edge follows the mouse.
            TPoint Q = P;
            if (DoHeaderHeightTracking(Q, CurrentShiftKeys())) SetHeight(FHeight + Q.Y);
            return true;
        }
        if (States.Contains(hsDragPending)) {
            // A press on a draggable column becomes a column drag once the mouse has moved far enough.
            const TPoint Screen = FOwner->ClientToScreen(P);
            const TPoint Start = FOwner->ScreenToClient(FDragStart);
            const TColumnIndex Column = FColumns->ColumnFromPosition(TPoint{Start.X, Start.Y + FHeight});
            const bool Allowed = Options.Contains(hoDrag) && Column >= 0 &&
                                 FColumns->Items(Column)->Options().Contains(coDraggable) &&
                                 FOwner->DoHeaderDragging(Column);
            if (Allowed && (std::abs(Screen.X - FDragStart.X) > DragThreshold ||
                            std::abs(Screen.Y - FDragStart.Y) > DragThreshold)) {
                FOwner->StopTimer(3);
                if (FColumns->FDownIndex >= 0) Invalidate(FColumns->FDownIndex);
                FColumns->FDownIndex = FColumns->FHoverIndex = -1;
                PrepareColumnDrag(Screen, FDragStart);
                States.Exclude(hsDragPending);
                States.Include(hsDragging);
            }
            return true;
        }
        if (States.Contains(hsDragging)) {
            DragColumnTo(FOwner->ClientToScreen(P));
            return true;
        }
        if (States.Contains(hsColumnWidthTracking) && FColumns->IsValidColumn(FColumns->FTrackIndex)) {
            TLazyTreeColumn* Column = FColumns->Items(FColumns->FTrackIndex);
            if (!DoColumnWidthTracking(FColumns->FTrackIndex, CurrentShiftKeys(), FTrackPoint, P)) return true;
            const int NewWidth = P.X - FTrackPoint.X;
            const TColumnIndex Next = FColumns->GetNextVisibleColumn(FColumns->FTrackIndex);
            // The auto-size column keeps the rest: its neighbour gives or takes the difference.
            if (Options.Contains(hoAutoResize) && FColumns->FTrackIndex == FAutoSizeIndex && Next >= 0 &&
                FColumns->Items(Next)->Options().Contains(coResizable) && NewWidth > Column->MinWidth() &&
                NewWidth < Column->MaxWidth())
                FColumns->Items(Next)->SetWidth(FColumns->Items(Next)->Width() + Column->Width() - NewWidth);
            else
                Column->SetWidth(NewWidth);
            return true;
        }
        return !States.Empty();
    }
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: {
        const bool Client = Message.Msg == WM_LBUTTONUP;
        if (Client && States.Empty() && FColumns->FDownIndex < 0) return false;
        const bool HadStates = !States.Empty();
        Release(Client ? ClientPoint(Message) : ClientOf(Message), Client, CurrentShiftKeys());
        if (!HadStates) return false;
        Message.Result = 0;
        return true;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
        const TPoint P = ClientOf(Message);
        if (InHeader(P)) MouseEvent(hmDown, Message.Msg == WM_NCRBUTTONDOWN ? mbRight : mbMiddle, P);
        return false;
    }
    case WM_NCRBUTTONUP: {
        Application->CancelHint();
        const TPoint P = ClientOf(Message);
        if (!InHeader(P)) return false;
        FColumns->ProcessHeaderClick(P, mbRight, true, false);
        MouseEvent(hmUp, mbRight, P);
        FColumns->FDownIndex = FColumns->FTrackIndex = -1;
        FColumns->FCheckBoxHit = false;
        TPopupMenu* Menu = PopupMenu;
        if (!Menu) Menu = DoGetPopupMenu(FColumns->ColumnFromPosition(HeaderPoint(P)), P);
        if (!Menu) return false;
        FOwner->StopTimer(4);
        FOwner->StopTimer(3);
        FColumns->FHoverIndex = -1;
        FOwner->DoStateChange({}, {tsScrolling, tsScrollPending});
        Menu->PopupComponent = FOwner;
        const TPoint Screen{SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())};
        Menu->Popup(Screen.X, Screen.Y);
        Message.Result = 0;
        return true;
    }
    case WM_NCMBUTTONUP: {
        const TPoint P = ClientOf(Message);
        if (!InHeader(P)) return false;
        FColumns->ProcessHeaderClick(P, mbMiddle, true, false);
        MouseEvent(hmUp, mbMiddle, P);
        FColumns->FDownIndex = -1;
        FColumns->FCheckBoxHit = false;
        return false;
    }
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: {
        const bool Client = Message.Msg == WM_LBUTTONDBLCLK;
        TPoint P = Client ? ClientPoint(Message) : ClientOf(Message);
        const TShiftState Shift = CurrentShiftKeys();
        if (Options.Contains(hoHeightDblClickResize) && InHeaderSplitterArea(P) && FDefaultHeight > 0) {
            if (DoHeaderHeightDblClickResize(P, Shift)) SetHeight(FDefaultHeight);
            Message.Result = 0;
            return true;
        }
        const bool Left = Client || Message.Msg == WM_NCLBUTTONDBLCLK;
        if (Left && Options.Contains(hoDblClickResize) && BorderHit(P) && FColumns->FTrackIndex >= 0) {
            // A double click on a border fits the column to its content.
            const TColumnIndex Column = FColumns->FTrackIndex;
            if (DoColumnWidthDblClickResize(Column, P, Shift)) {
                const int Position = int(FColumns->Items(Column)->Position());
                AutoFitColumns(true, smaUseColumnOption, Position, Position);
            }
            FColumns->FTrackIndex = -1;
            Message.Result = 0;
            return true;
        }
        if (Client || !InHeader(P)) return false;
        const TMouseButton Button = Left ? mbLeft : Message.Msg == WM_NCRBUTTONDBLCLK ? mbRight : mbMiddle;
        if (Button == mbLeft) FColumns->PressColumn(P);
        FColumns->ProcessHeaderClick(P, Button, true, true);
        return false;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The events of the header, through the tree's and the header's firers
// ---------------------------------------------------------------------------

bool TLazyTreeColumns::CanResizeColumn(TPoint P, TColumnIndex Column) {
    const bool Allowed = IsValidColumn(Column) && Items(Column)->FOptions.Contains(coVisible) &&
                         Items(Column)->FOptions.Contains(coResizable);
    return DoCanSplitterResizeColumn(P, Column, Allowed);
}

bool TLazyTreeColumns::DoCanSplitterResizeColumn(TPoint P, TColumnIndex Column, bool Allowed) {
    TBaseLazyTree* T = FHeader->Treeview();
    if (T->OnCanSplitterResizeColumn) T->OnCanSplitterResizeColumn(FHeader, P, Column, Allowed);
    return Allowed;
}

void TLTHeader::DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift) {
    if (FOwner->OnBeforeColumnWidthTracking) FOwner->OnBeforeColumnWidthTracking(this, Column, Shift);
}

bool TLTHeader::DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P) {
    bool Allowed = true;
    if (FOwner->OnColumnWidthTracking) FOwner->OnColumnWidthTracking(this, Column, Shift, TrackPoint, P, Allowed);
    return Allowed;
}

void TLTHeader::DoAfterColumnWidthTracking(TColumnIndex Column) {
    if (FOwner->OnAfterColumnWidthTracking) FOwner->OnAfterColumnWidthTracking(this, Column);
}

bool TLTHeader::DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift) {
    bool Allowed = true;
    if (FOwner->OnColumnWidthDblClickResize) FOwner->OnColumnWidthDblClickResize(this, Column, Shift, P, Allowed);
    return Allowed;
}

void TLTHeader::DoBeforeHeaderHeightTracking(TShiftState Shift) {
    if (FOwner->OnBeforeHeaderHeightTracking) FOwner->OnBeforeHeaderHeightTracking(this, Shift);
}

bool TLTHeader::DoHeaderHeightTracking(TPoint& P, TShiftState Shift) {
    bool Allowed = true;
    if (FOwner->OnHeaderHeightTracking) FOwner->OnHeaderHeightTracking(this, P, Shift, Allowed);
    return Allowed;
}

void TLTHeader::DoAfterHeaderHeightTracking() {
    if (FOwner->OnAfterHeaderHeightTracking) FOwner->OnAfterHeaderHeightTracking(this);
}

bool TLTHeader::DoHeaderHeightDblClickResize(TPoint& P, TShiftState Shift) {
    bool Allowed = true;
    if (FOwner->OnHeaderHeightDblClickResize) FOwner->OnHeaderHeightDblClickResize(this, P, Shift, Allowed);
    return Allowed;
}

bool TLTHeader::DoCanSplitterResizeHeader(TPoint P, bool Allowed) {
    if (FOwner->OnCanSplitterResizeHeader) FOwner->OnCanSplitterResizeHeader(this, P, Allowed);
    return Allowed;
}

TPopupMenu* TLTHeader::DoGetPopupMenu(TColumnIndex Column, TPoint P) {
    TPopupMenu* Menu = nullptr;
    bool AskParent = true;  // not read: the header has no parent to ask
    if (FOwner->OnGetPopupMenu) FOwner->OnGetPopupMenu(FOwner, nullptr, Column, P, AskParent, Menu);
    return Menu;
}

void TBaseLazyTree::DoHeaderClick(TLTHeaderHitInfo& HitInfo) {
    if (OnHeaderClick) OnHeaderClick(FHeader.get(), HitInfo);
}

void TBaseLazyTree::DoHeaderDblClick(TLTHeaderHitInfo& HitInfo) {
    if (OnHeaderDblClick) OnHeaderDblClick(FHeader.get(), HitInfo);
}

void TBaseLazyTree::DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseDown) OnHeaderMouseDown(FHeader.get(), Button, Shift, X, Y);
}

void TBaseLazyTree::DoHeaderMouseMove(TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseMove) OnHeaderMouseMove(FHeader.get(), Shift, X, Y);
}

void TBaseLazyTree::DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseUp) OnHeaderMouseUp(FHeader.get(), Button, Shift, X, Y);
}

bool TBaseLazyTree::DoHeaderDragging(TColumnIndex Column) {
    bool Allowed = true;
    if (OnHeaderDragging) OnHeaderDragging(FHeader.get(), Column, Allowed);
    return Allowed;
}

void TBaseLazyTree::DoHeaderDragged(TColumnIndex Column, int OldPosition) {
    if (OnHeaderDragged) OnHeaderDragged(FHeader.get(), Column, OldPosition);
}

void TBaseLazyTree::DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition) {
    if (OnHeaderDraggedOut) OnHeaderDraggedOut(FHeader.get(), Column, DropPosition);
}

void TBaseLazyTree::DoGetHeaderCursor(TCursor& Cursor) {
    if (OnGetHeaderCursor) OnGetHeaderCursor(FHeader.get(), Cursor);
}
