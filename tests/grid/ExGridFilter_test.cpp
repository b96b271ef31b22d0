#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>
#include <memory>
#include <random>

namespace {

std::vector<String> Shown(TExStringGrid& g, int c) {
    std::vector<String> v;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) v.push_back(g.GetCellEx(c, r));
    return v;
}

TExStringGrid* MakeGrid(const std::vector<String>& values) {
    auto* g = new TExStringGrid(nullptr);
    g->SetRowCount(int(values.size()) + 1);
    for (int r = 0; r < int(values.size()); ++r) g->SetCellEx(1, r + 1, values[size_t(r)]);
    return g;
}

TEST(ExGridFilter, ConditionsKeepTheMatchingRows) {
    std::vector<String> values = {u"abc", u"xabcx", u"ab", u"15", u"10", u"20", u"bx", u"ay", u"ax", u""};
    struct Case {
        const char16_t* condition;
        std::vector<String> kept;
    } cases[] = {
        {u"*abc*", {u"abc", u"xabcx"}},
        {u"abc", {u"abc"}},
        {u"!abc", {u"xabcx", u"ab", u"15", u"10", u"20", u"bx", u"ay", u"ax", u""}},
        {u">10 & <20", {u"15"}},
        {u"a*|b*", {u"abc", u"ab", u"bx", u"ay", u"ax"}},
        {u"(a*|b*)&!*x", {u"abc", u"ab", u"ay"}},
        {u"", values},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TExStringGrid> g(MakeGrid(values));
        g->Filter().GetColFilter(1)->SetCondition(c.condition);
        g->ApplyFilter();
        EXPECT_EQ(Shown(*g, 1), c.kept) << StringToUtf8(c.condition);
    }
}

TEST(ExGridFilter, OperationsRowTextAndCustomWord) {
    std::unique_ptr<TExStringGrid> g(MakeGrid({u"a", u"b", u"c"}));
    g->SetCellEx(2, 1, u"1");
    g->SetCellEx(2, 2, u"2");
    g->SetCellEx(2, 3, u"1");
    TFilter& f = g->Filter();
    TFilterData* first = f.Add();
    first->SetColumn(1);
    first->SetCondition(u"a");
    first->SetOperation(foSHORT);
    TFilterData* second = f.Add();
    second->SetColumn(2);
    second->SetCondition(u"1");
    second->SetOperation(foOR);
    // The failing short item stops at once, so "c" (with 1) is dropped too.
    EXPECT_TRUE(g->Tools().MatchFilter(1));
    EXPECT_FALSE(g->Tools().MatchFilter(3));
    first->SetOperation(foNONE);
    EXPECT_TRUE(g->Tools().MatchFilter(3));
    EXPECT_FALSE(g->Tools().MatchFilter(2));
    second->SetOperation(foXOR);
    EXPECT_FALSE(g->Tools().MatchFilter(1));

    f.Clear();
    TFilterData* row = f.Add();
    row->SetData(fcRow);
    EXPECT_FALSE(g->Tools().MatchFilter(1));  // an empty row condition matches nothing
    row->SetCondition(u"B");
    EXPECT_TRUE(g->Tools().MatchFilter(2));
    g->Tools().OnCustomFilter = [](TObject*, int ARow, bool& Accept) { Accept = ARow == 3; };
    EXPECT_TRUE(g->Tools().MatchFilter(3));
    EXPECT_FALSE(g->Tools().MatchFilter(2));
}

TEST(ExGridFilter, LevelsStackAndComeBackLastFirst) {
    std::unique_ptr<TExStringGrid> g(MakeGrid({u"a1", u"a2", u"b1", u"b2"}));
    std::vector<short> progress;
    g->Tools().OnFilterProgress = [&](TObject*, short p) { progress.push_back(p); };
    g->Filter().GetColFilter(1)->SetCondition(u"*1*|a2");
    g->ApplyFilter();
    EXPECT_EQ(progress, (std::vector<short>{25, 50, 75, 100, 100}));
    g->Filter().GetColFilter(1)->SetCondition(u"a*");
    g->SetFilterActive(true);  // the second level
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"a1", u"a2"}));
    g->SetFilterActive(false);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"a1", u"a2", u"b1"}));
    EXPECT_FALSE(g->RemoveLastFilter());
    EXPECT_EQ(Shown(*g, 1).size(), 4u);
    EXPECT_FALSE(g->RemoveLastFilter());  // no level left: rows untouched
    g->RemoveAllFilters();
    EXPECT_EQ(g->Filter().Count(), 0);

    // Node and summary rows stay whatever the conditions.
    g->Tools().AddNode(1, 2);
    g->Filter().GetColFilter(1)->SetCondition(u"b*");
    g->ApplyFilter();
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"a1", u"b1", u"b2"}));
}

// A row as the store holds it: every column's text and object.
struct RowCells {
    std::vector<String> texts;
    std::vector<TObject*> objects;
    bool operator==(const RowCells&) const = default;
};

RowCells Snapshot(TExStringGrid& g, int r) {
    RowCells row;
    for (int c = 0; c < g.ColCount(); ++c) {
        row.texts.push_back(g.GetGridCell(c, r));
        row.objects.push_back(g.GetGridObject(c, r));
    }
    return row;
}

TEST(ExGridFilter, HiddenRowsKeepEveryCellAndComeBackAsTheyWere) {
    // Random tables: ties, blanks, numbers, texts and Unicode, some objects,
    // rows filled left to right and rows written out of order.
    const std::vector<String> words = {u"", u"7", u"17", u"x7y", u"70.5", u"-7", u"abc", u"\u00e47\u00df",
                                       u"\u4e03", u"7 \U0001F600", u"12345678901234567", u" 7 ", u"0", u"seven"};
    TObject objects[3];
    std::mt19937 gen(11);
    for (int round = 0; round < 6; ++round) {
        const int rows = 40 + round * 15, cols = 3 + round % 4;
        TExStringGrid g(nullptr);
        g.SetColCount(cols);
        g.SetRowCount(rows + 1);
        std::uniform_int_distribution<size_t> word(0, words.size() - 1);
        std::uniform_int_distribution<int> pick(0, 9);
        for (int r = 1; r <= rows; ++r) {
            const bool backwards = pick(gen) == 0;
            for (int k = 0; k < cols; ++k) {
                const int c = backwards ? cols - 1 - k : k;
                g.SetGridCell(c, r, words[word(gen)]);
                if (pick(gen) == 0) g.SetGridObject(c, r, &objects[pick(gen) % 3]);
            }
        }
        std::vector<RowCells> before;
        for (int r = 0; r <= rows; ++r) before.push_back(Snapshot(g, r));

        g.Filter().GetColFilter(1)->SetCondition(u"*7*");
        g.ApplyFilter();
        // Straightforward reference: a row stays when its column 1 holds a 7.
        std::vector<RowCells> kept = {before[0]};
        std::vector<int> hidden;
        for (int r = 1; r <= rows; ++r) {
            if (before[size_t(r)].texts[1].find(u'7') != String::npos) kept.push_back(before[size_t(r)]);
            else hidden.push_back(r);
        }
        ASSERT_EQ(g.RowCount(), int(kept.size()));
        for (int r = 0; r < g.RowCount(); ++r) EXPECT_EQ(Snapshot(g, r), kept[size_t(r)]) << round << " row " << r;
        for (int r : hidden) {
            const TStringList* cells = g.GetHiddenRowCells(r);
            ASSERT_NE(cells, nullptr) << r;
            RowCells held;
            for (int c = 0; c < cells->Count(); ++c) {
                held.texts.push_back((*cells)[c]);
                held.objects.push_back(cells->Objects(c));
            }
            EXPECT_EQ(held, before[size_t(r)]) << round << " hidden row " << r;
        }

        // A second level from an unsorted list with a repeat and a row past the end.
        const int shown = g.RowCount();
        g.HideRowList({shown - 1, 1, shown + 3, 1});
        EXPECT_EQ(g.RowCount(), shown - (shown > 2 ? 2 : 1));
        g.RemoveAllFilters();
        ASSERT_EQ(g.RowCount(), rows + 1);
        for (int r = 0; r <= rows; ++r) EXPECT_EQ(Snapshot(g, r), before[size_t(r)]) << round << " row " << r;
    }
}

TEST(ExGridFilter, NarrowDownLeavesContractedRowsHidden) {
    std::unique_ptr<TExStringGrid> g(MakeGrid({u"node", u"abc1", u"abcd", u"ab", u"a", u"xyz", u"abc"}));
    g->Tools().AddNode(1, 3);  // "node" over "abc1" and "abcd"
    g->ContractNode(1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"ab", u"a", u"xyz", u"abc"}));
    g->NarrowDown(u"a", 1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"ab", u"a", u"abc"}));
    g->NarrowDown(u"ab", 1);
    g->NarrowDown(u"abc", 1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"abc"}));
    EXPECT_TRUE(g->FixedRowAlways());
    g->NarrowDown(u"ab", 1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"ab", u"abc"}));
    g->NarrowDown(u"xyz", 1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"xyz"}));
    g->NarrowDown(u"", 1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"ab", u"a", u"xyz", u"abc"}));
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"node", u"abc1", u"abcd", u"ab", u"a", u"xyz", u"abc"}));
}

}  // namespace

namespace {

// A descendant that notes when a filter choice is done, before the event.
class FilterDoneGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    std::vector<std::string> Log;

protected:
    void DoFilterDone() override {
        Log.push_back("override at row " + std::to_string(Row()));
        TExStringGrid::DoFilterDone();
    }
};

struct FilterListForm : ::testing::Test {
    GridOnForm<FilterDoneGrid> f{460, 300, false};
    FilterDoneGrid* g = f.g;
    void SetUp() override {
        g->SetColCount(3);
        g->SetRowCount(6);
        const char16_t* v[] = {u"red", u"dark blue", u"red", u"green", u"dark"};
        for (int r = 1; r <= 5; ++r) g->SetCellEx(1, r, v[r - 1]);
        g->Tools().FilterDropDownAuto = true;
        f.form.Show();
    }
    // A release on the filter button of column 1 in the header.
    void ClickButton() {
        TRect r = g->CellRect(1, 0);
        g->FilterButtonRelease(r.Right - 8, r.Top + 5);
    }
};

TEST_F(FilterListForm, ListOffersPlainValuesAndFiltersByTheQuotedOne) {
    g->FilterButtonRelease(5, 5);  // not on a button: nothing opens
    EXPECT_FALSE(g->Tools().DropList()->Visible());
    ClickButton();
    TDropList* list = g->Tools().DropList();
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(g->FilterCol(), 1);
    std::vector<String> items;
    for (int i = 0; i < list->Items().Count(); ++i) items.push_back(list->Items()[i]);
    EXPECT_EQ(items, (std::vector<String>{u"(All)", u"dark", u"dark blue", u"green", u"red"}));
    g->Tools().OnFilterDone = [&](TObject* Sender) {
        g->Log.push_back(std::string(Sender == g ? "grid" : "other") + " event, " +
                         std::to_string(Shown(*g, 1).size()) + " shown");
    };
    g->SetRow(3);
    list->SetItemIndex(2);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(g->Filter().GetColFilter(1)->Condition(), u"\"dark blue\"");
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"dark blue"}));
    EXPECT_EQ(g->FilterCol(), -1);
    // Done once the filter is on and the first data row current.
    EXPECT_EQ(g->Log, (std::vector<std::string>{"override at row 1", "grid event, 1 shown"}));

    // Hidden values stay offered; "(All)" clears the column's filter.
    ClickButton();
    EXPECT_EQ(list->Items().Count(), 5);
    list->SetItemIndex(0);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(g->Filter().HasFilter(1));
    EXPECT_EQ(Shown(*g, 1).size(), 5u);
    EXPECT_EQ(g->Log.back(), "grid event, 5 shown");

    // Without the automatic update the choice is only noted: nothing is done.
    g->Tools().AutoFilterUpdate = false;
    g->Log.clear();
    ClickButton();
    list->SetItemIndex(4);
    SimulateKey(VK_RETURN);
    EXPECT_EQ(g->Filter().GetColFilter(1)->Condition(), u"red");
    EXPECT_TRUE(g->Log.empty());
}

TEST_F(FilterListForm, CheckListKeepsRowsOfEitherEntry) {
    g->SetFilterDropDownCheck(true);
    ClickButton();
    TDropCheckList* list = g->Tools().DropCheckList();
    ASSERT_TRUE(list->Visible());
    list->SetChecked(4, true);  // red
    list->OnClickCheck(list);
    list->SetChecked(3, true);  // green
    list->OnClickCheck(list);
    EXPECT_EQ(Shown(*g, 1), (std::vector<String>{u"red", u"red", u"green"}));
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(g->Filter().Items(1)->Operation(), foOR);
    list->SetChecked(4, false);
    list->SetChecked(3, false);
    list->OnClickCheck(list);
    EXPECT_EQ(g->Filter().Count(), 0);
    EXPECT_EQ(Shown(*g, 1).size(), 5u);
}

}  // namespace

namespace {

// A 16 x 16 picture in one colour, its top-left pixel the see-through one.
void Picture(TBitmap& B, TColor Colour) {
    B.SetSize(16, 16);
    B.Canvas().Brush().SetColor(Colour);
    B.Canvas().FillRect(Rect(0, 0, 16, 16));
    B.Canvas().SetPixels(0, 0, clFuchsia);
}

TEST(FilterButton, DrawnInTheFilterRowOnlyForColumnsWithAList) {
    GridOnForm<> f(400, 250);
    TExStringGrid* g = f.g;
    for (int r = 1; r < 5; ++r) g->SetCellEx(1, r, u"v" + IntToStr(r % 2));
    auto shot = [&](int ACol, int ARow) {
        auto b = std::make_unique<TBitmap>();
        b->SetPixelFormat(pf24bit);
        b->SetSize(g->ClientWidth(), g->ClientHeight());
        g->PaintTo(b->Canvas(), 0, 0);
        const TRect R = g->CellRect(ACol, ARow);
        std::map<TColor, int> inks;
        for (int y = R.Top; y < R.Top + 16; ++y)
            for (int x = R.Right - 16; x < R.Right; ++x) ++inks[b->Canvas().Pixels(x, y)];
        return inks;
    };
    TBitmap funnel;
    LoadBitmapResource(funnel, u"EXGFILT");
    const TColor body = funnel.Canvas().Pixels(8, 5);
    // Without a list no button; the cells' own lines may share the funnel's grey.
    const int header = shot(1, 0)[body], cell = shot(1, 1)[body];
    g->Tools().FilterDropDownAuto = true;
    EXPECT_GT(shot(1, 0)[body], header + 20);
    EXPECT_GT(shot(2, 0)[body], header + 20);
    EXPECT_EQ(shot(1, 1)[body], cell);  // only the filter row
    g->SetFilterDropDownRow(1);
    EXPECT_GT(shot(1, 1)[body], cell + 20);
    EXPECT_EQ(shot(1, 0)[body], header);
    g->SetFilterDropDownRow(0);

    // The drop-down's own pictures, the active one for a filtered column.
    TBitmap plain, active;
    Picture(plain, clLime);
    Picture(active, clBlue);
    g->FilterDropDown().SetGlyph(plain);
    g->FilterDropDown().SetGlyphActive(active);
    g->Filter().GetColFilter(2)->SetCondition(u"v1");
    EXPECT_GT(shot(1, 0)[clLime], 150);
    EXPECT_EQ(shot(1, 0).count(clBlue), 0u);
    EXPECT_GT(shot(2, 0)[clBlue], 150);
    EXPECT_EQ(shot(2, 0).count(clFuchsia), 0u);

    // Copying the drop-down's settings takes both pictures but not AutoSize.
    TFilterDropDown copy;
    g->FilterDropDown().SetAutoSize(true);
    copy.Assign(&g->FilterDropDown());
    EXPECT_EQ(copy.Glyph().Canvas().Pixels(5, 5), clLime);
    EXPECT_EQ(copy.GlyphActive().Canvas().Pixels(5, 5), clBlue);
    EXPECT_FALSE(copy.AutoSize());
}

// A grid that logs the filter slots it is asked through.
struct SlotGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    std::vector<std::string> log;
    void DoFilterSelect(int ItemIndex) override {
        log.push_back("select " + std::to_string(ItemIndex));
        TExStringGrid::DoFilterSelect(ItemIndex);
    }
    void DoFilterDone() override {
        log.push_back("done");
        TExStringGrid::DoFilterDone();
    }
};

TEST(ExGridFilterSlots, AChoiceInTheListGoesThroughTheGridsSlots) {
    GridOnForm<SlotGrid> f(460, 300);
    SlotGrid* g = f.g;
    g->SetColCount(3);
    g->SetRowCount(4);
    const char16_t* v[] = {u"red", u"green", u"red"};
    for (int r = 1; r <= 3; ++r) g->SetCellEx(1, r, v[r - 1]);
    g->Tools().FilterDropDownAuto = true;
    g->Tools().AutoFilterUpdate = true;
    int done = 0;
    g->Tools().OnFilterDone = [&](TObject* Sender) {
        EXPECT_EQ(Sender, g);
        ++done;
    };
    const TRect r = g->CellRect(1, 0);
    g->FilterButtonRelease(r.Right - 8, r.Top + 5);
    TDropList* list = g->Tools().DropList();
    ASSERT_TRUE(list->Visible());
    list->SetItemIndex(2);  // "(All)", "green", "red"
    SimulateKey(VK_RETURN);
    EXPECT_EQ(g->log, (std::vector<std::string>{"select 2", "done"}));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(g->RowCount(), 3);
}

}  // namespace
