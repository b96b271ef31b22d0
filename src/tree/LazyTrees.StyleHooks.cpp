#include "tree/LazyTrees.StyleHooks.h"

#include "tree/LazyTrees.h"

#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

// Every element's looks come in fours: normal, hot, pressed, disabled.
constexpr int lkNormal = 0, lkHot = 1, lkPressed = 2;
int LookOf(TThemedScrollBar S) { return int(S) % 4; }
TThemedScrollBar WithLook(TThemedScrollBar S, int Look) { return TThemedScrollBar(int(S) - LookOf(S) + Look); }

// Normal becomes hot over the element, hot becomes normal off it; a pressed look stays.
bool FollowHot(TThemedScrollBar& S, bool Over) {
    if (LookOf(S) == lkNormal && Over) S = WithLook(S, lkHot);
    else if (LookOf(S) == lkHot && !Over) S = WithLook(S, lkNormal);
    else return false;
    return true;
}

TRect ScreenToClientRect(TWinControl* C, const TRect& R) {
    const TPoint a = C->ScreenToClient({R.Left, R.Top}), b = C->ScreenToClient({R.Right, R.Bottom});
    return Rect(a.X, a.Y, b.X, b.Y);
}

TPoint ScreenPointOf(LPARAM L) { return {SmallInt(Word(L & 0xFFFF)), SmallInt(Word((L >> 16) & 0xFFFF))}; }

}  // namespace

// ---------------------------------------------------------------------------
// The windows over the bars
// ---------------------------------------------------------------------------
TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::TFwStyleScrollBarWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOverrideStylePaint, csOpaque});
    SetTabStop(false);
    SetVisible(false);
}

TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::~TFwStyleScrollBarWindow() {
    // Freed with its parent before the hook: the hook forgets it.
    if (FScrollBarWindowOwner) FScrollBarWindowOwner->WindowGone(this);
}

void TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    // A child window always clips its siblings and children here.
    Params.Style |= WS_CHILD;
    Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::WMNCHitTest(TMessage& Message) {
    Message.Result = LRESULT(HTTRANSPARENT);
}

void TFwStyleScrollBarsHook::TFwStyleScrollBarWindow::Paint() {
    if (!FScrollBarWindowOwner) return;
    TCanvas& C = Canvas();
    // The bar is drawn in the tree's coordinates; its top-left corner is this window's.
    const TRect R = FScrollBarVertical ? FScrollBarWindowOwner->FVertScrollBarRect
                                       : FScrollBarWindowOwner->FHorzScrollBarRect;
    const TPoint org = C.ViewportOrg();
    C.SetViewportOrg(org.X - R.Left, org.Y - R.Top);
    if (FScrollBarVertical) FScrollBarWindowOwner->PaintVertBar(C);
    else FScrollBarWindowOwner->PaintHorzBar(C);
    C.SetViewportOrg(org.X, org.Y);
}

// ---------------------------------------------------------------------------
// The hook
// ---------------------------------------------------------------------------
TFwStyleScrollBarsHook::TFwStyleScrollBarsHook(TWinControl* AControl) : TMouseTrackControlStyleHook(AControl) {
    FVertScrollBarWindow = new TFwStyleScrollBarWindow(nullptr);
    FVertScrollBarWindow->SetScrollBarWindowOwner(this);
    FVertScrollBarWindow->SetScrollBarVertical(true);
    FHorzScrollBarWindow = new TFwStyleScrollBarWindow(nullptr);
    FHorzScrollBarWindow->SetScrollBarWindowOwner(this);
    if (AControl->Parent()) {
        FVertScrollBarWindow->SetParent(AControl->Parent());
        FHorzScrollBarWindow->SetParent(AControl->Parent());
    }
}

TFwStyleScrollBarsHook::~TFwStyleScrollBarsHook() {
    for (TFwStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow}) {
        if (!w) continue;
        w->SetScrollBarWindowOwner(nullptr);
        delete w;
    }
}

void TFwStyleScrollBarsHook::WindowGone(TFwStyleScrollBarWindow* W) {
    if (W == FVertScrollBarWindow) FVertScrollBarWindow = nullptr;
    if (W == FHorzScrollBarWindow) FHorzScrollBarWindow = nullptr;
}

TBaseLazyTree* TFwStyleScrollBarsHook::Tree() const { return dynamic_cast<TBaseLazyTree*>(Control()); }

TPoint TFwStyleScrollBarsHook::PointOffset() const {
    const TBaseLazyTree* t = Tree();
    if (!t || t->BorderStyle() != TBaseLazyTree::bsSingle) return {0, 0};
    const bool edge = (GetWindowLong(Control()->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    return edge ? TPoint{2, 2} : TPoint{1, 1};
}

TPoint TFwStyleScrollBarsHook::BarPoint(LPARAM ScreenPoint) const {
    TPoint p = Control()->ScreenToClient(ScreenPointOf(ScreenPoint));
    const TPoint o = PointOffset();
    return {p.X + o.X, p.Y + o.Y};
}

bool TFwStyleScrollBarsHook::PointInHeader(TPoint P) {
    TBaseLazyTree* t = Tree();
    return t && t->Header().InHeader(P);
}

void TFwStyleScrollBarsHook::MeasureBarRects() {
    if (!Control()->HandleAllocated()) return;
    const HWND h = Control()->Handle();
    const TBaseLazyTree* t = Tree();
    const bool clientEdge = t && t->BorderStyle() == TBaseLazyTree::bsSingle &&
                            (GetWindowLong(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    auto measure = [&](bool vertical) {
        TFwStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        SCROLLBARINFO info;
        if (!w || !GetScrollBarInfo(h, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, info)) return;
        w->SetScrollBarVisible(!(info.rgstate[0] & STATE_SYSTEM_INVISIBLE));
        w->SetScrollBarEnabled(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE));
        w->SetVisible(w->ScrollBarVisible());
        w->SetEnabled(w->ScrollBarEnabled());
        if (!w->ScrollBarVisible()) return;
        TRect bar = ScreenToClientRect(Control(), info.rcScrollBar);
        if (clientEdge) OffsetRect(bar, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
        const int size = GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
        if (vertical) {
            FVertScrollBarRect = bar;
            FVertScrollBarDownButtonRect = Rect(bar.Left, bar.Bottom - size, bar.Right, bar.Bottom);
            FVertScrollBarUpButtonRect = Rect(bar.Left, bar.Top, bar.Right, bar.Top + size);
            FVertScrollBarSliderTrackRect =
                Rect(bar.Left, FVertScrollBarUpButtonRect.Bottom, bar.Right, FVertScrollBarDownButtonRect.Top);
        } else {
            FHorzScrollBarRect = bar;
            FHorzScrollBarDownButtonRect = Rect(bar.Right - size, bar.Top, bar.Right, bar.Bottom);
            FHorzScrollBarUpButtonRect = Rect(bar.Left, bar.Top, bar.Left + size, bar.Bottom);
            FHorzScrollBarSliderTrackRect =
                Rect(FHorzScrollBarUpButtonRect.Right, bar.Top, FHorzScrollBarDownButtonRect.Left, bar.Bottom);
        }
    };
    measure(true);
    measure(false);
}

TRect TFwStyleScrollBarsHook::VertThumbRect() {
    SCROLLBARINFO info;
    if (!Usable(FVertScrollBarWindow) || !GetScrollBarInfo(Control()->Handle(), OBJID_VSCROLL, info)) return TRect{};
    TRect r = ScreenToClientRect(Control(), info.rcScrollBar);
    r.Top = info.xyThumbTop;
    r.Bottom = info.xyThumbBottom;
    const TPoint o = PointOffset();
    OffsetRect(r, o.X, o.Y);
    return r;
}

TRect TFwStyleScrollBarsHook::HorzThumbRect() {
    SCROLLBARINFO info;
    if (!Usable(FHorzScrollBarWindow) || !GetScrollBarInfo(Control()->Handle(), OBJID_HSCROLL, info)) return TRect{};
    TRect r = ScreenToClientRect(Control(), info.rcScrollBar);
    r.Left = info.xyThumbTop;
    r.Right = info.xyThumbBottom;
    const TPoint o = PointOffset();
    OffsetRect(r, o.X, o.Y);
    return r;
}

void TFwStyleScrollBarsHook::PositionBarWindows() {
    TBaseLazyTree* t = Tree();
    if (!t) return;
    const bool border = t->StyleElements().Contains(seBorder);
    const int H = t->Header().Options.Contains(hoVisible) ? t->Header().Height() : 0;
    const int bw = t->BorderWidth();
    for (TFwStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow}) {
        if (!w) continue;
        // The windows lie on the tree's parent, over the tree.
        if (w->Parent() != t->Parent()) w->SetParent(t->Parent());
        if (!w->ScrollBarVisible() || !border || !t->Parent()) {
            w->SetVisible(false);
            continue;
        }
        const bool vertical = w->ScrollBarVertical();
        const TRect R = vertical ? FVertScrollBarRect : FHorzScrollBarRect;
        const int b = t->BorderStyle() == TBaseLazyTree::bsSingle ? 2 * GetSystemMetrics(SM_CYEDGE) : 0;
        w->SetBounds(t->Left() + R.Left + bw, t->Top() + R.Top + H + bw, R.Right - R.Left,
                     vertical ? t->Height() - H - b - bw : R.Bottom - R.Top);
        w->SetVisible(true);
        w->BringToFront();
    }
}

void TFwStyleScrollBarsHook::RepaintBarWindows() {
    for (TFwStyleScrollBarWindow* w : {FVertScrollBarWindow, FHorzScrollBarWindow})
        if (w && w->HandleAllocated() && w->Visible()) w->Invalidate();
}

void TFwStyleScrollBarsHook::PaintVertBar(TCanvas& DC) {
    TCustomStyleServices& style = StyleServices();
    const TBaseLazyTree* t = Tree();
    if (!Control()->HandleAllocated() || !Shown(FVertScrollBarWindow) || !style.Available() || !t ||
        !t->StyleElements().Contains(seBorder))
        return;
    const TRect bar = FVertScrollBarRect;
    // As high as the window, less the tree's inner border.
    const TRect whole = Rect(bar.Left, bar.Top, bar.Right, bar.Top + FVertScrollBarWindow->Height() - t->BorderWidth());
    style.DrawElement(DC, style.GetElementDetails(tsUpperTrackVertNormal), whole);
    style.DrawElement(DC, style.GetElementDetails(tsUpperTrackVertNormal),
                      Rect(bar.Left, FVertScrollBarUpButtonRect.Bottom, bar.Right, FVertScrollBarDownButtonRect.Top));
    const bool enabled = FVertScrollBarWindow->Enabled();
    if (enabled) style.DrawElement(DC, style.GetElementDetails(FVertScrollBarSliderState), VertThumbRect());
    style.DrawElement(DC, style.GetElementDetails(enabled ? FVertScrollBarUpButtonState : tsArrowBtnUpDisabled),
                      FVertScrollBarUpButtonRect);
    style.DrawElement(DC, style.GetElementDetails(enabled ? FVertScrollBarDownButtonState : tsArrowBtnDownDisabled),
                      FVertScrollBarDownButtonRect);
}

void TFwStyleScrollBarsHook::PaintHorzBar(TCanvas& DC) {
    TCustomStyleServices& style = StyleServices();
    const TBaseLazyTree* t = Tree();
    if (!Control()->HandleAllocated() || !Shown(FHorzScrollBarWindow) || !style.Available() || !t ||
        !t->StyleElements().Contains(seBorder))
        return;
    const TRect bar = FHorzScrollBarRect;
    style.DrawElement(DC, style.GetElementDetails(tsUpperTrackHorzNormal),
                      Rect(FHorzScrollBarUpButtonRect.Right, bar.Top, FHorzScrollBarDownButtonRect.Left, bar.Bottom));
    const bool enabled = FHorzScrollBarWindow->Enabled();
    if (enabled) style.DrawElement(DC, style.GetElementDetails(FHorzScrollBarSliderState), HorzThumbRect());
    style.DrawElement(DC, style.GetElementDetails(enabled ? FHorzScrollBarUpButtonState : tsArrowBtnLeftDisabled),
                      FHorzScrollBarUpButtonRect);
    style.DrawElement(DC, style.GetElementDetails(enabled ? FHorzScrollBarDownButtonState : tsArrowBtnRightDisabled),
                      FHorzScrollBarDownButtonRect);
}

void TFwStyleScrollBarsHook::MouseLeftControl() {
    TMouseTrackControlStyleHook::MouseLeftControl();
    for (TThemedScrollBar* s : {&FVertScrollBarSliderState, &FVertScrollBarUpButtonState, &FVertScrollBarDownButtonState,
                                &FHorzScrollBarSliderState, &FHorzScrollBarUpButtonState, &FHorzScrollBarDownButtonState})
        if (LookOf(*s) == lkHot) *s = WithLook(*s, lkNormal);
    RepaintBarWindows();
}

void TFwStyleScrollBarsHook::WndProc(TMessage& Message) {
    TBaseLazyTree* t = Tree();
    const bool creating = t && t->TreeStates().Contains(tsWindowCreating);
    switch (Message.Msg) {
    case WM_CAPTURECHANGED:
        for (bool vertical : {true, false}) {
            TFwStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
            if (!Usable(w)) continue;
            TThemedScrollBar* arrows[] = {vertical ? &FVertScrollBarUpButtonState : &FHorzScrollBarUpButtonState,
                                          vertical ? &FVertScrollBarDownButtonState : &FHorzScrollBarDownButtonState};
            for (TThemedScrollBar* s : arrows)
                if (LookOf(*s) == lkPressed) {
                    *s = WithLook(*s, lkNormal);
                    RepaintBarWindows();
                }
        }
        CallDefaultProc(Message);
        Handled = true;
        break;
    case WM_ERASEBKGND: Handled = true; break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_MOUSEWHEEL:
        CallDefaultProc(Message);
        RepaintBarWindows();
        Handled = true;
        break;
    case CM_UPDATE_FWSTYLE_SCROLLBARS:
        MeasureBarRects();
        RepaintBarWindows();
        break;
    case WM_SIZE:
        CallDefaultProc(Message);
        MeasureBarRects();
        PositionBarWindows();
        RepaintBarWindows();
        Handled = true;
        break;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        CallDefaultProc(Message);
        if (!creating) {
            MeasureBarRects();
            PositionBarWindows();
            RepaintBarWindows();
        }
        Handled = true;
        break;
    case WM_NCPAINT:
        if (creating) {
            MeasureBarRects();
            PositionBarWindows();
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: PressNonClient(Message); break;
    case WM_NCLBUTTONUP: ReleaseNonClient(Message); break;
    case WM_NCMOUSEMOVE:
        TMouseTrackControlStyleHook::WndProc(Message);
        HotTrack(Message);
        break;
    case WM_MOUSEMOVE:
        TMouseTrackControlStyleHook::WndProc(Message);
        DragThumb(Message);
        break;
    case WM_LBUTTONUP: EndDrag(Message); break;
    default: TMouseTrackControlStyleHook::WndProc(Message); break;
    }
}

void TFwStyleScrollBarsHook::PressNonClient(TMessage& Message) {
    const TPoint P = BarPoint(Message.LParam);
    if (PointInHeader(P)) return;
    const TPoint screen = ScreenPointOf(Message.LParam);
    for (bool vertical : {true, false}) {
        TFwStyleScrollBarWindow* w = vertical ? FVertScrollBarWindow : FHorzScrollBarWindow;
        if (!Shown(w)) continue;
        if (PtInRect(vertical ? VertThumbRect() : HorzThumbRect(), P)) {
            FLeftMouseButtonDown = true;
            SCROLLINFO info;
            info.fMask = SIF_ALL;
            GetScrollInfo(Control()->Handle(), vertical ? SB_VERT : SB_HORZ, info);
            FScrollPos = float(info.nPos);
            FPrevScrollPos = vertical ? screen.Y : screen.X;
            if (vertical) FVertScrollBarSliderState = tsThumbBtnVertPressed;
            else FHorzScrollBarSliderState = tsThumbBtnHorzPressed;
            RepaintBarWindows();
            SetCapture(Control()->Handle());
            Handled = true;
            return;
        }
        if (!w->Enabled()) continue;
        TThemedScrollBar& down = vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState;
        TThemedScrollBar& up = vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState;
        if (PtInRect(vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect, P))
            down = WithLook(down, lkPressed);
        else if (PtInRect(vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect, P))
            up = WithLook(up, lkPressed);
    }
    // The platform's bar does the arrow or page step.
    FLeftMouseButtonDown = true;
    RepaintBarWindows();
}

bool TFwStyleScrollBarsHook::DragBar(bool Vertical, int MouseCoord) {
    const HWND h = Control()->Handle();
    const int bar = Vertical ? SB_VERT : SB_HORZ;
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(h, bar, info)) return false;
    if (int(std::lround(FScrollPos)) != info.nPos) FScrollPos = float(info.nPos);
    const TRect track = Vertical ? FVertScrollBarSliderTrackRect : FHorzScrollBarSliderTrackRect;
    const int extent = Vertical ? track.Bottom - track.Top : track.Right - track.Left;
    const float delta = float(MouseCoord - FPrevScrollPos);
    if (extent > 0) FScrollPos += delta / float(extent) * float(info.nMax - info.nMin);
    FScrollPos = std::clamp(FScrollPos, float(info.nMin), float(info.nMax));
    const int last = info.nMax - int(info.nPage) + 1;
    if (info.nPage != 0 && std::lround(FScrollPos) > last) FScrollPos = float(last);
    FPrevScrollPos = MouseCoord;
    const int pos = int(std::lround(FScrollPos));
    SCROLLINFO set;
    set.fMask = SIF_POS;
    set.nPos = pos;
    SetScrollInfo(h, bar, set, false);
    PostMessage(h, Vertical ? WM_VSCROLL : WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, pos), 0);
    RepaintBarWindows();
    return true;
}

void TFwStyleScrollBarsHook::DragThumb(TMessage& Message) {
    const TPoint screen = Control()->ClientToScreen(
        {SmallInt(Word(Message.LParam & 0xFFFF)), SmallInt(Word((Message.LParam >> 16) & 0xFFFF))});
    if (FVertScrollBarSliderState == tsThumbBtnVertPressed) {
        if (DragBar(true, screen.Y)) Handled = true;
        return;
    }
    if (FHorzScrollBarSliderState == tsThumbBtnHorzPressed) {
        if (DragBar(false, screen.X)) Handled = true;
        return;
    }
    // A move over the client area: the first hot look goes back to normal.
    for (TThemedScrollBar* s : {&FHorzScrollBarSliderState, &FVertScrollBarSliderState, &FHorzScrollBarUpButtonState,
                                &FHorzScrollBarDownButtonState, &FVertScrollBarUpButtonState,
                                &FVertScrollBarDownButtonState})
        if (LookOf(*s) == lkHot) {
            *s = WithLook(*s, lkNormal);
            RepaintBarWindows();
            break;
        }
    CallDefaultProc(Message);
    if (FLeftMouseButtonDown) RepaintBarWindows();
    Handled = true;
}

void TFwStyleScrollBarsHook::EndDrag(TMessage& Message) {
    const TPoint P{SmallInt(Word(Message.LParam & 0xFFFF)), SmallInt(Word((Message.LParam >> 16) & 0xFFFF))};
    if (!PointInHeader(P)) {
        for (bool vertical : {true, false}) {
            if (!Shown(vertical ? FVertScrollBarWindow : FHorzScrollBarWindow)) continue;
            TThemedScrollBar& thumb = vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState;
            if (LookOf(thumb) == lkPressed) {
                PostMessage(Control()->Handle(), vertical ? WM_VSCROLL : WM_HSCROLL, MakeWParam(SB_ENDSCROLL, 0), 0);
                FLeftMouseButtonDown = false;
                thumb = WithLook(thumb, lkNormal);
                RepaintBarWindows();
                Handled = true;
                ReleaseCapture();
                return;
            }
            TThemedScrollBar* arrows[] = {vertical ? &FVertScrollBarUpButtonState : &FHorzScrollBarUpButtonState,
                                          vertical ? &FVertScrollBarDownButtonState : &FHorzScrollBarDownButtonState};
            for (TThemedScrollBar* s : arrows)
                if (LookOf(*s) == lkPressed) *s = WithLook(*s, lkNormal);
        }
    }
    RepaintBarWindows();
    FLeftMouseButtonDown = false;
}

void TFwStyleScrollBarsHook::ReleaseNonClient(TMessage& Message) {
    const TPoint P = BarPoint(Message.LParam);
    const bool inHeader = PointInHeader(P);
    if (!inHeader) {
        for (bool vertical : {true, false}) {
            if (!Usable(vertical ? FVertScrollBarWindow : FHorzScrollBarWindow)) continue;
            TThemedScrollBar& thumb = vertical ? FVertScrollBarSliderState : FHorzScrollBarSliderState;
            if (LookOf(thumb) == lkPressed) {
                thumb = WithLook(thumb, lkNormal);
                FLeftMouseButtonDown = false;
                RepaintBarWindows();
                Handled = true;
                return;
            }
            TThemedScrollBar& up = vertical ? FVertScrollBarUpButtonState : FHorzScrollBarUpButtonState;
            TThemedScrollBar& down = vertical ? FVertScrollBarDownButtonState : FHorzScrollBarDownButtonState;
            up = WithLook(up, PtInRect(vertical ? FVertScrollBarUpButtonRect : FHorzScrollBarUpButtonRect, P) ? lkHot
                                                                                                               : lkNormal);
            down = WithLook(down, PtInRect(vertical ? FVertScrollBarDownButtonRect : FHorzScrollBarDownButtonRect, P)
                                      ? lkHot
                                      : lkNormal);
        }
    }
    CallDefaultProc(Message);
    if (Shown(FVertScrollBarWindow) || (!inHeader && Shown(FHorzScrollBarWindow))) RepaintBarWindows();
    Handled = true;
}

void TFwStyleScrollBarsHook::HotTrack(TMessage& Message) {
    const TPoint client = Control()->ScreenToClient(ScreenPointOf(Message.LParam));
    if (PointInHeader(client)) {
        CallDefaultProc(Message);
        RepaintBarWindows();
        Handled = true;
        return;
    }
    const TPoint o = PointOffset();
    const TPoint P{client.X + o.X, client.Y + o.Y};
    bool changed = false;
    if (FVertScrollBarWindow && FVertScrollBarWindow->Enabled()) {
        changed |= FollowHot(FVertScrollBarSliderState, PtInRect(VertThumbRect(), P));
        changed |= FollowHot(FVertScrollBarUpButtonState, PtInRect(FVertScrollBarUpButtonRect, P));
        changed |= FollowHot(FVertScrollBarDownButtonState, PtInRect(FVertScrollBarDownButtonRect, P));
    }
    if (FHorzScrollBarWindow && FHorzScrollBarWindow->Enabled()) {
        changed |= FollowHot(FHorzScrollBarSliderState, PtInRect(HorzThumbRect(), P));
        changed |= FollowHot(FHorzScrollBarUpButtonState, PtInRect(FHorzScrollBarUpButtonRect, P));
        changed |= FollowHot(FHorzScrollBarDownButtonState, PtInRect(FHorzScrollBarDownButtonRect, P));
    }
    if (changed) RepaintBarWindows();
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------
namespace {
struct TTreeStyleHooks {
    TTreeStyleHooks() {
        TCustomStyleEngine::RegisterStyleHook<TLazyStringTree, TFwStyleScrollBarsHook>();
        TCustomStyleEngine::RegisterStyleHook<TLazyDrawTree, TFwStyleScrollBarsHook>();
    }
    ~TTreeStyleHooks() {
        TCustomStyleEngine::UnRegisterStyleHook<TLazyStringTree, TFwStyleScrollBarsHook>();
        TCustomStyleEngine::UnRegisterStyleHook<TLazyDrawTree, TFwStyleScrollBarsHook>();
    }
};
}  // namespace

void RegisterTreeStyleHooks() { static TTreeStyleHooks hooks; }
