#include "grid/ExCGrid.h"
#include "GridOnForm.h"

#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A shown form with a column grid (column 2 read-only) and a second control to take the focus.
struct KeyForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    TExColumnGrid* other;

    KeyForm() {
        form.SetBounds(0, 0, 600, 400);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->SetRowCount(5);
        g->Columns().Items(2)->SetReadOnly(true);
        other = new TExColumnGrid(&form);
        other->SetParent(&form);
        other->SetBounds(0, 260, 300, 100);
        form.Show();
        g->SetFocus();
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    // Types "ab" into (c, r) and ends with Enter, which writes it.
    void TypeAndEnter(int c, int r) {
        Click(c, r);
        SimulateText(u"ab");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(g->GetCellEx(c, r), u"ab");
    }
};

// A shown form holding a plain grid of Rows rows with the focus.
struct PlainForm {
    TForm form{nullptr};
    TExStringGrid* g;

    explicit PlainForm(int Rows = 10) {
        form.SetBounds(0, 0, 500, 400);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 300);
        g->SetRowCount(Rows);
        form.Show();
        g->SetFocus();
    }
};

TEST(ExGridKeys, EnterAdvanceWritesTheValueAndSkipsReadOnlyCells) {
    struct Case {
        int col, row;
        bool skip;
        int toCol, toRow;
    };
    const Case cases[] = {
        {1, 1, true, 3, 1},   // over the read-only column
        {1, 1, false, 2, 1},  // onto it
        {4, 1, true, 1, 2},   // the last column continues on the next row
        {4, 4, true, 1, 1},   // the last cell loops to the first
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.col) + "," + std::to_string(k.row));
        KeyForm f;
        ASSERT_EQ(f.g->ColCount(), 5);
        ASSERT_EQ(f.g->RowCount(), 5);
        f.g->Navigation().SetAdvanceOnEnter(true);
        f.g->Navigation().SetAdvanceSkipReadOnlyCells(k.skip);
        f.TypeAndEnter(k.col, k.row);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
    }
}

TEST(ExGridKeys, EnterInAnAllReadOnlyGridReturnsAndTheCursorStays) {
    KeyForm f;
    for (int c = 0; c < f.g->ColCount(); ++c) f.g->Columns().Items(c)->SetReadOnly(true);
    f.g->Navigation().SetAdvanceOnEnter(true);
    f.g->Navigation().SetAdvanceSkipReadOnlyCells(true);
    f.Click(3, 2);
    int downs = 0;
    f.g->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++downs; };
    SimulateKey(VK_RETURN);
    EXPECT_EQ(downs, 1);
    f.g->AdvanceCell(3, 2, false, true, false, false);
    EXPECT_EQ(f.g->Col(), 3);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_FALSE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
}

TEST(ExGridKeys, TabLeavesTheGridAndTheTypedValueIsWritten) {
    KeyForm f;
    f.Click(1, 3);
    SimulateText(u"tab");
    SimulateKey(VK_TAB);
    EXPECT_TRUE(f.other->Focused());
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"tab");
    EXPECT_EQ(f.g->Col(), 1);
}


TEST(ExGridKeys, AnEnterAdvanceAsksWhereToGoAndPastTheLastCellAppendsARow) {
    // Enter in the column grid's last cell (4, 4) or in (1, 1); what the advance
    // handler answers; whether a row may be added; where the cursor ends.
    struct Case {
        const char* name;
        int col, row;
        bool insert, canAdd;
        int redirectCol, redirectRow;  // -1: the handler keeps the target
        bool refuse;
        int toCol, toRow, rows;
    };
    const Case cases[] = {
        {"plain step", 1, 1, false, true, -1, -1, false, 2, 1, 5},
        {"redirected", 1, 1, false, true, 4, 3, false, 4, 3, 5},
        {"refused", 1, 1, false, true, -1, -1, true, 1, 1, 5},
        {"last cell loops", 4, 4, false, true, -1, -1, false, 1, 1, 5},
        {"last cell appends", 4, 4, true, true, -1, -1, false, 1, 5, 6},
        {"append refused", 4, 4, true, false, -1, -1, false, 1, 4, 5},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        KeyForm f;
        f.g->Columns().Items(2)->SetReadOnly(false);
        f.g->Navigation().SetAdvanceOnEnter(true);
        f.g->Navigation().SetAdvanceInsert(k.insert);
        std::vector<std::string> log;
        f.g->OnAutoAdvance = [&](TObject*, int oldRow, int oldCol, int& newRow, int& newCol, bool& allow) {
            log.push_back("advance " + std::to_string(oldCol) + "," + std::to_string(oldRow) + " to " +
                          std::to_string(newCol) + "," + std::to_string(newRow));
            if (k.redirectCol >= 0) newCol = k.redirectCol, newRow = k.redirectRow;
            allow = !k.refuse;
        };
        f.g->OnCanAddRow = [&](TObject*, bool& canAdd) { canAdd = k.canAdd; };
        f.g->OnAutoAddRow = [&](TObject*, int r) { log.push_back("added " + std::to_string(r)); };
        f.TypeAndEnter(k.col, k.row);
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
        EXPECT_EQ(f.g->RowCount(), k.rows);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front().rfind("advance", 0) == 0, !(k.insert && k.canAdd));
        if (k.insert && k.canAdd) EXPECT_EQ(log.front(), "added 5");
    }
}

TEST(ExGridKeys, CursorKeysReportTheNewSelection) {
    KeyForm f;
    f.Click(1, 1);
    std::vector<std::string> log;
    f.g->OnSelectionChanged = [&](TObject*, int l, int t, int r, int b) {
        log.push_back(std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b));
    };
    SimulateKey(VK_DOWN);
    SimulateKey(VK_RIGHT);
    SimulateKey(VK_NEXT);
    EXPECT_EQ(log, (std::vector<std::string>{"1,2,1,2", "2,2,2,2", "2,4,2,4"}));
    // A key that moves nothing reports nothing.
    f.g->SetCol(4);
    log.clear();
    SimulateKey(VK_RIGHT);
    EXPECT_TRUE(log.empty());
}


TEST(ExGridKeys, TabWithTabsMovesOverTheSelectableCellsAndOnAtTheEnd) {
    struct Case {
        const char* name;
        int col, row;
        bool back, insert, toNext, refuse3, autoEdit;
        int toCol, toRow, rows;
        bool focusLeft, editor;
    };
    const Case cases[] = {
        {"over the read-only column while editing", 1, 1, false, false, false, false, false, 3, 1, 5, false, false},
        {"next row", 4, 1, false, false, false, false, false, 1, 2, 5, false, false},
        {"last cell to the first", 4, 4, false, false, false, false, false, 1, 1, 5, false, false},
        {"last cell adds a row", 4, 4, false, true, false, false, false, 1, 5, 6, false, false},
        {"last cell hands the focus on", 4, 4, false, true, true, false, false, 1, 1, 5, true, false},
        {"back to the row above", 1, 2, true, false, false, false, false, 4, 1, 5, false, false},
        {"back from the first cell", 1, 1, true, false, false, false, false, 4, 4, 5, false, false},
        {"refused cell skipped", 2, 1, false, false, false, true, false, 4, 1, 5, false, false},
        {"opens the editor", 3, 1, false, false, false, false, true, 4, 1, 5, false, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        KeyForm f;
        f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
        f.g->Navigation().SetAdvanceInsert(k.insert);
        f.g->Navigation().SetTabToNextAtEnd(k.toNext);
        f.g->Navigation().SetAdvanceAutoEdit(k.autoEdit);
        f.g->FocusCell(k.col, k.row, true);
        if (k.refuse3) f.g->OnSelectCell = [](TObject*, int c, int, bool& can) { can = can && c != 3; };
        int clicks = 0;
        f.g->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
        SimulateKey(VK_TAB, k.back ? TShiftState{ssShift} : TShiftState{});
        EXPECT_EQ(f.g->Col(), k.toCol);
        EXPECT_EQ(f.g->Row(), k.toRow);
        EXPECT_EQ(f.g->RowCount(), k.rows);
        EXPECT_EQ(f.other->Focused(), k.focusLeft);
        EXPECT_EQ(f.g->EditorMode(), k.editor);
        EXPECT_EQ(clicks, 0);
    }
    // Tab in an open editor writes its text and moves on the same way.
    KeyForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
    f.Click(1, 1);
    SimulateText(u"x");
    SimulateKey(VK_TAB);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"x");
    EXPECT_EQ(f.g->Col(), 3);
    // Editing goes on in the cell reached.
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"");
}


TEST(ExGridKeys, NavigationSettingsChangeWhereTheArrowsAndPagesGo) {
    // A plain grid of 5 columns and 30 rows (one fixed of each), 8 rows in view.
    struct Case {
        const char* name;
        TCursorAdvance advance;
        bool scrollOnly;
        int col, row;
        Word key;
        int toCol, toRow, top;
    };
    const Case cases[] = {
        {"default stops at the right", caDefault, false, 4, 3, VK_RIGHT, 4, 3, 1},
        {"loop right", caLoop, false, 4, 3, VK_RIGHT, 1, 3, 1},
        {"snake right", caSnake, false, 4, 3, VK_RIGHT, 1, 4, 1},
        {"loop left", caLoop, false, 1, 3, VK_LEFT, 4, 3, 1},
        {"snake left", caSnake, false, 1, 3, VK_LEFT, 4, 2, 1},
        {"snake up", caSnake, false, 2, 1, VK_UP, 1, 29, 22},
        {"snake down", caSnake, false, 2, 29, VK_DOWN, 3, 1, 1},
        {"loop inside moves plainly", caLoop, false, 2, 3, VK_RIGHT, 3, 3, 1},
        {"scroll only down", caDefault, true, 2, 3, VK_DOWN, 2, 3, 2},
        {"scroll only page down", caDefault, true, 2, 3, VK_NEXT, 2, 3, -1},
        {"scroll only end", caDefault, true, 2, 3, VK_END, 2, 3, -2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PlainForm f(30);
        TExStringGrid* g = f.g;
        g->SetBounds(0, 0, 400, (g->DefaultRowHeight() + 1) * 9 + 4);
        g->Navigation().SetCursorAdvance(k.advance);
        g->Navigation().SetMoveScrollOnly(k.scrollOnly);
        g->FocusCell(k.col, k.row, true);
        g->SetTopRow(1);
        const int vis = g->VisibleRowCount();
        SimulateKey(k.key);
        EXPECT_EQ(g->Col(), k.toCol);
        EXPECT_EQ(g->Row(), k.toRow);
        const int top = k.top == -1 ? 1 + vis : k.top == -2 ? 30 - vis : k.top;
        if (k.top != 22) EXPECT_EQ(g->TopRow(), top);
    }
}

TEST(ExGridKeys, CtrlASelectsTheDataAndClipboardKeysAskFirst) {
    OleSetClipboard(nullptr);
    PlainForm f;
    TExStringGrid* g = f.g;
    for (int c = 1; c < 5; ++c)
        for (int r = 1; r < 5; ++r) g->SetCellEx(c, r, IntToStr(c * 10 + r));
    g->SetOptions(g->Options() - TGridOptions{goRangeSelect, goRowSelect});
    g->FocusCell(2, 2, true);
    SimulateKey('A', {ssCtrl});
    EXPECT_EQ(g->Selection().Left, 2);  // no range selection: nothing
    g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
    int reported = 0;
    g->OnSelectionChanged = [&](TObject*, int, int, int, int) { ++reported; };
    SimulateKey('A', {ssCtrl});
    const TGridRect s = g->Selection();
    EXPECT_EQ((std::vector<int>{s.Left, s.Top, s.Right, s.Bottom}), (std::vector<int>{1, 1, 4, g->RowCount() - 1}));
    EXPECT_EQ(reported, 1);

    std::vector<std::string> asked;
    bool allow = false;
    g->OnClipboardCopy = [&](TObject*, bool& a) { asked.push_back("copy"), a = allow; };
    g->OnClipboardCut = [&](TObject*, bool& a) { asked.push_back("cut"), a = allow; };
    g->FocusCell(3, 2, true);
    SimulateKey('C', {ssCtrl});
    EXPECT_TRUE(asked.empty());  // shortcuts off
    g->Navigation().SetAllowClipboardShortCuts(true);
    SimulateKey('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), u"");
    allow = true;
    SimulateKey(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), u"32");
    g->SetOptions(g->Options() + TGridOptions{goEditing});  // cutting empties only cells that may be written
    SimulateKey(VK_DELETE, {ssShift});
    EXPECT_EQ(g->GetCellEx(3, 2), u"");
    EXPECT_EQ(asked, (std::vector<std::string>{"copy", "copy", "cut"}));
    OleSetClipboard(nullptr);
    // Without fixed columns a grid showing nodes keeps their column out of Ctrl+A.
    PlainForm n;
    n.g->SetFixedCols(0);
    n.g->Tools().AddNode(2, 3);
    n.g->SetOptions(n.g->Options() + TGridOptions{goRangeSelect});
    SimulateKey('A', {ssCtrl});
    EXPECT_EQ(n.g->Selection().Left, 1);
}


TEST(ExGridKeys, HomeAndEndGoWhereHomeEndKeySays) {
    struct Case {
        const char* name;
        THomeEndAction how;
        Word key;
        TShiftState shift;
        int toCol, toRow;
    };
    const Case cases[] = {
        {"first cell", heFirstLastCell, VK_HOME, {}, 1, 1},
        {"last cell", heFirstLastCell, VK_END, {}, 4, 9},
        {"first row", heFirstLastRow, VK_HOME, {}, 2, 1},
        {"last row", heFirstLastRow, VK_END, {}, 2, 9},
        {"first column", heFirstLastColumn, VK_HOME, {}, 1, 4},
        {"last column", heFirstLastColumn, VK_END, {}, 4, 4},
        {"Ctrl+Home: first cell", heFirstLastColumn, VK_HOME, {ssCtrl}, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PlainForm f;
        TExStringGrid* g = f.g;
        g->Navigation().SetHomeEndKey(k.how);
        g->FocusCell(2, 4, true);
        SimulateKey(k.key, k.shift);
        EXPECT_EQ(g->Col(), k.toCol);
        EXPECT_EQ(g->Row(), k.toRow);
    }
    // A grid holding only its header row leaves Home and End to the framework, by rows or columns.
    for (THomeEndAction how : {heFirstLastRow, heFirstLastColumn}) {
        PlainForm f(1);
        TExStringGrid* g = f.g;
        g->SetFixedRowAlways(true);
        g->SetRowCount(1);
        g->Navigation().SetHomeEndKey(how);
        int downs = 0;
        g->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++downs; };
        SimulateKey(VK_END);
        SimulateKey(VK_HOME);
        EXPECT_EQ(downs, 2);
        EXPECT_EQ(g->RowCount(), 1);
        EXPECT_EQ(g->Row(), 0);
    }
    // Shift with rows: the selection spans from the row the key was pressed on.
    PlainForm f;
    TExStringGrid* g = f.g;
    g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
    g->Navigation().SetHomeEndKey(heFirstLastRow);
    g->FocusCell(2, 4, true);
    SimulateKey(VK_END, {ssShift});
    const TGridRect s = g->Selection();
    EXPECT_EQ(std::min(s.Top, s.Bottom), 4);
    EXPECT_EQ(std::max(s.Top, s.Bottom), 9);
}


TEST(ExGridKeys, TypingWithoutEditingLooksUpTheRowsByTheirStart) {
    for (bool incremental : {true, false}) {
        SCOPED_TRACE(incremental ? "incremental" : "one character");
        PlainForm f(6);
        TExStringGrid* g = f.g;
        const char16_t* names[] = {u"Alpha", u"Beta", u"<b>Bravo</b>", u"Charlie", u"beach"};
        for (int r = 1; r < 6; ++r) g->SetCellEx(1, r, names[r - 1]);
        g->Navigation().SetAutoGotoWhenSorted(true);
        g->Navigation().SetAutoGotoIncremental(incremental);
        // The typed text so far and the row it leads to.
        const struct {
            Char key;
            int row;
        } steps[] = {{u'b', 2}, {u'r', incremental ? 3 : 2}, {8, 2}, {u'e', 2}, {u'a', incremental ? 5 : 1},
                     {u'x', incremental ? 5 : 1}, {u'c', 4}};
        for (const auto& k : steps) {
            SimulateKey(0, {}, k.key);
            EXPECT_EQ(g->Row(), k.row) << char(k.key);
        }
    }
}

TEST(ExGridKeys, AnIncrementalLookupForgetsItsTextAtTheFourthTickWithoutACharacter) {
    PlainForm f(6);
    TExStringGrid* g = f.g;
    const char16_t* names[] = {u"Alpha", u"Beta", u"Bravo", u"Charlie", u"Delta"};
    for (int r = 1; r < 6; ++r) g->SetCellEx(1, r, names[r - 1]);
    g->Navigation().SetAutoGotoWhenSorted(true);
    g->Navigation().SetAutoGotoIncremental(true);
    auto tick = [&] { g->Perform(WM_TIMER, 111, 0); };
    SimulateKey(0, {}, u'b');
    tick();
    tick();
    tick();
    SimulateKey(0, {}, u'r');  // a character starts the count again
    EXPECT_EQ(g->SearchInc, u"br");
    EXPECT_EQ(g->Row(), 3);
    tick();
    tick();
    tick();
    EXPECT_EQ(g->SearchInc, u"br");
    tick();
    EXPECT_EQ(g->SearchInc, u"");
    EXPECT_EQ(g->SearchTics, 0);
    SimulateKey(0, {}, u'd');
    EXPECT_EQ(g->Row(), 5);
    // One-character lookups keep no text to forget.
    g->Navigation().SetAutoGotoIncremental(false);
    SimulateKey(0, {}, u'a');
    for (int i = 0; i < 6; ++i) tick();
    EXPECT_EQ(g->SearchInc, u"a");
}

// A grid that counts the row-adding questions asked through its slot.
struct AskingGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    int asked = 0;
    void DoCanAddRow(bool& CanAdd) override {
        ++asked;
        TExStringGrid::DoCanAddRow(CanAdd);
    }
};

TEST(ExGridKeys, AppendingAboveFootersStepsOntoTheNewRow) {
    AskingGrid g(nullptr);
    g.SetRowCount(5);
    g.SetFixedFooters(1);
    for (int r = 0; r < 5; ++r) g.SetCells(1, r, IntToStr(r));
    g.SetRow(3);
    std::vector<int> added;
    g.OnAutoAddRow = [&](TObject*, int ARow) { added.push_back(ARow); };
    g.AppendRowOnArrowDown();
    EXPECT_EQ(g.asked, 1);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Cells(1, 5), u"");
    EXPECT_EQ(added, std::vector<int>{4});
    g.OnCanAddRow = [](TObject*, bool& CanAdd) { CanAdd = false; };
    g.AppendRowOnArrowDown();
    EXPECT_EQ(g.asked, 2);
    EXPECT_EQ(g.RowCount(), 6);
}

}  // namespace

TEST(ExGridKeys, EnterOpensAndClosesTheEditorAndALetterOpensItWithThatLetter) {
    KeyForm f;
    f.g->SetCellEx(1, 1, u"old");
    f.Click(1, 1);
    SimulateKey(VK_RETURN);
    ASSERT_TRUE(f.g->EditorMode());
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"old");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->Row(), 1);
    // A letter replaces the text; the grid's key handler may change the letter first.
    f.g->OnKeyPress = [](TObject*, Char& Key) {
        if (Key == u'a') Key = u'z';
    };
    struct Case {
        const char16_t* typed;
        const char16_t* text;
    };
    for (const Case& c : {Case{u"b", u"b"}, Case{u"a", u"z"}}) {
        SimulateText(c.typed);
        ASSERT_TRUE(f.g->EditorMode());
        EXPECT_EQ(f.g->InplaceEditor()->Text(), String(c.text));
        SimulateKey(VK_ESCAPE);
        EXPECT_FALSE(f.g->EditorMode());
        EXPECT_EQ(f.g->GetCellEx(1, 1), u"old");
    }
}

namespace {
// A plain grid that declares row 3 fixed besides its headers.
class RowThreeFixedGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;

protected:
    void IsFixedCell(int ACol, int ARow, bool& IsFixed) override {
        TExStringGrid::IsFixedCell(ACol, ARow, IsFixed);
        if (ARow == 3) IsFixed = true;
    }
};
}  // namespace

TEST(ExGridKeys, ArrowsWalkOverFixedCellsAndSpendTheKey) {
    // Column grid of 6 columns; the fixed ones are listed per case.
    struct Case {
        const char* name;
        std::vector<int> fixedCols;
        bool skip;
        int col;
        Word key;
        int toCol;
    };
    const Case cases[] = {
        {"over one", {2}, true, 1, VK_RIGHT, 3},
        {"over two", {2, 3}, true, 1, VK_RIGHT, 4},
        {"back over two", {2, 3}, true, 4, VK_LEFT, 1},
        {"nothing beyond: stays", {3, 4, 5}, true, 2, VK_RIGHT, 2},
        {"neighbour not fixed: one step", {3}, true, 1, VK_RIGHT, 2},
        {"switched off: no walk", {2}, false, 1, VK_RIGHT, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<TExColumnGrid> f;
        TExColumnGrid* g = f.g;
        g->SetColCount(6);
        g->SetRowCount(5);
        for (int c : k.fixedCols) g->Columns().Items(c)->SetFixed(true);
        g->Navigation().SetSkipFixedCells(k.skip);
        g->SetFocus();
        g->FocusCell(k.col, 2, true);
        std::vector<Word> seen;
        g->OnKeyDown = [&](TObject*, Word& key, TShiftState) { seen.push_back(key); };
        SimulateKey(k.key);
        EXPECT_EQ(g->Col(), k.toCol);
        EXPECT_EQ(g->Row(), 2);
        EXPECT_EQ(seen, std::vector<Word>{k.key});  // reported once, as pressed
    }
    // A declared-fixed row is stepped over by Up and Down.
    for (Word key : {VK_DOWN, VK_UP}) {
        GridOnForm<RowThreeFixedGrid> f;
        f.g->SetRowCount(8);
        f.g->SetFocus();
        f.g->FocusCell(2, key == VK_DOWN ? 2 : 4, true);
        SimulateKey(key);
        EXPECT_EQ(f.g->Row(), key == VK_DOWN ? 4 : 2);
    }
}

TEST(ExGridKeys, CtrlUpAndDownCarryTheSelectedRows) {
    struct Case {
        const char* name;
        bool allowed;
        int top, bottom;
        Word key;
        std::vector<String> col1;  // rows 1..5 afterwards
        int selTop, selBottom;
    };
    const Case cases[] = {
        {"one row down", true, 3, 3, VK_DOWN, {u"r1", u"r2", u"r4", u"r3", u"r5"}, 4, 4},
        {"one row up", true, 3, 3, VK_UP, {u"r1", u"r3", u"r2", u"r4", u"r5"}, 2, 2},
        {"two rows down", true, 2, 3, VK_DOWN, {u"r1", u"r4", u"r2", u"r3", u"r5"}, 3, 4},
        {"first row stays", true, 1, 1, VK_UP, {u"r1", u"r2", u"r3", u"r4", u"r5"}, 1, 1},
        {"last row stays", true, 5, 5, VK_DOWN, {u"r1", u"r2", u"r3", u"r4", u"r5"}, 5, 5},
        {"switched off", false, 3, 3, VK_DOWN, {u"r1", u"r2", u"r3", u"r4", u"r5"}, -1, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetRowCount(6);
        for (int r = 1; r < 6; ++r) g->SetCellEx(1, r, u"r" + IntToStr(r));
        g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
        g->Navigation().SetCursorMoveRows(k.allowed);
        g->SetFocus();
        g->FocusCell(2, k.top, true);
        if (k.bottom != k.top) g->SetSelection({1, k.top, 4, k.bottom});
        SimulateKey(k.key, {ssCtrl});
        std::vector<String> col1;
        for (int r = 1; r < 6; ++r) col1.push_back(g->GetCellEx(1, r));
        EXPECT_EQ(col1, k.col1);
        if (k.selTop < 0) continue;
        const TGridRect s = g->Selection();
        EXPECT_EQ(std::min(s.Top, s.Bottom), k.selTop);
        EXPECT_EQ(std::max(s.Top, s.Bottom), k.selBottom);
    }
}

TEST(ExGridKeys, RowSelectGridsScrollTheColumnsByLeftAndRight) {
    // 20 columns of a row-select grid, scrolled to column 5, cursor on row 3.
    struct Case {
        const char* name;
        bool leftRight, keepHoriz;
        Word key;
        TShiftState shift;
        int toRow, toLeft;  // toLeft -1: anything but 5
    };
    const Case cases[] = {
        {"Right moves the row", true, false, VK_RIGHT, {}, 4, -1},
        {"Ctrl+Right scrolls", true, false, VK_RIGHT, {ssCtrl}, 3, 6},
        {"Ctrl+Left scrolls", true, false, VK_LEFT, {ssCtrl}, 3, 4},
        {"without row keys Right scrolls", false, false, VK_RIGHT, {}, 3, 6},
        {"without row keys Left scrolls", false, false, VK_LEFT, {}, 3, 4},
        {"Down keeps the scroll", true, true, VK_DOWN, {}, 4, 5},
        {"Up keeps the scroll", true, true, VK_UP, {}, 2, 5},
        {"Down scrolls back otherwise", true, false, VK_DOWN, {}, 4, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(20);
        g->SetRowCount(10);
        g->SetOptions(g->Options() + TGridOptions{goRowSelect});
        g->Navigation().SetLeftRightRowSelect(k.leftRight);
        g->Navigation().SetKeepHorizScroll(k.keepHoriz);
        g->SetFocus();
        g->FocusCell(1, 3, true);
        g->SetLeftCol(5);
        ASSERT_EQ(g->LeftCol(), 5);
        SimulateKey(k.key, k.shift);
        EXPECT_EQ(g->Row(), k.toRow);
        if (k.toLeft < 0) EXPECT_NE(g->LeftCol(), 5);
        else EXPECT_EQ(g->LeftCol(), k.toLeft);
    }
}

TEST(ExGridKeys, ShiftHomeAndEndSelectToTheRowsEndsAndEndStopsAboveTheFooters) {
    // A 5 x 10 plain grid (one fixed row and column) with range selection, cursor at (3, 4).
    struct Case {
        const char* name;
        THomeEndAction how;
        Word key;
        TShiftState shift;
        int footers;  // 0, 1 fixed footer row, or -1 for a visible floating footer
        int toCol, toRow, selLeft, selRight;
    };
    const Case cases[] = {
        {"Shift+Home selects back to the first column", heFirstLastColumn, VK_HOME, {ssShift}, 0, 1, 4, 1, 3},
        {"Shift+End selects on to the last column", heFirstLastColumn, VK_END, {ssShift}, 0, 4, 4, 3, 4},
        {"Home skips an unselectable first column", heFirstLastColumn, VK_HOME, {}, 0, 2, 4, 2, 2},
        {"End stops above a fixed footer", heFirstLastRow, VK_END, {}, 1, 3, 8, 3, 3},
        {"End stops above the floating footer", heFirstLastRow, VK_END, {}, -1, 3, 8, 3, 3},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(5);
        g->SetRowCount(10);
        g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
        if (k.footers > 0) g->SetFixedFooters(k.footers);
        if (k.footers < 0) g->FloatingFooter().SetVisible(true);
        g->SetBounds(0, 0, 400, (g->DefaultRowHeight() + 1) * 6);
        g->Navigation().SetHomeEndKey(k.how);
        g->SetFocus();
        g->FocusCell(3, 4, true);
        g->OnSelectCell = [](TObject*, int c, int, bool& can) { can = can && c != 1; };
        if (k.key == VK_HOME && k.shift.Contains(ssShift)) g->OnSelectCell = nullptr;
        SimulateKey(k.key, k.shift);
        EXPECT_EQ(g->Col(), k.toCol);
        EXPECT_EQ(g->Row(), k.toRow);
        const TGridRect s = g->Selection();
        EXPECT_EQ(std::min(s.Left, s.Right), k.selLeft);
        EXPECT_EQ(std::max(s.Left, s.Right), k.selRight);
        if (k.footers != 0) EXPECT_EQ(g->TopRow(), 10 - g->VisibleRowCount());
    }
}

TEST(ExGridKeys, SearchFooterKeysAndTheKeypadDecimalKey) {
    GridOnForm<> f(560, 300);
    TExStringGrid* g = f.g;
    g->SetColCount(3);
    g->SetRowCount(5);
    const char16_t* texts[] = {u"alpha", u"beta", u"gamma", u"alpha beta"};
    for (int r = 1; r <= 4; ++r) g->SetCellEx(1, r, texts[r - 1]);
    g->SetFocus();
    // Without the footer Ctrl+F and the accelerators do nothing.
    SimulateKey('F', {ssCtrl});
    EXPECT_TRUE(g->Focused());
    EXPECT_EQ(g->Perform(CM_DIALOGCHAR, u'n', 0), 0);

    g->SearchFooter().SetFindNextCaption(u"Find &next");
    g->SearchFooter().SetFindPrevCaption(u"Find &previous");
    g->SearchFooter().SetVisible(true);
    TSearchPanel* p = g->SearchPanel();
    ASSERT_NE(p, nullptr);
    g->SetFocus();
    SimulateKey('F', {ssCtrl});
    EXPECT_TRUE(p->EditControl->Focused());
    p->EditControl->SetText(u"beta");
    EXPECT_EQ(g->Row(), 2);
    struct Step {
        Char ch;
        LRESULT result;
        int row;
    };
    for (const Step& s : {Step{u'n', 1, 4}, Step{u'p', 1, 2}, Step{u'x', 0, 2}}) {
        SCOPED_TRACE(std::string(1, char(s.ch)));
        EXPECT_EQ(g->Perform(CM_DIALOGCHAR, s.ch, 0), s.result);
        EXPECT_EQ(g->Row(), s.row);
    }
    g->SearchFooter().SetVisible(false);

    // A keypad full stop opens the editor with the locale's separator; the main key types a full stop.
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = u',';
    const TFormatSettings old = SetFormatSettings(fs);
    struct Case {
        bool excel;
        Word key;
        const char16_t* typed;
    };
    for (const Case& k : {Case{true, VK_DECIMAL, u","}, Case{false, VK_DECIMAL, u"."}, Case{true, VK_OEM_PERIOD, u"."}}) {
        SCOPED_TRACE(k.key);
        g->HideInplaceEdit();
        g->SetCellEx(2, 3, u"");
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->SetExcelStyleDecimalSeparator(k.excel);
        g->SetFocus();
        g->FocusCell(2, 3, true);
        SimulateKey(k.key, {}, u'.');
        SimulateKey(VK_RETURN);
        EXPECT_EQ(g->GetCellEx(2, 3), k.typed);
    }
    SetFormatSettings(old);
}

TEST(ExGridKeys, KeysOnTheLastRowKeepItClearOfTheSearchFooter) {
    // A 5 x 20 plain grid whose last rows lie under the shown search footer; the
    // cursor starts in (col, row) with the view at its end.
    struct Case {
        const char* name;
        int col, row;
        Word key;
        int toCol, toRow;
        bool clear;  // the last row ends above the footer
        int keyDowns;
    };
    const Case cases[] = {
        {"Down scrolls the last row clear", 2, 19, VK_DOWN, 2, 19, true, 1},
        {"Right in the last column is spent", 4, 19, VK_RIGHT, 4, 19, false, 1},
        {"Left in the first column is spent", 1, 19, VK_LEFT, 1, 19, false, 1},
        {"Right inside the row moves and keeps the row clear", 2, 19, VK_RIGHT, 3, 19, true, 1},
        {"Page down onto the last row shows it clear", 2, 15, VK_NEXT, 2, 19, true, 1},
        {"Up leaves the last row", 2, 19, VK_UP, 2, 18, false, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f(400, 260);
        TExStringGrid* g = f.g;
        g->SetColCount(5);
        g->SetRowCount(20);
        g->SearchFooter().SetVisible(true);
        TSearchPanel* p = g->SearchPanel();
        ASSERT_NE(p, nullptr);
        g->SetFocus();
        g->FocusCell(k.col, k.row, true);
        g->SetTopRow(20);
        const int endTop = g->TopRow();
        ASSERT_EQ(endTop, 20 - g->VisibleRowCount());
        int downs = 0;
        g->OnKeyDown = [&](TObject*, Word& key, TShiftState) { downs += key == k.key; };
        SimulateKey(k.key);
        EXPECT_EQ(g->Col(), k.toCol);
        EXPECT_EQ(g->Row(), k.toRow);
        EXPECT_EQ(downs, k.keyDowns);
        const TRect last = g->CellRect(k.toCol, 19);
        const int footerTop = g->ClientHeight() - p->Height() + 2;
        if (k.clear) {
            EXPECT_GT(g->TopRow(), endTop);
            EXPECT_GT(last.Bottom, last.Top);
            EXPECT_LE(last.Bottom, footerTop);
            // Keys that do not move the cursor keep the view there.
            const int top = g->TopRow();
            SimulateKey(VK_DOWN);
            SimulateKey(VK_F5);
            EXPECT_EQ(g->TopRow(), top);
            EXPECT_EQ(g->Row(), 19);
        } else {
            EXPECT_LE(g->TopRow(), endTop);
        }
    }
    // Without the footer Down on the last row leaves the view at its end.
    GridOnForm<> f(400, 260);
    f.g->SetRowCount(20);
    f.g->SetFocus();
    f.g->FocusCell(1, 19, true);
    const int top = f.g->TopRow();
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.g->TopRow(), top);
}

TEST(ExGridKeys, EnterAndF2StartEditingAsTheMouseSettingsAllow) {
    // A plain grid whose column 2 may not be edited; the cursor on (col, 2).
    struct Case {
        const char* name;
        bool dblOnly, range, editing;
        Word key;
        int col;
        bool editor, editingAfter;
    };
    const Case cases[] = {
        {"Enter without editing is swallowed", false, false, false, VK_RETURN, 1, false, false},
        {"double-click only: Enter switches editing on", true, false, false, VK_RETURN, 1, true, true},
        {"double-click only: F2 too", true, false, false, VK_F2, 1, true, true},
        {"double-click only: not on a read-only cell", true, false, false, VK_RETURN, 2, false, false},
        {"range editing: Enter opens", false, true, false, VK_RETURN, 1, true, true},
        {"range editing: F2 opens", false, true, false, VK_F2, 1, true, true},
        {"range editing: Enter on a read-only cell", false, true, false, VK_RETURN, 2, false, false},
        {"range editing: F2 on a read-only cell", false, true, false, VK_F2, 2, false, false},
        {"editing: F2 on a read-only cell", false, false, true, VK_F2, 2, false, false},
        {"editing: F2 opens", false, false, true, VK_F2, 1, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(5);
        g->SetRowCount(5);
        g->SetCellEx(1, 2, u"one");
        g->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = can && c != 2; };
        g->MouseActions().SetEditOnDblClickOnly(k.dblOnly);
        g->MouseActions().SetRangeSelectAndEdit(k.range);
        g->SetOptions(k.editing ? g->Options() + TGridOptions{goEditing} : g->Options() - TGridOptions{goEditing});
        g->SetFocus();
        g->FocusCell(k.col, 2, true);
        int downs = 0;
        g->OnKeyDown = [&](TObject*, Word& key, TShiftState) { downs += key == k.key; };
        SimulateKey(k.key);
        EXPECT_EQ(downs, 1);
        EXPECT_EQ(g->InplaceEditor() && g->InplaceEditor()->Visible(), k.editor);
        EXPECT_EQ(g->Options().Contains(goEditing), k.editingAfter);
        if (k.editor) EXPECT_EQ(g->InplaceEditor()->Text(), k.col == 1 ? u"one" : u"");
    }
}

TEST(ExGridKeys, TypedCharactersStartEditingAsTheSettingsAllow) {
    // A plain grid without goEditing unless asked; cell (1, 2) holds what the case says.
    struct Case {
        const char* name;
        bool dblOnly, range, clipboard, editing;
        int cell;  // 0 text, 1 check box, 2 in-text control
        Word key;
        TShiftState shift;
        Char ch;
        const char16_t* editor;  // nullptr: none opens
        Char seen;               // what OnKeyPress saw, 0 for nothing
    };
    const Case cases[] = {
        {"without editing a letter opens nothing", false, false, false, false, 0, 'X', {}, u'x', nullptr, u'x'},
        {"range editing: a letter opens the editor with it", false, true, false, false, 0, 'X', {}, u'x', u"x", u'x'},
        {"double-click only: a letter switches editing on", true, false, false, false, 0, 'X', {}, u'x', u"x", u'x'},
        {"shortcuts on: Ctrl+C's character stops", false, false, true, false, 0, 'C', {ssCtrl}, 3, nullptr, 0},
        {"shortcuts off: Ctrl+C's character goes on", false, false, false, false, 0, 'C', {ssCtrl}, 3, nullptr, 3},
        {"a check box cell opens no editor", false, false, false, true, 1, 'X', {}, u'x', nullptr, u'x'},
        {"an in-text control takes the typing", false, false, false, true, 2, 'X', {}, u'x', nullptr, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(4);
        g->SetRowCount(4);
        if (k.cell == 1) g->AddCheckBox(1, 2, false);
        if (k.cell == 2) g->SetCellEx(1, 2, u"<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"40\">");
        g->MouseActions().SetEditOnDblClickOnly(k.dblOnly);
        g->MouseActions().SetRangeSelectAndEdit(k.range);
        g->Navigation().SetAllowClipboardShortCuts(k.clipboard);
        g->SetOptions(k.editing ? g->Options() + TGridOptions{goEditing} : g->Options() - TGridOptions{goEditing});
        g->SetFocus();
        g->FocusCell(1, 2, true);
        Char seen = 0;
        g->OnKeyPress = [&](TObject*, Char& key) { seen = key; };
        SimulateKey(k.key, k.shift, k.ch);
        EXPECT_EQ(seen, k.seen);
        const bool open = g->InplaceEditor() && g->InplaceEditor()->Visible();
        EXPECT_EQ(open, k.editor != nullptr);
        if (open && k.editor) EXPECT_EQ(g->InplaceEditor()->Text(), String(k.editor));
    }
}

namespace {
// Counts the F2 notifications the grid gives to a derived grid.
class F2Grid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    int f2 = 0;

protected:
    void DoF2Key(int, int) override { ++f2; }
};
}  // namespace

TEST(ExGridKeys, KeysReachTheSynchronisedGridTheNodesAndTheHooks) {
    // A grid following the cursor takes the row or the column the keys reach.
    struct Case {
        bool rows, cols;
        int otherCol, otherRow;
    };
    for (const Case& k : {Case{true, false, 1, 3}, Case{false, true, 2, 1}, Case{true, true, 2, 3}}) {
        SCOPED_TRACE(std::to_string(k.rows) + std::to_string(k.cols));
        GridOnForm<> f;
        auto* other = new TExStringGrid(&f.form);
        other->SetParent(&f.form);
        other->SetBounds(0, 260, 300, 120);
        f.g->SyncGrid().SetGrid(other);
        f.g->SyncGrid().SetSelectionRow(k.rows);
        f.g->SyncGrid().SetSelectionColumn(k.cols);
        f.g->SetFocus();
        f.g->FocusCell(1, 2, true);
        SimulateKey(VK_DOWN);
        SimulateKey(VK_RIGHT);
        EXPECT_EQ(other->Col(), k.otherCol);
        EXPECT_EQ(other->Row(), k.otherRow);
    }
    // Left and Right on a node's merged cell close and open the node.
    {
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetRowCount(12);
        g->Tools().AddNode(2, 4);
        g->MergeCells(1, 2, 2, 1);
        g->SetFocus();
        g->FocusCell(1, 2, true);
        SimulateKey(VK_LEFT);
        EXPECT_TRUE(g->GetNodeState(2));
        EXPECT_EQ(g->RowCount(), 9);
        g->FocusCell(1, 2, true);
        SimulateKey(VK_RIGHT);
        EXPECT_FALSE(g->GetNodeState(2));
        EXPECT_EQ(g->RowCount(), 12);
    }
    // Home and End taken by the grid still reach OnKeyDown; F2 reaches the derived grid's hook.
    GridOnForm<F2Grid> f;
    f.g->SetFocus();
    f.g->FocusCell(2, 2, true);
    std::vector<Word> seen;
    f.g->OnKeyDown = [&](TObject*, Word& key, TShiftState) { seen.push_back(key); };
    SimulateKey(VK_END);
    SimulateKey(VK_HOME);
    EXPECT_EQ(seen, (std::vector<Word>{VK_END, VK_HOME}));
    EXPECT_EQ(f.g->Col(), 1);
    SimulateKey(VK_F2);
    EXPECT_EQ(f.g->f2, 1);
}

TEST(ExGridKeys, EnterOnACheckBoxCellAdvancesWithoutAnEditor) {
    for (bool advance : {true, false}) {
        SCOPED_TRACE(advance ? "advancing" : "not advancing");
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetColCount(4);
        g->SetRowCount(4);
        g->SetCellEx(2, 2, u"next");
        g->AddCheckBox(1, 2, false);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->Navigation().SetAdvanceOnEnter(advance);
        g->SetFocus();
        g->FocusCell(1, 2, true);
        int enters = 0;
        g->OnKeyPress = [&](TObject*, Char& key) { enters += key == 13; };
        SimulateKey(VK_RETURN);
        EXPECT_EQ(enters, 1);
        EXPECT_EQ(g->Col(), advance ? 2 : 1);
        EXPECT_EQ(g->Row(), 2);
        // Advancing, the next cell is edited; the check box itself never is.
        const bool open = g->InplaceEditor() && g->InplaceEditor()->Visible();
        EXPECT_EQ(open, advance);
        if (open) EXPECT_EQ(g->InplaceEditor()->Text(), u"next");
    }
}
