// The grid control's lifecycle, dimensions and repaint lock.
#include "grid/ExGrid.h"

#include "framework/Styles.h"

#include "grid/foundation/GridText.h"

#include "framework/Streams.h"
#include "framework/DataTransfer.h"
#include "framework/DateUtils.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <exception>
#include <functional>

namespace {

constexpr int GridTimerId = 111;
constexpr int GridTimerPeriod = 500;
// Ticks of that timer after which an incremental lookup starts again.
constexpr int IncrementalLookupTicks = 4;
constexpr int VersionStringGrid = (6 << 24) | (2 << 16) | (1 << 8) | 3;
// A fixed column width the framework's default leaves alone.
constexpr int FrameworkDefaultColWidth = 64;

struct TGridUnit {
    Cardinal EditDone = 0;
    Cardinal DTPShiftFocus = 0;
    CLIPFORMAT CellsFormat = 0;
    bool ComCtl470 = false;
};

// Once per run: the registered message and clipboard names.
TGridUnit& GridUnit() {
    static TGridUnit unit = [] {
        TGridUnit u;
        u.CellsFormat = RegisterClipboardFormat(u"TExStringGrid Cells");
        u.EditDone = RegisterWindowMessage(u"GridEditDone");
        u.DTPShiftFocus = RegisterWindowMessage(u"DTPShiftFocus");
        // The platform's common controls are version 6.
        u.ComCtl470 = true;
        GridOleInitialize();
        return u;
    }();
    return unit;
}

}  // namespace

Cardinal WM_GRIDEDITDONE() { return GridUnit().EditDone; }
Cardinal WM_DTPSHIFTFOCUS() { return GridUnit().DTPShiftFocus; }
CLIPFORMAT GridCellsClipboardFormat() { return GridUnit().CellsFormat; }
bool ComCtl470() { return GridUnit().ComCtl470; }

String TExStringGridCheck::Correct(TExStringGrid*, int, int, const String& Value) { return Value; }
String TExStringGridCheck::MarkError(TExStringGrid*, int, int, const String& Value) { return Value; }

// ---------------------------------------------------------------------------
// Lifecycle

TExStringGrid::TExStringGrid(TComponent* AOwner) : TBaseGrid(AOwner) {
    FEditCombo = new TGridCombo(this);
    FScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    FScrollHintWnd = new THTMLHintWindow(this);
    CreateFurtherEditors();
    CreateCellScrollBars();
    GridUnit();
    FDragDropSettings.Grid = this;
    UseGridCursors();
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    FColumnHeaders.OnChange = [this](TObject*) {
        ColumnHeadersChanged();
        ShowColumnHeaders();
    };
    FRowHeaders.OnChange = [this](TObject*) { ShowRowHeaders(); };
    FBands.OnChange = [this](TObject*) { InvalidateGrid(); };
    FShowModified.OnChange = [this](TObject*) {
        if (ColCount() > 0) InvalidateCol(0);
    };
    SetRowCount(10);
    SetWidth(400);
    SetHeight(250);
    FFixedFont.SetName(u"Tahoma");
    FFixedFont.SetStyle({fsBold});
    FActiveCellFont.SetStyle({fsBold});
    FControlLook.Grid = this;
    FGPKGradientTo = ColorToRGB(clBtnFace);
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner); form && !ComponentState().Contains(csDesigning)) {
        FOwnerForm = form;
        FOldFormResize = form->OnResize;
        form->OnResize = [this](TObject* Sender) { FormResized(Sender); };
        FFormWidth = form->Width();
        FFormHeight = form->Height();
    }
    FVisibleCol.assign(513, true);
    FAllColWidths.assign(513, 0);
    SetDefaultRowHeight(22);
    SetFixedRowHeight(DefaultRowHeight());
    FLook = glXP;
    FBorderColor = TColor(0xB99D7F);
    FMaxRowCount = RowCount();
    FMaxColCount = ColCount();
    FDataTools = std::make_unique<TExGridTools>(*this);
    FTools = static_cast<TExGridTools*>(FDataTools.get());
    FBalloon.OnEnableChange = [this](TObject*) {
        if (IsLoading()) return;
        if (FBalloon.Enable()) FDataTools->BalloonInit();
        else FDataTools->BalloonDone();
    };
}

TExStringGrid::~TExStringGrid() {
    // A store that cannot be written must not stop the grid from going.
    if (FColumnSize.Save()) {
        try {
            FDataTools->SaveColSizes();
        } catch (const Exception&) {
        }
    }
    // Panning switched the program's hints off.
    if (wheelpan) Application->SetShowHint(FPrevShowHint);
    StopDragScroll();  // the parent owns the timer, which must not call a freed grid
    if (FOwnerForm && !FOwnerForm->ComponentState().Contains(csDestroying)) FOwnerForm->OnResize = FOldFormResize;
    if (FAutoThemeAdapt && HandleAllocated() && !ComponentState().Contains(csDesigning)) ThemeNotifierRegister(false);
    FreeAllCellProps();
}

// The form's own handler runs after the grid followed the form; the stretched
// column then fits whatever the handler left, and the handler's exception
// reaches the application only after that, so a failing handler never leaves
// the columns unfitted.
void TExStringGrid::FormResized(TObject* Sender) {
    if (IsDestroying()) return;
    if (FSizeWithForm && FOwnerForm && Sender == FOwnerForm) {
        int w = Width() + FOwnerForm->Width() - FFormWidth;
        int h = Height() + FOwnerForm->Height() - FFormHeight;
        if (w > 0 && h > 0) {
            SetBounds(Left(), Top(), w, h);
            FFormWidth = FOwnerForm->Width();
            FFormHeight = FOwnerForm->Height();
        }
    }
    std::exception_ptr failure;
    if (FOldFormResize) {
        try {
            FOldFormResize(Sender);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    StretchAfterChange();
    if (failure) std::rethrow_exception(failure);
}

void TExStringGrid::Loaded() {
    TBaseGrid::Loaded();
    ShowColumnHeaders();
    ShowRowHeaders();
    FFixedRowsMin = FixedRows();
    FFixedColsMin = FixedCols();
    FMinRowHeight = DefaultRowHeight();
    FMinColWidth = 10;
    FMaxRowCount = RowCount();
    FLoaded = true;
    ApplyStyleColors();
    InitOrigColSizes();
    FTools->UpdateSearchPanel();
    FTools->DropTargetLoaded();
    if (FColumnSize.Save()) FDataTools->LoadColSizes();
    if (FBalloon.Enable()) FDataTools->BalloonInit();
    if (Options().Contains(goAlwaysShowEditor)) {
        FNavigation.SetAlwaysEdit(true);
        SetOptions(Options() - TGridOptions{goAlwaysShowEditor});
    }
    ApplyScrollBarAlways(false);
    if (FAutoThemeAdapt) ThemeAdapt();
}

void TExStringGrid::CreateWnd() {
    if (IsDestroying()) return;
    TBaseGrid::CreateWnd();
    SetTimer(Handle(), GridTimerId, GridTimerPeriod);
    wheelmsg = WM_MOUSEWHEEL;
    wheelscrl = WheelScrollRows();
    if (FColumnSize.Save()) FDataTools->LoadColSizes();
    if (FScrollType == ssMetro && !IsLoading()) SetScrollType(ssMetro);
    // The flat bars take the look set before the window existed.
    if (FScrollType != ssNormal && !IsLoading()) {
        InitFlatScrollBars();
        ApplyScrollType();
        ApplyScrollWidth();
        ApplyScrollColor();
    }
    if (FAutoThemeAdapt && !ComponentState().Contains(csDesigning)) {
        ThemeAdapt();
        ThemeNotifierRegister(true);
    }
}

void TExStringGrid::WMTimer(TWMTimer& Message) {
    if (int(Message.TimerID()) != GridTimerId) {
        TBaseGrid::WMTimer(Message);
        return;
    }
    ++FTimerTicks;
    // An incremental lookup forgets its text between 1.5 and 2 seconds after the last character.
    if (FNavigation.AutoGotoIncremental() && ++SearchTics >= IncrementalLookupTicks) {
        SearchInc.clear();
        SearchTics = 0;
    }
    // Hover focus: the data cell under the resting mouse becomes current.
    if (FHovering && !ComponentState().Contains(csDesigning) && Showing()) {
        TPoint p = ScreenToClient(GetCursorPos());
        TRect cr = ClientRect();
        if (p.X >= cr.Left && p.X < cr.Right && p.Y >= cr.Top && p.Y < cr.Bottom) {
            TGridCoord c = MouseCoord(p.X, p.Y);
            if (c.X >= TCustomGrid::FixedCols() && c.Y >= TCustomGrid::FixedRows() && c.X < ColCount() &&
                c.Y < RowCount()) {
                SetFocus();
                SetRow(c.Y);
                SetCol(c.X);
            }
        }
    }
    BlinkTick();
}

// Entering the grid applies the current cell's editing option and takes the
// edit snapshot, so that a later validation compares with what was there.
void TExStringGrid::DoEnter() {
    try {
        TBaseGrid::DoEnter();
        if (Options().Contains(goEditing) || FMouseActions.RangeSelectAndEdit()) SelectCell(Col(), Row());
    } catch (...) {
        StoreOldCell(Col(), Row());
        throw;
    }
    StoreOldCell(Col(), Row());
}

void TExStringGrid::Resize() {
    // Columns that follow the control's width keep their share of it.
    if (FColumnSize.SynchWithGrid() && FOldSize > 0) {
        HideInplaceEdit();
        const double r = (BorderStyle() == bsSingle ? Width() + 2 : Width()) / double(FOldSize);
        const bool normal = FColumnSize.SynchNormalCellsOnly();
        const int last = normal ? ColCount() - FFixedRightCols - 1 : ColCount() - 1;
        for (int c = normal ? FixedCols() : 0; c <= last && c < int(FOrigColSizes.size()); ++c)
            SetColWidths(c, int(FOrigColSizes[size_t(c)] * r));
    }
    TBaseGrid::Resize();
    StretchAfterChange();
    ApplyScrollBarAlways(false);
    FollowFlatBars();
    CellControlsUpdate(false);
}

void TExStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FIntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
        bool allColsFit = VisibleColCount() + FixedCols() >= ColCount();
        int s = allColsFit ? 0 : ScrollBarSize;
        int b = BorderStyle() == bsSingle ? 2 : 0;
        int h = AHeight - s - b;
        AHeight = s + 2 * b + h - (h % DefaultRowHeight());
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TExStringGrid::Invalidate() {
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    // One request stands for all until the paint: filling a grid cell by
    // cell asks once per cell.
    const bool showing = Showing();
    if (FInvalidPending && showing) return;
    FInvalidPending = showing;
    TBaseGrid::Invalidate();
}

void TExStringGrid::Assign(const TPersistent* Source) {
    auto* src = dynamic_cast<const TExStringGrid*>(Source);
    if (!src) return;
    auto& s = const_cast<TExStringGrid&>(*src);
    SetFont(s.Font());
    SetActiveRowShow(s.ActiveRowShow());
    FNavigation.Assign(&s.FNavigation);
    FGrouping.Assign(&s.FGrouping);
    FSortSettings.Assign(&s.FSortSettings);
    FDragDropSettings.Assign(&s.FDragDropSettings);
    FDragScrollOptions.Assign(&s.FDragScrollOptions);
    FSyncGrid.Assign(&s.FSyncGrid);
    CellNode().Assign(&const_cast<TExStringGrid&>(s).CellNode());
    FFocusHelper.Assign(&s.FFocusHelper);
    FFilterDropDown.Assign(&s.FFilterDropDown);
    FFilter.Assign(&s.FFilter);
    FMouseActions.Assign(&s.FMouseActions);
    FFixedRowAlways = s.FFixedRowAlways;
    FAutoThemeAdapt = s.FAutoThemeAdapt;
    SetColCount(s.ColCount());
    SetRowCount(s.RowCount());
    SetFixedRows(s.FixedRows());
    SetFixedCols(s.FixedCols());
    SetDefaultColWidth(s.DefaultColWidth());
    SetDefaultRowHeight(s.DefaultRowHeight());
    SetFixedRowHeight(s.FixedRowHeight());
    FInvalidEntryTitle = s.FInvalidEntryTitle;
    FInvalidEntryIcon = s.FInvalidEntryIcon;
    FInvalidEntryText = s.FInvalidEntryText;
    SetOptions(s.Options());
    for (int c = 0; c < ColCount(); ++c) SetColWidths(c, s.ColWidths(c));
    SetColumnHeaders(s.FColumnHeaders);
    for (int r = 0; r < RowCount(); ++r) SetRowHeights(r, s.RowHeights(r));
    FScrollProportional = s.FScrollProportional;
    FScrollSynch = s.FScrollSynch;
    FScrollHints = s.FScrollHints;
    FScrollBarAlways = s.FScrollBarAlways;
    FColumnSize.Assign(s.FColumnSize);
    FActiveCellShow = s.FActiveCellShow;
    FActiveCellColor = s.FActiveCellColor;
    FActiveCellColorTo = s.FActiveCellColorTo;
    FActiveCellFont.Assign(&s.FActiveCellFont);
    FBands.Assign(&s.FBands);
    SetScrollBars(s.ScrollBars());
    SetScrollColor(s.FScrollColor);
    SetScrollType(s.FScrollType);
    SetScrollWidth(s.FScrollWidth);
    AssignCells(Source);
}

void TExStringGrid::AssignCells(const TPersistent* Source) {
    auto* src = dynamic_cast<const TExStringGrid*>(Source);
    if (!src) return;
    auto& s = const_cast<TExStringGrid&>(*src);
    TMemoryStream ms;
    s.Tools().SaveToStream(ms);
    ms.SetPosition(0);
    FTools->LoadFromStream(ms);
}

int TExStringGrid::GetVersionNr() { return VersionStringGrid; }

String TExStringGrid::GetVersionString() { return Version() + u" Sep, 2012"; }

String TExStringGrid::Version() {
    unsigned v = unsigned(GetVersionNr());
    return IntToStr(int(v >> 24)) + u"." + IntToStr(int((v >> 16) & 0xFF)) + u"." + IntToStr(int((v >> 8) & 0xFF)) +
           u"." + IntToStr(int(v & 0xFF));
}

void TExStringGrid::WndProc(TMessage& Message) {
    if (Message.Msg != 0 && Message.Msg == WM_GRIDEDITDONE()) {
        int c = int(Message.WParam), r = int(Message.LParam);
        if (OnEditCellDone) OnEditCellDone(this, c, r);
        if (FMouseActions.EditOnDblClickOnly()) {
            HideInplaceEdit();
            FEditMode = false;
            SetOptions(Options() - TGridOptions{goEditing});
        }
        return;
    }
    if ((Message.Msg == WM_THEMECHANGED || Message.Msg == WM_OFFICETHEMECHANGE) && FAutoThemeAdapt && !IsDestroying())
        ThemeAdapt();
    if (IsDestroying()) {
        TBaseGrid::WndProc(Message);
        return;
    }
    if (Message.Msg == WM_CANCELMODE) CancelEnhancedMove();
    if (Message.Msg == CM_STYLECHANGED) ApplyStyleColors();
    if (PanAndWheelMessage(Message)) return;
    if (Message.Msg == WM_COMMAND && ChildCommand(Message)) return;
    const int row = Row();
    TBaseGrid::WndProc(Message);
    if (IsDestroying()) return;
    if (Message.Msg == WM_SETFOCUS) {
        if (InvokedFocusChange) InvokedFocusChange = false;
        else FocusGained(HWND(Message.WParam));
    }
    FollowThumbs(Message.Msg);
    if (Row() != row) SyncGridFollow(false, true);
}

void TExStringGrid::ApplyStyleColors() {
    FUseFwStyles = false;
    TCustomStyleServices& style = StyleServices();
    if (!style.Enabled() || SameText(style.Name(), u"Windows")) return;
    FUseFwStyles = true;
    const TThemedElementDetails cell = style.GetElementDetails(tgCellNormal);
    const TThemedElementDetails fixed = style.GetElementDetails(tgFixedCellNormal);
    // A colour the style lacks leaves the grid's own rather than painting nothing.
    TColor c = clNone;
    if (style.GetElementColor(cell, ecFillColor, c)) SetColor(c);
    if (style.GetElementColor(cell, ecBorderColor, c)) SetGridLineColor(c);
    if (style.GetElementColor(fixed, ecBorderColor, c)) SetGridFixedLineColor(c);
    SetOptions(Options() - TGridOptions{goFixedVertLine, goFixedHorzLine});
    // Texts only where the style says something.
    if (style.GetElementColor(cell, ecTextColor, c)) Font().SetColor(c);
    if (style.GetElementColor(style.GetElementDetails(tgCellSelected), ecTextColor, c)) SetSelectionTextColor(c);
    if (style.GetElementColor(fixed, ecTextColor, c)) FixedFont().SetColor(c);
}

// ---------------------------------------------------------------------------
// The current column and row

void TExStringGrid::SetColEx(int Value) {
    TCustomGrid::SetCol(Value);
    SyncGridFollow(true, false);
}

void TExStringGrid::SetRowEx(int Value) {
    if (Col() < 0 || Col() >= ColCount()) MoveColRow(TCustomGrid::FixedCols(), Value, true, true);
    TCustomGrid::SetRow(Value);
    if (Row() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, Row());
        FOldRowSel = Row();
    }
    if (FMouseActions.DisjunctRowSelect()) {
        // The rows of the range join the separate row selection; the others keep theirs.
        const TGridRect s = Selection();
        const int bottom = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
        for (int r = std::max(s.Top, 0); r <= bottom; ++r) SetRowSelect(RowSelectIndex(r), true);
        if (NumHiddenRows() > 0) InvalidateGrid();
    }
    SyncGridFollow(false, true);
    if (Value + 1 == RowCount() && SearchFooter().Visible()) ScrollAboveSearchFooter();
}

// ---------------------------------------------------------------------------
// Dimensions and fixed cells

void TExStringGrid::SetRowCount(int Value) {
    const int old = RowCount();
    if (RowCount() == TCustomGrid::FixedRows() && FFixedRowAlways && FSelHidden) UnHideSelection();
    TCustomGrid::SetRowCount(Value);
    if (FFixedRowAlways && FFixedRowsMin < RowCount()) SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, Value);
    FNormalRowCount = Value;
    if (FTools && FTools->FooterPanel()) FTools->FooterPanel()->Invalidate();
    UpdateVScrollProportional();
    ApplyScrollBarAlways(false);
    // The last row stays the floating footer's row.
    if (FFloatingFooter.Visible() && RowCount() != old) {
        MoveFooterRow(old - 1, RowCount() - 1);
        CalcFooter(-1);
    }
}

void TExStringGrid::MoveFooterRow(int FromRow, int ToRow) {
    const int cols = TotalColCount();
    // What the new last row held goes; the footer's cells and their
    // properties (its calculation settings) take its place.
    FreeCellPropsRect(0, ToRow, cols - 1, ToRow);
    for (int c = 0; c < cols; ++c) {
        TObject* o = GetGridObject(c, FromRow);
        if (auto* p = dynamic_cast<TCellProperties*>(o)) p->SetOwnerRow(ToRow);
        SetGridCell(c, ToRow, GetGridCell(c, FromRow));
        SetGridObject(c, ToRow, o);
        SetGridCell(c, FromRow, String());
        SetGridObject(c, FromRow, nullptr);
    }
    InvalidateRow(FromRow);
    InvalidateRow(ToRow);
}

void TExStringGrid::SetColCount(int Value) {
    TCustomGrid::SetColCount(Value);
    if (FFixedColAlways && FFixedColsMin < ColCount()) SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, Value);
    if (int need = ColCount() + FNumHidden + 1; need > int(FVisibleCol.size())) {
        FVisibleCol.resize(need, true);
        FAllColWidths.resize(need, 0);
    }
    SetBounds(Left(), Top(), Width(), Height());
    UpdateVScrollProportional();
    UpdateHScrollProportional();
    ApplyScrollBarAlways(false);
}

int TExStringGrid::FixedRows() const {
    int v = TCustomGrid::FixedRows();
    return v == 0 && FFixedRowAlways ? 1 : v;
}

int TExStringGrid::FixedCols() const {
    int v = TCustomGrid::FixedCols();
    return v == 0 && FFixedColAlways ? 1 : v;
}

void TExStringGrid::SetFixedRows(int Value) {
    if (FFixedRowAlways && Value >= RowCount()) TCustomGrid::SetFixedRows(RowCount() - 1);
    else TCustomGrid::SetFixedRows(Value);
    if (!IsLoading()) FFixedRowsMin = Value;
}

void TExStringGrid::SetFixedCols(int Value) {
    if (FFixedColAlways && Value >= ColCount()) TCustomGrid::SetFixedCols(ColCount() - 1);
    else TCustomGrid::SetFixedCols(Value);
    if (!IsLoading()) FFixedColsMin = Value;
}

void TExStringGrid::SetFixedFooters(int Value) {
    FFixedFooters = Value;
    InvalidateGrid();
}

void TExStringGrid::SetFixedRightCols(int Value) {
    FFixedRightCols = Value;
    InvalidateGrid();
}

void TExStringGrid::SetDefaultRowHeight(int Value) {
    TCustomGrid::SetDefaultRowHeight(Value);
    if (ComponentState().Contains(csDesigning)) FFixedRowHeight = Value;
    FFloatingFooter.SetHeight(Value);
}

// ---------------------------------------------------------------------------
// Data tools

void TExStringGrid::SetDataTools(std::unique_ptr<TGridDataTools> Value) {
    if (FDataTools.get() == FTools) FToolsAside = std::move(FDataTools);
    FDataTools = Value ? std::move(Value) : std::move(FToolsAside);
}

void TExStringGrid::SetFilterActive(bool Value) {
    if (Value == FFilterActive) return;
    FFilterActive = Value;
    if (Value) {
        if (Row() >= RowCount() || Col() >= ColCount()) FocusCell(FixedCols(), FixedRows(), true);
        BeginUpdate();
        try {
            FDataTools->ApplyFilter();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        FSelHidden = false;
    } else {
        FDataTools->RemoveFilter();
        UnHideSelection();
    }
    SetTopRowEx(FixedRows());
    CalcFooter(-1);
}

void TExStringGrid::RemoveAllNodes() {
    if (FHasNodeRows) FDataTools->RemoveAllNodes();
}

void TExStringGrid::InitOrigColSizes() {
    FOrigColSizes.resize(size_t(ColCount()));
    for (int c = 0; c < ColCount(); ++c) FOrigColSizes[size_t(c)] = ColWidths(c);
    FOldSize = Width();
}

int TExStringGrid::MaxRowLines(int ARow) {
    if (!FTools->Multilinecells) return 1;
    int most = 1;
    for (int c = 0; c < ColCount(); ++c) most = std::max(most, CountTextLines(GetCellEx(RealColIndex(c), ARow), true));
    return most;
}

void TExStringGrid::SetFixedRowHeight(int Value) {
    FFixedRowHeight = Value;
    if (IsLoading()) return;
    if (Value == DefaultRowHeight()) TCustomGrid::SetDefaultRowHeight(DefaultRowHeight());
    else
        for (int r = 0; r < TCustomGrid::FixedRows(); ++r) SetRowHeights(r, Value);
}

void TExStringGrid::SetFixedColWidth(int Value) {
    if (IsLoading() || Value == DefaultColWidth()) return;
    (void)FrameworkDefaultColWidth;
    for (int c = 0; c < TCustomGrid::FixedCols(); ++c) SetColWidths(c, Value);
}

void TExStringGrid::SetDefaultAlignment(TAlignment Value) {
    if (Value == FDefaultAlignment) return;
    FDefaultAlignment = Value;
    InvalidateGrid();
}

void TExStringGrid::SetWordWrap(bool Value) {
    TBaseGrid::SetWordWrap(Value);
    if (InplaceEditor()) InplaceEditor()->SetWordWrap(Value);
    if (FUpdateCount == 0) InvalidateGrid();
}

void TExStringGrid::SetScrollBarAlways(TScrollBarAlways Value) {
    FScrollBarAlways = Value;
    ApplyScrollBarAlways(false);
}

bool TExStringGrid::ScrollBarKept(int Bar) const {
    if (Bar == SB_VERT) return FScrollBarAlways == saVert || FScrollBarAlways == saBoth;
    return Bar == SB_HORZ && (FScrollBarAlways == saHorz || FScrollBarAlways == saBoth);
}

// The framework shows a bar while its rows or columns do not fit, and a
// kept one always; a kept bar whose rows or columns all fit is disabled.
// A bar not kept is hidden by the framework as soon as everything fits.
void TExStringGrid::ApplyScrollBarAlways(bool) {
    if (!HandleAllocated()) return;
    ClientRect();  // brings the bars up to date
    const bool rowsFit = VisibleRowCount() + FixedRows() >= RowCount();
    const bool colsFit = VisibleColCount() + FixedCols() >= ColCount();
    for (auto [bar, fits] : {std::pair{SB_VERT, rowsFit}, std::pair{SB_HORZ, colsFit}})
        if (ScrollBarShown(bar))
            EnableScrollBar(Handle(), bar, fits && ScrollBarKept(bar) ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
}

void TExStringGrid::SetScrollProportional(bool Value) {
    FScrollProportional = Value;
    if (Value) {
        UpdateVScrollProportional();
        UpdateHScrollProportional();
    } else if (FIsFlat && FScrollType == ssNormal) {
        DoneFlatScrollBars();
        SCROLLINFO info;
        info.fMask = SIF_PAGE;
        info.nPage = 0;
        SetScrollInfo(Handle(), SB_VERT, info, true);
        SetScrollInfo(Handle(), SB_HORZ, info, true);
    }
}

namespace {
// lw + the sum of (lw + size) over [From, To).
int Extent(int From, int To, int Lw, const std::function<int(int)>& Size) {
    int e = Lw;
    for (int i = From; i < To; ++i) e += Lw + Size(i);
    return e;
}
// The thumb as a share of 128 steps.
// FitPos: the position when the client holds everything.
void ProportionalInfo(double E, int Above, int Total, int Client, int FitPos, SCROLLINFO& Info) {
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = int((127 + E) / (1 - E));
    Info.nPage = Cardinal(std::max(0, Info.nMax - 126));
    Info.nPos = Client < Total ? int(double(Above) / (Total - Client) * 128) : FitPos;
}
}  // namespace

// A bar the framework leaves hidden gets no thumb: setting one would show the
// bar, and the next measure of the client would hide it again and repaint.
void TExStringGrid::UpdateVScrollProportional() {
    // Zooming sets every size first and updates once at its end.
    if (IsLoading() || ComponentState().Contains(csDesigning) || !FScrollProportional || !HandleAllocated() ||
        FScrollLock)
        return;
    int fixedRows = TCustomGrid::FixedRows();
    if (VisibleRowCount() + fixedRows >= RowCount() || !ScrollBarShown(SB_VERT)) return;
    int lw = GridLineWidth();
    auto h = [this](int r) { return RowHeights(r); };
    int fixed = Extent(0, fixedRows, lw, h), total = Extent(fixedRows, RowCount(), lw, h);
    int above = Extent(fixedRows, TopRow(), lw, h);
    if (total == 0) return;
    float e = float(Height() - fixed) / float(total);
    if (e >= 0.9999f) return;
    SCROLLINFO info;
    ProportionalInfo(e, above, total, Height(), 127, info);
    SetScrollInfo(Handle(), SB_VERT, info, true);
    SyncFlatVScroll();
}

bool TExStringGrid::HScrollShare(float& E, int& Total, int& Left) const {
    if (IsLoading() || ComponentState().Contains(csDesigning) || !FScrollProportional || !HandleAllocated()) return false;
    const int fixedCols = TCustomGrid::FixedCols();
    const int lw = GridLineWidth();
    auto w = [this](int c) { return ColWidths(c); };
    const int fixed = Extent(0, fixedCols, lw, w);
    Total = Extent(fixedCols, ColCount(), lw, w);
    Left = Extent(fixedCols, LeftCol(), lw, w);
    if (Total == 0 || fixed + Total - Width() < 5) return false;
    E = float(Width() - fixed) / float(Total);
    return E < 0.9999f;
}

void TExStringGrid::UpdateHScrollProportional() {
    // Zooming sets every size first and updates once at its end.
    float e = 0;
    int total = 0, left = 0;
    if (FScrollLock || !HScrollShare(e, total, left) || !ScrollBarShown(SB_HORZ)) return;
    SCROLLINFO info;
    info.fMask = SIF_POS;
    GetScrollInfo(Handle(), SB_HORZ, info);
    ProportionalInfo(e, left, total, Width(), info.nPos, info);
    SetScrollInfo(Handle(), SB_HORZ, info, true);
    SyncFlatHScroll();
}

// The framework asks on every measure of the client; the answer follows the
// columns as they are then.
bool TExStringGrid::ScrollBarHidden(int Bar) const {
    float e = 0;
    int total = 0, left = 0;
    if (Bar != SB_HORZ || ScrollBarKept(SB_HORZ) || !HScrollShare(e, total, left)) return false;
    int plain = 0;
    for (int c = 0; c < ColCount(); ++c) plain += ColWidths(c);
    return plain < Width() || (ScrollBars() != ssHorizontal && ScrollBars() != ssBoth);
}

void TExStringGrid::SetBorderColor(TColor Value) {
    if (Value == FBorderColor) return;
    FBorderColor = Value;
    if (HandleAllocated()) TBaseGrid::Invalidate();
}

void TExStringGrid::SetSelectionColor(TColor Value) {
    FSelectionColor = Value;
    InvalidateGrid();
}

void TExStringGrid::SetSelectionTextColor(TColor Value) {
    FSelectionTextColor = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Repaint lock: the count runs whatever the visibility; only the redraw is
// skipped while the grid is hidden, so a lock released there paints again
// once shown.

void TExStringGrid::BeginUpdate() { ++FUpdateCount; }

void TExStringGrid::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount > 0) return;
    // A cell repaint held back while locked repaints the whole grid, shown or not.
    if (std::exchange(FRepaintHeld, false) || Showing()) Invalidate();
}

void TExStringGrid::ResetUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && std::exchange(FRepaintHeld, false)) Invalidate();
}

bool TExStringGrid::RepaintsLocked() {
    if (FUpdateCount <= 0) return false;
    FRepaintHeld = true;
    return true;
}

void TExStringGrid::Paint() {
    FInvalidPending = false;
    if (FUpdateCount > 0) return;
    TBaseGrid::Paint();
    if (FEditing) DrawEditingFrame(Canvas());
    DrawPushedFixedCell(Canvas());
    {
        // The empty area is found in the left-to-right layout: right to left it lies mirrored.
        const Cardinal Kept = Canvas().SetLayout(UseRightToLeftAlignment() ? LAYOUT_RTL : 0);
        FTools->PaintEmptyArea(Canvas());
        Canvas().SetLayout(Kept);
    }
    FTools->PaintDesignHelper(Canvas());
    DrawPanMark();
    DrawFixedSizingLine();
    if (OnPainted) OnPainted(this);
}

// ---------------------------------------------------------------------------
// Scaling and the date and time views

namespace {
void ScaleFont(TFont& F, int M, int D) { F.SetSize(int(std::lround(double(F.Size()) * M / D))); }
}  // namespace

void TExStringGrid::ChangeScale(int M, int D) {
    TBaseGrid::ChangeScale(M, D);
    if (ComponentState().Contains(csDesigning) || M == D || D == 0) return;
    ScaleFont(FFixedFont, M, D);
    ScaleFont(FActiveCellFont, M, D);
}

TDateTime TExStringGrid::GetDates(int ACol, int ARow) {
    TDateTime v = 0;
    if (!TryStrToDate(GetCellEx(ACol, ARow), v)) throw EExGridError(u"Cell does not contain a date");
    return v;
}

void TExStringGrid::SetDates(int ACol, int ARow, TDateTime Value) {
    SetCellEx(ACol, ARow, Value > 0 || ShowNullDates ? DateToStr(Value) : String());
}

void TExStringGrid::SetHighlightColor(TColor Value) {
    if (FHighlightColor == Value) return;
    FHighlightColor = Value;
    Invalidate();
}

void TExStringGrid::SetHighlightTextColor(TColor Value) {
    if (FHighlightTextColor == Value) return;
    FHighlightTextColor = Value;
    Invalidate();
}

TDateTime TExStringGrid::GetTimes(int ACol, int ARow) {
    TDateTime v = 0;
    if (!TryStrToTime(GetCellEx(ACol, ARow), v)) throw EExGridError(u"Cell does not contain a time");
    return v;
}

void TExStringGrid::SetTimes(int ACol, int ARow, TDateTime Value) { SetCellEx(ACol, ARow, TimeToStr(Value)); }
