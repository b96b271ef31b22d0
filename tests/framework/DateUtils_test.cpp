#include "framework/DateUtils.h"

#include <gtest/gtest.h>

TEST(DateEncoding, DaysCountFromTheEndOf1899) {
    struct Case { Word y, m, d; double value; } cases[] = {
        {1899, 12, 30, 0},  {1899, 12, 31, 1},  {1900, 1, 1, 2},     {1899, 12, 29, -1},
        {2000, 2, 29, 36585}, {2024, 3, 1, 45352}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
        Word y, m, d;
        DecodeDate(c.value, y, m, d);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 1)), 6);  // a Friday
    EXPECT_EQ(DayOfWeek(0), 7);                      // a Saturday
    EXPECT_EQ(DayOfWeek(-1.25), 6);
}

TEST(DateEncoding, DatesAndTimesThatDoNotExistRaise) {
    struct Case { Word y, m, d; } bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
                                           {2024, 4, 31}, {0, 1, 1},     {10000, 1, 1}, {2024, 1, 0}};
    for (const auto& c : bad) {
        try {
            EncodeDate(c.y, c.m, c.d);
            ADD_FAILURE() << c.y << "-" << c.m << "-" << c.d;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), u"Invalid argument to date encode");
        }
    }
    TDateTime t = 5;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, t));
    EXPECT_EQ(t, 5);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(DateEncoding, TimeOfDayRoundsToTheMillisecond) {
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    Word h, m, s, ms;
    DecodeTime(EncodeTime(23, 59, 59, 999), h, m, s, ms);
    EXPECT_EQ((std::vector<int>{h, m, s, ms}), (std::vector<int>{23, 59, 59, 999}));
    DecodeTime(-1.25, h, m, s, ms);  // 29 December 1899, 6:00
    EXPECT_EQ(h, 6);
    TDateTime almostMidnight = EncodeDate(2024, 1, 1) + 0.999999999;  // 23:59:59.9999
    Word y, mo, d;
    DecodeDateTime(almostMidnight, y, mo, d, h, m, s, ms);
    EXPECT_EQ(d, 2);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), -2), EncodeDate(2023, 11, 30));
}

TEST(Clock, TestsFixNow) {
    TDateTime fixed = EncodeDateTime(2024, 3, 1, 14, 5, 9, 7);
    {
        TClockGuard guard(fixed);
        EXPECT_EQ(Now(), fixed);
        EXPECT_EQ(Date(), EncodeDate(2024, 3, 1));
        EXPECT_NEAR(Time(), EncodeTime(14, 5, 9, 7), 1e-9);
    }
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

TEST(FormatDateTimeTest, FormatLetters) {
    const TDateTime afternoon = EncodeDateTime(2024, 3, 1, 14, 5, 9, 7);
    const TDateTime morning = EncodeDateTime(2009, 11, 22, 0, 30, 0, 0);
    struct Case { const char16_t* fmt; TDateTime value; const char16_t* text; } cases[] = {
        {u"d/m/yy", afternoon, u"1/3/24"},
        {u"dd/mm/yyyy", afternoon, u"01/03/2024"},
        {u"yyyy-mm-dd hh:nn:ss.zzz", afternoon, u"2024-03-01 14:05:09.007"},
        {u"yyyymmdd_hhnnss", afternoon, u"20240301_140509"},
        {u"h:n:s z", afternoon, u"14:5:9 7"},
        {u"hh:mm", afternoon, u"14:05"},            // m after h is the minute
        {u"ddd dddd mmm mmmm", afternoon, u"Fri Friday Mar March"},
        {u"h:nn am/pm", afternoon, u"2:05 pm"},
        {u"h:nn AM/PM", morning, u"12:30 AM"},
        {u"hh a/p", afternoon, u"02 p"},
        {u"hh ampm", morning, u"12 AM"},
        {u"'Day' d \"of\" mmmm", morning, u"Day 22 of November"},
        {u"c", afternoon, u"01/03/2024 14:05:09"},
        {u"c", EncodeDate(2024, 3, 1), u"01/03/2024"},
        {u"", afternoon, u"01/03/2024 14:05:09"},
        {u"ddddd t", afternoon, u"01/03/2024 14:05"},
        {u"tt", morning, u"00:30:00"},
        {u"dddddd", afternoon, u"Friday, 1 March 2024"},
        {u"[yyyy]", afternoon, u"[2024]"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, c.value), c.text) << StringToUtf8(c.fmt);

    TFormatSettings de;
    de.DateSeparator = u'.';
    de.TimeSeparator = u'-';
    de.ShortDateFormat = u"dd/mm/yyyy";
    TFormatSettingsGuard guard(de);
    EXPECT_EQ(FormatDateTime(u"dd/mm/yyyy hh:nn", afternoon), u"01.03.2024 14-05");
    EXPECT_EQ(DateToStr(afternoon), u"01.03.2024");
    EXPECT_EQ(TimeToStr(afternoon), u"14-05-09");
}

TEST(DateReading, FollowsTheShortDateFormat) {
    TClockGuard clock(EncodeDate(2026, 6, 15));
    EXPECT_EQ(StrToDate(u"01/03/2024"), EncodeDate(2024, 3, 1));
    EXPECT_EQ(StrToDate(u"1/3"), EncodeDate(2026, 3, 1));
    EXPECT_EQ(StrToDate(u"1/3/30"), EncodeDate(2030, 3, 1));  // the century window
    EXPECT_EQ(StrToDate(u"1/3/80"), EncodeDate(1980, 3, 1));
    TDateTime v;
    for (const char16_t* bad : {u"31/2/2024", u"12/31/2020", u"1/2/3/4", u"x/1/2020", u"", u"2024"})
        EXPECT_FALSE(TryStrToDate(bad, v)) << StringToUtf8(bad);
    try {
        StrToDate(u"32/1/2024");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'32/1/2024' is not a valid date");
    }
    EXPECT_NEAR(StrToTime(u"14:05:09"), EncodeTime(14, 5, 9, 0), 1e-12);
    EXPECT_NEAR(StrToTime(u"2:05 PM"), EncodeTime(14, 5, 0, 0), 1e-12);
    EXPECT_NEAR(StrToTime(u"12:00 am"), 0, 1e-12);
    EXPECT_FALSE(TryStrToTime(u"24:00", v));
    EXPECT_NEAR(StrToDateTime(u"01/03/2024 14:05"), EncodeDateTime(2024, 3, 1, 14, 5, 0, 0), 1e-9);

    TFormatSettings us;
    us.ShortDateFormat = u"m/d/yyyy";
    TFormatSettingsGuard guard(us);
    EXPECT_EQ(StrToDate(u"12/31/2020"), EncodeDate(2020, 12, 31));
}
