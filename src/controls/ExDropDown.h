#pragma once
// The drop-down edit: a single-line edit with a button inside its right edge
// that opens a pop-up window holding one control supplied by a kind (track
// bar, memo, calculator, ...) between an optional header and footer strip.
// The edit owns the pop-up's life (open, size, place, close with accept or
// cancel, the size the user gave it), the keyboard contract between the edit
// and the pop-up control, the typed text entry with its number formatting,
// and the looks. A kind supplies the control, loads it before the pop-up
// opens and writes its value back after it closes.

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"

#include "grid/foundation/DropDownLooks.h"
#include "grid/foundation/ExStyleIF.h"

#include <functional>
#include <memory>
#include <vector>

class TExCustomDropDown;
class TExHeader;
class TExFooter;
class TExButtonAppearance;
class TItemAppearance;
class TImageList;

// The look of the strip buttons, shared by all buttons of one drop-down.
class TExButtonAppearance : public TPersistent {
public:
    TExButtonAppearance();
    void Assign(const TPersistent* Source) override;
#define EXBA_COLOR(Name)                                  \
    TColor Name() const { return F##Name; }               \
    void Set##Name(TColor Value) {                        \
        if (F##Name == Value) return;                     \
        F##Name = Value;                                  \
        Changed();                                        \
    }
    EXBA_COLOR(BorderColor)
    EXBA_COLOR(BorderColorHot)
    EXBA_COLOR(BorderColorDown)
    EXBA_COLOR(BorderColorDisabled)
    EXBA_COLOR(BorderColorChecked)
    EXBA_COLOR(Color)
    EXBA_COLOR(ColorTo)
    EXBA_COLOR(ColorDown)
    EXBA_COLOR(ColorDownTo)
    EXBA_COLOR(ColorHot)
    EXBA_COLOR(ColorHotTo)
    EXBA_COLOR(ColorCheckedTo)
    EXBA_COLOR(ColorDisabled)
    EXBA_COLOR(ColorDisabledTo)
    EXBA_COLOR(ColorChecked)
#undef EXBA_COLOR
    TBarAppearance::TGradientDirection Gradient() const { return FGradient; }
    void SetGradient(TBarAppearance::TGradientDirection Value);
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(&Value); }
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return u"TExButtonAppearance"; }

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
    TColor FBorderColor = clNone, FBorderColorHot = 0x808080, FBorderColorDown = 0x800000;
    TColor FBorderColorDisabled = 0x808080, FBorderColorChecked = 0xFF0000;
    TColor FColor = clNone, FColorTo = clNone, FColorDown = 0xF5D8CA, FColorDownTo = 0xF9BDA0;
    TColor FColorHot = 0xF5F0E1, FColorHotTo = 0xF9D2B2, FColorCheckedTo = 0xF9BDA0;
    TColor FColorDisabled = 0xF2F2F2, FColorDisabledTo = clNone, FColorChecked = 0xF5D8CA;
    TBarAppearance::TGradientDirection FGradient = TBarAppearance::gdVertical;
    TFont FFont;
};

enum TDropPosition { dpAuto, dpDown, dpUp };

enum TDropDownEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney, etRange, etHex,
    etAlphaNumeric, etValidChars
};

enum TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };

// Where an item's caption goes beside its picture (the item lists and key panels of the kinds).
enum TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };

enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight,
    lpBottomRight
};

// The label's place beside a control at Bounds: LabelSize the label's
// size, TextWidth the caption's measured width, Margin the gap.
TPoint CaptionLabelPosition(TLabelPosition Position, const TRect& Bounds, TSize LabelSize, int TextWidth, int Margin);
// Moves Label to its place beside Control, measuring its caption on one line.
void PlaceCaptionLabel(TLabel& Label, const TControl& Control, TLabelPosition Position, int Margin);
// A caption label for Control, owned by it: a sibling on its parent that
// focuses it, with the control's font choice and Font.
TLabel* NewCaptionLabel(TWinControl& Control, const TFont& Font);
// Follows Control's parent, takes Transparent and, unless the control uses
// its parent's font, Font; then PlaceCaptionLabel.
void UpdateCaptionLabel(TLabel& Label, const TControl& Control, TLabelPosition Position, int Margin, bool Transparent,
                        const TFont& Font);

using TDropDownEvent = std::function<void(TObject* Sender, bool& AcceptDrop)>;
using TDropUpEvent = std::function<void(TObject* Sender, bool Cancelled)>;
using TDropDownButtonItemClick = std::function<void(TObject* Sender, int ButtonIndex)>;
using TDrawBackGroundEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, TRect ARect)>;
using TGetTextEvent = std::function<void(TObject* Sender, String& Text)>;
using TClipboardEvent = std::function<void(TObject* Sender, const String& Value, bool& Allow)>;

// Where the pop-up goes, from the edit's screen rectangle, the pop-up's
// computed size, the work area of the nearest monitor and the primary
// screen's height. The user's size (-1: none) replaces the computed one
// after the place is chosen.
struct TDropDownPlacement {
    TRect EditRect;        // screen
    TSize PopupSize;       // computed
    TRect WorkArea;        // of the monitor nearest the edit's top-left
    int ScreenHeight = 0;  // of the primary screen
    TDropPosition Position = dpAuto;
    int UserWidth = -1, UserHeight = -1;
};
TRect PlaceDropDown(const TDropDownPlacement& P);



// ---------------------------------------------------------------------------
// The strips of the pop-up and their buttons
// ---------------------------------------------------------------------------
// A list whose reads and writes check 0 <= Index < Count.
template <class T>
class TDbgList {
public:
    int Count() const { return int(FItems.size()); }
    void Add(T Item) { FItems.push_back(Item); }
    void Clear() { FItems.clear(); }
    void AssignList(const TDbgList& ListA) { FItems = ListA.FItems; }
    T GetItemsEx(int Index) const {
        if (Index < 0 || Index >= Count()) throw Exception(u"Index out of bounds in list read access");
        return FItems[size_t(Index)];
    }
    void SetItemsEx(int Index, T Value) {
        if (Index < 0 || Index >= Count()) throw Exception(u"Index out of bounds in list write access");
        FItems[size_t(Index)] = Value;
    }

private:
    std::vector<T> FItems;
};

enum TExButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };

// A push button of a strip, painted in the drop-down's button look over
// its parent's background.
class TExButton : public TCustomControl {
public:
    explicit TExButton(TComponent* AOwner);
    ~TExButton() override;
    TExButtonAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(TExButtonAppearance* Value) { FAppearance = Value; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void SetExDropDown(TExCustomDropDown* Value) { FExDropDown = Value; }
    TExButtonState State() const { return FState; }
    // Fits the caption (and image) with 8 pixels across and 4 down.
    void AdjustSize();
    void Click() override;
    TNotifyEvent OnButtonMouseEnter, OnButtonMouseLeave;

protected:
    virtual void DrawButton(TCanvas& Canvas);
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TExButtonAppearance* FAppearance = nullptr;
    TImageList* FImages = nullptr;
    int FImageIndex = -1;
    TModalResult FModalResult = mrNone;
    TExCustomDropDown* FExDropDown = nullptr;
    bool FMouseInControl = false, FMouseDownInControl = false, FHot = false, FDragging = false;
    bool FInternalClick = false;
    TExButtonState FState = absUp;
};

// What the header and the footer share: the background, border, image,
// caption and a row of buttons from the drop-down's look.
class TExStrip : public TCustomControl {
public:
    ~TExStrip() override;
    TBarAppearance& Appearance() { return *FAppearance; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    // Binds the strip to the drop-down: its images and a copy of its look.
    virtual void SetExDropDown(TExCustomDropDown* Value);
    void LoadButtons();
    const TDbgList<TExButton*>& ButtonList() const { return FButtonList; }
    // The bound drop-down's button collection (nil when unbound).
    virtual THeaderButtons* Buttons() const = 0;
    // The area the buttons are laid out in.
    virtual TRect ButtonsArea() const = 0;
    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

    virtual void CreateButtons();
    virtual void DestroyButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();

protected:
    TExStrip(TComponent* AOwner, TBarAppearance* Look);
    void Paint() override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool IsFooter() const = 0;
    void ButtonClicked(TObject* Sender);
    std::unique_ptr<TBarAppearance> FAppearance;
    TImageList* FImages = nullptr;
    TExCustomDropDown* FExDropDown = nullptr;
    TDbgList<TExButton*> FButtonList;
};

class TExHeader : public TExStrip {
public:
    explicit TExHeader(TComponent* AOwner);
    THeaderButtons* Buttons() const override;
    TRect ButtonsArea() const override;

protected:
    bool IsFooter() const override { return false; }
};

class TExFooter : public TExStrip {
public:
    explicit TExFooter(TComponent* AOwner);
    THeaderButtons* Buttons() const override;
    TRect ButtonsArea() const override;
    void CreateButtons() override;
    // The sizing grip shows: the look asks for it and the drop-down is sizeable.
    bool ShowsSizeGrip() const;

protected:
    bool IsFooter() const override { return true; }
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool InGrip(int X, int Y) const;
    TCursor FOldCursor = crDefault;
};

// ---------------------------------------------------------------------------
// The pop-up window
// ---------------------------------------------------------------------------
class TDropDownForm : public TForm {
public:
    explicit TDropDownForm(TComponent* AOwner);
    ~TDropDownForm() override;

    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* Value) { FExDropDown = Value; }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value) { FShadow = Value; }
    // Another window taking the activation closes the pop-up with Cancelled = this.
    bool CancelOnDeActivate() const { return FCancelOnDeActivate; }
    void SetCancelOnDeActivate(bool Value) { FCancelOnDeActivate = Value; }
    // While set, activation changes are ignored.
    bool BlockActivate() const { return FBlockActivate; }
    void SetBlockActivate(bool Value) { FBlockActivate = Value; }
    // Tick count (milliseconds) at which the pop-up last lost the activation while visible.
    UInt64 DeActivateTime() const { return FDeActivate; }
    // The bottom-right 10 x 10 pixels act as a sizing corner.
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool Value) { FSizeable = Value; }
    TExHeader* Header() const { return FHeader; }
    TExFooter* Footer() const { return FFooter; }
    TNotifyEvent OnSizing;

    // Binds the strips to the edit's looks and events before each opening.
    void InitializeAndUpdate();
    virtual void UpdateSize() {}
    TRect ClientRect() const override;

    // The edit's form events.
    TKeyEvent OnFormKeyDown, OnFormKeyUp;
    TKeyPressEvent OnFormKeyPress;
    TNotifyEvent OnFormWheelDown, OnFormWheelUp;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DoHide() override;

public:
    void SetVisible(bool Value) override;

private:
    void Deactivated(HWND Taker);
    bool FHiding = false;
    void PaintBackground();
    TExCustomDropDown* FExDropDown = nullptr;
    bool FShadow = true;
    bool FCancelOnDeActivate = true;
    bool FBlockActivate = false;
    UInt64 FDeActivate = 0;
    bool FSizeable = false;
    TExHeader* FHeader = nullptr;
    TExFooter* FFooter = nullptr;
};

// ---------------------------------------------------------------------------
// The drop-down button
// ---------------------------------------------------------------------------
enum TButtonStyle { bsButton, bsDropDown };

class TExDropDownSpeedButton : public TSpeedButton {
public:
    explicit TExDropDownSpeedButton(TComponent* AOwner);
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    bool Focused() const { return FFocused; }
    void SetFocused(bool Value);
    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TButtonStyle Value);
    // The button never shows its pressed look after this.
    void SetUp() { FUp = true; }
    bool Hot() const { return FHot; }
    bool Pressed() const { return FPressed; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool FEtched = false;
    bool FFocused = false;
    bool FHot = false;
    bool FUp = false;
    bool FPressed = false;
    TButtonStyle FButtonStyle = bsDropDown;
};

class TDropDownEditButton : public TCustomControl {
public:
    explicit TDropDownEditButton(TComponent* AOwner);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool Value) override;
    TExDropDownSpeedButton* SpeedButton() const { return FButton; }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    int ButtonWidth() const { return FBWidth; }
    void SetButtonWidth(int Value);
    TBitmap& Glyph() { return FButton->Glyph(); }
    const String& ButtonCaption() const { return FCaption; }
    void SetButtonCaption(const String& Value) { FCaption = Value; }

    TColor ButtonColor = clNone, ButtonColorHot = clNone, ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone, ButtonTextColorHot = clNone, ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    // The left button released over the arrow.
    TNotifyEvent OnClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TExDropDownSpeedButton;
    TExDropDownSpeedButton* FButton;
    TWinControl* FFocusControl = nullptr;
    int FBWidth = 16;
    String FCaption;
};

// ---------------------------------------------------------------------------
// The drop-down edit
// ---------------------------------------------------------------------------
class TExCustomDropDown : public TMaskEdit, public IGPKStyle, public IGPKTones {
public:
    explicit TExCustomDropDown(TComponent* AOwner);
    ~TExCustomDropDown() override;

    void Assign(const TPersistent* Source) override;

    // The pop-up.
    void ShowDropDown() { DoShowDropDown(); }
    void HideDropDown(bool CancelChanges) { DoHideDropDown(CancelChanges); }
    bool DroppedDown() const { return FDroppedDown; }
    TDropDownForm* DropDownForm() const { return FDropDownForm; }
    TDropDownEditButton* Button() const { return FButton; }
    TControl* Control() const { return FControl; }

    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value);
    int DropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int Value);
    int DropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int Value) { FDropDownBorderWidth = Value; }
    TColor DropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(TColor Value) { FDropDownBorderColor = Value; }
    TColor DropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(TColor Value) { FDropDownColor = Value; }
    TColor DropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(TColor Value) { FDropDownColorTo = Value; }
    bool DropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool Value) { FDropDownShadow = Value; }
    bool DropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool Value) { FDropDownSizeable = Value; }
    TDropPosition DropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition Value) { FDropPosition = Value; }
    int DropDownButtonWidth() const { return FDropDownButtonWidth; }
    void SetDropDownButtonWidth(int Value);
    const String& DropDownButtonHint() const { return FDropDownButtonHint; }
    void SetDropDownButtonHint(const String& Value);
    // The button's picture in place of its arrow, kept in the button; an
    // empty bitmap (or nullptr) brings the arrow back.
    TBitmap& DropDownButtonGlyph() { return FButton->Glyph(); }
    void SetDropDownButtonGlyph(const TBitmap* Value);
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool Value) { FDropDownEnabled = Value; }
    bool EditorEnabled() const { return FEditorEnabled; }
    virtual void SetEditorEnabled(bool Value);
    TImageList* Images() const { return FImages; }
    virtual void SetImages(TImageList* Value) { FImages = Value; }
    THeaderAppearance& DropDownHeader() { return *FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance& Value) { FDropDownHeader->Assign(&Value); }
    TFooterAppearance& DropDownFooter() { return *FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance& Value) { FDropDownFooter->Assign(&Value); }
    TExButtonAppearance& ButtonAppearance() { return *FButtonAppearance; }
    void SetButtonAppearance(const TExButtonAppearance& Value);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value) { FSelectionColor = Value; }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor Value) { FSelectionColorTo = Value; }
    TSelectionColorStyle SelectionColorStyle() const { return FSelectionColorStyle; }
    String Version() const;
    virtual Cardinal GetVersionNr() const { return 0x01020104; }
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool Value) { FFocusDraw = Value; }
    bool DefaultHandling() const { return FDefaultHandling; }
    void SetDefaultHandling(bool Value) { FDefaultHandling = Value; }
    bool CanUndo() const { return FCanUndo; }
    void SetCanUndo(bool Value) { FCanUndo = Value; }
    // The user's pop-up size kept from the last closing (-1: none).
    int UserDropDownWidth() const { return FUserDropDownWidth; }
    int UserDropDownHeight() const { return FUserDropDownHeight; }

    // Typed text entry.
    // The value without Prefix and Suffix.
    String Text() const override { return GetText(); }
    virtual String GetText() const;
    // Replaces the edit's whole text unchanged (no normalisation, not
    // remembered for cancel); the value goes through SetTextValue.
    void SetText(const String& Value) override { TMaskEdit::SetText(Value); }
    virtual void SetTextValue(const String& Value);
    TDropDownEditType EditType() const { return FEditType; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    const String& Prefix() const { return FPrefix; }
    void SetPrefix(const String& Value) { FPrefix = Value; }
    // The most digits the whole part of a number may have (0: no limit).
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int Value) { FLengthLimit = Value; }
    // Enter moves the focus on like Tab.
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    // A minus sign typed into a number toggles its sign.
    bool Signed() const { return FSigned; }
    void SetSigned(bool Value) { FSigned = Value; }
    // The keypad's decimal key types the locale's decimal separator.
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
    const String& ValidChars() const { return FValidChars; }
    void SetValidChars(const String& Value) { FValidChars = Value; }
    const String& Suffix() const { return FSuffix; }
    void SetSuffix(const String& Value) { FSuffix = Value; }
    double GetFloatValue() const;
    void SetFloatValue(double Value);
    void SetIntValue(int Value);
    double TextToFloat(const String& S) const;
    void SetModified(bool Value);
    bool GetModified() const { return FIsModified; }
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    // The text last assigned through Text (restored on cancel).
    const String& OldText() const { return FOldText; }

    // Looks.
    void SetComponentStyle(TGPKStyle AStyle) override;
    TGPKStyle GetComponentStyle() const { return FGPKStyle; }
    void SetColorTones(const TColorTones& ATones) override;
    virtual void SetSelectionColorStyle(TSelectionColorStyle Value);
    // The selection of an item list in the selection style; Side 0 both
    // rounded ends, 1 the left, 2 the right, 3 none; CornerColor the list's
    // background behind the rounded corners.
    virtual void DrawSelection(TCanvas& Canvas, const TRect& R, int Side, TColor CornerColor);
    virtual void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                              bool Horizontal);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor Value) { FFocusBorderColor = Value; }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value);

    // The stream image's table under ClassName (the drop-down's own and its kinds').
    static void RegisterStreamClass(const String& ClassName);
    String ClassName() const override { return u"TExCustomDropDown"; }

    // The caption label beside the edit (made on the first caption).
    String LabelCaption() const;
    void SetLabelCaption(const String& Value);
    TLabel* EditLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value) { FLabelAlwaysEnabled = Value; }
    TFont& LabelFont() { return FLabelFont; }
    void SetLabelFont(const TFont& Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The colours of an item list in a style (for kinds that show the item selector).
    static void ApplyItemAppearanceStyle(TItemAppearance* Appearance, TGPKStyle Style);

    TNotifyEvent OnBeforeDropDown;
    TDropDownEvent OnDropDown;
    TNotifyEvent OnBeforeDropUp;
    TDropUpEvent OnDropUp;
    TNotifyEvent OnLabelClick, OnLabelDblClick;
    TDropDownButtonItemClick OnDropDownHeaderButtonClick, OnDropDownFooterButtonClick;
    TDrawBackGroundEvent OnDrawHeader, OnDrawFooter;
    TGetTextEvent OnGetHeaderText, OnGetFooterText;
    TClipboardEvent OnClipboardCopy, OnClipboardCut, OnClipboardPaste;

    // What the grid's in-place wrappers call and override.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void WndProc(TMessage& Message) override;
    virtual void WMSetFocus(TMessage& Message);
    virtual void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

    // Framework internal: the pop-up's deactivation and the button's click.
    virtual void DoHideDropDown(bool Cancelled);
    void ButtonDropDown();
    void FormHidden();

protected:
    virtual void DoLabelClick();
    virtual void DoLabelDblClick();
    virtual void CreateDropDownForm();
    virtual void CreateDropDownButton();
    virtual void UpdateDropDownButton();
    virtual void DoBeforeDropDown();
    virtual void AdjustDropDownHeight(int& Height) {}
    virtual void FocusDropDownControl();
    virtual void DoShowDropDown();
    virtual void PlaceDropDownControl();
    virtual void UpdateDropDownSize();
    virtual void FormHide();
    virtual void FormDestroy() {}
    virtual void FormMouseWheelDown() { WheelDown(); }
    virtual void FormMouseWheelUp() { WheelUp(); }
    virtual void FormKeyPress(Char& Key);
    virtual void FormKeyDown(Word& Key, TShiftState Shift);
    virtual void FormKeyUp(Word& Key, TShiftState Shift);
    virtual void ControlKeyDown(Word& Key, TShiftState Shift);
    virtual void ControlKeyUp(Word& Key, TShiftState Shift);
    virtual void ControlKeyPress(Char& Key);
    virtual void FormSizing() {}
    virtual void WheelDown() {}
    virtual void WheelUp() {}
    virtual void PaintEditArea();
    virtual void SetEditRect();
    virtual void ResizeControl();

    void SetControl(TControl* Value);
    TRect GetEditRect() const { return FEditRect; }
    void SetEditType(TDropDownEditType Value);
    TDropDownForm* FDropDownForm = nullptr;
    TWinControl* FFocusControl = nullptr;
    // The pop-up is shown at 1 x 1 once before its final place, so that its shadow is drawn.
    bool FForceShadow = false;

    void Dispatch(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override;
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void CNCommand(TWMCommand& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMPaint(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMSize(TWMSize& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change() override;
    virtual void WMKillFocus(TMessage& Message);
    virtual void WMPaste(TMessage& Message);
    virtual void WMCut(TMessage& Message);
    virtual void WMCopy(TMessage& Message);
    // Paints the frame over the edit's border (see the looks).
    void PaintBorder();
    bool IsHot() const;

private:
    void BindControlKeys();
    void TypeFloatChar(TWMKey& Message, Char Ch);
    // Hands a character that passed the rules to the edit control.
    void PassChar(TWMKey& Message);
    bool ThousandDistanceAllows(const String& Text, int Caret) const;

    TDropDownEditButton* FButton = nullptr;
    TControl* FControl = nullptr;
    TSize FControlSize;  // its own size, before the pop-up aligns it
    bool FSizingPopup = false;
    TImageList* FImages = nullptr;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    std::unique_ptr<TExButtonAppearance> FButtonAppearance;

    int FDropDownWidth = 0, FDropDownHeight = 0;
    int FDropDownBorderWidth = 1;
    TColor FDropDownBorderColor = 0;
    TColor FDropDownColor = clWhite, FDropDownColorTo = clNone;
    bool FDropDownShadow = true, FDropDownSizeable = true;
    TDropPosition FDropPosition = dpAuto;
    int FDropDownButtonWidth = 17;
    String FDropDownButtonHint;
    bool FDropDownEnabled = false;
    bool FEditorEnabled = true;
    TColor FSelectionColor = clNone, FSelectionColorTo = clNone;
    TSelectionColorStyle FSelectionColorStyle = scCustom;
    TGPKStyle FGPKStyle = tsCustom;
    TColor FBorderColor = clNone, FFocusBorderColor = clNone;
    bool FDisabledBorder = true;

    int FUserDropDownWidth = -1, FUserDropDownHeight = -1;
    bool FDroppedDown = false;
    bool FMouseInControl = false;
    bool FButtonDown = false;
    TRect FEditRect;
    bool FIsThemed = true;
    bool FFocusDraw = true;
    bool FDefaultHandling = true;
    bool FCanUndo = true;

    TDropDownEditType FEditType = etString;
    int FPrecision = 0;
    bool FBlockChange = false;
    bool FIsModified = false;
    String FOldText;
    String FPrefix, FSuffix;
    String FValidChars;
    bool FSigned = false, FExcelStyleDecimalSeparator = false, FReturnIsTab = false;
    int FLengthLimit = 0;
    // The digits of the whole part of Text.
    int WholeDigits(const String& Text) const;
    // Toggles the sign of a number for a typed minus; false when the rule does not apply.
    bool ToggleSign();
    // Home, End, arrows and deletions kept within Prefix and Suffix; true: the key is done.
    bool FramedKey(Word Key);
    // A money text shown anew with thousand separators in its whole part.
    void FormatMoney();
    TLabel* FLabel = nullptr;
    TFont FLabelFont;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false, FLabelAlwaysEnabled = false;
    void UpdateLabel();
    bool FAutoThousandSeparator = true;
    bool FBlockCopy = false;
};
