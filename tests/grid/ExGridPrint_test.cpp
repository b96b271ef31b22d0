#include "grid/ExGrid.h"

#include "framework/Printers.h"
#include "framework/SysUtils.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

TEST(PrintSettings, CopiesEverythingButFixedCellsAlwaysAndOwnsItsFonts) {
    TExStringGrid a(nullptr), b(nullptr);
    TPrintSettings& s = a.PrintSettings();
    EXPECT_EQ(s.Borders, pbSingle);
    EXPECT_TRUE(s.Centered);
    EXPECT_TRUE(s.UseDisplayFont);
    EXPECT_EQ(s.DateFormat, u"dd/mm/yyyy");
    EXPECT_EQ(s.PageNumSep, u"/");
    for (TPrintPosition p : {s.Time, s.Date, s.PageNr, s.Title}) EXPECT_EQ(p, ppNone);

    s.PageNr = ppBottomRight;
    s.MaxPagesOffset = 20;
    s.FitToPage = fpShrink;
    s.TitleLines().Add(u"line");
    s.FixedCellsAlways = true;
    TFont big;
    big.SetSize(20);
    s.SetHeaderFont(big);
    big.SetSize(8);
    EXPECT_EQ(s.HeaderFont().Size(), 20);

    b.PrintSettings().Assign(&s);
    TPrintSettings& t = b.PrintSettings();
    EXPECT_EQ(t.PageNr, ppBottomRight);
    EXPECT_EQ(t.MaxPagesOffset, 20);
    EXPECT_EQ(t.FitToPage, fpShrink);
    EXPECT_EQ(t.TitleLines().Count(), 1);
    EXPECT_EQ(t.HeaderFont().Size(), 20);
    EXPECT_FALSE(t.FixedCellsAlways);
    s.HeaderFont().SetSize(9);
    EXPECT_EQ(t.HeaderFont().Size(), 20);
    EXPECT_EQ(t.Grid(), &b);

    TFont other;
    EXPECT_THROW(t.Assign(&other), Exception);
}

}  // namespace

namespace {

TEST(PrintLayout, RotatedBlockPlacementPerQuadrant) {
    struct Case {
        double angle;
        int left[3];  // left, right, centred
        int top[3];   // top, bottom, centred
    } cases[] = {
        {0, {0, 60, 30}, {0, 40, 20}},      {90, {0, 90, 45}, {40, 50, 45}}, {180, {40, 100, 70}, {10, 50, 30}},
        {270, {10, 100, 55}, {0, 10, 5}}, {300, {8, 80, 44}, {0, 11, 5}},
    };
    TAlignment hs[] = {taLeftJustify, taRightJustify, taCenter};
    TVAlignment vs[] = {vtaTop, vtaBottom, vtaCenter};
    for (const Case& c : cases)
        for (int i = 0; i < 3; ++i) {
            TRect r = Rect(0, 0, 100, 50);
            PlaceRotatedBlock(r, hs[i], vs[i], c.angle, 40, 10);
            EXPECT_EQ(r.Left, c.left[i]) << c.angle << " " << i;
            EXPECT_EQ(r.Top, c.top[i]) << c.angle << " " << i;
            EXPECT_EQ(r.Right, 100);
            EXPECT_EQ(r.Bottom, 50);
        }
}

TEST(PrintLayout, PageNumbersAndTheirPlaceInTheFooter) {
    TExStringGrid g(nullptr);
    TPrintSettings& s = g.PrintSettings();
    s.PageNr = ppBottomRight;
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 2), u"1/2");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, false, 2), u"2/2");
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 1), u"1");
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, -1), u"1");  // while counting
    std::array<String, 7> t = PrintPositionTexts(s, u"", u"", PrintPageNumber(s, 0, 0, 1, false, 2), u"");
    EXPECT_EQ(t[ppBottomRight], u"  1/2 ");
    for (int p : {ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomCenter}) EXPECT_EQ(t[size_t(p)], u"");

    s.PageNumberOffset = 10;
    s.MaxPagesOffset = 20;
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 2), u"11/22");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, false, 2), u"12/22");
    // Several strips: page in strip and strip, without offsets.
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, true, 4), u"1-1");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, true, 4), u"2-1");
    EXPECT_EQ(PrintPageNumber(s, 2, 0, 2, true, 4), u"1-2");
    EXPECT_EQ(PrintPageNumber(s, 3, 1, 2, true, 4), u"2-2");

    // Left positions put each item in front, the others append it.
    s.Time = ppTopLeft;
    s.Date = ppTopLeft;
    s.Title = ppTopRight;
    s.PageNr = ppTopRight;
    t = PrintPositionTexts(s, u"12:30", u"01/02/2026", u"3", u"Title");
    EXPECT_EQ(t[ppTopLeft], u"01/02/2026 12:30 ");
    EXPECT_EQ(t[ppTopRight], u"  3  Title");
}

}  // namespace

namespace {

int PdfPages(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string pdf = s.str();
    std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
    return int(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// Rows "r<n>" in three columns.
// The pixels of the first preview page of W x H drawn on white.
std::vector<TColor> PreviewPixels(TExStringGrid& g, int W = 400, int H = 400) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(W, H);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, W, H));
    g.Tools().SetPreviewPage(1);
    g.Tools().PrintPreview(bmp.Canvas(), Rect(0, 0, W, H));
    std::vector<TColor> v;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) v.push_back(bmp.Canvas().Pixels(x, y));
    return v;
}

int Ink(const std::vector<TColor>& Pixels) { return int(std::ranges::count_if(Pixels, [](TColor c) { return c != clWhite; })); }

void FillRows(TExStringGrid& g, int Rows, int Cols = 3, const String& Extra = String()) {
    g.SetColCount(Cols);
    g.SetRowCount(Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) g.SetCellEx(c, r, u"r" + IntToStr(r) + Extra);
}

TEST(PrintPages, PdfHoldsTheCountedPagesWithTheirNumbers) {
    TempDir tmp;
    TExStringGrid g(nullptr);
    FillRows(g, 150);
    TExGridTools& t = g.Tools();
    g.PrintSettings().PageNr = ppBottomRight;
    std::vector<String> numbers;
    t.OnPrintGetPageNum = [&](TObject*, int, int, String& s) { numbers.push_back(s); };
    int started = 0;
    t.OnPrintStart = [&](TObject*, int n, int& from, int& to) {
        started = n;
        EXPECT_EQ(from, 1);
        EXPECT_EQ(to, n);
    };
    Printer()->SetOutputFileName(Utf8ToString(tmp.file("grid.pdf")));
    t.Print();
    int n = t.PrintNrOfPages();
    ASSERT_GE(n, 2);
    EXPECT_EQ(started, n);
    EXPECT_EQ(PdfPages(tmp.file("grid.pdf")), n);
    ASSERT_EQ(int(numbers.size()), n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(numbers[size_t(i)], IntToStr(i + 1) + u"/" + IntToStr(n));

    // An empty range from the start handler prints nothing.
    t.OnPrintStart = [](TObject*, int, int& from, int&) { from = 0; };
    Printer()->SetOutputFileName(Utf8ToString(tmp.file("none.pdf")));
    t.Print();
    EXPECT_FALSE(std::ifstream(tmp.file("none.pdf")).good());
    Printer()->SetOutputFileName(String());
}

TEST(PrintPages, WideGridsPrintInStrips) {
    TempDir tmp;
    TExStringGrid g(nullptr);
    FillRows(g, 120, 12, u" with a long tail of text");
    std::vector<String> numbers;
    g.Tools().OnPrintGetPageNum = [&](TObject*, int, int, String& s) { numbers.push_back(s); };
    g.PrintSettings().PageNr = ppBottomCenter;
    Printer()->SetOutputFileName(Utf8ToString(tmp.file("wide.pdf")));
    g.Tools().Print();
    ASSERT_GE(numbers.size(), 4u);
    EXPECT_EQ(numbers[0], u"1-1");
    EXPECT_EQ(numbers[1], u"2-1");
    EXPECT_EQ(numbers.back().substr(numbers.back().size() - 2), u"-" + IntToStr(g.Tools().PrintNrOfPages() / 2));
    Printer()->SetOutputFileName(String());
}

TEST(PrintPages, PreviewDrawsOnlyItsPageAndFixedRowsRepeatOnce) {
    TExStringGrid g(nullptr);
    FillRows(g, 80);
    TExGridTools& t = g.Tools();
    g.PrintSettings().RepeatFixedRows = true;
    std::vector<int> pages;
    t.OnPrintPage = [&](TObject*, TCanvas&, int page, int, int) { pages.push_back(page); };
    int headerCells = 0;
    t.OnGetCellPrintBorder = [&](TObject*, int row, int, TPen&, TSet<int>&) {
        if (row == 0) ++headerCells;
    };
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(600, 300);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, 600, 300));
    t.SetPreviewPage(3);
    t.PrintPreview(bmp.Canvas(), Rect(0, 0, 600, 300));
    ASSERT_GE(t.PrintNrOfPages(), 3);
    EXPECT_EQ(pages, std::vector<int>{3});
    EXPECT_EQ(headerCells, 3);  // the repeated header row on page 3 only
    bool ink = false;
    for (int y = 0; y < 300 && !ink; y += 2)
        for (int x = 0; x < 600 && !ink; x += 2) ink = bmp.Canvas().Pixels(x, y) != clWhite;
    EXPECT_TRUE(ink);

    // Page 1 prints the header row once, as the first row.
    headerCells = 0;
    t.SetPreviewPage(1);
    t.PrintPreview(bmp.Canvas(), Rect(0, 0, 600, 300));
    EXPECT_EQ(headerCells, 3);

    // Drawing gives one page whatever the rows.
    pages.clear();
    t.PrintDraw(bmp.Canvas(), Rect(0, 0, 600, 300));
    EXPECT_EQ(pages, std::vector<int>{1});
}

TEST(PrintPages, ColumnWidthsFollowTheFittingRule) {
    auto widths = [](TFitToPage fit, bool fixed) {
        TExStringGrid g(nullptr);
        FillRows(g, 5);
        g.PrintSettings().FitToPage = fit;
        g.PrintSettings().UseFixedWidth = fixed;
        g.PrintSettings().FixedWidth = 300;
        std::vector<int> w;
        g.Tools().OnPrintSetColumnWidth = [&](TObject*, int, int& width) { w.push_back(width); };
        TBitmap bmp;
        bmp.SetSize(600, 300);
        g.Tools().PrintDraw(bmp.Canvas(), Rect(0, 0, 600, 300));
        return w;
    };
    std::vector<int> plain = widths(fpNever, false);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(widths(fpShrink, false), plain);  // a narrow grid does not shrink
    std::vector<int> grown = widths(fpGrow, false);
    int page = 600 * 254 / 96, sum = 0;
    for (int w : grown) sum += w + 20;
    EXPECT_GT(grown[0], plain[0]);
    EXPECT_NEAR(sum, page, 10);
    EXPECT_EQ(widths(fpNever, true), (std::vector<int>{300, 300, 300}));
}

}  // namespace

namespace {

// The run leaves its page rectangle, the strip's column edges and the
// font factor of the fitting for the grid's print fields.
TEST(PrintPages, TheRunKeepsItsPageRectangleColumnEdgesAndFontFactor) {
    TExStringGrid g(nullptr);
    FillRows(g, 5);
    TExGridTools& t = g.Tools();
    TBitmap bmp;
    bmp.SetSize(600, 300);
    EXPECT_EQ(t.Fontscalefactor(), 1.0);
    g.PrintSettings().FitToPage = fpGrow;
    t.PrintDraw(bmp.Canvas(), Rect(10, 20, 590, 280));
    EXPECT_EQ(t.PrevRect(), Rect(10, 20, 590, 280));
    const double f = t.Fontscalefactor();
    EXPECT_GT(f, 1.0);  // a narrow grid grows to the page, and its fonts with it
    EXPECT_EQ(t.MapFontHeight(10), -int(10 * 254.0 / 72 * f));
    ASSERT_GE(t.Indents().size(), 4u);
    for (int c = 1; c < g.ColCount(); ++c)
        EXPECT_EQ(t.Indents()[std::size_t(c)] - t.Indents()[std::size_t(c - 1)], t.MaxWidths()[std::size_t(c - 1)] + 20)
            << c;  // each column adds its width and the spacing
    g.PrintSettings().FitToPage = fpNever;
    t.PrintDraw(bmp.Canvas(), Rect(0, 0, 600, 300));
    EXPECT_EQ(t.Fontscalefactor(), 1.0);
    EXPECT_EQ(t.MapFontHeight(10), -35);
}

TEST(PrintPages, SelectedRowsOrColumnsOnly) {
    TExStringGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(12);
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellEx(c, r, IntToStr(c) + u"," + IntToStr(r));
    TExGridTools& t = g.Tools();
    std::set<int> rows, cols;
    t.OnGetCellPrintBorder = [&](TObject*, int r, int c, TPen&, TSet<int>&) {
        rows.insert(r);
        cols.insert(c);
    };
    TBitmap bmp;
    bmp.SetSize(600, 800);
    auto preview = [&](bool Rows) {
        rows.clear();
        cols.clear();
        t.SetPreviewPage(1);
        if (Rows) t.PrintPreviewSelectedRows(bmp.Canvas(), Rect(0, 0, 600, 800));
        else t.PrintPreviewSelectedCols(bmp.Canvas(), Rect(0, 0, 600, 800));
    };
    const std::set<int> allRows{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, allCols{0, 1, 2, 3, 4};

    // By the selection rectangle.
    g.SetSelection(TGridRect{2, 3, 3, 5});
    preview(true);
    EXPECT_EQ(rows, (std::set<int>{3, 4, 5}));
    EXPECT_EQ(cols, allCols);
    EXPECT_EQ(t.PrintNrOfPages(), 1);
    preview(false);
    EXPECT_EQ(rows, allRows);
    EXPECT_EQ(cols, (std::set<int>{2, 3}));
    g.PrintSettings().FixedCellsAlways = true;
    preview(true);
    EXPECT_EQ(rows, (std::set<int>{0, 3, 4, 5}));
    preview(false);
    EXPECT_EQ(cols, (std::set<int>{0, 2, 3}));
    g.PrintSettings().FixedCellsAlways = false;

    // By the rows and columns chosen one by one.
    g.MouseActions().SetDisjunctColSelect(true);
    g.SetColSelect(1, true);
    g.SetColSelect(4, true);
    preview(false);
    EXPECT_EQ(cols, (std::set<int>{1, 4}));
    g.MouseActions().SetDisjunctColSelect(false);
    g.MouseActions().SetDisjunctRowSelect(true);
    g.SetRowSelect(2, true);
    g.SetRowSelect(10, true);
    preview(true);
    EXPECT_EQ(rows, (std::set<int>{2, 10}));
    preview(false);  // rows chosen one by one keep every column
    EXPECT_EQ(cols, allCols);

    // The plain preview afterwards prints everything again.
    rows.clear();
    cols.clear();
    t.PrintPreview(bmp.Canvas(), Rect(0, 0, 600, 800));
    EXPECT_EQ(rows, allRows);
    EXPECT_EQ(cols, allCols);
}

}  // namespace

namespace {

TEST(PrintCells, RotatedTextsMeasureTurned) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    const String text = u"a rather long text to turn";
    g.SetCellEx(1, 1, text);
    g.SetCellEx(2, 1, text);
    g.AddRotated(2, 1, 90, text);
    TExGridTools& t = g.Tools();
    std::map<int, int> heights;
    t.OnPrintSetRowHeight = [&](TObject*, int r, int& h) { heights[r] = h; };
    TBitmap bmp;
    bmp.SetSize(800, 800);
    t.SetPreviewPage(1);
    t.PrintPreview(bmp.Canvas(), Rect(0, 0, 800, 800));
    const std::vector<int>& w = t.MaxWidths();
    // Turned upright the text is as wide as a line is high, and the row as high as the text is long.
    EXPECT_LT(w[2] * 4, w[1]);
    EXPECT_GT(w[2], 0);
    EXPECT_GT(heights[1] * 2, w[1]);
    EXPECT_LT(heights[0] * 4, heights[1]);
    // The turned text is drawn inside its cell: blank it and the page loses ink.
    auto ink = [&] { return Ink(PreviewPixels(g, 800, 800)); };
    g.PrintSettings().Borders = pbNoborder;
    g.SetCellEx(1, 1, u"");
    const int with = ink();
    g.SetCellEx(2, 1, u"");
    EXPECT_GT(with, ink() + 50);
    g.SetCellEx(1, 1, text);
    g.SetCellEx(2, 1, text);
    // Half a turn keeps the width and the height of a line.
    g.SetRotated(2, 1, 180);
    heights.clear();
    t.PrintPreview(bmp.Canvas(), Rect(0, 0, 800, 800));
    EXPECT_NEAR(t.MaxWidths()[2], t.MaxWidths()[1], 2);
    EXPECT_NEAR(heights[1], heights[0], 2);
}

TEST(PrintCells, CheckBoxesAndNodesPrintWithPrintGraphics) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(6);
    for (int r = 1; r < 6; ++r) g.SetCellEx(2, r, u"row " + IntToStr(r));
    g.AddCheckBox(1, 1, true);
    g.AddCheckBox(1, 2, false);
    g.Tools().AddNode(3, 1);  // closing it hides no row: only its box changes
    const std::vector<TColor> plain = PreviewPixels(g);
    g.SetCheckBoxState(1, 2, true);
    g.ContractNode(3);
    EXPECT_TRUE(g.GetNodeState(3));
    EXPECT_EQ(PreviewPixels(g), plain);  // without graphics neither shows

    g.PrintSettings().PrintGraphics = true;
    const std::vector<TColor> withBoxes = PreviewPixels(g);
    EXPECT_NE(withBoxes, plain);
    EXPECT_GE(g.Tools().MaxWidths()[1], int(std::lround(16 * 254.0 / 96)));
    g.SetCheckBoxState(1, 2, false);
    const std::vector<TColor> unchecked = PreviewPixels(g);
    EXPECT_NE(unchecked, withBoxes);
    g.ExpandNode(3);
    EXPECT_NE(PreviewPixels(g), unchecked);
}

}  // namespace

namespace {

TEST(PrintCells, MarkupAndRichTextPrintTheirWordsOnly) {
    struct Case {
        const char16_t* text;
        const char16_t* words;
    } cases[] = {
        {u"<b>bold</b> and <i>more</i> words", u"bold and more words"},
        {u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\b bold\\b0  world\\par}", u"Hello bold world"},
    };
    for (const Case& c : cases) {
        TExStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(2);
        g.PrintSettings().Borders = pbNoborder;
        g.SetCellEx(1, 1, c.text);
        g.SetCellEx(2, 1, c.words);
        const int all = Ink(PreviewPixels(g, 800, 400));
        // The tags and the RTF take no room: the column is as wide as its words.
        const std::vector<int>& w = g.Tools().MaxWidths();
        EXPECT_GT(w[1], w[2] * 9 / 10) << StringToUtf8(c.words);
        EXPECT_LT(w[1], w[2] * 12 / 10) << StringToUtf8(c.words);
        // And the cell is drawn: emptying it takes ink away.
        g.SetCellEx(1, 1, u"");
        EXPECT_GT(all, Ink(PreviewPixels(g, 800, 400)) + 50) << StringToUtf8(c.words);
    }
}

TEST(PrintCells, CheckBoxCellsPrintNoText) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetCellEx(1, 1, u"a text of some length");
    g.SetCellEx(2, 1, u"a text of some length");
    g.AddCheckBox(2, 1, true);
    PreviewPixels(g);
    EXPECT_LT(g.Tools().MaxWidths()[2] * 2, g.Tools().MaxWidths()[1]);
}

}  // namespace

namespace {

TEST(PrintTitles, MarkupTitlesTakeTheirBandAndPlainOnesPrintEveryLine) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(4);
    for (int r = 0; r < 4; ++r) g.SetCellEx(1, r, u"cell " + IntToStr(r));
    TExGridTools& t = g.Tools();
    TPrintSettings& ps = g.PrintSettings();
    int lastY = 0;
    t.OnPrintPageDone = [&](TObject*, TCanvas&, int, int Y, int, int, int) { lastY = Y; };
    auto preview = [&] { return PreviewPixels(g, 600, 600); };
    ps.Title = ppTopCenter;
    preview();
    const int untitled = lastY;

    ps.TitleLines().Add(u"first line");
    ps.TitleLines().Add(u"second line");
    const std::vector<TColor> oneLine = [&] {
        TStringList keep;
        keep.Assign(&ps.TitleLines());
        ps.TitleLines().Delete(1);
        auto v = preview();
        ps.SetTitleLines(keep);
        return v;
    }();
    const std::vector<TColor> twoLines = preview();
    EXPECT_LT(lastY, untitled);  // the second line takes room
    EXPECT_NE(twoLines, oneLine);  // and is printed

    ps.TitleLines().Clear();
    ps.TitleLines().Add(u"<b>Big</b> report");
    ps.TitleLines().Add(u"<br>of <i>cells</i>");
    const std::vector<TColor> markup = preview();
    EXPECT_LT(lastY, untitled);
    ps.TitleLines().Clear();
    EXPECT_NE(preview(), markup);
    EXPECT_EQ(lastY, untitled);
}

}  // namespace


#include "IconBytes.h"

#include "framework/ImgList.h"

namespace {

// Cell (1, 1) of a borderless two-row grid holds the graphic; the page is
// drawn at screen resolution, so a grid pixel prints about one pixel.
struct PrintedGraphic : ::testing::Test {
    TExStringGrid g{nullptr};
    TImageList images{8, 8};
    TBitmap red{16, 16};
    TIcon icon;
    TPicture picture;
    TStringList options;
    void SetUp() override {
        g.SetColCount(3);
        g.SetRowCount(2);
        g.SetCellEx(2, 1, u"beside");
        g.PrintSettings().Borders = pbNoborder;
        for (TColor c : {clRed, clLime, clBlue}) {
            TBitmap b(8, 8);
            b.Canvas().Brush().SetColor(c);
            b.Canvas().FillRect(Rect(0, 0, 8, 8));
            images.Add(&b, nullptr);
        }
        g.SetGridImages(&images);
        red.Canvas().Brush().SetColor(clRed);
        red.Canvas().FillRect(Rect(0, 0, 16, 16));
        icon.LoadFromBytes(IconFile(clLime));
        picture.Bitmap().SetSize(20, 10);
        picture.Bitmap().Canvas().Brush().SetColor(clFuchsia);
        picture.Bitmap().Canvas().FillRect(Rect(0, 0, 20, 10));
        options.Add(u"one");
        options.Add(u"two");
    }
    std::map<TColor, int> Printed(int W = 500) {
        std::map<TColor, int> n;
        for (TColor c : PreviewPixels(g, W, 300)) ++n[c];
        return n;
    }
};

TEST_F(PrintedGraphic, EachKindPrintsItsPictureOnlyWithPrintGraphics) {
    struct Case {
        const char* name;
        std::function<void()> add;
        TColor colour;
        int least, most;  // pixels of the colour on the page
    } cases[] = {
        {"bitmap", [&] { g.AddBitmap(1, 1, &red, false, haLeft, vaTop); }, clRed, 200, 320},
        {"icon", [&] { g.AddIcon(1, 1, &icon, haLeft, vaTop); }, clLime, 45, 90},
        {"image list", [&] { g.AddImageIdx(1, 1, 2, haLeft, vaTop); }, clBlue, 45, 90},
        {"data image", [&] { g.AddDataImage(1, 1, 1, haLeft, vaTop); }, clLime, 45, 90},
        {"several images",
         [&] {
             g.AddMultiImage(1, 1, 0, haLeft, vaTop);
             g.GetCellImages(1, 1)->Add(2);
             g.GetCellImages(1, 1)->Add(2);
         },
         clBlue, 90, 180},
        {"picture", [&] { g.AddPicture(1, 1, &picture, false, noStretch, 0, haLeft, vaTop); }, clFuchsia, 150,
         260},
        {"pie", [&] { g.AddProgressPie(1, 1, clRed, 50); }, clRed, 60, 260},
        {"progress",
         [&] {
             g.SetCellEx(1, 1, u"50");
             g.AddProgress(1, 1, clLime, clYellow);
         },
         clLime, 150, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g.PrintSettings().PrintGraphics = false;
        c.add();
        EXPECT_EQ(Printed()[c.colour], 0);
        g.PrintSettings().PrintGraphics = true;
        const int n = Printed()[c.colour];
        EXPECT_GE(n, c.least);
        EXPECT_LE(n, c.most);
        g.SetCellEx(1, 1, u"");
        // The next case starts from a cell without a graphic; the cell's graphic is ours to free.
        TCellProperties* cell = g.GetCellProperties(1, 1);
        delete cell->GraphicObject();
        cell->SetGraphicObject(nullptr);
    }
}

TEST_F(PrintedGraphic, AThreeStateBoxPrintsItsGreyTick) {
    g.PrintSettings().PrintGraphics = true;
    std::map<TCheckBoxState, std::map<TColor, int>> page;
    for (TCheckBoxState s : {cbUnchecked, cbChecked, cbGrayed}) {
        g.AddCheckBox(1, 1, s);
        page[s] = Printed();
    }
    const int tick = page[cbChecked][clBlack] - page[cbUnchecked][clBlack];
    EXPECT_GT(tick, 10);
    EXPECT_EQ(page[cbGrayed][clBlack], page[cbUnchecked][clBlack]);
    EXPECT_EQ(page[cbGrayed][clGray] - page[cbUnchecked][clGray], tick);
}

TEST_F(PrintedGraphic, ABarShowsItsValueAndARadioGroupItsChoiceWithoutText) {
    g.PrintSettings().PrintGraphics = true;
    g.SetColWidths(1, 100);
    auto done = [&](const char16_t* Value) {
        g.SetCellEx(1, 1, Value);
        auto n = Printed();
        return double(n[clLime]) / std::max(1, n[clLime] + n[clYellow]);
    };
    g.AddProgress(1, 1, clLime, clYellow);
    EXPECT_NEAR(done(u"25"), 0.25, 0.08);
    EXPECT_NEAR(done(u"75"), 0.75, 0.08);
    g.RemoveProgress(1, 1);

    g.SetCellEx(1, 1, u"");
    const int bare = Ink(PreviewPixels(g, 500, 300));
    g.AddRadio(1, 1, 1, 0, &options);
    g.PrintSettings().PrintGraphics = false;
    EXPECT_EQ(Ink(PreviewPixels(g, 500, 300)), bare);  // the option's text is not printed as text
    g.PrintSettings().PrintGraphics = true;
    const std::vector<TColor> first = PreviewPixels(g, 500, 300);
    EXPECT_GT(Ink(first), bare + 40);
    g.SetRadioIdx(1, 1, 1);
    EXPECT_NE(PreviewPixels(g, 500, 300), first);
}

TEST_F(PrintedGraphic, AlignmentPlacesTheGraphicAndWidensTheColumn) {
    g.PrintSettings().PrintGraphics = true;
    g.SetCellEx(1, 0, u"a header wide enough for two pictures");
    auto reds = [&] {
        int lo = 1 << 30, hi = -1;
        const std::vector<TColor> v = PreviewPixels(g, 800, 300);
        for (size_t i = 0; i < v.size(); ++i)
            if (v[i] == clRed) lo = std::min(lo, int(i % 800)), hi = std::max(hi, int(i % 800));
        return std::pair{lo, hi};
    };
    g.SetCellEx(1, 1, u"");
    g.AddBitmap(1, 1, &red, false, haLeft, vaTop);
    const auto left = reds();
    g.AddBitmap(1, 1, &red, false, haRight, vaTop);
    const auto right = reds();
    g.AddBitmap(1, 1, &red, false, haCenter, vaTop);
    const auto centre = reds();
    g.AddBitmap(1, 1, &red, false, haAfterText, vaTop);
    const auto after = reds();
    g.AddBitmap(1, 1, &red, false, haFull, vaTop);
    const auto full = reds();
    EXPECT_NEAR(left.second - left.first, 16, 2);
    EXPECT_GT(right.first, left.first + 100);
    EXPECT_NEAR(centre.first, (left.first + right.first) / 2, 3);
    // After the text prints at the right edge; full width spans the column.
    EXPECT_EQ(after, right);
    EXPECT_LE(full.first, left.first);
    EXPECT_GE(full.second, right.second - 1);

    // A narrow column grows to hold a picture wider than its text.
    g.SetCellEx(1, 0, u"h");
    const int L = int(std::lround(64 * 254.0 / 96));
    g.AddBitmap(1, 1, &red, false, haLeft, vaTop);
    red.SetSize(64, 16);
    PreviewPixels(g);
    EXPECT_GE(g.Tools().MaxWidths()[1], L);
    g.PrintSettings().PrintGraphics = false;
    PreviewPixels(g);
    EXPECT_LT(g.Tools().MaxWidths()[1], L / 2);
}

}  // namespace

namespace {

struct Box {
    int count = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int Height() const { return bottom - top + 1; }
};

// The bounding box of the pixels Wanted picks in a preview of W x H at Dpi.
Box Found(TExStringGrid& g, int Dpi, int W, int H, const std::function<bool(TColor)>& Wanted) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(W, H);
    bmp.Canvas().SetPixelsPerInch(Dpi);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, W, H));
    g.Tools().SetPreviewPage(1);
    g.Tools().PrintPreview(bmp.Canvas(), Rect(0, 0, W, H));
    Box b;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (!Wanted(bmp.Canvas().Pixels(x, y))) continue;
            ++b.count;
            b.left = std::min(b.left, x), b.right = std::max(b.right, x);
            b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
        }
    return b;
}

// Dark red, as anti-aliased glyph edges are lighter.
bool DarkRed(TColor p) { return (p & 0xFF) >= 0x80 && ((p >> 8) & 0xFF) <= 0x60 && ((p >> 16) & 0xFF) <= 0x60; }

Box Reds(TExStringGrid& g, int Dpi, int W, int H) { return Found(g, Dpi, W, H, DarkRed); }

TEST(PrintCells, RichTextKeepsItsColourAndWeightOnThePage) {
    const String head = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 ";
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.PrintSettings().Borders = pbNoborder;
    g.SetCellEx(2, 1, u"Plain words here");
    struct Case {
        const char16_t* body;
        bool red;
    } cases[] = {{u"Plain \\cf1 red\\cf0  words\\par}", true}, {u"Plain words here\\par}", false}};
    for (const Case& c : cases) {
        g.SetCellEx(1, 1, head + c.body);
        EXPECT_EQ(Reds(g, 96, 600, 300).count > 20, c.red) << StringToUtf8(c.body);
    }
    // Bold words take more ink than the same words plain.
    g.SetCellEx(1, 1, head + u"Plain words here\\par}");
    g.SetCellEx(2, 1, u"");
    const int plain = Ink(PreviewPixels(g, 600, 300));
    g.SetCellEx(1, 1, head + u"\\b Plain words here\\b0\\par}");
    EXPECT_GT(Ink(PreviewPixels(g, 600, 300)), plain + plain / 8);
}

TEST(PrintCells, RichTextScalesWithThePage) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.PrintSettings().Borders = pbNoborder;
    g.SetCellEx(1, 1, u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1 HHHH\\par}");
    const Box screen = Reds(g, 96, 600, 300);
    const Box page = Reds(g, 288, 1800, 900);
    ASSERT_GT(screen.count, 10);
    EXPECT_NEAR(double(page.Height()) / screen.Height(), 3.0, 0.5);
    EXPECT_NEAR(double(page.left) / screen.left, 3.0, 0.3);
    EXPECT_NEAR(double(page.count) / screen.count, 9.0, 3.0);
}

}  // namespace

namespace {

TEST(PrintPages, ThePrinterPageShowsGraphicsAndRichTextAtItsResolution) {
    TempDir tmp;
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.PrintSettings().PrintGraphics = true;
    TBitmap lime(16, 16);
    lime.Canvas().Brush().SetColor(clLime);
    lime.Canvas().FillRect(Rect(0, 0, 16, 16));
    g.AddBitmap(1, 1, &lime, false, haLeft, vaTop);
    g.SetCellEx(1, 2, u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1 HHHH\\par}");
    std::map<TColor, int> seen;
    g.Tools().OnPrintPageDone = [&](TObject*, TCanvas& C, int, int, int, int, int) {
        const int mode = C.SetMapMode(MM_TEXT);
        const int w = Printer()->PageWidth() / 2, h = Printer()->PageHeight() / 4;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TColor p = C.Pixels(x, y);
                if (p == clLime) ++seen[clLime];
                else if ((p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x40 && ((p >> 16) & 0xFF) < 0x40) ++seen[clRed];
            }
        C.SetMapMode(mode);
    };
    Printer()->SetOutputFileName(Utf8ToString(tmp.file("graphics.pdf")));
    g.Tools().Print();
    Printer()->SetOutputFileName(String());
    EXPECT_EQ(PdfPages(tmp.file("graphics.pdf")), 1);
    const double zoom = Printer()->XResolution() / 96.0;
    EXPECT_NEAR(seen[clLime], 256 * zoom * zoom, 256 * zoom * zoom * 0.25);
    EXPECT_GT(seen[clRed], 40 * zoom * zoom);
}

}  // namespace

namespace {

struct DrawingGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::DrawCellGraphic;
};

// A printed bar reaches 2 grid pixels above its cell's top and 4 below the
// cell's height: its coloured rows take the screen bar's share of that box.
TEST(PrintCells, ProgressBarsReachAboveAndBelowTheirCell) {
    DrawingGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.PrintSettings().Borders = pbNoborder;
    g.PrintSettings().PrintGraphics = true;
    g.SetColWidths(1, 100);
    g.SetCellEx(1, 1, u"100");
    g.AddProgress(1, 1, clRed, clBlue);
    g.SetCellEx(2, 1, u"beside");
    g.SetColors(2, 1, clYellow);
    const int W = g.ColWidths(1), H = g.RowHeights(1);
    TBitmap screen(W, H);
    screen.Canvas().Brush().SetColor(clWhite);
    screen.Canvas().FillRect(Rect(0, 0, W, H));
    g.DrawCellGraphic(screen.Canvas(), 1, 1, Rect(0, 0, W, H), *g.GetCellGraphic(1, 1));
    int first = -1, last = -1;
    for (int y = 0; y < H; ++y)
        if (screen.Canvas().Pixels(W / 2, y) == clRed) {
            if (first < 0) first = y;
            last = y;
        }
    ASSERT_GT(first, 0);
    const Box bar = Found(g, 288, 1800, 900, DarkRed);
    const Box cell = Found(g, 288, 1800, 900, [](TColor p) { return p == clYellow; });
    ASSERT_GT(cell.count, 100);
    const int k = 3;  // page pixels per grid pixel at 288 dots per inch
    const double top = cell.top - 2 * k, height = (H + 6) * k;
    EXPECT_NEAR(bar.top, top + first * height / H, 2);
    EXPECT_NEAR(bar.bottom + 1, top + (last + 1) * height / H, 2);
}

// Markup prints as its words while the grid draws markup; with EnableHTML
// off the tags are text and print, in cells and in the title alike.
TEST(PrintCells, MarkupPrintsAsMarkupOnlyWithEnableHTML) {
    const String markup = u"<b>bold</b> and <i>more</i> words";
    struct Case {
        bool html;
        double least, most;  // the markup column's width over that of its words
        bool titleBand;      // a one-line markup title takes a band of its own
    } cases[] = {{true, 0.9, 1.2, true}, {false, 1.6, 2.6, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.html);
        TExStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(2);
        g.PrintSettings().Borders = pbNoborder;
        g.SetEnableHTML(c.html);
        g.SetCellEx(2, 1, u"bold and more words");
        int lastY = 0;
        g.Tools().OnPrintPageDone = [&](TObject*, TCanvas&, int, int Y, int, int, int) { lastY = Y; };
        g.PrintSettings().Title = ppTopCenter;
        PreviewPixels(g, 800, 400);
        const int untitled = lastY;
        g.SetCellEx(1, 1, markup);
        g.PrintSettings().TitleLines().Add(u"<b>Big</b> report");
        PreviewPixels(g, 800, 400);
        const std::vector<int>& w = g.Tools().MaxWidths();
        EXPECT_GT(w[1], w[2] * c.least);
        EXPECT_LT(w[1], w[2] * c.most);
        EXPECT_EQ(lastY < untitled, c.titleBand);
    }
}

}  // namespace

namespace {

// The print colour hook colours a printed cell and its text; the owner's
// drawing gets the printed cell's rectangle in device units.
TEST(PrintCells, PrintColourHookAndOwnerDrawingReachThePage) {
    TExStringGrid g(nullptr);
    FillRows(g, 3);
    g.PrintSettings().Borders = pbNoborder;
    auto lime = [](TColor p) { return p == clLime; };
    auto blue = [](TColor p) { return p == clBlue; };
    EXPECT_EQ(Found(g, 96, 400, 300, lime).count, 0);
    EXPECT_EQ(Reds(g, 96, 400, 300).count, 0);

    g.OnGetCellPrintColor = [&](TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush& ABrush,
                                TFont& AFont) {
        EXPECT_EQ(Sender, &g);
        EXPECT_EQ(AState.Contains(gdFixed), ARow == 0 || ACol == 0);
        EXPECT_EQ(ABrush.Color(), clNone);
        if (ARow == 2 && ACol == 1) {
            ABrush.SetColor(clLime);
            AFont.SetColor(TColor(0x0000C0));
        }
    };
    const Box cell = Found(g, 96, 400, 300, lime);
    EXPECT_GT(cell.count, 200);
    const Box text = Reds(g, 96, 400, 300);
    EXPECT_GT(text.count, 5);
    // The red text stands inside the lime cell.
    EXPECT_GE(text.left, cell.left);
    EXPECT_LE(text.right, cell.right);
    EXPECT_GE(text.top, cell.top);
    EXPECT_LE(text.bottom, cell.bottom);

    std::vector<std::pair<int, int>> drawn;
    g.OnCustomCellDraw = [&](TObject*, TCanvas& C, int ACol, int ARow, TGridDrawState, TRect R, bool Printing) {
        EXPECT_TRUE(Printing);
        drawn.push_back({ACol, ARow});
        if (ACol == 1 && ARow == 2) {
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(clBlue);
            C.FillRect(R);
        }
    };
    const Box own = Found(g, 96, 400, 300, blue);
    EXPECT_EQ(drawn.size(), 9u);
    // The owner's rectangle is the coloured cell, to a pixel of rounding.
    EXPECT_NEAR(own.left, cell.left, 1);
    EXPECT_NEAR(own.right, cell.right, 1);
    EXPECT_NEAR(own.top, cell.top, 1);
    EXPECT_NEAR(own.bottom, cell.bottom, 1);
    EXPECT_EQ(Found(g, 96, 400, 300, lime).count, 0);
}

}  // namespace

namespace {

// The owner's size of a printed cell sets its column's width and its row's height.
TEST(PrintCells, OwnerSizedCellsSetTheirColumnAndRow) {
    TExStringGrid g(nullptr);
    FillRows(g, 5);
    std::map<int, int> widths, heights;
    g.Tools().OnPrintSetColumnWidth = [&](TObject*, int c, int& w) { widths[c] = w; };
    g.Tools().OnPrintSetRowHeight = [&](TObject*, int r, int& h) { heights[r] = h; };
    TBitmap bmp;
    bmp.SetSize(600, 300);
    g.Tools().PrintDraw(bmp.Canvas(), Rect(0, 0, 600, 300));
    const std::map<int, int> plainW = widths, plainH = heights;
    ASSERT_EQ(plainW.size(), 3u);
    ASSERT_LT(plainW.at(2), 1234);
    ASSERT_LT(plainH.at(3), 500);

    int asked = 0;
    g.OnCustomCellSize = [&](TObject* Sender, TCanvas&, int ACol, int ARow, TPoint& ASize, bool Printing) {
        EXPECT_EQ(Sender, &g);
        EXPECT_TRUE(Printing);
        EXPECT_GT(ASize.X, 0);
        EXPECT_GT(ASize.Y, 0);
        ++asked;
        if (ACol == 2) ASize.X = 1234;
        if (ARow == 3) ASize.Y = 500;
    };
    widths.clear();
    heights.clear();
    g.Tools().PrintDraw(bmp.Canvas(), Rect(0, 0, 600, 300));
    EXPECT_GT(asked, 0);
    EXPECT_EQ(widths.at(2), 1234);
    EXPECT_EQ(widths.at(1), plainW.at(1));
    EXPECT_EQ(heights.at(3), 500 + 500 / 8);
    EXPECT_EQ(heights.at(2), plainH.at(2));
}

// A picture that markup names by address prints from the grid's own cache,
// the one the screen loaded it into.
TEST(PrintCells, MarkupPicturesPrintFromTheGridsImageCache) {
    TempDir dir;
    {
        TBitmap blue(12, 12);
        blue.Canvas().Brush().SetColor(clBlue);
        blue.Canvas().FillRect(Rect(0, 0, 12, 12));
        blue.SaveToFile(Utf8ToString(dir.file("pic.bmp")));
    }
    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.PrintSettings().Borders = pbNoborder;
    g.SetCellEx(1, 1, u"<b>x</b><IMG src=\"file://" + Utf8ToString(dir.file("pic.bmp")) + u"\">");
    const std::vector<TColor> page = PreviewPixels(g, 800, 400);
    EXPECT_EQ(g.ImageCache().Count(), 1);
    EXPECT_TRUE(std::ranges::any_of(page, [](TColor c) { return c == clBlue; }));
    // Printed again: still the one picture.
    PreviewPixels(g, 800, 400);
    EXPECT_EQ(g.ImageCache().Count(), 1);
}

}  // namespace

namespace {

// Printed highlighted runs take the grid's highlight colours too.
TEST(PrintCells, HighlightedRunsPrintInTheGridsHighlightColour) {
    TExStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.PrintSettings().Borders = pbNoborder;
    g.SetCellEx(1, 1, u"ab <hi>MMMM</hi> cd");
    auto lime = [](TColor c) { return c == clLime; };
    EXPECT_FALSE(std::ranges::any_of(PreviewPixels(g, 600, 300), lime));
    g.SetHighlightColor(clLime);
    EXPECT_GT(std::ranges::count_if(PreviewPixels(g, 600, 300), lime), 40);
}

}  // namespace
