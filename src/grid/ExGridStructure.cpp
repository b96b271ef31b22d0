// The grid control's hidden columns and rows, structure operations and
// selection helpers.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>

// ---------------------------------------------------------------------------
// Column mapping. Only the first MappedColumns real columns can be hidden;
// indexes from there on are the same in both numberings. Columns of the map
// beyond the grid count as shown, so a displayed index past the last shown
// column keeps counting instead of falling back to column 0.

namespace {
constexpr int MappedColumns = 512;
}

bool TExStringGrid::IsHiddenColumn(int ColIndex) const {
    return ColIndex >= 0 && ColIndex < int(FVisibleCol.size()) && !FVisibleCol[ColIndex];
}

int TExStringGrid::DisplColIndex(int ACol) {
    if (FNumHidden == 0 || ACol <= 0 || ACol >= MappedColumns) return ACol;
    int hidden = 0;
    int n = std::min(ACol, int(FVisibleCol.size()));
    for (int i = 0; i < n; ++i)
        if (!FVisibleCol[i]) ++hidden;
    return ACol - hidden;
}

int TExStringGrid::RealColIndex(int ACol) const {
    if (FNumHidden == 0 || ACol < 0 || ACol >= MappedColumns) return ACol;
    int shown = 0;
    for (int j = 0; j < std::min(int(FVisibleCol.size()), MappedColumns); ++j) {
        if (!FVisibleCol[j]) continue;
        if (shown == ACol) return j;
        ++shown;
    }
    return std::min(int(FVisibleCol.size()), MappedColumns) + (ACol - shown);
}

void TExStringGrid::HideColumns(int FromCol, int ToCol) {
    HideInplaceEdit();
    for (int c = std::max(FromCol, 0); c <= ToCol; ++c) {
        if (c >= ColCount() + FNumHidden || c >= MappedColumns || ColCount() < 2 || IsHiddenColumn(c)) continue;
        if (c >= int(FVisibleCol.size())) {
            FVisibleCol.resize(c + 1, true);
            FAllColWidths.resize(c + 1, 0);
        }
        int d = DisplColIndex(c);
        FAllColWidths[c] = ColWidths(d);
        for (int i = d; i <= ColCount() - 2; ++i) SetColWidths(i, ColWidths(i + 1));
        ++FNumHidden;
        FVisibleCol[c] = false;
        if (Col() == ColCount() - 1 && Col() > 0) SetCol(Col() - 1);
        TCustomGrid::SetColCount(ColCount() - 1);
    }
    CellControlsMoved();
    InvalidateGrid();
}

void TExStringGrid::UnHideColumns(int FromCol, int ToCol) {
    HideInplaceEdit();
    for (int c = std::max(FromCol, 0); c <= ToCol; ++c) {
        if (!IsHiddenColumn(c)) continue;
        --FNumHidden;
        FVisibleCol[c] = true;
        TCustomGrid::SetColCount(ColCount() + 1);
        for (int i = ColCount() - 1; i > DisplColIndex(c); --i) SetColWidths(i, ColWidths(i - 1));
        SetColWidths(DisplColIndex(c), FAllColWidths[c]);
    }
    CellControlsMoved();
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Row mapping

bool TExStringGrid::IsHiddenRow(int RowIndex) const {
    for (const TGridItem& i : FGridItems)
        if (i.Idx == RowIndex) return true;
    return false;
}

TStringList* TExStringGrid::GetHiddenRowCells(int RowIndex) {
    for (TGridItem& i : FGridItems)
        if (i.Idx == RowIndex) return &i.Items();
    return nullptr;
}

int TExStringGrid::DisplRowIndex(int ARow) const {
    int below = 0;
    for (const TGridItem& i : FGridItems)
        if (i.Idx < ARow) ++below;
    return ARow - below;
}

int TExStringGrid::RealRowIndex(int ARow) const {
    if (FGridItems.Empty()) return ARow;
    std::vector<int> idx;
    idx.reserve(size_t(FGridItems.Count()));
    for (const TGridItem& i : FGridItems) idx.push_back(i.Idx);
    std::sort(idx.begin(), idx.end());
    int real = ARow;
    for (int h : idx)
        if (h <= real) ++real;
    return real;
}

void TExStringGrid::CopyRowOut(int ARow, TGridItem& Item) {
    int n = TotalColCount();
    TStringList& items = Item.Items();
    items.BeginUpdate();
    items.Clear();
    items.AddItems(n, [&](int c, String& s, TObject*& object) {
        s = GridCellView(c, ARow);
        object = GetGridObject(c, ARow);
    });
    items.EndUpdate();
    Item.Height = RowHeights(ARow);
}

void TGridItem::TakeCells(TGridCells::TTakenRow&& Row, int Count) {
    FItems.Clear();
    FRow = std::move(Row);
    FRowCells = Count;
}

// The same list that copying the row out would have made.
void TGridItem::Unpack() const {
    if (FRowCells < 0) return;
    const int n = FRowCells;
    FRowCells = -1;
    TGridCells::TTakenRow row = std::move(FRow);
    FItems.BeginUpdate();
    FItems.Clear();
    FItems.AddItems(n, [&](int c, String& s, TObject*& object) {
        s = row.TextView(c);
        object = row.Object(c);
    });
    FItems.EndUpdate();
}

void TExStringGrid::CopyRowIn(const TGridItem& Item, int ARow) {
    const TStringList& items = Item.Items();
    for (int c = 0; c < items.Count(); ++c) {
        SetGridCell(c, ARow, items[c]);
        SetGridObject(c, ARow, items.Objects(c));
    }
    if (Item.Height > 0) SetRowHeights(ARow, Item.Height);
}

// Takes the items that Which picks out of the store, in order of index.
std::vector<std::unique_ptr<TGridItem>> TExStringGrid::TakeGridItems(const std::function<bool(const TGridItem&)>& Which) {
    std::vector<std::unique_ptr<TGridItem>> taken;
    // From the last item back, so that taking them all never searches the store.
    for (int i = FGridItems.Count() - 1; i >= 0; --i) {
        TGridItem& item = FGridItems[i];
        if (!Which(item)) continue;
        item.SetCollection(nullptr);
        taken.emplace_back(&item);
    }
    std::stable_sort(taken.begin(), taken.end(), [](const auto& x, const auto& y) { return x->Idx < y->Idx; });
    return taken;
}

// ---------------------------------------------------------------------------
// Hiding rows

void TExStringGrid::HideRows(int FromRow, int ToRow) {
    if (ToRow < FromRow) return;
    int p = 0;
    std::vector<int> hidden;  // the rows of the range hidden already
    for (const TGridItem& i : FGridItems) {
        if (i.Idx >= FromRow && i.Idx <= ToRow) hidden.push_back(i.Idx);
        if (i.Idx < FromRow) ++p;
    }
    const int n = int(hidden.size());
    int a = ToRow - FromRow + 1;
    if (a == n) return;
    std::sort(hidden.begin(), hidden.end());
    int from2 = FromRow - p;
    // The store stays sorted by index: a newly hidden row goes after the
    // items below it, the rows of the range already hidden staying in place.
    int cursor = from2;
    size_t h = 0;
    for (int r = FromRow; r <= ToRow; ++r) {
        if (h < hidden.size() && hidden[h] == r) {
            while (h < hidden.size() && hidden[h] == r) ++h;
            ++p;
            continue;
        }
        TGridItem* item = p == FGridItems.Count() ? FGridItems.Add() : FGridItems.Insert(p);
        ++p;
        CopyRowOut(cursor, *item);
        item->Idx = r;
        ++cursor;
    }
    DoRemoveRows(from2, a - n, false);
    CellControlsMoved();
}

void TExStringGrid::HideRowsEx(int FromRow, int ToRow) {
    if (ToRow < FromRow || FromRow < 0) return;
    int from2 = FromRow;
    for (const TGridItem& i : FGridItems) {
        if (i.Idx == FromRow) return;
        if (i.Idx < FromRow) --from2;
    }
    // Rows past the grid's end are not there to hide.
    const int count = std::min(ToRow - FromRow + 1, RowCount() - from2);
    if (count <= 0) return;
    for (int k = 0; k < count; ++k) {
        TGridItem* item = FGridItems.Add();
        CopyRowOut(from2 + k, *item);
        item->Idx = FromRow + k;
    }
    RemoveRowsEx(from2, count);
    CellControlsMoved();
}

void TExStringGrid::UnHideRows(int FromRow, int ToRow) {
    if (!IsHiddenRow(FromRow)) return;
    int from2 = DisplRowIndex(FromRow);
    for (const auto& item : TakeGridItems([&](const TGridItem& i) { return i.Idx >= FromRow && i.Idx <= ToRow; })) {
        int pos = from2 + (item->Idx - FromRow);
        DoInsertRows(pos, 1);
        CopyRowIn(*item, pos);
    }
    CellControlsMoved();
    InvalidateGrid();
}

// Run by run of consecutive indexes, found once: real indexes do not move
// while rows come back.
void TExStringGrid::UnHideRowsAll() {
    std::vector<int> idx;
    idx.reserve(size_t(FGridItems.Count()));
    for (const TGridItem& i : FGridItems) idx.push_back(i.Idx);
    std::sort(idx.begin(), idx.end());
    for (size_t k = 0; k < idx.size();) {
        size_t e = k;
        while (e + 1 < idx.size() && idx[e + 1] <= idx[e] + 1) ++e;
        UnHideRows(idx[k], idx[e]);
        k = e + 1;
    }
}

// A hide level records displayed indexes of its own time, so the levels
// come back strictly last first.
void TExStringGrid::HideRowList(const std::vector<int>& RowList) {
    std::vector<int> rows = RowList;
    // A filter lists its rows in order already.
    if (!std::is_sorted(rows.begin(), rows.end())) std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // The rows leave the grid for good, so their cells move out whole.
    const int n = TotalColCount();
    for (int r : rows) {
        if (r < 0 || r >= RowCount()) continue;
        TGridItem* item = FGridItems.Add();
        item->TakeCells(Data().TakeRow(r), n);
        item->Height = RowHeights(r);
        item->Idx = r;
        item->Level = FFilterLevel;
    }
    ++FFilterLevel;
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int r) { return r < 0 || r >= RowCount(); }), rows.end());
    BeginUpdate();
    DoRemoveRowList(rows);
    EndUpdate();
    CellControlsMoved();
}

// One pass over the cell store instead of one removal per row: the kept
// rows close up in their order, the current cell and the anchor stay on
// their rows (a removed one goes to the next row kept).
void TExStringGrid::DoRemoveRowList(const std::vector<int>& Rows) {
    if (Rows.empty()) return;
    for (auto it = Rows.rbegin(); it != Rows.rend(); ++it) RowListsRemoved(*it, 1, false);
    int n = RowCount();
    int w = Rows.front();
    size_t k = 0;
    for (int r = Rows.front(); r < n; ++r) {
        if (k < Rows.size() && Rows[k] == r) {
            ++k;
            continue;
        }
        if (w != r) {
            Data().SwapRows(w, r);
            int hw = RowHeights(w), hr = RowHeights(r);
            if (hw != hr) {
                SetRowHeights(w, hr);
                SetRowHeights(r, hw);
            }
        }
        ++w;
    }
    auto moved = [&](int r) { return r - int(std::lower_bound(Rows.begin(), Rows.end(), r) - Rows.begin()); };
    TGridRect sel = Selection();
    int keep = std::max(w, 1);
    if (w == 0) {
        // The framework keeps one row: the last one left over is emptied.
        ResetRowCells(0);
        for (int c = 0; c < TotalColCount(); ++c) SetGridCell(c, 0, u"");
    }
    Data().ClearRowsFrom(keep);
    TCustomGrid::SetRowCount(keep);
    int low = std::min(TCustomGrid::FixedRows(), keep - 1);
    auto place = [&](int r) { return r < 0 || r >= n ? r : std::clamp(moved(r), low, keep - 1); };
    TGridRect s = sel;
    s.Top = place(sel.Top);
    s.Bottom = place(sel.Bottom);
    if (s.Top != sel.Top || s.Bottom != sel.Bottom) SetSelection(s);
    FNormalRowCount = RowCount();
}

void TExStringGrid::UnHideRowList() {
    if (FFilterLevel <= 0) return;
    int level = FFilterLevel - 1;
    BeginUpdate();
    for (const auto& item : TakeGridItems([&](const TGridItem& i) { return i.Level == level; })) {
        DoInsertRows(item->Idx, 1);
        CopyRowIn(*item, item->Idx);
    }
    EndUpdate();
    --FFilterLevel;
}

// ---------------------------------------------------------------------------
// Navigation

void TExStringGrid::ScreenToCell(TPoint pt, int& ACol, int& ARow) {
    const TPoint p = ScreenToClient(pt);
    MouseToCell(p.X, p.Y, ACol, ARow);
}

void TExStringGrid::SetTopRowEx(int Value) {
    if (Value >= FixedRows() && Value <= RowCount() - 1) SetTopRow(Value);
}

void TExStringGrid::ScrollInView(int ColIndex, int RowIndex) {
    if (RowIndex < TopRow() || RowIndex >= TopRow() + VisibleRowCount()) {
        int top = std::max(TCustomGrid::FixedRows(), RowIndex - VisibleRowCount() / 2);
        SetTopRow(std::min(top, std::max(TCustomGrid::FixedRows(), RowCount() - 1)));
    }
    if (ColIndex < LeftCol() || ColIndex >= LeftCol() + VisibleColCount()) {
        int left = std::max(TCustomGrid::FixedCols(), ColIndex - VisibleColCount() / 2);
        SetLeftCol(std::min(left, std::max(TCustomGrid::FixedCols(), ColCount() - 1)));
    }
}

void TExStringGrid::HideSelection() {
    if (FSelHidden) return;
    FOldSelection = Selection();
    FSelHidden = true;
    FShowSel = false;
    InvalidateGrid();
}

void TExStringGrid::UnHideSelection() {
    if (!FSelHidden) return;
    FSelHidden = false;
    FShowSel = FShowSelection;
    TGridRect s = FOldSelection;
    if (s.Right < ColCount() && s.Bottom < RowCount() && s.Top >= TCustomGrid::FixedRows())
        SetSelection(s);
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Structure

void TExStringGrid::DoInsertRows(int RowIndex, int RCount) {
    if (RCount <= 0) return;
    RowIndex = std::clamp(RowIndex, 0, RowCount());
    RowListsInserted(RowIndex, RCount, false);
    for (int i = 0; i < RCount; ++i) TStringGrid::InsertRow(RowIndex);
    FNormalRowCount = RowCount();
    FMaxRowCount = std::max(FMaxRowCount, RowCount());
}

void TExStringGrid::DoRemoveRows(int RowIndex, int RCount, bool UpdateHidden) {
    if (RowIndex >= RowCount() || RCount <= 0) return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    // Before the hidden rows' places move: the real rows are those of now.
    if (UpdateHidden) RowListsRemoved(RowIndex, RCount, true);
    RowListsRemoved(RowIndex, RCount, false);
    if (UpdateHidden && !FGridItems.Empty()) {
        int real = RealRowIndex(RowIndex);
        for (TGridItem& i : FGridItems)
            if (i.Idx > real) i.Idx -= RCount;
    }
    // The framework keeps one row; a last row left over is emptied instead.
    for (int i = 0; i < RCount; ++i) {
        if (RowCount() > 1) TStringGrid::DeleteRow(RowIndex);
        else {
            ResetRowCells(RowIndex);
            for (int c = 0; c < TotalColCount(); ++c) SetGridCell(c, RowIndex, u"");
        }
    }
    FNormalRowCount = RowCount();
}

void TExStringGrid::InsertRows(int RowIndex, int RCount, bool) {
    if (RCount <= 0) return;
    if (FSelHidden || Col() >= ColCount() || Row() >= RowCount()) UnHideSelection();
    RowListsInserted(std::clamp(RowIndex, 0, RowCount()), RCount, true);
    DoInsertRows(RowIndex, RCount);
    CellControlsMoved();
    if (!IsDestroying()) DoCellsChanged(Rect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
}

void TExStringGrid::AddRow() {
    InsertRows(RowCount(), 1);
    ClearRows(RowCount() - 1, 1);
}

void TExStringGrid::RemoveRows(int RowIndex, int RCount) {
    if (RowIndex >= RowCount() || RCount <= 0 || RowIndex < 0) return;
    RCount = std::min(RCount, RowCount() - RowIndex);
    FreeCellPropsRect(0, RowIndex, TotalColCount() - 1, RowIndex + RCount - 1);
    bool entered = FEntered;
    FEntered = false;
    int oldRow = Row();
    int oldTop = TopRow();
    BeginUpdate();
    try {
        DoRemoveRows(RowIndex, RCount, true);
        FMaxRowCount -= RCount;
        if (oldRow < RowCount() - FFixedFooters) {
            if (Row() != oldRow) MoveColRow(Col(), oldRow, true, false);
            if (oldTop < RowCount()) SetTopRow(std::max(oldTop, TCustomGrid::FixedRows()));
        } else if (RowCount() - FFixedFooters - 1 >= TCustomGrid::FixedRows() && RowCount() > TCustomGrid::FixedRows()) {
            MoveColRow(Col(), RowCount() - FFixedFooters - 1, true, false);
        } else
            HideSelection();
    } catch (...) {
        EndUpdate();
        FEntered = entered;
        throw;
    }
    EndUpdate();
    FEntered = entered;
    CellControlsMoved();
    DoCellsChanged(Rect(0, RowIndex, ColCount() - 1, RowIndex + RCount));
}

void TExStringGrid::InsertCols(int ColIndex, int CCount) {
    if (CCount <= 0 || ColIndex < 0) return;
    for (int i = 0; i < CCount; ++i) {
        int d = std::min(DisplColIndex(ColIndex), ColCount());
        Data().InsertColumn(ColIndex);
        if (ColIndex < int(FVisibleCol.size())) {
            FVisibleCol.insert(FVisibleCol.begin() + ColIndex, true);
            FAllColWidths.insert(FAllColWidths.begin() + ColIndex, 0);
        }
        TDrawGrid::InsertColumn(d);
    }
    FMaxColCount = std::max(FMaxColCount, ColCount());
    if (int need = ColCount() + FNumHidden + 1; need > int(FVisibleCol.size())) {
        FVisibleCol.resize(need, true);
        FAllColWidths.resize(need, 0);
    }
    CellControlsMoved();
    DoCellsChanged(Rect(ColIndex, 0, ColIndex + CCount, RowCount() - 1));
}

void TExStringGrid::RemoveCols(int ColIndex, int CCount) {
    if (CCount <= 0 || ColIndex < 0) return;
    for (int i = 0; i < CCount && ColIndex < TotalColCount(); ++i) {
        FreeCellPropsRect(ColIndex, 0, ColIndex, RowCount() - 1);
        bool hidden = IsHiddenColumn(ColIndex);
        int d = DisplColIndex(ColIndex);
        if (!hidden && ColCount() <= 1) break;
        Data().DeleteColumn(ColIndex);
        if (ColIndex < int(FVisibleCol.size())) {
            FVisibleCol.erase(FVisibleCol.begin() + ColIndex);
            FAllColWidths.erase(FAllColWidths.begin() + ColIndex);
            FVisibleCol.push_back(true);
            FAllColWidths.push_back(0);
        }
        if (hidden) --FNumHidden;
        else TDrawGrid::DeleteColumn(d);
    }
    CellControlsMoved();
    DoCellsChanged(Rect(ColIndex, 0, ColIndex + CCount, RowCount() - 1));
}

void TExStringGrid::MoveRows(int FromIndex, int ToIndex, int Count) {
    if (Count <= 0 || FromIndex == ToIndex) return;
    if (FromIndex < ToIndex)
        for (int i = Count - 1; i >= 0; --i) Data().MoveRow(FromIndex + i, ToIndex + i);
    else
        for (int i = 0; i < Count; ++i) Data().MoveRow(FromIndex + i, ToIndex + i);
    InvalidateGrid();
}

void TExStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2) {
    FreeCellPropsRect(ACol1, ARow1, ACol2, ARow2);
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c) {
            SetGridCell(c, r, u"");
            SetGridObject(c, r, nullptr);
        }
    InvalidateGrid();
    if (!IsDestroying()) DoCellsChanged(Rect(RealColIndex(ACol1), ARow1, RealColIndex(ACol2), ARow2));
}

void TExStringGrid::ClearNormalRows(int RowIndex, int RCount) {
    if (RowCount() > 0 && ColCount() > 0 && RCount > 0)
        ClearRect(TCustomGrid::FixedCols(), RowIndex, ColCount() + FNumHidden - FFixedRightCols - 1,
                  RowIndex + RCount - 1);
}

void TExStringGrid::ClearNormalCols(int ColIndex, int CCount) {
    if (RowCount() > 0 && ColCount() > 0 && CCount > 0)
        ClearRect(ColIndex, TCustomGrid::FixedRows(), ColIndex + CCount - 1, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::TrimRect(int ACol1, int ARow1, int ACol2, int ARow2) {
    const bool mapped = FTools->SaveHiddenCells;
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c) {
            const int a = mapped ? RealColIndex(c) : c;
            const String text = Cells(a, r);
            const String trimmed = Trim(text);
            if (trimmed != text) SetCells(a, r, trimmed);
        }
}

void TExStringGrid::ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor) {
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c) SetColors(c, r, AColor);
}

void TExStringGrid::ClearRows(int RowIndex, int RCount) {
    if (RowCount() > 0 && ColCount() > 0 && RCount > 0)
        ClearRect(0, RowIndex, ColCount() + FNumHidden - 1, RowIndex + RCount - 1);
}

void TExStringGrid::ClearCols(int ColIndex, int CCount) {
    if (RowCount() > 0 && ColCount() > 0 && CCount > 0) ClearRect(ColIndex, 0, ColIndex + CCount - 1, RowCount() - 1);
}

void TExStringGrid::ClearNormalCells() {
    if (RowCount() > 0 && ColCount() > 0)
        ClearRect(FixedCols(), FixedRows(), ColCount() + FNumHidden - FFixedRightCols - 1,
                  RowCount() - FFixedFooters - 1);
}

void TExStringGrid::Clear() {
    if (RowCount() > 0 && ColCount() > 0) ClearRect(0, 0, ColCount() + FNumHidden - 1, RowCount() - 1);
}

// The properties objects the hidden rows held go with the grid, which frees
// every one it made.
void TExStringGrid::ClearAll() {
    Clear();
    for (TGridItem& i : FGridItems) i.Items().Clear();
}

void TExStringGrid::RemoveDuplicates(int ACol, bool DoCase) {
    BeginUpdate();
    int r = FixedRows();
    while (r < RowCount()) {
        String s = GetCellEx(ACol, r);
        bool dup = false;
        for (int q = FixedRows(); q < r && !dup; ++q) {
            String t = GetCellEx(ACol, q);
            dup = DoCase ? t == s : AnsiCompareText(t, s) == 0;
        }
        if (dup) RemoveRows(r, 1);
        else ++r;
    }
    EndUpdate();
}

void TExStringGrid::RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked) {
    BeginUpdate();
    for (int r = RowCount() - 1; r >= FixedRows(); --r)
        if (IsChecked(CheckBoxColumn, RealRowIndex(r)) == RemoveChecked) RemoveRows(r, 1);
    EndUpdate();
}

void TExStringGrid::RemoveSelectedRows() {
    BeginUpdate();
    try {
        if (FMouseActions.DisjunctRowSelect()) {
            // Collected first: the flags move with the rows while they go, bottom up.
            std::vector<int> chosen;
            for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
                if (RowSelect(RowSelectIndex(r))) chosen.push_back(r);
            for (int r : chosen) RemoveRowsInternal(r, 1);
            ClearRowSelect();
        } else {
            const TGridRect s = Selection();
            for (int r = std::max(s.Top, s.Bottom); r >= std::min(s.Top, s.Bottom); --r) RemoveRowsInternal(r, 1);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveUnSelectedRows() {
    BeginUpdate();
    try {
        for (int r = RowCount() - FFixedFooters - 1; r >= FixedRows(); --r)
            if (!GetRowSelect(RowSelectIndex(r))) RemoveRowsInternal(r, 1);
        if (FMouseActions.RowSelectPersistent()) SelectRows(FixedRows(), RowCount() - FixedRows());
        else ClearRowSelect();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::HideSelectedRows() {
    BeginUpdate();
    try {
        for (int r = RowCount() - 1; r >= FixedRows(); --r)
            if (GetRowSelect(RowSelectIndex(r))) HideRow(RealRowIndex(r));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::HideUnSelectedRows() {
    BeginUpdate();
    try {
        // A hidden row brings the next one to this index.
        int r = FixedRows();
        while (r < RowCount()) {
            if (GetRowSelect(RowSelectIndex(r))) ++r;
            else HideRow(RealRowIndex(r));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::RemoveSelectedCols() {
    if (FMouseActions.DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c)
            if (GetColSelect(c)) {
                RemoveCols(c, 1);
                if (c < int(FColSelect.size())) FColSelect.erase(FColSelect.begin() + c);
            }
    } else {
        const TGridRect s = Selection();
        const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
        RemoveCols(left, right - left + 1);
    }
    ClearColSelect();
}

void TExStringGrid::RemoveUnSelectedCols() {
    if (FMouseActions.DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= FixedCols(); --c)
            if (!GetColSelect(c)) {
                RemoveCols(c, 1);
                if (c < int(FColSelect.size())) FColSelect.erase(FColSelect.begin() + c);
            }
    } else {
        const TGridRect s = Selection();
        const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
        RemoveCols(right + 1, ColCount() - right);
        RemoveCols(FixedCols(), left - FixedCols());
    }
    ClearColSelect();
}

void TExStringGrid::ClearSelection() {
    if (FMouseActions.DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (RowSelect(RowSelectIndex(r))) ClearRows(r, 1);
    } else if (FMouseActions.DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(c, 1);
    } else {
        const TGridRect s = Selection();
        ClearRect(s.Left, s.Top, s.Right, s.Bottom);
    }
}

bool TExStringGrid::IsCell(const String& SubStr, int& ACol, int& ARow) {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (GetGridCell(c, r) == SubStr) {
                ACol = c;
                ARow = r;
                return true;
            }
    return false;
}

