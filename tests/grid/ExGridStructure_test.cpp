#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Texts "c,r" in every cell.
void Fill(TExStringGrid& g) {
    for (int c = 0; c < g.TotalColCount(); ++c)
        for (int r = 0; r < g.RowCount(); ++r) g.SetCellEx(c, r, IntToStr(c) + u"," + IntToStr(r));
}

// The texts of column C from the first data row down.
std::vector<std::string> Column(TExStringGrid& g, int c) {
    std::vector<std::string> v;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) v.push_back(StringToUtf8(g.Cells(c, r)));
    return v;
}

TEST(ExGridStructure, TheUsedRangeIsTheSmallestRectangleOfTexts) {
    TExStringGrid g(nullptr);
    const TGridRect none = g.UsedCells();
    EXPECT_EQ(none, (TGridRect{0, 0, 0, 0}));
    g.SetCells(2, 3, u"x");
    g.SetCells(4, 1, u"y");
    EXPECT_EQ(g.UsedCells(), (TGridRect{2, 1, 4, 3}));
    g.SetCells(0, 8, u"z");
    EXPECT_EQ(g.UsedCells(), (TGridRect{0, 1, 4, 8}));
}

TEST(ExGridStructure, ChosenRowsGoOrHideAndTheOthersToo) {
    struct Case {
        const char* name;
        void (TExStringGrid::*Op)();
        std::vector<std::string> left;
        int hidden;
    } cases[] = {
        {"remove chosen", &TExStringGrid::RemoveSelectedRows, {"0,1", "0,3", "0,5", "0,6", "0,7", "0,8", "0,9"}, 0},
        {"remove others", &TExStringGrid::RemoveUnSelectedRows, {"0,2", "0,4"}, 0},
        {"hide chosen", &TExStringGrid::HideSelectedRows, {"0,1", "0,3", "0,5", "0,6", "0,7", "0,8", "0,9"}, 2},
        {"hide others", &TExStringGrid::HideUnSelectedRows, {"0,2", "0,4"}, 7},
    };
    for (const Case& c : cases) {
        TExStringGrid g(nullptr);
        g.MouseActions().SetDisjunctRowSelect(true);
        Fill(g);
        g.SetRowSelect(2, true);
        g.SetRowSelect(4, true);
        (g.*c.Op)();
        EXPECT_EQ(Column(g, 0), c.left) << c.name;
        EXPECT_EQ(g.NumHiddenRows(), c.hidden) << c.name;
    }
    // Rows kept chosen stay chosen when the choice follows the rows.
    TExStringGrid g(nullptr);
    g.MouseActions().SetDisjunctRowSelect(true);
    g.MouseActions().SetRowSelectPersistent(true);
    Fill(g);
    g.SetRowSelect(3, true);
    g.RemoveUnSelectedRows();
    EXPECT_EQ(Column(g, 0), std::vector<std::string>{"0,3"});
    EXPECT_TRUE(g.GetRowSelect(1));
}

TEST(ExGridStructure, ColumnsGoByTheSelectionOrByTheirChoice) {
    TExStringGrid g(nullptr);
    g.SetColCount(8);
    Fill(g);
    g.SelectCells(2, 1, 4, 3);
    g.RemoveSelectedCols();
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Cells(2, 1), u"5,1");

    TExStringGrid u(nullptr);
    u.SetColCount(8);
    Fill(u);
    u.SelectCells(3, 1, 4, 3);
    u.RemoveUnSelectedCols();
    // The fixed column and the chosen ones stay.
    EXPECT_EQ(u.ColCount(), 3);
    EXPECT_EQ(u.Cells(0, 1), u"0,1");
    EXPECT_EQ(u.Cells(1, 1), u"3,1");
    EXPECT_EQ(u.Cells(2, 1), u"4,1");

    TExStringGrid d(nullptr);
    d.SetColCount(8);
    d.MouseActions().SetDisjunctColSelect(true);
    Fill(d);
    d.SetColSelect(2, true);
    d.SetColSelect(5, true);
    d.RemoveSelectedCols();
    EXPECT_EQ(d.ColCount(), 6);
    EXPECT_EQ(d.Cells(2, 1), u"3,1");
    EXPECT_EQ(d.Cells(4, 1), u"6,1");
    EXPECT_EQ(d.ColSelectCount(), 0);
}

TEST(ExGridStructure, ClearingNormalRowsAndColumnsSparesTheFixedCells) {
    TExStringGrid g(nullptr);
    g.SetFixedRightCols(1);
    g.SetFixedFooters(1);
    Fill(g);
    int told = 0;
    g.OnCellsChanged = [&](TObject*, TRect) { ++told; };
    g.ClearNormalRows(2, 1);
    EXPECT_EQ(g.Cells(0, 2), u"0,2");
    EXPECT_EQ(g.Cells(1, 2), u"");
    EXPECT_EQ(g.Cells(3, 2), u"");
    EXPECT_EQ(g.Cells(4, 2), u"4,2");
    g.ClearNormalCols(3, 1);
    EXPECT_EQ(g.Cells(3, 0), u"3,0");
    EXPECT_EQ(g.Cells(3, 5), u"");
    EXPECT_EQ(g.Cells(3, 9), u"3,9");
    EXPECT_EQ(told, 2);
    // A whole clear leaves no properties and tells once.
    g.SetColors(2, 2, clRed);
    told = 0;
    g.ClearRect(0, 0, g.ColCount() - 1, g.RowCount() - 1);
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(g.CellPropsAssigned(2, 2));
    EXPECT_EQ(g.UsedCells(), (TGridRect{0, 0, 0, 0}));
}

TEST(ExGridStructure, TrimmingAndColouringRanges) {
    TExStringGrid g(nullptr);
    struct Case {
        const char16_t* in;
        const char16_t* out;
    } texts[] = {{u"  a b  ", u"a b"}, {u"\t\r\nx\x01", u"x"}, {u"", u""}, {u"y", u"y"}};
    for (int i = 0; i < 4; ++i) g.SetCells(1, i + 1, texts[i].in);
    g.SetCells(2, 1, u" kept ");
    g.TrimColumn(1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g.Cells(1, i + 1), texts[i].out) << i;
    EXPECT_EQ(g.Cells(2, 1), u" kept ");
    g.TrimRow(1);
    EXPECT_EQ(g.Cells(2, 1), u"kept");
    g.SetCells(4, 9, u" end ");
    g.TrimAll();
    EXPECT_EQ(g.Cells(4, 9), u"end");

    g.ColorRect(1, 2, 2, 3, clRed);
    EXPECT_EQ(g.Colors(1, 2), clRed);
    EXPECT_EQ(g.Colors(2, 3), clRed);
    EXPECT_NE(g.Colors(3, 3), clRed);
    g.ColorRect(3, 5, 3, 4, clBlue);  // upside down: nothing
    EXPECT_NE(g.Colors(3, 5), clBlue);

    g.SetCells(1, 1, u"|\\wide");
    EXPECT_TRUE(g.IsWideCell(1, 1));
    g.SetCells(1, 1, u"|wide");
    EXPECT_FALSE(g.IsWideCell(1, 1));
}

TEST(ExGridStructure, AWholeCheckBoxColumnChecksAndGoes) {
    TExStringGrid g(nullptr);
    g.AddCheckBoxColumn(2);
    std::vector<int> changed;
    g.OnCheckBoxChange = [&](TObject*, int, int ARow, bool State) {
        if (State) changed.push_back(ARow);
    };
    g.SetCheckBoxState(2, 4, true);
    changed.clear();
    g.CheckAll(2);
    // Only the boxes that were unchecked report a change.
    EXPECT_EQ(changed.size(), 8u);
    for (int r = 1; r < 10; ++r) EXPECT_TRUE(g.IsChecked(2, r)) << r;
    g.UnCheckAll(2);
    for (int r = 1; r < 10; ++r) EXPECT_FALSE(g.IsChecked(2, r)) << r;
    g.RemoveCheckBoxColumn(2);
    for (int r = 0; r < 10; ++r) EXPECT_FALSE(g.HasCheckBox(2, r)) << r;
}

TEST(ExGridStructure, ScreenPointsFindTheirCells) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    TExStringGrid* g = new TExStringGrid(&form);
    g->SetParent(&form);
    g->SetBounds(10, 10, 400, 250);
    form.Show();
    const TRect r = g->CellRect(2, 3);
    int c = -1, w = -1;
    g->ScreenToCell(g->ClientToScreen({r.Left + 3, r.Top + 3}), c, w);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(w, 3);
    g->ScreenToCell(g->ClientToScreen({g->ClientWidth() - 2, g->ClientHeight() - 2}), c, w);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(w, -1);
}

}  // namespace
