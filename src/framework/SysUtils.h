#pragma once
// The run-time routines every unit leans on: number and text conversions,
// 1-based text helpers, Format, the rounding rules and the format settings.
// They keep the semantics of the classic Pascal run-time library the system
// was written against, so that routines counting from 1 or rounding halves to
// the even neighbour translate line by line.

#include "framework/System.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

// Floating-point and integer arithmetic faults, raised instead of trapping.
class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidOp : public EMathError {  // "Invalid floating point operation"
public:
    using EMathError::EMathError;
};
class EDivByZero : public Exception {  // "Division by zero"
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Format settings
// ---------------------------------------------------------------------------

// The regional settings the conversions read. The defaults are fixed (not
// taken from the machine) so that output is the same everywhere: "." decimal
// point, "," thousands, day/month/year dates with "/", 24-hour times with ":".
struct TFormatSettings {
    Char DecimalSeparator = u'.';
    Char ThousandSeparator = u',';
    Char DateSeparator = u'/';
    Char TimeSeparator = u':';
    Char ListSeparator = u',';
    String ShortDateFormat = u"dd/mm/yyyy";
    String LongDateFormat = u"dddd, d mmmm yyyy";
    String ShortTimeFormat = u"hh:nn";
    String LongTimeFormat = u"hh:nn:ss";
    String TimeAMString = u"AM";
    String TimePMString = u"PM";
    std::array<String, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                           u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<String, 12> LongMonthNames{u"January", u"February", u"March",     u"April",
                                          u"May",     u"June",     u"July",      u"August",
                                          u"September", u"October", u"November", u"December"};
    // Index 0 is Sunday, as DayOfWeek 1 is Sunday.
    std::array<String, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    std::array<String, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                       u"Thursday", u"Friday", u"Saturday"};
    // Two-digit years fall into the 100 years ending this many years from now.
    int TwoDigitYearCenturyWindow = 50;
};

// The current settings, read by every routine at every call (never cached).
const TFormatSettings& FormatSettings();
// Replaces the current settings; returns the previous ones.
TFormatSettings SetFormatSettings(const TFormatSettings& settings);

// The system's locale as far as drawing cares: MiddleEast when its language
// is written right to left (Arabic, Hebrew, Persian, ...), taken from the
// user's locale (LANG, LC_ALL) at the first use.
struct TSysLocale {
    bool MiddleEast = false;
};
const TSysLocale& SysLocale();
// Replaces it (tests); returns the previous one.
TSysLocale SetSysLocale(const TSysLocale& locale);

// Replaces the settings for the lifetime of the guard (tests, one-off
// conversions) and restores the previous ones afterwards.
class TFormatSettingsGuard {
public:
    explicit TFormatSettingsGuard(const TFormatSettings& settings) : saved_(SetFormatSettings(settings)) {}
    ~TFormatSettingsGuard() { SetFormatSettings(saved_); }
    TFormatSettingsGuard(const TFormatSettingsGuard&) = delete;
    TFormatSettingsGuard& operator=(const TFormatSettingsGuard&) = delete;

private:
    TFormatSettings saved_;
};

// ---------------------------------------------------------------------------
// Whole numbers
// ---------------------------------------------------------------------------

String Int64ToStr(Int64 value);
String UInt64ToStr(UInt64 value);
// Any whole-number type, written in decimal.
template <std::integral T>
String IntToStr(T value) {
    if constexpr (std::is_signed_v<T>) return Int64ToStr(static_cast<Int64>(value));
    else return UInt64ToStr(static_cast<UInt64>(value));
}

// Upper-case hexadecimal, at least Digits digits. Negative values of types up
// to 32 bits give their 32-bit pattern (-1 -> "FFFFFFFF"), wider ones 64 bits.
String HexOf(UInt64 bits, int digits);
template <std::integral T>
String IntToHex(T value, int digits) {
    if constexpr (sizeof(T) <= 4)
        return HexOf(static_cast<std::uint32_t>(value), digits);
    else
        return HexOf(static_cast<UInt64>(value), digits);
}

// Strict reading: an optional sign, then decimal digits, or "$"/"x"/"X"/"0x"/"0X"
// and hexadecimal digits; nothing before or after. StrToInt raises
// EConvertError "'<text>' is not a valid integer value".
int StrToInt(const String& text);
Int64 StrToInt64(const String& text);
bool TryStrToInt(const String& text, int& value);
bool TryStrToInt64(const String& text, Int64& value);

// The number rule every form and the image builder read numbers by (usually
// as StrToIntDef(text, -1)): leading spaces are skipped (other control
// characters are not), then an optional sign, then decimal digits or
// "$"/"x"/"X"/"0x"/"0X" and hexadecimal digits ("x1F" is 31), and nothing else - a trailing blank, a decimal point,
// a sign followed by a blank, or a value outside the 32-bit signed range
// (hexadecimal included) gives Default.
int StrToIntDef(const String& text, int defaultValue);
// The same rule over the 64-bit range.
Int64 StrToInt64Def(const String& text, Int64 defaultValue);

// ---------------------------------------------------------------------------
// Floating point
// ---------------------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Reads a decimal number with the settings' decimal separator: blanks around
// it allowed, optional sign, digits with at most one separator, optional
// exponent. No thousands separators. StrToFloat raises EConvertError
// "'<text>' is not a valid floating point value".
double StrToFloat(const String& text);
double StrToFloat(const String& text, const TFormatSettings& settings);
bool TryStrToFloat(const String& text, double& value);
bool TryStrToFloat(const String& text, double& value, const TFormatSettings& settings);
double StrToFloatDef(const String& text, double defaultValue);

// General form with 15 significant digits ("0.1", "1E20", "-1.5E-7").
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
// Precision = significant digits (general, exponent) and Digits = decimals
// (fixed, number) or minimum exponent digits (exponent).
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// Picture formats: "0" digit, "#" optional digit, "." decimal separator,
// "," (anywhere among the digits) thousands grouping, "E+00"/"E-00"
// exponent, quoted text and other characters copied, up to three sections
// "positive;negative;zero".
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

// One argument of Format.
struct TVarRec {
    enum class Kind { Integer, Unsigned, Float, Text };
    Kind kind;
    Int64 i = 0;
    UInt64 u = 0;
    double d = 0;
    String s;

    TVarRec(int v) : kind(Kind::Integer), i(v) {}
    TVarRec(long v) : kind(Kind::Integer), i(v) {}
    TVarRec(long long v) : kind(Kind::Integer), i(v) {}
    TVarRec(unsigned v) : kind(Kind::Unsigned), u(v) {}
    TVarRec(unsigned long v) : kind(Kind::Unsigned), u(v) {}
    TVarRec(unsigned long long v) : kind(Kind::Unsigned), u(v) {}
    TVarRec(double v) : kind(Kind::Float), d(v) {}
    TVarRec(Char c) : kind(Kind::Text), s(1, c) {}
    TVarRec(const Char* v) : kind(Kind::Text), s(v ? v : u"") {}
    TVarRec(String v) : kind(Kind::Text), s(std::move(v)) {}
    TVarRec(std::u16string_view v) : kind(Kind::Text), s(v) {}
    TVarRec(const char* utf8) : kind(Kind::Text), s(Utf8ToString(utf8 ? utf8 : "")) {}
    TVarRec(bool) = delete;  // the original refuses booleans too
};

// Specifiers: "%" ["index:"] ["-"] [width] ["." precision] type, type one of
// d u x X (precision = minimum digits), e f g n (precision = decimals or
// significant digits; n adds thousands separators), s (precision = maximum
// length), and "%%". Width and precision may be "*" (taken from the
// arguments). A width written with a leading zero ("%05d") pads numbers with
// zeros. A specifier that does not fit its argument, or a missing argument,
// raises EConvertError "Format '<format>' invalid or incompatible with argument".
String Format(const String& format, std::initializer_list<TVarRec> args);
String Format(const String& format, std::initializer_list<TVarRec> args, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

// Blanks are every character of code 32 and below.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// ASCII letters only.
String UpperCase(const String& s);
String LowerCase(const String& s);
Char UpCase(Char c);
// Latin-1, Latin Extended-A, Greek and Cyrillic letters as well.
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
Char AnsiUpperChar(Char c);
Char AnsiLowerChar(Char c);

// <0, 0, >0. CompareText ignores the case of ASCII letters; AnsiCompareText
// of all letters above; AnsiCompareStr sorts letters alphabetically, a lower
// case letter before its capital ("a" < "A" < "b").
int CompareStr(const String& a, const String& b);
int CompareText(const String& a, const String& b);
bool SameText(const String& a, const String& b);
bool SameStr(const String& a, const String& b);
int AnsiCompareStr(const String& a, const String& b);
int AnsiCompareText(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);

// 1-based positions; 0 = not found (an empty Sub is never found).
int Pos(const String& sub, const String& s);
int Pos(Char c, const String& s);
// Search from Offset (1-based); an Offset below 1 or past the end gives 0.
int PosEx(const String& sub, const String& s, int offset = 1);
// Count characters from Index (1-based). An Index below 1 counts from 1, an
// Index past the end or a Count of 0 or less gives "".
String Copy(const String& s, int index, int count);
// Copy to the end.
String Copy(const String& s, int index);
// Removes Count characters from Index; an Index outside 1..Length does nothing.
void Delete(String& s, int index, int count);
// Inserts Sub before Index; Index below 1 inserts at the start, past the
// end appends.
void Insert(const String& sub, String& s, int index);
inline int Length(const String& s) { return static_cast<int>(s.size()); }
void SetLength(String& s, int length);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags);

String StringOfChar(Char c, int count);
// 'text' with every quote doubled.
String QuotedStr(const String& s);
String AnsiQuotedStr(const String& s, Char quote);
// Takes the quoted text at the start of S (doubled quotes read as one) and
// leaves in S what follows the closing quote; "" when S does not start with
// Quote.
String AnsiExtractQuotedStr(String& s, Char quote);
// The unquoted text. S comes back unchanged when it does not both start and
// end with Quote and the quoted piece is empty or runs to the end (so an
// unterminated "'abc" stays as it is).
String AnsiDequotedStr(const String& s, Char quote);

// Is S[Index] (1-based) one of Delimiters? LastDelimiter: 1-based position
// of the last such character, 0 when none.
bool IsDelimiter(const String& delimiters, const String& s, int index);
int LastDelimiter(const String& delimiters, const String& s);

// Delimited text as a string list reads and writes it. Reading: items are
// separated by Delimiter and (unless StrictDelimiter) by blanks, which are
// also skipped around items; an item starting with QuoteChar runs to the
// closing quote, a doubled quote inside standing for one; a Delimiter at the
// very end adds an empty item. Writing: an item containing Delimiter,
// QuoteChar or (unless StrictDelimiter) a character of code 32 and below is
// quoted; a list of one empty item is written as two quotes.
std::vector<String> SplitDelimitedText(const String& text, Char delimiter, Char quoteChar, bool strictDelimiter);
String JoinDelimitedText(const std::vector<String>& items, Char delimiter, Char quoteChar, bool strictDelimiter);
// Comma text: Delimiter ",", QuoteChar '"', blanks separate too ("a b" -> a, b).
inline std::vector<String> CommaTextToStrings(const String& text) { return SplitDelimitedText(text, u',', u'"', false); }
// Plain split at every Delimiter; "" gives one empty item.
std::vector<String> SplitString(const String& s, Char delimiter);

// ---------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------

// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2,
// 2.5 -> 2, -1.5 -> -2). NaN, infinities and values outside 64 bits raise
// EInvalidOp.
Int64 Round(double value);
// Toward zero; same errors as Round.
Int64 Trunc(double value);
// The fraction part, with the value's sign.
double Frac(double value);
// Toward minus / plus infinity.
Int64 Floor(double value);
Int64 Ceil(double value);

// Integer division and remainder truncating toward zero, as C++'s / and %
// already do; they exist so that "a div b" / "a mod b" translate literally
// and a zero divisor raises EDivByZero instead of stopping the program.
[[noreturn]] void RaiseDivByZero();
template <std::integral A, std::integral B>
constexpr auto Div(A a, B b) {
    if (b == 0) RaiseDivByZero();
    return a / b;
}
template <std::integral A, std::integral B>
constexpr auto Mod(A a, B b) {
    if (b == 0) RaiseDivByZero();
    return a % b;
}

// a * b / c with a 64-bit product, rounded half away from zero; -1 when c is
// 0 or the result does not fit 32 bits.
int MulDiv(int a, int b, int c);

// ---------------------------------------------------------------------------
// Misc
// ---------------------------------------------------------------------------

// Ends the current operation silently (EAbort "Operation aborted").
[[noreturn]] void Abort();

// The place in the source of a call: as a default argument, the caller's.
// Written with the builtins both compilers take; clang 14 cannot compile
// libstdc++'s std::source_location.
struct TSourceLocation {
    static constexpr TSourceLocation Current(const char* file = __builtin_FILE(), unsigned line = __builtin_LINE()) {
        return {file, line};
    }
    const char* File;
    unsigned Line;
};

// Checks in release builds too: a false condition raises EAssertionFailed
// "<message> (<file>, line <n>)", the message "Assertion failed" by default.
void Assert(bool condition, const String& message = u"Assertion failed",
            TSourceLocation where = TSourceLocation::Current());

// A character of the Unicode number categories Nd, Nl or No: "0".."9", and
// also superscript digits, Roman numerals and vulgar fractions.
bool CharIsNumber(Char c);

// This process's identifier, as other processes see it.
Cardinal GetCurrentProcessId();

// The measurement system of a locale: 0 metric, 1 U.S. (the classic locale
// setting's values). The name is a locale such as "en_US"; empty means the
// user's locale.
int LocaleMeasurementSystem(const String& localeName = String());

template <class T>
void FreeAndNil(T*& object) {
    T* doomed = object;
    object = nullptr;
    delete doomed;
}
