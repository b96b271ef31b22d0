// The base grid's cell painter: hidden last row, merged areas painted once
// per pass as one rectangle, clipping under the fixed cells, backgrounds
// (plain, gradient, mirror, hover row, active row, styled selection), grid
// lines, then the content through DrawGridCell.
#include "grid/foundation/BaseGrid.h"

#include "grid/foundation/GridColors.h"

namespace {

// The colours of a selection style, in the roles DrawStyledSelection gives them.
struct TSelectionColors {
    TColor FillFrom, FillTo, LowerFrom, LowerTo, Border, InnerUpper, InnerLower, InnerCorner;
};

constexpr TSelectionColors VistaFocused{0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDDE99, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB};
constexpr TSelectionColors Win7Focused{0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE};
constexpr TSelectionColors Office2007Focused{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC,
                                             0x8DD7D3, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF};
constexpr TSelectionColors Unfocused{0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xD9D9D9, 0xFBFAFA, 0xF0F0F0, 0xEFEFEF};

const TSelectionColors& SelectionColors(TGridSelectionStyle Style, bool Focused) {
    if (!Focused) return Unfocused;
    switch (Style) {
        case ssWin7: return Win7Focused;
        case ssOffice2007: return Office2007Focused;
        default: return VistaFocused;
    }
}

}  // namespace

void TBaseGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    FPaintingCell = true;
    PaintCellCore(Canvas(), ACol, ARow, ARect, AState, true);
    FPaintingCell = false;
}

void TBaseGrid::PaintCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    PaintCellCore(ACanvas, ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCellExt(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    PaintCellCore(ACanvas, ACol, ARow, ARect, AState, false);
}

void TBaseGrid::DrawGridCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState) {
    const TBrushStyle style = ACanvas.Brush().Style();
    ACanvas.Brush().SetStyle(bsClear);
    ACanvas.DrawText(GetCellEx(ACol, ARow), ARect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ACanvas.Brush().SetStyle(style);
}

void TBaseGrid::PaintCellCore(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState,
                              bool AMerge) {
    TRect R = ARect;

    if (FHideLastRow && ARow == RowCount() - 1) {
        ACanvas.Brush().SetColor(Color());
        ACanvas.Pen().SetColor(Color());
        ACanvas.FillRect(R);
        return;
    }

    int baseCol = ACol, baseRow = ARow;
    if (!ResolveBaseCell(ACol, ARow, baseCol, baseRow)) {
        // The area is painted whole by the first of its cells visited in a pass.
        TCellProperties* bp = PropsOf(baseCol, baseRow);
        if (bp && bp->FPaintID != FPaintID) {
            bp->FPaintID = FPaintID;
            PaintCell(ACanvas, baseCol, baseRow, R, AState);
        }
        return;
    }

    if (AMerge && IsFixed(ACol, ARow)) {
        AState.Include(gdFixed);
        AState.Exclude(gdSelected);
    }
    if (AMerge) {
        // A visible plain cell of the paint pass starts where the framework
        // placed it; its rectangle needs no new layout of the grid.
        if (FPaintingCell && !PropsOf(ACol, ARow))
            R = Bounds(ARect.Left, ARect.Top, ColWidths(ACol), RowHeights(ARow));
        else
            R = CellLayoutRect(ACol, ARow);
    }

    // An area scrolled partly under the fixed cells must not paint over them.
    const int x0 = ACol >= FixedCols() ? FixedColsWidth() : 0;
    const int y0 = ARow >= FixedRows() ? FixedRowsHeight() : 0;
    const bool clip = (ACol >= FixedCols() && FixedCols() > 0 && R.Left < x0) ||
                      (ARow >= FixedRows() && FixedRows() > 0 && R.Top < y0);
    int saved = 0;
    if (clip) {
        saved = ACanvas.SaveDC();
        ACanvas.IntersectClipRect(x0, y0, Width(), Height());
    }

    ACanvas.Pen().SetWidth(1);
    ACanvas.SetFont(Font());
    // Neutral values first: a grid class that leaves an output alone gets a plain cell.
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection gd = GradientVertical;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    ACanvas.Brush().SetColor(Color());
    GetVisualProperties(ACol, ARow, AState, false, true, true, ACanvas.Brush(), colorTo, mirror, mirrorTo,
                        ACanvas.Font(), ha, va, ww, gd);
    ACanvas.Pen().SetColor(ACanvas.Brush().Color());

    const bool selected = AState.Contains(gdSelected), fixed = AState.Contains(gdFixed);
    if (ARow == FHoverRowIdx && FHoverRow && !(selected && !FHoverRowCells.Contains(hcSelected)) &&
        !(fixed && !FHoverRowCells.Contains(hcFixed))) {
        ACanvas.Brush().SetColor(FHoverRowColor);
        colorTo = FHoverRowColorTo;
        mirror = clNone;
        mirrorTo = clNone;
        gd = GradientVertical;
    }

    if ((FActiveRowShow && ARow == Row() && ACol >= FixedCols() && !(ACol == Col() && FShowSel)) ||
        (!AMerge && selected)) {
        ACanvas.Brush().SetColor(FActiveRowColor);
        colorTo = FActiveRowColorTo;
        mirror = FActiveRowMirrorColor;
        mirrorTo = FActiveRowMirrorColorTo;
        ACanvas.Pen().SetColor(ACanvas.Brush().Color());
    }

    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        TGridRect sel = Selection();
        if (sel.Right < sel.Left) std::swap(sel.Left, sel.Right);
        int side = 0;
        if (sel.Left != sel.Right) side = ACol == sel.Left ? 1 : ACol == sel.Right ? 2 : 3;
        TRect sr = R;
        if (!Options().Contains(goHorzLine)) sr.Bottom += 1;
        if (!Options().Contains(goVertLine)) sr.Right += 1;
        // The mirrored picture loses a pixel column and row at the far edges.
        if (UseRightToLeftAlignment()) {
            sr.Right += 1;
            sr.Bottom += 1;
        }
        const bool focused = Focused() || Options().Contains(goDrawFocusSelected);
        const TSelectionColors& sc = SelectionColors(FSelectionStyle, focused);
        DrawStyledSelection(ACanvas, sc.FillFrom, sc.FillTo, sc.LowerFrom, sc.LowerTo, sc.InnerUpper, sc.InnerLower,
                            sc.Border, sc.InnerCorner, Color(), sr, side);
    } else if (!(UsesFwStyles() && (fixed || selected))) {
        const TColor from = ACanvas.Brush().Color();
        if (mirrorTo != clNone)
            DrawMirrorGradient(ACanvas, R, from, colorTo, mirror, mirrorTo, true, clNone, false, true);
        else
            DrawGradient(ACanvas, from, colorTo, 64, R, gd == GradientHorizontal);
    }

    int o;
    if (fixed) {
        ACanvas.Pen().SetColor(FGridFixedLineColor);
        ACanvas.Pen().SetWidth(1);
        o = 1;
    } else {
        if (FGridLineWidth > 0) ACanvas.Pen().SetColor(FGridLineColor);
        ACanvas.Pen().SetWidth(FGridLineWidth);
        o = (FGridLineWidth + 1) / 2;
    }
    const TGridOptions opts = Options();
    if (!(ACol == 0 && HasNodes()) &&
        ((opts.Contains(goHorzLine) && !fixed) || (opts.Contains(goFixedHorzLine) && fixed))) {
        ACanvas.MoveTo(R.Left - o + 1, R.Bottom - o);
        ACanvas.LineTo(R.Right - o + 1, R.Bottom - o);
    }
    if ((opts.Contains(goVertLine) && !fixed) || (opts.Contains(goFixedVertLine) && fixed)) {
        // Mirrored, a line at x lands one pixel right of the cell's mirror: one more keeps it on the cell.
        const int x = R.Right - o + (UseRightToLeftAlignment() ? 1 : 0);
        ACanvas.MoveTo(x, R.Bottom - o);
        ACanvas.LineTo(x, R.Top - o);
    }

    TRect content = R;
    if (fixed) {
        content.Right -= 1;
        content.Bottom -= 2;
    } else {
        InflateRect(content, -FGridLineWidth, -FGridLineWidth);
    }
    if (AMerge) DrawGridCell(ACanvas, ACol, ARow, content, AState);

    if (clip) ACanvas.RestoreDC(saved);
    ACanvas.Brush().SetStyle(bsSolid);
    ACanvas.Pen().SetStyle(psSolid);
}
