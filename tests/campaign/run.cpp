// A run and its judgement; a crash or a run past its real time, which no
// judgement afterwards sees, ends the process naming the run.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

#include "campaign/campaign.h"

namespace campaign {

namespace {

char gRun[256];  // for the signal handler

void OnSignal(int signal) {
    const char* what = signal == SIGALRM ? "\nfault campaign: out of real time in " : "\nfault campaign: crashed in ";
    for (const char* text : {what, static_cast<const char*>(gRun), "\n"}) {
        if (write(STDERR_FILENO, text, std::strlen(text)) < 0) break;
    }
    if (signal == SIGALRM) _exit(124);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

Report RunAndJudge(const Flow& flow, vm::VirtualMachine& machine, const std::string& run, unsigned realSeconds) {
    std::snprintf(gRun, sizeof gRun, "%s", run.c_str());
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) std::signal(signal, OnSignal);
    alarm(realSeconds);
    const std::vector<vm::FileSystem::Entry> before = machine.Files().Snapshot();
    Report report;
    try {
        const setupsim::RunResult result = setupsim::RunSetup(machine);
        const bool hung = result.ending == setupsim::Ending::Hung;
        report.problems = Judge(machine, before, result, flow);
        if (hung) report.problems.push_back("hung: still waiting after " + std::to_string(machine.Now()) + " ms");
        report.verdict = hung ? Verdict::Hung : report.problems.empty() ? Verdict::Passed : Verdict::Violated;
    } catch (const std::exception& error) {
        report = {Verdict::Crashed, {std::string("crashed: ") + error.what()}};
    }
    alarm(0);
    return report;
}

std::uint64_t RunCampaign(const std::vector<std::string>& names, std::uint32_t firstSeed, std::uint64_t seeds, double seconds,
                          const OnRun& onRun) {
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t done = 0;
    for (; (seeds == 0 || done < seeds) &&
           (seconds <= 0 || std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds);
         ++done) {
        const auto seed = static_cast<std::uint32_t>(firstSeed + done);
        for (const Flow& flow : Flows()) {
            if (!names.empty() && std::find(names.begin(), names.end(), flow.name) == names.end()) continue;
            vm::VirtualMachine machine;
            const std::string plan = Build(flow, seed, machine);
            const Report report = RunAndJudge(flow, machine, std::string(flow.name) + " seed " + std::to_string(seed), 60);
            onRun(flow, seed, plan, report, machine.FaultsInjected());
        }
    }
    return done;
}

}  // namespace campaign
