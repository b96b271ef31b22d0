#pragma once
// The visual-styles service: themed parts (buttons, check boxes, radio
// buttons, combo drop-down buttons, header items, spin buttons, progress
// bars, scroll bars, tree glyphs, tabs) drawn by one of two renderers of our
// own on a canvas. The styled renderer (a flat modern look with distinct
// normal, hot, pressed and disabled states) is the default and counts as an
// active theme; the classic renderer draws the 3-D frame controls in the
// system colours and counts as no theme.
//
// The operating-system probes answer fixed values: version 6.1, common
// controls version 6, and the entry points the system looks up by name.

#include "framework/Graphics.h"
#include "framework/HResult.h"

#include <cstdint>

using HTHEME = std::intptr_t;  // 0: no theme data

enum TThemeRenderer { trClassic, trStyled };
// A change of renderer sends WM_THEMECHANGED to every window of the program.
void SetThemeRenderer(TThemeRenderer r);
TThemeRenderer CurrentThemeRenderer();

// Sends the message to every form and every control on it, windowless ones included.
void NotifyAllWindows(Cardinal Msg);
// The desktop's font changed: every window hears CM_SYSFONTCHANGED.
void SystemFontChanged();

// Gives a window the theme variant of a sub-application ("explorer"; empty:
// the plain one) for the theme data opened for it afterwards, and sends it
// WM_THEMECHANGED. The id list is accepted and not used.
HRESULT SetWindowTheme(TObject* Window, const String& SubAppName, const String& SubIdList);

// Window: the control whose style is used (may be nullptr). ClassList: one
// or more class names separated by ";", the first known one is taken;
// case does not matter; "Explorer::TreeView" is the file explorer's variant
// of a class, as is any class opened for a window given the "explorer"
// theme. 0 when none is known.
HTHEME OpenThemeData(const TObject* Window, const String& ClassList);
HRESULT CloseThemeData(HTHEME Theme);
// Draws the part in its state into Rect, limited to Clip when given. The
// canvas's pen, brush and clip are as before afterwards.
HRESULT DrawThemeBackground(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect,
                            const TRect* Clip = nullptr);
// The part's inner rectangle, where text or content goes.
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Bounding,
                                      TRect& Content);
bool IsThemePartDefined(HTHEME Theme, int PartId, int StateId);
// TS_MIN and TS_TRUE give the part's natural size (a check box, a tree
// glyph), TS_DRAW the same or, for a part without one, Rect's size.
enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };
HRESULT GetThemePartSize(HTHEME Theme, TCanvas* Canvas, int PartId, int StateId, const TRect* Rect, THEMESIZE Kind,
                         TSize& Size);
// The window edge of a part: DrawEdge's edges and flags, drawn as the
// renderer draws frames; ContentRect (may be nullptr) gets what is inside.
HRESULT DrawThemeEdge(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect, unsigned Edge,
                      unsigned Flags, TRect* ContentRect);
bool IsThemeActive();
bool IsAppThemed();
// Styled: "Styled.theme", "NormalColor", "NormalSize"; classic: empty texts and E_HANDLE.
HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName);

// Operating-system probes.
struct TOSVersion {
    int Major, Minor, Build;
};
TOSVersion GetOSVersion();
// The file version's major number of the common-controls library (6).
int GetComCtlMajorVersion();
// Whether the named system module exports the named entry point (case-insensitive
// module name). The visual-styles library exports its 45 entry points; the
// user-interface library the layered-window calls; the kernel "GetLocaleInfoEx".
bool ModuleExports(const String& Module, const String& EntryPoint);

// Classes, parts and states.
// "button"
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, BP_GROUPBOX = 4;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDHOT = 2, RBS_UNCHECKEDPRESSED = 3, RBS_UNCHECKEDDISABLED = 4,
              RBS_CHECKEDNORMAL = 5, RBS_CHECKEDHOT = 6, RBS_CHECKEDPRESSED = 7, RBS_CHECKEDDISABLED = 8;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDHOT = 2, CBS_UNCHECKEDPRESSED = 3, CBS_UNCHECKEDDISABLED = 4,
              CBS_CHECKEDNORMAL = 5, CBS_CHECKEDHOT = 6, CBS_CHECKEDPRESSED = 7, CBS_CHECKEDDISABLED = 8,
              CBS_MIXEDNORMAL = 9, CBS_MIXEDHOT = 10, CBS_MIXEDPRESSED = 11, CBS_MIXEDDISABLED = 12;
// "combobox"
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;
// "header"
constexpr int HP_HEADERITEM = 1, HP_HEADERITEMLEFT = 2, HP_HEADERITEMRIGHT = 3, HP_HEADERSORTARROW = 4;
constexpr int HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3;
constexpr int HSAS_SORTEDUP = 1, HSAS_SORTEDDOWN = 2;
// "spin"
constexpr int SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4;
constexpr int UPS_NORMAL = 1, UPS_HOT = 2, UPS_PRESSED = 3, UPS_DISABLED = 4;
constexpr int DNS_NORMAL = 1, DNS_HOT = 2, DNS_PRESSED = 3, DNS_DISABLED = 4;
// "progress"
constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;
// "scrollbar"
constexpr int SBP_ARROWBTN = 1, SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4,
              SBP_UPPERTRACKHORZ = 5, SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8,
              SBP_GRIPPERVERT = 9, SBP_SIZEBOX = 10;
constexpr int ABS_UPNORMAL = 1, ABS_UPHOT = 2, ABS_UPPRESSED = 3, ABS_UPDISABLED = 4, ABS_DOWNNORMAL = 5,
              ABS_DOWNHOT = 6, ABS_DOWNPRESSED = 7, ABS_DOWNDISABLED = 8, ABS_LEFTNORMAL = 9, ABS_LEFTHOT = 10,
              ABS_LEFTPRESSED = 11, ABS_LEFTDISABLED = 12, ABS_RIGHTNORMAL = 13, ABS_RIGHTHOT = 14,
              ABS_RIGHTPRESSED = 15, ABS_RIGHTDISABLED = 16;
constexpr int SCRBS_NORMAL = 1, SCRBS_HOT = 2, SCRBS_PRESSED = 3, SCRBS_DISABLED = 4;
// "treeview"
constexpr int TVP_TREEITEM = 1, TVP_GLYPH = 2, TVP_BRANCH = 3, TVP_HOTGLYPH = 4;
constexpr int TREIS_NORMAL = 1, TREIS_HOT = 2, TREIS_SELECTED = 3, TREIS_DISABLED = 4, TREIS_SELECTEDNOTFOCUS = 5,
              TREIS_HOTSELECTED = 6;
// "itemsview" ("Explorer::ItemsView"); LVP_FOCUS is the focus frame of an item that is not selected.
constexpr int LVP_LISTITEM = 1, LVP_FOCUS = 3;
constexpr int LISS_NORMAL = 1, LISS_HOT = 2, LISS_SELECTED = 3, LISS_DISABLED = 4, LISS_SELECTEDNOTFOCUS = 5,
              LISS_HOTSELECTED = 6;
// "tooltip"
constexpr int TTP_STANDARD = 1, TTP_STANDARDTITLE = 2, TTP_BALLOON = 3, TTP_BALLOONTITLE = 4, TTP_CLOSE = 5,
              TTP_BALLOONSTEM = 6, TTP_WRENCH = 7;
constexpr int GLPS_CLOSED = 1, GLPS_OPENED = 2;
// "tab"
constexpr int TABP_TABITEM = 1, TABP_TABITEMLEFTEDGE = 2, TABP_TABITEMRIGHTEDGE = 3, TABP_TABITEMBOTHEDGES = 4,
              TABP_TOPTABITEM = 5, TABP_TOPTABITEMLEFTEDGE = 6, TABP_TOPTABITEMRIGHTEDGE = 7,
              TABP_TOPTABITEMBOTHEDGE = 8, TABP_PANE = 9, TABP_BODY = 10;
constexpr int TIS_NORMAL = 1, TIS_HOT = 2, TIS_SELECTED = 3, TIS_DISABLED = 4, TIS_FOCUSED = 5;
