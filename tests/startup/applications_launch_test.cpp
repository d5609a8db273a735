// /AP: the companion applications closed, the earlier applications
// uninstalled and waited for, the right installer started.
#include <gtest/gtest.h>

#include <sstream>

#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kUninst = "C:\\Program Files\\Orvanta\\Uninst.exe";
constexpr const char* kMissing = "Can not find the PCI Audio Applications setup program.";

struct AppsMachine : TestMachine {
    explicit AppsMachine(WindowsVersion version, const std::string& machineIni = "")
        : TestMachine(version, "[Machine]\nCommandLine = /AP\n" + machineIni) {
        Files().PutFile(kUninst, "MZ");
        Files().PutDirectory("C:\\Temp");
        settings.currentDirectory = "C:\\Temp";
    }
    // A value of HKLM\...\Uninstall\<key>.
    void Uninstaller(const std::string& key, const std::string& value, const std::string& command) {
        std::string escaped;
        for (char c : command) escaped += c == '\\' ? "\\\\" : std::string(1, c);
        ImportRegistry("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key + "]\n\"" + value +
                       "\"=\"" + escaped + "\"\n");
    }
};

TEST(ApplicationsLaunch, InstallerChosenForTheSystem) {
    const std::string both = "W2K-ME\\app\\Setup.exe W95-98\\app\\Setup.exe", sed = "[InstallOption]\nWindows98SEDriver=1\n";
    struct Row {
        WindowsVersion version;
        std::string setupIni, medium;  // installers present, blank between them
        const char* started;           // "" when the message is shown
    } rows[] = {
        {WindowsVersion::Win95, "", both, "E:\\W95-98\\app\\Setup.exe"},
        {WindowsVersion::Win98SE, sed, both, "E:\\W2K-ME\\app\\Setup.exe"},
        {WindowsVersion::Win98SE, "", "W2K-ME\\app\\Setup.exe", "E:\\W2K-ME\\app\\Setup.exe"},  // fallback
        {WindowsVersion::Win98SE, sed, "W2K-ME\\x.txt", ""},
        {WindowsVersion::WinME, "", both, "E:\\W2K-ME\\app\\Setup.exe"},
        {WindowsVersion::WinME, "[InstallOption]\nWindowsMEDriver=0\n", "WIN_ME\\app\\Setup.exe", "E:\\WIN_ME\\app\\Setup.exe"},
        {WindowsVersion::NT4, "", "W2K-ME\\app\\Setup.exe", ""},  // no fallback
        {WindowsVersion::WinXP, "", "W95-98\\app\\Setup.exe W2K-ME\\x.txt", ""},
    };
    for (const Row& row : rows) {
        AppsMachine machine(row.version);
        machine.PutSetupIni(row.setupIni);
        std::istringstream files(row.medium);
        for (std::string file; files >> file;) machine.PutMedium(file);
        EXPECT_EQ(machine.Run().ending, setupsim::Ending::ExitProcess);
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.setupIni + row.medium;
        EXPECT_EQ(machine.Started(), *row.started ? std::vector<std::string>{row.started} : std::vector<std::string>{}) << where;
        EXPECT_EQ(machine.Messages(), *row.started ? std::vector<std::string>{} : std::vector<std::string>{kMissing}) << where;
        // The installer inherits the folder the layout probe left: W2K-ME when the medium has it.
        const std::string folder = row.medium.find("W2K-ME") != std::string::npos ? "E:\\W2K-ME" : "C:\\Temp";
        if (*row.started) {
            EXPECT_EQ(machine.Processes().at(0).currentDirectory, folder) << where;
        }
    }
}

TEST(ApplicationsLaunch, EarlierApplicationsUninstalledAndWaitedFor) {
    const std::string long260 = "C:\\" + std::string(240, 'u') + "\\xxxx.exe";  // fills the 260-byte buffer with " -a"
    const std::string long356 = "C:\\" + std::string(240, 'u') + "\\" + std::string(100, 'x') + ".exe";
    struct Row {
        std::vector<std::pair<const char*, const char*>> values;  // key, value name
        std::string command;                                      // "" when nothing runs
        std::string program = kUninst;
    } rows[] = {
        {{{"PCI Audio Applications", "InstallShieldUninstallString"}}, std::string(kUninst) + " -a"},
        {{{"PCI Audio WinNT Applications", "UninstallString"}}, std::string(kUninst) + " -a"},
        {{{"PCI Audio Applications", "UninstallString"}, {"PCI Audio WinNT Applications", "UninstallString"}},
         std::string(kUninst) + " -a"},  // the first key wins
        {{{"PCI Audio Applications", "DisplayName"}}, ""},
        {{{"PCI Audio Applications", "UninstallString"}}, long260 + " -a", long260},
        {{{"PCI Audio Applications", "UninstallString"}}, "", long356},  // longer than the buffer: cannot be read
    };
    for (const Row& row : rows) {
        AppsMachine machine(WindowsVersion::Win98SE, "[Programs]\n" + row.program + " = runs 4000\n");
        machine.PutMedium("W95-98\\app\\Setup.exe");
        machine.Files().PutDirectory("E:\\W2K-ME");
        machine.Files().PutFile(row.program, "MZ");
        std::string suffix;
        for (const auto& [key, value] : row.values) {
            machine.Uninstaller(key, value, row.program + suffix);
            suffix = " (second)";
        }
        machine.Run();
        std::vector<std::string> expected = {"E:\\W95-98\\app\\Setup.exe"};
        if (!row.command.empty()) expected.insert(expected.begin(), row.command);
        EXPECT_EQ(machine.Started(), expected) << row.program.size();
        // The installer starts only once the uninstaller has ended.
        EXPECT_EQ(machine.Processes().back().startedAt, row.command.empty() ? 500u : 4500u) << row.program.size();
    }
    // A windowless uninstaller is waited on, not polled.
    AppsMachine machine(WindowsVersion::WinME, "[Programs]\nUninst.exe = runs 60000\n");
    machine.PutMedium("W2K-ME\\app\\Setup.exe");
    machine.Uninstaller("PCI Audio Applications", "UninstallString", kUninst);
    machine.Run();
    EXPECT_EQ(machine.Processes().back().startedAt, 60500u);
    EXPECT_EQ(machine.GetJournal().Count("wait cursor"), 2u);
    EXPECT_EQ(machine.GetJournal().OfKind("wait cursor").at(1).time, 60500u);
}

TEST(ApplicationsLaunch, CompanionApplicationsClosedWithTheirPauses) {
    const std::tuple<const char*, std::vector<std::string>, std::uint64_t> rows[] = {
        {"SoundDeck = Frame\nCD Player = Frame\n", {"\"SoundDeck\""}, 1000},
        {"CD Player = Frame\nMP3 Player = Frame\nMixer = Frame\n", {"\"CD Player\"", "\"MP3 Player\""}, 500},
        {"", {}, 500},
    };
    for (const auto& [windows, closed, startedAt] : rows) {
        AppsMachine machine(WindowsVersion::Win98SE, std::string("[Windows]\n") + windows);
        machine.PutMedium("W95-98\\app\\Setup.exe");
        machine.Files().PutDirectory("E:\\W2K-ME");
        machine.Run();
        EXPECT_EQ(machine.Journal("send message", "window"), closed) << windows;
        EXPECT_EQ(machine.Processes().back().startedAt, startedAt) << windows;
    }
}

}  // namespace
