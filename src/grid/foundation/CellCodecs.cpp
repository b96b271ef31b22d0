#include "grid/foundation/CellCodecs.h"

#include "framework/SysUtils.h"

#include "grid/foundation/GridText.h"

namespace {

constexpr Char CR = u'\r', LF = u'\n', TAB = 9, BS = 8;

// Line breaks all CR LF pairs, and none of the characters the file's own
// form uses for them: such a text gets that form byte for byte.
bool FitsFileForm(const String& S) {
    bool pair = false;
    for (size_t i = 0; i < S.size(); ++i) {
        const Char c = S[i];
        if (c == TAB || c == BS || c == 1) return false;
        if (c == CR) {
            if (i + 1 >= S.size() || S[i + 1] != LF) return false;
            pair = true;
            ++i;
        } else if (c == LF) {
            return false;
        }
    }
    return pair;
}

String Replaced(const String& S, const String& From, const String& To) { return StringReplace(S, From, To, rfReplaceAll); }

}  // namespace

String EncodeCellLineBreaks(const String& S) {
    if (FitsFileForm(S)) {
        String r = S;
        for (Char& c : r) {
            if (c == CR) c = TAB;
            else if (c == LF) c = BS;
            else if (c == 0) c = 1;
        }
        return r;
    }
    if (S.find_first_of(String{CR, LF, BS}) == String::npos) return S;
    String r(1, BS);
    for (Char c : S) {
        if (c == CR) r += {BS, u'r'};
        else if (c == LF) r += {BS, u'n'};
        else if (c == BS) r += {BS, u'b'};
        else r += c;
    }
    return r;
}

String DecodeCellLineBreaks(const String& S, bool MultiLine) {
    String r;
    if (!S.empty() && S[0] == BS) {
        for (size_t i = 1; i < S.size(); ++i) {
            const Char c = S[i];
            if (c == BS && i + 1 < S.size()) {
                const Char e = S[i + 1];
                if (e == u'r' || e == u'n' || e == u'b') {
                    r += e == u'r' ? CR : e == u'n' ? LF : BS;
                    ++i;
                    continue;
                }
            }
            r += c;
        }
    } else if (S.find(BS) != String::npos) {
        r = S;
        for (Char& c : r) {
            if (c == TAB) c = CR;
            else if (c == BS) c = LF;
            else if (c == 1) c = 0;
        }
    } else {
        r = S;
    }
    if (!MultiLine) {
        String line;
        CutFirstLine(r, false, line);
        return line;
    }
    return r;
}

String EncodeWideCellText(const String& W) {
    String r = u"|\\";
    r.reserve(2 + 2 * W.size());
    for (Char c : W) {
        r += static_cast<Char>(c >> 8);
        r += static_cast<Char>(c & 0xFF);
    }
    return r;
}

String DecodeWideCellText(const String& S) {
    if (S.size() < 2 || S[0] != u'|' || S[1] != u'\\') return S;
    String r;
    r.reserve((S.size() - 2) / 2);
    for (size_t i = 2; i + 1 < S.size(); i += 2) r += static_cast<Char>((S[i] * 256 + S[i + 1]) & 0xFFFF);
    return r;
}

String DoubleQuoteChars(const String& S) { return Replaced(S, u"\"", u"\"\""); }

void QuoteMultiLine(String& S) { S = u"\"" + Replaced(S, u"\r\n", String(1, Char(11))) + u"\""; }

void CRLFToLF(String& S) { S = Replaced(S, u"\r\n", u"\n"); }

void LTToCRLF(String& S) {
    if (S.find(Char(11)) != String::npos) S = Replaced(S, String(1, Char(11)), u"\r\n");
}

String CollapseDoubledChar(Char Ch, const String& S) {
    if (S.find(Ch) == String::npos) return S;
    String r;
    for (size_t i = 0; i < S.size(); ++i) {
        r += S[i];
        if (S[i] == Ch && i + 1 < S.size() && S[i + 1] == Ch) ++i;
    }
    return r;
}

int FindQuoteEnd(Char Quote, const String& S, int& P) {
    int run = 0;
    const int n = Length(S);
    for (int i = 1; i <= n; ++i) {
        if (S[i - 1] == Quote) {
            if (i == n) return P = i;
            ++run;
        } else {
            if (run % 2 == 1) return P = i - 1;
            run = 0;
        }
    }
    return P = 0;
}

int CountQuoteEnds(Char Quote, const String& S) {
    String rest = S;
    int count = 0, p = 0;
    while (FindQuoteEnd(Quote, rest, p) > 0) {
        ++count;
        rest = Copy(rest, p + 1);
    }
    return count;
}

void CRLFToTilde(String& S) {
    String r;
    for (Char c : S) {
        if (c == CR) r += u'~';
        else if (c != LF) r += c;
    }
    S = r;
}

void TildeToCRLF(String& S) {
    S = Replaced(S, u"~", u"\r\n");
    if (S == u"^") S.clear();
}

String EscapeLineBreaks(const String& S) {
    String r;
    for (Char c : S) {
        if (c == CR) r += u"\\n";
        else if (c != LF) r += c;
    }
    return r;
}

String UnescapeLineBreaks(const String& S) { return Replaced(S, u"\\n", u"\r"); }

String CRToHTMLBreak(const String& S) {
    if (S.find(CR) == String::npos) return S;
    return Replaced(S, u"\r", u"<br>");
}

String StripCR(const String& S) { return Replaced(S, u"\r", u""); }

String CRToLF(const String& S) {
    String r = S;
    for (Char& c : r)
        if (c == CR) c = LF;
    return r;
}

void MakeCFHTML(String& S) {
    // Header 97 characters, doctype 62 and opening frame 115: the fragment
    // starts at 274; the closing frame adds 32.
    const int n = Length(S);
    auto field = [](const char* name, int v) {
        String digits = IntToStr(v);
        if (digits.size() < 8) digits.insert(0, 8 - digits.size(), u'0');
        return Utf8ToString(name) + digits + u"\r\n";
    };
    String r = u"Version:1.0\r\n";
    r += field("StartHTML:", 97);
    r += field("EndHTML:", n + 306);
    r += field("StartFragment:", 274);
    r += field("EndFragment:", n + 274);
    r += u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    r += u"<html><head><META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\"></head><body>"
         u"<!--StartFragment-->";
    r += S;
    r += u"<!--EndFragment--></body></html>";
    S = r;
}
