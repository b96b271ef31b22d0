#pragma once
// Internals shared by the control layer's implementation files: the Qt
// window behind a TWinControl, the translation of Qt's events into messages,
// and the exception boundary.

#include "framework/Controls.h"

#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>

// The input layer's record of which keys are down (for GetKeyState).
void SetKeyDown(int VirtKey, bool Down);
void ResetKeyStates();

// One scroll bar of a window (SB_HORZ, SB_VERT).
struct TScrollBarState {
    int Min = 0, Max = 100, Page = 0, Pos = 0, TrackPos = 0;
    Cardinal Arrows = 0;          // ESB_DISABLE_* bits
    bool NoScrollDisabled = false;  // shown disabled because the page covers the range
};

// What the control layer's painting asks of any control, granted by TControl.
struct TControlAccess {
    static void Paint(TControl* Control, TCanvas& Canvas) { Control->PaintControl(Canvas); }
};

struct TWinControlHandle {
    TWinControl* Control = nullptr;
    HWND Handle = 0;
    QPointer<QWidget> Widget;
    Cardinal Style = 0;
    Cardinal ExStyle = 0;
    Cardinal ClassStyle = 0;
    // The client area in window coordinates, as WM_NCCALCSIZE gave it.
    TRect Client;
    bool FrameKnown = false;
    TScrollBarState Bars[2];
    // The window's bars are flat scroll bars (InitializeFlatSB): each with its
    // look (FSB_*), its background (clNone: the system's track) and its
    // thickness (0: the system's), and the bar part under the mouse.
    bool FlatBars = false;
    int FlatStyle[2] = {0, 0};
    TColor FlatBack[2] = {clNone, clNone};
    int FlatThickness[2] = {0, 0};
    int HotBar = -1, HotPart = 0;
    // The window's shape (window coordinates) when HasRegion.
    bool HasRegion = false;
    QRegion Region;
    // Layered: shown through UpdateLayeredWindow's picture.
    bool HasLayeredImage = false;
    QImage LayeredImage;
    // The client area's update region, and while WM_PAINT runs the part
    // being painted.
    QRegion Invalid;
    // The client area (as measured then) that the update region was last
    // found to hold whole; empty once anything takes from the region. A
    // hidden window asked again to repaint as a whole, as a grid filled
    // cell by cell before its form shows is, sees at once that nothing changes.
    TRect InvalidWhole;
    bool EraseNeeded = true;  // some invalidation asked for the background (WM_ERASEBKGND)
    bool Painting = false;
    QRegion PaintArea;
    // What TControlCanvas drew on the whole window since the last paint.
    QImage Overlay;
    bool Redraw = true;
    // Custom-painted windows show their back buffer; standard ones paint
    // themselves and then the windowless children on top.
    bool CustomPainted = false;
    // The receiver of the window's signal connections: freed with the
    // control, so that no signal of a window still alive for a moment
    // reaches a control that is gone.
    QObject* Context = nullptr;
};

QObject* ContextOf(TWinControl* Control);

// True when the window is hidden and its update region holds all of its
// client area (as measured) with the erase asked for: invalidating it as a
// whole again changes nothing.
inline bool WholeInvalidHeld(const TWinControlHandle* h, bool Erase) {
    const int w = h->Client.Right - h->Client.Left, ht = h->Client.Bottom - h->Client.Top;
    if (!h->FrameKnown || w <= 0 || ht <= 0 || h->InvalidWhole.Right != w || h->InvalidWhole.Bottom != ht ||
        !(h->EraseNeeded || !Erase))
        return false;
    const QWidget* widget = h->Widget.data();
    return !widget || !widget->isVisible();
}

// Hands a message to the control's style hook, then, unless the hook
// handled it, to its WindowProc (WndProc when none).
void DeliverMessage(TControl* Control, TMessage& Message);
// The same past the style hook.
void DeliverToControl(TControl* Control, TMessage& Message);
// The style engine's side of the two (Styles.cpp): true when a hook handled the message.
bool RouteToStyleHook(TControl* Control, TMessage& Message);
// The control goes: its hook with it.
void StyleHookControlGone(TControl* Control);
// The client area in window coordinates (WM_NCCALCSIZE asked when the
// frame may have changed).
TRect ClientInWindow(TWinControl* Control);
// Forgets the measured frame: the next use asks WM_NCCALCSIZE again.
void FrameChanged(TWinControl* Control);
// Puts the control's window where its bounds say, inside its parent's client area.
void PlaceWidget(TWinControl* Control);
// Adds a part of the client area (client coordinates; null: all of it) to
// the window's update region and asks for a paint.
// Erase: the paint erases the background first (WM_ERASEBKGND).
void InvalidateClient(TWinControl* Control, const QRect& Rect, bool Erase = true);
// Runs WM_PAINT of a custom-painted window for its update region now
// (into its back buffer).
void PaintInvalid(TWinControl* Control);
// Takes the styles of the creation parameters, and applies them.
void ApplyCreateParams(TWinControl* Control, const TCreateParams& Params);
// Applies the style bits to the window (pop-up, top-most, disabled, region).
void ApplyWindowStyles(TWinControl* Control);
// Framework defaults of the non-client messages (frame, hit test, frame
// painting, presses on the scroll bars).
bool NonClientDefault(TWinControl* Control, TMessage& Message);
// A press on a window's scroll bar or sizing edge owns the mouse until its
// release: true when the message was the tracking's.
bool NonClientTrackingMouse(TWinControl* Control, Cardinal Msg, TPoint Screen);
bool NonClientTrackingActive();
// Finds the window that takes the mouse at a screen point, starting at
// Host (the window the system delivered to): regions, WS_EX_TRANSPARENT,
// HTTRANSPARENT pass it on to the window beneath. HitCode gets the answer
// of WM_NCHITTEST; nil when no window takes it.
TWinControl* MouseTargetAt(TWinControl* Host, TPoint Screen, int& HitCode);
// The top-level windows of the program in stacking order, bottom first.
std::vector<TWinControl*> TopLevelWindows();
// A top-level window came to the front (shown or raised).
void TopLevelRaised(TWinControl* Control);

// The control whose window is W or contains W (nil for foreign widgets).
TWinControl* ControlOfWidget(const QObject* W);
// The control's window, made on first use.
QWidget* WidgetOf(TWinControl* Control);
// Gives a control the window Qt made for it (called from CreateWnd).
void AttachWidget(TWinControl* Control, QWidget* Widget, bool CustomPainted);
// Applies font and colours to a standard window.
void ApplyFontAndColor(TWinControl* Control);

// The paint of a control's window: WM_PAINT through the control, whose
// default runs BasePaint (the Qt widget's own painting), then the windowless
// children.
void PaintHostWidget(TWinControl* Control, QWidget* Widget, QPaintEvent* Event,
                     const std::function<void()>& BasePaint);

// Widgets that belong to controls are made from this template: Base is the
// Qt widget class (QWidget, QLineEdit, ...).
struct IHostWidget {
    virtual ~IHostWidget() = default;
    virtual void Detach() = 0;
};

template <class Base>
class THostWidget : public Base, public IHostWidget {
public:
    template <class... Args>
    explicit THostWidget(TWinControl* control, Args&&... args) : Base(std::forward<Args>(args)...), control_(control) {}
    TWinControl* HostControl() const { return control_; }
    void Detach() override { control_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (!control_) {
            Base::paintEvent(e);
            return;
        }
        PaintHostWidget(control_, this, e, [&] { Base::paintEvent(e); });
    }

private:
    TWinControl* control_;
};

// Runs Message through Control's WndProc; when it reaches DefaultHandler of
// that control, Native runs there (the windowing system's own handling).
// Returns whether Native ran.
bool PerformWithNative(TWinControl* Control, TMessage& Message, const std::function<void()>& Native);
// True while a native default is delivering an event to a Qt widget: input
// events seen then are Qt's own forwarding and are not translated again.
bool InNativeDelivery();

// The exception boundary: shows the exception being handled (call from a
// catch block) through the application; EAbort is silent.
void HandleCurrentException();
// Runs F inside the exception boundary.
void Guarded(const std::function<void()>& F);
// True while a handler called from the message loop runs (windows freed
// meanwhile may still be on the call stack).
bool InsideHandler();

// Installs the event translation (once; with the Qt application).
void EnsureControlLayer();

// Input routing shared with the forms unit.
void RouteMouse(QWidget* Receiver, Cardinal Msg, QPoint GlobalPos, WPARAM Keys, int WheelDelta, QEvent* Native);
bool RouteKey(TWinControl* Target, bool Press, Word VK, const String& Text, TShiftState Shift, bool AutoRepeat,
              QEvent* Native, QObject* Receiver, bool Keypad = false);
// WM_CONTEXTMENU to Control for a screen point ((-1, -1): from the keyboard);
// a standard window's default shows its own menu.
void SendContextMenu(TControl* Control, TPoint ScreenPos);
// The control under the mouse changed: CM_MOUSELEAVE / CM_MOUSEENTER.
void UpdateMouseControl(TControl* Control);
void ForgetControl(TControl* Control);
// The hint machinery lets go of a control that is being freed.
void HintControlGone(TControl* Control);
// The modal form input is limited to (nil: none).
TCustomForm* TopModalForm();
// A modal window (a form, a message box, a file dialog) starts taking the
// input: the control holding the mouse loses it, as a window does whose
// input goes elsewhere. Each start counts, so that the handling of a press
// can tell that its release went to a modal window that the press opened.
void BeginModalInput();
int ModalInputCount();

// True while a hidden window is shown for rendering only.
bool IsRenderingHidden();

// Where the input layer last saw the mouse (screen), when it has.
bool LastMousePosition(TPoint& Pos);

// Qt's cursor for one of ours.
Qt::CursorShape ToQtCursor(TCursor Cursor);
// The same, with the program's own numbered cursors (TScreen::SetCursors).
QCursor ToQCursor(TCursor Cursor);

#include "framework/Classes.h"

#include <QString>

inline QString ToQ(const String& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
inline String FromQ(const QString& s) { return String(reinterpret_cast<const Char*>(s.utf16()), size_t(s.size())); }

// A string list that reports every change (after it, outside updates).
class TNotifyingStrings : public TStringList {
public:
    std::function<void()> OnChanged;

protected:
    void Changed() override {
        TStringList::Changed();
        if (OnChanged) OnChanged();
    }
};

// The Qt widget of a control, cast to its kind.
template <class W>
W* WidgetAs(const TWinControl* Control) {
    return static_cast<W*>(Control->HandleImpl()->Widget.data());
}

// A standard control tells of a change as the classic controls do: WM_COMMAND
// with the notification code to its parent, which reflects it back to the
// control as CN_COMMAND (without a parent: CN_COMMAND at once). Runs inside
// the exception boundary.
void NotifyCommand(TWinControl* Control, Word Code);
// Tells the parent of a control of a notification (WM_NOTIFY with an
// NMHDR), which reflects it back to the control as CN_NOTIFY.
void NotifyParent(TWinControl* Control, Cardinal Code);
