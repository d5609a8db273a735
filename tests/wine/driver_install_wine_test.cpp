// The driver installations behind the option dialogs, end to end under Wine:
// setup.exe on a medium in C:\PKG\ with "WebSetup" 1, the user played by
// answerer.exe.
//
// Under Wine, ExitWindowsEx starts "wineboot --end-session" and returns; the
// program then ends itself. That wineboot does a restart's work, WININIT.INI
// included: it carries out the [rename] lines and renames the file to
// wininit.bak. A WININIT.INI written while the program runs is therefore
// gone afterwards only if the restart was asked for. Wine keeps WIN.INI's
// [Windows] section in the registry.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>
#include <utility>

#include "harness.h"

namespace winetest {
namespace {

constexpr const char* kMedium = "C:\\PKG";
constexpr const char* kSetup = "C:\\PKG\\setup.exe";
constexpr const char* kVxdDialog = "PCI Audio Device Driver Setup Program for Windows 95/98/ME";
constexpr const char* kWdmDialog = "PCI Audio Device Driver Setup Program for Windows 98 SE/ME";
constexpr const char* kCompleted = "Setup completed! The system will restart now!";
constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";
constexpr const char* kOtherInfFolder = "C:\\windows\\inf\\other";
constexpr const char* kEarlierVxd = "C:\\windows\\system\\OVAUDIO.VXD";
constexpr const char* kWininit = "C:\\windows\\WININIT.INI";
constexpr const char* kWininitDone = "C:\\windows\\wininit.bak";
constexpr const char* kWinIniMapping = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kMixerKey = "HKLM\\Software\\Orvanta\\Mixer";
constexpr const char* kSystray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
constexpr const char* kSetupSource = "C:\\windows\\options\\cabs";

using Edits = std::vector<std::pair<std::string, std::string>>;

// The text with the first occurrence of each `from` replaced; a `from` that
// does not occur fails the test.
std::string Edited(std::string text, const Edits& edits) {
    for (const auto& [from, to] : edits) {
        const size_t at = text.find(from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "not in the text: " << from;
            continue;
        }
        text.replace(at, from.size(), to);
    }
    return text;
}

// Wine's WritePrivateProfileStringA writes the whole file anew, and leaves
// out its blank lines (Windows keeps them).
std::string AsWineRewritesIt(const std::string& text) {
    std::string result;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        if (end - start != 2) result += text.substr(start, end - start);
        start = end;
    }
    return result;
}

std::string DwordText(const WinePrefix& prefix, const std::string& key, const std::string& name) {
    const std::optional<RegistryValue> value = prefix.RegistryValueOf(key, name);
    if (!value) return "(missing)";
    if (value->type != kRegDword || value->data.size() != 4) return value->Text();
    uint32_t number = 0;
    for (size_t i = 4; i-- > 0;) number = number << 8 | value->data[i];
    return "dword:" + std::to_string(number);
}

// Polls `done` until it holds, for at most two minutes.
bool WaitUntil(const std::function<bool()>& done) {
    for (int look = 0; look < 600; ++look) {
        if (done()) return true;
        std::this_thread::sleep_for(Milliseconds(200));
    }
    return false;
}

class DriverInstallUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = MissingPrerequisites({SetupExe(), AnswererExe()});
        ASSERT_TRUE(missing.empty()) << missing;
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->OutputLog()
                      << "\n";
        }
    }

    // A fresh prefix reporting `version`, with setup.exe and `setup_ini` on
    // the medium and the Windows folder's INF\OTHER\ there.
    WinePrefix& MakeMachine(const std::string& version, const std::string& setup_ini) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (prefix_ && HasFailure()) prefix_->KeepForInspection();
        prefix_ = std::make_unique<WinePrefix>(
            std::string(test->test_suite_name()) + "." + test->name() + "." + version, version);
        prefix_->CopyIn(SetupExe(), kSetup);
        prefix_->PutFile(std::string(kMedium) + "\\Setup.ini", setup_ini);
        std::filesystem::create_directories(prefix_->HostPath(kOtherInfFolder));
        return *prefix_;
    }

    // A VxD package, an earlier VxD driver and its WIN.INI entry, a
    // registered mixer.
    void PutVxdPackage() {
        prefix_->PutFile(std::string(kMedium) + "\\OVAUDIO.INF", TestData("inf/vxd/OVAUDIO.INF"));
        prefix_->PutFile(std::string(kMedium) + "\\ovaudio.vxd", "new driver");
        prefix_->PutFile(std::string(kMedium) + "\\Mixer.exe", "new mixer");
        prefix_->PutFile(std::string(kMedium) + "\\026\\wave.026", "026 data");
        prefix_->PutFile(kEarlierVxd, "earlier driver");
        prefix_->SetRegistryString(kWinIniMapping, "run", "C:\\OV\\OVTRAY.EXE");
        prefix_->SetRegistryString(kMixerKey, "Path", "C:\\Program Files\\PCI Audio");
        prefix_->PutFile("C:\\Program Files\\PCI Audio\\Mixer.exe", "old mixer");
    }

    // Runs setup.exe from the medium to its end with the answers given.
    std::vector<DialogRecord> RunSetup(const std::vector<AnswerRule>& answers) {
        Answerer answerer(*prefix_, answers);
        WineRunOptions options;
        options.current_dir = kMedium;
        run_ = prefix_->Run(kSetup, {}, options);
        std::vector<DialogRecord> dialogs = answerer.Stop();
        all_ended_ = prefix_->Shutdown();
        return dialogs;
    }

    void ExpectCleanEnd() const {
        EXPECT_FALSE(run_.timed_out) << "setup.exe did not end";
        EXPECT_EQ(run_.exit_code, 0);
        EXPECT_TRUE(all_ended_) << "programs were still running in the prefix";
    }

    std::unique_ptr<WinePrefix> prefix_;
    RunResult run_;
    bool all_ended_ = false;
};

void ExpectMessage(const DialogRecord& box, const std::string& caption, const std::string& text,
                   const std::string& owner) {
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.owner, owner);
    EXPECT_EQ(box.action, "OK");
}

TEST_F(DriverInstallUnderWine, VxdStagesEditsRetiresAndRestarts) {
    struct Row {
        const char* version;
        std::string clicks;  // in dialog 103, Install last
        Edits switches;      // what the choices change in the INF copy
    };
    const Row rows[] = {
        {"win98", "Line-in and Center/Subwoofer share the same jack.+Disable MIDI port (device)+Install",
         {{"HKR,Config,DISMPU,1,0", "HKR,Config,DISMPU,1,1"},
          {"HKR,Config,LINEINasREAR,1,1", "HKR,Config,LINEINasREAR,1,0"},
          {"HKR,Config,LINEINasBASS,1,0", "HKR,Config,LINEINasBASS,1,1"}}},
        {"winme", "4720 in sound card (rear speakers jack individually)+Disable GAME port (device)+Install",
         {{"HKR,Config,DISJSTK,1,0", "HKR,Config,DISJSTK,1,1"},
          {"HKR,Config,LINEINasREAR,1,1", "HKR,Config,LINEINasREAR,1,0"}}},
    };
    const std::string shipped = TestData("inf/vxd/OVAUDIO.INF");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.version);
        MakeMachine(row.version, "[InstallOption]\r\nWebSetup=1\r\n");
        PutVxdPackage();
        const std::vector<DialogRecord> dialogs = RunSetup({{kVxdDialog, row.clicks}, {"Setup", "OK"}});

        // The final message, then the restart request, then the end.
        ExpectCleanEnd();
        ASSERT_EQ(dialogs.size(), 2u);
        EXPECT_EQ(dialogs[0].caption, kVxdDialog);
        EXPECT_EQ(dialogs[0].action, row.clicks) << "a control was not found";
        ExpectMessage(dialogs[1], "Setup", kCompleted, kVxdDialog);
        EXPECT_FALSE(prefix_->Exists(kWininit)) << "no restart carried out WININIT.INI";
        EXPECT_EQ(prefix_->ReadFile(kWininitDone).value_or("(none)"),
                  "[rename]\r\nC:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n");
        EXPECT_EQ(prefix_->ReadFile("C:\\windows\\system\\OVAUDIO.OLD").value_or("(none)"), "earlier driver");
        EXPECT_FALSE(prefix_->Exists(kEarlierVxd));
        EXPECT_EQ(prefix_->RegistryText(kWinIniMapping, "run"), " ");

        // Staged as shipped; the INF copy edited for the choices and pointed
        // at the staged files.
        EXPECT_EQ(prefix_->ReadFile(std::string(kVxdStaging) + "OVAUDIO.INF"), shipped);
        for (const char* name : {"ovaudio.vxd", "Mixer.exe", "setup.exe", "Setup.ini", "026\\wave.026"}) {
            EXPECT_TRUE(prefix_->Exists(kVxdStaging + std::string(name))) << name;
        }
        Edits edits = row.switches;
        edits.push_back({"1=\"Orvanta PCI Audio Driver Disk\",,0\r\n",
                         "1=\"Orvanta PCI Audio Driver Disk\",,0, C:\\Program Files\\Orvanta\\WIN_9x\r\n"});
        EXPECT_EQ(prefix_->ReadFile(std::string(kOtherInfFolder) + "\\OVAUDIO.INF").value_or("(none)"),
                  AsWineRewritesIt(Edited(shipped, edits)));

        // The registered mixer replaced; none put in the Windows folder.
        EXPECT_EQ(prefix_->ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
        EXPECT_FALSE(prefix_->Exists("C:\\windows\\Mixer.exe"));
    }
}

// Windows 2000 hands over to its own setup program before any dialog; NT 4.0
// reaches the dialog, and Install refuses there.
TEST_F(DriverInstallUnderWine, VxdRefusedOnNt4BeforeAnyChange) {
    MakeMachine("nt40", "[InstallOption]\r\nWebSetup=1\r\n");
    PutVxdPackage();
    const std::vector<DialogRecord> dialogs = RunSetup({{kVxdDialog, "Install"}, {"Information", "OK"}});

    ExpectCleanEnd();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].action, "Install");
    ExpectMessage(dialogs[1], "Information", "This driver can not be used on Windows NT or Windows 2000.",
                  kVxdDialog);
    EXPECT_FALSE(prefix_->Exists("C:\\Program Files\\Orvanta"));
    EXPECT_FALSE(prefix_->Exists(std::string(kOtherInfFolder) + "\\OVAUDIO.INF"));
    EXPECT_FALSE(prefix_->Exists(kWininit));
    EXPECT_FALSE(prefix_->Exists(kWininitDone));
    EXPECT_EQ(prefix_->ReadFile(kEarlierVxd), "earlier driver");
    EXPECT_EQ(prefix_->RegistryText(kWinIniMapping, "run"), "C:\\OV\\OVTRAY.EXE");
    EXPECT_EQ(prefix_->ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "old mixer");
}

// The texts of the oem<n>.inf files in the Windows INF folder, where
// SetupCopyOEMInfA puts the INF files it is given.
std::vector<std::string> OemInfTexts(const WinePrefix& prefix) {
    std::vector<std::string> texts;
    for (const std::string& name : prefix.Listing("C:\\windows\\inf")) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.size() > 7 && lower.compare(0, 3, "oem") == 0 && lower.compare(lower.size() - 4, 4, ".inf") == 0) {
            texts.push_back(prefix.ReadFile("C:\\windows\\inf\\" + name).value_or(""));
        }
    }
    return texts;
}

// Under Wine no new mixer device ever comes, so every wait runs to its limit:
// 60 x 3 s for the mixer, 5 s of quiet twice, 30 x 2 s for the tray icon.
TEST_F(DriverInstallUnderWine, SlowWdmOnMeWaitsOutPlugAndPlayAndRestarts) {
    WinePrefix& machine = MakeMachine("winme", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n");
    const std::string shipped = TestData("inf/wdm/OVAUDIO.INF");
    machine.PutFile(std::string(kMedium) + "\\OVAUDIO.INF", shipped);
    machine.PutFile(std::string(kMedium) + "\\ovwdm.sys", "WDM driver");
    machine.PutFile(std::string(kMedium) + "\\ovaudio.cat", "catalog");
    machine.PutFile("C:\\windows\\mixerdef.ini", "[RUNTIME]\r\nInitialize=1\r\n");
    machine.PutFile("C:\\windows\\inf\\Drvdata.bin", "driver database");
    std::filesystem::create_directories(machine.HostPath(kSetupSource));
    machine.SetRegistryString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath",
                              kSetupSource);
    machine.SetRegistryDword(std::string("HKCU\\") + kSystray, "Services", 5);
    machine.SetRegistryDword(std::string("HKU\\.Default\\") + kSystray, "Services", 7);

    const std::string clicks =
        "4720 in sound card (rear speakers jack individually)+Disable legacy device (MIDI/GAME port)+Install";
    auto answerer = std::make_unique<Answerer>(machine, std::vector<AnswerRule>{{kWdmDialog, clicks},
                                                                                {"Setup", "OK"}});
    WineRunOptions options;
    options.current_dir = kMedium;
    Process setup = machine.Start(kSetup, {}, options);

    // Up to the announcement.
    ASSERT_TRUE(WaitUntil([&] { return answerer->SeenSoFar().size() >= 2; })) << "no announcement";
    const std::vector<DialogRecord> early = answerer->Stop();
    ASSERT_EQ(early.size(), 2u);
    EXPECT_EQ(early[0].caption, kWdmDialog);
    EXPECT_EQ(early[0].action, clicks) << "a control was not found";
    ExpectMessage(early[1], "Setup", "The driver will be installed now. It need a few minutes to complete.",
                  "(none)");

    // The dialog leaves the screen a moment after the announcement (on a
    // display without a window manager Wine takes about a second to hide a
    // window); once the mixer defaults are reset it is gone. From then on a
    // fresh watch sees no dialog but the final message, and a restart would
    // carry out this WININIT.INI.
    ASSERT_TRUE(WaitUntil([&] {
        const std::string ini = machine.ReadFile("C:\\windows\\mixerdef.ini").value_or("");
        return IniValue(ini, "RUNTIME", "Initialize") == std::optional<std::string>("0");
    })) << "the mixer defaults were not reset";
    answerer = std::make_unique<Answerer>(machine, std::vector<AnswerRule>{{kWdmDialog, "-"}, {"Setup", "OK"}},
                                          false, Milliseconds(600000));
    machine.PutFile("C:\\restart-probe.txt", "");
    machine.PutFile(kWininit, "[rename]\r\nNUL=C:\\restart-probe.txt\r\n");

    const std::optional<int> exit_code = setup.Wait(Milliseconds(480000));
    const std::vector<DialogRecord> late = answerer->Stop();
    EXPECT_TRUE(machine.Shutdown());
    EXPECT_EQ(exit_code, std::optional<int>(0)) << "setup.exe did not end, or failed";
    ASSERT_EQ(late.size(), 1u);
    ExpectMessage(late[0], "Setup", kCompleted, kWdmDialog);
    EXPECT_FALSE(machine.Exists("C:\\restart-probe.txt")) << "no restart carried out WININIT.INI";
    EXPECT_EQ(machine.ReadFile(kWininitDone), "[rename]\r\nNUL=C:\\restart-probe.txt\r\n");

    // The tray volume icon taken out, the driver database dropped.
    EXPECT_EQ(DwordText(machine, std::string("HKCU\\") + kSystray, "Services"), "dword:1");
    EXPECT_EQ(DwordText(machine, std::string("HKU\\.Default\\") + kSystray, "Services"), "dword:3");
    EXPECT_FALSE(machine.Exists("C:\\windows\\inf\\Drvdata.bin"));

    // The staged INF carries the choices; its copies in INF and INF\OTHER
    // the staged folder as their disk too; the setup source the package's.
    const std::string staged = Edited(shipped, {{"0x00010001,0x03,0,0,0", "0x00010001,0x02,0,0,0"},
                                                {"0x00010001,0x05,0,0,0", "0x00010001,0x00,0,0,0"}});
    EXPECT_EQ(machine.ReadFile(std::string(kWdmStaging) + "OVAUDIO.INF"), staged);
    EXPECT_EQ(OemInfTexts(machine), std::vector<std::string>{staged}) << "handed to the system on ME";
    const std::string short_staging = machine.ShortPathName("C:\\Program Files\\Orvanta\\WIN_ME");
    const std::string placed = AsWineRewritesIt(
        Edited(staged, {{"200=\"Orvanta WDM Audio Driver Disk\",,,\r\n",
                         "200=\"Orvanta WDM Audio Driver Disk\",,," + short_staging + "\r\n"},
                        {"ovprop.dll=200\r\n", "ovprop.dll=200\r\novaudio.cat=200\r\n"}}));
    EXPECT_EQ(machine.ReadFile("C:\\windows\\inf\\OVAUDIO.INF").value_or("(none)"), placed);
    EXPECT_EQ(machine.ReadFile(std::string(kOtherInfFolder) + "\\OVAUDIO.INF").value_or("(none)"), placed);
    EXPECT_EQ(machine.ReadFile("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    EXPECT_EQ(machine.ReadFile(std::string(kSetupSource) + "\\OVAUDIO.INF"), shipped);
    EXPECT_EQ(machine.ReadFile(std::string(kSetupSource) + "\\ovwdm.sys"), "WDM driver");
    EXPECT_FALSE(machine.Exists(std::string(kSetupSource) + "\\setup.exe"));
    EXPECT_FALSE(machine.Exists(std::string(kSetupSource) + "\\Setup.ini"));
}

}  // namespace
}  // namespace winetest
