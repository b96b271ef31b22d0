#include "grid/foundation/CellCodecs.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

std::string Show(const String& s) {
    std::string r;
    for (Char c : s) r += c < 32 || c > 126 ? "#" + std::to_string(int(c)) + " " : std::string(1, char(c));
    return r;
}

String Chars(std::initializer_list<int> cs) {
    String s;
    for (int c : cs) s += Char(c);
    return s;
}

TEST(CellCodecs, FileFormRoundTripsEveryText) {
    const String texts[] = {
        u"plain",
        u"a\r\nb",
        u"a\rb",            // lone CR
        u"a\nb",            // lone LF
        u"tab\there\r\nx",  // tab in a multi-line text
        Chars({'a', 0, 'b', 13, 10, 'c'}),
        Chars({'x', 1, 'y', 8, 'z'}),
        Chars({8, 'l', 'e', 'a', 'd'}),
        u"\u20AC\r\n\u20AC",
        u"",
        u"\r\n",
    };
    for (const String& t : texts) {
        const String e = EncodeCellLineBreaks(t);
        EXPECT_EQ(e.find_first_of(u"\r\n"), String::npos) << Show(t);
        EXPECT_EQ(DecodeCellLineBreaks(e, true), t) << Show(t) << " -> " << Show(e);
    }
}

TEST(CellCodecs, FileFormKeepsTheEstablishedBytes) {
    // Line breaks as CR LF pairs and #0: tab, #8 and #1 as the file always had them.
    EXPECT_EQ(EncodeCellLineBreaks(Chars({'a', 13, 10, 'b', 0})), Chars({'a', 9, 8, 'b', 1}));
    EXPECT_EQ(DecodeCellLineBreaks(Chars({'a', 9, 8, 'b', 1}), true), Chars({'a', 13, 10, 'b', 0}));
    EXPECT_EQ(DecodeCellLineBreaks(Chars({'a', 9, 8, 'b'}), false), u"a");
    // Files of that form with a tab and no #8 hold a single-line text.
    EXPECT_EQ(DecodeCellLineBreaks(Chars({'a', 9, 'b'}), true), Chars({'a', 9, 'b'}));
    EXPECT_EQ(EncodeCellLineBreaks(Chars({'a', 9, 0})), Chars({'a', 9, 0}));
}

TEST(CellCodecs, WideEncoding) {
    EXPECT_EQ(EncodeWideCellText(u"\u20AC"), Chars({'|', '\\', 0x20, 0xAC}));
    EXPECT_EQ(EncodeWideCellText(u""), u"|\\");
    EXPECT_EQ(DecodeWideCellText(Chars({'|', '\\', 0x20, 0xAC})), u"\u20AC");
    EXPECT_EQ(DecodeWideCellText(Chars({'|', '\\', 0, 'A', 0})), u"A");  // the odd last one is ignored
    EXPECT_EQ(DecodeWideCellText(u"plain"), u"plain");
    const String w = u"=x\u00E9\uFFFF";
    EXPECT_EQ(DecodeWideCellText(EncodeWideCellText(w)), w);
}

TEST(CellCodecs, CommaSeparatedHelpers) {
    String s = u"x";
    QuoteMultiLine(s);
    EXPECT_EQ(s, u"\"x\"");
    s = u"a\r\nb";
    QuoteMultiLine(s);
    EXPECT_EQ(s, Chars({'"', 'a', 11, 'b', '"'}));
    s = Chars({'a', 11, 'b'});
    LTToCRLF(s);
    EXPECT_EQ(s, u"a\r\nb");
    s = u"a\r\nb\r";
    CRLFToLF(s);
    EXPECT_EQ(s, u"a\nb\r");
    EXPECT_EQ(DoubleQuoteChars(u"say \"hi\""), u"say \"\"hi\"\"");
    EXPECT_EQ(CollapseDoubledChar(u'"', u"\"\"\"\""), u"\"\"");
    EXPECT_EQ(CollapseDoubledChar(u'"', u"a\"\"\"b"), u"a\"\"b");

    struct Case {
        const char16_t* text;
        int end;
    } cases[] = {{u"abc'',def'", 10}, {u"abc'def", 4}, {u"abc''def", 0}, {u"'", 1}, {u"'''x", 3}, {u"", 0}};
    for (const Case& c : cases) {
        int p = -1;
        EXPECT_EQ(FindQuoteEnd(u'\'', c.text, p), c.end) << Show(c.text);
        EXPECT_EQ(p, c.end);
    }
    EXPECT_EQ(CountQuoteEnds(u'\'', u"a',b',c"), 2);

    s = u"a\r\nb";
    CRLFToTilde(s);
    EXPECT_EQ(s, u"a~b");
    TildeToCRLF(s);
    EXPECT_EQ(s, u"a\r\nb");
    s = u"^";
    TildeToCRLF(s);
    EXPECT_EQ(s, u"");
}

TEST(CellCodecs, LineBreakForms) {
    EXPECT_EQ(UnescapeLineBreaks(EscapeLineBreaks(u"a\r\nb")), u"a\rb");
    EXPECT_EQ(EscapeLineBreaks(u"a\r\nb"), u"a\\nb");
    EXPECT_EQ(CRToHTMLBreak(u"a\r\nb"), u"a<br>\nb");
    EXPECT_EQ(CRToHTMLBreak(u"a\nb"), u"a\nb");
    EXPECT_EQ(StripCR(u"a\r\nb\r"), u"a\nb");
    EXPECT_EQ(CRToLF(u"a\r\nb"), u"a\n\nb");
}

TEST(CellCodecs, HtmlClipboardHeader) {
    const String head =
        u"Version:1.0\r\nStartHTML:00000097\r\nEndHTML:%s\r\nStartFragment:00000274\r\nEndFragment:%s\r\n"
        u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
        u"<html><head><META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\"></head><body>"
        u"<!--StartFragment-->";
    auto expected = [&](const String& frag, const char16_t* end, const char16_t* fragEnd) {
        String h = head;
        h.replace(h.find(u"%s"), 2, end);
        h.replace(h.find(u"%s"), 2, fragEnd);
        return h + frag + u"<!--EndFragment--></body></html>";
    };
    String s;
    MakeCFHTML(s);
    EXPECT_EQ(s, expected(u"", u"00000306", u"00000274"));
    EXPECT_EQ(s.size(), 306u);
    s = u"<b>x</b>";
    MakeCFHTML(s);
    EXPECT_EQ(s, expected(u"<b>x</b>", u"00000314", u"00000282"));
    EXPECT_EQ(s.substr(274, 8), u"<b>x</b>");
    EXPECT_EQ(s.substr(97, 9), u"<!DOCTYPE");
}

}  // namespace
