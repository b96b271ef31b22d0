// Check boxes and radio buttons in cells: placed by the cell's text
// alignment with the text beside them, radio buttons of one column picking
// one row, and the kind queries answering for a merged area's base cell.
#include "grid/ExCGrid.h"

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

// The drawn 16-pixel glyphs of csWinXP: a check box's frame colour, a radio
// button's dot when on.
constexpr TColor BoxFrame = TColor(0x80511C);
constexpr TColor RadioDot = TColor(0x21A121);

// Cell (2, 3) made 120 x 40 in an editable grid: client 80..200 x 60..100;
// the graphic's area (the content less the offset) is 82..198 x 62..98.
struct BoxCell : PaintForm {
    BoxCell() {
        g->SetColWidths(2, 120);
        g->SetRowHeights(3, 40);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->ControlLook().ControlStyle = csWinXP;
    }
    int TextWidth(const String& Text) {
        TBitmap m(1, 1);
        m.Canvas().Font().Assign(&g->Font());
        return m.Canvas().TextWidth(Text);
    }
    void Align(TAlignment A) { g->GetCellProperties(2, 3)->SetAlignment(A); }
};

const TRect Content = Rect(81, 61, 199, 99);

// The first pixel of colour C in R, row by row; (-1, -1) without one.
TPoint First(const Bmp& b, TRect R, TColor C) {
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (At(b, x, y) == C) return {x, y};
    return {-1, -1};
}

// The leftmost and rightmost column of text ink (black) in R; -1 for none.
std::pair<int, int> TextInk(const Bmp& b, TRect R) {
    int left = -1, right = -1;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (At(b, x, y) == clBlack) {
                if (left < 0 || x < left) left = x;
                right = std::max(right, x);
            }
    return {left, right};
}

TEST(ExGridCellBoxes, CheckBoxesStandByTheTextAlignmentWithTheTextBeside) {
    BoxCell f;
    const int t = f.TextWidth(u"WW") + 2;
    struct Case {
        const char* name;
        TAlignment align;
        const char16_t* text;
        int boxLeft;            // the box's 15-pixel square starts here (the frame one further in)
        int textLeftMin = -1;   // text ink starts at or right of this
        int textRightMax = -1;  // text ink ends left of this
    } cases[] = {
        {"left", taLeftJustify, u"WW", 83, 83 + 15},
        {"right", taRightJustify, u"WW", 198 - t - 15 - 1, 198 - t, 199},
        {"centred with text", taCenter, u"WW", 82 + (116 - t) / 2 - 15, 82 + (116 - t) / 2},
        {"centred alone", taCenter, u"", 82 + (116 - 15) / 2},
        {"right alone", taRightJustify, u"", 198 - 15 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->SetCellEx(2, 3, c.text);
        f.g->AddCheckBox(2, 3, true);
        f.Align(c.align);
        const auto r = f.Render();
        const TPoint frame = First(r, Content, BoxFrame);
        EXPECT_EQ(frame.X, c.boxLeft + 1);
        EXPECT_EQ(frame.Y, 63 + 1);
        const auto ink = TextInk(r, Rect(81, 61, 199, 99));
        if (c.text[0] == 0) {
            EXPECT_LT(ink.first, 0);
            continue;
        }
        ASSERT_GE(ink.first, 0) << "the text is drawn beside its box";
        EXPECT_GE(ink.first, c.textLeftMin);
        if (c.textRightMax >= 0) EXPECT_LT(ink.second, c.textRightMax);
        // Box and text do not overlap.
        if (c.align == taLeftJustify) EXPECT_GE(ink.first, c.boxLeft + 15);
        else EXPECT_LT(c.boxLeft + 15, ink.first);
    }
}

TEST(ExGridCellBoxes, BoxesFollowTheGridsOrTheCellsVerticalAlignment) {
    BoxCell f;
    f.g->SetCellEx(2, 3, u"x");
    TVAlignment cellVA = vtaTop;
    f.g->OnGetAlignment = [&](TObject*, int ARow, int ACol, TAlignment&, TVAlignment& VA) {
        if (ACol == 2 && ARow == 3) VA = cellVA;
    };
    struct Case {
        const char* name;
        TVAlignment grid, cell;
        int top;  // the box's square
    } cases[] = {
        {"grid top", vtaTop, vtaTop, 63},
        {"grid centre, added then", vtaCenter, vtaCenter, 62 + (36 - 15) / 2},
        {"grid bottom, added then", vtaBottom, vtaBottom, 98 - 1 - 15},
        {"cell bottom in a top grid", vtaTop, vtaBottom, 98 - 1 - 15},
        {"cell centre in a top grid", vtaTop, vtaCenter, 62 + (36 - 15) / 2},
        {"cell top in a bottom grid", vtaBottom, vtaTop, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->SetVAlignment(c.grid);
        cellVA = c.cell;
        f.g->AddCheckBox(2, 3, false);
        EXPECT_EQ(First(f.Render(), Content, BoxFrame).Y, c.top + 1);
    }
}

// A data box shows no text and, right-aligned, keeps to the right edge itself.
TEST(ExGridCellBoxes, DataBoxesShowNoTextAndKeepToTheEdge) {
    BoxCell f;
    f.g->SetCheckTrue(u"Y");
    f.g->SetCellEx(2, 3, u"Y");
    f.g->AddCheckBoxColumn(2, false, true);
    ASSERT_EQ(f.g->GetCellType(2, 3), ctDataCheckBox);
    ASSERT_TRUE(f.g->HasDataCheckBox(2, 3));
    struct Case {
        TAlignment align;
        int boxLeft;
    } cases[] = {{taLeftJustify, 83}, {taRightJustify, 198 - 15 - 1}, {taCenter, 82 + (116 - 15) / 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.align));
        f.Align(c.align);
        const auto r = f.Render();
        EXPECT_EQ(First(r, Content, BoxFrame).X, c.boxLeft + 1);
        EXPECT_LT(TextInk(r, Content).first, 0);
    }
    // Checked by its text: the tick shows.
    EXPECT_TRUE(PaintForm::AnyPixel(f.Render(), Content, [](TColor c) { return c == RadioDot; }));
}

TEST(ExGridCellBoxes, RadioButtonsStandBeforeTheirTextAndShowTheirState) {
    BoxCell f;
    const int t = f.TextWidth(u"WW") + 2;
    // The glyph is drawn from the placed point plus the offset; its dot at + 5 .. + 11.
    struct Case {
        const char* name;
        TAlignment align;
        bool on;
        int placed;  // the 14-pixel place of the button
    } cases[] = {
        {"left on", taLeftJustify, true, 83},
        {"left off", taLeftJustify, false, 83},
        {"right on", taRightJustify, true, 198 - t - 14 - 1},
        {"centred on", taCenter, true, 82 + (116 - t) / 2 - 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.g->SetCellEx(2, 3, u"WW");
        f.g->AddRadioButton(2, 3, c.on);
        f.Align(c.align);
        const auto r = f.Render();
        const TPoint dot = First(r, Content, RadioDot);
        if (!c.on) {
            EXPECT_LT(dot.X, 0);
            EXPECT_NE(At(r, c.placed + 2 + 1, 63 + 8), clWhite) << "the ring is drawn";
        } else {
            EXPECT_EQ(dot.Y, 63 + 5);
            EXPECT_GE(dot.X, c.placed + 2 + 5);
            EXPECT_LE(dot.X, c.placed + 2 + 8);
        }
        const auto ink = TextInk(r, Content);
        ASSERT_GE(ink.first, 0);
        if (c.align == taLeftJustify) EXPECT_GE(ink.first, 83 + 14);
    }
}

TEST(ExGridCellBoxes, RadioButtonsOfAColumnPickOneRow) {
    BoxCell f;
    TExColumnGrid* g = f.g;
    g->SetVAlignment(vtaBottom);
    g->AddRadioButtonColumn(2);
    const TCellGraphic* gr = g->GetCellGraphic(2, 1);
    ASSERT_NE(gr, nullptr);
    EXPECT_EQ(gr->CellType, ctRadioButton);
    EXPECT_EQ(gr->CellHAlign, haBeforeText);
    EXPECT_EQ(gr->CellVAlign, vaBottom);
    EXPECT_TRUE(gr->CellTransparent);
    EXPECT_FALSE(g->HasRadioButton(2, 0)) << "fixed rows get none";
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), -1);

    EXPECT_TRUE(g->ToggleCellRadio(2, 3, false));
    EXPECT_TRUE(g->ToggleCellRadio(2, 5, false));
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 5);
    EXPECT_FALSE(g->IsRadioButtonChecked(2, 3));
    // The checked one again stays checked.
    EXPECT_TRUE(g->ToggleCellRadio(2, 5, false));
    EXPECT_TRUE(g->IsRadioButtonChecked(2, 5));
    // Another kind, or no graphic, is no radio button.
    g->AddCheckBox(3, 2, false);
    EXPECT_FALSE(g->ToggleCellRadio(3, 2, false));
    EXPECT_FALSE(g->ToggleCellRadio(3, 3, false));
    EXPECT_FALSE(g->SetRadioButtonState(3, 2, true));

    // Setting a state leaves the other rows alone; the column index sets them all.
    EXPECT_TRUE(g->SetRadioButtonState(2, 2, true));
    EXPECT_TRUE(g->IsRadioButtonChecked(2, 5));
    g->SetRadioButtonColumnIndex(2, 4);
    for (int r = 1; r < g->RowCount(); ++r) EXPECT_EQ(g->IsRadioButtonChecked(2, r), r == 4) << r;

    // The user may not pick in a cell that cannot be edited, unless the boxes are always active.
    g->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    EXPECT_FALSE(g->ToggleCellRadio(2, 6, true));
    EXPECT_TRUE(g->IsRadioButtonChecked(2, 4));
    g->ControlLook().CheckAlwaysActive = true;
    EXPECT_TRUE(g->ToggleCellRadio(2, 6, true));
    EXPECT_EQ(g->GetRadioButtonColumnIndex(2), 6);

    g->RemoveRadioButtonColumn(2);
    EXPECT_FALSE(g->HasRadioButton(2, 6));
    EXPECT_EQ(g->GetCellType(2, 6), ctEmpty);

    // Outside the grid: refused with a message, nothing added.
    try {
        g->AddRadioButton(g->ColCount(), 1, true);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid cell");
    }
}

// The kind queries answer for the base cell of a merged area, and false for
// negative indexes.
TEST(ExGridCellBoxes, KindQueriesLookAtTheMergedAreasBaseCell) {
    BoxCell f;
    TExColumnGrid* g = f.g;
    TImageList images(8, 8);
    g->SetGridImages(&images);
    TStringList options;
    options.Add(u"A");
    struct Case {
        const char* name;
        std::function<void()> add;
        std::function<bool(int, int)> query;
    } cases[] = {
        {"button", [&] { g->AddButton(2, 2, 20, 10, u"Go", haLeft, vaTop); },
         [&](int c, int r) { return g->HasButton(c, r); }},
        {"radio group", [&] { g->AddRadio(2, 2, 0, 0, &options); }, [&](int c, int r) { return g->IsRadio(c, r); }},
        {"radio button", [&] { g->AddRadioButton(2, 2, true); },
         [&](int c, int r) { return g->HasRadioButton(c, r) && g->IsRadioButtonChecked(c, r); }},
        {"data image", [&] { g->AddDataImage(2, 2, 0, haLeft, vaTop); },
         [&](int c, int r) { return g->HasDataImage(c, r); }},
        {"check box", [&] { g->AddCheckBox(2, 2, false); }, [&](int c, int r) { return g->HasCheckBox(c, r); }},
        {"click control", [&] { g->AddCheckBox(2, 2, cbGrayed); },
         [&](int c, int r) { return g->HasClickControl(c, r); }},
    };
    g->MergeCells(2, 2, 2, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.add();
        EXPECT_TRUE(c.query(2, 2));
        EXPECT_TRUE(c.query(3, 3)) << "inside the merged area";
        EXPECT_FALSE(c.query(4, 3)) << "beside it";
        EXPECT_FALSE(c.query(-1, 2));
        EXPECT_FALSE(c.query(2, -1));
        EXPECT_TRUE(g->HasGraphicOfKinds(3, 2, {ctEmpty, g->GetCellType(2, 2)}));
        TObject* old = g->GetCellProperties(2, 2)->GraphicObject();
        g->GetCellProperties(2, 2)->SetGraphicObject(nullptr);
        delete old;
    }
    EXPECT_FALSE(g->HasGraphicOfKinds(2, 2, {ctButton, ctRadio}));
    EXPECT_TRUE(g->HasGraphicOfKinds(2, 2, {ctEmpty}));
    EXPECT_EQ(g->GetRadioStrings(3, 3), nullptr);
    g->AddRadio(2, 2, 0, 0, &options);
    EXPECT_EQ(g->GetRadioStrings(3, 3), &options);
    g->SetGridImages(nullptr);
}

}  // namespace

namespace {

// In column 0 a group row's glyph takes its level's indent of room: the sort
// indicator standing after a graphic at the left moves 12 pixels per level.
TEST(ExGridCellBoxes, GroupRowsKeepRoomForTheirGlyphByLevel) {
    auto indicatorLeft = [](bool Nested) {
        PaintForm f;
        TExColumnGrid* g = f.g;
        g->SetFixedRows(3);
        g->SetRowCount(10);
        g->SetColWidths(0, 120);
        g->SetCellEx(0, 2, u"ab");
        if (Nested) g->Tools().AddNode(1, 6);
        g->Tools().AddNode(2, 3);
        g->SortSettings().SetFixedCols(true);
        g->SortSettings().SetColumn(0);
        g->SortSettings().SetRow(2);
        const TRect cell = Rect(0, 40, 120, 60);
        const auto without = f.Render();
        g->SortSettings().SetShow(true);
        const auto with = f.Render();
        for (int x = cell.Left; x < cell.Right; ++x)
            for (int y = cell.Top; y < cell.Bottom; ++y)
                if (PaintForm::At(with, x, y) != PaintForm::At(without, x, y)) return x;
        return -1;
    };
    const int level1 = indicatorLeft(false), level2 = indicatorLeft(true);
    ASSERT_GT(level1, 0);
    EXPECT_EQ(level2 - level1, 12);
}

}  // namespace

namespace {

// The text of a row inside groups stands at its level's indent in column 0;
// the group row's own text and the other columns keep their place.
TEST(ExGridCellBoxes, RowsInsideGroupsIndentTheirTextInColumnZero) {
    PaintForm f;
    TExColumnGrid* g = f.g;
    g->SetColWidths(0, 120);
    g->SetRowCount(10);
    for (int r = 1; r <= 6; ++r) {
        g->SetCellEx(0, r, u"x");
        g->SetCellEx(1, r, u"x");
    }
    auto inkLeft = [&](const Bmp& b, int Col, int Row) {
        const TRect R = g->CellRect(Col, Row);
        for (int x = R.Left; x < R.Right; ++x)
            for (int y = R.Top + 1; y < R.Bottom - 1; ++y)
                if (PaintForm::At(b, x, y) == clBlack) return x;
        return -1;
    };
    const auto plain = f.Render();
    g->Tools().AddNode(1, 6);  // rows 1..6 at level 1
    g->Tools().AddNode(3, 3);  // rows 3..5 at level 2
    const int n = g->Tools().CellNode().NodeIndent();
    const auto grouped = f.Render();
    struct Case {
        int row, indent;
    } cases[] = {{2, n}, {4, 2 * n}, {6, n}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(inkLeft(grouped, 0, c.row), inkLeft(plain, 0, c.row) + c.indent);
        EXPECT_EQ(inkLeft(grouped, 1, c.row), inkLeft(plain, 1, c.row));
    }
}

}  // namespace

namespace {

// With precise checking a click counts only on the box where its vertical
// and the text's alignment put it.
TEST(ExGridCellBoxes, PreciseClicksFindTheBoxByItsAlignment) {
    BoxCell f;
    TExColumnGrid* g = f.g;
    g->MouseActions().SetPreciseCheckBoxCheck(true);
    const int tw = f.TextWidth(u"WW");
    struct Case {
        const char* name;
        TVAlignment grid;
        TAlignment align;
        const char16_t* text;
        TPoint in, out;  // client points on and beside the box
    } cases[] = {
        {"top left", vtaTop, taLeftJustify, u"WW", {82 + 7, 62 + 7}, {82 + 7, 62 + 20}},
        {"bottom left", vtaBottom, taLeftJustify, u"WW", {82 + 7, 100 - 2 - 8}, {82 + 7, 62 + 7}},
        {"centre centre", vtaCenter, taCenter, u"", {80 + 52 + 7, 60 + 12 + 7}, {80 + 20, 60 + 12 + 7}},
        {"right of the text", vtaTop, taRightJustify, u"WW", {200 - 15 - 2 - tw + 7, 62 + 7}, {200 - 8, 62 + 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g->SetVAlignment(c.grid);
        g->SetCellEx(2, 3, c.text);
        g->AddCheckBox(2, 3, false);
        f.Align(c.align);
        EXPECT_TRUE(g->IsInCheckBox(2, 3, c.in.X, c.in.Y));
        EXPECT_FALSE(g->IsInCheckBox(2, 3, c.out.X, c.out.Y));
    }
    g->MouseActions().SetPreciseCheckBoxCheck(false);
    EXPECT_TRUE(g->IsInCheckBox(2, 3, 199, 99)) << "anywhere in the cell otherwise";
    EXPECT_FALSE(g->IsInCheckBox(4, 4, 0, 0));
}

}  // namespace

namespace {

// A data box takes its state from the cell's text: a check text already there
// stays, any other text gives way to the one for the state asked.
TEST(ExGridCellBoxes, DataBoxesKeepACheckTextAlreadyInTheCell) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCheckTrue(u"on");
    g.SetCheckFalse(u"off");
    struct Case {
        const char16_t* before;
        bool state;
        const char16_t* after;
        bool checked;
    } cases[] = {
        {u"off", true, u"off", false}, {u"on", false, u"on", true}, {u"", true, u"on", true},
        {u"maybe", false, u"off", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.before));
        g.SetCellEx(1, 1, c.before);
        g.AddCheckBox(1, 1, c.state, true);
        EXPECT_EQ(g.GetCellType(1, 1), ctDataCheckBox);
        EXPECT_EQ(g.GetCellEx(1, 1), String(c.after));
        EXPECT_EQ(g.IsChecked(1, 1), c.checked);
        EXPECT_EQ(g.GetCellGraphic(1, 1)->CellHAlign, haBeforeText);
    }
    // A plain box keeps the text as it is: it shows beside the box.
    g.SetCellEx(2, 2, u"maybe");
    g.AddCheckBox(2, 2, true);
    EXPECT_EQ(g.GetCellEx(2, 2), u"maybe");
    EXPECT_TRUE(g.IsChecked(2, 2));
    EXPECT_THROW(g.AddCheckBox(3, 1, true, true), Exception);
}

}  // namespace
