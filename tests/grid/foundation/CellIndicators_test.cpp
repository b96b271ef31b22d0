#include "grid/foundation/CellIndicators.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CellIndicators : public ::testing::Test {
protected:
    TBitmap B{120, 60};
    TCanvas& C = B.Canvas();
    void SetUp() override { Clear(); }
    void Clear() {
        C.Brush().SetColor(clWhite);
        C.Brush().SetStyle(bsSolid);
        C.FillRect(Rect(0, 0, 120, 60));
    }
    // The runs of Colour along row Y, as [start, end) pairs.
    std::vector<std::pair<int, int>> Runs(int Y, TColor Colour) {
        std::vector<std::pair<int, int>> R;
        for (int x = 0; x < 120; ++x) {
            if (C.Pixels(x, Y) != Colour) continue;
            if (!R.empty() && R.back().second == x)
                R.back().second = x + 1;
            else
                R.push_back({x, x + 1});
        }
        return R;
    }
    int Count(int Y, TColor Colour) {
        int N = 0;
        for (auto [a, b] : Runs(Y, Colour)) N += b - a;
        return N;
    }
};

TEST_F(CellIndicators, StyledProgressBlocksAndStackedSegments) {
    TProgressDrawInfo Info;
    Info.CompletionSmooth = false;
    Info.ShowGradient = false;
    Info.ShowPercentage = false;
    Info.ShowBorder = true;
    Info.UnCompleteColor = clWhite;
    Info.Level0Color = clRed;
    using Runs_t = std::vector<std::pair<int, int>>;
    const struct {
        int Percent;
        Runs_t Expected;
    } Cases[] = {{50, {{2, 9}, {11, 18}}}, {55, {{2, 9}, {11, 18}, {20, 23}}}, {5, {{2, 3}}}, {2, {}}};
    for (const auto& K : Cases) {
        Clear();
        DrawStyledProgress(C, Rect(0, 0, 42, 10), K.Percent, Info);  // bar length 40
        EXPECT_EQ(Runs(5, clRed), K.Expected) << K.Percent;
    }

    Info.Stacked = true;
    Info.Level1Perc = 50;
    Info.Level2Perc = 80;
    Info.Level1Color = clLime;
    Info.Level3Color = clBlue;
    Info.Level2Color = clYellow;  // not used when stacked
    for (int Len : {40, 37}) {
        Clear();
        DrawStyledProgress(C, Rect(0, 0, Len + 2, 10), 100, Info);
        EXPECT_EQ(Count(5, clRed) + Count(5, clLime) + Count(5, clBlue), Len);
        EXPECT_EQ(Count(5, clYellow), 0);
        EXPECT_EQ(Runs(5, clRed).front().first, 1);
        EXPECT_EQ(Runs(5, clBlue).back().second, Len + 1);
    }
}

TEST_F(CellIndicators, ProgressTextChangesColourWhereTheBarEnds) {
    C.Font().SetSize(14);
    DrawProgressBar(C, Rect(0, 0, 100, 30), clBlue, clWhite, clWhite, clBlue, 50, 0, 0, 0, 100, u"", clNone, false);
    EXPECT_EQ(C.Pixels(10, 15), clBlue);   // the done part
    EXPECT_EQ(C.Pixels(90, 15), clWhite);  // the rest
    const int TW = C.TextWidth(u"50%");
    bool WhiteLeft = false, BlueRight = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 50 - TW / 2; x < 50; ++x) WhiteLeft |= C.Pixels(x, y) == clWhite;
        for (int x = 50; x < 50 + TW / 2; ++x) BlueRight |= C.Pixels(x, y) == clBlue;
    }
    EXPECT_TRUE(WhiteLeft);
    EXPECT_TRUE(BlueRight);

    Clear();
    EXPECT_NO_THROW(DrawProgressBar(C, Rect(0, 0, 100, 30), clBlue, clWhite, clLime, clBlack, 5, 0, 0, 7, 7,
                                    u"%d units", clNone, false));
    EXPECT_EQ(C.Pixels(3, 3), clLime);  // equal limits: nothing done
    Clear();
    DrawProgressBar(C, Rect(0, 0, 100, 30), clBlue, clWhite, clLime, clBlack, 150, 0, 0, 0, 100, u"", clNone, false);
    EXPECT_EQ(C.Pixels(97, 3), clBlue);

    Clear();
    EXPECT_NO_THROW(DrawRangeIndicator(C, Rect(0, 0, 44, 10), 5, 0, true, clRed, clLime));
    EXPECT_EQ(Count(5, clLime), 0);
    DrawRangeIndicator(C, Rect(0, 0, 44, 10), -30, 10, false, clRed, clLime);
    EXPECT_EQ(Runs(5, clRed), (std::vector<std::pair<int, int>>{{2, 22}}));
}

TEST_F(CellIndicators, PieAndShapes) {
    DrawPieIndicator(C, Rect(0, 0, 41, 41), clLime, 25, false);
    EXPECT_EQ(C.Pixels(30, 20), TColor(0x808080));  // the radius to 3 o'clock
    EXPECT_EQ(C.Pixels(28, 10), clLime);
    EXPECT_EQ(C.Pixels(10, 10), clWhite);
    EXPECT_EQ(C.Pixels(28, 30), clWhite);

    Clear();
    DrawCellShape(C, 50, 20, 20, 10, csCircle, clLime, clBlack);
    EXPECT_EQ(C.Pixels(55, 25), clLime);
    EXPECT_EQ(C.Pixels(65, 25), clWhite);
    Clear();
    DrawCellShape(C, 50, 20, 20, 10, csSquare, clLime, clBlack);
    EXPECT_EQ(C.Pixels(51, 21), clBlack);
    EXPECT_EQ(C.Pixels(58, 28), clBlack);
    EXPECT_EQ(C.Pixels(55, 25), clLime);
    EXPECT_EQ(C.Pixels(59, 25), clWhite);
    Clear();
    DrawCellShape(C, 50, 20, 20, 10, TCellShape(19), clLime, clBlack);
    EXPECT_EQ(Count(25, clLime) + Count(25, clBlack), 0);
    for (int S = csRectangle; S <= csHalfStar; ++S) {
        Clear();
        DrawCellShape(C, 10, 10, 30, 30, TCellShape(S), clLime, clBlack);
        EXPECT_GT(Count(25, clBlack) + Count(25, clLime) + Count(12, clBlack) + Count(12, clLime), 0) << S;
    }

    Clear();
    const String Text = u"a wrongg word";
    DrawWavyUnderline(nullptr, C, Text, Rect(0, 0, 120, 30), 10, 2, 6);
    const int X1 = C.TextWidth(u"a "), X2 = C.TextWidth(u"a wrong");
    bool Inside = false, Before = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = X1; x < X2; ++x) Inside |= C.Pixels(x, y) == clRed;
        for (int x = 0; x < X1 - 1; ++x) Before |= C.Pixels(x, y) == clRed;
    }
    EXPECT_TRUE(Inside);
    EXPECT_FALSE(Before);
}

}  // namespace
