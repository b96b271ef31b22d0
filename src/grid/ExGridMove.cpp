// What moves with a moved column or row, and the feedback while one is
// dragged by its header: the header button or the cells' picture that
// follows the mouse, the arrows at the drop place, the cursor and the move
// events.
#include "grid/ExGrid.h"
#include "grid/foundation/MarkupRender.h"

#include "framework/Forms.h"
#include "framework/Windows.h"

#include <algorithm>
#include <memory>

namespace {

// Where an index lands when the item at From moves to To.
int FollowMove(int Index, int From, int To) {
    if (Index == From) return To;
    if (From < To && Index > From && Index <= To) return Index - 1;
    if (From > To && Index >= To && Index < From) return Index + 1;
    return Index;
}

// The arrows point at the drop edge from 5 pixels either side of it.
constexpr int ArrowHalf = 5;
constexpr int ArrowRowOffset = 10;
constexpr int ArrowColOffset = 8;

}  // namespace

// ---------------------------------------------------------------------------
// Columns and rows moved

void TExStringGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FColumnOrder.empty()) {
        FColumnOrder.resize(TotalColCount());
        for (int i = 0; i < int(FColumnOrder.size()); ++i) FColumnOrder[i] = i;
    }
    TBaseGrid::MoveColumn(FromIndex, ToIndex);
}

void TExStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    const int rf = RealColIndex(FromIndex), rt = RealColIndex(ToIndex);
    if (rf < int(FColumnOrder.size()) && rt < int(FColumnOrder.size())) {
        const int entry = FColumnOrder[rf];
        FColumnOrder.erase(FColumnOrder.begin() + rf);
        FColumnOrder.insert(FColumnOrder.begin() + rt, entry);
    }
    // The framework moved the displayed widths; hidden columns keep their
    // visibility and width in their real place.
    if (rf < int(FVisibleCol.size()) && rt < int(FVisibleCol.size())) {
        auto moveItem = [rf, rt](auto& v) {
            typename std::decay_t<decltype(v)>::value_type item = v[rf];
            v.erase(v.begin() + rf);
            v.insert(v.begin() + rt, item);
        };
        moveItem(FVisibleCol);
        moveItem(FAllColWidths);
    }
    if (FEnhRowColMove) FColMoveFlg = true;
    ColListsMoved(FromIndex, ToIndex);
    TBaseGrid::ColumnMoved(rf, rt);

    // Hidden rows keep their cells in their own lists.
    for (TGridItem& item : FGridItems) {
        item.Grow(std::max(rf, rt) + 1);
        item.Items().Move(rf, rt);
    }

    if (FSortSettings.Column() >= 0) FSortSettings.SetColumn(FollowMove(FSortSettings.Column(), rf, rt));
    if (FSortSettings.IndexShow())
        for (int i = 0; i < SortIndexes().Count(); ++i) {
            const int e = SortIndexes().GetInteger(i);
            const int col = e & 0xFFFF;
            SortIndexes().SetInteger(i, (e & ~0xFFFF) | (FollowMove(col, rf, rt) & 0xFFFF));
        }
    if (FFloatingFooter.Visible()) InvalidateGrid();
    CellControlsMoved();

    if (FSyncGrid.MoveColumn()) RepeatMoveOnSyncGrid(true, FromIndex, ToIndex);
}

// The other grid repeats the move once; its own repetition back stops there.
void TExStringGrid::RepeatMoveOnSyncGrid(bool Column, int FromIndex, int ToIndex) {
    auto* other = dynamic_cast<TExStringGrid*>(FSyncGrid.Grid());
    if (!other || FSyncedMove) return;
    other->FSyncedMove = true;
    try {
        if (Column) other->MoveColumn(FromIndex, ToIndex);
        else other->MoveRow(FromIndex, ToIndex);
    } catch (...) {
        other->FSyncedMove = false;
        throw;
    }
    other->FSyncedMove = false;
}

void TExStringGrid::MoveRow(int FromIndex, int ToIndex) {
    // The footer row stays last.
    if (FFloatingFooter.Visible() && FFloatingFooter.FooterStyle() == fsFixedLastRow && ToIndex == RowCount() - 1)
        return;
    TBaseGrid::MoveRow(FromIndex, ToIndex);
}

// The framework moved the heights before the cells, so OnRowMoved, which
// the base fires once after the cells, finds the heights in place.
void TExStringGrid::RowMoved(int FromIndex, int ToIndex) {
    if (FEnhRowColMove) FColMoveFlg = true;
    RowListsMoved(FromIndex, ToIndex);
    TBaseGrid::RowMoved(FromIndex, ToIndex);
    CellControlsMoved();
    if (FSyncGrid.MoveRow()) RepeatMoveOnSyncGrid(false, FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------
// The header button and the arrows

THeaderDragButton::THeaderDragButton(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clBtnFace); }

void THeaderDragButton::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
}

void THeaderDragButton::Paint() {
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    if (FGrid) FGrid->PaintCellExt(c, 0, 0, r, TGridDrawState{gdFixed});
    else {
        c.Brush().SetColor(Color());
        c.FillRect(r);
    }
    c.SetBkMode(TRANSPARENT);
    c.Font().Assign(&Font());
    const String caption = Caption();
    if (caption.find(u"</") == String::npos) {
        TRect tr = r;
        c.DrawText(caption, tr, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    } else {
        TMarkupDrawArgs in;
        if (FGrid) in.PictureCache = &FGrid->ImageCache();
        TMarkupDrawResult out;
        DrawHTMLText(c, caption, r, in, out);
    }
}

THeaderDragButton* TExStringGrid::MoveButton() {
    if (!FMoveButton) {
        FMoveButton = new THeaderDragButton(this);
        FMoveButton->SetGrid(this);
        FMoveButton->SetVisible(false);
        FMoveButton->SetEnabled(false);
        FMoveButton->SetParent(this);
        FMoveButton->FreeNotification(this);
    }
    return FMoveButton;
}

void TExStringGrid::EnsureArrows() {
    for (int d = arrUp; d <= arrRight; ++d)
        if (!FArrows[d]) {
            FArrows[d] = new TArrowWindow(this, TArrowDirection(d));
            FArrows[d]->FreeNotification(this);
        }
}

TColor TExStringGrid::ArrowColor() {
    EnsureArrows();
    return FArrows[arrUp]->Color();
}

void TExStringGrid::SetArrowColor(TColor Value) {
    EnsureArrows();
    for (TArrowWindow* a : FArrows) a->SetColor(Value);
}

// ---------------------------------------------------------------------------
// The drag of a header

void TExStringGrid::MovePressed(int X, int Y) {
    // The press noted the header taken and where in it (Movecell, MoveOfsX, MoveOfsY).
    FMovePressPoint = {X, Y};
    FMovePressed = true;
    FMoveColInd = -1;
    FMoveRowInd = -1;
    FMoveAccept = true;
}

void TExStringGrid::MoveFeedback(int X, int Y) {
    const TGridState state = GridState();
    if ((state != gsColMoving && state != gsRowMoving) || ComponentState().Contains(csDesigning)) return;
    const bool cols = state == gsColMoving;
    const int moveCell = Movecell >= 0 ? Movecell : FMoveIndex;
    bool allow = true;
    if (cols && OnColumnMove) OnColumnMove(this, moveCell, allow);
    if (!cols && OnRowMove) OnRowMove(this, moveCell, allow);
    if (!allow) {
        SetGridState(gsNormal);
        MoveCompletion(X, Y);
        return;
    }
    // Nothing floats before the mouse leaves the press point.
    if (RowCount() <= 1 || !FEnhRowColMove || (FMovePressed && X == FMovePressPoint.X && Y == FMovePressPoint.Y))
        return;

    FMoveAccept = true;
    DoStartBlockFocus();
    const TGridCoord cell = MouseCoord(X, Y);
    THeaderDragButton* button = MoveButton();
    const TRect header = cols ? CellRect(moveCell, 0) : CellRect(0, moveCell);
    if (!button->Visible() && !FMovePicture) {
        // Without the press, the first movement stands for it.
        if (!FMovePressed) {
            MoveOfsX = X - header.Left;
            MoveOfsY = Y - header.Top;
        }
        FMovePressed = true;
        if (FDragDropSettings.ShowCells()) {
            const TGridRect cells = cols ? TGridRect{moveCell, 0, moveCell, TopRow() + VisibleRowCount() - 1}
                                         : TGridRect{0, moveCell, LeftCol() + VisibleColCount() - 1, moveCell};
            FMovePicture.reset(FDataTools->SelectionToForm(cells));
        }
    }
    if (cols) {
        button->SetCaption(GetCellEx(RealColIndex(moveCell), 0));
        button->SetBounds(0, 0, ColWidths(moveCell), RowHeights(cell.Y >= 0 ? cell.Y : 0));
    } else {
        button->SetCaption(GetCellEx(0, moveCell));
        button->SetBounds(0, 0, ColWidths(cell.X >= 0 ? cell.X : 0), RowHeights(moveCell));
    }
    const TPoint at = ClientToScreen({X - MoveOfsX, Y - MoveOfsY});
    if (FMovePicture) FMovePicture->SetBounds(at.X, at.Y, FMovePicture->Width(), FMovePicture->Height());
    else button->SetBounds(at.X, at.Y, button->Width(), button->Height());

    EnsureArrows();
    const int fixedCols = TCustomGrid::FixedCols(), fixedRows = TCustomGrid::FixedRows();
    if (cols) {
        // The arrows show the drop place of the previous step.
        const bool shown = FMoveColInd >= fixedCols && cell.X >= 0 && FMoveColInd >= LeftCol() &&
                           FMoveColInd < LeftCol() + VisibleColCount() + 1 && FMoveColInd < ColCount();
        if (shown) {
            const TRect r = CellRect(FMoveColInd, 0);
            const int edge = FMoveColInd < moveCell ? r.Left : r.Right;
            const TPoint below = ClientToScreen({edge - ArrowHalf, r.Bottom});
            const TPoint above = ClientToScreen({edge - ArrowHalf, r.Top - ArrowColOffset});
            FArrows[arrUp]->SetBounds(below.X, below.Y, 11, 10);
            FArrows[arrDown]->SetBounds(above.X, above.Y, 11, 10);
        }
        FArrows[arrUp]->SetVisible(shown);
        FArrows[arrDown]->SetVisible(shown);
        FMoveColInd = cell.X;
        FMoveRowInd = 0;
        if (OnColumnMoving) OnColumnMoving(this, cell.X, FMoveAccept);
    } else {
        const bool footerTarget = FFloatingFooter.Visible() && FFloatingFooter.FooterStyle() == fsFixedLastRow &&
                                  cell.Y == RowCount() - 1;
        const bool shown = !footerTarget && FMoveRowInd >= fixedRows && cell.Y >= 0 && FMoveRowInd >= TopRow() &&
                           FMoveRowInd < TopRow() + VisibleRowCount() + 1 && FMoveRowInd < RowCount();
        if (shown) {
            const TRect r = CellRect(0, FMoveRowInd);
            const int edge = FMoveRowInd < moveCell ? r.Top : r.Bottom;
            const TPoint left = ClientToScreen({r.Left - ArrowRowOffset, edge - ArrowHalf});
            const TPoint right = ClientToScreen({r.Right, edge - ArrowHalf});
            FArrows[arrLeft]->SetBounds(left.X, left.Y, 10, 11);
            FArrows[arrRight]->SetBounds(right.X, right.Y, 10, 11);
        }
        FArrows[arrLeft]->SetVisible(shown);
        FArrows[arrRight]->SetVisible(shown);
        FMoveColInd = 0;
        FMoveRowInd = cell.Y;
        if (OnRowMoving) OnRowMoving(this, cell.Y, FMoveAccept);
    }

    // Beyond the scrolled cells the view follows the mouse.
    if (cols && VisibleColCount() + fixedCols < ColCount()) {
        if (X < FixedColsWidth() && LeftCol() > fixedCols) SetLeftCol(LeftCol() - 1);
        else if (X > Width() && LeftCol() + VisibleColCount() < ColCount()) SetLeftCol(LeftCol() + 1);
    } else if (!cols && VisibleRowCount() + fixedRows < RowCount()) {
        if (Y < FixedRowsHeight() && TopRow() > fixedRows) SetTopRow(TopRow() - 1);
        else if (Y > Height() && TopRow() + VisibleRowCount() < RowCount()) SetTopRow(TopRow() + 1);
    }

    if (FMovePicture) FMovePicture->SetVisible(true);
    else if (!button->Visible()) button->SetVisible(true);
    button->SetEnabled(true);
    Screen->SetCursor(FMoveAccept ? crDrag : crNoDrop);
}

void TExStringGrid::MoveCompletion(int X, int Y) {
    (void)X;
    (void)Y;
    const bool feedback = (FMoveButton && FMoveButton->Visible()) || FMovePicture;
    if (FMoveButton) {
        FMoveButton->SetEnabled(false);
        FMoveButton->SetVisible(false);
    }
    FMovePicture.reset();
    for (TArrowWindow* a : FArrows)
        if (a) a->SetVisible(false);
    if (feedback) DoEndBlockFocus();
    Screen->SetCursor(crDefault);
    const TGridState state = GridState();
    if (state == gsColMoving || state == gsRowMoving) {
        if (!FMoveAccept) {
            // Refused: the framework's release finds nothing to move.
            FMovePos = FMoveIndex;
            if (state == gsColMoving) InvalidateRow(0);
            else InvalidateCol(0);
        }
    }
    FMoveColInd = -1;
    FMoveRowInd = -1;
    FMoveAccept = true;
    FMovePressed = false;
}
