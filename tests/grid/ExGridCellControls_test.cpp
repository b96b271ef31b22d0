#include "grid/ExGridCellControls.h"

#include "GridOnForm.h"
#include "grid/foundation/MarkupText.h"

#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

String Ctrl(const char16_t* Type, const char16_t* ID, const String& Value, int Width = 60, const char16_t* More = u"") {
    return String(u"<CONTROL TYPE=\"") + Type + u"\" ID=\"" + ID + u"\" VALUE=\"" + Value + u"\" WIDTH=\"" +
           IntToStr(Width) + u"\"" + More + u">";
}

String ValueOf(TExStringGrid* g, int c, int r, const String& ID) {
    String v;
    GetControlValue(g->GetCellEx(c, r), ID, v);
    return v;
}

// A shown, editable grid with tall rows; controls stand at the start of their cells.
struct ControlGrid : GridOnForm<> {
    std::vector<std::string> log;
    ControlGrid() : GridOnForm<>(500, 300) {
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->SetDefaultRowHeight(40);
        g->SetColWidths(1, 300);
        g->OnControlClick = [this](TObject*, int r, int c, const String& id, const String& type, const String& v) {
            log.push_back("click " + std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(type) + " " +
                          StringToUtf8(id) + " " + StringToUtf8(v));
        };
        g->OnControlEditDone = [this](TObject*, int r, int c, const String& id, const String&, const String& v) {
            log.push_back("done " + std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(id) + " " +
                          StringToUtf8(v));
        };
        g->SetFocus();
    }
    // A click DX pixels right of where the cell's text starts, in its first line.
    void Click(int c, int r, int DX) {
        const TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 3 + DX, R.Top + 10);
    }
};

TEST(InTextControls, ACheckTurnsOnUnlessItsValueIsExactlyTrue) {
    struct Case {
        const char16_t* before;
        const char16_t* after;
    };
    const Case cases[] = {{u"true", u"TRUE"}, {u"TRUE", u"FALSE"}, {u"FALSE", u"TRUE"}, {u"True", u"TRUE"},
                          {u"", u"TRUE"}};
    for (const Case& c : cases) {
        ControlGrid f;
        f.g->SetCellEx(1, 1, Ctrl(u"CHECK", u"c", c.before, 20) + u" on");
        f.Click(1, 1, 6);
        EXPECT_EQ(ValueOf(f.g, 1, 1, u"c"), c.after) << StringToUtf8(c.before);
        EXPECT_EQ(f.log, std::vector<std::string>{"click 1,1 CHECK c " + StringToUtf8(c.before)});
        EXPECT_FALSE(f.g->CtrlEditing());
    }
}

TEST(InTextControls, ARadioClickClearsEveryOtherRadioOfItsCellOnly) {
    ControlGrid f;
    f.g->SetCellEx(1, 1, Ctrl(u"RADIO", u"r1", u"TRUE", 20) + Ctrl(u"RADIO", u"other", u"FALSE", 20) +
                             Ctrl(u"RADIO", u"x", u"true", 20));
    f.g->SetCellEx(1, 2, Ctrl(u"RADIO", u"r1", u"TRUE", 20));
    f.Click(1, 1, 16 + 6);  // the second radio: each takes 16 pixels
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"r1"), u"FALSE");
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"other"), u"TRUE");
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"x"), u"FALSE");
    EXPECT_EQ(ValueOf(f.g, 1, 2, u"r1"), u"TRUE");
}

TEST(InTextControls, ControlsStayUntouchedWhereTheCellCannotBeEdited) {
    for (int refusal = 0; refusal < 3; ++refusal) {
        ControlGrid f;
        const String text = Ctrl(u"CHECK", u"c", u"FALSE", 20);
        f.g->SetCellEx(1, 1, text);
        if (refusal == 0) f.g->SetOptions(f.g->Options() - TGridOptions{goEditing});
        if (refusal == 1) f.g->SetReadOnly(1, 1, true);
        if (refusal == 2) f.g->OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
        f.Click(1, 1, 6);
        EXPECT_EQ(f.g->GetCellEx(1, 1), text) << refusal;
        EXPECT_TRUE(f.log.empty()) << refusal;
        // The press still selects the cell.
        EXPECT_EQ(f.g->Col(), 1);
        EXPECT_EQ(f.g->Row(), 1);
    }
}

// The pixels of cell (c, r) of a rendered grid, relative to the cell.
std::vector<TColor> CellPixels(TExStringGrid* g, int c, int r) {
    g->SetScrollBars(ssNone);
    TBitmap b;
    RenderControlToBitmap(g, b);
    // The rendered window has the grid's border around its client area.
    const int border = (b.Width() - g->ClientWidth()) / 2;
    const TRect R = g->CellRect(c, r);
    std::vector<TColor> px;
    for (int y = R.Top + 1; y < R.Bottom - 1; ++y)
        for (int x = R.Left + 1; x < R.Right - 1; ++x) px.push_back(b.Canvas().Pixels(x + border, y + border));
    return px;
}

TEST(InTextControls, MarkupCellsAreDrawnByTheMarkupRenderer) {
    struct Case {
        const char* what;
        String markup;
        String other;
        bool same;
    };
    const Case cases[] = {
        {"tags are not shown", u"x<i></i>", u"<u></u>x", true},
        {"bold differs from plain", u"<b>x</b>", u"<i></i>x", false},
        {"a check box is drawn", Ctrl(u"CHECK", u"c", u"FALSE"), u"", false},
        {"checked differs from unchecked", Ctrl(u"CHECK", u"c", u"TRUE"), Ctrl(u"CHECK", u"c", u"FALSE"), false},
    };
    for (const Case& c : cases) {
        ControlGrid f;
        f.g->SetCellEx(1, 2, c.markup);
        f.g->SetCellEx(1, 3, c.other);
        EXPECT_EQ(CellPixels(f.g, 1, 2) == CellPixels(f.g, 1, 3), c.same) << c.what;
    }

    // Links take the grid's link colour.
    ControlGrid f;
    f.g->SetURLColor(clRed);
    f.g->SetCellEx(1, 2, u"<a href=\"x\">link</a>");
    const auto px = CellPixels(f.g, 1, 2);
    EXPECT_NE(std::find(px.begin(), px.end(), clRed), px.end());
}

TEST(InTextControls, APressedButtonIsDrawnPressedUntilTheRelease) {
    ControlGrid f;
    f.g->SetCellEx(1, 2, Ctrl(u"BUTTON", u"b", u"Go"));
    const TRect R = f.g->CellRect(1, 2);
    const auto up = CellPixels(f.g, 1, 2);
    SimulateMouseDown(f.g, mbLeft, R.Left + 10, R.Top + 10);
    ASSERT_TRUE(f.g->CtrlDown());
    const auto down = CellPixels(f.g, 1, 2);
    EXPECT_NE(down, up);
    SimulateMouseUp(f.g, mbLeft, R.Left + 10, R.Top + 10);
    EXPECT_NE(CellPixels(f.g, 1, 2), down);
}

TEST(InTextControls, AButtonIsDownUntilTheRelease) {
    ControlGrid f;
    f.g->SetCellEx(1, 2, Ctrl(u"BUTTON", u"b", u"Go"));
    const TRect R = f.g->CellRect(1, 2);
    SimulateMouseDown(f.g, mbLeft, R.Left + 10, R.Top + 10);
    EXPECT_TRUE(f.g->CtrlDown());
    EXPECT_EQ(f.g->CtrlXY(), (TPoint{1, 2}));
    SimulateMouseUp(f.g, mbLeft, R.Left + 10, R.Top + 10);
    EXPECT_FALSE(f.g->CtrlDown());
    EXPECT_EQ(f.log, std::vector<std::string>{"click 1,2 BUTTON b Go"});
    EXPECT_EQ(ValueOf(f.g, 1, 2, u"b"), u"Go");
}

// Two edits in one cell: "a" then, after a blank, "b".
struct TwoEdits : ControlGrid {
    TControlEdit* e;
    int bX;
    TwoEdits() {
        g->SetCellEx(1, 1, Ctrl(u"EDIT", u"a", u"one") + u" " + Ctrl(u"EDIT", u"b", u"two"));
        e = g->ControlEdit();
        TBitmap m;
        m.Canvas().Font().Assign(&g->Font());
        bX = 60 + m.Canvas().TextWidth(u" ") + 10;
    }
    void Retype(const String& S) {
        e->SelectAll();
        SimulateText(S);
    }
};

TEST(InTextControls, AClickOnAnEditOpensItsEditorOverTheControl) {
    TwoEdits f;
    f.Click(1, 1, 10);
    ASSERT_TRUE(f.e->Visible());
    EXPECT_TRUE(f.e->Focused());
    EXPECT_TRUE(f.g->CtrlEditing());
    EXPECT_EQ(f.e->Text(), u"one");
    // The control starts one pixel into the text rectangle, 3 pixels into the cell.
    const TRect R = f.g->CellRect(1, 1);
    EXPECT_EQ(f.e->Left(), R.Left + 4 + 1);
    EXPECT_EQ(f.e->Width(), 60 - 4);
    EXPECT_EQ(f.e->Top(), R.Top + 3 + 8);
    EXPECT_EQ(f.e->Height(), 14);
}

TEST(InTextControls, AClickOnASecondEditStoresTheFirstEditorsText) {
    TwoEdits f;
    f.Click(1, 1, 10);
    f.Retype(u"uno");
    f.Click(1, 1, f.bX);
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"a"), u"uno");
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"b"), u"two");
    ASSERT_TRUE(f.e->Visible());
    EXPECT_EQ(f.e->Text(), u"two");
    EXPECT_EQ(f.log, (std::vector<std::string>{"click 1,1 EDIT a one", "done 1,1 a uno", "click 1,1 EDIT b two"}));
    // Leaving for the grid writes the second.
    f.Retype(u"dos");
    f.Click(1, 3, 10);
    EXPECT_FALSE(f.e->Visible());
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"b"), u"dos");
}

TEST(InTextControls, TabMovesFromEditToEditThenToTheGridOrOn) {
    for (bool advance : {false, true}) {
        TwoEdits f;
        f.g->Navigation().SetAdvanceAuto(advance);
        f.g->Navigation().SetAdvanceDirection(adTopBottom);
        f.Click(1, 1, 10);
        f.Retype(u"uno");
        SimulateKey(VK_TAB);
        EXPECT_EQ(ValueOf(f.g, 1, 1, u"a"), u"uno");
        if (advance) {
            // On to the next cell instead of the next control.
            EXPECT_FALSE(f.e->Visible());
            EXPECT_EQ(f.g->Row(), 2);
            continue;
        }
        ASSERT_TRUE(f.e->Visible());
        EXPECT_TRUE(f.e->Focused());
        EXPECT_EQ(f.e->Text(), u"two");
        f.Retype(u"dos");
        SimulateKey(VK_TAB);
        EXPECT_EQ(ValueOf(f.g, 1, 1, u"b"), u"dos");
        EXPECT_FALSE(f.e->Visible());
        EXPECT_TRUE(f.g->Focused());
        EXPECT_EQ(f.g->Row(), 1);
    }
}

TEST(InTextControls, EnterCommitsAndHandsTheFocusToTheGrid) {
    TwoEdits f;
    f.Click(1, 1, f.bX);
    f.Retype(u"zwei");
    SimulateKey(VK_RETURN);
    EXPECT_EQ(ValueOf(f.g, 1, 1, u"b"), u"zwei");
    EXPECT_FALSE(f.e->Visible());
    EXPECT_TRUE(f.g->Focused());
    // Enter on the cell opens its first control again.
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(f.e->Visible());
    EXPECT_EQ(f.e->Text(), u"one");
}

TEST(InTextControls, EditKindsSetPasswordMaskAndLength) {
    struct Case {
        const char16_t* type;
        Char password;
        const char16_t* mask;
    };
    const Case cases[] = {{u"EDIT", 0, u""}, {u"PASSWORD", u'*', u""}, {u"MASK", 0, u"999;0;_"}};
    for (const Case& c : cases) {
        ControlGrid f;
        f.g->SetCellEx(1, 1, Ctrl(c.type, u"k", u"12", 60, u" PROP=\"999;0;_\" MAXLEN=\"3\""));
        f.Click(1, 1, 10);
        TControlEdit* e = f.g->ControlEdit();
        ASSERT_TRUE(e->Visible()) << StringToUtf8(c.type);
        EXPECT_EQ(e->PasswordChar(), c.password);
        EXPECT_EQ(e->EditMask(), String(c.mask));
        EXPECT_EQ(e->MaxLength(), 3);
    }
}

TEST(InTextControls, AComboOpensDroppedDownAndWritesTheChosenItem) {
    for (bool edit : {true, false}) {
        ControlGrid f;
        f.g->SetCellEx(1, 1, Ctrl(u"COMBO", u"k", u"pear", 100));
        std::vector<int> selected;
        f.g->OnControlComboList = [&](TObject*, int, int, const String&, const String&, const String&,
                                      TStringList& items, bool& e, int&) {
            items.Clear();
            for (const char16_t* s : {u"apple", u"pear", u"plum"}) items.Add(s);
            e = edit;
        };
        f.g->OnControlComboSelect = [&](TObject*, int, int, int idx, const String&, const String&) {
            selected.push_back(idx);
        };
        f.Click(1, 1, 10);
        TControlCombo* c = f.g->ControlCombo();
        ASSERT_TRUE(c->Visible());
        EXPECT_TRUE(c->DroppedDown());
        EXPECT_EQ(c->DropDownCount(), 8);
        EXPECT_EQ(c->Style(), edit ? csDropDown : csDropDownList);
        EXPECT_EQ(c->ItemIndex(), 1);
        c->SetDroppedDown(false);
        SimulateKey(VK_DOWN);
        EXPECT_EQ(c->Text(), u"plum");
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(c->Visible());
        EXPECT_EQ(ValueOf(f.g, 1, 1, u"k"), u"plum");
        EXPECT_EQ(f.log.back(), "done 1,1 k plum");
    }
}

// ---------------------------------------------------------------------------
// Fixed cells

struct FixedGrid : GridOnForm<> {
    std::vector<std::string> log;
    bool refuse = false;
    FixedGrid() {
        g->SetCellEx(2, 0, u"Head");
        g->OnCellValidate = [this](TObject*, int c, int r, String& v, bool& valid) {
            log.push_back("validate " + std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(v));
            valid = !refuse;
        };
        g->OnEditingDone = [this](TObject*) { log.push_back("done"); };
        g->SetFocus();
    }
    TPoint Mid(int c, int r) {
        const TRect R = g->CellRect(c, r);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    void DblClick(int c, int r) { SimulateDblClick(g, Mid(c, r).X, Mid(c, r).Y); }
    void Click(int c, int r) { SimulateClick(g, Mid(c, r).X, Mid(c, r).Y); }
};

TEST(FixedCellEditing, TheMouseActionOpensTheEditorOnAHeader) {
    struct Case {
        TGridFixedCellEdit action;
        TMouseButton button;
        bool dbl;
        bool opens;
    };
    const Case cases[] = {
        {fceNone, mbLeft, true, false},       {fceDblClick, mbLeft, true, true},
        {fceDblClick, mbLeft, false, false},  {fceLeftClick, mbLeft, false, true},
        {fceLeftClick, mbRight, false, false}, {fceRightClick, mbRight, false, true},
        {fceRightClick, mbLeft, false, false},
    };
    for (const Case& c : cases) {
        FixedGrid f;
        f.g->MouseActions().SetFixedRowsEdit(c.action);
        const TPoint p = f.Mid(2, 0);
        if (c.dbl) SimulateDblClick(f.g, p.X, p.Y);
        else {
            SimulateMouseDown(f.g, c.button, p.X, p.Y);
            SimulateMouseUp(f.g, c.button, p.X, p.Y);
        }
        TGridTransEdit* e = f.g->EditTrans();
        EXPECT_EQ(e->Visible(), c.opens) << c.action << " " << c.button;
        if (!c.opens) continue;
        EXPECT_TRUE(e->Focused());
        EXPECT_EQ(e->Text(), u"Head");
        TRect R = f.g->CellRect(2, 0);
        InflateRect(R, -1, -1);
        EXPECT_EQ(e->BoundsRect(), R);
    }
}

TEST(FixedCellEditing, AListOnlyComboFromTheFixedValuesOrWhatOnFixedEditAnswers) {
    for (bool answerEdit : {false, true}) {
        FixedGrid f;
        f.g->MouseActions().SetFixedRowsEdit(fceDblClick);
        f.g->MouseActions().SetFixedRowsEditor(fceComboList);
        for (const char16_t* s : {u"Head", u"Name", u"Size"}) f.g->MouseActions().FixedComboValues().Add(s);
        std::vector<std::string> asked;
        if (answerEdit)
            f.g->OnFixedEdit = [&](TObject*, int c, int r, TGridFixedCellEditor& k, TStringList& values) {
                asked.push_back(std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(values.Count()));
                k = fceEdit;
            };
        f.DblClick(2, 0);
        TGridTransCombo* c = f.g->ComboTrans();
        TGridTransEdit* e = f.g->EditTrans();
        EXPECT_EQ(c->Visible(), !answerEdit);
        EXPECT_EQ(e->Visible(), answerEdit);
        if (answerEdit) {
            EXPECT_EQ(asked, std::vector<std::string>{"2,0 3"});
            continue;
        }
        EXPECT_EQ(c->Style(), csDropDownList);
        EXPECT_EQ(c->Items().Text(), u"Head\r\nName\r\nSize\r\n");
        EXPECT_EQ(c->ItemIndex(), 0);
        EXPECT_TRUE(c->Focused());
        SimulateKey(VK_DOWN);
        f.Click(2, 3);
        EXPECT_FALSE(c->Visible());
        EXPECT_EQ(f.g->GetCellEx(2, 0), u"Name");
        EXPECT_EQ(f.log, (std::vector<std::string>{"validate 2,0 Name", "done"}));
    }
}

TEST(FixedCellEditing, ARefusedValueKeepsTheEditorOpenOnTheFixedCell) {
    FixedGrid f;
    f.g->MouseActions().SetFixedRowsEdit(fceDblClick);
    std::vector<std::string> changes;
    f.g->OnEditChange = [&](TObject*, int c, int r, const String& v) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(v));
    };
    f.DblClick(2, 0);
    TGridTransEdit* e = f.g->EditTrans();
    ASSERT_TRUE(e->Visible());
    e->SelectAll();
    SimulateText(u"X");
    EXPECT_EQ(changes.back(), "2,0 X");
    // Enter changes nothing: only leaving ends the edit.
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(f.log.empty());

    f.refuse = true;
    f.Click(3, 4);
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 0);
    EXPECT_EQ(f.g->GetCellEx(2, 0), u"Head");
    // A double click on another header opens nothing while the value is refused.
    f.DblClick(3, 0);
    EXPECT_TRUE(e->Visible());
    EXPECT_EQ(e->Col(), 2);

    f.refuse = false;
    f.log.clear();
    f.Click(3, 4);
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(f.g->GetCellEx(2, 0), u"X");
    EXPECT_EQ(f.log, (std::vector<std::string>{"validate 2,0 X", "done"}));
}

TEST(FixedCellEditing, OnCanEditCellRefusingPreventsTheEditor) {
    FixedGrid f;
    f.g->MouseActions().SetFixedColsEdit(fceDblClick);
    f.g->SetCellEx(0, 3, u"Row");
    f.g->OnCanEditCell = [](TObject*, int r, int, bool& can) { can = r != 3; };
    f.DblClick(0, 3);
    EXPECT_FALSE(f.g->EditTrans()->Visible());
    f.DblClick(0, 2);
    EXPECT_TRUE(f.g->EditTrans()->Visible());
    EXPECT_EQ(f.g->EditTrans()->Row(), 2);
}

TEST(FixedCellEditing, AnEditorWithoutGridOnlyHides) {
    TGridTransEdit e(nullptr);
    e.SetVisible(true);
    EXPECT_TRUE(e.StopEdit());
    EXPECT_FALSE(e.Visible());
}

}  // namespace
