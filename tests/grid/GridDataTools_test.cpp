#include "grid/GridDataTools.h"

#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Data tools that record what the grid forwards to them.
struct RecordingTools : TGridDataTools {
    using TGridDataTools::TGridDataTools;
    std::vector<std::string>* log;
    void ApplyFilter() override { log->push_back("apply"); }
    void RemoveFilter() override { log->push_back("remove"); }
    void CalcFooter(int c) override { log->push_back("footer " + std::to_string(c)); }
    void BalloonInit() override { log->push_back("balloon on"); }
    void BalloonDone() override { log->push_back("balloon off"); }
};

TEST(GridDataTools, OptionObjectsStartAndCopyAsTheToolsExpect) {
    TExStringGrid g(nullptr);
    EXPECT_EQ(g.SortSettings().Column(), -1);
    EXPECT_TRUE(g.SortSettings().Full());
    EXPECT_EQ(g.SortSettings().IndexColor(), TColor(0xFFFF));
    EXPECT_FALSE(g.FloatingFooter().Visible());
    EXPECT_EQ(g.FloatingFooter().Height(), 22);
    EXPECT_EQ(g.Balloon().InitialDelay(), -1);
    EXPECT_TRUE(g.DragDropSettings().OleAcceptFiles());
    EXPECT_EQ(g.Grouping().HeaderLineWidth(), 2);
    g.SetDefaultRowHeight(30);
    EXPECT_EQ(g.FloatingFooter().Height(), 30);

    try {
        g.SortSettings().SetRow(1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Sort row should be smaller than number of fixed rows");
    }

    // Copies leave the sort's virtual-cell and case switches as they were.
    TExStringGrid h(nullptr);
    g.SortSettings().SetColumn(3);
    g.SortSettings().SetIgnoreCase(true);
    h.SortSettings().Assign(&g.SortSettings());
    EXPECT_EQ(h.SortSettings().Column(), 3);
    EXPECT_FALSE(h.SortSettings().IgnoreCase());

    TFilterData* first = g.Filter().GetColFilter(2);
    EXPECT_EQ(first->Operation(), foNONE);
    EXPECT_EQ(g.Filter().GetColFilter(2), first);
    EXPECT_EQ(g.Filter().GetColFilter(4)->Operation(), foAND);
    EXPECT_FALSE(g.Filter().HasFilter(2));
    first->SetCondition(u">5");
    EXPECT_TRUE(g.Filter().HasFilter(2));
}

TEST(GridDataTools, TheGridForwardsOnlyBehindItsSettings) {
    TExStringGrid g(nullptr);
    std::vector<std::string> log;
    auto tools = std::make_unique<RecordingTools>(g);
    tools->log = &log;
    g.SetDataTools(std::move(tools));
    EXPECT_FALSE(g.IsNode(1));
    g.CalcFooter(-1);
    EXPECT_TRUE(log.empty());
    g.FloatingFooter().SetVisible(true);
    g.CalcFooter(2);
    g.SetFilterActive(true);
    g.SetFilterActive(true);
    g.SetFilterActive(false);
    g.Balloon().SetEnable(true);
    g.Balloon().SetEnable(false);
    // Switching the filter recalculates the whole footer.
    std::vector<std::string> expected = {"footer 2",  "apply",      "footer -1",  "remove",
                                         "footer -1", "balloon on", "balloon off"};
    EXPECT_EQ(log, expected);
}

}  // namespace
