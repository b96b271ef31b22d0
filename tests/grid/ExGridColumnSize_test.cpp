#include "grid/ExGrid.h"

#include "GridOnForm.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ExGridColumnSize, AssignCopiesEverySetting) {
    // Both grids save their widths when they go: into the temporary folder.
    TempDir dir;
    const String ini = Utf8ToString(dir.file("cfg.ini"));
    GridOnForm<> a, b;
    TColumnSize& s = a.g->ColumnSize();
    s.SetSave(true);
    s.SetKey(ini);
    s.SetSection(u"Widths");
    s.SetLocation(clIniFile);
    s.SetSynchWithGrid(true);
    s.SetSynchNormalCellsOnly(true);
    s.SetRows(arFixed);
    s.SetStretchColumn(2);
    TColumnSize& t = b.g->ColumnSize();
    t.Assign(s);
    EXPECT_TRUE(t.Save());
    EXPECT_EQ(t.Key(), ini);
    EXPECT_EQ(t.Section(), u"Widths");
    EXPECT_EQ(t.Location(), clIniFile);
    EXPECT_TRUE(t.SynchWithGrid());
    EXPECT_TRUE(t.SynchNormalCellsOnly());
    EXPECT_EQ(t.Rows(), arFixed);
    EXPECT_EQ(t.StretchColumn(), 2);
}

TEST(ExGridColumnSize, ColumnsFollowTheControlsWidthInProportion) {
    struct Case {
        TFormBorderStyle border;
        bool normalOnly;
        int newWidth;
        int col0, col1;
    } cases[] = {
        {bsNone, false, 400, 100, 100},    // twice the width doubles every column
        {bsNone, true, 400, 50, 100},      // the fixed column keeps its width
        {bsSingle, false, 298, 75, 75},    // a single border counts 2 more: 300 / 200
        {bsNone, false, 250, 62, 62},      // truncated
    };
    for (const Case& c : cases) {
        GridOnForm<> f(200, 150);
        TExStringGrid* g = f.g;
        g->SetBorderStyle(c.border);
        g->SetColCount(4);
        for (int i = 0; i < 4; ++i) g->SetColWidths(i, 50);
        g->ColumnSize().SetSynchWithGrid(true);
        g->ColumnSize().SetSynchNormalCellsOnly(c.normalOnly);
        g->InitOrigColSizes();
        g->SetWidth(c.newWidth);
        EXPECT_EQ(g->ColWidths(0), c.col0) << c.newWidth;
        EXPECT_EQ(g->ColWidths(1), c.col1) << c.newWidth;
        EXPECT_EQ(g->ColWidths(3), c.col1) << c.newWidth;
    }
}

TEST(ExGridColumnSize, AutoSizeMeasuresTheRowsItNames) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetCellEx(1, 0, u"A much longer header text");
    g->SetCellEx(1, 1, u"ab");
    auto width = [&](TAutoSizeRows Rows) {
        g->ColumnSize().SetRows(Rows);
        g->AutoSizeCol(1, 0);
        return g->ColWidths(1);
    };
    const int all = width(arAll), normal = width(arNormal), fixed = width(arFixed);
    EXPECT_EQ(all, fixed);
    EXPECT_LT(normal, all);
    // The fixed rows' measure takes the first data row too.
    g->SetCellEx(1, 1, u"An even much longer first data row text");
    EXPECT_GT(width(arFixed), fixed);
    g->SetCellEx(1, 2, u"A data row text longer than all the others here");
    EXPECT_LT(width(arFixed), width(arNormal));
}

TEST(ExGridColumnSize, AutoSizedWidthsKeepTheirLimitsAndMayOnlyGrow) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetMinColWidth(10);
    // Empty cells: the offsets and lines alone, raised to the minimum.
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), 10);
    g->SetMinColWidth(0);
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), g->TotalXOffset() + 2 * g->GridLineWidth() + 2);

    g->SetCellEx(2, 3, u"A text of some length, wider than a hundred pixels");
    struct Case {
        int min, max, padding, expected;  // expected -1: the measured width plus the padding
    } cases[] = {
        {0, 100, 0, 100}, {0, 100, 50, 100}, {10, 0, 0, -1}, {300, 300, 0, -1}, {500, 0, 0, 500}, {0, 0, 7, -1},
    };
    g->SetMinColWidth(0);
    g->SetMaxColWidth(0);
    g->AutoSizeCol(2, 0);
    const int measured = g->ColWidths(2);
    ASSERT_GT(measured, 100);
    for (const Case& c : cases) {
        g->SetMinColWidth(c.min);
        g->SetMaxColWidth(c.max);
        g->AutoSizeCol(2, c.padding);
        EXPECT_EQ(g->ColWidths(2), c.expected < 0 ? measured + c.padding : c.expected) << c.min << ".." << c.max;
    }
    g->SetMinColWidth(0);
    g->SetMaxColWidth(0);

    // Grow only: a wide column keeps its width and nobody is asked.
    int asked = 0;
    g->OnUpdateColumnSize = [&](TObject*, int, int&) { ++asked; };
    g->SetColWidths(2, measured + 40);
    g->SetSizeGrowOnly(true);
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), measured + 40);
    EXPECT_EQ(asked, 0);
    g->SetSizeGrowOnly(false);
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), measured);
    EXPECT_EQ(asked, 1);
}

TEST(ExGridColumnSize, AutoSizeLeavesRoomForTheSortIndicatorAndTheButtons) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetCellEx(2, 0, u"Header");
    g->AutoSizeCol(2, 0);
    const int plain = g->ColWidths(2);
    g->SortSettings().SetShow(true);
    g->SortSettings().SetColumn(2);
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), plain + 10);
    g->SortSettings().SetColumn(3);
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), plain) << "another column is sorted";
    g->SortSettings().SetShow(false);
    // The filter row's button of a column with a filter list.
    g->Tools().FilterDropDownAuto = true;
    g->SetCellEx(2, 3, u"x");
    g->AutoSizeCol(2, 0);
    EXPECT_EQ(g->ColWidths(2), plain + 12);
}

TEST(ExGridColumnSize, RowsKeepTheirLimitsToo) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetWordWrap(false);
    g->SetCellEx(1, 2, u"one\r\ntwo\r\nthree");
    g->SetMinRowHeight(0);
    g->AutoSizeRow(2, 0);
    const int natural = g->RowHeights(2);
    g->SetMaxRowHeight(natural - 5);
    g->AutoSizeRow(2, 10);
    EXPECT_EQ(g->RowHeights(2), natural - 5);
    g->SetMinRowHeight(natural - 5);  // equal limits: none
    g->AutoSizeRow(2, 10);
    EXPECT_EQ(g->RowHeights(2), natural + 10);
    g->SetMinRowHeight(0);
    g->SetMaxRowHeight(0);
    g->SetSizeGrowOnly(true);
    g->SetRowHeights(2, natural + 30);
    g->AutoSizeRow(2, 0);
    EXPECT_EQ(g->RowHeights(2), natural + 30);
    // AutoSizeRows without word wrap counts the lines of each row.
    g->SetSizeGrowOnly(false);
    g->SetMultilinecells(true);
    g->SetCellEx(1, 3, u"one line");
    g->AutoSizeRows(false, 0);
    EXPECT_EQ(g->RowHeights(2), 3 * g->RowHeights(3));
    EXPECT_EQ(g->RowHeights(0), g->DefaultRowHeight()) << "fixed rows only when asked";
    g->AutoSizeRows(false, 4);
    EXPECT_EQ(g->RowHeights(2), 3 * (g->RowHeights(3) - 4) + 4);
}

TEST(ExGridColumnSize, TheControlTakesTheSizeOfItsCells) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(3);
    g->SetRowCount(4);
    g->SizeToCols();
    EXPECT_EQ(g->ClientWidth(), 3 * g->DefaultColWidth());
    g->SizeToRows();
    EXPECT_EQ(g->ClientHeight(), g->RowHeights(0) + 3 * g->DefaultRowHeight());
    g->SetScrollBars(ssBoth);
    g->SetColWidths(1, 200);
    g->SizeToCells();
    EXPECT_EQ(g->ClientWidth(), 2 * g->DefaultColWidth() + 200);
    EXPECT_EQ(g->ScrollBars(), ssBoth);
}

TEST(ExGridColumnSize, FittedColumnsFillTheWidthInProportion) {
    GridOnForm<> f(400, 250);
    TExStringGrid* g = f.g;
    g->SetBorderStyle(bsNone);
    g->SetScrollBars(ssNone);
    g->SetOptions(g->Options() - TGridOptions{goVertLine, goFixedVertLine});
    g->SetColCount(4);
    const int widths[] = {50, 50, 100, 100};
    for (int c = 0; c < 4; ++c) g->SetColWidths(c, widths[c]);
    g->AutoFitColumns(true);
    // 300 scaled to 400: 66.7 each for the narrow, 133.3 for the wide; the
    // pixels left by rounding go to the first widest column.
    EXPECT_EQ(g->ColWidths(0), 67);
    EXPECT_EQ(g->ColWidths(1), 67);
    EXPECT_EQ(g->ColWidths(2), 133);
    EXPECT_EQ(g->ColWidths(3), 133);
    int sum = 0;
    for (int c = 0; c < 4; ++c) sum += g->ColWidths(c);
    EXPECT_EQ(sum, 400);
    // Columns that fill the width already change nothing.
    g->AutoFitColumns(true);
    EXPECT_EQ(g->ColWidths(0), 67);
    // Without the fixed columns their width stays and the rest is shared.
    g->SetColWidths(0, 100);
    g->AutoFitColumns(false);
    sum = 0;
    for (int c = 1; c < 4; ++c) sum += g->ColWidths(c);
    EXPECT_EQ(g->ColWidths(0), 100);
    EXPECT_EQ(sum, 300);
}

TEST(ExGridColumnSize, SizingAColumnByTheMouseEndsOnceAndMayCarryTheOthers) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetOptions(g->Options() + TGridOptions{goColSizing});
    g->MouseActions().SetAllColumnSize(true);
    std::vector<int> ended;
    g->OnEndColumnSize = [&](TObject*, int ACol) { ended.push_back(ACol); };
    const int w2 = g->ColWidths(2), w3 = g->ColWidths(3);
    const TRect h = g->CellRect(2, 0);
    SimulateMouseMove(g, h.Right - 1, 5);
    SimulateMouseDown(g, mbLeft, h.Right - 1, 5);
    EXPECT_EQ(g->Colclicked, 2);
    EXPECT_EQ(g->Colclickedsize, w2);
    SimulateMouseMove(g, h.Right - 1 + w2, 5, {ssLeft});
    SimulateMouseUp(g, mbLeft, h.Right - 1 + w2, 5);
    EXPECT_EQ(g->ColWidths(2), 2 * w2);
    EXPECT_EQ(g->ColWidths(3), 2 * w3) << "the others follow in proportion";
    EXPECT_EQ(ended, std::vector<int>{2});
    EXPECT_FALSE(g->ColSized);
    EXPECT_EQ(g->Colclicked, -1);
    // A programmatic change later ends no sizing.
    g->SetColWidths(2, 30);
    EXPECT_EQ(ended.size(), 1u);
}

}  // namespace
