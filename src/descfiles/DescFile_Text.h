#pragma once
// What the four description-file writers share: reading numbers by the
// number rule, and saving a list of lines whole in the file's encoding.

#include "framework/System.h"

#include <initializer_list>
#include <optional>
#include <vector>

// A description file that cannot be made from the project's data (a
// character the file's encoding cannot hold, a required value that does not
// read). The message says what and where; nothing has been written.
class EDescFileError : public Exception {
public:
    using Exception::Exception;
};

// The number rule (leading blanks, sign, decimal or "$"/"0x" hexadecimal).
// False when the text does not read as a whole number.
bool Read_Number(const String& text, int& value);
// The number of a text that may be missing; Default when it is missing or
// does not read.
int Number_Or(const std::optional<String>& text, int Default);

enum class TDescEncoding {
    Utf8,     // no byte-order mark
    Utf8Bom,  // EF BB BF first
    Latin1,   // ISO 8859-1, as the GSDML files that declare it
    Ansi,     // the single-byte code page of GSD, EDS and MIB files (Windows-1252)
};

// The lines, each ended by CR LF (the last one too), in the encoding, written
// whole and atomically. A character the encoding cannot hold raises
// EDescFileError naming it and its line, and nothing is written; a file that
// cannot be created raises EFCreateError and leaves the old one.
void Save_Desc_Lines(const String& path, const std::vector<String>& lines, TDescEncoding encoding);
// The bytes Save_Desc_Lines writes.
ByteString Encode_Desc_Lines(const std::vector<String>& lines, TDescEncoding encoding);

// "U+20AC" and the character itself, for messages.
String Describe_Char(char32_t c);

// Shows why a description file was not written, in an error box titled as
// the desktop titles errors.
void Show_Desc_Error(const Exception& e);
