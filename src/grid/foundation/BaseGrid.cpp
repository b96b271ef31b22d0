#include "grid/foundation/BaseGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridUndoRedo.h"

#include "framework/Windows.h"

#include <vector>

// ---------------------------------------------------------------------------
// TCellProperties

TCellProperties::TCellProperties(TBaseGrid* AOwner, int ACol, int ARow)
    : FOwnerGrid(AOwner), FOwnerCol(ACol), FOwnerRow(ARow) {
    if (FOwnerGrid) {
        FWordWrap = FOwnerGrid->WordWrap();
        FOwnerGrid->FHasCellProps = true;
        FOwnerGrid->FAllProps.insert(this);
    }
}

TCellProperties::~TCellProperties() {
    if (FOwnerGrid && !FOwnerGrid->FFreeingAll) FOwnerGrid->FAllProps.erase(this);
}

void TCellProperties::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TCellProperties*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FIsBaseCell = s->FIsBaseCell;
    FCellSpanX = s->FCellSpanX;
    FCellSpanY = s->FCellSpanY;
    FOwnerRow = s->FOwnerRow;
    FOwnerCol = s->FOwnerCol;
    FObject = s->FObject;
    FAlignment = s->FAlignment;
    FBorderColor = s->FBorderColor;
    FBorderWidth = s->FBorderWidth;
    FBrushColor = s->FBrushColor;
    FBrushStyle = s->FBrushStyle;
    FFontColor = s->FFontColor;
    FFontStyle = s->FFontStyle;
    FFontName = s->FFontName;
    FFontSize = s->FFontSize;
    FReadOnly = s->FReadOnly;
    FEditor = s->FEditor;
    FVAlignment = s->FVAlignment;
    FWordWrap = s->FWordWrap;
    FNodeLevel = s->FNodeLevel;
    FControl = s->FControl;
}

TPoint TCellProperties::GetBaseCell(int ACol, int ARow) const {
    if (!FIsBaseCell && FCellSpanX != -1 && FCellSpanY != -1) return {ACol - FCellSpanX, ARow - FCellSpanY};
    return {ACol, ARow};
}

void TCellProperties::Repaint() {
    if (FOwnerGrid) FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor Value) {
    FBrushColor = Value;
    Repaint();
}

void TCellProperties::SetBrushColorTo(TColor Value) {
    FBrushColorTo = Value;
    Repaint();
}

void TCellProperties::SetVAlignment(TVAlignment Value) {
    FVAlignment = Value;
    Repaint();
}

void TCellProperties::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Repaint();
}

// ---------------------------------------------------------------------------
// TBaseGrid: life

TBaseGrid::TBaseGrid(TComponent* AOwner) : TStringGrid(AOwner) {
    SetGridLineWidth(1);
    SetDefaultDrawing(false);
}

TBaseGrid::~TBaseGrid() {
    // Every properties object, wherever the grid class keeps it (hidden
    // columns, rows beyond a shrunk count), goes with its own graphic.
    FFreeingAll = true;
    for (TCellProperties* p : FAllProps) FreeProps(p, true);
    FAllProps.clear();
    if (FUndoRedo) FUndoRedo->SetGrid(nullptr);
}

void TBaseGrid::FreeProps(TCellProperties* Props, bool WithGraphic) {
    if (WithGraphic) delete dynamic_cast<TCellGraphicBase*>(Props->FGraphicObject);
    delete Props;
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == FUndoRedo) FUndoRedo = nullptr;
    TStringGrid::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------
// Overridable operations: what the base grid itself does

bool TBaseGrid::IsFixed(int, int) { return false; }
int TBaseGrid::NodeIndent(int) { return 0; }
bool TBaseGrid::HasNodes() { return false; }
void TBaseGrid::HiddenLastRowChanged() {}

void TBaseGrid::DoGetDisplText(int ACol, int ARow, String& Value) {
    if (OnGetDisplText) OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::DoGetDisplWideText(int ACol, int ARow, String& Value) {
    if (OnGetDisplWideText) OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::GetCellPropDefaults(int, int, TFont& AFont, TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                    TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
                                    TCellGradientDirection& GD) {
    AFont.Assign(&Font());
    ABrush.SetColor(Color());
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    HA = taLeftJustify;
    VA = vtaTop;
    WW = FWordWrap;
    GD = GradientVertical;
}

void TBaseGrid::CellTextChanged(int, int) {}
bool TBaseGrid::HasCellBorders() { return false; }
bool TBaseGrid::UsesFwStyles() { return false; }

void TBaseGrid::GetVisualProperties(int, int, TGridDrawState&, bool, bool, bool, TBrush&, TColor&, TColor&, TColor&,
                                    TFont&, TAlignment&, TVAlignment&, bool&, TCellGradientDirection&) {}

int TBaseGrid::DisplColIndex(int ACol) { return ACol; }
int TBaseGrid::TotalColCount() { return ColCount(); }

// ---------------------------------------------------------------------------
// Cell text and objects

TCellProperties* TBaseGrid::PropsOf(int ACol, int ARow) {
    // Most cells hold nothing: the store answers that first and cheaply.
    TObject* o = Objects(ACol, ARow);
    if (!o || ACol < 0 || ARow < 0 || ARow >= RowCount() || ACol >= TotalColCount()) return nullptr;
    return dynamic_cast<TCellProperties*>(o);
}

bool TBaseGrid::CellPropsAssigned(int ACol, int ARow) { return PropsOf(ACol, ARow) != nullptr; }

String TBaseGrid::GetCellEx(int ACol, int ARow) {
    if (const TCellProperties* p = PropsOf(ACol, ARow)) {
        const TPoint b = p->GetBaseCell(ACol, ARow);
        ACol = b.X;
        ARow = b.Y;
    }
    String value(Data().TextView(ACol, ARow));
    if (ARow < FNormalRowCount) {
        DoGetDisplText(ACol, ARow, value);
        if (OnGetDisplWideText) {
            String wide = DecodeWideCellText(value);
            DoGetDisplWideText(ACol, ARow, wide);
            value = EncodeWideCellText(wide);
        }
    }
    return value;
}

void TBaseGrid::SetCellEx(int ACol, int ARow, const String& Value) {
    if (const TCellProperties* p = PropsOf(ACol, ARow)) {
        const TPoint b = p->GetBaseCell(ACol, ARow);
        Data().SetText(b.X, b.Y, Value);
        CellTextChanged(b.X, b.Y);
        if (Parent()) RepaintCell(ACol, ARow);
    } else {
        SetCells(ACol, ARow, Value);
    }
    if (FHideLastRow && ARow == RowCount() - 1) HiddenLastRowChanged();
}

TObject* TBaseGrid::GetObjectEx(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? reinterpret_cast<TObject*>(p->CellObject()) : nullptr;
}

void TBaseGrid::SetObjectEx(int ACol, int ARow, TObject* Value) {
    // An empty cell holds a blank while its properties change, as the grid
    // classes' text notifications expect.
    const bool empty = GetCellEx(ACol, ARow).empty();
    if (empty) SetCellEx(ACol, ARow, u" ");
    if (TCellProperties* p = GetCellProperties(ACol, ARow)) p->SetCellObject(reinterpret_cast<std::uintptr_t>(Value));
    if (empty) SetCellEx(ACol, ARow, String());
}

TObject* TBaseGrid::GetGraphicObjectEx(int ACol, int ARow) {
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->GraphicObject() : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int ACol, int ARow, TObject* Value) {
    if (ComponentState().Contains(csDestroying)) return;
    const bool empty = GetCellEx(ACol, ARow).empty();
    if (empty) SetCellEx(ACol, ARow, u" ");
    if (TCellProperties* p = GetCellProperties(ACol, ARow)) p->SetGraphicObject(Value);
    if (empty) SetCellEx(ACol, ARow, String());
}

// ---------------------------------------------------------------------------
// Cell properties

TCellProperties* TBaseGrid::GetCellProperties(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return nullptr;
    if (auto* existing = dynamic_cast<TCellProperties*>(Objects(ACol, ARow))) return existing;
    auto* p = new TCellProperties(this, ACol, ARow);
    Data().SetObject(ACol, ARow, p);
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetCellPropDefaults(ACol, ARow, font, brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
    // Filled in directly and repainted once: each repainting setter would
    // measure the cell's rectangle again.
    p->FCalcType = acNONE;
    p->FAlignment = ha;
    p->FVAlignment = va;
    p->FWordWrap = ww;
    p->FFontName = font.Name();
    p->FFontSize = font.Size();
    p->FFontStyle = font.Style();
    p->FFontColor = font.Color();
    p->FBrushColor = brush.Color();
    p->FBrushColorTo = colorTo;
    p->FGradientDirection = gd;
    p->Repaint();
    return p;
}

void TBaseGrid::SetCellProperties(int ACol, int ARow, TCellProperties* Value) {
    if (auto* old = dynamic_cast<TCellProperties*>(Objects(ACol, ARow)); old && old != Value) FreeProps(old, false);
    Data().SetObject(ACol, ARow, Value);
}

void TBaseGrid::FreeCellProps(int ACol, int ARow) {
    if (auto* p = dynamic_cast<TCellProperties*>(Objects(ACol, ARow))) FreeProps(p, false);
    if (Objects(ACol, ARow)) Data().SetObject(ACol, ARow, nullptr);
}

void TBaseGrid::FreeCellPropsRect(int ACol1, int ARow1, int ACol2, int ARow2) {
    if (!FHasCellProps) return;
    for (int c = ACol1; c <= ACol2; ++c) {
        for (int r = ARow1; r <= ARow2; ++r) {
            TObject* o = Objects(c, r);
            if (!o) continue;
            if (auto* p = dynamic_cast<TCellProperties*>(o)) FreeProps(p, true);
            Data().SetObject(c, r, nullptr);
        }
    }
}

void TBaseGrid::FreeAllCellProps() { FreeCellPropsRect(0, 0, ColCount() - 1, RowCount() - 1); }

void TBaseGrid::ResetColCells(int ACol) {
    for (int r = 0; r < RowCount(); ++r) {
        Data().SetObject(ACol, r, nullptr);
        SetCellEx(ACol, r, String());
    }
}

void TBaseGrid::ResetRowCells(int ARow) {
    for (int c = 0; c < ColCount(); ++c) {
        Data().SetObject(c, ARow, nullptr);
        SetCellEx(c, ARow, String());
    }
}

void TBaseGrid::ResetCell(int ACol, int ARow) {
    SetCellEx(ACol, ARow, String());
    Data().SetObject(ACol, ARow, nullptr);
}

// ---------------------------------------------------------------------------
// Settings

void TBaseGrid::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    TStringGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = Value;
    TStringGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor Value) {
    FGridLineColor = Value;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor Value) {
    FGridFixedLineColor = Value;
    Invalidate();
}

namespace {
template <class T>
void StoreAndInvalidate(TBaseGrid* Grid, T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Grid->Invalidate();
}
}  // namespace

void TBaseGrid::SetSelectionStyle(TGridSelectionStyle Value) { StoreAndInvalidate(this, FSelectionStyle, Value); }
void TBaseGrid::SetActiveRowShow(bool Value) { StoreAndInvalidate(this, FActiveRowShow, Value); }
void TBaseGrid::SetActiveRowColor(TColor Value) { StoreAndInvalidate(this, FActiveRowColor, Value); }
void TBaseGrid::SetActiveRowColorTo(TColor Value) { StoreAndInvalidate(this, FActiveRowColorTo, Value); }
void TBaseGrid::SetActiveRowMirrorColor(TColor Value) { StoreAndInvalidate(this, FActiveRowMirrorColor, Value); }
void TBaseGrid::SetActiveRowMirrorColorTo(TColor Value) { StoreAndInvalidate(this, FActiveRowMirrorColorTo, Value); }

void TBaseGrid::SetUndoRedo(TExGridUndoRedo* Value) {
    if (FUndoRedo == Value) return;
    if (FUndoRedo) {
        FUndoRedo->RemoveFreeNotification(this);
        // The companion let go of outlives this grid: it must not name it.
        if (FUndoRedo->Grid() == this) FUndoRedo->SetGrid(nullptr);
    }
    FUndoRedo = Value;
    if (FUndoRedo) {
        FUndoRedo->FreeNotification(this);
        FUndoRedo->SetGrid(this);
    }
}

// ---------------------------------------------------------------------------
// Repainting and the current cell

int TBaseGrid::FixedColsWidth() {
    int w = 0;
    for (int c = 0; c < FixedCols(); ++c) w += ColWidths(c);
    return w;
}

int TBaseGrid::FixedRowsHeight() {
    int h = 0;
    for (int r = 0; r < FixedRows(); ++r) h += RowHeights(r);
    return h;
}

void TBaseGrid::RepaintCell(int c, int r) {
    if (!HandleAllocated() || RepaintsLocked()) return;
    // A plain cell out of view has no place on screen (its widened rectangle
    // would name the top-left corner); a merged area may still show in part.
    const TCellProperties* p = PropsOf(c, r);
    const bool merged = p && (p->FCellSpanX != -1 || p->FCellSpanY != -1);
    if (!merged && IsRectEmpty(TStringGrid::CellRect(c, r))) return;
    // The whole merged area holding the cell.
    const TRect area = CellRect(c, r);
    InvalidateRect(Handle(), &area, true);
}

bool TBaseGrid::SelectCell(int ACol, int ARow) {
    if (UseRightToLeftAlignment()) {
        // A mirrored grid repaints as a whole.
        const bool allowed = TStringGrid::SelectCell(ACol, ARow);
        InvalidateGrid();
        return allowed;
    }
    RepaintCell(Col(), Row());
    const bool allowed = TStringGrid::SelectCell(ACol, ARow);
    RepaintCell(ACol, ARow);
    return allowed;
}

void TBaseGrid::Paint() {
    TStringGrid::Paint();
    ++FPaintID;
}
