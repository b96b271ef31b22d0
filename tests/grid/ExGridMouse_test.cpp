#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "grid/foundation/GridUndoRedo.h"

#include "GridOnForm.h"
#include "support/RealDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <string>
#include <vector>

namespace {

// A shown form with a column grid: columns 1 and 2 hold data check boxes
// (column 2 read-only), column 3 plain text. Clicks and check boxes logged.
struct MouseForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    std::vector<std::string> log;

    MouseForm() {
        form.SetBounds(0, 0, 600, 400);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 450, 250);
        g->SetRowCount(5);
        g->Columns().Items(1)->SetEditor(edDataCheckBox);
        g->Columns().Items(2)->SetEditor(edDataCheckBox);
        g->Columns().Items(2)->SetReadOnly(true);
        for (int r = 1; r < g->RowCount(); ++r) {
            g->SetCellEx(1, r, u"");
            g->SetCellEx(2, r, u"");
            g->SetCellEx(3, r, u"t");
        }
        auto at = [](int c, int r) { return " " + std::to_string(c) + "," + std::to_string(r); };
        g->OnCheckBoxClick = [this, at](TObject*, int c, int r, bool s) {
            log.push_back("check" + at(c, r) + (s ? " on" : " off"));
        };
        g->OnCheckBoxChange = [this, at](TObject*, int c, int r, bool s) {
            log.push_back("change" + at(c, r) + (s ? " on" : " off"));
        };
        g->OnClickCell = [this, at](TObject*, int r, int c) { log.push_back("clickcell" + at(c, r)); };
        g->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("mousedown"); };
        g->OnClick = [this](TObject*) { log.push_back("click"); };
        form.Show();
        g->SetFocus();
    }
    void Press(int c, int r, int dx = 5, int dy = 5) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + dx, R.Top + dy);
    }
};

// A press and release of Button 5 pixels inside the cell, with Shift held.
void ClickCell(TExStringGrid* G, TMouseButton Button, int ACol, int ARow, TShiftState Shift) {
    const TRect R = G->CellRect(ACol, ARow);
    SimulateMouseDown(G, Button, R.Left + 5, R.Top + 5, Shift);
    SimulateMouseUp(G, Button, R.Left + 5, R.Top + 5, Shift);
}

TEST(ExGridMouse, APressAnywhereInACheckBoxCellTogglesItInsteadOfACellClick) {
    MouseForm f;
    TRect R = f.g->CellRect(1, 2);
    f.Press(1, 2, R.Right - R.Left - 3, R.Bottom - R.Top - 3);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Y");
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 on", "check 1,2 on", "mousedown", "click"}));
    f.log.clear();
    f.Press(1, 2);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"N");
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 off", "check 1,2 off", "mousedown", "click"}));
    // Anything but the check-true text counts as unchecked.
    f.g->SetCellEx(1, 3, u"x");
    f.Press(1, 3);
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"Y");
    // The second press of a double click is no second toggle.
    R = f.g->CellRect(1, 4);
    SimulateDblClick(f.g, R.Left + 5, R.Top + 5);
    EXPECT_EQ(f.g->GetCellEx(1, 4), u"Y");
}

TEST(ExGridMouse, ReadOnlyAndHeaderCheckBoxCellsOnlySelect) {
    MouseForm f;
    f.Press(2, 3);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"");
    EXPECT_EQ(f.g->Col(), 2);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 2,3", "click"}));
    f.log.clear();
    const String header = f.g->Cells(1, 0);
    f.Press(1, 0);
    EXPECT_EQ(f.g->Cells(1, 0), header);
    EXPECT_EQ(f.g->Row(), 3);
    // The release on a fixed cell is the grid's click there.
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 1,0", "click"}));
}

TEST(ExGridMouse, APlainPressSelectsAndAPressOnTheCurrentCellOpensTheEditor) {
    MouseForm f;
    f.Press(3, 2);
    EXPECT_EQ(f.g->Col(), 3);
    EXPECT_EQ(f.g->Row(), 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "clickcell 3,2", "click"}));
    EXPECT_FALSE(f.g->EditorMode());
    f.Press(3, 2);
    EXPECT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
}

TEST(ExGridMouse, ACheckBoxPressKeepsTheTextTypedInAnotherCell) {
    MouseForm f;
    f.Press(3, 2);
    SimulateText(u"ab");
    ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
    f.Press(1, 3);
    EXPECT_FALSE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"ab");
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"Y");
    EXPECT_EQ(f.g->Row(), 3);
}

TEST(ExGridMouse, APressBelowTheLastRowClosesTheEditorAndKeepsTheText) {
    MouseForm f;
    f.g->SetFixedRowAlways(true);
    f.Press(3, 2);
    SimulateText(u"ab");
    TRect last = f.g->CellRect(3, f.g->RowCount() - 1);
    SimulateClick(f.g, last.Left + 5, last.Bottom + 20);
    EXPECT_FALSE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"ab");
    EXPECT_EQ(f.g->Row(), 2);
}

TEST(ExGridMouse, APressOnAHeaderBorderSizesAndIsNoCellClick) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    TRect R = f.g->CellRect(3, 0);
    SimulateMouseDown(f.g, mbLeft, R.Right - 2, R.Top + 5);
    SimulateMouseUp(f.g, mbLeft, R.Right - 2, R.Top + 5);
    SimulateClick(f.g, R.Left + 10, R.Top + 5);
    // The sizing release clicks nothing; the plain release on the header does.
    EXPECT_EQ(f.log, (std::vector<std::string>{"mousedown", "mousedown", "clickcell 3,0", "click"}));
}

TEST(ExGridMouse, ARefusedClickLeavesTheCurrentCell) {
    MouseForm f;
    f.g->OnCanClickCell = [](TObject*, int, int, bool& Allow) { Allow = false; };
    f.Press(3, 3);
    f.Press(1, 3);
    EXPECT_EQ(f.g->Row(), 1);
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"");
    EXPECT_TRUE(f.log.empty());
    // Nor does it size a fixed column at its border or edit the current cell.
    f.g->MouseActions().SetSizeFixedCol(true);
    const int border = f.g->ColWidths(0) + 1;
    const int width = f.g->ColWidths(0);
    TRect R = f.g->CellRect(1, 3);
    SimulateMouseMove(f.g, border + 1, R.Top + 5);
    SimulateMouseDown(f.g, mbLeft, border + 1, R.Top + 5);
    SimulateMouseMove(f.g, 80, R.Top + 5, {ssLeft});
    SimulateMouseUp(f.g, mbLeft, 80, R.Top + 5);
    EXPECT_EQ(f.g->ColWidths(0), width);
    f.g->MouseActions().SetRangeSelectAndEdit(true);
    f.g->FocusCell(3, 2, true);
    f.log.clear();
    f.Press(3, 2);
    EXPECT_FALSE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
    EXPECT_TRUE(f.log.empty());
}

TEST(ExGridMouse, SpaceTogglesAnEditableCheckBoxCellOnly) {
    MouseForm f;
    f.Press(3, 2);
    f.Press(1, 2);
    f.log.clear();
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"N");
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1,2 off", "check 1,2 off"}));
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Y");
    f.log.clear();
    SimulateKey(VK_RIGHT);
    ASSERT_EQ(f.g->Col(), 2);
    f.log.clear();
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"");
    EXPECT_TRUE(f.log.empty());
    // Another look: the read-only box still answers.
    f.g->ControlLook().CheckAlwaysActive = true;
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"Y");
}

// Space and Enter click the button of an editable current cell; an expand
// button is no click control and takes neither key.
TEST(ExGridMouse, SpaceAndEnterClickAnEditableButtonCell) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->AddButton(2, 2, 30, 14, u"Go", haCenter, vaCenter);
    g->AddExpand(3, 2, 80);
    bool refuse = false;
    g->OnCanEditCell = [&](TObject*, int, int, bool& CanEdit) {
        if (refuse) CanEdit = false;
    };
    std::vector<std::string> log;
    g->OnButtonClick = [&](TObject*, int c, int r) {
        log.push_back("button " + std::to_string(c) + "," + std::to_string(r));
    };
    g->OnExpandClick = [&](TObject*, int, int, bool) { log.push_back("expand"); };
    g->SetFocus();
    struct Case {
        const char* name;
        Word key;
        int col;
        bool editing, refused;
        std::vector<std::string> log;
    } cases[] = {
        {"Space, editing", VK_SPACE, 2, true, false, {"button 2,2"}},
        {"Enter, editing", VK_RETURN, 2, true, false, {"button 2,2"}},
        {"Space, no editing", VK_SPACE, 2, false, false, {}},
        {"Enter, no editing", VK_RETURN, 2, false, false, {}},
        {"Space, the cell refused", VK_SPACE, 2, true, true, {}},
        {"Space on an expand button", VK_SPACE, 3, true, false, {}},
    };
    for (const Case& c : cases) {
        g->SetOptions(c.editing ? g->Options() + TGridOptions{goEditing} : g->Options() - TGridOptions{goEditing});
        refuse = c.refused;
        g->FocusCell(c.col, 2);
        log.clear();
        SimulateKey(c.key);
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(g->RowHeights(2), g->DefaultRowHeight()) << c.name;
        // A button cell gets no editor: the key types nothing into it.
        if (c.col == 2) {
            EXPECT_FALSE(g->InplaceEditor() && g->InplaceEditor()->Visible()) << c.name;
            EXPECT_EQ(g->GetCellEx(2, 2), u"") << c.name;
        }
        g->HideInplaceEdit();
    }
}

TEST(ExGridMouse, ADoubleClickAtAHeaderBorderSizesTheColumnLeftOfIt) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    f.g->SetCellEx(2, 1, u"a rather long text of this column");
    std::vector<std::string> sized;
    f.g->OnColumnSize = [&](TObject*, int c, bool&) { sized.push_back("size " + std::to_string(c)); };
    f.g->OnEndColumnSize = [&](TObject*, int c) { sized.push_back("end " + std::to_string(c)); };
    f.g->OnDblClickCell = [&](TObject*, int r, int c) {
        sized.push_back("dbl " + std::to_string(c) + "," + std::to_string(r));
    };
    struct Case {
        int dx;
        bool sizes;
    };
    // Offsets from the left edge of column 3's header cell.
    for (Case c : {Case{4, false}, Case{3, true}, Case{0, true}}) {
        SCOPED_TRACE(c.dx);
        f.g->SetColWidths(2, 50);
        sized.clear();
        TRect R = f.g->CellRect(3, 0);
        SimulateDblClick(f.g, R.Left + c.dx, R.Top + 5);
        // The mouse over a border that can be sized asks OnColumnSize as well.
        std::vector<std::string> told;
        for (const std::string& e : sized)
            if (told.empty() || e != told.back()) told.push_back(e);
        if (c.sizes) {
            EXPECT_GT(f.g->ColWidths(2), 150);
            EXPECT_EQ(told, (std::vector<std::string>{"size 2", "end 2"}));
        } else {
            EXPECT_EQ(f.g->ColWidths(2), 50);
            EXPECT_EQ(told.back(), "dbl 3,0");
            EXPECT_EQ(std::count(told.begin(), told.end(), "end 2"), 0);
        }
    }
    // A refusal keeps the width.
    f.g->SetColWidths(2, 50);
    f.g->OnColumnSize = [](TObject*, int, bool& Allow) { Allow = false; };
    TRect R = f.g->CellRect(3, 0);
    SimulateDblClick(f.g, R.Left + 1, R.Top + 5);
    EXPECT_EQ(f.g->ColWidths(2), 50);
    // Without column sizing it is a plain double click on the header.
    f.g->SetOptions(f.g->Options() - TGridOptions{goColSizing});
    sized.clear();
    SimulateDblClick(f.g, R.Left + 1, R.Top + 5);
    EXPECT_EQ(sized, (std::vector<std::string>{"dbl 3,0"}));
}

TEST(ExGridMouse, DoubleClicksOnDataAndCheckBoxCells) {
    MouseForm f;
    std::vector<std::string> dbl;
    f.g->OnDblClickCell = [&](TObject*, int r, int c) {
        dbl.push_back(std::to_string(c) + "," + std::to_string(r));
    };
    TRect R = f.g->CellRect(3, 2);
    SimulateDblClick(f.g, R.Left + 5, R.Top + 5);
    EXPECT_EQ(dbl, (std::vector<std::string>{"3,2"}));
    // In the open editor too.
    SimulateClick(f.g, R.Left + 5, R.Top + 5);
    ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
    dbl.clear();
    SimulateDblClick(f.g->InplaceEditor(), 3, 3);
    EXPECT_EQ(dbl, (std::vector<std::string>{"3,2"}));
    // A check-box cell toggles once and reports no double click.
    dbl.clear();
    R = f.g->CellRect(1, 3);
    SimulateDblClick(f.g, R.Left + 5, R.Top + 5);
    EXPECT_TRUE(dbl.empty());
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"Y");
}

TEST(ExGridMouse, RightClicksReportTheirCellAndMayMoveTheCurrentOne) {
    MouseForm f;
    std::vector<std::string> right;
    f.g->OnRightClickCell = [&](TObject*, int r, int c) {
        right.push_back(std::to_string(c) + "," + std::to_string(r));
    };
    TRect R = f.g->CellRect(3, 3);
    SimulateMouseDown(f.g, mbRight, R.Left + 5, R.Top + 5);
    SimulateMouseUp(f.g, mbRight, R.Left + 5, R.Top + 5);
    EXPECT_EQ(f.g->Row(), 1);
    f.g->MouseActions().SetSelectOnRightClick(true);
    SimulateMouseDown(f.g, mbRight, R.Left + 5, R.Top + 5);
    SimulateMouseUp(f.g, mbRight, R.Left + 5, R.Top + 5);
    EXPECT_EQ(f.g->Col(), 3);
    EXPECT_EQ(f.g->Row(), 3);
    TRect last = f.g->CellRect(3, f.g->RowCount() - 1);
    SimulateMouseDown(f.g, mbRight, last.Left + 5, last.Bottom + 30);
    SimulateMouseUp(f.g, mbRight, last.Left + 5, last.Bottom + 30);
    EXPECT_EQ(right, (std::vector<std::string>{"3,3", "3,3", "-1,-1"}));
}

// A right click with SelectOnRightClick acts as a left click when nobody
// handles right clicks, and only moves the focus when a handler does.
TEST(ExGridMouse, ARightClickWithoutItsHandlerActsAsALeftClick) {
    struct Case {
        bool handler;
        bool disjunctCells;
        std::vector<std::string> events;
        int col, row;
    };
    const Case cases[] = {
        {false, false, {"down L", "click", "up L"}, 3, 3},
        {true, false, {"click", "right 3,3"}, 3, 3},
        // A cell inside a disjunct cell selection keeps that selection.
        {false, true, {}, 1, 1},
    };
    for (const Case& c : cases) {
        MouseForm f;
        std::vector<std::string> events;
        f.g->MouseActions().SetSelectOnRightClick(true);
        f.g->MouseActions().SetDisjunctCellSelect(c.disjunctCells);
        if (c.disjunctCells) f.g->SetSelectedCells(3, 3, true);
        f.g->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) {
            events.push_back(b == mbLeft ? "down L" : "down R");
        };
        f.g->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) {
            if (b == mbLeft) events.push_back("up L");
        };
        f.g->OnClick = [&](TObject*) { events.push_back("click"); };
        if (c.handler)
            f.g->OnRightClickCell = [&](TObject*, int r, int col) {
                events.push_back("right " + std::to_string(col) + "," + std::to_string(r));
            };
        const TRect R = f.g->CellRect(3, 3);
        SimulateMouseDown(f.g, mbRight, R.Left + 5, R.Top + 5);
        std::erase(events, std::string("down R"));
        EXPECT_EQ(events, c.events) << c.handler << c.disjunctCells;
        EXPECT_EQ(f.g->Col(), c.col);
        EXPECT_EQ(f.g->Row(), c.row);
        SimulateMouseUp(f.g, mbRight, R.Left + 5, R.Top + 5);
    }
}

TEST(ExGridMouse, SizingAColumnReportsItsWidthAndShowsItAsHint) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    f.g->SetHintShowSizing(true);
    std::vector<int> sizing;
    std::vector<int> ended;
    f.g->OnColumnSizing = [&](TObject*, int c, int w) {
        EXPECT_EQ(c, 2);
        sizing.push_back(w);
    };
    f.g->OnEndColumnSize = [&](TObject*, int c) { ended.push_back(c); };
    f.g->OnUpdateColumnSize = [](TObject*, int, int& w) { w += 1; };
    TRect R = f.g->CellRect(2, 0);
    const int border = R.Right;
    SimulateMouseDown(f.g, mbLeft, border, R.Top + 5);
    SimulateMouseMove(f.g, R.Left + 85, R.Top + 5, {ssLeft});
    ASSERT_FALSE(sizing.empty());
    THTMLHintWindow* w = f.g->ScrollHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsHintShowing());
    EXPECT_EQ(w->Text(), u"cw=<b>" + IntToStr(sizing.back()) + u"</b>");
    EXPECT_EQ(w->Left(), f.g->ClientToScreen({R.Left, 0}).X);
    EXPECT_EQ(w->Top(), f.g->ClientToScreen({0, R.Top}).Y);
    SimulateMouseUp(f.g, mbLeft, R.Left + 85, R.Top + 5);
    EXPECT_FALSE(w->IsHintShowing());
    EXPECT_EQ(ended, (std::vector<int>{2}));
    EXPECT_EQ(f.g->ColWidths(2), sizing.back() + 1);
}

TEST(ExGridMouse, TheHoverRowFollowsTheMouse) {
    MouseForm f;
    f.g->SetHoverRow(true);
    TRect R = f.g->CellRect(3, 2);
    SimulateMouseMove(f.g, R.Left + 5, R.Top + 5);
    EXPECT_EQ(f.g->HoverRowIndex(), 2);
    SimulateMouseLeave();
    EXPECT_EQ(f.g->HoverRowIndex(), -1);
}

TEST(ExGridMouse, AFixedColumnIsSizedByItsBorderInAnyRow) {
    MouseForm f;
    f.g->SetHintShowSizing(true);
    std::vector<std::string> events;
    f.g->OnColumnSizing = [&](TObject*, int c, int w) {
        events.push_back("sizing " + std::to_string(c) + " " + std::to_string(w));
    };
    f.g->OnEndColumnSize = [&](TObject*, int c) { events.push_back("end " + std::to_string(c)); };
    const int border = f.g->ColWidths(0) + 1;
    TRect R = f.g->CellRect(1, 3);
    // Off by default: the press selects the cell beside the border.
    SimulateMouseMove(f.g, border + 1, R.Top + 5);
    SimulateClick(f.g, border + 1, R.Top + 5);
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_TRUE(events.empty());

    f.g->MouseActions().SetSizeFixedCol(true);
    SimulateMouseMove(f.g, border + 1, R.Top + 5);
    SimulateMouseDown(f.g, mbLeft, border + 1, R.Top + 5);
    SimulateMouseMove(f.g, 80, R.Top + 5, {ssLeft});
    THTMLHintWindow* w = f.g->ScrollHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsHintShowing());
    EXPECT_EQ(w->Text(), u"cw=<b>80</b>");
    EXPECT_EQ(w->Top(), f.g->ClientToScreen({0, f.g->CellRect(0, 0).Top}).Y);
    SimulateMouseUp(f.g, mbLeft, 80, R.Top + 5);
    EXPECT_FALSE(w->IsHintShowing());
    EXPECT_EQ(f.g->ColWidths(0), 80);
    EXPECT_EQ(events, (std::vector<std::string>{"sizing 0 80", "end 0"}));
    EXPECT_EQ(f.g->Row(), 3);
}

TEST(ExGridMouse, HeadersSelectRowsColumnsOrEverythingWhenAllowed) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    auto cellPoint = [&](int c, int r) {
        TRect R = f.g->CellRect(c, r);
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    };
    auto sel = [&] {
        TGridRect s = f.g->Selection();
        return std::to_string(s.Left) + "," + std::to_string(s.Top) + "-" + std::to_string(s.Right) + "," +
               std::to_string(s.Bottom);
    };
    // Nothing is offered unless asked for.
    TPoint p = cellPoint(0, 2);
    SimulateMouseMove(f.g, p.X, p.Y);
    EXPECT_EQ(f.g->MouseSelectMode(), msNormal);

    f.g->MouseActions().SetRowSelect(true);
    f.g->MouseActions().SetColSelect(true);
    f.g->MouseActions().SetAllSelect(true);
    SimulateMouseMove(f.g, p.X, p.Y);
    EXPECT_EQ(f.g->MouseSelectMode(), msRow);
    SimulateMouseDown(f.g, mbLeft, p.X, p.Y);
    const std::string lastCol = std::to_string(f.g->ColCount() - 1);
    EXPECT_EQ(sel(), "1,2-" + lastCol + ",2");
    TPoint q = cellPoint(0, 4);
    SimulateMouseMove(f.g, q.X, q.Y, {ssLeft});
    EXPECT_EQ(sel(), "1,2-" + lastCol + ",4");
    SimulateMouseUp(f.g, mbLeft, q.X, q.Y);
    EXPECT_EQ(f.g->MouseSelectMode(), msNormal);

    p = cellPoint(2, 0);
    SimulateMouseMove(f.g, p.X, p.Y);
    EXPECT_EQ(f.g->MouseSelectMode(), msColumn);
    SimulateMouseDown(f.g, mbLeft, p.X, p.Y);
    const std::string lastRow = std::to_string(f.g->RowCount() - 1);
    EXPECT_EQ(sel(), "2,1-2," + lastRow);
    q = cellPoint(3, 0);
    SimulateMouseMove(f.g, q.X, q.Y, {ssLeft});
    EXPECT_EQ(sel(), "2,1-3," + lastRow);
    SimulateMouseUp(f.g, mbLeft, q.X, q.Y);
    // A column border in the header offers sizing, not a column.
    TRect R = f.g->CellRect(2, 0);
    SimulateMouseMove(f.g, R.Right - 1, R.Top + 5);
    EXPECT_EQ(f.g->MouseSelectMode(), msNormal);

    p = cellPoint(0, 0);
    SimulateClick(f.g, p.X, p.Y);
    EXPECT_EQ(sel(), "1,1-" + lastCol + "," + lastRow);
    // Leaving the grid takes the offer back.
    SimulateMouseMove(f.g, p.X, p.Y);
    EXPECT_EQ(f.g->MouseSelectMode(), msAll);
    SimulateMouseLeave();
    EXPECT_EQ(f.g->MouseSelectMode(), msNormal);
}


// A press on a cell's push button holds it down with the mouse captured; the
// release clicks it only over that same button.
TEST(ExGridMouse, ACellButtonClicksWhenReleasedOverItself) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->AddButton(2, 2, 30, 14, u"Go", haCenter, vaCenter);
    g->AddButton(3, 3, 30, 14, u"No", haCenter, vaCenter);
    UpdateWindow(g->Handle());
    std::vector<TPoint> clicks;
    g->OnButtonClick = [&](TObject*, int c, int r) { clicks.push_back({c, r}); };
    auto render = [g] {
        UpdateWindow(g->Handle());
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    };
    auto same = [](TBitmap& a, TBitmap& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
        return true;
    };
    const TRect button = g->GetCellButtonRect(2, 2);
    const TRect other = g->GetCellButtonRect(3, 3);
    const TRect cell = g->CellRect(2, 2);
    ASSERT_FALSE(IsRectEmpty(button));
    // The press makes the button's cell current; away from the buttons the
    // mouse mixes no hot look into the pictures.
    g->FocusCell(2, 2);
    SimulateMouseMove(g, g->CellRect(1, 1).Left + 2, g->CellRect(1, 1).Top + 2);
    const auto normal = render();

    struct Case {
        const char* name;
        TPoint release;
        size_t clicks;
    } cases[] = {
        {"on the button", {button.Left + 3, button.Top + 3}, 1},
        {"in its cell beside it", {cell.Left + 1, cell.Bottom - 2}, 0},
        {"on another cell's button", {other.Left + 3, other.Top + 3}, 0},
        {"outside the cells", {g->Width() - 2, g->Height() - 2}, 0},
    };
    for (const Case& c : cases) {
        clicks.clear();
        SimulateMouseDown(g, mbLeft, button.Left + 3, button.Top + 3);
        EXPECT_EQ(g->PushedCellButton(), (TPoint{2, 2})) << c.name;
        EXPECT_TRUE(g->MouseCapture()) << c.name;
        EXPECT_EQ(g->Col(), 2) << c.name;
        EXPECT_EQ(g->Row(), 2) << c.name;
        const auto held = render();
        EXPECT_FALSE(same(*held, *normal)) << c.name;  // drawn pushed while held
        SimulateMouseUp(g, mbLeft, c.release.X, c.release.Y);
        EXPECT_EQ(clicks.size(), c.clicks) << c.name;
        if (c.clicks) {
            EXPECT_EQ(clicks[0], (TPoint{2, 2})) << c.name;
        }
        EXPECT_EQ(g->PushedCellButton(), (TPoint{-1, -1})) << c.name;
        EXPECT_FALSE(g->MouseCapture()) << c.name;
        SimulateMouseMove(g, g->CellRect(1, 1).Left + 2, g->CellRect(1, 1).Top + 2);
        const auto after = render();
        EXPECT_TRUE(same(*after, *normal)) << c.name;
    }

    // A press in the button's cell beside the button pushes nothing.
    SimulateMouseDown(g, mbLeft, cell.Left + 1, cell.Bottom - 2);
    EXPECT_EQ(g->PushedCellButton(), (TPoint{-1, -1}));
    SimulateMouseUp(g, mbLeft, button.Left + 3, button.Top + 3);
    EXPECT_TRUE(clicks.empty());
}

// A click on a cell's expand button flips its row between the height it had
// when the button was added and the expanded height; beside it, nothing.
TEST(ExGridMouse, ExpandButtonClickTogglesRowHeight) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->SetRowHeights(2, 22);
    g->AddExpand(2, 2, 80);
    UpdateWindow(g->Handle());
    std::vector<bool> reported;
    g->OnExpandClick = [&](TObject*, int c, int r, bool e) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 2);
        reported.push_back(e);
    };
    auto click = [g](TPoint p) {
        SimulateMouseDown(g, mbLeft, p.X, p.Y);
        SimulateMouseUp(g, mbLeft, p.X, p.Y);
    };
    const TRect cell = g->CellRect(2, 2);
    const TRect button = g->GetExpandButtonRect(2, 2);
    EXPECT_EQ(button, Rect(cell.Right - 13, cell.Top + 2, cell.Right - 2, cell.Top + 13));

    click({cell.Left + 2, cell.Bottom - 3});
    EXPECT_EQ(g->RowHeights(2), 22);
    EXPECT_TRUE(reported.empty());

    SimulateMouseDown(g, mbLeft, button.Left + 4, button.Top + 4);
    EXPECT_EQ(g->PushedCellButton(), (TPoint{2, 2}));
    EXPECT_TRUE(g->MouseCapture());
    SimulateMouseUp(g, mbLeft, button.Left + 4, button.Top + 4);
    EXPECT_FALSE(g->MouseCapture());
    EXPECT_EQ(g->RowHeights(2), 80);
    EXPECT_TRUE(g->GetExpandState(2, 2));

    // The button stays at the cell's top right, so the same point clicks it again.
    EXPECT_EQ(g->GetExpandButtonRect(2, 2), button);
    click({button.Left + 4, button.Top + 4});
    EXPECT_EQ(g->RowHeights(2), 22);
    EXPECT_FALSE(g->GetExpandState(2, 2));
    EXPECT_EQ(reported, (std::vector<bool>{true, false}));

    // Pressed on the button but released beside it: no click.
    SimulateMouseDown(g, mbLeft, button.Left + 4, button.Top + 4);
    SimulateMouseUp(g, mbLeft, cell.Left + 2, cell.Bottom - 3);
    EXPECT_EQ(g->RowHeights(2), 22);
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_EQ(g->GetExpandHeight(1, 1, true), g->DefaultRowHeight());
}

// Fixed cells acting as buttons: a press draws the cell sunken until the
// release, which clicks it only over the same cell; only with both fixed
// grid lines and the 3D look.
TEST(ExGridMouse, FixedCellsActAsButtonsWithBothFixedLinesAndThe3DLook) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetFixedAsButtons(true);
    std::vector<std::string> log;
    g->OnButtonClick = [&](TObject*, int c, int r) {
        log.push_back("button " + std::to_string(c) + "," + std::to_string(r));
    };
    g->OnClick = [&](TObject*) { log.push_back("click"); };
    auto render = [g] {
        UpdateWindow(g->Handle());
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    };
    // The client point (x, y) in the rendered window, whose border is 2 pixels.
    auto at = [](const std::unique_ptr<TBitmap>& b, int x, int y) { return b->Canvas().Pixels(x + 2, y + 2); };
    const TColor sunken = ColorToRGB(cl3DDkShadow);
    auto mid = [g](int c, int r) {
        const TRect R = g->CellRect(c, r);
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    };

    struct Case {
        const char* name;
        TPoint press, release;
        bool pushed;
        std::vector<std::string> log;
    } cases[] = {
        {"a header released on itself", {2, 0}, {2, 0}, true, {"button 2,0", "click"}},
        {"a row header released on itself", {0, 3}, {0, 3}, true, {"button 0,3", "click"}},
        {"the corner released on itself", {0, 0}, {0, 0}, true, {"button 0,0", "click"}},
        {"a header released on another", {2, 0}, {3, 0}, true, {"click"}},
        {"a header released on a data cell", {2, 0}, {2, 2}, true, {}},
        {"a data cell, a plain selection", {2, 2}, {2, 2}, false, {"click"}},
    };
    for (const Case& c : cases) {
        log.clear();
        const TRect R = g->CellRect(c.press.X, c.press.Y);
        const auto before = render();
        const TPoint p = mid(c.press.X, c.press.Y), q = mid(c.release.X, c.release.Y);
        SimulateMouseDown(g, mbLeft, p.X, p.Y);
        EXPECT_EQ(g->FixedCellPushed(), c.pushed) << c.name;
        EXPECT_EQ(g->PushedCellButton(), (c.pushed ? c.press : TPoint{-1, -1})) << c.name;
        const auto held = render();
        // Sunken: dark along the top and left edges, light along the others.
        EXPECT_EQ(at(held, R.Left, R.Top + 3) == sunken, c.pushed) << c.name;
        EXPECT_EQ(at(held, R.Left + 3, R.Top) == sunken, c.pushed) << c.name;
        EXPECT_NE(at(before, R.Left, R.Top + 3), sunken) << c.name;
        SimulateMouseUp(g, mbLeft, q.X, q.Y);
        EXPECT_FALSE(g->FixedCellPushed()) << c.name;
        EXPECT_EQ(g->PushedCellButton(), (TPoint{-1, -1})) << c.name;
        EXPECT_EQ(log, c.log) << c.name;
        const auto after = render();
        EXPECT_EQ(at(after, R.Left, R.Top + 3), at(before, R.Left, R.Top + 3)) << c.name;
        EXPECT_EQ(at(after, R.Left + 3, R.Top), at(before, R.Left + 3, R.Top)) << c.name;
    }

    // Without either fixed line, without the 3D look or without the setting
    // a header is pressed as any header.
    struct Off {
        const char* name;
        std::function<void()> set, reset;
    } offs[] = {
        {"no vertical fixed lines", [g] { g->SetOptions(g->Options() - TGridOptions{goFixedVertLine}); },
         [g] { g->SetOptions(g->Options() + TGridOptions{goFixedVertLine}); }},
        {"no horizontal fixed lines", [g] { g->SetOptions(g->Options() - TGridOptions{goFixedHorzLine}); },
         [g] { g->SetOptions(g->Options() + TGridOptions{goFixedHorzLine}); }},
        {"no 3D look", [g] { g->SetCtl3D(false); }, [g] { g->SetCtl3D(true); }},
        {"not as buttons", [g] { g->SetFixedAsButtons(false); }, [g] { g->SetFixedAsButtons(true); }},
    };
    for (const Off& o : offs) {
        o.set();
        log.clear();
        const TPoint p = mid(2, 0);
        SimulateMouseDown(g, mbLeft, p.X, p.Y);
        EXPECT_FALSE(g->FixedCellPushed()) << o.name;
        SimulateMouseUp(g, mbLeft, p.X, p.Y);
        EXPECT_EQ(log, std::vector<std::string>{"click"}) << o.name;
        o.reset();
    }

    // A header sized at its border is no button click.
    g->SetOptions(g->Options() + TGridOptions{goColSizing});
    const TRect R = g->CellRect(2, 0);
    const int width = g->ColWidths(2);
    log.clear();
    // Pressed inside the header, on its sizing border.
    SimulateMouseDown(g, mbLeft, R.Right - 2, R.Top + 5);
    ASSERT_EQ(g->GridState(), gsColSizing);
    SimulateMouseMove(g, R.Right - 20, R.Top + 5, {ssLeft});
    SimulateMouseUp(g, mbLeft, R.Right - 20, R.Top + 5);
    EXPECT_LT(g->ColWidths(2), width);
    EXPECT_EQ(std::count(log.begin(), log.end(), "button 2,0"), 0);
    EXPECT_FALSE(g->FixedCellPushed());
}

// Where a cell cannot be edited its button looks disabled and does not
// click, unless NoDisabledButtonLook keeps it enabled; editing enables it.
TEST(ExGridMouse, NoDisabledButtonLookKeepsButtonsOfUneditableCellsEnabled) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->AddButton(2, 2, 40, 16, u"Go", haCenter, vaCenter);
    int clicks = 0;
    g->OnButtonClick = [&](TObject*, int, int) { ++clicks; };
    const TPoint away{g->CellRect(1, 1).Left + 2, g->CellRect(1, 1).Top + 2};
    auto button = [&] {
        g->FocusCell(1, 1);
        SimulateMouseMove(g, away.X, away.Y);
        UpdateWindow(g->Handle());
        TBitmap b;
        RenderControlToBitmap(g, b);
        const TRect r = g->GetCellButtonRect(2, 2);
        std::vector<TColor> pixels;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) pixels.push_back(b.Canvas().Pixels(x + 2, y + 2));
        return pixels;
    };
    const auto disabled = button();
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    const auto enabled = button();
    g->SetOptions(g->Options() - TGridOptions{goEditing});
    ASSERT_NE(disabled, enabled);

    struct Case {
        const char* name;
        bool editing, noDisabledLook, clicks;
    } cases[] = {
        {"not editable", false, false, false},
        {"not editable, never disabled", false, true, true},
        {"editing", true, false, true},
        {"editing, never disabled", true, true, true},
    };
    for (const Case& c : cases) {
        g->SetOptions(c.editing ? g->Options() + TGridOptions{goEditing} : g->Options() - TGridOptions{goEditing});
        g->ControlLook().NoDisabledButtonLook = c.noDisabledLook;
        EXPECT_EQ(button(), c.editing || c.noDisabledLook ? enabled : disabled) << c.name;
        clicks = 0;
        const TRect r = g->GetCellButtonRect(2, 2);
        SimulateMouseDown(g, mbLeft, r.Left + 3, r.Top + 3);
        EXPECT_EQ(g->PushedCellButton(), (TPoint{2, 2})) << c.name;
        SimulateMouseUp(g, mbLeft, r.Left + 3, r.Top + 3);
        EXPECT_EQ(clicks, c.clicks ? 1 : 0) << c.name;
        EXPECT_EQ(g->PushedCellButton(), (TPoint{-1, -1})) << c.name;
    }
}

// A release on a button belongs to the button even when the press was
// elsewhere: no click, mouse-up or sort follows, and the selection the press
// began ends there.
TEST(ExGridMouse, AReleaseOnAButtonEndsTheReleaseWhoeverPressed) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SortSettings().SetShow(true);
    g->AddButton(2, 2, 30, 14, u"Go", haCenter, vaCenter);
    g->AddButton(3, 0, 30, 14, u"H", haCenter, vaCenter);
    for (int r = 1; r < 5; ++r) g->SetCellEx(3, r, IntToStr(5 - r));
    UpdateWindow(g->Handle());
    std::vector<std::string> log;
    g->OnButtonClick = [&](TObject*, int c, int r) {
        log.push_back("button " + std::to_string(c) + "," + std::to_string(r));
    };
    g->OnClick = [&](TObject*) { log.push_back("click"); };
    g->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    g->OnClickSort = [&](TObject*, int c) { log.push_back("sort " + std::to_string(c)); };
    const TRect data = g->GetCellButtonRect(2, 2), head = g->GetCellButtonRect(3, 0);
    const TRect plain = g->CellRect(1, 1), headCell = g->CellRect(3, 0);
    ASSERT_FALSE(IsRectEmpty(data));
    ASSERT_FALSE(IsRectEmpty(head));
    struct Case {
        const char* name;
        TPoint press, release;
        std::vector<std::string> log;
    } cases[] = {
        {"pressed in a cell, released on a button", {plain.Left + 5, plain.Top + 5}, {data.Left + 3, data.Top + 3}, {}},
        {"pressed in a cell, released beside the button", {plain.Left + 5, plain.Top + 5},
         {data.Left - 2, data.Bottom + 1}, {"click", "up"}},
        {"a header's button", {head.Left + 3, head.Top + 3}, {head.Left + 3, head.Top + 3}, {"button 3,0"}},
        {"a header beside its button", {headCell.Left + 3, headCell.Top + 3}, {headCell.Left + 3, headCell.Top + 3},
         {"click", "up", "sort 3"}},
    };
    for (const Case& c : cases) {
        log.clear();
        g->FocusCell(1, 3);
        SimulateMouseDown(g, mbLeft, c.press.X, c.press.Y);
        SimulateMouseUp(g, mbLeft, c.release.X, c.release.Y);
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(g->GridState(), gsNormal) << c.name;
        EXPECT_FALSE(g->MouseCapture()) << c.name;
        // The button is up: moving on selects nothing more.
        const TGridRect sel = g->Selection();
        SimulateMouseMove(g, g->CellRect(4, 4).Left + 3, g->CellRect(4, 4).Top + 3);
        EXPECT_EQ(g->Selection(), sel) << c.name;
    }

    // A column sized by its border ends on the header's button as anywhere.
    g->SetOptions(g->Options() + TGridOptions{goColSizing});
    const TRect left = g->CellRect(2, 0);
    SimulateMouseDown(g, mbLeft, left.Right, left.Top + 5);
    ASSERT_EQ(g->GridState(), gsColSizing);
    SimulateMouseMove(g, head.Left + 3, head.Top + 3, {ssLeft});
    SimulateMouseUp(g, mbLeft, head.Left + 3, head.Top + 3);
    EXPECT_EQ(g->GridState(), gsNormal);
    EXPECT_GT(g->ColWidths(2), left.Right - left.Left);
}

// RemoveExpand takes away an expand button and nothing else.
TEST(ExGridMouse, RemoveExpandRemovesOnlyAnExpandButton) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->AddExpand(2, 2, 80);
    g->AddButton(3, 2, 30, 14, u"Go", haCenter, vaCenter);
    const TRect button = g->GetExpandButtonRect(2, 2);
    g->RemoveExpand(3, 2);
    g->RemoveExpand(1, 2);
    g->RemoveExpand(-1, 2);
    EXPECT_TRUE(g->HasButton(3, 2));
    ASSERT_TRUE(g->HasExpand(2, 2));
    g->RemoveExpand(2, 2);
    EXPECT_FALSE(g->HasExpand(2, 2));
    EXPECT_TRUE(IsRectEmpty(g->GetExpandButtonRect(2, 2)));
    int expands = 0;
    g->OnExpandClick = [&](TObject*, int, int, bool) { ++expands; };
    SimulateMouseDown(g, mbLeft, button.Left + 4, button.Top + 4);
    SimulateMouseUp(g, mbLeft, button.Left + 4, button.Top + 4);
    EXPECT_EQ(expands, 0);
    EXPECT_EQ(g->RowHeights(2), g->DefaultRowHeight());
}

}  // namespace

TEST(ExGridMouse, DoubleClickReportsItsCell) {
    MouseForm f;
    std::vector<std::pair<int, int>> clicks;
    f.g->OnDblClickCell = [&](TObject*, int row, int col) { clicks.emplace_back(row, col); };
    const TRect r = f.g->CellRect(3, 2);
    SimulateDblClick(f.g, r.Left + 5, r.Top + 5);
    SimulateDblClick(f.g, 440, 240);  // right of every column: the last column's header
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 3}, {0, f.g->ColCount() - 1}}));
}

namespace {

// Clicked boxes go into the undo list: a plain box by its check texts, and
// undoing or redoing it sets the box without writing a text into its cell;
// a data box by its cell text; a three-state box not at all.
TEST(ExGridMouse, ClickedCheckBoxesUndoAndRedo) {
    TExGridUndoRedo undo(nullptr);
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetColCount(5);
    g->SetRowCount(4);
    g->ControlLook().CheckAlwaysActive = true;
    g->SetUndoRedo(&undo);
    g->AddCheckBox(1, 1, false);
    g->AddCheckBoxColumn(2, false, true);
    g->AddCheckBox(3, 1, cbUnchecked);
    auto click = [&](int c) {
        const TRect R = g->CellRect(c, 1);
        SimulateClick(g, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    };
    auto plain = [&] {
        bool on = false;
        g->GetCheckBoxState(1, 1, on);
        return on;
    };
    click(1);
    click(2);
    click(3);
    ASSERT_EQ(undo.Items().Count(), 2);
    EXPECT_EQ(undo.Items().Item(0)->OrigValue, u"N");
    EXPECT_EQ(undo.Items().Item(0)->Value, u"Y");
    TCheckBoxState grey = cbUnchecked;
    g->GetCheckBoxState(3, 1, grey);
    EXPECT_EQ(grey, cbGrayed);
    struct Step {
        const char* name;
        std::function<void()> act;
        bool plainOn;
        const char16_t* data;
    } steps[] = {
        {"undo the data box", [&] { undo.Undo(); }, true, u"N"},
        {"undo the plain box", [&] { undo.Undo(); }, false, u"N"},
        {"redo the plain box", [&] { undo.Redo(); }, true, u"N"},
        {"redo the data box", [&] { undo.Redo(); }, true, u"Y"},
        {"click the plain box off", [&] { click(1); }, false, u"Y"},
        {"and undo that", [&] { undo.Undo(); }, true, u"Y"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(plain(), s.plainOn) << s.name;
        EXPECT_EQ(g->GetCellEx(1, 1), u"") << s.name;
        EXPECT_EQ(g->GetCellEx(2, 1), String(s.data)) << s.name;
    }
    g->SetUndoRedo(nullptr);
}


TEST(ExGridMouse, ARightClickOnALinkCellEditsItAndRightClicksFollowDisjunctRows) {
    MouseForm f;
    f.g->SetCellEx(4, 3, u"https://example.org");
    f.g->SetCellEx(4, 2, u"plain");
    struct Case {
        const char* name;
        bool show, edit;
        int row;
        bool editor;
    };
    const Case cases[] = {
        {"link edited", true, true, 3, true},
        {"links not shown", false, true, 3, false},
        {"no link editing", true, false, 3, false},
        {"plain text", true, true, 2, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        f.g->HideInplaceEdit();
        f.g->SetOptions(f.g->Options() - TGridOptions{goEditing});
        f.g->FocusCell(1, 1, true);
        f.g->SetURLShow(k.show);
        f.g->SetURLEdit(k.edit);
        const TRect R = f.g->CellRect(4, k.row);
        SimulateMouseDown(f.g, mbRight, R.Left + 5, R.Top + 5);
        SimulateMouseUp(f.g, mbRight, R.Left + 5, R.Top + 5);
        EXPECT_EQ(f.g->EditorMode(), k.editor);
        if (k.editor) EXPECT_EQ(f.g->Row(), k.row);
    }
    f.g->HideInplaceEdit();
    f.g->SetURLEdit(false);
    // Selecting by right click with disjunct rows: the clicked row alone, Ctrl adds.
    f.g->MouseActions().SetSelectOnRightClick(true);
    f.g->MouseActions().SetDisjunctRowSelect(true);
    auto right = [&](int r, TShiftState Shift) { ClickCell(f.g, mbRight, 3, r, Shift); };
    right(2, {});
    right(4, {ssCtrl});
    EXPECT_TRUE(f.g->RowSelect(2));
    EXPECT_TRUE(f.g->RowSelect(4));
    right(3, {});
    EXPECT_FALSE(f.g->RowSelect(2));
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_FALSE(f.g->RowSelect(4));
}

TEST(ExGridMouse, AReleaseOverARadioGroupReportsItsChosenOption) {
    MouseForm f;
    TStringList options;
    for (const char16_t* t : {u"A", u"B", u"C"}) options.Add(t);
    f.g->AddRadio(3, 2, 0, 1, &options);
    std::vector<std::string> ups;
    f.g->OnRadioMouseUp = [&](TObject*, int c, int r, int i) {
        ups.push_back(std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i));
    };
    const TRect R = f.g->CellRect(3, 2);
    SimulateMouseDown(f.g, mbLeft, R.Right - 3, R.Bottom - 3);
    SimulateMouseUp(f.g, mbLeft, R.Right - 3, R.Bottom - 3);
    const TRect P = f.g->CellRect(3, 3);
    SimulateClick(f.g, P.Left + 5, P.Top + 5);
    EXPECT_EQ(ups, (std::vector<std::string>{"3,2 " + std::to_string(f.g->GetRadioIdx(3, 2))}));
}


TEST(ExGridMouse, APressOnThePartlyShownRowMayKeepTheViewStill) {
    for (bool noScroll : {false, true})
        for (bool noRange : {false, true}) {
            SCOPED_TRACE(std::string(noScroll ? "no scroll" : "scroll") + (noRange ? ", no range" : ", range"));
            TForm form(nullptr);
            form.SetBounds(0, 0, 500, 400);
            auto* g = new TExStringGrid(&form);
            g->SetParent(&form);
            g->SetRowCount(30);
            g->SetOptions(g->Options() + TGridOptions{goRangeSelect});
            g->SetBounds(0, 0, 400, g->DefaultRowHeight() * 6 + g->DefaultRowHeight() / 2);
            form.Show();
            g->MouseActions().SetNoScrollOnPartialRow(noScroll);
            g->MouseActions().SetNoAutoRangeScroll(noRange);
            const int partial = g->TopRow() + g->VisibleRowCount();
            const TRect R = g->CellRect(2, partial);
            ASSERT_LT(R.Top, g->ClientHeight());
            ASSERT_GT(R.Bottom, g->ClientHeight());
            SimulateMouseDown(g, mbLeft, R.Left + 5, R.Top + 3);
            EXPECT_EQ(g->GridState() == gsSelecting, !noRange);
            SimulateMouseUp(g, mbLeft, R.Left + 5, R.Top + 3);
            Application->ProcessMessages();
            EXPECT_EQ(g->Row(), partial);
            EXPECT_EQ(g->TopRow() == 1, noScroll);
            EXPECT_EQ(g->GridState(), gsNormal);
        }
}


TEST(ExGridMouse, APressOnARatingCellSetsHalfStarsUnlessRefused) {
    // dx: the press from the cell's left edge; the handler may change or refuse the rate.
    struct Case {
        int dx;
        bool readOnly, refuse;
        double changeTo;  // < 0: kept
        const char16_t* text;
        const char* asked;
    };
    const Case cases[] = {
        {4, false, false, -1, u"0", "0"},
        {9, false, false, -1, u"0.5", "0.5"},
        {40, false, false, -1, u"2", "2"},
        {40, false, false, 3, u"3", "2"},
        {40, false, true, -1, u"1", "2"},
        {40, true, false, -1, u"1", ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.dx);
        MouseForm f;
        f.g->Columns().Items(4)->SetReadOnly(k.readOnly);
        f.g->SetCellEx(4, 2, u"1");
        f.g->AddRating(4, 2, 5, clYellow, clSilver);
        // The column grid edits (goEditing) only while an editable cell is current.
        f.g->FocusCell(4, 2, true);
        std::string asked;
        f.g->OnRatingChange = [&](TObject*, int c, int r, double& rate, bool& allow) {
            EXPECT_EQ(c * 10 + r, 42);
            asked = StringToUtf8(FloatToStr(rate));
            if (k.changeTo >= 0) rate = k.changeTo;
            allow = !k.refuse;
        };
        int clicks = 0;
        f.g->OnClickCell = [&](TObject*, int, int) { ++clicks; };
        const TRect R = f.g->CellRect(4, 2);
        SimulateClick(f.g, R.Left + k.dx, R.Top + 5);
        EXPECT_EQ(asked, k.asked);
        EXPECT_EQ(FloatToStr(f.g->Floats(4, 2)), String(k.text));
        EXPECT_EQ(clicks, k.readOnly ? 1 : 0);
    }
}

TEST(ExGridMouse, APressNotesTheHeaderADragWouldMoveAndWhereInItItWasTaken) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    struct Case {
        int col, row, dx, dy, movecell;
    } cases[] = {{3, 0, 7, 4, 3}, {0, 4, 9, 3, 4}, {2, 2, 5, 5, -1}, {0, 0, 6, 6, -1}};
    for (const Case& c : cases) {
        const TRect R = g->CellRect(c.col, c.row);
        SimulateMouseDown(g, mbLeft, R.Left + c.dx, R.Top + c.dy);
        SimulateMouseUp(g, mbLeft, R.Left + c.dx, R.Top + c.dy);
        EXPECT_EQ(g->Movecell, c.movecell) << c.col << "," << c.row;
        EXPECT_EQ(g->MoveOfsX, c.dx);
        EXPECT_EQ(g->MoveOfsY, c.dy);
        EXPECT_EQ(g->Clickposx, R.Left + c.dx);
        EXPECT_EQ(g->Clickposy, R.Top + c.dy);
    }
}

}  // namespace

TEST(ExGridMouse, FixedAndDeclaredFixedCellsCloseTheEditorAndAreOnlyReported) {
    MouseForm f;
    f.Press(3, 2);
    f.Press(3, 2);
    SimulateText(u"ab");
    ASSERT_TRUE(f.g->InplaceEditor()->Visible());
    // The header closes the editor and keeps its text.
    f.Press(3, 0, 20);
    EXPECT_FALSE(f.g->InplaceEditor()->Visible());
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"ab");
    struct Case {
        const char* name;
        std::function<void()> set;
        int col, row;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"declared fixed column", [&] { f.g->Columns().Items(4)->SetFixed(true); }, 4, 3, {"clickcell 4,3"}},
        {"fixed footer row", [&] { f.g->SetFixedFooters(1); }, 3, 4, {"clickcell 3,4"}},
        {"under a floating footer",
         [&] {
             f.g->SetFixedFooters(1);
             f.g->FloatingFooter().SetVisible(true);
         },
         3, 4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        f.g->FocusCell(3, 2, true);
        f.log.clear();
        f.Press(c.col, c.row);
        // Neither selected nor pressed through the framework.
        EXPECT_EQ(f.log, c.log);
        EXPECT_EQ(f.g->Col(), 3);
        EXPECT_EQ(f.g->Row(), 2);
        f.g->Columns().Items(4)->SetFixed(false);
        f.g->FloatingFooter().SetVisible(false);
        f.g->SetFixedFooters(0);
    }
}

TEST(ExGridMouse, DoubleClicksOnClickControlsAreNoCellDoubleClicks) {
    MouseForm f;
    f.g->AddButton(3, 1, 20, 14, u"b", haRight, vaCenter);
    f.g->AddRadioButton(3, 3, false);
    f.g->OnDblClick = [&](TObject*) { f.log.push_back("dblclick"); };
    f.g->OnDblClickCell = [&](TObject*, int r, int c) {
        f.log.push_back("dblcell " + std::to_string(c) + "," + std::to_string(r));
    };
    f.g->OnButtonClick = [&](TObject*, int, int) { f.log.push_back("button"); };
    f.g->Repaint();
    const TRect B = f.g->GetCellButtonRect(3, 1);
    ASSERT_LT(B.Left, B.Right);
    auto in = [&](int c, int r) { return TPoint{f.g->CellRect(c, r).Left + 3, f.g->CellRect(c, r).Top + 5}; };
    struct Case {
        const char* name;
        TPoint at;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        // The double click stands for the second click: the button took the first.
        {"on the button", {(B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2}, {}},
        {"beside the button", {B.Right + 20, B.Top + 2}, {"dblclick", "mousedown"}},
        {"radio button", in(3, 3), {"dblclick", "mousedown"}},
        {"check box", in(1, 3), {"dblclick", "mousedown"}},
        {"text", in(3, 2), {"dblclick", "mousedown", "dblcell 3,2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.log.clear();
        // The message the window system sends in place of the second press.
        f.g->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(c.at.X, c.at.Y));
        std::erase(f.log, std::string("click"));
        EXPECT_EQ(f.log, c.log);
        SimulateMouseUp(f.g, mbLeft, c.at.X, c.at.Y);
    }
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"");
}

TEST(ExGridMouse, DirectEditOpensTheEditorWithThePressThatSelects) {
    struct Case {
        const char* name;
        bool direct;
        int col, dx;
        bool refuse, editor;
    };
    const Case cases[] = {
        {"plain press", false, 3, 10, false, false},
        {"direct edit", true, 3, 10, false, true},
        {"read-only column", true, 2, 10, false, false},
        {"check box column", true, 1, 10, false, false},
        {"at the cell's left side", true, 3, 3, false, false},
        {"a refused move", true, 3, 10, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MouseForm f;
        f.g->MouseActions().SetDirectEdit(c.direct);
        f.g->FocusCell(3, 1, true);
        if (c.refuse) f.g->OnCellChanging = [](TObject*, int, int, int, int, bool& Allow) { Allow = false; };
        f.Press(c.col, 3, c.dx);
        const bool open = f.g->InplaceEditor() && f.g->InplaceEditor()->Visible();
        EXPECT_EQ(open, c.editor);
        if (c.editor) {
            EXPECT_EQ(f.g->Row(), 3);
            SimulateText(u"ab");
            SimulateKey(VK_RETURN);
            EXPECT_EQ(f.g->GetCellEx(3, 3), u"ab");
        }
        if (c.refuse) EXPECT_EQ(f.g->Row(), 1);
    }
}

TEST(ExGridMouse, TheReleaseReportsASelectionThePressChanged) {
    MouseForm f;
    std::vector<std::string> sel;
    f.g->OnSelectionChanged = [&](TObject*, int l, int t, int r, int b) {
        sel.push_back(std::to_string(l) + "," + std::to_string(t) + "-" + std::to_string(r) + "," + std::to_string(b));
    };
    // Cells that edit select no ranges.
    f.g->Columns().Items(3)->SetReadOnly(true);
    f.g->Columns().Items(4)->SetReadOnly(true);
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.Press(3, 2);
    EXPECT_EQ(sel, (std::vector<std::string>{"3,2-3,2"}));
    // The same cell again changes nothing.
    sel.clear();
    f.Press(3, 2, 10);
    EXPECT_TRUE(sel.empty());
    // A range dragged out is reported with the release too.
    TRect a = f.g->CellRect(3, 1), b = f.g->CellRect(4, 3);
    SimulateMouseDown(f.g, mbLeft, a.Left + 5, a.Top + 5);
    SimulateMouseMove(f.g, b.Left + 5, b.Top + 5, TShiftState{ssLeft});
    sel.clear();
    SimulateMouseUp(f.g, mbLeft, b.Left + 5, b.Top + 5);
    EXPECT_EQ(sel, (std::vector<std::string>{"3,1-4,3"}));
    // A right click that selects is a left click for this.
    f.g->MouseActions().SetSelectOnRightClick(true);
    sel.clear();
    TRect c = f.g->CellRect(3, 4);
    SimulateMouseDown(f.g, mbRight, c.Left + 5, c.Top + 5);
    SimulateMouseUp(f.g, mbRight, c.Left + 5, c.Top + 5);
    EXPECT_EQ(sel, (std::vector<std::string>{"3,4-3,4"}));
}

TEST(ExGridMouse, AColumnSizingDroppedPastTheGridsEdgeIsGivenUp) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    std::vector<int> ended;
    f.g->OnEndColumnSize = [&](TObject*, int c) { ended.push_back(c); };
    struct Case {
        int x;  // the release point, from the grid's right edge
        bool sized;
    };
    for (Case c : {Case{-20, true}, Case{-1, true}, Case{0, false}, Case{100, false}}) {
        SCOPED_TRACE(c.x);
        f.g->SetColWidths(3, 64);
        ended.clear();
        const TRect R = f.g->CellRect(3, 0);
        const int x = f.g->ClientWidth() + c.x;
        SimulateMouseDown(f.g, mbLeft, R.Right - 1, R.Top + 5);
        SimulateMouseMove(f.g, x, R.Top + 5, TShiftState{ssLeft});
        SimulateMouseUp(f.g, mbLeft, x, R.Top + 5);
        EXPECT_EQ(f.g->GridState(), gsNormal);
        EXPECT_EQ(f.g->ColWidths(3) != 64, c.sized);
        EXPECT_EQ(ended, c.sized ? std::vector<int>{3} : std::vector<int>{});
    }
}

TEST(ExGridMouse, ACoupledGridFollowsThePressedCell) {
    struct Case {
        bool col, row;
        int wantCol, wantRow;
    };
    for (Case c : {Case{false, false, 1, 1}, Case{true, false, 3, 1}, Case{false, true, 1, 4}, Case{true, true, 3, 4}}) {
        SCOPED_TRACE(std::to_string(c.col) + std::to_string(c.row));
        MouseForm a;
        GridOnForm<TExStringGrid> b;
        b.g->SetColCount(5);
        b.g->SetRowCount(6);
        a.g->SyncGrid().SetGrid(b.g);
        a.g->SyncGrid().SetSelectionColumn(c.col);
        a.g->SyncGrid().SetSelectionRow(c.row);
        a.Press(3, 4);
        EXPECT_EQ(b.g->Col(), c.wantCol);
        EXPECT_EQ(b.g->Row(), c.wantRow);
    }
}

TEST(ExGridMouse, ColumnZeroOfAGroupedGridSelectsNothingBesideTheNodes) {
    struct Case {
        const char* name;
        std::function<void(TExStringGrid*)> set;
        int row;  // the current row after pressing column 0 of row 3
    };
    const Case cases[] = {
        {"grouped", [](TExStringGrid*) {}, 1},
        {"with row selection", [](TExStringGrid* g) { g->MouseActions().SetRowSelect(true); }, 3},
        {"with row sizing", [](TExStringGrid* g) { g->SetOptions(g->Options() + TGridOptions{goRowSizing}); }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridOnForm<TExStringGrid> f;
        f.g->SetColCount(4);
        f.g->SetRowCount(6);
        f.g->SetFixedCols(0);
        f.g->Tools().AddNode(1, 4);
        c.set(f.g);
        f.g->FocusCell(1, 1, true);
        std::vector<std::string> log;
        f.g->OnClickCell = [&](TObject*, int r, int col) { log.push_back(std::to_string(col) + "," + std::to_string(r)); };
        const TRect R = f.g->CellRect(0, 3);
        SimulateClick(f.g, R.Right - 10, R.Top + 5);
        EXPECT_EQ(f.g->Row(), c.row);
        EXPECT_EQ(log, (std::vector<std::string>{"0,3"}));
    }
}

// A grid that logs what the corner press announces and narrows its rectangle.
class HookedGrid : public TExColumnGrid {
public:
    using TExColumnGrid::TExColumnGrid;
    std::vector<std::string> log;
    bool narrow = false;

protected:
    void ExportNotification(int AState, int ARow) override {
        log.push_back("export " + std::to_string(AState) + " " + std::to_string(ARow));
    }
    void ClickHook(TGridRect& ARect) override {
        log.push_back("hook");
        if (narrow) ARect.Bottom = ARect.Top;
    }
};

TEST(ExGridMouse, ThePressInTheCornerSelectsWhatItsHookLeaves) {
    for (bool narrow : {false, true}) {
        SCOPED_TRACE(narrow);
        GridOnForm<HookedGrid> f;
        f.g->SetRowCount(5);
        f.g->narrow = narrow;
        f.g->MouseActions().SetAllSelect(true);
        f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
        int exits = 0;
        f.g->OnExit = [&](TObject*) { ++exits; };
        const TRect R = f.g->CellRect(0, 0);
        SimulateMouseMove(f.g, R.Left + 5, R.Top + 5);
        SimulateClick(f.g, R.Left + 5, R.Top + 5);
        EXPECT_EQ(f.g->log, (std::vector<std::string>{"export 0 -1", "export 1 4", "export 4 -1", "hook"}));
        const TGridRect s = f.g->Selection();
        EXPECT_EQ(s.Left, 1);
        EXPECT_EQ(s.Top, 1);
        EXPECT_EQ(s.Right, f.g->ColCount() - 1);
        EXPECT_EQ(s.Bottom, narrow ? 1 : 4);
        EXPECT_EQ(exits, 1);
    }
}

TEST(ExGridMouse, APressStartsANewIncrementalLookup) {
    for (bool press : {false, true}) {
        SCOPED_TRACE(press);
        GridOnForm<TExStringGrid> f;
        f.g->SetColCount(3);
        f.g->SetRowCount(5);
        f.g->Navigation().SetAutoGotoWhenSorted(true);
        f.g->Navigation().SetAutoGotoIncremental(true);
        const char16_t* names[] = {u"alpha", u"beta", u"bear", u"apple"};
        for (int r = 1; r < 5; ++r) f.g->SetCellEx(1, r, names[r - 1]);
        f.g->SetFocus();
        SimulateText(u"be");
        ASSERT_EQ(f.g->Row(), 2);
        if (press) {
            const TRect R = f.g->CellRect(2, 2);
            SimulateClick(f.g, R.Left + 5, R.Top + 5);
        }
        SimulateText(u"a");
        // "bea" goes on to "bear"; after the press "a" finds "alpha".
        EXPECT_EQ(f.g->Row(), press ? 1 : 3);
    }
}

TEST(ExGridMouse, ARowSelectGridThatKeepsItsColumnScrollStaysOnAPress) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        GridOnForm<TExStringGrid> f(300, 200);
        f.g->SetColCount(12);
        f.g->SetRowCount(8);
        f.g->SetOptions(f.g->Options() + TGridOptions{goRowSelect});
        f.g->Navigation().SetKeepHorizScroll(keep);
        f.g->SetLeftCol(3);
        // The column cut off at the right edge.
        const int last = f.g->LeftCol() + f.g->VisibleColCount();
        const TRect R = f.g->CellRect(last, 4);
        ASSERT_LT(R.Left + 5, f.g->ClientWidth());
        SimulateMouseMove(f.g, R.Left + 5, R.Top + 5);
        SimulateMouseDown(f.g, mbLeft, R.Left + 5, R.Top + 5);
        EXPECT_EQ(f.g->Row(), 4);
        // The press alone; the release goes on as the framework's selecting does.
        EXPECT_EQ(f.g->LeftCol() == 3, keep);
        SimulateMouseUp(f.g, mbLeft, R.Left + 5, R.Top + 5);
    }
}

TEST(ExGridMouse, CaretPositioningPutsTheCaretWhereThePressOpenedTheEditor) {
    for (bool positioning : {false, true}) {
        SCOPED_TRACE(positioning);
        MouseForm f;
        f.g->MouseActions().SetCaretPositioning(positioning);
        f.g->SetCellEx(3, 2, u"abcdefgh");
        f.Press(3, 2);
        // The second press opens the editor, three characters in.
        const TRect R = f.g->CellRect(3, 2);
        const int x = R.Left + 2 + f.g->Canvas().TextWidth(u"abc");
        SimulateClick(f.g, x, R.Top + 5);
        TInplaceEdit* e = f.g->InplaceEditor();
        ASSERT_TRUE(e && e->Visible());
        if (positioning) {
            EXPECT_NEAR(e->SelStart(), 3, 1);
            EXPECT_EQ(e->SelLength(), 0);
        } else {
            EXPECT_EQ(e->SelLength(), 8);
        }
        // A press that opens nothing leaves a later typed value alone.
        SimulateKey(VK_RETURN);
        f.Press(3, 3, 2);
        SimulateMouseMove(f.g, x, f.g->CellRect(3, 3).Top + 5);
        SimulateText(u"xy");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(3, 3), u"xy");
    }
}

TEST(ExGridMouse, ACtrlClickDeselectsItsRowAndCountsAsNoSelectionChange) {
    GridOnForm<TExStringGrid> f;
    f.g->SetColCount(4);
    f.g->SetRowCount(6);
    f.g->MouseActions().SetDisjunctRowSelect(true);
    auto click = [&](int r, TShiftState Shift) { ClickCell(f.g, mbLeft, 2, r, Shift); };
    click(2, {});
    click(4, TShiftState{ssCtrl});
    EXPECT_TRUE(f.g->RowSelect(2));
    EXPECT_TRUE(f.g->RowSelect(4));
    EXPECT_TRUE(f.g->SelChange());
    click(2, TShiftState{ssCtrl});
    EXPECT_FALSE(f.g->RowSelect(2));
    EXPECT_TRUE(f.g->RowSelect(4));
    EXPECT_FALSE(f.g->SelChange());
}

TEST(ExGridMouse, ADoubleClickJustRightOfTheLastColumnSizesIt) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    const int last = f.g->ColCount() - 1;
    f.g->SetCellEx(last, 2, u"a rather long text of the last column");
    std::vector<std::string> dbl;
    f.g->OnDblClickCell = [&](TObject*, int r, int c) { dbl.push_back(std::to_string(c) + "," + std::to_string(r)); };
    struct Case {
        int dx;  // from the last column's right edge, at the height of a data row
        bool fixedRowAlways, sizes;
    };
    for (Case c : {Case{1, false, true}, Case{3, false, true}, Case{4, false, false}, Case{2, true, false}}) {
        SCOPED_TRACE(std::to_string(c.dx) + (c.fixedRowAlways ? " fixed row always" : ""));
        f.g->SetFixedRowAlways(c.fixedRowAlways);
        f.g->SetColWidths(last, 40);
        dbl.clear();
        const TRect R = f.g->CellRect(last, 2);
        SimulateDblClick(f.g, R.Right + c.dx, R.Top + 5);
        EXPECT_EQ(f.g->ColWidths(last) > 100, c.sizes);
        // Otherwise a double click on the last column's header, or on nothing.
        if (!c.sizes && !c.fixedRowAlways) EXPECT_EQ(dbl, (std::vector<std::string>{std::to_string(last) + ",0"}));
        if (c.sizes || c.fixedRowAlways) EXPECT_TRUE(dbl.empty());
    }
}

TEST(ExGridMouse, ARowPickedInItsHeaderReplacesSingleCellsPickedBefore) {
    MouseForm f;
    f.g->MouseActions().SetRowSelect(true);
    f.g->MouseActions().SetDisjunctCellSelect(true);
    ClickCell(f.g, mbLeft, 3, 1, {});
    ClickCell(f.g, mbLeft, 3, 3, TShiftState{ssCtrl});
    ASSERT_TRUE(f.g->SelectedCells(3, 1));
    ASSERT_TRUE(f.g->SelectedCells(3, 3));
    const TRect R = f.g->CellRect(0, 2);
    SimulateMouseMove(f.g, R.Left + 5, R.Top + 5);
    ASSERT_EQ(f.g->MouseSelectMode(), msRow);
    SimulateMouseDown(f.g, mbLeft, R.Left + 5, R.Top + 5);
    EXPECT_FALSE(f.g->SelectedCells(3, 1));
    EXPECT_FALSE(f.g->SelectedCells(3, 3));
    EXPECT_EQ(f.g->Selection().Top, 2);
    EXPECT_EQ(f.g->Selection().Right, f.g->ColCount() - 1);
    SimulateMouseUp(f.g, mbLeft, R.Left + 5, R.Top + 5);
}

TEST(ExGridMouse, APressOnAMergedAreaActsOnItsBaseCell) {
    for (bool handler : {false, true}) {
        SCOPED_TRACE(handler);
        GridOnForm<TExStringGrid> f;
        f.g->SetColCount(5);
        f.g->SetRowCount(6);
        f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
        f.g->MergeCells(1, 1, 2, 2);
        f.g->SetCellEx(1, 1, u"m");
        if (handler) f.g->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {};
        f.g->SetFocus();
        f.g->FocusCell(3, 3, true);
        // The hidden part of the area selects the base cell, a second press edits it.
        const TRect R = f.g->CellRect(2, 2);
        SimulateClick(f.g, R.Left + 10, R.Top + 5);
        EXPECT_EQ(f.g->Col(), 1);
        EXPECT_EQ(f.g->Row(), 1);
        EXPECT_FALSE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        SimulateClick(f.g, R.Left + 10, R.Top + 5);
        ASSERT_TRUE(f.g->InplaceEditor() && f.g->InplaceEditor()->Visible());
        EXPECT_EQ(f.g->InplaceEditor()->Text(), u"m");
    }
}

// The window system's own double click on a shown window: X delivers two
// presses and releases, the toolkit makes the second press a double click.
// Runs where the tests are given an X display (QT_QPA_PLATFORM=xcb).
TEST(ExGridMouseRealDisplay, AHeaderDoubleClickSizesTheColumnLeftOfItsBorder) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    f.g->SetCellEx(2, 1, u"a rather long text of this column");
    std::vector<std::string> dbl;
    f.g->OnDblClickCell = [&](TObject*, int r, int c) { dbl.push_back(std::to_string(c) + "," + std::to_string(r)); };
    // Until the window is shown on the display.
    PumpEvents(25);
    struct Case {
        int dx;
        bool sizes;
    };
    // Offsets from the left edge of column 3's header cell.
    for (Case c : {Case{3, true}, Case{4, false}, Case{0, true}}) {
        SCOPED_TRACE(c.dx);
        f.g->SetColWidths(2, 50);
        dbl.clear();
        const TRect R = f.g->CellRect(3, 0);
        XDoubleClick(f.g->ClientToScreen({R.Left + c.dx, R.Top + 5}));
        PumpEvents(100, [&] { return c.sizes ? f.g->ColWidths(2) > 150 : !dbl.empty(); });
        // Past the double-click time, so the next case starts afresh; a late
        // release must not undo the width either.
        PumpEvents(30);
        if (c.sizes) {
            EXPECT_GT(f.g->ColWidths(2), 150);
            EXPECT_TRUE(dbl.empty());
        } else {
            EXPECT_EQ(f.g->ColWidths(2), 50);
            EXPECT_EQ(dbl, (std::vector<std::string>{"3,0"}));
        }
    }
}

TEST(ExGridMouse, OnRowSizeAndOnColumnSizeRefuseTheBordersTheyAreAskedAbout) {
    MouseForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing, goRowSizing});
    std::vector<std::string> asked;
    bool allow = true;
    f.g->OnRowSize = [&](TObject*, int r, bool& Allow) {
        asked.push_back("row " + std::to_string(r));
        Allow = allow;
    };
    f.g->OnColumnSize = [&](TObject*, int c, bool& Allow) {
        asked.push_back("col " + std::to_string(c));
        Allow = allow;
    };
    struct Case {
        bool row;
        bool allow;
    };
    for (Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        SCOPED_TRACE(std::string(c.row ? "row" : "column") + (c.allow ? " allowed" : " refused"));
        allow = c.allow;
        asked.clear();
        f.g->SetRowHeights(2, 20);
        f.g->SetColWidths(2, 60);
        // A drag of the border in the fixed column (row) by 15 pixels.
        const TRect r = f.g->CellRect(c.row ? 0 : 2, c.row ? 2 : 0);
        const TPoint from = c.row ? TPoint{r.Left + 5, r.Bottom} : TPoint{r.Right, r.Top + 5};
        const TPoint to = c.row ? TPoint{from.X, from.Y + 15} : TPoint{from.X + 15, from.Y};
        SimulateMouseMove(f.g, from.X, from.Y);
        SimulateMouseDown(f.g, mbLeft, from.X, from.Y);
        SimulateMouseMove(f.g, to.X, to.Y, TShiftState{ssLeft});
        SimulateMouseUp(f.g, mbLeft, to.X, to.Y);
        const std::string question = c.row ? "row 2" : "col 2";
        EXPECT_NE(std::find(asked.begin(), asked.end(), question), asked.end());
        const int size = c.row ? f.g->RowHeights(2) : f.g->ColWidths(2);
        const int before = c.row ? 20 : 60;
        if (c.allow) EXPECT_GT(size, before);
        else EXPECT_EQ(size, before);
    }
}
