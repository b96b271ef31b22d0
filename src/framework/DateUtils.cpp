#include "framework/DateUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace {
// Day number of a civil date counted from 1 January 1970 (proleptic Gregorian).
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const Int64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<Int64>(doe) - 719468;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d) {
    z += 719468;
    const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<Int64>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// 30 December 1899 counted from 1 January 1970.
constexpr Int64 kEpochOffset = -25569;

// The value split into whole days and milliseconds of the day.
void SplitValue(TDateTime value, Int64& days, Int64& msOfDay) {
    Int64 ms = Round(value * MSecsPerDay);
    days = ms / MSecsPerDay;
    msOfDay = (ms < 0 ? -ms : ms) % MSecsPerDay;
}

std::mutex clockMutex;
TClock& TestClock() {
    static TClock clock;
    return clock;
}

TDateTime SystemNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    if (ms < 0) ms += 1000;
    return EncodeDate(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                      static_cast<Word>(local.tm_mday)) +
           EncodeTime(static_cast<Word>(local.tm_hour), static_cast<Word>(local.tm_min),
                      static_cast<Word>(std::min(local.tm_sec, 59)), static_cast<Word>(ms));
}
}  // namespace

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) {
    static constexpr Word kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
    if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
    time = (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
    TDateTime d = EncodeDate(year, month, day);
    TDateTime t = EncodeTime(hour, min, sec, msec);
    // The time of a day before 1899 counts away from zero as well.
    return d < 0 ? d - t : d + t;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
    Int64 days, ms;
    SplitValue(date, days, ms);
    Int64 y;
    unsigned m, d;
    CivilFromDays(days + kEpochOffset, y, m, d);
    if (y < 1 || y > 9999) {
        year = month = day = 0;
        return;
    }
    year = static_cast<Word>(y);
    month = static_cast<Word>(m);
    day = static_cast<Word>(d);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
    Int64 days, ms;
    SplitValue(time, days, ms);
    hour = static_cast<Word>(ms / 3600000);
    min = static_cast<Word>(ms / 60000 % 60);
    sec = static_cast<Word>(ms / 1000 % 60);
    msec = static_cast<Word>(ms % 1000);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, min, sec, msec);
}

int DayOfWeek(TDateTime date) {
    Int64 days, ms;
    SplitValue(date, days, ms);
    // Day 0, 30 December 1899, was a Saturday.
    Int64 r = (days + 6) % 7;
    if (r < 0) r += 7;
    return static_cast<int>(r) + 1;
}

Word YearOf(TDateTime value) {
    Word y, m, d;
    DecodeDate(value, y, m, d);
    return y;
}

Word MonthOf(TDateTime value) {
    Word y, m, d;
    DecodeDate(value, y, m, d);
    return m;
}

Word DayOf(TDateTime value) {
    Word y, m, d;
    DecodeDate(value, y, m, d);
    return d;
}

TDateTime IncDay(TDateTime value, int days) { return value + days; }

TDateTime IncMonth(TDateTime value, int months) {
    Word y, m, d;
    DecodeDate(value, y, m, d);
    int total = y * 12 + (m - 1) + months;
    Word ny = static_cast<Word>(total / 12), nm = static_cast<Word>(total % 12 + 1);
    Word nd = std::min(d, DaysInAMonth(ny, nm));
    return EncodeDate(ny, nm, nd) + (value - std::trunc(value));
}

TDateTime DateOf(TDateTime value) {
    Int64 days, ms;
    SplitValue(value, days, ms);
    return static_cast<double>(days);
}

TDateTime TimeOf(TDateTime value) {
    Int64 days, ms;
    SplitValue(value, days, ms);
    return static_cast<double>(ms) / MSecsPerDay;
}

TDateTime Now() {
    TClock clock;
    {
        std::lock_guard<std::mutex> lock(clockMutex);
        clock = TestClock();
    }
    return clock ? clock() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

void SetClockForTest(TClock clock) {
    std::lock_guard<std::mutex> lock(clockMutex);
    TestClock() = std::move(clock);
}

TClockGuard::TClockGuard(TDateTime fixedNow) { SetClockForTest([fixedNow] { return fixedNow; }); }
TClockGuard::TClockGuard(TClock clock) { SetClockForTest(std::move(clock)); }
TClockGuard::~TClockGuard() { SetClockForTest(nullptr); }

// ---------------------------------------------------------------------------
// FormatDateTime
// ---------------------------------------------------------------------------

namespace {
struct TDateParts {
    Word year, month, day, hour, min, sec, msec;
    int dayOfWeek;
};

Char Upper(Char c) { return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c; }

bool StartsWithNoCase(const String& s, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= s.size() || Upper(s[at + k]) != Upper(static_cast<Char>(word[k]))) return false;
    return true;
}

void AppendNumber(String& out, int value, int digits) {
    String text = IntToStr(value);
    if (static_cast<int>(text.size()) < digits) out.append(digits - text.size(), u'0');
    out += text;
}

void AppendFormat(String& out, const String& format, const TDateParts& p, const TFormatSettings& fs, int level) {
    // Nested formats (c, ddddd, t) go at most two levels deep, so a setting
    // that names itself cannot recurse forever.
    if (level >= 2) return;
    const String& fmt = format.empty() ? String(u"c") : format;
    Char lastToken = 0;
    bool use12Hour = false;
    size_t k = 0;
    const size_t n = fmt.size();
    while (k < n) {
        Char starter = fmt[k++];
        Char token = Upper(starter);
        if (token >= u'A' && token <= u'Z') {
            if (token == u'M' && lastToken == u'H') token = u'N';
            lastToken = token;
        }
        auto count = [&]() {
            int c = 1;
            while (k < n && fmt[k] == starter) {
                ++c;
                ++k;
            }
            return c;
        };
        switch (token) {
        case u'Y': {
            int c = count();
            if (c <= 2) AppendNumber(out, p.year % 100, 2);
            else AppendNumber(out, p.year, 4);
            break;
        }
        case u'M': {
            int c = count();
            if (c <= 2) AppendNumber(out, p.month, c);
            else if (c == 3) out += fs.ShortMonthNames[p.month - 1];
            else out += fs.LongMonthNames[p.month - 1];
            break;
        }
        case u'D': {
            int c = count();
            if (c <= 2) AppendNumber(out, p.day, c);
            else if (c == 3) out += fs.ShortDayNames[p.dayOfWeek - 1];
            else if (c == 4) out += fs.LongDayNames[p.dayOfWeek - 1];
            else if (c == 5) AppendFormat(out, fs.ShortDateFormat, p, fs, level + 1);
            else AppendFormat(out, fs.LongDateFormat, p, fs, level + 1);
            break;
        }
        case u'H': {
            int c = count();
            // A 12-hour clock when an am/pm marker follows before the next hour.
            bool inQuotes = false;
            for (size_t q = k; q < n; ++q) {
                Char ch = fmt[q];
                if (ch == u'\'' || ch == u'"') {
                    inQuotes = !inQuotes;
                } else if (!inQuotes && (ch == u'a' || ch == u'A')) {
                    if (StartsWithNoCase(fmt, q, "AM/PM") || StartsWithNoCase(fmt, q, "A/P") ||
                        StartsWithNoCase(fmt, q, "AMPM"))
                        use12Hour = true;
                    break;
                } else if (!inQuotes && (ch == u'h' || ch == u'H')) {
                    break;
                }
            }
            int h = p.hour;
            if (use12Hour) {
                if (h == 0) h = 12;
                else if (h > 12) h -= 12;
            }
            AppendNumber(out, h, std::min(c, 2));
            break;
        }
        case u'N': AppendNumber(out, p.min, std::min(count(), 2)); break;
        case u'S': AppendNumber(out, p.sec, std::min(count(), 2)); break;
        case u'Z': AppendNumber(out, p.msec, std::min(count(), 3)); break;
        case u'T':
            if (count() == 1) AppendFormat(out, fs.ShortTimeFormat, p, fs, level + 1);
            else AppendFormat(out, fs.LongTimeFormat, p, fs, level + 1);
            break;
        case u'C':
            count();
            AppendFormat(out, fs.ShortDateFormat, p, fs, level + 1);
            if (p.hour != 0 || p.min != 0 || p.sec != 0) {
                out.push_back(u' ');
                AppendFormat(out, fs.LongTimeFormat, p, fs, level + 1);
            }
            break;
        case u'A': {
            size_t at = k - 1;
            if (StartsWithNoCase(fmt, at, "AM/PM")) {
                out.append(fmt, p.hour >= 12 ? at + 3 : at, 2);
                k = at + 5;
                use12Hour = true;
            } else if (StartsWithNoCase(fmt, at, "A/P")) {
                out.push_back(fmt[p.hour >= 12 ? at + 2 : at]);
                k = at + 3;
                use12Hour = true;
            } else if (StartsWithNoCase(fmt, at, "AMPM")) {
                out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                k = at + 4;
            } else if (StartsWithNoCase(fmt, at, "AAAA")) {
                out += fs.LongDayNames[p.dayOfWeek - 1];
                k = at + 4;
            } else if (StartsWithNoCase(fmt, at, "AAA")) {
                out += fs.ShortDayNames[p.dayOfWeek - 1];
                k = at + 3;
            } else {
                out.push_back(starter);
            }
            break;
        }
        case u'/': out.push_back(fs.DateSeparator); break;
        case u':': out.push_back(fs.TimeSeparator); break;
        case u'\'':
        case u'"':
            while (k < n && fmt[k] != starter) out.push_back(fmt[k++]);
            if (k < n) ++k;
            break;
        default: out.push_back(starter);
        }
    }
}
}  // namespace

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings) {
    TDateParts p{};
    if (!std::isfinite(value)) throw EConvertError("Invalid argument to date encode");
    DecodeDateTime(value, p.year, p.month, p.day, p.hour, p.min, p.sec, p.msec);
    if (p.month == 0) throw EConvertError("Invalid argument to date encode");  // outside years 1..9999
    p.dayOfWeek = DayOfWeek(value);
    String out;
    AppendFormat(out, format, p, settings, 0);
    return out;
}

String FormatDateTime(const String& format, TDateTime value) {
    return FormatDateTime(format, value, FormatSettings());
}

String DateToStr(TDateTime value) { return FormatDateTime(u"ddddd", value); }
String TimeToStr(TDateTime value) { return FormatDateTime(u"tt", value); }
String DateTimeToStr(TDateTime value) { return FormatDateTime(u"c", value); }

// ---------------------------------------------------------------------------
// Reading dates and times
// ---------------------------------------------------------------------------

namespace {
bool ReadWhole(const String& s, int& value) {
    if (s.empty() || s.size() > 9) return false;
    value = 0;
    for (Char c : s) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

bool ParseDate(const String& text, TDateTime& value, const TFormatSettings& fs) {
    std::vector<String> parts = SplitString(Trim(text), fs.DateSeparator);
    if (parts.size() < 2 || parts.size() > 3) return false;
    int nums[3] = {0, 0, 0};
    for (size_t k = 0; k < parts.size(); ++k)
        if (!ReadWhole(Trim(parts[k]), nums[k])) return false;
    // The order of day, month and year in the short date format.
    String f = UpperCase(fs.ShortDateFormat);
    int pd = Pos(u'D', f), pm = Pos(u'M', f), py = Pos(u'Y', f);
    int day, month, year;
    bool yearGiven = parts.size() == 3;
    if (yearGiven) {
        if (py < pm && py < pd) {
            year = nums[0];
            if (pm < pd) month = nums[1], day = nums[2];
            else day = nums[1], month = nums[2];
        } else if (pm < pd) {
            month = nums[0];
            if (pd < py) day = nums[1], year = nums[2];
            else year = nums[1], day = nums[2];
        } else {
            day = nums[0];
            if (pm < py) month = nums[1], year = nums[2];
            else year = nums[1], month = nums[2];
        }
    } else {
        if (pm < pd) month = nums[0], day = nums[1];
        else day = nums[0], month = nums[1];
        year = YearOf(Now());
    }
    if (yearGiven && year < 100) {
        // The century window: two-digit years fall into the 100 years that
        // end TwoDigitYearCenturyWindow years from now.
        int current = YearOf(Now());
        int pivot = current - fs.TwoDigitYearCenturyWindow;
        int century = pivot - pivot % 100;
        year += century;
        if (fs.TwoDigitYearCenturyWindow > 0 && year < pivot) year += 100;
    }
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    return TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), value);
}

bool ParseTime(const String& text, TDateTime& value, const TFormatSettings& fs) {
    String s = Trim(text);
    int pm = -1;  // -1 none, 0 AM, 1 PM
    auto endsWithNoCase = [&](const String& suffix) {
        return !suffix.empty() && s.size() >= suffix.size() &&
               AnsiSameText(s.substr(s.size() - suffix.size()), suffix);
    };
    for (const auto& [marker, isPm] : {std::pair<String, int>{fs.TimeAMString, 0}, {fs.TimePMString, 1},
                                       {u"AM", 0}, {u"PM", 1}}) {
        if (endsWithNoCase(marker)) {
            pm = isPm;
            s = Trim(s.substr(0, s.size() - marker.size()));
            break;
        }
    }
    std::vector<String> parts = SplitString(s, fs.TimeSeparator);
    if (parts.size() < 2 || parts.size() > 3) return false;
    int h, m, sec = 0, ms = 0;
    if (!ReadWhole(Trim(parts[0]), h) || !ReadWhole(Trim(parts[1]), m)) return false;
    if (parts.size() == 3) {
        String secText = Trim(parts[2]);
        int dot = Pos(fs.DecimalSeparator, secText);
        if (dot == 0) dot = Pos(u'.', secText);
        if (dot > 0) {
            String frac = Copy(secText, dot + 1);
            if (frac.empty() || frac.size() > 3 || !ReadWhole(frac, ms)) return false;
            for (size_t k = frac.size(); k < 3; ++k) ms *= 10;
            secText = Copy(secText, 1, dot - 1);
        }
        if (!ReadWhole(secText, sec)) return false;
    }
    if (pm >= 0) {
        if (h < 1 || h > 12) return false;
        if (h == 12) h = 0;
        if (pm == 1) h += 12;
    }
    return h < 24 && m < 60 && sec < 60 &&
           TryEncodeTime(static_cast<Word>(h), static_cast<Word>(m), static_cast<Word>(sec), static_cast<Word>(ms),
                         value);
}
}  // namespace

bool TryStrToDate(const String& text, TDateTime& value) { return ParseDate(text, value, FormatSettings()); }
bool TryStrToTime(const String& text, TDateTime& value) { return ParseTime(text, value, FormatSettings()); }

bool TryStrToDateTime(const String& text, TDateTime& value) {
    const TFormatSettings& fs = FormatSettings();
    String s = Trim(text);
    size_t blank = s.find(u' ');
    TDateTime d, t = 0;
    if (blank == String::npos) {
        if (ParseDate(s, d, fs)) {
            value = d;
            return true;
        }
        if (ParseTime(s, t, fs)) {
            value = t;
            return true;
        }
        return false;
    }
    if (!ParseDate(s.substr(0, blank), d, fs) || !ParseTime(s.substr(blank + 1), t, fs)) return false;
    value = d < 0 ? d - t : d + t;
    return true;
}

TDateTime StrToDate(const String& text) {
    TDateTime v;
    if (!TryStrToDate(text, v)) throw EConvertError(u"'" + text + u"' is not a valid date");
    return v;
}

TDateTime StrToTime(const String& text) {
    TDateTime v;
    if (!TryStrToTime(text, v)) throw EConvertError(u"'" + text + u"' is not a valid time");
    return v;
}

TDateTime StrToDateTime(const String& text) {
    TDateTime v;
    if (!TryStrToDateTime(text, v)) throw EConvertError(u"'" + text + u"' is not a valid date and time");
    return v;
}
