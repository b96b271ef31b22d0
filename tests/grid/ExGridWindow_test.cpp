#include "grid/ExCGrid.h"
#include "grid/ExGridEditors.h"

#include "GridEditorForm.h"
#include "GridOnForm.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(ExGridWindow, LockUpdateReadsAndHoldsTheRepaintLock) {
    WindowForm f;
    TExStringGrid* g = f.g;
    EXPECT_FALSE(g->LockUpdate());
    g->SetLockUpdate(true);
    g->BeginUpdate();
    EXPECT_TRUE(g->LockUpdate());
    EXPECT_EQ(g->UpdateCount(), 2);
    g->SetLockUpdate(false);
    EXPECT_TRUE(g->LockUpdate());
    g->EndUpdate();
    EXPECT_FALSE(g->LockUpdate());
    g->SetLockUpdate(false);  // no lock left to release
    EXPECT_EQ(g->UpdateCount(), 0);
}

TEST(ExGridWindow, AnAlwaysEditingGridOpensItsEditorWhenItTakesTheFocus) {
    WindowForm f;
    TExStringGrid* g = f.g;
    auto* other = new TEdit(&f.form);
    other->SetParent(&f.form);
    other->SetBounds(460, 10, 100, 20);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->Navigation().SetAlwaysEdit(true);
    g->SetCellEx(1, 2, u"text");
    g->SetRow(2);
    g->SetCol(1);
    g->ShowInplaceEdit();
    g->HideInplaceEdit();
    ASSERT_NE(g->NormalEdit(), nullptr);
    other->SetFocus();
    ASSERT_FALSE(g->EditorMode());
    // A focus the grid moved itself opens nothing, once.
    g->InvokedFocusChange = true;
    g->SetFocus();
    EXPECT_FALSE(g->EditorMode());
    EXPECT_FALSE(g->InvokedFocusChange);
    other->SetFocus();
    g->SetFocus();
    EXPECT_TRUE(g->EditorMode());
    EXPECT_EQ(g->InplaceEditor()->Text(), u"text");
    // A check box cell opens no editor.
    g->HideInplaceEdit();
    other->SetFocus();
    g->AddCheckBox(1, 2, false);
    g->SetFocus();
    EXPECT_FALSE(g->EditorMode());
}

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
    EXPECT_EQ(f.g->wheelmsg, Cardinal(WM_MOUSEWHEEL));
    f.g->SetCursor(crCross);
    SimulateMouseDown(f.g, mbMiddle, 100, 100);
    ASSERT_TRUE(f.g->Panning());
    EXPECT_TRUE(f.g->wheelpan);
    EXPECT_EQ(f.g->wheelpanpos, (TPoint{100, 100}));
    EXPECT_EQ(f.g->wheeltimer, 999u);
    EXPECT_EQ(f.g->prevcurs, crCross);
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
    EXPECT_EQ(f.g->wheeltimer, 0u);
    EXPECT_EQ(f.g->Cursor(), crCross);
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
    // The grid has its hint window from the start, hidden.
    THTMLHintWindow* w = f.g->ScrollHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->IsHintShowing());
    scroll(SB_THUMBTRACK, 0);
    EXPECT_EQ(f.g->ScrollHintWindow(), w);
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

TEST(ExGridWindow, FlatAndEncartaBarsTakeTheGridsLookColourAndWidth) {
    WindowForm f(60);
    TExStringGrid* g = f.g;
    const HWND h = g->Handle();
    std::intptr_t v = 0;
    auto prop = [&](Cardinal p) {
        v = -1;
        FlatSB_GetScrollProp(h, p, v);
        return v;
    };
    const int plainClient = g->ClientWidth();
    EXPECT_FALSE(g->IsFlat());
    g->SetScrollColor(clTeal);
    g->SetScrollWidth(25);
    EXPECT_EQ(g->ClientWidth(), plainClient) << "no flat bars yet";
    g->SetScrollType(ssFlat);
    ASSERT_TRUE(g->IsFlat());
    EXPECT_EQ(prop(WSB_PROP_VSTYLE), FSB_FLAT_MODE);
    EXPECT_EQ(prop(WSB_PROP_HSTYLE), FSB_FLAT_MODE);
    EXPECT_EQ(prop(WSB_PROP_VBKGCOLOR), std::intptr_t(clTeal));
    EXPECT_EQ(prop(WSB_PROP_CXVSCROLL), 25);
    EXPECT_EQ(g->ClientWidth(), plainClient - 8);
    g->SetScrollType(ssEncarta);
    EXPECT_EQ(prop(WSB_PROP_VSTYLE), FSB_ENCARTA_MODE);
    // clNone leaves the colour as it is.
    g->SetScrollColor(clNone);
    EXPECT_EQ(prop(WSB_PROP_VBKGCOLOR), std::intptr_t(clTeal));
    g->SetScrollWidth(17);
    EXPECT_EQ(g->ClientWidth(), plainClient);
    // Every row in view: the flat vertical bar goes, and comes back with the rows.
    g->SetRowCount(3);
    EXPECT_EQ(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL, 0);
    g->SetRowCount(60);
    EXPECT_NE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL, 0);
    g->SetScrollType(ssNormal);
    EXPECT_FALSE(g->IsFlat());
    EXPECT_EQ(prop(WSB_PROP_VSTYLE), -1) << "plain bars again";

    // A grid given its look before its window has it when the window comes.
    TForm form(nullptr);
    auto* late = new TExStringGrid(&form);
    late->SetScrollType(ssEncarta);
    late->SetScrollWidth(21);
    late->SetParent(&form);
    late->SetBounds(0, 0, 300, 200);
    late->SetRowCount(50);
    form.Show();
    EXPECT_TRUE(late->IsFlat());
    FlatSB_GetScrollProp(late->Handle(), WSB_PROP_VSTYLE, v);
    EXPECT_EQ(v, FSB_ENCARTA_MODE);
    FlatSB_GetScrollProp(late->Handle(), WSB_PROP_CXVSCROLL, v);
    EXPECT_EQ(v, 21);
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
    EXPECT_TRUE(v->DoubleBuffered() && h->DoubleBuffered());
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

namespace {

std::string Utf8(const String& S) { return StringToUtf8(S); }

// A combo column 1 of the kind under test, every combo relay of the grid logged.
struct ComboRelayForm : EditorForm {
    TGridColumnItem* col;
    ComboRelayForm() : EditorForm(edComboEdit, u"old") {
        col = g->Columns().Items(1);
        for (const char16_t* item : {u"A", u"B", u"C"}) col->ComboItems().Add(item);
        g->OnComboChange = [this](TObject*, int c, int r, int i, const String& s) {
            log.push_back("combo " + std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i) + " " +
                          Utf8(s));
        };
        g->OnComboObjectChange = [this](TObject*, int c, int r, int i, const String& s, TObject* o) {
            log.push_back("object " + std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i) + " " +
                          Utf8(s) + (o ? " obj" : " nil"));
        };
    }
    void Notify(TWinControl* Child, Word Code) {
        g->Perform(WM_COMMAND, WPARAM(Code) << 16, LPARAM(Child->Handle()));
    }
};

}  // namespace

TEST(ExGridWindow, EveryTypedChangeAndPickOfTheComboIsRelayedAndTypingOnceMoreWithoutIndex) {
    ComboRelayForm f;
    f.Open();
    TGridCombo* c = f.g->Combobox();
    ASSERT_TRUE(c->Visible());
    c->SetAutoComplete(false);
    // The combo enters with its text selected; typing goes on after it.
    c->SetSelStart(3);
    f.log.clear();
    // Typed text matches no item: the index is -1 and the text is the typed one,
    // then the grid's combo text is told again for any typing.
    SimulateText(u"x");
    SimulateText(u"y");
    const std::vector<std::string> typed = {
        "combo 1,2 -1 oldx", "object 1,2 -1 oldx nil", "combo 1,2 -1 oldx",
        "combo 1,2 -1 oldxy", "object 1,2 -1 oldxy nil", "combo 1,2 -1 oldxy"};
    EXPECT_EQ(f.log, typed);
    // A pick is told each time, also when it is the same item again.
    f.log.clear();
    c->SetItemIndex(1);
    f.Notify(c, CBN_SELCHANGE);
    f.Notify(c, CBN_SELCHANGE);
    const std::vector<std::string> picked = {"combo 1,2 1 B", "object 1,2 1 B nil", "combo 1,2 1 B",
                                             "object 1,2 1 B nil"};
    EXPECT_EQ(f.log, picked);
}

TEST(ExGridWindow, WithShowEditProcessTypingIntoASpinOrButtonEditorFillsTheCellAtOnce) {
    struct Case {
        TEditorType Kind;
        bool Show;
        const char16_t* Cell;  // what the cell holds after "5" replaced the editor's text
    };
    const Case cases[] = {
        {edSpinEdit, false, u"12"}, {edSpinEdit, true, u"5"},
        {edEditBtn, false, u"12"},  {edEditBtn, true, u"5"},
        // The unit editor writes value and unit together when it closes.
        {edUnitEditBtn, true, u"12"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.Kind) * 10 + k.Show);
        EditorForm f(k.Kind, u"12");
        f.g->SetShowEditProcess(k.Show);
        f.Open();
        // Opening fills the editor: that is no typing, the cell keeps its text.
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"12");
        TCustomEdit* e = k.Kind == edSpinEdit ? static_cast<TCustomEdit*>(f.g->SpinEdit())
                         : k.Kind == edEditBtn ? static_cast<TCustomEdit*>(f.g->EditBtn())
                                               : static_cast<TCustomEdit*>(f.g->UnitEditBtn());
        ASSERT_TRUE(e->Focused());
        e->SelectAll();
        SimulateText(u"5");
        EXPECT_EQ(e->Text(), u"5");
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(k.Cell));
        SimulateKey(VK_ESCAPE);
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"12");
    }
}

TEST(ExGridWindow, ACancelledMovePutsItsFeedbackAwayAndMovesNothing) {
    WindowForm f(6);
    f.g->SetOptions(f.g->Options() + TGridOptions{goColMoving});
    f.g->DragDropSettings().SetShowCells(false);
    f.g->SetCellEx(1, 1, u"one");
    auto mid = [&](int c) {
        const TRect R = f.g->CellRect(c, 0);
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    };
    SimulateMouseDown(f.g, mbLeft, mid(1).X, mid(1).Y);
    SimulateMouseMove(f.g, mid(2).X, mid(2).Y, {ssLeft});
    SimulateMouseMove(f.g, mid(3).X, mid(3).Y, {ssLeft});
    ASSERT_TRUE(f.g->MoveButton() && f.g->MoveButton()->Visible());
    ASSERT_EQ(Screen->Cursor(), crDrag);
    f.g->Perform(WM_CANCELMODE);
    EXPECT_FALSE(f.g->MoveButton()->Visible());
    EXPECT_FALSE(f.g->MoveButton()->Enabled());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(f.g->GridState(), gsNormal);
    SimulateMouseUp(f.g, mbLeft, mid(3).X, mid(3).Y);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"one");
}

TEST(ExGridWindow, ASynchronisedGridFollowsTheRowChosenByKeysAndMouse) {
    WindowForm f(10);
    auto* other = new TExColumnGrid(&f.form);
    other->SetParent(&f.form);
    other->SetBounds(460, 0, 130, 250);
    other->SetRowCount(6);
    f.g->SyncGrid().SetGrid(other);
    struct Step {
        bool Sync;
        int Row;       // the row chosen in the grid
        int OtherRow;  // where the synchronised grid stands then
    };
    const Step steps[] = {{true, 2, 2}, {true, 4, 4}, {false, 5, 4}, {true, 8, 4}, {true, 3, 3}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Row);
        f.g->SyncGrid().SetSelectionRow(s.Sync);
        if (s.Row == f.g->Row() + 1) {
            SimulateKey(VK_DOWN);
        } else {
            const TRect R = f.g->CellRect(1, s.Row);
            SimulateClick(f.g, R.Left + 5, R.Top + 5);
        }
        EXPECT_EQ(f.g->Row(), s.Row);
        EXPECT_EQ(other->Row(), s.OtherRow);
    }
}

TEST(ExGridWindow, TheRowAndColumnSettersCarryTheGridsFollowersAlong) {
    WindowForm f(12);
    f.g->SetColCount(6);
    auto* other = new TExColumnGrid(&f.form);
    other->SetParent(&f.form);
    other->SetBounds(460, 0, 130, 250);
    other->SetRowCount(8);
    other->SetColCount(4);
    f.g->SyncGrid().SetGrid(other);
    f.g->SyncGrid().SetSelectionRow(true);
    f.g->SyncGrid().SetSelectionColumn(true);
    // Rows and columns the follower has are taken, others leave it where it was.
    f.g->SetRow(5);
    f.g->SetCol(3);
    EXPECT_EQ(other->Row(), 5);
    EXPECT_EQ(other->Col(), 3);
    f.g->SetRow(10);
    f.g->SetCol(5);
    EXPECT_EQ(other->Row(), 5);
    EXPECT_EQ(other->Col(), 3);
    // The wheel's row moves go the same way.
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    f.g->SetRow(1);
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), 4);
    EXPECT_EQ(other->Row(), 4);
    // The row update is told once per change of row.
    std::vector<std::pair<int, int>> updates;
    f.g->OnRowUpdate = [&](TObject*, int from, int to) { updates.emplace_back(from, to); };
    f.g->SetRow(7);
    f.g->SetRow(7);
    f.g->SetRow(2);
    // The first report comes from no row: the grid keeps the row only while someone listens.
    EXPECT_EQ(updates, (std::vector<std::pair<int, int>>{{-1, 7}, {7, 2}}));
}

TEST(ExGridWindow, TheRowSetterAddsTheRangeToASeparateRowSelectionAndClearsTheSearchFooter) {
    WindowForm f(20);
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.g->SetRowSelect(9, true);
    f.g->SetRow(3);
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_TRUE(f.g->RowSelect(9));
    EXPECT_FALSE(f.g->RowSelect(4));

    f.g->MouseActions().SetDisjunctRowSelect(false);
    f.g->SearchFooter().SetVisible(true);
    TSearchPanel* p = f.g->SearchPanel();
    ASSERT_NE(p, nullptr);
    f.g->SetRow(19);
    const TRect last = f.g->CellRect(1, 19);
    EXPECT_GT(last.Bottom, last.Top);
    EXPECT_LE(last.Bottom, f.g->ClientHeight() - p->Height() + 2);
}

TEST(ExGridWindow, TheWheelsRowMoveMeetsRefusalsSelectionsAndItsEvents) {
    WindowForm f;
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    std::vector<std::string> events;
    f.g->OnMouseWheelDown = [&](TObject*, TShiftState s, TPoint, bool&) {
        events.push_back(s.Contains(ssShift) ? "down shift" : "down");
    };
    // A refused row: half the way, and one row more in view above.
    f.g->SetRow(4);
    f.g->SetTopRow(3);
    f.g->OnSelectCell = [](TObject*, int, int r, bool& can) { can = r != 7; };
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), 6);
    EXPECT_EQ(f.g->TopRow(), 2);
    EXPECT_TRUE(events.empty());
    f.g->OnSelectCell = nullptr;
    // A row-selecting grid that keeps its horizontal place keeps it.
    f.g->SetColCount(30);
    f.g->SetOptions(f.g->Options() + TGridOptions{goRowSelect});
    f.g->Navigation().SetKeepHorizScroll(true);
    f.g->SetLeftCol(10);
    f.Wheel(-Notch);
    EXPECT_EQ(f.g->Row(), 9);
    EXPECT_EQ(f.g->LeftCol(), 10);
    // Rows selected one by one: the notch starts a new selection and is told with the keys held.
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.g->SetRowSelect(3, true);
    f.Wheel(-Notch, {ssShift});
    EXPECT_EQ(f.g->Row(), 12);
    EXPECT_FALSE(f.g->RowSelect(3));
    // A set increment is told too, without the keys.
    f.g->MouseActions().SetDisjunctRowSelect(false);
    f.g->MouseActions().SetWheelIncrement(2);
    f.Wheel(-Notch, {ssShift});
    EXPECT_EQ(f.g->Row(), 14);
    EXPECT_EQ(events, (std::vector<std::string>{"down shift", "down"}));
}

namespace {
// A parent that takes every wheel notch offered to it.
struct WheelTakingPanel : TPanel {
    using TPanel::TPanel;
    int Offered = 0;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_MOUSEWHEEL) {
            ++Offered;
            Message.Result = 1;
            return;
        }
        TPanel::WndProc(Message);
    }
};
}  // namespace

TEST(ExGridWindow, ANotchTakenByTheParentGoesTheFrameworksWayWithoutOpeningTheEditor) {
    TForm form{nullptr};
    form.SetBounds(0, 0, 600, 400);
    auto* panel = new WheelTakingPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 500, 300);
    auto* g = new TExColumnGrid(&form);
    g->SetParent(panel);
    g->SetBounds(0, 0, 450, 250);
    g->SetRowCount(40);
    g->MouseActions().SetDirectEdit(true);
    form.Show();
    g->SetFocus();
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    SimulateWheel(g, 50, 50, -Notch);
    EXPECT_EQ(panel->Offered, 1);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_FALSE(g->EditorMode());
    EXPECT_TRUE(g->MouseActions().DirectEdit());
    SimulateWheel(g, 50, 50, Notch);
    EXPECT_EQ(g->Row(), 1);
}

TEST(ExGridWindow, MetroBarsLetTheCellsShowThroughBesideTheThumb) {
    WindowForm f(500);
    f.g->SetColWidths(4, 400);
    f.g->SetColors(4, 1, clLime);
    f.g->SetColors(4, 2, clLime);
    f.g->SetScrollType(ssMetro);
    TScrollControl* v = f.g->VertScrollControl();
    ASSERT_NE(v, nullptr);
    TBitmap bar;
    RenderControlToBitmap(v, bar);
    const TRect cell = f.g->CellRect(4, 1);
    const int y = (cell.Top + cell.Bottom) / 2 - v->Top();
    // Beside the 4 pixels of the thumb.
    EXPECT_EQ(bar.Canvas().Pixels(5, y), TColor(0x00FF00));
}

TEST(ExGridWindow, ThumbHintsFollowTheirSettingAndASynchronousThumbScrollsAlong) {
    struct Case {
        TScrollHintType Hints;
        Cardinal Msg;
        bool Synch;
        const char16_t* Prefix;  // of the hint shown at the thumb's end, nullptr for none
    };
    const Case cases[] = {
        {shVertical, WM_HSCROLL, true, nullptr},  {shHorizontal, WM_HSCROLL, false, u"Col : "},
        {shBoth, WM_HSCROLL, true, u"Col : "},    {shHorizontal, WM_VSCROLL, true, nullptr},
        {shBoth, WM_VSCROLL, false, u"Row : "},   {shNone, WM_VSCROLL, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Hints) * 10 + int(c.Msg == WM_VSCROLL));
        WindowForm f(500);
        f.g->SetColCount(60);
        f.g->SetScrollHints(c.Hints);
        f.g->SetScrollSynch(c.Synch);
        const bool vert = c.Msg == WM_VSCROLL;
        const int last = vert ? 500 - f.g->VisibleRowCount() : 60 - f.g->VisibleColCount();
        f.g->Perform(c.Msg, WPARAM(SB_THUMBTRACK) | (WPARAM(127) << 16), 0);
        THTMLHintWindow* w = f.g->ScrollHintWindow();
        EXPECT_EQ(w && w->IsHintShowing(), c.Prefix != nullptr);
        if (c.Prefix) EXPECT_EQ(w->Text(), String(c.Prefix) + IntToStr(last));
        // The view follows the thumb while it is dragged only when synchronous.
        EXPECT_EQ((vert ? f.g->TopRow() : f.g->LeftCol()) == last, c.Synch);
        f.g->Perform(c.Msg, WPARAM(SB_ENDSCROLL), 0);
        EXPECT_FALSE(w && w->IsHintShowing());
    }
}

TEST(ExGridWindow, WithoutFixedColumnsScrollingRightPastTheEditorClosesIt) {
    WindowForm f(10);
    f.g->SetColCount(60);
    f.g->SetFixedCols(0);
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
    f.g->SetCol(2);
    SimulateKey(VK_F2);
    ASSERT_TRUE(f.g->EditorMode());
    // A thumb still left of the editor's column keeps it.
    f.g->Perform(WM_HSCROLL, WPARAM(SB_THUMBTRACK) | (WPARAM(1) << 16), 0);
    EXPECT_TRUE(f.g->EditorMode());
    f.g->Perform(WM_HSCROLL, WPARAM(SB_THUMBTRACK) | (WPARAM(100) << 16), 0);
    EXPECT_FALSE(f.g->EditorMode());
}

TEST(ExGridWindow, CopyingAGridTakesItsScrollSettingsAndItsMetroBars) {
    WindowForm f(50);
    auto* copy = new TExColumnGrid(&f.form);
    copy->SetParent(&f.form);
    copy->SetBounds(0, 260, 450, 100);
    EXPECT_EQ(copy->ScrollWidth(), GetSystemMetrics(SM_CXVSCROLL));
    f.g->SetScrollHints(shBoth);
    f.g->SetScrollSynch(true);
    f.g->SetScrollProportional(true);
    f.g->SetScrollColor(clTeal);
    f.g->SetScrollWidth(16);
    f.g->SetScrollType(ssMetro);
    copy->Assign(f.g);
    EXPECT_EQ(copy->ScrollHints(), shBoth);
    EXPECT_TRUE(copy->ScrollSynch());
    EXPECT_TRUE(copy->ScrollProportional());
    EXPECT_EQ(copy->ScrollColor(), clTeal);
    EXPECT_EQ(copy->ScrollWidth(), 16);
    EXPECT_EQ(copy->ScrollType(), ssMetro);
    EXPECT_NE(copy->VertScrollControl(), nullptr);
    EXPECT_EQ(copy->ScrollBars(), ssNone);
}

TEST(ExGridWindow, PanningTakesOnlyItsDirectionsAndScrollsOrMovesTheCell) {
    struct Case {
        TIntelliPan Pan;
        TWheelAction Action;
        int Dx, Dy;          // where the mouse rests from the anchor
        TCursor Cursor;      // the direction shown
        int Col, Row;        // the current cell after two ticks
        int LeftCol, TopRow; // the view after two ticks
    };
    const Case cases[] = {
        {ipVertical, waMoveSelection, 40, 40, crGridPan + 1, 1, 3, 1, 1},
        {ipHorizontal, waMoveSelection, 40, 40, crGridPan + 3, 3, 1, 1, 1},
        {ipBoth, waMoveSelection, 40, 40, crGridPan + 7, 3, 3, 1, 1},
        {ipBoth, waMoveSelection, -40, -40, crGridPan + 6, 1, 1, 1, 1},
        {ipBoth, waScroll, 40, 40, crGridPan + 7, 1, 1, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Pan) * 100 + int(c.Action) * 10 + (c.Dx > 0));
        WindowForm f;
        f.g->SetColCount(30);
        f.g->SetIntelliPan(c.Pan);
        f.g->MouseActions().SetWheelAction(c.Action);
        SimulateMouseDown(f.g, mbMiddle, 100, 100);
        ASSERT_TRUE(f.g->Panning());
        SimulateMouseMove(f.g, 100 + c.Dx, 100 + c.Dy);
        f.g->Perform(WM_TIMER, 999, 0);
        f.g->Perform(WM_TIMER, 999, 0);
        EXPECT_EQ(f.g->Cursor(), c.Cursor);
        EXPECT_EQ(f.g->Col(), c.Col);
        EXPECT_EQ(f.g->Row(), c.Row);
        EXPECT_EQ(f.g->LeftCol(), c.LeftCol);
        EXPECT_EQ(f.g->TopRow(), c.TopRow);
        SimulateKey(VK_SHIFT);
        EXPECT_FALSE(f.g->Panning());
    }
}

TEST(ExGridWindow, ThePanMarkShowsAtTheAnchorOnlyWhilePanning) {
    WindowForm f;
    // The client at the bitmap's origin.
    f.g->SetBorderStyle(bsNone);
    TBitmap shot;
    auto at = [&](int x, int y) {
        RenderControlToBitmap(f.g, shot);
        return shot.Canvas().Pixels(x, y);
    };
    // A white ring 26 pixels wide with a black dot in its middle; an arrow head above it.
    const TColor before = at(100, 93);
    SimulateMouseDown(f.g, mbMiddle, 100, 100);
    ASSERT_TRUE(f.g->Panning());
    EXPECT_EQ(at(100, 100), clBlack);
    EXPECT_EQ(at(100, 97), clWhite);
    EXPECT_EQ(at(100, 93), clBlack);
    // Vertical panning shows no side arrows.
    EXPECT_EQ(at(92, 100), clWhite);
    SimulateKey(VK_SHIFT);
    EXPECT_FALSE(f.g->Panning());
    EXPECT_EQ(at(100, 93), before);
}

namespace {

// A shown 5 x 20 grid, 400 x 260, with the focus; Footer shows the search footer.
struct FooterForm : GridOnForm<> {
    explicit FooterForm(bool Footer = true) : GridOnForm<>(400, 260) {
        g->SetColCount(5);
        g->SetRowCount(20);
        g->SetFocus();
        g->SearchFooter().SetVisible(Footer);
    }
    // The view's usual end: the last page, its last row at the client's bottom.
    int EndTop() { return 20 - g->VisibleRowCount(); }
    // The last row is in view with its bottom above the footer's top.
    bool LastRowClear() {
        const TRect r = g->CellRect(1, 19);
        return g->TopRow() <= 19 && r.Bottom > r.Top && r.Bottom <= g->ClientHeight() - g->SearchPanel()->Height() + 2;
    }
    LRESULT Scroll(Word Code) { return g->Perform(WM_VSCROLL, WPARAM(Code), 0); }
};

}  // namespace

TEST(ExGridWindow, TheVerticalBarScrollsTheLastRowClearOfTheSearchFooterAndNoFurther) {
    FooterForm f;
    f.g->SetTopRow(20);
    const int end = f.EndTop();
    ASSERT_EQ(f.g->TopRow(), end);
    ASSERT_FALSE(f.LastRowClear());  // the usual end leaves the last row under the footer
    // A line down there goes on past the usual end until the last row is clear.
    EXPECT_EQ(f.Scroll(SB_LINEDOWN), 0);
    EXPECT_GT(f.g->TopRow(), end);
    EXPECT_TRUE(f.LastRowClear());
    // Once clear, line-down and end-scroll are spent without moving the view.
    const int clearTop = f.g->TopRow();
    EXPECT_EQ(f.Scroll(SB_LINEDOWN), 1);
    EXPECT_EQ(f.Scroll(SB_ENDSCROLL), 1);
    EXPECT_EQ(f.g->TopRow(), clearTop);
    // A line up does not stop at the usual end, where the footer hides the last row.
    f.Scroll(SB_LINEUP);
    EXPECT_EQ(f.g->TopRow(), end - 1);
    f.Scroll(SB_ENDSCROLL);
    EXPECT_EQ(f.g->TopRow(), end - 1);
    // Away from the end a line is a line.
    f.Scroll(SB_LINEUP);
    EXPECT_EQ(f.g->TopRow(), end - 2);
    f.Scroll(SB_LINEDOWN);
    EXPECT_EQ(f.g->TopRow(), end - 1);
    // The thumb let go at the bottom: the end-scroll that follows brings the last row clear.
    f.Scroll(SB_BOTTOM);
    EXPECT_EQ(f.g->TopRow(), end);
    f.Scroll(SB_ENDSCROLL);
    EXPECT_TRUE(f.LastRowClear());
    // Hiding the footer brings the view back to its usual end.
    f.g->SearchFooter().SetVisible(false);
    EXPECT_EQ(f.g->TopRow(), end);

    // Without the footer the bar stops at the usual end and lines up one at a time.
    FooterForm plain(false);
    plain.g->SetTopRow(20);
    EXPECT_EQ(plain.Scroll(SB_LINEDOWN), 0);
    plain.Scroll(SB_ENDSCROLL);
    EXPECT_EQ(plain.g->TopRow(), plain.EndTop());
    plain.Scroll(SB_LINEUP);
    EXPECT_EQ(plain.g->TopRow(), plain.EndTop() - 1);
}

TEST(ExGridWindow, TheWheelAtTheEndScrollsTheLastRowClearOfTheSearchFooter) {
    TSystemMetricsGuard lines(TSystemMetricsGuard::Parameter, SPI_GETWHEELSCROLLLINES, 3);
    struct Case {
        const char* name;
        TWheelAction action;
        bool footer, clear;
    };
    const Case cases[] = {
        {"moving the row", waMoveSelection, true, true},
        {"scrolling", waScroll, true, true},
        {"moving the row without the footer", waMoveSelection, false, false},
        {"scrolling without the footer", waScroll, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FooterForm f(c.footer);
        f.g->MouseActions().SetWheelAction(c.action);
        for (int i = 0; i < 10; ++i) SimulateWheel(f.g, 50, 50, -Notch);
        if (c.action == waMoveSelection) EXPECT_EQ(f.g->Row(), 19);
        if (c.clear) {
            EXPECT_GT(f.g->TopRow(), f.EndTop() - 1);
            EXPECT_TRUE(f.LastRowClear());
            // Further notches keep it there; one up leaves the end.
            const int top = f.g->TopRow();
            SimulateWheel(f.g, 50, 50, -Notch);
            EXPECT_EQ(f.g->TopRow(), top);
        } else {
            EXPECT_EQ(f.g->TopRow(), f.EndTop());
        }
    }
}

TEST(ExGridWindow, ShowingTheSearchFooterKeepsTheCurrentRowInViewClearOfIt) {
    // The search footer is shown with the cursor on Row and the view's top at Top (20: the usual end).
    struct Case {
        const char* name;
        int row, top;
        bool scrolls;
    };
    const Case cases[] = {
        {"the last row at the view's end", 19, 20, true},
        {"the bottom row of the first page", -1, 1, true},
        {"a row well above the footer", 3, 1, false},
        {"a row above the view", 1, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FooterForm f(false);
        f.g->SetTopRow(c.top);
        const int row = c.row < 0 ? f.g->TopRow() + f.g->VisibleRowCount() - 1 : c.row;
        f.g->FocusCell(1, row, true);
        const int top = f.g->TopRow();
        f.g->SearchFooter().SetVisible(true);
        TSearchPanel* p = f.g->SearchPanel();
        ASSERT_TRUE(p && p->Visible());
        EXPECT_EQ(f.g->TopRow() > top, c.scrolls);
        const TRect r = f.g->CellRect(1, row);
        if (row >= f.g->TopRow()) EXPECT_LE(r.Bottom, f.g->ClientHeight() - p->Height() + 2);
    }
}

namespace {

// A grid that counts its paints.
struct PaintCountGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    int paints = 0;
    void Paint() override {
        ++paints;
        TExStringGrid::Paint();
    }
};

}  // namespace

TEST(ExGridWindow, ProportionalThumbsHideAHorizontalBarTheColumnsOwnWidthsDoNotNeed) {
    // Five columns on a 400 pixels wide grid whose widths, lines left out, add up to Sum: with their
    // lines they are wider than the client, so the framework alone shows the bar.
    struct Case {
        const char* name;
        bool proportional;
        TScrollBarAlways always;
        TScrollStyle bars;
        int sum;
        bool shown;
    };
    const Case cases[] = {
        {"only the lines overflow", true, saNone, ssBoth, 398, false},
        {"the widths fill the grid", true, saNone, ssBoth, 400, true},
        {"the kept bar", true, saHorz, ssBoth, 398, true},
        {"plain thumbs", false, saNone, ssBoth, 398, true},
        {"no horizontal bar asked for", true, saNone, ssVertical, 420, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridOnForm<PaintCountGrid> f(400, 250, false);
        PaintCountGrid* g = f.g;
        g->SetColCount(5);
        g->SetRowCount(40);
        for (int col = 0; col < 4; ++col) g->SetColWidths(col, 80);
        g->SetColWidths(4, c.sum - 320);
        g->SetScrollBars(c.bars);
        g->SetScrollBarAlways(c.always);
        f.form.Show();
        g->SetScrollProportional(c.proportional);
        g->Invalidate();
        Application->ProcessMessages();
        EXPECT_EQ(Bar(g, SB_HORZ).Shown, c.shown);
        EXPECT_EQ(g->ClientHeight() == g->Height() - 4, !c.shown);
        // The thumbs set at each paint do not bring a hidden bar back, nor make the grid paint on and on.
        g->paints = 0;
        for (int i = 0; i < 20; ++i) Application->ProcessMessages();
        EXPECT_LE(g->paints, 1);
        EXPECT_EQ(Bar(g, SB_HORZ).Shown, c.shown);
    }
    // The same for rows that do not fit a grid without a vertical bar.
    GridOnForm<PaintCountGrid> f(400, 250, false);
    PaintCountGrid* g = f.g;
    g->SetRowCount(40);
    g->SetScrollBars(ssHorizontal);
    f.form.Show();
    g->SetScrollProportional(true);
    Application->ProcessMessages();
    g->paints = 0;
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    EXPECT_LE(g->paints, 1);
    EXPECT_FALSE(Bar(g, SB_VERT).Shown);
}
