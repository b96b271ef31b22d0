#include "grid/foundation/Markup.h"

#include "framework/SysUtils.h"
#include "grid/foundation/GridText.h"

#include <climits>

const std::array<TAccentedEntity, 55> AccentedEntities = {{
    {0xE9, u"&eacute;"}, {0xE8, u"&egrave;"}, {0xEB, u"&euml;"},  {0xEA, u"&ecirc;"},  {0xF3, u"&oacute;"},
    {0xF2, u"&ograve;"}, {0xF6, u"&ouml;"},   {0xF4, u"&ocirc;"}, {0xED, u"&iacute;"}, {0xEC, u"&igrave;"},
    {0xEF, u"&iuml;"},   {0xEE, u"&icirc;"},  {0xFA, u"&uacute;"}, {0xF9, u"&ugrave;"}, {0xFC, u"&uuml;"},
    {0xFB, u"&ucirc;"},  {0xE1, u"&aacute;"}, {0xE0, u"&agrave;"}, {0xE4, u"&auml;"},  {0xE2, u"&acirc;"},
    {0xC9, u"&Eacute;"}, {0xC8, u"&Egrave;"}, {0xCB, u"&Euml;"},  {0xCA, u"&Ecirc;"},  {0xD3, u"&Oacute;"},
    {0xD2, u"&Ograve;"}, {0xD6, u"&Ouml;"},   {0xD4, u"&Ocirc;"}, {0xCD, u"&Iacute;"}, {0xCC, u"&Igrave;"},
    {0xCF, u"&Iuml;"},   {0xCE, u"&Icirc;"},  {0xDA, u"&Uacute;"}, {0xD9, u"&Ugrave;"}, {0xDC, u"&Uuml;"},
    {0xDB, u"&Ucirc;"},  {0xC1, u"&Aacute;"}, {0xC0, u"&Agrave;"}, {0xC4, u"&Auml;"},  {0xC2, u"&Acirc;"},
    {0xE7, u"&ccedil;"}, {0xC7, u"&Ccedil;"}, {0xF8, u"&oslash;"}, {0xD8, u"&Oslash;"}, {0xE5, u"&aring;"},
    {0xC5, u"&Aring;"},  {0xA9, u"&copy;"},   {0xAE, u"&reg;"},   {0x20AC, u"&euro;"}, {0xAB, u"&laquo;"},
    {0xBB, u"&raquo;"},  {0xE3, u"&atilde;"}, {0xC3, u"&Atilde;"}, {0xF5, u"&otilde;"}, {0xD5, u"&Otilde;"},
}};

TColor HiLightBkColor = clHighlight;
TColor HiLightTextColor = clHighlightText;

namespace {

struct TNamedColor {
    const char16_t* Name;
    TColor Color;
};

const TNamedColor HTMLColors[] = {
    {u"clred", RGB(255, 0, 0)},       {u"clblack", RGB(0, 0, 0)},        {u"clblue", RGB(0, 0, 255)},
    {u"clgreen", RGB(0, 128, 0)},     {u"claqua", RGB(0, 255, 255)},     {u"clyellow", RGB(255, 255, 0)},
    {u"clfuchsia", RGB(255, 0, 255)}, {u"clwhite", RGB(255, 255, 255)},  {u"cllime", RGB(0, 255, 0)},
    {u"clsilver", RGB(192, 192, 192)}, {u"clgray", RGB(128, 128, 128)}, {u"clolive", RGB(128, 128, 0)},
    {u"clnavy", RGB(0, 0, 128)},      {u"clpurple", RGB(128, 0, 128)},   {u"clteal", RGB(0, 128, 128)},
    {u"clmaroon", RGB(128, 0, 0)},
    {u"clbackground", clBackground},   {u"clactivecaption", clActiveCaption},
    {u"clinactivecaption", clInactiveCaption}, {u"clmenu", clMenu}, {u"clwindow", clWindow},
    {u"clwindowframe", clWindowFrame}, {u"clmenutext", clMenuText}, {u"clwindowtext", clWindowText},
    {u"clcaptiontext", clCaptionText}, {u"clactiveborder", clActiveBorder},
    {u"clinactiveborder", clInactiveBorder}, {u"clappworkspace", clAppWorkSpace},
    {u"clhighlight", clHighlight},     {u"clhighlighttext", clHighlightText}, {u"clbtnface", clBtnFace},
    {u"clbtnshadow", clBtnShadow},     {u"clgraytext", clGrayText},       {u"clbtntext", clBtnText},
    {u"clinactivecaptiontext", clInactiveCaptionText}, {u"clbtnhighlight", clBtnHighlight},
    {u"cl3ddkshadow", cl3DDkShadow},   {u"cl3dlight", cl3DLight},         {u"clinfotext", clInfoText},
    {u"clinfobk", clInfoBk},
};

struct TBasicEntity {
    const char16_t* Entity;
    Char Character;
};

const TBasicEntity BasicEntities[] = {{u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}};

bool StartsAt(const String& Text, size_t Pos, const char16_t* Sub) {
    String S(Sub);
    return Text.compare(Pos, S.size(), S) == 0;
}

int HexDigit(Char C) {
    if (C >= u'0' && C <= u'9') return C - u'0';
    if (C >= u'A' && C <= u'F') return C - u'A' + 10;
    return 0;
}

}  // namespace

TColor HTMLColorNameToColor(const String& Name) {
    for (const TNamedColor& C : HTMLColors)
        if (Name == C.Name) return C.Color;
    return 0;
}

int HexPairToByte(const String& Pair) {
    if (Pair.size() < 2) return 0;
    return 16 * HexDigit(Pair[0]) + HexDigit(Pair[1]);
}

TColor HTMLHexToColor(const String& Text) {
    auto Pair = [&](size_t From) { return From < Text.size() ? HexPairToByte(Text.substr(From, 2)) : 0; };
    return RGB(Pair(1), Pair(3), Pair(5));
}

int PosIgnoreCase(const String& Sub, const String& Text) {
    size_t P = UpperCase(Text).find(UpperCase(Sub));
    return P == String::npos ? 0 : int(P) + 1;
}

bool ReplaceFirstIgnoreCase(const String& Find, const String& Replacement, String& Text) {
    int P = PosIgnoreCase(Find, Text);
    if (P == 0) return false;
    Text.replace(size_t(P - 1), Find.size(), Replacement);
    return true;
}

String DecodeHTMLEntities(const String& Text, bool WithAccents) {
    String Out;
    Out.reserve(Text.size());
    for (size_t i = 0; i < Text.size();) {
        bool Done = false;
        if (Text[i] == u'&') {
            for (const TBasicEntity& E : BasicEntities)
                if (StartsAt(Text, i, E.Entity)) {
                    Out += E.Character;
                    i += String(E.Entity).size();
                    Done = true;
                    break;
                }
            if (!Done && WithAccents)
                for (const TAccentedEntity& E : AccentedEntities)
                    if (StartsAt(Text, i, E.Entity)) {
                        Out += E.Character;
                        i += String(E.Entity).size();
                        Done = true;
                        break;
                    }
        }
        if (!Done) Out += Text[i++];
    }
    return Out;
}

String EncodeHTMLEntities(const String& Text, bool WithAccents) {
    String Out;
    Out.reserve(Text.size());
    for (Char C : Text) {
        switch (C) {
            case u'&': Out += u"&amp;"; continue;
            case u'"': Out += u"&quot;"; continue;
            case u'<': Out += u"&lt;"; continue;
            case u'>': Out += u"&gt;"; continue;
            default: break;
        }
        bool Done = false;
        if (WithAccents)
            for (const TAccentedEntity& E : AccentedEntities)
                if (E.Character == C) {
                    Out += E.Entity;
                    Done = true;
                    break;
                }
        if (!Done) Out += C;
    }
    return Out;
}

String SpacesToNbsp(const String& Text) {
    String Out;
    for (Char C : Text) {
        if (C == u' ')
            Out += u"&nbsp;";
        else
            Out += C;
    }
    return Out;
}

String LineBreaksToBR(const String& Text, bool WithBR) {
    String Out;
    for (Char C : Text) {
        if (C == u'\n') continue;
        if (C == u'\r') {
            if (WithBR) Out += u"<BR>";
            continue;
        }
        Out += C;
    }
    return Out;
}

String StripTemplateMarkers(const String& Text) {
    String S = Text;
    size_t P;
    size_t From = 0;
    while ((P = S.find(u"<#", From)) != String::npos) {
        S.erase(P, 1);
        size_t Close = S.find(u'>', P);
        if (Close != String::npos) S.erase(Close, 1);
        From = P;
    }
    return S;
}

String MarkupTagAttribute(const String& Tag, const String& Name, int From) {
    if (From < 1) From = 1;
    if (size_t(From - 1) > Tag.size()) return String();
    size_t P = Tag.find(Name, size_t(From - 1));
    if (P == String::npos) return String();
    size_t Q1 = Tag.find(u'"', P + Name.size());
    if (Q1 == String::npos) return String();
    size_t Q2 = Tag.find(u'"', Q1 + 1);
    if (Q2 == String::npos) return Tag.substr(Q1 + 1);
    return Tag.substr(Q1 + 1, Q2 - Q1 - 1);
}

bool MarkupValidInt(const String& Text, int& Value) {
    const int Bad = INT_MIN;
    int V = StrToIntDef(Text, Bad);
    if (V == Bad) return false;
    Value = V;
    return true;
}

TControlTag ParseControlTag(const String& TagText) {
    const String Upper = UpperCase(TagText);
    auto Value = [&](const char16_t* Name) {
        size_t P = Upper.find(Name);
        if (P == String::npos) return String();
        size_t Q1 = TagText.find(u'"', P);
        if (Q1 == String::npos) return String();
        size_t Q2 = TagText.find(u'"', Q1 + 1);
        if (Q2 == String::npos) return String();
        return TagText.substr(Q1 + 1, Q2 - Q1 - 1);
    };
    TControlTag T;
    T.Type = UpperCase(Value(u"TYPE="));
    T.ID = Value(u"ID=");
    T.MaxLen = Value(u"MAXLEN=");
    T.Prop = DecodeHTMLEntities(Value(u"PROP="), true);
    T.Height = Value(u"HEIGHT=");
    T.Width = Value(u"WIDTH=");
    T.Value = DecodeHTMLEntities(Value(u"VALUE="), true);
    return T;
}
