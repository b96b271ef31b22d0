#pragma once
// The column grid: the string grid with a collection of typed columns whose
// settings (header, width, editor kind, read-only and fixed flags, check
// texts, fonts, colours, limits) answer the grid's per-cell queries before
// its events do. Columns[i] is the column of real column i.

#include "grid/ExGrid.h"

#include "framework/Menus.h"
#include "framework/Streams.h"

class TExColumnGrid;
class TGridColumnCollection;

enum TColumnPopupType {
    cpFixedCellsRClick, cpFixedCellsLClick, cpNormalCellsRClick, cpNormalCellsLClick, cpAllCellsRClick,
    cpAllCellsLClick
};

class TGridColumnItem : public TCollectionItem {
public:
    explicit TGridColumnItem(TCollection* Collection);

    // Everything of the column: its look from the source too.
    void Assign(const TPersistent* Source) override;
    // The column's behaviour and look, but the grid's colour and font.
    void AssignVisuals(const TGridColumnItem& Source);
    String DisplayName() const override;
    TExColumnGrid* Grid() const;

    const String& Header() const { return FHeader; }
    void SetHeader(const String& Value);
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment Value);
    TEditorType Editor() const { return FEditor; }
    void SetEditor(TEditorType Value);
    TStringList& ComboItems() { return FComboItems; }
    void SetComboItems(const TStringList& Value) { FComboItems.Assign(&Value); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool Fixed() const { return FFixed; }
    void SetFixed(bool Value);
    int EditLength() const { return FEditLength; }
    void SetEditLength(int Value) { FEditLength = Value; }
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& Value) { FEditMask = Value; }
    int SpinMin() const { return FSpinMin; }
    void SetSpinMin(int Value) { FSpinMin = Value; }
    int SpinMax() const { return FSpinMax; }
    void SetSpinMax(int Value) { FSpinMax = Value; }
    int SpinStep() const { return FSpinStep; }
    void SetSpinStep(int Value) { FSpinStep = Value; }
    // The link of the custom editor kind in this column; a freed link is let go.
    TEditLink* EditLink() const { return FEditLink; }
    void SetEditLink(TEditLink* Value);
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value);
    TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const TFont& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    const String& CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const String& Value) { FCheckTrue = Value; }
    const String& CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const String& Value) { FCheckFalse = Value; }
    bool Password() const { return FPassword; }
    void SetPassword(bool Value);
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool Value);
    // The borders (cbLeft .. cbBottom) of the column's data cells and their pen.
    const TSet<int>& Borders() const { return FBorders; }
    void SetBorders(const TSet<int>& Value);
    TPen& BorderPen() { return FBorderPen; }
    void SetBorderPen(const TPen& Value);
    const String& FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const String& Value);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value; }
    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int Value) { FMaxSize = Value; }
    int AutoMinSize() const { return FAutoMinSize; }
    void SetAutoMinSize(int Value) { FAutoMinSize = Value; }
    int AutoMaxSize() const { return FAutoMaxSize; }
    void SetAutoMaxSize(int Value) { FAutoMaxSize = Value; }
    TColor PrintColor() const { return FPrintColor; }
    void SetPrintColor(TColor Value) { FPrintColor = Value; }
    // How the column's data cells print: their font (with PrintFontCustom;
    // else the print settings' font) and their borders and pen (with
    // PrintBorderCustom; else the print settings' borders).
    TFont& PrintFont() { return FPrintFont; }
    void SetPrintFont(const TFont& Value) { FPrintFont.Assign(&Value); }
    bool PrintFontCustom() const { return FPrintFontCustom; }
    void SetPrintFontCustom(bool Value) { FPrintFontCustom = Value; }
    const TSet<int>& PrintBorders() const { return FPrintBorders; }
    void SetPrintBorders(const TSet<int>& Value) { FPrintBorders = Value; }
    TPen& PrintBorderPen() { return FPrintBorderPen; }
    void SetPrintBorderPen(const TPen& Value) { FPrintBorderPen.Assign(&Value); }
    bool PrintBorderCustom() const { return FPrintBorderCustom; }
    void SetPrintBorderCustom(bool Value) { FPrintBorderCustom = Value; }
    // The menu a click of ColumnPopupType on the column's cells pops up; a freed menu is let go.
    TPopupMenu* ColumnPopup() const { return FColumnPopup; }
    void SetColumnPopup(TPopupMenu* Value);
    TStringList& Filter() { return FFilter; }
    void SetFilter(const TStringList& Value) { FFilter.Assign(&Value); }
    bool FilterCaseSensitive() const { return FFilterCaseSensitive; }
    void SetFilterCaseSensitive(bool Value) { FFilterCaseSensitive = Value; }
    // How the column's cells compare when the grid sorts, and the texts
    // around their values that the number formats leave out.
    TSortStyle SortStyle() const { return FSortStyle; }
    void SetSortStyle(TSortStyle Value) { FSortStyle = Value; }
    const String& SortPrefix() const { return FSortPrefix; }
    void SetSortPrefix(const String& Value) { FSortPrefix = Value; }
    const String& SortSuffix() const { return FSortSuffix; }
    void SetSortSuffix(const String& Value) { FSortSuffix = Value; }
    TColumnPopupType ColumnPopupType() const { return FColumnPopupType; }
    void SetColumnPopupType(TColumnPopupType Value) { FColumnPopupType = Value; }
    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // The column's position in the design-time order.
    int DefIdx = 0;

    // Run-time views of the column's cells.
    String Rows(int ARow) const;
    void SetRows(int ARow, const String& Value);

    String ClassName() const override { return u"TGridColumnItem"; }

private:
    friend class TExColumnGrid;
    void Changed();
    // Assign and what it leaves out (the popup kind and the two print flags).
    void AssignWhole(const TGridColumnItem& Source);

    String FHeader;
    int FWidth = 64;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FHeaderAlignment = taLeftJustify;
    TEditorType FEditor = edNormal;
    TStringList FComboItems;
    int FDropDownCount = 8;
    bool FReadOnly = false;
    bool FFixed = false;
    int FEditLength = 0;
    String FEditMask;
    int FSpinMin = 0;
    int FSpinMax = 0;
    int FSpinStep = 1;
    TEditLink* FEditLink = nullptr;
    TFont FFont;
    TFont FHeaderFont;
    TColor FColor = clWindow;
    String FCheckTrue = u"Y";
    String FCheckFalse = u"N";
    bool FPassword = false;
    bool FShowBands = false;
    TSet<int> FBorders;
    TPen FBorderPen;
    String FFloatFormat;
    int FMinSize = 0;
    int FMaxSize = 0;
    int FAutoMinSize = 0;
    int FAutoMaxSize = 0;
    TColor FPrintColor = clWhite;
    TFont FPrintFont;
    bool FPrintFontCustom = true;
    TSet<int> FPrintBorders{cbLeft, cbTop, cbRight, cbBottom};
    TPen FPrintBorderPen;
    bool FPrintBorderCustom = true;
    TPopupMenu* FColumnPopup = nullptr;
    TStringList FFilter;
    bool FFilterCaseSensitive = false;
    TSortStyle FSortStyle = ssAutomatic;
    String FSortPrefix;
    String FSortSuffix;
    TColumnPopupType FColumnPopupType = cpFixedCellsRClick;
    String FName;
    int FTag = 0;
};

class TGridColumnCollection : public TCollection {
public:
    explicit TGridColumnCollection(TExColumnGrid* AOwner);
    TGridColumnItem* Items(int Index) const { return ItemsAs<TGridColumnItem>(Index); }
    // A new last column takes the visuals of the one before it.
    TGridColumnItem* Add();
    TGridColumnItem* Insert(int Index);
    // Item count in line with the grid, then DefIdx := index for every item.
    void SetOrganization();
    void ResetOrganization();
    TExColumnGrid* Grid() const { return FOwner; }
    bool NoRecursiveUpdate = false;
    String ClassName() const override { return u"TGridColumnCollection"; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TExColumnGrid* FOwner;
};

using TAfterColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
// A column's popup menu is about to show for cell (ACol displayed, ARow); the handler may prepare it.
using TColumnPopupEvent = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu* PopupMenu)>;

class TExColumnGrid : public TExStringGrid {
public:
    explicit TExColumnGrid(TComponent* AOwner);
    ~TExColumnGrid() override;

    TGridColumnCollection& Columns() { return *FColumnCollection; }
    void SetColumns(const TGridColumnCollection& Value) { FColumnCollection->Assign(&Value); }
    void SetColCount(int Value);
    TGridColumnItem* GetColumnByName(const String& Name);
    bool AutoFilterDisplay() const { return FAutoFilterDisplay; }
    void SetAutoFilterDisplay(bool Value) { FAutoFilterDisplay = Value; }

    int GetVersionNr() override;
    String GetVersionString() override;

    // The columns as a self-describing stream: class name, then each column's settings.
    void SaveColumnsToStream(TStream& Stream);
    // Replaces every column by the stream's; a stream of another kind raises EReadError.
    void LoadColumnsFromStream(TStream& Stream);
    // "CP<i>" = DefIdx of column i in Section of the INI file Key.
    void SaveColumnPositions(const String& Key, const String& Section);
    // Leaves the order alone when a key is missing.
    void LoadColumnPositions(const String& Key, const String& Section);

    void RemoveCols(int ColIndex, int CCount) override;
    // The grouped column's settings wait in a spare column until it comes back.
    void Group(int Col) override;
    void UnGroup() override;
    void InsertCols(int ColIndex, int CCount) override;
    TCellType GetCellType(int ACol, int ARow) override;
    // With the column's float format, a number cell shows its value in that format.
    String GetFormattedCell(int ACol, int ARow) override;
    bool SaveCellView(int ACol, int ARow, std::u16string_view& Text) override;
    TCellGraphic* GetCellGraphic(int ACol, int ARow) override;

    TAfterColumnMovedEvent OnAfterColumnMoved;
    TColumnPopupEvent OnColumnPopup;

protected:
    virtual void CreateColumns();
    void Loaded() override;
    void CellEditable(int ACol, int ARow, bool& CanEdit) override;
    void IsFixedCell(int ACol, int ARow, bool& IsFixed) override;
    void GetCellEditor(int ACol, int ARow, TEditorType& AEditor) override;
    String GetFloatFormat(int ACol, int ARow) override;
    String DoGetCheckTrue(int ACol, int ARow) override;
    String DoGetCheckFalse(int ACol, int ARow) override;
    void ColumnHeadersChanged() override;
    void GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                             TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                             bool& WW, TCellGradientDirection& GD) override;
    void DoGetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) override;
    TAlignment DoGetAlignment(int ACol, int ARow) override;
    void DoUpdateColumnSize(int ACol, int& AWidth) override;
    void DoUpdateColumnSizeAuto(int ACol, int& AWidth) override;
    // The column's sort format, then the event.
    void DoGetFormat(int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix) override;
    // The column's own filter values, shown without their conditions.
    bool DoGetColumnFilter(int Col) override;
    // A pick among the column's own filter values applies its condition.
    void DoFilterSelect(int ItemIndex) override;
    bool DoIsPasswordCell(int ACol, int ARow) override;
    void DoGetCellBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) override;
    // The column's print colour, font and borders, then the events.
    void DoGetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) override;
    void DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) override;
    // After the string grid's handling: the column's popup menu for a click of its kind.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoHasComboBox(int ACol, int ARow) override;
    // The column's combo items and drop-down count go into the combo editor first.
    void DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink = nullptr) override;
    String GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void ChangeScale(int M, int D) override;
    // Columns let go of a freed editor link.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TGridColumnItem;
    friend class TGridColumnCollection;
    // Items = ColCount + hidden columns, added with the visuals of the one before.
    void AlignItems();
    void RebuildHeaders();
    bool IsDataCell(int ACol, int ARow);
    bool IsInsideCell(int ACol, int ARow);
    TGridColumnItem* Item(int ACol) const;

    TGridColumnCollection* FColumnCollection = nullptr;
    TCellGraphic FCellGraphic;
    TGridColumnItem FSaveCol{nullptr};
    bool FColMoving = false;
    bool FAutoFilterDisplay = false;
};
