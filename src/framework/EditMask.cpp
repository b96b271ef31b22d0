#include "framework/EditMask.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace {

// Letters are what has a case, in the ranges the case conversion knows
// (Latin, Greek, Cyrillic), and the sharp s, which has none.
bool IsLetter(Char c) { return AnsiUpperChar(c) != c || AnsiLowerChar(c) != c || c == 0x00DF; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

struct TMaskKind {
    Char Kind;
    bool Required;
};
constexpr TMaskKind kInputKinds[] = {
    {u'0', true},  {u'9', false}, {u'#', false}, {u'L', true}, {u'l', false},
    {u'A', true},  {u'a', false}, {u'C', true},  {u'c', false},
};

}  // namespace

TEditMask::TEditMask(const String& Mask) : FMask(Mask) {
    const size_t n = Mask.size();
    TCase caseNow = TCase::None;
    size_t i = 0;
    for (; i < n && Mask[i] != u';'; ++i) {
        const Char c = Mask[i];
        const Char next = i + 1 < n ? Mask[i + 1] : Char(0);
        if (c == u'\\') {
            if (next != 0) FPositions.push_back({next, 0, false, TCase::None});
            ++i;
            continue;
        }
        if (c == u'!') {
            FLeadingBlanks = true;
            continue;
        }
        if (c == u'<' && next == u'>') {
            caseNow = TCase::None;
            ++i;
            continue;
        }
        if (c == u'>' || c == u'<') {
            caseNow = c == u'>' ? TCase::Upper : TCase::Lower;
            continue;
        }
        bool input = false;
        for (const auto& k : kInputKinds)
            if (k.Kind == c) {
                FPositions.push_back({0, c, k.Required, caseNow});
                input = true;
                break;
            }
        if (!input) FPositions.push_back({c, 0, false, TCase::None});
    }
    if (i < n) {  // the fields after the mask
        ++i;
        if (i < n && Mask[i] == u'0') FSaveLiterals = false;
        while (i < n && Mask[i] != u';') ++i;
        if (i + 1 < n) FBlank = Mask[i + 1];
    }
}

bool TEditMask::IsLiteral(int Pos) const {
    return Pos >= 0 && Pos < Length() && FPositions[Pos].Literal != 0;
}

int TEditMask::NextInput(int Pos) const {
    for (int p = std::max(Pos, 0); p < Length(); ++p)
        if (FPositions[p].Literal == 0) return p;
    return -1;
}

int TEditMask::PrevInput(int Pos) const {
    for (int p = std::min(Pos, Length()) - 1; p >= 0; --p)
        if (FPositions[p].Literal == 0) return p;
    return -1;
}

bool TEditMask::Accepts(const TPosition& P, Char Ch) const {
    if (Ch < 32) return false;
    switch (P.Kind) {
    case u'0': case u'9': return IsDigit(Ch);
    case u'#': return IsDigit(Ch) || Ch == u'+' || Ch == u'-';
    case u'L': case u'l': return IsLetter(Ch);
    case u'A': case u'a': return IsLetter(Ch) || IsDigit(Ch);
    default: return true;  // C, c
    }
}

String TEditMask::EmptyText() const {
    String s;
    for (const auto& p : FPositions) s += p.Literal ? p.Literal : FBlank;
    return s;
}

String TEditMask::FormatText(const String& Value) const {
    String s = EmptyText();
    size_t v = 0;
    for (int p = 0; p < Length() && v < Value.size(); ++p) {
        if (FPositions[p].Literal) {
            if (FSaveLiterals && Value[v] == FPositions[p].Literal) ++v;
            continue;
        }
        const Char c = Value[v++];
        s[p] = c == u' ' ? FBlank : c;
    }
    return s;
}

String TEditMask::StoredText(const String& Shown) const {
    String shown = Shown;
    shown.resize(FPositions.size(), FBlank);
    String s;
    if (FSaveLiterals) {
        for (int p = 0; p < Length(); ++p)
            s += FPositions[p].Literal ? FPositions[p].Literal : (shown[p] == FBlank ? u' ' : shown[p]);
        return s;
    }
    for (int p = 0; p < Length(); ++p)
        if (!FPositions[p].Literal) s += shown[p];
    if (FLeadingBlanks) {
        const size_t first = s.find_first_not_of(FBlank);
        s.erase(0, first == String::npos ? s.size() : first);
    } else {
        s.erase(s.find_last_not_of(FBlank) + 1);
    }
    for (Char& c : s)
        if (c == FBlank) c = u' ';
    return s;
}

bool TEditMask::InputChar(String& Shown, int& Pos, Char Ch) const {
    if (Shown.size() != size_t(Length()) || Pos < 0) return false;
    if (IsLiteral(Pos) && FPositions[Pos].Literal == Ch) {
        ++Pos;
        return true;
    }
    const int p = NextInput(Pos);
    if (p < 0 || !Accepts(FPositions[p], Ch)) return false;
    switch (FPositions[p].Case) {
    case TCase::Upper: Ch = AnsiUpperChar(Ch); break;
    case TCase::Lower: Ch = AnsiLowerChar(Ch); break;
    case TCase::None: break;
    }
    Shown[p] = Ch;
    Pos = p + 1;
    return true;
}

bool TEditMask::InputText(String& Shown, int& Pos, const String& S, bool Pasting) const {
    String shown = Shown;
    int pos = Pos;
    for (const Char ch : S) {
        const bool onLiteral = IsLiteral(pos) && shown[pos] == ch;
        if (Pasting && !onLiteral && NextInput(pos) < 0) break;
        if (InputChar(shown, pos, ch)) continue;
        // A pasted blank leaves its position empty, so that what was copied
        // from a half-filled entry pastes back as it was.
        const int p = NextInput(pos);
        if (Pasting && p >= 0 && (ch == FBlank || ch == u' ')) {
            shown[p] = FBlank;
            pos = p + 1;
            continue;
        }
        return false;
    }
    Shown = shown;
    Pos = pos;
    return true;
}

void TEditMask::Clear(String& Shown, int Start, int Count) const {
    const int end = std::min({Start + Count, Length(), int(Shown.size())});
    for (int p = std::max(Start, 0); p < end; ++p)
        if (!FPositions[p].Literal) Shown[p] = FBlank;
}

int TEditMask::FirstInvalid(const String& Shown) const {
    for (int p = 0; p < Length(); ++p) {
        const auto& pos = FPositions[p];
        if (pos.Literal) continue;
        const Char c = p < int(Shown.size()) ? Shown[p] : FBlank;
        if (c == FBlank ? pos.Required : !Accepts(pos, c)) return p;
    }
    return -1;
}

void TEditMask::Validate(const String& Shown) const {
    if (FirstInvalid(Shown) >= 0) throw EDBEditError(S("Invalid input value. Use escape key to abandon changes"));
}
