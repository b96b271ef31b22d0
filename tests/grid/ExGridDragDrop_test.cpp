#include "grid/ExGrid.h"
#include "grid/ExgDD.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two grids side by side on a shown form, 6 columns and 10 rows each,
// cells named by grid, column and row.
struct TwoGrids {
    TForm form{nullptr};
    TExStringGrid* a;
    TExStringGrid* b;
    TwoGrids() {
        form.SetBounds(0, 0, 900, 400);
        a = Make(0, u"a");
        b = Make(440, u"b");
        form.Show();
    }
    TExStringGrid* Make(int Left, const String& Name) {
        auto* g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(Left, 0, 420, 300);
        g->SetColCount(6);
        g->SetRowCount(10);
        g->SetDefaultRowHeight(20);
        g->SetDefaultColWidth(60);
        for (int r = 1; r < 10; ++r)
            for (int c = 1; c < 6; ++c) g->SetCellEx(c, r, Name + IntToStr(c) + IntToStr(r));
        return g;
    }
    // The middle of a cell in client coordinates.
    static TPoint On(TExStringGrid* G, int ACol, int ARow) {
        const TRect r = G->CellRect(ACol, ARow);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    static void DragTo(TExStringGrid* G, int ACol, int ARow) {
        const TPoint p = On(G, ACol, ARow);
        SimulateDrag({{TDragInput::Move, G, p}, {TDragInput::Release, G, p}});
    }
};

String Row(TExStringGrid* G, int ARow) {
    String s;
    for (int c = 0; c < G->ColCount(); ++c) s += G->Cells(G->RealColIndex(c), ARow) + u"|";
    return s;
}

}  // namespace

TEST(ExGridDragDrop, CellsDraggedToAnotherGridArriveThroughTheStream) {
    TwoGrids F;
    F.a->Navigation().SetAllowFmtClipboard(true);
    F.a->SetAlignments(2, 2, taRightJustify);
    F.a->SetSelection(TGridRect{1, 1, 2, 2});
    F.b->DragDropSettings().SetOleDropTarget(true);
    ASSERT_TRUE(F.b->Tools().OleDropTargetAssigned());
    Cardinal stopped = 99;
    F.a->Tools().OnOleDragStop = [&](TObject*, Cardinal E) { stopped = E; };
    TGridRect dropped{};
    F.b->Tools().OnOleDropped = [&](TObject*, TGridRect R) { dropped = R; };

    TwoGrids::DragTo(F.b, 3, 4);
    const TPoint from = TwoGrids::On(F.a, 1, 1);
    F.a->Tools().OleDragStart(1, 1, from.X, from.Y);

    EXPECT_EQ(F.b->Cells(3, 4), u"a11");
    EXPECT_EQ(F.b->Cells(4, 5), u"a22");
    EXPECT_EQ(F.b->Cells(5, 5), u"b55");
    // The alignment travels only in the cell stream.
    EXPECT_EQ(F.b->Alignments(4, 5), taRightJustify);
    EXPECT_EQ(stopped, DROPEFFECT_MOVE);
    // A move clears the dragged cells.
    EXPECT_EQ(F.a->Cells(1, 1), u"");
    EXPECT_EQ(F.a->Cells(2, 2), u"");
    EXPECT_EQ(F.a->Cells(3, 1), u"a31");
    EXPECT_FALSE(F.b->Arrow(arrLeft)->Visible());

    // With Ctrl held the cells are copied and stay.
    F.a->SetSelection(TGridRect{3, 3, 3, 3});
    const TPoint p = TwoGrids::On(F.b, 1, 8);
    SimulateDrag({{TDragInput::Move, F.b, p, {ssLeft, ssCtrl}}, {TDragInput::Release, F.b, p, {ssCtrl}}});
    F.a->Tools().OleDragStart(3, 3, 10, 10);
    EXPECT_EQ(F.b->Cells(1, 8), u"a33");
    EXPECT_EQ(F.a->Cells(3, 3), u"a33");
    EXPECT_EQ(stopped, DROPEFFECT_COPY);

    // Escape ends the drag without a drop or a stop event.
    stopped = 99;
    F.b->SetCells(2, 2, u"kept");
    SimulateDrag({{TDragInput::Move, F.b, TwoGrids::On(F.b, 2, 2)}, {TDragInput::Escape, F.b, TwoGrids::On(F.b, 2, 2)}});
    F.a->Tools().OleDragStart(3, 3, 10, 10);
    EXPECT_EQ(stopped, 99u);
    EXPECT_EQ(F.b->Cells(2, 2), u"kept");
}

TEST(ExGridDragDrop, TextDroppedWithInsertRowsInsertsAndSelects) {
    TwoGrids F;
    TDragDropSettings& s = F.b->DragDropSettings();
    s.SetOleDropTarget(true);
    s.SetOleInsertRows(true);
    F.b->SetOptions(F.b->Options() + TGridOptions{goEditing});  // text is pasted where it may be edited
    auto data = std::make_shared<TDataObject>();
    data->SetText(u"x1\ty1\r\nx2\ty2\r\nx3\ty3\r\n");
    TwoGrids::DragTo(F.b, 2, 5);
    Cardinal effect = DROPEFFECT_NONE;
    const HRESULT r = DoDragDrop(data, std::make_shared<TEXGDropSource>(), DROPEFFECT_COPY, effect);
    EXPECT_EQ(r, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(F.b->RowCount(), 13);
    EXPECT_EQ(Row(F.b, 4), u"|b14|b24|b34|b44|b54|");
    EXPECT_EQ(Row(F.b, 5), u"||x1|y1|||");
    EXPECT_EQ(Row(F.b, 7), u"||x3|y3|||");
    EXPECT_EQ(Row(F.b, 8), u"|b15|b25|b35|b45|b55|");
    const TGridRect sel = F.b->Selection();
    EXPECT_EQ((std::vector<int>{sel.Left, sel.Top, sel.Right, sel.Bottom}), (std::vector<int>{2, 5, 3, 7}));

    // A refused drop changes nothing.
    F.b->Tools().OnOleDragOver = [](TObject*, int, int, bool& Allow) { Allow = false; };
    TwoGrids::DragTo(F.b, 2, 2);
    EXPECT_EQ(DoDragDrop(data, std::make_shared<TEXGDropSource>(), DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(F.b->RowCount(), 13);
    EXPECT_EQ(F.b->Cells(2, 2), u"b22");
}

TEST(ExGridDragDrop, ColumnMovesOnHeaderRowOnly) {
    TwoGrids F;
    TDragDropSettings& s = F.b->DragDropSettings();
    s.SetOleDropTarget(true);
    s.SetOleColumnDragDrop(true);
    s.SetOleColumnReorder(true);
    s.SetShowCells(false);
    std::vector<std::string> drops;
    F.b->Tools().OnOleDropCol = [&](TObject*, int ARow, int ACol, int C) {
        drops.push_back(std::to_string(ARow) + "," + std::to_string(ACol) + "<" + std::to_string(C));
    };
    TwoGrids::DragTo(F.b, 2, 5);
    const TPoint head = TwoGrids::On(F.b, 1, 0);
    F.b->Tools().OleDragStart(1, 0, head.X, head.Y);
    EXPECT_EQ(Row(F.b, 1), u"|b11|b21|b31|b41|b51|");
    EXPECT_TRUE(drops.empty());

    TwoGrids::DragTo(F.b, 4, 0);
    F.b->Tools().OleDragStart(1, 0, head.X, head.Y);
    EXPECT_EQ(Row(F.b, 1), u"|b21|b31|b41|b11|b51|");
    EXPECT_EQ(drops, std::vector<std::string>{"0,4<1"});
    EXPECT_FALSE(F.b->Arrow(arrUp)->Visible());
    EXPECT_FALSE(F.b->Arrow(arrDown)->Visible());
}

TEST(ExGridDragDrop, DroppedFiles) {
    TempDir t;
    t.write("list.CSV", "p,q\r\nr,s\r\n");
    TwoGrids F;
    F.b->DragDropSettings().SetOleDropTarget(true);
    IDropTarget* target = F.b->Tools().GridDropTarget();
    ASSERT_NE(target, nullptr);
    auto drop = [&](const std::vector<String>& Names) {
        auto data = std::make_shared<TDataObject>();
        data->SetBytes(CF_HDROP, MakeDropFiles(Names));
        const TPoint p = F.b->ClientToScreen(TwoGrids::On(F.b, 2, 2));
        Cardinal e = DROPEFFECT_COPY;
        IDropTarget& it = *target;
        it.DragEnter(data, 0, p, e);
        e = DROPEFFECT_COPY;
        it.DragOver(0, p, e);
        e = DROPEFFECT_COPY;
        it.Drop(data, 0, p, e);
        return e;
    };
    const String csv = Utf8ToString(t.file("list.CSV"));
    EXPECT_EQ(drop({csv, csv}), DROPEFFECT_COPY);
    EXPECT_EQ(F.b->Cells(1, 1), u"b11");
    std::vector<String> asked;
    F.b->Tools().OnOleDrop = [&](TObject*, int, int, const String& Name, bool&) { asked.push_back(Name); };
    drop({csv});
    EXPECT_EQ(asked, std::vector<String>{csv});
    EXPECT_EQ(F.b->Cells(0, 0), u"p");
    EXPECT_EQ(F.b->Cells(1, 1), u"s");

    // A workbook loads its sheet.
    const String book = Utf8ToString(t.file("cells.xlsx"));
    F.a->SaveToXLS(book);
    drop({book});
    EXPECT_EQ(F.b->RowCount(), 10);
    EXPECT_EQ(F.b->Cells(3, 4), u"a34");
    EXPECT_EQ(F.b->Cells(0, 0), u"");
}

TEST(ExGridDragDrop, MousePressAndMoveStartTheDrag) {
    TwoGrids F;
    F.b->DragDropSettings().SetOleDropTarget(true);
    const TPoint from = TwoGrids::On(F.a, 2, 3);
    // Without OleDropSource a press and move only select.
    SimulateMouseDown(F.a, mbLeft, from.X, from.Y);
    SimulateMouseMove(F.a, from.X + 20, from.Y, {ssLeft});
    SimulateMouseUp(F.a, mbLeft, from.X + 20, from.Y);
    EXPECT_FALSE(DragDropRunning());
    EXPECT_EQ(F.b->Cells(1, 6), u"b16");

    F.a->DragDropSettings().SetOleDropSource(true);
    F.a->DragDropSettings().SetOleCopyAlways(true);
    F.a->Navigation().SetAllowFmtClipboard(true);
    F.a->SetSelection(TGridRect{2, 3, 2, 3});
    TwoGrids::DragTo(F.b, 1, 6);
    SimulateMouseDown(F.a, mbLeft, from.X, from.Y);
    SimulateMouseMove(F.a, from.X + 2, from.Y + 2, {ssLeft});  // not yet far enough
    EXPECT_EQ(F.b->Cells(1, 6), u"b16");
    SimulateMouseMove(F.a, from.X + 5, from.Y, {ssLeft});
    EXPECT_EQ(F.b->Cells(1, 6), u"a23");
    EXPECT_EQ(F.a->Cells(2, 3), u"a23");  // copied always
    EXPECT_EQ(F.a->GridState(), gsNormal);
}

TEST(ExGridDragDrop, APressOnTheSelectionKeepsItForTheDrag) {
    TwoGrids F;
    F.b->DragDropSettings().SetOleDropTarget(true);
    F.a->DragDropSettings().SetOleDropSource(true);
    F.a->DragDropSettings().SetOleCopyAlways(true);
    F.a->Navigation().SetAllowFmtClipboard(true);
    std::vector<std::string> log;
    F.a->OnClickCell = [&](TObject*, int r, int c) { log.push_back("clickcell " + std::to_string(c) + "," + std::to_string(r)); };
    F.a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("mousedown"); };
    auto sel = [&] {
        const TGridRect s = F.a->Selection();
        return std::to_string(s.Left) + "," + std::to_string(s.Top) + "-" + std::to_string(s.Right) + "," +
               std::to_string(s.Bottom);
    };
    struct Case {
        int col, row;
        std::string pressed, released;
    };
    // Inside the selection the press keeps it, the release alone narrows it;
    // outside it the press selects as usual.
    for (Case c : {Case{3, 4, "2,3-3,4", "3,4-3,4"}, Case{5, 8, "5,8-5,8", "5,8-5,8"}}) {
        SCOPED_TRACE(c.pressed);
        F.a->SetSelection(TGridRect{2, 3, 3, 4});
        log.clear();
        const TPoint at = TwoGrids::On(F.a, c.col, c.row);
        SimulateMouseDown(F.a, mbLeft, at.X, at.Y);
        EXPECT_EQ(sel(), c.pressed);
        EXPECT_EQ(log, (std::vector<std::string>{"mousedown", "clickcell " + std::to_string(c.col) + "," +
                                                                   std::to_string(c.row)}));
        SimulateMouseUp(F.a, mbLeft, at.X, at.Y);
        EXPECT_EQ(sel(), c.released);
    }
    // A drag from inside takes the whole selection along.
    F.a->SetSelection(TGridRect{2, 3, 3, 4});
    TwoGrids::DragTo(F.b, 1, 6);
    const TPoint from = TwoGrids::On(F.a, 3, 4);
    SimulateMouseDown(F.a, mbLeft, from.X, from.Y);
    SimulateMouseMove(F.a, from.X + 5, from.Y, {ssLeft});
    EXPECT_EQ(F.b->Cells(1, 6), u"a23");
    EXPECT_EQ(F.b->Cells(2, 7), u"a34");
}

TEST(ExGridDragDrop, WholeRowsAppendedAndMovedWithinTheGrid) {
    TwoGrids F;
    TExStringGrid* b = F.b;
    TDragDropSettings& s = b->DragDropSettings();
    s.SetOleDropTarget(true);
    s.SetOleDropSource(true);
    s.SetOleEntireRows(true);
    s.SetOleAppendRows(true);
    s.SetOleInsertRows(true);
    s.SetOleRemoveRows(true);
    b->SetOptions(b->Options() + TGridOptions{goEditing});

    // Below the last row: appended after it.
    auto data = std::make_shared<TDataObject>();
    data->SetText(u"n1\tn2\r\n");
    const TRect last = b->CellRect(2, 9);
    const TPoint below{(last.Left + last.Right) / 2, last.Bottom + 15};
    SimulateDrag({{TDragInput::Move, b, below}, {TDragInput::Release, b, below}});
    Cardinal effect = DROPEFFECT_NONE;
    DoDragDrop(data, std::make_shared<TEXGDropSource>(), DROPEFFECT_COPY, effect);
    ASSERT_EQ(b->RowCount(), 11);
    EXPECT_EQ(Row(b, 10), u"|n1|n2||||");
    EXPECT_EQ(Row(b, 9), u"|b19|b29|b39|b49|b59|");

    // Rows 6 and 7 dragged up to row 2: inserted there, removed from below.
    b->SetOptions(b->Options() + TGridOptions{goRowSelect});
    b->SetSelection(TGridRect{1, 6, 5, 7});
    TwoGrids::DragTo(b, 2, 2);
    b->Tools().OleDragStart(2, 6, 10, 10);
    ASSERT_EQ(b->RowCount(), 11);
    EXPECT_EQ(Row(b, 1), u"|b11|b21|b31|b41|b51|");
    EXPECT_EQ(Row(b, 2), u"|b16|b26|b36|b46|b56|");
    EXPECT_EQ(Row(b, 3), u"|b17|b27|b37|b47|b57|");
    EXPECT_EQ(Row(b, 4), u"|b12|b22|b32|b42|b52|");
    EXPECT_EQ(Row(b, 8), u"|b18|b28|b38|b48|b58|");
}

TEST(ExGridDragDrop, SettingsCopyAsPlainFields) {
    TwoGrids F;
    TDragDropSettings& a = F.a->DragDropSettings();
    a.SetOleDropTarget(true);
    a.SetOleInsertRows(true);
    a.SetShowCells(false);
    // Copying sets no registration and keeps each grid's own settings object.
    F.b->DragDropSettings().Assign(&a);
    EXPECT_TRUE(F.b->DragDropSettings().OleDropTarget());
    EXPECT_TRUE(F.b->DragDropSettings().OleInsertRows());
    EXPECT_FALSE(F.b->DragDropSettings().ShowCells());
    EXPECT_FALSE(F.b->Tools().OleDropTargetAssigned());
    EXPECT_EQ(F.b->DragDropSettings().Grid, F.b);
    // Another kind of settings is ignored.
    TBands bands;
    F.b->DragDropSettings().Assign(&bands);
    EXPECT_TRUE(F.b->DragDropSettings().OleInsertRows());
    // Rich text follows the setting for every grid.
    a.SetOleDropRTF(true);
    EXPECT_TRUE(DropRTFEnabled());
    a.SetOleDropRTF(false);
    EXPECT_FALSE(DropRTFEnabled());
    a.SetOleDropTarget(false);
    EXPECT_FALSE(F.a->Tools().OleDropTargetAssigned());
}

TEST(ExGridDragDrop, RowsChosenOneByOneMoveToAnotherGrid) {
    TwoGrids F;
    TExStringGrid* a = F.a;
    a->SetOptions(a->Options() + TGridOptions{goRowSelect});
    a->MouseActions().SetDisjunctRowSelect(true);
    a->DragDropSettings().SetOleDropSource(true);
    a->DragDropSettings().SetOleRemoveRows(true);
    a->SetRowSelect(2, true);
    a->SetRowSelect(4, true);
    // The selection rectangle lies elsewhere: only the chosen rows count.
    a->SetSelection(TGridRect{1, 7, 5, 7});
    TDragDropSettings& s = F.b->DragDropSettings();
    s.SetOleDropTarget(true);
    s.SetOleInsertRows(true);
    F.b->SetOptions(F.b->Options() + TGridOptions{goEditing});

    TwoGrids::DragTo(F.b, 1, 3);
    const TPoint from = TwoGrids::On(a, 1, 2);
    a->Tools().OleDragStart(1, 2, from.X, from.Y);

    ASSERT_EQ(a->RowCount(), 8);
    const std::vector<int> left{1, 3, 5, 6, 7, 8, 9};
    for (size_t i = 0; i < left.size(); ++i) {
        const String n = IntToStr(left[i]);
        EXPECT_EQ(Row(a, int(i) + 1), u"|a1" + n + u"|a2" + n + u"|a3" + n + u"|a4" + n + u"|a5" + n + u"|");
    }
    EXPECT_EQ(a->RowSelectCount(), 0);
    ASSERT_EQ(F.b->RowCount(), 12);
    EXPECT_EQ(Row(F.b, 2), u"|b12|b22|b32|b42|b52|");
    EXPECT_EQ(Row(F.b, 3), u"|a12|a22|a32|a42|a52|");
    EXPECT_EQ(Row(F.b, 4), u"|a14|a24|a34|a44|a54|");
    EXPECT_EQ(Row(F.b, 5), u"|b13|b23|b33|b43|b53|");
}

// Rows moved up inside the grid: inserted at the drop row or pasted over the rows there;
// either way exactly the dragged rows go afterwards.
TEST(ExGridDragDrop, RowsMovedWithinTheGridRemoveOnlyTheDraggedRows) {
    struct Case {
        bool insert, disjunct;
        std::vector<int> rows;  // the original rows, top to bottom, after the move
    };
    const Case cases[] = {
        {true, true, {1, 6, 8, 2, 3, 4, 5, 7, 9}},
        {false, true, {1, 6, 8, 4, 5, 7, 9}},
        {false, false, {1, 6, 7, 4, 5, 8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.insert * 2 + c.disjunct);
        TwoGrids F;
        TExStringGrid* b = F.b;
        TDragDropSettings& s = b->DragDropSettings();
        s.SetOleDropTarget(true);
        s.SetOleDropSource(true);
        s.SetOleInsertRows(c.insert);
        s.SetOleRemoveRows(true);
        b->SetOptions(b->Options() + TGridOptions{goEditing, goRowSelect});
        b->MouseActions().SetDisjunctRowSelect(c.disjunct);
        if (c.disjunct) {
            b->SetRowSelect(6, true);
            b->SetRowSelect(8, true);
            b->SetSelection(TGridRect{1, 6, 5, 6});
        } else {
            b->SetSelection(TGridRect{1, 6, 5, 7});
        }
        TwoGrids::DragTo(b, 2, 2);
        b->Tools().OleDragStart(2, 6, 10, 10);
        ASSERT_EQ(b->RowCount(), int(c.rows.size()) + 1);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            const String n = IntToStr(c.rows[i]);
            EXPECT_EQ(Row(b, int(i) + 1), u"|b1" + n + u"|b2" + n + u"|b3" + n + u"|b4" + n + u"|b5" + n + u"|");
        }
    }
}
