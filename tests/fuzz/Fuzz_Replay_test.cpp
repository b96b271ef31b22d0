// Every input of the fuzz corpus, the reproducers of past findings among
// them, goes through its target in the normal build: a parser that breaks
// again crashes here, and the sanitizer build names the fault.

#include "Fuzz_Targets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

// gtest names a target by its name.
void PrintTo(const TFuzzTarget& Target, std::ostream* Out) { *Out << Target.Name; }

namespace {

class FuzzReplay : public ::testing::TestWithParam<TFuzzTarget> {};

TEST_P(FuzzReplay, EveryInputOfTheCorpusIsReadWithoutHarm) {
    const TFuzzTarget& target = GetParam();
    const std::filesystem::path dir = std::filesystem::path(FUZZ_CORPUS_DIR) / target.Name;
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty()) << dir;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        std::ifstream file(input, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        Fuzz_Run(target, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(Fuzz_Targets().begin(), Fuzz_Targets().end()),
                         [](const ::testing::TestParamInfo<TFuzzTarget>& info) { return std::string(info.param.Name); });

}  // namespace
