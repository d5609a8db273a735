// The fault campaign in the fast suite: every flow on its plain machine
// (seed 0) and under faults and bad inputs, and each judge caught failing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "campaign/campaign.h"
#include "platform/vm/machine_folder.h"

namespace {

using campaign::Verdict;

// 60 seeds give every flow every bad input at every failure rate, 5 every
// bad input to some flow (for the sanitizers' build).
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kSeeds = 5;
#else
constexpr std::uint64_t kSeeds = 60;
#endif

TEST(FaultCampaign, EveryFlowUnderFaultsAndBadInputsEndsAsItShould) {
    const char* seeds = std::getenv("FAULT_CAMPAIGN_SEEDS");
    std::uint64_t runs = 0, faults = 0;
    campaign::RunCampaign({}, 0, seeds ? std::atoll(seeds) : kSeeds, 0, [&](const campaign::Flow& flow, std::uint32_t seed,
            const std::string& plan, const campaign::Report& report, std::uint64_t injected) {
        ++runs;
        faults += injected;
        std::string problems;
        for (const std::string& problem : report.problems) problems += "\n    " + problem;
        EXPECT_EQ(report.verdict, Verdict::Passed) << flow.name << " seed " << seed << " (" << plan << "):" << problems
                                                   << "\n  replay: fault_campaign --flow " << flow.name << " --seed " << seed;
    });
    EXPECT_GT(faults, runs);
}

// A program that throws, crashes, loops, exits or restarts at a copy.
struct Broken : vm::VirtualMachine {
    int how = 0;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        if (how == 1) throw std::out_of_range("sabotage");
        if (how == 2) std::raise(SIGSEGV);
        if (how == 4) ExitProcess(3);
        if (how == 5) ExitWindowsEx(2, 0);
        if (how == 6) MessageBox(0, "Setup completed! The system will restart now!", "Setup", 0);
        for (volatile bool on = how == 3; on;) {}
        return VirtualMachine::CopyFile(from, to, failIfExists);
    }
};

campaign::Report Sabotaged(const char* flow, const std::string& ini, int how = 0) {
    Broken machine;
    campaign::Build(*campaign::FindFlow(flow), 0, machine);
    vm::ApplyMachineIni(ini, "sabotage", machine);
    machine.how = how;
    return campaign::RunAndJudge(*campaign::FindFlow(flow), machine, std::string(flow) + " seed 7", 1);
}

TEST(FaultCampaign, EachJudgeCatchesItsBrokenPromise) {
    const struct Row {
        const char* flow;
        const char* ini;  // what happens on the machine besides the program
        int how;
        Verdict verdict;
        const char* problem;
    } rows[] = {
        {"options-wdm", "[Events]\nreenumeration 1 = file-put C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF | x\n", 0, Verdict::Violated, "OVAUDIO.INF: 1 bytes, not"},
        {"driver-98se-wdm", "[Events]\nreenumeration 1 = file-put C:\\WINDOWS\\INF\\ks.inf | x\n", 0, Verdict::Violated, "ks.inf: line 1"},
        {"options-vxd", "[Events]\nat 1 = file-put C:\\WINDOWS\\SYSTEM\\x.tmp | x\n", 0, Verdict::Violated, "created C:\\WINDOWS\\SYSTEM\\x.tmp"},
        {"driver-95-vxd", "[Events]\nat 1 = file-remove C:\\WINDOWS\\INF\\OEM2.INF\n", 0, Verdict::Violated, "deleted C:\\WINDOWS\\INF\\OEM2.INF"},
        {"driver-95-vxd", "", 6, Verdict::Violated, "from the medium: ended xACC"},
        {"driver-95-vxd", "", 4, Verdict::Violated, "exit code 3"},
        {"flat-me", "", 5, Verdict::Violated, "\"copy file\" after the restart request"},
        {"driver-me-wdm", "[Machine]\nTimeLimit = 9000\n", 0, Verdict::Hung, "still waiting after"},
        {"dialog-both", "", 1, Verdict::Crashed, "crashed: sabotage"},
    };
    for (const Row& row : rows) {
        const campaign::Report report = Sabotaged(row.flow, row.ini, row.how);
        std::string problems;
        for (const std::string& problem : report.problems) problems += "\n    " + problem;
        EXPECT_EQ(report.verdict, row.verdict) << row.flow << " " << row.problem << problems;
        EXPECT_NE(problems.find(row.problem), std::string::npos) << row.flow << ": no \"" << row.problem << "\" in" << problems;
    }
    // What no judgement after a run sees ends the process, naming the run.
    EXPECT_DEATH(Sabotaged("dialog-both", "", 2), "crashed in dialog-both seed 7");
    EXPECT_EXIT(Sabotaged("dialog-both", "", 3), testing::ExitedWithCode(124), "out of real time in dialog-both seed 7");
}

}  // namespace
