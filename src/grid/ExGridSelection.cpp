// The grid's selections beside the rectangle: rows, columns and single
// cells chosen one by one (Ctrl-click, Space, Shift-moves), the modified-row
// marks with their marker, the per-row lists that follow the rows through
// every structure change, and merging cells by equal texts.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>

namespace {

// A selected cell is kept packed as row * 65536 + column, 16 bits each.
int PackCell(int ACol, int ARow) { return int((unsigned(ARow) & 0xFFFFu) << 16 | (unsigned(ACol) & 0xFFFFu)); }

// The flag list reaches Index (new entries cleared).
void Reach(std::vector<char>& List, int Index) {
    if (Index >= int(List.size())) List.resize(size_t(Index) + 1, 0);
}

bool FlagAt(const std::vector<char>& List, int Index) { return Index >= 0 && Index < int(List.size()) && List[size_t(Index)]; }

// The entry moves from From to To, those between close up.
void MoveEntry(std::vector<char>& List, int From, int To) {
    if (From < 0 || To < 0 || From == To) return;
    Reach(List, std::max(From, To));
    const char item = List[size_t(From)];
    List.erase(List.begin() + From);
    List.insert(List.begin() + To, item);
}

}  // namespace

void TShowModified::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TShowModified*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetEnabled(s->FEnabled);
    SetColor(s->FColor);
}

void TShowModified::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (OnChange) OnChange(this);
}

void TShowModified::SetColor(TColor Value) {
    FColor = Value;
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Row and column flags

int TExStringGrid::RowSelectIndex(int ARow) const {
    return FMouseActions.RowSelectPersistent() ? RealRowIndex(ARow) : ARow;
}

bool TExStringGrid::GetRowSelect(int ARow) {
    if (!FMouseActions.RowSelectPersistent() && (ARow < 0 || ARow >= RowCount() + NumHiddenRows()))
        throw EExGridError(u"Invalid row " + IntToStr(ARow) + u" accessed");
    if (FMouseActions.DisjunctRowSelect()) {
        if (ARow < 0) return false;
        Reach(FRowSelect, ARow);
        return FRowSelect[size_t(ARow)];
    }
    const TGridRect s = Selection();
    return ARow >= s.Top && ARow <= s.Bottom;
}

void TExStringGrid::SetRowSelect(int ARow, bool Value) {
    if (ARow < 0 || (ARow >= RowCount() + NumHiddenRows() && RowCount() > TCustomGrid::FixedRows()))
        throw EExGridError(u"Invalid row accessed");
    if (ARow >= int(FRowSelect.size()) || bool(FRowSelect[size_t(ARow)]) != Value) {
        bool allow = true;
        if (OnRowDisjunctSelect) OnRowDisjunctSelect(this, ARow, Value, allow);
        if (!allow) return;
    }
    Reach(FRowSelect, ARow);
    const int shown = FMouseActions.RowSelectPersistent() ? DisplRowIndex(ARow) : ARow;
    char& flag = FRowSelect[size_t(ARow)];
    if (Value) {
        if (!flag) RepaintRow(shown);
        flag = 1;
        if (ARow >= TCustomGrid::FixedRows() && std::find(FSelectedRows.begin(), FSelectedRows.end(), ARow) == FSelectedRows.end())
            FSelectedRows.push_back(ARow);
    } else {
        if (flag) RepaintRow(shown);
        flag = 0;
        std::erase(FSelectedRows, ARow);
    }
    FSelChange = true;
    if (OnRowDisjunctSelected) OnRowDisjunctSelected(this, ARow);
}

bool TExStringGrid::GetColSelect(int ACol) {
    if (ACol < 0 || ACol >= ColCount()) throw EExGridError(u"Invalid column accessed");
    Reach(FColSelect, ACol);
    return FColSelect[size_t(ACol)];
}

void TExStringGrid::SetColSelect(int ACol, bool Value) {
    if (ACol < 0 || ACol >= ColCount()) throw EExGridError(u"Invalid column accessed");
    Reach(FColSelect, ACol);
    if (bool(FColSelect[size_t(ACol)]) == Value) return;
    FColSelect[size_t(ACol)] = Value;
    FSelChange = true;
    RepaintCol(ACol);
}

void TExStringGrid::RepaintRect(TRect R) {
    if (R.Left < 0 || R.Top < 0 || R.Right < 0 || R.Bottom < 0 || !HandleAllocated()) return;
    const int right = std::min(VisibleColCount() + TCustomGrid::FixedCols(), R.Right);
    const TRect a = CellRect(R.Left, R.Top);
    const TRect b = CellRect(right, R.Bottom);
    // The framework's rectangle tells a cell out of view; the merged one does not.
    if (IsRectEmpty(TCustomGrid::CellRect(R.Left, R.Top)) || IsRectEmpty(TCustomGrid::CellRect(right, R.Bottom))) {
        Invalidate();
        return;
    }
    TRect u;
    UnionRect(u, a, b);
    InvalidateRect(Handle(), &u, true);
}

TExInplaceEdit* TExStringGrid::NormalEdit() const { return dynamic_cast<TExInplaceEdit*>(InplaceEditor()); }

void TExStringGrid::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom) {
    // These looks shade the whole selection, so it is drawn anew.
    if (FLook == glVista || FLook == glWin7 || FLook == glOffice2007) InvalidateGridRect(Selection());
    FSelChange = true;
    if (OnSelectionChanged) OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

void TExStringGrid::SelectRows(int RowIndex, int RCount) {
    if (RowIndex + RCount > RowCount()) RCount = RowCount() - RowIndex;
    if (RCount <= 0 || RowIndex < 0) return;
    if (!FMouseActions.DisjunctRowSelect())
        SetSelection({TCustomGrid::FixedCols(), RowIndex, ColCount() - 1, RowIndex + RCount - 1});
    else
        for (int r = RowIndex; r < RowIndex + RCount && r < RowCount(); ++r) SetRowSelect(RowSelectIndex(r), true);
    FSelChange = false;
}

void TExStringGrid::UnSelectRows(int RowIndex, int RCount) {
    if (FMouseActions.DisjunctRowSelect())
        for (int r = std::max(RowIndex, 0); r < RowIndex + RCount && r < RowCount(); ++r)
            SetRowSelect(RowSelectIndex(r), false);
    FSelChange = false;
}

void TExStringGrid::SelectCols(int ColIndex, int CCount) {
    if (CCount <= 0 || ColIndex < 0) return;
    if (!FMouseActions.DisjunctColSelect())
        SetSelection({ColIndex, TCustomGrid::FixedRows(), std::min(ColIndex + CCount, ColCount()) - 1, RowCount() - 1});
    else
        for (int c = ColIndex; c < ColIndex + CCount && c < ColCount(); ++c) SetColSelect(c, true);
}

void TExStringGrid::UnSelectCols(int ColIndex, int CCount) {
    if (!FMouseActions.DisjunctColSelect()) return;
    for (int c = std::max(ColIndex, 0); c < ColIndex + CCount && c < ColCount(); ++c) SetColSelect(c, false);
}

void TExStringGrid::ClearRowSelect() {
    const bool persistent = FMouseActions.RowSelectPersistent();
    for (int i = 0; i < int(FRowSelect.size()); ++i) {
        if (!FRowSelect[size_t(i)]) continue;
        FRowSelect[size_t(i)] = 0;
        RepaintRow(persistent ? DisplRowIndex(i) : i);
    }
    FSelectedRows.clear();
}

void TExStringGrid::ClearColSelect() {
    for (int i = 0; i < int(FColSelect.size()); ++i) {
        if (!FColSelect[size_t(i)]) continue;
        FColSelect[size_t(i)] = 0;
        RepaintCol(i);
    }
}

void TExStringGrid::SelectRowsFromSelection(bool All) {
    const TGridRect s = Selection();
    const int bottom = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
    const int from = All ? TCustomGrid::FixedRows() : s.Top;
    const int to = All ? RowCount() - 1 : bottom;
    for (int r = std::max(from, 0); r <= to && r < RowCount(); ++r) {
        const int idx = RowSelectIndex(r);
        const bool inside = r >= s.Top && r <= bottom;
        if (FlagAt(FRowSelect, idx) != inside) SetRowSelect(idx, inside);
    }
    if (NumHiddenRows() > 0) InvalidateGrid();
}

void TExStringGrid::SelectColsFromSelection(bool All) {
    const TGridRect s = Selection();
    const int from = All ? TCustomGrid::FixedCols() : s.Left;
    const int to = All ? ColCount() - 1 : s.Right;
    for (int c = std::max(from, 0); c <= to && c < ColCount(); ++c) SetColSelect(c, c >= s.Left && c <= s.Right);
}

int TExStringGrid::RowSelectCount() {
    if (!FMouseActions.DisjunctRowSelect()) {
        const TGridRect s = Selection();
        return s.Bottom - s.Top + 1;
    }
    const int n = std::min(int(FRowSelect.size()), RowCount() + NumHiddenRows());
    return int(std::count(FRowSelect.begin(), FRowSelect.begin() + n, char(1)));
}

int TExStringGrid::ColSelectCount() {
    if (!FMouseActions.DisjunctColSelect()) {
        const TGridRect s = Selection();
        return s.Right - s.Left + 1;
    }
    return int(std::count(FColSelect.begin(), FColSelect.end(), char(1)));
}

int TExStringGrid::SelectedRowCount() {
    if (FMouseActions.DisjunctRowSelect()) return int(FSelectedRows.size());
    const TGridRect s = Selection();
    const int bottom = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
    const int left = RealColIndex(s.Left);
    if (const int span = CellSpan(left, s.Top).Y; span > 0 && bottom < s.Top + span) return span + 1;
    if (const int span = CellSpan(left, bottom).Y; span > 0) return bottom - s.Top + span + 1;
    return bottom - s.Top + 1;
}

int TExStringGrid::SelectedColCount() {
    if (FMouseActions.DisjunctColSelect()) return ColSelectCount();
    const TGridRect s = Selection();
    if (const int span = CellSpan(RealColIndex(s.Left), s.Top).X; span > 0 && s.Right < s.Left + span) return span + 1;
    if (const int span = CellSpan(RealColIndex(s.Right), s.Top).X; span > 0) return s.Right - s.Left + span + 1;
    return s.Right - s.Left + 1;
}

int TExStringGrid::SelectedRow(int Index) {
    if (Index < 0) return -1;
    if (FMouseActions.DisjunctRowSelect()) return Index < int(FSelectedRows.size()) ? FSelectedRows[size_t(Index)] : -1;
    const TGridRect s = Selection();
    return s.Top + Index <= s.Bottom ? s.Top + Index : -1;
}

// ---------------------------------------------------------------------------
// Single cells

bool TExStringGrid::SelectedCells(int ACol, int ARow) {
    if (FMouseActions.DisjunctCellSelect())
        return std::find(FSelectedCells.begin(), FSelectedCells.end(), PackCell(ACol, ARow)) != FSelectedCells.end();
    return GridRectContains(Selection(), ACol, ARow);
}

void TExStringGrid::SetSelectedCells(int ACol, int ARow, bool Value) {
    const int key = PackCell(ACol, ARow);
    auto it = std::find(FSelectedCells.begin(), FSelectedCells.end(), key);
    if (Value == (it != FSelectedCells.end())) return;
    if (Value) FSelectedCells.push_back(key);
    else FSelectedCells.erase(it);
    FSelChange = true;
    RepaintCell(ACol, ARow);
}

int TExStringGrid::SelectedCellsCount() {
    if (FMouseActions.DisjunctCellSelect()) return int(FSelectedCells.size());
    FSelectedCells.clear();
    const TGridRect s = Selection();
    if (s.Left == s.Right && s.Top == s.Bottom) FSelectedCells.push_back(PackCell(Col(), Row()));
    else
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r) FSelectedCells.push_back(PackCell(c, r));
    return int(FSelectedCells.size());
}

TGridCoord TExStringGrid::SelectedCell(int Index) {
    if (Index < 0 || Index >= int(FSelectedCells.size()))
        throw EExGridError(u"Invalid selected cell " + IntToStr(Index) + u" accessed");
    const unsigned key = unsigned(FSelectedCells[size_t(Index)]);
    return {int(key & 0xFFFFu), int(key >> 16)};
}

void TExStringGrid::ClearSelectedCells() {
    SetSelection({TCustomGrid::FixedCols(), TCustomGrid::FixedRows(), TCustomGrid::FixedCols(), TCustomGrid::FixedRows()});
    FSelectedCells.clear();
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Modified rows

bool TExStringGrid::RowModified(int ARow) const { return FlagAt(FModifiedRows, ARow); }

void TExStringGrid::SetRowModified(int ARow, bool Value) {
    if (ARow < 0) throw EExGridError(u"Invalid row accessed");
    Reach(FModifiedRows, ARow);
    FModifiedRows[size_t(ARow)] = Value;
    RepaintCell(0, DisplRowIndex(ARow));
}

int TExStringGrid::ModifiedRowCount() const {
    return int(std::count(FModifiedRows.begin(), FModifiedRows.end(), char(1)));
}

void TExStringGrid::ClearModifiedRows() {
    FModifiedRows.clear();
    InvalidateGrid();
}

void TExStringGrid::MarkRowModifiedByToggle(int ARow) {
    if (FShowModified.Enabled()) SetRowModified(RealRowIndex(ARow), true);
}

// ---------------------------------------------------------------------------
// Lists that follow the rows. The row flags of a persistent selection, the
// modified marks and the hidden rows' places count real rows; the plain row
// flags count displayed rows, so hiding and showing rows moves those only.

void TExStringGrid::RowListsInserted(int RowIndex, int RCount, bool Real) {
    const bool persistent = FMouseActions.RowSelectPersistent();
    const int at = Real ? RealRowIndex(RowIndex) : RowIndex;
    auto insert = [&](std::vector<char>& list) {
        if (at >= 0 && at < int(list.size())) list.insert(list.begin() + at, size_t(RCount), 0);
    };
    if (persistent == Real) {
        insert(FRowSelect);
        for (int& r : FSelectedRows)
            if (r >= at) r += RCount;
    }
    if (Real) insert(FModifiedRows);
    if (Real && FUseEnabledRows) insert(FEnabledRows);
}

void TExStringGrid::RowListsRemoved(int RowIndex, int RCount, bool Real) {
    const bool persistent = FMouseActions.RowSelectPersistent();
    const int at = Real ? RealRowIndex(RowIndex) : RowIndex;
    auto remove = [&](std::vector<char>& list) {
        if (at < 0 || at >= int(list.size())) return;
        list.erase(list.begin() + at, list.begin() + std::min(at + RCount, int(list.size())));
    };
    if (persistent == Real) {
        remove(FRowSelect);
        std::erase_if(FSelectedRows, [&](int r) { return r >= at && r < at + RCount; });
        for (int& r : FSelectedRows)
            if (r >= at + RCount) r -= RCount;
    }
    if (Real) remove(FModifiedRows);
    if (Real && FUseEnabledRows) remove(FEnabledRows);
}

void TExStringGrid::RowListsMoved(int FromIndex, int ToIndex) {
    const int rf = RealRowIndex(FromIndex), rt = RealRowIndex(ToIndex);
    const bool persistent = FMouseActions.RowSelectPersistent();
    const int sf = persistent ? rf : FromIndex, st = persistent ? rt : ToIndex;
    MoveEntry(FRowSelect, sf, st);
    for (int& r : FSelectedRows) {
        if (r == sf) r = st;
        else if (sf < st && r > sf && r <= st) --r;
        else if (sf > st && r >= st && r < sf) ++r;
    }
    MoveEntry(FModifiedRows, rf, rt);
}

void TExStringGrid::RowListsSwapped(int Index, int Index2, bool Selection, bool Modified) {
    auto swapFlags = [](std::vector<char>& list, int a, int b) {
        if (!FlagAt(list, a) && !FlagAt(list, b)) return;
        Reach(list, std::max(a, b));
        std::swap(list[size_t(a)], list[size_t(b)]);
    };
    const int ra = RealRowIndex(Index), rb = RealRowIndex(Index2);
    const bool persistent = FMouseActions.RowSelectPersistent();
    const int sa = persistent ? ra : Index, sb = persistent ? rb : Index2;
    if (Selection) {
        swapFlags(FRowSelect, sa, sb);
        for (int& r : FSelectedRows) {
            if (r == sa) r = sb;
            else if (r == sb) r = sa;
        }
    }
    if (Modified) swapFlags(FModifiedRows, ra, rb);
}

void TExStringGrid::ColListsMoved(int FromIndex, int ToIndex) { MoveEntry(FColSelect, FromIndex, ToIndex); }

// ---------------------------------------------------------------------------
// Painting

void TExStringGrid::ApplyDisjunctSelection(int ACol, int ARow, TGridDrawState& AState) {
    if (!FShowSel) return;
    const bool rows = FMouseActions.DisjunctRowSelect(), cols = FMouseActions.DisjunctColSelect();
    const bool cells = FMouseActions.DisjunctCellSelect();
    if (!rows && !cols && !cells) return;
    const bool was = AState.Contains(gdSelected);
    const bool down = FDisjunctMouseDown;
    bool selected = false;
    // While the press that started a selection is held, its row (column)
    // shows what the release will make of it.
    if (rows) {
        const bool in = FlagAt(FRowSelect, RowSelectIndex(ARow)), current = ARow == Row();
        selected = in ? !down || !current : down && current && was;
    }
    if (cols) {
        const bool in = FlagAt(FColSelect, ACol), current = ACol == Col();
        selected = selected || (in ? !down || !current : down && current && was);
    }
    if (cells) {
        const bool in = std::find(FSelectedCells.begin(), FSelectedCells.end(), PackCell(ACol, ARow)) != FSelectedCells.end();
        const bool current = ACol == Col() && ARow == Row();
        selected = selected || in || (GridState() == gsSelecting && was && !current);
    }
    if (selected) AState = TGridDrawState{gdSelected};
    else AState.Exclude(gdSelected);
}

void TExStringGrid::DrawModifiedMark(TCanvas& C, int ARow, TRect R) {
    if (!FShowModified.Enabled() || !RowModified(RealRowIndex(ARow))) return;
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(FShowModified.Color());
    C.Pen().SetColor(FShowModified.Color());
    C.FillRect(Rect(R.Right - 4, R.Top, R.Right, R.Bottom));
}

// ---------------------------------------------------------------------------
// Mouse and keys

void TExStringGrid::DisjunctPress(int ACol, int ARow, TShiftState Shift, const TGridRect&) {
    const bool ctrl = Shift.Contains(ssCtrl);
    if (FMouseActions.DisjunctRowSelect() && ARow >= TCustomGrid::FixedRows() &&
        !(ACol == 0 && FMouseActions.HotmailRowSelect())) {
        if (ctrl || FMouseActions.DisjunctRowSelectNoCtrl()) {
            FDeselectState = FlagAt(FRowSelect, RowSelectIndex(ARow));
        } else {
            FDisjunctMouseDown = true;
            if (!Shift.Contains(ssAlt)) ClearRowSelect();
        }
    }
    if (FMouseActions.DisjunctColSelect() && ACol >= TCustomGrid::FixedCols()) {
        if (ctrl) {
            FDeselectState = FlagAt(FColSelect, ACol);
        } else {
            FDisjunctMouseDown = true;
            ClearColSelect();
        }
    }
}

bool TExStringGrid::DisjunctRelease(int ACol, int ARow) {
    FDisjunctMouseDown = false;
    if (ACol < 0) {
        FDeselectState = false;
        return false;
    }
    bool deselected = false;
    if (FMouseActions.DisjunctRowSelect() && !(ACol == 0 && IsNode(ARow))) {
        if (!(ACol == 0 && FMouseActions.HotmailRowSelect())) SelectRowsFromSelection(false);
        if (FDeselectState && ARow >= TCustomGrid::FixedRows() && ARow < RowCount() - FFixedFooters) {
            SetRowSelect(RowSelectIndex(ARow), false);
            deselected = true;
        }
    }
    if (FMouseActions.DisjunctColSelect()) {
        SelectColsFromSelection(false);
        if (FDeselectState && ACol >= TCustomGrid::FixedCols() && ACol < ColCount()) {
            SetColSelect(ACol, false);
            deselected = true;
        }
    }
    FDeselectState = false;
    return deselected;
}

void TExStringGrid::DisjunctCellRelease(int ACol, int ARow, TShiftState Shift) {
    if (!FMouseActions.DisjunctCellSelect() || ACol < 0 || ARow < 0) return;
    const bool fixed = ACol < TCustomGrid::FixedCols() || ARow < TCustomGrid::FixedRows();
    const TPoint b = BaseCell(RealColIndex(ACol), ARow);
    const int bc = DisplColIndex(b.X), br = b.Y;
    if (!fixed) {
        bool canSelect = true;
        if (OnSelectCell) OnSelectCell(this, bc, br, canSelect);
        if (!canSelect) return;
        if (Shift.Contains(ssShift)) {
            SetSelectedCells(ACol, ARow, true);
        } else if (Shift.Contains(ssCtrl)) {
            SetSelectedCells(bc, br, !SelectedCells(bc, br));
        } else {
            for (int key : FSelectedCells) RepaintCell(int(unsigned(key) & 0xFFFFu), int(unsigned(key) >> 16));
            FSelectedCells.clear();
            FSelectedCells.push_back(PackCell(bc, br));
        }
    } else if (!Shift.Contains(ssCtrl)) {
        FSelectedCells.clear();
        InvalidateGrid();
        return;
    }
    // A dragged rectangle joins the list whole.
    const TGridRect s = Selection();
    if (s.Left != s.Right || s.Top != s.Bottom) {
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                if (!(c == bc && r == br) && !SelectedCells(c, r)) FSelectedCells.push_back(PackCell(c, r));
        for (int key : FSelectedCells) RepaintCell(int(unsigned(key) & 0xFFFFu), int(unsigned(key) >> 16));
    }
    RepaintCell(ACol, ARow);
}

void TExStringGrid::DisjunctKey(Word Key, TShiftState Shift) {
    const bool rows = FMouseActions.DisjunctRowSelect(), cols = FMouseActions.DisjunctColSelect();
    if (!rows && !cols) return;
    if (Key == VK_SPACE) {
        if (rows && Row() >= TCustomGrid::FixedRows()) SetRowSelect(RowSelectIndex(Row()), !RowSelect(RowSelectIndex(Row())));
        if (cols && Col() >= TCustomGrid::FixedCols()) SetColSelect(Col(), !ColSelect(Col()));
        return;
    }
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: break;
    default: return;
    }
    const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
    if (rows) {
        if (plain) ClearRowSelect();
        if (Shift.Contains(ssShift)) SelectRowsFromSelection(true);
        else if (Row() >= TCustomGrid::FixedRows()) SetRowSelect(RowSelectIndex(Row()), true);
    }
    if (cols) {
        if (plain) ClearColSelect();
        if (Shift.Contains(ssShift)) SelectColsFromSelection(true);
        else if (Col() >= TCustomGrid::FixedCols()) SetColSelect(Col(), true);
    }
}

// ---------------------------------------------------------------------------
// Merging by equal texts

void TExStringGrid::MergeColumnCells(int ColIndex, bool MainMerge) {
    if (ColIndex < 0 || ColIndex >= TotalColCount()) return;
    const int first = TCustomGrid::FixedRows(), last = RowCount() - FFixedFooters - 1;
    if (first > last) return;
    int start = first, length = 1;
    for (int r = first + 1; r <= last; ++r) {
        if (GetCellEx(ColIndex, r) == GetCellEx(ColIndex, r - 1) && (MainMerge || RowSpanIdentical(r, r - 1))) {
            ++length;
            continue;
        }
        if (length > 1) MergeCells(ColIndex, start, 1, length);
        start = r;
        length = 1;
    }
    if (length > 1) MergeCells(ColIndex, start, 1, length);
}

void TExStringGrid::MergeRowCells(int RowIndex, bool MainMerge) {
    if (RowIndex < 0 || RowIndex >= RowCount()) return;
    const int first = TCustomGrid::FixedCols(), last = ColCount() - FFixedRightCols - 1;
    if (first > last) return;
    int start = first, counter = 0;
    for (int c = first + 1; c <= last; ++c) {
        if (GetCellEx(c, RowIndex) != GetCellEx(c - 1, RowIndex) || (!MainMerge && !ColSpanIdentical(c, c - 1))) {
            // A run of one cell needs no area.
            if (counter > 0) MergeCells(start, RowIndex, counter + 1, 1);
            start = c;
            counter = 0;
            continue;
        }
        ++counter;
    }
    if (counter > 0) MergeCells(start, RowIndex, counter + 1, 1);
}

void TExStringGrid::SplitColumnCells(int ColIndex) {
    if (ColIndex < 0 || ColIndex >= TotalColCount()) return;
    int r = 0;
    while (r < RowCount() - FFixedFooters) {
        if (IsYMergedCell(ColIndex, r)) {
            const TRect area = FullCell(ColIndex, r);
            SplitCells(ColIndex, r);
            r = area.Bottom + 1;
        } else {
            ++r;
        }
    }
}

void TExStringGrid::SplitRowCells(int RowIndex) {
    if (RowIndex < 0 || RowIndex >= RowCount()) return;
    int c = 0;
    while (c < ColCount() - FFixedRightCols) {
        if (IsMergedCell(c, RowIndex)) {
            const TRect area = FullCell(c, RowIndex);
            SplitCells(c, RowIndex);
            c = area.Right + 1;
        } else {
            ++c;
        }
    }
}

void TExStringGrid::SplitAllCells() {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < TotalColCount(); ++c)
            if (IsMergedCell(c, r)) SplitCells(c, r);
}

void TExStringGrid::MergeCols(int ColIndex1, int ColIndex2, const String& Separator) {
    if (ColIndex1 < 0 || ColIndex2 < 0 || ColIndex1 >= TotalColCount() || ColIndex2 >= TotalColCount() ||
        ColIndex1 == ColIndex2)
        return;
    for (int r = TCustomGrid::FixedRows(); r < RowCount(); ++r)
        SetCellEx(ColIndex1, r, Trim(GetCellEx(ColIndex1, r) + Separator + GetCellEx(ColIndex2, r)));
    RemoveCols(ColIndex2, 1);
}
