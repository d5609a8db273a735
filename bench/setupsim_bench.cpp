// How long setupsim takes on the bundled example, from loading the machine
// folder to the finished report.
#include <benchmark/benchmark.h>

#include <sstream>

#include "setupsim/cli.h"

namespace {

void BM_SetupsimRunExample(benchmark::State& state) {
    const std::string machine = std::string(SETUP_SOURCE_DIR) + "/examples/win98se-cd";
    const char* argv[] = {"setupsim", "run", machine.c_str()};
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(setupsim::Main(3, argv, out, err));
    }
}
BENCHMARK(BM_SetupsimRunExample)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
