// The grid control's further cell views (wide, raw, unsorted and
// design-time addressing, in-text control values, line counts, the print
// layout) and the per-cell looks beyond colours and alignment.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/MarkupText.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Views

String TExStringGrid::WideCells(int ACol, int ARow) { return DecodeWideCellText(GetCellEx(ACol, ARow)); }

void TExStringGrid::SetWideCells(int ACol, int ARow, const String& Value) { SetCellEx(ACol, ARow, Value); }

String TExStringGrid::AllWideCells(int ACol, int ARow) { return DecodeWideCellText(AllCells(ACol, ARow)); }

void TExStringGrid::SetAllWideCells(int ACol, int ARow, const String& Value) { SetAllCells(ACol, ARow, Value); }

String TExStringGrid::AllGridCells(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return {};
    if (const TStringList* hidden = GetHiddenRowCells(ARow))
        return ACol < hidden->Count() ? (*hidden)[ACol] : String();
    return GetGridCell(ACol, DisplRowIndex(ARow));
}

void TExStringGrid::SetAllGridCells(int ACol, int ARow, const String& Value) {
    if (ACol < 0 || ARow < 0) return;
    for (TGridItem& item : FGridItems)
        if (item.Idx == ARow) {
            item.Grow(ACol + 1);
            item.Items().SetStrings(ACol, Value);
            return;
        }
    SetGridCell(ACol, DisplRowIndex(ARow), Value);
}

namespace {
// Where the row that stood at ARow before sorting is now: its first place
// in the cross-reference (sorted place to unsorted row), or past the end.
int UnsortedPlace(const std::vector<int>& XRef, int ARow) {
    if (ARow > int(XRef.size())) return ARow;
    const auto it = std::find(XRef.begin(), XRef.end(), ARow);
    return int(it - XRef.begin());
}
}  // namespace

String TExStringGrid::UnSortedCells(int ACol, int ARow) {
    return GetCellEx(ACol, UnsortedPlace(SortRowXRef(), ARow));
}

void TExStringGrid::SetUnSortedCells(int ACol, int ARow, const String& Value) {
    SetCellEx(ACol, UnsortedPlace(SortRowXRef(), ARow), Value);
}

String TExStringGrid::OriginalCells(int ACol, int ARow) { return GetCellEx(ColumnPosition(ACol), ARow); }

void TExStringGrid::SetOriginalCells(int ACol, int ARow, const String& Value) {
    SetCellEx(ColumnPosition(ACol), ARow, Value);
}

String TExStringGrid::ControlValues(int ACol, int ARow, const String& ID) {
    String value;
    return GetControlValue(GetCellEx(ACol, ARow), ID, value) ? value : String();
}

void TExStringGrid::SetControlValues(int ACol, int ARow, const String& ID, const String& Value) {
    String text = GetCellEx(ACol, ARow);
    if (SetControlValue(text, ID, Value)) SetCellEx(ACol, ARow, text);
}

int TExStringGrid::LinesInCell(int ACol, int ARow) {
    const String text = GetCellEx(ACol, ARow);
    return 1 + int(std::count(text.begin(), text.end(), u'\r'));
}

namespace {
int PrintLayout(const std::vector<int>& Values, int ACol) {
    // The layout has room for 512 columns.
    if (ACol < 0 || ACol > 511) throw EExGridError(u"Columns is not in valid range");
    return ACol < int(Values.size()) ? Values[size_t(ACol)] : 0;
}
}  // namespace

int TExStringGrid::PrintColWidth(int ACol) { return PrintLayout(FTools->MaxWidths(), ACol); }

int TExStringGrid::PrintColOffset(int ACol) { return PrintLayout(FTools->Indents(), ACol); }

// ---------------------------------------------------------------------------
// Looks

TColor TExStringGrid::ColorsTo(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->BrushColorTo() : clNone;
}

void TExStringGrid::SetColorsTo(int ACol, int ARow, TColor Value) {
    GetCellProperties(ACol, ARow)->SetBrushColorTo(Value);
    RepaintDisplCell(ACol, ARow);
}

TCellGradientDirection TExStringGrid::Gradients(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->GradientDirection() : GradientVertical;
}

void TExStringGrid::SetGradients(int ACol, int ARow, TCellGradientDirection Value) {
    GetCellProperties(ACol, ARow)->SetGradientDirection(Value);
    RepaintDisplCell(ACol, ARow);
}

TFont& TExStringGrid::Fonts(int ACol, int ARow) {
    if (!CellPropsAssigned(ACol, ARow)) return Font();
    const TCellProperties& p = *GetCellProperties(ACol, ARow);
    // What the cell leaves unset is the grid's.
    FCellFont.Assign(&Font());
    if (!p.FontName().empty()) FCellFont.SetName(p.FontName());
    if (p.FontSize() != 0) FCellFont.SetSize(p.FontSize());
    if (!p.FontStyle().Empty()) FCellFont.SetStyle(p.FontStyle());
    if (p.FontColor() != clNone) FCellFont.SetColor(p.FontColor());
    return FCellFont;
}

void TExStringGrid::SetFonts(int ACol, int ARow, const TFont& AFont) {
    TCellProperties& p = *GetCellProperties(ACol, ARow);
    p.SetFontName(AFont.Name());
    p.SetFontSize(AFont.Size());
    p.SetFontStyle(AFont.Style());
    p.SetFontColor(AFont.Color());
    if (FUpdateCount == 0) RepaintDisplCell(ACol, ARow);
}

TFontStyles TExStringGrid::FontStyles(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->FontStyle() : TFontStyles{};
}

void TExStringGrid::SetFontStyles(int ACol, int ARow, TFontStyles Value) {
    GetCellProperties(ACol, ARow)->SetFontStyle(Value);
    RepaintDisplCell(ACol, ARow);
}

int TExStringGrid::FontSizes(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->FontSize() : 0;
}

void TExStringGrid::SetFontSizes(int ACol, int ARow, int Value) {
    GetCellProperties(ACol, ARow)->SetFontSize(Value);
    RepaintDisplCell(ACol, ARow);
}

String TExStringGrid::FontNames(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->FontName() : String();
}

void TExStringGrid::SetFontNames(int ACol, int ARow, const String& Value) {
    GetCellProperties(ACol, ARow)->SetFontName(Value);
    RepaintDisplCell(ACol, ARow);
}

bool TExStringGrid::WordWraps(int ACol, int ARow) { return GetCellProperties(ACol, ARow)->WordWrap(); }

void TExStringGrid::SetWordWraps(int ACol, int ARow, bool Value) {
    GetCellProperties(ACol, ARow)->SetWordWrap(Value);
    RepaintDisplCell(ACol, ARow);
}

// ---------------------------------------------------------------------------
// Column order

int TExStringGrid::ColumnPosition(int ACol) {
    if (FColumnOrder.empty()) return ACol;
    const auto it = std::find(FColumnOrder.begin(), FColumnOrder.end(), ACol);
    int pos = it == FColumnOrder.end() ? ACol : int(it - FColumnOrder.begin());
    if (GroupColumn() != -1 && ACol >= GroupColumn()) --pos;
    return pos;
}

int TExStringGrid::ColumnAtPosition(int APosition) {
    if (FColumnOrder.empty()) SetColumnOrder();
    if (APosition < 0 || APosition >= int(FColumnOrder.size())) return APosition;
    int col = FColumnOrder[size_t(APosition)];
    if (GroupColumn() != -1 && col >= GroupColumn()) ++col;
    return col;
}

void TExStringGrid::SetColumnOrder() {
    FColumnOrder.resize(size_t(ColCount()));
    for (int i = 0; i < ColCount(); ++i) FColumnOrder[size_t(i)] = i;
}
