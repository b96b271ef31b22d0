#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// The configurator's table editors: a text column, a list column and a
// data check box column, edited as a person does, one after the other.
struct TableForm {
    TForm form{nullptr};
    TExColumnGrid* g;

    TableForm() {
        form.SetBounds(0, 0, 600, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 500, 250);
        g->SetColCount(5);
        g->SetOptions(g->Options() + TGridOptions{goColSizing, goRangeSelect, goEditing});
        g->Columns().Items(1)->SetEditor(edNormal);
        TGridColumnItem* free = g->Columns().Items(4);
        free->SetEditor(edComboEdit);
        for (const char16_t* t : {u"public", u"private"}) free->ComboItems().Add(t);
        TGridColumnItem* list = g->Columns().Items(2);
        list->SetEditor(edComboList);
        for (const char16_t* t : {u"Coil Status", u"Input Status", u"Holding Register"}) list->ComboItems().Add(t);
        TGridColumnItem* box = g->Columns().Items(3);
        box->SetEditor(edDataCheckBox);
        box->SetCheckTrue(u"Y");
        box->SetCheckFalse(u"N");
        form.Show();
        g->SetFocus();
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2);
    }
};

TEST(GridEditFlow, EachEditorWritesOnlyItsOwnCell) {
    TableForm f;
    f.Click(1, 1);
    SimulateText(u"5");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"5");
    f.Click(2, 1);
    f.Click(2, 1);
    TGridCombo* c = f.g->Combobox();
    ASSERT_TRUE(c && c->Visible());
    c->SetDroppedDown(true);
    c->SetItemIndex(2);
    c->SetDroppedDown(false);
    f.Click(3, 1);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"5");
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"Holding Register");
    EXPECT_EQ(f.g->GetCellEx(3, 1), u"Y");
}

TEST(GridEditFlow, TypingInACellClickedAfterAComboEditsThatCell) {
    TableForm f;
    f.Click(2, 1);
    SimulateKey(VK_F2);
    ASSERT_TRUE(f.g->Combobox()->Visible());
    f.Click(1, 2);
    EXPECT_FALSE(f.g->Combobox()->Visible());
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"Coil Status");
    SimulateText(u"100");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"100");
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"Coil Status");
}

TEST(GridEditFlow, KeysAloneFillATextCellThenAListCell) {
    TableForm f;
    f.Click(1, 1);
    SimulateText(u"7");
    SimulateKey(VK_RIGHT);
    SimulateKey(VK_F2);
    SimulateKey(VK_DOWN);
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"7");
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"Input Status");
}

// The character typed to open a list is its first input, not lost: an
// editable list starts its text with it, a fixed list picks the item it begins.
TEST(GridEditFlow, TheFirstCharacterTypedOpensAListWithIt) {
    const struct {
        int Col;
        const char16_t* Typed;
        const char16_t* Cell;
    } cases[] = {{4, u"xyz", u"xyz"}, {2, u"h", u"Holding Register"}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Col);
        TableForm f;
        f.Click(k.Col, 1);
        SimulateText(k.Typed);
        ASSERT_TRUE(f.g->Combobox()->Visible());
        EXPECT_EQ(f.g->Combobox()->Text(), k.Cell);
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(k.Col, 1), k.Cell);
    }
}

// A text typed and left by an arrow key for a check box stays in its cell
// when the box is toggled and left in turn.
TEST(GridEditFlow, TextLeftByAnArrowKeyStaysInItsCell) {
    TableForm f;
    f.g->Columns().Items(2)->SetEditor(edNormal);
    f.Click(2, 1);
    SimulateText(u"7");
    SimulateKey(VK_RIGHT);
    SimulateKey(VK_SPACE);
    SimulateKey(VK_RIGHT);
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"7");
    EXPECT_EQ(f.g->GetCellEx(3, 1), u"Y");
    EXPECT_EQ(f.g->Col(), 4);
}

}  // namespace
