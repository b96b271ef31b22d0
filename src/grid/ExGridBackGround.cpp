// The picture behind the cells: a bitmap tiled from the first covered cell
// or placed once, or a gradient spanning the whole control, and the same
// bitmap in the empty area beside and below the cells.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Settings: each repaints the grid.

void TBackGround::Changed() {
    if (FGrid) FGrid->InvalidateGrid();
}
void TBackGround::SetBitmap(const TBitmap& Value) {
    FBitmap.Assign(&Value);
    Changed();
}
void TBackGround::SetLeft(int Value) {
    FLeft = Value;
    Changed();
}
void TBackGround::SetTop(int Value) {
    FTop = Value;
    Changed();
}
void TBackGround::SetDisplay(TBackGroundDisplay Value) {
    FDisplay = Value;
    Changed();
}
void TBackGround::SetCells(TBackGroundCells Value) {
    FCells = Value;
    Changed();
}
void TBackGround::SetColor(TColor Value) {
    FColor = Value;
    Changed();
}
void TBackGround::SetColorTo(TColor Value) {
    FColorTo = Value;
    Changed();
}

void TExStringGrid::SetBackGround(const TBackGround& Value) {
    FBackGround.Assign(&Value);
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Bitmap placements

namespace {

// The part of the bitmap standing at Origin that falls inside R.
void CopyBitmapPart(TCanvas& C, TBitmap& B, TPoint Origin, const TRect& R) {
    TRect placed = Bounds(Origin.X, Origin.Y, B.Width(), B.Height()), part;
    if (!IntersectRect(part, placed, R)) return;
    C.CopyRect(part, B.Canvas(),
               Rect(part.Left - Origin.X, part.Top - Origin.Y, part.Right - Origin.X, part.Bottom - Origin.Y));
}

// Tiles over R with the tile grid shifted so that (OffX, OffY) of the
// bitmap lands on R's top-left corner.
void TileBitmap(TCanvas& C, TBitmap& B, const TRect& R, int OffX, int OffY) {
    const int w = B.Width(), h = B.Height();
    if (w <= 0 || h <= 0) return;
    for (int y = R.Top - OffY; y < R.Bottom; y += h)
        for (int x = R.Left - OffX; x < R.Right; x += w) CopyBitmapPart(C, B, {x, y}, R);
}

}  // namespace

void TExStringGrid::DrawBackGroundFixed(TCanvas& C, TRect R) {
    if (FBackGround.Bitmap().Empty()) return;
    CopyBitmapPart(C, FBackGround.Bitmap(), {FBackGround.Left(), FBackGround.Top()}, R);
}

void TExStringGrid::DrawBackGroundTiled(TCanvas& C, TRect R) {
    if (FBackGround.Bitmap().Empty()) return;
    TileBitmap(C, FBackGround.Bitmap(), Rect(R.Left - 1, R.Top - 1, R.Right, R.Bottom), 0, 0);
}

// ---------------------------------------------------------------------------
// Behind a cell

void TExStringGrid::DrawCellBackGround(TCanvas& C, int ACol, int RCol, int ARow, TRect R, TGridDrawState AState) {
    const TBackGround& bg = FBackGround;
    const bool hasBitmap = !const_cast<TBackGround&>(bg).Bitmap().Empty();
    const bool gradient = bg.Display() == bdGradientHorz || bg.Display() == bdGradientVert;
    if (!hasBitmap && !gradient) return;
    const bool fixed = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    if ((bg.Cells() == bcNormal && fixed) || (bg.Cells() == bcFixed && !fixed)) return;
    const bool ownColour = CellPropsAssigned(RCol, ARow) && GetCellProperties(RCol, ARow)->BrushColor() != clNone;
    const bool selected = AState.Contains(gdSelected);
    const int lw = GridLineWidth();

    if (hasBitmap && !ownColour && !(selected && FShowSel)) {
        TBitmap& b = FBackGround.Bitmap();
        const TRect r = Rect(R.Left - lw + 1, R.Top - lw + 1, R.Right, R.Bottom);
        if (bg.Display() == bdTile) {
            // The tiles run on from the first covered cell, as if the cells lay side by side.
            const int c0 = bg.Cells() == bcNormal ? FixedCols() : 0, r0 = bg.Cells() == bcNormal ? FixedRows() : 0;
            long long dx = 0, dy = 0;
            for (int c = c0; c < ACol; ++c) dx += ColWidths(c);
            for (int y = r0; y < ARow; ++y) dy += RowHeights(y);
            TileBitmap(C, b, r, int(dx % b.Width()), int(dy % b.Height()));
        } else {
            CopyBitmapPart(C, b, {bg.Left(), bg.Top()}, r);
        }
    }

    if (gradient) {
        TCellType kind = GetCellType(RCol, ARow);
        const bool checkKind = kind == ctCheckBox || kind == ctDataCheckBox || kind == ctRadio || kind == ctButton ||
                               kind == ctRadioButton;
        const bool focusedCell = AState.Contains(gdFocused);
        const bool skipSel = FShowSel && ((selected && !focusedCell) ||
                                          (focusedCell && Options().Contains(goDrawFocusSelected)));
        if ((ownColour && !checkKind) || skipSel) return;
        const TRect r = Rect(R.Left - 1, R.Top - lw, R.Right, R.Bottom + lw - 1);
        const bool horz = bg.Display() == bdGradientHorz;
        const int span = horz ? Width() : Height();
        const TColor from = InterpolateColor(bg.Color(), bg.ColorTo(), 0, span, horz ? r.Left : r.Top);
        const TColor to = InterpolateColor(bg.Color(), bg.ColorTo(), 0, span, horz ? r.Right : r.Bottom);
        DrawGradient(C, from, to, 128, r, horz);
    }
}

void TExStringGrid::DrawEmptyAreaBackGround(TCanvas& C) {
    if (FBackGround.Bitmap().Empty()) return;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    const int right = d.Horz.GridBoundary, bottom = d.Vert.GridBoundary;
    auto paint = [&](TRect r) {
        if (r.Right <= r.Left || r.Bottom <= r.Top) return;
        if (FBackGround.Display() == bdTile) DrawBackGroundTiled(C, r);
        else DrawBackGroundFixed(C, r);
    };
    paint(Rect(right, 0, ClientWidth(), ClientHeight()));
    paint(Rect(0, bottom, right, ClientHeight()));
}
