#include "grid/ExCGrid.h"

#include "framework/Graphics.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

// 6 x 5 pixels: red in columns 0..2, blue in 3..5.
void SetStripes(TExStringGrid& G) {
    TBitmap b(6, 5);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(Rect(0, 0, 3, 5));
    b.Canvas().Brush().SetColor(clBlue);
    b.Canvas().FillRect(Rect(3, 0, 6, 5));
    G.BackGround().SetBitmap(b);
}

TEST(ExGridBackGround, ATiledBitmapRunsOnAcrossTheNormalCells) {
    PaintForm f;
    SetStripes(*f.g);
    f.g->SetColors(3, 3, clYellow);
    auto b = f.Render();
    // Cell (1, 3) starts the tiles at client (41, 61); cell (2, 3) continues
    // 40 pixels on, 4 into the bitmap.
    struct Probe {
        int x, y;
        TColor c;
    } probes[] = {
        {41, 61, clRed}, {44, 61, clBlue}, {47, 70, clRed},  // cell (1, 3)
        {81, 61, clBlue}, {83, 61, clRed},                   // cell (2, 3)
        {130, 70, clYellow},                                 // a cell of its own colour
    };
    for (const Probe& p : probes) EXPECT_EQ(At(b, p.x, p.y), p.c) << p.x << "," << p.y;
    // Fixed cells keep their look with bcNormal, and show it with bcAll.
    EXPECT_NE(At(b, 60, 10), clRed);
    EXPECT_NE(At(b, 60, 10), clBlue);
    // The empty area right of the cells shows the bitmap too.
    EXPECT_TRUE(At(b, 250, 50) == clRed || At(b, 250, 50) == clBlue);
    f.g->BackGround().SetCells(bcAll);
    b = f.Render();
    EXPECT_TRUE(At(b, 60, 10) == clRed || At(b, 60, 10) == clBlue);
}

TEST(ExGridBackGround, APlacedBitmapStandsOnceWhereItIsPut) {
    PaintForm f;
    SetStripes(*f.g);
    f.g->BackGround().SetDisplay(bdFixed);
    f.g->BackGround().SetLeft(45);
    f.g->BackGround().SetTop(65);
    auto b = f.Render();
    EXPECT_EQ(At(b, 45, 65), clRed);
    EXPECT_EQ(At(b, 49, 69), clBlue);
    EXPECT_EQ(At(b, 52, 65), clWhite);
    EXPECT_EQ(At(b, 45, 72), clWhite);
}

TEST(ExGridBackGround, AGradientSpansTheWholeControl) {
    PaintForm f;
    f.g->SetRowCount(10);
    f.g->BackGround().SetDisplay(bdGradientVert);
    f.g->BackGround().SetColor(clRed);
    f.g->BackGround().SetColorTo(clBlue);
    auto b = f.Render();
    // Column 2 and 3, away from the current cell (1, 1).
    const TColor top = At(b, 100, 25), bottom = At(b, 100, 175);
    EXPECT_GT(GetRValue(top), GetBValue(top));
    EXPECT_GT(GetBValue(bottom), GetRValue(bottom));
    // Across a row the colour does not change.
    EXPECT_EQ(At(b, 100, 25), At(b, 140, 25));
    f.g->BackGround().SetDisplay(bdGradientHorz);
    b = f.Render();
    EXPECT_EQ(At(b, 100, 25), At(b, 100, 175));
    EXPECT_NE(At(b, 100, 25), At(b, 140, 25));
}

TEST(ExGridBackGround, AWholeBackGroundCannotBeAssigned) {
    PaintForm f;
    TBackGround other(nullptr);
    EXPECT_THROW(f.g->SetBackGround(other), EConvertError);
}

}  // namespace
