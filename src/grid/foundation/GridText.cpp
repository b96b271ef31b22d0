#include "grid/foundation/GridText.h"

#include "framework/Encoding.h"
#include "framework/SysUtils.h"

#include <limits>

Char GetTimeSeparatorChar() { return FormatSettings().TimeSeparator; }
Char GetDateSeparatorChar() { return FormatSettings().DateSeparator; }
Char GetThousandSeparatorChar() { return FormatSettings().ThousandSeparator; }
Char GetDecimalSeparatorChar() { return FormatSettings().DecimalSeparator; }
String GetShortDateFormat() { return FormatSettings().ShortDateFormat; }

bool IsDigitChar(Char Ch) {
    // Among the ASCII characters only 0 to 9 are numbers; sorting asks this
    // for every character of every compared cell.
    if (Ch < 0x80) return Ch >= u'0' && Ch <= u'9';
    return CharIsNumber(Ch);
}
bool IsDigitOrMinus(Char Ch) { return Ch == u'-' || IsDigitChar(Ch); }

bool IsNumberChar(Char Ch) {
    return IsDigitChar(Ch) || Ch == GetThousandSeparatorChar() || Ch == GetDecimalSeparatorChar() || Ch == u'e' ||
           Ch == u'E';
}

bool IsFloatTextChar(Char Ch) {
    return IsDigitChar(Ch) || Ch == u'-' || Ch == u'.' || Ch == u'e' || Ch == u'E' || Ch == u'+';
}

bool IsNumberSignChar(Char Ch) { return IsNumberChar(Ch) || Ch == u'+' || Ch == u'-'; }

bool IsWordBreakChar(Char Ch) { return Ch == u' ' || Ch == u'\'' || Ch == u',' || Ch == u'-' || Ch == u'.'; }

int CharPos(Char Ch, const String& S) { return Pos(Ch, S); }

int VarCharPos(Char Ch, const String& S, int& P) {
    const int r = Pos(Ch, S);
    if (r > 0) P = r;
    return r;
}

int VarPos(const String& Sub, const String& S, int& P) {
    P = Pos(Sub, S);
    return P;
}

int PosInUpperCase(const String& Sub, const String& S) { return Pos(Sub, AnsiUpperCase(S)); }

int WidePos(const String& Sub, const String& S) { return Pos(Sub, S); }

int CountChar(Char Ch, const String& S) {
    int n = 0;
    for (Char c : S)
        if (c == Ch) ++n;
    return n;
}

int ClampToSizeLimits(int Value, int Min, int Max) {
    if (Min == Max) return Value;
    int r = Value;
    if (Min > Value && Min > 0) r = Min;
    if (Max < Value && Max > 0) r = Max;
    return r;
}

String CutBeforeDelimiter(String& S, const String& Delim) {
    const int p = Pos(Delim, S);
    if (p == 0) return String();
    String head = Copy(S, 1, p - 1);
    Delete(S, 1, p);
    return head;
}

void CutFirstLine(String& S, bool KeepRest, String& Line) {
    const int p = Pos(u'\r', S);
    if (p == 0) {
        Line = S;
        S.clear();
        return;
    }
    Line = Copy(S, 1, p - 1);
    Delete(S, 1, p);
    if (!S.empty() && S[0] == u'\n') S.erase(0, 1);
    if (!KeepRest) S.clear();
}

int CountTextLines(const String& S, bool MultiLine) { return MultiLine ? 1 + CountChar(u'\r', S) : 1; }

String ConcatStrings(const TStringList& Lines) {
    String r;
    for (int i = 0; i < Lines.Count(); ++i) r += Lines[i];
    return r;
}

void FillWithChar(String& S, Char Ch) {
    for (Char& c : S) c = Ch;
}

String ToProperCase(const String& S) {
    String r = S;
    bool cap = true;
    const int len = Length(S);
    for (int i = 1; i <= len; ++i) {
        if (IsWordBreakChar(r[i - 1])) {
            cap = true;
        } else if (cap) {
            r[i - 1] = AnsiUpperChar(S[i - 1]);
            cap = false;
        } else {
            r[i - 1] = AnsiLowerChar(S[i - 1]);
        }
        if (i == 2 && r.compare(0, 2, u"Mc") == 0) {
            cap = true;
        } else if (i > 2 && Pos(u" Mc", r) == i - 2) {
            cap = true;
        } else if (i > len - 3) {
            // Roman numerals at the end of a name stay capitals ("Henry III").
            if (Copy(r, i - 1, 2) == u" I" || Copy(r, i - 2, 3) == u" II") cap = true;
        }
    }
    return r;
}

int ClassifyNumberText(const String& S) {
    return ClassifyNumberText(S, GetThousandSeparatorChar(), GetDecimalSeparatorChar());
}

int ClassifyNumberText(std::u16string_view S, Char thousand, Char decimal) {
    if (S.empty()) return 2;
    // Plain ASCII digits, the commonest number text, are an integer at once
    // (unless a separator is a digit, which the full rules below handle).
    if (!(thousand >= u'0' && thousand <= u'9') && !(decimal >= u'0' && decimal <= u'9')) {
        size_t i = 0;
        while (i < S.size() && S[i] >= u'0' && S[i] <= u'9') ++i;
        if (i == S.size()) return 0;
    }
    bool isInt = true, isFloat = true, isSci = true, hasE = false;
    int lastThousand = -1, decimalCount = 0, minusCount = 0;
    const int n = int(S.size());
    for (int i = 1; i <= n; ++i) {
        const Char c = S[size_t(i - 1)];
        const bool digit = IsDigitChar(c);
        const bool e = c == u'e' || c == u'E';
        if (!digit && c != u'-') isInt = false;
        if (e) {
            if (hasE) isSci = false;
            hasE = true;
        }
        if (i > 1 && c == u'-') isInt = isFloat = false;
        if (i == 1 && e) isSci = false;
        if (i == n && (e || c == u'+' || c == u'-')) isSci = false;
        if (!digit && c != u'-' && c != thousand && c != decimal) isFloat = false;
        // Not a number character, separator, exponent or sign; or the thousand separator.
        if (c == thousand || !(digit || c == decimal || e || c == u'+' || c == u'-')) isSci = false;
        if (c == thousand) {
            // Thousand groups are at least three digits apart.
            if (lastThousand != -1 && i - lastThousand < 4) isFloat = false;
            lastThousand = i;
        }
        if (c == decimal) ++decimalCount;
        if (c == u'-') ++minusCount;
        // Nothing later makes a number of it again: most texts end here at once.
        if (!isInt && !isFloat && !isSci) return 2;
    }
    int result;
    if (isInt) {
        result = 0;
    } else {
        result = 2;
        if (isFloat && !hasE) result = 1;
        if (isSci && hasE) {
            result = 5;
            // The exponent's sign is the second minus of "-1.5E-3".
            if (minusCount == 2) minusCount = 1;
        }
    }
    if (minusCount > 1 || decimalCount > 1) result = 2;
    return result;
}

String DisplayToFloatText(const String& Value) {
    String s = Trim(Value);
    if (s.empty()) return String();
    bool negative = s.front() == u'(' && s.back() == u')';
    while (s.size() >= 2 && !IsNumberChar(s[0])) {
        if (s[0] == u'-') negative = true;
        s.erase(0, 1);
    }
    const Char thousand = GetThousandSeparatorChar(), decimal = GetDecimalSeparatorChar();
    String r;
    for (Char c : s) {
        if (c == thousand) continue;
        if (c == decimal) r += u'.';
        else if (IsFloatTextChar(c)) r += c;
        else break;
    }
    return negative ? u"-" + r : r;
}

int CellTextKind(std::u16string_view S, bool MarkupEnabled) {
    if (S.empty()) return 0;
    // The second character, a blank for a text of one.
    const Char second = S.size() > 1 ? S[1] : u' ';
    if (S[0] == u'=') return 3;
    if (S[0] == u'|' && second == u'\\') {
        // A wide-encoded formula: the first encoded character is "=".
        if (S.size() >= 5 && S[3] == u'=' && S[4] == 0) return 3;
        return 5;
    }
    if (S[0] == u'{' && second == u'\\') return 2;
    if (!MarkupEnabled) return 0;
    // A tag: "</", "<B", "<I" or "<C". Most texts have no "<" at all, which
    // a look without a branch per character tells first.
    bool open = false;
    for (Char c : S) open |= c == u'<';
    if (!open) return 0;
    for (size_t p = 0; p + 1 < S.size(); ++p) {
        if (S[p] != u'<') continue;
        const Char next = S[p + 1];
        if (next == u'/' || next == u'B' || next == u'I' || next == u'C') return 1;
    }
    return 0;
}

bool ParseRowColReference(const String& S, TPoint& Point) {
    const String u = AnsiUpperCase(S);
    if (Length(u) <= 3 || u[0] != u'R') return false;
    const int c = Pos(u'C', u);
    if (c == 0) return false;
    int row = 0, col = 0;
    if (!TryStrToInt(Copy(u, 2, c - 2), row) || !TryStrToInt(Copy(u, c + 1), col)) return false;
    Point.X = col;
    Point.Y = row;
    return true;
}

bool IsURLText(const String& S) { return Pos(u"://", S) > 0 || Pos(u"mailto:", S) > 0; }

void StripURLProtocol(String& S) {
    int p = Pos(u"://", S);
    if (p > 0) {
        Delete(S, 1, p + 2);
        return;
    }
    p = Pos(u"mailto:", S);
    if (p > 0) Delete(S, 1, p + 6);
}

namespace {

bool IsURLChar(Char c) {
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
    switch (c) {
        case u'%': case u'(': case u')': case u'-': case u'.': case u'/': case u':': case u'@':
        case u'\\': case u'_': case u'{': case u'}':
            return true;
        default:
            return false;
    }
}

}  // namespace

bool MakeURLAnchor(const String& S, const String& Prefix, String& Dest) {
    if (Pos(Prefix, AnsiUpperCase(S)) == 0) return false;
    String t = StringReplace(S, u"<", u"&lt;", rfReplaceAll);
    t = StringReplace(t, u">", u"&gt;", rfReplaceAll);
    const int p = Pos(Prefix, AnsiUpperCase(t));
    int e = p;
    while (e <= Length(t) && IsURLChar(t[e - 1])) ++e;
    const String url = Copy(t, p, e - p);
    Dest = Copy(t, 1, p - 1) + u"<a href=\"" + url + u"\">" + url + u"</a>" + Copy(t, e);
    return true;
}

namespace {

TDateTime ParseShortDate(const String& S, bool DayFirst) {
    Char sep = 0;
    for (Char c : {u'/', u'.', u'-'}) {
        if (Pos(c, S) > 0) {
            sep = c;
            break;
        }
    }
    if (sep == 0) return 0;
    const int p1 = Pos(sep, S);
    const String first = Copy(S, 1, p1 - 1);
    const String rest = Copy(S, p1 + 1);
    const int p2 = Pos(sep, rest);
    if (p2 == 0) return 0;
    int a = 0, b = 0, y = 0;
    if (!TryStrToInt(first, a) || !TryStrToInt(Copy(rest, 1, p2 - 1), b) || !TryStrToInt(Copy(rest, p2 + 1), y))
        return 0;
    Word year = static_cast<Word>(y);
    // Two-digit years: up to 25 in this century, the rest in the last.
    if (year <= 25)
        year = static_cast<Word>(2000 + year);
    else if (year < 100)
        year = static_cast<Word>(1900 + year);
    const int month = DayFirst ? b : a, day = DayFirst ? a : b;
    return EncodeDate(year, static_cast<Word>(month), static_cast<Word>(day));
}

}  // namespace

TDateTime ParseDateMDY(const String& S) { return ParseShortDate(S, false); }
TDateTime ParseDateDMY(const String& S) { return ParseShortDate(S, true); }

bool LooksLikeDate(const String& S) {
    const Char sep = GetDateSeparatorChar();
    const int p = Pos(sep, S);
    if (p < 2) return false;
    return Pos(sep, Copy(S, p + 1)) >= 2;
}

TDateTime IncDateParts(SmallInt Years, SmallInt Months, SmallInt Days, TDateTime Date, double Delta) {
    Word y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    const int nonZero = (Years != 0) + (Months != 0) + (Days != 0);
    if (nonZero != 1) return Date + Delta;
    if (Days != 0) return Date + Days;
    int ny = y, nm = m;
    if (Years != 0) {
        ny += Years;
    } else {
        const int total = ny * 12 + (nm - 1) + Months;
        ny = total >= 0 ? total / 12 : (total - 11) / 12;
        nm = total - ny * 12 + 1;
    }
    if (ny < 1 || ny > 9999) return Date;
    const Word last = DaysInAMonth(static_cast<Word>(ny), static_cast<Word>(nm));
    return EncodeDate(static_cast<Word>(ny), static_cast<Word>(nm), d > last ? last : d);
}

void StringToOem(String& S) { S = Windows1252ToString(::StringToOem(std::u16string_view(S))); }

void OemToString(String& S) { S = ::OemToString(StringToWindows1252(S)); }

int LeadingIntValue(const String& S) {
    size_t i = 0;
    while (i < S.size() && S[i] == u' ') ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == u'+' || S[i] == u'-')) negative = S[i++] == u'-';
    int base = 10;
    if (i < S.size() && S[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < S.size() && S[i] == u'0' && (S[i + 1] == u'x' || S[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    Int64 v = 0;
    for (; i < S.size(); ++i) {
        const Char c = S[i];
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            break;
        const Int64 next = v * base + digit;
        // Digits that would leave the 32-bit range count as the fault.
        if (next > (base == 16 ? Int64{0xFFFFFFFF} : Int64{std::numeric_limits<int>::max()} + negative)) break;
        v = next;
    }
    return static_cast<int>(static_cast<std::uint32_t>(negative ? -v : v));
}
