// The fault campaign in the fast suite: every flow on its plain machine
// (seed 0) and under faults and bad inputs, and each judge caught failing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "fault_campaign/campaign.h"
#include "platform/vm/machine_folder.h"

namespace {

std::string Problems(const campaign::Report& report) {
    std::string text;
    for (const std::string& problem : report) text += "\n    " + problem;
    return text;
}

TEST(FaultCampaign, EveryFlowUnderFaultsAndBadInputsEndsAsItShould) {
    std::uint64_t seeds = 60, runs = 0, faults = 0;  // every flow meets every bad input at every failure rate
#if defined(SETUP_SANITIZED)
    seeds = 5;  // every bad input meets some flow, in the sanitizers' slower build
#endif
    if (const char* text = std::getenv("FAULT_CAMPAIGN_SEEDS")) seeds = std::strtoull(text, nullptr, 10);
    campaign::RunCampaign({}, 0, seeds, 0, [&](const campaign::Flow& flow, std::uint32_t seed, const std::string& plan,
                                               const campaign::Report& report, vm::VirtualMachine& machine) {
        ++runs;
        faults += machine.FaultsInjected();
        EXPECT_TRUE(report.empty()) << flow.name << " seed " << seed << " (" << plan << "):" << Problems(report)
                                    << "\n  replay: fault_campaign --flow " << flow.name << " --seed " << seed;
    });
    EXPECT_GT(faults, runs);
}

// A program that throws, crashes or exits at a copy.
struct Broken : vm::VirtualMachine {
    int how = 0;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        if (how == 1) throw std::out_of_range("sabotage");
        if (how == 2) std::raise(SIGSEGV);
        if (how == 3) ExitProcess(3);
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
    const std::string put = "[Events]\nreenumeration 1 = file-put C:\\WINDOWS\\";
    const struct Row {
        const char* flow;
        std::string ini;  // what happens on the machine besides the program
        int how;
        const char* problem;
    } rows[] = {
        {"options-wdm", put + "INF\\OTHER\\OVAUDIO.INF | x\n", 0, "OVAUDIO.INF: 1 bytes, not"},
        {"driver-98se-wdm", put + "INF\\ks.inf | x\n", 0, "ks.inf: the line at 0"},
        {"options-wdm", put + "SYSTEM\\x.tmp | x\n", 0, "created C:\\WINDOWS\\SYSTEM\\x.tmp"},
        {"driver-95-vxd", "[Events]\nat 1 = file-remove C:\\WINDOWS\\INF\\OEM2.INF\n", 0, "deleted"},
        {"driver-95-vxd", "", 3, "exit code 3"},
        {"driver-me-wdm", "[Machine]\nTimeLimit = 9000\n", 0, "hung: waiting after"},
        {"dialog-both", "", 1, "crashed: sabotage"},
    };
    for (const Row& row : rows) {
        const campaign::Report report = Sabotaged(row.flow, row.ini, row.how);
        EXPECT_NE(Problems(report).find(row.problem), std::string::npos) << row.flow << ":" << Problems(report);
    }
    // What no judgement after a run sees ends the process, naming the run.
    EXPECT_DEATH(Sabotaged("dialog-both", "", 2), "dialog-both seed 7 crashed or ran past 1 s");
}

}  // namespace
