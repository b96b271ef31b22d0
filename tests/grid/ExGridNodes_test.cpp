#include "grid/ExGrid.h"

#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// One fixed row; column 1 holds "r<real row>" so moved rows can be told apart.
struct NodeGrid : ::testing::Test {
    TExStringGrid g{nullptr};
    TExGridTools& t = g.Tools();
    void SetUp() override {
        g.SetRowCount(12);
        for (int r = 0; r < g.RowCount(); ++r) g.SetCellEx(1, r, u"r" + IntToStr(r));
    }
    String At(int r) { return g.GetCellEx(1, r); }
};

TEST_F(NodeGrid, ContractHidesTheSpanAndExpandShowsItAgain) {
    t.AddNode(1, 4);
    EXPECT_TRUE(g.IsNode(1));
    EXPECT_EQ(g.GetNodeLevel(1), 1);
    EXPECT_EQ(g.GetNodeSpan(1), 4);
    g.ContractNode(1);
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_EQ(At(2), u"r5");
    g.ExpandNode(1);
    EXPECT_FALSE(g.GetNodeState(1));
    EXPECT_EQ(g.RowCount(), 12);
    for (int r = 0; r < 12; ++r) EXPECT_EQ(At(r), u"r" + IntToStr(r));

    // Plain rows answer as rows without a node.
    EXPECT_EQ(g.GetNodeLevel(6), -1);
    EXPECT_EQ(t.GetNodeSpan(6), -1);
    EXPECT_EQ(g.GetSubNodeCount(6), 0);
    EXPECT_FALSE(g.GetNodeState(6));
}

TEST_F(NodeGrid, NestedNodesComeBackWhole) {
    t.AddNode(1, 6);  // rows 1..6
    t.AddNode(3, 3);  // rows 3..5
    EXPECT_EQ(g.GetNodeLevel(3), 2);
    g.ContractNode(3);
    EXPECT_EQ(g.RowCount(), 10);
    g.ContractNode(1);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(At(2), u"r7");
    g.ExpandNode(1);
    EXPECT_EQ(g.RowCount(), 12);
    for (int r = 0; r < 12; ++r) EXPECT_EQ(At(r), u"r" + IntToStr(r));
    EXPECT_FALSE(g.GetNodeState(3));

    // Parents: the node itself at the top, the inner node for its rows, none outside.
    EXPECT_EQ(g.GetParentRow(1), 1);
    EXPECT_EQ(g.GetParentRow(3), 1);
    EXPECT_EQ(g.GetParentRow(4), 3);
    EXPECT_EQ(g.GetParentRow(6), 1);
    EXPECT_EQ(g.GetParentRow(9), -1);
    // With the inner node contracted, the outer node's later rows still find it.
    g.ContractNode(3);
    EXPECT_EQ(g.GetParentRow(4), 1);  // was row 6
    EXPECT_EQ(g.GetParentRow(5), -1);
}

TEST_F(NodeGrid, ContractAllIsOneFilterLevelAndRemoveNodeShowsRows) {
    t.AddNode(1, 3);
    t.AddNode(5, 2);
    g.ContractAll();
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_TRUE(g.GetNodeState(3));  // the second node, moved up
    g.ExpandAll();
    EXPECT_EQ(g.RowCount(), 12);

    g.ContractNode(1);
    t.RemoveNode(1);
    EXPECT_EQ(g.RowCount(), 12);
    EXPECT_FALSE(g.IsNode(1));
    EXPECT_EQ(g.GetCellProperties(0, 2)->NodeLevel(), 0);
    EXPECT_EQ(t.NumNodes(), 1);
    g.RemoveAllNodes();
    EXPECT_EQ(t.NumNodes(), 0);
    EXPECT_FALSE(g.IsNode(5));
}

TEST_F(NodeGrid, ChildRowsGrowAndShrinkEveryEnclosingNode) {
    t.AddNode(1, 6);
    t.AddNode(3, 3);
    t.InsertChildRow(4, 1);  // below row 4, inside the inner node
    EXPECT_EQ(g.RowCount(), 13);
    EXPECT_EQ(g.GetNodeSpan(3), 4);
    EXPECT_EQ(g.GetNodeSpan(1), 7);
    EXPECT_EQ(At(5), u"");
    EXPECT_EQ(g.GetCellProperties(0, 5)->NodeLevel(), 2);
    t.RemoveChildRow(5);
    EXPECT_EQ(g.RowCount(), 12);
    EXPECT_EQ(g.GetNodeSpan(3), 3);
    EXPECT_EQ(g.GetNodeSpan(1), 6);
    for (int r = 0; r < 12; ++r) EXPECT_EQ(At(r), u"r" + IntToStr(r));
}

TEST_F(NodeGrid, FindOpensTheNodeOfAHiddenMatch) {
    t.AddNode(1, 4);
    g.ContractNode(1);
    TPoint p = g.Find({-1, -1}, u"r3", {fnIncludeHiddenRows, fnAutoGoto});
    EXPECT_EQ(p, (TPoint{1, 3}));
    EXPECT_FALSE(g.GetNodeState(1));
    EXPECT_EQ(g.Row(), 3);
}

}  // namespace

namespace {

// Fixed row and footer row; column 2 holds the group value.
struct GroupGrid : ::testing::Test {
    TExStringGrid g{nullptr};
    std::vector<std::vector<String>> before;
    void SetUp() override {
        g.SetColCount(4);
        g.SetRowCount(8);
        g.SetFixedFooters(1);
        const char16_t* groups[] = {u"A", u"A", u"A", u"B", u"C", u"C"};
        for (int r = 1; r <= 6; ++r) {
            g.SetCellEx(1, r, u"n" + IntToStr(r));
            g.SetCellEx(2, r, groups[r - 1]);
            g.SetCellEx(3, r, IntToStr(r * 10));
        }
        g.SetCellEx(2, 0, u"Group");
        g.SetCellEx(2, 7, u"foot");
        g.SetColWidths(2, 91);
        before = Cells();
    }
    std::vector<std::vector<String>> Cells() {
        std::vector<std::vector<String>> v;
        for (int r = 0; r < g.RowCount(); ++r) {
            v.emplace_back();
            for (int c = 0; c < g.ColCount(); ++c) v.back().push_back(g.GetCellEx(c, r));
        }
        return v;
    }
};

TEST_F(GroupGrid, GroupWithSummariesAndBack) {
    g.Grouping().SetSummary(true);
    g.Grouping().SetHeaderColor(clYellow);
    g.Group(2);
    EXPECT_EQ(g.GroupColumn(), 2);
    EXPECT_EQ(g.ColCount(), 3);
    // Header A, 3 rows, summary, header B, 1 row, summary, header C, 2 rows, summary, footer.
    ASSERT_EQ(g.RowCount(), 1 + 3 * 2 + 6 + 1);
    int headers[] = {1, 6, 9};
    int spans[] = {4, 2, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(g.IsNode(headers[i])) << i;
        EXPECT_EQ(g.GetNodeSpan(headers[i]), spans[i]);
        EXPECT_TRUE(g.Tools().IsSummary(headers[i] + spans[i])) << i;
        EXPECT_EQ(g.Colors(1, headers[i]), clYellow);
    }
    EXPECT_EQ(g.GetCellEx(1, 6), u"B");
    EXPECT_EQ(g.GetCellEx(2, 2), u"10");

    g.Tools().GroupSum(2);
    EXPECT_EQ(g.GetCellEx(2, 5), u"60.00");
    EXPECT_EQ(g.GetCellEx(2, 8), u"40.00");
    g.ContractNode(9);
    g.SetCellEx(2, 10, u"");
    g.Tools().GroupCount(2);
    EXPECT_EQ(g.GetCellEx(2, 5), u"3");
    EXPECT_EQ(g.GetCellEx(2, 10), u"");  // the contracted group gets no figure
    EXPECT_EQ(g.ColumnSum(2, 1, 10), 100);  // headers and summaries do not count

    g.UnGroup();
    EXPECT_EQ(g.GroupColumn(), -1);
    EXPECT_EQ(Cells(), before);
    EXPECT_EQ(g.ColWidths(2), 91);
    EXPECT_EQ(g.Colors(1, 1), clNone);
    for (int r = 0; r < g.RowCount(); ++r) {
        EXPECT_FALSE(g.IsNode(r));
        EXPECT_FALSE(g.Tools().IsSummary(r));
    }
}

TEST_F(GroupGrid, OneValueMakesOneGroupAndColumnZeroIsRefused) {
    for (int r = 1; r <= 6; ++r) g.SetCellEx(2, r, u"same");
    g.SetGroupColumn(0);
    EXPECT_EQ(g.GroupColumn(), -1);
    g.SetGroupColumn(-1);
    EXPECT_EQ(g.RowCount(), 8);
    g.SetGroupColumn(2);
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_TRUE(g.IsNode(1));
    EXPECT_EQ(g.GetNodeSpan(1), 7);
    g.SetGroupColumn(-1);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(g.GetCellEx(2, 3), u"same");
}

}  // namespace

namespace {

TEST(SubGroups, HeadersInsideGroupsAndBack) {
    TExStringGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(8);
    g.SetFixedFooters(1);
    const char16_t* groups[] = {u"A", u"A", u"A", u"B", u"C", u"C"};
    const char16_t* subs[] = {u"x", u"x", u"y", u"z", u"w", u"w"};
    for (int r = 1; r <= 6; ++r) {
        g.SetCellEx(1, r, u"n" + IntToStr(r));
        g.SetCellEx(2, r, groups[r - 1]);
        g.SetCellEx(3, r, subs[r - 1]);
        g.SetCellEx(4, r, IntToStr(r));
    }
    g.Group(2);
    ASSERT_EQ(g.RowCount(), 11);
    std::vector<String> before;
    for (int r = 0; r < g.RowCount(); ++r) before.push_back(g.GetCellEx(2, r));

    g.Tools().SubGroup(2);
    // A: sub-headers x (2 rows) and y (1 row); B: z; C: w (2 rows).
    ASSERT_EQ(g.RowCount(), 15);
    EXPECT_EQ(g.GetNodeSpan(1), 6);
    struct Sub {
        int row, span;
        const char16_t* text;
    } expected[] = {{2, 3, u"x"}, {5, 2, u"y"}, {8, 2, u"z"}, {11, 3, u"w"}};
    for (const Sub& s : expected) {
        EXPECT_TRUE(g.IsNode(s.row)) << s.row;
        EXPECT_EQ(g.GetNodeSpan(s.row), s.span) << s.row;
        EXPECT_EQ(g.GetCellEx(3, s.row), s.text) << s.row;
        EXPECT_EQ(g.GetCellEx(2, s.row + 1), u"");
    }

    g.Tools().SubUnGroup(2);
    ASSERT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.GetNodeSpan(1), 4);
    for (int r = 0; r < g.RowCount(); ++r)
        if (!g.IsNode(r)) EXPECT_EQ(g.GetCellEx(2, r), before[size_t(r)]) << r;
}

}  // namespace

namespace {

TEST_F(NodeGrid, ExpandOneContractsTheOtherNodesButNotTheAncestors) {
    t.AddNode(1, 3);
    t.AddNode(4, 5);
    t.AddNode(5, 2);  // inside the node at 4
    t.AddNode(9, 3);
    g.CellNode().SetExpandOne(true);
    g.ExpandNode(5);  // already open: the others close all the same
    EXPECT_TRUE(g.GetNodeState(1));
    // Rows now: 0, 1 (closed), 4, 5, 6, 7, 8, 9 (closed).
    EXPECT_EQ(At(2), u"r4");
    EXPECT_FALSE(g.GetNodeState(2));
    EXPECT_FALSE(g.GetNodeState(3));
    EXPECT_TRUE(g.GetNodeState(7));

    g.ExpandNode(9);
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_TRUE(g.GetNodeState(2));
    EXPECT_EQ(At(3), u"r9");
    EXPECT_FALSE(g.GetNodeState(3));
    EXPECT_EQ(g.RowCount(), 6);

    // ExpandAll opens every node whatever ExpandOne says.
    g.ExpandAll();
    EXPECT_EQ(g.RowCount(), 12);
    for (int r = 0; r < 12; ++r) EXPECT_FALSE(g.GetNodeState(r)) << r;
}

TEST_F(NodeGrid, GlyphClickAreaByNodeKindAndLevel) {
    t.AddNode(1, 6);
    t.AddNode(2, 2);
    TBitmap glyph, none;
    glyph.SetSize(10, 10);
    struct Case {
        TNodeType type;
        bool withGlyph;
        int row, x;
        bool hit;
    } cases[] = {
        {cnXP, false, 1, 4, false},    {cnXP, false, 1, 5, true},     {cnXP, false, 1, 15, true},
        {cnXP, false, 1, 16, false},   {cnXP, false, 2, 16, false},   {cnXP, false, 2, 17, true},
        {cnXP, false, 2, 27, true},    {cnXP, false, 2, 28, false},   {cnFlat, false, 1, 5, true},
        {cn3D, false, 1, 1, true},     {cn3D, false, 1, 17, true},    {cn3D, false, 1, 18, false},
        {cnLeaf, false, 1, 2, false},  {cnLeaf, false, 1, 3, true},   {cnLeaf, false, 1, 19, true},
        {cnLeaf, false, 1, 20, false}, {cnGlyph, false, 1, 1, true},  {cnGlyph, false, 1, 12, false},
        {cnGlyph, true, 1, 2, false},  {cnGlyph, true, 1, 3, true},   {cnGlyph, true, 1, 16, true},
        {cnGlyph, true, 1, 17, false},
    };
    for (const Case& c : cases) {
        g.CellNode().SetNodeType(c.type);
        g.CellNode().SetExpandGlyph(c.withGlyph ? glyph : none);
        EXPECT_EQ(g.InNodeClickArea(c.row, c.x), c.hit) << int(c.type) << " row " << c.row << " x " << c.x;
    }
    g.MouseActions().SetPreciseNodeClick(false);
    EXPECT_TRUE(g.InNodeClickArea(1, 60));
}

TEST_F(GroupGrid, ExpandOneLeavesTheFirstGroupOpenAndUnGroupRestores) {
    g.CellNode().SetExpandOne(true);
    g.Group(2);
    // Header A (open, 3 rows), B and C closed.
    ASSERT_EQ(g.RowCount(), 1 + 4 + 1 + 1 + 1);
    EXPECT_FALSE(g.GetNodeState(1));
    EXPECT_TRUE(g.GetNodeState(5));
    EXPECT_TRUE(g.GetNodeState(6));
    g.UnGroup();
    EXPECT_TRUE(g.CellNode().ExpandOne());
    EXPECT_EQ(Cells(), before);
}

TEST_F(GroupGrid, HeadersShowTheirRowCount) {
    g.Grouping().SetShowGroupCount(true);
    g.Group(2);
    EXPECT_EQ(g.GetCellEx(1, 1), u"A (3)");
    EXPECT_EQ(g.GetCellEx(1, 5), u"B (1)");
    EXPECT_EQ(g.GetCellEx(1, 2), u"n1");
    g.Grouping().SetGroupCountFormat(u" [%d rows]");
    EXPECT_EQ(g.GetCellEx(1, 7), u"C [2 rows]");
    g.Grouping().SetShowGroupCount(false);
    EXPECT_EQ(g.GetCellEx(1, 1), u"A");
    g.Grouping().SetShowGroupCount(true);
    g.UnGroup();
    EXPECT_EQ(Cells(), before);
}

}  // namespace

namespace {

TEST(NodeClicks, GlyphPressesContractAndExpandThroughTheEvents) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetRowCount(8);
    for (int r = 0; r < 8; ++r) g->SetCellEx(1, r, u"r" + IntToStr(r));
    g->Tools().AddNode(2, 4);
    std::vector<String> log;
    bool allow = false;
    auto asked = [&](const char16_t* what) {
        return [&, what](TObject*, int r, int real, bool& a) {
            log.push_back(String(what) + IntToStr(r) + u"," + IntToStr(real));
            a = allow;
        };
    };
    auto told = [&](const char16_t* what) {
        return [&, what](TObject*, int r, int real) { log.push_back(String(what) + IntToStr(r) + u"," + IntToStr(real)); };
    };
    g->OnBeforeContractNode = asked(u"may contract ");
    g->OnBeforeExpandNode = asked(u"may expand ");
    g->OnContractNode = told(u"contracted ");
    g->OnExpandNode = told(u"expanded ");
    const TRect R = g->CellRect(0, 2);
    const int y = (R.Top + R.Bottom) / 2;
    SimulateClick(g, R.Left + 8, y);  // refused
    EXPECT_FALSE(g->GetNodeState(2));
    allow = true;
    SimulateClick(g, R.Left + 8, y);
    EXPECT_TRUE(g->GetNodeState(2));
    EXPECT_EQ(g->RowCount(), 5);
    SimulateClick(g, R.Left + 40, y);  // beside the glyph
    EXPECT_TRUE(g->GetNodeState(2));
    SimulateClick(g, R.Left + 8, y);
    EXPECT_FALSE(g->GetNodeState(2));
    EXPECT_EQ(g->RowCount(), 8);
    EXPECT_EQ(log, (std::vector<String>{u"may contract 2,2", u"may contract 2,2", u"contracted 2,2",
                                        u"may expand 2,2", u"expanded 2,2"}));
}

struct GroupClicks : ::testing::Test {
    GridOnForm<> f{400, 330};
    TExStringGrid* g = f.g;
    void SetUp() override {
        GroupSixRowsInTwo(g);
        for (int r = 1; r < g->RowCount(); ++r) g->AddCheckBox(2, r, false);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
    }
    void Click(int ACol, int ARow) {
        const TRect R = g->CellRect(ACol, ARow);
        SimulateClick(g, R.Left + 30, (R.Top + R.Bottom) / 2);
    }
    void ClickBox(int ACol, int ARow) {
        const TRect R = g->CellRect(ACol, ARow);
        SimulateClick(g, R.Left + 8, (R.Top + R.Bottom) / 2);
    }
    std::vector<bool> Checks() {
        std::vector<bool> v;
        for (int r = 1; r < g->RowCount(); ++r) v.push_back(g->IsChecked(2, r));
        return v;
    }
};

TEST_F(GroupClicks, AClickOnAnOpenHeaderSelectsItsGroup) {
    g->Grouping().SetAutoSelectGroup(true);
    Click(1, 5);
    TGridRect s = g->Selection();
    EXPECT_EQ(s.Left, g->FixedCols());
    EXPECT_EQ(s.Right, g->ColCount() - 1);
    EXPECT_EQ(s.Top, 5);
    EXPECT_EQ(s.Bottom, 8);
    g->ContractNode(g->RealRowIndex(1));
    Click(1, 1);  // a closed header selects only its cell
    s = g->Selection();
    EXPECT_EQ(s.Top, 1);
    EXPECT_EQ(s.Bottom, 1);
    g->Grouping().SetAutoSelectGroup(false);
    Click(1, 2);
    Click(1, 1);
    EXPECT_EQ(g->Selection().Bottom, 1);
}

TEST_F(GroupClicks, CheckBoxesCarryBetweenHeaderAndGroup) {
    g->Grouping().SetAutoCheckGroup(true);
    ClickBox(2, 1);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true, true, false, false, false, false}));
    ClickBox(2, 3);  // the group no longer agrees: the header keeps its box
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, false, true, false, false, false, false}));
    ClickBox(2, 2);
    ClickBox(2, 4);  // now all rows are clear, so is the header
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, false, false, false, false}));
    ClickBox(2, 6);
    ClickBox(2, 7);
    ClickBox(2, 8);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, true, true, true, true}));

    g->Grouping().SetAutoCheckGroup(false);
    ClickBox(2, 1);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false, false, false, true, true, true, true}));
}

}  // namespace

namespace {

struct NodePaint : ::testing::Test {
    GridOnForm<> f{400, 300};
    TExStringGrid* g = f.g;
    void SetUp() override {
        g->SetRowCount(8);
        g->Tools().AddNode(1, 3);
        g->Tools().AddNode(4, 3);
    }
    // How often each colour shows in column 0 of a displayed row.
    std::map<TColor, int> Inks(int ARow) {
        TBitmap b;
        b.SetPixelFormat(pf24bit);
        b.SetSize(g->ClientWidth(), g->ClientHeight());
        g->PaintTo(b.Canvas(), 0, 0);
        const TRect R = g->CellRect(0, ARow);
        std::map<TColor, int> inks;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) ++inks[b.Canvas().Pixels(x, y)];
        return inks;
    }
};

TEST_F(NodePaint, GlyphsByKindAndState) {
    TBitmap open, closed;
    LoadBitmapResource(open, u"XPNODEO");
    LoadBitmapResource(closed, u"XPNODEC");
    const TColor frame = open.Canvas().Pixels(4, 0);
    EXPECT_NE(frame, GlyphSeeThrough);
    EXPECT_EQ(open.Canvas().Pixels(4, 2), open.Canvas().Pixels(2, 2));  // no plus bar while open
    EXPECT_NE(closed.Canvas().Pixels(4, 2), closed.Canvas().Pixels(2, 2));
    EXPECT_GE(Inks(1)[frame], 20);
    EXPECT_EQ(Inks(2).count(frame), 0u);  // a plain row has no glyph
    g->ContractNode(1);
    EXPECT_GE(Inks(1)[frame], 20);

    // Flat boxes in the node colour; the closed one has its plus bar.
    g->CellNode().SetNodeType(cnFlat);
    g->CellNode().SetNodeColor(clRed);
    g->CellNode().SetColor(clWhite);
    const int openFrame = Inks(2)[clRed], closedFrame = Inks(1)[clRed];
    EXPECT_GE(openFrame, 30);
    EXPECT_GT(closedFrame, openFrame);

    g->CellNode().SetNodeType(cn3D);
    g->CellNode().SetColor(clYellow);
    EXPECT_GT(Inks(1)[clYellow], 100);  // the whole cell in the node colour
    EXPECT_GT(Inks(2)[clYellow], 100);
    EXPECT_EQ(Inks(3).count(clYellow), 0u);

    TBitmap leaf;
    LoadBitmapResource(leaf, u"EXGLEAFCLOSE");
    const TColor green = leaf.Canvas().Pixels(6, 8);
    g->CellNode().SetNodeType(cnLeaf);
    EXPECT_GT(Inks(1)[green], 20);

    TBitmap plus, minus;
    plus.SetSize(10, 10);
    plus.Canvas().Brush().SetColor(clBlue);
    plus.Canvas().FillRect(Rect(0, 0, 10, 10));
    plus.Canvas().SetPixels(0, 0, clFuchsia);
    minus.SetSize(10, 10);
    minus.Canvas().Brush().SetColor(clLime);
    minus.Canvas().FillRect(Rect(0, 0, 10, 10));
    minus.Canvas().SetPixels(0, 0, clFuchsia);
    g->CellNode().SetNodeType(cnGlyph);
    g->CellNode().SetContractGlyph(plus);
    g->CellNode().SetExpandGlyph(minus);
    EXPECT_EQ(Inks(1)[clBlue], 99);
    EXPECT_EQ(Inks(2)[clLime], 99);
}

TEST_F(NodePaint, TreeLinesFollowShowTree) {
    g->CellNode().SetTreeColor(clRed);
    EXPECT_GE(Inks(2)[clRed], 10);  // a child row's branch
    EXPECT_GE(Inks(1)[clRed], 2);   // from the open node down to its rows
    g->CellNode().SetShowTree(false);
    EXPECT_EQ(Inks(2).count(clRed), 0u);
    EXPECT_EQ(Inks(1).count(clRed), 0u);
}

}  // namespace

namespace {

TEST(NodeClicks, AHeaderNodeOpensAndClosesAllWithNodeAllExpandContract) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetRowCount(9);
    g->Tools().AddNode(1, 3);
    g->Tools().AddNode(4, 3);
    g->Tools().AddNode(0, 1);  // the header's own node
    const TRect R = g->CellRect(0, 0);
    const int y = (R.Top + R.Bottom) / 2;
    SimulateClick(g, R.Left + 8, y);  // without the option nothing happens
    EXPECT_EQ(g->RowCount(), 9);
    g->MouseActions().SetNodeAllExpandContract(true);
    SimulateClick(g, R.Left + 8, y);
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_TRUE(g->GetNodeState(2));
    SimulateClick(g, R.Left + 8, y);
    EXPECT_EQ(g->RowCount(), 9);
    EXPECT_FALSE(g->GetNodeState(1));
}

}  // namespace
