// Arrow keys that walk over fixed cells and Ctrl+Up/Down that carry the
// selected rows along.
#include "grid/ExGrid.h"

#include "framework/Controls.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/ExGridButton.h"
#include "grid/foundation/GridText.h"

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
    const Word pressed = Key;
    Key = 0;
    if (OnKeyDown) {
        Word k = pressed;
        OnKeyDown(this, k, Shift);
    }
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
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
    Key = 0;
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
    // The keypad's decimal key (bit 6 of its scan code) types the locale's separator.
    const int scan = int((Message.KeyData() >> 16) & 0xFF);
    if (FExcelStyleDecimalSeparator && Message.CharCode() == u'.' && (scan & 0x40))
        Message.SetCharCode(GetDecimalSeparatorChar());
    const Char ch = Char(Message.CharCode());
    FStartEditChar = Options().Contains(goEditing) && (ch == 8 || ch >= 32) ? ch : Char(0);
    TBaseGrid::WMChar(Message);
    FStartEditChar = 0;
}
