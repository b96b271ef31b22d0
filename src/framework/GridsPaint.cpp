// The paint pass of the grid: every visible cell through DrawCell, the grid
// lines, the focus rectangle and the area beyond the cells.
#include "framework/Grids.h"

#include <algorithm>

TGridDrawState TCustomGrid::CellDrawState(int ACol, int ARow, const TGridRect& Sel, bool HasFocus) const {
    if (ACol < FFixedCols || ARow < FFixedRows) return TGridDrawState{gdFixed};
    TGridDrawState st;
    const bool current = ACol == FCurrent.X && ARow == FCurrent.Y;
    if (HasFocus && current) st.Include(gdFocused);
    // The focused current cell keeps its normal look unless the options
    // ask to draw it selected.
    if (GridRectContains(Sel, ACol, ARow) &&
        !(st.Contains(gdFocused) && !FOptions.Contains(goDrawFocusSelected) && !FOptions.Contains(goRowSelect)))
        st.Include(gdSelected);
    return st;
}

void TCustomGrid::Paint() {
    TCanvas& canvas = Canvas();
    // Right to left the whole picture is mirrored; DrawCell draws as ever.
    struct Layout {
        TCanvas& c;
        Cardinal kept;
        ~Layout() { c.SetLayout(kept); }
    } layout{canvas, canvas.SetLayout(UseRightToLeftAlignment() ? LAYOUT_RTL : 0)};
    TGridDrawInfo d;
    CalcDrawInfo(d);
    const int clientW = ClientWidth(), clientH = ClientHeight();
    const TGridRect sel = Selection();
    const bool hasFocus = Focused() || (FInplaceEdit && FInplaceEdit->Focused());

    // Start and extent of each visible cell of one axis, fixed cells first.
    struct Span {
        int index, start, extent;
    };
    auto spans = [](const TGridAxisDrawInfo& a) {
        std::vector<Span> v;
        int pos = 0;
        for (int i = 0; i < a.FixedCellCount && pos < a.GridExtent; ++i) {
            v.push_back({i, pos, a.GetExtent(i)});
            pos += a.GetExtent(i) + a.EffectiveLineWidth;
        }
        pos = a.FixedBoundary;
        for (int i = a.FirstGridCell; i < a.GridCellCount && pos < a.GridExtent; ++i) {
            v.push_back({i, pos, a.GetExtent(i)});
            pos += a.GetExtent(i) + a.EffectiveLineWidth;
        }
        return v;
    };
    const std::vector<Span> cols = spans(d.Horz), rows = spans(d.Vert);

    // Grid lines: black between fixed cells, silver (grey on a silver grid)
    // between the others.
    const TColor lineColor = ColorToRGB(Color()) == clSilver ? clGray : clSilver;
    auto fillRect = [&](int l, int t, int r, int b, TColor c) {
        if (r <= l || b <= t) return;
        canvas.Brush().SetColor(c);
        canvas.Brush().SetStyle(bsSolid);
        canvas.FillRect(Rect(l, t, r, b));
    };
    const int vlw = d.Horz.EffectiveLineWidth, hlw = d.Vert.EffectiveLineWidth;
    const int fixedBottom = std::min(d.Vert.FixedBoundary, clientH), fixedRight = std::min(d.Horz.FixedBoundary, clientW);
    if (vlw > 0) {
        for (const Span& c : cols) {
            const int x = c.start + c.extent;
            const bool fixedCol = c.index < FFixedCols;
            // Along the fixed rows the line is a fixed one.
            if (FOptions.Contains(goFixedVertLine)) fillRect(x, 0, x + vlw, fixedBottom, clBlack);
            if (fixedCol ? FOptions.Contains(goFixedVertLine) : FOptions.Contains(goVertLine))
                fillRect(x, d.Vert.FixedBoundary, x + vlw, d.Vert.GridBoundary, fixedCol ? clBlack : lineColor);
        }
    }
    if (hlw > 0) {
        for (const Span& r : rows) {
            const int y = r.start + r.extent;
            const bool fixedRow = r.index < FFixedRows;
            if (FOptions.Contains(goFixedHorzLine)) fillRect(0, y, fixedRight, y + hlw, clBlack);
            if (fixedRow ? FOptions.Contains(goFixedHorzLine) : FOptions.Contains(goHorzLine))
                fillRect(d.Horz.FixedBoundary, y, d.Horz.GridBoundary, y + hlw, fixedRow ? clBlack : lineColor);
        }
    }

    TRect focusRect{};
    for (const Span& r : rows) {
        for (const Span& c : cols) {
            TRect where = Rect(c.start, r.start, std::min(c.start + c.extent, clientW), std::min(r.start + r.extent, clientH));
            if (IsRectEmpty(where)) continue;
            const TGridDrawState st = CellDrawState(c.index, r.index, sel, hasFocus);
            canvas.SetFont(Font());
            canvas.Brush().SetStyle(bsSolid);
            if (FDefaultDrawing && st.Contains(gdSelected) &&
                (!st.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect))) {
                canvas.Brush().SetColor(clHighlight);
                canvas.Font().SetColor(clHighlightText);
            } else {
                canvas.Brush().SetColor(st.Contains(gdFixed) ? FFixedColor : Color());
            }
            if (FDefaultDrawing) canvas.FillRect(where);
            DrawCell(c.index, r.index, where, st);
            if (FDefaultDrawing && st.Contains(gdFixed) && FCtl3D) {
                TRect e = where;
                DrawEdge(canvas, e, BDR_RAISEDINNER, BF_TOPLEFT);
                e = where;
                DrawEdge(canvas, e, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
            }
            if (st.Contains(gdFocused)) focusRect = where;
        }
    }
    if (FDefaultDrawing && !IsRectEmpty(focusRect) && !ComponentState().Contains(csDesigning) &&
        !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)) && !FOptions.Contains(goRowSelect)) {
        canvas.Brush().SetColor(Color());
        canvas.DrawFocusRect(focusRect);
    }

    // Beyond the last column and below the last row: the grid's colour.
    fillRect(d.Horz.GridBoundary, 0, clientW, clientH, Color());
    fillRect(0, d.Vert.GridBoundary, d.Horz.GridBoundary, clientH, Color());


    // The border being dragged, inverted so that it shows on any colour.
    if (FGridState == gsColSizing || FGridState == gsRowSizing) {
        canvas.Pen().SetMode(pmNot);
        canvas.Pen().SetWidth(1);
        if (FGridState == gsColSizing) {
            canvas.MoveTo(FSizingPos, 0);
            canvas.LineTo(FSizingPos, clientH);
        } else {
            canvas.MoveTo(0, FSizingPos);
            canvas.LineTo(clientW, FSizingPos);
        }
        canvas.Pen().SetMode(pmCopy);
    }
    // Where a dragged column (row) would land: a double inverted line at
    // the near edge of the target.
    if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FMovePos >= 0 && FMovePos != FMoveIndex) {
        const bool cols = FGridState == gsColMoving;
        const TRect r = cols ? LayoutCellRect(FMovePos, 0) : LayoutCellRect(0, FMovePos);
        if (!IsRectEmpty(r)) {
            const int at = cols ? (FMovePos > FMoveIndex ? r.Right : r.Left) : (FMovePos > FMoveIndex ? r.Bottom : r.Top);
            canvas.Pen().SetMode(pmNot);
            canvas.Pen().SetWidth(1);
            for (int k = -1; k <= 0; ++k) {
                if (cols) {
                    canvas.MoveTo(at + k, 0);
                    canvas.LineTo(at + k, d.Vert.GridBoundary);
                } else {
                    canvas.MoveTo(0, at + k);
                    canvas.LineTo(d.Horz.GridBoundary, at + k);
                }
            }
            canvas.Pen().SetMode(pmCopy);
        }
    }
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (DefaultDrawing()) {
        TCanvas& canvas = Canvas();
        canvas.Brush().SetStyle(bsClear);
        canvas.TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
        canvas.Brush().SetStyle(bsSolid);
    }
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
