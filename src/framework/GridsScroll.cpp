// The grid's scroll bars: drawn by the grid at its right and bottom edges,
// sending the grid the scroll messages of window scroll bars.
#include "framework/Grids.h"

#include <algorithm>

namespace {

constexpr int kThumbRange = 127;
constexpr std::uintptr_t kBarTimer = 2;
constexpr Cardinal kBarTimerMs = 80;
enum { kNone, kLineUp, kPageUp, kThumb, kPageDown, kLineDown };

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
    const bool wantV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool wantH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    if (!wantV && !wantH) return false;
    const int hlw = FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
    const int vlw = FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
    auto rowsFit = [&](int h) { return AllFit(FRowCount, hlw, h, [this](int i) { return RowHeights(i); }); };
    auto colsFit = [&](int w) { return AllFit(FColCount, vlw, w, [this](int i) { return ColWidths(i); }); };
    bool vert = wantV && !rowsFit(FHeight);
    const bool horz = wantH && !colsFit(FWidth - (vert ? ScrollBarSize : 0));
    if (horz && !vert) vert = wantV && !rowsFit(FHeight - ScrollBarSize);
    return Bar == SB_VERT ? vert : horz;
}

TRect TCustomGrid::ClientRect() const {
    const int w = FWidth - (ScrollBarShown(SB_VERT) ? ScrollBarSize : 0);
    const int h = FHeight - (ScrollBarShown(SB_HORZ) ? ScrollBarSize : 0);
    return Rect(0, 0, std::max(0, w), std::max(0, h));
}

TRect TCustomGrid::ScrollBarRect(int Bar) const {
    if (!ScrollBarShown(Bar)) return TRect{};
    const TRect c = ClientRect();
    return Bar == SB_VERT ? Rect(c.Right, 0, FWidth, c.Bottom) : Rect(0, c.Bottom, c.Right, FHeight);
}

TRect TCustomGrid::ThumbRect(int Bar) const {
    const TRect r = ScrollBarRect(Bar);
    if (IsRectEmpty(r)) return TRect{};
    const int pos = FBarPressBar == Bar && FBarPressPart == kThumb && FBarTrackPos >= 0 ? FBarTrackPos : ScrollPos(Bar);
    if (Bar == SB_VERT) {
        const int track = r.Height() - 2 * ScrollBarSize - ScrollBarSize;
        if (track < 0) return TRect{};
        const int top = r.Top + ScrollBarSize + pos * track / kThumbRange;
        return Rect(r.Left, top, r.Right, top + ScrollBarSize);
    }
    const int track = r.Width() - 2 * ScrollBarSize - ScrollBarSize;
    if (track < 0) return TRect{};
    const int left = r.Left + ScrollBarSize + pos * track / kThumbRange;
    return Rect(left, r.Top, left + ScrollBarSize, r.Bottom);
}

int TCustomGrid::ScrollBarHit(int X, int Y, int& Bar) const {
    for (int b : {SB_VERT, SB_HORZ}) {
        const TRect r = ScrollBarRect(b);
        if (IsRectEmpty(r) || !PtInRect(r, {X, Y})) continue;
        Bar = b;
        const TRect t = ThumbRect(b);
        const int p = b == SB_VERT ? Y : X;
        const int lo = b == SB_VERT ? r.Top : r.Left, hi = b == SB_VERT ? r.Bottom : r.Right;
        if (p < lo + ScrollBarSize) return kLineUp;
        if (p >= hi - ScrollBarSize) return kLineDown;
        if (IsRectEmpty(t)) return kNone;
        const int tlo = b == SB_VERT ? t.Top : t.Left, thi = b == SB_VERT ? t.Bottom : t.Right;
        if (p < tlo) return kPageUp;
        if (p >= thi) return kPageDown;
        return kThumb;
    }
    Bar = -1;
    return kNone;
}

int TCustomGrid::ThumbPosFromPoint(int Bar, int X, int Y) const {
    const TRect r = ScrollBarRect(Bar);
    const int track = (Bar == SB_VERT ? r.Height() : r.Width()) - 3 * ScrollBarSize;
    if (track <= 0) return 0;
    const int p = (Bar == SB_VERT ? Y - r.Top : X - r.Left) - ScrollBarSize - FBarDragOfs;
    return std::clamp((p * kThumbRange + track / 2) / track, 0, kThumbRange);
}

void TCustomGrid::ScrollBarAction() {
    static constexpr Word codes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
    if (FBarPressBar < 0 || FBarPressPart == kNone || FBarPressPart == kThumb) return;
    Perform(FBarPressBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeWParam(codes[FBarPressPart], 0), 0);
}

bool TCustomGrid::HandleScrollBarMouse(TMessage& Message) {
    const Cardinal msg = Message.Msg;
    if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST || msg == WM_MOUSEWHEEL) return false;
    const int x = SmallInt(Message.LParamLo()), y = SmallInt(Message.LParamHi());
    const Cardinal scrollMsg = FBarPressBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    // A press that began on a bar owns the mouse until its release.
    if (FBarPressBar >= 0) {
        if (msg == WM_MOUSEMOVE && FBarPressPart == kThumb) {
            const int pos = ThumbPosFromPoint(FBarPressBar, x, y);
            if (pos != FBarTrackPos) {
                FBarTrackPos = pos;
                Perform(scrollMsg, MakeWParam(SB_THUMBTRACK, pos), 0);
                InvalidateGrid();
            }
        } else if (msg == WM_LBUTTONUP) {
            if (FBarPressPart == kThumb && FBarTrackPos >= 0)
                Perform(scrollMsg, MakeWParam(SB_THUMBPOSITION, FBarTrackPos), 0);
            if (HandleAllocated()) KillTimer(Handle(), kBarTimer);
            FBarPressBar = -1;
            FBarPressPart = kNone;
            FBarTrackPos = -1;
            SetMouseCapture(false);
            Perform(scrollMsg, MakeWParam(SB_ENDSCROLL, 0), 0);
            InvalidateGrid();
        }
        return true;
    }
    int bar = -1;
    const int part = ScrollBarHit(x, y, bar);
    if (bar < 0) return false;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        FBarPressBar = bar;
        FBarPressPart = part;
        SetMouseCapture(true);
        if (part == kThumb) {
            const TRect t = ThumbRect(bar);
            FBarDragOfs = bar == SB_VERT ? y - t.Top : x - t.Left;
            FBarTrackPos = ScrollPos(bar);
        } else if (part != kNone) {
            ScrollBarAction();
            if (HandleAllocated()) SetTimer(Handle(), kBarTimer, kBarTimerMs);
        }
        InvalidateGrid();
    }
    return true;
}

void TCustomGrid::PaintScrollBars(TCanvas& Canvas) {
    const TRect v = ScrollBarRect(SB_VERT), h = ScrollBarRect(SB_HORZ);
    Canvas.Brush().SetStyle(bsSolid);
    if (!IsRectEmpty(v) && !IsRectEmpty(h)) {
        Canvas.Brush().SetColor(clBtnFace);
        Canvas.FillRect(Rect(v.Left, h.Top, FWidth, FHeight));
    }
    for (int bar : {SB_VERT, SB_HORZ}) {
        const TRect r = bar == SB_VERT ? v : h;
        if (IsRectEmpty(r)) continue;
        // The track: between the button face and its highlight, as the
        // classic dithered track looks.
        const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
        Canvas.Brush().SetColor(RGB((GetRValue(face) + GetRValue(light)) / 2, (GetGValue(face) + GetGValue(light)) / 2,
                                    (GetBValue(face) + GetBValue(light)) / 2));
        Canvas.FillRect(r);
        const bool vert = bar == SB_VERT;
        TRect a1 = vert ? Rect(r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + ScrollBarSize))
                        : Rect(r.Left, r.Top, std::min(r.Right, r.Left + ScrollBarSize), r.Bottom);
        TRect a2 = vert ? Rect(r.Left, std::max(r.Top, r.Bottom - ScrollBarSize), r.Right, r.Bottom)
                        : Rect(std::max(r.Left, r.Right - ScrollBarSize), r.Top, r.Right, r.Bottom);
        const bool pressed1 = FBarPressBar == bar && FBarPressPart == kLineUp;
        const bool pressed2 = FBarPressBar == bar && FBarPressPart == kLineDown;
        DrawFrameControl(Canvas, a1, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (pressed1 ? DFCS_PUSHED : 0));
        DrawFrameControl(Canvas, a2, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (pressed2 ? DFCS_PUSHED : 0));
        TRect t = ThumbRect(bar);
        if (!IsRectEmpty(t)) {
            Canvas.Brush().SetColor(clBtnFace);
            Canvas.FillRect(t);
            DrawEdge(Canvas, t, EDGE_RAISED, BF_RECT);
        }
    }
}
