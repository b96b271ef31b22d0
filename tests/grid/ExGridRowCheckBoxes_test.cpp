// The row check boxes column 0 shows while the row-select look is on, the
// data-graphic query, a fresh graphic on every add, and radio buttons of
// hidden rows giving way to the one the user picks.
#include "grid/ExCGrid.h"

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

// The tick colour given to the vintage boxes; a grey tick marks the mixed state.
constexpr TColor Tick = TColor(0x00C000);

bool Has(const Bmp& b, TRect R, TColor C) {
    return PaintForm::AnyPixel(b, R, [C](TColor p) { return p == C; });
}

// Inside the cell's lines.
TRect CellRect(int ACol, int ARow) { return Rect(ACol * 40 + 1, ARow * 20 + 1, ACol * 40 + 38, ARow * 20 + 18); }

int Count(const Bmp& b, TRect R, TColor C) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += PaintForm::At(b, x, y) == C;
    return n;
}

TEST(ExGridRowCheckBoxes, ColumnZeroShowsEachRowsSelectionAsABox) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    g->ControlLook().ControlStyle = csVintage;
    g->ControlLook().Color = Tick;
    // Column 0 is fixed: the boxes would be drawn disabled, with a grey tick.
    g->ControlLook().CheckAlwaysActive = true;
    g->MouseActions().SetDisjunctRowSelect(true);
    EXPECT_EQ(g->GetCellType(0, 2), ctEmpty);
    EXPECT_EQ(g->GetCellGraphic(0, 2), nullptr);
    EXPECT_FALSE(Has(f.Render(), CellRect(0, 2), Tick));

    g->MouseActions().SetHotmailRowSelect(true);
    const int last = g->RowCount() - 1;
    struct Case {
        const char* name;
        std::vector<int> selected;
        int row;
        bool checked;
        int angle;
        bool tick, grey;  // in the rendered cell; grey: more grey than an empty box's frame
    } cases[] = {
        {"no row selected, header", {}, 0, false, 0, false, false},
        {"no row selected, a row", {}, 2, false, 0, false, false},
        {"one row selected, header mixed", {2}, 0, false, 1, false, true},
        {"the selected row", {2}, 2, true, 0, true, false},
        {"a row not selected", {2}, 3, false, 0, false, false},
        {"every row selected, header", {}, 0, true, 0, true, false},
    };
    const int frameGrey = Count(f.Render(), CellRect(0, 0), clGray);
    ASSERT_GT(frameGrey, 0) << "the empty header box is drawn";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g->ClearRowSelect();
        if (std::string(c.name).starts_with("every"))
            for (int r = g->FixedRows(); r <= last; ++r) g->SetRowSelect(r, true);
        for (int r : c.selected) g->SetRowSelect(r, true);
        EXPECT_EQ(g->GetCellType(0, c.row), ctRowCheckBox);
        EXPECT_TRUE(g->HasCheckBox(0, c.row));
        EXPECT_TRUE(g->HasDataCheckBox(0, c.row));
        const TCellGraphic* gr = g->GetCellGraphic(0, c.row);
        ASSERT_NE(gr, nullptr);
        EXPECT_EQ(gr->CellType, ctRowCheckBox);
        EXPECT_EQ(gr->CellBoolean, c.checked);
        EXPECT_EQ(gr->CellAngle, c.angle);
        EXPECT_FALSE(gr->CellTransparent);
        const Bmp shot = f.Render();
        EXPECT_EQ(Has(shot, CellRect(0, c.row), Tick), c.tick);
        EXPECT_EQ(Count(shot, CellRect(0, c.row), clGray) > frameGrey, c.grey);
    }
    // Only column 0, and flat look makes the box transparent.
    EXPECT_EQ(g->GetCellType(1, 2), ctEmpty);
    EXPECT_EQ(g->GetCellGraphic(1, 2), nullptr);
    EXPECT_EQ(g->GetCellType(-1, 2), ctEmpty);
    g->ControlLook().ControlStyle = csFlat;
    EXPECT_TRUE(g->GetCellGraphic(0, 2)->CellTransparent);
}

// The box reads the real row's flag: with row 2 hidden, shown row 2 is real row 3.
TEST(ExGridRowCheckBoxes, RowBoxesReadTheRealRowAndSurviveAnAddInColumnZero) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    g->MouseActions().SetDisjunctRowSelect(true);
    g->MouseActions().SetHotmailRowSelect(true);
    g->HideRow(2);
    g->SetRowSelect(3, true);
    EXPECT_TRUE(g->GetCellGraphic(0, 2)->CellBoolean);
    EXPECT_FALSE(g->GetCellGraphic(0, 3)->CellBoolean);
    g->UnHideRow(2);

    // A cell's own box in column 0 waits behind the row box; adding it
    // leaves the grid's row box alone.
    const TCellGraphic* shared = g->GetCellGraphic(0, 4);
    g->AddCheckBox(0, 4, true, false);
    g->AddRadioButton(0, 4, true);
    EXPECT_EQ(g->GetCellGraphic(0, 4), shared);
    EXPECT_EQ(shared->CellType, ctRowCheckBox);
    g->MouseActions().SetHotmailRowSelect(false);
    ASSERT_NE(g->GetCellGraphic(0, 4), nullptr);
    EXPECT_EQ(g->GetCellGraphic(0, 4)->CellType, ctRadioButton);
    EXPECT_EQ(g->GetCellType(0, 4), ctRadioButton);
}

TEST(ExGridRowCheckBoxes, DataGraphicCells) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    TImageList images(8, 8);
    g->SetGridImages(&images);
    g->Columns().Items(4)->SetEditor(edDataCheckBox);
    g->AddCheckBox(2, 2, false, true);
    g->AddCheckBox(2, 3, false, false);
    g->AddDataImage(2, 4, 0, haLeft, vaTop);
    g->AddRadioButton(2, 5, true);
    g->AddCheckBox(3, 6, cbChecked);
    g->AddCheckBox(1, 7, false, true);
    g->MergeCells(1, 7, 2, 2);
    struct Case {
        const char* name;
        int col, row;
        bool data;
    } cases[] = {
        {"data check box", 2, 2, true},     {"plain check box", 2, 3, false}, {"data image", 2, 4, true},
        {"radio button", 2, 5, false},      {"three-state box", 3, 6, false}, {"no graphic", 2, 6, false},
        {"column's shared box", 4, 3, true}, {"header of that column", 4, 0, false},
        {"inside a merged area", 2, 8, true}, {"negative column", -1, 2, false}, {"negative row", 2, -1, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDataGraphicCell(g, c.col, c.row), c.data) << c.name;
    EXPECT_FALSE(IsDataGraphicCell(nullptr, 2, 2));
    EXPECT_FALSE(IsDataGraphicCell(g, 0, 3));
    g->MouseActions().SetHotmailRowSelect(true);
    EXPECT_TRUE(IsDataGraphicCell(g, 0, 3)) << "a row check box";
    g->SetGridImages(nullptr);
}

// Whatever a cell held before, an add starts from a fresh graphic: fields the
// new kind does not set keep their defaults.
TEST(ExGridRowCheckBoxes, EveryAddStartsFromAFreshGraphic) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    TImageList images(8, 8);
    g->SetGridImages(&images);
    TBitmap bmp(4, 4);
    struct Case {
        const char* name;
        std::function<void()> before, add;
        std::function<bool(const TCellGraphic&)> fresh;
    } cases[] = {
        {"turned text, then a check box", [&] { g->AddRotated(2, 2, 90, u"x"); },
         [&] { g->AddCheckBox(2, 2, false, false); }, [](const TCellGraphic& G) { return G.CellAngle == 0; }},
        {"comment, then a radio button", [&] { g->AddComment(2, 2, u"note"); },
         [&] { g->AddRadioButton(2, 2, false); }, [](const TCellGraphic& G) { return G.CellText.empty(); }},
        {"transparent bitmap, then an image", [&] { g->AddBitmap(2, 2, &bmp, true, haRight, vaBottom); },
         [&] { g->AddImageIdx(2, 2, 0, haLeft, vaTop); },
         [](const TCellGraphic& G) { return !G.CellTransparent && G.Bitmap() == nullptr; }},
        {"button, then a three-state box", [&] { g->AddButton(2, 2, 30, 12, u"Go", haLeft, vaTop); },
         [&] { g->AddCheckBox(2, 2, cbGrayed); },
         [](const TCellGraphic& G) { return G.CellText.empty() && G.CellIndex == -1; }},
        {"image, then a comment", [&] { g->AddImageIdx(2, 2, 3, haLeft, vaTop); },
         [&] { g->AddComment(2, 2, u"c"); }, [](const TCellGraphic& G) { return G.CellIndex == -1; }},
        {"check box, then turned text", [&] { g->AddCheckBox(2, 2, true, false); },
         [&] { g->AddRotated(2, 2, 45, u"t"); },
         [](const TCellGraphic& G) { return !G.CellBoolean && G.CellHAlign == haLeft; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        c.add();
        const TCellGraphic* gr = g->GetCellGraphic(2, 2);
        ASSERT_NE(gr, nullptr);
        EXPECT_TRUE(c.fresh(*gr));
    }

    // A comment added over a coloured one takes the grid's comment colour.
    g->ControlLook().CommentColor = clBlue;
    g->AddColorComment(3, 3, u"a", clRed);
    const TRect cell = CellRect(3, 3);
    Bmp shot = f.Render();
    EXPECT_TRUE(Has(shot, cell, clRed));
    g->AddComment(3, 3, u"b");
    shot = f.Render();
    EXPECT_FALSE(Has(shot, cell, clRed));
    EXPECT_TRUE(Has(shot, cell, clBlue));
    g->SetGridImages(nullptr);
}

// Radio buttons of hidden rows give way too: shown again, the column has one checked.
TEST(ExGridRowCheckBoxes, HiddenRowsRadioButtonsGiveWay) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    g->ControlLook().ControlStyle = csWinXP;
    constexpr TColor RadioDot = TColor(0x21A121);
    g->AddRadioButtonColumn(2);
    struct Case {
        const char* name;
        std::vector<int> hidden;  // real rows
        int checked;              // real row checked before
        int picked;               // display row picked while hidden
        int expect;               // real row checked after showing all
    } cases[] = {
        {"checked row hidden", {4}, 4, 2, 2},
        {"checked row among two hidden", {3, 5}, 5, 6, 8},
        {"nothing hidden", {}, 4, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g->SetRadioButtonColumnIndex(2, c.checked);
        for (int r : c.hidden) g->HideRow(g->DisplRowIndex(r));
        EXPECT_TRUE(g->ToggleCellRadio(2, c.picked, false));
        g->UnHideRowsAll();
        for (int r = 1; r < g->RowCount(); ++r) EXPECT_EQ(g->IsRadioButtonChecked(2, r), r == c.expect) << r;
        const Bmp shot = f.Render();
        EXPECT_TRUE(Has(shot, CellRect(2, c.expect), RadioDot));
        EXPECT_FALSE(Has(shot, CellRect(2, c.checked), RadioDot));
    }
}

}  // namespace
