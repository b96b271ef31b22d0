// The multi-column drop-down and its list grid.

#include "controls/ExMultiColumnDropDown.h"


#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "grid/foundation/DropDownUtil.h"

#include <algorithm>
#include <cmath>

namespace ExMultiColumnDropDown {

namespace {

// The list's colours per look; the selection style comes first because it
// sets line colours of its own.
struct TListLook {
    TColor Header, HeaderTo, HeaderFont;
    TSelectionColorStyle Selection;
    TColor Lines, FixedLines;
    TColor SelectionColor;  // scCustom only: both selection colours
    TColor SelectionText;
};
// Indexed by TGPKStyle; tsCustom changes nothing.
constexpr TListLook ListLooks[] = {
    /* tsOffice2003Blue */ {0xD68759, 0x933803, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00, clNone, 0x000000},
    /* tsOffice2003Silver */ {0xE6D8D8, 0xBDA4A5, 0x000000, scOffice2007, 0x947C7C, 0x947C7C, clNone, 0x000000},
    /* tsOffice2003Olive */ {0x82C0AF, 0x447A63, 0xFFFFFF, scOffice2007, 0x588060, 0x588060, clNone, 0x000000},
    /* tsOffice2003Classic */ {0xD8D5D4, 0xB9B2AE, 0x000000, scOffice2007, 0x808080, 0x808080, clNone, 0x000000},
    /* tsOffice2007Luna */ {0xFFEFE3, 0xFFD2AF, 0x723708, scOffice2007, 0xFFD2AF, 0xFFD2AF, clNone, 0x000000},
    /* tsOffice2007Obsidian */ {0xF2F1F0, 0xC9C2BD, 0x433C37, scOffice2007, 0x5C534C, 0x5C534C, clNone, 0x000000},
    /* tsWindowsXP */ {clBtnFace, clBtnFace, 0x000000, scCustom, 0xC0C0C0, 0x000000, clHighlight, clHighlightText},
    /* tsWhidbey */ {0xEBEEEF, 0x7E9898, 0x000000, scOffice2007, 0x962D00, 0x962D00, clNone, 0x000000},
    /* tsCustom */ {},
    /* tsOffice2007Silver */ {0xF8F7F6, 0xE8E0DB, 0x5C534C, scOffice2007, 0xE8E0DB, 0xE8E0DB, clNone, 0x000000},
    /* tsWindowsVista */ {0xFFFDF9, 0xFFFAF0, 0x000000, scWindowsVista, 0xFCF2DA, 0xFCF2DA, clNone, 0x000000},
    /* tsWindows7 */ {0xFCEBDC, 0xFCDBC1, 0x000000, scWindows7, 0xCEA27D, 0xCEA27D, clNone, 0x000000},
    /* tsTerminal */ {clBtnFace, clBtnFace, 0x000000, scCustom, 0x808080, 0x000000, clHighlight, clHighlightText},
    /* tsOffice2010Blue */ {0xEDDBCD, clNone, 0x5B391E, scCustom, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, 0x000000},
    /* tsOffice2010Silver */ {0xF9F6F4, clNone, 0x5C534C, scCustom, 0xD2CDC9, 0xD2CDC9, 0x6CD0FF, 0x000000},
    /* tsOffice2010Black */ {0x919191, clNone, 0xFFFFFF, scCustom, 0x6D6D6D, 0x6D6D6D, 0x6CD0FF, 0x000000},
};
static_assert(std::size(ListLooks) == tsOffice2010Black + 1);

// The row height of a word-wrapping list never goes below this.
constexpr int MinWrappedRowHeight = 24;
// Pixels of extra room around a measured text or image.
constexpr int TextPad = 6, ImageGap = 4;

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

}  // namespace

std::vector<int> FitWidths(const std::vector<int>& Widths, int Available) {
    int total = 1;
    for (int w : Widths) total += w;
    const double f = double(Available) / total;
    double rest = 0;
    std::vector<int> out;
    for (int w : Widths) {
        const double exact = f * w;
        const int rounded = RoundHalfEven(exact);
        rest += exact - rounded;
        if (rest > 1) {
            out.push_back(rounded + 1);
            rest -= 1;
        } else {
            out.push_back(rounded);
        }
    }
    return out;
}

void StretchGridColumns(TCustomGrid& Grid, const TDropDownColumns& Columns, int PopupWidth) {
    Grid.SetScrollBars(ssVertical);
    const int n = std::min(Columns.Count(), Grid.ColCount());
    if (n == 0) return;
    std::vector<int> widths;
    for (int i = 0; i < n; ++i) widths.push_back(Columns.Items(i)->Width);
    int w = PopupWidth;
    if (Grid.VisibleRowCount() + Grid.FixedRows() < Grid.RowCount()) w -= GetSystemMetrics(SM_CXVSCROLL);
    const std::vector<int> fitted = FitWidths(widths, w);
    for (int i = 0; i < n; ++i) Grid.SetColWidths(i, fitted[size_t(i)]);
}

void StepLookup(TLookupStep Step, int Index, int Count, const std::function<void(int)>& SetItemIndex) {
    if (Count == 0) return;
    constexpr int Page = 10;
    switch (Step) {
    case TLookupStep::First: SetItemIndex(0); break;
    case TLookupStep::Last: SetItemIndex(Count - 1); break;
    case TLookupStep::Next:
        if (Index < 0) SetItemIndex(0);
        else if (Index + 1 < Count) SetItemIndex(Index + 1);
        break;
    case TLookupStep::Previous:
        if (Index < 0) SetItemIndex(0);
        else if (Index > 0) SetItemIndex(Index - 1);
        break;
    case TLookupStep::NextPage: SetItemIndex(Index < 0 ? 0 : std::min(Index + Page, Count - 1)); break;
    case TLookupStep::PreviousPage: SetItemIndex(Index < Page ? 0 : Index - Page); break;
    }
}

int StripsHeight(TExCustomDropDown& Edit) {
    int h = 0;
    if (Edit.DropDownHeader().Visible()) h += Edit.DropDownHeader().Height();
    if (Edit.DropDownFooter().Visible()) h += Edit.DropDownFooter().Height();
    return h;
}

void FitPopupToGrid(TDropDownForm& Form, TControl& Grid, int Width, int Border) {
    Grid.SetAlign(alNone);
    Grid.SetWidth(Width);
    Form.SetWidth(Width + 2 * Border);
    Grid.SetAlign(alClient);
}

int WholeRowsHeight(int Height, int Strips, int HeaderHeight, int RowHeight) {
    if (RowHeight < 1) return Height;
    const int fixed = Strips + HeaderHeight + 2;
    return fixed + std::max(0, Height - fixed) / RowHeight * RowHeight;
}

// ---------------------------------------------------------------------------
// Columns and items
// ---------------------------------------------------------------------------
void TDropDownColumn::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownColumn*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    Header = s->Header;
    Width = s->Width;
    AutoSize = s->AutoSize;
    Alignment = s->Alignment;
    Color = s->Color;
    FFont.Assign(&s->FFont);
    ColumnType = s->ColumnType;
    Wordwrap = s->Wordwrap;
    Ellipsis = s->Ellipsis;
}

TDropDownColumns::TDropDownColumns(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TDropDownColumn(c); }, AOwner) {}

void TDropDownItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    ImageIndex = s->ImageIndex;
    FText = s->FText;
}

String TDropDownItem::TextAt(int Column) const {
    return Column >= 0 && Column < FText.Count() ? FText[Column] : String();
}

TDropDownItems::TDropDownItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TDropDownItem(c); }, AOwner) {}

int TDropDownItems::IndexInColumn(int Column, const String& Value) const {
    for (int i = 0; i < Count(); ++i) {
        const TStringList& t = Items(i)->Text();
        if (Column >= 0 && Column < t.Count() && t[Column] == Value) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The list grid
// ---------------------------------------------------------------------------
TExColGrid::TExColGrid(TComponent* AOwner) : TStringGrid(AOwner), FColumns(this) {
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = Options();
    o.Include(goHorzLine);
    o.Include(goRowSelect);
    o.Exclude(goRangeSelect);
    o.Exclude(goDrawFocusSelected);
    SetOptions(o);
    SetDefaultDrawing(false);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
    TStringGrid::SetGridLineWidth(0);
}

TExColGrid::~TExColGrid() = default;

void TExColGrid::SetLineWidth(int Value) {
    FGridLineWidth = Value;
    TStringGrid::SetGridLineWidth(0);
    Invalidate();
}

void TExColGrid::SetImages(TImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
}

void TExColGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

bool TExColGrid::InPopup() const { return dynamic_cast<TDropDownForm*>(Parent()) != nullptr; }

String TExColGrid::ItemText(int Row, int Col) const {
    if (!FExDropDown) return Cells(Col, Row);
    if (Row < 1 || Row > FExDropDown->Items().Count()) return String();
    return FExDropDown->Items().Items(Row - 1)->TextAt(Col);
}

void TExColGrid::LoadItems(TExMultiColumnDropDown* Owner) {
    FExDropDown = Owner;
    FColumns.Assign(&Owner->Columns());
    SetColCount(FColumns.Count());
    SetRowCount(Owner->Items().Count() + 1);
    if (RowCount() > 1) {
        SetFixedRows(1);
        SetRow(1);
        SetRowCount(Owner->Items().Count() + 1);
    }
    for (int i = 0; i < FColumns.Count(); ++i) SetColWidths(i, FColumns.Items(i)->Width);
    LineColor = Owner->LineColor;
    FixedLineColor = Owner->FixedLineColor;
    HeaderColor = Owner->HeaderColor;
    HeaderColorTo = Owner->HeaderColorTo;
    HeaderHeight = Owner->HeaderHeight;
    FHeaderFont.Assign(&Owner->HeaderFont());
    SetImages(Owner->Images());
    SetDefaultRowHeight(Owner->DropDownRowHeight);
    SetRowHeights(0, Owner->HeaderHeight);
    TGridOptions o = Options();
    if (Owner->ColumnSizing) o.Include(goColSizing);
    else o.Exclude(goColSizing);
    SetOptions(o);
    AutoSizeColumns();
    AutoSizeRows();
}

int TExColGrid::GetColumnsWidth() {
    int w = 2 * (BorderStyle() == bsNone ? 0 : 1);
    for (int i = 0; i < ColCount(); ++i) w += ColWidths(i);
    if (VisibleRowCount() + FixedRows() != RowCount()) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

void TExColGrid::AutoSizeColumns() {
    for (int i = 0; i < FColumns.Count(); ++i)
        if (FColumns.Items(i)->AutoSize) AutoSizeColumn(i);
}

void TExColGrid::AutoSizeColumn(int Index) {
    if (!InPopup() || Index < 0 || Index >= FColumns.Count()) return;
    TDropDownColumn& col = *FColumns.Items(Index);
    if (!col.AutoSize) return;
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(col.Font());
    int widest = 0;
    for (int r = 1; r < RowCount(); ++r) {
        const String text = ItemText(r, Index);
        int w = 0;
        if (col.ColumnType == ctImage && FImages && FExDropDown && r - 1 < FExDropDown->Items().Count() &&
            FExDropDown->Items().Items(r - 1)->ImageIndex >= 0)
            w += FImages->Width() + ImageGap;
        if (!text.empty()) w += probe.Canvas().TextWidth(text) + TextPad;
        widest = std::max(widest, w);
    }
    col.Width = widest;
    SetColWidths(Index, widest);
}

void TExColGrid::AutoSizeRows() {
    if (!InPopup()) return;
    bool wraps = false;
    for (int i = 0; i < FColumns.Count(); ++i) wraps = wraps || FColumns.Items(i)->Wordwrap;
    if (!wraps) return;
    TBitmap probe;
    probe.SetSize(1, 1);
    for (int r = 1; r < RowCount(); ++r) {
        int height = MinWrappedRowHeight;
        for (int c = 0; c < FColumns.Count(); ++c) {
            TDropDownColumn& col = *FColumns.Items(c);
            if (!col.Wordwrap) continue;
            int candidate = 0;
            if (col.ColumnType == ctImage && FImages && FExDropDown && r - 1 < FExDropDown->Items().Count() &&
                FExDropDown->Items().Items(r - 1)->ImageIndex >= 0)
                candidate = FImages->Height() + TextPad;
            const String text = ItemText(r, c);
            if (!text.empty()) {
                probe.Canvas().SetFont(col.Font());
                TRect m = Rect(0, 0, ColWidths(c), 0);
                probe.Canvas().DrawText(text, m, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
                candidate = std::max(candidate, m.Height() + TextPad);
            }
            height = std::max(height, candidate);
        }
        SetRowHeights(r, height);
    }
}

TRect TExColGrid::CellRectFull(int ACol, int ARow) {
    const TRect r = CellRect(ACol, ARow);
    return Rect(r.Left, r.Top, r.Left + ColWidths(ACol), r.Top + RowHeights(ARow));
}

void TExColGrid::DoSelect() {
    if (OnSelect) OnSelect(this);
}

void TExColGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    TCanvas& c = Canvas();
    if (FExDropDown && FExDropDown->OnDropDownDrawItem) {
        FExDropDown->OnDropDownDrawItem(FExDropDown, ACol, ARow, c, ARect);
        return;
    }
    const bool first = ACol == FixedCols(), last = ACol == ColCount() - 1;
    // The selection's rounded ends: 0 both, 1 left, 2 right, 3 none.
    const int side = first && last ? 0 : first ? 1 : last ? 2 : 3;
    TRect r = CellRectFull(ACol, ARow);
    const bool header = ARow < FixedRows();
    String text = ARow >= 0 ? Cells(ACol, ARow) : String();
    TColor back = Color();
    TAlignment align = taLeftJustify;
    bool wrap = false, ellipsis = false;
    int image = -1;
    if (ACol < FColumns.Count() && ACol >= FixedCols()) {
        const TDropDownColumn& col = *FColumns.Items(ACol);
        back = col.Color;
        align = col.Alignment;
        wrap = col.Wordwrap;
        ellipsis = col.Ellipsis;
        c.SetFont(col.Font());
        if (!header && FExDropDown && ARow - 1 < FExDropDown->Items().Count()) {
            const TDropDownItem& it = *FExDropDown->Items().Items(ARow - 1);
            if (col.ColumnType == ctImage) image = it.ImageIndex;
            if (ACol < it.Text().Count()) text = it.Text()[ACol];
        }
    } else {
        c.SetFont(FHeaderFont);
    }
    if (FExDropDown && FExDropDown->OnDropDownGetItemText)
        FExDropDown->OnDropDownGetItemText(FExDropDown, ACol, ARow, text);

    const bool selected = AState.Contains(gdSelected) && !header;
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(bsSolid);
    if (!header && !selected) {
        c.Brush().SetColor(back);
        c.Pen().SetColor(back);
        c.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    } else if (selected) {
        if (FExDropDown) {
            FExDropDown->DrawSelection(c, r, side, back);
        } else {
            c.Brush().SetColor(SystemColor(2));
            c.FillRect(r);
        }
    } else {
        if (ACol < FColumns.Count()) text = FColumns.Items(ACol)->Header;
        image = -1;
        if (HeaderColor == clNone || HeaderColorTo == clNone) {
            c.Brush().SetColor(HeaderColor);
            c.FillRect(r);
        } else if (FExDropDown) {
            FExDropDown->DrawGradient(c, HeaderColor, HeaderColorTo, 80, r, false);
        } else {
            DrawSteppedGradient(c, HeaderColor, HeaderColorTo, 80, r, false);
        }
    }

    // Lines, drawn by this grid since the base grid's are 0 wide.
    const TGridOptions o = Options();
    int off = 1;
    if (header) {
        c.Pen().SetColor(FixedLineColor);
        c.Pen().SetWidth(1);
    } else {
        if (FGridLineWidth > 0) c.Pen().SetColor(LineColor);
        c.Pen().SetWidth(std::max(FGridLineWidth, 0));
        off = (FGridLineWidth + 1) / 2;
    }
    if (FGridLineWidth > 0 || header) {
        if (o.Contains(header ? goFixedHorzLine : goHorzLine)) {
            c.MoveTo(r.Left - off + 1, r.Bottom - off);
            c.LineTo(r.Right - off + 1, r.Bottom - off);
        }
        if (o.Contains(header ? goFixedVertLine : goVertLine)) {
            c.MoveTo(r.Right - off, r.Bottom - off);
            c.LineTo(r.Right - off, r.Top - off);
        }
    }

    r = Rect(r.Left + FGridLineWidth, r.Top + FGridLineWidth, r.Right - FGridLineWidth, r.Bottom - FGridLineWidth);
    int textLeft = r.Left + 2;
    if (FExDropDown && FExDropDown->Images() && image >= 0) {
        TImageList& il = *FExDropDown->Images();
        const int top = il.Height() < r.Height() ? r.Top + (r.Height() - il.Height()) / 2 : r.Top;
        il.Draw(c, r.Left + 2, top, image, true);
        textLeft = r.Left + il.Width() + ImageGap;
    }
    if (text.empty()) return;
    c.Brush().SetStyle(bsClear);
    if (selected && FExDropDown) c.Font().SetColor(FExDropDown->SelectionTextColor);
    if (header) c.SetFont(FHeaderFont);
    unsigned flags = DT_NOPREFIX | DT_EXPANDTABS | DT_VCENTER;
    flags |= wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
    flags |= align == taRightJustify ? DT_RIGHT : align == taCenter ? DT_CENTER : DT_LEFT;
    if (ellipsis) flags |= DT_END_ELLIPSIS;
    TRect t = Rect(textLeft, r.Top, r.Right, r.Bottom);
    c.DrawText(text, t, flags);
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
    const Word key = Key;
    TStringGrid::KeyDown(Key, Shift);
    if (key == VK_RETURN) DoSelect();
}

void TExColGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FConfirmSelection = true;
    TStringGrid::MouseDown(Button, Shift, X, Y);
}

void TExColGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    int col = -1, row = -1;
    MouseToCell(X, Y, col, row);
    if (row >= FixedRows()) DoSelect();
}

bool TExColGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    WithFlagRaised(FMouseWheelSelection, [&] {
        FConfirmSelection = false;
        handled = TStringGrid::DoMouseWheelDown(Shift, MousePos);
    });
    return handled;
}

bool TExColGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    WithFlagRaised(FMouseWheelSelection, [&] {
        FConfirmSelection = false;
        handled = TStringGrid::DoMouseWheelUp(Shift, MousePos);
    });
    return handled;
}

// ---------------------------------------------------------------------------
// The drop-down
// ---------------------------------------------------------------------------
TExMultiColumnDropDown::TExMultiColumnDropDown(TComponent* AOwner)
    : TExCustomDropDown(AOwner), FItems(this), FColumns(this) {
    SetDropDownColor(0xFFFFFF);
    SetDropDownHeight(200);
    SetAutoSelect(true);
    FHeaderFont.SetColor(0x723708);
    SetSelectionColorStyle(scOffice2007);
    CreateDropDownForm();
}

TExMultiColumnDropDown::~TExMultiColumnDropDown() {
    if (FExColGrid) {
        FExColGrid->OnSelectCell = nullptr;
        FExColGrid->OnSelect = nullptr;
        FExColGrid->SetOwnerDropDown(nullptr);
    }
}

void TExMultiColumnDropDown::Assign(const TPersistent* Source) {
    TExCustomDropDown::Assign(Source);
    auto* s = dynamic_cast<const TExMultiColumnDropDown*>(Source);
    if (!s) return;
    CaseSensitive = s->CaseSensitive;
    DropDownAutoWidth = s->DropDownAutoWidth;
    DropDownRowHeight = s->DropDownRowHeight;
    LineColor = s->LineColor;
    FixedLineColor = s->FixedLineColor;
    ColumnSizing = s->ColumnSizing;
    ColumnSizeWithDropDown = s->ColumnSizeWithDropDown;
    FColumns.Assign(&s->FColumns);
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    HeaderHeight = s->HeaderHeight;
    FHeaderFont.Assign(&s->FHeaderFont);
    LookupColumn = s->LookupColumn;
    SelectionTextColor = s->SelectionTextColor;
    FItems.Assign(&s->FItems);
    FItemIndex = s->FItemIndex;
}

int TExMultiColumnDropDown::GetItemIndex(const String& Value) const {
    // An item without a lookup string counts as empty.
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems.Items(i)->TextAt(LookupColumn) == Value) return i;
    return -1;
}

void TExMultiColumnDropDown::SetItemIndex(int Value) {
    if (Value >= FItems.Count()) return;
    FItemIndex = Value;
    const String text = Value >= 0 ? FItems.Items(Value)->TextAt(LookupColumn) : String();
    WithFlagRaised(FCompleting, [&] { SetTextValue(text); });
}

void TExMultiColumnDropDown::EndUpdate() {
    if (LookupColumn < 0 || FItems.Count() == 0) return;
    FLookupItems.Clear();
    for (int i = 0; i < FItems.Count(); ++i) FLookupItems.Add(FItems.Items(i)->TextAt(LookupColumn));
}

#define LOOKUP_STEP(Name, Step)                                                         \
    void TExMultiColumnDropDown::Name() {                                               \
        StepLookup(TLookupStep::Step, FItemIndex, FItems.Count(), [this](int i) { SetItemIndex(i); }); \
    }
LOOKUP_STEP(SelectFirst, First)
LOOKUP_STEP(SelectLast, Last)
LOOKUP_STEP(SelectNext, Next)
LOOKUP_STEP(SelectPrevious, Previous)
LOOKUP_STEP(SelectNextPage, NextPage)
LOOKUP_STEP(SelectPreviousPage, PreviousPage)
#undef LOOKUP_STEP

void TExMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    switch (Value) {
    case scOffice2007:
        LineColor = 0xF1EDEB, FixedLineColor = 0xD1BBA4;
        SetSelectionColor(0x5EC1F1);
        break;
    case scWindowsVista:
    case scWindows7:
        SetSelectionColor(0xEACAB6);
        LineColor = 0xECECF0, FixedLineColor = 0xD4D2D1;
        break;
    case scCustom: break;
    }
    TExCustomDropDown::SetSelectionColorStyle(Value);
}

void TExMultiColumnDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    if (AStyle == tsCustom || AStyle < 0 || AStyle >= TGPKStyle(std::size(ListLooks))) return;
    const TListLook& l = ListLooks[AStyle];
    HeaderColor = l.Header;
    HeaderColorTo = l.HeaderTo;
    FHeaderFont.SetColor(l.HeaderFont);
    SetSelectionColorStyle(l.Selection);
    LineColor = l.Lines;
    FixedLineColor = l.FixedLines;
    if (l.SelectionColor != clNone) {
        SetSelectionColor(l.SelectionColor);
        SetSelectionColorTo(l.SelectionColor);
    }
    SelectionTextColor = l.SelectionText;
}

// ---------------------------------------------------------------------------
// The pop-up
// ---------------------------------------------------------------------------
void TExMultiColumnDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm || FExColGrid) return;
    FExColGrid = new TExColGrid(this);
    FExColGrid->SetParent(FDropDownForm);
    FExColGrid->SetOwnerDropDown(this);
    FExColGrid->SetBounds(0, 0, FExColGrid->Width(), 180);
    FExColGrid->SetColor(DropDownColor());
    FExColGrid->SetDoubleBuffered(true);
    SetControl(FExColGrid);
    // The list takes the keys while the pop-up is open.
    FFocusControl = FExColGrid;
}

void TExMultiColumnDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    if (!FExColGrid) return;
    // A click elsewhere accepts the row reached.
    FDropDownForm->SetCancelOnDeActivate(false);
    FShowing = true;
    TExColGrid& g = *FExColGrid;
    g.LoadItems(this);
    TGridOptions o = g.Options();
    o.Include(goThumbTracking);
    g.SetOptions(o);
    g.SetColor(DropDownColor());
    g.OnSelectCell = [this](TObject*, int, int ARow, bool&) {
        if (FExColGrid->MouseWheelSelection() || FShowing) return;
        SetItemIndex(ARow - 1);
    };
    g.OnSelect = [this](TObject*) {
        if (FExColGrid->ConfirmSelection()) SetItemIndex(FExColGrid->Row() - 1);
        DoHideDropDown(false);
        if (OnSelect) OnSelect(this);
    };
    if (g.RowCount() > g.FixedRows()) g.SetRow(std::max(FItemIndex + 1, g.FixedRows()));
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::AdjustDropDownHeight(int& Height) {
    Height = WholeRowsHeight(Height, StripsHeight(*this), HeaderHeight, DropDownRowHeight);
}

void TExMultiColumnDropDown::DoShowDropDown() {
    TExCustomDropDown::DoShowDropDown();
    if (DroppedDown() && FExColGrid) {
        StretchColumns();
        TExColGrid& g = *FExColGrid;
        if (g.RowCount() > 1) {
            const int row = std::max(FItemIndex + 1, 1);
            g.SetRow(row);
            const TRect r = g.CellRect(0, row);
            if (r.Left <= 0 && r.Top <= 0) g.SetTopRow(std::max(1, row - g.VisibleRowCount() + 1));
        }
    }
    FShowing = false;
}

void TExMultiColumnDropDown::PlaceDropDownControl() {
    if (FExColGrid) SetControl(FExColGrid);
    TExCustomDropDown::PlaceDropDownControl();
}

void TExMultiColumnDropDown::UpdateDropDownSize() {
    TExCustomDropDown::UpdateDropDownSize();
    if (!DropDownAutoWidth || !FDropDownForm || !FExColGrid) return;
    FitPopupToGrid(*FDropDownForm, *FExColGrid, FExColGrid->GetColumnsWidth(), DropDownBorderWidth());
}

void TExMultiColumnDropDown::StretchColumns() {
    if (ColumnSizeWithDropDown && FExColGrid && FDropDownForm)
        StretchGridColumns(*FExColGrid, FColumns, FDropDownForm->Width());
}

void TExMultiColumnDropDown::Loaded() {
    TExCustomDropDown::Loaded();
    EndUpdate();
}

void TExMultiColumnDropDown::FormSizing() {
    TExCustomDropDown::FormSizing();
    StretchColumns();
}

void TExMultiColumnDropDown::DoHideDropDown(bool Cancelled) {
    if (!FDropDownForm || !FDropDownForm->Visible()) {
        TExCustomDropDown::DoHideDropDown(Cancelled);
        return;
    }
    TExCustomDropDown::DoHideDropDown(Cancelled);
    if (Cancelled) {
        SetItemIndex(FOldItemIndex);
        return;
    }
    if (FExColGrid && FExColGrid->ConfirmSelection()) SetItemIndex(FExColGrid->Row() - 1);
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::WheelDown() {
    TExCustomDropDown::WheelDown();
    SelectNext();
}

void TExMultiColumnDropDown::WheelUp() {
    TExCustomDropDown::WheelUp();
    SelectPrevious();
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------
bool TExMultiColumnDropDown::StaysInGrid(Word Key) const {
    return GetKeyState(VK_MENU) >= 0 && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN);
}

void TExMultiColumnDropDown::ControlKeyDown(Word& Key, TShiftState Shift) {
    if (StaysInGrid(Key)) return;
    if (Key == VK_RETURN) {
        DoHideDropDown(false);
        return;
    }
    if (Key == VK_ESCAPE) {
        DoHideDropDown(true);
        return;
    }
    TExCustomDropDown::ControlKeyDown(Key, Shift);
}

void TExMultiColumnDropDown::ControlKeyUp(Word& Key, TShiftState Shift) {
    if (StaysInGrid(Key)) return;
    TExCustomDropDown::ControlKeyUp(Key, Shift);
}

int TExMultiColumnDropDown::SearchLookup(const String& Entry) const {
    const String key = CaseSensitive ? Entry : AnsiUpperCase(Entry);
    for (int i = 0; i < FItems.Count(); ++i) {
        const String s = FItems.Items(i)->TextAt(LookupColumn);
        if ((CaseSensitive ? s : AnsiUpperCase(s)).compare(0, key.size(), key) == 0) return i;
    }
    return -1;
}

void TExMultiColumnDropDown::ShowFound(int Index, int Selected) {
    FItemIndex = Index;
    const String s = FItems.Items(Index)->TextAt(LookupColumn);
    WithFlagRaised(FCompleting, [&] { SetTextValue(s); });
    SetSelStart(Selected);
    SetSelLength(int(s.size()) - Selected);
    if (!FExColGrid) return;
    TExColGrid& g = *FExColGrid;
    const int row = Index + g.FixedRows();
    if (row >= g.TopRow() + g.VisibleRowCount() || row < g.TopRow()) g.SetTopRow(row);
    g.SetRow(row);
    g.SetCol(0);
}

void TExMultiColumnDropDown::ControlKeyPress(Char& Key) {
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (((Key == VK_RETURN || Key == VK_ESCAPE) && !alt) || (FExColGrid && FExColGrid->EditorMode())) {
        FLookupEntry.clear();
        return;
    }
    if (Key == VK_BACK) {
        EraseLookupEntry(*this, FLookupEntry, FCompleting);
        return;
    }
    if (Key != VK_TAB) FLookupEntry += Key;
    int i = SearchLookup(FLookupEntry);
    if (i >= 0) {
        ShowFound(i, int(FLookupEntry.size()));
        return;
    }
    // The entry continues no item: the character may begin one by itself.
    i = SearchLookup(String(1, Key));
    if (i >= 0) {
        FLookupEntry = String(1, Key);
        ShowFound(i, int(FItems.Items(i)->TextAt(LookupColumn).size()));
    } else {
        FLookupEntry.clear();
    }
}

void TExMultiColumnDropDown::Change() {
    FPending.Pending = false;
    TExCustomDropDown::Change();
    const int i = FPending.Complete(
        *this, FWorkMode, FCompleting, FLookupItems.Count(), [&](int i) { return FLookupItems[i]; }, MatchCase);
    // The lookup texts may outlive the items (they are rebuilt only by
    // EndUpdate): a completion names an item only while there is one.
    if (i >= 0 && i < FItems.Count()) FItemIndex = i;
}

void TExMultiColumnDropDown::KeyUp(Word& Key, TShiftState Shift) {
    TExCustomDropDown::KeyUp(Key, Shift);
    FPending.Apply(*this, [this](int i) { SetItemIndex(i); });
}

void TExMultiColumnDropDown::KeyDown(Word& Key, TShiftState Shift) {
    if (LookupColumn < 0 || FItems.Count() == 0) {
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
    TExCustomDropDown::KeyDown(Key, Shift);
    if (k == VK_ESCAPE) SetItemIndex(listed());
}

void TExMultiColumnDropDown::KeyPress(Char& Key) {
    if (Key == VK_RETURN && ReturnIsTab()) {
        Key = 0;
        return;
    }
    TExCustomDropDown::KeyPress(Key);
}

void TExMultiColumnDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    TExCustomDropDown::WMKeyDown(Message);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    switch (key) {
    case VK_PRIOR: SelectPreviousPage(); break;
    case VK_NEXT: SelectNextPage(); break;
    case VK_UP: SelectPrevious(); break;
    case VK_DOWN: SelectNext(); break;
    case VK_END:
        if (!EditorEnabled()) SelectLast();
        break;
    case VK_HOME:
        if (!EditorEnabled()) SelectFirst();
        break;
    default: break;
    }
}

}  // namespace ExMultiColumnDropDown
