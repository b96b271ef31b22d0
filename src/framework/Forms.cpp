#include "framework/Forms.h"

#include "framework/Controls_p.h"
#include "framework/Dialogs.h"
#include "framework/Graphics_p.h"
#include "framework/Threads.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {
TApplication* TheApplication = nullptr;
TScreen* TheScreen = nullptr;
std::vector<TCustomForm*> ModalStack;

QString ToQString(const String& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
}  // namespace

const TApplicationRef Application;
const TScreenRef Screen;

TApplication* TApplicationRef::operator->() const {
    if (!TheApplication) TheApplication = new TApplication;
    return TheApplication;
}
TApplicationRef::operator TApplication*() const { return operator->(); }

TScreen* TScreenRef::operator->() const {
    if (!TheScreen) TheScreen = new TScreen;
    return TheScreen;
}
TScreenRef::operator TScreen*() const { return operator->(); }

TCustomForm* TopModalForm() { return ModalStack.empty() ? nullptr : ModalStack.back(); }

void HintControlGone(TControl* Control) {
    if (TheApplication) TheApplication->ControlFreed(Control);
}

String GetShortHint(const String& Hint) {
    auto bar = Hint.find(u'|');
    return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint) {
    auto bar = Hint.find(u'|');
    return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------
// TCustomForm
// ---------------------------------------------------------------------------
TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FWidth = 320;
    FHeight = 240;
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    Destroying();
    ModalStack.erase(std::remove(ModalStack.begin(), ModalStack.end(), this), ModalStack.end());
    if (TheScreen) {
        if (TheScreen->ActiveForm() == this) TheScreen->SetActiveForm(nullptr);
        TheScreen->RemoveForm(this);
    }
    if (TheApplication) TheApplication->FormDestroyed(this);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    DoCreate();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Resize() { TWinControl::Resize(); }

void TCustomForm::CreateParams(TCreateParams& Params) { TWinControl::CreateParams(Params); }

void TCustomForm::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this, nullptr, Qt::Window);
    w->setAutoFillBackground(true);
    w->setWindowTitle(ToQString(Text()));
    AttachWidget(this, w, false);
    ApplyWindowFlags();
}

void TCustomForm::ApplyWindowFlags() {
    if (!HandleAllocated()) return;
    QWidget* w = HandleImpl()->Widget;
    Qt::WindowFlags f = Qt::Window;
    switch (FBorderStyle) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow: case bsSizeToolWin: f = Qt::Tool; break;
    default:
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (FBorderIcons.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (FBorderIcons.Contains(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
        if (FBorderIcons.Contains(biMaximize) && FBorderStyle == bsSizeable) f |= Qt::WindowMaximizeButtonHint;
        break;
    }
    if (FFormStyle == fsStayOnTop || (HandleImpl()->ExStyle & 0x00000008u /* WS_EX_TOPMOST */))
        f |= Qt::WindowStaysOnTopHint;
    // A frameless form casts a shadow only with the drop-shadow class style.
    if (FBorderStyle == bsNone && !(HandleImpl()->ClassStyle & 0x00020000u /* CS_DROPSHADOW */))
        f |= Qt::NoDropShadowWindowHint;
    // A pop-up parent owns the window: it stays above it.
    QWidget* owner = FPopupParent && FPopupParent->HandleAllocated() ? FPopupParent->HandleImpl()->Widget.data() : nullptr;
    if (w->parentWidget() != owner) {
        const bool visible = w->isVisible();
        w->setParent(owner, f);
        if (visible) w->show();
    }
    bool wasVisible = w->isVisible();
    if (w->windowFlags() != f) w->setWindowFlags(f);
    bool fixed = FBorderStyle == bsSingle || FBorderStyle == bsDialog || FBorderStyle == bsNone || FBorderStyle == bsToolWindow;
    if (fixed) w->setFixedSize(std::max(0, FWidth), std::max(0, FHeight));
    else {
        // The window manager's sizing keeps the constraints too.
        w->setMinimumSize(FConstraints.MinWidth, FConstraints.MinHeight);
        w->setMaximumSize(FConstraints.MaxWidth > 0 ? FConstraints.MaxWidth : QWIDGETSIZE_MAX,
                          FConstraints.MaxHeight > 0 ? FConstraints.MaxHeight : QWIDGETSIZE_MAX);
    }
    w->setWindowOpacity(FAlphaBlend ? FAlphaBlendValue / 255.0 : 1.0);
    if (wasVisible && !w->isVisible()) w->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    FBorderStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (!HandleAllocated()) return;
    QWidget* w = HandleImpl()->Widget;
    if (Value == wsMinimized) w->setWindowState(Qt::WindowMinimized);
    else if (Value == wsMaximized) w->setWindowState(Qt::WindowMaximized);
    else w->setWindowState(Qt::WindowNoState);
}

void TCustomForm::SetPopupParent(TCustomForm* Value) {
    if (Value == this) Value = nullptr;
    if (FPopupParent == Value) return;
    if (FPopupParent) FPopupParent->RemoveFreeNotification(this);
    FPopupParent = Value;
    if (Value) Value->FreeNotification(this);
    ApplyWindowFlags();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupParent) {
        FPopupParent = nullptr;
        ApplyWindowFlags();
    }
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (MaxWidth > 0) Width = std::min(Width, MaxWidth);
    if (MaxHeight > 0) Height = std::min(Height, MaxHeight);
    Width = std::max(Width, MinWidth);
    Height = std::max(Height, MinHeight);
}

void TCustomForm::SetConstraints(const TSizeConstraints& Value) {
    FConstraints = Value;
    ApplyWindowFlags();
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TCustomForm::SetAlphaBlend(bool Value) {
    FAlphaBlend = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
    FAlphaBlendValue = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FConstraints.Apply(AWidth, AHeight);
    bool sized = AWidth != FWidth || AHeight != FHeight;
    if (sized && HandleAllocated()) {
        QWidget* w = HandleImpl()->Widget;
        if (w->minimumSize() == w->maximumSize()) w->setFixedSize(std::max(0, AWidth), std::max(0, AHeight));
    }
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TCustomForm::SetClientWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
void TCustomForm::SetClientHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }

TPoint TCustomForm::ClientOrigin() const { return TWinControl::ClientOrigin(); }

// Asked for every cell a grid fills: the widget is read directly.
bool TCustomForm::Showing() const {
    const QWidget* w = HandleImpl()->Widget;
    return FVisible && w && w->isVisible();
}

bool TCustomForm::CanFocus() const { return FVisible && FEnabled; }

void TCustomForm::SetVisible(bool Value) {
    if (FVisible == Value) {
        if (Value && HandleAllocated() && !HandleImpl()->Widget->isVisible()) HandleImpl()->Widget->show();
        return;
    }
    QWidget* w = WidgetOf(this);
    if (Value) {
        AfterConstruction();
        if (!FPositioned) {
            FPositioned = true;
            TRect area = Screen->WorkAreaRect();
            TRect center = area;
            if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
                TCustomForm* main = TheApplication ? TheApplication->MainForm() : nullptr;
                if (main && main != this && main->Visible()) center = main->BoundsRect();
            }
            if (FPosition != poDesigned && FPosition != poDefaultSizeOnly) {
                // Centred, but never above or left of the work area (the title bar stays reachable).
                int l = center.Left + ((center.Right - center.Left) - FWidth) / 2;
                int t = center.Top + ((center.Bottom - center.Top) - FHeight) / 2;
                SetBounds(std::max(l, area.Left), std::max(t, area.Top), FWidth, FHeight);
            }
        }
        FVisible = true;
        FFormState.Include(fsVisible);
        FFormState.Include(fsShowing);
        try {
            DoShow();
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        FFormState.Exclude(fsShowing);
        w->setGeometry(FLeft, FTop, std::max(0, FWidth), std::max(0, FHeight));
        w->setAttribute(Qt::WA_ShowWithoutActivating, FShowNoActivate);
        w->show();
        TopLevelRaised(this);
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
        if (!FShowNoActivate) {
            w->activateWindow();
            SetActive(true);
        }
    } else {
        bool wasActive = FActive;
        if (FActive) SetActive(false);
        FVisible = false;
        FFormState.Exclude(fsVisible);
        DoHide();
        w->hide();
        if (wasActive && TheScreen) {
            // The form below takes over: the modal owner, or the last visible form.
            TCustomForm* next = TopModalForm();
            if (!next || !next->Visible()) {
                next = nullptr;
                for (int i = TheScreen->FormCount() - 1; i >= 0; --i) {
                    TCustomForm* f = TheScreen->Forms(i);
                    if (f != this && f->Visible()) {
                        next = f;
                        break;
                    }
                }
            }
            if (next) next->SetActive(true);
        }
    }
}

void TCustomForm::Show() {
    SetVisible(true);
}

void TCustomForm::ShowNoActivate() {
    FShowNoActivate = true;
    try {
        SetVisible(true);
    } catch (...) {
        FShowNoActivate = false;
        throw;
    }
    FShowNoActivate = false;
}

void TCustomForm::Hide() { SetVisible(false); }

namespace {
// The form taking the activation while the active one loses it.
TCustomForm* ActivationTaker = nullptr;
}  // namespace

void TCustomForm::SetActive(bool Value) {
    if (FActive == Value) return;
    if (Value) {
        TCustomForm* old = TheScreen ? TheScreen->ActiveForm() : nullptr;
        if (old == this) old = nullptr;
        if (old) {
            TCustomForm* outer = ActivationTaker;
            ActivationTaker = this;
            try {
                old->SetActive(false);
            } catch (...) {
                ActivationTaker = outer;
                throw;
            }
            ActivationTaker = outer;
        }
        FActive = true;
        Screen->SetActiveForm(this);
        if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
        // WM_ACTIVATE names the window that lost the activation (0: none of ours).
        Perform(WM_ACTIVATE, WA_ACTIVE, old ? LPARAM(old->HandleImpl()->Handle) : 0);
        if (!FActive) return;
        Perform(CM_ACTIVATE);
        if (FActive) {
            // Focus the active control (or the form).
            TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
            if (target) {
                if (target->HandleAllocated()) target->HandleImpl()->Widget->setFocus(Qt::ActiveWindowFocusReason);
                if (FFocusedControl != target) {
                    TWinControl* old = FFocusedControl;
                    if (old && old != this) old->Perform(WM_KILLFOCUS, target->Handle());
                    target->Perform(WM_SETFOCUS, old ? old->Handle() : 0);
                }
            } else if (HandleAllocated()) {
                HandleImpl()->Widget->setFocus(Qt::ActiveWindowFocusReason);
            }
        }
    } else {
        FActive = false;
        if (TheScreen && TheScreen->ActiveForm() == this) TheScreen->SetActiveForm(nullptr);
        Perform(WM_ACTIVATE, WA_INACTIVE, ActivationTaker ? LPARAM(ActivationTaker->HandleImpl()->Handle) : 0);
        Perform(CM_DEACTIVATE);
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && (Control == this || GetParentForm(Control) != this || !Control->CanFocus()))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (FActive && Control) {
        if (Control->HandleAllocated()) Control->HandleImpl()->Widget->setFocus(Qt::OtherFocusReason);
        // The control left may have sent the focus elsewhere meanwhile (back
        // into a field whose exit refused its text): that stands.
        if (FActiveControl != Control) return;
        if (FFocusedControl != Control) {
            TWinControl* old = FFocusedControl;
            if (old && old != this) old->Perform(WM_KILLFOCUS, Control->Handle());
            Control->Perform(WM_SETFOCUS, old ? old->Handle() : 0);
        }
    }
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
    if (FActive) return;
    if (!(FVisible && FEnabled)) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (HandleAllocated()) HandleImpl()->Widget->activateWindow();
    SetActive(true);
}

namespace {
// Counts the focus changes: an exit handler that moves the focus elsewhere
// (back into a field it refused) ends the change it interrupted.
int Focus_Count = 0;
}  // namespace

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    const int count = ++Focus_Count;
    if (Control != this) FActiveControl = Control;
    else FActiveControl = nullptr;
    if (Control->ControlState().Contains(csFocusing)) return false;
    Control->SetControlState(Control->ControlState() + TControlState{csFocusing});
    HWND handle = Control->Handle();
    auto done = [&] {
        if (FindControl(handle)) Control->SetControlState(Control->ControlState() - TControlState{csFocusing});
    };
    try {
        if (!FFocusedControl) FFocusedControl = this;
        if (FFocusedControl != Control) {
            // Exit from the old control up to the common parent, enter down to the new one.
            while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
                TWinControl* leaving = FFocusedControl;
                FFocusedControl = FFocusedControl->Parent();
                leaving->Perform(CM_EXIT);
                if (Focus_Count != count) {
                    done();
                    return false;
                }
            }
            while (FFocusedControl != Control) {
                TWinControl* temp = Control;
                while (temp->Parent() != FFocusedControl) temp = temp->Parent();
                FFocusedControl = temp;
                temp->Perform(CM_ENTER);
            }
            Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
        }
    } catch (...) {
        done();
        throw;
    }
    done();
    return true;
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    AfterConstruction();
    BeginModalInput();
    Application->CancelHint();
    FFormState.Include(fsModal);
    ModalStack.push_back(this);
    QWidget* w = WidgetOf(this);
    w->setWindowModality(Qt::ApplicationModal);
    FModalResult = mrNone;
    auto cleanup = [&] {
        FFormState.Exclude(fsModal);
        ModalStack.erase(std::remove(ModalStack.begin(), ModalStack.end(), this), ModalStack.end());
        if (FVisible) Hide();
        if (HandleAllocated()) HandleImpl()->Widget->setWindowModality(Qt::NonModal);
    };
    try {
        Show();
        DialogService()->ModalFormShown(this);
        for (;;) {
            if (Application->Terminated()) FModalResult = mrCancel;
            else if (FModalResult != mrNone) CloseModal();
            if (FModalResult != mrNone) break;
            Application->HandleMessage();
        }
    } catch (...) {
        cleanup();
        throw;
    }
    cleanup();
    return FModalResult;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) FModalResult = mrNone;
    else if (action == caFree) Release();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (TheApplication && TheApplication->MainForm() == this) TheApplication->Terminate();
    else if (action == caHide) Hide();
    else if (action == caMinimize) SetWindowState(wsMinimized);
    else Release();
}

void TCustomForm::CloseBoxPressed() { Close(); }

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE); }

void TCustomForm::CMDialogKey(TCMDialogKey& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default: break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

void TCustomForm::CMShowingChanged(TMessage& Message) { DefaultHandler(Message); }

void TCustomForm::WMPaint(TMessage& Message) { DefaultHandler(Message); }

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (HandleAllocated()) HandleImpl()->Widget->setWindowTitle(ToQString(Text()));
        break;
    case CM_RELEASE:
        delete this;
        return;
    case CM_ACTIVATE: Activate(); break;
    case CM_DEACTIVATE: Deactivate(); break;
    default: TWinControl::Dispatch(Message); break;
    }
}

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------
THintWindowFactory HintWindowClass = [](TComponent* Owner) { return new THintWindow(Owner); };

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FColor = clInfoBk;
    Font().Assign(&Screen->HintFont());
}

void THintWindow::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this, nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    AttachWidget(this, w, true);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData) {
    TRect r = Rect(0, 0, MaxWidth, 0);
    TCanvas& c = Canvas();
    c.SetFont(Font());
    c.DrawText(AHint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
    SetText(AHint);
    SetBounds(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    FVisible = true;
    QWidget* w = WidgetOf(this);
    w->setGeometry(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    w->show();
    Invalidate();
}

bool THintWindow::IsHintMsg(const TMessage& Msg) {
    constexpr Cardinal WM_NCMOUSEMOVE_ = 0x00A0, WM_NCLBUTTONDOWN_ = 0x00A1;
    constexpr Cardinal WM_ACTIVATEAPP_ = 0x001C;
    switch (Msg.Msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case CM_ACTIVATE: case CM_DEACTIVATE: case WM_ACTIVATEAPP_:
    case WM_NCMOUSEMOVE_: case WM_NCLBUTTONDOWN_:
        return true;
    default:
        return Msg.Msg >= WM_KEYFIRST && Msg.Msg <= WM_KEYLAST;
    }
}

void THintWindow::ReleaseHandle() {
    FVisible = false;
    if (HandleAllocated()) HandleImpl()->Widget->hide();
}

void THintWindow::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(r);
    c.Brush().SetColor(clInfoText);
    c.FrameRect(r);
    c.SetFont(Font());
    c.Brush().SetStyle(bsClear);
    TRect t = r;
    t.Left += 2;
    t.Top += 1;
    c.DrawText(Text(), t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------
struct TApplication::THintTimers {
    QTimer Show;
    QTimer Hide;
};

TApplication::TApplication() : TComponent(nullptr), FHintTimers(std::make_unique<THintTimers>()) {
    EnsureControlLayer();
    TheApplication = this;
    FTitle = u"configurator";
    FHintTimers->Show.setSingleShot(true);
    FHintTimers->Hide.setSingleShot(true);
    QObject::connect(&FHintTimers->Show, &QTimer::timeout, [this] { Guarded([this] { HintTimerExpired(); }); });
    QObject::connect(&FHintTimers->Hide, &QTimer::timeout, [this] { Guarded([this] { HideHint(); }); });
}

TApplication::~TApplication() {
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) {
            Guarded([f] { f->DoDestroy(); });
        }
    DestroyComponents();
    if (TheApplication == this) TheApplication = nullptr;
}

void TApplication::Initialize() {}

void TApplication::FormCreated(TCustomForm* Form) {
    if (!FMainForm) FMainForm = Form;
    Form->AfterConstruction();
}

void TApplication::FormDestroyed(TCustomForm* Form) {
    if (FMainForm == Form) FMainForm = nullptr;
}

String TApplication::ExeName() const { return Utf8ToString(QCoreApplication::applicationFilePath().toStdString()); }

void TApplication::Run() {
    if (FMainForm && ShowMainForm) Guarded([this] { FMainForm->Show(); });
    while (!FTerminated) HandleMessage();
}

namespace {
// Windows of freed controls go once no handler that may use them runs.
void FlushFreedWindows() {
    if (!InsideHandler()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

void TApplication::HandleMessage() {
    FlushFreedWindows();
    bool ran = false;
    Guarded([&] { ran = CheckSynchronize(); });
    if (ran || FTerminated) return;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    if (OnIdle) Guarded([this] { OnIdle(this); });
}

void TApplication::ProcessMessages() {
    Guarded([] { CheckSynchronize(); });
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    FlushFreedWindows();
}

void TApplication::Terminate() {
    FTerminated = true;
    if (auto* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

void TApplication::HandleException(const std::exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;
    const auto* ours = dynamic_cast<const Exception*>(&E);
    Exception wrapped(std::string_view(E.what()));
    const Exception& ex = ours ? *ours : wrapped;
    if (OnException) OnException(this, ex);
    else ShowException(ex);
}

void TApplication::ShowException(const Exception& E) {
    String msg = E.Message();
    if (!msg.empty() && msg.back() > u'.') msg += u'.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, Cardinal Flags) {
    return ::MessageBox(0, Text, Caption.empty() ? FTitle : Caption, Flags);
}

bool TApplication::HelpContext(int Context) {
    // CallHelp would hand the topic on to the platform's help, which there is none of.
    bool CallHelp = true;
    return OnHelp ? OnHelp(HELP_CONTEXT, Context, CallHelp) : false;
}

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    if (OnHint) OnHint(this);
}

void TApplication::HideHint() {
    FHintTimers->Hide.stop();
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
    FHintTimers->Show.stop();
    HideHint();
    FHintControl = nullptr;
    FHintActive = false;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    if (!Control) return;
    TControl* hc = Control;
    while (hc && !hc->ShowHint()) hc = hc->Parent();
    if (Message.Msg == WM_MOUSEMOVE) SetHint(hc ? GetLongHint(hc->Hint()) : String());
    if (!FShowHint || !hc) {
        CancelHint();
        return;
    }
    if (Message.Msg == WM_MOUSEMOVE) {
        // A new control, or leaving the part of the control the hint was
        // about (CursorRect, e.g. a grid cell), starts the hint anew.
        TPoint cursor = Control->ClientToScreen({SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
        if (hc != FHintControl || !PtInRect(FHintCursorRect, cursor)) {
            bool wasActive = FHintActive;
            HideHint();
            FHintControl = hc;
            TPoint o = hc->ClientToScreen({0, 0});
            FHintCursorRect = Rect(o.X, o.Y, o.X + hc->Width(), o.Y + hc->Height());
            int pause = wasActive ? HintShortPause : HintPause;
            // The control may ask for a pause of its own.
            hc->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, LPARAM(&pause));
            if (FHintControl != hc) return;
            FHintTimers->Show.start(std::max(pause, 0));
        }
    } else if (!FHintWindow || !FHintWindow->IsHintShowing() || FHintWindow->IsHintMsg(Message)) {
        CancelHint();
    }
}

bool TApplication::IsHintMsg(const TMessage& Msg) {
    if (!FHintWindow || !FHintWindow->IsHintShowing() || !FHintWindow->IsHintMsg(Msg)) return false;
    CancelHint();
    return true;
}

void TApplication::ControlFreed(TControl* Control) {
    if (FHintControl == Control) CancelHint();
}

void TApplication::HintTimerExpired() { ActivateHint(GetCursorPos()); }

void TApplication::ActivateHint(TPoint CursorPos) {
    TControl* hc = FHintControl;
    if (!hc) return;
    THintInfo info;
    info.HintControl = hc;
    info.HintPos = {CursorPos.X, CursorPos.Y + 20};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = HintColor;
    info.CursorRect = hc->ClientRect();
    info.CursorPos = hc->ScreenToClient(CursorPos);
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(hc->Hint());
    info.HintWindowClass = HintWindowClass;
    if (hc->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0) return;
    TPoint o = hc->ClientToScreen({info.CursorRect.Left, info.CursorRect.Top});
    FHintCursorRect = Rect(o.X, o.Y, o.X + info.CursorRect.Right - info.CursorRect.Left,
                           o.Y + info.CursorRect.Bottom - info.CursorRect.Top);
    bool canShow = true;
    if (OnShowHint) OnShowHint(info.HintStr, canShow, info);
    if (!canShow || info.HintStr.empty()) return;
    // The window is of the class this request names; a window of another
    // class gives way to a new one.
    THintWindowClass& kind = info.HintWindowClass ? info.HintWindowClass : HintWindowClass;
    if (FHintWindow && (!FHintWindowKind || *FHintWindowKind != kind.target_type())) {
        THintWindow* old = FHintWindow;
        FHintWindow = nullptr;
        old->ReleaseHandle();
        delete old;
    }
    if (!FHintWindow) {
        FHintWindow = kind(this);
        FHintWindowKind = &kind.target_type();
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    FHintActive = true;
    if (info.HideTimeout > 0) FHintTimers->Hide.start(info.HideTimeout);
}

// ---------------------------------------------------------------------------
// TScreen
// ---------------------------------------------------------------------------
TScreen::TScreen() : TComponent(nullptr) { EnsureControlLayer(); }

int TScreen::Width() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

TRect TScreen::WorkAreaRect() const {
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return Rect(0, 0, 1024, 768);
    QRect r = s->availableGeometry();
    return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->FocusedControl() : nullptr; }

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    if (FCursor != crDefault) QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value != crDefault) QApplication::setOverrideCursor(ToQCursor(Value));
}

namespace {
TRect FromQRect(const QRect& r) { return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
}  // namespace

int TScreen::MonitorCount() const { return std::max<int>(1, int(QGuiApplication::screens().size())); }

TRect TScreen::MonitorWorkAreaFromPoint(const TPoint& P) const {
    QScreen* nearest = nullptr;
    Int64 best = 0;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        // Distance from P to the monitor's rectangle (0 inside it).
        const Int64 dx = P.X < g.left() ? g.left() - P.X : P.X > g.right() ? P.X - g.right() : 0;
        const Int64 dy = P.Y < g.top() ? g.top() - P.Y : P.Y > g.bottom() ? P.Y - g.bottom() : 0;
        const Int64 d = dx * dx + dy * dy;
        if (!nearest || d < best) {
            nearest = s;
            best = d;
        }
    }
    return nearest ? FromQRect(nearest->availableGeometry()) : WorkAreaRect();
}

TRect TScreen::DesktopRect() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? FromQRect(s->virtualGeometry()) : Rect(0, 0, 1024, 768);
}

void TScreen::SetCursors(TCursor Index, const String& ResourceName) {
    TCursorResource cursor;
    LoadCursorResource(cursor, ResourceName);  // raises for an unknown name before anything changes
    FCursors[Index] = ResourceName;
}

bool TScreen::Cursors(TCursor Index, TCursorResource& Cursor) const {
    auto it = FCursors.find(Index);
    if (it == FCursors.end()) return false;
    LoadCursorResource(Cursor, it->second);
    return true;
}

TFont& TScreen::HintFont() {
    if (!FHintFont) {
        FHintFont = std::make_unique<TFont>();
        // The classic desktop's tooltip font.
        FHintFont->SetName(u"Tahoma");
        FHintFont->SetSize(8);
        FHintFont->SetColor(clInfoText);
    }
    return *FHintFont;
}

QCursor ToQCursor(TCursor Cursor) {
    TCursorResource own;
    if (Cursor > 0 && TheScreen && TheScreen->Cursors(Cursor, own)) {
        QImage image = BitmapImage(own.Image).convertToFormat(QImage::Format_ARGB32);
        const QRgb clear = ToQRgb(own.Image.TransparentColor()) & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFF) == clear) row[x] = 0;
        }
        return QCursor(QPixmap::fromImage(image), own.HotSpot.X, own.HotSpot.Y);
    }
    return QCursor(ToQtCursor(Cursor));
}

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) FActiveForm = nullptr;
}
