// The grid's left-button press: check box cells toggle on a press anywhere
// in them, buttons in cells (and fixed cells acting as buttons) are held
// down, every other cell goes through the framework's press and is
// reported as a cell click.
#include "grid/ExGrid.h"

#include "framework/Menus.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

void TExStringGrid::WMLButtonDown(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    FPressCol = ACol;
    FPressRow = ARow;
    Clickposx = X;
    Clickposy = Y;
    FSpinUpClick = FSpinDnClick = false;
    if (FControlLook.SpinButtonsAlwaysVisible && ACol >= 0 && ARow >= 0 && !IsDesigning() &&
        DoHasSpinEdit(RealColIndex(ACol), ARow)) {
        const TRect R = CellRect(ACol, ARow);
        if (CellOffsetX(ACol, ARow, X) > R.Right - R.Left - 18) (Y > (R.Top + R.Bottom) / 2 ? FSpinDnClick : FSpinUpClick) = true;
    }
    FTools->OleArm(ACol, ARow, X, Y);
    FDoOnClick = true;
    const TGridRect oldSel = Selection();
    FPressSelection = oldSel;
    const TShiftState shift = KeysToShiftState(Message.Keys());
    if (SelectionResizePress(X, Y, Message)) return;

    // A refused click does nothing at all: no sizing, no editing, no menu.
    bool allow = true;
    if (OnCanClickCell) OnCanClickCell(this, ARow, ACol, allow);
    if (!allow) return;

    if (IsHoverFixedCell(ACol, ARow))
        SetFixedCellPressed(true, FControlLook.FixedDropDownButton &&
                                      CellOffsetX(ACol, ARow, X) > ColWidths(ACol) - 16);
    if (FixedDropDownPress(ACol, ARow, X)) return;
    if (FLook == glListView && FHotFixedCell.X >= 0 && FHotFixedCell.Y >= 0 && FHotFixedCell.X < ColCount() &&
        FHotFixedCell.Y < RowCount())
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    if (StartFixedSizing(X, Y)) return;
    if (RangeSelectEditPress(ACol, ARow, shift, Message)) return;

    // A plain press on a cell starts a new cell selection.
    if (FMouseActions.DisjunctCellSelect() && !shift.Contains(ssCtrl) && ACol >= TCustomGrid::FixedCols() &&
        ARow >= TCustomGrid::FixedRows() && !FSelectedCells.empty()) {
        FSelectedCells.clear();
        InvalidateGrid();
    }

    FPushedCellButton = {-1, -1};
    FSelectionClick = false;
    // Typing after a click starts a new lookup.
    SearchInc.clear();
    NotePress(X, Y, ACol, ARow);
    if (ACol < 0 || ARow < 0) {
        HideInplaceEdit();
        if (!FFixedRowAlways) TBaseGrid::WMLButtonDown(Message);
        return;
    }

    const int N = RealColIndex(ACol);
    const TRect R = CellRect(ACol, ARow);
    if (FMouseActions.CaretPositioning()) LButFlg = true;
    const bool fixedCell = ACol < TCustomGrid::FixedCols() || ARow < TCustomGrid::FixedRows();
    const bool declaredFixed = !fixedCell && IsFixed(ACol, ARow);
    // Fixed cells are never edited: an open editor closes, its text kept.
    if (fixedCell || declaredFixed) HideInplaceEdit();
    FixedCellButtonPress(ACol, ARow, X, R);
    if (CellControlPress(ACol, ARow, X, Y)) return;
    if (N == 0 && FTools->NodePress(ARow, X - R.Left, Y, shift)) return;
    // Beside the node glyphs column 0 of a grouped grid selects nothing.
    if (N == 0 && ARow >= TCustomGrid::FixedRows() && FTools->NumNodes() > 0 && !FMouseActions.RowSelect() &&
        !Options().Contains(goRowSizing)) {
        if (OnMouseDown) OnMouseDown(this, mbLeft, shift, X, Y);
        if (OnClickCell) OnClickCell(this, ARow, ACol);
        return;
    }
    if (RadioGroupPress(ACol, ARow, X, Y)) return;
    if (SelectionClickPress(ACol, ARow, X, Y, R, shift)) return;
    if (RatingPress(ACol, ARow, X)) return;
    if (CellButtonPress(ACol, ARow, X, Y)) return;
    bool canEdit = Options().Contains(goEditing) || FMouseActions.RangeSelectAndEdit();
    CellEditable(N, ARow, canEdit);
    const bool rowBoxes = ACol == 0 && FMouseActions.HotmailRowSelect();
    const bool inside = ACol < ColCount() && ARow < RowCount();
    const bool radio = HasRadioButton(N, ARow);
    if (inside && (canEdit || FControlLook.CheckAlwaysActive || rowBoxes) && (HasCheckBox(N, ARow) || radio) &&
        IsInCheckBox(N, ARow, X, Y)) {
        HideInplaceEdit();
        if (CanFocus()) SetFocus();
        if (radio) {
            ToggleCellRadio(N, ARow, true);
            if (OnRadioButtonClick) OnRadioButtonClick(this, N, ARow);
        } else {
            ToggleCellCheck(N, ARow, true);
        }
        MarkRowModifiedByToggle(ARow);
        const int real = RealRowIndex(ARow);
        if (rowBoxes) {
            // The row box stands for the row's selection flag (the header's
            // for all rows, with CheckAllCheck below).
            if (ARow >= TCustomGrid::FixedRows()) {
                TGridRect whole;
                whole.Left = TCustomGrid::FixedCols();
                whole.Right = ColCount() - 1;
                whole.Top = whole.Bottom = ARow;
                SetSelection(whole);
            }
            SetRowSelect(real, !RowSelect(real));
            if (real != ARow) RepaintCell(0, ARow);
            if (Row() == ARow && !RowSelect(real)) HideSelection();
        }
        bool state = false;
        GetCheckBoxState(N, real, state);
        if (!FNavigation.AlwaysEdit() && ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows())
            MoveColRow(ACol, ARow, true, true);
        DoCheckBoxClick(ACol, ARow, state);
        if (FHideFocusRect) RepaintCell(ACol, ARow);
        if (ARow < TCustomGrid::FixedRows() && FMouseActions.CheckAllCheck()) {
            // A box in the header sets every row's box, or every row's selection.
            for (int r = TCustomGrid::FixedRows(); r < RowCount(); ++r) {
                if (FMouseActions.HotmailRowSelect()) SetRowSelect(RealRowIndex(r), state);
                else SetCheckBoxState(N, r, state);
            }
            InvalidateGrid();
        }
        if (OnMouseDown) OnMouseDown(this, mbLeft, KeysToShiftState(Message.Keys()), X, Y);
        Click();
        return;
    }

    // Shift extends the row selection from the old selection's corner to the pressed cell.
    if (FMouseActions.DisjunctRowSelect() && ARow >= TCustomGrid::FixedRows() && shift.Contains(ssShift) &&
        !(ACol == 0 && FMouseActions.HotmailRowSelect())) {
        TBaseGrid::WMLButtonDown(Message);
        SetSelection({oldSel.Left, oldSel.Top, ACol, ARow});
        return;
    }
    DisjunctPress(ACol, ARow, shift, oldSel);
    if (!IsDesigning() && AnchorPress(ACol, ARow, X, Y)) return;
    if (declaredFixed) {
        // A cell declared fixed is only reported, never selected; the last
        // row under a floating footer drawn over it not even that.
        const bool underFooter = FFloatingFooter.Visible() && FFloatingFooter.FooterStyle() == fsFixedLastRow &&
                                 ARow == RowCount() - 1;
        if (!underFooter && OnClickCell) OnClickCell(this, ARow, ACol);
        return;
    }

    // The framework's press would open the editor at once on a grid that
    // always edits; here the selection rules decide.
    const bool alwaysEdit = FNavigation.AlwaysEdit();
    const int oldTop = TopRow(), oldLeft = LeftCol();
    const int visRows = VisibleRowCount(), visCols = VisibleColCount();
    // A row-select grid that keeps its column scroll stays where it was.
    const bool keepLeft = Options().Contains(goRowSelect) && FNavigation.KeepHorizScroll();
    if (keepLeft) BeginUpdate();
    FNavigation.SetAlwaysEdit(false);
    TBaseGrid::WMLButtonDown(Message);
    FNavigation.SetAlwaysEdit(alwaysEdit);
    if (keepLeft) {
        if (LeftCol() != oldLeft) SetLeftCol(oldLeft);
        EndUpdate();
    }
    // A press on the partly shown row below, the column right of the view or the
    // first scrolled column starts no range selection that would scroll the grid.
    if (GridState() == gsSelecting && FMouseActions.NoAutoRangeScroll() &&
        (ARow == oldTop + visRows || ACol == oldLeft + visCols ||
         (ACol == oldLeft && oldLeft > TCustomGrid::FixedCols())))
        SetGridState(gsNormal);
    if (TopRow() != oldTop && FMouseActions.NoScrollOnPartialRow()) {
        // The pressed partial row is selected where it stands.
        SetTopRow(oldTop);
        if (HandleAllocated()) PostMessage(Handle(), WM_LBUTTONUP, 0, Message.Message.LParam);
    }
    HeaderSelectPress(ACol, ARow, KeysToShiftState(Message.Keys()));
    if (GridState() == gsColMoving || GridState() == gsRowMoving) MovePressed(X, Y);

    // A press on a column border in the header starts sizing, not a click.
    const bool sizingGrip = ARow < TCustomGrid::FixedRows() && Options().Contains(goColSizing) &&
                            (X - R.Left <= 4 || R.Right - X <= 4);
    if (!sizingGrip && OnClickCell) OnClickCell(this, ARow, ACol);
    if (OnCellValidate) StoreOldCell(Col(), Row());
    DirectEditPress(ACol, ARow, X, R);
}

void TExStringGrid::NotePress(int X, int Y, int ACol, int ARow) {
    // The cell whose right or bottom border the press took: just left of a
    // header's point, just above a fixed column's, else both.
    TGridCoord sized;
    if (ARow == 0) sized = MouseCoord(X - 5, Y);
    else if (ACol == 0) sized = MouseCoord(X, Y - 4);
    else sized = MouseCoord(X - 5, Y - 4);
    Colclicked = sized.X;
    Rowclicked = sized.Y;
    Colclickedsize = Colclicked >= 0 ? ColWidths(Colclicked) : 0;
    Rowclickedsize = Rowclicked >= 0 ? RowHeights(Rowclicked) : 0;
    const TRect edge = Colclicked >= 0 && Rowclicked >= 0 ? CellRect(Colclicked, Rowclicked) : TRect{};
    Clickposdx = X - edge.Right;
    Clickposdy = Y - edge.Bottom;
    // A header press takes the column (row) a drag would move, and where in its header it was taken.
    const int fixedCols = TCustomGrid::FixedCols(), fixedRows = TCustomGrid::FixedRows();
    Movecell = ARow >= 0 && ARow < fixedRows && ACol >= fixedCols   ? ACol
               : ACol >= 0 && ACol < fixedCols && ARow >= fixedRows ? ARow
                                                                    : -1;
    const TRect pressed = ACol >= 0 && ARow >= 0 ? CellRect(ACol, ARow) : TRect{};
    MoveOfsX = X - pressed.Left;
    MoveOfsY = Y - pressed.Top;
}

void TExStringGrid::DirectEditPress(int ACol, int ARow, int X, const TRect& R) {
    // Near a side the press sizes or moves a column instead.
    if (X - R.Left <= 4 || R.Right - X <= 4) return;
    if (ACol < TCustomGrid::FixedCols() || ARow < TCustomGrid::FixedRows()) return;
    const int N = RealColIndex(ACol);
    bool canEdit = Options().Contains(goEditing) || FMouseActions.RangeSelectAndEdit();
    CellEditable(N, ARow, canEdit);
    const bool dblOnly = FMouseActions.EditOnDblClickOnly();
    const bool combo = FControlLook.DropDownAlwaysVisible && DoHasComboBox(N, ARow);
    if (!(canEdit || (dblOnly && combo)) || !(FMouseActions.DirectEdit() || combo)) return;
    // Check boxes, radios and buttons act on the press itself.
    if (HasClickControl(N, ARow)) return;
    if (dblOnly && combo) {
        // A combo shown in the cell drops at once, even on a grid that edits on double clicks.
        SetOptions(Options() + TGridOptions{goEditing});
        if (CanFocus()) SetFocus();
    }
    if (Col() != ACol || Row() != ARow) {
        // The press did not move there (a refusal): the change is asked once more.
        bool allow = true;
        if (ARow != Row() && OnRowChanging) OnRowChanging(this, Row(), ARow, allow);
        if (ACol != Col() && OnColChanging) OnColChanging(this, Col(), ACol, allow);
        if (OnCellChanging) OnCellChanging(this, Row(), Col(), ARow, ACol, allow);
        if (!allow) return;
        FocusCell(ACol, ARow, true);
        if (Col() != ACol || Row() != ARow) return;
    }
    StoreOldCell(ACol, ARow);
    ShowEditor();
}

void TExStringGrid::FixedCellButtonPress(int ACol, int ARow, int X, const TRect& R) {
    const TGridOptions o = Options();
    if (!FFixedAsButtons || !o.Contains(goFixedVertLine) || !o.Contains(goFixedHorzLine) || !Ctl3D()) return;
    if (ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows() && !IsFixed(ACol, ARow)) return;
    // The node glyph of a node row opens or closes its node instead.
    if (RealColIndex(ACol) == 0 && IsNode(ARow) && InNodeClickArea(ARow, CellOffsetX(ACol, ARow, X))) return;
    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    FPushedFixedCell = R;
    FPushedCellButton = {bc, br};
    FFixedCellPushed = true;
    if (HandleAllocated()) InvalidateRect(Handle(), &FPushedFixedCell, false);
}

void TExStringGrid::DrawPushedFixedCell(TCanvas& C) {
    if (!FFixedCellPushed) return;
    TRect e = FPushedFixedCell;
    DrawEdge(C, e, BDR_SUNKENINNER, BF_RECT);
}

bool TExStringGrid::CellButtonPress(int ACol, int ARow, int X, int Y) {
    const bool expand = HasExpand(RealColIndex(ACol), ARow);
    if (!expand && !HasButton(RealColIndex(ACol), ARow)) return false;
    HideInplaceEdit();
    if (ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows()) {
        FForceSel = true;
        FocusCell(ACol, ARow, true);
        FForceSel = false;
    }
    // Off the button the press on its cell is an ordinary one.
    const TRect button = expand ? GetExpandButtonRect(RealColIndex(ACol), ARow) : GetCellButtonRect(ACol, ARow);
    if (!PtInRect(button, TPoint{X, Y})) return false;
    PushButton(ACol, ARow, true);
    FPushedCellButton = {ACol, ARow};
    // The release must come back here even when it happens outside the grid.
    SetMouseCapture(true);
    if (OnClickCell) OnClickCell(this, ARow, ACol);
    return true;
}

void TExStringGrid::ClickControlByKey(Word Key) {
    const int rc = RealColIndex(Col()), r = Row();
    if (!HasClickControl(rc, r)) return;
    if (Key == VK_SPACE && HasCheckBox(rc, r) && KeyMayUseControl(rc, r, FControlLook.CheckAlwaysActive)) {
        ToggleCellCheck(rc, r, true);
        MarkRowModifiedByToggle(r);
        bool state = false;
        GetCheckBoxState(rc, RealRowIndex(r), state);
        DoCheckBoxClick(rc, r, state);
    }
    if (Key == VK_SPACE && HasRadioButton(rc, r) && KeyMayUseControl(rc, r, FControlLook.RadioAlwaysActive)) {
        SetRadioButtonColumnIndex(rc, r);
        if (OnRadioButtonClick) OnRadioButtonClick(this, rc, r);
    }
    if (HasButton(rc, r) && KeyMayUseControl(rc, r, false)) DoButtonClick(rc, r);
    RepaintCell(Col(), r);
}

bool TExStringGrid::RangeSelectEditPress(int ACol, int ARow, TShiftState Shift, TWMMouse& Message) {
    if (!FMouseActions.RangeSelectAndEdit() || ACol < 0 || ARow < 0) return false;
    const TGridRect sel = Selection();
    const bool inSel = ACol >= std::min(sel.Left, sel.Right) && ACol <= std::max(sel.Left, sel.Right) &&
                       ARow >= std::min(sel.Top, sel.Bottom) && ARow <= std::max(sel.Top, sel.Bottom);
    if (Options().Contains(goEditing) && !inSel) SetOptions(Options() - TGridOptions{goEditing});
    if (FMouseActions.EditOnDblClickOnly()) return false;
    const bool current = ACol == Col() && ARow == Row();
    if (current && !Options().Contains(goEditing) && !HasCheckBox(RealColIndex(ACol), ARow) && IsEditable(ACol, ARow)) {
        SetOptions(Options() + TGridOptions{goEditing});
        TBaseGrid::WMLButtonDown(Message);
        ShowInplaceEdit();
        return true;
    }
    if (!current && Options().Contains(goEditing) && Shift.Contains(ssShift)) {
        SetOptions(Options() - TGridOptions{goEditing});
        TBaseGrid::WMLButtonDown(Message);
        return true;
    }
    return false;
}

bool TExStringGrid::FixedDropDownPress(int ACol, int ARow, int X) {
    if (!FControlLook.FixedDropDownButton || !IsHoverFixedCell(ACol, ARow)) return false;
    const TRect R = CellRect(ACol, ARow);
    // The last pixels belong to the column's sizing border.
    const int W = R.Right - R.Left, At = CellOffsetX(ACol, ARow, X);
    const int right = Options().Contains(goColSizing) ? W - 2 : W;
    if (At <= W - 16 || At >= right) return false;
    if (!FFixedDropDownMenu && !OnFixedDropDownClick) return false;
    TPopupMenu* menu = FFixedDropDownMenu;
    bool keep = false;
    if (menu) menu->SetTag(ACol);
    if (OnFixedDropDownClick) OnFixedDropDownClick(this, ACol, ARow, menu, keep);
    if (menu) {
        TrackHoverFixedCell(ACol, ARow);
        const TPoint p = ClientToScreen({UseRightToLeftAlignment() ? R.Left : R.Right - 16, R.Bottom});
        menu->Popup(p.X, p.Y);
        SetFixedCellPressed(false, false);
        if (!keep) TrackHoverFixedCell(-1, -1);
        RepaintCell(ACol, ARow);
    }
    FKeepFixedHighlight = keep;
    return true;
}

bool TExStringGrid::RatingPress(int ACol, int ARow, int X) {
    const int N = RealColIndex(ACol);
    if (!HasRating(N, ARow) || !IsEditable(N, ARow)) return false;
    HideInplaceEdit();
    // Half a star per 9 pixels from the cell's left edge.
    double rate = std::round(CellOffsetX(ACol, ARow, X) / 9.0) / 2.0;
    if (DoRatingChange(N, ARow, rate)) {
        SetFloats(N, ARow, rate);
        RepaintCell(ACol, ARow);
    }
    return true;
}

void TExStringGrid::SelectAllPress() {
    if (CanFocus()) SetFocus();
    // Hooks that follow exports see the whole grid offered, and given up.
    ExportNotification(0, -1);
    ExportNotification(1, RowCount() - 1);
    ExportNotification(4, -1);
    HideSelection();
    TGridRect all{TCustomGrid::FixedCols(), TCustomGrid::FixedRows(), ColCount() - 1, RowCount() - 1};
    ClickHook(all);
    SetSelection(all);
    FSelHidden = false;
    FShowSel = FShowSelection;
    TBaseGrid::DoExit();
    // The headers marking the active cell follow.
    if (FActiveCellShow) InvalidateGrid();
}

bool TExStringGrid::SelectionClickPress(int ACol, int ARow, int X, int Y, const TRect& R, TShiftState Shift) {
    const int N = RealColIndex(ACol);
    const bool fixedRow = ARow < TCustomGrid::FixedRows();
    if (!FDragDropSettings.OleDropSource() || Options().Contains(goEditing)) return false;
    if (!IsSelected(ACol, ARow) && !(fixedRow && !FEnhRowColMove)) return false;
    if (HasButton(N, ARow) || HasCheckBox(N, ARow) || ACol < TCustomGrid::FixedCols()) return false;
    if (fixedRow && (FMouseActions.ColSelect() || FMouseActions.AllSelect())) return false;
    if (Options().Contains(goColSizing) && (X - R.Left <= 4 || R.Right - X <= 4)) return false;
    // The selection stays whole for a drag that may start with the next move;
    // the release without one narrows it to the pressed cell.
    if (CanFocus()) SetFocus();
    if (OnMouseDown) OnMouseDown(this, mbLeft, Shift, X, Y);
    FSelectionClick = true;
    if (OnClickCell) OnClickCell(this, ARow, ACol);
    return true;
}

bool TExStringGrid::SelectionClickRelease(int ACol, int ARow, int X, int Y, TShiftState Shift) {
    if (!FSelectionClick) return false;
    FSelectionClick = false;
    if (ACol < TCustomGrid::FixedCols() || ARow < TCustomGrid::FixedRows()) return false;
    if (FMouseActions.DisjunctRowSelect() && FDragDropSettings.OleDropSource()) {
        const bool ctrl = Shift.Contains(ssCtrl);
        if (!ctrl) ClearRowSelect();
        if (ctrl || FMouseActions.DisjunctRowSelectNoCtrl()) {
            const int r = RowSelectIndex(ARow);
            SetRowSelect(r, !RowSelect(r));
            if (OnMouseUp) OnMouseUp(this, mbLeft, TShiftState{ssCtrl}, X, Y);
            return true;
        }
    }
    const bool indicator = !FRowIndicator.Empty() && TCustomGrid::FixedCols() > 0;
    if (indicator) RepaintCell(0, Row());
    if (Options().Contains(goRowSelect)) SetSelection({TCustomGrid::FixedCols(), ARow, ColCount() - 1, ARow});
    else SetSelection({ACol, ARow, ACol, ARow});
    if (indicator) RepaintCell(0, Row());
    return false;
}
