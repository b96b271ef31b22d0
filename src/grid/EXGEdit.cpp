#include "grid/EXGEdit.h"
#include "grid/ExgSpinEdit.h"

#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TExSpeedButton
// ---------------------------------------------------------------------------
void TExSpeedButton::SetIsWinXP(bool Value) {
    FIsWinXP = Value;
    Invalidate();
}

void TExSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) FHeld = true;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TExSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool wasHeld = FHeld;
    if (Button == mbLeft) FHeld = false;
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    auto* owner = dynamic_cast<TExgEditButton*>(Parent());
    if (owner && wasHeld && Button == mbLeft && PtInRect(ClientRect(), {X, Y})) owner->ButtonReleased();
}

void TExSpeedButton::CMMouseEnter(TMessage& Message) {
    TSpeedButton::CMMouseEnter(Message);
    FHot = true;
    Invalidate();
}

void TExSpeedButton::CMMouseLeave(TMessage& Message) {
    TSpeedButton::CMMouseLeave(Message);
    FHot = false;
    Invalidate();
}

void TExSpeedButton::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    auto* owner = dynamic_cast<TExgEditButton*>(Parent());
    const bool down = FHeld || Down();
    if (owner && owner->ButtonColor != clNone) {
        SetFlat(true);
        TColor fill = owner->ButtonColor;
        if (FHot && owner->ButtonColorHot != clNone) fill = owner->ButtonColorHot;
        if (down && owner->ButtonColorDown != clNone) fill = owner->ButtonColorDown;
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(fill);
        c.FillRect(r);
    } else if (FIsWinXP && IsThemeActive()) {
        HTHEME theme = OpenThemeData(this, u"button");
        const int state = down ? PBS_PRESSED : FHot ? PBS_HOT : PBS_NORMAL;
        if (theme) DrawThemeBackground(theme, c, BP_PUSHBUTTON, state, r);
        CloseThemeData(theme);
    } else if (Flat()) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clBtnFace);
        c.FillRect(r);
        TRect e = r;
        c.DrawEdge(e, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(r, -1, -1);
    } else {
        TRect e = r;
        c.DrawFrameControl(e, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    }
    const int shift = down ? 1 : 0;
    if (!Glyph().Empty()) {
        const int gw = Glyph().Width() / std::max(1, NumGlyphs()), gh = Glyph().Height();
        TBitmap part(gw, gh);
        part.Canvas().CopyRect(Rect(0, 0, gw, gh), Glyph().Canvas(), Rect(0, 0, gw, gh));
        part.SetTransparent(true);
        const int x = gw < r.Right - r.Left ? r.Left + (r.Right - r.Left - gw) / 2 : r.Left;
        const int y = gh < r.Bottom - r.Top ? r.Top + (r.Bottom - r.Top - gh) / 2 : r.Top;
        c.Draw(x + shift, y + shift, part);
    }
    if (!Caption().empty()) {
        c.SetFont(Font());
        c.Font().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
        TRect t = r;
        OffsetRect(t, shift, shift);
        c.DrawText(Caption(), t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

// ---------------------------------------------------------------------------
// TExgEditButton
// ---------------------------------------------------------------------------
TExgEditButton::TExgEditButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    FControlStyle.Include(csOpaque);
    FButton = new TExSpeedButton(this);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    SetBounds(0, 0, 20, 25);
}

TExgEditButton::~TExgEditButton() { SetFocusControl(nullptr); }

void TExgEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FButton) FButton->SetBounds(0, 0, AWidth, AHeight);
}

void TExgEditButton::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TExgEditButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TExgEditButton::ButtonReleased() {
    if (OnClick) OnClick(this);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

// ---------------------------------------------------------------------------
// TExgEditBtn
// ---------------------------------------------------------------------------
TExgEditBtn::TExgEditBtn(TComponent* AOwner) : TMaskEdit(AOwner) {
    FButton = new TExgEditButton(this);
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject* Sender) { DoClickBtn(Sender); };
    SetText(u"0");
    FControlStyle.Exclude(csSetCaption);
}

TExgEditBtn::~TExgEditBtn() = default;

void TExgEditBtn::DoClickBtn(TObject*) {
    if (OnClickBtn) OnClickBtn(this);
}

void TExgEditBtn::SetRightAlign(bool Value) {
    if (FRightAlign == Value) return;
    FRightAlign = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TExgEditBtn::SetButtonWidth(int Value) {
    FButton->SetWidth(Value);
    // A size change places the button again.
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TExgEditBtn::CreateWnd() {
    TMaskEdit::CreateWnd();
    SetEditRect();
}

void TExgEditBtn::SetEditRect() {
    if (!HandleAllocated()) return;
    const int m = 1;  // inside the border
    int right = ClientWidth() - (FButton->Width() + FUnitSize + 5);
    if (FUnitSize > 0) right -= 3;
    TRect r = Rect(m, m, right, ClientHeight() + 1);
    Perform(EM_SETRECTNP, 0, LPARAM(&r));
}

void TExgEditBtn::WMSize(TWMSize& Message) {
    TMaskEdit::WMSize(Message);
    const int minHeight = EditTextHeight(Font());
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    const int d = 5;
    FButton->SetBounds(Width() - FButton->Width() - d, 0, FButton->Width(), Height() - d);
    SetEditRect();
}

void TExgEditBtn::KeyDown(Word& Key, TShiftState Shift) {
    const Word k = Key;
    TMaskEdit::KeyDown(Key, Shift);
    if (k == VK_F4 && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && GetKeyState(VK_MENU) >= 0 &&
        GetKeyState(VK_RMENU) >= 0)
        DoClickBtn(this);
}

void TExgEditBtn::WMChar(TWMKey& Message) {
    if (FEditorEnabled) TMaskEdit::WMChar(Message);
}

void TExgEditBtn::Dispatch(TMessage& Message) {
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly())) return;
    TMaskEdit::Dispatch(Message);
}

void TExgEditBtn::CMEnter(TMessage& Message) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TMaskEdit::CMEnter(Message);
}

// ---------------------------------------------------------------------------
// TExgUnitEditBtn
// ---------------------------------------------------------------------------
TExgUnitEditBtn::TExgUnitEditBtn(TComponent* AOwner)
    : TExgEditBtn(AOwner), FUnits(std::make_unique<TStringList>()) {
    FUnitSize = 20;
    SetRightAlign(true);
}

TExgUnitEditBtn::~TExgUnitEditBtn() = default;

void TExgUnitEditBtn::SetUnits(const TStringList* Value) {
    if (Value) FUnits->Assign(Value);
}

void TExgUnitEditBtn::SetUnitID(const String& Value) {
    FUnitID = Value;
    Invalidate();
}

void TExgUnitEditBtn::SetUnitSpace(int Value) {
    FUnitSize = Value;
    SetEditRect();
    Invalidate();
}

void TExgUnitEditBtn::SetTextAndUnit(const String& Value) {
    for (int i = 0; i < FUnits->Count(); ++i) {
        const String& unit = (*FUnits)[i];
        if (unit.empty() || unit.size() > Value.size()) continue;
        // Only the unit's first occurrence counts, and it must end the value.
        if (Value.find(unit) != Value.size() - unit.size()) continue;
        SetText(Value.substr(0, Value.size() - unit.size()));
        SetUnitID(unit);
        return;
    }
}

void TExgUnitEditBtn::DoClickBtn(TObject* Sender) {
    TExgEditBtn::DoClickBtn(Sender);
    TPopupMenu menu(nullptr);
    for (int i = 0; i < FUnits->Count(); ++i)
        menu.Items().Add(NewItem(&menu, (*FUnits)[i], [this, i](TObject*) { UnitChosen(i); }));
    menu.PopupComponent = this;
    const TPoint at = ClientToScreen(TPoint{ClientWidth() - 15, ClientHeight()});
    menu.Popup(at.X, at.Y);
}

void TExgUnitEditBtn::UnitChosen(int Index) {
    if (Index < 0 || Index >= FUnits->Count()) return;
    const String previous = FUnitID;
    SetUnitID((*FUnits)[Index]);
    if (FUnitID != previous && OnUnitChanged) OnUnitChanged(this, FUnitID);
}

void TExgUnitEditBtn::WMPaint(TMessage& Message) {
    TExgEditBtn::WMPaint(Message);
    if (!HandleAllocated() || FUnitID.empty()) return;
    TControlCanvas c;
    c.SetControl(this);
    c.SetFont(Font());
    c.Brush().SetStyle(bsClear);
    const int right = ClientWidth() - Button()->Width() - 3;
    TRect r = Rect(right - FUnitSize, 2, right, ClientHeight());
    c.DrawText(FUnitID, r, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}
