#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(p, TPoint(1, 3));
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
