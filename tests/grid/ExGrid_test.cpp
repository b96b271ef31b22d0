#include "grid/ExGrid.h"

#include "grid/ExCGrid.h"

#include "GridOnForm.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Texts "c,r" in every cell.
void Fill(TExStringGrid& g) {
    for (int c = 0; c < g.TotalColCount(); ++c)
        for (int r = 0; r < g.RowCount(); ++r) g.SetCellEx(c, r, IntToStr(c) + u"," + IntToStr(r));
}

template <class Grid>
void ExpectDefaults(Grid& g, const char* version) {
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.FixedRowHeight(), 22);
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.CheckTrue(), u"Y");
    EXPECT_EQ(g.CheckFalse(), u"N");
    EXPECT_EQ(g.FloatFormat(), u"%.2f");
    EXPECT_EQ(g.Look(), glXP);
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(g.BorderColor(), TColor(0xB99D7F));
    EXPECT_TRUE(g.EnableHTML());
    EXPECT_FALSE(g.EnableBlink());
    EXPECT_FALSE(g.URLUnderlineOnHover());
    EXPECT_FALSE(g.URLShowInText());
    EXPECT_FALSE(g.ControlLook().ProgressXP);
    EXPECT_EQ(g.Version(), Utf8ToString(version));
}

TEST(ExGrid, DefaultsOfBothGridsAndTheLoadingBracket) {
    TExStringGrid s(nullptr);
    ExpectDefaults(s, "6.2.1.3");
    EXPECT_EQ(s.GetVersionString(), u"6.2.1.3 Sep, 2012");
    TExColumnGrid c(nullptr);
    ExpectDefaults(c, "3.1.3.1");
    EXPECT_EQ(c.GetVersionString(), u"3.1.3.1 Aug, 2012");
    EXPECT_EQ(c.Columns().Count(), 5);

    // A form sets the stored properties inside the bracket; Loaded settles the rest.
    TExColumnGrid g(nullptr);
    g.BeginLoading();
    g.SetOptions(g.Options() + TGridOptions{goAlwaysShowEditor});
    g.SetDefaultRowHeight(18);
    g.EndLoading();
    EXPECT_TRUE(g.IsLoaded());
    EXPECT_EQ(g.MinColWidth(), 10);
    EXPECT_EQ(g.MinRowHeight(), 18);
    EXPECT_TRUE(g.Navigation().AlwaysEdit());
    EXPECT_FALSE(g.Options().Contains(goAlwaysShowEditor));
}

TEST(ExGrid, FixedRowAlwaysKeepsTheHeaderAndComesBack) {
    TExStringGrid g(nullptr);
    g.SetFixedRowAlways(true);
    g.SetRowCount(1);
    EXPECT_EQ(g.TCustomGrid::FixedRows(), 0);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_TRUE(g.IsFixed(1, 0));
    g.SetRowCount(5);
    EXPECT_EQ(g.TCustomGrid::FixedRows(), 1);
    EXPECT_EQ(g.MaxRowCount(), 10);

    TExStringGrid plain(nullptr);
    try {
        plain.SetFixedRows(plain.RowCount());
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Fixed row count must be less than row count");
    }
}

TEST(ExGrid, TypedViewsReadTheLocaleAndWriteTheFormat) {
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    TFormatSettingsGuard guard(comma);
    TExStringGrid g(nullptr);
    struct Case {
        const char* text;
        double value;
    } floats[] = {{"(1.234,5)", -1234.5}, {"", 0}, {"-", 0}, {"12,25", 12.25}, {"<b>3</b>", 3}};
    for (const Case& c : floats) {
        g.SetCellEx(1, 1, Utf8ToString(c.text));
        EXPECT_DOUBLE_EQ(g.Floats(1, 1), c.value) << c.text;
    }
    struct IntCase {
        const char* text;
        long long value;
    } ints[] = {{"", 0}, {"-", 0}, {"<b>12</b>", 12}, {" -7 ", -7}};
    for (const IntCase& c : ints) {
        g.SetCellEx(1, 1, Utf8ToString(c.text));
        EXPECT_EQ(g.Ints(1, 1), c.value) << c.text;
    }
    g.SetCellEx(1, 1, u"12a");
    try {
        g.Ints(1, 1);
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"Cell does not contain integer value");
    }
    EXPECT_EQ(g.GetCellEx(1, 1), u"12a");
}

TEST(ExGrid, FloatsWriteTheFloatFormat) {
    TExStringGrid g(nullptr);
    g.SetFloats(1, 1, 3.14159);
    EXPECT_EQ(g.GetCellEx(1, 1), u"3.14");
    g.SetInts(2, 1, -42);
    EXPECT_EQ(g.GetCellEx(2, 1), u"-42");
}

TEST(ExGrid, HiddenColumnsMapRealAndDisplayedIndexes) {
    TExStringGrid g(nullptr);
    Fill(g);
    g.SetColWidths(2, 90);
    g.HideColumn(2);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    EXPECT_TRUE(g.IsHiddenColumn(2));
    EXPECT_EQ(g.TotalColCount(), 5);
    struct Map {
        int displ, real;
    } maps[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {7, 8}};
    for (const Map& m : maps) EXPECT_EQ(g.RealColIndex(m.displ), m.real) << m.displ;
    EXPECT_EQ(g.DisplColIndex(3), 2);
    EXPECT_EQ(g.DisplColIndex(2), 2);  // where it would stand
    EXPECT_EQ(g.GetCellEx(2, 3), u"2,3");  // the text stays by real index
    EXPECT_EQ(g.AllColWidths(2), 90);
    g.UnHideColumn(2);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.ColWidths(2), 90);
    EXPECT_FALSE(g.IsHiddenColumn(2));

    // The map covers the first 512 columns: a column past it is never hidden,
    // and indexes from 512 on are the same in both numberings.
    g.SetColCount(700);
    g.HideColumn(600);
    EXPECT_FALSE(g.IsHiddenColumn(600));
    EXPECT_EQ(g.ColCount(), 700);
    g.HideColumn(2);
    EXPECT_EQ(g.RealColIndex(2), 3);
    EXPECT_EQ(g.RealColIndex(500), 501);
    EXPECT_EQ(g.RealColIndex(600), 600);
    EXPECT_EQ(g.DisplColIndex(600), 600);
    EXPECT_EQ(g.DisplColIndex(501), 500);
}

TEST(ExGrid, HiddenRowsLeaveTheGridAndComeBack) {
    TExStringGrid g(nullptr);
    Fill(g);
    std::vector<std::pair<int, int>> updates;
    g.HideRows(1, 3);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.NumHiddenRows(), 3);
    EXPECT_EQ(g.RealRowIndex(3), 6);
    EXPECT_EQ(g.DisplRowIndex(6), 3);
    EXPECT_EQ(g.AllCells(1, 2), u"1,2");
    g.SetAllCells(7, 2, u"far");
    EXPECT_EQ(g.GridItems()[1].Items().Count(), 8);
    EXPECT_EQ(g.GetCellEx(1, 1), u"1,4");
    g.UnHideRows(1, 3);
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.GetCellEx(1, r), IntToStr(1) + u"," + IntToStr(r));
    EXPECT_EQ(g.GetCellEx(7, 2), u"far");

    // Stacked hide levels come back last first.
    g.HideRowList({2, 4});
    g.HideRowList({1});
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.GetCellEx(1, 1), u"1,3");
    g.UnHideRowList();
    EXPECT_EQ(g.GetCellEx(1, 1), u"1,1");
    EXPECT_EQ(g.GetCellEx(1, 2), u"1,3");
    g.UnHideRowList();
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.GetCellEx(1, r), IntToStr(1) + u"," + IntToStr(r));
    EXPECT_EQ(g.NumHiddenRows(), 0);
}

TEST(ExGrid, TheHiddenRowStoreKeepsOneItemPerRowInOrderOfIndex) {
    TExStringGrid g(nullptr);
    Fill(g);
    g.SetRowHeights(5, 33);
    g.GetCellProperties(2, 5)->SetBrushColor(clRed);
    g.HideRows(5, 6);
    g.HideRow(2);
    g.HideRows(4, 6);  // 5 and 6 are hidden already: only 4 joins them
    const TGridItems& store = g.GridItems();
    ASSERT_EQ(store.Count(), 4);
    std::vector<int> order;
    for (const TGridItem& i : store) order.push_back(i.Idx);
    EXPECT_EQ(order, (std::vector<int>{2, 4, 5, 6}));
    const TGridItem& five = store[2];
    EXPECT_EQ(five.Collection(), &store);
    EXPECT_EQ(five.Index(), 2);
    EXPECT_EQ(five.Height, 33);
    EXPECT_EQ(five.Level, 0);
    EXPECT_EQ(five.Items().Count(), g.TotalColCount());
    EXPECT_EQ(five.Items()[2], u"2,5");
    ASSERT_NE(dynamic_cast<TCellProperties*>(five.Items().Objects(2)), nullptr);
    EXPECT_EQ(g.GetHiddenRowCells(5), &five.Items());
    EXPECT_EQ(g.GetHiddenRowCells(3), nullptr);
    // Objects by real row: inside the saved properties, or in the saved cell itself.
    TStringList tagged, plain, shown;
    g.SetAllObjects(2, 5, &tagged);
    g.SetAllObjects(3, 5, &plain);
    g.SetAllObjects(1, 8, &shown);
    EXPECT_EQ(g.AllObjects(2, 5), &tagged);
    EXPECT_EQ(g.AllObjects(3, 5), &plain);
    EXPECT_EQ(five.Items().Objects(3), &plain);
    EXPECT_EQ(g.GetObjectEx(1, g.DisplRowIndex(8)), &shown);
    g.SetAllObjects(3, 5, nullptr);

    g.UnHideRows(4, 6);
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store[0].Idx, 2);
    const int five2 = g.DisplRowIndex(5);
    EXPECT_EQ(five2, 4);
    EXPECT_EQ(g.GetCellEx(2, five2), u"2,5");
    EXPECT_EQ(g.RowHeights(five2), 33);
    ASSERT_TRUE(g.CellPropsAssigned(2, five2));
    EXPECT_EQ(g.GetCellProperties(2, five2)->BrushColor(), clRed);
    EXPECT_EQ(g.GetObjectEx(2, five2), &tagged);
    g.UnHideRowsAll();
    EXPECT_EQ(store.Count(), 0);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.GetCellEx(1, r), IntToStr(1) + u"," + IntToStr(r));
}

TEST(ExGrid, HideRowsExAppendsToTheStoreAndClearAllEmptiesIt) {
    TExStringGrid g(nullptr);
    Fill(g);
    g.SetRowHeights(6, 31);
    g.HideRowsEx(6, 7);
    g.HideRowsEx(2, 2);
    g.HideRowsEx(2, 3);  // 2 is hidden: nothing
    g.HideRowsEx(9, 12);  // only row 9 is there
    EXPECT_EQ(g.RowCount(), 6);
    std::vector<int> order;
    for (const TGridItem& i : g.GridItems()) order.push_back(i.Idx);
    EXPECT_EQ(order, (std::vector<int>{6, 7, 2, 9}));
    EXPECT_EQ(g.GridItems()[0].Height, 31);
    EXPECT_EQ(g.AllCells(1, 7), u"1,7");
    EXPECT_EQ(g.RealRowIndex(5), 8);
    EXPECT_EQ(g.GetCellEx(1, 5), u"1,8");

    TExStringGrid h(nullptr);
    Fill(h);
    h.HideRowsEx(6, 7);
    h.HideRowsEx(2, 2);
    h.UnHideRowsAll();
    EXPECT_EQ(h.RowCount(), 10);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(h.GetCellEx(1, r), IntToStr(1) + u"," + IntToStr(r));

    // ClearAll keeps the rows hidden but with nothing in them.
    g.ClearAll();
    EXPECT_EQ(g.NumHiddenRows(), 4);
    EXPECT_EQ(g.GetCellEx(1, 1), u"");
    EXPECT_EQ(g.AllCells(1, 7), u"");
    g.UnHideRowsAll();
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(g.GetCellEx(1, r), u"") << r;
}

TEST(ExGrid, RemoveRowsKeepsHeightsAndLowersHiddenIndexes) {
    TExStringGrid g(nullptr);
    Fill(g);
    for (int r = 0; r < 10; ++r) g.SetRowHeights(r, 20 + r);
    g.GetCellProperties(1, 2)->SetBrushColor(clRed);
    g.HideRow(8);
    EXPECT_EQ(g.RowCount(), 9);
    g.RemoveRows(2, 2);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.GridItems()[0].Idx, 6);
    EXPECT_EQ(g.GetCellEx(1, 2), u"1,4");
    EXPECT_EQ(g.RowHeights(2), 24);
    EXPECT_EQ(g.RowHeights(1), 21);
    EXPECT_FALSE(g.CellPropsAssigned(1, 2));
    EXPECT_EQ(g.MaxRowCount(), 8);

    g.InsertRows(1, 2);
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_EQ(g.GetCellEx(1, 1), u"");
    EXPECT_EQ(g.GetCellEx(1, 3), u"1,1");
    EXPECT_EQ(g.RowHeights(1), g.DefaultRowHeight());
    EXPECT_EQ(g.RowHeights(3), 21);
}

TEST(ExGrid, ColumnsInsertAndRemoveWithTheirHiddenFlags) {
    TExStringGrid g(nullptr);
    Fill(g);
    g.HideColumn(3);
    g.InsertCols(1, 1);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_TRUE(g.IsHiddenColumn(4));
    EXPECT_EQ(g.GetCellEx(4, 1), u"3,1");
    EXPECT_EQ(g.GetCellEx(2, 1), u"1,1");
    g.RemoveCols(4, 1);  // the hidden one
    EXPECT_EQ(g.NumHiddenColumns(), 0);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.GetCellEx(4, 1), u"4,1");
}

TEST(ExGrid, SelectionOfRowsAndItsErrors) {
    TExStringGrid g(nullptr);
    g.SelectRows(8, 5);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 8, 4, 9}));
    EXPECT_TRUE(g.RowSelect(9));
    EXPECT_FALSE(g.RowSelect(7));
    try {
        g.RowSelect(12);
        FAIL() << "no error";
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"Invalid row 12 accessed");
    }
}

TEST(ExGrid, CheckBoxesOfTheirOwn) {
    TExStringGrid g(nullptr);
    g.AddCheckBox(1, 1, true);
    EXPECT_TRUE(g.HasCheckBox(1, 1));
    EXPECT_TRUE(g.IsChecked(1, 1));
    EXPECT_FALSE(g.IsChecked(2, 1));
    std::vector<bool> changes;
    g.OnCheckBoxChange = [&](TObject*, int, int, bool s) { changes.push_back(s); };
    EXPECT_TRUE(g.ToggleCheckBox(1, 1));
    EXPECT_FALSE(g.IsChecked(1, 1));
    EXPECT_EQ(changes, std::vector<bool>{false});
    try {
        g.AddCheckBox(g.ColCount(), 1, true);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid cell");
    }
}

TEST(ExGrid, RowColoursClearOnlyTheColourNamed) {
    TExStringGrid g(nullptr);
    g.SetRowColor(2, clRed);
    g.SetFontColors(2, 2, clBlue);
    g.SetRowColor(2, clNone);
    EXPECT_EQ(g.Colors(2, 2), clNone);
    EXPECT_EQ(g.FontColors(2, 2), clBlue);
    EXPECT_EQ(g.Colors(0, 2), clNone);  // fixed column untouched
    EXPECT_FALSE(g.CellPropsAssigned(0, 2));
}

TEST(ExGrid, AutoSizeOfAnEmptyColumnGivesTheMinimum) {
    TExColumnGrid g(nullptr);
    g.BeginLoading();
    g.EndLoading();
    g.AutoSizeCol(2);
    EXPECT_EQ(g.ColWidths(2), 10);
    g.SetCellEx(2, 3, u"a rather long text");
    g.AutoSizeCol(2);
    EXPECT_GT(g.ColWidths(2), 40);
    // The column's automatic limits hold.
    g.Columns().Items(2)->SetAutoMaxSize(30);
    g.AutoSizeCol(2);
    EXPECT_EQ(g.ColWidths(2), 30);
    g.Columns().Items(1)->SetAutoMinSize(50);
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), 50);
}

TEST(ExGrid, LockCountsAndPaintsOnceAtTheOutermostEnd) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    form.Show();
    int painted = 0;
    g->OnPainted = [&](TObject*) { ++painted; };
    g->BeginUpdate();
    g->BeginUpdate();
    g->EndUpdate();
    g->Repaint();
    EXPECT_EQ(painted, 0);
    g->EndUpdate();
    g->Update();
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(g->UpdateCount(), 0);

    // Taken while shown, released while hidden: the grid paints again once shown.
    g->BeginUpdate();
    g->SetVisible(false);
    g->EndUpdate();
    EXPECT_EQ(g->UpdateCount(), 0);
    g->SetVisible(true);
    g->Invalidate();
    g->Update();
    EXPECT_EQ(painted, 2);
    g->StartUpdate();
    g->ResetUpdate();
    EXPECT_EQ(g->UpdateCount(), 0);
}

}  // namespace

namespace {

TEST(ExGrid, ProportionalThumbs) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    g->SetRowCount(3);
    form.Show();
    g->SetRowCount(100);
    g->SetScrollProportional(true);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(g->Handle(), SB_VERT, info));
    // About a tenth of the rows in view: the page is about a tenth of the range.
    EXPECT_GT(int(info.nPage), 5);
    EXPECT_LT(int(info.nPage), 30);
    EXPECT_EQ(info.nPos, 0);
}

}  // namespace

namespace {

// With the floating footer shown the last row is the footer's: a new row
// count carries its texts and calculations to the new last row.
TEST(ExGridDimensions, TheFloatingFootersRowStaysTheLastRowWhenTheCountChanges) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    for (int r = 1; r <= 8; ++r) g->SetCellEx(1, r, IntToStr(r));
    g->FloatingFooter().SetVisible(true);
    g->FloatingFooter().SetColumnCalc(1, acSUM);
    g->SetCellEx(3, 9, u"note");
    ASSERT_EQ(g->GetCellEx(1, 9), u"36.00");
    g->SetRowCount(12);
    EXPECT_EQ(g->GetCellEx(3, 11), u"note");
    EXPECT_EQ(g->FloatingFooter().ColumnCalc(1), acSUM);
    EXPECT_EQ(g->GetCellEx(1, 11), u"36.00");
    EXPECT_EQ(g->GetCellEx(1, 9), u"");
    EXPECT_EQ(g->GetCellEx(3, 9), u"");
    EXPECT_FALSE(g->CellPropsAssigned(1, 9));
    // Shrinking: the footer replaces what the new last row held.
    g->SetCellEx(1, 9, u"100");
    g->SetColors(2, 7, clRed);
    g->SetRowCount(8);
    EXPECT_EQ(g->GetCellEx(3, 7), u"note");
    EXPECT_EQ(g->FloatingFooter().ColumnCalc(1), acSUM);
    EXPECT_EQ(g->GetCellEx(1, 7), u"21.00");  // rows 1 to 6
    EXPECT_EQ(g->Colors(2, 7), clNone);
    EXPECT_EQ(g->MaxRowCount(), 12);
    // Without the footer nothing moves.
    g->FloatingFooter().SetVisible(false);
    g->SetRowCount(9);
    EXPECT_EQ(g->GetCellEx(3, 7), u"note");
}

}  // namespace

namespace {

TEST(ExGridDimensions, SwitchingIntegralHeightOnSnapsTheHeightAtOnce) {
    GridOnForm<> f(400, 100);
    ASSERT_EQ(f.g->Height(), 100);
    f.g->SetIntegralHeight(true);
    // A single border: 2 * 2 + 98 - 98 mod 22.
    EXPECT_EQ(f.g->Height(), 92);
}

}  // namespace

namespace {

TEST(ExGridView, ACoupledGridFollowsTheScroll) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 700, 300);
    auto* a = new TExStringGrid(&form);
    auto* b = new TExStringGrid(&form);
    for (auto [g, x] : {std::pair{a, 0}, std::pair{b, 350}}) {
        g->SetParent(&form);
        g->SetBounds(x, 0, 300, 150);
        g->SetRowCount(40);
        g->SetColCount(20);
    }
    a->SyncGrid().SetGrid(b);
    a->SyncGrid().SetScrollVertical(true);
    b->SyncGrid().SetGrid(a);
    b->SyncGrid().SetScrollVertical(true);
    b->SyncGrid().SetScrollHorizontal(true);
    form.Show();
    a->SetTopRow(12);
    EXPECT_EQ(b->TopRow(), 12);
    a->SetLeftCol(5);
    EXPECT_EQ(b->LeftCol(), 1);  // a does not couple its columns
    b->SetLeftCol(6);
    EXPECT_EQ(a->LeftCol(), 6);
    b->SetTopRow(20);
    EXPECT_EQ(a->TopRow(), 20);

}

}  // namespace
