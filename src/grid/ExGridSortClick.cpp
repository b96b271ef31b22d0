// A left release on the sort row sorts by the clicked column; a release on
// the small button at the right of a filter-row cell opens the column's
// filter list. The sorting and filtering themselves are the data tools'.
#include "grid/ExGrid.h"

#include "framework/Messages.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <algorithm>

namespace {

// A release this close to a header border belongs to column sizing.
constexpr int SizingMargin = 4;
// The header buttons (filter, fixed drop-down) take this much at a cell's right.
constexpr int HeaderButtonWidth = 16;
// The filter button's zone: inside the sizing margin it is not, and it is one button high.
constexpr int FilterButtonRightMargin = 3;
constexpr int FilterButtonHeight = 19;
// The list hangs from the button.
constexpr int FilterListOffset = 16;
// Room for the list's edges around its widest entry.
constexpr int FilterEntryPadding = 8;

}  // namespace

// The tools build the automatic list of the column's values, then the event has its say.
bool TExStringGrid::DoGetColumnFilter(int Col) { return FTools->DoGetColumnFilter(Col); }

bool TExStringGrid::IsInCheckBox(int ACol, int ARow, int XPos, int YPos) {
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return false;
    switch (g->CellType) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctRadioButton:
    case ctTriStateCheckBox: break;
    default: return false;
    }
    if (!FMouseActions.PreciseCheckBoxCheck()) return true;
    // The box stands by its vertical alignment, beside its text by the text's alignment.
    const TRect R = CellRect(DisplColIndex(ACol), ARow);
    const int s = FControlLook.CheckSize;
    const int top = g->CellVAlign == vaBottom   ? R.Bottom - s - 2
                    : g->CellVAlign == vaCenter ? R.Top + (R.Bottom - R.Top - s) / 2
                                                : R.Top + 2;
    int left = R.Left + 2;
    switch (DoGetAlignment(ACol, ARow)) {
    case taRightJustify: {
        left = R.Right - s - 2;
        if (const String text = GetCellEx(ACol, ARow); !text.empty()) left -= Canvas().TextWidth(text);
        break;
    }
    case taCenter: left = R.Left + (R.Right - R.Left - s) / 2; break;
    default: break;
    }
    return XPos >= left && XPos < left + s && YPos >= top && YPos < top + s;
}

void TExStringGrid::HeaderSortClick(int ACol, int ARow, int X, int Y, int PressCol, int PressRow) {
    (void)PressCol;
    // A release that ends a header move never sorts; the next one may.
    const bool moved = FColMoveFlg;
    FColMoveFlg = false;
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return;
    const int N = RealColIndex(ACol);
    const TRect R = CellRect(ACol, ARow);
    if (ARow == 0 && Options().Contains(goColSizing) && (X - R.Left < SizingMargin || R.Right - X < SizingMargin))
        return;
    // A release on a header button (the fixed drop-down or the filter button) is the button's.
    if (X > R.Right - HeaderButtonWidth &&
        ((FControlLook.FixedDropDownButton && DoCanShowFixedDropDown(N)) || DoGetColumnFilter(N)))
        return;

    const bool sortable = FSortSettings.Row() == ARow && ARow == PressRow && TCustomGrid::FixedRows() > 0 &&
                          !IsInCheckBox(N, ARow, X, Y) && FSortSettings.Show() && !moved && RowCount() > 2;
    if (!sortable) return;
    bool allow = !IsIgnoredColumn(N);
    if (OnCanSort) OnCanSort(this, N, allow);
    if (!allow) {
        // Takes back the header's pressed look.
        InvalidateCell(ACol, FSortSettings.Row());
        return;
    }

    HideInplaceEdit();
    if (RowCount() != int(SortRowXRef().size())) FDataTools->InitSortXRef();

    // Merged areas would mix rows of different data once sorted: split them
    // first, merge the listed columns again after.
    const bool remerge = FSortSettings.AutoColumnMerge();
    if (remerge)
        for (int c = 0; c < ColCount(); ++c) SplitColumnCells(c);

    const bool keepLeft = FNavigation.KeepHorizScroll() && Options().Contains(goRowSelect);
    const int left = LeftCol();
    // Runs the sort with the left column kept, also when the sort raises.
    auto runSort = [&](auto&& sort) {
        FTools->SortTime = GetTickCount();
        if (keepLeft) BeginUpdate();
        try {
            sort();
        } catch (...) {
            if (keepLeft) {
                SetLeftCol(left);
                EndUpdate();
            }
            FTools->SortTime = GetTickCount() - FTools->SortTime;
            throw;
        }
        if (keepLeft) {
            SetLeftCol(left);
            EndUpdate();
        }
        FTools->SortTime = GetTickCount() - FTools->SortTime;
    };

    const bool initAscending = FSortSettings.InitSortDirection() == sdAscending;
    if (FSortSettings.IndexShow()) {
        const Word key = FSortSettings.IndexSortKey() == ikShift ? VK_SHIFT : VK_CONTROL;
        if (GetKeyState(key) < 0) {
            if (SortIndexes().FindIndex(N) < 0) SortIndexes().AddIndex(N, initAscending);
            else SortIndexes().ToggleIndex(N);
        } else if (SortIndexes().Count() == 1 && SortIndexes().GetSortColumns(0) == N) {
            SortIndexes().ToggleIndex(N);
        } else {
            SortIndexes().Clear();
            SortIndexes().AddIndex(N, initAscending);
        }
        runSort([this] {
            if (FHasNodeRows) FDataTools->QSortGroupIndexed();
            else FDataTools->QSortIndexed();
        });
        // The column number only: code that reads a negative column as "not sorted" stays right.
        FSortSettings.SetColumn(SortIndexes().Count() > 0 ? SortIndexes().GetSortColumns(0) : -1);
    } else {
        bool undo = false;
        if (FSortSettings.Column() == N) {
            undo = FSortSettings.Direction() != FSortSettings.InitSortDirection() && FSortSettings.UndoSort();
            FSortSettings.SetDirection(FSortSettings.Direction() == sdAscending ? sdDescending : sdAscending);
        } else {
            FSortSettings.SetDirection(FSortSettings.InitSortDirection());
            FSortSettings.SetColumn(N);
        }
        runSort([this, undo] {
            if (FHasNodeRows) {
                FDataTools->QSortGroup();
            } else if (undo) {
                FDataTools->QUnSort();
                FSortSettings.SetColumn(-1);
            } else {
                FDataTools->QSort();
            }
        });
    }
    if (remerge)
        for (int i = 0; i < FMergedColumns.Count(); ++i) MergeColumnCells(FMergedColumns.GetInteger(i), i == 0);
    // Controls placed in cells go to their rows' new places.
    CellControlsMoved();
    DoClickSort(FSortSettings.Column());
}

void TExStringGrid::FilterButtonRelease(int X, int Y) {
    if (ComponentState().Contains(csDesigning)) return;
    TListBox* list = FDataTools->FilterDropList(FFilterDropDownCheck);
    auto* checkList = FFilterDropDownCheck ? dynamic_cast<TCheckListBox*>(list) : nullptr;
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const int RC = ACol >= 0 ? RealColIndex(ACol) : -1;
    const TRect R = ACol >= 0 && ARow >= 0 ? CellRect(ACol, ARow) : TRect{};
    const bool opens = list && ACol >= 0 && ARow == FFilterDropDownRow && RC != FFilterCol &&
                       X > R.Right - HeaderButtonWidth && X < R.Right - FilterButtonRightMargin &&
                       Y < R.Top + FilterButtonHeight && DoGetColumnFilter(RC);
    if (!opens) {
        // Only the plain list closes here; the check list closes itself.
        if (TListBox* plain = FDataTools->FilterDropList(false); plain && plain->Visible()) plain->SetVisible(false);
        FFilterCol = -1;
        return;
    }

    FFilterCol = RC;
    list->SetColor(FFilterDropDown.Color());
    list->Font().Assign(&FFilterDropDown.Font());
    list->Canvas().Font().Assign(&FFilterDropDown.Font());
    list->Clear();
    int maxW = 0;
    for (int i = 0; i < FFilterList.Count(); ++i) {
        const String entry = FFilterList[i];
        const size_t eq = entry.find(u'=');
        const String shown = eq == String::npos ? entry : entry.substr(0, eq);
        const int idx = list->Items().Add(shown);
        String measured = shown;
        if (checkList) {
            if (FFilter.Count() > 0 && shown.find(u' ') != String::npos) measured = u"\"" + shown + u"\"";
            for (int f = 0; f < FFilter.Count(); ++f)
                if (FFilter.Items(f)->Condition() == measured && FFilter.Items(f)->Column() == FFilterCol)
                    checkList->SetChecked(idx, true);
        } else if (i == 0) {
            list->SetItemIndex(0);
        }
        maxW = std::max(maxW, list->Canvas().TextWidth(measured) + FilterEntryPadding);
    }
    int w = FFilterDropDown.Width(), h = FFilterDropDown.Height();
    if (FFilterDropDown.AutoSize()) {
        h = list->Items().Count() * list->ItemHeight() + 2 * GetSystemMetrics(SM_CYEDGE);
        w = maxW + 2 * GetSystemMetrics(SM_CXEDGE);
    }
    int l = R.Right - FilterListOffset;
    if (FFilterDropDown.ColumnWidth()) {
        w = R.Right - R.Left;
        l = R.Left;
    }
    // A list wider than the room right of the button ends at the column's right edge.
    if (l + w > Width()) l = std::max(0, CellRect(ACol, 0).Right - w);
    list->SetParent(this);
    list->SetBounds(l, R.Top + FilterListOffset, w, h);
    list->SetVisible(true);
    if (list->CanFocus()) list->SetFocus();
}
