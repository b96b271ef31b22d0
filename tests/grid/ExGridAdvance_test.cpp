#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown column grid of 5 rows with the focus; column 2 holds data check boxes.
struct AdvanceForm : GridOnForm<TExColumnGrid> {
    std::vector<std::string> changing;

    AdvanceForm() : GridOnForm(450, 250) {
        g->SetRowCount(5);
        g->Columns().Items(2)->SetEditor(edDataCheckBox);
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(2, r, u"");
        g->OnCellChanging = [this](TObject*, int oldRow, int oldCol, int newRow, int newCol, bool&) {
            changing.push_back(std::to_string(oldCol) + "," + std::to_string(oldRow) + ">" + std::to_string(newCol) +
                               "," + std::to_string(newRow));
        };
        g->SetFocus();
    }
};

}  // namespace

// Enter in an open editor: a check-box target is toggled and the editor closed,
// each move reporting its change from the cell the advance started at.
TEST(ExGridAdvance, EnterOntoACheckBoxTogglesItAndReportsTheStartCell) {
    struct Case {
        const char* name;
        int col, row;
        TAdvanceDirection direction;
        bool refuse;
        int toCol, toRow;
        std::vector<std::string> changing;
        const char16_t* check;
        bool editor;
    };
    const Case cases[] = {
        {"check box toggled", 1, 1, adLeftRight, false, 2, 1, {"1,1>2,1", "1,1>2,1"}, u"Y", true},
        {"top to bottom", 1, 4, adTopBottom, false, 2, 1, {"1,4>2,1", "1,4>2,1"}, u"Y", true},
        {"text cell", 3, 1, adLeftRight, false, 4, 1, {"3,1>4,1"}, u"", true},
        {"refused stays", 1, 1, adLeftRight, true, 1, 1, {"1,1>2,1"}, u"", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        AdvanceForm f;
        f.g->Navigation().SetAdvanceOnEnter(true);
        f.g->Navigation().SetAdvanceDirection(k.direction);
        const TRect R = f.g->CellRect(k.col, k.row);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        SimulateText(u"a");
        ASSERT_TRUE(f.g->EditorMode());
        f.changing.clear();
        if (k.refuse) f.g->OnCellChanging = [&](TObject*, int, int, int, int, bool& allow) {
            f.changing.push_back("1,1>2,1");
            allow = false;
        };
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
        EXPECT_EQ(f.changing, k.changing);
        EXPECT_EQ(f.g->GetCellEx(2, 1), k.check);
        EXPECT_EQ(f.g->EditorMode(), k.editor);
    }
    // Called with the editor shown, an advance in either direction toggles the
    // check box it reaches and leaves no editor open on it.
    for (TAdvanceDirection d : {adTopBottom, adLeftRight}) {
        AdvanceForm f;
        f.g->Navigation().SetAdvanceDirection(d);
        f.g->FocusCell(1, d == adTopBottom ? 4 : 1, true);
        f.g->ShowEditor();
        ASSERT_TRUE(f.g->EditorMode());
        f.g->AdvanceCell(f.g->Col(), f.g->Row(), true, true, false, true);
        EXPECT_EQ(f.g->Col(), 2);
        EXPECT_EQ(f.g->Row(), 1);
        EXPECT_EQ(f.g->GetCellEx(2, 1), u"Y");
        EXPECT_FALSE(f.g->EditorMode());
    }
}

// A handler that asks for a Tab while one is under way does not move the cursor twice.
TEST(ExGridAdvance, ANestedTabForTheSameCellIsIgnored) {
    AdvanceForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    f.g->FocusCell(1, 1, true);
    int nested = 0;
    f.g->OnSelectCell = [&](TObject*, int, int, bool&) {
        if (nested++ == 0) f.g->TabAdvance(false);
    };
    EXPECT_TRUE(f.g->TabAdvance(false));
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 1);
    // The next Tab moves on again.
    nested = 1;
    f.g->TabAdvance(false);
    EXPECT_EQ(f.g->Col(), 3);
}

// Tab past the last cell appends the row above a floating footer.
TEST(ExGridAdvance, TabPastTheLastCellAddsTheRowAboveAFloatingFooter) {
    AdvanceForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    f.g->Navigation().SetAdvanceInsert(true);
    f.g->FloatingFooter().SetVisible(true);
    f.g->SetCellEx(1, 4, u"footer");
    f.g->FocusCell(4, 3, true);
    int added = -1;
    f.g->OnAutoAddRow = [&](TObject*, int r) { added = r; };
    f.g->TabAdvance(false);
    EXPECT_EQ(f.g->RowCount(), 6);
    EXPECT_EQ(f.g->GetCellEx(1, 5), u"footer");
    EXPECT_EQ(f.g->Row(), 4);
    EXPECT_EQ(added, 5 - f.g->FixedFooters());
}

namespace {

// A shown plain grid of 5 columns and Rows rows with goTabs and the focus, a
// second control after it, and a log of the change events. Cells listed in
// refused (col, row; col -1: the whole row) cannot be selected.
struct TabForm {
    TForm form{nullptr};
    TExStringGrid* g;
    TExStringGrid* other;
    std::vector<std::string> log;
    std::vector<std::pair<int, int>> refused;
    bool allow = true;

    explicit TabForm(int Rows = 5) {
        form.SetBounds(0, 0, 600, 400);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 200);
        g->SetRowCount(Rows);
        g->SetOptions(g->Options() + TGridOptions{goTabs});
        other = new TExStringGrid(&form);
        other->SetParent(&form);
        other->SetBounds(0, 260, 300, 100);
        form.Show();
        g->SetFocus();
        g->OnSelectCell = [this](TObject*, int c, int r, bool& can) {
            for (auto [rc, rr] : refused)
                if (rr == r && (rc == c || rc < 0)) can = false;
        };
    }
    // Events are logged from here on.
    void Listen() {
        g->OnRowChanging = [this](TObject*, int o, int n, bool& a) {
            log.push_back("row " + std::to_string(o) + ">" + std::to_string(n));
            a = a && allow;
        };
        g->OnColChanging = [this](TObject*, int o, int n, bool& a) {
            log.push_back("col " + std::to_string(o) + ">" + std::to_string(n));
            a = a && allow;
        };
        g->OnCellChanging = [this](TObject*, int orow, int ocol, int nrow, int ncol, bool& a) {
            log.push_back("cell " + std::to_string(ocol) + "," + std::to_string(orow) + ">" + std::to_string(ncol) +
                          "," + std::to_string(nrow));
            a = a && allow;
        };
    }
};

}  // namespace

// Tab and Shift+Tab along the rows: where the cursor goes when cells are
// refused, the change events of the jump to the next row, and the end.
TEST(ExGridAdvance, TabOverRefusedCellsReportsTheJumpAndGoesOnAtTheEnd) {
    struct Case {
        const char* name;
        int col, row;
        bool back;
        std::vector<std::pair<int, int>> refused;
        bool allow, insert, toNext;
        int toCol, toRow, rows;
        bool result;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"rest of the row refused", 2, 1, false, {{3, 1}, {4, 1}}, true, false, false, 1, 2, 5, true,
         {"row 1>2", "cell 2,1>1,2", "col 2>1"}},
        {"the jump refused", 2, 1, false, {{3, 1}, {4, 1}}, false, false, false, 2, 1, 5, true,
         {"row 1>2", "cell 2,1>1,2", "col 2>1"}},
        {"jump into a refused first column", 2, 1, false, {{3, 1}, {4, 1}, {1, 2}}, true, false, false, 2, 2, 5,
         true, {"row 1>2", "cell 2,1>2,2", "col 2>2"}},
        {"rest of the last row refused", 2, 4, false, {{3, 4}, {4, 4}}, true, false, true, 1, 1, 5, false, {}},
        {"no later row takes the cursor", 4, 2, false, {{-1, 3}, {-1, 4}}, true, false, false, 1, 1, 5, true,
         {"row 2>1", "cell 4,2>4,1", "col 4>1", "cell 4,1>1,1"}},
        {"no later row: a row is added", 4, 2, false, {{-1, 3}, {-1, 4}}, true, true, false, 1, 5, 6, true,
         {"row 2>5", "cell 4,2>4,5", "col 4>1", "cell 4,5>1,5"}},
        {"no later row: the focus goes on", 4, 2, false, {{-1, 3}, {-1, 4}}, true, false, true, 1, 1, 5, false,
         {"row 2>1", "cell 4,2>4,1", "col 4>1", "cell 4,1>1,1"}},
        {"back past refused cells to the row above", 3, 2, true, {{1, 2}, {2, 2}}, true, false, false, 4, 1, 5, true,
         {"row 2>1", "col 3>4", "cell 3,2>4,1"}},
        {"back: the row above takes nothing", 3, 2, true, {{1, 2}, {2, 2}, {-1, 1}}, true, false, false, 3, 2, 5,
         true, {}},
        {"back from the first column over a refused row", 1, 3, true, {{-1, 2}}, true, false, false, 4, 1, 5, true,
         {"row 3>1", "col 1>4", "cell 1,3>4,1"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TabForm f;
        f.g->Navigation().SetAdvanceInsert(k.insert);
        f.g->Navigation().SetTabToNextAtEnd(k.toNext);
        f.g->FocusCell(k.col, k.row, true);
        f.refused = k.refused;
        f.allow = k.allow;
        f.Listen();
        EXPECT_EQ(f.g->TabAdvance(k.back), k.result);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
        EXPECT_EQ(f.g->RowCount(), k.rows);
        EXPECT_EQ(f.other->Focused(), !k.result);
        EXPECT_EQ(f.log, k.log);
    }
}

// OnKeyDown sees each Tab first, with Shift for a backward one; a handler that
// changes the key keeps the cursor where it is.
TEST(ExGridAdvance, TabAsksOnKeyDownFirst) {
    TabForm f;
    f.g->FocusCell(2, 2, true);
    std::vector<std::string> keys;
    bool take = false;
    f.g->OnKeyDown = [&](TObject*, Word& key, TShiftState shift) {
        keys.push_back(std::to_string(key) + (shift.Contains(ssShift) ? " shift" : ""));
        if (take) key = 0;
    };
    SimulateKey(VK_TAB);
    SimulateKey(VK_TAB, TShiftState{ssShift});
    EXPECT_EQ(keys, (std::vector<std::string>{"9", "9 shift"}));
    EXPECT_EQ(f.g->Col(), 2);
    take = true;
    EXPECT_TRUE(f.g->TabAdvance(false));
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(keys.size(), 3u);
}

// Shift+Tab in the first cell goes to the last data row, which is scrolled into view.
TEST(ExGridAdvance, ShiftTabFromTheFirstCellShowsTheLastRow) {
    for (int col : {1, 2}) {
        SCOPED_TRACE(col);
        TabForm f(40);
        f.g->FocusCell(col, 1, true);
        // From column 2 nothing is selectable to the left.
        if (col == 2) f.refused = {{1, 1}};
        ASSERT_EQ(f.g->TopRow(), 1);
        SimulateKey(VK_TAB, TShiftState{ssShift});
        EXPECT_EQ(f.g->Row(), 39);
        EXPECT_EQ(f.g->Col(), 4);
        EXPECT_GT(f.g->TopRow(), 1);
        EXPECT_GE(f.g->TopRow() + f.g->VisibleRowCount(), 40);
    }
}

// While editing, Tab passes over cells that cannot be edited, down the columns
// as well as along the rows; a walk that finds no other cell to edit leaves the
// cursor where it started.
TEST(ExGridAdvance, TabWhileEditingPassesCellsThatCannotBeEditedAndStopsAtTheStart) {
    struct Case {
        const char* name;
        TAdvanceDirection direction;
        bool back;
        int col, row;
        bool onlyStart;  // every other cell read-only; otherwise only those listed
        std::vector<std::pair<int, int>> readOnly;
        int toCol, toRow;
    };
    const Case cases[] = {
        {"down over a read-only cell", adTopBottom, false, 1, 1, false, {{1, 2}}, 1, 3},
        {"up over a read-only cell", adTopBottom, true, 1, 3, false, {{1, 2}}, 1, 1},
        {"down the last column past a read-only first cell", adTopBottom, false, 4, 4, false, {{1, 1}}, 1, 2},
        {"down with nothing else to edit", adTopBottom, false, 2, 2, true, {}, 2, 2},
        {"up with nothing else to edit", adTopBottom, true, 2, 2, true, {}, 2, 2},
        {"along with nothing else to edit", adLeftRight, false, 2, 2, true, {}, 2, 2},
        {"back along with nothing else to edit", adLeftRight, true, 2, 2, true, {}, 2, 2},
        {"along past read-only rows", adLeftRight, false, 4, 1, false, {{-1, 2}, {-1, 3}}, 1, 4},
        {"down the column", adTopBottom, false, 1, 4, false, {}, 2, 1},
        {"up to the column before", adTopBottom, true, 2, 1, false, {}, 1, 4},
        {"up from the first cell to the last", adTopBottom, true, 1, 1, false, {}, 4, 4},
        {"down the last column to the first", adTopBottom, false, 4, 4, false, {}, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TabForm f;
        f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
        f.g->Navigation().SetTabAdvanceDirection(k.direction);
        f.g->Navigation().SetAdvanceAutoEdit(false);
        f.g->FocusCell(k.col, k.row, true);
        f.g->OnCanEditCell = [&](TObject*, int r, int c, bool& can) {
            if (k.onlyStart) can = c == k.col && r == k.row;
            for (auto [rc, rr] : k.readOnly)
                if (rr == r && (rc == c || rc < 0)) can = false;
        };
        EXPECT_TRUE(f.g->TabAdvance(k.back));
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
    }
}

// Where the rows of Enter and Tab start and end: past the node column of a
// grid without fixed columns, and up to the shown fixed right columns.
TEST(ExGridAdvance, RowsStartPastTheNodeColumnAndEndAtTheShownFixedRightColumns) {
    enum Move { Tab, ShiftTab, Enter, ShiftEnter };
    struct Case {
        const char* name;
        bool nodes;  // otherwise fixed right columns, one of them hidden
        Move move;
        TAdvanceDirection direction;
        int col, row, toCol, toRow;
    };
    const Case cases[] = {
        {"tab past the node column", true, Tab, adLeftRight, 4, 1, 1, 2},
        {"shift+tab over it", true, ShiftTab, adLeftRight, 1, 2, 4, 1},
        {"enter past it", true, Enter, adLeftRight, 4, 1, 1, 2},
        {"tab into the last data column", false, Tab, adLeftRight, 2, 1, 3, 1},
        {"tab past the last data column", false, Tab, adLeftRight, 3, 1, 1, 2},
        {"shift+tab to the last data column", false, ShiftTab, adLeftRight, 1, 2, 3, 1},
        {"enter along the row", false, Enter, adLeftRight, 2, 1, 3, 1},
        {"enter down into the last data column", false, Enter, adTopBottom, 2, 4, 3, 1},
        {"shift+enter back to the last data column", false, ShiftEnter, adLeftRight, 1, 2, 3, 1},
        {"shift+enter up to the last data column", false, ShiftEnter, adTopBottom, 1, 1, 3, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TabForm f;
        if (k.nodes) {
            f.g->SetFixedCols(0);
            f.g->Tools().AddNode(1, 2);
            ASSERT_EQ(f.g->FirstDataCol(), 1);
        } else {
            f.g->SetColCount(6);
            f.g->SetFixedRightCols(2);
            f.g->HideColumn(5);
            ASSERT_EQ(f.g->ColCount(), 5);
            ASSERT_EQ(f.g->VisibleFixedRightCols(), 1);
        }
        f.g->Navigation().SetAdvanceDirection(k.direction);
        f.g->FocusCell(k.col, k.row, true);
        if (k.move == Tab || k.move == ShiftTab) f.g->TabAdvance(k.move == ShiftTab);
        else f.g->AdvanceCell(k.col, k.row, false, k.move == Enter, false, true);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
    }
}

// An editor that advances onto a check box while the grid keeps its editor
// shown: from a text cell editing stays on, from a combo cell no editor is
// left open; the box is toggled either way.
TEST(ExGridAdvance, AnAdvanceOntoACheckBoxFromAComboCellLeavesNoEditorOpen) {
    struct Case {
        TEditorType kind;
        bool editing;
    };
    const Case cases[] = {{edNormal, true}, {edNumeric, true}, {edComboList, false}, {edComboEdit, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.kind));
        AdvanceForm f;
        f.g->Columns().Items(1)->SetEditor(k.kind);
        f.g->SetOptions(f.g->Options() + TGridOptions{goAlwaysShowEditor});
        f.g->Navigation().SetAdvanceOnEnter(true);
        const TRect R = f.g->CellRect(1, 1);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        f.g->ShowEditor();
        ASSERT_TRUE(f.g->EditorMode());
        f.changing.clear();
        f.g->AdvanceCell(1, 1, true, true, true, false);
        EXPECT_EQ(f.g->Col(), 2);
        EXPECT_EQ(f.g->GetCellEx(2, 1), u"Y");
        EXPECT_EQ(f.g->EditorMode(), k.editing);
        EXPECT_FALSE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        EXPECT_FALSE(f.g->Combobox() && f.g->Combobox()->Visible());
        EXPECT_EQ(f.changing.back(), "1,1>2,1");
    }
}

// Enter by direction and setting, as called by the grid and its editors.
TEST(ExGridAdvance, EnterGoesWhereItsDirectionAndSettingsSay) {
    struct Case {
        const char* name;
        TAdvanceDirection direction;
        bool on, force, loop, forward;
        int col, row, toCol, toRow;
    };
    const Case cases[] = {
        {"off: nothing", adLeftRight, false, false, true, true, 2, 2, 2, 2},
        {"off: an editor forces it", adLeftRight, false, true, true, true, 2, 2, 3, 2},
        {"last cell without loop stays", adLeftRight, true, false, false, true, 4, 4, 4, 4},
        {"in the row, round", adLeftRightInRow, true, false, true, true, 4, 2, 1, 2},
        {"in the row, no loop", adLeftRightInRow, true, false, false, true, 4, 2, 4, 2},
        {"in the row, never back", adLeftRightInRow, true, false, true, false, 2, 2, 2, 2},
        {"in the column, round", adTopBottomInCol, true, false, true, true, 2, 4, 2, 1},
        {"in the column, never back", adTopBottomInCol, true, false, true, false, 2, 2, 2, 2},
        {"down the last column to the first", adTopBottom, true, false, true, true, 4, 4, 1, 1},
        {"back from the first cell", adLeftRight, true, false, true, false, 1, 1, 4, 4},
        {"up from the first cell", adTopBottom, true, false, true, false, 1, 1, 4, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TabForm f;
        f.g->Navigation().SetAdvanceDirection(k.direction);
        f.g->Navigation().SetAdvanceOnEnter(k.on);
        f.g->Navigation().SetAdvanceOnEnterLoop(k.loop);
        f.g->FocusCell(k.col, k.row, true);
        f.g->AdvanceCell(k.col, k.row, false, k.forward, false, k.force);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
    }
    // With separate row marks only the row reached stays marked; range-select
    // editing switches editing on.
    TabForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.g->MouseActions().SetRangeSelectAndEdit(true);
    f.g->Navigation().SetAdvanceOnEnter(true);
    f.g->SetRowSelect(1, true);
    f.g->FocusCell(4, 2, true);
    f.g->AdvanceCell(4, 2, false, true, false, false);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_FALSE(f.g->RowSelect(1));
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_EQ(f.g->RowSelectCount(), 1);
    EXPECT_TRUE(f.g->Options().Contains(goEditing));
}

// With AlwaysEdit a Tab called while another control has the focus gives it back to the grid.
TEST(ExGridAdvance, TabWithAlwaysEditTakesTheFocus) {
    for (bool always : {false, true}) {
        SCOPED_TRACE(always);
        TabForm f;
        f.g->Navigation().SetAlwaysEdit(always);
        f.g->FocusCell(1, 1, true);
        f.other->SetFocus();
        f.g->TabAdvance(false);
        EXPECT_EQ(f.g->Col(), 2);
        EXPECT_EQ(f.g->Focused(), always);
    }
}

// Tab passes a merged area as one cell and Shift+Tab enters it at its base cell.
TEST(ExGridAdvance, TabTakesAMergedAreaAsOneCell) {
    struct Case {
        const char* name;
        bool back;
        int col, row;
        std::vector<std::pair<int, int>> refused;
        int toCol, toRow;
    };
    const Case cases[] = {
        {"over it", false, 3, 1, {}, 1, 2},
        {"into it", false, 2, 1, {}, 3, 1},
        {"back into it from the row below", true, 2, 2, {{1, 2}}, 3, 1},
        {"back over it", true, 1, 2, {}, 3, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TabForm f;
        f.g->MergeCells(3, 1, 2, 1);
        f.g->FocusCell(k.col, k.row, true);
        f.refused = k.refused;
        f.g->TabAdvance(k.back);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
    }
}
