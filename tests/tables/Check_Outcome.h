#pragma once
// The outcome of a table check as the user sees it: no box when it passes,
// exactly one error box with the given text when it fails.

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>

// message nullptr: the check must pass without showing anything.
inline void Expect_Check_Outcome(const std::function<bool()>& check, const char* message) {
    TScriptedDialogService dialogs;
    EXPECT_EQ(check(), message == nullptr);
    if (message) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(StringToUtf8(dialogs.Shown[0].Text), message);
        EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    } else {
        EXPECT_TRUE(dialogs.Shown.empty()) << StringToUtf8(dialogs.Shown[0].Text);
    }
}
