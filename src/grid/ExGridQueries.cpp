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

void TExStringGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                    TGridDrawInfo& FixedInfo) {
    TBaseGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
    int c = -1, r = -1;
    // Asked only where the framework would size: the mouse moves over the headers all the time.
    if (State == gsColSizing && OnColumnSize) {
        MouseToCell(X - 6, Y, c, r);
        if (r >= 0 && r < TCustomGrid::FixedRows() && c >= 0) {
            bool allow = true;
            OnColumnSize(this, c, allow);
            if (!allow) {
                State = gsNormal;
                FSizeFixed = false;
            }
        }
    }
    if (State == gsRowSizing && OnRowSize) {
        MouseToCell(X, Y - 6, c, r);
        if (c >= 0 && c < TCustomGrid::FixedCols() && r >= 0) {
            bool allow = true;
            OnRowSize(this, r, allow);
            if (!allow) State = gsNormal;
        }
    }
}

void TExStringGrid::DoPrintGetPageNum(int PageNum, int PageColNum, String& PageNumString) {
    if (FTools->OnPrintGetPageNum) FTools->OnPrintGetPageNum(this, PageNum, PageColNum, PageNumString);
}

void TExStringGrid::DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) {
    if (FTools->OnGetCellPrintBorder) FTools->OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TExStringGrid::DoFilterDone() {
    if (FTools->OnFilterDone) FTools->OnFilterDone(this);
}
