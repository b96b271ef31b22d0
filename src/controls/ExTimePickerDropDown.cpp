#include "controls/ExTimePickerDropDown.h"

#include "framework/DateUtils.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "grid/foundation/DropDownUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double Pi = 3.14159265358979323846;

int Rnd(double V) { return int(Round(V)); }
bool IsColor(TColor C) { return C != clNone; }

void DecodeParts(TDateTime T, int& H, int& M, int& S) {
    Word h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(T, h, m, s, ms);
    H = h;
    M = m;
    S = s;
}

TPoint AtAngle(int CX, int CY, double Degrees, double Distance) {
    const double A = Degrees * Pi / 180.0;
    return {CX + Rnd(std::sin(A) * Distance), CY - Rnd(std::cos(A) * Distance)};
}

void InitFont(TFont& F, const char* Name, int Size) {
    F.SetName(S(Name));
    F.SetSize(Size);
    F.SetStyle({});
    F.SetColor(clWindowText);
}
}  // namespace

// ---------------------------------------------------------------------------
// TWatchAppearance
// ---------------------------------------------------------------------------
TWatchAppearance::TWatchAppearance()
    : FHourFont(std::make_unique<TFont>()), FAMPMFont(std::make_unique<TFont>()),
      FPicture(std::make_unique<TPicture>()) {
    ResetDefaults();
    const auto Notify = [this](TObject*) { Changed(); };
    FHourFont->OnChange = Notify;
    FAMPMFont->OnChange = Notify;
    FPicture->OnChange = Notify;
}

TWatchAppearance::~TWatchAppearance() = default;

void TWatchAppearance::Changed() {
    if (OnChange) OnChange(this);
}

void TWatchAppearance::ResetDefaults() {
    FLook = TWatchLook();
    const TNotifyEvent H = FHourFont->OnChange, A = FAMPMFont->OnChange, P = FPicture->OnChange;
    FHourFont->OnChange = nullptr;
    FAMPMFont->OnChange = nullptr;
    FPicture->OnChange = nullptr;
    InitFont(*FHourFont, "Tahoma", 8);
    InitFont(*FAMPMFont, "Tahoma", 10);
    FPicture->SetGraphic(nullptr);
    FHourFont->OnChange = H;
    FAMPMFont->OnChange = A;
    FPicture->OnChange = P;
}

void TWatchAppearance::Assign(const TPersistent* Source) {
    const auto* Src = dynamic_cast<const TWatchAppearance*>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    // Only the last three go through their setters, so only they notify.
    const TWatchLook L = Src->FLook;
    const TColor Outer = FLook.CenterPointOuterBorderColor;
    const TTickMarks Ticks = FLook.TickMarks;
    const THourMarkStyle MarkStyle = FLook.HourMarkStyle;
    FLook = L;
    FLook.CenterPointOuterBorderColor = Outer;
    FLook.TickMarks = Ticks;
    FLook.HourMarkStyle = MarkStyle;
    const TNotifyEvent H = FHourFont->OnChange, A = FAMPMFont->OnChange, P = FPicture->OnChange;
    FHourFont->OnChange = nullptr;
    FAMPMFont->OnChange = nullptr;
    FPicture->OnChange = nullptr;
    FHourFont->Assign(Src->FHourFont.get());
    FAMPMFont->Assign(Src->FAMPMFont.get());
    FPicture->Assign(Src->FPicture.get());
    FHourFont->OnChange = H;
    FAMPMFont->OnChange = A;
    FPicture->OnChange = P;
    SetCenterPointOuterBorderColor(L.CenterPointOuterBorderColor);
    SetTickMarks(L.TickMarks);
    SetHourMarkStyle(L.HourMarkStyle);
}

void TWatchAppearance::SetHourFont(const TFont& Value) {
    FHourFont->Assign(&Value);
    Changed();
}

void TWatchAppearance::SetAMPMFont(const TFont& Value) {
    FAMPMFont->Assign(&Value);
    Changed();
}

void TWatchAppearance::SetPicture(const TPicture& Value) {
    FPicture->Assign(&Value);
    Changed();
}

// ---------------------------------------------------------------------------
// TWatchSettings
// ---------------------------------------------------------------------------
void TWatchSettings::Changed() {
    if (OnChange) OnChange(this);
}

void TWatchSettings::Assign(const TPersistent* Source) {
    const auto* Src = dynamic_cast<const TWatchSettings*>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    FSecond = Src->FSecond;
    FTimeOffset = Src->FTimeOffset;
    SetAuto(Src->FAuto);
}

void TWatchSettings::SetAuto(bool Value) {
    if (FAuto == Value) return;
    FAuto = Value;
    Changed();
}

void TWatchSettings::SetSecond(bool Value) {
    if (FSecond == Value) return;
    FSecond = Value;
    Changed();
}

void TWatchSettings::SetTimeOffset(int Value) {
    if (FTimeOffset == Value) return;
    FTimeOffset = Value;
    Changed();
}

// ---------------------------------------------------------------------------
// Unit routines
// ---------------------------------------------------------------------------
bool IsPointInEllipse(TPoint P, int Left, int Top, int Right, int Bottom) {
    return TRegion::FromEllipse(Rect(Left, Top, Right, Bottom)).Contains(P.X, P.Y);
}

void DrawPictureTransparent(TCanvas& Canvas, const TPicture& Picture, const TRect& R) {
    const TGraphic* G = Picture.Graphic();
    if (!G || G->Empty()) return;
    TBitmap Bmp;
    Bmp.SetSize(R.Right - R.Left, R.Bottom - R.Top);
    Bmp.Canvas().Brush().SetColor(clWhite);
    Bmp.Canvas().FillRect(Rect(0, 0, Bmp.Width(), Bmp.Height()));
    Bmp.Canvas().Draw(0, 0, *G);
    Bmp.SetTransparent(true);
    Canvas.Draw(R.Left, R.Top, Bmp);
}

// ---------------------------------------------------------------------------
// TExWatch
// ---------------------------------------------------------------------------
TExWatch::TExWatch(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(std::make_unique<TWatchAppearance>()),
      FSettings(std::make_unique<TWatchSettings>()), FBKGCache(std::make_unique<TBitmap>()) {
    FAppearance->OnChange = [this](TObject*) { AppearanceChanged(); };
    FSettings->OnChange = [this](TObject*) { SettingsChanged(); };
    FWatchTimer = new TTimer(this);
    FWatchTimer->SetEnabled(false);
    FWatchTimer->SetInterval(100);
    FWatchTimer->OnTimer = [this](TObject*) { WatchTick(); };
    FAnimationTimer = new TTimer(this);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->SetInterval(1);
    FAnimationTimer->OnTimer = [this](TObject*) { AnimationTick(); };
    SetBounds(0, 0, 180, 180);
}

TExWatch::~TExWatch() {
    FAnimationTimer->SetEnabled(false);
    FWatchTimer->SetEnabled(false);
}

void TExWatch::AppearanceChanged() { Invalidate(); }

void TExWatch::SettingsChanged() {
    FWatchTimer->SetEnabled(FSettings->Auto());
    if (FSettings->Auto()) {
        FTime = ::Time();
        int H, M, Sec;
        DecodeParts(FTime, H, M, Sec);
        FAM = H < 12;
    }
    Invalidate();
}

void TExWatch::WatchTick() {
    int H, M, Sec;
    DecodeParts(ShownTime(), H, M, Sec);
    if (FAM != (H < 12)) {
        FAM = H < 12;
        Invalidate();
        return;
    }
    RedrawHands();
}

TDateTime TExWatch::ShownTime() const {
    if (!FSettings->Auto()) return FTime;
    return ::Time() + FSettings->TimeOffset() / (24.0 * 60.0);
}

void TExWatch::SetShowAMPM(bool Value) {
    if (FShowAMPM == Value) return;
    FShowAMPM = Value;
    Invalidate();
}

void TExWatch::SetShowNumbers(bool Value) {
    if (FShowNumbers == Value) return;
    FShowNumbers = Value;
    Invalidate();
}

void TExWatch::SetAM(bool Value) {
    if (FAM == Value) return;
    FAM = Value;
    if (FAnimation && FShowAMPM && IsColor(FAppearance->AMPMColor()) && !FInternalSet) RollAMPM(Value);
    Invalidate();
}

void TExWatch::StoreTime(TDateTime Value) {
    FTime = Value - std::floor(Value);
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    FInternalSet = true;
    SetAM(H < 12);
    FInternalSet = false;
    RedrawHands();
}

void TExWatch::SetTime(TDateTime Value) {
    if (Value == FTime) return;
    StoreTime(Value);
}

bool TExWatch::CanAnimate() const {
    const TComponentState St = ComponentState();
    return FAnimation && !FInternalCall && !St.Contains(csLoading) && !St.Contains(csDesigning);
}

void TExWatch::FireChangeFor(bool Target) {
    if ((!FAnimationTimer->Enabled() || Target) && OnChange) OnChange(this);
}

void TExWatch::SetHourDirect(int Hour) {
    const bool Saved = FInternalCall;
    FInternalCall = true;
    SetHour(Byte(Hour));
    FInternalCall = Saved;
}

void TExWatch::SetMinuteDirect(int Minute) {
    const bool Saved = FInternalCall;
    FInternalCall = true;
    SetMinute(Byte(Minute));
    FInternalCall = Saved;
}

void TExWatch::SetHour(Byte Value) {
    if (Value > 23) return;
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    if (Value == H) return;
    if (CanAnimate()) {
        FCurrentHourTo = Value;
        FHourAnimating = true;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    StoreTime(EncodeTime(Value, Word(M), Word(Sec), 0));
    FireChangeFor(FHourAnimating && Value == FCurrentHourTo);
}

void TExWatch::SetMinute(Byte Value) {
    if (Value >= 60) throw Exception(S("Invalid time"));
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    if (Value == M) return;
    if (CanAnimate()) {
        FCurrentMinuteTo = Value;
        FHourAnimating = false;
        FMinuteFrom = M;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    if (!FAnimation) FMinuteFrom = M;
    if (Value == 0 && FMinuteFrom > 30) {
        H = H == 23 ? 0 : H + 1;
        FMinuteFrom = 0;
    }
    StoreTime(EncodeTime(Word(H), Value, Word(Sec), 0));
    FireChangeFor(!FHourAnimating && Value == FCurrentMinuteTo);
}

void TExWatch::AnimationTick() {
    const TComponentState St = ComponentState();
    if (!FAnimation || St.Contains(csLoading) || St.Contains(csDesigning)) return;
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    const int Factor = std::max(1, FAnimationFactor);
    if (FHourAnimating) {
        if (H == FCurrentHourTo) {
            FAnimationTimer->SetEnabled(false);
            SetHourDirect(FCurrentHourTo);
            return;
        }
        const int Step = std::max(1, Rnd(double(std::abs(FCurrentHourTo - H)) / Factor));
        const int Next = H < FCurrentHourTo ? std::min(H + Step, FCurrentHourTo) : std::max(H - Step, FCurrentHourTo);
        SetHourDirect(Next);
        if (Next == FCurrentHourTo) FAnimationTimer->SetEnabled(false);
        return;
    }
    if (M == FCurrentMinuteTo) {
        FAnimationTimer->SetEnabled(false);
        SetMinuteDirect(FCurrentMinuteTo);
        return;
    }
    const bool Over = FCurrentMinuteTo == 0 && M > 30;
    const int Distance = Over ? 60 - M : std::abs(FCurrentMinuteTo - M);
    const int Step = std::max(1, Rnd(double(Distance) / Factor));
    int Next;
    if (M < FCurrentMinuteTo || Over) {
        Next = M + Step;
        if (Next >= 60) Next = 0;
        else if (!Over && Next > FCurrentMinuteTo) Next = FCurrentMinuteTo;
    } else {
        Next = std::max(M - Step, FCurrentMinuteTo);
    }
    // The last step ends the run before it is set, so that it reports.
    if (Next == FCurrentMinuteTo) FAnimationTimer->SetEnabled(false);
    SetMinuteDirect(Next);
}

void TExWatch::ProcessKey(Word Key) {
    if (FSettings->Auto()) return;
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    switch (Key) {
        case 'A':
            if (H > 11) SetHour(Byte(H - 12));
            break;
        case 'P':
            if (H < 12) SetHour(Byte(H + 12));
            break;
        case VK_PRIOR:
            if (H < 23) SetHour(Byte(H + 1));
            else SetHourDirect(0);
            break;
        case VK_NEXT:
            if (H > 0) SetHour(Byte(H - 1));
            else SetHourDirect(23);
            break;
        case VK_HOME:
            SetHourDirect(12);
            break;
        case VK_RIGHT:
            SetMinute(Byte(M < 59 ? M + 1 : 0));
            break;
        case VK_END:
            SetMinute(0);
            break;
        case VK_LEFT:
            if (M > 0) SetMinute(Byte(M - 1));
            else SetTime(EncodeTime(Word(H == 0 ? 23 : H - 1), 59, Word(Sec), 0));
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Geometry and hit-testing
// ---------------------------------------------------------------------------
TRect TExWatch::FaceRect() const {
    const int W = ClientWidth(), H = ClientHeight();
    int Side = FAppearance->Size();
    if (Side > 0) Side = std::min({Side, W, H});
    else Side = std::min(W, H) - 20;
    const int L = (W - Side) / 2, T = (H - Side) / 2;
    return Rect(L, T, L + Side, T + Side);
}

void TExWatch::Geometry(int& CX, int& CY, int& R) const {
    const TRect F = FaceRect();
    CX = F.Left + (F.Right - F.Left) / 2;
    CY = F.Top + (F.Bottom - F.Top) / 2;
    R = (F.Right - F.Left) / 2;
}

int TExWatch::MinuteAtPoint(int X, int Y) const {
    int CX, CY, R;
    Geometry(CX, CY, R);
    int DX = std::abs(CX - X), DY = std::abs(CY - Y);
    if (DX == 0) DX = 1;
    if (DY == 0) DY = 1;
    const int F = Rnd(std::atan(double(DY) / DX) * 180.0 / Pi / 6.0);
    int Result;
    if (X >= CX && Y >= CY) Result = 15 + F;
    else if (X <= CX && Y >= CY) Result = 45 - F;
    else if (X <= CX && Y <= CY) Result = 45 + F;
    else Result = 15 - F;
    return Result < 0 || Result > 59 ? 0 : Result;
}

int TExWatch::HourAtPoint(int X, int Y) const {
    int C = Rnd(MinuteAtPoint(X, Y) / 5.0);
    if (C <= 0) return FAM ? 0 : 12;
    if (!FAM) C += 12;
    return C == 24 ? 0 : C;
}

TRect TExWatch::AMPMRect() {
    int CX, CY, R;
    Geometry(CX, CY, R);
    TCanvas& C = FBKGCache->Canvas();
    C.SetFont(FAppearance->AMPMFont());
    const TSize Sz = C.TextExtent(S("AM"));
    const int W = Sz.cx + 8, H = Sz.cy;
    const int L = CX - W / 2, T = CY + Rnd(double(R - H) / 3.0);
    return Rect(L, T, L + W, T + H);
}

void TExWatch::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FSettings->Auto()) return;
    const TRect F = FaceRect();
    if (!IsPointInEllipse({X, Y}, F.Left, F.Top, F.Right, F.Bottom)) {
        SetMinute(Byte(MinuteAtPoint(X, Y)));
        return;
    }
    const TRect B = AMPMRect();
    if (FShowAMPM && X >= B.Left && X < B.Right && Y >= B.Top && Y < B.Bottom) {
        int H, M, Sec;
        DecodeParts(FTime, H, M, Sec);
        if (FAnimation) SetAM(!FAM);
        H = H < 12 ? H + 12 : H - 12;
        FCurrentHourTo = H;
        SetHourDirect(H);
        return;
    }
    SetHour(Byte(HourAtPoint(X, Y)));
}

void TExWatch::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (ComponentState().Contains(csDesigning)) return;
    const TRect B = AMPMRect();
    const bool Over = FShowAMPM && X >= B.Left && X < B.Right && Y >= B.Top && Y < B.Bottom;
    SetCursor(Over ? crHandPoint : crDefault);
}

void TExWatch::WMGetDlgCode(TMessage& Message) {
    Message.Result = TabStop() ? (DLGC_WANTARROWS | DLGC_WANTALLKEYS) : 0;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------
void TExWatch::RedrawHands() {
    if (!HandleAllocated()) return;
    FHandsOnly = true;
    Repaint();
    FHandsOnly = false;
}

void TExWatch::Paint() {
    TCanvas& Screen = Canvas();
    const int W = ClientWidth(), H = ClientHeight();
    if (!FHandsOnly || FBKGCache->Width() != W || FBKGCache->Height() != H) {
        FBKGCache->SetSize(W, H);
        FBKGCache->Canvas().CopyRect(Rect(0, 0, W, H), Screen, Rect(0, 0, W, H));
        DrawBackground(FBKGCache->Canvas());
        DrawTicks(FBKGCache->Canvas());
        DrawNumbers(FBKGCache->Canvas());
        if (FShowAMPM) DrawAMPMBox(FBKGCache->Canvas(), true);
    }
    TBitmap Temp;
    Temp.SetSize(W, H);
    Temp.Canvas().Draw(0, 0, *FBKGCache);
    DrawHands(Temp.Canvas());
    Screen.Draw(0, 0, Temp);
}

void TExWatch::DrawBackground(TCanvas& C) {
    const TWatchLook& L = FAppearance->Look();
    const TRect Client = Rect(0, 0, ClientWidth(), ClientHeight());
    const TRect Face = FaceRect();
    const TRect Area = L.Shape == wsCircle ? Face : Client;
    const TRect Grown = Rect(Area.Left - 1, Area.Top - 1, Area.Right + 2, Area.Bottom + 2);
    if (L.Shape == wsCircle) {
        const TRegion Rgn = TRegion::FromEllipse(Grown);
        C.SelectClipRgn(&Rgn);
    } else if (L.Shape == wsRoundRect) {
        const TRegion Rgn = TRegion::FromRoundRect(Grown, 20, 20);
        C.SelectClipRgn(&Rgn);
    }
    if (IsColor(L.BackgroundColor) && IsColor(L.BackgroundColorTo)) {
        DrawSteppedGradient(C, L.BackgroundColor, L.BackgroundColorTo, 80, Area, L.BackgroundGradient == wgRadial);
    } else if (IsColor(L.BackgroundColor)) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(L.BackgroundColor);
        C.FillRect(Area);
    }
    if (IsColor(L.BorderColor) && L.BorderWidth > 0) {
        C.Pen().SetStyle(psSolid);
        C.Pen().SetColor(L.BorderColor);
        C.Pen().SetWidth(L.BorderWidth);
        C.Brush().SetStyle(bsClear);
        if (L.Shape == wsCircle) C.Ellipse(Face);
        else if (L.Shape == wsRect) C.Rectangle(Client);
        else C.RoundRect(Client.Left, Client.Top, Client.Right, Client.Bottom, 20, 20);
    }
    C.SelectClipRgn(nullptr);
    DrawPictureTransparent(C, FAppearance->Picture(), Client);
}

void TExWatch::DrawTicks(TCanvas& C) {
    const TWatchLook& L = FAppearance->Look();
    if (L.TickMarks == tmNone) return;
    int CX, CY, R;
    Geometry(CX, CY, R);
    const double Ro = R - L.BorderWidth / 2;
    const auto Mark = [&](double Degrees, double Inner, int Shift) {
        const double A = Degrees * Pi / 180.0;
        const double Cs = std::cos(A), Sn = std::sin(A);
        // Quarter marks at 3 and 9 shift in y, at 6 and 12 in x.
        const bool Horizontal = std::abs(Sn) < 0.5;
        const int SX = Horizontal ? 0 : Shift, SY = Horizontal ? Shift : 0;
        C.MoveTo(CX + Rnd(Cs * Inner) + SX, CY + Rnd(Sn * Inner) + SY);
        C.LineTo(CX + Rnd(Cs * Ro) + SX, CY + Rnd(Sn * Ro) + SY);
    };
    C.Pen().SetStyle(psSolid);
    C.Pen().SetColor(L.HourColor);
    C.Pen().SetWidth(L.HourMarkWidth);
    const double Rh = L.HourMarkLength != 0 ? Ro - L.HourMarkLength : 0.9 * Ro;
    for (int Q = 0; Q < 4; ++Q) {
        if (L.HourMarkStyle == hmsQuartDblLine) {
            Mark(Q * 90.0, Rh, -2);
            Mark(Q * 90.0, Rh, 2);
        } else {
            Mark(Q * 90.0, Rh, 0);
        }
    }
    if (L.TickMarks == tmAll || L.TickMarks == tmHours)
        for (int D = 30; D < 360; D += 30)
            if (D % 90 != 0) Mark(D, Rh, 0);
    if (L.TickMarks == tmAll) {
        C.Pen().SetColor(L.MinuteColor);
        C.Pen().SetWidth(L.MinuteMarkWidth);
        const double Rm = L.MinuteMarkLength != 0 ? Ro - L.MinuteMarkLength : 0.95 * Ro;
        for (int D = 6; D < 360; D += 6)
            if (D % 30 != 0) Mark(D, Rm, 0);
    }
}

void TExWatch::DrawNumbers(TCanvas& C) {
    const TWatchLook& L = FAppearance->Look();
    if (!FShowNumbers || L.TickMarks == tmNone || L.TickMarks == tmHours) return;
    int CX, CY, R;
    Geometry(CX, CY, R);
    const int Ro = R - L.BorderWidth / 2;
    const int M = L.HourMarkLength != 0 ? L.HourMarkLength : Rnd(Ro - 0.9 * Ro) + 2;
    C.SetFont(FAppearance->HourFont());
    C.Brush().SetStyle(bsClear);
    for (int N = 1; N <= 12; ++N) {
        if (L.TickMarks == tmQuartHours && N % 3 != 0) continue;
        const String Text = IntToStr(N);
        const TSize Sz = C.TextExtent(Text);
        const int E = N == 10 ? Rnd(0.2 * Sz.cy) : N == 11 ? Rnd(0.15 * Sz.cy) : 0;
        const double Dist = Ro - (M + 2) - M - E + M / 2;
        const TPoint P = AtAngle(CX + 1, CY + 1, N * 30.0, Dist);
        C.TextOut(P.X - Sz.cx / 2 - 1, P.Y - Sz.cy / 2 - 1, Text);
    }
}

void TExWatch::DrawAMPMBox(TCanvas& C, bool DrawText) {
    const TWatchLook& L = FAppearance->Look();
    const TRect B = AMPMRect();
    if (IsColor(L.AMPMColor) || IsColor(L.AMPMBorderColor)) {
        if (IsColor(L.AMPMColor)) {
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(L.AMPMColor);
        } else {
            C.Brush().SetStyle(bsClear);
        }
        C.Pen().SetStyle(IsColor(L.AMPMBorderColor) ? psSolid : psClear);
        C.Pen().SetColor(L.AMPMBorderColor);
        C.Pen().SetWidth(1);
        if (L.AMPMFrame == apRoundRect) C.RoundRect(B.Left, B.Top, B.Right, B.Bottom, 5, 5);
        else C.Rectangle(B);
    }
    if (!DrawText) return;
    C.SetFont(FAppearance->AMPMFont());
    C.Brush().SetStyle(bsClear);
    TRect T = B;
    C.DrawText(FAM ? S("AM") : S("PM"), T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TExWatch::RollAMPM(bool ToAM) {
    if (!HandleAllocated() || FBKGCache->Width() == 0) return;
    const TRect B = AMPMRect();
    const TRect In = Rect(B.Left + 1, B.Top + 1, B.Right - 1, B.Bottom - 1);
    const int W = In.Right - In.Left, H = In.Bottom - In.Top;
    if (W <= 0 || H <= 0) return;
    TBitmap Strip;
    Strip.SetSize(W, 2 * H);
    TCanvas& SC = Strip.Canvas();
    SC.Brush().SetColor(FAppearance->AMPMColor());
    SC.FillRect(Rect(0, 0, W, 2 * H));
    SC.SetFont(FAppearance->AMPMFont());
    SC.Brush().SetStyle(bsClear);
    TRect Top = Rect(0, 0, W, H), Bottom = Rect(0, H, W, 2 * H);
    SC.DrawText(S("AM"), Top, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SC.DrawText(S("PM"), Bottom, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const int CW = ClientWidth(), CH = ClientHeight();
    for (int Step = 1; Step <= H; ++Step) {
        const int Offset = ToAM ? H - Step : Step;
        TBitmap Temp;
        Temp.SetSize(CW, CH);
        Temp.Canvas().Draw(0, 0, *FBKGCache);
        Temp.Canvas().CopyRect(In, SC, Rect(0, Offset, W, Offset + H));
        DrawAMPMBox(Temp.Canvas(), false);
        Temp.Canvas().CopyRect(In, SC, Rect(0, Offset, W, Offset + H));
        DrawHands(Temp.Canvas());
        Canvas().Draw(0, 0, Temp);
        Update();
        Sleep(10);
    }
}

void TExWatch::DrawHands(TCanvas& C) {
    const TWatchLook& L = FAppearance->Look();
    int CX, CY, R;
    Geometry(CX, CY, R);
    int H, M, Sec;
    DecodeParts(ShownTime(), H, M, Sec);
    const double HourA = (H % 12) * 30.0 + M * 0.5, MinA = M * 6.0, SecA = Sec * 6.0;
    const bool Second = FSettings->Auto() && FSettings->Second();
    const auto Line = [&](TColor Color, int Width, double Angle, double Behind, double Ahead, int DX, int DY) {
        C.Pen().SetStyle(psSolid);
        C.Pen().SetColor(Color);
        C.Pen().SetWidth(Width);
        const TPoint A = AtAngle(CX, CY, Angle + 180.0, Behind * R), B = AtAngle(CX, CY, Angle, Ahead * R);
        C.MoveTo(A.X + DX, A.Y + DY);
        C.LineTo(B.X + DX, B.Y + DY);
    };
    const auto Arrow = [&](TColor Color, double Angle, double Ahead) {
        // A 6-pixel filled head at the tip.
        const TPoint Tip = AtAngle(CX, CY, Angle, Ahead * R);
        const TPoint Base = AtAngle(CX, CY, Angle, Ahead * R - 6);
        const TPoint L1 = AtAngle(Base.X, Base.Y, Angle - 90.0, 3), R1 = AtAngle(Base.X, Base.Y, Angle + 90.0, 3);
        C.Pen().SetWidth(1);
        C.Pen().SetColor(Color);
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(Color);
        C.Polygon({Tip, L1, R1});
    };
    const auto Polygon = [&](TColor Color, double Angle, double Ahead, int DX, int DY) {
        const TPoint Tail = AtAngle(CX, CY, Angle + 180.0, 0.1 * R);
        const TPoint S1 = AtAngle(CX, CY, Angle + 90.0, 0.05 * R);
        const TPoint Tip = AtAngle(CX, CY, Angle, Ahead * R);
        const TPoint S2 = AtAngle(CX, CY, Angle - 90.0, 0.05 * R);
        C.Pen().SetStyle(psSolid);
        C.Pen().SetWidth(1);
        C.Pen().SetColor(Color);
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(Color);
        C.Polygon({{Tail.X + DX, Tail.Y + DY}, {S1.X + DX, S1.Y + DY}, {Tip.X + DX, Tip.Y + DY},
                   {S2.X + DX, S2.Y + DY}});
    };
    if (L.PointerStyle == psPointer) {
        if (IsColor(L.HourPointerShadow)) Polygon(L.HourPointerShadow, HourA, 0.5, 1, 3);
        Polygon(L.HourPointer, HourA, 0.5, 0, 0);
        if (IsColor(L.MinutePointerShadow)) Polygon(L.MinutePointerShadow, MinA, 0.7, 1, 3);
        Polygon(L.MinutePointer, MinA, 0.7, 0, 0);
        if (Second) Line(L.SecondPointer, L.SecondPointerSize, SecA, 0.2, 0.9, 0, 0);
    } else {
        const bool Short = L.PointerStyle == psShortLine;
        const double HourLen = Short ? 0.35 : 0.5, MinLen = Short ? 0.5 : 0.7, SecLen = Short ? 0.7 : 0.9;
        if (IsColor(L.HourPointerShadow))
            Line(L.HourPointerShadow, L.HourPointerSize, HourA, 0.1, HourLen - 0.04, -1, 3);
        if (IsColor(L.MinutePointerShadow))
            Line(L.MinutePointerShadow, L.MinutePointerSize, MinA, 0.1, MinLen - 0.05, 0, 3);
        Line(L.HourPointer, L.HourPointerSize, HourA, 0.1, HourLen, 0, 0);
        Line(L.MinutePointer, L.MinutePointerSize, MinA, 0.1, MinLen, 0, 0);
        if (Second) Line(L.SecondPointer, L.SecondPointerSize, SecA, 0.2, SecLen, 0, 0);
        if (L.PointerStyle == psLineArrow) {
            Arrow(L.HourPointer, HourA, HourLen);
            Arrow(L.MinutePointer, MinA, MinLen);
            if (Second) Arrow(L.SecondPointer, SecA, SecLen);
        }
    }
    const int Sz = L.CenterPointSize;
    if (Sz == 0) return;
    const int X0 = Rnd(CX - Sz / 2.0), Y0 = Rnd(CY - Sz / 2.0);
    int W = 0;
    if (IsColor(L.CenterPointColor)) {
        C.Pen().SetStyle(psSolid);
        C.Pen().SetWidth(1);
        C.Pen().SetColor(L.CenterPointColor);
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(L.CenterPointColor);
        C.Ellipse(X0, Y0, X0 + Sz, Y0 + Sz);
    }
    C.Brush().SetStyle(bsClear);
    if (IsColor(L.CenterPointOuterBorderColor)) {
        W = Rnd(0.2 * Sz);
        C.Pen().SetColor(L.CenterPointOuterBorderColor);
        C.Pen().SetWidth(W);
        C.Ellipse(X0, Y0, X0 + Sz, Y0 + Sz);
    }
    if (IsColor(L.CenterPointBorderColor)) {
        const int In = Sz - W;
        const int X1 = Rnd(CX - In / 2.0), Y1 = Rnd(CY - In / 2.0);
        C.Pen().SetColor(L.CenterPointBorderColor);
        C.Pen().SetWidth(Rnd(0.1 * Sz));
        C.Ellipse(X1, Y1, X1 + In, Y1 + In);
    }
}

// ---------------------------------------------------------------------------
// TExTimePickerDropDown
// ---------------------------------------------------------------------------
namespace {
String TimeSep() { return String(1, FormatSettings().TimeSeparator); }

String TwoDigits(int V) {
    String R = IntToStr(V);
    if (R.empty()) return u"00";
    return R.size() < 2 ? u"0" + R : R;
}

bool IsPageOrArrow(Word Key, TShiftState Shift) {
    return (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt);
}

// A part must be empty or begin with one or two digits; the value is
// read from those digits.
bool ReadPart(const String& Part, int& Value) {
    Value = 0;
    if (Part.empty()) return true;
    if (Part[0] < u'0' || Part[0] > u'9') return false;
    Value = Part[0] - u'0';
    if (Part.size() >= 2) {
        if (Part[1] < u'0' || Part[1] > u'9') return false;
        Value = Value * 10 + (Part[1] - u'0');
    }
    return true;
}
}  // namespace

TExTimePickerDropDown::TExTimePickerDropDown(TComponent* AOwner)
    : TExCustomDropDown(AOwner), FWatchAppearance(std::make_unique<TWatchAppearance>()),
      FWatchSettings(std::make_unique<TWatchSettings>()) {
    FWatchAppearance->OnChange = [](TObject*) {};
    // The look the framework applies at creation reaches the clock's colours too.
    ApplyWatchTones(*FWatchAppearance, GetComponentStyle());
    CreateDropDownForm();
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    const String T = TimeSep();
    SetEditMask(u"!90" + T + u"00" + T + u"00;1; ");
    WriteText(u"00" + T + u"00" + T + u"00");
}

TExTimePickerDropDown::~TExTimePickerDropDown() = default;

void TExTimePickerDropDown::WriteText(const String& Value) {
    const bool Saved = FInternalCall;
    FInternalCall = true;
    SetText(Value);
    FInternalCall = Saved;
}

String TExTimePickerDropDown::TimeMask() const {
    const String T = TimeSep();
    return FShowSeconds ? u"!90" + T + u"00" + T + u"00;1; " : u"!90" + T + u"00;1; ";
}

String TExTimePickerDropDown::FormatTimeText(TDateTime Value) const {
    int H, M, Sec;
    DecodeParts(Value, H, M, Sec);
    const String T = TimeSep();
    String R = TwoDigits(H) + T + TwoDigits(M);
    if (FShowSeconds) R += T + TwoDigits(Sec);
    return R;
}

void TExTimePickerDropDown::SetTime(TDateTime Value) {
    if (Value == FTime) return;
    FTime = Value;
    WriteText(FormatTimeText(Value));
    if (DroppedDown() && FExWatch) {
        FExWatch->SetTime(Value);
        if (FShowTimePicker && FDateTimePicker) FDateTimePicker->SetTime(Value);
    }
}

void TExTimePickerDropDown::SetShowSeconds(bool Value) {
    if (FShowSeconds == Value) return;
    FShowSeconds = Value;
    const TDateTime Kept = FTime;
    FInternalCall = true;
    SetEditMask(u"");
    SetTextValue(u"");
    FInternalCall = false;
    SetEditMask(TimeMask());
    // A day apart, so that the value is written again in the new form.
    FTime = Kept + 1;
    SetTime(Kept);
}

void TExTimePickerDropDown::SetTimePart(int Part, int Value) {
    int P[3];
    DecodeParts(FTime, P[0], P[1], P[2]);
    if (Value < 0 || Value > (Part == 0 ? 23 : 59) || P[Part] == Value) return;
    P[Part] = Value;
    SetTime(std::floor(FTime) + EncodeTime(Word(P[0]), Word(P[1]), Word(P[2]), 0));
    if (OnTimeChange) OnTimeChange(this);
}

void TExTimePickerDropDown::SetHourPart(int Value) { SetTimePart(0, Value); }
void TExTimePickerDropDown::SetMinutePart(int Value) { SetTimePart(1, Value); }
void TExTimePickerDropDown::SetSecondPart(int Value) { SetTimePart(2, Value); }

void TExTimePickerDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    if (FWatchAppearance) ApplyWatchTones(*FWatchAppearance, AStyle);
}

void TExTimePickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm) return;
    if (!FPanelCtrl) {
        FPanelCtrl = new TPanel(this);
        FPanelCtrl->SetParent(FDropDownForm);
        FPanelCtrl->SetBevelOuter(bvNone);
        FPanelCtrl->SetBevelInner(bvNone);
        FPanelCtrl->SetBounds(0, 0, FPanelCtrl->Width(), 180);
    }
    if (!FExWatch) {
        FExWatch = new TExWatch(this);
        FExWatch->SetParent(FPanelCtrl);
        FExWatch->SetAlign(alClient);
    }
    SetControl(FPanelCtrl);
}

void TExTimePickerDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    FPanelCtrl->SetBounds(FPanelCtrl->Left(), FPanelCtrl->Top(), 170, 170);
    FDropDownForm->SetWidth(FDropDownForm->Width() + 1);
    FDropDownForm->SetWidth(FDropDownForm->Width() - 1);
    FDropDownForm->SetCancelOnDeActivate(false);
    FPanelCtrl->SetColor(DropDownColor());
    FExWatch->SetAppearance(*FWatchAppearance);
    FExWatch->SetSettings(*FWatchSettings);
    FExWatch->SetShowAMPM(FShowWatchAMPM);
    FExWatch->SetShowNumbers(FShowWatchNumbers);
    FExWatch->SetAnimation(FAnimation);
    FExWatch->SetAnimationFactor(FAnimationFactor);
    FExWatch->OnChange = nullptr;
    if (!FWatchSettings->Auto()) FExWatch->SetTime(FTime);
    FExWatch->OnChange = [this](TObject*) { WatchChanged(); };
    if (!FShowTimePicker) {
        if (FDateTimePicker) FDateTimePicker->SetVisible(false);
        return;
    }
    if (!FDateTimePicker) {
        FDateTimePicker = new TDateTimePicker(this);
        FDateTimePicker->SetParent(FPanelCtrl);
        FDateTimePicker->SetKind(dtkTime);
    }
    FDateTimePicker->OnChange = nullptr;
    FDateTimePicker->SetAlign(alBottom);
    FDateTimePicker->SetVisible(true);
    FDateTimePicker->SetTime(FTime);
    FDateTimePicker->BringToFront();
    FDateTimePicker->OnChange = [this](TObject*) { PickerChanged(); };
    FDateTimePicker->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { ControlKeyDown(Key, Shift); };
    FDateTimePicker->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { ControlKeyUp(Key, Shift); };
    FDateTimePicker->OnKeyPress = [this](TObject*, Char& Key) { ControlKeyPress(Key); };
    FDateTimePicker->SetFormat(FShowSeconds ? S("HH:mm:ss") : S("HH:mm"));
    FPanelCtrl->SetHeight(FDateTimePicker->Height() + 170);
}

void TExTimePickerDropDown::WatchChanged() {
    if (FDateTimePicker && FShowTimePicker && FDateTimePicker->Time() != FExWatch->Time()) {
        FDateTimePicker->SetTime(FExWatch->Time());
        if (OnTimeChange) OnTimeChange(this);
    }
    SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::PickerChanged() {
    if (FDateTimePicker && FExWatch && !FWatchSettings->Auto()) {
        const TNotifyEvent Saved = FExWatch->OnChange;
        FExWatch->OnChange = nullptr;
        FExWatch->SetTime(FDateTimePicker->Time());
        FExWatch->OnChange = Saved;
    }
}

void TExTimePickerDropDown::DoHideDropDown(bool Cancelled) {
    // Hiding runs FormHide at once; when cancelled it must not take the
    // clock's time before the clock is put back.
    FCancelling = Cancelled;
    TExCustomDropDown::DoHideDropDown(Cancelled);
    FCancelling = false;
    if (!FExWatch) return;
    if (Cancelled) FExWatch->SetTime(FTime);
    else SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::FormHide() {
    TExCustomDropDown::FormHide();
    if (FExWatch && !FCancelling) SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::FormKeyDown(Word& Key, TShiftState Shift) {
    if (!IsPageOrArrow(Key, Shift)) TExCustomDropDown::FormKeyDown(Key, Shift);
    if (FDropDownForm && FDropDownForm->Visible() && FExWatch) FExWatch->ProcessKey(Key);
}

void TExTimePickerDropDown::FormKeyUp(Word& Key, TShiftState Shift) {
    if (!IsPageOrArrow(Key, Shift)) TExCustomDropDown::FormKeyUp(Key, Shift);
}

void TExTimePickerDropDown::ControlKeyDown(Word& Key, TShiftState Shift) {
    if (!IsPageOrArrow(Key, Shift)) TExCustomDropDown::ControlKeyDown(Key, Shift);
}

void TExTimePickerDropDown::ControlKeyUp(Word& Key, TShiftState Shift) {
    if (!IsPageOrArrow(Key, Shift)) TExCustomDropDown::ControlKeyUp(Key, Shift);
}

void TExTimePickerDropDown::KeyDown(Word& Key, TShiftState Shift) {
    TExCustomDropDown::KeyDown(Key, Shift);
    if (GetKeyState(VK_MENU) < 0 || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl)) return;
    if (Key != VK_UP && Key != VK_DOWN) return;
    const String Text = GetText();
    const String T = TimeSep();
    const int C = SelStart();
    const size_t First = Text.find(T);
    if (First == String::npos) return;
    const int P1 = int(First) + 1;
    const int Delta = Key == VK_UP ? -1 : 1;
    int H, M, Sec;
    DecodeParts(FTime, H, M, Sec);
    if (C < P1) {
        SetHourPart((H + Delta + 24) % 24);
    } else {
        const size_t Second = Text.find(T, First + 1);
        const int P2 = Second == String::npos ? 0 : int(Second - First);
        if (P2 > 0 && C - P1 >= P2 && FShowSeconds) SetSecondPart((Sec + Delta + 60) % 60);
        else SetMinutePart((M + Delta + 60) % 60);
    }
    SetSelStart(C);
}

void TExTimePickerDropDown::Change() {
    TExCustomDropDown::Change();
    if (FInternalCall) return;
    String Text = GetText();
    if (Text.empty() || Trim(Text).size() != (FShowSeconds ? 8u : 5u)) return;
    const String T = TimeSep();
    const size_t First = Text.find(T);
    if (First == String::npos) return;
    const String After = Trim(Text.substr(First + 1));
    const size_t Second = After.find(T);
    if (FShowSeconds ? (Second == String::npos || After.find(T, Second + 1) != String::npos)
                     : Second != String::npos)
        return;
    for (Char& Ch : Text)
        if (Ch == u' ') Ch = u'0';
    const String Rest = Trim(Text.substr(First + 1));
    const size_t Sep = Rest.find(T);
    int H, M, Sec = 0;
    if (!ReadPart(Trim(Text.substr(0, First)), H)) return;
    if (!ReadPart(Trim(FShowSeconds ? Rest.substr(0, Sep) : Rest), M)) return;
    if (FShowSeconds && !ReadPart(Trim(Rest.substr(Sep + 1)), Sec)) return;
    // An hour above 23 or a minute or second above 59 is refused.
    TDateTime Parsed;
    if (!TryEncodeTime(Word(H), Word(M), Word(Sec), 0, Parsed)) return;
    FTime = Parsed;
    const String Formatted = FormatTimeText(Parsed);
    if (Formatted != GetText() && M == 0 && Sec == 0) {
        FInternalCall = true;
        SetTextValue(Formatted);
        FInternalCall = false;
    }
}
