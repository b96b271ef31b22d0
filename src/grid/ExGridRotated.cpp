// The grid control's turned cell texts and the painting settings of the
// active-cell headers, bands and disabled text.
#include "grid/ExGrid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// An angle brought into 0 .. 360 by whole turns; 360 stays 360.
int NormalAngle(int A) {
    while (A < 0) A += 360;
    while (A > 360) A -= 360;
    return A;
}

struct TTurn {
    double Sin, Cos;
};

TTurn Turn(int Angle) {
    const double a = Angle * std::numbers::pi / 180.0;
    return {std::sin(a), std::cos(a)};
}

}  // namespace

void TExStringGrid::SetActiveCellShow(bool Value) {
    FActiveCellShow = Value;
    InvalidateGrid();
}

void TExStringGrid::SetActiveCellColor(TColor Value) {
    FActiveCellColor = Value;
    InvalidateGrid();
}

void TExStringGrid::SetActiveCellColorTo(TColor Value) {
    FActiveCellColorTo = Value;
    InvalidateGrid();
}

void TExStringGrid::SetDisabledFontColor(TColor Value) {
    FDisabledFontColor = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Turned texts

void TExStringGrid::AddRotated(int ACol, int ARow, int AAngle, const String& S) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctRotated;
    g->CellAngle = NormalAngle(AAngle);
    SetCellEx(ACol, ARow, S);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::SetRotated(int ACol, int ARow, int AAngle) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g || g->CellType != ctRotated) {
        g = MakeOwnGraphic(ACol, ARow);
        g->CellType = ctRotated;
    }
    g->CellAngle = NormalAngle(AAngle);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveRotated(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctRotated); }

bool TExStringGrid::IsRotated(int ACol, int ARow, int& AAngle) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g || g->CellType != ctRotated) return false;
    AAngle = g->CellAngle;
    return true;
}

TPoint TExStringGrid::RotatedTextSize(int W, int H, int Angle) {
    const TTurn t = Turn(Angle);
    const int ws = std::abs(int(W * t.Sin)), wc = std::abs(int(W * t.Cos));
    const int hs = std::abs(int(H * t.Sin)), hc = std::abs(int(H * t.Cos));
    return {wc + hs + 12, ws + hc + 12};
}

TPoint TExStringGrid::PlaceRotatedText(TCanvas& ACanvas, TRect R, int Angle, TVAlignment VA, TAlignment HA,
                                       const String& S) {
    const TSize ext = ACanvas.TextExtent(S);
    const TTurn t = Turn(Angle);
    // The corners of the text box turned counter-clockwise about its origin
    // (y grows downwards): x' = x cos + y sin, y' = y cos - x sin.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (auto [x, y] : {std::pair{ext.cx, 0}, std::pair{0, ext.cy}, std::pair{ext.cx, ext.cy}}) {
        const double px = x * t.Cos + y * t.Sin, py = y * t.Cos - x * t.Sin;
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    InflateRect(R, -2, -2);
    const int w = int(std::lround(maxX - minX)), h = int(std::lround(maxY - minY));
    const int left = HA == taRightJustify ? R.Right - w : HA == taCenter ? (R.Left + R.Right - w) / 2 : R.Left;
    const int top = VA == vtaBottom ? R.Bottom - h : VA == vtaCenter ? (R.Top + R.Bottom - h) / 2 : R.Top;
    return {left - int(std::lround(minX)), top - int(std::lround(minY))};
}
