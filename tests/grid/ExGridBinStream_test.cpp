#include "grid/ExGrid.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/ImgList.h"
#include "framework/Streaming.h"
#include "framework/Streams.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::vector<std::vector<String>> CellsOf(TExStringGrid& g) {
    std::vector<std::vector<String>> cells(std::size_t(g.RowCount()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) cells[std::size_t(r)].push_back(g.GetCellEx(c, r));
    return cells;
}

std::string Golden(const std::string& name) {
    std::ifstream f(TestDataDir() + "/" + name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// One fixed row and column, a two-line cell, a letter outside Latin-1, a
// long text, a merged 2 x 3 area, a coloured bold cell and a check box.
void FillSample(TExStringGrid& g) {
    g.SetColCount(5);
    g.SetRowCount(6);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellEx(c, r, IntToStr(c) + u"/" + IntToStr(r));
    g.SetCellEx(1, 1, u"first\r\nsecond");
    g.SetCellEx(2, 1, u"\u03A9mega");
    g.SetCellEx(3, 1, String(300, u'x'));
    g.SetCellEx(4, 1, u"");
    g.MergeCells(2, 3, 2, 3);
    g.SetCellEx(2, 3, u"merged");
    TCellProperties* p = g.GetCellProperties(1, 2);
    p->SetBrushColor(clYellow);
    p->SetFontStyle(TFontStyles{fsBold, fsItalic});
    p->SetAlignment(taRightJustify);
    p->SetFontName(u"Serif");
    g.AddCheckBox(4, 2, true);
    g.SetColWidths(2, 81);
    g.SetRowHeights(3, 30);
}

}  // namespace

TEST(ExGridBinStream, RectangleMatchesGoldenBytesAndLoadsBack) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCellEx(1, 1, u"ab");
    g.SetCellEx(2, 1, u"\u00e9t\u00e9");
    g.GetCellProperties(1, 2)->SetBrushColor(clRed);
    g.AddCheckBox(2, 2, true);
    TMemoryStream s;
    TGridRect r;
    r.Left = 1;
    r.Top = 1;
    r.Right = 2;
    r.Bottom = 2;
    g.Tools().SaveRectToBinStream(r, s);
    std::string bytes(s.Bytes());
    // The header's window handle differs per run: compare with the golden
    // file's ID field patched to ours.
    std::string golden = Golden("bin_rect.bin");
    const auto at = bytes.find("\x02ID");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(golden.find("\x02ID"), at);
    const std::size_t len = bytes[at + 3] == 4 ? 5 : bytes[at + 3] == 3 ? 3 : 2;
    golden.replace(at + 3, golden[at + 3] == 4 ? 5 : golden[at + 3] == 3 ? 3 : 2, bytes.substr(at + 3, len));
    EXPECT_EQ(bytes, golden);

    TExStringGrid h(nullptr);
    h.SetColCount(8);
    h.SetRowCount(10);
    s.SetPosition(0);
    h.Tools().LoadAtPointFromBinStream(TPoint{5, 7}, s);
    EXPECT_EQ(h.GetCellEx(5, 7), u"ab");
    EXPECT_EQ(h.GetCellEx(6, 7), u"\u00e9t\u00e9");
    EXPECT_EQ(h.GetCellProperties(5, 8)->BrushColor(), clRed);
    EXPECT_TRUE(h.IsChecked(6, 8));
    EXPECT_EQ(h.GetCellType(6, 8), ctCheckBox);
    EXPECT_EQ(h.ColCount(), 8);  // a partial rectangle does not change the counts
    EXPECT_EQ(h.RowCount(), 10);
}

TEST(ExGridBinStream, WholeGridRoundTripsWithAndWithoutFixedCells) {
    for (bool fixed : {true, false}) {
        SCOPED_TRACE(fixed ? "fixed cells saved" : "normal cells only");
        TempDir t;
        TExStringGrid g(nullptr);
        FillSample(g);
        g.Tools().SaveFixedCells = fixed;
        const String file = Utf8ToString(t.file("cells.bin"));
        g.Tools().SaveToBinFile(file);

        TExStringGrid h(nullptr);
        h.SetFixedCols(1);
        h.SetFixedRows(1);
        h.SetCellEx(0, 0, u"stale");
        h.Tools().SaveFixedCells = fixed;
        h.Tools().LoadFromBinFile(file);
        EXPECT_EQ(h.ColCount(), 5);
        EXPECT_EQ(h.RowCount(), 6);
        std::vector<std::vector<String>> want = CellsOf(g);
        if (!fixed) {
            for (auto& c : want[0]) c.clear();
            for (auto& row : want) row[0].clear();
        }
        EXPECT_EQ(CellsOf(h), want);
        EXPECT_EQ(h.ColWidths(2), 81);
        EXPECT_EQ(h.RowHeights(3), 30);
        EXPECT_EQ(h.CellSpan(2, 3).X, 1);
        EXPECT_EQ(h.CellSpan(2, 3).Y, 2);
        EXPECT_EQ(h.BaseCell(3, 5).X, 2);
        EXPECT_EQ(h.BaseCell(3, 5).Y, 3);
        TCellProperties* p = h.GetCellProperties(1, 2);
        EXPECT_EQ(p->BrushColor(), clYellow);
        EXPECT_EQ(p->FontStyle(), (TFontStyles{fsBold, fsItalic}));
        EXPECT_EQ(p->Alignment(), taRightJustify);
        EXPECT_EQ(p->FontName(), u"Serif");
        EXPECT_TRUE(h.IsChecked(4, 2));
        EXPECT_FALSE(h.CellPropsAssigned(3, 4) && h.GetCellType(3, 4) != ctEmpty);
    }
}

TEST(ExGridBinStream, DamagedStreamsKeepWhatWasReadAndAStrayByteIsIgnored) {
    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetCellEx(0, 0, u"a");
    g.SetCellEx(1, 0, u"b");
    g.SetCellEx(0, 1, u"c");
    g.SetCellEx(1, 1, u"d");
    TMemoryStream s;
    g.Tools().SaveToBinStream(s);
    const std::string whole(s.Bytes());

    // A stray last byte after the last image.
    {
        TMemoryStream in;
        in.WriteBytes(whole + "\x07");
        in.SetPosition(0);
        TExStringGrid h(nullptr);
        EXPECT_NO_THROW(h.Tools().LoadFromBinStream(in));
        EXPECT_EQ(CellsOf(h), CellsOf(g));
    }
    // Cut inside the last cell's image: the three cells before it stay.
    {
        TMemoryStream in;
        in.WriteBytes(whole.substr(0, whole.size() - 4));
        in.SetPosition(0);
        TExStringGrid h(nullptr);
        EXPECT_THROW(h.Tools().LoadFromBinStream(in), EReadError);
        EXPECT_EQ(h.GetCellEx(0, 0), u"a");
        EXPECT_EQ(h.GetCellEx(1, 0), u"b");
        EXPECT_EQ(h.GetCellEx(0, 1), u"c");
        EXPECT_EQ(h.GetCellEx(1, 1), u"");
    }
    // A wrong signature or a header whose width list is short changes nothing.
    const std::string shortWidths = [&] {
        std::string b = whole;
        const auto at = b.find("\x09" "ColWidths");
        b[at + 11] = char(b[at + 11] - 3);  // "64,64" loses ",64"
        b.erase(at + 12 + 2, 3);
        return b;
    }();
    for (const std::string& bad : {std::string("TPF1") + whole.substr(4), shortWidths}) {
        TMemoryStream in;
        in.WriteBytes(bad);
        in.SetPosition(0);
        TExStringGrid h(nullptr);
        h.SetCellEx(0, 0, u"kept");
        EXPECT_THROW(h.Tools().LoadFromBinStream(in), EReadError);
        EXPECT_EQ(h.GetCellEx(0, 0), u"kept");
        EXPECT_EQ(h.ColCount(), 5);
    }
    // A missing file raises before anything changes.
    TExStringGrid h(nullptr);
    h.SetCellEx(0, 0, u"kept");
    EXPECT_THROW(h.Tools().LoadFromBinFile(u"/nonexistent/cells.bin"), Exception);
    EXPECT_EQ(h.GetCellEx(0, 0), u"kept");
}

TEST(ExGridBinStream, ReportsProgressPerRow) {
    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(3);
    std::vector<short> seen;
    g.Tools().OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
    TMemoryStream s;
    g.Tools().SaveToBinStream(s);
    EXPECT_EQ(seen, (std::vector<short>{0, 50, 100}));
}

namespace {

// The four cells of g's row 0 through a stream into row 1 of h, a grid of g's size.
void CopyFirstRowToSecond(TExStringGrid& g, TExStringGrid& h) {
    TMemoryStream s;
    g.Tools().SaveRectToBinStream(TGridRect{0, 0, 3, 0}, s);
    h.SetColCount(4);
    h.SetRowCount(2);
    s.SetPosition(0);
    h.Tools().LoadAtPointFromBinStream(TPoint{0, 1}, s);
}

}  // namespace

// Every member of a graphic record travels: the creation flag, the value,
// the two error marks and the text, whatever the kind uses them for.
TEST(ExGridBinStream, GraphicRecordsKeepTheirValuesMarksAndTexts) {
    TExStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(2);
    g.AddProgressFormatted(0, 0, clRed, clBlack, clWhite, clBlack, u"%d of 250", -5, 250);
    g.AddComment(1, 0, u"checked by \u00c9va\r\non Monday");
    g.AddButton(2, 0, 40, 18, u"Go", haCenter, vaCenter);
    g.GetCellGraphic(2, 0)->CellValue = 3.0 * 65536 + 7;  // where painting put the button
    g.AddCheckBox(3, 0, true);
    g.GetCellGraphic(3, 0)->CellCreated = true;
    g.GetCellGraphic(3, 0)->CellValue = -0.125;
    TExStringGrid h(nullptr);
    CopyFirstRowToSecond(g, h);
    struct Case {
        int Col;
        TCellType Type;
        bool Created;
        double Value;
        int ErrFrom, ErrLen;
        String Text;
    };
    const Case cases[] = {
        {0, ctProgress, false, 0, -5, 250, u"%d of 250"},
        {1, ctComment, false, 0, 0, 0, u"checked by \u00c9va\r\non Monday"},
        {2, ctButton, false, 3.0 * 65536 + 7, 0, 0, u"Go"},
        {3, ctCheckBox, true, -0.125, 0, 0, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Col);
        TCellGraphic* got = h.GetCellGraphic(c.Col, 1);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->CellType, c.Type);
        EXPECT_EQ(got->CellCreated, c.Created);
        EXPECT_DOUBLE_EQ(got->CellValue, c.Value);
        EXPECT_EQ(got->CellErrFrom, c.ErrFrom);
        EXPECT_EQ(got->CellErrLen, c.ErrLen);
        EXPECT_EQ(got->CellText, c.Text);
    }
    EXPECT_EQ(h.GetButtonText(2, 1), u"Go");
}

// The data kinds travel with the objects the cell made itself, which the
// loaded cell then owns; objects the caller lent are not written.
TEST(ExGridBinStream, CreatedBitmapsListsAndImagesTravelWithTheirCells) {
    TExStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(2);
    TBitmap* bmp = g.CreateBitmap(0, 0, false, haLeft, vaTop);
    bmp->SetSize(3, 2);
    bmp->Canvas().SetPixels(2, 1, TColor(0x123456));
    TStringList* options = g.CreateRadio(1, 0, 1, 2);
    options->Add(u"one");
    options->Add(u"two, three");
    TImageList images(nullptr);
    g.SetGridImages(&images);
    g.AddMultiImage(2, 0, 0, haLeft, vaTop);
    for (int i : {2, 5, 7}) g.GetCellImages(2, 0)->Add(i);
    g.GetCellGraphic(2, 0)->CellCreated = true;
    TBitmap lent;
    lent.SetSize(1, 1);
    g.AddBitmap(3, 0, &lent, false, haLeft, vaTop);
    TExStringGrid h(nullptr);
    CopyFirstRowToSecond(g, h);
    TBitmap* got = h.GetBitmap(0, 1);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->Width(), 3);
    EXPECT_EQ(got->Height(), 2);
    EXPECT_EQ(ColorToRGB(got->Canvas().Pixels(2, 1)), 0x123456);
    EXPECT_TRUE(h.GetCellGraphic(0, 1)->CellCreated);
    ASSERT_NE(h.GetRadioStrings(1, 1), nullptr);
    EXPECT_EQ(h.GetRadioStrings(1, 1)->CommaText(), u"one,\"two, three\"");
    EXPECT_EQ(h.GetRadioIdx(1, 1), 2);
    ASSERT_NE(h.GetCellImages(2, 1), nullptr);
    EXPECT_EQ(h.GetCellImages(2, 1)->StrValue(), u"2,5,7");
    // The lent bitmap's cell wrote its properties only.
    EXPECT_EQ(h.GetCellGraphic(3, 1), nullptr);
}
