// Graphics placed before or after a cell's text, above or under it, or over
// the whole cell: where they are painted, where the text moves to, where the
// mouse finds a button, and what size-to-content measures.
#include "grid/ExCGrid.h"

#include "framework/Graphics.h"

#include "PaintForm.h"
#include "support/TempDir.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

// Cell (2, 3) made 120 x 40: client 80..200 x 60..100; the graphic's area
// (the content less the offset) is 82..198 x 62..98, the text starts at 83.
struct WideCell : PaintForm {
    TBitmap red{8, 8};
    WideCell() {
        g->SetColWidths(2, 120);
        g->SetRowHeights(3, 40);
        red.Canvas().Brush().SetColor(clRed);
        red.Canvas().FillRect(Rect(0, 0, 8, 8));
    }
    int TextWidth(const String& Text) {
        TBitmap m(1, 1);
        m.Canvas().Font().Assign(&g->Font());
        return m.Canvas().TextWidth(Text);
    }
    void Align(TAlignment A) { g->GetCellProperties(2, 3)->SetAlignment(A); }
};

// The first and last column, and the first row, of text ink (neither white
// nor the red graphic) in R; -1 when there is none.
struct Ink {
    int Left = -1, Right = -1, Top = -1;
};
Ink TextInk(const Bmp& b, TRect R) {
    Ink ink;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) {
            const TColor c = At(b, x, y);
            if (c == clWhite || c == clRed) continue;
            if (ink.Left < 0 || x < ink.Left) ink.Left = x;
            if (x > ink.Right) ink.Right = x;
            if (ink.Top < 0 || y < ink.Top) ink.Top = y;
        }
    return ink;
}

// The top-left corner of the red 8 x 8 square in R.
TPoint RedAt(const Bmp& b, TRect R) {
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (At(b, x, y) == clRed) return {x, y};
    return {-1, -1};
}

const TRect Content = Rect(81, 61, 199, 99);

TEST(ExGridGraphicPlace, BitmapsStandByAlignmentAndTheTextMakesRoom) {
    WideCell f;
    const String text = u"WW";
    const int tw = f.TextWidth(text), t = tw + 2;
    struct Case {
        const char* name;
        TAlignment textAlign;
        TCellHAlign ha;
        TCellVAlign va;
        TPoint at;             // the bitmap's top-left corner
        int textLeftMin = -1;  // the text starts at or right of this
        int textRightMax = -1; // the text ends left of this
        int textTopMin = -1;   // the text starts at or below this
    } cases[] = {
        {"left top", taLeftJustify, haLeft, vaTop, {83, 63}},
        {"right bottom", taLeftJustify, haRight, vaBottom, {189, 89}},
        {"centre", taLeftJustify, haCenter, vaCenter, {136, 76}},
        {"before left text", taLeftJustify, haBeforeText, vaTop, {83, 63}, 91},
        {"after left text", taLeftJustify, haAfterText, vaTop, {82 + t, 63}, -1, 82 + t},
        {"full", taLeftJustify, haFull, vaFull, {82, 62}},
        {"above the text", taLeftJustify, haLeft, vaAboveText, {83, 63}, -1, -1, 70},
        {"under the text", taLeftJustify, haLeft, vaUnderText, {83, 90}},
        {"before right text", taRightJustify, haBeforeText, vaTop, {198 - t - 8, 63}, 198 - t},
        {"after right text", taRightJustify, haAfterText, vaTop, {189, 63}, -1, 189},
        {"before centred text", taCenter, haBeforeText, vaTop, {82 + (116 - t - 8) / 2, 63}, 82 + (116 - t - 8) / 2 + 8},
        {"after centred text", taCenter, haAfterText, vaTop, {82 + t + (116 - t - 8) / 2, 63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->SetCellEx(2, 3, text);
        f.Align(c.textAlign);
        f.g->AddBitmap(2, 3, &f.red, false, c.ha, c.va);
        const auto r = f.Render();
        EXPECT_EQ(RedAt(r, Content).X, c.at.X);
        EXPECT_EQ(RedAt(r, Content).Y, c.at.Y);
        const Ink ink = TextInk(r, Content);
        ASSERT_GE(ink.Left, 0) << "the text is drawn";
        if (c.textLeftMin >= 0) EXPECT_GE(ink.Left, c.textLeftMin);
        if (c.textRightMax >= 0) EXPECT_LT(ink.Right, c.textRightMax);
        if (c.textTopMin >= 0) EXPECT_GE(ink.Top, c.textTopMin);
    }
    // Without text a graphic after it keeps one pixel off the edge.
    f.g->SetCellEx(2, 3, u"");
    f.Align(taLeftJustify);
    f.g->AddBitmap(2, 3, &f.red, false, haAfterText, vaTop);
    EXPECT_EQ(RedAt(f.Render(), Content).X, 83);
}

TEST(ExGridGraphicPlace, ButtonsAreFoundWhereTheyArePainted) {
    WideCell f;
    struct Case {
        const char* name;
        TCellHAlign ha;
        TCellVAlign va;
        TRect hit;  // client coordinates
    } cases[] = {
        {"left top", haLeft, vaTop, Bounds(83, 63, 30, 14)},
        {"right bottom", haRight, vaBottom, Bounds(167, 83, 30, 14)},
        {"centre", haCenter, vaCenter, Bounds(125, 73, 30, 14)},
        {"full width", haFull, vaTop, Rect(80, 63, 200, 77)},
        {"full height", haLeft, vaFull, Rect(83, 60, 113, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->AddButton(2, 3, 30, 14, u"", c.ha, c.va);
        const auto r = f.Render();
        const TRect hit = f.g->GetCellButtonRect(2, 3);
        EXPECT_EQ(hit.Left, c.hit.Left);
        EXPECT_EQ(hit.Top, c.hit.Top);
        EXPECT_EQ(hit.Right, c.hit.Right);
        EXPECT_EQ(hit.Bottom, c.hit.Bottom);
        // The face covers the middle of the hit rectangle, the cell outside it stays white.
        EXPECT_NE(At(r, (hit.Left + hit.Right) / 2, (hit.Top + hit.Bottom) / 2), clWhite);
        if (c.ha != haFull && hit.Left > 84) EXPECT_EQ(At(r, hit.Left - 2, (hit.Top + hit.Bottom) / 2), clWhite);
        if (c.va != vaFull && hit.Top > 64) EXPECT_EQ(At(r, (hit.Left + hit.Right) / 2, hit.Top - 2), clWhite);
    }
}

TEST(ExGridGraphicPlace, SizesCountBesideOrOverTheText) {
    WideCell f;
    TBitmap big(9, 7);
    const int go = f.TextWidth(u"Go") + 4;
    struct Case {
        const char* name;
        std::function<void()> add;
        const char16_t* text;
        TPoint size;
    } cases[] = {
        {"bitmap alone", [&] { f.g->AddBitmap(2, 3, &big, false, haLeft, vaTop); }, u"", {9, 7}},
        {"bitmap under text", [&] { f.g->AddBitmap(2, 3, &big, false, haLeft, vaTop); }, u"x", {0, 0}},
        {"bitmap before text", [&] { f.g->AddBitmap(2, 3, &big, false, haBeforeText, vaTop); }, u"x", {9, 0}},
        {"bitmap above text", [&] { f.g->AddBitmap(2, 3, &big, false, haLeft, vaAboveText); }, u"x", {0, 7}},
        {"bitmap after and under", [&] { f.g->AddBitmap(2, 3, &big, false, haAfterText, vaUnderText); }, u"x", {9, 7}},
        {"bitmap over the cell", [&] { f.g->AddBitmap(2, 3, &big, false, haFull, vaFull); }, u"x", {120, 40}},
        {"button over text", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haLeft, vaAboveText); }, u"x", {0, 14}},
        {"button centred on text", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haCenter, vaTop); }, u"x", {0, 0}},
        {"button full with caption", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haFull, vaTop); }, u"x", {go, 0}},
        {"bare button full with caption", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haFull, vaTop); }, u"", {go, 14}},
        {"bare button full without caption", [&] { f.g->AddButton(2, 3, 30, 14, u"", haFull, vaTop); }, u"",
         {120, 14}},
        {"rating keeps its stars", [&] { f.g->AddRating(2, 3, 4, clRed, clGray); }, u"2", {72, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->SetCellEx(2, 3, c.text);
        c.add();
        const TPoint p = f.g->GetCellGraphicSize(2, 3);
        EXPECT_EQ(p.X, c.size.X);
        EXPECT_EQ(p.Y, c.size.Y);
    }
    // A stretched picture fills the cell less the offsets, less the height kept free.
    TPicture pic;
    pic.Bitmap().SetSize(10, 10);
    f.g->AddPicture(2, 3, &pic, false, Stretch, 0, haLeft, vaTop);
    EXPECT_EQ(f.g->CalcCellGraphicSize(2, 3, 0).X, 115);
    EXPECT_EQ(f.g->CalcCellGraphicSize(2, 3, 0).Y, 35);
    EXPECT_EQ(f.g->CalcCellGraphicSize(2, 3, 5).Y, 30);
}

TEST(ExGridGraphicPlace, SizingToContentsMakesRoomForAGraphicBesideTheText) {
    WideCell f;
    TBitmap wide(30, 8);
    f.g->SetCellEx(2, 3, u"WW");
    const int text = f.TextWidth(u"WW");
    // Text, offsets, grid lines and 2 more; the graphic beside the text adds its width.
    f.g->AddBitmap(2, 3, &wide, false, haLeft, vaTop);
    f.g->SizeColToContents(2, false);
    const int plain = f.g->ColWidths(2);
    EXPECT_EQ(plain, text + 4 + 2 + 2);
    f.g->AddBitmap(2, 3, &wide, false, haBeforeText, vaTop);
    f.g->SizeColToContents(2, false);
    EXPECT_EQ(f.g->ColWidths(2), plain + 30);
    // Over the whole width the graphic asks for the column's width less the
    // lines, 2 and the offset, to which the sizing adds both offsets, the lines and 2.
    f.g->SetColWidths(2, 90);
    f.g->AddBitmap(2, 3, &wide, false, haFull, vaTop);
    f.g->SizeColToContents(2, false);
    EXPECT_EQ(f.g->ColWidths(2), 92);
    // Above the text, the row grows by the graphic's height.
    TBitmap tall(8, 30);
    f.g->AddBitmap(2, 3, &tall, false, haLeft, vaTop);
    f.g->SizeRowToContents(3, false);
    const int row = f.g->RowHeights(3);
    f.g->AddBitmap(2, 3, &tall, false, haLeft, vaAboveText);
    f.g->SizeRowToContents(3, false);
    EXPECT_EQ(f.g->RowHeights(3), row + 30);
}

}  // namespace

namespace {

Bmp Solid(TColor C, int W, int H) {
    auto b = std::make_unique<TBitmap>(W, H);
    b->Canvas().Brush().SetColor(C);
    b->Canvas().FillRect(Rect(0, 0, W, H));
    return b;
}

TEST(ExGridGraphicPlace, FilePicturesAreReadFromTheirFileAndFitted) {
    TempDir dir;
    const String path = Utf8ToString(dir.file("blue.bmp"));
    Solid(clBlue, 20, 10)->SaveToFile(path);
    WideCell f;
    TFilePicture* p = f.g->CreateFilePicture(2, 3, false, noStretch, 0, haRight, vaTop);
    p->SetFilename(path);
    EXPECT_EQ(f.g->GetFilePicture(2, 3), p);
    EXPECT_EQ(f.g->GetCellType(2, 3), ctFilePicture);
    EXPECT_EQ(f.g->GetCellGraphicSize(2, 3).X, 20);
    EXPECT_EQ(f.g->GetCellGraphicSize(2, 3).Y, 10);
    auto r = f.Render();
    // At its own size, ending one pixel inside the right edge: 177..197 x 63..73.
    EXPECT_EQ(At(r, 177, 63), clBlue);
    EXPECT_EQ(At(r, 196, 72), clBlue);
    EXPECT_EQ(At(r, 175, 65), clWhite);
    EXPECT_EQ(At(r, 186, 74), clWhite);

    // Fitted to the cell keeping its shape: 115 x 35 holds 70 x 35.
    TFilePicture own;
    own.SetFilename(path);
    f.g->AddFilePicture(2, 3, &own, false, StretchWithAspectRatio, 0, haLeft, vaTop);
    EXPECT_EQ(f.g->GetCellGraphicSize(2, 3).X, 70);
    EXPECT_EQ(f.g->GetCellGraphicSize(2, 3).Y, 35);
    r = f.Render();
    EXPECT_EQ(At(r, 83, 63), clBlue);
    EXPECT_EQ(At(r, 152, 97), clBlue);
    EXPECT_EQ(At(r, 155, 80), clWhite);
    EXPECT_EQ(f.g->GetFilePicture(2, 4), nullptr);

    // A file removed after it was named leaves the cell blank, not the paint broken.
    std::remove(dir.file("blue.bmp").c_str());
    r = f.Render();
    EXPECT_EQ(At(r, 90, 70), clWhite);
    f.g->RemoveFilePicture(2, 3);
    EXPECT_EQ(f.g->GetCellType(2, 3), ctEmpty);
    EXPECT_EQ(own.Width(), 20) << "the caller's file picture lives on";
}

TEST(ExGridGraphicPlace, BitButtonsShowTheirGlyphBeforeTheCaptionOrCentred) {
    WideCell f;
    // Drawn transparently: the corner colour around a lime middle does not show.
    Bmp lime = Solid(clFuchsia, 8, 8);
    lime->Canvas().Brush().SetColor(clLime);
    lime->Canvas().FillRect(Rect(1, 1, 7, 7));
    // A 60 x 20 button at the cell's left top: 83..143 x 63..83.
    struct Case {
        const char* name;
        const char16_t* caption;
        int glyphX;  // the glyph's left edge
    } cases[] = {{"with caption", u"Go", 83 + 3}, {"alone", u"", 83 + (60 - 8) / 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->AddBitButton(2, 3, 60, 20, c.caption, lime.get(), haLeft, vaTop);
        EXPECT_TRUE(f.g->HasButton(2, 3));
        EXPECT_EQ(f.g->GetCellType(2, 3), ctBitButton);
        const auto r = f.Render();
        // Vertically centred (63 + 6), its middle at + 1 .. + 6.
        EXPECT_EQ(At(r, c.glyphX + 1, 70), clLime);
        EXPECT_EQ(At(r, c.glyphX + 6, 75), clLime);
        EXPECT_NE(At(r, c.glyphX, 70), clLime);
        EXPECT_NE(At(r, c.glyphX + 1, 69), clLime);
        EXPECT_NE(At(r, c.glyphX, 69), clFuchsia);
        const TRect hit = f.g->GetCellButtonRect(2, 3);
        EXPECT_EQ(hit.Left, 83);
        EXPECT_EQ(hit.Right, 143);
    }
    // The caption stands after the glyph.
    f.g->AddBitButton(2, 3, 60, 20, u"Go", lime.get(), haLeft, vaTop);
    const auto withCaption = f.Render();
    bool ink = false;
    for (int x = 98; x < 140 && !ink; ++x)
        for (int y = 66; y < 80 && !ink; ++y) ink = At(withCaption, x, y) == clBtnText || At(withCaption, x, y) == clBlack;
    EXPECT_TRUE(ink);

    // Created glyphs belong to the cell; removing a bit button leaves a plain button alone.
    TBitmap* own = f.g->CreateBitButton(2, 3, 60, 20, u"", haCenter, vaCenter);
    own->Assign(lime.get());
    EXPECT_EQ(f.g->GetCellType(2, 3), ctBitButton);
    f.g->RemoveBitButton(2, 3);
    EXPECT_FALSE(f.g->HasButton(2, 3));
    f.g->AddButton(2, 3, 30, 14, u"x", haLeft, vaTop);
    f.g->RemoveBitButton(2, 3);
    EXPECT_TRUE(f.g->HasButton(2, 3));
    f.g->RemoveButton(2, 3);
    EXPECT_FALSE(f.g->HasButton(2, 3));
    f.g->AddBitButton(2, 3, 30, 14, u"x", lime.get(), haLeft, vaTop);
    f.g->RemoveButton(2, 3);
    EXPECT_FALSE(f.g->HasButton(2, 3));
    EXPECT_EQ(lime->Width(), 8);
}

}  // namespace

namespace {

TEST(ExGridGraphicPlace, MarkupPicturesNamedByAddressAreLoadedOnceIntoTheGridsCache) {
    TempDir dir;
    Solid(clBlue, 12, 12)->SaveToFile(Utf8ToString(dir.file("pic.bmp")));
    const String source = u"file://" + Utf8ToString(dir.file("pic.bmp"));
    WideCell f;
    EXPECT_EQ(f.g->ImageCache().Count(), 0);
    f.g->SetCellEx(2, 3, u"<b>x</b><IMG src=\"" + source + u"\">");
    auto r = f.Render();
    ASSERT_EQ(f.g->ImageCache().Count(), 1);
    EXPECT_EQ(f.g->ImageCache().GetPicture(0)->ID(), source);
    EXPECT_TRUE(PaintForm::AnyPixel(r, Content, [](TColor c) { return c == clBlue; }));
    // Painted again, and in a second cell: still the one picture.
    f.g->SetCellEx(2, 4, u"<IMG src=\"" + source + u"\">");
    r = f.Render();
    EXPECT_EQ(f.g->ImageCache().Count(), 1);
    EXPECT_TRUE(PaintForm::AnyPixel(r, Rect(81, 101, 119, 119), [](TColor c) { return c == clBlue; }));
}

}  // namespace

namespace {

TEST(ExGridGraphicPlace, TheLayoutSaysWhetherTheTextStandsBesideTheGraphic) {
    WideCell f;
    TImageList images(12, 10);
    f.g->SetGridImages(&images);
    TBitmap glyph(9, 7);
    struct Case {
        const char* name;
        std::function<void()> add;
        bool text;
        TPoint size;
        TCellHAlign ha;
    } cases[] = {
        {"bitmap", [&] { f.g->AddBitmap(2, 3, &glyph, false, haAfterText, vaTop); }, true, {9, 7}, haAfterText},
        {"list image", [&] { f.g->AddImageIdx(2, 3, 0, haBeforeText, vaTop); }, true, {12, 10}, haBeforeText},
        {"data image", [&] { f.g->AddDataImage(2, 3, 0, haLeft, vaTop); }, false, {12, 10}, haLeft},
        {"button", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haRight, vaTop); }, true, {30, 14}, haRight},
        {"pie before the text", [&] { f.g->AddProgressPie(2, 3, clRed, 50); }, true, {20, 20}, haBeforeText},
        {"progress", [&] { f.g->AddProgress(2, 3, clRed, clBlue); }, false, {0, 0}, haLeft},
        {"rating over the width", [&] { f.g->AddRating(2, 3, 3, clRed, clGray); }, false, {54, 16}, haFull},
        {"shape of the row's height", [&] { f.g->AddShape(2, 3, csCircle, clRed, clBlack, haLeft, vaTop); }, true,
         {36, 36}, haLeft},
        {"check box before the text", [&] { f.g->AddCheckBox(2, 3, true); }, true, {15, 15}, haBeforeText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.add();
        const TCellGraphicLayout l = f.g->GetCellGraphicLayout(2, 3);
        ASSERT_NE(l.Graphic, nullptr);
        EXPECT_EQ(l.TextBeside, c.text);
        EXPECT_EQ(l.Width, c.size.X);
        EXPECT_EQ(l.Height, c.size.Y);
        EXPECT_EQ(l.HAlign, c.ha);
    }
    const TCellGraphicLayout none = f.g->GetCellGraphicLayout(4, 4);
    EXPECT_EQ(none.Graphic, nullptr);
    EXPECT_TRUE(none.TextBeside);
    EXPECT_EQ(none.Width, 0);
    f.g->SetGridImages(nullptr);
}

}  // namespace

namespace {

TEST(ExGridGraphicPlace, GraphicsOfFixedCellsStandOnePixelLower) {
    WideCell f;
    // Header cell (2, 0): 80..200 x 0..20; a fixed cell keeps its left and top
    // edge, so the graphic's area starts at (81, 1) and one pixel lower.
    f.g->AddBitmap(2, 0, &f.red, false, haLeft, vaTop);
    f.g->AddBitmap(2, 3, &f.red, false, haLeft, vaTop);
    const auto r = f.Render();
    EXPECT_EQ(RedAt(r, Rect(80, 0, 200, 20)).X, 82);
    EXPECT_EQ(RedAt(r, Rect(80, 0, 200, 20)).Y, 3);
    EXPECT_EQ(RedAt(r, Content).Y, 63);
}

}  // namespace

namespace {

TEST(ExGridGraphicPlace, TheSortIndicatorStandsAfterAGraphicAtTheLeft) {
    WideCell f;
    f.g->SetCellEx(2, 0, u"A");
    f.g->SortSettings().SetShow(true);
    f.g->SortSettings().SetColumn(2);
    const TRect header = Rect(81, 1, 199, 18);
    auto firstGray = [&] {
        const auto r = f.Render();
        for (int x = header.Left; x < header.Right; ++x)
            for (int y = header.Top; y < header.Bottom; ++y)
                if (At(r, x, y) == clGray) return x;
        return -1;
    };
    const int plain = firstGray();
    ASSERT_GT(plain, 0);
    TBitmap blue(12, 8);
    blue.Canvas().Brush().SetColor(clBlue);
    blue.Canvas().FillRect(Rect(0, 0, 12, 8));
    f.g->AddBitmap(2, 0, &blue, false, haLeft, vaTop);
    EXPECT_EQ(firstGray(), plain + 12);
    // Before the text, the text moves and the indicator with it.
    f.g->AddBitmap(2, 0, &blue, false, haBeforeText, vaTop);
    EXPECT_EQ(firstGray(), plain + 12);
    f.g->AddBitmap(2, 0, &blue, false, haRight, vaTop);
    EXPECT_EQ(firstGray(), plain);
}

}  // namespace
