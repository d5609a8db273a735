// The entry of every libFuzzer target, built once per oracle (FUZZ_ORACLE):
// a broken promise aborts, so that the fuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzing { std::string FUZZ_ORACLE(const std::string& input); }

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string problem = fuzzing::FUZZ_ORACLE(std::string(reinterpret_cast<const char*>(data), size));
    if (problem.empty()) return 0;
    std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
    std::abort();
}
