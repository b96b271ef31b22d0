#include "grid/foundation/FilterMatch.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TCase {
    const char16_t* Condition;
    const char16_t* Value;
    bool Expected;
};

void Check(const TCase* Cases, size_t Count, bool CaseSensitive = true) {
    for (size_t i = 0; i < Count; ++i)
        EXPECT_EQ(MatchFilterExpression(Cases[i].Condition, Cases[i].Value, CaseSensitive), Cases[i].Expected)
            << "case " << i;
}

TEST(FilterMatch, ExpressionsWithPointDecimalsAndDayFirstDates) {
    const TCase Cases[] = {
        {u">5", u"7", true},           {u">5", u"3", false},          {u">5", u"", false},
        {u">=5", u"5.0", true},        {u">10", u"9", false},         {u">10", u"9a", true},
        {u">1,000", u"999", false},    {u"<=1,000.5", u"1000.5", true},
        {u"<>5", u"7", true},          {u"<>5", u"5", true},          // no not-equal test
        {u"A*", u"ABC", true},         {u"A*", u"A", true},           {u"A*", u"BA", false},
        {u"?B", u"AB", true},          {u"?B", u"B", false},          {u"!A*", u"BA", true},
        {u"!A*", u"AB", false},        {u"", u"", true},              {u"", u"x", false},
        {u"=", u"", true},             {u"=", u"x", false},           {u"= A*", u"Ax", true},
        {u"(A*|B*)&*1", u"A1", true},  {u"(A*|B*)&*1", u"B1", true},  {u"(A*|B*)&*1", u"C1", false},
        {u"A*|B*&*1", u"B2", false},   {u"A*|B*&*1", u"A1", true},    {u"A*;B*", u"B", true},
        {u"A*^B*", u"C", false},       {u"\"a|b\"", u"a|b", true},    {u"*x*y", u"axbxy", true},
        {u">1/2/2020", u"10/1/2020", false},  // dates, though the text is greater
        {u">1/1/2020", u"2/1/2020", true},    {u"<=31/12/2020 & >=1/1/2020", u"5/6/2020", true},
        {u"<=31/12/2020 & >=1/1/2020", u"5/6/2021", false},
        {u">1/1/2020", u"12/31/2020", true},  // not a date here: compared as text
        {u"(A*|B*", u"B1", true},      {u"(A*", u"C", false},         {u"((A*)", u"A", true},
    };
    Check(Cases, std::size(Cases));
    EXPECT_TRUE(MatchFilterExpression(u"abc", u"ABC", false));
    EXPECT_FALSE(MatchFilterExpression(u"abc", u"ABC", true));
}

TEST(FilterMatch, ExpressionsWithCommaDecimalsAndDottedDates) {
    TFormatSettings S = FormatSettings();
    S.DecimalSeparator = u',';
    S.ThousandSeparator = u'.';
    S.DateSeparator = u'-';
    S.ShortDateFormat = u"mm-dd-yyyy";
    TFormatSettingsGuard Guard(S);
    const TCase Cases[] = {
        {u">=5", u"5,0", true},       {u">1.000", u"999", false},  {u"<2,5", u"2,25", true},
        {u">2-1-2020", u"1-10-2020", false},  {u">1-2-2020", u"1-10-2020", true},
        {u">1-1-2020", u"31-12-2020", true},  // month 31: text
    };
    Check(Cases, std::size(Cases));
}

TEST(FilterMatch, QuotedOperands) {
    // '>' keeps a quoted blank in its operand, '<' ends the operand at it.
    EXPECT_TRUE(MatchCondition(u">\"a b\"", u"a c"));
    EXPECT_FALSE(MatchCondition(u">\"a b\"", u"a a"));
    EXPECT_TRUE(MatchCondition(u"<\"a b\"", u"Z"));    // "Z" < "a"
    EXPECT_FALSE(MatchCondition(u"<\"a b\"", u"a "));  // "a " is not below "a"
}

TEST(FilterMatch, DatesByTheShortFormat) {
    TDateTime D = 0;
    EXPECT_TRUE(ParseDateByFormat(u"31/12/2020 10:30", D));
    EXPECT_EQ(D, EncodeDateTime(2020, 12, 31, 10, 30, 0, 0));
    EXPECT_TRUE(ParseDateByFormat(u"1/2/03", D));
    EXPECT_EQ(D, EncodeDate(3, 2, 1));
    EXPECT_TRUE(ParseDateByFormat(u"1/2/2020 7:05:09", D));
    EXPECT_EQ(D, EncodeDateTime(2020, 2, 1, 7, 5, 9, 0));
    for (const char16_t* Bad : {u"31/12/2020 10", u"31/12/2020 24:00", u"30/02/2020", u"12/31/2020", u"1/1",
                                u"a/1/2020", u"0/1/2020", u"1/1/0", u"1/1/2020 10:60", u""})
        EXPECT_FALSE(ParseDateByFormat(Bad, D)) << String(Bad).size();
    EXPECT_EQ(MatchingParenPos(u"(a(b)c)d"), 7);
    EXPECT_EQ(MatchingParenPos(u"(a"), 0);
    EXPECT_EQ(StripUnquotedSpaces(u" a \" b \" c"), u"a\" b \"c");
    int P = 0;
    EXPECT_EQ(FindNextDelimiter({u'&', u'|'}, u"\"a&b\"|c", P), u'|');
    EXPECT_EQ(P, 6);
    EXPECT_EQ(FindNextDelimiter({u'&'}, u"abc", P), 0);
    EXPECT_EQ(P, -1);
}

// A prepared expression answers as the evaluator for every condition:
// random conditions of pattern characters, operators, quotes, groups and
// negations against random texts, with and without case.
TEST(FilterMatch, PreparedExpressionsAnswerAsTheEvaluator) {
    std::mt19937 gen(5);
    const String patternChars = u"aAb7*?*!\"<>=&|;^() .\u00e9\u00c9";
    const String valueChars = u"aAb7 .x\u00e9\u00c9*?";
    auto draw = [&](const String& From, int Max) {
        String s;
        for (int n = int(gen() % unsigned(Max + 1)); n > 0; --n) s += From[gen() % From.size()];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const String condition = draw(patternChars, 6);
        const bool caseSensitive = gen() % 2 == 0;
        const TFilterExpression prepared(condition, caseSensitive);
        for (int k = 0; k < 4; ++k) {
            const String value = draw(valueChars, 7);
            ASSERT_EQ(prepared.Match(value), MatchFilterExpression(condition, value, caseSensitive))
                << StringToUtf8(condition) << " / " << StringToUtf8(value) << " / " << caseSensitive;
        }
    }
}

}  // namespace
