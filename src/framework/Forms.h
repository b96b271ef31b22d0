#pragma once
// Forms (top-level windows built in code), the application object with its
// message loop, hint machinery and exception boundary, and the screen.

#include "framework/Controls.h"
#include "framework/Resources.h"

#include <functional>
#include <typeinfo>
#include <map>
#include <memory>
#include <vector>

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateValue { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateValue>;

// Limits of a window's size (0: none), kept by SetBounds and by the
// person sizing the window.
struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    void Apply(int& Width, int& Height) const;
};

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Fires OnCreate once; the application's CreateForm calls it right
    // after construction, Show and ShowModal call it when nobody did.
    void AfterConstruction();

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte Value);
    // The form that owns this one as a pop-up (it stays above it); nil: none.
    TCustomForm* PopupParent() const { return FPopupParent; }
    void SetPopupParent(TCustomForm* Value);
    const TSizeConstraints& Constraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    // Scaling is never applied (the windows are laid out in pixels); kept
    // because the layouts set it.
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }

    // The control that has (or gets, when the form is shown) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    // The control that has the focus now (nil while the form is inactive).
    TWinControl* FocusedControl() const { return FFocusedControl; }
    bool Active() const { return FActive; }

    TModalResult ModalResult() const { return FModalResult; }
    // A non-zero result ends the modal loop of this form.
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormState FormState() const { return FFormState; }

    void Show();
    void Hide();
    // Modal loop until ModalResult is set; nested modal forms are allowed.
    TModalResult ShowModal();
    // Close: for a modal form sets ModalResult to mrCancel; otherwise asks
    // OnCloseQuery, fires OnClose and hides (the main form ends the program).
    void Close();
    virtual bool CloseQuery();
    // Frees the form after the current message (posted).
    void Release();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    void SetVisible(bool Value) override;
    bool Showing() const override;
    TPoint ClientOrigin() const override;
    void SetFocus() override;
    bool CanFocus() const override;

    // Framework internal: the window became active or inactive.
    void SetActive(bool Value);
    // Framework internal: Control has taken the focus.
    bool SetFocusedControl(TWinControl* Control);
    // Framework internal: the close box was used.
    void CloseBoxPressed();
    // Framework internal: the window takes the form's styles and flags.
    void ApplyWindowFlags();
    // Shows the form without taking the activation (SWP_NOACTIVATE).
    void ShowNoActivate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void Resize() override;
    void CMDialogKey(TCMDialogKey& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void CloseModal();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TWinControl;
    friend class TApplication;  // fires OnDestroy of the forms it still owns at its end
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    bool FAlphaBlend = false;
    Byte FAlphaBlendValue = 255;
    bool FKeyPreview = false;
    TCustomForm* FPopupParent = nullptr;
    TSizeConstraints FConstraints;
    bool FShowNoActivate = false;
    bool FScaled = true;
    bool FCreated = false;
    bool FActive = false;
    bool FPositioned = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    TFormState FFormState;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---------------------------------------------------------------------------
// Hint window
// ---------------------------------------------------------------------------
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    // The size the hint needs (screen rectangle at 0,0).
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    virtual void ActivateHint(TRect Rect, const String& AHint);
    virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData) { ActivateHint(Rect, AHint); }
    void ReleaseHandle();
    bool IsHintShowing() const { return Visible(); }
    // Whether Msg, arriving while the hint shows, closes it: keys, presses
    // of any mouse button, activation changes and non-client mouse moves.
    virtual bool IsHintMsg(const TMessage& Msg);

protected:
    void CreateWnd() override;
    void Paint() override;
};

using THintWindowFactory = THintWindowClass;

// ---------------------------------------------------------------------------
// Application
// ---------------------------------------------------------------------------
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
// Command is HELP_CONTEXT (Data the topic) or another help command; the
// answer tells whether help was given; CallHelp starts true.
using THelpEvent = std::function<bool(Word Command, std::intptr_t Data, bool& CallHelp)>;
constexpr Word HELP_CONTEXT = 1;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    // Creates a form owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        FormCreated(form);
    }
    // Shows the main form and handles messages until Terminate (closing the
    // main form terminates).
    void Run();
    // Handles every waiting message and returns.
    void ProcessMessages();
    // Waits for one message and handles it (the body of every loop).
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
    bool ShowMainForm = true;
    bool MainFormOnTaskBar = true;
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    String ExeName() const;

    // The exception boundary: shows E in an error box (EAbort is silent),
    // or hands it to OnException when set.
    void HandleException(const std::exception& E);
    void ShowException(const Exception& E);
    TExceptionEvent OnException;

    // A message box owned by the application (caption: Title when empty).
    int MessageBox(const String& Text, const String& Caption, Cardinal Flags);

    // Help: a request for a topic goes to OnHelp, where the program shows its
    // help. The platform has no help system of its own, so without a handler
    // the request finds no help (false).
    bool HelpContext(int Context);
    THelpEvent OnHelp;

    // Hints.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    String Hint() const { return FHint; }
    void SetHint(const String& Value);
    void CancelHint();
    void ActivateHint(TPoint CursorPos);
    // Asks the hint window whether Msg closes the hint, and closes it then.
    bool IsHintMsg(const TMessage& Msg);
    TShowHintEvent OnShowHint;
    TNotifyEvent OnHint;
    TNotifyEvent OnIdle;
    // The hint window in use, or nil when none has been shown yet.
    THintWindow* HintWindow() const { return FHintWindow; }

    // Framework internal.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    void ControlFreed(TControl* Control);
    void FormDestroyed(TCustomForm* Form);

private:
    void FormCreated(TCustomForm* Form);
    void HintTimerExpired();
    void HideHint();

    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    String FTitle;
    bool FShowHint = true;
    String FHint;
    TControl* FHintControl = nullptr;
    TRect FHintCursorRect;
    THintWindow* FHintWindow = nullptr;
    const std::type_info* FHintWindowKind = nullptr;  // the class FHintWindow was made by
    bool FHintActive = false;
    struct THintTimers;
    std::unique_ptr<THintTimers> FHintTimers;
};

// The replaceable class of the hint window.
extern THintWindowFactory HintWindowClass;

// ---------------------------------------------------------------------------
// Screen
// ---------------------------------------------------------------------------
class TScreen : public TComponent {
public:
    TScreen();
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Right - WorkAreaRect().Left; }
    int WorkAreaHeight() const { return WorkAreaRect().Bottom - WorkAreaRect().Top; }
    int PixelsPerInch() const { return 96; }
    TWinControl* ActiveControl() const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    // An override cursor for the whole program (crDefault: none).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    // Monitors. The work area of the monitor nearest to P (screen
    // coordinates; the primary work area when there is no monitor), and the
    // rectangle of the whole desktop over every monitor.
    int MonitorCount() const;
    TRect MonitorWorkAreaFromPoint(const TPoint& P) const;
    TRect DesktopRect() const;
    int DesktopLeft() const { return DesktopRect().Left; }
    int DesktopTop() const { return DesktopRect().Top; }
    int DesktopWidth() const { return DesktopRect().Right - DesktopRect().Left; }
    int DesktopHeight() const { return DesktopRect().Bottom - DesktopRect().Top; }

    // The program's own cursors by number (positive numbers; the stock
    // cursors are the negative ones): SetCursors loads cursor resource Name
    // (EResNotFound when there is none) as cursor Index; any control or the
    // screen may then show Index. Cursors answers false for an unknown number.
    void SetCursors(TCursor Index, const String& ResourceName);
    bool Cursors(TCursor Index, TCursorResource& Cursor) const;

    // The font of hint windows (the desktop's tooltip font).
    TFont& HintFont();

    // Framework internal.
    void SetActiveForm(TCustomForm* Form) { FActiveForm = Form; }
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);

private:
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    std::map<TCursor, String> FCursors;  // resource names
    std::unique_ptr<TFont> FHintFont;
};

// The program's application and screen objects, made on first use.
struct TApplicationRef {
    TApplication* operator->() const;
    operator TApplication*() const;
};
struct TScreenRef {
    TScreen* operator->() const;
    operator TScreen*() const;
};
extern const TApplicationRef Application;
extern const TScreenRef Screen;

// Hint helpers: "short|long".
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
