// The grid control's sizing of columns to their content.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridText.h"

#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

// Room kept beside a text: a drop-down button, a filter button, the sort indicator.
constexpr int DropDownButtonRoom = 16;
constexpr int FilterButtonRoom = 12;
constexpr int SortIndicatorRoom = 10;

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

int TExStringGrid::ClampColWidth(int Value) const { return ClampToSizeLimits(Value, FMinColWidth, FMaxColWidth); }

int TExStringGrid::ClampRowHeight(int Value) const { return ClampToSizeLimits(Value, FMinRowHeight, FMaxRowHeight); }

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
        // Room for what is drawn beside the text: a drop-down button shown in
        // every combo cell, the filter row's button and the sort indicator.
        if (FControlLook.DropDownAlwaysVisible && DoHasComboBox(Index, r)) w += DropDownButtonRoom;
        if (FTools->FilterDropDownAuto && r == FFilterDropDownRow && DoGetColumnFilter(rc)) w += FilterButtonRoom;
        if (ShowsSortIndicator(Index, r) && rc == FSortSettings.Column()) w += SortIndicatorRoom;
        // A graphic over the whole width asks for its own width only.
        const TCellGraphic* g = GetCellGraphic(rc, r);
        if (g && g->CellHAlign == haFull) w = graphic.X - (2 * GridLineWidth() + 2 + FXYOffset.X);
        widest = std::max(widest, w);
    }
    int width = std::max(widest + TotalXOffset() + 2 * GridLineWidth() + 2, rotatedWidest);
    if (GrowOnly && ColWidths(Index) >= width) return;
    DoUpdateColumnSizeAuto(Index, width);
    SetColWidths(Index, ClampColWidth(width));
}

void TExStringGrid::AutoSizeCol(int Index, int Padding) {
    SizeColToContents(Index, FSizeGrowOnly);
    if (Padding != 0 && Index >= 0 && Index < ColCount()) SetColWidths(Index, ClampColWidth(ColWidths(Index) + Padding));
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
        int best = FSizeGrowOnly ? ColWidths(c) : 0;
        for (int r = firstRow; r < RowCount(); ++r) {
            const bool fixed = r < FixedRows() || c < FixedCols();
            canvas.Font().Assign(fixed ? &FFixedFont : &Font());
            const TSize text = TextBlockSize(canvas, GetCellEx(rc, r));
            const TPoint graphic = GetCellGraphicSize(c, r);
            const int w = text.cx + graphic.X + PaddingX + FXYOffset.X;
            const int h = text.cy + graphic.Y + PaddingY + FXYOffset.Y;
            // Columns take their widest cell; rows only grow.
            if (!IsXMergedCell(rc, r) && w > best) {
                const int v = ClampColWidth(w);
                if (v > best) {
                    SetColWidths(c, v);
                    best = v;
                }
            }
            if (!IsYMergedCell(rc, r) && h > RowHeights(r)) {
                const int v = ClampRowHeight(h);
                if (v > RowHeights(r)) SetRowHeights(r, v);
            }
        }
    }
    EndUpdate();
}

void TExStringGrid::SizeRowToContents(int Index, bool GrowOnly, int Padding) {
    if (Index < 0 || Index >= RowCount()) return;
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& canvas = measure.Canvas();
    int highest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int rc = RealColIndex(c);
        if (IsYMergedCell(rc, Index) || IsIgnoredColumn(rc)) continue;
        canvas.Font().Assign(Index < FixedRows() || c < FixedCols() ? &FFixedFont : &Font());
        canvas.Font().SetSize(canvas.Font().Size() + FZoomFactor);
        const String text = GetCellEx(rc, Index);
        int t = 0;
        if (!text.empty()) {
            TRect r = Rect(0, 0, std::max(1, ColWidths(c) - TotalXOffset()), 0);
            t = canvas.DrawText(text, r, DT_CALCRECT | DT_NOPREFIX | (WordWrap() ? DT_WORDBREAK : 0u));
        }
        const TCellType type = GetCellType(rc, Index);
        int g = CalcCellGraphicSize(rc, Index, Padding).Y;
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
    const int height = highest + TotalYOffset() + 2 * GridLineWidth() + (FXYOffsetTopLeftOnly ? 2 : 0);
    const bool allVisible = VisibleRowCount() == RowCount();
    const bool typing = FEditMode && FSizeWhileTyping.Height();
    if (GrowOnly && RowHeights(Index) >= height) return;
    SetRowHeights(Index, ClampRowHeight(height));
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
    SetRowHeights(Index, ClampRowHeight(Padding + Lines * (h + h / 8)));
}

void TExStringGrid::AutoSizeRow(int Index, int Padding) {
    SizeRowToContents(Index, FSizeGrowOnly, Padding);
    if (Padding != 0 && Index >= 0 && Index < RowCount())
        SetRowHeights(Index, ClampRowHeight(RowHeights(Index) + Padding));
}

void TExStringGrid::AutoSizeRows(bool DoFixedRows, int Padding) {
    if (RowCount() == 0) return;
    const int first = DoFixedRows ? 0 : FixedRows();
    ExportNotification(0, first);
    for (int r = first; r < RowCount(); ++r) {
        ExportNotification(5, r);
        if (WordWrap()) {
            AutoSizeRow(r, 0);
            if (Padding != 0) SetRowHeights(r, ClampRowHeight(RowHeights(r) + Padding));
        } else {
            SizeRowToLines(r, MaxRowLines(r), Padding);
        }
    }
    ApplyScrollBarAlways(false);
    ExportNotification(2, -1);
}

void TExStringGrid::AutoFitColumns(bool DoFixedCells) {
    const bool vertBar = FScrollBarAlways == saVert ||
                         (ScrollBars() != ssNone && VisibleRowCount() + FixedRows() < RowCount());
    const int sb = vertBar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int bw = BorderStyle() != bsSingle ? 0 : Ctl3D() ? 4 : 2;
    const int first = DoFixedCells ? 0 : FixedCols();
    const int last = DoFixedCells ? ColCount() - 1 : ColCount() - 1 - FFixedRightCols;
    int room = Width();
    if (!DoFixedCells)
        for (int c = 0; c < ColCount(); ++c)
            if (c < first || c > last) room -= ColWidths(c);
    int lw = Options().Contains(goVertLine) ? GridLineWidth() * (ColCount() - FixedCols() - FFixedRightCols) : 0;
    if (Options().Contains(goFixedVertLine) && DoFixedCells) lw += FixedCols() + FFixedRightCols;
    auto rangeSum = [&] {
        int sum = 0;
        for (int c = first; c <= last; ++c) sum += ColWidths(c);
        return sum;
    };
    if (last < first) return;
    if (ColCount() < 2) {
        SetColWidths(0, Width() - sb - 5);
    } else {
        const int sum = rangeSum();
        if (sum == 0 || sum == room - sb - bw) return;
        const double f = double(room - sb - bw - lw) / sum;
        long long total = 0;
        for (int c = first; c <= last; ++c) total += std::llround(std::nearbyint(ColWidths(c) * f));
        for (int c = first; c <= last; ++c)
            SetColWidths(c, int(std::nearbyint(double(ColWidths(c)) * double(total) / sum)));
    }
    // What rounding left over is shared out, the rest going to the widest column.
    const int n = last - first + 1;
    int rest = room - (rangeSum() + sb + bw);
    if (n > 1 && rest > n) {
        const int d = rest / n;
        for (int c = first; c <= last; ++c) SetColWidths(c, ColWidths(c) + d);
        rest -= n * d;
    }
    int widest = first;
    for (int c = first; c <= last; ++c)
        if (ColWidths(c) > ColWidths(widest)) widest = c;
    SetColWidths(widest, ColWidths(widest) + rest);
}

void TExStringGrid::SizeToCols() {
    int sum = 0;
    for (int c = 0; c < ColCount(); ++c) sum += ColWidths(c);
    SetClientWidth(sum);
}

void TExStringGrid::SizeToRows() {
    int sum = 0;
    for (int r = 0; r < RowCount(); ++r) sum += RowHeights(r);
    SetClientHeight(sum);
}

void TExStringGrid::SizeToCells() {
    const TScrollStyle bars = ScrollBars();
    SetScrollBars(ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(bars);
}
