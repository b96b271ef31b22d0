#include "framework/TextFiles.h"

#include "framework/Encoding.h"
#include "framework/Files.h"

namespace {
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
}  // namespace

String DecodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return Utf8ToString(bytes.substr(kUtf8Mark.size()));
    if (bytes.starts_with(kUtf16LEMark)) return Utf16LEToString(bytes.substr(kUtf16LEMark.size()));
    if (bytes.starts_with(kUtf16BEMark)) return Utf16BEToString(bytes.substr(kUtf16BEMark.size()));
    return Windows1252ToString(bytes);
}

std::vector<String> SplitLines(std::u16string_view text) {
    std::vector<String> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

String ReadTextFile(const String& fileName) { return DecodeText(ReadFileBytes(fileName)); }

std::vector<String> ReadTextLines(const String& fileName) { return SplitLines(ReadTextFile(fileName)); }

ByteString EncodeText(std::u16string_view text, TTextEncoding encoding) {
    switch (encoding) {
        case TTextEncoding::Utf8: return StringToUtf8(text);
        case TTextEncoding::Utf8Bom: return std::string(kUtf8Mark) + StringToUtf8(text);
        case TTextEncoding::Utf16LE: return std::string(kUtf16LEMark) + StringToUtf16LE(text);
        case TTextEncoding::Windows1252: return StringToWindows1252(text);
        case TTextEncoding::Latin1: return StringToLatin1(text);
        case TTextEncoding::Oem: return StringToOem(text);
    }
    return StringToUtf8(text);
}

void WriteTextFile(const String& fileName, std::u16string_view text, TTextEncoding encoding) {
    WriteFileAtomic(fileName, EncodeText(text, encoding));
}
