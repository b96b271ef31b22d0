#include "grid/ExGrid.h"

#include "framework/Simulate.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"
#include "PaintForm.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// How many pixels of each colour the rectangle R of the rendered grid holds.
std::map<TColor, int> Colours(const std::unique_ptr<TBitmap>& b, TRect R) {
    std::map<TColor, int> n;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) ++n[PaintForm::At(b, x, y)];
    return n;
}

TEST(ExGridTriState, TheGreyStateShowsItsOwnMark) {
    PaintForm f;
    TExStringGrid& g = *f.g;
    g.AddCheckBox(1, 2, cbUnchecked);
    g.AddCheckBox(1, 3, cbChecked);
    g.AddCheckBox(1, 4, cbGrayed);
    const TColor ink = ColorToRGB(clWindowText), grey = ColorToRGB(clGrayText);
    for (TGridControlStyle style : {csClassic, csFlat}) {
        SCOPED_TRACE(style);
        g.ControlLook().ControlStyle = style;
        auto b = f.Render();
        auto off = Colours(b, g.CellRect(1, 2)), on = Colours(b, g.CellRect(1, 3)), mixed = Colours(b, g.CellRect(1, 4));
        // The grey box is the empty box with the tick drawn in grey.
        const int tick = on[ink] - off[ink];
        EXPECT_GT(tick, 10);
        EXPECT_EQ(mixed[ink], off[ink]);
        EXPECT_EQ(mixed[grey] - off[grey], tick);
        EXPECT_EQ(on[grey], off[grey]);
    }
    // The picture styles have no mixed picture: grey shows as unchecked.
    g.ControlLook().ControlStyle = csWinXP;
    auto b = f.Render();
    EXPECT_EQ(Colours(b, g.CellRect(1, 2)), Colours(b, g.CellRect(1, 4)));
    EXPECT_NE(Colours(b, g.CellRect(1, 2)), Colours(b, g.CellRect(1, 3)));
    // The vintage box ticks grey.
    g.ControlLook().ControlStyle = csVintage;
    g.ControlLook().Color = clBlack;
    b = f.Render();
    auto off = Colours(b, g.CellRect(1, 2)), on = Colours(b, g.CellRect(1, 3)), mixed = Colours(b, g.CellRect(1, 4));
    EXPECT_GT(on[clBlack], off[clBlack]);
    EXPECT_EQ(mixed[clBlack], off[clBlack]);
    EXPECT_EQ(mixed[clGray] - off[clGray], on[clBlack] - off[clBlack]);
}

TEST(ExGridTriState, AClickedBoxPassesThroughGrey) {
    TExStringGrid g{nullptr};
    g.SetColCount(6);
    g.SetRowCount(6);
    std::vector<String> log;
    g.OnCheckBoxChange = [&](TObject*, int c, int r, bool s) {
        log.push_back(IntToStr(c) + u"," + IntToStr(r) + (s ? u" on" : u" off"));
    };
    g.AddCheckBox(1, 1, cbUnchecked);
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (TCheckBoxState e : expected) {
        ASSERT_TRUE(g.ToggleCheckBox(1, 1));
        TCheckBoxState s = cbUnchecked;
        ASSERT_TRUE(g.GetCheckBoxState(1, 1, s));
        EXPECT_EQ(s, e);
    }
    EXPECT_EQ(log, (std::vector<String>(4, u"1,1 off")));

    // The two-state calls leave a three-state box alone and the other way round.
    bool b = true;
    EXPECT_TRUE(g.HasCheckBox(1, 1));
    EXPECT_FALSE(g.GetCheckBoxState(1, 1, b));
    EXPECT_FALSE(g.SetCheckBoxState(1, 1, true));
    g.AddCheckBox(2, 1, true);
    TCheckBoxState s = cbGrayed;
    EXPECT_TRUE(g.GetCheckBoxState(2, 1, s));
    EXPECT_EQ(s, cbChecked);
    EXPECT_FALSE(g.SetCheckBoxState(2, 1, cbGrayed));
    s = cbGrayed;
    EXPECT_FALSE(g.GetCheckBoxState(3, 1, s));  // no box: untouched
    EXPECT_EQ(s, cbGrayed);

    EXPECT_THROW(g.AddCheckBox(g.ColCount(), 1, cbChecked), Exception);
    g.RemoveCheckBox(1, 1);
    EXPECT_FALSE(g.HasCheckBox(1, 1));

    g.AddTriStateCheckBoxColumn(3, cbGrayed);
    EXPECT_FALSE(g.HasCheckBox(3, 0));
    for (int r = 1; r < g.RowCount(); ++r) {
        s = cbUnchecked;
        EXPECT_TRUE(g.GetCheckBoxState(3, r, s) && s == cbGrayed) << r;
    }
    g.MouseActions().SetCheckAllCheck(true);
    g.AddTriStateCheckBoxColumn(4, cbChecked);
    EXPECT_TRUE(g.HasCheckBox(4, 0));

    // Data boxes keep a check text already there and write one elsewhere.
    g.SetCellEx(5, 1, g.CheckFalse());
    g.SetCellEx(5, 2, u"other");
    g.AddCheckBoxColumn(5, true, true);
    EXPECT_EQ(g.GetCellType(5, 3), ctDataCheckBox);
    EXPECT_FALSE(g.IsChecked(5, 1));
    EXPECT_TRUE(g.IsChecked(5, 2));
    EXPECT_EQ(g.GetCellEx(5, 2), g.CheckTrue());
}

// Two groups by column 2: header A at row 1 with rows 2-4, header B at row
// 5 with rows 6-8. The headers carry three-state boxes, the rows plain ones.
// A grid on a form whose boxes in column Col are clicked.
struct BoxClicks : ::testing::Test {
    GridOnForm<> f{400, 400};
    TExStringGrid* g = f.g;
    int Col = 2;
    void ClickBox(int ARow) {
        const TRect R = g->CellRect(Col, ARow);
        SimulateClick(g, R.Left + 8, (R.Top + R.Bottom) / 2);
    }
};

struct GroupBoxes : BoxClicks {
    void SetUp() override {
        GroupSixRowsInTwo(g);
        g->AddCheckBoxColumn(2);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->Grouping().SetAutoCheckGroup(true);
    }
    TCheckBoxState Header(int RealRow) {
        TCheckBoxState s = cbUnchecked;
        EXPECT_TRUE(g->GetCheckBoxState(2, RealRow, s));
        return s;
    }
    // The boxes of the real rows 2-4 and 6-8, hidden or not.
    String Rows() {
        String s;
        for (int r : {2, 3, 4, 6, 7, 8}) s += g->IsChecked(2, r) ? u"x" : u".";
        return s;
    }
};

TEST_F(GroupBoxes, AHeaderTurnsGreyWhileItsRowsDisagree) {
    for (int r : {1, 5}) EXPECT_EQ(g->GetCellType(2, r), ctTriStateCheckBox);
    for (int r : {2, 3, 4, 6, 7, 8}) EXPECT_EQ(g->GetCellType(2, r), ctCheckBox);
    ClickBox(3);
    EXPECT_EQ(Header(1), cbGrayed);
    EXPECT_EQ(Header(5), cbUnchecked);
    ClickBox(2);
    ClickBox(4);
    EXPECT_EQ(Header(1), cbChecked);
    ClickBox(1);  // a checked header clears its group
    EXPECT_EQ(Header(1), cbUnchecked);
    EXPECT_EQ(Rows(), u"......");
    ClickBox(4);
    EXPECT_EQ(Header(1), cbGrayed);
    ClickBox(1);  // a grey header checks its whole group
    EXPECT_EQ(Header(1), cbChecked);
    EXPECT_EQ(Rows(), u"xxx...");
}

TEST_F(GroupBoxes, AClosedGroupsHiddenRowsFollowItsHeader) {
    ClickBox(7);
    EXPECT_EQ(Header(5), cbGrayed);
    g->ContractNode(5);
    ASSERT_EQ(g->RowCount(), 6);
    ASSERT_EQ(g->RealRowIndex(5), 5);
    ClickBox(5);  // the header is the last row on screen
    EXPECT_EQ(Header(5), cbChecked);
    EXPECT_EQ(Rows(), u"...xxx");
    ClickBox(5);
    EXPECT_EQ(Rows(), u"......");
    // Rows above the closed group, on screen, are not touched by it.
    ClickBox(1);
    EXPECT_EQ(Rows(), u"xxx...");
    g->ExpandNode(5);
    EXPECT_EQ(Rows(), u"xxx...");
    for (int r = 6; r <= 8; ++r) EXPECT_FALSE(g->IsChecked(2, r));

    // A row hidden inside an open group still counts for the header.
    ClickBox(6);
    g->HideRow(7);
    ClickBox(7);  // real row 8: rows 6 and 8 checked, hidden row 7 not
    EXPECT_EQ(Rows(), u"xxxx.x");
    EXPECT_EQ(Header(5), cbGrayed);
}

TEST_F(GroupBoxes, TheGreyHeaderIsPainted) {
    auto render = [&] {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    };
    g->ControlLook().ControlStyle = csClassic;
    auto before = render();
    ClickBox(3);
    auto after = render();
    const TRect R = g->CellRect(2, 1);
    const TColor grey = ColorToRGB(clGrayText);
    auto count = [&](const std::unique_ptr<TBitmap>& b) {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) n += PaintForm::At(b, x, y) == grey;
        return n;
    };
    EXPECT_GT(count(after), count(before) + 10);
}

}  // namespace

namespace {

TEST(ExGridTriState, TheBinaryStreamKeepsEachState) {
    TExStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(2);
    const TCheckBoxState states[] = {cbUnchecked, cbChecked, cbGrayed};
    for (int c = 0; c < 3; ++c) g.AddCheckBox(c + 1, 1, states[c]);
    TMemoryStream s;
    g.Tools().SaveRectToBinStream(TGridRect{1, 1, 3, 1}, s);
    TExStringGrid h(nullptr);
    h.SetColCount(4);
    h.SetRowCount(2);
    s.SetPosition(0);
    h.Tools().LoadAtPointFromBinStream(TPoint{1, 1}, s);
    for (int c = 0; c < 3; ++c) {
        TCheckBoxState st = cbChecked;
        EXPECT_EQ(h.GetCellType(c + 1, 1), ctTriStateCheckBox);
        EXPECT_TRUE(h.GetCheckBoxState(c + 1, 1, st));
        EXPECT_EQ(st, states[c]) << c;
    }
}

}  // namespace

namespace {

// Group A (header 1) holds sub-groups x (header 2, rows 3-4) and y (header
// 5, row 6); group B (header 7) holds sub-group z (header 8, row 9).
struct NestedBoxes : BoxClicks {
    void SetUp() override {
        Col = 3;
        g->SetColCount(5);
        g->SetRowCount(5);
        const char16_t* groups[] = {u"A", u"A", u"A", u"B"};
        const char16_t* subs[] = {u"x", u"x", u"y", u"z"};
        for (int r = 1; r <= 4; ++r) {
            g->SetCellEx(2, r, groups[r - 1]);
            g->SetCellEx(3, r, subs[r - 1]);
        }
        g->Group(2);
        g->Tools().SubGroup(2);
        g->AddCheckBoxColumn(3);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->Grouping().SetAutoCheckGroup(true);
    }
    // Every box of the real rows 1-9: x checked, - grey, . clear.
    String Boxes() {
        String s;
        for (int r = 1; r <= 9; ++r) {
            TCheckBoxState st = cbUnchecked;
            s += !g->GetCheckBoxState(3, r, st) ? u"?" : st == cbChecked ? u"x" : st == cbGrayed ? u"-" : u".";
        }
        return s;
    }
};

TEST_F(NestedBoxes, StatesTravelDownToHiddenRowsAndUpThroughEveryHeader) {
    ASSERT_EQ(g->RowCount(), 10);
    ASSERT_TRUE(g->IsNode(2) && g->IsNode(5) && g->IsNode(8));
    ClickBox(3);
    EXPECT_EQ(Boxes(), u"--x......");
    ClickBox(4);
    EXPECT_EQ(Boxes(), u"-xxx.....");
    ClickBox(6);
    EXPECT_EQ(Boxes(), u"xxxxxx...");
    // A closed sub-group's rows follow its header and so does the group's.
    g->ContractNode(2);
    ASSERT_EQ(g->RowCount(), 8);
    ClickBox(2);
    EXPECT_EQ(Boxes(), u"-...xx...");
    g->ContractNode(1);
    ClickBox(1);  // grey: the whole group, hidden rows and all, is checked
    EXPECT_EQ(Boxes(), u"xxxxxx...");
    ClickBox(1);
    EXPECT_EQ(Boxes(), u".........");
    g->ExpandNode(1);
    g->ExpandNode(2);
    EXPECT_EQ(g->RowCount(), 10);
    ClickBox(8);  // a sub-group header also speaks for its group
    EXPECT_EQ(Boxes(), u"......xxx");
}

}  // namespace
