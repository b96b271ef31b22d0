// Radio buttons standing before a cell's text, one per row of a column, and
// the kind queries that answer for the base cell of a merged area.
#include "grid/ExGrid.h"

#include <algorithm>

bool TExStringGrid::HasGraphicOfKinds(int ACol, int ARow, std::initializer_list<TCellType> Kinds) {
    if (ACol < 0 || ARow < 0) return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellType kind = GetCellType(b.X, b.Y);
    return std::find(Kinds.begin(), Kinds.end(), kind) != Kinds.end();
}

void TExStringGrid::AddRadioButton(int ACol, int ARow, bool State) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctRadioButton;
    g->CellBoolean = State;
    SetBoxPlacement(*g);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveRadioButton(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctRadioButton); }

void TExStringGrid::AddRadioButtonColumn(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) AddRadioButton(ACol, r, false);
}

void TExStringGrid::RemoveRadioButtonColumn(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) RemoveRadioButton(ACol, r);
}

bool TExStringGrid::IsRadioButtonChecked(int ACol, int ARow) {
    if (!HasRadioButton(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    return GetCellGraphic(b.X, b.Y)->CellBoolean;
}

bool TExStringGrid::SetRadioButtonState(int ACol, int ARow, bool State) {
    if (!HasRadioButton(ACol, ARow)) return false;
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (g->CellBoolean != State) {
        g->CellBoolean = State;
        RepaintDisplCell(b.X, b.Y);
    }
    return true;
}

void TExStringGrid::SetRadioButtonColumnIndex(int ACol, int Index) {
    for (int r = FixedRows(); r < RowCount(); ++r) SetRadioButtonState(ACol, r, r == Index);
}

int TExStringGrid::GetRadioButtonColumnIndex(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsRadioButtonChecked(ACol, r)) return r;
    return -1;
}

bool TExStringGrid::ToggleCellRadio(int ACol, int ARow, bool User) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g || g->CellType != ctRadioButton) return false;
    if (User && !FControlLook.CheckAlwaysActive) {
        bool editable = true;
        CellEditable(ACol, ARow, editable);
        if (!editable) return false;
    }
    if (g->CellBoolean) return true;
    g->CellBoolean = true;
    RepaintDisplCell(ACol, ARow);
    for (int r = 0; r < RowCount(); ++r) {
        if (r == ARow) continue;
        TCellGraphic* other = GetCellGraphic(ACol, r);
        if (!other || other->CellType != ctRadioButton || !other->CellBoolean) continue;
        other->CellBoolean = false;
        RepaintDisplCell(ACol, r);
    }
    // Hidden rows keep their cells aside; their buttons give way too, so the
    // column still has one checked when they are shown again.
    for (const TGridItem& item : FGridItems) {
        auto* props = dynamic_cast<TCellProperties*>(item.Object(ACol));
        auto* other = props ? dynamic_cast<TCellGraphic*>(props->GraphicObject()) : nullptr;
        if (other && other->CellType == ctRadioButton) other->CellBoolean = false;
    }
    return true;
}
