// /AP on virtual machines: the companion applications closed, the earlier
// applications uninstalled and waited for, the right installer started.
#include <gtest/gtest.h>

#include "platform/vm/machine_folder.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct AppsMachine : TestMachine {
    explicit AppsMachine(WindowsVersion version, const std::string& ini = "") : TestMachine(version) {
        settings.commandLine = "/AP";
        Files().PutFile("C:\\Program Files\\Orvanta\\Uninst.exe", "MZ");
        vm::ApplyMachineIni(ini, "machine.ini", *this);
    }
    void Uninstaller(const char* key, const char* value, const std::string& command) {
        vm::Registry::SetValue(*Reg().Create(platform::HKEY_LOCAL_MACHINE, std::string(kUninstall) + key), value,
                               platform::REG_SZ, vm::Registry::SzData(command));
    }
};

TEST(ApplicationsLaunchTest, InstallerChosenForTheSystem) {
    struct Row {
        WindowsVersion version;
        const char* setupIni;
        std::vector<const char*> medium;  // installers present
        const char* started;              // "" when the message is shown
    } rows[] = {
        {WindowsVersion::Win95, "", {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe"}, "E:\\W95-98\\app\\Setup.exe"},
        {WindowsVersion::Win98, "[InstallOption]\nWindows98SEDriver=1\n", {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe"},
         "E:\\W95-98\\app\\Setup.exe"},
        {WindowsVersion::Win98SE, "[InstallOption]\nWindows98SEDriver=1\n", {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe"},
         "E:\\W2K-ME\\app\\Setup.exe"},
        {WindowsVersion::Win98SE, "", {"W2K-ME\\app\\Setup.exe"}, "E:\\W2K-ME\\app\\Setup.exe"},  // fallback
        {WindowsVersion::Win98SE, "[InstallOption]\nWindows98SEDriver=1\n", {"W2K-ME\\x.txt"}, ""},
        {WindowsVersion::WinME, "", {"W2K-ME\\app\\Setup.exe", "W95-98\\app\\Setup.exe"}, "E:\\W2K-ME\\app\\Setup.exe"},
        {WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriver=0\n", {"WIN_ME\\app\\Setup.exe"},
         "E:\\WIN_ME\\app\\Setup.exe"},  // per-system layout, fallback
        {WindowsVersion::NT4, "", {"W2K-ME\\app\\Setup.exe"}, ""},  // no fallback
        {WindowsVersion::NT4, "", {"WIN_NT40\\app\\Setup.exe"}, "E:\\WIN_NT40\\app\\Setup.exe"},
        {WindowsVersion::Win2000, "", {"W2K-ME\\app\\Setup.exe"}, "E:\\W2K-ME\\app\\Setup.exe"},
        {WindowsVersion::WinXP, "", {"W95-98\\app\\Setup.exe", "W2K-ME\\x.txt"}, ""},
    };
    for (const Row& row : rows) {
        AppsMachine machine(row.version);
        if (*row.setupIni) machine.PutSetupIni(row.setupIni);
        for (const char* file : row.medium) machine.PutMedium(file);
        const setupsim::RunResult result = machine.Run();
        EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess);
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.setupIni;
        if (*row.started) {
            EXPECT_EQ(machine.Started(), std::vector<std::string>{row.started}) << where;
            EXPECT_TRUE(machine.Messages().empty()) << where;
        } else {
            EXPECT_TRUE(machine.Started().empty()) << where;
            EXPECT_EQ(machine.Messages(), std::vector<std::string>{"Can not find the PCI Audio Applications setup program."})
                << where;
        }
    }
}

TEST(ApplicationsLaunchTest, InstallerInheritsTheFolderTheProbeLeft) {
    struct Row {
        const char* installer;
        const char* folder;
    } rows[] = {{"W2K-ME\\app\\Setup.exe", "E:\\W2K-ME"}, {"WIN_ME\\app\\Setup.exe", "C:\\Temp"}};
    for (const Row& row : rows) {
        AppsMachine machine(WindowsVersion::WinME);
        machine.Files().PutDirectory("C:\\Temp");
        machine.settings.currentDirectory = "C:\\Temp";
        machine.PutMedium(row.installer);
        machine.Run();
        ASSERT_EQ(machine.Processes().size(), 1u);
        EXPECT_EQ(machine.Processes()[0].currentDirectory, row.folder);
    }
}

TEST(ApplicationsLaunchTest, EarlierApplicationsUninstalledAndWaitedFor) {
    struct Row {
        const char* name;
        std::vector<std::pair<const char*, const char*>> values;  // key, value name
        const char* command;                                      // "" when nothing runs
    } rows[] = {
        {"first key, InstallShield value", {{"PCI Audio Applications", "InstallShieldUninstallString"}},
         "C:\\Program Files\\Orvanta\\Uninst.exe -a"},
        {"second key only", {{"PCI Audio WinNT Applications", "UninstallString"}},
         "C:\\Program Files\\Orvanta\\Uninst.exe -a"},
        {"both keys: the first wins", {{"PCI Audio Applications", "UninstallString"}, {"PCI Audio WinNT Applications", "UninstallString"}},
         "C:\\Program Files\\Orvanta\\Uninst.exe -a"},
        {"a key without either value", {{"PCI Audio Applications", "DisplayName"}}, ""},
    };
    for (const Row& row : rows) {
        AppsMachine machine(WindowsVersion::Win98SE, "[Programs]\nUninst.exe = runs 4000\n");
        machine.PutMedium("W95-98\\app\\Setup.exe");
        machine.Files().PutDirectory("E:\\W2K-ME");
        std::string suffix;
        for (const auto& [key, value] : row.values) {
            machine.Uninstaller(key, value, std::string("C:\\Program Files\\Orvanta\\Uninst.exe") + suffix);
            suffix = " (second)";
        }
        machine.Run();
        std::vector<std::string> expected;
        if (*row.command) expected.push_back(row.command);
        expected.push_back("E:\\W95-98\\app\\Setup.exe");
        EXPECT_EQ(machine.Started(), expected) << row.name;
        // The installer starts only once the uninstaller has ended.
        EXPECT_EQ(machine.Processes().back().startedAt, *row.command ? 4500u : 500u) << row.name;
    }
}

TEST(ApplicationsLaunchTest, AWindowlessUninstallerIsWaitedOnNotPolled) {
    AppsMachine machine(WindowsVersion::WinME, "[Programs]\nUninst.exe = runs 60000\n");
    machine.PutMedium("W2K-ME\\app\\Setup.exe");
    machine.Uninstaller("PCI Audio Applications", "UninstallString", "C:\\Program Files\\Orvanta\\Uninst.exe");
    machine.Run();
    EXPECT_EQ(machine.Processes().back().startedAt, 60500u);
    const auto cursor = machine.GetJournal().OfKind("wait cursor");
    ASSERT_EQ(cursor.size(), 2u);
    EXPECT_EQ(cursor[1].time, 60500u);
}

TEST(ApplicationsLaunchTest, UninstallCommandsOfAnyLength) {
    // A command that fills the 260-byte buffer still gets " -a"; one longer
    // than the buffer cannot be read and nothing runs.
    const std::string folder = "C:\\" + std::string(240, 'u');
    for (std::size_t extra : {std::size_t(4), std::size_t(100)}) {
        AppsMachine machine(WindowsVersion::Win98SE);
        machine.PutMedium("W95-98\\app\\Setup.exe");
        machine.Files().PutDirectory("E:\\W2K-ME");
        const std::string program = folder + "\\" + std::string(extra, 'x') + ".exe";
        machine.Files().PutFile(program, "MZ");
        machine.Uninstaller("PCI Audio Applications", "UninstallString", program);
        machine.Run();
        if (program.size() + 1 <= 260) {
            EXPECT_EQ(machine.Started().at(0), program + " -a");
        } else {
            EXPECT_EQ(machine.Started(), std::vector<std::string>{"E:\\W95-98\\app\\Setup.exe"});
        }
    }
}

TEST(ApplicationsLaunchTest, CompanionApplicationsClosedWithTheirPauses) {
    struct Row {
        std::vector<std::string> windows;
        std::vector<std::string> closed;
        std::uint64_t startedAt;
    } rows[] = {
        {{"SoundDeck", "CD Player"}, {"SoundDeck"}, 1000},
        {{"CD Player", "MP3 Player", "Mixer"}, {"CD Player", "MP3 Player"}, 500},
        {{}, {}, 500},
    };
    for (const Row& row : rows) {
        AppsMachine machine(WindowsVersion::Win98SE);
        machine.PutMedium("W95-98\\app\\Setup.exe");
        machine.Files().PutDirectory("E:\\W2K-ME");
        for (const std::string& title : row.windows) machine.Windows().push_back({title, "Frame", true});
        machine.Run();
        std::vector<std::string> closed;
        for (const auto& entry : machine.GetJournal().OfKind("send message")) {
            const std::string window = entry.Get("window");
            closed.push_back(window.substr(1, window.find('"', 1) - 1));
        }
        EXPECT_EQ(closed, row.closed);
        EXPECT_EQ(machine.Processes().back().startedAt, row.startedAt);
    }
}

}  // namespace
