// The VxD driver installed from its option dialog, end to end on virtual
// machines: "WebSetup" 1 opens the dialog, the user clicks, Install runs.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "platform/vm/profile.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";

struct VxdMachine : TestMachine {
    explicit VxdMachine(WindowsVersion version, std::vector<std::string> clicks = {}) : TestMachine(version) {
        PutSetupIni("[InstallOption]\r\nWebSetup=1\r\n");
        PutMedium("OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
        PutMedium("OEMSETUP.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
        PutMedium("Driver.Inf", "[Version]\r\n");
        PutMedium("ovaudio.vxd", "VXD");
        PutMedium("Mixer.exe", "new mixer");
        PutMedium("Readme.txt", "read me");
        PutMedium("026\\wave.026", "026 data");
        Files().PutDirectory("C:\\WINDOWS\\INF\\OTHER");
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\DLSWAVE.DAT", "dls wave");
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old driver");
        Files().PutFile("C:\\Program Files\\PCI Audio\\Mixer.exe", "old mixer");
        Files().PutFile("C:\\WINDOWS\\Mixer.exe", "old mixer");
        Files().PutFile("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=old.exe\r\n");
        vm::Registry::SetValue(*Reg().Create(platform::HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Mixer"), "Path",
                               platform::REG_SZ, vm::Registry::SzData("C:\\Program Files\\PCI Audio"));
        Windows().push_back({"SoundDeck", "SoundDeckFrame", true});
        clicks.push_back("ok");
        DialogScripts().push_back({103, clicks, false});
    }
    std::string Ini(const std::string& path, const char* section, const char* key) {
        return ProfileValue(path, section, key);
    }
};

TEST(VxdInstallationTest, StagesEditsRetiresAndRestarts) {
    VxdMachine machine(WindowsVersion::Win98, {"click 1012", "click 1000"});
    const setupsim::RunResult result = machine.Run();
    EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess);
    EXPECT_TRUE(result.restartRequested);

    // Every package file staged, the system's DLS file too (FullPackage 0).
    for (const char* name : {"OVAUDIO.INF", "OEMSETUP.INF", "Driver.Inf", "ovaudio.vxd", "Readme.txt", "setup.exe",
                             "setup.ini", "DLSWAVE.DAT"}) {
        EXPECT_TRUE(machine.Files().IsFile(kStaging + std::string(name))) << name;
    }
    EXPECT_EQ(machine.Files().ReadFile(std::string(kStaging) + "026\\wave.026"), "026 data");
    EXPECT_EQ(machine.Files().ReadFile(std::string(kStaging) + "OVAUDIO.INF"), inftest::TestInf("vxd/OVAUDIO.INF"));

    // INF copies in INF\OTHER, edited: MIDI off, Line-in/Center-Subwoofer.
    const std::string expected = inftest::Replaced(
        inftest::TestInf("vxd/OVAUDIO.INF"),
        {{"HKR,Config,DISMPU,1,0", "HKR,Config,DISMPU,1,1"},
         {"HKR,Config,LINEINasREAR,1,1", "HKR,Config,LINEINasREAR,1,0"},
         {"HKR,Config,LINEINasBASS,1,0", "HKR,Config,LINEINasBASS,1,1"}});
    for (const char* name : {"OVAUDIO.INF", "OEMSETUP.INF"}) {
        const std::string path = std::string("C:\\WINDOWS\\INF\\OTHER\\") + name;
        const std::string content = machine.Files().ReadFile(path).value_or("");
        EXPECT_EQ(vm::profile::ReadString(content, "SourceDisksNames", "1"),
                  "\"Orvanta PCI Audio Driver Disk\",,0, C:\\Program Files\\Orvanta\\WIN_9x");
        EXPECT_EQ(vm::profile::WriteString(expected, "SourceDisksNames", "1",
                                           "\"Orvanta PCI Audio Driver Disk\",,0, C:\\Program Files\\Orvanta\\WIN_9x"),
                  content)
            << name;
    }
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\OTHER\\Driver.Inf"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\OTHER\\Readme.txt"));

    // Earlier driver files retired at the next start; WIN.INI's run emptied.
    EXPECT_EQ(machine.Ini("C:\\WINDOWS\\WININIT.INI", "rename", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD"),
              "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\WIN.INI"), "[windows]\r\nrun= \r\n");

    // The registered mixer and the Windows folder's one replaced.
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\Mixer.exe"), "new mixer");

    // SoundDeck closed and given its time; the final message owned by the dialog.
    const auto& journal = machine.GetJournal();
    EXPECT_EQ(journal.OfKind("send message").at(0).Get("window"), "\"SoundDeck\" (SoundDeckFrame)");
    const auto boxes = journal.OfKind("message box");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Get("text"), "Setup completed! The system will restart now!");
    EXPECT_EQ(boxes[0].Get("owner"), "dialog 103");
    // 500 ms after SoundDeck, 500 ms more, 100 ms before each DISMPU edit.
    EXPECT_EQ(result.virtualTime, 1200u);
}

TEST(VxdInstallationTest, WhereTheInfCopiesGo) {
    struct Row {
        WindowsVersion version;
        bool otherFolder;
        const char* target;  // "" when no INF copy is made
    } rows[] = {
        {WindowsVersion::Win95, true, "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"},
        {WindowsVersion::WinME, true, "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"},
        {WindowsVersion::Win98SE, false, "C:\\WINDOWS\\INF\\OVAUDIO.INF"},
    };
    for (const Row& row : rows) {
        VxdMachine machine(row.version);
        if (!row.otherFolder) machine.Files().Remove("C:\\WINDOWS\\INF\\OTHER");
        machine.Run();
        EXPECT_TRUE(machine.Files().IsFile(row.target)) << vm::ToString(row.version);
        EXPECT_TRUE(machine.RestartRequested());
    }
}

TEST(VxdInstallationTest, RefusedOnTheNtFamilyBeforeAnyChange) {
    for (WindowsVersion version : {WindowsVersion::NT4, WindowsVersion::Win2000}) {
        VxdMachine machine(version);
        const setupsim::RunResult result = machine.Run();
        if (version == WindowsVersion::Win2000) {
            // Windows 2000 never reaches the dialog: the hand-over comes first.
            EXPECT_TRUE(machine.GetJournal().OfKind("dialog shown").empty());
            continue;
        }
        EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess);
        EXPECT_FALSE(result.restartRequested);
        const auto boxes = machine.GetJournal().OfKind("message box");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Get("text"), "This driver can not be used on Windows NT or Windows 2000.");
        EXPECT_EQ(boxes[0].Get("caption"), "Information");
        EXPECT_FALSE(machine.Files().Exists("C:\\Program Files\\Orvanta"));
        EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\WININIT.INI"));
    }
}

TEST(VxdInstallationTest, FullPackageStagesOnlyThePackagesOwnDlsFiles) {
    VxdMachine machine(WindowsVersion::Win98);
    machine.PutSetupIni("[InstallOption]\r\nWebSetup=1\r\nFullPackage=1\r\n");
    machine.Run();
    EXPECT_FALSE(machine.Files().Exists(std::string(kStaging) + "DLSWAVE.DAT"));
    EXPECT_TRUE(machine.Files().IsDirectory(std::string(kStaging) + "026"));
}

TEST(VxdInstallationTest, MixerRegisteredWithoutItsProgramFallsBackToTheSecondKey) {
    VxdMachine machine(WindowsVersion::Win98);
    vm::Registry::SetValue(*machine.Reg().Create(platform::HKEY_LOCAL_MACHINE, "Software\\PCI Audio Applications\\Mixer"),
                           "Path", platform::REG_SZ, vm::Registry::SzData("C:\\Gone"));
    machine.Files().Remove("C:\\WINDOWS\\Mixer.exe");
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_FALSE(machine.Files().Exists("C:\\Gone\\Mixer.exe"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\Mixer.exe"));  // not created
}

}  // namespace
