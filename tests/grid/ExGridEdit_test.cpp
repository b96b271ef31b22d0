#include "grid/ExCGrid.h"
#include "grid/foundation/CellCodecs.h"

#include "framework/BalloonTip.h"
#include "framework/Windows.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A shown form with a column grid as the table editors build it: no
// goEditing in Options, column 2 read-only, every event logged in order.
struct EditForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    std::vector<std::string> log;
    bool refuse = false;

    EditForm() {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(2)->SetReadOnly(true);
        for (int r = 1; r < g->RowCount(); ++r)
            for (int c = 1; c < g->ColCount(); ++c) g->SetCellEx(c, r, u"v" + IntToStr(c) + IntToStr(r));
        auto n = [](int v) { return std::to_string(v); };
        g->OnCellValidate = [this, n](TObject*, int c, int r, String& v, bool& valid) {
            log.push_back("validate " + n(c) + "," + n(r) + " " + StringToUtf8(v));
            valid = !refuse;
        };
        g->OnRowChanging = [this, n](TObject*, int o, int nw, bool&) { log.push_back("row " + n(o) + ">" + n(nw)); };
        g->OnColChanging = [this, n](TObject*, int o, int nw, bool&) { log.push_back("col " + n(o) + ">" + n(nw)); };
        g->OnCellChanging = [this](TObject*, int, int, int, int, bool&) { log.push_back("cell"); };
        g->OnSelectCell = [this, n](TObject*, int c, int r, bool&) { log.push_back("select " + n(c) + "," + n(r)); };
        g->OnRowUpdate = [this, n](TObject*, int o, int nw) { log.push_back("update " + n(o) + ">" + n(nw)); };
        g->OnEditCellDone = [this, n](TObject*, int c, int r) { log.push_back("done " + n(c) + "," + n(r)); };
        form.Show();
        g->SetFocus();
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
};

TEST(ExGridEdit, SelectingACellSwitchesEditingByItsColumn) {
    EditForm f;
    f.Click(2, 3);
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_FALSE(f.g->Options().Contains(goEditing));
    f.Click(1, 3);
    EXPECT_TRUE(f.g->Options().Contains(goEditing));
    f.Click(2, 4);
    EXPECT_FALSE(f.g->Options().Contains(goEditing));
    // Typing on the read-only cell opens nothing and changes nothing.
    SimulateText(u"x");
    EXPECT_FALSE(f.g->EditorMode());
    EXPECT_EQ(f.g->GetCellEx(2, 4), u"v24");
}

TEST(ExGridEdit, TypingAndAClickElsewhereValidateThenReportTheEnd) {
    EditForm f;
    f.Click(1, 2);
    f.log.clear();
    SimulateText(u"new");
    ASSERT_TRUE(f.g->InplaceEditor());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"new");
    f.Click(3, 5);
    EXPECT_EQ(f.g->Col(), 3);
    EXPECT_EQ(f.g->Row(), 5);
    EXPECT_TRUE(f.g->Modified());
    std::vector<std::string> before = f.log;
    Application->ProcessMessages();
    std::vector<std::string> expected = {"validate 1,2 new", "row 2>5", "col 1>3", "cell", "select 3,5", "update 2>5"};
    EXPECT_EQ(before, expected);
    ASSERT_FALSE(f.log.empty());
    EXPECT_EQ(f.log.back(), "done 1,2");
}

TEST(ExGridEdit, ARefusalRestoresTheTextAndReturnsToTheCell) {
    EditForm f;
    f.Click(1, 2);
    SimulateText(u"bad");
    f.refuse = true;
    f.Click(3, 5);
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"v12");
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_FALSE(f.g->Modified());
}

}  // namespace

namespace {

TEST(ExGridEdit, ARefusedRowChangeStillReportsTheTargetOnce) {
    EditForm f;
    f.Click(1, 2);
    f.g->OnRowChanging = [](TObject*, int, int, bool& allow) { allow = false; };
    f.log.clear();
    f.Click(1, 5);
    EXPECT_EQ(f.g->Row(), 2);
    f.Click(1, 5);
    int updates = 0;
    for (const std::string& s : f.log) updates += s == "update 2>5";
    EXPECT_EQ(updates, 1);
}

}  // namespace

namespace {

TEST(ExGridEdit, CellsRightOfAHiddenColumnEditTheirRealColumn) {
    EditForm f;
    f.g->HideColumn(1);  // displayed 1 is now the read-only real 2, displayed 2 real 3
    f.Click(1, 2);
    EXPECT_FALSE(f.g->Options().Contains(goEditing));
    f.Click(2, 2);
    EXPECT_TRUE(f.g->Options().Contains(goEditing));
    SimulateText(u"zz");
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"zz");
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"v22");
    f.log.clear();
    f.Click(3, 4);
    Application->ProcessMessages();
    ASSERT_FALSE(f.log.empty());
    EXPECT_EQ(f.log.front(), "validate 3,2 zz");
    EXPECT_EQ(f.log.back(), "done 3,2");
}

}  // namespace

TEST(ExGridEdit, AGridThatAlwaysEditsWritesTypedTextOnlyIntoItsCell) {
    // As the table editors build it: goEditing from the start, no validation handler.
    TForm form{nullptr};
    form.SetBounds(0, 0, 500, 350);
    TExColumnGrid* g = new TExColumnGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 400, 250);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    form.Show();
    g->SetFocus();
    auto click = [&](int c, int r) {
        const TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    };
    click(3, 1);
    SimulateText(u"a");
    click(2, 2);
    SimulateText(u"b");
    click(1, 3);
    EXPECT_EQ(g->GetCellEx(3, 1), u"a");
    EXPECT_EQ(g->GetCellEx(2, 2), u"b");
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            if (!((c == 3 && r == 1) || (c == 2 && r == 2))) EXPECT_EQ(g->GetCellEx(c, r), u"") << c << "," << r;
}

namespace {

// The road of one edit with the typing events logged as well.
struct RoadForm : EditForm {
    RoadForm() {
        g->OnKeyPress = [this](TObject*, Char& k) { log.push_back("key " + StringToUtf8(String(1, k))); };
        g->OnKeyDown = [this](TObject*, Word& k, TShiftState) {
            if (k == VK_RETURN) log.push_back("keydown enter");
        };
        g->OnEditChange = [this](TObject*, int, int, const String& v) { log.push_back("change " + StringToUtf8(v)); };
        g->OnEditingDone = [this](TObject*) { log.push_back("editing done"); };
    }
};

}  // namespace

TEST(ExGridEdit, TheRoadOfOneEditByKeysAndMouse) {
    const std::vector<std::string> typing = {"key a", "change a", "key b", "change ab"};
    {
        SCOPED_TRACE("typing, then a click on another row");
        RoadForm f;
        f.Click(1, 2);
        f.log.clear();
        SimulateText(u"ab");
        f.Click(3, 5);
        Application->ProcessMessages();
        std::vector<std::string> expected = typing;
        for (const char* e : {"editing done", "validate 1,2 ab", "row 2>5", "col 1>3", "cell", "select 3,5",
                              "update 2>5", "done 1,2"})
            expected.push_back(e);
        EXPECT_EQ(f.log, expected);
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"ab");
    }
    {
        SCOPED_TRACE("typing, then Enter");
        RoadForm f;
        f.Click(1, 2);
        f.log.clear();
        SimulateText(u"ab");
        SimulateKey(VK_RETURN);
        Application->ProcessMessages();
        EXPECT_FALSE(f.g->EditorMode());
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"ab");
        const std::vector<std::string> head(f.log.begin(), f.log.begin() + std::min(f.log.size(), typing.size()));
        EXPECT_EQ(head, typing);
        auto at = [&](const char* e) { return std::find(f.log.begin(), f.log.end(), e) - f.log.begin(); };
        EXPECT_LT(at("validate 1,2 ab"), int(f.log.size()));
        EXPECT_EQ(f.log.back(), "done 1,2");
    }
    {
        SCOPED_TRACE("a read-only column");
        RoadForm f;
        f.Click(2, 2);
        f.log.clear();
        SimulateText(u"ab");
        EXPECT_FALSE(f.g->EditorMode());
        EXPECT_EQ(f.g->GetCellEx(2, 2), u"v22");
        f.log.clear();
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(f.g->EditorMode());
        ASSERT_FALSE(f.log.empty());
        EXPECT_EQ(f.log.front(), "keydown enter");
    }
    {
        SCOPED_TRACE("Escape");
        RoadForm f;
        f.Click(1, 2);
        SimulateText(u"ab");
        f.log.clear();
        SimulateKey(VK_ESCAPE);
        Application->ProcessMessages();
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"v12");
        for (const std::string& e : f.log) EXPECT_EQ(e.find("validate"), std::string::npos) << e;
    }
}

namespace {

// A refusal names the problem in a balloon on the editor the user is sent
// back to, when the grid has a text for it.
TEST(ExGridEdit, ARefusedValueShowsTheInvalidEntryBalloonOnTheReopenedEditor) {
    for (TEditorType kind : {edNormal, edComboEdit}) {
        SCOPED_TRACE(int(kind));
        EditForm f;
        f.g->Columns().Items(1)->SetEditor(kind);
        f.g->SetInvalidEntryTitle(u"Wrong value");
        f.g->SetInvalidEntryText(u"Type a number");
        f.g->SetInvalidEntryIcon(ieError);
        f.Click(1, 2);
        SimulateKey(VK_F2);
        SimulateText(u"bad");
        f.refuse = true;
        SimulateKey(VK_RETURN);
        TBalloonTip& tip = EditBalloonTip();
        ASSERT_TRUE(tip.IsTipShowing());
        EXPECT_EQ(tip.Title(), u"Wrong value");
        EXPECT_EQ(tip.TipText(), u"Type a number");
        EXPECT_EQ(tip.Icon(), TTI_ERROR);
        TWinControl* editor = kind == edNormal ? static_cast<TWinControl*>(f.g->InplaceEditor())
                                               : static_cast<TWinControl*>(f.g->Combobox());
        EXPECT_EQ(tip.CurrentTool(), editor);
        EXPECT_EQ(f.g->EditCtrl(), kind == edNormal ? nullptr : editor);
        tip.Pop();
    }
    // Without texts a refusal shows nothing.
    EditForm f;
    f.Click(1, 2);
    SimulateText(u"bad");
    f.refuse = true;
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(f.g->EditorMode());
    EXPECT_FALSE(EditBalloonTip().IsTipShowing());
}

TEST(ExGridEdit, AnAcceptedChangeMarksItsRowAndRepaintsTheMark) {
    EditForm f;
    f.g->ShowModified().SetEnabled(true);
    f.Click(1, 2);
    SimulateText(u"new");
    UpdateWindow(f.g->Handle());
    SimulateKey(VK_RETURN);
    EXPECT_TRUE(f.g->RowModified(2));
    TRect pending{};
    GetUpdateRect(f.g->Handle(), &pending, false);
    const TRect mark = f.g->CellRect(0, 2);
    EXPECT_TRUE(pending.Left <= mark.Left && pending.Top <= mark.Top && pending.Right >= mark.Right &&
                pending.Bottom >= mark.Bottom);
    // A refused change leaves another row unmarked.
    f.refuse = true;
    f.Click(1, 3);
    SimulateText(u"bad");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(f.g->RowModified(3));
}

TEST(ExGridEdit, ACellHoldingWideTextIsValidatedAsWideText) {
    EditForm f;
    f.g->SetCellEx(1, 2, EncodeWideCellText(u"\u03A9"));
    std::vector<std::string> wide;
    bool accept = true;
    f.g->OnCellValidateWide = [&](TObject*, int c, int r, String& v, bool& valid) {
        wide.push_back(std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(v));
        v = u"\u03A9\u03A9";
        valid = accept;
    };
    f.g->SetAlwaysValidate(true);
    f.Click(1, 2);
    // The edit is left through the grid, with the wide text still in the cell.
    f.g->ShowCellEdit();
    ASSERT_TRUE(f.g->EditorMode());
    f.g->SetFocus();
    f.log.clear();
    f.Click(3, 5);
    EXPECT_EQ(wide, std::vector<std::string>{"1,2 \u03A9"});
    for (const std::string& s : f.log) EXPECT_EQ(s.find("validate"), std::string::npos) << s;
    EXPECT_EQ(f.g->WideCells(1, 2), u"\u03A9\u03A9");
    EXPECT_EQ(f.g->Row(), 5);
    // A refusal with a replacement keeps the replacement and goes back to the cell.
    f.g->SetCellEx(1, 3, EncodeWideCellText(u"x"));
    accept = false;
    f.Click(1, 3);
    f.g->ShowCellEdit();
    f.g->SetFocus();
    f.Click(3, 5);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->WideCells(1, 3), u"\u03A9\u03A9");
    EXPECT_TRUE(f.g->EditorMode());
}

TEST(ExGridEdit, ShowCellEditOpensTheCellsEditorAndEditCtrlNamesTheDedicatedOne) {
    struct Case {
        TEditorType kind;
        bool dedicated;
    };
    for (const Case& k : {Case{edNormal, false}, Case{edComboList, true}, Case{edSpinEdit, true},
                          Case{edCheckBox, false}, Case{edDateTimeEdit, false}}) {
        SCOPED_TRACE(int(k.kind));
        EditForm f;
        f.g->Columns().Items(1)->SetEditor(k.kind);
        f.Click(1, 2);
        f.g->ShowCellEdit();
        EXPECT_TRUE(f.g->EditorMode() || f.g->EditActive());
        if (k.dedicated) {
            ASSERT_TRUE(f.g->EditCtrl());
            EXPECT_TRUE(f.g->EditCtrl()->Visible());
        } else {
            EXPECT_EQ(f.g->EditCtrl(), nullptr);
        }
    }
    EditForm f;
    f.Click(1, 2);
    f.g->ShowCellEdit();
    EXPECT_EQ(f.g->EditCombo(), f.g->Combobox());
}

}  // namespace
