#include "grid/ExGrid.h"

#include "grid/foundation/ExCheckBox.h"
#include "grid/foundation/ExGridButton.h"
#include "grid/foundation/GridOptions.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// One fixed row and column; data cells (1..2, 1..3).
struct FindGrid : ::testing::Test {
    TExStringGrid g{nullptr};
    void SetUp() override {
        g.SetColCount(3);
        g.SetRowCount(4);
        const char16_t* cells[3][2] = {{u"abc", u"xab"}, {u"", u"AB"}, {u"ab", u"zzz"}};
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 2; ++c) g.SetCellEx(c, r, cells[r - 1][c - 1]);
        g.SetCellEx(1, 0, u"ab head");
    }
};

TEST_F(FindGrid, FindOrderFollowsTheOptions) {
    struct Case {
        const char16_t* text;
        TFindParams params;
        std::vector<TPoint> hits;
    } cases[] = {
        // Down the columns by default, along the rows with fnDirectionLeftRight.
        {u"ab", {}, {{1, 1}, {1, 3}, {2, 1}, {2, 2}}},
        {u"ab", {fnDirectionLeftRight}, {{1, 1}, {2, 1}, {2, 2}, {1, 3}}},
        {u"ab", {fnBackward}, {{2, 2}, {2, 1}, {1, 3}, {1, 1}}},
        {u"ab", {fnMatchCase}, {{1, 1}, {1, 3}, {2, 1}}},
        {u"ab", {fnMatchStart}, {{1, 1}, {1, 3}, {2, 2}}},
        {u"ab", {fnMatchFull}, {{1, 3}, {2, 2}}},
        {u"\"\"", {}, {{1, 2}}},
        {u"ab", {fnIncludeFixed}, {{1, 0}, {1, 1}, {1, 3}, {2, 1}, {2, 2}}},
        {u"a*|z*", {fnMatchRegular}, {{1, 1}, {1, 3}, {2, 2}, {2, 3}}},
    };
    for (const Case& c : cases) {
        std::vector<TPoint> hits;
        TPoint p = g.FindFirst(c.text, c.params);
        while (p.X >= 0) {
            hits.push_back(p);
            p = g.FindNext();
        }
        EXPECT_EQ(hits.size(), c.hits.size()) << StringToUtf8(c.text);
        EXPECT_EQ(hits, c.hits) << StringToUtf8(c.text);
        EXPECT_FALSE(g.Tools().FindBusy);
        // After the last miss the next search starts at the beginning again.
        if (!c.hits.empty()) EXPECT_EQ(g.FindNext(), c.hits.front());
    }
}

TEST_F(FindGrid, ReplaceSearchAndEmptyGrids) {
    g.SetCellEx(2, 3, u"ab ab");
    EXPECT_EQ(g.Replace(u"ab", u"[ab]", {fnMatchCase}), 4);
    EXPECT_EQ(g.GetCellEx(2, 3), u"[ab] [ab]");
    EXPECT_EQ(g.GetCellEx(2, 2), u"AB");  // the case rule holds for the replacing too
    EXPECT_EQ(g.Replace(u"ab", u"x", {}), 5);
    EXPECT_EQ(g.GetCellEx(2, 2), u"x");

    g.SetCellEx(1, 1, u"<b>Kilo</b>");
    g.SetCellEx(1, 2, u"kilogram");
    EXPECT_EQ(g.Search(u"KILOG"), 2);
    EXPECT_EQ(g.Search(u"KILO"), 1);
    g.SortSettings().SetShow(true);
    EXPECT_EQ(g.Search(u"KILO"), -1);  // shown sorting without a sort column

    TExStringGrid empty(nullptr);
    empty.SetRowCount(1);
    EXPECT_EQ(empty.FindFirst(u"a", {}), (TPoint{-1, -1}));
    EXPECT_EQ(empty.Search(u"A"), -1);
}

TEST_F(FindGrid, MarkingRoundTripsWithEntitiesAndHiddenColumns) {
    TExGridTools& t = g.Tools();
    EXPECT_EQ(TExGridTools::HilightText(false, u"Abc abc", u"abc"), u"<hi>Abc</hi> <hi>abc</hi>");
    EXPECT_EQ(TExGridTools::HilightText(true, u"Abc abc", u"abc"), u"Abc <hi>abc</hi>");
    EXPECT_EQ(TExGridTools::UnMarkText(TExGridTools::MarkText(true, u"a<b", u"<")), u"a<b");

    g.SetColCount(4);
    g.SetCellEx(1, 1, u"a<b & c");
    g.SetCellEx(3, 2, u"x<y");
    g.HideColumn(3);
    t.HilightInGrid(false, true, u"<");
    EXPECT_EQ(g.GetCellEx(1, 1), u"a<hi>&lt;</hi>b &amp; c");
    EXPECT_EQ(g.GetGridCell(3, 2), u"x<hi>&lt;</hi>y");
    t.UnHilightInGrid(false);
    EXPECT_EQ(g.GetCellEx(1, 1), u"a<b & c");
    EXPECT_EQ(g.GetGridCell(3, 2), u"x<y");

    t.LinearFill(false);
    EXPECT_EQ(g.GetCellEx(1, 1), u"1:1");
    EXPECT_EQ(g.GetCellEx(2, 3), u"2:3");
    EXPECT_EQ(g.GetCellEx(0, 0), u"");
}

// Upper-cases every text and marks every "x".
struct UpperChecker : TExStringGridCheck {
    using TExStringGridCheck::TExStringGridCheck;
    int starts = 0;
    String Correct(TExStringGrid*, int, int, const String& s) override { return AnsiUpperCase(s); }
    String MarkError(TExStringGrid*, int, int, const String& s) override {
        return TExGridTools::MarkText(false, s, u"x");
    }
    void StartCheck() override { ++starts; }
};

TEST_F(FindGrid, CheckingKeepsCorrectionsUnderTheMarks) {
    TExStringGridCheck plain(nullptr);
    g.SetCellChecker(&plain);
    EXPECT_TRUE(g.Tools().CheckGrid(false));
    EXPECT_EQ(g.GetCellEx(2, 1), u"xab");

    UpperChecker checker(nullptr);
    checker.UseCorrect = true;
    checker.UseMarkError = true;
    g.SetCellChecker(&checker);
    EXPECT_FALSE(g.Tools().CheckCell(2, 1));
    EXPECT_EQ(g.GetCellEx(2, 1), u"<e>X</e>AB");
    EXPECT_TRUE(g.Tools().CheckCell(2, 2));  // "AB" stays as it is
    EXPECT_FALSE(g.Tools().CheckCol(false, 1));
    EXPECT_EQ(checker.starts, 1);
    g.SetCellChecker(nullptr);
}

}  // namespace

namespace {

TEST(SearchPanel, TypingStepsHighlightsAndColoursTheEdit) {
    GridOnForm<> f(560, 300, false);
    TExStringGrid* g = f.g;
    g->SetColCount(3);
    g->SetRowCount(5);
    const char16_t* texts[] = {u"alpha", u"beta", u"gamma", u"alpha beta"};
    for (int r = 1; r <= 4; ++r) g->SetCellEx(1, r, texts[r - 1]);
    g->SearchFooter().SetFindNextCaption(u"Find &next");
    g->SearchFooter().SetVisible(true);
    TSearchPanel* p = g->SearchPanel();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Visible());
    EXPECT_EQ(p->Height(), 32);
    EXPECT_EQ(p->ForwardButton->Caption(), u"Find &next");
    EXPECT_FALSE(p->ForwardButton->Enabled());

    p->EditControl->SetText(u"zeta");
    EXPECT_EQ(p->EditControl->Color(), clRed);
    EXPECT_TRUE(p->ForwardButton->Enabled());
    p->EditControl->SetText(u"");
    EXPECT_EQ(p->EditControl->Color(), clWindow);
    EXPECT_FALSE(p->ForwardButton->Enabled());

    p->EditControl->SetText(u"beta");
    EXPECT_EQ(p->EditControl->Color(), clWindow);
    EXPECT_EQ(g->Row(), 2);
    // Enter steps forward, Control+Enter back.
    f.form.Show();
    p->EditControl->SetFocus();
    SimulateKey(VK_RETURN, {}, 13);
    EXPECT_EQ(g->Row(), 4);
    EXPECT_EQ(p->EditControl->Text(), u"beta");  // no line break
    SimulateKey(VK_RETURN, {ssCtrl}, 10);
    EXPECT_EQ(g->Row(), 2);

    p->HiliteButton->SetDown(true);
    g->Tools().SearchPanelHighlight();
    EXPECT_EQ(g->GetCellEx(1, 4), u"alpha <hi>beta</hi>");
    p->HiliteButton->SetDown(false);
    g->Tools().SearchPanelHighlight();
    EXPECT_EQ(g->GetCellEx(1, 4), u"alpha beta");

    // Hiding the footer while highlighting takes the marks away.
    p->HiliteButton->SetDown(true);
    g->Tools().SearchPanelHighlight();
    g->Tools().SearchPanelClose();
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(g->GetCellEx(1, 4), u"alpha beta");
}

}  // namespace

namespace {

int CountColour(TBitmap& B, TColor Colour) {
    int n = 0;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Canvas().Pixels(x, y) == Colour) ++n;
    return n;
}

// The colours a glyph draws besides its see-through background.
std::set<TColor> Inks(TBitmap& B) {
    std::set<TColor> inks;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Canvas().Pixels(x, y) != GlyphSeeThrough) inks.insert(B.Canvas().Pixels(x, y));
    return inks;
}

bool Grey(TColor C) { return GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C); }

TEST(GridGlyphs, EachIsDrawnOverItsSeeThroughColourAndTheGreyedOnesAreGrey) {
    struct Case {
        const char16_t* name;
        int size;
        const char16_t* greyed;  // its greyed form, or none
    } cases[] = {
        {u"EXGARDOWN", 16, u"EXGARDOWND"}, {u"EXGARUP", 16, u"EXGARUPD"}, {u"EXGHI", 16, u"EXGHID"},
        {u"EXGCLOSE", 14, nullptr},         {u"EXGCLOSEH", 14, nullptr},   {u"EXGCLOSED", 14, nullptr},
        {u"EXGFILT", 16, nullptr},
    };
    std::set<std::vector<TColor>> looks;
    for (const Case& c : cases) {
        TBitmap b;
        LoadBitmapResource(b, c.name);
        EXPECT_EQ(b.Width(), c.size) << StringToUtf8(c.name);
        EXPECT_EQ(b.Height(), c.size) << StringToUtf8(c.name);
        EXPECT_EQ(b.Canvas().Pixels(0, 0), GlyphSeeThrough) << StringToUtf8(c.name);
        EXPECT_EQ(b.Canvas().Pixels(0, c.size - 1), GlyphSeeThrough) << StringToUtf8(c.name);
        EXPECT_FALSE(Inks(b).empty()) << StringToUtf8(c.name);
        std::vector<TColor> pixels;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Canvas().Pixels(x, y));
        EXPECT_TRUE(looks.insert(pixels).second) << StringToUtf8(c.name) << " looks like another glyph";
        if (!c.greyed) continue;
        EXPECT_FALSE(std::ranges::all_of(Inks(b), Grey)) << StringToUtf8(c.name);
        TBitmap d;
        LoadBitmapResource(d, c.greyed);
        EXPECT_EQ(d.Width(), c.size);
        for (TColor ink : Inks(d)) EXPECT_TRUE(Grey(ink)) << StringToUtf8(c.greyed);
    }
}

TEST(GridGlyphs, SearchPanelButtonsShowThemEnabledAndGreyed) {
    GridOnForm<> f(560, 300);
    TExStringGrid* g = f.g;
    g->SearchFooter().SetVisible(true);
    TSearchPanel* p = g->SearchPanel();
    TBitmap arrow, greyed;
    LoadBitmapResource(arrow, u"EXGARDOWN");
    LoadBitmapResource(greyed, u"EXGARDOWND");
    const TColor ink = *Inks(arrow).begin(), grey = *Inks(greyed).begin();
    TBitmap shot;
    RenderControlToBitmap(p->ForwardButton, shot);
    EXPECT_GT(CountColour(shot, grey), 20);
    EXPECT_EQ(CountColour(shot, ink), 0);
    p->EditControl->SetText(u"x");
    RenderControlToBitmap(p->ForwardButton, shot);
    EXPECT_GT(CountColour(shot, ink), 20);
    EXPECT_EQ(CountColour(shot, GlyphSeeThrough), 0);
    EXPECT_FALSE(p->ExitButton->GlyphHot().Empty());
    EXPECT_FALSE(p->ExitButton->GlyphDown().Empty());
    EXPECT_FALSE(p->HiliteButton->GlyphDisabled().Empty());
    EXPECT_FALSE(p->BackwardButton->GlyphDisabled().Empty());
}

}  // namespace

namespace {

TEST(SearchPanel, ReportsEachSearchWithItsFoundCellAndItsWindow) {
    GridOnForm<> f(560, 300, false);
    TExStringGrid* g = f.g;
    g->SetColCount(3);
    g->SetRowCount(5);
    g->SetCellEx(1, 2, u"beta");
    g->SetCellEx(2, 4, u"alpha beta");
    struct Report {
        String value;
        int col, row;
        TSearchAction action;
        bool operator==(const Report&) const = default;
    };
    std::vector<Report> reports;
    int created = 0;
    g->Tools().OnSearchFooterAction = [&](TObject* Sender, const String& Value, int ACol, int ARow, TSearchAction A) {
        EXPECT_EQ(Sender, g);
        reports.push_back({Value, ACol, ARow, A});
    };
    g->Tools().OnCreatedSearchFooter = [&](TObject* Sender) {
        EXPECT_EQ(Sender, g);
        ++created;
    };
    g->SearchFooter().SetVisible(true);
    f.form.Show();
    TSearchPanel* p = g->SearchPanel();
    // The window was made while the grid built its tools: its first showing reports it.
    EXPECT_EQ(created, 1);

    p->EditControl->SetText(u"beta");
    p->EditControl->SetText(u"zeta");
    p->EditControl->SetText(u"");  // an empty text searches nothing
    p->EditControl->SetText(u"beta");
    g->Tools().SearchPanelFindNext();
    g->Tools().SearchPanelFindNext();
    g->Tools().SearchPanelFindPrev();
    const std::vector<Report> expected = {
        {u"beta", 1, 2, saFindFirst}, {u"zeta", -1, -1, saFindFirst},   {u"beta", 1, 2, saFindFirst},
        {u"beta", 2, 4, saFindNext},  {u"beta", -1, -1, saFindNext},    {u"beta", 2, 4, saFindPrevious},
    };
    ASSERT_EQ(reports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(reports[i] == expected[i]) << i << ": " << StringToUtf8(reports[i].value) << " " << reports[i].col
                                               << "," << reports[i].row << " action " << int(reports[i].action);
    EXPECT_EQ(created, 1);
}

}  // namespace

namespace {

TEST(ExGridDates, NullDatesAreEmptyUnlessAskedFor) {
    TExStringGrid g(nullptr);
    const struct {
        TDateTime value;
        bool showNull;
        bool empty;
    } cases[] = {{0, false, true}, {-3, false, true}, {0, true, false}, {EncodeDate(2024, 2, 29), false, false}};
    for (const auto& c : cases) {
        g.ShowNullDates = c.showNull;
        g.SetCellEx(1, 1, u"old");
        g.SetDates(1, 1, c.value);
        EXPECT_EQ(g.GetCellEx(1, 1).empty(), c.empty) << c.value << " " << c.showNull;
        if (!c.empty) EXPECT_EQ(g.GetDates(1, 1), c.value);
    }
}

}  // namespace

namespace {

// Both searches go to the found cell; only Find then pulls the next rows into view.
TEST(FindWide, GoesToTheCellWithoutMovingTheTopRow) {
    GridOnForm<> f(400, 200);
    TExStringGrid* g = f.g;
    g->SetRowCount(40);
    const int last = g->TopRow() + g->VisibleRowCount() - 1;
    g->SetCellEx(2, last, u"needle");
    struct Case {
        bool wide;
        int topMoves;
    } cases[] = {{true, 0}, {false, 1}};
    for (const Case& c : cases) {
        g->SetTopRow(1);
        g->SetRow(1);
        const TPoint p = c.wide ? g->Tools().FindWide({-1, -1}, u"NEEDLE", {fnAutoGoto})
                                : g->Tools().Find({-1, -1}, u"NEEDLE", {fnAutoGoto});
        EXPECT_EQ(p, (TPoint{2, last})) << c.wide;
        EXPECT_EQ(g->Row(), last) << c.wide;
        EXPECT_EQ(g->TopRow(), 1 + c.topMoves) << c.wide;
    }
}

}  // namespace

namespace {

// Stepping through matches, even without one, pulls the rows under the panel
// into view two at a time once the current row nears the bottom; a visible
// floating footer starts that a row earlier.
TEST(SearchPanel, SteppingMovesTheTopRowDownNearTheBottom) {
    GridOnForm<> f(400, 200);
    TExStringGrid* g = f.g;
    g->SetRowCount(40);
    g->SearchFooter().SetVisible(true);
    g->SearchPanel()->EditControl->SetText(u"nowhere");
    ASSERT_EQ(g->VisibleRowCount(), 7);
    const struct {
        bool footer;
        int row, top;
    } cases[] = {{false, 6, 1}, {false, 7, 3}, {true, 5, 1}, {true, 6, 3}};
    for (const auto& c : cases)
        for (bool next : {true, false}) {
            g->FloatingFooter().SetVisible(c.footer);
            g->SetTopRow(1);
            g->SetRow(c.row);
            if (next) g->Tools().SearchPanelFindNext();
            else g->Tools().SearchPanelFindPrev();
            EXPECT_EQ(g->TopRow(), c.top) << c.footer << " row " << c.row << " next " << next;
            EXPECT_EQ(g->Row(), c.row);
        }
}

}  // namespace
