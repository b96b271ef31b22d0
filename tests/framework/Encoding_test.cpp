#include "framework/Encoding.h"

#include <gtest/gtest.h>

TEST(Encoding, Windows1252MapsTheSpecialRangeAndTheUndefinedBytes) {
    struct Case { unsigned char byte; char16_t ch; } cases[] = {
        {0x41, u'A'},       {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'},
        {0x90, u'\u0090'},  {0x9D, u'\u009D'}, {0x92, u'\u2019'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'},
        {0xB6, u'\u00B6'},  {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'},
    };
    for (const auto& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(Windows1252ToString(byte), String(1, c.ch)) << int(c.byte);
        EXPECT_EQ(StringToWindows1252(String(1, c.ch)), byte) << int(c.byte);
    }
}

TEST(Encoding, EverySingleByteCodePageRoundTripsAllBytes) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(StringToWindows1252(Windows1252ToString(all)), all);
    EXPECT_EQ(StringToOem(OemToString(all)), all);
    EXPECT_EQ(StringToLatin1(Latin1ToString(all)), all);
}

TEST(Encoding, Oem850HasTheWesternLetters) {
    EXPECT_EQ(OemToString("\x81\x84\x94\xE1\x9C\xF4\xFF"), u"\u00FC\u00E4\u00F6\u00DF\u00A3\u00B6\u00A0");
    EXPECT_EQ(StringToOem(u"\u00C4\u2500\u20AC"), "\x8E\xC4?");  // no euro in 850
}

TEST(Encoding, CharactersWithoutAByteBecomeOneQuestionMark) {
    EXPECT_EQ(StringToWindows1252(u"a\u0100b\U0001F600c"), "a?b?c");
    EXPECT_EQ(StringToLatin1(u"\u00E9\u20AC\U0001F600"), "\xE9??");
    ByteString out = "kept";
    size_t bad = 99;
    EXPECT_FALSE(TryStringToLatin1(u"ab\u20AC", out, &bad));
    EXPECT_EQ(bad, 2u);
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(TryStringToLatin1(u"\u00E9", out, &bad));
    EXPECT_EQ(out, "\xE9");
}

TEST(Encoding, Utf16InBothByteOrders) {
    const String text = u"A\u20AC\U0001F600";
    const std::string le("A\0\xAC\x20\x3D\xD8\x00\xDE", 8);
    const std::string be("\0A\x20\xAC\xD8\x3D\xDE\x00", 8);
    EXPECT_EQ(StringToUtf16LE(text), le);
    EXPECT_EQ(StringToUtf16BE(text), be);
    EXPECT_EQ(Utf16LEToString(le), text);
    EXPECT_EQ(Utf16BEToString(be), text);
    EXPECT_EQ(Utf16LEToString(std::string("A\0B", 3)), u"A\uFFFD");
}
