#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include "framework/Clipboard.h"
#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// One fixed row, ten data rows with 1..10 in column 1 and a footer row.
struct CalcGrid : ::testing::Test {
    TExStringGrid g{nullptr};
    TExGridTools& t = g.Tools();
    void SetUp() override {
        g.SetRowCount(12);
        for (int r = 1; r <= 10; ++r) g.SetCellEx(1, r, IntToStr(r));
    }
};

TEST_F(CalcGrid, ColumnFiguresSkipUnreadableCellsWhereTheyMay) {
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 10), 55);
    EXPECT_DOUBLE_EQ(g.ColumnAvg(1, 1, 10), 5.5);
    EXPECT_DOUBLE_EQ(g.ColumnMin(1, 1, 10), 1);
    EXPECT_DOUBLE_EQ(g.ColumnMax(1, 1, 10), 10);
    EXPECT_NEAR(g.ColumnStdDev(1, 1, 10), 2.8722813, 1e-6);
    for (auto [from, to] : {std::pair{5, 4}, std::pair{9, 2}}) {
        EXPECT_EQ(g.ColumnAvg(1, from, to), 0);
        EXPECT_EQ(g.ColumnStdDev(1, from, to), 0);
        EXPECT_EQ(t.RowSum(3, from, to), 0);
        EXPECT_EQ(t.RowAvg(3, from, to), 0);
    }
    // -1 for a bound: the data rows (no fixed footers yet: the last row too).
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, -1, 5), 55);

    g.SetCellEx(1, 4, u"4e+");  // does not read as a number
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 10), 51);
    EXPECT_DOUBLE_EQ(g.ColumnMax(1, 1, 10), 10);
    EXPECT_THROW(g.ColumnStdDev(1, 1, 10), EExGridError);
    EXPECT_THROW(g.ColumnMin(1, 4, 10), EExGridError);

    // Distinct texts without case; the empty text counts once.
    g.SetCellEx(2, 1, u"a");
    g.SetCellEx(2, 2, u"A");
    g.SetCellEx(2, 3, u"b");
    EXPECT_EQ(g.ColumnDistinct(2, 1, 4), 3);

    g.SetCellEx(2, 5, u"2.5");
    g.SetCellEx(3, 5, u"x");
    g.SetCellEx(4, 5, u"1");
    EXPECT_DOUBLE_EQ(t.RowSum(5, 1, 4), 8.5);
    EXPECT_DOUBLE_EQ(t.RowMax(5, 1, 2), 5);
}

TEST_F(CalcGrid, GroupHeadersAndSummariesAreNotCounted) {
    t.AddNode(1, 4);
    t.SetSummaryRow(5);
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 10), 55);  // a flat grid counts every row
    t.GroupColumn = 2;
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 10), 49);
}

// A grid that figures its footer's columns itself.
struct OwnFooterGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    std::vector<int> asked;
    void CalcFooterColumn(int ACol) override {
        asked.push_back(ACol);
        TExStringGrid::CalcFooterColumn(ACol);
    }
};

TEST(ExGridFooter, EveryChangeOfCellsFiguresTheFooterThroughItsSlot) {
    OwnFooterGrid g(nullptr);
    g.SetRowCount(5);
    for (int r = 1; r <= 3; ++r) g.SetCellEx(1, r, IntToStr(r));
    g.FloatingFooter().SetVisible(true);
    g.FloatingFooter().SetColumnCalc(1, acSUM);
    g.asked.clear();
    g.CalcFooter(1);
    EXPECT_EQ(g.asked, std::vector<int>{1});
    EXPECT_EQ(g.GetCellEx(1, 4), u"6.00");
    // A structure change tells the cells changed, and the footer follows.
    g.asked.clear();
    g.InsertRows(2, 1);
    g.SetCellEx(1, 2, u"10");
    g.ClearRows(3, 1);
    EXPECT_EQ(g.asked, (std::vector<int>{-1, -1}));
    EXPECT_EQ(g.GetCellEx(1, 5), u"14.00");
}

TEST_F(CalcGrid, FooterCountsHiddenRowsOnlyWhenAsked) {
    g.FloatingFooter().SetVisible(true);
    EXPECT_EQ(g.FixedFooters(), 1);
    g.FloatingFooter().SetColumnCalc(1, acSUM);
    g.FloatingFooter().SetColumnCalc(2, acCOUNT);
    EXPECT_EQ(g.FloatingFooter().ColumnCalc(2), acCOUNT);
    EXPECT_EQ(g.FloatingFooter().ColumnCalc(3), acNONE);
    EXPECT_EQ(g.GetCellEx(1, 11), u"55.00");
    EXPECT_EQ(g.GetCellEx(2, 11), u"10");

    g.Filter().GetColFilter(1)->SetCondition(u"<8");
    g.SetFilterActive(true);
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_EQ(g.GetCellEx(2, 8), u"10");
    EXPECT_EQ(g.GetCellEx(1, 8), u"55.00");
    g.FloatingFooter().SetCalculateHiddenRows(false);
    g.CalcFooter(-1);
    EXPECT_EQ(g.GetCellEx(2, 8), u"7");
    EXPECT_EQ(g.GetCellEx(1, 8), u"28.00");

    // One hidden row: the footer row itself is never taken as data.
    g.SetFilterActive(false);
    g.FloatingFooter().SetCalculateHiddenRows(true);
    g.HideRow(10);
    g.CalcFooter(-1);
    EXPECT_EQ(g.GetCellEx(1, 10), u"55.00");

    // A preview style gives the last row back to the grid.
    g.FloatingFooter().SetFooterStyle(fsColumnPreview);
    EXPECT_EQ(g.FixedFooters(), 0);
}

TEST_F(CalcGrid, TemplateFollowsTheCurrentRow) {
    g.SetCellEx(2, 3, u"three");
    g.SetCellEx(2, 4, u"four");
    g.SetRow(3);
    EXPECT_EQ(t.FillTemplate(u"Value: <#2>!"), u"Value: three!");
    g.SetRow(4);
    EXPECT_EQ(t.FillTemplate(u"<#2><#x>/<#1>"), u"four/4");
    EXPECT_EQ(t.FillTemplate(u"open <#2"), u"open <#2");
}

}  // namespace

namespace {

TEST(FooterPanel, FollowsTheFooterAndReportsClicksOnTheFooterRow) {
    GridOnForm<> f(500, 300);
    TExStringGrid* g = f.g;
    TFooterPanel* p = g->Tools().FooterPanel();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Height(), 0);
    EXPECT_FALSE(p->Visible());
    g->FloatingFooter().SetColor(clYellow);
    g->FloatingFooter().SetVisible(true);
    EXPECT_TRUE(p->Visible());
    EXPECT_EQ(p->Height(), g->FloatingFooter().Height() - 1);
    EXPECT_EQ(p->FooterWidth(), 5 * 64);
    EXPECT_EQ(p->ColumnAt(10), 0);
    EXPECT_EQ(p->ColumnAt(64 * 2 + 5), 2);
    EXPECT_EQ(p->ColumnAt(480), -1);

    std::vector<std::pair<int, int>> clicks;
    g->OnClickCell = [&](TObject*, int r, int c) { clicks.push_back({r, c}); };
    SimulateClick(p, 64 * 3 + 10, 5);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{g->RowCount() - 1, 3}}));

    // The painted part takes the footer colour, the rest the grid's.
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(p->Width(), p->Height());
    p->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas().Pixels(490, 10), ColorToRGB(g->Color()));

    // A template preview shows the current row's cell.
    g->FloatingFooter().SetFooterStyle(fsCustomPreview);
    g->FloatingFooter().SetCustomTemplate(u"<#2>");
    g->SetCellEx(2, 3, u"three");
    g->SetRow(3);
    p->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas().Pixels(2, 2), clYellow);

    // UpdateFooter repaints the whole panel, and nothing else of the grid.
    UpdateWindow(g->Handle());
    UpdateWindow(p->Handle());
    g->UpdateFooter();
    TRect pending{};
    GetUpdateRect(p->Handle(), &pending, false);
    EXPECT_EQ(pending, p->ClientRect());
    EXPECT_FALSE(GetUpdateRect(g->Handle(), nullptr, false));
    g->FloatingFooter().SetVisible(false);
    EXPECT_EQ(p->Height(), 0);
}

}  // namespace

namespace {

// A custom-painted footer is the event's alone, over the whole strip; the
// grid's last row shows in the grid again.
TEST(FooterPanel, CustomPaintHandsTheWholeStripToTheEventAndReportsTheWindow) {
    GridOnForm<> f(500, 300, false);
    TExStringGrid* g = f.g;
    int created = 0;
    g->Tools().OnCreatedFloatingFooter = [&](TObject* Sender) {
        EXPECT_EQ(Sender, g);
        ++created;
    };
    std::vector<TRect> painted;
    g->Tools().OnFooterPaint = [&](TObject*, int AColumn, TCanvas& C, TRect R) {
        EXPECT_EQ(AColumn, 2);
        painted.push_back(R);
        C.Brush().SetColor(clLime);
        C.FillRect(R);
    };
    g->FloatingFooter().SetColumn(2);
    g->FloatingFooter().SetFooterStyle(fsCustomPaint);
    g->FloatingFooter().SetVisible(true);
    f.form.Show();
    TFooterPanel* p = g->Tools().FooterPanel();
    // The window was made while the grid built its tools: its first showing reports it.
    EXPECT_EQ(created, 1);
    EXPECT_EQ(g->FixedFooters(), 0);

    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(p->Width(), p->Height());
    p->PaintTo(bmp.Canvas(), 0, 0);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], p->ClientRect());
    // Past the columns too: nothing else paints over the event's strip.
    EXPECT_EQ(bmp.Canvas().Pixels(2, 2), clLime);
    EXPECT_EQ(bmp.Canvas().Pixels(p->Width() - 3, p->Height() - 2), clLime);
    g->FloatingFooter().SetVisible(false);
    g->FloatingFooter().SetVisible(true);
    EXPECT_EQ(created, 1);
}

}  // namespace

namespace {

// A footer row's cell takes the background OnGetCellColor gives it, and its
// own colour over that.
TEST(FooterPanel, FooterCellsTakeTheCellColourEventsBackground) {
    GridOnForm<> f(500, 300);
    TExStringGrid* g = f.g;
    const int last = g->RowCount() - 1;
    g->SetColors(3, last, clRed);
    std::set<int> rows;
    g->OnGetCellColor = [&](TObject*, int ARow, int ACol, TGridDrawState, TBrush& ABrush, TFont&) {
        rows.insert(ARow);
        if (ACol >= 2) ABrush.SetColor(clLime);
    };
    g->FloatingFooter().SetVisible(true);
    TFooterPanel* p = g->Tools().FooterPanel();
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(p->Width(), p->Height());
    rows.clear();
    p->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_TRUE(rows.contains(last));
    const int y = p->Height() / 2;
    EXPECT_NE(bmp.Canvas().Pixels(64 + 3, y), clLime);
    EXPECT_EQ(bmp.Canvas().Pixels(2 * 64 + 3, y), clLime);
    EXPECT_EQ(bmp.Canvas().Pixels(3 * 64 + 3, y), clRed);
}

}  // namespace

namespace {

// The line closing a footer cell is grey for normal columns, but the fixed-line
// colour for fixed columns and for every column under the Vista look.
TEST(FooterPanel, ColumnLinesTakeTheFixedLineColourWhereTheGridDoes) {
    GridOnForm<> f(500, 300);
    TExStringGrid* g = f.g;
    ASSERT_EQ(g->FixedCols(), 1);
    ASSERT_TRUE(g->Options().Contains(goFixedVertLine));
    g->FloatingFooter().SetVisible(true);
    TFooterPanel* p = g->Tools().FooterPanel();
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(p->Width(), p->Height());
    const int y = p->Height() / 2;
    g->SetGridFixedLineColor(clRed);
    p->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas().Pixels(64 - 1, y), clRed);
    EXPECT_EQ(bmp.Canvas().Pixels(2 * 64 - 1, y), TColor(0x808080));

    g->SetLook(glVista);
    g->SetGridFixedLineColor(clBlue);
    p->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas().Pixels(64 - 1, y), clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(2 * 64 - 1, y), clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(3 * 64 - 1, y), clBlue);
}

}  // namespace

namespace {

// A grid that records the progress states it is told of.
struct NotifiedGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    std::vector<std::pair<int, int>> calls;
    void ExportNotification(int AState, int ARow) override { calls.push_back({AState, ARow}); }
    std::vector<std::pair<int, int>> imports;
    void ImportNotification(int AState, int ARow) override { imports.push_back({AState, ARow}); }
};

using Calls = std::vector<std::pair<int, int>>;

// The column figures report their start, each row they read and their end;
// a cell covered by a merge is no row of its own except for distinct texts.
TEST(ColumnFigures, ReportTheirProgressRowByRow) {
    NotifiedGrid g(nullptr);
    g.SetRowCount(12);
    for (int r = 1; r <= 10; ++r) g.SetCellEx(1, r, IntToStr(r));
    g.MergeCells(1, 3, 1, 2);
    const Calls counted = {{0, 2}, {5, 2}, {5, 3}, {5, 5}, {2, -1}};
    const struct {
        const char* name;
        double (TExStringGrid::*figure)(int, int, int);
        Calls expected;
    } cases[] = {
        {"sum", &TExStringGrid::ColumnSum, counted},
        {"min", &TExStringGrid::ColumnMin, counted},
        {"max", &TExStringGrid::ColumnMax, counted},
        {"distinct", &TExStringGrid::ColumnDistinct, {{0, 2}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {2, -1}}},
    };
    for (const auto& c : cases) {
        g.calls.clear();
        (g.*c.figure)(1, 2, 5);
        EXPECT_EQ(g.calls, c.expected) << c.name;
    }
    // The deviation frames the sum its mean is taken from.
    g.calls.clear();
    g.ColumnStdDev(1, 2, 5);
    Calls framed = {{0, 2}};
    framed.insert(framed.end(), counted.begin(), counted.end());
    framed.push_back({2, -1});
    EXPECT_EQ(g.calls, framed);
}

// A search reports its start, the row of each cell it tests, and a hit or a miss.
TEST(FindProgress, ReportsEachTestedRowAndTheOutcome) {
    NotifiedGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCellEx(2, 2, u"needle");
    g.Tools().Find({-1, -1}, u"needle", {});
    EXPECT_EQ(g.calls, (Calls{{0, -1}, {1, 1}, {1, 2}, {1, 3}, {1, 1}, {1, 2}, {4, -1}}));
    g.calls.clear();
    g.Tools().Find({2, 2}, u"needle", {});
    EXPECT_EQ(g.calls, (Calls{{0, -1}, {1, 3}, {2, -1}}));
}

}  // namespace

namespace {

// Copies and saves name the row each progress step concerns.
TEST(ExportProgress, CopiesAndSavesNameTheirRows) {
    NotifiedGrid g(nullptr);
    g.SetRowCount(4);
    g.Tools().GetRectAsText(TGridRect{1, 1, 2, 3}, false);
    EXPECT_EQ(g.calls, (Calls{{0, -1}, {1, 1}, {1, 2}, {1, 3}, {2, -1}}));
    g.calls.clear();
    TMemoryStream stream;
    g.SaveToStream(stream);
    EXPECT_EQ(g.calls, (Calls{{0, 0}, {5, 0}, {5, 1}, {5, 2}, {5, 3}, {2, -1}}));

    // Printing names each printed row: 1 for the whole grid, 3 for a part.
    TBitmap page(400, 400);
    g.calls.clear();
    g.Tools().PrintPreview(page.Canvas(), Rect(0, 0, 400, 400));
    EXPECT_EQ(g.calls, (Calls{{1, 0}, {1, 1}, {1, 2}, {1, 3}}));
    g.calls.clear();
    g.Tools().PrintPreviewRect(page.Canvas(), Rect(0, 0, 400, 400), TGridRect{1, 1, 2, 2});
    EXPECT_EQ(g.calls, (Calls{{3, 1}, {3, 2}}));

    // A paste over the selection names the rows of its lines.
    g.SetOptions(g.Options() + TGridOptions{goEditing});
    g.SetSelection(TGridRect{2, 1, 2, 1});
    Clipboard().SetAsText(u"a\r\nb");
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(g.imports, (Calls{{0, -1}, {3, 1}, {3, 2}, {2, -1}}));
}

}  // namespace
