// The drop-down edit's text: the value and its normalisation, the edit
// types that decide which typed characters are taken, numbers, the
// re-formatting on focus loss and the clipboard rules.

#include "controls/ExDropDown.h"

#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridText.h"

#include <algorithm>
#include <cmath>

namespace {
Char Dec() { return FormatSettings().DecimalSeparator; }
Char Thou() { return FormatSettings().ThousandSeparator; }

bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

String Fixed(double V, int Decimals) { return FloatToStrF(V, ffFixed, 18, Decimals, FormatSettings()); }
String Grouped(double V, int Decimals) { return FloatToStrF(V, ffNumber, 18, Decimals, FormatSettings()); }
String General(double V) { return FloatToStr(V, FormatSettings()); }
}  // namespace

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------
String TExCustomDropDown::GetText() const {
    String s = TMaskEdit::Text();
    if (!FPrefix.empty() && s.compare(0, FPrefix.size(), FPrefix) == 0) s.erase(0, FPrefix.size());
    if (!FSuffix.empty()) s.erase(s.size() - std::min(s.size(), FSuffix.size()));
    return s;
}

void TExCustomDropDown::SetTextValue(const String& Value) {
    String v = Value;
    if (v.empty()) {
        if (FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney) v = u"0";
        else if (FEditType == etHex) {
            const int kind = NumberKindOfText(v);
            if (kind != 0 && kind != 5) v = u"0";
        }
    }
    if (FPrecision > 0 && !v.empty() && v != u"Error") {
        if (FEditType == etMoney) v = Grouped(TextToFloat(v), FPrecision);
        else if (FEditType == etFloat) v = Fixed(TextToFloat(v), FPrecision);
    }
    if (FEditType == etHex) v = UpperCase(v);
    TMaskEdit::SetText(FPrefix + v + FSuffix);
    FOldText = v;
    SetModified(false);
}

// ---------------------------------------------------------------------------
// Edit type and precision
// ---------------------------------------------------------------------------
void TExCustomDropDown::SetEditType(TDropDownEditType Value) {
    if (FEditType == Value) return;
    FEditType = Value;
    if (Value == etPassword) {
        SetPasswordChar(u'*');
        FCanUndo = false;
    } else {
        SetPasswordChar(0);
    }
    const int kind = NumberKindOfText(GetText());
    if (Value == etNumeric && kind != 0) SetIntValue(0);
    else if ((Value == etFloat || Value == etMoney) && kind > 1) SetFloatValue(0);
    if (ComponentState().Contains(csDesigning) && Value == etFloat && FPrecision == 0) SetPrecision(2);
}

void TExCustomDropDown::SetPrecision(int Value) {
    if (FPrecision == Value) return;
    if (FEditType != etString && FEditType != etFloat && FEditType != etMoney) return;
    FPrecision = Value;
    if (NumberKindOfText(GetText()) > 1) SetFloatValue(0);
    else SetFloatValue(GetFloatValue());
}

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------
double TExCustomDropDown::TextToFloat(const String& S) const {
    double v = 0;
    if (TryStrToFloat(StripThousandSeparators(S), v, FormatSettings())) return v;
    return 0;
}

double TExCustomDropDown::GetFloatValue() const {
    const String t = GetText();
    if (FEditType == etString) {
        TFormatSettings plain;
        double v = 0;
        return TryStrToFloat(t, v, plain) ? v : 0;
    }
    if (t.empty() || t == u"Error" || t == u"-") return 0;
    return TextToFloat(t);
}

void TExCustomDropDown::SetFloatValue(double Value) {
    switch (FEditType) {
    case etString:
    case etFloat: SetTextValue(FPrecision < 0 ? General(Value) : Fixed(Value, FPrecision)); break;
    case etNumeric:
    case etMoney: SetTextValue(FPrecision < 0 ? General(Value) : Grouped(Value, FPrecision)); break;
    default: break;
    }
    SetModified(true);
}

void TExCustomDropDown::SetIntValue(int Value) {
    if (FEditType == etNumeric || FEditType == etFloat) SetTextValue(IntToStr(Value));
    SetModified(true);
}

void TExCustomDropDown::SetModified(bool Value) {
    if (ComponentState().Contains(csLoading) || !FEditorEnabled || ReadOnly()) return;
    TMaskEdit::SetModified(Value);
    FIsModified = Value;
}

void TExCustomDropDown::SelectAll() {
    SetSelStart(0);
    SetSelLength(int(TMaskEdit::Text().size()));
}

void TExCustomDropDown::SelectBeforeDecimal() {
    const String t = TMaskEdit::Text();
    const auto p = t.find(Dec());
    SetSelStart(p == String::npos ? 0 : int(p));
    SetSelLength(0);
}

void TExCustomDropDown::SelectAfterDecimal() {
    const String t = TMaskEdit::Text();
    const auto p = t.find(Dec());
    SetSelStart(p == String::npos ? 0 : int(p) + 1);
    SetSelLength(0);
}

// ---------------------------------------------------------------------------
// Typed characters
// ---------------------------------------------------------------------------
bool TExCustomDropDown::ThousandDistanceAllows(const String& Text, int Caret) const {
    String s = Text;
    int caret = Caret, best = -1;
    for (auto p = s.find(Thou()); p != String::npos; p = s.find(Thou())) {
        const int pos = int(p) + 1;  // 1-based
        const int d = std::abs(pos - caret);
        if (d < 3) return false;
        if (best < 0 || d < best) best = d;
        if (pos < caret) caret -= pos;
        s.erase(0, p + 1);
    }
    return best == 3;
}

void TExCustomDropDown::TypeFloatChar(TWMKey& Message, Char Ch) {
    const Char d = Dec(), t = Thou();
    if (Ch == u',' && d != u',' && t != u',') return;
    if (Ch == u'.' && d != u'.' && t != u'.') return;
    if (!(Ch == VK_BACK || Ch == VK_TAB || Ch == VK_RETURN || Ch == u',' || Ch == u'-' || Ch == u'.' || IsDigit(Ch)))
        return;
    const String text = TMaskEdit::Text();
    const String sel = SelText();
    const int caret = SelStart();
    if (Ch == d && sel.find(d) == String::npos && (text.find(d) != String::npos || FPrecision == 0)) {
        if (FPrecision > 0) {
            const auto p = text.find(d);
            if (p != String::npos) {
                SetSelStart(int(p) + 1);
                SetSelLength(0);
            }
        }
        return;
    }
    if (Ch == u',' && Ch != t) {
        const auto p = text.find(u',');
        if (p != String::npos && !(int(p) >= caret && int(p) < caret + int(sel.size()))) return;
    }
    if ((Ch == t || Ch == d) && text.find(t) != String::npos && !ThousandDistanceAllows(text, caret)) return;
    const auto dp = text.find(d);
    if (FPrecision > 0 && dp != String::npos && caret > int(dp) && int(text.size()) - caret <= FPrecision &&
        int(text.size()) - int(dp) - 1 >= FPrecision && sel.empty() && (IsDigit(Ch) || Ch == d)) {
        if (Ch == d || caret >= int(text.size())) return;
        // The digit overwrites the one after the caret.
        SetSelStart(caret);
        SetSelLength(1);
    }
    if (Ch == d && text.empty() && caret == 0) {
        TMaskEdit::SetText(String(u"0") + d);
        SetSelStart(2);
        SetSelLength(0);
        SetModified(true);
        return;
    }
    PassChar(Message);
}

void TExCustomDropDown::PassChar(TWMKey& Message) {
    switch (Message.CharCode()) {
    case 3: Perform(WM_COPY); return;
    case 22: Perform(WM_PASTE); return;
    case 24: Perform(WM_CUT); return;
    case 26: Perform(WM_UNDO); return;
    default: break;
    }
    DefaultHandler(Message.Message);
}

void TExCustomDropDown::WMChar(TWMKey& Message) {
    // The key event comes first: it may change or take the character.
    const Char typed = Char(Message.CharCode());
    const bool taken = DoKeyPress(Message);
    if ((typed == VK_RETURN || typed == VK_ESCAPE) && !FDefaultHandling && Parent()) {
        // The parent handles Enter and Esc as keys of its own.
        TCustomForm* form = GetParentForm(this);
        PostMessage(Parent()->Handle(), WM_KEYDOWN, typed);
        if (form && form->KeyPreview()) {
            Message.SetCharCode(typed);
            DefaultHandler(Message.Message);
        } else {
            PostMessage(Parent()->Handle(), WM_KEYUP, typed);
        }
        return;
    }
    if (taken || !FEditorEnabled) return;
    // The keypad's decimal key (bit 6 of its scan code) types the separator.
    if (FExcelStyleDecimalSeparator && (Message.CharCode() == u'.' || Message.CharCode() == u',') &&
        ((Message.KeyData() >> 16) & 0x40) != 0)
        Message.SetCharCode(Dec());
    const Char ch = Char(Message.CharCode());
    const String whole = TMaskEdit::Text();
    const bool allSelected = !whole.empty() && SelLength() == int(whole.size());
    if (allSelected) FBlockChange = true;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (ch == 10 && ctrl) return;  // Ctrl+Enter
    if (ch == VK_RETURN) return;
    if (ctrl && (ch == 3 || ch == 22 || ch == 24)) {
        PassChar(Message);
        return;
    }
    if (ch == VK_BACK) {
        if ((!FPrefix.empty() || !FSuffix.empty()) && SelLength() == 0 && SelStart() <= int(FPrefix.size())) return;
        PassChar(Message);
        if (allSelected && TMaskEdit::Text().empty()) {
            FBlockChange = false;
            Change();
        }
        if (TMaskEdit::Modified()) FIsModified = true;
        return;
    }
    const bool number = FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
    if (ch == u'-' && number && FSigned && ToggleSign()) {
        FBlockChange = false;
        return;
    }
    if (ch == u'-' && (FEditType == etNumeric || FEditType == etFloat)) {
        FBlockChange = false;
        return;
    }
    if (ch == 10) return;
    if (FLengthLimit > 0 && number && ch != Dec() && SelLength() == 0) {
        const String t = TMaskEdit::Text();
        const auto dp = t.find(Dec());
        if ((dp == String::npos || SelStart() <= int(dp)) && WholeDigits(t) >= FLengthLimit) return;
    }
    const String before = TMaskEdit::Text();
    switch (FEditType) {
    case etNumeric:
        if (ch == VK_TAB || IsDigit(ch) || ctrl) PassChar(Message);
        break;
    case etFloat: TypeFloatChar(Message, ch); break;
    case etMoney: {
        if (ch == Dec() && FPrecision > 0 && allSelected) {
            // D over the whole text starts a new amount.
            FBlockChange = false;
            SetTextValue(String(u"0") + Dec() + u"0");
            SelectAfterDecimal();
            break;
        }
        TypeFloatChar(Message, ch);
        if (ch != Dec() && TMaskEdit::Text() != before) FormatMoney();
        break;
    }
    case etUppercase:
    case etLowerCase: {
        const String c = FEditType == etUppercase ? UpperCase(String(1, ch)) : LowerCase(String(1, ch));
        Message.SetCharCode(Word(c[0]));
        PassChar(Message);
        break;
    }
    case etMixedCase: {
        PassChar(Message);
        const int caret = SelStart();
        TMaskEdit::SetText(ToProperCase(TMaskEdit::Text()));
        SetSelStart(caret);
        break;
    }
    case etRange: {
        const bool sep = ch == u',' || ch == u'-' || ch == u';';
        if (!(IsDigit(ch) || sep || ch == VK_TAB)) break;
        if (sep) {
            const int c = SelStart();
            const String& s = before;
            auto isSep = [](Char x) { return x == u',' || x == u'-' || x == u';'; };
            if (c < int(FPrefix.size()) || (c > 0 && isSep(s[size_t(c - 1)])) || (c < int(s.size()) && isSep(s[size_t(c)])))
                break;
        }
        PassChar(Message);
        break;
    }
    case etHex:
        if (ch == VK_TAB || ch == u'-' || IsDigit(ch) || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f'))
            PassChar(Message);
        break;
    case etAlphaNumeric:
        if (ch == VK_TAB || IsDigit(ch) || (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z'))
            PassChar(Message);
        break;
    case etValidChars:
        if (FValidChars.find(ch) != String::npos) PassChar(Message);
        break;
    default:
        SetModified(true);
        PassChar(Message);
        break;
    }
    // A refused character leaves the text as it was: the swallowed
    // notification would otherwise eat the next real change.
    if (TMaskEdit::Text() == before) FBlockChange = false;
    if (TMaskEdit::Modified()) FIsModified = true;
}

void TExCustomDropDown::FormatMoney() {
    const String value = GetText();
    if (value.empty() || value == u"-") return;
    const bool negative = value[0] == u'-';
    const auto dp = value.find(Dec());
    String whole;
    for (Char c : value.substr(negative ? 1 : 0, dp == String::npos ? String::npos : dp - (negative ? 1 : 0)))
        if (c >= u'0' && c <= u'9') whole += c;
    if (FAutoThousandSeparator)
        for (int i = int(whole.size()) - 3; i > 0; i -= 3) whole.insert(size_t(i), 1, Thou());
    const String shown = FPrefix + (negative ? u"-" : u"") + whole + (dp == String::npos ? String() : value.substr(dp)) + FSuffix;
    const String old = TMaskEdit::Text();
    if (shown == old) return;
    // The caret keeps its distance from the end.
    const int fromEnd = int(old.size()) - SelStart();
    FBlockChange = true;
    TMaskEdit::SetText(shown);
    FBlockChange = false;
    SetSelStart(std::max(0, int(shown.size()) - fromEnd));
    SetSelLength(0);
}

int TExCustomDropDown::WholeDigits(const String& Text) const {
    // Signs and thousand separators do not count.
    int n = 0;
    for (Char c : Text) {
        if (c == Dec()) break;
        if (c >= u'0' && c <= u'9') ++n;
    }
    return n;
}

bool TExCustomDropDown::ToggleSign() {
    const String whole = TMaskEdit::Text();
    if (SelLength() > 0) {
        if (FEditType == etNumeric && SelLength() == int(whole.size())) {
            TMaskEdit::SetText(u"-");
            SetSelStart(1);
            SetSelLength(0);
            SetModified(true);
            return true;
        }
        return false;
    }
    const int caret = SelStart();
    const String value = GetText();
    if (value.find(u'-') == String::npos) {
        TMaskEdit::SetText(FPrefix + u"-" + value + FSuffix);
        SetSelStart(caret + 1);
    } else {
        String v = value;
        v.erase(0, 1);
        TMaskEdit::SetText(FPrefix + v + FSuffix);
        SetSelStart(std::max(int(FPrefix.size()), caret - 1));
    }
    SetSelLength(0);
    SetModified(true);
    return true;
}

// ---------------------------------------------------------------------------
// Change notifications and focus loss
// ---------------------------------------------------------------------------
void TExCustomDropDown::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == EN_CHANGE && FBlockChange) {
        FBlockChange = false;
        return;
    }
    TMaskEdit::CNCommand(Message);
}

void TExCustomDropDown::Change() { TMaskEdit::Change(); }

void TExCustomDropDown::WMKillFocus(TMessage& Message) {
    if (!ComponentState().Contains(csLoading)) {
        const String t = GetText();
        if ((FEditType == etFloat || FEditType == etMoney) && FPrecision > 0) {
            const bool modified = FIsModified;
            SetFloatValue(GetFloatValue());
            SetModified(modified);
        } else if (FEditType == etNumeric && t.empty()) {
            SetTextValue(u"0");
        }
    }
    TMaskEdit::Dispatch(Message);
    if (!FEditorEnabled) Invalidate();
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------
void TExCustomDropDown::WMPaste(TMessage& Message) {
    if (ReadOnly() || !Clipboard().HasText()) return;
    const String clip = Clipboard().AsText();
    bool allow = true;
    if (OnClipboardPaste) OnClipboardPaste(this, clip, allow);
    if (!allow) return;
    const String text = TMaskEdit::Text();
    const int start = SelStart(), len = SelLength();
    if (MaxLength() > 0 && int(clip.size() + text.size()) - len > MaxLength()) return;
    String n = text;
    n.replace(size_t(start), size_t(len), clip);
    const bool hadSelection = len > 0;
    switch (FEditType) {
    case etString:
    case etPassword: SetTextValue(n); break;
    case etNumeric:
        if (NumberKindOfText(n) == 0 && n.find(u'-') == String::npos) {
            SetTextValue(n);
            SetModified(true);
        }
        break;
    case etFloat: {
        const int kind = NumberKindOfText(n);
        if ((kind == 0 || kind == 1) && (FPrecision != 0 || clip.find(Dec()) == String::npos) &&
            n.find(u'-') == String::npos) {
            SetTextValue(n);
            SetFloatValue(GetFloatValue());
            SetModified(true);
        }
        break;
    }
    default: TMaskEdit::Dispatch(Message); return;
    }
    SetSelStart(hadSelection ? start : start + int(clip.size()));
    SetSelLength(hadSelection ? int(clip.size()) : 0);
    if (FEditType == etString) SetModified(true);
}

void TExCustomDropDown::WMCut(TMessage& Message) {
    if (!FEditorEnabled || ReadOnly()) return;
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut) OnClipboardCut(this, SelText(), allow);
    if (allow) TMaskEdit::Dispatch(Message);
    FBlockCopy = false;
}

void TExCustomDropDown::WMCopy(TMessage& Message) {
    bool allow = true;
    if (OnClipboardCopy) OnClipboardCopy(this, SelText(), allow);
    if (allow) TMaskEdit::Dispatch(Message);
}
