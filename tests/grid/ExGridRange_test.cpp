#include "grid/ExCGrid.h"

#include "grid/foundation/PictureContainer.h"

#include "framework/ExtCtrls.h"
#include "framework/ImgList.h"
#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

String Str(const char* s) { return Utf8ToString(s); }

TEST(ExGridRange, ASelectedBlockReadsAsTabbedLines) {
    TExStringGrid g(nullptr);
    const char16_t* texts[] = {u"a", u"b", u"c", u"d", u"e", u"f"};
    for (int i = 0; i < 6; ++i) g.SetCellEx(1 + i % 3, 1 + i / 3, texts[i]);
    g.SelectCells(1, 1, 3, 2);
    EXPECT_EQ(g.SelectedText(), u"a\tb\tc\r\nd\te\tf");

    // Spreadsheets take a line break inside a quoted cell as character 11.
    g.SetCellEx(2, 1, u"x\r\ny");
    g.SelectCells(2, 1, 2, 1);
    EXPECT_EQ(g.SelectedText(), u"x\r\ny");
    g.SetExcelClipboardFormat(true);
    EXPECT_EQ(g.SelectedText(), u"\"x\vy\"");
    // Rich text goes as its plain text.
    g.SetCellEx(2, 1, u"{\\rtf1 plain {\\b bold}}");
    EXPECT_EQ(g.SelectedText(), u"plain bold");
}

TEST(ExGridRange, FixedCellsAreNeverSelected) {
    TExStringGrid g(nullptr);
    g.SelectCells(0, 0, 3, 2);
    EXPECT_FALSE(g.IsSelected(0, 1));
    EXPECT_FALSE(g.IsSelected(1, 0));
    EXPECT_TRUE(g.IsSelected(1, 1));
    EXPECT_TRUE(g.IsSelected(3, 2));
    EXPECT_FALSE(g.IsSelected(4, 1));
    EXPECT_FALSE(g.IsSelected(1, 3));
}

std::vector<std::string> Column(TExStringGrid& g, int c) {
    std::vector<std::string> v;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) v.push_back(StringToUtf8(g.GetCellEx(c, r)));
    return v;
}

TEST(ExGridRange, RunningNumbersFromTheStartOffsetAndDirection) {
    TExStringGrid g(nullptr);
    g.SetRowCount(5);
    g.SetAutoNumberOffset(10);
    g.AutoNumberCol(1);
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"11", "12", "13", "14"}));
    g.SetAutoNumberOffset(0);
    g.SetAutoNumberDirection(sdDescending);
    g.AutoNumberCol(2);
    EXPECT_EQ(Column(g, 2), (std::vector<std::string>{"4", "3", "2", "1"}));
    g.SetAutoNumberDirection(sdAscending);
    g.SetAutoNumberStart(2);
    g.AutoNumberCol(3);
    EXPECT_EQ(Column(g, 3), (std::vector<std::string>{"", "", "3", "4"}));

    g.SetAutoNumberStart(0);
    g.AutoNumberRow(0);
    std::vector<std::string> header;
    for (int c = 1; c < g.ColCount(); ++c) header.push_back(StringToUtf8(g.GetCellEx(c, 0)));
    EXPECT_EQ(header, (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST(ExGridRange, SwappedColumnsKeepTheirCellObjectsWidthsAndTheSortColumn) {
    TExStringGrid g(nullptr);
    g.SetCellEx(1, 1, u"one");
    g.SetCellEx(3, 1, u"three");
    g.AddCheckBox(1, 2, true);
    g.SetColWidths(1, 40);
    g.SetColWidths(3, 90);
    g.SortSettings().SetColumn(3);
    const int cols = g.ColCount();
    g.SwapColumns(1, 3);
    EXPECT_EQ(g.ColCount(), cols);
    EXPECT_EQ(g.GetCellEx(1, 1), u"three");
    EXPECT_EQ(g.GetCellEx(3, 1), u"one");
    EXPECT_FALSE(g.HasCheckBox(1, 2));
    ASSERT_TRUE(g.HasCheckBox(3, 2));
    EXPECT_TRUE(g.IsChecked(3, 2));
    EXPECT_EQ(g.ColWidths(1), 90);
    EXPECT_EQ(g.ColWidths(3), 40);
    EXPECT_EQ(g.SortSettings().Column(), 1);
    EXPECT_THROW(g.SwapColumns(1, 99), EExGridError);
}

TEST(ExGridRange, SwappedRowsTakeTheirCellsAndHeights) {
    TExStringGrid g(nullptr);
    g.SetCellEx(1, 1, u"first");
    g.SetCellEx(4, 3, u"third");
    g.AddCheckBox(2, 3, true);
    g.SetRowHeights(3, 40);
    g.SwapRows(1, 3);
    EXPECT_EQ(g.GetCellEx(1, 3), u"first");
    EXPECT_EQ(g.GetCellEx(4, 1), u"third");
    EXPECT_TRUE(g.HasCheckBox(2, 1));
    EXPECT_EQ(g.RowHeights(1), 40);
    EXPECT_EQ(g.RowHeights(3), g.DefaultRowHeight());
    EXPECT_THROW(g.SwapRows(-1, 2), EExGridError);
}

TEST(ExGridRange, TheSortSwapKeepsTheCrossReferenceAndFollowsItsRow) {
    TExStringGrid g(nullptr);
    g.SetRowCount(4);
    g.DataTools().InitSortXRef();
    ASSERT_EQ(g.SortRowXRef(), (std::vector<int>{0, 1, 2, 3}));
    for (int r = 1; r < 4; ++r) {
        g.SetCellEx(1, r, Str("a") + IntToStr(r));
        g.SetCellEx(2, r, Str("b") + IntToStr(r));
    }
    g.SetSortRow(1);
    g.SetSwaps(0);
    g.SortSwapRows(1, 3);
    EXPECT_EQ(g.SortRowXRef(), (std::vector<int>{0, 3, 2, 1}));
    EXPECT_EQ(g.SortRow(), 3);
    EXPECT_EQ(g.GetCellEx(1, 1), u"a3");
    EXPECT_EQ(g.GetCellEx(2, 1), u"b3");
    EXPECT_EQ(g.Swaps(), 1);

    // Only the sort column's cells change places.
    g.SortSettings().SetSingleColumn(true);
    g.SortSettings().SetColumn(2);
    g.SortSwapRows(1, 2);
    g.SortSwapRows(-1, 2);  // out of the grid: nothing moves
    EXPECT_EQ(g.GetCellEx(1, 1), u"a3");
    EXPECT_EQ(g.GetCellEx(2, 1), u"b2");
    EXPECT_EQ(g.GetCellEx(2, 2), u"b3");
}

TEST(ExGridRange, TheSortSwapTakesChosenAndModifiedMarksOnlyWhenAskedTo) {
    const struct {
        bool disjunct, moveRow, showModified;
        const char* marks;  // row 1's and row 3's marks after the swap: s chosen, m modified
    } cases[] = {
        {true, true, true, "- sm"},
        {true, false, true, "s m"},
        {false, true, true, "s m"},
        {true, true, false, "m s"},
        {false, false, false, "sm -"},
    };
    for (const auto& c : cases) {
        TExStringGrid g(nullptr);
        g.SetRowCount(4);
        g.MouseActions().SetDisjunctRowSelect(c.disjunct);
        g.Navigation().SetMoveRowOnSort(c.moveRow);
        g.ShowModified().SetEnabled(c.showModified);
        g.SetRowSelect(1, true);
        g.SetRowModified(1, true);
        g.SortSwapRows(1, 3);
        auto marks = [&](int r) {
            std::string m = std::string(g.RowSelect(r) ? "s" : "") + (g.RowModified(r) ? "m" : "");
            return m.empty() ? std::string("-") : m;
        };
        EXPECT_EQ(marks(1) + " " + marks(3), c.marks)
            << c.disjunct << c.moveRow << c.showModified;
    }
}

struct Listener : ITExStringGridSelect {
    std::vector<std::pair<int, int>> cells;
    void SelectCell(int ACol, int ARow) override { cells.emplace_back(ACol, ARow); }
};

struct Notifier : TGridChangeNotifier {
    explicit Notifier(TComponent* Owner) : TGridChangeNotifier(Owner) {}
    int told = 0;
    void CellsChanged(TRect) override { ++told; }
};

TEST(ExGridRange, ListenersAndNotifiersAreToldOnceAndLetGo) {
    TForm form(nullptr);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    Listener a, b;
    g->RegisterSelListener(&a);
    g->SetCol(2);
    g->SetRow(3);
    EXPECT_EQ(a.cells, (std::vector<std::pair<int, int>>{{2, 1}, {2, 3}}));
    g->RegisterSelListener(&b);  // replaces a
    g->UnRegisterSelListener(&a);  // not the stored one: b stays
    g->SetRow(2);
    EXPECT_EQ(a.cells.size(), 2u);
    EXPECT_EQ(b.cells, (std::vector<std::pair<int, int>>{{2, 2}}));
    g->UnRegisterSelListener(&b);
    g->SetRow(1);
    EXPECT_EQ(b.cells.size(), 1u);

    auto* n = new Notifier(&form);
    g->RegisterNotifier(n);
    g->RegisterNotifier(n);
    g->InsertRows(1, 1);
    EXPECT_EQ(n->told, 1);
    g->UnRegisterNotifier(n);
    g->InsertRows(1, 1);
    EXPECT_EQ(n->told, 1);
    // A freed notifier is forgotten.
    g->RegisterNotifier(n);
    delete n;
    g->InsertRows(1, 1);
}

TEST(ExGridRange, ArrowColourDialogCodeAndFreedCheckerAndSynchronisedGrid) {
    TExStringGrid g(nullptr);
    EXPECT_EQ(g.ArrowColor(), clLime);
    g.SetArrowColor(clRed);
    EXPECT_EQ(g.ArrowColor(), clRed);

    // Characters reach a grid that does not edit (its incremental lookup), and one that edits.
    EXPECT_TRUE(g.Perform(WM_GETDLGCODE) & DLGC_WANTCHARS);
    g.SetOptions(g.Options() + TGridOptions{goEditing});
    EXPECT_TRUE(g.Perform(WM_GETDLGCODE) & DLGC_WANTCHARS);
    g.SetOptions(g.Options() - TGridOptions{goEditing});
    g.Navigation().SetAutoGotoWhenSorted(true);
    EXPECT_TRUE(g.Perform(WM_GETDLGCODE) & DLGC_WANTARROWS);

    auto* checker = new TExStringGridCheck(nullptr);
    g.SetCellChecker(checker);
    delete checker;
    EXPECT_EQ(g.CellChecker(), nullptr);

    auto other = std::make_unique<TExStringGrid>(nullptr);
    g.SyncGrid().SetGrid(other.get());
    other.reset();
    EXPECT_EQ(g.SyncGrid().Grid(), nullptr);
}

TEST(ExGridRange, FreedImagesAndPicturesAreForgottenAndNotPaintedFrom) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    auto* images = new TImageList(16, 16);
    auto* pictures = new TPictureContainer(nullptr);
    g->SetGridImages(images);
    g->SetPictureContainer(pictures);
    g->AddImageIdx(1, 1, 0, haLeft, vaTop);
    g->SetCells(2, 1, u"<B>bold</B> <IMG SRC=\"pic\">");
    form.Show();
    delete images;
    delete pictures;
    EXPECT_EQ(g->GridImages(), nullptr);
    EXPECT_EQ(g->PictureContainer(), nullptr);
    TBitmap shot;
    RenderControlToBitmap(g, shot);  // paints without them

    // Another list set in between lets the first one go.
    TImageList first(16, 16), second(16, 16);
    g->SetGridImages(&first);
    g->SetGridImages(&second);
    EXPECT_EQ(g->GridImages(), &second);
    g->SetGridImages(nullptr);
}

// A grid whose drag-over handling the test drives as the drag protocol does.
struct DragGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::DragDrop;
    using TExStringGrid::DragOver;
};

TTimer* ScrollTimer(TComponent& owner) {
    for (int i = 0; i < owner.ComponentCount(); ++i)
        if (auto* t = dynamic_cast<TTimer*>(owner.Components(i))) return t;
    return nullptr;
}

struct DragScroll : ::testing::Test {
    TForm form{nullptr};
    DragGrid* g = new DragGrid(&form);
    std::vector<std::string> log;

    DragScroll() {
        form.SetBounds(0, 0, 500, 400);
        g->SetParent(&form);
        g->SetBounds(0, 0, 300, 200);
        g->SetRowCount(50);
        g->SetTopRow(10);
        g->DragScrollOptions().Active = true;
        g->DragScrollOptions().Delays = {300, 40};
    }
    void Over(int X, int Y, TDragState State = dsDragMove) {
        bool accept = false;
        g->DragOver(nullptr, X, Y, State, accept);
    }
};

TEST_F(DragScroll, AMouseRestingNearTheTopScrollsAfterTheFirstDelayThenAtTheRepeatDelay) {
    Over(100, 10, dsDragEnter);
    TTimer* t = ScrollTimer(form);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 300u);
    EXPECT_EQ(g->TopRow(), 10);
    t->Tick();
    EXPECT_EQ(g->TopRow(), 9);
    EXPECT_EQ(t->Interval(), 40u);
    // Moving on within the margin does not start the wait again.
    Over(120, 12);
    EXPECT_EQ(t->Interval(), 40u);
    t->Tick();
    EXPECT_EQ(g->TopRow(), 8);

    // A handler may refuse a tick or change its direction.
    bool refuse = true;
    g->OnDragScroll = [&](TObject*, int top, int left, TDragScrollDirection& dir, bool& can) {
        log.push_back(std::to_string(top) + "," + std::to_string(left));
        if (refuse) can = false;
        else dir = {dsdDown};
    };
    t->Tick();
    EXPECT_EQ(g->TopRow(), 8);
    refuse = false;
    t->Tick();
    EXPECT_EQ(g->TopRow(), 9);
    EXPECT_EQ(log, (std::vector<std::string>{"8,1", "8,1"}));

    // Leaving the grid stops it.
    Over(100, 10, dsDragLeave);
    EXPECT_EQ(ScrollTimer(form), nullptr);
}

TEST_F(DragScroll, TheMiddleTheDropAndSwitchingOffStopIt) {
    Over(290, 100, dsDragEnter);  // right margin
    ASSERT_NE(ScrollTimer(form), nullptr);
    EXPECT_TRUE(g->DragScrollDirection().Contains(dsdRight));
    Over(150, 100);
    EXPECT_EQ(ScrollTimer(form), nullptr);
    Over(100, 195);
    ASSERT_NE(ScrollTimer(form), nullptr);
    EXPECT_TRUE(g->DragScrollDirection().Contains(dsdDown));
    g->DragDrop(nullptr, 100, 195);
    EXPECT_EQ(ScrollTimer(form), nullptr);
    Over(100, 10);
    ASSERT_NE(ScrollTimer(form), nullptr);
    g->DragScrollOptions().Active = false;
    ScrollTimer(form)->Tick();
    ASSERT_NE(ScrollTimer(form), nullptr);
    EXPECT_FALSE(ScrollTimer(form)->Enabled());
    EXPECT_EQ(g->TopRow(), 10);
    Over(100, 10);
    EXPECT_EQ(ScrollTimer(form), nullptr);
}

TEST_F(DragScroll, TheTimerRunsOnItsOwn) {
    g->DragScrollOptions().Delays = {150, 20};
    const Cardinal start = GetTickCount();
    Over(100, 10, dsDragEnter);
    Cardinal first = 0;
    while (g->TopRow() > 8 && GetTickCount() - start < 5000) {
        Application->ProcessMessages();
        if (!first && g->TopRow() < 10) first = GetTickCount() - start;
    }
    EXPECT_EQ(g->TopRow(), 8);
    // Coarse timers may fire a little early, but not at the repeat pace.
    EXPECT_GE(first, 120u);
}

}  // namespace

namespace {

TEST(ExGridRange, CopyingAGridTakesItsDragScrollingSyncAndFilterListSettings) {
    TExStringGrid a(nullptr), b(nullptr), peer(nullptr);
    a.DragScrollOptions().Active = true;
    a.DragScrollOptions().Delays.RepeatDelay = 99;
    a.DragScrollOptions().Margins.LeftMargin = 7;
    a.SyncGrid().SetGrid(&peer);
    a.SyncGrid().SetMoveColumn(true);
    a.FilterDropDown().SetWidth(222);
    b.Assign(&a);
    EXPECT_TRUE(b.DragScrollOptions().Active);
    EXPECT_EQ(b.DragScrollOptions().Delays.RepeatDelay, 99);
    EXPECT_EQ(b.DragScrollOptions().Margins.LeftMargin, 7);
    EXPECT_EQ(b.SyncGrid().Grid(), &peer);
    EXPECT_TRUE(b.SyncGrid().MoveColumn());
    EXPECT_EQ(b.FilterDropDown().Width(), 222);
}

}  // namespace
