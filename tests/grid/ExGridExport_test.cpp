#include "grid/ExGrid.h"

#include "framework/Classes.h"
#include "framework/SysUtils.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

String P(const TempDir& t, const std::string& name) { return Utf8ToString(t.file(name)); }

std::string Golden(const std::string& name) {
    std::ifstream f(TestDataDir() + "/" + name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A fixed row of names, texts to escape, an empty cell, a letter outside
// Latin-1 and a merged area written once.
void FillXMLSample(TExStringGrid& g) {
    g.SetColCount(4);
    g.SetRowCount(4);
    const char16_t* texts[4][4] = {
        {u"", u"Name", u"Note", u"Value"},
        {u"1", u"a & b < c", u"say \"hi\"", u""},
        {u"2", u"\u03A9mega \u00E9", u"merged", u""},
        {u"3", u"x", u"", u"y"},
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) g.SetCellEx(c, r, texts[r][c]);
    g.MergeCells(2, 2, 2, 1);
}

}  // namespace

TEST(ExGridXML, GoldenFileAndRoundTrip) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillXMLSample(g);
    TStringList names;
    names.Add(u"NR");
    names.Add(u"NAME");
    g.Tools().SaveToXML(P(t, "list.xml"), u"LIST", u"REC", &names, true);
    EXPECT_EQ(t.read("list.xml"), Golden("grid.xml"));

    g.Tools().XMLEncoding = u"UTF-8";
    g.Tools().SaveToXML(P(t, "utf8.xml"), u"LIST", u"REC", nullptr, false);
    const std::string u8 = t.read("utf8.xml");
    EXPECT_NE(u8.find("<FIELD1>\xCE\xA9mega \xC3\xA9</FIELD1>"), std::string::npos);
    EXPECT_EQ(u8.find("&quot;&quot;"), std::string::npos);  // empty cells skipped

    TExStringGrid h(nullptr);
    h.SetColCount(9);
    h.SetRowCount(9);
    h.Tools().LoadFromXML(P(t, "list.xml"), false, false);
    EXPECT_EQ(h.ColCount(), 4);
    EXPECT_EQ(h.RowCount(), 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(r == 2 && c == 3)) EXPECT_EQ(h.GetGridCell(c, r), g.GetGridCell(c, r)) << c << "," << r;
    TExStringGrid u(nullptr);
    u.Tools().LoadFromXML(P(t, "utf8.xml"), false, false);
    EXPECT_EQ(u.GetGridCell(1, 2), u"\u03A9mega \u00E9");
}

TEST(ExGridXML, AttributesNamesAndErrors) {
    TempDir t;
    t.write("attr.xml", "<?xml version=\"1.0\"?><LIST><R id=\"1\" name=\"a\"/><R id=\"2\" name=\"b\"/></LIST>");
    TExStringGrid g(nullptr);
    g.Tools().LoadFromXML(P(t, "attr.xml"), false, true);
    EXPECT_EQ(g.GetGridCell(0, 0), u"id");
    EXPECT_EQ(g.GetGridCell(1, 0), u"name");
    EXPECT_EQ(g.GetGridCell(1, 2), u"b");
    EXPECT_EQ(g.RowCount(), 3);

    // Field names go to row 0 with LoadFieldDescr; records start under the fixed row.
    t.write("f.xml", "<L><R><A>1</A><B>2</B></R><R><A>3</A><B></B></R></L>");
    TExStringGrid f(nullptr);
    f.Tools().LoadFromXML(P(t, "f.xml"), false, true);
    EXPECT_EQ(f.GetGridCell(0, 0), u"A");
    EXPECT_EQ(f.GetGridCell(1, 0), u"B");
    EXPECT_EQ(f.GetGridCell(0, 2), u"3");
    EXPECT_EQ(f.RowCount(), 3);

    t.write("bad.xml", "<L>\n<R>\n</L>");
    struct Case {
        const char* File;
        const char16_t* Message;
    } cases[] = {{"none.xml", u"XML file not found"}, {"bad.xml", u"XMLDOM Parsing error "}};
    for (const Case& c : cases) {
        try {
            g.Tools().LoadFromXML(P(t, c.File), false, false);
            FAIL() << c.File;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().substr(0, String(c.Message).size()), c.Message);
        }
    }
    EXPECT_EQ(g.GetGridCell(1, 2), u"b");
    try {
        g.Tools().SaveToXML(P(t, "no/folder/x.xml"), u"L", u"R", nullptr, false);
        FAIL();
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"Cannot Create file " + P(t, "no/folder/x.xml"));
    }
}

namespace {

// A fixed row and column, a two-line cell, a merged 2 x 3 area, an empty
// cell, a letter outside Latin-1 and two cells with looks of their own.
void FillHTMLSample(TExStringGrid& g) {
    g.SetColCount(5);
    g.SetRowCount(5);
    const char16_t* texts[5][5] = {
        {u"", u"Name", u"Note", u"Value", u"Area"},
        {u"1", u"first\r\nsecond", u"\u03A9mega", u"7", u"m"},
        {u"2", u"", u"caf\u00E9", u"x", u""},
        {u"3", u"plain", u"", u"", u""},
        {u"4", u"last", u"z", u"", u""},
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellEx(c, r, texts[r][c]);
    g.MergeCells(3, 2, 2, 3);
    g.SetCellEx(3, 2, u"merged");
    g.GetCellProperties(3, 1)->SetAlignment(taRightJustify);
    g.GetCellProperties(1, 3)->SetFontStyle(TFontStyles{fsBold});
}

int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (auto p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(ExGridHTML, GoldenFilesPlainAndXHTML) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillHTMLSample(g);
    g.Tools().SaveToHTML(P(t, "plain.html"));
    g.Tools().HTMLSettings().XHTML = true;
    g.Tools().HTMLSettings().Summary = u"cells";
    g.Tools().SaveToHTML(P(t, "x.html"));
    const std::string plain = t.read("plain.html"), x = t.read("x.html");
    EXPECT_EQ(plain, Golden("grid.html"));
    EXPECT_EQ(x, Golden("grid_xhtml.html"));

    // One TD for the merged area, none for the cells it covers; one TD per
    // other cell of the 5 x 5 grid.
    EXPECT_EQ(Count(plain, "COLSPAN=\"2\" ROWSPAN=\"3\""), 1);
    EXPECT_EQ(Count(plain, "<TD "), 25 - 5);
    EXPECT_EQ(Count(plain, "<TR>"), 5);
    EXPECT_NE(plain.find(">first<br>\nsecond</td>"), std::string::npos);
    EXPECT_NE(plain.find(">&#937;mega</td>"), std::string::npos);  // 7-bit file, letter kept
    EXPECT_NE(plain.find(">&nbsp;</td>"), std::string::npos);
    EXPECT_NE(plain.find("text-align: right"), std::string::npos);
    EXPECT_NE(plain.find("font-weight: bold"), std::string::npos);
    EXPECT_EQ(plain.rfind("<style>", 0), 0u);
    EXPECT_EQ(x.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html PUBLIC ", 0), 0u);
    EXPECT_NE(x.find("SUMMARY=\"cells\" "), std::string::npos);
    EXPECT_NE(x.find("</TABLE>\r\n</HTML>\r\n"), std::string::npos);
}

TEST(ExGridHTML, StylesSettingsAndSurroundingFiles) {
    TempDir t;
    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetCellEx(0, 0, u"a b");
    g.SetCellEx(1, 0, u"caf\u00E9");
    g.SetCellEx(0, 1, u"<b>");
    g.GetCellProperties(1, 1)->SetFontStyle(TFontStyles{fsItalic});
    THTMLSettings& hs = g.Tools().HTMLSettings();
    hs.PrefixTag = u"<p>pre</p>";
    hs.ConvertSpecialChars = true;
    hs.NonBreakingText = true;
    hs.ColWidths.Add(40);
    String html = g.Tools().SaveToHTMLString(String());
    // Two looks: the plain one and the italic cell's.
    EXPECT_NE(html.find(u".c0 {"), String::npos);
    EXPECT_NE(html.find(u".c1 {"), String::npos);
    EXPECT_EQ(html.find(u".c2 {"), String::npos);
    EXPECT_EQ(html.rfind(u"<p>pre</p><style>\r\n", 0), 0u);
    EXPECT_NE(html.find(u"width=40>a&nbsp;b</td>"), String::npos);
    EXPECT_NE(html.find(u">&lt;b&gt;</td>"), String::npos);
    EXPECT_EQ(html.find(u"caf\u00E9"), String::npos);  // the accent as its entity

    // Header and footer files around the table; appending keeps what was there.
    t.write("head.txt", "<h1>top</h1>\r\n");
    t.write("foot.txt", "<p>end</p>\r\n");
    hs.HeaderFile = P(t, "head.txt");
    hs.FooterFile = P(t, "foot.txt");
    t.write("out.html", "before\r\n");
    g.Tools().AppendToHTML(P(t, "out.html"), false, true);
    const std::string out = t.read("out.html");
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out.substr(0, 2), "\xFF\xFE");
    // A header file that cannot be read stops the export: the file stays.
    hs.HeaderFile = P(t, "missing.txt");
    EXPECT_THROW(g.Tools().SaveToHTML(P(t, "out.html")), Exception);
    EXPECT_EQ(t.read("out.html"), out);
}
