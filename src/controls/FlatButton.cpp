#include "controls/FlatButton.h"

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TFlatButtonThread

namespace {
constexpr Cardinal FadeTick = 30;  // milliseconds between two fade steps
constexpr int HotTrackSteps = 8;   // a face fully in the hot-track colour
}  // namespace

TFlatButtonThread::TFlatButtonThread(TNotifyEvent Notify, TFlatButton* Button)
    : TThread(true), FNotify(std::move(Notify)), FButton(Button) {
    FreeOnTerminate = true;
}

void TFlatButtonThread::Execute() {
    while (!Terminated()) {
        Sleep(FadeTick);
        if (Terminated()) break;
        Synchronize([this] { DoEvent(); });
    }
}

void TFlatButtonThread::DoEvent() {
    if (FNotify) FNotify(this);
}

// ---------------------------------------------------------------------------
// TFlatButton

TFlatButton::TFlatButton(TComponent* AOwner)
    : TCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()), FHTFont(std::make_unique<TFont>()) {
    SetBounds(Left(), Top(), 100, 23);
    // Mouse capture and the caption as control text; clicks are the button's own.
    SetControlStyle({csCaptureMouse, csSetCaption});
    SetTabStop(true);
    SetColor(clBtnFace);
    SetParentColor(false);
    if (auto form = dynamic_cast<TCustomForm*>(AOwner)) FHTFont->Assign(&form->Font());
    // The fade thread is made when SlowDecease is first set: until then it
    // would only sit suspended.
}

TFlatButton::~TFlatButton() {
    Destroying();
    StopThread();
}

void TFlatButton::StopThread() {
    if (!FThread) return;
    // The stop sequence swallows its errors: the button goes in any case.
    try {
        while (FThread->Suspended()) FThread->Resume();
        FThread->Terminate();
        FThread->WaitFor();
    } catch (...) {
    }
    delete FThread;
    FThread = nullptr;
}

TCustomForm* TFlatButton::OwnerForm() const {
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto form = dynamic_cast<TCustomForm*>(o)) return form;
    return nullptr;
}

bool TFlatButton::ParentShowing() const {
    return Parent() && Parent()->Showing();
}

void TFlatButton::SetAlignment(TAlignment Value) { FAlignment = Value; Repaint(); }
void TFlatButton::SetShadowColor(TColor Value) { FShadowColor = Value; Repaint(); }
void TFlatButton::SetFlat(bool Value) { FFlat = Value; Repaint(); }
void TFlatButton::SetWordWrap(bool Value) { FWordWrap = Value; Repaint(); }
void TFlatButton::SetLayout(TFlatButtonLayout Value) { FLayout = Value; Repaint(); }
void TFlatButton::SetLightColor(TColor Value) { FLightColor = Value; Repaint(); }
void TFlatButton::SetNumGlyphs(int Value) { FNumGlyphs = Value; Invalidate(); }

void TFlatButton::SetGlyph(const TBitmap* Value) {
    if (Value && !Value->Empty()) {
        FGlyph->Assign(Value);
        FNumGlyphs = FGlyph->Height() == 0 ? 0 : FGlyph->Width() / FGlyph->Height();
    } else {
        FGlyph->SetHeight(0);
        FNumGlyphs = 0;
    }
    FKind = bkCustom;
    Invalidate();
}

void TFlatButton::SetModalResult(TModalResult Value) {
    FModalResult = Value;
    FKind = bkCustom;
}

void TFlatButton::SetKind(TFlatButtonKind Value) {
    if (Value == bkCustom) {
        FKind = Value;
        return;
    }
    const TFlatButtonKindInfo* info = FlatButtonKindInfo(Value);
    SetModalResult(info->ModalResult);
    TBitmap glyph;
    LoadFlatButtonResource(Utf8ToString(info->Resource), glyph);
    SetGlyph(&glyph);
    FNumGlyphs = 2;
    SetCaption(Utf8ToString(info->Caption));
    FKind = Value;
    Invalidate();
}

void TFlatButton::SetStyle(TFlatButtonStyle Value) {
    FStyle = Value;
    // The faces of these styles leave their corners unpainted: what lies beneath shows there.
    const bool transparent = Value == bsModern || Value == bsShape || Value == bsQuicken;
    SetWindowLong(Handle(), GWL_EXSTYLE, transparent ? LPARAM(WS_EX_TRANSPARENT) : 0);
    Invalidate();
}

void TFlatButton::SetColorStyle(TFlatColorStyle Value) {
    const TFlatColorScheme* scheme = FlatColorScheme(Value);
    if (!scheme) return;
    FFlat = false;
    Font().SetColor(clBlack);
    SetColor(scheme->Color);
    FLightColor = scheme->LightColor;
    FShadowColor = scheme->ShadowColor;
    FColorWhenDown = scheme->ColorWhenDown;
    FHotTrackColor = scheme->HotTrackColor;
    FFlat = scheme->Flat;
    Font().SetColor(scheme->CaptionColor);
    // Stored without the window-style change of the Style writer.
    FStyle = bsNormal;
    if (scheme->ButtonStyle == bsModern || scheme->ButtonStyle == bsQuicken) FStyle = scheme->ButtonStyle;
    Repaint();
}

void TFlatButton::SetSlowDecease(bool Value) {
    FSlowDecease = Value;
    if (Value) {
        if (!FThread) {
            FThread = new TFlatButtonThread([this](TObject* s) { FadeStep(s); }, this);
            FThread->FreeOnTerminate = false;  // the button frees its thread itself
        }
    } else if (FThread) {
        FHotTrackStep = 0;
        StopThread();
    }
    Invalidate();
}

void TFlatButton::FadeStep(TObject*) {
    if (ComponentState().Contains(csDestroying)) return;
    // A step that was waiting while SlowDecease is cleared must not suspend
    // the thread again: the stop sequence is waiting for it to end.
    if (FThread && FThread->Terminated()) return;
    --FHotTrackStep;
    if (FHotTrackStep <= 0) {
        if (FThread && !FThread->Suspended()) FThread->Suspend();
        FHotTrackStep = 0;
    }
    Repaint();
}

void TFlatButton::SetCaption(const String& Value) {
    SetText(Value);
    Invalidate();
}

void TFlatButton::SetEnabled(bool Value) {
    TCustomControl::SetEnabled(Value);
    bDown = false;
    Repaint();
}

void TFlatButton::Click() {
    bDown = true;
    DoClick();
    // The framework's own click would fire OnClick a second time: only its
    // action part runs here.
    if (FActionLink) FActionLink->Execute(this);
}

void TFlatButton::ActionChange(TObject* Sender) {
    TCustomControl::ActionChange(Sender);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action || !action->ActionList()) return;
    TImageList* images = action->ActionList()->Images();
    if (images && FGlyph->Empty() && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count())
        CopyActionImage(*action);
}

void TFlatButton::CopyActionImage(TCustomAction& Action) {
    TImageList& images = *Action.ActionList()->Images();
    FGlyph->SetSize(images.Width(), images.Height());
    TCanvas& c = FGlyph->Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(TColor(0xFF00FF));  // magenta: where the image leaves the face
    c.FillRect(Rect(0, 0, images.Width(), images.Height()));
    images.Draw(c, 0, 0, Action.ImageIndex());
    FNumGlyphs = 1;
    Invalidate();
}

void TFlatButton::DoClick() {
    if (!(Visible() && Enabled() && bDown)) return;
    bDown = false;  // one click per press
    if (OnClick) OnClick(this);
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    }
    // A button with a menu opens it below its bottom-left corner.
    if (TPopupMenu* menu = PopupMenu()) {
        const TPoint p = ClientToScreen({0, Height()});
        menu->PopupComponent = this;
        menu->Popup(p.X, p.Y);
    }
}

void TFlatButton::CMMouseEnter(TMessage& Message) {
    if (Enabled() && Visible() && ParentShowing()) {
        bCursorOnButton = true;
        FHotTrackStep = HotTrackSteps;
        Repaint();
        if (OnMouseEnter) OnMouseEnter(this);
    }
    DefaultHandler(Message);
}

void TFlatButton::CMMouseLeave(TMessage& Message) {
    bCursorOnButton = false;
    if (FSlowDecease) {
        if (FThread && FThread->Suspended()) FThread->Resume();
    } else {
        FHotTrackStep = 0;
        Repaint();
    }
    if (Enabled() && Visible() && ParentShowing() && OnMouseExit) OnMouseExit(this);
    DefaultHandler(Message);
}

void TFlatButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Enabled() && Button == mbLeft) {
        bDown = true;
        if (CanFocus()) SetFocus();
        Repaint();
    }
}

void TFlatButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    // Where the mouse is on release is not tested: a press here and a release anywhere clicks.
    if (bDown) Click();
    bDown = false;
    Repaint();
}

// A modal window that took the mouse or the keys (a field's exit check
// refusing the focus this press moved) ends the press: no release clicks.
void TFlatButton::WMCancelMode(TMessage& Message) {
    TCustomControl::WMCancelMode(Message);
    if (!bDown && !FKeyPressed) return;
    bDown = false;
    FKeyPressed = 0;
    Repaint();
}

void TFlatButton::CMFocusChanged(TMessage& Message) {
    TCustomControl::CMFocusChanged(Message);
    if (!Focused()) FKeyPressed = 0;
    Repaint();
}

void TFlatButton::CNKeyDown(TWMKey& Message) {
    TCustomControl::CNKeyDown(Message);
    if (Enabled() && (Message.CharCode() == VK_RETURN || Message.CharCode() == VK_SPACE)) {
        bDown = true;
        FKeyPressed = Message.CharCode();
        Repaint();
    }
}

void TFlatButton::CNKeyUp(TWMKey& Message) {
    TCustomControl::CNKeyUp(Message);
    // The release of a key whose press went elsewhere (to a dialog that
    // closed on it) must not click this button.
    const Word key = Message.CharCode();
    if ((key == VK_RETURN || key == VK_SPACE) && key == FKeyPressed) {
        FKeyPressed = 0;
        Click();
    }
    Repaint();
}

void TFlatButton::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Visible() && Enabled() && ParentShowing()) {
        bDown = true;
        Click();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TFlatButton::CMDialogKey(TCMDialogKey& Message) {
    const Word key = Message.CharCode();
    const bool noShift = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    const bool acts = ((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel && noShift)) && Visible() &&
                      Enabled();
    if (acts) {
        TCustomForm* form = OwnerForm();
        TWinControl* active = form ? form->ActiveControl() : nullptr;
        const String name = active ? UpperCase(active->ClassName()) : String();
        const bool isButton = name.find(u"BUTTON") != String::npos && name.find(u"RADIOBUTTON") == String::npos;
        if (!isButton) {
            bDown = true;
            Click();
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::CMDialogKey(Message);
}

void TFlatButton::Paint() {
    if (!Visible() || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    const int W = Width(), H = Height();
    TBitmap face(W, H);
    TFont font;
    font.Assign(&Font());
    if ((bCursorOnButton || Focused()) && FUseHTFont) font.Assign(FHTFont.get());
    const bool transparent = FStyle == bsModern || FStyle == bsShape || FStyle == bsQuicken;
    if (transparent) {
        face.Canvas().Brush().SetColor(0xFF00FF);
        face.Canvas().FillRect(Rect(0, 0, W, H));
        face.SetTransparentColor(0xFF00FF);
        face.SetTransparent(true);
    }
    const bool hot = bCursorOnButton || Focused();
    if (FStyle == bsOld && Focused()) {
        PaintButton(face.Canvas(), W - 2, H - 2, FAlignment, Caption(), FLayout, font, FShadowColor,
                    bDown ? FShadowColor : FLightColor, FHotTrackColor, FColorWhenDown, Color(), FStyle,
                    PopupMenu() != nullptr, FWordWrap, FFlat, Enabled(), hot, bDown, *FGlyph, FNumGlyphs,
                    FHotTrackStep);
        TBitmap copy;
        copy.Assign(&face);
        face.Canvas().CopyRect(Rect(1, 1, W, H), copy.Canvas(), Rect(0, 0, W - 1, H - 1));
        face.Canvas().Brush().SetStyle(bsClear);
        face.Canvas().Pen().SetColor(clBlack);
        face.Canvas().Rectangle(0, 0, W, H);
    } else {
        PaintButton(face.Canvas(), W, H, FAlignment, Caption(), FLayout, font, FShadowColor, FLightColor,
                    FHotTrackColor, FColorWhenDown, Color(), FStyle, PopupMenu() != nullptr, FWordWrap, FFlat,
                    Enabled(), hot, bDown, *FGlyph, FNumGlyphs, FHotTrackStep);
    }
    Canvas().Draw(0, 0, face);
    if (Focused() && Enabled() && FStyle != bsShape) Canvas().DrawFocusRect(Rect(4, 4, W - 4, H - 4));
}
