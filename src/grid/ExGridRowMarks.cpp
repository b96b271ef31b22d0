// Rows that can be disabled, error markers under cell texts, the frame
// around the cell being edited and the dotted lines of a column or row
// being sized.
#include "grid/ExGrid.h"

#include "grid/foundation/CellIndicators.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Enabled rows

bool TExStringGrid::RowEnabled(int ARow) const {
    return ARow < 0 || ARow >= int(FEnabledRows.size()) || FEnabledRows[size_t(ARow)] == 0;
}

void TExStringGrid::SetRowEnabled(int ARow, bool Value) {
    if (ARow < 0) throw EExGridError(u"Invalid row accessed");
    // A row being disabled hands the current row on to the first enabled
    // data row; enabling the current row leaves it where it is.
    if (!Value && RealRowIndex(Row()) == ARow) {
        for (int r = TCustomGrid::FixedRows(); r < RowCount(); ++r) {
            const int real = RealRowIndex(r);
            if (real != ARow && RowEnabled(real)) {
                SetRow(r);
                break;
            }
        }
    }
    FUseEnabledRows = true;
    if (ARow >= int(FEnabledRows.size())) FEnabledRows.resize(size_t(ARow) + 1, 0);
    FEnabledRows[size_t(ARow)] = Value ? 0 : 1;
    const int shown = DisplRowIndex(ARow);
    if (shown >= 0 && shown < RowCount()) RepaintRow(shown);
}

void TExStringGrid::ApplyDisabledFont(int ARow, TFont& AFont) {
    if (!FUseDisabledFont) return;
    if (!Enabled() || (FUseEnabledRows && !RowEnabled(RealRowIndex(ARow)))) AFont.SetColor(FDisabledFontColor);
}

bool TExStringGrid::RowRefused(int ARow) const {
    return FUseEnabledRows && FNavigation.SkipDisabledRows() && !RowEnabled(RealRowIndex(ARow));
}

void TExStringGrid::SkipDisabledRows(Word Key, int R0) {
    if (!FUseEnabledRows || !FNavigation.SkipDisabledRows() || Row() != R0) return;
    if (Key == VK_UP) {
        for (int r = R0 - 1; r >= TCustomGrid::FixedRows(); --r)
            if (RowEnabled(RealRowIndex(r))) return SetRow(r);
    } else if (Key == VK_DOWN) {
        for (int r = R0 + 1; r < RowCount(); ++r)
            if (RowEnabled(RealRowIndex(r))) return SetRow(r);
    }
}

void TExStringGrid::SetNoImageAndText(bool Value) {
    if (FNoImageAndText == Value) return;
    FNoImageAndText = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Error markers

void TExStringGrid::AddMarker(int ACol, int ARow, int ErrPos, int ErrLen) {
    const bool had = OwnGraphic(ACol, ARow) != nullptr;
    TCellGraphic* g = MakeOwnGraphic(ACol, ARow);
    if (!had) g->CellType = ctEmpty;
    g->CellErrFrom = ErrPos;
    g->CellErrLen = ErrLen;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen) {
    const TCellGraphic* g = OwnGraphic(ACol, ARow);
    ErrPos = g ? g->CellErrFrom : 0;
    ErrLen = g ? g->CellErrLen : 0;
}

void TExStringGrid::RemoveMarker(int ACol, int ARow) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g) return;
    if (g->CellType == ctEmpty) {
        RemoveCellGraphicOfType(ACol, ARow, ctEmpty);
        return;
    }
    g->CellErrFrom = g->CellErrLen = 0;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveAllMarkers() {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) RemoveMarker(c, r);
}

void TExStringGrid::DrawErrorUnderline(TCanvas& C, const String& Text, TRect R, int RCol, int ARow) {
    const TCellGraphic* g = OwnGraphic(RCol, ARow);
    if (!g || g->CellErrLen <= 0 || (g->CellType != ctEmpty && g->CellType != ctValue)) return;
    const TPen keep = [&] {
        TPen p;
        p.Assign(&C.Pen());
        return p;
    }();
    DrawWavyUnderline(this, C, Text, R, C.TextHeight(u"hg"), g->CellErrFrom, g->CellErrLen);
    C.Pen().Assign(&keep);
}

// ---------------------------------------------------------------------------
// The editing frame and the sizing lines

void TExStringGrid::DrawEditingFrame(TCanvas& C) {
    const bool lines = Options().Contains(goVertLine) || Options().Contains(goHorzLine);
    const TRect r = CellRect(Col(), Row());
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(GridLineWidth() < 1 || !lines ? Color() : GridLineColor());
    C.Brush().SetStyle(bsClear);
    C.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    C.Brush().SetStyle(bsSolid);
}

namespace {

// A dotted XOR line, the pen given back as it was.
void XorLine(TCanvas& C, int X1, int Y1, int X2, int Y2) {
    TPen keep;
    keep.Assign(&C.Pen());
    C.Pen().SetStyle(psDot);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(clWhite);
    C.Pen().SetMode(pmXor);
    // The gaps stay untouched, or the dots would not come off again.
    const int bk = C.BkMode();
    C.SetBkMode(TRANSPARENT);
    C.MoveTo(X1, Y1);
    C.LineTo(X2, Y2);
    C.SetBkMode(bk);
    C.Pen().Assign(&keep);
}

}  // namespace

void TExStringGrid::DrawSizingLineX(int X) {
    const TRect last = CellRect(0, RowCount() - 1);
    XorLine(Canvas(), X, 0, X, std::max(ClientHeight(), int(last.Bottom)));
}

void TExStringGrid::DrawSizingLineY(int Y) {
    const TRect last = CellRect(ColCount() - 1, 0);
    XorLine(Canvas(), 0, Y, std::max(ClientWidth(), int(last.Right)), Y);
}
