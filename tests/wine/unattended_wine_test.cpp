// The dialog-free flows of setup.exe under Wine: the driver installation of
// /DRIVER from a medium in C:\MEDIUM\ and from a flat package, and the
// applications launch of /AP.
//
// Wine's "win98" is 98 SE. ExitWindowsEx starts Wine's restart work, which
// carries out WININIT.INI and renames it wininit.bak: after a run that asked
// for the restart, the lines are read from wininit.bak and their effects
// are on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

#include "setup_exe_test.h"

namespace winetest {
namespace {

constexpr const char* kMedium = "C:\\MEDIUM\\";
constexpr const char* kSetup = "C:\\MEDIUM\\setup.exe";
constexpr const char* kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
constexpr const char* kCompleted = "Setup completed! The system will restart now!";
constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME";
constexpr const char* kDosStaging = "C:\\Program Files\\Orvanta\\DOS";
constexpr const char* kInf = "C:\\windows\\inf\\";
constexpr const char* kOtherInf = "C:\\windows\\inf\\other\\";
constexpr const char* kWininit = "C:\\windows\\WININIT.INI";
constexpr const char* kWininitDone = "C:\\windows\\wininit.bak";
constexpr const char* kEarlierVxd = "C:\\windows\\system\\OVAUDIO.VXD";
constexpr const char* kVxdDisk = "\"Orvanta PCI Audio Driver Disk\",,0";

// The [rename] lines: the earlier VxD driver retired, the mixer program
// swapped.
constexpr const char* kRetirementLine = "C:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n";
constexpr const char* kMixerSwapLines =
    "NUL=C:\\windows\\Mixer.old\r\n"
    "C:\\windows\\Mixer.old=C:\\windows\\Mixer.exe\r\n"
    "C:\\windows\\Mixer.exe=C:\\windows\\Mixer.dat\r\n";

std::vector<std::string> NonBlankLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

class UnattendedUnderWine : public SetupExeTest {
protected:

    // A fresh prefix reporting `version`, with setup.exe and `setup_ini` in
    // C:\MEDIUM\ and the Windows folder's INF\OTHER\ there.
    WinePrefix& MakeMachine(const std::string& version, const std::string& setup_ini) {
        NewPrefix(version);
        prefix_->CopyIn(SetupExe(), kSetup);
        Put("setup.ini", setup_ini);
        std::filesystem::create_directories(prefix_->HostPath(kOtherInf));
        return *prefix_;
    }

    void Put(const std::string& relative, const std::string& contents) {
        prefix_->PutFile(kMedium + relative, contents);
    }

    // An earlier VxD driver and mixer program in the Windows folders.
    void PutEarlierInstallation() {
        prefix_->PutFile(kEarlierVxd, "earlier driver");
        prefix_->PutFile("C:\\windows\\Mixer.exe", "present mixer");
        prefix_->PutFile("C:\\windows\\Mixer.old", "older mixer");
    }

    // Runs setup.exe from the medium to its end, every message answered OK.
    std::vector<DialogRecord> RunSetup(const std::vector<std::string>& arguments,
                                       const std::map<std::string, std::string>& environment = {},
                                       Milliseconds timeout = Milliseconds(60000)) {
        Answerer answerer(*prefix_, {{"*", "OK"}}, false, timeout + Milliseconds(60000));
        WineRunOptions options;
        options.current_dir = kMedium;
        options.environment = environment;
        options.timeout = timeout;
        run_ = prefix_->Run(kSetup, arguments, options);
        std::vector<DialogRecord> dialogs = answerer.Stop();
        all_ended_ = prefix_->Shutdown();
        return dialogs;
    }

    void ExpectCleanEnd() const {
        EXPECT_FALSE(run_.timed_out) << "setup.exe did not end";
        EXPECT_EQ(run_.exit_code, 0);
        EXPECT_TRUE(all_ended_) << "programs were still running in the prefix";
    }

    // The announcement and the restart message, both without owner.
    static void ExpectInstallMessages(const std::vector<DialogRecord>& dialogs) {
        ASSERT_EQ(dialogs.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(dialogs[i].caption, "Setup");
            EXPECT_EQ(dialogs[i].text, i == 0 ? kAnnouncement : kCompleted);
            EXPECT_EQ(dialogs[i].owner, "(none)");
            EXPECT_EQ(dialogs[i].buttons, std::vector<std::string>{"OK"});
        }
    }

    // The restart carried out the retirement and the mixer swap.
    void ExpectVxdRestartDone() const {
        EXPECT_FALSE(prefix_->Exists(kWininit)) << "no restart carried out WININIT.INI";
        EXPECT_EQ(prefix_->ReadFile(kWininitDone).value_or("(none)"),
                  std::string("[rename]\r\n") + kRetirementLine + kMixerSwapLines);
        EXPECT_EQ(prefix_->ReadFile("C:\\windows\\system\\OVAUDIO.OLD"), "earlier driver");
        EXPECT_FALSE(prefix_->Exists(kEarlierVxd));
        EXPECT_EQ(prefix_->ReadFile("C:\\windows\\Mixer.exe"), "new mixer");
        EXPECT_EQ(prefix_->ReadFile("C:\\windows\\Mixer.old"), "present mixer");
        EXPECT_FALSE(prefix_->Exists("C:\\windows\\Mixer.dat"));
    }

    // Both copies of the VxD INF point at the short form of the staging
    // folder, and are otherwise the shipped file. Runs Wine.
    void ExpectVxdInfCopies() {
        const std::string shipped = TestData("inf/vxd/OVAUDIO.INF");
        const std::string copies[] = {prefix_->ReadFile(std::string(kInf) + "OVAUDIO.INF").value_or("(none)"),
                                      prefix_->ReadFile(std::string(kOtherInf) + "OVAUDIO.INF").value_or("(none)")};
        const std::string short_staging = prefix_->ShortPathName(kVxdStaging);
        std::vector<std::string> expected = NonBlankLines(shipped);
        std::replace(expected.begin(), expected.end(), std::string("1=") + kVxdDisk,
                     std::string("1=") + kVxdDisk + ", " + short_staging);
        for (const std::string& copy : copies) {
            EXPECT_EQ(IniValue(copy, "SourceDisksNames", "1"), std::string(kVxdDisk) + ", " + short_staging);
            EXPECT_EQ(NonBlankLines(copy), expected);
        }
    }

    RunResult run_;
    bool all_ended_ = false;
};

TEST_F(UnattendedUnderWine, DriverModeOnWindows95StagesTheVxdDriverAndRestarts) {
    MakeMachine("win95", "[InstallOption]\r\n");
    // The grouped layout, with a driver folder for each system.
    Put("W2K-ME\\drv\\ovwdm.sys", "WDM driver");
    Put("W95-98\\drv\\95\\OVAUDIO.INF", TestData("inf/vxd/OVAUDIO.INF"));
    Put("W95-98\\drv\\95\\ovaudio.vxd", "VxD for 95");
    Put("W95-98\\drv\\95\\Mixer.dat", "new mixer");
    Put("W95-98\\drv\\98\\ovaudio.vxd", "VxD for 98");
    Put("Dosdrv\\OVSB.COM", "DOS driver");
    Put("Dosdrv\\DOSAPP\\OVMIX.EXE", "DOS mixer");
    PutEarlierInstallation();

    const std::vector<DialogRecord> dialogs = RunSetup({"/DRIVER"});

    ExpectCleanEnd();
    ExpectInstallMessages(dialogs);
    EXPECT_EQ(prefix_->Listing(kVxdStaging), (std::vector<std::string>{"Mixer.dat", "OVAUDIO.INF", "ovaudio.vxd"}));
    EXPECT_EQ(prefix_->ReadFile(std::string(kVxdStaging) + "\\ovaudio.vxd"), "VxD for 95");
    EXPECT_EQ(prefix_->ReadFile(std::string(kVxdStaging) + "\\OVAUDIO.INF"), TestData("inf/vxd/OVAUDIO.INF"));
    EXPECT_FALSE(prefix_->Exists(kWdmStaging));
    EXPECT_EQ(prefix_->Listing(kDosStaging), (std::vector<std::string>{"DOSAPP\\", "OVSB.COM"}));
    EXPECT_EQ(prefix_->Listing(std::string(kDosStaging) + "\\DOSAPP"), std::vector<std::string>{"OVMIX.EXE"});
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\inf\\catalog\\ovaudio.cat"));
    ExpectVxdRestartDone();
    ExpectVxdInfCopies();
}

TEST_F(UnattendedUnderWine, FlatPackageOnMeWithTheVxdDriverStagesThePackage) {
    const std::string setup_ini = "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=0\r\n";
    MakeMachine("winme", setup_ini);
    Put("OVAUDIO.INF", TestData("inf/vxd/OVAUDIO.INF"));
    Put("ovaudio.vxd", "VxD driver");
    Put("ovaudio.cat", "catalog");
    Put("Mixer.dat", "new mixer");
    Put("026\\wave.026", "026 data");
    PutEarlierInstallation();

    const std::vector<DialogRecord> dialogs = RunSetup({});

    ExpectCleanEnd();
    ExpectInstallMessages(dialogs);
    // Every file of the package, the program itself included; "026\" is
    // for the Windows 95 and 98 family only.
    EXPECT_EQ(prefix_->Listing(kVxdStaging),
              (std::vector<std::string>{"026\\", "Mixer.dat", "OVAUDIO.INF", "ovaudio.cat", "ovaudio.vxd",
                                        "setup.exe", "setup.ini"}));
    EXPECT_EQ(prefix_->ReadFile(std::string(kVxdStaging) + "\\setup.exe"), prefix_->ReadFile(kSetup));
    EXPECT_EQ(prefix_->ReadFile(std::string(kVxdStaging) + "\\setup.ini"), setup_ini);
    EXPECT_TRUE(prefix_->Listing(std::string(kVxdStaging) + "\\026").empty());
    EXPECT_FALSE(prefix_->Exists(kWdmStaging));
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    ExpectVxdRestartDone();
    ExpectVxdInfCopies();
}

// The uninstaller is a batch file, so that the log shows its end: a copy of
// recorder.exe lingers inside it.
TEST_F(UnattendedUnderWine, ApplicationsModeRunsTheUninstallerToItsEndThenTheInstaller) {
    MakeMachine("win98", "");
    prefix_->CopyIn(RecorderExe(), std::string(kMedium) + "W95-98\\app\\Setup.exe");
    prefix_->CopyIn(RecorderExe(), std::string(kMedium) + "W2K-ME\\app\\Setup.exe");
    prefix_->CopyIn(RecorderExe(), "C:\\Uninst\\Linger.exe");
    prefix_->PutFile("C:\\Uninst\\Uninst.bat",
                     "@echo uninstaller started with %*>>C:\\order.log\r\n"
                     "@C:\\Uninst\\Linger.exe\r\n"
                     "@echo uninstaller ended>>C:\\order.log\r\n");
    prefix_->SetRegistryString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PCI Audio Applications",
                               "UninstallString", "C:\\Uninst\\Uninst.bat");

    const std::vector<DialogRecord> dialogs =
        RunSetup({"/AP"}, {{"RECORDER_LOG", "C:\\order.log"}, {"RECORDER_SLEEP_MS", "3000"}});

    ExpectCleanEnd();
    EXPECT_TRUE(dialogs.empty());
    const std::vector<RecordedStart> order = RecorderStarts(prefix_->ReadFile("C:\\order.log").value_or(""));
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0].command_line, "uninstaller started with -a");
    EXPECT_EQ(order[1].command_line, "C:\\Uninst\\Linger.exe");
    EXPECT_EQ(order[1].current_dir, "C:\\MEDIUM") << "the folder setup.exe was started in";
    EXPECT_EQ(order[2].command_line, "uninstaller ended");
    // 98 SE without "Windows98SEDriver" takes the VxD set; the installer
    // starts in the folder the layout probe left current.
    EXPECT_EQ(order[3].command_line, "C:\\MEDIUM\\W95-98\\app\\Setup.exe");
    EXPECT_EQ(order[3].current_dir, "C:\\MEDIUM\\W2K-ME");
}

// Under Wine no new mixer device ever comes: the program waits out 60 x 3 s
// for it, and the installer-window waits, before the restart.
TEST_F(UnattendedUnderWine, SlowDriverModeOnMeInstallsTheWdmDriverAndRestarts) {
    MakeMachine("winme", "");
    const std::string shipped = TestData("inf/wdm/OVAUDIO.INF");
    Put("W2K-ME\\drv\\OVAUDIO.INF", shipped);
    Put("W2K-ME\\drv\\ovwdm.sys", "WDM driver");
    Put("W2K-ME\\drv\\ovaudio.cat", "catalog");
    Put("W2K-ME\\drv\\Mixer.dat", "new mixer");
    Put("W95-98\\drv\\98\\ovaudio.vxd", "VxD driver");
    Put("Dosdrv\\OVSB.COM", "DOS driver");
    PutEarlierInstallation();
    prefix_->PutFile("C:\\windows\\inf\\Drvdata.bin", "driver database");
    prefix_->PutFile("C:\\windows\\inf\\Drvidx.bin", "driver index");

    const std::vector<DialogRecord> dialogs = RunSetup({"/DRIVER"}, {}, Milliseconds(480000));

    // Reaching the restart message shows the program came through the
    // Setup API calls Wine lacks.
    ExpectCleanEnd();
    ExpectInstallMessages(dialogs);
    EXPECT_EQ(prefix_->Listing(kWdmStaging),
              (std::vector<std::string>{"Mixer.dat", "OVAUDIO.INF", "ovaudio.cat", "ovwdm.sys"}));
    EXPECT_FALSE(prefix_->Exists(kVxdStaging));
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\inf\\Drvdata.bin"));
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\inf\\Drvidx.bin"));
    // On ME the program places no INF copies itself; Wine's SetupCopyOEMInfA
    // keeps the name of the INF it is given when it is free, and notes the
    // source in a PNF file.
    EXPECT_FALSE(prefix_->Exists(std::string(kOtherInf) + "OVAUDIO.INF"));
    EXPECT_EQ(prefix_->ReadFile(std::string(kInf) + "OVAUDIO.INF"), shipped);
    const std::string pnf = prefix_->ReadFile(std::string(kInf) + "OVAUDIO.pnf").value_or("");
    EXPECT_NE(pnf.find(std::string(kWdmStaging) + "\\OVAUDIO.INF"), std::string::npos) << pnf;
    // The earlier VxD driver stays; the restart swapped the mixer program.
    EXPECT_EQ(prefix_->ReadFile(kWininitDone).value_or("(none)"), std::string("[rename]\r\n") + kMixerSwapLines);
    EXPECT_EQ(prefix_->ReadFile(kEarlierVxd), "earlier driver");
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\Mixer.exe"), "new mixer");
}

}  // namespace
}  // namespace winetest
