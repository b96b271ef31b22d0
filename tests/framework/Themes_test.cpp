#include "framework/Themes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The pixels of a part drawn on a fresh white bitmap, as text.
std::string Render(HTHEME t, int part, int state, int w = 24, int h = 20) {
    TBitmap b(w, h);
    EXPECT_EQ(DrawThemeBackground(t, b.Canvas(), part, state, Rect(0, 0, w, h)), S_OK);
    std::string s;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s += std::to_string(b.Canvas().Pixels(x, y)) + ",";
    return s;
}

struct RendererGuard {
    TThemeRenderer old = CurrentThemeRenderer();
    ~RendererGuard() { SetThemeRenderer(old); }
};

TEST(Themes, StyledIsTheDefaultAndCountsAsActiveTheme) {
    RendererGuard g;
    EXPECT_EQ(CurrentThemeRenderer(), trStyled);
    EXPECT_TRUE(IsThemeActive());
    String file, color, size;
    EXPECT_EQ(GetCurrentThemeName(file, color, size), S_OK);
    EXPECT_EQ(color, S("NormalColor"));
    SetThemeRenderer(trClassic);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_NE(GetCurrentThemeName(file, color, size), S_OK);
    EXPECT_TRUE(color.empty());
}

TEST(Themes, OpenTakesTheFirstKnownClassAndCloseReleases) {
    HTHEME t = OpenThemeData(nullptr, S("NoSuchClass; Button"));
    EXPECT_NE(t, 0);
    EXPECT_TRUE(IsThemePartDefined(t, BP_CHECKBOX, CBS_MIXEDDISABLED));
    EXPECT_FALSE(IsThemePartDefined(t, 9, 1));
    EXPECT_EQ(CloseThemeData(t), S_OK);
    EXPECT_EQ(CloseThemeData(t), E_HANDLE);
    TBitmap b(4, 4);
    EXPECT_EQ(DrawThemeBackground(t, b.Canvas(), 1, 1, Rect(0, 0, 4, 4)), E_HANDLE);
    EXPECT_EQ(OpenThemeData(nullptr, S("unknown")), 0);
    for (const char* cls : {"button", "COMBOBOX", "header", "spin", "Progress", "scrollbar", "treeview", "tab"}) {
        HTHEME h = OpenThemeData(nullptr, S(cls));
        EXPECT_NE(h, 0) << cls;
        CloseThemeData(h);
    }
}

TEST(Themes, StyledStatesLookDistinct) {
    RendererGuard g;
    SetThemeRenderer(trStyled);
    struct Case {
        const char* cls;
        int part, states;
    } cases[] = {
        {"button", BP_PUSHBUTTON, 4}, {"button", BP_CHECKBOX, 12}, {"button", BP_RADIOBUTTON, 8},
        {"combobox", CP_DROPDOWNBUTTON, 4}, {"header", HP_HEADERITEM, 3}, {"spin", SPNP_UP, 4},
        {"scrollbar", SBP_ARROWBTN, 16}, {"treeview", TVP_GLYPH, 2}, {"tab", TABP_TABITEM, 4},
    };
    for (const auto& k : cases) {
        HTHEME t = OpenThemeData(nullptr, S(k.cls));
        std::set<std::string> looks;
        for (int s = 1; s <= k.states; ++s)
            looks.insert(Render(t, k.part, s));
        EXPECT_EQ(looks.size(), static_cast<size_t>(k.states)) << k.cls << " part " << k.part;
        CloseThemeData(t);
    }
}

TEST(Themes, ClassicRendererDrawsTheFrameControls) {
    RendererGuard g;
    SetThemeRenderer(trClassic);
    HTHEME t = OpenThemeData(nullptr, S("button"));
    // The classic push button is the raised frame control.
    TBitmap a(20, 16), b(20, 16);
    DrawThemeBackground(t, a.Canvas(), BP_PUSHBUTTON, PBS_NORMAL, Rect(0, 0, 20, 16));
    TRect r = Rect(0, 0, 20, 16);
    b.Canvas().DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(a.Canvas().Pixels(x, y), b.Canvas().Pixels(x, y)) << x << "," << y;
    EXPECT_EQ(a.Canvas().Pixels(19, 8), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(a.Canvas().Pixels(8, 8), ColorToRGB(clBtnFace));
    // Pressed and disabled differ from normal; checked check box differs from unchecked.
    EXPECT_NE(Render(t, BP_PUSHBUTTON, PBS_PRESSED), Render(t, BP_PUSHBUTTON, PBS_NORMAL));
    EXPECT_NE(Render(t, BP_CHECKBOX, CBS_CHECKEDNORMAL), Render(t, BP_CHECKBOX, CBS_UNCHECKEDNORMAL));
    EXPECT_NE(Render(t, BP_CHECKBOX, CBS_CHECKEDDISABLED), Render(t, BP_CHECKBOX, CBS_CHECKEDNORMAL));
    CloseThemeData(t);
    HTHEME c = OpenThemeData(nullptr, S("combobox"));
    EXPECT_NE(Render(c, CP_DROPDOWNBUTTON, CBXS_DISABLED), Render(c, CP_DROPDOWNBUTTON, CBXS_NORMAL));
    CloseThemeData(c);
}

TEST(Themes, DrawingLeavesTheCanvasStateAndHonoursTheClip) {
    HTHEME t = OpenThemeData(nullptr, S("button"));
    TBitmap b(30, 20);
    TCanvas& c = b.Canvas();
    c.Pen().SetColor(clRed);
    c.Brush().SetColor(clLime);
    TRect clip = Rect(0, 0, 10, 20);
    DrawThemeBackground(t, c, BP_PUSHBUTTON, PBS_HOT, Rect(0, 0, 30, 20), &clip);
    EXPECT_EQ(c.Pen().Color(), clRed);
    EXPECT_EQ(c.Brush().Color(), clLime);
    EXPECT_EQ(c.Pixels(20, 10), clWhite);
    EXPECT_NE(c.Pixels(5, 10), clWhite);
    TRegion none;
    EXPECT_FALSE(c.GetClipRgn(none));
    CloseThemeData(t);
}

TEST(Themes, OperatingSystemProbesAnswerFixedValues) {
    TOSVersion v = GetOSVersion();
    EXPECT_TRUE(v.Major > 5 || (v.Major == 5 && v.Minor >= 1));
    EXPECT_GE(GetComCtlMajorVersion(), 6);
    for (const char* e : {"OpenThemeData", "CloseThemeData", "DrawThemeBackground", "IsThemeActive",
                          "GetCurrentThemeName", "EnableTheming"})
        EXPECT_TRUE(ModuleExports(S("UXTHEME.DLL"), S(e))) << e;
    EXPECT_FALSE(ModuleExports(S("uxtheme.dll"), S("NoSuchEntry")));
    EXPECT_TRUE(ModuleExports(S("USER32.DLL"), S("UpdateLayeredWindow")));
    EXPECT_TRUE(ModuleExports(S("kernel32"), S("GetLocaleInfoEx")));
}

}  // namespace
