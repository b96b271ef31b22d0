#include "descfiles/DescFile_Text.h"

#include "framework/Dialogs.h"
#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <climits>

bool Read_Number(const String& text, int& value) {
    // Two different defaults agree only when the text itself read.
    const int low = StrToIntDef(text, INT_MIN);
    const int high = StrToIntDef(text, INT_MAX);
    if (low != high) return false;
    value = low;
    return true;
}

int Number_Or(const std::optional<String>& text, int Default) {
    int value;
    if (text && Read_Number(*text, value)) return value;
    return Default;
}

String Describe_Char(char32_t c) {
    String hex = HexOf(c, 4);
    String shown;
    if (c >= 0x20 && c != 0x7F && !(c >= 0xD800 && c <= 0xDFFF)) {
        if (c > 0xFFFF) {
            c -= 0x10000;
            shown += Char(0xD800 + (c >> 10));
            shown += Char(0xDC00 + (c & 0x3FF));
        } else {
            shown += Char(c);
        }
        return u"\"" + shown + u"\" (U+" + hex + u")";
    }
    return u"U+" + hex;
}

namespace {

const char16_t* Encoding_Name(TDescEncoding encoding) {
    switch (encoding) {
    case TDescEncoding::Latin1: return u"ISO-8859-1";
    case TDescEncoding::Ansi: return u"Windows-1252";
    default: return u"UTF-8";
    }
}

// The code point at i (a surrogate pair read as one), advancing i.
char32_t Next_Code_Point(const String& s, size_t& i) {
    char32_t c = s[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
    return c;
}

[[noreturn]] void Refuse(char32_t c, TDescEncoding encoding, int line) {
    throw EDescFileError(Lang_Message(1191, {Describe_Char(c), IntToStr(line), Encoding_Name(encoding)}));
}

}  // namespace

ByteString Encode_Desc_Lines(const std::vector<String>& lines, TDescEncoding encoding) {
    ByteString out;
    if (encoding == TDescEncoding::Utf8Bom) out = "\xEF\xBB\xBF";
    for (size_t n = 0; n < lines.size(); ++n) {
        const String& line = lines[n];
        switch (encoding) {
        case TDescEncoding::Utf8:
        case TDescEncoding::Utf8Bom:
            for (size_t i = 0; i < line.size();) {
                char32_t c = Next_Code_Point(line, i);
                // A lone surrogate has no UTF-8 form; it would turn into U+FFFD silently.
                if (c >= 0xD800 && c <= 0xDFFF) Refuse(c, encoding, int(n) + 1);
            }
            out += StringToUtf8(line);
            break;
        case TDescEncoding::Latin1: {
            ByteString bytes;
            size_t bad = 0;
            if (!TryStringToLatin1(line, bytes, &bad)) {
                size_t i = bad;
                Refuse(Next_Code_Point(line, i), encoding, int(n) + 1);
            }
            out += bytes;
            break;
        }
        case TDescEncoding::Ansi: {
            ByteString bytes = StringToWindows1252(line);
            if (Windows1252ToString(bytes) != line) {
                // Find the first character that did not survive the round trip.
                for (size_t i = 0; i < line.size();) {
                    size_t at = i;
                    char32_t c = Next_Code_Point(line, i);
                    String one = line.substr(at, i - at);
                    if (Windows1252ToString(StringToWindows1252(one)) != one) Refuse(c, encoding, int(n) + 1);
                }
            }
            out += bytes;
            break;
        }
        }
        out += "\r\n";
    }
    return out;
}

void Save_Desc_Lines(const String& path, const std::vector<String>& lines, TDescEncoding encoding) {
    WriteFileAtomic(path, Encode_Desc_Lines(lines, encoding));
}

void Show_Desc_Error(const Exception& e) {
    String msg = e.Message();
    if (!msg.empty() && msg.back() > u'.') msg += u'.';
    MessageDlg(msg, mtError, TMsgDlgButtons{mbOK});
}
