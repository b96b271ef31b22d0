#include "grid/ExGridEditors.h"

#include "GridEditorForm.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(GridSpin, PageHomeAndEndStepWithinTheLimitsAndReportTheDirection) {
    struct Case {
        const char16_t* start;
        Word key;
        const char16_t* written;
        bool up;
    };
    const Case cases[] = {
        {u"97", VK_PRIOR, u"97", true}, {u"95", VK_PRIOR, u"100", true}, {u"3", VK_NEXT, u"3", false},
        {u"50", VK_HOME, u"100", true}, {u"50", VK_END, u"0", false},
    };
    for (const Case& c : cases) {
        EditorForm f(edSpinEdit, c.start);
        // The column's limits (0 to 0) come first; the handler sets the ones under test.
        f.g->OnGetEditorPropInt = [&](TObject*, int, int) {
            f.g->SpinEdit()->SetMaxValue(100);
            f.g->SpinEdit()->SetIncrement(5);
        };
        std::vector<bool> clicks;
        f.g->OnSpinClick = [&](TObject*, int, int, int, bool up) { clicks.push_back(up); };
        f.Open();
        TGridSpin* s = f.g->SpinEdit();
        ASSERT_TRUE(s->Visible());
        EXPECT_TRUE(s->Focused());
        SimulateKey(c.key);
        EXPECT_EQ(clicks, std::vector<bool>{c.up}) << StringToUtf8(c.start);
        // Leaving the cell writes what the spin edit shows.
        f.Click(1, 4);
        EXPECT_FALSE(s->Visible());
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(c.written)) << StringToUtf8(c.start) << " key " << c.key;
    }
}

TEST(GridSpin, EnterValidatesAndEscapeRestoresTheCell) {
    EditorForm f(edSpinEdit, u"10");
    int done = 0;
    f.g->OnEditingDone = [&](TObject*) { ++done; };
    f.Open();
    SimulateKey(VK_F2);
    TGridSpin* s = f.g->SpinEdit();
    s->SetText(u"42");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(s->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"42");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 42"});
    EXPECT_TRUE(f.g->Focused());
    EXPECT_EQ(done, 1);
    f.Open();
    s->SetText(u"7");
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"42");
}

TEST(GridSpin, AnEmptiedTextWritesAnEmptyCellOnlyWhenAllowed) {
    for (bool allow : {true, false}) {
        EditorForm f(edSpinEdit, u"12");
        f.Open();
        TGridSpin* s = f.g->SpinEdit();
        s->SetAllowEmptyValue(allow);
        s->SetText(u"");
        f.Click(1, 5);
        EXPECT_EQ(f.g->GetCellEx(1, 2), allow ? u"" : u"0");
    }
}

TEST(GridSpin, TheButtonsStepAndReportByTheSpinType) {
    EditorForm f(edFloatSpinEdit, u"1.5");
    std::vector<double> values;
    f.g->OnFloatSpinClick = [&](TObject*, int, int, double v, bool up) { values.push_back(up ? v : -v); };
    f.Open();
    TGridSpin* s = f.g->SpinEdit();
    EXPECT_EQ(s->SpinType(), sptFloat);
    SimulateClick(s->Button()->UpButton(), 2, 2);
    SimulateClick(s->Button()->DownButton(), 2, 2);
    SimulateClick(s->Button()->DownButton(), 2, 2);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_DOUBLE_EQ(values[0], 1.6);
    EXPECT_DOUBLE_EQ(values[2], -1.4);
}

TEST(GridEditBtn, TheNumericKindTakesOneLeadingMinusAndBeepsOtherwise) {
    EditorForm f(edNumericEditBtn, u"12");
    f.Open();
    TGridEditBtn* e = f.g->EditBtn();
    ASSERT_TRUE(e->Visible());
    e->SetSelStart(2);
    e->SetSelLength(0);
    int beeps = MessageBeepCount();
    SimulateText(u"-");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    e->SetSelStart(0);
    SimulateText(u"-");
    EXPECT_EQ(e->Text(), u"-12");
    e->SetSelStart(0);
    SimulateText(u"-x");
    EXPECT_EQ(MessageBeepCount(), beeps + 3);
    EXPECT_EQ(e->Text(), u"-12");
}

TEST(GridEditBtn, TheFloatKindDropsASecondSeparatorSilently) {
    EditorForm f(edFloatEditBtn, u"1.5");
    f.Open();
    TGridEditBtn* e = f.g->EditBtn();
    e->SetSelStart(3);
    e->SetSelLength(0);
    const int beeps = MessageBeepCount();
    SimulateText(u".,7");
    EXPECT_EQ(e->Text(), u"1.57");
    EXPECT_EQ(MessageBeepCount(), beeps);
    // The existing separator selected: it may be typed over.
    e->SetSelStart(1);
    e->SetSelLength(1);
    SimulateText(u".");
    EXPECT_EQ(e->Text(), u"1.57");
}

TEST(GridEditBtn, TheButtonPassesTheTextThroughTheEllipsisEventAndEnterWritesIt) {
    EditorForm f(edEditBtn, u"abc");
    f.g->OnEllipsClick = [](TObject*, int c, int r, String& s) { s = s + u"!" + IntToStr(c) + IntToStr(r); };
    f.Open();
    TGridEditBtn* e = f.g->EditBtn();
    SimulateKey(VK_F4);
    EXPECT_EQ(e->Text(), u"abc!12");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"abc!12");
}

// The unit editor opens offering mm and m.
void OfferMetres(EditorForm& f) {
    f.g->OnGetEditorPropInt = [&f](TObject*, int, int) {
        TStringList units;
        units.Add(u"mm");
        units.Add(u"m");
        f.g->UnitEditBtn()->SetUnits(&units);
    };
}

TEST(GridUnitEditBtn, OpensWithTheUnitSplitOffAndWritesValueAndUnitTogether) {
    EditorForm f(edUnitEditBtn, u"12mm");
    OfferMetres(f);
    f.Open();
    TGridUnitEditBtn* u = f.g->UnitEditBtn();
    ASSERT_TRUE(u->Visible());
    EXPECT_EQ(u->Text(), u"12");
    EXPECT_EQ(u->UnitID(), u"mm");
    u->SetText(u"15");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"15mm");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 15mm"});
}

TEST(GridUnitEditBtn, AnotherUnitFromTheMenuIsReportedWithTheCurrentCell) {
    EditorForm f(edUnitEditBtn, u"12mm");
    OfferMetres(f);
    std::vector<std::string> changes;
    f.g->OnUnitChanged = [&](TObject* Sender, int c, int r, const String& NewUnit) {
        EXPECT_EQ(Sender, f.g);
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(NewUnit));
    };
    f.Open();
    TGridUnitEditBtn* u = f.g->UnitEditBtn();
    ASSERT_TRUE(u->Visible());
    TScriptedDialogService dialogs;
    dialogs.AnswerMenu(u"m");
    dialogs.AnswerMenu(u"m");
    SimulateClick(u->Button()->Button(), 3, 3);
    SimulateClick(u->Button()->Button(), 3, 3);
    EXPECT_EQ(u->UnitID(), u"m");
    EXPECT_EQ(changes, std::vector<std::string>{"1,2 m"});
}

// A descendant's button slot hears the button editor's click.
TEST(GridButton, TheButtonEditorsClickGoesThroughTheGridsSlot) {
    struct SlotGrid : TExColumnGrid {
        using TExColumnGrid::TExColumnGrid;
        std::vector<int> clicks;
        void DoButtonClick(int ACol, int ARow) override {
            clicks.push_back(ACol * 10 + ARow);
            TExColumnGrid::DoButtonClick(ACol, ARow);
        }
    };
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 350);
    auto* g = new SlotGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 400, 250);
    g->Columns().Items(1)->SetEditor(edButton);
    g->SetCellEx(1, 2, u"Press");
    int events = 0;
    g->OnButtonClick = [&](TObject*, int, int) { ++events; };
    form.Show();
    g->SetFocus();
    const TRect R = g->CellRect(1, 2);
    SimulateClick(g, R.Left + 5, R.Top + 5);
    SimulateKey(VK_F2);
    ASSERT_TRUE(g->GridButton()->Visible());
    EXPECT_EQ(g->EditCtrl(), g->GridButton());
    g->GridButton()->Click();
    EXPECT_EQ(g->clicks, std::vector<int>{12});
    EXPECT_EQ(events, 1);
}

TEST(GridButton, ShowsTheCellTextAndAnArrowMovesTheGridAndHidesIt) {
    EditorForm f(edButton, u"Press");
    int clicks = 0;
    f.g->OnButtonClick = [&](TObject*, int c, int r) { clicks += c * 10 + r; };
    f.Open();
    TGridButton* b = f.g->GridButton();
    ASSERT_TRUE(b->Visible());
    EXPECT_EQ(b->Caption(), u"Press");
    b->Click();
    EXPECT_EQ(clicks, 12);
    SimulateKey(VK_DOWN);
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_TRUE(f.g->Focused());
}

}  // namespace

namespace {

TEST(GridDatePicker, OpensJustInsideTheRangeAndWritesTheDateText) {
    EditorForm f(edDateEdit, u"20/06/2030");
    TGridDatePicker* d = f.g->GetEditDate();
    d->SetMaxDate(EncodeDate(2025, 1, 10));
    f.Open();
    ASSERT_TRUE(d->Visible());
    EXPECT_EQ(d->Date(), EncodeDate(2025, 1, 9));
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"09/01/2025");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 09/01/2025"});
}

TEST(GridDatePicker, ACustomReaderTurnsTheCellTextIntoTheDate) {
    TClockGuard now(EncodeDateTime(2026, 3, 4, 10, 0, 0, 0));
    for (const char16_t* text : {u"2024-05-06", u"later"}) {
        EditorForm f(edDateEdit, text);
        std::vector<std::string> seen;
        f.g->OnCustomStrToDate = [&](TObject*, const String& Value, TDateTime& ADate) {
            seen.push_back(StringToUtf8(Value));
            EXPECT_EQ(ADate, EncodeDateTime(2026, 3, 4, 10, 0, 0, 0));
            if (Value.size() == 10)
                ADate = EncodeDate(StrToInt(Value.substr(0, 4)), StrToInt(Value.substr(5, 2)),
                                   StrToInt(Value.substr(8, 2)));
        };
        f.Open();
        TGridDatePicker* d = f.g->GetEditDate();
        ASSERT_TRUE(d->Visible());
        EXPECT_EQ(seen, std::vector<std::string>{StringToUtf8(text)});
        EXPECT_EQ(int(d->Date()), int(String(text).size() == 10 ? EncodeDate(2024, 5, 6) : EncodeDate(2026, 3, 4)));
    }
}

TEST(GridDatePicker, EscapeReadsTheCellBackAndAnUnreadableCellOpensOnToday) {
    TClockGuard now(EncodeDateTime(2026, 3, 4, 10, 0, 0, 0));
    EditorForm f(edDateEdit, u"05/05/2024");
    f.Open();
    TGridDatePicker* d = f.g->GetEditDate();
    d->SetDateTime(EncodeDate(2024, 7, 1));
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"05/05/2024");
    f.g->SetCellEx(1, 3, u"no date");
    f.Click(1, 3);
    f.Open();
    EXPECT_EQ(d->Date(), EncodeDate(2026, 3, 4));
}

}  // namespace

namespace {

TEST(GridDateTimePicker, WritesTheShortDateABlankAndTheShortTimeAndEscapeRestores) {
    EditorForm f(edDateTimeEdit, u"03/02/2025 14:05:00");
    f.Open();
    TGridDateTimePicker* d = f.g->DateAndTimePicker();
    ASSERT_TRUE(d->Visible());
    EXPECT_EQ(d->GetDateTime(), EncodeDateTime(2025, 2, 3, 14, 5, 0, 0));
    d->SetDateTime(EncodeDateTime(2025, 2, 4, 9, 30, 0, 0));
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"04/02/2025 09:30");
    EXPECT_TRUE(f.g->Focused());
    f.Open();
    d->SetDateTime(EncodeDateTime(2030, 1, 1, 0, 0, 0, 0));
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"04/02/2025 09:30");
}

}  // namespace

namespace {

TEST(GridDatePicker, TheCalendarIsReportedAndADirectCloseEndsTheEdit) {
    EditorForm f(edDateEdit, u"05/05/2024");
    std::vector<std::string> seen;
    f.g->OnDatePickerDropDown = [&](TObject*, int r, int c) { seen.push_back("drop " + std::to_string(c) + "," + std::to_string(r)); };
    f.g->OnDatePickerCloseUp = [&](TObject*, int r, int c) { seen.push_back("close " + std::to_string(c) + "," + std::to_string(r)); };
    f.g->MouseActions().SetDirectDateDrop(true);
    f.g->MouseActions().SetDirectDateClose(true);
    f.Open();
    TGridDatePicker* d = f.g->GetEditDate();
    EXPECT_TRUE(d->DroppedDown());
    d->SetDroppedDown(false);
    EXPECT_EQ(seen, (std::vector<std::string>{"drop 1,2", "close 1,2"}));
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"05/05/2024");
}

}  // namespace

namespace {

TEST(GridSpin, AColumnsLimitsAndStepGoToTheSpinEditor) {
    EditorForm f(edSpinEdit, u"12");
    TGridColumnItem* col = f.g->Columns().Items(1);
    col->SetSpinMin(10);
    col->SetSpinMax(20);
    col->SetSpinStep(3);
    f.Open();
    TGridSpin* s = f.g->SpinEdit();
    ASSERT_TRUE(s->Visible());
    SimulateClick(s->Button()->UpButton(), 2, 2);
    EXPECT_EQ(s->Text(), u"15");
    SimulateKey(VK_END);
    EXPECT_EQ(s->Text(), u"10");
    SimulateKey(VK_HOME);
    EXPECT_EQ(s->Text(), u"20");
}

}  // namespace

namespace {

TEST(GridEditBtn, LeftAtTheStartAndRightAtTheEndWalkToTheNeighbouringCell) {
    struct Case {
        bool walk;
        int col;
        Word key;
        int caret;
        int colAfter;
    };
    const Case cases[] = {
        {true, 1, VK_RIGHT, 2, 2},   // column 2 uses the same editor
        {true, 2, VK_LEFT, 0, 1},
        {true, 1, VK_RIGHT, 0, 1},   // not at the end after the key: the caret moves
        {true, 2, VK_LEFT, 1, 2},
        {false, 1, VK_RIGHT, 2, 1},  // without cursor walking
        {true, 2, VK_RIGHT, 2, 3},   // a check box neighbour only becomes current
    };
    for (const Case& c : cases) {
        EditorForm f(edEditBtn, u"ab");
        f.g->Columns().Items(2)->SetEditor(edEditBtn);
        f.g->Columns().Items(3)->SetEditor(edDataCheckBox);
        f.g->SetCellEx(2, 2, u"cd");
        f.g->Navigation().SetCursorWalkEditor(c.walk);
        f.Click(c.col, 2);
        f.Open();
        TGridEditBtn* e = f.g->EditBtn();
        ASSERT_TRUE(e->Visible());
        e->SetSelStart(c.caret);
        e->SetSelLength(0);
        SimulateKey(c.key);
        const std::string what = std::to_string(c.col) + " key " + std::to_string(c.key) + " at " +
                                 std::to_string(c.caret) + (c.walk ? "" : " no walk");
        EXPECT_EQ(f.g->Col(), c.colAfter) << what;
        if (c.colAfter == c.col) {
            EXPECT_TRUE(e->Visible()) << what;
            continue;
        }
        // The walk writes the text and opens the editor of the new cell, except on a check box.
        EXPECT_EQ(f.g->GetCellEx(c.col, 2), c.col == 1 ? u"ab" : u"cd") << what;
        EXPECT_EQ(e->Visible(), f.g->Col() != 3) << what;
        if (e->Visible()) EXPECT_EQ(e->Text(), f.g->GetCellEx(f.g->Col(), 2)) << what;
    }
}

TEST(GridEditBtn, TypingCompletesFromTheLookupItemsUntilBackspace) {
    EditorForm f(edEditBtn, u"");
    f.g->SetLookup(true);
    for (const char16_t* s : {u"alpha", u"beta"}) f.g->LookupItems().Add(s);
    f.Open();
    TGridEditBtn* e = f.g->EditBtn();
    SimulateText(u"b");
    EXPECT_EQ(e->Text(), u"beta");
    EXPECT_EQ(e->SelStart(), 1);
    EXPECT_EQ(e->SelLength(), 3);
    SimulateKey(VK_BACK);
    EXPECT_EQ(e->Text(), u"b");
}


// A column grid whose column 1 shows its spin buttons always.
struct SpinButtonGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    bool DoHasSpinEdit(int ACol, int) override { return ACol == 1; }
};

TEST(GridSpin, APressOnAnAlwaysVisibleSpinButtonOpensTheEditorOneStepOn) {
    struct Case {
        const char* name;
        int fromRight, fromTop;  // the press, from the cell's right and top edges
        bool buttons;
        const char16_t* shown;
    };
    const Case cases[] = {
        {"upper half", 5, 3, true, u"11"},
        {"lower half", 5, -3, true, u"9"},
        {"left of the button", 30, 3, true, u"10"},
        {"buttons not shown", 5, 3, false, u"10"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TForm form(nullptr);
        form.SetBounds(0, 0, 500, 350);
        auto* g = new SpinButtonGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(edSpinEdit);
        g->SetCellEx(1, 2, u"10");
        g->ControlLook().SpinButtonsAlwaysVisible = k.buttons;
        g->MouseActions().SetDirectEdit(true);
        form.Show();
        g->SetFocus();
        g->FocusCell(1, 2, true);
        const TRect R = g->CellRect(1, 2);
        const int y = k.fromTop > 0 ? R.Top + k.fromTop : R.Bottom + k.fromTop;
        SimulateClick(g, R.Right - k.fromRight, y);
        TGridSpin* s = g->SpinEdit();
        ASSERT_TRUE(s->Visible());
        EXPECT_EQ(s->Text(), k.shown);
        SimulateKey(VK_RETURN);
        EXPECT_EQ(g->GetCellEx(1, 2), k.shown);
    }
}

}  // namespace
