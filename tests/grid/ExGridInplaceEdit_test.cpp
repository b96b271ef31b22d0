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

// Without ValidChars the set of 8-bit characters decides.
TEST(ExInplaceEdit, WithoutValidCharsTheCharacterSetDecides) {
    TextEditForm f(edValidChars);
    f.g->ValidCharSet[u'1'] = f.g->ValidCharSet[u'2'] = true;
    ASSERT_TRUE(f.Open(0));
    int beeps = MessageBeepCount();
    SimulateText(u"13x2");
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"12");
    EXPECT_EQ(MessageBeepCount() - beeps, 2);
}

// A password cell is shown in the grid's password character.
TEST(ExInplaceEdit, APasswordCellShowsTheGridsPasswordCharacter) {
    TextEditForm f(edPassword, u"secret");
    f.g->SetPasswordChar(u'#');
    TInplaceEdit* e = f.Open(0);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->PasswordChar(), u'#');
    // A password is entered on one line, in a grid that wraps and takes Ctrl+Enter.
    EXPECT_FALSE(e->WordWrap());
    e->SetSelStart(3);
    SimulateKey(VK_RETURN, {ssCtrl}, 10);
    EXPECT_EQ(e->Text(), u"secret");
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
    // A line break needs AllowCtrlEnter and cells that show more than one
    // line: wrapped or multi-line. Elsewhere the key goes no further, not
    // even to the grid's OnKeyDown.
    struct Case {
        bool wordWrap, multiline, allow, breaks;
    };
    const Case cases[] = {
        {true, false, true, true},   {true, false, false, false}, {false, true, true, true},
        {false, true, false, false}, {false, false, true, false}, {true, true, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.wordWrap << k.multiline << k.allow);
        TextEditForm f(edNormal, u"ab");
        f.g->SetWordWrap(k.wordWrap);
        f.g->Tools().Multilinecells = k.multiline;
        f.g->Navigation().SetAllowCtrlEnter(k.allow);
        bool heard = false;
        f.g->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { heard = heard || Key == VK_RETURN; };
        ASSERT_TRUE(f.Open(1));
        SimulateKey(VK_RETURN, {ssCtrl}, 10);
        EXPECT_TRUE(f.g->EditorMode());
        EXPECT_EQ(f.g->InplaceEditor()->Text(), k.breaks ? u"a\r\nb" : u"ab");
        EXPECT_EQ(heard, k.breaks);
    }
}

TEST(ExInplaceEdit, LineFeedOnEnterSwapsWhatEnterAndCtrlEnterDo) {
    // With the setting Enter breaks the line of a text cell and Ctrl+Enter
    // ends the edit; cells for numbers keep Enter as the end of the edit.
    struct Case {
        TEditorType kind;
        const char16_t *start, *typed;  // typed with the caret after the first character
        bool lineFeed;
        TShiftState shift;
        Char ch;
        bool open;
        const char16_t* text;  // the editor's text while open, else the cell's
    };
    const Case cases[] = {
        {edNormal, u"ab", u"x", true, {}, 13, true, u"ax\r\nb"},
        {edUpperCase, u"AB", u"x", true, {}, 13, true, u"AX\r\nB"},
        {edNormal, u"ab", u"x", true, {ssCtrl}, 10, false, u"axb"},
        {edNormal, u"ab", u"x", false, {}, 13, false, u"axb"},
        {edNormal, u"ab", u"x", false, {ssCtrl}, 10, true, u"ax\r\nb"},
        {edNumeric, u"12", u"3", true, {}, 13, false, u"132"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int(k.kind) << k.lineFeed << int(k.ch));
        TextEditForm f(k.kind, k.start);
        f.g->Navigation().SetLineFeedOnEnter(k.lineFeed);
        ASSERT_TRUE(f.Open(1));
        SimulateText(k.typed);
        SimulateKey(VK_RETURN, k.shift, k.ch);
        EXPECT_EQ(f.g->EditorMode(), k.open);
        if (k.open) EXPECT_EQ(f.g->InplaceEditor()->Text(), String(k.text));
        else EXPECT_EQ(f.g->GetCellEx(1, 1), String(k.text));
    }
}

TEST(ExInplaceEdit, CtrlOrShiftEnterGrowsTheRowOfMultiLineCellsSizedWhileTyping) {
    // Without word wrap, so that only the line count sizes the row.
    struct Case {
        bool multiline, sizeWhileTyping;
        TShiftState shift;
        Char ch;
        const char16_t* neighbour;  // another cell of the row
        int lines;                  // the row's height in lines afterwards; 0: unchanged
        const char16_t* text;       // the editor's text, or the cell's once Shift+Enter closed it
    };
    const Case cases[] = {
        {true, true, {ssCtrl}, 10, u"", 2, u"a\r\nb"},
        {true, true, {ssShift}, 13, u"", 2, u"ab"},
        {false, true, {ssCtrl}, 10, u"", 0, u"ab"},
        {true, false, {ssCtrl}, 10, u"", 0, u"a\r\nb"},
        // A higher neighbour keeps the row at its own height.
        {true, true, {ssCtrl}, 10, u"1\r\n2\r\n3\r\n4", 4, u"a\r\nb"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.multiline << k.sizeWhileTyping << int(k.ch) << k.lines);
        TextEditForm f(edNormal, u"ab");
        f.g->SetWordWrap(false);
        f.g->Tools().Multilinecells = k.multiline;
        f.g->SizeWhileTyping().SetHeight(k.sizeWhileTyping);
        f.g->SetCellEx(2, 1, k.neighbour);
        std::vector<int> ends;
        f.g->OnEndRowSize = [&](TObject*, int ARow) { ends.push_back(ARow); };
        const int before = f.g->RowHeights(1);
        ASSERT_TRUE(f.Open(1));
        SimulateKey(VK_RETURN, k.shift, k.ch);
        const int h = f.g->Canvas().TextHeight(u"gh");
        if (k.lines == 0) {
            EXPECT_EQ(f.g->RowHeights(1), before);
            EXPECT_TRUE(ends.empty());
        } else {
            EXPECT_EQ(ends, std::vector<int>{1});
            if (k.neighbour[0]) EXPECT_GE(f.g->RowHeights(1), k.lines * h);
            else EXPECT_EQ(f.g->RowHeights(1), f.g->TotalYOffset() + k.lines * (h + h / 8));
        }
        const bool open = k.ch == 10;
        EXPECT_EQ(f.g->EditorMode(), open);
        EXPECT_EQ(open ? f.g->InplaceEditor()->Text() : f.g->GetCellEx(1, 1), k.text);
    }
    // Each further line grows the row again.
    TextEditForm f(edNormal, u"ab");
    f.g->SetWordWrap(false);
    f.g->Tools().Multilinecells = true;
    f.g->SizeWhileTyping().SetHeight(true);
    ASSERT_TRUE(f.Open(2));
    SimulateKey(VK_RETURN, {ssCtrl}, 10);
    const int two = f.g->RowHeights(1);
    SimulateKey(VK_RETURN, {ssCtrl}, 10);
    EXPECT_GT(f.g->RowHeights(1), two);
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"ab\r\n\r\n");
}

TEST(ExInplaceEdit, UpAndDownMoveBetweenTheEditorsLinesAndLeaveOnlyFromTheFirstOrLast) {
    struct Case {
        const char16_t* text;
        bool wordWrap;
        int caret;
        Word key;
        int after;  // the caret after the key; -1: the key went to the grid
    };
    const Case cases[] = {
        {u"ab\r\ncd", false, 1, VK_DOWN, 5},
        {u"ab\r\ncd", false, 5, VK_UP, 1},
        {u"abc\r\nd", false, 3, VK_DOWN, 6},  // a shorter line takes the caret at its end
        {u"ab\r\ncd", false, 5, VK_DOWN, -1},
        {u"ab", false, 1, VK_DOWN, -1},
        // Lines broken by the wrap count as well.
        {u"words enough to wrap over several lines", true, 0, VK_DOWN, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.caret << " " << k.key << " " << k.wordWrap);
        TextEditForm f(edNormal, k.text);
        f.g->SetWordWrap(k.wordWrap);
        f.g->Tools().Multilinecells = true;
        f.g->SetRowCount(4);
        TInplaceEdit* e = f.Open(k.caret);
        ASSERT_TRUE(e);
        SimulateKey(k.key);
        if (k.after < 0) {
            EXPECT_EQ(f.g->Row(), 2);
            EXPECT_EQ(f.g->GetCellEx(1, 1), k.text);
            continue;
        }
        EXPECT_EQ(f.g->Row(), 1);
        ASSERT_TRUE(f.g->EditorMode());
        if (k.after > 0) EXPECT_EQ(e->SelStart(), k.after);
        else EXPECT_GT(e->SelStart(), 0);
        EXPECT_EQ(e->SelLength(), 0);
    }
    // Shift carries the selection over the lines.
    TextEditForm f(edNormal, u"ab\r\ncd");
    f.g->SetWordWrap(false);
    TInplaceEdit* e = f.Open(1);
    ASSERT_TRUE(e);
    SimulateKey(VK_DOWN, {ssShift});
    EXPECT_EQ(e->SelText(), u"b\r\nc");
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
    auto* x = dynamic_cast<TExInplaceEdit*>(e);
    ASSERT_TRUE(x);
    EXPECT_FALSE(x->GotKey());
    EXPECT_TRUE(x->Workmode());
    SimulateText(u"a");
    EXPECT_EQ(e->Text(), u"alpha");
    EXPECT_EQ(e->SelStart(), 1);
    EXPECT_EQ(e->SelLength(), 4);
    EXPECT_FALSE(x->GotKey());  // the completion came after the key
    // Backspace takes the completion away and completes nothing itself.
    SimulateKey(VK_BACK);
    EXPECT_TRUE(x->GotKey());
    EXPECT_FALSE(x->Workmode());
    EXPECT_EQ(e->Text(), u"a");
    SimulateKey(VK_BACK);
    EXPECT_EQ(e->Text(), u"");
    SimulateText(u"bx");
    EXPECT_TRUE(x->Workmode());
    EXPECT_TRUE(x->GotKey());  // nothing completes "bx"
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

namespace {

// How the caret sits when the text editor opens: all selected, at the end,
// under a pressing mouse, or on a masked text's first position.
TEST(ExInplaceEdit, TheCaretOnEntryFollowsTheGridsSettingsAndThePress) {
    struct Case {
        const char* name;
        bool selectAll, caretPositioning, byPress;
        const char16_t* mask;
        bool improveMaskSel;
        int selStart, selLength;
    };
    const Case cases[] = {
        {"select all", true, false, false, u"", false, 0, 6},
        {"at the end", false, false, false, u"", false, 6, 0},
        {"press without positioning", true, false, true, u"", false, 0, 6},
        {"press with positioning", true, true, true, u"", false, -1, 0},
        {"masked", true, false, false, u"000000;1;_", true, 0, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TextEditForm f(edNormal, u"abcdef");
        f.g->Navigation().SetEditSelectAll(k.selectAll);
        f.g->MouseActions().SetCaretPositioning(k.caretPositioning);
        f.g->Navigation().SetImproveMaskSel(k.improveMaskSel);
        if (k.mask[0]) f.g->SetCellEx(1, 1, u"123456");
        f.g->SetEditMask(k.mask);
        const TRect R = f.g->CellRect(1, 1);
        const int x = R.Left + 3 + f.g->Canvas().TextWidth(u"abc");
        if (k.byPress) SimulateClick(f.g, x, R.Top + 5);
        else SimulateKey(VK_RETURN);  // F2 would leave the caret at the end in any case
        TInplaceEdit* e = f.g->InplaceEditor();
        ASSERT_TRUE(e && e->Visible() && e->Focused());
        if (k.selStart >= 0) {
            EXPECT_EQ(e->SelStart(), k.selStart);
        } else {
            // Under the mouse: in the middle of the text, not at its ends.
            EXPECT_GT(e->SelStart(), 1);
            EXPECT_LT(e->SelStart(), 5);
        }
        EXPECT_EQ(e->SelLength(), k.selLength);
    }
}

}  // namespace

namespace {

// The grid's clipboard events frame the editor's cut, copy and paste: each
// may refuse, the paste's text may be changed before and is told after.
TEST(ExInplaceEdit, TheClipboardEventsMayRefuseOrChangeWhatTheEditorMoves) {
    struct Case {
        const char* name;
        Cardinal msg;
        bool allow;             // what OnClipboardCut/Copy/Paste answers
        const char16_t* before;  // OnClipboardBeforePasteCell's replacement (null: unchanged)
        const char16_t* text;    // the editor afterwards
        const char16_t* clip;    // the clipboard afterwards
        const char* log;
    };
    const Case cases[] = {
        {"paste", WM_PASTE, true, nullptr, u"abclip", u"clip", "paste;before clip;after abclip;"},
        {"paste refused", WM_PASTE, false, nullptr, u"ab", u"clip", "paste;"},
        {"paste changed", WM_PASTE, true, u"XY", u"abXY", u"clip", "paste;before clip;after abXY;"},
        // A number column takes no letters; the cell is told what the editor holds.
        {"paste not fitting", WM_PASTE, true, u"1.5", u"ab", u"clip", "paste;before clip;after ab;"},
        {"copy", WM_COPY, true, nullptr, u"ab", u"ab", "copy;"},
        {"copy refused", WM_COPY, false, nullptr, u"ab", u"clip", "copy;"},
        {"cut", WM_CUT, true, nullptr, u"", u"ab", "cut;"},
        {"cut refused", WM_CUT, false, nullptr, u"ab", u"clip", "cut;"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const bool numeric = std::string(k.name) == "paste not fitting";
        TextEditForm f(numeric ? edNumeric : edNormal, u"ab");
        if (numeric) f.g->SetCellEx(1, 1, u"ab");
        std::string log;
        auto answer = [&](const char* what) {
            return [&, what](TObject* Sender, bool& Allow) {
                EXPECT_EQ(Sender, f.g->InplaceEditor());
                log += std::string(what) + ";";
                Allow = k.allow;
            };
        };
        f.g->OnClipboardPaste = answer("paste");
        f.g->OnClipboardCopy = answer("copy");
        f.g->OnClipboardCut = answer("cut");
        f.g->OnClipboardBeforePasteCell = [&](TObject*, int c, int r, String& v, bool&) {
            EXPECT_EQ(c, 1);
            EXPECT_EQ(r, 1);
            log += "before " + StringToUtf8(v) + ";";
            if (k.before) v = k.before;
        };
        f.g->OnClipboardAfterPasteCell = [&](TObject*, int, int, const String& v) {
            log += "after " + StringToUtf8(v) + ";";
        };
        TInplaceEdit* e = f.Open(2);
        ASSERT_TRUE(e);
        if (k.msg != WM_PASTE) e->SelectAll();
        Clipboard().SetAsText(u"clip");
        e->Perform(k.msg, 0, 0);
        EXPECT_EQ(e->Text(), String(k.text));
        EXPECT_EQ(Clipboard().AsText(), String(k.clip));
        EXPECT_EQ(log, k.log);
    }
}

}  // namespace

namespace {

// The editor takes the look of the cell it opens on, and a plain cell's again after.
TEST(ExInplaceEdit, TheEditorTakesItsCellsColourFontAndAlignment) {
    TextEditForm f(edNormal, u"12");
    f.g->SetCellEx(1, 2, u"34");
    f.g->OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush& ABrush, TFont& AFont) {
        if (ARow != 1 || ACol != 1) return;
        ABrush.SetColor(clYellow);
        AFont.SetColor(clRed);
        AFont.SetStyle(TFontStyles{fsBold});
    };
    f.g->OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment& HA, TVAlignment&) {
        if (ARow == 1 && ACol == 1) HA = taRightJustify;
    };
    SimulateKey(VK_RETURN);
    TInplaceEdit* e = f.g->InplaceEditor();
    ASSERT_TRUE(e && e->Visible());
    EXPECT_EQ(e->Color(), clYellow);
    EXPECT_EQ(e->Font().Color(), clRed);
    EXPECT_TRUE(e->Font().Style().Contains(fsBold));
    EXPECT_EQ(e->Alignment(), taRightJustify);
    SimulateKey(VK_RETURN);
    SimulateKey(VK_DOWN);
    SimulateKey(VK_RETURN);
    ASSERT_EQ(f.g->Row(), 2);
    ASSERT_TRUE(e->Visible());
    EXPECT_EQ(e->Color(), f.g->Color());
    EXPECT_FALSE(e->Font().Style().Contains(fsBold));
    EXPECT_EQ(e->Alignment(), taLeftJustify);
}

}  // namespace

namespace {

// Ctrl+A selects the whole text and reaches neither the grid's key events nor
// its cells; plain Home and End move the caret within the text even at its
// edge (where the grid would otherwise take them as column moves).
TEST(ExInplaceEdit, CtrlASelectsTheTextAndHomeEndStayInIt) {
    struct Case {
        Word key;
        TShiftState shift;
        int caret;
        int selStart, selLength, col;
    };
    const Case cases[] = {
        {'A', TShiftState{ssCtrl}, 2, 0, 5, 2},
        {VK_HOME, {}, 0, 0, 0, 2},  // at the start already: stays in the editor
        {VK_HOME, {}, 3, 0, 0, 2},
        {VK_END, {}, 5, 5, 0, 2},   // at the end already
        {VK_END, {}, 1, 5, 0, 2},
        {VK_HOME, {}, -1, 0, 0, 2}, // all selected (as on entry)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " caret " + std::to_string(c.caret));
        TextEditForm f(edNormal, u"hello");
        f.g->SetColCount(4);
        SimulateKey(VK_RIGHT);
        ASSERT_EQ(f.g->Col(), 2);
        f.g->SetCellEx(2, 1, u"hello");
        TInplaceEdit* e = f.Open(0);
        ASSERT_TRUE(e);
        if (c.caret < 0) e->SelectAll();
        else e->SetSelStart(c.caret);
        int keyDowns = 0, keyPresses = 0;
        f.g->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++keyDowns; };
        f.g->OnKeyPress = [&](TObject*, Char&) { ++keyPresses; };
        SimulateKey(c.key, c.shift, c.key == 'A' ? Char(1) : Char(0));
        EXPECT_EQ(f.g->Col(), c.col);
        ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        EXPECT_EQ(e->SelStart(), c.selStart);
        EXPECT_EQ(e->SelLength(), c.selLength);
        EXPECT_EQ(keyDowns, 0);
        EXPECT_EQ(keyPresses, 0);
        EXPECT_EQ(e->Text(), u"hello");
    }
}

}  // namespace

namespace {

// A grid that records what its editor tells descendants.
struct HookGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    std::vector<std::string> log;
    TPoint pos;
    void InplaceEditHook(const String& Text, TPoint Pos, int Caret) override {
        log.push_back("edit " + StringToUtf8(Text) + " " + std::to_string(Caret));
        pos = Pos;
    }
    void EditHook(bool Formula) override { log.push_back(Formula ? "formula" : "text"); }
    void EditKeyDownHook(Word& Key, TShiftState) override { log.push_back("down " + std::to_string(Key)); }
    void EditKeyUpHook(Word& Key, TShiftState) override { log.push_back("key " + std::to_string(Key)); }
};

struct HookForm {
    TForm form{nullptr};
    HookGrid* g;
    TExColumnGrid* other;
    explicit HookForm(const String& Text) {
        form.SetBounds(0, 0, 500, 350);
        g = new HookGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 200);
        g->SetCellEx(1, 1, Text);
        other = new TExColumnGrid(&form);
        other->SetParent(&form);
        other->SetBounds(0, 210, 400, 100);
        form.Show();
        g->SetFocus();
        TRect R = g->CellRect(1, 1);
        SimulateClick(g, R.Left + 5, R.Top + 5);
        SimulateKey(VK_F2);
    }
};

// Every key in the editor reaches the grid's key hooks, and going up reports
// the caret (with the place of the character before it) and whether the
// text is a formula; leaving reports no caret and no formula.
TEST(ExInplaceEdit, TheEditorReportsCaretAndFormulaToDescendants) {
    HookForm f(u"=a");
    TInplaceEdit* e = f.g->InplaceEditor();
    ASSERT_TRUE(e && e->Visible());
    e->SetSelStart(2);
    f.g->log.clear();
    SimulateText(u"b");
    EXPECT_EQ(f.g->log, (std::vector<std::string>{"down 66", "key 66", "edit =ab 3", "formula"}));
    // The character before the caret (the "a") stands past the margin and the "=".
    EXPECT_GT(f.g->pos.X, 3);
    EXPECT_EQ(f.g->pos.Y, 3);
    e->SetSelStart(0);
    f.g->log.clear();
    SimulateKey(VK_DELETE);
    EXPECT_EQ(f.g->log, (std::vector<std::string>{"down 46", "key 46", "text"}));
    // Ctrl+A ends in the editor before the grid's hook for keys it hands on.
    f.g->log.clear();
    SimulateKey('A', {ssCtrl}, 1);
    EXPECT_EQ(f.g->log, (std::vector<std::string>{"down 65", "text"}));
    f.g->log.clear();
    f.other->SetFocus();
    EXPECT_EQ(f.g->log, (std::vector<std::string>{"text", "edit ab -1"}));
    EXPECT_EQ(f.g->pos, (TPoint{-1, -1}));
}

// While Alt+Backspace is held, the editor losing the focus does not
// validate; without it, the same loss validates the typed text.
TEST(ExInplaceEdit, FocusLostWhileAltBackspaceIsHeldEndsNothing) {
    for (bool held : {true, false}) {
        SCOPED_TRACE(held);
        HookForm f(u"a");
        int validations = 0;
        f.g->OnCellValidate = [&](TObject*, int, int, String&, bool&) { ++validations; };
        ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        SimulateText(u"x");
        if (held) SimulateKeyDown(VK_BACK, {ssAlt});
        f.other->SetFocus();
        EXPECT_EQ(validations, held ? 0 : 1);
        if (held) SimulateKeyUp(VK_BACK, {ssAlt});
    }
}

}  // namespace

namespace {

// The editor covers its cell but the grid line, and keeps its text 3 pixels
// from the top and from the side it is aligned to (2 on the right): the
// selection highlight of the whole text shows where the text stands.
// Right alignment follows the cell and may be switched on the open editor.
TEST(ExInplaceEdit, TheTextKeepsItsMarginsInsideTheCellAndFollowsVAlign) {
    struct Case {
        TAlignment cell;
        int setVAlign;  // -1: left as the cell says
        bool right;
    };
    const Case cases[] = {
        {taLeftJustify, -1, false},
        {taRightJustify, -1, true},
        {taLeftJustify, 1, true},
        {taRightJustify, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.cell) << c.setVAlign);
        TextEditForm f(edNormal, u"WW");
        f.g->OnGetAlignment = [&](TObject*, int, int, TAlignment& HA, TVAlignment&) { HA = c.cell; };
        SimulateKey(VK_RETURN);
        auto* e = static_cast<TExInplaceEdit*>(f.g->InplaceEditor());
        ASSERT_TRUE(e && e->Visible());
        const TRect R = f.g->CellRect(1, 1);
        EXPECT_EQ(e->Left(), R.Left);
        EXPECT_EQ(e->Top(), R.Top);
        EXPECT_EQ(e->Width(), R.Right - R.Left - 1);
        EXPECT_EQ(e->Height(), R.Bottom - R.Top - 1);
        EXPECT_EQ(e->VAlign(), c.cell == taRightJustify);
        if (c.setVAlign >= 0) e->SetVAlign(c.setVAlign == 1);
        EXPECT_EQ(e->VAlign(), c.right);
        e->SelectAll();
        TBitmap shot;
        RenderControlToBitmap(e, shot);
        // A corner outside the margins shows the background.
        const TColor back = shot.Canvas().Pixels(e->Width() - 1, e->Height() - 1);
        int left = 1 << 20, right = -1, top = 1 << 20;
        for (int y = 0; y < e->Height(); ++y)
            for (int x = 0; x < e->Width(); ++x)
                if (shot.Canvas().Pixels(x, y) != back) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                }
        ASSERT_GE(right, 0);
        EXPECT_EQ(top, 3);
        if (c.right) EXPECT_EQ(right, e->Width() - 3);
        else EXPECT_EQ(left, 3);
    }
}

}  // namespace

namespace {

// Switching the grid's word wrap reaches an open editor at once: its text
// runs onto further lines or back onto one.
TEST(ExInplaceEdit, TheGridsWordWrapTakesEffectOnTheOpenEditor) {
    TextEditForm f(edNormal, u"aaa bbb ccc ddd eee");
    f.g->SetRowHeights(1, 80);
    SimulateKey(VK_RETURN);
    TInplaceEdit* e = f.g->InplaceEditor();
    ASSERT_TRUE(e && e->Visible());
    auto lowestInk = [e] {
        TBitmap shot;
        RenderControlToBitmap(e, shot);
        const TColor back = shot.Canvas().Pixels(e->Width() - 1, e->Height() - 1);
        int bottom = -1;
        for (int y = 0; y < e->Height(); ++y)
            for (int x = 0; x < e->Width() - 1; ++x)
                if (shot.Canvas().Pixels(x, y) != back) bottom = y;
        return bottom;
    };
    for (bool wrap : {true, false, true}) {
        SCOPED_TRACE(wrap);
        f.g->SetWordWrap(wrap);
        e->Deselect();
        const int lineHeight = e->Canvas().TextHeight(u"Wg");
        if (wrap) EXPECT_GT(lowestInk(), 3 + lineHeight);
        else EXPECT_LE(lowestInk(), 3 + lineHeight);
    }
}

}  // namespace

namespace {

// Where Enter types line breaks, a grid that refuses Ctrl+Enter still
// validates the text when the cursor moves on after such a break: the
// edit stays pending, whatever the Ctrl+Enter setting.
TEST(ExInplaceEdit, ALineBreakTypedByEnterLeavesTheEditPendingValidation) {
    for (bool allowCtrlEnter : {true, false}) {
        SCOPED_TRACE(allowCtrlEnter);
        TextEditForm f(edNormal, u"ab");
        f.g->Navigation().SetLineFeedOnEnter(true);
        f.g->Navigation().SetAllowCtrlEnter(allowCtrlEnter);
        std::vector<String> validated;
        f.g->OnCellValidate = [&](TObject*, int, int, String& Value, bool&) { validated.push_back(Value); };
        ASSERT_TRUE(f.Open(2));
        SimulateKey(VK_RETURN);
        ASSERT_TRUE(f.g->EditorMode());
        EXPECT_EQ(f.g->InplaceEditor()->Text(), u"ab\r\n");
        SimulateKey(VK_DOWN);
        EXPECT_EQ(f.g->Row(), 2);
        EXPECT_EQ(validated, std::vector<String>{u"ab\r\n"});
    }
}

}  // namespace

namespace {

// With automatic advance on Enter, filling the grid's maximum length moves
// on to the next cell as Enter would; short of it, or without either
// setting, the editor stays on the cell.
TEST(ExInplaceEdit, TypingToTheMaximumLengthAdvancesAutomatically) {
    struct Case {
        bool advanceAuto, advanceOnEnter;
        const char16_t* typed;
        bool moved;
    };
    const Case cases[] = {
        {true, true, u"abc", true},
        {true, true, u"ab", false},
        {false, true, u"abc", false},
        {true, false, u"abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.advanceAuto << c.advanceOnEnter << StringToUtf8(c.typed));
        TextEditForm f(edNormal);
        f.g->SetMaxEditLength(3);
        f.g->Navigation().SetAdvanceAuto(c.advanceAuto);
        f.g->Navigation().SetAdvanceOnEnter(c.advanceOnEnter);
        ASSERT_TRUE(f.Open(0));
        SimulateText(c.typed);
        EXPECT_EQ(f.g->Col() != 1 || f.g->Row() != 1, c.moved);
        EXPECT_EQ(f.g->GetCellEx(1, 1), String(c.typed));
    }
}

// The keypad's decimal key types the locale's separator into the open
// editor where the grid asks for it; the main full stop key stays a full stop.
TEST(ExInplaceEdit, TheKeypadDecimalKeyTypesTheLocalesSeparator) {
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = u',';
    const TFormatSettings old = SetFormatSettings(fs);
    struct Case {
        bool excel;
        Word key;
        const char16_t* typed;
    };
    for (const Case& k : {Case{true, VK_DECIMAL, u"1,"}, Case{false, VK_DECIMAL, u"1."}, Case{true, VK_OEM_PERIOD, u"1."}}) {
        SCOPED_TRACE(testing::Message() << k.excel << k.key);
        TextEditForm f(edNormal, u"1");
        f.g->SetExcelStyleDecimalSeparator(k.excel);
        ASSERT_TRUE(f.Open(1));
        SimulateKey(k.key, {}, u'.');
        EXPECT_EQ(f.g->InplaceEditor()->Text(), String(k.typed));
    }
    SetFormatSettings(old);
}

}  // namespace

namespace {

// Under automatic advance, a key typed at the end of a filled masked entry
// moves on as Enter would; a blank position left, the caret short of the
// end, or no automatic advance keeps the editor on the cell.
// The key itself types into the cell moved to.
TEST(ExInplaceEdit, AKeyAfterAFilledMaskAdvancesAutomatically) {
    struct Case {
        bool advanceAuto;
        const char16_t* cell;
        int caret;
        bool moved;
        const char16_t* left;  // the first cell afterwards
    };
    const Case cases[] = {
        {true, u"12", 2, true, u"12"},
        {true, u"12", 1, false, u"13"},
        {true, u"1", 1, false, u"13"},
        {false, u"12", 2, false, u"12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.advanceAuto << StringToUtf8(c.cell) << c.caret);
        TextEditForm f(edNormal, c.cell);
        f.g->SetEditMask(u"99;1; ");
        f.g->Navigation().SetAdvanceAuto(c.advanceAuto);
        ASSERT_TRUE(f.Open(c.caret));
        SimulateText(u"3");
        EXPECT_EQ(f.g->Col() != 1 || f.g->Row() != 1, c.moved);
        EXPECT_EQ(f.g->GetCellEx(1, 1), String(c.left));
        if (c.moved) EXPECT_TRUE(f.g->InplaceEditor()->Text().starts_with(u"3"));
    }
}

}  // namespace

namespace {

// The grid asks for the editor's properties each time the text editor is
// filled for a cell, with the cell it opens on.
TEST(ExInplaceEdit, FillingTheEditorAsksForItsProperties) {
    TextEditForm f(edNormal, u"a");
    f.g->SetCellEx(1, 2, u"b");
    std::vector<std::pair<int, int>> asked;
    f.g->OnGetEditorPropInt = [&](TObject*, int ACol, int ARow) { asked.emplace_back(ACol, ARow); };
    ASSERT_TRUE(f.Open(0));
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 1}}));
    SimulateKey(VK_RETURN);
    SimulateKey(VK_DOWN);
    SimulateKey(VK_F2);
    ASSERT_TRUE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->InplaceEditor()->Text(), u"b");
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}}));
}

}  // namespace
