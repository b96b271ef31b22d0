// Images of the grid's list in cells, placed by their alignment and rendered
// in place of the text, and the double click reported with its cell.
#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A column grid of 40 x 20 cells with a list of two plain 16 x 16 images,
// red and blue.
struct ImageForm {
    TForm form{nullptr};
    TImageList images{16, 16};
    TExColumnGrid* g;
    ImageForm() {
        for (TColor c : {clRed, clBlue}) {
            TBitmap b;
            b.SetSize(16, 16);
            b.Canvas().Brush().SetColor(c);
            b.Canvas().FillRect(TRect{0, 0, 16, 16});
            images.Add(&b, nullptr);
        }
        form.SetBounds(0, 0, 400, 300);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(10, 10, 300, 200);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        g->SetColCount(5);
        g->SetRowCount(6);
        g->SetGridImages(&images);
        form.Show();
    }
    // The grid rendered, and the colour at its client point (x, y) (border 2).
    void Render() { RenderControlToBitmap(g, shot); }
    TColor At(int x, int y) { return shot.Canvas().Pixels(x + 2, y + 2); }
    TBitmap shot;
};

}  // namespace

TEST(ExGridImages, ImageStandsWhereItsAlignmentSaysInPlaceOfTheText) {
    ImageForm f;
    f.g->SetCellEx(1, 1, u"hidden");
    f.g->AddImageIdx(1, 1, 0, taCenter, vtaCenter);  // cell x 40..80, y 20..40: image at 52..68, 22..38
    f.g->AddImageIdx(2, 2, 1, taLeftJustify, vtaTop);  // cell x 80..120, y 40..60
    EXPECT_EQ(f.g->GetImageIdx(1, 1), 0);
    EXPECT_EQ(f.g->GetImageIdx(2, 2), 1);
    EXPECT_EQ(f.g->GetImageIdx(3, 3), -1);
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"hidden") << "the text stays";
    f.Render();
    EXPECT_EQ(f.At(60, 30), clRed);
    EXPECT_EQ(f.At(53, 23), clRed);
    EXPECT_EQ(f.At(45, 30), clWhite);
    EXPECT_EQ(f.At(75, 30), clWhite);
    EXPECT_EQ(f.At(85, 45), clBlue);
    EXPECT_EQ(f.At(110, 45), clWhite);
    // An index the list does not have draws nothing; removing shows the text again.
    f.g->AddImageIdx(2, 2, 7, taLeftJustify, vtaTop);
    f.Render();
    EXPECT_EQ(f.At(85, 45), clWhite);
    f.g->RemoveImageIdx(1, 1);
    EXPECT_EQ(f.g->GetImageIdx(1, 1), -1);
    f.Render();
    int text = 0;
    for (int x = 42; x < 78; ++x)
        for (int y = 22; y < 38; ++y) {
            const TColor c = f.At(x, y);
            EXPECT_NE(c, clRed);
            text += c != clWhite;
        }
    EXPECT_GT(text, 20);
    EXPECT_THROW(f.g->AddImageIdx(5, 1, 0, taCenter, vtaCenter), Exception);
}

TEST(ExGridImages, DoubleClickReportsItsCell) {
    ImageForm f;
    std::vector<std::pair<int, int>> clicks;
    f.g->OnDblClickCell = [&](TObject*, int row, int col) { clicks.emplace_back(row, col); };
    const TRect r = f.g->CellRect(2, 3);
    SimulateDblClick(f.g, r.Left + 5, r.Top + 5);
    SimulateDblClick(f.g, 290, 190);  // below and right of every cell
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{3, 2}}));
}
