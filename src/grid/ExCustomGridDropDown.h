#pragma once
// The grid drop-down: a lookup edit whose pop-up holds a full grid control.
// In items mode the rows are the drop-down's own items under the headers of
// its columns, refilled at every opening; in grid mode the owner fills the
// pop-up grid itself and the drop-down only looks up and reads its cells.
// The edit shows the lookup column's text of the chosen row and completes
// and looks up typed text against it.

#include "controls/ExItemSelector.h"
#include "controls/ExMultiColumnDropDown.h"
#include "grid/ExGrid.h"

namespace ExCustomGridDropDown {

// The columns and items hold the same as the multi-column drop-down's.
using ExMultiColumnDropDown::TColumnType;
using ExMultiColumnDropDown::ctImage;
using ExMultiColumnDropDown::ctText;
using ExMultiColumnDropDown::TDropDownColumn;
using ExMultiColumnDropDown::TDropDownColumns;
using ExMultiColumnDropDown::TDropDownItem;
using ExMultiColumnDropDown::TDropDownItems;

enum TDropDownStyle { dsDropDown, dsDropDownList };
enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };

class TCustomExGridDropDown;

// The grid in the pop-up: one header row, and in items mode one row per
// item carrying the item's index as the object of its first cell.
class TExColGrid : public TExStringGrid {
public:
    explicit TExColGrid(TComponent* AOwner);
    ~TExColGrid() override;

    void SetExDropDown(TCustomExGridDropDown* DropDown) { FExDropDown = DropDown; }
    TCustomExGridDropDown* ExDropDown() const { return FExDropDown; }
    TDropDownColumns& Columns() { return FColumns; }
    TColor HeaderColor = 0xFFFFFF, HeaderColorTo = 0x808080;
    TColor LineColor = 0x808080, FixedLineColor = 0x000000;
    int HeaderHeight = 25;
    TFont& HeaderFont() { return FHeaderFont; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TNotifyEvent OnSelect;

    void UpdateFromDropDown(TCustomExGridDropDown* D);
    void LoadItems();
    void AutoSizeItemColumns();
    void AutoSizeItemColumn(int Index);
    void UpdateRowHeights();
    int GetTotalWidth();
    // Set by a key or a mouse button pressed in the grid, cleared by a wheel step.
    bool ConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool Value) { FConfirmSelection = Value; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

protected:
    virtual void DoSelect();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    LRESULT NativeDlgCode() const override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WndProc(TMessage& Message) override;

private:
    bool InPopup() const;
    // Line Column of the bound drop-down's item Row - 1; Has: the item has that line.
    String ItemLine(int Row, int Column, bool& Has) const;
    TDropDownColumns FColumns;
    TFont FHeaderFont;
    TImageList* FImages = nullptr;
    TCustomExGridDropDown* FExDropDown = nullptr;
    bool FConfirmSelection = false, FMouseWheelSelection = false;
};

class TCustomExGridDropDown : public TExCustomDropDown {
public:
    explicit TCustomExGridDropDown(TComponent* AOwner);
    ~TCustomExGridDropDown() override;
    Cardinal GetVersionNr() const override { return 0x06000101; }

    TDropDownItems& Items() { return *FItems; }
    void SetItems(const TDropDownItems& Value) { FItems->Assign(&Value); }
    TDropDownColumns& Columns() { return FColumns; }
    void SetColumns(const TDropDownColumns& Value) { FColumns.Assign(&Value); }
    bool UseItems = true;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int RowCount() const { return FItems->Count(); }
    int LookupColumn = 0;
    TLookupMethod LookupMethod = lmLookup;
    bool CaseSensitive = false;
    TDropDownStyle Style() const { return FStyle; }
    void SetStyle(TDropDownStyle Value);
    bool AutoShowDropDown = false;
    bool DropDownAutoWidth = true;
    int DropDownRowHeight = 22;
    bool ColumnSizeWithDropDown = true;
    bool AutoSizeColumns = true;
    int HeaderHeight = 25;
    TFont& HeaderFont() { return FHeaderFont; }
    TColor HeaderColor = 0xFFFFFF, HeaderColorTo = 0x808080;
    TColor LineColor = 0xF1EDEB, FixedLineColor = 0xD1BBA4;
    TColor SelectionTextColor = 0x000000;
    bool HoverRow = false;
    TColor HoverRowColor = clInfoBk, HoverRowColorTo = clNone;
    bool RowSelect = true;
    bool GridEditable = false;
    bool ColumnSizing = false, ColumnMoving = false, RowSizing = false, RowMoving = false;
    TGridSorting Sorting = gsNone;
    // The pop-up grid's cell images (its AddImageIdx cells).
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* Value);
    // Copied into the pop-up grid at each opening.
    TBands& Bands() { return FBands; }
    void SetBands(const TBands& Value) { FBands.Assign(&Value); }
    TSearchFooter& SearchFooter() { return FSearchFooter; }
    void SetSearchFooter(const TSearchFooter& Value) { FSearchFooter.Assign(&Value); }
    TNavigation& Navigation() { return FNavigation; }
    TMouseActions& MouseActions() { return FMouseActions; }
    bool MatchCase = false;
    bool MatchStart = true;  // kept only
    TNotifyEvent OnSelect;

    // The pop-up grid's events, raised with the pop-up grid as Sender; the
    // key events and OnGridTopLeftChanged with the drop-down.
    TGridHintEvent OnGridHint;
    TRowColClickEvent OnGridRightClickCell;
    TScrollHintEvent OnGridScrollHint;
    TColumnSizeEvent OnGridColumnSize;
    TColumnSizingEvent OnGridColumnSizing;
    TEndColumnSizeEvent OnGridEndColumnSize;
    TRowSizingEvent OnGridRowSizing;
    TEndRowSizeEvent OnGridEndRowSize;
    TGetEditorTypeEvent OnGridGetEditorType;
    TClickCellEvent OnGridGetEditorProp;
    TCanEditCellEvent OnGridCanEditCell;
    TGetDisplTextEvent OnGridGetDiplText;
    TCheckBoxClickEvent OnGridCheckBoxClick;
    TMouseEvent OnGridMouseDown, OnGridMouseUp;
    TMouseMoveEvent OnGridMouseMove;
    TKeyEvent OnGridKeyDown, OnGridKeyUp;
    TKeyPressEvent OnGridKeyPress;
    TNotifyEvent OnGridTopLeftChanged;
    TGetFormatEvent OnGridGetFormat;
    TMoveAllowEvent OnGridColumnMove, OnGridColumnMoving, OnGridRowMove, OnGridRowMoving;
    TMovedEvent OnGridColumnMoved, OnGridRowMoved;
    // A column of Columns gives its cells their colour and alignment before
    // these two; a number is shown plainly unless OnGridGetFloatFormat answers a format.
    TGridColorEvent OnGridGetCellColor;
    TGridAlignEvent OnGridGetAlignment;
    TGridGradientEvent OnGridGetCellGradient;
    TFloatFormatEvent OnGridGetFloatFormat;
    // Taken at each opening: assigned later, they take effect at the next.
    TCustomCellDrawEvent OnGridCustomCellDraw, OnGridCustomCellBkgDraw;
    TCellBalloonEvent OnGridCellBalloon;
    std::function<void(TObject* Sender, const String& Value, bool& DefaultSearch)> OnGridSearchEditChange;
    // Links in the pop-up grid's cells; the pop-up stays open while a click is handled.
    TAnchorClickEvent OnGridAnchorClick;
    TAnchorEvent OnGridAnchorEnter, OnGridAnchorExit;
    std::function<void(TObject* Sender, int ARow, int ACol, String& Anchor)> OnGridAnchorHint;
    // The pop-up stays open while these run.
    TClickCellEvent OnGridButtonClick;
    TExStringGrid::TEllipsClickEvent OnGridEllipsClick;
    // Rows the pop-up grid adds, inserts and deletes by keys.
    TCanAddRowEvent OnGridCanAddRow;
    TAutoRowEvent OnGridAutoAddRow;
    TCanInsertRowEvent OnGridCanInsertRow;
    TAutoRowEvent OnGridInsertRow;
    TCanDeleteRowEvent OnGridCanDeleteRow;
    TAutoRowEvent OnGridDeleteRow;
    // A column the pop-up grid appends by the Enter advance.
    TAutoInsertColEvent OnGridInsertCol;
    // Asked before a row of the pop-up grid is sized by the mouse.
    TRowSizeEvent OnGridRowSize;
    // Fired by their slots only: the pop-up grid's own sort, compare and
    // spin events stay with the drop-down (a click sort keeps the chosen item).
    TCanSortEvent OnGridCanSort;
    TClickSortEvent OnGridClickSort;
    TCustomCompareEvent OnGridCustomCompare;
    TRawCompareEvent OnGridRawCompare;
    TExStringGrid::TSpinClickEvent OnGridSpinClick;

    TExColGrid* GetGrid() const { return FGrid; }
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }
    const TStringList& LookupItems() const { return FLookupItems; }
    const String& LookupEntry() const { return FLookupEntry; }
    // The first item (row in grid mode) whose lookup text starts with Text.
    bool LookupPrefix(const String& Text, String& Found, int& Index) const;
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();
    // The pop-up grid's columns scaled to the pop-up's width.
    void FitColumnsToWidth();
    int RowToItemIndex(int Row) const;
    int ItemIndexToRow(int Index) const;

    void SetComponentStyle(TGPKStyle AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoHideDropDown(bool Cancelled) override;
    void AdjustDropDownHeight(int& Height) override;
    void DoShowDropDown() override;

protected:
    virtual TDropDownItems* CreateItems();
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void ControlKeyDown(Word& Key, TShiftState Shift) override;
    void ControlKeyUp(Word& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;
    void FormSizing() override { FitColumnsToWidth(); }
    void WheelDown() override { SelectNext(); }
    void WheelUp() override { SelectPrevious(); }
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void DoEnter() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The event slots: the pop-up grid's events reach the drop-down here,
    // and each slot fires the drop-down's event of its name. The key slots
    // are reached through ControlKeyDown, ControlKeyUp and ControlKeyPress
    // (with the drop-down as Sender); the sort, compare and spin slots are
    // not bound to the pop-up grid; the two custom-draw slots only while
    // their event is assigned at the opening.
    virtual void DoGridAnchorClick(TObject* Sender, int ARow, int ACol, const String& Anchor, bool& AutoHandle);
    virtual void DoGridAnchorEnter(TObject* Sender, int ARow, int ACol, const String& Anchor);
    virtual void DoGridAnchorExit(TObject* Sender, int ARow, int ACol, const String& Anchor);
    virtual void DoGridAnchorHint(TObject* Sender, int ARow, int ACol, String& Anchor);
    virtual void DoGridButtonClick(TObject* Sender, int ACol, int ARow);
    virtual void DoGridCanSort(TObject* Sender, int ACol, bool& DoSort);
    virtual void DoGridClickSort(TObject* Sender, int ACol);
    virtual void DoGridCustomCompare(TObject* Sender, const String& Str1, const String& Str2, int& Res);
    virtual void DoGridRawCompare(TObject* Sender, int ACol, int Row1, int Row2, int& Res);
    virtual void DoGridColumnSize(TObject* Sender, int ACol, bool& Allow);
    virtual void DoGridColumnSizing(TObject* Sender, int ACol, int ColumnSize);
    virtual void DoGridEndColumnSize(TObject* Sender, int ACol);
    virtual void DoGridRowSize(TObject* Sender, int ARow, bool& Allow);
    virtual void DoGridRowSizing(TObject* Sender, int ARow, int RowSize);
    virtual void DoGridEndRowSize(TObject* Sender, int ARow);
    virtual void DoGridRowMove(TObject* Sender, int Index, bool& Allow);
    virtual void DoGridRowMoving(TObject* Sender, int Index, bool& Allow);
    virtual void DoGridRowMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void DoGridColumnMove(TObject* Sender, int Index, bool& Allow);
    virtual void DoGridColumnMoving(TObject* Sender, int Index, bool& Allow);
    virtual void DoGridColumnMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void DoGridCustomCellDraw(TObject* Sender, TCanvas& Canvas, int ACol, int ARow, TGridDrawState AState, TRect ARect, bool Printing);
    virtual void DoGridCustomCellBkgDraw(TObject* Sender, TCanvas& Canvas, int ACol, int ARow, TGridDrawState AState, TRect ARect, bool Printing);
    virtual void DoGridCellBalloon(TObject* Sender, int ACol, int ARow, String& ATitle, String& AText, int& AIcon);
    virtual void DoGridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void DoGridGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush& ABrush, TFont& AFont);
    virtual void DoGridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo, TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD);
    virtual void DoGridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat, String& FloatFormat);
    virtual void DoGridGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor);
    virtual void DoGridGetEditorProp(TObject* Sender, int ACol, int ARow);
    virtual void DoGridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit);
    virtual void DoGridEllipsClick(TObject* Sender, int ACol, int ARow, String& S);
    virtual void DoGridGetDisplText(TObject* Sender, int ACol, int ARow, String& Value);
    virtual void DoGridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix);
    virtual void DoGridHint(TObject* Sender, int ARow, int ACol, String& hintstr);
    virtual void DoGridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    virtual void DoGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoGridKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual void DoGridKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
    virtual void DoGridKeyPress(TObject* Sender, Char& Key);
    virtual void DoGridRightClickCell(TObject* Sender, int ARow, int ACol);
    virtual void DoGridScrollHint(TObject* Sender, int ARow, String& hintstr);
    virtual void DoGridTopLeftChanged(TObject* Sender);
    virtual void DoGridSearchEditChange(TObject* Sender, const String& Value, bool& DefaultSearch);
    virtual void DoGridSpinClick(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown);
    virtual void DoGridAutoAddRow(TObject* Sender, int ARow);
    virtual void DoGridInsertRow(TObject* Sender, int ARow);
    virtual void DoGridInsertCol(TObject* Sender, int ACol);
    virtual void DoGridDeleteRow(TObject* Sender, int ARow);
    virtual void DoGridCanAddRow(TObject* Sender, bool& CanAdd);
    virtual void DoGridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert);
    virtual void DoGridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete);
    void DoGridCheckBoxClick(TObject* Sender, int ACol, int ARow, bool State);

private:
    friend class TExColGrid;
    // The pop-up keeps open while set (its deactivation neither closes it nor counts).
    void BlockActivate(bool On);
    void UpdateLookupItems();
    void BindGridEvents();
    void UnbindGridEvents();
    void PrepareGrid();
    void GridSelectCell(int Row);
    void GridSelect();
    // The character lookup; the pop-up grid's row showing the result, or -1.
    int LookupKey(Char Key);
    // Sets the index directly and shows Found with the part after the typed entry selected.
    void ShowLookup(int Index, const String& Found, int Typed);
    // Rows to choose from: items, or data rows in grid mode.
    int ChoiceCount() const;
    // An item's line, or empty when it has fewer.
    String LookupText(int Item) const;

    std::unique_ptr<TDropDownItems> FItems;
    TDropDownColumns FColumns;
    TFont FHeaderFont;
    TNavigation FNavigation;
    TMouseActions FMouseActions{this};
    TBands FBands;
    TSearchFooter FSearchFooter{this, false};
    TImageList* FGridImages = nullptr;
    TDropDownStyle FStyle = dsDropDown;
    int FItemIndex = -1;
    TExColGrid* FGrid = nullptr;
    TStringList FLookupItems;
    String FLookupEntry;
    bool FWorkMode = true;
    bool FCompleting = false;
    TPendingCompletion FPending;
    int FSelRow = -1;
    int FOldItemIndex = -1;
    int FTempItemIndex = -1;  // the item held across a click sort
    bool FPreparing = false;
    bool FBalloonInit = false;  // the pop-up grid's balloon re-armed since the opening
};

}  // namespace ExCustomGridDropDown

using ExCustomGridDropDown::TCustomExGridDropDown;
