// The labelled date-time picker.

#include "controls/ExDateTimePicker.h"

#include "framework/DateUtils.h"
#include "framework/SysUtils.h"

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
TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner) {
    SetDoubleBuffered(true);
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
// TExDateTimePicker
// ---------------------------------------------------------------------------
TExDateTimePicker::TExDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner) {
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
