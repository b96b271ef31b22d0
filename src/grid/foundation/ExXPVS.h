#pragma once
// The binding of the visual-styles service: a table of its entry points by
// name, bound once at start and released at the end, and the test with which
// a painter chooses between the themed and the classic look. The painters
// use five entry points; those are bound from the framework's visual-styles
// service, the rest of the table stays empty and is never called. An empty
// entry means the classic look.

#include "framework/Themes.h"

// The visual-styles library is bound.
extern bool ThemeLibraryLoaded;

// The entry points of the library, in the table's order.
constexpr int ThemeEntryPointCount = 45;
extern const char16_t* const ThemeEntryPointNames[ThemeEntryPointCount];
// Whether entry Index of the table is bound.
bool ThemeEntryPointBound(int Index);

// The bound entry points the painters call; nullptr while unbound.
struct TThemeEntryPoints {
    HTHEME (*OpenThemeData)(const TObject* Window, const String& ClassList) = nullptr;
    HRESULT (*CloseThemeData)(HTHEME Theme) = nullptr;
    HRESULT (*DrawThemeBackground)(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect,
                                   const TRect* Clip) = nullptr;
    bool (*IsThemeActive)() = nullptr;
    HRESULT (*GetCurrentThemeName)(String& FileName, String& ColorName, String& SizeName) = nullptr;
};
extern TThemeEntryPoints ThemeAPI;

// Binds the table unless it is bound already (run by the unit's start-up).
void InitThemeLibrary();
// Unbinds it (run at program end).
void FreeThemeLibrary();
// Version 5.1 or later, a visual style active and common controls 6.
bool IsThemedXP();
