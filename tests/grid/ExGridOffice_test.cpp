#include "grid/ExGrid.h"

#include "framework/Classes.h"
#include "framework/Files.h"
#include "framework/Process.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "framework/Zip.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

namespace {

String P(const TempDir& t, const std::string& name) { return Utf8ToString(t.file(name)); }

// A fixed row and column, a two-line cell, markup characters, a letter
// outside Latin-1 and an empty cell.
void FillSample(TExStringGrid& g) {
    g.SetColCount(4);
    g.SetRowCount(4);
    const char16_t* texts[4][4] = {
        {u"", u"Name", u"Note", u"Value"},
        {u"1", u"a & b < c", u"two\r\nlines", u"3.5"},
        {u"2", u"\u03A9mega", u"", u"-7"},
        {u"3", u"x", u"y", u"z"},
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) g.SetCellEx(c, r, texts[r][c]);
}

// One right-aligned and one centred cell.
void FillAligned(TExStringGrid& g) {
    FillSample(g);
    g.SetAlignments(3, 1, taRightJustify);
    g.SetAlignments(1, 2, taCenter);
}

std::vector<std::vector<String>> CellsOf(TExStringGrid& g) {
    std::vector<std::vector<String>> v(g.RowCount(), std::vector<String>(g.ColCount()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) v[r][c] = g.Cells(c, r);
    return v;
}

std::vector<String> Names(const TStringList& L) {
    std::vector<String> v;
    for (int i = 0; i < L.Count(); ++i) v.push_back(L.Strings(i));
    return v;
}

// A workbook written by hand as another program would: prefixed names,
// shared strings with a rich run, a boolean, an error value and a used
// range that starts right of column A and spans more than 26 columns.
void WriteForeignBook(const String& FileName) {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    TZipWriter w(FileName);
    w.Add(u"[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    w.Add(u"_rels/.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
          "Id=\"r1\" Type=\"" + rel + "/officeDocument\" Target=\"/xl/workbook.xml\"/></Relationships>");
    w.Add(u"xl/workbook.xml", "<x:workbook xmlns:x=\"" + ns + "\" xmlns:r=\"" + rel +
                                  "\"><x:bookViews><x:workbookView activeTab=\"1\"/></x:bookViews><x:sheets>"
                                  "<x:sheet name=\"First\" sheetId=\"1\" r:id=\"a\"/>"
                                  "<x:sheet name=\"Wide\" sheetId=\"2\" r:id=\"b\"/></x:sheets></x:workbook>");
    w.Add(u"xl/_rels/workbook.xml.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"a\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/one.xml\"/>"
          "<Relationship Id=\"b\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/two.xml\"/>"
          "<Relationship Id=\"s\" Type=\"" + rel + "/sharedStrings\" Target=\"strings.xml\"/></Relationships>");
    w.Add(u"xl/strings.xml", "<x:sst xmlns:x=\"" + ns +
                                 "\"><x:si><x:t>left</x:t></x:si><x:si><x:r><x:t>ri</x:t></x:r><x:r><x:t>ch</x:t>"
                                 "</x:r></x:si></x:sst>");
    w.Add(u"xl/worksheets/one.xml", "<x:worksheet xmlns:x=\"" + ns +
                                        "\"><x:dimension ref=\"B2\"/><x:sheetData><x:row r=\"2\"><x:c r=\"B2\" "
                                        "t=\"s\"><x:v>0</x:v></x:c></x:row></x:sheetData></x:worksheet>");
    w.Add(u"xl/worksheets/two.xml",
          "<x:worksheet xmlns:x=\"" + ns +
              "\"><x:dimension ref=\"$C$1:$AF$5\"/><x:sheetData>"
              "<x:row r=\"1\"><x:c r=\"C1\" t=\"s\"><x:v>1</x:v></x:c><x:c r=\"AF1\"><x:v>2.5</x:v></x:c></x:row>"
              "<x:row r=\"3\"><x:c r=\"D3\" t=\"b\"><x:v>1</x:v></x:c><x:c r=\"E3\" t=\"e\"><x:v>#DIV/0!</x:v></x:c>"
              "<x:c r=\"F3\" t=\"inlineStr\"><x:is><x:t>inline</x:t></x:is></x:c></x:row>"
              "<x:row r=\"5\"><x:c r=\"AF5\" t=\"str\"><x:v>end</x:v></x:c></x:row>"
              "</x:sheetData></x:worksheet>");
    w.Commit();
}

String MessageOf(const std::function<void()>& F) {
    try {
        F();
    } catch (const EExGridError& E) {
        return u"EExGridError: " + E.Message();
    } catch (const Exception& E) {
        return u"Exception: " + E.Message();
    }
    return u"none";
}

// The document part of a written document.
std::string DocumentXml(const String& FileName) { return TZipReader(FileName).Read(u"word/document.xml"); }

int Count(const std::string& S, const std::string& What) {
    int n = 0;
    for (std::size_t p = S.find(What); p != std::string::npos; p = S.find(What, p + 1)) ++n;
    return n;
}

// Runs a python script, its output (errors too) kept; 2 when a module is missing.
int RunPython(const TempDir& t, const std::string& Script, const std::vector<String>& Args, String& Out) {
    t.write("check.py", "import sys\nsys.stdout = sys.stderr = open(sys.argv.pop(1), 'w')\n" + Script);
    TProcess p;
    std::vector<String> args{P(t, "check.py"), P(t, "check.out")};
    args.insert(args.end(), Args.begin(), Args.end());
    p.Start(u"/usr/bin/python3", args);
    EXPECT_TRUE(p.WaitFor(60000));
    Out = Utf8ToString(t.read("check.out"));
    return p.ExitCode();
}

// RunPython with Modules imported first; exit code 2 says one is missing.
int RunReader(const TempDir& t, const std::string& Modules, const std::string& Body, const std::vector<String>& Args,
              String& Out) {
    return RunPython(t,
                     "import sys\n"
                     "try:\n"
                     "    import " + Modules + "\n"
                     "except ImportError as e:\n"
                     "    print(e); sys.exit(2)\n" + Body,
                     Args, Out);
}

}  // namespace

TEST(ExGridOffice, A1Addresses) {
    struct Case {
        const char16_t* Address;
        bool Ok;
        int C1, R1, C2, R2;
    } cases[] = {
        {u"$B$2:$D$5", true, 2, 2, 4, 5},   {u"B2:D5", true, 2, 2, 4, 5},  {u"$C$1:$AF$5", true, 3, 1, 32, 5},
        {u"$1:$5", true, 1, 1, 256, 5},      {u"$E$7", true, 5, 7, 5, 7},   {u"A1", true, 1, 1, 1, 1},
        {u"$A$1:$B$x", false, 1, 1, -1, -1}, {u"$A:$C", false, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        int c1, r1, c2, r2;
        EXPECT_EQ(TExGridTools::XLSRangeBounds(c.Address, c1, r1, c2, r2), c.Ok) << StringToUtf8(c.Address);
        EXPECT_EQ(std::vector<int>({c1, r1, c2, r2}), std::vector<int>({c.C1, c.R1, c.C2, c.R2}))
            << StringToUtf8(c.Address);
    }
    const std::pair<int, const char16_t*> letters[] = {{1, u"A"},   {26, u"Z"},  {27, u"AA"}, {30, u"AD"},
                                                       {52, u"AZ"}, {53, u"BA"}, {702, u"ZZ"}, {703, u"AAA"}};
    for (const auto& [col, text] : letters) EXPECT_EQ(TExGridTools::XLSColumnLetters(col), String(text)) << col;
}

TEST(ExGridOffice, WorkbookWriteListAndReadBack) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillSample(g);
    g.Tools().SaveToXLS(P(t, "book.xlsx"));
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(P(t, "book.xlsx"))), std::vector<String>{u"Sheet1"});

    // Multi-line texts lose their CR, as the workbook keeps LF only.
    auto expected = CellsOf(g);
    expected[1][2] = u"two\nlines";
    TExStringGrid h(nullptr);
    h.Tools().LoadFromXLS(P(t, "book.xlsx"));
    EXPECT_EQ(CellsOf(h), expected);

    // A named sheet is added to the workbook; the first one stays.
    TExStringGrid small(nullptr);
    small.SetColCount(2);
    small.SetRowCount(2);
    small.SetCellEx(0, 0, u"p");
    small.SetCellEx(1, 1, u"q");
    small.Tools().SaveToXLSSheet(P(t, "book.xlsx"), u"Data");
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(P(t, "book.xlsx"))), (std::vector<String>{u"Sheet1", u"Data"}));
    TExStringGrid k(nullptr);
    k.Tools().LoadFromXLSSheet(P(t, "book.xlsx"), u"Data");
    EXPECT_EQ(CellsOf(k), (std::vector<std::vector<String>>{{u"p", u""}, {u"", u"q"}}));
    k.Tools().LoadFromXLSSheet(P(t, "book.xlsx"), u"Sheet1");
    EXPECT_EQ(CellsOf(k), expected);

    // Writing the first sheet again replaces its block and keeps the cells beyond it.
    small.Tools().SaveToXLSSheet(P(t, "book.xlsx"), u"Sheet1");
    k.Tools().LoadFromXLSSheet(P(t, "book.xlsx"), u"Sheet1");
    expected[0][0] = u"p";
    expected[0][1] = u"";
    expected[1][0] = u"";
    expected[1][1] = u"q";
    EXPECT_EQ(CellsOf(k), expected);
}

TEST(ExGridOffice, ForeignWorkbookReadsWholeUsedRange) {
    TempDir t;
    WriteForeignBook(P(t, "foreign.xlsx"));
    TExStringGrid g(nullptr);
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(P(t, "foreign.xlsx"))), (std::vector<String>{u"First", u"Wide"}));

    // The active sheet: C1:AF5, 30 columns and 5 rows.
    g.Tools().LoadFromXLS(P(t, "foreign.xlsx"));
    ASSERT_EQ(g.ColCount(), 30);
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cells(0, 0), u"rich");
    EXPECT_EQ(g.Cells(29, 0), u"2.5");
    EXPECT_EQ(g.Cells(1, 2), u"TRUE");
    EXPECT_EQ(g.Cells(2, 2), u"");  // an error value is not loaded
    EXPECT_EQ(g.Cells(3, 2), u"inline");
    EXPECT_EQ(g.Cells(29, 4), u"end");

    // One used cell goes to the first normal cell when the fixed cells are not in the file.
    TExStringGrid f(nullptr);
    f.SetColCount(5);
    f.SetRowCount(5);
    f.SetFixedCols(1);
    f.SetFixedRows(1);
    f.Tools().SaveFixedCells = false;
    f.Tools().LoadFromXLSSheet(P(t, "foreign.xlsx"), u"First");
    EXPECT_EQ(f.ColCount(), 2);
    EXPECT_EQ(f.RowCount(), 2);
    EXPECT_EQ(f.FixedCols(), 1);
    EXPECT_EQ(f.FixedRows(), 1);
    EXPECT_EQ(f.Cells(1, 1), u"left");
}

// A book whose used range is the whole sheet, though only its corners hold
// values, loads at once: earlier texts are cleared where the grid holds them,
// not cell by cell over sixteen thousand columns and a million rows.
TEST(ExGridOffice, WholeSheetRangeLoadsAtOnce) {
    TempDir t;
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    {
        TZipWriter w(P(t, "whole.xlsx"));
        w.Add(u"xl/workbook.xml", "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
                                      "\"><sheets><sheet name=\"All\" sheetId=\"1\" r:id=\"a\"/></sheets></workbook>");
        w.Add(u"xl/_rels/workbook.xml.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"a\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/all.xml\"/></Relationships>");
        w.Add(u"xl/worksheets/all.xml", "<worksheet xmlns=\"" + ns +
                                            "\"><dimension ref=\"A1:XFD1048576\"/><sheetData><row r=\"1\"><c r=\"A1\">"
                                            "<v>1</v></c></row><row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c></row>"
                                            "</sheetData></worksheet>");
        w.Commit();
    }
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCells(1, 1, u"old");
    // Loaded twice: the second time over a grid that holds the far corner.
    for (int i = 0; i < 2; ++i) {
        const auto start = std::chrono::steady_clock::now();
        g.Tools().LoadFromXLS(P(t, "whole.xlsx"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(g.ColCount(), 16384);
        EXPECT_EQ(g.RowCount(), 1048576);
        EXPECT_EQ(g.Cells(0, 0), u"1");
        EXPECT_EQ(g.Cells(1, 1), u"");
        EXPECT_EQ(g.Cells(16383, 1048575), u"2");
    }
}

TEST(ExGridOffice, UnreadableFilesLeaveGridAndFileUnchanged) {
    TempDir t;
    t.write("damaged.xlsx", "PK\x03\x04 this is no workbook");
    t.write("damaged.docx", "not a document");
    t.write("damaged.db", "not a database either, but long enough to be looked at as one............");
    WriteForeignBook(P(t, "foreign.xlsx"));
    TExStringGrid g(nullptr);
    FillSample(g);
    const auto before = CellsOf(g);

    struct Case {
        std::function<void()> Run;
        const char16_t* Starts;
    } cases[] = {
        {[&] { g.Tools().LoadFromXLS(P(t, "damaged.xlsx")); }, u"Exception: Incorrect XLS file"},
        {[&] { g.Tools().LoadFromXLS(P(t, "missing.xlsx")); }, u"Exception: Incorrect XLS file"},
        {[&] { g.Tools().GetXLSSheets(P(t, "damaged.xlsx")); }, u"Exception: Incorrect XLS file"},
        {[&] { g.Tools().LoadFromXLSSheet(P(t, "foreign.xlsx"), u"Nope"); },
         u"EExGridError: Excel worksheet Nope not found"},
        {[&] { g.Tools().SaveToXLSSheet(P(t, "damaged.xlsx"), u"S"); }, u"EExGridError: Cannot open workbook "},
        {[&] { g.Tools().AppendToDoc(P(t, "damaged.docx"), u"b"); }, u"EExGridError: Cannot open document "},
        {[&] { g.Tools().AppendToDoc(P(t, "missing.docx"), u"b"); }, u"EExGridError: Cannot open document "},
        {[&] { g.Tools().LoadFromMDBTable(P(t, "damaged.db"), u"t"); }, u"EExGridError: "},
        {[&] { g.Tools().LoadFromMDBTable(P(t, "missing.db"), u"t"); }, u"EExGridError: "},
        {[&] { g.Tools().SaveToXLS(P(t, "no/such/folder/x.xlsx")); }, u"EExGridError: Cannot Create file "},
    };
    for (const Case& c : cases) {
        const String m = MessageOf(c.Run);
        EXPECT_TRUE(m.starts_with(c.Starts)) << StringToUtf8(m);
        EXPECT_EQ(CellsOf(g), before) << StringToUtf8(m);
    }
    EXPECT_EQ(t.read("damaged.xlsx"), std::string("PK\x03\x04 this is no workbook"));
    EXPECT_EQ(t.read("damaged.docx"), "not a document");
}

TEST(ExGridOffice, DocumentHoldsTableWithAlignments) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillAligned(g);
    g.Tools().SaveToDOC(P(t, "new.docx"));
    const std::string doc = DocumentXml(P(t, "new.docx"));
    EXPECT_EQ(Count(doc, "<w:tbl>"), 1);
    EXPECT_EQ(Count(doc, "<w:tr>"), 4);
    EXPECT_EQ(Count(doc, "<w:tc>"), 16);
    EXPECT_EQ(Count(doc, "<w:jc w:val=\"right\"/>"), 1);
    EXPECT_EQ(Count(doc, "<w:jc w:val=\"center\"/>"), 1);
    EXPECT_NE(doc.find("<w:jc w:val=\"right\"/></w:pPr><w:r><w:t xml:space=\"preserve\">3.5</w:t>"), std::string::npos);
    EXPECT_NE(doc.find("a &amp; b &lt; c"), std::string::npos);
    EXPECT_NE(doc.find("two</w:t><w:br/><w:t xml:space=\"preserve\">lines"), std::string::npos);
    TXmlDocument parsed;
    EXPECT_NO_THROW(parsed.LoadFromUtf8(doc));

    // Appended after the paragraph holding the bookmark, other parts kept.
    const std::string head = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
    const std::string tail = "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>";
    {
        TZipWriter w(P(t, "mark.docx"));
        w.Add(u"word/document.xml",
              head + "<w:p><w:r><w:t>before</w:t></w:r><w:bookmarkStart w:id=\"0\" w:name=\"here\"/><w:bookmarkEnd "
                     "w:id=\"0\"/></w:p><w:p><w:r><w:t>after</w:t></w:r></w:p>" + tail);
        w.Add(u"word/styles.xml", "<styles/>");
        w.Commit();
    }
    t.write("plain.docx", t.read("mark.docx"));
    g.Tools().AppendToDoc(P(t, "mark.docx"), u"here");
    std::string m = DocumentXml(P(t, "mark.docx"));
    EXPECT_EQ(Count(m, "<w:tbl>"), 1);
    EXPECT_LT(m.find("before"), m.find("<w:tbl>"));
    EXPECT_LT(m.find("</w:tbl>"), m.find("after"));
    EXPECT_EQ(TZipReader(P(t, "mark.docx")).Read(u"word/styles.xml"), "<styles/>");

    // Without the bookmark: at the end, before the section settings.
    g.Tools().AppendToDoc(P(t, "plain.docx"), u"elsewhere");
    m = DocumentXml(P(t, "plain.docx"));
    EXPECT_LT(m.find("after"), m.find("<w:tbl>"));
    EXPECT_LT(m.find("</w:tbl>"), m.find("<w:sectPr>"));
}

TEST(ExGridOffice, DatabaseFieldNamesAndRecords) {
    TempDir t;
    t.write("make.py",
            "import sqlite3, sys\n"
            "c = sqlite3.connect(sys.argv[1])\n"
            "c.executescript(\"CREATE TABLE meters (id INTEGER, name TEXT, note TEXT);"
            "INSERT INTO meters VALUES (1, 'pump', 'ok'); INSERT INTO meters VALUES (2, 'valve', NULL);"
            "INSERT INTO meters VALUES (3, '', 'x');\")\n"
            "c.commit()\n");
    TProcess p;
    p.Start(u"/usr/bin/python3", {P(t, "make.py"), P(t, "meters.db")});
    ASSERT_TRUE(p.WaitFor(20000));
    ASSERT_EQ(p.ExitCode(), 0);

    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.Tools().LoadFromMDBTable(P(t, "meters.db"), u"meters");
    ASSERT_EQ(g.ColCount(), 4);
    ASSERT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Cells(1, 0), u"id");
    EXPECT_EQ(g.Cells(2, 0), u"name");
    EXPECT_EQ(g.Cells(3, 0), u"note");
    EXPECT_EQ(g.Cells(1, 1), u"1");
    EXPECT_EQ(g.Cells(2, 1), u"pump");
    EXPECT_EQ(g.Cells(3, 2), u"");
    EXPECT_EQ(g.Cells(2, 3), u"");
    EXPECT_EQ(g.Cells(3, 3), u"x");

    g.Tools().LoadFromMDBSQL(P(t, "meters.db"), u"SELECT name FROM meters WHERE id = 2");
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.Cells(1, 1), u"valve");
    EXPECT_TRUE(MessageOf([&] { g.Tools().LoadFromMDBSQL(P(t, "meters.db"), u"SELECT nothing FROM nowhere"); })
                    .starts_with(u"EExGridError: "));
}

// The written files open in readers of their own.
TEST(ExGridOffice, IndependentReadersOpenWrittenFiles) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillAligned(g);
    g.Tools().SaveToXLS(P(t, "book.xlsx"));
    g.Tools().SaveToXLSSheet(P(t, "book.xlsx"), u"Second");
    g.Tools().SaveToDOC(P(t, "doc.docx"));

    String out;
    const int rc = RunReader(t, "openpyxl, docx",
                             "b = openpyxl.load_workbook(sys.argv[1])\n"
                             "assert b.sheetnames == ['Sheet1', 'Second'], b.sheetnames\n"
                             "for s in b.worksheets:\n"
                             "    assert s['B2'].value == 'a & b < c', s['B2'].value\n"
                             "    assert s['C2'].value == 'two\\nlines', s['C2'].value\n"
                             "    assert s['B3'].value == '\\u03a9mega'\n"
                             "    assert s.max_row == 4 and s.max_column == 4\n"
                             "d = docx.Document(sys.argv[2])\n"
                             "assert len(d.tables) == 1\n"
                             "t = d.tables[0]\n"
                             "assert len(t.rows) == 4 and len(t.columns) == 4\n"
                             "assert t.cell(1, 1).text == 'a & b < c'\n"
                             "assert t.cell(1, 3).paragraphs[0].alignment == 2\n"
                             "assert t.cell(2, 1).paragraphs[0].alignment == 1\n"
                             "assert t.cell(1, 1).paragraphs[0].alignment is None\n"
                             "print('ok')\n",
                             {P(t, "book.xlsx"), P(t, "doc.docx")}, out);
    if (rc == 2) GTEST_SKIP() << "python3-openpyxl or python3-docx is not installed: " << StringToUtf8(out);
    EXPECT_EQ(rc, 0) << StringToUtf8(out);
}

// An old binary workbook (made with a spreadsheet writer of the
// distribution): sheet Meters uses B2:D5, sheet Spare A1.
TEST(ExGridOffice, OldBinaryWorkbooksAreReadAndNeverWritten) {
    TempDir t;
    const String xls = Utf8ToString(TestDataDir() + "/legacy.xls");
    {
        std::ifstream in(StringToUtf8(xls), std::ios::binary);
        t.write("copy.xls", std::string(std::istreambuf_iterator<char>(in), {}));
    }
    TExStringGrid g(nullptr);
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(xls)), (std::vector<String>{u"Meters", u"Spare"}));
    g.Tools().LoadFromXLS(xls);  // its first sheet
    EXPECT_EQ(CellsOf(g), (std::vector<std::vector<String>>{{u"Name", u"Reading", u"Note"},
                                                             {u"\u03A9mega", u"3.5", u"two\nlines"},
                                                             {u"Heat", u"42", u""},
                                                             {u"", u"", u"end"}}));
    g.Tools().LoadFromXLSSheet(xls, u"Spare");
    EXPECT_EQ(CellsOf(g), (std::vector<std::vector<String>>{{u"only"}}));
    EXPECT_EQ(MessageOf([&] { g.Tools().LoadFromXLSSheet(xls, u"Nope"); }),
              u"EExGridError: Excel worksheet Nope not found");

    // Writing into one, replacing one, or writing a new file under either old
    // name is refused in so many words, and no file changes or appears.
    const String copy = P(t, "copy.xls");
    const std::string bytes = t.read("copy.xls");
    const String book = u"EExGridError: Workbooks in the old binary format (.xls) are read but not written: ";
    const String doc = u"EExGridError: Documents in the old binary format (.doc) are not written: ";
    const String fresh = P(t, "fresh.XLS"), freshDoc = P(t, "fresh.doc");
    const struct {
        std::function<void()> Write;
        String Message;
    } refused[] = {
        {[&] { g.Tools().SaveToXLS(copy, false); }, book + copy},
        {[&] { g.Tools().SaveToXLS(copy, true); }, book + copy},
        {[&] { g.Tools().SaveToXLSSheet(copy, u"Meters"); }, book + copy},
        {[&] { g.Tools().SaveToXLS(fresh); }, book + fresh},
        {[&] { g.Tools().AppendToDoc(copy, u"b"); }, doc + copy},
        {[&] { g.Tools().SaveToDOC(copy, false); }, doc + copy},
        {[&] { g.Tools().SaveToDOC(copy, true); }, doc + copy},
        {[&] { g.Tools().SaveToDOC(freshDoc); }, doc + freshDoc},
    };
    for (const auto& r : refused) EXPECT_EQ(MessageOf(r.Write), r.Message);
    EXPECT_EQ(t.read("copy.xls"), bytes);
    EXPECT_FALSE(FileExists(fresh) || FileExists(freshDoc));

    // A compound file that is no workbook is an incorrect one.
    t.write("broken.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\x07'));
    EXPECT_EQ(MessageOf([&] { g.Tools().LoadFromXLS(P(t, "broken.xls")); }), u"Exception: Incorrect XLS file");
    EXPECT_EQ(MessageOf([&] { g.Tools().GetXLSSheets(P(t, "broken.xls")); }), u"Exception: Incorrect XLS file");
}

// Without CreateNewSheet the workbook in the file takes the block in its
// active sheet from the row of its active cell; with it the file is replaced.
TEST(ExGridOffice, AWorkbookWithoutANewSheetTakesTheBlockAtItsActiveCell) {
    TempDir t;
    const String book = P(t, "book.xlsx");
    TExStringGrid g(nullptr);
    FillSample(g);
    g.Tools().SaveToXLS(book);
    g.Tools().SaveToXLSSheet(book, u"Second");
    {
        // The first sheet's active cell goes to A6, as a spreadsheet would keep it.
        std::map<String, std::string> parts;
        std::vector<String> order;
        {
            TZipReader r(book);
            for (const TZipEntry& e : r.Entries()) {
                parts[e.Name] = r.Read(e.Name);
                order.push_back(e.Name);
            }
        }
        std::string& sheet = parts.at(u"xl/worksheets/sheet1.xml");
        sheet.replace(sheet.find("<sheetData"), 0,
                      "<sheetViews><sheetView workbookViewId=\"0\"><selection activeCell=\"A6\" sqref=\"A6\"/>"
                      "</sheetView></sheetViews>");
        TZipWriter w(book);
        for (const String& n : order) w.Add(n, parts.at(n));
        w.Commit();
    }
    TExStringGrid small(nullptr);
    small.SetColCount(2);
    small.SetRowCount(2);
    small.SetCellEx(0, 0, u"p");
    small.SetCellEx(1, 1, u"q");
    small.Tools().SaveToXLS(book, false);
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(book)), (std::vector<String>{u"Sheet1", u"Second"}));
    TExStringGrid h(nullptr);
    h.Tools().LoadFromXLSSheet(book, u"Sheet1");
    auto expected = CellsOf(g);
    expected[1][2] = u"two\nlines";
    expected.push_back(std::vector<String>(4));
    expected.push_back({u"p", u"", u"", u""});
    expected.push_back({u"", u"q", u"", u""});
    EXPECT_EQ(CellsOf(h), expected);

    String out;
    const int rc = RunReader(t, "openpyxl",
                             "b = openpyxl.load_workbook(sys.argv[1])\n"
                             "s = b['Sheet1']\n"
                             "assert s['A6'].value == 'p' and s['B7'].value == 'q', (s['A6'].value, s['B7'].value)\n"
                             "assert s['B2'].value == 'a & b < c'\n"
                             "print('ok')\n",
                             {book}, out);
    if (rc == 2) GTEST_SKIP() << "python3-openpyxl is not installed: " << StringToUtf8(out);
    EXPECT_EQ(rc, 0) << StringToUtf8(out);

    // A new sheet asked for: a new workbook in place of the file.
    small.Tools().SaveToXLS(book, true);
    EXPECT_EQ(Names(*g.Tools().GetXLSSheets(book)), std::vector<String>{u"Sheet1"});
    h.Tools().LoadFromXLS(book);
    EXPECT_EQ(CellsOf(h), (std::vector<std::vector<String>>{{u"p", u""}, {u"", u"q"}}));
}

// Without CreateNewDocument the document in the file takes the table at its
// start and keeps what it had; with it the file is replaced.
TEST(ExGridOffice, ADocumentWithoutANewDocumentTakesTheTableAtItsStart) {
    TempDir t;
    const String doc = P(t, "doc.docx");
    TExStringGrid g(nullptr);
    FillAligned(g);
    g.Tools().SaveToDOC(doc);
    TExStringGrid small(nullptr);
    small.SetColCount(1);
    small.SetRowCount(1);
    small.SetCellEx(0, 0, u"first");
    small.Tools().SaveToDOC(doc, false);
    const std::string x = DocumentXml(doc);
    EXPECT_EQ(Count(x, "<w:tbl>"), 2);
    EXPECT_LT(x.find(">first<"), x.find(">a &amp; b &lt; c<"));

    String out;
    const int rc = RunReader(t, "docx",
                             "d = docx.Document(sys.argv[1])\n"
                             "assert len(d.tables) == 2, len(d.tables)\n"
                             "assert d.tables[0].cell(0, 0).text == 'first'\n"
                             "assert d.tables[1].cell(1, 1).text == 'a & b < c'\n"
                             "print('ok')\n",
                             {doc}, out);
    if (rc == 2) GTEST_SKIP() << "python3-docx is not installed: " << StringToUtf8(out);
    EXPECT_EQ(rc, 0) << StringToUtf8(out);

    small.Tools().SaveToDOC(doc, true);
    EXPECT_EQ(Count(DocumentXml(doc), "<w:tbl>"), 1);
}
