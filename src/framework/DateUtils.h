#pragma once
// Dates and times as the original kept them: a TDateTime is a day count
// since 30 December 1899 with the time of day as its fraction (0.5 = noon).
// "Now" comes from one clock that tests can fix.

#include "framework/SysUtils.h"

#include <functional>

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = 24 * 60 * 60 * 1000;

bool IsLeapYear(Word year);
// Days of the month (1..12) of the year; 0 for a month outside 1..12.
Word DaysInAMonth(Word year, Word month);

// Years 1..9999. A date that does not exist raises EConvertError
// "Invalid argument to date encode"; a time outside 0:00:00.000..23:59:59.999
// raises EConvertError "Invalid argument to time encode".
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);

// The value is first rounded to the millisecond (23:59:59.9996 is the next
// day). The time of a negative value is its fraction's magnitude
// (-1.25 is 29 December 1899, 6:00).
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);
Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);

TDateTime IncDay(TDateTime value, int days = 1);
// The same day Months later, clamped to the end of a shorter month
// (31 January + 1 month = 28/29 February); the time is kept.
TDateTime IncMonth(TDateTime value, int months = 1);
TDateTime DateOf(TDateTime value);  // midnight of the day
TDateTime TimeOf(TDateTime value);  // the time of day alone

// The current local date and time, from the clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Replaces the clock Now/Date/Time read; an empty function restores the
// system clock.
using TClock = std::function<TDateTime()>;
void SetClockForTest(TClock clock);

// Fixes "now" for the lifetime of the guard.
class TClockGuard {
public:
    explicit TClockGuard(TDateTime fixedNow);
    explicit TClockGuard(TClock clock);
    ~TClockGuard();
    TClockGuard(const TClockGuard&) = delete;
    TClockGuard& operator=(const TClockGuard&) = delete;
};

// Format letters (case does not matter, repeated letters are counted):
//   c          ShortDateFormat, then " " and LongTimeFormat unless midnight
//   d dd       day without / with leading zero; ddd dddd short / long day name
//   ddddd      ShortDateFormat; dddddd LongDateFormat
//   m mm       month (minutes right after an h or hh); mmm mmmm month names
//   y yy       two-digit year; yyy yyyy four digits
//   h hh       hour (12-hour when am/pm, a/p or ampm follows before the next h)
//   n nn       minute; s ss second; z zz zzz milliseconds (at least 1, 2, 3 digits)
//   t tt       ShortTimeFormat / LongTimeFormat
//   am/pm a/p  "am"/"pm" or "a"/"p" in the case written; ampm TimeAMString/TimePMString
//   /  :       DateSeparator / TimeSeparator
//   "x" 'x'    literal text; any other character is copied
// An empty format means "c".
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);      // "ddddd"
String TimeToStr(TDateTime value);      // "tt"
String DateTimeToStr(TDateTime value);  // "c"

// Reading by the settings: a date is two or three whole numbers separated
// by DateSeparator in the order of ShortDateFormat (two numbers: day and
// month of the current year; a year below 100 falls into the century
// window); a time is hour:minute[:second[.msec]] with an optional AM/PM.
// StrToDate raises EConvertError "'<text>' is not a valid date",
// StrToTime "'<text>' is not a valid time", StrToDateTime
// "'<text>' is not a valid date and time".
bool TryStrToDate(const String& text, TDateTime& value);
bool TryStrToTime(const String& text, TDateTime& value);
bool TryStrToDateTime(const String& text, TDateTime& value);
TDateTime StrToDate(const String& text);
TDateTime StrToTime(const String& text);
TDateTime StrToDateTime(const String& text);
