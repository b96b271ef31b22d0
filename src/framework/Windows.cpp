// The window calls by handle: styles, the non-client frame and the scroll
// bars every window can have, regions, layered windows, partial repainting
// and pictures of the screen.

#include "framework/Windows.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"
#include "framework/SysUtils.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kMinThumb = 8;       // the thumb never gets shorter

// The bars' measures come from the system metrics (17 pixels at 96 dpi).
int BarThickness(int bar) { return GetSystemMetrics(bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL); }
int ArrowLength(int bar) { return GetSystemMetrics(bar == SB_VERT ? SM_CYVSCROLL : SM_CXHSCROLL); }
int DefaultThumb(int bar) { return GetSystemMetrics(bar == SB_VERT ? SM_CYVTHUMB : SM_CXHTHUMB); }
constexpr int kRepeatMs = 80;      // line and page presses repeat while held

// Parts of a scroll bar, in the order of SCROLLBARINFO's states.
enum TBarPart { bpNone = 0, bpLineUp = 1, bpPageUp = 2, bpThumb = 3, bpPageDown = 4, bpLineDown = 5 };

TWinControlHandle* H(TWinControl* c) { return c->HandleImpl(); }

// A flat bar may have a thickness of its own.
int BarThickness(TWinControl* c, int bar) {
    const TWinControlHandle* h = H(c);
    return h->FlatBars && h->FlatThickness[bar] > 0 ? h->FlatThickness[bar] : BarThickness(bar);
}

bool IsPopupWindow(TWinControl* c) { return (H(c)->Style & WS_POPUP) != 0; }

bool BarStyle(TWinControl* c, int bar) { return (H(c)->Style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0; }

// The window's top-left corner on the screen.
TPoint WindowOrigin(TWinControl* c) {
    const TRect client = ClientInWindow(c);
    const TPoint o = c->ClientOrigin();
    return {o.X - client.Left, o.Y - client.Top};
}

TRect BarRect(TWinControl* c, int bar) {
    if (!BarStyle(c, bar)) return TRect{};
    const TRect cl = ClientInWindow(c);
    if (bar == SB_VERT) {
        // A right-to-left window keeps its vertical bar at the left edge.
        if (H(c)->ExStyle & WS_EX_LEFTSCROLLBAR)
            return Rect(std::max(cl.Left - BarThickness(c, bar), 0), cl.Top, cl.Left, cl.Bottom);
        return Rect(cl.Right, cl.Top, std::min(cl.Right + BarThickness(c, bar), c->Width()), cl.Bottom);
    }
    return Rect(cl.Left, cl.Bottom, cl.Right, std::min(cl.Bottom + BarThickness(c, bar), c->Height()));
}

// In 64 bits: a range may span every int.
std::int64_t RangeSize(const TScrollBarState& s) { return std::int64_t(s.Max) - s.Min + 1; }
std::int64_t ScrollableRange(const TScrollBarState& s) { return RangeSize(s) - 1 - std::max(s.Page - 1, 0); }

// The thumb's extent along the bar, from the bar's start; false when the
// bar is too short for one.
bool ThumbExtent(TWinControl* c, int bar, int pos, int& start, int& length) {
    const TRect r = BarRect(c, bar);
    const int len = bar == SB_VERT ? r.Height() : r.Width();
    const TScrollBarState& s = H(c)->Bars[bar];
    const int arrow = ArrowLength(bar);
    const int track = len - 2 * arrow;
    if (track <= 0) return false;
    length = DefaultThumb(bar);
    if (s.Page > 0) length = std::max<int>(kMinThumb, int(std::int64_t(s.Page) * track / RangeSize(s)));
    if (length > track) return false;
    const std::int64_t range = ScrollableRange(s);
    const std::int64_t from = std::clamp<std::int64_t>(std::int64_t(pos) - s.Min, 0, std::max<std::int64_t>(range, 0));
    start = arrow + (range > 0 ? int(from * (track - length) / range) : 0);
    return true;
}

bool BarEnabled(TWinControl* c, int bar) {
    return c->Enabled() && (H(c)->Bars[bar].Arrows & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH;
}

// ---------------------------------------------------------------------------
// Tracking of a press on a scroll bar
// ---------------------------------------------------------------------------
struct TBarTracking {
    HWND Window = 0;
    int Bar = -1;
    int Part = bpNone;
    int DragOfs = 0;
    bool Active = false;
    QTimer* Repeat = nullptr;
} Tracking;

// A size drag of a top-level window started by a press on its sizing edge
// (our own loop, so that it works on every platform, offscreen too).
struct TSizeDrag {
    HWND Window = 0;
    int Hit = 0;
    TPoint Start;
    TRect StartRect;
    bool Active = false;
} SizeDrag;

bool IsSizingHit(int hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }

void StartSizeDrag(TWinControl* c, int hit, TPoint screen) {
    SizeDrag.Window = H(c)->Handle;
    SizeDrag.Hit = hit;
    SizeDrag.Start = screen;
    SizeDrag.StartRect = c->BoundsRect();
    SizeDrag.Active = true;
}

void SizeDragTo(TWinControl* c, TPoint screen) {
    const int dx = screen.X - SizeDrag.Start.X, dy = screen.Y - SizeDrag.Start.Y;
    const int hit = SizeDrag.Hit;
    const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    TRect r = SizeDrag.StartRect;
    if (left) r.Left += dx;
    if (right) r.Right += dx;
    if (top) r.Top += dy;
    if (bottom) r.Bottom += dy;
    // The size limits first, then the window may adjust the rectangle.
    int w = std::max(0, r.Width()), h = std::max(0, r.Height());
    if (auto* form = dynamic_cast<TCustomForm*>(c)) form->Constraints().Apply(w, h);
    if (left) r.Left = r.Right - w;
    else r.Right = r.Left + w;
    if (top) r.Top = r.Bottom - h;
    else r.Bottom = r.Top + h;
    const HWND handle = H(c)->Handle;
    c->Perform(WM_SIZING, WPARAM(hit - HTLEFT + WMSZ_LEFT), LPARAM(&r));
    if (!FindControl(handle)) return;
    c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

int BarPartAt(TWinControl* c, int bar, TPoint wp) {
    const TRect r = BarRect(c, bar);
    if (IsRectEmpty(r) || !PtInRect(r, wp)) return bpNone;
    const int p = bar == SB_VERT ? wp.Y - r.Top : wp.X - r.Left;
    const int len = bar == SB_VERT ? r.Height() : r.Width();
    if (p < ArrowLength(bar)) return bpLineUp;
    if (p >= len - ArrowLength(bar)) return bpLineDown;
    int start = 0, length = 0;
    const TScrollBarState& s = H(c)->Bars[bar];
    if (!ThumbExtent(c, bar, s.Pos, start, length)) return bpNone;
    if (p < start) return bpPageUp;
    if (p >= start + length) return bpPageDown;
    return bpThumb;
}

void SendScroll(TWinControl* c, int bar, Word code, int pos) {
    c->Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeWParam(code, pos), 0);
}

void RepaintFrame(TWinControl* c) {
    if (c->HandleAllocated()) H(c)->Widget->update();
}

void PartAction(TWinControl* c) {
    static constexpr Word codes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
    if (Tracking.Part == bpNone || Tracking.Part == bpThumb) return;
    SendScroll(c, Tracking.Bar, codes[Tracking.Part], 0);
}

void EndTracking() {
    if (Tracking.Repeat) {
        Tracking.Repeat->stop();
        Tracking.Repeat->deleteLater();
        Tracking.Repeat = nullptr;
    }
    Tracking.Active = false;
}

void StartTracking(TWinControl* c, int bar, TPoint screen) {
    const TPoint o = WindowOrigin(c);
    const TPoint wp{screen.X - o.X, screen.Y - o.Y};
    const int part = BarPartAt(c, bar, wp);
    const Cardinal arrows = H(c)->Bars[bar].Arrows;
    if (part == bpNone || !BarEnabled(c, bar) || (part == bpLineUp && (arrows & ESB_DISABLE_LTUP)) ||
        (part == bpLineDown && (arrows & ESB_DISABLE_RTDN)))
        return;
    EndTracking();
    Tracking.Window = H(c)->Handle;
    Tracking.Bar = bar;
    Tracking.Part = part;
    Tracking.Active = true;
    TScrollBarState& s = H(c)->Bars[bar];
    if (part == bpThumb) {
        int start = 0, length = 0;
        ThumbExtent(c, bar, s.Pos, start, length);
        const TRect r = BarRect(c, bar);
        Tracking.DragOfs = (bar == SB_VERT ? wp.Y - r.Top : wp.X - r.Left) - start;
        s.TrackPos = s.Pos;
    } else {
        PartAction(c);
        if (Tracking.Active && FindControl(Tracking.Window)) {
            Tracking.Repeat = new QTimer;
            QObject::connect(Tracking.Repeat, &QTimer::timeout, [] {
                TWinControl* w = FindControl(Tracking.Window);
                if (!w || !Tracking.Active) {
                    EndTracking();
                    return;
                }
                Guarded([w] { PartAction(w); });
            });
            Tracking.Repeat->start(kRepeatMs);
        }
    }
    RepaintFrame(c);
}

int ThumbPosFromPoint(TWinControl* c, int bar, TPoint wp) {
    const TRect r = BarRect(c, bar);
    const TScrollBarState& s = H(c)->Bars[bar];
    int start = 0, length = 0;
    if (!ThumbExtent(c, bar, s.Pos, start, length)) return s.Pos;
    const int len = bar == SB_VERT ? r.Height() : r.Width();
    const int free = len - 2 * ArrowLength(bar) - length;
    const std::int64_t range = ScrollableRange(s);
    if (free <= 0 || range <= 0) return s.Min;
    const int p = (bar == SB_VERT ? wp.Y - r.Top : wp.X - r.Left) - ArrowLength(bar) - Tracking.DragOfs;
    return int(s.Min + std::clamp<std::int64_t>((std::int64_t(p) * range + free / 2) / free, 0, range));
}

// ---------------------------------------------------------------------------
// Frame painting
// ---------------------------------------------------------------------------
void PaintBar(TWinControl* c, TCanvas& canvas, int bar) {
    const TRect r = BarRect(c, bar);
    if (IsRectEmpty(r)) return;
    const TScrollBarState& s = H(c)->Bars[bar];
    const bool vert = bar == SB_VERT;
    const bool tracking = Tracking.Active && Tracking.Window == H(c)->Handle && Tracking.Bar == bar;
    // The track: between the button face and its highlight, as the classic
    // dithered track looks.
    const TWinControlHandle* h = H(c);
    const int style = h->FlatBars ? h->FlatStyle[bar] : FSB_REGULAR_MODE;
    const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    canvas.Brush().SetStyle(bsSolid);
    if (h->FlatBars && h->FlatBack[bar] != clNone)
        canvas.Brush().SetColor(h->FlatBack[bar]);
    else
        canvas.Brush().SetColor(RGB((GetRValue(face) + GetRValue(light)) / 2, (GetGValue(face) + GetGValue(light)) / 2,
                                    (GetBValue(face) + GetBValue(light)) / 2));
    canvas.FillRect(r);
    const bool enabled = BarEnabled(c, bar);
    const unsigned off1 = !enabled || (s.Arrows & ESB_DISABLE_LTUP) ? DFCS_INACTIVE : 0;
    const unsigned off2 = !enabled || (s.Arrows & ESB_DISABLE_RTDN) ? DFCS_INACTIVE : 0;
    const int arrow = ArrowLength(bar);
    TRect a1 = vert ? Rect(r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + arrow))
                    : Rect(r.Left, r.Top, std::min(r.Right, r.Left + arrow), r.Bottom);
    TRect a2 = vert ? Rect(r.Left, std::max(r.Top, r.Bottom - arrow), r.Right, r.Bottom)
                    : Rect(std::max(r.Left, r.Right - arrow), r.Top, r.Right, r.Bottom);
    const bool pressed1 = tracking && Tracking.Part == bpLineUp;
    const bool pressed2 = tracking && Tracking.Part == bpLineDown;
    // Flat looks: every part flat, but in encarta mode the one under the mouse stands out raised.
    const bool hotBar = enabled && h->HotBar == bar;
    auto flatness = [&](int part) -> unsigned {
        if (style == FSB_REGULAR_MODE) return 0;
        return style == FSB_ENCARTA_MODE && hotBar && h->HotPart == part ? 0 : DFCS_FLAT;
    };
    // Flat mode frames the part under the mouse in the highlight colour.
    auto highlight = [&](const TRect& part, int which) {
        if (style != FSB_FLAT_MODE || !hotBar || h->HotPart != which) return;
        canvas.Brush().SetColor(clHighlight);
        canvas.FrameRect(part);
    };
    DrawFrameControl(canvas, a1, DFC_SCROLL,
                     (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (pressed1 ? DFCS_PUSHED : 0) | off1 | flatness(bpLineUp));
    highlight(a1, bpLineUp);
    DrawFrameControl(canvas, a2, DFC_SCROLL,
                     (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (pressed2 ? DFCS_PUSHED : 0) | off2 |
                         flatness(bpLineDown));
    highlight(a2, bpLineDown);
    int start = 0, length = 0;
    if (!enabled || !ThumbExtent(c, bar, tracking && Tracking.Part == bpThumb ? s.TrackPos : s.Pos, start, length))
        return;
    TRect t = vert ? Rect(r.Left, r.Top + start, r.Right, r.Top + start + length)
                   : Rect(r.Left + start, r.Top, r.Left + start + length, r.Bottom);
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(t);
    if (flatness(bpThumb)) {
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(t);
    } else {
        DrawEdge(canvas, t, EDGE_RAISED, BF_RECT);
    }
    highlight(t, bpThumb);
}

// The part of a flat bar under the mouse is drawn hot; the frame repaints when it changes.
void TrackHotPart(TWinControl* c, int bar, int part) {
    TWinControlHandle* h = H(c);
    if (!h->FlatBars) return;
    if (part == bpNone) bar = -1;
    if (h->HotBar == bar && h->HotPart == part) return;
    h->HotBar = bar;
    h->HotPart = part;
    RepaintFrame(c);
}

void PaintFrame(TWinControl* c, TCanvas& canvas) {
    TRect r = Rect(0, 0, c->Width(), c->Height());
    const Cardinal style = H(c)->Style, ex = H(c)->ExStyle;
    if (style & WS_BORDER) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(r);
        InflateRect(r, -1, -1);
    }
    if (style & WS_DLGFRAME) {
        // The raised edge and a ring of the face colour inside it.
        DrawEdge(canvas, r, EDGE_RAISED, BF_RECT);
        InflateRect(r, -2, -2);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FrameRect(r);
        InflateRect(r, -1, -1);
    }
    if (ex & WS_EX_CLIENTEDGE) DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT);
    const TRect v = BarRect(c, SB_VERT), h = BarRect(c, SB_HORZ);
    if (!IsRectEmpty(v) && !IsRectEmpty(h)) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(Rect(v.Left, h.Top, v.Right, h.Bottom));
    }
    PaintBar(c, canvas, SB_VERT);
    PaintBar(c, canvas, SB_HORZ);
}

// ---------------------------------------------------------------------------
// Stacking order of the top-level windows
// ---------------------------------------------------------------------------
std::vector<HWND> ZOrder;  // bottom first

bool IsTopLevel(TWinControl* c) {
    return IsPopupWindow(c) || dynamic_cast<TCustomForm*>(c) != nullptr || !c->Parent();
}

TWinControl* TopLevelOf(TWinControl* c) {
    while (c && !IsTopLevel(c)) c = c->Parent();
    return c;
}

// Whether the window covers a screen point (its region too). Windows the
// system delivered input to count as shown (input is simulated on hidden
// forms too).
bool WindowContains(TWinControl* c, TPoint screen, bool checkShown = true) {
    if (!c->HandleAllocated() || (checkShown && !c->Visible())) return false;
    const TPoint o = WindowOrigin(c);
    const TPoint wp{screen.X - o.X, screen.Y - o.Y};
    if (wp.X < 0 || wp.Y < 0 || wp.X >= c->Width() || wp.Y >= c->Height()) return false;
    return !H(c)->HasRegion || H(c)->Region.contains(QPoint(wp.X, wp.Y));
}

// The deepest visible windowed child of c (c itself when none) at a screen point.
TWinControl* DeepestAt(TWinControl* c, TPoint screen, TWinControl* skip) {
    for (int i = c->ControlCount() - 1; i >= 0; --i) {
        auto* w = dynamic_cast<TWinControl*>(c->Controls(i));
        if (!w || w == skip || IsPopupWindow(w) || !w->Visible() || !WindowContains(w, screen)) continue;
        return DeepestAt(w, screen, skip);
    }
    return c;
}

// The window beneath c at a screen point.
TWinControl* WindowBeneath(TWinControl* c, TPoint screen) {
    if (!IsTopLevel(c)) {
        TWinControl* parent = c->Parent();
        int index = -1;
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (parent->Controls(i) == c) index = i;
        for (int i = index - 1; i >= 0; --i) {
            auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
            if (!w || IsPopupWindow(w) || !w->Visible() || !WindowContains(w, screen)) continue;
            return DeepestAt(w, screen, nullptr);
        }
        return parent;
    }
    std::vector<TWinControl*> tops = TopLevelWindows();
    auto it = std::find(tops.begin(), tops.end(), c);
    if (it == tops.end()) return nullptr;
    while (it != tops.begin()) {
        --it;
        if (WindowContains(*it, screen)) return DeepestAt(*it, screen, nullptr);
    }
    return nullptr;
}

bool PassesMouseThrough(TWinControl* c) {
    // Only top-level windows let the mouse through by their extended style;
    // children use it for painting on their parent's background.
    return IsTopLevel(c) && (H(c)->ExStyle & WS_EX_TRANSPARENT) != 0;
}

QImage& OverlayOf(TWinControl* c) {
    QImage& o = H(c)->Overlay;
    const QSize size(std::max(1, c->Width()), std::max(1, c->Height()));
    if (o.size() != size) {
        o = QImage(size, QImage::Format_ARGB32_Premultiplied);
        o.fill(Qt::transparent);
    }
    return o;
}

}  // namespace

// ---------------------------------------------------------------------------
// Styles and placement
// ---------------------------------------------------------------------------
Cardinal WindowStyle(const TWinControl* Control) { return Control->HandleImpl()->Style; }

void ApplyCreateParams(TWinControl* Control, const TCreateParams& Params) {
    TWinControlHandle* h = H(Control);
    // The scroll bars a window shows are the scroll calls' business once it has them.
    h->Style = Params.Style | (h->Style & (WS_HSCROLL | WS_VSCROLL));
    h->ExStyle = Params.ExStyle;
    h->FrameKnown = false;
    ApplyWindowStyles(Control);
}

void ApplyWindowStyles(TWinControl* Control) {
    TWinControlHandle* h = H(Control);
    FrameChanged(Control);
    QWidget* w = h->Widget;
    if (!w) return;
    if (auto* form = dynamic_cast<TCustomForm*>(Control)) form->ApplyWindowFlags();
    PlaceWidget(Control);
    w->setEnabled(Control->Enabled() && !(h->Style & WS_DISABLED));
    if (h->HasRegion) w->setMask(h->Region);
    else w->clearMask();
}

void PlaceWidget(TWinControl* Control) {
    QWidget* w = H(Control)->Widget;
    if (!w) return;
    const int width = std::max(0, Control->Width()), height = std::max(0, Control->Height());
    if (IsPopupWindow(Control)) {
        Qt::WindowFlags f = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                            ((H(Control)->ExStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window);
        if (H(Control)->ExStyle & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
        if (H(Control)->ExStyle & WS_EX_TRANSPARENT) f |= Qt::WindowTransparentForInput;
        if (!(H(Control)->ClassStyle & CS_DROPSHADOW)) f |= Qt::NoDropShadowWindowHint;
        // The flags asked for are kept: the platform may add its own to windowFlags().
        const char* const applied = "configurator.popupflags";
        if (w->parentWidget() || w->property(applied).toInt() != int(f)) {
            const bool visible = w->isVisible();
            w->setProperty(applied, int(f));
            w->setParent(nullptr, f);
            w->setAttribute(Qt::WA_ShowWithoutActivating);
            if (visible) w->show();
        }
        w->setGeometry(Control->Left(), Control->Top(), width, height);
        return;
    }
    TWinControl* parent = Control->Parent();
    if (!parent || dynamic_cast<TCustomForm*>(Control)) {
        w->setGeometry(Control->Left(), Control->Top(), width, height);
        return;
    }
    QWidget* pw = WidgetOf(parent);
    if (w->parentWidget() != pw) w->setParent(pw);
    const TRect pc = ClientInWindow(parent);
    w->setGeometry(Control->Left() + pc.Left, Control->Top() + pc.Top, width, height);
}

TRect ClientInWindow(TWinControl* Control) {
    TWinControlHandle* h = H(Control);
    if (!h->FrameKnown) {
        // Provisional answer for a handler that asks during the measuring.
        h->FrameKnown = true;
        h->Client = Rect(0, 0, Control->Width(), Control->Height());
        TRect r = Bounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
        const TRect before = r;
        Control->Perform(WM_NCCALCSIZE, 0, LPARAM(&r));
        TRect c = Rect(r.Left - before.Left, r.Top - before.Top, r.Right - before.Left, r.Bottom - before.Top);
        c.Right = std::max(c.Left, c.Right);
        c.Bottom = std::max(c.Top, c.Bottom);
        h->Client = c;
    }
    return h->Client;
}

void FrameChanged(TWinControl* Control) {
    TWinControlHandle* h = H(Control);
    const TRect old = h->Client;
    const bool known = h->FrameKnown;
    h->FrameKnown = false;
    if (!h->Widget) return;
    const TRect now = ClientInWindow(Control);
    if (!known || !(old == now)) {
        for (int i = 0; i < Control->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(Control->Controls(i))) PlaceWidget(w);
        InvalidateClient(Control, QRect());
        if (known && (old.Width() != now.Width() || old.Height() != now.Height())) Control->Realign();
    }
    h->Widget->update();
}

void InvalidateClient(TWinControl* Control, const QRect& Rect, bool Erase) {
    TWinControlHandle* h = H(Control);
    if (Rect.isNull() && WholeInvalidHeld(h, Erase)) return;
    const TRect c = ClientInWindow(Control);
    const QRect all(0, 0, c.Right - c.Left, c.Bottom - c.Top);
    const bool hidden = !h->Widget || !h->Widget->isVisible();
    const QRect r = Rect.isNull() ? all : (Rect & all);
    if (r.isEmpty()) return;
    // A window not shown gets no paint request (its showing paints it), so
    // asking again for what its update region holds changes nothing; a grid
    // filled before its form shows asks once per cell.
    // The containment is tested by hand: r is not empty, and a region of
    // one rectangle is that rectangle.
    if (hidden && (h->EraseNeeded || !Erase) && h->Invalid.rectCount() == 1) {
        const QRect b = *h->Invalid.begin();
        if (r.left() >= b.left() && r.right() <= b.right() && r.top() >= b.top() && r.bottom() <= b.bottom()) {
            if (r == all) h->InvalidWhole = TRect{0, 0, all.width(), all.height()};
            return;
        }
    }
    h->Invalid |= r;
    if (r == all) h->InvalidWhole = TRect{0, 0, all.width(), all.height()};
    if (Erase) h->EraseNeeded = true;
    if (h->Widget) h->Widget->update(r.translated(c.Left, c.Top));
}

bool NonClientDefault(TWinControl* Control, TMessage& Message) {
    TWinControlHandle* h = H(Control);
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        TRect& r = *reinterpret_cast<TRect*>(Message.LParam);
        if (h->Style & WS_BORDER) InflateRect(r, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
        if (h->Style & WS_DLGFRAME) InflateRect(r, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
        if (h->ExStyle & WS_EX_CLIENTEDGE) InflateRect(r, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        if (Control->BevelKind() != bkNone) {
            const int edge = (Control->BevelInner() != bvNone ? Control->BevelWidth() : 0) +
                             (Control->BevelOuter() != bvNone ? Control->BevelWidth() : 0);
            const TBevelEdges edges = Control->BevelEdges();
            if (edges.Contains(beLeft)) r.Left += edge;
            if (edges.Contains(beTop)) r.Top += edge;
            if (edges.Contains(beRight)) r.Right -= edge;
            if (edges.Contains(beBottom)) r.Bottom -= edge;
        }
        InflateRect(r, -Control->BorderWidth(), -Control->BorderWidth());
        r.Right = std::max(r.Left, r.Right);
        r.Bottom = std::max(r.Top, r.Bottom);
        const int vbar = BarThickness(Control, SB_VERT), hbar = BarThickness(Control, SB_HORZ);
        if ((h->Style & WS_VSCROLL) && r.Right - r.Left >= vbar) {
            if (h->ExStyle & WS_EX_LEFTSCROLLBAR) r.Left += vbar;
            else r.Right -= vbar;
        }
        if ((h->Style & WS_HSCROLL) && r.Bottom - r.Top >= hbar) r.Bottom -= hbar;
        Message.Result = 0;
        return true;
    }
    case WM_NCHITTEST: {
        const TPoint o = WindowOrigin(Control);
        const TPoint wp{SmallInt(Message.LParamLo()) - o.X, SmallInt(Message.LParamHi()) - o.Y};
        const TRect c = ClientInWindow(Control);
        if (wp.X < 0 || wp.Y < 0 || wp.X >= Control->Width() || wp.Y >= Control->Height() ||
            (h->HasRegion && !h->Region.contains(QPoint(wp.X, wp.Y))))
            Message.Result = HTNOWHERE;
        else if (PtInRect(c, wp)) Message.Result = HTCLIENT;
        else if (PtInRect(BarRect(Control, SB_VERT), wp)) Message.Result = HTVSCROLL;
        else if (PtInRect(BarRect(Control, SB_HORZ), wp)) Message.Result = HTHSCROLL;
        else if ((h->ExStyle & WS_EX_LEFTSCROLLBAR ? wp.X < c.Left : wp.X >= c.Right) && wp.Y >= c.Bottom &&
                 (h->Style & WS_VSCROLL) && (h->Style & WS_HSCROLL))
            Message.Result = HTNOWHERE;  // the box between the bars
        else Message.Result = HTBORDER;
        if (h->FlatBars) {
            const int bar = Message.Result == HTVSCROLL ? SB_VERT : Message.Result == HTHSCROLL ? SB_HORZ : -1;
            TrackHotPart(Control, bar, bar < 0 ? bpNone : BarPartAt(Control, bar, wp));
        }
        return true;
    }
    case WM_NCPAINT:
        if (Message.LParam) PaintFrame(Control, *reinterpret_cast<TCanvas*>(Message.LParam));
        return true;
    case CM_MOUSELEAVE:
        TrackHotPart(Control, -1, bpNone);
        return false;
    case WM_CANCELMODE:
        // A press on the bar or the sizing edge ends here, as at its release.
        if (Tracking.Active && Tracking.Window == h->Handle) {
            const int bar = Tracking.Bar;
            EndTracking();
            SendScroll(Control, bar, SB_ENDSCROLL, 0);
            RepaintFrame(Control);
        }
        if (SizeDrag.Active && SizeDrag.Window == h->Handle) SizeDrag.Active = false;
        return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == WPARAM(HTVSCROLL) || Message.WParam == WPARAM(HTHSCROLL)) {
            StartTracking(Control, Message.WParam == WPARAM(HTVSCROLL) ? SB_VERT : SB_HORZ,
                          {SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
            return true;
        }
        if (IsSizingHit(int(Message.WParam)) && IsTopLevel(Control)) {
            StartSizeDrag(Control, int(Message.WParam), {SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool NonClientTrackingActive() { return Tracking.Active || SizeDrag.Active; }

bool NonClientTrackingMouse(TWinControl* Control, Cardinal Msg, TPoint Screen) {
    if (SizeDrag.Active) {
        TWinControl* c = FindControl(SizeDrag.Window);
        if (!c) {
            SizeDrag.Active = false;
            return false;
        }
        if (Msg == WM_MOUSEMOVE || Msg == WM_NCMOUSEMOVE) SizeDragTo(c, Screen);
        else if (Msg == WM_LBUTTONUP || Msg == WM_NCLBUTTONUP) SizeDrag.Active = false;
        return true;
    }
    if (!Tracking.Active) return false;
    TWinControl* c = FindControl(Tracking.Window);
    if (!c) {
        EndTracking();
        return false;
    }
    if (Control && Control != c) return false;
    if (Msg != WM_MOUSEMOVE && Msg != WM_LBUTTONUP && Msg != WM_NCMOUSEMOVE && Msg != WM_NCLBUTTONUP) return true;
    const int bar = Tracking.Bar;
    TScrollBarState& s = H(c)->Bars[bar];
    const TPoint o = WindowOrigin(c);
    const TPoint wp{Screen.X - o.X, Screen.Y - o.Y};
    if (Msg == WM_MOUSEMOVE || Msg == WM_NCMOUSEMOVE) {
        if (Tracking.Part == bpThumb) {
            const int pos = ThumbPosFromPoint(c, bar, wp);
            if (pos != s.TrackPos) {
                s.TrackPos = pos;
                RepaintFrame(c);
                SendScroll(c, bar, SB_THUMBTRACK, pos);
            }
        }
        return true;
    }
    const HWND handle = Tracking.Window;
    const int part = Tracking.Part;
    const int trackPos = s.TrackPos;
    EndTracking();
    if (part == bpThumb) SendScroll(c, bar, SB_THUMBPOSITION, trackPos);
    if (FindControl(handle)) SendScroll(c, bar, SB_ENDSCROLL, 0);
    // The bar held the mouse for the press; the window hears it let go.
    if (FindControl(handle)) c->Perform(WM_CAPTURECHANGED, 0, 0);
    if (FindControl(handle)) RepaintFrame(c);
    return true;
}

// ---------------------------------------------------------------------------
// Hit testing across windows
// ---------------------------------------------------------------------------
std::vector<TWinControl*> TopLevelWindows() {
    std::vector<TWinControl*> list, topmost;
    auto add = [&](TWinControl* c) {
        if (!c || !c->HandleAllocated() || !H(c)->Widget->isVisible()) return;
        if (std::find(list.begin(), list.end(), c) != list.end()) return;
        if (std::find(topmost.begin(), topmost.end(), c) != topmost.end()) return;
        ((H(c)->ExStyle & WS_EX_TOPMOST) ? topmost : list).push_back(c);
    };
    // Forms never raised come first, in their creation order.
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (std::find(ZOrder.begin(), ZOrder.end(), f->HandleImpl()->Handle) == ZOrder.end()) add(f);
    }
    for (HWND h : ZOrder) add(FindControl(h));
    list.insert(list.end(), topmost.begin(), topmost.end());
    return list;
}

void TopLevelRaised(TWinControl* Control) {
    HWND h = H(Control)->Handle;
    ZOrder.erase(std::remove_if(ZOrder.begin(), ZOrder.end(), [h](HWND x) { return x == h || !FindControl(x); }),
                 ZOrder.end());
    ZOrder.push_back(h);
}

TWinControl* MouseTargetAt(TWinControl* Host, TPoint Screen, int& HitCode) {
    HitCode = HTNOWHERE;
    TWinControl* w = Host;
    for (int guard = 0; w && guard < 64; ++guard) {
        if (!WindowContains(w, Screen, w != Host) || PassesMouseThrough(w)) {
            w = WindowBeneath(w, Screen);
            continue;
        }
        if (H(w)->Style & WS_DISABLED) return nullptr;
        const HWND handle = H(w)->Handle;
        const LRESULT code = w->Perform(WM_NCHITTEST, 0, MakeLParam(Screen.X, Screen.Y));
        if (!FindControl(handle)) return nullptr;
        if (code == HTTRANSPARENT) {
            w = WindowBeneath(w, Screen);
            continue;
        }
        HitCode = int(code);
        return w;
    }
    return nullptr;
}

HWND WindowFromPoint(TPoint Point) {
    std::vector<TWinControl*> tops = TopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!WindowContains(*it, Point)) continue;
        int code = 0;
        TWinControl* w = MouseTargetAt(DeepestAt(*it, Point, nullptr), Point, code);
        return w ? w->Handle() : 0;
    }
    return 0;
}

bool SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int CX, int CY, Cardinal Flags) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    if (Flags & SWP_FRAMECHANGED) FrameChanged(c);
    if (!(Flags & SWP_NOZORDER)) {
        TWinControlHandle* h = H(c);
        if (InsertAfter == HWND_TOPMOST) h->ExStyle |= WS_EX_TOPMOST;
        else if (InsertAfter == HWND_NOTOPMOST) h->ExStyle &= ~WS_EX_TOPMOST;
        if (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) ApplyWindowStyles(c);
        if (InsertAfter == HWND_BOTTOM) c->SendToBack();
        else if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
            if (IsTopLevel(c)) TopLevelRaised(c);
            else c->BringToFront();
        }
    }
    const int l = (Flags & SWP_NOMOVE) ? c->Left() : X, t = (Flags & SWP_NOMOVE) ? c->Top() : Y;
    const int w = (Flags & SWP_NOSIZE) ? c->Width() : CX, hgt = (Flags & SWP_NOSIZE) ? c->Height() : CY;
    c->SetBounds(l, t, w, hgt);
    if (Flags & SWP_SHOWWINDOW) {
        auto* form = dynamic_cast<TCustomForm*>(c);
        if (IsTopLevel(c) && !form) TopLevelRaised(c);
        if (form && (Flags & SWP_NOACTIVATE)) form->ShowNoActivate();
        else c->SetVisible(true);
    }
    if (Flags & SWP_HIDEWINDOW) c->SetVisible(false);
    return true;
}

LPARAM GetClassLong(HWND Handle, int Index) {
    TWinControl* c = FindControl(Handle);
    return c && Index == GCL_STYLE ? LPARAM(H(c)->ClassStyle) : 0;
}

LPARAM SetClassLong(HWND Handle, int Index, LPARAM Value) {
    TWinControl* c = FindControl(Handle);
    if (!c || Index != GCL_STYLE) return 0;
    const LPARAM old = LPARAM(H(c)->ClassStyle);
    H(c)->ClassStyle = Cardinal(Value);
    ApplyWindowStyles(c);
    return old;
}

bool GetWindowRect(HWND Handle, TRect& R) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    const TPoint o = WindowOrigin(c);
    R = Bounds(o.X, o.Y, c->Width(), c->Height());
    return true;
}

bool GetClientRect(HWND Handle, TRect& R) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    R = c->ClientRect();
    return true;
}

bool IsWindowVisible(HWND Handle) {
    TWinControl* c = FindControl(Handle);
    return c && c->HandleAllocated() && H(c)->Widget->isVisible();
}

bool IsWindowEnabled(HWND Handle) {
    TWinControl* c = FindControl(Handle);
    return c && c->Enabled() && !(H(c)->Style & WS_DISABLED);
}

bool EnableWindow(HWND Handle, bool Enable) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    const bool wasDisabled = !IsWindowEnabled(Handle);
    if (Enable) H(c)->Style &= ~WS_DISABLED;
    else H(c)->Style |= WS_DISABLED;
    ApplyWindowStyles(c);
    return wasDisabled;
}

// ---------------------------------------------------------------------------
// Scroll bars
// ---------------------------------------------------------------------------
namespace {
TWinControl* BarOwner(HWND Handle, int Bar) {
    if (Bar != SB_HORZ && Bar != SB_VERT) return nullptr;
    return FindControl(Handle);
}

void SetBarShown(TWinControl* c, int bar, bool show) {
    const Cardinal bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    const Cardinal before = H(c)->Style;
    if (show) H(c)->Style |= bit;
    else H(c)->Style &= ~bit;
    if (before != H(c)->Style) FrameChanged(c);
}
}  // namespace

int SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO& Info, bool Redraw) {
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c) return 0;
    TScrollBarState& s = H(c)->Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        s.Min = Info.nMin;
        s.Max = std::max(Info.nMin, Info.nMax);
    }
    if (Info.fMask & SIF_PAGE) s.Page = int(std::min<Cardinal>(Info.nPage, 0x7FFFFFFF));
    // A page never exceeds the range.
    s.Page = int(std::min<std::int64_t>(s.Page, std::min<std::int64_t>(RangeSize(s), 0x7FFFFFFF)));
    if (Info.fMask & SIF_POS) s.Pos = Info.nPos;
    s.Pos = int(std::clamp<std::int64_t>(s.Pos, s.Min, s.Min + std::max<std::int64_t>(ScrollableRange(s), 0)));
    if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
        const bool needed = ScrollableRange(s) > 0;
        if (!needed && (Info.fMask & SIF_DISABLENOSCROLL)) {
            s.NoScrollDisabled = true;
            s.Arrows = ESB_DISABLE_BOTH;
            SetBarShown(c, Bar, true);
        } else {
            if (s.NoScrollDisabled) {
                s.NoScrollDisabled = false;
                s.Arrows = ESB_ENABLE_BOTH;
            }
            SetBarShown(c, Bar, needed);
        }
    }
    if (Redraw) RepaintFrame(c);
    return s.Pos;
}

bool GetScrollInfo(HWND Handle, int Bar, SCROLLINFO& Info) {
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c || (Info.fMask & SIF_ALL) == 0) return false;
    const TScrollBarState& s = H(c)->Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        Info.nMin = s.Min;
        Info.nMax = s.Max;
    }
    if (Info.fMask & SIF_PAGE) Info.nPage = Cardinal(s.Page);
    if (Info.fMask & SIF_POS) Info.nPos = s.Pos;
    if (Info.fMask & SIF_TRACKPOS) {
        const bool tracking = Tracking.Active && Tracking.Window == Handle && Tracking.Bar == Bar && Tracking.Part == bpThumb;
        Info.nTrackPos = tracking ? s.TrackPos : s.Pos;
    }
    return true;
}

int SetScrollPos(HWND Handle, int Bar, int Pos, bool Redraw) {
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c) return 0;
    const int old = H(c)->Bars[Bar].Pos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = Pos;
    SetScrollInfo(Handle, Bar, si, Redraw);
    return old;
}

int GetScrollPos(HWND Handle, int Bar) {
    TWinControl* c = BarOwner(Handle, Bar);
    return c ? H(c)->Bars[Bar].Pos : 0;
}

bool SetScrollRange(HWND Handle, int Bar, int Min, int Max, bool Redraw) {
    if (!BarOwner(Handle, Bar)) return false;
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = Min;
    si.nMax = Max;
    SetScrollInfo(Handle, Bar, si, Redraw);
    return true;
}

bool GetScrollRange(HWND Handle, int Bar, int& Min, int& Max) {
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c) return false;
    Min = H(c)->Bars[Bar].Min;
    Max = H(c)->Bars[Bar].Max;
    return true;
}

bool ShowScrollBar(HWND Handle, int Bar, bool Show) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    if (Bar == SB_HORZ || Bar == SB_BOTH) SetBarShown(c, SB_HORZ, Show);
    if (Bar == SB_VERT || Bar == SB_BOTH) SetBarShown(c, SB_VERT, Show);
    return Bar == SB_HORZ || Bar == SB_VERT || Bar == SB_BOTH;
}

bool EnableScrollBar(HWND Handle, int Bar, Cardinal Arrows) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (Bar != b && Bar != SB_BOTH) continue;
        TScrollBarState& s = H(c)->Bars[b];
        changed = changed || s.Arrows != (Arrows & ESB_DISABLE_BOTH);
        s.Arrows = Arrows & ESB_DISABLE_BOTH;
    }
    if (changed) RepaintFrame(c);
    return changed;
}

// ---------------------------------------------------------------------------
// Flat scroll bars
// ---------------------------------------------------------------------------
namespace {
TWinControlHandle* FlatOwner(HWND Handle) {
    TWinControl* c = FindControl(Handle);
    return c && c->HandleAllocated() ? H(c) : nullptr;
}
}  // namespace

bool InitializeFlatSB(HWND Handle) {
    TWinControlHandle* h = FlatOwner(Handle);
    if (!h) return false;
    h->FlatBars = true;
    return true;
}

HRESULT UninitializeFlatSB(HWND Handle) {
    TWinControlHandle* h = FlatOwner(Handle);
    if (!h) return E_HANDLE;
    const bool sized = h->FlatThickness[0] > 0 || h->FlatThickness[1] > 0;
    h->FlatBars = false;
    h->FlatStyle[0] = h->FlatStyle[1] = FSB_REGULAR_MODE;
    h->FlatBack[0] = h->FlatBack[1] = clNone;
    h->FlatThickness[0] = h->FlatThickness[1] = 0;
    h->HotBar = -1;
    h->HotPart = bpNone;
    if (sized) FrameChanged(h->Control);
    RepaintFrame(h->Control);
    return S_OK;
}

bool FlatSB_SetScrollProp(HWND Handle, Cardinal Index, std::intptr_t NewValue, bool Redraw) {
    TWinControlHandle* h = FlatOwner(Handle);
    if (!h || !h->FlatBars) return false;
    switch (Index) {
    case WSB_PROP_CXVSCROLL:
    case WSB_PROP_CYHSCROLL: {
        int& t = h->FlatThickness[Index == WSB_PROP_CXVSCROLL ? SB_VERT : SB_HORZ];
        const int value = int(std::max<std::intptr_t>(NewValue, 0));
        if (t == value) return true;
        t = value;
        // The client area gives the bar its new room.
        FrameChanged(h->Control);
        break;
    }
    case WSB_PROP_VBKGCOLOR: h->FlatBack[SB_VERT] = TColor(NewValue); break;
    case WSB_PROP_HBKGCOLOR: h->FlatBack[SB_HORZ] = TColor(NewValue); break;
    case WSB_PROP_VSTYLE:
    case WSB_PROP_HSTYLE:
        if (NewValue < FSB_REGULAR_MODE || NewValue > FSB_FLAT_MODE) return false;
        h->FlatStyle[Index == WSB_PROP_VSTYLE ? SB_VERT : SB_HORZ] = int(NewValue);
        break;
    default: return false;
    }
    if (Redraw) RepaintFrame(h->Control);
    return true;
}

bool FlatSB_GetScrollProp(HWND Handle, Cardinal Index, std::intptr_t& Value) {
    TWinControlHandle* h = FlatOwner(Handle);
    if (!h || !h->FlatBars) return false;
    switch (Index) {
    case WSB_PROP_CXVSCROLL: Value = BarThickness(h->Control, SB_VERT); return true;
    case WSB_PROP_CYHSCROLL: Value = BarThickness(h->Control, SB_HORZ); return true;
    case WSB_PROP_VBKGCOLOR: Value = std::intptr_t(h->FlatBack[SB_VERT]); return true;
    case WSB_PROP_HBKGCOLOR: Value = std::intptr_t(h->FlatBack[SB_HORZ]); return true;
    case WSB_PROP_VSTYLE: Value = h->FlatStyle[SB_VERT]; return true;
    case WSB_PROP_HSTYLE: Value = h->FlatStyle[SB_HORZ]; return true;
    default: return false;
    }
}

// The flat bars are the window's own: the plain calls serve them.
int FlatSB_SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO& Info, bool Redraw) {
    return SetScrollInfo(Handle, Bar, Info, Redraw);
}

bool FlatSB_GetScrollInfo(HWND Handle, int Bar, SCROLLINFO& Info) { return GetScrollInfo(Handle, Bar, Info); }

bool FlatSB_ShowScrollBar(HWND Handle, int Bar, bool Show) { return ShowScrollBar(Handle, Bar, Show); }

bool GetScrollBarInfo(HWND Handle, LPARAM IdObject, SCROLLBARINFO& Info) {
    TWinControl* c = FindControl(Handle);
    if (!c || (IdObject != OBJID_HSCROLL && IdObject != OBJID_VSCROLL)) return false;
    const int bar = IdObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
    const TScrollBarState& s = H(c)->Bars[bar];
    Info = SCROLLBARINFO{};
    const TRect r = BarRect(c, bar);
    const TPoint o = WindowOrigin(c);
    Info.rcScrollBar = IsRectEmpty(r) ? TRect{} : Rect(r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y);
    Info.dxyLineButton = ArrowLength(bar);
    int start = 0, length = 0;
    const bool tracking = Tracking.Active && Tracking.Window == Handle && Tracking.Bar == bar;
    if (!IsRectEmpty(r) && ThumbExtent(c, bar, tracking && Tracking.Part == bpThumb ? s.TrackPos : s.Pos, start, length)) {
        Info.xyThumbTop = start;
        Info.xyThumbBottom = start + length;
    }
    if (!BarStyle(c, bar)) Info.rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    if (!BarEnabled(c, bar)) Info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    if (s.Arrows & ESB_DISABLE_LTUP) Info.rgstate[bpLineUp] |= STATE_SYSTEM_UNAVAILABLE;
    if (s.Arrows & ESB_DISABLE_RTDN) Info.rgstate[bpLineDown] |= STATE_SYSTEM_UNAVAILABLE;
    if (length == 0) Info.rgstate[bpThumb] |= STATE_SYSTEM_INVISIBLE;
    if (tracking) Info.rgstate[Tracking.Part] |= STATE_SYSTEM_PRESSED;
    return true;
}

// ---------------------------------------------------------------------------
// Regions and layered windows
// ---------------------------------------------------------------------------
int SetWindowRgn(HWND Handle, const TRegion* Region, bool Redraw) {
    TWinControl* c = FindControl(Handle);
    if (!c) return 0;
    H(c)->HasRegion = Region != nullptr;
    H(c)->Region = Region ? RegionAccess::Of(*Region) : QRegion();
    ApplyWindowStyles(c);
    if (Redraw && c->HandleAllocated()) H(c)->Widget->update();
    return 1;
}

int GetWindowRgn(HWND Handle, TRegion& Region) {
    TWinControl* c = FindControl(Handle);
    if (!c || !H(c)->HasRegion) return ERROR;
    RegionAccess::Of(Region) = H(c)->Region;
    const int n = H(c)->Region.rectCount();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool DesktopComposes() {
    const QString name = QGuiApplication::platformName();
    if (name.startsWith(QLatin1String("wayland"))) return true;
    if (name != QLatin1String("xcb")) return false;  // offscreen, framebuffers: nothing composes
    // On X11 a compositing manager owns the selection _NET_WM_CM_S<screen>.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    static const char kName[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr);
    if (!atom) return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    if (!owner) return false;
    const bool composes = owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return composes;
}

bool SetLayeredWindowAttributes(HWND Handle, TColor Key, Byte Alpha, Cardinal Flags) {
    TWinControl* c = FindControl(Handle);
    if (!c || !(H(c)->ExStyle & WS_EX_LAYERED) || !DesktopComposes()) return false;
    QWidget* w = WidgetOf(c);
    if (!w->isWindow()) return false;
    w->setWindowOpacity((Flags & LWA_ALPHA) ? Alpha / 255.0 : 1.0);
    (void)Key;  // the colour key is shown through the window's region
    return true;
}

bool UpdateLayeredWindow(HWND Handle, const TPoint* DestPos, const TSize* Size, const TBitmap* Source,
                         const TPoint* SourcePos, TColor Key, const BLENDFUNCTION* Blend, Cardinal Flags) {
    TWinControl* c = FindControl(Handle);
    if (!c || !(H(c)->ExStyle & WS_EX_LAYERED) || !DesktopComposes()) return false;
    QWidget* w = WidgetOf(c);
    if (!w->isWindow()) return false;
    if (DestPos || Size)
        c->SetBounds(DestPos ? DestPos->X : c->Left(), DestPos ? DestPos->Y : c->Top(), Size ? Size->cx : c->Width(),
                     Size ? Size->cy : c->Height());
    if (Source) {
        const QImage& src = BitmapImage(*Source);
        const QPoint from = SourcePos ? QPoint(SourcePos->X, SourcePos->Y) : QPoint();
        QImage img = src.copy(QRect(from, QSize(c->Width(), c->Height())));
        // The source's fourth byte is premultiplied alpha.
        img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        H(c)->LayeredImage = img;
        H(c)->HasLayeredImage = true;
        w->setAttribute(Qt::WA_TranslucentBackground);
    }
    w->setWindowOpacity(Blend && (Flags & ULW_ALPHA) ? Blend->SourceConstantAlpha / 255.0 : 1.0);
    (void)Key;
    w->update();
    return true;
}

// ---------------------------------------------------------------------------
// Partial repainting
// ---------------------------------------------------------------------------
namespace {
QRect ToQ(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
}  // namespace

bool InvalidateRect(HWND Handle, const TRect* R, bool Erase) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    if (R && IsRectEmpty(*R)) return true;
    InvalidateClient(c, R ? ToQ(*R) : QRect(), Erase);
    return true;
}

bool ValidateRect(HWND Handle, const TRect* R) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    if (R) H(c)->Invalid -= ToQ(*R);
    else H(c)->Invalid = QRegion();
    H(c)->InvalidWhole = TRect{};
    return true;
}

bool GetUpdateRect(HWND Handle, TRect* R, bool Erase) {
    (void)Erase;
    TWinControl* c = FindControl(Handle);
    TRect result{};
    if (c) {
        const TRect cl = c->ClientRect();
        const QRegion area = (H(c)->Painting ? H(c)->PaintArea : H(c)->Invalid) & ToQ(cl);
        const QRect b = area.boundingRect();
        if (!b.isEmpty()) result = Rect(b.left(), b.top(), b.right() + 1, b.bottom() + 1);
    }
    if (R) *R = result;
    return !IsRectEmpty(result);
}

bool UpdateWindow(HWND Handle) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    TWinControlHandle* h = H(c);
    if (!h->Widget || !h->Widget->isVisible()) return true;
    if (h->CustomPainted) {
        // Painted into the buffer now, whether or not the platform paints
        // at once, and shown.
        PaintInvalid(c);
        if (FindControl(Handle)) h->Widget->update();
    } else if (!h->Invalid.isEmpty()) {
        const TRect cl = ClientInWindow(c);
        h->Widget->repaint(h->Invalid.translated(cl.Left, cl.Top));
    } else {
        h->Widget->repaint();
    }
    return true;
}

bool PresentWindow(HWND Handle) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    TWinControlHandle* h = H(c);
    if (h->Widget && h->Widget->isVisible() && !h->Painting) h->Widget->repaint();
    return true;
}

bool RedrawWindow(HWND Handle, const TRect* R, const TRegion* Region, Cardinal Flags) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    TWinControlHandle* h = H(c);
    QRegion area = Region ? RegionAccess::Of(*Region) : R ? QRegion(ToQ(*R)) : QRegion(ToQ(c->ClientRect()));
    if (Flags & RDW_INVALIDATE) {
        for (const QRect& r : area) InvalidateClient(c, r, (Flags & RDW_ERASE) != 0 && !(Flags & RDW_NOERASE));
        if ((Flags & RDW_FRAME) && h->Widget) h->Widget->update();
    }
    if (Flags & RDW_VALIDATE) {
        h->Invalid -= area;
        h->InvalidWhole = TRect{};
    }
    if (Flags & RDW_ALLCHILDREN)
        for (int i = 0; i < c->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(c->Controls(i)); w && w->HandleAllocated())
                RedrawWindow(w->Handle(), nullptr, nullptr, Flags);
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(Handle);
    return true;
}

bool ScrollWindow(HWND Handle, int DX, int DY, const TRect* R, const TRect* ClipRect) {
    TWinControl* c = FindControl(Handle);
    if (!c) return false;
    TWinControlHandle* h = H(c);
    const QRect client = ToQ(c->ClientRect());
    QRect scroll = R ? ToQ(*R) & client : client;
    QRect clip = ClipRect ? ToQ(*ClipRect) & client : client;
    // The pixels that stay visible move; the band they leave needs painting.
    const QRect moved = scroll.translated(DX, DY) & scroll & clip;
    if (auto* custom = dynamic_cast<TCustomControl*>(c); custom && h->CustomPainted) {
        QImage& img = BitmapImage(custom->BackBuffer());
        if (!moved.isEmpty()) {
            const QImage part = img.copy(moved.translated(-DX, -DY));
            QPainter p(&img);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(moved.topLeft(), part);
        }
        // What was invalid moves with the pixels.
        QRegion pending = h->Invalid & scroll;
        h->Invalid -= scroll;
        h->Invalid |= pending.translated(DX, DY) & scroll;
        h->InvalidWhole = TRect{};
        const QRegion band = QRegion(scroll & clip) - QRegion(moved);
        for (const QRect& r : band) InvalidateClient(c, r);
        if (h->Widget) h->Widget->update();
    } else {
        InvalidateClient(c, scroll & clip);
    }
    if (!R) {
        for (int i = 0; i < c->ControlCount(); ++i) {
            TControl* child = c->Controls(i);
            child->SetBounds(child->Left() + DX, child->Top() + DY, child->Width(), child->Height());
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------
namespace {
// Renders a window's own painting (no windowed children) at its size.
QImage RenderWindowAlone(TWinControl* c) {
    QWidget* w = WidgetOf(c);
    QImage img(w->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(ToQColor(c->Color()));
    QWidget* top = w->window();
    const bool showForRender = !top->isVisible();
    if (showForRender) {
        top->setAttribute(Qt::WA_DontShowOnScreen, true);
        top->show();
    }
    w->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    if (showForRender) {
        top->hide();
        top->setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    return img;
}
}  // namespace

void DrawParentBackground(TControl* Control, TCanvas& Canvas) {
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    if (!parent) return;
    TBitmap bmp;
    BitmapImage(bmp) = RenderWindowAlone(parent);
    const TRect pc = ClientInWindow(parent);
    int saved = Canvas.SaveDC();
    Canvas.IntersectClipRect(0, 0, Control->Width(), Control->Height());
    // Control's top-left corner in its parent's window.
    Canvas.Draw(-(Control->Left() + pc.Left), -(Control->Top() + pc.Top), bmp);
    Canvas.RestoreDC(saved);
}

void CaptureScreen(TRect R, TBitmap& Bitmap) {
    const int width = std::max(1, R.Right - R.Left), height = std::max(1, R.Bottom - R.Top);
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    for (TWinControl* top : TopLevelWindows()) {
        QWidget* w = H(top)->Widget;
        const TPoint o = WindowOrigin(top);
        QImage img = H(top)->HasLayeredImage ? H(top)->LayeredImage : w->grab().toImage();
        p.save();
        p.translate(o.X - R.Left, o.Y - R.Top);
        if (H(top)->HasRegion) p.setClipRegion(H(top)->Region);
        p.drawImage(0, 0, img);
        p.restore();
    }
    p.end();
    Bitmap.SetSize(width, height);
    BitmapImage(Bitmap) = out;
}

// ---------------------------------------------------------------------------
// TControlCanvas
// ---------------------------------------------------------------------------
TControlCanvas::TControlCanvas() = default;

TControlCanvas::~TControlCanvas() { AttachCanvas(*this, {}); }

void TControlCanvas::SetControl(TWinControl* Value) {
    FControl = Value;
    if (!Value) {
        AttachCanvas(*this, {});
        return;
    }
    const HWND handle = Value->Handle();
    AttachCanvas(*this, [handle]() -> QImage* {
        TWinControl* c = FindControl(handle);
        return c ? &OverlayOf(c) : nullptr;
    });
    SetCanvasChangedHook(*this, [handle] {
        TWinControl* c = FindControl(handle);
        // Drawn outside a paint: show it; inside, the paint shows it anyway.
        if (c && c->HandleAllocated() && !H(c)->Widget->testAttribute(Qt::WA_WState_InPaintEvent))
            H(c)->Widget->update();
    });
}

#include "framework/Windows.h"

#include "framework/Forms.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <map>
#include <mutex>

namespace {
// The classic metrics at 96 dots per inch.
struct MetricEntry {
    int Index;
    int Value;
};
const MetricEntry MetricTable[] = {
    {SM_CXVSCROLL, 17},    {SM_CYHSCROLL, 17},    {SM_CYCAPTION, 19},      {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},      {SM_CXDLGFRAME, 3},    {SM_CYDLGFRAME, 3},      {SM_CYVTHUMB, 17},
    {SM_CXHTHUMB, 17},     {SM_CXICON, 32},       {SM_CYICON, 32},         {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},     {SM_CYMENU, 19},       {SM_CYVSCROLL, 17},      {SM_CXHSCROLL, 17},
    {SM_SWAPBUTTON, 0},    {SM_CXMIN, 112},       {SM_CYMIN, 27},          {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},       {SM_CXFRAME, 4},       {SM_CYFRAME, 4},         {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},   {SM_MENUDROPALIGNMENT, 0}, {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
    {SM_CXSMICON, 16},     {SM_CYSMICON, 16},     {SM_CYSMCAPTION, 15},    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},        {SM_CXMENUCHECK, 13},  {SM_CYMENUCHECK, 13},    {SM_MOUSEWHEELPRESENT, 1},
    {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
};

// The classic settings of the desktop.
struct ParameterEntry {
    Cardinal Action;
    Int64 Value;
};
const ParameterEntry ParameterTable[] = {
    {SPI_GETWHEELSCROLLLINES, 3},  // lines per wheel notch
    {SPI_GETDRAGFULLWINDOWS, 1},
    {SPI_GETTOOLTIPANIMATION, 1},
    {SPI_GETTOOLTIPFADE, 1},
};

std::mutex OverridesLock;
std::map<std::pair<int, Cardinal>, Int64> Overrides;

bool Overridden(TSystemMetricsGuard::TKind kind, Cardinal index, Int64& value) {
    std::lock_guard<std::mutex> lock(OverridesLock);
    auto it = Overrides.find({int(kind), index});
    if (it == Overrides.end()) return false;
    value = it->second;
    return true;
}

QRect DesktopGeometry() {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return QRect(0, 0, 1024, 768);
    return primary->virtualGeometry();
}

std::atomic<int> Beeps{0};
}  // namespace

int GetSystemMetrics(int Index) {
    Int64 v;
    if (Overridden(TSystemMetricsGuard::Metric, Cardinal(Index), v)) return int(v);
    switch (Index) {
    case SM_CXSCREEN: return Screen->Width();
    case SM_CYSCREEN: return Screen->Height();
    case SM_CXFULLSCREEN: return Screen->WorkAreaWidth();
    case SM_CYFULLSCREEN: return Screen->WorkAreaHeight() - GetSystemMetrics(SM_CYCAPTION);
    case SM_XVIRTUALSCREEN: return DesktopGeometry().left();
    case SM_YVIRTUALSCREEN: return DesktopGeometry().top();
    case SM_CXVIRTUALSCREEN: return DesktopGeometry().width();
    case SM_CYVIRTUALSCREEN: return DesktopGeometry().height();
    case SM_CMONITORS: return Screen->MonitorCount();
    default: break;
    }
    for (const MetricEntry& e : MetricTable)
        if (e.Index == Index) return e.Value;
    return 0;
}

bool SystemParametersInfo(Cardinal Action, Cardinal, void* Param, Cardinal) {
    if (!Param) return false;
    if (Action == SPI_GETWORKAREA) {
        *static_cast<TRect*>(Param) = Screen->WorkAreaRect();
        return true;
    }
    Int64 v = 0;
    bool known = Overridden(TSystemMetricsGuard::Parameter, Action, v);
    for (const ParameterEntry& e : ParameterTable)
        if (!known && e.Action == Action) {
            v = e.Value;
            known = true;
        }
    if (!known) return false;
    if (Action == SPI_GETWHEELSCROLLLINES) *static_cast<Cardinal*>(Param) = Cardinal(v);
    else *static_cast<int*>(Param) = int(v);
    return true;
}

TSystemMetricsGuard::TSystemMetricsGuard(TKind Kind, Cardinal Index, Int64 Value) : FKind(Kind), FIndex(Index) {
    std::lock_guard<std::mutex> lock(OverridesLock);
    auto it = Overrides.find({int(Kind), Index});
    FHadValue = it != Overrides.end();
    FSaved = FHadValue ? it->second : 0;
    Overrides[{int(Kind), Index}] = Value;
}

TSystemMetricsGuard::~TSystemMetricsGuard() {
    std::lock_guard<std::mutex> lock(OverridesLock);
    if (FHadValue) Overrides[{int(FKind), FIndex}] = FSaved;
    else Overrides.erase({int(FKind), FIndex});
}

bool MessageBeep(Cardinal) {
    ++Beeps;
    // Offscreen there is nothing to hear; the count is what tests look at.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        QApplication::beep();
    return true;
}

int MessageBeepCount() { return Beeps.load(); }
