// setup.exe's start-up under Wine: the system adjustments every run makes and
// the hand-over to the setup program for Windows 2000/XP, from a medium in
// C:\MEDIUM\. The programs it hands over to are copies of recorder.exe.
#include <gtest/gtest.h>

#include <memory>

#include "harness.h"

namespace winetest {
namespace {

constexpr const char* kMedium = "C:\\MEDIUM";
constexpr const char* kSetup = "C:\\MEDIUM\\setup.exe";
constexpr const char* kRecorderLog = "C:\\recorder.log";
constexpr const char* kCdPlayerIni = "C:\\windows\\OVCDPLAY.INI";
constexpr const char* kAudioKey = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRunKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Medium {
    std::string setup_ini;
    bool w2k_setup_dat = false;
    bool w2k_setup_exe = false;
};

struct Started {
    std::string command_line;
    std::string current_dir;
};

struct Outcome {
    RunResult run;
    std::vector<DialogRecord> dialogs;
    bool all_ended = false;          // nothing left running in the prefix
    std::vector<Started> started;    // what the recorder copies saw
};

std::vector<Started> ParseRecorderLog(const std::string& log) {
    std::vector<Started> started;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        size_t tab = line.find('\t');
        started.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
        start = end + 2;
    }
    return started;
}

class StartupUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        std::string missing = MissingPrerequisites({SetupExe(), RecorderExe(), AnswererExe()});
        ASSERT_TRUE(missing.empty()) << missing;
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: "
                      << prefix_->OutputLog() << "\n";
        }
    }

    // A fresh prefix reporting `version`, with the medium in C:\MEDIUM\.
    WinePrefix& MakeMachine(const std::string& version, const Medium& medium) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (prefix_ && HasFailure()) prefix_->KeepForInspection();
        prefix_ = std::make_unique<WinePrefix>(std::string(test->test_suite_name()) + "." +
                                                   test->name() + "." + std::to_string(++machines_),
                                               version);
        prefix_->CopyIn(SetupExe(), kSetup);
        prefix_->PutFile(std::string(kMedium) + "\\setup.ini", medium.setup_ini);
        if (medium.w2k_setup_dat) prefix_->CopyIn(RecorderExe(), std::string(kMedium) + "\\W2KSetup.dat");
        if (medium.w2k_setup_exe) prefix_->CopyIn(RecorderExe(), std::string(kMedium) + "\\W2KSetup.exe");
        return *prefix_;
    }

    // Runs setup.exe from the medium with every dialog answered OK, and waits
    // for whatever it started to end as well.
    Outcome RunSetup(const std::vector<std::string>& arguments, bool screenshots = false) {
        Outcome outcome;
        Answerer answerer(*prefix_, {{"*", "OK"}}, screenshots);
        WineRunOptions options;
        options.current_dir = kMedium;
        outcome.run = prefix_->Run(kSetup, arguments, options);
        outcome.dialogs = answerer.Stop();
        outcome.all_ended = prefix_->Shutdown();
        outcome.started = ParseRecorderLog(prefix_->ReadFile(kRecorderLog).value_or(""));
        return outcome;
    }

    std::string CdPlayerSetting() const {
        std::optional<std::string> ini = prefix_->ReadFile(kCdPlayerIni);
        if (!ini) return "(no OVCDPLAY.INI)";
        return IniValue(*ini, "CD PLAYER", "UsingCDDA").value_or("(no UsingCDDA)");
    }

    std::unique_ptr<WinePrefix> prefix_;
    int machines_ = 0;
};

void ExpectCleanEnd(const Outcome& outcome) {
    EXPECT_FALSE(outcome.run.timed_out) << "setup.exe did not end";
    EXPECT_EQ(outcome.run.exit_code, 0);
    EXPECT_TRUE(outcome.all_ended) << "programs were still running in the prefix";
}

TEST_F(StartupUnderWine, HandsOverToTheSetupProgramForWindows2000AndXp) {
    struct Row {
        const char* version;
        Medium medium;
        std::vector<std::string> arguments;
        const char* expected_command_line;
        const char* expected_cdda;
    };
    const Row rows[] = {
        {"winxp", {"[InstallOption]\r\nDriverOnly=1\r\n", false, true}, {},
         "C:\\MEDIUM\\W2KSetup.exe /DRIVER", "0"},
        {"winxp", {"[InstallOption]\r\nDriverOnly=1\r\n[Default]\r\nUsingCDDA=1\r\n", false, true}, {},
         "C:\\MEDIUM\\W2KSetup.exe /DRIVER", "1"},
        // The .dat file comes first and is started as the program it is.
        {"win2k", {"", true, true}, {}, "C:\\MEDIUM\\W2KSetup.dat", "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.version) + ": " + row.medium.setup_ini);
        MakeMachine(row.version, row.medium);
        Outcome outcome = RunSetup(row.arguments);

        ExpectCleanEnd(outcome);
        EXPECT_TRUE(outcome.dialogs.empty());
        ASSERT_EQ(outcome.started.size(), 1u);
        EXPECT_EQ(outcome.started[0].command_line, row.expected_command_line);
        EXPECT_EQ(CdPlayerSetting(), row.expected_cdda);
    }
}

TEST_F(StartupUnderWine, MissingSetupProgramForWindows2000AndXpIsReported) {
    MakeMachine("winxp", {"", false, false});
    Outcome outcome = RunSetup({}, /*screenshots=*/true);

    ExpectCleanEnd(outcome);
    EXPECT_TRUE(outcome.started.empty());
    ASSERT_EQ(outcome.dialogs.size(), 1u);
    const DialogRecord& box = outcome.dialogs[0];
    EXPECT_EQ(box.caption, "Setup");
    EXPECT_EQ(box.text, "Can not find the setup program for Windows 2000/XP.");
    EXPECT_EQ(box.owner, "(none)");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.action, "OK");
    EXPECT_EQ(prefix_->ReadFile(box.screenshot).value_or("").substr(0, 2), "BM");
}

TEST_F(StartupUnderWine, DriverModeOnNt4EndsSilentlyAfterTheAdjustments) {
    // A setup program for 2000/XP on the medium would show a wrong hand-over.
    MakeMachine("nt40", {"", false, true});
    Outcome outcome = RunSetup({"/DRIVER"});

    ExpectCleanEnd(outcome);
    EXPECT_TRUE(outcome.dialogs.empty());
    EXPECT_TRUE(outcome.started.empty());
    EXPECT_EQ(CdPlayerSetting(), "0");
}

TEST_F(StartupUnderWine, SetsTheCdRecordingFormatAndDropsTheOldRunEntry) {
    WinePrefix& machine = MakeMachine("winxp", {"", false, true});
    machine.SetRegistryString(std::string("HKCU\\") + kAudioKey, "SystemFormats",
                              "Radio Quality,CD Quality,Telephone Quality");
    machine.CreateRegistryKey(std::string("HKU\\.Default\\") + kAudioKey);
    machine.SetRegistryString(kRunKey, "PCI Audio Applications", "C:\\Program Files\\Orvanta\\mixer.exe");
    machine.SetRegistryString(kRunKey, "Other Program", "C:\\other.exe");
    Outcome outcome = RunSetup({});

    ExpectCleanEnd(outcome);
    EXPECT_EQ(outcome.started.size(), 1u) << "the run went on to the hand-over";
    EXPECT_EQ(machine.RegistryText(std::string("HKCU\\") + kAudioKey, "DefaultFormat"), "CD Quality");
    EXPECT_EQ(machine.RegistryText(std::string("HKU\\.Default\\") + kAudioKey, "DefaultFormat"),
              "CD Quality");
    EXPECT_EQ(machine.RegistryText(kRunKey, "PCI Audio Applications"), "(missing)");
    EXPECT_EQ(machine.RegistryText(kRunKey, "Other Program"), "C:\\other.exe");
}

}  // namespace
}  // namespace winetest
