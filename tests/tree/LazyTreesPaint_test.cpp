// Where a row's pictures sit by the node alignment, the room below the last
// row, and the background picture behind the rows, checked by rendered pixels.

#include "tree/LazyTrees.h"
#include "tree/LazyTrees.Utils.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Themes.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A string tree without border and scroll bars, so that the rendered picture is the client area.
struct PlainTree {
    PlainTree() : tree(PlaceBareTree<TLazyStringTree>(form, 200, 150)) { form.Show(); }
    ~PlainTree() { SetThemeRenderer(trStyled); }
    TCanvas& Render() {
        RenderControlToBitmap(tree, picture);
        return picture.Canvas();
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
    TBitmap picture;
};

// Where Want stands in the picture's column strip X .. X + its width: its top, or -1.
int TopOfBitmap(TCanvas& Canvas, const TBitmap& Want, int X, int Bottom) {
    for (int Y = 0; Y + Want.Height() <= Bottom; ++Y) {
        bool Same = true;
        for (int Row = 0; Row < Want.Height() && Same; ++Row)
            for (int Col = 0; Col < Want.Width() && Same; ++Col)
                Same = Canvas.Pixels(X + Col, Y + Row) == const_cast<TBitmap&>(Want).Canvas().Pixels(Col, Row);
        if (Same) return Y;
    }
    return -1;
}

// A 10 x 7 picture whose every pixel has its own colour.
void MakePattern(TBitmap& B) {
    B.SetSize(10, 7);
    for (int Y = 0; Y < 7; ++Y)
        for (int X = 0; X < 10; ++X) B.Canvas().SetPixels(X, Y, RGB(Byte(20 + X * 20), Byte(30 + Y * 30), 90));
}

int Wrap(int V, int Size) { return ((V % Size) + Size) % Size; }

}  // namespace

TEST(LazyTreesPaint, NodeAlignmentPlacesLinesButtonCheckBoxAndImagesInTheRow) {
    PlainTree f;
    TLazyStringTree& t = *f.tree;
    TImageList Images(16, 16);
    AddSquare(Images, clRed);
    t.SetImages(&Images);
    t.SetDefaultNodeHeight(40);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
    t.OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& States) {
        Node->CheckType = ctCheckBox;
        if (!Parent) States.Include(ivsHasChildren);
    };
    t.OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 1; };
    t.OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TBaseLazyTree::TLTImageKind, TColumnIndex, bool&, int& Index) {
        Index = 0;
    };
    t.SetRootNodeCount(1);
    PLazyNode Top = t.GetFirst();
    t.SetExpanded(Top, true);
    PLazyNode Child = t.GetFirstChild(Top);
    EXPECT_EQ(t.GetVerticalAlignment(Child), 50);
    t.SetVerticalAlignment(Child, 150);
    EXPECT_EQ(t.GetVerticalAlignment(Child), 100) << "at most 100";

    TImageList* Checks = t.CheckImageListForKind(t.CheckImageKind());
    ASSERT_NE(Checks, nullptr);
    const int CheckSize = t.CheckImageSize();
    const TBitmap& Minus = t.ButtonBitmap(TBaseLazyTree::bpMinus);
    struct Case {
        TBaseLazyTree::TLTNodeAlignment Mode;
        Byte Align;
        int VAlign;  // the row's middle line
    } Cases[] = {
        {TBaseLazyTree::naProportional, 50, 20},  // (40 - 16) * 50% + 8
        {TBaseLazyTree::naProportional, 0, 8},
        {TBaseLazyTree::naProportional, 100, 32},
        {TBaseLazyTree::naFromTop, 12, 12},
        {TBaseLazyTree::naFromBottom, 12, 28},
    };
    for (const Case& c : Cases) {
        t.SetNodeAlignment(c.Mode);
        EXPECT_EQ(t.NodeAlignment(), c.Mode);
        t.SetVerticalAlignment(Top, c.Align);
        t.SetVerticalAlignment(Child, c.Align);
        int VAlign = 0, VButton = 0;
        t.ComputeVerticalAlignment(Top, VAlign, VButton);
        EXPECT_EQ(VAlign, c.VAlign) << c.Mode << " " << int(c.Align);
        EXPECT_EQ(VButton, c.VAlign - 5);
        TCanvas& Picture = f.Render();
        // The top row: button at x 5, check box after the indent of 18 (at 21), the image after it.
        EXPECT_EQ(TopOfBitmap(Picture, Minus, 5, 40), c.VAlign - 5) << c.Mode << " " << int(c.Align);
        EXPECT_EQ(FindListPicture(Picture, *Checks, 9, 21, 0, 21 + CheckSize, 40).Y, c.VAlign - CheckSize / 2);
        EXPECT_EQ(FindListPicture(Picture, Images, 0, 21 + CheckSize + 2, 0, 80, 40).Y, c.VAlign - 8);
        // The child's connector: a dotted line one pixel above the middle line, right of its level's middle.
        int OnLine = 0, Elsewhere = 0;
        for (int X = 28; X < 36; ++X)
            for (int Y = 40; Y < 80; ++Y)
                if (Picture.Pixels(X, Y) != clWhite) (Y == 40 + c.VAlign - 1 ? OnLine : Elsewhere)++;
        EXPECT_GT(OnLine, 0) << c.Mode << " " << int(c.Align);
        EXPECT_EQ(Elsewhere, 0) << c.Mode << " " << int(c.Align);
    }
}

TEST(LazyTreesPaint, BottomSpaceIsRoomBelowTheLastRowToScrollInto) {
    PlainTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(10);  // 180 pixels of rows in a window 150 high
    std::vector<TRect> Below;
    t.OnPaintBackground = [&](TBaseLazyTree*, TCanvas*, const TRect& R, bool&) { Below.push_back(R); };
    t.SetOffsetXY(0, -1000);
    EXPECT_EQ(t.OffsetY(), -30);
    t.SetBottomSpace(50);
    EXPECT_EQ(t.BottomSpace(), 50u);
    EXPECT_EQ(t.GetTreeRect().Bottom, 230);
    t.SetOffsetXY(0, -1000);
    EXPECT_EQ(t.OffsetY(), -80);
    f.Render();
    // The last row ends at 180 - 80 = 100; the room below it is the area below the rows.
    ASSERT_FALSE(Below.empty());
    EXPECT_EQ(Below.back(), (TRect{0, 100, 200, 150}));
    EXPECT_EQ(t.GetNodeAt(0, 99), t.GetLast());
    EXPECT_EQ(t.GetNodeAt(0, 100), nullptr);
    t.SetBottomSpace(0);
    EXPECT_EQ(t.OffsetY(), -30) << "the offset follows the smaller range";
}

TEST(LazyTreesPaint, TheBackgroundPictureIsTiledOrDrawnOnceInClientCoordinates) {
    PlainTree f;
    TLazyStringTree& t = *f.tree;
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() -
                                    TLTPaintOptions{toShowTreeLines, toShowButtons, toShowRoot});
    t.OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLSTTextType, String& Text) { Text.clear(); };
    t.SetRootNodeCount(20);  // rows over the whole window and beyond: it scrolls
    TBitmap Pattern;
    MakePattern(Pattern);
    TPicture Picture;
    Picture.Assign(&Pattern);
    t.SetBackground(Picture);
    auto Source = [&](int X, int Y) { return Pattern.Canvas().Pixels(X, Y); };

    // Only with toShowBackground.
    EXPECT_EQ(f.Render().Pixels(3, 3), clWhite);
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toShowBackground});
    struct Case {
        int OffsetX, OffsetY, ScrollY;
    } Cases[] = {{0, 0, 0}, {3, 5, 0}, {-4, -13, 0}, {3, 5, -40}};
    for (const Case& c : Cases) {
        t.SetBackgroundOffsetX(c.OffsetX);
        t.SetBackgroundOffsetY(c.OffsetY);
        t.SetOffsetXY(0, c.ScrollY);
        TCanvas& Got = f.Render();
        int Wrong = 0;
        for (int Y = 0; Y < 150; Y += 7)
            for (int X = 0; X < 200; X += 3)
                Wrong += Got.Pixels(X, Y) != Source(Wrap(X + c.OffsetX, 10), Wrap(Y + c.OffsetY, 7));
        EXPECT_EQ(Wrong, 0) << "tiled at " << c.OffsetX << "," << c.OffsetY << " scrolled " << c.ScrollY;
    }

    // Static: once, at the offsets, on the control's colour; the rows below the last node alike.
    t.SetRootNodeCount(3);
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toStaticBackground});
    for (const Case& c : {Case{20, 30, 0}, Case{5, 50, 0}}) {
        t.SetBackgroundOffsetX(c.OffsetX);
        t.SetBackgroundOffsetY(c.OffsetY);
        TCanvas& Got = f.Render();
        int Wrong = 0;
        for (int Y = 0; Y < 150; ++Y)
            for (int X = 0; X < 200; ++X) {
                const int PX = X - c.OffsetX, PY = Y - c.OffsetY;
                const TColor Want = PX >= 0 && PX < 10 && PY >= 0 && PY < 7 ? Source(PX, PY) : TColor(clWhite);
                Wrong += Got.Pixels(X, Y) != Want;
            }
        EXPECT_EQ(Wrong, 0) << "static at " << c.OffsetX << "," << c.OffsetY;
    }

    // A transparent picture lets the control's colour through its transparent pixels.
    t.SetColor(clYellow);
    Pattern.Canvas().SetPixels(0, 0, clFuchsia);
    Pattern.SetTransparentColor(clFuchsia);
    Pattern.SetTransparent(true);
    Picture.Assign(&Pattern);
    t.SetBackground(Picture);
    TCanvas& Got = f.Render();
    EXPECT_EQ(Got.Pixels(5, 50), ColorToRGB(clYellow));
    EXPECT_EQ(Got.Pixels(6, 50), Source(1, 0));

    // The owner's erase colour wins over the picture for its row.
    t.OnBeforeItemErase = [](TBaseLazyTree*, TCanvas*, PLazyNode Node, const TRect&, TColor& Color,
                             TBaseLazyTree::TItemEraseAction& Action) {
        if (Node->Index == 0) {
            Color = clAqua;
            Action = TBaseLazyTree::eaColor;
        }
    };
    TCanvas& Erased = f.Render();
    EXPECT_EQ(Erased.Pixels(6, 9), ColorToRGB(clAqua));
    EXPECT_EQ(Erased.Pixels(6, 50), Source(1, 0));
}
