#include "grid/ExCGrid.h"

#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown form with a column grid whose column 1 is edited by the kind under test.
struct TextEditForm {
    TForm form{nullptr};
    TExColumnGrid* g;

    explicit TextEditForm(TEditorType Kind, const String& Text = u"") {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(Kind);
        g->SetCellEx(1, 1, Text);
        form.Show();
        g->SetFocus();
        TRect R = g->CellRect(1, 1);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    // F2 opens the editor on the cell's text, the caret at Caret.
    TInplaceEdit* Open(int Caret) {
        SimulateKey(VK_F2);
        TInplaceEdit* e = g->InplaceEditor();
        if (e) e->SetSelStart(Caret);
        return e;
    }
};

TEST(ExInplaceEdit, TypedCharactersPassTheFilterOfTheCellsKind) {
    struct Case {
        TEditorType kind;
        const char16_t* text;
        int caret;
        const char16_t* typed;
        const char16_t* result;
        int beeps;
    };
    const Case cases[] = {
        {edNumeric, u"12", 0, u"-", u"-12", 0},
        {edNumeric, u"12", 1, u"-", u"12", 1},
        {edNumeric, u"12", 2, u"a3", u"123", 1},
        {edPositiveNumeric, u"12", 0, u"-", u"12", 1},
        {edFloat, u"15", 2, u".5", u"15.5", 0},
        {edFloat, u"1.5", 3, u".", u"1.5", 0},   // a second separator is dropped silently
        {edFloat, u"1.5", 3, u",x", u"1.5", 0},  // the thousands separator and letters too
        {edFloat, u"-1", 0, u"-", u"-1", 1},
        {edPositiveFloat, u"1", 0, u"-", u"1", 0},
        {edUpperCase, u"", 0, u"ab", u"AB", 0},
        {edCapital, u"", 0, u"x", u"X", 0},
        {edLowerCase, u"", 0, u"AB", u"ab", 0},
        {edMixedCase, u"", 0, u"ab cd", u"Ab Cd", 0},
        {edNormal, u"", 0, u"-a.", u"-a.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(String(c.text)) + " + " + StringToUtf8(String(c.typed)));
        TextEditForm f(c.kind, c.text);
        ASSERT_TRUE(f.Open(c.caret));
        int beeps = MessageBeepCount();
        SimulateText(c.typed);
        EXPECT_EQ(f.g->InplaceEditor()->Text(), String(c.result));
        EXPECT_EQ(MessageBeepCount() - beeps, c.beeps);
    }
}

TEST(ExInplaceEdit, ValidCharsTakeOnlyTheirCharactersAndBeepOnOthers) {
    TextEditForm f(edValidChars);
    f.g->SetValidChars(u"ab");
    ASSERT_TRUE(f.Open(0));
    int beeps = MessageBeepCount();
    SimulateText(u"abc");
    SimulateKey(VK_BACK);
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"a");
    EXPECT_EQ(MessageBeepCount() - beeps, 1);
}

TEST(ExInplaceEdit, TheLengthLimitDropsTheNextCharacterButNotBackspaceAndEscapeRestores) {
    TextEditForm f(edNormal, u"old");
    f.g->Columns().Items(1)->SetEditLength(15);
    std::vector<String> changes;
    f.g->OnEditChange = [&](TObject*, int, int, const String& v) { changes.push_back(v); };
    ASSERT_TRUE(f.Open(0));
    f.g->InplaceEditor()->SelectAll();
    SimulateText(u"0123456789abcdef");
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"0123456789abcde");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), u"0123456789abcde");
    SimulateKey(VK_BACK);
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"0123456789abcd");
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"old");
}

TEST(ExInplaceEdit, APasteIsTakenWholeOrNotAtAll) {
    struct Case {
        TEditorType kind;
        int limit;
        const char16_t* text;  // the caret at its end
        const char16_t* pasted;
        const char16_t* result;
    };
    const Case cases[] = {
        {edNormal, 15, u"old", u"0123456789ab", u"old0123456789ab"},
        {edNormal, 15, u"old", u"0123456789abc", u"old"},  // sixteen characters: none of them
        {edNormal, 0, u"old", u"x\r\n", u"oldx"},
        {edNumeric, 0, u"12", u"1.5", u"12"},
        {edPositiveNumeric, 0, u"", u"-7", u""},
        {edUpperCase, 0, u"old", u"ab", u"OLDAB"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(StringToUtf8(String(k.pasted)));
        TextEditForm f(k.kind, k.text);
        f.g->Columns().Items(1)->SetEditLength(k.limit);
        ASSERT_TRUE(f.Open(int(String(k.text).size())));
        Clipboard().SetAsText(k.pasted);
        f.g->InplaceEditor()->Perform(WM_PASTE, 0, 0);
        EXPECT_EQ(f.g->InplaceEditor()->Text(), String(k.result));
    }
}

TEST(ExInplaceEdit, CtrlEnterBreaksALineOnlyWhereTheGridAllowsIt) {
    for (bool allow : {true, false}) {
        TextEditForm f(edNormal, u"ab");
        ASSERT_TRUE(f.g->WordWrap());
        f.g->Navigation().SetAllowCtrlEnter(allow);
        ASSERT_TRUE(f.Open(1));
        SimulateKey(VK_RETURN, {ssCtrl}, 10);
        EXPECT_TRUE(f.g->EditorMode());
        EXPECT_EQ(f.g->InplaceEditor()->Text().size(), allow ? 4u : 2u) << allow;
    }
}

TEST(ExInplaceEdit, EnterRefusedByValidationKeepsTheEditorOnTheHandlersValue) {
    TextEditForm f(edNormal, u"a");
    f.g->OnCellValidate = [](TObject*, int, int, String& v, bool& valid) {
        valid = v != u"bad";
        if (!valid) v = u"fixed";
    };
    ASSERT_TRUE(f.Open(1));
    SimulateText(u"x");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"ax");
    if (f.g->EditorMode()) SimulateKey(VK_RETURN);
    ASSERT_TRUE(f.Open(0));
    f.g->InplaceEditor()->SelectAll();
    SimulateText(u"bad");
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"fixed");
    EXPECT_EQ(f.g->Row(), 1);
}

TEST(ExInplaceEdit, ADedicatedEditorEndingWithAnArrowMovesTheCell) {
    TextEditForm f(edNormal, u"a");
    ASSERT_TRUE(f.Open(0));
    f.g->DoneInplaceEdit(VK_DOWN, {});
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_TRUE(f.g->Focused());
}

TEST(ExInplaceEdit, TypingCompletesFromTheLookupItems) {
    TextEditForm f(edNormal);
    f.g->SetLookup(true);
    f.g->LookupItems().Add(u"Alpha");
    f.g->LookupItems().Add(u"Beta");
    TInplaceEdit* e = f.Open(0);
    ASSERT_TRUE(e);
    SimulateText(u"a");
    EXPECT_EQ(e->Text(), u"alpha");
    EXPECT_EQ(e->SelStart(), 1);
    EXPECT_EQ(e->SelLength(), 4);
    // Backspace takes the completion away and completes nothing itself.
    SimulateKey(VK_BACK);
    EXPECT_EQ(e->Text(), u"a");
    SimulateKey(VK_BACK);
    EXPECT_EQ(e->Text(), u"");
    SimulateText(u"bx");
    EXPECT_EQ(e->Text(), u"bx");
    // Case counts when asked to.
    f.g->SetLookupCaseSensitive(true);
    e->SetText(u"");
    SimulateText(u"b");
    EXPECT_EQ(e->Text(), u"b");
}

TEST(ExInplaceEdit, ALeftTextJoinsTheLookupHistoryOnce) {
    TextEditForm f(edNormal);
    f.g->SetLookupHistory(true);
    for (int i = 0; i < 2; ++i) {
        TRect R = f.g->CellRect(1, 1);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        TInplaceEdit* e = f.Open(0);
        ASSERT_TRUE(e);
        e->SetText(u"Gamma");
        SimulateKey(VK_RETURN);
    }
    EXPECT_EQ(f.g->LookupItems().Count(), 1);
    EXPECT_EQ(f.g->LookupItems()[0], u"Gamma");
}

}  // namespace

namespace {

// Column 2 edited by the text editor from a given caret, the arrow keys
// walking out of it; column 3 holds data check boxes.
struct WalkForm : TextEditForm {
    std::vector<std::string> log;
    bool refuse = false;

    WalkForm() : TextEditForm(edNormal) {
        g->Navigation().SetCursorWalkEditor(true);
        g->Columns().Items(3)->SetEditor(edDataCheckBox);
        for (int c = 1; c <= 2; ++c) g->SetCellEx(c, 1, u"ab");
        g->OnCellValidate = [this](TObject*, int c, int r, String& v, bool& valid) {
            log.push_back("validate " + std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(v));
            valid = !refuse;
        };
        TRect R = g->CellRect(2, 1);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
};

}  // namespace

TEST(ExInplaceEdit, ArrowsAtTheEdgeOfTheTextWalkToTheCellBeside) {
    struct Case {
        const char* name;
        int caret;
        Word key;
        TShiftState shift;
        bool walk, alwaysEdit, refuse;
        int col;
        bool editing;
    };
    const Case cases[] = {
        {"left at the start", 0, VK_LEFT, {}, true, true, false, 1, true},
        {"right at the end onto a check box", 3, VK_RIGHT, {}, true, true, false, 3, false},
        {"left inside the text", 1, VK_LEFT, {}, true, true, false, 2, true},
        {"left without the walk", 0, VK_LEFT, {}, false, true, false, 2, true},
        {"right at the end goes to the grid anyway", 3, VK_RIGHT, {}, false, true, false, 3, false},
        {"left at the start, editor closed there", 0, VK_LEFT, {}, true, false, false, 1, false},
        {"left refused", 0, VK_LEFT, {}, true, true, true, 2, true},
        {"shift+right at the end", 3, VK_RIGHT, {ssShift}, true, true, false, 2, false},
        {"shift+left at the start", 0, VK_LEFT, {ssShift}, true, true, false, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WalkForm f;
        f.g->Navigation().SetCursorWalkEditor(c.walk);
        f.g->Navigation().SetCursorWalkAlwaysEdit(c.alwaysEdit);
        f.refuse = c.refuse;
        TInplaceEdit* e = f.Open(2);
        ASSERT_TRUE(e);
        SimulateText(u"x");
        e->SetSelStart(c.caret);
        SimulateKey(c.key, c.shift);
        EXPECT_EQ(f.g->Col(), c.col);
        EXPECT_EQ(f.g->Row(), 1);
        EXPECT_EQ(f.g->EditorMode(), c.editing);
        if (!c.editing) EXPECT_TRUE(f.g->Focused());
        if (c.editing && c.col != 2) EXPECT_EQ(f.g->InplaceEditor()->Text(), u"ab");
        // The typed text stays in the cell it was typed in.
        EXPECT_EQ(f.g->Cells(2, 1), String(u"abx"));
        if (c.col == 2 && c.editing) EXPECT_EQ(f.g->InplaceEditor()->Text(), u"abx");
        if (c.refuse) EXPECT_EQ(f.log, std::vector<std::string>{"validate 2,1 abx"});
    }
}

TEST(ExInplaceEdit, TheColumnGrowsWithTheTypedTextWhenTheGridSaysSo) {
    for (bool grow : {false, true}) {
        SCOPED_TRACE(grow);
        TextEditForm f(edNormal);
        f.g->SizeWhileTyping().SetWidth(grow);
        const int before = f.g->ColWidths(1);
        TInplaceEdit* e = f.Open(0);
        ASSERT_TRUE(e);
        SimulateText(u"a long text typed into a narrow column");
        const int after = f.g->ColWidths(1);
        if (!grow) {
            EXPECT_EQ(after, before);
            continue;
        }
        EXPECT_GT(after, before);
        EXPECT_GE(after, f.g->Canvas().TextWidth(e->Text()));
        // The editor covers the wider cell; deleting text does not shrink it again.
        EXPECT_GT(e->Width(), before);
        for (int i = 0; i < 20; ++i) SimulateKey(VK_BACK);
        EXPECT_EQ(f.g->ColWidths(1), after);
    }
}

TEST(ExInplaceEdit, TheRowGrowsWithWrappedTextWhenTheGridSaysSo) {
    for (bool grow : {false, true}) {
        SCOPED_TRACE(grow);
        TextEditForm f(edNormal);
        f.g->SetWordWrap(true);
        f.g->SizeWhileTyping().SetHeight(grow);
        std::vector<int> ends;
        f.g->OnEndRowSize = [&](TObject*, int ARow) { ends.push_back(ARow); };
        const int before = f.g->RowHeights(1);
        TInplaceEdit* e = f.Open(0);
        ASSERT_TRUE(e);
        SimulateText(u"words enough to wrap over several lines in a narrow column");
        if (!grow) {
            EXPECT_EQ(f.g->RowHeights(1), before);
            EXPECT_TRUE(ends.empty());
            continue;
        }
        // Several lines of the grid's font, and the end of the sizing reported for the row.
        EXPECT_GT(f.g->RowHeights(1), 2 * f.g->Canvas().TextHeight(u"gh"));
        ASSERT_FALSE(ends.empty());
        EXPECT_EQ(ends.back(), 1);
        EXPECT_GT(e->Height(), before);
    }
}
