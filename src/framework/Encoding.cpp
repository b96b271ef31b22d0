#include "framework/Encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Code points of the bytes 0x80..0xFF.
using HighHalf = std::array<char16_t, 128>;

constexpr HighHalf kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

constexpr HighHalf kCodePage850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Reverse map of one code page over the Basic Multilingual Plane; 0 means
// "no byte" (U+0000 itself is handled before the lookup).
struct ReverseTable {
    std::array<std::uint8_t, 0x10000> bytes{};
    explicit ReverseTable(const HighHalf& high) {
        for (int b = 0; b < 0x80; ++b) bytes[b] = static_cast<std::uint8_t>(b);
        for (int i = 0; i < 128; ++i) bytes[high[i]] = static_cast<std::uint8_t>(0x80 + i);
    }
};

String Decode(std::string_view bytes, const HighHalf& high) {
    String out;
    out.resize(bytes.size());
    std::size_t i = 0;
    // ASCII stays as it is: eight at a time while it lasts.
    for (; i + 8 <= bytes.size(); i += 8) {
        unsigned char any = 0;
        for (std::size_t k = 0; k < 8; ++k) any |= static_cast<unsigned char>(bytes[i + k]);
        if (any >= 0x80) break;
        for (std::size_t k = 0; k < 8; ++k) out[i + k] = char16_t(static_cast<unsigned char>(bytes[i + k]));
    }
    for (; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = b < 0x80 ? char16_t(b) : high[b - 0x80];
    }
    return out;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

ByteString Encode(std::u16string_view text, const ReverseTable& table) {
    ByteString out;
    // Mostly ASCII, which stays as it is: narrowed sixteen at a time while it
    // lasts, through local blocks the compiler turns into vector moves.
    out.resize(text.size());
    std::size_t i = 0;
    for (; i + 16 <= text.size(); i += 16) {
        char16_t wide[16];
        std::memcpy(wide, text.data() + i, sizeof wide);
        char16_t any = 0;
        for (char16_t c : wide) any |= c;
        if (any >= 0x80) break;
        char narrow[16];
        for (std::size_t k = 0; k < 16; ++k) narrow[k] = static_cast<char>(wide[k]);
        std::memcpy(out.data() + i, narrow, sizeof narrow);
    }
    out.resize(i);
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == 0) {
            out.push_back('\0');
            continue;
        }
        const std::uint8_t b = table.bytes[c];
        if (b != 0) {
            out.push_back(static_cast<char>(b));
            continue;
        }
        out.push_back('?');
        // A character outside the Basic Multilingual Plane is one '?', not two.
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
    return out;
}

const ReverseTable& Reverse1252() {
    static const ReverseTable table(kWindows1252);
    return table;
}

const ReverseTable& Reverse850() {
    static const ReverseTable table(kCodePage850);
    return table;
}

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
    String out;
    out.reserve(bytes.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(bigEndian ? char16_t((b0 << 8) | b1) : char16_t((b1 << 8) | b0));
    }
    if (i < bytes.size()) out.push_back(u'\uFFFD');
    return out;
}

ByteString EncodeUtf16(std::u16string_view text, bool bigEndian) {
    ByteString out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        if (bigEndian) {
            out.push_back(hi);
            out.push_back(lo);
        } else {
            out.push_back(lo);
            out.push_back(hi);
        }
    }
    return out;
}

}  // namespace

String Windows1252ToString(std::string_view bytes) { return Decode(bytes, kWindows1252); }
ByteString StringToWindows1252(std::u16string_view text) { return Encode(text, Reverse1252()); }

String OemToString(std::string_view bytes) { return Decode(bytes, kCodePage850); }
ByteString StringToOem(std::u16string_view text) { return Encode(text, Reverse850()); }

String Latin1ToString(std::string_view bytes) {
    String out;
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
}

ByteString StringToLatin1(std::u16string_view text) {
    ByteString out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c <= 0xFF) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('?');
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
    return out;
}

bool TryStringToLatin1(std::u16string_view text, ByteString& out, std::size_t* badIndex) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF) {
            if (badIndex) *badIndex = i;
            return false;
        }
    }
    out = StringToLatin1(text);
    return true;
}

String Utf16LEToString(std::string_view bytes) { return DecodeUtf16(bytes, false); }
String Utf16BEToString(std::string_view bytes) { return DecodeUtf16(bytes, true); }
ByteString StringToUtf16LE(std::u16string_view text) { return EncodeUtf16(text, false); }
ByteString StringToUtf16BE(std::u16string_view text) { return EncodeUtf16(text, true); }
