#include "framework/Windows.h"

#include "framework/Forms.h"
#include "framework/ShellApi.h"
#include "framework/Simulate.h"
#include "support/Place.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include <string>
#include <vector>

namespace {

// A custom-painted window with the styles a test gives it; Paint fills the
// client area with Fill and counts.
class Framed : public TCustomControl {
public:
    explicit Framed(TComponent* owner) : TCustomControl(owner) {}
    Cardinal style = 0, exStyle = 0;
    TColor fill = clRed;
    TRect only;  // when set, Paint fills just this rectangle
    int paints = 0;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style |= style;
        Params.ExStyle |= exStyle;
    }
    void Paint() override {
        ++paints;
        Canvas().Brush().SetColor(fill);
        Canvas().FillRect(IsRectEmpty(only) ? ClientRect() : only);
    }
};

// Records the messages a control gets through its replaceable WindowProc,
// passing them on; restores the previous one when done.
struct MessageLog {
    MessageLog(TControl* c, std::vector<Cardinal> kinds) : control(c), watched(std::move(kinds)) {
        previous = c->WindowProc;
        c->WindowProc = [this](TMessage& m) {
            if (std::find(watched.begin(), watched.end(), m.Msg) != watched.end()) seen.push_back(m);
            previous(m);
        };
    }
    ~MessageLog() { control->WindowProc = previous; }
    TControl* control;
    std::vector<Cardinal> watched;
    std::vector<TMessage> seen;
    TControl::TWndMethod previous;
};

struct ShownForm {
    ShownForm() {
        form.SetBounds(100, 100, 300, 200);
        form.SetColor(clWhite);
    }
    void Show() { form.Show(); }
    TForm form{nullptr};
};

// A framed control on a shown form, painted once and then hidden.
struct HiddenFramed {
    HiddenFramed() {
        w = Place<Framed>(&f.form, 10, 10, 100, 80);
        f.Show();
        h = w->Handle();
        UpdateWindow(h);
        w->SetVisible(false);
    }
    ShownForm f;
    Framed* w = nullptr;
    HWND h{};
};

}  // namespace

TEST(WindowFrame, StylesInsetTheClientAreaAndChildrenSitInsideIt) {
    struct Case {
        Cardinal style, exStyle;
        TRect client;  // in window coordinates
    } cases[] = {
        {0, 0, Rect(0, 0, 100, 80)},
        {WS_BORDER, 0, Rect(1, 1, 99, 79)},
        {0, WS_EX_CLIENTEDGE, Rect(2, 2, 98, 78)},
        {WS_BORDER, WS_EX_CLIENTEDGE, Rect(3, 3, 97, 77)},
        {WS_DLGFRAME, 0, Rect(3, 3, 97, 77)},
        {WS_DLGFRAME, WS_EX_CLIENTEDGE, Rect(5, 5, 95, 75)},
        {WS_VSCROLL, WS_EX_CLIENTEDGE, Rect(2, 2, 98 - 17, 78)},
        {WS_VSCROLL | WS_HSCROLL, 0, Rect(0, 0, 83, 63)},
    };
    for (const Case& c : cases) {
        ShownForm f;
        auto* w = Place<Framed>(&f.form, 10, 10, 100, 80);
        w->style = c.style;
        w->exStyle = c.exStyle;
        auto* child = Place<Framed>(w, 0, 0, 10, 10);
        f.Show();
        const std::string name = std::to_string(c.style) + "/" + std::to_string(c.exStyle);
        EXPECT_EQ(w->ClientRect(), Rect(0, 0, c.client.Width(), c.client.Height())) << name;
        TRect wr;
        ASSERT_TRUE(GetWindowRect(w->Handle(), wr));
        EXPECT_EQ(w->ClientOrigin(), (TPoint{wr.Left + c.client.Left, wr.Top + c.client.Top})) << name;
        TRect cr;
        GetWindowRect(child->Handle(), cr);
        EXPECT_EQ((TPoint{cr.Left, cr.Top}), w->ClientOrigin()) << name;
    }
}

TEST(WindowFrame, FrameChangesTakeEffectWithFrameChangedAndPaintTheEdge) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 60, 40);
    w->fill = clLime;
    f.Show();
    EXPECT_EQ(w->ClientWidth(), 60);
    SetWindowLong(w->Handle(), GWL_EXSTYLE, GetWindowLong(w->Handle(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    EXPECT_EQ(w->ClientWidth(), 56);
    SetWindowPos(w->Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(w->ClientWidth(), 56);
    TBitmap bmp;
    RenderControlToBitmap(w, bmp);
    // The sunken edge: shadow at the top-left, the client fill inside it.
    EXPECT_EQ(bmp.Canvas().Pixels(0, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bmp.Canvas().Pixels(2, 10), clLime);
    EXPECT_EQ(bmp.Canvas().Pixels(57, 37), clLime);
    // A dialog frame outside it: the raised edge (light, then dark at the bottom-right) and a face ring.
    SetWindowLong(w->Handle(), GWL_STYLE, GetWindowLong(w->Handle(), GWL_STYLE) | WS_DLGFRAME);
    SetWindowPos(w->Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(w->ClientWidth(), 60 - 2 * (3 + 2));
    RenderControlToBitmap(w, bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(1, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(bmp.Canvas().Pixels(59, 10), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(bmp.Canvas().Pixels(2, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(bmp.Canvas().Pixels(3, 10), ColorToRGB(clBtnShadow)) << "the client edge inside";
    EXPECT_EQ(bmp.Canvas().Pixels(5, 10), clLime);
}

TEST(WindowFrame, HitTestCodesDecideWhereAPressGoes) {
    ShownForm f;
    auto* below = Place<Framed>(&f.form, 10, 10, 100, 80);
    auto* w = Place<Framed>(&f.form, 10, 10, 100, 80);
    w->exStyle = WS_EX_CLIENTEDGE;
    f.Show();
    MessageLog onTop(w, {WM_NCLBUTTONDOWN, WM_LBUTTONDOWN});
    MessageLog beneath(below, {WM_LBUTTONDOWN});

    // On the edge: HTBORDER, and the press arrives as WM_NCLBUTTONDOWN in screen coordinates.
    const TPoint edge = w->ClientToScreen({-1, 20});
    EXPECT_EQ(w->Perform(WM_NCHITTEST, 0, MakeLParam(edge.X, edge.Y)), HTBORDER);
    EXPECT_EQ(w->Perform(WM_NCHITTEST, 0, MakeLParam(edge.X + 5, edge.Y)), HTCLIENT);
    SimulateMouseDown(w, mbLeft, -1, 20);
    SimulateMouseUp(w, mbLeft, -1, 20);
    ASSERT_EQ(onTop.seen.size(), 1u);
    EXPECT_EQ(onTop.seen[0].Msg, WM_NCLBUTTONDOWN);
    EXPECT_EQ(onTop.seen[0].WParam, WPARAM(HTBORDER));
    EXPECT_EQ(onTop.seen[0].LParam, MakeLParam(edge.X, edge.Y));

    // A window that answers HTTRANSPARENT hands the press to the window
    // beneath; HTNOWHERE drops it.
    for (int answer : {HTTRANSPARENT, HTNOWHERE}) {
        onTop.seen.clear();
        beneath.seen.clear();
        auto chained = w->WindowProc;
        w->WindowProc = [&](TMessage& m) {
            if (m.Msg == WM_NCHITTEST) m.Result = answer;
            else chained(m);
        };
        SimulateMouseDown(w, mbLeft, 20, 20);
        SimulateMouseUp(w, mbLeft, 20, 20);
        w->WindowProc = chained;
        EXPECT_TRUE(onTop.seen.empty()) << answer;
        ASSERT_EQ(beneath.seen.size(), answer == HTTRANSPARENT ? 1u : 0u) << answer;
        if (answer == HTTRANSPARENT) EXPECT_EQ(beneath.seen[0].LParam, MakeLParam(22, 22));
    }
}

TEST(ScrollBars, SetScrollInfoKeepsThePositionInRangeAndShowsTheBarWhenNeeded) {
    Framed w(nullptr);
    const HWND h = w.Handle();
    struct Step {
        Cardinal mask;
        int min, max, page, pos;
        int wantPos;
        bool shown, enabled;
        int wantPage;
    } steps[] = {
        {SIF_RANGE | SIF_POS, 0, 100, 0, 50, 50, true, true, 0},
        {SIF_PAGE | SIF_POS, 0, 0, 10, 95, 91, true, true, 10},       // Max - (Page - 1)
        {SIF_POS, 0, 0, 0, -3, 0, true, true, 10},
        {SIF_PAGE, 0, 0, 101, 0, 0, false, true, 101},                // the page covers the range: hidden
        {SIF_PAGE, 0, 0, 500, 0, 0, false, true, 101},                // never more than the range
        {SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 101, 0, 0, true, false, 101},  // shown, disabled
        {SIF_PAGE | SIF_POS, 0, 0, 20, 200, 81, true, true, 20},      // scrollable again: enabled
        {SIF_RANGE, 5, 5, 0, 0, 5, false, true, 1},                   // a single value: nothing to scroll
        {SIF_RANGE | SIF_PAGE | SIF_POS, -10, 10, 1, -20, -10, true, true, 1},
        // Every int: no overflow anywhere.
        {SIF_RANGE | SIF_PAGE | SIF_POS, INT_MIN, INT_MAX, 0x7FFFFFFF, INT_MAX, INT_MAX - 0x7FFFFFFE, true, true,
         0x7FFFFFFF},
    };
    int i = 0;
    for (const Step& s : steps) {
        SCROLLINFO si;
        si.fMask = s.mask;
        si.nMin = s.min;
        si.nMax = s.max;
        si.nPage = Cardinal(s.page);
        si.nPos = s.pos;
        EXPECT_EQ(SetScrollInfo(h, SB_VERT, si, true), s.wantPos) << i;
        SCROLLINFO got;
        got.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(h, SB_VERT, got));
        EXPECT_EQ(got.nPos, s.wantPos) << i;
        EXPECT_EQ(got.nTrackPos, s.wantPos) << i;
        EXPECT_EQ(int(got.nPage), s.wantPage) << i;
        EXPECT_EQ((GetWindowLong(h, GWL_STYLE) & WS_VSCROLL) != 0, s.shown) << i;
        SCROLLBARINFO sbi;
        ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, sbi));
        EXPECT_EQ((sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0, s.shown) << i;
        EXPECT_EQ((sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0, s.enabled) << i;
        ++i;
    }
    // The bar takes its room from the client area; hiding gives it back.
    w.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(w.ClientWidth(), 83);
    ShowScrollBar(h, SB_BOTH, false);
    EXPECT_EQ(w.ClientWidth(), 100);
    EXPECT_EQ(w.ClientHeight(), 100);
    EXPECT_TRUE(EnableScrollBar(h, SB_HORZ, ESB_DISABLE_LTUP));
    EXPECT_FALSE(EnableScrollBar(h, SB_HORZ, ESB_DISABLE_LTUP));
    // The bar is as thick as the system metrics say.
    TSystemMetricsGuard wide(TSystemMetricsGuard::Metric, SM_CXVSCROLL, 25);
    ShowScrollBar(h, SB_VERT, true);
    EXPECT_EQ(w.ClientWidth(), 75);
}

TEST(ScrollBars, ScriptedClicksSendTheScrollCodes) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 100, 160);
    f.Show();
    const HWND h = w->Handle();
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 99;
    si.nPage = 10;
    SetScrollInfo(h, SB_VERT, si, true);
    ASSERT_EQ(w->ClientWidth(), 83);
    std::vector<std::string> codes;
    int trackedDuringDrag = -1;
    // The window follows the bar as a scrolled window would.
    auto chained = w->WindowProc;
    w->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_VSCROLL) {
            TWMScroll s(m);
            codes.push_back(std::to_string(s.ScrollCode()) + "," + std::to_string(s.Pos()));
            int pos = GetScrollPos(h, SB_VERT);
            if (s.ScrollCode() == SB_LINEDOWN) ++pos;
            if (s.ScrollCode() == SB_PAGEDOWN) pos += 10;
            if (s.ScrollCode() == SB_THUMBTRACK) {
                SCROLLINFO t;
                t.fMask = SIF_TRACKPOS;
                GetScrollInfo(h, SB_VERT, t);
                trackedDuringDrag = t.nTrackPos;
            }
            if (s.ScrollCode() == SB_THUMBPOSITION) pos = s.Pos();
            SetScrollPos(h, SB_VERT, pos, true);
        }
        chained(m);
    };
    const int x = 83 + 8;  // on the bar, in client coordinates
    SimulateClick(w, x, 160 - 5);  // the down arrow
    SimulateClick(w, x, 120);      // the track below the thumb
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 11);
    SCROLLBARINFO sbi;
    GetScrollBarInfo(h, OBJID_VSCROLL, sbi);
    EXPECT_EQ(sbi.dxyLineButton, 17);
    EXPECT_EQ(sbi.rcScrollBar, Rect(w->ClientOrigin().X + 83, w->ClientOrigin().Y, w->ClientOrigin().X + 100,
                                    w->ClientOrigin().Y + 160));
    // Dragging the thumb all the way down: tracking, then the position.
    const int thumbMid = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
    SimulateMouseMove(w, x, thumbMid);
    SimulateMouseDown(w, mbLeft, x, thumbMid);
    SimulateMouseMove(w, x, 400);
    GetScrollBarInfo(h, OBJID_VSCROLL, sbi);
    EXPECT_EQ(sbi.rgstate[3] & STATE_SYSTEM_PRESSED, STATE_SYSTEM_PRESSED);
    SimulateMouseUp(w, mbLeft, x, 400);
    w->WindowProc = chained;
    const std::vector<std::string> expected{"1,0", "8,0", "3,0", "8,0", "5,90", "4,90", "8,0"};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(trackedDuringDrag, 90);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 90);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(FlatScrollBars, TheirWidthColourAndLookFollowTheirProperties) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 100, 100);
    f.Show();
    const HWND h = w->Handle();
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 99;
    si.nPage = 10;
    FlatSB_SetScrollInfo(h, SB_VERT, si, true);
    ASSERT_EQ(w->ClientWidth(), 83);
    // No flat properties before the bars are made flat.
    EXPECT_FALSE(FlatSB_SetScrollProp(h, WSB_PROP_CXVSCROLL, 30, true));
    ASSERT_TRUE(InitializeFlatSB(h));
    EXPECT_TRUE(FlatSB_SetScrollProp(h, WSB_PROP_CXVSCROLL, 30, true));
    EXPECT_EQ(w->ClientWidth(), 70);
    std::intptr_t v = 0;
    ASSERT_TRUE(FlatSB_GetScrollProp(h, WSB_PROP_CXVSCROLL, v));
    EXPECT_EQ(v, 30);
    EXPECT_FALSE(FlatSB_SetScrollProp(h, WSB_PROP_VSTYLE, 7, true)) << "no such look";
    EXPECT_FALSE(FlatSB_SetScrollProp(h, WSB_PROP_CXHTHUMB, 5, true));
    // The track takes the background colour; the flat thumb is framed, not raised.
    EXPECT_TRUE(FlatSB_SetScrollProp(h, WSB_PROP_VBKGCOLOR, std::intptr_t(clLime), true));
    TBitmap bmp;
    auto paint = [&] {
        RenderControlToBitmap(w, bmp);
        return bmp.Canvas().Pixels(85, 80);
    };
    EXPECT_EQ(paint(), clLime);
    auto thumbEdge = [&] {
        RenderControlToBitmap(w, bmp);
        SCROLLBARINFO sbi;
        GetScrollBarInfo(h, OBJID_VSCROLL, sbi);
        // The thumb's left edge, a row into it.
        return bmp.Canvas().Pixels(w->ClientWidth(), sbi.xyThumbTop + 2);
    };
    const TColor raised = thumbEdge();
    EXPECT_NE(raised, ColorToRGB(clBtnShadow));
    FlatSB_SetScrollProp(h, WSB_PROP_VSTYLE, FSB_FLAT_MODE, true);
    EXPECT_EQ(thumbEdge(), ColorToRGB(clBtnShadow));
    EXPECT_NE(thumbEdge(), raised);
    // Encarta: flat until the mouse is over the thumb, raised then.
    FlatSB_SetScrollProp(h, WSB_PROP_VSTYLE, FSB_ENCARTA_MODE, true);
    EXPECT_EQ(thumbEdge(), ColorToRGB(clBtnShadow));
    SCROLLBARINFO sbi;
    GetScrollBarInfo(h, OBJID_VSCROLL, sbi);
    const TPoint o = w->ClientOrigin();
    w->Perform(WM_NCHITTEST, 0, MakeLParam(o.X + 85, o.Y - 2 + sbi.xyThumbTop + 3));
    EXPECT_EQ(thumbEdge(), raised);
    w->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(thumbEdge(), ColorToRGB(clBtnShadow));
    // Back to plain bars of the system's width.
    EXPECT_EQ(UninitializeFlatSB(h), S_OK);
    EXPECT_EQ(w->ClientWidth(), 83);
    EXPECT_EQ(thumbEdge(), raised);
    EXPECT_NE(paint(), clLime);
}

TEST(PartialRepaint, PaintChangesOnlyTheInvalidRectangle) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 100, 80);
    f.Show();
    const HWND h = w->Handle();
    UpdateWindow(h);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, false));
    const int painted = w->paints;
    ASSERT_GE(painted, 1);
    const TCanvas& px = w->BackBuffer().Canvas();
    ASSERT_EQ(px.Pixels(50, 40), clRed);

    w->fill = clBlue;
    const TRect r = Rect(20, 10, 40, 30);
    InvalidateRect(h, &r, false);
    TRect u;
    EXPECT_TRUE(GetUpdateRect(h, &u, false));
    EXPECT_EQ(u, r);
    UpdateWindow(h);
    EXPECT_EQ(w->paints, painted + 1);
    EXPECT_FALSE(GetUpdateRect(h, &u, false));
    struct Probe {
        int x, y;
        TColor want;
    } probes[] = {{20, 10, clBlue}, {39, 29, clBlue}, {19, 10, clRed}, {40, 29, clRed}, {20, 30, clRed}, {90, 70, clRed}};
    for (const Probe& p : probes) EXPECT_EQ(px.Pixels(p.x, p.y), p.want) << p.x << "," << p.y;

    // What is validated again is not painted; RedrawWindow paints at once.
    InvalidateRect(h, &r, true);
    ValidateRect(h, nullptr);
    UpdateWindow(h);
    EXPECT_EQ(w->paints, painted + 1);
    w->fill = clYellow;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(w->paints, painted + 2);
    EXPECT_EQ(px.Pixels(90, 70), clYellow);
}

TEST(PartialRepaint, TheBackgroundIsErasedOnlyWhenAnInvalidationAsksForIt) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 60, 60);
    w->SetColor(clWhite);
    w->only = Rect(0, 0, 10, 10);
    f.Show();
    const HWND h = w->Handle();
    UpdateWindow(h);
    TCanvas& px = w->BackBuffer().Canvas();
    ASSERT_EQ(px.Pixels(5, 5), clRed);
    ASSERT_EQ(px.Pixels(30, 30), clWhite);
    px.SetPixels(30, 30, clGreen);  // what the window shows there now
    const TRect r = Rect(20, 20, 40, 40);
    struct Case {
        bool erase;
        TColor after;
    } cases[] = {{false, clGreen}, {true, clWhite}};
    for (const Case& c : cases) {
        InvalidateRect(h, &r, c.erase);
        UpdateWindow(h);
        EXPECT_EQ(px.Pixels(30, 30), c.after) << c.erase;
    }
}

// A hidden window takes invalidations without painting; repeated ones may be
// dropped only when they add nothing to its update region.
TEST(PartialRepaint, AHiddenWindowKeepsEveryInvalidatedPart) {
    HiddenFramed hidden;
    Framed* w = hidden.w;
    const HWND h = hidden.h;
    ValidateRect(h, nullptr);
    const TRect first = Rect(10, 10, 50, 40), inside = Rect(20, 20, 30, 30), apart = Rect(60, 50, 90, 70);
    TRect u;
    for (int i = 0; i < 3; ++i) InvalidateRect(h, &first, false);
    InvalidateRect(h, &inside, true);
    ASSERT_TRUE(GetUpdateRect(h, &u, false));
    EXPECT_EQ(u, first);
    InvalidateRect(h, &apart, false);
    ASSERT_TRUE(GetUpdateRect(h, &u, false));
    EXPECT_EQ(u, Rect(10, 10, 90, 70));
    w->fill = clBlue;
    w->SetVisible(true);
    UpdateWindow(h);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, false));
    EXPECT_EQ(w->BackBuffer().Canvas().Pixels(75, 60), clBlue);
}

// A hidden window skips a request that its invalid rectangle already holds;
// one pixel past any edge is not held and widens the rectangle.
TEST(PartialRepaint, AHiddenWindowSkipsOnlyWhatItsInvalidRectangleHolds) {
    HiddenFramed hidden;
    const HWND h = hidden.h;
    const TRect first = Rect(10, 10, 50, 40);
    const struct {
        TRect asked, expected;
    } cases[] = {
        {Rect(10, 10, 50, 40), first},
        {Rect(10, 10, 11, 11), first},
        {Rect(49, 39, 50, 40), first},
        {Rect(10, 10, 51, 40), Rect(10, 10, 51, 40)},
        {Rect(10, 10, 50, 41), Rect(10, 10, 50, 41)},
        {Rect(9, 10, 50, 40), Rect(9, 10, 50, 40)},
        {Rect(10, 9, 50, 40), Rect(10, 9, 50, 40)},
    };
    for (const auto& c : cases) {
        ValidateRect(h, nullptr);
        InvalidateRect(h, &first, false);
        InvalidateRect(h, &c.asked, false);
        TRect u;
        ASSERT_TRUE(GetUpdateRect(h, &u, false));
        EXPECT_EQ(u, c.expected) << c.asked.Left << "," << c.asked.Top << "," << c.asked.Right << "," << c.asked.Bottom;
    }
}

// A hidden window invalidated as a whole skips the repeated requests; after
// anything that takes from its update region, or a larger client area, the
// next request for the whole must hold the whole client area again, and the
// showing paints it all.
TEST(PartialRepaint, AHiddenWindowAskedAgainAsAWholeAfterItsRegionShrankHoldsItAll) {
    const TRect part = Rect(10, 10, 30, 30);
    const struct {
        const char* name;
        std::function<void(Framed*, HWND)> take;
    } takers[] = {
        {"validate all", [](Framed*, HWND h) { ValidateRect(h, nullptr); }},
        {"validate part", [&](Framed*, HWND h) { ValidateRect(h, &part); }},
        {"redraw validating", [](Framed*, HWND h) { RedrawWindow(h, nullptr, nullptr, RDW_VALIDATE); }},
        {"scroll", [](Framed*, HWND h) { ScrollWindow(h, 0, 10); }},
        {"grown", [](Framed* w, HWND) { w->SetBounds(10, 10, 120, 90); }},
        {"painted", [](Framed* w, HWND h) {
             w->SetVisible(true);
             UpdateWindow(h);
             w->SetVisible(false);
         }},
    };
    for (const auto& t : takers) {
        HiddenFramed hidden;
        Framed* w = hidden.w;
        const HWND h = hidden.h;
        for (int i = 0; i < 3; ++i) w->Invalidate();
        t.take(w, h);
        for (int i = 0; i < 3; ++i) w->Invalidate();
        TRect u;
        ASSERT_TRUE(GetUpdateRect(h, &u, false)) << t.name;
        EXPECT_EQ(u, w->ClientRect()) << t.name;
        w->fill = clBlue;
        const int before = w->paints;
        w->SetVisible(true);
        UpdateWindow(h);
        EXPECT_EQ(w->paints, before + 1) << t.name;
        const TRect c = w->ClientRect();
        for (const TPoint p : {TPoint{0, 0}, TPoint{c.Right - 1, c.Bottom - 1}, TPoint{20, 20}})
            EXPECT_EQ(w->BackBuffer().Canvas().Pixels(p.X, p.Y), clBlue) << t.name << " " << p.X << "," << p.Y;
    }
}

TEST(PartialRepaint, ScrollWindowMovesPixelsAndInvalidatesTheBandLeftBehind) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 40, 40);
    f.Show();
    const HWND h = w->Handle();
    UpdateWindow(h);
    // Rows of distinct colours.
    TCanvas& c = w->BackBuffer().Canvas();
    for (int y = 0; y < 40; ++y) {
        c.Pen().SetColor(RGB(y * 5, 0, 0));
        c.MoveTo(0, y);
        c.LineTo(40, y);
    }
    ScrollWindow(h, 0, -10);
    EXPECT_EQ(c.Pixels(5, 0), RGB(50, 0, 0));
    EXPECT_EQ(c.Pixels(5, 29), RGB(195, 0, 0));
    TRect u;
    ASSERT_TRUE(GetUpdateRect(h, &u, false));
    EXPECT_EQ(u, Rect(0, 30, 40, 40));
    w->fill = clGreen;
    UpdateWindow(h);
    EXPECT_EQ(c.Pixels(5, 30), clGreen);
    EXPECT_EQ(c.Pixels(5, 29), RGB(195, 0, 0));
    // Scrolling the whole client area takes the child windows along; a
    // rectangle leaves them where they are.
    auto* child = Place<Framed>(w, 5, 20, 10, 10);
    ScrollWindow(h, 3, -10);
    EXPECT_EQ(child->BoundsRect(), Bounds(8, 10, 10, 10));
    const TRect part = Rect(0, 0, 20, 20);
    ScrollWindow(h, 0, 5, &part);
    EXPECT_EQ(child->BoundsRect(), Bounds(8, 10, 10, 10));
}

TEST(PartialRepaint, CopyRectWithinOneCanvasHandlesOverlap) {
    TBitmap bmp;
    bmp.SetSize(10, 20);
    TCanvas& c = bmp.Canvas();
    for (int y = 0; y < 20; ++y) c.SetPixels(3, y, RGB(0, y * 10, 0));
    // Down by 5 over itself, then up by 5.
    c.CopyRect(Rect(0, 5, 10, 20), c, Rect(0, 0, 10, 15));
    for (int y = 5; y < 20; ++y) EXPECT_EQ(c.Pixels(3, y), RGB(0, (y - 5) * 10, 0)) << y;
    c.CopyRect(Rect(0, 0, 10, 15), c, Rect(0, 5, 10, 20));
    for (int y = 0; y < 15; ++y) EXPECT_EQ(c.Pixels(3, y), RGB(0, y * 10, 0)) << y;
}

TEST(ControlCanvas, DrawsOnTheWholeWindowAfterTheControlsOwnPaint) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 50, 40);
    w->exStyle = WS_EX_CLIENTEDGE;
    w->fill = clLime;
    f.Show();
    TControlCanvas cc;
    cc.SetControl(w);
    auto chained = w->WindowProc;
    w->WindowProc = [&](TMessage& m) {
        chained(m);
        if (m.Msg == WM_NCPAINT) {
            cc.Brush().SetColor(clFuchsia);
            cc.FillRect(Rect(0, 0, 4, 4));    // over the frame
            cc.FillRect(Rect(20, 20, 24, 24));  // over the client area
        }
    };
    TBitmap bmp;
    RenderControlToBitmap(w, bmp);
    w->WindowProc = chained;
    EXPECT_EQ(bmp.Canvas().Pixels(0, 0), clFuchsia);
    EXPECT_EQ(bmp.Canvas().Pixels(21, 21), clFuchsia);
    EXPECT_EQ(bmp.Canvas().Pixels(30, 30), clLime);
}

TEST(Pictures, ParentBackgroundAndScreenCapture) {
    ShownForm f;
    f.form.SetColor(clTeal);
    auto* sibling = Place<Framed>(&f.form, 0, 0, 30, 30);  // a window: not part of the background
    sibling->fill = clRed;
    auto* w = Place<Framed>(&f.form, 20, 20, 40, 40);
    f.Show();
    TBitmap bmp;
    bmp.SetSize(40, 40);
    bmp.Canvas().Brush().SetColor(clBlack);
    bmp.Canvas().FillRect(Rect(0, 0, 40, 40));
    DrawParentBackground(w, bmp.Canvas());
    EXPECT_EQ(bmp.Canvas().Pixels(2, 2), clTeal);
    EXPECT_EQ(bmp.Canvas().Pixels(39, 39), clTeal);

    // The screen there: the form's windows as they show, black beyond them.
    const TPoint o = f.form.ClientOrigin();
    TBitmap shot;
    CaptureScreen(Rect(o.X - 10, o.Y - 10, o.X + 50, o.Y + 50), shot);
    EXPECT_EQ(shot.Width(), 60);
    EXPECT_EQ(shot.Canvas().Pixels(5, 5), clBlack);
    EXPECT_EQ(shot.Canvas().Pixels(15, 15), clRed);      // the sibling at the form's corner
    EXPECT_EQ(shot.Canvas().Pixels(45, 45), clRed);      // w, painted red
    EXPECT_EQ(shot.Canvas().Pixels(10 + 35, 10 + 5), clTeal);
}

namespace {
// A pop-up: a frameless top-level window at screen coordinates.
Framed* MakePopup(TRect screen, Cardinal exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW) {
    auto* p = new Framed(nullptr);
    p->style = WS_POPUP;
    p->exStyle = exStyle;
    p->fill = clBlue;
    p->SetBoundsRect(screen);
    p->HandleNeeded();
    return p;
}
}  // namespace

TEST(PopupWindows, AShapedPopupShowsAndPassesTheFormThroughItsHole) {
    ShownForm f;
    auto* edit = Place<Framed>(&f.form, 150, 20, 60, 30);
    edit->SetTabStop(true);
    auto* beneath = Place<Framed>(&f.form, 20, 20, 100, 80);
    f.Show();
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    const TPoint o = beneath->ClientOrigin();
    std::unique_ptr<Framed> popup(MakePopup(Bounds(o.X + 10, o.Y + 10, 60, 60)));
    // A square hole in the middle of the pop-up.
    TRegion shape(Rect(0, 0, 60, 60)), hole(Rect(20, 20, 40, 40));
    shape.Combine(shape, hole, RGN_DIFF);
    ASSERT_NE(SetWindowRgn(popup->Handle(), &shape, true), 0);
    TRegion back;
    EXPECT_EQ(GetWindowRgn(popup->Handle(), back), COMPLEXREGION);
    EXPECT_FALSE(back.Contains(25, 25));
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(popup->ClientOrigin(), (TPoint{o.X + 10, o.Y + 10}));
    // Never activated: the form keeps the activation and its focus.
    EXPECT_EQ(Screen->ActiveForm(), &f.form);
    EXPECT_TRUE(edit->Focused());
    // Offscreen the desktop does not compose: layered calls answer false,
    // and the region still applies.
    SetWindowLong(popup->Handle(), GWL_EXSTYLE, GetWindowLong(popup->Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    EXPECT_FALSE(SetLayeredWindowAttributes(popup->Handle(), 0, 128, LWA_ALPHA));
    TBitmap picture;
    picture.SetPixelFormat(pf32bit);
    picture.SetSize(60, 60);
    BLENDFUNCTION blend;
    blend.AlphaFormat = AC_SRC_ALPHA;
    EXPECT_FALSE(UpdateLayeredWindow(popup->Handle(), nullptr, nullptr, &picture, nullptr, 0, &blend, ULW_ALPHA));

    // The hole shows the form's window beneath; the rest is the pop-up.
    TBitmap shot;
    CaptureScreen(Bounds(o.X + 10, o.Y + 10, 60, 60), shot);
    EXPECT_EQ(shot.Canvas().Pixels(30, 30), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(5, 5), clBlue);
    EXPECT_EQ(shot.Canvas().Pixels(45, 30), clBlue);
    EXPECT_EQ(WindowFromPoint({o.X + 40, o.Y + 40}), beneath->Handle());
    EXPECT_EQ(WindowFromPoint({o.X + 15, o.Y + 15}), popup->Handle());

    // A press in the hole reaches the control beneath; elsewhere the pop-up.
    MessageLog underLog(beneath, {WM_LBUTTONDOWN});
    MessageLog popupLog(popup.get(), {WM_LBUTTONDOWN});
    SimulateClick(popup.get(), 25, 25);
    ASSERT_EQ(underLog.seen.size(), 1u);
    EXPECT_EQ(underLog.seen[0].LParam, MakeLParam(35, 35));
    EXPECT_TRUE(popupLog.seen.empty());
    SimulateClick(popup.get(), 5, 5);
    EXPECT_EQ(popupLog.seen.size(), 1u);
    EXPECT_EQ(Screen->ActiveForm(), &f.form);
    EXPECT_TRUE(edit->Focused());
}

TEST(PopupWindows, TransparentAndDisabledPopupsTakeNoPress) {
    ShownForm f;
    auto* beneath = Place<Framed>(&f.form, 20, 20, 100, 80);
    f.Show();
    const TPoint o = beneath->ClientOrigin();
    struct Case {
        Cardinal style, exStyle;
        size_t beneathGets;
    } cases[] = {
        {0, WS_EX_TOPMOST, 0},                      // an ordinary pop-up takes it
        {0, WS_EX_TOPMOST | WS_EX_TRANSPARENT, 1},  // the mouse goes through
        {WS_DISABLED, WS_EX_TOPMOST, 0},            // taken by nobody
    };
    for (const Case& c : cases) {
        std::unique_ptr<Framed> popup(MakePopup(Bounds(o.X, o.Y, 50, 50), c.exStyle));
        SetWindowLong(popup->Handle(), GWL_STYLE, GetWindowLong(popup->Handle(), GWL_STYLE) | c.style);
        MessageLog underLog(beneath, {WM_LBUTTONDOWN});
        MessageLog popupLog(popup.get(), {WM_LBUTTONDOWN});
        SimulateClick(popup.get(), 10, 10);
        EXPECT_EQ(underLog.seen.size(), c.beneathGets) << c.exStyle;
        EXPECT_EQ(popupLog.seen.size(), c.style == 0 && c.beneathGets == 0 ? 1u : 0u) << c.exStyle;
    }
}

TEST(PopupForms, ActivationNamesTheOtherWindow) {
    ShownForm f;
    f.Show();
    TForm popup(nullptr);
    popup.SetBorderStyle(bsNone);
    popup.SetPopupParent(&f.form);
    EXPECT_EQ(popup.PopupParent(), &f.form);
    SetClassLong(popup.Handle(), GCL_STYLE, GetClassLong(popup.Handle(), GCL_STYLE) | CS_DROPSHADOW);
    EXPECT_EQ(GetClassLong(popup.Handle(), GCL_STYLE) & CS_DROPSHADOW, LPARAM(CS_DROPSHADOW));
    MessageLog mainLog(&f.form, {WM_ACTIVATE});
    MessageLog popupLog(&popup, {WM_ACTIVATE});
    // Placed, sized, made top-most and shown in one step.
    ASSERT_TRUE(SetWindowPos(popup.Handle(), HWND_TOPMOST, 120, 130, 90, 60, SWP_SHOWWINDOW));
    EXPECT_EQ(popup.BoundsRect(), Bounds(120, 130, 90, 60));
    EXPECT_NE(GetWindowLong(popup.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(popup.Active());
    SimulateActivate(&f.form);
    SimulateActivate(nullptr);
    struct Seen {
        Word state;
        HWND other;
    };
    const HWND mainH = f.form.Handle(), popupH = popup.Handle();
    ASSERT_EQ(mainLog.seen.size(), 3u);
    ASSERT_EQ(popupLog.seen.size(), 2u);
    const Seen expectMain[] = {{WA_INACTIVE, popupH}, {WA_ACTIVE, popupH}, {WA_INACTIVE, 0}};
    const Seen expectPopup[] = {{WA_ACTIVE, mainH}, {WA_INACTIVE, mainH}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mainLog.seen[i].WParamLo(), expectMain[i].state) << i;
        EXPECT_EQ(HWND(mainLog.seen[i].LParam), expectMain[i].other) << i;
    }
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(popupLog.seen[i].WParamLo(), expectPopup[i].state) << i;
        EXPECT_EQ(HWND(popupLog.seen[i].LParam), expectPopup[i].other) << i;
    }
}

TEST(PopupForms, ShownWithoutActivationTheOwnerKeepsIt) {
    ShownForm f;
    f.Show();
    TForm popup(nullptr);
    popup.SetBorderStyle(bsNone);
    MessageLog popupLog(&popup, {WM_ACTIVATE});
    SetWindowPos(popup.Handle(), HWND_TOPMOST, 120, 130, 90, 60, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(popup.Handle()));
    EXPECT_FALSE(popup.Active());
    EXPECT_EQ(Screen->ActiveForm(), &f.form);
    EXPECT_TRUE(popupLog.seen.empty());
}

TEST(PopupForms, ASizingCornerResizesWithinTheConstraints) {
    ShownForm f;
    f.Show();
    TForm popup(nullptr);
    popup.SetBorderStyle(bsNone);
    popup.SetBounds(150, 150, 100, 80);
    popup.SetConstraints({80, 50, 300, 200});
    popup.SetBounds(150, 150, 10, 10);
    EXPECT_EQ(popup.Width(), 80);  // SetBounds keeps them too
    EXPECT_EQ(popup.Height(), 50);
    popup.SetBounds(150, 150, 100, 80);
    popup.Show();
    // Its surface takes no press; the bottom-right corner sizes it.
    auto chained = popup.WindowProc;
    std::vector<TRect> sizing;
    popup.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_NCHITTEST) {
            const TPoint p = popup.ScreenToClient({SmallInt(m.LParamLo()), SmallInt(m.LParamHi())});
            m.Result = p.X > popup.Width() - 10 && p.Y > popup.Height() - 10 ? HTBOTTOMRIGHT : HTNOWHERE;
            return;
        }
        if (m.Msg == WM_SIZING) {
            EXPECT_EQ(m.WParam, WMSZ_BOTTOMRIGHT);
            TRect& r = *reinterpret_cast<TRect*>(m.LParam);
            sizing.push_back(r);
            r.Right = r.Left + r.Width() / 10 * 10;  // the window keeps whole tens of pixels wide
        }
        chained(m);
    };
    MessageLog presses(&popup, {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN});
    SimulateClick(&popup, 20, 20);
    EXPECT_TRUE(presses.seen.empty());
    struct Step {
        int x, y;  // where the mouse goes, relative to the press
        int width, height;
    } steps[] = {{37, 30, 130, 110}, {500, 500, 300, 200}, {-500, -500, 80, 50}};
    SimulateMouseDown(&popup, mbLeft, 95, 75);
    for (const Step& s : steps) {
        SimulateMouseMove(&popup, 95 + s.x, 75 + s.y);
        EXPECT_EQ(popup.Width(), s.width) << s.x;
        EXPECT_EQ(popup.Height(), s.height) << s.x;
        EXPECT_EQ(popup.Left(), 150);
    }
    SimulateMouseUp(&popup, mbLeft, 95 - 500, 75 - 500);
    ASSERT_EQ(sizing.size(), 3u);
    EXPECT_EQ(sizing[0], Bounds(150, 150, 137, 110));
    ASSERT_EQ(presses.seen.size(), 1u);
    EXPECT_EQ(presses.seen[0].WParam, WPARAM(HTBOTTOMRIGHT));
    // After the release the mouse is free again.
    SimulateMouseMove(&popup, 200, 200);
    EXPECT_EQ(popup.Width(), 80);
    popup.WindowProc = chained;
}

TEST(WindowProcs, EveryMessagePassesTheReplaceableWindowProc) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 50, 40);
    w->SetTabStop(true);
    f.Show();
    w->SetFocus();
    std::vector<Char> typed;
    w->OnKeyPress = [&](TObject*, Char& ch) { typed.push_back(ch); };
    const Cardinal posted = WM_APP + 7;
    {
        MessageLog log(w, {posted, WM_USER, WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN});
        // A user's WindowProc in front of the log swallows the characters.
        auto chained = w->WindowProc;
        w->WindowProc = [&](TMessage& m) {
            if (m.Msg != WM_CHAR) chained(m);
        };
        PostMessage(w->Handle(), posted, 1, 2);
        Application->ProcessMessages();
        w->Perform(WM_USER);
        SimulateKey('A');
        SimulateClick(w, 5, 5);
        std::vector<Cardinal> kinds;
        for (const TMessage& m : log.seen) kinds.push_back(m.Msg);
        const std::vector<Cardinal> expected{posted, WM_USER, WM_KEYDOWN, WM_LBUTTONDOWN};
        EXPECT_EQ(kinds, expected);
        EXPECT_TRUE(typed.empty());
        w->WindowProc = chained;
    }
    // Restored: WndProc again.
    SimulateKey('B');
    EXPECT_EQ(typed, std::vector<Char>{u'b'});
}

namespace {
// A pop-up form whose client area is inset by a border of its own.
class InsetForm : public TForm {
public:
    explicit InsetForm(TComponent* owner) : TForm(owner) { SetBorderStyle(bsNone); }
    int inset = 3;

protected:
    void WMNCCalcSize(TMessage& Message) override {
        TForm::WMNCCalcSize(Message);
        TWMNCCalcSize m(Message);
        InflateRect(m.CalcRect(), -inset, -inset);
    }
};
}  // namespace

TEST(PopupForms, AFormsOwnFrameInsetsItsAlignedControls) {
    InsetForm popup(nullptr);
    popup.SetBounds(200, 200, 120, 90);
    auto* inner = Place<Framed>(&popup, 0, 0, 10, 10);
    inner->SetAlign(alClient);
    popup.Show();
    EXPECT_EQ(popup.ClientRect(), Rect(0, 0, 114, 84));
    EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 114, 84));
    TRect r;
    GetWindowRect(inner->Handle(), r);
    EXPECT_EQ(r, Bounds(203, 203, 114, 84));
    popup.inset = 5;
    SetWindowPos(popup.Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 110, 80));
    GetWindowRect(inner->Handle(), r);
    EXPECT_EQ(r, Bounds(205, 205, 110, 80));
}

TEST(SystemMetrics, ClassicValuesAt96DotsPerInch) {
    struct Case { int index; int value; } cases[] = {
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
        {SM_CXBORDER, 1},   {SM_CYBORDER, 1},   {SM_CXDRAG, 4},      {SM_CYDRAG, 4},
        {SM_CXMENUCHECK, 13}, {SM_CXDLGFRAME, 3}, {SM_CYVTHUMB, 17}, {12345, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
    EXPECT_GE(GetSystemMetrics(SM_CMONITORS), 1);
}

TEST(SystemMetrics, SettingsAndTheTestGuard) {
    Cardinal lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines));
    EXPECT_EQ(lines, 3u);
    int fade = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETTOOLTIPFADE, 0, &fade));
    EXPECT_EQ(fade, 1);
    EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &fade));
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, nullptr));
    TRect area;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &area));
    EXPECT_EQ(area, Screen->WorkAreaRect());
    {
        TSystemMetricsGuard page(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, WHEEL_PAGESCROLL);
        TSystemMetricsGuard bar(TSystemMetricsGuard::Metric, SM_CXVSCROLL, 25);
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines);
        EXPECT_EQ(lines, WHEEL_PAGESCROLL);
        EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 25);
    }
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines);
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
}

TEST(SystemMetrics, MessageBeepIsCounted) {
    const int before = MessageBeepCount();
    MessageBeep(0);
    MessageBeep(0x30);
    EXPECT_EQ(MessageBeepCount(), before + 2);
}

TEST(Monitors, WorkAreaNearestAPointAndTheDesktop) {
    const TRect desktop = Screen->DesktopRect();
    EXPECT_GT(Screen->DesktopWidth(), 0);
    EXPECT_GT(Screen->DesktopHeight(), 0);
    // A point far outside every monitor still finds the nearest one's work area.
    const TRect far = Screen->MonitorWorkAreaFromPoint({desktop.Right + 5000, desktop.Bottom + 5000});
    const TRect inside = Screen->MonitorWorkAreaFromPoint({desktop.Left + 1, desktop.Top + 1});
    EXPECT_FALSE(IsRectEmpty(far));
    EXPECT_FALSE(IsRectEmpty(inside));
    if (Screen->MonitorCount() == 1) {
        EXPECT_EQ(far, Screen->WorkAreaRect());
        EXPECT_EQ(inside, Screen->WorkAreaRect());
    }
}

TEST(ScreenCursors, NumberedCursorsComeFromCursorResources) {
    RegisterCursorResource(u"TEST_SPLIT_CURSOR", [](TCursorResource& c) {
        c.Image.SetSize(16, 16);
        c.Image.Canvas().Brush().SetColor(clWhite);
        c.Image.Canvas().FillRect(Rect(0, 0, 16, 16));
        c.HotSpot = {7, 3};
    });
    Screen->SetCursors(63, u"test_split_cursor");
    TCursorResource got;
    ASSERT_TRUE(Screen->Cursors(63, got));
    EXPECT_EQ(got.HotSpot, (TPoint{7, 3}));
    EXPECT_EQ(got.Image.Width(), 16);
    EXPECT_FALSE(Screen->Cursors(64, got));
    EXPECT_THROW(Screen->SetCursors(64, u"NO_SUCH_CURSOR"), EResNotFound);
    EXPECT_FALSE(Screen->Cursors(64, got));
}

TEST(FileIcons, OneIndexPerKindOfFileInTheSystemList) {
    const String folder = Utf8ToString(::testing::TempDir());
    const int dir = GetFileIcon(folder, true);
    const int text1 = GetFileIcon(u"notes.txt", true);
    const int text2 = GetFileIcon(u"other.TXT", true);
    const int image = GetFileIcon(u"photo.png", true);
    EXPECT_EQ(text1, text2);
    EXPECT_NE(dir, text1);
    EXPECT_NE(image, text1);
    TImageList& list = SystemImageList(true);
    EXPECT_EQ(list.Width(), 32);
    for (int i : {dir, text1, image}) {
        EXPECT_GE(i, 0);
        EXPECT_LT(i, list.Count());
    }
    EXPECT_EQ(SystemImageList(false).Width(), 16);
    const int small = GetFileIcon(u"notes.txt", false);
    EXPECT_LT(small, SystemImageList(false).Count());
}

// ---------------------------------------------------------------------------
// Right-to-left windows

TEST(RightToLeft, ChildrenFollowTheirParentsDirectionUnlessTheyHaveTheirOwn) {
    ShownForm f;
    auto* follows = Place<Framed>(&f.form, 10, 10, 50, 50);
    auto* own = Place<Framed>(&f.form, 70, 10, 50, 50);
    own->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(own->ParentBiDiMode());
    MessageLog changes(follows, {CM_BIDIMODECHANGED});
    f.form.SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(follows->BiDiMode(), bdRightToLeft);
    EXPECT_TRUE(follows->ParentBiDiMode());
    EXPECT_EQ(changes.seen.size(), 1u);
    EXPECT_EQ(own->BiDiMode(), bdRightToLeftReadingOnly);
    // A control placed later takes the direction with it.
    auto* later = Place<Framed>(&f.form, 10, 70, 50, 50);
    EXPECT_EQ(later->BiDiMode(), bdRightToLeft);
    own->SetParentBiDiMode(true);
    EXPECT_EQ(own->BiDiMode(), bdRightToLeft);

    struct Case {
        TBiDiMode mode;
        bool alignment, reading, leftBar;
        Cardinal exStyle;
    } cases[] = {
        {bdLeftToRight, false, false, false, 0},
        {bdRightToLeft, true, true, true, WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR},
        {bdRightToLeftNoAlign, false, true, true, WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR},
        {bdRightToLeftReadingOnly, false, true, false, WS_EX_RTLREADING},
    };
    const Cardinal bidi = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
    for (const Case& c : cases) {
        follows->SetBiDiMode(c.mode);
        EXPECT_EQ(follows->UseRightToLeftAlignment(), c.alignment) << c.mode;
        EXPECT_EQ(follows->UseRightToLeftReading(), c.reading) << c.mode;
        EXPECT_EQ(follows->UseRightToLeftScrollBar(), c.leftBar) << c.mode;
        EXPECT_EQ(Cardinal(GetWindowLong(follows->Handle(), GWL_EXSTYLE)) & bidi, c.exStyle) << c.mode;
    }
    // Texts drawn for the control: justification mirrored with the layout, reading with every right-to-left mode.
    follows->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(follows->DrawTextBiDiModeFlags(DT_LEFT), DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(follows->DrawTextBiDiModeFlags(DT_RIGHT | DT_SINGLELINE), DT_SINGLELINE | DT_RTLREADING);
    EXPECT_EQ(follows->DrawTextBiDiModeFlags(DT_CENTER), DT_CENTER | DT_RTLREADING);
    follows->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_EQ(follows->DrawTextBiDiModeFlags(DT_LEFT), DT_RTLREADING);
    EXPECT_EQ(ChangeBiDiModeAlignment(taLeftJustify), taRightJustify);
    EXPECT_EQ(ChangeBiDiModeAlignment(taCenter), taCenter);
}

TEST(RightToLeft, TheVerticalScrollBarStandsAtTheLeftEdge) {
    ShownForm f;
    auto* w = Place<Framed>(&f.form, 10, 10, 100, 80);
    w->fill = clRed;
    w->SetBiDiMode(bdRightToLeft);
    f.Show();
    const HWND h = w->Handle();
    ShowScrollBar(h, SB_VERT, true);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(w->ClientWidth(), 100 - bar);
    // The client area starts right of the bar.
    EXPECT_EQ(w->ClientToScreen({0, 0}).X - w->Parent()->ClientToScreen({10, 0}).X, bar);
    const TPoint onBar = w->Parent()->ClientToScreen({12, 40});
    EXPECT_EQ(w->Perform(WM_NCHITTEST, 0, MakeLParam(onBar.X, onBar.Y)), HTVSCROLL);
    const TPoint onClient = w->Parent()->ClientToScreen({12 + bar, 40});
    EXPECT_EQ(w->Perform(WM_NCHITTEST, 0, MakeLParam(onClient.X, onClient.Y)), HTCLIENT);
    // The picture: the bar at the left, the client's red beside it up to the right edge.
    TBitmap shot;
    RenderControlToBitmap(w, shot);
    EXPECT_NE(shot.Canvas().Pixels(bar / 2, 40), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(bar + 1, 40), clRed);
    EXPECT_EQ(shot.Canvas().Pixels(99, 40), clRed);
    // Back to left to right: the bar goes back to the right.
    w->SetBiDiMode(bdLeftToRight);
    RenderControlToBitmap(w, shot);
    EXPECT_EQ(shot.Canvas().Pixels(1, 40), clRed);
    EXPECT_NE(shot.Canvas().Pixels(99 - bar / 2, 40), clRed);
}
