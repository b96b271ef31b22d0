// The libFuzzer executable: the environment variable FUZZ_TARGET names the
// target it runs (scripts/fuzz sets it).

#include "Fuzz_Targets.h"

#include <cstdio>
#include <cstdlib>

namespace {
const TFuzzTarget* Target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* name = std::getenv("FUZZ_TARGET");
    Target = name ? Find_Fuzz_Target(name) : nullptr;
    if (!Target) {
        std::fprintf(stderr, "FUZZ_TARGET names none of the targets:");
        for (const TFuzzTarget& t : Fuzz_Targets()) std::fprintf(stderr, " %s", t.Name);
        std::fprintf(stderr, "\n");
        std::exit(2);
    }
    Fuzz_Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Run(*Target, Data, Size);
    return 0;
}
