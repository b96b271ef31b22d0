// The grid control's sizing of columns to their content.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"

#include <algorithm>

namespace {

// The widest of the text's lines, and the height of all of them.
TSize TextBlockSize(TCanvas& Canvas, const String& Text) {
    TSize size{0, 0};
    size_t start = 0;
    while (start <= Text.size()) {
        const size_t end = Text.find(u'\n', start);
        const String line = StripCR(Text.substr(start, end == String::npos ? String::npos : end - start));
        size.cx = std::max(size.cx, Canvas.TextWidth(line));
        size.cy += Canvas.TextHeight(line.empty() ? String(u"gh") : line);
        if (end == String::npos) break;
        start = end + 1;
    }
    return size;
}
}  // namespace

void TExStringGrid::SizeColToContents(int Index, bool GrowOnly) {
    if (Index < 0 || Index >= ColCount()) return;
    int rc = RealColIndex(Index);
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    TCanvas& canvas = measure.Canvas();
    int widest = 0, rotatedWidest = 0;
    // The rows ColumnSize.Rows names, the last fixed row's next one included for arFixed.
    int first = 0, last = RowCount() - 1;
    if (FColumnSize.Rows() == arNormal) {
        first = FixedRows();
        last = RowCount() - FFixedFooters;
    } else if (FColumnSize.Rows() == arFixed) {
        last = FixedRows();
    }
    last = std::min(last, RowCount() - 1);
    for (int r = first; r <= last; ++r) {
        if (IsXMergedCell(rc, r)) continue;
        canvas.Font().Assign(r < FixedRows() ? &FFixedFont : &Font());
        const TCellType t = GetCellType(rc, r);
        const TPoint graphic = GetCellGraphicSize(rc, r);
        int w = graphic.X;
        String text = GetCellEx(rc, r);
        if (int angle = 0; t == ctRotated && IsRotated(rc, r, angle)) {
            // A turned text needs the width of its turned extent, margins included.
            const TSize ext = canvas.TextExtent(text);
            rotatedWidest = std::max(rotatedWidest, RotatedTextSize(ext.cx, ext.cy, angle).X);
            continue;
        }
        w += TextBlockSize(canvas, text).cx;
        // A graphic over the whole width asks for its own width only.
        const TCellGraphic* g = GetCellGraphic(rc, r);
        if (g && g->CellHAlign == haFull) w = graphic.X - (2 * GridLineWidth() + 2 + FXYOffset.X);
        widest = std::max(widest, w);
    }
    int width = std::max(widest + TotalXOffset() + 2 * GridLineWidth() + 2, rotatedWidest);
    if (GrowOnly && ColWidths(Index) >= width) return;
    DoUpdateColumnSizeAuto(Index, width);
    SetColWidths(Index, std::max(width, FMinColWidth));
}

void TExStringGrid::AutoSizeCol(int Index, int Padding) {
    SizeColToContents(Index, false);
    if (Padding != 0 && Index >= 0 && Index < ColCount())
        SetColWidths(Index, std::max(ColWidths(Index) + Padding, FMinColWidth));
}

void TExStringGrid::AutoSizeColumns(bool DoFixedCols, int Padding) {
    int last = DoFixedCols ? ColCount() - 1 : ColCount() - 1 - FFixedRightCols;
    for (int c = DoFixedCols ? 0 : FixedCols(); c <= last; ++c) AutoSizeCol(c, Padding);
}

void TExStringGrid::AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY) {
    BeginUpdate();
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& canvas = measure.Canvas();
    const int firstCol = DoFixedCells ? 0 : FixedCols(), firstRow = DoFixedCells ? 0 : FixedRows();
    for (int c = firstCol; c < ColCount(); ++c) {
        const int rc = RealColIndex(c);
        int best = 0;
        for (int r = firstRow; r < RowCount(); ++r) {
            const bool fixed = r < FixedRows() || c < FixedCols();
            canvas.Font().Assign(fixed ? &FFixedFont : &Font());
            const TSize text = TextBlockSize(canvas, GetCellEx(rc, r));
            const TPoint graphic = GetCellGraphicSize(c, r);
            const int w = text.cx + graphic.X + PaddingX + FXYOffset.X;
            const int h = text.cy + graphic.Y + PaddingY + FXYOffset.Y;
            // Columns take their widest cell; rows only grow.
            if (!IsXMergedCell(rc, r) && w > best) {
                best = std::max(w, FMinColWidth);
                SetColWidths(c, best);
            }
            if (!IsYMergedCell(rc, r) && h > RowHeights(r)) SetRowHeights(r, std::max(h, FMinRowHeight));
        }
    }
    EndUpdate();
}

void TExStringGrid::SizeRowToContents(int Index, bool GrowOnly) {
    if (Index < 0 || Index >= RowCount()) return;
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& canvas = measure.Canvas();
    int highest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int rc = RealColIndex(c);
        if (IsYMergedCell(rc, Index)) continue;
        canvas.Font().Assign(Index < FixedRows() || c < FixedCols() ? &FFixedFont : &Font());
        canvas.Font().SetSize(canvas.Font().Size() + FZoomFactor);
        const String text = GetCellEx(rc, Index);
        int t = 0;
        if (!text.empty()) {
            TRect r = Rect(0, 0, std::max(1, ColWidths(c) - TotalXOffset()), 0);
            t = canvas.DrawText(text, r, DT_CALCRECT | DT_NOPREFIX | (WordWrap() ? DT_WORDBREAK : 0u));
        }
        const TCellType type = GetCellType(rc, Index);
        int g = CalcCellGraphicSize(rc, Index, 0).Y;
        if (const TCellGraphic* graphic = GetCellGraphic(rc, Index)) {
            // A graphic over the whole height keeps the default height when alone, else follows the text.
            if (graphic->CellVAlign == vaFull) g = t == 0 ? DefaultRowHeight() : 0;
            if ((type == ctDataCheckBox || type == ctVirtCheckBox) && g > 0) t = 0;
        }
        int h = t + g;
        if (type == ctCheckBox || type == ctDataCheckBox || type == ctVirtCheckBox || type == ctRadioButton)
            h = DefaultRowHeight();
        highest = std::max(highest, h);
    }
    const int height = highest + TotalYOffset() + 2 * GridLineWidth();
    const bool allVisible = VisibleRowCount() == RowCount();
    const bool typing = FEditMode && FSizeWhileTyping.Height();
    if (GrowOnly && RowHeights(Index) >= height) return;
    SetRowHeights(Index, std::max(height, FMinRowHeight));
    // A row grown past the bottom scrolls the edited cell back into view.
    if (allVisible && typing && VisibleRowCount() != RowCount()) {
        ShowInplaceEdit();
        if (InplaceEditor()) InplaceEditor()->SetSelStart(int(InplaceEditor()->Text().size()));
    }
}

void TExStringGrid::SizeRowToLines(int Index, int Lines, int Padding) {
    if (Index < 0 || Index >= RowCount()) return;
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& canvas = measure.Canvas();
    canvas.Font().Assign(Index < FixedRows() ? &FFixedFont : &Font());
    canvas.Font().SetSize(canvas.Font().Size() + FZoomFactor);
    TBrush brush;
    DoGetCellColor(FixedCols(), Index, {}, brush, canvas.Font());
    const int h = canvas.TextHeight(u"gh");
    SetRowHeights(Index, std::max(Padding + Lines * (h + h / 8), FMinRowHeight));
}

void TExStringGrid::AutoSizeRow(int Index, int Padding) {
    SizeRowToContents(Index, false);
    if (Padding != 0 && Index >= 0 && Index < RowCount())
        SetRowHeights(Index, std::max(RowHeights(Index) + Padding, FMinRowHeight));
}
