#include "grid/foundation/ExGridButton.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Panel {
    Panel() {
        form.SetBounds(100, 100, 300, 120);
        form.Show();
    }
    TExGridButton* Add(int X, const String& Caption = u"") {
        auto* b = new TExGridButton(&form);
        b->SetParent(&form);
        b->SetBounds(X, 10, 60, 24);
        b->SetCaption(Caption);
        b->OnClick = [this, b](TObject*) { ++clicks[b]; };
        return b;
    }
    void Click(TExGridButton* b, int X = 10, int Y = 10) {
        SimulateMouseDown(b, mbLeft, X, Y);
        SimulateMouseUp(b, mbLeft, X, Y);
    }
    TForm form{nullptr};
    std::map<TExGridButton*, int> clicks;
};

TEST(ExGridButton, LayoutOfGlyphAndCaption) {
    Panel p;
    TExGridButton* b = p.Add(10, u"Find");
    TBitmap G(16, 16);
    b->SetGlyph(G);
    b->SetSpacing(-1);
    TPoint Glyph;
    TRect Text;
    b->CalcButtonLayout(Rect(0, 0, 100, 22), {0, 0}, u"Find", Glyph, Text);
    TRect Measured = {0, 0, 100, 0};
    b->Canvas().DrawText(u"Find", Measured, DT_CALCRECT | DT_SINGLELINE);
    const int T = Measured.Right;
    const int M = (100 - 16 - T) / 3;  // margin and spacing share the free room
    EXPECT_EQ(Glyph.X, M);
    EXPECT_EQ(Text.Left, M + 16 + M);
    EXPECT_EQ(Glyph.Y, (22 - 16 + 1) / 2);
    if (T == 40) {
        EXPECT_EQ(Glyph.X, 14);
        EXPECT_EQ(Text.Left, 44);
    }
    b->SetLayout(blGlyphRight);
    b->SetSpacing(4);
    b->SetMargin(2);
    b->CalcButtonLayout(Rect(5, 0, 105, 22), {1, 1}, u"Find", Glyph, Text);
    EXPECT_EQ(Glyph.X, 5 + 100 - 2 - 16 + 1);
    EXPECT_EQ(Text.Left, Glyph.X - 4 - T);
    b->SetMargin(-5);  // ignored
    EXPECT_EQ(b->Margin(), 2);
    // Right to left the glyph changes sides: blGlyphRight puts it at the left.
    b->SetBiDiMode(bdRightToLeft);
    b->CalcButtonLayout(Rect(5, 0, 105, 22), {1, 1}, u"Find", Glyph, Text);
    EXPECT_EQ(Glyph.X, 5 + 2 + 1);
    EXPECT_EQ(Text.Left, Glyph.X + 16 + 4);
    b->SetBiDiMode(bdRightToLeftReadingOnly);  // reading alone keeps the layout
    b->CalcButtonLayout(Rect(5, 0, 105, 22), {1, 1}, u"Find", Glyph, Text);
    EXPECT_EQ(Glyph.X, 5 + 100 - 2 - 16 + 1);
}

TEST(ExGridButton, ClicksGroupsAndTheDropDownZone) {
    Panel p;
    TExGridButton* a = p.Add(10);
    p.Click(a);
    EXPECT_EQ(p.clicks[a], 1);
    SimulateMouseDown(a, mbLeft, 10, 10);
    SimulateMouseMove(a, 100, 10);
    SimulateMouseUp(a, mbLeft, 100, 10);  // released outside: no click
    EXPECT_EQ(p.clicks[a], 1);
    a->SetDown(true);  // a plain button has no down state
    EXPECT_FALSE(a->Down());

    a->SetStyle(tasCheck);
    p.Click(a);
    EXPECT_TRUE(a->Down());
    p.Click(a);
    EXPECT_FALSE(a->Down());

    TExGridButton* g1 = p.Add(80);
    TExGridButton* g2 = p.Add(150);
    g1->SetGroupIndex(1);
    g2->SetGroupIndex(1);
    p.Click(g1);
    EXPECT_TRUE(g1->Down());
    p.Click(g2);
    EXPECT_TRUE(g2->Down());
    EXPECT_FALSE(g1->Down());
    p.Click(g2);  // the down one stays down without AllowAllUp
    EXPECT_TRUE(g2->Down());
    EXPECT_EQ(p.clicks[g2], 2);

    TScriptedDialogService Dialogs;
    TExGridButton* d = p.Add(220);
    TPopupMenu Menu(&p.form);
    int Popups = 0, DropDowns = 0;
    Menu.OnPopup = [&](TObject*) { ++Popups; };
    d->SetDropDownButton(true);
    d->SetDropDownMenu(&Menu);
    d->OnDropDown = [&](TObject*) { ++DropDowns; };
    p.Click(d, 55, 10);
    EXPECT_EQ(DropDowns, 1);
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(p.clicks[d], 0);
    p.Click(d, 20, 10);
    EXPECT_EQ(p.clicks[d], 1);
    EXPECT_EQ(DropDowns, 1);
}

TEST(ExGridButton, DisabledGlyphIsGreyedByItsBrightness) {
    Panel p;
    TExGridButton* b = p.Add(10);
    TBitmap G(4, 4);
    const TColor Colours[] = {clWhite, RGB(200, 10, 30), RGB(0, 0, 0), RGB(90, 90, 91)};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) G.Canvas().SetPixels(x, y, Colours[x]);
    b->SetGlyph(G);
    for (int x = 0; x < 4; ++x) {
        const TColor C = Colours[x];
        const int Grey = ((GetRValue(C) + GetGValue(C) + GetBValue(C)) / 3) / 2 + 96;
        EXPECT_EQ(b->GlyphDisabled().Canvas().Pixels(x, 1), RGB(Grey, Grey, Grey)) << x;
    }
    // Disabled and with no caption, the greyed glyph shows at the top-left corner.
    b->SetEnabled(false);
    TBitmap Shot;
    RenderControlToBitmap(b, Shot);
    const int Grey = ((200 + 10 + 30) / 3) / 2 + 96;
    EXPECT_EQ(Shot.Canvas().Pixels(1, 1), RGB(Grey, Grey, Grey));
}

TEST(ExGridButton, LooksAndThemeAdaptation) {
    Panel p;
    TExGridButton* b = p.Add(10);
    const struct {
        int Look;
        TColor Color, ColorHot, BorderDown, BorderHot;
        bool Rounded;
    } Looks[] = {{0, 0xEDF1F1, 0xFAFCFC, 0xAF987A, 0xC3CECE, true}, {1, clBtnFace, 0xEED2C1, 0xC56A31, 0xC56A31, false},
                 {3, 0xCFF0EA, 0xCCF4FF, 0, 0, false},                {5, clBtnFace, clBtnFace, clNone, clNone, false},
                 {6, 0xCAFFFF, 0xA8F0FD, 0x808080, 0x808080, false}};
    for (const auto& L : Looks) {
        b->SetBorderColor(clRed);
        b->SetFlat(false);
        b->SetLook(L.Look);
        EXPECT_EQ(b->Look(), L.Look);
        EXPECT_EQ(b->Color(), L.Color);
        EXPECT_EQ(b->ColorHot, L.ColorHot);
        EXPECT_EQ(b->BorderDownColor, L.BorderDown);
        EXPECT_EQ(b->BorderHotColor, L.BorderHot);
        EXPECT_EQ(b->Rounded(), L.Rounded);
        EXPECT_EQ(b->BorderColor(), clNone);
        EXPECT_TRUE(b->Flat());
    }
    b->SetLook(7);
    EXPECT_EQ(b->Look(), 6);

    const TThemeRenderer Was = CurrentThemeRenderer();
    SetThemeRenderer(trStyled);
    b->SetAutoThemeAdapt(true);
    EXPECT_EQ(b->Look(), 2);
    SetThemeRenderer(trClassic);
    EXPECT_EQ(b->Look(), 1);
    SetThemeRenderer(trStyled);
    EXPECT_EQ(b->Look(), 2);
    SetThemeRenderer(Was);
}

}  // namespace

TEST(ExGridButton, FollowsItsActionOnlyWhileLinked) {
    Panel p;
    // Caption: taken on assignment, then followed only while equal.
    TAction act(nullptr);
    act.SetCaption(u"Sort");
    TExGridButton* a = p.Add(10, u"Other");
    a->SetAction(&act);
    EXPECT_EQ(a->Caption(), u"Sort");
    act.SetCaption(u"Order");
    EXPECT_EQ(a->Caption(), u"Order");
    a->SetCaption(u"Mine");
    act.SetCaption(u"Again");
    EXPECT_EQ(a->Caption(), u"Mine");

    // Checked: only a grouped button that may go all up and shows the same
    // state follows.
    struct Case {
        int Group;
        bool AllowAllUp, Down, Checked, Expected;
    };
    const Case Cases[] = {
        {1, true, false, false, true},   // linked: goes down
        {0, true, false, false, false},  // no group
        {1, false, false, false, false}, // may not go all up
        {1, true, true, false, true},    // states differ: stays down
    };
    for (const Case& C : Cases) {
        TAction check(nullptr);
        check.SetChecked(C.Checked);
        TExGridButton* b = p.Add(80);
        b->SetGroupIndex(C.Group);
        b->SetAllowAllUp(C.AllowAllUp);
        b->SetDown(C.Down);
        b->SetAction(&check);
        check.SetChecked(!C.Checked);
        EXPECT_EQ(b->Down(), C.Expected) << C.Group << C.AllowAllUp << C.Down;
        b->SetAction(nullptr);
    }
    {
        // The linked state follows back up as well.
        TAction check(nullptr);
        TExGridButton* b = p.Add(80);
        b->SetGroupIndex(7);
        b->SetAllowAllUp(true);
        b->SetAction(&check);
        check.SetChecked(true);
        ASSERT_TRUE(b->Down());
        check.SetChecked(false);
        EXPECT_FALSE(b->Down());
        b->SetAction(nullptr);
    }

    // Group index: followed only while equal.
    TAction grouped(nullptr);
    grouped.SetGroupIndex(2);
    TExGridButton* g = p.Add(150);
    g->SetGroupIndex(2);
    g->SetAction(&grouped);
    grouped.SetGroupIndex(3);
    EXPECT_EQ(g->GroupIndex(), 3);
    g->SetGroupIndex(4);
    grouped.SetGroupIndex(5);
    EXPECT_EQ(g->GroupIndex(), 4);
    g->SetAction(nullptr);
}

TEST(ExGridButton, ReleasedGroupButtonClearsItsActionsChecked) {
    Panel p;
    TAction first(nullptr), second(nullptr);  // no action group: the buttons' group acts
    TExGridButton* g1 = p.Add(10);
    TExGridButton* g2 = p.Add(80);
    for (TExGridButton* g : {g1, g2}) {
        g->SetGroupIndex(1);
        g->SetAllowAllUp(true);
    }
    g1->SetAction(&first);
    g2->SetAction(&second);
    first.SetChecked(true);
    ASSERT_TRUE(g1->Down());
    p.Click(g2);
    EXPECT_TRUE(g2->Down());
    EXPECT_FALSE(g1->Down());
    EXPECT_FALSE(first.Checked());
    g1->SetAction(nullptr);
    g2->SetAction(nullptr);
}
