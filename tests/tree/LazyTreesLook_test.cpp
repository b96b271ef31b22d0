// The tree's looks under the two theme renderers, checked by rendered pixels:
// themed, explorer and shaded expand buttons, themed selection marks, images in
// columns beside the main one, and the bevel border.

#include "tree/LazyTrees.h"
#include "tree/LazyTrees.Utils.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Two top-level nodes with two children each, the first expanded; rows 18 high, no check boxes.
struct LookTree {
    explicit LookTree(TThemeRenderer Renderer, TLTPaintOptions Add = {}, TLTPaintOptions Remove = {}) {
        SetThemeRenderer(Renderer);
        form.SetBounds(50, 50, 300, 200);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 150);
        tree->SetColor(clWhite);
        tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() + Add - Remove);
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
            if (!Parent) States.Include(ivsHasChildren);
        };
        tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = S(T->GetNodeLevel(Node) == 0 ? "Bus" : "Meter") + String(1, u'0' + Node->Index);
        };
        tree->SetRootNodeCount(2);
        first = tree->GetFirst();
        tree->SetExpanded(first, true);
        form.Show();
    }
    ~LookTree() { SetThemeRenderer(trStyled); }
    // The client edge is 2 pixels wide under both renderers.
    TColor At(int X, int Y) {
        if (!rendered) {
            RenderControlToBitmap(tree, picture);
            rendered = true;
        }
        return picture.Canvas().Pixels(X + 2, Y + 2);
    }
    void Again() { rendered = false; }
    // The second top-level node selected and focused with full-row selection, and the paint options Add.
    void SelectSecondFullRow(TLTPaintOptions Add) {
        tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() + Add);
        tree->TreeOptions().SetSelectionOptions(tree->TreeOptions().SelectionOptions() +
                                                TLTSelectionOptions{toFullRowSelect});
        PLazyNode second = tree->GetNextSibling(first);
        tree->SetFocus();
        tree->SetFocusedNode(second);
        tree->AddToSelection(second);
    }
    // Whether the client at (X, Y) shows Want's pixels; with From, only the 9-pixel square at
    // (From, From) of Want.
    bool Shows(int X, int Y, TBitmap& Want, int From = -1) {
        const int Low = From < 0 ? 0 : From, High = From < 0 ? Want.Width() : From + 9;
        for (int Row = Low; Row < High; ++Row)
            for (int Col = Low; Col < High; ++Col)
                if (At(X + Col, Y + Row) != Want.Canvas().Pixels(Col, Row)) return false;
        return true;
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
    PLazyNode first;
    TBitmap picture;
    bool rendered = false;
};

// A theme part drawn over white, as the tree's white ground shows it.
std::unique_ptr<TBitmap> ThemePart(TLazyStringTree* Tree, int Part, int State, int Size = 9) {
    auto Picture = std::make_unique<TBitmap>(Size, Size);
    TBitmap& B = *Picture;
    B.Canvas().Brush().SetColor(clWhite);
    B.Canvas().FillRect(TRect{0, 0, Size, Size});
    HTHEME Theme = OpenThemeData(Tree, S("TREEVIEW"));
    EXPECT_NE(Theme, HTHEME(0));
    DrawThemeBackground(Theme, B.Canvas(), Part, State, TRect{0, 0, Size, Size});
    CloseThemeData(Theme);
    return Picture;
}

// The explorer item look of a theme state drawn over white: its border and its face.
std::pair<TColor, TColor> ItemLook(TLazyStringTree* Tree, int State) {
    TBitmap B(20, 10);
    B.Canvas().Brush().SetColor(clWhite);
    B.Canvas().FillRect(TRect{0, 0, 20, 10});
    HTHEME Theme = OpenThemeData(Tree, S("Explorer::TreeView"));
    DrawThemeBackground(Theme, B.Canvas(), TVP_TREEITEM, State, TRect{0, 0, 20, 10});
    CloseThemeData(Theme);
    return std::make_pair(B.Canvas().Pixels(0, 0), B.Canvas().Pixels(5, 5));
}

// A top-level row's 9-pixel button stands at x 5..13, y 4..12 of its row; the styled theme's
// 16-pixel glyph at x 2..17, y 1..16. The plain glyph is a 9-pixel box in its middle: the tree
// lines show around it.
constexpr int BX = 5, BY = 4, TX = 2, TY = 1, SecondRow = 3 * 18;

}  // namespace

TEST(LazyTreesLook, ButtonsFollowTheLookInUse) {
    {
        SCOPED_TRACE("classic renderer, shaded fill: the shaded pictures");
        LookTree f(trClassic);
        f.tree->SetButtonFillMode(TBaseLazyTree::fmShaded);
        TBitmap Minus, Plus;
        LoadBitmapResource(Minus, S("LT_XPBUTTONMINUS"));
        LoadBitmapResource(Plus, S("LT_XPBUTTONPLUS"));
        ASSERT_EQ(Minus.Width(), 9);
        EXPECT_NE(Minus.Canvas().Pixels(4, 2), Plus.Canvas().Pixels(4, 2));
        EXPECT_TRUE(f.Shows(BX, BY, Minus));
        EXPECT_TRUE(f.Shows(BX, SecondRow + BY, Plus));
        EXPECT_FALSE(f.tree->TreeStates().Contains(tsUseThemes));
    }
    {
        SCOPED_TRACE("styled renderer: the theme's glyphs, whatever the fill mode");
        LookTree f(trStyled);
        f.tree->SetButtonFillMode(TBaseLazyTree::fmShaded);
        ASSERT_TRUE(f.tree->TreeStates().Contains(tsUseThemes));
        EXPECT_FALSE(f.tree->TreeStates().Contains(tsUseExplorerTheme));
        EXPECT_EQ(f.tree->ButtonSize(), 16);
        auto Open = ThemePart(f.tree, TVP_GLYPH, GLPS_OPENED, 16);
        auto Closed = ThemePart(f.tree, TVP_GLYPH, GLPS_CLOSED, 16);
        EXPECT_TRUE(f.Shows(TX, TY, *Open, 3));
        EXPECT_TRUE(f.Shows(TX, SecondRow + TY, *Closed, 3));
        // The pointer over a button keeps its look: only the explorer look lights it up.
        SimulateMouseMove(f.tree, BX + 4, SecondRow + BY + 4);
        f.Again();
        EXPECT_TRUE(f.Shows(TX, SecondRow + TY, *Closed, 3));
    }
}

TEST(LazyTreesLook, ExplorerLookDrawsTrianglesWithoutConnectorsAndLightsTheHotOne) {
    LookTree f(trStyled, {toUseExplorerTheme});
    ASSERT_TRUE(f.tree->TreeStates().Contains(tsUseExplorerTheme));
    auto Open = ThemePart(f.tree, TVP_GLYPH, GLPS_OPENED, 16);
    auto Closed = ThemePart(f.tree, TVP_GLYPH, GLPS_CLOSED, 16);
    EXPECT_TRUE(f.Shows(TX, TY, *Open));
    EXPECT_TRUE(f.Shows(TX, SecondRow + TY, *Closed));
    // A node with children has no connector of its own: nothing left of the button at its middle.
    const TColor Back = ColorToRGB(clWhite);
    for (int X = 0; X < TX + 3; ++X) EXPECT_EQ(f.At(X, SecondRow + 8), Back) << X;
    // The button under the pointer is drawn hot.
    SimulateMouseMove(f.tree, TX + 8, SecondRow + TY + 8);
    f.Again();
    auto Hot = ThemePart(f.tree, TVP_HOTGLYPH, GLPS_CLOSED, 16);
    EXPECT_TRUE(f.Shows(TX, SecondRow + TY, *Hot));
    EXPECT_FALSE(f.Shows(TX, SecondRow + TY, *Closed));
    // Leaving the option leaves the look and the window's theme: the plain glyph again.
    f.tree->TreeOptions().SetPaintOptions(f.tree->TreeOptions().PaintOptions() - TLTPaintOptions{toUseExplorerTheme});
    EXPECT_FALSE(f.tree->TreeStates().Contains(tsUseExplorerTheme));
    SimulateMouseMove(f.tree, 150, 120);
    f.Again();
    auto Plain = ThemePart(f.tree, TVP_GLYPH, GLPS_CLOSED, 16);
    EXPECT_FALSE(f.Shows(TX, SecondRow + TY, *Closed));
    EXPECT_TRUE(f.Shows(TX, SecondRow + TY, *Plain, 3));
}

TEST(LazyTreesLook, ExplorerLookMarksSelectedAndHotNodesWithTheThemesItemStates) {
    LookTree f(trStyled, {toUseExplorerTheme, toHotTrack});
    TLazyStringTree& t = *f.tree;
    PLazyNode second = t.GetNextSibling(f.first);
    t.SetFocus();
    t.SetFocusedNode(second);
    t.AddToSelection(second);
    // The theme's item states over white: hot 2, selected 3 (and the focus of a selected node, 6).
    auto Item = [&](int State) { return ItemLook(&t, State); };
    const auto [SelectedBorder, SelectedFace] = Item(TREIS_SELECTED);
    const auto [HotBorder, HotFace] = Item(TREIS_HOT);
    ASSERT_NE(SelectedFace, HotFace);
    // Counts the pixels of a colour in a row's text area (from x 22, after the 18-pixel indent and the margin).
    auto Count = [&](int Row, TColor Color) {
        int N = 0;
        for (int Y = Row * 18; Y < Row * 18 + 18; ++Y)
            for (int X = 22; X < 70; ++X) N += f.At(X, Y) == Color;
        return N;
    };
    EXPECT_GT(Count(3, SelectedFace), 40);
    EXPECT_EQ(f.At(22, SecondRow), SelectedBorder) << "the theme's frame, not the classic selection colour";
    EXPECT_EQ(Count(3, ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor))), 0);
    EXPECT_EQ(Count(0, SelectedFace), 0);
    EXPECT_EQ(Count(0, HotFace), 0);
    // The pointer over the first node's text lights it up in the hot state.
    SimulateMouseMove(f.tree, 30, 9);
    ASSERT_EQ(t.HotNode(), f.first);
    f.Again();
    EXPECT_GT(Count(0, HotFace), 40);
    EXPECT_GT(Count(3, SelectedFace), 40);
    // The classic renderer has no explorer look: the selection colour again.
    SetThemeRenderer(trClassic);
    f.Again();
    EXPECT_FALSE(t.TreeStates().Contains(tsUseExplorerTheme));
    EXPECT_GT(Count(3, ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor))), 40);
}

TEST(LazyTreesLook, ColumnsBesideTheMainOneShowTheImagesTheyAskFor) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    TImageList Images{16, 16};
    for (TColor Color : {clRed, clGreen, clBlue}) AddSquare(Images, Color);
    for (int I = 0; I < 3; ++I) t.Header().Columns().Add()->SetWidth(60);
    t.SetImages(&Images);
    t.SetStateImages(&Images);
    // Column 1: the red picture, the green one as state picture on the first node; column 2: none.
    t.OnGetImageIndexEx = [&](TBaseLazyTree*, PLazyNode Node, TBaseLazyTree::TLTImageKind Kind, TColumnIndex Column,
                              bool&, int& Index, TImageList*&) {
        if (Column != 1) return;
        if (Kind == TBaseLazyTree::ikState && Node == f.first) {
            Index = 1;
        } else if (Kind == TBaseLazyTree::ikNormal || Kind == TBaseLazyTree::ikSelected) {
            Index = 0;
        }
    };
    PLazyNode second = t.GetNextSibling(f.first);
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toFullRowSelect});
    t.SetFocus();
    t.SetFocusedNode(second);
    t.AddToSelection(second);
    TCanvas& C = (f.At(0, 0), f.picture.Canvas());
    // Rows 18 high, centred 16-pixel pictures at y 1; the client starts 2 pixels in.
    auto PictureAt = [&](int Index, int Row, int Left, int Right) {
        const TPoint P = FindListPicture(C, Images, Index, Left + 2, Row * 18 + 2, Right + 2, Row * 18 + 20);
        return P.X < 0 ? P : TPoint{P.X - 2, P.Y - 2 - Row * 18};
    };
    // After the margin of 4, less 1: the state picture first, the normal one 2 pixels after it.
    EXPECT_EQ(PictureAt(1, 0, 60, 120), (TPoint{60 + 4 - 1, 1}));
    EXPECT_EQ(PictureAt(0, 0, 60, 120), (TPoint{60 + 4 - 1 + 16 + 2, 1}));
    EXPECT_EQ(PictureAt(0, 1, 60, 120), (TPoint{60 + 4 - 1, 1}));
    EXPECT_EQ(PictureAt(1, 1, 60, 120).X, -1);
    // The selected full row still shows its picture, drawn over the selection.
    EXPECT_EQ(PictureAt(0, 3, 60, 120), (TPoint{60 + 4 - 1, 1}));
    EXPECT_EQ(f.At(100, 3 * 18 + 8), ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor)));
    // Neither the main column nor column 2 asked for any.
    for (int Index : {0, 1}) {
        EXPECT_EQ(PictureAt(Index, 0, 0, 60).X, -1);
        EXPECT_EQ(PictureAt(Index, 0, 120, 180).X, -1);
    }
    // The text of column 1 begins after its pictures: nothing inked between the picture and x 60 + 3 + 16 + 2;
    // column 2's after the margin. The display rectangle's text part agrees.
    const TColor Back = ColorToRGB(clWhite);
    for (int X = 60 + 4 - 1 + 16; X < 60 + 4 + 16 + 2; ++X)
        for (int Y = 18 + 2; Y < 18 + 16; ++Y) EXPECT_EQ(f.At(X, Y), Back) << X << "," << Y;
    for (int X = 120; X < 120 + 4; ++X)
        for (int Y = 18 + 2; Y < 18 + 16; ++Y) EXPECT_EQ(f.At(X, Y), Back) << X << "," << Y;
    EXPECT_EQ(t.GetDisplayRect(f.first, 1, true).Left, 60 + 4 + 16 + 2 + 16 + 2);
    EXPECT_EQ(t.GetDisplayRect(t.GetFirstChild(f.first), 1, true).Left, 60 + 4 + 16 + 2);
    EXPECT_EQ(t.GetDisplayRect(f.first, 2, true).Left, 120 + 4);
}

TEST(LazyTreesLook, BevelAndBorderWidthFrameTheClientInsideTheEdge) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    t.ScrollBarOptions().SetScrollBars(ssNone);
    t.Colors().SetColor(TLTColors::BorderColor, clYellow);
    EXPECT_EQ(t.ClientWidth(), 200 - 4) << "inside the sunken client edge";
    // Outside in: the client edge (2), the bevel's two cuts (1 each), the yellow band (3).
    t.SetBevelKind(bkTile);
    t.SetBevelInner(bvRaised);
    t.SetBevelOuter(bvLowered);
    t.SetBorderWidth(3);
    EXPECT_EQ(t.ClientWidth(), 200 - 2 * (2 + 2 + 3));
    EXPECT_EQ(t.ClientHeight(), 150 - 2 * (2 + 2 + 3));
    TBitmap B;
    RenderControlToBitmap(&t, B);
    TCanvas& C = B.Canvas();
    const int Y = 60;
    EXPECT_EQ(C.Pixels(2, Y), ColorToRGB(clBtnShadow)) << "the lowered outer cut";
    EXPECT_EQ(C.Pixels(3, Y), ColorToRGB(clBtnHighlight)) << "the raised inner cut";
    EXPECT_EQ(C.Pixels(200 - 3, Y), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(C.Pixels(200 - 4, Y), ColorToRGB(clBtnShadow));
    for (int X : {4, 5, 6, 200 - 5, 200 - 7}) EXPECT_EQ(C.Pixels(X, Y), ColorToRGB(clYellow)) << X;
    for (int Row : {4, 6, 150 - 5}) EXPECT_EQ(C.Pixels(100, Row), ColorToRGB(clYellow)) << Row;
    EXPECT_EQ(C.Pixels(7, 150 - 8), ColorToRGB(clWhite)) << "the client's first pixel";
    // The header band stands inside the bevel and the band too.
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible});
    EXPECT_EQ(t.HeaderRect().Left, 7);
    EXPECT_EQ(t.HeaderRect().Top, 7);
    // Only the edges asked for: without the left one the band starts right after the client edge.
    t.SetBevelEdges({beTop, beRight, beBottom});
    EXPECT_EQ(t.ClientWidth(), 200 - 2 * (2 + 3) - 2);
    RenderControlToBitmap(&t, B);
    EXPECT_EQ(B.Canvas().Pixels(2, Y), ColorToRGB(clYellow));
    EXPECT_EQ(B.Canvas().Pixels(4, Y), ColorToRGB(clYellow));
    EXPECT_EQ(B.Canvas().Pixels(5, Y), ColorToRGB(clWhite));
    // Without a bevel and a band nothing is drawn in the frame beyond the edge.
    t.SetBevelKind(bkNone);
    t.SetBorderWidth(0);
    EXPECT_EQ(t.ClientWidth(), 200 - 4);
}

TEST(LazyTreesLook, FullRowSelectionLeavesButtonCheckBoxAndPictureOfTheMainColumnVisible) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    TImageList Images{16, 16};
    AddSquare(Images, clRed);
    t.SetImages(&Images);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
    t.OnGetImageIndexEx = [](TBaseLazyTree*, PLazyNode, TBaseLazyTree::TLTImageKind Kind, TColumnIndex, bool&,
                             int& Index, TImageList*&) {
        if (Kind == TBaseLazyTree::ikNormal || Kind == TBaseLazyTree::ikSelected) Index = 0;
    };
    PLazyNode second = t.GetNextSibling(f.first);
    second->CheckType = ctCheckBox;
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toFullRowSelect});
    t.SetFocus();
    t.SetFocusedNode(second);
    t.AddToSelection(second);
    const TColor Selection = ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor));
    // The row is selected from its left edge on ...
    EXPECT_EQ(f.At(1, SecondRow + 1), Selection);
    // ... and its plus button (frame in the line colour, the strokes in the font colour) stands on it,
    EXPECT_EQ(f.At(BX, SecondRow + BY), ColorToRGB(t.Colors().GetColor(TLTColors::TreeLineColor)));
    EXPECT_EQ(f.At(BX + 4, SecondRow + BY + 2), ColorToRGB(t.Colors().NodeFontColor()));
    // with the check box after the indent and margin (x 21, 13 wide) and the picture after it.
    int Boxed = 0;
    for (int X = 21; X < 34; ++X) Boxed += f.At(X, SecondRow + 9) != Selection;
    EXPECT_GT(Boxed, 8);
    TCanvas& C = f.picture.Canvas();
    EXPECT_EQ(FindListPicture(C, Images, 0, 2, SecondRow + 2, 80, SecondRow + 20).X, 2 + 21 + 13 + 2);
}

TEST(LazyTreesLook, ThemedPushButtonCheckCarriesTheUtilityGlyph) {
    for (TThemeRenderer Renderer : {trStyled, trClassic}) {
        SCOPED_TRACE(Renderer == trStyled ? "styled" : "classic");
        LookTree f(Renderer);
        TLazyStringTree& t = *f.tree;
        t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        PLazyNode second = t.GetNextSibling(f.first);
        second->CheckType = ctButton;
        // The check picture stands after the indent and the margin, less 1, centred on the row; the
        // 16-pixel glyph reaches below the 13-pixel button.
        f.At(0, 0);
        const TPoint Found =
            FindListPicture(f.picture.Canvas(), *UtilityImageList(), 4, 2, SecondRow + 2, 80, SecondRow + 40);
        if (Renderer == trStyled) EXPECT_EQ(Found, (TPoint{2 + 18 + 4 - 1, SecondRow + 2 + 9 - 13 / 2}));
        else EXPECT_EQ(Found.X, -1) << "the classic push button is a picture of the check list";
    }
}

TEST(LazyTreesLook, VerticalGridLinesAreDottedAndStopAtTheWindowsEdge) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    t.ScrollBarOptions().SetScrollBars(ssNone);
    for (int I = 0; I < 3; ++I) t.Header().Columns().Add()->SetWidth(60);
    f.SelectSecondFullRow({toShowVertGridLines});
    const TColor Grid = ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor));
    const TColor Selection = ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor));
    const TColor Back = ColorToRGB(clWhite);
    // A checkerboard: ink where x + y is even, in the gaps the row's ground (the selection on a selected full row).
    for (int X : {59, 119, 179}) {
        SCOPED_TRACE(X);
        EXPECT_EQ(f.At(X, 1), Grid);
        EXPECT_EQ(f.At(X, 2), Back);
        EXPECT_EQ(f.At(X, SecondRow + 1), Grid);
        EXPECT_EQ(f.At(X, SecondRow + 2), Selection);
    }
    // Below the last row: the columns' colours; the lines run on only with full-length grid lines.
    t.Header().Columns()[1]->SetColor(clYellow);
    f.Again();
    EXPECT_EQ(f.At(90, 120), ColorToRGB(clYellow));
    EXPECT_EQ(f.At(59, 101), Back);
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toFullVertGridLines});
    f.Again();
    EXPECT_EQ(f.At(59, 101), Grid);
    EXPECT_EQ(f.At(59, 100), Back);
    EXPECT_EQ(f.At(119, 101), Grid);
    EXPECT_EQ(f.At(119, 100), Back) << "the gaps show the tree's ground";
    // A column that ends at the window's right edge gets none.
    ASSERT_EQ(t.ClientWidth(), 196);
    t.Header().Columns()[2]->SetWidth(76);
    f.Again();
    for (int Y : {1, 2}) EXPECT_NE(f.At(195, Y), Grid) << Y;
}

TEST(LazyTreesLook, HorizontalGridLinesAreDottedBelowTheSelectionAndStartAfterTheIndentWithBands) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    t.ScrollBarOptions().SetScrollBars(ssNone);
    f.SelectSecondFullRow({toShowHorzGridLines});
    const TColor Grid = ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor));
    const TColor Selection = ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor));
    const TColor Back = ColorToRGB(clWhite);
    // Each row's last pixel row, the whole width: ink where x + y is even, so the phase flips from
    // row to row of an odd height ... (rows 18 high: bottoms at 17, 35, 53, 71).
    for (int Bottom : {17, 35, 71}) {
        SCOPED_TRACE(Bottom);
        for (int X : {1, 101, 193}) {
            EXPECT_EQ(f.At(X, Bottom), Grid) << X;
            EXPECT_EQ(f.At(X + 1, Bottom), Back) << X + 1;
        }
    }
    // ... and the selected full row stops above it: the gaps show the tree's ground, not the selection.
    EXPECT_EQ(f.At(101, SecondRow + 16), Selection);
    EXPECT_EQ(f.At(101, SecondRow + 17), Grid);
    EXPECT_EQ(f.At(102, SecondRow + 17), Back);
    // A picture painted without grid lines shows none, and its rows keep their full height.
    TBitmap Plain;
    Plain.SetSize(196, 80);
    t.PaintTree(Plain.Canvas(), TRect{0, 0, 196, 80}, TPoint{0, 0}, {poDrawSelection});
    EXPECT_EQ(Plain.Canvas().Pixels(101, 17), Back);
    EXPECT_EQ(Plain.Canvas().Pixels(101, SecondRow + 17), Selection);
    t.PaintTree(Plain.Canvas(), TRect{0, 0, 196, 80}, TPoint{0, 0}, {poDrawSelection, poGridLines});
    EXPECT_EQ(Plain.Canvas().Pixels(101, 17), Grid);
    EXPECT_EQ(Plain.Canvas().Pixels(102, SecondRow + 17), Back);
    // With bands the main column's line starts after the node's indentation; the open bus draws only its level's left edge, so nothing else inks its last row
    // before that. Another column's line spans it whole.
    t.ClearSelection();
    for (int I = 0; I < 2; ++I) t.Header().Columns().Add()->SetWidth(90);
    t.SetLineMode(TBaseLazyTree::lmBands);
    f.Again();
    for (int X = 1; X < 18; X += 2) EXPECT_NE(f.At(X, 17), Grid) << X;
    EXPECT_EQ(f.At(19, 17), Grid);
    EXPECT_EQ(f.At(91, 17), Grid);
    EXPECT_EQ(f.At(92, 17), Back);
}

TEST(LazyTreesLook, HeaderBandSpansTheVerticalScrollBarInsideTheBorder) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(12);  // taller than the window: the vertical bar shows
    for (int I = 0; I < 2; ++I) t.Header().Columns().Add()->SetWidth(60);
    t.Header().SetHeight(20);
    t.Header().SetBackground(clYellow);
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible});
    const int Bar = GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_EQ(t.ClientWidth(), 200 - 4 - Bar);
    // Inside the 2-pixel client edge, as wide as the window there, over the bar's column too.
    EXPECT_EQ(t.HeaderRect(), (TRect{2, 2, 200 - 2, 2 + 20}));
    TBitmap B;
    RenderControlToBitmap(&t, B);
    TCanvas& C = B.Canvas();
    const int BarMiddle = 200 - 2 - Bar / 2;
    EXPECT_EQ(C.Pixels(BarMiddle, 2 + 10), ColorToRGB(clYellow)) << "the header's ground above the bar";
    EXPECT_EQ(C.Pixels(150, 2 + 10), ColorToRGB(clYellow)) << "and right of the last column";
    EXPECT_NE(C.Pixels(BarMiddle, 2 + 20 + 2), ColorToRGB(clYellow)) << "the bar starts below the band";
    // A plain border takes one pixel; a hidden header leaves a band of no height at the same place.
    t.SetCtl3D(false);
    EXPECT_EQ(t.HeaderRect(), (TRect{1, 1, 200 - 1, 1 + 20}));
    t.Header().SetOptions(t.Header().Options - THeaderOptions{hoVisible});
    EXPECT_EQ(t.HeaderRect(), (TRect{1, 1, 200 - 1, 1}));
    // A dialog frame inside the border adds its 3 pixels, to the band as to the client area.
    SetWindowLong(t.Handle(), GWL_STYLE, GetWindowLong(t.Handle(), GWL_STYLE) | WS_DLGFRAME);
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible});
    EXPECT_EQ(t.HeaderRect(), (TRect{4, 4, 200 - 4, 4 + 20}));
    EXPECT_EQ(t.ClientWidth(), 200 - 8 - Bar);
    EXPECT_EQ(t.ClientHeight(), 150 - 8 - 20);
    // A band of border wider than half the window leaves no band at all.
    t.SetBorderWidth(100);
    t.Header().SetHeight(21);
    EXPECT_EQ(t.HeaderRect(), TRect{});
}

TEST(LazyTreesLook, CheckPicturesOfSelectedNodesKeepTheirColours) {
    LookTree f(trClassic);
    TLazyStringTree& t = *f.tree;
    TImageList Checks{16, 16};
    for (int I = 0; I < 25; ++I) AddSquare(Checks, I == 9 ? clGreen : clBlue);
    // A blend would tint with the selection colour, or with this one where none is handed over.
    Checks.SetBlendColor(clRed);
    t.SetCustomCheckImages(&Checks);
    t.SetCheckImageKind(TBaseLazyTree::ckCustom);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
    PLazyNode second = t.GetNextSibling(f.first);
    second->CheckType = ctCheckBox;
    t.SetFocus();
    t.SetFocusedNode(second);
    t.AddToSelection(second);
    for (bool FullRow : {false, true}) {
        SCOPED_TRACE(FullRow ? "full row" : "text only");
        TLTSelectionOptions Options = t.TreeOptions().SelectionOptions() - TLTSelectionOptions{toFullRowSelect};
        if (FullRow) Options.Include(toFullRowSelect);
        t.TreeOptions().SetSelectionOptions(Options);
        f.Again();
        // After the 18-pixel indent and the margin of 4, less 1; centred on the 18-pixel row.
        EXPECT_EQ(FindListPicture((f.At(0, 0), f.picture.Canvas()), Checks, 9, 2, SecondRow + 2, 80, SecondRow + 20),
                  (TPoint{2 + 18 + 4 - 1, 2 + SecondRow + 1}));
    }
    EXPECT_EQ(f.At(18 + 4 - 1 + 8, SecondRow + 1 + 8), ColorToRGB(clGreen));
}

TEST(LazyTreesLook, ExplorerLookFramesTheFocusedNodeThatIsNotSelected) {
    LookTree f(trStyled, {toUseExplorerTheme});
    TLazyStringTree& t = *f.tree;
    ASSERT_TRUE(t.TreeStates().Contains(tsUseExplorerTheme));
    t.SetFocus();
    t.SetFocusedNode(f.first);
    t.ClearSelection();
    ASSERT_FALSE(t.GetSelected(f.first));
    // The items view's focus frame, drawn over white.
    TBitmap Want(30, 18);
    Want.Canvas().Brush().SetColor(clWhite);
    Want.Canvas().FillRect(TRect{0, 0, 30, 18});
    HTHEME Items = OpenThemeData(&t, S("Explorer::ItemsView"));
    DrawThemeBackground(Items, Want.Canvas(), LVP_FOCUS, 1, TRect{0, 0, 30, 18});
    CloseThemeData(Items);
    const TColor Frame = Want.Canvas().Pixels(0, 9);
    ASSERT_NE(Frame, ColorToRGB(clWhite));
    // Around the text part of the first row: from x 22 (the indent and the margin), the row's height.
    const int Right = t.GetDisplayRect(f.first, NoColumn, true).Right;
    EXPECT_EQ(f.At(22, 9), Frame);
    EXPECT_EQ(f.At(Right - 1, 9), Frame);
    EXPECT_EQ(f.At(30, 0), Frame);
    EXPECT_EQ(f.At(30, 17), Frame);
    EXPECT_EQ(f.At(21, 9), ColorToRGB(clWhite));
    // The frame moves with the focus.
    t.SetFocusedNode(t.GetFirstChild(f.first));
    f.Again();
    EXPECT_NE(f.At(22, 9), Frame);
    EXPECT_EQ(f.At(40, 18 + 9), Frame);
}

TEST(LazyTreesHot, ANodeIsHotOnlyOverItsCheckBoxOrTextOrTheExplorerButton) {
    // Row 0: the expanded first node; row 3: the collapsed second node with a check box.
    enum Look { Classic, Explorer };
    struct Case {
        const char* What;
        int X, Row;
        TBaseLazyTree::THitPosition On;
        bool Hot[2][2];  // [look][full row]
        bool ButtonLit;  // in the explorer look without a full row
    } Cases[] = {
        {"check box", 30, 3, TBaseLazyTree::hiOnItemCheckbox, {{true, true}, {true, true}}, false},
        {"text", 30, 0, TBaseLazyTree::hiOnItemLabel, {{true, true}, {true, true}}, false},
        {"right of the text", 150, 0, TBaseLazyTree::hiOnItemRight, {{false, true}, {false, true}}, false},
        {"the button itself", 10, 3, TBaseLazyTree::hiOnItemButtonExact, {{false, true}, {true, true}}, true},
        {"the button's step, off the button", 1, 3, TBaseLazyTree::hiOnItemButton, {{false, true}, {false, true}}, false},
        {"below the rows", 30, 7, TBaseLazyTree::hiNowhere, {{false, false}, {false, false}}, false},
    };
    for (Look L : {Classic, Explorer}) {
        LookTree f(trStyled, L == Explorer ? TLTPaintOptions{toUseExplorerTheme, toHotTrack} : TLTPaintOptions{toHotTrack});
        TLazyStringTree& t = *f.tree;
        ASSERT_EQ(t.TreeStates().Contains(tsUseExplorerTheme), L == Explorer);
        PLazyNode second = t.GetNextSibling(f.first);
        t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        second->CheckType = ctCheckBox;
        auto Closed = ThemePart(&t, TVP_GLYPH, GLPS_CLOSED, 16);
        auto HotGlyph = ThemePart(&t, TVP_HOTGLYPH, GLPS_CLOSED, 16);
        std::string Log;
        t.OnHotChange = [&](TBaseLazyTree*, PLazyNode Old, PLazyNode New) {
            Log += std::string(Old ? "n" : "-") + (New ? "n" : "-") + ";";
        };
        for (bool FullRow : {false, true}) {
            t.TreeOptions().SetSelectionOptions(FullRow ? TLTSelectionOptions{toFullRowSelect} : TLTSelectionOptions{});
            for (const Case& c : Cases) {
                SCOPED_TRACE(std::string(c.What) + (L == Explorer ? ", explorer" : ", classic look") +
                             (FullRow ? ", full row" : ""));
                const int Y = c.Row * 18 + 9;
                EXPECT_TRUE(t.GetHitTestInfoAt(c.X, Y).HitPositions.Contains(c.On));
                SimulateMouseMove(&t, 150, 140);
                ASSERT_EQ(t.HotNode(), nullptr);
                Log.clear();
                SimulateMouseMove(&t, c.X, Y);
                const bool Hot = c.Hot[L][FullRow];
                EXPECT_EQ(t.HotNode(), Hot ? t.GetNodeAt(c.X, Y) : nullptr);
                EXPECT_EQ(Log, Hot ? "-n;" : "");
                // (A full row lays the hot mark under the button: its pixels are looked at without.)
                if (L == Explorer && c.Row == 3 && !FullRow) {
                    f.Again();
                    EXPECT_EQ(f.Shows(TX, SecondRow + TY, *HotGlyph), c.ButtonLit);
                    EXPECT_EQ(f.Shows(TX, SecondRow + TY, *Closed), !c.ButtonLit);
                }
            }
        }
    }
}

TEST(LazyTreesHot, TheExplorerHotMarkStandsInTheHotColumn) {
    LookTree f(trStyled, {toUseExplorerTheme, toHotTrack});
    TLazyStringTree& t = *f.tree;
    for (int I = 0; I < 2; ++I) t.Header().Columns().Add()->SetWidth(90);
    const TColor HotFace = ItemLook(&t, TREIS_HOT).second;
    ASSERT_NE(HotFace, ColorToRGB(clWhite));
    // Hot-face pixels of the first row within [Left, Right).
    auto Count = [&](int Left, int Right) {
        int N = 0;
        for (int Y = 1; Y < 17; ++Y)
            for (int X = Left; X < Right; ++X) N += f.At(X, Y) == HotFace;
        return N;
    };
    std::string Log;
    t.OnHotChange = [&](TBaseLazyTree*, PLazyNode Old, PLazyNode New) {
        Log += std::string(Old ? "n" : "-") + (New ? "n" : "-") + ";";
    };
    struct Case {
        const char* What;
        int X;
        bool FullRow;
        TColumnIndex HotColumn;
        bool InMain, InSecond;
    } Cases[] = {
        {"text of the main column", 30, false, 0, true, false},
        {"text of the second column", 100, false, 1, false, true},
        {"right of the second column's text", 160, false, NoColumn, false, false},
        {"second column, full row", 160, true, 1, true, true},
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.What);
        t.TreeOptions().SetSelectionOptions(c.FullRow ? TLTSelectionOptions{toFullRowSelect} : TLTSelectionOptions{});
        SimulateMouseMove(&t, 150, 140);
        Log.clear();
        SimulateMouseMove(&t, c.X, 9);
        EXPECT_EQ(t.HotNode(), c.HotColumn == NoColumn ? nullptr : f.first);
        EXPECT_EQ(t.HotColumn(), c.HotColumn);
        f.Again();
        EXPECT_EQ(Count(22, 88) > 20, c.InMain);
        EXPECT_EQ(Count(92, 178) > 20, c.InSecond);
    }
    // Moving from one column's text to the other's changes the hot column of the same node: a notice.
    t.TreeOptions().SetSelectionOptions({});
    SimulateMouseMove(&t, 30, 9);
    Log.clear();
    SimulateMouseMove(&t, 100, 9);
    EXPECT_EQ(t.HotColumn(), 1);
    EXPECT_EQ(Log, "nn;");
}

TEST(LazyTreesLook, DottedLinesKeepTheirPhaseInTreeXWhenScrolledSideways) {
    LookTree f(trClassic, {toShowHorzGridLines});
    TLazyStringTree& t = *f.tree;
    t.ScrollBarOptions().SetScrollBars(ssNone);
    for (int I = 0; I < 3; ++I) t.Header().Columns().Add()->SetWidth(100);
    TLazyTreeColumn& Fixed = *t.Header().Columns()[0];
    Fixed.SetOptions(Fixed.Options() + TLTColumnOptions{coFixed});
    const TColor Grid = ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor));
    const TColor Back = ColorToRGB(clWhite);
    // The first row's bottom line (y 17): ink where tree x + 17 is even. A scrolling column's tree x is
    // its client x less the offset; a fixed column's is its client x.
    for (int Offset : {0, -1, -2, -3}) {
        SCOPED_TRACE(Offset);
        t.SetOffsetXY(Offset, 0);
        ASSERT_EQ(t.OffsetX(), Offset);
        f.Again();
        for (int X = 20; X < 90; ++X) EXPECT_EQ(f.At(X, 17), (X + 17) % 2 == 0 ? Grid : Back) << "fixed, x " << X;
        for (int X = 110; X < 190; ++X)
            EXPECT_EQ(f.At(X, 17), (X - Offset + 17) % 2 == 0 ? Grid : Back) << "scrolling, x " << X;
    }
}

TEST(LazyTreesHot, TheHotTextIsUnderlinedInTheHotColourOutsideTheExplorerLook) {
    struct Case {
        const char* What;
        bool Explorer;
        int X;  // pointer on the first row
        bool Marked;
    } Cases[] = {
        {"classic look, pointer on the text", false, 30, true},
        {"classic look, pointer right of the text", false, 150, false},
        {"explorer look, pointer on the text", true, 30, false},
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.What);
        LookTree f(trStyled, c.Explorer ? TLTPaintOptions{toUseExplorerTheme, toHotTrack} : TLTPaintOptions{toHotTrack});
        TLazyStringTree& t = *f.tree;
        t.Colors().SetColor(TLTColors::HotColor, clRed);
        SimulateMouseMove(&t, c.X, 9);
        EXPECT_EQ(t.HotNode() != nullptr, c.X == 30);
        // The text with its underline: a run of the hot colour on one pixel row below the letters.
        int Red = 0, LongestRun = 0;
        for (int Y = 0; Y < 18; ++Y) {
            int Run = 0;
            for (int X = 22; X < 80; ++X) {
                const bool IsRed = f.At(X, Y) == ColorToRGB(clRed);
                Red += IsRed;
                Run = IsRed ? Run + 1 : 0;
                LongestRun = std::max(LongestRun, Run);
            }
        }
        EXPECT_EQ(Red > 0, c.Marked);
        EXPECT_EQ(LongestRun >= 15, c.Marked) << LongestRun;
    }
}
