#pragma once
// Window messages as the control layer speaks them: a message is a number
// with two parameters and a result, dispatched to a control's handler for
// that number. Input from the windowing system arrives translated into
// these messages; controls also send them to each other. The numbers are
// the classic desktop ones so that code comparing or forwarding them reads
// as it always did.

#include "framework/Sets.h"
#include "framework/System.h"

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
    Cardinal Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    Word WParamLo() const { return Word(WParam & 0xFFFF); }
    Word WParamHi() const { return Word((WParam >> 16) & 0xFFFF); }
    Word LParamLo() const { return Word(LParam & 0xFFFF); }
    Word LParamHi() const { return Word((LParam >> 16) & 0xFFFF); }
};

inline LPARAM MakeLParam(int lo, int hi) { return LPARAM(std::uint32_t((Word(lo)) | (std::uint32_t(Word(hi)) << 16))); }
inline WPARAM MakeWParam(int lo, int hi) { return WPARAM(std::uint32_t((Word(lo)) | (std::uint32_t(Word(hi)) << 16))); }

// ---------------------------------------------------------------------------
// Message numbers
// ---------------------------------------------------------------------------
constexpr Cardinal WM_NULL = 0x0000;
constexpr Cardinal WM_CREATE = 0x0001;
constexpr Cardinal WM_DESTROY = 0x0002;
constexpr Cardinal WM_NCDESTROY = 0x0082;
constexpr Cardinal WM_MOVE = 0x0003;
constexpr Cardinal WM_SIZE = 0x0005;
constexpr Cardinal WM_ACTIVATE = 0x0006;
constexpr Cardinal WM_SETFOCUS = 0x0007;
constexpr Cardinal WM_KILLFOCUS = 0x0008;
constexpr Cardinal WM_ENABLE = 0x000A;
constexpr Cardinal WM_SETREDRAW = 0x000B;
constexpr Cardinal WM_SETTEXT = 0x000C;
constexpr Cardinal WM_GETTEXT = 0x000D;
constexpr Cardinal WM_PAINT = 0x000F;
constexpr Cardinal WM_CLOSE = 0x0010;
constexpr Cardinal WM_QUIT = 0x0012;
constexpr Cardinal WM_ERASEBKGND = 0x0014;
constexpr Cardinal WM_SYSCOLORCHANGE = 0x0015;
constexpr Cardinal WM_SHOWWINDOW = 0x0018;
constexpr Cardinal WM_CANCELMODE = 0x001F;
constexpr Cardinal WM_SETCURSOR = 0x0020;
constexpr Cardinal WM_MOUSEACTIVATE = 0x0021;
constexpr Cardinal WM_WINDOWPOSCHANGING = 0x0046;
constexpr Cardinal WM_WINDOWPOSCHANGED = 0x0047;
constexpr Cardinal WM_NOTIFY = 0x004E;
// WParam: the window clicked; LParam: the screen point, (-1, -1) when the
// keyboard asked (the menu key or Shift+F10).
constexpr Cardinal WM_CONTEXTMENU = 0x007B;
constexpr Cardinal WM_NCCALCSIZE = 0x0083;
constexpr Cardinal WM_NCHITTEST = 0x0084;
constexpr Cardinal WM_NCPAINT = 0x0085;
constexpr Cardinal WM_NCACTIVATE = 0x0086;
constexpr Cardinal WM_GETDLGCODE = 0x0087;
// Mouse messages outside the client area: WParam the hit-test code, LParam
// the screen position.
constexpr Cardinal WM_NCMOUSEMOVE = 0x00A0;
constexpr Cardinal WM_NCLBUTTONDOWN = 0x00A1;
constexpr Cardinal WM_NCLBUTTONUP = 0x00A2;
constexpr Cardinal WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr Cardinal WM_NCRBUTTONDOWN = 0x00A4;
constexpr Cardinal WM_NCRBUTTONUP = 0x00A5;
constexpr Cardinal WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr Cardinal WM_NCMBUTTONDOWN = 0x00A7;
constexpr Cardinal WM_NCMBUTTONUP = 0x00A8;
constexpr Cardinal WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr Cardinal WM_KEYFIRST = 0x0100;
constexpr Cardinal WM_KEYDOWN = 0x0100;
constexpr Cardinal WM_KEYUP = 0x0101;
constexpr Cardinal WM_CHAR = 0x0102;
constexpr Cardinal WM_SYSKEYDOWN = 0x0104;
constexpr Cardinal WM_SYSKEYUP = 0x0105;
constexpr Cardinal WM_SYSCHAR = 0x0106;
constexpr Cardinal WM_KEYLAST = 0x0108;
constexpr Cardinal WM_COMMAND = 0x0111;
constexpr Cardinal WM_SYSCOMMAND = 0x0112;
constexpr Cardinal WM_TIMER = 0x0113;
constexpr Cardinal WM_HSCROLL = 0x0114;
constexpr Cardinal WM_VSCROLL = 0x0115;
constexpr Cardinal WM_MOUSEFIRST = 0x0200;
constexpr Cardinal WM_MOUSEMOVE = 0x0200;
constexpr Cardinal WM_LBUTTONDOWN = 0x0201;
constexpr Cardinal WM_LBUTTONUP = 0x0202;
constexpr Cardinal WM_LBUTTONDBLCLK = 0x0203;
constexpr Cardinal WM_RBUTTONDOWN = 0x0204;
constexpr Cardinal WM_RBUTTONUP = 0x0205;
constexpr Cardinal WM_RBUTTONDBLCLK = 0x0206;
constexpr Cardinal WM_MBUTTONDOWN = 0x0207;
constexpr Cardinal WM_MBUTTONUP = 0x0208;
constexpr Cardinal WM_MBUTTONDBLCLK = 0x0209;
constexpr Cardinal WM_MOUSEWHEEL = 0x020A;
constexpr Cardinal WM_MOUSELAST = 0x020A;
constexpr Cardinal WM_SIZING = 0x0214;
constexpr Cardinal WM_CAPTURECHANGED = 0x0215;
constexpr Cardinal WM_THEMECHANGED = 0x031A;
// The clipboard commands of edits: keys and menus send them, so that an
// edit's handler sees every cut, copy, paste and clear however it is asked.
constexpr Cardinal WM_CUT = 0x0300;
constexpr Cardinal WM_COPY = 0x0301;
constexpr Cardinal WM_PASTE = 0x0302;
constexpr Cardinal WM_CLEAR = 0x0303;
constexpr Cardinal WM_UNDO = 0x0304;
// Edit messages.
constexpr Cardinal EM_GETSEL = 0x00B0;
constexpr Cardinal EM_SETSEL = 0x00B1;
constexpr Cardinal EM_GETRECT = 0x00B2;      // LParam: TRect* out
constexpr Cardinal EM_SETRECT = 0x00B3;      // LParam: TRect* (nil: the default)
constexpr Cardinal EM_SETRECTNP = 0x00B4;    // the same without repainting
constexpr Cardinal EM_SETREADONLY = 0x00CF;  // WParam: non-zero for read-only
constexpr Cardinal EM_CHARFROMPOS = 0x00D7;  // LParam: client point; result: position (low), line (high)
constexpr Cardinal WM_USER = 0x0400;
constexpr Cardinal WM_APP = 0x8000;

// The framework's own messages between controls.
constexpr Cardinal CM_BASE = 0xB000;
constexpr Cardinal CM_ACTIVATE = CM_BASE + 0;
constexpr Cardinal CM_DEACTIVATE = CM_BASE + 1;
constexpr Cardinal CM_DIALOGKEY = CM_BASE + 5;
constexpr Cardinal CM_DIALOGCHAR = CM_BASE + 6;
constexpr Cardinal CM_FOCUSCHANGED = CM_BASE + 7;
constexpr Cardinal CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr Cardinal CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr Cardinal CM_HITTEST = CM_BASE + 10;
constexpr Cardinal CM_VISIBLECHANGED = CM_BASE + 11;
constexpr Cardinal CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr Cardinal CM_COLORCHANGED = CM_BASE + 13;
constexpr Cardinal CM_FONTCHANGED = CM_BASE + 14;
constexpr Cardinal CM_CURSORCHANGED = CM_BASE + 15;
constexpr Cardinal CM_TEXTCHANGED = CM_BASE + 18;
constexpr Cardinal CM_MOUSEENTER = CM_BASE + 19;
constexpr Cardinal CM_MOUSELEAVE = CM_BASE + 20;
constexpr Cardinal CM_BUTTONPRESSED = CM_BASE + 24;
constexpr Cardinal CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr Cardinal CM_ENTER = CM_BASE + 26;
constexpr Cardinal CM_EXIT = CM_BASE + 27;
constexpr Cardinal CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr Cardinal CM_RELEASE = CM_BASE + 33;
constexpr Cardinal CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr Cardinal CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr Cardinal CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr Cardinal CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr Cardinal CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr Cardinal CM_CHILDKEY = CM_BASE + 46;
constexpr Cardinal CM_HINTSHOW = CM_BASE + 48;
constexpr Cardinal CM_RECREATEWND = CM_BASE + 51;
constexpr Cardinal CM_INVALIDATE = CM_BASE + 52;
constexpr Cardinal CM_CONTROLCHANGE = CM_BASE + 54;
constexpr Cardinal CM_MOUSEWHEEL = CM_BASE + 67;
constexpr Cardinal CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr Cardinal CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr Cardinal CM_DRAG = CM_BASE + 47;
constexpr Cardinal CM_SYSFONTCHANGED = CM_BASE + 53;
// Before a hint's pause starts: WParam is 1 when a hint was showing, LParam
// points to the pause in milliseconds, which the control may change.
constexpr Cardinal CM_HINTSHOWPAUSE = CM_BASE + 82;
// The application's visual style changed.
constexpr Cardinal CM_STYLECHANGED = CM_BASE + 81;

// Notifications a control receives back from its own window ("reflected").
constexpr Cardinal CN_BASE = 0xBC00;
constexpr Cardinal CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr Cardinal CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr Cardinal CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr Cardinal CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr Cardinal CN_CHAR = CN_BASE + WM_CHAR;
constexpr Cardinal CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr Cardinal CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr Cardinal CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr Cardinal CN_VSCROLL = CN_BASE + WM_VSCROLL;

// A message number unique to this run for Name; the same name always gives
// the same number (from 0xC000 up, as registered messages always were).
Cardinal RegisterWindowMessage(const String& Name);

// ---------------------------------------------------------------------------
// Message parameter values
// ---------------------------------------------------------------------------
// Mouse key state in the WParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// WM_GETDLGCODE answers: which keys a control wants for itself.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Scroll codes of WM_HSCROLL / WM_VSCROLL (low word of WParam).
constexpr Word SB_LINEUP = 0, SB_LINELEFT = 0;
constexpr Word SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr Word SB_PAGEUP = 2, SB_PAGELEFT = 2;
constexpr Word SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr Word SB_THUMBPOSITION = 4;
constexpr Word SB_THUMBTRACK = 5;
constexpr Word SB_TOP = 6, SB_LEFT = 6;
constexpr Word SB_BOTTOM = 7, SB_RIGHT = 7;
constexpr Word SB_ENDSCROLL = 8;
// Scroll-bar kinds.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// Hit-test codes: the answer of WM_NCHITTEST, the WParam of the non-client
// mouse messages, the low word of WM_SETCURSOR's LParam.
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;  // the window beneath gets the mouse
constexpr int HTNOWHERE = 0;       // the press does nothing
constexpr Word HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTSYSMENU = 3;
constexpr int HTGROWBOX = 4, HTSIZE = 4;
constexpr int HTMENU = 5;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17;
constexpr int HTBORDER = 18;

// WM_ACTIVATE: the low word of WParam; LParam names the other window.
constexpr Word WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_SIZING: the edge being dragged (WParam); LParam points to the TRect.
constexpr WPARAM WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5;
constexpr WPARAM WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;

// ---------------------------------------------------------------------------
// Virtual key codes and shift state
// ---------------------------------------------------------------------------
constexpr Word VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04;
constexpr Word VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14;
constexpr Word VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23;
constexpr Word VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28;
constexpr Word VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr Word VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D;
constexpr Word VK_NUMPAD0 = 0x60, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75;
constexpr Word VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B;
constexpr Word VK_NUMLOCK = 0x90, VK_SCROLL = 0x91;
constexpr Word VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3;
constexpr Word VK_LMENU = 0xA4, VK_RMENU = 0xA5;
constexpr Word VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD;
constexpr Word VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0;
constexpr Word VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;

enum TShiftStateValue { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateValue>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// State of a key as the input layer last saw it: the high bit (negative
// result) means down, the low bit toggled. Left and right Alt, Shift and
// Ctrl are told apart (VK_LMENU / VK_RMENU ...); VK_MENU is either.
SmallInt GetKeyState(int VirtKey);
SmallInt GetAsyncKeyState(int VirtKey);
// The shift state of the keys and mouse buttons now down.
TShiftState KeyboardStateToShiftState();
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);

// The character a key types with Shift on the desktop's usual (U.S.) layout:
// letters, digits and punctuation with and without Shift, Ctrl+letter as its
// control character, Enter, Tab, Backspace, Escape, the keypad; 0 for keys
// that type nothing.
Char KeyToChar(Word VK, TShiftState Shift);

// The key data of a key message: repeat count 1 (bits 0-15), the key's scan
// code (bits 16-23), the extended-key flag (bit 24: the navigation block,
// right Ctrl and Alt, keypad Enter and divide), Alt (bit 29), key down before
// (bit 30) and released (bit 31). Keypad is set for the keypad's own keys:
// its decimal key and Delete share scan code 0x53, Delete with the flag.
LPARAM KeyDataOf(Word VK, bool Keypad, bool Alt, bool Repeat, bool Up);

// ---------------------------------------------------------------------------
// Typed views of a message (the classic message records)
// ---------------------------------------------------------------------------
// Each view reads and writes the one TMessage it was made on.
struct TWMKey {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMKey(TMessage& m) : Message(m), Result(m.Result) {}
    Cardinal Msg() const { return Message.Msg; }
    Word CharCode() const { return Message.WParamLo(); }
    void SetCharCode(Word c) { Message.WParam = c; }
    LPARAM KeyData() const { return Message.LParam; }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

struct TWMMouse {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMMouse(TMessage& m) : Message(m), Result(m.Result) {}
    Cardinal Msg() const { return Message.Msg; }
    WPARAM Keys() const { return Message.WParam; }
    int XPos() const { return SmallInt(Message.LParamLo()); }
    int YPos() const { return SmallInt(Message.LParamHi()); }
};

// WParam: keys in the low word, the signed wheel delta in the high word;
// LParam: the screen position.
struct TWMMouseWheel {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMMouseWheel(TMessage& m) : Message(m), Result(m.Result) {}
    WPARAM Keys() const { return Message.WParamLo(); }
    int WheelDelta() const { return SmallInt(Message.WParamHi()); }
    int XPos() const { return SmallInt(Message.LParamLo()); }
    int YPos() const { return SmallInt(Message.LParamHi()); }
};

struct TWMTimer {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMTimer(TMessage& m) : Message(m), Result(m.Result) {}
    WPARAM TimerID() const { return Message.WParam; }
};

// WParam low word: scroll code, high word: position (for the thumb codes);
// LParam: the scroll-bar control's handle, 0 for a window's own bars.
struct TWMScroll {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMScroll(TMessage& m) : Message(m), Result(m.Result) {}
    Word ScrollCode() const { return Message.WParamLo(); }
    SmallInt Pos() const { return SmallInt(Message.WParamHi()); }
    LPARAM ScrollBar() const { return Message.LParam; }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

// WM_SETFOCUS: WParam is the handle of the window that lost the focus;
// WM_KILLFOCUS: WParam is the handle of the window that gets it (0: none of ours).
struct TWMFocus {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMFocus(TMessage& m) : Message(m), Result(m.Result) {}
    WPARAM FocusedWnd() const { return Message.WParam; }
};
using TWMSetFocus = TWMFocus;
using TWMKillFocus = TWMFocus;

struct TWMSize {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMSize(TMessage& m) : Message(m), Result(m.Result) {}
    WPARAM SizeType() const { return Message.WParam; }
    int Width() const { return Message.LParamLo(); }
    int Height() const { return Message.LParamHi(); }
};

struct TWMMove {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMMove(TMessage& m) : Message(m), Result(m.Result) {}
    int XPos() const { return SmallInt(Message.LParamLo()); }
    int YPos() const { return SmallInt(Message.LParamHi()); }
};

// WM_NOTIFY: LParam points to this header (sender's window, its id, the
// notification code); the parent reflects it to the sender as CN_NOTIFY.
struct NMHDR {
    std::uintptr_t hwndFrom = 0;
    std::uintptr_t idFrom = 0;
    Cardinal code = 0;
};
constexpr Cardinal DTN_DATETIMECHANGE = Cardinal(-759);  // a date picker's value was changed by the person

struct TWMNotify {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMNotify(TMessage& m) : Message(m), Result(m.Result) {}
    NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(Message.LParam); }
};

struct TWMCommand {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMCommand(TMessage& m) : Message(m), Result(m.Result) {}
    Word ItemID() const { return Message.WParamLo(); }
    Word NotifyCode() const { return Message.WParamHi(); }
    LPARAM Ctl() const { return Message.LParam; }
};

// WM_NCHITTEST: LParam the screen position; the result a hit-test code.
struct TWMNCHitTest {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMNCHitTest(TMessage& m) : Message(m), Result(m.Result) {}
    int XPos() const { return SmallInt(Message.LParamLo()); }
    int YPos() const { return SmallInt(Message.LParamHi()); }
};

// Non-client mouse messages: the hit-test code and the screen position.
struct TWMNCMouse {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMNCMouse(TMessage& m) : Message(m), Result(m.Result) {}
    int HitTest() const { return int(Message.WParam); }
    int XCursor() const { return SmallInt(Message.LParamLo()); }
    int YCursor() const { return SmallInt(Message.LParamHi()); }
};

// WM_ACTIVATE: the state in the low word of WParam, the window losing (or
// gaining) the activation in LParam.
struct TWMActivate {
    TMessage& Message;
    LRESULT& Result;
    explicit TWMActivate(TMessage& m) : Message(m), Result(m.Result) {}
    Word Active() const { return Message.WParamLo(); }
    std::uintptr_t ActiveWindow() const { return std::uintptr_t(Message.LParam); }
};
