// The grid control's editing road: edit permission per cell, switching
// goEditing as the current cell moves, opening the editor, moving values
// between cell and editor, validation and the end-of-edit message.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridUndoRedo.h"

#include "framework/BalloonTip.h"

#include "framework/Messages.h"

#include <algorithm>
#include <iterator>

namespace {

// The kinds edited in the text editor; edNone opens nothing, every other
// kind has a dedicated editor control.
constexpr TEditorType TextEditorKinds[] = {edNormal,    edNumeric,   edPositiveNumeric, edFloat,
                                           edCapital,   edMixedCase, edPassword,        edLowerCase,
                                           edUpperCase, edValidChars, edPositiveFloat};

}  // namespace

bool IsTextEditorKind(TEditorType Kind) {
    return std::find(std::begin(TextEditorKinds), std::end(TextEditorKinds), Kind) != std::end(TextEditorKinds);
}

// ---------------------------------------------------------------------------
// Edit permission

void TExStringGrid::CellEditable(int ACol, int ARow, bool& CanEdit) {
    TPoint b = BaseCell(ACol, ARow);
    if (CanEdit && CellPropsAssigned(b.X, b.Y)) {
        CanEdit = !GetCellProperties(b.X, b.Y)->ReadOnly() &&
                  (Options().Contains(goEditing) || FEditDisable || FMouseActions.RangeSelectAndEdit());
    }
    if (b.X < TotalColCount()) DoCanEditCell(b.X, b.Y, CanEdit);
    else CanEdit = true;
}

void TExStringGrid::DoCanEditCell(int ACol, int ARow, bool& CanEdit) {
    if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TExStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
    int d = DisplColIndex(ACol);
    if (d < TCustomGrid::FixedCols() || ARow < TCustomGrid::FixedRows()) IsFixed = true;
    // A header kept by FixedRowAlways (FixedColAlways) while the grid has no other rows (columns).
    if (FFixedRowAlways && RowCount() == FFixedRowsMin && ARow <= FFixedRowsMin) IsFixed = true;
    if (FFixedColAlways && ColCount() == FFixedColsMin && d < FFixedColsMin) IsFixed = true;
    if (!IsFixed && OnIsFixedCell) OnIsFixedCell(this, ARow, ACol, IsFixed);
}

bool TExStringGrid::IsFixed(int ACol, int ARow) {
    TPoint b = BaseCell(RealColIndex(ACol), ARow);
    int d = DisplColIndex(b.X);
    if (FFixedFooters > 0 && b.Y >= RowCount() - FFixedFooters) return true;
    // The fixed right columns are the last real ones, shown or hidden, as painted.
    if (FFixedRightCols > 0 && b.X >= ColCount() + FNumHidden - FFixedRightCols && d < ColCount()) return true;
    bool fixed = false;
    IsFixedCell(b.X, b.Y, fixed);
    return fixed;
}

bool TExStringGrid::IsCellEditable(int ACol, int ARow) {
    TPoint b = BaseCell(ACol, ARow);
    bool canEdit = true;
    CellEditable(b.X, b.Y, canEdit);
    bool fixed = false;
    IsFixedCell(b.X, b.Y, fixed);
    return canEdit && !fixed;
}

bool TExStringGrid::IsEditable(int ACol, int ARow) {
    if (!Options().Contains(goEditing) && !FMouseActions.RangeSelectAndEdit() && !FEditDisable) return false;
    return IsCellEditable(ACol, ARow);
}

void TExStringGrid::GetCellEditor(int ACol, int ARow, TEditorType& AEditor) {
    if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
}

bool TExStringGrid::IsEditorNone(int ACol, int ARow) {
    if (!OnGetEditorType) return false;
    TEditorType e = edNormal;
    OnGetEditorType(this, ACol, ARow, e);
    return e == edNone;
}

void TExStringGrid::DisableEditing() { SetOptions(Options() - TGridOptions{goEditing}); }

// ---------------------------------------------------------------------------
// SelectCell: switches editing for the target cell, validates a pending
// edit and fires the changing events.

void TExStringGrid::DoCellChanging(int NewCol, int NewRow, bool& Allow) {
    if (NewRow != Row() && OnRowChanging) OnRowChanging(this, Row(), NewRow, Allow);
    if (NewCol != Col() && OnColChanging) OnColChanging(this, Col(), NewCol, Allow);
    if ((NewRow != Row() || NewCol != Col()) && OnCellChanging && !FDisableChange) OnCellChanging(this, Row(), Col(), NewRow, NewCol, Allow);
}

bool TExStringGrid::SelectCell(int ACol, int ARow) {
    if (FForceSel || !Parent()) return true;
    bool canSelect = true;
    bool result = false;
    if (ACol < 0 || ARow < 0) return false;
    if (RowRefused(ARow)) return false;
    int rc = RealColIndex(ACol);
    if (IsMergedNonBaseCell(rc, ARow) && !Options().Contains(goRangeSelect)) {
        TPoint b = BaseCell(rc, ARow);
        MoveColRow(DisplColIndex(b.X), b.Y, true, true);
        RepaintCell(b.X, b.Y);
        return false;
    }
    String s = GetGridCell(rc, ARow);
    bool editorFocused = InplaceEditor() && InplaceEditor()->Focused();

    if (HasCheckBox(rc, ARow)) {
        bool canEdit = true;
        CellEditable(rc, ARow, canEdit);
        if (!FEditDisable)
            FEditDisable = !canEdit && (Options().Contains(goEditing) || FMouseActions.RangeSelectAndEdit());
        if (!Options().Contains(goEditing) && !Options().Contains(goRowSelect) && canEdit) {
            FEditChange = true;
            SetOptions(Options() + TGridOptions{goEditing});
        }
    } else {
        bool canEdit = Options().Contains(goEditing) || FEditDisable;
        CellEditable(rc, ARow, canEdit);
        if (canEdit && FMouseActions.DirectEdit()) {
            FEditControl = FDefaultEditor;
            if (IsEditorNone(rc, ARow)) canEdit = false;
        }
        if (FMouseActions.EditOnDblClickOnly()) canEdit = false;
        if (canEdit) {
            FEditDisable = false;
            if (!Options().Contains(goEditing)) {
                FEditChange = true;
                if (!FEditing) StoreOldCell(ACol, ARow);
                if (Options().Contains(goRowSelect) && FMouseActions.RangeSelectAndEdit())
                    SetOptions(Options() - TGridOptions{goRowSelect});
                SetOptions(Options() + TGridOptions{goEditing});
            }
            if (FEditing && FEditMode) {
                HideInplaceEdit();
                s = GetGridCell(rc, ARow);
            }
        } else {
            if (FEditing && FEditMode) {
                HideInplaceEdit();
                s = GetGridCell(rc, ARow);
            }
            if (Options().Contains(goEditing)) {
                FEditMode = false;
                FEditDisable = true;
                FEditChange = true;
                SetOptions(Options() - TGridOptions{goEditing});
                SetEditorMode(false);
            }
        }
    }

    // A key that leaves the text editor at its edge moves the cursor with the
    // edit still pending: it is validated here, while its cell is current,
    // not later with the text of a cell the cursor moved on to.
    const bool leaving = editorFocused && (ACol != Col() || ARow != Row());
    if (!FEditing || (editorFocused && !leaving)) {
        DoCellChanging(ACol, ARow, canSelect);
        if (IsFixed(ACol, ARow) || !canSelect)
            result = (canSelect && Options().Contains(goRowSelect)) ||
                     (FFixedRowAlways && RowCount() == TCustomGrid::FixedRows());
        else
            result = TBaseGrid::SelectCell(ACol, ARow);
    } else {
        String old = FCellCache;
        // A cell holding wide text is validated as such, with its decoded text.
        const String current = GetCurrentCell();
        result = current.size() >= 2 && current[0] == u'|' && current[1] == u'\\'
                     ? ValidateCellWide(DecodeWideCellText(current))
                     : ValidateCell(current);
        DoCellChanging(ACol, ARow, canSelect);
        if (!canSelect) result = false;
        if (result) result = TBaseGrid::SelectCell(ACol, ARow);
        if (!result) s = old;
    }

    if (!IsLoading() && ARow != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, ARow);
        FOldRowSel = ARow;
    }
    FCellCache = s;
    if (result && FISelect) FISelect->SelectCell(ACol, ARow);
    return result;
}

// ---------------------------------------------------------------------------
// Opening the editor

bool TExStringGrid::CanEditShow() {
    if (FValidating) return false;
    bool ret = TBaseGrid::CanEditShow();
    if (ComponentState().Contains(csDesigning)) return ret;
    TPoint base = BaseCell(RealColIndex(Col()), Row());
    // Check boxes, radio controls and buttons are used in place, never edited.
    if (ret && !FEditMode && HasClickControl(base.X, base.Y)) return false;
    if (ret && !FEditMode) {
        FCellCache = GetCurrentCell();
        FEditControl = FDefaultEditor;
        GetCellEditor(base.X, base.Y, FEditControl);
        if (FEditControl == edNone) return false;
        if (FEditControl == edComboList || FEditControl == edComboEdit || IsFurtherEditorKind(FEditControl)) {
            // The dedicated editor stands in for the framework's editor, which stays hidden.
            // It takes the snapshot as the text editor does below: without one the
            // validation on leaving would write its value into the cell edited before.
            if (!FEditing) StoreOldCell(Col(), Row());
            FEditMode = true;
            FEntered = true;
            ShowCellEditor(Col(), Row());
            return false;
        }
        // Other dedicated editor controls come with their own classes; until
        // a kind has one, its cells open no editor.
        if (!IsTextEditorKind(FEditControl)) return false;
        FEditMode = true;
        FEditCtrl = nullptr;
    }
    if (ret) {
        // A grid that always edits takes no snapshot on selecting; without one
        // the validation would write the text into the cell edited before.
        if (!FEditing) StoreOldCell(Col(), Row());
        FEntered = true;
        FEditing = true;
    }
    return ret;
}

TInplaceEdit* TExStringGrid::CreateEditor() {
    return new TExInplaceEdit(this);
}

void TExStringGrid::DoneInplaceEdit(Word Key, TShiftState Shift) {
    FBlockFocus = true;
    FEditing = false;
    HideInplaceEdit();
    if (Key == VK_TAB || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) KeyDown(Key, Shift);
    // The grid takes the focus, and Enter moves on, without an editor opening on the way.
    const bool always = FNavigation.AlwaysEdit();
    FNavigation.SetAlwaysEdit(false);
    if (CanFocus()) SetFocus();
    if (Key == VK_RETURN) AdvanceCell(Col(), Row(), false, true, true, false);
    FNavigation.SetAlwaysEdit(always);
    FBlockFocus = false;
}

void TExStringGrid::ShowInplaceEdit() {
    if (HasClickControl(RealColIndex(Col()), Row())) return;
    if (Row() < TopRow()) SetTopRow(Row());
    if (Col() < LeftCol()) SetLeftCol(Col());
    ShowEditor();
}

void TExStringGrid::HideInplaceEdit() {
    if (!FEditMode) return;
    // EditorMode goes first: the value written back below updates the editor,
    // which would otherwise open the dedicated editor again on this cell.
    HideEditor();
    if (FSpecialEditor) {
        // Cleared first: hiding the combo takes its focus, whose exit comes back here.
        FEditMode = false;
        EditorToCell(Col(), Row());
    }
    FEditMode = false;
    SelectCell(Col(), Row());
}

void TExStringGrid::EditingDone(int ACol, int ARow) {
    if (OnEditingDone) OnEditingDone(this);
    FEditMode = false;
    if (HandleAllocated()) PostMessage(Handle(), WM_GRIDEDITDONE(), WPARAM(ACol), LPARAM(ARow));
}

// ---------------------------------------------------------------------------
// Values between cell and editor

String TExStringGrid::GetEditText(int ACol, int ARow) {
    TPoint b = BaseCell(RealColIndex(ACol), ARow);
    return TStringGrid::GetEditText(b.X, b.Y);
}

void TExStringGrid::SetEditText(int ACol, int ARow, const String& Value) {
    TPoint b = BaseCell(RealColIndex(ACol), ARow);
    TStringGrid::SetEditText(b.X, b.Y, Value);
    RepaintCell(b.X, b.Y);
}

String TExStringGrid::GetEditMask(int ACol, int ARow) {
    String v = FEditMask;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, v);
    return v;
}

int TExStringGrid::GetEditLimit() { return FMaxEditLength; }

void TExStringGrid::SetEditorValue(int ACol, int ARow, const String& Value) {
    SetEditText(DisplColIndex(ACol), ARow, Value);
    SetCellEx(ACol, ARow, Value);
}

void TExStringGrid::RestoreEditValue() {
    int rc = RealColIndex(Col());
    SetCellEx(rc, Row(), FCellCache);
    SetCellEx(rc, Row(), GetCellEx(rc, Row()));
}

void TExStringGrid::StoreOldCell(int ACol, int ARow) {
    FOldCol = ACol;
    FOldRow = ARow;
    FOldCellText = GetGridCell(RealColIndex(ACol), ARow);
    FOldCellTextWide = DecodeWideCellText(FOldCellText);
    FOldModifiedValue = FModified;
}

// ---------------------------------------------------------------------------
// Validation. A refusal leaves Modified and the row mark as they were and
// puts the user back into the edited cell.

bool TExStringGrid::ValidateCell(const String& NewValue) {
    if (!FEditing || FValidating) return true;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    int c = RealColIndex(FOldCol), r = FOldRow;
    FNewCellText = NewValue;
    auto finish = [this] {
        StoreOldCell(Col(), Row());
        FValidating = false;
    };
    try {
        if (NewValue != FOldCellText || FAlwaysValidate) {
            bool changed = NewValue != FOldCellText;
            bool advance = FNavigation.AdvanceOnEnter();
            FNavigation.SetAdvanceOnEnter(false);
            String v = NewValue;
            if (FCellChecker && FCellChecker->AutoCorrect) v = FCellChecker->Correct(this, c, r, v);
            if (OnCellValidate) OnCellValidate(this, c, r, v, valid);
            if (valid && v != FOldCellText) {
                FModifiedPublic = true;
                FModified = true;
                if (TCustomGrid::FixedCols() > 0) SetRowModified(RealRowIndex(r), true);
            }
            if (FCellChecker && FCellChecker->AutoMarkError) v = FCellChecker->MarkError(this, c, r, v);
            if (valid && UndoRedo()) UndoRedo()->RegisterChange(c, r, FOldCellText, v);
            if (valid && changed) DoCellsChanged(Rect(c, r, c, r));
            FNavigation.SetAdvanceOnEnter(advance);
            FNewCellText = v;
            if (valid) {
                SetCellEx(c, r, v);
                TPoint b = BaseCell(c, r);
                if (b.X != c || b.Y != r) SetCellEx(b.X, b.Y, v);
            } else {
                FLastValidation = false;
                bool replaced = v != NewValue;
                if (replaced) {
                    HideEditor();
                    SetCellEx(c, r, v);
                } else {
                    if (FEditMode) FValidating = false;
                    HideEditor();
                    SetCellEx(c, r, FOldCellText);
                }
                FEditMode = false;
                MoveColRow(FOldCol, r, true, true);
                FValidating = false;
                FEditing = true;
                ShowInplaceEdit();
                if (!replaced && Col() != FOldCol) InvalidateEditor();
                FModified = FOldModifiedValue;
                ShowInvalidEntryBalloon();
            }
            FOldCellText = GetGridCell(c, r);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (valid) HideFocusWindow();
    return valid;
}

// As ValidateCell for a cell holding wide text, with no checker, undo or
// balloon: the footer is recalculated before the handler is asked.
bool TExStringGrid::ValidateCellWide(const String& NewValue) {
    if (!FEditing || FValidating) return true;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    const int c = RealColIndex(FOldCol), r = FOldRow;
    auto finish = [this] {
        StoreOldCell(Col(), Row());
        FValidating = false;
    };
    try {
        if (NewValue != FOldCellTextWide || FAlwaysValidate) {
            const bool changed = NewValue != FOldCellTextWide;
            const bool advance = FNavigation.AdvanceOnEnter();
            FNavigation.SetAdvanceOnEnter(false);
            String v = NewValue;
            RecalcFooterColumn(c);
            if (OnCellValidateWide) OnCellValidateWide(this, c, r, v, valid);
            FNavigation.SetAdvanceOnEnter(advance);
            if (valid) {
                SetWideCells(c, r, v);
            } else {
                const bool replaced = v != NewValue;
                HideEditor();
                SetWideCells(c, r, replaced ? v : FOldCellTextWide);
                FEditMode = false;
                MoveColRow(FOldCol, FOldRow, true, true);
                FValidating = false;
                FEditing = true;
                ShowInplaceEdit();
                if (!replaced && Col() != FOldCol) InvalidateEditor();
                FModified = FOldModifiedValue;
            }
            // Only a value that stays marks the row.
            if (valid && v != FOldCellTextWide) {
                FModifiedPublic = true;
                FModified = true;
                if (TCustomGrid::FixedCols() > 0) SetRowModified(RealRowIndex(FOldRow), true);
            }
            if (valid && changed) DoCellsChanged(Rect(c, r, c, r));
            FOldCellTextWide = WideCells(c, r);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return valid;
}

void TExStringGrid::ShowInvalidEntryBalloon() {
    if (FInvalidEntryTitle.empty() && FInvalidEntryText.empty()) return;
    // The dedicated editor the edit came from, else the text editor it reopened.
    TWinControl* target = FEditCtrl && (FSpecialEditor || !FEditMode) ? FEditCtrl : InplaceEditor();
    if (!target || !target->HandleAllocated()) return;
    ShowEditBalloonTip(target, FInvalidEntryTitle, FInvalidEntryText, int(FInvalidEntryIcon));
}

void TExStringGrid::ShowCellEdit() { Perform(WM_KEYDOWN, VK_F2, 0); }
