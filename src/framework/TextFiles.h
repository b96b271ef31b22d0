#pragma once
// Whole text files: read with byte-order-mark detection, split into lines at
// any of the three line ends, written in a stated encoding and atomically.

#include "framework/System.h"

#include <string_view>
#include <vector>

enum class TTextEncoding {
    Utf8,         // no mark
    Utf8Bom,      // EF BB BF first
    Utf16LE,      // FF FE first
    Windows1252,  // the ANSI code page; characters without a byte become '?'
    Latin1,       // characters above U+00FF become '?'
    Oem,          // code page 850; characters without a byte become '?'
};

// A UTF-8 mark, a UTF-16 LE or BE mark selects that encoding (the mark is
// dropped); bytes without a mark are Windows-1252.
String DecodeText(std::string_view bytes);

// Lines end at CR LF, LF or CR, mixed freely. A line end at the very end does
// not start another line: "a\r\nb\r\n" and "a\nb" both give {"a", "b"}, ""
// gives no line and "\n" one empty line.
std::vector<String> SplitLines(std::u16string_view text);

// EFOpenError when the file cannot be read.
String ReadTextFile(const String& fileName);
std::vector<String> ReadTextLines(const String& fileName);

// The bytes of text, with the mark of the encodings that have one.
ByteString EncodeText(std::u16string_view text, TTextEncoding encoding);
// Written whole and atomically (see WriteFileAtomic); EFCreateError on failure.
void WriteTextFile(const String& fileName, std::u16string_view text, TTextEncoding encoding);
