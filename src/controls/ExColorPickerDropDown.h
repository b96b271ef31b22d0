#pragma once
// The colour picker: a drop-down whose value is a colour. The edit area
// shows a box filled with the colour and a text for it; the pop-up offers
// one of four ways of choosing: a list of named colours (the item
// selector), a palette of theme colours in boxes, a honeycomb of 127
// hexagonal cells, or a spectrum picture. The three panels know nothing of
// the picker and can stand on any window.

#include "controls/ExDropDown.h"
#include "controls/ExItemSelector.h"

#include "framework/ExtCtrls.h"

#include <array>

// ---------------------------------------------------------------------------
// The panels
// ---------------------------------------------------------------------------
class TExCustomColorSelectorPanel : public TCustomControl {
public:
    explicit TExCustomColorSelectorPanel(TComponent* AOwner);

protected:
    void SetPanelSize(int AHeight, int AWidth) { SetBounds(Left(), Top(), AWidth, AHeight); }
    void ShouldHide() {
        if (FOnShouldHide) FOnShouldHide(this);
    }
    TNotifyEvent FOnShouldHide;  // the mouse button went up over the panel
};

struct TCubeCell {
    TPoint Center;
    TColor Color = clNone;
};

// A honeycomb of 127 hexagonal cells, numbered 1 to 127 row by row.
class TExColorCubePanel : public TExCustomColorSelectorPanel {
public:
    static constexpr int CellCount = 127;
    explicit TExColorCubePanel(TComponent* AOwner);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value) { SelectColor(Value, -1); }
    // Stores Color; the selected cell becomes Index when it names a cell,
    // else the first cell of that colour, else none. No repaint.
    void SelectColor(TColor Color, int Index);
    int SelectedIndex() const { return FSelectedIndex; }
    int HotIndex() const { return FHotIndex; }
    bool ShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool Value);
    const TCubeCell& Cell(int Index) const { return FCubeCells[size_t(Index - 1)]; }
    TPoint CubeSize() const { return FCubeSize; }
    void InitCubeCells();
    void ResetPanel();
    // The first cell within 6 pixels of its centre, or -1.
    int CellAtPos(int X, int Y) const;
    bool PtInCell(int Index, TPoint P) const;
    TNotifyEvent OnSelect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DrawCell(TCanvas& Canvas, int Index);
    void DrawAllCells(TCanvas& Canvas);
    static void DrawHexagon(TCanvas& Canvas, TPoint Center, int H, int W);
    // Repaints a cell's hexagon.
    void InvalidateCell(int Index);

private:
    std::array<TCubeCell, CellCount> FCubeCells{};
    TPoint FCubeSize{6, 3};
    TColor FSelectedColor = clNone;
    int FSelectedIndex = -1, FHotIndex = -1;
    bool FShowRGBHint = true;
};

// The cursor number of the pipette over the spectrum.
constexpr TCursor crPipette = 54;

// A 128 x 128 spectrum picture with a swatch of the colour under the
// pointer (hot) and one of the colour chosen (selected).
class TExColorSpectrumPanel : public TExCustomColorSelectorPanel {
public:
    explicit TExColorSpectrumPanel(TComponent* AOwner);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value) { FSelectedColor = Value; }
    TColor HotColor() const { return FHotColor; }
    TImage* SpectrumImage() const { return FSpectrumImage; }
    TRect HotRect() const { return FHotRect; }
    TRect SelectedRect() const { return FSelectedRect; }
    void ResetPanel();
    TNotifyEvent OnSelect;

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ImageMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageMouseMove(TShiftState Shift, int X, int Y);
    void ImageMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void DrawSwatch(TCanvas& Canvas, const TRect& R, TColor Color);
    TImage* FSpectrumImage = nullptr;
    TColor FHotColor = clNone;
    TColor FSelectedColor = 0xFFFFFF;
    TRect FHotRect{}, FSelectedRect{};
};

// The look of the discrete selector's box frames.
class TColorBoxAppearance : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    TColor BorderColor = 0xC5C5C5;
    TColor OuterBorderColorHot = 0x3694F2, InnerBorderColorHot = 0x94E2FF;
    TColor OuterBorderColorSelected = 0x0000FF, InnerBorderColorSelected = 0x94E2FF;
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return u"TColorBoxAppearance"; }
};

// Where a box sits in a column of tints: alone, or at the top, middle or
// bottom of a strip drawn without gaps.
enum TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };

class TColorBoxItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled = true;
    TRect Rect{};  // set by the layout
    TItemPos ColorBoxPos = ipStandAlone;

protected:
    String ClassName() const override { return u"TColorBoxItem"; }

private:
    TColor FColor = clNone;
};

class TColorBoxItems : public TCollection {
public:
    explicit TColorBoxItems(TPersistent* AOwner);
    TColorBoxItem* Add() { return static_cast<TColorBoxItem*>(TCollection::Add()); }
    TColorBoxItem* Items(int Index) const { return ItemsAs<TColorBoxItem>(Index); }
    TNotifyEvent OnChange;
};

// Colour boxes in rows of Columns, chosen by mouse or keys.
class TCustomColorSelector : public TExCustomColorSelectorPanel {
public:
    explicit TCustomColorSelector(TComponent* AOwner);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int Index);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ColumnGap() const { return FColumnGap; }
    void SetColumnGap(int Value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TColorBoxAppearance& ColorBoxAppearance() { return FColorBoxAppearance; }
    void SetColorBoxAppearance(const TColorBoxAppearance& Value) { FColorBoxAppearance.Assign(&Value); }
    TColorBoxItems& Items() { return FItems; }
    void SetItems(const TColorBoxItems& Value) { FItems.Assign(&Value); }
    TNotifyEvent OnItemSelect;

    int ItemAtPos(int X, int Y) const;
    TRect GetItemRect(int Index) const;
    void DrawItems(TCanvas& Canvas);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // The keys a host drop-down passes on: EditorEnabled whether the host
    // takes typing, DroppedDown whether its pop-up is open.
    void HandleKey(Word Key, bool EditorEnabled, bool DroppedDown);
    // The 60 colours of the theme palette, ten per row.
    void LoadThemeColors();

    virtual void DrawItem(int Index, TCanvas& Canvas);
    virtual void GetItemsRect(TRect& R) const;
    virtual void GetItemSize(TPoint& Size) const;
    virtual void ArrangeItems();
    virtual void InvalidateItem(int Index);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool Valid(int Index) const { return Index >= 0 && Index < FItems.Count(); }
    bool Disabled(int Index) const { return Valid(Index) && !FItems.Items(Index)->Enabled; }
    // ItemIndex + Step when that is a box.
    void SelectStep(int Step);
    TColorBoxItems FItems;
    TColorBoxAppearance FColorBoxAppearance;
    int FItemIndex = -1, FItemHot = -1;
    int FOffSetX = 4, FOffSetY = 4;
    int FColumnGap = 4, FColumns = 10;
    int FColorBoxHeight = 12, FColorBoxWidth = 12;
    TSelectionColorStyle FItemColorStyle = scOffice2007;
    TColor FSelectedColor = clNone;
};

// ---------------------------------------------------------------------------
// The picker
// ---------------------------------------------------------------------------
class TColorItem : public TPickerItem {
public:
    using TPickerItem::TPickerItem;
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled = true;
    TRect Rect{};  // not used by the picker
    String Hint;

protected:
    String ClassName() const override { return u"TColorItem"; }

private:
    TColor FColor = clNone;
};

class TColorItems : public TPickerItems {
public:
    explicit TColorItems(TPersistent* AOwner);
    TColorItem* Add() { return static_cast<TColorItem*>(TCollection::Add()); }
    TColorItem* GetItem(int Index) const { return ItemsAs<TColorItem>(Index); }
};

enum TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
enum TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };

using TDrawSelectedColorEvent = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R)>;
using TDrawColorEvent = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R, int Index)>;

// A named web colour, its value written as #RRGGBB.
struct TWebColor {
    const char16_t* Name;
    unsigned RRGGBB;
};
// The 138 named web colours.
extern const TWebColor WebColors[138];

// "clWeb" and the name of a colour (0xBBGGRR) among the 138 named web
// colours, else "#RRGGBB" in upper case.
String WebColorName(TColor RGB);

class TExColorPickerDropDown : public TExCustomDropDown {
public:
    explicit TExColorPickerDropDown(TComponent* AOwner);
    ~TExColorPickerDropDown() override;

    TColorItems& Colors() { return FColors; }
    void SetColors(const TColorItems& Value) { FColors.Assign(&Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    String SelectedColorText() const { return GetSelectedColorText(); }
    int Columns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value) { FColorBoxWidth = Value; }
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value) { FColorBoxHeight = Value; }
    TItemAppearance& ItemAppearance() { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& Value) { FItemAppearance.Assign(&Value); }
    TColorSelectionStyle ColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle Value);
    TColorValueText ColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText Value) { FColorValueText = Value; }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TNotifyEvent OnSelect;
    TDrawSelectedColorEvent OnDrawSelectedColor;
    TDrawColorEvent OnDrawColor;

    // The 16 named colours, appended.
    void AddDefaultColors();
    // Steps through Colors while the pop-up is closed.
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    // The pop-up controls, made on first need.
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TCustomColorSelector* ColorSelector() const { return FColorSelector; }
    TExColorCubePanel* CubePanel() const { return FCubePanel; }
    TExColorSpectrumPanel* SpectrumPanel() const { return FSpectrumPanel; }
    // The type-to-find timer (500 ms).
    TTimer& KeyTimer() { return *FKeyTimer; }
    const String& CurSearch() const { return FCurSearch; }

    void SetComponentStyle(TGPKStyle AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void DoHideDropDown(bool Cancelled) override;

protected:
    virtual String GetSelectedColorText() const;
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void FormDestroy() override;
    void WheelDown() override;
    void WheelUp() override;
    void PaintEditArea() override;
    void WMPaint(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void CreateItemSelector();
    void CreateColorSelector();
    void CreateCubePanel();
    void CreateSpectrumPanel();
    // Makes and loads the pop-up control of the current style and hides the others.
    void PrepareControl();
    template <class TPanel> TControl* PreparePanel(TPanel& P);
    TControl* StyleControl() const;
    void UpdateItemSelector();
    void SizeToControl();
    void DrawSelectedColor();
    // The discrete selector takes the picker's colour without telling back.
    void SyncColorSelector();
    void WheelStep(bool Down);
    template <typename F> void Internally(F f) { WithFlagRaised(FInternalCall, f); }

    TColorItems FColors;
    int FItemIndex = -1;
    TColor FSelectedColor = clNone;
    int FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    int FColorBoxWidth = 14, FColorBoxHeight = 14;
    TItemAppearance FItemAppearance;
    TColorSelectionStyle FColorSelectionStyle = csList;
    TColorValueText FColorValueText = cvtNone;
    bool FShowText = true;

    TExCustomItemSelector* FItemSelector = nullptr;
    TCustomColorSelector* FColorSelector = nullptr;
    TExColorCubePanel* FCubePanel = nullptr;
    TExColorSpectrumPanel* FSpectrumPanel = nullptr;
    bool FInternalCall = false;
    TTimer* FKeyTimer = nullptr;
    String FCurSearch;
    int FOldItemIndex = -1;
    TColor FOldSelectedColor = clNone;
};
