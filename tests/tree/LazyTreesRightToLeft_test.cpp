// A tree laid out right to left: rendered pictures compared with the mirror
// of the same tree left to right, hits at mirrored points, columns and the
// header hugging the window's right edge, and scrolling from the right end.

#include "tree/LazyTrees.h"
#include "tree/LazyTreesEdit.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TTree = TBaseLazyTree;

// Two top-level nodes, the first open with three children, the middle child open with one. Every
// node shows a picture of its level; the texts come from Caption (empty: the structure alone).
struct RtlTree {
    explicit RtlTree(bool Checks, String Caption = {}, int Width = 200, int Height = 140) : caption(Caption) {
        for (TColor Color : {clRed, clGreen, clBlue}) AddSquare(images, Color);
        tree = PlaceBareTree<TLazyStringTree>(form, Width, Height);
        tree->SetIndent(17);  // odd, so that a level's middle is its own mirror
        tree->SetLineStyle(TTree::lsSolid);
        tree->SetImages(&images);
        if (Checks)
            tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        tree->OnInitChildren = [](TTree* T, PLazyNode Node, Cardinal& Count) {
            Count = T->GetNodeLevel(Node) == 0 ? 3 : 1;
        };
        tree->OnInitNode = [Checks](TTree* T, PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& States) {
            if (Checks) Node->CheckType = ctCheckBox;
            if ((!Parent && Node->Index == 0) || (Parent && T->GetNodeLevel(Parent) == 0 && Node->Index == 1))
                States.Include(ivsHasChildren);
        };
        tree->OnGetText = [this](TTree*, PLazyNode, TColumnIndex, TLSTTextType, String& Text) { Text = caption; };
        tree->OnGetImageIndexEx = [](TTree* T, PLazyNode Node, TTree::TLTImageKind Kind, TColumnIndex, bool&,
                                     int& Index, TImageList*&) {
            if (Kind == TTree::ikNormal || Kind == TTree::ikSelected) Index = int(T->GetNodeLevel(Node));
        };
        tree->SetRootNodeCount(2);
        PLazyNode First = tree->GetFirst();
        tree->SetExpanded(First, true);
        tree->SetExpanded(tree->GetNextSibling(tree->GetFirstChild(First)), true);
        form.Show();
    }
    ~RtlTree() { SetThemeRenderer(trStyled); }
    PLazyNode Row(int Index) {
        PLazyNode Node = tree->GetFirst();
        while (Index-- > 0) Node = tree->GetNextVisible(Node);
        return Node;
    }
    TForm form{nullptr};
    TImageList images{16, 16};
    String caption;
    TLazyStringTree* tree;
};

// Whether every pixel of A that differs from the ground has its colour in B within one pixel
// sideways on the same row (B read mirrored when Mirror is set); the first miss, else "".
std::string MissingBeside(TBitmap& A, TBitmap& B, bool Mirror) {
    const TColor Ground = ColorToRGB(clWhite);
    const int W = A.Width();
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < W; ++X) {
            const TColor P = A.Canvas().Pixels(X, Y);
            if (P == Ground) continue;
            bool Found = false;
            for (int D = -1; D <= 1 && !Found; ++D) {
                const int Q = X + D;
                if (Q < 0 || Q >= W) continue;
                Found = B.Canvas().Pixels(Mirror ? W - 1 - Q : Q, Y) == P;
            }
            if (!Found) return "pixel " + std::to_string(X) + "," + std::to_string(Y);
        }
    return {};
}

TEST(LazyTreesRightToLeft, TheTreeRendersAsTheMirrorOfItsLeftToRightPicture) {
    // Lines, buttons, pictures and the grid line below each row, without texts and check marks
    // (which keep their reading direction).
    RtlTree f(false);
    f.tree->TreeOptions().SetPaintOptions(f.tree->TreeOptions().PaintOptions() + TLTPaintOptions{toShowHorzGridLines});
    TBitmap LeftToRight, RightToLeft;
    RenderControlToBitmap(f.tree, LeftToRight);
    f.tree->SetBiDiMode(bdRightToLeft);
    RenderControlToBitmap(f.tree, RightToLeft);
    ASSERT_EQ(RightToLeft.Width(), LeftToRight.Width());
    EXPECT_EQ(MissingBeside(RightToLeft, LeftToRight, true), "");
    EXPECT_EQ(MissingBeside(LeftToRight, RightToLeft, true), "");
    // Not a picture that mirrors onto itself: the button of the first row stands at the right.
    EXPECT_NE(FirstDifference(RightToLeft, LeftToRight), "");
    const int Mid = f.tree->GetDisplayRect(f.Row(0), NoColumn, false).Top + 9;
    bool RightHalf = false;
    for (int X = RightToLeft.Width() / 2; X < RightToLeft.Width(); ++X)
        RightHalf |= RightToLeft.Canvas().Pixels(X, Mid) != ColorToRGB(clWhite);
    EXPECT_TRUE(RightHalf);

    // Back to left to right, the picture is the first one again.
    f.tree->SetBiDiMode(bdLeftToRight);
    TBitmap Again;
    RenderControlToBitmap(f.tree, Again);
    EXPECT_EQ(FirstDifference(Again, LeftToRight), "");
}

TEST(LazyTreesRightToLeft, HitsAtMirroredPointsFindTheSameParts) {
    RtlTree f(true, S("Meter"));
    const int W = f.tree->ClientWidth();
    // The side beyond the caption is named by the screen: left of a right-to-left caption.
    struct Case {
        const char* What;
        int Row;
        TTree::THitPosition Part, Mirrored;
    };
    const Case Cases[] = {{"button of the open node", 0, TTree::hiOnItemButton, TTree::hiOnItemButton},
                          {"check box of a child", 1, TTree::hiOnItemCheckbox, TTree::hiOnItemCheckbox},
                          {"picture of a child", 2, TTree::hiOnNormalIcon, TTree::hiOnNormalIcon},
                          {"caption of the grandchild", 3, TTree::hiOnItemLabel, TTree::hiOnItemLabel},
                          {"indentation of the grandchild", 3, TTree::hiOnItemIndent, TTree::hiOnItemIndent},
                          {"beyond the caption", 4, TTree::hiOnItemRight, TTree::hiOnItemLeft}};
    // Left to right: the x of each part found on the row; then right to left at its mirror.
    std::vector<int> Xs;
    for (const Case& C : Cases) {
        PLazyNode Node = f.Row(C.Row);
        const TRect Row = f.tree->GetDisplayRect(Node, NoColumn, false);
        int Found = -1, Run = 0;
        // The middle of the run of x that shows the part: away from its borders.
        for (int X = 0; X < W; ++X) {
            const bool Here = f.tree->GetHitTestInfoAt(X, Row.Top + 9).HitPositions.Contains(C.Part);
            if (Here) ++Run;
            if ((!Here || X == W - 1) && Run > 0) {
                Found = (Here ? X : X - 1) - Run / 2;
                break;
            }
        }
        ASSERT_GE(Found, 0) << C.What;
        Xs.push_back(Found);
    }
    f.tree->SetBiDiMode(bdRightToLeft);
    for (std::size_t I = 0; I < std::size(Cases); ++I) {
        const Case& C = Cases[I];
        PLazyNode Node = f.Row(C.Row);
        const TTree::THitInfo Hit = f.tree->GetHitTestInfoAt(W - 1 - Xs[I], f.tree->GetDisplayRect(Node, NoColumn, false).Top + 9);
        EXPECT_EQ(Hit.HitNode, Node) << C.What;
        EXPECT_TRUE(Hit.HitPositions.Contains(C.Mirrored)) << C.What << " at " << W - 1 - Xs[I];
    }
    // A click on the mirrored button closes the node, as on the button left to right.
    PLazyNode First = f.Row(0);
    const int Top = f.tree->GetDisplayRect(First, NoColumn, false).Top;
    SimulateClick(f.tree, W - 1 - Xs[0], Top + 9);
    EXPECT_FALSE(f.tree->GetExpanded(First));
}

TEST(LazyTreesRightToLeft, TheTextStandsAtTheRightEndOfItsRow) {
    RtlTree f(false, S("Meter"));
    PLazyNode Node = f.Row(2);
    const TRect LeftToRight = f.tree->GetDisplayRect(Node, NoColumn, true);
    f.tree->SetBiDiMode(bdRightToLeft);
    const TRect RightToLeft = f.tree->GetDisplayRect(Node, NoColumn, true);
    const int W = f.tree->ClientWidth();
    // The text rectangle is the mirror of the left-to-right one (within a pixel).
    EXPECT_NEAR(RightToLeft.Left, W - LeftToRight.Right, 1);
    EXPECT_NEAR(RightToLeft.Right, W - LeftToRight.Left, 1);
    // The painted text lies inside it: dark pixels on the row only there, left of the picture.
    TBitmap Picture;
    RenderControlToBitmap(f.tree, Picture);
    int Leftmost = W, Rightmost = -1;
    const TRect Row = f.tree->GetDisplayRect(Node, NoColumn, false);
    const int ImageLeft = RightToLeft.Right;  // the picture follows the text
    for (int Y = Row.Top; Y < Row.Bottom; ++Y)
        for (int X = 0; X < ImageLeft; ++X)
            if (Picture.Canvas().Pixels(X, Y) != ColorToRGB(clWhite)) {
                Leftmost = std::min(Leftmost, X);
                Rightmost = std::max(Rightmost, X);
            }
    ASSERT_GE(Rightmost, 0);
    EXPECT_GE(Leftmost, RightToLeft.Left);
    EXPECT_LE(Rightmost, RightToLeft.Right);
    EXPECT_GT(Leftmost, W / 2);
}

// A tree with a header and two columns of 60 pixels in a window of 200.
struct ColumnTree {
    ColumnTree() {
        tree = PlaceBareTree<TLazyStringTree>(form, 200, 120);
        TLTHeader& H = tree->Header();
        for (int I = 0; I < 2; ++I) {
            TLazyTreeColumn* C = H.Columns().Add();
            C->SetWidth(60);
            C->SetText(S(I == 0 ? "Name" : "Value"));
        }
        H.Options.Include(hoVisible);
        tree->OnGetText = [](TTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType, String& Text) {
            Text = S(Column == 0 ? "Node" : "7");
        };
        tree->SetRootNodeCount(3);
        form.Show();
    }
    ~ColumnTree() { SetThemeRenderer(trStyled); }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

TEST(LazyTreesRightToLeft, ColumnsFollowTheTreeAndHugTheRightEdge) {
    ColumnTree f;
    TLazyTreeColumns& Columns = f.tree->Header().Columns();
    f.tree->SetBiDiMode(bdRightToLeft);
    // Columns that follow the tree take its direction; one with its own keeps it.
    EXPECT_EQ(Columns[0]->BiDiMode(), TLazyTreeColumn::bdRightToLeft);
    Columns[1]->SetBiDiMode(TLazyTreeColumn::bdLeftToRight);
    EXPECT_FALSE(Columns[1]->Options().Contains(coParentBidiMode));
    f.tree->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_EQ(Columns[0]->BiDiMode(), TLazyTreeColumn::bdRightToLeftReadingOnly);
    EXPECT_EQ(Columns[1]->BiDiMode(), TLazyTreeColumn::bdLeftToRight);
    f.tree->SetBiDiMode(bdRightToLeft);

    // The 120 pixels of columns end at the client's right edge, in their own order.
    const int W = f.tree->ClientWidth();
    EXPECT_EQ(f.tree->RightToLeftShift(true), W - 120);
    int Left = 0, Right = 0;
    Columns.GetColumnBounds(0, Left, Right);
    EXPECT_EQ(Left, W - 120);
    Columns.GetColumnBounds(1, Left, Right);
    EXPECT_EQ(Right, W);
    PLazyNode Node = f.tree->GetFirst();
    const int Y = f.tree->GetDisplayRect(Node, NoColumn, false).Top + 5;
    const struct {
        int X;
        TColumnIndex Column;
    } Hits[] = {{W - 119, 0}, {W - 61, 0}, {W - 59, 1}, {W - 1, 1}};
    for (const auto& H : Hits) EXPECT_EQ(f.tree->GetHitTestInfoAt(H.X, Y).HitColumn, H.Column) << H.X;
    EXPECT_EQ(f.tree->GetHitTestInfoAt(10, Y).HitColumn, InvalidColumn);

    // Column 0 reads right to left: its text ends at the cell's right margin; the left-to-right
    // column 1 keeps its text at the left.
    const TRect Text0 = f.tree->GetDisplayRect(Node, 0, true);
    const TRect Text1 = f.tree->GetDisplayRect(Node, 1, true);
    EXPECT_EQ(Text0.Right, W - 60 - 1 - f.tree->Margin() - int(f.tree->Indent()));
    EXPECT_EQ(Text1.Left, W - 60 + f.tree->Margin());

    // With the automatic order the columns change places: column 0 stands at the right.
    f.tree->TreeOptions().SetAutoOptions(f.tree->TreeOptions().AutoOptions() + TLTAutoOptions{toAutoBidiColumnOrdering});
    f.tree->SetBiDiMode(bdLeftToRight);
    f.tree->SetBiDiMode(bdRightToLeft);
    Columns.GetColumnBounds(0, Left, Right);
    EXPECT_EQ(Right, W);
    EXPECT_EQ(f.tree->GetHitTestInfoAt(W - 1, Y).HitColumn, 0);

    // The header paints its cells over the same x as the columns below: the band's ground at the
    // left, the captions within the columns.
    TBitmap Frame;
    Frame.SetSize(f.tree->Width(), f.tree->Height());
    f.tree->Perform(WM_NCPAINT, 0, reinterpret_cast<LPARAM>(&Frame.Canvas()));
    const TColor Ground = ColorToRGB(f.tree->Header().Background());
    const int HeaderY = f.tree->Header().Height() / 2;
    auto Inked = [&](int From, int To) {
        int Count = 0;
        for (int X = From; X < To; ++X) Count += Frame.Canvas().Pixels(X, HeaderY) != Ground;
        return Count;
    };
    EXPECT_EQ(Inked(0, W - 121), 0);
    EXPECT_GT(Inked(W - 60, W), 0) << "the caption of column 0";
    EXPECT_GT(Inked(W - 120, W - 60), 0) << "the caption of column 1";
}

TEST(LazyTreesRightToLeft, AWideTreeShowsItsRightEndFirstAndScrollsLeft) {
    // Captions wider than the window: the canvas is wider than the client area.
    RtlTree f(false, S("A caption far wider than the little window"), 120, 140);
    f.tree->ScrollBarOptions().SetScrollBars(ssHorizontal);
    f.tree->SetBiDiMode(bdRightToLeft);
    const int Range = f.tree->RangeX(), W = f.tree->ClientWidth();
    ASSERT_GT(Range, W);
    EXPECT_EQ(f.tree->OffsetX(), 0);
    EXPECT_EQ(f.tree->EffectiveOffsetX(), Range - W);
    // The open node's button stands near the right edge at offset 0.
    const int Top = f.tree->GetDisplayRect(f.Row(0), NoColumn, false).Top + 9;
    EXPECT_TRUE(f.tree->GetHitTestInfoAt(W - 9, Top).HitPositions.Contains(TTree::hiOnItemButton));

    // A line to the left moves the view towards the canvas's left end, the bar's thumb with it.
    f.tree->Perform(WM_HSCROLL, SB_LINELEFT, 0);
    EXPECT_LT(f.tree->EffectiveOffsetX(), Range - W);
    EXPECT_LT(f.tree->OffsetX(), 0);
    EXPECT_FALSE(f.tree->GetHitTestInfoAt(W - 9, Top).HitPositions.Contains(TTree::hiOnItemButton));
    // The far left end: offset at its lowest, the effective position 0.
    f.tree->Perform(WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(f.tree->EffectiveOffsetX(), 0);
    EXPECT_EQ(f.tree->OffsetX(), W - Range);
}

TEST(LazyTreesRightToLeft, TheEditorReadsRightToLeftAndGrowsLeftwards) {
    RtlTree f(false, S("Meter"));
    f.tree->TreeOptions().SetMiscOptions(f.tree->TreeOptions().MiscOptions() + TLTMiscOptions{toEditable});
    f.tree->SetBiDiMode(bdRightToLeft);
    f.tree->SetFocus();
    PLazyNode Node = f.Row(2);
    ASSERT_TRUE(f.tree->EditNode(Node, NoColumn));
    auto Link = std::dynamic_pointer_cast<TStringEditLink>(f.tree->EditLink());
    ASSERT_TRUE(Link && Link->Edit());
    TLTEdit* Edit = Link->Edit();
    EXPECT_EQ(Edit->BiDiMode(), bdRightToLeft);
    // The box stands where the text does and widens to the left as the text grows.
    const TRect Text = f.tree->GetDisplayRect(Node, NoColumn, true);
    const int Right = Edit->Left() + Edit->Width();
    EXPECT_NEAR(Right, Text.Right, f.tree->TextMargin() + 2);
    Edit->SetText(S("A much longer caption"));
    Edit->FitToText();
    EXPECT_EQ(Edit->Left() + Edit->Width(), Right);
    f.tree->CancelEditNode();
}

}  // namespace
