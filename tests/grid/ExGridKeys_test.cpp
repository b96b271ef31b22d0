#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

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
        f.Click(k.col, k.row);
        SimulateText(u"ab");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(k.col, k.row), u"ab");
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
