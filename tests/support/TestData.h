#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

// The data folder of the calling test's subsystem (tests/<subsystem>/data):
// what the build tells the tests, else the folder beside the calling source,
// so a test binary run by hand finds its data too.
inline std::string TestDataDir(const char* callerFile = __builtin_FILE()) {
    const char* dir = std::getenv("CONFIGURATOR_TEST_DATA");
    if (dir && *dir) return dir;
    return (std::filesystem::path(callerFile).parent_path() / "data").string();
}
