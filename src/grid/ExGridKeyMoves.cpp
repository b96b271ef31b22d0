// Arrow keys that walk over fixed cells and Ctrl+Up/Down that carry the
// selected rows along.
#include "grid/ExGrid.h"

#include "framework/Controls.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/ExGridButton.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupText.h"

#include <algorithm>

bool TExStringGrid::SkipFixedKey(Word& Key, TShiftState Shift) {
    if (!FNavigation.SkipFixedCells()) return false;
    int dc = 0, dr = 0;
    switch (Key) {
    case VK_LEFT: dc = -1; break;
    case VK_RIGHT: dc = 1; break;
    case VK_UP: dr = -1; break;
    case VK_DOWN: dr = 1; break;
    default: return false;
    }
    const int firstCol = TCustomGrid::FixedCols(), lastCol = ColCount() - FFixedRightCols - 1;
    const int firstRow = TCustomGrid::FixedRows(), lastRow = RowCount() - FFixedFooters - 1;
    auto inside = [&](int c, int r) { return c >= firstCol && c <= lastCol && r >= firstRow && r <= lastRow; };
    int c = Col() + dc, r = Row() + dr;
    if (!inside(c, r) || !IsFixed(c, r)) return false;
    if (Options().Contains(goRowSelect) && dr != 0) {
        FocusCell(Col(), r, true);
    } else {
        while (inside(c, r) && IsFixed(c, r)) c += dc, r += dr;
        // With nothing but fixed cells beyond, the cursor stays.
        if (inside(c, r)) FocusCell(c, r, true);
    }
    ConsumeKey(Key, Shift);
    return true;
}

void TExStringGrid::MoveRowsKey(Word Key, TShiftState Shift, const TGridRect& Before, int R0) {
    if (!FNavigation.CursorMoveRows() || !Shift.Contains(ssCtrl) || (Key != VK_UP && Key != VK_DOWN)) return;
    const int top = std::min(Before.Top, Before.Bottom), bottom = std::max(Before.Top, Before.Bottom);
    const int step = Key == VK_DOWN ? 1 : -1;
    if (step > 0 ? bottom >= RowCount() - 1 : top <= TCustomGrid::FixedRows()) return;
    if (top == bottom) {
        MoveRow(top, top + step);
        FocusCell(Col(), R0 + step, true);
        return;
    }
    MoveRows(top, top + step, bottom - top + 1);
    SetSelection({TCustomGrid::FixedCols(), top + step, ColCount() - 1, bottom + step});
}

bool TExStringGrid::RowSelectScrollKey(Word& Key, TShiftState Shift) {
    if ((Key != VK_LEFT && Key != VK_RIGHT) || !Options().Contains(goRowSelect) || IsNode(RealRowIndex(Row())) ||
        VisibleColCount() >= ColCount())
        return false;
    const bool rowKeys = FNavigation.LeftRightRowSelect();
    // Left and Right move the row there; only with Ctrl do they scroll.
    if (rowKeys && !Shift.Contains(ssCtrl)) return false;
    const int left = LeftCol();
    if (Key == VK_LEFT) {
        if (left > TCustomGrid::FixedCols()) SetLeftCol(left - 1);
    } else if (left + VisibleColCount() < ColCount()) {
        SetLeftCol(left + 1);
    }
    if (rowKeys) return false;
    ConsumeKey(Key, Shift);
    return true;
}

bool TExStringGrid::SearchFooterKey(Word Key, TShiftState Shift) {
    TSearchPanel* panel = SearchPanel();
    if (Key != 'F' || !Shift.Contains(ssCtrl) || !SearchFooter().Visible() || !panel) return false;
    if (panel->EditControl->CanFocus()) panel->EditControl->SetFocus();
    return true;
}

void TExStringGrid::CMDialogChar(TCMDialogChar& Message) {
    Message.Result = 0;
    TSearchPanel* panel = SearchPanel();
    if (!SearchFooter().Visible() || !panel) return;
    const std::pair<TExGridButton*, void (TExGridTools::*)()> buttons[] = {
        {panel->ForwardButton, &TExGridTools::SearchPanelFindNext},
        {panel->BackwardButton, &TExGridTools::SearchPanelFindPrev},
        {panel->HiliteButton, &TExGridTools::SearchPanelHighlight},
    };
    for (const auto& [button, run] : buttons) {
        if (button && button->Visible() && button->Enabled() && IsAccel(Message.CharCode(), button->Caption())) {
            ((*FTools).*run)();
            Message.Result = 1;
            return;
        }
    }
}

void TExStringGrid::WMChar(TWMKey& Message) {
    Char ch = Char(Message.CharCode());
    const int rc = RealColIndex(Col()), r = Row();
    const bool inside = rc >= 0 && rc < TotalColCount() && r >= 0 && r < RowCount();
    // In-text controls of a markup cell take the typing themselves.
    if (inside && EnableHTML()) {
        const String T = GetCellEx(rc, r);
        if (GridTextKind(T) == MarkupTextKind && HasControlTag(T)) {
            Message.Result = 1;
            return;
        }
    }
    if (FMouseActions.EditOnDblClickOnly() && inside) {
        bool canEdit = true;
        CellEditable(rc, r, canEdit);
        if (canEdit) SetOptions(Options() + TGridOptions{goEditing});
    }
    // The clipboard shortcuts' own characters go no further.
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (FNavigation.AllowClipboardShortCuts() && ctrl && (ch == 3 || ch == 22 || ch == 24)) {
        Message.SetCharCode(0);
        return;
    }
    if (FMouseActions.RangeSelectAndEdit() && inside && !HasClickControl(rc, r) && IsEditable(rc, r) && ch != 9 &&
        ch != 27 && !ctrl) {
        // Typing starts editing the cell, which is brought into view first.
        SetOptions(Options() + TGridOptions{goEditing});
        ScrollInView(Col(), r);
        FStartEditChar = ch;
        TBaseGrid::WMChar(Message);
        FStartEditChar = 0;
        return;
    }
    // The keypad's decimal key (bit 6 of its scan code) types the locale's separator.
    const int scan = int((Message.KeyData() >> 16) & 0xFF);
    if (FExcelStyleDecimalSeparator && ch == u'.' && (scan & 0x40)) Message.SetCharCode(GetDecimalSeparatorChar());
    ch = Char(Message.CharCode());
    // A cell with a click control opens no editor, but the grid's handler still sees what was typed.
    if (Options().Contains(goEditing) && inside && (ch == 8 || (ch >= 32 && ch <= 255)) && HasClickControl(rc, r)) {
        if (OnKeyPress) OnKeyPress(this, ch);
        return;
    }
    if (Options().Contains(goEditing) && (ch == 8 || ch >= 32)) FStartEditChar = ch;
    TBaseGrid::WMChar(Message);
    FStartEditChar = 0;
}
