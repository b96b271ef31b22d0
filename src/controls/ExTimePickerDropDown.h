#pragma once
// The time drop-down and its analog clock. The clock: a custom-painted face with tick marks, numerals, an
// AM/PM box and hands. In manual mode it shows its own Time, set by clicks
// and keys with an easing animation; in automatic mode it shows the local
// time plus an offset, redrawn ten times a second.

#include "controls/ExDropDown.h"
#include "framework/ComCtrls.h"
#include "framework/Controls.h"
#include "framework/DateUtils.h"
#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"
#include "framework/System.h"
#include "grid/foundation/ExStyleIF.h"

#include <memory>

enum TWatchShape { wsCircle, wsRect, wsRoundRect };
enum TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum TAMPMFrame { apRect, apRoundRect };
enum TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum THourMarkStyle { hmsLine, hmsQuartDblLine };
enum TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
enum TWatchStyle {
    wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite, wsGray,
    wsSuperNova, wsSports, wsSmooth
};

// The plain values of a clock's look (fonts and picture live beside them).
struct TWatchLook {
    int Size = 0;
    TWatchShape Shape = wsCircle;
    TColor BackgroundColor = TColor(0xFFFFFF);
    TColor BackgroundColorTo = clNone;
    TWatchGradient BackgroundGradient = wgVertical;
    TColor BorderColor = TColor(0x000000);
    int BorderWidth = 4;
    TColor AMPMColor = TColor(0xFFFFFF);
    TColor AMPMBorderColor = TColor(0x000000);
    TAMPMFrame AMPMFrame = apRect;
    TTickMarks TickMarks = tmAll;
    TColor HourColor = TColor(0x000000);
    Byte HourMarkLength = 0;
    Byte HourMarkWidth = 1;
    THourMarkStyle HourMarkStyle = hmsLine;
    TColor MinuteColor = TColor(0x808080);
    Byte MinuteMarkLength = 0;
    Byte MinuteMarkWidth = 1;
    TPointerStyle PointerStyle = psLine;
    TColor HourPointer = TColor(0x000000);
    TColor HourPointerShadow = clBtnShadow;
    Byte HourPointerSize = 4;
    TColor MinutePointer = TColor(0x000000);
    TColor MinutePointerShadow = clBtnShadow;
    Byte MinutePointerSize = 3;
    TColor SecondPointer = TColor(0x0000FF);
    Byte SecondPointerSize = 1;
    Byte CenterPointSize = 4;
    TColor CenterPointColor = TColor(0x000000);
    TColor CenterPointBorderColor = clNone;
    TColor CenterPointOuterBorderColor = clNone;
};

class TWatchAppearance : public TPersistent {
public:
    TWatchAppearance();
    ~TWatchAppearance() override;
    void Assign(const TPersistent* Source) override;
    // Every property back to its initial value.
    void ResetDefaults();
    TNotifyEvent OnChange;

    const TWatchLook& Look() const { return FLook; }
#define WATCH_PROP(T, N) \
    T N() const { return FLook.N; } \
    void Set##N(T Value) { if (FLook.N != Value) { FLook.N = Value; Changed(); } }
    WATCH_PROP(int, Size)
    WATCH_PROP(TWatchShape, Shape)
    WATCH_PROP(TColor, BackgroundColor)
    WATCH_PROP(TColor, BackgroundColorTo)
    WATCH_PROP(TWatchGradient, BackgroundGradient)
    WATCH_PROP(TColor, BorderColor)
    WATCH_PROP(int, BorderWidth)
    WATCH_PROP(TColor, AMPMColor)
    WATCH_PROP(TColor, AMPMBorderColor)
    WATCH_PROP(TAMPMFrame, AMPMFrame)
    WATCH_PROP(TTickMarks, TickMarks)
    WATCH_PROP(TColor, HourColor)
    WATCH_PROP(Byte, HourMarkLength)
    WATCH_PROP(Byte, HourMarkWidth)
    WATCH_PROP(THourMarkStyle, HourMarkStyle)
    WATCH_PROP(TColor, MinuteColor)
    WATCH_PROP(Byte, MinuteMarkLength)
    WATCH_PROP(Byte, MinuteMarkWidth)
    WATCH_PROP(TPointerStyle, PointerStyle)
    WATCH_PROP(TColor, HourPointer)
    WATCH_PROP(TColor, HourPointerShadow)
    WATCH_PROP(Byte, HourPointerSize)
    WATCH_PROP(TColor, MinutePointer)
    WATCH_PROP(TColor, MinutePointerShadow)
    WATCH_PROP(Byte, MinutePointerSize)
    WATCH_PROP(TColor, SecondPointer)
    WATCH_PROP(Byte, SecondPointerSize)
    WATCH_PROP(Byte, CenterPointSize)
    WATCH_PROP(TColor, CenterPointColor)
    WATCH_PROP(TColor, CenterPointBorderColor)
    WATCH_PROP(TColor, CenterPointOuterBorderColor)
#undef WATCH_PROP
    // The AM/PM colours stored without notice (the look tables do so).
    void StoreAMPMColors(TColor Border, TColor Fill) {
        FLook.AMPMBorderColor = Border;
        FLook.AMPMColor = Fill;
    }

    TFont& HourFont() { return *FHourFont; }
    void SetHourFont(const TFont& Value);
    TFont& AMPMFont() { return *FAMPMFont; }
    void SetAMPMFont(const TFont& Value);
    TPicture& Picture() { return *FPicture; }
    void SetPicture(const TPicture& Value);

protected:
    String ClassName() const override { return S("TWatchAppearance"); }

private:
    void Changed();
    TWatchLook FLook;
    std::unique_ptr<TFont> FHourFont, FAMPMFont;
    std::unique_ptr<TPicture> FPicture;
};

class TWatchSettings : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    bool Auto() const { return FAuto; }
    void SetAuto(bool Value);
    bool Second() const { return FSecond; }
    void SetSecond(bool Value);
    int TimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int Value);
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return S("TWatchSettings"); }

private:
    void Changed();
    bool FAuto = false, FSecond = true;
    int FTimeOffset = 0;
};

// Whether the point lies inside the ellipse inscribed in the rectangle.
bool IsPointInEllipse(TPoint P, int Left, int Top, int Right, int Bottom);
// Paints a non-empty picture at its natural size at R's top-left, its
// background colour left out.
void DrawPictureTransparent(TCanvas& Canvas, const TPicture& Picture, const TRect& R);

// Recolours a clock look for one of the library looks.
void ApplyWatchTones(TWatchAppearance& A, TGPKStyle AStyle);

class TExWatch : public TCustomControl, public IGPKStyle {
public:
    explicit TExWatch(TComponent* AOwner);
    ~TExWatch() override;

    TWatchAppearance& Appearance() { return *FAppearance; }
    void SetAppearance(const TWatchAppearance& Value) { FAppearance->Assign(&Value); }
    TWatchSettings& Settings() { return *FSettings; }
    void SetSettings(const TWatchSettings& Value) { FSettings->Assign(&Value); }
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);
    TWatchStyle Style() const { return FStyle; }
    void SetStyle(TWatchStyle Value);
    bool ShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool Value);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool Value);
    bool Animation() const { return FAnimation; }
    void SetAnimation(bool Value) { FAnimation = Value; }
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int Value) { FAnimationFactor = Value; }
    TNotifyEvent OnChange;

    bool AM() const { return FAM; }
    // Values above 23 are ignored.
    void SetHour(Byte Value);
    // Raises "Invalid time" for 60 or more.
    void SetMinute(Byte Value);
    void SetComponentStyle(TGPKStyle AStyle) override;
    // The keys of manual mode (A, P, PageUp, PageDown, Home, Right, End, Left).
    void ProcessKey(Word Key);

    // Hit-testing of the face.
    int MinuteAtPoint(int X, int Y) const;
    int HourAtPoint(int X, int Y) const;
    TRect FaceRect() const;
    TRect AMPMRect();
    TTimer& AnimationTimer() { return *FAnimationTimer; }
    TTimer& WatchTimer() { return *FWatchTimer; }

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    void AppearanceChanged();
    void SettingsChanged();
    void AnimationTick();
    void WatchTick();
    void SetAM(bool Value);
    void RollAMPM(bool ToAM);
    // Sets the time of day without the equality test and repaints the hands.
    void StoreTime(TDateTime Value);
    void SetHourDirect(int Hour);
    void SetMinuteDirect(int Minute);
    void FireChangeFor(bool Target);
    void RedrawHands();
    bool CanAnimate() const;
    TDateTime ShownTime() const;
    void Geometry(int& CX, int& CY, int& R) const;
    void DrawBackground(TCanvas& C);
    void DrawTicks(TCanvas& C);
    void DrawNumbers(TCanvas& C);
    void DrawAMPMBox(TCanvas& C, bool DrawText);
    void DrawHands(TCanvas& C);

    std::unique_ptr<TWatchAppearance> FAppearance;
    std::unique_ptr<TWatchSettings> FSettings;
    std::unique_ptr<TBitmap> FBKGCache;
    TTimer* FWatchTimer = nullptr;
    TTimer* FAnimationTimer = nullptr;
    TDateTime FTime = 0;
    TWatchStyle FStyle = wsClassic;
    bool FShowAMPM = true, FShowNumbers = true, FAnimation = true;
    int FAnimationFactor = 10;
    bool FAM = true;
    int FCurrentHourTo = 0, FCurrentMinuteTo = 0, FMinuteFrom = 0;
    bool FHourAnimating = false, FInternalCall = false, FInternalSet = false;
    bool FHandsOnly = false;
};

// The time editor: a masked edit of hours, minutes and (optionally)
// seconds with the clock, and optionally a time picker, in its pop-up.
// Enter or another window taking the activation takes the clock's time;
// Esc puts the clock back.
class TExTimePickerDropDown : public TExCustomDropDown {
public:
    explicit TExTimePickerDropDown(TComponent* AOwner);
    ~TExTimePickerDropDown() override;

    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime Value);
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value);
    bool ShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool Value) { FShowTimePicker = Value; }
    bool ShowWatchAMPM() const { return FShowWatchAMPM; }
    void SetShowWatchAMPM(bool Value) { FShowWatchAMPM = Value; }
    bool ShowWatchNumbers() const { return FShowWatchNumbers; }
    void SetShowWatchNumbers(bool Value) { FShowWatchNumbers = Value; }
    bool Animation() const { return FAnimation; }
    void SetAnimation(bool Value) { FAnimation = Value; }
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int Value) { FAnimationFactor = Value; }
    TWatchAppearance& WatchAppearance() { return *FWatchAppearance; }
    void SetWatchAppearance(const TWatchAppearance& Value) { FWatchAppearance->Assign(&Value); }
    TWatchSettings& WatchSettings() { return *FWatchSettings; }
    void SetWatchSettings(const TWatchSettings& Value) { FWatchSettings->Assign(&Value); }
    TNotifyEvent OnTimeChange;

    // Out-of-range values and the current value change nothing.
    void SetHourPart(int Value);
    void SetMinutePart(int Value);
    void SetSecondPart(int Value);
    String FormatTimeText(TDateTime Value) const;
    TExWatch* Watch() const { return FExWatch; }
    TDateTimePicker* DateTimePicker() const { return FDateTimePicker; }

    void SetComponentStyle(TGPKStyle AStyle) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Change() override;
    String ClassName() const override { return u"TExTimePickerDropDown"; }

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void FormHide() override;
    void FormKeyDown(Word& Key, TShiftState Shift) override;
    void FormKeyUp(Word& Key, TShiftState Shift) override;
    void ControlKeyDown(Word& Key, TShiftState Shift) override;
    void ControlKeyUp(Word& Key, TShiftState Shift) override;

private:
    void WatchChanged();
    void PickerChanged();
    void SetTimePart(int Part, int Value);
    void WriteText(const String& Value);
    String TimeMask() const;

    std::unique_ptr<TWatchAppearance> FWatchAppearance;
    std::unique_ptr<TWatchSettings> FWatchSettings;
    TPanel* FPanelCtrl = nullptr;
    TExWatch* FExWatch = nullptr;
    TDateTimePicker* FDateTimePicker = nullptr;
    TDateTime FTime = 0;
    bool FShowSeconds = true, FShowTimePicker = false, FShowWatchAMPM = true, FShowWatchNumbers = true;
    bool FAnimation = true;
    int FAnimationFactor = 10;
    bool FInternalCall = false, FCancelling = false;
};
