// The grid's wheel, middle-button panning and zoom, the hints of thumb
// tracking, and the slim scroll bars of the metro look.
#include "grid/ExGrid.h"
#include "grid/ExGridEditors.h"
#include "grid/ExRichEdit.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int PanTimerId = 999;
constexpr int PanTimerPeriod = 10;
// The mouse rests within this many pixels of the pan anchor.
constexpr int PanDeadZone = 5;
// The pan mark's size.
constexpr int PanMarkSize = 26;
constexpr int ZoomLimit = 10;
// The thumb positions of the window's bars run 0 .. ThumbRange.
constexpr int ThumbRange = 127;
constexpr int ScrollHintMaxWidth = 100;
constexpr int ScrollHintOffset = 10;
constexpr int MetroBarSize = 6;
constexpr int MetroMinThumb = 20;

}  // namespace

// ---------------------------------------------------------------------------
// Notifications of the children

bool TExStringGrid::ChildCommand(TMessage& Message) {
    TWinControl* child = FindControl(HWND(Message.LParam));
    if (!child || child == this) return false;
    const Word code = Word(Message.WParam >> 16);
    if (code == EN_CHANGE) {
        Message.Result = child->Perform(CN_COMMAND, Message.WParam, Message.LParam);
        if (FShowEditProcess) ShowEditProcessOf(child);
        return true;
    }
    EditLinkComboNotify(Message);
    Message.Result = child->Perform(CN_COMMAND, Message.WParam, Message.LParam);
    // Whichever combo was typed into, the grid's combo text is told as well.
    if (code == CBN_EDITCHANGE && OnComboChange && !IsDestroying())
        OnComboChange(this, Col(), Row(), -1, FEditCombo ? FEditCombo->Text() : String());
    return true;
}

void TExStringGrid::ShowEditProcessOf(TWinControl* Child) {
    // An editor still being opened and filled is not typed into.
    if (!FEditMode || !Child->Visible()) return;
    String text;
    switch (FEditControl) {
        case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit:
            if (Child != FEditSpin) return;
            text = FEditSpin->Text();
            break;
        case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: case edMaskEditBtn:
            if (Child != FEditBtn) return;
            text = FEditBtn->Text();
            break;
        default: return;
    }
    Child->Perform(WM_SETREDRAW, 0, 0);
    SetEditorValue(RealColIndex(Col()), Row(), text);
    Child->Perform(WM_SETREDRAW, 1, 0);
}

void TExStringGrid::CancelEnhancedMove() {
    const TGridState state = GridState();
    if ((state != gsColMoving && state != gsRowMoving) || !FEnhRowColMove || Screen->Cursor() != crDrag) return;
    Screen->SetCursor(crDefault);
    if (FMoveButton) {
        FMoveButton->SetEnabled(false);
        FMoveButton->SetVisible(false);
    }
}

// ---------------------------------------------------------------------------
// Focus

void TExStringGrid::FocusGained(HWND Previous) {
    const int c = Col(), r = Row();
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount() || HasCheckBox(RealColIndex(c), r)) return;
    if (FInplaceRichEdit && FInplaceRichEdit->Visible()) HideInplaceEdit();
    const TGridState state = GridState();
    const bool inView = r >= TopRow() && r < TopRow() + VisibleRowCount() && c >= LeftCol() &&
                        c < LeftCol() + VisibleColCount();
    if (FNavigation.AlwaysEdit() && state != gsColMoving && state != gsRowMoving && inView) {
        bool canEdit = true;
        CellEditable(RealColIndex(c), r, canEdit);
        if (canEdit) {
            if (TExInplaceEdit* editor = NormalEdit()) {
                if (FindControl(Previous) != editor && FEditControl == edNormal) {
                    ShowInplaceEdit();
                    return;
                }
            } else if (!FMouseActions.DirectEdit() && !FControlLook.DropDownAlwaysVisible && DoHasComboBox(c, r)) {
                ShowInplaceEdit();
                return;
            }
        }
    }
    if (IsMergedCell(c, r)) RepaintCell(c, r);
}

// ---------------------------------------------------------------------------
// Wheel and zoom

bool TExStringGrid::PanAndWheelMessage(TMessage& Message) {
    const Cardinal m = Message.Msg;
    // Panning ends at any press or key and starts with the middle button;
    // the message goes on either way. Wheel notches wait while it runs.
    if (wheelpan) {
        if (m == WM_TIMER && Message.WParam == wheeltimer) PanStep();
        else if (m == WM_MBUTTONDOWN || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_KEYDOWN) PanEnd();
        else if (m == wheelmsg) return true;
    } else if (m == WM_MBUTTONDOWN) {
        PanStart({SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
    } else if (wheelmsg != 0 && m == wheelmsg) {
        return WheelNotch(Message);
    }
    return false;
}

// The framework sets plain thumbs whenever the view changes; proportional
// ones are put back after each paint, resize, release and show.
void TExStringGrid::FollowThumbs(Cardinal Msg) {
    if (ComponentState().Contains(csDesigning)) return;
    const bool paint = Msg == WM_PAINT && FScrollProportional && FUpdateCount == 0;
    if (!paint && Msg != WM_SIZE && Msg != WM_LBUTTONUP && Msg != CM_SHOWINGCHANGED) return;
    UpdateVScrollProportional();
    UpdateHScrollProportional();
}

int TExStringGrid::WheelScrollRows() {
    Cardinal lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines);
    if (lines == WHEEL_PAGESCROLL) return VisibleRowCount();
    return int(lines);
}

void TExStringGrid::Zoom(int Delta) {
    const int factor = FZoomFactor + Delta;
    if (factor < -ZoomLimit || factor > ZoomLimit) return;
    FScrollLock = true;
    FZoomFactor = factor;
    for (int c = 0; c < ColCount(); ++c)
        if (int w = ColWidths(c); w > 0 && w + Delta > 0) SetColWidths(c, w + Delta);
    for (int r = 0; r < RowCount(); ++r)
        if (int h = RowHeights(r); h > 0 && h + Delta > 0) SetRowHeights(r, h + Delta);
    FScrollLock = false;
    if (ScrollProportional()) {
        UpdateVScrollProportional();
        UpdateHScrollProportional();
    }
}

// One notch of the wheel, before the framework sees it; false hands it on.
bool TExStringGrid::WheelNotch(TMessage& Message) {
    TWMMouseWheel wheel(Message);
    // A parent that takes the notch leaves it to the framework's handling.
    if (Parent() && Parent()->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0) return false;
    const int delta = wheel.WheelDelta();
    const TShiftState shift = KeysToShiftState(wheel.Keys());
    // The desktop's setting may have changed since the window was made.
    wheelscrl = WheelScrollRows();
    const int rows = wheelscrl;
    if (shift.Contains(ssCtrl) && FIntelliZoom) {
        Zoom(delta < 0 ? rows : -rows);
        AutoSizeCells(true, 4, 4);
        return true;
    }
    if (!FEnableWheel || (FFixedRowAlways && RowCount() == 1)) return true;

    int n = FMouseActions.WheelIncrement();
    if (n < 1) n = rows;
    const TGridRect selBefore = Selection();
    int moved = 0;
    const int firstRow = TCustomGrid::FixedRows();
    if (FMouseActions.WheelAction() == waScroll) {
        const int top = TopRow();
        if (delta < 0) {
            const int last = std::max(firstRow, RowCount() - VisibleRowCount());
            if (top < last) SetTopRow(std::min(top + n, last));
        } else {
            SetTopRow(std::max(firstRow, top - n));
        }
        moved = TopRow() - top;
    } else {
        const int lastRow = RowCount() - FFixedFooters - 1;
        const int target = std::clamp(delta < 0 ? Row() + n : Row() - n, firstRow, std::max(firstRow, lastRow));
        const int firstCol = TCustomGrid::FixedCols();
        if (Col() < firstCol || Col() >= ColCount())
            SetCol(std::clamp(Col(), std::min(firstCol, ColCount() - 1), ColCount() - 1));
        if (target >= 0 && target < RowCount()) {
            StartUpdate();
            const int left = LeftCol();
            if (FMouseActions.DisjunctRowSelect()) ClearRowSelect();
            moved = target - Row();
            SetRow(target);
            // A cell that refuses the move: try half the way, one row more in view.
            if (Row() != target && moved != 0) {
                SetRow(Row() + int(std::lround(moved / 2.0)));
                if (TopRow() > firstRow) SetTopRow(TopRow() - 1);
            }
            if (Options().Contains(goRowSelect) && FNavigation.KeepHorizScroll()) SetLeftCol(left);
            ResetUpdate();
            Invalidate();
        }
    }
    bool handled = true;
    WndProcHook(moved, handled);
    if ((FMouseActions.WheelIncrement() != 0 || FMouseActions.DisjunctRowSelect()) && handled) {
        Message.Result = 1;
        const TPoint at{wheel.XPos(), wheel.YPos()};
        // The keys held matter only to a grid that selects rows one by one.
        const TShiftState keys = FMouseActions.DisjunctRowSelect() ? shift : TShiftState{};
        bool h = false;
        if (delta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, keys, at, h);
        if (delta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, keys, at, h);
    }
    if (!(Selection() == selBefore)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    if (SearchFooter().Visible() && TopRow() >= RowCount() - VisibleRowCount()) ScrollAboveSearchFooter();
    return true;
}

// The framework's own wheel path: reached when a parent took the notch.
bool TExStringGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (FMouseActions.WheelAction() == waScroll || !FEnableWheel) {
        bool handled = false;
        if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
        return handled;
    }
    return FrameworkWheel(true, Shift, MousePos);
}

bool TExStringGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (FMouseActions.WheelAction() == waScroll || !FEnableWheel) {
        bool handled = false;
        if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
        return handled;
    }
    if (Row() >= RowCount() || Col() >= ColCount()) return true;
    return FrameworkWheel(false, Shift, MousePos);
}

// The base grid moves the row; the editor must not open on the way, and a
// row-selecting grid that keeps its horizontal place keeps it.
bool TExStringGrid::FrameworkWheel(bool Down, TShiftState Shift, TPoint MousePos) {
    const bool direct = FMouseActions.DirectEdit();
    FMouseActions.SetDirectEdit(false);
    const bool keepLeft = Options().Contains(goRowSelect) && FNavigation.KeepHorizScroll();
    const bool editing = EditorMode();
    const int left = LeftCol();
    bool r = false;
    if (keepLeft) StartUpdate();
    try {
        r = Down ? TBaseGrid::DoMouseWheelDown(Shift, MousePos) : TBaseGrid::DoMouseWheelUp(Shift, MousePos);
        if (keepLeft) SetLeftCol(left);
    } catch (...) {
        if (keepLeft) ResetUpdate();
        FMouseActions.SetDirectEdit(direct);
        throw;
    }
    if (keepLeft) ResetUpdate();
    FMouseActions.SetDirectEdit(direct);
    if (!keepLeft && editing && CanFocus()) SetFocus();
    return r;
}

// ---------------------------------------------------------------------------
// Panning with the middle button

void TExStringGrid::PanStart(TPoint At) {
    if (FIntelliPan == ipNone || wheelmsg == 0 || RowCount() <= TCustomGrid::FixedRows()) return;
    prevcurs = Cursor();
    SetOwnCursor(crGridPan);
    wheelpan = true;
    wheeltimer = SetTimer(Handle(), PanTimerId, PanTimerPeriod);
    wheelpanpos = At;
    SetMouseCapture(true);
    FPrevShowHint = Application->ShowHint();
    Application->SetShowHint(false);
    InvalidatePanMark();
}

void TExStringGrid::PanEnd() {
    SetMouseCapture(false);
    if (HandleAllocated() && wheeltimer != 0) KillTimer(Handle(), wheeltimer);
    wheeltimer = 0;
    SetOwnCursor(prevcurs);
    Application->SetShowHint(FPrevShowHint);
    wheelpan = false;
    InvalidatePanMark();
}

void TExStringGrid::PanStep() {
    const TPoint p = ScreenToClient(GetCursorPos());
    const TPoint a = wheelpanpos;
    const int dy = FIntelliPan == ipHorizontal ? 0 : p.Y < a.Y - PanDeadZone ? -1 : p.Y > a.Y + PanDeadZone ? 1 : 0;
    const int dx = FIntelliPan == ipVertical ? 0 : p.X < a.X - PanDeadZone ? -1 : p.X > a.X + PanDeadZone ? 1 : 0;
    // The cursor points the way the view goes.
    static constexpr TCursor Cursors[3][3] = {{crGridPan + 6, crGridPan + 4, crGridPan + 5},
                                              {crGridPan + 2, crGridPan, crGridPan + 3},
                                              {crGridPan + 8, crGridPan + 1, crGridPan + 7}};
    SetOwnCursor(Cursors[dy + 1][dx + 1]);
    if (dx == 0 && dy == 0) return;

    const int firstRow = TCustomGrid::FixedRows(), lastRow = RowCount() - FFixedFooters - 1;
    const int firstCol = TCustomGrid::FixedCols(), lastCol = ColCount() - FFixedRightCols - 1;
    if (lastRow < firstRow || lastCol < firstCol) return;
    const TGridRect selBefore = Selection();
    if (Row() < firstRow || Row() > lastRow || Col() < firstCol || Col() > lastCol)
        MoveColRow(std::clamp(Col(), firstCol, lastCol), std::clamp(Row(), firstRow, lastRow), true, true);
    InvalidatePanMark();
    if (FMouseActions.WheelAction() == waScroll) {
        SetLeftCol(std::clamp(LeftCol() + dx, firstCol, std::max(firstCol, ColCount() - VisibleColCount())));
        SetTopRow(std::clamp(TopRow() + dy, firstRow, std::max(firstRow, RowCount() - VisibleRowCount())));
    } else {
        MoveColRow(std::clamp(Col() + dx, firstCol, lastCol), std::clamp(Row() + dy, firstRow, lastRow), true, true);
    }
    InvalidatePanMark();
    if (!(Selection() == selBefore)) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExStringGrid::InvalidatePanMark() {
    // The mark is drawn with the grid's paint; any repaint of it will do.
    if (HandleAllocated()) Invalidate();
}

// A round mark at the anchor with an arrow head for each direction the pan takes.
void TExStringGrid::DrawPanMark() {
    if (!wheelpan) return;
    TCanvas& c = Canvas();
    const int x = wheelpanpos.X - PanMarkSize / 2, y = wheelpanpos.Y - PanMarkSize / 2;
    c.Pen().SetColor(clBlack);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clWhite);
    c.Ellipse(x, y, x + PanMarkSize, y + PanMarkSize);
    c.Brush().SetColor(clBlack);
    const int cx = wheelpanpos.X, cy = wheelpanpos.Y;
    if (FIntelliPan != ipHorizontal) {
        c.Polygon({TPoint{cx, y + 3}, TPoint{cx - 4, y + 8}, TPoint{cx + 4, y + 8}});
        c.Polygon({TPoint{cx, y + PanMarkSize - 4}, TPoint{cx - 4, y + PanMarkSize - 9},
                   TPoint{cx + 4, y + PanMarkSize - 9}});
    }
    if (FIntelliPan != ipVertical) {
        c.Polygon({TPoint{x + 3, cy}, TPoint{x + 8, cy - 4}, TPoint{x + 8, cy + 4}});
        c.Polygon({TPoint{x + PanMarkSize - 4, cy}, TPoint{x + PanMarkSize - 9, cy - 4},
                   TPoint{x + PanMarkSize - 9, cy + 4}});
    }
    c.Rectangle(cx - 1, cy - 1, cx + 2, cy + 2);
}

// ---------------------------------------------------------------------------
// Thumb tracking hints

void TExStringGrid::ShowScrollHint(bool Horizontal, int Pos) {
    int index = 0;
    String text;
    if (Horizontal) {
        index = MulDiv(Pos, ColCount() - VisibleColCount() - TCustomGrid::FixedCols(), ThumbRange) +
                TCustomGrid::FixedCols();
        text = u"Col : " + IntToStr(index);
    } else {
        index = MulDiv(Pos, RowCount() - VisibleRowCount() - TCustomGrid::FixedRows(), ThumbRange) +
                TCustomGrid::FixedRows();
        text = u"Row : " + IntToStr(index);
    }
    if (OnScrollHint) OnScrollHint(this, index, text);
    if (!FScrollHintWnd) FScrollHintWnd = new THTMLHintWindow(this);
    TRect r = FScrollHintWnd->CalcHintRect(ScrollHintMaxWidth, text, this);
    const TPoint m = GetCursorPos();
    OffsetRect(r, m.X + ScrollHintOffset, m.Y);
    FScrollHintWnd->SetColor(FHintColor);
    FScrollHintWnd->ActivateHint(r, text);
    FScrollHintShow = true;
}

void TExStringGrid::HideScrollHint() {
    if (FScrollHintWnd) FScrollHintWnd->ReleaseHandle();
    FScrollHintShow = false;
}

void TExStringGrid::WMHScroll(TWMScroll& Message) {
    const Word code = Message.ScrollCode();
    if (FScrollHints == shHorizontal || FScrollHints == shBoth) {
        if (code == SB_ENDSCROLL) HideScrollHint();
        else if (code == SB_THUMBTRACK) ShowScrollHint(true, Message.Pos());
    }
    const int col = MulDiv(Message.Pos(), ColCount() - VisibleColCount() - TCustomGrid::FixedCols(), ThumbRange) +
                    TCustomGrid::FixedCols();
    if (code == SB_THUMBTRACK && FScrollSynch) SetLeftCol(col);
    // Without fixed columns the editor may be scrolled under the view's left edge.
    if (TCustomGrid::FixedCols() == 0 && col >= Col() && EditorMode()) HideInplaceEdit();
    TBaseGrid::WMHScroll(Message);
    if (code == SB_ENDSCROLL && ColCount() == 1) Invalidate();
    SyncFlatHScroll();
    SyncFlatVScroll();
    HideCheckBoxEditor();
}

void TExStringGrid::WMVScroll(TWMScroll& Message) {
    if (IsDesigning()) {
        TBaseGrid::WMVScroll(Message);
        return;
    }
    if (CellScrollBarScrolled(Message)) return;
    const Word code = Message.ScrollCode();
    if (FScrollHints == shVertical || FScrollHints == shBoth) {
        if (code == SB_ENDSCROLL) HideScrollHint();
        else if (code == SB_THUMBTRACK) ShowScrollHint(false, Message.Pos());
    }
    if (code == SB_THUMBTRACK && FScrollSynch)
        SetTopRow(MulDiv(Message.Pos(), RowCount() - VisibleRowCount() - TCustomGrid::FixedRows(), ThumbRange) +
                  TCustomGrid::FixedRows());
    // A shown search footer covers the grid's bottom: the view goes on past its
    // usual end until the last row is clear of it, and no further.
    const bool footer = ToolsReady() && SearchFooter().Visible();
    const bool onward = code == SB_LINEDOWN || code == SB_ENDSCROLL;
    if (footer && onward && LastRowClearOfSearchFooter()) {
        Message.Result = 1;
        return;
    }
    TBaseGrid::WMVScroll(Message);
    if (footer && TopRow() == RowCount() - VisibleRowCount()) {
        // The usual end leaves the last row under the footer.
        if (code == SB_LINEUP && TopRow() > TCustomGrid::FixedRows()) SetTopRow(TopRow() - 1);
        else if (onward) ScrollAboveSearchFooter();
    }
    SyncFlatVScroll();
    SyncFlatHScroll();
    HideCheckBoxEditor();
}

// An editor over a check-box cell does not follow the scrolled cell.
void TExStringGrid::HideCheckBoxEditor() {
    if (HasCheckBox(RealColIndex(Col()), Row()) && EditorMode()) HideInplaceEdit();
}

// ---------------------------------------------------------------------------
// Metro bars

// ---------------------------------------------------------------------------
// Flat scroll bars: the common controls' flat bars, looked up by name; a
// missing entry point makes the call do nothing.

namespace {
bool FlatEntry(const char16_t* Name) { return ModuleExports(u"comctl32.dll", Name); }
}  // namespace

bool TExStringGrid::ScrollBarsAllow(int Bar) const {
    const TScrollStyle s = ScrollBars();
    if (Bar == SB_BOTH) return true;
    if (Bar == SB_HORZ) return s == ssHorizontal || s == ssBoth;
    return s == ssVertical || s == ssBoth;
}

void TExStringGrid::InitFlatScrollBars() {
    FIsFlat = HandleAllocated() && FlatEntry(u"InitializeFlatSB");
    if (FIsFlat) InitializeFlatSB(Handle());
}

void TExStringGrid::DoneFlatScrollBars() {
    FIsFlat = false;
    if (HandleAllocated() && FlatEntry(u"UninitializeFlatSB")) UninitializeFlatSB(Handle());
}

void TExStringGrid::FlatSetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw) {
    if (HandleAllocated() && FlatEntry(u"FlatSB_SetScrollInfo")) FlatSB_SetScrollInfo(Handle(), Bar, Info, Redraw);
}

void TExStringGrid::FlatSetScrollProp(Cardinal Index, std::intptr_t Value, bool Redraw) {
    if (FIsFlat && FlatEntry(u"FlatSB_SetScrollProp")) FlatSB_SetScrollProp(Handle(), Index, Value, Redraw);
}

void TExStringGrid::FlatShowScrollBar(int Bar, bool Show) {
    if (!FIsFlat || !ScrollBarsAllow(Bar) || !FlatEntry(u"FlatSB_ShowScrollBar")) return;
    // A bar kept by ScrollBarAlways stays.
    if (!Show && Bar != SB_BOTH && ScrollBarKept(Bar)) return;
    FlatSB_ShowScrollBar(Handle(), Bar, Show);
}

void TExStringGrid::SyncFlatScroll(int Bar) {
    if (!FIsFlat || !ScrollBarsAllow(Bar)) return;
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(Handle(), Bar, info)) FlatSetScrollInfo(Bar, info, true);
}

void TExStringGrid::ApplyScrollType() {
    if (FScrollType == ssMetro) return;
    const int style = FScrollType == ssFlat ? FSB_FLAT_MODE : FScrollType == ssEncarta ? FSB_ENCARTA_MODE : FSB_REGULAR_MODE;
    FlatSetScrollProp(WSB_PROP_VSTYLE, style, true);
    FlatSetScrollProp(WSB_PROP_HSTYLE, style, true);
}

void TExStringGrid::ApplyScrollColor() {
    if (FScrollColor == clNone) return;
    FlatSetScrollProp(WSB_PROP_VBKGCOLOR, std::intptr_t(FScrollColor), true);
    FlatSetScrollProp(WSB_PROP_HBKGCOLOR, std::intptr_t(FScrollColor), true);
}

void TExStringGrid::ApplyScrollWidth() {
    FlatSetScrollProp(WSB_PROP_CXVSCROLL, FScrollWidth, true);
    FlatSetScrollProp(WSB_PROP_CYHSCROLL, FScrollWidth, true);
}

void TExStringGrid::UpdateFlatScrollBars() {
    ApplyFlatScrollStyle();
    ApplyFlatScrollColor();
    ApplyFlatScrollWidth();
    const bool rows = VisibleRowCount() + TCustomGrid::FixedRows() < RowCount();
    FlatShowScrollBar(SB_VERT, rows);
    if (rows) SyncFlatVScroll();
    const bool cols = VisibleColCount() + TCustomGrid::FixedCols() < ColCount();
    FlatShowScrollBar(SB_HORZ, cols);
    if (cols) SyncFlatHScroll();
}

// ---------------------------------------------------------------------------
// The scroll look

void TExStringGrid::SetScrollType(TScrollType Value) {
    FScrollType = Value;
    if (Value == ssFlat || Value == ssEncarta) {
        InitFlatScrollBars();
        UpdateFlatScrollBars();
    } else {
        DoneFlatScrollBars();
    }
    if (HandleAllocated()) {
        if (Value == ssMetro) {
            CreateScrollControls();
            SetScrollBars(ssNone);
        } else if (FVScrollCtrl || FHScrollCtrl) {
            delete FVScrollCtrl;
            delete FHScrollCtrl;
            FVScrollCtrl = nullptr;
            FHScrollCtrl = nullptr;
            SetScrollBars(ssBoth);
        }
    }
    ApplyFlatScrollStyle();
}

void TExStringGrid::CreateScrollControls() {
    if (!FVScrollCtrl) {
        FVScrollCtrl = new TScrollControl(this);
        FVScrollCtrl->SetDirection(sdVertical);
        FVScrollCtrl->SetParent(this);
        FVScrollCtrl->SetDoubleBuffered(true);
        FVScrollCtrl->SetWidth(MetroBarSize);
        FVScrollCtrl->SetAlign(alRight);
        FVScrollCtrl->SetVisible(true);
    }
    if (!FHScrollCtrl) {
        FHScrollCtrl = new TScrollControl(this);
        FHScrollCtrl->SetDirection(sdHorizontal);
        FHScrollCtrl->SetParent(this);
        FHScrollCtrl->SetDoubleBuffered(true);
        FHScrollCtrl->SetHeight(MetroBarSize);
        FHScrollCtrl->SetAlign(alBottom);
        FHScrollCtrl->SetVisible(true);
    }
}

void TExStringGrid::SetScrollColor(TColor Value) {
    if (Value == FScrollColor) return;
    FScrollColor = Value;
    ApplyScrollColor();
    UpdateMetroBars();
}

void TExStringGrid::SetScrollWidth(int Value) {
    FScrollWidth = Value;
    ApplyScrollWidth();
}

void TExStringGrid::UpdateMetroBars() {
    if (FVScrollCtrl) FVScrollCtrl->Invalidate();
    if (FHScrollCtrl) FHScrollCtrl->Invalidate();
}

TScrollControl::TScrollControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
    FColor = TColor(0xC0C0C0);
}

TExStringGrid* TScrollControl::Grid() const { return dynamic_cast<TExStringGrid*>(Parent()); }

void TScrollControl::ThumbExtent(int& Start, int& Length) {
    Start = 0;
    Length = 0;
    TExStringGrid* g = Grid();
    if (!g) return;
    const bool vert = FDirection == sdVertical;
    const int count = vert ? g->RowCount() : g->ColCount();
    const int fixedCount = vert ? g->TCustomGrid::FixedRows() : g->TCustomGrid::FixedCols();
    const int visible = vert ? g->VisibleRowCount() : g->VisibleColCount();
    const int first = vert ? g->TopRow() : g->LeftCol();
    if (visible + fixedCount >= count || count <= fixedCount) return;
    auto extent = [&](int i) { return vert ? g->RowHeights(i) : g->ColWidths(i); };
    int fixed = 0;
    for (int i = 0; i < fixedCount; ++i) fixed += extent(i);
    int footers = 0;
    for (int i = std::max(0, count - g->FixedFooters()); i < count; ++i) footers += extent(i);
    const int size = vert ? Height() : Width();
    const int track = size - fixed - footers;
    const double share = double(visible) / count;
    const double place = double(first - fixedCount) / (count - fixedCount);
    Length = std::max(MetroMinThumb, int(std::lround(track * share)));
    Start = fixed + int(std::lround(track * place));
    if (Start + Length > size) Start = size - Length;
}

void TScrollControl::Paint() {
    TExStringGrid* g = Grid();
    if (!g) return;
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    // Without a colour of its own the bar lets the grid's cells show through.
    if (g->ScrollColor() == clNone) {
        DrawParentBackground(this, c);
    } else {
        c.Brush().SetColor(g->ScrollColor());
        c.FillRect(ClientRect());
    }
    int start = 0, length = 0;
    ThumbExtent(start, length);
    if (length == 0) return;
    c.Pen().SetColor(Color());
    c.Brush().SetColor(Color());
    if (FDirection == sdVertical) c.Rectangle(0, start, FScrollWidth, start + length);
    else c.Rectangle(start, 0, start + length, FScrollWidth);
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    TExStringGrid* g = Grid();
    if (!g || Button != mbLeft) return;
    const bool vert = FDirection == sdVertical;
    const int pos = vert ? Y : X;
    const int fixedCount = vert ? g->TCustomGrid::FixedRows() : g->TCustomGrid::FixedCols();
    const int count = vert ? g->RowCount() : g->ColCount();
    const int visible = vert ? g->VisibleRowCount() : g->VisibleColCount();
    const int first = vert ? g->TopRow() : g->LeftCol();
    int start = 0, length = 0;
    ThumbExtent(start, length);
    if (length == 0) return;
    int next = first;
    if (pos < start) next = std::max(fixedCount, first - visible);
    else if (pos > start + length) next = std::min(first + visible, count - visible);
    else {
        FDownOnScroller = true;
        FDownPos = pos;
        FDownRow = first;
        return;
    }
    if (vert) g->SetTopRow(next);
    else g->SetLeftCol(next);
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    TExStringGrid* g = Grid();
    if (!g || !FDownOnScroller) return;
    const bool vert = FDirection == sdVertical;
    const int count = vert ? g->RowCount() : g->ColCount();
    const int fixedCount = vert ? g->TCustomGrid::FixedRows() : g->TCustomGrid::FixedCols();
    const int visible = vert ? g->VisibleRowCount() : g->VisibleColCount();
    const int span = (vert ? Height() - g->RowHeights(0) : Width() - g->ColWidths(0));
    if (span <= 0) return;
    const int moved = int(std::lround(double((vert ? Y : X) - FDownPos) / span * count));
    const int next = std::max(fixedCount, std::min(moved + FDownRow, count - visible));
    if (vert) g->SetTopRow(next);
    else g->SetLeftCol(next);
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FDownOnScroller = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}
