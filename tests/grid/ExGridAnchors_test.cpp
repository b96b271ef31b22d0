#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown grid of 5 x 6 cells of 120 x 24 pixels; the current cell is (1, 1).
struct LinkForm {
    TForm form{nullptr};
    TExStringGrid* g;
    std::vector<std::string> log;
    LinkForm() {
        form.SetBounds(0, 0, 700, 300);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 650, 200);
        g->SetRowCount(6);
        g->SetDefaultColWidth(120);
        g->SetDefaultRowHeight(24);
        form.Show();
        g->FocusCell(1, 1);
    }
    // A point on the first letters of cell (c, r)'s text.
    TPoint OnText(int c, int r) {
        const TRect R = g->CellRect(c, r);
        return {R.Left + 6, R.Top + 10};
    }
    void Press(int c, int r, int dx = 0) {
        const TPoint p = OnText(c, r);
        SimulateMouseDown(g, mbLeft, p.X + dx, p.Y);
        SimulateMouseUp(g, mbLeft, p.X + dx, p.Y);
    }
    void Move(int c, int r, int dx = 0) {
        const TPoint p = OnText(c, r);
        SimulateMouseMove(g, p.X + dx, p.Y);
    }
    std::string Current() { return std::to_string(g->Col()) + "," + std::to_string(g->Row()); }
};

TEST(ExGridAnchors, APressOnALinkFollowsIt) {
    const struct {
        const char* what;
        const char16_t* text;
        bool urlShow;
        bool handlerKeeps;  // the handler answers AutoHandle false
        int dx;             // from the text's first letters
        const char* current;
        const char* told;   // what OnAnchorClick heard; "" nothing
    } cases[] = {
        {"markup cell link", u"<A HREF=\"cell://R4C3\">go</A> on", false, false, 0, "3,4", "4,2 cell://R4C3"},
        {"the handler keeps it", u"<A HREF=\"cell://R4C3\">go</A> on", false, true, 0, "1,1", "4,2 cell://R4C3"},
        {"beside the link", u"<A HREF=\"cell://R4C3\">go</A> on", false, false, 80, "2,4", ""},
        {"reference in either case", u"<A HREF=\"Cell://r5c1\">go</A>", false, false, 0, "1,5", "4,2 Cell://r5c1"},
        {"reference outside the grid", u"<A HREF=\"cell://R40C3\">go</A>", false, false, 0, "1,1", "4,2 cell://R40C3"},
        {"a link after an in-text control", u"<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"20\" VALUE=\"true\"> <A HREF=\"cell://R4C3\">go</A>",
         false, false, 22, "3,4", "4,2 cell://R4C3"},
        {"on the in-text control", u"<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"20\" VALUE=\"true\"> <A HREF=\"cell://R4C3\">go</A>",
         false, false, 0, "2,4", ""},
        {"a link text with URLShow", u"cell://R2C4", true, false, 0, "4,2", "4,2 cell://R2C4"},
        {"a link text without URLShow", u"cell://R2C4", false, false, 0, "2,4", ""},
    };
    for (const auto& c : cases) {
        LinkForm f;
        f.g->SetURLShow(c.urlShow);
        f.g->SetCells(2, 4, c.text);
        std::string told;
        f.g->OnAnchorClick = [&](TObject* Sender, int ARow, int ACol, const String& Anchor, bool& AutoHandle) {
            EXPECT_EQ(Sender, f.g);
            told = std::to_string(ARow) + "," + std::to_string(ACol) + " " + StringToUtf8(Anchor);
            if (c.handlerKeeps) AutoHandle = false;
        };
        f.Press(2, 4, c.dx);
        EXPECT_EQ(f.Current(), c.current) << c.what;
        EXPECT_EQ(told, c.told) << c.what;
    }
}

TEST(ExGridAnchors, TheMouseEntersAndLeavesALink) {
    LinkForm f;
    f.g->SetCells(2, 2, u"<A HREF=\"cell://R1C1\" TITLE=\"Home\">go</A> and on");
    f.g->SetCells(3, 2, u"<A HREF=\"mailto:a@b\">x</A>");
    f.g->OnAnchorEnter = [&](TObject*, int ARow, int ACol, const String& A) {
        f.log.push_back("enter " + std::to_string(ACol) + "," + std::to_string(ARow) + " " + StringToUtf8(A));
    };
    f.g->OnAnchorExit = [&](TObject*, int ARow, int ACol, const String& A) {
        f.log.push_back("exit " + std::to_string(ACol) + "," + std::to_string(ARow) + " " + StringToUtf8(A));
    };
    f.g->OnAnchorHint = [&](TObject*, int, int, String& Hint) {
        f.log.push_back("hint");
        Hint = u"Write";
    };
    f.Move(1, 1);
    EXPECT_TRUE(f.log.empty());
    f.Move(2, 2);
    EXPECT_EQ(f.g->HoveredAnchor(), u"cell://R1C1");
    f.Move(2, 2, 1);  // still on it: nothing new
    f.Move(2, 2, 80);
    EXPECT_EQ(f.g->HoveredAnchor(), u"");
    // A link without a title asks the handler for its hint.
    f.Move(3, 2);
    f.Move(3, 3);
    EXPECT_EQ(f.log, (std::vector<std::string>{"enter 2,2 cell://R1C1", "exit 2,2 cell://R1C1", "hint",
                                               "enter 3,2 mailto:a@b", "exit 3,3 mailto:a@b"}));
}

TEST(ExGridAnchors, EnterPastTheLastCellAppendsAColumnWhenAsked) {
    for (const bool insert : {true, false}) {
        LinkForm f;
        f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
        f.g->Navigation().SetAdvanceOnEnter(true);
        f.g->Navigation().SetAdvanceDirection(adTopBottom);
        f.g->Navigation().SetAdvanceInsert(insert);
        std::vector<int> added;
        f.g->OnAutoInsertCol = [&](TObject* Sender, int ACol) {
            EXPECT_EQ(Sender, f.g);
            added.push_back(ACol);
        };
        f.g->AdvanceCell(4, 5, false, true, false, false);
        if (insert) {
            EXPECT_EQ(f.g->ColCount(), 6);
            EXPECT_EQ(added, (std::vector<int>{5}));
            EXPECT_EQ(f.Current(), "5,1");
        } else {
            EXPECT_EQ(f.g->ColCount(), 5);
            EXPECT_TRUE(added.empty());
            EXPECT_EQ(f.Current(), "1,1");
        }
        // Elsewhere in the last row the next column is entered.
        f.g->AdvanceCell(2, 5, false, true, false, false);
        EXPECT_EQ(f.Current(), "3,1") << insert;
    }
}

}  // namespace
