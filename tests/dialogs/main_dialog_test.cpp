// The main dialog, its architecture question and About box, and the three
// plans of its OK button, played by the virtual machine's user.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/about_dialog.h"
#include "dialogs/driver_type_dialog.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kNote = "C:\\WINDOWS\\OVXSETUP.INI";
constexpr const char* kInsert = "Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now.";

// The CD with every installer; the mixer arrives once Plug and Play looks.
struct MediumMachine : TestMachine {
    MediumMachine(WindowsVersion version, const std::string& setupIni, const std::string& machineIni, bool mixerArrives = true)
        : TestMachine(version, machineIni) {
        PutSetupIni(setupIni);
        PutPackage(Package::Medium);
        for (const char* installer : {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe", "NT40\\app\\Setup.exe"}) PutMedium(installer);
        PutMedium("W2K-ME\\drv\\MESetup.dat", "me setup");
        if (mixerArrives) {
            AddEvent({vm::TimedEvent::Anchor::Reenumeration, 1, "mixer arrives", [](vm::VirtualMachine& m) { m.SetMixerDevices(1); }});
        }
    }
    std::string Note(const char* section, const char* key) { return ProfileValue(kNote, section, key); }
};

TEST(MainDialog, WhatItChecksWhenItOpensAndTheQuestion) {
    const std::string ask98 = "[InstallOption]\nWindows98SEDriverAskUser=1\n", askMe = "[InstallOption]\nWindowsMEDriverAskUser=1\n";
    struct Row {
        WindowsVersion version;
        std::string setupIni, machineIni;
        std::vector<std::string> removed;  // medium files taken away
        std::string closed;                // states of the dialogs closed, in order; "" when a message ends it
        const char* message = "";
        bool mainDialogUsed = true;
    } rows[] = {
        {WindowsVersion::Win98SE, "", "", {}, "1003=hidden 1001=checked 1002=checked"},
        {WindowsVersion::NT4, "", "", {"NT40\\app\\Setup.exe"}, "", "Can not find installation files."},
        {WindowsVersion::Win98, ask98, "", {}, "1003=hidden 1001=checked 1002=checked"},  // the first edition never asks
        {WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriver=0\n", "", {"W95-98\\app\\Setup.exe"},
         "1003=hidden 1001=checked 1002=checked"},  // only the WDM installer: falls back to it
        {WindowsVersion::WinME, "", "", {"W95-98\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe"}, "", "Can not find installation files."},
        {WindowsVersion::Win98SE, ask98, "", {}, "1004=checked 1005=unchecked|1003=hidden 1001=checked 1002=checked"},
        {WindowsVersion::WinME, askMe, "", {}, "1004=unchecked 1005=checked|1003=hidden 1001=checked 1002=checked"},
        // The question cancelled: the main dialog closes before it was ever used.
        {WindowsVersion::WinME, askMe, "[Dialogs]\n130 = click 1004, cancel\n", {},
         "1004=checked 1005=unchecked|1003=hidden 1001=checked 1002=checked", "", false},
    };
    for (const Row& row : rows) {
        MediumMachine machine(row.version, row.setupIni, "[Dialogs]\n102 = cancel\n" + row.machineIni);
        for (const std::string& file : row.removed) machine.Files().Remove("E:\\" + file);
        const setupsim::RunResult result = machine.Run();
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.setupIni + row.machineIni;
        if (*row.message) {
            EXPECT_EQ(machine.Messages(), std::vector<std::string>{row.message}) << where;
            EXPECT_EQ(machine.Journal("message box", "owner"), std::vector<std::string>{"dialog 102"}) << where;
            EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess) << where;
            continue;
        }
        std::string closed;
        for (const std::string& states : machine.Journal("dialog closed", "controls")) closed += (closed.empty() ? "" : "|") + states;
        EXPECT_EQ(closed, row.closed) << where;
        const std::vector<std::string> users = machine.Journal("user", "dialog");
        EXPECT_EQ(std::count(users.begin(), users.end(), "102") > 0, row.mainDialogUsed) << where;
        EXPECT_TRUE(machine.Messages().empty()) << where;
    }
}

TEST(MainDialog, OkFollowsTheBoxesAndTheSystemMenuOpensAbout) {
    MediumMachine about(WindowsVersion::Win98SE, "", "[Dialogs]\n102 = click 1001, click 1002, sysmenu 0x13, click 1002, click 1002, cancel\n");
    about.Run();
    EXPECT_EQ(about.Journal("dialog shown", "dialog"), (std::vector<std::string>{"102", "100"}));
    EXPECT_EQ(about.Journal("system menu item", "text"), std::vector<std::string>{"&About Setup..."});
    EXPECT_EQ(about.Journal("dialog closed", "controls").back(), "1=disabled 1003=hidden 1001=unchecked 1002=unchecked");
    MediumMachine disabled(WindowsVersion::Win98SE, "", "[Dialogs]\n102 = click 1001, click 1002, ok, click 1001, ok\n");
    disabled.Run();
    EXPECT_EQ(disabled.GetJournal().Count("click ignored"), 1u);
    EXPECT_TRUE(disabled.Files().Exists(kNote));  // the second OK went through
}

TEST(MainDialog, TheThreePlans) {
    const std::string wdmStaged = "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat";
    const std::string vxdStaged = "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.INF";
    struct Row {
        WindowsVersion version;
        const char* clicks;
        std::string note;      // Need_To_Reboot, Need_To_InstallDriver Install and Command
        std::string staged;    // "" when nothing is staged
        std::string installer; // and its folder; "" when none starts
        bool restart;
        std::string setupIni = "", questionClicks = "";
    } rows[] = {
        {WindowsVersion::WinME, "", "NO YES C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat", wdmStaged,
         "E:\\W2K-ME\\app\\Setup.exe in C:\\PROGRA~1\\ORVANTA\\WIN_ME", false},
        {WindowsVersion::Win98, "", "YES NO ", vxdStaged, "E:\\W95-98\\app\\Setup.exe in E:\\W2K-ME", false},
        {WindowsVersion::WinME, "click 1002,", "YES NO ", "", "E:\\W2K-ME\\app\\Setup.exe in E:\\W2K-ME", false},
        {WindowsVersion::NT4, "", "YES NO ", "", "E:\\NT40\\app\\Setup.exe in E:\\W2K-ME", false},
        {WindowsVersion::Win98, "click 1001,", "(no file) (no file) (no file)", vxdStaged, "", true},
        {WindowsVersion::WinME, "click 1001,", "(no file) (no file) (no file)", wdmStaged, "", true},
        // The answered architecture is the one staged.
        {WindowsVersion::WinME, "", "YES NO ", vxdStaged, "E:\\W95-98\\app\\Setup.exe in E:\\W2K-ME", false,
         "[InstallOption]\nWindowsMEDriverAskUser=1\n", "130 = click 1004, ok\n"},
    };
    for (const Row& row : rows) {
        MediumMachine machine(row.version, row.setupIni, "[Dialogs]\n102 = " + std::string(row.clicks) + " ok\n" + row.questionClicks);
        const setupsim::RunResult result = machine.Run();
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.clicks + row.questionClicks;
        EXPECT_EQ(result.ending, setupsim::Ending::Returned) << where;
        EXPECT_EQ(machine.Sleeps(200), 1u) << where;  // "Please wait" shown before the work starts
        EXPECT_EQ(machine.Note("Need_To_Reboot", "Install") + " " + machine.Note("Need_To_InstallDriver", "Install") + " " +
                      machine.Note("Need_To_InstallDriver", "Command"), row.note) << where;
        EXPECT_EQ(machine.Files().Exists("C:\\Program Files\\Orvanta\\WIN_ME"), row.staged == wdmStaged) << where;
        EXPECT_EQ(machine.Files().Exists("C:\\Program Files\\Orvanta\\WIN_9x"), row.staged == vxdStaged) << where;
        EXPECT_TRUE(row.staged.empty() || machine.Files().IsFile(row.staged)) << where;
        std::string installer;
        for (const vm::StartedProcess& process : machine.Processes()) {
            if (process.commandLine.find("app\\Setup.exe") != std::string::npos) {
                installer += process.commandLine + " in " + process.currentDirectory;
            }
        }
        EXPECT_EQ(installer, row.installer) << where;
        EXPECT_EQ(result.restartRequested, row.restart) << where;
        EXPECT_EQ(machine.Journal("dialog closed", "result").back(), "OK") << where;
    }
}

TEST(MainDialog, DriverOnlyOnMeRepaintsDuringTheWaitsAndOwnsItsMessages) {
    MediumMachine machine(WindowsVersion::WinME, "", "[Dialogs]\n102 = click 1001, ok\n", false);
    machine.ImportRegistry("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\n\"Services\"=dword:00000005\n");
    EXPECT_TRUE(machine.Run().restartRequested);
    EXPECT_EQ(machine.GetJournal().Count("install INF"), 1u);
    // 60 mixer pauses, 5 window polls, 30 tray pauses: each followed by a
    // repaint of the dialog; the final window wait repaints nothing.
    const std::vector<std::string> controls = machine.Journal("repaint", "control");
    EXPECT_EQ(std::count(controls.begin(), controls.end(), ""), 60 + 5 + 30);
    for (const std::string& owner : machine.Journal("message box", "owner")) EXPECT_EQ(owner, "dialog 102");
    EXPECT_EQ(machine.GetJournal().Count("dialog hidden"), 0u);
}

TEST(MainDialog, MediumGoneBeforeTheApplicationsStep) {
    const std::string gone = "[Events]\nat 100 = file-remove E:\\W95-98\\app\nat 100 = file-remove E:\\W2K-ME\\app\n";
    struct Row {
        const char* clicks;
        std::string machineIni;
        std::vector<std::string> messages;
        bool restart;
    } rows[] = {
        {"click 1002,", "[Answers]\nPlease insert = Cancel\n", {kInsert, "Can not find the PCI Audio Applications setup program."}, false},
        {"click 1002,", "[Answers]\nPlease insert = OK after 5000\n[Events]\nat 3000 = file-put E:\\W95-98\\app\\Setup.exe | MZ\n",
         {kInsert}, false},
        {"", "[Answers]\nPlease insert = OK\nPlease insert = Cancel\n",
         {kInsert, kInsert, "Setup completed! The system will restart now!"}, true},
    };
    for (const Row& row : rows) {
        MediumMachine machine(WindowsVersion::Win98, "", "[Dialogs]\n102 = " + std::string(row.clicks) + " ok\n" + row.machineIni + gone);
        const setupsim::RunResult result = machine.Run();
        EXPECT_EQ(machine.Messages(), row.messages) << row.machineIni;
        EXPECT_EQ(result.restartRequested, row.restart) << row.machineIni;
        // The note is written only once the installer is there again.
        EXPECT_EQ(machine.Files().Exists(kNote), row.messages.size() == 1) << row.machineIni;
    }
}

TEST(MainDialog, TheArchitectureQuestionAndTheAboutBoxAlone) {
    struct Row {
        int initial;
        const char* actions;
        int result, answer;
        const char* states;
    } rows[] = {
        {1, "ok", platform::IDOK, 1, "1004=checked 1005=unchecked"},
        {0, "click 1004, ok", platform::IDOK, 1, "1004=checked 1005=unchecked"},
        {0, "click 1004, click 1005, ok", platform::IDOK, 0, "1004=unchecked 1005=checked"},
        {1, "click 1005, cancel", platform::IDCANCEL, -1, "1004=unchecked 1005=checked"},
        {0, "close", platform::IDCANCEL, -1, "1004=unchecked 1005=checked"},
    };
    for (const Row& row : rows) {
        TestMachine machine(WindowsVersion::Win98SE, std::string("[Dialogs]\n130 = ") + row.actions + "\n");
        setup::DriverTypeDialog dialog(machine.Journaled(), 0);
        dialog.SetAnswer(row.initial);
        EXPECT_EQ(dialog.DoModal(), row.result) << row.actions;
        if (row.answer >= 0) {
            EXPECT_EQ(dialog.Answer(), row.answer) << row.actions;
        }
        EXPECT_EQ(machine.Journal("dialog closed", "controls"), std::vector<std::string>{row.states}) << row.actions;
    }
    TestMachine about(WindowsVersion::Win98SE, "[Dialogs]\n100 = esc\n100 = close\n");
    for (int i = 0; i < 3; ++i) setup::AboutDialog(about.Journaled(), 0).DoModal();
    EXPECT_EQ(about.Journal("dialog shown", "title"), std::vector<std::string>(3, "About Setup"));
    EXPECT_EQ(about.Journal("dialog closed", "result"), (std::vector<std::string>{"Cancel", "Cancel", "OK"}));
}

}  // namespace
