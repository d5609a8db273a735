// The fault campaign in CI: a bounded number of seeds of every flow, and
// proof that its judges see what they are there to see.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "campaign/campaign.h"
#include "campaign/campaign_machine.h"
#include "campaign/run_guard.h"
#include "campaign/scenario_folder.h"
#include "platform/vm/machine_folder.h"
#include "setupsim/runner.h"

namespace {

using campaign::RunReport;

// 60 seeds give every flow every bad input at every failure rate; 5 give
// every bad input to some flow, for the sanitizer build, which runs some
// twenty times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kDefaultSeeds = 5;
#else
constexpr std::uint64_t kDefaultSeeds = 60;
#endif

std::uint64_t SeedsPerFlow() {
    const char* text = std::getenv("FAULT_CAMPAIGN_SEEDS");
    return text && std::atoll(text) > 0 ? static_cast<std::uint64_t>(std::atoll(text)) : kDefaultSeeds;
}

std::string Described(const RunReport& report) {
    std::string text = report.Label() + " " + campaign::ToString(report.verdict) + ":";
    for (const std::string& problem : report.problems) text += "\n    " + problem;
    return text + "\n  replay: fault_campaign --flow " + report.flow + " --seed " + std::to_string(report.seed);
}

TEST(FaultCampaignTest, EveryFlowUnderFaultsAndBadInputsEndsAsItShould) {
    campaign::CampaignOptions options;
    for (std::size_t i = 0; i < campaign::Flows().size(); ++i) options.flows.push_back(i);
    options.seeds = SeedsPerFlow();
    options.onFailure = [](const RunReport& report) { ADD_FAILURE() << Described(report); };
    const campaign::CampaignTotals totals = campaign::RunCampaign(options);

    std::cout << "fault campaign: runs " << totals.runs << ", faults injected " << totals.faultsInjected
              << ", crashes " << totals.crashes << ", hangs " << totals.hangs << ", violations " << totals.violations
              << "\n";
    EXPECT_EQ(totals.runs, *options.seeds * campaign::Flows().size());
    EXPECT_EQ(totals.crashes + totals.hangs + totals.violations, 0u);
    // The campaign did what it claims: faults went in, and every bad input
    // met the flows (every flow from 15 seeds on).
    EXPECT_GT(totals.faultsInjected, totals.runs);
    const std::uint64_t meetings = *options.seeds >= campaign::kBadInputCount ? campaign::Flows().size() : 1;
    for (std::size_t input = 0; input < campaign::kBadInputCount; ++input) {
        EXPECT_GE(totals.runsPerBadInput[input], meetings) << campaign::ToString(static_cast<campaign::BadInput>(input));
    }
}

// A machine that misbehaves the way a faulty program would, to show that
// the judges notice.
enum class Sabotage { FlipInfByte, TruncateKsInf, WriteOnMedium, WriteAndHideIt, DeleteOtherMakersInf,
                      ExitCodeThree, NoRestart, SlowClock, Throw };

class SabotagedMachine : public campaign::CampaignMachine {
public:
    SabotagedMachine(const campaign::Scenario& scenario, Sabotage sabotage)
        : CampaignMachine(scenario), sabotage_(sabotage) {}

    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        const bool copied = CampaignMachine::CopyFile(from, to, failIfExists);
        const std::string target = FullPath(to).value_or("");
        std::string content = Files().ReadFile(target).value_or("");
        if (copied && sabotage_ == Sabotage::FlipInfByte && target.find("\\INF\\OTHER\\") != std::string::npos) {
            content[content.size() / 2] ^= 0x20;
            Files().PutFile(target, content);
        }
        if (copied && sabotage_ == Sabotage::TruncateKsInf && target.find("\\INF\\ks.inf") != std::string::npos) {
            Files().PutFile(target, content.substr(0, content.size() / 2));
        }
        if (sabotage_ == Sabotage::WriteOnMedium) Files().PutFile("E:\\junk.tmp", "junk");
        return copied;
    }
    bool DeleteFile(const std::string& path) override {
        if (sabotage_ == Sabotage::DeleteOtherMakersInf) Files().Remove(settings.windowsFolder + "\\INF\\OEM2.INF");
        if (sabotage_ == Sabotage::WriteAndHideIt) {
            const std::string hidden = settings.systemFolder + "\\HIDDEN.INI";
            CampaignMachine::WritePrivateProfileString("a", "b", "c", hidden);
            Files().Remove(hidden);
        }
        return CampaignMachine::DeleteFile(path);
    }
    void ExitProcess(std::uint32_t exitCode) override {
        CampaignMachine::ExitProcess(sabotage_ == Sabotage::ExitCodeThree ? 3 : exitCode);
    }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override {
        return sabotage_ == Sabotage::NoRestart ? false : CampaignMachine::ExitWindowsEx(flags, reserved);
    }
    void Sleep(std::uint32_t milliseconds) override {
        CampaignMachine::Sleep(sabotage_ == Sabotage::SlowClock ? milliseconds * 1000 : milliseconds);
    }
    std::vector<platform::FindData> FindFiles(const std::string& pattern) override {
        if (sabotage_ == Sabotage::Throw) throw std::out_of_range("sabotage");
        return CampaignMachine::FindFiles(pattern);
    }

private:
    Sabotage sabotage_;
};

TEST(FaultCampaignTest, JudgesCatchAProgramThatMisbehaves) {
    struct Row {
        const char* flow;
        Sabotage sabotage;
        RunReport::Verdict verdict;
        const char* problem;  // part of one problem's text
    } rows[] = {
        {"driver-95-vxd", Sabotage::FlipInfByte, RunReport::Verdict::Violated, "INF\\OTHER\\OVAUDIO.INF: line"},
        {"options-vxd", Sabotage::FlipInfByte, RunReport::Verdict::Violated, "INF\\OTHER\\OVAUDIO.INF: line"},
        {"driver-98se-wdm", Sabotage::TruncateKsInf, RunReport::Verdict::Violated, "INF\\ks.inf: "},
        {"options-wdm", Sabotage::WriteOnMedium, RunReport::Verdict::Violated, "created E:\\junk.tmp"},
        {"driver-me-wdm", Sabotage::WriteAndHideIt, RunReport::Verdict::Violated,
         "write profile C:\\WINDOWS\\SYSTEM\\HIDDEN.INI"},
        {"driver-95-vxd", Sabotage::DeleteOtherMakersInf, RunReport::Verdict::Violated, "deleted C:\\WINDOWS\\INF\\OEM2.INF"},
        {"apps-launch", Sabotage::ExitCodeThree, RunReport::Verdict::Violated, "exit code 3"},
        {"options-vxd", Sabotage::NoRestart, RunReport::Verdict::Violated, "the final message without a restart request"},
        {"driver-me-wdm", Sabotage::SlowClock, RunReport::Verdict::Hung, "still waiting after"},
        {"dialog-both", Sabotage::Throw, RunReport::Verdict::Crashed, "exception: sabotage"},
    };
    for (const Row& row : rows) {
        const campaign::Flow& flow = campaign::Flows().at(*campaign::FindFlow(row.flow));
        const campaign::Scenario scenario = campaign::BuildScenario(flow, campaign::DefaultEnvironment(flow));
        SabotagedMachine machine(scenario, row.sabotage);
        RunReport report;
        report.flow = row.flow;
        campaign::RunAndJudge(scenario, machine, report);
        EXPECT_EQ(report.verdict, row.verdict) << row.flow << " " << row.problem;
        bool named = false;
        for (const std::string& problem : report.problems) named |= problem.find(row.problem) != std::string::npos;
        EXPECT_TRUE(named) << row.flow << ": no problem names \"" << row.problem << "\" in\n" << Described(report);
    }
}

TEST(FaultCampaignTest, EveryFlowPassesOnItsPlainMachine) {
    for (const campaign::Flow& flow : campaign::Flows()) {
        const campaign::Scenario scenario = campaign::BuildScenario(flow, campaign::DefaultEnvironment(flow));
        campaign::CampaignMachine machine(scenario);
        RunReport report;
        report.flow = flow.name;
        campaign::RunAndJudge(scenario, machine, report);
        EXPECT_EQ(report.verdict, RunReport::Verdict::Passed) << Described(report);
        EXPECT_EQ(report.faultsInjected, 0u) << flow.name;
    }
}

// What no check after a run can see: a run that never ends in real time,
// and one that crashes, each named on standard error.
TEST(FaultCampaignTest, GuardNamesRunsThatNeverEndOrCrash) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            campaign::RunGuard guard(std::chrono::seconds(1));
            guard.Begin("options-vxd seed 7");
            for (volatile bool looping = true; looping;) {
            }
        },
        testing::ExitedWithCode(124), "options-vxd seed 7 ran for more than 1 s of real time");
    EXPECT_DEATH(
        {
            campaign::RunGuard guard(std::chrono::seconds(60));
            guard.Begin("dialog-both seed 3");
            std::abort();
        },
        "crashed in dialog-both seed 3");
}

// The benchmarks run setupsim on the scenarios written as machine folders:
// a folder must run as the scenario does in memory.
TEST(FaultCampaignTest, ScenariosWrittenAsMachineFoldersRunTheSame) {
    for (const campaign::Flow& flow : campaign::Flows()) {
        const campaign::Scenario scenario = campaign::BuildScenario(flow, campaign::DefaultEnvironment(flow));
        campaign::CampaignMachine inMemory(scenario);
        const setupsim::RunResult expected = setupsim::RunSetup(inMemory);

        const std::string folder = testing::TempDir() + "campaign_" + flow.name;
        campaign::WriteMachineFolder(scenario, folder);
        vm::VirtualMachine loaded;
        vm::LoadMachineFolder(folder, loaded);
        const setupsim::RunResult result = setupsim::RunSetup(loaded);
        std::filesystem::remove_all(folder);

        EXPECT_EQ(result.ending, expected.ending) << flow.name;
        EXPECT_EQ(result.virtualTime, expected.virtualTime) << flow.name;
        EXPECT_EQ(result.restartRequested, expected.restartRequested) << flow.name;
        EXPECT_EQ(loaded.GetJournal().Entries().size(), inMemory.GetJournal().Entries().size()) << flow.name;
        EXPECT_EQ(loaded.Files().Snapshot().size(), inMemory.Files().Snapshot().size()) << flow.name;
    }
}

}  // namespace
