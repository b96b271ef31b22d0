#pragma once
// Byte encodings of text met in files and at the converter: Windows-1252 (the
// code page the language files and older exports were written in), the OEM
// code page 850 (console-era exports), Latin-1 and UTF-16 in both byte orders.
// UTF-8 lives in System.h.

#include "framework/System.h"

#include <cstddef>
#include <string_view>

// Windows-1252. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the code points of the same value, as the Windows
// converter does, so every byte survives a round trip. Characters without a
// byte become '?' (one per code point).
String Windows1252ToString(std::string_view bytes);
ByteString StringToWindows1252(std::u16string_view text);

// OEM code page 850 (Western Europe). Bytes below 0x80 are ASCII.
// Characters without a byte become '?'.
String OemToString(std::string_view bytes);
ByteString StringToOem(std::u16string_view text);

// ISO 8859-1: each byte is the code point of the same value.
String Latin1ToString(std::string_view bytes);
// Characters above U+00FF become '?'.
ByteString StringToLatin1(std::u16string_view text);
// False when a character lies outside Latin-1; badIndex (when given) receives
// the 0-based UTF-16 index of the first such character. out is filled only on
// success.
bool TryStringToLatin1(std::u16string_view text, ByteString& out, std::size_t* badIndex = nullptr);

// UTF-16 bytes without a byte-order mark. An odd last byte becomes U+FFFD.
String Utf16LEToString(std::string_view bytes);
String Utf16BEToString(std::string_view bytes);
ByteString StringToUtf16LE(std::u16string_view text);
ByteString StringToUtf16BE(std::u16string_view text);
