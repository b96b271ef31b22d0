// The grid control's sizing of columns to their content.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"

#include <algorithm>

namespace {
// The width of the check and radio glyphs drawn in a cell.
constexpr int GlyphWidth = 16;
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
        int w = 0;
        TCellType t = GetCellType(rc, r);
        if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRadio || t == ctRadioButton)
            w += GlyphWidth;
        String text = GetCellEx(rc, r);
        if (int angle = 0; t == ctRotated && IsRotated(rc, r, angle)) {
            // A turned text needs the width of its turned extent, margins included.
            const TSize ext = canvas.TextExtent(text);
            rotatedWidest = std::max(rotatedWidest, RotatedTextSize(ext.cx, ext.cy, angle).X);
            continue;
        }
        // The widest of the text's lines.
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(u'\n', start);
            String line = text.substr(start, end == String::npos ? String::npos : end - start);
            widest = std::max(widest, w + canvas.TextWidth(StripCR(line)));
            if (end == String::npos) break;
            start = end + 1;
        }
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
