// The start-up: the command line, the system, the package folder, the three
// adjustments every run makes, and the one outcome each run takes.
#include <gtest/gtest.h>

#include "environment/os_kind.h"
#include "environment/source_folder.h"
#include "startup/command_line.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kAudio = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultAudio = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kCdPlayerIni = "C:\\WINDOWS\\OVCDPLAY.INI";

std::string Flags(const setup::OsKind& k) {
    return std::string(k.Win95 ? "95 " : "") + (k.Win98 ? "98 " : "") + (k.Win98SE ? "98SE " : "") + (k.WinME ? "ME " : "") +
           (k.NT4 ? "NT4 " : "") + (k.Win2000 ? "2000 " : "");
}

TEST(Startup, WindowsClassifiedByPlatformVersionAndBuild) {
    using vm::VersionInfo;
    const std::pair<platform::OsVersionInfo, const char*> systems[] = {
        {VersionInfo(WindowsVersion::Win95), "95 "},          {VersionInfo(WindowsVersion::Win98), "98 "},
        {VersionInfo(WindowsVersion::Win98SE), "98 98SE "},   {VersionInfo(WindowsVersion::WinME), "ME "},
        {VersionInfo(WindowsVersion::NT4), "NT4 "},           {VersionInfo(WindowsVersion::Win2000), "2000 "},
        {VersionInfo(WindowsVersion::WinXP), "2000 "},
        {{0, 3, 10, 0, ""}, ""},                  // Win32s
        {{1, 4, 10, 0x04100000, ""}, "ME "},      // 0x0410 >> 4 is 0x41, above 0x40
        {{1, 4, 10, 0x040F08AE, ""}, "98 98SE "}, // high byte of the low word 8: Second Edition
        {{1, 4, 0, 0x045A0BB8, ""}, "95 "},       // minor version 0 wins over the build
        {{2, 3, 51, 1057, ""}, "NT4 "},
        {{3, 5, 0, 0, ""}, ""},
    };
    for (const auto& [version, flags] : systems) {
        EXPECT_EQ(Flags(setup::ClassifyWindows(version)), flags) << version.platformId << " " << version.buildNumber;
    }
}

TEST(Startup, PackageFolderFromTheProgramPath) {
    const std::tuple<std::string, const char*, std::string> rows[] = {  // program path, current directory, folder
        {"E:\\Drivers\\Audio\\setup.exe", "C:\\", "E:\\Drivers\\Audio\\"},
        {"\\PKG\\SETUP.EXE", "D:\\WORK", "D:\\PKG\\"},
        {"A\\B\\SETUP.EXE", "D:\\WORK", "D:\\A\\B\\"},  // a backslash goes after the drive
        {"A\\SETUP.EXE", "D:\\WORK", "D:A\\"},          // drive-relative
        {"\\setup.exe", "D:\\WORK", "D:\\"},            // the current drive's root
        {"\\\\server\\share\\cd\\setup.exe", "C:\\", "\\\\server\\share\\cd\\"},
        {"E:setup.exe", "C:\\", "C:\\"},                // no backslash: named without a folder
        {"", "C:\\Temp", "C:\\Temp\\"},
        {"\\Audio\\setup.exe", "", "\\Audio\\"},        // no current directory to take a drive from
        {"E:\\" + std::string(5000, 'x') + "\\setup.exe", "C:\\", "E:\\" + std::string(5000, 'x') + "\\"},
    };
    for (const auto& [path, current, folder] : rows) {
        EXPECT_EQ(setup::SourceFolderFromPath(path, current), folder) << path.substr(0, 40);
    }
    EXPECT_NO_THROW(setup::SourceFolderFromPath(std::string(3000, '\\'), "C:\\"));
}

TEST(Startup, CommandLineUpperCasedInPlaceThenComparedWhole) {
    using Mode = setup::CommandLineMode;
    const std::tuple<const char*, Mode, const char*> rows[] = {
        {"/ap", Mode::AppsMode, "/AP"},         {"ap", Mode::AppsMode, "AP"},
        {"/driver", Mode::DriverMode, "/DRIVER"},
        {"DRIVER", Mode::DriverMode, "DRIVER"}, {"-driver", Mode::DriverMode, "-DRIVER"},
        {"/AP ", Mode::NoMode, "/AP "},         {"/AP /DRIVER", Mode::NoMode, "/AP /DRIVER"},
        {"/Driver=1", Mode::NoMode, "/DRIVER=1"},
        {"\xE9/ap", Mode::NoMode, "\xE9/AP"},  // bytes above 0x7F stay
    };
    for (const auto& [text, mode, afterwards] : rows) {
        std::string line = text;
        EXPECT_EQ(setup::ClassifyCommandLine(line), mode) << text;
        EXPECT_EQ(line, afterwards);
    }
}

TEST(Startup, EachOutcome) {
    const std::string handover = "hand-over to the Windows 2000/XP setup program";
    const std::string medium = "unattended driver installation from the medium";
    const std::string flat = "unattended driver installation from a flat package";
    const std::string nt4 = "silent end on Windows NT 4.0";
    struct Row {
        WindowsVersion version;
        const char* commandLine;
        const char* installOption;  // lines of setup.ini's [InstallOption]
        std::string outcome;
        bool look3d;                // the three-dimensional look turned on
        const char* started = "E:\\W2KSetup.exe";  // for the hand-over; "dat" puts W2KSetup.dat on the medium too
        const char* files = "exe";
    } rows[] = {
        {WindowsVersion::Win98SE, "", "", "main setup dialog", true},
        {WindowsVersion::Win98SE, "/ap", "", "applications launch", false},
        {WindowsVersion::Win98SE, "/AP ", "", "main setup dialog", true},
        {WindowsVersion::WinME, "-driver", "", medium, false},
        {WindowsVersion::Win95, "", "DriverOnly=1", medium, false},
        {WindowsVersion::NT4, "/DRIVER", "", nt4, false},
        {WindowsVersion::NT4, "", "DriverOnly=7", nt4, false},
        {WindowsVersion::NT4, "", "", "main setup dialog", true},
        {WindowsVersion::Win2000, "/AP", "", "applications launch", false},
        {WindowsVersion::WinXP, "", "", handover, false, "E:\\W2KSetup.dat", "dat exe"},
        {WindowsVersion::WinXP, "", "WebSetup=1", handover, false},
        {WindowsVersion::Win2000, "/DRIVER", "WebSetup=2", handover, false, "E:\\W2KSetup.exe /DRIVER"},
        {WindowsVersion::WinXP, "", "DriverOnly=1", handover, false, "E:\\W2KSetup.exe /DRIVER"},
        {WindowsVersion::WinXP, "/driver", "", handover, false, "E:\\W2KSetup.dat /DRIVER", "dat"},
        {WindowsVersion::WinXP, "/AP", "WebSetup=1", handover, false, "E:\\W2KSetup.dat", "dat"},
        {WindowsVersion::WinXP, "", "", handover, false, "", ""},
        {WindowsVersion::Win98SE, "/AP", "WebSetup=1", "VxD driver option dialog", true},
        {WindowsVersion::WinME, "", "WebSetup=1\nInstallWDMDriver=1", "WDM driver option dialog", true},
        {WindowsVersion::WinME, "/DRIVER", "WebSetup=2", flat, true},
        {WindowsVersion::Win98, "", "WebSetup=-1", flat, true},
        {WindowsVersion::NT4, "", "WebSetup=2", nt4, true},
        {WindowsVersion::Win98SE, "", "WebSetup=1x", "VxD driver option dialog", true},  // leading digits count
        {WindowsVersion::Win98SE, "/LOG=C:\\s.log", "", "main setup dialog", true},  // the log's switch is not read
        {WindowsVersion::WinME, "/log=\"C:\\My logs\\s.log\" -driver", "", medium, false},
        {WindowsVersion::WinXP, "/DRIVER /LOG=C:\\s.log", "", handover, false, "E:\\W2KSetup.exe /DRIVER"},
    };
    for (const Row& row : rows) {
        TestMachine machine(row.version);
        machine.settings.commandLine = row.commandLine;
        machine.PutSetupIni(std::string("[InstallOption]\n") + row.installOption + "\n");
        if (std::string(row.files).find("dat") != std::string::npos) machine.PutMedium("W2KSetup.dat");
        if (std::string(row.files).find("exe") != std::string::npos) machine.PutMedium("W2KSetup.exe");
        const setupsim::RunResult result = machine.Run();
        const std::string where = std::string(vm::ToString(row.version)) + " \"" + row.commandLine + "\" " + row.installOption;
        std::string outcome = "(none)";
        for (const std::string& trace : machine.Traces()) {
            if (trace.rfind("outcome: ", 0) == 0) outcome = trace.substr(9);
        }
        EXPECT_EQ(outcome, row.outcome) << where;
        EXPECT_EQ(machine.GetJournal().Count("3d controls"), row.look3d ? 1u : 0u) << where;
        if (outcome == nt4) {
            EXPECT_TRUE(machine.Messages().empty() && result.ending == setupsim::Ending::ExitProcess && result.exitCode == 0) << where;
        }
        if (outcome != handover) continue;
        EXPECT_EQ(result.ending, setupsim::Ending::Returned) << where;
        EXPECT_EQ(machine.Started(), *row.started ? std::vector<std::string>{row.started} : std::vector<std::string>{}) << where;
        // Without either program: a message of its own, with no owner.
        const std::vector<std::string> none, box = {"Can not find the setup program for Windows 2000/XP.|Setup|(none)"};
        std::vector<std::string> boxes;
        for (const auto& entry : machine.GetJournal().OfKind("message box")) {
            boxes.push_back(entry.Get("text") + "|" + entry.Get("caption") + "|" + entry.Get("owner"));
        }
        EXPECT_EQ(boxes, *row.started ? none : box) << where;
    }
}

TEST(Startup, AdjustmentsOfEveryRun) {
    struct Row {
        const char* setupIni;
        const char* usingCdda;
        std::string systemFormats;
        const char* defaultFormat;
        WindowsVersion version = WindowsVersion::Win98SE;
        const char* commandLine = "";
    } rows[] = {
        {"", "0", "CD Quality,Radio Quality,Telephone Quality", "CD Quality"},
        {"[Default]\nUsingCDDA=1\n", "1", "Radio Quality,Telephone Quality,CD Quality", "CD Quality"},
        {"[Default]\nUsingCDDA=-3\n", "1", "Radio Quality,My CD,CD Quality", "My CD"},
        {"[Default]\nUsingCDDA=0\n", "0", "Radio Quality,Telephone Quality", "untouched"},
        {"[default]\r\nusingcdda = \"5\"\r\n", "1", "cd quality,Radio", "untouched"},  // case counts
        {"", "0", "", "untouched", WindowsVersion::NT4, "/DRIVER"},  // made before the silent end
        {"", "0", "Radio," + std::string(1100, 'x') + ",CD Quality", "untouched"},  // over the 1024-byte buffer
    };
    for (const Row& row : rows) {
        TestMachine machine(row.version);
        machine.settings.commandLine = row.commandLine;
        if (*row.setupIni) machine.PutSetupIni(row.setupIni);
        machine.Files().PutFile(kCdPlayerIni, "[CD PLAYER]\r\nVolume=7\r\nUsingCDDA=1\r\n[Discs]\r\nA=B\r\n");
        machine.ImportRegistry(std::string("[HKEY_CURRENT_USER\\") + kAudio + "]\n\"DefaultFormat\"=\"untouched\"\n"
                               "\"SystemFormats\"=\"" + row.systemFormats + "\"\n[HKEY_USERS\\" + kDefaultAudio + "]\n"
                               "\"DefaultFormat\"=\"untouched\"\n[HKEY_LOCAL_MACHINE\\" + kRun + "]\n"
                               "\"SystemTray\"=\"SysTray.Exe\"\n\"PCI Audio Applications\"=\"x.exe\"\n");
        machine.Run();
        const std::string where = row.systemFormats.substr(0, 50);
        EXPECT_EQ(machine.Files().ReadFile(kCdPlayerIni),
                  std::string("[CD PLAYER]\r\nVolume=7\r\nUsingCDDA=") + row.usingCdda + "\r\n[Discs]\r\nA=B\r\n") << row.setupIni;
        EXPECT_EQ(machine.RegistryText(platform::HKEY_CURRENT_USER, kAudio, "DefaultFormat"), row.defaultFormat) << where;
        EXPECT_EQ(machine.RegistryText(platform::HKEY_USERS, kDefaultAudio, "DefaultFormat"), row.defaultFormat) << where;
        EXPECT_EQ(machine.RegistryText(platform::HKEY_LOCAL_MACHINE, kRun, "PCI Audio Applications"), "(no value)");
        EXPECT_EQ(machine.RegistryText(platform::HKEY_LOCAL_MACHINE, kRun, "SystemTray"), "SysTray.Exe");
    }
    // Written without its terminating zero, which Windows stores all the same;
    // no default user's key is created.
    TestMachine bare;
    bare.ImportRegistry(std::string("[HKEY_CURRENT_USER\\") + kAudio + "]\n\"SystemFormats\"=\"CD Quality\"\n");
    bare.Run();
    EXPECT_EQ(vm::Registry::FindValue(*bare.Reg().Find(platform::HKEY_CURRENT_USER, kAudio), "DefaultFormat")->data, std::string("CD Quality\0", 11));
    EXPECT_EQ(bare.Reg().Find(platform::HKEY_USERS, kDefaultAudio), nullptr);
    EXPECT_EQ(bare.ProfileValue(kCdPlayerIni, "CD PLAYER", "UsingCDDA"), "0");
}

TEST(Startup, FailedAdjustmentsSkipOnlyTheirOwnStep) {
    TestMachine machine(WindowsVersion::WinXP, "[Faults]\nRegOpenKeyEx = always\nWritePrivateProfileString = always\n");
    machine.PutMedium("W2KSetup.exe");
    machine.Run();
    EXPECT_EQ(machine.Started(), std::vector<std::string>{"E:\\W2KSetup.exe"});
    EXPECT_FALSE(machine.Files().Exists(kCdPlayerIni));
}

}  // namespace
