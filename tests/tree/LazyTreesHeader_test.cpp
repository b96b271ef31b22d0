// The column model and the header: positions and left edges, width rules,
// the equal-parts resize, springs, the header's limits, and a tree painted
// and hit-tested with columns.

#include "tree/LazyTrees.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "tree/LazyTrees.Utils.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

struct ColumnTree {
    // Make: the tree of a descendant class (nil: a plain string tree).
    explicit ColumnTree(int Columns = 3, int ClientWidth = 300,
                        const std::function<TLazyStringTree*(TComponent*)>& Make = nullptr) {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, ClientWidth + 100, 300);
        tree = Make ? Make(&form) : new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(TBaseLazyTree::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetBounds(0, 0, ClientWidth, 200);
        tree->SetColor(clWhite);
        tree->OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType, String& Text) {
            Text = S("Cell") + String(1, u'0' + Node->Index) + String(1, u'0' + char16_t(Column + 1));
        };
        for (int I = 0; I < Columns; ++I) tree->Header().Columns().Add();
        form.Show();
    }
    ~ColumnTree() { SetThemeRenderer(trStyled); }
    TLazyTreeColumns& Columns() { return tree->Header().Columns(); }
    TLazyTreeColumn& Col(int I) { return *Columns()[I]; }
    std::vector<int> Widths() {
        std::vector<int> Result;
        for (int I = 0; I < Columns().Count(); ++I) Result.push_back(Col(I).Width());
        return Result;
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

}  // namespace

TEST(LazyTreesColumns, PositionsLeftEdgesAndVisibleNavigation) {
    ColumnTree f(0);
    TLazyTreeColumn* First = f.Columns().Add();
    EXPECT_EQ(First->Index(), 0);
    EXPECT_EQ(First->Position(), 0u);
    EXPECT_EQ(First->Width(), 50);
    EXPECT_EQ(First->Left(), 0);
    EXPECT_EQ(f.tree->Header().GetMainColumn(), 0);
    f.Columns().Add();
    f.Columns().Add();
    EXPECT_EQ(f.Col(1).Position(), 1u);
    EXPECT_EQ(f.Col(1).Left(), 50);
    f.Col(1).SetOptions(f.Col(1).Options() - TLTColumnOptions{coVisible});
    EXPECT_EQ(f.Col(2).Left(), 50);
    EXPECT_EQ(f.Columns().TotalWidth(), 100);
    EXPECT_EQ(f.Columns().GetNextVisibleColumn(0), 2);
    EXPECT_EQ(f.Columns().GetPreviousVisibleColumn(2), 0);
    EXPECT_EQ(f.Columns().GetNextVisibleColumn(2), InvalidColumn);
    EXPECT_EQ(f.Columns().GetLastVisibleColumn(), 2);
    EXPECT_EQ(f.Columns().ColumnFromPosition(TPoint{75, 5}), 2);
    EXPECT_EQ(f.Columns().ColumnFromPosition(TPoint{100, 5}), InvalidColumn);
    EXPECT_EQ(f.Columns().ColumnFromPosition(TPoint{-1, 5}), InvalidColumn);
    EXPECT_EQ(f.Columns().ColumnFromPosition(7), -1);
    EXPECT_EQ(f.tree->RangeX(), 100);
    // Moving the last column to the front renumbers the positions and edges.
    f.Col(2).SetPosition(0);
    EXPECT_EQ(f.Columns().PositionToIndex(), (std::vector<TColumnIndex>{2, 0, 1}));
    EXPECT_EQ(f.Col(0).Left(), 50);
    EXPECT_EQ(f.Col(0).Position(), 1u);
    f.Col(2).SetPosition(99);  // beyond the end: the last position
    EXPECT_EQ(f.Col(2).Position(), 2u);
}

TEST(LazyTreesColumns, WidthRulesAndScrollStep) {
    ColumnTree f(2);
    TLazyTreeColumn& C = f.Col(0);
    C.SetWidth(5);
    EXPECT_EQ(C.Width(), 10);
    EXPECT_EQ(C.LastWidth(), 50);
    C.SetMinWidth(60);
    EXPECT_EQ(C.Width(), 60);
    C.SetMaxWidth(20);  // below the minimum: the minimum
    EXPECT_EQ(C.MaxWidth(), 60);
    C.SetMinWidth(-5);
    EXPECT_EQ(C.MinWidth(), 0);
    C.SetMaxWidth(10000);
    C.SetWidth(50);
    f.Col(1).SetWidth(51);
    EXPECT_EQ(f.Columns().GetScrollWidth(), 50);  // 50.5 rounds to even
    f.Col(1).SetWidth(53);
    EXPECT_EQ(f.Columns().GetScrollWidth(), 52);  // 51.5 rounds to even
    f.Col(0).SetOptions(f.Col(0).Options() + TLTColumnOptions{coFixed});
    EXPECT_EQ(f.Columns().GetScrollWidth(), 53);  // fixed columns do not scroll
    EXPECT_EQ(f.Columns().GetVisibleFixedWidth(), 50);
    // A column moved in front of a fixed one becomes fixed itself.
    f.Col(1).SetPosition(0);
    EXPECT_TRUE(f.Col(1).Options().Contains(coFixed));
}

TEST(LazyTreesColumns, DeletingColumnsKeepsMainSortAndFocusIndices) {
    struct Case {
        TColumnIndex Main, Sort, Deleted;
        TColumnIndex MainAfter, SortAfter;
    } Cases[] = {
        {0, 2, 0, 0, 1},  // the main column goes: the first remaining one is main
        {2, 0, 0, 1, -1},
        {1, 1, 2, 1, 1},
    };
    for (const Case& c : Cases) {
        ColumnTree f(3);
        TLTHeader& H = f.tree->Header();
        H.SetMainColumn(c.Main);
        H.SetSortColumn(c.Sort);
        f.Columns().Delete(c.Deleted);
        EXPECT_EQ(H.GetMainColumn(), c.MainAfter) << c.Deleted;
        EXPECT_EQ(H.SortColumn, c.SortAfter) << c.Deleted;
        EXPECT_EQ(f.Columns().PositionToIndex(), (std::vector<TColumnIndex>{0, 1}));
    }
    ColumnTree f(1);
    f.Columns().Delete(0);
    EXPECT_EQ(f.tree->Header().GetMainColumn(), -1);
    EXPECT_FALSE(f.tree->Header().UseColumns());
}

TEST(LazyTreesColumns, AutoSizeColumnTakesTheRest) {
    ColumnTree f(2, 300);
    TLTHeader& H = f.tree->Header();
    H.SetAutoSizeIndex(1);
    H.SetOptions(H.Options + THeaderOptions{hoAutoResize});
    EXPECT_EQ(f.Col(1).Width(), 250);
    f.Col(1).SetWidth(80);  // its own setter does not change it
    EXPECT_EQ(f.Col(1).Width(), 250);
    f.Col(0).SetWidth(100);
    EXPECT_EQ(f.Col(1).Width(), 200);
}

TEST(LazyTreesColumns, ResizeSharesEqualPartsAndRotatesTheOddPixels) {
    ColumnTree f(3);
    TLTHeader& H = f.tree->Header();
    EXPECT_EQ(H.ResizeColumns(10, 0, 2), 10);
    EXPECT_EQ(f.Widths(), (std::vector<int>{54, 53, 53}));
    EXPECT_EQ(H.ResizeColumns(10, 0, 2), 10);
    // The odd pixel went to a column that had none the last time.
    EXPECT_EQ(f.Widths()[0] + f.Widths()[1] + f.Widths()[2], 170);
    EXPECT_NE(f.Widths()[0], 58);
    for (int I = 0; I < 3; ++I) f.Col(I).SetWidth(10);  // at their minimum
    EXPECT_EQ(H.ResizeColumns(-30, 0, 2), 0);
    EXPECT_EQ(f.Widths(), (std::vector<int>{10, 10, 10}));
    // A column near its maximum takes only its room, the rest goes to the others.
    f.Col(0).SetMaxWidth(12);
    EXPECT_EQ(H.ResizeColumns(12, 0, 2), 12);
    EXPECT_EQ(f.Widths(), (std::vector<int>{12, 15, 15}));
    EXPECT_EQ(H.ResizeColumns(0, 0, 2), 0);
}

TEST(LazyTreesColumns, SpringColumnsFollowTheHeaderWidth) {
    ColumnTree f(3, 300);
    TLTHeader& H = f.tree->Header();
    for (int I : {0, 1}) f.Col(I).SetOptions(f.Col(I).Options() + TLTColumnOptions{coAutoSpring});
    H.SetOptions(H.Options + THeaderOptions{hoAutoSpring});
    f.tree->SetBounds(0, 0, 303, 200);
    EXPECT_EQ(f.Widths(), (std::vector<int>{51, 51, 50}));
    f.tree->SetBounds(0, 0, 304, 200);  // the kept halves make a pixel each
    EXPECT_EQ(f.Widths(), (std::vector<int>{52, 52, 50}));
}

TEST(LazyTreesHeader, HeightLimitsSortAndMainColumn) {
    ColumnTree f(3);
    TLTHeader& H = f.tree->Header();
    H.SetHeight(5);
    EXPECT_EQ(H.Height(), 10);
    H.SetHeight(19);
    H.SetDefaultHeight(25);  // the height was the old default: it follows
    EXPECT_EQ(H.Height(), 25);
    H.SetHeight(30);
    H.SetDefaultHeight(19);
    EXPECT_EQ(H.Height(), 30);
    H.SetSortColumn(7);
    EXPECT_EQ(H.SortColumn, 2);
    H.SetSortColumn(-5);
    EXPECT_EQ(H.SortColumn, -1);
    H.SetMainColumn(9);
    EXPECT_EQ(H.GetMainColumn(), 2);
    EXPECT_TRUE(H.AllowFocus(1));
    f.Col(1).SetOptions(f.Col(1).Options() - TLTColumnOptions{coAllowFocus});
    EXPECT_FALSE(H.AllowFocus(1));
    EXPECT_FALSE(H.AllowFocus(5));
}

TEST(LazyTreesHeader, PercentOfTheWholeHeightLimitsTheBand) {
    ColumnTree f(1);
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoVisible});
    f.tree->SetBounds(0, 0, 300, 100);  // header 19 and client 81
    EXPECT_EQ(f.tree->ClientHeight(), 81);
    H.FixedAreaConstraints().SetMaxHeightPercent(20);
    H.SetHeight(50);
    EXPECT_EQ(H.Height(), 20);
    EXPECT_EQ(f.tree->ClientHeight(), 80);
    EXPECT_TRUE(H.InHeader(TPoint{10, -5}));
    EXPECT_FALSE(H.InHeader(TPoint{10, 5}));
    EXPECT_TRUE(H.InHeaderSplitterArea(TPoint{10, -2}));
    EXPECT_FALSE(H.InHeaderSplitterArea(TPoint{10, 3}));
    H.SetOptions(H.Options - THeaderOptions{hoVisible});
    EXPECT_EQ(f.tree->ClientHeight(), 100);
    EXPECT_FALSE(H.InHeaderSplitterArea(TPoint{10, -2}));
}

TEST(LazyTreesColumns, CellsPaintPerColumnAndFixedColumnsStayWhenScrolled) {
    ColumnTree f(3, 120);
    TLazyStringTree& t = *f.tree;
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toShowVertGridLines});
    f.Col(0).SetOptions(f.Col(0).Options() + TLTColumnOptions{coFixed});
    f.Col(1).SetColor(clYellow);
    t.SetRootNodeCount(3);
    EXPECT_EQ(t.RangeX(), 150);
    auto Render = [&] {
        auto B = std::make_unique<TBitmap>();
        RenderControlToBitmap(&t, *B);
        return B;
    };
    const TColor Grid = ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor));
    auto B = Render();
    EXPECT_EQ(B->Canvas().Pixels(49, 5), Grid);
    EXPECT_EQ(B->Canvas().Pixels(99, 5), Grid);
    EXPECT_EQ(B->Canvas().Pixels(98, 1), ColorToRGB(clYellow));
    // Scrolled sideways by 30: the fixed column stays, column 1 slides under it.
    t.SetOffsetXY(-30, 0);
    EXPECT_EQ(t.OffsetX(), -30);
    B = Render();
    EXPECT_EQ(B->Canvas().Pixels(49, 5), Grid);
    EXPECT_EQ(B->Canvas().Pixels(69, 5), Grid);
    EXPECT_EQ(B->Canvas().Pixels(51, 1), ColorToRGB(clYellow));
    // Hit tests name the column; the fixed one lies over the scrolled ones.
    PLazyNode Node = t.GetFirst();
    auto Hit = t.GetHitTestInfoAt(60, 5);
    EXPECT_EQ(Hit.HitColumn, 1);
    EXPECT_EQ(Hit.HitNode, Node);
    EXPECT_EQ(t.GetHitTestInfoAt(10, 5).HitColumn, 0);
    TRect R = t.GetDisplayRect(Node, 2, false);
    EXPECT_EQ(R.Left, 70);
    EXPECT_EQ(R.Right, 119) << "a cell ends one pixel inside its column";
    EXPECT_EQ(t.GetDisplayRect(Node, 0, false).Left, 0);
}

TEST(LazyTreesColumns, StringTreeAsksTheTextOfEachColumn) {
    ColumnTree f(2, 200);
    TLazyStringTree& t = *f.tree;
    std::vector<TColumnIndex> Asked;
    t.OnGetText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex Column, TLSTTextType Type, String& Text) {
        if (Type == ttNormal) Asked.push_back(Column);
        Text = u"X";
    };
    t.SetRootNodeCount(1);
    TBitmap B;
    Asked.clear();
    RenderControlToBitmap(&t, B);
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), 0), Asked.end());
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), 1), Asked.end());
    EXPECT_EQ(std::find(Asked.begin(), Asked.end(), -1), Asked.end());
}

TEST(LazyTreesColumns, TextsRunIntoEmptyNeighbourCellsWithSpanning) {
    ColumnTree f(4, 240);  // four columns of 50 from x 0
    TLazyStringTree& t = *f.tree;
    // Column 0 of row 0 holds a long text, columns 1 and 2 nothing, column 3 a short one.
    t.OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType, String& Text) {
        Text = Node->Index != 0 ? String(u"x") : Column == 0 ? String(u"WWWWWWWWWWWWWWWWWWWW") : Column == 3 ? String(u"z") : String();
    };
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() - TLTPaintOptions{toShowRoot, toShowTreeLines});
    t.SetRootNodeCount(2);
    auto Inked = [&](int From, int To) {
        TBitmap B;
        RenderControlToBitmap(&t, B);
        int Count = 0;
        for (int X = From; X < To; ++X)
            for (int Y = 2; Y < 16; ++Y) Count += B.Canvas().Pixels(X, Y) != ColorToRGB(clWhite);
        return Count;
    };
    EXPECT_EQ(Inked(52, 148), 0) << "without spanning the text stops at its own cell";
    EXPECT_EQ(t.GetHitTestInfoAt(120, 9).HitColumn, 2);
    t.TreeOptions().SetAutoOptions(t.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoSpanColumns});
    // The empty cells belong to the text running into them.
    EXPECT_EQ(t.GetHitTestInfoAt(120, 9).HitColumn, 0);
    EXPECT_TRUE(t.GetHitTestInfoAt(120, 9).HitPositions.Contains(TBaseLazyTree::hiOnItemLabel));
    EXPECT_EQ(t.GetHitTestInfoAt(170, 9).HitColumn, 3);
    EXPECT_EQ(t.GetHitTestInfoAt(120, 18 + 9).HitColumn, 2);
    EXPECT_GT(Inked(52, 98), 0) << "the text runs on into the first empty cell";
    EXPECT_GT(Inked(102, 148), 0) << "and the second";
    // The widened cell's colour covers the cells it reaches over; column 3 keeps its own.
    f.Col(1).SetColor(clYellow);
    f.Col(3).SetColor(clAqua);
    TBitmap B;
    RenderControlToBitmap(&t, B);
    EXPECT_NE(B.Canvas().Pixels(60, 1), ColorToRGB(clYellow));
    EXPECT_EQ(B.Canvas().Pixels(190, 1), ColorToRGB(clAqua));
    EXPECT_EQ(B.Canvas().Pixels(60, 18 + 1), ColorToRGB(clYellow)) << "a row with texts everywhere spans nothing";
}

TEST(LazyTreesHeader, BandShowsFacesCaptionsSortArrowAndOwnerDrawnCells) {
    ColumnTree f(3, 150);
    TLazyStringTree& t = *f.tree;
    TLTHeader& H = t.Header();
    const char16_t* Captions[] = {u"Name", u"Value", u"Unit"};
    for (int I = 0; I < 3; ++I) f.Col(I).SetText(Captions[I]);
    H.SetOptions(H.Options + THeaderOptions{hoVisible, hoOwnerDraw});
    H.SetSortColumn(1);
    f.Col(2).SetStyle(TLazyTreeColumn::vsOwnerDraw);
    std::vector<TColumnIndex> OwnerDrawn;
    t.OnHeaderDraw = [&](TLTHeader*, TCanvas* C, TLazyTreeColumn* Column, TRect R, bool, bool,
                         TBaseLazyTree::TLTDropMarkMode) {
        OwnerDrawn.push_back(Column->Index());
        C->Brush().SetColor(clRed);
        C->FillRect(R);
    };
    t.SetRootNodeCount(1);
    auto Render = [&] {
        auto B = std::make_unique<TBitmap>();
        RenderControlToBitmap(&t, *B);
        return B;
    };
    auto B = Render();
    TCanvas& C = B->Canvas();
    const int HeaderHeight = H.Height();
    EXPECT_EQ(t.ClientHeight(), 200 - HeaderHeight);
    // Raised faces: light top-left, dark right border of each cell.
    EXPECT_NE(C.Pixels(10, 0), C.Pixels(10, HeaderHeight / 2));
    EXPECT_NE(C.Pixels(49, HeaderHeight / 2), ColorToRGB(H.Background()));
    // Captions are inked in the text colour somewhere in the first cell.
    auto Ink = [&](int Left, int Right, TColor Color) {
        for (int X = Left; X < Right; ++X)
            for (int Y = 2; Y < HeaderHeight - 2; ++Y)
                if (C.Pixels(X, Y) == Color) return true;
        return false;
    };
    EXPECT_TRUE(Ink(4, 45, ColorToRGB(H.Font().Color())));
    // The owner draws its column alone.
    EXPECT_EQ(OwnerDrawn, (std::vector<TColumnIndex>{2}));
    EXPECT_EQ(C.Pixels(125, HeaderHeight / 2), ColorToRGB(clRed));
    // Only the sort column shows the arrow, a utility picture, at its right end: the classic one of
    // the direction (3 ascending, 2 descending), the themed one (5, 4) under a theme.
    TImageList& Utilities = *UtilityImageList();
    auto ArrowAt = [&](int Index, int Left, int Right) {
        return FindListPicture(B->Canvas(), Utilities, Index, Left, 0, Right, HeaderHeight).X;
    };
    EXPECT_EQ(ArrowAt(3, 50, 100), 50 + 50 - 2 - 4 - 16);
    EXPECT_EQ(ArrowAt(3, 0, 50), -1);
    EXPECT_EQ(ArrowAt(2, 50, 100), -1);
    H.SetSortDirection(sdDescending);
    B = Render();
    EXPECT_EQ(ArrowAt(2, 50, 100), 50 + 50 - 2 - 4 - 16);
    EXPECT_EQ(ArrowAt(3, 50, 100), -1);
    SetThemeRenderer(trStyled);
    B = Render();
    EXPECT_EQ(ArrowAt(4, 50, 100), 50 + 50 - 2 - 4 - 16);
    H.SetSortDirection(sdAscending);
    B = Render();
    EXPECT_EQ(ArrowAt(5, 50, 100), 50 + 50 - 2 - 4 - 16);
    EXPECT_EQ(ArrowAt(3, 50, 100), -1);
    // The explorer look draws the theme's own arrow instead.
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toUseExplorerTheme});
    B = Render();
    EXPECT_EQ(ArrowAt(5, 50, 100), -1);
}

namespace {

// Three 50-pixel columns under a visible header; its band lies at client y -19 to -1.
struct HeaderMouse : ColumnTree {
    HeaderMouse() : ColumnTree(3, 250) {
        TLTHeader& H = tree->Header();
        H.SetOptions(H.Options + THeaderOptions{hoVisible});
        tree->SetRootNodeCount(3);
        tree->SetFocus();
        tree->OnAfterColumnWidthTracking = [this](TLTHeader*, TColumnIndex Column) {
            log += "tracked " + std::to_string(Column) + ";";
        };
        tree->OnHeaderClick = [this](TLTHeader*, TBaseLazyTree::TLTHeaderHitInfo& Hit) {
            log += "click " + std::to_string(Hit.Column) + (Hit.HitPosition.Contains(TBaseLazyTree::hhiOnColumn) ? " on;" : ";");
        };
    }
    std::string log;
};

}  // namespace

TEST(LazyTreesHeaderMouse, BorderZonesStartWidthTracking) {
    struct Case {
        int X;
        bool Tracks;
    } Cases[] = {{48, true}, {54, true}, {47, false}, {55, false}, {98, true}, {25, false}};
    for (const Case& c : Cases) {
        HeaderMouse f;
        SimulateMouseDown(f.tree, mbLeft, c.X, -8);
        EXPECT_EQ(f.tree->Header().States.Contains(hsColumnWidthTrackPending), c.Tracks) << c.X;
        SimulateMouseUp(f.tree, mbLeft, c.X, -8);
        EXPECT_TRUE(f.tree->Header().States.Empty());
    }
}

TEST(LazyTreesHeaderMouse, DraggingABorderResizesAndEscapeKeepsTheWidth) {
    HeaderMouse f;
    SimulateMouseDown(f.tree, mbLeft, 50, -8);
    SimulateMouseMove(f.tree, 60, -8, {ssLeft});
    EXPECT_TRUE(f.tree->Header().States.Contains(hsColumnWidthTracking));
    SimulateMouseMove(f.tree, 80, 30, {ssLeft});  // the mouse may leave the band
    EXPECT_EQ(f.Col(0).Width(), 80);
    EXPECT_EQ(f.Col(1).Left(), 80);
    SimulateMouseUp(f.tree, mbLeft, 80, 30);
    EXPECT_EQ(f.log, "tracked 0;");
    EXPECT_EQ(f.Col(0).Width(), 80);
    f.log.clear();
    SimulateMouseDown(f.tree, mbLeft, 130, -8);  // the border of column 1, now at 130
    SimulateMouseMove(f.tree, 100, -8, {ssLeft});
    SimulateKey(VK_ESCAPE);
    EXPECT_TRUE(f.tree->Header().States.Empty());
    EXPECT_EQ(f.log, "tracked 1;");
    EXPECT_EQ(f.Col(1).Width(), 20);
    SimulateMouseMove(f.tree, 120, -8);
    EXPECT_EQ(f.Col(1).Width(), 20);  // no longer tracking
}

TEST(LazyTreesHeaderMouse, ClicksReportTheColumnAndSortWithTheOption) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    SimulateClick(f.tree, 75, -8);
    EXPECT_EQ(f.log, "click 1 on;");
    EXPECT_EQ(H.SortColumn, -1);
    // In the rows, a press and release in the same column is a column click.
    f.tree->OnColumnClick = [&](TBaseLazyTree*, TColumnIndex Column, TShiftState) {
        f.log += "column " + std::to_string(Column) + ";";
    };
    SimulateClick(f.tree, 75, 5);
    SimulateMouseDown(f.tree, mbLeft, 75, 5);
    SimulateMouseUp(f.tree, mbLeft, 125, 5);  // released in another column: none
    EXPECT_EQ(f.log, "click 1 on;column 1;");
    f.log.clear();
    H.SetOptions(H.Options + THeaderOptions{hoHeaderClickAutoSort});
    std::vector<TColumnIndex> Sorted;
    f.tree->OnCompareNodes = [&](TBaseLazyTree*, PLazyNode A, PLazyNode B, TColumnIndex Column, int& Result) {
        Sorted.push_back(Column);
        Result = int(A->Index) - int(B->Index);
    };
    SimulateClick(f.tree, 75, -8);
    EXPECT_EQ(H.SortColumn, 1);
    EXPECT_EQ(H.SortDirection, sdAscending);
    EXPECT_FALSE(Sorted.empty());
    SimulateClick(f.tree, 75, -8);
    EXPECT_EQ(H.SortDirection, sdDescending);
    // A column that may not be clicked is not pressed, and its release clicks nothing.
    f.Col(2).SetOptions(f.Col(2).Options() - TLTColumnOptions{coAllowClick});
    f.log.clear();
    SimulateClick(f.tree, 125, -8);
    EXPECT_EQ(f.log, "");
    EXPECT_EQ(H.SortColumn, 1);
}

TEST(LazyTreesColumns, SidewaysPagesSkipTheFixedColumnsAndTheWheelStepsByTheScrollWidth) {
    ColumnTree f(5, 120);
    TLazyStringTree& t = *f.tree;
    f.Col(0).SetOptions(f.Col(0).Options() + TLTColumnOptions{coFixed});
    t.SetRootNodeCount(30);
    EXPECT_EQ(t.RangeX(), 250);
    t.Perform(WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(t.OffsetX(), -(120 - 50));
    t.SetOffsetXY(0, 0);
    SimulateWheel(&t, 60, 20, -40, {ssShift});  // a third of a notch: one line of 50 pixels
    EXPECT_EQ(t.OffsetX(), -50);
    SimulateWheel(&t, 60, 20, 120, {ssShift, ssCtrl});  // a page back
    EXPECT_EQ(t.OffsetX(), 0);
}

TEST(LazyTreesColumns, ReadSettingsApplyWhenLoadingEnds) {
    ColumnTree f(0);
    TLazyStringTree& t = *f.tree;
    TLTHeader& H = t.Header();
    t.BeginLoading();
    for (int I = 0; I < 3; ++I) t.Header().Columns().Add();
    const Cardinal Stored[] = {2, 0, 1};
    for (int I = 0; I < 3; ++I) f.Col(I).SetPosition(Stored[I]);
    H.SetMainColumn(7);
    H.SetSortColumn(9);
    EXPECT_EQ(H.MainColumn, 7);  // stored as read
    t.EndLoading();
    EXPECT_EQ(H.GetMainColumn(), 2);
    EXPECT_EQ(H.SortColumn, 2);
    EXPECT_EQ(f.Columns().PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(f.Col(1).Left(), 0);
    EXPECT_EQ(f.Col(2).Left(), 50);
    EXPECT_EQ(f.Col(0).Left(), 100);
}

TEST(LazyTreesHeaderMouse, LowerEdgeSetsTheHeightAndADoubleClickResetsIt) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    SimulateMouseDown(f.tree, mbLeft, 30, 0);
    EXPECT_TRUE(H.States.Empty());  // only with the option
    SimulateMouseUp(f.tree, mbLeft, 30, 0);
    H.SetOptions(H.Options + THeaderOptions{hoHeightResize, hoHeightDblClickResize});
    SimulateMouseDown(f.tree, mbLeft, 30, -1);
    EXPECT_TRUE(H.States.Contains(hsHeightTrackPending));
    SimulateMouseMove(f.tree, 30, 10, {ssLeft});
    EXPECT_EQ(H.Height(), 19 + 10);
    EXPECT_EQ(f.tree->ClientHeight(), 200 - 29);
    SimulateMouseMove(f.tree, 30, -25, {ssLeft});  // the client's top moved down by 10 meanwhile
    EXPECT_EQ(H.Height(), 10);  // not below the minimum
    SimulateMouseUp(f.tree, mbLeft, 30, -25);
    EXPECT_TRUE(H.States.Empty());
    SimulateDblClick(f.tree, 30, 0);
    EXPECT_EQ(H.Height(), H.DefaultHeight());
}

TEST(LazyTreesHeaderMouse, HoverFollowsTheMouseUntilTheTimerFindsItGone) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoHotTrack});
    const Cardinal Before = f.tree->TimerStarts(3);
    SimulateMouseMove(f.tree, 75, -8);
    EXPECT_EQ(f.Columns().HoverIndex(), 1);
    EXPECT_EQ(f.tree->TimerStarts(3), Before + 1);
    f.tree->Perform(WM_TIMER, 3, 0);  // still over the header: the mark stays
    EXPECT_EQ(f.Columns().HoverIndex(), 1);
    SimulateMouseMove(f.tree, 125, -8);
    EXPECT_EQ(f.Columns().HoverIndex(), 2);
    SimulateMouseMove(f.tree, 20, 30);
    f.tree->Perform(WM_TIMER, 3, 0);
    EXPECT_EQ(f.Columns().HoverIndex(), -1);
}

TEST(LazyTreesHeaderMouse, DraggedColumnsDropBeforeOrAfterTheTarget) {
    struct Case {
        const char* What;
        int From;  // x of the press in the header
        int To;    // x of the release
        int DropY;
        std::vector<TColumnIndex> Order;
        const char* Log;
    };
    const Case Cases[] = {
        {"right half of the third", 25, 140, -8, {1, 2, 0}, "dragged 0 from 0;"},
        {"left half of the third", 25, 110, -8, {1, 0, 2}, "dragged 0 from 0;"},
        {"left half of the first", 125, 10, -8, {2, 0, 1}, "dragged 2 from 2;"},
        {"right half of the first", 125, 40, -8, {0, 2, 1}, "dragged 2 from 2;"},
        {"onto itself", 25, 40, -8, {0, 1, 2}, "out 0;"},
        {"outside the window", 25, 140, -300, {0, 1, 2}, "out 0;"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        HeaderMouse f;
        f.tree->OnHeaderClick = nullptr;
        f.tree->OnHeaderDragged = [&](TLTHeader*, TColumnIndex Column, int Old) {
            f.log += "dragged " + std::to_string(Column) + " from " + std::to_string(Old) + ";";
        };
        f.tree->OnHeaderDraggedOut = [&](TLTHeader*, TColumnIndex Column, TPoint) {
            f.log += "out " + std::to_string(Column) + ";";
        };
        SimulateMouseDown(f.tree, mbLeft, C.From, -8);
        SimulateMouseMove(f.tree, C.From + 3, -8, {ssLeft});
        EXPECT_FALSE(f.tree->Header().States.Contains(hsDragging)) << "within the drag threshold";
        SimulateMouseMove(f.tree, (C.From + C.To) / 2, -8, {ssLeft});
        EXPECT_TRUE(f.tree->Header().States.Contains(hsDragging));
        SimulateMouseMove(f.tree, C.To, C.DropY, {ssLeft});
        SimulateMouseUp(f.tree, mbLeft, C.To, C.DropY);
        EXPECT_EQ(f.Columns().PositionToIndex(), C.Order);
        EXPECT_EQ(f.log, C.Log);
        EXPECT_TRUE(f.tree->Header().States.Empty());
    }
}

TEST(LazyTreesHeaderMouse, ColumnDragShowsTheDropMarkAndEscapeCancels) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoOwnerDraw});
    std::map<TColumnIndex, TBaseLazyTree::TLTDropMarkMode> Marks;
    f.tree->OnHeaderDraw = [&](TLTHeader*, TCanvas*, TLazyTreeColumn* Column, const TRect&, bool, bool,
                               TBaseLazyTree::TLTDropMarkMode Mark) { Marks[Column->Index()] = Mark; };
    for (int I = 0; I < 3; ++I) f.Col(I).SetStyle(TLazyTreeColumn::vsOwnerDraw);
    auto PaintMarks = [&] {
        Marks.clear();
        TBitmap Band;
        Band.SetSize(250, H.Height());
        f.Columns().PaintHeader(Band.Canvas(), TRect{0, 0, 250, H.Height()}, TPoint{0, 0});
    };
    bool Allowed = false;
    f.tree->OnHeaderDragging = [&](TLTHeader*, TColumnIndex Column, bool& Allow) {
        EXPECT_EQ(Column, 0);
        Allow = Allowed;
    };
    SimulateMouseDown(f.tree, mbLeft, 25, -8);
    SimulateMouseMove(f.tree, 80, -8, {ssLeft});
    EXPECT_FALSE(H.States.Contains(hsDragging)) << "refused by OnHeaderDragging";
    SimulateMouseUp(f.tree, mbLeft, 80, -8);
    Allowed = true;
    SimulateMouseDown(f.tree, mbLeft, 25, -8);
    SimulateMouseMove(f.tree, 60, -8, {ssLeft});
    SimulateMouseMove(f.tree, 140, -8, {ssLeft});
    PaintMarks();
    EXPECT_EQ(Marks[2], TBaseLazyTree::dmmRight);
    EXPECT_EQ(Marks[1], TBaseLazyTree::dmmNone);
    SimulateMouseMove(f.tree, 55, -8, {ssLeft});
    PaintMarks();
    EXPECT_EQ(Marks[1], TBaseLazyTree::dmmLeft);
    EXPECT_EQ(Marks[2], TBaseLazyTree::dmmNone);
    SimulateKey(VK_ESCAPE);
    EXPECT_TRUE(H.States.Empty());
    PaintMarks();
    EXPECT_EQ(Marks[1], TBaseLazyTree::dmmNone);
    SimulateMouseUp(f.tree, mbLeft, 55, -8);
    EXPECT_EQ(f.Columns().PositionToIndex(), (std::vector<TColumnIndex>{0, 1, 2})) << "cancelled";
}

TEST(LazyTreesHeaderMouse, DropMarksAreTheUtilityPicturesAtTheCellEdge) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    TImageList& Utilities = *UtilityImageList();
    const int Y = (H.Height() - Utilities.Height()) / 2;
    TBitmap Band;
    auto Paint = [&] {
        Band.SetSize(250, H.Height());
        f.Columns().PaintHeader(Band.Canvas(), TRect{0, 0, 250, H.Height()}, TPoint{0, 0});
    };
    SimulateMouseDown(f.tree, mbLeft, 25, -8);
    SimulateMouseMove(f.tree, 60, -8, {ssLeft});
    SimulateMouseMove(f.tree, 140, -8, {ssLeft});
    Paint();
    // After the third column: the mark pointing right at its right edge, none at its left.
    EXPECT_TRUE(ShowsListPicture(Band.Canvas(), Utilities, 1, 150 - 16, Y));
    EXPECT_FALSE(ShowsListPicture(Band.Canvas(), Utilities, 0, 100, Y));
    SimulateMouseMove(f.tree, 55, -8, {ssLeft});
    Paint();
    EXPECT_TRUE(ShowsListPicture(Band.Canvas(), Utilities, 0, 50, Y));
    EXPECT_FALSE(ShowsListPicture(Band.Canvas(), Utilities, 1, 150 - 16, Y));
    SimulateKey(VK_ESCAPE);
    SimulateMouseUp(f.tree, mbLeft, 55, -8);
}

TEST(LazyTreesHeaderMouse, MouseEventsReportHeaderRelativePointsAndButtons) {
    HeaderMouse f;
    f.tree->OnHeaderClick = nullptr;
    auto Button = [](TMouseButton B) { return B == mbLeft ? "L" : B == mbRight ? "R" : "M"; };
    f.tree->OnHeaderMouseDown = [&](TLTHeader*, TMouseButton B, TShiftState, int X, int Y) {
        f.log += std::string("down ") + Button(B) + " " + std::to_string(X) + "," + std::to_string(Y) + ";";
    };
    f.tree->OnHeaderMouseUp = [&](TLTHeader*, TMouseButton B, TShiftState, int X, int Y) {
        f.log += std::string("up ") + Button(B) + " " + std::to_string(X) + "," + std::to_string(Y) + ";";
    };
    int Moves = 0;
    f.tree->OnHeaderMouseMove = [&](TLTHeader*, TShiftState, int, int) { ++Moves; };
    for (TMouseButton B : {mbLeft, mbRight, mbMiddle}) {
        SimulateMouseDown(f.tree, B, 75, -8);
        SimulateMouseUp(f.tree, B, 75, -8);
    }
    EXPECT_EQ(f.log, "down L 75,11;up L 75,11;down R 75,11;up R 75,11;down M 75,11;up M 75,11;");
    SimulateMouseMove(f.tree, 80, -8);
    EXPECT_GT(Moves, 0);
}

TEST(LazyTreesHeaderMouse, TrackingHooksMayRefuseOrBend) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoHeightResize});
    // A border the application keeps fixed is no border.
    f.tree->OnCanSplitterResizeColumn = [](TLTHeader*, TPoint, TColumnIndex Column, bool& Allowed) {
        Allowed = Column != 0;
    };
    SimulateMouseDown(f.tree, mbLeft, 50, -8);
    EXPECT_FALSE(H.States.Contains(hsColumnWidthTrackPending));
    SimulateMouseUp(f.tree, mbLeft, 50, -8);
    EXPECT_EQ(f.log, "click 1 on;") << "a press there is a click on the column";
    f.log.clear();
    // Column 1's border tracks, but only every other move is allowed.
    f.tree->OnBeforeColumnWidthTracking = [&](TLTHeader*, TColumnIndex Column, TShiftState) {
        f.log += "before " + std::to_string(Column) + ";";
    };
    bool Allow = false;
    f.tree->OnColumnWidthTracking = [&](TLTHeader*, TColumnIndex, TShiftState, TPoint&, TPoint, bool& Allowed) {
        Allowed = Allow;
    };
    SimulateMouseDown(f.tree, mbLeft, 100, -8);
    SimulateMouseMove(f.tree, 110, -8, {ssLeft});
    EXPECT_EQ(f.Col(1).Width(), 50) << "refused";
    Allow = true;
    SimulateMouseMove(f.tree, 120, -8, {ssLeft});
    EXPECT_EQ(f.Col(1).Width(), 70);
    SimulateMouseUp(f.tree, mbLeft, 120, -8);
    EXPECT_EQ(f.log, "before 1;tracked 1;");
    // The lower edge: the application may bend the point, and hears of the end.
    f.log.clear();
    f.tree->OnBeforeHeaderHeightTracking = [&](TLTHeader*, TShiftState) { f.log += "height;"; };
    f.tree->OnHeaderHeightTracking = [](TLTHeader*, TPoint& P, TShiftState, bool&) { P.Y /= 2; };
    f.tree->OnAfterHeaderHeightTracking = [&](TLTHeader*) { f.log += "height done;"; };
    SimulateMouseDown(f.tree, mbLeft, 30, -1);
    SimulateMouseMove(f.tree, 30, 10, {ssLeft});
    SimulateMouseUp(f.tree, mbLeft, 30, 10);
    EXPECT_EQ(H.Height(), 19 + 5);
    EXPECT_EQ(f.log, "height;height done;");
    f.tree->OnCanSplitterResizeHeader = [](TLTHeader*, TPoint, bool& Allowed) { Allowed = false; };
    SimulateMouseDown(f.tree, mbLeft, 30, 0);
    EXPECT_FALSE(H.States.Contains(hsHeightTrackPending));
    SimulateMouseUp(f.tree, mbLeft, 30, 0);
}

TEST(LazyTreesHeaderMouse, BorderDoubleClickFitsTheColumn) {
    HeaderMouse f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoDblClickResize});
    bool Allow = false;
    f.tree->OnColumnWidthDblClickResize = [&](TLTHeader*, TColumnIndex Column, TShiftState, TPoint, bool& Allowed) {
        EXPECT_EQ(Column, 0);
        Allowed = Allow;
    };
    SimulateDblClick(f.tree, 50, -8);
    EXPECT_EQ(f.Col(0).Width(), 50) << "refused";
    Allow = true;
    SimulateDblClick(f.tree, 50, -8);
    EXPECT_NE(f.Col(0).Width(), 50) << "fitted to \"Cell01\" and its margins";
}

TEST(LazyTreesHeaderMouse, RightClickShowsTheHeaderMenuOrTheOneTheTreeGives) {
    TScriptedDialogService Dialogs;
    HeaderMouse f;
    TPopupMenu Own(nullptr), Given(nullptr);
    Own.Items().Add(NewItem(nullptr, S("Own"), nullptr));
    Given.Items().Add(NewItem(nullptr, S("Given"), nullptr));
    std::string Asked;
    f.tree->OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TPoint, bool&, TPopupMenu*& Menu) {
        Asked += (Node ? "node " : "header ") + std::to_string(Column) + ";";
        Menu = &Given;
    };
    f.tree->Header().PopupMenu = &Own;
    Dialogs.AnswerMenu(S(""));
    SimulateMouseDown(f.tree, mbRight, 125, -8);
    SimulateMouseUp(f.tree, mbRight, 125, -8);
    f.tree->Header().PopupMenu = nullptr;
    SimulateMouseDown(f.tree, mbRight, 125, -8);
    SimulateMouseUp(f.tree, mbRight, 125, -8);
    EXPECT_EQ(Asked, "header 2;");
    ASSERT_EQ(Dialogs.Shown.size(), 2u);
    EXPECT_EQ(Own.PopupComponent, f.tree);
    EXPECT_EQ(Given.PopupComponent, f.tree);
    EXPECT_EQ(f.log, "click 2 on;click 2 on;");
}

TEST(LazyTreesHeader, AdvancedDrawingTakesOverTheElementsAsked) {
    ColumnTree f(3, 150);
    TLazyStringTree& t = *f.tree;
    TLTHeader& H = t.Header();
    for (int I = 0; I < 3; ++I) f.Col(I).SetText(u"WWW");
    H.SetOptions(H.Options + THeaderOptions{hoVisible, hoOwnerDraw});
    H.SetSortColumn(1);
    std::string Log;
    t.OnHeaderDrawQueryElements = [&](TLTHeader*, TBaseLazyTree::THeaderPaintInfo& Info,
                                      TBaseLazyTree::THeaderPaintElements& Elements) {
        if (!Info.Column) Elements = {TBaseLazyTree::hpeBackground};
        else if (Info.Column->Index() == 1) Elements = {TBaseLazyTree::hpeText, TBaseLazyTree::hpeSortGlyph};
    };
    t.OnAdvancedHeaderDraw = [&](TLTHeader*, TBaseLazyTree::THeaderPaintInfo& Info,
                                 TBaseLazyTree::THeaderPaintElements Elements) {
        Log += Info.Column ? "column " + std::to_string(Info.Column->Index()) : std::string("band");
        if (Elements.Contains(TBaseLazyTree::hpeBackground)) Log += " background";
        if (Elements.Contains(TBaseLazyTree::hpeText)) Log += " text";
        if (Elements.Contains(TBaseLazyTree::hpeSortGlyph)) Log += " sort";
        Log += Info.ShowSortGlyph ? " shown;" : ";";
        Info.TargetCanvas->Font().SetColor(clRed);  // put back after the call
    };
    // Owner drawing alone gives way to the advanced pair.
    f.Col(2).SetStyle(TLazyTreeColumn::vsOwnerDraw);
    t.OnHeaderDraw = [&](TLTHeader*, TCanvas*, TLazyTreeColumn*, TRect, bool, bool, TBaseLazyTree::TLTDropMarkMode) {
        Log += "owner;";
    };
    TBitmap Band;
    Band.SetSize(150, H.Height());
    f.Columns().PaintHeader(Band.Canvas(), TRect{0, 0, 150, H.Height()}, TPoint{0, 0});
    EXPECT_EQ(Log, "band background;column 1 text sort shown;");
    // The control drew no caption in column 1, and did in column 0.
    auto Inked = [&](int Left, int Right) {
        for (int Y = 3; Y < H.Height() - 3; ++Y)
            for (int X = Left + 4; X < Right - 4; ++X)
                if (Band.Canvas().Pixels(X, Y) == ColorToRGB(H.Font().Color())) return true;
        return false;
    };
    EXPECT_TRUE(Inked(0, 50));
    EXPECT_FALSE(Inked(50, 100));
}

namespace {

// Takes part in the header's events through the tree's hooks alone: no event is assigned.
class HookedHeaderTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    std::string Log;
    int Moves = 0;
    TColumnIndex Undraggable = 0;
    TCursor Offered = crNone;
    static std::string At(int X, int Y) { return std::to_string(X) + "," + std::to_string(Y); }
    void DoHeaderClick(TLTHeaderHitInfo& Hit) override { Log += "click " + std::to_string(Hit.Column) + ";"; }
    void DoHeaderDblClick(TLTHeaderHitInfo& Hit) override { Log += "double " + std::to_string(Hit.Column) + ";"; }
    void DoHeaderMouseDown(TMouseButton, TShiftState, int X, int Y) override { Log += "down " + At(X, Y) + ";"; }
    void DoHeaderMouseUp(TMouseButton, TShiftState, int X, int Y) override { Log += "up " + At(X, Y) + ";"; }
    void DoHeaderMouseMove(TShiftState, int, int) override { ++Moves; }
    bool DoHeaderDragging(TColumnIndex Column) override { return Column != Undraggable; }
    void DoHeaderDragged(TColumnIndex Column, int OldPosition) override {
        Log += "dragged " + std::to_string(Column) + " from " + std::to_string(OldPosition) + ";";
    }
    void DoHeaderDraggedOut(TColumnIndex Column, TPoint) override { Log += "out " + std::to_string(Column) + ";"; }
    void DoGetHeaderCursor(TCursor& Cursor) override {
        Offered = Cursor;
        Cursor = crHandPoint;
    }
    // Column 0's caption is left to the application, which draws nothing.
    void DoHeaderDrawQueryElements(THeaderPaintInfo& Info, THeaderPaintElements& Elements) override {
        TLazyStringTree::DoHeaderDrawQueryElements(Info, Elements);
        if (Info.Column && Info.Column->Index() == 0) Elements.Include(hpeText);
    }
    void DoAdvancedHeaderDraw(THeaderPaintInfo& Info, THeaderPaintElements Elements) override {
        Log += "draw " + std::to_string(Info.Column ? Info.Column->Index() : -1) +
               (Elements.Contains(hpeText) ? " text;" : ";");
    }
};

}  // namespace

TEST(LazyTreesHeaderMouse, DescendantsTakePartThroughTheHeaderHooksWithoutEvents) {
    ColumnTree f(3, 250, [](TComponent* Owner) { return new HookedHeaderTree(Owner); });
    auto& t = static_cast<HookedHeaderTree&>(*f.tree);
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible});
    t.SetRootNodeCount(3);
    t.SetFocus();
    SimulateClick(&t, 75, -8);
    EXPECT_EQ(t.Log, "down 75,11;click 1;up 75,11;") << "the release clicks, then tells of the button";
    SimulateMouseMove(&t, 80, -8);
    EXPECT_GT(t.Moves, 0);
    t.Log.clear();
    SimulateDblClick(&t, 125, -8);
    EXPECT_NE(t.Log.find("double 2;"), std::string::npos) << t.Log;

    // The hook refuses column 0's drag; column 2 goes before column 0, column 1 out of the window.
    struct Drag {
        int From, To, DropY;
        bool Drags;
        const char* Log;
    } Drags[] = {{25, 140, -8, false, "click -1;"}, {125, 10, -8, true, "dragged 2 from 2;"},
                 {125, 10, -300, true, "out 1;"}};
    for (const Drag& d : Drags) {
        t.Log.clear();
        SimulateMouseDown(&t, mbLeft, d.From, -8);
        SimulateMouseMove(&t, (d.From + d.To) / 2, -8, {ssLeft});
        EXPECT_EQ(t.Header().States.Contains(hsDragging), d.Drags) << d.From;
        SimulateMouseMove(&t, d.To, d.DropY, {ssLeft});
        SimulateMouseUp(&t, mbLeft, d.To, d.DropY);
        const std::string Got = t.Log.substr(t.Log.find(';') + 1);  // after the press
        EXPECT_EQ(Got.substr(0, std::string(d.Log).size()), d.Log) << t.Log;
    }
    EXPECT_EQ(f.Columns().PositionToIndex(), (std::vector<TColumnIndex>{2, 0, 1}));

    // Over a column border the hook is offered the split cursor.
    SimulateMouseMove(&t, f.Col(2).Left() + f.Col(2).Width(), -8);
    EXPECT_EQ(t.Offered, crHeaderSplit);

    // The drawing hooks take the caption of column 0 with the advanced events assigned; the
    // application's own events are not fired, as the hook keeps the drawing.
    bool EventFired = false;
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoOwnerDraw});
    t.OnHeaderDrawQueryElements = [](TLTHeader*, TBaseLazyTree::THeaderPaintInfo&, TBaseLazyTree::THeaderPaintElements&) {};
    t.OnAdvancedHeaderDraw = [&](TLTHeader*, TBaseLazyTree::THeaderPaintInfo&, TBaseLazyTree::THeaderPaintElements) {
        EventFired = true;
    };
    for (int I = 0; I < 3; ++I) f.Col(I).SetText(u"WWW");
    t.Log.clear();
    TBitmap Band;
    const int H = t.Header().Height();
    Band.SetSize(150, H);
    f.Columns().PaintHeader(Band.Canvas(), TRect{0, 0, 150, H}, TPoint{0, 0});
    EXPECT_EQ(t.Log, "draw 0 text;");
    EXPECT_FALSE(EventFired);
    auto Inked = [&](int Left, int Right) {
        for (int Y = 3; Y < H - 3; ++Y)
            for (int X = Left + 4; X < Right - 4; ++X)
                if (Band.Canvas().Pixels(X, Y) == ColorToRGB(t.Header().Font().Color())) return true;
        return false;
    };
    EXPECT_FALSE(Inked(f.Col(0).Left(), f.Col(0).Left() + 50)) << "column 0 shows no caption";
    EXPECT_TRUE(Inked(f.Col(2).Left(), f.Col(2).Left() + 50));
}

namespace {

// Three columns under a visible header that shows images: a picture in column
// 0, a check box in column 1 and a picture laid out right of a centred caption
// in column 2.
struct GlyphHeader : ColumnTree {
    GlyphHeader() : ColumnTree(3, 300) {
        AddSquare(images, clRed);
        AddSquare(images, clBlue);
        TLTHeader& H = tree->Header();
        H.SetImages(&images);
        H.SetHeight(24);
        H.SetOptions(H.Options + THeaderOptions{hoVisible, hoShowImages});
        const char16_t* Captions[] = {u"Meter", u"Read", u"Unit"};
        for (int I = 0; I < 3; ++I) {
            Col(I).SetText(Captions[I]);
            Col(I).SetWidth(100);
        }
        Col(0).SetImageIndex(0);
        Col(1).SetCheckBox(true);
        Col(1).SetCheckState(csCheckedNormal);
        Col(2).SetImageIndex(1);
        Col(2).SetLayout(TLazyTreeColumn::blGlyphRight);
        Col(2).SetAlignment(taCenter);
        H.SetSortColumn(1);
        tree->SetRootNodeCount(2);
        tree->OnHeaderClick = [this](TLTHeader*, TBaseLazyTree::TLTHeaderHitInfo& Hit) {
            log += std::to_string(Hit.Column);
            if (Hit.HitPosition.Contains(TBaseLazyTree::hhiOnIcon)) log += " icon";
            if (Hit.HitPosition.Contains(TBaseLazyTree::hhiOnCheckbox)) log += " box";
            log += ";";
        };
    }
    // The header band as rendered.
    std::unique_ptr<TBitmap> Band() {
        TBitmap Whole;
        RenderControlToBitmap(tree, Whole);
        auto Result = std::make_unique<TBitmap>();
        Result->SetSize(Whole.Width(), tree->Header().Height());
        Result->Canvas().CopyRect(TRect{0, 0, Result->Width(), Result->Height()}, Whole.Canvas(),
                                  TRect{0, 0, Result->Width(), Result->Height()});
        return Result;
    }
    TImageList images{16, 16};
    std::string log;
};

}  // namespace

TEST(LazyTreesHeader, ClassicHeaderWithGlyphsCheckBoxAndSortArrowMatchesItsPicture) {
    GlyphHeader f;
    ExpectReferencePicture(*f.Band(), "header_classic.png");
}

TEST(LazyTreesHeader, CellLayoutPlacesGlyphCaptionAndSortArrow) {
    // A 100-pixel cell: the client is 96 x 20 at (2, 2); margin 4, spacing 3; the
    // pictures are 16 wide, the check box 13, the sort arrow (a utility picture) 16.
    struct Case {
        const char* What;
        TAlignment Alignment;
        TLazyTreeColumn::TLTHeaderColumnLayout Layout;
        bool CheckBox, Sort;
        int GlyphX, TextLeft, SortX;  // -1: not asked
    };
    const Case Cases[] = {
        // The glyph moves 2 pixels left of the margin; the caption follows it and the spacing.
        {"left, glyph left", taLeftJustify, TLazyTreeColumn::blGlyphLeft, false, false, 2 + 4 - 2, 2 + 4 + 16 + 3, -1},
        {"left, check box", taLeftJustify, TLazyTreeColumn::blGlyphLeft, true, false, 2 + 4 - 2, 2 + 4 + 13 + 3, -1},
        // The arrow keeps to the right margin when the caption is short.
        {"right, glyph left, sorted", taRightJustify, TLazyTreeColumn::blGlyphLeft, false, true, -1, -1,
         2 + 96 - 4 - 16},
        {"left, glyph right", taLeftJustify, TLazyTreeColumn::blGlyphRight, false, false, -1, 2 + 4, -1},
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.What);
        GlyphHeader f;
        f.tree->Header().SetMainColumn(1);
        TLazyTreeColumn& Col = f.Col(0);
        Col.SetAlignment(c.Alignment);
        Col.SetLayout(c.Layout);
        Col.SetCheckBox(c.CheckBox);
        TCanvas& Canvas = f.tree->Canvas();
        Canvas.SetFont(f.tree->Header().Font());
        const unsigned Format = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER |
                                (c.Alignment == taRightJustify ? DT_RIGHT : DT_LEFT);
        TRect Text;
        TSize SortSize;
        TPoint SortPos, GlyphPos;
        Col.LayOutHeaderCell(Canvas, TRect{2, 2, 98, 22}, Format, Text, SortSize, SortPos, GlyphPos, c.Sort, true);
        const int TextWidth = Canvas.TextWidth(Col.GetText()) + 2;
        if (c.GlyphX >= 0) EXPECT_EQ(GlyphPos.X, c.GlyphX);
        if (c.TextLeft >= 0) EXPECT_EQ(Text.Left, c.TextLeft);
        if (c.SortX >= 0) EXPECT_EQ(SortPos.X, c.SortX);
        if (c.Layout == TLazyTreeColumn::blGlyphRight) EXPECT_EQ(GlyphPos.X, Text.Left + TextWidth + 3 - 2);
        if (c.Sort) {
            // Packed from the right: caption, spacing, arrow.
            EXPECT_EQ(Text.Right, SortPos.X - 3);
            EXPECT_EQ(GlyphPos.X, Text.Left - 3 - 16 - 2);
        }
        EXPECT_EQ(Col.CaptionText(), Col.GetText());
    }
    // A caption too long for its cell stops before the sort arrow.
    GlyphHeader f;
    TLazyTreeColumn& Col = f.Col(0);
    Col.SetText(S("A caption much too long for a cell of this width"));
    Col.SetImageIndex(-1);
    TRect Text;
    TSize SortSize;
    TPoint SortPos, GlyphPos;
    Col.LayOutHeaderCell(f.tree->Canvas(), TRect{2, 2, 98, 22}, DT_LEFT, Text, SortSize, SortPos, GlyphPos, true,
                         false);
    EXPECT_EQ(SortPos.X, 2 + 96 - 4 - 16);
    EXPECT_EQ(Text.Left, 2 + 4);
    EXPECT_EQ(Text.Right, SortPos.X - 3);
    // A wrapped caption is laid out once, until the text changes.
    Col.SetOptions(Col.Options() + TLTColumnOptions{coWrapCaption});
    Col.LayOutHeaderCell(f.tree->Canvas(), TRect{0, 0, 96, 60}, DT_LEFT, Text, SortSize, SortPos, GlyphPos, false,
                         false);
    EXPECT_NE(Col.CaptionText().find(u'\n'), String::npos);
    EXPECT_GT(Text.Bottom - Text.Top, f.tree->Canvas().TextHeight(S("A")));
    Col.SetText(S("Short"));
    EXPECT_EQ(Col.CaptionText(), S(""));
    Col.SetOptions(Col.Options() - TLTColumnOptions{coWrapCaption});
    // Glyph on top: the picture and the caption share the height with the spacing between them.
    Col.SetImageIndex(0);
    Col.SetLayout(TLazyTreeColumn::blGlyphTop);
    Col.SetText(S("Top"));
    Col.LayOutHeaderCell(f.tree->Canvas(), TRect{0, 0, 96, 60}, DT_CENTER, Text, SortSize, SortPos, GlyphPos, false,
                         true);
    EXPECT_EQ(Text.Top, GlyphPos.Y + 16 + 3);
    EXPECT_EQ(GlyphPos.X, (96 - 16) / 2);  // the main column's picture keeps its place
    f.tree->Header().SetMainColumn(1);
    Col.LayOutHeaderCell(f.tree->Canvas(), TRect{0, 0, 96, 60}, DT_CENTER, Text, SortSize, SortPos, GlyphPos, false,
                         true);
    EXPECT_EQ(GlyphPos.X, (96 - 16) / 2 - 2);
}

TEST(LazyTreesHeaderMouse, ClicksOnTheCheckBoxToggleItWithoutSorting) {
    GlyphHeader f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoHeaderClickAutoSort});
    H.SetSortColumn(-1);
    f.Band();  // lays the glyphs out
    // The check box of column 1 lies at x 100 + 2 + 4 - 2 = 104, 13 pixels square, centred in the band.
    const int BoxX = 104 + 6, BoxY = -H.Height() + 12;
    struct Step {
        TMouseButton Button;
        int X;
        const char* Log;
        TCheckState State;
        TColumnIndex SortColumn;
    } Steps[] = {
        {mbLeft, BoxX, "1 icon box;", csUncheckedNormal, -1},
        {mbLeft, BoxX, "1 icon box;", csCheckedNormal, -1},
        {mbRight, BoxX, "1 icon box;", csCheckedNormal, -1},  // reported, not toggled
        {mbLeft, 170, "1;", csCheckedNormal, 1},             // the caption sorts
        {mbLeft, 10, "0 icon;", csCheckedNormal, 0},          // a picture is only an icon
    };
    TScriptedDialogService Dialogs;
    for (const Step& s : Steps) {
        f.log.clear();
        f.Band();
        SimulateMouseDown(f.tree, s.Button, s.X, BoxY);
        SimulateMouseUp(f.tree, s.Button, s.X, BoxY);
        EXPECT_EQ(f.log, s.Log) << s.X;
        EXPECT_EQ(f.Col(1).CheckState(), s.State) << s.X;
        EXPECT_EQ(H.SortColumn, s.SortColumn) << s.X;
    }
    // Scrolled sideways, the box is hit where it is painted.
    f.Col(2).SetWidth(200);
    f.tree->SetOffsetXY(-50, 0);
    ASSERT_EQ(f.tree->OffsetX(), -50);
    f.Band();
    SimulateClick(f.tree, BoxX - 50, BoxY);
    EXPECT_EQ(f.Col(1).CheckState(), csUncheckedNormal);
    f.tree->SetOffsetXY(0, 0);
    // Radio buttons stay checked.
    f.Col(1).SetCheckType(ctRadioButton);
    f.Col(1).SetCheckState(csUncheckedNormal);
    for (int I = 0; I < 2; ++I) {
        f.Band();
        SimulateClick(f.tree, BoxX, BoxY);
        EXPECT_EQ(f.Col(1).CheckState(), csCheckedNormal);
    }
}

TEST(LazyTreesHeader, PressedCheckBoxKeepsTheFaceAndFreedImagesAreLetGo) {
    GlyphHeader f;
    auto Before = f.Band();
    const int BoxY = -f.tree->Header().Height() + 12;
    SimulateMouseDown(f.tree, mbLeft, 110, BoxY);
    auto Pressed = f.Band();
    // The face of column 1 does not sink while its check box is pressed.
    auto SameCell = [&](TBitmap& A, TBitmap& B) {
        for (int Y = 0; Y < A.Height(); ++Y)
            for (int X = 100; X < 200; ++X)
                if (A.Canvas().Pixels(X, Y) != B.Canvas().Pixels(X, Y)) return false;
        return true;
    };
    EXPECT_TRUE(SameCell(*Pressed, *Before));
    SimulateMouseUp(f.tree, mbLeft, 110, BoxY);
    SimulateMouseDown(f.tree, mbLeft, 170, BoxY);
    auto Sunk = f.Band();
    EXPECT_FALSE(SameCell(*Sunk, *Before));
    SimulateMouseUp(f.tree, mbLeft, 170, BoxY);
    {
        auto Owned = std::make_unique<TImageList>(16, 16);
        AddSquare(*Owned, clGreen);
        f.tree->Header().SetImages(Owned.get());
    }
    EXPECT_EQ(f.tree->Header().Images(), nullptr);
    f.Band();  // paints without the freed list
}

TEST(LazyTreesGeometry, TextRectanglesFollowTheAlignmentAndTheClipping) {
    ColumnTree f(3, 400);
    TLazyStringTree& t = *f.tree;
    t.OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLSTTextType, String& Text) { Text = u"Meter"; };
    for (int I = 0; I < 3; ++I) f.Col(I).SetWidth(120);
    f.Col(1).SetAlignment(taRightJustify);
    f.Col(2).SetAlignment(taCenter);
    t.SetRootNodeCount(1);
    PLazyNode N = t.GetFirst();
    const int M = t.Margin();
    const TRect Text0 = t.GetDisplayRect(N, 0, true);
    const int W = Text0.Right - Text0.Left;
    ASSERT_GT(W, 0);
    EXPECT_EQ(t.GetDisplayRect(N, 1, false), (TRect{120, 0, 239, int(N->NodeHeight)})) << "one pixel inside the column";
    struct Case {
        TColumnIndex Column;
        int Width;
        bool Unclipped;
        int Left, Right;
    } Cases[] = {
        {0, 120, false, Text0.Left, Text0.Left + W},
        {0, 120, true, Text0.Left, Text0.Left + W - 1},  // unclipped one pixel narrower
        {1, 120, false, 239 - W, 239},
        {1, 120, true, 239 - W, 239},
        {2, 120, false, (240 + M + 359 - W) / 2, (240 + M + 359 - W) / 2 + W},
        {2, 120, true, (240 + M + 359 - W) / 2, (240 + M + 359 - W) / 2 + W},
        // Too narrow: clipped keeps the cell, unclipped starts at the reading edge whatever the alignment.
        {1, 10, false, 120 + M, 129},
        {1, 10, true, 120 + M, 120 + M + W - 1},
    };
    for (const Case& c : Cases) {
        f.Col(1).SetWidth(c.Width);
        const TRect R = t.GetDisplayRect(N, c.Column, true, c.Unclipped);
        EXPECT_EQ(R.Left, c.Left) << c.Column << " " << c.Width << " " << c.Unclipped;
        EXPECT_EQ(R.Right, c.Right) << c.Column << " " << c.Width << " " << c.Unclipped;
        EXPECT_EQ(R.Top, 0);
    }
    f.Col(1).SetWidth(120);
    // The owner's content margins move the text only when asked for.
    t.OnBeforeCellPaint = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, TBaseLazyTree::TLTCellPaintMode Mode,
                             const TRect&, TRect& Content) {
        if (Mode == TBaseLazyTree::cpmGetContentMargin) Content = TRect{Content.Left + 2, Content.Top + 6, Content.Right, Content.Bottom - 6};
    };
    EXPECT_EQ(t.GetDisplayRect(N, 0, true), Text0);
    const TRect Inner = t.GetDisplayRect(N, 0, true, false, true);
    EXPECT_EQ(Inner, (TRect{Text0.Left + 2, 6, Text0.Right + 2, int(N->NodeHeight) - 6}));
    // Unclipped, a rectangle lower than the text grows evenly round its middle.
    const TRect Grown = t.GetDisplayRect(N, 0, true, true, true);
    EXPECT_LT(Grown.Top, Inner.Top);
    EXPECT_EQ(Grown.Top + Grown.Bottom, Inner.Top + Inner.Bottom);
    EXPECT_EQ(Grown.Right, Inner.Left + W - 1);
}
