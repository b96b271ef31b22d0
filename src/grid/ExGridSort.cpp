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
#include <memory>

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

namespace {

// The keys of one column's cells, read when first compared and kept.
struct TKeptColumn {
    TSortFormat Format;
    // By row from the first sorted one; made on the first tie, as most
    // columns after the key column are never read.
    std::vector<std::unique_ptr<TCellSortKey>> Keys;
};

// What the partition moves per row: the row and, for a key that compares
// as a number with any other such key, its value (see CompareCellSortKeys).
struct TSortSlot {
    double Value = 0;
    int Row = 0;
    bool Numeric = false;
    bool Valid = false;
    bool Blank = false;
};

TSortSlot SortSlot(const TCellSortKey& K, int Row) {
    TSortSlot s;
    s.Row = Row;
    // Automatic keys compare as numbers when both read as numbers, unless
    // both are check boxes; the alphanumeric styles when both read as numbers.
    switch (K.Style) {
    case ssAutomatic: s.Numeric = K.Number && !K.Box; break;
    case ssAlphaNumeric:
    case ssAlphaNumericNoCase: s.Numeric = K.Number; break;
    case ssNumeric:
    case ssFinancial: s.Numeric = true; break;
    default: break;
    }
    s.Value = K.NumberValue;
    s.Valid = K.NumberValid;
    s.Blank = K.NumberBlank;
    return s;
}

// The number rule of CompareCellSortKeys, blanks kept apart as it keeps them.
int CompareNumbers(const TSortSlot& A, const TSortSlot& B, bool IgnoreBlanks, bool BlanksLast, TSortDirection Dir) {
    if (IgnoreBlanks && A.Blank != B.Blank) {
        const int ascending = A.Blank ? (BlanksLast ? 1 : -1) : (BlanksLast ? -1 : 1);
        return Dir == sdAscending ? ascending : -ascending;
    }
    if (!A.Valid && !B.Valid) return 0;
    return A.Value > B.Value ? 1 : (A.Value == B.Value ? 0 : -1);
}

// The partition sort of the rows' slots: the pivot is the middle slot; a
// slot that orders after it (Order gives 1) stays left of i, one before it
// right of j; equal slots are swapped only in an indexed sort.
template <class Order>
void PartitionSort(std::vector<TSortSlot>& Slots, bool Indexed, Order Cmp) {
    std::vector<std::pair<int, int>> stack{{0, int(Slots.size()) - 1}};
    while (!stack.empty()) {
        auto [L, R] = stack.back();
        stack.pop_back();
        const TSortSlot pivot = Slots[size_t((L + R) / 2)];
        int i = L, j = R;
        do {
            while (Cmp(pivot, Slots[size_t(i)]) == 1 && i < R) ++i;
            while (Cmp(Slots[size_t(j)], pivot) == 1 && j > L) --j;
            if (i <= j) {
                if (i != j && (Indexed || Cmp(Slots[size_t(i)], Slots[size_t(j)]) != 0))
                    std::swap(Slots[size_t(i)], Slots[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The left part first, as a recursion would take them: an event
        // that compares cells sees the pairs in that order.
        if (i < R) stack.push_back({i, R});
        if (L < j) stack.push_back({L, j});
    }
}

bool FixedRule(TSortStyle Style) { return Style >= ssAutomatic && Style <= ssAlphaNumericNoCase && Style != ssCustom && Style != ssRaw; }

}  // namespace

// The key of the sort column (or the first index column) is read once per
// row; the columns after it only when rows tie. When reading keys fires no
// event and every column that may be compared has a fixed rule, each cell's
// key is read once and kept, and a row compares equal to itself without
// its cells being compared again (the comparison counter still counts those
// comparisons). Otherwise ties read their cells afresh at each comparison,
// as an event may answer differently each time.
void TExGridTools::SortRows(int FromRow, int ToRow, bool Indexed) {
    if (ToRow <= FromRow) return;
    TSortSettings& ss = FGrid.SortSettings();
    int keyCol = Indexed ? SortIndexes.GetSortColumns(0) : ss.Column();
    FSortDir = ss.Direction() == sdDescending ? -1 : 1;
    const int keyDir = Indexed ? (SortIndexes.GetSortDirections(0) ? 1 : -1) : FSortDir;
    const TSortDirection keyDirection = keyDir < 0 ? sdDescending : sdAscending;
    const bool full = ss.Full();
    const bool keyIgnored = IgnoreColumns.HasValue(keyCol);
    const int total = FGrid.TotalColCount();
    const size_t n = size_t(ToRow - FromRow + 1);

    // The columns compared after the key column, with the direction of each.
    std::vector<std::pair<int, int>> ties;
    if (full) {
        if (!Indexed)
            for (int c = keyCol + 1; c < total; ++c) ties.push_back({c, FSortDir});
        else
            for (int k = 1; k < SortIndexes.Count(); ++k)
                if (const int c = SortIndexes.GetSortColumns(k); c < total)
                    ties.push_back({c, SortIndexes.GetSortDirections(k) ? 1 : -1});
    }
    bool keep = FGrid.SortKeysSilent();
    TSortFormat keyFormat;
    std::vector<std::unique_ptr<TKeptColumn>> kept;
    long long selfCompares = keyIgnored ? 0 : 1;
    if (keep) {
        keyFormat = FGrid.SortFormat(keyCol);
        keep = FixedRule(keyFormat.Style);
        kept.resize(size_t(std::max(total, 0)));
        for (const auto& [c, dir] : ties) {
            if (!keep) break;
            if (IgnoreColumns.HasValue(c) || kept[size_t(c)]) continue;
            auto col = std::make_unique<TKeptColumn>();
            col->Format = FGrid.SortFormat(c);
            keep = FixedRule(col->Format.Style);
            kept[size_t(c)] = std::move(col);
        }
        for (const auto& [c, dir] : ties) selfCompares += IgnoreColumns.HasValue(c) ? 0 : 1;
    }
    auto keptKey = [&](int c, int Row) -> const TCellSortKey& {
        TKeptColumn& col = *kept[size_t(c)];
        if (col.Keys.empty()) col.Keys.resize(n);
        std::unique_ptr<TCellSortKey>& k = col.Keys[size_t(Row - FromRow)];
        if (!k) k = std::make_unique<TCellSortKey>(FGrid.CellSortKey(col.Format, c, Row));
        return *k;
    };
    // The key column's keys are read once per row. What the partition moves
    // is a small slot per row: most pairs of a numeric column compare by the
    // slots' values alone, the rest by the rows' whole keys.
    const bool ignoreBlanks = ss.IgnoreBlanks(), blanksLast = ss.BlankPos() == blLast;
    std::vector<TCellSortKey> keys(n);
    std::vector<TSortSlot> slots(n);
    for (size_t i = 0; i < n; ++i) {
        const int row = FromRow + int(i);
        keys[i] = keep ? FGrid.CellSortKey(keyFormat, keyCol, row) : FGrid.CellSortKey(keyCol, row);
        slots[i] = SortSlot(keys[i], row);
    }
    // Counted here and added once: the partition compares millions of pairs.
    struct TCount {
        long long& Total;
        long long N = 0;
        ~TCount() { Total += N; }
    } counted{Compares};
    auto slowCmp = [&](const TSortSlot& SA, const TSortSlot& SB) __attribute__((noinline)) {
        const int A = SA.Row, B = SB.Row;
        if (keep && A == B) {
            counted.N += selfCompares;
            return 0;
        }
        int res = 0;
        if (!keyIgnored) {
            if (SA.Numeric && SB.Numeric) {
                ++counted.N;
                res = CompareNumbers(SA, SB, ignoreBlanks, blanksLast, keyDirection) * keyDir;
            } else {
                res = FGrid.CompareCellSortKeys(keys[size_t(A - FromRow)], keys[size_t(B - FromRow)], keyDirection) *
                      keyDir;
            }
        }
        if (res != 0 || !full) return res;
        if (keep) {
            for (const auto& [c, dir] : ties) {
                if (IgnoreColumns.HasValue(c)) continue;
                res = FGrid.CompareCellSortKeys(keptKey(c, A), keptKey(c, B), dir < 0 ? sdDescending : sdAscending) *
                      dir;
                if (res != 0) return res;
            }
            return 0;
        }
        if (!Indexed) return keyCol + 1 < total ? CompareRows(A, B, keyCol + 1, FSortDir, true) : 0;
        for (int k = 1; k < SortIndexes.Count(); ++k) {
            res = CompareRows(A, B, SortIndexes.GetSortColumns(k), SortIndexes.GetSortDirections(k) ? 1 : -1, false);
            if (res != 0) return res;
        }
        return 0;
    };
    // Two different rows with numbers that differ decide here; all else above.
    const bool numbersFirst = !keyIgnored;
    auto cmp = [&](const TSortSlot& SA, const TSortSlot& SB) {
        if (numbersFirst && SA.Numeric && SB.Numeric && SA.Row != SB.Row) {
            const int res = CompareNumbers(SA, SB, ignoreBlanks, blanksLast, keyDirection) * keyDir;
            if (res != 0) {
                ++counted.N;
                return res;
            }
        }
        return slowCmp(SA, SB);
    };
    // A column of valid numbers, with no blank set apart: two values that
    // differ decide by themselves (as the number rule compares them).
    bool plainNumbers = !keyIgnored;
    for (size_t i = 0; i < n && plainNumbers; ++i)
        plainNumbers = slots[i].Numeric && slots[i].Valid && !(ignoreBlanks && slots[i].Blank);
    if (plainNumbers) {
        PartitionSort(slots, Indexed, [&](const TSortSlot& SA, const TSortSlot& SB) {
            if (SA.Value != SB.Value) {
                ++counted.N;
                return SA.Value > SB.Value ? keyDir : -keyDir;
            }
            return slowCmp(SA, SB);
        });
    } else {
        PartitionSort(slots, Indexed, cmp);
    }
    std::vector<int> perm(n);
    for (size_t i = 0; i < n; ++i) perm[i] = slots[i].Row;
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
