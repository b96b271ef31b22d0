// The grid's mouse movement: the hover row, the sizing events and the
// sizing hint, and cancelling a cell hint once the mouse left its cell.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

namespace {
// The sizing hint is laid out no wider than this.
constexpr int SizingHintMaxWidth = 200;
}  // namespace

void TExStringGrid::ShowSizingHint(const String& Text, int AnchorCol, int AnchorRow) {
    if (!FScrollHintWnd) FScrollHintWnd = new THTMLHintWindow(this);
    TRect r = FScrollHintWnd->CalcHintRect(SizingHintMaxWidth, Text, this);
    const TRect cell = CellRect(AnchorCol, AnchorRow);
    const TPoint at = ClientToScreen({cell.Left, cell.Top});
    OffsetRect(r, at.X, at.Y);
    FScrollHintWnd->SetColor(FHintColor);
    FScrollHintWnd->ActivateHint(r, Text);
    FScrollHintShow = true;
}

void TExStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect selBefore = Selection();

    if (HoverRow() && !IsDesigning() && ARow >= 0 && ARow != FHoverRowIdx) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = ARow;
        if (old >= 0 && old < RowCount()) RepaintRow(old);
        RepaintRow(ARow);
    }

    // A cell hint belongs to its cell: moving on cancels it.
    if (FLastHintPos.X != -1) {
        int bc = ACol, br = ARow;
        if (ACol >= 0 && ARow >= 0) ResolveBaseCell(ACol, ARow, bc, br);
        // The framework starts the next hint over on its own; only the shown one goes.
        if (TPoint{bc, br} != FLastHintPos) {
            if (THintWindow* w = Application->HintWindow(); w && w->IsHintShowing()) w->ReleaseHandle();
            FLastHintPos = {-1, -1};
        }
    }

    TBaseGrid::MouseMove(Shift, X, Y);

    // The framework sizes a column or row: report the size it would get.
    const TGridState state = GridState();
    if ((state == gsColSizing || state == gsRowSizing) && FSizingIndex >= 0 && !IsDesigning()) {
        FColSizeFlg = true;
        const bool cols = state == gsColSizing;
        const TRect cell = cols ? CellRect(FSizingIndex, 0) : CellRect(0, FSizingIndex);
        const int size = FSizingPos - (cols ? cell.Left : cell.Top);
        if (cols && OnColumnSizing) OnColumnSizing(this, FSizingIndex, size);
        if (!cols && OnRowSizing) OnRowSizing(this, FSizingIndex, size);
        if (FHintShowSizing) {
            const String text = (cols ? u"cw=<b>" : u"rh=<b>") + IntToStr(size) + u"</b>";
            if (cols) ShowSizingHint(text, FSizingIndex, 0);
            else ShowSizingHint(text, 0, FSizingIndex);
        }
    }
    if (!(Selection() == selBefore)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExStringGrid::CMMouseLeave(TMessage& Message) {
    TBaseGrid::CMMouseLeave(Message);
    if (HoverRow() && FHoverRowIdx >= 0) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount()) RepaintRow(old);
    }
}
