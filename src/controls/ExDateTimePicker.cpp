// The labelled date-time picker.

#include "controls/ExDateTimePicker.h"

#include "framework/DateUtils.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

namespace {
// One message number for the whole program.
Cardinal ShiftFocusMessage() {
    static const Cardinal id = RegisterWindowMessage(u"DTPShiftFocus");
    return id;
}
}  // namespace

// ---------------------------------------------------------------------------
// TCustomDateTimePicker
// ---------------------------------------------------------------------------
TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner)
    : TDateTimePicker(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 2) {
    SetDoubleBuffered(true);
}

void TCustomDateTimePicker::SetBorderStyle(TFormBorderStyle Value) {
    FBorderStyle = Value;
    Invalidate();
}

void TCustomDateTimePicker::SetCtl3D(bool Value) {
    FCtl3D = Value;
    Invalidate();
}

void TCustomDateTimePicker::RememberFields() { DecodeTime(DateTime(), Fh, Fm, Fs, Fms); }

void TCustomDateTimePicker::WMChar(TWMKey& Message) {
    const Char c = Char(Message.CharCode());
    const bool digit = c >= u'0' && c <= u'9';
    if (digit && FAutoTab) RememberFields();
    TDateTimePicker::WMChar(Message);
    if (digit && FAutoTab) PostMessage(Handle(), ShiftFocusMessage());
}

void TCustomDateTimePicker::ShiftFocus() {
    Word h, m, s, ms;
    DecodeTime(DateTime(), h, m, s, ms);
    if (h != Fh || m != Fm || s != Fs) PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT);
}

void TCustomDateTimePicker::Dispatch(TMessage& Message) {
    if (Message.Msg == ShiftFocusMessage()) {
        ShiftFocus();
        return;
    }
    TDateTimePicker::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// The flat and metro looks, drawn over the native control after it painted
// ---------------------------------------------------------------------------
namespace {
// The frame of a disabled picker and of a flat one without other colour.
constexpr TColor FlatFrameColor = TColor(0xB99D7F);
}  // namespace

TColor TCustomDateTimePicker::OutlineColor() const {
    if (FBorderStyle == bsNone && Parent()) return Parent()->Color();
    return IsThemeActive() ? FlatFrameColor : FBorderColor;
}

void TCustomDateTimePicker::PaintOutline(TCanvas& Canvas, TColor Color, int Inset) {
    const int W = Width() - Inset, H = Height() - Inset, i = Inset;
    Canvas.Pen().SetColor(Color);
    Canvas.MoveTo(i, H);
    Canvas.LineTo(i, i);
    Canvas.LineTo(W - 1, i);
    Canvas.LineTo(W - 1, H - 1);
    Canvas.LineTo(i, H - 1);
}

void TCustomDateTimePicker::PaintButton(TCanvas& Canvas) {
    TRect r = Rect(ClientWidth() - FButtonWidth + 2, 0, Width(), Height());
    InflateRect(r, -1, -1);
    if (ButtonColor != clNone) {
        const TColor fill = FButtonDown ? ButtonColorDown : FButtonHover ? ButtonColorHot : ButtonColor;
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(fill == clNone ? ButtonColor : fill);
        Canvas.FillRect(r);
        if (ButtonBorderColor != clNone) {
            Canvas.Pen().SetColor(ButtonBorderColor);
            Canvas.MoveTo(r.Left, r.Top);
            Canvas.LineTo(r.Left, r.Bottom);
        }
        const TColor text = FButtonDown && ButtonTextColorDown != clNone ? ButtonTextColorDown : ButtonTextColor;
        const TColor arrow = text == clNone ? clBlack : text;
        const std::vector<TPoint> tri = {{r.Left + 5, r.Top + 7}, {r.Left + 11, r.Top + 7}, {r.Left + 8, r.Top + 10}};
        Canvas.Pen().SetColor(arrow);
        Canvas.Brush().SetColor(arrow);
        Canvas.Polygon(tri);
        return;
    }
    const HTHEME theme = OpenThemeData(this, u"combobox");
    if (theme) {
        int state = CBXS_HOT;
        if (!Enabled())
            state = CBXS_DISABLED;
        else if (FButtonDown && DroppedDown())
            state = CBXS_PRESSED;
        else if (FButtonDown || !FButtonHover || DroppedDown())
            state = CBXS_NORMAL;
        DrawThemeBackground(theme, Canvas, CP_DROPDOWNBUTTON, state, r);
        CloseThemeData(theme);
        return;
    }
    DrawFrameControl(Canvas, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT | (Enabled() ? 0 : DFCS_INACTIVE));
}

void TCustomDateTimePicker::PaintBorder() {
    if (IsInnerPicker() || !FMetroStyle || !HandleAllocated()) return;
    if (Enabled() && FBorderColor == clNone && FFocusBorderColor == clNone) return;
    TControlCanvas c;
    c.SetControl(this);
    auto frame = [&](TRect f, TColor col) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(col);
        c.FrameRect(f);
    };
    const TRect r = Rect(0, 0, Width(), Height());
    if (!Enabled() && IsThemeActive() && !FDisabledBorder) {
        frame(r, FlatFrameColor);
        return;
    }
    if (FBorderColor == clNone || (FHasFocus && FFocusBorderColor != clNone)) {
        if (FFocusBorderColor == clNone) {
            // No colour at all: the frames blend into the parent and the picker.
            const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
            const int right = Width() - FButtonWidth;
            frame(r, parent);
            frame(Rect(1, 1, right, Height() - 1), parent);
            frame(Rect(2, 2, right, Height() - 2), Color());
        } else if (FHasFocus) {
            frame(r, FFocusBorderColor);
        }
        return;
    }
    frame(r, FBorderColor);
}

void TCustomDateTimePicker::WMPaint(TMessage& Message) {
    TDateTimePicker::WMPaint(Message);
    if (!HandleAllocated() || (FCtl3D && !FMetroStyle)) return;
    TControlCanvas c;
    c.SetControl(this);
    if (FMetroStyle && !IsInnerPicker() && HasDateKind()) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        c.FillRect(Rect(ClientWidth() - FButtonWidth - 4, 1, ClientWidth(), Height()));
        PaintButton(c);
    }
    if (!FCtl3D) {
        const TColor col = OutlineColor();
        PaintOutline(c, col, 0);
        if (!IsThemeActive()) PaintOutline(c, col, 1);
    }
    PaintBorder();
}

void TCustomDateTimePicker::WMNCPaint(TMessage& Message) {
    TDateTimePicker::WMNCPaint(Message);
    if (!HandleAllocated()) return;
    if (!FCtl3D) {
        TControlCanvas c;
        c.SetControl(this);
        PaintOutline(c, OutlineColor(), 0);
        if (Parent()) {
            c.Pen().SetColor(Parent()->Color());
            c.MoveTo(1, Height() - 2);
            c.LineTo(1, 1);
            c.LineTo(Width() - 1, 1);
        }
    }
    if ((!Enabled() && !FDisabledBorder && IsThemeActive()) || (FFocusBorderColor != clNone && FHasFocus) ||
        FBorderColor != clNone)
        PaintBorder();
}

void TCustomDateTimePicker::WMMouseMove(TWMMouse& Message) {
    TDateTimePicker::WMMouseMove(Message);
    const int x = Message.XPos();
    const bool over = x > Width() - FButtonWidth && x < Width();
    if (over != FButtonHover) {
        FButtonHover = over;
        Invalidate();
    }
}

void TCustomDateTimePicker::WMLButtonDown(TWMMouse& Message) {
    const int x = Message.XPos();
    FButtonDown = x > Width() - FButtonWidth && x < Width();
    TDateTimePicker::WMLButtonDown(Message);
    if (FButtonDown) Invalidate();
}

void TCustomDateTimePicker::WMLButtonUp(TWMMouse& Message) {
    const bool was = FButtonDown;
    FButtonDown = false;
    TDateTimePicker::WMLButtonUp(Message);
    if (was) Invalidate();
}

void TCustomDateTimePicker::CMMouseEnter(TMessage& Message) {
    TDateTimePicker::CMMouseEnter(Message);
    FMouseInControl = true;
    Invalidate();
}

void TCustomDateTimePicker::CMMouseLeave(TMessage& Message) {
    TDateTimePicker::CMMouseLeave(Message);
    FMouseInControl = false;
    FButtonHover = false;
    Invalidate();
}

void TCustomDateTimePicker::CMEnter(TMessage& Message) {
    TDateTimePicker::CMEnter(Message);
    if (ComponentState().Contains(csDesigning)) return;
    FHasFocus = true;
    Invalidate();
}

void TCustomDateTimePicker::CMExit(TMessage& Message) {
    TDateTimePicker::CMExit(Message);
    if (ComponentState().Contains(csDesigning)) return;
    FHasFocus = false;
    Invalidate();
}

// ---------------------------------------------------------------------------
// TExDateTimePicker
// ---------------------------------------------------------------------------
TExDateTimePicker::TExDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner) {
    SetBorderStyle(bsSingle);
    SetCtl3D(true);
    CreateTimePicker();
    UpdateTimePicker();
}

TExDateTimePicker::~TExDateTimePicker() {
    if (FLabel) {
        FLabel->SetParent(nullptr);
        delete FLabel;
    }
    delete FTimePicker;
}

void TExDateTimePicker::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomDateTimePicker::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FTimePicker) FTimePicker = nullptr;
    if (AComponent == FLabel) FLabel = nullptr;
}

void TExDateTimePicker::CreateTimePicker() {
    if (FTimePicker || FKind != dkDateTime) return;
    FTimePicker = new TCustomDateTimePicker(this);
    FTimePicker->SetParent(this);
    FTimePicker->SetBounds(0, 0, 90, 17);
    FTimePicker->SetVisible(false);
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->SetKind(dtkTime);
    FTimePicker->SetAutoTab(AutoTab());
    FTimePicker->OnChange = [this](TObject*) {
        DoChange();
        if (OnTimeChange) OnTimeChange(this);
    };
    FTimePicker->OnClick = [this](TObject*) { DoClick(); };
    FTimePicker->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
        if (OnKeyDown) OnKeyDown(this, Key, Shift);
    };
}

void TExDateTimePicker::UpdateTimePicker() {
    if (!FTimePicker) return;
    if (FKind != dkDateTime) {
        delete FTimePicker;
        FTimePicker = nullptr;
        return;
    }
    TCustomDateTimePicker& t = *FTimePicker;
    t.SetParent(this);
    t.SetColor(Color());
    t.SetEnabled(Enabled() && (Checked() || !ShowCheckbox()));
    t.SetVisible(true);
    t.SetDateTime(TDateTimePicker::DateTime());
    if (!FTimeFormat.empty()) t.SetFormat(FTimeFormat);
    t.SetFont(Font());
    // Themes are active: the row for a themed picker without metro look.
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(Font());
    const String shown = FormatDateTime(FTimeFormat.empty() ? String(u"hh:nn:ss") : FTimeFormat, t.DateTime());
    const int w = probe.Canvas().TextWidth(shown.substr(0, 255)) + 31;
    const int b = 0;
    const int left = MetroStyle() ? Width() - w - 21 - b : Width() - w - 34 - b;
    t.SetBounds(left, 1, w, Height() - b - 2);
}

void TExDateTimePicker::SetKind(TExDateTimeKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    TDateTimePicker::SetKind(Value == dkTime ? dtkTime : dtkDate);
    CreateTimePicker();
    UpdateTimePicker();
}

TDateTime TExDateTimePicker::GetDateTime() const {
    // The time of day is the time picker's. Read, not written back: writing
    // the value would end a field being typed.
    if (FTimePicker) return DateOf(TDateTimePicker::DateTime()) + FTimePicker->Time();
    return TDateTimePicker::DateTime();
}

void TExDateTimePicker::SetDateTime(TDateTime Value) {
    Word h, m, s, ms;
    DecodeTime(Value, h, m, s, ms);
    const TDateTime v = DateOf(Value) + EncodeTime(h, m, s, 0);
    TDateTimePicker::SetDateTime(v);
    CreateTimePicker();
    if (FTimePicker) FTimePicker->SetDateTime(v);
}

void TExDateTimePicker::SetDate(TDateTime Value) {
    Word h, m, s, ms;
    DecodeTime(GetDateTime(), h, m, s, ms);
    SetDateTime(DateOf(Value) + EncodeTime(h, m, s, 0));
}

TDateTime TExDateTimePicker::Time() const {
    if (FKind == dkDateTime && FTimePicker) return FTimePicker->Time();
    return TDateTimePicker::Time();
}

void TExDateTimePicker::SetTime(TDateTime Value) {
    TDateTimePicker::SetTime(Value);
    UpdateTimePicker();
}

void TExDateTimePicker::SetTimeFormat(const String& Value) {
    if (FTimePicker) FTimePicker->SetFormat(Value);
    if (FKind == dkTime) SetFormat(Value);
    FTimeFormat = Value;
    UpdateTimePicker();
}

void TExDateTimePicker::CoupleTimePicker() {
    if (FTimePicker && ShowCheckbox()) FTimePicker->SetEnabled(Enabled() && Checked());
}

void TExDateTimePicker::SetChecked(bool Value) {
    TDateTimePicker::SetChecked(Value);
    CoupleTimePicker();
}

void TExDateTimePicker::CNNotify(TMessage& Message) {
    TCustomDateTimePicker::CNNotify(Message);
    // The check box's change comes with the value's.
    CoupleTimePicker();
}

void TExDateTimePicker::SetAutoTab(bool Value) {
    TCustomDateTimePicker::SetAutoTab(Value);
    if (FTimePicker) FTimePicker->SetAutoTab(Value);
}

void TExDateTimePicker::RememberFields() {
    DecodeDate(GetDateTime(), FYear, FMonth, FDay);
    if (FKind == dkTime) TCustomDateTimePicker::RememberFields();
}

void TExDateTimePicker::ShiftFocus() {
    if (FKind == dkTime) {
        TCustomDateTimePicker::ShiftFocus();
        return;
    }
    Word y, m, d;
    DecodeDate(GetDateTime(), y, m, d);
    const bool dayChanged = d != FDay, monthChanged = m != FMonth, yearChanged = y != FYear;
    const String& format = Format();
    if (!format.empty()) {
        const Char c = format.back();
        const bool last = (dayChanged && (c == u'D' || c == u'd')) || (monthChanged && (c == u'M' || c == u'm')) ||
                          (yearChanged && (c == u'Y' || c == u'y'));
        if (last) {
            if (FTimePicker && FTimePicker->CanFocus()) FTimePicker->SetFocus();
        } else if (dayChanged || monthChanged || yearChanged) {
            PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT);
        }
    } else if (dayChanged || monthChanged) {
        PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT);
    } else if (yearChanged && FTimePicker && FTimePicker->CanFocus()) {
        FTimePicker->SetFocus();
    }
}

void TExDateTimePicker::DoChange() {
    if (OnChange) OnChange(this);
}

void TExDateTimePicker::DoClick() {
    if (OnClick) OnClick(this);
}

void TExDateTimePicker::Loaded() {
    TCustomDateTimePicker::Loaded();
    if (ComponentState().Contains(csDesigning)) return;
    CreateTimePicker();
    UpdateTimePicker();
    if (ShowCheckbox() && !Checked()) {
        TDateTimePicker::SetChecked(false);
        if (FTimePicker) FTimePicker->SetEnabled(false);
    }
    UpdateLabel();
}

void TExDateTimePicker::SetBorderStyle(TFormBorderStyle Value) {
    TCustomDateTimePicker::SetBorderStyle(Value);
    UpdateTimePicker();
}

void TExDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomDateTimePicker::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateTimePicker();
    if (FLabel && FLabel->Parent()) UpdateLabel();
}

// ---------------------------------------------------------------------------
// The caption label
// ---------------------------------------------------------------------------
String TExDateTimePicker::LabelCaption() const { return FLabel ? FLabel->Caption() : String(); }

void TExDateTimePicker::SetLabelCaption(const String& Value) {
    if (!FLabel) {
        FLabel = new TLabel(this);
        FLabel->SetParent(Parent());
        FLabel->SetFocusControl(this);
        FLabel->SetParentFont(ParentFont());
        FLabel->OnClick = [this](TObject*) {
            if (OnLabelClick) OnLabelClick(this);
        };
        FLabel->OnDblClick = [this](TObject*) {
            if (OnLabelDblClick) OnLabelDblClick(this);
        };
    }
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TExDateTimePicker::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    if (FLabel) UpdateLabel();
}

void TExDateTimePicker::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    if (FLabel) UpdateLabel();
}

void TExDateTimePicker::UpdateLabel() {
    if (!FLabel) return;
    if (FLabel->Parent() != Parent()) FLabel->SetParent(Parent());
    PlaceCaptionLabel(*FLabel, *this, FLabelPosition, FLabelMargin);
}

void TExDateTimePicker::CMEnter(TMessage& Message) {
    TCustomDateTimePicker::CMEnter(Message);
    if (FFocusLabel && FLabel) FLabel->Font().SetStyle(FLabel->Font().Style() + TFontStyles{fsBold});
}

void TExDateTimePicker::CMExit(TMessage& Message) {
    TCustomDateTimePicker::CMExit(Message);
    if (FFocusLabel && FLabel) FLabel->Font().SetStyle(FLabel->Font().Style() - TFontStyles{fsBold});
}

void TExDateTimePicker::CMVisibleChanged(TMessage& Message) {
    TCustomDateTimePicker::CMVisibleChanged(Message);
    if (FLabel && !FLabel->Caption().empty()) FLabel->SetVisible(Visible());
}
