// The grid control laid out right to left: its picture is the mirror of the
// left-to-right one, and the parts of a cell the mouse finds (a button, the
// selection grip) stand where the mirrored picture shows them.

#include "grid/ExGrid.h"

#include "framework/Simulate.h"
#include "framework/Windows.h"
#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A 4 x 4 grid without scroll bars, the text of cell (3, 3) and a button in cell (2, 2).
struct RtlGrid : GridOnForm<> {
    RtlGrid() : GridOnForm<>(300, 120) {
        g->SetScrollBars(ssNone);
        g->SetColCount(4);
        g->SetRowCount(4);
        g->SetDefaultColWidth(64);
        g->SetDefaultRowHeight(24);
        g->SetCells(3, 3, u"Meter");
        g->AddButton(2, 2, 30, 14, u"Go", haLeft, vaCenter);
        g->SetOptions(g->Options() + TGridOptions{goEditing});  // a button works in an editable cell
    }
};

// The span of dark (text) pixels inside R; "no ink" when there are none.
std::string Ink(TBitmap& B, const TRect& R, int& Left, int& Right) {
    Left = R.Right;
    Right = -1;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X) {
            const TColor P = B.Canvas().Pixels(X, Y);
            if (GetRValue(P) < 0x60 && GetGValue(P) < 0x60 && GetBValue(P) < 0x60) {
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
        }
    return Right < 0 ? "no ink" : "";
}

TEST(ExGridRightToLeft, TextAndButtonStandAtTheMirroredPlaceAndAnswerThere) {
    RtlGrid f;
    TExStringGrid* g = f.g;
    const int W = g->ClientWidth();
    int clicks = 0;
    g->OnButtonClick = [&](TObject*, int c, int r) { clicks += c == 2 && r == 2; };
    TBitmap Ltr;
    RenderControlToBitmap(g, Ltr);
    const TRect ButtonLtr = g->GetCellButtonRect(2, 2);

    g->SetBiDiMode(bdRightToLeft);
    TBitmap Rtl;
    RenderControlToBitmap(g, Rtl);

    // The button: its rectangle is the mirror of the left-to-right one, and a click there presses it.
    const TRect Button = g->GetCellButtonRect(2, 2);
    EXPECT_EQ(Button, (TRect{W - ButtonLtr.Right, ButtonLtr.Top, W - ButtonLtr.Left, ButtonLtr.Bottom}));
    SimulateClick(g, (Button.Left + Button.Right) / 2, (Button.Top + Button.Bottom) / 2);
    EXPECT_EQ(clicks, 1);
    // The button's face is painted there: the rows through its middle hold the same colours as the
    // left-to-right picture's mirrored place.
    const int Y = (Button.Top + Button.Bottom) / 2;
    int Same = 0;
    for (int X = Button.Left + 2; X < Button.Right - 2; ++X)
        Same += Rtl.Canvas().Pixels(X, Y - 5) == Ltr.Canvas().Pixels(W - 1 - X, Y - 5);
    EXPECT_GE(Same, Button.Right - Button.Left - 6);

    // The text keeps its reading direction and stands at the cell's right, the screen's leading
    // side: its ink ends where the left-to-right ink starts, mirrored.
    const TRect Cell33 = g->CellRect(3, 3);
    const TRect Band{0, Cell33.Top + 3, W, Cell33.Bottom - 3};
    int L = 0, R = 0, LtrL = 0, LtrR = 0;
    ASSERT_EQ(Ink(Rtl, TRect{Band.Left, Band.Top, W / 2, Band.Bottom}, L, R), "");
    ASSERT_EQ(Ink(Ltr, TRect{W / 2, Band.Top, W, Band.Bottom}, LtrL, LtrR), "");
    EXPECT_NEAR(R, W - 1 - LtrL, 4);  // the glyphs' side bearings differ at the two ends
    EXPECT_GT(R - L, 20);
}

TEST(ExGridRightToLeft, TheSelectionGripStandsAtTheSelectionsLeftCorner) {
    RtlGrid f;
    TExStringGrid* g = f.g;
    g->SetSelectionRectangle(true);
    g->SetSelectionResizer(true);
    TGridRect one;
    one.Left = one.Right = 1;
    one.Top = one.Bottom = 1;
    g->SetSelection(one);
    g->SetBiDiMode(bdRightToLeft);
    const TRect Cell = g->CellRect(1, 1);
    // The screen's bottom-left corner of the cell takes the grip; the bottom-right one no longer.
    SimulateMouseMove(g, Cell.Left + 2, Cell.Bottom - 3);
    EXPECT_EQ(g->MouseSelectMode(), msResize);
    SimulateMouseMove(g, Cell.Right - 3, Cell.Bottom - 3);
    EXPECT_NE(g->MouseSelectMode(), msResize);
}

}  // namespace
