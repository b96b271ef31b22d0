#include "framework/Controls.h"
#include "framework/ActnList.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"
#include "framework/Menus.h"
#include "framework/QtApp_p.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QProxyStyle>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>

// ---------------------------------------------------------------------------
// Handles
// ---------------------------------------------------------------------------
namespace {
constexpr Cardinal kPopupStyle = 0x80000000;  // WS_POPUP
std::mutex RegistryMutex;
std::unordered_map<HWND, TWinControl*> Registry;
HWND NextHandle = 0x1000;
const char* const ControlProperty = "configurator.control";

TControl* CaptureControl = nullptr;
TControl* MouseControl = nullptr;

HWND RegisterHandle(TWinControl* c) {
    std::lock_guard lock(RegistryMutex);
    HWND h = NextHandle;
    NextHandle += 4;
    Registry[h] = c;
    return h;
}

void UnregisterHandle(HWND h) {
    std::lock_guard lock(RegistryMutex);
    Registry.erase(h);
}

// The native default waiting for its message, innermost first.
struct NativeFrame {
    TWinControl* Control;
    TMessage* Message;
    const std::function<void()>* Action;
    bool Done;
    NativeFrame* Outer;
};
NativeFrame* CurrentNative = nullptr;
int NativeDeliveryDepth = 0;

}  // namespace

TWinControl* FindControl(HWND Handle) {
    std::lock_guard lock(RegistryMutex);
    auto it = Registry.find(Handle);
    return it == Registry.end() ? nullptr : it->second;
}

bool PerformWithNative(TWinControl* Control, TMessage& Message, const std::function<void()>& Native) {
    NativeFrame frame{Control, &Message, &Native, false, CurrentNative};
    CurrentNative = &frame;
    try {
        DeliverMessage(Control, Message);
    } catch (...) {
        CurrentNative = frame.Outer;
        throw;
    }
    CurrentNative = frame.Outer;
    return frame.Done;
}

bool InNativeDelivery() { return NativeDeliveryDepth > 0; }

namespace {
bool RunNativeDefault(TWinControl* Control, TMessage& Message) {
    for (NativeFrame* f = CurrentNative; f; f = f->Outer) {
        if (f->Control == Control && f->Message == &Message) {
            if (!f->Done) {
                f->Done = true;
                ++NativeDeliveryDepth;
                try {
                    (*f->Action)();
                } catch (...) {
                    --NativeDeliveryDepth;
                    throw;
                }
                --NativeDeliveryDepth;
            }
            return true;
        }
    }
    return false;
}
}  // namespace

TWinControl* ControlOfWidget(const QObject* W) {
    for (const QObject* o = W; o; o = o->parent()) {
        if (!o->isWidgetType()) return nullptr;
        QVariant v = o->property(ControlProperty);
        if (v.isValid()) return reinterpret_cast<TWinControl*>(v.value<quintptr>());
        if (static_cast<const QWidget*>(o)->isWindow()) return nullptr;
    }
    return nullptr;
}

QWidget* WidgetOf(TWinControl* Control) {
    Control->HandleNeeded();
    return Control->HandleImpl()->Widget.data();
}

Qt::CursorShape ToQtCursor(TCursor Cursor) {
    switch (Cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void ApplyFontAndColor(TWinControl* Control) {
    QWidget* w = Control->HandleImpl()->Widget;
    if (!w) return;
    w->setFont(ToQFont(Control->Font()));
    QPalette pal = w->palette();
    QColor text = ToQColor(Control->Font().Color());
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    if (Control->Color() != clNone && Control->Color() != clDefault) {
        QColor back = ToQColor(Control->Color());
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Base, back);
        pal.setColor(QPalette::Button, back);
    }
    // Disabled controls look as the classic desktop draws them: grey text
    // on the button face, so that a field that takes no input shows it.
    const QColor grey = ToQColor(clGrayText), face = ToQColor(clBtnFace);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) pal.setColor(QPalette::Disabled, role, grey);
    pal.setColor(QPalette::Disabled, QPalette::Base, face);
    pal.setColor(QPalette::Disabled, QPalette::Button, face);
    w->setPalette(pal);
}

void AttachWidget(TWinControl* Control, QWidget* Widget, bool CustomPainted) {
    TWinControlHandle* h = Control->HandleImpl();
    h->Widget = Widget;
    h->CustomPainted = CustomPainted;
    Widget->setProperty(ControlProperty, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(Control)));
    h->Invalid = QRect(0, 0, 1 << 20, 1 << 20);
    Widget->setMouseTracking(true);
    for (QWidget* child : Widget->findChildren<QWidget*>()) child->setMouseTracking(true);
    if (CustomPainted) {
        Widget->setFocusPolicy(Qt::NoFocus);
        Widget->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    if (Control->Parent() && !dynamic_cast<TCustomForm*>(Control) && !(h->Style & kPopupStyle)) {
        QWidget* parentWidget = WidgetOf(Control->Parent());
        Widget->setParent(parentWidget);
    }
    PlaceWidget(Control);
    Widget->setEnabled(Control->Enabled() && !(Control->HandleImpl()->Style & 0x08000000u));
    if (Control->Cursor() != crDefault) Widget->setCursor(ToQCursor(Control->Cursor()));
    ApplyFontAndColor(Control);
    if ((Control->Parent() || (h->Style & kPopupStyle)) && !dynamic_cast<TCustomForm*>(Control))
        Widget->setVisible(Control->Visible());
    if ((h->Style & kPopupStyle) && Control->Visible()) TopLevelRaised(Control);
    if (h->HasRegion) Widget->setMask(h->Region);
}

// ---------------------------------------------------------------------------
// Exception boundary
// ---------------------------------------------------------------------------
void HandleCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        Application->HandleException(e);
    } catch (...) {
        Application->HandleException(Exception(std::string_view("Unknown exception")));
    }
}

void NotifyParent(TWinControl* Control, Cardinal Code) {
    Guarded([&] {
        NMHDR header;
        header.hwndFrom = Control->Handle();
        header.code = Code;
        if (Control->Parent()) Control->Parent()->Perform(WM_NOTIFY, 0, LPARAM(&header));
        else Control->Perform(CN_NOTIFY, 0, LPARAM(&header));
    });
}

void NotifyCommand(TWinControl* Control, Word Code) {
    Guarded([&] {
        WPARAM w = MakeWParam(0, Code);
        LPARAM l = LPARAM(Control->Handle());
        if (Control->Parent()) Control->Parent()->Perform(WM_COMMAND, w, l);
        else Control->Perform(CN_COMMAND, w, l);
    });
}

namespace {
int GuardDepth = 0;
}

bool InsideHandler() { return GuardDepth > 0; }

void Guarded(const std::function<void()>& F) {
    ++GuardDepth;
    try {
        F();
    } catch (...) {
        try {
            HandleCurrentException();
        } catch (...) {
            --GuardDepth;
            throw;
        }
    }
    --GuardDepth;
}

// ---------------------------------------------------------------------------
// Accelerators, capture, cursor position
// ---------------------------------------------------------------------------
namespace {
Char UpCase(Char c) {
    if (c >= u'a' && c <= u'z') return Char(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return Char(c - 32);
    return c;
}
}  // namespace

bool IsAccel(Word VK, const String& Str) {
    for (size_t i = 0; i + 1 < Str.size(); ++i) {
        if (Str[i] != u'&') continue;
        if (Str[i + 1] == u'&') {
            ++i;
            continue;
        }
        return UpCase(Str[i + 1]) == UpCase(Char(VK));
    }
    return false;
}

String StripHotkey(const String& Str) {
    String r;
    for (size_t i = 0; i < Str.size(); ++i) {
        if (Str[i] == u'&' && i + 1 < Str.size()) {
            r += Str[++i];
        } else if (Str[i] != u'&') {
            r += Str[i];
        }
    }
    return r;
}

TPoint GetCursorPos() {
    TPoint last;
    if (LastMousePosition(last)) return last;
    QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

namespace {
int ModalInputs = 0;
}  // namespace

void BeginModalInput() {
    ++ModalInputs;
    if (TControl* capture = CaptureControl) {
        capture->Perform(WM_CANCELMODE);
        ReleaseCapture();
    }
}

int ModalInputCount() { return ModalInputs; }

void SetCaptureControl(TControl* Control) { CaptureControl = Control; }
TControl* GetCaptureControl() { return CaptureControl; }
void ReleaseCapture() { CaptureControl = nullptr; }

HWND SetCapture(HWND Handle) {
    HWND old = GetCapture();
    CaptureControl = FindControl(Handle);
    return old;
}

HWND GetCapture() {
    auto* w = dynamic_cast<TWinControl*>(CaptureControl);
    return w ? w->Handle() : 0;
}

TWinControl* FindFocusedControl() {
    TCustomForm* f = Screen->ActiveForm();
    if (!f) return nullptr;
    return f->FocusedControl() ? f->FocusedControl() : f;
}

TCustomForm* GetParentForm(const TControl* Control) {
    const TControl* c = Control;
    while (c && c->Parent()) c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

void ForgetControl(TControl* Control) {
    if (CaptureControl == Control) CaptureControl = nullptr;
    if (MouseControl == Control) MouseControl = nullptr;
}

void UpdateMouseControl(TControl* Control) {
    if (MouseControl == Control) return;
    TControl* capture = CaptureControl;
    TControl* old = MouseControl;
    MouseControl = Control;
    if (old && (!capture || old == capture)) old->Perform(CM_MOUSELEAVE);
    if (MouseControl && MouseControl == Control && (!capture || Control == capture)) Control->Perform(CM_MOUSEENTER);
    // The mouse has left the program's windows: a hint waiting for its pause,
    // or showing, is about a control the mouse is no longer over.
    if (!Control) Application->CancelHint();
}

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------
TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont->OnChange = [this](TObject* s) { FontChanged(s); };
}

TControl::~TControl() {
    Destroying();
    StyleHookControlGone(this);
    FActionLink.reset();
    ForgetControl(this);
    HintControlGone(this);
    if (FParent) FParent->RemoveControl(this);
    LeaveDockSite();
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged();
    Invalidate();
    if (sized) Resize();
}

void TControl::BoundsChanged() {
    if (FParent && FParent->FAlignLevel == 0) {
        TRect pr = FParent->ClientRect();
        FAnchorRight = pr.Right - (FLeft + FWidth);
        FAnchorBottom = pr.Bottom - (FTop + FHeight);
        FAnchorsKnown = true;
        if (FAlign != alNone) FParent->Realign();
    }
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
void TControl::SetClientWidth(int Value) { SetWidth(Value + (FWidth - ClientWidth())); }
void TControl::SetClientHeight(int Value) { SetHeight(Value + (FHeight - ClientHeight())); }

TPoint TControl::ClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& Point) const {
    TPoint o = ClientOrigin();
    return {Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) const {
    TPoint o = ClientOrigin();
    return {Point.X - o.X, Point.Y - o.Y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (FParent && FAlign != alNone) FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
    FParentColor = false;
    if (FColor == Value) return;
    FColor = Value;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

TAlignment ChangeBiDiModeAlignment(TAlignment Alignment) {
    switch (Alignment) {
    case taLeftJustify: return taRightJustify;
    case taRightJustify: return taLeftJustify;
    default: return Alignment;
    }
}

void TControl::SetBiDiMode(TBiDiMode Value) {
    FParentBiDiMode = false;
    if (FBiDiMode == Value) return;
    FBiDiMode = Value;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value) {
    if (FParentBiDiMode == Value) return;
    FParentBiDiMode = Value;
    if (Value && FParent) Perform(CM_PARENTBIDIMODECHANGED);
}

unsigned TControl::DrawTextBiDiModeFlags(unsigned Flags) const {
    if (UseRightToLeftAlignment()) {
        if (Flags & DT_RIGHT) Flags &= ~DT_RIGHT;
        else if (!(Flags & DT_CENTER)) Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

unsigned TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
    if (!FInFontChange) FParentFont = false;
    Perform(CM_FONTCHANGED);
}

String TControl::Text() const { return FText; }

void TControl::SetText(const String& Value) {
    if (FText == Value) return;
    FText = Value;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value && FParent) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value) FreeNotification(Value);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Invalidate() {
    if (!FParent || !FVisible) return;
    InvalidateClient(FParent, QRect(FLeft, FTop, FWidth, FHeight));
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->HandleImpl()->Widget->raise();
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->HandleImpl()->Widget->lower();
    Invalidate();
}

LRESULT TControl::Perform(Cardinal Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    DeliverMessage(this, m);
    return m.Result;
}

namespace {
std::vector<std::pair<int, TCallWndProcHook>> CallWndProcHooks;
int NextHookId = 1;
}  // namespace

int SetCallWndProcHook(TCallWndProcHook Hook) {
    CallWndProcHooks.emplace_back(NextHookId, std::move(Hook));
    return NextHookId++;
}

void UnhookCallWndProc(int Id) {
    CallWndProcHooks.erase(std::remove_if(CallWndProcHooks.begin(), CallWndProcHooks.end(),
                                          [Id](const auto& h) { return h.first == Id; }),
                           CallWndProcHooks.end());
}

void DeliverMessage(TControl* Control, TMessage& Message) {
    if (RouteToStyleHook(Control, Message)) return;
    DeliverToControl(Control, Message);
}

void DeliverToControl(TControl* Control, TMessage& Message) {
    if (Control->WindowProc) Control->WindowProc(Message);
    else Control->WndProc(Message);
}

void TControl::SetStyleElements(TStyleElements Value) {
    if (FStyleElements == Value) return;
    FStyleElements = Value;
    Perform(CM_STYLECHANGED);
}

void TControl::WndProc(TMessage& Message) {
    if (!CallWndProcHooks.empty())
        for (auto& [id, hook] : std::vector<std::pair<int, TCallWndProcHook>>(CallWndProcHooks)) hook(this, Message);
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) Application->HintMouseMessage(this, Message);
    else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) Application->IsHintMsg(Message);
    // A left press on an automatic drag source begins a drag instead of a click.
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic && !Dragging()) {
        BeginDrag(false);
        return;
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: { TWMMouse m(Message); WMLButtonDown(m); break; }
    case WM_LBUTTONUP: { TWMMouse m(Message); WMLButtonUp(m); break; }
    case WM_LBUTTONDBLCLK: { TWMMouse m(Message); WMLButtonDblClk(m); break; }
    case WM_RBUTTONDOWN: { TWMMouse m(Message); WMRButtonDown(m); break; }
    case WM_RBUTTONUP: { TWMMouse m(Message); WMRButtonUp(m); break; }
    case WM_RBUTTONDBLCLK: { TWMMouse m(Message); WMRButtonDblClk(m); break; }
    case WM_MBUTTONDOWN: { TWMMouse m(Message); WMMButtonDown(m); break; }
    case WM_MBUTTONUP: { TWMMouse m(Message); WMMButtonUp(m); break; }
    case WM_MBUTTONDBLCLK: { TWMMouse m(Message); WMMButtonDblClk(m); break; }
    case WM_MOUSEMOVE: { TWMMouse m(Message); WMMouseMove(m); break; }
    case WM_MOUSEWHEEL: { TWMMouseWheel m(Message); WMMouseWheel(m); break; }
    case WM_CANCELMODE: WMCancelMode(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_DRAG: CMDrag(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        NotifyHostDockSite(Message);
        break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        NotifyHostDockSite(Message);
        break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_BIDIMODECHANGED: CMBiDiModeChanged(Message); break;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); break;
    case CM_HINTSHOW: CMHintShow(Message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); break;
    case CM_DIALOGKEY: { TWMKey m(Message); CMDialogKey(m); break; }
    case CM_DIALOGCHAR: { TWMKey m(Message); CMDialogChar(m); break; }
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    case CM_CURSORCHANGED: CMCursorChanged(Message); break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {}

bool TControl::MouseCapture() const { return CaptureControl == this; }

void TControl::SetMouseCapture(bool Value) {
    if (Value) CaptureControl = this;
    else if (CaptureControl == this) CaptureControl = nullptr;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
    else if (FActionLink) FActionLink->Execute(this);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(Value);
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() { return std::make_unique<TControlActionLink>(this); }

void TControl::ActionChange(TObject* Sender) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (FActionLink && FActionLink->IsCaptionLinked()) SetCaption(action->Caption());
    SetHint(action->Hint());
    SetEnabled(action->Enabled());
    SetVisible(action->Visible());
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled && WheelDelta != 0)
        handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::Changed() {}

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

namespace {
// A press anywhere in the program, in this form or in another window (a
// pop-up that never takes the focus, another form), ends the mode (a drag,
// an open list) of the control that has the focus.
void SendCancelMode(TControl* Sender) {
    TWinControl* focused = FindFocusedControl();
    if (!focused) {
        TCustomForm* f = GetParentForm(Sender);
        focused = f ? f->FocusedControl() : nullptr;
    }
    if (focused && focused != Sender) focused->Perform(WM_CANCELMODE);
}
}  // namespace

void TControl::WMLButtonDown(TWMMouse& Message) {
    SendCancelMode(this);
    const int modal = ModalInputCount();
    DefaultHandler(Message.Message);
    // The press moved the focus, and the control left refused it with a
    // message: the release went to the message, so this press holds nothing.
    if (ModalInputCount() != modal) return;
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        if (PtInRect(ClientRect(), {Message.XPos(), Message.YPos()})) Click();
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
    SendCancelMode(this);
    const int modal = ModalInputCount();
    DefaultHandler(Message.Message);
    if (ModalInputCount() != modal) return;
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) DblClick();
    DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMRButtonDown(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseUp(Message, mbRight);
    // The release of the right button asks for the context menu.
    SendContextMenu(this, ClientToScreen({Message.XPos(), Message.YPos()}));
}

void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0) return;
    TPoint p{SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())};
    if (FPopupMenu && FPopupMenu->AutoPopup) {
        SendCancelMode(nullptr);
        FPopupMenu->PopupComponent = this;
        if (p.X == -1 && p.Y == -1) p = ClientToScreen({0, 0});
        FPopupMenu->Popup(p.X, p.Y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
    // Nobody here wants it: the parent may have a menu.
    if (Message.Result == 0 && FParent) Message.Result = FParent->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
}

void TControl::WMRButtonDblClk(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMMButtonDown(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseUp(Message, mbMiddle);
}

void TControl::WMMButtonDblClk(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMouseMove(TWMMouse& Message) {
    DefaultHandler(Message.Message);
    if (!FControlStyle.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMMouseWheel(TWMMouseWheel& Message) {
    TShiftState shift = KeysToShiftState(Message.Keys());
    if (DoMouseWheel(shift, Message.WheelDelta(), {Message.XPos(), Message.YPos()})) Message.Result = 1;
    else DefaultHandler(Message.Message);
}

void TControl::WMCancelMode(TMessage& Message) {
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (FControlState.Contains(csLButtonDown)) FControlState.Exclude(csLButtonDown);
    }
    DefaultHandler(Message);
}

void TControl::CMMouseEnter(TMessage& Message) {
    if (OnMouseEnter) OnMouseEnter(this);
    DefaultHandler(Message);
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (OnMouseLeave) OnMouseLeave(this);
    DefaultHandler(Message);
}

void TControl::CMMouseWheel(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMEnabledChanged(TMessage& Message) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage& Message) {
    if (FParent && FParent->HandleAllocated() && FParent->HandleImpl()->Widget)
        InvalidateClient(FParent, QRect(FLeft, FTop, FWidth, FHeight));
}
void TControl::CMFontChanged(TMessage& Message) { Invalidate(); }
void TControl::CMColorChanged(TMessage& Message) { Invalidate(); }
void TControl::CMTextChanged(TMessage& Message) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& Message) {
    if (FParentFont && FParent) {
        FInFontChange = true;
        FFont->Assign(&FParent->Font());
        FInFontChange = false;
        FParentFont = true;
    }
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (FParentColor && FParent) {
        TColor c = FParent->Color();
        if (c != FColor) {
            FColor = c;
            Perform(CM_COLORCHANGED);
        }
        FParentColor = true;
    }
}

void TControl::CMParentShowHintChanged(TMessage& Message) {
    if (FParentShowHint && FParent) {
        FShowHint = FParent->ShowHint();
        FParentShowHint = true;
    }
}

void TControl::CMBiDiModeChanged(TMessage& Message) { Invalidate(); }

void TControl::CMParentBiDiModeChanged(TMessage& Message) {
    if (FParentBiDiMode && FParent) {
        if (FParent->BiDiMode() != FBiDiMode) {
            FBiDiMode = FParent->BiDiMode();
            Perform(CM_BIDIMODECHANGED);
        }
        FParentBiDiMode = true;
    }
}

void TControl::CMHintShow(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMSysColorChange(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMDialogKey(TCMDialogKey& Message) { DefaultHandler(Message.Message); }
void TControl::CMDialogChar(TCMDialogChar& Message) { DefaultHandler(Message.Message); }
void TControl::CMFocusChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMCursorChanged(TMessage& Message) { DefaultHandler(Message); }

void TControl::PaintTo(TCanvas& Canvas, int X, int Y) {
    TBitmap bmp;
    RenderControlToBitmap(this, bmp);
    Canvas.Draw(X, Y, bmp);
}

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FHandleImpl(std::make_unique<TWinControlHandle>()) {
    EnsureControlLayer();
    FHandleImpl->Control = this;
    FHandleImpl->Handle = RegisterHandle(this);
    FBrush.SetColor(FColor);
}

TWinControl::~TWinControl() {
    Destroying();
    // Clients docked here stay where they are, with no site.
    for (TControl* c : FDockClients) c->FHostDockSite = nullptr;
    FDockClients.clear();
    // Out of the parent's lists while still a window control (tab order, focus).
    if (FParent) FParent->RemoveControl(this);
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    ForgetControl(this);
    KillTimer(FHandleImpl->Handle, ~std::uintptr_t(0));  // all of this window's timers
    UnregisterHandle(FHandleImpl->Handle);
    DestroyWnd();
}

HWND TWinControl::Handle() {
    if (!FHandleImpl->Widget) {
        CreateParams(FCreateParams);
        ApplyCreateParams(this, FCreateParams);
        CreateWnd();
        if (FHandleImpl->Widget) {
            InitializeWnd();
            for (TWinControl* c : std::vector<TWinControl*>(FTabList)) {
                QWidget* cw = WidgetOf(c);
                if (cw->parentWidget() != FHandleImpl->Widget && !(c->HandleImpl()->Style & kPopupStyle)) {
                    cw->setParent(FHandleImpl->Widget);
                    PlaceWidget(c);
                    cw->setVisible(c->Visible());
                }
            }
            // Keep the stacking order of the children.
            for (TControl* c : FControls)
                if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleImpl()->Widget) w->HandleImpl()->Widget->raise();
        }
    }
    return FHandleImpl->Handle;
}

bool TWinControl::HandleAllocated() const { return FHandleImpl->Widget != nullptr; }

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = HandleAllocated() ? Text() : FText;
    Params.Style = (FHandleImpl->Style & ~WS_TABSTOP) | (FTabStop ? WS_TABSTOP : 0);
    Params.ExStyle = FHandleImpl->ExStyle & ~(WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
    AddBiDiModeExStyle(Params.ExStyle);
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
}

void TWinControl::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this);
    w->setAutoFillBackground(true);
    AttachWidget(this, w, false);
}

QObject* ContextOf(TWinControl* Control) {
    TWinControlHandle* h = Control->HandleImpl();
    if (!h->Context) h->Context = new QObject;
    return h->Context;
}

void TWinControl::DestroyWnd() {
    delete FHandleImpl->Context;
    FHandleImpl->Context = nullptr;
    QWidget* w = FHandleImpl->Widget;
    FHandleImpl->Widget = nullptr;
    if (!w) return;
    w->setProperty(ControlProperty, QVariant());
    if (auto* host = dynamic_cast<IHostWidget*>(w)) host->Detach();
    w->hide();
    w->setParent(nullptr);
    w->deleteLater();
}

void TWinControl::RecreateWnd() {
    if (!HandleAllocated()) return;
    CreateParams(FCreateParams);
    ApplyCreateParams(this, FCreateParams);
    InvalidateClient(this, QRect());
    // A window made anew is placed anew: whatever follows its place hears it.
    Perform(WM_WINDOWPOSCHANGED);
}

LPARAM GetWindowLong(HWND Handle, int Index) {
    TWinControl* c = FindControl(Handle);
    if (!c) return 0;
    if (Index == GWL_EXSTYLE) return LPARAM(c->HandleImpl()->ExStyle);
    if (Index == GWL_STYLE) return LPARAM((c->HandleImpl()->Style & ~WS_TABSTOP) | (c->TabStop() ? WS_TABSTOP : 0));
    return 0;
}

LPARAM SetWindowLong(HWND Handle, int Index, LPARAM Value) {
    TWinControl* c = FindControl(Handle);
    if (!c) return 0;
    LPARAM old = GetWindowLong(Handle, Index);
    // Frame and scroll bar styles take effect with SetWindowPos(SWP_FRAMECHANGED), as they always did.
    if (Index == GWL_EXSTYLE) c->HandleImpl()->ExStyle = Cardinal(Value);
    else if (Index == GWL_STYLE) c->HandleImpl()->Style = Cardinal(Value);
    else return old;
    ApplyWindowStyles(c);
    if (c->HandleAllocated()) c->HandleImpl()->Widget->update();
    return old;
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FControls[size_t(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this) return;
    AControl->FParent = this;
    FControls.push_back(AControl);
    auto* win = dynamic_cast<TWinControl*>(AControl);
    if (win) {
        FTabList.push_back(win);
        if (win->HandleAllocated() || HandleAllocated()) {
            QWidget* pw = WidgetOf(this);
            QWidget* cw = WidgetOf(win);
            if (cw->parentWidget() != pw && !(win->HandleImpl()->Style & kPopupStyle)) cw->setParent(pw);
            PlaceWidget(win);
            cw->setVisible(win->Visible());
        }
    }
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED);
    if (AControl->FParentShowHint) AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    if (AControl->FParentBiDiMode) AControl->Perform(CM_PARENTBIDIMODECHANGED);
    TRect pr = ClientRect();
    AControl->FAnchorRight = pr.Right - (AControl->FLeft + AControl->FWidth);
    AControl->FAnchorBottom = pr.Bottom - (AControl->FTop + AControl->FHeight);
    AControl->FAnchorsKnown = true;
    if (AControl->FAlign != alNone) Realign();
    AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (!AControl || AControl->FParent != this) return;
    AControl->Invalidate();
    if (TCustomForm* form = GetParentForm(this)) {
        auto* win = dynamic_cast<TWinControl*>(AControl);
        if (win) {
            if (form->FActiveControl && (form->FActiveControl == win || win->ContainsControl(form->FActiveControl)))
                form->FActiveControl = nullptr;
            if (form->FFocusedControl && (form->FFocusedControl == win || win->ContainsControl(form->FFocusedControl)))
                form->FFocusedControl = nullptr;
        }
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), win), FTabList.end());
        if (win->HandleAllocated() && win->HandleImpl()->Widget->parentWidget()) {
            win->HandleImpl()->Widget->hide();
            win->HandleImpl()->Widget->setParent(nullptr);
        }
    }
    AControl->FParent = nullptr;
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        bool isWin = dynamic_cast<TWinControl*>(c) != nullptr;
        if ((AllowWinControls || !isWin) && c->Visible() && (AllowDisabled || c->Enabled()) &&
            PtInRect(c->BoundsRect(), Pos))
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        DeliverMessage(c, Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(Cardinal Msg) {
    TMessage m;
    m.Msg = Msg;
    Broadcast(m);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    int cur = TabOrder();
    if (cur < 0) return;
    list.erase(list.begin() + cur);
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = int(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? n - 1 : 0) : int(found - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == n) i = 0;
        } else {
            if (i == 0) i = n;
            --i;
        }
        TWinControl* c = list[size_t(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (next) next->SetFocus();
}

void TWinControl::SelectFirst() {
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (!first) first = FindNextControl(nullptr, true, false, false);
    if (first) first->SetFocus();
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this) form->FocusControl(this);
    else if (HandleAllocated()) FHandleImpl->Widget->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(this);
    if (form) return form->Active() && form->FocusedControl() == this;
    return HandleAllocated() && FHandleImpl->Widget->hasFocus();
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c == form) break;
    }
    return true;
}

bool TWinControl::Showing() const {
    if (FHandleImpl->Style & kPopupStyle) return FVisible && HandleAllocated() && FHandleImpl->Widget->isVisible();
    return FVisible && FParent && FParent->Showing();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0) return;
    ++FAlignLevel;
    TRect r = ClientRect();
    try {
        AlignControls(nullptr, r);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    --FAlignLevel;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Visible() && c->Align() == align) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft: return a->Left() < b->Left();
            case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            int w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
            switch (align) {
            case alTop: c->SetBounds(Rect.Left, Rect.Top, w, c->Height()); Rect.Top += c->Height(); break;
            case alBottom: c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), w, c->Height()); Rect.Bottom -= c->Height(); break;
            case alLeft: c->SetBounds(Rect.Left, Rect.Top, c->Width(), h); Rect.Left += c->Width(); break;
            case alRight: c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), h); Rect.Right -= c->Width(); break;
            case alClient: c->SetBounds(Rect.Left, Rect.Top, w, h); break;
            default: break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
    // Anchored controls keep their distance to the right and bottom edges.
    TRect pr = ClientRect();
    for (TControl* c : FControls) {
        if (c->Align() != alNone || !c->FAnchorsKnown) continue;
        TAnchors a = c->Anchors();
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft)) w = pr.Right - c->FAnchorRight - l;
            else l = pr.Right - c->FAnchorRight - w;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop)) h = pr.Bottom - c->FAnchorBottom - t;
            else t = pr.Bottom - c->FAnchorBottom - h;
        }
        if (l != c->Left() || t != c->Top() || w != c->Width() || h != c->Height()) c->SetBounds(l, t, w, h);
    }
}

void TWinControl::Invalidate() {
    // Checked here too: a grid filled before its form shows asks once per cell.
    if (FHandleImpl->Widget && !WholeInvalidHeld(FHandleImpl.get(), true)) InvalidateClient(this, QRect());
}

void TWinControl::Repaint() {
    if (!HandleAllocated()) return;
    InvalidateClient(this, QRect());
    FHandleImpl->Widget->repaint();
}

void TWinControl::Update() {
    if (HandleAllocated()) UpdateWindow(FHandleImpl->Handle);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool moved = ALeft != FLeft || ATop != FTop;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    Perform(WM_WINDOWPOSCHANGING);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (sized) FHandleImpl->FrameKnown = false;
    if (HandleAllocated()) PlaceWidget(this);
    BoundsChanged();
    Perform(WM_WINDOWPOSCHANGED);
    if (moved) Perform(WM_MOVE, 0, MakeLParam(FLeft, FTop));
    if (sized) Perform(WM_SIZE, 0, MakeLParam(FWidth, FHeight));
}

void TWinControl::BoundsChanged() { TControl::BoundsChanged(); }

namespace {
// A changed frame asks the window for its client area again.
void ReframeWindow(TWinControl* Control) {
    if (Control->HandleAllocated())
        SetWindowPos(Control->Handle(), 0, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

template <typename T>
void SetFrameValue(TWinControl* Control, T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    ReframeWindow(Control);
}
}  // namespace

void TWinControl::SetBevelInner(TBevelCut Value) { SetFrameValue(this, FBevelInner, Value); }
void TWinControl::SetBevelOuter(TBevelCut Value) { SetFrameValue(this, FBevelOuter, Value); }
void TWinControl::SetBevelKind(TBevelKind Value) { SetFrameValue(this, FBevelKind, Value); }
void TWinControl::SetBevelEdges(TBevelEdges Value) { SetFrameValue(this, FBevelEdges, Value); }
void TWinControl::SetBevelWidth(int Value) { SetFrameValue(this, FBevelWidth, std::max(1, Value)); }
void TWinControl::SetBorderWidth(int Value) { SetFrameValue(this, FBorderWidth, std::max(0, Value)); }

TRect TWinControl::ClientRect() const {
    const TRect c = ClientInWindow(const_cast<TWinControl*>(this));
    return Rect(0, 0, std::max(0, c.Right - c.Left), std::max(0, c.Bottom - c.Top));
}

TPoint TWinControl::ClientOrigin() const {
    const TRect c = ClientInWindow(const_cast<TWinControl*>(this));
    if (HandleAllocated()) {
        QPoint p = FHandleImpl->Widget->mapToGlobal(QPoint(0, 0));
        return {p.x() + c.Left, p.y() + c.Top};
    }
    TPoint o = (FHandleImpl->Style & kPopupStyle) ? TPoint{FLeft, FTop} : TControl::ClientOrigin();
    return {o.X + c.Left, o.Y + c.Top};
}

void TWinControl::SetVisible(bool Value) { TControl::SetVisible(Value); }

void TWinControl::SetText(const String& Value) { TControl::SetText(Value); }

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        Word key = Message.CharCode();
        KeyDown(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        Word key = Message.CharCode();
        KeyUp(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        Char ch = Char(Message.CharCode());
        KeyPress(ch);
        Message.SetCharCode(Word(ch));
        if (ch == 0) return true;
    }
    return false;
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::PaintControls(TCanvas& Canvas, TControl* First) {
    bool started = First == nullptr;
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!started) {
            started = c == First;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        int saved = Canvas.SaveDC();
        Canvas.OffsetViewportOrg(c->Left(), c->Top());
        Canvas.IntersectClipRect(0, 0, c->Width(), c->Height());
        try {
            c->PaintControl(Canvas);
        } catch (...) {
            Canvas.RestoreDC(saved);
            throw;
        }
        Canvas.RestoreDC(saved);
    }
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: { TWMFocus m(Message); WMSetFocus(m); break; }
    case WM_KILLFOCUS: { TWMFocus m(Message); WMKillFocus(m); break; }
    case WM_KEYDOWN: { TWMKey m(Message); WMKeyDown(m); break; }
    case WM_KEYUP: { TWMKey m(Message); WMKeyUp(m); break; }
    case WM_SYSKEYDOWN: { TWMKey m(Message); WMSysKeyDown(m); break; }
    case WM_SYSKEYUP: { TWMKey m(Message); WMSysKeyUp(m); break; }
    case WM_CHAR: { TWMKey m(Message); WMChar(m); break; }
    case WM_SYSCHAR: { TWMKey m(Message); WMSysChar(m); break; }
    case WM_SIZE: { TWMSize m(Message); WMSize(m); break; }
    case WM_MOVE: { TWMMove m(Message); WMMove(m); break; }
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_TIMER: { TWMTimer m(Message); WMTimer(m); break; }
    case WM_GETDLGCODE: WMGetDlgCode(Message); break;
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_SETREDRAW: WMSetRedraw(Message); break;
    case WM_COMMAND: { TWMCommand m(Message); WMCommand(m); break; }
    case WM_NOTIFY: WMNotify(Message); break;
    case WM_HSCROLL: { TWMScroll m(Message); WMHScroll(m); break; }
    case WM_VSCROLL: { TWMScroll m(Message); WMVScroll(m); break; }
    case CN_KEYDOWN: { TWMKey m(Message); CNKeyDown(m); break; }
    case CN_KEYUP: { TWMKey m(Message); CNKeyUp(m); break; }
    case CN_CHAR: { TWMKey m(Message); CNChar(m); break; }
    case CN_SYSKEYDOWN: { TWMKey m(Message); CNSysKeyDown(m); break; }
    case CN_SYSCHAR: { TWMKey m(Message); CNSysChar(m); break; }
    case CN_COMMAND: { TWMCommand m(Message); CNCommand(m); break; }
    case CN_NOTIFY: CNNotify(Message); break;
    case CN_HSCROLL: { TWMScroll m(Message); CNHScroll(m); break; }
    case CN_VSCROLL: { TWMScroll m(Message); CNVScroll(m); break; }
    case WM_NCCALCSIZE: WMNCCalcSize(Message); break;
    case WM_NCHITTEST: WMNCHitTest(Message); break;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); break;
    case CM_WANTSPECIALKEY: { TWMKey m(Message); CMWantSpecialKey(m); break; }
    case CM_ENTER: CMEnter(Message); break;
    case CM_EXIT: CMExit(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (RunNativeDefault(this, Message)) return;
    if (NonClientDefault(this, Message)) return;
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = NativeDlgCode(); break;
    default: break;
    }
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) {
    DefaultHandler(Message.Message);
    if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TWMKillFocus& Message) { DefaultHandler(Message.Message); }

void TWinControl::WMKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.Message);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.Message);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.Message);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.Message);
}

void TWinControl::WMChar(TWMKey& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message.Message);
}

void TWinControl::WMSysChar(TWMKey& Message) { DefaultHandler(Message.Message); }

void TWinControl::WMSize(TWMSize& Message) {
    DefaultHandler(Message.Message);
    Realign();
    Resize();
}

void TWinControl::WMMove(TWMMove& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMPaint(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMEraseBkgnd(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMNCPaint(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMTimer(TWMTimer& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMGetDlgCode(TMessage& Message) { DefaultHandler(Message); }

namespace {
QPointer<QWidget> CursorWidget;
TCursor LastShownCursor = crDefault;
}

TCursor ShownCursor() { return LastShownCursor; }

void SetCursor(TCursor Cursor) {
    if (!CursorWidget) return;
    LastShownCursor = Cursor;
    if (Cursor == crDefault) CursorWidget->unsetCursor();
    else CursorWidget->setCursor(ToQCursor(Cursor));
}

namespace {
std::map<HWND, int> HiddenCarets;

// The style of a standard window whose caret is hidden: a caret 0 pixels wide.
class TNoCaretStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        return m == PM_TextCursorWidth ? 0 : QProxyStyle::pixelMetric(m, o, w);
    }
};

void ApplyCaret(HWND h) {
    TWinControl* c = FindControl(h);
    if (!c) return;
    if (!c->HandleImpl()->CustomPainted) {
        QWidget* w = c->HandleImpl()->Widget;
        if (IsCaretHidden(h)) {
            auto* style = new TNoCaretStyle;
            style->setParent(w);
            w->setStyle(style);
        } else {
            w->setStyle(QApplication::style());
        }
    }
    c->Invalidate();
}
}  // namespace

bool IsCaretHidden(HWND Handle) {
    auto it = HiddenCarets.find(Handle);
    return it != HiddenCarets.end() && it->second > 0;
}

bool HideCaret(HWND Handle) {
    if (!FindControl(Handle)) return false;
    if (HiddenCarets[Handle]++ == 0) ApplyCaret(Handle);
    return true;
}

bool ShowCaret(HWND Handle) {
    auto it = HiddenCarets.find(Handle);
    if (it == HiddenCarets.end() || it->second == 0 || !FindControl(Handle)) return false;
    if (--it->second == 0) {
        HiddenCarets.erase(it);
        ApplyCaret(Handle);
    }
    return true;
}

void TWinControl::WMSetCursor(TMessage& Message) {
    // Outside the client area: the sizing edges show the sizing cursors.
    const int hit = SmallInt(Word(Message.LParam & 0xFFFF));
    if (hit != HTCLIENT && hit > HTNOWHERE && HandleAllocated()) {
        static constexpr struct {
            int Hit;
            TCursor Cursor;
        } sizing[] = {{HTLEFT, crSizeWE}, {HTRIGHT, crSizeWE}, {HTTOP, crSizeNS}, {HTBOTTOM, crSizeNS},
                      {HTTOPLEFT, crSizeNWSE}, {HTBOTTOMRIGHT, crSizeNWSE}, {HTTOPRIGHT, crSizeNESW},
                      {HTBOTTOMLEFT, crSizeNESW}};
        TCursor cursor = crArrow;
        for (const auto& s : sizing)
            if (s.Hit == hit) cursor = s.Cursor;
        CursorWidget = FHandleImpl->Widget;
        SetCursor(cursor);
        Message.Result = 1;
        return;
    }
    if (Word(Message.LParam & 0xFFFF) == HTCLIENT && HandleAllocated()) {
        CursorWidget = FHandleImpl->Widget;
        TCursor cursor = Screen->Cursor();
        if (cursor == crDefault) {
            TControl* c = ControlAtPos(ScreenToClient(GetCursorPos()), false);
            if (c) cursor = c->Cursor();
            if (cursor == crDefault) cursor = FCursor;
        }
        SetCursor(cursor);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMSetRedraw(TMessage& Message) {
    FHandleImpl->Redraw = Message.WParam != 0;
    if (HandleAllocated()) FHandleImpl->Widget->setUpdatesEnabled(FHandleImpl->Redraw);
    DefaultHandler(Message);
}

void TWinControl::WMCommand(TWMCommand& Message) {
    if (TWinControl* c = FindControl(HWND(Message.Ctl())); c && c != this) {
        Message.Result = c->Perform(CN_COMMAND, Message.Message.WParam, Message.Message.LParam);
        return;
    }
    DefaultHandler(Message.Message);
}

void TWinControl::WMNotify(TMessage& Message) {
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (TWinControl* c = header ? FindControl(HWND(header->hwndFrom)) : nullptr; c && c != this) {
        Message.Result = c->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMHScroll(TWMScroll& Message) {
    if (TWinControl* c = FindControl(HWND(Message.ScrollBar())); c && c != this) {
        Message.Result = c->Perform(CN_HSCROLL, Message.Message.WParam, Message.Message.LParam);
        return;
    }
    DefaultHandler(Message.Message);
}

void TWinControl::WMVScroll(TWMScroll& Message) {
    if (TWinControl* c = FindControl(HWND(Message.ScrollBar())); c && c != this) {
        Message.Result = c->Perform(CN_VSCROLL, Message.Message.WParam, Message.Message.LParam);
        return;
    }
    DefaultHandler(Message.Message);
}

// A key first goes to the focused control as CN_KEYDOWN: navigation and
// dialog keys (Tab, arrows, Enter, Escape) go to the form as CM_DIALOGKEY
// unless the control wants them; a non-zero result means handled.
void TWinControl::CNKeyDown(TWMKey& Message) {
    Message.Result = 1;
    LRESULT mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& Message) { Message.Result = 0; }

// A character the control does not take goes to the form as CM_DIALOGCHAR
// (accelerators).
void TWinControl::CNChar(TWMKey& Message) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.KeyData()) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& Message) { Message.Result = 0; }

void TWinControl::CNSysChar(TWMKey& Message) {
    Message.Result = 0;
    if (Message.CharCode() != VK_SPACE) {
        TCustomForm* form = GetParentForm(this);
        if (form) Message.Result = form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.KeyData());
    }
}

void TWinControl::CNCommand(TWMCommand& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMNCCalcSize(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMNCHitTest(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMNCLButtonDown(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::CNNotify(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::CNHScroll(TWMScroll& Message) { DefaultHandler(Message.Message); }
void TWinControl::CNVScroll(TWMScroll& Message) { DefaultHandler(Message.Message); }

void TWinControl::CMDialogKey(TCMDialogKey& Message) { Broadcast(Message.Message); }
void TWinControl::CMDialogChar(TCMDialogChar& Message) { Broadcast(Message.Message); }
void TWinControl::CMWantSpecialKey(TCMWantSpecialKey& Message) { DefaultHandler(Message.Message); }
void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMEnter(TMessage& Message) { DoEnter(); }
void TWinControl::CMExit(TMessage& Message) { DoExit(); }
void TWinControl::CMShowingChanged(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (HandleAllocated()) FHandleImpl->Widget->setEnabled(FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    ApplyFontAndColor(this);
    NotifyControls(CM_PARENTFONTCHANGED);
    Invalidate();
}

void TWinControl::CMColorChanged(TMessage& Message) {
    FBrush.SetColor(FColor);
    ApplyFontAndColor(this);
    NotifyControls(CM_PARENTCOLORCHANGED);
    Invalidate();
}

void TWinControl::AddBiDiModeExStyle(Cardinal& ExStyle) const {
    if (UseRightToLeftReading()) ExStyle |= WS_EX_RTLREADING;
    if (UseRightToLeftScrollBar()) ExStyle |= WS_EX_LEFTSCROLLBAR;
    if (UseRightToLeftAlignment()) {
        if (GetControlsAlignment() == taLeftJustify) ExStyle |= WS_EX_RIGHT;
        else if (GetControlsAlignment() == taRightJustify) ExStyle &= ~WS_EX_RIGHT;
    }
}

void TWinControl::CMBiDiModeChanged(TMessage& Message) {
    if (HandleAllocated()) RecreateWnd();
    NotifyControls(CM_PARENTBIDIMODECHANGED);
    TControl::CMBiDiModeChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!HandleAllocated()) return;
    if (FHandleImpl->Style & kPopupStyle) {
        // A pop-up shows without taking the activation, on top of the others.
        if (FVisible) TopLevelRaised(this);
        FHandleImpl->Widget->setVisible(FVisible);
        if (FVisible) FHandleImpl->Widget->raise();
    } else if (FParent) {
        FHandleImpl->Widget->setVisible(FVisible);
    }
}

void TWinControl::CMCursorChanged(TMessage& Message) {
    if (!HandleAllocated()) return;
    if (FCursor == crDefault) FHandleImpl->Widget->unsetCursor();
    else FHandleImpl->Widget->setCursor(ToQCursor(FCursor));
}

// ---------------------------------------------------------------------------
// TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    EnsureControlLayer();
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintControl(TCanvas& ParentCanvas) {
    TCanvas* parent = &ParentCanvas;
    AttachCanvas(*FCanvas, [parent] { return CanvasImage(*parent); });
    TPoint org = ParentCanvas.ViewportOrg();
    FCanvas->SetViewportOrg(org.X, org.Y);
    FCanvas->SelectClipRgn(nullptr);
    FCanvas->IntersectClipRect(0, 0, FWidth, FHeight);
    try {
        Paint();
    } catch (...) {
        AttachCanvas(*FCanvas, {});
        throw;
    }
    AttachCanvas(*FCanvas, {});
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FBuffer(std::make_unique<TBitmap>()) {
    FBuffer->Canvas().OnChange = [this](TObject*) {
        // Drawing outside a paint (a direct call of Paint) shows at the next paint.
        if (HandleAllocated() && !FControlState.Contains(csCustomPaint)) FHandleImpl->Widget->update();
        // (The buffer keeps what was drawn: no Paint is needed to show it.)
    };
}

TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() {
    const TRect c = ClientRect();
    if (FBuffer->Width() != std::max(1, c.Right) || FBuffer->Height() != std::max(1, c.Bottom))
        FBuffer->SetSize(std::max(1, c.Right), std::max(1, c.Bottom));
    return FBuffer->Canvas();
}

TBitmap& TCustomControl::BackBuffer() { return *FBuffer; }

void TCustomControl::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this);
    AttachWidget(this, w, true);
}

void TCustomControl::Paint() {}

void TCustomControl::WMEraseBkgnd(TMessage& Message) {
    if (!FControlStyle.Contains(csOpaque)) {
        TColor back = FColor;
        if ((FHandleImpl->ExStyle & WS_EX_TRANSPARENT) && FParent) back = FParent->Color();
        QImage& img = BitmapImage(*FBuffer);
        if (FHandleImpl->Painting) {
            QPainter p(&img);
            p.setClipRegion(FHandleImpl->PaintArea);
            p.fillRect(img.rect(), ToQColor(back));
        } else {
            img.fill(ToQColor(back));
        }
    }
    Message.Result = 1;
}

void TCustomControl::WMPaint(TMessage& Message) {
    TCanvas& canvas = Canvas();
    // The background is erased when an invalidation asked for it.
    if (!FHandleImpl->Painting || FHandleImpl->EraseNeeded) Perform(WM_ERASEBKGND);
    FHandleImpl->EraseNeeded = false;
    // Only the part being painted changes; the rest of the buffer stays.
    const bool clipped = FHandleImpl->Painting;
    if (clipped) {
        TRegion area;
        RegionAccess::Of(area) = FHandleImpl->PaintArea;
        canvas.SelectClipRgn(&area);
    }
    FControlState.Include(csCustomPaint);
    try {
        Paint();
        PaintControls(canvas);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        if (clipped) canvas.SelectClipRgn(nullptr);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
    if (clipped) canvas.SelectClipRgn(nullptr);
}

// ---------------------------------------------------------------------------
// Painting and rendering
// ---------------------------------------------------------------------------
namespace {
// A paint that fails is reported once, after the paint (a box shown from
// inside a paint would cause the next failing paint); the same failure of
// the same window again is not reported until it has painted well.
std::map<HWND, std::string>& ReportedPaintFailures() {
    static std::map<HWND, std::string> reported;
    return reported;
}

void ReportPaintFailure(HWND Handle, const std::exception& E) {
    std::string what = E.what();
    std::string& last = ReportedPaintFailures()[Handle];
    if (last == what) return;
    last = what;
    QTimer::singleShot(0, [ep = std::current_exception()] {
        try {
            std::rethrow_exception(ep);
        } catch (...) {
            HandleCurrentException();
        }
    });
}
}  // namespace

void PaintInvalid(TWinControl* Control) {
    TWinControlHandle* h = Control->HandleImpl();
    auto* custom = h->CustomPainted ? dynamic_cast<TCustomControl*>(Control) : nullptr;
    if (!custom) return;
    const TRect client = Control->ClientRect();
    const QRect all(0, 0, client.Right, client.Bottom);
    // What needs painting: the update region, all of it when the buffer
    // does not hold the client area's pixels (new, or resized).
    QRegion area = h->Invalid & all;
    const QImage& img = BitmapImage(custom->BackBuffer());
    if (img.width() != std::max(1, all.width()) || img.height() != std::max(1, all.height())) {
        area = all;
        h->EraseNeeded = true;
    }
    h->Invalid = QRegion();
    h->InvalidWhole = TRect{};
    if (area.isEmpty()) return;
    // What was drawn on the whole window is drawn again by the paint.
    h->Overlay = QImage();
    TMessage m;
    m.Msg = WM_PAINT;
    h->Painting = true;
    h->PaintArea = area;
    try {
        PerformWithNative(Control, m, [] {});
        ReportedPaintFailures().erase(h->Handle);
    } catch (const std::exception& e) {
        ReportPaintFailure(h->Handle, e);
    }
    if (FindControl(h->Handle)) {
        h->Painting = false;
        h->PaintArea = QRegion();
    }
}

namespace {

// A painter for the widget being painted, in the widget's coordinates. A
// scroll area (list, memo, tree) gets the paint events of its viewport, and
// only the viewport may be painted then: a painter on the area itself would
// have no paint engine.
void BeginHostPainter(QPainter& p, QWidget* Widget) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(Widget)) {
        p.begin(area->viewport());
        p.translate(-area->viewport()->pos());
        return;
    }
    p.begin(Widget);
}

}  // namespace

void PaintHostWidget(TWinControl* Control, QWidget* Widget, QPaintEvent* Event,
                     const std::function<void()>& BasePaint) {
    TWinControlHandle* h = Control->HandleImpl();
    const TRect client = ClientInWindow(Control);
    const QRect clientArea(client.Left, client.Top, std::max(0, client.Right - client.Left),
                           std::max(0, client.Bottom - client.Top));
    const QPoint clientOrg = clientArea.topLeft();
    auto* custom = h->CustomPainted ? dynamic_cast<TCustomControl*>(Control) : nullptr;
    const HWND handle = h->Handle;
    if (custom) {
        PaintInvalid(Control);
    } else {
        // A standard window paints itself: the part Qt asks for.
        QRegion area = Event->region().translated(-clientOrg) & QRect(QPoint(0, 0), clientArea.size());
        h->Invalid = QRegion();
        h->InvalidWhole = TRect{};
        // What was drawn on the whole window is drawn again by the paint.
        h->Overlay = QImage();
        auto paintNative = [&] {
            BasePaint();
            // Windowless children on top of the window's own painting, only
            // those in the part being painted (children's updates repaint small
            // parts of their parent often).
            QRect bounds = area.boundingRect();
            std::vector<TControl*> inArea;
            for (int i = 0; i < Control->ControlCount(); ++i) {
                TControl* c = Control->Controls(i);
                if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
                if (bounds.intersects(QRect(c->Left(), c->Top(), c->Width(), c->Height()))) inArea.push_back(c);
            }
            if (inArea.empty() || bounds.isEmpty()) return;
            QImage layer(bounds.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            TCanvas canvas;
            AttachCanvas(canvas, [&layer] { return &layer; });
            for (TControl* c : inArea) {
                int saved = canvas.SaveDC();
                canvas.SetViewportOrg(c->Left() - bounds.left(), c->Top() - bounds.top());
                canvas.IntersectClipRect(0, 0, c->Width(), c->Height());
                TControlAccess::Paint(c, canvas);
                canvas.RestoreDC(saved);
            }
            AttachCanvas(canvas, {});
            QPainter p;
            BeginHostPainter(p, Widget);
            p.setClipRect(clientArea);
            p.drawImage(bounds.topLeft() + clientOrg, layer);
        };
        TMessage m;
        m.Msg = WM_PAINT;
        h->Painting = true;
        h->PaintArea = area;
        try {
            PerformWithNative(Control, m, paintNative);
            ReportedPaintFailures().erase(h->Handle);
        } catch (const std::exception& e) {
            ReportPaintFailure(h->Handle, e);
        }
        if (!FindControl(handle)) return;
        h->Painting = false;
        h->PaintArea = QRegion();
    }
    if (!FindControl(handle)) return;
    QPainter p;
    BeginHostPainter(p, Widget);
    if (h->HasRegion) p.setClipRegion(h->Region);
    if (custom) p.drawImage(clientOrg, BitmapImage(custom->BackBuffer()), QRect(QPoint(0, 0), clientArea.size()));
    // The frame, on a canvas of the whole window.
    if (clientArea != Widget->rect()) {
        QImage frame(Widget->size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        TCanvas canvas;
        AttachCanvas(canvas, [&frame] { return &frame; });
        try {
            TMessage m;
            m.Msg = WM_NCPAINT;
            m.WParam = 1;
            m.LParam = LPARAM(&canvas);
            DeliverMessage(Control, m);
        } catch (const std::exception& e) {
            ReportPaintFailure(handle, e);
        }
        AttachCanvas(canvas, {});
        if (!FindControl(handle)) return;
        p.save();
        p.setClipRegion(QRegion(Widget->rect()) - QRegion(clientArea) & (h->HasRegion ? h->Region : QRegion(Widget->rect())));
        p.drawImage(0, 0, frame);
        p.restore();
    }
    if (!h->Overlay.isNull()) p.drawImage(0, 0, h->Overlay);
    // A layered window shows its picture, alpha and all.
    if (h->HasLayeredImage) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, h->LayeredImage);
    }
}

namespace {
bool RenderingHidden = false;
}

bool IsRenderingHidden() { return RenderingHidden; }

namespace {
// A rendering paints everything anew, as a paint of a whole uncovered window does.
void InvalidateTree(TWinControl* Control) {
    Control->HandleImpl()->Invalid = QRect(0, 0, 1 << 20, 1 << 20);
    Control->HandleImpl()->EraseNeeded = true;
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Control->Controls(i))) InvalidateTree(w);
}
}  // namespace

void RenderControlToBitmap(TControl* Control, TBitmap& Bitmap) {
    int w = std::max(1, Control->Width()), h = std::max(1, Control->Height());
    Bitmap.SetSize(w, h);
    if (auto* win = dynamic_cast<TWinControl*>(Control)) {
        InvalidateTree(win);
        QWidget* widget = WidgetOf(win);
        QWidget* top = widget->window();
        bool showForRender = !top->isVisible();
        if (showForRender) {
            RenderingHidden = true;
            top->setAttribute(Qt::WA_DontShowOnScreen, true);
            top->show();
        }
        QImage img(widget->size(), QImage::Format_RGB32);
        img.fill(ToQColor(win->Color()));
        widget->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        if (showForRender) {
            top->hide();
            top->setAttribute(Qt::WA_DontShowOnScreen, false);
            RenderingHidden = false;
        }
        BitmapImage(Bitmap) = img.copy(0, 0, w, h).convertToFormat(QImage::Format_RGB32);
        return;
    }
    QImage& img = BitmapImage(Bitmap);
    img.fill(ToQColor(Control->Parent() ? Control->Parent()->Color() : clBtnFace));
    TCanvas canvas;
    AttachCanvas(canvas, [&img] { return &img; });
    TControlAccess::Paint(Control, canvas);
    AttachCanvas(canvas, {});
}

void SaveControlToPng(TControl* Control, const String& FileName) {
    TBitmap bmp;
    RenderControlToBitmap(Control, bmp);
    bmp.SaveToPngFile(FileName);
}
