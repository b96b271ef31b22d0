#pragma once
// The calculator drop-down: the edit is the display of a pocket calculator
// whose key panel drops down below it. Operations run at once from left to
// right against an accumulator (no precedence), with a memory register.

#include "controls/ExDropDown.h"

#include "framework/Components.h"

// ---------------------------------------------------------------------------
// The key panel
// ---------------------------------------------------------------------------
enum TButtonPanelType { plCalculator, plCustom };

class TButtonItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    String Caption;
    TColor CaptionColor = 0xFFFFFF;
    int ImageIndex = -1;
    bool Enabled = true;
    TBitmap Image;
    int Tag = 0;  // the key's code
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    String FName;
    bool FSpecial = false;

protected:
    String ClassName() const override { return u"TButtonItem"; }
};

class TButtonItems : public TCollection {
public:
    explicit TButtonItems(TPersistent* AOwner);
    TButtonItem* Add() { return static_cast<TButtonItem*>(TCollection::Add()); }
    TButtonItem* Items(int Index) const { return ItemsAs<TButtonItem>(Index); }
    TNotifyEvent OnChange;
};

// The look of the keys: only the font and the two text colours draw; the
// other colours are kept and copied.
class TButtonAppearance : public TPersistent {
public:
    TButtonAppearance();
    void Assign(const TPersistent* Source) override;
    TColor BorderColor = 0, BorderColorHot = 0, BorderColorDown = 0, BorderColorChecked = 0xFF0000;
    TColor Color = 0x9A915F, ColorTo = 0xB0A170, ColorDown = 0x4B2F08, ColorDownTo = 0xADB514;
    TColor ColorHot = 0x9F6F1C, ColorHotTo = 0xD5C244, ColorCheckedTo = 0xF9BDA0;
    TColor ColorDisabled = 0xF2F2F2, ColorDisabledTo = 0xF2F2F2, ColorChecked = 0xF5D8CA;
    TColor ShineColor = 0xFFFFFF, GlowColorHot = 0xD5C244, GlowColorDown = 0xD5C244;
    TColor TextColor = 0, SpecialTextColor = 0x000080;
    TFont Font;
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return u"TButtonAppearance"; }
};

using TCalculatorButtonClickEvent = std::function<void(TObject* Sender, int Index)>;

class TExCalculatorDropdown;

class TCustomButtonPanel : public TCustomControl {
public:
    explicit TCustomButtonPanel(TComponent* AOwner);
    TButtonItems& Buttons() { return FButtons; }
    TButtonAppearance& ButtonAppearance() { return FButtonAppearance; }
    TItemLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout Value) { FButtonLayout = Value; }
    TButtonPanelType ButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int ButtonHot() const { return FButtonHot; }
    int ButtonDown() const { return FButtonDown; }
    void SetExDropDown(TExCalculatorDropdown* Value) { FExDropDown = Value; }
    TCalculatorButtonClickEvent OnButtonClick;

    virtual void GetButtonsRect(TRect& R) const;
    void GetButtonRect(int Index, TRect& R) const;
    int ButtonAtPos(int X, int Y) const;
    virtual void ClearButtons();
    virtual void ResetButtons();
    virtual void CreateCalculatorButtons();
    virtual void ArrangeButtons();
    virtual void InvalidateButton(int Index);
    virtual void DoButtonClick(int Index);
    void SetButtonHot(int Index);
    void SetButtonDown(int Index);

protected:
    virtual void DrawButton(int Index, TCanvas& Canvas);
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool Valid(int Index) const { return Index >= 0 && Index < FButtons.Count(); }
    TButtonItems FButtons;
    TButtonAppearance FButtonAppearance;
    TItemLayout FButtonLayout = ilCaptionRight;
    TButtonPanelType FButtonPanelType = plCalculator;
    TImageList* FImages = nullptr;
    int FButtonHot = -1, FButtonDown = -1;
    int FOffSetX = 8, FOffSetY = 8, FButtonOffSetX = 4, FButtonOffSetY = 4, FCaptionGap = 0;
    TExCalculatorDropdown* FExDropDown = nullptr;
};

// ---------------------------------------------------------------------------
// The calculator drop-down
// ---------------------------------------------------------------------------
class TExCalculatorDropdown : public TExCustomDropDown {
public:
    explicit TExCalculatorDropdown(TComponent* AOwner);
    ~TExCalculatorDropdown() override;

    TCustomButtonPanel* ButtonPanel() const { return FExButtonPanel; }
    TButtonAppearance& CalcButtonAppearance() { return *FCalcButtonAppearance; }
    void SetCalcButtonAppearance(const TButtonAppearance& Value) { FCalcButtonAppearance->Assign(&Value); }
    bool ShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool Value);
    double Value();
    void SetValue(double Value);
    // Runs the pending operation into the display.
    void CalcResult() { DoEquals(); }
    // A key of the panel, by its index.
    void CalcButtonClick(int Index);
    double Memory() const { return FMVal; }

    void KeyPress(Char& Key) override;
    void SetComponentStyle(TGPKStyle AStyle) override;

protected:
    virtual void BeforeCalcKey() {}
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void FormKeyPress(Char& Key) override;
    void FormKeyDown(Word& Key, TShiftState Shift) override;
    void WMKeyDown(TWMKey& Message) override;
    void CMEnter(TMessage& Message) override;

private:
    // The display's value; a text that is no number counts as 0.
    double DisplayValue() const;
    bool DisplayIsBlankOrError() const;
    void DoCalc();
    void DoEquals();
    void DoPercent();
    void DoOperator(int Op);
    void HandleCalcKey(Char Key);
    bool PopupClosed() const;

    TCustomButtonPanel* FExButtonPanel = nullptr;
    std::unique_ptr<TButtonAppearance> FCalcButtonAppearance;
    double FPrevval = 0;
    int FPrevop = -1;
    bool FNewval = false;
    double FDecim = 0;  // the divisor of the next decimal digit; 0 while digits go into the whole part
    double FMVal = 0;
    bool FCalcClosed = true;
    bool FShowThousandSeparator = false;
};
