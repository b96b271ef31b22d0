// The grid's scroll bars: the window's own bars, shown when the scrolled
// rows (columns) do not all fit, with the thumb at 0..127.
#include "framework/Grids.h"

#include "framework/Controls_p.h"
#include "framework/Windows.h"

#include <algorithm>

namespace {

constexpr int kThumbRange = 127;

// Whether cells of the given extents, from the first, all fit into Extent
// (the line after the last one may be cut). Stops at the first that does not.
template <class F>
bool AllFit(int Count, int LineWidth, int Extent, F ExtentOf) {
    int pos = 0;
    for (int i = 0; i < Count; ++i) {
        pos += ExtentOf(i) + LineWidth;
        if (pos > Extent + LineWidth) return false;
    }
    return true;
}

}  // namespace

bool TCustomGrid::ScrollBarShown(int Bar) const {
    const bool wantV = (FScrollBars == ssVertical || FScrollBars == ssBoth) && !ScrollBarHidden(SB_VERT);
    const bool wantH = (FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !ScrollBarHidden(SB_HORZ);
    const bool keepV = ScrollBarKept(SB_VERT), keepH = ScrollBarKept(SB_HORZ);
    if (!wantV && !wantH && !keepV && !keepH) return false;
    const int hlw = FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    const int vlw = FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    // The room inside the border.
    TRect inner = Rect(0, 0, FWidth, FHeight);
    if (WindowStyle(this) & WS_BORDER) InflateRect(inner, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
    if (FHandleImpl->ExStyle & WS_EX_CLIENTEDGE) InflateRect(inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const int width = inner.Width(), height = inner.Height();
    const int vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
    auto rowsFit = [&](int h) { return AllFit(FRowCount, hlw, h, [this](int i) { return RowHeights(i); }); };
    auto colsFit = [&](int w) { return AllFit(FColCount, vlw, w, [this](int i) { return ColWidths(i); }); };
    bool vert = keepV || (wantV && !rowsFit(height));
    const bool horz = keepH || (wantH && !colsFit(width - (vert ? vbar : 0)));
    if (horz && !vert) vert = wantV && !rowsFit(height - hbar);
    return Bar == SB_VERT ? vert : horz;
}

// The thumb's place on the bar: right to left the horizontal one runs from the right.
int TCustomGrid::BarPos(int Bar) const {
    return Bar == SB_HORZ && UseRightToLeftAlignment() ? kThumbRange - ScrollPos(Bar) : ScrollPos(Bar);
}

void TCustomGrid::SyncScrollBars() const {
    const HWND h = FHandleImpl->Handle;
    for (int bar : {SB_HORZ, SB_VERT}) {
        const bool want = ScrollBarShown(bar);
        const bool shown = (WindowStyle(this) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
        if (want == shown) continue;
        ShowScrollBar(h, bar, want);
        if (want) {
            SCROLLINFO si;
            si.fMask = SIF_RANGE | SIF_POS;
            si.nMax = kThumbRange;
            si.nPos = BarPos(bar);
            SetScrollInfo(h, bar, si, true);
        }
    }
}

// The bars come and go with the rows and columns, so the client area is
// measured with them current.
TRect TCustomGrid::ClientRect() const {
    SyncScrollBars();
    return TCustomControl::ClientRect();
}

void TCustomGrid::SetScrollBarPositions() {
    SyncScrollBars();
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(WindowStyle(this) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_POS;
        si.nMax = kThumbRange;
        si.nPos = BarPos(bar);
        SetScrollInfo(FHandleImpl->Handle, bar, si, true);
    }
}

// Mouse messages performed on the grid in client coordinates that fall on
// a bar are the bar's, as a press routed there would be.
bool TCustomGrid::HandleScrollBarMouse(TMessage& Message) {
    const Cardinal msg = Message.Msg;
    if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST || msg == WM_MOUSEWHEEL) return false;
    const TPoint screen = ClientToScreen({SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
    if (NonClientTrackingMouse(this, msg, screen)) return true;
    if (PtInRect(ClientRect(), ScreenToClient(screen))) return false;
    const LRESULT hit = Perform(WM_NCHITTEST, 0, MakeLParam(screen.X, screen.Y));
    if (hit != HTVSCROLL && hit != HTHSCROLL) return false;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)
        Perform(WM_NCLBUTTONDOWN, WPARAM(hit), MakeLParam(screen.X, screen.Y));
    return true;
}
