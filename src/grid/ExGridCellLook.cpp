// What the owner may change in a cell's look: its alignment and the format
// its number is shown in.
#include "grid/ExGrid.h"

#include "grid/foundation/GridText.h"

#include "framework/SysUtils.h"

TAlignment TExStringGrid::CellAlignment(int ACol, int ARow, TVAlignment* VA) {
    TAlignment ha = DoGetAlignment(ACol, ARow);
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
