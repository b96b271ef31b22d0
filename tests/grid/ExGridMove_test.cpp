#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The grid as the move tests drive it.
struct FeedbackGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
};

// A shown column grid that moves columns and rows by their headers; cell
// (c, r) holds "c,r" and column c is c * 10 + 40 pixels wide.
struct MoveForm {
    TForm form{nullptr};
    FeedbackGrid* g;
    std::vector<std::string> log;

    MoveForm() {
        form.SetBounds(0, 0, 700, 400);
        g = new FeedbackGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 600, 300);
        g->SetRowCount(6);
        g->SetOptions(g->Options() + TGridOptions{goColMoving, goRowMoving});
        for (int c = 0; c < g->ColCount(); ++c) {
            g->SetColWidths(c, c * 10 + 40);
            g->Columns().Items(c)->SetHeader(u"H" + IntToStr(c));
            for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(c, r, IntToStr(c) + u"," + IntToStr(r));
        }
        g->Columns().Items(1)->SetEditor(edComboList);
        g->OnColumnMoved = [this](TObject*, int f, int t) { log.push_back("moved " + Pair(f, t)); };
        g->OnAfterColumnMoved = [this](TObject*, int f, int t) { log.push_back("after " + Pair(f, t)); };
        form.Show();
    }
    static std::string Pair(int a, int b) { return std::to_string(a) + ">" + std::to_string(b); }
    TPoint Mid(int c, int r) {
        const TRect R = g->CellRect(c, r);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    // Presses on a header, moves over the steps and releases on the last.
    void Drag(TPoint from, const std::vector<TPoint>& steps) {
        SimulateMouseDown(g, mbLeft, from.X, from.Y);
        for (TPoint p : steps) SimulateMouseMove(g, p.X, p.Y, {ssLeft});
        SimulateMouseUp(g, mbLeft, steps.back().X, steps.back().Y);
    }
    TArrowWindow* Arrow(TArrowDirection dir) {
        for (int i = 0; i < g->ComponentCount(); ++i)
            if (auto* a = dynamic_cast<TArrowWindow*>(g->Components(i)); a && a->Dir() == dir) return a;
        return nullptr;
    }
    void DragColumn(int from, int to) { Drag(Mid(from, 0), {Mid(from + (to > from ? 1 : -1), 0), Mid(to, 0)}); }
};

TEST(ExGridMove, ADraggedColumnTakesItsCellsWidthItemAndCurrentCell) {
    MoveForm f;
    f.g->SetCol(1);
    f.g->SortSettings().SetShow(true);
    f.g->OnClickSort = [&](TObject*, int) { f.log.push_back("sorted"); };
    f.DragColumn(1, 3);
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"1,2");
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"2,2");
    EXPECT_EQ(f.g->ColWidths(3), 50);
    EXPECT_EQ(f.g->ColWidths(1), 60);
    EXPECT_EQ(f.g->Col(), 3);
    TGridColumnItem* moved = f.g->Columns().Items(3);
    EXPECT_EQ(moved->Header(), u"H1");
    EXPECT_EQ(moved->Editor(), edComboList);
    EXPECT_EQ(moved->Width(), 50);
    EXPECT_EQ(f.log, (std::vector<std::string>{"moved 1>3", "after 1>3"}));
    // The release that ended the move is no sort click: it used up the move's mark.
    EXPECT_FALSE(f.g->ColMoveFlg());
    EXPECT_EQ(f.g->SortSettings().Column(), -1);
    EXPECT_EQ(f.g->ColumnOrder(), (std::vector<int>{0, 2, 3, 1, 4}));
    f.g->MoveColumn(4, 1);
    EXPECT_EQ(f.g->ColumnOrder(), (std::vector<int>{0, 4, 2, 3, 1}));
}

TEST(ExGridMove, TheSortColumnAndItsKeysFollowTheMove) {
    const struct {
        int sortColumn, expected;
    } cases[] = {{3, 2}, {2, 1}, {1, 3}, {4, 4}};
    for (auto c : cases) {
        MoveForm f;
        f.g->SortSettings().SetColumn(c.sortColumn);
        f.g->MoveColumn(1, 3);
        EXPECT_EQ(f.g->SortSettings().Column(), c.expected) << c.sortColumn;
    }
    MoveForm f;
    f.g->SortSettings().SetIndexShow(true);
    f.g->SortIndexes().AddIndex(3, false);
    f.g->SortIndexes().AddIndex(1, true);
    f.g->MoveColumn(3, 1);
    EXPECT_EQ(f.g->SortIndexes().GetSortColumns(0), 1);
    EXPECT_FALSE(f.g->SortIndexes().GetSortDirections(0));
    EXPECT_EQ(f.g->SortIndexes().GetSortColumns(1), 2);
}

TEST(ExGridMove, HiddenRowsAndColumnsKeepTheirCellsInStep) {
    MoveForm f;
    f.g->HideRow(2);
    f.g->MoveColumn(1, 3);
    f.g->UnHideRow(2);
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"1,2");
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"3,2");

    // Shown columns 0, 1, 3, 4: the third is real column 4.
    MoveForm h;
    h.g->SortSettings().SetColumn(4);
    h.g->HideColumn(2);
    h.g->MoveColumn(1, 3);
    EXPECT_EQ(h.g->SortSettings().Column(), 3);
    EXPECT_EQ(h.g->ColumnOrder(), (std::vector<int>{0, 2, 3, 4, 1}));
    EXPECT_TRUE(h.g->IsHiddenColumn(1));
    h.g->UnHideColumn(1);
    EXPECT_EQ(h.g->GetCellEx(1, 3), u"2,3");
    EXPECT_EQ(h.g->GetCellEx(4, 3), u"1,3");
    EXPECT_EQ(h.g->ColWidths(4), 50);
}

TEST(ExGridMove, AMovedRowIsReportedOnceWithItsHeightInPlace) {
    MoveForm f;
    f.g->SetRowHeights(1, 40);
    std::vector<std::string> seen;
    f.g->OnRowMoved = [&](TObject*, int from, int to) {
        seen.push_back(MoveForm::Pair(from, to) + " h" + std::to_string(f.g->RowHeights(to)) + " " +
                       StringToUtf8(f.g->GetCellEx(2, to)));
    };
    f.Drag(f.Mid(0, 1), {f.Mid(0, 2), f.Mid(0, 3)});
    EXPECT_EQ(seen, (std::vector<std::string>{"1>3 h40 2,1"}));

    // The floating footer's row stays last.
    f.g->FloatingFooter().SetVisible(true);
    f.g->MoveRow(1, f.g->RowCount() - 1);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(f.g->GetCellEx(2, 1), u"2,2");
}

TEST(ExGridMove, GridsSynchronisedBothWaysMoveOnceEach) {
    MoveForm a, b;
    a.g->SyncGrid().SetGrid(b.g);
    a.g->SyncGrid().SetMoveColumn(true);
    b.g->SyncGrid().SetGrid(a.g);
    b.g->SyncGrid().SetMoveColumn(true);
    a.DragColumn(1, 3);
    EXPECT_EQ(a.log, (std::vector<std::string>{"moved 1>3", "after 1>3"}));
    EXPECT_EQ(b.log, (std::vector<std::string>{"moved 1>3", "after 1>3"}));
    EXPECT_EQ(b.g->GetCellEx(3, 2), u"1,2");

    a.g->SyncGrid().SetMoveRow(true);
    b.g->SyncGrid().SetMoveRow(true);
    a.g->MoveRow(1, 2);
    EXPECT_EQ(a.g->GetCellEx(1, 2), u"2,1");
    EXPECT_EQ(b.g->GetCellEx(1, 2), u"2,1");
}

TEST(ExGridMove, TheDragShowsTheHeaderButtonArrowsAndARefusalMovesNothing) {
    MoveForm f;
    f.g->DragDropSettings().SetShowCells(false);
    std::vector<int> moving;
    bool refuse = false;
    f.g->OnColumnMoving = [&](TObject*, int col, bool& allow) {
        moving.push_back(col);
        if (refuse) allow = false;
    };
    SimulateMouseDown(f.g, mbLeft, f.Mid(1, 0).X, f.Mid(1, 0).Y);
    SimulateMouseMove(f.g, f.Mid(2, 0).X, f.Mid(2, 0).Y, {ssLeft});
    THeaderDragButton* button = f.g->MoveButton();
    EXPECT_TRUE(button->Visible());
    EXPECT_EQ(button->Caption(), u"H1");
    EXPECT_EQ(button->Width(), 50);
    EXPECT_EQ(Screen->Cursor(), crDrag);
    // It looks like the header, its caption drawn on it.
    TBitmap picture;
    RenderControlToBitmap(button, picture);
    int dark = 0;
    for (int x = 0; x < picture.Width(); ++x)
        for (int y = 0; y < picture.Height(); ++y)
            if (GetRValue(ColorToRGB(picture.Canvas().Pixels(x, y))) < 100) ++dark;
    EXPECT_GT(dark, 10);
    EXPECT_LT(dark, picture.Width() * picture.Height() / 3);
    SimulateMouseMove(f.g, f.Mid(3, 0).X, f.Mid(3, 0).Y, {ssLeft});
    // The arrows mark the drop place of the step before: right of column 2.
    TArrowWindow* up = f.Arrow(arrUp);
    ASSERT_NE(up, nullptr);
    EXPECT_TRUE(up->Visible());
    EXPECT_TRUE(f.Arrow(arrDown)->Visible());
    EXPECT_FALSE(f.Arrow(arrLeft)->Visible());
    EXPECT_EQ(up->Left(), f.g->ClientToScreen({f.g->CellRect(2, 0).Right - 5, 0}).X);
    EXPECT_EQ(up->Top(), f.g->ClientToScreen({0, f.g->CellRect(2, 0).Bottom}).Y);
    refuse = true;
    SimulateMouseMove(f.g, f.Mid(4, 0).X, f.Mid(4, 0).Y, {ssLeft});
    EXPECT_EQ(moving, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(Screen->Cursor(), crNoDrop);
    SimulateMouseUp(f.g, mbLeft, f.Mid(4, 0).X, f.Mid(4, 0).Y);
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_TRUE(f.log.empty());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"1,2");
    EXPECT_EQ(f.g->GridState(), gsNormal);

    // Accepted: the drop moves the column.
    refuse = false;
    f.DragColumn(1, 3);
    EXPECT_EQ(f.g->GetCellEx(3, 2), u"1,2");
}

// Data tools that give the floating picture of the dragged cells.
struct PictureTools : TGridDataTools {
    using TGridDataTools::TGridDataTools;
    TGridRect asked{-1, -1, -1, -1};
    TCustomForm* SelectionToForm(const TGridRect& R) override {
        asked = R;
        auto* f = new TForm(nullptr);
        f->SetBounds(0, 0, 30, 80);
        return f;
    }
};

TEST(ExGridMove, WithShowCellsThePictureOfTheCellsFollowsTheMouse) {
    MoveForm f;
    auto tools = std::make_unique<PictureTools>(*f.g);
    PictureTools* t = tools.get();
    f.g->SetDataTools(std::move(tools));
    const TPoint press = f.Mid(1, 0);
    SimulateMouseDown(f.g, mbLeft, press.X, press.Y);
    SimulateMouseMove(f.g, press.X + 30, press.Y + 4, {ssLeft});
    EXPECT_EQ(t->asked, (TGridRect{1, 0, 1, f.g->TopRow() + f.g->VisibleRowCount() - 1}));
    EXPECT_FALSE(f.g->MoveButton()->Visible());
    // Where the header was taken stays under the mouse.
    const TRect R = f.g->CellRect(1, 0);
    TCustomForm* picture = nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Width() == 30 && Screen->Forms(i)->Height() == 80) picture = Screen->Forms(i);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->Visible());
    const TPoint at = f.g->ClientToScreen({R.Left + 30, R.Top + 4});
    EXPECT_EQ(picture->Left(), at.X);
    EXPECT_EQ(picture->Top(), at.Y);
    SimulateMouseUp(f.g, mbLeft, press.X + 30, press.Y + 4);
}

TEST(ExGridMove, DraggingPastTheEdgeScrollsTheColumns) {
    MoveForm f;
    f.g->SetColCount(20);
    ASSERT_LT(f.g->VisibleColCount() + f.g->FixedCols(), f.g->ColCount());
    const TPoint press = f.Mid(1, 0);
    SimulateMouseDown(f.g, mbLeft, press.X, press.Y);
    SimulateMouseMove(f.g, f.g->Width() + 5, press.Y, {ssLeft});
    EXPECT_EQ(f.g->LeftCol(), 2);
    SimulateMouseMove(f.g, f.g->Width() + 6, press.Y, {ssLeft});
    EXPECT_EQ(f.g->LeftCol(), 3);
    SimulateMouseMove(f.g, 2, press.Y, {ssLeft});
    EXPECT_EQ(f.g->LeftCol(), 2);
    SimulateMouseUp(f.g, mbLeft, 2, press.Y);
}

TEST(ExGridMove, OnColumnMoveRefusingEndsTheDrag) {
    MoveForm f;
    f.g->OnColumnMove = [](TObject*, int, bool& allow) { allow = false; };
    f.DragColumn(1, 3);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"1,2");
    EXPECT_TRUE(f.log.empty());
    EXPECT_FALSE(f.g->MoveButton()->Visible());
}

}  // namespace
