#include "framework/Themes.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "support/Place.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

namespace {

// A windowed control that notes the messages it is sent.
class TListener : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<Cardinal> heard;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_THEMECHANGED || m.Msg == CM_SYSFONTCHANGED) heard.push_back(m.Msg);
        TWinControl::WndProc(m);
    }
};

}  // namespace

TEST(Themes, PartSizesTreeVariantsAndNewClasses) {
    RendererGuard g;
    struct Case {
        const char* cls;
        int part;
        TThemeRenderer renderer;
        TSize size;
    } cases[] = {
        {"TREEVIEW", TVP_GLYPH, trClassic, {9, 9}},     {"Explorer::TreeView", TVP_HOTGLYPH, trStyled, {16, 16}},
        {"button", BP_CHECKBOX, trStyled, {13, 13}},    {"scrollbar", SBP_ARROWBTN, trClassic, {17, 17}},
        {"tooltip", TTP_STANDARD, trStyled, {0, 0}},    {"Explorer::ItemsView", LVP_LISTITEM, trStyled, {0, 0}},
    };
    for (const Case& k : cases) {
        SetThemeRenderer(k.renderer);
        HTHEME t = OpenThemeData(nullptr, S(k.cls));
        ASSERT_NE(t, 0) << k.cls;
        TSize s{-1, -1};
        EXPECT_EQ(GetThemePartSize(t, nullptr, k.part, 1, nullptr, TS_TRUE, s), S_OK) << k.cls;
        EXPECT_EQ(s, k.size) << k.cls;
        CloseThemeData(t);
    }
    SetThemeRenderer(trStyled);
    HTHEME tip = OpenThemeData(nullptr, S("tooltip"));
    const TRect r = Rect(0, 0, 40, 12);
    TSize s;
    EXPECT_EQ(GetThemePartSize(tip, nullptr, TTP_STANDARD, 1, &r, TS_DRAW, s), S_OK);
    EXPECT_EQ(s, (TSize{40, 12}));
    EXPECT_EQ(GetThemePartSize(tip, nullptr, 99, 1, &r, TS_DRAW, s), E_INVALIDARG);
    EXPECT_NE(Render(tip, TTP_STANDARD, 1), Render(tip, TTP_CLOSE, 1));
    CloseThemeData(tip);

    // The plain tree draws plus and minus boxes, the explorer's triangles;
    // a window given the "explorer" theme gets the latter for "TREEVIEW".
    HTHEME plain = OpenThemeData(nullptr, S("TREEVIEW"));
    HTHEME prefixed = OpenThemeData(nullptr, S("Explorer::TreeView"));
    EXPECT_NE(Render(plain, TVP_GLYPH, GLPS_CLOSED), Render(prefixed, TVP_GLYPH, GLPS_CLOSED));
    EXPECT_NE(Render(prefixed, TVP_GLYPH, GLPS_CLOSED), Render(prefixed, TVP_HOTGLYPH, GLPS_CLOSED));
    TForm form(nullptr);
    auto* tree = Place<TListener>(&form, 0, 0, 50, 50);
    EXPECT_EQ(SetWindowTheme(tree, S("explorer"), String()), S_OK);
    EXPECT_EQ(tree->heard, (std::vector<Cardinal>{WM_THEMECHANGED}));
    HTHEME forWindow = OpenThemeData(tree, S("TREEVIEW"));
    EXPECT_EQ(Render(forWindow, TVP_GLYPH, GLPS_CLOSED), Render(prefixed, TVP_GLYPH, GLPS_CLOSED));
    SetWindowTheme(tree, String(), String());
    HTHEME plainAgain = OpenThemeData(tree, S("TREEVIEW"));
    EXPECT_EQ(Render(plainAgain, TVP_GLYPH, GLPS_CLOSED), Render(plain, TVP_GLYPH, GLPS_CLOSED));
    for (HTHEME h : {plain, prefixed, forWindow, plainAgain}) CloseThemeData(h);

    // The items view's focus part: a frame around an untouched middle, under both renderers.
    for (TThemeRenderer r : {trStyled, trClassic}) {
        SetThemeRenderer(r);
        HTHEME items = OpenThemeData(nullptr, S("Explorer::ItemsView"));
        TBitmap f(24, 20);
        ASSERT_EQ(DrawThemeBackground(items, f.Canvas(), LVP_FOCUS, 1, Rect(2, 2, 22, 18)), S_OK);
        EXPECT_NE(f.Canvas().Pixels(2, 2), ColorToRGB(clWhite)) << r;
        EXPECT_NE(f.Canvas().Pixels(21, 11), ColorToRGB(clWhite)) << r;
        EXPECT_EQ(f.Canvas().Pixels(12, 10), ColorToRGB(clWhite)) << r;
        EXPECT_EQ(f.Canvas().Pixels(1, 1), ColorToRGB(clWhite)) << r;
        CloseThemeData(items);
    }
    SetThemeRenderer(trStyled);

    TRect content;
    HTHEME edge = OpenThemeData(nullptr, S("treeview"));
    TBitmap b(20, 20);
    EXPECT_EQ(DrawThemeEdge(edge, b.Canvas(), 0, 1, Rect(0, 0, 20, 20), EDGE_SUNKEN, BF_RECT, &content), S_OK);
    EXPECT_EQ(content, Rect(1, 1, 19, 19));  // styled: one line
    SetThemeRenderer(trClassic);
    EXPECT_EQ(DrawThemeEdge(edge, b.Canvas(), 0, 1, Rect(0, 0, 20, 20), EDGE_SUNKEN, BF_RECT, &content), S_OK);
    EXPECT_EQ(content, Rect(2, 2, 18, 18));  // classic: the two shaded lines
    CloseThemeData(edge);
}

TEST(Themes, EveryWindowHearsOfARendererOrFontChange) {
    RendererGuard g;
    SetThemeRenderer(trStyled);
    TForm form(nullptr);
    auto* outer = Place<TListener>(&form, 0, 0, 100, 100);
    auto* inner = Place<TListener>(outer, 0, 0, 50, 50);
    TForm other(nullptr);
    auto* third = Place<TListener>(&other, 0, 0, 50, 50);
    SetThemeRenderer(trStyled);  // no change, no message
    SetThemeRenderer(trClassic);
    SystemFontChanged();
    for (TListener* l : {outer, inner, third})
        EXPECT_EQ(l->heard, (std::vector<Cardinal>{WM_THEMECHANGED, CM_SYSFONTCHANGED}));
}
