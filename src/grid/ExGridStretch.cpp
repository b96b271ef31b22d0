// The grid control's stretched column: one column takes the client width
// that the others leave, after every change of widths, counts or size.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <cmath>

void TColumnSize::Assign(const TColumnSize& Source) {
    FStretch = Source.FStretch;
    FStretchColumn = Source.FStretchColumn;
    FSave = Source.FSave;
    FKey = Source.FKey;
    FSection = Source.FSection;
    FLocation = Source.FLocation;
    FSynchWithGrid = Source.FSynchWithGrid;
    FSynchNormalCellsOnly = Source.FSynchNormalCellsOnly;
    FRows = Source.FRows;
}

void TColumnSize::SetStretch(bool Value) {
    FStretch = Value;
    // Like every change of the grid, not a direct call: a stretch column
    // past the columns stands for the last and never raises here.
    FGrid->StretchAfterChange();
}

void TExStringGrid::ApplyColumnStretch(int Index) {
    if (IsLoading() || IsDestroying()) return;
    if (Index == -1) Index = ColCount() - 1;
    if (Index >= ColCount()) throw Exception(u"Stretch column index out of range");
    if (ColCount() == 0 || Index < 0 || !FColumnSize.Stretch() || FIsColChanging) return;
    FIsColChanging = true;
    FColchgFlg = false;
    struct Restore {
        TExStringGrid* G;
        ~Restore() {
            G->FColchgFlg = true;
            G->FIsColChanging = false;
        }
    } restore{this};
    const int client = ClientWidth();
    if (ColCount() == 1) {
        SetColWidths(0, client);
        return;
    }
    int sum = 0;
    for (int c = 0; c < ColCount(); ++c)
        if (c != Index) sum += ColWidths(c);
    if (sum < client)
        SetColWidths(Index, client - sum - 1);
    else if (LeftCol() == FixedCols())
        SetColWidths(Index, DefaultColWidth());
}

void TExStringGrid::StretchRightColumn() {
    if (ColCount() > 0) ApplyColumnStretch(ColCount() - 1);
}

void TExStringGrid::StretchAfterChange() {
    if (!FColumnSize.Stretch() || !Parent() || ColCount() == 0) return;
    const int index = FColumnSize.StretchColumn();
    ApplyColumnStretch(index >= ColCount() ? ColCount() - 1 : index);
}

void TExStringGrid::ColWidthsChanged() {
    if (FColchgFlg) StretchAfterChange();
    TBaseGrid::ColWidthsChanged();
    // The end of a column sized by the mouse: the others follow in
    // proportion when asked, and the end is told once.
    if (ColSized && Colclicked >= 0 && Colclicked < ColCount()) {
        if (FMouseActions.AllColumnSize() && Colclickedsize > 0) {
            ColSized = false;
            const double r = double(ColWidths(Colclicked)) / Colclickedsize;
            for (int c = TCustomGrid::FixedCols(); c < ColCount(); ++c)
                if (c != Colclicked) SetColWidths(c, int(std::nearbyint(ColWidths(c) * r)));
            ColSized = true;
        }
        if (OnEndColumnSize) OnEndColumnSize(this, Colclicked);
        int w = ColWidths(Colclicked);
        DoUpdateColumnSize(Colclicked, w);
        if (w != ColWidths(Colclicked)) {
            ColSized = false;
            SetColWidths(Colclicked, w);
        }
        if (ColSized) Colclicked = Rowclicked = -1;
    }
    ColSized = false;
    if (HasCheckBox(RealColIndex(Col()), Row()) && EditorMode()) HideInplaceEdit();
    UpdateFooter();
    if (FColumnSize.Stretch() && FScrollProportional) UpdateHScrollProportional();
}

void TExStringGrid::RowHeightsChanged() {
    TBaseGrid::RowHeightsChanged();
    if (Rowsized && Rowclicked >= 0 && Rowclicked < RowCount()) {
        if (FMouseActions.AllRowSize() && Rowclickedsize > 0) {
            // Cleared for the time: the rows that follow are no end of sizing.
            Rowsized = false;
            const double r = double(RowHeights(Rowclicked)) / Rowclickedsize;
            for (int i = TCustomGrid::FixedRows(); i < RowCount(); ++i)
                if (i != Rowclicked) SetRowHeights(i, int(std::nearbyint(RowHeights(i) * r)));
            Rowsized = true;
        }
        if (OnEndRowSize) OnEndRowSize(this, Rowclicked);
        Colclicked = Rowclicked = -1;
    }
    Rowsized = false;
    if (HasCheckBox(RealColIndex(Col()), Row()) && EditorMode()) HideInplaceEdit();
}

void TExStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
    if (!IsLoading()) StretchAfterChange();
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
    if (!IsLoading()) FollowFlatBars();
}

void TExStringGrid::FollowFlatBars() {
    if (!FIsFlat || !HandleAllocated()) return;
    const bool rows = VisibleRowCount() + TCustomGrid::FixedRows() < RowCount();
    FlatShowScrollBar(SB_VERT, rows);
    SyncFlatVScroll();
    const bool cols = VisibleColCount() + TCustomGrid::FixedCols() < ColCount();
    FlatShowScrollBar(SB_HORZ, cols);
    SyncFlatHScroll();
}
