#pragma once
// System probes as the classic desktop answers them: the metrics of window
// parts (GetSystemMetrics), the user's settings (SystemParametersInfo) and
// the warning beep. The values are the classic ones at 96 dots per inch, so
// that layouts written against them come out the same on every desktop; the
// screen and desktop sizes are the real ones. Tests may set any value for a
// while through TSystemMetricsGuard.

#include "framework/System.h"

// GetSystemMetrics indexes.
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8;
constexpr int SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21;
constexpr int SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_MENUDROPALIGNMENT = 40;
constexpr int SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51;
constexpr int SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72;
constexpr int SM_MOUSEWHEELPRESENT = 75, SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80;
constexpr int SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84;

// The value of a metric; 0 for an index it does not know.
int GetSystemMetrics(int Index);

// SystemParametersInfo actions.
constexpr Cardinal SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr Cardinal SPI_GETWORKAREA = 0x0030;
constexpr Cardinal SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr Cardinal SPI_GETTOOLTIPANIMATION = 0x1016;
constexpr Cardinal SPI_GETTOOLTIPFADE = 0x1018;
// The wheel-lines answer that means "scroll a page per notch".
constexpr Cardinal WHEEL_PAGESCROLL = 0xFFFFFFFF;

// Writes the setting to Param: a Cardinal for the wheel lines, an int (used
// as a Boolean) for the flags, a TRect for the work area. False for an
// action it does not know or a nil Param.
bool SystemParametersInfo(Cardinal Action, Cardinal UIParam, void* Param, Cardinal WinIni = 0);

// Replaces one metric or one setting while the guard lives (tests only):
// the wheel lines set to WHEEL_PAGESCROLL, say, or a wider scroll bar.
class TSystemMetricsGuard {
public:
    // Kind Metric: Index is an SM_ value; kind Parameter: an SPI_GET value.
    enum TKind { Metric, Parameter };
    TSystemMetricsGuard(TKind Kind, Cardinal Index, Int64 Value);
    ~TSystemMetricsGuard();
    TSystemMetricsGuard(const TSystemMetricsGuard&) = delete;
    TSystemMetricsGuard& operator=(const TSystemMetricsGuard&) = delete;

private:
    TKind FKind;
    Cardinal FIndex;
    bool FHadValue;
    Int64 FSaved;
};

// Sounds the warning beep (Type: 0 or one of the message-box icon values,
// all one sound here). Every beep is counted, so that a test can see
// that a refused key beeped.
bool MessageBeep(Cardinal Type);
int MessageBeepCount();
