#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The data folder of the calling test's subsystem (tests/<subsystem>/data):
// what the build tells the tests, else the folder beside the calling source,
// so a test binary run by hand finds its data too.
inline std::string TestDataDir(const char* callerFile = __builtin_FILE()) {
    const char* dir = std::getenv("CONFIGURATOR_TEST_DATA");
    if (dir && *dir) return dir;
    return (std::filesystem::path(callerFile).parent_path() / "data").string();
}

// The bytes of a file in the calling test's data folder; empty when it is missing.
inline std::string ReadTestData(const std::string& name, const char* callerFile = __builtin_FILE()) {
    std::ifstream in(std::filesystem::path(TestDataDir(callerFile)) / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
