// The grid control: counts and sizes, geometry, the current cell and the
// selection, scrolling, keyboard, mouse and the editor protocol.
#include "framework/Grids.h"

#include "framework/Controls_p.h"
#include "framework/Windows.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace {

// Thumb positions of the scroll bars run 0..127 over the scrollable range.
constexpr int kThumbRange = 127;
// The timer that scrolls while the mouse selects or moves beyond the cells.
constexpr std::uintptr_t kMoveTimer = 1;
constexpr Cardinal kMoveTimerMs = 60;
// The timer that repeats a held scroll-bar arrow or page press.

[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(Message); }

int MulDivInt(long long a, long long b, long long c) { return c == 0 ? 0 : static_cast<int>(a * b / c); }

template <class T>
void MoveItem(std::vector<T>& v, int FromIndex, int ToIndex) {
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= int(v.size()) || ToIndex >= int(v.size())) return;
    if (FromIndex < ToIndex)
        std::rotate(v.begin() + FromIndex, v.begin() + FromIndex + 1, v.begin() + ToIndex + 1);
    else
        std::rotate(v.begin() + ToIndex, v.begin() + FromIndex, v.begin() + FromIndex + 1);
}

// Where an index lands when the item at FromIndex moves to ToIndex.
void MoveAdjust(int& Index, int FromIndex, int ToIndex) {
    if (Index == FromIndex) Index = ToIndex;
    else if (Index > FromIndex && Index <= ToIndex) --Index;
    else if (Index >= ToIndex && Index < FromIndex) ++Index;
}

TGridRect Ordered(TGridCoord a, TGridCoord b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    // The grid fires Click itself (keyboard moves and mouse releases), and
    // paints every pixel of its client area.
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
    FColor = clWindow;
    FBrush.SetColor(FColor);
    FTabStop = true;
    FWidth = 320;
    FHeight = 120;
    FColWidths.assign(FColCount, FDefaultColWidth);
    FRowHeights.assign(FRowCount, FDefaultRowHeight);
    FTabStops.assign(FColCount, 1);
    ApplyBorder();
    Initialize();
}

TCustomGrid::~TCustomGrid() {
    // The editor goes first, while the grid it writes to is still whole.
    if (FInplaceEdit) {
        FInplaceEdit->SetGrid(nullptr);
        delete FInplaceEdit;
        FInplaceEdit = nullptr;
    }
}

void TCustomGrid::Initialize() {
    FTopLeft = {FFixedCols, FFixedRows};
    FCurrent = FTopLeft;
    FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
}

// ---------------------------------------------------------------------------
// Counts and sizes

void TCustomGrid::SetColCount(int Value) {
    if (Value == FColCount) return;
    if (Value < 1) Value = 1;
    if (Value <= FFixedCols) FFixedCols = Value - 1;
    ChangeSize(Value, FRowCount);
    if (FOptions.Contains(goRowSelect)) {
        FAnchor.X = FColCount - 1;
        InvalidateGrid();
    }
}

void TCustomGrid::SetRowCount(int Value) {
    if (Value == FRowCount) return;
    if (Value < 1) Value = 1;
    if (Value <= FFixedRows) FFixedRows = Value - 1;
    ChangeSize(FColCount, Value);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int oldCols = FColCount, oldRows = FRowCount;
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    FColWidths.resize(FColCount, FDefaultColWidth);
    FRowHeights.resize(FRowCount, FDefaultRowHeight);
    FTabStops.resize(FColCount, 1);
    // The current cell and the anchor stay inside the grid (without asking
    // SelectCell: the cell they stood on is gone).
    auto clampCoord = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, std::min(FFixedCols, FColCount - 1), FColCount - 1);
        c.Y = std::clamp(c.Y, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    };
    // A current cell placed outside every cell (a hidden selection) stays there.
    auto wasInside = [&](TGridCoord c) { return c.X >= 0 && c.Y >= 0 && c.X < oldCols && c.Y < oldRows; };
    auto nowOutside = [&](TGridCoord c) {
        return c.X >= FColCount || c.Y >= FRowCount || c.X < FFixedCols || c.Y < FFixedRows;
    };
    if (wasInside(FCurrent) && nowOutside(FCurrent)) {
        clampCoord(FCurrent);
        if (FInplaceCol >= FColCount || FInplaceRow >= FRowCount) FInplaceCol = FInplaceRow = -1;
    }
    if (wasInside(FAnchor) && nowOutside(FAnchor)) clampCoord(FAnchor);
    if (FTopLeft.X < FFixedCols) FTopLeft.X = FFixedCols;
    if (FTopLeft.Y < FFixedRows) FTopLeft.Y = FFixedRows;
    ClampTopLeft();
    SizeChanged(oldCols, oldRows);
    UpdateScrollPos();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value == FFixedCols) return;
    if (Value < 0) InvalidOp("Grid index out of range");
    if (Value >= FColCount) InvalidOp("Fixed column count must be less than column count");
    FFixedCols = Value;
    Initialize();
    UpdateScrollPos();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value == FFixedRows) return;
    if (Value < 0) InvalidOp("Grid index out of range");
    if (Value >= FRowCount) InvalidOp("Fixed row count must be less than row count");
    FFixedRows = Value;
    Initialize();
    UpdateScrollPos();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    Value = std::max(Value, 0);
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    ClampTopLeft();
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    Value = std::max(Value, 0);
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    ClampTopLeft();
    RowHeightsChanged();
    InvalidateGrid();
}

int TCustomGrid::ColWidths(int Index) const {
    if (Index < 0 || Index >= FColCount) return FDefaultColWidth;
    return FColWidths[Index];
}

int TCustomGrid::RowHeights(int Index) const {
    if (Index < 0 || Index >= FRowCount) return FDefaultRowHeight;
    return FRowHeights[Index];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= FColCount) InvalidOp("Grid index out of range");
    Value = std::max(Value, 0);
    if (FColWidths[Index] == Value) return;
    FColWidths[Index] = Value;
    ClampTopLeft();
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= FRowCount) InvalidOp("Grid index out of range");
    Value = std::max(Value, 0);
    if (FRowHeights[Index] == Value) return;
    FRowHeights[Index] = Value;
    ClampTopLeft();
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FGridLineWidth) return;
    FGridLineWidth = Value;
    ClampTopLeft();
    UpdateEdit();
    InvalidateGrid();
}

bool TCustomGrid::TabStops(int Index) const {
    if (Index < 0 || Index >= FColCount) return true;
    return FTabStops[Index] != 0;
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
    if (Index < 0 || Index >= FColCount) InvalidOp("Grid index out of range");
    FTabStops[Index] = Value ? 1 : 0;
}

void TCustomGrid::ColWidthsChanged() { UpdateScrollPos(); UpdateEdit(); }
void TCustomGrid::RowHeightsChanged() { UpdateScrollPos(); UpdateEdit(); }
void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::TopLeftChanged() {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

void TCustomGrid::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    FDefaultColWidth = MulDivInt(FDefaultColWidth, M, D);
    FDefaultRowHeight = MulDivInt(FDefaultRowHeight, M, D);
    for (int& w : FColWidths) w = MulDivInt(w, M, D);
    for (int& h : FRowHeights) h = MulDivInt(h, M, D);
    Font().SetHeight(MulDivInt(Font().Height(), M, D));
    ClampTopLeft();
    InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
    if (Value == FOptions) return;
    FOptions = Value;
    // An editor that may no longer show goes at once.
    if (!FOptions.Contains(goEditing) || FOptions.Contains(goRowSelect)) {
        if (FEditorMode || (FInplaceEdit && FInplaceEdit->Visible())) HideEditor();
    } else if (!FEditorMode) {
        if (FOptions.Contains(goAlwaysShowEditor)) ShowEditor();
        else HideEditor();
    }
    if (FOptions.Contains(goRowSelect) && FCurrent.X >= 0 && FCurrent.Y >= 0 && FCurrent.X < FColCount &&
        FCurrent.Y < FRowCount)
        MoveColRow(FCurrent.X, FCurrent.Y, true, false);
    ClampTopLeft();
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    UpdateScrollPos();
    InvalidateGrid();
}

void TCustomGrid::SetBorderStyle(TFormBorderStyle Value) {
    FBorderStyle = Value == bsNone ? bsNone : bsSingle;
    ApplyBorder();
    InvalidateGrid();
}

void TCustomGrid::SetCtl3D(bool Value) {
    FCtl3D = Value;
    ApplyBorder();
    InvalidateGrid();
}

// A single border is a sunken client edge with the 3-D look, else a line.
void TCustomGrid::ApplyBorder() {
    Cardinal& style = FHandleImpl->Style;
    Cardinal& ex = FHandleImpl->ExStyle;
    style &= ~WS_BORDER;
    ex &= ~WS_EX_CLIENTEDGE;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) ex |= WS_EX_CLIENTEDGE;
        else style |= WS_BORDER;
    }
    FrameChanged(this);
    UpdateScrollPos();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (FFixedColor == Value) return;
    FFixedColor = Value;
    InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (FDefaultDrawing == Value) return;
    FDefaultDrawing = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Geometry

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& DrawInfo) {
    auto fixedAxis = [](TGridAxisDrawInfo& a, bool lines, int fixedCount, int firstCell, int cellCount,
                        std::function<int(int)> extent, int lineWidth) {
        a.EffectiveLineWidth = lines ? lineWidth : 0;
        a.FixedBoundary = 0;
        for (int i = 0; i < fixedCount; ++i) a.FixedBoundary += extent(i) + a.EffectiveLineWidth;
        a.FixedCellCount = fixedCount;
        a.FirstGridCell = firstCell;
        a.GridCellCount = cellCount;
        a.GetExtent = std::move(extent);
    };
    fixedAxis(DrawInfo.Horz, FOptions.Contains(goVertLine), FFixedCols, FTopLeft.X, FColCount,
              [this](int i) { return ColWidths(i); }, FGridLineWidth);
    fixedAxis(DrawInfo.Vert, FOptions.Contains(goHorzLine), FFixedRows, FTopLeft.Y, FRowCount,
              [this](int i) { return RowHeights(i); }, FGridLineWidth);
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight) {
    CalcFixedInfo(DrawInfo);
    auto calcAxis = [](TGridAxisDrawInfo& a, int useExtent) {
        a.GridExtent = useExtent;
        a.GridBoundary = a.FixedBoundary;
        a.FullVisBoundary = a.FixedBoundary;
        a.LastFullVisibleCell = a.FirstGridCell;
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
            a.GridBoundary += a.GetExtent(i) + a.EffectiveLineWidth;
            if (a.GridBoundary > a.GridExtent + a.EffectiveLineWidth) {
                a.GridBoundary = a.GridExtent;
                break;
            }
            a.LastFullVisibleCell = i;
            a.FullVisBoundary = a.GridBoundary;
        }
    };
    calcAxis(DrawInfo.Horz, UseWidth);
    calcAxis(DrawInfo.Vert, UseHeight);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) { CalcDrawInfoXY(DrawInfo, ClientWidth(), ClientHeight()); }

int TCustomGrid::VisibleColCount() const {
    TGridDrawInfo d;
    const_cast<TCustomGrid*>(this)->CalcDrawInfo(d);
    return std::max(1, d.Horz.LastFullVisibleCell - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo d;
    const_cast<TCustomGrid*>(this)->CalcDrawInfo(d);
    return std::max(1, d.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
    TRect r = LayoutCellRect(ACol, ARow);
    if (UseRightToLeftAlignment() && !IsRectEmpty(r)) {
        const int w = ClientWidth();
        r = TRect{w - r.Right, r.Top, w - r.Left, r.Bottom};
    }
    return r;
}

TRect TCustomGrid::LayoutCellRect(int ACol, int ARow) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    auto axis = [](const TGridAxisDrawInfo& a, int index, int& lo, int& hi) -> bool {
        if (index < 0 || index >= a.GridCellCount) return false;
        int pos = 0;
        if (index < a.FixedCellCount) {
            for (int i = 0; i < index; ++i) pos += a.GetExtent(i) + a.EffectiveLineWidth;
        } else {
            if (index < a.FirstGridCell) return false;
            pos = a.FixedBoundary;
            for (int i = a.FirstGridCell; i < index; ++i) {
                pos += a.GetExtent(i) + a.EffectiveLineWidth;
                if (pos >= a.GridExtent) return false;
            }
        }
        if (pos >= a.GridExtent) return false;
        lo = pos;
        hi = std::min(pos + a.GetExtent(index), a.GridExtent);
        return hi > lo;
    };
    TRect r;
    if (!axis(d.Horz, ACol, r.Left, r.Right) || !axis(d.Vert, ARow, r.Top, r.Bottom)) return TRect{};
    return r;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    auto axis = [](const TGridAxisDrawInfo& a, int n) -> int {
        if (n < 0 || n >= a.GridExtent) return -1;
        int start, stop, line;
        if (n < a.FixedBoundary) {
            start = 0;
            stop = a.FixedCellCount - 1;
            line = 0;
        } else {
            start = a.FirstGridCell;
            stop = a.GridCellCount - 1;
            line = a.FixedBoundary;
        }
        for (int i = start; i <= stop; ++i) {
            line += a.GetExtent(i) + a.EffectiveLineWidth;
            if (n < line) return i;
        }
        return -1;
    };
    TGridCoord c{axis(d.Horz, LogicalX(X)), axis(d.Vert, Y)};
    if (c.X < 0 || c.Y < 0) return {-1, -1};
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

// The top-left cell that shows Coord as the last wholly visible cell (or
// the first one after the fixed cells, when it alone is larger).
TGridCoord TCustomGrid::CalcMaxTopLeft(TGridCoord Coord, const TGridDrawInfo& DrawInfo) const {
    auto axis = [](const TGridAxisDrawInfo& a, int end, int fixedCount) {
        int result = std::max(end, fixedCount);
        int line = a.GridExtent - a.FixedBoundary;
        int i = result;
        while (i >= fixedCount) {
            line -= a.GetExtent(i) + a.EffectiveLineWidth;
            if (line < -a.EffectiveLineWidth) break;
            result = i;
            --i;
        }
        return std::max(result, fixedCount);
    };
    return {axis(DrawInfo.Horz, Coord.X, FFixedCols), axis(DrawInfo.Vert, Coord.Y, FFixedRows)};
}

void TCustomGrid::ClampTopLeft() {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    TGridCoord n{std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, maxTL.X)),
                 std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, maxTL.Y))};
    if (n == FTopLeft) return;
    MoveTopLeft(n.X, n.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    FTopLeft = {ALeft, ATop};
    UpdateScrollPos();
    InvalidateGrid();
    TopLeftChanged();
    // The editor follows its cell: it hides while the cell is out of view
    // and shows again when the cell comes back.
    if (FInplaceEdit && FInplaceCol == FCurrent.X && FInplaceRow == FCurrent.Y && CanEditShow())
        FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::SetLeftCol(int Value) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, maxTL.X));
    MoveTopLeft(Value, FTopLeft.Y);
}

void TCustomGrid::SetTopRow(int Value, bool PastLastPage) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, PastLastPage ? FRowCount - 1 : maxTL.Y));
    MoveTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::ScrollInView(int ACol, int ARow) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord n = FTopLeft;
    if (ACol >= FFixedCols && ACol < FColCount) {
        if (ACol < FTopLeft.X) n.X = ACol;
        else if (ACol > d.Horz.LastFullVisibleCell) n.X = CalcMaxTopLeft({ACol, 0}, d).X;
    }
    if (ARow >= FFixedRows && ARow < FRowCount) {
        if (ARow < FTopLeft.Y) n.Y = ARow;
        else if (ARow > d.Vert.LastFullVisibleCell) n.Y = CalcMaxTopLeft({0, ARow}, d).Y;
    }
    MoveTopLeft(n.X, n.Y);
}

void TCustomGrid::UpdateScrollPos() {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    // Rounded both ways, so that a thumb dropped at a position stays there
    // and the row (column) it stands for is the one the grid scrolls to.
    FScrollPosH = maxTL.X > FFixedCols ? MulDiv(FTopLeft.X - FFixedCols, kThumbRange, maxTL.X - FFixedCols) : 0;
    // A view scrolled past its last page (SetTopRow's PastLastPage) keeps the thumb at the end.
    FScrollPosV = maxTL.Y > FFixedRows
                      ? std::min(kThumbRange, MulDiv(FTopLeft.Y - FFixedRows, kThumbRange, maxTL.Y - FFixedRows))
                      : 0;
    SetScrollBarPositions();
}

void TCustomGrid::ModifyScrollBar(int Bar, int ScrollCode, int Pos) {
    if (ScrollCode == SB_ENDSCROLL) return;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    const bool horz = Bar == SB_HORZ;
    const int minV = horz ? FFixedCols : FFixedRows;
    const int maxV = std::max(minV, horz ? maxTL.X : maxTL.Y);
    const int page = std::max(1, horz ? d.Horz.LastFullVisibleCell - FTopLeft.X : d.Vert.LastFullVisibleCell - FTopLeft.Y);
    int v = horz ? FTopLeft.X : FTopLeft.Y;
    // Right to left the horizontal bar runs the other way: its left end shows the last columns.
    if (horz && UseRightToLeftAlignment()) {
        switch (ScrollCode) {
        case SB_LINEUP: ScrollCode = SB_LINEDOWN; break;
        case SB_LINEDOWN: ScrollCode = SB_LINEUP; break;
        case SB_PAGEUP: ScrollCode = SB_PAGEDOWN; break;
        case SB_PAGEDOWN: ScrollCode = SB_PAGEUP; break;
        case SB_TOP: ScrollCode = SB_BOTTOM; break;
        case SB_BOTTOM: ScrollCode = SB_TOP; break;
        default: Pos = kThumbRange - Pos; break;
        }
    }
    switch (ScrollCode) {
    case SB_LINEUP: --v; break;
    case SB_LINEDOWN: ++v; break;
    case SB_PAGEUP: v -= page; break;
    case SB_PAGEDOWN: v += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        if (FOptions.Contains(goThumbTracking) || ScrollCode == SB_THUMBPOSITION)
            v = minV + MulDiv(std::clamp(Pos, 0, kThumbRange), maxV - minV, kThumbRange);
        break;
    case SB_TOP: v = minV; break;
    case SB_BOTTOM: v = maxV; break;
    default: break;
    }
    v = std::clamp(v, minV, maxV);
    if (horz) MoveTopLeft(v, FTopLeft.Y);
    else MoveTopLeft(FTopLeft.X, v);
}

void TCustomGrid::WMHScroll(TWMScroll& Message) { ModifyScrollBar(SB_HORZ, Message.ScrollCode(), Message.Pos()); }
void TCustomGrid::WMVScroll(TWMScroll& Message) { ModifyScrollBar(SB_VERT, Message.ScrollCode(), Message.Pos()); }

void TCustomGrid::Resize() {
    ClampTopLeft();
    UpdateScrollPos();
    UpdateEdit();
    TCustomControl::Resize();
}

void TCustomGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollPos();
}

// ---------------------------------------------------------------------------
// Current cell and selection

TGridRect TCustomGrid::Selection() const { return Ordered(FCurrent, FAnchor); }

void TCustomGrid::SetSelection(const TGridRect& Value) {
    InvalidateGridRect(Selection());
    FAnchor = Value.TopLeft();
    FCurrent = Value.BottomRight();
    InvalidateGridRect(Selection());
    UpdateEdit();
}

// With the current cell outside the grid (a hidden selection) the other
// coordinate starts at the first scrolled column or row.
void TCustomGrid::SetCol(int Value) {
    if (Value == FCurrent.X) return;
    const int row = FCurrent.Y >= 0 && FCurrent.Y < FRowCount ? FCurrent.Y : std::min(FFixedRows, FRowCount - 1);
    FocusCell(Value, row, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value == FCurrent.Y) return;
    const int col = FCurrent.X >= 0 && FCurrent.X < FColCount ? FCurrent.X : std::min(FFixedCols, FColCount - 1);
    FocusCell(col, Value, true);
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp("Grid index out of range");
    if (!SelectCell(ACol, ARow)) return;
    // SelectCell may have changed the grid (counts, options): check again.
    if (ACol >= FColCount || ARow >= FRowCount) return;
    const TGridRect oldSel = Selection();
    FCurrent = {ACol, ARow};
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
    if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    }
    if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
    if (Show) ScrollInView(FCurrent.X, FCurrent.Y);
    InvalidateGridRect(oldSel);
    InvalidateGridRect(Selection());
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveColRow(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveAnchorTo(TGridCoord NewAnchor) {
    if (!FOptions.Contains(goRangeSelect)) {
        MoveColRow(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    const TGridRect oldSel = Selection();
    FAnchor = NewAnchor;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    ScrollInView(NewAnchor.X, NewAnchor.Y);
    InvalidateGridRect(oldSel);
    InvalidateGridRect(Selection());
}

// ---------------------------------------------------------------------------
// Structure

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount)
        InvalidOp("Grid index out of range");
    MoveItem(FColWidths, FromIndex, ToIndex);
    MoveItem(FTabStops, FromIndex, ToIndex);
    MoveAdjust(FCurrent.X, FromIndex, ToIndex);
    MoveAdjust(FAnchor.X, FromIndex, ToIndex);
    MoveAdjust(FInplaceCol, FromIndex, ToIndex);
    ColumnMoved(FromIndex, ToIndex);
    ColWidthsChanged();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount)
        InvalidOp("Grid index out of range");
    MoveItem(FRowHeights, FromIndex, ToIndex);
    MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
    MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
    MoveAdjust(FInplaceRow, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    RowHeightsChanged();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::DeleteColumn(int ACol) {
    if (ACol < 0 || ACol >= FColCount) InvalidOp("Grid index out of range");
    if (FColCount <= 1) return;
    // The editor's text belongs to the column it stands on.
    if (FInplaceCol == ACol) FInplaceCol = FInplaceRow = -1;
    else if (FInplaceCol > ACol) --FInplaceCol;
    FColWidths.erase(FColWidths.begin() + ACol);
    FColWidths.push_back(FDefaultColWidth);
    FTabStops.erase(FTabStops.begin() + ACol);
    FTabStops.push_back(1);
    if (FCurrent.X > ACol) --FCurrent.X;
    if (FAnchor.X > ACol) --FAnchor.X;
    SetColCount(FColCount - 1);
    ColWidthsChanged();
}

void TCustomGrid::DeleteRow(int ARow) {
    if (ARow < 0 || ARow >= FRowCount) InvalidOp("Grid index out of range");
    if (FRowCount <= 1) return;
    if (FInplaceRow == ARow) FInplaceCol = FInplaceRow = -1;
    else if (FInplaceRow > ARow) --FInplaceRow;
    FRowHeights.erase(FRowHeights.begin() + ARow);
    FRowHeights.push_back(FDefaultRowHeight);
    if (FCurrent.Y > ARow) --FCurrent.Y;
    if (FAnchor.Y > ARow) --FAnchor.Y;
    SetRowCount(FRowCount - 1);
    RowHeightsChanged();
}

void TCustomGrid::InsertColumn(int ACol) {
    if (ACol < 0 || ACol > FColCount) InvalidOp("Grid index out of range");
    if (FInplaceCol >= ACol) ++FInplaceCol;
    FColWidths.insert(FColWidths.begin() + ACol, FDefaultColWidth);
    FTabStops.insert(FTabStops.begin() + ACol, 1);
    FColCount += 1;
    if (FCurrent.X >= ACol && FCurrent.X + 1 < FColCount) ++FCurrent.X;
    if (FAnchor.X >= ACol && FAnchor.X + 1 < FColCount) ++FAnchor.X;
    FColCount -= 1;
    ChangeSize(FColCount + 1, FRowCount);
    ColWidthsChanged();
}

void TCustomGrid::InsertRow(int ARow) {
    if (ARow < 0 || ARow > FRowCount) InvalidOp("Grid index out of range");
    if (FInplaceRow >= ARow) ++FInplaceRow;
    FRowHeights.insert(FRowHeights.begin() + ARow, FDefaultRowHeight);
    FRowCount += 1;
    if (FCurrent.Y >= ARow && FCurrent.Y + 1 < FRowCount) ++FCurrent.Y;
    if (FAnchor.Y >= ARow && FAnchor.Y + 1 < FRowCount) ++FAnchor.Y;
    FRowCount -= 1;
    ChangeSize(FColCount, FRowCount + 1);
    RowHeightsChanged();
}

// ---------------------------------------------------------------------------
// Repainting

void TCustomGrid::InvalidateGrid() {
    if (HandleAllocated()) Invalidate();
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateGridRect({ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) {
    if (!HandleAllocated()) return;
    InvalidateGridRect({ACol, 0, ACol, FRowCount - 1});
}

void TCustomGrid::InvalidateRow(int ARow) {
    if (!HandleAllocated()) return;
    InvalidateGridRect({0, ARow, FColCount - 1, ARow});
}

// The window repaints as a whole; a rectangle of cells is a request to repaint.
void TCustomGrid::InvalidateGridRect(const TGridRect&) {
    if (HandleImpl()->Widget) Invalidate();  // HandleAllocated, without a call per cell
}

// ---------------------------------------------------------------------------
// Editor protocol

bool TCustomGrid::IsActiveControl() {
    if (TCustomForm* form = GetParentForm(this)) {
        TWinControl* active = form->ActiveControl();
        return active != nullptr && (active == this || (FInplaceEdit && active == FInplaceEdit));
    }
    return Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode &&
           !ComponentState().Contains(csDesigning) && HandleAllocated() &&
           (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditAcceptKey(Char) { return true; }
bool TCustomGrid::CanEditModify() { return true; }
TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }
String TCustomGrid::GetEditText(int, int) { return String(); }
void TCustomGrid::SetEditText(int, int, const String&) {}
String TCustomGrid::GetEditMask(int, int) { return String(); }
int TCustomGrid::GetEditLimit() { return 0; }

void TCustomGrid::UpdateEdit() {
    auto refill = [this] {
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FInplaceEdit->UpdateContents();
        FInplaceEdit->SetColor(Color());
        FInplaceEdit->SetFont(Font());
        FInplaceEdit->SelectAll();
    };
    if (!CanEditShow()) return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetVisible(false);
        FInplaceEdit->SetParent(this);
        refill();
    } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
        HideEdit();
        refill();
    }
    if (CanEditShow()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    try {
        UpdateText();
    } catch (...) {
        FInplaceCol = FInplaceRow = -1;
        FInplaceEdit->Hide();
        throw;
    }
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->Hide();
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    HideEdit();
}

void TCustomGrid::InvalidateEditor() {
    FInplaceCol = FInplaceRow = -1;
    UpdateEdit();
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (!Value) {
        HideEditor();
        return;
    }
    ShowEditor();
    if (FInplaceEdit) FInplaceEdit->Deselect();
}

void TCustomGrid::ShowEditorChar(Char Ch) {
    ShowEditor();
    if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->Perform(WM_CHAR, Ch, 0);
}

// ---------------------------------------------------------------------------
// Keyboard

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);  // OnKeyDown
    if (Key == 0) return;
    const bool rowSelect = FOptions.Contains(goRowSelect);
    TGridDrawInfo d;
    CalcDrawInfo(d);
    const int pageWidth = std::max(1, d.Horz.LastFullVisibleCell - FTopLeft.X);
    const int pageHeight = std::max(1, d.Vert.LastFullVisibleCell - FTopLeft.Y);
    TGridCoord newTL = FTopLeft;
    TGridCoord newCur = FCurrent;
    bool handled = true;
    // Right to left the next column stands on the left.
    if (UseRightToLeftAlignment() && (Key == VK_LEFT || Key == VK_RIGHT)) Key = Key == VK_LEFT ? VK_RIGHT : VK_LEFT;
    struct KeyBack {
        Word& Key;
        bool Swapped;
        ~KeyBack() {
            if (Swapped && Key != 0) Key = Key == VK_LEFT ? VK_RIGHT : VK_LEFT;
        }
    } keyBack{Key, UseRightToLeftAlignment() && (Key == VK_LEFT || Key == VK_RIGHT)};
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP: --newTL.Y; break;
        case VK_DOWN: ++newTL.Y; break;
        case VK_LEFT:
            if (!rowSelect) { newCur.X -= pageWidth; newTL.X -= pageWidth; }
            break;
        case VK_RIGHT:
            if (!rowSelect) { newCur.X += pageWidth; newTL.X += pageWidth; }
            break;
        case VK_PRIOR: newCur.Y = FTopLeft.Y; break;
        case VK_NEXT: newCur.Y = d.Vert.LastFullVisibleCell; break;
        case VK_HOME: newCur = {FFixedCols, FFixedRows}; break;
        case VK_END: newCur = {FColCount - 1, FRowCount - 1}; break;
        default: handled = false; break;
        }
    } else {
        switch (Key) {
        case VK_UP: --newCur.Y; break;
        case VK_DOWN: ++newCur.Y; break;
        case VK_LEFT:
            if (rowSelect) --newCur.Y; else --newCur.X;
            break;
        case VK_RIGHT:
            if (rowSelect) ++newCur.Y; else ++newCur.X;
            break;
        case VK_NEXT: newCur.Y += pageHeight; newTL.Y += pageHeight; break;
        case VK_PRIOR: newCur.Y -= pageHeight; newTL.Y -= pageHeight; break;
        case VK_HOME:
            if (rowSelect) newCur.Y = FFixedRows; else newCur.X = FFixedCols;
            break;
        case VK_END:
            if (rowSelect) newCur.Y = FRowCount - 1; else newCur.X = FColCount - 1;
            break;
        case VK_TAB:
            if (!FOptions.Contains(goTabs) || Shift.Contains(ssAlt)) { handled = false; break; }
            // To the next (previous) tab stop, wrapping to the next (previous)
            // row and around; Shift+Tab never extends the selection.
            {
                bool anyStop = false;
                for (int c = FFixedCols; c < FColCount && !anyStop; ++c) anyStop = TabStops(c);
                if (!anyStop || FCurrent.X < 0 || FCurrent.Y < 0) return;
            }
            do {
                if (Shift.Contains(ssShift)) {
                    if (--newCur.X < FFixedCols) {
                        newCur.X = FColCount - 1;
                        if (--newCur.Y < FFixedRows) newCur.Y = FRowCount - 1;
                    }
                } else if (++newCur.X >= FColCount) {
                    newCur.X = FFixedCols;
                    if (++newCur.Y >= FRowCount) newCur.Y = FFixedRows;
                }
            } while (!TabStops(newCur.X) && !(newCur == FCurrent));
            Shift.Exclude(ssShift);
            break;
        case VK_F2: SetEditorMode(true); return;
        default: handled = false; break;
        }
    }
    if (!handled) return;
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    newTL.X = std::clamp(newTL.X, FFixedCols, std::max(FFixedCols, maxTL.X));
    newTL.Y = std::clamp(newTL.Y, FFixedRows, std::max(FFixedRows, maxTL.Y));
    if (!(newTL == FTopLeft)) MoveTopLeft(newTL.X, newTL.Y);
    newCur.X = std::clamp(newCur.X, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    newCur.Y = std::clamp(newCur.Y, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    if (rowSelect) newCur.X = FCurrent.X;
    if (!(newCur == FCurrent)) {
        TGridCoord before = FCurrent;
        FocusCell(newCur.X, newCur.Y, !Shift.Contains(ssShift));
        // A move the grid refused: the key goes no further.
        if (FCurrent == before) Key = 0;
    }
}

void TCustomGrid::KeyPress(Char& Key) {
    TCustomControl::KeyPress(Key);  // OnKeyPress
    if (!FOptions.Contains(goAlwaysShowEditor) && Key == Char(VK_RETURN)) {
        if (FEditorMode) HideEditor();
        else ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::WMChar(TWMKey& Message) {
    const Char ch = Char(Message.CharCode());
    if (FOptions.Contains(goEditing) && (ch == 8 || ch >= 32)) ShowEditorChar(ch);
    else TCustomControl::WMChar(Message);
}

// ---------------------------------------------------------------------------
// Mouse

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  TGridDrawInfo& FixedInfo) {
    auto axisState = [&](const TGridAxisDrawInfo& a, int pos, TGridState newState) {
        int line = a.FixedBoundary;
        int range = a.EffectiveLineWidth;
        int back = 0;
        if (range < 7) {
            // A border is easy to hit: 7 pixels around it.
            range = 7;
            back = (range - a.EffectiveLineWidth) >> 1;
        }
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
            line += a.GetExtent(i);
            if (line > a.GridBoundary) break;
            if (pos >= line - back && pos <= line - back + range) {
                State = newState;
                SizingPos = line;
                SizingOfs = line - pos;
                Index = i;
                return;
            }
            line += a.EffectiveLineWidth;
        }
        if (a.GridBoundary == a.GridExtent && pos >= a.GridExtent - back && pos <= a.GridExtent) {
            State = newState;
            SizingPos = a.GridExtent;
            SizingOfs = a.GridExtent - pos;
            Index = a.LastFullVisibleCell + 1;
        }
    };
    State = gsNormal;
    Index = -1;
    TGridOptions opts = FOptions;
    if (ComponentState().Contains(csDesigning)) opts += TGridOptions{goColSizing, goRowSizing};
    if (!opts.Contains(goColSizing) && !opts.Contains(goRowSizing)) return;
    FixedInfo.Vert.GridExtent = ClientHeight();
    FixedInfo.Horz.GridExtent = ClientWidth();
    X = LogicalX(X);  // SizingPos and SizingOfs are of the left-to-right layout
    if (X > FixedInfo.Horz.FixedBoundary && opts.Contains(goColSizing)) {
        if (Y >= FixedInfo.Vert.FixedBoundary) return;
        axisState(FixedInfo.Horz, X, gsColSizing);
    } else if (Y > FixedInfo.Vert.FixedBoundary && opts.Contains(goRowSizing)) {
        if (X >= FixedInfo.Horz.FixedBoundary) return;
        axisState(FixedInfo.Vert, Y, gsRowSizing);
    }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!ComponentState().Contains(csDesigning) && CanFocus()) {
        SetFocus();
        if (!IsActiveControl()) {
            SetMouseCapture(false);
            return;
        }
    }
    // The grid has no click events of the framework: it reports its clicks itself.
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        TGridDrawInfo d;
        CalcDrawInfo(d);
        CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, d);
        if (FGridState != gsNormal) {
            InvalidateGrid();
            TCustomControl::MouseDown(Button, Shift, X, Y);
            return;
        }
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
            if (FOptions.Contains(goEditing)) {
                if (cell.X == FCurrent.X && cell.Y == FCurrent.Y) ShowEditor();
                else {
                    MoveColRow(cell.X, cell.Y, true, true);
                    UpdateEdit();
                }
                Click();
            } else {
                if (Shift.Contains(ssShift)) MoveAnchorTo(cell);
                else MoveColRow(cell.X, cell.Y, true, true);
                FGridState = gsSelecting;
                if (HandleAllocated()) {
                    SetTimer(Handle(), kMoveTimer, kMoveTimerMs);
                    FTimerRunning = true;
                }
            }
        } else if (FOptions.Contains(goRowMoving) && cell.X >= 0 && cell.X < FFixedCols && cell.Y >= FFixedRows) {
            FMoveIndex = cell.Y;
            FMovePos = cell.Y;
            FGridState = gsRowMoving;
            if (HandleAllocated()) {
                SetTimer(Handle(), kMoveTimer, kMoveTimerMs);
                FTimerRunning = true;
            }
        } else if (FOptions.Contains(goColMoving) && cell.Y >= 0 && cell.Y < FFixedRows && cell.X >= FFixedCols) {
            FMoveIndex = cell.X;
            FMovePos = cell.X;
            FGridState = gsColMoving;
            if (HandleAllocated()) {
                SetTimer(Handle(), kMoveTimer, kMoveTimerMs);
                FTimerRunning = true;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    switch (FGridState) {
    case gsSelecting: {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && !(cell == FAnchor)) MoveAnchorTo(cell);
        break;
    }
    case gsColSizing:
        FSizingPos = LogicalX(X) + FSizingOfs;
        InvalidateGrid();
        break;
    case gsRowSizing:
        FSizingPos = Y + FSizingOfs;
        InvalidateGrid();
        break;
    case gsColMoving: {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= FFixedCols) FMovePos = cell.X;
        InvalidateGrid();
        break;
    }
    case gsRowMoving: {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.Y >= FFixedRows) FMovePos = cell.Y;
        InvalidateGrid();
        break;
    }
    default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto stopTimer = [this] {
        if (FTimerRunning && HandleAllocated()) KillTimer(Handle(), kMoveTimer);
        FTimerRunning = false;
    };
    const TGridState state = FGridState;
    try {
        switch (state) {
        case gsSelecting:
            MouseMove(Shift, X, Y);
            stopTimer();
            FGridState = gsNormal;
            UpdateEdit();
            Click();
            break;
        case gsColSizing:
        case gsRowSizing: {
            FGridState = gsNormal;
            TGridDrawInfo d;
            CalcDrawInfo(d);
            const TGridAxisDrawInfo& a = state == gsColSizing ? d.Horz : d.Vert;
            int start = a.FixedBoundary;
            for (int i = a.FirstGridCell; i < FSizingIndex; ++i) start += a.GetExtent(i) + a.EffectiveLineWidth;
            const int newSize = FSizingPos - start;
            if (newSize > 1 && FSizingIndex >= 0) {
                if (state == gsColSizing && FSizingIndex < FColCount) SetColWidths(FSizingIndex, newSize);
                else if (state == gsRowSizing && FSizingIndex < FRowCount) SetRowHeights(FSizingIndex, newSize);
            }
            InvalidateGrid();
            break;
        }
        case gsColMoving:
        case gsRowMoving:
            stopTimer();
            FGridState = gsNormal;
            if (FMoveIndex != FMovePos && FMoveIndex >= 0 && FMovePos >= 0) {
                if (state == gsColMoving) MoveColumn(FMoveIndex, FMovePos);
                else MoveRow(FMoveIndex, FMovePos);
            }
            UpdateEdit();
            InvalidateGrid();
            break;
        default:
            UpdateEdit();
            break;
        }
        TCustomControl::MouseUp(Button, Shift, X, Y);
    } catch (...) {
        FGridState = gsNormal;
        throw;
    }
    FGridState = gsNormal;
}

void TCustomGrid::WMTimer(TWMTimer& Message) {
    if (Message.TimerID() != kMoveTimer ||
        (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving)) {
        TCustomControl::WMTimer(Message);
        return;
    }
    // Scrolls towards the mouse while it is beyond the scrolled cells.
    TPoint p = ScreenToClient(GetCursorPos());
    p.X = LogicalX(p.X);
    TGridDrawInfo d;
    CalcDrawInfo(d);
    int dx = 0, dy = 0;
    if (p.X < d.Horz.FixedBoundary) dx = -1;
    else if (p.X >= d.Horz.FullVisBoundary) dx = 1;
    if (p.Y < d.Vert.FixedBoundary) dy = -1;
    else if (p.Y >= d.Vert.FullVisBoundary) dy = 1;
    if (FGridState == gsColMoving) dy = 0;
    if (FGridState == gsRowMoving) dx = 0;
    if (dx == 0 && dy == 0) return;
    TGridCoord maxTL = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, d);
    TGridCoord n{std::clamp(FTopLeft.X + dx, FFixedCols, std::max(FFixedCols, maxTL.X)),
                 std::clamp(FTopLeft.Y + dy, FFixedRows, std::max(FFixedRows, maxTL.Y))};
    MoveTopLeft(n.X, n.Y);
    if (FGridState == gsSelecting) {
        TGridCoord a{std::clamp(dx < 0 ? FTopLeft.X : dx > 0 ? d.Horz.LastFullVisibleCell + 1 : FAnchor.X, FFixedCols,
                                FColCount - 1),
                     std::clamp(dy < 0 ? FTopLeft.Y : dy > 0 ? d.Vert.LastFullVisibleCell + 1 : FAnchor.Y, FFixedRows,
                                FRowCount - 1)};
        MoveAnchorTo(a);
    }
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
    TCustomControl::WMSetCursor(Message);
    if (Word(Message.LParam & 0xFFFF) != HTCLIENT || !HandleAllocated() || FGridState != gsNormal) return;
    // Over a column or row border that can be dragged: the splitter cursor.
    const TPoint p = ScreenToClient(GetCursorPos());
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(p.X, p.Y, state, index, pos, ofs, d);
    if (state == gsColSizing) ::SetCursor(crHSplit);
    else if (state == gsRowSizing) ::SetCursor(crVSplit);
}

void TCustomGrid::CMBiDiModeChanged(TMessage& Message) {
    TCustomControl::CMBiDiModeChanged(Message);
    UpdateScrollPos();
    UpdateEdit();
}

void TCustomGrid::WMCancelMode(TMessage& Message) {
    if (FTimerRunning && HandleAllocated()) KillTimer(Handle(), kMoveTimer);
    FTimerRunning = false;
    if (FGridState != gsNormal) InvalidateGrid();
    FGridState = gsNormal;
    TCustomControl::WMCancelMode(Message);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    if (FCurrent.Y < FRowCount - 1) SetRow(FCurrent.Y + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    if (FCurrent.Y > FFixedRows) SetRow(FCurrent.Y - 1);
    return true;
}

// ---------------------------------------------------------------------------
// Focus

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    InvalidateGrid();
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
    InvalidateGrid();
}

void TCustomGrid::Dispatch(TMessage& Message) {
    // The scroll bars are outside the client area: their mouse input is theirs.
    if (HandleScrollBarMouse(Message)) return;
    TCustomControl::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SETFOCUS:
        // The grid took the focus (not from its own editor): the editor shows again.
        if (!FInplaceEdit || Message.WParam == 0 || FindControl(HWND(Message.WParam)) != FInplaceEdit) UpdateEdit();
        InvalidateGrid();
        break;
    case WM_KILLFOCUS: InvalidateGrid(); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// TDrawGrid

bool TDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

String TDrawGrid::GetEditMask(int ACol, int ARow) {
    String v;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, v);
    return v;
}

String TDrawGrid::GetEditText(int ACol, int ARow) {
    String v;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const String& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------
// TStringGrid

void TStringGrid::CellChanged(int ACol, int ARow) {
    if (ACol == Col() && ARow == Row() && FEditUpdate == 0) InvalidateEditor();
    InvalidateCell(ACol, ARow);
}

void TStringGrid::SetCells(int ACol, int ARow, const String& Value) {
    FData.SetText(ACol, ARow, Value);
    CellChanged(ACol, ARow);
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    FData.SetObject(ACol, ARow, Value);
    InvalidateCell(ACol, ARow);
}

String TStringGrid::GetEditText(int ACol, int ARow) {
    String v = FData.Text(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TStringGrid::SetEditText(int ACol, int ARow, const String& Value) {
    ++FEditUpdate;
    try {
        if (Value != FData.Text(ACol, ARow)) SetCells(ACol, ARow, Value);
    } catch (...) {
        --FEditUpdate;
        throw;
    }
    --FEditUpdate;
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    FData.MoveColumn(FromIndex, ToIndex);
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    FData.MoveRow(FromIndex, ToIndex);
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::DeleteColumn(int ACol) {
    if (ACol < 0 || ACol >= ColCount() || ColCount() <= 1) {
        TDrawGrid::DeleteColumn(ACol);
        return;
    }
    FData.DeleteColumn(ACol);
    TDrawGrid::DeleteColumn(ACol);
}

void TStringGrid::DeleteRow(int ARow) {
    if (ARow < 0 || ARow >= RowCount() || RowCount() <= 1) {
        TDrawGrid::DeleteRow(ARow);
        return;
    }
    FData.DeleteRow(ARow);
    TDrawGrid::DeleteRow(ARow);
}

void TStringGrid::InsertColumn(int ACol) {
    if (ACol >= 0 && ACol <= ColCount()) FData.InsertColumn(ACol);
    TDrawGrid::InsertColumn(ACol);
}

void TStringGrid::InsertRow(int ARow) {
    if (ARow >= 0 && ARow <= RowCount()) FData.InsertRow(ARow);
    TDrawGrid::InsertRow(ARow);
}
