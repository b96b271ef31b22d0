// The grid's mouse movement: the hover row, the sizing events and the
// sizing hint, and cancelling a cell hint once the mouse left its cell.
#include "grid/ExGrid.h"

#include "framework/BalloonTip.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The sizing hint is laid out no wider than this.
constexpr int SizingHintMaxWidth = 200;
// The mouse offers a fixed column's border this close to it.
constexpr int FixedBorderGrip = 3;
}  // namespace

bool TExStringGrid::OverFixedColBorder(int X, int& Index) {
    int border = 0;
    for (int c = 0; c < TCustomGrid::FixedCols(); ++c) {
        border += ColWidths(c) + 1;
        if (std::abs(X - border) < FixedBorderGrip) {
            Index = c;
            return true;
        }
    }
    return false;
}

bool TExStringGrid::OverFixedRowBorder(int Y, int& Index) {
    int border = 0;
    for (int r = 0; r < TCustomGrid::FixedRows(); ++r) {
        border += RowHeights(r) + 1;
        if (std::abs(Y - border) < FixedBorderGrip) {
            Index = r;
            return true;
        }
    }
    return false;
}

bool TExStringGrid::StartFixedSizing(int X, int Y) {
    int index = 0;
    if (FSizeFixed) {
        OverFixedColBorder(X, index);
        FSizingFixed = true;
        FSizingFixedCol = index;
        FSizeFixedX = X;
    } else if (FSizeFixedR) {
        OverFixedRowBorder(Y, index);
        FSizingFixedR = true;
        FSizingFixedRow = index;
        FSizeFixedY = Y;
    } else {
        return false;
    }
    SetMouseCapture(true);
    Invalidate();
    return true;
}

void TExStringGrid::EndFixedRowSizing(int Y) {
    FSizingFixedR = false;
    FSizeFixedR = false;
    const int row = FSizingFixedRow;
    int top = 0;
    for (int r = 0; r < row; ++r) top += RowHeights(r);
    const int height = Y - top;
    if (height > 0) SetRowHeights(row, height);
    if (OnEndRowSize) OnEndRowSize(this, row);
    Invalidate();
}

bool TExStringGrid::IsHoverFixedCell(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return false;
    const bool cols = FHoverFixedCells == hfAll || FHoverFixedCells == hfFixedColumns;
    const bool rows = FHoverFixedCells == hfAll || FHoverFixedCells == hfFixedRows;
    return (cols && ACol < TCustomGrid::FixedCols()) || (rows && ARow < TCustomGrid::FixedRows());
}

TPoint TExStringGrid::HoverFixedCell() {
    if (!IsHoverFixedCell(FHoverFixedX, FHoverFixedY)) return {-1, -1};
    return {FHoverFixedX, FHoverFixedY};
}

void TExStringGrid::TrackHoverFixedCell(int ACol, int ARow) {
    if (FHoverFixedCells != hfNone && (ACol != FHoverFixedX || ARow != FHoverFixedY)) {
        const int oldX = FHoverFixedX, oldY = FHoverFixedY;
        FHoverFixedX = ACol;
        FHoverFixedY = ARow;
        if (IsHoverFixedCell(oldX, oldY) && oldX < ColCount() && oldY < RowCount()) RepaintCell(oldX, oldY);
        if (IsHoverFixedCell(ACol, ARow)) RepaintCell(ACol, ARow);
    }
    if (FLook == glListView && TPoint{ACol, ARow} != FHotFixedCell) {
        auto fixed = [this](TPoint p) {
            return p.X >= 0 && p.Y >= 0 && p.X < ColCount() && p.Y < RowCount() &&
                   (p.X < TCustomGrid::FixedCols() || p.Y < TCustomGrid::FixedRows());
        };
        const TPoint old = FHotFixedCell;
        FHotFixedCell = {ACol, ARow};
        if (fixed(old)) RepaintCell(old.X, old.Y);
        if (fixed(FHotFixedCell)) RepaintCell(ACol, ARow);
    }
}

void TExStringGrid::EndFixedSizing(int X) {
    FSizingFixed = false;
    FSizeFixed = false;
    const int col = FSizingFixedCol;
    int left = 0;
    for (int c = 0; c < col; ++c) left += ColWidths(c);
    int width = X - left;
    if (width > 0) SetColWidths(col, width);
    if (OnEndColumnSize) OnEndColumnSize(this, col);
    if (OnUpdateColumnSize) {
        int w = width;
        DoUpdateColumnSize(col, w);
        if (w != width && w > 0) SetColWidths(col, w);
    }
    Invalidate();
}

bool TExStringGrid::IsOnSizingBorder(int X, int Y) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs, d);
    return state != gsNormal;
}

void TExStringGrid::HeaderSelectPress(int ACol, int ARow, TShiftState Shift) {
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const int lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    const TGridRect old = Selection();
    const bool shift = Shift.Contains(ssShift);
    switch (FMouseSelectMode) {
    case msAll: {
        if (!FMouseActions.AllSelect() || !Options().Contains(goRangeSelect) || ACol >= fc || ARow >= fr) return;
        SelectAllPress();
        break;
    }
    case msRow:
        if (!FMouseActions.RowSelect() || ACol >= fc || ARow < fr) return;
        SetSelection({fc, shift ? old.Top : ARow, lastCol, ARow});
        FMouseSelectStart = ARow;
        // A whole row replaces single cells picked before.
        if (FMouseActions.DisjunctCellSelect() && !FSelectedCells.empty()) {
            FSelectedCells.clear();
            InvalidateGrid();
        }
        if (!FRowIndicator.Empty()) InvalidateCol(0);
        break;
    case msColumn:
        if (!FMouseActions.ColSelect() || !Options().Contains(goRangeSelect) || ARow >= fr || ACol < fc) return;
        if (!shift) SetSelection({ACol, fr, ACol, lastRow});
        else if (ACol < old.Left) SetSelection({old.Right, fr, ACol, lastRow});
        else SetSelection({old.Left, fr, ACol, lastRow});
        FMouseSelectStart = ACol;
        break;
    default: break;
    }
}

bool TExStringGrid::HeaderSelectDrag(int ACol, int ARow, int Y) {
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    if (FMouseSelectMode == msRow && FMouseActions.RowSelect()) {
        if (ARow >= fr && ARow < RowCount() - FFixedFooters)
            SetSelection({fc, FMouseSelectStart, ColCount() - 1, std::max(ARow, fr)});
        // Beyond the bottom the rows scroll up, above the first row down.
        if (Y > Height() - 4 && TopRow() < RowCount() - VisibleRowCount()) {
            SetTopRow(TopRow() + 1);
        } else if (fr > 0 && Y < RowHeights(0) && TopRow() > fr) {
            SetTopRow(TopRow() - 1);
            return true;
        }
    } else if (FMouseSelectMode == msColumn && FMouseActions.ColSelect() && ACol >= fc) {
        SetSelection({FMouseSelectStart, fr, ACol, RowCount() - 1});
    }
    return false;
}

void TExStringGrid::DrawFixedSizingLine() {
    if (FSizingFixed) DrawSizingLineX(FSizeFixedX);
    else if (FSizingFixedR) DrawSizingLineY(FSizeFixedY);
    // The framework's own sizing of a column or row shows its line too.
    else if (GridState() == gsColSizing && FSizingIndex >= 0) DrawSizingLineX(FSizingPos);
    else if (GridState() == gsRowSizing && FSizingIndex >= 0) DrawSizingLineY(FSizingPos);
}

void TExStringGrid::ResetFixedCellHighlight() {
    FSizeFixed = false;
    FSizeFixedR = false;
    if (FHoverFixedCells == hfNone || FHoverFixedX < 0 || FHoverFixedY < 0) return;
    const int x = FHoverFixedX, y = FHoverFixedY;
    FHoverFixedX = FHoverFixedY = -1;
    if (x < ColCount() && y < RowCount()) RepaintCell(x, y);
}

void TExStringGrid::CMCursorChanged(TMessage& Message) {
    TBaseGrid::CMCursorChanged(Message);
    if (!Invokedchange) FMouseSelectMode = msNormal;
    Invokedchange = false;
}

void TExStringGrid::WMSetCursor(TMessage& Message) {
    TBaseGrid::WMSetCursor(Message);
    const TGridState state = GridState();
    if (FMouseSelectMode != msNormal && state != gsColSizing && state != gsRowSizing) {
        if (FMouseSelectMode == msColumn) ::SetCursor(crGridSelectCol);
        else if (FMouseSelectMode == msRow) ::SetCursor(crGridSelectRow);
        else if (FMouseSelectMode == msAll || FMouseSelectMode == msResize) ::SetCursor(crGridSelectAll);
        else if (FMouseSelectMode == msURL) ::SetCursor(crHandPoint);
    } else if (Word(Message.LParam & 0xFFFF) == HTCLIENT && HandleAllocated()) {
        // The cell under the mouse may show a cursor of its own.
        const TPoint p = ScreenToClient(GetCursorPos());
        const TGridCoord cell = MouseCoord(p.X, p.Y);
        if (cell.X >= 0 && cell.Y >= 0) DoGetCellCursor(RealColIndex(cell.X), cell.Y, p.X, p.Y);
    }
    if (FSizeFixed || FSizingFixed) ::SetCursor(crHSplit);
    else if (FSizeFixedR || FSizingFixedR) ::SetCursor(crVSplit);
}

void TExStringGrid::ShowSizingHint(const String& Text, int AnchorCol, int AnchorRow) {
    if (!FScrollHintWnd) FScrollHintWnd = new THTMLHintWindow(this);
    TRect r = FScrollHintWnd->CalcHintRect(SizingHintMaxWidth, Text, this);
    const TRect cell = CellRect(AnchorCol, AnchorRow);
    const TPoint at = ClientToScreen({cell.Left, cell.Top});
    OffsetRect(r, at.X, at.Y);
    FScrollHintWnd->SetColor(FHintColor);
    FScrollHintWnd->ActivateHint(r, Text);
    FScrollHintShow = true;
}

void TExStringGrid::CancelHintsOffCell(int ACol, int ARow) {
    int bc = ACol, br = ARow;
    if (ACol >= 0 && ARow >= 0) ResolveBaseCell(ACol, ARow, bc, br);
    const TPoint base{bc, br};
    // A cell hint belongs to its cell; the framework starts the next hint
    // over on its own, so only the shown one goes.
    if (FLastHintPos.X != -1 && base != FLastHintPos) {
        if (THintWindow* w = Application->HintWindow(); w && w->IsHintShowing()) w->ReleaseHandle();
        FLastHintPos = {-1, -1};
    }
    // The balloon stays while the mouse moves over its grid: closing it lets
    // the next cell's balloon come up after the reshow delay.
    if (FBalloon.Enable() && FLastBalloonPos.X != -1 && base != FLastBalloonPos) {
        if (TBalloonTip* tip = FTools->BalloonTip(); tip && tip->IsTipShowing()) tip->Pop();
        FLastBalloonPos = {-1, -1};
    }
}

void TExStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    // A press that armed a drag out of the grid starts it once the pointer has left the press point.
    if (FTools->OleDragMove(ACol, ARow, X, Y, Shift)) return;
    const TGridRect selBefore = Selection();

    if (HoverRow() && !IsDesigning() && ARow >= 0 && ARow != FHoverRowIdx) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = ARow;
        if (old >= 0 && old < RowCount()) RepaintRow(old);
        RepaintRow(ARow);
    }

    if (!IsDesigning()) PlaceCellScrollBar(ACol, ARow);
    if (!IsDesigning()) TrackHoverFixedCell(ACol, ARow);
    {
        const TPoint p{X, Y};
        auto inside = [&p](const TRect& r) { return !IsRectEmpty(r) && PtInRect(r, p); };
        const bool onButton = ACol >= 0 && ARow >= 0 &&
                              (inside(GetCellButtonRect(ACol, ARow)) || inside(GetExpandButtonRect(RealColIndex(ACol), ARow)));
        TrackHoverButton(onButton ? TPoint{ACol, ARow} : TPoint{-1, -1});
    }

    // Range select and edit: dragging from a cell selects instead of editing.
    if (Shift.Contains(ssLeft) && FPressCol >= 0 && FMouseActions.RangeSelectAndEdit() &&
        Options().Contains(goEditing) && !EditorMode())
        SetOptions(Options() - TGridOptions{goEditing});

    const bool scrolledUp = FMouseSelectStart >= 0 && Shift.Contains(ssLeft) && HeaderSelectDrag(ACol, ARow, Y);

    // Fixed columns offer their borders for sizing all the way down.
    if (FMouseActions.SizeFixedCol() && !IsDesigning()) {
        int index = -1;
        FSizeFixed = FSizingFixed || (ACol >= 0 && ARow >= 0 && OverFixedColBorder(X, index));
        if (FSizingFixed) {
            FSizeFixedX = X;
            Invalidate();
        }
    }
    if (FMouseActions.SizeFixedRow() && !IsDesigning()) {
        int index = -1;
        FSizeFixedR = FSizingFixedR || (!FSizeFixed && ACol >= 0 && ARow >= 0 && OverFixedRowBorder(Y, index));
        if (FSizingFixedR) {
            FSizeFixedY = Y;
            Invalidate();
        }
    }

    // What a press here would select.
    TMouseSelectMode mode = msNormal;
    if (ACol >= 0 && ARow >= 0 && !IsDesigning()) {
        const bool fixedRow = ARow < TCustomGrid::FixedRows(), fixedCol = ACol < TCustomGrid::FixedCols();
        if (fixedRow && fixedCol && scrolledUp) {
            // The row drag goes on while the rows scroll down under the header.
            mode = msRow;
        } else if (fixedRow && fixedCol) {
            if (FMouseActions.AllSelect()) mode = msAll;
        } else if (fixedRow && FMouseActions.ColSelect() && !IsOnSizingBorder(X, Y)) {
            mode = msColumn;
        } else if (fixedCol && FMouseActions.RowSelect() && !IsOnSizingBorder(X, Y)) {
            const int last = FFloatingFooter.Visible() && FFloatingFooter.FooterStyle() == fsFixedLastRow
                                 ? RowCount() - 2
                                 : RowCount() - 1;
            // The node glyph opens or closes its node instead.
            const bool onNode = RealColIndex(ACol) == 0 && IsNode(ARow) &&
                                InNodeClickArea(ARow, CellOffsetX(ACol, ARow, X));
            if (ARow <= last && !onNode) mode = msRow;
        }
    }
    // Over a link the press follows it.
    if (!IsDesigning() && TrackAnchor(ACol, ARow, X, Y) && mode == msNormal) mode = msURL;
    if (mode == msNormal && !IsDesigning() && OnSelectionGrip(X, Y)) mode = msResize;
    FMouseSelectMode = mode;

    CancelHintsOffCell(ACol, ARow);

    // A held button keeps the horizontal position it was pressed at: a range
    // drag over a partly shown column does not scroll sideways. Nothing paints
    // before the position is put back (painting waits for the event loop).
    const bool keepLeft = FNavigation.KeepHorizScroll() && Shift.Contains(ssLeft) && GridState() != gsColMoving;
    const int left = LeftCol();
    TBaseGrid::MouseMove(Shift, X, Y);
    if (keepLeft && LeftCol() != left) SetLeftCol(left);

    if (FSizingFixed) {
        if (OnColumnSizing) OnColumnSizing(this, 0, FSizeFixedX);
        if (FHintShowSizing) ShowSizingHint(u"cw=<b>" + IntToStr(FSizeFixedX) + u"</b>", 0, 0);
    }
    if (FSizingFixedR) {
        if (OnRowSizing) OnRowSizing(this, 0, FSizeFixedY);
        if (FHintShowSizing) ShowSizingHint(u"rh=<b>" + IntToStr(FSizeFixedY) + u"</b>", 0, 0);
    }
    // The framework sizes a column or row: report the size it would get.
    const TGridState state = GridState();
    if ((state == gsColSizing || state == gsRowSizing) && FSizingIndex >= 0 && !IsDesigning()) {
        FColSizeFlg = true;
        const bool cols = state == gsColSizing;
        // The sizing's end (the width or height change) reports to the press's cell.
        (cols ? ColSized : Rowsized) = true;
        if (cols) Colclicked = FSizingIndex;
        else Rowclicked = FSizingIndex;
        const TRect cell = cols ? CellRect(FSizingIndex, std::max(Rowclicked, 0)) : CellRect(std::max(Colclicked, 0), FSizingIndex);
        const int size = cols ? X - Clickposdx - cell.Left : Y - Clickposdy - cell.Top;
        if (cols && OnColumnSizing) OnColumnSizing(this, FSizingIndex, size);
        if (!cols && OnRowSizing) OnRowSizing(this, FSizingIndex, size);
        if (FHintShowSizing) {
            const String text = (cols ? u"cw=<b>" : u"rh=<b>") + IntToStr(size) + u"</b>";
            // Beside the pressed header cell: a grid of several header rows
            // (columns) shows it on the row (column) the border was taken in.
            const bool pressed = FPressCol >= 0 && FPressRow >= 0 && FPressCol < ColCount() && FPressRow < RowCount();
            if (cols) ShowSizingHint(text, FSizingIndex, pressed ? FPressRow : 0);
            else ShowSizingHint(text, pressed ? FPressCol : 0, FSizingIndex);
        }
    }
    if (!(Selection() == selBefore)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    // A column or row dragged by its header: the floating button and drop arrows follow.
    MoveFeedback(X, Y);
}

TRect TExStringGrid::GetCellButtonRect(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return {};
    TCellGraphic* g = OwnGraphic(RealColIndex(ACol), ARow);
    if (!g || (g->CellType != ctButton && g->CellType != ctBitButton)) return {};
    // Placed in the left-to-right layout, where it is painted; mirrored back right to left.
    const TRect cell = CellLayoutRect(ACol, ARow);
    const int offset = int(std::lround(g->CellValue));
    TRect b = Bounds(cell.Left + (offset & 65535), cell.Top + (offset >> 16), g->CellIndex & 65535, g->CellIndex >> 16);
    // A button over the whole width or height spans the cell's.
    if (g->CellHAlign == haFull) b.Left = cell.Left, b.Right = cell.Right;
    if (g->CellVAlign == vaFull) b.Top = cell.Top, b.Bottom = cell.Bottom;
    return MirroredRect(b);
}

void TExStringGrid::TrackHoverButton(TPoint Cell) {
    if (Cell == FHoverButton) return;
    const TPoint old = FHoverButton;
    FHoverButton = Cell;
    if (old.X >= 0 && old.X < ColCount() && old.Y < RowCount()) RepaintCell(old.X, old.Y);
    if (Cell.X >= 0) RepaintCell(Cell.X, Cell.Y);
}

void TExStringGrid::CMMouseLeave(TMessage& Message) {
    TBaseGrid::CMMouseLeave(Message);
    // Once: the header its drop-down menu asked to keep lit stays lit.
    const bool keepHeader = FKeepFixedHighlight;
    FKeepFixedHighlight = false;
    FMouseSelectMode = msNormal;
    // Nothing is under the mouse any more: no hovered or hot header stays lit.
    if (keepHeader) {
        FSizeFixed = false;
        FSizeFixedR = false;
    } else {
        ResetFixedCellHighlight();
        TrackHoverFixedCell(-1, -1);
    }
    TrackHoverButton({-1, -1});
    TrackHoverLink({-1, -1}, 0);
    if (HoverRow() && FHoverRowIdx >= 0) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount()) RepaintRow(old);
    }
}
