#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A shown form with a column grid whose column 1 is a combo column of the
// kind under test with the items A, B, C; validations and combo changes logged.
struct ComboForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    std::vector<std::string> log;

    ComboForm(TEditorType Kind, const String& Text) {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        TGridColumnItem* col = g->Columns().Items(1);
        col->SetEditor(Kind);
        col->ComboItems().Add(u"A");
        col->ComboItems().Add(u"B");
        col->ComboItems().Add(u"C");
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(1, r, Text);
        g->OnCellValidate = [this](TObject*, int, int r, String& v, bool&) {
            log.push_back("validate " + std::to_string(r) + " " + StringToUtf8(v));
        };
        g->OnComboChange = [this](TObject*, int c, int r, int i, const String& s) {
            log.push_back("combo " + std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i) + " " +
                          StringToUtf8(s));
        };
        form.Show();
        g->SetFocus();
        TRect R = g->CellRect(1, 2);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    TGridCombo* Open() {
        SimulateKey(VK_F2);
        TGridCombo* c = g->Combobox();
        return c->Visible() ? c : nullptr;
    }
};

TEST(GridCombo, AListCellOpensOnItsItemWithoutAnEventAndWritesTheChosenItem) {
    ComboForm f(edComboList, u"B");
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Style(), csDropDownList);
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_TRUE(c->Focused());
    EXPECT_TRUE(f.log.empty());
    c->SetItemIndex(2);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"C");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 C"});
    EXPECT_TRUE(f.g->Focused());
}

TEST(GridCombo, AnEmptyListCellSelectsTheFirstItemReportsItAndIsFilledOnClose) {
    ComboForm f(edComboList, u"");
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ItemIndex(), 0);
    EXPECT_EQ(f.log, std::vector<std::string>{"combo 1,2 0 A"});
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"");
    f.log.clear();
    ASSERT_TRUE(f.Open());
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"A");
}

TEST(GridCombo, EditKeysValidateAndMoveCommitAndStayOrRestore) {
    struct Case {
        Word key;
        const char16_t* cell;
        int row;
        bool validated;
    };
    const Case cases[] = {
        {VK_UP, u"typed", 1, true},
        {VK_DOWN, u"typed", 3, true},
        {VK_RETURN, u"typed", 2, true},
        {VK_PRIOR, u"typed", 2, false},
        {VK_NEXT, u"typed", 2, false},
        {VK_ESCAPE, u"old", 2, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.key);
        ComboForm f(edComboEdit, u"old");
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        EXPECT_EQ(c->Style(), csDropDown);
        EXPECT_EQ(c->Text(), u"old");
        c->SetText(u"typed");
        f.log.clear();
        SimulateKey(k.key);
        EXPECT_FALSE(c->Visible());
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(k.cell));
        EXPECT_EQ(f.g->Row(), k.row);
        EXPECT_EQ(!f.log.empty() && f.log[0] == "validate 2 typed", k.validated);
    }
}

TEST(GridCombo, TheWheelStepsThroughTheItemsAndStopsAtTheEnds) {
    ComboForm f(edComboList, u"B");
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    auto wheel = [&](int delta) { c->Perform(WM_MOUSEWHEEL, WPARAM(Word(short(delta))) << 16, 0); };
    wheel(-120);
    EXPECT_EQ(c->ItemIndex(), 2);
    wheel(-120);
    EXPECT_EQ(c->ItemIndex(), 2);
    wheel(120);
    wheel(120);
    wheel(120);
    EXPECT_EQ(c->ItemIndex(), 0);
    EXPECT_EQ(f.log.back(), "combo 1,2 0 A");
}

TEST(GridCombo, TheGridsComboOperationsWorkOnTheEditorsItems) {
    ComboForm f(edComboList, u"B");
    TExColumnGrid& g = *f.g;
    g.AddComboString(u"x");
    g.AddComboString(u"y");
    EXPECT_EQ(g.GetComboCount(), 2);
    EXPECT_TRUE(g.RemoveComboString(u"x"));
    EXPECT_FALSE(g.RemoveComboString(u"x"));
    EXPECT_FALSE(g.SetComboSelectionString(u"zz"));
    g.ClearComboString();
    EXPECT_EQ(g.GetComboCount(), 0);
    // The column fills the items before the index is looked up.
    EXPECT_EQ(g.GetComboIndex(1, 3), 1);
    g.SetComboIndex(1, 3, 2);
    EXPECT_EQ(g.GetCellEx(1, 3), u"C");
    EXPECT_TRUE(g.SetComboSelectionString(u"C"));
    // A preselected item serves a list cell that names none.
    g.SetCellEx(1, 2, u"");
    ASSERT_TRUE(f.Open());
    EXPECT_EQ(g.Combobox()->ItemIndex(), 2);
}

TEST(GridCombo, ScrollingTheGridClosesAnOpenComboAndWritesItsText) {
    ComboForm f(edComboEdit, u"old");
    f.g->SetRowCount(40);
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    c->SetText(u"new");
    f.g->SetTopRow(10);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"new");
}

TEST(GridCombo, TheDropWidthGrowsWithTheWidestItem) {
    ComboForm f(edComboList, u"");
    TGridCombo* c = f.g->Combobox();
    c->SetBounds(0, 0, 60, 20);
    TCanvas& canvas = f.g->Canvas();
    const String wide = u"a rather wide item text";
    const int tw = canvas.TextWidth(wide);
    struct Case {
        int items;  // more than DropDownCount (8) gives the list a scroll bar
        String text;
        int width;
    };
    const Case cases[] = {
        {1, u"", 60},
        {1, wide, tw + 8},
        {9, wide, tw + 25},
    };
    for (const Case& k : cases) {
        c->Items().Clear();
        c->SetDropDownCount(8);
        for (int i = 0; i < k.items; ++i) c->Items().Add(k.text);
        c->SizeDropDownWidth();
        EXPECT_EQ(c->DroppedWidth(), k.width) << k.items;
    }
}

// The boundaries of the list's widening, measured from the widest item's width.
TEST(GridCombo, TheDropWidthWidensOnlyPastItsMargins) {
    ComboForm f(edComboList, u"");
    TGridCombo* c = f.g->Combobox();
    const String item = u"Holding Register";
    const int tw = f.g->Canvas().TextWidth(item);
    struct Case {
        int items;   // 9 with DropDownCount 8: the list scrolls
        int margin;  // the editor is this much wider than the item
        int width;   // the list's width
    };
    const Case cases[] = {
        {8, 6, tw + 6},    // room enough: the editor's width
        {8, 5, tw + 5},    // exactly the margin: no widening
        {8, 3, tw + 8},    // 3 pixels short: 5 wider than the editor
        {9, 25, tw + 25},  // exactly the scrolling margin
        {9, 20, tw + 25},  // 20 pixels: the item's width + 25
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.items) + " items, margin " + std::to_string(k.margin));
        c->SetBounds(0, 0, tw + k.margin, 20);
        c->Items().Clear();
        c->SetDropDownCount(8);
        for (int i = 0; i < k.items; ++i) c->Items().Add(item);
        c->SizeDropDownWidth();
        EXPECT_EQ(c->DroppedWidth(), k.width);
    }
}

TEST(GridCombo, TypingCompletesFromTheItemsThenFromTheLookupItems) {
    ComboForm f(edComboEdit, u"");
    TGridColumnItem* col = f.g->Columns().Items(1);
    col->ComboItems().Clear();
    col->ComboItems().Add(u"Holding Register");
    col->ComboItems().Add(u"Input Register");
    f.g->SetLookup(true);
    f.g->LookupItems().Add(u"Coil");
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    c->SetAutoComplete(false);
    SimulateText(u"ho");
    EXPECT_EQ(c->Text(), u"holding Register");
    EXPECT_EQ(c->SelStart(), 2);
    EXPECT_EQ(c->SelLength(), 14);
    SimulateKey(VK_BACK);
    EXPECT_EQ(c->Text(), u"ho");
    c->SetText(u"");
    SimulateText(u"In");
    EXPECT_EQ(c->Text(), u"Input Register");
    EXPECT_EQ(c->ItemIndex(), 1);
    c->SetText(u"");
    SimulateText(u"co");
    EXPECT_EQ(c->Text(), u"coil");
    EXPECT_EQ(c->SelLength(), 2);
}

}  // namespace

TEST(GridCombo, ArrowsAtTheEdgeOfAnEditableComboWalkToTheCellBeside) {
    for (bool walk : {true, false}) {
        SCOPED_TRACE(walk);
        ComboForm f(edComboEdit, u"B");
        f.g->Navigation().SetCursorWalkEditor(walk);
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        c->SetSelStart(1);
        SimulateText(u"x");
        c->SetSelStart(2);
        c->SetSelLength(0);
        f.log.clear();
        SimulateKey(VK_RIGHT);
        EXPECT_EQ(f.g->Col(), walk ? 2 : 1);
        EXPECT_EQ(f.g->Row(), 2);
        EXPECT_EQ(c->Visible(), !walk);
        if (!walk) continue;
        // The combo's text is validated on the move and written; the next cell opens in its editor.
        EXPECT_EQ(f.g->Cells(1, 2), String(u"Bx"));
        EXPECT_TRUE(f.g->EditorMode());
        ASSERT_TRUE(f.g->InplaceEditor());
        EXPECT_TRUE(f.g->InplaceEditor()->Visible());
        EXPECT_TRUE(f.g->InplaceEditor()->Focused());
        EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 Bx"});
    }
}

namespace {

TEST(GridCombo, TheListReportsOpeningAndClosingAndADirectCloseWritesThePick) {
    for (bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "direct close" : "plain close");
        ComboForm f(edComboEdit, u"A");
        f.g->MouseActions().SetDirectComboClose(direct);
        f.g->OnComboDropDown = [&](TObject*, int r, int c) {
            f.log.push_back("drop " + std::to_string(r) + "," + std::to_string(c));
        };
        f.g->OnComboCloseUp = [&](TObject*, int r, int c) {
            f.log.push_back("up " + std::to_string(r) + "," + std::to_string(c));
        };
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        c->SetDroppedDown(true);
        ASSERT_FALSE(f.log.empty());
        EXPECT_EQ(f.log.back(), "drop 2,1");
        c->SetItemIndex(2);
        f.log.clear();
        c->SetDroppedDown(false);
        ASSERT_FALSE(f.log.empty());
        EXPECT_EQ(f.log.back(), "up 2,1");
        EXPECT_EQ(f.g->EditorMode(), !direct);
        EXPECT_EQ(c->Visible(), !direct);
        EXPECT_EQ(f.g->GetCellEx(1, 2), direct ? u"C" : u"A");
        if (direct) EXPECT_TRUE(f.g->Focused());
    }
}

TEST(GridCombo, EnterIsReportedAndTheEditableComboKeepsToItsLengthLimit) {
    ComboForm f(edComboEdit, u"");
    f.g->SetMaxComboLength(3);
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->MaxLength(), 3);
    SimulateText(u"abcde");
    EXPECT_EQ(c->Text(), u"abc");
    int returns = 0;
    c->OnReturnKey = [&](TObject* Sender) {
        EXPECT_EQ(Sender, c);
        ++returns;
    };
    SimulateKey(VK_RETURN);
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"abc");
}

}  // namespace

TEST(GridCombo, HidingTheCellEditorWritesItsValueAndDoesNothingWhenNoneIsOpen) {
    ComboForm f(edComboEdit, u"A");
    f.g->HideCellEdit();
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"A");
    TGridCombo* c = f.Open();
    ASSERT_TRUE(c);
    c->SetText(u"typed");
    f.g->HideCellEdit();
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"typed");
    // A second call has nothing left to write.
    f.g->SetCellEx(1, 2, u"B");
    f.g->HideCellEdit();
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"B");
}

TEST(GridCombo, ALetterOpensTheComboAndIsTypedIntoIt) {
    struct Case {
        TEditorType kind;
        bool selectAll;
        const char16_t* typed;
        const char16_t* text;
        int index;
    };
    const Case cases[] = {
        // The opening letter replaces the selected text, or is added at its end.
        {edComboEdit, true, u"xy", u"xy", -1},
        {edComboEdit, false, u"xy", u"oldxy", -1},
        // The list moves to the next item the letter begins, round the list.
        {edComboList, true, u"c", u"C", 2},
        {edComboList, true, u"a", u"A", 0},
        // A letter no item begins leaves the item as it was.
        {edComboList, true, u"z", u"B", 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(StringToUtf8(k.typed) + (k.kind == edComboList ? " list" : " edit"));
        ComboForm f(k.kind, k.kind == edComboList ? u"B" : u"old");
        f.g->Navigation().SetEditSelectAll(k.selectAll);
        std::vector<TObject*> senders;
        f.g->OnKeyPress = [&](TObject* Sender, Char&) { senders.push_back(Sender); };
        int changes = 0;
        f.g->OnEditChange = [&](TObject*, int, int, const String&) { ++changes; };
        SimulateText(k.typed);
        TGridCombo* c = f.g->Combobox();
        ASSERT_TRUE(c->Visible());
        EXPECT_TRUE(c->Focused());
        EXPECT_EQ(c->Text(), String(k.text));
        EXPECT_EQ(c->ItemIndex(), k.index);
        // Every letter reaches the grid's handler with the editor as Sender.
        EXPECT_EQ(senders, std::vector<TObject*>(String(k.typed).size(), c));
        EXPECT_EQ(changes > 0, String(k.text) != (k.kind == edComboList ? u"B" : u"old"));
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(k.text));
    }
    // The handler may replace the opening letter.
    ComboForm f(edComboEdit, u"old");
    f.g->OnKeyPress = [](TObject*, Char& Key) {
        if (Key == u'q') Key = u'Q';
    };
    SimulateText(u"q");
    EXPECT_EQ(f.g->Combobox()->Text(), u"Q");
}

TEST(GridCombo, DirectComboDropOpensTheListWithTheEditor) {
    for (bool direct : {false, true}) {
        ComboForm f(edComboList, u"A");
        f.g->MouseActions().SetDirectComboDrop(direct);
        f.g->Columns().Items(1)->SetDropDownCount(5);
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        EXPECT_EQ(c->DroppedDown(), direct);
        // The column's list length comes with its items.
        EXPECT_EQ(c->DropDownCount(), 5);
    }
}

TEST(GridCombo, ACaretPositioningPressPutsTheCaretUnderTheMouse) {
    for (bool positioning : {false, true}) {
        SCOPED_TRACE(positioning);
        ComboForm f(edComboEdit, u"abcdef");
        f.g->MouseActions().SetCaretPositioning(positioning);
        const TRect R = f.g->CellRect(1, 2);
        SimulateClick(f.g, R.Left + 3 + f.g->Canvas().TextWidth(u"abc"), R.Top + 5);
        TGridCombo* c = f.g->Combobox();
        ASSERT_TRUE(c->Visible() && c->Focused());
        if (positioning) {
            EXPECT_GT(c->SelStart(), 1);
            EXPECT_LT(c->SelStart(), 5);
            EXPECT_EQ(c->SelLength(), 0);
        } else {
            EXPECT_EQ(c->SelStart(), 0);
            EXPECT_EQ(c->SelLength(), 6);
        }
    }
}

// The configurator's look: the combo editor is flat, framed in the grid's
// colour, with the themed drop-down button, normal and then hot.
TEST(GridCombo, TheEditorOfAnXPGridIsFlatWithTheThemedButton) {
    for (TEditorType kind : {edComboList, edComboEdit}) {
        SCOPED_TRACE(kind == edComboList ? "list" : "edit");
        ComboForm f(kind, u"B");
        const TColor gridColor = TColor(0xE0F0FF);
        f.g->SetLook(glXP);
        f.g->SetColor(gridColor);
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->Flat());
        EXPECT_TRUE(c->Etched());
        EXPECT_EQ(c->Color(), gridColor);
        auto render = [&] {
            auto b = std::make_unique<TBitmap>();
            RenderControlToBitmap(c, *b);
            return b;
        };
        const int w = c->Width(), h = c->Height();
        // The button rectangle and the centre of its arrow.
        const TRect r = Rect(c->ClientWidth() - c->ButtonWidth() + 3, 1, w - 1, h - 1);
        const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
        auto b = render();
        TCanvas& p = b->Canvas();
        // Frames in the parent's colour on all four sides, the text area in the editor's.
        for (TPoint at : {TPoint{0, h / 2}, TPoint{1, h / 2}, TPoint{w / 3, 0}, TPoint{w / 3, h - 1}, TPoint{2, h / 2}})
            EXPECT_EQ(p.Pixels(at.X, at.Y), gridColor) << at.X << "," << at.Y;
        // Nothing of the platform's own button shows between the field and the flat button.
        for (int x = r.Left - (kind == edComboList ? 6 : 8); x < r.Left; ++x)
            for (int y = 1; y < h - 1; ++y) ASSERT_EQ(p.Pixels(x, y), gridColor) << x << "," << y;
        // The focused pick-only field is highlighted, as a plain field and not a button face.
        if (kind == edComboList) {
            EXPECT_EQ(p.Pixels(4, 4), ColorToRGB(clHighlight));
            EXPECT_EQ(p.Pixels(r.Left - 9, h - 4), ColorToRGB(clHighlight));
        }
        // The normal themed button: the window's colour around a dark arrow pointing down.
        EXPECT_EQ(p.Pixels(r.Left + 1, r.Top + 1), ColorToRGB(clWindow));
        EXPECT_EQ(p.Pixels(cx, cy + 1), TColor(RGB(51, 51, 51)));
        EXPECT_EQ(p.Pixels(cx - 3, cy - 2), TColor(RGB(51, 51, 51)));
        EXPECT_EQ(p.Pixels(cx - 3, cy + 1), ColorToRGB(clWindow));
        // The mouse over the button: the hot face in a blue border.
        SimulateMouseMove(c, 5, h / 2);
        SimulateMouseMove(c, cx, cy);
        ASSERT_TRUE(c->ButtonHover());
        b = render();
        EXPECT_EQ(b->Canvas().Pixels(r.Left + 2, r.Top + 2), TColor(RGB(229, 241, 251)));
        EXPECT_EQ(b->Canvas().Pixels(r.Left, cy), TColor(RGB(0, 120, 215)));
        EXPECT_EQ(b->Canvas().Pixels(cx, cy + 1), TColor(RGB(0, 84, 153)));
    }
}
// Tab in either editor of a grid without goTabs: the form moves the focus on
// unless a validation refuses the value, which the editor then shows.
TEST(GridCombo, TabLeavesBothEditorsOnlyWithAValidatedValue) {
    enum Mode { NoHandler, Accepting, Refusing, GridTabs };
    struct Case {
        Mode mode;
        bool leaves;
        const char16_t* cell;
        bool validated;
        int col;
    };
    const Case cases[] = {
        {NoHandler, true, u"typed", false, 1},
        {Accepting, true, u"typed", true, 1},
        {Refusing, false, u"fixed", true, 1},
        {GridTabs, false, u"typed", false, 2},
    };
    for (const Case& k : cases) {
        for (TEditorType kind : {edComboEdit, edNormal}) {
            SCOPED_TRACE(std::to_string(k.mode) + (kind == edNormal ? " text" : " combo"));
            ComboForm f(kind, u"old");
            TButton* other = new TButton(&f.form);
            other->SetParent(&f.form);
            other->SetBounds(420, 10, 60, 25);
            if (k.mode == NoHandler || k.mode == GridTabs) f.g->OnCellValidate = nullptr;
            if (k.mode == GridTabs) f.g->SetOptions(f.g->Options() + TGridOptions{goTabs});
            if (k.mode == Refusing)
                f.g->OnCellValidate = [&](TObject*, int, int r, String& v, bool& ok) {
                    f.log.push_back("validate " + std::to_string(r) + " " + StringToUtf8(v));
                    v = u"fixed";
                    ok = false;
                };
            SimulateKey(VK_RETURN);
            TWinControl* ed = kind == edNormal ? static_cast<TWinControl*>(f.g->InplaceEditor())
                                               : static_cast<TWinControl*>(f.g->Combobox());
            ASSERT_TRUE(ed && ed->Focused());
            SimulateText(u"typed");
            f.log.clear();
            SimulateKey(VK_TAB);
            EXPECT_EQ(other->Focused(), k.leaves);
            EXPECT_EQ(f.g->GetCellEx(1, 2), String(k.cell));
            EXPECT_EQ(!f.log.empty(), k.validated);
            EXPECT_EQ(f.g->Col(), k.col);
            EXPECT_EQ(f.g->Row(), 2);
            if (k.mode == Refusing) {
                // The editor stays on the cell with the value as the handler left it.
                EXPECT_TRUE(ed->Visible() && ed->Focused());
                EXPECT_EQ(ed->Text(), u"fixed");
            }
        }
    }
}

// Enter and Escape belong to the combo editor, not to the form's default and cancel buttons.
TEST(GridCombo, EnterAndEscapeStayWithTheEditors) {
    for (Word key : {Word(VK_RETURN), Word(VK_ESCAPE)}) {
        for (TEditorType kind : {edComboEdit, edNormal}) {
            SCOPED_TRACE(kind);
            ComboForm f(kind, u"old");
            SimulateKey(VK_RETURN);
            TWinControl* ed = kind == edNormal ? static_cast<TWinControl*>(f.g->InplaceEditor())
                                               : static_cast<TWinControl*>(f.g->Combobox());
            ASSERT_TRUE(ed && ed->Focused());
            int clicks = 0;
            for (bool cancel : {false, true}) {
                TButton* b = new TButton(&f.form);
                b->SetParent(&f.form);
                b->SetBounds(420, cancel ? 50 : 10, 60, 25);
                if (cancel) b->SetCancel(true);
                else b->SetDefault(true);
                b->OnClick = [&](TObject*) { ++clicks; };
            }
            SimulateText(u"new");
            SimulateKey(key);
            EXPECT_EQ(clicks, 0) << key;
            EXPECT_FALSE(ed->Visible());
            EXPECT_EQ(f.g->GetCellEx(1, 2), key == VK_RETURN ? u"new" : u"old");
        }
    }
}
// The focus leaving either editor for another window validates the value
// once and writes what the validation left; a move inside the grid too.
TEST(GridCombo, LeavingAnEditorValidatesItsValueOnce) {
    for (bool refuse : {false, true}) {
        for (bool toButton : {true, false}) {
            for (TEditorType kind : {edComboEdit, edNormal}) {
                SCOPED_TRACE(std::string(refuse ? "refusing" : "accepting") + (toButton ? " button" : " cell") +
                             (kind == edNormal ? " text" : " combo"));
                ComboForm f(kind, u"old");
                TButton* other = new TButton(&f.form);
                other->SetParent(&f.form);
                other->SetBounds(420, 10, 60, 25);
                if (refuse)
                    f.g->OnCellValidate = [&](TObject*, int, int r, String& v, bool& ok) {
                        f.log.push_back("validate " + std::to_string(r) + " " + StringToUtf8(v));
                        v = u"fixed";
                        ok = false;
                    };
                SimulateKey(VK_RETURN);
                SimulateText(u"typed");
                f.log.clear();
                if (toButton) {
                    SimulateClick(other, 5, 5);
                    EXPECT_TRUE(other->Focused());
                    EXPECT_FALSE(f.g->EditorMode());
                } else {
                    const TRect R = f.g->CellRect(1, 4);
                    SimulateClick(f.g, R.Left + 5, R.Top + 5);
                    EXPECT_EQ(f.g->Row(), refuse ? 2 : 4);
                }
                EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 typed"});
                EXPECT_EQ(f.g->GetCellEx(1, 2), refuse ? u"fixed" : u"typed");
            }
        }
    }
}

// A pick-only combo keeps Up and Down for its list while ComboGetUpDown is on;
// off, they commit the item and move the row. Right commits without
// validation and moves the column.
TEST(GridCombo, ArrowsInAListComboFollowComboGetUpDown) {
    struct Case {
        bool getUpDown;
        Word key;
        bool open;
        const char16_t* cell;
        int col, row;
        int index;  // the combo's item while it stays open
    };
    const Case cases[] = {
        {true, VK_DOWN, true, u"B", 1, 2, 2},
        {true, VK_UP, true, u"B", 1, 2, 0},
        {true, VK_RIGHT, false, u"B", 2, 2, -1},
        {false, VK_DOWN, false, u"B", 1, 3, -1},
        {false, VK_UP, false, u"B", 1, 1, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.key) + (k.getUpDown ? " on" : " off"));
        ComboForm f(edComboList, u"A");
        f.g->Navigation().SetComboGetUpDown(k.getUpDown);
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        c->SetItemIndex(1);
        f.log.clear();
        SimulateKey(k.key);
        EXPECT_EQ(c->Visible(), k.open);
        EXPECT_EQ(f.g->Col(), k.col);
        EXPECT_EQ(f.g->Row(), k.row);
        if (k.open) {
            EXPECT_EQ(c->ItemIndex(), k.index);
            EXPECT_EQ(f.g->GetCellEx(1, 2), u"A");
        } else {
            EXPECT_EQ(f.g->GetCellEx(1, 2), String(k.cell));
            EXPECT_TRUE(f.g->Focused());
        }
        if (k.key == VK_RIGHT) EXPECT_TRUE(f.log.empty());
    }
}

// By mouse: a press selects a cell of a column grid, a second press on it
// opens the cell's editor on its text.
TEST(GridCombo, ASecondPressOnACellOpensItsEditor) {
    for (TEditorType kind : {edNormal, edComboList, edComboEdit}) {
        SCOPED_TRACE(kind);
        ComboForm f(kind, u"B");
        const TRect R = f.g->CellRect(1, 3);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        ASSERT_EQ(f.g->Row(), 3);
        EXPECT_FALSE(f.g->Combobox()->Visible());
        EXPECT_FALSE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        TWinControl* ed = kind == edNormal ? static_cast<TWinControl*>(f.g->InplaceEditor())
                                           : static_cast<TWinControl*>(f.g->Combobox());
        ASSERT_TRUE(ed);
        EXPECT_TRUE(ed->Visible() && ed->Focused());
        EXPECT_EQ(ed->Text(), u"B");
    }
}

// Enter in the combo with AdvanceOnEnter moves on to the next cell, where
// AdvanceAutoEdit opens the editor again.
TEST(GridCombo, EnterAdvancesWithAdvanceOnEnter) {
    struct Case {
        bool advance, autoEdit;
        int col;
        bool open;
    };
    const Case cases[] = {{false, false, 1, false}, {true, false, 2, false}, {true, true, 2, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.advance) + std::to_string(k.autoEdit));
        ComboForm f(edComboList, u"A");
        f.g->Columns().Items(2)->SetEditor(edComboEdit);
        f.g->Navigation().SetAdvanceOnEnter(k.advance);
        f.g->Navigation().SetAdvanceAutoEdit(k.autoEdit);
        TGridCombo* c = f.Open();
        ASSERT_TRUE(c);
        c->SetItemIndex(2);
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"C");
        EXPECT_EQ(f.g->Col(), k.col);
        EXPECT_EQ(f.g->Row(), 2);
        EXPECT_EQ(c->Visible(), k.open);
        if (k.open) EXPECT_EQ(c->Style(), csDropDown);
    }
}
