#include "grid/foundation/GridText.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string U8(const String& s) { return StringToUtf8(s); }

TEST(GridText, CellTextKinds) {
    struct Case {
        String text;
        bool markup;
        int kind;
    } cases[] = {
        {u"", true, 0},
        {u"x", true, 0},
        {u"=A1+1", false, 3},
        {u"a <B>b</B>", true, 1},
        {u"a <B>b", false, 0},
        {u"<b>lower</b>", true, 1},  // "</" alone makes it markup
        {u"<b>lower", true, 0},
        {u"<C>", true, 1},
        {u"{\\rtf1}", true, 2},
        {String(u"|\\") + Char(0) + u"=" + Char(0) + u"A", true, 3},  // wide "=A"
        {String(u"|\\") + Char(0) + u"=", true, 5},                   // wide "=" alone
        {u"|\\ab", false, 5},
    };
    for (const Case& c : cases) EXPECT_EQ(CellTextKind(c.text, c.markup), c.kind) << U8(c.text);
}

// The number and cell-text rules as plainly as they read, against the
// grid's own over random texts of digits, signs, separators and letters.
int ReferenceNumberKind(const String& S) {
    if (S.empty()) return 2;
    const Char thousand = GetThousandSeparatorChar(), decimal = GetDecimalSeparatorChar();
    bool isInt = true, isFloat = true, isSci = true, hasE = false;
    int lastThousand = -1, decimals = 0, minuses = 0;
    const int n = int(S.size());
    for (int i = 1; i <= n; ++i) {
        const Char c = S[size_t(i - 1)];
        const bool e = c == u'e' || c == u'E';
        if (!IsDigitOrMinus(c)) isInt = false;
        if (e) {
            if (hasE) isSci = false;
            hasE = true;
        }
        if (i > 1 && c == u'-') isInt = isFloat = false;
        if (i == 1 && e) isSci = false;
        if (i == n && (e || c == u'+' || c == u'-')) isSci = false;
        if (!IsDigitChar(c) && c != u'-' && c != thousand && c != decimal) isFloat = false;
        if (!IsNumberSignChar(c) || c == thousand) isSci = false;
        if (c == thousand) {
            if (lastThousand != -1 && i - lastThousand < 4) isFloat = false;
            lastThousand = i;
        }
        if (c == decimal) ++decimals;
        if (c == u'-') ++minuses;
    }
    int result = isInt ? 0 : (isSci && hasE ? 5 : (isFloat && !hasE ? 1 : 2));
    if (!isInt && isSci && hasE && minuses == 2) minuses = 1;
    if (minuses > 1 || decimals > 1) result = 2;
    return result;
}

int ReferenceTextKind(const String& S, bool Markup) {
    if (S.empty()) return 0;
    const String t = S + u' ';
    if (t[0] == u'=') return 3;
    if (t[0] == u'|' && t[1] == u'\\') return t.size() >= 5 && t[3] == u'=' && t[4] == 0 ? 3 : 5;
    if (t[0] == u'{' && t[1] == u'\\') return 2;
    if (!Markup) return 0;
    for (const char16_t* tag : {u"</", u"<B", u"<I", u"<C"})
        if (t.find(tag) != String::npos) return 1;
    return 0;
}

TEST(GridText, NumberAndTextKindsFollowTheirRulesOnRandomTexts) {
    std::mt19937 gen(11);
    const String chars = String(u"0123456789-+.,eE x<B/IC=|\\{") + Char(0) + u"\u0663\u00b2";
    for (const Char thousand : {u',', u'.', u'1'}) {
        TFormatSettings fs = FormatSettings();
        fs.ThousandSeparator = thousand;
        fs.DecimalSeparator = thousand == u'.' ? u',' : u'.';
        TFormatSettingsGuard guard(fs);
        for (int i = 0; i < 30000; ++i) {
            String s;
            for (int n = int(gen() % 9); n > 0; --n) s += chars[gen() % chars.size()];
            ASSERT_EQ(ClassifyNumberText(s), ReferenceNumberKind(s)) << U8(s);
            ASSERT_EQ(CellTextKind(s, i % 2 == 0), ReferenceTextKind(s, i % 2 == 0)) << U8(s);
        }
    }
}

TEST(GridText, ProperCase) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"mcdonald", u"McDonald"},   {u"old mcdonald", u"Old McDonald"}, {u"henry iii", u"Henry III"},
        {u"o'neil-smith", u"O'Neil-Smith"}, {u"JOHN SMITH", u"John Smith"}, {u"louis ii", u"Louis II"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(ToProperCase(c.in), c.out) << U8(c.in);
}

TEST(GridText, URLAnchors) {
    String dest = u"untouched";
    EXPECT_FALSE(MakeURLAnchor(u"no link here", u"HTTP://", dest));
    EXPECT_EQ(dest, u"untouched");
    ASSERT_TRUE(MakeURLAnchor(u"see http://a.example/x?q=1 <now>", u"HTTP://", dest));
    EXPECT_EQ(dest, u"see <a href=\"http://a.example/x\">http://a.example/x</a>?q=1 &lt;now&gt;");
    ASSERT_TRUE(MakeURLAnchor(u"Mail MAILTO:me@x.example", u"MAILTO:", dest));
    EXPECT_EQ(dest, u"Mail <a href=\"MAILTO:me@x.example\">MAILTO:me@x.example</a>");

    String s = u"http://a/b://c";
    StripURLProtocol(s);
    EXPECT_EQ(s, u"a/b://c");
    s = u"write mailto:me";
    StripURLProtocol(s);
    EXPECT_EQ(s, u"me");
    s = u"plain";
    StripURLProtocol(s);
    EXPECT_EQ(s, u"plain");
    EXPECT_TRUE(IsURLText(u"ftp://x"));
    EXPECT_FALSE(IsURLText(u"MAILTO:x"));
}

TEST(GridText, ShortDatesWithTwoDigitYears) {
    struct Case {
        const char16_t* text;
        bool dayFirst;
        int y, m, d;  // y 0: the value 0
    } cases[] = {
        {u"31.12.99", true, 1999, 12, 31},  {u"1/2/03", true, 2003, 2, 1},   {u"31/12/2023", true, 2023, 12, 31},
        {u"12-31-25", false, 2025, 12, 31}, {u"2/1/26", false, 1926, 2, 1},  {u"31-12", true, 0, 0, 0},
        {u"ab/1/2", true, 0, 0, 0},         {u"20240101", true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const TDateTime got = c.dayFirst ? ParseDateDMY(c.text) : ParseDateMDY(c.text);
        EXPECT_EQ(got, c.y ? EncodeDate(c.y, c.m, c.d) : 0.0) << U8(c.text);
    }
    EXPECT_THROW(ParseDateDMY(u"31/2/20"), EConvertError);

    EXPECT_TRUE(LooksLikeDate(u"1/2/3"));
    EXPECT_FALSE(LooksLikeDate(u"/1/2"));
    EXPECT_FALSE(LooksLikeDate(u"1//2"));
}

TEST(GridText, DateStepsCarryAcrossYearsAndHoldTheDay) {
    const TDateTime jan15 = EncodeDate(2020, 1, 15);
    struct Case {
        int years, months, days;
        TDateTime from, want;
    } cases[] = {
        {0, -1, 0, jan15, EncodeDate(2019, 12, 15)},
        {0, -2, 0, jan15, EncodeDate(2019, 11, 15)},
        {0, 13, 0, jan15, EncodeDate(2021, 2, 15)},
        {0, 1, 0, EncodeDate(2021, 1, 31), EncodeDate(2021, 2, 28)},
        {1, 0, 0, EncodeDate(2020, 2, 29), EncodeDate(2021, 2, 28)},
        {0, 0, 10, jan15, jan15 + 10},
        {0, 0, 0, jan15, jan15 + 2.5},  // none set: Delta
        {1, 1, 0, jan15, jan15 + 2.5},  // two set: Delta
    };
    for (const Case& c : cases)
        EXPECT_EQ(IncDateParts(c.years, c.months, c.days, c.from, 2.5), c.want) << c.years << " " << c.months;
}

TEST(GridText, PiecesAndLines) {
    String s = u"ab\r\ncd\r\nef", line;
    CutFirstLine(s, true, line);
    EXPECT_EQ(line, u"ab");
    EXPECT_EQ(s, u"cd\r\nef");
    CutFirstLine(s, false, line);
    EXPECT_EQ(line, u"cd");
    EXPECT_EQ(s, u"");
    s = u"single";
    CutFirstLine(s, true, line);
    EXPECT_EQ(line, u"single");
    EXPECT_EQ(s, u"");

    s = u"key=value=x";
    EXPECT_EQ(CutBeforeDelimiter(s, u"="), u"key");
    EXPECT_EQ(s, u"value=x");
    EXPECT_EQ(CutBeforeDelimiter(s, u";"), u"");
    EXPECT_EQ(s, u"value=x");

    EXPECT_EQ(CountTextLines(u"a\rb\r\nc", true), 3);
    EXPECT_EQ(CountTextLines(u"a\rb\r\nc", false), 1);
    String pw = u"secret";
    FillWithChar(pw, u'*');
    EXPECT_EQ(pw, u"******");
    TStringList lines;
    lines.Add(u"a");
    lines.Add(u"bc");
    EXPECT_EQ(ConcatStrings(lines), u"abc");

    int p = 7;
    EXPECT_EQ(VarCharPos(u'z', u"abc", p), 0);
    EXPECT_EQ(p, 7);
    EXPECT_EQ(VarCharPos(u'c', u"abc", p), 3);
    EXPECT_EQ(p, 3);
    EXPECT_EQ(VarPos(u"zz", u"abc", p), 0);
    EXPECT_EQ(p, 0);
    EXPECT_EQ(PosInUpperCase(u"BC", u"abc"), 2);
    EXPECT_EQ(CountChar(u'a', u"banana"), 3);
}

TEST(GridText, SizeLimitsAndReferences) {
    struct Case {
        int v, mn, mx, want;
    } cases[] = {{50, 0, 0, 50}, {50, 80, 200, 80}, {250, 80, 200, 200}, {250, 0, 200, 200},
                 {50, 80, 80, 50}, {5, -1, 3, 3}, {300, 400, 200, 200}};
    for (const Case& c : cases) EXPECT_EQ(ClampToSizeLimits(c.v, c.mn, c.mx), c.want) << c.v << " " << c.mn << " " << c.mx;

    TPoint pt{-1, -1};
    EXPECT_TRUE(ParseRowColReference(u"r12c3", pt));
    EXPECT_EQ(pt, Point(3, 12));
    for (const char16_t* bad : {u"R1C", u"X12C3", u"R12X3", u"RaC3", u"R1C2x"}) {
        pt = {-1, -1};
        EXPECT_FALSE(ParseRowColReference(bad, pt)) << U8(bad);
        EXPECT_EQ(pt, Point(-1, -1));
    }
}

TEST(GridText, LeadingIntegerReadsDigitsBeforeTheFault) {
    struct Case {
        const char16_t* text;
        int want;
    } cases[] = {{u"12", 12},   {u"  -7x", -7}, {u"0x10", 16}, {u"$fF", 255}, {u"9z9", 9},
                 {u"", 0},      {u"x1", 0},     {u"+3", 3},    {u"99999999999", 999999999}};
    for (const Case& c : cases) EXPECT_EQ(LeadingIntValue(c.text), c.want) << U8(c.text);
}

TEST(GridText, OemRoundTrip) {
    String s = u"Gr\u00FC\u00DFe \u00E9";
    String o = s;
    StringToOem(o);
    // The OEM bytes of u-umlaut (0x81) and sharp s (0xE1) as Windows-1252 characters.
    EXPECT_EQ(o[2], Char(0x81));
    EXPECT_EQ(o[3], Char(0xE1));
    OemToString(o);
    EXPECT_EQ(o, s);
}

TEST(GridText, SeparatorsFollowTheCurrentSettings) {
    TFormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.DateSeparator = u'.';
    TFormatSettingsGuard guard(fs);
    EXPECT_EQ(GetDecimalSeparatorChar(), u',');
    EXPECT_EQ(GetThousandSeparatorChar(), u'.');
    EXPECT_TRUE(LooksLikeDate(u"1.2.2003"));
}

}  // namespace

namespace {

TEST(GridTextNumbers, NumberCharacters) {
    for (Char c : {u'0', u'9', u'\u00B2', u'\u00BD', u'\u2163', u'\u0663'}) EXPECT_TRUE(IsDigitChar(c)) << int(c);
    for (Char c : {u'a', u'-', u'.', u' ', u'\u20AC'}) EXPECT_FALSE(IsDigitChar(c)) << int(c);
    EXPECT_TRUE(IsDigitOrMinus(u'-'));
    EXPECT_TRUE(IsNumberChar(u','));
    EXPECT_TRUE(IsNumberChar(u'E'));
    EXPECT_FALSE(IsNumberChar(u'+'));
    EXPECT_TRUE(IsNumberSignChar(u'+'));
    EXPECT_TRUE(IsFloatTextChar(u'+'));
    EXPECT_FALSE(IsFloatTextChar(u','));
}

TEST(GridTextNumbers, ClassifyAndConvertUnderTwoSeparatorSettings) {
    struct Case {
        const char16_t* text;
        int kind;
        const char16_t* parsable;
    };
    // "," thousands and "." decimal point.
    const Case english[] = {
        {u"-123", 0, u"-123"},   {u"-", 0, u"-"},         {u"12-3", 2, u"12-3"},    {u"+5", 2, u"5"},
        {u" 12", 2, u"12"},      {u"1.5E-3", 5, u"1.5E-3"}, {u"-1.5E-3", 5, u"-1.5E-3"}, {u"1E", 2, u"1E"},
        {u"E5", 2, u"E5"},       {u"1,234.5", 1, u"1234.5"}, {u"1,2,3", 2, u"123"},    {u"1.2.3", 2, u"1.2.3"},
        {u"", 2, u""},           {u" (1,234.50) ", 2, u"-1234.50"}, {u"$-5", 2, u"-5"}, {u"12 kg", 2, u"12"},
    };
    // "." thousands and "," decimal point.
    const Case german[] = {
        {u"1.234,5", 1, u"1234.5"}, {u"1,5", 1, u"1.5"}, {u"1.2.3", 2, u"123"}, {u"1,2,3", 2, u"1.2.3"},
        {u"(2,5)", 2, u"-2.5"},
    };
    for (const Case& c : english) {
        EXPECT_EQ(ClassifyNumberText(c.text), c.kind) << U8(c.text);
        EXPECT_EQ(DisplayToFloatText(c.text), c.parsable) << U8(c.text);
    }
    TFormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    TFormatSettingsGuard guard(fs);
    for (const Case& c : german) {
        EXPECT_EQ(ClassifyNumberText(c.text), c.kind) << U8(c.text);
        EXPECT_EQ(DisplayToFloatText(c.text), c.parsable) << U8(c.text);
    }
}

}  // namespace
