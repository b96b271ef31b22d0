// Painting the tree off screen: printing to a PDF file page by page, the
// picture of the selected nodes for a drag, and the translucent picture that
// follows the mouse over a copy of the screen.

#include "tree/LazyTrees.h"

#include "framework/DataTransfer.h"
#include "framework/Forms.h"
#include "framework/Printers.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

struct PaintedTree {
    explicit PaintedTree(int Nodes = 6) {
        SetThemeRenderer(trClassic);
        form.SetBounds(40, 40, 400, 300);
        form.SetColor(clWhite);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 300, 200);
        tree->SetBorderStyle(TBaseLazyTree::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetColor(clAqua);
        tree->TreeOptions().SetSelectionOptions({toMultiSelect});
        tree->OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = S("Node ") + String(1, char16_t(u'0' + Node->Index));
        };
        tree->SetRootNodeCount(Cardinal(Nodes));
        form.Show();
    }
    ~PaintedTree() { SetThemeRenderer(trStyled); }
    PLazyNode Node(int I) {
        PLazyNode Run = tree->GetFirst();
        while (I-- > 0) Run = tree->GetNext(Run);
        return Run;
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

int PdfPages(const std::string& Pdf) {
    std::regex Page(R"(/Type\s*/Page(?![a-zA-Z]))");
    return int(std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), std::sregex_iterator()));
}

// Screen pixels of a page as the tree prints them: the printer's page over the scale of its font.
TSize PageInTreePixels(TBaseLazyTree& Tree, const std::string& File) {
    TPrinter P;
    P.SetOutputFileName(S(File));
    P.BeginDoc();
    P.Canvas().Font().Assign(&Tree.Font());
    TBitmap B;
    B.SetSize(1, 1);
    B.Canvas().Font().Assign(&Tree.Font());
    const double Scale = double(P.Canvas().TextHeight(u"Tj")) / B.Canvas().TextHeight(u"Tj");
    const TSize Result{int(std::nearbyint(P.PageWidth() / Scale)), int(std::nearbyint(P.PageHeight() / Scale))};
    P.Abort();
    return Result;
}

struct Rgb {
    int R, G, B;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& O, const Rgb& C) { return O << C.R << "," << C.G << "," << C.B; }
Rgb RgbOf(TColor C) { return {C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF}; }

Rgb ScreenPixel(TPoint P) {
    TBitmap Shot;
    CaptureScreen(TRect{P.X, P.Y, P.X + 1, P.Y + 1}, Shot);
    return RgbOf(Shot.Canvas().Pixels(0, 0));
}

}  // namespace

TEST(LazyTreesPrint, WholePagesAndTheTreeLooksAsBefore) {
    TempDir Tmp;
    PaintedTree f(3);
    f.tree->Header().Columns().Add();
    f.tree->Font().SetName(S("Arial"));
    const TSize Page = PageInTreePixels(*f.tree, Tmp.file("probe.pdf"));
    ASSERT_GT(Page.cx, 100);
    // Columns as wide as two pages, then two and a half; rows far below one page.
    const struct {
        int Width;
        int Pages;
    } Cases[] = {{2 * Page.cx, 2}, {2 * Page.cx + Page.cx / 2, 3}, {Page.cx - 10, 1}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Width);
        f.tree->Header().Columns()[0]->SetMaxWidth(100000);
        f.tree->Header().Columns()[0]->SetWidth(C.Width);
        ASSERT_EQ(f.tree->GetTreeRect().Right, C.Width);
        const TColor Color = f.tree->Color();
        const std::string File = Tmp.file("tree" + std::to_string(C.Width) + ".pdf");
        TPrinter Printer;
        Printer.SetOutputFileName(S(File));
        f.tree->Print(&Printer, true);
        EXPECT_FALSE(Printer.Printing());
        EXPECT_EQ(Printer.PageNumber(), C.Pages);
        EXPECT_EQ(PdfPages(ReadAll(File)), C.Pages);
        EXPECT_EQ(f.tree->Color(), Color);
        EXPECT_EQ(f.tree->Font().Name(), S("Arial"));
    }
    f.tree->Print(nullptr, true);  // no printer: nothing
}

TEST(LazyTreesPrint, PrintedTreeShowsNoSelectionOnWhite) {
    PaintedTree f(3);
    f.tree->SetSelected(f.Node(0), true);
    f.tree->SetFocusedNode(f.Node(0));
    TBitmap Image;
    Image.SetSize(300, 100);
    f.tree->SetColor(clWhite);
    f.tree->PaintTree(Image.Canvas(), TRect{0, 0, 300, 100}, TPoint{0, 0}, {poGridLines});
    const TRect Text = f.tree->GetDisplayRect(f.Node(0), true);
    // The text's own pixels aside, the selected row keeps the background.
    EXPECT_EQ(RgbOf(Image.Canvas().Pixels(Text.Right - 1, Text.Top + 1)), RgbOf(clWhite));
    f.tree->PaintTree(Image.Canvas(), TRect{0, 0, 300, 100}, TPoint{0, 0}, {poDrawSelection});
    EXPECT_NE(RgbOf(Image.Canvas().Pixels(Text.Right - 1, Text.Top + 1)), RgbOf(clWhite));
}

TEST(LazyTreesDragPicture, SelectedNodesAroundTheHotSpot) {
    PaintedTree f(6);
    f.tree->DragWidth = 100;
    f.tree->DragHeight = 60;
    f.tree->SetSelected(f.Node(0), true);
    f.tree->SetSelected(f.Node(2), true);
    auto Data = std::make_shared<TDataObject>();
    // Near the canvas's corner: the picture keeps the hot spot at its centre.
    const TRect Row0 = f.tree->GetDisplayRect(f.Node(0), true);
    const TPoint Hot{40, 5};
    f.tree->PrepareDragImage(Hot, Data);
    const TLTDragImage& D = f.tree->DragImage();
    EXPECT_EQ(D.States(), TLTDragImageStates{disSystemSupport});
    EXPECT_FALSE(D.Visible());
    const TBitmap& Picture = D.SystemPicture();
    ASSERT_EQ(Picture.Width(), 100);
    ASSERT_EQ(Picture.Height(), 60);
    TBitmap Copy;
    Copy.Assign(&Picture);
    auto At = [&](int X, int Y) { return RgbOf(Copy.Canvas().Pixels(X - Hot.X + 50, Y - Hot.Y + 30)); };
    const Rgb Back = RgbOf(clAqua), Selection = RgbOf(ColorToRGB(f.tree->Colors().GetColor(TLTColors::UnfocusedSelectionColor)));
    EXPECT_EQ(RgbOf(Copy.Canvas().Pixels(5, 5)), Back) << "above the canvas: background";
    EXPECT_EQ(At(Row0.Right - 2, Row0.Top + 1), Selection) << "the selected node";
    const TRect Row1 = f.tree->GetDisplayRect(f.Node(1), true);
    EXPECT_EQ(At(Row1.Right - 2, Row1.Top + 1), Back) << "an unselected node is left out";

    f.tree->DragImageKind = diNoImage;
    f.tree->DragImage().EndDrag();
    f.tree->PrepareDragImage(Hot, Data);
    EXPECT_TRUE(f.tree->DragImage().States().Empty());
}

TEST(LazyTreesDragPicture, BlendedOverTheScreenAndFollowingTheMouse) {
    PaintedTree f(0);
    TLTDragImage D(f.tree);
    D.Fade = true;
    D.Transparency = 200;
    TBitmap Red;
    Red.SetPixelFormat(pf32bit);
    Red.SetSize(64, 48);
    Red.Canvas().Brush().SetColor(clRed);
    Red.Canvas().FillRect(TRect{0, 0, 64, 48});
    Red.Canvas().Brush().SetColor(clBlue);
    Red.Canvas().FillRect(TRect{0, 20, 30, 28});  // the key colour: see-through
    const TPoint Origin = f.form.ClientToScreen(TPoint{0, 0});
    const TPoint Where{Origin.X + 320, Origin.Y + 100};  // over the form's white area
    D.ColorKey = clBlue;
    D.EndDrag();  // never prepared: harmless
    D.PrepareDrag(Red, Where, TPoint{Where.X + 32, Where.Y + 24}, nullptr);
    EXPECT_EQ(D.GetDragImageRect(), TRect{}) << "prepared but hidden";
    D.ShowDragImage();
    ASSERT_TRUE(D.Visible());
    EXPECT_EQ(D.GetDragImageRect(), (TRect{Where.X, Where.Y, Where.X + 64, Where.Y + 48}));
    // Centre: alpha 255 scaled by 200; corner: Round(255 * exp(-8 * 0.625)) = 2, scaled to 1.
    EXPECT_EQ(ScreenPixel(TPoint{Where.X + 32, Where.Y + 24}), (Rgb{255, 56, 56}));
    EXPECT_EQ(ScreenPixel(TPoint{Where.X, Where.Y}), (Rgb{255, 254, 254}));
    EXPECT_EQ(ScreenPixel(TPoint{Where.X + 29, Where.Y + 24}), (Rgb{255, 255, 255})) << "keyed pixels";

    D.MoveRestriction = dmrHorizontalOnly;
    const TPoint Last{Where.X + 32, Where.Y + 24};
    EXPECT_FALSE(D.WillMove(TPoint{Last.X, Last.Y + 30}));
    EXPECT_FALSE(D.DragTo(TPoint{Last.X, Last.Y + 30}, false));
    EXPECT_EQ(D.GetDragImageRect().Top, Where.Y);
    EXPECT_TRUE(D.WillMove(TPoint{Last.X - 100, Last.Y}));
    EXPECT_TRUE(D.DragTo(TPoint{Last.X - 100, Last.Y}, false));
    EXPECT_EQ(D.GetDragImageRect().Left, Where.X - 100);
    // The old place shows the screen again, the new one the picture read over the tree.
    EXPECT_EQ(ScreenPixel(TPoint{Where.X + 32, Where.Y + 24}), (Rgb{255, 255, 255}));
    EXPECT_EQ(ScreenPixel(TPoint{Where.X - 68, Where.Y + 24}), (Rgb{198, 56, 56})) << "red over aqua";
    D.HideDragImage();
    EXPECT_FALSE(D.WillMove(TPoint{0, 0}));
    EXPECT_EQ(ScreenPixel(TPoint{Where.X - 68, Where.Y + 24}), RgbOf(clAqua));
    D.EndDrag();
    EXPECT_TRUE(D.States().Empty());
}
