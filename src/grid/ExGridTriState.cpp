// Three-state check boxes: cells whose box may also show a grey mixed state,
// and the reading of every box kind as one of three states, hidden rows
// included (a closed group keeps its rows' boxes in the hidden-row store).
#include "grid/ExGrid.h"

TCellGraphic* TExStringGrid::RealRowGraphic(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return nullptr;
    for (const TGridItem& item : FGridItems) {
        if (item.Idx != ARow) continue;
        auto* props = dynamic_cast<TCellProperties*>(item.Object(ACol));
        if (props) return dynamic_cast<TCellGraphic*>(props->GraphicObject());
        // Without cells of its own a hidden row still shares a column's data boxes.
        TCellGraphic* shared = GetCellGraphic(ACol, DisplRowIndex(ARow));
        return shared && (shared->CellType == ctDataCheckBox || shared->CellType == ctVirtCheckBox) ? shared : nullptr;
    }
    const int r = DisplRowIndex(ARow);
    return r < RowCount() ? GetCellGraphic(ACol, r) : nullptr;
}

void TExStringGrid::AddCheckBox(int ACol, int ARow, TCheckBoxState State) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctTriStateCheckBox;
    g->CellCheckBoxState = State;
    g->CellBoolean = false;
    SetBoxPlacement(*g);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State) {
    for (int r = FMouseActions.CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r) AddCheckBox(ACol, r, State);
}

void TExStringGrid::AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox) {
    for (int r = FMouseActions.CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r) {
        if (FDataTools->IsSummary(r)) continue;
        if (IsNode(r)) {
            AddCheckBox(ACol, r, cbUnchecked);
            continue;
        }
        AddCheckBox(ACol, r, DefaultState, DataCheckBox);
    }
}

void TExStringGrid::RemoveCheckBoxColumn(int ACol) {
    for (int r = FMouseActions.CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r)
        if (HasCheckBox(ACol, r)) RemoveCheckBox(ACol, r);
}

void TExStringGrid::CheckAll(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) SetCheckBoxStateEx(ACol, r, true);
    if (FNumHidden > 0) RepaintCol(DisplColIndex(ACol));
}

void TExStringGrid::UnCheckAll(int ACol) {
    for (int r = FixedRows(); r < RowCount(); ++r) SetCheckBoxStateEx(ACol, r, false);
}

bool TExStringGrid::GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State) {
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g) return false;
    if (g->CellType == ctTriStateCheckBox) {
        State = g->CellCheckBoxState;
        return true;
    }
    bool checked = false;
    if (!GetCheckBoxState(ACol, ARow, checked)) return false;
    State = BoolToCheckBoxState(checked);
    return true;
}

bool TExStringGrid::SetCheckBoxState(int ACol, int ARow, TCheckBoxState State) {
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g || g->CellType != ctTriStateCheckBox) return false;
    g->CellCheckBoxState = State;
    if (!IsHiddenRow(ARow)) RepaintDisplCell(ACol, DisplRowIndex(ARow));
    return true;
}

// A group header's box never turns grey by a click: it takes all of its
// rows in or out. Any other box passes through grey on its way to checked.
bool TExStringGrid::ToggleTriState(TCellGraphic& G, int ARow) {
    TCheckBoxState& s = G.CellCheckBoxState;
    if (FGrouping.AutoCheckGroup() && IsNode(ARow)) {
        s = s == cbChecked ? cbUnchecked : cbChecked;
        return s == cbChecked;
    }
    s = s == cbUnchecked ? cbGrayed : s == cbGrayed ? cbChecked : cbUnchecked;
    return false;
}
