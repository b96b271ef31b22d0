#include "grid/ExCGrid.h"

#include "grid/foundation/GridColors.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }
int Red(const Bmp& b, int x, int y) { return GetRValue(At(b, x, y)); }

bool Any(const Bmp& b, int x0, int y0, int x1, int y1, const std::function<bool(TColor)>& Test) {
    return PaintForm::AnyPixel(b, Rect(x0, y0, x1, y1), Test);
}

bool SameArea(const Bmp& a, const Bmp& b, int x0, int y0, int x1, int y1) {
    return PaintForm::SameArea(a, b, Rect(x0, y0, x1, y1));
}

// Header cell (1, 0) is client 40..80 x 0..20; its content ends at x 79, y 18.
TEST(ExGridFrame, HoveredAndPressedHeaderCellsShowTheirGradients) {
    PaintForm f;
    f.g->SetHoverFixedCells(hfAll);
    auto b = f.Render();
    EXPECT_GT(Red(b, 60, 3), 0xF0);  // the normal gradient starts white

    SimulateMouseMove(f.g, 45, 5);
    b = f.Render();
    // Hover: gray at the top to white at the bottom, framed in silver.
    EXPECT_LT(Red(b, 60, 2), 0x98);
    EXPECT_GT(Red(b, 60, 17), 0xE0);
    EXPECT_EQ(At(b, 40, 10), clSilver);
    EXPECT_EQ(At(b, 78, 10), clSilver);
    EXPECT_GT(Red(b, 100, 3), 0xF0);  // the next header is not hovered

    SimulateMouseDown(f.g, mbLeft, 45, 5);
    b = f.Render();
    // Pressed: gray to silver, framed in gray.
    EXPECT_EQ(At(b, 40, 10), clGray);
    EXPECT_LT(Red(b, 60, 17), 0xC8);
    EXPECT_GT(Red(b, 60, 17), 0xA0);

    SimulateMouseUp(f.g, mbLeft, 45, 5);
    b = f.Render();
    EXPECT_EQ(At(b, 40, 10), clSilver);

    // The control look's setters reach the painter; clNone keeps the colour.
    f.g->ControlLook().SetFixedGradientHoverFrom(clRed);
    f.g->ControlLook().SetFixedGradientHoverBorder(clNone);
    b = f.Render();
    EXPECT_GT(Red(b, 60, 3), 0xE0);
    EXPECT_LT(GetGValue(At(b, 60, 3)), 0x40);
    EXPECT_EQ(At(b, 40, 10), clSilver);
    EXPECT_EQ(f.g->ControlLook().FixedGradientHoverBorder, clNone);

    // Only the fixed rows hover with hfFixedRows: the fixed column's cell (0, 2) stays plain.
    f.g->SetHoverFixedCells(hfFixedRows);
    SimulateMouseMove(f.g, 5, 45);
    b = f.Render();
    EXPECT_NE(At(b, 0, 50), clSilver);
    EXPECT_GT(Red(b, 20, 43), 0xF0);
}

TEST(ExGridFrame, AFixedDropDownButtonSplitsTheHoveredHeader) {
    PaintForm f;
    f.g->SetHoverFixedCells(hfAll);
    f.g->ControlLook().FixedDropDownButton = true;
    SimulateMouseMove(f.g, 45, 5);
    auto b = f.Render();
    // Separator 16 pixels from the content's right edge (79) in the hover
    // border colour, a dark arrow right of it.
    EXPECT_EQ(At(b, 63, 10), clSilver);
    EXPECT_TRUE(Any(b, 64, 8, 79, 12, [](TColor c) { return c == clBlack; }));

    // Pressed on the button: the button down, the rest hovered; pressed elsewhere the other way.
    struct Case {
        int x;
        bool buttonDown;
    } cases[] = {{70, true}, {45, false}};
    for (const Case& c : cases) {
        SimulateMouseMove(f.g, c.x, 5);
        SimulateMouseDown(f.g, mbLeft, c.x, 5);
        b = f.Render();
        const int rest = Red(b, 52, 17), button = Red(b, 76, 17);
        EXPECT_EQ(button < rest, c.buttonDown) << c.x;
        EXPECT_EQ(At(b, 63, 10), clGray) << c.x;
        SimulateMouseUp(f.g, mbLeft, c.x, 5);
    }

    // A refused column shows no button.
    f.g->OnCanShowFixedDropDown = [](TObject*, int, bool& Allow) { Allow = false; };
    SimulateMouseMove(f.g, 45, 5);
    b = f.Render();
    EXPECT_NE(At(b, 63, 10), clSilver);
}

TEST(ExGridFrame, TheRowIndicatorStandsInColumnZeroOfTheCurrentRow) {
    PaintForm f;
    TBitmap mark(8, 8);
    mark.Canvas().Brush().SetColor(clRed);
    mark.Canvas().FillRect(Rect(0, 0, 8, 8));
    mark.Canvas().SetPixels(0, 7, clLime);  // the bottom-left colour is see-through
    f.g->SetRow(3);
    f.g->SetRowIndicator(mark);
    auto b = f.Render();
    // Cell (0, 3): client 0..40 x 60..80, the bitmap at (2, 60).
    EXPECT_EQ(At(b, 4, 62), clRed);
    EXPECT_NE(At(b, 2, 67), clLime);
    EXPECT_NE(At(b, 4, 42), clRed);

    f.g->SetVAlignment(vtaBottom);
    f.g->SetRow(5);
    b = f.Render();
    EXPECT_EQ(At(b, 4, 115), clRed);  // content of row 5 ends at y 118
    EXPECT_NE(At(b, 4, 62), clRed);
    EXPECT_NE(At(b, 4, 102), clRed);
}

TEST(ExGridFrame, CellBordersFromTheEventWithTheirPens) {
    PaintForm f;
    f.g->OnGetCellBorder = [](TObject*, int ARow, int ACol, TPen& APen, TSet<int>& Borders) {
        if (ACol != 2 || ARow != 2) return;
        APen.SetColor(clRed);
        Borders = TSet<int>{cbLeft, cbTop, cbRight, cbBottom};
    };
    auto b = f.Render();
    // Cell (2, 2): client 80..120 x 40..60.
    EXPECT_EQ(At(b, 81, 50), clRed);
    EXPECT_EQ(At(b, 118, 50), clRed);
    EXPECT_EQ(At(b, 100, 40), clRed);
    EXPECT_EQ(At(b, 100, 58), clRed);
    EXPECT_EQ(At(b, 100, 50), clWhite);
    EXPECT_EQ(At(b, 140, 50), clWhite);
    EXPECT_EQ(At(b, 100, 70), clWhite);

    // Each side may take its own pen.
    f.g->OnGetCellBorderProp = [](TObject*, int, int, TPen&, TPen&, TPen& Right, TPen&) { Right.SetColor(clBlue); };
    b = f.Render();
    EXPECT_EQ(At(b, 118, 50), clBlue);
    EXPECT_EQ(At(b, 81, 50), clRed);
}

TEST(ExGridFrame, AColumnBordersItsDataCellsWithItsPen) {
    PaintForm f;
    TGridColumnItem* c = f.g->Columns().Items(2);
    EXPECT_EQ(c->BorderPen().Color(), clSilver);
    TPen pen;
    pen.SetColor(clRed);
    c->SetBorderPen(pen);
    c->SetBorders(TSet<int>{cbBottom});
    auto b = f.Render();
    // Column 2 is client 80..120; each data row's bottom line, not the header's.
    for (int r = 1; r < 5; ++r) EXPECT_EQ(At(b, 100, r * 20 + 18), clRed) << r;
    EXPECT_NE(At(b, 100, 18), clRed);
    EXPECT_NE(At(b, 140, 38), clRed);
    // The grid's event still has the last word.
    f.g->OnGetCellBorder = [](TObject*, int ARow, int, TPen&, TSet<int>& Borders) {
        if (ARow == 2) Borders = TSet<int>{};
    };
    b = f.Render();
    EXPECT_NE(At(b, 100, 58), clRed);
    EXPECT_EQ(At(b, 100, 38), clRed);
}

TEST(ExGridFrame, ClassicAndSoftHeaderEdges) {
    PaintForm f;
    const TColor face = ColorToRGB(f.g->FixedColor()), half = HalveColor(face);
    struct Probe {
        int x, y;
        TColor c;
    };
    struct Case {
        TGridLook look;
        std::vector<Probe> probes;
    } cases[] = {
        {glClassic, {{78, 10, clBlack}, {60, 18, clBlack}, {60, 10, face}}},
        {glSoft, {{60, 18, half}, {60, 1, clWhite}, {41, 10, clWhite}, {78, 10, half}, {79, 10, clWhite}, {60, 10, face}}},
    };
    for (const Case& c : cases) {
        f.g->SetLook(c.look);
        auto b = f.Render();
        for (const Probe& p : c.probes) EXPECT_EQ(At(b, p.x, p.y), p.c) << c.look << " " << p.x << "," << p.y;
        // Flat: the plain fill without edges.
        f.g->SetFlat(true);
        b = f.Render();
        EXPECT_EQ(At(b, 60, 18), face) << c.look;
        f.g->SetFlat(false);
    }
}

TEST(ExGridFrame, GradientLooksTakeTheGridsHeaderGradientUnlessTheCellHasItsColour) {
    PaintForm f;
    f.g->SetLook(glVista);
    // The preset's two-half header: white above, 0xFAF8F7 .. 0xF4F2F1 below.
    EXPECT_EQ(f.g->GPKGradientFrom(), clWhite);
    EXPECT_EQ(f.g->GPKGradientMirrorTo(), TColor(0xF4F2F1));
    auto b = f.Render();
    EXPECT_EQ(At(b, 60, 3), clWhite);
    EXPECT_GE(GetRValue(At(b, 60, 12)), 0xF4);
    EXPECT_LE(GetRValue(At(b, 60, 12)), 0xFA);
    f.g->ControlLook().SetFixedGradientFrom(clRed);
    f.g->ControlLook().SetFixedGradientTo(clNone);  // keeps the grid's end colour
    EXPECT_EQ(f.g->GPKGradientFrom(), clRed);
    EXPECT_EQ(f.g->GPKGradientTo(), clWhite);
    f.g->SetColors(2, 0, clYellow);
    b = f.Render();
    EXPECT_EQ(At(b, 60, 0), clRed);
    EXPECT_EQ(At(b, 100, 10), clYellow);
    EXPECT_EQ(At(b, 100, 17), clYellow);
}

TEST(ExGridFrame, ADisabledGridGreysTheHeaderTextToo) {
    PaintForm f;
    f.g->SetCellEx(2, 0, u"WWWW");
    f.g->Columns().Items(2)->HeaderFont().SetColor(0xFF0000);
    f.g->SetDisabledFontColor(0x0000FF);
    auto inked = [&](bool RedInk) {
        auto b = f.Render();
        return Any(b, 81, 1, 119, 18, [RedInk](TColor c) {
            const int strong = RedInk ? GetRValue(c) : GetBValue(c), weak = RedInk ? GetBValue(c) : GetRValue(c);
            return strong > 200 && weak < 100;
        });
    };
    EXPECT_TRUE(inked(false));
    f.g->SetEnabled(false);
    EXPECT_TRUE(inked(true));
    EXPECT_FALSE(inked(false));
}

TEST(ExGridFrame, AlwaysVisibleDropDownButtonsFollowEditability) {
    PaintForm f;
    f.g->Columns().Items(1)->SetEditor(edComboList);
    f.g->Columns().Items(2)->SetEditor(edComboList);
    f.g->Columns().Items(2)->SetReadOnly(true);
    // Row 3 (client y 60..80), away from the current cell.
    auto plain = f.Render();
    EXPECT_FALSE(Any(plain, 60, 62, 79, 78, [](TColor c) { return c != clWhite; }));
    f.g->ControlLook().DropDownAlwaysVisible = true;
    auto b = f.Render();
    // A button at the right of each combo cell, none in column 3; a read-only cell's is disabled.
    EXPECT_TRUE(Any(b, 60, 62, 79, 78, [](TColor c) { return c != clWhite; }));
    EXPECT_FALSE(Any(b, 140, 62, 159, 78, [](TColor c) { return c != clWhite; }));
    EXPECT_FALSE(PaintForm::SameArea(b, b, Rect(62, 62, 79, 78), 40));
}

TEST(ExGridFrame, EveryCheckBoxStyleShowsBothStates) {
    PaintForm f;
    f.g->Columns().Items(1)->SetEditor(edDataCheckBox);
    f.g->SetCellEx(1, 1, u"Y");
    f.g->SetCellEx(1, 2, u"N");
    TBitmap on(16, 16);
    on.Canvas().Brush().SetColor(clRed);
    on.Canvas().FillRect(Rect(0, 0, 16, 16));
    on.Canvas().SetPixels(0, 15, clLime);
    f.g->ControlLook().CheckedGlyph.Assign(&on);
    // The boxes of the left-aligned cells (1, 1) and (1, 2): 16 x 16 from (43, 23) and (43, 43).
    for (TGridControlStyle style : {csClassic, csFlat, csVintage, csGPK, csGlyph, csWinXP}) {
        f.g->ControlLook().ControlStyle = style;
        auto b = f.Render();
        bool differs = false;
        for (int y = 0; y < 16 && !differs; ++y)
            for (int x = 0; x < 16 && !differs; ++x) differs = At(b, 43 + x, 23 + y) != At(b, 43 + x, 43 + y);
        EXPECT_TRUE(differs) << style;
    }
    f.g->ControlLook().ControlStyle = csGPK;
    auto b = f.Render();
    EXPECT_EQ(At(b, 44, 28), TColor(0x8B6A4E));
    f.g->ControlLook().ControlStyle = csGlyph;
    b = f.Render();
    EXPECT_EQ(At(b, 51, 31), clRed);
    EXPECT_NE(At(b, 43, 38), clLime);
}

TEST(ExGridFrame, ListViewHeadersAreThemedItemsWithAHotFace) {
    PaintForm f;
    f.g->SetLook(glListView);
    auto normal = f.Render();
    EXPECT_EQ(At(normal, 60, 0), clWhite);
    SimulateMouseMove(f.g, 45, 5);
    auto hot = f.Render();
    EXPECT_FALSE(SameArea(normal, hot, 41, 1, 79, 18));
    EXPECT_TRUE(SameArea(normal, hot, 81, 1, 119, 18));
}


// A menu that records where it would pop up instead of running a modal loop.
struct RecordingMenu : TPopupMenu {
    RecordingMenu() : TPopupMenu(nullptr) {}
    std::vector<TPoint> shown;
    std::vector<std::intptr_t> tags;
    void Popup(int X, int Y) override {
        shown.push_back({X, Y});
        tags.push_back(Tag());
    }
};

TEST(ExGridFrame, APressOnAHeadersDropDownButtonShowsItsMenuUnderTheButton) {
    // x: the press in header (1, 0) = 40..80 x 0..20; menu: the grid's menu is set;
    // handler: an OnFixedDropDownClick is assigned (it may take the menu away).
    struct Case {
        const char* name;
        int x;
        bool menu, handler, clear;
        bool sizing;
        bool shown;
    };
    const Case cases[] = {
        {"menu on the button", 70, true, false, false, false, true},
        {"left of the button", 60, true, false, false, false, false},
        {"at the sizing border", 79, true, false, false, true, false},
        {"border without sizing", 79, true, false, false, false, true},
        {"handler gives none", 70, true, true, true, false, false},
        {"handler alone", 70, false, true, false, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PaintForm f;
        RecordingMenu menu;
        f.g->SetHoverFixedCells(hfAll);
        f.g->ControlLook().FixedDropDownButton = true;
        if (k.sizing) f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
        else f.g->SetOptions(f.g->Options() - TGridOptions{goColSizing});
        if (k.menu) f.g->SetFixedDropDownMenu(&menu);
        std::vector<int> asked;
        if (k.handler)
            f.g->OnFixedDropDownClick = [&](TObject*, int c, int r, TPopupMenu*& m, bool& keep) {
                asked.push_back(c * 10 + r);
                EXPECT_FALSE(keep);
                if (k.clear) m = nullptr;
            };
        int clicks = 0;
        f.g->OnClickCell = [&](TObject*, int, int) { ++clicks; };
        SimulateMouseMove(f.g, k.x, 5);
        SimulateMouseDown(f.g, mbLeft, k.x, 5);
        SimulateMouseUp(f.g, mbLeft, k.x, 5);
        ASSERT_EQ(menu.shown.size(), k.shown ? 1u : 0u);
        if (k.shown) {
            EXPECT_EQ(menu.shown[0], f.g->ClientToScreen({80 - 16, 20}));
            EXPECT_EQ(menu.tags[0], 1);
        }
        const bool button = k.x > 64 && (!k.sizing || k.x < 78) && (k.menu || k.handler);
        EXPECT_EQ(asked, k.handler && button ? std::vector<int>{10} : std::vector<int>{});
        // A press that went to the button is no cell click (one at the border sizes instead).
        if (!k.sizing) EXPECT_EQ(clicks == 0, button);
        // The right button opens it as well.
        SimulateMouseDown(f.g, mbRight, k.x, 5);
        SimulateMouseUp(f.g, mbRight, k.x, 5);
        EXPECT_EQ(menu.shown.size(), k.shown ? 2u : 0u);
    }
}

}  // namespace
