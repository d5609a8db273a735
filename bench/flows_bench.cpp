// Each flow's machine (the fault campaign's, seed 0) loaded and run: the
// real time of a run against the virtual time its waits take.
#include <benchmark/benchmark.h>

#include <chrono>

#include "fault_campaign/campaign.h"
#include "setupsim/runner.h"

namespace {

void BM_FlowRun(benchmark::State& state, const campaign::Flow* flow) {
    double virtualSeconds = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        vm::VirtualMachine machine;
        campaign::Build(*flow, 0, machine);
        virtualSeconds = static_cast<double>(setupsim::RunSetup(machine).virtualTime) / 1000;
    }
    const double realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["virtual_s"] = virtualSeconds;
    // How many times faster than the flow's own waits a run goes.
    state.counters["speedup"] = virtualSeconds * static_cast<double>(state.iterations()) / realSeconds;
}

[[maybe_unused]] const bool kRegistered = [] {
    for (const campaign::Flow& flow : campaign::Flows()) {
        benchmark::RegisterBenchmark((std::string("BM_FlowRun/") + flow.name).c_str(), BM_FlowRun, &flow)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
