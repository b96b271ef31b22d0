// The data tools' option objects.
#include "grid/GridDataTools.h"

#include "grid/ExGrid.h"

void TSortSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TSortSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TExStringGrid* grid = FGrid;
    bool virt = FSortOnVirtualCells, ignoreCase = FIgnoreCase;
    *this = *s;
    FGrid = grid;
    FSortOnVirtualCells = virt;
    FIgnoreCase = ignoreCase;
}

void TSortSettings::GlyphChanged() {
    if (FGrid) FGrid->InvalidateGrid();
}

void TSortSettings::HeaderChanged() {
    if (FGrid && FGrid->FixedRows() > 0) FGrid->RepaintRow(FGrid->FixedRows() - 1);
}

void TSortSettings::SetShow(bool Value) {
    FShow = Value;
    if (FGrid) FGrid->InvalidateGrid();
}

void TSortSettings::SetRow(int Value) {
    if (FGrid && Value >= FGrid->FixedRows()) throw Exception(u"Sort row should be smaller than number of fixed rows");
    FRow = Value;
}

TFloatingFooter::TFloatingFooter(TExStringGrid* AGrid) : FGrid(AGrid) {
    if (AGrid) FHeight = AGrid->DefaultRowHeight();
}

void TFloatingFooter::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TFloatingFooter*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TExStringGrid* grid = FGrid;
    TCalcFooterEvent ev = OnCalcFooter;
    *this = *s;
    FGrid = grid;
    OnCalcFooter = ev;
    SetVisible(FVisible);
}

TColumnCalcType TFloatingFooter::ColumnCalc(int ACol) const {
    int last = FGrid ? FGrid->RowCount() - 1 : -1;
    if (ACol < 0 || last < 0 || !FGrid->CellPropsAssigned(ACol, last)) return acNONE;
    return FGrid->GetCellProperties(ACol, last)->CalcType();
}

void TFloatingFooter::SetColumnCalc(int ACol, TColumnCalcType Value) {
    if (ACol < 0 || !FGrid || ACol >= FGrid->TotalColCount()) return;
    FGrid->GetCellProperties(ACol, FGrid->RowCount() - 1)->SetCalcType(Value);
    FGrid->CalcFooter(ACol);
}

void TFloatingFooter::SetVisible(bool Value) {
    FVisible = Value;
    if (FGrid) FGrid->Tools().FooterChanged();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle Value) {
    FFooterStyle = Value;
    if (FGrid) FGrid->Tools().FooterChanged();
}

void TBalloonSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TBalloonSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TNotifyEvent ev = OnEnableChange;
    bool enable = s->FEnable;
    *this = *s;
    FEnable = !enable;  // so that the setter reports the copied value
    OnEnableChange = ev;
    SetEnable(enable);
}

void TBalloonSettings::SetEnable(bool Value) {
    if (Value == FEnable) return;
    FEnable = Value;
    if (OnEnableChange) OnEnableChange(this);
}

void TFilterData::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TFilterData*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FColumn = s->FColumn;
    FCondition = s->FCondition;
    FCaseSensitive = s->FCaseSensitive;
    FData = s->FData;
    FPrefix = s->FPrefix;
    FSuffix = s->FSuffix;
    FOperation = s->FOperation;
    FMethod = s->FMethod;
}

TFilter::TFilter(TExStringGrid* AGrid) : TCollection([](TCollection* c) { return new TFilterData(c); }, AGrid) {}

TFilterData* TFilter::Add() {
    auto* item = static_cast<TFilterData*>(TCollection::Add());
    item->SetOperation(Count() == 1 ? foNONE : foAND);
    return item;
}

TFilterData* TFilter::GetColFilter(int Col) {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column() == Col) return Items(i);
    TFilterData* item = Add();
    item->SetColumn(Col);
    return item;
}

bool TFilter::HasFilter(int Col) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column() == Col && !Items(i)->Condition().empty()) return true;
    return false;
}

void TGrouping::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TGrouping*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    *this = *s;
}

void TDragDropSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDragDropSettings*>(Source);
    if (!s) return;  // settings of another kind are ignored
    // Plain fields: no registration, and the grid stays this one's.
    TExStringGrid* grid = Grid;
    *this = *s;
    Grid = grid;
}

void TFilter::RemoveColumnFilter(int Col) {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->Column() == Col) Delete(i);
    if (auto* grid = dynamic_cast<TExStringGrid*>(Owner()); grid && Col < grid->TotalColCount())
        grid->RepaintCell(grid->DisplColIndex(Col), 0);
}

void TFilterDropDown::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TFilterDropDown*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = s->FColor;
    FColumnWidth = s->FColumnWidth;
    FWidth = s->FWidth;
    FHeight = s->FHeight;
    FFont.Assign(&s->FFont);
    FGlyph.Assign(&s->FGlyph);
    FGlyphActive.Assign(&s->FGlyphActive);
}
