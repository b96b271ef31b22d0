#include "grid/foundation/ExXPVS.h"

#include "grid/foundation/ExStyleIF.h"

bool ThemeLibraryLoaded = false;
TThemeEntryPoints ThemeAPI;

const char16_t* const ThemeEntryPointNames[ThemeEntryPointCount] = {
    u"OpenThemeData", u"CloseThemeData", u"DrawThemeBackground", u"DrawThemeText",
    u"GetThemeBackgroundContentRect", u"GetThemeBackgroundExtent", u"GetThemeTextExtent", u"GetThemeTextMetrics",
    u"GetThemeBackgroundRegion", u"HitTestThemeBackground", u"DrawThemeEdge", u"DrawThemeIcon",
    u"IsThemePartDefined", u"IsThemeBackgroundPartiallyTransparent", u"GetThemeColor", u"GetThemeMetric",
    u"GetThemeString", u"GetThemeBool", u"GetThemeInt", u"GetThemeEnumValue", u"GetThemePosition", u"GetThemeFont",
    u"GetThemeRect", u"GetThemeMargins", u"GetThemeIntList", u"SetWindowTheme", u"GetThemeFilename",
    u"GetThemeSysColor", u"GetThemeSysColorBrush", u"GetThemeSysBool", u"GetThemeSysSize", u"GetThemeSysFont",
    u"GetThemeSysString", u"GetThemeSysInt", u"IsThemeActive", u"IsAppThemed", u"GetWindowTheme",
    u"EnableThemeDialogTexture", u"IsThemeDialogTextureEnabled", u"GetThemeAppProperties", u"SetThemeAppProperties",
    u"GetCurrentThemeName", u"GetThemeDocumentationProperty", u"DrawThemeParentBackground", u"EnableTheming",
};

namespace {

constexpr const char16_t* ThemeLibraryName = u"UXTHEME.DLL";

HRESULT DrawBackground(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect, const TRect* Clip) {
    return DrawThemeBackground(Theme, Canvas, PartId, StateId, Rect, Clip);
}

// The entries the painters call, each with the service routine that serves it.
struct TBinding {
    const char16_t* name;
    void (*bind)(TThemeEntryPoints&);
    bool (*bound)(const TThemeEntryPoints&);
};

const TBinding Bindings[] = {
    {u"OpenThemeData", [](TThemeEntryPoints& t) { t.OpenThemeData = &OpenThemeData; },
     [](const TThemeEntryPoints& t) { return t.OpenThemeData != nullptr; }},
    {u"CloseThemeData", [](TThemeEntryPoints& t) { t.CloseThemeData = &CloseThemeData; },
     [](const TThemeEntryPoints& t) { return t.CloseThemeData != nullptr; }},
    {u"DrawThemeBackground", [](TThemeEntryPoints& t) { t.DrawThemeBackground = &DrawBackground; },
     [](const TThemeEntryPoints& t) { return t.DrawThemeBackground != nullptr; }},
    {u"IsThemeActive", [](TThemeEntryPoints& t) { t.IsThemeActive = &IsThemeActive; },
     [](const TThemeEntryPoints& t) { return t.IsThemeActive != nullptr; }},
    {u"GetCurrentThemeName", [](TThemeEntryPoints& t) { t.GetCurrentThemeName = &GetCurrentThemeName; },
     [](const TThemeEntryPoints& t) { return t.GetCurrentThemeName != nullptr; }},
};

// Bound before any window is made, released at the end.
struct TThemeLibraryLifetime {
    TThemeLibraryLifetime() { InitThemeLibrary(); }
    ~TThemeLibraryLifetime() { FreeThemeLibrary(); }
} ThemeLibraryLifetime;

}  // namespace

bool ThemeEntryPointBound(int Index) {
    if (Index < 0 || Index >= ThemeEntryPointCount) return false;
    for (const TBinding& b : Bindings)
        if (String(b.name) == ThemeEntryPointNames[Index]) return b.bound(ThemeAPI);
    return false;
}

void InitThemeLibrary() {
    if (ThemeLibraryLoaded) return;
    if (!ModuleExports(ThemeLibraryName, u"OpenThemeData")) return;
    ThemeLibraryLoaded = true;
    // An entry the library lacks stays empty: its painter takes the classic look.
    for (const TBinding& b : Bindings)
        if (ModuleExports(ThemeLibraryName, b.name)) b.bind(ThemeAPI);
}

void FreeThemeLibrary() {
    if (!ThemeLibraryLoaded) return;
    ThemeLibraryLoaded = false;
    ThemeAPI = TThemeEntryPoints();
}

bool IsThemedXP() {
    const bool comCtl6 = IsComCtl6();
    if (!IsWinXPOrLater()) return false;
    const bool active = ThemeAPI.IsThemeActive && ThemeAPI.IsThemeActive();
    return active && comCtl6;
}
