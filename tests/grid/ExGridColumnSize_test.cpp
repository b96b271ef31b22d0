#include "grid/ExGrid.h"

#include "GridOnForm.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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

}  // namespace
