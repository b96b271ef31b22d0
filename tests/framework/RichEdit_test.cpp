#include "framework/RichEdit.h"

#include "framework/Forms.h"

#include "support/Place.h"

#include <gtest/gtest.h>

namespace {

TRichFormat Fmt(const char16_t* name, int size, TFontStyles style = {}, TColor color = clWindowText, int offset = 0) {
    TRichFormat f;
    f.Name = name;
    f.Size = size;
    f.Style = style;
    f.Color = color;
    f.Offset = offset;
    return f;
}

TRichDocument Sample() {
    TRichDocument d;
    TRichParagraph p1;
    p1.Runs = {{u"Plain {braces} and \\ back", Fmt(u"Tahoma", 8)},
               {u" bold red", Fmt(u"Tahoma", 8, {fsBold}, clRed)},
               {u" big italic", Fmt(u"Arial", 14, {fsItalic})},
               {u"2", Fmt(u"Arial", 14, {}, clWindowText, 60)},
               {u" x", Fmt(u"Arial", 14, {fsUnderline, fsStrikeOut})},
               {u"i", Fmt(u"Arial", 14, {}, RGB(0, 128, 0), -40)}};
    TRichParagraph p2;
    p2.Alignment = taCenter;
    p2.Runs = {{u"Gr\u00FC\u00DFe \u20AC \u4E2D \uFF21\ttab\u2028next line", Fmt(u"Courier New", 10)}};
    TRichParagraph empty;
    empty.Alignment = taRightJustify;
    TRichParagraph p4;
    p4.Justified = true;
    p4.Runs = {{u"last", Fmt(u"Tahoma", 9)}};
    d.Paragraphs = {p1, p2, empty, p4};
    return d;
}

void ExpectSame(const TRichDocument& a, const TRichDocument& b) {
    ASSERT_EQ(a.Paragraphs.size(), b.Paragraphs.size());
    for (size_t i = 0; i < a.Paragraphs.size(); ++i) {
        const TRichParagraph &x = a.Paragraphs[i], &y = b.Paragraphs[i];
        EXPECT_EQ(x.Alignment, y.Alignment) << i;
        EXPECT_EQ(x.Justified, y.Justified) << i;
        ASSERT_EQ(x.Runs.size(), y.Runs.size()) << i;
        for (size_t r = 0; r < x.Runs.size(); ++r) {
            EXPECT_EQ(x.Runs[r].Text, y.Runs[r].Text) << i << "/" << r;
            EXPECT_TRUE(x.Runs[r].Format == y.Runs[r].Format) << i << "/" << r;
        }
    }
}

}  // namespace

// A paragraph in the format of the one before starts with text right after "\\pard".
TEST(RichEdit, ParagraphsInTheSameFormatKeepTheirText) {
    TRichDocument d;
    for (const char16_t* t : {u"first", u"second", u"7 digits", u" blank"}) {
        d.Paragraphs.emplace_back();
        d.Paragraphs.back().Runs.push_back({t, Fmt(u"Tahoma", 8)});
    }
    const ByteString rtf = WriteRTF(d);
    ExpectSame(ReadRTF(rtf), d);
    EXPECT_EQ(WriteRTF(ReadRTF(rtf)), rtf);
}

TEST(RichEdit, RtfIsWrittenBackByteForByte) {
    const ByteString rtf = WriteRTF(Sample());
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("\\u-223?"), std::string::npos);  // U+FF21 as a signed 16-bit number
    EXPECT_NE(rtf.find("\\up6 "), std::string::npos);    // half-points
    EXPECT_NE(rtf.find("\\dn4 "), std::string::npos);
    const TRichDocument back = ReadRTF(rtf);
    ExpectSame(back, Sample());
    EXPECT_EQ(WriteRTF(back), rtf);

    // Through the control too: loaded and saved unchanged, the same bytes.
    TForm form(nullptr);
    auto* edit = Place<TRichEdit>(&form, 0, 0, 300, 200);
    edit->SetRTF(rtf);
    EXPECT_EQ(edit->RTF(), rtf);
    EXPECT_EQ(edit->Text(), Sample().PlainText());
}

TEST(RichEdit, ReadsOtherRtfKeepingItsText) {
    const ByteString foreign =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern{\\*\\panose 02}Courier New;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}{\\*\\generator Other 1.0;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Hidden}}"
        "\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20 Hello \\b bold\\b0  {\\i it}\\par\r\n"
        "\\qc\\cf1\\f1 red \\u-3913?\\uc2\\u8364 xx end\\'e9\\par\r\n"
        "\\pard\\cf2\\super up\\nosupersub\\unknownword7  kept}";
    const TRichDocument d = ReadRTF(foreign);
    ASSERT_EQ(d.Paragraphs.size(), 3u);
    EXPECT_EQ(d.PlainText(), u"Hello bold it\r\nred \uF0B7\u20AC end\u00E9\r\nup kept");
    const TRichParagraph& p1 = d.Paragraphs[0];
    ASSERT_EQ(p1.Runs.size(), 4u);
    EXPECT_EQ(p1.Runs[0].Format.Name, u"Arial");
    EXPECT_EQ(p1.Runs[0].Format.Size, 10);
    EXPECT_TRUE(p1.Runs[1].Format.Style.Contains(fsBold));
    EXPECT_TRUE(p1.Runs[3].Format.Style.Contains(fsItalic));
    const TRichParagraph& p2 = d.Paragraphs[1];
    EXPECT_EQ(p2.Alignment, taCenter);
    EXPECT_EQ(p2.Runs[0].Format.Name, u"Courier New");
    EXPECT_EQ(p2.Runs[0].Format.Color, RGB(255, 0, 0));
    const TRichParagraph& p3 = d.Paragraphs[2];
    EXPECT_EQ(p3.Alignment, taLeftJustify);
    EXPECT_EQ(p3.Runs[0].Format.Offset, 60);
    EXPECT_EQ(p3.Runs[0].Format.Color, RGB(0, 0, 255));
    EXPECT_EQ(p3.Runs.back().Format.Offset, 0);

    // Text that is not RTF is plain text, one character per byte.
    const TRichDocument plain = ReadRTF("first\r\nsecond \xe9");
    EXPECT_EQ(plain.PlainText(), u"first\r\nsecond \u00E9");
    // Broken RTF never throws and keeps what it can.
    EXPECT_EQ(ReadRTF("{\\rtf1 open {group \\b").PlainText(), u"open group ");
}

TEST(RichEdit, SelectionFormatSizeRequestAndDrawing) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* edit = Place<TRichEdit>(&form, 0, 0, 300, 200);
    int requests = 0;
    edit->OnResizeRequest = [&](TObject*, TSize) { ++requests; };
    edit->SetText(u"H2O and x2");
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    edit->SetSelOffset(-40);
    edit->SetSelStart(9);
    edit->SetSelLength(1);
    edit->SetSelOffset(40);
    EXPECT_EQ(edit->SelAttributes().Offset, 40);
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelAttributes().Offset, 0);
    TRichFormat bold = edit->SelAttributes();
    bold.Style.Include(fsBold);
    bold.Color = clBlue;
    edit->SetSelAttributes(bold);
    EXPECT_TRUE(edit->SelAttributes().Style.Contains(fsBold));
    EXPECT_EQ(edit->SelText(), u"H");
    const ByteString rtf = edit->RTF();
    EXPECT_NE(rtf.find("\\dn4 2"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\up4 2"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\b H"), std::string::npos) << rtf;
    EXPECT_EQ(edit->Text(), u"H2O and x2");

    const TSize one = edit->RequestedSize();
    edit->SetText(u"one\r\ntwo\r\nthree\r\nfour");
    const TSize four = edit->RequestedSize();
    EXPECT_GT(four.cy, one.cy);
    EXPECT_GT(requests, 0);

    // Drawn into a rectangle of 1 by 0.5 inches at (0.5, 0.25) inches: pixels
    // 48..144 x 24..72; nothing outside.
    TRichDocument red;
    red.Paragraphs.resize(1);
    red.Paragraphs[0].Runs = {{u"XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", Fmt(u"Arial", 20, {fsBold}, clRed)}};
    edit->SetDocument(red);
    TBitmap bmp(200, 120);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, 200, 120));
    edit->DrawInto(bmp.Canvas(), Rect(720, 360, 2160, 1080));
    int inside = 0, outside = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            if (bmp.Canvas().Pixels(x, y) == clWhite) continue;
            (x >= 48 && x < 144 && y >= 24 && y < 72 ? inside : outside)++;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}
