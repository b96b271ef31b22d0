#pragma once
// The labelled date-time picker: the framework's picker with a third kind,
// date and time together, for which a time-only picker sits inside its
// right end; a caption label beside it; and moving on to the next field
// while digits are typed.

#include "controls/ExDropDown.h"

#include "framework/ComCtrls.h"
#include "framework/Forms.h"

enum TExDateTimeKind { dkDate, dkTime, dkDateTime };

class TCustomDateTimePicker : public TDateTimePicker {
public:
    explicit TCustomDateTimePicker(TComponent* AOwner);
    bool AutoTab() const { return FAutoTab; }
    virtual void SetAutoTab(bool Value) { FAutoTab = Value; }
    // An inner picker never paints a metro look or frames.
    virtual bool IsInnerPicker() const { return true; }
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool Value) { FMetroStyle = Value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }

    // The look: a flat picker (Ctl3D false) draws its own outline; the metro
    // look its own drop-down button and frames.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TFormBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor Value) { FFocusBorderColor = Value; }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value) { FDisabledBorder = Value; }
    // clNone: the themed drop-down button.
    TColor ButtonColor = clNone, ButtonColorHot = clNone, ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone, ButtonTextColorHot = clNone, ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    int ButtonWidth() const { return FButtonWidth; }
    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    bool HasFocus() const { return FHasFocus; }

protected:
    void WMPaint(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMMouseMove(TWMMouse& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    // Date kinds have a drop-down button; the time kind has arrows.
    virtual bool HasDateKind() const { return Kind() == dtkDate; }
    // The metro frames (nothing for an inner picker or without colours).
    void PaintBorder();
    void PaintButton(TCanvas& Canvas);
    void PaintOutline(TCanvas& Canvas, TColor Color, int Inset);
    TColor OutlineColor() const;

    // After a typed digit changed a field: on to the next field.
    virtual void ShiftFocus();
    void WMChar(TWMKey& Message) override;
    void Dispatch(TMessage& Message) override;
    // The fields remembered before a typed digit.
    Word Fh = 0, Fm = 0, Fs = 0, Fms = 0;
    Word FYear = 0, FMonth = 0, FDay = 0;
    virtual void RememberFields();

private:
    bool FAutoTab = false;
    bool FMetroStyle = false;
    TColor FBorderColor = 0;
    TColor FFocusBorderColor = clNone;
    bool FDisabledBorder = false;
    TFormBorderStyle FBorderStyle = bsNone;
    bool FCtl3D = false;
    int FButtonWidth;
    bool FButtonHover = false, FButtonDown = false;
    bool FMouseInControl = false, FHasFocus = false;
};

class TExDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TExDateTimePicker(TComponent* AOwner);
    ~TExDateTimePicker() override;

    TExDateTimeKind Kind() const { return FKind; }
    void SetKind(TExDateTimeKind Value);
    TDateTime GetDateTime() const;
    virtual void SetDateTime(TDateTime Value);
    TDateTime Date() const { return TDateTimePicker::Date(); }
    // Replaces the date and keeps the time of day.
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    const String& TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const String& Value);
    // The check box cleared means no date: the time picker takes no input.
    void SetChecked(bool Value);
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }
    bool IsInnerPicker() const override { return false; }
    void SetAutoTab(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetBorderStyle(TFormBorderStyle Value) override;

    String LabelCaption() const;
    void SetLabelCaption(const String& Value);
    TLabel* PickerLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool Value) { FFocusLabel = Value; }
    String Version() const { return u"1.2.0.0"; }

    TNotifyEvent OnTimeChange;
    TNotifyEvent OnLabelClick, OnLabelDblClick;

protected:
    virtual void DoChange();
    virtual void DoClick();
    void ShiftFocus() override;
    void RememberFields() override;
    void CNNotify(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    bool HasDateKind() const override { return FKind != dkTime; }
    // Loading ends: the time picker is laid out and an unchecked picker
    // shows its empty state again.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void CreateTimePicker();
    void UpdateTimePicker();
    void UpdateLabel();
    void CoupleTimePicker();
    TExDateTimeKind FKind = dkDateTime;
    TCustomDateTimePicker* FTimePicker = nullptr;
    String FTimeFormat;
    TLabel* FLabel = nullptr;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FFocusLabel = false;
};
