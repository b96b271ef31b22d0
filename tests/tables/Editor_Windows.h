#pragma once
// What the window tests of the table editors share: a window made as the
// program makes it, and the golden files of tests/tables/data.

#include "framework/Forms.h"
#include "support/TestData.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

template <class T>
std::unique_ptr<T> Make_Window() {
    std::unique_ptr<T> form(new T(nullptr));
    form->AfterConstruction();
    return form;
}

inline std::string Golden(const std::string& name, const std::string& dir = TestDataDir()) {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
