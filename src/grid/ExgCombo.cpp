// The flat combo box: the platform's combo box paints its list and text
// field, the flat frame and the drop-down button are drawn over it.
#include "grid/ExgCombo.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

namespace {
constexpr int MinButtonWidth = 14;
constexpr int MaxButtonWidth = 32;
// The frame of a disabled, themed control without its disabled border.
constexpr TColor DisabledFrameColor = TColor(0xB99D7F);

bool MouseButtonHeld() { return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0; }

void Frame(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FrameRect(R);
}
}  // namespace

TExgCustomCombo::TExgCustomCombo(TComponent* AOwner) : TComboBox(AOwner) {
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
}

void TExgCustomCombo::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    if (FFlatParentColor && FFlat && Parent()) {
        SetColor(Parent()->Color());
    } else if (!FFlat) {
        SetColor(FLoadedColor);
    }
    Invalidate();
}

void TExgCustomCombo::SetEtched(bool Value) {
    if (FEtched == Value) return;
    FEtched = Value;
    Invalidate();
}

void TExgCustomCombo::SetButtonWidth(int Value) {
    if (Value < MinButtonWidth || Value > MaxButtonWidth) return;
    FButtonWidth = Value;
    Invalidate();
}

void TExgCustomCombo::SetDropWidth(int Value) {
    FDropWidth = Value;
    if (Value > 0) SetDroppedWidth(Value);
}

void TExgCustomCombo::SetFocusBorder(bool Value) {
    FFocusBorder = Value;
    Invalidate();
}

void TExgCustomCombo::SetBorderColor(TColor Value) {
    if (FBorderColor == Value) return;
    FBorderColor = Value;
    Invalidate();
}

void TExgCustomCombo::SetFocusBorderColor(TColor Value) {
    FFocusBorderColor = Value;
    Invalidate();
}

void TExgCustomCombo::SetFlatLineColor(TColor Value) {
    FFlatLineColor = Value;
    Invalidate();
}

void TExgCustomCombo::SetFlatParentColor(bool Value) {
    FFlatParentColor = Value;
    Invalidate();
}

void TExgCustomCombo::SetDisabledBorder(bool Value) {
    FDisabledBorder = Value;
    Invalidate();
}

void TExgCustomCombo::SelectItem(const String& AString) {
    const int i = Items().IndexOf(AString);
    if (i >= 0) SetItemIndex(i);
}

// ---------------------------------------------------------------------------
// Focus, hover and list notifications

void TExgCustomCombo::CMEnter(TMessage& Message) {
    TComboBox::CMEnter(Message);
    FHasFocus = true;
    if (FFocusColor != clNone) SetColor(FFocusColor);
    BoldLabel(true);
    Invalidate();
}

void TExgCustomCombo::CMExit(TMessage& Message) {
    TComboBox::CMExit(Message);
    FHasFocus = false;
    if (FFocusColor != clNone && FNormalColor != clNone) SetColor(FNormalColor);
    BoldLabel(false);
    Invalidate();
}

void TExgCustomCombo::CMMouseEnter(TMessage& Message) {
    TComboBox::CMMouseEnter(Message);
    if (!Enabled()) return;
    FMouseInControl = true;
    // Only the active form's control takes the focus by hover.
    if (FAutoFocus && !ComponentState().Contains(csDesigning) && CanFocus()) {
        const TCustomForm* form = GetParentForm(this);
        if (!form || form->Active()) SetFocus();
    }
    Invalidate();
}

void TExgCustomCombo::CMMouseLeave(TMessage& Message) {
    TComboBox::CMMouseLeave(Message);
    if (!Enabled()) return;
    FMouseInControl = false;
    FButtonHover = false;
    Invalidate();
}

void TExgCustomCombo::MouseMove(TShiftState Shift, int X, int Y) {
    TComboBox::MouseMove(Shift, X, Y);
    const bool hover = X > Width() - FButtonWidth && X < Width();
    if (hover == FButtonHover) return;
    FButtonHover = hover;
    InvalidateButton();
}

void TExgCustomCombo::CMEnabledChanged(TMessage& Message) {
    TComboBox::CMEnabledChanged(Message);
    if (ComponentState().Contains(csLoading)) return;
    if (FLabel && !FLabelAlwaysEnabled) {
        FLabel->SetEnabled(Enabled());
        UpdateLabel();
    }
    if (!FFlat) return;
    if (!Enabled()) {
        FOldColor = Color();
        FOldParentColor = ParentColor();
        SetParentColor(true);
    } else {
        SetColor(FOldColor);
        SetParentColor(FOldParentColor);
    }
}

void TExgCustomCombo::CMVisibleChanged(TMessage& Message) {
    TComboBox::CMVisibleChanged(Message);
    if (FLabel) FLabel->SetVisible(Visible());
}

// ---------------------------------------------------------------------------
// The caption label

String TExgCustomCombo::LabelCaption() const { return FLabel ? FLabel->Caption() : String(); }

void TExgCustomCombo::SetLabelCaption(const String& Value) {
    if (!FLabel) FLabel = NewCaptionLabel(*this, FLabelFont);
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TExgCustomCombo::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    UpdateLabel();
}

void TExgCustomCombo::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    UpdateLabel();
}

void TExgCustomCombo::SetLabelTransparent(bool Value) {
    FLabelTransparent = Value;
    UpdateLabel();
}

void TExgCustomCombo::SetLabelAlwaysEnabled(bool Value) {
    FLabelAlwaysEnabled = Value;
    if (FLabel) FLabel->SetEnabled(Value || Enabled());
    UpdateLabel();
}

void TExgCustomCombo::SetLabelFont(const TFont& Value) {
    FLabelFont.Assign(&Value);
    if (FLabel && !ParentFont()) FLabel->SetFont(FLabelFont);
    UpdateLabel();
}

void TExgCustomCombo::UpdateLabel() {
    if (FLabel) UpdateCaptionLabel(*FLabel, *this, FLabelPosition, FLabelMargin, FLabelTransparent, FLabelFont);
}

void TExgCustomCombo::BoldLabel(bool Bold) {
    if (!FLabel || !FFocusLabel) return;
    TFontStyles style = FLabel->Font().Style();
    if (Bold) style += TFontStyles{fsBold};
    else style -= TFontStyles{fsBold};
    FLabel->Font().SetStyle(style);
    UpdateLabel();
}

void TExgCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && !ComponentState().Contains(csDestroying)) UpdateLabel();
}

void TExgCustomCombo::DropDown() {
    TComboBox::DropDown();
    InvalidateButton();
}

void TExgCustomCombo::CloseUp() {
    TComboBox::CloseUp();
    InvalidateButton();
    if (OnDropUp) OnDropUp(this);
}

void TExgCustomCombo::InvalidateButton() {
    if (!HandleAllocated()) return;
    const TRect r = Rect(ClientWidth() - FButtonWidth, 0, ClientWidth(), ClientHeight());
    InvalidateRect(Handle(), &r, false);
}

// ---------------------------------------------------------------------------
// Painting

bool TExgCustomCombo::SelfPainted() {
    if (FIsVista && ButtonColor == clNone) return false;
    return FFlat || ButtonColor != clNone || FBorderColor != clNone || (FFocusBorderColor != clNone && FHasFocus) ||
           (!Enabled() && IsThemeActive() && !FDisabledBorder);
}

bool TExgCustomCombo::FramedOutside() {
    return FFlat || (!Enabled() && IsThemeActive() && !FDisabledBorder) || FBorderColor != clNone ||
           (FFocusBorderColor != clNone && FHasFocus);
}

void TExgCustomCombo::WMPaint(TMessage& Message) {
    TComboBox::WMPaint(Message);
    const bool self = SelfPainted();
    // The frame of a control the platform paints comes as it would on a non-client paint.
    if ((!self && !FramedOutside()) || !HandleAllocated()) return;
    TControlCanvas c;
    c.SetControl(this);
    if (self && Style() != csSimple) {
        // The platform's own button, with the separator line left of it, gives
        // way to the flat one: its area is the control's colour first.
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        c.FillRect(Rect(ClientWidth() - FButtonWidth - 6, 0, ClientWidth(), ClientHeight()));
        if (Style() == csDropDownList) DrawListField(c);
        DrawButton(c);
    }
    DrawBorder(c);
}

void TExgCustomCombo::DrawListField(TCanvas& C) {
    // A pick-only field is a plain field, not the platform's button face:
    // the chosen item on the control's colour, highlighted while focused.
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color());
    C.FillRect(Rect(2, 2, ClientWidth() - FButtonWidth - 4, ClientHeight() - 2));
    const bool hilite = Focused() && !DroppedDown();
    const TRect field = Rect(3, 3, ClientWidth() - FButtonWidth - 4, ClientHeight() - 3);
    C.SetFont(Font());
    if (hilite) {
        C.Brush().SetColor(clHighlight);
        C.FillRect(field);
        C.Font().SetColor(clHighlightText);
    }
    const String text = ItemIndex() >= 0 ? Items()[ItemIndex()] : Text();
    C.Brush().SetStyle(bsClear);
    C.TextRect(field, field.Left + 1, (ClientHeight() - C.TextHeight(text)) / 2, text);
}

void TExgCustomCombo::WMNCPaint(TMessage& Message) {
    TComboBox::WMNCPaint(Message);
    if (!HandleAllocated()) return;
    if (FramedOutside()) {
        TControlCanvas c;
        c.SetControl(this);
        DrawBorder(c);
    }
}

void TExgCustomCombo::DrawButton(TCanvas& C) {
    TRect r = Rect(ClientWidth() - FButtonWidth + 2, 0, Width(), Height());
    InflateRect(r, -1, -1);
    const bool held = MouseButtonHeld();
    if (ButtonColor == clNone && IsThemeActive()) {
        int state = CBXS_HOT;
        if (!Enabled()) state = CBXS_DISABLED;
        else if (held && DroppedDown()) state = CBXS_PRESSED;
        else if (held || !FButtonHover || DroppedDown()) state = CBXS_NORMAL;
        HTHEME theme = OpenThemeData(this, u"combobox");
        DrawThemeBackground(theme, C, CP_DROPDOWNBUTTON, state, r);
        CloseThemeData(theme);
    } else if (ButtonColor == clNone) {
        r.Left -= 4;
        r.Top += 1;
        r.Bottom -= 1;
        DrawFrameControl(C, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    } else {
        TColor fill = ButtonColor;
        if (FButtonHover && ButtonColorHot != clNone) fill = ButtonColorHot;
        if (FButtonHover && held && ButtonColorDown != clNone) fill = ButtonColorDown;
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(fill);
        C.Pen().SetColor(fill);
        const TRect b = Rect(r.Left - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        C.Rectangle(b);
        C.Pen().SetColor(ButtonBorderColor);
        C.MoveTo(b.Left, b.Top);
        C.LineTo(b.Left, b.Bottom);
        TColor arrow = held && ButtonTextColorDown != clNone ? ButtonTextColorDown : ButtonTextColor;
        // Without a text colour (the grid's colour tones set none) the arrow
        // takes the font's, not the fill's, so that it stays visible.
        if (arrow == clNone) arrow = Font().Color();
        C.Brush().SetColor(arrow);
        C.Pen().SetColor(arrow);
        C.Polygon({TPoint{b.Left + 4, b.Top + 7}, TPoint{b.Left + 10, b.Top + 7}, TPoint{b.Left + 7, b.Top + 10}});
    }
}

void TExgCustomCombo::DrawBorder(TCanvas& C) {
    if (Enabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone) return;
    if (FIsVista && FBorderColor == clNone) return;
    const TRect all = Rect(0, 0, Width(), Height());
    if (!Enabled() && IsThemeActive() && !FDisabledBorder) {
        Frame(C, all, DisabledFrameColor);
        return;
    }
    if (FBorderColor != clNone && !(FHasFocus && FFocusBorderColor != clNone)) {
        Frame(C, all, FBorderColor);
        return;
    }
    if (FFocusBorderColor != clNone) {
        if (FHasFocus) Frame(C, all, FFocusBorderColor);
        return;
    }
    const bool designing = ComponentState().Contains(csDesigning);
    const bool hot = FFocusBorder && !designing && (FMouseInControl || Screen->ActiveControl() == this);
    const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
    if (hot) {
        TRect e = all;
        C.DrawEdge(e, BDR_SUNKENOUTER, BF_RECT);
        Frame(C, Rect(1, 1, Width() - 1, Height() - 1), clBtnFace);
        Frame(C, Rect(2, 2, Width() - 2, Height() - 2), Color());
    } else {
        Frame(C, all, parent);
        Frame(C, Rect(1, 1, ClientWidth() - FButtonWidth, Height() - 1), parent);
        Frame(C, Rect(2, 2, ClientWidth() - FButtonWidth - 1, Height() - 2), Color());
    }
    if (FFlat && FFlatLineColor != clNone) {
        C.Pen().SetColor(FFlatLineColor);
        C.MoveTo(0, Height() - 1);
        C.LineTo(Width() - FButtonWidth - 3, Height() - 1);
    }
    if (Style() == csSimple || (FIsWinXP && IsThemeActive())) return;
    // The ring around the button in the face colour while the control is not active.
    const bool active = designing ? Enabled() : (FMouseInControl || FHasFocus);
    if (active) return;
    TRect b = Rect(ClientWidth() - FButtonWidth - 2, 0, ClientWidth(), ClientHeight());
    InflateRect(b, -2, -2);
    b.Top += 1;
    b.Bottom -= 1;
    b.Right -= 1;
    const int saved = C.SaveDC();
    C.ExcludeClipRect(ClientWidth() - FButtonWidth + 4, 4, ClientWidth() - 4, ClientHeight() - 4);
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(clBtnFace);
    C.FillRect(b);
    C.RestoreDC(saved);
}
