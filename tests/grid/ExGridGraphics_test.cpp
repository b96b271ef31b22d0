#include "grid/ExCGrid.h"

#include "framework/Graphics.h"

#include "IconBytes.h"
#include "PaintForm.h"

#include <gtest/gtest.h>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

bool AllWhite(const Bmp& b, TRect R) { return !PaintForm::Inked(b, R); }

// Cell (2, 3): client 80..120 x 60..80, content 81..119 x 61..79.
const TRect Cell23 = Rect(81, 61, 119, 79);

TEST(ExGridGraphics, BitmapsStandWhereTheirAlignmentPutsThem) {
    PaintForm f;
    TBitmap* b = f.g->CreateBitmap(2, 3, false, haLeft, vaTop);
    b->SetSize(8, 8);
    b->Canvas().Brush().SetColor(clRed);
    b->Canvas().FillRect(Rect(0, 0, 8, 8));
    EXPECT_TRUE(f.g->HasBitmap(2, 3));
    EXPECT_EQ(f.g->GetBitmap(2, 3), b);
    auto r = f.Render();
    // Inset by the offset less one, then one pixel in: from (83, 63).
    EXPECT_EQ(At(r, 83, 63), clRed);
    EXPECT_EQ(At(r, 90, 70), clRed);
    EXPECT_EQ(At(r, 92, 63), clWhite);

    // A caller's bitmap, right and bottom: it ends one pixel inside.
    TBitmap own(8, 8);
    own.Canvas().Brush().SetColor(clBlue);
    own.Canvas().FillRect(Rect(0, 0, 8, 8));
    f.g->AddBitmap(2, 3, &own, false, haRight, vaBottom);
    r = f.Render();
    EXPECT_EQ(At(r, 116, 76), clBlue);
    EXPECT_EQ(At(r, 109, 69), clBlue);
    EXPECT_EQ(At(r, 85, 65), clWhite);
    f.g->RemoveBitmap(2, 3);
    EXPECT_FALSE(f.g->HasBitmap(2, 3));
    EXPECT_EQ(own.Width(), 8);  // the caller's bitmap lives on
    EXPECT_TRUE(AllWhite(f.Render(), Cell23));
}

TEST(ExGridGraphics, ProgressBarsSplitAtTheCellsValue) {
    PaintForm f;
    f.g->SetColWidths(2, 120);
    f.g->SetCellEx(2, 3, u"50");
    f.g->AddProgress(2, 3, clRed, clBlue);
    EXPECT_TRUE(f.g->HasProgress(2, 3));
    // Cell (2, 3) is now 80..200 wide. Inset 2 and the margins 2: the bar
    // covers 85..195 x 65..75, framed in gray; its value text stands in the middle.
    struct Case {
        const char16_t* value;
        TColor left, right;
    } cases[] = {{u"50", clRed, clBlue}, {u"0", clBlue, clBlue}, {u"100", clRed, clRed}, {u"250", clRed, clRed}};
    for (const Case& c : cases) {
        f.g->SetCellEx(2, 3, c.value);
        auto r = f.Render();
        EXPECT_EQ(At(r, 86, 66), c.left);
        EXPECT_EQ(At(r, 192, 66), c.right);
        EXPECT_EQ(At(r, 84, 70), clGray);
    }
    f.g->RemoveProgress(2, 3);
    EXPECT_FALSE(f.g->HasProgress(2, 3));
}

TEST(ExGridGraphics, ButtonsShowTheirFacePushedOrNot) {
    PaintForm f;
    f.g->AddButton(2, 3, 30, 14, u"Go", haCenter, vaCenter);
    EXPECT_TRUE(f.g->HasButton(2, 3));
    EXPECT_EQ(f.g->GetButtonText(2, 3), u"Go");
    auto normal = f.Render();
    EXPECT_FALSE(AllWhite(normal, Cell23));
    f.g->PushButton(2, 3, true);
    auto pushed = f.Render();
    EXPECT_FALSE(PaintForm::SameArea(normal, pushed, Cell23));
    f.g->SetButtonText(2, 3, u"Stop");
    EXPECT_EQ(f.g->GetButtonText(2, 3), u"Stop");
    f.g->RemoveAllButtons();
    EXPECT_FALSE(f.g->HasButton(2, 3));
    EXPECT_TRUE(AllWhite(f.Render(), Cell23));
}

}  // namespace

namespace {

Bmp Filled(TColor C, int W = 8, int H = 8) {
    auto b = std::make_unique<TBitmap>(W, H);
    b->Canvas().Brush().SetColor(C);
    b->Canvas().FillRect(Rect(0, 0, W, H));
    return b;
}

// A list of 8 x 8 images: red, green, blue.
struct Images {
    TImageList list{8, 8};
    Images() {
        for (TColor c : {clRed, clLime, clBlue}) list.Add(Filled(c).get(), nullptr);
    }
};

TEST(ExGridGraphics, RadioGroupsShowTheChosenOption) {
    // Vintage items are diamonds; the chosen one carries a small one in the look's colour.
    PaintForm f;
    f.g->SetColWidths(2, 120);
    f.g->SetRowHeights(3, 80);
    f.g->ControlLook().ControlStyle = csVintage;
    f.g->ControlLook().Color = clRed;
    TBitmap probe(1, 1);
    probe.Canvas().Font().Assign(&f.g->Font());
    const int line = std::max(16, probe.Canvas().TextHeight(u"gh"));
    // The cell's content is 82..198 x 62..138: side by side, item i at
    // 84 + 16 (i - 1) (no texts), centred at 92; stacked, item i at 84,
    // 64 + (i - 1) lines.
    struct Case {
        bool horizontal;
        int index;
        const char16_t* text;
        int on;  // 0: none
    } cases[] = {{true, 0, u"", 1}, {true, 2, u"", 3}, {true, -1, u"", 0}, {false, 1, u"", 2},
                 {false, -1, u"B", 2}, {false, -1, u"C", 3}, {false, -1, u"b", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.horizontal << " " << c.index);
        TStringList* items = f.g->CreateRadio(2, 3, c.horizontal ? 1 : 0, c.index);
        for (const char16_t* t : {u"A", u"B", u"C"}) items->Add(c.horizontal ? String() : String(t));
        f.g->SetCellEx(2, 3, c.text);
        f.g->Invalidate();
        auto r = f.Render();
        for (int i = 1; i <= 3; ++i) {
            const int x = c.horizontal ? 84 + 16 * (i - 1) : 84, y = c.horizontal ? 92 : 64 + (i - 1) * line;
            const TColor mid = At(r, x + 8, y + 8);
            EXPECT_EQ(mid == clRed, i == c.on) << i;
        }
    }
    EXPECT_TRUE(f.g->IsRadio(2, 3));
    f.g->SetRadioIdx(2, 3, 1);
    EXPECT_EQ(f.g->GetRadioIdx(2, 3), 1);
    EXPECT_EQ(f.g->GetRadioStrings(2, 3)->Count(), 3);
    f.g->SetRadioIdx(2, 3, -1);
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"");
    f.g->RemoveRadio(2, 3);
    EXPECT_FALSE(f.g->IsRadio(2, 3));
    EXPECT_EQ(f.g->GetRadioStrings(2, 3), nullptr);
}

TEST(ExGridGraphics, PicturesFitTheirArea) {
    // A 200 x 100 picture in a 110 x 60 area with padding 10.
    TCellGraphic g;
    TPicture pic;
    pic.Bitmap().SetSize(200, 100);
    g.CellBitmap = &pic;
    g.CellIndex = 10;
    struct Case {
        TStretchMode mode;
        TPoint size;
    } cases[] = {{noStretch, {200, 100}},
                 {Stretch, {100, 50}},
                 {StretchWithAspectRatio, {100, 50}},
                 {Shrink, {100, 50}},
                 {ShrinkWithAspectRatio, {100, 50}}};
    for (const Case& c : cases) {
        g.CellAngle = c.mode;
        const TPoint p = g.GetPictureSize(110, 60);
        EXPECT_EQ(p.X, c.size.X) << c.mode;
        EXPECT_EQ(p.Y, c.size.Y) << c.mode;
    }
    g.CellIndex = 0;
    g.CellAngle = ShrinkWithAspectRatio;
    EXPECT_EQ(g.GetPictureSize(400, 60).X, 120);  // bound by the height
    g.CellAngle = StretchWithAspectRatio;
    EXPECT_EQ(g.GetPictureSize(400, 200).X, 400);
    EXPECT_EQ(g.GetPictureSize(400, 200).Y, 200);
    g.CellBitmap = std::monostate{};
}

TEST(ExGridGraphics, PicturesAndIconsStandInTheCell) {
    PaintForm f;
    TPicture* p = f.g->CreatePicture(2, 3, false, noStretch, 0, haLeft, vaTop);
    p->Bitmap().Assign(Filled(clRed).get());
    EXPECT_TRUE(f.g->HasPicture(2, 3));
    auto r = f.Render();
    EXPECT_EQ(At(r, 83, 63), clRed);
    EXPECT_EQ(At(r, 90, 70), clRed);
    EXPECT_EQ(At(r, 100, 74), clWhite);
    // Stretched over the content less one pixel: 83 .. 117 x 63 .. 77.
    TPicture own;
    own.Bitmap().Assign(Filled(clBlue).get());
    f.g->AddPicture(2, 3, &own, false, Stretch, 0, haLeft, vaTop);
    r = f.Render();
    EXPECT_EQ(At(r, 83, 63), clBlue);
    EXPECT_EQ(At(r, 116, 76), clBlue);
    f.g->RemovePicture(2, 3);
    EXPECT_FALSE(f.g->HasPicture(2, 3));
    EXPECT_EQ(own.Width(), 8);

    TIcon* icon = f.g->CreateIcon(2, 3, haRight, vaBottom);
    icon->LoadFromBytes(IconFile(clLime));
    r = f.Render();
    EXPECT_EQ(At(r, 116, 76), clLime);
    EXPECT_EQ(At(r, 85, 65), clWhite);
    f.g->RemoveIcon(2, 3);
    EXPECT_EQ(f.g->GetCellType(2, 3), ctEmpty);
    EXPECT_TRUE(AllWhite(f.Render(), Cell23));
}

TEST(ExGridGraphics, DataImagesShowTheImageTheValueNames) {
    PaintForm f;
    Images images;
    f.g->AddDataImage(2, 3, 1, haLeft, vaTop);
    EXPECT_FALSE(f.g->HasDataImage(2, 3));  // no list yet
    f.g->SetGridImages(&images.list);
    f.g->AddDataImage(2, 3, 1, haLeft, vaTop);
    EXPECT_TRUE(f.g->HasDataImage(2, 3));
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"1");
    struct Case {
        const char16_t* value;
        TColor shown;
    } cases[] = {{u"1", clLime}, {u"0", clRed}, {u"2", clBlue}, {u"3", clWhite}, {u"x", clWhite}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(&c - cases));
        f.g->SetCellEx(2, 3, c.value);
        EXPECT_EQ(At(f.Render(), 86, 66), c.shown);
    }
    f.g->RemoveDataImage(2, 3);
    EXPECT_FALSE(f.g->HasDataImage(2, 3));
    EXPECT_EQ(f.g->GetCellEx(2, 3), u"");
    f.g->SetCellEx(2, 4, u"keep");
    f.g->RemoveDataImage(2, 4);  // the text goes whatever the cell holds
    EXPECT_EQ(f.g->GetCellEx(2, 4), u"");
    f.g->SetGridImages(nullptr);
}

TEST(ExGridGraphics, SeveralImagesStandSideBySideOrStacked) {
    PaintForm f;
    Images images;
    f.g->SetGridImages(&images.list);
    f.g->SetRowHeights(3, 30);
    struct Case {
        int dir;
        TPoint second;
    } cases[] = {{0, {91, 63}}, {1, {83, 71}}};
    for (const Case& c : cases) {
        f.g->AddMultiImage(2, 3, c.dir, haLeft, vaTop);
        TIntList* l = f.g->GetCellImages(2, 3);
        ASSERT_NE(l, nullptr);
        l->Add(0);
        l->Add(2);
        auto r = f.Render();
        EXPECT_EQ(At(r, 83, 63), clRed);
        EXPECT_EQ(At(r, c.second.X, c.second.Y), clBlue);
        EXPECT_EQ(At(r, c.second.X + 7, c.second.Y + 7), clBlue);
    }
    f.g->RemoveMultiImage(2, 3);
    EXPECT_EQ(f.g->GetCellImages(2, 3), nullptr);
    f.g->SetGridImages(nullptr);
}

TEST(ExGridGraphics, IndicatorsShowTheCellsValue) {
    PaintForm f;
    f.g->SetColWidths(2, 120);
    f.g->SetRowHeights(3, 30);
    // Cell (2, 3) is 80..200 x 60..90.
    f.g->AddRangeIndicator(2, 3, 100, clRed, clBlue, false);
    struct Case {
        const char16_t* value;
        TColor left, right;
    };
    // Each value shows Left at x = L and Right at x = R of the cell's middle line.
    auto check = [&](std::initializer_list<Case> Cases, int L, int R) {
        for (const Case& c : Cases) {
            SCOPED_TRACE(int(&c - Cases.begin()));
            f.g->SetCellEx(2, 3, c.value);
            auto r = f.Render();
            EXPECT_EQ(At(r, L, 75), c.left);
            EXPECT_EQ(At(r, R, 75), c.right);
        }
    };
    check({{u"-100", clRed, clWhite}, {u"50", clWhite, clBlue}, {u"0", clWhite, clWhite}, {u"-500", clRed, clWhite}},
          100, 160);
    f.g->RemoveRangeIndicator(2, 3);

    // The styled bar: done in the first level's colour, the rest in the cell's.
    f.g->AddExProgress(2, 3, 0, 200);
    TGridProgressAppearance look;
    look.SetShowPercentage(false);
    look.SetShowGradient(false);
    look.SetLevel2Color(clFuchsia);
    f.g->SetProgressAppearance(look);
    // Past the second level the whole bar takes the last level's colour; the
    // distance from the minimum counts, below it too.
    check({{u"100", clLime, clWhite}, {u"300", clRed, clRed}, {u"-100", clLime, clWhite}, {u"0", clWhite, clWhite}},
          90, 185);
    f.g->AddExProgress(2, 3, 5, 5);  // no span: nothing done, no fault
    f.g->SetCellEx(2, 3, u"5");
    EXPECT_EQ(At(f.Render(), 90, 75), clWhite);
    f.g->RemoveExProgress(2, 3);

    // The pie fills from twelve o'clock clockwise: 20 x 20 at (83, 63).
    f.g->AddProgressPie(2, 3, clRed, 50);
    auto r = f.Render();
    EXPECT_EQ(At(r, 97, 73), clRed);
    EXPECT_NE(At(r, 89, 73), clRed);
    f.g->SetProgressPie(2, 3, 0);
    EXPECT_NE(At(f.Render(), 97, 73), clRed);
    f.g->RemoveProgressPie(2, 3);
    EXPECT_EQ(f.g->GetCellType(2, 3), ctEmpty);
}

TEST(ExGridGraphics, ShapesAndRatings) {
    PaintForm f;
    f.g->SetColWidths(2, 120);
    f.g->SetRowHeights(3, 30);
    // A square of the row height less twice the offset: 26, drawn 25 wide at (83, 63).
    f.g->AddShape(2, 3, csRectangle, clRed, clBlue, haLeft, vaTop);
    EXPECT_EQ(f.g->GetShapeColor(2, 3), clRed);
    auto r = f.Render();
    EXPECT_EQ(At(r, 95, 75), clRed);
    EXPECT_EQ(At(r, 84, 75), clBlue);
    f.g->SetShapeColor(2, 3, clLime);
    f.g->Invalidate();
    EXPECT_EQ(At(f.Render(), 95, 75), clLime);
    f.g->RemoveShape(2, 3);
    EXPECT_EQ(f.g->GetShapeColor(2, 3), clNone);

    // Five stars 18 apart from (82, 63); 3.7 counts as 3.5.
    f.g->AddRating(2, 3, 5, clRed, clSilver);
    EXPECT_TRUE(f.g->HasRating(2, 3));
    f.g->SetCellEx(2, 3, u"3.7");
    r = f.Render();
    for (int i = 1; i <= 5; ++i) {
        const int x = 82 + (i - 1) * 18;
        EXPECT_EQ(At(r, x + 10, 63 + 9), i <= 3 ? clRed : clSilver) << i;
        EXPECT_EQ(At(r, x + 6, 63 + 9), i <= 4 ? clRed : clSilver) << i;
    }
    f.g->RemoveRating(2, 3);
    EXPECT_FALSE(f.g->HasRating(2, 3));
}

// Fills its rectangle and keeps what it was given.
struct Swatch : IGridCellGraphic {
    TRect drawn{};
    int col = -1, row = -1;
    void Draw(TCanvas& C, const TRect& R, int ACol, int ARow, bool, TExStringGrid*) override {
        drawn = R, col = ACol, row = ARow;
        C.Brush().SetColor(clFuchsia);
        C.FillRect(R);
    }
    int GetWidth() override { return 0; }
    int GetHeight() override { return 0; }
};

TEST(ExGridGraphics, ObjectsPaintTheirCells) {
    PaintForm f;
    Swatch s;
    f.g->AddInterfacedCell(2, 3, &s);
    EXPECT_EQ(f.g->GetInterfacedCell(2, 3), &s);
    auto r = f.Render();
    EXPECT_EQ(s.col, 2);
    EXPECT_EQ(s.row, 3);
    EXPECT_EQ(s.drawn.Left, 80);
    EXPECT_EQ(s.drawn.Top, 60);
    EXPECT_EQ(At(r, 85, 65), clFuchsia);
    f.g->RemoveInterfacedCell(2, 3);
    EXPECT_EQ(f.g->GetInterfacedCell(2, 3), nullptr);
}

TEST(ExGridGraphics, ExpandButtonsPointTheWayTheyWork) {
    PaintForm f;
    f.g->SetCellEx(2, 3, u"text");
    f.g->AddExpand(2, 3, 60);
    TCellGraphic* g = f.g->GetCellGraphic(2, 3);
    EXPECT_EQ(g->CellIndex, 20);  // the height to return to
    const TRect b = f.g->GetExpandButtonRect(2, 3);
    EXPECT_EQ(b.Left, 107);
    EXPECT_EQ(b.Top, 62);
    EXPECT_EQ(b.Right, 118);
    EXPECT_EQ(b.Bottom, 73);
    EXPECT_EQ(f.g->GetExpandButtonRect(2, 4).Right, 0);
    auto closed = f.Render();
    EXPECT_TRUE(PaintForm::Inked(closed, b));
    EXPECT_TRUE(PaintForm::Inked(closed, Rect(82, 62, 100, 78)));  // the text stays
    g->CellExpanded = true;
    f.g->Invalidate();
    EXPECT_FALSE(PaintForm::SameArea(closed, f.Render(), b));
}

TEST(ExGridGraphics, GraphicsTellTheRoomTheyTake) {
    PaintForm f;
    Images images;
    f.g->SetGridImages(&images.list);
    TBitmap probe(1, 1);
    probe.Canvas().Font().Assign(&f.g->Font());
    const int th = probe.Canvas().TextHeight(u"gh"), wide = probe.Canvas().TextWidth(u"Longer") + 12;
    TStringList options;
    for (const char16_t* t : {u"A", u"Longer", u"B"}) options.Add(t);
    TPicture pic;
    pic.Bitmap().SetSize(200, 100);
    struct Case {
        const char* what;
        std::function<void()> add;
        const char16_t* text;
        TPoint size;
    } cases[] = {
        {"bitmap", [&] { f.g->CreateBitmap(2, 3, false, haLeft, vaTop)->SetSize(9, 7); }, u"", {9, 7}},
        {"bitmap beside text", [&] { f.g->CreateBitmap(2, 3, false, haLeft, vaTop)->SetSize(9, 7); }, u"x",
         {0, 0}},
        {"image", [&] { f.g->AddImageIdx(2, 3, 0, haLeft, vaTop); }, u"", {8, 8}},
        {"stacked radio", [&] { f.g->AddRadio(2, 3, 0, 0, &options); }, u"", {wide, std::max(16, th) * 3}},
        {"pie", [&] { f.g->AddProgressPie(2, 3, clRed, 5); }, u"x", {20, 20}},
        {"rating", [&] { f.g->AddRating(2, 3, 5, clRed, clSilver); }, u"3", {90, 16}},
        {"button", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haLeft, vaTop); }, u"", {30, 14}},
        {"button beside text", [&] { f.g->AddButton(2, 3, 30, 14, u"Go", haLeft, vaTop); }, u"x", {30, 0}},
        // The cell is 40 x 20: the area is 35 x 15, the picture fits it.
        {"picture", [&] { f.g->AddPicture(2, 3, &pic, false, StretchWithAspectRatio, 0, haLeft, vaTop); },
         u"", {30, 15}},
        {"stacked images",
         [&] {
             f.g->AddMultiImage(2, 3, 1, haLeft, vaTop);
             f.g->GetCellImages(2, 3)->Add(0);
             f.g->GetCellImages(2, 3)->Add(1);
         },
         u"", {8, 16}},
        {"progress", [&] { f.g->AddProgress(2, 3, clRed, clBlue); }, u"5", {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.g->SetCellEx(2, 3, c.text);
        c.add();
        const TPoint p = f.g->GetCellGraphicSize(2, 3);
        EXPECT_EQ(p.X, c.size.X);
        EXPECT_EQ(p.Y, c.size.Y);
    }
    f.g->RemoveProgress(2, 3);
    EXPECT_EQ(f.g->GetCellGraphicSize(2, 3).X, 0);
    f.g->SetGridImages(nullptr);
}

// A grid whose image-list cells draw from a list of their own.
class OwnListGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    TImageList* Own = nullptr;
    TImageList* GetCellImageList() override { return Own; }
};

TEST(ExGridGraphics, GraphicsGoByKindAndAnswerWhetherTheyWent) {
    PaintForm f;
    TExColumnGrid& g = *f.g;
    EXPECT_FALSE(g.RemoveCellGraphic(2, 3));
    g.AddComment(2, 3, u"note");
    EXPECT_FALSE(g.RemoveCellGraphicOfType(2, 3, ctButton));
    EXPECT_TRUE(g.HasGraphicOfKinds(2, 3, {ctComment}));
    EXPECT_TRUE(g.RemoveCellGraphicOfType(2, 3, ctComment));
    EXPECT_EQ(g.GetCellType(2, 3), ctEmpty);
    g.AddButton(2, 3, 20, 10, u"Go", haLeft, vaTop);
    EXPECT_TRUE(g.RemoveCellGraphic(2, 3));
    EXPECT_FALSE(g.HasButton(2, 3));
    // The row check boxes of column 0 are the grid's own and never go.
    g.MouseActions().SetHotmailRowSelect(true);
    EXPECT_EQ(g.GetCellType(0, 2), ctRowCheckBox);
    EXPECT_FALSE(g.RemoveCellGraphicOfType(0, 2, ctRowCheckBox));
    EXPECT_EQ(g.GetCellType(0, 2), ctRowCheckBox);
}

TEST(ExGridGraphics, APictureIsKnownByItsObjectOrImage) {
    TExStringGrid g(nullptr);
    TImageList images(8, 8);
    g.SetGridImages(&images);
    EXPECT_EQ(g.CellGraphicRef(1, 1), -1);
    g.AddImageIdx(1, 1, 3, haLeft, vaTop);
    EXPECT_EQ(g.CellGraphicRef(1, 1), 3);
    TBitmap* b = g.CreateBitmap(2, 2, false, haLeft, vaTop);
    EXPECT_EQ(g.CellGraphicRef(2, 2), std::intptr_t(b));
    g.AddComment(3, 3, u"x");
    EXPECT_EQ(g.CellGraphicRef(3, 3), -1);
}

TEST(ExGridGraphics, TheSortIndicatorRowCountsAtTheBottomOfAMergedHeader) {
    TExStringGrid g(nullptr);
    g.SetFixedRows(2);
    g.SortSettings().SetShow(true);
    g.SortSettings().SetRow(1);
    EXPECT_FALSE(g.ShowsSortIndicator(2, 0));
    EXPECT_TRUE(g.ShowsSortIndicator(2, 1));
    g.MergeCells(2, 0, 1, 2);
    EXPECT_TRUE(g.ShowsSortIndicator(2, 0));
    g.SortSettings().SetShow(false);
    EXPECT_FALSE(g.ShowsSortIndicator(2, 0));
    g.SortSettings().SetShow(true);
    g.SetRowCount(3);  // one data row: no sorting to show
    EXPECT_FALSE(g.ShowsSortIndicator(3, 1));
}

TEST(ExGridGraphics, ImageListCellsDrawFromTheGridsListHook) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* g = new OwnListGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 200);
    g->SetScrollBars(ssNone);
    g->SetColor(clWhite);
    form.Show();
    TImageList grids(8, 8), own(8, 8);
    TBitmap red(8, 8), blue(8, 8);
    red.Canvas().Brush().SetColor(clRed);
    red.Canvas().FillRect(Rect(0, 0, 8, 8));
    blue.Canvas().Brush().SetColor(clBlue);
    blue.Canvas().FillRect(Rect(0, 0, 8, 8));
    grids.Add(&red, nullptr);
    own.Add(&blue, nullptr);
    g->SetGridImages(&grids);
    g->Own = &own;
    g->AddImageIdx(2, 2, 0, haLeft, vaTop);
    const TRect r = g->CellRect(2, 2);
    auto shot = std::make_unique<TBitmap>();
    RenderControlToBitmap(g, *shot);
    EXPECT_TRUE(PaintForm::AnyPixel(shot, r, [](TColor c) { return c == clBlue; }));
    EXPECT_FALSE(PaintForm::AnyPixel(shot, r, [](TColor c) { return c == clRed; }));
}

}  // namespace
