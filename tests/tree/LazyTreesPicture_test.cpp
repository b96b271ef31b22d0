// A tree shaped like the meter scan's result tree, rendered off screen in the
// classic look and compared pixel for pixel with its reference picture.
// CONFIGURATOR_WRITE_PICTURES=1 writes the reference anew (after a wanted change of the look).

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// Two buses; the first holds two meters, the first meter six variables. Each
// row shows one check-box look, each level its own picture.
struct ScanPicture {
    ScanPicture() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 260, 240);
        for (TColor Color : {clRed, clGreen, clBlue}) {
            TBitmap Picture;
            Picture.SetSize(16, 16);
            TCanvas& C = Picture.Canvas();
            C.Brush().SetColor(clFuchsia);
            C.FillRect(TRect{0, 0, 16, 16});
            C.Brush().SetColor(Color);
            C.Pen().SetColor(clBlack);
            C.Rectangle(TRect{2, 3, 14, 13});
            Images.AddMasked(Picture, clFuchsia);
        }
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 220, 200);
        tree->SetColor(clWhite);
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        tree->SetImages(&Images);
        tree->OnInitChildren = [](TBaseLazyTree* T, PLazyNode Node, Cardinal& Count) {
            Count = T->GetNodeLevel(Node) == 0 ? 2 : Node->Index == 0 ? 6 : 3;
        };
        tree->OnInitNode = [](TBaseLazyTree* T, PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& States) {
            const Cardinal Level = Parent ? T->GetNodeLevel(Parent) + 1 : 0;
            Node->CheckType = Level == 1 ? ctTriStateCheckBox : ctCheckBox;
            if (Level < 2) States.Include(ivsHasChildren);
        };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            static const char* Names[] = {"Bus", "Meter", "Value"};
            Text = S(Names[T->GetNodeLevel(Node)]) + String(1, u'0' + Node->Index);
        };
        tree->OnGetImageIndexEx = [](TBaseLazyTree* T, PLazyNode Node, TBaseLazyTree::TLTImageKind Kind, TColumnIndex,
                                     bool&, int& Index, TImageList*&) {
            if (Kind == TBaseLazyTree::ikNormal || Kind == TBaseLazyTree::ikSelected) Index = int(T->GetNodeLevel(Node));
        };
        tree->SetRootNodeCount(2);
        PLazyNode Bus0 = tree->GetFirst();
        tree->SetExpanded(Bus0, true);
        PLazyNode Meter0 = tree->GetFirstChild(Bus0);
        tree->SetExpanded(Meter0, true);
        Bus0->CheckState = csCheckedNormal;
        Meter0->CheckState = csMixedNormal;
        tree->GetNextSibling(Meter0)->CheckState = csMixedPressed;
        const TCheckState Looks[] = {csUncheckedNormal, csCheckedNormal, csUncheckedPressed,
                                     csCheckedPressed,  csCheckedNormal, csUncheckedNormal};
        PLazyNode Value = tree->GetFirstChild(Meter0);
        for (TCheckState Look : Looks) {
            Value->CheckState = Look;
            values.push_back(Value);
            Value = tree->GetNextSibling(Value);
        }
        tree->SetDisabled(values[4], true);
        PLazyNode Bus1 = tree->GetNextSibling(Bus0);
        form.Show();
        tree->SetFocus();
        tree->SetFocusedNode(Bus1);
        tree->AddToSelection(Bus1);
        // The pointer over the last value's row makes its check box hot.
        SimulateMouseMove(tree, 120, 7 * 18 + 9);
    }
    ~ScanPicture() { SetThemeRenderer(trStyled); }
    TForm form{nullptr};
    TImageList Images{16, 16};
    TLazyStringTree* tree;
    std::vector<PLazyNode> values;
};

// The first differing pixel, or an empty text when the pictures agree.
std::string FirstDifference(TBitmap& Got, TBitmap& Want) {
    if (Got.Width() != Want.Width() || Got.Height() != Want.Height())
        return "size " + std::to_string(Got.Width()) + "x" + std::to_string(Got.Height()) + " instead of " +
               std::to_string(Want.Width()) + "x" + std::to_string(Want.Height());
    for (int Y = 0; Y < Got.Height(); ++Y)
        for (int X = 0; X < Got.Width(); ++X) {
            const TColor G = Got.Canvas().Pixels(X, Y), W = Want.Canvas().Pixels(X, Y);
            if (G != W) {
                std::ostringstream Out;
                Out << "pixel " << X << "," << Y << " is " << std::hex << G << " instead of " << W;
                return Out.str();
            }
        }
    return {};
}

}  // namespace

TEST(LazyTreesPicture, ScanShapedTreeMatchesItsReferencePicture) {
    ScanPicture f;
    EXPECT_EQ(f.tree->HotNode(), f.values[5]);
    TBitmap Got;
    RenderControlToBitmap(f.tree, Got);
    const std::filesystem::path Reference = std::filesystem::path(TestDataDir()) / "scan_tree_classic.png";
    const char* Write = std::getenv("CONFIGURATOR_WRITE_PICTURES");
    if (Write && std::string(Write) == "1") {
        Got.SaveToPngFile(S(Reference.string()));
        GTEST_SKIP() << "reference written: " << Reference;
    }
    ASSERT_TRUE(std::filesystem::exists(Reference)) << Reference;
    TPngImage Png;
    Png.LoadFromFile(S(Reference.string()));
    TBitmap Want;
    Want.SetSize(Png.Width(), Png.Height());
    Want.Canvas().Draw(0, 0, Png);
    const std::string Difference = FirstDifference(Got, Want);
    if (!Difference.empty()) {
        // Kept in the temporary folder for a look.
        const std::string Kept = (std::filesystem::temp_directory_path() / "scan_tree_classic_rendered.png").string();
        Got.SaveToPngFile(S(Kept));
        ADD_FAILURE() << Difference << "; the rendered picture is at " << Kept;
    }
}
