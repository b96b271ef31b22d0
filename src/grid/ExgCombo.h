#pragma once
// The flat combo box: the framework's combo box with a flat look drawn over
// it (a frame of its own, a themed, flat or coloured drop-down button,
// colours following focus and hover), a drop-down button width and a drop
// width of its own.

#include "controls/ExDropDown.h"
#include "framework/StdCtrls.h"

class TExgCustomCombo : public TComboBox {
public:
    explicit TExgCustomCombo(TComponent* AOwner);

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // Stored only: the drawing does not use it.
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    // The width of the drop-down button area, 14 to 32 (others are ignored).
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    // The list's width when positive; the combo's own width otherwise.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);
    // A sunken frame while the mouse is over the control or it has the focus.
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool Value);
    // Frame colours (clNone: none); the focus colour while it has the focus.
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor Value);
    // A line along the bottom of a flat control (clNone: none).
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor Value);
    // A flat control takes its parent's colour.
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool Value);
    // Without it a disabled control keeps the styled frame; with it the blue-grey one.
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value);
    // The background while the control has the focus (clNone: unchanged).
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor Value) { FFocusColor = Value; }
    // A button in colours of its own instead of the themed one (clNone: themed).
    TColor ButtonColor = clNone;
    TColor ButtonColorHot = clNone;
    TColor ButtonColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    TColor ButtonTextColor = clNone;
    TColor ButtonTextColorDown = clNone;
    // The colour to return to when the focus leaves.
    void Init() { FNormalColor = Color(); }
    // Selects the item equal to AString; nothing when there is none.
    void SelectItem(const String& AString);
    // Takes the focus when the mouse enters, while its form is the active one.
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool Value) { FAutoFocus = Value; }

    // A caption label beside the control, a sibling made on the first caption.
    String LabelCaption() const;
    void SetLabelCaption(const String& Value);
    TLabel* ComboLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    // The label stays enabled with a disabled control.
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);
    TFont& LabelFont() { return FLabelFont; }
    void SetLabelFont(const TFont& Value);
    // The label is bold while the control has the focus.
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool Value) { FFocusLabel = Value; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Set by the control's user: with IsWinXP a themed control draws no ring
    // around its button and repaints on hover; with IsVista it leaves its
    // painting to the platform unless it has a button colour or border colour.
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value) { FIsWinXP = Value; }
    bool IsVista() const { return FIsVista; }
    void SetIsVista(bool Value) { FIsVista = Value; }

    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    // The list has closed.
    TNotifyEvent OnDropUp;

protected:
    void WMPaint(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CloseUp() override;
    void DropDown() override;

private:
    // The control draws its frame and button itself.
    bool SelfPainted();
    // The frame is drawn over the platform's, also when the platform paints the rest.
    bool FramedOutside();
    void DrawButton(TCanvas& Canvas);
    void DrawListField(TCanvas& Canvas);
    void DrawBorder(TCanvas& Canvas);
    void InvalidateButton();
    void UpdateLabel();
    void BoldLabel(bool Bold);

    bool FFlat = false;
    bool FEtched = false;
    int FButtonWidth = 19;
    int FDropWidth = 0;
    bool FFocusBorder = false;
    TColor FBorderColor = clNone;
    TColor FFocusBorderColor = clNone;
    TColor FFlatLineColor = clNone;
    bool FFlatParentColor = true;
    bool FDisabledBorder = true;
    TColor FFocusColor = clNone;
    TColor FNormalColor = clNone;
    TColor FLoadedColor = clWindow;
    TColor FOldColor = clWindow;
    bool FOldParentColor = false;
    bool FMouseInControl = false;
    bool FButtonHover = false;
    bool FHasFocus = false;
    bool FAutoFocus = false;
    bool FIsWinXP = false;
    bool FIsVista = false;
    TLabel* FLabel = nullptr;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FLabelAlwaysEnabled = false;
    bool FFocusLabel = false;
    TFont FLabelFont;
};

class TExgComboBox : public TExgCustomCombo {
public:
    using TExgCustomCombo::TExgCustomCombo;
};
