// Sorting the data rows by one column, by the sort index or inside node
// groups, and putting them back in the order they had before.
//
// The partition sort runs over a list of row numbers with each row's key
// read once; the rows then move into their places by swaps in the grid's
// cell store, which carries hidden columns along, and every swap is
// recorded in the cross-reference that the unsort reads.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"
#include "framework/Threads.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Comparing two sort texts. Automatic mode compares numbers as numbers; the
// rest compares as text, without case when asked.

// ---------------------------------------------------------------------------
// Sort settings in text form

void TSortSettings::Remove() {
    FColumn = -1;
    if (FGrid) {
        FGrid->SortIndexes().Clear();
        if (FGrid->FixedRows() > 0) FGrid->RepaintRow(FGrid->FixedRows() - 1);
    }
}

void TSortSettings::ToggleDirection() { FDirection = FDirection == sdAscending ? sdDescending : sdAscending; }

String TSortSettings::SaveToString() const {
    if (FIndexShow && FGrid) return u"i;" + FGrid->SortIndexes().SaveToString();
    return String(FDirection == sdDescending ? u"d" : u"u") + IntToStr(FColumn);
}

void TSortSettings::LoadFromString(const String& Value) {
    if (Value.empty()) return;
    SetShow(true);
    if (Value.size() < 2) throw Exception(u"Invalid sort settings specifier");
    if (Value.find(u"i;") != String::npos) {
        FIndexShow = true;
        String rest = Value.substr(2);
        if (!rest.empty() && FGrid) {
            FGrid->SortIndexes().LoadFromString(rest);
            FGrid->QSortIndexed();
        }
        return;
    }
    FIndexShow = false;
    FDirection = Value.find(u'u') != String::npos ? sdAscending : sdDescending;
    int col = 0;
    if (TryStrToInt(Value.substr(1), col)) {
        FColumn = col;
        if (FGrid) FGrid->QSort();
    }
}

// ---------------------------------------------------------------------------
// Row order

// The order of rows A and B (original row numbers) from column Col: +1 when
// A goes after B in direction Dir, -1 before, 0 equal. Blanks kept apart
// take their place whatever the direction. With Full, ties go on to the
// next columns.
int TExGridTools::CompareRows(int A, int B, int Col, int Dir, bool Full) {
    const TSortDirection direction = Dir < 0 ? sdDescending : sdAscending;
    int total = FGrid.TotalColCount();
    for (int c = Col; c < total; ++c) {
        int res = 0;
        // The grid's comparison keeps blanks in their place for the direction;
        // the direction then turns the answer.
        if (!IgnoreColumns.HasValue(c))
            res = FGrid.CompareCellSortKeys(FGrid.CellSortKey(c, A), FGrid.CellSortKey(c, B), direction) * Dir;
        if (res != 0 || !Full) return res;
    }
    return 0;
}

// The key of the sort column (or the first index column) is read once per
// row; the columns after it only when rows tie.
void TExGridTools::SortRows(int FromRow, int ToRow, bool Indexed) {
    if (ToRow <= FromRow) return;
    TSortSettings& ss = FGrid.SortSettings();
    int keyCol = Indexed ? SortIndexes.GetSortColumns(0) : ss.Column();
    FSortDir = ss.Direction() == sdDescending ? -1 : 1;
    const int keyDir = Indexed ? (SortIndexes.GetSortDirections(0) ? 1 : -1) : FSortDir;
    const bool full = ss.Full();
    const bool keyIgnored = IgnoreColumns.HasValue(keyCol);
    // The key column's keys travel with their rows, so that the partition
    // reads them one after another; the columns after it are read on ties.
    auto cmp = [&](int A, const TCellSortKey& KA, int B, const TCellSortKey& KB) {
        int res = keyIgnored ? 0
                             : FGrid.CompareCellSortKeys(KA, KB, keyDir < 0 ? sdDescending : sdAscending) * keyDir;
        if (res != 0 || !full) return res;
        if (!Indexed) return keyCol + 1 < FGrid.TotalColCount() ? CompareRows(A, B, keyCol + 1, FSortDir, true) : 0;
        for (int k = 1; k < SortIndexes.Count(); ++k) {
            res = CompareRows(A, B, SortIndexes.GetSortColumns(k), SortIndexes.GetSortDirections(k) ? 1 : -1, false);
            if (res != 0) return res;
        }
        return 0;
    };

    const size_t n = size_t(ToRow - FromRow + 1);
    std::vector<int> perm(n);
    std::vector<TCellSortKey> keys(n);
    for (size_t i = 0; i < n; ++i) {
        perm[i] = FromRow + int(i);
        keys[i] = FGrid.CellSortKey(keyCol, perm[i]);
    }
    std::vector<std::pair<int, int>> stack{{0, int(n) - 1}};
    while (!stack.empty()) {
        auto [L, R] = stack.back();
        stack.pop_back();
        const int pivot = perm[size_t((L + R) / 2)];
        const TCellSortKey pivotKey = keys[size_t((L + R) / 2)];
        int i = L, j = R;
        do {
            while (cmp(pivot, pivotKey, perm[size_t(i)], keys[size_t(i)]) == 1 && i < R) ++i;
            while (cmp(perm[size_t(j)], keys[size_t(j)], pivot, pivotKey) == 1 && j > L) --j;
            if (i <= j) {
                if (i != j &&
                    (Indexed || cmp(perm[size_t(i)], keys[size_t(i)], perm[size_t(j)], keys[size_t(j)]) != 0)) {
                    std::swap(perm[size_t(i)], perm[size_t(j)]);
                    std::swap(keys[size_t(i)], keys[size_t(j)]);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j) stack.push_back({L, j});
        if (i < R) stack.push_back({i, R});
    }
    ApplyOrder(FromRow, perm);
}

// Moves the rows so that row FromRow + k holds what row Order[k] held.
void TExGridTools::ApplyOrder(int FromRow, const std::vector<int>& Order) {
    int n = int(Order.size());
    // where: the position of each original row; at: the original row at each position.
    std::vector<int> where(static_cast<size_t>(n)), at(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) where[size_t(k)] = at[size_t(k)] = k;
    for (int k = 0; k < n; ++k) {
        int want = Order[size_t(k)] - FromRow;
        int p = where[size_t(want)];
        if (p == k) continue;
        int a = FromRow + k, b = FromRow + p;
        FGrid.SortSwapRows(a, b);
        int other = at[size_t(k)];
        at[size_t(k)] = want;
        at[size_t(p)] = other;
        where[size_t(want)] = k;
        where[size_t(other)] = p;
    }
}

// ---------------------------------------------------------------------------
// The sorts

void TExGridTools::SortRowsSwapped(int A, int B) {
    const int n = int(FSortRowXRef.size());
    if (A >= 0 && A < n && B >= 0 && B < n) std::swap(FSortRowXRef[size_t(A)], FSortRowXRef[size_t(B)]);
    if (FSortRow == A) FSortRow = B;
    else if (FSortRow == B) FSortRow = A;
    ++Swaps;
}

void TExGridTools::InitSortXRef() {
    FSortRowXRef.resize(size_t(FGrid.RowCount()));
    for (int i = 0; i < FGrid.RowCount(); ++i) FSortRowXRef[size_t(i)] = i;
}

void TExGridTools::RunSort(bool Indexed, bool Group) {
    TSortSettings& ss = FGrid.SortSettings();
    if (Indexed && FGrid.SortIndexes().Count() == 0) throw EExGridError(u"No indexes specified for indexed sort");
    if (!Indexed && ss.Column() < 0) return;
    if (int(FSortRowXRef.size()) != FGrid.RowCount()) InitSortXRef();
    if (!Indexed && !Group) FGrid.SortIndexes().Clear();
    bool keepCol0 = ss.NormalCellsOnly() && FGrid.FixedCols() > 0;
    std::vector<String> col0;
    if (keepCol0)
        for (int r = 0; r < FGrid.RowCount(); ++r) col0.push_back(FGrid.GetGridCell(0, r));
    int top = FGrid.TopRow();
    int row = FGrid.Row();
    const int oldRow = row;
    TFloatingFooter& ff = FGrid.FloatingFooter();
    bool footer = ff.Visible();
    int fixedFooters = FGrid.FixedFooters();
    int lastWidth = FGrid.ColWidths(FGrid.ColCount() - 1);
    bool moveRow = FGrid.Navigation().MoveRowOnSort();
    FGrid.BeginUpdate();
    auto restore = [&] {
        if (keepCol0)
            for (int r = 0; r < int(col0.size()) && r < FGrid.RowCount(); ++r) FGrid.SetGridCell(0, r, col0[size_t(r)]);
        FGrid.SetColWidths(FGrid.ColCount() - 1, lastWidth);
        if (FGrid.Navigation().KeepScrollOnSort()) FGrid.SetTopRowEx(top);
        if (!Group && !Indexed) ff.SetVisible(footer);
        FGrid.SetFixedFooters(fixedFooters);
        FGrid.EndUpdate();
        if (Group) return;
        if (ff.Visible() && FFooterPanel) FFooterPanel->Invalidate();
        if (!Indexed && FSearchFooter->Visible() && FSearchPanel && FSearchPanel->Visible()) FSearchPanel->Invalidate();
    };
    try {
        if (!Group && !Indexed) ff.SetVisible(false);
        FSortRow = row;
        if (!Group) {
            SortRows(FGrid.FixedRows(), FGrid.RowCount() - fixedFooters - 1, Indexed);
        } else {
            int deepest = 0;
            for (int r = FGrid.FixedRows(); r < FGrid.RowCount() - fixedFooters; ++r)
                if (IsNode(r)) deepest = std::max(deepest, GetNodeLevel(r));
            for (int r = FGrid.FixedRows(); r < FGrid.RowCount() - fixedFooters; ++r)
                if (IsNode(r) && GetNodeLevel(r) == deepest && !GetNodeState(r) && GetNodeSpan(r) > 2)
                    SortRows(r + 1, std::min(r + GetNodeSpan(r) - 1, FGrid.RowCount() - fixedFooters - 1), Indexed);
        }
        bool disjunct = FGrid.MouseActions().DisjunctRowSelect();
        if (moveRow && (Indexed || Group || !disjunct)) row = FSortRow;
        if (row >= 0 && row < FGrid.RowCount() && row != FGrid.Row()) FGrid.SetRow(row);
        if (!Indexed && !Group && !moveRow && FGrid.OnRowChanged) FGrid.OnRowChanged(&FGrid, oldRow, FGrid.Row());
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TExGridTools::QSort() { RunSort(false, false); }

void TExGridTools::QSortIndexed() { RunSort(true, false); }

void TExGridTools::QSortGroup() { RunSort(false, true); }

void TExGridTools::QSortGroupIndexed() { RunSort(true, true); }

void TExGridTools::QUnSort() {
    if (FSortRowXRef.empty()) return;
    std::vector<int> xref = FSortRowXRef;
    int n = std::min(int(xref.size()), FGrid.RowCount());
    TSortSettings& ss = FGrid.SortSettings();
    bool keepCol0 = ss.NormalCellsOnly() && FGrid.FixedCols() > 0;
    std::vector<String> col0;
    if (keepCol0)
        for (int r = 0; r < n; ++r) col0.push_back(FGrid.GetGridCell(0, r));
    int lastWidth = FGrid.ColWidths(FGrid.ColCount() - 1);
    bool single = ss.SingleColumn();
    ss.SetSingleColumn(false);
    FGrid.BeginUpdate();
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[size_t(i)] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return xref[size_t(a)] < xref[size_t(b)]; });
    ApplyOrder(0, order);
    InitSortXRef();
    ss.SetSingleColumn(single);
    if (keepCol0)
        for (int r = 0; r < n; ++r) FGrid.SetGridCell(0, r, col0[size_t(r)]);
    FGrid.SetColWidths(FGrid.ColCount() - 1, lastWidth);
    FGrid.EndUpdate();
}

void TExGridTools::Sort(int Column, TSortDirection Direction) {
    FGrid.SortSettings().SetColumn(Column);
    FGrid.SortSettings().SetDirection(Direction);
    QSort();
}

void TExGridTools::SortByColumn(int Col) {
    if (FGrid.RowCount() < 2) return;
    FGrid.SortSettings().SetColumn(Col);
    QSort();
}

int TExGridTools::SortedRowIndex(int ARow) {
    for (int i = 0; i < int(FSortRowXRef.size()); ++i)
        if (FSortRowXRef[size_t(i)] == ARow) return i;
    return ARow;
}

int TExGridTools::UnSortedRowIndex(int ARow) {
    return ARow >= 0 && ARow < int(FSortRowXRef.size()) ? FSortRowXRef[size_t(ARow)] : ARow;
}
