#include "grid/foundation/MarkupText.h"

#include "framework/SysUtils.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/Markup.h"

#include <functional>

namespace {

String ReplaceAllIgnoreCase(const String& Text, const String& Find, const String& By) {
    if (Find.empty()) return Text;
    const String U = UpperCase(Text), UF = UpperCase(Find);
    String Out;
    size_t From = 0, P;
    while ((P = U.find(UF, From)) != String::npos) {
        Out.append(Text, From, P - From);
        Out += By;
        From = P + Find.size();
    }
    Out.append(Text, From, String::npos);
    return Out;
}

String ReplaceAll(const String& Text, const String& Find, const String& By) {
    String Out;
    size_t From = 0, P;
    while ((P = Text.find(Find, From)) != String::npos) {
        Out.append(Text, From, P - From);
        Out += By;
        From = P + Find.size();
    }
    Out.append(Text, From, String::npos);
    return Out;
}

struct TControlAt {
    size_t Start;  // of the "<"
    size_t End;    // past the ">" (or the text's end)
    TControlTag Tag;
};

// Walks the control tags of Text in order; the walk stops when Visit returns true.
void EachControl(const String& Text, const std::function<bool(const TControlAt&)>& Visit) {
    const String U = UpperCase(Text);
    size_t From = 0, P;
    while ((P = U.find(u"<CONTROL ", From)) != String::npos) {
        size_t Close = Text.find(u'>', P);
        size_t End = Close == String::npos ? Text.size() : Close + 1;
        TControlAt C{P, End, ParseControlTag(Text.substr(P + 1, End - P - 1))};
        if (Visit(C)) return;
        From = End;
    }
}

// 1-based position of visible character N itself (after any tags before it); 0 when none.
int VisibleCharPosition(const String& Text, int N) {
    int Visible = 0;
    bool InTag = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        const Char C = Text[i];
        if (InTag) {
            InTag = C != u'>';
            continue;
        }
        if (C == u'<' && Text.find(u'>', i) != String::npos) {
            InTag = true;
            continue;
        }
        if (++Visible == N) return int(i) + 1;
    }
    return 0;
}

}  // namespace

String StripTags(const String& Text) {
    String Rest = Text, Out;
    while (true) {
        size_t Lt = Rest.find(u'<'), Gt = Rest.find(u'>');
        if (Lt == String::npos || Gt == String::npos || Gt < Lt) break;
        Out.append(Rest, 0, Lt);
        Rest.erase(0, Gt + 1);
    }
    return Out + Rest;
}

String StripHTMLTags(const String& Text) {
    return StripTags(ReplaceAllIgnoreCase(ReplaceAllIgnoreCase(Text, u"<BR>", u"\r\n"), u"<HR>", u"\r\n"));
}

int VisibleToTaggedIndex(const String& Text, int N) {
    if (N < 1) return 0;
    if (N == 1) return 1;
    int Visible = 0;
    bool InTag = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        const Char C = Text[i];
        if (InTag) {
            InTag = C != u'>';
            continue;
        }
        if (C == u'<' && Text.find(u'>', i) != String::npos) {
            InTag = true;
            continue;
        }
        // The next character, text or tag, is where visible character N begins.
        if (++Visible == N - 1) return int(i) + 2;
    }
    return 0;
}

int FindTextFrom(const String& Find, const String& Text, int Offset, int& Position, bool CaseSensitive) {
    Position = 0;
    if (Find.empty() || Offset < 0 || size_t(Offset) > Text.size()) return 0;
    size_t P = CaseSensitive ? Text.find(Find, size_t(Offset))
                             : AnsiUpperCase(Text).find(AnsiUpperCase(Find), size_t(Offset));
    Position = P == String::npos ? 0 : int(P) + 1;
    return Position;
}

String InsertHilightTags(const String& Text, const String& Find, const String& Tag, bool CaseSensitive) {
    // An empty search text is found nowhere.
    if (Find.empty()) return Text;
    String Result = Text, F = Find;
    String Plain = StripTags(Result);
    if (Result.find(Find) != String::npos &&
        (Plain.find(u'<') != String::npos || Plain.find(u'>') != String::npos)) {
        Plain = ReplaceAll(ReplaceAll(Plain, u"<", u"&lt;"), u">", u"&gt;");
        Result = Plain;
        F = ReplaceAll(ReplaceAll(F, u"<", u"&lt;"), u">", u"&gt;");
    }
    const String Open = u"<" + Tag + u">", Close = u"</" + Tag + u">";
    int Offset = 0, Position = 0;
    while (FindTextFrom(F, Plain, Offset, Position, CaseSensitive) > 0) {
        const int P = Position;
        // The mark opens at the match's first character itself, so that it
        // never lands inside the previous match's mark ("aaa" gets three).
        int At = VisibleCharPosition(Result, P);
        if (At < 1) break;
        Result.insert(size_t(At - 1), Open);
        const int E = P + int(F.size());
        At = VisibleToTaggedIndex(Result, E);
        if (At < 1) break;
        Result.insert(size_t(At - 1), Close);
        Offset = E - 1;
    }
    return Result;
}

String RemoveHilightTags(const String& Text, const String& Tag) {
    String S = ReplaceAllIgnoreCase(Text, u"<" + Tag + u">", u"");
    S = ReplaceAllIgnoreCase(S, u"</" + Tag + u">", u"");
    return ReplaceAll(ReplaceAll(S, u"&lt;", u"<"), u"&gt;", u">");
}

bool HasControlTag(const String& Text) { return UpperCase(Text).find(u"<CONTROL") != String::npos; }

String NextControlID(const String& Text, const String& ID) {
    bool Passed = ID.empty();
    String Found;
    EachControl(Text, [&](const TControlAt& C) {
        if (!Passed) {
            Passed = C.Tag.ID == ID;
            return false;
        }
        const String& T = C.Tag.Type;
        if (T == u"BUTTON" || T == u"CHECK" || T == u"RADIO") return false;
        Found = C.Tag.ID;
        return true;
    });
    return Found;
}

bool GetControlValue(const String& Text, const String& ID, String& Value) {
    bool Found = false;
    EachControl(Text, [&](const TControlAt& C) {
        if (C.Tag.ID != ID) return false;
        Value = C.Tag.Value;
        Found = true;
        return true;
    });
    return Found;
}

String GetControlProp(const String& Text, const String& ID) {
    String Prop;
    EachControl(Text, [&](const TControlAt& C) {
        if (C.Tag.ID != ID) return false;
        Prop = C.Tag.Prop;
        return true;
    });
    return Prop;
}

int GetControlMaxLen(const String& Text, const String& ID) {
    int MaxLen = 0;
    EachControl(Text, [&](const TControlAt& C) {
        if (C.Tag.ID != ID) return false;
        MaxLen = C.Tag.MaxLen.empty() ? 0 : LeadingIntValue(C.Tag.MaxLen);
        return true;
    });
    return MaxLen;
}

bool SetControlValue(String& Text, const String& ID, const String& Value) {
    bool Found = false;
    EachControl(Text, [&](const TControlAt& C) {
        if (C.Tag.ID != ID) return false;
        const TControlTag& T = C.Tag;
        auto Q = [](const String& V) { return u"\"" + V + u"\""; };
        String Tag = u"<CONTROL ID=" + Q(T.ID) + u" VALUE=" + Q(EncodeHTMLEntities(Value, true)) + u" WIDTH=" +
                     Q(T.Width) + u" TYPE=" + Q(T.Type);
        if (!T.Prop.empty()) Tag += u" PROP=" + Q(EncodeHTMLEntities(T.Prop, true));
        if (!T.MaxLen.empty()) Tag += u" MAXLEN=" + Q(T.MaxLen);
        if (!T.Height.empty()) Tag += u" HEIGHT=" + Q(T.Height);
        Tag += u">";
        Text.replace(C.Start, C.End - C.Start, Tag);
        Found = true;
        return true;
    });
    return Found;
}

String ClearRadioControls(const String& Text) {
    std::vector<String> Radios;
    EachControl(Text, [&](const TControlAt& C) {
        if (C.Tag.Type == u"RADIO") Radios.push_back(C.Tag.ID);
        return false;
    });
    String S = Text;
    for (const String& ID : Radios) SetControlValue(S, ID, u"FALSE");
    return S;
}
