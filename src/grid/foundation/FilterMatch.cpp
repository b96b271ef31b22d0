#include "grid/foundation/FilterMatch.h"

#include "framework/SysUtils.h"
#include "grid/foundation/GridText.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

constexpr size_t OperandLimit = 255;

const std::vector<Char> Combiners = {u'(', u';', u'^', u'&', u'|'};

String TrimBlanks(const String& S) {
    size_t B = 0, E = S.size();
    while (B < E && S[B] == u' ') ++B;
    while (E > B && S[E - 1] == u' ') --E;
    return S.substr(B, E - B);
}

// Decimal floating point: leading blanks, sign, digits, "." digits, exponent; nothing else.
bool ReadNumber(const String& S, double& Value) {
    size_t i = 0;
    while (i < S.size() && S[i] == u' ') ++i;
    std::string A;
    if (i < S.size() && (S[i] == u'+' || S[i] == u'-')) A += char(S[i++]);
    size_t Digits = 0;
    while (i < S.size() && S[i] >= u'0' && S[i] <= u'9') A += char(S[i++]), ++Digits;
    if (i < S.size() && S[i] == u'.') {
        A += char(S[i++]);
        while (i < S.size() && S[i] >= u'0' && S[i] <= u'9') A += char(S[i++]), ++Digits;
    }
    if (Digits == 0) return false;
    if (i < S.size() && (S[i] == u'E' || S[i] == u'e')) {
        A += 'e';
        ++i;
        if (i < S.size() && (S[i] == u'+' || S[i] == u'-')) A += char(S[i++]);
        size_t Exp = 0;
        while (i < S.size() && S[i] >= u'0' && S[i] <= u'9') A += char(S[i++]), ++Exp;
        if (Exp == 0) return false;
    }
    if (i != S.size()) return false;
    Value = std::strtod(A.c_str(), nullptr);
    return true;
}

bool ReadInt(const String& S, int& Value) {
    if (S.empty() || S.size() > 9) return false;
    size_t i = (S[0] == u'-' || S[0] == u'+') ? 1 : 0;
    if (i == S.size()) return false;
    int V = 0;
    for (size_t k = i; k < S.size(); ++k) {
        if (S[k] < u'0' || S[k] > u'9') return false;
        V = V * 10 + (S[k] - u'0');
    }
    Value = S[0] == u'-' ? -V : V;
    return true;
}

// The operand after a comparison operator, from S0; its quotes are not part of it.
String ScanOperand(const String& C, size_t S0, bool BlankInQuotes) {
    auto At = [&](size_t i) -> Char { return i < C.size() ? C[i] : Char(0); };
    size_t P = S0;
    size_t Count = 0;
    int Quotes = 0;
    Char Last = 0;
    while (true) {
        const Char Ch = At(P);
        if (Ch == u' ' || Ch == 0) break;
        if (Quotes % 2 == 0 && (Ch == u'&' || Ch == u'|')) break;
        if (Ch == u'"') ++Quotes;
        if (Count == 0 && Ch == u'"')
            S0 = P + 1;
        else
            ++Count;
        Last = Ch;
        ++P;
        if (BlankInQuotes && At(P) == u' ' && Quotes % 2 == 1) {
            ++Count;
            Last = u' ';
            ++P;
        }
    }
    if (Count > 0 && Last == u'"') --Count;
    return C.substr(std::min(S0, C.size()), std::min(Count, OperandLimit));
}

// Where the operand of the operator at Op starts: past an "=" and blanks.
size_t OperandStart(const String& C, size_t Op, bool& OrEqual) {
    size_t P = Op + 1;
    OrEqual = P < C.size() && C[P] == u'=';
    if (OrEqual) ++P;
    while (P < C.size() && C[P] == u' ') ++P;
    return P;
}

enum TCompare { cmpLess = -1, cmpEqual = 0, cmpGreater = 1 };

// V against O by number, date or text.
int CompareOperand(const String& V, const String& O) {
    TDateTime VDate = 0, ODate = 0;
    const bool VIsDate = ParseDateByFormat(V, VDate), OIsDate = ParseDateByFormat(O, ODate);
    double VNum = 0, ONum = 0;
    const bool VIsNum = !VIsDate && ReadNumber(NormalizeNumberText(V), VNum);
    const bool OIsNum = !OIsDate && ReadNumber(NormalizeNumberText(O), ONum);
    if (VIsNum && OIsNum) return VNum > ONum ? cmpGreater : VNum < ONum ? cmpLess : cmpEqual;
    if (VIsDate && OIsDate) return VDate > ODate ? cmpGreater : VDate < ODate ? cmpLess : cmpEqual;
    int R = V.substr(0, OperandLimit).compare(O.substr(0, OperandLimit));
    return R > 0 ? cmpGreater : R < 0 ? cmpLess : cmpEqual;
}

// One evaluation of a piece; the "*" tries look at suffixes of the same two
// texts, so their results are remembered by the two positions.
class TMatcher {
public:
    TMatcher(const String& C, const String& V) : FC(C), FV(V) {}
    bool Condition(size_t Co, size_t Vo);

private:
    bool Wildcard(size_t Co, size_t Vo);
    bool StarFrom(size_t Co, size_t Vo);
    const String& FC;
    const String& FV;
    std::unordered_map<unsigned long long, bool> FMemo;
};

bool TMatcher::Condition(size_t Co, size_t Vo) {
    const unsigned long long Key = (static_cast<unsigned long long>(Co) << 32) | Vo;
    if (auto It = FMemo.find(Key); It != FMemo.end()) return It->second;
    // Views: most tries meet no operator and need no copies.
    const std::u16string_view CV(FC.data() + Co, FC.size() - Co);
    bool GT = true, LT = true, HasGT = false, HasLT = false, HasNot = false, OrEqual = false;
    const bool HasGTChar = CV.find(u'>') != CV.npos, HasLTChar = CV.find(u'<') != CV.npos;
    String C, V;
    if (HasGTChar || HasLTChar) C = String(CV), V = FV.substr(Vo);
    if (size_t P = C.find(u'>'); HasGTChar && P != String::npos) {
        const String O = ScanOperand(C, OperandStart(C, P, OrEqual), true);
        const int Cmp = CompareOperand(V, O);
        GT = OrEqual ? Cmp >= 0 : Cmp > 0;
        HasGT = true;
    }
    OrEqual = false;
    if (size_t P = C.find(u'<'); HasLTChar && P != String::npos) {
        const String O = ScanOperand(C, OperandStart(C, P, OrEqual), false);
        const int Cmp = CompareOperand(V, O);
        LT = OrEqual ? Cmp <= 0 : Cmp < 0;
        HasLT = true;
    }
    if (CV.find(u'!') != CV.npos) HasNot = true;  // its operand is scanned and not used
    if (HasNot) {
        if (!HasGTChar) HasGT = true;
        if (!HasLTChar) HasLT = true;
    }
    bool R;
    if (CV.find(u'^') != CV.npos && (HasGT || HasLT))
        R = LT || GT;
    else if (CV.find(u'&') != CV.npos && HasGT && HasLT)
        R = LT && GT;
    else if (HasGTChar && GT)
        R = true;
    else if (HasLTChar && LT)
        R = true;
    else
        R = Wildcard(Co, Vo);
    FMemo[Key] = R;
    return R;
}

bool TMatcher::Wildcard(size_t Pc, size_t Pv) {
    bool Res = true, Negate = false;
    const size_t Ec = FC.size(), Ev = FV.size();
    while (Res && !(Pc >= Ec && Pv >= Ev)) {
        const Char Ch = Pc < Ec ? FC[Pc] : Char(0);
        if (Pc < Ec && Ch == u'!') {
            Negate = true;
            ++Pc;
        } else if (Pc < Ec && Ch == u'"') {
            ++Pc;
        } else if (Pc < Ec && Ch == u'*') {
            while (Pc < Ec && FC[Pc] == u'*') ++Pc;
            Res = StarFrom(Pc, Pv);
            if (Res) Pc = Ec, Pv = Ev;
        } else if (Pc < Ec && Ch == u'?') {
            Res = Pv < Ev;
            if (Res) ++Pc, ++Pv;
        } else {
            Res = Pc < Ec && Pv < Ev && FC[Pc] == FV[Pv];
            if (Res) ++Pc, ++Pv;
        }
    }
    return Negate ? !Res : Res;
}

// Whether the rest of the pattern from Co matches the value from any position
// at or after Vo; tried from the value's end backwards, remembered per position.
bool TMatcher::StarFrom(size_t Co, size_t Vo) {
    constexpr unsigned long long StarKey = 1ull << 63;
    auto Key = [&](size_t V) { return StarKey | (static_cast<unsigned long long>(Co) << 32) | V; };
    std::vector<size_t> Pending;
    bool Any = false;
    for (size_t V = Vo;; ++V) {
        if (V > FV.size()) break;
        if (auto It = FMemo.find(Key(V)); It != FMemo.end()) {
            Any = It->second;
            break;
        }
        Pending.push_back(V);
    }
    for (auto It = Pending.rbegin(); It != Pending.rend(); ++It) {
        Any = Any || Condition(Co, *It);
        FMemo[Key(*It)] = Any;
    }
    return Any;
}

}  // namespace

Char FindNextDelimiter(const std::vector<Char>& Set, const String& S, int& P) {
    int Quotes = 0;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == u'"') {
            ++Quotes;
            continue;
        }
        if (Quotes % 2 == 0 && std::find(Set.begin(), Set.end(), S[i]) != Set.end()) {
            P = int(i) + 1;
            return S[i];
        }
    }
    P = -1;
    return 0;
}

String StripUnquotedSpaces(const String& S) {
    String Out;
    int Quotes = 0;
    for (Char C : S) {
        if (C == u'"') ++Quotes;
        if (C == u' ' && Quotes % 2 == 0) continue;
        Out += C;
    }
    return Out;
}

int MatchingParenPos(const String& S) {
    int Open = 0, Close = 0;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == u'(') ++Open;
        if (S[i] == u')' && ++Close == Open) return int(i) + 1;
    }
    return 0;
}

String NormalizeNumberText(const String& S) {
    const Char Dec = GetDecimalSeparatorChar(), Thousand = GetThousandSeparatorChar();
    String Out;
    for (Char C : S) {
        if (C == Dec)
            Out += u'.';
        else if (C != Thousand)
            Out += C;
    }
    return Out;
}

bool ParseDateByFormat(const String& Text, TDateTime& Date) {
    const String F = UpperCase(GetShortDateFormat());
    const Char DateSep = GetDateSeparatorChar(), TimeSep = GetTimeSeparatorChar();
    auto PosOf = [&](Char L) {
        size_t P = F.find(L);
        return P == String::npos ? F.size() + 1 : P;
    };
    struct TField {
        size_t Pos;
        int* Target;
    };
    int Day = 0, Month = 0, Year = 0, Hour = 0, Minute = 0, Second = 0;
    TField Order[3] = {{PosOf(u'D'), &Day}, {PosOf(u'M'), &Month}, {PosOf(u'Y'), &Year}};
    std::stable_sort(std::begin(Order), std::end(Order), [](const TField& a, const TField& b) { return a.Pos < b.Pos; });
    String S = Text;
    for (int k = 0; k < 2; ++k) {
        size_t P = S.find(DateSep);
        if (P == String::npos || !ReadInt(S.substr(0, P), *Order[k].Target)) return false;
        S.erase(0, P + 1);
    }
    S = TrimBlanks(S);
    String TimePart;
    if (size_t Blank = S.find(u' '); Blank != String::npos) {
        TimePart = S.substr(Blank);
        S = S.substr(0, Blank);
    }
    if (!ReadInt(S, *Order[2].Target)) return false;
    if (Day > 31 || Month > 12) return false;
    if (!TimePart.empty()) {
        TimePart = TrimBlanks(TimePart);
        size_t P = TimePart.find(TimeSep);
        if (P == String::npos || !ReadInt(TimePart.substr(0, P), Hour) || Hour > 23) return false;
        String Rest = TimePart.substr(P + 1);
        size_t Q = Rest.find(TimeSep);
        if (Q != String::npos) {
            if (!ReadInt(Rest.substr(0, Q), Minute) || !ReadInt(Rest.substr(Q + 1), Second) || Second > 60)
                return false;
        } else if (!ReadInt(Rest, Minute)) {
            return false;
        }
        if (Minute > 59) return false;
    }
    TDateTime D, T;
    if (Year <= 0 || Month <= 0 || Day <= 0 || Hour < 0 || Minute < 0 || Second < 0) return false;
    if (!TryEncodeDate(Word(Year), Word(Month), Word(Day), D) || !TryEncodeTime(Word(Hour), Word(Minute), Word(Second), 0, T))
        return false;
    Date = D + T;
    return true;
}

bool MatchCondition(const String& Piece, const String& Value) {
    TMatcher M(Piece, Value);
    return M.Condition(0, 0);
}

bool MatchConditionCase(const String& Piece, const String& Value, bool CaseSensitive) {
    if (CaseSensitive) return MatchCondition(Piece, Value);
    return MatchCondition(AnsiUpperCase(Piece), AnsiUpperCase(Value));
}

bool MatchFilterExpression(const String& Condition, const String& Value, bool CaseSensitive) {
    String C = StripUnquotedSpaces(TrimBlanks(Condition));
    if (!C.empty() && C[0] == u'=') C.erase(0, 1);
    bool Result = true;
    Char Op = 0;
    auto Combine = [&](bool Part) {
        switch (Op) {
            case 0: Result = Part; break;
            case u'&': Result = Result && Part; break;
            case u'(': break;  // the piece after a closing ")" is evaluated and ignored
            default: Result = Result || Part; break;
        }
    };
    int P = 0;
    Char D;
    while ((D = FindNextDelimiter(Combiners, C, P)) != 0) {
        bool Part;
        if (C[0] == u'(') {
            const int E = MatchingParenPos(C);
            if (E == 0) {
                // Never closed: the group runs to the end of the condition.
                Part = MatchFilterExpression(C.substr(1), Value, CaseSensitive);
                C.clear();
            } else {
                Part = MatchFilterExpression(C.substr(1, size_t(E) - 2), Value, CaseSensitive);
                C.erase(0, size_t(E));
            }
        } else {
            Part = MatchConditionCase(C.substr(0, size_t(P) - 1), Value, CaseSensitive);
            C.erase(0, size_t(P));
        }
        Combine(Part);
        Op = D;
    }
    const bool Last = MatchConditionCase(C, Value, CaseSensitive);
    switch (Op) {
        case 0: return Last;
        case u'&': return Result && Last;
        case u'(': return Result;
        default: return Result || Last;
    }
}

namespace {

// "*" any run, "?" one character, every other character itself; the whole
// value must match (as the evaluator's wildcard leaf matches).
bool MatchPlainPattern(std::u16string_view P, std::u16string_view V) {
    size_t p = 0, v = 0, star = std::u16string_view::npos, mark = 0;
    while (v < V.size()) {
        if (p < P.size() && P[p] == u'*') {
            star = p++;
            mark = v;
        } else if (p < P.size() && (P[p] == u'?' || P[p] == V[v])) {
            ++p;
            ++v;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            v = ++mark;
        } else {
            return false;
        }
    }
    while (p < P.size() && P[p] == u'*') ++p;
    return p == P.size();
}

}  // namespace

TFilterExpression::TFilterExpression(const String& Condition, bool CaseSensitive)
    : FCondition(Condition), FCaseSensitive(CaseSensitive) {
    // As the evaluator reads a condition: blanks outside quotes go, one leading "=" too.
    String c = StripUnquotedSpaces(TrimBlanks(Condition));
    if (!c.empty() && c[0] == u'=') c.erase(0, 1);
    FPlainPattern = c.find_first_of(u"();^&|<>!\"") == String::npos;
    if (FPlainPattern) FPattern = CaseSensitive ? c : AnsiUpperCase(c);
}

bool TFilterExpression::Match(std::u16string_view Value) const {
    if (!FPlainPattern) return MatchFilterExpression(FCondition, String(Value), FCaseSensitive);
    if (FCaseSensitive) return MatchPlainPattern(FPattern, Value);
    FUpper.resize(Value.size());
    for (size_t i = 0; i < Value.size(); ++i) FUpper[i] = AnsiUpperChar(Value[i]);
    return MatchPlainPattern(FPattern, FUpper);
}
