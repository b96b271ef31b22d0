// Translation of Qt's input and window events into messages, the queue of
// posted messages, window timers, and input simulation.

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/QtApp_p.h"
#include "framework/Simulate.h"
#include "framework/Threads.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <deque>
#include <map>
#include <memory>
#include <mutex>

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
            if (TWinControl* c = FindControl(pm.Handle)) Guarded([&] { c->WndProc(pm.Message); });
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

// The character a key types, as the classic input would give it to WM_CHAR.
Char CharOfKey(Word vk, TShiftState shift) {
    bool sh = shift.Contains(ssShift);
    if (shift.Contains(ssCtrl) && vk >= 'A' && vk <= 'Z') return Char(vk - 'A' + 1);
    if (vk >= 'A' && vk <= 'Z') return sh ? Char(vk) : Char(vk + 32);
    if (vk >= '0' && vk <= '9') return Char(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Char(u'0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    case VK_TAB: return 9;
    case VK_BACK: return 8;
    case VK_SPACE: return u' ';
    case VK_OEM_PERIOD: case VK_DECIMAL: return u'.';
    case VK_OEM_COMMA: return u',';
    case VK_OEM_MINUS: case VK_SUBTRACT: return u'-';
    case VK_OEM_PLUS: return sh ? u'+' : u'=';
    case VK_ADD: return u'+';
    case VK_MULTIPLY: return u'*';
    case VK_DIVIDE: case VK_OEM_2: return u'/';
    default: return 0;
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
public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (InNativeDelivery() || IsRenderingHidden() || !obj->isWidgetType()) return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
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
            RouteKey(c, press, vk, Utf8ToString(ke->text().toStdString()), shift, ke->isAutoRepeat(), e, obj);
            return true;
        }
        case QEvent::FocusIn: {
            TWinControl* c = ControlOfWidget(obj);
            if (!c || dynamic_cast<TCustomForm*>(c)) return false;
            TCustomForm* f = GetParentForm(c);
            if (f && f->FocusedControl() != c) Guarded([&] {
                // The window losing the focus hears which one gets it, and the other way round.
                TWinControl* old = f->FocusedControl();
                HWND oldHandle = old && old != f ? old->Handle() : 0;
                if (oldHandle) old->Perform(WM_KILLFOCUS, c->Handle());
                c->Perform(WM_SETFOCUS, oldHandle);
            });
            return false;
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
                Guarded([f, s] { f->SetBounds(f->Left(), f->Top(), s.width(), s.height()); });
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
            target->WndProc(m);
        }
    });
}

bool RouteKey(TWinControl* Target, bool Press, Word VK, const String& Text, TShiftState Shift, bool AutoRepeat,
              QEvent* Native, QObject* Receiver) {
    SyncModifierKeys(Shift, VK);
    if (VK) SetKeyDown(VK, Press);
    if (InputBlockedByModal(Target)) return true;
    bool alt = Shift.Contains(ssAlt);
    LPARAM keyData = 1 | (alt ? 0x20000000 : 0) | (AutoRepeat ? 0x40000000 : 0) | (Press ? 0 : LPARAM(0xC0000000));
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
        }
    });
    return true;
}

// ---------------------------------------------------------------------------
// Posted and sent messages, timers
// ---------------------------------------------------------------------------
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

void SimKey(bool press, Word vk, TShiftState shift, Char ch) {
    TWinControl* target = FindFocusedControl();
    if (!target) return;
    if (press && ch == 0) ch = CharOfKey(vk, shift);
    QString text = ch ? QString(QChar(ch)) : QString();
    QKeyEvent ev(press ? QEvent::KeyPress : QEvent::KeyRelease, VKToQtKey(vk), ModifiersOf(shift), text);
    RouteKey(target, press, vk, ch ? String(1, ch) : String(), shift, false, &ev, KeyReceiver(target));
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
