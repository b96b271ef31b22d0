// The calculator's key panel and the calculator drop-down.

#include "controls/ExCalculatorDropdown.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/PartDrawing.h"

#include <cmath>

namespace {
struct TKey {
    const char16_t* Caption;
    const char16_t* Name;
    int Tag;
    bool Special;
};
// In collection order; the tags are the codes the calculator acts on.
const TKey CalculatorKeys[] = {
    {u"", u"BTN_ON", 30, false},       {u"Back", u"BTN_BACK", 31, true},   {u"CE", u"BTN_CE", 32, true},
    {u"C", u"BTN_C", 16, true},        {u"MC", u"BTN_MC", 33, true},       {u"MR", u"BTN_MR", 34, true},
    {u"MS", u"BTN_MS", 35, true},      {u"M+", u"BTN_M+", 36, true},       {u"0", u"BTN_0", 0, false},
    {u"1", u"BTN_1", 1, false},        {u"4", u"BTN_4", 4, false},         {u"7", u"BTN_7", 7, false},
    {u"8", u"BTN_8", 8, false},        {u"5", u"BTN_5", 5, false},         {u"2", u"BTN_2", 2, false},
    {u"+/-", u"BTN_+/-", 14, false},   {u".", u"BTN_.", 15, false},        {u"3", u"BTN_3", 3, false},
    {u"6", u"BTN_6", 6, false},        {u"9", u"BTN_9", 9, false},         {u"/", u"BTN_/", 13, true},
    {u"*", u"BTN_*", 12, true},        {u"-", u"BTN_-", 11, true},         {u"+", u"BTN_+", 10, true},
    {u"=", u"BTN_=", 17, true},        {u"1/x", u"BTN_1/x", 38, false},    {u"%", u"BTN_%", 18, false},
    {u"sqrt", u"BTN_sqrt", 37, true},
};
constexpr int CalculatorKeyCount = int(std::size(CalculatorKeys));

// Column and row of each key below the top row, by collection index (4 .. 27).
struct TCell {
    int Index, Col, Row;
};
const TCell KeyCells[] = {
    {4, 0, 1},  {11, 1, 1}, {12, 2, 1}, {19, 3, 1}, {20, 4, 1}, {27, 5, 1},  //
    {5, 0, 2},  {10, 1, 2}, {13, 2, 2}, {18, 3, 2}, {21, 4, 2}, {26, 5, 2},  //
    {6, 0, 3},  {9, 1, 3},  {14, 2, 3}, {17, 3, 3}, {22, 4, 3}, {25, 5, 3},  //
    {7, 0, 4},  {8, 1, 4},  {15, 2, 4}, {16, 3, 4}, {23, 4, 4}, {24, 5, 4},
};

Char Dec() { return FormatSettings().DecimalSeparator; }
Char Thou() { return FormatSettings().ThousandSeparator; }
}  // namespace

// ---------------------------------------------------------------------------
// Items and look
// ---------------------------------------------------------------------------
void TButtonItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TButtonItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    Caption = s->Caption;
    CaptionColor = s->CaptionColor;
    Tag = s->Tag;
    ImageIndex = s->ImageIndex;
    Image.Assign(&s->Image);
    Enabled = s->Enabled;
    FName = s->FName;
}

TButtonItems::TButtonItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TButtonItem(c); }, AOwner) {}

TButtonAppearance::TButtonAppearance() {
    Font.SetSize(10);
    Font.SetStyle(TFontStyles{fsBold});
}

void TButtonAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TButtonAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TNotifyEvent keep = OnChange;
    *this = *s;
    Font.Assign(&s->Font);
    OnChange = keep;
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// The key panel
// ---------------------------------------------------------------------------
TCustomButtonPanel::TCustomButtonPanel(TComponent* AOwner) : TCustomControl(AOwner), FButtons(this) {
    SetDoubleBuffered(true);
    FButtons.OnChange = [this](TObject*) {
        if (!FExDropDown) Invalidate();
    };
    FButtonAppearance.OnChange = [this](TObject*) {
        if (!FExDropDown) Invalidate();
    };
}

void TCustomButtonPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType Value) {
    if (FButtonPanelType == Value) return;
    FButtonPanelType = Value;
    ArrangeButtons();
}

void TCustomButtonPanel::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    FImages = Value;
    ArrangeButtons();
}

void TCustomButtonPanel::GetButtonsRect(TRect& R) const {
    const TRect c = ClientRect();
    R = Rect(c.Left + FOffSetX, c.Top + FOffSetY, c.Right - FOffSetX, c.Bottom - FOffSetY);
}

void TCustomButtonPanel::GetButtonRect(int Index, TRect& R) const {
    if (!Valid(Index)) {
        R = Rect(-1, -1, -1, -1);
        return;
    }
    const TButtonItem* b = FButtons.Items(Index);
    R = Rect(b->FLeft, b->FTop, b->FLeft + b->FWidth, b->FTop + b->FHeight);
}

int TCustomButtonPanel::ButtonAtPos(int X, int Y) const {
    for (int i = 0; i < FButtons.Count(); ++i) {
        TRect r;
        GetButtonRect(i, r);
        if (PtInRect(r, TPoint{X, Y})) return i;
    }
    return -1;
}

void TCustomButtonPanel::ClearButtons() { FButtons.Clear(); }

void TCustomButtonPanel::ResetButtons() {
    ClearButtons();
    CreateCalculatorButtons();
}

void TCustomButtonPanel::CreateCalculatorButtons() {
    if (FButtons.Count() == 0 && FButtonPanelType == plCalculator) {
        for (const TKey& k : CalculatorKeys) {
            TButtonItem* b = FButtons.Add();
            b->Caption = k.Caption;
            b->FName = k.Name;
            b->Tag = k.Tag;
            b->FSpecial = k.Special;
            if (k.Special) b->CaptionColor = 0x000080;
        }
    }
    ArrangeButtons();
}

void TCustomButtonPanel::ArrangeButtons() {
    // The fixed layout needs exactly the calculator's keys.
    if (FButtonPanelType != plCalculator || FButtons.Count() != CalculatorKeyCount) return;
    TRect a;
    GetButtonsRect(a);
    const int w = (a.Width() - 8) / 6, h = (a.Height() - 4) / 5;
    int col[6], row[5];
    col[0] = a.Left;
    col[1] = col[0] + w + 4;
    col[2] = col[1] + w - 1;
    col[3] = col[2] + w - 1;
    col[4] = col[3] + w + 4;
    col[5] = col[4] + w - 1;
    row[0] = a.Top;
    row[1] = row[0] + h + 4;
    row[2] = row[1] + h - 1;
    row[3] = row[2] + h - 1;
    row[4] = row[3] + h - 1;
    auto place = [&](int index, int l, int t, int wd, int ht) {
        TButtonItem* b = FButtons.Items(index);
        b->FLeft = l, b->FTop = t, b->FWidth = wd, b->FHeight = ht;
    };
    place(0, col[0], row[0], w, h);
    const int right = col[5] + w, left = col[0] + w + 4;
    const int w3 = (right - left - 8) / 3;
    place(1, left, row[0], w3, h);
    place(2, left + w3 + 4, row[0], w3, h);
    place(3, left + 2 * w3 + 8, row[0], right - (left + 2 * w3 + 8), h);
    for (const TCell& c : KeyCells) place(c.Index, col[c.Col], row[c.Row], w, h);
    Invalidate();
}

void TCustomButtonPanel::Resize() {
    TCustomControl::Resize();
    ArrangeButtons();
}

void TCustomButtonPanel::InvalidateButton(int Index) {
    if (!Valid(Index) || !HandleAllocated()) return;
    TRect r;
    GetButtonRect(Index, r);
    r = Rect(r.Left - 8, r.Top - 8, r.Right + 8, r.Bottom + 8);
    InvalidateRect(Handle(), &r, true);
}

void TCustomButtonPanel::DoButtonClick(int Index) {
    if (OnButtonClick) OnButtonClick(this, Index);
}

void TCustomButtonPanel::SetButtonHot(int Index) {
    if (Index == FButtonHot || (Valid(Index) && !FButtons.Items(Index)->Enabled)) return;
    const int old = FButtonHot;
    FButtonHot = Index;
    if (old >= 0) InvalidateButton(old);
    if (Index >= 0) InvalidateButton(Index);
}

void TCustomButtonPanel::SetButtonDown(int Index) {
    if (Index == FButtonDown || (Valid(Index) && !FButtons.Items(Index)->Enabled)) return;
    const int old = FButtonDown;
    FButtonDown = Index;
    if (old >= 0) InvalidateButton(old);
    if (Index >= 0) InvalidateButton(Index);
}

void TCustomButtonPanel::DrawButton(int Index, TCanvas& Canvas) {
    if (!Valid(Index)) return;
    TRect r;
    GetButtonRect(Index, r);
    if (r.Left < 0 && r.Right < 0) return;
    const TButtonItem* b = FButtons.Items(Index);
    Canvas.FillRect(r);
    const TPartState state = !Enabled()                ? stDisabled
                             : Index == FButtonDown    ? stDown
                             : Index == FButtonHot     ? stHot
                                                       : stNormal;
    DrawPushButton(Canvas, this, r, plThemed, state, TColorTones());
    int cw = 0, ch = 0;
    if (!b->Image.Empty()) cw = b->Image.Width(), ch = b->Image.Height();
    else if (FImages && b->ImageIndex >= 0) cw = FImages->Width(), ch = FImages->Height();
    const TRect inner = Rect(r.Left + FButtonOffSetX, r.Top + FButtonOffSetY, r.Right - FButtonOffSetX,
                             r.Bottom - FButtonOffSetY);
    TRect t = inner;
    Canvas.SetFont(FButtonAppearance.Font);
    Canvas.Font().SetColor(b->FSpecial ? FButtonAppearance.SpecialTextColor : FButtonAppearance.TextColor);
    Canvas.Brush().SetStyle(bsClear);
    auto content = [&](int x, int y) {
        if (!b->Image.Empty()) Canvas.Draw(x, y, b->Image);
        else if (FImages && b->ImageIndex >= 0) FImages->Draw(Canvas, x, y, b->ImageIndex, b->Enabled);
    };
    const unsigned centred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    switch (FButtonLayout) {
    case ilCaptionRight:
        content(inner.Left, inner.Top + (inner.Height() - ch) / 2);
        if (cw > 0) t.Left = inner.Left + cw + FCaptionGap;
        Canvas.DrawText(b->Caption, t, DT_SINGLELINE | DT_VCENTER | (cw > 0 ? DT_LEFT : DT_CENTER));
        break;
    case ilCaptionLeft: {
        int x = inner.Left;
        if (!b->Caption.empty()) {
            t.Right -= cw;
            Canvas.DrawText(b->Caption, t, DT_SINGLELINE | DT_VCENTER | (cw > 0 ? DT_LEFT : DT_CENTER));
            x = t.Left + Canvas.TextWidth(b->Caption) + FCaptionGap;
        }
        content(x, inner.Top + (inner.Height() - ch) / 2);
        break;
    }
    case ilCaptionTop: {
        int top = inner.Top + (inner.Height() - ch) / 2;
        if (!b->Caption.empty()) {
            t.Bottom -= ch;
            Canvas.DrawText(b->Caption, t, centred);
            top = t.Top + Canvas.TextHeight(b->Caption) + FCaptionGap;
        }
        content(inner.Left, top);
        break;
    }
    case ilCaptionBottom: {
        const int top = b->Caption.empty() ? inner.Top + (inner.Height() - ch) / 2 : inner.Top;
        content(inner.Left, top);
        if (ch > 0) t.Top = top + ch + FCaptionGap;
        Canvas.DrawText(b->Caption, t, centred);
        break;
    }
    }
}

void TCustomButtonPanel::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    if (!FExDropDown) {
        c.Brush().SetColor(clBlack);
        c.FrameRect(ClientRect());
        c.Brush().SetColor(Color());
    }
    for (int i = 0; i < FButtons.Count(); ++i)
        if (i != FButtonHot) DrawButton(i, c);
    if (FButtonHot >= 0) DrawButton(FButtonHot, c);
}

void TCustomButtonPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    if (i >= 0 && FButtons.Items(i)->Enabled) SetButtonDown(i);
}

void TCustomButtonPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    if (i >= 0 && !FButtons.Items(i)->Enabled) SetButtonHot(-1);
    else SetButtonHot(i);
}

void TCustomButtonPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FButtonDown < 0) return;
    const int pressed = FButtonDown;
    const bool counts = ButtonAtPos(X, Y) == pressed;
    SetButtonDown(-1);
    if (counts) DoButtonClick(pressed);
}

void TCustomButtonPanel::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    SetButtonHot(-1);
}

// ---------------------------------------------------------------------------
// The calculator drop-down
// ---------------------------------------------------------------------------
TExCalculatorDropdown::TExCalculatorDropdown(TComponent* AOwner)
    : TExCustomDropDown(AOwner), FCalcButtonAppearance(std::make_unique<TButtonAppearance>()) {
    CreateDropDownForm();
    SetComponentStyle(GetComponentStyle());
    SetDropDownColor(0xFFFFFF);
    SetDropDownWidth(230);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetEditType(etFloat);
    FPrevop = -1;
    SetPrecision(2);
    FDecim = 0;
    FCalcClosed = true;
    FMVal = 0;
}

TExCalculatorDropdown::~TExCalculatorDropdown() = default;

void TExCalculatorDropdown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FExButtonPanel && FDropDownForm) {
        FExButtonPanel = new TCustomButtonPanel(this);
        FExButtonPanel->SetParent(FDropDownForm);
        FExButtonPanel->SetExDropDown(this);
        FExButtonPanel->SetHeight(150);
        FExButtonPanel->CreateCalculatorButtons();
        SetControl(FExButtonPanel);
        FExButtonPanel->OnButtonClick = [this](TObject*, int Index) { CalcButtonClick(Index); };
    }
}

void TExCalculatorDropdown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    FExButtonPanel->ButtonAppearance().Assign(FCalcButtonAppearance.get());
    FExButtonPanel->SetColor(DropDownColor());
    FExButtonPanel->ArrangeButtons();
    FNewval = true;
    FDecim = 0;
    FCalcClosed = false;
}

void TExCalculatorDropdown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    if (!FCalcButtonAppearance) return;
    const TExButtonAppearance& b = ButtonAppearance();
    TButtonAppearance& c = *FCalcButtonAppearance;
    c.BorderColor = b.BorderColor();
    c.BorderColorHot = b.BorderColorHot();
    c.BorderColorDown = b.BorderColorDown();
    c.BorderColorChecked = b.BorderColorChecked();
    c.Color = b.Color();
    c.ColorTo = b.ColorTo();
    c.ColorDown = b.ColorDown();
    c.ColorDownTo = b.ColorDownTo();
    c.ColorChecked = b.ColorChecked();
    c.ColorCheckedTo = b.ColorCheckedTo();
    c.ColorDisabled = b.ColorDisabled();
    c.ColorDisabledTo = b.ColorDisabledTo();
    c.ColorHot = b.ColorHot();
    c.ColorHotTo = b.ColorHotTo();
    if (AStyle == tsOffice2010Blue || AStyle == tsOffice2010Silver || AStyle == tsOffice2010Black) {
        c.GlowColorHot = c.GlowColorDown = b.ColorHot();
    } else {
        c.GlowColorDown = 0xD5C244;
        c.GlowColorHot = b.ColorDownTo();
    }
}

bool TExCalculatorDropdown::PopupClosed() const {
    return FCalcClosed || (FDropDownForm && !FDropDownForm->Visible());
}

bool TExCalculatorDropdown::DisplayIsBlankOrError() const {
    const String t = GetText();
    return t.empty() || t == u"Error";
}

double TExCalculatorDropdown::DisplayValue() const {
    double v = 0;
    return TryStrToFloat(StripThousandSeparators(GetText()), v, FormatSettings()) ? v : 0;
}

double TExCalculatorDropdown::Value() {
    if (GetText().empty()) SetTextValue(u"0");
    return DisplayValue();
}

void TExCalculatorDropdown::SetValue(double Value) { SetTextValue(FloatToStr(Value, FormatSettings())); }

void TExCalculatorDropdown::SetShowThousandSeparator(bool Value) {
    if (FShowThousandSeparator == Value) return;
    FShowThousandSeparator = Value;
    SetEditType(Value ? etMoney : etFloat);
    SetFloatValue(GetFloatValue());
}

void TExCalculatorDropdown::DoCalc() {
    if (DisplayIsBlankOrError()) SetTextValue(u"0");
    const double x = DisplayValue();
    switch (FPrevop) {
    case 0: FPrevval = x + FPrevval; break;
    case 1: FPrevval = x * FPrevval; break;
    case 2: FPrevval = FPrevval - x; break;
    case 3:
        if (x == 0) {
            FPrevval = 0;
            SetTextValue(u"Error");
            return;
        }
        FPrevval = FPrevval / x;
        break;
    default: FPrevval = x; break;
    }
    if (!std::isfinite(FPrevval)) FPrevval = 0;
    SetFloatValue(FPrevval);
    FNewval = true;
}

void TExCalculatorDropdown::DoEquals() {
    DoCalc();
    if (GetText().empty()) SetTextValue(u"0");
    FPrevop = -1;
    if (GetText() != u"Error") FPrevval = DisplayValue();
}

void TExCalculatorDropdown::DoPercent() {
    if (DisplayIsBlankOrError()) SetTextValue(u"0");
    SetTextValue(FloatToStr(FPrevval * DisplayValue() / 100, FormatSettings()));
}

void TExCalculatorDropdown::DoOperator(int Op) {
    DoCalc();
    FPrevop = Op;
}

void TExCalculatorDropdown::CalcButtonClick(int Index) {
    if (!FExButtonPanel || Index < 0 || Index >= FExButtonPanel->Buttons().Count()) return;
    BeforeCalcKey();
    const int tag = FExButtonPanel->Buttons().Items(Index)->Tag;
    if ((tag >= 10 && tag <= 14) || (tag >= 16 && tag <= 18)) FDecim = 0;
    if ((tag <= 9 || tag == 14 || tag == 15) && MaxLength() > 0 && int(GetText().size()) >= MaxLength()) return;
    const double v = DisplayValue();
    switch (tag) {
    case 10: DoOperator(0); break;
    case 11: DoOperator(2); break;
    case 12: DoOperator(1); break;
    case 13: DoOperator(3); break;
    case 14: {
        String t = GetText();
        if (t.find(u'-') != String::npos) t.erase(0, 1);
        else t.insert(t.begin(), u'-');
        SetTextValue(t);
        break;
    }
    case 15: {
        const String t = GetText();
        if (t.find(Dec()) == String::npos) SetTextValue(t + Dec());
        FDecim = 10;
        if (FNewval) SetTextValue(u"0");
        FNewval = false;
        break;
    }
    case 16:
    case 30:
    case 32:
        SetTextValue(u"0");
        FPrevval = 0;
        FPrevop = -1;
        break;
    case 17: DoEquals(); break;
    case 18: DoPercent(); break;
    case 31:
        if (FPrevop == -1) {
            String t = FloatToStr(v, FormatSettings());
            if (!t.empty()) t.pop_back();
            SetTextValue(t);
        }
        break;
    case 33: FMVal = 0; break;
    case 34: SetFloatValue(FMVal); break;
    case 35:
        // A display that is no number leaves the memory as it is.
        if (!DisplayIsBlankOrError() && GetText() != u"-") FMVal = DisplayValue();
        break;
    case 36:
        if (!DisplayIsBlankOrError() && GetText() != u"-") FMVal = FMVal + DisplayValue();
        break;
    case 37:
        if (v < 0) SetTextValue(u"Error");
        else SetFloatValue(std::sqrt(v));
        break;
    case 38:
        if (v == 0) SetTextValue(u"Error");
        else SetFloatValue(1 / v);
        break;
    default:
        if (tag >= 0 && tag <= 9) {
            if ((v == 0 && FDecim == 0) || FNewval) {
                SetTextValue(IntToStr(tag));
                FNewval = false;
            } else if (FDecim > 0) {
                SetFloatValue(v + tag / FDecim);
                FDecim *= 10;
            } else {
                SetFloatValue(v * 10 + tag);
            }
        }
        break;
    }
    SetModified(true);
}

void TExCalculatorDropdown::KeyPress(Char& Key) {
    if (PopupClosed()) {
        switch (Key) {
        case VK_RETURN:
        case u'=': DoEquals(); break;
        case u'%': DoPercent(); break;
        case u'*': DoOperator(1); break;
        case u'+': DoOperator(0); break;
        case u'-': DoOperator(2); break;
        case u'/': DoOperator(3); break;
        case u'C':
        case u'c':
            SetTextValue(u"0");
            FNewval = true;
            FPrevop = -1;
            break;
        default: break;
        }
    }
    if (!(CharIsNumber(Key) || Key == Dec() || Key == VK_BACK || Key == u'-')) {
        Key = 0;
        return;
    }
    const String t = GetText();
    if (CharIsNumber(Key) && (t == u"0" || FNewval)) {
        SetTextValue(String(1, Key));
        SetSelStart(int(Prefix().size()) + 1);
        SetSelLength(0);
        FNewval = false;
        Key = 0;
        return;
    }
    if (t.size() == 1 && Key == VK_BACK) {
        SetTextValue(u"0");
        SetSelStart(int(Prefix().size()) + 1);
        SetSelLength(0);
        Key = 0;
        return;
    }
    if (Key == Thou()) Key = 0;
    else if (Key == Dec() && t.find(Dec()) != String::npos) Key = 0;
    TExCustomDropDown::KeyPress(Key);
}

void TExCalculatorDropdown::FormKeyPress(Char& Key) {
    TExCustomDropDown::FormKeyPress(Key);
    HandleCalcKey(Key);
}

void TExCalculatorDropdown::HandleCalcKey(Char Key) {
    BeforeCalcKey();
    const String t = GetText();
    if (Key == Dec() && t.find(Dec()) == String::npos) SetTextValue(t + Dec());
    if (CharIsNumber(Key) && MaxLength() > 0 && int(t.size()) >= MaxLength()) return;
    switch (Key) {
    case VK_RETURN:
        DoEquals();
        DoHideDropDown(false);
        break;
    case VK_ESCAPE: DoHideDropDown(true); break;
    case u'%': DoPercent(); break;
    case u'*': DoOperator(1); break;
    case u'+': DoOperator(0); break;
    case u'-': DoOperator(2); break;
    case u'/': DoOperator(3); break;
    case u'=': DoEquals(); break;
    case u'C':
    case u'c':
        SetTextValue(u"0");
        FPrevval = 0;
        FNewval = true;
        FPrevop = -1;
        break;
    case u'&':
        if (GetKeyState(VK_MENU) < 0) DoHideDropDown(true);
        break;
    default:
        if (Key >= u'0' && Key <= u'9') FNewval = false;
        break;
    }
}

void TExCalculatorDropdown::FormKeyDown(Word& Key, TShiftState Shift) {
    TExCustomDropDown::FormKeyDown(Key, Shift);
    if (Key == VK_TAB || Key == VK_F4) DoHideDropDown(false);
    else if (Key == VK_BACK) {
        String t = GetText();
        if (t == u"Error") t = u"0";
        else if (!t.empty()) t.pop_back();
        SetTextValue(t.empty() ? String(u"0") : t);
    }
}

void TExCalculatorDropdown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    TExCustomDropDown::WMKeyDown(Message);
    if (key == VK_DELETE && DisplayIsBlankOrError()) SetTextValue(u"0");
}

void TExCalculatorDropdown::CMEnter(TMessage& Message) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TExCustomDropDown::CMEnter(Message);
}
