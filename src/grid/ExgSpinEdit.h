#pragma once
// The spin edit: a masked edit with an up/down button pair that steps an
// integer, a floating-point number, a date or a time, the button pair and
// the speed button that repeats its click while it is held. The grid's spin
// cell editor derives from the edit.

#include "framework/Controls.h"
#include "framework/DateUtils.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

#include "grid/foundation/GridText.h"

#include <memory>

// The 1-based position of Sub in S after its first Offset characters,
// counted in S; 0 when Sub does not occur there.
int PosFrom(const String& Sub, const String& S, int Offset);
// The same day and month Years later; 29 February in a year without it
// becomes 28 February.
TDateTime IncYears(int Years, TDateTime Date);
// The height of a line of Font's text plus a quarter of the smaller of its
// and the system font's heights: the least height of a one-line edit.
int EditTextHeight(const TFont& Font);

enum TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
enum TSpinDirection { spVertical, spHorizontal };
enum TExgSpinType { sptNormal, sptFloat, sptDate, sptTime };
enum TEditAlign { eaLeft, eaRight, eaCenter };

class TExgSpinButton;

// A speed button that repeats its click while it is held: after 400 ms,
// then every 100 ms.
class TExTimerSpeedButton : public TSpeedButton {
public:
    explicit TExTimerSpeedButton(TComponent* AOwner);
    ~TExTimerSpeedButton() override;
    TButtonDirection ButtonDirection() const { return FButtonDirection; }
    void SetButtonDirection(TButtonDirection Value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool Value) { FAllowTimer = Value; }
    bool FocusRect() const { return FFocusRect; }
    void SetFocusRect(bool Value);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value);
    // The repeat timer (nil until the first press).
    TTimer* RepeatTimer() const { return FRepeatTimer.get(); }
    bool HasMouse() const { return FHasMouse; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    void TimerExpired(TObject* Sender);
    void RepaintParent();
    std::unique_ptr<TTimer> FRepeatTimer;
    bool FAllowTimer = true;
    bool FFocusRect = false;
    bool FHeld = false;
    TButtonDirection FButtonDirection = bdUp;
    bool FIsWinXP = false;
    bool FHasMouse = false;
};

// The up/down button pair.
class TExgSpinButton : public TCustomControl {
public:
    explicit TExgSpinButton(TComponent* AOwner);
    ~TExgSpinButton() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TExTimerSpeedButton* UpButton() const { return FUpButton; }
    TExTimerSpeedButton* DownButton() const { return FDownButton; }
    TExTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
    // Nil (or an empty bitmap) gives the built-in arrow.
    void SetUpGlyph(const TBitmap* Value);
    void SetDownGlyph(const TBitmap* Value);
    int UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
    void SetUpNumGlyphs(int Value) { FUpButton->SetNumGlyphs(Value); }
    int DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
    void SetDownNumGlyphs(int Value) { FDownButton->SetNumGlyphs(Value); }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value);

    TColor ButtonColor = clNone, ButtonColorHot = clNone, ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone, ButtonTextColorHot = clNone, ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

private:
    friend class TExTimerSpeedButton;
    void AdjustSize(int& W, int& H);
    void BtnMouseDown(TExTimerSpeedButton* Sender);
    void BtnClick(TObject* Sender);
    void SetFocusBtn(TExTimerSpeedButton* Btn);
    TExTimerSpeedButton* FUpButton = nullptr;
    TExTimerSpeedButton* FDownButton = nullptr;
    TExTimerSpeedButton* FFocusedButton = nullptr;
    TWinControl* FFocusControl = nullptr;
    TSpinDirection FDirection = spVertical;
    bool FIsWinXP = false;
};

// The spin edit.
class TExgSpinEdit : public TMaskEdit {
public:
    explicit TExgSpinEdit(TComponent* AOwner);
    ~TExgSpinEdit() override;
    void Dispatch(TMessage& Message) override;

    TExgSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TExgSpinType Value);
    int Value() const;
    void SetValue(int Value);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    double FloatValue() const;
    void SetFloatValue(double Value);
    double MinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double Value) { FMinFloatValue = Value; }
    double MaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double Value) { FMaxFloatValue = Value; }
    double IncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double Value) { FIncrementFloat = Value; }
    double IncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double Value) { FIncrementFloatPage = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime Value);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime Value);
    TDateTime MinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(TDateTime Value) { FMinDateValue = Value; }
    TDateTime MaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(TDateTime Value) { FMaxDateValue = Value; }
    int IncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(int Value) { FIncrementHours = Value; }
    int IncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(int Value) { FIncrementMinutes = Value; }
    int IncrementSeconds() const { return FIncrementSeconds; }
    void SetIncrementSeconds(int Value) { FIncrementSeconds = Value; }
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value) { FShowSeconds = Value; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    TSpinDirection Direction() const { return FButton->Direction(); }
    void SetDirection(TSpinDirection Value);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign Value);
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
    bool AllowEmptyValue() const { return FAllowEmptyValue; }
    void SetAllowEmptyValue(bool Value) { FAllowEmptyValue = Value; }
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool Value);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool Value);
    TExgSpinButton* Button() const { return FButton; }

    virtual void IncrementValue(bool Page);
    virtual void DecrementValue(bool Page);
    virtual bool IsValidChar(Char& Key);
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

protected:
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void WMChar(TWMKey& Message) override;
    void WMSize(TWMSize& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

private:
    void Step(int Sign, bool Page);
    void SetEditRect();
    void Nudge();
    int CheckValue(int V) const;
    double CheckFloatValue(double V) const;
    TDateTime CheckDateValue(TDateTime V) const;
    void ShowText(const String& S, bool KeepCaret);
    TExgSpinButton* FButton = nullptr;
    TExgSpinType FSpinType = sptNormal;
    int FMinValue = 0, FMaxValue = 100, FIncrement = 1;
    double FMinFloatValue = 0, FMaxFloatValue = 100, FIncrementFloat = 0.1, FIncrementFloatPage = 1.0;
    int FPrecision = 0;
    TDateTime FDateValue = 0, FTimeValue = 0, FMinDateValue = 0, FMaxDateValue = 0;
    int FIncrementHours = 1, FIncrementMinutes = 1, FIncrementSeconds = 1;
    bool FShowSeconds = true;
    bool FEditorEnabled = true;
    TEditAlign FEditAlign = eaLeft;
    bool FReturnIsTab = false;
    bool FExcelStyleDecimalSeparator = false;
    bool FAllowEmptyValue = false;
    bool FSpinFlat = false, FSpinTransparent = false;
    bool FUsDates = false;
};
