// fault_campaign: every flow for a number of seeds or for a time; --flow
// with --seed replays one run and prints its journal.
#include <CLI/CLI.hpp>

#include <chrono>
#include <iostream>

#include "fault_campaign/campaign.h"

int main(int argc, char** argv) {
    CLI::App app{"Runs every flow of the setup program under seeded faults and bad inputs."};
    std::uint64_t seeds = 0, runs = 0, faults = 0, verdicts[4] = {};
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
    if (std::any_of(names.begin(), names.end(), [](const std::string& name) { return !campaign::FindFlow(name); }) ||
        (replay && names.size() != 1)) {
        std::cerr << "fault_campaign: an unknown --flow, or --seed without one --flow\n";
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    seeds = replay ? 1 : seeds == 0 && seconds <= 0 ? 100 : seeds;
    const std::uint64_t done = campaign::RunCampaign(names, replay.value_or(firstSeed), seeds, seconds,
        [&](const campaign::Flow& flow, std::uint32_t seed, const std::string& plan, const campaign::Report& report,
            vm::VirtualMachine& machine) {
            ++runs;
            faults += machine.FaultsInjected();
            const std::string first = report.empty() ? "passed" : report[0].substr(0, report[0].find(':'));
            ++verdicts[first == "passed" ? 0 : first == "crashed" ? 1 : first == "hung" ? 2 : 3];
            for (const platform::JournalEntry& entry : replay ? machine.GetJournal().Entries() : std::vector<platform::JournalEntry>{}) {
                std::cout << entry.time << " ms  " << entry.kind;
                for (const auto& [name, value] : entry.fields) std::cout << "  " << name << "=" << value;
                std::cout << "\n";
            }
            if (report.empty() && !replay) return;
            std::cout << flow.name << " seed " << seed << " (" << plan << ")\n";
            for (const std::string& problem : report) std::cout << "    " << problem << "\n";
        });
    std::cout << "fault campaign: " << done << " seeds from " << replay.value_or(firstSeed) << ", "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() << " s, runs " << runs
              << ", faults injected " << faults << ", crashes " << verdicts[1] << ", hangs " << verdicts[2]
              << ", violations " << verdicts[3] << "\n";
    return runs == verdicts[0] ? 0 : 1;
}
