#pragma once
// The grid control: a string grid over the base grid with fixed header rows
// and columns that can be kept, typed cell views, hidden columns and rows,
// structure operations, check boxes in cells, a repaint lock and the editing
// road (edit permission per cell, validation, the end-of-edit message).
// The column grid (ExCGrid.h) puts a collection of typed columns on top.
//
// Indexes: a real column counts hidden columns, a displayed one does not;
// likewise for rows. The base grid's cell access takes a real column and a
// displayed row.

#include "grid/ExGridTools.h"
#include "grid/ExgCombo.h"
#include "grid/GridDataTools.h"
#include "grid/foundation/BaseGrid.h"
#include "grid/foundation/GridHelpers.h"
#include "grid/foundation/GridOptions.h"

#include "framework/Classes.h"
#include "framework/DataTransfer.h"
#include "framework/DateUtils.h"
#include "framework/Forms.h"

#include <functional>
#include <memory>
#include <vector>

class TExStringGrid;
class TExInplaceEdit;
class TGridCombo;

// Misuse of the grid's cell access and selection.
class EExGridError : public Exception {
public:
    using Exception::Exception;
};

// The kind of graphic a cell carries beside its text (streamed by ordinal).
enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};
static_assert(ctExpand == 32, "the cell types are streamed by their ordinal");

enum TGridLook { glStandard, glSoft, glClassic, glGPK, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
// The look of check boxes and radio buttons in cells.
enum TGridControlStyle { csClassic, csFlat, csWinXP, csVintage, csGPK, csGlyph, csTheme };

// Settings of the controls drawn in cells.
struct TControlLook {
    TGridControlStyle ControlStyle = csTheme;
    int CheckSize = 15;
    int RadioSize = 10;
    bool CheckAlwaysActive = false;
    bool RadioAlwaysActive = false;
    int DropDownCount = 8;
};

// The mix of colour A with B at weight W percent (each channel rounded half to even).
TColor MixColors(TColor A, TColor B, int W);

// The one graphic object a cell may carry. Only the kinds whose painting
// and state this grid knows get data here; the shared graphic of a column
// grid's data check boxes is one of these.
class TCellGraphic : public TCellGraphicBase {
public:
    TCellType CellType = ctEmpty;
    bool CellBoolean = false;
    bool CellTransparent = false;
};

// A hidden row: its texts, objects and height while it is out of the grid.
struct TGridItem {
    int Idx = 0;
    int Height = 0;
    int Level = 0;
    std::vector<String> Texts;
    std::vector<TObject*> Objects;
};

// Corrects and marks cell values on validation; the base leaves them as they are.
class TExStringGridCheck : public TComponent {
public:
    explicit TExStringGridCheck(TComponent* AOwner) : TComponent(AOwner) {}
    bool AutoCorrect = false;
    bool AutoMarkError = false;
    // ----- used by the grid's checking of ranges
    bool GotoCell = false;
    bool UseCorrect = false;
    bool UseMarkError = false;
    virtual void StartCheck() {}
    virtual void StopCheck() {}
    // -----
    virtual String Correct(TExStringGrid* Grid, int ACol, int ARow, const String& Value);
    virtual String MarkError(TExStringGrid* Grid, int ACol, int ARow, const String& Value);
};

using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TRowChangedEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
// Row first, as the grid reports its clicks.
using TRowColClickEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TCanClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TCellValidateEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Valid)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, TRect R)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TComboChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const String& ASelection)>;
using TComboObjectChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                                   const String& ASelection, TObject* AObject)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;

// Registered once when the grid unit starts.
Cardinal WM_GRIDEDITDONE();
Cardinal WM_DTPSHIFTFOCUS();
CLIPFORMAT GridCellsClipboardFormat();
// The common-controls library is 4.70 or later: date and time editors store their values.
bool ComCtl470();

class TExStringGrid : public TBaseGrid {
public:
    explicit TExStringGrid(TComponent* AOwner);
    ~TExStringGrid() override;

    // ===== Lifecycle
    void Assign(const TPersistent* Source) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    virtual int GetVersionNr();
    virtual String GetVersionString();
    // The four numbers of the version joined by "."; writing it does nothing.
    String Version();
    bool IsLoaded() const { return FLoaded; }

    // ===== Dimensions and fixed cells
    void SetRowCount(int Value);
    void SetColCount(int Value);
    int FixedRows() const;
    void SetFixedRows(int Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool Value) { FFixedRowAlways = Value; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool Value) { FFixedColAlways = Value; }
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int Value);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int Value);
    void SetDefaultRowHeight(int Value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int Value);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int Value);
    void SetColEx(int Value) { SetCol(Value); }
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment Value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value) { FVAlignment = Value; }
    void SetWordWrap(bool Value);
    int MinRowHeight() const { return FMinRowHeight; }
    int MinColWidth() const { return FMinColWidth; }
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways Value);
    // Thumbs in proportion to the rows (columns) in view.
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool Value);
    void UpdateVScrollProportional();
    void UpdateHScrollProportional();
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }
    bool SizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool Value) { FSizeWithForm = Value; }

    // ===== Sizing (displayed columns)
    void SizeColToContents(int Index, bool GrowOnly);
    void AutoSizeCol(int Index, int Padding = 0);
    void AutoSizeColumns(bool DoFixedCols, int Padding);

    // ===== Cell access (indexes: real column, displayed row unless named All*)
    long long Ints(int ACol, int ARow);
    void SetInts(int ACol, int ARow, long long Value);
    double Floats(int ACol, int ARow);
    void SetFloats(int ACol, int ARow, double Value);
    // Real rows: a hidden row's cells live with the row.
    String AllCells(int ACol, int ARow);
    void SetAllCells(int ACol, int ARow, const String& Value);
    long long AllInts(int ACol, int ARow);
    double AllFloats(int ACol, int ARow);
    TObject* AllObjects(int ACol, int ARow);
    String StrippedCells(int ACol, int ARow);
    int AllColWidths(int ACol);
    void SetAllColWidths(int ACol, int Value);
    int AllColCount() { return TotalColCount(); }
    int AllRowCount() const { return RowCount() + NumHiddenRows(); }
    TColor Colors(int ACol, int ARow);
    void SetColors(int ACol, int ARow, TColor Value);
    TColor FontColors(int ACol, int ARow);
    void SetFontColors(int ACol, int ARow, TColor Value);
    TAlignment Alignments(int ACol, int ARow);
    void SetAlignments(int ACol, int ARow, TAlignment Value);
    bool ReadOnly(int ACol, int ARow);
    void SetReadOnly(int ACol, int ARow, bool Value);
    // clNone clears that colour of the row only.
    void SetRowColor(int ARow, TColor Value);
    void SetRowColorTo(int ARow, TColor Value);
    void SetRowFontColor(int ARow, TColor Value);
    const String& FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const String& Value) { FFloatFormat = Value; }
    String CurrentCell() { return GetCurrentCell(); }
    void SetCurrentCell(const String& Value);
    int ColumnByHeader(const String& Text);
    // Header texts shown in row 0 and column 0 ("\n" becomes a line break).
    TStringList& ColumnHeaders() { return FColumnHeaders; }
    void SetColumnHeaders(const TStringList& Value);
    TStringList& RowHeaders() { return FRowHeaders; }
    void SetRowHeaders(const TStringList& Value);
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    void ShowRowHeaders();
    const String& CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const String& Value) { FCheckTrue = Value; }
    const String& CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const String& Value) { FCheckFalse = Value; }
    bool Modified() const { return FModifiedPublic; }
    void SetModified(bool Value) { FModifiedPublic = Value; }

    // ===== Cell graphics and check boxes (indexes: real column, real row for the state)
    virtual TCellType GetCellType(int ACol, int ARow);
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    // A check box of the cell's own; "Invalid cell" outside the grid.
    void AddCheckBox(int ACol, int ARow, bool State);
    void RemoveCheckBox(int ACol, int ARow);
    bool HasCheckBox(int ACol, int ARow);
    bool GetCheckBoxState(int ACol, int ARow, bool& State);
    bool IsChecked(int ACol, int ARow);
    bool SetCheckBoxState(int ACol, int ARow, bool State);
    bool SetCheckBoxStateEx(int ACol, int ARow, bool State);
    // User: the cell must be editable (unless CheckAlwaysActive).
    virtual bool ToggleCellCheck(int ACol, int ARow, bool User);
    bool ToggleCheckBox(int ACol, int ARow) { return ToggleCellCheck(ACol, ARow, false); }
    TControlLook& ControlLook() { return FControlLook; }

    // ===== Hidden columns and rows
    void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
    void HideColumns(int FromCol, int ToCol);
    void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumnsAll() { UnHideColumns(0, ColCount() + FNumHidden); }
    bool IsHiddenColumn(int ColIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() override { return ColCount() + FNumHidden; }
    int RealColIndex(int ACol) const;
    int DisplColIndex(int ACol) override;
    int RealCol() const { return RealColIndex(Col()); }
    void HideRow(int RowIndex) { HideRows(RowIndex, RowIndex); }
    void HideRows(int FromRow, int ToRow);
    // One hide level of displayed rows (ascending).
    void HideRowList(const std::vector<int>& RowList);
    void UnHideRow(int RowIndex) { UnHideRows(RowIndex, RowIndex); }
    void UnHideRows(int FromRow, int ToRow);
    void UnHideRowsAll();
    // Brings back the rows of the latest hide level.
    void UnHideRowList();
    bool IsHiddenRow(int RowIndex) const;
    int NumHiddenRows() const { return int(FGridItems.size()); }
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int RealRowIndex(int ARow) const;
    int DisplRowIndex(int ARow) const;
    int RealRow() const { return RealRowIndex(Row()); }
    const std::vector<TGridItem>& GridItems() const { return FGridItems; }
    // Only FixedRows .. RowCount - 1.
    void SetTopRowEx(int Value);
    // Makes the cell visible, centring it when it was out of view.
    void ScrollInView(int ColIndex, int RowIndex);
    void HideSelection();
    void UnHideSelection();
    void UpdateEditMode() { SelectCell(Col(), Row()); }

    // ===== Structure (displayed rows, real columns)
    virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls = true);
    virtual void RemoveRows(int RowIndex, int RCount);
    virtual void InsertCols(int ColIndex, int CCount);
    virtual void RemoveCols(int ColIndex, int CCount);
    void AddRow();
    void AddColumn() { InsertCols(ColCount(), 1); }
    // Texts only, one block.
    void MoveRows(int FromIndex, int ToIndex, int Count);
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void ClearRows(int RowIndex, int RCount);
    void ClearCols(int ColIndex, int CCount);
    void ClearNormalCells();
    void Clear();
    void RemoveDuplicates(int ACol, bool DoCase);
    void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);
    bool IsCell(const String& SubStr, int& ACol, int& ARow);

    // ===== Selection
    void SelectRows(int RowIndex, int RCount);
    void SelectCols(int ColIndex, int CCount);
    // "Invalid row <n> accessed" outside the grid.
    bool RowSelect(int ARow);
    void RepaintRow(int ARow) { InvalidateRow(ARow); }
    void RepaintCol(int ACol) { InvalidateCol(ACol); }

    // ===== Repaint lock
    void BeginUpdate();
    void EndUpdate();
    // Counting only: no repaint at the end.
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Ticks of the grid's 500 ms timer since the window was created.
    int TimerTicks() const { return FTimerTicks; }
    bool Hovering() const { return FHovering; }
    void SetHovering(bool Value) { FHovering = Value; }

    // ===== Editing
    TNavigation& Navigation() { return FNavigation; }
    TMouseActions& MouseActions() { return FMouseActions; }
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType Value) { FDefaultEditor = Value; }
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int Value) { FMaxEditLength = Value; }
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& Value) { FEditMask = Value; }
    bool AlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool Value) { FAlwaysValidate = Value; }
    TExStringGridCheck* CellChecker() const { return FCellChecker; }
    void SetCellChecker(TExStringGridCheck* Value) { FCellChecker = Value; }
    const String& InvalidEntryTitle() const { return FInvalidEntryTitle; }
    void SetInvalidEntryTitle(const String& Value) { FInvalidEntryTitle = Value; }
    const String& InvalidEntryText() const { return FInvalidEntryText; }
    void SetInvalidEntryText(const String& Value) { FInvalidEntryText = Value; }
    TInvalidEntryIcon InvalidEntryIcon() const { return FInvalidEntryIcon; }
    void SetInvalidEntryIcon(TInvalidEntryIcon Value) { FInvalidEntryIcon = Value; }
    bool IsEditable(int ACol, int ARow);
    bool IsCellEditable(int ACol, int ARow);
    bool IsFixed(int ACol, int ARow) override;
    void ShowInplaceEdit();
    void HideInplaceEdit();
    void Select() { SelectCell(Col(), Row()); }
    // The end of an edit (real column): OnEditingDone now, OnEditCellDone through the message queue.
    void EditingDone(int ACol, int ARow);
    // Enter movement from (ACol, ARow) by Navigation's AdvanceDirection;
    // nothing unless AdvanceOnEnter or Force.
    void AdvanceCell(int ACol, int ARow, bool EditorShown, bool Forward, bool AutoEdit, bool Force);
    // A dedicated editor ended editing with Key: the grid takes the focus,
    // Tab and the arrow keys then move the current cell.
    void DoneInplaceEdit(Word Key, TShiftState Shift);
    // The kind of editor the current edit uses.
    TEditorType EditControl() const { return FEditControl; }
    // The combo editor of the combo kinds, and the items it opens with.
    TGridCombo* Combobox() const { return FEditCombo; }
    void ShowCellEditor(int ACol, int ARow);
    void EditorToCell(int ACol, int ARow);
    void AddComboString(const String& S);
    void AddComboStringObject(const String& S, TObject* AObject);
    bool RemoveComboString(const String& S);
    void ClearComboString();
    int GetComboCount();
    // The item the next combo editor selects when the cell names none.
    void SetComboSelection(int Idx) { FComboIdx = Idx; }
    bool SetComboSelectionString(const String& S);
    void SetComboIndex(int ACol, int ARow, int Value);
    int GetComboIndex(int ACol, int ARow);
    const String& ValidChars() const { return FValidChars; }
    void SetValidChars(const String& Value) { FValidChars = Value; }
    bool EditActive() const { return FEditActive; }
    bool EditMode() const { return FEditMode; }
    virtual bool ValidateCell(const String& NewValue);
    virtual void StoreOldCell(int ACol, int ARow);
    virtual String GetCurrentCell();
    virtual void SetCurrentCellText(const String& Value);
    virtual void RestoreEditValue();
    virtual void SetEditorValue(int ACol, int ARow, const String& Value);
    void DisableEditing();

    // ===== Data tools: their option objects and the operations forwarded to them
    TSortSettings& SortSettings() { return FSortSettings; }
    TFloatingFooter& FloatingFooter() { return FFloatingFooter; }
    TBalloonSettings& Balloon() { return FBalloon; }
    TFilter& Filter() { return FFilter; }
    TGrouping& Grouping() { return FGrouping; }
    TDragDropSettings& DragDropSettings() { return FDragDropSettings; }
    TGridDataTools& DataTools() { return *FDataTools; }
    // The grid owns the tools given.
    void SetDataTools(std::unique_ptr<TGridDataTools> Value);
    bool FilterActive() const { return FFilterActive; }
    void SetFilterActive(bool Value);
    bool IsNode(int ARow) { return FHasNodeRows && FDataTools->IsNode(ARow); }
    bool GetNodeState(int ARow) { return FHasNodeRows && FDataTools->GetNodeState(ARow); }
    int GetNodeSpan(int ARow) { return FHasNodeRows ? FDataTools->GetNodeSpan(ARow) : 0; }
    void RemoveAllNodes();
    // All columns for -1; only with a visible floating footer.
    void CalcFooter(int ACol);
    // The text offsets of a cell, doubled for both sides.
    int TotalXOffset() const { return 2 * FXYOffset.X; }
    int TotalYOffset() const { return 2 * FXYOffset.Y; }
    // The column widths as now laid out, for sizing in proportion later.
    void InitOrigColSizes();
    const std::vector<int>& OrigColSizes() const { return FOrigColSizes; }
    // The largest line count among the row's shown cells.
    int MaxRowLines(int ARow);
    // Date and time views of a cell in the locale's short formats; "Cell does not contain a date" otherwise.
    TDateTime GetDates(int ACol, int ARow);
    void SetDates(int ACol, int ARow, TDateTime Value);
    TDateTime GetTimes(int ACol, int ARow);
    void SetTimes(int ACol, int ARow, TDateTime Value);

    // ===== Data tools: the operations of the grid's own tools object
    // (nodes, calculations, sorting, filtering, finding, marking).
    TExGridTools& Tools() { return *FTools; }
    TSearchFooter& SearchFooter() { return FTools->SearchFooter(); }
    TFilterDropDown& FilterDropDown() { return FTools->FilterDropDown(); }
    TPrintSettings& PrintSettings() { return FTools->PrintSettings(); }
    TForm* SelectionToForm(TGridRect ARect) { return FTools->SelectionToForm(ARect); }
    void ShowFocusWindow(TRect R) { FTools->ShowFocusWindow(R); }
    void MoveFocusWindow() { FTools->MoveFocusWindow(); }
    void HideFocusWindow() { FTools->HideFocusWindow(); }
    TSearchPanel* SearchPanel() const { return FTools->SearchPanel(); }
    void UpdateSearchPanel() { FTools->UpdateSearchPanel(); }
    void ExpandNode(int ARow) { FTools->ExpandNode(ARow); }
    void ContractNode(int ARow) { FTools->ContractNode(ARow); }
    void ExpandAll() { FTools->ExpandAll(); }
    void ContractAll() { FTools->ContractAll(); }
    int GetNodeLevel(int ARow) { return FTools->GetNodeLevel(ARow); }
    int GetSubNodeCount(int ARow) { return FTools->GetSubNodeCount(ARow); }
    int GetParentRow(int ARow) { return FTools->GetParentRow(ARow); }
    void Group(int Col) { FTools->Group(Col); }
    void UnGroup() { FTools->UnGroup(); }
    int GroupColumn() const { return FTools->GroupColumn; }
    void SetGroupColumn(int Value) { FTools->SetGroupColumn(Value); }
    double ColumnSum(int ACol, int FromRow, int ToRow) { return FTools->ColumnSum(ACol, FromRow, ToRow); }
    double ColumnAvg(int ACol, int FromRow, int ToRow) { return FTools->ColumnAvg(ACol, FromRow, ToRow); }
    double ColumnMin(int ACol, int FromRow, int ToRow) { return FTools->ColumnMin(ACol, FromRow, ToRow); }
    double ColumnMax(int ACol, int FromRow, int ToRow) { return FTools->ColumnMax(ACol, FromRow, ToRow); }
    double ColumnDistinct(int ACol, int FromRow, int ToRow) { return FTools->ColumnDistinct(ACol, FromRow, ToRow); }
    double ColumnStdDev(int ACol, int FromRow, int ToRow) { return FTools->ColumnStdDev(ACol, FromRow, ToRow); }
    void QSort() { FTools->QSort(); }
    void QSortIndexed() { FTools->QSortIndexed(); }
    void QSortGroup() { FTools->QSortGroup(); }
    void QSortGroupIndexed() { FTools->QSortGroupIndexed(); }
    void QUnSort() { FTools->QUnSort(); }
    void InitSortXRef() { FTools->InitSortXRef(); }
    TSortIndexList& SortIndexes() { return FTools->SortIndexes; }
    void ApplyFilter() { FTools->ApplyFilter(); }
    bool RemoveLastFilter() { return FTools->RemoveLastFilter(); }
    void RemoveAllFilters() { FTools->RemoveAllFilters(); }
    void NarrowDown(const String& ACondition, int AColumn) { FTools->NarrowDown(ACondition, AColumn); }
    TPoint Find(TPoint StartCell, const String& S, TFindParams P) { return FTools->Find(StartCell, S, P); }
    TPoint FindFirst(const String& S, TFindParams P) { return FTools->FindFirst(S, P); }
    TPoint FindNext() { return FTools->FindNext(); }
    int Replace(const String& OrigStr, const String& NewStr, TFindParams P) { return FTools->Replace(OrigStr, NewStr, P); }
    int Search(const String& S) { return FTools->Search(S); }
    void HilightCellRange(const String& Text, const String& Tag, int ToRow, int ToCol, int FromRow, int FromCol,
                          bool DoCase) {
        FTools->HilightCellRange(Text, Tag, FromCol, FromRow, ToCol, ToRow, DoCase);
    }
    void UnHilightCellRange(const String& Tag, int FromCol, int ToRow, int ToCol, int FromRow) {
        FTools->UnHilightCellRange(Tag, FromCol, FromRow, ToCol, ToRow);
    }

    // ===== Looks read by painting
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value);
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; InvalidateGrid(); }
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool Value) { FSelectionColorMixer = Value; }
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int Value);
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool Value) { FHideFocusRect = Value; }
    TFont& FixedFont() { return FFixedFont; }
    TFont& ActiveCellFont() { return FActiveCellFont; }

    // ===== Events
    TCanEditCellEvent OnCanEditCell;
    TGetEditorTypeEvent OnGetEditorType;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TRowChangedEvent OnRowUpdate;
    TNotifyEvent OnEditingDone;
    TClickCellEvent OnEditCellDone;
    TEditChangeEvent OnEditChange;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;
    // Fill the combo items of a cell here, just before its editor opens.
    TClickCellEvent OnGetEditorPropInt;
    TCellValidateEvent OnCellValidate;
    TCheckBoxClickEvent OnCheckBoxChange;
    TCheckBoxClickEvent OnCheckBoxClick;
    TCanClickCellEvent OnCanClickCell;
    TRowColClickEvent OnClickCell;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TCellsChangedEvent OnCellsChanged;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TNotifyEvent OnPainted;

protected:
    // ===== Per-cell queries a column grid answers first
    virtual void CellEditable(int ACol, int ARow, bool& CanEdit);
    virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void GetCellEditor(int ACol, int ARow, TEditorType& AEditor);
    virtual String GetFloatFormat(int ACol, int ARow);
    virtual String DoGetCheckTrue(int ACol, int ARow);
    virtual String DoGetCheckFalse(int ACol, int ARow);
    virtual void DoCheckBoxChange(int ACol, int ARow, bool State);
    virtual void DoCellsChanged(TRect R);
    virtual void DoCanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void DoCellChanging(int NewCol, int NewRow, bool& Allow);
    virtual void ColumnHeadersChanged() {}
    bool IsEditorNone(int ACol, int ARow);
    // The cell's colours and font (real column).
    virtual void DoGetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont);
    virtual TAlignment DoGetAlignment(int ACol, int ARow);

    // ===== Operations whose bodies come with the grid's later parts: each
    // starts neutral (does nothing, leaves the answer), in slot order.
    virtual void CalcFooterColumn(int) {}
    virtual void DoClickSort(int) {}
    virtual void DoF2Key(int, int) {}
    virtual void AdjustKeySelection() {}
    virtual void PasteCell(int ACol, int ARow, const String& Value) { SetCellEx(ACol, ARow, Value); }
    virtual bool ToggleCellRadio(int, int, bool) { return false; }
    virtual String GetFormattedCell(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    virtual TPoint GetCellGraphicSize(int, int) { return {0, 0}; }
    virtual TPoint CalcCellGraphicSize(int, int) { return {0, 0}; }
    virtual TPoint CalcPrintGraphicSize(TCanvas&, int, int) { return {0, 0}; }
    virtual void DoPrintGetPageNum(int) {}
    virtual void DoGetEditorProp(int ACol, int ARow);
    virtual void DoCheckBoxClick(int ACol, int ARow, bool State) {
        if (OnCheckBoxClick) OnCheckBoxClick(this, ACol, ARow, State);
    }
    virtual void DoFixedEdit(int, int, bool&) {}
    virtual void SelectionChanged(int, int, int, int) {}
    virtual void InplaceEditHook() {}
    virtual void InsertRowAuto(int ARow) { InsertRows(ARow, 1); }
    virtual void DeleteRowAuto(int ARow) { RemoveRows(ARow, 1); }
    virtual void DoFilterDone() {}
    virtual void DoUpdateColumnSize(int ACol, int& AWidth) {
        if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
    }
    virtual void DoUpdateColumnSizeAuto(int ACol, int& AWidth) {
        if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
    }
    virtual void DoEllipsClick(int, int, String&) {}
    virtual bool MatchFilter(int ARow);
    virtual void BeforePaste(int, int) {}
    virtual void AfterPaste(int, int) {}
    virtual void MarkPastedRows(int, int) {}
    virtual String GetCalcCell(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    virtual String SaveCell(int ACol, int ARow) { return GetGridCell(ACol, ARow); }
    virtual void LoadCell(int ACol, int ARow, const String& Value) { SetGridCell(ACol, ARow, Value); }
    virtual void RecalcFooterColumn(int ACol) { CalcFooter(ACol); }
    virtual void DoSearchFooterAction(const String&, int, int) {}
    virtual void DoButtonClick(int, int) {}
    virtual void DoExpandClick(int, int, bool) {}
    virtual void DoComboCloseUp(int, int) {}
    virtual void DoComboDropDown(int, int) {}
    virtual void DoGetCellCursor(int, int, int, int) {}
    virtual void RecalcFooter(int ACol) { CalcFooter(ACol); }
    virtual void DoGridHint(int, int, String&) {}
    virtual void DoGetCellPrintColor(int, int, TGridDrawState, TBrush&, TFont&) {}
    virtual void DoGetCellBorder(int, int, TPen&, TSet<int>&) {}
    virtual void DoGetCellPrintBorder(int, int, TPen&, TSet<int>&) {}
    virtual void DoGetFormat(int, int&, String&, String&) {}
    virtual void DoGetEditorType(int ACol, int ARow, TEditorType& AEditor) {
        if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
    }
    virtual bool DoIsPasswordCell(int, int) { return false; }
    virtual void DoGetWordWrap(int, int, bool&) {}
    virtual bool DoHasComboBox(int, int) { return false; }
    virtual bool DoHasSpinEdit(int, int) { return false; }
    virtual bool DoGetColumnFilter(int) { return false; }
    virtual TRect GetUsedCells() { return Rect(0, 0, ColCount() - 1, RowCount() - 1); }
    virtual void RemoveRowsInternal(int ARow, int ACount) {
        FreeCellPropsRect(0, ARow, ColCount() - 1, ARow + ACount - 1);
        DoRemoveRows(ARow, ACount, true);
    }
    virtual void DoCanAddRow(bool&) {}
    virtual void DoCanInsertRow(int, bool&) {}
    virtual void AddRowAuto() { SetRowCount(RowCount() + 1); }
    virtual void MouseActionsChanged() {}
    virtual bool IsDesigning() { return ComponentState().Contains(csDesigning); }
    virtual void EditKeyUpHook(Word&, TShiftState) {}
    virtual void EditKeyDownHook(Word&, TShiftState) {}
    virtual void NavigationChanged() {}
    virtual void GotoFirstRow() {}
    virtual bool AllowFmtClipboard() { return false; }
    virtual void DoFilterSelect(int, int) {}
    virtual void DoFilterCheck(int, int) {}
    virtual void DoRatingChange(int, int, int) {}
    virtual void DoColorSelect(int, int, TColor) {}
    virtual void DoImageSelect(int, int, int) {}
    virtual void DoScrollCell(int, int) {}
    virtual bool DoCanShowFixedDropDown(int) { return false; }
    virtual void DoStartBlockFocus() {}
    virtual void DoEndBlockFocus() {}
    virtual void ExportNotification(int) {}
    virtual void ImportNotification(int) {}
    virtual void AssignCells(const TPersistent* Source);
    virtual void RemoveRowsEx(int RowIndex, int RCount) { DoRemoveRows(RowIndex, RCount, false); }

    // ===== Framework overrides
    // Also the fixed-cell and active-cell fonts, rounded to the nearest size.
    void ChangeScale(int M, int D) override;
    void Loaded() override;
    void CreateWnd() override;
    void Resize() override;
    bool SelectCell(int ACol, int ARow) override;
    bool CanEditShow() override;
    TInplaceEdit* CreateEditor() override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    String GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    void WndProc(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    // Displayed indexes: the cells move by their real columns, hidden columns between keep their place in the order.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void DoEnter() override;
    // An open combo closes with its text written when the grid scrolls.
    void TopLeftChanged() override;
    // Enter on a cell that cannot be edited is swallowed after OnKeyDown.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Escape restores an edit, Enter advances when the grid is set to.
    void KeyPress(Char& Key) override;
    // A press on an editable check box cell toggles it and reports the check
    // box click instead of the cell click; any other press on a cell selects
    // it through the framework and reports the cell click.
    void WMLButtonDown(TWMMouse& Message) override;
    // Space on an editable check box cell toggles it (the key goes on).
    void ToggleCheckByKey();
    void Paint() override;
    void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
                             TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                             TFont& AFont, TAlignment& HA, TVAlignment& VA, bool& WW,
                             TCellGradientDirection& GD) override;
    void DrawGridCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void WMNCPaint(TMessage& Message) override;
    void DrawCheckBox(TCanvas& ACanvas, TRect R, bool Checked, bool Enabled);
    void GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                             TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                             bool& WW, TCellGradientDirection& GD) override;

    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    void ApplyScrollBarAlways(bool HideWhenFit);
    // Copies row contents over all real columns (texts, objects and height).
    void CopyRowOut(int ARow, TGridItem& Item);
    void CopyRowIn(const TGridItem& Item, int ARow);
    // Removes displayed rows with their texts, objects and heights; hidden
    // rows keep their indexes unless UpdateHidden.
    void DoRemoveRows(int RowIndex, int RCount, bool UpdateHidden);
    // Displayed rows, ascending and unique, without touching hidden-row indexes.
    void DoRemoveRowList(const std::vector<int>& Rows);
    void DoInsertRows(int RowIndex, int RCount);
    void FormResized(TObject* Sender);

    int FFixedRowsMin = 1;
    int FFixedColsMin = 1;
    int FMaxRowCount = 10;
    int FMaxColCount = 5;
    bool FLoaded = false;
    int FUpdateCount = 0;
    int FTimerTicks = 0;
    bool FHovering = false;
    bool FInvalidPending = false;  // a repaint was asked for and has not run yet
    bool FEditDisable = false;
    bool FEditChange = false;
    bool FEditing = false;
    bool FEditMode = false;
    bool FEditActive = false;
    bool FValidating = false;
    bool FLastValidation = true;
    bool FForceSel = false;
    bool FEntered = false;
    String FCellCache;
    int FOldCol = -1;
    int FOldRow = -1;
    String FOldCellText;
    bool FOldModifiedValue = false;
    bool FModified = false;
    String FNewCellText;
    int FOldRowSel = -1;
    TEditorType FEditControl = edNormal;
    bool FBlockFocus = false;
    bool FSpecialEditor = false;
    int FComboIdx = -1;
    TGridCombo* FEditCombo = nullptr;

private:
    friend class TExInplaceEdit;
    friend class TGridCombo;
    friend class TExGridTools;
    friend class TFooterPanel;
    String ReadNumberText(const String& Raw);
    TCellGraphic* OwnGraphic(int ACol, int ARow);
    void RepaintDisplCell(int ACol, int ARow);

    bool FFixedRowAlways = false;
    bool FFixedColAlways = false;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    int FFixedRowHeight = 22;
    int FMinRowHeight = 0;
    int FMinColWidth = 0;
    TAlignment FDefaultAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    TScrollBarAlways FScrollBarAlways = saNone;
    bool FIntegralHeight = false;
    bool FScrollProportional = false;
    bool FSizeWithForm = false;
    String FFloatFormat = u"%.2f";
    String FCheckTrue = u"Y";
    String FCheckFalse = u"N";
    TControlLook FControlLook;
    TSortSettings FSortSettings{this};
    TFloatingFooter FFloatingFooter{this};
    TBalloonSettings FBalloon;
    TFilter FFilter{this};
    TGrouping FGrouping;
    TDragDropSettings FDragDropSettings;
    std::unique_ptr<TGridDataTools> FDataTools;
    // The grid's own tools: FDataTools, or kept aside while a caller's tools answer the grid's queries.
    TExGridTools* FTools = nullptr;
    std::unique_ptr<TGridDataTools> FToolsAside;
    bool FFilterActive = false;
    bool FHasNodeRows = false;
    std::vector<int> FOrigColSizes;
    bool FFlat = false;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FHideFocusRect = false;
    TPoint FXYOffset{2, 2};
    bool FModifiedPublic = false;
    TStringList FColumnHeaders;
    TStringList FRowHeaders;
    std::vector<bool> FVisibleCol;
    std::vector<int> FAllColWidths;
    int FNumHidden = 0;
    std::vector<TGridItem> FGridItems;
    int FFilterLevel = 0;
    TGridRect FOldSelection;
    bool FSelHidden = false;
    TNavigation FNavigation;
    TMouseActions FMouseActions{this};
    TEditorType FDefaultEditor = edNormal;
    int FMaxEditLength = 0;
    String FEditMask;
    String FValidChars;
    bool FAlwaysValidate = false;
    TExStringGridCheck* FCellChecker = nullptr;
    String FInvalidEntryTitle;
    String FInvalidEntryText;
    TInvalidEntryIcon FInvalidEntryIcon = ieWarning;
    TGridLook FLook = glXP;
    TColor FBorderColor = TColor(0xB99D7F);
    TColor FSelectionColor = TColor(0xEACAB6);
    TColor FSelectionTextColor = clBlack;
    TFont FFixedFont;
    TFont FActiveCellFont;
    TCustomForm* FOwnerForm = nullptr;
    TNotifyEvent FOldFormResize;
    int FFormWidth = 0;
    int FFormHeight = 0;
};

// The grid's editor for the text kinds: filters typed characters by the
// cell's editor kind, keeps the length limit, and validates before Enter
// or Escape hands the key on.
class TExInplaceEdit : public TInplaceEdit {
public:
    explicit TExInplaceEdit(TExStringGrid* AGrid);
    TExStringGrid* ExGrid() const { return FExGrid; }
    int LengthLimit() const { return FLengthLimit; }

protected:
    void UpdateContents() override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void WMChar(TWMKey& Message) override;
    void DoEnter() override;
    void DoExit() override;
    // A paste is taken whole or not at all: within the length limit and fitting the kind.
    void Dispatch(TMessage& Message) override;

private:
    // false: the character goes no further (with a beep where the kind says so).
    bool FilterChar(Char& Ch);
    // A refused value: the validated text back, selected or with the caret at the end.
    void RestoreRefused();

    TExStringGrid* FExGrid;
    int FLengthLimit = 0;
    bool FGotFocus = false;
    bool FEnterRefused = false;  // the key-down refused: its Enter character goes no further
};

// The combo editor of the combo kinds: Enter, Up and Down validate and
// move on, Page Up and Page Down commit and stay, Escape restores.
class TGridCombo : public TExgComboBox {
public:
    explicit TGridCombo(TExStringGrid* AGrid);
    // Widens the list to its widest item, measured with the grid's font.
    void SizeDropDownWidth();
    // The item index the last change was reported for.
    int ReportedIndex = -1;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void WndProc(TMessage& Message) override;

private:
    void ReportIndexChange();
    TExStringGrid* FGrid;
    bool FGotFocus = false;
};
