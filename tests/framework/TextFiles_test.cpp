#include "framework/TextFiles.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
String P(const std::string& utf8) { return Utf8ToString(utf8); }
}  // namespace

TEST(TextFiles, TheByteOrderMarkSelectsTheEncoding) {
    // STR11 = \u00B6Opened \u20AC\u00B6 in each form a language file may take.
    const String expected = u"STR11 = \u00B6Opened \u20AC\u00B6";
    struct Case { const char* name; std::string bytes; } cases[] = {
        {"utf-8 mark", "\xEF\xBB\xBFSTR11 = \xC2\xB6Opened \xE2\x82\xAC\xC2\xB6"},
        {"utf-16le mark", std::string("\xFF\xFES\0T\0R\0" "1\0" "1\0 \0=\0 \0\xB6\0O\0p\0e\0n\0e\0d\0 \0\xAC\x20\xB6\0", 38)},
        {"utf-16be mark", std::string("\xFE\xFF\0S\0T\0R\0" "1\0" "1\0 \0=\0 \0\xB6\0O\0p\0e\0n\0e\0d\0 \x20\xAC\0\xB6", 38)},
        {"windows-1252", "STR11 = \xB6Opened \x80\xB6"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes), expected) << c.name;
        dir.write("English.lng", c.bytes);
        EXPECT_EQ(ReadTextFile(P(dir.file("English.lng"))), expected) << c.name;
    }
    EXPECT_EQ(DecodeText(""), u"");
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF"), u"");
}

TEST(TextFiles, LinesEndAtCrLfLfOrCr) {
    struct Case { std::u16string_view text; std::vector<String> lines; } cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\nb\r\n", {u"a", u"b"}},
        {u"a\nb", {u"a", u"b"}},
        {u"a\rb\nc\r\n\r\nd\n\re", {u"a", u"b", u"c", u"", u"d", u"", u"e"}},
        {u"\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"x\n\n", {u"x", u""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << StringToUtf8(c.text);
}

TEST(TextFiles, WrittenInTheStatedEncodingAndReadBack) {
    const String text = u"\u00C4\u00B6\u20AC\r\nz";
    struct Case { TTextEncoding enc; std::string bytes; bool roundTrips; } cases[] = {
        {TTextEncoding::Utf8, "\xC3\x84\xC2\xB6\xE2\x82\xAC\r\nz", false},  // without a mark it reads as 1252
        {TTextEncoding::Utf8Bom, "\xEF\xBB\xBF\xC3\x84\xC2\xB6\xE2\x82\xAC\r\nz", true},
        {TTextEncoding::Utf16LE, std::string("\xFF\xFE\xC4\0\xB6\0\xAC\x20\r\0\n\0z\0", 14), true},
        {TTextEncoding::Windows1252, "\xC4\xB6\x80\r\nz", true},
        {TTextEncoding::Latin1, "\xC4\xB6?\r\nz", false},
        {TTextEncoding::Oem, "\x8E\xF4?\r\nz", false},
    };
    TempDir dir;
    const String path = P(dir.file("out.txt"));
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeText(text, c.enc), c.bytes) << int(c.enc);
        WriteTextFile(path, text, c.enc);
        EXPECT_EQ(dir.read("out.txt"), c.bytes) << int(c.enc);
        if (c.roundTrips) {
            EXPECT_EQ(ReadTextLines(path), (std::vector<String>{u"\u00C4\u00B6\u20AC", u"z"})) << int(c.enc);
        }
    }
}

TEST(TextFiles, AMissingFileRaisesOpenError) {
    TempDir dir;
    EXPECT_THROW(ReadTextLines(P(dir.file("Deutsch.lng"))), EFOpenError);
}
