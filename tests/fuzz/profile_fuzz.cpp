// libFuzzer target: a profile file and one key written to it and read back.
// A broken promise aborts, so that the fuzzer keeps the input that broke it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/loader_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = fuzzing::CheckProfile(std::string(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "profile functions broke their promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
