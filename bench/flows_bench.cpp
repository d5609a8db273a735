// `setupsim run` on each flow's machine (the fault campaign's scenarios,
// written as machine folders): the real time of a run against the virtual
// time its waits take.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "campaign/scenario.h"
#include "campaign/scenario_folder.h"
#include "platform/vm/machine_folder.h"
#include "setupsim/cli.h"
#include "setupsim/runner.h"

namespace {

std::string MachineFolderOf(const campaign::Flow& flow) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "setup_bench_flows" / flow.name;
    campaign::WriteMachineFolder(campaign::BuildScenario(flow, campaign::DefaultEnvironment(flow)), folder.string());
    return folder.string();
}

void BM_SetupsimRun(benchmark::State& state, const campaign::Flow* flow) {
    const std::string folder = MachineFolderOf(*flow);
    vm::VirtualMachine machine;
    vm::LoadMachineFolder(folder, machine);
    const setupsim::RunResult result = setupsim::RunSetup(machine);
    const char* argv[] = {"setupsim", "run", folder.c_str()};
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::ostringstream out, err;
        if (setupsim::Main(3, argv, out, err) != 0) state.SkipWithError(err.str().c_str());
    }
    const double realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double virtualSeconds = static_cast<double>(result.virtualTime) / 1000;
    state.counters["virtual_s"] = virtualSeconds;
    // How many times faster than the flow's own waits a run goes.
    state.counters["speedup"] = virtualSeconds * static_cast<double>(state.iterations()) / realSeconds;
}

[[maybe_unused]] const bool kRegistered = [] {
    for (const campaign::Flow& flow : campaign::Flows()) {
        benchmark::RegisterBenchmark((std::string("BM_SetupsimRun/") + flow.name).c_str(), BM_SetupsimRun, &flow)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
