// The grid's left release, double click and right click: clicks on fixed
// cells, the end of column sizing, check-box releases, a double click at a
// header border sizing the column left of it, and right clicks on cells.
#include "grid/ExGrid.h"

#include "framework/Messages.h"
#include "framework/Windows.h"
#include "grid/foundation/GridText.h"

#include <cstdlib>

namespace {
// A double click this close to a header border sizes the column at it.
constexpr int BorderGrip = 4;
}  // namespace

void TExStringGrid::WMLButtonUp(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    FMouseSelectMode = msNormal;
    FMouseSelectStart = -1;
    ReleaseCellControlButton();
    SetFixedCellPressed(false, false);
    if (FFixedCellPushed) {
        FFixedCellPushed = false;
        if (HandleAllocated()) InvalidateRect(Handle(), &FPushedFixedCell, false);
    }
    CellButtonRelease(X, Y);
    if (FLook == glListView) {
        // The header's hot face gives way to its plain one.
        InvalidateRow(0);
        if (TCustomGrid::FixedCols() > 0) InvalidateCol(0);
    }
    if (FSizingFixed || FSizingFixedR) {
        if (FSizingFixed) EndFixedSizing(X);
        else EndFixedRowSizing(Y);
        if (FScrollHintShow && FScrollHintWnd) FScrollHintWnd->ReleaseHandle();
        FScrollHintShow = false;
        FDoOnClick = false;
        TBaseGrid::WMLButtonUp(Message);
        return;
    }
    // A release on a button is the button's alone, whoever pressed it; a
    // selection the framework's press started still ends with it. Sizing
    // and moving end as usual.
    const TGridState state = GridState();
    if ((state == gsNormal || state == gsSelecting) && OnCellButton(X, Y)) {
        if (state != gsNormal || MouseCapture()) Perform(WM_CANCELMODE);
        return;
    }
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool sizing = state == gsColSizing || state == gsRowSizing;
    // A sizing dropped past the edge reports no end.
    if (SizingReleasedOutside(X, Y)) ColSized = Rowsized = false;
    const bool sized = FColSizeFlg || sizing;
    FColSizeFlg = false;

    if (FScrollHintShow && FScrollHintWnd) {
        FScrollHintWnd->ReleaseHandle();
        FScrollHintShow = false;
    }
    const bool fixedCell = ACol >= 0 && ARow >= 0 && (ARow < TCustomGrid::FixedRows() || ACol < TCustomGrid::FixedCols());
    // A fixed cell's click comes before the framework's release and its OnMouseUp.
    if (FDoOnClick && fixedCell && !sizing) Click();
    FDoOnClick = false;
    if (SelectionClickRelease(ACol, ARow, X, Y, KeysToShiftState(Message.Keys()))) return;
    const bool deselected = DisjunctRelease(ACol, ARow);

    TBaseGrid::WMLButtonUp(Message);
    // A deselection is no selection change, whatever the release reported.
    if (deselected) FSelChange = false;
    // An editor the click opened has placed its caret by now; one opened
    // later by a key must not follow the mouse.
    LButFlg = false;
    SelectionResizeRelease();
    FTools->AutoSelectGroupRelease(ACol, ARow);

    // The width (height) the release gave ended the sizing there; a sizing
    // that changed nothing leaves no end behind for a later change.
    ColSized = Rowsized = false;

    if (sized || ACol < 0 || ARow < 0) return;
    if (ACol < TCustomGrid::FixedCols() && !SortSettings().FixedCols()) return;
    const int N = RealColIndex(ACol);
    if (HasCheckBox(N, ARow) && OnCheckBoxMouseUp) {
        bool checked = false;
        GetCheckBoxState(N, RealRowIndex(ARow), checked);
        OnCheckBoxMouseUp(this, N, ARow, checked);
    }
    if (IsRadio(N, ARow) && OnRadioMouseUp) OnRadioMouseUp(this, N, ARow, GetRadioIdx(N, ARow));
    // The release that ends an auto-size double click never sorts.
    if (FDblClk) {
        FDblClk = false;
        return;
    }
    SortClick(ACol, ARow, X, Y);
}

void TExStringGrid::CellButtonRelease(int X, int Y) {
    if (FPushedCellButton.X < 0) return;
    const TPoint pushed = FPushedCellButton;
    FPushedCellButton = {-1, -1};
    SetMouseCapture(false);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool inCells = ACol >= 0 && ARow >= 0;
    const bool fixedRow = pushed.Y < TCustomGrid::FixedRows();
    const bool fixed = fixedRow || pushed.X < TCustomGrid::FixedCols() || IsFixed(pushed.X, pushed.Y);
    const bool noDisabledLook = FControlLook.NoDisabledButtonLook;
    const bool enabled = Options().Contains(goEditing) || (inCells && !noDisabledLook && IsCellEditable(ACol, ARow));
    // Drawn released in every case: a button never stays down without the mouse holding it.
    PushButton(pushed.X, pushed.Y, false);
    if (!inCells || !(enabled || noDisabledLook || fixed)) return;
    // A header pressed at its border was sized, not clicked.
    if (GridState() == gsColSizing || GridState() == gsRowSizing) return;
    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    // Only a release over the very button that was pressed clicks it; a
    // fixed cell is a button as a whole.
    const bool same = TPoint{bc, br} == pushed;
    const bool wholeCell = fixedRow || (FFixedAsButtons && pushed.X < TCustomGrid::FixedCols());
    if (!same || !(wholeCell || OnCellButton(X, Y))) return;
    if (HasExpand(RealColIndex(bc), br))
        DoExpandClick(pushed.X, pushed.Y, ToggleExpand(RealColIndex(pushed.X), pushed.Y));
    else
        DoButtonClick(pushed.X, pushed.Y);
}

bool TExStringGrid::OnCellButton(int X, int Y) {
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol < 0 || ARow < 0) return false;
    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    const int rc = RealColIndex(bc);
    if (HasExpand(rc, br)) return PtInRect(GetExpandButtonRect(rc, br), TPoint{X, Y});
    return HasButton(rc, br) && PtInRect(GetCellButtonRect(bc, br), TPoint{X, Y});
}

void TExStringGrid::SortClick(int ACol, int ARow, int X, int Y) {
    // The cell under the press point, as the grid lies now.
    int pressCol = -1, pressRow = -1;
    MouseToCell(Clickposx, Clickposy, pressCol, pressRow);
    HeaderSortClick(ACol, ARow, X, Y, pressCol, pressRow);
}

bool TExStringGrid::SizingReleasedOutside(int X, int Y) {
    return (GridState() == gsColSizing && X >= ClientWidth()) || (GridState() == gsRowSizing && Y >= ClientHeight());
}

void TExStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (IsDesigning()) {
        TBaseGrid::MouseUp(Button, Shift, X, Y);
        // The quick configuration box takes the designer's clicks.
        FTools->DesignHelperClick(X, Y);
        return;
    }
    // A selection the press made (or a drag) is reported with the release.
    const bool reports = Button == mbLeft || (Button == mbRight && FMouseActions.SelectOnRightClick());
    TGridRect sel = Selection();
    if (reports && !(sel == FPressSelection)) SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    // The drop is judged before the framework moves the column or row.
    if (Button == mbLeft) MoveCompletion(X, Y);
    // Dropped past the grid's edge the sizing is given up.
    if (SizingReleasedOutside(X, Y)) {
        SetGridState(gsNormal);
        InvalidateGrid();
        return;
    }
    if (Button == mbLeft) {
        int ACol = -1, ARow = -1;
        MouseToCell(X, Y, ACol, ARow);
        DisjunctCellRelease(ACol, ARow, Shift);
    }
    if (reports) sel = Selection();
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    FilterButtonRelease(X, Y);
    if (reports && !(Selection() == sel)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    // Reported once: a second release (a right click's own) adds nothing.
    if (reports) FPressSelection = Selection();
}

void TExStringGrid::WMLButtonDblClk(TWMMouse& Message) {
    const int X = Message.XPos(), Y = Message.YPos();
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol < 0) {
        if (FFixedRowAlways) {
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
        // Past the last column counts as its header.
        ACol = ColCount() - 1;
        ARow = 0;
    }

    if (ARow >= 0 && ARow < TCustomGrid::FixedRows() && Options().Contains(goColSizing) &&
        FMouseActions.AutoSizeColOnDblClick()) {
        const TRect R = CellRect(ACol, ARow);
        const bool atLeft = std::abs(X - R.Left) < BorderGrip;
        const bool atRight = !atLeft && std::abs(R.Right - X) < BorderGrip;
        if (atLeft || atRight) {
            const int sized = atLeft ? ACol - 1 : ACol;
            FDblClk = true;
            if (sized >= TCustomGrid::FixedCols() && sized < ColCount()) {
                bool allow = true;
                if (OnColumnSize) OnColumnSize(this, sized, allow);
                if (allow) {
                    AutoSizeCol(sized, 0);
                    if (OnEndColumnSize) OnEndColumnSize(this, sized);
                }
            }
            TBaseGrid::WMLButtonDblClk(Message);
            return;
        }
    }

    // A button's double click is two clicks of the button and nothing else.
    if (OnCellButton(X, Y)) return;
    // A check box, radio or button took its action from the first press: no
    // cell double click.
    if (ARow >= 0 && HasClickControl(RealColIndex(ACol), ARow)) {
        TBaseGrid::WMLButtonDblClk(Message);
        FixedCellDblClick(ACol, ARow);
        return;
    }
    TBaseGrid::WMLButtonDblClk(Message);
    if (OnDblClickCell) OnDblClickCell(this, ARow, ACol);
    DblClickEdit(ACol, ARow);
    FixedCellDblClick(ACol, ARow);
}

void TExStringGrid::DblClickEdit(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    if (FMouseActions.EditOnDblClickOnly()) {
        // Editable is asked as a range-select-and-edit grid would be.
        const bool range = FMouseActions.RangeSelectAndEdit();
        FMouseActions.SetRangeSelectAndEdit(true);
        const bool editable = IsEditable(ACol, ARow);
        FMouseActions.SetRangeSelectAndEdit(range);
        if (!editable) return;
        // Moving there first: selecting a cell switches editing off on such a grid.
        FocusCell(ACol, ARow, true);
        SetOptions(Options() + TGridOptions{goEditing});
        ShowInplaceEdit();
    } else if (FMouseActions.RangeSelectAndEdit() && IsEditable(ACol, ARow)) {
        int bc = ACol, br = ARow;
        ResolveBaseCell(ACol, ARow, bc, br);
        FocusCell(bc, br, true);
        SetOptions(Options() + TGridOptions{goEditing});
        ShowInplaceEdit();
    }
}

void TExStringGrid::WMRButtonDown(TWMMouse& Message) {
    FPressSelection = Selection();
    TBaseGrid::WMRButtonDown(Message);
    int ACol = -1, ARow = -1;
    MouseToCell(Message.XPos(), Message.YPos(), ACol, ARow);
    const bool dataCell = ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows();
    const bool inCellSelection = FMouseActions.DisjunctCellSelect() && SelectedCells(ACol, ARow);
    if (FMouseActions.SelectOnRightClick() && dataCell && !inCellSelection) {
        if (!HasClickControl(RealColIndex(ACol), ARow)) {
            // Without its own handler a right click acts on the cell as a left click would.
            if (OnRightClickCell) {
                FocusCell(ACol, ARow, true);
            } else {
                MouseDown(mbLeft, TShiftState{}, Message.XPos(), Message.YPos());
                MouseUp(mbLeft, TShiftState{}, Message.XPos(), Message.YPos());
            }
        }
        const TGridRect s = Selection();
        const bool selected = ACol >= s.Left && ACol <= s.Right && ARow >= s.Top && ARow <= s.Bottom;
        if (selected) {
            bool canSelect = true;
            if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
        } else {
            int bc = ACol, br = ARow;
            ResolveBaseCell(ACol, ARow, bc, br);
            FocusCell(bc, br, true);
        }
        if (FMouseActions.DisjunctRowSelect()) {
            const int r = RowSelectIndex(ARow);
            const bool ctrl = (Message.Keys() & MK_CONTROL) != 0;
            if (ctrl || FMouseActions.DisjunctRowSelectNoCtrl()) {
                SetRowSelect(r, !RowSelect(r));
            } else if (!(RowSelectCount() > 1 && PopupMenu() && RowSelect(r))) {
                // A click inside a selection of several rows keeps it for the pop-up menu.
                ClearRowSelect();
                SetRowSelect(r, true);
            }
        }
    }
    if (OnRightClickCell) OnRightClickCell(this, ARow, ACol);
    if (FURLShow && FURLEdit && dataCell && IsURLText(GetCellEx(RealColIndex(ACol), ARow))) {
        FocusCell(ACol, ARow, true);
        if (!Options().Contains(goEditing)) SetOptions(Options() + TGridOptions{goEditing});
        ShowInplaceEdit();
    }
}

void TExStringGrid::WMRButtonUp(TWMMouse& Message) {
    // A header being moved keeps the right button to itself.
    if (GridState() == gsColMoving || GridState() == gsRowMoving) {
        Message.Result = 0;
        return;
    }
    TBaseGrid::WMRButtonUp(Message);
}
