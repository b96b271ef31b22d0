// The grid control's small per-cell questions whose answers a descendant or
// a handler may give: always-visible buttons, the cursor over a cell, and
// the choices of the colour and image drop-downs.
#include "grid/ExGrid.h"

bool TExStringGrid::DoHasComboBox(int ACol, int ARow) {
    bool has = false;
    if (OnHasComboBox) {
        OnHasComboBox(this, ACol, ARow, has);
        return has;
    }
    if (!FControlLook.DropDownAlwaysVisible) return false;
    TEditorType kind = FDefaultEditor;
    GetCellEditor(ACol, ARow, kind);
    return kind == edComboEdit || kind == edComboList;
}

bool TExStringGrid::DoHasSpinEdit(int ACol, int ARow) {
    if (DisplColIndex(ACol) < FixedCols() || ARow < FixedRows()) return false;
    bool has = false;
    if (OnHasSpinEdit) {
        OnHasSpinEdit(this, ACol, ARow, has);
        return has;
    }
    if (!FControlLook.SpinButtonsAlwaysVisible) return false;
    TEditorType kind = FDefaultEditor;
    DoGetEditorType(ACol, ARow, kind);
    return kind == edSpinEdit || kind == edFloatSpinEdit || kind == edTimeSpinEdit || kind == edDateSpinEdit;
}

void TExStringGrid::DoGetCellCursor(int ACol, int ARow, int X, int Y) {
    if (!OnGetCellCursor) return;
    TCursor cursor = Cursor();
    OnGetCellCursor(this, ACol, ARow, X, Y, cursor);
    ::SetCursor(cursor);
}

void TExStringGrid::DoColorSelect(int ACol, int ARow, TColor Color, const String& Value) {
    if (OnColorSelect) OnColorSelect(this, ACol, ARow, Color, Value);
}

void TExStringGrid::DoImageSelect(int ACol, int ARow, int Index) {
    if (OnImageSelect) OnImageSelect(this, ACol, ARow, Index);
}

TCustomForm* TExStringGrid::FindParentForm(TControl* AControl) {
    for (TControl* c = AControl; c; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
    return nullptr;
}

void TExStringGrid::DoPrintGetPageNum(int PageNum, int PageColNum, String& PageNumString) {
    if (FTools->OnPrintGetPageNum) FTools->OnPrintGetPageNum(this, PageNum, PageColNum, PageNumString);
}

void TExStringGrid::DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) {
    if (FTools->OnGetCellPrintBorder) FTools->OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}
