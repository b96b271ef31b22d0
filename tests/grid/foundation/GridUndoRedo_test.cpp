#include "grid/foundation/GridUndoRedo.h"

#include "grid/foundation/BaseGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A grid whose edits are registered as the grid control registers them.
struct Edits {
    TBaseGrid grid{nullptr};
    TExGridUndoRedo* undo = new TExGridUndoRedo(nullptr);
    Edits() {
        grid.SetColCount(5);
        grid.SetRowCount(5);
        grid.SetUndoRedo(undo);
    }
    ~Edits() { delete undo; }
    void Edit(int c, int r, const String& v) {
        undo->RegisterChange(c, r, grid.GetCellEx(c, r), v);
        grid.SetCellEx(c, r, v);
    }
    TPoint Current() const { return {grid.Col(), grid.Row()}; }
};

TEST(GridUndoRedo, UndoAndRedoSingleChanges) {
    Edits e;
    EXPECT_EQ(e.undo->Grid(), &e.grid);
    e.grid.SetCellEx(1, 1, u"1");
    e.grid.SetCellEx(2, 3, u"x");
    e.Edit(1, 1, u"2");
    e.Edit(2, 3, u"y");
    e.grid.SetCol(4);
    e.undo->Undo();
    EXPECT_EQ(e.grid.Cells(2, 3), u"x");
    EXPECT_EQ(e.Current(), Point(2, 3));
    e.undo->Undo();
    EXPECT_EQ(e.grid.Cells(1, 1), u"1");
    EXPECT_FALSE(e.undo->CanUndo());
    e.undo->Undo();  // nothing left: nothing changes
    EXPECT_EQ(e.undo->Level(), 0);
    e.undo->Redo();
    EXPECT_EQ(e.grid.Cells(1, 1), u"2");
    EXPECT_TRUE(e.undo->CanRedo());
    e.undo->Redo();
    EXPECT_EQ(e.grid.Cells(2, 3), u"y");
    EXPECT_FALSE(e.undo->CanRedo());
    e.undo->Redo();
    EXPECT_EQ(e.undo->Level(), 2);
}

TEST(GridUndoRedo, ANewChangeDropsWhatWasUndone) {
    Edits e;
    e.Edit(1, 1, u"a1");
    e.undo->Undo();
    e.Edit(3, 3, u"c1");
    EXPECT_EQ(e.undo->Items().Count(), 1);
    EXPECT_EQ(e.undo->Level(), 1);
    EXPECT_FALSE(e.undo->CanRedo());
    e.undo->Undo();
    e.undo->Undo();
    EXPECT_EQ(e.grid.Cells(1, 1), u"");  // the undone change is not written again
    e.undo->Redo();
    e.undo->Redo();
    EXPECT_EQ(e.grid.Cells(3, 3), u"c1");
    EXPECT_EQ(e.grid.Cells(1, 1), u"");
}

TEST(GridUndoRedo, SequencesGoAsAWhole) {
    Edits e;
    std::vector<std::string> order;
    e.undo->OnUndo = [&](TObject*, TBaseGrid*, int c, int r, const String& orig, const String& now) {
        order.push_back(std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(orig) + ">" +
                        StringToUtf8(now));
    };
    e.Edit(0, 0, u"before");
    e.undo->StartSequence();
    e.Edit(1, 1, u"p");
    e.Edit(2, 2, u"q");
    e.Edit(3, 3, u"r");
    e.undo->StopSequence();
    EXPECT_EQ(e.undo->Level(), 6);
    e.undo->Undo();
    EXPECT_EQ(e.undo->Level(), 1);
    EXPECT_EQ(order, (std::vector<std::string>{"3,3 r>", "2,2 q>", "1,1 p>"}));
    EXPECT_EQ(e.grid.Cells(0, 0), u"before");
    EXPECT_EQ(e.Current(), Point(1, 1));
    e.undo->Redo();
    EXPECT_EQ(e.undo->Level(), 6);
    EXPECT_EQ(e.grid.Cells(1, 1), u"p");
    EXPECT_EQ(e.grid.Cells(3, 3), u"r");
    EXPECT_EQ(e.Current(), Point(3, 3));
}

TEST(GridUndoRedo, LimitsResetAndUnbalancedLists) {
    Edits e;
    e.undo->SetMaxLevel(2);
    e.Edit(1, 1, u"a");
    e.Edit(1, 2, u"b");
    e.Edit(1, 3, u"c");
    EXPECT_EQ(e.undo->Items().Count(), 2);
    EXPECT_EQ(e.undo->Items().Item(0)->Row, 2);
    EXPECT_EQ(e.undo->Level(), 2);

    e.undo->Reset();
    EXPECT_EQ(e.undo->Items().Count(), 0);
    EXPECT_FALSE(e.undo->CanUndo());
    e.undo->Undo();
    e.undo->Redo();
    EXPECT_EQ(e.grid.Cells(1, 3), u"c");

    // A sequence left open, then a stop without its start: no marker is
    // written as a cell, and the level stays within the list.
    e.undo->SetMaxLevel(0);
    e.undo->StartSequence();
    e.Edit(2, 1, u"x");
    for (int i = 0; i < 4; ++i) e.undo->Undo();
    EXPECT_EQ(e.undo->Level(), 0);
    EXPECT_EQ(e.grid.Cells(2, 1), u"");
    for (int i = 0; i < 4; ++i) e.undo->Redo();
    EXPECT_EQ(e.undo->Level(), 2);
    EXPECT_EQ(e.grid.Cells(2, 1), u"x");
    e.undo->Reset();
    e.Edit(2, 2, u"y");
    e.undo->StopSequence();
    e.undo->Undo();
    EXPECT_EQ(e.undo->Level(), 0);
    EXPECT_EQ(e.grid.Cells(2, 2), u"");
}

TEST(GridUndoRedo, ACompanionWithoutGridChangesNothing) {
    TExGridUndoRedo undo(nullptr);
    undo.RegisterChange(1, 1, u"a", u"b");
    undo.Undo();
    EXPECT_EQ(undo.Level(), 1);
    {
        TBaseGrid grid(nullptr);
        grid.SetUndoRedo(&undo);
        EXPECT_EQ(undo.Grid(), &grid);
    }
    EXPECT_EQ(undo.Grid(), nullptr);  // the grid's end reaches the companion
    TBaseGrid grid(nullptr);
    {
        TExGridUndoRedo other(nullptr);
        grid.SetUndoRedo(&other);
    }
    EXPECT_EQ(grid.UndoRedo(), nullptr);
    {
        TBaseGrid replaced(nullptr);
        replaced.SetUndoRedo(&undo);
        replaced.SetUndoRedo(nullptr);
        EXPECT_EQ(undo.Grid(), nullptr);  // let go of, it forgets the grid before the grid goes
    }
}

}  // namespace
