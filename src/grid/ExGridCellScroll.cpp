// Scroll bars in cells. A cell of kind scroll bar keeps its page (the height
// it shows), its range (its text's height) and its position in its graphic;
// the text is painted moved up by the position under a bar at the cell's
// right edge. Two bars serve all such cells: one the person scrolls, placed
// over the cell under the mouse, and one never shown that is only painted
// into the cells.
#include "grid/ExGrid.h"

#include <algorithm>

namespace {

constexpr int CellScrollBarWidth = 17;
// How far a click on an arrow and on the track moves the text, in pixels.
constexpr int CellScrollLine = 10;
constexpr int CellScrollPage = 100;
// A scroll bar made before it has a range: 100 pixels of text, none shown.
constexpr int DefaultScrollRange = 100;

}  // namespace

void TExStringGrid::CreateCellScrollBars() {
    if (ComponentState().Contains(csDesigning)) return;
    for (TScrollBar** bar : {&FScrollBar, &FPaintScrollBar}) {
        *bar = new TScrollBar(this);
        (*bar)->SetVisible(false);
        (*bar)->SetTabStop(false);
        (*bar)->SetKind(sbVertical);
        (*bar)->SetCtl3D(false);
        (*bar)->SetParent(this);
    }
}

// ---------------------------------------------------------------------------
// The cell's scroll state

void TExStringGrid::AddScrollBar(int ACol, int ARow, bool AutoRange) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctScrollbar);
    g->CellAngle = 0;
    g->CellErrFrom = DefaultScrollRange;
    g->CellIndex = 0;
    g->CellBoolean = AutoRange;
    if (AutoRange) CellTextChanged(ACol, ARow);
    RepaintDisplCell(ACol, ARow);
}

bool TExStringGrid::HasAutoRangeScrollBar(int ACol, int ARow) {
    TCellGraphic* g = HasScrollBar(ACol, ARow) ? OwnGraphic(ACol, ARow) : nullptr;
    return g && g->CellBoolean;
}

int TExStringGrid::GetScrollPosition(int ACol, int ARow) {
    return HasScrollBar(ACol, ARow) ? OwnGraphic(ACol, ARow)->CellIndex : -1;
}

void TExStringGrid::SetScrollPosition(int ACol, int ARow, int Pos) {
    if (!HasScrollBar(ACol, ARow)) return;
    OwnGraphic(ACol, ARow)->CellIndex = Pos;
    if (FScrollBar && FScrollBar->Visible() && FScrollCol == ACol && FScrollRow == ARow) FScrollBar->SetPosition(Pos);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveScrollBar(int ACol, int ARow) {
    RemoveCellGraphicOfType(ACol, ARow, ctScrollbar);
    CellScrollBarUpdate();
}

TScrollProp TExStringGrid::GetScrollProp(int ACol, int ARow) {
    if (!HasScrollBar(ACol, ARow)) return {-1, -1};
    const TCellGraphic* g = OwnGraphic(ACol, ARow);
    return {g->CellAngle, g->CellErrFrom};
}

void TExStringGrid::SetScrollProp(int ACol, int ARow, TScrollProp Prop) {
    if (!HasScrollBar(ACol, ARow)) return;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    g->CellAngle = Prop.PageSize;
    g->CellErrFrom = Prop.Range;
}

void TExStringGrid::CellTextChanged(int ACol, int ARow) {
    TBaseGrid::CellTextChanged(ACol, ARow);
    if (!HasAutoRangeScrollBar(ACol, ARow) || ARow >= RowCount()) return;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    g->CellAngle = RowHeights(ARow);
    g->CellErrFrom = GetCellTextSize(ACol, ARow, true, true).Y;
}

// ---------------------------------------------------------------------------
// The bar the person scrolls

void TExStringGrid::PlaceCellScrollBar(int ACol, int ARow) {
    if (!FScrollBar) return;
    const int rc = ACol >= 0 ? RealColIndex(ACol) : -1;
    const TScrollProp prop = ACol >= 0 && ARow >= 0 ? GetScrollProp(rc, ARow) : TScrollProp{-1, -1};
    // A cell whose text fits shows no bar either.
    if (prop.PageSize >= prop.Range) {
        FScrollBar->SetVisible(false);
        return;
    }
    if (FScrollBar->Visible() && FScrollBar->Height() > 0 && FScrollCol == rc && FScrollRow == ARow) return;
    FScrollCol = rc;
    FScrollRow = ARow;
    FScrollBar->SmallChange = CellScrollLine;
    FScrollBar->LargeChange = CellScrollPage;
    FScrollBar->SetPageSize(prop.PageSize);
    FScrollBar->SetParams(std::clamp(GetScrollPosition(rc, ARow), 0, prop.Range), 0, prop.Range);
    FScrollBar->SetVisible(true);
    CellScrollBarUpdate();
}

void TExStringGrid::CellScrollBarUpdate() {
    if (!FScrollBar || !FScrollBar->Visible()) return;
    const int A = DisplColIndex(FScrollCol), B = FScrollRow;
    // The cell went with its row, column or graphic: the bar goes too.
    if (FScrollCol < 0 || B < 0 || B >= RowCount() || A >= ColCount() || IsHiddenColumn(FScrollCol) ||
        !HasScrollBar(FScrollCol, B)) {
        FScrollBar->SetVisible(false);
        return;
    }
    const bool inView = A >= LeftCol() && A < LeftCol() + VisibleColCount() && B >= TopRow() &&
                        B < TopRow() + VisibleRowCount();
    const TRect R = CellRect(A, B);
    const int lw = GridLineWidth();
    // Out of view the bar keeps its place in the grid's children at no height.
    FScrollBar->SetBounds(R.Right - CellScrollBarWidth - lw, R.Top + lw, CellScrollBarWidth,
                          inView ? R.Bottom - R.Top - 2 * lw : 0);
}

bool TExStringGrid::CellScrollBarScrolled(TWMScroll& Message) {
    if (!FScrollBar || Message.ScrollBar() != LPARAM(FScrollBar->Handle())) return false;
    const int pos = FScrollBar->Position();
    int next = pos;
    switch (Message.ScrollCode()) {
        case SB_LINEUP: next = std::max(FScrollBar->Min(), pos - CellScrollLine); break;
        case SB_LINEDOWN: next = std::min(FScrollBar->Max(), pos + CellScrollLine); break;
        case SB_PAGEUP: next = pos - CellScrollPage; break;
        case SB_PAGEDOWN: next = pos + CellScrollPage; break;
        case SB_THUMBTRACK: next = Message.Pos(); break;
        default: break;
    }
    FScrollBar->SetPosition(next);
    if (FScrollBar->Position() != pos) {
        Message.Result = 1;
        SetScrollPosition(FScrollCol, FScrollRow, FScrollBar->Position());
        DoScrollCell(FScrollCol, FScrollRow);
    }
    return true;
}

void TExStringGrid::DoScrollCell(int ACol, int ARow) {
    if (OnScrollCell && FScrollBar)
        OnScrollCell(this, ACol, ARow, FScrollBar->Position(), FScrollBar->Min(), FScrollBar->Max());
}

// ---------------------------------------------------------------------------
// Painting

void TExStringGrid::DrawCellScrollBar(TCanvas& C, int RCol, int ARow, TRect& R) {
    if (!FPaintScrollBar || !HasScrollBar(RCol, ARow)) return;
    const TScrollProp prop = GetScrollProp(RCol, ARow);
    if (prop.PageSize >= prop.Range || R.Right - R.Left <= CellScrollBarWidth) return;
    FPaintScrollBar->SetPageSize(prop.PageSize);
    FPaintScrollBar->SetParams(std::clamp(GetScrollPosition(RCol, ARow), 0, prop.Range), 0, prop.Range);
    FPaintScrollBar->SetBounds(0, 0, CellScrollBarWidth, R.Bottom - R.Top);
    FPaintScrollBar->PaintTo(C, R.Right - CellScrollBarWidth, R.Top);
    R.Right -= CellScrollBarWidth;
}

void TExStringGrid::DrawScrolledCellText(TCanvas& C, int ACol, int RCol, int ARow, const TRect& R,
                                         TGridDrawState AState) {
    const int pos = std::max(0, GetScrollPosition(RCol, ARow));
    const int saved = C.SaveDC();
    C.IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
    TRect moved = R;
    moved.Top -= pos;
    moved.Bottom = std::max(R.Bottom, moved.Top + GetScrollProp(RCol, ARow).Range);
    DrawCellText(C, ACol, RCol, ARow, moved, AState);
    C.RestoreDC(saved);
}

void TExStringGrid::ScrolledTextRect(int RCol, int ARow, TRect& R) {
    const TScrollProp prop = GetScrollProp(RCol, ARow);
    if (prop.PageSize >= prop.Range) return;
    R.Right -= CellScrollBarWidth;
    R.Top -= std::max(0, GetScrollPosition(RCol, ARow));
}
