// The fault campaign in the fast suite: every flow on its plain machine
// (seed 0) and under faults and bad inputs, and each judge caught failing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <utility>

#include "campaign/campaign.h"

namespace {

using campaign::Verdict;

// 60 seeds give every flow every bad input at every failure rate; 5 give
// every bad input to some flow, for the sanitizers' build.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kSeeds = 5;
#else
constexpr std::uint64_t kSeeds = 60;
#endif

TEST(FaultCampaign, EveryFlowUnderFaultsAndBadInputsEndsAsItShould) {
    const char* seeds = std::getenv("FAULT_CAMPAIGN_SEEDS");
    std::vector<const campaign::Flow*> flows;
    for (const campaign::Flow& flow : campaign::Flows()) flows.push_back(&flow);
    std::uint64_t runs = 0, faults = 0;
    campaign::RunCampaign(flows, 0, seeds ? std::atoll(seeds) : kSeeds, 0,
        [&](const campaign::Flow& flow, std::uint32_t seed, const std::string& plan, const campaign::Report& report) {
            ++runs;
            faults += report.faults;
            std::string problems;
            for (const std::string& problem : report.problems) problems += "\n    " + problem;
            EXPECT_EQ(report.verdict, Verdict::Passed) << flow.name << " seed " << seed << " (" << plan << "):" << problems
                                                       << "\n  replay: fault_campaign --flow " << flow.name << " --seed " << seed;
        });
    EXPECT_GT(faults, runs);
}

// A program that misbehaves once it copies to a path containing `at`.
struct Sabotaged : vm::VirtualMachine {
    const char* at = nullptr;
    void (*sabotage)(Sabotaged&, const std::string& target) = nullptr;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        const bool copied = VirtualMachine::CopyFile(from, to, failIfExists);
        const std::string target = FullPath(to).value_or("");
        if (sabotage && target.find(at) != std::string::npos) std::exchange(sabotage, nullptr)(*this, target);
        return copied;
    }
};

TEST(FaultCampaign, EachJudgeCatchesItsBrokenPromise) {
    using S = Sabotaged;
    const struct Row {
        const char* flow;
        const char* at;
        void (*sabotage)(Sabotaged&, const std::string& target);
        Verdict verdict;
        const char* problem;
    } rows[] = {
        {"options-wdm", "\\INF\\OTHER\\", [](S& m, const std::string& inf) {
             m.Files().PutFile(inf, m.Files().ReadFile(inf)->replace(60, 1, "#")); }, Verdict::Violated, "INF: line"},
        {"driver-98se-wdm", "\\INF\\ks.inf", [](S& m, const std::string& inf) {
             m.Files().PutFile(inf, m.Files().ReadFile(inf)->substr(0, 100)); }, Verdict::Violated, "ks.inf: line"},
        {"options-vxd", "", [](S& m, const std::string&) { m.Files().PutFile("E:\\junk.tmp", ""); }, Verdict::Violated,
         "created E:\\junk.tmp"},
        {"driver-me-wdm", "", [](S& m, const std::string&) {
             m.WritePrivateProfileString("a", "b", "c", "C:\\WINDOWS\\SYSTEM\\HIDDEN.INI");
             m.Files().Remove("C:\\WINDOWS\\SYSTEM\\HIDDEN.INI"); }, Verdict::Violated, "write profile C:\\WINDOWS\\SYSTEM\\HIDDEN.INI"},
        {"driver-95-vxd", "", [](S& m, const std::string&) { m.Files().Remove("C:\\WINDOWS\\INF\\OEM2.INF"); },
         Verdict::Violated, "deleted C:\\WINDOWS\\INF\\OEM2.INF"},
        {"driver-95-vxd", "", [](S& m, const std::string&) { m.ExitProcess(3); }, Verdict::Violated, "exit code 3"},
        {"dialog-driver", "", [](S& m, const std::string&) { m.ExitProcess(0); }, Verdict::Violated, "ended xA, not"},
        {"flat-me", "", [](S& m, const std::string&) { m.ExitWindowsEx(2, 0); }, Verdict::Violated, "after the restart request"},
        {"driver-me-wdm", "", [](S& m, const std::string&) { m.Sleep(1u << 30); }, Verdict::Hung, "still waiting"},
        {"dialog-both", "", [](S&, const std::string&) { throw std::out_of_range("sabotage"); }, Verdict::Crashed, "sabotage"},
    };
    for (const Row& row : rows) {
        Sabotaged machine;
        campaign::Build(*campaign::FindFlow(row.flow), 0, machine);
        machine.at = row.at;
        machine.sabotage = row.sabotage;
        const campaign::Report report = campaign::RunAndJudge(*campaign::FindFlow(row.flow), machine, row.flow, 60);
        std::string problems;
        for (const std::string& problem : report.problems) problems += "\n    " + problem;
        EXPECT_EQ(report.verdict, row.verdict) << row.flow << " " << row.problem << problems;
        EXPECT_NE(problems.find(row.problem), std::string::npos) << row.flow << ": no \"" << row.problem << "\" in" << problems;
    }
}

// What no judgement after a run sees ends the process, naming the run.
TEST(FaultCampaign, ACrashOrARunPastItsRealTimeNamesTheRun) {
    const auto run = [](void (*sabotage)(Sabotaged&, const std::string&)) {
        Sabotaged machine;
        campaign::Build(*campaign::FindFlow("dialog-both"), 0, machine);
        machine.at = "";
        machine.sabotage = sabotage;
        campaign::RunAndJudge(*campaign::FindFlow("dialog-both"), machine, "dialog-both seed 7", 1);
    };
    EXPECT_DEATH(run([](Sabotaged&, const std::string&) { std::raise(SIGSEGV); }), "crashed in dialog-both seed 7");
    EXPECT_EXIT(run([](Sabotaged&, const std::string&) { for (volatile bool on = true; on;) {} }), testing::ExitedWithCode(124),
                "out of real time in dialog-both seed 7");
}

}  // namespace
