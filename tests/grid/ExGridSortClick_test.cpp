#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Data tools that record which sort the grid asks for, with its settings,
// and hold the two filter lists.
struct RecordingTools : TGridDataTools {
    RecordingTools(TExStringGrid& g, std::vector<std::string>& log) : TGridDataTools(g), log(log) {}
    std::vector<std::string>& log;
    TListBox* plain = nullptr;
    TCheckListBox* check = nullptr;

    std::string Settings() {
        return std::to_string(FGrid.SortSettings().Column()) +
               (FGrid.SortSettings().Direction() == sdAscending ? " up" : " down");
    }
    std::string Keys() {
        std::string s;
        for (int i = 0; i < FGrid.SortIndexes().Count(); ++i)
            s += " " + std::to_string(FGrid.SortIndexes().GetSortColumns(i)) +
                 (FGrid.SortIndexes().GetSortDirections(i) ? "u" : "d");
        return s;
    }
    void QSort() override { log.push_back("QSort " + Settings()); }
    void QUnSort() override { log.push_back("QUnSort"); }
    void QSortIndexed() override { log.push_back("QSortIndexed" + Keys()); }
    void QSortGroup() override { log.push_back("QSortGroup"); }
    void InitSortXRef() override {
        log.push_back("xref");
        FGrid.Tools().InitSortXRef();
    }
    TListBox* FilterDropList(bool Check) override { return Check ? check : plain; }
};

template <class Grid>
struct SortFormOf {
    TForm form{nullptr};
    Grid* g;
    RecordingTools* tools;
    std::vector<std::string> log;

    SortFormOf() {
        form.SetBounds(0, 0, 600, 400);
        g = new Grid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 500, 300);
        g->SetOptions(g->Options() + TGridOptions{goColSizing});
        auto t = std::make_unique<RecordingTools>(*g, log);
        tools = t.get();
        g->SetDataTools(std::move(t));
        g->SortSettings().SetShow(true);
        g->OnClickSort = [this](TObject*, int c) { log.push_back("click " + std::to_string(c)); };
        form.Show();
    }
    // A press and release in the middle of the cells, dx from the release cell's left edge.
    void Click(int col, int row, int dx = -1, int pressRow = -1) {
        const TRect R = g->CellRect(col, row);
        const int x = dx < 0 ? (R.Left + R.Right) / 2 : R.Left + dx;
        g->HeaderSortClick(col, row, x, R.Top + 5, col, pressRow < 0 ? row : pressRow);
    }
};
using SortForm = SortFormOf<TExStringGrid>;

TEST(ExGridSortClick, OnlyAPressAndReleaseInTheSortRowOfAGridWithDataRowsSorts) {
    SortForm f;
    f.g->SetRowCount(2);
    f.Click(2, 0);
    EXPECT_TRUE(f.log.empty());
    f.g->SetRowCount(3);
    f.Click(2, 0);
    EXPECT_EQ(f.log, (std::vector<std::string>{"xref", "QSort 2 up", "click 2"}));
    f.log.clear();
    f.Click(2, 1, -1, 0);  // released in a data row
    f.Click(2, 0, -1, 1);  // pressed in a data row
    EXPECT_TRUE(f.log.empty());
    f.g->SortSettings().SetShow(false);
    f.Click(2, 0);
    EXPECT_TRUE(f.log.empty());
}

TEST(ExGridSortClick, AReleaseAtAHeaderBorderIsSizing) {
    SortForm f;
    const TRect R = f.g->CellRect(2, 0);
    const int w = R.Right - R.Left;
    f.Click(2, 0, w - 3);
    f.Click(2, 0, 3);
    EXPECT_TRUE(f.log.empty());
    f.Click(2, 0, w - 4);
    EXPECT_EQ(f.log.back(), "click 2");
}

TEST(ExGridSortClick, ClicksOnOneColumnCycleThroughTheDirectionsAndBackToUnsorted) {
    SortForm f;
    f.g->SortSettings().SetUndoSort(true);
    for (int i = 0; i < 4; ++i) f.Click(2, 0);
    EXPECT_EQ(f.log, (std::vector<std::string>{"xref", "QSort 2 up", "click 2", "QSort 2 down", "click 2", "QUnSort",
                                               "click -1", "QSort 2 up", "click 2"}));
    EXPECT_GE(int(f.g->SortTime()), 0);

    // Without UndoSort the clicks alternate; a first click takes the initial direction.
    SortForm d;
    d.g->SortSettings().SetInitSortDirection(sdDescending);
    d.Click(3, 0);
    d.Click(3, 0);
    d.Click(3, 0);
    d.Click(1, 0);
    EXPECT_EQ(d.log, (std::vector<std::string>{"xref", "QSort 3 down", "click 3", "QSort 3 up", "click 3",
                                               "QSort 3 down", "click 3", "QSort 1 down", "click 1"}));
}

TEST(ExGridSortClick, TheIndexKeyBuildsTheSortKeys) {
    SortForm f;
    f.g->SortSettings().SetIndexShow(true);
    f.g->SetFocus();
    auto shiftClick = [&](int c) {
        SimulateKeyDown(VK_SHIFT, {ssShift});
        f.Click(c, 0);
        SimulateKeyUp(VK_SHIFT);
    };
    f.Click(1, 0);
    shiftClick(3);
    shiftClick(3);
    EXPECT_EQ(f.log.back(), "click 1");
    EXPECT_EQ(f.log[f.log.size() - 2], "QSortIndexed 1u 3d");
    f.Click(3, 0);
    EXPECT_EQ(f.log[f.log.size() - 2], "QSortIndexed 3u");
    f.Click(3, 0);
    EXPECT_EQ(f.log[f.log.size() - 2], "QSortIndexed 3d");
    EXPECT_EQ(f.log.back(), "click 3");
    // The sort column is the plain column number, whatever the key's direction.
    EXPECT_EQ(f.g->SortSettings().Column(), 3);
}

TEST(ExGridSortClick, AReleaseOnAHeaderCheckBoxDoesNotSort) {
    SortForm f;
    f.g->AddCheckBox(3, 0, false);
    f.Click(3, 0);
    EXPECT_TRUE(f.log.empty());
    // Narrowed to the box itself, a release beside it sorts.
    f.g->MouseActions().SetPreciseCheckBoxCheck(true);
    const TRect R = f.g->CellRect(3, 0);
    f.Click(3, 0, 5);
    EXPECT_TRUE(f.log.empty());
    f.Click(3, 0, R.Right - R.Left - 6);
    EXPECT_EQ(f.log.back(), "click 3");
}

TEST(ExGridSortClick, ARefusedOrIgnoredColumnAndAReleaseAfterAMoveDoNotSort) {
    SortForm f;
    f.g->IgnoreColumns().Add(2);
    f.Click(2, 0);
    std::vector<int> asked;
    f.g->OnCanSort = [&](TObject*, int c, bool& doSort) {
        asked.push_back(c);
        doSort = false;
    };
    f.Click(3, 0);
    EXPECT_EQ(asked, (std::vector<int>{3}));
    EXPECT_TRUE(f.log.empty());
    f.g->OnCanSort = nullptr;
    f.g->SetColMoveFlg(true);
    f.Click(3, 0);
    EXPECT_TRUE(f.log.empty());
    f.Click(3, 0);  // the next release sorts again
    EXPECT_EQ(f.log.back(), "click 3");
}

TEST(ExGridSortClick, AReleaseOnTheFixedDropDownButtonDoesNotSort) {
    const struct {
        const char* what;
        bool button;
        bool refused;
        int fromRight;
        bool sorts;
    } cases[] = {
        {"on the button", true, false, 8, false},
        {"left of the button", true, false, 20, true},
        {"column refuses its button", true, true, 8, true},
        {"no buttons", false, false, 8, true},
    };
    for (const auto& c : cases) {
        SortForm f;
        f.g->ControlLook().FixedDropDownButton = c.button;
        std::vector<int> asked;
        f.g->OnCanShowFixedDropDown = [&](TObject*, int col, bool& canShow) {
            asked.push_back(col);
            canShow = !c.refused;
        };
        const TRect R = f.g->CellRect(3, 0);
        f.Click(3, 0, R.Right - R.Left - c.fromRight);
        EXPECT_EQ(!f.log.empty() && f.log.back() == "click 3", c.sorts) << c.what;
        if (c.button && c.fromRight < 16) {
            EXPECT_EQ(asked, (std::vector<int>{3})) << c.what;
        }
    }
}

TEST(ExGridSortClick, AutoColumnMergeSplitsBeforeTheSortAndMergesTheListedColumnsAfter) {
    for (const bool autoMerge : {true, false}) {
        TForm form(nullptr);
        form.SetBounds(0, 0, 600, 400);
        auto* g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 500, 300);
        g->SetRowCount(7);
        g->SortSettings().SetShow(true);
        g->SortSettings().SetAutoColumnMerge(autoMerge);
        const char16_t* names[] = {u"b", u"a", u"c", u"a", u"b", u"a"};
        for (int r = 1; r < 7; ++r) {
            g->SetCellEx(1, r, names[r - 1]);
            g->SetCellEx(2, r, u"x");
            g->SetCellEx(3, r, IntToStr(r));
        }
        g->MergedColumns().Add(1);
        g->MergeCells(2, 1, 1, 6);
        form.Show();
        const TRect R = g->CellRect(1, 0);
        g->HeaderSortClick(1, 0, (R.Left + R.Right) / 2, R.Top + 5, 1, 0);
        std::u16string sorted;
        for (int r = 1; r < 7; ++r) sorted += g->GetCellEx(1, r);
        EXPECT_EQ(sorted, u"aaabbc") << autoMerge;
        // Each row keeps its own data.
        EXPECT_EQ(g->GetCellEx(3, 1) + g->GetCellEx(3, 4), u"21") << autoMerge;
        if (autoMerge) {
            EXPECT_EQ(g->FullCell(1, 2), (TRect{1, 1, 1, 3}));
            EXPECT_EQ(g->FullCell(1, 5), (TRect{1, 4, 1, 5}));
            EXPECT_FALSE(g->IsMergedCell(1, 6));
            // A column that is not listed stays split.
            for (int r = 1; r < 7; ++r) EXPECT_FALSE(g->IsMergedCell(2, r)) << r;
        } else {
            for (int r = 1; r < 7; ++r) EXPECT_FALSE(g->IsMergedCell(1, r)) << r;
        }
    }
}

TEST(ExGridSortClick, TheFilterButtonOpensTheColumnsListOnlyInItsZone) {
    SortForm f;
    TListBox plain(nullptr);
    f.tools->plain = &plain;
    f.g->OnGetColumnFilter = [](TObject*, int col, TStringList& list) {
        if (col == 2 || col == 4) {
            list.Add(u"one");
            list.Add(u"two words=\"two words\"");
        }
    };
    const TRect R = f.g->CellRect(2, 0);
    // A real click on the button opens the list; a second one closes it.
    SimulateClick(f.g, R.Right - 8, R.Top + 5);
    EXPECT_TRUE(plain.Visible());
    SimulateClick(f.g, R.Right - 8, R.Top + 5);
    EXPECT_FALSE(plain.Visible());
    f.g->FilterButtonRelease(R.Right - 2, R.Top + 5);  // the sizing margin
    f.g->FilterButtonRelease(R.Right - 8, R.Top + 20);  // below the button
    f.g->FilterButtonRelease(R.Right - 20, R.Top + 5);  // left of it
    const TRect R1 = f.g->CellRect(1, 0);
    f.g->FilterButtonRelease(R1.Right - 8, R1.Top + 5);  // a column without filter values
    EXPECT_FALSE(plain.Visible());
    EXPECT_EQ(f.g->FilterCol(), -1);

    f.g->FilterButtonRelease(R.Right - 8, R.Top + 5);
    EXPECT_TRUE(plain.Visible());
    EXPECT_EQ(plain.Parent(), f.g);
    EXPECT_EQ(f.g->FilterCol(), 2);
    ASSERT_EQ(plain.Items().Count(), 2);
    EXPECT_EQ(plain.Items()[1], u"two words");
    EXPECT_EQ(plain.ItemIndex(), 0);
    EXPECT_EQ(plain.Left(), R.Right - 16);
    EXPECT_EQ(plain.Top(), R.Top + 16);
    EXPECT_EQ(plain.Width(), 150);

    // The same button again closes it.
    f.g->FilterButtonRelease(R.Right - 8, R.Top + 5);
    EXPECT_FALSE(plain.Visible());
    EXPECT_EQ(f.g->FilterCol(), -1);
    // And the sort click leaves the button alone.
    f.g->HeaderSortClick(2, 0, R.Right - 8, R.Top + 5, 2, 0);
    EXPECT_TRUE(f.log.empty());

    // A list wider than the room right of the button ends at the column's edge.
    f.g->SetColWidths(4, 100);
    f.g->FilterDropDown().SetWidth(400);
    const TRect R4 = f.g->CellRect(4, 0);
    ASSERT_GT(R4.Right - 16 + 400, f.g->Width());
    f.g->FilterButtonRelease(R4.Right - 8, R4.Top + 5);
    EXPECT_TRUE(plain.Visible());
    EXPECT_EQ(plain.Left(), std::max(0, R4.Right - 400));
    EXPECT_LE(plain.Left() + plain.Width(), std::max(R4.Right, 400));
}

TEST(ExGridSortClick, TheCheckListShowsTheColumnsActiveConditionsChecked) {
    SortForm f;
    TCheckListBox check(nullptr);
    f.tools->check = &check;
    f.g->SetFilterDropDownCheck(true);
    f.g->OnGetColumnFilter = [](TObject*, int, TStringList& list) {
        list.Add(u"one");
        list.Add(u"two words");
    };
    TFilterData* cond = f.g->Filter().Add();
    cond->SetColumn(2);
    cond->SetCondition(u"\"two words\"");
    TFilterData* other = f.g->Filter().Add();
    other->SetColumn(3);
    other->SetCondition(u"one");
    const TRect R = f.g->CellRect(2, 0);
    f.g->FilterButtonRelease(R.Right - 8, R.Top + 5);
    ASSERT_EQ(check.Items().Count(), 2);
    EXPECT_FALSE(check.Checked(0));
    EXPECT_TRUE(check.Checked(1));
}

TEST(ExGridSortClick, AColumnGridOffersItsColumnsFilterValues) {
    SortFormOf<TExColumnGrid> f;
    TExColumnGrid* g = f.g;
    TListBox plain(nullptr);
    f.tools->plain = &plain;
    g->Columns().Items(2)->Filter().Add(u"Low=<10");
    g->Columns().Items(2)->Filter().Add(u"High");
    const TRect R1 = g->CellRect(1, 0), R2 = g->CellRect(2, 0);
    g->FilterButtonRelease(R1.Right - 8, R1.Top + 5);
    EXPECT_FALSE(plain.Visible());
    g->FilterButtonRelease(R2.Right - 8, R2.Top + 5);
    ASSERT_TRUE(plain.Visible());
    ASSERT_EQ(plain.Items().Count(), 2);
    EXPECT_EQ(plain.Items()[0], u"Low");
    EXPECT_EQ(plain.Items()[1], u"High");
}

TEST(ExGridSortClick, RealClicksSortOnlyWhenPressAndReleaseAreInTheSortRow) {
    SortForm f;
    TExStringGrid* g = f.g;
    std::vector<std::string>& log = f.log;
    const TRect head = g->CellRect(2, 0), data = g->CellRect(2, 3);
    SimulateClick(g, head.Left + 10, head.Top + 5);
    EXPECT_EQ(log, (std::vector<std::string>{"xref", "QSort 2 up", "click 2"}));
    // Pressed in a data row, released on the header.
    SimulateMouseDown(g, mbLeft, data.Left + 10, data.Top + 5);
    SimulateMouseUp(g, mbLeft, head.Left + 10, head.Top + 5);
    EXPECT_EQ(log.size(), 3u);
}

TEST(ExGridSortClick, TheReleaseOfAnAutoSizeDoubleClickDoesNotSort) {
    SortForm f;
    f.g->MouseActions().SetAutoSizeColOnDblClick(true);
    f.g->SetCells(2, 1, u"a rather long text for the column");
    const TRect head = f.g->CellRect(2, 0);
    SimulateDblClick(f.g, head.Right - 1, head.Top + 5);
    EXPECT_GT(f.g->ColWidths(2), head.Right - head.Left);  // sized
    EXPECT_TRUE(f.log.empty());
    const TRect sized = f.g->CellRect(2, 0);
    SimulateClick(f.g, (sized.Left + sized.Right) / 2, sized.Top + 5);
    EXPECT_EQ(f.log, (std::vector<std::string>{"xref", "QSort 2 up", "click 2"}));
}

}  // namespace
