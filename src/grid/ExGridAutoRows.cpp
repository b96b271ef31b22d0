// Rows added, inserted and deleted from the keyboard, as the navigation
// settings allow, each asked for and reported through the grid's events.
#include "grid/ExGrid.h"

#include "framework/Windows.h"

#include <vector>

void TExStringGrid::DeleteRowAuto(int ARow) {
    if (RowCount() - FixedRows() - FFixedFooters == 1 && !FixedRowAlways()) {
        for (int c = 0; c < ColCount(); ++c) {
            SetCells(c, ARow, String());
            SetObjects(c, ARow, nullptr);
        }
    } else {
        RemoveRows(ARow, 1);
    }
    if (OnAutoDeleteRow) OnAutoDeleteRow(this, ARow);
}

void TExStringGrid::AppendRowOnArrowDown() {
    bool allow = true;
    DoCanAddRow(allow);
    if (!allow) return;
    const bool footer = FFloatingFooter.Visible();
    auto clearRow = [this](int ARow) {
        for (int c = 0; c < TotalColCount(); ++c) {
            SetCells(c, ARow, String());
            SetObjects(c, ARow, nullptr);
        }
    };
    if (footer) {
        // The footer row stays last: its texts move down into the new row.
        std::vector<String> kept;
        for (int c = 0; c < TotalColCount(); ++c) kept.push_back(Cells(c, RowCount() - 1));
        AddRowAuto();
        clearRow(RowCount() - 2);
        for (int c = 0; c < int(kept.size()); ++c) SetCells(c, RowCount() - 1, kept[size_t(c)]);
    } else {
        AddRowAuto();
        clearRow(RowCount() - 1);
    }
    if (footer || FFixedFooters > 0) SetRow(Row() + 1);
    if (footer) CalcFooter(-1);
    if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::AutoRowKey(Word Key, TShiftState Shift, bool BeforeMove) {
    const bool footer = FFloatingFooter.Visible();
    const bool alt = Shift.Contains(ssAlt);
    auto clearRow = [this](int ARow) {
        for (int c = 0; c < ColCount(); ++c) {
            SetCells(c, ARow, String());
            SetObjects(c, ARow, nullptr);
        }
    };
    // Filtered rows are put back around the change so that they keep their places.
    auto unfiltered = [this](auto Change) {
        const bool filtered = FilterActive();
        if (filtered) SetFilterActive(false);
        Change();
        if (filtered) SetFilterActive(true);
    };

    if (BeforeMove) {
        if (Key == VK_DOWN && FNavigation.AppendOnArrowDown() && IsLastDataRow()) AppendRowOnArrowDown();
        return;
    }

    if (Key == VK_INSERT && FNavigation.AllowInsertRow() && !alt && !Shift.Contains(ssCtrl) &&
        !Shift.Contains(ssShift)) {
        bool allow = true;
        DoCanInsertRow(Row(), allow);
        if (!allow) return;
        const int p = Row();
        int at = 0, next = p;
        const int real = RealRowIndex(p);
        unfiltered([&] {
            if (FNavigation.InsertPosition() == pInsertAfter) {
                if (FixedRowAlways() && FixedRows() == RowCount()) {
                    at = real;
                    next = 1;
                } else {
                    at = real + 1;
                    next = p + 1 < RowCount() ? p + 1 : p;
                }
            } else {
                at = real;
            }
            InsertRowAuto(at);
        });
        if (OnAutoInsertRow) OnAutoInsertRow(this, at);
        FModifiedPublic = true;
        if (next < RowCount()) SetRow(next);
        CalcFooter(-1);
        return;
    }

    if (Key == VK_DELETE && FNavigation.AllowDeleteRow() && !alt && RowCount() - FFixedFooters - FixedRows() >= 1 &&
        Row() >= FixedRows()) {
        const int real = RealRowIndex(Row());
        bool allow = true;
        if (OnCanDeleteRow) OnCanDeleteRow(this, real, allow);
        if (!allow) return;
        unfiltered([&] { DeleteRowAuto(real); });
        if (footer && Row() + 1 == RowCount()) SetRow(RowCount() - 2);
        StoreOldCell(Col(), Row());
        FModifiedPublic = true;
        CalcFooter(-1);
    }
}
