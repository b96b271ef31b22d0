// The picture behind the cells: a bitmap tiled from the first covered cell
// or placed once, or a gradient spanning the whole control (the data tools
// paint the empty area beside and below the cells).
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"

#include <algorithm>

void TExStringGrid::SetBackGround(const TBackGround& Value) {
    BackGround().Assign(&Value);
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
    if (BackGround().Bitmap().Empty()) return;
    CopyBitmapPart(C, BackGround().Bitmap(), {BackGround().Left(), BackGround().Top()}, R);
}

void TExStringGrid::DrawBackGroundTiled(TCanvas& C, TRect R) {
    if (BackGround().Bitmap().Empty()) return;
    TileBitmap(C, BackGround().Bitmap(), Rect(R.Left - 1, R.Top - 1, R.Right, R.Bottom), 0, 0);
}

// ---------------------------------------------------------------------------
// Behind a cell

void TExStringGrid::DrawCellBackGround(TCanvas& C, int ACol, int RCol, int ARow, TRect R, TGridDrawState AState) {
    const TBackGround& bg = BackGround();
    const bool hasBitmap = !const_cast<TBackGround&>(bg).Bitmap().Empty();
    const bool gradient = bg.Display() == bdGradientHorz || bg.Display() == bdGradientVert;
    if (!hasBitmap && !gradient) return;
    const bool fixed = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    if ((bg.Cells() == bcNormal && fixed) || (bg.Cells() == bcFixed && !fixed)) return;
    const bool ownColour = CellPropsAssigned(RCol, ARow) && GetCellProperties(RCol, ARow)->BrushColor() != clNone;
    const bool selected = AState.Contains(gdSelected);
    const int lw = GridLineWidth();

    if (hasBitmap && !ownColour && !(selected && FShowSel)) {
        TBitmap& b = BackGround().Bitmap();
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
