#pragma once
// The multi-column drop-down: a lookup edit over a table. Each item holds
// one text per column and an image; the pop-up lists the items as rows of a
// grid under a header, and the edit shows the item's text of the lookup
// column. Typing in the edit completes against the lookup column, typing in
// the open list jumps to the first matching row. The grid drop-down has
// classes of the same names, so this unit's live in its own namespace.

#include "controls/ExDropDown.h"
#include "controls/ExItemSelector.h"

#include "framework/Classes.h"
#include "framework/Grids.h"

#include <vector>

namespace ExMultiColumnDropDown {

enum TColumnType { ctText, ctImage };

class TDropDownColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    String Header;
    int Width = 80;
    bool AutoSize = false;
    TAlignment Alignment = taLeftJustify;
    TColor Color = 0xFFFFFF;
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(&Value); }
    TColumnType ColumnType = ctText;
    bool Wordwrap = false;
    bool Ellipsis = false;

protected:
    String ClassName() const override { return u"TDropDownColumn"; }

private:
    TFont FFont;
};

class TDropDownColumns : public TCollection {
public:
    explicit TDropDownColumns(TPersistent* AOwner);
    TDropDownColumn* Add() { return static_cast<TDropDownColumn*>(TCollection::Add()); }
    TDropDownColumn* Insert(int Index) { return static_cast<TDropDownColumn*>(TCollection::Insert(Index)); }
    TDropDownColumn* Items(int Index) const { return ItemsAs<TDropDownColumn>(Index); }
};

class TDropDownItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    int ImageIndex = -1;
    TStringList& Text() { return FText; }
    const TStringList& Text() const { return FText; }
    void SetText(const TStringList& Value) { FText = Value; }
    // The string at Column, or empty when the item has fewer.
    String TextAt(int Column) const;

protected:
    String ClassName() const override { return u"TDropDownItem"; }

private:
    TStringList FText;
};

class TDropDownItems : public TCollection {
public:
    explicit TDropDownItems(TPersistent* AOwner);
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) { return static_cast<TDropDownItem*>(TCollection::Insert(Index)); }
    TDropDownItem* Items(int Index) const { return ItemsAs<TDropDownItem>(Index); }
    // The first item with a string at Column equal to Value, or -1.
    int IndexInColumn(int Column, const String& Value) const;
};

class TExMultiColumnDropDown;

// The widths of columns whose own widths are Widths, scaled to fill
// Available pixels (with one pixel of slack): each rounded, the rounding
// error carried on and paid out a pixel at a time.
std::vector<int> FitWidths(const std::vector<int>& Widths, int Available);
// The grid's columns scaled from Columns' own widths to fill PopupWidth, less
// a scroll bar when not all rows show; the grid scrolls vertically only.
void StretchGridColumns(TCustomGrid& Grid, const TDropDownColumns& Columns, int PopupWidth);
// A lookup edit's moves among Count choices from Index (nothing without
// any): the first, the last, the next or previous (the first from none),
// ten on or back (to the last or first).
enum class TLookupStep { First, Last, Next, Previous, NextPage, PreviousPage };
void StepLookup(TLookupStep Step, int Index, int Count, const std::function<void(int)>& SetItemIndex);
// The pop-up height for a proposed Height: the strips (Strips pixels), the
// header row and its 2-pixel frame, then whole rows of RowHeight (none
// below 1: no snapping).
int WholeRowsHeight(int Height, int Strips, int HeaderHeight, int RowHeight);
// The heights of the pop-up's visible header and footer strips.
int StripsHeight(TExCustomDropDown& Edit);
// The pop-up as wide as the grid's columns (Width) and its border; the
// grid fills the pop-up again afterwards.
void FitPopupToGrid(TDropDownForm& Form, TControl& Grid, int Width, int Border);

using TDropDownDrawCellEvent =
    std::function<void(TObject* Sender, int Column, int Row, TCanvas& ACanvas, TRect ARect)>;
using TGetCellTextEvent = std::function<void(TObject* Sender, int Column, int Row, String& Text)>;

// The list in the pop-up: a header row and one row per item of its owner,
// read straight from the owner's items and painted cell by cell.
class TExColGrid : public TStringGrid {
public:
    explicit TExColGrid(TComponent* AOwner);
    ~TExColGrid() override;

    TDropDownColumns& Columns() { return FColumns; }
    void SetColumns(const TDropDownColumns& Value) { FColumns.Assign(&Value); }
    TColor HeaderColor = 0xFFFFFF, HeaderColorTo = 0x808080;
    int HeaderHeight = 25;
    TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const TFont& Value) { FHeaderFont.Assign(&Value); }
    TColor LineColor = 0x808080, FixedLineColor = 0x000000;
    int LineWidth() const { return FGridLineWidth; }
    // This grid draws its own lines; the base grid's become 0 wide.
    void SetLineWidth(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TNotifyEvent OnSelect;

    void SetOwnerDropDown(TExMultiColumnDropDown* Owner) { FExDropDown = Owner; }
    void LoadItems(TExMultiColumnDropDown* Owner);
    int GetColumnsWidth();
    void AutoSizeColumns();
    void AutoSizeColumn(int Index);
    void AutoSizeRows();
    TRect CellRectFull(int ACol, int ARow);
    // Set when the current row was reached by a key or a click, not by the wheel.
    bool ConfirmSelection() const { return FConfirmSelection; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

protected:
    virtual void DoSelect();
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    LRESULT NativeDlgCode() const override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
    bool InPopup() const;
    String ItemText(int Row, int Col) const;
    TDropDownColumns FColumns;
    TFont FHeaderFont;
    int FGridLineWidth = 1;
    TImageList* FImages = nullptr;
    TExMultiColumnDropDown* FExDropDown = nullptr;
    bool FConfirmSelection = false, FMouseWheelSelection = false;
};

class TExMultiColumnDropDown : public TExCustomDropDown {
public:
    explicit TExMultiColumnDropDown(TComponent* AOwner);
    ~TExMultiColumnDropDown() override;
    void Assign(const TPersistent* Source) override;

    TDropDownItems& Items() { return FItems; }
    void SetItems(const TDropDownItems& Value) { FItems.Assign(&Value); }
    TDropDownColumns& Columns() { return FColumns; }
    void SetColumns(const TDropDownColumns& Value) { FColumns.Assign(&Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int GetItemIndex(const String& Value) const;
    int RowCount() const { return FItems.Count(); }
    int LookupColumn = 0;
    bool CaseSensitive = false;
    bool MatchCase = false;
    bool DropDownAutoWidth = true;
    bool ColumnSizeWithDropDown = true;
    bool ColumnSizing = false;
    int DropDownRowHeight = 22;
    int HeaderHeight = 25;
    TColor HeaderColor = 0xFFFFFF, HeaderColorTo = 0x808080;
    TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const TFont& Value) { FHeaderFont.Assign(&Value); }
    TColor LineColor = 0xF1EDEB, FixedLineColor = 0xD1BBA4;
    TColor SelectionTextColor = 0x000000;
    TNotifyEvent OnSelect;
    TDropDownDrawCellEvent OnDropDownDrawItem;
    TGetCellTextEvent OnDropDownGetItemText;
    TExColGrid* Grid() const { return FExColGrid; }
    // The lookup column's text of every item, rebuilt by EndUpdate.
    const TStringList& LookupItems() const { return FLookupItems; }
    const String& LookupEntry() const { return FLookupEntry; }

    void BeginUpdate() {}
    void EndUpdate();
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();

    void SetComponentStyle(TGPKStyle AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoHideDropDown(bool Cancelled) override;
    // The height the pop-up takes for a proposed one: whole rows only.
    void AdjustDropDownHeight(int& Height) override;

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void DoShowDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void ControlKeyDown(Word& Key, TShiftState Shift) override;
    void ControlKeyUp(Word& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;
    void FormSizing() override;
    void Loaded() override;
    void WheelDown() override;
    void WheelUp() override;
    void WMKeyDown(TWMKey& Message) override;

private:
    friend class TExColGrid;
    void StretchColumns();
    // Finds the first item whose lookup string begins with Entry; -1 when none.
    int SearchLookup(const String& Entry) const;
    void ShowFound(int Index, int Selected);
    bool StaysInGrid(Word Key) const;

    TDropDownItems FItems;
    TDropDownColumns FColumns;
    TFont FHeaderFont;
    int FItemIndex = -1;
    TExColGrid* FExColGrid = nullptr;
    TStringList FLookupItems;
    String FLookupEntry;
    bool FWorkMode = true;
    TPendingCompletion FPending;
    int FOldItemIndex = -1;
    bool FShowing = false;
    bool FCompleting = false;
};

}  // namespace ExMultiColumnDropDown

using ExMultiColumnDropDown::TExMultiColumnDropDown;
