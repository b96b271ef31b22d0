#include "grid/ExGrid.h"
#include "grid/foundation/CellCodecs.h"

#include "GridOnForm.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A shown string grid painted up to date, so that what a change repaints can be read.
struct ViewGrid : GridOnForm<> {
    ViewGrid() {
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        Flush();
    }
};

bool Holds(const TRect& Outer, const TRect& Inner) {
    return Outer.Left <= Inner.Left && Outer.Top <= Inner.Top && Outer.Right >= Inner.Right &&
           Outer.Bottom >= Inner.Bottom && Inner.Right > Inner.Left;
}

TEST(ExGridCellViews, WideTextReadsDecodedInBothAddressingsAndIsWrittenAsItIs) {
    GridOnForm<> f;
    const String omega = u"\u03A9mega";
    f.g->SetCellEx(1, 2, EncodeWideCellText(omega));
    f.g->SetCellEx(1, 3, EncodeWideCellText(u"hidden \u00E9"));
    EXPECT_EQ(f.g->WideCells(1, 2), omega);
    f.g->HideRow(2);
    EXPECT_EQ(f.g->AllWideCells(1, 3), u"hidden \u00E9");
    EXPECT_EQ(f.g->AllWideCells(1, 2), omega);
    f.g->SetAllWideCells(1, 2, u"\u0416");
    f.g->UnHideRow(2);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"\u0416");
    f.g->SetWideCells(2, 2, u"plain");
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"plain");
    EXPECT_EQ(f.g->WideCells(2, 2), u"plain");
}

TEST(ExGridCellViews, RawRealRowCellsPassNoDisplayHookAndGrowAHiddenRow) {
    GridOnForm<> f;
    f.g->OnGetDisplText = [](TObject*, int, int, String& V) { V = u"<" + V + u">"; };
    f.g->SetCellEx(1, 3, u"raw");
    f.g->SetCellEx(1, 4, u"kept");
    EXPECT_EQ(f.g->AllCells(1, 3), u"<raw>");
    EXPECT_EQ(f.g->AllGridCells(1, 3), u"raw");
    f.g->HideRow(3);
    // Real row 4 is displayed row 3 now.
    EXPECT_EQ(f.g->AllGridCells(1, 4), u"kept");
    EXPECT_EQ(f.g->AllGridCells(1, 3), u"raw");
    f.g->SetAllGridCells(7, 3, u"far");
    EXPECT_EQ(f.g->GetHiddenRowCells(3)->Count(), 8);
    EXPECT_EQ(f.g->AllGridCells(7, 3), u"far");
    f.g->SetAllGridCells(2, 4, u"shown");
    EXPECT_EQ(f.g->GetGridCell(2, 3), u"shown");
}

TEST(ExGridCellViews, UnsortedCellsFollowTheirRowsThroughASort) {
    GridOnForm<> f;
    const char16_t* texts[] = {u"d", u"b", u"c", u"a"};
    for (int r = 1; r <= 4; ++r) f.g->SetCellEx(1, r, texts[r - 1]);
    f.g->SetRowCount(5);
    f.g->SortSettings().SetColumn(1);
    f.g->QSort();
    ASSERT_EQ(f.g->GetCellEx(1, 1), u"a");
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(f.g->UnSortedCells(1, r), String(texts[r - 1])) << r;
    f.g->SetUnSortedCells(2, 1, u"of d");
    EXPECT_EQ(f.g->GetCellEx(2, 4), u"of d");
}

TEST(ExGridCellViews, MovedColumnsAreFoundByTheirDesignTimeIndex) {
    GridOnForm<> f;
    EXPECT_EQ(f.g->ColumnPosition(3), 3);
    for (int c = 0; c < 5; ++c) f.g->SetCellEx(c, 1, u"c" + IntToStr(c));
    EXPECT_EQ(f.g->ColumnAtPosition(2), 2);
    f.g->SetColumnOrder(std::vector<int>{});
    f.g->MoveColumn(1, 3);
    EXPECT_EQ(f.g->GetCellEx(3, 1), u"c1");
    EXPECT_EQ(f.g->ColumnPosition(1), 3);
    EXPECT_EQ(f.g->ColumnAtPosition(3), 1);
    EXPECT_EQ(f.g->ColumnAtPosition(1), 2);
    EXPECT_EQ(f.g->OriginalCells(1, 1), u"c1");
    f.g->SetOriginalCells(2, 1, u"two");
    EXPECT_EQ(f.g->GetCellEx(1, 1), u"two");
}

TEST(ExGridCellViews, ControlValuesReadAndChangeOnlyAControlThatIsThere) {
    GridOnForm<> f;
    const String cell = u"Name <CONTROL TYPE=\"EDIT\" ID=\"ed1\" VALUE=\"abc\" WIDTH=\"60\">";
    f.g->SetCellEx(1, 2, cell);
    EXPECT_EQ(f.g->ControlValues(1, 2, u"ed1"), u"abc");
    EXPECT_EQ(f.g->ControlValues(1, 2, u"none"), u"");
    f.g->SetControlValues(1, 2, u"ed1", u"xyz");
    EXPECT_EQ(f.g->ControlValues(1, 2, u"ed1"), u"xyz");
    const String changed = f.g->GetCellEx(1, 2);
    f.g->SetControlValues(1, 2, u"none", u"q");
    EXPECT_EQ(f.g->GetCellEx(1, 2), changed);
    f.g->SetCellEx(2, 2, u"plain");
    f.g->SetControlValues(2, 2, u"ed1", u"q");
    EXPECT_EQ(f.g->GetCellEx(2, 2), u"plain");
}

TEST(ExGridCellViews, LinesInCellCountsTheLineBreaks) {
    GridOnForm<> f;
    f.g->SetCellEx(1, 1, u"a\r\nb\r\nc");
    f.g->SetCellEx(1, 2, u"one");
    EXPECT_EQ(f.g->LinesInCell(1, 1), 3);
    EXPECT_EQ(f.g->LinesInCell(1, 2), 1);
    EXPECT_EQ(f.g->LinesInCell(1, 3), 1);
}

TEST(ExGridCellViews, ThePrintLayoutIsReadByColumnWithinItsRange) {
    GridOnForm<> f;
    f.g->SetColCount(3);
    // Printed columns fit their texts.
    f.g->SetCellEx(1, 1, u"ab");
    f.g->SetCellEx(2, 1, u"a much longer text");
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(400, 400);
    f.g->Tools().SetPreviewPage(1);
    f.g->Tools().PrintPreview(bmp.Canvas(), Rect(0, 0, 400, 400));
    EXPECT_GT(f.g->PrintColWidth(2), f.g->PrintColWidth(1));
    EXPECT_GT(f.g->PrintColOffset(2), f.g->PrintColOffset(1));
    EXPECT_EQ(f.g->PrintColWidth(300), 0);
    for (int c : {-1, 512}) {
        try {
            f.g->PrintColWidth(c);
            ADD_FAILURE() << c;
        } catch (const EExGridError& e) {
            EXPECT_EQ(e.Message(), u"Columns is not in valid range");
        }
        EXPECT_THROW(f.g->PrintColOffset(c), EExGridError);
    }
}

TEST(ExGridCellViews, EachLookReadsItsDefaultAndRepaintsTheDisplayedCellWhenSet) {
    ViewGrid f;
    EXPECT_EQ(f.g->ColorsTo(3, 2), clNone);
    EXPECT_EQ(f.g->Gradients(3, 2), GradientVertical);
    EXPECT_TRUE(f.g->FontStyles(3, 2).Empty());
    EXPECT_EQ(f.g->FontSizes(3, 2), 0);
    EXPECT_EQ(f.g->FontNames(3, 2), u"");
    EXPECT_EQ(&f.g->Fonts(3, 2), &f.g->Font());
    EXPECT_FALSE(f.g->CellPropsAssigned(3, 2));
    EXPECT_TRUE(f.g->WordWraps(3, 2));
    EXPECT_TRUE(f.g->CellPropsAssigned(3, 2));
    // Column 1 hidden: real column 3 shows as column 2.
    f.g->HideColumn(1);
    f.Flush();
    struct Case {
        const char* name;
        std::function<void(TExStringGrid*)> set;
        std::function<bool(TExStringGrid*)> check;
    };
    TFont red;
    red.SetName(u"Courier New");
    red.SetSize(14);
    red.SetColor(clRed);
    red.SetStyle(TFontStyles{fsBold});
    const Case cases[] = {
        {"ColorsTo", [](TExStringGrid* g) { g->SetColorsTo(3, 2, clBlue); },
         [](TExStringGrid* g) { return g->ColorsTo(3, 2) == clBlue; }},
        {"Gradients", [](TExStringGrid* g) { g->SetGradients(3, 2, GradientHorizontal); },
         [](TExStringGrid* g) { return g->Gradients(3, 2) == GradientHorizontal; }},
        {"FontStyles", [](TExStringGrid* g) { g->SetFontStyles(3, 2, TFontStyles{fsItalic}); },
         [](TExStringGrid* g) { return g->FontStyles(3, 2) == TFontStyles{fsItalic}; }},
        {"FontSizes", [](TExStringGrid* g) { g->SetFontSizes(3, 2, 12); },
         [](TExStringGrid* g) { return g->FontSizes(3, 2) == 12; }},
        {"FontNames", [](TExStringGrid* g) { g->SetFontNames(3, 2, u"Arial"); },
         [](TExStringGrid* g) { return g->FontNames(3, 2) == u"Arial"; }},
        {"WordWraps", [](TExStringGrid* g) { g->SetWordWraps(3, 2, false); },
         [](TExStringGrid* g) { return !g->WordWraps(3, 2); }},
        {"Fonts", [&](TExStringGrid* g) { g->SetFonts(3, 2, red); },
         [](TExStringGrid* g) {
             const TFont& f = g->Fonts(3, 2);
             return f.Name() == u"Courier New" && f.Size() == 14 && f.Color() == clRed &&
                    f.Style() == TFontStyles{fsBold} && g->FontColors(3, 2) == clRed;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.Flush();
        ASSERT_TRUE(f.Pending().Right == 0);
        c.set(f.g);
        EXPECT_TRUE(c.check(f.g));
        EXPECT_TRUE(Holds(f.Pending(), f.g->CellRect(2, 2)));
    }
    // Fonts waits while the grid is held.
    f.g->SetFontSizes(3, 3, 9);
    f.Flush();
    f.g->BeginUpdate();
    f.g->SetFonts(3, 3, red);
    EXPECT_EQ(f.Pending().Right, 0);
    f.g->EndUpdate();
}

TEST(ExGridCellViews, ACellFontFillsWhatTheCellLeavesFromTheGridsAndIsPainted) {
    ViewGrid f;
    f.g->UnHideColumnsAll();
    f.g->SetFontSizes(2, 2, 14);
    const TFont& font = f.g->Fonts(2, 2);
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.Name(), f.g->Font().Name());
    TFont red;
    red.Assign(&f.g->Font());
    red.SetColor(clRed);
    red.SetStyle(TFontStyles{fsBold});
    f.g->SetFonts(2, 2, red);
    f.g->SetCellEx(2, 2, u"MMM");
    TBitmap b;
    RenderControlToBitmap(f.g, b);
    const TRect R = f.g->CellRect(2, 2);
    bool reddish = false;
    for (int y = R.Top; y < R.Bottom && !reddish; ++y)
        for (int x = R.Left; x < R.Right && !reddish; ++x) {
            const TColor c = b.Canvas().Pixels(x + 2, y + 2);
            reddish = GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    EXPECT_TRUE(reddish);
}

}  // namespace
