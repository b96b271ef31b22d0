// What the owner may change in a cell's look: its alignment and the format
// its number is shown in.
#include "grid/ExGrid.h"

#include "grid/foundation/GridText.h"

#include "framework/SysUtils.h"

TAlignment TExStringGrid::CellAlignment(int ACol, int ARow, TVAlignment* VA) {
    TAlignment ha = DoGetAlignment(ACol, ARow);
    if (FAutoNumAlign) {
        // A formula is aligned by its value; a cell's own alignment wins otherwise.
        const String raw = GetGridCell(ACol, ARow);
        const bool formula = raw.starts_with(u"=");
        const bool wideFormula = raw.size() > 3 && raw.starts_with(u"|\\") && raw[3] == u'=';
        const String text = formula || wideFormula ? GetCalcCell(ACol, ARow) : raw;
        const int kind = ClassifyNumberText(Trim(text));
        const bool number = kind == 0 || kind == 1 || kind == 5;
        if (number && (formula || !CellPropsAssigned(ACol, ARow))) ha = taRightJustify;
    }
    // The row check boxes of column 0 stand centred.
    if (ACol == 0 && FMouseActions.HotmailRowSelect()) ha = taCenter;
    TVAlignment va = FVAlignment;
    if (OnGetAlignment) OnGetAlignment(this, ARow, ACol, ha, va);
    if (VA) *VA = va;
    return ha;
}

String TExStringGrid::GetFormattedCell(int ACol, int ARow) {
    String text = GetCellEx(ACol, ARow);
    if (!OnGetFloatFormat) return text;
    const int kind = ClassifyNumberText(text);
    if (kind != 0 && kind != 1 && kind != 5) return text;
    bool isFloat = true;
    String format = GetFloatFormat(ACol, ARow);
    OnGetFloatFormat(this, ACol, ARow, isFloat, format);
    if (!isFloat || format.empty()) return text;
    // A format that does not fit the value shows the plain text.
    try {
        if (format.find(u'd') != String::npos) return Format(format, {Ints(ACol, ARow)});
        return Format(format, {Floats(ACol, ARow)});
    } catch (const Exception&) {
        return text;
    }
}

void TExStringGrid::SetAutoNumAlign(bool Value) {
    if (FAutoNumAlign == Value) return;
    FAutoNumAlign = Value;
    InvalidateGrid();
}

void TExStringGrid::SetShowSelection(bool Value) {
    if (FShowSelection == Value) return;
    FShowSelection = Value;
    FShowSel = Value && !FSelHidden;
    InvalidateGrid();
}

void TExStringGrid::SetSpreadSheet(bool Value) {
    FSpreadSheet = Value;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    FNavigation.SetAllowSmartClipboard(true);
    SetOptions(Options() + TGridOptions{goRangeSelect, goEditing});
    FMouseActions.SetRangeSelectAndEdit(true);
}
