// libFuzzer target: the INF rules on any bytes. A broken promise aborts, so
// that the fuzzer keeps the input that broke it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/inf_rules_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string problem = fuzzing::CheckInfRule(input);
    if (!problem.empty()) {
        std::fprintf(stderr, "INF rule broke its promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
