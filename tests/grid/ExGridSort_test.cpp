#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

std::vector<String> Column(TExStringGrid& g, int c, int from, int to) {
    std::vector<String> v;
    for (int r = from; r <= to; ++r) v.push_back(g.GetGridCell(c, r));
    return v;
}

TEST(ExGridSort, RandomGridsSortLikeAReferenceAndUnsortBack) {
    std::mt19937 gen(7);
    for (int round = 0; round < 3; ++round) {
        TExStringGrid g(nullptr);
        g.SetColCount(5);
        g.SetRowCount(2002);  // a fixed row, 2000 data rows, a footer row
        g.SetFixedFooters(1);
        std::vector<int> keys(2000);
        for (int i = 0; i < 2000; ++i) keys[size_t(i)] = i * 3 - 1000;
        std::shuffle(keys.begin(), keys.end(), gen);
        for (int r = 1; r <= 2000; ++r) {
            g.SetCellEx(1, r, IntToStr(keys[size_t(r - 1)]));
            g.SetCellEx(2, r, u"row" + IntToStr(r));
            g.SetCellEx(4, r, u"h" + IntToStr(keys[size_t(r - 1)]));
        }
        g.SetCellEx(1, 0, u"head");
        g.SetCellEx(1, 2001, u"foot");
        g.HideColumn(4);
        g.SetColWidths(g.ColCount() - 1, 77);
        std::vector<String> before = Column(g, 2, 0, 2001);
        g.InitSortXRef();

        bool down = round == 1;
        g.SortSettings().SetDirection(down ? sdDescending : sdAscending);
        g.SortSettings().SetColumn(1);
        g.QSort();
        std::vector<int> ref = keys;
        std::sort(ref.begin(), ref.end());
        if (down) std::reverse(ref.begin(), ref.end());
        for (int r = 1; r <= 2000; ++r) {
            ASSERT_EQ(g.GetGridCell(1, r), IntToStr(ref[size_t(r - 1)])) << r;
            ASSERT_EQ(g.GetGridCell(4, r), u"h" + IntToStr(ref[size_t(r - 1)]));  // the hidden column moved along
        }
        EXPECT_EQ(g.GetGridCell(1, 0), u"head");
        EXPECT_EQ(g.GetGridCell(1, 2001), u"foot");
        EXPECT_EQ(g.ColWidths(g.ColCount() - 1), 77);

        g.SortSettings().SetColumn(2);
        g.QSort();
        g.QUnSort();
        EXPECT_EQ(Column(g, 2, 0, 2001), before);
    }
}

TEST(ExGridSort, BlanksSingleColumnAndFull) {
    struct Case {
        bool ignoreBlanks;
        TSortBlankPosition pos;
        TSortDirection dir;
        std::vector<String> expected;
    } cases[] = {
        {true, blLast, sdAscending, {u"1", u"5", u"x", u"", u""}},
        {true, blLast, sdDescending, {u"x", u"5", u"1", u"", u""}},
        {true, blFirst, sdAscending, {u"", u"", u"1", u"5", u"x"}},
        {true, blFirst, sdDescending, {u"", u"", u"x", u"5", u"1"}},
        {false, blLast, sdAscending, {u"", u"", u"1", u"5", u"x"}},
    };
    for (const Case& c : cases) {
        TExStringGrid g(nullptr);
        g.SetRowCount(6);
        const char16_t* vals[] = {u"5", u"", u"x", u"1", u""};
        for (int r = 1; r <= 5; ++r) g.SetCellEx(1, r, vals[r - 1]);
        g.SortSettings().SetIgnoreBlanks(c.ignoreBlanks);
        g.SortSettings().SetBlankPos(c.pos);
        g.Tools().Sort(1, c.dir);
        EXPECT_EQ(Column(g, 1, 1, 5), c.expected);
    }

    // SingleColumn moves only the sort column; Full orders ties by the next columns.
    TExStringGrid g(nullptr);
    g.SetRowCount(5);
    const char16_t* a[] = {u"b", u"a", u"b", u"a"};
    const char16_t* b[] = {u"2", u"9", u"1", u"3"};
    for (int r = 1; r <= 4; ++r) {
        g.SetCellEx(1, r, a[r - 1]);
        g.SetCellEx(2, r, b[r - 1]);
    }
    g.SortSettings().SetSingleColumn(true);
    g.Tools().SortByColumn(1);
    EXPECT_EQ(Column(g, 1, 1, 4), (std::vector<String>{u"a", u"a", u"b", u"b"}));
    EXPECT_EQ(Column(g, 2, 1, 4), (std::vector<String>{u"2", u"9", u"1", u"3"}));
    g.SortSettings().SetSingleColumn(false);
    for (int r = 1; r <= 4; ++r) g.SetCellEx(1, r, a[r - 1]);
    g.QSort();
    EXPECT_EQ(Column(g, 2, 1, 4), (std::vector<String>{u"3", u"9", u"1", u"2"}));
}

TEST(ExGridSort, IndexedSortTextFormAndErrors) {
    TExStringGrid g(nullptr);
    g.SetRowCount(5);
    const char16_t* a[] = {u"2", u"1", u"2", u"1"};
    const char16_t* b[] = {u"x", u"y", u"z", u"w"};
    for (int r = 1; r <= 4; ++r) {
        g.SetCellEx(1, r, a[r - 1]);
        g.SetCellEx(4, r, b[r - 1]);
    }
    try {
        g.QSortIndexed();
        FAIL();
    } catch (const EExGridError& e) {
        EXPECT_EQ(e.Message(), u"No indexes specified for indexed sort");
    }
    g.SortSettings().LoadFromString(u"i;u1;d4");
    EXPECT_TRUE(g.SortSettings().Show());
    EXPECT_TRUE(g.SortSettings().IndexShow());
    EXPECT_EQ(Column(g, 4, 1, 4), (std::vector<String>{u"y", u"w", u"z", u"x"}));
    EXPECT_EQ(g.SortSettings().SaveToString(), u"i;u1;d4");

    g.SortSettings().LoadFromString(u"d4");
    EXPECT_FALSE(g.SortSettings().IndexShow());
    EXPECT_EQ(g.SortSettings().Column(), 4);
    EXPECT_EQ(Column(g, 4, 1, 4), (std::vector<String>{u"z", u"y", u"x", u"w"}));
    EXPECT_EQ(g.SortSettings().SaveToString(), u"d4");
    g.SortSettings().LoadFromString(u"uX");  // not a number: nothing sorts, the column stays
    EXPECT_EQ(g.SortSettings().Column(), 4);
    EXPECT_EQ(g.SortSettings().Direction(), sdAscending);
    try {
        g.SortSettings().LoadFromString(u"u");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid sort settings specifier");
    }

    // No column: nothing happens; one row: nothing either.
    g.SortSettings().Remove();
    std::vector<String> now = Column(g, 4, 1, 4);
    g.QSort();
    EXPECT_EQ(Column(g, 4, 1, 4), now);
}

TEST(ExGridSort, GroupSortKeepsNodeRowsInPlace) {
    TExStringGrid g(nullptr);
    g.SetRowCount(9);
    const char16_t* v[] = {u"G1", u"3", u"1", u"2", u"G2", u"9", u"7", u"8"};
    for (int r = 1; r <= 8; ++r) g.SetCellEx(1, r, v[r - 1]);
    g.Tools().AddNode(1, 4);
    g.Tools().AddNode(5, 4);
    g.SortSettings().SetColumn(1);
    g.QSortGroup();
    EXPECT_EQ(Column(g, 1, 1, 8), (std::vector<String>{u"G1", u"1", u"2", u"3", u"G2", u"7", u"8", u"9"}));
    EXPECT_TRUE(g.IsNode(1));
    EXPECT_TRUE(g.IsNode(5));
}

}  // namespace

namespace {

// A plain sort leaves the current row's index and reports it as changed;
// a sort where the current row follows its data, an indexed sort and an
// empty sort column report nothing.
TEST(ExGridSort, RowChangedReportsOnlyPlainSortsThatKeepTheRowIndex) {
    struct Case {
        const char* name;
        bool moveRow;
        bool indexed;
        int column;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        {"plain", false, false, 1, {{2, 2}}},
        {"row follows its data", true, false, 1, {}},
        {"indexed", false, true, 1, {}},
        {"no sort column", false, false, -1, {}},
    };
    for (const Case& c : cases) {
        TExStringGrid g(nullptr);
        g.SetRowCount(5);
        const char16_t* v[] = {u"d", u"b", u"c", u"a"};
        for (int r = 1; r <= 4; ++r) g.SetCellEx(1, r, v[r - 1]);
        g.SetRow(2);
        g.Navigation().SetMoveRowOnSort(c.moveRow);
        std::vector<std::pair<int, int>> seen;
        g.OnRowChanged = [&](TObject* Sender, int OldRow, int NewRow) {
            EXPECT_EQ(Sender, &g);
            seen.push_back({OldRow, NewRow});
        };
        g.SortSettings().SetColumn(c.column);
        if (c.indexed) {
            g.SortIndexes().AddIndex(1, true);
            g.QSortIndexed();
        } else {
            g.QSort();
        }
        EXPECT_EQ(seen, c.expected) << c.name;
        if (c.column >= 0) EXPECT_EQ(Column(g, 1, 1, 4), (std::vector<String>{u"a", u"b", u"c", u"d"})) << c.name;
        // With the row following its data, "b" stays current.
        if (c.moveRow) EXPECT_EQ(g.GetCellEx(1, g.Row()), u"b") << c.name;
    }
}

}  // namespace

namespace {

// An 8 x 8 picture of one colour whose corner (its see-through colour) is magenta.
void Glyph(TBitmap& B, TColor Colour) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(8, 8);
    B.Canvas().Brush().SetColor(Colour);
    B.Canvas().FillRect(Rect(0, 0, 8, 8));
    B.Canvas().SetPixels(0, 7, clFuchsia);
}

int CountIn(TExStringGrid* g, TRect R, TColor Colour) {
    TBitmap shot;
    RenderControlToBitmap(g, shot);
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += shot.Canvas().Pixels(x + 2, y + 2) == Colour;
    return n;
}

// The header shows the settings' own pictures, by direction, once both of a
// pair are set; the settings keep copies and pass them on with Assign.
TEST(ExGridSort, HeaderGlyphsReplaceTheDrawnMarksOnceBothAreSet) {
    GridOnForm<> f(400, 200);
    TExStringGrid* g = f.g;
    g->SetRowCount(4);
    g->SetCellEx(1, 0, u"One");
    g->SetCellEx(2, 0, u"Two");
    TSortSettings& s = g->SortSettings();
    s.SetShow(true);
    s.SetColumn(1);
    const TRect head1 = g->CellRect(1, 0), head2 = g->CellRect(2, 0);
    TBitmap up, down, iup, idown;
    Glyph(up, clLime);
    Glyph(down, clRed);
    Glyph(iup, clBlue);
    Glyph(idown, clYellow);

    s.SetUpGlyph(&up);
    EXPECT_EQ(CountIn(g, head1, clLime), 0);  // one of the pair alone: the drawn mark
    s.SetDownGlyph(&down);
    up.Canvas().Brush().SetColor(clBlack);    // the settings hold their own copy
    up.Canvas().FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(CountIn(g, head1, clLime), 63);
    EXPECT_EQ(CountIn(g, head1, clRed), 0);
    s.SetDirection(sdDescending);
    g->Invalidate();
    EXPECT_EQ(CountIn(g, head1, clRed), 63);
    EXPECT_EQ(CountIn(g, head1, clLime), 0);

    // Index marks: a descending entry shows the index up picture.
    s.SetIndexShow(true);
    g->SortIndexes().AddIndex(1, true);
    g->SortIndexes().AddIndex(2, false);
    s.SetIndexUpGlyph(&iup);
    s.SetIndexDownGlyph(&idown);
    EXPECT_GT(CountIn(g, head1, clYellow), 40);
    EXPECT_GT(CountIn(g, head2, clBlue), 40);
    EXPECT_EQ(CountIn(g, head1, clBlue), 0);

    TSortSettings copy(nullptr);
    copy.Assign(&s);
    EXPECT_EQ(copy.DownGlyph().Canvas().Pixels(3, 3), clRed);
    EXPECT_EQ(copy.IndexUpGlyph().Canvas().Pixels(3, 3), clBlue);
    s.DownGlyph().Canvas().SetPixels(3, 3, clBlack);
    EXPECT_EQ(copy.DownGlyph().Canvas().Pixels(3, 3), clRed);
}

}  // namespace

namespace {

TRect Pending(TWinControl* W) {
    TRect r{};
    GetUpdateRect(W->Handle(), &r, false);
    return r;
}

// A header colour change repaints the header row; a sort repaints the
// footer strip and the search panel that show the rows' values.
TEST(ExGridSort, HeaderColoursAndSortsRepaintWhatShowsThem) {
    GridOnForm<> f(400, 200);
    TExStringGrid* g = f.g;
    g->SetRowCount(6);
    for (int r = 1; r <= 4; ++r) g->SetCellEx(1, r, IntToStr(5 - r));
    g->FloatingFooter().SetVisible(true);
    g->SearchFooter().SetVisible(true);
    auto flush = [&] {
        UpdateWindow(g->Handle());
        UpdateWindow(g->Tools().FooterPanel()->Handle());
        UpdateWindow(g->SearchPanel()->Handle());
        UpdateWindow(g->Handle());
    };
    flush();
    ASSERT_TRUE(IsRectEmpty(Pending(g)));
    g->SortSettings().SetHeaderColor(clYellow);
    const TRect header = Pending(g);
    EXPECT_FALSE(IsRectEmpty(header));
    EXPECT_LE(header.Top, g->CellRect(1, 0).Top);
    EXPECT_GE(header.Bottom, g->CellRect(1, 0).Bottom);
    flush();
    g->SortSettings().SetHeaderColor(clYellow);  // no change: nothing to repaint
    EXPECT_TRUE(IsRectEmpty(Pending(g)));

    g->SortSettings().SetColumn(1);
    g->QSort();
    EXPECT_FALSE(IsRectEmpty(Pending(g->Tools().FooterPanel())));
    EXPECT_FALSE(IsRectEmpty(Pending(g->SearchPanel())));
    flush();
    g->SortIndexes().AddIndex(1, false);
    g->QSortIndexed();
    EXPECT_FALSE(IsRectEmpty(Pending(g->Tools().FooterPanel())));
    EXPECT_TRUE(IsRectEmpty(Pending(g->SearchPanel())));
}

}  // namespace

namespace {

// The partition sort as the grid defines it, run over row numbers with the
// grid's own comparison of two cells (CompareCells): the order, ties
// included, that a sort of the same grid must give, and the comparisons it
// counts.
class TReferenceSort {
public:
    TReferenceSort(TExStringGrid& G, bool Indexed) : FG(G), FIndexed(Indexed) {}

    std::vector<int> Sort(int From, int To) {
        std::vector<int> rows(size_t(To - From + 1));
        std::iota(rows.begin(), rows.end(), From);
        if (!rows.empty()) Quick(rows, 0, int(rows.size()) - 1);
        return rows;
    }

private:
    int Cells(int Col, int A, int B, int Dir) {
        if (FG.IsIgnoredColumn(Col)) return 0;
        return FG.CompareCells(Col, A, B, Dir < 0 ? sdDescending : sdAscending) * Dir;
    }
    // +1 when row A goes after row B.
    int Order(int A, int B) {
        TSortSettings& ss = FG.SortSettings();
        const int total = FG.TotalColCount();
        if (!FIndexed) {
            const int dir = ss.Direction() == sdDescending ? -1 : 1;
            for (int c = ss.Column();; ++c) {
                const int r = Cells(c, A, B, dir);
                if (r != 0 || !ss.Full() || c + 1 >= total) return r;
            }
        }
        TSortIndexList& index = FG.SortIndexes();
        int r = Cells(index.GetSortColumns(0), A, B, index.GetSortDirections(0) ? 1 : -1);
        if (r != 0 || !ss.Full()) return r;
        for (int k = 1; k < index.Count(); ++k) {
            if (index.GetSortColumns(k) >= total) continue;
            r = Cells(index.GetSortColumns(k), A, B, index.GetSortDirections(k) ? 1 : -1);
            if (r != 0) return r;
        }
        return 0;
    }
    void Quick(std::vector<int>& Rows, int L, int R) {
        const int pivot = Rows[size_t((L + R) / 2)];
        int i = L, j = R;
        do {
            while (Order(pivot, Rows[size_t(i)]) == 1 && i < R) ++i;
            while (Order(Rows[size_t(j)], pivot) == 1 && j > L) --j;
            if (i <= j) {
                if (i != j && (FIndexed || Order(Rows[size_t(i)], Rows[size_t(j)]) != 0))
                    std::swap(Rows[size_t(i)], Rows[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j) Quick(Rows, L, j);
        if (i < R) Quick(Rows, i, R);
    }

    TExStringGrid& FG;
    bool FIndexed;
};

// Cell texts with many ties: numbers of every form, blanks, words in both
// cases, dates and times, and numbers with a unit.
String RandomCell(std::mt19937& Gen) {
    static const char16_t* const words[] = {u"abc", u"Abc", u"ABC", u"x", u"b", u"1,000", u"2,5", u"1e3", u"-1.5E-3",
                                            u"12/05/2023", u"1/6/2023", u"12:30", u"9:05", u"7 kg", u"12 kg", u"-",
                                            u"0x10", u" 5", u"5 ", u"1.2.3"};
    switch (Gen() % 8) {
    case 0: return String();
    case 1: return IntToStr(int(Gen() % 10));
    case 2: return IntToStr(int(Gen() % 2000) - 1000);
    case 3: return IntToStr(int(Gen() % 100)) + u"." + IntToStr(int(Gen() % 10));
    case 4:
    case 5: return words[Gen() % (sizeof(words) / sizeof(words[0]))];
    default: return IntToStr(int(Gen() % 30));
    }
}

struct TSortRound {
    bool Column = false;  // a column grid with a sort style per column
    bool Indexed = false;
};

// Fills a grid with a fixed row, 150 data rows and a footer; column 6 is
// hidden. Numbers only: every cell a number (many equal), no check boxes.
void FillRandom(TExStringGrid& G, std::mt19937& Gen, bool NumbersOnly) {
    G.SetColCount(7);
    G.SetRowCount(152);
    G.SetFixedFooters(1);
    for (int r = 0; r < 152; ++r)
        for (int c = 0; c < 7; ++c)
            G.SetGridCell(c, r, NumbersOnly ? IntToStr(int(Gen() % 40) - 20) + (Gen() % 4 ? u"" : u".5") : RandomCell(Gen));
    if (!NumbersOnly)
        for (int k = 0; k < 6; ++k) G.AddCheckBox(1 + int(Gen() % 5), 1 + int(Gen() % 150), Gen() % 2 == 0);
    G.HideColumn(6);
}

// The settings of one round, drawn from the generator.
void RandomSettings(TExStringGrid& G, std::mt19937& Gen, bool Indexed) {
    TSortSettings& ss = G.SortSettings();
    ss.SetDirection(Gen() % 2 ? sdDescending : sdAscending);
    ss.SetFull(Gen() % 4 != 0);
    ss.SetIgnoreBlanks(Gen() % 2 == 0);
    ss.SetBlankPos(Gen() % 2 ? blLast : blFirst);
    ss.SetAutoFormat(Gen() % 5 != 0);
    ss.SetIgnoreCase(Gen() % 3 == 0);
    ss.SetSortOnVirtualCells(Gen() % 4 != 0);
    G.IgnoreColumns().Clear();
    if (Gen() % 3 == 0) G.IgnoreColumns().Add(2 + int(Gen() % 3));
    ss.SetColumn(1 + int(Gen() % 5));
    G.SortIndexes().Clear();
    if (Indexed)
        for (int k = 0, n = 1 + int(Gen() % 3); k < n; ++k) G.SortIndexes().AddIndex(int(Gen() % 7), Gen() % 2 == 0);
}

std::vector<std::vector<String>> Rows(TExStringGrid& G) {
    std::vector<std::vector<String>> rows;
    for (int r = 0; r < G.RowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < G.TotalColCount(); ++c) rows.back().push_back(G.GetGridCell(c, r));
    }
    return rows;
}

// Sorts of random grids put every row (hidden column and check boxes with
// it) where the reference partition sort puts it, count the comparisons it
// counts, record the moves for the unsort, and unsort back.
TEST(ExGridSort, RandomGridsSortAsThePartitionSortOrdersThemTiesIncluded) {
    std::mt19937 gen(20240611);
    const TSortStyle styles[] = {ssAutomatic, ssNumeric, ssFinancial, ssAlphaNoCase, ssAlphaNumeric,
                                 ssAlphaNumericNoCase, ssDate, ssTime, ssShortDateEU, ssCheckBox, ssAlphabetic};
    for (int round = 0; round < 60; ++round) {
        const bool indexed = round % 3 == 2, column = round % 4 == 3;
        std::unique_ptr<TExStringGrid> owner =
            column ? std::unique_ptr<TExStringGrid>(new TExColumnGrid(nullptr)) : std::make_unique<TExStringGrid>(nullptr);
        TExStringGrid& g = *owner;
        FillRandom(g, gen, round % 5 == 1);
        // A display-text event: each comparison reads its cells afresh.
        if (round % 7 == 4) g.OnGetDisplText = [](TObject*, int, int, String&) {};
        if (column) {
            auto& cg = static_cast<TExColumnGrid&>(g);
            for (int c = 1; c < cg.Columns().Count(); ++c) {
                cg.Columns().Items(c)->SetSortStyle(styles[gen() % std::size(styles)]);
                if (gen() % 3 == 0) cg.Columns().Items(c)->SetSortSuffix(u" kg");
            }
        }
        RandomSettings(g, gen, indexed);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        const std::vector<std::vector<String>> before = Rows(g);
        g.InitSortXRef();

        g.SetCompares(0);
        const std::vector<int> order = TReferenceSort(g, indexed).Sort(1, 150);
        const long long compares = g.Compares();
        g.SetCompares(0);
        indexed ? g.QSortIndexed() : g.QSort();
        EXPECT_EQ(g.Compares(), compares);

        const std::vector<std::vector<String>> after = Rows(g);
        ASSERT_EQ(after.front(), before.front());
        ASSERT_EQ(after.back(), before.back());
        for (int r = 1; r <= 150; ++r) {
            ASSERT_EQ(after[size_t(r)], before[size_t(order[size_t(r - 1)])]) << "row " << r;
            ASSERT_EQ(g.Tools().UnSortedRowIndex(r), order[size_t(r - 1)]) << "row " << r;
        }
        g.QUnSort();
        EXPECT_EQ(Rows(g), before);
    }
}

// Columns whose comparison an event decides are compared at every tie as
// the reference compares them: the handler sees the same pairs in the same
// order.
TEST(ExGridSort, CustomComparisonsSeeThePairsThePartitionSortCompares) {
    for (bool indexed : {false, true}) {
        std::mt19937 gen(99);
        std::vector<std::pair<String, String>> seen, expected;
        auto run = [&](bool Reference) {
            TExStringGrid g(nullptr);
            g.SetColCount(4);
            g.SetRowCount(121);
            for (int r = 1; r <= 120; ++r) {
                g.SetGridCell(1, r, IntToStr(int(gen() % 6)));  // a numeric key with many ties
                g.SetGridCell(2, r, String(1, Char(u'a' + gen() % 5)));
                g.SetGridCell(3, r, IntToStr(int(gen() % 4)));
            }
            g.OnGetFormat = [](TObject*, int ACol, TSortStyle& Style, String&, String&) {
                if (ACol == 2) Style = ssCustom;
            };
            auto& log = Reference ? expected : seen;
            g.OnCustomCompare = [&log](TObject*, const String& A, const String& B, int& Res) {
                log.push_back({A, B});
                Res = A.compare(B) < 0 ? -1 : A == B ? 0 : 1;
            };
            g.SortSettings().SetColumn(1);
            if (indexed) g.SortIndexes().LoadFromString(u"u1;d2;u3");
            if (Reference) TReferenceSort(g, indexed).Sort(1, 120);
            else indexed ? g.QSortIndexed() : g.QSort();
        };
        run(true);
        gen.seed(99);
        run(false);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(seen, expected) << (indexed ? "indexed" : "by column");
    }
}

}  // namespace
