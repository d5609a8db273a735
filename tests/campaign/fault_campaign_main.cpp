// fault_campaign: runs the campaign for a number of seeds or for a time and
// prints its figures; --seed with --flow replays one run with its journal.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "campaign/campaign.h"

namespace {

using campaign::Flows;
using campaign::RunReport;

void PrintFailure(const RunReport& report) {
    std::cout << campaign::ToString(report.verdict) << ": " << report.Label() << "\n";
    for (const std::string& problem : report.problems) std::cout << "    " << problem << "\n";
    std::cout.flush();
}

int Replay(std::size_t flow, std::uint32_t seed) {
    const RunReport report = campaign::RunOne(flow, seed, /*keepJournal=*/true);
    std::cout << report.journal << "\n"
              << report.Label() << ": " << campaign::ToString(report.verdict) << ", " << report.faultsInjected
              << " faults injected, " << report.virtualTime << " ms of virtual time\n";
    for (const std::string& problem : report.problems) std::cout << "    " << problem << "\n";
    return report.verdict == RunReport::Verdict::Passed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Runs every flow of the setup program under seeded fault injection and bad inputs."};
    std::uint64_t seeds = 0;
    double seconds = 0;
    std::vector<std::string> flowNames;
    std::uint32_t firstSeed = 1;
    std::uint32_t seed = 0;
    bool list = false;
    app.add_option("--seeds", seeds, "seeds per flow (default 100 without --seconds, else no limit)");
    app.add_option("--seconds", seconds, "stop starting runs after this long");
    app.add_option("--flow", flowNames, "only these flows (repeat the option for more)");
    app.add_option("--first-seed", firstSeed, "the seed to start from");
    app.add_option("--seed", seed, "replay this one seed of the --flow given, with its journal");
    app.add_flag("--list", list, "list the flows and the bad inputs");
    CLI11_PARSE(app, argc, argv);

    if (list) {
        for (const campaign::Flow& flow : Flows()) std::cout << flow.name << "  " << flow.description << "\n";
        std::cout << "\nbad inputs, by seed (for the first flow; each flow starts three further on):\n";
        for (std::uint32_t i = 0; i < campaign::kBadInputCount; ++i) {
            std::cout << "  " << i << "  " << campaign::ToString(campaign::PlanOf(0, i).badInput) << "\n";
        }
        return 0;
    }
    campaign::CampaignOptions options;
    for (const std::string& name : flowNames) {
        const std::optional<std::size_t> flow = campaign::FindFlow(name);
        if (!flow) {
            std::cerr << "fault_campaign: no flow \"" << name << "\"; --list shows them\n";
            return 2;
        }
        options.flows.push_back(*flow);
    }
    if (seed != 0) {
        if (options.flows.size() != 1) {
            std::cerr << "fault_campaign: --seed replays one run: name its --flow\n";
            return 2;
        }
        return Replay(options.flows[0], seed);
    }
    if (options.flows.empty()) {
        for (std::size_t i = 0; i < Flows().size(); ++i) options.flows.push_back(i);
    }
    options.firstSeed = firstSeed;
    if (seeds > 0) options.seeds = seeds;
    if (seconds > 0) options.duration = std::chrono::duration<double>(seconds);
    if (!options.seeds && !options.duration) options.seeds = 100;
    options.onFailure = PrintFailure;

    const auto start = std::chrono::steady_clock::now();
    const campaign::CampaignTotals totals = campaign::RunCampaign(options);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fault campaign: %zu flows, seeds %u to %llu, %.1f s\n", options.flows.size(), firstSeed,
                static_cast<unsigned long long>(firstSeed + totals.seedsDone - 1), elapsed);
    std::printf("runs %llu, faults injected %llu, crashes %llu, hangs %llu, violations %llu\n",
                static_cast<unsigned long long>(totals.runs), static_cast<unsigned long long>(totals.faultsInjected),
                static_cast<unsigned long long>(totals.crashes), static_cast<unsigned long long>(totals.hangs),
                static_cast<unsigned long long>(totals.violations));
    std::printf("longest run: %.1f s of virtual time, %s; a run hangs after %.1f s\n",
                static_cast<double>(totals.longestVirtualTime) / 1000, totals.longestRun.c_str(),
                static_cast<double>(campaign::kLongestRunMs) / 1000);
    return totals.crashes + totals.hangs + totals.violations == 0 ? 0 : 1;
}
