#include "grid/foundation/PartDrawing.h"

#include "grid/foundation/ExXPVS.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Painter = std::function<void(TCanvas&, const TControl*, TRect, TPartLook, TPartState, TColorTones)>;

TColorTones Tones() {
    TColorTones t;
    t.Background = {RGB(200, 200, 200), RGB(10, 10, 10), RGB(0, 0, 200)};
    t.Hover = {RGB(0, 200, 0), RGB(20, 20, 20), clWhite};
    t.Selected = {RGB(200, 0, 0), RGB(30, 30, 30), clWhite};
    t.Disabled = {RGB(240, 240, 240), RGB(40, 40, 40), clWhite};
    return t;
}

std::unique_ptr<TBitmap> Paint(const Painter& p, TPartLook look, TPartState state) {
    auto b = std::make_unique<TBitmap>(40, 20);
    b->Canvas().Brush().SetColor(clFuchsia);
    b->Canvas().FillRect(Rect(0, 0, 40, 20));
    p(b->Canvas(), nullptr, Rect(0, 0, 40, 20), look, state, Tones());
    return b;
}

bool Same(TBitmap& a, TBitmap& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
    return true;
}

TEST(PartDrawing, OnlyDisabledChangesTheSystemLooks) {
    const Painter painters[] = {DrawComboButton, DrawSpinButtons};
    for (TThemeRenderer renderer : {trStyled, trClassic}) {
        SetThemeRenderer(renderer);
        for (const Painter& p : painters) {
            for (TPartLook look : {plThemed, plClassic, plFlat}) {
                auto normal = Paint(p, look, stNormal);
                auto disabled = Paint(p, look, stDisabled);
                for (TPartState s : {stHot, stDown}) EXPECT_TRUE(Same(*normal, *Paint(p, look, s))) << look << s;
                EXPECT_FALSE(Same(*normal, *disabled)) << look;
                // Nothing left of the 17 (15) pixels at the right edge.
                EXPECT_EQ(normal->Canvas().Pixels(5, 10), clFuchsia);
            }
        }
    }
    SetThemeRenderer(trStyled);
    // Push buttons show their states.
    auto normal = Paint(DrawPushButton, plClassic, stNormal);
    EXPECT_FALSE(Same(*normal, *Paint(DrawPushButton, plClassic, stDown)));
    auto themed = Paint(DrawPushButton, plThemed, stNormal);
    for (TPartState s : {stHot, stDown, stDisabled}) EXPECT_FALSE(Same(*themed, *Paint(DrawPushButton, plThemed, s))) << s;
}

TEST(PartDrawing, ClassicSpinLeavesTheMiddleRow) {
    SetThemeRenderer(trClassic);
    // R (24, -1, 39, 19): Mid 9.
    auto b = Paint(DrawSpinButtons, plClassic, stNormal);
    for (int x = 24; x < 39; ++x) EXPECT_EQ(b->Canvas().Pixels(x, 9), clFuchsia) << x;
    EXPECT_NE(b->Canvas().Pixels(30, 4), clFuchsia);
    SetThemeRenderer(trStyled);
    auto themed = Paint(DrawSpinButtons, plThemed, stNormal);
    EXPECT_NE(themed->Canvas().Pixels(30, 9), clFuchsia);
    // Without the binding the themed look is the classic one.
    FreeThemeLibrary();
    auto unbound = Paint(DrawSpinButtons, plThemed, stNormal);
    InitThemeLibrary();
    SetThemeRenderer(trClassic);
    EXPECT_TRUE(Same(*unbound, *Paint(DrawSpinButtons, plClassic, stNormal)));
    SetThemeRenderer(trStyled);
}

TEST(PartDrawing, TonedLook) {
    // Combo: R (21, 1, 38, 19) moved to Left 24; the state's fill, the separator, the text-colour arrow.
    struct Case {
        TPartState state;
        TColor fill;
    } cases[] = {{stNormal, RGB(200, 200, 200)}, {stHot, RGB(0, 200, 0)}, {stDown, RGB(200, 0, 0)},
                 {stDisabled, RGB(240, 240, 240)}};
    for (const Case& c : cases) {
        auto b = Paint(DrawComboButton, plToned, c.state);
        EXPECT_EQ(b->Canvas().Pixels(35, 3), c.fill);
        EXPECT_EQ(b->Canvas().Pixels(25, 10), RGB(10, 10, 10));
        EXPECT_EQ(b->Canvas().Pixels(32, 9), RGB(0, 0, 200));
        EXPECT_EQ(b->Canvas().Pixels(23, 10), clFuchsia);
        auto face = Paint(DrawPushButton, plToned, c.state);
        EXPECT_EQ(face->Canvas().Pixels(20, 10), c.fill);
        auto spin = Paint(DrawSpinButtons, plToned, c.state);
        EXPECT_EQ(spin->Canvas().Pixels(36, 4), c.fill);
        EXPECT_EQ(spin->Canvas().Pixels(31, 3), clBlack);   // up arrow
        EXPECT_EQ(spin->Canvas().Pixels(31, 11), clBlack);  // down arrow
        EXPECT_EQ(spin->Canvas().Pixels(30, 9), clFuchsia); // the row between
    }
    EXPECT_EQ(Paint(DrawPushButton, plToned, stDown)->Canvas().Pixels(0, 0), RGB(30, 30, 30));

    TBitmap arrow(9, 6);
    arrow.Canvas().Brush().SetColor(clWhite);
    arrow.Canvas().FillRect(Rect(0, 0, 9, 6));
    DrawSmallDownArrow(arrow.Canvas(), 4, 1, clBlack);
    EXPECT_EQ(arrow.Canvas().Pixels(1, 1), clBlack);
    EXPECT_EQ(arrow.Canvas().Pixels(7, 1), clBlack);
    EXPECT_EQ(arrow.Canvas().Pixels(4, 4), clBlack);
    EXPECT_EQ(arrow.Canvas().Pixels(0, 1), clWhite);
    EXPECT_EQ(arrow.Canvas().Pixels(4, 5), clWhite);
}

}  // namespace
