// Translation of Qt's input and window events into messages, the queue of
// posted messages, window timers, and input simulation.

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/QtApp_p.h"
#include "framework/Simulate.h"
#include "framework/Threads.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

const QEvent::Type PostedMessageEvent = QEvent::Type(QEvent::User + 701);
const QEvent::Type SynchronizeEvent = QEvent::Type(QEvent::User + 702);

struct PostedMessage {
    HWND Handle;
    TMessage Message;
};
std::mutex PostMutex;
std::deque<PostedMessage> PostQueue;

class TDispatcher : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == PostedMessageEvent) {
            PostedMessage pm;
            {
                std::lock_guard lock(PostMutex);
                if (PostQueue.empty()) return true;
                pm = PostQueue.front();
                PostQueue.pop_front();
            }
            if (TWinControl* c = FindControl(pm.Handle)) Guarded([&] { DeliverMessage(c, pm.Message); });
            return true;
        }
        if (e->type() == SynchronizeEvent) {
            Guarded([] { CheckSynchronize(); });
            return true;
        }
        return QObject::event(e);
    }
};
TDispatcher* Dispatcher = nullptr;

std::map<std::pair<HWND, std::uintptr_t>, QTimer*> Timers;

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------
struct KeyPair {
    int Qt;
    Word VK;
};
const KeyPair KeyTable[] = {
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Home, VK_HOME},
    {Qt::Key_End, VK_END}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_Left, VK_LEFT}, {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Up, VK_UP}, {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Space, VK_SPACE}, {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU}, {Qt::Key_AltGr, VK_RMENU}, {Qt::Key_Meta, VK_LWIN}, {Qt::Key_Menu, VK_APPS},
    {Qt::Key_Pause, VK_PAUSE}, {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_Help, VK_HELP},
    {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Equal, VK_OEM_PLUS}, {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_QuoteLeft, VK_OEM_3},
};

Word QtKeyToVK(int key, Qt::KeyboardModifiers mods) {
    if (mods & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return Word(VK_NUMPAD0 + (key - Qt::Key_0));
        switch (key) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
        default: break;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return Word(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return Word(VK_F1 + (key - Qt::Key_F1));
    for (const KeyPair& p : KeyTable)
        if (p.Qt == key) return p.VK;
    return 0;
}

int VKToQtKey(Word vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
    if (vk == VK_LMENU) return Qt::Key_Alt;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) return Qt::Key_Shift;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) return Qt::Key_Control;
    for (const KeyPair& p : KeyTable)
        if (p.VK == vk) return p.Qt;
    return 0;
}

// The character a key types, as the classic input would give it to WM_CHAR,
// on the usual U.S. layout.
struct KeyChars {
    Word VK;
    Char Plain;
    Char Shifted;
};
const KeyChars PunctuationTable[] = {
    {'1', u'1', u'!'}, {'2', u'2', u'@'}, {'3', u'3', u'#'}, {'4', u'4', u'$'}, {'5', u'5', u'%'},
    {'6', u'6', u'^'}, {'7', u'7', u'&'}, {'8', u'8', u'*'}, {'9', u'9', u'('}, {'0', u'0', u')'},
    {VK_OEM_1, u';', u':'}, {VK_OEM_PLUS, u'=', u'+'}, {VK_OEM_COMMA, u',', u'<'}, {VK_OEM_MINUS, u'-', u'_'},
    {VK_OEM_PERIOD, u'.', u'>'}, {VK_OEM_2, u'/', u'?'}, {VK_OEM_3, u'`', u'~'}, {VK_OEM_4, u'[', u'{'},
    {VK_OEM_5, u'\\', u'|'}, {VK_OEM_6, u']', u'}'}, {VK_OEM_7, u'\'', u'"'},
    {VK_SPACE, u' ', u' '}, {VK_RETURN, 13, 13}, {VK_ESCAPE, 27, 27}, {VK_TAB, 9, 9}, {VK_BACK, 8, 8},
    {VK_DECIMAL, u'.', u'.'}, {VK_ADD, u'+', u'+'}, {VK_SUBTRACT, u'-', u'-'}, {VK_MULTIPLY, u'*', u'*'},
    {VK_DIVIDE, u'/', u'/'},
};

Char CharOfKey(Word vk, TShiftState shift) {
    bool sh = shift.Contains(ssShift);
    if (shift.Contains(ssCtrl) && vk >= 'A' && vk <= 'Z') return Char(vk - 'A' + 1);
    if (vk >= 'A' && vk <= 'Z') return sh ? Char(vk) : Char(vk + 32);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Char(u'0' + (vk - VK_NUMPAD0));
    for (const KeyChars& k : PunctuationTable)
        if (k.VK == vk) return sh ? k.Shifted : k.Plain;
    return 0;
}

// Scan codes of the classic keyboard. Extended: the key of the navigation
// block (or right-hand modifier) that shares its scan code with a keypad key.
struct ScanEntry {
    Word VK;
    Byte Scan;
    bool Extended;
};
const ScanEntry ScanTable[] = {
    {VK_ESCAPE, 0x01, false}, {VK_OEM_MINUS, 0x0C, false}, {VK_OEM_PLUS, 0x0D, false}, {VK_BACK, 0x0E, false},
    {VK_TAB, 0x0F, false}, {VK_OEM_4, 0x1A, false}, {VK_OEM_6, 0x1B, false}, {VK_RETURN, 0x1C, false},
    {VK_CONTROL, 0x1D, false}, {VK_LCONTROL, 0x1D, false}, {VK_RCONTROL, 0x1D, true}, {VK_OEM_1, 0x27, false},
    {VK_OEM_7, 0x28, false}, {VK_OEM_3, 0x29, false}, {VK_SHIFT, 0x2A, false}, {VK_LSHIFT, 0x2A, false},
    {VK_OEM_5, 0x2B, false}, {VK_OEM_COMMA, 0x33, false}, {VK_OEM_PERIOD, 0x34, false}, {VK_OEM_2, 0x35, false},
    {VK_DIVIDE, 0x35, true}, {VK_RSHIFT, 0x36, false}, {VK_MULTIPLY, 0x37, false}, {VK_SNAPSHOT, 0x37, true},
    {VK_MENU, 0x38, false}, {VK_LMENU, 0x38, false}, {VK_RMENU, 0x38, true}, {VK_SPACE, 0x39, false},
    {VK_CAPITAL, 0x3A, false}, {VK_NUMLOCK, 0x45, true}, {VK_PAUSE, 0x45, false}, {VK_SCROLL, 0x46, false},
    {VK_HOME, 0x47, true}, {VK_UP, 0x48, true}, {VK_PRIOR, 0x49, true}, {VK_SUBTRACT, 0x4A, false},
    {VK_LEFT, 0x4B, true}, {VK_CLEAR, 0x4C, false}, {VK_RIGHT, 0x4D, true}, {VK_ADD, 0x4E, false},
    {VK_END, 0x4F, true}, {VK_DOWN, 0x50, true}, {VK_NEXT, 0x51, true}, {VK_INSERT, 0x52, true},
    {VK_DELETE, 0x53, true}, {VK_DECIMAL, 0x53, false}, {VK_F11, 0x57, false}, {VK_F12, 0x58, false},
    {VK_LWIN, 0x5B, true}, {VK_RWIN, 0x5C, true}, {VK_APPS, 0x5D, true},
    {VK_NUMPAD0 + 7, 0x47, false}, {VK_NUMPAD0 + 8, 0x48, false}, {VK_NUMPAD9, 0x49, false},
    {VK_NUMPAD0 + 4, 0x4B, false}, {VK_NUMPAD0 + 5, 0x4C, false}, {VK_NUMPAD0 + 6, 0x4D, false},
    {VK_NUMPAD0 + 1, 0x4F, false}, {VK_NUMPAD0 + 2, 0x50, false}, {VK_NUMPAD0 + 3, 0x51, false},
    {VK_NUMPAD0, 0x52, false},
};
// The letter and digit rows.
const char LetterRows[] = "QWERTYUIOP\0ASDFGHJKL\0ZXCVBNM";
const Byte LetterRowStart[] = {0x10, 0x1E, 0x2C};

void ScanCodeOf(Word vk, Byte& scan, bool& extended) {
    scan = 0;
    extended = false;
    if (vk >= '1' && vk <= '9') scan = Byte(0x02 + (vk - '1'));
    else if (vk == '0') scan = 0x0B;
    else if (vk >= VK_F1 && vk <= VK_F10) scan = Byte(0x3B + (vk - VK_F1));
    else if (vk >= 'A' && vk <= 'Z') {
        int row = 0, col = 0;
        for (const char* p = LetterRows; row < 3; ++p) {
            if (*p == 0) {
                ++row;
                col = 0;
                continue;
            }
            if (Word(*p) == vk) {
                scan = Byte(LetterRowStart[row] + col);
                return;
            }
            ++col;
        }
    } else {
        for (const ScanEntry& e : ScanTable)
            if (e.VK == vk) {
                scan = e.Scan;
                extended = e.Extended;
                return;
            }
    }
}

Word VKOfChar(Char ch, TShiftState& shift) {
    if (ch >= u'a' && ch <= u'z') return Word(ch - 32);
    if (ch >= u'A' && ch <= u'Z') {
        shift.Include(ssShift);
        return Word(ch);
    }
    if (ch >= u'0' && ch <= u'9') return Word(ch);
    switch (ch) {
    case u' ': return VK_SPACE;
    case u'.': return VK_OEM_PERIOD;
    case u',': return VK_OEM_COMMA;
    case u'-': return VK_OEM_MINUS;
    case u'\r': return VK_RETURN;
    case u'\t': return VK_TAB;
    case 8: return VK_BACK;
    case 27: return VK_ESCAPE;
    default: return 0;
    }
}

// Brings the recorded state of Shift, Ctrl and Alt in line with an input
// event's modifiers. The pair the event's own key belongs to is left to that
// key (a right Alt pressed must not record the left one as down too).
void SyncModifierKeys(TShiftState shift, Word eventKey = 0) {
    auto sync = [eventKey](bool on, int l, int r) {
        if (eventKey == l || eventKey == r) return;
        bool anyDown = GetKeyState(l) < 0 || GetKeyState(r) < 0;
        if (!on) {
            if (GetKeyState(l) < 0) SetKeyDown(l, false);
            if (GetKeyState(r) < 0) SetKeyDown(r, false);
        } else if (!anyDown) {
            SetKeyDown(l, true);
        }
    };
    sync(shift.Contains(ssShift), VK_LSHIFT, VK_RSHIFT);
    sync(shift.Contains(ssCtrl), VK_LCONTROL, VK_RCONTROL);
    sync(shift.Contains(ssAlt), VK_LMENU, VK_RMENU);
}

TShiftState ShiftOf(Qt::KeyboardModifiers m) {
    TShiftState s;
    if (m & Qt::ShiftModifier) s.Include(ssShift);
    if (m & Qt::ControlModifier) s.Include(ssCtrl);
    if (m & Qt::AltModifier) s.Include(ssAlt);
    return s;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState s) {
    Qt::KeyboardModifiers m;
    if (s.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (s.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (s.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    WPARAM k = 0;
    if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

void DeliverNative(QObject* receiver, QEvent* e) {
    std::unique_ptr<QEvent> copy(e->clone());
    QCoreApplication::sendEvent(receiver, copy.get());
    e->setAccepted(copy->isAccepted());
}

bool InputBlockedByModal(TControl* target) {
    TCustomForm* modal = TopModalForm();
    if (!modal || !target) return false;
    TCustomForm* f = GetParentForm(target);
    return f != modal && dynamic_cast<THintWindow*>(f) == nullptr;
}

// ---------------------------------------------------------------------------
// The event filter
// ---------------------------------------------------------------------------
class TInputFilter : public QObject {
    bool PressRefusedFocus = false;

public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (InNativeDelivery() || IsRenderingHidden() || !obj->isWidgetType()) return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            // The toolkit gives the focus before the press comes here; when the
            // control left refused it with a message, that message took the
            // release, and the press goes nowhere.
            const bool refused = std::exchange(PressRefusedFocus, false);
            if (refused && e->type() != QEvent::MouseMove && e->type() != QEvent::MouseButtonRelease) {
                e->accept();
                return true;
            }
            TWinControl* c = ControlOfWidget(obj);
            if (!c) return false;
            auto* me = static_cast<QMouseEvent*>(e);
            Cardinal msg = WM_MOUSEMOVE;
            int button = me->button() == Qt::RightButton ? 1 : me->button() == Qt::MiddleButton ? 2 : 0;
            if (e->type() == QEvent::MouseButtonPress) msg = WM_LBUTTONDOWN + 3 * button;
            else if (e->type() == QEvent::MouseButtonRelease) msg = WM_LBUTTONUP + 3 * button;
            else if (e->type() == QEvent::MouseButtonDblClick) msg = WM_LBUTTONDBLCLK + 3 * button;
            QPoint g = me->globalPosition().toPoint();
            RouteMouse(static_cast<QWidget*>(obj), msg, g, MouseKeys(me->buttons(), me->modifiers()), 0, e);
            // Routed once: the toolkit must not hand it on to the parent
            // widget as a second press.
            e->accept();
            return true;
        }
        case QEvent::Wheel: {
            PressRefusedFocus = false;
            TWinControl* c = ControlOfWidget(obj);
            if (!c) return false;
            auto* we = static_cast<QWheelEvent*>(e);
            int delta = we->angleDelta().y();
            if (delta == 0) return false;
            RouteMouse(static_cast<QWidget*>(obj), WM_MOUSEWHEEL, we->globalPosition().toPoint(),
                       MouseKeys(we->buttons(), we->modifiers()), delta, e);
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            TWinControl* c = ControlOfWidget(obj);
            if (!c) return false;
            auto* ke = static_cast<QKeyEvent*>(e);
            bool press = e->type() == QEvent::KeyPress;
            Word vk = QtKeyToVK(ke->key(), ke->modifiers());
            // Left and right modifier keys by their X11 key symbols where known.
            switch (ke->nativeVirtualKey()) {
            case 0xffe1: vk = VK_LSHIFT; break;
            case 0xffe2: vk = VK_RSHIFT; break;
            case 0xffe3: vk = VK_LCONTROL; break;
            case 0xffe4: vk = VK_RCONTROL; break;
            case 0xffe9: vk = VK_LMENU; break;
            case 0xffea: case 0xfe03: vk = VK_RMENU; break;
            default: break;
            }
            if (vk == VK_SHIFT) vk = VK_LSHIFT;
            if (vk == VK_CONTROL) vk = VK_LCONTROL;
            if (vk == VK_MENU) vk = VK_LMENU;
            TShiftState shift = ShiftOf(ke->modifiers());
            if (ke->key() == Qt::Key_Backtab) shift.Include(ssShift);
            RouteKey(c, press, vk, Utf8ToString(ke->text().toStdString()), shift, ke->isAutoRepeat(), e, obj,
                     (ke->modifiers() & Qt::KeypadModifier) != 0);
            // Routed once: a key the window's own handling left unused must not
            // go on to the parent window as a second key (the dialog keys
            // already reached the form through the routing).
            e->accept();
            return true;
        }
        case QEvent::ContextMenu: {
            // Context menus come as WM_CONTEXTMENU from the right button's
            // release and the menu key; a control's own native menu shows only
            // when WM_CONTEXTMENU reaches its default handling.
            return ControlOfWidget(obj) != nullptr;
        }
        case QEvent::FocusIn: {
            TWinControl* c = ControlOfWidget(obj);
            if (!c || dynamic_cast<TCustomForm*>(c)) return false;
            TCustomForm* f = GetParentForm(c);
            const int modal = ModalInputCount();
            if (f && f->FocusedControl() != c) Guarded([&] {
                // The window losing the focus hears which one gets it, and the other way round.
                TWinControl* old = f->FocusedControl();
                HWND oldHandle = old && old != f ? old->Handle() : 0;
                if (oldHandle) old->Perform(WM_KILLFOCUS, c->Handle());
                c->Perform(WM_SETFOCUS, oldHandle);
            });
            if (static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason && ModalInputCount() != modal)
                PressRefusedFocus = true;
            // The control left may have taken the focus back (an exit check
            // that refused its text): then this window has not got it, and
            // must not show a caret of its own.
            return !static_cast<QWidget*>(obj)->hasFocus();
        }
        case QEvent::Leave: {
            auto* w = static_cast<QWidget*>(obj);
            if (w->isWindow() && ControlOfWidget(obj)) Guarded([] { UpdateMouseControl(nullptr); });
            return false;
        }
        case QEvent::Close: {
            auto* w = static_cast<QWidget*>(obj);
            auto* f = dynamic_cast<TCustomForm*>(ControlOfWidget(obj));
            if (!f || !w->isWindow()) return false;
            e->ignore();
            Guarded([f] { f->CloseBoxPressed(); });
            return true;
        }
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate: {
            auto* w = static_cast<QWidget*>(obj);
            auto* f = dynamic_cast<TCustomForm*>(ControlOfWidget(obj));
            if (!f || !w->isWindow() || !f->Visible()) return false;
            bool on = e->type() == QEvent::WindowActivate;
            Guarded([f, on] { f->SetActive(on); });
            return false;
        }
        case QEvent::Resize: {
            auto* w = static_cast<QWidget*>(obj);
            auto* f = dynamic_cast<TCustomForm*>(ControlOfWidget(obj));
            if (!f || !w->isWindow() || !e->spontaneous()) return false;
            QSize s = w->size();
            if (s.width() != f->Width() || s.height() != f->Height())
                Guarded([f, s] {
                    // The person sized the window: the form may adjust the rectangle, as while we drag.
                    TRect r = Bounds(f->Left(), f->Top(), s.width(), s.height());
                    f->Perform(WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&r));
                    f->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
                });
            return false;
        }
        default:
            return false;
        }
    }
};
TInputFilter* Filter = nullptr;

QPoint LastMousePos;
bool HaveMousePos = false;

}  // namespace

Char KeyToChar(Word VK, TShiftState Shift) { return CharOfKey(VK, Shift); }

LPARAM KeyDataOf(Word VK, bool Keypad, bool Alt, bool Repeat, bool Up) {
    Byte scan;
    bool extended;
    ScanCodeOf(VK, scan, extended);
    // The keypad's Enter and divide keys are the extended ones of their pair;
    // its navigation keys (Num Lock off) are the plain ones.
    if (Keypad) extended = VK == VK_RETURN || VK == VK_DIVIDE || VK == VK_NUMLOCK;
    return LPARAM(1 | (LPARAM(scan) << 16) | (extended ? 0x01000000 : 0) | (Alt ? 0x20000000 : 0) |
                  (Repeat ? 0x40000000 : 0) | (Up ? LPARAM(0xC0000000) : 0));
}

bool LastMousePosition(TPoint& Pos) {
    if (!HaveMousePos) return false;
    Pos = {LastMousePos.x(), LastMousePos.y()};
    return true;
}

void EnsureControlLayer() {
    if (Dispatcher) return;
    EnsureQtApplication();
    Dispatcher = new TDispatcher;
    Filter = new TInputFilter;
    qApp->installEventFilter(Filter);
    TDispatcher* d = Dispatcher;
    SetWakeMainThread([d] { QCoreApplication::postEvent(d, new QEvent(SynchronizeEvent)); });
}

// ---------------------------------------------------------------------------
// Routing
// ---------------------------------------------------------------------------
void RouteMouse(QWidget* Receiver, Cardinal Msg, QPoint GlobalPos, WPARAM Keys, int WheelDelta, QEvent* Native) {
    TWinControl* host = ControlOfWidget(Receiver);
    if (!host) return;
    LastMousePos = GlobalPos;
    HaveMousePos = true;
    TPoint screen{GlobalPos.x(), GlobalPos.y()};
    // A press on a window's scroll bar owns the mouse until its release.
    if (NonClientTrackingActive()) {
        Guarded([&] { NonClientTrackingMouse(nullptr, Msg, screen); });
        return;
    }
    // Which window takes the mouse here, and which part of it: regions and
    // transparent windows let the point through to the window beneath.
    std::unique_ptr<QMouseEvent> forwarded;
    if (!GetCaptureControl() && Msg != WM_MOUSEWHEEL) {
        int hit = HTCLIENT;
        TWinControl* taker = nullptr;
        Guarded([&] { taker = MouseTargetAt(host, screen, hit); });
        // HTNOWHERE: the press does nothing.
        if (!taker || hit == HTNOWHERE || hit == HTERROR) return;
        if (InputBlockedByModal(taker)) return;
        if (hit != HTCLIENT) {
            HWND h = taker->Handle();
            Guarded([&] {
                if (Msg == WM_MOUSEMOVE) {
                    UpdateMouseControl(taker);
                    if (!FindControl(h)) return;
                    taker->Perform(WM_SETCURSOR, h, MakeLParam(hit, int(Msg)));
                    if (!FindControl(h)) return;
                }
                taker->Perform(Msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(hit), MakeLParam(screen.X, screen.Y));
            });
            return;
        }
        if (taker != host) {
            host = taker;
            QWidget* w = WidgetOf(taker);
            if (Native && dynamic_cast<QMouseEvent*>(Native)) {
                auto* me = static_cast<QMouseEvent*>(Native);
                forwarded = std::make_unique<QMouseEvent>(me->type(), QPointF(w->mapFromGlobal(GlobalPos)),
                                                          QPointF(GlobalPos), me->button(), me->buttons(),
                                                          me->modifiers());
                Native = forwarded.get();
            } else {
                Native = nullptr;
            }
            Receiver = w;
        }
    }
    // The control under the mouse: the window's windowless child there, or the window.
    TControl* under = host;
    if (TControl* g = host->ControlAtPos(host->ScreenToClient(screen), false)) under = g;
    if (InputBlockedByModal(under)) return;
    TControl* target = GetCaptureControl() ? GetCaptureControl() : under;
    HWND hostHandle = host->Handle();
    Guarded([&] {
        if (Msg == WM_MOUSEMOVE) {
            UpdateMouseControl(under);
            if (!FindControl(hostHandle)) return;
            host->Perform(WM_SETCURSOR, hostHandle, MakeLParam(HTCLIENT, int(Msg)));
        }
        Cardinal msg = Msg;
        bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
        if (dbl && !target->ControlStyle().Contains(csDoubleClicks)) msg -= 2;  // a plain press
        TMessage m;
        m.Msg = msg;
        if (msg == WM_MOUSEWHEEL) {
            m.WParam = MakeWParam(int(Keys), WheelDelta);
            m.LParam = MakeLParam(screen.X, screen.Y);
        } else {
            TPoint p = target->ScreenToClient(screen);
            m.WParam = Keys;
            m.LParam = MakeLParam(p.X, p.Y);
        }
        auto* win = dynamic_cast<TWinControl*>(target);
        if (win == host && Native) {
            bool press = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
            PerformWithNative(host, m, [&] {
                DeliverNative(Receiver, Native);
                // A press on a standard window focuses it, as a click does.
                if (press && FindControl(hostHandle) && !host->HandleImpl()->CustomPainted &&
                    (Receiver->focusPolicy() & Qt::ClickFocus) && host->CanFocus() && !host->Focused()) {
                    host->SetControlState(host->ControlState() + TControlState{csLButtonDown});
                    host->SetFocus();
                    if (FindControl(hostHandle))
                        host->SetControlState(host->ControlState() - TControlState{csLButtonDown});
                }
            });
        } else {
            DeliverMessage(target, m);
        }
    });
}

bool RouteKey(TWinControl* Target, bool Press, Word VK, const String& Text, TShiftState Shift, bool AutoRepeat,
              QEvent* Native, QObject* Receiver, bool Keypad) {
    SyncModifierKeys(Shift, VK);
    if (VK) SetKeyDown(VK, Press);
    if (InputBlockedByModal(Target)) return true;
    bool alt = Shift.Contains(ssAlt);
    LPARAM keyData = KeyDataOf(VK, Keypad, alt, AutoRepeat, !Press);
    HWND h = Target->Handle();
    Char ch = Text.empty() ? 0 : Text[0];
    if (ch == 0x7F || VK == VK_DELETE) ch = 0;
    auto alive = [h] { return FindControl(h) != nullptr; };
    auto* keyEvent = static_cast<QKeyEvent*>(Native);
    Guarded([&] {
        if (Press) {
            if (Target->Perform(alt ? CN_SYSKEYDOWN : CN_KEYDOWN, VK, keyData) != 0 || !alive()) return;
            TMessage down;
            down.Msg = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
            down.WParam = VK;
            down.LParam = keyData;
            PerformWithNative(Target, down, [&] {
                if (ch == 0 && Native && Receiver) DeliverNative(Receiver, Native);
            });
            // Shift+F10 asks for the context menu, as the menu key does.
            if (VK == VK_F10 && Shift == TShiftState{ssShift} && alive()) {
                SendContextMenu(Target, {-1, -1});
                return;
            }
            if (ch == 0 || !alive()) return;
            if (alt) {
                if (Target->Perform(CN_SYSCHAR, ch, keyData) != 0 || !alive()) return;
                Target->Perform(WM_SYSCHAR, ch, keyData);
                return;
            }
            if (Target->Perform(CN_CHAR, ch, keyData) != 0 || !alive()) return;
            TMessage chr;
            chr.Msg = WM_CHAR;
            chr.WParam = ch;
            chr.LParam = keyData;
            PerformWithNative(Target, chr, [&] {
                if (!Native || !Receiver) return;
                Char now = Char(chr.WParamLo());
                if (now == ch) {
                    DeliverNative(Receiver, Native);
                } else {
                    // The handler changed the character: the window gets the new one.
                    QString text = QString(QChar(now));
                    QKeyEvent changed(QEvent::KeyPress, keyEvent->key(), keyEvent->modifiers(), text,
                                      keyEvent->isAutoRepeat());
                    QCoreApplication::sendEvent(Receiver, &changed);
                }
            });
        } else {
            if (Target->Perform(CN_KEYUP, VK, keyData) != 0 || !alive()) return;
            TMessage up;
            up.Msg = alt ? WM_SYSKEYUP : WM_KEYUP;
            up.WParam = VK;
            up.LParam = keyData;
            PerformWithNative(Target, up, [&] {
                if (Native && Receiver) DeliverNative(Receiver, Native);
            });
            // The menu key asks for the context menu when it is released.
            if (VK == VK_APPS && up.Result == 0 && alive()) SendContextMenu(Target, {-1, -1});
        }
    });
    return true;
}

// ---------------------------------------------------------------------------
// Posted and sent messages, timers
// ---------------------------------------------------------------------------
void SendContextMenu(TControl* Control, TPoint ScreenPos) {
    TMessage m;
    m.Msg = WM_CONTEXTMENU;
    TWinControl* win = dynamic_cast<TWinControl*>(Control);
    TWinControl* host = win ? win : Control->Parent();
    m.WParam = host ? host->Handle() : 0;
    m.LParam = MakeLParam(ScreenPos.X, ScreenPos.Y);
    if (!win || win->HandleImpl()->CustomPainted) {
        Control->WndProc(m);
        return;
    }
    // A standard window's default is its own menu.
    PerformWithNative(win, m, [&] {
        QWidget* w = WidgetOf(win);
        const bool keyboard = ScreenPos.X == -1 && ScreenPos.Y == -1;
        const QPoint global = keyboard ? w->mapToGlobal(QPoint(0, 0)) : QPoint(ScreenPos.X, ScreenPos.Y);
        QContextMenuEvent e(keyboard ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, w->mapFromGlobal(global),
                            global);
        QWidget* receiver = w->focusProxy() ? w->focusProxy() : w;
        QCoreApplication::sendEvent(receiver, &e);
        m.Result = 1;
    });
}

LRESULT SendMessage(HWND Handle, Cardinal Msg, WPARAM WParam, LPARAM LParam) {
    if (IsMainThread()) {
        TWinControl* c = FindControl(Handle);
        return c ? c->Perform(Msg, WParam, LParam) : 0;
    }
    LRESULT result = 0;
    TThread::Synchronize(nullptr, [&] {
        if (TWinControl* c = FindControl(Handle)) result = c->Perform(Msg, WParam, LParam);
    });
    return result;
}

bool PostMessage(HWND Handle, Cardinal Msg, WPARAM WParam, LPARAM LParam) {
    if (!FindControl(Handle) || !Dispatcher) return false;
    PostedMessage pm;
    pm.Handle = Handle;
    pm.Message.Msg = Msg;
    pm.Message.WParam = WParam;
    pm.Message.LParam = LParam;
    {
        std::lock_guard lock(PostMutex);
        PostQueue.push_back(pm);
    }
    QCoreApplication::postEvent(Dispatcher, new QEvent(PostedMessageEvent));
    return true;
}

std::uintptr_t SetTimer(HWND Handle, std::uintptr_t ID, Cardinal Elapse) {
    if (!FindControl(Handle)) return 0;
    EnsureControlLayer();
    auto key = std::make_pair(Handle, ID);
    QTimer* t;
    auto it = Timers.find(key);
    if (it != Timers.end()) {
        t = it->second;
    } else {
        t = new QTimer(Dispatcher);
        Timers[key] = t;
        QObject::connect(t, &QTimer::timeout, [Handle, ID] {
            TWinControl* c = FindControl(Handle);
            if (!c) {
                KillTimer(Handle, ID);
                return;
            }
            Guarded([&] { c->Perform(WM_TIMER, ID, 0); });
        });
    }
    t->start(int(std::max<Cardinal>(Elapse, 1)));
    return ID;
}

bool KillTimer(HWND Handle, std::uintptr_t ID) {
    bool found = false;
    for (auto it = Timers.begin(); it != Timers.end();) {
        if (it->first.first == Handle && (ID == ~std::uintptr_t(0) || it->first.second == ID)) {
            it->second->stop();
            it->second->deleteLater();
            it = Timers.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    return found;
}

// ---------------------------------------------------------------------------
// Simulation
// ---------------------------------------------------------------------------
namespace {
QWidget* KeyReceiver(TWinControl* target) {
    QWidget* w = WidgetOf(target);
    if (QWidget* fw = w->focusWidget(); fw && w->isAncestorOf(fw)) return fw;
    return w;
}

}  // namespace

void TypeChar(TWinControl* Target, Char Ch) {
    if (!Target || Ch == 0) return;
    QPointer<QWidget> receiver = KeyReceiver(Target);
    Guarded([&] {
        if (Target->Perform(CN_CHAR, Ch, 0) != 0) return;
        TMessage chr;
        chr.Msg = WM_CHAR;
        chr.WParam = Ch;
        PerformWithNative(Target, chr, [&] {
            // The key-press handling may have changed or dropped the character.
            const Char now = Char(chr.WParamLo());
            if (!receiver || now == 0) return;
            QKeyEvent ev(QEvent::KeyPress, now == 8 ? Qt::Key_Backspace : 0, Qt::NoModifier, QString(QChar(now)));
            DeliverNative(receiver, &ev);
        });
    });
}

namespace {
void SimKey(bool press, Word vk, TShiftState shift, Char ch) {
    TWinControl* target = FindFocusedControl();
    if (!target) return;
    if (press && ch == 0) ch = CharOfKey(vk, shift);
    QString text = ch ? QString(QChar(ch)) : QString();
    QKeyEvent ev(press ? QEvent::KeyPress : QEvent::KeyRelease, VKToQtKey(vk), ModifiersOf(shift), text);
    const bool keypad = (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) || vk == VK_DECIMAL || vk == VK_ADD ||
                        vk == VK_SUBTRACT || vk == VK_MULTIPLY || vk == VK_DIVIDE;
    RouteKey(target, press, vk, ch ? String(1, ch) : String(), shift, false, &ev, KeyReceiver(target), keypad);
}

struct MouseTarget {
    QWidget* Receiver;
    QPoint Global;
    QPoint Local;
};

MouseTarget Locate(TControl* c, int x, int y) {
    TWinControl* host = dynamic_cast<TWinControl*>(c);
    if (!host) host = c->Parent();
    QWidget* w = WidgetOf(host);
    TPoint s = c->ClientToScreen({x, y});
    QPoint g(s.X, s.Y);
    // A standard control takes the mouse in an inner widget (a list's item
    // area): simulated input goes there, as the window system's does.
    if (QWidget* inner = w->childAt(w->mapFromGlobal(g)); inner && ControlOfWidget(inner) == host) w = inner;
    return {w, g, w->mapFromGlobal(g)};
}

Qt::MouseButton QtButton(TMouseButton b) {
    return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

Qt::MouseButtons HeldButtons;

void SimMouse(QEvent::Type type, TControl* c, TMouseButton b, int x, int y, TShiftState shift) {
    MouseTarget t = Locate(c, x, y);
    Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : QtButton(b);
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) HeldButtons |= button;
    QMouseEvent ev(type, QPointF(t.Local), QPointF(t.Global), button,
                   type == QEvent::MouseButtonRelease ? (HeldButtons & ~button) : HeldButtons, ModifiersOf(shift));
    if (type == QEvent::MouseButtonRelease) HeldButtons &= ~button;
    int bi = b == mbRight ? 1 : b == mbMiddle ? 2 : 0;
    Cardinal msg = WM_MOUSEMOVE;
    if (type == QEvent::MouseButtonPress) msg = WM_LBUTTONDOWN + 3 * bi;
    if (type == QEvent::MouseButtonRelease) msg = WM_LBUTTONUP + 3 * bi;
    if (type == QEvent::MouseButtonDblClick) msg = WM_LBUTTONDBLCLK + 3 * bi;
    WPARAM keys = MouseKeys(type == QEvent::MouseButtonRelease ? (HeldButtons) : HeldButtons, ModifiersOf(shift));
    SyncModifierKeys(shift);
    RouteMouse(t.Receiver, msg, t.Global, keys, 0, &ev);
}
}  // namespace

void SimulateKeyDown(Word Key, TShiftState Shift, Char Ch) { SimKey(true, Key, Shift, Ch); }
void SimulateKeyUp(Word Key, TShiftState Shift) { SimKey(false, Key, Shift, 0); }

void SimulateKey(Word Key, TShiftState Shift, Char Ch) {
    SimKey(true, Key, Shift, Ch);
    SimKey(false, Key, Shift, 0);
}

void SimulateWindowSystemKey(Word Key, TShiftState Shift) {
    TWinControl* target = FindFocusedControl();
    if (!target) return;
    QPointer<QWidget> receiver = KeyReceiver(target);
    for (const bool press : {true, false}) {
        const Char ch = press ? CharOfKey(Key, Shift) : 0;
        QKeyEvent ev(press ? QEvent::KeyPress : QEvent::KeyRelease, VKToQtKey(Key), ModifiersOf(Shift),
                     ch ? QString(QChar(ch)) : QString());
        if (receiver) QCoreApplication::sendEvent(receiver, &ev);
    }
}

void SimulateText(const String& Text) {
    for (Char ch : Text) {
        TShiftState shift;
        Word vk = VKOfChar(ch, shift);
        SimKey(true, vk, shift, ch);
        SimKey(false, vk, shift, 0);
    }
}

void SimulateMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
    SimMouse(QEvent::MouseButtonPress, Control, Button, X, Y, Shift);
}

void SimulateMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
    SimMouse(QEvent::MouseButtonRelease, Control, Button, X, Y, Shift);
}

void SimulateMouseMove(TControl* Control, int X, int Y, TShiftState Shift) {
    SimMouse(QEvent::MouseMove, Control, mbLeft, X, Y, Shift);
}

void SimulateClick(TControl* Control, int X, int Y) {
    SimulateMouseMove(Control, X, Y);
    SimulateMouseDown(Control, mbLeft, X, Y);
    SimulateMouseUp(Control, mbLeft, X, Y);
}

void SimulateDblClick(TControl* Control, int X, int Y) {
    SimulateClick(Control, X, Y);
    SimMouse(QEvent::MouseButtonDblClick, Control, mbLeft, X, Y, {});
    SimulateMouseUp(Control, mbLeft, X, Y);
}

void SimulateWheel(TControl* Control, int X, int Y, int WheelDelta, TShiftState Shift) {
    MouseTarget t = Locate(Control, X, Y);
    QWheelEvent ev(QPointF(t.Local), QPointF(t.Global), QPoint(), QPoint(0, WheelDelta), Qt::NoButton,
                   ModifiersOf(Shift), Qt::NoScrollPhase, false);
    RouteMouse(t.Receiver, WM_MOUSEWHEEL, t.Global, MouseKeys(Qt::NoButton, ModifiersOf(Shift)), WheelDelta, &ev);
}

void SimulateMouseLeave() { Guarded([] { UpdateMouseControl(nullptr); }); }

void SimulateCloseBox(TCustomForm* Form) {
    QCloseEvent ev;
    QCoreApplication::sendEvent(WidgetOf(Form), &ev);
}

void SimulateActivate(TCustomForm* Form) {
    Guarded([Form] {
        if (Form) {
            Form->SetActive(true);
        } else if (TCustomForm* active = Screen->ActiveForm()) {
            active->SetActive(false);
        }
    });
}
