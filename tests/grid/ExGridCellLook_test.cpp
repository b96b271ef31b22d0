#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct FormattingGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::GetFormattedCell;
};

// A borderless grid of 40 x 20 cells without scroll bars on a shown form;
// another control holds the focus unless a test gives it to the grid.
struct LookForm {
    TForm form{nullptr};
    FormattingGrid* g;
    TExStringGrid* other;
    LookForm() {
        form.SetBounds(0, 0, 600, 400);
        g = new FormattingGrid(&form);
        g->SetParent(&form);
        g->SetBounds(10, 10, 300, 200);
        g->SetBorderStyle(bsNone);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        g->SetColCount(4);
        g->SetRowCount(4);
        other = new TExStringGrid(&form);
        other->SetParent(&form);
        other->SetBounds(320, 10, 100, 100);
        form.Show();
        other->SetFocus();
    }
    TBitmap shot;
    void Render() { RenderControlToBitmap(g, shot); }
    TColor At(int x, int y) { return shot.Canvas().Pixels(x, y); }
    // The columns of cell (ACol, ARow) holding a pixel other than Background.
    std::vector<int> InkColumns(int ACol, int ARow, TColor Background) {
        std::vector<int> xs;
        const TRect r = g->CellRect(ACol, ARow);
        for (int x = r.Left + 1; x < r.Right - 2; ++x)
            for (int y = r.Top + 1; y < r.Bottom - 2; ++y)
                if (At(x, y) != Background) {
                    xs.push_back(x - r.Left);
                    break;
                }
        return xs;
    }
};

TEST(ExGridCellLook, TheOwnerColoursShadesAndAlignsCells) {
    LookForm f;
    std::vector<std::pair<int, int>> asked;
    f.g->OnGetCellColor = [&](TObject* Sender, int ARow, int ACol, TGridDrawState, TBrush& ABrush, TFont&) {
        EXPECT_EQ(Sender, f.g);
        asked.emplace_back(ACol, ARow);
        if (ACol == 2 && ARow == 1) ABrush.SetColor(clRed);
    };
    f.g->OnGetCellGradient = [&](TObject*, int ARow, int ACol, TColor& Color, TColor& ColorTo, TColor&, TColor&,
                                 TCellGradientDirection& GD) {
        if (ACol != 1 || ARow != 2) return;
        Color = clBlack;
        ColorTo = clWhite;
        GD = GradientHorizontal;
    };
    f.g->SetCellEx(3, 1, u"W");
    f.g->OnGetAlignment = [&](TObject*, int ARow, int ACol, TAlignment& HAlign, TVAlignment&) {
        if (ACol == 3 && ARow == 1) HAlign = taRightJustify;
    };
    f.Render();
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(f.At(2 * 40 + 20, 20 + 10), clRed);
    EXPECT_EQ(f.At(3 * 40 + 20, 3 * 20 + 10), clWhite) << "other cells keep the grid's colour";
    // Across the shaded cell: dark at the left, light at the right.
    const int y = 2 * 20 + 10;
    EXPECT_LT(GetRValue(f.At(40 + 3, y)), 40);
    EXPECT_GT(GetRValue(f.At(40 + 35, y)), 200);
    const std::vector<int> ink = f.InkColumns(3, 1, clWhite);
    ASSERT_FALSE(ink.empty());
    EXPECT_GT(ink.front(), 20) << "the text sits at the right";
}

// The formula of a cell is worked out through the calculation hook.
struct CalcGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    String GetCalcCell(int ACol, int ARow) override {
        const String raw = GetGridCell(ACol, ARow);
        return raw == u"=1+1" ? String(u"2") : raw;
    }
};

TEST(ExGridCellLook, NumbersAlignRightWithAutoNumAlign) {
    CalcGrid g(nullptr);
    struct Case {
        const char16_t* text;
        bool own;
        TAlignment off, on;
    } cases[] = {
        {u"  42  ", false, taLeftJustify, taRightJustify},
        {u"3.5", false, taLeftJustify, taRightJustify},
        {u"1e5", false, taLeftJustify, taRightJustify},
        {u"42a", false, taLeftJustify, taLeftJustify},
        {u"", false, taLeftJustify, taLeftJustify},
        // A cell's own alignment wins, unless its text is a formula.
        {u"42", true, taCenter, taCenter},
        {u"=1+1", true, taCenter, taRightJustify},
        {u"=x", false, taLeftJustify, taLeftJustify},
    };
    for (const Case& c : cases) {
        g.SetCells(1, 1, c.text);
        g.ClearRect(1, 2, 1, 2);
        if (c.own) g.SetAlignments(1, 1, taCenter);
        g.SetAutoNumAlign(false);
        EXPECT_EQ(g.CellAlignment(1, 1), c.off) << StringToUtf8(c.text);
        g.SetAutoNumAlign(true);
        EXPECT_EQ(g.CellAlignment(1, 1), c.on) << StringToUtf8(c.text);
        g.ClearRect(1, 1, 1, 1);
    }
    // Progress bars go to the right with it.
    g.AddProgress(2, 2, clRed, clBlue);
    EXPECT_EQ(g.Alignments(2, 2), taRightJustify);
}

TEST(ExGridCellLook, NumbersShowInTheFormatTheOwnerAnswers) {
    LookForm f;
    struct Case {
        const char16_t* text;
        const char16_t* format;
        bool isFloat;
        const char16_t* shown;
        bool asked;
    };
    const Case cases[] = {
        {u"3.14159", u"%.1f", true, u"3.1", true},
        {u"42", u"%5d", true, u"   42", true},
        {u"42", u"%.2f", true, u"42.00", true},
        {u"1e3", u"%.0f", true, u"1000", true},
        {u"3.14159", u"%.1f", false, u"3.14159", true},
        {u"3.14159", u"", true, u"3.14159", true},
        {u"2.5", u"%s", true, u"2.5", true},  // a format that does not fit shows the text
        {u"abc", u"%.1f", true, u"abc", false},
        {u"", u"%.1f", true, u"", false},
    };
    for (const Case& c : cases) {
        bool asked = false;
        f.g->OnGetFloatFormat = [&](TObject*, int ACol, int ARow, bool& IsFloat, String& Format) {
            asked = true;
            EXPECT_EQ(ACol, 1);
            EXPECT_EQ(ARow, 2);
            EXPECT_TRUE(IsFloat);
            EXPECT_EQ(Format, u"%.2f") << "the grid's float format is offered";
            IsFloat = c.isFloat;
            Format = c.format;
        };
        f.g->SetCellEx(1, 2, c.text);
        EXPECT_EQ(f.g->GetFormattedCell(1, 2), c.shown) << StringToUtf8(c.text) << " " << StringToUtf8(c.format);
        EXPECT_EQ(asked, c.asked) << StringToUtf8(c.text);
    }
    f.g->OnGetFloatFormat = nullptr;
    EXPECT_EQ(f.g->GetFormattedCell(1, 2), u"") << "without the event the text is plain";
}

TEST(ExGridCellLook, OwnerDrawingFramesTheCellContent) {
    LookForm f;
    f.g->SetCellEx(1, 1, u"MMMM");
    std::vector<String> order;
    f.g->OnCustomCellBkgDraw = [&](TObject*, TCanvas& C, int ACol, int ARow, TGridDrawState, TRect R, bool Printing) {
        EXPECT_FALSE(Printing);
        if (ACol != 1 || ARow != 1) return;
        order.push_back(u"background");
        C.Brush().SetColor(clLime);
        C.FillRect(R);
    };
    f.g->OnCustomCellDraw = [&](TObject*, TCanvas& C, int ACol, int ARow, TGridDrawState, TRect R, bool) {
        if (ACol != 1 || ARow != 1) return;
        order.push_back(u"content");
        C.Brush().SetColor(clBlue);
        C.FillRect(Rect(R.Left, R.Top, R.Left + 4, R.Top + 4));
    };
    f.Render();
    EXPECT_EQ(order, (std::vector<String>{u"background", u"content"}));
    EXPECT_EQ(f.At(40 + 1, 20 + 1), clBlue) << "drawn after the content";
    EXPECT_EQ(f.At(40 + 36, 20 + 16), clLime) << "the background under the text";
    const std::vector<int> ink = f.InkColumns(1, 1, clLime);
    EXPECT_GT(ink.size(), 8u) << "the text is drawn over the background";
}

// Rows 1 to 3 hold a, b, c in column 0; the grid has the focus.
struct RowKeys : LookForm {
    std::vector<String> log;
    RowKeys() {
        for (int r = 1; r < 4; ++r) g->SetCellEx(0, r, String(1, Char(u'a' + r - 1)));
        g->OnAutoAddRow = [this](TObject*, int ARow) { log.push_back(u"add " + IntToStr(ARow)); };
        g->OnAutoInsertRow = [this](TObject*, int ARow) { log.push_back(u"insert " + IntToStr(ARow)); };
        g->OnAutoDeleteRow = [this](TObject*, int ARow) { log.push_back(u"delete " + IntToStr(ARow)); };
        g->SetFocus();
    }
    std::vector<String> Column() {
        std::vector<String> v;
        for (int r = 1; r < g->RowCount(); ++r) v.push_back(g->GetCellEx(0, r));
        return v;
    }
};

TEST(ExGridRowKeys, DownOnTheLastRowAppendsWhenAllowed) {
    RowKeys k;
    k.g->SetRow(3);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(k.g->RowCount(), 4) << "off by default";
    k.g->Navigation().SetAppendOnArrowDown(true);
    k.g->SetRow(1);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(k.g->RowCount(), 4) << "Down on a row above the last only moves";
    k.g->SetRow(3);
    bool allow = false;
    k.g->OnCanAddRow = [&](TObject*, bool& CanAdd) { CanAdd = allow; };
    SimulateKey(VK_DOWN);
    EXPECT_EQ(k.g->RowCount(), 4) << "refused";
    allow = true;
    SimulateKey(VK_DOWN);
    EXPECT_EQ(k.g->RowCount(), 5);
    EXPECT_EQ(k.g->Row(), 4) << "the cursor goes on to the new row";
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"b", u"c", u""}));
    EXPECT_EQ(k.log, (std::vector<String>{u"add 4"}));
}

TEST(ExGridRowKeys, InsertAndDeleteWhereTheNavigationSays) {
    RowKeys k;
    k.g->SetRow(2);
    SimulateKey(VK_INSERT);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"b", u"c"})) << "off by default";

    k.g->Navigation().SetAllowInsertRow(true);
    k.g->Navigation().SetAllowDeleteRow(true);
    SimulateKey(VK_INSERT);
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"", u"b", u"c"})) << "before the current row";
    EXPECT_EQ(k.g->Row(), 2);
    k.g->Navigation().SetInsertPosition(pInsertAfter);
    SimulateKey(VK_INSERT);
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"", u"", u"b", u"c"}));
    EXPECT_EQ(k.g->Row(), 3) << "on the new row after it";
    SimulateKey(VK_INSERT, TShiftState{ssCtrl});
    EXPECT_EQ(k.g->RowCount(), 6) << "Ctrl+Insert inserts nothing";

    int asked = -1;
    k.g->OnCanDeleteRow = [&](TObject*, int ARow, bool& CanDelete) {
        asked = ARow;
        CanDelete = ARow != 4;
    };
    k.g->SetRow(4);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(k.g->RowCount(), 6) << "refused";
    k.g->SetRow(2);
    SimulateKey(VK_DELETE);
    k.g->SetRow(2);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"b", u"c"}));
    EXPECT_EQ(k.log, (std::vector<String>{u"insert 2", u"insert 3", u"delete 2", u"delete 2"}));
    EXPECT_TRUE(k.g->Modified());

    // The only data row is emptied, not removed.
    k.g->SetRowCount(2);
    k.g->SetCellEx(0, 1, u"z");
    k.g->SetRow(1);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(k.g->RowCount(), 2);
    EXPECT_EQ(k.g->GetCellEx(0, 1), u"");
}

TEST(ExGridRowKeys, RowsHiddenByAFilterKeepTheirPlaces) {
    RowKeys k;
    k.g->SetRowCount(5);
    k.g->SetCellEx(0, 4, u"ab");
    k.g->Filter().GetColFilter(0)->SetCondition(u"a*");
    k.g->SetFilterActive(true);
    ASSERT_TRUE(k.g->FilterActive());
    ASSERT_EQ(k.Column(), (std::vector<String>{u"a", u"ab"}));
    k.g->Navigation().SetAllowInsertRow(true);
    k.g->Navigation().SetAllowDeleteRow(true);
    k.g->SetRow(2);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(k.log, (std::vector<String>{u"delete 4"})) << "the real row";
    k.g->SetFilterActive(false);
    EXPECT_EQ(k.Column(), (std::vector<String>{u"a", u"b", u"c"}));
}

}  // namespace
