// The start-up sequence on virtual machines: the three adjustments every run
// makes, and the one outcome each run takes.
#include <gtest/gtest.h>

#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kAudio = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultAudio = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kCdPlayerIni = "C:\\WINDOWS\\OVCDPLAY.INI";

std::string Outcome(TestMachine& machine) {
    for (const std::string& trace : machine.Traces()) {
        if (trace.rfind("outcome: ", 0) == 0) return trace.substr(9);
    }
    return "(none)";
}

TEST(StartupDispatchTest, EachOutcome) {
    struct Row {
        WindowsVersion version;
        const char* commandLine;
        const char* setupIni;
        const char* outcome;
    } rows[] = {
        {WindowsVersion::Win98SE, "", "", "main setup dialog"},
        {WindowsVersion::Win98SE, "/ap", "", "applications launch"},
        {WindowsVersion::Win98SE, "/AP ", "", "main setup dialog"},
        {WindowsVersion::Win98SE, "/AP /DRIVER", "", "main setup dialog"},
        {WindowsVersion::WinME, "-driver", "", "unattended driver installation from the medium"},
        {WindowsVersion::Win95, "", "[InstallOption]\nDriverOnly=1\n", "unattended driver installation from the medium"},
        {WindowsVersion::NT4, "/DRIVER", "", "silent end on Windows NT 4.0"},
        {WindowsVersion::NT4, "", "[InstallOption]\nDriverOnly=7\n", "silent end on Windows NT 4.0"},
        {WindowsVersion::NT4, "", "", "main setup dialog"},
        {WindowsVersion::Win2000, "/AP", "", "applications launch"},
        {WindowsVersion::WinXP, "", "", "hand-over to the Windows 2000/XP setup program"},
        {WindowsVersion::WinXP, "", "[InstallOption]\nWebSetup=1\n", "hand-over to the Windows 2000/XP setup program"},
        {WindowsVersion::Win2000, "/DRIVER", "[InstallOption]\nWebSetup=2\n",
         "hand-over to the Windows 2000/XP setup program"},
        {WindowsVersion::Win98SE, "/AP", "[InstallOption]\nWebSetup=1\n", "VxD driver option dialog"},
        {WindowsVersion::WinME, "", "[InstallOption]\nWebSetup=1\nInstallWDMDriver=1\n", "WDM driver option dialog"},
        {WindowsVersion::WinME, "/DRIVER", "[InstallOption]\nWebSetup=2\n",
         "unattended driver installation from a flat package"},
        {WindowsVersion::Win98, "", "[InstallOption]\nWebSetup=-1\n",
         "unattended driver installation from a flat package"},
        {WindowsVersion::NT4, "", "[InstallOption]\nWebSetup=2\n", "silent end on Windows NT 4.0"},
        // Garbled values read as their leading digits.
        {WindowsVersion::Win98SE, "", "[InstallOption]\nWebSetup=1x\n", "VxD driver option dialog"},
        {WindowsVersion::Win98SE, "", "[InstallOption]\nWebSetup=x1\n", "main setup dialog"},
    };
    for (const Row& row : rows) {
        TestMachine machine(row.version);
        machine.settings.commandLine = row.commandLine;
        if (*row.setupIni) machine.PutSetupIni(row.setupIni);
        machine.PutMedium("W2KSetup.exe");
        machine.Run();
        EXPECT_EQ(Outcome(machine), row.outcome)
            << vm::ToString(row.version) << " \"" << row.commandLine << "\" " << row.setupIni;
    }
}

TEST(StartupDispatchTest, NT4WithDriverEndsSilentlyAfterTheAdjustments) {
    TestMachine machine(WindowsVersion::NT4);
    machine.settings.commandLine = "/DRIVER";
    machine.Reg().Create(platform::HKEY_LOCAL_MACHINE, kRun);
    vm::Registry::SetValue(*machine.Reg().Find(platform::HKEY_LOCAL_MACHINE, kRun), "PCI Audio Applications",
                           platform::REG_SZ, vm::Registry::SzData("x"));
    const setupsim::RunResult result = machine.Run();
    EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(machine.Messages().empty());
    EXPECT_EQ(machine.ProfileValue(kCdPlayerIni, "CD PLAYER", "UsingCDDA"), "0");
    EXPECT_EQ(machine.RegistryText(platform::HKEY_LOCAL_MACHINE, kRun, "PCI Audio Applications"), "(no value)");
    EXPECT_EQ(machine.GetJournal().Count("3d controls"), 0u);
}

TEST(StartupHandoverTest, StartsTheWindows2000SetupProgram) {
    struct Row {
        const char* files;  // which of .dat/.exe exist: "dat", "exe", "both", "none"
        const char* commandLine;
        const char* setupIni;
        const char* started;  // "" when nothing starts
    } rows[] = {
        {"both", "", "", "E:\\W2KSetup.dat"},
        {"exe", "", "", "E:\\W2KSetup.exe"},
        {"exe", "", "[InstallOption]\nDriverOnly=1\n", "E:\\W2KSetup.exe /DRIVER"},
        {"dat", "/driver", "", "E:\\W2KSetup.dat /DRIVER"},
        {"dat", "/AP", "[InstallOption]\nWebSetup=1\n", "E:\\W2KSetup.dat"},
        {"none", "", "", ""},
    };
    for (const Row& row : rows) {
        TestMachine machine(WindowsVersion::WinXP);
        machine.settings.commandLine = row.commandLine;
        if (*row.setupIni) machine.PutSetupIni(row.setupIni);
        const std::string files = row.files;
        if (files == "dat" || files == "both") machine.PutMedium("W2KSetup.dat");
        if (files == "exe" || files == "both") machine.PutMedium("W2KSetup.exe");
        const setupsim::RunResult result = machine.Run();
        EXPECT_EQ(result.ending, setupsim::Ending::Returned);
        if (*row.started) {
            EXPECT_EQ(machine.Started(), std::vector<std::string>{row.started}) << row.files << " " << row.commandLine;
            EXPECT_TRUE(machine.Messages().empty());
        } else {
            EXPECT_TRUE(machine.Started().empty());
            const auto boxes = machine.GetJournal().OfKind("message box");
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].Get("text"), "Can not find the setup program for Windows 2000/XP.");
            EXPECT_EQ(boxes[0].Get("caption"), "Setup");
            EXPECT_EQ(boxes[0].Get("owner"), "(none)");
        }
    }
}

TEST(StartupAdjustmentsTest, CdPlayerSettingIsWrittenInEveryRun) {
    struct Row {
        const char* setupIni;
        const char* value;
    } rows[] = {
        {"", "0"},
        {"[Default]\nUsingCDDA=1\n", "1"},
        {"[Default]\nUsingCDDA=-3\n", "1"},
        {"[Default]\nUsingCDDA=0\n", "0"},
        {"[default]\r\nusingcdda = \"5\"\r\n", "1"},
    };
    for (const Row& row : rows) {
        TestMachine machine;
        if (*row.setupIni) machine.PutSetupIni(row.setupIni);
        machine.Run();
        EXPECT_EQ(machine.ProfileValue(kCdPlayerIni, "CD PLAYER", "UsingCDDA"), row.value) << row.setupIni;
    }
}

TEST(StartupAdjustmentsTest, CdPlayerSettingKeepsTheRestOfTheFile) {
    TestMachine machine;
    machine.Files().PutFile(kCdPlayerIni, "[CD PLAYER]\r\nVolume=7\r\nUsingCDDA=1\r\n[Discs]\r\nA=B\r\n");
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile(kCdPlayerIni), "[CD PLAYER]\r\nVolume=7\r\nUsingCDDA=0\r\n[Discs]\r\nA=B\r\n");
}

TEST(StartupAdjustmentsTest, DefaultFormatFollowsTheFirstCdFormat) {
    struct Row {
        std::string systemFormats;
        const char* expected;
    } rows[] = {
        {"CD Quality,Radio Quality,Telephone Quality", "CD Quality"},
        {"Radio Quality,Telephone Quality,CD Quality", "CD Quality"},
        {"Radio Quality,My CD,CD Quality", "My CD"},
        {"Radio Quality,Telephone Quality", "untouched"},
        {"cd quality,Radio", "untouched"},  // case counts
        {"", "untouched"},
        {"Radio," + std::string(1100, 'x') + ",CD Quality", "untouched"},  // over the 1024-byte buffer
    };
    for (const Row& row : rows) {
        TestMachine machine;
        for (auto [root, path] : {std::pair{platform::HKEY_CURRENT_USER, kAudio},
                                  std::pair{platform::HKEY_USERS, kDefaultAudio}}) {
            vm::Registry::Key* key = machine.Reg().Create(root, path);
            vm::Registry::SetValue(*key, "DefaultFormat", platform::REG_SZ, vm::Registry::SzData("untouched"));
        }
        vm::Registry::SetValue(*machine.Reg().Find(platform::HKEY_CURRENT_USER, kAudio), "SystemFormats",
                               platform::REG_SZ, vm::Registry::SzData(row.systemFormats));
        machine.Run();
        EXPECT_EQ(machine.RegistryText(platform::HKEY_CURRENT_USER, kAudio, "DefaultFormat"), row.expected)
            << row.systemFormats.substr(0, 60);
        EXPECT_EQ(machine.RegistryText(platform::HKEY_USERS, kDefaultAudio, "DefaultFormat"), row.expected);
    }
}

TEST(StartupAdjustmentsTest, DefaultFormatIsWrittenWithoutATerminatingZero) {
    TestMachine machine;
    vm::Registry::SetValue(*machine.Reg().Create(platform::HKEY_CURRENT_USER, kAudio), "SystemFormats",
                           platform::REG_SZ, vm::Registry::SzData("CD Quality"));
    machine.Run();
    const vm::Registry::Value* value = vm::Registry::FindValue(
        *machine.Reg().Find(platform::HKEY_CURRENT_USER, kAudio), "DefaultFormat");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->data, "CD Quality");
    // No default user's key: nothing is created there.
    EXPECT_EQ(machine.Reg().Find(platform::HKEY_USERS, kDefaultAudio), nullptr);
}

TEST(StartupAdjustmentsTest, RunValueGoesAndTheOthersStay) {
    TestMachine machine;
    vm::Registry::Key* run = machine.Reg().Create(platform::HKEY_LOCAL_MACHINE, kRun);
    vm::Registry::SetValue(*run, "SystemTray", platform::REG_SZ, vm::Registry::SzData("SysTray.Exe"));
    vm::Registry::SetValue(*run, "PCI Audio Applications", platform::REG_SZ, vm::Registry::SzData("x.exe"));
    machine.Run();
    EXPECT_EQ(machine.RegistryText(platform::HKEY_LOCAL_MACHINE, kRun, "PCI Audio Applications"), "(no value)");
    EXPECT_EQ(machine.RegistryText(platform::HKEY_LOCAL_MACHINE, kRun, "SystemTray"), "SysTray.Exe");
}

TEST(StartupAdjustmentsTest, FailuresSkipOnlyTheirOwnStep) {
    // Every registry open fails and the profile write fails: the run still
    // reaches its outcome.
    TestMachine machine(WindowsVersion::WinXP);
    machine.PutMedium("W2KSetup.exe");
    machine.Faults().push_back({"RegOpenKeyEx", 0});
    machine.Faults().push_back({"WritePrivateProfileString", 0});
    machine.Run();
    EXPECT_EQ(machine.Started(), std::vector<std::string>{"E:\\W2KSetup.exe"});
    EXPECT_FALSE(machine.Files().Exists(kCdPlayerIni));
}

TEST(StartupAdjustmentsTest, DialogOutcomesTurnOnThe3dLook) {
    for (const char* setupIni : {"", "[InstallOption]\nWebSetup=1\n"}) {
        TestMachine machine;
        if (*setupIni) machine.PutSetupIni(setupIni);
        machine.Run();
        EXPECT_EQ(machine.GetJournal().Count("3d controls"), 1u) << setupIni;
    }
}

}  // namespace
