#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A shown string grid of 5 x 10 cells of 40 x 20 pixels, no scroll bars,
// white; cell (c, r) holds "c,r". The grid has the focus.
struct SelForm {
    TForm form{nullptr};
    TExStringGrid* g;
    SelForm() {
        form.SetBounds(0, 0, 600, 400);
        form.SetColor(clWhite);
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 300, 260);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        for (int r = 0; r < g->RowCount(); ++r)
            for (int c = 0; c < g->ColCount(); ++c) g->SetCellEx(c, r, IntToStr(c) + u"," + IntToStr(r));
        form.Show();
        g->SetFocus();
    }
    void Click(int c, int r, TShiftState Shift = {}) {
        const TRect R = g->CellRect(c, r);
        SimulateMouseDown(g, mbLeft, R.Left + 5, R.Top + 5, Shift);
        SimulateMouseUp(g, mbLeft, R.Left + 5, R.Top + 5, Shift);
    }
    std::vector<int> SelectedRows() {
        std::vector<int> rows;
        for (int i = 0; g->SelectedRow(i) >= 0; ++i) rows.push_back(g->SelectedRow(i));
        return rows;
    }
    std::vector<int> FlaggedRows() {
        std::vector<int> rows;
        for (int r = 0; r < g->RowCount(); ++r)
            if (g->RowSelect(r)) rows.push_back(r);
        return rows;
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
    // The middle of cell (c, r) in the rendered window (border 2).
    static TColor At(const std::unique_ptr<TBitmap>& b, int c, int r) {
        return b->Canvas().Pixels(c * 40 + 20 + 2, r * 20 + 10 + 2);
    }
};

template <class Call>
std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const EExGridError& e) {
        return StringToUtf8(e.Message());
    }
    return "no error";
}

TEST(ExGridSelection, MovingTheCursorFromCodeAndTheTextEditor) {
    SelForm f;
    TExStringGrid* g = f.g;
    g->SetRowCount(40);
    g->SetOptions(g->Options() + TGridOptions{goRangeSelect, goEditing});
    g->SetSelection({1, 1, 3, 3});
    g->MoveToCell(2, 30);
    // The anchor goes along: a one-cell selection, scrolled into view.
    EXPECT_EQ(g->Selection(), (TGridRect{2, 30, 2, 30}));
    EXPECT_LE(g->TopRow(), 30);
    EXPECT_GT(g->TopRow() + g->VisibleRowCount(), 30);
    EXPECT_EQ(g->NormalEdit(), nullptr) << "no editor before the first edit";
    g->ShowInplaceEdit();
    ASSERT_NE(g->NormalEdit(), nullptr);
    EXPECT_EQ(g->NormalEdit(), g->InplaceEditor());
}

TEST(ExGridSelection, RepaintHelpersInvalidateTheCellsTheyNameAndNothingElse) {
    SelForm f;
    TExStringGrid* g = f.g;
    g->SetRowCount(40);
    g->SetColCount(20);
    auto pending = [&] {
        TRect r{};
        GetUpdateRect(g->Handle(), &r, false);
        return r;
    };
    // Invalidation stops at the client area.
    auto both = [&](TRect a, TRect b) {
        TRect u{}, shown{};
        UnionRect(u, a, b);
        IntersectRect(shown, u, g->ClientRect());
        return shown;
    };
    const TRect whole = g->ClientRect();
    struct Case {
        const char* what;
        std::function<void()> call;
        TRect expected;
    };
    const std::vector<Case> cases = {
        {"one cell", [&] { g->RepaintCell(2, 3); }, g->CellRect(2, 3)},
        {"a cell out of view", [&] { g->RepaintCell(2, 35); }, TRect{}},
        {"a negative rectangle", [&] { g->RepaintRect(Rect(-1, 1, 3, 3)); }, TRect{}},
        {"a rectangle", [&] { g->RepaintRect(Rect(1, 2, 3, 4)); }, both(g->CellRect(1, 2), g->CellRect(3, 4))},
        // The right edge is cut to the first column past the visible ones.
        {"a wide rectangle", [&] { g->RepaintRect(Rect(1, 2, 90, 4)); },
         both(g->CellRect(1, 2), g->CellRect(g->VisibleColCount() + g->FixedCols(), 4))},
        {"a rectangle reaching out of view", [&] { g->RepaintRect(Rect(1, 2, 3, 35)); }, whole},
    };
    for (const Case& c : cases) {
        UpdateWindow(g->Handle());
        ASSERT_TRUE(IsRectEmpty(pending())) << c.what;
        c.call();
        EXPECT_EQ(pending(), c.expected) << c.what;
    }
}

TEST(ExGridSelection, CtrlClicksCollectRowsInTheirOrderAndAnotherCtrlClickTakesOneBack) {
    SelForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.Click(2, 7);
    f.Click(2, 3, {ssCtrl});
    f.Click(1, 5, {ssCtrl});
    EXPECT_EQ(f.SelectedRows(), (std::vector<int>{7, 3, 5}));
    EXPECT_EQ(f.g->SelectedRowCount(), 3);
    EXPECT_EQ(f.g->RowSelectCount(), 3);
    EXPECT_TRUE(f.g->IsSelected(4, 3));
    EXPECT_FALSE(f.g->IsSelected(4, 4));
    EXPECT_FALSE(f.g->IsSelected(0, 3));  // fixed cells never count
    // The rows' text in grid order, whatever order they were chosen in,
    // over the rectangle's columns.
    EXPECT_EQ(f.g->SelectedText(), u"1,3\r\n1,5\r\n1,7");
    f.g->SelectCells(2, 5, 3, 5);
    EXPECT_EQ(f.g->SelectedText(), u"2,3\t3,3\r\n2,5\t3,5\r\n2,7\t3,7");

    f.Click(3, 3, {ssCtrl});
    EXPECT_EQ(f.SelectedRows(), (std::vector<int>{7, 5}));
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{5, 7}));

    // A plain click starts over; Shift extends from there.
    f.Click(1, 2);
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{2}));
    f.Click(1, 4, {ssShift});
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{2, 3, 4}));
}

TEST(ExGridSelection, RowFlagsFollowKeysAndTheApplicationsCalls) {
    SelForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.g->SelectRows(8, 5);  // cut to the last row
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{8, 9}));
    f.g->UnSelectRows(9, 1);
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{8}));

    f.g->FocusCell(1, 2);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{3}));  // a plain move takes the new row alone
    SimulateKey(VK_DOWN, {ssShift});
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{3, 4}));
    SimulateKey(VK_SPACE);
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{3}));
    f.g->ClearRowSelect();
    EXPECT_EQ(f.g->SelectedRowCount(), 0);
    EXPECT_TRUE(f.FlaggedRows().empty());
}

TEST(ExGridSelection, WithoutTheDisjunctSelectionRowsAndCellsComeFromTheRectangle) {
    SelForm f;
    f.g->SelectRows(5, 1);
    EXPECT_EQ(f.g->Selection(), (TGridRect{1, 5, 4, 5}));
    f.g->SelectRows(8, 5);
    EXPECT_EQ(f.g->Selection(), (TGridRect{1, 8, 4, 9}));
    EXPECT_EQ(f.g->SelectedRowCount(), 2);
    EXPECT_EQ(f.SelectedRows(), (std::vector<int>{8, 9}));

    f.g->SelectCells(1, 2, 3, 3);
    EXPECT_EQ(f.g->SelectedCellsCount(), 6);
    EXPECT_EQ(f.g->SelectedCell(0), (TGridCoord{1, 2}));
    EXPECT_EQ(f.g->SelectedCell(1), (TGridCoord{1, 3}));  // column by column
    EXPECT_TRUE(f.g->SelectedCells(3, 3));
    EXPECT_FALSE(f.g->SelectedCells(4, 3));
    f.g->FocusCell(2, 4);
    EXPECT_EQ(f.g->SelectedCellsCount(), 1);
    EXPECT_EQ(f.g->SelectedCell(0), (TGridCoord{2, 4}));
}

TEST(ExGridSelection, BadIndexesRaiseClearMessagesAndChangeNothing) {
    SelForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.g->SetRowSelect(4, true);
    const struct {
        const char* what;
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {"row 12", [&] { f.g->RowSelect(12); }, "Invalid row 12 accessed"},
        {"row -1", [&] { f.g->RowSelect(-1); }, "Invalid row -1 accessed"},
        {"set row 10", [&] { f.g->SetRowSelect(10, true); }, "Invalid row accessed"},
        {"set row -1", [&] { f.g->SetRowSelect(-1, true); }, "Invalid row accessed"},
        {"column -1", [&] { f.g->SetColSelect(-1, true); }, "Invalid column accessed"},
        {"column 5", [&] { f.g->ColSelect(5); }, "Invalid column accessed"},
        {"modified -1", [&] { f.g->SetRowModified(-1, true); }, "Invalid row accessed"},
        {"cell 3", [&] { f.g->SelectedCell(3); }, "Invalid selected cell 3 accessed"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.call), c.message) << c.what;
    EXPECT_EQ(f.FlaggedRows(), (std::vector<int>{4}));
    EXPECT_EQ(f.g->SelectedRowCount(), 1);
}

TEST(ExGridSelection, ARefusedRowChangeKeepsTheFlagAndTellsNothing) {
    SelForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    std::vector<std::string> log;
    bool allow = true;
    f.g->OnRowDisjunctSelect = [&](TObject*, int r, bool s, bool& a) {
        log.push_back("ask " + std::to_string(r) + (s ? " on" : " off"));
        a = allow;
    };
    f.g->OnRowDisjunctSelected = [&](TObject*, int r) { log.push_back("told " + std::to_string(r)); };
    f.g->SetRowSelect(3, true);
    EXPECT_EQ(log, (std::vector<std::string>{"ask 3 on", "told 3"}));
    log.clear();
    allow = false;
    f.g->SetRowSelect(3, false);
    f.Click(2, 3, {ssCtrl});
    EXPECT_EQ(log, (std::vector<std::string>{"ask 3 off", "ask 3 off"}));
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_EQ(f.SelectedRows(), (std::vector<int>{3}));
}

TEST(ExGridSelection, CtrlClicksCollectColumnsAndCells) {
    SelForm f;
    f.g->MouseActions().SetDisjunctColSelect(true);
    f.Click(1, 4);
    f.Click(3, 2, {ssCtrl});
    EXPECT_EQ(f.g->ColSelectCount(), 2);
    EXPECT_TRUE(f.g->ColSelect(1));
    EXPECT_TRUE(f.g->ColSelect(3));
    EXPECT_TRUE(f.g->IsSelected(3, 8));
    f.Click(1, 6, {ssCtrl});
    EXPECT_FALSE(f.g->ColSelect(1));
    EXPECT_EQ(f.g->SelectedColCount(), 1);
    f.g->MouseActions().SetDisjunctColSelect(false);

    f.g->MouseActions().SetDisjunctCellSelect(true);
    f.Click(1, 1);
    f.Click(3, 2, {ssCtrl});
    f.Click(2, 5, {ssCtrl});
    EXPECT_EQ(f.g->SelectedCellsCount(), 3);
    EXPECT_EQ(f.g->SelectedCell(2), (TGridCoord{2, 5}));
    EXPECT_TRUE(f.g->IsSelected(3, 2));
    EXPECT_FALSE(f.g->IsSelected(3, 1));
    f.Click(3, 2, {ssCtrl});
    EXPECT_EQ(f.g->SelectedCellsCount(), 2);
    EXPECT_FALSE(f.g->IsSelected(3, 2));
    f.Click(4, 4);  // a plain click: that cell alone
    EXPECT_EQ(f.g->SelectedCellsCount(), 1);
    EXPECT_EQ(f.g->SelectedCell(0), (TGridCoord{4, 4}));
    f.g->ClearSelectedCells();
    EXPECT_EQ(f.g->SelectedCellsCount(), 0);
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 1);
}

TEST(ExGridSelection, SelectedRowsAndCellsArePaintedInTheSelectionColour) {
    SelForm f;
    const TColor sel = f.g->SelectionColor();
    f.g->MouseActions().SetDisjunctRowSelect(true);
    f.Click(2, 2);
    f.Click(2, 6, {ssCtrl});
    auto b = f.Render();
    EXPECT_EQ(SelForm::At(b, 3, 2), sel);
    EXPECT_EQ(SelForm::At(b, 1, 6), sel);
    EXPECT_EQ(SelForm::At(b, 1, 4), clWhite);
    EXPECT_NE(SelForm::At(b, 0, 6), sel);  // the fixed column keeps its look
    // A row taken back loses the colour although the current cell stands in it.
    f.Click(2, 6, {ssCtrl});
    b = f.Render();
    EXPECT_EQ(SelForm::At(b, 3, 6), clWhite);
    EXPECT_EQ(SelForm::At(b, 3, 2), sel);
    f.g->MouseActions().SetDisjunctRowSelect(false);

    f.g->MouseActions().SetDisjunctCellSelect(true);
    f.Click(1, 1);
    f.Click(3, 4, {ssCtrl});
    f.Click(2, 8, {ssCtrl});
    f.Click(1, 1, {ssCtrl});  // the current cell taken out of the list
    b = f.Render();
    EXPECT_EQ(SelForm::At(b, 3, 4), sel);
    EXPECT_EQ(SelForm::At(b, 2, 8), sel);
    EXPECT_EQ(SelForm::At(b, 1, 1), clWhite);
    EXPECT_EQ(SelForm::At(b, 3, 5), clWhite);
}

TEST(ExGridSelection, ModifiedRowsShowTheirMarkerInColumnZero) {
    SelForm f;
    f.g->ShowModified().SetEnabled(true);
    f.g->AddCheckBox(2, 3, false);
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
    f.Click(2, 3);
    EXPECT_TRUE(f.g->RowModified(3));
    EXPECT_EQ(f.g->ModifiedRowCount(), 1);
    f.g->AddCheckBox(1, 6, false);
    f.g->FocusCell(1, 6);
    SimulateKey(VK_SPACE);
    EXPECT_TRUE(f.g->RowModified(6));
    EXPECT_EQ(f.g->ModifiedRowCount(), 2);

    auto b = f.Render();
    const TColor mark = 0x00FFFF;
    // Column 0 spans client x 0..39 less its right line: the bar covers 35..38 of rows 3 and 6 only.
    auto px = [&](int x, int r) { return b->Canvas().Pixels(x + 2, r * 20 + 10 + 2); };
    EXPECT_EQ(px(37, 3), mark);
    EXPECT_EQ(px(35, 6), mark);
    EXPECT_NE(px(34, 3), mark);
    EXPECT_NE(px(37, 4), mark);
    EXPECT_NE(px(37, 2), mark);

    f.g->ShowModified().SetColor(clRed);
    b = f.Render();
    EXPECT_EQ(px(37, 3), clRed);
    f.g->ShowModified().SetEnabled(false);
    b = f.Render();
    EXPECT_NE(px(37, 3), clRed);
    EXPECT_TRUE(f.g->RowModified(3));  // the mark stays, only hidden
    f.g->ClearModifiedRows();
    EXPECT_EQ(f.g->ModifiedRowCount(), 0);
}

TEST(ExGridSelection, RowMarksAndFlagsStayWithTheirRows) {
    SelForm f;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    // Marks on the rows whose first cell reads "0,3" and "0,6".
    auto mark = [&] {
        f.g->ClearRowSelect();
        f.g->ClearModifiedRows();
        for (int r = 1; r < f.g->RowCount(); ++r)
            if (f.g->GetCellEx(0, r) == u"0,3" || f.g->GetCellEx(0, r) == u"0,6") {
                f.g->SetRowSelect(r, true);
                f.g->SetRowModified(r, true);
            }
    };
    // The rows that carry the marks, by their first cell.
    auto marked = [&] {
        std::vector<std::string> rows;
        for (int r = 1; r < f.g->RowCount(); ++r) {
            const bool s = f.g->RowSelect(r), m = f.g->RowModified(r);
            if (s || m) rows.push_back(StringToUtf8(f.g->GetCellEx(0, r)) + (s ? " s" : "") + (m ? " m" : ""));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const std::vector<std::string> both{"0,3 s m", "0,6 s m"};
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"insert above", [&] { f.g->InsertRows(2, 2); }},
        {"insert between", [&] { f.g->InsertRows(5, 1); }},
        {"remove above", [&] { f.g->RemoveRows(1, 2); }},
        {"remove between", [&] { f.g->RemoveRows(4, 1); }},
        {"move down", [&] { f.g->MoveRow(3, 8); }},
        {"move up", [&] { f.g->MoveRow(6, 1); }},
        {"swap", [&] { f.g->SwapRows(3, 9); }},
        {"sort swap", [&] {
             f.g->Navigation().SetMoveRowOnSort(true);
             f.g->ShowModified().SetEnabled(true);
             f.g->SortSwapRows(6, 2);
         }},
        {"hide and show", [&] {
             f.g->HideRow(2);
             f.g->UnHideRow(2);
         }},
    };
    for (const auto& c : changes) {
        SelForm g2;  // each change on a fresh grid
        f.g = g2.g;
        f.g->MouseActions().SetDisjunctRowSelect(true);
        mark();
        c.change();
        EXPECT_EQ(marked(), both) << c.what;
        EXPECT_EQ(f.g->SelectedRowCount(), 2) << c.what;
    }
    // A removed row takes its marks with it.
    SelForm g3;
    f.g = g3.g;
    f.g->MouseActions().SetDisjunctRowSelect(true);
    mark();
    f.g->RemoveRows(3, 1);
    EXPECT_EQ(marked(), (std::vector<std::string>{"0,6 s m"}));
    EXPECT_EQ(f.SelectedRows(), (std::vector<int>{5}));
}

TEST(ExGridSelection, EqualTextsMergeIntoAreasAndSplitAgain) {
    SelForm f;
    const char16_t* texts[] = {u"x", u"x", u"y", u"y", u"y", u"z", u"w", u"w", u"w"};
    for (int r = 1; r < 10; ++r) f.g->SetCellEx(2, r, texts[r - 1]);
    f.g->MergeColumnCells(2, true);
    EXPECT_EQ(f.g->FullCell(2, 2), (TRect{2, 1, 2, 2}));
    EXPECT_EQ(f.g->FullCell(2, 4), (TRect{2, 3, 2, 5}));
    EXPECT_FALSE(f.g->IsMergedCell(2, 6));
    EXPECT_EQ(f.g->FullCell(2, 9), (TRect{2, 7, 2, 9}));
    // The rectangle over a merged area counts its rows.
    f.g->FocusCell(2, 3);
    EXPECT_EQ(f.g->SelectedRowCount(), 3);
    f.g->SplitColumnCells(2);
    for (int r = 1; r < 10; ++r) EXPECT_FALSE(f.g->IsMergedCell(2, r)) << r;
    EXPECT_EQ(f.g->GetCellEx(2, 5), u"y");  // the texts stay

    for (int c = 1; c < 5; ++c) f.g->SetCellEx(c, 4, c < 4 ? u"a" : u"b");
    f.g->MergeRowCells(4, true);
    EXPECT_EQ(f.g->FullCell(3, 4), (TRect{1, 4, 3, 4}));
    EXPECT_FALSE(f.g->IsMergedCell(4, 4));
    f.g->SplitRowCells(4);
    EXPECT_FALSE(f.g->IsMergedCell(2, 4));
    f.g->MergeCells(1, 1, 2, 2);
    f.g->MergeCells(3, 6, 2, 3);
    f.g->SplitAllCells();
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_FALSE(f.g->IsMergedCell(c, r)) << c << "," << r;

    f.g->SetCellEx(3, 2, u"");
    f.g->MergeCols(1, 3, u" ");
    EXPECT_EQ(f.g->ColCount(), 4);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"1,1 3,1");
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"1,2");  // trimmed
    EXPECT_EQ(f.g->GetCellEx(0, 1), u"0,1");
    EXPECT_EQ(f.g->GetCellEx(3, 1), u"4,1");
}

TEST(ExGridSelection, AMergedAreaIsPaintedAndEnteredAsOneCell) {
    SelForm f;
    f.g->MergeCells(1, 2, 2, 2);
    f.g->SetColors(1, 2, 0x00FF00);
    auto b = f.Render();
    // No grid line between the area's columns or rows.
    EXPECT_EQ(b->Canvas().Pixels(2 + 79, 2 + 50), TColor(0x00FF00));
    EXPECT_EQ(b->Canvas().Pixels(2 + 60, 2 + 59), TColor(0x00FF00));
    EXPECT_EQ(SelForm::At(b, 2, 3), TColor(0x00FF00));
    EXPECT_EQ(SelForm::At(b, 3, 3), clWhite);

    // A press on any cell of the area makes its base cell current.
    f.Click(2, 3);
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    // The keys step over the area.
    SimulateKey(VK_RIGHT);
    EXPECT_EQ(f.g->Col(), 3);
    f.g->FocusCell(2, 1);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.g->Col(), 1);
    EXPECT_EQ(f.g->Row(), 2);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.g->Row(), 4);
}

}  // namespace
