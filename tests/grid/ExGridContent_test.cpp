#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

bool Any(const Bmp& b, TRect R, const std::function<bool(TColor)>& Test) { return PaintForm::AnyPixel(b, R, Test); }

bool Inked(const Bmp& b, TRect R) { return PaintForm::Inked(b, R); }

// The pixels of R equal those of R moved by Dx.
bool SameAs(const Bmp& b, TRect R, int Dx) { return PaintForm::SameArea(b, b, R, Dx); }

// The content of data cell (c, r) in a grid of 40 x 20 cells.
TRect Cell(int c, int r) { return Rect(c * 40 + 1, r * 20 + 1, c * 40 + 39, r * 20 + 19); }

TEST(ExGridContent, PasswordCellsShowTheirMaskOfEqualLength) {
    PaintForm f;
    f.g->Columns().Items(2)->SetPassword(true);
    f.g->SetCellEx(2, 3, u"abcde");
    f.g->SetCellEx(3, 3, u"*****");
    auto b = f.Render();
    EXPECT_TRUE(Inked(b, Cell(2, 3)));
    EXPECT_TRUE(SameAs(b, Cell(2, 3), 40));

    // A string grid asks its event, and masks with its own character.
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* g = new TExStringGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 250, 150);
    g->SetDefaultColWidth(40);
    g->SetDefaultRowHeight(20);
    g->SetFixedRowHeight(20);
    g->SetColor(clWhite);
    form.Show();
    g->SetPasswordChar(u'#');
    g->OnIsPasswordCell = [](TObject*, int ARow, int ACol, bool& P) { P = ACol == 1 && ARow == 4; };
    g->SetCellEx(1, 4, u"xyz");
    g->SetCellEx(2, 4, u"###");
    g->SetCellEx(3, 4, u"xyz");
    TBitmap sb;
    RenderControlToBitmap(g, sb);
    auto same = [&](int Dx) {
        for (int y = 82; y < 100; ++y)
            for (int x = 42; x < 80; ++x)
                if (sb.Canvas().Pixels(x, y) != sb.Canvas().Pixels(x + Dx, y)) return false;
        return true;
    };
    EXPECT_TRUE(same(40));
    EXPECT_FALSE(same(80));
}

TEST(ExGridContent, LinksShowWithoutTheirSchemeInTheLinkColour) {
    PaintForm f;
    f.g->SetCellEx(1, 3, u"mailto:ab");
    f.g->SetCellEx(2, 3, u"http://ab");
    f.g->SetCellEx(3, 3, u"ab");
    auto blue = [](TColor c) { return GetBValue(c) > 200 && GetRValue(c) < 100; };
    auto b = f.Render();
    EXPECT_FALSE(Any(b, Cell(1, 3), blue));
    EXPECT_FALSE(SameAs(b, Cell(1, 3), 40));

    f.g->SetURLShow(true);
    b = f.Render();
    EXPECT_TRUE(Any(b, Cell(1, 3), blue));
    EXPECT_TRUE(SameAs(b, Cell(1, 3), 40));  // both shown as "ab"
    EXPECT_FALSE(Any(b, Cell(3, 3), blue));   // no link

    f.g->SetURLFull(true);
    b = f.Render();
    EXPECT_FALSE(SameAs(b, Cell(1, 3), 40));
    f.g->SetURLColor(clRed);
    b = f.Render();
    EXPECT_TRUE(Any(b, Cell(1, 3), [](TColor c) { return GetRValue(c) > 200 && GetBValue(c) < 100; }));
}

TEST(ExGridContent, LineBreaksWrapAndEllipsis) {
    PaintForm f;
    f.g->SetRowHeights(3, 40);
    // Cell (1, 3): client 40..80 x 60..100; the second line lies below y 78.
    const TRect second = Rect(41, 80, 79, 99);
    f.g->SetCellEx(1, 3, u"AAA\nBBB");
    struct Case {
        bool wordWrap, multiline, secondLine;
    } cases[] = {
        {false, false, false},
        {false, true, true},
        {true, false, true},
        {true, true, true},
    };
    for (const Case& c : cases) {
        f.g->SetWordWrap(c.wordWrap);
        f.g->SetMultilinecells(c.multiline);
        auto b = f.Render();
        EXPECT_TRUE(Inked(b, Rect(41, 61, 79, 78))) << c.wordWrap << c.multiline;
        EXPECT_EQ(Inked(b, second), c.secondLine) << c.wordWrap << c.multiline;
    }

    // A long text wraps at its blanks only in a wrapping cell.
    f.g->SetMultilinecells(false);
    f.g->SetCellEx(1, 3, u"WW WW WW");
    f.g->SetWordWrap(true);
    EXPECT_TRUE(Inked(f.Render(), second));
    f.g->SetWordWrap(false);
    auto clipped = f.Render();
    EXPECT_FALSE(Inked(clipped, second));

    // A clipped single line ends in an ellipsis.
    f.g->SetEnhTextSize(true);
    auto ellipsis = f.Render();
    EXPECT_FALSE(PaintForm::SameArea(clipped, ellipsis, Rect(41, 61, 79, 78)));
}

TEST(ExGridContent, TheSortedHeaderShowsItsIndicator) {
    PaintForm f;
    f.g->SetCellEx(2, 0, u"A");
    auto gray = [](TColor c) { return c == clGray; };
    const TRect header = Rect(81, 1, 119, 18);
    EXPECT_FALSE(Any(f.Render(), header, gray));
    f.g->SortSettings().SetShow(true);
    f.g->SortSettings().SetColumn(2);
    auto up = f.Render();
    EXPECT_TRUE(Any(up, header, gray));
    EXPECT_FALSE(Any(up, Rect(121, 1, 159, 18), gray));
    f.g->SortSettings().SetDirection(sdDescending);
    auto down = f.Render();
    EXPECT_TRUE(Any(down, header, gray));
    EXPECT_FALSE(PaintForm::SameArea(up, down, Rect(81, 1, 119, 18)));
    // No indicator over a grid of one data row.
    f.g->SetRowCount(2);
    EXPECT_FALSE(Any(f.Render(), header, gray));
}

TEST(ExGridContent, TheFilterRowShowsAGlyphWhereAColumnHasAFilterList) {
    PaintForm f;
    const auto plain = f.Render();
    f.g->Columns().Items(2)->Filter().Add(u"a");
    auto b = f.Render();
    // Header cell (2, 0): client 80..120, its content to x 119; the 16 x 16 glyph at its right.
    const TRect glyph = Rect(104, 1, 119, 17);
    EXPECT_FALSE(PaintForm::SameArea(plain, b, glyph));
    EXPECT_TRUE(PaintForm::SameArea(plain, b, Rect(121, 1, 159, 17)));
    // Only in the filter row.
    f.g->SetFilterDropDownRow(1);
    b = f.Render();
    EXPECT_TRUE(PaintForm::SameArea(plain, b, glyph));
}

TEST(ExGridContent, CommentCellsShowACornerMark) {
    PaintForm f;
    f.g->AddComment(2, 3, u"note");
    f.g->AddColorComment(3, 3, u"other", clBlue);
    auto b = f.Render();
    // Cell (2, 3): content 81..119 x 61..79, the mark in its top-right corner.
    EXPECT_EQ(At(b, 116, 63), clRed);
    EXPECT_EQ(At(b, 156, 63), clBlue);
    EXPECT_EQ(At(b, 100, 63), clWhite);
    f.g->ControlLook().CommentColor = clNone;
    b = f.Render();
    EXPECT_EQ(At(b, 116, 63), clWhite);
}

TEST(ExGridContent, TheSelectionRectangleFramesTheSelectionWithOneResizer) {
    PaintForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.g->SetSelection({1, 1, 3, 2});
    f.g->SetSelectionRectangle(true);
    f.g->SetSelectionRectangleColor(clRed);
    f.g->SetSelectionResizer(true);
    auto b = f.Render();
    // Cells 1..3 x 1..2: client 40..160 x 20..60.
    for (TPoint p : {TPoint{41, 30}, TPoint{41, 50}, TPoint{60, 21}, TPoint{140, 21}, TPoint{100, 59},
                     TPoint{158, 30}, TPoint{158, 50}, TPoint{156, 56}})
        EXPECT_EQ(At(b, p.X, p.Y), clRed) << p.X << "," << p.Y;
    for (TPoint p : {TPoint{100, 30}, TPoint{81, 41}, TPoint{116, 56}, TPoint{60, 70}, TPoint{170, 30}})
        EXPECT_NE(At(b, p.X, p.Y), clRed) << p.X << "," << p.Y;
}

}  // namespace
