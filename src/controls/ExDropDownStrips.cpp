// The pop-up's header and footer strips and the look of their buttons.

#include "controls/ExDropDown.h"

#include "framework/ImgList.h"
#include "framework/Windows.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridColors.h"

#include <algorithm>
#include <cmath>

TExButtonAppearance::TExButtonAppearance() { FFont.SetName(u"Tahoma"); }

void TExButtonAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TExButtonAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetColor(s->FColor);
    SetColorTo(s->FColorTo);
    SetColorHot(s->FColorHot);
    SetColorHotTo(s->FColorHotTo);
    SetColorDown(s->FColorDown);
    SetColorDownTo(s->FColorDownTo);
    SetColorChecked(s->FColorChecked);
    SetColorCheckedTo(s->FColorCheckedTo);
    SetColorDisabled(s->FColorDisabled);
    SetColorDisabledTo(s->FColorDisabledTo);
    SetBorderColor(s->FBorderColor);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorDown(s->FBorderColorDown);
    SetBorderColorChecked(s->FBorderColorChecked);
    SetBorderColorDisabled(s->FBorderColorDisabled);
    SetGradient(s->FGradient);
}

void TExButtonAppearance::SetGradient(TBarAppearance::TGradientDirection Value) {
    if (FGradient == Value) return;
    FGradient = Value;
    Changed();
}


// ---------------------------------------------------------------------------
// TExButton
// ---------------------------------------------------------------------------
namespace {
constexpr std::uintptr_t UnHotTimer = 1;

}  // namespace

TExButton::TExButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 22, 23);
    FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks};
    SetParentFont(true);
    Font().SetName(u"Tahoma");
    SetShowHint(false);
    SetDoubleBuffered(true);
}

TExButton::~TExButton() {
    if (HandleAllocated()) KillTimer(Handle(), UnHotTimer);
}

void TExButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TExButton::AdjustSize() {
    if (!FAppearance) return;
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(FAppearance->Font());
    const String text = Caption();
    int w = text.empty() ? 0 : probe.Canvas().TextWidth(text);
    int h = text.empty() ? 0 : probe.Canvas().TextHeight(text);
    if (FImages && FImageIndex >= 0) {
        w = std::max(w, FImages->Width());
        h = std::max(h, FImages->Height());
    }
    SetBounds(Left(), Top(), w + 8, h + 4);
}

void TExButton::Click() {
    TModalResult mr = FModalResult;
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(mr);
    const bool cancelled = mr == mrCancel || mr == mrAbort || mr == mrIgnore || mr == mrNo || mr == mrNoToAll;
    const bool closes = mr == mrOk || mr == mrCancel || mr == mrAbort || mr == mrIgnore || mr == mrYes ||
                        mr == mrNo || mr == mrAll || mr == mrNoToAll || mr == mrYesToAll;
    if (FExDropDown && closes) FExDropDown->DoHideDropDown(cancelled);
    if (!FInternalClick) TCustomControl::Click();
}

void TExButton::Paint() {
    if (!Enabled()) FState = absDisabled;
    else if (FState == absDisabled) FState = absUp;
    TCanvas& c = Canvas();
    // See-through: the parent's background and the siblings under the button.
    DrawParentBackground(this, c);
    DrawButton(c);
}

void TExButton::DrawButton(TCanvas& C) {
    if (!FAppearance) return;
    const TExButtonAppearance& a = *FAppearance;
    TColor from = a.Color(), to = a.ColorTo(), border = a.BorderColor();
    if (FState == absDisabled) from = a.ColorDisabled(), to = a.ColorDisabledTo(), border = a.BorderColorDisabled();
    else if (FMouseDownInControl && FMouseInControl) from = a.ColorDown(), to = clNone, border = a.BorderColorDown();
    else if (FMouseInControl || Focused()) from = a.ColorHot(), to = clNone, border = a.BorderColorHot();
    const TRect r = Rect(0, 0, Width(), Height());
    DrawGradientBackground(&C, r, from, to, border, 1, a.Gradient() == TBarAppearance::gdVertical);
    C.Brush().SetStyle(bsClear);
    C.SetFont(FAppearance->Font());
    DrawImageAndText(&C, r, Caption(), FImages, FImageIndex);
}

void TExButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        FMouseDownInControl = true;
        FState = absDown;
        FDragging = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TExButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FDragging) {
        const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
        const TExButtonState s = inside ? absDown : absUp;
        FMouseInControl = inside;
        if (s != FState) {
            FState = s;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TExButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMouseDownInControl = false;
    Invalidate();
    if (FDragging) {
        FDragging = false;
        FState = absUp;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TExButton::CMMouseEnter(TMessage& Message) {
    TCustomControl::CMMouseEnter(Message);
    FMouseInControl = true;
    if (Enabled()) Invalidate();
    SetTimer(Handle(), UnHotTimer, 1);
    if (OnButtonMouseEnter) OnButtonMouseEnter(this);
}

void TExButton::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    KillTimer(Handle(), UnHotTimer);
    FMouseInControl = false;
    FHot = false;
    if (Enabled()) Invalidate();
    if (OnButtonMouseLeave) OnButtonMouseLeave(this);
}

void TExButton::WMTimer(TWMTimer& Message) {
    const TPoint p = ScreenToClient(GetCursorPos());
    if (!PtInRect(ClientRect(), p)) {
        KillTimer(Handle(), UnHotTimer);
        FMouseInControl = false;
        FHot = false;
        if (Enabled()) Invalidate();
    }
    TCustomControl::WMTimer(Message);
}

void TExButton::WMKeyDown(TWMKey& Message) {
    if (Message.CharCode() == VK_RETURN || Message.CharCode() == VK_SPACE) {
        FState = absDown;
        Invalidate();
        FInternalClick = true;
        try {
            Click();
        } catch (...) {
            FInternalClick = false;
            throw;
        }
        FInternalClick = false;
    }
    TCustomControl::WMKeyDown(Message);
}

// ---------------------------------------------------------------------------
// The strips
// ---------------------------------------------------------------------------
TExStrip::TExStrip(TComponent* AOwner, TBarAppearance* Look) : TCustomControl(AOwner), FAppearance(Look) {
    FAppearance->OnChange = [this](TObject*) {
        SetVisible(FAppearance->Visible());
        SetHeight(FAppearance->Height());
    };
    FControlStyle = {csAcceptsControls, csClickEvents, csDoubleClicks};
    SetDoubleBuffered(true);
}

TExStrip::~TExStrip() { DestroyButtons(); }

void TExStrip::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TExStrip::SetExDropDown(TExCustomDropDown* Value) {
    FExDropDown = Value;
    if (!Value) {
        FImages = nullptr;
        return;
    }
    FImages = Value->Images();
    if (IsFooter()) FAppearance->Assign(&Value->DropDownFooter());
    else FAppearance->Assign(&Value->DropDownHeader());
}

void TExStrip::LoadButtons() {
    if (FExDropDown) CreateButtons();
}

void TExStrip::CreateButtons() {
    THeaderButtons* items = Buttons();
    if (!items || !FExDropDown) return;
    DestroyButtons();
    const TRect area = ButtonsArea();
    const int limit = area.Height();
    for (int i = 0; i < items->Count(); ++i) {
        THeaderButton* item = items->Items(i);
        auto* b = new TExButton(this);
        b->SetParent(this);
        b->SetAppearance(&FExDropDown->ButtonAppearance());
        b->SetCaption(item->Caption());
        b->SetImages(FImages);
        b->SetImageIndex(item->ImageIndex());
        b->SetEnabled(item->Enabled());
        b->AdjustSize();
        int w = b->Width(), h = b->Height();
        if (item->Width() > 0) w = item->Width();
        if (item->Height() > 0) h = item->Height();
        b->SetBounds(b->Left(), b->Top(), w, std::min(h, limit));
        b->SetTag(i);
        b->OnClick = [this](TObject* Sender) { ButtonClicked(Sender); };
        FButtonList.Add(b);
    }
    ArrangeButtons();
}

void TExStrip::DestroyButtons() {
    for (int i = FButtonList.Count() - 1; i >= 0; --i) delete FButtonList.GetItemsEx(i);
    FButtonList.Clear();
}

void TExStrip::UpdateButtons() {
    THeaderButtons* items = Buttons();
    for (int i = 0; i < FButtonList.Count(); ++i) {
        TExButton* b = FButtonList.GetItemsEx(i);
        if (FExDropDown) b->SetAppearance(&FExDropDown->ButtonAppearance());
        b->SetImages(FImages);
        if (items && i < items->Count()) {
            b->SetCaption(items->Items(i)->Caption());
            b->SetImageIndex(items->Items(i)->ImageIndex());
            b->SetEnabled(items->Items(i)->Enabled());
        }
    }
    ArrangeButtons();
}

void TExStrip::ArrangeButtons() {
    if (FButtonList.Count() == 0) return;
    const TRect area = ButtonsArea();
    int x = FAppearance->ButtonAlignment() == TBarAppearance::baRight ? area.Right : area.Left;
    for (int i = 0; i < FButtonList.Count(); ++i) {
        TExButton* b = FButtonList.GetItemsEx(i);
        const int top = std::max(int(area.Top), (area.Bottom - b->Height()) / 2);
        if (FAppearance->ButtonAlignment() == TBarAppearance::baRight) {
            b->SetBounds(x - b->Width(), top, b->Width(), b->Height());
            x = b->Left();
        } else {
            b->SetBounds(x, top, b->Width(), b->Height());
            x += b->Width();
        }
    }
}

void TExStrip::Resize() {
    TCustomControl::Resize();
    ArrangeButtons();
}

void TExStrip::ButtonClicked(TObject* Sender) {
    auto* b = dynamic_cast<TExButton*>(Sender);
    if (!b || !FExDropDown) return;
    const auto& handler =
        IsFooter() ? FExDropDown->OnDropDownFooterButtonClick : FExDropDown->OnDropDownHeaderButtonClick;
    if (handler) handler(FExDropDown, int(b->Tag()));
}

void TExStrip::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, r);
        return;
    }
    const TBarAppearance& a = *FAppearance;
    if (a.ColorTo() == clNone) {
        if (a.Color() != clNone) {
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(a.Color());
            c.FillRect(r);
        }
    } else {
        DrawSteppedGradient(c, a.Color(), a.ColorTo(), 80, r, a.GradientDirection() == TBarAppearance::gdHorizontal);
    }
    const int bw = a.BorderWidth();
    if (a.BorderColor() != clNone && bw > 0) {
        c.Pen().SetWidth(bw);
        c.Pen().SetColor(a.BorderColor());
        const bool footer = IsFooter();
        if (footer) {
            c.MoveTo(r.Left, r.Top);
            c.LineTo(r.Right, r.Top);
        } else {
            c.MoveTo(r.Left, r.Bottom - 1);
            c.LineTo(r.Right, r.Bottom - 1);
        }
        if (!FExDropDown || FExDropDown->DropDownBorderWidth() <= 0 || FExDropDown->DropDownBorderColor() == clNone) {
            if (footer) {
                c.MoveTo(r.Left, r.Top);
                c.LineTo(r.Left, r.Bottom - 1);
                c.LineTo(r.Right - 1, r.Bottom - 1);
                c.LineTo(r.Right - 1, r.Top);
            } else {
                c.MoveTo(r.Left, r.Bottom - 1);
                c.LineTo(r.Left, r.Top);
                c.LineTo(r.Right - 1, r.Top);
                c.LineTo(r.Right - 1, r.Bottom - 1);
            }
        }
        c.Pen().SetWidth(1);
        c.Brush().SetStyle(bsClear);
        c.Pen().SetColor(BlendColor(a.BorderColor(), clWhite, 20));
        TRect inner = r;
        if (footer) inner.Top += bw;
        else inner.Bottom -= bw;
        c.Rectangle(inner);
    }
    TRect t = Rect(r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw);
    if (a.ImageIndex() >= 0 && FImages) {
        FImages->Draw(c, t.Left + 4, t.Top + (t.Height() - FImages->Height()) / 2, a.ImageIndex(), true);
        t.Left += FImages->Width() + 8;
    }
    String text = a.Caption();
    if (OnGetText) OnGetText(this, text);
    if (!text.empty()) {
        if (FButtonList.Count() > 0) t.Right = FButtonList.GetItemsEx(FButtonList.Count() - 1)->Left() - 2;
        c.SetFont(const_cast<TBarAppearance&>(a).Font());
        // The caption may hold markup: measured first, then drawn.
        const int th = DrawMarkupTextInRect(c, text, t, FImages, false, this).Y;
        if (th < t.Height()) t.Top += (t.Height() - th) / 2;
        c.Brush().SetStyle(bsClear);
        DrawMarkupTextInRect(c, text, t, FImages, true, this);
    }
}

TExHeader::TExHeader(TComponent* AOwner) : TExStrip(AOwner, new THeaderAppearance(AOwner)) {
    FAppearance->OnButtonsChanged = [](TObject*) {};
}

THeaderButtons* TExHeader::Buttons() const { return FExDropDown ? &FExDropDown->DropDownHeader().Buttons() : nullptr; }

TRect TExHeader::ButtonsArea() const {
    const TRect r = ClientRect();
    return Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 3);
}

TExFooter::TExFooter(TComponent* AOwner) : TExStrip(AOwner, new TFooterAppearance(AOwner)) {
    FControlStyle.Include(csCaptureMouse);
}

THeaderButtons* TExFooter::Buttons() const { return FExDropDown ? &FExDropDown->DropDownFooter().Buttons() : nullptr; }

bool TExFooter::ShowsSizeGrip() const {
    return static_cast<const TFooterAppearance&>(*FAppearance).SizeGrip() && FExDropDown &&
           FExDropDown->DropDownSizeable();
}

TRect TExFooter::ButtonsArea() const {
    const TRect r = ClientRect();
    return Rect(r.Left + 2, r.Top + 2, r.Right - (ShowsSizeGrip() ? 14 : 2), r.Bottom - 2);
}

void TExFooter::CreateButtons() {
    TExStrip::CreateButtons();
    auto* items = static_cast<TFooterButtons*>(Buttons());
    for (int i = 0; items && i < FButtonList.Count() && i < items->Count(); ++i) {
        FButtonList.GetItemsEx(i)->SetExDropDown(FExDropDown);
        FButtonList.GetItemsEx(i)->SetModalResult(items->Items(i)->ModalResult());
    }
}

void TExFooter::Paint() {
    TExStrip::Paint();
    if (OnDrawBackGround || !ShowsSizeGrip()) return;
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    const int bw = FAppearance->BorderWidth();
    const int gl = r.Right - bw - 16, gb = r.Bottom;
    auto squares = [&](int dx, TColor color) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(color);
        c.Pen().SetColor(color);
        const int x3[] = {gl + 5, gl + 9, gl + 13}, x2[] = {gl + 9, gl + 13};
        for (int x : x3) c.FillRect(Rect(x + dx, gb - 4 + dx, x + 2 + dx, gb - 2 + dx));
        for (int x : x2) c.FillRect(Rect(x + dx, gb - 8 + dx, x + 2 + dx, gb - 6 + dx));
        c.FillRect(Rect(gl + 13 + dx, gb - 12 + dx, gl + 15 + dx, gb - 10 + dx));
    };
    squares(0, clWhite);
    squares(-1, FAppearance->BorderColor());
}

bool TExFooter::InGrip(int X, int Y) const { return ShowsSizeGrip() && X > Width() - 12 && Y > Height() - 15; }

void TExFooter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExStrip::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && InGrip(X, Y) && Parent()) {
        ReleaseCapture();
        const TPoint p = ClientToScreen(TPoint{X, Y});
        SendMessage(Parent()->Handle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MakeLParam(p.X, p.Y));
    }
}

void TExFooter::MouseMove(TShiftState Shift, int X, int Y) {
    TExStrip::MouseMove(Shift, X, Y);
    if (InGrip(X, Y)) {
        if (Screen->Cursor() != crSizeNWSE) Screen->SetCursor(crSizeNWSE);
    } else if (Screen->Cursor() != FOldCursor) {
        Screen->SetCursor(FOldCursor);
    }
}

void TExFooter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExStrip::MouseUp(Button, Shift, X, Y);
    Screen->SetCursor(FOldCursor);
}

void TExFooter::CMMouseEnter(TMessage& Message) {
    TExStrip::CMMouseEnter(Message);
    if (Screen->Cursor() != crSizeNWSE) FOldCursor = Screen->Cursor();
}

void TExFooter::CMMouseLeave(TMessage& Message) {
    TExStrip::CMMouseLeave(Message);
    Screen->SetCursor(FOldCursor);
}

// ---------------------------------------------------------------------------
// Preparing the strips before each opening
// ---------------------------------------------------------------------------
namespace {
template <class Strip>
void PrepareStrip(TDropDownForm* Form, Strip*& S, TExCustomDropDown* DD, TBarAppearance& Look, TAlign Align) {
    if (S) {
        S->SetExDropDown(DD);
        S->LoadButtons();
        S->SetVisible(Look.Visible());
    } else if (Look.Visible()) {
        S = new Strip(Form);
        S->SetParent(Form);
        S->SetHeight(Look.Height());
        S->SetExDropDown(DD);
        S->LoadButtons();
        S->SetAlign(Align);
    }
}
}  // namespace

void TDropDownForm::InitializeAndUpdate() {
    if (!FExDropDown) return;
    PrepareStrip(this, FHeader, FExDropDown, FExDropDown->DropDownHeader(), alTop);
    if (FHeader) {
        FHeader->OnDrawBackGround = FExDropDown->OnDrawHeader;
        FHeader->OnGetText = FExDropDown->OnGetHeaderText;
    }
    PrepareStrip(this, FFooter, FExDropDown, FExDropDown->DropDownFooter(), alBottom);
    if (FFooter) {
        FFooter->OnDrawBackGround = FExDropDown->OnDrawFooter;
        FFooter->OnGetText = FExDropDown->OnGetFooterText;
    }
}
