// In-text controls of markup cells (buttons, check boxes and radio buttons
// that change their VALUE on a click, edits and combos that open a real
// editor over the control) and the transparent editors of fixed cells.
#include "grid/ExGridCellControls.h"

#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"
#include "grid/foundation/MarkupText.h"

#include "framework/Graphics.h"
#include "framework/Windows.h"

namespace {

bool IsEditControl(const String& Type) { return Type == u"EDIT" || Type == u"PASSWORD" || Type == u"MASK"; }

}  // namespace

// ---------------------------------------------------------------------------
// In-text controls

void TExStringGrid::CreateCellControlEditors() {
    FControlEdit = new TControlEdit(this);
    FControlCombo = new TControlCombo(this);
    FEditTrans = new TGridTransEdit(this);
    FEditTrans->FGrid = this;
    FEditTrans->SetParent(this);
    FComboTrans = new TGridTransCombo(this);
    FComboTrans->FGrid = this;
    FComboTrans->SetParent(this);
}

bool TExStringGrid::CellControlAt(int ACol, int ARow, int X, int Y, const String& ID, TMarkupDrawResult& Out) {
    TFont* font = nullptr;
    const TRect R = MarkupRect(ACol, ARow, font);
    Out = MarkupAt(GetCellEx(RealColIndex(ACol), ARow), R, X, Y, *font, ID);
    return !Out.ControlID.empty() && (ID.empty() || Out.ControlID == ID);
}

bool TExStringGrid::CellControlPress(int ACol, int ARow, int X, int Y) {
    const int N = RealColIndex(ACol);
    String T = GetCellEx(N, ARow);
    if (GridTextKind(T) != MarkupTextKind || !HasControlTag(T)) return false;
    TMarkupDrawResult hit;
    bool clickable = CellControlAt(ACol, ARow, X, Y, String(), hit) &&
                     (Options().Contains(goEditing) || FEditDisable) && !ReadOnly(N, ARow);
    if (clickable) DoCanEditCell(N, ARow, clickable);
    if (!clickable) {
        // A link beside the controls is followed as any link is.
        if (!AnchorAt(ACol, ARow, X, Y).empty()) return false;
        // Elsewhere the press only selects the cell.
        if (OnClickCell) OnClickCell(this, ARow, ACol);
        HideInplaceEdit();
        if (CanFocus()) SetFocus();
        if (ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows()) FocusCell(ACol, ARow, true);
        return true;
    }
    const String type = hit.ControlType, id = hit.ControlID, value = hit.ControlValue;
    if (FCtrlEditing) {
        EndCellControl(nullptr);
        T = GetCellEx(N, ARow);
    }
    if (type == u"BUTTON") {
        FCtrlXY = {N, ARow};
        FCtrlDown = true;
        RepaintCell(ACol, ARow);
    } else if (type == u"CHECK") {
        SetControlValue(T, id, value == u"TRUE" ? u"FALSE" : u"TRUE");
        SetCellEx(N, ARow, T);
    } else if (type == u"RADIO") {
        T = ClearRadioControls(T);
        SetControlValue(T, id, u"TRUE");
        SetCellEx(N, ARow, T);
    }
    if (OnControlClick) OnControlClick(this, ARow, ACol, id, type, value);
    StartCellControl(T, type, id, value, hit.ControlRect, ARow, N, ACol);
    return true;
}

void TExStringGrid::ReleaseCellControlButton() {
    if (!FCtrlDown) return;
    FCtrlDown = false;
    if (FCtrlXY.Y >= 0 && FCtrlXY.Y < RowCount()) RepaintCell(DisplColIndex(FCtrlXY.X), FCtrlXY.Y);
}

void TExStringGrid::DoExit() {
    TBaseGrid::DoExit();
    ReleaseCellControlButton();
}

void TExStringGrid::StartCellControl(const String& Text, const String& CtrlType, const String& CtrlID,
                                     const String& CtrlVal, TRect CtrlRect, int ARow, int RealCol, int DisplCol) {
    const TRect& R = CtrlRect;
    if (!IsEditControl(CtrlType) && CtrlType != u"COMBO") return;
    FCtrlXY = {RealCol, ARow};
    FCtrlID = CtrlID;
    FCtrlType = CtrlType;
    FCtrlEditing = true;
    if (IsEditControl(CtrlType)) {
        TControlEdit& e = *FControlEdit;
        e.SetWidth(0);
        e.SetPasswordChar(CtrlType == u"PASSWORD" ? Char(u'*') : Char(0));
        e.SetEditMask(CtrlType == u"MASK" ? GetControlProp(Text, CtrlID) : String());
        e.OnExit = [this](TObject* Sender) { EndCellControl(Sender); };
        e.SetText(CtrlVal);
        e.SetBounds(R.Left + 1, R.Top + 8, R.Right - R.Left - 4, 14);
        e.SetMaxLength(GetControlMaxLen(Text, CtrlID));
        e.SetParent(this);
        e.SetVisible(true);
        e.BringToFront();
        if (e.CanFocus()) e.SetFocus();
    } else {
        TControlCombo& c = *FControlCombo;
        c.SetWidth(0);
        bool edit = true;
        int dropCount = 8;
        c.SetFlat(false);
        c.SetBounds(R.Left - 1, R.Top + 4, R.Right - R.Left, c.Height());
        c.OnSelect = [this](TObject* Sender) { ControlComboSelect(Sender); };
        c.SetParent(this);
        // The list stays as the previous combo control left it unless the handler fills it.
        if (OnControlComboList) OnControlComboList(this, ARow, DisplCol, CtrlID, CtrlType, CtrlVal, c.Items(), edit, dropCount);
        c.SetStyle(edit ? csDropDown : csDropDownList);
        const int idx = c.Items().IndexOf(CtrlVal);
        if (idx >= 0) c.SetItemIndex(idx);
        if (edit) c.SetText(CtrlVal);
        c.SetDropDownCount(dropCount);
        c.OnExit = [this](TObject* Sender) { EndCellControl(Sender); };
        c.SetHeight(c.ItemHeight() * (dropCount + 2));
        c.SetMaxLength(GetControlMaxLen(Text, CtrlID));
        c.SetVisible(true);
        c.BringToFront();
        c.SetDroppedDown(true);
        if (c.CanFocus()) c.SetFocus();
    }
}

void TExStringGrid::EndCellControl(TObject*) {
    if (!FCtrlEditing) return;
    FCtrlEditing = false;
    const int rc = FCtrlXY.X, r = FCtrlXY.Y;
    String v;
    TWinControl* editor = nullptr;
    if (IsEditControl(FCtrlType)) {
        v = FControlEdit->Text();
        editor = FControlEdit;
    } else if (FCtrlType == u"COMBO") {
        v = FControlCombo->Text();
        editor = FControlCombo;
    }
    if (editor) {
        if (rc >= 0 && rc < TotalColCount() && r >= 0 && r < RowCount()) {
            String t = GetCellEx(rc, r);
            SetControlValue(t, FCtrlID, v);
            SetCellEx(rc, r, t);
        }
        editor->SetVisible(false);
    }
    if (OnControlEditDone) OnControlEditDone(this, r, rc, FCtrlID, FCtrlType, v);
    FCtrlType.clear();
}

void TExStringGrid::ControlComboSelect(TObject*) {
    if (!OnControlComboSelect) return;
    const int idx = FControlCombo->ItemIndex();
    const String item = idx >= 0 && idx < FControlCombo->Items().Count() ? FControlCombo->Items()[idx] : String();
    OnControlComboSelect(this, FCtrlXY.Y, FCtrlXY.X, idx, FCtrlID, item);
}

void TExStringGrid::CellControlKey(Char& Key) {
    if (Key == VK_RETURN) {
        Key = 0;
        EndCellControl(nullptr);
        if (CanFocus()) SetFocus();
    } else if (Key == VK_TAB) {
        Key = 0;
        const String id = FCtrlID;
        const TPoint cell = FCtrlXY;
        EndCellControl(nullptr);
        if (FNavigation.AdvanceAuto()) {
            if (CanFocus()) SetFocus();
            AdvanceCell(Col(), Row(), false, true, false, true);
        } else {
            ActivateCellControl(DisplColIndex(cell.X), cell.Y, id);
        }
    }
}

void TExStringGrid::ActivateCellControl(int ACol, int ARow, const String& ControlID) {
    const int rc = RealColIndex(ACol);
    const String T = GetCellEx(rc, ARow);
    const String id = NextControlID(T, ControlID);
    TMarkupDrawResult hit;
    if (id.empty() || !CellControlAt(ACol, ARow, -1, -1, id, hit)) {
        if (CanFocus()) SetFocus();
        return;
    }
    StartCellControl(T, hit.ControlType, id, hit.ControlValue, hit.ControlRect, ARow, rc, ACol);
}

// ---------------------------------------------------------------------------
// Fixed cells

void TExStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    MouseDownHook(Button, Shift, X, Y);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    // A header's drop-down button opens its menu for either button (the
    // left press took it before the framework's press).
    if (Button == mbRight && FixedDropDownPress(ACol, ARow, X)) return;
    TBaseGrid::MouseDown(Button, Shift, X, Y);
    if (ACol < 0 || ARow < 0) return;
    const bool fixedRow = ARow < TCustomGrid::FixedRows(), fixedCol = ACol < TCustomGrid::FixedCols();
    const TRect R = CellRect(ACol, ARow);
    // With sizing on, a press near a border sizes instead.
    const bool insideX = !Options().Contains(goColSizing) || (X - R.Left > 4 && R.Right - X > 4);
    const bool insideY = !Options().Contains(goRowSizing) || (Y - R.Top > 4 && R.Bottom - Y > 4);
    const TGridFixedCellEdit rows = FMouseActions.FixedRowsEdit(), cols = FMouseActions.FixedColsEdit();
    bool open = false;
    if (Button == mbLeft)
        open = (fixedRow && rows == fceLeftClick && insideX) || (fixedCol && cols == fceLeftClick && insideY);
    else if (Button == mbRight)
        open = (fixedRow && rows == fceRightClick) || (fixedCol && cols == fceRightClick);
    if (open) {
        FixedCellEdit(ACol, ARow);
        return;
    }
    // A coupled grid's current cell follows the press.
    SyncGridFollow(true, true);
}

void TExStringGrid::FixedCellDblClick(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    if ((ARow < TCustomGrid::FixedRows() && FMouseActions.FixedRowsEdit() == fceDblClick) ||
        (ACol < TCustomGrid::FixedCols() && FMouseActions.FixedColsEdit() == fceDblClick))
        FixedCellEdit(ACol, ARow);
}

void TExStringGrid::FixedCellEdit(int ACol, int ARow) {
    if (FEditTrans->Visible() && !FEditTrans->StopEdit()) return;
    if (FComboTrans->Visible() && !FComboTrans->StopEdit()) return;
    bool canEdit = true;
    if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, canEdit);
    if (!canEdit) return;
    FFixedColEdit = ACol;
    FFixedRowEdit = ARow;
    // The corner cell takes the columns' setting.
    TGridFixedCellEditor kind = ACol == 0 ? FMouseActions.FixedColsEditor() : FMouseActions.FixedRowsEditor();
    FComboTrans->Items().Assign(FMouseActions.FixedComboValues());
    DoFixedEdit(ACol, ARow, kind, FComboTrans->Items());
    TRect R = CellRect(ACol, ARow);
    InflateRect(R, -1, -1);
    const int rc = RealColIndex(ACol);
    const String text = GetCellEx(rc, ARow);
    TWinControl* editor;
    if (kind == fceComboEdit || kind == fceComboList) {
        TGridTransCombo& c = *FComboTrans;
        c.SetBounds(R.Left - 1, R.Top - 1, R.Right - R.Left + 1, R.Bottom - R.Top);
        c.SetStyle(kind == fceComboEdit ? csDropDown : csDropDownList);
        c.OnChange = [this](TObject* Sender) { FixedEditChange(Sender); };
        const int idx = c.Items().IndexOf(text);
        c.SetItemIndex(idx);
        if (kind == fceComboEdit) c.SetText(text);
        c.SetCol(rc);
        c.SetRow(ARow);
        editor = &c;
    } else {
        TGridTransEdit& e = *FEditTrans;
        e.SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
        e.OnChange = [this](TObject* Sender) { FixedEditChange(Sender); };
        e.SetText(text);
        e.SetCol(rc);
        e.SetRow(ARow);
        editor = &e;
    }
    editor->SetVisible(true);
    editor->BringToFront();
    if (editor->CanFocus()) editor->SetFocus();
}

void TExStringGrid::FixedEditChange(TObject* Sender) {
    if (!OnEditChange) return;
    const String text = Sender == FComboTrans ? FComboTrans->Text() : FEditTrans->Text();
    OnEditChange(this, FFixedColEdit, FFixedRowEdit, text);
}

bool TExStringGrid::StopFixedEdit(TWinControl* Editor, const String& Text, int ACol, int ARow) {
    String value = Text;
    bool valid = true;
    if (OnCellValidate) OnCellValidate(this, ACol, ARow, value, valid);
    if (valid) {
        if (OnEditingDone) OnEditingDone(this);
        if (ACol >= 0 && ACol < TotalColCount() && ARow >= 0 && ARow < RowCount()) SetCellEx(ACol, ARow, value);
        Editor->SetVisible(false);
        return true;
    }
    // Refused: the edit goes on where it was, the fixed cell being current.
    FForceSel = true;
    FocusCell(DisplColIndex(ACol), ARow, true);
    FForceSel = false;
    if (Editor->CanFocus()) Editor->SetFocus();
    return false;
}

bool TExStringGrid::CellControlKeyDown(Word& Key) {
    if (Key != VK_RETURN && Key != VK_F2) return false;
    const int rc = RealColIndex(Col());
    if (rc < 0 || rc >= TotalColCount() || Row() < 0 || Row() >= RowCount()) return false;
    const String T = GetCellEx(rc, Row());
    if (GridTextKind(T) != MarkupTextKind || !HasControlTag(T)) return false;
    if (!(Options().Contains(goEditing) || FEditDisable) || ReadOnly(rc, Row())) return false;
    StoreOldCell(Col(), Row());
    ActivateCellControl(Col(), Row(), String());
    if (Key == VK_F2) DoF2Key(Col(), Row());
    Key = 0;
    return true;
}
