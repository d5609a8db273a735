// A run and its judgement; a crash or a run past its real time, which no
// judgement afterwards sees, ends the process naming the run.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

#include "campaign/campaign.h"

namespace campaign {

namespace {

char gMessage[300];  // for the signal handler

void OnSignal(int signal) {
    if (write(STDERR_FILENO, gMessage, std::strlen(gMessage)) < 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

Report RunAndJudge(const Flow& flow, vm::VirtualMachine& machine, const std::string& run, unsigned realSeconds) {
    std::snprintf(gMessage, sizeof gMessage, "\nfault campaign: %s crashed or ran past %u s\n", run.c_str(), realSeconds);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) std::signal(signal, OnSignal);
    alarm(realSeconds);
    const std::vector<vm::FileSystem::Entry> before = machine.Files().Snapshot();
    Report report;
    try {
        const setupsim::RunResult result = setupsim::RunSetup(machine);
        if (result.ending == setupsim::Ending::Hung) report.push_back("hung: waiting after " + std::to_string(machine.Now()) + " ms");
        for (const std::string& problem : Judge(machine, before, result, flow)) report.push_back(problem);
    } catch (const std::exception& error) {
        report = {std::string("crashed: ") + error.what()};
    }
    alarm(0);
    return report;
}

std::uint64_t RunCampaign(const std::vector<std::string>& names, std::uint32_t firstSeed, std::uint64_t seeds, double seconds,
                          const OnRun& onRun) {
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t done = 0;
    for (auto seed = firstSeed; (seeds == 0 || done < seeds) && (seconds <= 0 || std::chrono::duration<double>(
                                    std::chrono::steady_clock::now() - start).count() < seconds); ++seed, ++done) {
        for (const Flow& flow : Flows()) {
            if (!names.empty() && std::find(names.begin(), names.end(), flow.name) == names.end()) continue;
            vm::VirtualMachine machine;
            const std::string plan = Build(flow, seed, machine);
            const Report report = RunAndJudge(flow, machine, std::string(flow.name) + " seed " + std::to_string(seed), 60);
            onRun(flow, seed, plan, report, machine);
        }
    }
    return done;
}

}  // namespace campaign
