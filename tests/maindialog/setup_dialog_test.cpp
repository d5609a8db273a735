// The main dialog and its install action on virtual machines: what it
// checks when it opens, and the three plans of its OK button.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "platform/vm/machine_folder.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kNote = "C:\\WINDOWS\\OVXSETUP.INI";

struct MediumMachine : TestMachine {
    explicit MediumMachine(WindowsVersion version, const std::string& setupIni = "",
                           std::vector<std::string> actions = {}, const std::string& ini = "")
        : TestMachine(version) {
        if (!setupIni.empty()) PutSetupIni(setupIni);
        for (const char* installer : {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe", "NT40\\app\\Setup.exe"}) {
            PutMedium(installer);
        }
        PutMedium("W2K-ME\\drv\\OVAUDIO.INF", inftest::TestInf("wdm/OVAUDIO.INF"));
        PutMedium("W2K-ME\\drv\\MESetup.dat", "me setup");
        PutMedium("W2K-ME\\drv\\ovaudio.cat", "catalog");
        PutMedium("W95-98\\drv\\98\\OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
        PutMedium("W95-98\\drv\\95\\OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
        Files().PutDirectory("C:\\WINDOWS\\INF\\OTHER");
        Files().PutFile(settings.systemFolder + "\\SYSTRAY.EXE", "MZ");
        if (!actions.empty()) DialogScripts().push_back({102, actions, false});
        AddEvent({vm::TimedEvent::Anchor::Reenumeration, 1, "mixer arrives",
                  [](vm::VirtualMachine& m) { m.SetMixerDevices(1); }});
        vm::ApplyMachineIni(ini, "machine.ini", *this);
    }
    // A driver whose mixer never arrives: the waits run to their limits.
    void ClearMixerEvents() { neverArrives = true; }
    bool neverArrives = false;
    std::uint32_t mixerGetNumDevs() override { return neverArrives ? 0 : vm::VirtualMachine::mixerGetNumDevs(); }
    std::string Note(const char* section, const char* key) { return ProfileValue(kNote, section, key); }
    std::vector<vm::JournalEntry> Shown() { return GetJournal().OfKind("dialog shown"); }
    std::string ClosedStates() { return GetJournal().OfKind("dialog closed").back().Get("controls"); }
};

TEST(SetupDialogTest, WhatItChecksWhenItOpens) {
    struct Row {
        const char* name;
        WindowsVersion version;
        const char* setupIni;
        std::vector<std::string> removed;  // medium files taken away
        std::vector<int> dialogs;          // shown, in order
        const char* states;                // of 102 when it closed ("" when it did not show)
        const char* message;
    } rows[] = {
        {"98 SE, defaults", WindowsVersion::Win98SE, "", {}, {102}, "1003=hidden 1001=checked 1002=checked", ""},
        {"NT 4.0: no driver", WindowsVersion::NT4, "", {}, {102}, "1003=hidden 1001=checked 1002=unchecked,disabled", ""},
        {"NT 4.0 without its installer", WindowsVersion::NT4, "", {"NT40\\app\\Setup.exe"}, {102}, "",
         "Can not find installation files."},
        {"98 SE asks", WindowsVersion::Win98SE, "[InstallOption]\nWindows98SEDriverAskUser=1\n", {}, {102, 130},
         "1003=hidden 1001=checked 1002=checked", ""},
        {"98 first edition never asks", WindowsVersion::Win98, "[InstallOption]\nWindows98SEDriverAskUser=1\n", {},
         {102}, "1003=hidden 1001=checked 1002=checked", ""},
        {"ME with only the WDM installer falls back to it", WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriver=0\n",
         {"W95-98\\app\\Setup.exe"}, {102}, "1003=hidden 1001=checked 1002=checked", ""},
        {"ME without any installer", WindowsVersion::WinME, "", {"W95-98\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe"},
         {102}, "", "Can not find installation files."},
    };
    for (const Row& row : rows) {
        // Cancel, so that only the opening is seen.
        MediumMachine machine(row.version, row.setupIni, {"cancel"});
        for (const std::string& file : row.removed) machine.Files().Remove("E:\\" + file);
        const setupsim::RunResult result = machine.Run();
        std::vector<int> shown;
        for (const auto& entry : machine.Shown()) shown.push_back(std::stoi(entry.Get("dialog")));
        EXPECT_EQ(shown, row.dialogs) << row.name;
        if (*row.message) {
            EXPECT_EQ(machine.Messages(), std::vector<std::string>{row.message}) << row.name;
            EXPECT_EQ(machine.GetJournal().OfKind("message box")[0].Get("owner"), "dialog 102") << row.name;
            EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess) << row.name;
        } else {
            EXPECT_EQ(machine.ClosedStates(), row.states) << row.name;
            EXPECT_TRUE(machine.Messages().empty()) << row.name;
        }
    }
}

TEST(SetupDialogTest, TheArchitectureQuestion) {
    struct Row {
        WindowsVersion version;
        const char* setupIni;
        std::vector<std::string> answer;
        const char* initial;  // states of 130 when it closed
        bool mainDialogShown;
    } rows[] = {
        {WindowsVersion::Win98SE, "[InstallOption]\nWindows98SEDriverAskUser=1\n", {"ok"}, "1004=checked 1005=unchecked",
         true},
        {WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriverAskUser=1\n", {"ok"}, "1004=unchecked 1005=checked",
         true},
        {WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriverAskUser=1\n", {"click 1004", "cancel"},
         "1004=checked 1005=unchecked", false},
    };
    for (const Row& row : rows) {
        MediumMachine machine(row.version, row.setupIni, {"cancel"});
        machine.DialogScripts().push_back({130, row.answer, false});
        machine.Run();
        const auto closed = machine.GetJournal().OfKind("dialog closed");
        ASSERT_FALSE(closed.empty());
        EXPECT_EQ(closed[0].Get("controls"), row.initial);
        // Cancelled, the main dialog closes before it was ever used.
        std::size_t mainDialogActions = 0;
        for (const auto& entry : machine.GetJournal().OfKind("user")) mainDialogActions += entry.Get("dialog") == "102";
        EXPECT_EQ(mainDialogActions > 0, row.mainDialogShown);
        EXPECT_TRUE(machine.Messages().empty());
    }
}

TEST(SetupDialogTest, OkFollowsTheBoxesAndTheSystemMenuOpensAbout) {
    MediumMachine machine(WindowsVersion::Win98SE, "",
                          {"click 1001", "click 1002", "sysmenu 0x13", "click 1002", "click 1002", "cancel"});
    machine.Run();
    // With both boxes clear OK is disabled.
    EXPECT_EQ(machine.GetJournal().Count("dialog shown"), 2u);  // 102, then the About box
    EXPECT_EQ(machine.GetJournal().OfKind("dialog shown")[1].Get("dialog"), "100");
    EXPECT_EQ(machine.GetJournal().OfKind("system menu item")[0].Get("text"), "&About Setup...");
    EXPECT_EQ(machine.ClosedStates(), "1=disabled 1003=hidden 1001=unchecked 1002=unchecked");
}

TEST(SetupDialogTest, OkDisabledWhenNothingIsChosen) {
    MediumMachine machine(WindowsVersion::Win98SE, "", {"click 1001", "click 1002", "ok", "click 1001", "ok"});
    machine.Run();
    EXPECT_EQ(machine.GetJournal().Count("click ignored"), 1u);
    EXPECT_TRUE(machine.Files().Exists(kNote));  // the second OK went through
}

TEST(InstallActionTest, TheThreePlans) {
    struct Row {
        const char* name;
        WindowsVersion version;
        const char* setupIni;
        std::vector<std::string> clicks;
        const char* reboot;      // the note's values, "(no file)" without a note
        const char* driver;
        const char* command;
        const char* staged;      // a staged file, "" when nothing is staged
        const char* installer;   // "" when no installer starts
        const char* folder;      // the installer's current directory
        bool restart;
    } rows[] = {
        {"both, ME, WDM", WindowsVersion::WinME, "", {}, "NO", "YES", "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat",
         "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "E:\\W2K-ME\\app\\Setup.exe", "C:\\PROGRA~1\\ORVANTA\\WIN_ME",
         false},
        {"both, 98, VxD", WindowsVersion::Win98, "", {}, "YES", "NO", "", "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.INF",
         "E:\\W95-98\\app\\Setup.exe", "E:\\W2K-ME", false},
        {"applications only", WindowsVersion::WinME, "", {"click 1002"}, "YES", "NO", "", "",
         "E:\\W2K-ME\\app\\Setup.exe", "E:\\W2K-ME", false},
        {"NT 4.0", WindowsVersion::NT4, "", {}, "YES", "NO", "", "", "E:\\NT40\\app\\Setup.exe", "E:\\W2K-ME", false},
        {"driver only, 98", WindowsVersion::Win98, "", {"click 1001"}, "(no file)", "(no file)", "(no file)",
         "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.INF", "", "", true},
        {"driver only, ME", WindowsVersion::WinME, "", {"click 1001"}, "(no file)", "(no file)", "(no file)",
         "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "", "", true},
    };
    for (const Row& row : rows) {
        std::vector<std::string> actions = row.clicks;
        actions.push_back("ok");
        MediumMachine machine(row.version, row.setupIni, actions);
        const setupsim::RunResult result = machine.Run();
        EXPECT_EQ(result.ending, setupsim::Ending::Returned) << row.name;
        EXPECT_EQ(machine.Note("Need_To_Reboot", "Install"), row.reboot) << row.name;
        EXPECT_EQ(machine.Note("Need_To_InstallDriver", "Install"), row.driver) << row.name;
        EXPECT_EQ(machine.Note("Need_To_InstallDriver", "Command"), row.command) << row.name;
        if (*row.staged) {
            EXPECT_TRUE(machine.Files().IsFile(row.staged)) << row.name;
        } else {
            EXPECT_FALSE(machine.Files().Exists("C:\\Program Files\\Orvanta")) << row.name;
        }
        std::vector<std::string> installers;
        for (const vm::StartedProcess& process : machine.Processes()) {
            if (process.commandLine.find("app\\Setup.exe") != std::string::npos) {
                installers.push_back(process.commandLine);
                EXPECT_EQ(process.currentDirectory, row.folder) << row.name;
            }
        }
        EXPECT_EQ(installers, *row.installer ? std::vector<std::string>{row.installer} : std::vector<std::string>{})
            << row.name;
        EXPECT_EQ(result.restartRequested, row.restart) << row.name;
        EXPECT_EQ(machine.GetJournal().OfKind("dialog closed").back().Get("result"), "OK") << row.name;
    }
}

TEST(InstallActionTest, DriverOnlyOnMeRepaintsDuringTheWaitsAndOwnsItsMessages) {
    MediumMachine machine(WindowsVersion::WinME, "", {"click 1001", "ok"});
    machine.ClearMixerEvents();
    vm::Registry::SetValue(*machine.Reg().Create(platform::HKEY_CURRENT_USER,
                                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray"),
                           "Services", platform::REG_DWORD, vm::Registry::DwordData(5));
    const setupsim::RunResult result = machine.Run();
    EXPECT_TRUE(result.restartRequested);
    EXPECT_EQ(machine.GetJournal().Count("install INF"), 1u);
    // 60 mixer pauses, 5 window polls, 30 tray pauses: each followed by a
    // repaint of the dialog; the final window wait repaints nothing.
    std::size_t repaints = 0;
    for (const auto& entry : machine.GetJournal().OfKind("repaint")) repaints += entry.Get("control").empty();
    EXPECT_EQ(repaints, 60u + 5u + 30u);
    for (const auto& box : machine.GetJournal().OfKind("message box")) EXPECT_EQ(box.Get("owner"), "dialog 102");
    EXPECT_EQ(machine.GetJournal().Count("dialog hidden"), 0u);
}

TEST(InstallActionTest, MediumGoneBeforeTheApplicationsStep) {
    struct Row {
        std::vector<std::string> clicks;
        const char* answers;
        std::vector<std::string> messages;
        bool restart;
    } rows[] = {
        {{"click 1002"}, "[Answers]\nPlease insert = Cancel\n",
         {"Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now.",
          "Can not find the PCI Audio Applications setup program."},
         false},
        {{"click 1002"}, "[Answers]\nPlease insert = OK after 5000\n[Events]\nat 3000 = file-put E:\\W95-98\\app\\Setup.exe | MZ\n",
         {"Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now."},
         false},
        {{}, "[Answers]\nPlease insert = OK\nPlease insert = Cancel\n",
         {"Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now.",
          "Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now.",
          "Setup completed! The system will restart now!"},
         true},
    };
    for (const Row& row : rows) {
        std::vector<std::string> actions = row.clicks;
        actions.push_back("ok");
        MediumMachine machine(WindowsVersion::Win98, "", actions,
                              std::string(row.answers) + "[Events]\nat 100 = file-remove E:\\W95-98\\app\n"
                                                         "at 100 = file-remove E:\\W2K-ME\\app\n");
        const setupsim::RunResult result = machine.Run();
        EXPECT_EQ(machine.Messages(), row.messages);
        EXPECT_EQ(result.restartRequested, row.restart);
        // The note is written only once the installer is there again.
        EXPECT_EQ(machine.Files().Exists(kNote), row.messages.size() == 1);
    }
}

TEST(InstallActionTest, TheAnsweredArchitectureIsTheOneStaged) {
    MediumMachine machine(WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriverAskUser=1\n", {"ok"});
    machine.DialogScripts().push_back({130, {"click 1004", "ok"}, false});
    machine.Run();
    EXPECT_TRUE(machine.Files().IsFile("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.INF"));
    EXPECT_FALSE(machine.Files().Exists("C:\\Program Files\\Orvanta\\WIN_ME"));
    EXPECT_EQ(machine.Note("Need_To_Reboot", "Install"), "YES");
    EXPECT_EQ(machine.Started().back(), "E:\\W95-98\\app\\Setup.exe");
}

TEST(InstallActionTest, TheNoteKeepsOtherSections) {
    MediumMachine machine(WindowsVersion::WinME, "", {"click 1002", "ok"});
    machine.Files().PutFile(kNote, "[Other]\r\nKeep=1\r\n[Need_To_Reboot]\r\nInstall=NO\r\n");
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile(kNote),
              "[Other]\r\nKeep=1\r\n[Need_To_Reboot]\r\nInstall=YES\r\n[Need_To_InstallDriver]\r\nInstall=NO\r\n"
              "Command=\r\n");
}

}  // namespace
