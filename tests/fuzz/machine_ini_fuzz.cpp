// libFuzzer target: machine.ini text, loaded into a fresh virtual machine
// whose events then run. A broken promise aborts, so that the fuzzer keeps
// the input that broke it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/loader_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = fuzzing::CheckMachineIni(std::string(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "machine.ini loader broke its promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
