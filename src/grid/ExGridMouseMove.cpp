// The grid's mouse movement: the hover row, the sizing events and the
// sizing hint, and cancelling a cell hint once the mouse left its cell.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <cstdlib>

namespace {
// The sizing hint is laid out no wider than this.
constexpr int SizingHintMaxWidth = 200;
// The mouse offers a fixed column's border this close to it.
constexpr int FixedBorderGrip = 3;
}  // namespace

bool TExStringGrid::OverFixedColBorder(int X, int& Index) {
    int border = 0;
    for (int c = 0; c < TCustomGrid::FixedCols(); ++c) {
        border += ColWidths(c) + 1;
        if (std::abs(X - border) < FixedBorderGrip) {
            Index = c;
            return true;
        }
    }
    return false;
}

bool TExStringGrid::StartFixedSizing(int X) {
    if (!FSizeFixed) return false;
    int index = 0;
    OverFixedColBorder(X, index);
    FSizingFixed = true;
    FSizingFixedCol = index;
    FSizeFixedX = X;
    SetMouseCapture(true);
    Invalidate();
    return true;
}

void TExStringGrid::EndFixedSizing(int X) {
    FSizingFixed = false;
    FSizeFixed = false;
    const int col = FSizingFixedCol;
    int left = 0;
    for (int c = 0; c < col; ++c) left += ColWidths(c);
    int width = X - left;
    if (width > 0) SetColWidths(col, width);
    if (OnEndColumnSize) OnEndColumnSize(this, col);
    if (OnUpdateColumnSize) {
        int w = width;
        DoUpdateColumnSize(col, w);
        if (w != width && w > 0) SetColWidths(col, w);
    }
    Invalidate();
}

void TExStringGrid::DrawFixedSizingLine() {
    if (!FSizingFixed) return;
    TCanvas& c = Canvas();
    c.Pen().SetColor(clBlack);
    c.MoveTo(FSizeFixedX, 0);
    c.LineTo(FSizeFixedX, ClientHeight());
}

void TExStringGrid::WMSetCursor(TMessage& Message) {
    TBaseGrid::WMSetCursor(Message);
    if (FSizeFixed || FSizingFixed) ::SetCursor(crHSplit);
}

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

    // Fixed columns offer their borders for sizing all the way down.
    if (FMouseActions.SizeFixedCol() && !IsDesigning()) {
        int index = -1;
        FSizeFixed = FSizingFixed || (ACol >= 0 && ARow >= 0 && OverFixedColBorder(X, index));
        if (FSizingFixed) {
            FSizeFixedX = X;
            Invalidate();
        }
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

    if (FSizingFixed) {
        if (OnColumnSizing) OnColumnSizing(this, 0, FSizeFixedX);
        if (FHintShowSizing) ShowSizingHint(u"cw=<b>" + IntToStr(FSizeFixedX) + u"</b>", 0, 0);
    }
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
    FSizeFixed = false;
    if (HoverRow() && FHoverRowIdx >= 0) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount()) RepaintRow(old);
    }
}
