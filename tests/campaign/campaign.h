// The fault campaign: every flow, seed after seed, on a machine with a bad
// input and a seeded stream of failing platform operations, judged for
// crashes, hangs and broken promises.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "campaign/bad_inputs.h"
#include "platform/vm/machine.h"

namespace campaign {

// What a seed makes of a flow's run: its bad input and how often
// operations fail.
struct RunPlan {
    BadInput badInput = BadInput::None;
    double faultRate = 0;
};
RunPlan PlanOf(std::size_t flow, std::uint32_t seed);

struct RunReport {
    enum class Verdict { Passed, Crashed, Hung, Violated };

    std::string flow;
    std::uint32_t seed = 0;
    RunPlan plan;
    Verdict verdict = Verdict::Passed;
    std::uint64_t faultsInjected = 0;
    std::uint64_t virtualTime = 0;  // milliseconds
    std::vector<std::string> problems;
    std::string journal;  // every journal entry, one a line, when asked for

    // "options-vxd seed 17 (full disk, faults 5%)".
    std::string Label() const;
};

const char* ToString(RunReport::Verdict verdict);

RunReport RunOne(std::size_t flow, std::uint32_t seed, bool keepJournal = false);

// Runs the program on a machine loaded from the scenario and fills in the
// report's verdict, problems and figures.
void RunAndJudge(const Scenario& scenario, vm::VirtualMachine& machine, RunReport& report);

struct CampaignOptions {
    std::vector<std::size_t> flows;             // indices into Flows()
    std::uint32_t firstSeed = 1;
    std::optional<std::uint64_t> seeds;         // per flow; none for no limit
    std::optional<std::chrono::duration<double>> duration;  // stop starting runs after this
    std::chrono::seconds runLimit{60};          // real time a single run may take
    std::function<void(const RunReport&)> onFailure;
};

struct CampaignTotals {
    std::uint64_t runs = 0;
    std::uint64_t faultsInjected = 0;
    std::uint64_t crashes = 0;
    std::uint64_t hangs = 0;
    std::uint64_t violations = 0;
    std::uint64_t seedsDone = 0;  // per flow
    std::uint64_t longestVirtualTime = 0;  // milliseconds, of a run that did not hang
    std::string longestRun;
    std::vector<std::uint64_t> runsPerBadInput = std::vector<std::uint64_t>(kBadInputCount);
};

CampaignTotals RunCampaign(const CampaignOptions& options);

}  // namespace campaign
