#include "framework/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <unistd.h>

#include <QChar>
#include <QLocale>
#include <QString>

// ---------------------------------------------------------------------------
// Format settings
// ---------------------------------------------------------------------------

namespace {
TFormatSettings& CurrentSettings() {
    static TFormatSettings settings;
    return settings;
}
}  // namespace

const TFormatSettings& FormatSettings() { return CurrentSettings(); }

TFormatSettings SetFormatSettings(const TFormatSettings& settings) {
    TFormatSettings previous = CurrentSettings();
    CurrentSettings() = settings;
    return previous;
}

namespace {
TSysLocale& CurrentSysLocale() {
    static TSysLocale locale{QLocale::system().textDirection() == Qt::RightToLeft};
    return locale;
}
}  // namespace

const TSysLocale& SysLocale() { return CurrentSysLocale(); }

TSysLocale SetSysLocale(const TSysLocale& locale) {
    TSysLocale previous = CurrentSysLocale();
    CurrentSysLocale() = locale;
    return previous;
}

// ---------------------------------------------------------------------------
// Whole numbers
// ---------------------------------------------------------------------------

String UInt64ToStr(UInt64 value) {
    Char buf[24];
    int n = 0;
    do {
        buf[n++] = static_cast<Char>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    String out;
    out.reserve(n);
    while (n > 0) out.push_back(buf[--n]);
    return out;
}

String Int64ToStr(Int64 value) {
    if (value >= 0) return UInt64ToStr(static_cast<UInt64>(value));
    return u"-" + UInt64ToStr(UInt64(0) - static_cast<UInt64>(value));
}

String HexOf(UInt64 bits, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Char buf[16];
    int n = 0;
    do {
        buf[n++] = static_cast<Char>(kHex[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    String out;
    if (digits > n) out.assign(digits - n, u'0');
    while (n > 0) out.push_back(buf[--n]);
    return out;
}

namespace {
int HexValue(Char c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// The shared integer reader. The value must lie in [minValue, maxValue].
bool ParseInteger(const String& text, bool skipLeadingSpaces, Int64 minValue, Int64 maxValue, Int64& value) {
    size_t i = 0, n = text.size();
    if (skipLeadingSpaces)
        while (i < n && text[i] == u' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        // The classic reader takes a bare "x" as the hexadecimal prefix too: "x1F" is 31.
        base = 16;
        ++i;
    }
    if (i >= n) return false;
    // Magnitude limit: |minValue| for negatives, maxValue otherwise.
    const UInt64 limit = negative ? UInt64(0) - static_cast<UInt64>(minValue) : static_cast<UInt64>(maxValue);
    UInt64 magnitude = 0;
    for (; i < n; ++i) {
        int digit = base == 16 ? HexValue(text[i]) : (text[i] >= u'0' && text[i] <= u'9' ? text[i] - u'0' : -1);
        if (digit < 0) return false;
        if (magnitude > (limit - static_cast<UInt64>(digit)) / base) return false;
        magnitude = magnitude * base + static_cast<UInt64>(digit);
    }
    value = negative ? static_cast<Int64>(UInt64(0) - magnitude) : static_cast<Int64>(magnitude);
    return true;
}

[[noreturn]] void RaiseNotInteger(const String& text) {
    throw EConvertError(u"'" + text + u"' is not a valid integer value");
}
}  // namespace

bool TryStrToInt(const String& text, int& value) {
    Int64 v;
    if (!ParseInteger(text, false, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool TryStrToInt64(const String& text, Int64& value) {
    return ParseInteger(text, false, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), value);
}

int StrToInt(const String& text) {
    int v;
    if (!TryStrToInt(text, v)) RaiseNotInteger(text);
    return v;
}

Int64 StrToInt64(const String& text) {
    Int64 v;
    if (!TryStrToInt64(text, v)) RaiseNotInteger(text);
    return v;
}

Int64 StrToInt64Def(const String& text, Int64 defaultValue) {
    Int64 v;
    return ParseInteger(text, true, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), v)
               ? v
               : defaultValue;
}

int StrToIntDef(const String& text, int defaultValue) {
    Int64 v;
    return ParseInteger(text, true, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v)
               ? static_cast<int>(v)
               : defaultValue;
}

// ---------------------------------------------------------------------------
// Floating point
// ---------------------------------------------------------------------------

bool TryStrToFloat(const String& text, double& value, const TFormatSettings& settings) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] <= u' ') ++i;
    while (n > i && text[n - 1] <= u' ') --n;
    std::string ascii;
    ascii.reserve(n - i);
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.push_back(static_cast<char>(text[i++]));
    bool digits = false, point = false;
    for (; i < n; ++i) {
        Char c = text[i];
        if (c >= u'0' && c <= u'9') {
            ascii.push_back(static_cast<char>(c));
            digits = true;
        } else if (c == settings.DecimalSeparator && !point) {
            ascii.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.push_back(static_cast<char>(text[i++]));
        bool expDigits = false;
        for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            ascii.push_back(static_cast<char>(text[i]));
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    if (i != n) return false;
    char* end = nullptr;
    double v = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool TryStrToFloat(const String& text, double& value) { return TryStrToFloat(text, value, FormatSettings()); }

double StrToFloat(const String& text, const TFormatSettings& settings) {
    double v;
    if (!TryStrToFloat(text, v, settings))
        throw EConvertError(u"'" + text + u"' is not a valid floating point value");
    return v;
}

double StrToFloat(const String& text) { return StrToFloat(text, FormatSettings()); }

double StrToFloatDef(const String& text, double defaultValue) {
    double v;
    return TryStrToFloat(text, v) ? v : defaultValue;
}

namespace {
// The value as significant digits: value = 0.D1D2D3... * 10^exponent.
struct TDecimal {
    bool negative = false;
    std::string digits;  // no trailing zeros; empty for zero
    int exponent = 0;
};

// All 17 significant digits of the value; the later rounding to fewer
// digits goes half away from zero on these decimal digits, as the original's
// conversions did (2.5 -> "3" with no decimals).
TDecimal ExactDecimal(double value) {
    TDecimal d;
    d.negative = std::signbit(value) && value != 0;
    if (value == 0) return d;
    // 17 significant digits, correctly rounded; to_chars does it without
    // the locale and big-number work of printf.
    char buf[64];
    const std::to_chars_result end =
        std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 16);
    *end.ptr = '\0';
    // The digits without trailing zeros, taken in one piece: most values
    // then fit the string's own buffer.
    char digits[24];
    std::size_t n = 0;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && n < sizeof digits) digits[n++] = *p;
    d.exponent = std::atoi(p + 1) + 1;
    while (n > 0 && digits[n - 1] == '0') --n;
    d.digits.assign(digits, n);
    return d;
}

// Keeps `keep` significant digits, rounding half away from zero.
void RoundDecimal(TDecimal& d, int keep) {
    if (static_cast<int>(d.digits.size()) <= keep) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int k = keep - 1;
        while (k >= 0 && d.digits[k] == '9') d.digits[k--] = '0';
        if (k >= 0) {
            ++d.digits[k];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            ++d.exponent;
            if (d.digits.empty()) d.digits = "1";
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

TDecimal ToDecimal(double value, int precision) {
    TDecimal d = ExactDecimal(value);
    RoundDecimal(d, std::clamp(precision, 1, 17));
    return d;
}

// The value with exactly `decimals` decimals, as digit strings.
void FixedParts(double value, int decimals, std::string& intPart, std::string& fracPart, bool& isZero) {
    TDecimal d = ExactDecimal(value);
    RoundDecimal(d, d.exponent + decimals);
    isZero = d.digits.empty();
    intPart.clear();
    for (int k = 0; k < d.exponent; ++k) intPart.push_back(k < static_cast<int>(d.digits.size()) ? d.digits[k] : '0');
    if (intPart.empty()) intPart = "0";
    fracPart.clear();
    for (int k = 0; k < decimals; ++k) {
        int at = d.exponent + k;
        fracPart.push_back(at >= 0 && at < static_cast<int>(d.digits.size()) ? d.digits[at] : '0');
    }
}

String SpecialFloat(double value) {
    if (std::isnan(value)) return u"NAN";
    return value > 0 ? u"INF" : u"-INF";
}

// Fixed notation with exactly `decimals` decimals, optionally grouped by
// thousands; a value that rounds to zero has no minus sign.
String FixedText(double value, int decimals, bool thousands, const TFormatSettings& fs) {
    decimals = std::clamp(decimals, 0, 18);
    std::string intPart, fracPart;
    bool isZero;
    FixedParts(value, decimals, intPart, fracPart, isZero);
    String out;
    if (std::signbit(value) && !isZero) out.push_back(u'-');
    for (size_t k = 0; k < intPart.size(); ++k) {
        if (thousands && k > 0 && (intPart.size() - k) % 3 == 0) out.push_back(fs.ThousandSeparator);
        out.push_back(static_cast<Char>(intPart[k]));
    }
    if (!fracPart.empty()) {
        out.push_back(fs.DecimalSeparator);
        out.append(fracPart.begin(), fracPart.end());
    }
    return out;
}

String ExponentText(int exponent, bool forcePlus, int minDigits) {
    String out = u"E";
    if (exponent < 0) out.push_back(u'-');
    else if (forcePlus) out.push_back(u'+');
    String digits = IntToStr(std::abs(exponent));
    if (static_cast<int>(digits.size()) < minDigits) out.append(minDigits - digits.size(), u'0');
    return out + digits;
}

String GeneralText(double value, int precision, const TFormatSettings& fs) {
    if (precision <= 0 || precision > 15) precision = 15;
    TDecimal d = ToDecimal(value, precision);
    if (d.digits.empty()) return u"0";
    String out;
    if (d.negative) out.push_back(u'-');
    if (d.exponent > precision || d.exponent < -3) {
        out.push_back(static_cast<Char>(d.digits[0]));
        if (d.digits.size() > 1) {
            out.push_back(fs.DecimalSeparator);
            out.append(d.digits.begin() + 1, d.digits.end());
        }
        return out + ExponentText(d.exponent - 1, false, 0);
    }
    if (d.exponent <= 0) {
        out.push_back(u'0');
        out.push_back(fs.DecimalSeparator);
        out.append(-d.exponent, u'0');
        out.append(d.digits.begin(), d.digits.end());
        return out;
    }
    for (int k = 0; k < d.exponent; ++k) out.push_back(k < static_cast<int>(d.digits.size()) ? d.digits[k] : u'0');
    if (static_cast<int>(d.digits.size()) > d.exponent) {
        out.push_back(fs.DecimalSeparator);
        out.append(d.digits.begin() + d.exponent, d.digits.end());
    }
    return out;
}

String ExponentFormText(double value, int precision, int minExpDigits, const TFormatSettings& fs) {
    if (precision <= 0 || precision > 18) precision = 15;
    TDecimal d = ToDecimal(value, precision);
    std::string digits = d.digits;
    digits.resize(precision, '0');
    String out;
    if (d.negative) out.push_back(u'-');
    out.push_back(static_cast<Char>(digits[0]));
    if (precision > 1) {
        out.push_back(fs.DecimalSeparator);
        out.append(digits.begin() + 1, digits.end());
    }
    return out + ExponentText(d.digits.empty() ? 0 : d.exponent - 1, true, std::clamp(minExpDigits, 0, 4));
}
}  // namespace

String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
    if (!std::isfinite(value)) return SpecialFloat(value);
    switch (format) {
    case ffGeneral: return GeneralText(value, precision, fs);
    case ffExponent: return ExponentFormText(value, precision, digits, fs);
    case ffFixed:
    case ffCurrency:
        // Beyond the precision the fixed form would show noise digits.
        if (std::fabs(value) >= std::pow(10.0, std::clamp(precision, 1, 18))) return GeneralText(value, precision, fs);
        return FixedText(value, digits, false, fs);
    case ffNumber:
        if (std::fabs(value) >= std::pow(10.0, std::clamp(precision, 1, 18))) return GeneralText(value, precision, fs);
        return FixedText(value, digits, true, fs);
    }
    return GeneralText(value, precision, fs);
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStr(double value, const TFormatSettings& settings) {
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

namespace {
// Sections of a picture format, split at ";" outside quotes.
std::vector<String> PictureSections(const String& format) {
    std::vector<String> sections(1);
    Char quote = 0;
    for (Char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.emplace_back();
            continue;
        }
        sections.back().push_back(c);
    }
    return sections;
}

String FormatPicture(const String& section, double value, bool writeSign, const TFormatSettings& fs) {
    // Survey the placeholders.
    int intZeros = 0, fracZeros = 0, fracAll = 0, expDigits = -1;
    bool point = false, thousands = false, anyDigit = false, expPlus = false;
    Char quote = 0;
    for (size_t k = 0; k < section.size(); ++k) {
        Char c = section[k];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            anyDigit = true;
            if (!point) {
                if (c == u'0') ++intZeros;
            } else {
                ++fracAll;
                if (c == u'0') fracZeros = fracAll;
            }
        } else if (c == u'.') {
            point = true;
        } else if (c == u',') {
            if (!point) thousands = true;
        } else if ((c == u'E' || c == u'e') && k + 1 < section.size() &&
                   (section[k + 1] == u'+' || section[k + 1] == u'-') && expDigits < 0) {
            expPlus = section[k + 1] == u'+';
            expDigits = 0;
            k += 2;
            while (k < section.size() && section[k] == u'0') {
                ++expDigits;
                ++k;
            }
            --k;
        }
    }
    if (!anyDigit) return section;  // only literal text

    double magnitude = std::fabs(value);
    int exponent = 0;
    std::string intPart, fracPart;
    bool isZero;
    if (expDigits >= 0) {
        // One digit before the point, the exponent takes the rest.
        TDecimal d = ExactDecimal(magnitude);
        RoundDecimal(d, 1 + fracAll);
        isZero = d.digits.empty();
        exponent = isZero ? 0 : d.exponent - 1;
        intPart = isZero ? "0" : std::string(1, d.digits[0]);
        for (int k = 1; k <= fracAll; ++k) fracPart.push_back(k < static_cast<int>(d.digits.size()) ? d.digits[k] : '0');
    } else {
        FixedParts(magnitude, fracAll, intPart, fracPart, isZero);
    }
    while (static_cast<int>(fracPart.size()) > fracZeros && !fracPart.empty() && fracPart.back() == '0')
        fracPart.pop_back();
    if (intPart == "0" && intZeros == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < intZeros) intPart.insert(intPart.begin(), '0');
    String intText;
    for (size_t k = 0; k < intPart.size(); ++k) {
        if (thousands && k > 0 && (intPart.size() - k) % 3 == 0) intText.push_back(fs.ThousandSeparator);
        intText.push_back(static_cast<Char>(intPart[k]));
    }
    String out;
    if (writeSign && !isZero) out.push_back(u'-');
    bool intDone = false, pointDone = false;
    quote = 0;
    for (size_t k = 0; k < section.size(); ++k) {
        Char c = section[k];
        if (quote) {
            if (c == quote) quote = 0;
            else out.push_back(c);
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#' || c == u',') {
            if (!pointDone && !intDone && c != u',') {
                out += intText;
                intDone = true;
            }
        } else if (c == u'.') {
            if (!pointDone) {
                if (!intDone) {
                    out += intText;
                    intDone = true;
                }
                if (!fracPart.empty()) {
                    out.push_back(fs.DecimalSeparator);
                    out.append(fracPart.begin(), fracPart.end());
                }
                pointDone = true;
            }
        } else if ((c == u'E' || c == u'e') && k + 1 < section.size() &&
                   (section[k + 1] == u'+' || section[k + 1] == u'-')) {
            out.push_back(c);
            if (exponent < 0) out.push_back(u'-');
            else if (expPlus) out.push_back(u'+');
            String e = IntToStr(std::abs(exponent));
            if (static_cast<int>(e.size()) < expDigits) out.append(expDigits - e.size(), u'0');
            out += e;
            k += 2;
            while (k < section.size() && section[k] == u'0') ++k;
            --k;
        } else {
            out.push_back(c);
        }
    }
    return out;
}
}  // namespace

String FormatFloat(const String& format, double value, const TFormatSettings& fs) {
    if (!std::isfinite(value)) return SpecialFloat(value);
    if (format.empty()) return FloatToStr(value, fs);
    std::vector<String> sections = PictureSections(format);
    if (value < 0 && sections.size() >= 2 && !sections[1].empty())
        return FormatPicture(sections[1], value, false, fs);
    if (value == 0 && sections.size() >= 3 && !sections[2].empty())
        return FormatPicture(sections[2], value, false, fs);
    return FormatPicture(sections[0], value, value < 0, fs);
}

String FormatFloat(const String& format, double value) { return FormatFloat(format, value, FormatSettings()); }

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

String Format(const String& format, std::initializer_list<TVarRec> args, const TFormatSettings& fs) {
    auto fail = [&]() -> void {
        throw EConvertError(u"Format '" + format + u"' invalid or incompatible with argument");
    };
    const TVarRec* argv = args.begin();
    const size_t argc = args.size();
    size_t next = 0;
    auto takeArg = [&]() -> const TVarRec& {
        if (next >= argc) fail();
        return argv[next++];
    };
    auto takeInt = [&]() -> int {
        const TVarRec& a = takeArg();
        if (a.kind == TVarRec::Kind::Integer) return static_cast<int>(a.i);
        if (a.kind == TVarRec::Kind::Unsigned) return static_cast<int>(a.u);
        fail();
        return 0;
    };

    String out;
    const size_t n = format.size();
    size_t k = 0;
    while (k < n) {
        Char c = format[k++];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (k >= n) fail();
        if (format[k] == u'%') {
            out.push_back(u'%');
            ++k;
            continue;
        }
        // ["index:"]
        auto readNumber = [&](int& number) -> bool {
            if (k < n && format[k] == u'*') {
                ++k;
                number = takeInt();
                return true;
            }
            if (k >= n || format[k] < u'0' || format[k] > u'9') return false;
            number = 0;
            while (k < n && format[k] >= u'0' && format[k] <= u'9') {
                number = std::min(number * 10 + (format[k] - u'0'), 100000);
                ++k;
            }
            return true;
        };
        bool left = false, zeroPad = false;
        int width = -1, precision = -1;
        int number;
        {
            size_t j = k;
            int index = 0;
            while (j < n && format[j] >= u'0' && format[j] <= u'9') index = std::min(index * 10 + (format[j++] - u'0'), 100000);
            if (j > k && j < n && format[j] == u':') {
                k = j + 1;
                next = static_cast<size_t>(index);
            }
        }
        if (k < n && format[k] == u'-') {
            left = true;
            ++k;
        }
        if (k < n && format[k] == u'0') zeroPad = true;
        if (readNumber(number)) width = number;
        if (k < n && format[k] == u'.') {
            ++k;
            if (!readNumber(number)) number = 0;
            precision = number;
        }
        if (k >= n) fail();
        Char type = format[k++];
        if (type >= u'a' && type <= u'z') type = static_cast<Char>(type - 32);

        const TVarRec& a = takeArg();
        bool isInteger = a.kind == TVarRec::Kind::Integer || a.kind == TVarRec::Kind::Unsigned;
        bool isNumber = isInteger || a.kind == TVarRec::Kind::Float;
        bool numeric = true;
        String text;
        switch (type) {
        case u'D':
        case u'U':
        case u'X': {
            if (!isInteger) fail();
            bool negative = false;
            UInt64 magnitude;
            if (type == u'X') {
                Int64 v = a.kind == TVarRec::Kind::Integer ? a.i : static_cast<Int64>(a.u);
                bool narrow = a.kind == TVarRec::Kind::Integer ? (a.i >= INT32_MIN && a.i <= INT32_MAX)
                                                               : a.u <= UINT32_MAX;
                text = narrow ? HexOf(static_cast<std::uint32_t>(v), 0) : HexOf(static_cast<UInt64>(v), 0);
            } else if (a.kind == TVarRec::Kind::Unsigned) {
                text = UInt64ToStr(a.u);
            } else if (type == u'U' && a.i < 0) {
                // The unsigned reading of the value's bit pattern.
                bool narrow = a.i >= INT32_MIN;
                text = narrow ? UInt64ToStr(static_cast<std::uint32_t>(a.i)) : UInt64ToStr(static_cast<UInt64>(a.i));
            } else {
                negative = a.i < 0;
                magnitude = negative ? UInt64(0) - static_cast<UInt64>(a.i) : static_cast<UInt64>(a.i);
                text = UInt64ToStr(magnitude);
            }
            if (precision >= 0 && static_cast<int>(text.size()) < precision)
                text.insert(0, precision - text.size(), u'0');
            if (negative) text.insert(0, 1, u'-');
            break;
        }
        case u'E':
        case u'F':
        case u'G':
        case u'N':
        case u'M': {
            if (!isNumber) fail();
            double v = a.kind == TVarRec::Kind::Float     ? a.d
                       : a.kind == TVarRec::Kind::Integer ? static_cast<double>(a.i)
                                                          : static_cast<double>(a.u);
            if (type == u'E') text = FloatToStrF(v, ffExponent, precision < 0 ? 15 : precision, 3, fs);
            else if (type == u'G') text = FloatToStrF(v, ffGeneral, precision < 0 ? 15 : precision, 3, fs);
            else if (type == u'N') text = FloatToStrF(v, ffNumber, 18, precision < 0 ? 2 : precision, fs);
            else text = FloatToStrF(v, ffFixed, 18, precision < 0 ? 2 : precision, fs);
            break;
        }
        case u'S':
            if (a.kind != TVarRec::Kind::Text) fail();
            text = a.s;
            if (precision >= 0 && static_cast<int>(text.size()) > precision) text.resize(precision);
            numeric = false;
            break;
        default:
            fail();
        }
        if (width > static_cast<int>(text.size())) {
            size_t pad = width - text.size();
            if (left) {
                text.append(pad, u' ');
            } else if (zeroPad && numeric) {
                text.insert(text[0] == u'-' ? 1 : 0, pad, u'0');
            } else {
                text.insert(0, pad, u' ');
            }
        }
        out += text;
    }
    return out;
}

String Format(const String& format, std::initializer_list<TVarRec> args) {
    return Format(format, args, FormatSettings());
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

String Trim(const String& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] <= u' ') ++b;
    while (e > b && s[e - 1] <= u' ') --e;
    return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
    size_t b = 0;
    while (b < s.size() && s[b] <= u' ') ++b;
    return s.substr(b);
}

String TrimRight(const String& s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] <= u' ') --e;
    return s.substr(0, e);
}

Char UpCase(Char c) { return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c; }

namespace {
Char LoCase(Char c) { return c >= u'A' && c <= u'Z' ? static_cast<Char>(c + 32) : c; }

// Ranges where capitals and small letters alternate: capital at the even
// (or, with oddUpper, the odd) code, small letter at the next one.
struct TPairRange {
    char16_t first, last;
    bool oddUpper;
};
constexpr TPairRange kPairRanges[] = {
    {0x0100, 0x012F, false}, {0x0132, 0x0137, false}, {0x0139, 0x0148, true},
    {0x014A, 0x0177, false}, {0x0179, 0x017E, true},  {0x03D8, 0x03EF, false},
    {0x0460, 0x0481, false}, {0x048A, 0x04BF, false}, {0x04C1, 0x04CE, true},
    {0x04D0, 0x052F, false},
};

// Blocks where the small letters follow the capitals at a fixed distance.
struct TShiftRange {
    char16_t firstUpper, lastUpper;
    int shift;
};
constexpr TShiftRange kShiftRanges[] = {
    {0x0041, 0x005A, 32}, {0x00C0, 0x00D6, 32}, {0x00D8, 0x00DE, 32},  // Latin-1
    {0x0391, 0x03A1, 32}, {0x03A3, 0x03AB, 32},                          // Greek
    {0x0388, 0x038A, 37}, {0x038E, 0x038F, 63},                          // Greek with tonos
    {0x0410, 0x042F, 32}, {0x0400, 0x040F, 80},                          // Cyrillic
};
}  // namespace

Char AnsiUpperChar(Char c) {
    if (c < 0x80) return UpCase(c);
    for (const auto& r : kShiftRanges)
        if (c >= r.firstUpper + r.shift && c <= r.lastUpper + r.shift) return static_cast<Char>(c - r.shift);
    for (const auto& r : kPairRanges)
        if (c >= r.first && c <= r.last && ((c & 1) != 0) != r.oddUpper) return static_cast<Char>(c - 1);
    switch (c) {
    case 0x00FF: return 0x0178;
    case 0x0131: return u'I';
    case 0x03AC: return 0x0386;
    case 0x03CC: return 0x038C;
    case 0x03C2: return 0x03A3;  // final sigma
    }
    return c;
}

Char AnsiLowerChar(Char c) {
    if (c < 0x80) return LoCase(c);
    for (const auto& r : kShiftRanges)
        if (c >= r.firstUpper && c <= r.lastUpper) return static_cast<Char>(c + r.shift);
    for (const auto& r : kPairRanges)
        if (c >= r.first && c <= r.last && ((c & 1) != 0) == r.oddUpper) return static_cast<Char>(c + 1);
    switch (c) {
    case 0x0178: return 0x00FF;
    case 0x0130: return u'i';
    case 0x0386: return 0x03AC;
    case 0x038C: return 0x03CC;
    }
    return c;
}

String UpperCase(const String& s) {
    String out = s;
    for (Char& c : out) c = UpCase(c);
    return out;
}

String LowerCase(const String& s) {
    String out = s;
    for (Char& c : out) c = LoCase(c);
    return out;
}

String AnsiUpperCase(const String& s) {
    String out = s;
    for (Char& c : out) c = AnsiUpperChar(c);
    return out;
}

String AnsiLowerCase(const String& s) {
    String out = s;
    for (Char& c : out) c = AnsiLowerChar(c);
    return out;
}

int CompareStr(const String& a, const String& b) { return a.compare(b) < 0 ? -1 : a == b ? 0 : 1; }
bool SameStr(const String& a, const String& b) { return a == b; }

int CompareText(const String& a, const String& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
        Char x = UpCase(a[k]), y = UpCase(b[k]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(const String& a, const String& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareText(const String& a, const String& b) {
    // Folding to small letters puts "_" and other punctuation between "Z"
    // and "a" before the letters, as the desktop's collation does.
    size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
        Char x = AnsiLowerChar(a[k]), y = AnsiLowerChar(b[k]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int AnsiCompareStr(const String& a, const String& b) {
    int r = AnsiCompareText(a, b);
    if (r != 0) return r;
    // Same letters: the first difference in case decides, small first.
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k] != b[k]) return AnsiLowerChar(a[k]) == a[k] ? -1 : 1;
    return 0;
}

bool AnsiSameText(const String& a, const String& b) { return a.size() == b.size() && AnsiCompareText(a, b) == 0; }
bool AnsiSameStr(const String& a, const String& b) { return a == b; }

int Pos(const String& sub, const String& s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

int Pos(Char c, const String& s) {
    size_t p = s.find(c);
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

int PosEx(const String& sub, const String& s, int offset) {
    if (sub.empty() || offset < 1 || offset > static_cast<int>(s.size())) return 0;
    size_t p = s.find(sub, static_cast<size_t>(offset - 1));
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

String Copy(const String& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > static_cast<int>(s.size())) return String();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

String Copy(const String& s, int index) { return Copy(s, index, std::numeric_limits<int>::max()); }

void Delete(String& s, int index, int count) {
    if (index < 1 || index > static_cast<int>(s.size()) || count <= 0) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const String& sub, String& s, int index) {
    if (index < 1) index = 1;
    if (index > static_cast<int>(s.size()) + 1) index = static_cast<int>(s.size()) + 1;
    s.insert(static_cast<size_t>(index - 1), sub);
}

void SetLength(String& s, int length) { s.resize(static_cast<size_t>(std::max(length, 0))); }

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags) {
    if (oldPattern.empty()) return s;
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    const String hay = ignoreCase ? AnsiUpperCase(s) : String();
    const String needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    const String& search = ignoreCase ? hay : s;
    String out;
    size_t from = 0;
    while (true) {
        size_t p = search.find(needle, from);
        if (p == String::npos) break;
        out.append(s, from, p - from);
        out += newPattern;
        from = p + needle.size();
        if ((flags & rfReplaceAll) == 0) break;
    }
    out.append(s, from, String::npos);
    return out;
}

String StringOfChar(Char c, int count) { return String(static_cast<size_t>(std::max(count, 0)), c); }

String AnsiQuotedStr(const String& s, Char quote) {
    String out;
    out.reserve(s.size() + 2);
    out.push_back(quote);
    for (Char c : s) {
        out.push_back(c);
        if (c == quote) out.push_back(c);
    }
    out.push_back(quote);
    return out;
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, u'\''); }

String AnsiExtractQuotedStr(String& s, Char quote) {
    if (s.empty() || s[0] != quote) return String();
    String out;
    size_t k = 1;
    while (k < s.size()) {
        if (s[k] == quote) {
            if (k + 1 < s.size() && s[k + 1] == quote) {
                out.push_back(quote);
                k += 2;
                continue;
            }
            ++k;  // the closing quote
            break;
        }
        out.push_back(s[k++]);
    }
    s.erase(0, k);
    return out;
}

String AnsiDequotedStr(const String& s, Char quote) {
    String rest = s;
    String out = AnsiExtractQuotedStr(rest, quote);
    // Text that is not one quoted piece comes back as it was.
    if ((out.empty() || rest.empty()) && !s.empty() && (s.front() != quote || s.back() != quote)) return s;
    return out;
}

bool IsDelimiter(const String& delimiters, const String& s, int index) {
    if (index < 1 || index > static_cast<int>(s.size())) return false;
    return delimiters.find(s[index - 1]) != String::npos;
}

int LastDelimiter(const String& delimiters, const String& s) {
    size_t p = s.find_last_of(delimiters);
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

std::vector<String> SplitDelimitedText(const String& text, Char delimiter, Char quoteChar, bool strict) {
    // Walks the text as the original walked a zero-terminated buffer: a NUL
    // character ends it.
    auto at = [&](size_t k) -> Char { return k < text.size() ? text[k] : Char(0); };
    auto isBlank = [](Char c) { return c >= 1 && c <= u' '; };
    std::vector<String> items;
    size_t p = 0;
    if (!strict)
        while (isBlank(at(p))) ++p;
    while (at(p) != 0) {
        String item;
        if (at(p) == quoteChar) {
            String rest = text.substr(p);
            size_t nul = rest.find(Char(0));
            if (nul != String::npos) rest.resize(nul);
            size_t before = rest.size();
            item = AnsiExtractQuotedStr(rest, quoteChar);
            p += before - rest.size();
        } else {
            size_t start = p;
            while (((!strict && at(p) > u' ') || (strict && at(p) != 0)) && at(p) != delimiter) ++p;
            item = text.substr(start, p - start);
        }
        items.push_back(std::move(item));
        if (!strict)
            while (isBlank(at(p))) ++p;
        if (at(p) == delimiter) {
            if (at(p + 1) == 0) items.emplace_back();
            do {
                ++p;
            } while (!strict && isBlank(at(p)));
        }
    }
    return items;
}

String JoinDelimitedText(const std::vector<String>& items, Char delimiter, Char quoteChar, bool strict) {
    if (items.size() == 1 && items[0].empty()) return String(2, quoteChar);
    String out;
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0) out.push_back(delimiter);
        const String& s = items[k];
        bool quote = std::any_of(s.begin(), s.end(), [&](Char c) {
            return c == delimiter || c == quoteChar || c == 0 || (!strict && c <= u' ');
        });
        out += quote ? AnsiQuotedStr(s, quoteChar) : s;
    }
    return out;
}

std::vector<String> SplitString(const String& s, Char delimiter) {
    std::vector<String> out;
    size_t from = 0;
    while (true) {
        size_t p = s.find(delimiter, from);
        if (p == String::npos) {
            out.push_back(s.substr(from));
            return out;
        }
        out.push_back(s.substr(from, p - from));
        from = p + 1;
    }
}

// ---------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------

namespace {
[[noreturn]] void RaiseInvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

Int64 CheckedInt64(double whole) {
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)) RaiseInvalidOp();
    return static_cast<Int64>(whole);
}
}  // namespace

Int64 Round(double value) {
    if (!std::isfinite(value)) RaiseInvalidOp();
    double lower = std::floor(value);
    double diff = value - lower;
    double result;
    if (diff > 0.5) result = lower + 1;
    else if (diff < 0.5) result = lower;
    else result = std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
    return CheckedInt64(result);
}

Int64 Trunc(double value) {
    if (!std::isfinite(value)) RaiseInvalidOp();
    return CheckedInt64(std::trunc(value));
}

double Frac(double value) { return value - std::trunc(value); }

Int64 Floor(double value) {
    if (!std::isfinite(value)) RaiseInvalidOp();
    return CheckedInt64(std::floor(value));
}

Int64 Ceil(double value) {
    if (!std::isfinite(value)) RaiseInvalidOp();
    return CheckedInt64(std::ceil(value));
}

void RaiseDivByZero() { throw EDivByZero("Division by zero"); }

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    Int64 product = static_cast<Int64>(a) * b;
    bool negative = (product < 0) != (c < 0);
    UInt64 p = product < 0 ? UInt64(0) - static_cast<UInt64>(product) : static_cast<UInt64>(product);
    UInt64 d = c < 0 ? UInt64(0) - static_cast<UInt64>(static_cast<Int64>(c)) : static_cast<UInt64>(c);
    UInt64 q = (p + d / 2) / d;
    if (q > static_cast<UInt64>(std::numeric_limits<int>::max()) + (negative ? 1 : 0)) return -1;
    return negative ? static_cast<int>(-static_cast<Int64>(q)) : static_cast<int>(q);
}

void Abort() { throw EAbort("Operation aborted"); }

// ---------------------------------------------------------------------------
// Misc
// ---------------------------------------------------------------------------

void Assert(bool condition, const String& message, TSourceLocation where) {
    if (condition) return;
    throw EAssertionFailed(message + u" (" + Utf8ToString(where.File) + u", line " +
                           IntToStr(static_cast<Int64>(where.Line)) + u")");
}

bool CharIsNumber(Char c) {
    switch (QChar(c).category()) {
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other: return true;
    default: return false;
    }
}

Cardinal GetCurrentProcessId() { return static_cast<Cardinal>(::getpid()); }

int LocaleMeasurementSystem(const String& localeName) {
    const QLocale locale = localeName.empty()
                               ? QLocale::system()
                               : QLocale(QString::fromUtf16(localeName.data(), static_cast<qsizetype>(localeName.size())));
    // Only the U.S. system is non-metric; the United Kingdom's mixed system counts as metric.
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? 1 : 0;
}
