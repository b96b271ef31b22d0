#pragma once
// What the editors' window tests share: a golden file of the data folder,
// a window made as the program makes it, and the check of one validation.

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

inline std::string Golden(const std::string& name) {
    std::ifstream in(TestDataDir() + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

template <class T>
std::unique_ptr<T> Make_Window() {
    std::unique_ptr<T> form(new T(nullptr));
    form->AfterConstruction();
    return form;
}

// A validation gave ok and showed message in one error box, or passed
// silently when message is nullptr.
inline void Expect_Validation(const TScriptedDialogService& dialogs, bool ok, const char* message) {
    EXPECT_EQ(ok, message == nullptr);
    if (!message) {
        EXPECT_TRUE(dialogs.Shown.empty());
        return;
    }
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(StringToUtf8(dialogs.Shown[0].Text), message);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
}
