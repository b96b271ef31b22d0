// The clock's named presets and its colour table for the library looks.

#include "controls/ExTimePickerDropDown.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace {
int Rnd(double V) { return int(Round(V)); }

void SetLookFont(TFont& F, const char* Name, int Size, TFontStyles Style, TColor Color) {
    F.SetName(S(Name));
    if (Size > 0) F.SetSize(Size);
    F.SetStyle(Style);
    if (Color != clNone) F.SetColor(Color);
}

void HourHand(TWatchAppearance& A, TColor C, int Size = 5) {
    A.SetHourPointer(C);
    A.SetHourPointerShadow(clBtnShadow);
    A.SetHourPointerSize(Byte(Size));
}

struct TWatchTones {
    TColor AMPMBorder, AMPMFill, Background, BackgroundTo, Border, Ring, Center, Hands, SecondHand, Shadows;
};

// Indexed by TGPKStyle; tsCustom's row is not used.
const TWatchTones WatchTones[] = {
    /* tsOffice2003Blue */ {0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, 0xFFFFFF, 0xFFFFFF},
    /* tsOffice2003Silver */ {0x962D00, 0x947C7C, 0xECE2E1, 0xECE2E1, 0x947C7C, 0x947C7C, 0x947C7C, 0x947C7C, 0xFFFFFF, 0xFFFFFF},
    /* tsOffice2003Olive */ {0x962D00, 0x588060, 0xCFF0EA, 0xCFF0EA, 0x588060, 0x588060, 0x588060, 0x588060, 0xFFFFFF, 0xFFFFFF},
    /* tsOffice2003Classic */ {0x808080, 0xD8D5D4, 0xFFFFFF, 0xFFFFFF, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xC0C0C0},
    /* tsOffice2007Luna */ {0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, 0x723708, 0xFFFFFF},
    /* tsOffice2007Obsidian */ {0x5C534C, 0xD7D3CF, 0xF2F1F0, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0x433C37, 0x433C37, 0xFFFFFF},
    /* tsWindowsXP */ {0x000000, clBtnFace, clBtnFace, clBtnFace, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0xFFFFFF},
    /* tsWhidbey */ {0x7A868A, 0xDCE7EB, 0xF5F9FA, 0xF5F9FA, 0x7A868A, 0x7A868A, 0x7A868A, 0x7A868A, 0x7A868A, 0xFFFFFF},
    /* tsCustom */ {clNone, clNone, clNone, clNone, clNone, clNone, clNone, clNone, clNone, clNone},
    /* tsOffice2007Silver */ {0xE7DCD5, 0xE7DCD5, 0xFAEEEB, 0xFAEEEB, 0xE7DCD5, 0xFAEEEB, 0xFAEEEB, 0x5C534C, 0x5C534C, 0xFFFFFF},
    /* tsWindowsVista */ {0xFDDE99, 0xFEF9F0, 0xFFFFFF, 0xFFFFFF, 0xFDDE99, 0xFDDE99, 0xFDDE99, 0xCB8E2D, 0xCB8E2D, 0xFFFFFF},
    /* tsWindows7 */ {0xCEA27D, 0xFCEBDC, 0xFFFFFF, 0xFFFFFF, 0xCEA27D, 0xCEA27D, 0xCEA27D, 0xB27C4E, 0xB27C4E, 0xFFFFFF},
    /* tsTerminal */ {0x808080, 0xC0C0C0, 0xFFFFFF, 0xFFFFFF, 0x808080, 0x808080, 0x808080, 0x000000, 0x000000, 0xC0C0C0},
    /* tsOffice2010Blue */ {0xC7B29B, 0xFDF6EF, 0xFFFFFF, 0xFFFFFF, 0xC7B29B, 0xC7B29B, 0xC7B29B, 0x8A5C2B, 0x8A5C2B, 0xFFFFFF},
    /* tsOffice2010Silver */ {0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xC0C0C0},
    /* tsOffice2010Black */ {0x6D6D6D, 0xBFBFBF, 0xEBEBEB, 0xEBEBEB, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x303030, 0x303030, 0xFFFFFF},
};
static_assert(sizeof(WatchTones) / sizeof(WatchTones[0]) == tsOffice2010Black + 1);
}  // namespace

void ApplyWatchTones(TWatchAppearance& A, TGPKStyle AStyle) {
    A.SetCenterPointOuterBorderColor(TColor(0x000000));
    A.HourFont().SetColor(TColor(0x000000));
    A.AMPMFont().SetColor(TColor(0x000000));
    if (AStyle == tsCustom) return;
    const TWatchTones& T = WatchTones[AStyle];
    A.StoreAMPMColors(T.AMPMBorder, T.AMPMFill);
    A.SetBackgroundColor(T.Background);
    A.SetBackgroundColorTo(T.BackgroundTo);
    A.SetBorderColor(T.Border);
    A.SetCenterPointBorderColor(T.Ring);
    A.SetCenterPointColor(T.Center);
    A.SetHourColor(T.Hands);
    A.SetMinuteColor(T.Hands);
    A.SetHourPointer(T.Hands);
    A.SetMinutePointer(T.Hands);
    A.SetSecondPointer(T.SecondHand);
    A.SetHourPointerShadow(T.Shadows);
    A.SetMinutePointerShadow(T.Shadows);
    if (AStyle == tsOffice2007Obsidian) {
        A.AMPMFont().SetColor(T.Border);
        A.HourFont().SetColor(T.Border);
    }
}

void TExWatch::SetComponentStyle(TGPKStyle AStyle) { ApplyWatchTones(*FAppearance, AStyle); }

void TExWatch::SetStyle(TWatchStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    TWatchAppearance& A = *FAppearance;
    A.ResetDefaults();
    const int Short = std::min(Width(), Height());
    int ShowAMPM = -1, ShowNumbers = -1;
    switch (Value) {
        case wsClassic:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 0, {}, clNone);
            SetLookFont(A.HourFont(), "Comic Sans MS", 10, {fsBold}, clNone);
            A.SetHourMarkLength(8);
            A.SetMinuteMarkLength(4);
            HourHand(A, TColor(0x000000));
            A.SetMinutePointerShadow(clBtnShadow);
            FAnimation = true;
            FAnimationFactor = 10;
            ShowAMPM = ShowNumbers = 1;
            break;
        case wsTower:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 0, {}, clNone);
            A.SetAMPMFrame(apRect);
            A.SetBorderWidth(1);
            A.SetBackgroundColor(TColor(0xB1F0FE));
            A.SetBackgroundColorTo(TColor(0x5BCCE8));
            A.SetBackgroundGradient(wgDiagonalForward);
            A.StoreAMPMColors(A.AMPMBorderColor(), A.BackgroundColor());
            A.SetCenterPointColor(TColor(0x002BD5));
            A.SetCenterPointSize(6);
            SetLookFont(A.HourFont(), "Century", 0, {fsBold}, clWindowText);
            HourHand(A, TColor(0x000000));
            A.SetMinutePointerShadow(clBtnShadow);
            A.SetSecondPointer(TColor(0x002BD5));
            A.SetShape(wsRect);
            A.SetPointerStyle(psPointer);
            A.SetTickMarks(tmHours);
            ShowNumbers = 0;
            break;
        case wsFluorescent:
        case wsFuchsia: {
            const bool F = Value == wsFluorescent;
            const TColor Key = F ? TColor(0xFF3E3E) : TColor(0xFFD0FF);
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 10, {}, clWindowText);
            A.SetAMPMFrame(apRoundRect);
            A.SetBorderColor(Key);
            A.SetBackgroundColor(TColor(0x000000));
            A.SetBackgroundColorTo(TColor(0x000000));
            if (F) A.SetCenterPointColor(Key);
            A.SetCenterPointSize(20);
            A.SetCenterPointBorderColor(F ? TColor(0x000000) : TColor(0xDD68DD));
            A.SetCenterPointOuterBorderColor(TColor(0x000000));
            SetLookFont(A.HourFont(), "MS Sans Serif", 8, {}, clWindowText);
            A.SetHourColor(Key);
            A.SetHourMarkLength(10);
            A.SetHourMarkWidth(2);
            A.SetHourMarkStyle(hmsQuartDblLine);
            A.SetHourPointer(Key);
            A.SetMinutePointer(Key);
            A.SetHourPointerSize(2);
            A.SetMinutePointerSize(2);
            A.SetHourPointerShadow(clBtnShadow);
            A.SetMinutePointerShadow(clBtnShadow);
            A.SetMinuteColor(Key);
            if (!F) A.SetSecondPointer(TColor(0xDD68DD));
            A.SetShape(F ? wsRoundRect : wsRect);
            A.SetTickMarks(F ? tmHours : tmQuartHours);
            ShowAMPM = ShowNumbers = 0;
            break;
        }
        case wsEmerald:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 0, {}, TColor(0xA00000));
            A.SetAMPMFrame(apRoundRect);
            A.StoreAMPMColors(A.AMPMBorderColor(), clNone);
            A.SetBorderColor(TColor(0x3AE800));
            A.SetBackgroundColor(TColor(0x3AE800));
            A.SetBackgroundColorTo(TColor(0x000000));
            A.SetBackgroundGradient(wgDiagonalForward);
            A.SetCenterPointColor(TColor(0x38E100));
            A.SetCenterPointSize(16);
            A.SetCenterPointBorderColor(TColor(0x40FF00));
            A.SetCenterPointOuterBorderColor(TColor(0x000000));
            SetLookFont(A.HourFont(), "MS Sans Serif", 0, {}, A.BackgroundColor());
            A.SetHourColor(A.BackgroundColor());
            A.SetHourMarkStyle(hmsQuartDblLine);
            HourHand(A, TColor(0x40FF00));
            A.SetMinutePointer(TColor(0x40FF00));
            A.SetMinutePointerShadow(clBtnShadow);
            A.SetSecondPointer(TColor(0x00FFFF));
            A.SetShape(wsRect);
            A.SetPointerStyle(psPointer);
            A.SetTickMarks(tmHours);
            ShowAMPM = ShowNumbers = 0;
            break;
        case wsBlueStar:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 10, {}, TColor(0xA00000));
            A.SetAMPMFrame(apRoundRect);
            A.StoreAMPMColors(clNone, clNone);
            A.SetBorderColor(TColor(0xFFD5D5));
            A.SetBackgroundColor(TColor(0xFFD5D5));
            A.SetBackgroundColorTo(TColor(0xA00000));
            A.SetBackgroundGradient(wgRadial);
            SetLookFont(A.HourFont(), "MS Sans Serif", 8, {}, A.BackgroundColor());
            HourHand(A, TColor(0xA00000));
            A.SetMinutePointer(TColor(0xA00000));
            A.SetMinutePointerShadow(clBtnShadow);
            A.SetShape(wsRoundRect);
            A.SetPointerStyle(psPointer);
            ShowAMPM = ShowNumbers = 1;
            break;
        case wsBlack:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 0, {}, clNone);
            A.SetBackgroundColor(TColor(0x202020));
            A.SetBackgroundColorTo(clNone);
            A.SetBorderColor(TColor(0x000000));
            A.SetCenterPointColor(TColor(0xFFFFFF));
            A.SetCenterPointBorderColor(TColor(0xFFFFFF));
            A.SetCenterPointOuterBorderColor(TColor(0xFFFFFF));
            A.SetHourColor(TColor(0x585858));
            A.SetMinuteColor(TColor(0x585858));
            A.SetMinuteMarkLength(4);
            SetLookFont(A.HourFont(), "Century Gothic", 11, {}, TColor(0xFFFFFF));
            HourHand(A, TColor(0xFFFFFF));
            A.SetMinutePointer(TColor(0xFFFFFF));
            A.SetMinutePointerShadow(clBtnShadow);
            ShowAMPM = 0;
            ShowNumbers = 1;
            break;
        case wsBlackWhite:
            A.SetBackgroundColor(TColor(0xFFFFFF));
            A.SetBackgroundColorTo(clNone);
            A.SetBorderColor(TColor(0x000000));
            A.SetBorderWidth(8);
            A.SetCenterPointColor(TColor(0x000000));
            A.SetCenterPointSize(8);
            A.SetCenterPointBorderColor(TColor(0x000000));
            A.SetCenterPointOuterBorderColor(TColor(0x000000));
            A.SetHourColor(TColor(0x585858));
            SetLookFont(A.HourFont(), "Century Gothic", 14, {fsBold}, TColor(0x000000));
            HourHand(A, TColor(0x000000));
            A.SetMinutePointer(TColor(0x000000));
            A.SetMinutePointerShadow(clBtnShadow);
            A.SetMinuteMarkLength(4);
            A.SetSecondPointer(TColor(0x000080));
            A.SetPointerStyle(psPointer);
            A.SetTickMarks(tmQuartHours);
            ShowAMPM = 0;
            ShowNumbers = 1;
            break;
        case wsGray:
            SetLookFont(A.AMPMFont(), "MS Sans Serif", 10, {}, clNone);
            A.SetBackgroundColor(TColor(0xD1D1D1));
            A.SetBackgroundColorTo(TColor(0x6C6C6C));
            A.SetBackgroundGradient(wgRadial);
            A.SetBorderColor(TColor(0x454545));
            A.SetCenterPointBorderColor(TColor(0x454545));
            A.SetCenterPointColor(TColor(0x000000));
            A.SetCenterPointOuterBorderColor(clNone);
            A.SetHourColor(TColor(0x000000));
            A.SetMinuteColor(TColor(0x808080));
            SetLookFont(A.HourFont(), "Comic Sans MS", 8, {}, clNone);
            A.SetHourPointer(TColor(0x4E4E4E));
            A.SetMinutePointer(TColor(0x4E4E4E));
            A.SetHourPointerSize(1);
            A.SetMinutePointerSize(1);
            A.SetHourPointerShadow(clNone);
            A.SetMinutePointerShadow(clNone);
            A.SetSecondPointer(TColor(0x0000FF));
            ShowAMPM = ShowNumbers = 1;
            break;
        case wsSuperNova:
            A.SetBackgroundColorTo(TColor(0xD1D3D3));
            A.SetBorderColor(clNone);
            A.SetCenterPointOuterBorderColor(TColor(0x000000));
            A.SetCenterPointSize(10);
            A.SetHourMarkLength(Byte(Rnd(Short / 4.5)));
            A.SetMinuteMarkLength(Byte(Short / 3));
            HourHand(A, TColor(0x000000), 4);
            A.SetMinuteColor(TColor(0x808080));
            A.SetMinutePointer(TColor(0x000000));
            ShowAMPM = ShowNumbers = 0;
            break;
        case wsSports:
            A.SetBackgroundColor(TColor(0x000000));
            A.SetBackgroundColorTo(clNone);
            A.SetBorderColor(TColor(0x000000));
            A.SetBorderWidth(1);
            A.SetCenterPointColor(TColor(0x191919));
            A.SetCenterPointSize(Byte(Rnd(Short / 3.6)));
            A.SetCenterPointBorderColor(TColor(0xFF0000));
            A.SetCenterPointOuterBorderColor(TColor(0x000000));
            A.SetHourColor(TColor(0xABB0B1));
            A.SetMinuteColor(TColor(0x808080));
            A.SetMinuteMarkLength(1);
            SetLookFont(A.HourFont(), "Times New Roman", 9, {}, TColor(0x797979));
            A.SetHourPointer(TColor(0x0000FF));
            A.SetMinutePointer(TColor(0x00FFFF));
            A.SetHourPointerSize(2);
            A.SetMinutePointerSize(2);
            A.SetHourPointerShadow(clNone);
            A.SetMinutePointerShadow(clNone);
            A.SetSecondPointer(TColor(0x188BFE));
            A.SetTickMarks(tmQuartHours);
            ShowAMPM = 0;
            ShowNumbers = 1;
            break;
        case wsSmooth:
            A.SetBackgroundColor(TColor(0xFFFFFF));
            A.SetBackgroundColorTo(TColor(0xABB0B1));
            A.SetBorderColor(TColor(0x585858));
            A.SetBorderWidth(1);
            A.SetCenterPointColor(TColor(0xFFFFFF));
            A.SetCenterPointSize(6);
            A.SetCenterPointBorderColor(TColor(0x000000));
            A.SetCenterPointOuterBorderColor(TColor(0x4A4A4A));
            A.SetHourColor(TColor(0xABB0B1));
            A.SetMinuteColor(TColor(0x808080));
            A.SetMinuteMarkLength(1);
            SetLookFont(A.HourFont(), "Times New Roman", 9, {}, TColor(0x797979));
            A.SetHourPointer(TColor(0x4A4A4A));
            A.SetMinutePointer(TColor(0x4A4A4A));
            A.SetHourPointerSize(2);
            A.SetMinutePointerSize(2);
            A.SetHourPointerShadow(TColor(0xB2B2B2));
            A.SetMinutePointerShadow(TColor(0xB2B2B2));
            A.SetSecondPointer(TColor(0x4A4A4A));
            A.SetTickMarks(tmQuartHours);
            ShowAMPM = 0;
            ShowNumbers = 1;
            break;
    }
    if (ShowAMPM >= 0) SetShowAMPM(ShowAMPM != 0);
    if (ShowNumbers >= 0) SetShowNumbers(ShowNumbers != 0);
    Invalidate();
}
