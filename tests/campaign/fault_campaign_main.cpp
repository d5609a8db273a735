// fault_campaign: every flow for a number of seeds or for a time; --flow
// with --seed replays one run and prints its journal.
#include <CLI/CLI.hpp>

#include <chrono>
#include <iostream>

#include "campaign/campaign.h"

int main(int argc, char** argv) {
    CLI::App app{"Runs every flow of the setup program under seeded faults and bad inputs."};
    std::uint64_t seeds = 0;
    double seconds = 0;
    std::vector<std::string> names;
    std::uint32_t firstSeed = 1;
    std::optional<std::uint32_t> replay;
    app.add_option("--seeds", seeds, "seeds per flow (default 100 without --seconds)");
    app.add_option("--seconds", seconds, "stop starting runs after this long");
    app.add_option("--flow", names, "only these flows (repeat for more)");
    app.add_option("--first-seed", firstSeed, "the seed to start from");
    app.add_option("--seed", replay, "replay this seed of the one --flow given, with its journal");
    CLI11_PARSE(app, argc, argv);

    std::vector<const campaign::Flow*> flows;
    for (const std::string& name : names) flows.push_back(campaign::FindFlow(name));
    for (const campaign::Flow& flow : campaign::Flows()) {
        if (names.empty()) flows.push_back(&flow);
    }
    if (std::count(flows.begin(), flows.end(), nullptr) > 0 || (replay && flows.size() != 1)) {
        std::cerr << "fault_campaign: --seed replays one run of one --flow; the flows:";
        for (const campaign::Flow& flow : campaign::Flows()) std::cerr << " " << flow.name;
        return 2;
    }
    std::uint64_t runs = 0, faults = 0, verdicts[4] = {};
    const auto report = [&](const campaign::Flow& flow, std::uint32_t seed, const std::string& plan, const campaign::Report& run) {
        ++runs;
        faults += run.faults;
        if (run.verdict == campaign::Verdict::Passed && !replay) return;
        ++verdicts[static_cast<int>(run.verdict)];
        std::cout << campaign::ToString(run.verdict) << ": " << flow.name << " seed " << seed << " (" << plan << ")\n";
        for (const std::string& problem : run.problems) std::cout << "    " << problem << "\n";
    };
    if (replay) {
        vm::VirtualMachine machine;
        const std::string plan = campaign::Build(*flows[0], *replay, machine);
        const campaign::Report run = campaign::RunAndJudge(*flows[0], machine, names[0] + " seed " + std::to_string(*replay), 60);
        for (const vm::JournalEntry& entry : machine.GetJournal().Entries()) {
            std::cout << entry.time << " ms  " << entry.kind;
            for (const auto& [name, value] : entry.fields) std::cout << "  " << name << "=" << value;
            std::cout << "\n";
        }
        report(*flows[0], *replay, plan, run);
        return run.verdict == campaign::Verdict::Passed ? 0 : 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t done = campaign::RunCampaign(flows, firstSeed, seeds == 0 && seconds <= 0 ? 100 : seeds, seconds, report);
    std::cout << "fault campaign: " << flows.size() << " flows, seeds " << firstSeed << " to " << firstSeed + done - 1 << ", "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() << " s\nruns " << runs
              << ", faults injected " << faults << ", crashes " << verdicts[1] << ", hangs " << verdicts[2]
              << ", violations " << verdicts[3] << "\n";
    return verdicts[1] + verdicts[2] + verdicts[3] == 0 ? 0 : 1;
}
