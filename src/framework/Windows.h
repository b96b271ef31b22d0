#pragma once
// The window calls of the classic desktop interface that the controls use
// by handle: window styles and placement, the non-client frame, the
// scroll bars every window can have, window regions and layered windows,
// partial repainting, and pictures of the screen.
//
// The frame: WM_NCCALCSIZE turns the window's rectangle into its client
// area (by default less 1 pixel for WS_BORDER, 3 for WS_DLGFRAME, 2 for
// WS_EX_CLIENTEDGE and the room of the scroll bars shown). Outside the client area WM_NCHITTEST
// tells what lies under the mouse; a press there arrives as a non-client
// mouse message (WM_NCLBUTTONDOWN, ...) with the hit-test code and the
// screen position. HTTRANSPARENT hands the mouse to the window beneath,
// HTNOWHERE drops it. WM_NCPAINT paints the frame and the bars on a
// canvas of the whole window (window coordinates).
//
// Scroll bars: SetScrollInfo keeps the position within Min .. Max -
// max(Page - 1, 0); a page that covers the whole range hides the bar, or
// with SIF_DISABLENOSCROLL disables it. Presses on a bar send the window
// WM_HSCROLL / WM_VSCROLL with the SB_* codes (LParam 0), as the classic
// bars do: line and page presses repeat while held, the thumb sends
// SB_THUMBTRACK while dragged and SB_THUMBPOSITION when let go, and every
// press ends with SB_ENDSCROLL.

#include "framework/Controls.h"
#include "framework/HResult.h"

#include <cstdint>

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------
constexpr Cardinal WS_POPUP = 0x80000000;    // a frameless top-level window at screen coordinates, never activated
constexpr Cardinal WS_CHILD = 0x40000000;
constexpr Cardinal WS_VISIBLE = 0x10000000;
constexpr Cardinal WS_DISABLED = 0x08000000;  // takes no input
constexpr Cardinal WS_BORDER = 0x00800000;
constexpr Cardinal WS_DLGFRAME = 0x00400000;  // a raised dialog frame; no caption comes with it here
constexpr Cardinal WS_VSCROLL = 0x00200000;
constexpr Cardinal WS_HSCROLL = 0x00100000;
constexpr Cardinal WS_EX_TOPMOST = 0x00000008;
constexpr Cardinal WS_EX_TOOLWINDOW = 0x00000080;
constexpr Cardinal WS_EX_CLIENTEDGE = 0x00000200;
constexpr Cardinal WS_EX_LAYERED = 0x00080000;
constexpr Cardinal WS_EX_NOACTIVATE = 0x08000000;
// The drop shadow of a pop-up window's class (a frameless form or a
// WS_POPUP window casts one only with it).
constexpr Cardinal CS_DROPSHADOW = 0x00020000;
constexpr int GCL_STYLE = -26;
LPARAM GetClassLong(HWND Handle, int Index);
LPARAM SetClassLong(HWND Handle, int Index, LPARAM Value);

// The control's style bits (GWL_STYLE): what CreateParams gave, changed
// by SetWindowLong and the scroll bar calls.
Cardinal WindowStyle(const TWinControl* Control);

// ---------------------------------------------------------------------------
// Placement
// ---------------------------------------------------------------------------
constexpr Cardinal SWP_NOSIZE = 0x0001;
constexpr Cardinal SWP_NOMOVE = 0x0002;
constexpr Cardinal SWP_NOZORDER = 0x0004;
constexpr Cardinal SWP_NOREDRAW = 0x0008;
constexpr Cardinal SWP_NOACTIVATE = 0x0010;
constexpr Cardinal SWP_FRAMECHANGED = 0x0020;  // the frame is measured anew (WM_NCCALCSIZE)
constexpr Cardinal SWP_SHOWWINDOW = 0x0040;
constexpr Cardinal SWP_HIDEWINDOW = 0x0080;
constexpr Cardinal SWP_NOOWNERZORDER = 0x0200;
constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_BOTTOM = 1;
constexpr HWND HWND_TOPMOST = HWND(-1);
constexpr HWND HWND_NOTOPMOST = HWND(-2);

bool SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int CX, int CY, Cardinal Flags);
// The window's rectangle on the screen, and its client area (at 0, 0).
bool GetWindowRect(HWND Handle, TRect& Rect);
bool GetClientRect(HWND Handle, TRect& Rect);
bool IsWindowVisible(HWND Handle);
bool IsWindowEnabled(HWND Handle);
bool EnableWindow(HWND Handle, bool Enable);
// A press on a sizing edge of a top-level window (WM_NCLBUTTONDOWN with
// HTLEFT .. HTBOTTOMRIGHT) drags that edge until the button is let go:
// each move sends WM_SIZING (WParam the WMSZ_* edge, LParam the TRect on
// the screen, which the window may change) after a form's Constraints have
// limited the size.
//
// The program's window under a screen point (topmost first; regions,
// WS_EX_TRANSPARENT and HTTRANSPARENT let the point through), 0 for none.
HWND WindowFromPoint(TPoint Point);

// The rectangle in WM_NCCALCSIZE's LParam.
struct TWMNCCalcSize {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMNCCalcSize(TMessage& m) : Message(m), Result(m.Result) {}
    TRect& CalcRect() const { return *reinterpret_cast<TRect*>(Message.LParam); }
};

// ---------------------------------------------------------------------------
// Scroll bars
// ---------------------------------------------------------------------------
constexpr Cardinal SIF_RANGE = 0x0001;
constexpr Cardinal SIF_PAGE = 0x0002;
constexpr Cardinal SIF_POS = 0x0004;
constexpr Cardinal SIF_DISABLENOSCROLL = 0x0008;
constexpr Cardinal SIF_TRACKPOS = 0x0010;
constexpr Cardinal SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
    Cardinal cbSize = sizeof(SCROLLINFO);
    Cardinal fMask = 0;
    int nMin = 0;
    int nMax = 0;
    Cardinal nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// Returns the position now.
int SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO& Info, bool Redraw = true);
bool GetScrollInfo(HWND Handle, int Bar, SCROLLINFO& Info);
int SetScrollPos(HWND Handle, int Bar, int Pos, bool Redraw = true);
int GetScrollPos(HWND Handle, int Bar);
bool SetScrollRange(HWND Handle, int Bar, int Min, int Max, bool Redraw = true);
bool GetScrollRange(HWND Handle, int Bar, int& Min, int& Max);
// SB_HORZ, SB_VERT or SB_BOTH.
bool ShowScrollBar(HWND Handle, int Bar, bool Show);

constexpr Cardinal ESB_ENABLE_BOTH = 0;
constexpr Cardinal ESB_DISABLE_LTUP = 1, ESB_DISABLE_LEFT = 1, ESB_DISABLE_UP = 1;
constexpr Cardinal ESB_DISABLE_RTDN = 2, ESB_DISABLE_RIGHT = 2, ESB_DISABLE_DOWN = 2;
constexpr Cardinal ESB_DISABLE_BOTH = 3;
// Enables or disables the arrows of a bar (SB_HORZ, SB_VERT, SB_BOTH);
// false when nothing changed.
bool EnableScrollBar(HWND Handle, int Bar, Cardinal Arrows);

constexpr LPARAM OBJID_HSCROLL = LPARAM(0xFFFFFFFA);
constexpr LPARAM OBJID_VSCROLL = LPARAM(0xFFFFFFFB);
constexpr Cardinal STATE_SYSTEM_UNAVAILABLE = 0x00000001;
constexpr Cardinal STATE_SYSTEM_PRESSED = 0x00000008;
constexpr Cardinal STATE_SYSTEM_INVISIBLE = 0x00008000;
constexpr Cardinal STATE_SYSTEM_OFFSCREEN = 0x00010000;

struct SCROLLBARINFO {
    Cardinal cbSize = sizeof(SCROLLBARINFO);
    TRect rcScrollBar;   // screen coordinates
    int dxyLineButton = 0;
    int xyThumbTop = 0;  // from the bar's top (left) edge
    int xyThumbBottom = 0;
    int reserved = 0;
    // The bar, the up arrow, the page-up track, the thumb, the page-down
    // track, the down arrow.
    Cardinal rgstate[6] = {};
};
bool GetScrollBarInfo(HWND Handle, LPARAM IdObject, SCROLLBARINFO& Info);

// ---------------------------------------------------------------------------
// Flat scroll bars
// ---------------------------------------------------------------------------
// Once InitializeFlatSB ran for a window its bars take these properties;
// the flat calls set and show the same bars the plain ones do. Flat mode
// draws the arrows and the thumb flat and frames the one under the mouse in
// the highlight colour; encarta mode draws them flat until the mouse is over
// one, which then stands out raised; regular mode is the classic bar.
constexpr Cardinal WSB_PROP_CYVSCROLL = 0x0001, WSB_PROP_CXHSCROLL = 0x0002, WSB_PROP_CYHSCROLL = 0x0004,
                   WSB_PROP_CXVSCROLL = 0x0008, WSB_PROP_CXHTHUMB = 0x0010, WSB_PROP_CYVTHUMB = 0x0020,
                   WSB_PROP_VBKGCOLOR = 0x0040, WSB_PROP_HBKGCOLOR = 0x0080, WSB_PROP_VSTYLE = 0x0100,
                   WSB_PROP_HSTYLE = 0x0200;
constexpr int FSB_REGULAR_MODE = 0, FSB_ENCARTA_MODE = 1, FSB_FLAT_MODE = 2;
bool InitializeFlatSB(HWND Handle);
// The bars become regular ones of the system's thickness again.
HRESULT UninitializeFlatSB(HWND Handle);
// WSB_PROP_CXVSCROLL (the vertical bar's width), WSB_PROP_CYHSCROLL (the
// horizontal bar's height; 0 or less: the system's), the two background
// colours and the two styles; false for another property or a window
// without flat bars.
bool FlatSB_SetScrollProp(HWND Handle, Cardinal Index, std::intptr_t NewValue, bool Redraw = true);
bool FlatSB_GetScrollProp(HWND Handle, Cardinal Index, std::intptr_t& Value);
int FlatSB_SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO& Info, bool Redraw = true);
bool FlatSB_GetScrollInfo(HWND Handle, int Bar, SCROLLINFO& Info);
bool FlatSB_ShowScrollBar(HWND Handle, int Bar, bool Show);

// ---------------------------------------------------------------------------
// Regions and layered windows
// ---------------------------------------------------------------------------
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

// The window shows, and takes the mouse, only inside Region (window
// coordinates); nil gives the whole window back. Presses in a hole reach
// the window beneath.
int SetWindowRgn(HWND Handle, const TRegion* Region, bool Redraw = true);
// Copies the window's region into Region; ERROR when it has none.
int GetWindowRgn(HWND Handle, TRegion& Region);

constexpr Cardinal LWA_COLORKEY = 0x00000001;
constexpr Cardinal LWA_ALPHA = 0x00000002;
constexpr Cardinal ULW_COLORKEY = 0x00000001;
constexpr Cardinal ULW_ALPHA = 0x00000002;
constexpr Cardinal ULW_OPAQUE = 0x00000004;
constexpr Byte AC_SRC_OVER = 0x00;
constexpr Byte AC_SRC_ALPHA = 0x01;

struct BLENDFUNCTION {
    Byte BlendOp = AC_SRC_OVER;
    Byte BlendFlags = 0;
    Byte SourceConstantAlpha = 255;
    Byte AlphaFormat = 0;
};

// Whether the desktop composes translucent windows (false offscreen).
bool DesktopComposes();
// A WS_EX_LAYERED window shown with a colour key or a constant opacity;
// false where the desktop cannot compose (the window stays opaque).
bool SetLayeredWindowAttributes(HWND Handle, TColor Key, Byte Alpha, Cardinal Flags);
// A layered window that shows Source (a 32-bit picture with premultiplied
// alpha) from SourcePos; DestPos and Size move and size it when given.
// False where the desktop cannot compose; the window's region applies
// either way.
bool UpdateLayeredWindow(HWND Handle, const TPoint* DestPos, const TSize* Size, const TBitmap* Source,
                         const TPoint* SourcePos, TColor Key, const BLENDFUNCTION* Blend, Cardinal Flags);

// ---------------------------------------------------------------------------
// Partial repainting
// ---------------------------------------------------------------------------
// A window keeps the part of its client area that needs painting (its
// update region). Custom-painted windows paint only there: WM_PAINT's
// erase and Paint are clipped to it, and the rest of the back buffer keeps
// its pixels.
bool InvalidateRect(HWND Handle, const TRect* Rect, bool Erase);
bool ValidateRect(HWND Handle, const TRect* Rect);
// The bounds of the update region; false (and an empty rectangle) when
// nothing needs painting. Inside WM_PAINT: the part being painted.
bool GetUpdateRect(HWND Handle, TRect* Rect, bool Erase);
// Paints what is invalid now.
bool UpdateWindow(HWND Handle);

constexpr Cardinal RDW_INVALIDATE = 0x0001;
constexpr Cardinal RDW_INTERNALPAINT = 0x0002;
constexpr Cardinal RDW_ERASE = 0x0004;
constexpr Cardinal RDW_VALIDATE = 0x0008;
constexpr Cardinal RDW_NOINTERNALPAINT = 0x0010;
constexpr Cardinal RDW_NOERASE = 0x0020;
constexpr Cardinal RDW_NOCHILDREN = 0x0040;
constexpr Cardinal RDW_ALLCHILDREN = 0x0080;
constexpr Cardinal RDW_UPDATENOW = 0x0100;
constexpr Cardinal RDW_ERASENOW = 0x0200;
constexpr Cardinal RDW_FRAME = 0x0400;
constexpr Cardinal RDW_NOFRAME = 0x0800;
bool RedrawWindow(HWND Handle, const TRect* Rect, const TRegion* Region, Cardinal Flags);

// Moves the client area's pixels (within Rect, or all) by DX, DY and
// invalidates the band left behind; windowed children move along when no
// rectangle is given.
bool ScrollWindow(HWND Handle, int DX, int DY, const TRect* Rect = nullptr, const TRect* ClipRect = nullptr);
// Shows a window's pixels on the screen now, as they stand, also what was drawn on its canvas
// outside a paint (which otherwise shows at the next turn of the message loop): for the steps of an
// animation that keeps the loop waiting. Only what is invalid is painted first.
bool PresentWindow(HWND Handle);

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------
// Paints Control's parent as it shows behind Control (without the parent's
// windowed children) on Canvas, shifted to Control's client coordinates
// and clipped to its size.
void DrawParentBackground(TControl* Control, TCanvas& Canvas);
// The program's windows as they show on the screen in Rect (screen
// coordinates), with their regions, in their stacking order; what lies
// outside them is black. Works offscreen too.
void CaptureScreen(TRect Rect, TBitmap& Bitmap);

// ---------------------------------------------------------------------------
// A canvas on a windowed control's whole window
// ---------------------------------------------------------------------------
// What is drawn on it shows on top of the control's own painting and its
// frame (window coordinates: the client area starts at the frame's width);
// each WM_PAINT of the window starts it empty, so draw from a WM_PAINT or
// WM_NCPAINT handler after the default.
class TControlCanvas : public TCanvas {
public:
    TControlCanvas();
    ~TControlCanvas() override;
    TWinControl* Control() const { return FControl; }
    void SetControl(TWinControl* Value);

private:
    TWinControl* FControl = nullptr;
};

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
