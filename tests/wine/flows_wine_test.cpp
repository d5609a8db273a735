// One run of the real setup.exe per flow family, the user played by
// answerer.exe, the programs it starts stood in for by recorder.exe.
//
// Wine's "win98" is 98 SE. ExitWindowsEx starts Wine's restart work, which
// carries out WININIT.INI and keeps it as wininit.bak. Wine keeps WIN.INI's
// [Windows] section in the registry, as NT does.
#include <algorithm>
#include <filesystem>
#include <thread>

#include "wine_fixture.h"

namespace winetest {
namespace {

constexpr const char* kMainDialog = "PCI Audio Device Driver And Applications Setup Program";
constexpr const char* kVxdDialog = "PCI Audio Device Driver Setup Program for Windows 95/98/ME";
constexpr const char* kWdmDialog = "PCI Audio Device Driver Setup Program for Windows 98 SE/ME";
constexpr const char* kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
constexpr const char* kCompleted = "Setup completed! The system will restart now!";
constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";
constexpr const char* kWininitDone = "C:\\windows\\wininit.bak";
constexpr const char* kWinIni = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kRetired = "C:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n";
constexpr const char* kMixerSwap = "NUL=C:\\windows\\Mixer.old\r\nC:\\windows\\Mixer.old=C:\\windows\\Mixer.exe\r\n"
                                   "C:\\windows\\Mixer.exe=C:\\windows\\Mixer.dat\r\n";
using Files = std::vector<std::pair<std::string, std::string>>;

// The text with the first occurrence of each `from` replaced; a missing one fails.
std::string Edited(std::string text, const Files& edits) {
    for (const auto& [from, to] : edits) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

// Wine's WritePrivateProfileStringA writes the file anew without its blank lines.
std::string WithoutBlankLines(std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;) text.erase(at, 2);
    return text.compare(0, 2, "\r\n") == 0 ? text.substr(2) : text;
}

class FlowsUnderWine : public WineTest {
protected:
    // A machine with setup.exe, the files (medium-relative names) and an
    // earlier VxD driver and mixer program.
    Prefix& Medium(const std::string& version, const std::string& medium, const Files& files) {
        Machine(version);
        medium_ = medium;
        prefix_->CopyIn(Program("setup.exe"), medium + "\\setup.exe");
        for (const auto& [name, contents] : files) prefix_->Put(medium + "\\" + name, contents);
        std::filesystem::create_directories(prefix_->Host("C:\\windows\\inf\\other"));
        prefix_->Put("C:\\windows\\system\\OVAUDIO.VXD", "earlier driver");
        prefix_->Put("C:\\windows\\Mixer.exe", "present mixer");
        prefix_->Put("C:\\windows\\Mixer.old", "older mixer");
        return *prefix_;
    }
    std::vector<Dialog> Setup(const std::vector<std::string>& args,
                              const std::vector<std::pair<std::string, std::string>>& rules) {
        return RunAnswered(medium_ + "\\setup.exe", args, rules, medium_);
    }
    void ExpectMessages(const std::vector<Dialog>& dialogs, size_t first, const std::vector<std::string>& texts,
                        const std::string& owner) {
        ASSERT_EQ(dialogs.size(), first + texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(dialogs[first + i].caption, "Setup");
            EXPECT_EQ(dialogs[first + i].text, texts[i]);
            EXPECT_EQ(dialogs[first + i].owner, owner);
            EXPECT_EQ(dialogs[first + i].action, "OK");
        }
    }
    // The restart retired the earlier VxD driver and, with `swap`, swapped the mixer.
    void ExpectVxdRestart(bool swap) {
        EXPECT_FALSE(prefix_->Exists("C:\\windows\\WININIT.INI")) << "no restart carried it out";
        EXPECT_EQ(prefix_->Read(kWininitDone), std::string("[rename]\r\n") + kRetired + (swap ? kMixerSwap : ""));
        EXPECT_EQ(prefix_->Read("C:\\windows\\system\\OVAUDIO.OLD"), "earlier driver");
        EXPECT_FALSE(prefix_->Exists("C:\\windows\\system\\OVAUDIO.VXD"));
        if (swap) {
            EXPECT_EQ(prefix_->Read("C:\\windows\\Mixer.exe"), "new mixer");
        }
    }
    std::string medium_;
};

TEST_F(FlowsUnderWine, StartUpAdjustsTheSystemAndHandsOverOnWindows2000) {
    Medium("win2k", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\nDriverOnly=1\r\n[Default]\r\nUsingCDDA=1\r\n"}});
    prefix_->CopyIn(Program("recorder.exe"), "C:\\MEDIUM\\W2KSetup.dat");
    prefix_->CopyIn(Program("recorder.exe"), "C:\\MEDIUM\\W2KSetup.exe");
    const std::string audio = "Software\\Microsoft\\Multimedia\\Audio]\r\n";
    const std::string run = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
    prefix_->Import("[HKEY_CURRENT_USER\\" + audio + "\"SystemFormats\"=\"Radio Quality,CD Quality,Phone\"\r\n\r\n"
                    "[HKEY_USERS\\.Default\\" + audio + "\r\n" + run +
                    "\"PCI Audio Applications\"=\"C:\\\\OV\\\\mixer.exe\"\r\n\"Other\"=\"C:\\\\other.exe\"\r\n");

    const std::vector<Dialog> dialogs = Setup({}, {{"*", "OK"}});

    ExpectCleanEnd();
    EXPECT_TRUE(dialogs.empty());
    // The .dat file comes first and is started as the program it is.
    EXPECT_EQ(prefix_->Read("C:\\recorder.log"), "C:\\MEDIUM\\W2KSetup.dat /DRIVER\tC:\\MEDIUM\r\n");
    EXPECT_EQ(IniValue(prefix_->Read("C:\\windows\\OVCDPLAY.INI").value_or(""), "CD PLAYER", "UsingCDDA"), "1");
    EXPECT_EQ(prefix_->Value("HKCU\\" + audio.substr(0, audio.size() - 3), "DefaultFormat"), "CD Quality");
    EXPECT_EQ(prefix_->Value("HKU\\.Default\\" + audio.substr(0, audio.size() - 3), "DefaultFormat"), "CD Quality");
    const std::string run_key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    EXPECT_EQ(prefix_->Value(run_key, "PCI Audio Applications"), std::nullopt);
    EXPECT_EQ(prefix_->Value(run_key, "Other"), "C:\\other.exe");
}

TEST_F(FlowsUnderWine, DriverModeOnWindows95StagesTheVxdDriverAndRestarts) {
    const std::string inf = TestData("inf/vxd/OVAUDIO.INF");
    Medium("win95", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\n"}, {"W2K-ME\\drv\\ovwdm.sys", "WDM"},
                                   {"W95-98\\drv\\95\\OVAUDIO.INF", inf}, {"W95-98\\drv\\95\\ovaudio.vxd", "VxD 95"},
                                   {"W95-98\\drv\\95\\Mixer.dat", "new mixer"}, {"W95-98\\drv\\98\\ovaudio.vxd", "VxD 98"},
                                   {"Dosdrv\\OVSB.COM", "DOS"}, {"Dosdrv\\DOSAPP\\OVMIX.EXE", "DOS mixer"}});

    const std::vector<Dialog> dialogs = Setup({"/DRIVER"}, {{"*", "OK"}});

    ExpectCleanEnd();
    ExpectMessages(dialogs, 0, {kAnnouncement, kCompleted}, "(none)");
    EXPECT_EQ(prefix_->Listing(kVxdStaging), (std::vector<std::string>{"Mixer.dat", "OVAUDIO.INF", "ovaudio.vxd"}));
    EXPECT_EQ(prefix_->Read(std::string(kVxdStaging) + "ovaudio.vxd"), "VxD 95");
    EXPECT_EQ(prefix_->Listing("C:\\Program Files\\Orvanta\\DOS\\DOSAPP"), std::vector<std::string>{"OVMIX.EXE"});
    ExpectVxdRestart(true);
    // Both INF copies name the short form of the staging folder as their disk.
    const std::string disk = "1=\"Orvanta PCI Audio Driver Disk\",,0";
    const std::string placed = Edited(inf, {{disk, disk + ", " + prefix_->ShortPath(kVxdStaging)}});
    for (const char* copy : {"C:\\windows\\inf\\OVAUDIO.INF", "C:\\windows\\inf\\other\\OVAUDIO.INF"}) {
        EXPECT_EQ(WithoutBlankLines(prefix_->Read(copy).value_or("(none)")), WithoutBlankLines(placed)) << copy;
    }
}

TEST_F(FlowsUnderWine, VxdOptionDialogStagesEditsRetiresAndRestarts) {
    const std::string inf = TestData("inf/vxd/OVAUDIO.INF");
    Medium("win98", "C:\\PKG", {{"Setup.ini", "[InstallOption]\r\nWebSetup=1\r\n"}, {"OVAUDIO.INF", inf},
                                {"ovaudio.vxd", "new driver"}, {"Mixer.exe", "new mixer"}, {"026\\wave.026", "026"},
                                {"..\\Program Files\\PCI Audio\\Mixer.exe", "old mixer"}});
    prefix_->Import("[" + std::string("HKEY_CURRENT_USER") + std::string(kWinIni).substr(4) +
                    "]\r\n\"run\"=\"C:\\\\OV\\\\OVTRAY.EXE\"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Mixer]\r\n"
                    "\"Path\"=\"C:\\\\Program Files\\\\PCI Audio\"\r\n");
    const std::string clicks = "Line-in and Center/Subwoofer share the same jack.+Disable MIDI port (device)+Install";

    const std::vector<Dialog> dialogs = Setup({}, {{kVxdDialog, clicks}, {"Setup", "OK"}});

    ExpectCleanEnd();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs[0].caption, kVxdDialog);
    EXPECT_EQ(dialogs[0].action, clicks);
    ExpectMessages(dialogs, 1, {kCompleted}, kVxdDialog);
    ExpectVxdRestart(false);
    EXPECT_EQ(prefix_->Read(std::string(kVxdStaging) + "OVAUDIO.INF"), inf);
    for (const char* name : {"ovaudio.vxd", "Mixer.exe", "setup.exe", "Setup.ini", "026\\wave.026"}) {
        EXPECT_TRUE(prefix_->Exists(kVxdStaging + std::string(name))) << name;
    }
    const std::string disk = "1=\"Orvanta PCI Audio Driver Disk\",,0\r\n";
    EXPECT_EQ(prefix_->Read("C:\\windows\\inf\\other\\OVAUDIO.INF").value_or("(none)"),
              WithoutBlankLines(Edited(inf, {{"DISMPU,1,0", "DISMPU,1,1"}, {"LINEINasREAR,1,1", "LINEINasREAR,1,0"},
                                             {"LINEINasBASS,1,0", "LINEINasBASS,1,1"},
                                             {disk, disk.substr(0, disk.size() - 2) +
                                                        ", C:\\Program Files\\Orvanta\\WIN_9x\r\n"}})));
    EXPECT_EQ(prefix_->Read("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_EQ(prefix_->Value(kWinIni, "run"), "");
}

// The About box from the system menu first, then the driver alone.
TEST_F(FlowsUnderWine, MainDialogInstallsTheVxdDriverUnderItAndRestarts) {
    Medium("win98", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\nWindows98SEDriver=0\r\n"},
                                   {"W2K-ME\\drv\\OVAUDIO.INF", TestData("inf/wdm/OVAUDIO.INF")},
                                   {"W95-98\\drv\\98\\OVAUDIO.INF", TestData("inf/vxd/OVAUDIO.INF")},
                                   {"W95-98\\drv\\98\\ovaudio.vxd", "VxD"}, {"W95-98\\drv\\98\\Mixer.dat", "new mixer"}});
    prefix_->CopyIn(Program("recorder.exe"), "C:\\MEDIUM\\W95-98\\app\\Setup.exe");

    const std::vector<Dialog> dialogs = Setup(
        {}, {{kMainDialog, "syscommand:16+Install Applications+OK"}, {"About Setup", "OK"}, {"Setup", "OK"}});

    ExpectCleanEnd();
    ASSERT_GE(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].action, "syscommand:16+Install Applications+OK");
    EXPECT_EQ(dialogs[1].caption, "About Setup");
    EXPECT_EQ(dialogs[1].owner, kMainDialog);
    EXPECT_NE(dialogs[1].text.find("Setup Version 2.5"), std::string::npos) << dialogs[1].text;
    ExpectMessages(dialogs, 2, {kAnnouncement, kCompleted}, kMainDialog);
    EXPECT_EQ(prefix_->Listing(kVxdStaging), (std::vector<std::string>{"Mixer.dat", "OVAUDIO.INF", "ovaudio.vxd"}));
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\OVXSETUP.INI"));
    EXPECT_FALSE(prefix_->Exists("C:\\recorder.log")) << "no applications installer";
    ExpectVxdRestart(true);
}

// A stand-in winmm.dll has the new mixer device arrive at once, as on a
// machine whose driver loads without delay; the program's own waits (quiet
// polls of 5 s, twice, and a pause) remain.
TEST_F(FlowsUnderWine, WdmOptionDialogOnMeInstallsAndRestarts) {
    const std::string inf = TestData("inf/wdm/OVAUDIO.INF");
    Prefix& machine = Medium("winme", "C:\\PKG", {{"Setup.ini", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n"},
                                                  {"OVAUDIO.INF", inf}, {"ovwdm.sys", "WDM driver"},
                                                  {"ovaudio.cat", "catalog"}, {"..\\windows\\inf\\Drvdata.bin", "db"}});
    machine.CopyIn(Program("winmm.dll"), "C:\\PKG\\winmm.dll");
    std::filesystem::create_directories(machine.Host("C:\\windows\\options\\cabs"));
    const std::string systray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
    machine.Import("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
                   "\"SourcePath\"=\"C:\\\\windows\\\\options\\\\cabs\"\r\n\r\n[HKEY_CURRENT_USER\\" + systray +
                   "]\r\n\"Services\"=dword:00000005\r\n\r\n[HKEY_USERS\\.Default\\" + systray +
                   "]\r\n\"Services\"=dword:00000007\r\n");
    const std::string clicks =
        "4720 in sound card (rear speakers jack individually)+Disable legacy device (MIDI/GAME port)+Install";
    Answerer answerer(machine, {{kWdmDialog, clicks}, {"Setup", "OK"}});
    // Wine is up now: the restart, not the start, carries this out.
    machine.Put("C:\\probe.txt", "");
    machine.Put("C:\\windows\\WININIT.INI", "[rename]\r\nNUL=C:\\probe.txt\r\n");
    const std::optional<int> exit = machine.Run("C:\\PKG\\setup.exe", {}, "C:\\PKG",
                                                {{"WINEDLLOVERRIDES", "mscoree,mshtml=;winmm=n,b"}}, Ms(240000));
    const std::vector<Dialog> dialogs = answerer.Stop();
    EXPECT_TRUE(machine.Shutdown());

    EXPECT_EQ(exit, std::optional<int>(0));
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[0].action, clicks);
    EXPECT_EQ(dialogs[1].owner, "(none)") << "the announcement comes with the dialog hidden";
    EXPECT_EQ(dialogs[1].text, kAnnouncement);
    EXPECT_EQ(dialogs[2].text, kCompleted);
    EXPECT_EQ(dialogs[2].owner, kWdmDialog);
    EXPECT_FALSE(machine.Exists("C:\\probe.txt")) << "no restart";
    EXPECT_FALSE(machine.Exists("C:\\windows\\inf\\Drvdata.bin"));
    EXPECT_EQ(machine.Read("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    EXPECT_EQ(machine.Read("C:\\windows\\options\\cabs\\ovwdm.sys"), "WDM driver");
    EXPECT_FALSE(machine.Exists("C:\\windows\\options\\cabs\\setup.exe"));
    // The staged INF carries the choices; its copy in INF\OTHER the staged folder as its disk.
    const std::string staged = Edited(inf, {{"0x00010001,0x03,0,0,0", "0x00010001,0x02,0,0,0"},
                                            {"0x00010001,0x05,0,0,0", "0x00010001,0x00,0,0,0"}});
    EXPECT_EQ(machine.Read(std::string(kWdmStaging) + "OVAUDIO.INF"), staged);
    const std::string disk = "200=\"Orvanta WDM Audio Driver Disk\",,,\r\n";
    EXPECT_EQ(machine.Read("C:\\windows\\inf\\other\\OVAUDIO.INF").value_or("(none)"),
              WithoutBlankLines(Edited(staged, {{disk, disk.substr(0, disk.size() - 2) +
                                                           machine.ShortPath(kWdmStaging) + "\r\n"},
                                                {"ovprop.dll=200\r\n", "ovprop.dll=200\r\novaudio.cat=200\r\n"}})));
    // The tray volume icon taken out.
    EXPECT_EQ(machine.Value("HKCU\\" + systray, "Services"), "0x1");
    EXPECT_EQ(machine.Value("HKU\\.Default\\" + systray, "Services"), "0x3");
}

}  // namespace
}  // namespace winetest
