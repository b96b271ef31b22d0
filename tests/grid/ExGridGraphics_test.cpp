#include "grid/ExCGrid.h"

#include "framework/Graphics.h"

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
    TBitmap* b = f.g->CreateBitmap(2, 3, false, taLeftJustify, vtaTop);
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
    f.g->AddBitmap(2, 3, &own, false, taRightJustify, vtaBottom);
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
    f.g->AddButton(2, 3, 30, 14, u"Go", taCenter, vtaCenter);
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

}  // namespace
