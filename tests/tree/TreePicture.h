#pragma once
// Rendered pictures compared pixel for pixel with reference PNGs in the test
// data folder. CONFIGURATOR_WRITE_PICTURES=1 writes the references anew (after
// a wanted change of the look).

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Themes.h"
#include "tree/LazyTrees.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

// Puts a white tree of class T, Width x Height, on Form under the classic renderer, without border and
// scroll bars, so that its rendered picture is its client area. The caller shows the form and sets the
// styled renderer back.
template <class T> T* PlaceBareTree(TForm& Form, int Width, int Height) {
    SetThemeRenderer(trClassic);
    Form.SetBounds(50, 50, Width + 100, Height + 100);
    auto* Tree = new T(&Form);
    Tree->SetParent(&Form);
    Tree->SetBorderStyle(TBaseLazyTree::bsNone);
    Tree->ScrollBarOptions().SetScrollBars(ssNone);
    Tree->SetBounds(0, 0, Width, Height);
    Tree->SetColor(clWhite);
    return Tree;
}

// Adds a 16-pixel picture to Images: a framed square of one colour on a clear ground.
inline void AddSquare(TImageList& Images, TColor Color) {
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

// Whether picture Index of List stands with its top-left corner at (X, Y) of Canvas: every pixel the
// picture covers (the same over white and over black) has the picture's colour there.
inline bool ShowsListPicture(TCanvas& Canvas, TImageList& List, int Index, int X, int Y) {
    TBitmap OverWhite(List.Width(), List.Height()), OverBlack(List.Width(), List.Height());
    OverWhite.Canvas().Brush().SetColor(clWhite);
    OverWhite.Canvas().FillRect(TRect{0, 0, List.Width(), List.Height()});
    OverBlack.Canvas().Brush().SetColor(clBlack);
    OverBlack.Canvas().FillRect(TRect{0, 0, List.Width(), List.Height()});
    List.Draw(OverWhite.Canvas(), 0, 0, Index);
    List.Draw(OverBlack.Canvas(), 0, 0, Index);
    int Covered = 0;
    for (int Row = 0; Row < List.Height(); ++Row)
        for (int Col = 0; Col < List.Width(); ++Col) {
            const TColor P = OverWhite.Canvas().Pixels(Col, Row);
            if (P != OverBlack.Canvas().Pixels(Col, Row)) continue;
            ++Covered;
            if (Canvas.Pixels(X + Col, Y + Row) != P) return false;
        }
    return Covered > 0;
}

// Where picture Index of List stands inside (Left, Top) .. (Right, Bottom) of Canvas; (-1, -1) when nowhere.
inline TPoint FindListPicture(TCanvas& Canvas, TImageList& List, int Index, int Left, int Top, int Right, int Bottom) {
    for (int Y = Top; Y + List.Height() <= Bottom; ++Y)
        for (int X = Left; X + List.Width() <= Right; ++X)
            if (ShowsListPicture(Canvas, List, Index, X, Y)) return TPoint{X, Y};
    return TPoint{-1, -1};
}

// The first differing pixel, or an empty text when the pictures agree.
inline std::string FirstDifference(TBitmap& Got, TBitmap& Want) {
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

// Compares Got with the reference Name ("….png"); a differing picture is kept in the temporary folder.
inline void ExpectReferencePicture(TBitmap& Got, const std::string& Name) {
    const std::filesystem::path Reference = std::filesystem::path(TestDataDir()) / Name;
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
        const std::string Kept =
            (std::filesystem::temp_directory_path() / (std::filesystem::path(Name).stem().string() + "_rendered.png"))
                .string();
        Got.SaveToPngFile(S(Kept));
        ADD_FAILURE() << Difference << "; the rendered picture is at " << Kept;
    }
}
