#pragma once
#include "support/TestData.h"

#include <fstream>
#include <iterator>
#include <string>

// The golden "ParGen.xml" of a new project of the model.
inline std::string ParGen_Golden(int model) {
    std::ifstream in(TestDataDir() + "/pargen/ParGen_" + std::to_string(model) + ".xml", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
