#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"
#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridText.h"

#include "framework/Encoding.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace {

// One fixed row and column, a two-line cell, quotes, the delimiter in a
// text, empty cells, a letter outside Latin-1 and a merged 2 x 3 area.
void FillSample(TExStringGrid& g) {
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    const char16_t* texts[5][5] = {
        {u"", u"Name", u"Note", u"Value", u"Area"},
        {u"1", u"first\r\nsecond", u"say \"hi\"", u"1,5", u"m"},
        {u"2", u"", u"\u03A9mega", u"x", u""},
        {u"3", u"plain", u"", u"", u""},
        {u"4", u"last", u"z", u"", u""},
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellEx(c, r, texts[r][c]);
    g.MergeCells(3, 2, 2, 3);
    g.SetCellEx(3, 2, u"merged");
    // The stored texts: the merged area's text is saved at its base cell only.
    g.SetSaveVirtCells(false);
}

std::vector<std::vector<String>> CellsOf(TExStringGrid& g) {
    std::vector<std::vector<String>> cells(std::size_t(g.RowCount()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) cells[std::size_t(r)].push_back(g.GetGridCell(c, r));
    return cells;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string Golden(const std::string& name) { return ReadBytes(TestDataDir() + "/" + name); }

String P(const TempDir& t, const std::string& name) { return Utf8ToString(t.file(name)); }

// The cells as the ANSI forms carry them: the letter outside the code page becomes "?".
std::vector<std::vector<String>> AnsiCells(TExStringGrid& g) {
    auto cells = CellsOf(g);
    cells[2][2] = u"?mega";
    return cells;
}

}  // namespace

TEST(ExGridOwnText, FilesMatchTheirGoldenBytesAndLoadBack) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillSample(g);
    g.SetColWidths(2, 80);
    g.Tools().SaveToFile(P(t, "ansi.txt"), false);
    g.Tools().SaveToFile(P(t, "wide.txt"), true);
    EXPECT_EQ(t.read("ansi.txt"), Golden("own_ansi.txt"));
    EXPECT_EQ(t.read("wide.txt"), Golden("own_unicode.txt"));

    struct Case {
        const char* File;
        bool Ansi;
    } cases[] = {{"ansi.txt", true}, {"wide.txt", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TExStringGrid h(nullptr);
        h.Tools().Multilinecells = true;
        h.Tools().LoadFromFile(P(t, c.File));
        EXPECT_EQ(h.ColCount(), 5);
        EXPECT_EQ(h.RowCount(), 5);
        EXPECT_EQ(h.ColWidths(2), 80);
        EXPECT_EQ(CellsOf(h), c.Ansi ? AnsiCells(g) : CellsOf(g));
    }
}

TEST(ExGridOwnText, LineBreaksAndForeignLines) {
    TempDir t;
    // Without Multilinecells a loaded cell keeps its first line only; a lone
    // CR or LF survives the escape; lines outside the grid are skipped.
    t.write("in.txt", "3,3\r\n0,0,a\t\x08" "b\r\n1,0,only\r\n-1,0,neg\r\n0,-2,neg\r\n7,1,far\r\n1,9,far\r\n");
    TExStringGrid g(nullptr);
    g.Tools().LoadFromFile(P(t, "in.txt"));
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.GetGridCell(0, 0), u"a");
    EXPECT_EQ(g.GetGridCell(1, 0), u"only");
    EXPECT_EQ(g.GetGridCell(2, 2), u"");

    TExStringGrid h(nullptr);
    h.Tools().Multilinecells = true;
    h.SetCellEx(1, 1, u"lf\nonly");
    h.SetCellEx(2, 1, u"cr\ronly");
    h.SetCellEx(3, 1, u"a\r\nb");
    h.Tools().SaveToFile(P(t, "out.txt"));
    const std::string bytes = t.read("out.txt");
    EXPECT_NE(bytes.find("3,1,a\t\x08" "b\r\n"), std::string::npos);
    TExStringGrid back(nullptr);
    back.Tools().Multilinecells = true;
    back.Tools().LoadFromFile(P(t, "out.txt"));
    EXPECT_EQ(back.GetGridCell(1, 1), u"lf\nonly");
    EXPECT_EQ(back.GetGridCell(2, 1), u"cr\ronly");
    EXPECT_EQ(back.GetGridCell(3, 1), u"a\r\nb");
}

TEST(ExGridOwnText, FixedCellsLeftOutAndCorruptHeaders) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillSample(g);
    g.Tools().SaveFixedCells = false;
    g.Tools().SaveToFile(P(t, "normal.txt"));
    const std::string bytes = t.read("normal.txt");
    EXPECT_EQ(bytes.substr(0, 5), "4,4\r\n");
    EXPECT_NE(bytes.find("\r\n1,1,first"), std::string::npos);
    EXPECT_EQ(bytes.find("Name"), std::string::npos);

    TExStringGrid h(nullptr);
    h.SetFixedCols(1);
    h.SetFixedRows(1);
    h.Tools().SaveFixedCells = false;
    h.Tools().LoadFromFile(P(t, "normal.txt"));
    EXPECT_EQ(h.ColCount(), 5);
    EXPECT_EQ(h.RowCount(), 5);
    EXPECT_EQ(h.GetGridCell(2, 1), u"say \"hi\"");

    t.write("zero.txt", "0,3\r\n0,0,x\r\n");
    t.write("word.txt", "two,3\r\n");
    TExStringGrid z(nullptr);
    z.SetCellEx(1, 1, u"kept");
    try {
        z.Tools().LoadFromFile(P(t, "zero.txt"));
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"File contains no data or corrupt file " + P(t, "zero.txt"));
    }
    EXPECT_THROW(z.Tools().LoadFromFile(P(t, "word.txt")), EConvertError);
    EXPECT_THROW(z.Tools().LoadFromFile(P(t, "missing.txt")), EFOpenError);
    EXPECT_EQ(z.GetGridCell(1, 1), u"kept");
}

TEST(ExGridOwnText, ProgressOfAOneRowFile) {
    TempDir t;
    TExStringGrid g(nullptr);
    g.SetFixedRows(0);
    g.SetRowCount(1);
    g.SetCellEx(1, 0, u"x");
    std::vector<int> seen;
    g.Tools().OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
    g.Tools().SaveToFile(P(t, "one.txt"));
    EXPECT_EQ(seen, std::vector<int>{0});
    seen.clear();
    g.Tools().LoadFromFile(P(t, "one.txt"));
    EXPECT_EQ(seen, std::vector<int>{0});
}

TEST(ExGridOwnStream, GoldenBytesRelativePositionsAndTrailingData) {
    TExStringGrid g(nullptr);
    FillSample(g);
    g.Tools().SaveFixedCells = false;
    TMemoryStream s;
    g.Tools().SaveToStream(s);
    const String tail = u"after\r\n";
    s.WriteBytes(StringToUtf16LE(tail));
    const std::string golden = Golden("own_stream.bin");
    ASSERT_GE(s.Size(), Int64(golden.size()));
    s.SetPosition(0);
    EXPECT_EQ(std::string(s.ReadBytes(int(golden.size()))), golden);

    TExStringGrid h(nullptr);
    h.SetFixedCols(1);
    h.SetFixedRows(1);
    h.Tools().SaveFixedCells = false;
    h.Tools().Multilinecells = true;
    s.SetPosition(0);
    h.Tools().LoadFromStream(s);
    EXPECT_EQ(s.Position(), Int64(golden.size()));
    EXPECT_EQ(h.GetGridCell(1, 1), u"first\r\nsecond");
    EXPECT_EQ(h.GetGridCell(2, 2), u"\u03A9mega");
    EXPECT_EQ(h.GetGridCell(0, 1), u"");

    // A field that is not a number stops the read with the conversion error.
    TMemoryStream bad;
    bad.WriteBytes(StringToUtf16LE(u"2,2\r\nx,1,t\r\n"));
    bad.SetPosition(0);
    EXPECT_THROW(h.Tools().LoadFromStream(bad), EConvertError);
}

TEST(ExGridOwnStream, AssignCopiesTheCells) {
    TExStringGrid g(nullptr);
    FillSample(g);
    TExStringGrid h(nullptr);
    h.Tools().Multilinecells = true;
    h.Assign(&g);
    EXPECT_EQ(CellsOf(h), CellsOf(g));
}

// ----- CSV

TEST(ExGridCSV, FilesMatchTheirGoldenBytesAndLoadBack) {
    TempDir t;
    struct Case {
        const char* Golden;
        bool Unicode, Java, Always;
    } cases[] = {
        {"csv_ansi.csv", false, false, false},
        {"csv_utf8.csv", true, false, false},
        {"csv_java.csv", false, true, false},
        {"csv_quotes.csv", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Golden);
        TExStringGrid g(nullptr);
        FillSample(g);
        g.Tools().JavaCSV = c.Java;
        g.Tools().AlwaysQuotes = c.Always;
        g.Tools().SaveToCSV(P(t, c.Golden), c.Unicode);
        EXPECT_EQ(t.read(c.Golden), Golden(c.Golden));

        TExStringGrid h(nullptr);
        h.Tools().JavaCSV = c.Java;
        h.Tools().LoadFromCSV(P(t, c.Golden));
        EXPECT_EQ(h.ColCount(), 5);
        EXPECT_EQ(h.RowCount(), 5);
        EXPECT_EQ(CellsOf(h), c.Unicode ? CellsOf(g) : AnsiCells(g));
    }
}

TEST(ExGridCSV, EmptyCellsAndAppending) {
    TempDir t;
    TExStringGrid g(nullptr);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(1);
    g.SetCellEx(1, 0, u"b");
    g.Tools().SaveToCSV(P(t, "a.csv"));
    EXPECT_EQ(t.read("a.csv"), "\"\",b,\"\"\r\n");
    g.Tools().QuoteEmptyCells = false;
    g.Tools().SaveToCSV(P(t, "a.csv"));
    EXPECT_EQ(t.read("a.csv"), ",b,\r\n");
    g.Tools().JavaCSV = true;
    g.Tools().SaveToCSV(P(t, "a.csv"));
    EXPECT_EQ(t.read("a.csv"), "^,b,^\r\n");

    // An appended file keeps the encoding it was found in.
    t.write("u.csv", "\xEF\xBB\xBFold\r\n");
    g.Tools().JavaCSV = false;
    g.SetCellEx(0, 0, u"\u00E9");
    g.Tools().AppendToCSV(P(t, "u.csv"));
    EXPECT_EQ(t.read("u.csv"), "\xEF\xBB\xBFold\r\n\xC3\xA9,b,\r\n");
    g.Tools().AppendToCSV(P(t, "new.csv"));
    EXPECT_EQ(t.read("new.csv"), "\xE9,b,\r\n");
}

TEST(ExGridCSV, DelimiterGuess) {
    struct Case {
        const char16_t* L1;
        const char16_t* L2;
        Char Expected;
    } cases[] = {
        {u"a;b;c", u"d;e;f", u';'},
        {u"a,b;c", u"d,e;f", u','},            // a tie: the earlier candidate
        {u"a|b|c|d", u"", u'|'},               // one line: the most frequent
        {u"\"x;y\",b", u"c,d", u','},          // quoted runs count as field ends
        {u"a-b-c,d", u"e,f", u','},            // equal counts win over more
        {u"a\tb\tc", u"d\te", u'\t'},          // no equal counts: the largest
        {u"plain", u"text", Char(0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TExGridTools::GuessDelimiter(c.L1, c.L2), c.Expected) << StringToUtf8(c.L1);
}

TEST(ExGridCSV, ReadingRecords) {
    TempDir t;
    // A quoted field holding a bare LF is one record; more fields than
    // columns widen the grid; the row count ends at the records read.
    t.write("in.csv", "a,\"two\nlines\",c,d,e,f,g\r\n\"q\"\"x\",  lead,\"\"\r\n");
    TExStringGrid g(nullptr);
    g.Tools().LoadFromCSV(P(t, "in.csv"));
    EXPECT_EQ(g.ColCount(), 7);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.MaxRowCount(), 2);
    EXPECT_EQ(g.GetGridCell(1, 0), u"two\r\nlines");
    EXPECT_EQ(g.GetGridCell(6, 0), u"g");
    EXPECT_EQ(g.GetGridCell(0, 1), u"q\"x");
    EXPECT_EQ(g.GetGridCell(1, 1), u"lead");
    EXPECT_EQ(g.GetGridCell(2, 1), u"");

    TExStringGrid m(nullptr);
    m.Tools().LoadFirstRow = false;
    m.Tools().LoadFromCSV(P(t, "in.csv"), 1);
    EXPECT_EQ(m.RowCount(), 1);
    EXPECT_EQ(m.GetGridCell(0, 0), u"q\"x");

    // Inserting adds after the last row; an empty file loads nothing.
    TExStringGrid ins(nullptr);
    ins.SetRowCount(3);
    ins.Tools().InsertFromCSV(P(t, "in.csv"));
    EXPECT_EQ(ins.RowCount(), 5);
    EXPECT_EQ(ins.GetGridCell(0, 3), u"a");
    t.write("empty.csv", "");
    ins.Tools().LoadFromCSV(P(t, "empty.csv"));
    EXPECT_EQ(ins.RowCount(), 5);

    TMemoryStream s;
    try {
        ins.Tools().LoadFromCSVStream(s);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"File is empty");
    }

    // OEM text: the bytes are code page 850.
    t.write("oem.csv", "\x82t\x82,x\r\n");
    TExStringGrid o(nullptr);
    o.Tools().OemConvert = true;
    o.Tools().LoadFromCSV(P(t, "oem.csv"));
    EXPECT_EQ(o.GetGridCell(0, 0), u"\u00E9t\u00E9");
}

TEST(ExGridCSV, ProgressCountsTheRecords) {
    TempDir t;
    t.write("in.csv", "a,b\r\nc,d\r\ne,f\r\ng,h\r\n");
    TExStringGrid g(nullptr);
    std::vector<int> seen;
    g.Tools().OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
    g.Tools().LoadFromCSV(P(t, "in.csv"));
    EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(g.RowCount(), 4);
}

// ----- fixed width

TEST(ExGridFixed, GoldenFileComputedWidthsAndReading) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillSample(g);
    g.SetCellEx(1, 1, u"first");  // fixed-width lines carry no line breaks
    TIntList widths(0, 0);
    g.Tools().SaveToFixed(P(t, "fixed.txt"), widths);
    EXPECT_EQ(widths.StrValue(), u"2,6,9,7,5");
    EXPECT_EQ(t.read("fixed.txt"), Golden("fixed.txt"));

    TIntList given(0, 0);
    given.SetStrValue(u"1,3");
    g.Tools().SaveToFixed(P(t, "cut.txt"), given);
    EXPECT_EQ(given.StrValue(), u"1,3,9,7,5");
    EXPECT_EQ(t.read("cut.txt").substr(0, 27), " NamNote     Value  Area \r\n");

    struct Read {
        int MaxRows;
        int Rows;
    } reads[] = {{-1, 5}, {0, 1}, {1, 1}, {3, 3}};
    for (const Read& r : reads) {
        SCOPED_TRACE(r.MaxRows);
        TExStringGrid h(nullptr);
        h.SetFixedCols(0);
        h.SetFixedRows(0);
        h.SetRowCount(1);
        TIntList pos(0, 0);
        pos.SetStrValue(u"9,1,5");
        h.Tools().LoadFromFixed(P(t, "fixed.txt"), pos, r.MaxRows, true);
        EXPECT_EQ(pos.StrValue(), u"1,5,9");
        EXPECT_EQ(h.ColCount(), 2);
        EXPECT_EQ(h.RowCount(), r.Rows);
        EXPECT_EQ(h.GetGridCell(0, 0), u"Na");
        EXPECT_EQ(h.GetGridCell(1, 0), u"me");
    }

    TIntList pos(0, 0);
    try {
        g.Tools().LoadFromFixed(P(t, "none.txt"), pos);
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"File " + P(t, "none.txt") + u" not found");
    }
    try {
        g.Tools().SaveToFixed(P(t, "no/such/folder.txt"), widths);
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"Cannot Create file " + P(t, "no/such/folder.txt"));
    }
}

TEST(ExGridCellToReal, NumbersAndErrors) {
    TExStringGrid g(nullptr);
    struct Case {
        const char16_t* Text;
        double Value;
    } cases[] = {{u"", 0}, {u"12.5", 12.5}, {u"(3)", -3}, {u"-2.25", -2.25}, {u"$ 1,000.5", 1000.5}, {u"1e3", 1000}};
    for (const Case& c : cases) {
        g.SetCellEx(1, 1, c.Text);
        EXPECT_DOUBLE_EQ(g.Tools().CellToReal(1, 1), c.Value) << StringToUtf8(c.Text);
    }
    g.SetCellEx(2, 3, u"1-2");
    try {
        g.Tools().CellToReal(2, 3);
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"Error at position: 2 in Cell [2, 3].");
    }
}

// ----- aligned plain text

TEST(ExGridASCII, AlignedColumnsAndFurtherLines) {
    TempDir t;
    TExStringGrid g(nullptr);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetCellEx(0, 0, u"abc");
    g.SetCellEx(0, 1, u"7");
    g.SetAlignments(0, 1, taRightJustify);
    g.SetCellEx(1, 0, u"two\r\nlines");
    g.SetCellEx(2, 0, u"c");
    g.SetAlignments(2, 0, taCenter);
    g.SetCellEx(2, 1, u"mid");
    g.Tools().SaveToASCII(P(t, "a.txt"));
    EXPECT_EQ(t.read("a.txt"), "abc two    c  \r\n  7       mid \r\n");

    g.Tools().Multilinecells = true;
    g.Tools().SaveToASCII(P(t, "m.txt"));
    EXPECT_EQ(t.read("m.txt"), "abc two    c  \r\n    lines\r\n  7       mid \r\n");

    // Appending keeps the encoding the file was found in.
    const std::string head("\xFF\xFEo\0\r\0\n\0", 8);
    t.write("u.txt", head);
    g.Tools().Multilinecells = false;
    g.SetRowCount(1);
    g.Tools().AppendToASCII(P(t, "u.txt"));
    EXPECT_EQ(t.read("u.txt"), head + std::string(StringToUtf16LE(u"abc two   c \r\n")));
}

TEST(ExGridCSV, InsertingKeepsTheFloatingFooterRowLast) {
    TempDir t;
    t.write("in.csv", "a,b\r\nc,d\r\n");
    TExStringGrid g(nullptr);
    g.SetRowCount(4);
    g.FloatingFooter().SetVisible(true);
    const int rows = g.RowCount();
    g.SetCellEx(1, rows - 1, u"footer");
    g.SetCellEx(1, rows - 2, u"data");
    g.Tools().InsertFromCSV(P(t, "in.csv"));
    EXPECT_EQ(g.RowCount(), rows + 2);
    EXPECT_EQ(g.GetGridCell(1, rows - 2), u"data");
    EXPECT_EQ(g.GetGridCell(0, rows - 1), u"a");
    EXPECT_EQ(g.GetGridCell(1, rows), u"d");
    EXPECT_EQ(g.GetGridCell(1, rows + 1), u"footer");
}

namespace {
struct SavingGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::SaveCell;
    using TExStringGrid::SaveCellView;
};
}  // namespace

// What a save takes from a cell: the displayed or the stored text, the check
// texts of an empty check box, markup with or without its tags.
TEST(ExGridSaveCell, DisplayedStoredCheckAndMarkupTexts) {
    SavingGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(4);
    g.SetCellEx(1, 1, u"1.5");
    g.OnGetFloatFormat = [](TObject*, int, int, bool&, String& F) { F = u"%.3f"; };
    g.MergeCells(2, 1, 2, 1);
    g.SetCellEx(2, 1, u"wide");
    g.AddCheckBox(1, 2, true);
    g.AddCheckBox(2, 2, false);
    g.AddCheckBox(3, 2, true);
    g.SetCellEx(3, 2, u"own");
    g.SetCellEx(4, 2, u"");
    g.SetCellEx(1, 3, u"<b>bold</b><br>next");
    g.SetCellEx(2, 3, u"x<HR>y<B>z</B>");
    g.SetCellEx(3, 3, u"2 < 3");
    struct Case {
        const char* Name;
        bool Virt, Html;
        int C, R;
        const char16_t* Saved;
    } cases[] = {
        {"a number as shown", true, true, 1, 1, u"1.500"},
        {"a number as stored", false, true, 1, 1, u"1.5"},
        {"a covered cell shows its area's text", true, true, 3, 1, u"wide"},
        {"a covered cell stores nothing", false, true, 3, 1, u""},
        {"an empty checked box", true, true, 1, 2, u"Y"},
        {"an empty checked box, stored", false, true, 1, 2, u"Y"},
        {"an empty unchecked box", true, true, 2, 2, u"N"},
        {"a box with a text keeps it", true, true, 3, 2, u"own"},
        {"an empty cell without a box", true, true, 4, 2, u""},
        {"markup kept", true, true, 1, 3, u"<b>bold</b><br>next"},
        {"markup stripped, the break kept", true, false, 1, 3, u"bold\r\nnext"},
        {"a rule becomes a break", true, false, 2, 3, u"x\r\nyz"},
        {"plain text with a bracket", true, false, 3, 3, u"2 < 3"},
    };
    for (const Case& c : cases) {
        g.SetSaveVirtCells(c.Virt);
        g.SetSaveWithHTML(c.Html);
        EXPECT_EQ(g.SaveCell(c.C, c.R), String(c.Saved)) << c.Name;
    }
    // The check texts are the grid's, asked per cell.
    g.SetCheckTrue(u"yes");
    g.OnGetCheckFalse = [](TObject*, int ACol, int ARow, String& S) { S = u"no" + IntToStr(ACol) + IntToStr(ARow); };
    EXPECT_EQ(g.SaveCell(1, 2), u"yes");
    EXPECT_EQ(g.SaveCell(2, 2), u"no22");
}

// An empty three-state box saves checked as the check-true text and both
// other states as the check-false text, read at the real row when rows above
// it are hidden; a text of its own is saved as it is.
TEST(ExGridSaveCell, ThreeStateBoxesSaveTheirCheckTexts) {
    SavingGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(7);
    const TCheckBoxState states[] = {cbChecked, cbUnchecked, cbGrayed, cbChecked, cbGrayed, cbChecked};
    for (int r = 1; r < 7; ++r) g.AddCheckBox(1, r, states[r - 1]);
    g.SetCellEx(1, 6, u"mine");
    g.HideRow(1);  // display row r now shows real row r + 1
    struct Case {
        int DisplRow;
        const char16_t* Saved;
    } cases[] = {{1, u"N"}, {2, u"N"}, {3, u"Y"}, {4, u"N"}, {5, u"mine"}};
    for (const Case& c : cases) EXPECT_EQ(g.SaveCell(1, c.DisplRow), String(c.Saved)) << c.DisplRow;
    g.OnGetCheckTrue = [](TObject*, int ACol, int ARow, String& S) { S = u"on" + IntToStr(ACol) + IntToStr(ARow); };
    EXPECT_EQ(g.SaveCell(1, 3), u"on13");
}

// OnSaveCell has the last word on every saved text, OnLoadCell the first on
// every loaded one.
TEST(ExGridSaveCell, TheEventsSeeEveryCellOfACSVFile) {
    TempDir t;
    TExStringGrid g(nullptr);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetCellEx(0, 0, u"a");
    g.SetCellEx(1, 0, u"<i>b</i>");
    g.AddCheckBox(0, 1, true);
    g.SetSaveWithHTML(false);
    std::vector<std::string> seen;
    g.OnSaveCell = [&](TObject* Sender, int ACol, int ARow, String& V) {
        EXPECT_EQ(Sender, &g);
        seen.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + "=" + StringToUtf8(V));
        if (ACol == 1 && ARow == 1) V = u"last";
    };
    g.Tools().QuoteEmptyCells = false;
    g.Tools().SaveToCSV(P(t, "a.csv"));
    EXPECT_EQ(t.read("a.csv"), "a,b\r\nY,last\r\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"0,0=a", "1,0=b", "0,1=Y", "1,1="}));

    TExStringGrid h(nullptr);
    h.SetFixedRows(0);
    h.SetFixedCols(0);
    h.OnLoadCell = [](TObject*, int ACol, int ARow, String& V) { V = UpperCase(V) + IntToStr(ACol + 2 * ARow); };
    h.Tools().LoadFromCSV(P(t, "a.csv"));
    EXPECT_EQ(h.GetGridCell(0, 0), u"A0");
    EXPECT_EQ(h.GetGridCell(1, 0), u"B1");
    EXPECT_EQ(h.GetGridCell(0, 1), u"Y2");
    EXPECT_EQ(h.GetGridCell(1, 1), u"LAST3");
}

namespace {

// The CSV rules cell by cell, as plainly as they read: what a saved file
// must hold byte for byte, and the fields a loaded file must give.
String ReferenceCSV(SavingGrid& g, Char d) {
    TExGridTools& t = g.Tools();
    String text;
    for (int r = 0; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c) {
            String s = DoubleQuoteChars(g.SaveCell(c, r));
            if (t.OemConvert) StringToOem(s);
            bool quoted = false;
            if (t.AlwaysQuotes || (s.find(d) == String::npos && s.find(u'"') != String::npos)) {
                s = u"\"" + s + u"\"";
                quoted = true;
            }
            if (s.empty()) {
                if (t.JavaCSV) s = u"^";
                else if (t.QuoteEmptyCells) s = u"\"\"";
            }
            if (s.find(d) != String::npos || s.find(u'\r') != String::npos) {
                if (t.JavaCSV) {
                    CRLFToTilde(s);
                    if (!quoted && s.find(d) != String::npos) s = u"\"" + s + u"\"";
                } else if (quoted) {
                    CRLFToLF(s);
                } else {
                    QuoteMultiLine(s);
                }
            }
            if (c > 0) text += d;
            text += s;
        }
        text += u"\r\n";
    }
    return text;
}

// D 0: the delimiter guessed from the first two records.
std::vector<std::vector<String>> ReferenceFields(const String& Text, Char d, bool Java) {
    std::vector<String> records;
    std::vector<String> raw = SplitLines(Text);
    for (size_t i = 0; i < raw.size(); ++i) {
        String line = raw[i];
        while (CountChar(u'"', line) % 2 == 1 && i + 1 < raw.size()) line += u"\r\n" + raw[++i];
        records.push_back(line);
    }
    if (!d && !records.empty())
        d = TExGridTools::GuessDelimiter(records[0], records.size() > 1 ? records[1] : String());
    auto strip = [](String& S) {
        size_t n = 0;
        while (S.size() - n >= 2 && S[n] == u' ') ++n;
        S.erase(0, n);
    };
    auto convert = [Java](String& f) {
        if (Java) TildeToCRLF(f);
        else LTToCRLF(f);
    };
    std::vector<std::vector<String>> rows;
    for (String line : records) {
        std::vector<String> fields;
        size_t p;
        while (d && (p = line.find(d)) != String::npos) {
            strip(line);
            p = line.find(d);
            String field;
            if (!line.empty() && line[0] == u'"') {
                line.erase(0, 1);
                int q = 0;
                if (FindQuoteEnd(u'"', line, q) > 0) {
                    field = CollapseDoubledChar(u'"', line.substr(0, size_t(q - 1)));
                    line.erase(0, size_t(q));
                }
                p = line.find(d);
            } else {
                field = line.substr(0, p);
            }
            convert(field);
            fields.push_back(field);
            line.erase(0, p == String::npos ? 0 : p + 1);
        }
        if (!line.empty()) {
            strip(line);
            if (line[0] == u'"') {
                line.erase(0, 1);
                if (!line.empty() && line.back() == u'"') line.pop_back();
                line = CollapseDoubledChar(u'"', line);
            }
            convert(line);
            fields.push_back(line);
        }
        rows.push_back(fields);
    }
    return rows;
}

String RandomPieces(std::mt19937& Gen, const std::vector<String>& Pieces, int Max) {
    String s;
    for (int n = int(Gen() % unsigned(Max + 1)); n > 0; --n) s += Pieces[Gen() % Pieces.size()];
    return s;
}

// Random grids of quotes, delimiters, line breaks, blanks, markup and
// letters beyond the code page save to the bytes the cell rules give,
// under every quoting choice.
TEST(ExGridCSV, RandomGridsSaveToTheBytesOfTheCellRules) {
    TempDir t;
    std::mt19937 gen(3);
    const std::vector<String> pieces = {u"a", u"cell 12", u" ", u"\"", u",", u";", u"\r\n", u"\n", String(1, Char(11)),
                                        u"~", u"^", u"<B>b</B>", u"\u00e9", u"\u20ac", u"\u4e2d", u"=1+2", u"7"};
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        SavingGrid g(nullptr);
        g.SetColCount(5);
        g.SetRowCount(30);
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 5; ++c) g.SetGridCell(c, r, RandomPieces(gen, pieces, 3));
        TExGridTools& tools = g.Tools();
        tools.Delimiter = gen() % 3 == 0 ? u';' : Char(0);
        tools.AlwaysQuotes = gen() % 4 == 0;
        tools.QuoteEmptyCells = gen() % 2 == 0;
        tools.JavaCSV = gen() % 4 == 0;
        tools.OemConvert = gen() % 5 == 0;
        g.SetSaveVirtCells(gen() % 2 == 0);
        const bool unicode = gen() % 2 == 0;
        tools.SaveToCSV(P(t, "r.csv"), unicode);
        const Char d = tools.Delimiter ? tools.Delimiter : u',';
        EXPECT_EQ(t.read("r.csv"),
                  EncodeText(ReferenceCSV(g, d), unicode ? TTextEncoding::Utf8Bom : TTextEncoding::Windows1252));
    }
}

// Random files of fields, quotes, blanks, delimiters and line breaks load
// into the fields the record rules give.
TEST(ExGridCSV, RandomFilesLoadIntoTheFieldsOfTheRecordRules) {
    TempDir t;
    std::mt19937 gen(4);
    const std::vector<std::string> pieces = {"a", "cell 12", " ", "  ", "\"", "\"\"", ",", ";", "\r\n", "\n",
                                             "\r", "\v", "~", "^", "\xe9", "x y", "7"};
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        std::string bytes;
        for (int n = 1 + int(gen() % 60); n > 0; --n) bytes += pieces[gen() % pieces.size()];
        if (gen() % 2) bytes += "\r\n";
        t.write("in.csv", bytes);
        TExStringGrid g(nullptr);
        TExGridTools& tools = g.Tools();
        tools.Delimiter = gen() % 3 == 0 ? u',' : Char(0);
        tools.JavaCSV = gen() % 4 == 0;
        const String text = DecodeText(bytes);
        try {
            tools.LoadFromCSV(P(t, "in.csv"));
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"File is empty");
            EXPECT_TRUE(SplitLines(text).empty());
            continue;
        }
        const std::vector<std::vector<String>> rows = ReferenceFields(text, tools.Delimiter, tools.JavaCSV);
        ASSERT_EQ(g.RowCount(), std::max<int>(1, int(rows.size())));
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c)
                EXPECT_EQ(g.GetGridCell(int(c), int(r)), rows[r][c]) << r << "," << c;
    }
}

}  // namespace

namespace {

// A grid of every kind of cell a save treats on its own: plain texts,
// numbers, markup, rich text, formulas, wide texts, empty cells, check boxes
// and merged areas.
void FillForSaving(TExStringGrid& G, std::mt19937& Gen) {
    const std::vector<String> pieces = {u"a",    u"cell 12", u" ",    u"\"",       u",",  u"\r\n", u"<B>b</B>",
                                        u"<x",   u"1.5",     u"-7",   u"\u00e9",   u"\u4e2d", u"=1+2", u"{\\rtf1 r}",
                                        u"|\\",  u"www.example.org"};
    G.SetColCount(6);
    G.SetRowCount(25);
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 6; ++c) G.SetGridCell(c, r, RandomPieces(Gen, pieces, 2));
    for (int n = 0; n < 6; ++n) G.AddCheckBox(int(Gen() % 6), int(Gen() % 25), Gen() % 2 == 0);
    G.MergeCells(1, 3, 2, 2);
    G.MergeCells(3, 10, 1, 3);
}

}  // namespace

// Wherever a save takes a cell's stored text as it is, that text is the one
// SaveCell gives, whatever the grid's settings and hooks.
TEST(ExGridSaveCell, ASavedViewIsTheSavedText) {
    std::mt19937 gen(11);
    int views = 0, others = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        SavingGrid g(nullptr);
        FillForSaving(g, gen);
        g.SetSaveVirtCells(round % 2 == 0);
        g.SetSaveWithHTML(round % 3 == 0);
        g.SetURLShowInText(round % 5 == 1);
        if (round % 4 == 2) g.OnGetDisplText = [](TObject*, int ACol, int, String& V) { V += IntToStr(ACol); };
        if (round % 6 == 3)
            g.OnGetFloatFormat = [](TObject*, int, int, bool&, String& F) { F = u"%.2f"; };
        for (int r = 0; r < g.RowCount(); ++r)
            for (int c = 0; c < g.ColCount(); ++c) {
                std::u16string_view v;
                if (!g.SaveCellView(c, r, v)) {
                    ++others;
                    continue;
                }
                ++views;
                EXPECT_EQ(String(v), g.SaveCell(c, r)) << c << "," << r;
            }
    }
    EXPECT_GT(views, 1000);
    EXPECT_GT(others, 1000);
}

// A file saved cell by cell through OnSaveCell, which changes nothing here,
// has the bytes of one saved without it, for the grid and the column grid
// with a float format of its own.
TEST(ExGridCSV, SavingWithoutAnEventGivesTheBytesOfSavingThroughIt) {
    TempDir t;
    std::mt19937 gen(5);
    auto compare = [&](TExStringGrid& g, const char* what) {
        SCOPED_TRACE(what);
        g.Tools().Delimiter = gen() % 2 ? u';' : Char(0);
        g.SetSaveVirtCells(gen() % 2 == 0);
        g.SetSaveWithHTML(gen() % 2 == 0);
        g.Tools().SaveToCSV(P(t, "direct.csv"));
        g.OnSaveCell = [](TObject*, int, int, String&) {};
        g.Tools().SaveToCSV(P(t, "event.csv"));
        g.OnSaveCell = nullptr;
        EXPECT_EQ(t.read("direct.csv"), t.read("event.csv"));
    };
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        TExStringGrid g(nullptr);
        FillForSaving(g, gen);
        compare(g, "grid");
        TExColumnGrid cg(nullptr);
        FillForSaving(cg, gen);
        cg.Columns().Items(2)->SetFloatFormat(u"%.3f");
        compare(cg, "column grid");
    }
}
