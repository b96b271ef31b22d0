#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <unistd.h>

TEST(NumberRule, ReadsWholeNumbersAndGivesTheDefaultForAnythingElse) {
    struct Case { const char16_t* text; int expected; } cases[] = {
        {u"", -1},           {u" 12", 12},          {u"   7", 7},       {u"12 ", -1},
        {u"\t12", -1},       {u"$1F", 31},          {u"$1f", 31},       {u"0x1f", 31},
        {u"0X1F", 31},       {u"-5", -5},           {u"+5", 5},         {u"-$10", -16},
        {u"2147483647", 2147483647},                {u"2147483648", -1},
        {u"-2147483648", std::numeric_limits<int>::min()},              {u"-2147483649", -1},
        {u"$7FFFFFFF", 2147483647},                 {u"$80000000", -1}, {u"$FFFFFFFF", -1},
        {u"1.5", -1},        {u"abc", -1},          {u"$", -1},         {u"0x", -1},
        {u"- 5", -1},        {u"-", -1},            {u"+", -1},         {u"12a", -1},
        {u"007", 7},         {u"99999999999999999999", -1},             {u"1 2", -1},
        {u"x1F", 31},        {u"X1f", 31},          {u" x1F", 31},      {u"-x10", -16},
        {u"x", -1},          {u"xx1", -1},          {u"0xx1", -1},      {u"x1G", -1},
        {u"-0x10", -16},     {u"1e3", -1},          {u"0x100000000", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToIntDef(c.text, -1), c.expected) << StringToUtf8(c.text);
    EXPECT_EQ(StrToIntDef(u"x", 42), 42);
}

TEST(StrictInteger, RefusesBlanksAndRaisesWithTheTextInTheMessage) {
    EXPECT_EQ(StrToInt(u"-$1F"), -31);
    EXPECT_EQ(StrToInt(u"0x10"), 16);
    EXPECT_EQ(StrToInt64(u"9223372036854775807"), std::numeric_limits<Int64>::max());
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<Int64>::min());
    int v = 99;
    EXPECT_FALSE(TryStrToInt(u" 12", v));
    EXPECT_FALSE(TryStrToInt(u"2147483648", v));
    EXPECT_EQ(v, 99);
    Int64 w;
    EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", w));
    try {
        StrToInt(u"abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt64(u""), EConvertError);
}

TEST(IntegerText, WritesDecimalAndHexadecimal) {
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), u"-9223372036854775808");
    EXPECT_EQ(IntToStr(std::numeric_limits<UInt64>::max()), u"18446744073709551615");
    EXPECT_EQ(IntToStr(Byte(200)), u"200");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), u"1234");
    EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(Int64(-1), 2), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(Byte(10), 2), u"0A");
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    struct Case { double in; Int64 out; } cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},    {-0.5, 0},      {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {0.0, 0},     {1e15 + 0.5, 1000000000000000},
    };
    for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << c.in;
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
    EXPECT_DOUBLE_EQ(Frac(-2.25), -0.25);
    EXPECT_EQ(Floor(-2.5), -3);
    EXPECT_EQ(Ceil(2.1), 3);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Trunc(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST(Arithmetic, DivModTruncateAndMulDivRoundsLikeTheDesktopRoutine) {
    EXPECT_EQ(Div(-7, 2), -3);
    EXPECT_EQ(Mod(-7, 2), -1);
    EXPECT_EQ(Mod(7, -2), 1);
    EXPECT_THROW(Div(1, 0), EDivByZero);
    EXPECT_THROW(Mod(1, 0), EDivByZero);
    EXPECT_EQ(MulDiv(10, 3, 4), 8);     // 7.5 rounds up
    EXPECT_EQ(MulDiv(-10, 3, 4), -8);   // away from zero
    EXPECT_EQ(MulDiv(10, 3, -4), -8);
    EXPECT_EQ(MulDiv(7, 1, 2), 4);
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);  // 64-bit product
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);
}

TEST(OneBasedText, CopyDeleteInsertPosCountFromOne) {
    EXPECT_EQ(Pos(u"lo", u"hello"), 4);
    EXPECT_EQ(Pos(u"x", u"hello"), 0);
    EXPECT_EQ(Pos(u"", u"hello"), 0);
    EXPECT_EQ(Pos(u'h', u"hello"), 1);
    EXPECT_EQ(PosEx(u"l", u"hello", 4), 4);
    EXPECT_EQ(PosEx(u"l", u"hello", 5), 0);
    EXPECT_EQ(PosEx(u"h", u"hello", 0), 0);
    EXPECT_EQ(PosEx(u"o", u"hello", 6), 0);

    struct CopyCase { int index, count; const char16_t* out; } copies[] = {
        {1, 2, u"he"}, {0, 2, u"he"}, {-5, 3, u"hel"}, {4, 10, u"lo"}, {5, 1, u"o"},
        {6, 1, u""},   {2, 0, u""},   {2, -1, u""},
    };
    for (const auto& c : copies) EXPECT_EQ(Copy(u"hello", c.index, c.count), c.out) << c.index << "," << c.count;
    EXPECT_EQ(Copy(u"hello", 3), u"llo");

    struct DeleteCase { int index, count; const char16_t* out; } deletes[] = {
        {1, 1, u"ello"}, {4, 10, u"hel"}, {0, 2, u"hello"}, {6, 1, u"hello"}, {2, 0, u"hello"},
    };
    for (const auto& c : deletes) {
        String s = u"hello";
        Delete(s, c.index, c.count);
        EXPECT_EQ(s, c.out) << c.index << "," << c.count;
    }
    struct InsertCase { int index; const char16_t* out; } inserts[] = {
        {1, u"XYabc"}, {0, u"XYabc"}, {2, u"aXYbc"}, {4, u"abcXY"}, {99, u"abcXY"},
    };
    for (const auto& c : inserts) {
        String s = u"abc";
        Insert(u"XY", s, c.index);
        EXPECT_EQ(s, c.out) << c.index;
    }
    EXPECT_EQ(LastDelimiter(u"/\\", u"a/b\\c.txt"), 4);
    EXPECT_TRUE(IsDelimiter(u",;", u"a;b", 2));
    EXPECT_FALSE(IsDelimiter(u",;", u"a;b", 4));
}

TEST(TextHelpers, TrimCaseReplaceQuote) {
    EXPECT_EQ(Trim(u"\t a b \r\n"), u"a b");
    EXPECT_EQ(TrimLeft(u"  a "), u"a ");
    EXPECT_EQ(TrimRight(u"  a \x01"), u"  a");
    EXPECT_EQ(UpperCase(u"abc\u00e9"), u"ABC\u00e9");
    EXPECT_EQ(LowerCase(u"ABC\u00c9"), u"abc\u00c9");
    EXPECT_EQ(AnsiUpperCase(u"\u00e9\u00ff\u0101\u0142\u03b1\u03c2\u0436\u0451\u00df"),
              u"\u00c9\u0178\u0100\u0141\u0391\u03a3\u0416\u0401\u00df");
    EXPECT_EQ(AnsiLowerCase(u"\u00c9\u0178\u0100\u0141\u0391\u0416\u0401"),
              u"\u00e9\u00ff\u0101\u0142\u03b1\u0436\u0451");
    EXPECT_TRUE(SameText(u"Abc", u"aBC"));
    EXPECT_FALSE(SameText(u"\u00e9", u"\u00c9"));
    EXPECT_TRUE(AnsiSameText(u"\u00e9t\u00e9", u"\u00c9T\u00c9"));
    EXPECT_LT(CompareText(u"abc", u"ABD"), 0);
    EXPECT_LT(AnsiCompareStr(u"a", u"A"), 0);
    EXPECT_LT(AnsiCompareStr(u"A", u"b"), 0);

    EXPECT_EQ(StringReplace(u"a.b.c", u".", u"::", rfReplaceAll), u"a::b::c");
    EXPECT_EQ(StringReplace(u"a.b.c", u".", u"", 0), u"ab.c");
    EXPECT_EQ(StringReplace(u"Hello hello", u"HELLO", u"x", rfReplaceAll | rfIgnoreCase), u"x x");
    EXPECT_EQ(StringReplace(u"aaa", u"aa", u"a", rfReplaceAll), u"aa");

    EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
    EXPECT_EQ(AnsiQuotedStr(u"a\"b", u'"'), u"\"a\"\"b\"");
    EXPECT_EQ(AnsiDequotedStr(u"\"a\"\"b\"", u'"'), u"a\"b");
    EXPECT_EQ(AnsiDequotedStr(u"plain", u'"'), u"plain");
    EXPECT_EQ(AnsiDequotedStr(u"\"unterminated", u'"'), u"\"unterminated");
    EXPECT_EQ(AnsiDequotedStr(u"\"\"", u'"'), u"");
    String rest = u"'x''y' tail";
    EXPECT_EQ(AnsiExtractQuotedStr(rest, u'\''), u"x'y");
    EXPECT_EQ(rest, u" tail");
    EXPECT_EQ(StringOfChar(u'-', 3), u"---");
}

TEST(TextHelpers, CommaTextFollowsTheStringListRules) {
    struct Case { const char16_t* text; std::vector<String> items; } cases[] = {
        {u"a,b,c", {u"a", u"b", u"c"}},
        {u"a b", {u"a", u"b"}},
        {u"\"a b\",c", {u"a b", u"c"}},
        {u"\"x\"\"y\"", {u"x\"y"}},
        {u"a,,b", {u"a", u"", u"b"}},
        {u"a,", {u"a", u""}},
        {u"  a , b  ", {u"a", u"b"}},
        {u"", {}},
        {u"\"unterminated", {u"unterminated"}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommaTextToStrings(c.text), c.items) << StringToUtf8(c.text);
    EXPECT_EQ(SplitDelimitedText(u"a b;c", u';', u'"', true), (std::vector<String>{u"a b", u"c"}));
    EXPECT_EQ(JoinDelimitedText({u"a b", u"c", u"", u"q\""}, u',', u'"', false), u"\"a b\",c,,\"q\"\"\"");
    EXPECT_EQ(JoinDelimitedText({u""}, u',', u'"', false), u"\"\"");
    EXPECT_EQ(SplitString(u"a;;b", u';'), (std::vector<String>{u"a", u"", u"b"}));
}

TEST(FloatText, ParsesWithTheDecimalSeparatorOfTheSettings) {
    EXPECT_DOUBLE_EQ(StrToFloat(u" 1.5 "), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(u"-1e3"), -1000);
    EXPECT_DOUBLE_EQ(StrToFloat(u".5"), 0.5);
    double v = 7;
    for (const char16_t* bad : {u"", u"1,5", u"1.5.0", u"e5", u"1e", u"abc", u"1 5", u"1.5x"})
        EXPECT_FALSE(TryStrToFloat(bad, v)) << StringToUtf8(bad);
    EXPECT_EQ(v, 7);
    try {
        StrToFloat(u"x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'x' is not a valid floating point value");
    }
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    TFormatSettingsGuard guard(comma);
    EXPECT_DOUBLE_EQ(StrToFloat(u"1,5"), 1.5);
    EXPECT_FALSE(TryStrToFloat(u"1.5", v));
    EXPECT_EQ(FloatToStr(1.5), u"1,5");
    EXPECT_EQ(Format(u"%.2n", {1234567.891}), u"1.234.567,89");
}

TEST(FloatText, WritesGeneralFixedAndPictureForms) {
    struct Case { double v; const char16_t* text; } general[] = {
        {0, u"0"},           {1, u"1"},          {0.1, u"0.1"},           {-1.5, u"-1.5"},
        {1e20, u"1E20"},     {1.5e-7, u"1.5E-7"}, {0.0001, u"0.0001"},    {0.00001, u"1E-5"},
        {123456789012345.0, u"123456789012345"}, {1234567890123456.0, u"1.23456789012346E15"},
        {1.0 / 3, u"0.333333333333333"},
    };
    for (const auto& c : general) EXPECT_EQ(FloatToStr(c.v), c.text) << c.v;
    EXPECT_EQ(FloatToStrF(3.14159, ffFixed, 15, 2), u"3.14");
    EXPECT_EQ(FloatToStrF(-1234.5, ffNumber, 15, 1), u"-1,234.5");
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2), u"1.235E+03");

    struct Pic { const char16_t* fmt; double v; const char16_t* text; } pictures[] = {
        {u"0.00", 3.14159, u"3.14"},    {u"0.00", -0.5, u"-0.50"},       {u"#,##0.0", 1234567.25, u"1,234,567.3"},
        {u"0", 2.5, u"3"},              {u"0", -3.5, u"-4"},                {u"#.##", 0.5, u".5"},
        {u"000", 7, u"007"},            {u"0.0#", 1.25, u"1.25"},         {u"0.0#", 1.2, u"1.2"},
        {u"0.0 'V'", 12.34, u"12.3 V"}, {u"0;(0);zero", -5, u"(5)"},     {u"0;(0);zero", 0, u"zero"},
        {u"0.00E+00", 12345, u"1.23E+04"}, {u"", 0.25, u"0.25"},        {u"0.00", -0.001, u"0.00"},
    };
    for (const auto& c : pictures) EXPECT_EQ(FormatFloat(c.fmt, c.v), c.text) << StringToUtf8(c.fmt) << " " << c.v;
}

TEST(FormatTest, FillsTheSpecifiers) {
    struct Case { String fmt; std::initializer_list<TVarRec> args; const char16_t* text; };
    const Case cases[] = {
        {u"%d", {42}, u"42"},
        {u"%5d|%-5d|", {42, 42}, u"   42|42   |"},
        {u"%05d", {-42}, u"-0042"},
        {u"%.8d", {123}, u"00000123"},
        {u"%s%.8d", {u"StartHTML:", 97}, u"StartHTML:00000097"},
        {u"%.3d", {-5}, u"-005"},
        {u"%u", {-1}, u"4294967295"},
        {u"%x %X %.4x", {255, 255, 10}, u"FF FF 000A"},
        {u"%x", {-1}, u"FFFFFFFF"},
        {u"#%.2x%.2x%.2x", {1, 171, 255}, u"#01ABFF"},
        {u"%s|%5s|%-5s|%.2s", {u"ab", u"ab", u"ab", u"abc"}, u"ab|   ab|ab   |ab"},
        {u"%s", {String(u"x")}, u"x"},
        {u"%s", {u'c'}, u"c"},
        {u"%.2f", {3.14159}, u"3.14"},
        {u"%.2f", {2.675}, u"2.67"},  // the double just below 2.675
        {u"%f", {1.0}, u"1.00"},
        {u"%.0f", {2.5}, u"3"},  // decimal halves go away from zero
        {u"%.1f", {-0.25}, u"-0.3"},
        {u"%8.3f|", {-1.5}, u"  -1.500|"},
        {u"%g", {0.1}, u"0.1"},
        {u"%g", {100.0}, u"100"},
        {u"%e", {1.0}, u"1.00000000000000E+000"},
        {u"%.3e", {-12345.678}, u"-1.23E+004"},
        {u"%n", {1234567.0}, u"1,234,567.00"},
        {u"100%%", {}, u"100%"},
        {u"%d is an invalid PageIndex value.  PageIndex must be between 0 and %d", {5, 3},
         u"5 is an invalid PageIndex value.  PageIndex must be between 0 and 3"},
        {u"padding-left: %dpx; padding-right: %0:dpx;", {4}, u"padding-left: 4px; padding-right: 4px;"},
        {u"%1:s-%0:s-%s", {u"a", u"b"}, u"b-a-b"},
        {u"%*d|%-*d|", {4, 7, 3, 7}, u"   7|7  |"},
        {u"%d %d", {Int64(1) << 40, 7u}, u"1099511627776 7"},
        {u" (Error: %d) ", {5}, u" (Error: 5) "},
    };
    for (const auto& c : cases) EXPECT_EQ(Format(c.fmt, c.args), c.text) << StringToUtf8(c.fmt);
}

TEST(FormatTest, MismatchedOrMissingArgumentsRaise) {
    for (const auto& fmt : {u"%d", u"%s %s", u"%q", u"%", u"%5"}) {
        try {
            Format(fmt, {u"x"});
            ADD_FAILURE() << StringToUtf8(fmt);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), u"Format '" + String(fmt) + u"' invalid or incompatible with argument");
        }
    }
    EXPECT_THROW(Format(u"%s", {5}), EConvertError);
}

TEST(FormatSettingsTest, GuardReplacesAndRestores) {
    EXPECT_EQ(FormatSettings().DecimalSeparator, u'.');
    {
        TFormatSettings s;
        s.DateSeparator = u'.';
        TFormatSettingsGuard guard(s);
        EXPECT_EQ(FormatSettings().DateSeparator, u'.');
    }
    EXPECT_EQ(FormatSettings().DateSeparator, u'/');
    EXPECT_EQ(FormatSettings().ShortDateFormat, u"dd/mm/yyyy");
    EXPECT_THROW(Abort(), EAbort);
}

TEST(NumberRule, BareXPrefixReadsHexadecimalInEveryReader) {
    EXPECT_EQ(StrToInt64Def(u"x7FFFFFFFFF", -1), 0x7FFFFFFFFF);
    EXPECT_EQ(StrToInt(u"x1F"), 31);
    Int64 v = 0;
    EXPECT_TRUE(TryStrToInt64(u"X10", v));
    EXPECT_EQ(v, 16);
}

TEST(CharIsNumber, TakesTheThreeNumberCategories) {
    struct Case { Char c; bool number; } cases[] = {
        {u'0', true},   {u'9', true},   {u'\u0663', true},  // Arabic-Indic three (Nd)
        {u'\u2167', true},                                  // Roman numeral eight (Nl)
        {u'\u00B2', true}, {u'\u00BD', true},               // superscript two, one half (No)
        {u'a', false},  {u'-', false},  {u'.', false},  {u' ', false}, {u'\u00AA', false},
    };
    for (const auto& c : cases) EXPECT_EQ(CharIsNumber(c.c), c.number) << int(c.c);
}

TEST(Assert, RaisesInEveryBuildNamingFileAndLine) {
    EXPECT_NO_THROW(Assert(true));
    try {
        Assert(false, u"Rows out of step");
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        const std::string text = StringToUtf8(e.Message());
        EXPECT_EQ(text.rfind("Rows out of step (", 0), 0u) << text;
        EXPECT_NE(text.find("SysUtils_test.cpp, line "), std::string::npos) << text;
    }
}

TEST(SystemProbes, ProcessIdAndMeasurementSystem) {
    EXPECT_EQ(GetCurrentProcessId(), static_cast<Cardinal>(::getpid()));
    EXPECT_EQ(LocaleMeasurementSystem(u"en_US"), 1);
    EXPECT_EQ(LocaleMeasurementSystem(u"de_DE"), 0);
    EXPECT_EQ(LocaleMeasurementSystem(u"en_GB"), 0);
    const int user = LocaleMeasurementSystem();
    EXPECT_TRUE(user == 0 || user == 1);
}
