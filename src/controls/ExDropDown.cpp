// The drop-down edit's pop-up life, its keyboard and mouse contract, the
// pop-up window and the drop-down button.

#include "controls/ExDropDown.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridColors.h"
#include "grid/foundation/PartDrawing.h"

#include <algorithm>

namespace {
// Clicks this soon after the pop-up lost the activation do not reopen it:
// that click is the one that closed it.
constexpr UInt64 ReopenDelay = 250;
constexpr int MinPopupWidth = 80, MinPopupHeight = 50;

bool Designing(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }
bool Loading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }
}  // namespace

TRect PlaceDropDown(const TDropDownPlacement& P) {
    const TPoint at{P.EditRect.Left, P.EditRect.Top};
    const int editHeight = P.EditRect.Bottom - P.EditRect.Top;
    int w = P.PopupSize.cx, h = P.PopupSize.cy;
    int x = at.X, y = at.Y + editHeight - 1;
    switch (P.Position) {
    case dpDown: break;
    case dpUp: y = at.Y - h; break;
    case dpAuto:
        if (P.ScreenHeight <= at.Y + h) y = at.Y - h;
        break;
    }
    // Only the right edge of the work area is kept, and only on a monitor
    // whose work area does not start left of the origin.
    if (P.WorkArea.Left >= 0 && x + w > P.WorkArea.Right && x < P.WorkArea.Right) x = P.WorkArea.Right - w;
    if (P.UserWidth != -1) w = P.UserWidth;
    if (P.UserHeight != -1) h = P.UserHeight;
    return Bounds(x, y, w, h);
}

// ---------------------------------------------------------------------------
// TDropDownForm
// ---------------------------------------------------------------------------
TDropDownForm::TDropDownForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetVisible(false);
}

TDropDownForm::~TDropDownForm() = default;

void TDropDownForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOPMOST;
}

void TDropDownForm::CreateWnd() { TForm::CreateWnd(); }

TRect TDropDownForm::ClientRect() const {
    TRect r = TForm::ClientRect();
    if (FExDropDown) {
        const int b = FExDropDown->DropDownBorderWidth();
        r = Rect(r.Left + b, r.Top + b, r.Right - b, r.Bottom - b);
    }
    return r;
}

void TDropDownForm::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == static_cast<void*>(FHeader)) FHeader = nullptr;
        if (AComponent == static_cast<void*>(FFooter)) FFooter = nullptr;
    }
}

void TDropDownForm::Deactivated(HWND Taker) {
    FDeActivate = GetTickCount64();
    // Activation moving into one of the pop-up's own windows keeps it open.
    for (TWinControl* c = FindControl(Taker); c;) {
        if (c == this) return;
        if (c->Parent()) {
            c = c->Parent();
        } else if (auto* f = dynamic_cast<TCustomForm*>(c); f && f->PopupParent()) {
            c = f->PopupParent();
        } else {
            break;
        }
    }
    if (FExDropDown) FExDropDown->DoHideDropDown(FCancelOnDeActivate);
    else Hide();
}

void TDropDownForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ACTIVATE:
        TForm::Dispatch(Message);
        if (!FBlockActivate && Message.WParamLo() == WA_INACTIVE && Visible() && !FHiding)
            Deactivated(HWND(Message.LParam));
        return;
    case WM_NCHITTEST: {
        // The pop-up's own surface takes no mouse input; the strips and the
        // control are windows of their own.
        Message.Result = HTNOWHERE;
        if (FSizeable) {
            const TPoint p = ScreenToClient(TPoint{SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
            if (p.X > Width() - 10 && p.Y > Height() - 10) Message.Result = HTBOTTOMRIGHT;
        }
        return;
    }
    case WM_SIZING:
        TForm::Dispatch(Message);
        if (OnSizing) OnSizing(this);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    case WM_SIZE:
        TForm::Dispatch(Message);
        Invalidate();
        return;
    default: break;
    }
    TForm::Dispatch(Message);
}

void TDropDownForm::SetVisible(bool Value) {
    const bool hiding = FHiding;
    FHiding = !Value;
    try {
        TForm::SetVisible(Value);
    } catch (...) {
        FHiding = hiding;
        throw;
    }
    FHiding = hiding;
}

void TDropDownForm::DoHide() {
    TForm::DoHide();
    if (FExDropDown) FExDropDown->FormHidden();
}

void TDropDownForm::WMPaint(TMessage& Message) {
    TForm::WMPaint(Message);
    PaintBackground();
}

void TDropDownForm::PaintBackground() {
    if (!FExDropDown || !HandleAllocated()) return;
    TControlCanvas c;
    c.SetControl(this);
    const int b = FExDropDown->DropDownBorderWidth();
    const TRect whole = Rect(0, 0, Width(), Height());
    const TRect r = Rect(b, b, Width() - b, Height() - b);
    const TColor from = FExDropDown->DropDownColor(), to = FExDropDown->DropDownColorTo();
    if (from != clNone && to != clNone) DrawSteppedGradient(c, from, to, 80, r, true);
    else if (from != clNone) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(from);
        c.FillRect(r);
    }
    if (b > 0) {
        c.Brush().SetStyle(bsClear);
        c.Pen().SetWidth(b);
        c.Pen().SetColor(FExDropDown->DropDownBorderColor());
        c.Rectangle(whole.Left + b / 2, whole.Top + b / 2, whole.Right, whole.Bottom);
        c.Pen().SetWidth(1);
    }
}

void TDropDownForm::KeyDown(Word& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (OnFormKeyDown) OnFormKeyDown(this, Key, Shift);
}

void TDropDownForm::KeyUp(Word& Key, TShiftState Shift) {
    TForm::KeyUp(Key, Shift);
    if (OnFormKeyUp) OnFormKeyUp(this, Key, Shift);
}

void TDropDownForm::KeyPress(Char& Key) {
    TForm::KeyPress(Key);
    if (OnFormKeyPress) OnFormKeyPress(this, Key);
}

bool TDropDownForm::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = TForm::DoMouseWheelDown(Shift, MousePos);
    if (OnFormWheelDown) OnFormWheelDown(this);
    return handled;
}

bool TDropDownForm::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = TForm::DoMouseWheelUp(Shift, MousePos);
    if (OnFormWheelUp) OnFormWheelUp(this);
    return handled;
}

// ---------------------------------------------------------------------------
// The drop-down button
// ---------------------------------------------------------------------------
TExDropDownSpeedButton::TExDropDownSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

void TExDropDownSpeedButton::SetEtched(bool Value) {
    if (FEtched == Value) return;
    FEtched = Value;
    Invalidate();
}

void TExDropDownSpeedButton::SetFocused(bool Value) {
    if (FFocused == Value) return;
    FFocused = Value;
    Invalidate();
}

void TExDropDownSpeedButton::SetButtonStyle(TButtonStyle Value) {
    if (FButtonStyle == Value) return;
    FButtonStyle = Value;
    Invalidate();
}

void TExDropDownSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) FPressed = true;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    Invalidate();
}

void TExDropDownSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool was = FPressed;
    FPressed = false;
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    Invalidate();
    auto* owner = dynamic_cast<TDropDownEditButton*>(Parent());
    if (was && Button == mbLeft && owner && owner->OnClick) owner->OnClick(owner);
}

void TExDropDownSpeedButton::CMMouseEnter(TMessage& Message) {
    TSpeedButton::CMMouseEnter(Message);
    FHot = true;
    Invalidate();
}

void TExDropDownSpeedButton::CMMouseLeave(TMessage& Message) {
    TSpeedButton::CMMouseLeave(Message);
    FHot = false;
    Invalidate();
}

void TExDropDownSpeedButton::Paint() {
    TCanvas& c = Canvas();
    const TRect r = Rect(0, 0, Width(), Height());
    auto* owner = dynamic_cast<TDropDownEditButton*>(Parent());
    auto* edit = owner ? dynamic_cast<TExCustomDropDown*>(owner->FocusControl()) : nullptr;
    const bool pressed = FPressed && !FUp;
    const std::vector<TPoint> arrow{TPoint{5, 7}, TPoint{11, 7}, TPoint{8, 10}};
    if (owner && owner->ButtonColor != clNone) {
        TColor fill = owner->ButtonColor, text = owner->ButtonTextColor;
        if (FHot) fill = owner->ButtonColorHot, text = owner->ButtonTextColorHot;
        if (pressed) fill = owner->ButtonColorDown, text = owner->ButtonTextColorDown;
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(fill);
        c.FillRect(r);
        c.Pen().SetColor(edit ? edit->BorderColor() : clNone);
        c.MoveTo(0, 0);
        c.LineTo(0, r.Bottom);
        c.Brush().SetColor(text);
        c.Pen().SetColor(text);
        c.Polygon(arrow);
        return;
    }
    if (!Glyph().Empty()) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clBtnFace);
        c.Pen().SetColor(clGray);
        c.Rectangle(r);
        DrawBitmapTransparent(c, Glyph(), clBtnFace, Rect(0, 0, Glyph().Width(), Glyph().Height()));
        return;
    }
    const bool enabled = edit ? edit->Enabled() && !edit->ReadOnly() : Enabled();
    SetEnabled(enabled);
    // The styled renderer is an active theme: the combo box's button part,
    // its left edge moved right by 1.
    TRect part = r;
    part.Left += 1;
    const TPartState state = !enabled ? stDisabled : pressed ? stDown : FHot ? stHot : stNormal;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clWindow);
    c.FillRect(r);
    TRect wide = part;
    wide.Right += 2;  // the painter places its 17 pixels 2 inside the right edge
    DrawComboButton(c, this, wide, plThemed, state, TColorTones());
}

TDropDownEditButton::TDropDownEditButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    FControlStyle.Include(csOpaque);
    FWidth = 16;
    FHeight = 25;
    FButton = new TExDropDownSpeedButton(this);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    FButton->SetEnabled(Enabled());
    FButton->SetCaption(String());
    FButton->SetButtonStyle(bsDropDown);
    FButton->SetBounds(0, 0, FBWidth, FHeight);
}

void TDropDownEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, FBWidth, AHeight);
    if (FButton) FButton->SetBounds(0, 0, FBWidth, AHeight);
}

void TDropDownEditButton::SetButtonWidth(int Value) {
    FBWidth = Value;
    SetBounds(Left(), Top(), Value, Height());
}

void TDropDownEditButton::SetEnabled(bool Value) {
    TCustomControl::SetEnabled(Value);
    if (FButton && !Designing(this)) FButton->SetEnabled(Value);
}

void TDropDownEditButton::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TDropDownEditButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// ---------------------------------------------------------------------------
// TExCustomDropDown: life
// ---------------------------------------------------------------------------
TExCustomDropDown::TExCustomDropDown(TComponent* AOwner) : TMaskEdit(AOwner) {
    static const bool registered = (RegisterStreamClass(u"TExCustomDropDown"), true);
    (void)registered;
    SetBounds(Left(), Top(), 200, 21);
    if (!Designing(this)) CreateDropDownForm();
    CreateDropDownButton();
    FControlStyle.Exclude(csSetCaption);
    SetReadOnly(false);
    TMaskEdit::SetText(String());
    FOldText.clear();
    FDropDownHeader = std::make_unique<THeaderAppearance>(this);
    FDropDownFooter = std::make_unique<TFooterAppearance>(this);
    auto reprepare = [this](TObject*) {
        if (FDropDownForm && FDroppedDown) FDropDownForm->InitializeAndUpdate();
    };
    FDropDownHeader->OnChange = reprepare;
    FDropDownHeader->OnButtonsChanged = reprepare;
    FDropDownFooter->OnChange = reprepare;
    FDropDownFooter->OnButtonsChanged = reprepare;
    FButtonAppearance = std::make_unique<TExButtonAppearance>();
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(tsOffice2007Luna);
    ResizeControl();
}

TExCustomDropDown::~TExCustomDropDown() {
    if (FDropDownForm) {
        FDropDownForm->SetExDropDown(nullptr);
        delete FDropDownForm;
        FDropDownForm = nullptr;
    }
    delete FButton;
    FButton = nullptr;
}

void TExCustomDropDown::CreateDropDownForm() {
    if (FDropDownForm) return;
    FDropDownForm = new TDropDownForm(this);
    FDropDownForm->SetExDropDown(this);
    FDropDownForm->SetBounds(0, 0, FDropDownWidth, FDropDownHeight);
    FDropDownForm->OnFormKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { FormKeyDown(Key, Shift); };
    FDropDownForm->OnFormKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { FormKeyUp(Key, Shift); };
    FDropDownForm->OnFormKeyPress = [this](TObject*, Char& Key) { FormKeyPress(Key); };
    FDropDownForm->OnFormWheelDown = [this](TObject*) { FormMouseWheelDown(); };
    FDropDownForm->OnFormWheelUp = [this](TObject*) { FormMouseWheelUp(); };
    FDropDownForm->OnDestroy = [this](TObject*) { FormDestroy(); };
    FDropDownForm->OnSizing = [this](TObject*) { FormSizing(); };
    FDropDownForm->OnClose = [](TObject*, TCloseAction&) {};
    FDropDownForm->SetDoubleBuffered(true);
}

void TExCustomDropDown::CreateDropDownButton() {
    if (!FButton) {
        FButton = new TDropDownEditButton(this);
        FButton->SetParent(this);
        FButton->OnClick = [this](TObject*) { ButtonDropDown(); };
        if (Designing(this)) FButton->SetColor(clBtnFace);
    }
    UpdateDropDownButton();
}

void TExCustomDropDown::UpdateDropDownButton() {
    if (!FButton) return;
    FButton->SetButtonWidth(FDropDownButtonWidth);
    FButton->SetHeight(17);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
}

void TExCustomDropDown::SetControl(TControl* Value) {
    if (FControl == Value) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
    if (FControl && !Designing(this)) PlaceDropDownControl();
}

void TExCustomDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TMaskEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FControl) FControl = nullptr;
    if (AComponent == FFocusControl) FFocusControl = nullptr;
    if (AComponent == FDropDownForm) FDropDownForm = nullptr;
    if (AComponent == FButton) FButton = nullptr;
}

void TExCustomDropDown::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TExCustomDropDown*>(Source);
    if (!s) return;
    FDropDownEnabled = s->FDropDownEnabled;
    FDropDownColor = s->FDropDownColor;
    FDropDownColorTo = s->FDropDownColorTo;
    FDropDownBorderColor = s->FDropDownBorderColor;
    FDropDownBorderWidth = s->FDropDownBorderWidth;
    FDropDownShadow = s->FDropDownShadow;
    SetDropDownWidth(s->FDropDownWidth);
    SetDropDownHeight(s->FDropDownHeight);
    FDropDownSizeable = s->FDropDownSizeable;
    SetEditType(s->FEditType);
    SetPrecision(s->FPrecision);
    FButtonAppearance->Assign(s->FButtonAppearance.get());
    FDropDownHeader->Assign(s->FDropDownHeader.get());
    FDropDownFooter->Assign(s->FDropDownFooter.get());
    FDropPosition = s->FDropPosition;
    SetDropDownButtonWidth(s->FDropDownButtonWidth);
    SetDropDownButtonHint(s->FDropDownButtonHint);
    FEditorEnabled = s->FEditorEnabled;
    if (FButton && s->FButton) {
        FButton->Glyph().Assign(&s->FButton->Glyph());
        FButton->SetButtonCaption(s->FButton->ButtonCaption());
    }
    FImages = s->FImages;
    FSelectionColorStyle = s->FSelectionColorStyle;
    FSelectionColor = s->FSelectionColor;
    FSelectionColorTo = s->FSelectionColorTo;
    FFocusDraw = s->FFocusDraw;
}

String TExCustomDropDown::Version() const {
    const Cardinal v = GetVersionNr();
    return IntToStr(int(v >> 24)) + u"." + IntToStr(int((v >> 16) & 0xFF)) + u"." + IntToStr(int((v >> 8) & 0xFF)) +
           u"." + IntToStr(int(v & 0xFF));
}

void TExCustomDropDown::SetDropDownWidth(int Value) {
    if (FDropDownWidth == Value) return;
    FDropDownWidth = Value;
    FUserDropDownWidth = -1;
}

void TExCustomDropDown::SetDropDownHeight(int Value) {
    if (FDropDownHeight == Value) return;
    FDropDownHeight = Value;
    FUserDropDownHeight = -1;
}

void TExCustomDropDown::SetDropDownButtonWidth(int Value) {
    if (!FButton || FDropDownButtonWidth == Value) return;
    FDropDownButtonWidth = Value;
    FButton->SetButtonWidth(Value);
    ResizeControl();
}

void TExCustomDropDown::SetDropDownButtonHint(const String& Value) {
    if (!FButton) return;
    FDropDownButtonHint = Value;
    FButton->SetHint(Value);
    FButton->SetShowHint(!Value.empty());
}

void TExCustomDropDown::SetDropDownButtonGlyph(const TBitmap* Value) {
    if (!FButton) return;
    if (Value) FButton->Glyph().Assign(Value);
    else FButton->Glyph().SetSize(0, 0);
    FButton->Invalidate();
    FButton->SpeedButton()->Invalidate();
}

void TExCustomDropDown::SetEditorEnabled(bool Value) {
    FEditorEnabled = Value;
    if (Value) FControlStyle.Include(csDoubleClicks);
    else FControlStyle.Exclude(csDoubleClicks);
}

void TExCustomDropDown::SetButtonAppearance(const TExButtonAppearance& Value) { FButtonAppearance->Assign(&Value); }

// ---------------------------------------------------------------------------
// Opening and closing
// ---------------------------------------------------------------------------
void TExCustomDropDown::DoBeforeDropDown() {
    if (OnBeforeDropDown) OnBeforeDropDown(this);
}

void TExCustomDropDown::UpdateDropDownSize() {
    if (!FDropDownForm) return;
    const bool control = FControl && FControl->Visible();
    const int w = FDropDownWidth > 0 ? FDropDownWidth : control ? FControl->Width() : Width();
    int h = FDropDownHeight;
    if (h <= 0) {
        h = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->Visible()) h += FDropDownHeader->Height();
        if (FDropDownFooter->Visible()) h += FDropDownFooter->Height();
        if (control) h += FControl->Height();
    }
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), w, h);
}

void TExCustomDropDown::PlaceDropDownControl() {
    if (!FDropDownForm || !FControl) return;
    FControl->SetParent(FDropDownForm);
    FControl->SetTop(FDropDownHeader->Visible() ? FDropDownHeader->Height() + 2 : FDropDownBorderWidth);
    // Aligned only once the pop-up has its size: before that the control's
    // own size is what the pop-up is sized from.
    if (FSizingPopup || FDropDownForm->Visible()) FControl->SetAlign(alClient);
}

void TExCustomDropDown::BindControlKeys() {
    auto* w = dynamic_cast<TWinControl*>(FControl);
    if (!w) return;
    w->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { ControlKeyDown(Key, Shift); };
    w->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { ControlKeyUp(Key, Shift); };
    w->OnKeyPress = [this](TObject*, Char& Key) { ControlKeyPress(Key); };
}

void TExCustomDropDown::FocusDropDownControl() {
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
}

void TExCustomDropDown::DoShowDropDown() {
    if (Designing(this) || !FDropDownForm || FDropDownForm->Visible() || !Enabled() || ReadOnly()) return;
    // Free of the pop-up's client area until it is sized, so that the size
    // the kind gives its control counts.
    if (FControl && FControl->Align() != alNone) {
        FControl->SetAlign(alNone);
        FControl->SetBounds(FControl->Left(), FControl->Top(), FControlSize.cx, FControlSize.cy);
    }
    DoBeforeDropDown();
    if (FControl) FControlSize = TSize{FControl->Width(), FControl->Height()};
    TDropDownForm& form = *FDropDownForm;
    form.SetShadow(FDropDownShadow);
    form.InitializeAndUpdate();
    const LPARAM cls = GetClassLong(form.Handle(), GCL_STYLE);
    SetClassLong(form.Handle(), GCL_STYLE, form.Shadow() ? cls | CS_DROPSHADOW : cls & ~LPARAM(CS_DROPSHADOW));
    form.SetBounds(Left(), Top(), form.Width(), form.Height());
    UpdateDropDownSize();
    FSizingPopup = true;
    PlaceDropDownControl();
    FSizingPopup = false;
    TSizeConstraints limits;
    limits.MinWidth = MinPopupWidth;
    limits.MinHeight = MinPopupHeight;
    form.SetConstraints(limits);
    BindControlKeys();

    const TPoint at = Parent() ? Parent()->ClientToScreen(TPoint{Left(), Top()}) : ClientToScreen(TPoint{0, 0});
    TDropDownPlacement place;
    place.EditRect = Bounds(at.X, at.Y, Width(), Height());
    place.PopupSize = TSize{form.Width(), form.Height()};
    place.WorkArea = Screen->MonitorWorkAreaFromPoint(at);
    place.ScreenHeight = Screen->Height();
    place.Position = FDropPosition;
    TDropDownPlacement unshifted = place;
    unshifted.WorkArea = Rect(-1, 0, 0, 0);
    const TRect first = PlaceDropDown(unshifted);
    form.SetBounds(first.Left, first.Top, form.Width(), form.Height());

    bool accept = true;
    if (OnDropDown) OnDropDown(this, accept);
    if (!accept) return;

    place.UserWidth = FUserDropDownWidth;
    place.UserHeight = FUserDropDownHeight;
    const TRect r = PlaceDropDown(place);
    int w = r.Right - r.Left, h = r.Bottom - r.Top;
    form.SetPopupParent(GetParentForm(this));
    // Shown small first, so that it does not flash at the wrong size.
    form.SetBounds(r.Left, r.Top, MinPopupWidth, MinPopupHeight);
    form.Show();
    if (FDropDownShadow && FForceShadow) {
        form.Hide();
        form.SetBounds(r.Left, r.Top, 1, 1);
        form.Show();
    }
    AdjustDropDownHeight(h);
    FDroppedDown = true;
    SetWindowPos(form.Handle(), HWND_TOPMOST, r.Left, r.Top, w, h, SWP_SHOWWINDOW);
    form.SetBounds(r.Left, r.Top, w, h);
    FocusDropDownControl();
}

void TExCustomDropDown::DoHideDropDown(bool Cancelled) {
    if (Designing(this) || !FDropDownForm || !FDropDownForm->Visible()) return;
    if (OnBeforeDropUp) OnBeforeDropUp(this);
    FUserDropDownWidth = FDropDownForm->Width();
    FUserDropDownHeight = FDropDownForm->Height();
    FDropDownForm->Hide();
    Application->CancelHint();
    if (Cancelled) SetTextValue(FOldText);
    if (OnDropUp) OnDropUp(this, Cancelled);
}

void TExCustomDropDown::FormHidden() {
    // The focus comes back only when the activation stays with the edit's
    // window (not when another window took it).
    FormHide();
}

void TExCustomDropDown::FormHide() {
    FDroppedDown = false;
    if (FTabStop && CanFocus() && !Focused() && !ComponentState().Contains(csDestroying)) {
        TCustomForm* form = GetParentForm(this);
        if (!form || !Screen->ActiveForm() || Screen->ActiveForm() == form) SetFocus();
    }
}

void TExCustomDropDown::ButtonDropDown() {
    if (Designing(this) || !FDropDownForm || FDropDownForm->Visible()) return;
    if (GetTickCount64() - FDropDownForm->DeActivateTime() > ReopenDelay) DoShowDropDown();
}

// ---------------------------------------------------------------------------
// Keys forwarded from the pop-up
// ---------------------------------------------------------------------------
void TExCustomDropDown::FormKeyPress(Char& Key) { Perform(WM_CHAR, Key); }
void TExCustomDropDown::FormKeyDown(Word& Key, TShiftState) { Perform(WM_KEYDOWN, Key); }
void TExCustomDropDown::FormKeyUp(Word& Key, TShiftState) { Perform(WM_KEYUP, Key); }
void TExCustomDropDown::ControlKeyDown(Word& Key, TShiftState) { Perform(WM_KEYDOWN, Key); }
void TExCustomDropDown::ControlKeyUp(Word& Key, TShiftState) { Perform(WM_KEYUP, Key); }
void TExCustomDropDown::ControlKeyPress(Char& Key) { Perform(WM_CHAR, Key); }

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------
LRESULT TExCustomDropDown::NativeDlgCode() const {
    // As a multi-line edit: Enter and Esc reach the key-down handling, Tab
    // still moves the focus.
    return TMaskEdit::NativeDlgCode() | DLGC_WANTALLKEYS;
}

void TExCustomDropDown::WMKeyDown(TWMKey& Message) {
    if (Designing(this)) return;
    if (FReturnIsTab && Message.CharCode() == VK_RETURN) {
        // Through the dialog keys, as a pressed Tab goes.
        Message.SetCharCode(VK_TAB);
        if (Visible()) PostMessage(Handle(), CN_KEYDOWN, VK_TAB);
    }
    const Word key = Message.CharCode();
    if (GetKeyState(VK_MENU) < 0 && (key == VK_UP || key == VK_DOWN)) {
        if (FDroppedDown) DoHideDropDown(false);
        else DoShowDropDown();
    }
    if (!FEditorEnabled && Enabled()) {
        if (!ReadOnly()) {
            if (key == VK_RETURN) DoHideDropDown(false);
            else if (key == VK_ESCAPE) DoHideDropDown(true);
            else if (key == VK_F4) {
                if (FDroppedDown) DoHideDropDown(false);
                else DoShowDropDown();
            }
        }
        if (key == VK_RETURN || key == VK_ESCAPE) TMaskEdit::WMKeyDown(Message);
        return;
    }
    if (GetKeyState(VK_CONTROL) < 0 && (key == VK_TAB || key == VK_RETURN)) {
        TMaskEdit::WMKeyDown(Message);
        return;
    }
    if (key == VK_DELETE && FLengthLimit > 0 && SelLength() == 0) {
        // A deletion that would join the parts beyond the limit is refused.
        String after = TMaskEdit::Text();
        if (SelStart() < int(after.size())) after.erase(size_t(SelStart()), 1);
        if (WholeDigits(after) > FLengthLimit) return;
    }
    if (key == VK_DELETE) SetModified(true);
    if (!FPrefix.empty() || !FSuffix.empty()) {
        if (FramedKey(key)) return;
    }
    TMaskEdit::WMKeyDown(Message);
    if (!FPrefix.empty() && SelStart() < int(FPrefix.size())) SetSelStart(int(FPrefix.size()));
    if (key == VK_DELETE && FEditType == etMoney) FormatMoney();
    switch (key) {
    case VK_RETURN: DoHideDropDown(false); break;
    case VK_ESCAPE: DoHideDropDown(true); break;
    case VK_F4:
        if (FDroppedDown) DoHideDropDown(false);
        else DoShowDropDown();
        break;
    default: break;
    }
}

bool TExCustomDropDown::FramedKey(Word Key) {
    // The caret and deletions stay between the prefix and the suffix.
    const int start = int(FPrefix.size());
    const int end = int(TMaskEdit::Text().size() - std::min(TMaskEdit::Text().size(), FSuffix.size()));
    const int caret = SelStart(), sel = SelLength();
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    auto moveTo = [&](int to) {
        if (shift) {
            const int from = caret == start && sel > 0 ? caret + sel : caret;
            Perform(EM_SETSEL, WPARAM(std::min(from, to)), std::max(from, to));
        } else {
            SetSelStart(to);
            SetSelLength(0);
        }
    };
    switch (Key) {
    case VK_HOME: moveTo(start); return true;
    case VK_END: moveTo(end); return true;
    case VK_LEFT: return caret <= start && sel == 0;
    case VK_RIGHT: return caret >= end && sel == 0;
    case VK_BACK: return caret <= start && sel == 0;
    case VK_DELETE: return caret >= end && sel == 0;
    default: return false;
    }
}

void TExCustomDropDown::KeyDown(Word& Key, TShiftState Shift) {
    TMaskEdit::KeyDown(Key, Shift);
    if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
        if (FDroppedDown) DoHideDropDown(false);
        else DoShowDropDown();
    }
}

void TExCustomDropDown::KeyPress(Char& Key) {
    TMaskEdit::KeyPress(Key);
    if (Key == VK_RETURN) Key = 0;
}

void TExCustomDropDown::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    const Word key = Message.CharCode();
    if (key == VK_ESCAPE && FCanUndo && !form->KeyPreview()) {
        SelectAll();
        TMaskEdit::SetModified(false);
        Message.SetCharCode(0);
        if (Parent() && FDefaultHandling) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessage(Parent()->Handle(), WM_KEYUP, VK_ESCAPE, 0);
        }
    } else if (key == VK_RETURN && FDefaultHandling && !form->KeyPreview() && Parent() && Parent()->Focused()) {
        PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessage(Parent()->Handle(), WM_KEYUP, VK_RETURN, 0);
    }
    TMaskEdit::CMWantSpecialKey(Message);
    if (Message.CharCode() == VK_ESCAPE && FDroppedDown) Message.Result = 1;
}

void TExCustomDropDown::WndProc(TMessage& Message) {
    TMaskEdit::WndProc(Message);
    if (Message.Msg == EM_SETREADONLY && FButton) FButton->SpeedButton()->Invalidate();
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------
void TExCustomDropDown::WMLButtonDown(TWMMouse& Message) {
    if (!FEditorEnabled) {
        TMaskEdit::WMLButtonDown(Message);
        ButtonDropDown();
        return;
    }
    if (Focused() && SelLength() > 0) {
        const int pos = int(Perform(EM_CHARFROMPOS, 0, MakeLParam(Message.XPos(), Message.YPos())) & 0xFFFF);
        if (pos >= SelStart() && pos < SelStart() + SelLength()) {
            // The selection stays; the release places the caret.
            FButtonDown = true;
            return;
        }
    }
    TMaskEdit::WMLButtonDown(Message);
}

void TExCustomDropDown::WMLButtonUp(TWMMouse& Message) {
    if (!FEditorEnabled || ReadOnly()) PaintEditArea();
    if (FButtonDown) {
        const int pos = int(Perform(EM_CHARFROMPOS, 0, MakeLParam(Message.XPos(), Message.YPos())) & 0xFFFF);
        SetSelStart(pos);
        SetSelLength(0);
    }
    FButtonDown = false;
    TMaskEdit::WMLButtonUp(Message);
}

bool TExCustomDropDown::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = TMaskEdit::DoMouseWheelDown(Shift, MousePos);
    WheelDown();
    return handled;
}

bool TExCustomDropDown::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = TMaskEdit::DoMouseWheelUp(Shift, MousePos);
    WheelUp();
    return handled;
}

// ---------------------------------------------------------------------------
// Layout and state
// ---------------------------------------------------------------------------
void TExCustomDropDown::CreateParams(TCreateParams& Params) { TMaskEdit::CreateParams(Params); }

void TExCustomDropDown::CreateWnd() {
    TMaskEdit::CreateWnd();
    SetEditRect();
}

void TExCustomDropDown::SetEditRect() {
    const int bw = FButton ? FButton->Width() : FDropDownButtonWidth;
    FEditRect = Rect(1, 1, ClientWidth() - bw - 3, ClientHeight() + 1);
    TRect r = FEditRect;
    Perform(EM_SETRECTNP, 0, LPARAM(&r));
}

void TExCustomDropDown::ResizeControl() {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(TFont());
    const int h0 = probe.Canvas().TextHeight(u"Wg");
    probe.Canvas().SetFont(Font());
    const int h1 = probe.Canvas().TextHeight(u"Wg");
    const int minHeight = h1 + std::min(h0, h1) / 4;
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    if (FButton) FButton->SetBounds(Width() - FButton->Width() - 4, 0, FButton->Width(), Height() - 4);
    SetEditRect();
    Invalidate();
}

void TExCustomDropDown::WMSize(TWMSize& Message) {
    TMaskEdit::WMSize(Message);
    ResizeControl();
}

void TExCustomDropDown::CMEnter(TMessage& Message) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TMaskEdit::CMEnter(Message);
    SetEditRect();
    PaintBorder();
}

void TExCustomDropDown::CMExit(TMessage& Message) {
    TMaskEdit::CMExit(Message);
    PaintBorder();
}

void TExCustomDropDown::CMMouseEnter(TMessage& Message) {
    TMaskEdit::CMMouseEnter(Message);
    if (Enabled()) {
        FMouseInControl = true;
        PaintBorder();
    }
}

void TExCustomDropDown::CMMouseLeave(TMessage& Message) {
    TMaskEdit::CMMouseLeave(Message);
    if (Enabled()) {
        FMouseInControl = false;
        PaintBorder();
    }
}

void TExCustomDropDown::CMEnabledChanged(TMessage& Message) {
    TMaskEdit::CMEnabledChanged(Message);
    if (FButton) FButton->SetEnabled(Enabled());
    Invalidate();
}

void TExCustomDropDown::CMFontChanged(TMessage& Message) {
    TMaskEdit::CMFontChanged(Message);
    if (HandleAllocated()) SetEditRect();
}

void TExCustomDropDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_PASTE: WMPaste(Message); return;
    case WM_CUT: WMCut(Message); return;
    case WM_COPY: WMCopy(Message); return;
    default: break;
    }
    TMaskEdit::Dispatch(Message);
}

void TExCustomDropDown::WMSetFocus(TMessage& Message) {
    if (Loading(this)) return;
    TMaskEdit::Dispatch(Message);
    if (FEditorEnabled) {
        if (AutoSelect()) SelectAll();
        else if (FEditType == etFloat || FEditType == etMoney) SelectBeforeDecimal();
    } else {
        HideCaret(Handle());
        Invalidate();
    }
}
