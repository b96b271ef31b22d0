#include "grid/ExgSpinEdit.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Locale routines
// ---------------------------------------------------------------------------
int PosFrom(const String& Sub, const String& S, int Offset) {
    if (Offset < 0) Offset = 0;
    if (Sub.empty() || Offset >= int(S.size())) return 0;
    const auto p = S.find(Sub, size_t(Offset));
    return p == String::npos ? 0 : int(p) + 1;
}

TDateTime IncYears(int Years, TDateTime Date) {
    // Whole months keep the day within the month: 29 February + 1 year is 28 February.
    return IncMonth(Date, Years * 12);
}

int EditTextHeight(const TFont& Font) {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(TFont());
    const int sys = probe.Canvas().TextHeight(u"Wg");
    probe.Canvas().SetFont(Font);
    const int own = probe.Canvas().TextHeight(u"Wg");
    return own + std::min(sys, own) / 4;
}

namespace {

// The built-in arrows of the button pair: a 7 x 4 triangle on the button face.
void DrawArrowGlyph(TBitmap& Glyph, bool Up) {
    Glyph.SetSize(7, 4);
    TCanvas& c = Glyph.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 7, 4));
    c.Pen().SetColor(clBlack);
    for (int row = 0; row < 4; ++row) {
        const int y = Up ? 3 - row : row;
        c.MoveTo(row, y);
        c.LineTo(7 - row, y);
    }
    Glyph.SetTransparentColor(clFuchsia);
    Glyph.SetTransparent(true);
}

TColor Pick(TColor Normal, TColor Hot, TColor Down, bool IsHot, bool IsDown) {
    if (IsDown && Down != clNone) return Down;
    if (IsHot && Hot != clNone) return Hot;
    return Normal;
}

}  // namespace

// ---------------------------------------------------------------------------
// TExTimerSpeedButton
// ---------------------------------------------------------------------------
TExTimerSpeedButton::TExTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TExTimerSpeedButton::~TExTimerSpeedButton() = default;

void TExTimerSpeedButton::SetButtonDirection(TButtonDirection Value) {
    if (FButtonDirection == Value) return;
    FButtonDirection = Value;
    Invalidate();
}

void TExTimerSpeedButton::SetFocusRect(bool Value) {
    if (FFocusRect == Value) return;
    FFocusRect = Value;
    Invalidate();
}

void TExTimerSpeedButton::SetIsWinXP(bool Value) {
    FIsWinXP = Value;
    Invalidate();
}

void TExTimerSpeedButton::RepaintParent() {
    if (Parent()) Parent()->Invalidate();
}

void TExTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        FHeld = true;
        if (auto* pair = dynamic_cast<TExgSpinButton*>(Parent())) pair->BtnMouseDown(this);
    }
    if (FAllowTimer && FHeld) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { TimerExpired(Sender); };
        }
        // The first repeat waits longer, so that a single click stays one step.
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    RepaintParent();
}

void TExTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FHeld = false;
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    RepaintParent();
}

void TExTimerSpeedButton::TimerExpired(TObject*) {
    FRepeatTimer->SetInterval(100);
    if (!FHeld) return;
    try {
        Click();
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TExTimerSpeedButton::CMMouseEnter(TMessage& Message) {
    TSpeedButton::CMMouseEnter(Message);
    FHasMouse = true;
    Invalidate();
}

void TExTimerSpeedButton::CMMouseLeave(TMessage& Message) {
    TSpeedButton::CMMouseLeave(Message);
    FHasMouse = false;
    Invalidate();
}

void TExTimerSpeedButton::Paint() {
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    auto* pair = dynamic_cast<TExgSpinButton*>(Parent());
    if (pair && pair->ButtonColor != clNone) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Pick(pair->ButtonColor, pair->ButtonColorHot, pair->ButtonColorDown, FHasMouse, FHeld));
        c.FillRect(r);
        std::vector<TPoint> tri;
        switch (FButtonDirection) {
            case bdLeft: tri = {{5, 5}, {3, 7}, {5, 9}}; break;
            case bdRight: tri = {{3, 5}, {5, 7}, {3, 9}}; break;
            case bdUp: tri = {{4, 4}, {8, 4}, {6, 2}}; break;
            case bdDown: tri = {{4, 2}, {8, 2}, {6, 4}}; break;
        }
        c.Pen().SetColor(clBlack);
        c.Brush().SetColor(clBlack);
        c.Polygon(tri);
        return;
    }
    if (FIsWinXP && IsThemeActive()) {
        HTHEME theme = OpenThemeData(this, u"spin");
        if (theme) {
            static const int Part[] = {SPNP_DOWNHORZ, SPNP_UPHORZ, SPNP_UP, SPNP_DOWN};
            // The up and down states share their numbers in the theme's tables.
            const int state = !Enabled() ? UPS_DISABLED : FHeld ? UPS_PRESSED : FHasMouse ? UPS_HOT : UPS_NORMAL;
            DrawThemeBackground(theme, c, Part[FButtonDirection], state, r);
            CloseThemeData(theme);
            return;
        }
    }
    if (FButtonDirection == bdLeft || FButtonDirection == bdRight) {
        TRect a = r;
        unsigned state = FButtonDirection == bdLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
        if (FHeld) state |= DFCS_PUSHED;
        if (Flat()) state |= DFCS_FLAT;
        c.DrawFrameControl(a, DFC_SCROLL, state);
        return;
    }
    TSpeedButton::Paint();
}

// ---------------------------------------------------------------------------
// TExgSpinButton
// ---------------------------------------------------------------------------
TExgSpinButton::TExgSpinButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    FControlStyle.Include(csOpaque);
    FIsWinXP = IsThemeActive();
    auto make = [this](TButtonDirection Dir) {
        auto* b = new TExTimerSpeedButton(this);
        b->SetParent(this);
        b->SetVisible(true);
        b->SetEnabled(true);
        b->SetButtonDirection(Dir);
        b->SetIsWinXP(FIsWinXP);
        b->OnClick = [this](TObject* Sender) { BtnClick(Sender); };
        DrawArrowGlyph(b->Glyph(), Dir == bdUp);
        return b;
    };
    FUpButton = make(bdUp);
    FDownButton = make(bdDown);
    FFocusedButton = FUpButton;
    FWidth = 15;
    FHeight = 25;
    SetBounds(0, 0, 15, 25);
}

TExgSpinButton::~TExgSpinButton() { SetFocusControl(nullptr); }

void TExgSpinButton::AdjustSize(int& W, int& H) {
    if (!FUpButton || !FDownButton) return;
    if (FDirection == spVertical) {
        W = std::max(W, 15);
        const int half = H / 2;
        FUpButton->SetBounds(0, 0, W, half);
        FDownButton->SetBounds(0, half - 1, W, H - half + 1);
    } else {
        W = std::max(W, 20);
        const int half = W / 2;
        FDownButton->SetBounds(0, 0, half, H);
        FUpButton->SetBounds(half + 1, 0, W - half - 1, H);
    }
}

void TExgSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AdjustSize(AWidth, AHeight);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TExgSpinButton::SetDirection(TSpinDirection Value) {
    if (FDirection == Value) return;
    FDirection = Value;
    if (HandleAllocated()) RecreateWnd();
    if (Value == spHorizontal) {
        FUpButton->SetButtonDirection(bdRight);
        FDownButton->SetButtonDirection(bdLeft);
        SetWidth(20);
    } else {
        FUpButton->SetButtonDirection(bdUp);
        FDownButton->SetButtonDirection(bdDown);
        SetWidth(15);
    }
    SetBounds(Left(), Top(), Width(), Height());
}

void TExgSpinButton::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TExgSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TExgSpinButton::SetUpGlyph(const TBitmap* Value) {
    if (Value && !Value->Empty()) FUpButton->Glyph().Assign(Value);
    else DrawArrowGlyph(FUpButton->Glyph(), true), FUpButton->SetNumGlyphs(1);
    FUpButton->Invalidate();
}

void TExgSpinButton::SetDownGlyph(const TBitmap* Value) {
    if (Value && !Value->Empty()) FDownButton->Glyph().Assign(Value);
    else DrawArrowGlyph(FDownButton->Glyph(), false), FDownButton->SetNumGlyphs(1);
    FDownButton->Invalidate();
}

void TExgSpinButton::SetIsWinXP(bool Value) {
    FIsWinXP = Value;
    FUpButton->SetIsWinXP(Value);
    FDownButton->SetIsWinXP(Value);
}

void TExgSpinButton::BtnMouseDown(TExTimerSpeedButton* Sender) {
    if (TabStop() && CanFocus()) SetFocusBtn(Sender);
    TWinControl* target = FFocusControl ? FFocusControl : this;
    if (!target->Focused() && target->CanFocus()) target->SetFocus();
}

void TExgSpinButton::BtnClick(TObject* Sender) {
    if (Sender == FUpButton) {
        if (OnUpClick) OnUpClick(this);
    } else if (Sender == FDownButton) {
        if (OnDownClick) OnDownClick(this);
    }
}

void TExgSpinButton::SetFocusBtn(TExTimerSpeedButton* Btn) {
    if (!Btn || Btn == FFocusedButton) return;
    FFocusedButton->SetFocusRect(false);
    FFocusedButton = Btn;
    if (Focused()) FFocusedButton->SetFocusRect(true);
}

void TExgSpinButton::KeyDown(Word& Key, TShiftState Shift) {
    switch (Key) {
        case VK_UP:
            SetFocusBtn(FUpButton);
            FUpButton->Click();
            break;
        case VK_DOWN:
            SetFocusBtn(FDownButton);
            FDownButton->Click();
            break;
        case VK_SPACE: FFocusedButton->Click(); break;
        default: TCustomControl::KeyDown(Key, Shift); break;
    }
}

void TExgSpinButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TExgSpinButton::CMEnter(TMessage& Message) {
    TCustomControl::CMEnter(Message);
    FFocusedButton->SetFocusRect(true);
}

void TExgSpinButton::CMExit(TMessage& Message) {
    TCustomControl::CMExit(Message);
    FFocusedButton->SetFocusRect(false);
}

// ---------------------------------------------------------------------------
// TExgSpinEdit: life and layout
// ---------------------------------------------------------------------------
TExgSpinEdit::TExgSpinEdit(TComponent* AOwner) : TMaskEdit(AOwner) {
    FButton = new TExgSpinButton(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    SetText(u"0");
    FControlStyle.Exclude(csSetCaption);
}

TExgSpinEdit::~TExgSpinEdit() = default;

void TExgSpinEdit::CreateWnd() {
    TMaskEdit::CreateWnd();
    SetEditRect();
}

void TExgSpinEdit::SetEditRect() {
    if (!HandleAllocated()) return;
    const int m = 0;  // a bordered edit keeps its text against the border
    TRect r = Rect(m, m, ClientWidth() - FButton->Width() - m - 2, ClientHeight() + 1);
    Perform(EM_SETRECTNP, 0, LPARAM(&r));
}

void TExgSpinEdit::WMSize(TWMSize& Message) {
    TMaskEdit::WMSize(Message);
    // The text with its leading, and the single border.
    const int minHeight = EditTextHeight(Font()) + 4 * 1 + 2;
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    const int d = 5;
    FButton->SetBounds(Width() - FButton->Width() - d, 0, FButton->Width(), Height() - d);
    SetEditRect();
}

void TExgSpinEdit::Nudge() {
    // Re-runs the layout through a size change.
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TExgSpinEdit::SetDirection(TSpinDirection Value) {
    FButton->SetDirection(Value);
    Nudge();
}

void TExgSpinEdit::SetEditAlign(TEditAlign Value) {
    if (FEditAlign == Value) return;
    FEditAlign = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TExgSpinEdit::SetSpinFlat(bool Value) {
    FSpinFlat = Value;
    FButton->UpButton()->SetFlat(Value);
    FButton->DownButton()->SetFlat(Value);
    Nudge();
}

void TExgSpinEdit::SetSpinTransparent(bool Value) {
    FSpinTransparent = Value;
    Nudge();
}

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------
int TExgSpinEdit::CheckValue(int V) const {
    if (FMinValue == FMaxValue) return V;
    return std::clamp(V, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
}

double TExgSpinEdit::CheckFloatValue(double V) const {
    if (FMinFloatValue == FMaxFloatValue) return V;
    if (V <= FMinFloatValue) return FMinFloatValue;
    if (V >= FMaxFloatValue) return FMaxFloatValue;
    return V;
}

TDateTime TExgSpinEdit::CheckDateValue(TDateTime V) const {
    if (FMinDateValue == FMaxDateValue) return V;
    if (V <= FMinDateValue) return FMinDateValue;
    if (V >= FMaxDateValue) return FMaxDateValue;
    return V;
}

void TExgSpinEdit::ShowText(const String& S, bool KeepCaret) {
    const int caret = SelStart();
    SetText(S);
    if (KeepCaret) SetSelStart(std::min(caret, int(S.size())));
}

int TExgSpinEdit::Value() const {
    const String t = Trim(Text());
    if (t.empty()) return 0;
    int v = 0;
    return TryStrToInt(t, v) ? v : FMinValue;
}

void TExgSpinEdit::SetValue(int V) {
    SetText(IntToStr(CheckValue(V)));
    if (!FEditorEnabled) SelectAll();
}

double TExgSpinEdit::FloatValue() const {
    double v = 0;
    // Unreadable text falls back to the float limit, not the integer one.
    return TryStrToFloat(Trim(Text()), v) ? v : FMinFloatValue;
}

void TExgSpinEdit::SetFloatValue(double V) {
    V = CheckFloatValue(V);
    SetText(FPrecision != 0 ? FloatToStrF(V, ffFixed, 15, FPrecision) : FloatToStr(V));
}

TDateTime TExgSpinEdit::DateValue() const {
    const String t = Trim(Text());
    if (t.empty() || t == u"0") return Now();
    TDateTime v = 0;
    return TryStrToDate(t, v) ? v : FMinDateValue;
}

void TExgSpinEdit::SetDateValue(TDateTime V) {
    FDateValue = CheckDateValue(V);
    ShowText(DateToStr(FDateValue), true);
}

TDateTime TExgSpinEdit::TimeValue() const {
    TDateTime v = 0;
    return TryStrToTime(Trim(Text()), v) ? v : 0;
}

void TExgSpinEdit::SetTimeValue(TDateTime V) {
    FTimeValue = CheckDateValue(V);
    ShowText(FShowSeconds ? TimeToStr(FTimeValue) : FormatDateTime(u"h:nn", FTimeValue), true);
}

void TExgSpinEdit::SetSpinType(TExgSpinType Value) {
    if (FSpinType == Value) return;
    FSpinType = Value;
    switch (Value) {
        case sptNormal: SetValue(this->Value()); break;
        case sptFloat: SetFloatValue(FloatValue()); break;
        case sptDate: SetDateValue(DateValue()); break;
        case sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TExgSpinEdit::SetPrecision(int Value) {
    if (FPrecision == Value) return;
    FPrecision = Value;
    if (FSpinType == sptFloat) SetFloatValue(FloatValue());
}

// ---------------------------------------------------------------------------
// Stepping
// ---------------------------------------------------------------------------
void TExgSpinEdit::UpClick(TObject*) { IncrementValue(false); }
void TExgSpinEdit::DownClick(TObject*) { DecrementValue(false); }
void TExgSpinEdit::IncrementValue(bool Page) { Step(+1, Page); }
void TExgSpinEdit::DecrementValue(bool Page) { Step(-1, Page); }

void TExgSpinEdit::Step(int Sign, bool Page) {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    switch (FSpinType) {
        case sptNormal: SetValue(Value() + Sign * FIncrement); break;
        case sptFloat: SetFloatValue(FloatValue() + Sign * (Page ? FIncrementFloatPage : FIncrementFloat)); break;
        case sptDate: {
            const String fmt = UpperCase(GetShortDateFormat());
            const auto m = fmt.find(u'M'), d = fmt.find(u'D');
            FUsDates = m != String::npos && (d == String::npos || m < d);
            const String text = Text();
            const String sep(1, GetDateSeparatorChar());
            const int caret = SelStart();
            const int first = PosFrom(sep, text, 0);
            int field = 3;
            if (caret < first) field = 1;
            else if (caret < PosFrom(sep, text, first)) field = 2;
            // The fields in the order of the short date format.
            enum { Day, Month, Year } kind = Year;
            if (field == 1) kind = FUsDates ? Month : Day;
            else if (field == 2) kind = FUsDates ? Day : Month;
            const TDateTime v = DateValue();
            if (kind == Day) SetDateValue(IncDay(v, Sign));
            else if (kind == Month) SetDateValue(IncMonth(v, Sign));
            else SetDateValue(IncYears(Sign, v));
            break;
        }
        case sptTime: {
            const String text = Text();
            const String sep(1, GetTimeSeparatorChar());
            const int caret = SelStart();
            const int first = PosFrom(sep, text, 0);
            const int second = first > 0 ? PosFrom(sep, text, first) : 0;
            double span;
            if (caret < first) span = FIncrementHours / double(HoursPerDay);
            else if (FShowSeconds && second > 0 && caret >= second) span = FIncrementSeconds / double(SecsPerDay);
            else span = FIncrementMinutes / double(MinsPerDay);
            // A span of a day or more wraps like any other: only the time of day is shown.
            double v = Sign > 0 ? TimeValue() + span : TimeValue() + 1 - span;
            v -= std::floor(v);
            SetTimeValue(v);
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Keys and messages
// ---------------------------------------------------------------------------
bool TExgSpinEdit::IsValidChar(Char& Key) {
    const Char dec = GetDecimalSeparatorChar(), thou = GetThousandSeparatorChar();
    const Char tsep = GetTimeSeparatorChar(), dsep = GetDateSeparatorChar();
    if (Key == VK_BACK) return FEditorEnabled;
    const bool digit = Key >= u'0' && Key <= u'9';
    bool result = Key == dec || Key == thou || Key == tsep || Key == dsep || digit || Key == u'-' ||
                  (Key < 32 && Key != VK_RETURN);
    auto sharedSeparator = [&](Char Sep, TExgSpinType Own) {
        if (Key != Sep || FSpinType == Own) return;
        const bool shared = Sep == dec || Sep == thou || Sep == u'-' || Sep == u'+';
        if (!shared || (FSpinType != sptNormal && FSpinType != sptFloat)) result = false;
    };
    sharedSeparator(tsep, sptTime);
    sharedSeparator(dsep, sptDate);
    const String text = Text();
    if (Key == u'-') {
        const bool hasMinus = text.find(u'-') != String::npos;
        if (!hasMinus) result = result && SelStart() == 0;
        else result = result && SelText().find(u'-') != String::npos && SelStart() == 0;
    }
    if (FSpinType == sptNormal) result = result && (digit || Key == u'-');
    if (FSpinType == sptFloat && Key != VK_ESCAPE && Key != VK_RETURN && Key != VK_BACK) {
        if (Key == thou) result = false;
        const auto decPos = text.find(dec);
        if (Key == dec && decPos != String::npos && SelText().find(dec) == String::npos) result = false;
        if (FPrecision > 0 && decPos != String::npos && SelStart() > int(decPos) && SelLength() == 0 &&
            int(text.size()) >= int(decPos) + 1 + FPrecision)
            result = false;
    }
    if (FSpinType == sptTime && Key == tsep && std::count(text.begin(), text.end(), tsep) >= 2) result = false;
    if (!FEditorEnabled && Key >= 32) result = false;
    return result;
}

void TExgSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
    // The stepping keys are taken here, after any derived editor saw them first.
    switch (Key) {
        case VK_PRIOR: IncrementValue(true); Key = 0; return;
        case VK_NEXT: DecrementValue(true); Key = 0; return;
        case VK_UP: IncrementValue(false); Key = 0; return;
        case VK_DOWN: DecrementValue(false); Key = 0; return;
        default: break;
    }
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = 0;
        if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !Shift.Contains(ssShift), true);
        return;
    }
    if (Key == VK_DELETE && !FEditorEnabled) Key = 0;
    TMaskEdit::KeyDown(Key, Shift);
}

void TExgSpinEdit::KeyPress(Char& Key) {
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0) TMaskEdit::KeyPress(Key);
}

void TExgSpinEdit::WMChar(TWMKey& Message) {
    // The keypad's decimal key (its scan code has bit 6 set) types the locale's separator.
    const int scan = int((Message.KeyData() >> 16) & 0xFF);
    if (FExcelStyleDecimalSeparator && Message.CharCode() == u'.' && (scan & 0x40))
        Message.SetCharCode(GetDecimalSeparatorChar());
    TMaskEdit::WMChar(Message);
}

void TExgSpinEdit::Dispatch(TMessage& Message) {
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly())) return;
    TMaskEdit::Dispatch(Message);
}

void TExgSpinEdit::CMEnter(TMessage& Message) {
    if ((AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) || !FEditorEnabled) SelectAll();
    TMaskEdit::CMEnter(Message);
}

void TExgSpinEdit::CMExit(TMessage& Message) {
    // Clamped before the exit handlers run, so that they read the value shown.
    switch (FSpinType) {
        case sptNormal:
            if (CheckValue(Value()) != Value()) SetValue(Value());
            break;
        case sptFloat:
            if (CheckFloatValue(FloatValue()) != FloatValue()) SetFloatValue(FloatValue());
            break;
        case sptDate:
            if (CheckDateValue(DateValue()) != DateValue()) SetDateValue(DateValue());
            break;
        case sptTime:
            if (CheckDateValue(TimeValue()) != TimeValue()) SetTimeValue(TimeValue());
            break;
    }
    TMaskEdit::CMExit(Message);
}
