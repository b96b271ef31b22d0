// The grid drop-down and its pop-up grid.

#include "grid/ExCustomGridDropDown.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cstdint>

namespace ExCustomGridDropDown {

namespace {

// The list's colours per look (tsCustom and the 2010 looks change nothing).
struct TListLook {
    bool Applies;
    TColor Header, HeaderTo, HeaderFont;  // HeaderFont clNone: unchanged
    TSelectionColorStyle Selection;
    TColor Lines, FixedLines, SelectionText;
};
// Indexed by TGPKStyle.
constexpr TListLook ListLooks[] = {
    /* tsOffice2003Blue */ {true, 0xD68759, 0x933803, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00, 0},
    /* tsOffice2003Silver */ {true, 0xBDA4A5, 0x957475, clNone, scOffice2007, 0x947C7C, 0x947C7C, 0},
    /* tsOffice2003Olive */ {true, 0x82C0AF, 0x447A63, clNone, scOffice2007, 0x588060, 0x588060, 0},
    /* tsOffice2003Classic */ {true, 0x808080, 0x808080, clNone, scOffice2007, 0x808080, 0x808080, 0},
    /* tsOffice2007Luna */ {true, 0xFFEFE3, 0xFFD2AF, 0x723708, scOffice2007, 0xFFD2AF, 0xFFD2AF, 0},
    /* tsOffice2007Obsidian */ {true, 0xF2F1F0, 0xC9C2BD, 0x433C37, scOffice2007, 0x5C534C, 0x5C534C, 0},
    /* tsWindowsXP */ {true, clBtnFace, clBtnFace, 0x000000, scCustom, 0xC0C0C0, 0x000000, clHighlightText},
    /* tsWhidbey */ {true, 0xEBEEEF, 0x7E9898, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00, 0},
    /* tsCustom */ {false, 0, 0, 0, scCustom, 0, 0, 0},
    /* tsOffice2007Silver */ {true, 0xF8F7F6, 0xE8E0DB, 0x8B4215, scOffice2007, 0x74706F, 0x74706F, 0},
    /* tsWindowsVista */ {true, 0xFFFDF9, 0xFFFAF0, 0x000000, scWindowsVista, 0xFCF2DA, 0xFCF2DA, 0},
    /* tsWindows7 */ {true, 0xFDFBFA, 0xFDF3EB, 0x000000, scWindows7, 0xFBD6B8, 0xFBD6B8, 0},
    /* tsTerminal */ {true, clBtnFace, clBtnFace, 0x000000, scCustom, 0x808080, 0x808080, clHighlightText},
    /* tsOffice2010Blue */ {false, 0, 0, 0, scCustom, 0, 0, 0},
    /* tsOffice2010Silver */ {false, 0, 0, 0, scCustom, 0, 0, 0},
    /* tsOffice2010Black */ {false, 0, 0, 0, scCustom, 0, 0, 0},
};
static_assert(std::size(ListLooks) == tsOffice2010Black + 1);

constexpr int MinWrappedRowHeight = 24;
constexpr int TextPad = 6, ImageGap = 4;
// The pop-up's frame below the rows.
constexpr int PopupFrame = 4;

TObject* IndexObject(int Index) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Index)); }
int ObjectIndex(TObject* Object) { return int(reinterpret_cast<std::intptr_t>(Object)); }

bool IsNavigationKey(Word Key) { return Key >= VK_PRIOR && Key <= VK_DOWN && Key != VK_LEFT && Key != VK_RIGHT; }

}  // namespace

// ---------------------------------------------------------------------------
// The pop-up grid
// ---------------------------------------------------------------------------
TExColGrid::TExColGrid(TComponent* AOwner) : TExStringGrid(AOwner), FColumns(this) {
    SetFixedRowAlways(true);
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = Options();
    o.Exclude(goRangeSelect);
    o.Include(goHorzLine);
    o.Include(goRowSelect);
    SetOptions(o);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
}

TExColGrid::~TExColGrid() = default;

void TExColGrid::SetImages(TImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
}

void TExColGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TExStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages && !ComponentState().Contains(csDestroying)) FImages = nullptr;
}

bool TExColGrid::InPopup() const { return dynamic_cast<TDropDownForm*>(Parent()) != nullptr; }

String TExColGrid::ItemLine(int Row, int Column, bool& Has) const {
    Has = false;
    if (!FExDropDown || Row < 1 || Row > FExDropDown->Items().Count()) return String();
    const TStringList& t = FExDropDown->Items().Items(Row - 1)->Text();
    Has = Column >= 0 && Column < t.Count();
    return Has ? t[Column] : String();
}

void TExColGrid::UpdateFromDropDown(TCustomExGridDropDown* D) {
    if (!D) return;
    SetExDropDown(D);
    FColumns.Assign(&D->Columns());
    if (ColCount() < FColumns.Count()) SetColCount(FColumns.Count());
    if (D->UseItems) SetRowCount(D->Items().Count() + 1);
    for (int c = 0; c < FColumns.Count(); ++c) SetColWidths(c, FColumns.Items(c)->Width);
    LineColor = D->LineColor;
    FixedLineColor = D->FixedLineColor;
    HeaderColor = D->HeaderColor;
    HeaderColorTo = D->HeaderColorTo;
    HeaderHeight = D->HeaderHeight;
    FHeaderFont.Assign(&D->HeaderFont());
    SetHoverRow(D->HoverRow);
    SetHoverRowColor(D->HoverRowColor);
    SetHoverRowColorTo(D->HoverRowColorTo);
    SetImages(D->Images());
    SetDefaultRowHeight(D->DropDownRowHeight);
    SetRowHeights(0, D->HeaderHeight);
    TGridOptions o = Options();
    auto option = [&](TGridOption Option, bool On) { On ? o.Include(Option) : o.Exclude(Option); };
    option(goColSizing, D->ColumnSizing);
    option(goColMoving, D->ColumnMoving);
    option(goRowSizing, D->RowSizing);
    option(goRowMoving, D->RowMoving);
    SetOptions(o);
    if (D->AutoSizeColumns) {
        if (D->UseItems) AutoSizeItemColumns();
        else TExStringGrid::AutoSizeColumns(true, 4);
    }
    UpdateRowHeights();
}

void TExColGrid::LoadItems() {
    if (!FExDropDown) return;
    if (ColCount() != FColumns.Count()) SetColCount(std::max(1, FColumns.Count()));
    for (int c = 0; c < FColumns.Count(); ++c) {
        SetCellEx(c, 0, FColumns.Items(c)->Header);
        SetObjectEx(c, 0, IndexObject(-1));
    }
    const TDropDownItems& items = FExDropDown->Items();
    if (items.Count() > 0) SetRowCount(FixedRows() + items.Count());
    for (int k = 0; k < items.Count(); ++k) {
        for (int c = 0; c < FColumns.Count(); ++c) SetCellEx(c, k + 1, items.Items(k)->TextAt(c));
        SetObjectEx(0, k + 1, IndexObject(k));
    }
}

void TExColGrid::AutoSizeItemColumns() {
    for (int c = 0; c < FColumns.Count(); ++c)
        if (FColumns.Items(c)->AutoSize) AutoSizeItemColumn(c);
}

void TExColGrid::AutoSizeItemColumn(int Index) {
    if (Index < 0 || Index >= FColumns.Count() || !FColumns.Items(Index)->AutoSize || !InPopup()) return;
    TDropDownColumn& col = *FColumns.Items(Index);
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(col.Font());
    int widest = 0;
    for (int r = 1; r < RowCount(); ++r) {
        bool has = false;
        const String line = ItemLine(r, Index, has);
        if (!has) continue;
        int w = 0;
        if (col.ColumnType == ctImage && FImages && FExDropDown->Items().Items(r - 1)->ImageIndex >= 0)
            w = FImages->Width() + ImageGap;
        if (!line.empty()) w += probe.Canvas().TextWidth(line) + TextPad;
        widest = std::max(widest, w);
    }
    col.Width = widest;
    SetColWidths(Index, widest);
}

void TExColGrid::UpdateRowHeights() {
    bool wraps = false;
    for (int c = 0; c < FColumns.Count(); ++c) wraps = wraps || FColumns.Items(c)->Wordwrap;
    if (!wraps || !InPopup()) return;
    TBitmap probe;
    probe.SetSize(1, 1);
    const bool items = FExDropDown && FExDropDown->UseItems;
    for (int r = FixedRows(); r < RowCount(); ++r) {
        int h = MinWrappedRowHeight;
        for (int c = 0; c < std::min(FColumns.Count(), ColCount()); ++c) {
            const TDropDownColumn& col = *FColumns.Items(c);
            if (!col.Wordwrap) continue;
            // In grid mode the row's own cells are measured: there need be no items.
            bool has = !items;
            const String line = items ? ItemLine(r, c, has) : GetCellEx(c, r);
            int hc = 0;
            if (items && has && col.ColumnType == ctImage && FImages &&
                FExDropDown->Items().Items(r - 1)->ImageIndex >= 0)
                hc = FImages->Height() + TextPad;
            if (!line.empty()) {
                probe.Canvas().SetFont(col.Font());
                TRect m = Rect(0, 0, ColWidths(c), 0);
                probe.Canvas().DrawText(line, m, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
                hc = std::max(hc, m.Height() + TextPad);
            }
            h = std::max(h, hc);
        }
        SetRowHeights(r, h);
    }
}

int TExColGrid::GetTotalWidth() {
    int w = 2 * (BorderStyle() == bsNone ? 0 : 1);
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    if (VisibleRowCount() + FixedRows() < RowCount()) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

void TExColGrid::DoSelect() {
    if (OnSelect) OnSelect(this);
}

LRESULT TExColGrid::NativeDlgCode() const { return DLGC_WANTARROWS | DLGC_WANTTAB; }

void TExColGrid::KeyDown(Word& Key, TShiftState Shift) {
    FConfirmSelection = true;
    if (Key == VK_TAB) return;
    if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
        // The edit closes its pop-up on these.
        if (FExDropDown) FExDropDown->Perform(WM_KEYDOWN, Key);
        return;
    }
    if (Key == VK_RETURN) {
        Key = 0;
        TExStringGrid::KeyDown(Key, Shift);
        DoSelect();
        return;
    }
    TExStringGrid::KeyDown(Key, Shift);
}

void TExColGrid::KeyPress(Char& Key) {
    if (Key == VK_RETURN) return;
    TExStringGrid::KeyPress(Key);
}

void TExColGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FConfirmSelection = true;
    TExStringGrid::MouseDown(Button, Shift, X, Y);
}

void TExColGrid::WMLButtonDown(TWMMouse& Message) {
    FConfirmSelection = true;
    TExStringGrid::WMLButtonDown(Message);
}

void TExColGrid::WMLButtonUp(TWMMouse& Message) {
    TExStringGrid::WMLButtonUp(Message);
    int col = -1, row = -1;
    MouseToCell(Message.XPos(), Message.YPos(), col, row);
    if (row >= FixedRows() && row < RowCount() && col >= 0 && !HasCheckBox(col, row)) DoSelect();
}

void TExColGrid::WndProc(TMessage& Message) {
    // The grid control moves its row by the wheel in its window procedure.
    if (Message.Msg != WM_MOUSEWHEEL) {
        TExStringGrid::WndProc(Message);
        return;
    }
    FConfirmSelection = false;
    WithFlagRaised(FMouseWheelSelection, [&] { TExStringGrid::WndProc(Message); });
}

// ---------------------------------------------------------------------------
// The drop-down
// ---------------------------------------------------------------------------
TCustomExGridDropDown::TCustomExGridDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner), FColumns(this) {
    FItems.reset(CreateItems());
    SetAutoSelect(true);
    FHeaderFont.SetColor(0x723708);
    SetSelectionColorStyle(scOffice2007);
    SetDropDownColor(0xFFFFFF);
    SetDropDownHeight(200);
    FNavigation.SetHomeEndKey(heFirstLastRow);
    CreateDropDownForm();
}

// The grid goes with the pop-up form after this object: it must call nothing of ours then.
TCustomExGridDropDown::~TCustomExGridDropDown() { UnbindGridEvents(); }

TDropDownItems* TCustomExGridDropDown::CreateItems() { return new TDropDownItems(this); }

void TCustomExGridDropDown::SetStyle(TDropDownStyle Value) {
    FStyle = Value;
    SetEditorEnabled(Value == dsDropDown);
}

void TCustomExGridDropDown::SetGridImages(TImageList* Value) {
    if (FGridImages) FGridImages->RemoveFreeNotification(this);
    FGridImages = Value;
    if (FGridImages) FGridImages->FreeNotification(this);
    if (FGrid) FGrid->SetGridImages(FGridImages);
}

void TCustomExGridDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FGrid) FGrid = nullptr;
    if (AComponent == FGridImages) SetGridImages(nullptr);
}

String TCustomExGridDropDown::LookupText(int Item) const { return FItems->Items(Item)->TextAt(LookupColumn); }

int TCustomExGridDropDown::ChoiceCount() const {
    if (UseItems) return FItems->Count();
    return FGrid ? std::max(0, FGrid->RowCount() - 1) : 0;
}

void TCustomExGridDropDown::SetItemIndex(int Value) {
    if (UseItems) {
        if (Value >= FItems->Count()) return;
        FItemIndex = Value;
        const String text = Value >= 0 && LookupColumn >= 0 ? LookupText(Value) : String();
        WithFlagRaised(FCompleting, [&] { SetTextValue(text); });
        return;
    }
    if (!FGrid) {
        FItemIndex = Value;
        return;
    }
    if (Value == FItemIndex || Value >= FGrid->RowCount() - 1) return;
    FItemIndex = Value;
    const String text = Value >= 0 ? FGrid->GetCellEx(LookupColumn, Value + 1) : String();
    WithFlagRaised(FCompleting, [&] { SetTextValue(text); });
}

void TCustomExGridDropDown::UpdateLookupItems() {
    // With nothing to read the old list stays, so completion keeps working.
    if (LookupColumn < 0 || FItems->Count() == 0) return;
    FLookupItems.Clear();
    for (int i = 0; i < FItems->Count(); ++i) FLookupItems.Add(LookupText(i));
}

bool TCustomExGridDropDown::LookupPrefix(const String& Text, String& Found, int& Index) const {
    Found.clear();
    Index = -1;
    if (Text.empty()) return false;
    const String key = CaseSensitive ? Text : AnsiUpperCase(Text);
    auto starts = [&](const String& s) {
        return (CaseSensitive ? s : AnsiUpperCase(s)).compare(0, key.size(), key) == 0;
    };
    if (UseItems) {
        for (int i = 0; i < FItems->Count(); ++i)
            if (starts(LookupText(i))) {
                Found = LookupText(i);
                Index = i;
                return true;
            }
        return false;
    }
    if (!FGrid) return false;
    for (int r = FGrid->FixedRows(); r < FGrid->RowCount(); ++r)
        if (starts(FGrid->GetCellEx(LookupColumn, r))) {
            Found = FGrid->GetCellEx(LookupColumn, r);
            Index = r;
            return true;
        }
    return false;
}

#define LOOKUP_STEP(Name, Step)                                                                      \
    void TCustomExGridDropDown::Name() {                                                             \
        ExMultiColumnDropDown::StepLookup(ExMultiColumnDropDown::TLookupStep::Step, FItemIndex, ChoiceCount(), \
                                          [this](int i) { SetItemIndex(i); });                       \
    }
LOOKUP_STEP(SelectFirst, First)
LOOKUP_STEP(SelectLast, Last)
LOOKUP_STEP(SelectNext, Next)
LOOKUP_STEP(SelectPrevious, Previous)
LOOKUP_STEP(SelectNextPage, NextPage)
LOOKUP_STEP(SelectPreviousPage, PreviousPage)
#undef LOOKUP_STEP

int TCustomExGridDropDown::RowToItemIndex(int Row) const {
    if (FGrid && Row < FGrid->RowCount()) return ObjectIndex(FGrid->GetObjectEx(0, Row));
    return Row;
}

int TCustomExGridDropDown::ItemIndexToRow(int Index) const {
    if (FGrid && Index >= 0)
        for (int r = FGrid->FixedRows(); r < FGrid->RowCount(); ++r)
            if (ObjectIndex(FGrid->GetObjectEx(0, r)) == Index) return r;
    return FItemIndex;
}

// ---------------------------------------------------------------------------
// Looks
// ---------------------------------------------------------------------------
void TCustomExGridDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    if (Value == scOffice2007) LineColor = 0xF1EDEB, FixedLineColor = 0xD1BBA4;
    if (Value == scWindowsVista || Value == scWindows7) LineColor = 0xECECF0, FixedLineColor = 0xD4D2D1;
    TExCustomDropDown::SetSelectionColorStyle(Value);
}

void TCustomExGridDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    if (AStyle < 0 || AStyle >= TGPKStyle(std::size(ListLooks)) || !ListLooks[AStyle].Applies) return;
    const TListLook& l = ListLooks[AStyle];
    HeaderColor = l.Header;
    HeaderColorTo = l.HeaderTo;
    if (l.HeaderFont != clNone) FHeaderFont.SetColor(l.HeaderFont);
    SetSelectionColorStyle(l.Selection);
    LineColor = l.Lines;
    FixedLineColor = l.FixedLines;
    SelectionTextColor = l.SelectionText;
    if (AStyle == tsWindowsXP || AStyle == tsTerminal) {
        SetSelectionColor(clHighlight);
        SetSelectionColorTo(clHighlight);
    }
}

// ---------------------------------------------------------------------------
// The pop-up
// ---------------------------------------------------------------------------
void TCustomExGridDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm || FGrid) return;
    FGrid = new TExColGrid(this);
    FGrid->SetParent(FDropDownForm);
    FGrid->SetExDropDown(this);
    FGrid->SetBounds(0, 0, FGrid->Width(), 180);
    FGrid->SetColor(DropDownColor());
    FGrid->SetDoubleBuffered(true);
    FGrid->Navigation().SetHomeEndKey(heFirstLastRow);
}

// The pop-up grid's events and the slots that receive them, as (grid event, slot).
#define GRID_SLOTS(X)                                                                                         \
    X(OnAnchorClick, DoGridAnchorClick) X(OnAnchorEnter, DoGridAnchorEnter) X(OnAnchorExit, DoGridAnchorExit) \
    X(OnAnchorHint, DoGridAnchorHint) X(OnButtonClick, DoGridButtonClick) X(OnColumnSize, DoGridColumnSize)   \
    X(OnColumnSizing, DoGridColumnSizing) X(OnEndColumnSize, DoGridEndColumnSize) X(OnRowSize, DoGridRowSize) \
    X(OnRowSizing, DoGridRowSizing) X(OnEndRowSize, DoGridEndRowSize) X(OnRowMove, DoGridRowMove)             \
    X(OnRowMoving, DoGridRowMoving) X(OnRowMoved, DoGridRowMoved) X(OnColumnMove, DoGridColumnMove)           \
    X(OnColumnMoving, DoGridColumnMoving) X(OnColumnMoved, DoGridColumnMoved)                                 \
    X(Tools().OnCellBalloon, DoGridCellBalloon) X(OnGetAlignment, DoGridGetAlignment)                         \
    X(OnGetCellColor, DoGridGetCellColor) X(OnGetCellGradient, DoGridGetCellGradient)                         \
    X(OnGetFloatFormat, DoGridGetFloatFormat) X(OnGetEditorType, DoGridGetEditorType)                         \
    X(OnGetEditorPropInt, DoGridGetEditorProp) X(OnCanEditCell, DoGridCanEditCell)                            \
    X(OnEllipsClick, DoGridEllipsClick) X(OnGetDisplText, DoGridGetDisplText) X(OnGetFormat, DoGridGetFormat) \
    X(OnGridHint, DoGridHint) X(OnMouseMove, DoGridMouseMove) X(OnMouseDown, DoGridMouseDown)                 \
    X(OnMouseUp, DoGridMouseUp) X(OnRightClickCell, DoGridRightClickCell) X(OnScrollHint, DoGridScrollHint)   \
    X(OnTopLeftChanged, DoGridTopLeftChanged) X(Tools().OnSearchEditChange, DoGridSearchEditChange)           \
    X(OnAutoAddRow, DoGridAutoAddRow) X(OnAutoInsertRow, DoGridInsertRow) X(OnAutoInsertCol, DoGridInsertCol) \
    X(OnAutoDeleteRow, DoGridDeleteRow) X(OnCanAddRow, DoGridCanAddRow) X(OnCanInsertRow, DoGridCanInsertRow) \
    X(OnCanDeleteRow, DoGridCanDeleteRow)

void TCustomExGridDropDown::BindGridEvents() {
    TExColGrid& g = *FGrid;
#define BIND(GridEvent, Slot) \
    g.GridEvent = [this](auto&&... Args) { Slot(std::forward<decltype(Args)>(Args)...); };
    GRID_SLOTS(BIND)
#undef BIND
    // Without an owner's handler the grid paints the cells itself.
    g.OnCustomCellDraw = nullptr;
    g.OnCustomCellBkgDraw = nullptr;
    if (OnGridCustomCellDraw)
        g.OnCustomCellDraw = [this](auto&&... Args) { DoGridCustomCellDraw(std::forward<decltype(Args)>(Args)...); };
    if (OnGridCustomCellBkgDraw)
        g.OnCustomCellBkgDraw = [this](auto&&... Args) {
            DoGridCustomCellBkgDraw(std::forward<decltype(Args)>(Args)...);
        };
    // Work that moves the focus out of the grid keeps the pop-up open.
    g.OnStartBlockFocus = [this](TObject*) { BlockActivate(true); };
    g.OnEndBlockFocus = [this](TObject*) { BlockActivate(false); };
    // A click sort keeps the chosen item chosen, in its new row; the owner's
    // sort events are not raised.
    g.OnCanSort = [this](TObject*, int, bool&) { FTempItemIndex = FItemIndex; };
    g.OnClickSort = [this](TObject*, int) {
        const int row = ItemIndexToRow(FTempItemIndex);
        if (row >= 0) FGrid->SetRow(row);
    };
    g.OnCheckBoxClick = [this](TObject* Sender, int ACol, int ARow, bool State) {
        DoGridCheckBoxClick(Sender, ACol, ARow, State);
    };
    g.OnSelectCell = [this](TObject*, int, int ARow, bool&) { GridSelectCell(ARow); };
    g.OnSelect = [this](TObject*) { GridSelect(); };
}

void TCustomExGridDropDown::UnbindGridEvents() {
    if (!FGrid) return;
    TExColGrid& g = *FGrid;
#define UNBIND(GridEvent, Slot) g.GridEvent = nullptr;
    GRID_SLOTS(UNBIND)
#undef UNBIND
    g.OnCustomCellDraw = nullptr;
    g.OnCustomCellBkgDraw = nullptr;
    g.OnStartBlockFocus = nullptr;
    g.OnEndBlockFocus = nullptr;
    g.OnCanSort = nullptr;
    g.OnClickSort = nullptr;
    g.OnCheckBoxClick = nullptr;
    g.OnSelectCell = nullptr;
    g.OnSelect = nullptr;
    g.SetExDropDown(nullptr);
}

void TCustomExGridDropDown::BlockActivate(bool On) {
    if (FDropDownForm) FDropDownForm->SetBlockActivate(On);
}

// ---------------------------------------------------------------------------
// The event slots: each fires the drop-down's event of its name.
// ---------------------------------------------------------------------------
void TCustomExGridDropDown::DoGridAnchorEnter(TObject* Sender, int ARow, int ACol, const String& Anchor) {
    if (OnGridAnchorEnter) OnGridAnchorEnter(Sender, ARow, ACol, Anchor);
}

void TCustomExGridDropDown::DoGridAnchorExit(TObject* Sender, int ARow, int ACol, const String& Anchor) {
    if (OnGridAnchorExit) OnGridAnchorExit(Sender, ARow, ACol, Anchor);
}

void TCustomExGridDropDown::DoGridAnchorHint(TObject* Sender, int ARow, int ACol, String& Anchor) {
    if (OnGridAnchorHint) OnGridAnchorHint(Sender, ARow, ACol, Anchor);
}

void TCustomExGridDropDown::DoGridCanSort(TObject* Sender, int ACol, bool& DoSort) {
    if (OnGridCanSort) OnGridCanSort(Sender, ACol, DoSort);
}

void TCustomExGridDropDown::DoGridClickSort(TObject* Sender, int ACol) {
    if (OnGridClickSort) OnGridClickSort(Sender, ACol);
}

void TCustomExGridDropDown::DoGridCustomCompare(TObject* Sender, const String& Str1, const String& Str2, int& Res) {
    if (OnGridCustomCompare) OnGridCustomCompare(Sender, Str1, Str2, Res);
}

void TCustomExGridDropDown::DoGridRawCompare(TObject* Sender, int ACol, int Row1, int Row2, int& Res) {
    if (OnGridRawCompare) OnGridRawCompare(Sender, ACol, Row1, Row2, Res);
}

void TCustomExGridDropDown::DoGridColumnSize(TObject* Sender, int ACol, bool& Allow) {
    if (OnGridColumnSize) OnGridColumnSize(Sender, ACol, Allow);
}

void TCustomExGridDropDown::DoGridColumnSizing(TObject* Sender, int ACol, int ColumnSize) {
    if (OnGridColumnSizing) OnGridColumnSizing(Sender, ACol, ColumnSize);
}

void TCustomExGridDropDown::DoGridEndColumnSize(TObject* Sender, int ACol) {
    if (OnGridEndColumnSize) OnGridEndColumnSize(Sender, ACol);
}

void TCustomExGridDropDown::DoGridRowSize(TObject* Sender, int ARow, bool& Allow) {
    if (OnGridRowSize) OnGridRowSize(Sender, ARow, Allow);
}

void TCustomExGridDropDown::DoGridRowSizing(TObject* Sender, int ARow, int RowSize) {
    if (OnGridRowSizing) OnGridRowSizing(Sender, ARow, RowSize);
}

void TCustomExGridDropDown::DoGridEndRowSize(TObject* Sender, int ARow) {
    if (OnGridEndRowSize) OnGridEndRowSize(Sender, ARow);
}

void TCustomExGridDropDown::DoGridRowMove(TObject* Sender, int Index, bool& Allow) {
    if (OnGridRowMove) OnGridRowMove(Sender, Index, Allow);
}

void TCustomExGridDropDown::DoGridRowMoving(TObject* Sender, int Index, bool& Allow) {
    if (OnGridRowMoving) OnGridRowMoving(Sender, Index, Allow);
}

void TCustomExGridDropDown::DoGridRowMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridRowMoved) OnGridRowMoved(Sender, FromIndex, ToIndex);
}

void TCustomExGridDropDown::DoGridColumnMove(TObject* Sender, int Index, bool& Allow) {
    if (OnGridColumnMove) OnGridColumnMove(Sender, Index, Allow);
}

void TCustomExGridDropDown::DoGridColumnMoving(TObject* Sender, int Index, bool& Allow) {
    if (OnGridColumnMoving) OnGridColumnMoving(Sender, Index, Allow);
}

void TCustomExGridDropDown::DoGridColumnMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridColumnMoved) OnGridColumnMoved(Sender, FromIndex, ToIndex);
}

void TCustomExGridDropDown::DoGridCustomCellDraw(TObject* Sender, TCanvas& Canvas, int ACol, int ARow, TGridDrawState AState, TRect ARect, bool Printing) {
    if (OnGridCustomCellDraw) OnGridCustomCellDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}

void TCustomExGridDropDown::DoGridCustomCellBkgDraw(TObject* Sender, TCanvas& Canvas, int ACol, int ARow, TGridDrawState AState, TRect ARect, bool Printing) {
    if (OnGridCustomCellBkgDraw) OnGridCustomCellBkgDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}

void TCustomExGridDropDown::DoGridCellBalloon(TObject* Sender, int ACol, int ARow, String& ATitle, String& AText, int& AIcon) {
    if (OnGridCellBalloon) OnGridCellBalloon(Sender, ACol, ARow, ATitle, AText, AIcon);
}

void TCustomExGridDropDown::DoGridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo, TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD) {
    if (OnGridGetCellGradient) OnGridGetCellGradient(Sender, ARow, ACol, Color, ColorTo, ColorMirror, ColorMirrorTo, GD);
}

void TCustomExGridDropDown::DoGridGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor) {
    if (OnGridGetEditorType) OnGridGetEditorType(Sender, ACol, ARow, AEditor);
}

void TCustomExGridDropDown::DoGridGetEditorProp(TObject* Sender, int ACol, int ARow) {
    if (OnGridGetEditorProp) OnGridGetEditorProp(Sender, ACol, ARow);
}

void TCustomExGridDropDown::DoGridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit) {
    if (OnGridCanEditCell) OnGridCanEditCell(Sender, ARow, ACol, CanEdit);
}

void TCustomExGridDropDown::DoGridGetDisplText(TObject* Sender, int ACol, int ARow, String& Value) {
    if (OnGridGetDiplText) OnGridGetDiplText(Sender, ACol, ARow, Value);
}

void TCustomExGridDropDown::DoGridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix) {
    if (OnGridGetFormat) OnGridGetFormat(Sender, ACol, AStyle, APrefix, ASuffix);
}

void TCustomExGridDropDown::DoGridHint(TObject* Sender, int ARow, int ACol, String& hintstr) {
    if (OnGridHint) OnGridHint(Sender, ARow, ACol, hintstr);
}

void TCustomExGridDropDown::DoGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnGridMouseDown) OnGridMouseDown(Sender, Button, Shift, X, Y);
}

void TCustomExGridDropDown::DoGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnGridMouseUp) OnGridMouseUp(Sender, Button, Shift, X, Y);
}

void TCustomExGridDropDown::DoGridKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (OnGridKeyDown) OnGridKeyDown(Sender, Key, Shift);
}

void TCustomExGridDropDown::DoGridKeyUp(TObject* Sender, Word& Key, TShiftState Shift) {
    if (OnGridKeyUp) OnGridKeyUp(Sender, Key, Shift);
}

void TCustomExGridDropDown::DoGridKeyPress(TObject* Sender, Char& Key) {
    if (OnGridKeyPress) OnGridKeyPress(Sender, Key);
}

void TCustomExGridDropDown::DoGridRightClickCell(TObject* Sender, int ARow, int ACol) {
    if (OnGridRightClickCell) OnGridRightClickCell(Sender, ARow, ACol);
}

void TCustomExGridDropDown::DoGridScrollHint(TObject* Sender, int ARow, String& hintstr) {
    if (OnGridScrollHint) OnGridScrollHint(Sender, ARow, hintstr);
}

void TCustomExGridDropDown::DoGridSearchEditChange(TObject* Sender, const String& Value, bool& DefaultSearch) {
    if (OnGridSearchEditChange) OnGridSearchEditChange(Sender, Value, DefaultSearch);
}

void TCustomExGridDropDown::DoGridSpinClick(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown) {
    if (OnGridSpinClick) OnGridSpinClick(Sender, ACol, ARow, AValue, UpDown);
}

void TCustomExGridDropDown::DoGridAutoAddRow(TObject* Sender, int ARow) {
    if (OnGridAutoAddRow) OnGridAutoAddRow(Sender, ARow);
}

void TCustomExGridDropDown::DoGridInsertRow(TObject* Sender, int ARow) {
    if (OnGridInsertRow) OnGridInsertRow(Sender, ARow);
}

void TCustomExGridDropDown::DoGridInsertCol(TObject* Sender, int ACol) {
    if (OnGridInsertCol) OnGridInsertCol(Sender, ACol);
}

void TCustomExGridDropDown::DoGridDeleteRow(TObject* Sender, int ARow) {
    if (OnGridDeleteRow) OnGridDeleteRow(Sender, ARow);
}

void TCustomExGridDropDown::DoGridCanAddRow(TObject* Sender, bool& CanAdd) {
    if (OnGridCanAddRow) OnGridCanAddRow(Sender, CanAdd);
}

void TCustomExGridDropDown::DoGridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert) {
    if (OnGridCanInsertRow) OnGridCanInsertRow(Sender, ARow, CanInsert);
}

void TCustomExGridDropDown::DoGridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete) {
    if (OnGridCanDeleteRow) OnGridCanDeleteRow(Sender, ARow, CanDelete);
}

// The owner's handling of a link, a cell's button or ellipsis keeps the pop-up open.
void TCustomExGridDropDown::DoGridAnchorClick(TObject* Sender, int ARow, int ACol, const String& Anchor,
                                              bool& AutoHandle) {
    BlockActivate(true);
    if (OnGridAnchorClick) OnGridAnchorClick(Sender, ARow, ACol, Anchor, AutoHandle);
    BlockActivate(false);
}

void TCustomExGridDropDown::DoGridButtonClick(TObject* Sender, int ACol, int ARow) {
    BlockActivate(true);
    if (OnGridButtonClick) OnGridButtonClick(Sender, ACol, ARow);
    BlockActivate(false);
}

void TCustomExGridDropDown::DoGridEllipsClick(TObject* Sender, int ACol, int ARow, String& S) {
    BlockActivate(true);
    if (OnGridEllipsClick) OnGridEllipsClick(Sender, ACol, ARow, S);
    BlockActivate(false);
}

// The columns' own colour and alignment come before the owner's answer.
// The colour stands in for the grid's background only: the header row,
// bands and a cell's own colour keep theirs.
void TCustomExGridDropDown::DoGridGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                               TBrush& ABrush, TFont& AFont) {
    if (FGrid && ACol >= 0 && ACol < FColumns.Count() && ARow >= FGrid->FixedRows() &&
        ColorToRGB(ABrush.Color()) == ColorToRGB(FGrid->Color()))
        ABrush.SetColor(FColumns.Items(ACol)->Color);
    if (OnGridGetCellColor) OnGridGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
}

void TCustomExGridDropDown::DoGridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& HAlign,
                                               TVAlignment& VAlign) {
    if (ACol >= 0 && ACol < FColumns.Count()) HAlign = FColumns.Items(ACol)->Alignment;
    if (OnGridGetAlignment) OnGridGetAlignment(Sender, ARow, ACol, HAlign, VAlign);
}

void TCustomExGridDropDown::DoGridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                                                 String& FloatFormat) {
    FloatFormat.clear();
    if (OnGridGetFloatFormat) OnGridGetFloatFormat(Sender, ACol, ARow, IsFloat, FloatFormat);
}

void TCustomExGridDropDown::DoGridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
    // The balloon window is made anew once per opening, on the first move.
    if (!FBalloonInit && FGrid) {
        FBalloonInit = true;
        if (FGrid->Balloon().Enable()) {
            FGrid->Balloon().SetEnable(false);
            FGrid->Balloon().SetEnable(true);
        }
    }
    if (OnGridMouseMove) OnGridMouseMove(Sender, Shift, X, Y);
}

// Told with the drop-down as Sender.
void TCustomExGridDropDown::DoGridTopLeftChanged(TObject*) {
    if (OnGridTopLeftChanged) OnGridTopLeftChanged(this);
}

void TCustomExGridDropDown::DoGridCheckBoxClick(TObject* Sender, int ACol, int ARow, bool State) {
    if (OnGridCheckBoxClick) OnGridCheckBoxClick(Sender, ACol, ARow, State);
}

void TCustomExGridDropDown::DoBeforeDropDown() {
    // Shaping the grid moves its current row; that is no choice.
    WithFlagRaised(FPreparing, [&] { PrepareGrid(); });
    FOldItemIndex = FItemIndex;
    if (!UseItems) TExCustomDropDown::DoBeforeDropDown();
}

void TCustomExGridDropDown::PrepareGrid() {
    FDropDownForm->SetCancelOnDeActivate(false);
    if (FGrid) {
        TExColGrid& g = *FGrid;
        g.UpdateFromDropDown(this);
        g.SetColor(DropDownColor());
        g.SortSettings().SetShow(false);
        g.SortSettings().SetIndexShow(false);
        if (Sorting != gsNone) g.SortSettings().SetShow(true);
        if (Sorting == gsMultiColumn) g.SortSettings().SetIndexShow(true);
        FBalloonInit = false;
        BindGridEvents();
        g.SearchFooter().Assign(&FSearchFooter);
        g.MouseActions().Assign(&FMouseActions);
        g.Navigation().Assign(&FNavigation);
        g.Bands().Assign(&FBands);
        TGridOptions o = g.Options();
        o.Include(goThumbTracking);
        RowSelect ? o.Include(goRowSelect) : o.Exclude(goRowSelect);
        GridEditable ? o.Include(goEditing) : o.Exclude(goEditing);
        g.SetOptions(o);
        g.SetGridImages(FGridImages);
    }
    if (UseItems) {
        TExCustomDropDown::DoBeforeDropDown();
        if (FGrid) {
            TExColGrid& g = *FGrid;
            g.SetRowCount(FItems->Count() + 1);
            g.SetFixedRows(1);
            g.LoadItems();
            const int row = ItemIndexToRow(FItemIndex);
            if (row >= g.FixedRows() && row < g.RowCount()) g.SetRow(row);
        }
    } else if (FGrid) {
        String found;
        int row = -1;
        FGrid->SetRow(LookupPrefix(GetText(), found, row) ? row : std::min(1, FGrid->RowCount() - 1));
    }
    if (FGrid && FGrid->SortSettings().Column() >= 0 && FGrid->SortSettings().Show()) FGrid->QSort();
}

void TCustomExGridDropDown::AdjustDropDownHeight(int& Height) {
    // Without a row height there is nothing to round to.
    if (DropDownRowHeight < 1) return;
    const int strips = ExMultiColumnDropDown::StripsHeight(*this);
    Height = ExMultiColumnDropDown::WholeRowsHeight(Height, strips, HeaderHeight, DropDownRowHeight) + PopupFrame;
}

void TCustomExGridDropDown::DoShowDropDown() {
    TExCustomDropDown::DoShowDropDown();
    if (!FGrid) return;
    TExColGrid& g = *FGrid;
    if (!UseItems)
        while (FColumns.Count() < g.ColCount()) FColumns.Add();
    if (!DroppedDown()) return;
    FitColumnsToWidth();
    if (g.VisibleRowCount() + 1 < g.RowCount()) {
        if (g.Row() > g.TopRow() + g.VisibleRowCount() || g.Row() < g.TopRow()) g.SetTopRow(g.Row());
    }
    FSelRow = g.Row();
    g.SetTabStop(true);
    if (g.CanFocus()) g.SetFocus();
}

void TCustomExGridDropDown::PlaceDropDownControl() {
    if (FGrid) SetControl(FGrid);
    TExCustomDropDown::PlaceDropDownControl();
}

void TCustomExGridDropDown::UpdateDropDownSize() {
    TExCustomDropDown::UpdateDropDownSize();
    if (!DropDownAutoWidth || !FDropDownForm || !FGrid) return;
    ExMultiColumnDropDown::FitPopupToGrid(*FDropDownForm, *FGrid, FGrid->GetTotalWidth(), DropDownBorderWidth());
}

void TCustomExGridDropDown::FitColumnsToWidth() {
    if (ColumnSizeWithDropDown && FGrid && FDropDownForm)
        ExMultiColumnDropDown::StretchGridColumns(*FGrid, FColumns, FDropDownForm->Width());
}

void TCustomExGridDropDown::GridSelectCell(int Row) {
    if (FPreparing) return;
    FSelRow = Row;
    if (FGrid->MouseWheelSelection()) return;
    if (UseItems) {
        SetItemIndex(RowToItemIndex(Row));
    } else {
        WithFlagRaised(FCompleting, [&] { SetTextValue(FGrid->GetCellEx(LookupColumn, Row)); });
        FItemIndex = Row - 1;
    }
}

void TCustomExGridDropDown::GridSelect() {
    if (FGrid->ConfirmSelection()) SetItemIndex(UseItems ? RowToItemIndex(FGrid->Row()) : FGrid->Row() - 1);
    if (!GridEditable) DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TCustomExGridDropDown::DoHideDropDown(bool Cancelled) {
    if (FDropDownForm && FDropDownForm->Visible() && FGrid) {
        if (Cancelled) {
            SetItemIndex(FOldItemIndex);
        } else if (FGrid->ConfirmSelection() && FSelRow >= FGrid->FixedRows()) {
            SetItemIndex(UseItems ? RowToItemIndex(FSelRow) : FSelRow - 1);
        }
        FOldItemIndex = FItemIndex;
        FGrid->SetConfirmSelection(false);
    }
    TExCustomDropDown::DoHideDropDown(Cancelled);
}

// ---------------------------------------------------------------------------
// Typing
// ---------------------------------------------------------------------------
void TCustomExGridDropDown::Change() {
    FPending.Pending = false;
    TExCustomDropDown::Change();
    const int i = FPending.Complete(
        *this, FWorkMode, FCompleting, FLookupItems.Count(), [&](int i) { return FLookupItems[i]; }, MatchCase);
    // The lookup texts may outlive the items (they are rebuilt only by
    // EndUpdate): a completion names an item only while there is one.
    if (i >= 0 && i < ChoiceCount()) FItemIndex = i;
}

void TCustomExGridDropDown::ShowLookup(int Index, const String& Found, int Typed) {
    FItemIndex = Index;
    WithFlagRaised(FCompleting, [&] { SetTextValue(Found); });
    if (FStyle == dsDropDown) {
        SetSelStart(Typed);
        SetSelLength(int(Found.size()) - Typed);
    }
}

int TCustomExGridDropDown::LookupKey(Char Key) {
    if (LookupMethod == lmNone) return -1;
    if (Key == VK_BACK) {
        EraseLookupEntry(*this, FLookupEntry, FCompleting);
        return -1;
    }
    if (Key != VK_TAB) FLookupEntry += Key;
    const String entry = Trim(FLookupEntry);
    if (LookupMethod == lmNarrowDown) {
        if (!FGrid) return -1;
        if (entry.empty()) {
            FGrid->RemoveAllFilters();
        } else {
            FGrid->SetFixedRowAlways(true);
            FGrid->NarrowDown(entry, LookupColumn);
            if (FStyle == dsDropDown && FGrid->RowCount() > FGrid->FixedRows()) {
                const String first = FGrid->GetCellEx(LookupColumn, FGrid->FixedRows());
                WithFlagRaised(FCompleting, [&] { SetTextValue(first); });
                SetSelStart(int(entry.size()));
                SetSelLength(int(first.size()) - int(entry.size()));
            }
        }
        return 1;
    }
    String found;
    int index = -1;
    auto resultRow = [&] { return UseItems ? ItemIndexToRow(index) : index; };
    if (LookupPrefix(entry, found, index)) {
        ShowLookup(UseItems ? index : index - 1, found, int(FLookupEntry.size()));
        return resultRow();
    }
    if (FStyle == dsDropDown) return -1;
    // The entry continues nothing: the character may begin an item by itself.
    if (LookupPrefix(String(1, Key), found, index)) {
        FLookupEntry = String(1, Key);
        ShowLookup(UseItems ? index : index - 1, found, 1);
        return resultRow();
    }
    FLookupEntry.clear();
    return -1;
}

void TCustomExGridDropDown::KeyDown(Word& Key, TShiftState Shift) {
    if (FGrid && GridEditable && FGrid->EditMode() && Key == VK_RETURN && !Shift.Contains(ssShift)) {
        FGrid->HideInplaceEdit();
        WithFlagRaised(FCompleting, [&] { SetTextValue(FGrid->GetCellEx(LookupColumn, FGrid->Row())); });
        FItemIndex = UseItems ? RowToItemIndex(FGrid->Row()) : FGrid->Row() - 1;
        Key = 0;
        return;
    }
    if (LookupColumn < 0 || FItems->Count() == 0) {
        TExCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const Word k = Key;
    auto listed = [&] { return IndexOfAnyCase(FLookupItems, GetText()); };
    TypeAheadKeyDown(k, FWorkMode, listed, [&](int i) {
        WithFlagRaised(FCompleting, [&] { SetTextValue(FLookupItems[i]); });
        SetItemIndex(i);
        Change();
    });
    if (k == VK_ESCAPE || IsNavigationKey(k)) FLookupEntry.clear();
    TExCustomDropDown::KeyDown(Key, Shift);
    if (k == VK_ESCAPE) SetItemIndex(listed());
}

void TCustomExGridDropDown::KeyPress(Char& Key) {
    if (Key == VK_RETURN && ReturnIsTab()) {
        Key = 0;
        return;
    }
    TExCustomDropDown::KeyPress(Key);
}

void TCustomExGridDropDown::KeyUp(Word& Key, TShiftState Shift) {
    if (!(Key == VK_RETURN && ReturnIsTab())) TExCustomDropDown::KeyUp(Key, Shift);
    if (FGrid && GridEditable && FGrid->EditMode() && Key == VK_RETURN && !Shift.Contains(ssShift)) {
        if (FGrid->Col() == LookupColumn) DoHideDropDown(false);
        else FGrid->HideInplaceEdit();
    }
    FPending.Apply(*this, [this](int i) { SetItemIndex(i); });
}

void TCustomExGridDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    if (key == VK_RETURN && FGrid) FGrid->SetConfirmSelection(true);
    TExCustomDropDown::WMKeyDown(Message);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    if (IsNavigationKey(key)) FLookupEntry.clear();
    const bool list = FStyle == dsDropDownList && GetKeyState(VK_SHIFT) >= 0;
    switch (key) {
    case VK_PRIOR: SelectPreviousPage(); break;
    case VK_NEXT: SelectNextPage(); break;
    case VK_END:
        if (list) SelectLast();
        break;
    case VK_HOME:
        if (list) SelectFirst();
        break;
    case VK_UP: SelectPrevious(); break;
    case VK_DOWN: SelectNext(); break;
    default: break;
    }
}

void TCustomExGridDropDown::WMChar(TWMKey& Message) {
    const Char ch = Char(Message.CharCode());
    TExCustomDropDown::WMChar(Message);
    LookupKey(ch);
    if (AutoShowDropDown) ShowDropDown();
}

void TCustomExGridDropDown::Loaded() {
    TExCustomDropDown::Loaded();
    UpdateLookupItems();
    if (FGrid) FGrid->LoadItems();
}

void TCustomExGridDropDown::DoEnter() {
    TExCustomDropDown::DoEnter();
    if (FGrid) FGrid->RemoveAllFilters();
    FLookupEntry.clear();
}

bool StaysInGrid(Word Key) { return GetKeyState(VK_MENU) >= 0 && IsNavigationKey(Key); }

void TCustomExGridDropDown::ControlKeyDown(Word& Key, TShiftState Shift) {
    if (!StaysInGrid(Key)) Perform(WM_KEYDOWN, Key);
    DoGridKeyDown(this, Key, Shift);
}

void TCustomExGridDropDown::ControlKeyUp(Word& Key, TShiftState Shift) {
    if (StaysInGrid(Key)) FLookupEntry.clear();
    else Perform(WM_KEYUP, Key);
    DoGridKeyUp(this, Key, Shift);
}

void TCustomExGridDropDown::ControlKeyPress(Char& Key) {
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool command = (Key == VK_RETURN || Key == VK_ESCAPE || IsNavigationKey(Key)) && !alt;
    if (command || (FGrid && FGrid->Options().Contains(goEditing))) {
        FLookupEntry.clear();
    } else if (FGrid) {
        const int r = LookupKey(Key);
        TExColGrid& g = *FGrid;
        if (r < g.FixedRows() || r >= g.RowCount()) {
            FLookupEntry.clear();
        } else {
            if (g.VisibleRowCount() + g.FixedRows() < g.RowCount()) g.SetTopRow(r);
            g.SetRow(r);
            g.SetCol(0);
            g.RepaintRow(r);
        }
    }
    DoGridKeyPress(this, Key);
}

}  // namespace ExCustomGridDropDown
