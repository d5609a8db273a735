#include "campaign/campaign.h"

#include <cstdio>
#include <exception>
#include <iterator>

#include "campaign/campaign_machine.h"
#include "campaign/ending.h"
#include "campaign/file_changes.h"
#include "campaign/run_guard.h"

namespace campaign {

namespace {

// Seeds walk through the bad inputs and the failure rates together (every
// pair within 60 seeds); each flow starts at another bad input, so that a
// few seeds of all flows meet every bad input.
constexpr double kFaultRates[] = {0.0, 0.02, 0.08, 0.25};

// The option dialogs' controls a user may click before Install; 1001 is
// the VxD dialog's game-port box.
std::vector<std::string> OptionClicks(const Flow& flow, Random& random) {
    static const char* const kClicks[] = {"click 1006", "click 1007", "click 1011", "click 1012",
                                          "click 1013", "click 1000", "click 1001"};
    const std::size_t choices = flow.optionDialog == 103 ? std::size(kClicks) : std::size(kClicks) - 1;
    std::vector<std::string> clicks;
    for (std::uint64_t n = random.Below(7); n > 0; --n) clicks.push_back(kClicks[random.Below(choices)]);
    return clicks;
}

FileRules RulesOf(const Scenario& scenario) {
    return {scenario.windowsFolder, scenario.setupSource, scenario.mixerFolder, scenario.mediumDrive,
            scenario.mediumMayVanish};
}

std::string JournalText(const vm::Journal& journal) {
    std::string text;
    for (const vm::JournalEntry& entry : journal.Entries()) {
        text += std::to_string(entry.time) + " ms  " + entry.kind;
        for (const auto& [name, value] : entry.fields) text += "  " + name + "=" + value;
        text += "\n";
    }
    return text;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

RunPlan PlanOf(std::size_t flow, std::uint32_t seed) {
    return {static_cast<BadInput>((seed + 3 * flow) % kBadInputCount), kFaultRates[seed % std::size(kFaultRates)]};
}

std::string RunReport::Label() const {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g%%", plan.faultRate * 100);
    return flow + " seed " + std::to_string(seed) + " (" + ToString(plan.badInput) + ", faults " + rate + ")";
}

const char* ToString(RunReport::Verdict verdict) {
    switch (verdict) {
        case RunReport::Verdict::Passed: return "passed";
        case RunReport::Verdict::Crashed: return "crashed";
        case RunReport::Verdict::Hung: return "hung";
        case RunReport::Verdict::Violated: return "broke a promise";
    }
    return "?";
}

RunReport RunOne(std::size_t flowIndex, std::uint32_t seed, bool keepJournal) {
    const Flow& flow = Flows().at(flowIndex);
    RunReport report;
    report.flow = flow.name;
    report.seed = seed;
    report.plan = PlanOf(flowIndex, seed);
    Random random(seed * 0x9E3779B97F4A7C15ull + flowIndex);

    Environment environment = DefaultEnvironment(flow);
    Prepare(report.plan.badInput, environment, random);
    environment.optionClicks = OptionClicks(flow, random);
    Scenario scenario = BuildScenario(flow, environment);
    Apply(report.plan.badInput, scenario, random);
    CampaignMachine machine(scenario);
    if (report.plan.faultRate > 0) machine.SetRandomFaults(report.plan.faultRate, seed);
    RunAndJudge(scenario, machine, report);
    if (keepJournal) report.journal = JournalText(machine.GetJournal());
    return report;
}

void RunAndJudge(const Scenario& scenario, vm::VirtualMachine& machine, RunReport& report) {
    const std::vector<vm::FileSystem::Entry> before = machine.Files().Snapshot();
    setupsim::RunResult result;
    try {
        result = setupsim::RunSetup(machine);
    } catch (const std::exception& error) {
        report.verdict = RunReport::Verdict::Crashed;
        report.problems.push_back(std::string("exception: ") + error.what());
    } catch (...) {
        report.verdict = RunReport::Verdict::Crashed;
        report.problems.push_back("an exception of no standard type");
    }
    report.faultsInjected = machine.FaultsInjected();
    report.virtualTime = machine.Now();
    if (report.verdict == RunReport::Verdict::Crashed) return;
    if (result.ending == setupsim::Ending::Hung) {
        report.verdict = RunReport::Verdict::Hung;
        report.problems.push_back("still waiting after " + std::to_string(machine.Now()) + " ms");
    } else {
        Append(report.problems, CheckEnding(result, machine.GetJournal(), scenario.plan));
    }
    const FileRules rules = RulesOf(scenario);
    Append(report.problems, CheckFileChanges(rules, before, machine.Files().Snapshot()));
    Append(report.problems, CheckWrites(rules, machine.GetJournal(), machine));
    if (report.verdict == RunReport::Verdict::Passed && !report.problems.empty()) {
        report.verdict = RunReport::Verdict::Violated;
    }
}

CampaignTotals RunCampaign(const CampaignOptions& options) {
    CampaignTotals totals;
    RunGuard guard(options.runLimit);
    const auto start = std::chrono::steady_clock::now();
    const auto timeIsUp = [&] {
        return options.duration && std::chrono::steady_clock::now() - start >= *options.duration;
    };
    for (std::uint32_t seed = options.firstSeed; !options.seeds || totals.seedsDone < *options.seeds; ++seed) {
        if (timeIsUp()) break;
        for (std::size_t flow : options.flows) {
            guard.Begin(std::string(Flows().at(flow).name) + " seed " + std::to_string(seed));
            const RunReport report = RunOne(flow, seed);
            guard.End();
            ++totals.runs;
            ++totals.runsPerBadInput[static_cast<std::size_t>(report.plan.badInput)];
            totals.faultsInjected += report.faultsInjected;
            if (report.verdict != RunReport::Verdict::Hung && report.virtualTime > totals.longestVirtualTime) {
                totals.longestVirtualTime = report.virtualTime;
                totals.longestRun = report.Label();
            }
            switch (report.verdict) {
                case RunReport::Verdict::Passed: break;
                case RunReport::Verdict::Crashed: ++totals.crashes; break;
                case RunReport::Verdict::Hung: ++totals.hangs; break;
                case RunReport::Verdict::Violated: ++totals.violations; break;
            }
            if (report.verdict != RunReport::Verdict::Passed && options.onFailure) options.onFailure(report);
        }
        ++totals.seedsDone;
    }
    return totals;
}

}  // namespace campaign
