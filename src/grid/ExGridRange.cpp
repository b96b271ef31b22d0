// Services on ranges of cells and on the grid's surroundings: the swap
// steps, selecting a block and reading it as text, running numbers, the
// selection listener and the change notifiers, and scrolling while
// something is dragged over the grid.
#include "grid/ExGrid.h"
#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/PictureContainer.h"

#include "framework/ExtCtrls.h"
#include "framework/Messages.h"
#include "framework/RichEdit.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <utility>

void TDragScrollOptions::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDragScrollOptions*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    Active = s->Active;
    Delays = s->Delays;
    Margins = s->Margins;
}

// ---------------------------------------------------------------------------
// Swapping

// Texts and objects (cell properties with them) change places.
void TExStringGrid::SwapCells(int Col1, int Row1, int Col2, int Row2) {
    const String t = GetGridCell(Col1, Row1);
    TObject* o = GetGridObject(Col1, Row1);
    SetGridCell(Col1, Row1, GetGridCell(Col2, Row2));
    SetGridObject(Col1, Row1, GetGridObject(Col2, Row2));
    SetGridCell(Col2, Row2, t);
    SetGridObject(Col2, Row2, o);
}

// The rows' storage (hidden columns too) and their heights.
void TExStringGrid::SwapRowStorage(int Index, int Index2) {
    if (Index < 0 || Index2 < 0) return;
    Data().SwapRows(Index, Index2);
    if (Index >= RowCount() || Index2 >= RowCount()) return;
    const int h = RowHeights(Index), h2 = RowHeights(Index2);
    if (h != h2) {
        SetRowHeights(Index, h2);
        SetRowHeights(Index2, h);
    }
}

void TExStringGrid::SortSwapRows(int Index, int Index2) {
    FTools->SortRowsSwapped(Index, Index2);
    if (FSortSettings.SingleColumn()) {
        if (const int c = FSortSettings.Column(); c >= 0 && Index >= 0 && Index2 >= 0) SwapCells(c, Index, c, Index2);
        return;
    }
    SwapRowStorage(Index, Index2);
    // Chosen rows go with their data only when the current row does; the
    // modified marks only while they are shown.
    RowListsSwapped(Index, Index2, FMouseActions.DisjunctRowSelect() && FNavigation.MoveRowOnSort(),
                    FShowModified.Enabled());
}

void TExStringGrid::SwapRows(int Index, int Index2) {
    for (int r : {Index, Index2})
        if (r < 0 || r >= RowCount()) throw EExGridError(u"Invalid row " + IntToStr(r) + u" accessed");
    if (Index == Index2) return;
    SwapRowStorage(Index, Index2);
    RowListsSwapped(Index, Index2);
    CellControlsMoved();
    InvalidateGrid();
}

void TExStringGrid::SwapColumns(int Index, int Index2) {
    for (int c : {Index, Index2})
        if (c < 0 || c >= TotalColCount()) throw EExGridError(u"Invalid column " + IntToStr(c) + u" accessed");
    if (Index == Index2) return;
    for (int r = 0; r < RowCount(); ++r) SwapCells(Index, r, Index2, r);
    // Hidden rows keep their cells with them.
    for (TGridItem& item : FGridItems) {
        item.Grow(std::max(Index, Index2) + 1);
        item.Items().Exchange(Index, Index2);
    }
    const int w = AllColWidths(Index), w2 = AllColWidths(Index2);
    SetAllColWidths(Index, w2);
    SetAllColWidths(Index2, w);
    if (FSortSettings.Column() == Index) FSortSettings.SetColumn(Index2);
    else if (FSortSettings.Column() == Index2) FSortSettings.SetColumn(Index);
    CellControlsMoved();
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Selection as a block and as text

void TExStringGrid::SelectCells(int FromCol, int FromRow, int ToCol, int ToRow) {
    SetSelection({FromCol, FromRow, ToCol, ToRow});
}

TGridRect TExStringGrid::GetUsedCells() {
    TGridRect used{-1, -1, -1, -1};
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            if (Cells(c, r).empty()) continue;
            if (used.Left < 0) {
                used = {c, r, c, r};
                continue;
            }
            used.Left = std::min(used.Left, c);
            used.Right = std::max(used.Right, c);
            used.Bottom = r;
        }
    return used.Left < 0 ? TGridRect{} : used;
}

namespace {

// RTF carries everything beyond ASCII as escapes, so one byte per character is enough.
String RichToPlain(const String& Rich) {
    ByteString bytes;
    bytes.reserve(Rich.size());
    for (Char c : Rich) bytes += c < 256 ? char(c) : '?';
    return ReadRTF(bytes).PlainText();
}

}  // namespace

String TExStringGrid::SelectedText() {
    TGridRect r = Selection();
    if (Options().Contains(goRowSelect) && FDragDropSettings.OleEntireRows()) {
        r.Left = 0;
        r.Right = ColCount() - 1;
    }
    auto rowText = [&](int row) {
        String line;
        for (int col = r.Left; col <= r.Right; ++col) {
            String s = GetCellEx(RealColIndex(col), row);
            if (s.find(u"{\\") != String::npos) s = RichToPlain(s);
            if (FExcelClipboardFormat && s.find(u"\r\n") != String::npos) QuoteMultiLine(s);
            line += s;
            if (col < r.Right) line += u'\t';
        }
        return line;
    };
    String result;
    if (FMouseActions.DisjunctRowSelect()) {
        // The rows chosen one by one, in grid order.
        bool first = true;
        for (int row = TCustomGrid::FixedRows(); row < RowCount(); ++row) {
            if (!RowSelect(RowSelectIndex(row))) continue;
            if (!first) result += u"\r\n";
            result += rowText(row);
            first = false;
        }
        return result;
    }
    for (int row = r.Top; row <= r.Bottom; ++row) {
        result += rowText(row);
        if (row < r.Bottom) result += u"\r\n";
    }
    return result;
}

bool TExStringGrid::IsSelected(int ACol, int ARow) {
    if (ARow < TCustomGrid::FixedRows() || ACol < TCustomGrid::FixedCols()) return false;
    if (ARow >= RowCount() || ACol >= ColCount()) return false;
    if (FMouseActions.DisjunctCellSelect()) return SelectedCells(ACol, ARow);
    if (FMouseActions.DisjunctRowSelect()) return RowSelect(RowSelectIndex(ARow));
    if (FMouseActions.DisjunctColSelect()) return ColSelect(ACol);
    return GridRectContains(Selection(), ACol, ARow);
}

// ---------------------------------------------------------------------------
// Running numbers

void TExStringGrid::AutoNumberCol(int ACol) {
    if (RowCount() <= 0) return;
    const int first = TCustomGrid::FixedRows(), last = RowCount() - 1 - FFixedFooters;
    for (int r = first + FAutoNumberStart; r <= last; ++r) {
        const int target = FAutoNumberDirection == sdAscending ? r : first + (last - r);
        SetInts(ACol, target, r - first + 1 + FAutoNumberOffset);
    }
}

void TExStringGrid::AutoNumberRow(int ARow) {
    if (ColCount() <= 0) return;
    const int first = TCustomGrid::FixedCols(), last = ColCount() - 1 - FFixedRightCols;
    for (int c = first + FAutoNumberStart; c <= last; ++c) {
        const int target = FAutoNumberDirection == sdAscending ? c : first + (last - c);
        SetInts(RealColIndex(target), ARow, c - first + 1 + FAutoNumberOffset);
    }
}

// ---------------------------------------------------------------------------
// Listeners and notifiers

void TExStringGrid::UnRegisterSelListener(ITExStringGridSelect* AListener) {
    if (FISelect == AListener) FISelect = nullptr;
}

void TExStringGrid::RegisterNotifier(TGridChangeNotifier* Item) {
    if (!Item || std::find(FNotifierList.begin(), FNotifierList.end(), Item) != FNotifierList.end()) return;
    FNotifierList.push_back(Item);
    Item->FreeNotification(this);
}

void TExStringGrid::UnRegisterNotifier(TGridChangeNotifier* ANotifier) {
    auto it = std::find(FNotifierList.begin(), FNotifierList.end(), ANotifier);
    if (it == FNotifierList.end()) return;
    FNotifierList.erase(it);
    ANotifier->RemoveFreeNotification(this);
}

void TExStringGrid::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        if (AComponent == FCellChecker) FCellChecker = nullptr;
        if (AComponent == FGridImages) FGridImages = nullptr;
        if (AComponent == FPictureContainer) FPictureContainer = nullptr;
        if (AComponent == FEditCtrl) FEditCtrl = nullptr;
        std::erase(FNotifierList, AComponent);
        if (AComponent == FDragTmr) FDragTmr = nullptr;
        if (AComponent == FMoveButton) FMoveButton = nullptr;
        for (TArrowWindow*& a : FArrows)
            if (AComponent == a) a = nullptr;
        if (!IsDestroying() && AComponent == FSyncGrid.Grid()) FSyncGrid.SetGrid(nullptr);
        if (!IsDestroying()) ForgetCellControl(AComponent);
    }
    TBaseGrid::Notification(AComponent, Operation);
}

// A grid that does not edit still wants typed characters: they go to the
// incremental lookup of a sorted grid.
void TExStringGrid::WMGetDlgCode(TMessage& Message) {
    TBaseGrid::WMGetDlgCode(Message);
    if (FNavigation.AutoGotoWhenSorted() || !Options().Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

// ---------------------------------------------------------------------------
// Drag scrolling

void TExStringGrid::StopDragScroll() {
    if (!FDragTmr) return;
    TTimer* t = FDragTmr;
    FDragTmr = nullptr;
    t->SetEnabled(false);
    delete t;
}

void TExStringGrid::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    if (!FDragScrollOptions.Active) {
        StopDragScroll();
    } else {
        const TDragScrollDirection previous = FDragScrollDirection;
        FDragScrollDirection = {};
        if (State == dsDragLeave) {
            StopDragScroll();
        } else {
            const TDragScrollMargins& m = FDragScrollOptions.Margins;
            if (Y < m.TopMargin) FDragScrollDirection.Include(dsdUp);
            else if (Y > Height() - m.BottomMargin) FDragScrollDirection.Include(dsdDown);
            if (X < m.LeftMargin) FDragScrollDirection.Include(dsdLeft);
            else if (X > Width() - m.RightMargin) FDragScrollDirection.Include(dsdRight);
            if (FDragScrollDirection.Empty()) {
                StopDragScroll();
            } else if (!FDragTmr) {
                // The parent owns the timer, so that it outlives a grid that is re-created.
                FDragTmr = new TTimer(Parent() ? static_cast<TComponent*>(Parent()) : this);
                FDragTmr->FreeNotification(this);
                FDragTmr->OnTimer = [this](TObject* Sender) { DragScrollTick(Sender); };
                FDragTmr->SetInterval(Cardinal(std::max(1, FDragScrollOptions.Delays.InitialDelay)));
                FDragTmr->SetEnabled(true);
            } else if (!(previous == FDragScrollDirection)) {
                // Each move would restart the wait and a moving mouse would
                // never scroll: only a new direction waits the first delay again.
                FDragTmr->SetInterval(Cardinal(std::max(1, FDragScrollOptions.Delays.InitialDelay)));
            }
        }
    }
    TBaseGrid::DragOver(Source, X, Y, State, Accept);
}

void TExStringGrid::DragDrop(TObject* Source, int X, int Y) {
    // The drop ends the drag without a leave: the scrolling ends with it.
    FDragScrollDirection = {};
    StopDragScroll();
    TBaseGrid::DragDrop(Source, X, Y);
}

void TExStringGrid::DragScrollTick(TObject*) {
    if (!FDragScrollOptions.Active) {
        // The timer is inside its own tick: it stops here and goes with the drag.
        if (FDragTmr) FDragTmr->SetEnabled(false);
        return;
    }
    const Cardinal repeat = Cardinal(std::max(1, FDragScrollOptions.Delays.RepeatDelay));
    if (FDragTmr && FDragTmr->Interval() != repeat) FDragTmr->SetInterval(repeat);
    if (OnDragScroll) {
        bool canScroll = true;
        OnDragScroll(this, TopRow(), LeftCol(), FDragScrollDirection, canScroll);
        if (!canScroll) return;
    }
    if (FDragScrollDirection.Contains(dsdUp)) {
        if (TopRow() > TCustomGrid::FixedRows()) SetTopRow(TopRow() - 1);
    } else if (FDragScrollDirection.Contains(dsdDown)) {
        if (TopRow() + VisibleRowCount() < RowCount()) SetTopRow(TopRow() + 1);
    }
    if (FDragScrollDirection.Contains(dsdLeft)) {
        if (LeftCol() > TCustomGrid::FixedCols()) SetLeftCol(LeftCol() - 1);
    } else if (FDragScrollDirection.Contains(dsdRight)) {
        if (VisibleColCount() + LeftCol() < ColCount()) SetLeftCol(LeftCol() + 1);
    }
}
