// Controls used in cells: the options of a radio group chosen by the toggle,
// by Space and by the mouse, and bit buttons pressed.
#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Windows.h"

#include "GridOnForm.h"

#include <array>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ExGridRadioGroup, TheToggleMovesToTheNextOptionAndWritesIt) {
    GridOnForm<> f;
    TStringList options;
    options.Add(u"A");
    options.Add(u"B");
    options.Add(u"C");
    struct Case {
        const char* name;
        int index;
        const char16_t* text;
        int newIndex;
        const char16_t* newText;
        int chosen;
    } cases[] = {
        {"from the last to the first", 2, u"", 0, u"A", 0},
        {"from the first", 0, u"A", 1, u"B", 1},
        {"none chosen: after the option the text names", -1, u"B", 2, u"C", 2},
        {"none chosen, the last named: the first", -1, u"C", 0, u"A", 0},
        {"none chosen, an unknown text: the first", -1, u"zz", 0, u"A", 0},
        {"the choice kept in the text only", -2, u"B", -2, u"C", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->AddRadio(2, 3, 0, c.index, &options);
        f.g->SetCellEx(2, 3, c.text);
        EXPECT_FALSE(f.g->ToggleRadioGroup(2, 3, false));
        EXPECT_EQ(f.g->GetRadioIdx(2, 3), c.newIndex);
        EXPECT_EQ(f.g->GetCellEx(2, 3), c.newText);
        EXPECT_EQ(f.g->GetCellGraphic(2, 3)->CellVar, c.chosen);
    }
    // Other cells and other kinds are left alone.
    f.g->SetCellEx(3, 3, u"x");
    f.g->AddButton(3, 3, 20, 10, u"B", haLeft, vaTop);
    EXPECT_FALSE(f.g->ToggleRadioGroup(3, 3, false));
    EXPECT_EQ(f.g->GetCellEx(3, 3), u"x");
    EXPECT_FALSE(f.g->ToggleRadioGroup(4, 4, false));
    EXPECT_EQ(f.g->GetCellEx(4, 4), u"");
}

TEST(ExGridRadioGroup, AUserToggleNeedsAnEditableCellUnlessRadiosAreAlwaysActive) {
    GridOnForm<TExColumnGrid> f;
    TStringList* options = f.g->CreateRadio(2, 3, 1, 0);
    options->Add(u"On");
    options->Add(u"Off");
    f.g->Columns().Items(2)->SetReadOnly(true);
    f.g->ToggleRadioGroup(2, 3, true);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 0) << "refused in a read-only column";
    f.g->ToggleRadioGroup(2, 3, false);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 1) << "the program's own toggle";
    f.g->ControlLook().RadioAlwaysActive = true;
    f.g->ToggleRadioGroup(2, 3, true);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 0);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"On");
}

TEST(ExGridRadioGroup, SpaceOnTheCurrentCellChoosesTheNextOptionAndReportsIt) {
    GridOnForm<> f;
    TStringList* options = f.g->CreateRadio(2, 3, 0, -1);
    options->Add(u"Red");
    options->Add(u"Green");
    f.g->SetCellEx(2, 3, u"Red");
    std::vector<std::array<int, 3>> clicks;
    f.g->OnRadioClick = [&](TObject*, int ACol, int ARow, int AIdx) { clicks.push_back({ACol, ARow, AIdx}); };
    f.g->SetFocus();
    f.g->SetCol(2);
    f.g->SetRow(3);
    // Not editable: Space does nothing.
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"Red");
    EXPECT_TRUE(clicks.empty());
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"Green");
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 1);
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"Red");
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], (std::array<int, 3>{2, 3, 1}));
    EXPECT_EQ(clicks[1], (std::array<int, 3>{2, 3, 0}));
    // On a cell without a radio group Space reports nothing.
    f.g->SetCol(1);
    SimulateKey(VK_SPACE);
    EXPECT_EQ(clicks.size(), 2u);
    // Radios always active answer without editing.
    f.g->SetOptions(f.g->Options() - TGridOptions{goEditing});
    f.g->ControlLook().RadioAlwaysActive = true;
    f.g->SetCol(2);
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"Green");
    EXPECT_EQ(clicks.size(), 3u);
}

}  // namespace

namespace {

TEST(ExGridRadioGroup, APressChoosesTheOptionUnderIt) {
    GridOnForm<> f;
    f.g->ControlLook().ControlStyle = csClassic;  // glyphs of RadioSize 10
    TStringList* options = f.g->CreateRadio(2, 3, 1, 0);
    options->Add(u"ab");
    options->Add(u"xyz");
    TBitmap m(1, 1);
    m.Canvas().Font().Assign(&f.g->Font());
    const int w0 = m.Canvas().TextWidth(u"ab") + 10, w1 = m.Canvas().TextWidth(u"xyz") + 10;
    std::vector<int> clicks;
    f.g->OnRadioClick = [&](TObject*, int, int, int AIdx) { clicks.push_back(AIdx); };
    struct Case {
        int offset;
        int chosen;  // -1: nothing chosen, the group stays at option 0
    } cases[] = {{0, -1}, {1, 0}, {w0, 0}, {w0 + 1, 1}, {w0 + w1, 1}, {w0 + w1 + 1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        f.g->SetRadioIdx(2, 3, 0);
        clicks.clear();
        f.g->RadioGroupClick(2, 3, c.offset, 5);
        EXPECT_EQ(f.g->GetRadioIdx(2, 3), c.chosen < 0 ? 0 : c.chosen);
        EXPECT_EQ(clicks, c.chosen < 0 ? std::vector<int>{} : std::vector<int>{c.chosen});
    }
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 3);

    // A real press: refused while the cell may not be edited, then taken.
    f.g->SetRadioIdx(2, 3, 0);
    clicks.clear();
    const TRect cell = f.g->CellRect(2, 3);
    SimulateClick(f.g, cell.Left + w0 + 3, cell.Top + 5);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 0);
    EXPECT_TRUE(clicks.empty());
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
    SimulateClick(f.g, cell.Left + w0 + 3, cell.Top + 5);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 1);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_FALSE(f.g->EditorMode());
}

}  // namespace

namespace {

// Bit buttons are pressed as plain buttons are: the click reports the cell.
TEST(ExGridCellButtons, ABitButtonClicksWhereItIsPainted) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    TBitmap* glyph = g->CreateBitButton(2, 2, 40, 16, u"Go", haRight, vaCenter);
    glyph->SetSize(8, 8);
    UpdateWindow(g->Handle());
    std::vector<std::array<int, 2>> clicks;
    g->OnButtonClick = [&](TObject*, int c, int r) { clicks.push_back({c, r}); };
    const TRect button = g->GetCellButtonRect(2, 2);
    const TRect cell = g->CellRect(2, 2);
    ASSERT_FALSE(IsRectEmpty(button));
    // Inside the grid line, the offset less one and one pixel more.
    EXPECT_EQ(button.Right, cell.Right - 3);
    SimulateClick(g, button.Left + 2, (button.Top + button.Bottom) / 2);
    EXPECT_EQ(clicks, (std::vector<std::array<int, 2>>{{2, 2}}));
    EXPECT_FALSE(g->EditorMode());
    // Left of the button the press is an ordinary one.
    SimulateClick(g, cell.Left + 2, (button.Top + button.Bottom) / 2);
    EXPECT_EQ(clicks.size(), 1u);
}

}  // namespace
