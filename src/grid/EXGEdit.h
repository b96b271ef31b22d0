#pragma once
// The edits with a button at their right end: the button usually opens a
// dialog; the unit variant shows a unit of measure beside the value and lets
// the user pick it from a menu. The grid's button cell editors derive from
// them.

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

#include <functional>

class TExgEditButton;

// The painted button inside TExgEditButton.
class TExSpeedButton : public TSpeedButton {
public:
    explicit TExSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value);
    bool Hot() const { return FHot; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool FIsWinXP = false;
    bool FHot = false;
    bool FHeld = false;
};

// The button control of an edit: one speed button filling it.
class TExgEditButton : public TCustomControl {
public:
    explicit TExgEditButton(TComponent* AOwner);
    ~TExgEditButton() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TExSpeedButton* Button() const { return FButton; }
    TBitmap& Glyph() { return FButton->Glyph(); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int Value) { FButton->SetNumGlyphs(Value); }
    String ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const String& Value) { FButton->SetCaption(Value); }
    bool Flat() const { return FButton->Flat(); }
    void SetFlat(bool Value) { FButton->SetFlat(Value); }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    TColor ButtonColor = clNone, ButtonColorHot = clNone, ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone, ButtonTextColorHot = clNone, ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    // The left button released over the inner button.
    TNotifyEvent OnClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TExSpeedButton;
    void ButtonReleased();
    TExSpeedButton* FButton = nullptr;
    TWinControl* FFocusControl = nullptr;
};

// A masked edit with a button at its right end.
class TExgEditBtn : public TMaskEdit {
public:
    explicit TExgEditBtn(TComponent* AOwner);
    ~TExgEditBtn() override;
    void Dispatch(TMessage& Message) override;

    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool Value);
    int ButtonWidth() const { return FButton->Width(); }
    void SetButtonWidth(int Value);
    TBitmap& Glyph() { return FButton->Glyph(); }
    String ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const String& Value) { FButton->SetButtonCaption(Value); }
    bool IsWinXP() const { return FButton->Button()->IsWinXP(); }
    void SetIsWinXP(bool Value) { FButton->Button()->SetIsWinXP(Value); }
    TExgEditButton* Button() const { return FButton; }

    // Fires OnClickBtn; the button and F4 come here.
    virtual void DoClickBtn(TObject* Sender);
    TNotifyEvent OnClickBtn;

protected:
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void WMSize(TWMSize& Message) override;
    void CMEnter(TMessage& Message) override;
    void SetEditRect();
    int FUnitSize = 0;  // width kept free for a unit text

private:
    TExgEditButton* FButton = nullptr;
    bool FEditorEnabled = true;
    bool FRightAlign = false;
};

using TUnitChangeEvent = std::function<void(TObject* Sender, const String& NewUnit)>;

// An edit with a button that shows a unit of measure beside the value; the
// button's menu picks the unit.
class TExgUnitEditBtn : public TExgEditBtn {
public:
    explicit TExgUnitEditBtn(TComponent* AOwner);
    ~TExgUnitEditBtn() override;

    TStringList& Units() { return *FUnits; }
    void SetUnits(const TStringList* Value);
    const String& UnitID() const { return FUnitID; }
    void SetUnitID(const String& Value);
    int UnitSpace() const { return FUnitSize; }
    void SetUnitSpace(int Value);
    String TextAndUnit() const { return Text() + FUnitID; }
    // The first unit (in list order) that ends the value splits it into text
    // and unit; a value without a unit changes nothing.
    void SetTextAndUnit(const String& Value);

    void DoClickBtn(TObject* Sender) override;
    TUnitChangeEvent OnUnitChanged;

protected:
    void WMPaint(TMessage& Message) override;

private:
    void UnitChosen(int Index);
    std::unique_ptr<TStringList> FUnits;
    String FUnitID;
};
