#include "grid/ExGrid.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A shown grid of 6 x 10 cells of 60 x 20 pixels, all in view; column 1
// holds 9 … 1 downwards, and a panel sits over cell (2, 3).
struct PlacedForm {
    TForm form{nullptr};
    TExStringGrid* g;
    TPanel* panel;
    PlacedForm(int Width = 420, int Height = 300) {
        form.SetBounds(0, 0, 600, 400);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, Width, Height);
        g->SetColCount(6);
        g->SetRowCount(10);
        g->SetDefaultColWidth(60);
        g->SetDefaultRowHeight(20);
        g->SetScrollBars(ssNone);
        for (int r = 1; r < 10; ++r) g->SetCellEx(1, r, IntToStr(10 - r));
        form.Show();
        panel = new TPanel(&form);
        g->SetCellControls(2, 3, panel);
    }
    // Where the panel is: the cell it covers, "hidden", or "nowhere".
    std::string Place() {
        if (!panel->Visible()) return "hidden";
        for (int c = 0; c < g->ColCount(); ++c)
            for (int r = 0; r < g->RowCount(); ++r) {
                const TRect R = g->CellRect(c, r);
                if (panel->Left() == R.Left - 1 && panel->Top() == R.Top - 1 && panel->Width() == R.Right - R.Left + 1 &&
                    panel->Height() == R.Bottom - R.Top + 1)
                    return std::to_string(c) + "," + std::to_string(r);
            }
        return "nowhere";
    }
};

TEST(ExGridPlacedControls, APlacedControlFollowsItsCell) {
    const struct {
        const char* what;
        std::function<void(TExStringGrid&)> change;
        const char* place;
    } cases[] = {
        {"placed", [](TExStringGrid&) {}, "2,3"},
        {"columns swapped", [](TExStringGrid& g) { g.SwapColumns(2, 4); }, "4,3"},
        {"rows swapped", [](TExStringGrid& g) { g.SwapRows(3, 1); }, "2,1"},
        {"its column moved", [](TExStringGrid& g) { g.MoveColumn(2, 4); }, "4,3"},
        {"a column moved before it", [](TExStringGrid& g) { g.MoveColumn(4, 1); }, "3,3"},
        {"its row moved", [](TExStringGrid& g) { g.MoveRow(3, 5); }, "2,5"},
        {"sorted by a header click", [](TExStringGrid& g) {
             g.SortSettings().SetShow(true);
             const TRect R = g.CellRect(1, 0);
             g.HeaderSortClick(1, 0, (R.Left + R.Right) / 2, R.Top + 5, 1, 0);
         }, "2,7"},
        {"a row inserted above", [](TExStringGrid& g) { g.InsertRows(1, 2); }, "2,5"},
        {"a row removed above", [](TExStringGrid& g) { g.RemoveRows(1, 1); }, "2,2"},
        {"its row removed", [](TExStringGrid& g) { g.RemoveRows(3, 1); }, "hidden"},
        {"a row hidden above", [](TExStringGrid& g) { g.HideRow(2); }, "2,2"},
        {"its row hidden", [](TExStringGrid& g) { g.HideRow(3); }, "hidden"},
        {"its row hidden and shown", [](TExStringGrid& g) {
             g.HideRow(3);
             g.UnHideRow(3);
         }, "2,3"},
        {"a column inserted before", [](TExStringGrid& g) { g.InsertCols(1, 1); }, "3,3"},
        {"a column removed before", [](TExStringGrid& g) { g.RemoveCols(1, 1); }, "1,3"},
        {"a column hidden before", [](TExStringGrid& g) { g.HideColumn(1); }, "1,3"},
        {"its column hidden", [](TExStringGrid& g) { g.HideColumn(2); }, "hidden"},
        {"its column hidden and shown", [](TExStringGrid& g) {
             g.HideColumn(2);
             g.UnHideColumn(2);
         }, "2,3"},
    };
    for (const auto& c : cases) {
        PlacedForm f;
        c.change(*f.g);
        EXPECT_EQ(f.Place(), c.place) << c.what;
        EXPECT_EQ(f.panel->Parent(), f.g) << c.what;
        if (std::string(c.place) != "hidden") {
            EXPECT_EQ(f.g->NumCellControls(), 1) << c.what;
        }
    }
}

TEST(ExGridPlacedControls, AControlOutOfViewHidesAndComesBack) {
    PlacedForm f(200, 90);  // columns 1 to 2 and rows 1 to 3 in view
    EXPECT_EQ(f.Place(), "2,3");
    f.g->SetTopRow(5);
    EXPECT_EQ(f.Place(), "hidden");
    f.g->SetTopRow(2);
    EXPECT_EQ(f.Place(), "2,3");
    f.g->SetLeftCol(3);
    ASSERT_EQ(f.g->LeftCol(), 3);
    EXPECT_EQ(f.Place(), "hidden");
    f.g->SetLeftCol(1);
    EXPECT_EQ(f.Place(), "2,3");
}

TEST(ExGridPlacedControls, AFreedOrRemovedControlLeavesItsCell) {
    PlacedForm f;
    EXPECT_EQ(f.g->CellControls(2, 3), f.panel);
    delete f.panel;
    EXPECT_EQ(f.g->CellControls(2, 3), nullptr);
    EXPECT_EQ(f.g->NumCellControls(), 0);
    f.g->SwapColumns(2, 3);  // nothing left to place

    TPanel* other = new TPanel(&f.form);
    f.g->SetCellControls(4, 2, other);
    f.g->SetCellControls(4, 2, nullptr);
    EXPECT_EQ(f.g->CellControls(4, 2), nullptr);
    EXPECT_EQ(f.g->NumCellControls(), 0);
    EXPECT_THROW(f.g->SetCellControls(9, 2, other), EExGridError);
}

}  // namespace
