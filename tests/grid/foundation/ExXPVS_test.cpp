#include "grid/foundation/ExXPVS.h"

#include <gtest/gtest.h>

namespace {

TEST(ExXPVS, BoundAtStartWithThePaintersEntryPoints) {
    EXPECT_TRUE(ThemeLibraryLoaded);
    int bound = 0;
    for (int i = 0; i < ThemeEntryPointCount; ++i) bound += ThemeEntryPointBound(i);
    EXPECT_EQ(bound, 5);
    for (int i : {0, 1, 2, 34, 41}) EXPECT_TRUE(ThemeEntryPointBound(i)) << StringToUtf8(ThemeEntryPointNames[i]);
    EXPECT_EQ(String(ThemeEntryPointNames[44]), u"EnableTheming");

    // A second binding changes nothing.
    const auto open = ThemeAPI.OpenThemeData;
    InitThemeLibrary();
    EXPECT_EQ(ThemeAPI.OpenThemeData, open);

    SetThemeRenderer(trStyled);
    EXPECT_TRUE(IsThemedXP());
    SetThemeRenderer(trClassic);
    EXPECT_FALSE(IsThemedXP());
    SetThemeRenderer(trStyled);

    FreeThemeLibrary();
    EXPECT_FALSE(ThemeLibraryLoaded);
    EXPECT_EQ(ThemeAPI.OpenThemeData, nullptr);
    EXPECT_FALSE(IsThemedXP());  // unbound: no visual style, nothing called
    InitThemeLibrary();
    EXPECT_TRUE(ThemeLibraryLoaded);
    EXPECT_NE(ThemeAPI.OpenThemeData, nullptr);
}

}  // namespace
