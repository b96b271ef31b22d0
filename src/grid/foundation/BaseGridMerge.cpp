// Merged cells: an area of cells recorded in their properties (the base
// cell holds the extra columns and rows, every other cell its distance to
// the base), and the geometry, keyboard and wheel rules that treat the area
// as one cell.
#include "grid/foundation/BaseGrid.h"

#include <algorithm>

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany) {
    ++FMergeCount;
    for (int i = c; i < c + spanx; ++i) {
        for (int j = r; j < r + spany; ++j) {
            TCellProperties* p = GetCellProperties(i, j);
            if (!p) continue;
            if (i == c && j == r) {
                p->FIsBaseCell = true;
                p->FCellSpanX = spanx - 1;
                p->FCellSpanY = spany - 1;
            } else {
                p->FIsBaseCell = false;
                p->FCellSpanX = i - c;
                p->FCellSpanY = j - r;
            }
        }
    }
    for (int i = c; i < c + spanx; ++i)
        for (int j = r; j < r + spany; ++j) RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int c, int r) {
    if (TCellProperties* p = GetCellProperties(c, r)) {
        const TPoint b = p->GetBaseCell(c, r);
        const TCellProperties* bp = PropsOf(b.X, b.Y);
        const int sx = bp ? bp->FCellSpanX : -1, sy = bp ? bp->FCellSpanY : -1;
        for (int i = b.X; i <= b.X + sx; ++i) {
            for (int j = b.Y; j <= b.Y + sy; ++j) {
                if (TCellProperties* q = GetCellProperties(i, j)) {
                    q->FIsBaseCell = true;
                    q->FCellSpanX = -1;
                    q->FCellSpanY = -1;
                }
            }
        }
        for (int i = b.X; i <= b.X + sx; ++i)
            for (int j = b.Y; j <= b.Y + sy; ++j) RepaintCell(i, j);
    }
    --FMergeCount;
}

// ---------------------------------------------------------------------------
// Mapping

TPoint TBaseGrid::BaseCell(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->GetBaseCell(ACol, ARow) : TPoint{ACol, ARow};
}

bool TBaseGrid::ResolveBaseCell(int ACol, int ARow, int& BaseCol, int& BaseRow) {
    const TPoint b = BaseCell(ACol, ARow);
    BaseCol = b.X;
    BaseRow = b.Y;
    const TCellProperties* p = PropsOf(ACol, ARow);
    return !p || p->FIsBaseCell || b == TPoint{ACol, ARow};
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    return !p || p->FIsBaseCell;
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p && (p->FCellSpanX > 0 || p->FCellSpanY > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) { return IsMergedCell(ACol, ARow) && !IsBaseCell(ACol, ARow); }

bool TBaseGrid::IsXMergedCell(int ACol, int ARow) {
    if (!PropsOf(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellProperties* bp = PropsOf(b.X, b.Y);
    return bp && bp->FCellSpanX > 0;
}

bool TBaseGrid::IsYMergedCell(int ACol, int ARow) {
    if (!PropsOf(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellProperties* bp = PropsOf(b.X, b.Y);
    return bp && bp->FCellSpanY > 0;
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    if (!p || p->FCellSpanX == -1 || p->FCellSpanY == -1) return {0, 0};
    const TPoint b = p->GetBaseCell(ACol, ARow);
    const TCellProperties* bp = PropsOf(b.X, b.Y);
    return bp ? TPoint{bp->FCellSpanX, bp->FCellSpanY} : TPoint{0, 0};
}

TPoint TBaseGrid::CellExt(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    if (!p || p->FCellSpanX == -1 || p->FCellSpanY == -1) return {0, 0};
    const TPoint b = p->GetBaseCell(ACol, ARow);
    const TPoint s = CellSpan(ACol, ARow);
    return {b.X + s.X - ACol, b.Y + s.Y - ARow};
}

TRect TBaseGrid::FullCell(int c, int r) {
    const TPoint b = BaseCell(c, r);
    const TPoint s = CellSpan(c, r);
    return {b.X, b.Y, b.X + s.X, b.Y + s.Y};
}

int TBaseGrid::MinRowSpan(int ARow) {
    int best = -1;
    for (int c = 0; c < ColCount(); ++c) {
        const int y = CellSpan(c, ARow).Y;
        if (y > 0 && (best < 0 || y < best)) best = y;
    }
    return best < 0 ? RowCount() : best;
}

int TBaseGrid::MaxRowSpan(int ARow) {
    int best = 0;
    for (int c = 0; c < ColCount(); ++c) best = std::max(best, CellSpan(c, ARow).Y);
    return best;
}

bool TBaseGrid::RowSpanIdentical(int ARow1, int ARow2) {
    bool found = false;
    for (int c = 0; c < ColCount(); ++c) {
        if (CellSpan(c, ARow1).Y > 0 && CellSpan(c, ARow2).Y > 0) {
            if (BaseCell(c, ARow1).Y != BaseCell(c, ARow2).Y) return false;
            found = true;
        }
    }
    return found;
}

bool TBaseGrid::ColSpanIdentical(int ACol1, int ACol2) {
    bool found = false;
    for (int r = 0; r < RowCount(); ++r) {
        const int x1 = CellSpan(ACol1, r).X, x2 = CellSpan(ACol2, r).X;
        if (x1 > 0 && x2 > 0) {
            if (BaseCell(ACol1, r).X != BaseCell(ACol2, r).X) return false;
            found = true;
        } else if (x1 != x2) {
            return false;
        }
    }
    return found;
}

// ---------------------------------------------------------------------------
// Geometry

TRect TBaseGrid::VirtualCellRect(int c, int r) {
    // The framework's own grid lines are off, so cells lie edge to edge and
    // the first scrolled cell starts right after the fixed ones.
    auto offset = [](int from, int to, auto extent) {
        int sum = 0;
        for (int i = from; i < to; ++i) sum += extent(i);
        for (int i = to; i < from; ++i) sum -= extent(i);
        return sum;
    };
    auto width = [this](int i) { return ColWidths(i); };
    auto height = [this](int i) { return RowHeights(i); };
    const int left = c >= FixedCols() ? FixedColsWidth() + offset(LeftCol(), c, width) : offset(0, c, width);
    const int top = r >= FixedRows() ? FixedRowsHeight() + offset(TopRow(), r, height) : offset(0, r, height);
    return {left, top, left + ColWidths(c), top + RowHeights(r)};
}

TRect TBaseGrid::MirroredRect(const TRect& R) {
    if (!UseRightToLeftAlignment()) return R;
    const int W = ClientWidth();
    return {W - R.Right, R.Top, W - R.Left, R.Bottom};
}

TRect TBaseGrid::CellRect(int c, int r) { return MirroredRect(CellLayoutRect(c, r)); }

int TBaseGrid::CellOffsetX(int c, int r, int X) { return LogicalX(X) - CellLayoutRect(c, r).Left; }

TRect TBaseGrid::CellLayoutRect(int c, int r) {
    if (const TCellProperties* p = PropsOf(c, r)) {
        if (p->FCellSpanX != -1 || p->FCellSpanY != -1) {
            const TPoint b = p->GetBaseCell(c, r);
            const TCellProperties* bp = PropsOf(b.X, b.Y);
            const int sx = bp ? std::max(bp->FCellSpanX, 0) : 0, sy = bp ? std::max(bp->FCellSpanY, 0) : 0;
            TRect r1 = VirtualCellRect(b.X, b.Y);
            if (r1.Width() == 0) r1.Right += 1;
            TRect r2 = VirtualCellRect(b.X + sx, b.Y + sy);
            if (r2.Width() == 0) r2.Left -= 1;
            return {std::min(r1.Left, r2.Left), std::min(r1.Top, r2.Top), std::max(r1.Right, r2.Right),
                    std::max(r1.Bottom, r2.Bottom)};
        }
        if (p->FControl) return VirtualCellRect(c, r);
    }
    TRect rect = TStringGrid::LayoutCellRect(c, r);
    rect.Right = rect.Left + ColWidths(c);
    rect.Bottom = rect.Top + RowHeights(r);
    return rect;
}

TPoint TBaseGrid::CellSize(int c, int r) {
    const TCellProperties* p = PropsOf(c, r);
    if (!p || (p->FCellSpanX == -1 && p->FCellSpanY == -1)) {
        const TRect v = VirtualCellRect(c, r);
        return {v.Width(), v.Height()};
    }
    const TPoint b = p->GetBaseCell(c, r);
    const TPoint s = CellSpan(c, r);
    const TRect r1 = VirtualCellRect(b.X, b.Y), r2 = VirtualCellRect(b.X + s.X, b.Y + s.Y);
    return {std::max(r1.Right, r2.Right) - std::min(r1.Left, r2.Left),
            std::max(r1.Bottom, r2.Bottom) - std::min(r1.Top, r2.Top)};
}

// ---------------------------------------------------------------------------
// The cursor on base cells

void TBaseGrid::MoveToBaseCell() {
    if (!PropsOf(Col(), Row())) return;
    const TPoint b = BaseCell(Col(), Row());
    if (b.X != Col()) SetCol(b.X);
    if (b.Y != Row()) SetRow(b.Y);
}

void TBaseGrid::KeyDown(Word& Key, TShiftState Shift) {
    const TCellProperties* p = PropsOf(Col(), Row());
    TPoint b{Col(), Row()};
    int sx = -1, sy = -1;
    if (p) {
        b = p->GetBaseCell(Col(), Row());
        if (const TCellProperties* bp = PropsOf(b.X, b.Y)) {
            sx = bp->FCellSpanX;
            sy = bp->FCellSpanY;
        }
    }
    // The row before a hidden last row must be one the cursor may stand on.
    const bool hiddenLast = FHideLastRow && RowCount() - 2 >= FixedRows();
    switch (Key) {
        case VK_NEXT:
            // On the last page the hidden row is the only step left: stop before it.
            if (hiddenLast && VisibleRowCount() + TopRow() - FixedRows() == RowCount() - 1) {
                SetRow(RowCount() - 2);
                Key = 0;
            }
            break;
        case VK_RIGHT:
            if (p) {
                const int v = b.X + sx;
                if (v >= Col() && Col() < ColCount() - 1 && b.X < ColCount() - 1 && v < ColCount()) SetCol(v);
            }
            break;
        case VK_DOWN:
            if (p) {
                const int v = b.Y + sy;
                if (v >= Row() && Row() < RowCount() - 1 && b.Y < RowCount() - 1) SetRow(v);
            }
            break;
        case VK_LEFT:
            // From inside an area: to its first column, so that the step
            // reaches the cell beside the area.
            if (p && b.X < Col()) SetCol(b.X);
            break;
        case VK_UP:
            if (p && b.Y < Row()) SetRow(b.Y);
            break;
        default:
            break;
    }
    if (Key != 0) TStringGrid::KeyDown(Key, Shift);
    if (hiddenLast && Row() == RowCount() - 1) SetRow(RowCount() - 2);
    MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    const bool result = TStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (VisibleRowCount() < Row() - TopRow() && Row() < RowCount() - 1 && FHideLastRow) SetTopRow(TopRow() + 1);
    if (FHideLastRow && RowCount() - 2 >= FixedRows() && Row() == RowCount() - 1) SetRow(RowCount() - 2);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    const bool result = TStringGrid::DoMouseWheelUp(Shift, MousePos);
    MoveToBaseCell();
    return result;
}

void TBaseGrid::TopLeftChanged() {
    TStringGrid::TopLeftChanged();
    RepaintMergedFixedCols();
    RepaintMergedFixedRows();
}

void TBaseGrid::RepaintMergedFixedCols() {
    if (FixedCols() == 0) return;
    for (int c = 0; c < FixedCols(); ++c)
        for (int r = TopRow(); r <= TopRow() + VisibleRowCount() && r < RowCount(); ++r)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
}

void TBaseGrid::RepaintMergedFixedRows() {
    if (FixedRows() == 0) return;
    for (int r = 0; r < FixedRows(); ++r)
        for (int c = LeftCol(); c <= LeftCol() + VisibleColCount() && c < ColCount(); ++c)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
}
