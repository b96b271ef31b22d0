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
