#include "grid/ExCGrid.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct CompareCase {
    const char* name;
    TSortStyle style;  // ssAutomatic: the column's default
    const char16_t* suffix;
    const char16_t* a;
    const char16_t* b;
    int expected;
};

// A column grid with rows 1 and 2 holding the two texts in column 2.
int CompareInColumn(TExColumnGrid& g, const CompareCase& c, TSortDirection dir = sdAscending) {
    g.Columns().Items(2)->SetSortStyle(c.style);
    g.Columns().Items(2)->SetSortSuffix(c.suffix);
    g.SetCellEx(2, 1, c.a);
    g.SetCellEx(2, 2, c.b);
    return g.CompareCells(2, 1, 2, dir);
}

TEST(ExGridCompare, CellsCompareByTheColumnsSortFormat) {
    TFormatSettings slash;  // day/month/year with "/", "," thousands, "." decimals
    TFormatSettingsGuard guard(slash);
    TExColumnGrid g(nullptr);
    const CompareCase cases[] = {
        {"numbers by value, not text", ssAutomatic, u"", u"10", u"9", 1},
        {"negative and float", ssAutomatic, u"", u"-1.5", u"-2", 1},
        {"dates with the slash", ssAutomatic, u"", u"12/05/2023", u"1/6/2023", -1},
        {"date against a word is text", ssAutomatic, u"", u"12/05/2023", u"abc", -1},
        {"times", ssAutomatic, u"", u"9:30", u"10:15", -1},
        {"words case-sensitive", ssAutomatic, u"", u"b", u"B", 1},
        {"suffix left out", ssNumeric, u" kg", u"12 kg", u"3 kg", 1},
        {"thousands in financial", ssFinancial, u"", u"1,200", u"900", 1},
        {"two non-numbers equal", ssNumeric, u"", u"abc", u"xyz", 0},
        {"empty counts as zero", ssNumeric, u"", u"", u"5", -1},
        {"leading number of a partly numeric text", ssNumeric, u"", u"12abc", u"9", 1},
        {"custom without handler", ssCustom, u"", u"a", u"b", 0},
        {"raw without handler", ssRaw, u"", u"a", u"b", 0},
        {"no-case folds letters", ssAlphaNoCase, u"", u"b", u"B", 0},
        {"alphanumeric: numbers when both are", ssAlphaNumeric, u"", u"10", u"9", 1},
        {"alphanumeric: text otherwise", ssAlphaNumeric, u"", u"10", u"9a", -1},
        {"markup is stripped", ssHTML, u"", u"<b>b</b>", u"a", 1},
        {"EU short date", ssShortDateEU, u"", u"02/01/2023", u"01/02/2023", -1},
        {"US short date", ssShortDateUS, u"", u"02/01/2023", u"01/02/2023", 1},
        {"a day that does not exist counts as 0", ssShortDateEU, u"", u"31/02/2023", u"01/01/1990", -1},
    };
    for (const CompareCase& c : cases) EXPECT_EQ(CompareInColumn(g, c), c.expected) << c.name;
}

TEST(ExGridCompare, AnotherDateSeparatorMakesTheSameTextPlainText) {
    TFormatSettings dash;
    dash.DateSeparator = u'-';
    dash.ShortDateFormat = u"dd-mm-yyyy";
    TFormatSettingsGuard guard(dash);
    TExColumnGrid g(nullptr);
    // The separator stands fifth: text order, where the months would say otherwise.
    EXPECT_EQ(CompareInColumn(g, {"", ssAutomatic, u"", u"2023-12-01", u"2023-9-01", 0}), -1);
    // Where it stands third both read as dates.
    EXPECT_EQ(CompareInColumn(g, {"", ssAutomatic, u"", u"01-12-2023", u"01-9-2023", 0}), 1);
}

TEST(ExGridCompare, DataCheckBoxesCompareByState) {
    TExColumnGrid g(nullptr);
    TGridColumnItem* col = g.Columns().Items(1);
    col->SetEditor(edDataCheckBox);
    // Texts whose order is the opposite of their states.
    col->SetCheckTrue(u"A");
    col->SetCheckFalse(u"B");
    g.SetCellEx(1, 1, u"A");
    g.SetCellEx(1, 2, u"B");
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 1);
    EXPECT_EQ(g.CompareCells(1, 2, 1, sdAscending), -1);
    g.SetCellEx(1, 2, u"A");
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 0);
}

TEST(ExGridCompare, BlanksKeepTheirPlaceInBothDirections) {
    TExStringGrid g(nullptr);
    g.SortSettings().SetIgnoreBlanks(true);
    g.SetCellEx(1, 1, u"");
    g.SetCellEx(1, 2, u"a");
    // A descending sort takes -1 as "after": blLast puts the blank after either way.
    g.SortSettings().SetBlankPos(blLast);
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 1);
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdDescending), -1);
    EXPECT_EQ(g.CompareCells(1, 2, 1, sdAscending), -1);
    EXPECT_EQ(g.CompareCells(1, 2, 1, sdDescending), 1);
    g.SortSettings().SetBlankPos(blFirst);
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), -1);
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdDescending), 1);
    // Without the rule a blank is just the smallest text.
    g.SortSettings().SetIgnoreBlanks(false);
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdDescending), -1);
}

TEST(ExGridCompare, HandlersDecideTheCustomAndRawStylesAndTheFormatEvent) {
    TExStringGrid g(nullptr);
    g.SetCellEx(1, 1, u"x1");
    g.SetCellEx(1, 2, u"x2");
    std::vector<std::string> seen;
    g.OnGetFormat = [](TObject*, int ACol, TSortStyle& s, String&, String&) {
        if (ACol == 1) s = ssCustom;
    };
    g.OnCustomCompare = [&](TObject*, const String& a, const String& b, int& res) {
        seen.push_back(StringToUtf8(a + u"|" + b));
        res = 7;
    };
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 7);
    EXPECT_EQ(seen, std::vector<std::string>{"x1|x2"});
    g.OnGetFormat = [](TObject*, int, TSortStyle& s, String&, String&) { s = ssRaw; };
    g.OnRawCompare = [](TObject*, int ACol, int r1, int r2, int& res) { res = ACol * 100 + r1 * 10 + r2; };
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 112);
    // Cells outside the grid read as empty.
    g.OnGetFormat = nullptr;
    EXPECT_EQ(g.CompareCells(-1, -5, 999, sdAscending), 0);
    const int before = g.Compares();
    g.CompareCells(1, 2, 1, sdAscending);
    EXPECT_EQ(g.Compares(), before + 1);
}

// Random texts of the kinds a column mixes: numbers, words, dates, times, blanks.
String RandomText(std::mt19937& rng) {
    static const char16_t* const pool[] = {
        u"",      u"5",         u"x",        u"10",        u"9",         u"-3",       u"2.5",     u"1e3",
        u"1,200", u"abc",       u"ABC",      u"a b",       u"12/05/2023", u"1/6/2023", u"31/12/99", u"10:15",
        u"9:30",  u"12:00:01",  u"5x",       u"x5",        u"007",       u"1/2",      u"1:2",     u"  4",
        u"-",     u"12/05/2023 10:15", u"3/4/5", u"99:99", u"1.2.3",     u"+7",       u"e5",      u"Zed",
    };
    std::uniform_int_distribution<int> pick(0, int(std::size(pool)) - 1);
    String s = pool[pick(rng)];
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) s += pool[pick(rng)];
    return s;
}

TEST(ExGridCompare, SwappingTheRowsTurnsTheAnswerRound) {
    TExStringGrid g(nullptr);
    g.SetRowCount(3);
    std::mt19937 rng(20);
    const TSortStyle styles[] = {ssAutomatic, ssAlphaNumeric, ssAlphaNumericNoCase, ssNumeric, ssFinancial,
                                 ssDate,      ssTime,         ssShortDateEU,        ssAlphaNoCase, ssAnsiAlphaNoCase};
    for (TSortStyle style : styles)
        for (bool blanks : {false, true}) {
            g.OnGetFormat = [style](TObject*, int, TSortStyle& s, String&, String&) { s = style; };
            g.SortSettings().SetIgnoreBlanks(blanks);
            for (int i = 0; i < 400; ++i) {
                const String a = RandomText(rng), b = RandomText(rng);
                g.SetCellEx(1, 1, a);
                g.SetCellEx(1, 2, b);
                for (TSortDirection dir : {sdAscending, sdDescending})
                    ASSERT_EQ(g.CompareCells(1, 1, 2, dir), -g.CompareCells(1, 2, 1, dir))
                        << int(style) << " '" << StringToUtf8(a) << "' '" << StringToUtf8(b) << "'";
            }
        }
    // The letter against the digit: text order both ways round.
    g.OnGetFormat = nullptr;
    g.SortSettings().SetIgnoreBlanks(false);
    g.SetCellEx(1, 1, u"x");
    g.SetCellEx(1, 2, u"5");
    EXPECT_EQ(g.CompareCells(1, 1, 2, sdAscending), 1);
    EXPECT_EQ(g.CompareCells(1, 2, 1, sdAscending), -1);
}

// Rows 1..3 over columns 1..5.
void FillRows(TExStringGrid& g, const std::vector<std::vector<const char16_t*>>& rows) {
    g.SetColCount(6);
    g.SetRowCount(int(rows.size()) + 1);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) g.SetCellEx(int(c) + 1, int(r) + 1, rows[r][c]);
}

TEST(ExGridCompare, RowsCompareByTheFollowingColumnsWhileEqual) {
    TExStringGrid g(nullptr);
    FillRows(g, {{u"a", u"1", u"z"}, {u"a", u"2", u"a"}});
    EXPECT_EQ(g.CompareRowsFull(1, 1, 2), -1);
    g.IgnoreColumns().Add(2);
    EXPECT_EQ(g.CompareRowsFull(1, 1, 2), 1);
    g.SortSettings().SetFull(false);
    EXPECT_EQ(g.CompareRowsFull(1, 1, 2), 0);
    EXPECT_EQ(g.CompareRowsFull(2, 1, 2), 0);  // ignored
}

TEST(ExGridCompare, IndexedRowsUseEachKeysDirection) {
    TExStringGrid g(nullptr);
    // Equal in column 2; column 5 decides.
    FillRows(g, {{u"", u"k", u"", u"", u"1"}, {u"", u"k", u"", u"", u"2"}, {u"", u"m", u"", u"", u"0"}});
    g.SortIndexes().AddIndex(2, true);
    g.SortIndexes().AddIndex(5, false);
    // Row 1 holds the smaller key 5, which sorts descending: it goes after row 2.
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 2), 1);
    EXPECT_EQ(g.CompareRowsIndexed(0, 2, 1), -1);
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 3), -1);
    g.SortSettings().SetFull(false);
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 2), 0);
    // A descending first key turns its answer.
    g.SortIndexes().Clear();
    g.SortIndexes().AddIndex(2, false);
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 3), 1);
    EXPECT_EQ(g.CompareRowsIndexed(5, 1, 3), 0);  // past the keys
}

}  // namespace

namespace {

TEST(ExGridCompare, TheDataToolsSortByTheColumnsFormat) {
    TFormatSettings slash;
    TFormatSettingsGuard guard(slash);
    TExColumnGrid g(nullptr);
    g.SetRowCount(5);
    const char16_t* dates[] = {u"12/05/2023", u"", u"1/6/2023", u"3/1/2022"};
    const char16_t* weights[] = {u"12 kg", u"3 kg", u"100 kg", u"7 kg"};
    for (int r = 0; r < 4; ++r) {
        g.SetCellEx(1, r + 1, dates[r]);
        g.SetCellEx(2, r + 1, weights[r]);
    }
    auto column = [&g](int c) {
        std::vector<std::string> v;
        for (int r = 1; r < g.RowCount(); ++r) v.push_back(StringToUtf8(g.GetCellEx(c, r)));
        return v;
    };
    // Dates as dates, the blank kept last in both directions.
    g.SortSettings().SetIgnoreBlanks(true);
    g.SortSettings().SetBlankPos(blLast);
    g.SortSettings().SetColumn(1);
    g.QSort();
    EXPECT_EQ(column(1), (std::vector<std::string>{"3/1/2022", "12/05/2023", "1/6/2023", ""}));
    g.SortSettings().SetDirection(sdDescending);
    g.QSort();
    EXPECT_EQ(column(1), (std::vector<std::string>{"1/6/2023", "12/05/2023", "3/1/2022", ""}));
    // Weights by their numbers once the unit is left out.
    g.Columns().Items(2)->SetSortStyle(ssNumeric);
    g.Columns().Items(2)->SetSortSuffix(u" kg");
    g.SortSettings().SetDirection(sdAscending);
    g.SortSettings().SetColumn(2);
    g.QSort();
    EXPECT_EQ(column(2), (std::vector<std::string>{"3 kg", "7 kg", "12 kg", "100 kg"}));
}

}  // namespace
