#pragma once
// The lowest grid of the grid library: the framework's string grid with
// per-cell properties, merged cells, display-text hooks, row highlighting,
// an optional undo companion and its own cell painter. Every grid of the
// program derives from it and reads and writes cells through GetCellEx and
// SetCellEx.
//
// Columns are real column indexes (hidden columns beyond ColCount included),
// rows are displayed rows. A cell "has properties" when it lies inside the
// grid (column below TotalColCount, row below RowCount) and its object slot
// holds its TCellProperties; only such cells can be merged, and every
// mapping to a base cell first asks that.

#include "framework/Grids.h"

#include <cstdint>
#include <functional>
#include <unordered_set>

class TBaseGrid;
class TExGridUndoRedo;

// In-place editor kinds of a cell or column.
enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown,
    edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
    edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars,
    edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown,
    edGridDropDown, edColorPickerDropDown, edImagePickerDropDown, edExGridDropDown, edPositiveFloat,
    edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn
};
static_assert(edMaskEditBtn == 42, "the editor kinds are streamed by their ordinal");

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TCellGradientDirection { GradientVertical, GradientHorizontal };
// Footer calculation kinds.
enum TColumnCalcType { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };
enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
enum THoverRowCell { hcNormal, hcFixed, hcSelected };
using THoverRowCells = TSet<THoverRowCell>;

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;

// The grid library's string grid adds nothing to the framework's.
using TObjStringGrid = TStringGrid;

// Base of the graphic objects a cell owns: a graphic object of this kind is
// freed with the cell's properties, any other belongs to whoever placed it.
class TCellGraphicBase : public TPersistent {
public:
    ~TCellGraphicBase() override = default;
};

// What a cell needs beyond its text; created on first use and owned by the grid.
class TCellProperties : public TPersistent {
public:
    TCellProperties(TBaseGrid* AOwner, int ACol, int ARow);
    ~TCellProperties() override;

    // Copies the look, merge place, owner cell, value, editor and control;
    // not the graphic, gradient end colour and direction, calculation or paint pass.
    void Assign(const TPersistent* Source) override;
    // The base cell of the merged area, given the coordinates of this object's cell.
    TPoint GetBaseCell(int ACol, int ARow) const;

    TBaseGrid* OwnerGrid() const { return FOwnerGrid; }
    int OwnerCol() const { return FOwnerCol; }
    void SetOwnerCol(int Value) { FOwnerCol = Value; }
    int OwnerRow() const { return FOwnerRow; }
    void SetOwnerRow(int Value) { FOwnerRow = Value; }
    std::uintptr_t CellObject() const { return FObject; }
    void SetCellObject(std::uintptr_t Value) { FObject = Value; }
    TObject* GraphicObject() const { return FGraphicObject; }
    void SetGraphicObject(TObject* Value) { FGraphicObject = Value; }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle Value) { FBrushStyle = Value; }
    // The four setters below repaint the cell (its whole merged area).
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor Value);
    TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor Value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    int FontSize() const { return FFontSize; }
    void SetFontSize(int Value) { FFontSize = Value; }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { FFontColor = Value; }
    TFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TFontStyles Value) { FFontStyle = Value; }
    const String& FontName() const { return FFontName; }
    void SetFontName(const String& Value) { FFontName = Value; }
    int CellSpanX() const { return FCellSpanX; }
    void SetCellSpanX(int Value) { FCellSpanX = Value; }
    int CellSpanY() const { return FCellSpanY; }
    void SetCellSpanY(int Value) { FCellSpanY = Value; }
    bool IsBaseCell() const { return FIsBaseCell; }
    void SetIsBaseCell(bool Value) { FIsBaseCell = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    // Takes effect at the cell's next repaint.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    TColumnCalcType CalcType() const { return FCalcType; }
    void SetCalcType(TColumnCalcType Value) { FCalcType = Value; }
    TObject* CalcObject() const { return FCalcObject; }
    void SetCalcObject(TObject* Value) { FCalcObject = Value; }
    int NodeLevel() const { return FNodeLevel; }
    void SetNodeLevel(int Value) { FNodeLevel = Value; }
    TEditorType Editor() const { return FEditor; }
    void SetEditor(TEditorType Value) { FEditor = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    TCellGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TCellGradientDirection Value) { FGradientDirection = Value; }
    // A control placed in the cell (not owned).
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value) { FControl = Value; }

protected:
    String ClassName() const override { return u"TCellProperties"; }

private:
    friend class TBaseGrid;
    void Repaint();

    TBaseGrid* FOwnerGrid;
    int FOwnerCol;
    int FOwnerRow;
    std::uintptr_t FObject = 0;
    TObject* FGraphicObject = nullptr;
    TBrushStyle FBrushStyle = bsSolid;
    TColor FBrushColor = clNone;
    TColor FBrushColorTo = clNone;
    int FFontSize = 0;
    TColor FFontColor = clNone;
    TFontStyles FFontStyle;
    int FCellSpanY = -1;
    int FCellSpanX = -1;
    int FBorderWidth = 0;
    TColor FBorderColor = clBlack;
    TAlignment FAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    int FPaintID = 0;
    bool FWordWrap = true;
    bool FIsBaseCell = true;
    TColumnCalcType FCalcType = acNONE;
    TObject* FCalcObject = nullptr;
    int FNodeLevel = 0;
    TEditorType FEditor = edNormal;
    String FFontName;
    bool FReadOnly = false;
    TCellGradientDirection FGradientDirection = GradientVertical;
    TControl* FControl = nullptr;
};

class TBaseGrid : public TStringGrid {
public:
    explicit TBaseGrid(TComponent* AOwner);
    ~TBaseGrid() override;

    // --- Operations a grid class overrides, in this order.
    // Painted as a fixed cell.
    virtual bool IsFixed(int ACol, int ARow);
    virtual int NodeIndent(int ARow);
    // While true, cells of column 0 get no bottom grid line.
    virtual bool HasNodes();
    // The content of a cell: its display text centred on one line.
    virtual void DrawGridCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // A write into the last row while it is hidden.
    virtual void HiddenLastRowChanged();
    virtual void DoGetDisplText(int ACol, int ARow, String& Value);
    virtual void DoGetDisplWideText(int ACol, int ARow, String& Value);
    // The initial look of a cell's new properties.
    virtual void GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                                     TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                     bool& WW, TCellGradientDirection& GD);
    // After a write into a cell with properties, with the base cell's coordinates.
    virtual void CellTextChanged(int ACol, int ARow);
    virtual bool HasCellBorders();
    // While true, fixed and selected cells get no background from the base painter.
    virtual bool UsesFwStyles();
    // The look of a cell for painting and printing: the brush, the gradient
    // and mirror colours, the font, alignment, wrap and direction, and the
    // draw state. The painter fills every output with a neutral value first.
    virtual void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
                                     TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                                     TFont& AFont, TAlignment& HA, TVAlignment& VA, bool& WW,
                                     TCellGradientDirection& GD);
    // The displayed index of a real column.
    virtual int DisplColIndex(int ACol);
    // Joins the spanx x spany cells from (c, r) into one area; the rectangle is not checked.
    virtual void MergeCells(int c, int r, int spanx, int spany);
    // Undoes the merge of the area holding the cell.
    virtual void SplitCells(int c, int r);
    // ColCount plus the hidden columns a grid class keeps beyond it.
    virtual int TotalColCount();

    // --- Cell text and objects
    // The display text: merged cells read their base cell; rows below
    // FNormalRowCount pass the display-text hooks.
    String GetCellEx(int ACol, int ARow);
    // Writes into the base cell of a merged area (CellTextChanged, repaint)
    // or, for a cell without properties, as Cells does.
    void SetCellEx(int ACol, int ARow, const String& Value);
    // The raw store: no mapping, hooks, notifications or repaint.
    const String& GetGridCell(int ACol, int ARow) const { return Cells(ACol, ARow); }
    // The same as a view that lives until the cell's row next changes (no copy).
    std::u16string_view GridCellView(int ACol, int ARow) { return Data().TextView(ACol, ARow); }
    void SetGridCell(int ACol, int ARow, const String& Value) { Data().SetText(ACol, ARow, Value); }
    TObject* GetGridObject(int ACol, int ARow) const { return Objects(ACol, ARow); }
    void SetGridObject(int ACol, int ARow, TObject* Value) { Data().SetObject(ACol, ARow, Value); }
    // The application object of a cell (nil without properties; none are created).
    TObject* GetObjectEx(int ACol, int ARow);
    // Creates the properties when needed; an empty cell gets a blank text
    // around the change (both writes notify as SetCellEx does).
    void SetObjectEx(int ACol, int ARow, TObject* Value);
    TObject* GetGraphicObjectEx(int ACol, int ARow);
    void SetGraphicObjectEx(int ACol, int ARow, TObject* Value);
    TObject* CellPropsGraphic(const TCellProperties* Props) const { return Props ? Props->GraphicObject() : nullptr; }

    // --- Cell properties
    bool CellPropsAssigned(int ACol, int ARow);
    // Created with the grid class's defaults when missing.
    TCellProperties* GetCellProperties(int ACol, int ARow);
    // Frees the properties held (not their graphic) and stores Value (nil allowed).
    void SetCellProperties(int ACol, int ARow, TCellProperties* Value);
    void FreeCellProps(int ACol, int ARow);
    // Frees the properties of every cell in the rectangle, with graphics of the cell's own kind.
    void FreeCellPropsRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void FreeAllCellProps();
    // Empty the text and drop the properties reference without freeing it
    // (the caller has moved the object).
    void ResetColCells(int ACol);
    void ResetRowCells(int ARow);
    void ResetCell(int ACol, int ARow);

    // --- Merged cells
    TPoint BaseCell(int ACol, int ARow);
    // True for a base cell or a cell without properties (Base* the cell itself).
    bool ResolveBaseCell(int ACol, int ARow, int& BaseCol, int& BaseRow);
    bool IsBaseCell(int ACol, int ARow);
    bool IsMergedCell(int ACol, int ARow);
    bool IsMergedNonBaseCell(int ACol, int ARow);
    bool IsXMergedCell(int ACol, int ARow);
    bool IsYMergedCell(int ACol, int ARow);
    // Extra columns and rows of the area; (0, 0) for a cell not merged.
    TPoint CellSpan(int ACol, int ARow);
    // Columns and rows from the cell to the last cell of its area.
    TPoint CellExt(int ACol, int ARow);
    // The inclusive cell range of the area.
    TRect FullCell(int c, int r);
    int MinRowSpan(int ARow);
    int MaxRowSpan(int ARow);
    bool RowSpanIdentical(int ARow1, int ARow2);
    bool ColSpanIdentical(int ACol1, int ACol2);
    int MergeCount() const { return FMergeCount; }

    // --- Geometry
    // Client rectangle of any cell, also one scrolled out of view, as the
    // left-to-right layout has it (DrawCell's coordinates).
    TRect VirtualCellRect(int c, int r);
    // A merged area's whole rectangle; an unmerged cell out of view gives its
    // size at the origin, never an empty rectangle. In the window's
    // coordinates: right to left the mirror of CellLayoutRect.
    TRect CellRect(int c, int r);
    // The same rectangle in the left-to-right layout, where painting happens.
    TRect CellLayoutRect(int c, int r);
    // A rectangle of the left-to-right layout in the window's coordinates
    // and back (the same right to left, as a mirror is its own inverse).
    TRect MirroredRect(const TRect& R);
    // How far a window x lies into a cell from the cell's leading edge, as
    // the left-to-right layout places the cell's parts (the mirror right to left).
    int CellOffsetX(int c, int r, int X);
    TPoint CellSize(int c, int r);
    int FixedColsWidth();
    int FixedRowsHeight();
    // Repaints the cell (its whole merged area); nothing before the window exists.
    void RepaintCell(int c, int r);
    // The current cell moves to the base cell of the area it lies in.
    void MoveToBaseCell();

    // --- Painting
    // The cell as a whole merged area with its content, on any canvas.
    void PaintCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // Only background and lines, in exactly ARect.
    void PaintCellExt(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    void PaintCellCore(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState, bool AMerge);

    // --- Settings
    // Stored only; the framework's own background drawing stays off.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    // The painter's line width; the framework's own lines stay at 0.
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor Value);
    TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle Value);
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool Value);
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor Value);
    TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(TColor Value);
    TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(TColor Value);
    TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(TColor Value);
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool Value) { FHoverRow = Value; }
    THoverRowCells HoverRowCells() const { return FHoverRowCells; }
    void SetHoverRowCells(THoverRowCells Value) { FHoverRowCells = Value; }
    TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor Value) { FHoverRowColor = Value; }
    TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor Value) { FHoverRowColorTo = Value; }
    // Default word wrap of new cell properties.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }
    TExGridUndoRedo* UndoRedo() const { return FUndoRedo; }
    void SetUndoRedo(TExGridUndoRedo* Value);
    // How the undo list writes a cell back: as text, unless a grid class
    // keeps the cell's value elsewhere (a check box's state).
    virtual void UndoWriteCell(int ACol, int ARow, const String& Value) { SetCellEx(ACol, ARow, Value); }

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

protected:
    bool SelectCell(int ACol, int ARow) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void TopLeftChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void Paint() override;
    // While true a cell's repaint is left to the end of a locked update,
    // which repaints the whole grid.
    virtual bool RepaintsLocked() { return false; }
    void RepaintMergedFixedCols();
    void RepaintMergedFixedRows();

    // Kept by the grid class: rows at or beyond it get no display-text hooks.
    int FNormalRowCount = 0;
    // The row under the mouse, -1 for none.
    int FHoverRowIdx = -1;
    // The selection is shown.
    bool FShowSel = true;
    // The last row is shown elsewhere: painted empty, kept from the cursor.
    bool FHideLastRow = false;
    bool FHasCellProps = false;
    int FMergeCount = 0;
    int FPaintID = 1;

private:
    friend class TCellProperties;
    // The properties of a cell that has them, else nil.
    TCellProperties* PropsOf(int ACol, int ARow);
    static void FreeProps(TCellProperties* Props, bool WithGraphic);

    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    TColor FGridLineColor = clSilver;
    TColor FGridFixedLineColor = clGray;
    TExGridUndoRedo* FUndoRedo = nullptr;
    bool FWordWrap = true;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    TColor FActiveRowColorTo = clNone;
    TColor FActiveRowMirrorColor = clNone;
    TColor FActiveRowMirrorColorTo = clNone;
    TGridSelectionStyle FSelectionStyle = ssDefault;
    bool FHoverRow = false;
    THoverRowCells FHoverRowCells{hcNormal, hcSelected};
    TColor FHoverRowColor = clInfoBk;
    TColor FHoverRowColorTo = clNone;
    // Every properties object the grid owns, wherever its slot reference
    // went, so that destruction frees them all.
    std::unordered_set<TCellProperties*> FAllProps;
    bool FFreeingAll = false;
    bool FPaintingCell = false;  // inside the framework's call of DrawCell
};
