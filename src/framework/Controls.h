#pragma once
// Controls: visual components with a parent, a position in pixels and a
// message handler. Every message a control receives goes through WndProc,
// which passes it to Dispatch; Dispatch calls the virtual handler for the
// message number (WMLButtonDown, CMMouseEnter, CNKeyDown, ...), and a
// handler that does not deal with a message calls its base class's handler,
// which ends in DefaultHandler (the windowing system's own behaviour). A
// derived control overrides the handlers it cares about, and Dispatch for
// message numbers that have no handler here (its own or registered ones).
//
// TWinControl has a window of its own; TGraphicControl has none and is
// painted on, and gets its mouse input through, its parent's window;
// TCustomControl is a window that paints itself through Canvas into a back
// buffer, which the window shows.
//
// A custom control, in short: derive from TCustomControl; in the
// constructor set ControlStyle (csCaptureMouse to get the release of a press
// wherever it happens, csDoubleClicks, csClickEvents, csOpaque when Paint
// covers everything) and TabStop; draw everything in Paint through Canvas()
// (Invalidate asks for a paint, Repaint paints now); override the virtual
// mouse and key operations (MouseDown, KeyDown, Click, ...) and message
// handlers (CMMouseEnter, CNKeyDown, CMDialogKey, WMGetDlgCode to take Tab,
// arrows or Enter for itself, WMSetCursor, WMTimer with SetTimer(Handle(),
// ...)) and call the base class's handler for the default behaviour; take
// its own and registered messages by overriding Dispatch, passing the rest
// on. Handle() names the window for SetTimer, PostMessage and SendMessage.

#include "framework/Components.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
struct TWinControlHandle;

// A window handle: a number that names a live window, 0 for none. A handle
// whose window is gone names nothing (messages posted to it are dropped).
using HWND = std::uintptr_t;
// The control of a handle, or nil when it is gone.
TWinControl* FindControl(HWND Handle);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleValue {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint,
    csParentBackground,
    // The control paints the application style itself: the style engine gives it no hook.
    csOverrideStylePaint
};
using TControlStyle = TSet<TControlStyleValue>;

// What of a control an application style (Styles.h) may restyle: its font
// colour, its client area, its frame and scroll bars.
enum TStyleElement { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;

enum TControlStateValue {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateValue>;

// The bevel a windowed control may keep in its frame (see TWinControl).
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;

// Cursors; the negative numbers are the stock ones.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4;
constexpr TCursor crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10;
constexpr TCursor crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15;
constexpr TCursor crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20;
constexpr TCursor crHandPoint = -21, crSizeAll = -22, crSize = -22;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// The reading and layout direction of a control. bdRightToLeft lays the
// control out from its right edge and reads right to left; NoAlign reads
// right to left and keeps the scroll bar on the left but not the layout;
// ReadingOnly only reads right to left.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
// Left and right justification exchanged (centring stays).
TAlignment ChangeBiDiModeAlignment(TAlignment Alignment);
enum TTextLayout { tlTop, tlCenter, tlBottom };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5;
constexpr TModalResult mrYes = 6, mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10, mrContinue = 11;
constexpr TModalResult mrAll = 12, mrNoToAll = 13, mrYesToAll = 14;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, Char& Key)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

// The framework's own drag of one control onto another. A drag begins with
// BeginDrag (or a left press on a control whose DragMode is dmAutomatic),
// starts for real once the pointer has moved more than the threshold, and
// then tells the control under the pointer with CM_DRAG (WParam a
// TDragMessage, LParam a TDragRec*; for enter and move the result tells
// whether it would take the drop), until the button is released (a drop on
// a control that took it) or Escape cancels.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
constexpr int DragThreshold = 5;  // pixels the pointer moves before a drag starts

class TControl;
// What is dragged; OnStartDrag may give one of its own (it stays the
// giver's), else the drag makes a TDragControlObject for the control.
class TDragObject : public TObject {
public:
    TPoint DragPos;                  // screen
    TControl* DragTarget = nullptr;  // the control under the pointer
    bool Dropped = false;
    bool Cancelling = false;
    // The object that OnDragOver and OnDragDrop receive as Source.
    virtual TObject* SourceForEvents() { return this; }
};
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : Control(AControl) {}
    TControl* Control;
    TObject* SourceForEvents() override;  // the control itself
};
struct TDragRec {
    TPoint Pos;  // screen
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
};
// Docking: a control whose DragKind is dkDock is dragged as a dock client;
// a window control with DockSite set takes it (the site's GetSiteInfo and
// OnDockOver decide), a drop elsewhere leaves it floating in a form of its
// own. HostDockSite is the site it is docked to.
enum TDragKind { dkDrag, dkDock };
class TWinControl;
class TDragDockObject : public TDragObject {
public:
    explicit TDragDockObject(TControl* AControl) : Control(AControl) {}
    TControl* Control;
    TRect DockRect;  // screen: where the control would go
};
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockOverEvent =
    std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDockDropEvent = std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TGetSiteInfoEvent = std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                             TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = std::function<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// What a hint is about to show; CM_HINTSHOW carries a pointer to it in
// LParam, and the control may change it (text, position, colour) or refuse
// the hint with a non-zero result.
class TControl;
class THintWindow;
// Makes the hint window of a hint request (the replaceable hint window class).
using THintWindowClass = std::function<THintWindow*(TComponent* Owner)>;
struct THintInfo {
    TControl* HintControl = nullptr;
    // The application's class to begin with; a control may name its own
    // for this one hint.
    THintWindowClass HintWindowClass;
    TPoint HintPos;  // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;  // client coordinates of HintControl
    TPoint CursorPos;  // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    String HintStr;
    void* HintData = nullptr;
};
inline THintInfo* HintInfoOf(TMessage& Message) { return reinterpret_cast<THintInfo*>(Message.LParam); }

// The parameters a window is created with.
struct TCreateParams {
    String Caption;
    Cardinal Style = 0;
    Cardinal ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
};
constexpr Cardinal WS_EX_TRANSPARENT = 0x00000020;
// The right-to-left extended styles: right-aligned text, right-to-left
// reading, and the vertical scroll bar at the left edge.
constexpr Cardinal WS_EX_RIGHT = 0x00001000;
constexpr Cardinal WS_EX_RTLREADING = 0x00002000;
constexpr Cardinal WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr Cardinal WS_TABSTOP = 0x00010000;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_STYLE = -16;
LPARAM GetWindowLong(HWND Handle, int Index);
LPARAM SetWindowLong(HWND Handle, int Index, LPARAM Value);

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Placement, in the parent's client coordinates.
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Right; }
    int ClientHeight() const { return ClientRect().Bottom; }
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& Point) const;
    TPoint ScreenToClient(const TPoint& Point) const;
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value) { FAnchors = Value; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form visible too.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont& Font() { return *FFont; }
    const TFont& Font() const { return *FFont; }
    void SetFont(const TFont& Value) { FFont->Assign(&Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    // The control's text: its caption for labels, buttons and forms, the
    // edited text for edit fields.
    virtual String Text() const;
    virtual void SetText(const String& Value);
    String Caption() const { return Text(); }
    virtual void SetCaption(const String& Value) { SetText(Value); }

    // The control's direction; with ParentBiDiMode (the default) it follows
    // its parent's. A change reaches the control as CM_BIDIMODECHANGED and
    // its children as CM_PARENTBIDIMODECHANGED.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    // Laid out from the right edge (bdRightToLeft).
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    // Texts read right to left (every mode but bdLeftToRight).
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // The vertical scroll bar stands at the left edge.
    bool UseRightToLeftScrollBar() const {
        return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign;
    }
    // The DT_* flags of a text drawn for the control: with right-to-left
    // alignment left and right justification exchanged (DT_RIGHT added to a
    // left-justified text, taken from a right-justified one), with
    // right-to-left reading DT_RTLREADING added.
    unsigned DrawTextBiDiModeFlags(unsigned Flags) const;
    // Only the reading part: DT_RTLREADING with right-to-left reading.
    unsigned DrawTextBiDiModeFlagsReadingOnly() const;

    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // The topic of the program's help for this control (0: none, ask the parent).
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    TStyleElements StyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements Value);

    virtual void Invalidate();
    // Paints at once.
    virtual void Repaint();
    // Paints what is invalid at once.
    virtual void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // Sends a message to this control's WindowProc and returns its result.
    LRESULT Perform(Cardinal Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // Every message the control gets passes here first; WndProc by
    // default. A user replaces it to see or change messages, keeps the
    // previous one to pass them on, and puts it back when done.
    using TWndMethod = std::function<void(TMessage& Message)>;
    TWndMethod WindowProc;
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // The mouse goes to this control (whatever lies under it) while set.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Runs OnClick when set, otherwise the action.
    virtual void Click();
    virtual void DblClick();

    // The action the control offers (nil: none): the control takes its
    // caption, hint, enabled and visible state, and follows their changes.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    // Makes the control's link to an action; a control whose link follows
    // other rules returns its own kind.
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();
    // The action (Sender) changed or was assigned: the control takes its
    // caption (while linked), hint, enabled and visible state. A control
    // that shows more of an action takes that too.
    virtual void ActionChange(TObject* Sender);

    // Paints this control (and, for windows, its children) into Canvas with
    // its top-left corner at X, Y.
    void PaintTo(TCanvas& Canvas, int X, int Y);

    String ClassName() const override { return TComponent::ClassName(); }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    // Runs the drag to its end (a modal loop; a scripted drag of Simulate.h
    // takes the place of the mouse). Immediate: at once, else after the
    // pointer moved more than Threshold (-1: DragThreshold) pixels.
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;  // Accept starts true when it is assigned; without it a control takes no drop
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;  // Target nullptr: nothing took the drop

    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TWinControl* HostDockSite() const { return FHostDockSite; }
    // Docked to the form of its own that floating gave it.
    bool Floating() const { return FFloatHost && FHostDockSite == FFloatHost; }
    // Docks into NewDockSite as a drop there would; false when the present
    // site refuses to let go (OnUnDock).
    bool ManualDock(TWinControl* NewDockSite);
    // Leaves its site for a form of its own at ScreenPos.
    bool ManualFloat(const TRect& ScreenPos);
    // Framework internal: the move itself, out of the old site into
    // NewDockSite (ARect on the screen); the sites are told.
    void Dock(TWinControl* NewDockSite, const TRect& ARect);
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;  // Target nullptr: the control floats or stays

protected:
    friend class TWinControl;
    friend struct TControlAccess;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void Resize();
    virtual void Changed();
    // Placement without the window: stores and notifies.
    virtual void BoundsChanged();
    // The control's text as stored here (TWinControl standard controls keep
    // it in their window instead and override Text/SetText).
    String FText;

    // Message handlers.
    virtual void WMLButtonDown(TWMMouse& Message);
    virtual void WMLButtonUp(TWMMouse& Message);
    virtual void WMLButtonDblClk(TWMMouse& Message);
    virtual void WMRButtonDown(TWMMouse& Message);
    virtual void WMRButtonUp(TWMMouse& Message);
    virtual void WMRButtonDblClk(TWMMouse& Message);
    virtual void WMMButtonDown(TWMMouse& Message);
    virtual void WMMButtonUp(TWMMouse& Message);
    virtual void WMMButtonDblClk(TWMMouse& Message);
    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMMouseWheel(TWMMouseWheel& Message);
    virtual void WMCancelMode(TMessage& Message);
    // Shows PopupMenu (at the control's top-left for the keyboard's
    // (-1, -1)); without one, the window's default, then the parent's.
    virtual void WMContextMenu(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMMouseWheel(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMBiDiModeChanged(TMessage& Message);
    virtual void CMParentBiDiModeChanged(TMessage& Message);
    virtual void CMHintShow(TMessage& Message);
    virtual void CMSysColorChange(TMessage& Message);
    virtual void CMDialogKey(TCMDialogKey& Message);
    virtual void CMDialogChar(TCMDialogChar& Message);
    virtual void CMFocusChanged(TMessage& Message);
    virtual void CMCursorChanged(TMessage& Message);
    virtual void CMDrag(TMessage& Message);
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // A dock drag: the object to drag, the site at a screen point (nil:
    // none), the messages of the drag to a site, the end.
    std::unique_ptr<TDragDockObject> DoStartDock();
    TControl* DockSiteAt(TDragDockObject& Source, TControl* Over, TPoint Screen);
    void DockMessage(TDragDockObject& Source, TMessage& Message);
    void DoEndDock(TObject* Target, int X, int Y, bool Dropped, TPoint Screen);
    // The host dock site hears of a change of this control's text or visibility.
    void NotifyHostDockSite(TMessage& Message);
    void LeaveDockSite();

    // Painting of windowless controls, on the parent's canvas.
    virtual void PaintControl(TCanvas& Canvas) {}

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TWinControl* FHostDockSite = nullptr;
    TWinControl* FFloatHost = nullptr;  // owned: the form floating gave it
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    int FHelpContext = 0;
    std::unique_ptr<TControlActionLink> FActionLink;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TStyleElements FStyleElements{seFont, seClient, seBorder};
    TControlState FControlState;
    // Anchoring: the distances kept from the parent's right and bottom edges.
    int FAnchorRight = 0, FAnchorBottom = 0;
    bool FAnchorsKnown = false;

private:
    void FontChanged(TObject*);
    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);
    bool FInFontChange = false;
};

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window; it is made on first use.
    HWND Handle();
    bool HandleAllocated() const;
    void HandleNeeded() { (void)Handle(); }
    // Makes the window anew (after a change of creation parameters);
    // children and contents stay.
    virtual void RecreateWnd();

    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The child at Pos (client coordinates), topmost first; windowed
    // children only when AllowWinControls.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    // Sends Message to each child until one gives a non-zero result.
    void Broadcast(TMessage& Message);
    void NotifyControls(Cardinal Msg);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // Position among the parent's windowed children in tab order (-1: none).
    int TabOrder() const;
    void SetTabOrder(int Value);
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();

    virtual void SetFocus();
    virtual bool Focused() const;
    virtual bool CanFocus() const;
    bool Showing() const override;

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();

    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetVisible(bool Value) override;
    void SetText(const String& Value) override;

    // A bevel in the frame, inside the border: with a BevelKind other than bkNone each cut other
    // than bvNone takes BevelWidth pixels on the BevelEdges sides; inside it a band of BorderWidth
    // pixels on every side. Both are taken from the client area; the control paints them itself.
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    TBrush& Brush() { return FBrush; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Framework internal: the window's implementation.
    TWinControlHandle* HandleImpl() const { return FHandleImpl.get(); }

    // Docking (see TDragKind): whether other controls dock here, and those that did.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    int DockClientCount() const { return int(FDockClients.size()); }
    TControl* DockClients(int Index) const { return FDockClients.at(std::size_t(Index)); }
    // Whether Client may dock here and the screen area that offers it (the
    // site's rectangle grown by 10 pixels); OnGetSiteInfo may change both.
    virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
    // A dock client over the site: Source.DockRect is where it would go;
    // Accept starts true and OnDockOver may refuse.
    virtual void DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept);
    // Docks the client (CMDockClient), then OnDockDrop.
    virtual void DockDrop(TDragDockObject& Source, int X, int Y);
    // A client leaves for NewTarget (nil: floating): OnUnDock may refuse, then CMUnDockClient.
    virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;

protected:
    friend struct TWinControlHandle;
    friend class TCustomForm;
    friend class TControl;

    // Docking: the dropped client comes in (by default it becomes a child at
    // its dock rectangle), a client is about to leave, a client's text or
    // visibility changed (Msg CM_TEXTCHANGED or CM_VISIBLECHANGED).
    virtual void CMDockClient(TDragDockObject& Source);
    virtual void CMUnDockClient(TWinControl* NewTarget, TControl* Client);
    virtual void CMDockNotification(TControl* Client, Cardinal Msg) {}
    // The client is placed here (ARect on the screen) / has left.
    virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
    virtual void DoRemoveDockClient(TControl* Client) {}
    bool FDockSite = false;
    std::vector<TControl*> FDockClients;

    virtual void CreateParams(TCreateParams& Params);
    // Makes the window: standard controls make their own kind of window.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Called once the window exists, to give it this control's state.
    virtual void InitializeWnd() {}
    // The keys the window itself wants (WM_GETDLGCODE's default answer).
    virtual LRESULT NativeDlgCode() const { return 0; }

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(Char& Key);
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // Paints the windowless children on Canvas (origin at this client's top-left).
    void PaintControls(TCanvas& Canvas, TControl* First = nullptr);
    void BoundsChanged() override;

    void WMSetFocus(TWMSetFocus& Message);
    void WMKillFocus(TWMKillFocus& Message);
    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMChar(TWMKey& Message);
    virtual void WMSysChar(TWMKey& Message);
    virtual void WMSize(TWMSize& Message);
    virtual void WMMove(TWMMove& Message);
    virtual void WMPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    virtual void WMNCPaint(TMessage& Message);
    virtual void WMTimer(TWMTimer& Message);
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMSetRedraw(TMessage& Message);
    virtual void WMCommand(TWMCommand& Message);
    virtual void WMNotify(TMessage& Message);
    virtual void WMHScroll(TWMScroll& Message);
    virtual void WMVScroll(TWMScroll& Message);
    virtual void CNKeyDown(TWMKey& Message);
    virtual void CNKeyUp(TWMKey& Message);
    virtual void CNChar(TWMKey& Message);
    virtual void CNSysKeyDown(TWMKey& Message);
    virtual void CNSysChar(TWMKey& Message);
    virtual void CNCommand(TWMCommand& Message);
    virtual void CNNotify(TMessage& Message);
    virtual void CNHScroll(TWMScroll& Message);
    virtual void CNVScroll(TWMScroll& Message);
    // The non-client frame: the client area within the window, what lies
    // under a screen point, presses outside the client area.
    virtual void WMNCCalcSize(TMessage& Message);
    virtual void WMNCHitTest(TMessage& Message);
    virtual void WMNCLButtonDown(TMessage& Message);
    void CMDialogKey(TCMDialogKey& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    virtual void CMWantSpecialKey(TCMWantSpecialKey& Message);
    void CMFocusChanged(TMessage& Message) override;
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMShowingChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMCursorChanged(TMessage& Message) override;
    // Takes the right-to-left extended styles anew and tells the children.
    void CMBiDiModeChanged(TMessage& Message) override;
    // The extended styles of the direction: WS_EX_RTLREADING with
    // right-to-left reading, WS_EX_LEFTSCROLLBAR with the scroll bar on the
    // left, WS_EX_RIGHT with right-to-left alignment of a left-justified
    // control (GetControlsAlignment). TWinControl's CreateParams adds them.
    void AddBiDiModeExStyle(Cardinal& ExStyle) const;
    // The control's own justification, which right-to-left alignment mirrors.
    virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }

public:
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    std::vector<TControl*> FControls;     // z-order, bottom first
    std::vector<TWinControl*> FTabList;   // windowed children in tab order
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    int FAlignLevel = 0;
    TBrush FBrush;
    TCreateParams FCreateParams;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelKind FBevelKind = bkNone;
    TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    std::unique_ptr<TWinControlHandle> FHandleImpl;
};

// ---------------------------------------------------------------------------
// TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *FCanvas; }

protected:
    // Draws the control through Canvas, with the origin at its top-left.
    virtual void Paint() {}
    void PaintControl(TCanvas& Canvas) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // The back buffer's canvas: what Paint draws shows in the window.
    TCanvas& Canvas();
    // The back buffer, the size of the client area.
    TBitmap& BackBuffer();

protected:
    virtual void Paint();
    // Paints the back buffer: WM_ERASEBKGND (fills with Color unless the
    // control is opaque; a handler that sets Result 1 skips it), then Paint,
    // then the windowless children.
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CreateWnd() override;

private:
    std::unique_ptr<TBitmap> FBuffer;
};

// ---------------------------------------------------------------------------
// Free functions of the control layer
// ---------------------------------------------------------------------------
// The form a control is on (its topmost parent when that is a form).
TCustomForm* GetParentForm(const TControl* Control);
// True when Str shows VK as its accelerator ("&x", case ignored; "&&" is a plain "&").
bool IsAccel(Word VK, const String& Str);
// Str without its accelerator marks.
String StripHotkey(const String& Str);
// Position of the mouse on the screen.
TPoint GetCursorPos();
void SetCaptureControl(TControl* Control);
TControl* GetCaptureControl();
void ReleaseCapture();
HWND SetCapture(HWND Handle);
HWND GetCapture();
// The focused window's control, or nil.
TWinControl* FindFocusedControl();

// Messages to windows by handle. SendMessage runs the handler at once (from
// another thread it waits for the user-interface thread); PostMessage adds
// the message to the queue of the user-interface thread, which handles it
// after the input it is working on. Messages to a handle that is gone are
// dropped; PostMessage then returns false.
LRESULT SendMessage(HWND Handle, Cardinal Msg, WPARAM WParam = 0, LPARAM LParam = 0);
bool PostMessage(HWND Handle, Cardinal Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Ch reaches Target as a character typed on the keyboard: its key-press
// handling (which may change or drop it), then its window's own input.
void TypeChar(TWinControl* Target, Char Ch);
// A per-window timer: WM_TIMER with WParam = ID every Elapse milliseconds,
// until KillTimer. Setting an existing ID again restarts it.
std::uintptr_t SetTimer(HWND Handle, std::uintptr_t ID, Cardinal Elapse);
bool KillTimer(HWND Handle, std::uintptr_t ID);
// The cursor shown while the mouse is over the window that got WM_SETCURSOR.
void SetCursor(TCursor Cursor);
// The cursor SetCursor showed last (crDefault before the first).
TCursor ShownCursor();
// Hides the text caret of a window (an edit), cumulatively: it shows again
// after as many ShowCaret calls. ShowCaret answers false when it was not hidden.
bool HideCaret(HWND Handle);
bool ShowCaret(HWND Handle);
bool IsCaretHidden(HWND Handle);

// A hook that sees every message reaching a control's WndProc on the
// user-interface thread, before the control does (the classic thread
// window-procedure hook). Returns an id for UnhookCallWndProc.
using TCallWndProcHook = std::function<void(TControl* Control, const TMessage& Message)>;
int SetCallWndProcHook(TCallWndProcHook Hook);
void UnhookCallWndProc(int Id);

// Renders a control (a window with all its children, or a windowless
// control) into Bitmap, sized to the control; works without a screen.
void RenderControlToBitmap(TControl* Control, TBitmap& Bitmap);
// Renders and writes a PNG file.
void SaveControlToPng(TControl* Control, const String& FileName);
