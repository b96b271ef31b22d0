// The column grid: typed columns answering the per-cell queries.
#include "grid/ExCGrid.h"

#include "grid/ExGridEditLink.h"
#include "grid/ExGridEditors.h"
#include "grid/foundation/GridText.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int VersionColumnGrid = (3 << 24) | (1 << 16) | (3 << 8) | 1;
}

// ---------------------------------------------------------------------------
// TGridColumnItem

TGridColumnItem::TGridColumnItem(TCollection* Collection) : TCollectionItem(Collection) {
    FBorderPen.SetColor(clSilver);
    FPrintBorderPen.SetColor(clBlack);
    FPrintBorderPen.SetWidth(1);
    if (TExColumnGrid* g = Grid()) {
        FFont.Assign(&g->Font());
        FHeaderFont.Assign(&g->Font());
        FPrintFont.Assign(&g->Font());
        FColor = g->Color();
        FWidth = g->DefaultColWidth();
    }
}

void TGridColumnItem::SetColumnPopup(TPopupMenu* Value) {
    FColumnPopup = Value;
    if (Value && Grid()) Value->FreeNotification(Grid());
}

TExColumnGrid* TGridColumnItem::Grid() const {
    auto* c = dynamic_cast<TGridColumnCollection*>(Collection());
    return c ? c->Grid() : nullptr;
}

void TGridColumnItem::Changed() {
    if (auto* c = dynamic_cast<TGridColumnCollection*>(Collection()); c && c->UpdateCount() == 0) TCollectionItem::Changed(false);
}

String TGridColumnItem::DisplayName() const {
    if (!FName.empty()) return u"Col " + IntToStr(Index()) + u": " + FName;
    return u"Column " + IntToStr(Index());
}

void TGridColumnItem::SetHeader(const String& Value) {
    FHeader = Value;
    TExColumnGrid* g = Grid();
    if (!g) return;
    if (g->FixedRows() > 0 && !g->FColMoving) {
        g->SetCellEx(Index(), 0, Value);
        Changed();
    }
    g->RebuildHeaders();
}

int TGridColumnItem::Width() const {
    TExColumnGrid* g = Grid();
    if (!g || Index() >= g->TotalColCount()) return FWidth;
    return g->AllColWidths(Index());
}

void TGridColumnItem::SetWidth(int Value) {
    FWidth = Value;
    TExColumnGrid* g = Grid();
    if (g && Index() < g->TotalColCount()) g->SetAllColWidths(Index(), Value);
}

void TGridColumnItem::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (TExColumnGrid* g = Grid()) g->InvalidateGrid();
}

void TGridColumnItem::SetHeaderAlignment(TAlignment Value) {
    FHeaderAlignment = Value;
    if (TExColumnGrid* g = Grid()) g->InvalidateGrid();
}

void TGridColumnItem::SetEditor(TEditorType Value) {
    bool repaint = (Value == edDataCheckBox) != (FEditor == edDataCheckBox);
    FEditor = Value;
    if (repaint)
        if (TExColumnGrid* g = Grid()) g->InvalidateGrid();
}

void TGridColumnItem::SetFixed(bool Value) {
    FFixed = Value;
    Changed();
}

void TGridColumnItem::SetFont(const TFont& Value) {
    FFont.Assign(&Value);
    Changed();
}

void TGridColumnItem::SetHeaderFont(const TFont& Value) {
    FHeaderFont.Assign(&Value);
    if (TExColumnGrid* g = Grid()) g->InvalidateGrid();
}

void TGridColumnItem::SetColor(TColor Value) {
    FColor = Value;
    Changed();
}

void TGridColumnItem::SetPassword(bool Value) {
    FPassword = Value;
    Changed();
}

void TGridColumnItem::SetShowBands(bool Value) {
    FShowBands = Value;
    Changed();
}

void TGridColumnItem::SetFloatFormat(const String& Value) {
    FFloatFormat = Value;
    if (TExColumnGrid* g = Grid()) g->InvalidateGrid();
}

String TGridColumnItem::Rows(int ARow) const {
    TExColumnGrid* g = Grid();
    return g ? g->GetCellEx(Index(), ARow) : String();
}

void TGridColumnItem::SetRows(int ARow, const String& Value) {
    if (TExColumnGrid* g = Grid()) g->SetCellEx(Index(), ARow, Value);
}

void TGridColumnItem::SetBorders(const TSet<int>& Value) {
    FBorders = Value;
    Changed();
}

void TGridColumnItem::SetBorderPen(const TPen& Value) {
    FBorderPen.Assign(&Value);
    Changed();
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem& S) {
    FBorders = S.FBorders;
    FBorderPen.Assign(&S.FBorderPen);
    FAlignment = S.FAlignment;
    FHeaderAlignment = S.FHeaderAlignment;
    FCheckFalse = S.FCheckFalse;
    FCheckTrue = S.FCheckTrue;
    FEditLength = S.FEditLength;
    FEditMask = S.FEditMask;
    FEditor = S.FEditor;
    FFixed = S.FFixed;
    FPassword = S.FPassword;
    FPrintColor = S.FPrintColor;
    FPrintFont.Assign(&S.FPrintFont);
    FPrintBorders = S.FPrintBorders;
    FPrintBorderPen.Assign(&S.FPrintBorderPen);
    SetColumnPopup(S.FColumnPopup);
    FReadOnly = S.FReadOnly;
    FSpinMax = S.FSpinMax;
    FSpinMin = S.FSpinMin;
    FSpinStep = S.FSpinStep;
    SetEditLink(S.FEditLink);
    FWidth = S.Width();
    FShowBands = S.FShowBands;
    FMinSize = S.FMinSize;
    FMaxSize = S.FMaxSize;
    FAutoMinSize = S.FAutoMinSize;
    FAutoMaxSize = S.FAutoMaxSize;
    FFilter.Assign(&S.FFilter);
    FFilterCaseSensitive = S.FFilterCaseSensitive;
    FSortStyle = S.FSortStyle;
    FSortPrefix = S.FSortPrefix;
    FSortSuffix = S.FSortSuffix;
    DefIdx = S.DefIdx;
    FFloatFormat = S.FFloatFormat;
    if (TExColumnGrid* g = Grid()) {
        FColor = g->Color();
        FFont.Assign(&g->Font());
    }
}

void TGridColumnItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TGridColumnItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    AssignVisuals(*s);
    FColor = s->FColor;
    FFont.Assign(&s->FFont);
    FComboItems.Assign(&s->FComboItems);
    FDropDownCount = s->FDropDownCount;
    FHeaderFont.Assign(&s->FHeaderFont);
    FHeader = s->FHeader;
    FName = s->FName;
    FTag = s->FTag;
}

void TGridColumnItem::AssignWhole(const TGridColumnItem& Source) {
    Assign(&Source);
    FColumnPopupType = Source.FColumnPopupType;
    FPrintFontCustom = Source.FPrintFontCustom;
    FPrintBorderCustom = Source.FPrintBorderCustom;
}

// ---------------------------------------------------------------------------
// TGridColumnCollection

TGridColumnCollection::TGridColumnCollection(TExColumnGrid* AOwner)
    : TCollection([](TCollection* c) { return new TGridColumnItem(c); }, AOwner), FOwner(AOwner) {}

TGridColumnItem* TGridColumnCollection::Add() {
    auto* item = static_cast<TGridColumnItem*>(TCollection::Add());
    if (Count() > 1) item->AssignVisuals(*Items(Count() - 2));
    return item;
}

TGridColumnItem* TGridColumnCollection::Insert(int Index) {
    return static_cast<TGridColumnItem*>(TCollection::Insert(Index));
}

void TGridColumnCollection::SetOrganization() {
    bool was = NoRecursiveUpdate;
    NoRecursiveUpdate = true;
    FOwner->AlignItems();
    NoRecursiveUpdate = was;
    for (int i = 0; i < Count(); ++i) Items(i)->DefIdx = i;
}

void TGridColumnCollection::ResetOrganization() {
    bool moved = true;
    while (moved) {
        moved = false;
        for (int i = 0; i < Count(); ++i) {
            int d = Items(i)->DefIdx;
            if (d < i) {
                FOwner->MoveColumn(i, d);
                moved = true;
            }
        }
    }
}

void TGridColumnCollection::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (UpdateCount() > 0 || NoRecursiveUpdate || FOwner->IsLoading()) return;
    int n = Count() - FOwner->NumHiddenColumns();
    if (n != FOwner->ColCount() && FOwner->FixedCols() < n) FOwner->SetColCount(n);
    FOwner->RebuildHeaders();
    FOwner->InvalidateGrid();
}

// ---------------------------------------------------------------------------
// TExColumnGrid

TExColumnGrid::TExColumnGrid(TComponent* AOwner) : TExStringGrid(AOwner) {
    CreateColumns();
    FColumnCollection->NoRecursiveUpdate = true;
    AlignItems();
    FColumnCollection->NoRecursiveUpdate = false;
    FCellGraphic.CellType = ctVirtCheckBox;
}

TExColumnGrid::~TExColumnGrid() {
    delete FColumnCollection;
    FColumnCollection = nullptr;
}

void TExColumnGrid::CreateColumns() { FColumnCollection = new TGridColumnCollection(this); }

int TExColumnGrid::GetVersionNr() { return VersionColumnGrid; }

String TExColumnGrid::GetVersionString() { return Version() + u" Aug, 2012"; }

void TExColumnGrid::AlignItems() {
    if (!FColumnCollection) return;
    int want = ColCount() + NumHiddenColumns();
    while (FColumnCollection->Count() < want) FColumnCollection->Add();
    while (FColumnCollection->Count() > want) FColumnCollection->Delete(FColumnCollection->Count() - 1);
}

void TExColumnGrid::SetColCount(int Value) {
    TExStringGrid::SetColCount(Value);
    if (!FColumnCollection) return;
    FColumnCollection->NoRecursiveUpdate = true;
    AlignItems();
    FColumnCollection->NoRecursiveUpdate = false;
}

TGridColumnItem* TExColumnGrid::Item(int ACol) const {
    if (!FColumnCollection || ACol < 0 || ACol >= FColumnCollection->Count()) return nullptr;
    return FColumnCollection->Items(ACol);
}

TGridColumnItem* TExColumnGrid::GetColumnByName(const String& Name) {
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        if (FColumnCollection->Items(i)->Name() == Name) return FColumnCollection->Items(i);
    return nullptr;
}

void TExColumnGrid::RebuildHeaders() {
    if (FixedRows() <= 0 || !FColumnCollection) return;
    TStringList& h = ColumnHeaders();
    auto saved = h.OnChange;
    h.OnChange = nullptr;
    h.Clear();
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* it = FColumnCollection->Items(i);
        if (it->FHeader.empty() && !GetGridCell(i, 0).empty()) it->FHeader = GetGridCell(i, 0);
        h.Add(it->FHeader);
    }
    h.OnChange = saved;
}

void TExColumnGrid::ColumnHeadersChanged() {
    if (!FColumnCollection) return;
    TStringList& h = ColumnHeaders();
    for (int i = 0; i < FColumnCollection->Count() && i < h.Count(); ++i) FColumnCollection->Items(i)->FHeader = h[i];
}

void TExColumnGrid::Loaded() {
    TExStringGrid::Loaded();
    FColumnCollection->SetOrganization();
    RebuildHeaders();
}

bool TExColumnGrid::IsDataCell(int ACol, int ARow) { return ACol >= FixedCols() && ARow >= FixedRows(); }

bool TExColumnGrid::IsInsideCell(int ACol, int ARow) {
    return IsDataCell(ACol, ARow) && ACol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
           ARow < RowCount() - FixedFooters();
}

// ---------------------------------------------------------------------------
// Per-cell answers from the column

void TExColumnGrid::CellEditable(int ACol, int ARow, bool& CanEdit) {
    CanEdit = false;
    TGridColumnItem* it = Item(ACol);
    if (!IsLoading() && IsDataCell(ACol, ARow)) CanEdit = !(it && (it->ReadOnly() || it->Fixed()));
    TPoint b = BaseCell(ACol, ARow);
    if (CanEdit && CellPropsAssigned(b.X, b.Y)) CanEdit = !GetCellProperties(b.X, b.Y)->ReadOnly();
    DoCanEditCell(b.X, b.Y, CanEdit);
}

void TExColumnGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
    if (TGridColumnItem* it = Item(ACol); it && IsDataCell(ACol, ARow)) IsFixed = it->Fixed();
    TExStringGrid::IsFixedCell(ACol, ARow, IsFixed);
}

void TExColumnGrid::GetCellEditor(int ACol, int ARow, TEditorType& AEditor) {
    if (TGridColumnItem* it = Item(ACol)) {
        if (IsDataCell(ACol, ARow)) {
            AEditor = it->Editor();
            if (AEditor == edSpinEdit || AEditor == edFloatSpinEdit || AEditor == edTimeSpinEdit ||
                AEditor == edDateSpinEdit) {
                SpinEdit()->SetMinValue(it->SpinMin());
                SpinEdit()->SetMaxValue(it->SpinMax());
                SpinEdit()->SetIncrement(it->SpinStep());
            }
            // A grid-wide link stays for columns without one of their own.
            if (it->EditLink()) SetEditLink(it->EditLink());
        }
        if (!it->FloatFormat().empty()) SetFloatFormat(it->FloatFormat());
    }
    TExStringGrid::GetCellEditor(ACol, ARow, AEditor);
}

String TExColumnGrid::GetFloatFormat(int ACol, int ARow) {
    TGridColumnItem* it = Item(ACol);
    if (it && !it->FloatFormat().empty()) return it->FloatFormat();
    return TExStringGrid::GetFloatFormat(ACol, ARow);
}

// The column's texts win over the grid's and over the event's answer.
String TExColumnGrid::DoGetCheckTrue(int ACol, int ARow) {
    String s = TExStringGrid::DoGetCheckTrue(ACol, ARow);
    if (TGridColumnItem* it = Item(ACol); it && IsInsideCell(ACol, ARow)) s = it->CheckTrue();
    return s;
}

String TExColumnGrid::DoGetCheckFalse(int ACol, int ARow) {
    String s = TExStringGrid::DoGetCheckFalse(ACol, ARow);
    if (TGridColumnItem* it = Item(ACol); it && IsInsideCell(ACol, ARow)) s = it->CheckFalse();
    return s;
}

TCellGraphic* TExColumnGrid::GetCellGraphic(int ACol, int ARow) {
    if (TCellGraphic* g = TExStringGrid::GetCellGraphic(ACol, ARow)) return g;
    TGridColumnItem* it = Item(ACol);
    if (it && it->Editor() == edDataCheckBox && IsInsideCell(ACol, ARow)) return &FCellGraphic;
    return nullptr;
}

void TExColumnGrid::DoGetFormat(int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix) {
    if (TGridColumnItem* it = Item(ACol)) {
        AStyle = it->SortStyle();
        APrefix = it->SortPrefix();
        ASuffix = it->SortSuffix();
    }
    TExStringGrid::DoGetFormat(ACol, AStyle, APrefix, ASuffix);
}

bool TExColumnGrid::DoGetColumnFilter(int Col) {
    FilterList().SetSorted(false);
    TExStringGrid::DoGetColumnFilter(Col);
    if (Col < 0 || Col >= FColumnCollection->Count() || FColumnCollection->Items(Col)->Filter().Count() == 0)
        return false;
    const TStringList& values = FColumnCollection->Items(Col)->Filter();
    FilterList().Clear();
    for (int i = 0; i < values.Count(); ++i) {
        const String& v = values[i];
        FilterList().Add(v.substr(0, v.find(u'=')));
    }
    return true;
}

void TExColumnGrid::DoFilterSelect(int ItemIndex) {
    const int col = FilterCol();
    TGridColumnItem* it = Item(col);
    if (!it || it->Filter().Count() == 0) {
        TExStringGrid::DoFilterSelect(ItemIndex);
        return;
    }
    if (CanFocus()) SetFocus();
    ForgetFilterCol();
    if (ItemIndex < 0 || ItemIndex >= it->Filter().Count()) return;
    const String entry = it->Filter()[ItemIndex];
    const size_t eq = entry.find(u'=');
    const String friendly = entry.substr(0, eq);
    String condition = eq == String::npos ? entry : entry.substr(eq + 1);
    TExGridTools& t = Tools();
    if (FAutoFilterDisplay) it->SetHeader(friendly);
    if (t.AutoFilterUpdate) SetFilterActive(false);
    if (t.OnFilterSelect) t.OnFilterSelect(this, col, ItemIndex, friendly, condition);
    TFilterData* f = Filter().GetColFilter(col);
    f->SetCondition(condition);
    f->SetCaseSensitive(it->FilterCaseSensitive());
    if (t.AutoFilterUpdate) {
        SetFilterActive(true);
        const bool dataRows = RowCount() > TCustomGrid::FixedRows() && !(FixedRowAlways() && RowCount() == 1);
        if (dataRows) SetRow(TCustomGrid::FixedRows());
        DoFilterDone();
    }
}

String TExColumnGrid::GetFormattedCell(int ACol, int ARow) {
    TGridColumnItem* it = Item(ACol);
    if (!it) return TExStringGrid::GetFormattedCell(ACol, ARow);
    String text = GetCellEx(ACol, ARow);
    int kind = ClassifyNumberText(text);
    bool isNumber = kind == 0 || kind == 1;
    if (it->FloatFormat().empty() || !isNumber) return text;
    return Format(it->FloatFormat(), {Floats(ACol, ARow)});
}

bool TExColumnGrid::SaveCellView(int ACol, int ARow, std::u16string_view& Text) {
    // A column's float format may show the text otherwise.
    if (SaveVirtCells() && Item(ACol)) return false;
    return TExStringGrid::SaveCellView(ACol, ARow, Text);
}

TCellType TExColumnGrid::GetCellType(int ACol, int ARow) {
    TCellType t = TExStringGrid::GetCellType(ACol, ARow);
    if (t != ctEmpty) return t;
    TGridColumnItem* it = Item(ACol);
    if (it && it->Editor() == edDataCheckBox && IsInsideCell(ACol, ARow)) return ctDataCheckBox;
    return t;
}

void TExColumnGrid::GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                                        TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA,
                                        TVAlignment& VA, bool& WW, TCellGradientDirection& GD) {
    TGridColumnItem* it = Item(ACol);
    if (!it) {
        TExStringGrid::GetCellPropDefaults(ACol, ARow, AFont, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, HA, VA,
                                           WW, GD);
        return;
    }
    // A header keeps the column's header font, which painting gives it.
    AFont.Assign(ARow < FixedRows() ? &it->HeaderFont() : &it->Font());
    ABrush.SetColor(it->Color());
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    HA = ARow < FixedRows() ? it->HeaderAlignment() : it->Alignment();
    VA = VAlignment();
    WW = WordWrap();
    GD = GradientVertical;
    if (IsFixed(DisplColIndex(ACol), ARow)) {
        ABrush.SetColor(clNone);
        AColorTo = clNone;
    }
}

void TExColumnGrid::DoGetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) {
    TGridColumnItem* it = Item(ACol);
    if (it && ACol >= FixedCols() && IsInsideCell(ACol, std::max(ARow, FixedRows()))) {
        if (it->Fixed()) ABrush.SetColor(FixedColor());
        else if (ARow >= FixedRows()) ABrush.SetColor(it->Color());
        AFont.Assign(ARow < FixedRows() ? &it->HeaderFont() : &it->Font());
        // The cell's own colours win, whatever it shows.
        if (CellPropsAssigned(ACol, ARow)) {
            const TCellProperties& p = *GetCellProperties(ACol, ARow);
            if (p.BrushColor() != clNone) ABrush.SetColor(p.BrushColor());
            if (p.FontColor() != clNone) AFont.SetColor(p.FontColor());
        }
    }
    TExStringGrid::DoGetCellColor(ACol, ARow, AState, ABrush, AFont);
}

// Data cells take their column's borders and pen, then the grid's event.
void TExColumnGrid::DoGetCellBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) {
    TGridColumnItem* it = Item(ACol);
    if (it && ACol >= FixedCols() && ARow >= FixedRows() && !it->Borders().Empty()) {
        Borders = it->Borders();
        APen.Assign(&it->BorderPen());
    }
    TExStringGrid::DoGetCellBorder(ACol, ARow, APen, Borders);
}

TAlignment TExColumnGrid::DoGetAlignment(int ACol, int ARow) {
    if (CellPropsAssigned(ACol, ARow)) return GetCellProperties(ACol, ARow)->Alignment();
    if (TGridColumnItem* it = Item(ACol)) return ARow < FixedRows() ? it->HeaderAlignment() : it->Alignment();
    return TExStringGrid::DoGetAlignment(ACol, ARow);
}

// A width is kept within the column's limits, each only when above 0.
void TExColumnGrid::DoUpdateColumnSize(int ACol, int& AWidth) {
    if (TGridColumnItem* it = Item(ACol)) {
        if (it->MinSize() > 0) AWidth = std::max(AWidth, it->MinSize());
        if (it->MaxSize() > 0) AWidth = std::min(AWidth, it->MaxSize());
    }
    TExStringGrid::DoUpdateColumnSize(ACol, AWidth);
}

void TExColumnGrid::DoUpdateColumnSizeAuto(int ACol, int& AWidth) {
    if (TGridColumnItem* it = Item(ACol)) {
        if (it->AutoMinSize() > 0) AWidth = std::max(AWidth, it->AutoMinSize());
        if (it->AutoMaxSize() > 0) AWidth = std::min(AWidth, it->AutoMaxSize());
    }
    TExStringGrid::DoUpdateColumnSizeAuto(ACol, AWidth);
}

// The column's answer, which the event may change.
bool TExColumnGrid::DoIsPasswordCell(int ACol, int ARow) {
    TGridColumnItem* it = Item(ACol);
    if (!it) return TExStringGrid::DoIsPasswordCell(ACol, ARow);
    bool password = it->Password();
    if (OnIsPasswordCell) OnIsPasswordCell(this, ARow, ACol, password);
    return password;
}

// A combo column's data cells show the button; the grid's default rule is not asked.
bool TExColumnGrid::DoHasComboBox(int ACol, int ARow) {
    TGridColumnItem* it = Item(ACol);
    if (!it) return TExStringGrid::DoHasComboBox(ACol, ARow);
    bool has = IsDataCell(ACol, ARow) && (it->Editor() == edComboEdit || it->Editor() == edComboList);
    if (OnHasComboBox) OnHasComboBox(this, ACol, ARow, has);
    return has;
}

void TExColumnGrid::DoGetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) {
    if (TGridColumnItem* it = Item(ACol)) {
        if (!IsInsideCell(ACol, ARow)) {
            AFont.Assign(&PrintSettings().FixedFont());
        } else {
            const TColor own = CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->BrushColor() : clNone;
            if (own != clNone) ABrush.SetColor(own);
            else if (it->Fixed()) ABrush.SetColor(FixedColor());
            else if (!(it->ShowBands() && Bands().Active() && Bands().Print())) ABrush.SetColor(it->PrintColor());
            if (it->PrintFontCustom()) {
                AFont.Assign(&it->PrintFont());
                // What the cell sets of its own font wins.
                if (CellPropsAssigned(ACol, ARow)) {
                    const TCellProperties& p = *GetCellProperties(ACol, ARow);
                    if (p.FontColor() != clNone) AFont.SetColor(p.FontColor());
                    if (!p.FontStyle().Empty()) AFont.SetStyle(p.FontStyle());
                    if (p.FontSize() != 0) AFont.SetSize(p.FontSize());
                    if (!p.FontName().empty()) AFont.SetName(p.FontName());
                }
            } else {
                AFont.Assign(&PrintSettings().Font());
            }
        }
    }
    TExStringGrid::DoGetCellPrintColor(ACol, ARow, AState, ABrush, AFont);
}

void TExColumnGrid::DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) {
    if (TGridColumnItem* it = Item(ACol); it && IsDataCell(ACol, ARow) && it->PrintBorderCustom()) {
        Borders = it->PrintBorders();
        APen.Assign(&it->PrintBorderPen());
    }
    TExStringGrid::DoGetCellPrintBorder(ACol, ARow, APen, Borders);
}

void TExColumnGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExStringGrid::MouseDown(Button, Shift, X, Y);
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    TGridColumnItem* it = c >= 0 && r >= 0 ? Item(c) : nullptr;
    if (!it || !it->ColumnPopup()) return;
    const TColumnPopupType t = it->ColumnPopupType();
    const bool fixedRow = r < FixedRows();
    bool pops = false;
    if (Button == mbLeft)
        pops = (fixedRow && (t == cpFixedCellsLClick || t == cpAllCellsLClick)) ||
               (!fixedRow && (t == cpNormalCellsLClick || t == cpAllCellsLClick));
    else if (Button == mbRight)
        pops = (fixedRow && (t == cpFixedCellsRClick || t == cpAllCellsRClick)) ||
               (!fixedRow && (t == cpNormalCellsRClick || t == cpAllCellsRClick));
    if (!pops) return;
    TPopupMenu* menu = it->ColumnPopup();
    if (OnColumnPopup) OnColumnPopup(this, c, r, menu);
    // Under the cell, at its left.
    const TRect R = CellRect(c, r);
    const TPoint at = ClientToScreen({R.Left, R.Bottom});
    menu->PopupComponent = this;
    menu->Popup(at.X, at.Y);
}

String TExColumnGrid::GetEditMask(int ACol, int ARow) {
    int rc = RealColIndex(ACol);
    String v;
    if (TGridColumnItem* it = Item(rc); it && ACol >= FixedCols()) v = it->EditMask();
    String fw = TExStringGrid::GetEditMask(ACol, ARow);
    return fw.empty() ? v : fw;
}

void TExColumnGrid::DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink) {
    TGridColumnItem* it = Item(ACol);
    if (it && (it->Editor() == edComboList || it->Editor() == edComboEdit)) {
        Combobox()->Items().Assign(&it->ComboItems());
        Combobox()->SetDropDownCount(it->DropDownCount());
    }
    TExStringGrid::DoGetEditorProp(ACol, ARow, AEditLink);
}

int TExColumnGrid::GetEditLimit() {
    if (TGridColumnItem* it = Item(RealColIndex(Col())); it && Col() >= FixedCols()) return it->EditLength();
    return TExStringGrid::GetEditLimit();
}

// ---------------------------------------------------------------------------
// Structure

void TExColumnGrid::InsertCols(int ColIndex, int CCount) {
    TExStringGrid::InsertCols(ColIndex, CCount);
    FColumnCollection->NoRecursiveUpdate = true;
    for (int i = 0; i < CCount; ++i) FColumnCollection->Insert(std::min(ColIndex, FColumnCollection->Count()));
    AlignItems();
    FColumnCollection->NoRecursiveUpdate = false;
}

void TExColumnGrid::RemoveCols(int ColIndex, int CCount) {
    TExStringGrid::RemoveCols(ColIndex, CCount);
    FColumnCollection->NoRecursiveUpdate = true;
    for (int i = 0; i < CCount && ColIndex < FColumnCollection->Count(); ++i) FColumnCollection->Delete(ColIndex);
    AlignItems();
    FColumnCollection->NoRecursiveUpdate = false;
}

void TExColumnGrid::Group(int Col) {
    if (GroupColumn() != -1) UnGroup();
    if (TGridColumnItem* it = Item(Col)) FSaveCol.AssignWhole(*it);
    TExStringGrid::Group(Col);
}

void TExColumnGrid::UnGroup() {
    const int col = GroupColumn();
    TExStringGrid::UnGroup();
    if (col == -1) return;
    if (TGridColumnItem* it = Item(col)) {
        it->AssignWhole(FSaveCol);
        InvalidateGrid();
    }
}

// The framework moved sizes and cells; the column item follows with its settings.
void TExColumnGrid::ColumnMoved(int FromIndex, int ToIndex) {
    FColumnCollection->NoRecursiveUpdate = true;
    int top = TopRow();
    int rf = RealColIndex(FromIndex), rt = RealColIndex(ToIndex);
    TExStringGrid::ColumnMoved(FromIndex, ToIndex);
    FColMoving = true;
    BeginUpdate();
    TGridColumnItem saved(nullptr);
    saved.Assign(FColumnCollection->Items(rf));
    FColumnCollection->Delete(rf);
    FColumnCollection->Insert(rt)->Assign(&saved);
    SetTopRow(top);
    FColMoving = false;
    EndUpdate();
    FColumnCollection->NoRecursiveUpdate = false;
    if (OnAfterColumnMoved) OnAfterColumnMoved(this, rf, rt);
}

void TExColumnGrid::ChangeScale(int M, int D) {
    TExStringGrid::ChangeScale(M, D);
    if (ComponentState().Contains(csDesigning) || M == D || D == 0) return;
    for (int i = 0; i < ColCount() && i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* it = FColumnCollection->Items(i);
        it->FFont.SetSize(int(std::lround(double(it->FFont.Size()) * M / D)));
        it->FHeaderFont.SetSize(int(std::lround(double(it->FHeaderFont.Size()) * M / D)));
    }
}

void TExColumnGrid::ColWidthsChanged() {
    TExStringGrid::ColWidthsChanged();
    if (IsLoading() || IsDestroying() || !FColumnCollection) return;
    for (int d = 0; d < ColCount(); ++d)
        if (TGridColumnItem* it = Item(RealColIndex(d))) it->FWidth = ColWidths(d);
}

// ---------------------------------------------------------------------------
// Column positions and the column stream

void TExColumnGrid::SaveColumnPositions(const String& Key, const String& Section) {
    TIniFile ini(Key);
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        ini.WriteInteger(Section, u"CP" + IntToStr(i), FColumnCollection->Items(i)->DefIdx);
    ini.UpdateFile();
}

void TExColumnGrid::LoadColumnPositions(const String& Key, const String& Section) {
    TIniFile ini(Key);
    int n = FColumnCollection->Count();
    std::vector<int> design(n);
    for (int j = 0; j < n; ++j) {
        design[j] = ini.ReadInteger(Section, u"CP" + IntToStr(j), -1);
        if (design[j] < 0 || design[j] >= n) return;
    }
    for (int j = 0; j < n; ++j) FColumnCollection->Items(design[j])->DefIdx = j;
    FColumnCollection->ResetOrganization();
    for (int j = 0; j < n; ++j) FColumnCollection->Items(j)->DefIdx = design[j];
}

namespace {

// One stored setting of a column: its name and how it reads and writes as text.
struct TColumnField {
    const char16_t* Name;
    String (*Get)(TGridColumnItem&);
    void (*Set)(TGridColumnItem&, const String&);
};

String FontText(TFont& F) {
    return F.Name() + u"|" + IntToStr(F.Size()) + u"|" + IntToStr(int(F.Color())) + u"|" +
           IntToStr(int(F.Style().Contains(fsBold)) | int(F.Style().Contains(fsItalic)) << 1 |
                    int(F.Style().Contains(fsUnderline)) << 2 | int(F.Style().Contains(fsStrikeOut)) << 3);
}

// Borders as their TCellBorder numbers joined by ","; a pen as colour|width|style.
String BordersText(const TSet<int>& B) {
    String out;
    for (int b = cbLeft; b <= cbBottom; ++b)
        if (B.Contains(b)) out += (out.empty() ? u"" : u",") + IntToStr(b);
    return out;
}

TSet<int> TextBorders(const String& S) {
    TSet<int> out;
    String cur;
    for (size_t i = 0; i <= S.size(); ++i) {
        if (i == S.size() || S[i] == u',') {
            if (!cur.empty()) {
                const int b = StrToInt(cur);
                if (b < cbLeft || b > cbBottom) throw EReadError(u"Invalid column borders");
                out.Include(b);
            }
            cur.clear();
        } else
            cur += S[i];
    }
    return out;
}

String PenText(const TPen& P) {
    return IntToStr(int(P.Color())) + u"|" + IntToStr(P.Width()) + u"|" + IntToStr(int(P.Style()));
}

void SetPenText(TPen& P, const String& S) {
    const size_t a = S.find(u'|'), b = a == String::npos ? a : S.find(u'|', a + 1);
    if (b == String::npos) throw EReadError(u"Invalid column pen");
    P.SetColor(TColor(StrToInt(S.substr(0, a))));
    P.SetWidth(StrToInt(S.substr(a + 1, b - a - 1)));
    P.SetStyle(TPenStyle(StrToInt(S.substr(b + 1))));
}

void SetFontText(TFont& F, const String& S) {
    std::vector<String> parts;
    String cur;
    for (Char c : S) {
        if (c == u'|') {
            parts.push_back(cur);
            cur.clear();
        } else
            cur += c;
    }
    parts.push_back(cur);
    if (parts.size() != 4) throw EReadError(u"Invalid column font");
    F.SetName(parts[0]);
    F.SetSize(StrToInt(parts[1]));
    F.SetColor(TColor(StrToInt(parts[2])));
    int bits = StrToInt(parts[3]);
    TFontStyles st;
    if (bits & 1) st.Include(fsBold);
    if (bits & 2) st.Include(fsItalic);
    if (bits & 4) st.Include(fsUnderline);
    if (bits & 8) st.Include(fsStrikeOut);
    F.SetStyle(st);
}

#define COLUMN_INT(Prop, Type)                                                        \
    {u## #Prop, [](TGridColumnItem& i) { return IntToStr(int(i.Prop())); },         \
     [](TGridColumnItem& i, const String& v) { i.Set##Prop(Type(StrToInt(v))); }}
#define COLUMN_TEXT(Prop)                                    \
    {u## #Prop, [](TGridColumnItem& i) { return i.Prop(); }, \
     [](TGridColumnItem& i, const String& v) { i.Set##Prop(v); }}

const TColumnField ColumnFields[] = {
    COLUMN_TEXT(Header),
    COLUMN_INT(Width, int),
    COLUMN_INT(Alignment, TAlignment),
    COLUMN_INT(HeaderAlignment, TAlignment),
    COLUMN_INT(Editor, TEditorType),
    {u"ComboItems", [](TGridColumnItem& i) { return i.ComboItems().CommaText(); },
     [](TGridColumnItem& i, const String& v) { i.ComboItems().SetCommaText(v); }},
    COLUMN_INT(DropDownCount, int),
    COLUMN_INT(ReadOnly, bool),
    COLUMN_INT(Fixed, bool),
    COLUMN_INT(EditLength, int),
    COLUMN_TEXT(EditMask),
    COLUMN_INT(SpinMin, int),
    COLUMN_INT(SpinMax, int),
    COLUMN_INT(SpinStep, int),
    {u"Font", [](TGridColumnItem& i) { return FontText(i.Font()); },
     [](TGridColumnItem& i, const String& v) { SetFontText(i.Font(), v); }},
    {u"HeaderFont", [](TGridColumnItem& i) { return FontText(i.HeaderFont()); },
     [](TGridColumnItem& i, const String& v) { SetFontText(i.HeaderFont(), v); }},
    COLUMN_INT(Color, TColor),
    COLUMN_TEXT(CheckTrue),
    COLUMN_TEXT(CheckFalse),
    COLUMN_INT(Password, bool),
    COLUMN_INT(ShowBands, bool),
    {u"Filter", [](TGridColumnItem& i) { return i.Filter().CommaText(); },
     [](TGridColumnItem& i, const String& v) { i.Filter().SetCommaText(v); }},
    COLUMN_INT(FilterCaseSensitive, bool),
    COLUMN_INT(SortStyle, TSortStyle),
    COLUMN_TEXT(SortPrefix),
    COLUMN_TEXT(SortSuffix),
    COLUMN_TEXT(FloatFormat),
    COLUMN_INT(MinSize, int),
    COLUMN_INT(MaxSize, int),
    COLUMN_INT(AutoMinSize, int),
    COLUMN_INT(AutoMaxSize, int),
    COLUMN_INT(PrintColor, TColor),
    {u"PrintFont", [](TGridColumnItem& i) { return FontText(i.PrintFont()); },
     [](TGridColumnItem& i, const String& v) { SetFontText(i.PrintFont(), v); }},
    COLUMN_INT(PrintFontCustom, bool),
    {u"PrintBorders", [](TGridColumnItem& i) { return BordersText(i.PrintBorders()); },
     [](TGridColumnItem& i, const String& v) { i.SetPrintBorders(TextBorders(v)); }},
    {u"PrintBorderPen", [](TGridColumnItem& i) { return PenText(i.PrintBorderPen()); },
     [](TGridColumnItem& i, const String& v) { SetPenText(i.PrintBorderPen(), v); }},
    COLUMN_INT(PrintBorderCustom, bool),
    {u"Borders", [](TGridColumnItem& i) { return BordersText(i.Borders()); },
     [](TGridColumnItem& i, const String& v) { i.SetBorders(TextBorders(v)); }},
    {u"BorderPen", [](TGridColumnItem& i) { return PenText(i.BorderPen()); },
     [](TGridColumnItem& i, const String& v) { SetPenText(i.BorderPen(), v); }},
    COLUMN_INT(ColumnPopupType, TColumnPopupType),
    COLUMN_TEXT(Name),
    COLUMN_INT(Tag, int),
};

constexpr char16_t StreamSignature[] = u"TExColumnGridIO";

// Line breaks and the escape itself inside a value.
String EscapeValue(const String& S) {
    String out;
    for (Char c : S) {
        if (c == u'\\') out += u"\\\\";
        else if (c == u'\n') out += u"\\n";
        else if (c == u'\r') out += u"\\r";
        else out += c;
    }
    return out;
}

String UnescapeValue(const String& S) {
    String out;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == u'\\' && i + 1 < S.size()) {
            Char n = S[++i];
            out += n == u'n' ? u'\n' : n == u'r' ? u'\r' : n;
        } else
            out += S[i];
    }
    return out;
}

}  // namespace

void TExColumnGrid::SaveColumnsToStream(TStream& Stream) {
    String text = String(StreamSignature) + u"\n";
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        text += u"item\n";
        for (const TColumnField& f : ColumnFields)
            text += String(f.Name) + u"=" + EscapeValue(f.Get(*FColumnCollection->Items(i))) + u"\n";
        text += u"end\n";
    }
    std::string utf8 = StringToUtf8(text);
    Stream.WriteBuffer(utf8.data(), int(utf8.size()));
}

void TExColumnGrid::LoadColumnsFromStream(TStream& Stream) {
    std::string utf8;
    char buf[4096];
    for (int n; (n = Stream.Read(buf, sizeof buf)) > 0;) utf8.append(buf, size_t(n));
    String text = Utf8ToString(utf8);
    std::vector<String> lines;
    String cur;
    for (Char c : text) {
        if (c == u'\n') {
            lines.push_back(cur);
            cur.clear();
        } else
            cur += c;
    }
    if (lines.empty() || lines[0] != StreamSignature) throw EReadError(u"Invalid column stream");
    // Read into a carrier first so that a broken stream changes nothing.
    TGridColumnCollection carrier(this);
    carrier.NoRecursiveUpdate = true;
    TGridColumnItem* item = nullptr;
    for (size_t l = 1; l < lines.size(); ++l) {
        const String& line = lines[l];
        if (line == u"item") item = static_cast<TGridColumnItem*>(carrier.TCollection::Add());
        else if (line == u"end") item = nullptr;
        else {
            size_t eq = line.find(u'=');
            if (!item || eq == String::npos) throw EReadError(u"Invalid column stream");
            String name = line.substr(0, eq);
            auto f = std::find_if(std::begin(ColumnFields), std::end(ColumnFields),
                                  [&](const TColumnField& x) { return name == x.Name; });
            if (f == std::end(ColumnFields)) throw EReadError(u"Invalid column stream");
            try {
                f->Set(*item, UnescapeValue(line.substr(eq + 1)));
            } catch (const EConvertError&) {
                throw EReadError(u"Invalid column stream");
            }
        }
    }
    FColumnCollection->NoRecursiveUpdate = true;
    FColumnCollection->BeginUpdate();
    FColumnCollection->Clear();
    for (int i = 0; i < carrier.Count(); ++i) {
        auto* it = static_cast<TGridColumnItem*>(FColumnCollection->TCollection::Add());
        it->AssignWhole(*carrier.Items(i));
    }
    FColumnCollection->EndUpdate();
    FColumnCollection->NoRecursiveUpdate = false;
    InvalidateGrid();
}

void TGridColumnItem::SetEditLink(TEditLink* Value) {
    FEditLink = Value;
    if (Value && Grid()) Value->FreeNotification(Grid());
}

void TExColumnGrid::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && FColumnCollection) {
        for (int i = 0; i < FColumnCollection->Count(); ++i) {
            TGridColumnItem* it = FColumnCollection->Items(i);
            if (it->EditLink() == AComponent) it->SetEditLink(nullptr);
            if (it->ColumnPopup() == AComponent) it->FColumnPopup = nullptr;
        }
    }
    TExStringGrid::Notification(AComponent, Operation);
}
