#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

namespace {

constexpr int Notch = 120;

// The font a cell is painted with.
struct ProbeGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    int FontSize(int c, int r) {
        TGridDrawState state;
        TBrush brush;
        TFont font;
        font.Assign(&Font());
        TColor to, mirror, mirrorTo;
        TAlignment ha;
        TVAlignment va;
        bool ww;
        TCellGradientDirection gd;
        GetVisualProperties(c, r, state, false, false, false, brush, to, mirror, mirrorTo, font, ha, va, ww, gd);
        return font.Size();
    }
};

// A shown form with a column grid of 40 rows.
struct WindowForm {
    TForm form{nullptr};
    ProbeGrid* g;

    explicit WindowForm(int rows = 40) {
        form.SetBounds(0, 0, 600, 400);
        g = new ProbeGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 450, 250);
        g->SetRowCount(rows);
        form.Show();
        g->SetFocus();
    }
    void Wheel(int delta, TShiftState shift = {}) { SimulateWheel(g, 50, 50, delta, shift); }
};

TEST(ExGridWindow, AWheelNotchMovesTheCurrentRowByTheDesktopsLines) {
    WindowForm f;
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), 4);
    f.Wheel(-2 * Notch);
    EXPECT_EQ(f.g->Row(), 7);
    f.Wheel(Notch);
    EXPECT_EQ(f.g->Row(), 4);
    for (int i = 0; i < 20; ++i) f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), 39);
    for (int i = 0; i < 20; ++i) f.Wheel(Notch);
    EXPECT_EQ(f.g->Row(), 1);
    {
        // One page per notch.
        TSystemMetricsGuard page(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, WHEEL_PAGESCROLL);
        f.Wheel(-Notch);
        EXPECT_EQ(f.g->Row(), 1 + f.g->VisibleRowCount());
    }
    // Scrolling instead: the view moves, the current row stays.
    f.g->MouseActions().SetWheelAction(waScroll);
    const int row = f.g->Row(), top = f.g->TopRow();
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), row);
    EXPECT_EQ(f.g->TopRow(), top + 3);
    f.g->SetEnableWheel(false);
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->TopRow(), top + 3);
}

TEST(ExGridWindow, ZoomSizesEveryColumnAndRowWithinTenSteps) {
    WindowForm f;
    const int w = f.g->ColWidths(2), h = f.g->RowHeights(3);
    const int size = f.g->FontSize(2, 3), header = f.g->FontSize(2, 0);
    for (int i = 0; i < 3; ++i) f.g->Zoom(-3);
    EXPECT_EQ(f.g->ZoomFactor(), -9);
    EXPECT_EQ(f.g->FontSize(2, 3), size - 9);
    EXPECT_EQ(f.g->FontSize(2, 0), header - 9);
    EXPECT_EQ(f.g->ColWidths(2), w - 9);
    EXPECT_EQ(f.g->RowHeights(3), h - 9);
    f.g->Zoom(-3);
    EXPECT_EQ(f.g->ZoomFactor(), -9);
    EXPECT_EQ(f.g->ColWidths(2), w - 9);
}

TEST(ExGridWindow, CtrlWheelZoomsWithinTenStepsAndFitsTheCells) {
    WindowForm f;
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    f.g->SetCellEx(2, 3, u"a rather long text for its column");
    f.g->SetCellEx(3, 4, u"two\nlines");
    const int size = f.g->FontSize(2, 3), header = f.g->FontSize(2, 0);
    const int h = f.g->RowHeights(5);
    for (int i = 0; i < 3; ++i) f.Wheel(Notch, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), -9);
    EXPECT_EQ(f.g->FontSize(2, 3), size - 9);
    EXPECT_EQ(f.g->FontSize(2, 0), header - 9);
    EXPECT_EQ(f.g->Row(), 1);
    // Each column fits its widest text, each row its lines, four pixels and the offset added.
    const int wide = f.g->Canvas().TextWidth(u"a rather long text for its column");
    EXPECT_EQ(f.g->ColWidths(2), wide + 4 + 2);
    EXPECT_LT(f.g->ColWidths(1), f.g->ColWidths(2));
    EXPECT_GT(f.g->RowHeights(4), f.g->RowHeights(5));
    EXPECT_GE(f.g->RowHeights(5), h - 9);
    const int w = f.g->ColWidths(2), r4 = f.g->RowHeights(4);
    f.Wheel(Notch, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), -9);
    EXPECT_EQ(f.g->ColWidths(2), w);
    EXPECT_EQ(f.g->RowHeights(4), r4);
    f.Wheel(-Notch, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), -6);
    f.g->SetIntelliZoom(false);
    f.Wheel(-Notch, {ssCtrl});
    EXPECT_EQ(f.g->ZoomFactor(), -6);
    EXPECT_EQ(f.g->Row(), 4);
}

TEST(ExGridWindow, TheWheelDoesNothingOnAGridHoldingOnlyItsHeader) {
    WindowForm f(2);
    f.g->SetFixedRowAlways(true);
    f.g->SetRowCount(1);
    ASSERT_EQ(f.g->RowCount(), 1);
    f.Wheel(-Notch);
    f.Wheel(Notch);
    EXPECT_EQ(f.g->RowCount(), 1);
    EXPECT_EQ(f.g->ZoomFactor(), 0);
}

TEST(ExGridWindow, TheMiddleButtonPansTowardsTheMouse) {
    WindowForm f;
    auto tick = [&] { f.g->Perform(WM_TIMER, 999, 0); };
    SimulateMouseDown(f.g, mbMiddle, 100, 100);
    ASSERT_TRUE(f.g->Panning());
    EXPECT_FALSE(Application->ShowHint());
    // Resting near the anchor, or to the side, moves nothing.
    SimulateMouseMove(f.g, 104, 103);
    tick();
    SimulateMouseMove(f.g, 180, 100);
    tick();
    EXPECT_EQ(f.g->Row(), 1);
    EXPECT_EQ(f.g->Col(), 1);
    SimulateMouseMove(f.g, 100, 140);
    tick();
    tick();
    EXPECT_EQ(f.g->Row(), 3);
    // The cursor points down: an arrow below the resting mark.
    EXPECT_EQ(f.g->Cursor(), crGridPan + 1);
    TCursorResource down;
    ASSERT_TRUE(Screen->Cursors(crGridPan + 1, down));
    EXPECT_EQ(down.HotSpot, (TPoint{16, 16}));
    EXPECT_EQ(down.Image.Canvas().Pixels(16, 27), clBlack);
    EXPECT_NE(down.Image.Canvas().Pixels(16, 4), clBlack);
    SimulateMouseMove(f.g, 100, 60);
    tick();
    EXPECT_EQ(f.g->Row(), 2);
    // Any press ends it.
    SimulateMouseDown(f.g, mbLeft, 100, 60);
    SimulateMouseUp(f.g, mbLeft, 100, 60);
    EXPECT_FALSE(f.g->Panning());
    EXPECT_EQ(f.g->Cursor(), crDefault);
    EXPECT_TRUE(Application->ShowHint());
    f.g->SetIntelliPan(ipNone);
    SimulateMouseDown(f.g, mbMiddle, 100, 100);
    EXPECT_FALSE(f.g->Panning());
}

TEST(ExGridWindow, AGridClosedWhilePanningGivesTheHintsBack) {
    {
        WindowForm f;
        SimulateMouseDown(f.g, mbMiddle, 100, 100);
        ASSERT_TRUE(f.g->Panning());
    }
    EXPECT_TRUE(Application->ShowHint());
}

TEST(ExGridWindow, ThumbTrackingShowsTheRowAsHint) {
    WindowForm f(500);
    f.g->SetScrollHints(shVertical);
    auto scroll = [&](Word code, int pos) { f.g->Perform(WM_VSCROLL, WPARAM(code) | (WPARAM(pos) << 16), 0); };
    scroll(SB_THUMBTRACK, 0);
    THTMLHintWindow* w = f.g->ScrollHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsHintShowing());
    EXPECT_EQ(w->Text(), u"Row : 1");
    scroll(SB_THUMBTRACK, 127);
    EXPECT_EQ(w->Text(), u"Row : " + IntToStr(500 - f.g->VisibleRowCount()));
    f.g->OnScrollHint = [](TObject*, int ARow, String& hint) { hint = u"at " + IntToStr(ARow); };
    scroll(SB_THUMBTRACK, 0);
    EXPECT_EQ(w->Text(), u"at 1");
    scroll(SB_ENDSCROLL, 0);
    EXPECT_FALSE(w->IsHintShowing());
    EXPECT_FALSE(f.g->ScrollHintShowing());
}

TEST(ExGridWindow, MetroBarsReplaceTheWindowsBars) {
    WindowForm f(500);
    f.g->SetScrollBars(ssVertical);
    f.g->SetScrollType(ssMetro);
    EXPECT_EQ(f.g->ScrollBars(), ssNone);
    TScrollControl* v = f.g->VertScrollControl();
    TScrollControl* h = f.g->HorzScrollControl();
    ASSERT_NE(v, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(v->Width(), 6);
    EXPECT_EQ(h->Height(), 6);
    EXPECT_TRUE(v->Visible());
    // Many rows: the thumb keeps its least length and stays inside the bar.
    int start = 0, length = 0;
    v->ThumbExtent(start, length);
    EXPECT_EQ(length, 20);
    // The thumb in silver, 4 pixels thick, the grid's colour beside it.
    TBitmap bar;
    RenderControlToBitmap(v, bar);
    EXPECT_EQ(bar.Canvas().Pixels(1, start + 10), TColor(0xC0C0C0));
    EXPECT_EQ(bar.Canvas().Pixels(5, start + 10), ColorToRGB(f.g->Color()));
    // ScrollColor takes the grid colour's place; clNone gives it back.
    f.g->SetScrollColor(clTeal);
    RenderControlToBitmap(v, bar);
    EXPECT_EQ(bar.Canvas().Pixels(5, start + 10), TColor(0x808000));
    EXPECT_EQ(bar.Canvas().Pixels(1, start + 10), TColor(0xC0C0C0));
    f.g->SetScrollColor(clNone);
    RenderControlToBitmap(v, bar);
    EXPECT_EQ(bar.Canvas().Pixels(5, start + 10), ColorToRGB(f.g->Color()));
    f.g->SetTopRow(500);
    v->ThumbExtent(start, length);
    EXPECT_EQ(start + length, v->Height());
    // A press above the thumb pages back.
    const int top = f.g->TopRow();
    SimulateClick(v, 2, start - 5);
    EXPECT_EQ(f.g->TopRow(), top - f.g->VisibleRowCount());
    // Dragging the thumb to the top scrolls back to the first rows.
    v->ThumbExtent(start, length);
    SimulateMouseDown(v, mbLeft, 2, start + 5);
    SimulateMouseMove(v, 2, start + 5 - v->Height(), {ssLeft});
    SimulateMouseUp(v, mbLeft, 2, start + 5 - v->Height());
    EXPECT_EQ(f.g->TopRow(), 1);
    // Every column in view: no horizontal thumb.
    h->ThumbExtent(start, length);
    EXPECT_EQ(length, 0);

    f.g->SetScrollType(ssNormal);
    EXPECT_EQ(f.g->VertScrollControl(), nullptr);
    EXPECT_EQ(f.g->HorzScrollControl(), nullptr);
    EXPECT_EQ(f.g->ScrollBars(), ssBoth);
}

}  // namespace

namespace {
// Shown, and disabled (both arrows) when the bar's rows or columns all fit.
struct BarState {
    bool Shown, Disabled;
    friend bool operator==(const BarState&, const BarState&) = default;
};
BarState Bar(TExStringGrid* g, int Bar) {
    const bool shown = (WindowStyle(g) & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    SCROLLBARINFO info;
    GetScrollBarInfo(g->Handle(), Bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, info);
    return {shown, shown && (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0};
}
}  // namespace

TEST(ExGridWindow, KeptBarsShowDisabledWhileEverythingFits) {
    WindowForm f(5);  // five rows and five columns fit the 450 x 250 grid
    EXPECT_EQ(Bar(f.g, SB_VERT), (BarState{false, false}));
    struct Case {
        TScrollBarAlways Always;
        BarState Vert, Horz;
    };
    for (const Case& c : {Case{saVert, {true, true}, {false, false}}, Case{saHorz, {false, false}, {true, true}},
                          Case{saBoth, {true, true}, {true, true}}, Case{saNone, {false, false}, {false, false}}}) {
        f.g->SetScrollBarAlways(c.Always);
        EXPECT_EQ(Bar(f.g, SB_VERT), c.Vert) << int(c.Always);
        EXPECT_EQ(Bar(f.g, SB_HORZ), c.Horz) << int(c.Always);
    }
    // Rows that no longer fit enable the kept bar; fitting again disables it.
    f.g->SetScrollBarAlways(saVert);
    f.g->SetRowCount(100);
    EXPECT_EQ(Bar(f.g, SB_VERT), (BarState{true, false}));
    f.g->SetRowCount(5);
    EXPECT_EQ(Bar(f.g, SB_VERT), (BarState{true, true}));
}

namespace {
SCROLLINFO VertThumb(TExStringGrid* g) {
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(g->Handle(), SB_VERT, info);
    return info;
}
}  // namespace

TEST(ExGridWindow, ProportionalThumbsFollowResizeScrollAndPaint) {
    WindowForm f(100);
    f.g->SetScrollProportional(true);
    const SCROLLINFO before = VertThumb(f.g);
    ASSERT_GT(before.nMax, 127);
    // Twice the height: the thumb covers about twice the share of the range.
    f.g->SetBounds(0, 0, 450, 500);
    const SCROLLINFO taller = VertThumb(f.g);
    EXPECT_GT(taller.nMax, 127);
    EXPECT_GT(double(taller.nPage) / taller.nMax, 1.6 * before.nPage / before.nMax);
    // Scrolling to the end and painting leaves the thumb at the proportional end.
    f.g->SetTopRow(100 - f.g->VisibleRowCount());
    TBitmap shot;
    RenderControlToBitmap(f.g, shot);
    const SCROLLINFO end = VertThumb(f.g);
    EXPECT_EQ(end.nMax, taller.nMax);
    EXPECT_EQ(end.nPos, 127);
}
