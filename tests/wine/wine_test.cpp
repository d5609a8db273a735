// The Wine tests, on one fixture: the Win32 backend through backend_probe.exe
// (missing or raising exports, the guard around a crash, the dialogs in their
// languages, the platform contract's rows), and one run of the real setup.exe per
// flow family, the user played by answerer.exe, the programs it starts stood in
// for by recorder.exe. A failing test keeps its prefixes and says where.
// Wine's "win98" is 98 SE; ExitWindowsEx starts Wine's restart work, which
// carries out WININIT.INI and keeps it as wininit.bak; WIN.INI's [Windows]
// section is in the registry, as on NT.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>

#include "wine_harness.h"

namespace winetest {
namespace {

const std::string kMainDialog = "PCI Audio Device Driver And Applications Setup Program";
const std::string kVxdDialog = "PCI Audio Device Driver Setup Program for Windows 95/98/ME";
const std::string kWdmDialog = "PCI Audio Device Driver Setup Program for Windows 98 SE/ME";
const std::string kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
const std::string kCompleted = "Setup completed! The system will restart now!";
const std::string kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
const std::string kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";
const std::string kRetired = "C:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n";
constexpr const char* kMixerSwap = "NUL=C:\\windows\\Mixer.old\r\nC:\\windows\\Mixer.old=C:\\windows\\Mixer.exe\r\n"
                                   "C:\\windows\\Mixer.exe=C:\\windows\\Mixer.dat\r\n";
const std::vector<std::string> kVxdStaged = {"Mixer.dat", "OVAUDIO.INF", "ovaudio.vxd"};
const std::string kData = WINE_TESTS_SOURCE_DIR "/tests/data/";
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

// Each dialog as "caption|owner|action", a message box's ("Setup") with its text.
std::vector<std::string> Seen(const std::vector<Dialog>& dialogs) {
    std::vector<std::string> seen;
    for (const Dialog& d : dialogs) {
        seen.push_back(d.caption + "|" + d.owner + "|" + d.action + (d.caption == "Setup" ? "|" + d.text : ""));
    }
    return seen;
}
std::string Box(const std::string& owner, const std::string& message) { return "Setup|" + owner + "|OK|" + message; }

// Wine's WritePrivateProfileStringA writes the file anew without its blank lines.
std::string WithoutBlankLines(std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;) text.erase(at, 2);
    return text.compare(0, 2, "\r\n") == 0 ? text.substr(2) : text;
}

// A package INF saved with LF line ends: the C run-time's text-mode ftell
// miscounts offsets in such a file, which the one-character edits must not
// rely on.
std::string LfOnly(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

class WineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Missing({"setup.exe", "answerer.exe", "recorder.exe", "backend_probe.exe"}), ""); }
    void TearDown() override { KeepIfFailed(); }
    void KeepIfFailed() {
        if (!HasFailure() || !prefix_) return;
        prefix_->Keep();
        std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->Log() << "\n";
    }

    // A fresh machine reporting `version`; the one before it goes unless kept.
    Prefix& Machine(const std::string& version) {
        KeepIfFailed();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<Prefix>(std::string(test->test_suite_name()) + "." + test->name() + "." +
                                               std::to_string(++machines_), version);
        return *prefix_;
    }

    // Runs `program` to a clean end with the rules answering, `started` done
    // once Wine is up; the dialogs seen.
    std::vector<Dialog> RunAnswered(const std::string& program, const std::vector<std::string>& args, const Rules& rules,
                                    const std::string& cwd = "C:\\", const Env& env = {},
                                    const std::function<void()>& started = {}) {
        prefix_->Answer(rules);
        if (started) started();
        EXPECT_EQ(prefix_->Run(program, args, cwd, env), std::optional<int>(0)) << "did not end, or failed";
        std::vector<Dialog> dialogs = prefix_->Answers();
        EXPECT_TRUE(prefix_->Shutdown()) << "programs were still running in the prefix";
        return dialogs;
    }

    // Runs setup.exe from a medium of `files` (medium-relative names) on a
    // machine with an earlier VxD driver and mixer program; the dialogs seen.
    std::vector<Dialog> Setup(const std::string& version, const std::string& medium, const Files& files,
                              const std::vector<std::string>& args, const Rules& rules, const std::string& registry = "",
                              const Env& env = {}, const std::function<void()>& started = {}) {
        Machine(version);
        medium_ = medium;
        Files placed = {{medium + "\\setup.exe", HostFile(Program("setup.exe"))}};
        for (const auto& [name, contents] : files) placed.push_back({medium + "\\" + name, contents});
        placed.insert(placed.end(), {{"C:\\windows\\inf\\other\\", ""}, {"C:\\windows\\system\\OVAUDIO.VXD", "earlier driver"},
                                       {"C:\\windows\\Mixer.exe", "present mixer"}, {"C:\\windows\\Mixer.old", "older mixer"}});
        // A name ending in \ is a folder.
        for (const auto& [path, contents] : placed) {
            if (path.back() != '\\') prefix_->Put(path, contents);
            else std::filesystem::create_directories(prefix_->Host(path));
        }
        if (!registry.empty()) prefix_->Import(registry);
        return RunAnswered(medium + "\\setup.exe", args, rules, medium, env, started);
    }
    // The restart retired the earlier VxD driver and, with `swap`, swapped the mixer.
    void ExpectVxdRestart(bool swap) {
        EXPECT_FALSE(prefix_->Read("C:\\windows\\WININIT.INI")) << "no restart carried it out";
        EXPECT_EQ(prefix_->Read("C:\\windows\\wininit.bak"), "[rename]\r\n" + kRetired + (swap ? kMixerSwap : ""));
        EXPECT_EQ(prefix_->Read("C:\\windows\\system\\OVAUDIO.OLD"), "earlier driver");
        EXPECT_FALSE(prefix_->Read("C:\\windows\\system\\OVAUDIO.VXD"));
        EXPECT_EQ(prefix_->Read("C:\\windows\\Mixer.exe"), "new mixer");
    }

    // The support loop on the machine the run left: Wine's regedit exports
    // the registry (version 5, UTF-16), cmd lists the Windows and program
    // folders, setupsim import takes the run back from the log, and setupsim
    // diff holds the log against the run it predicts there, with the dialogs
    // as the user answered them and what the test's stand-ins do (`machine`).
    // Wine's files keep the archive bit whatever SetFileAttributes asks.
    void ExpectLogAgrees(const std::string& log, const std::string& machine = "") {
        namespace fs = std::filesystem;
        const fs::path work = fs::path(prefix_->root()).parent_path(), folder = work / "machine";
        const std::string reg = (work / "all.reg").string(), listing = (work / "dir.txt").string();
        const auto wine = [](std::string host) { return "Z:" + (std::replace(host.begin(), host.end(), '/', '\\'), host); };
        ASSERT_EQ(prefix_->Run("regedit", {"/e", wine(reg)}), std::optional<int>(0));
        ASSERT_EQ(prefix_->Run("cmd", {"/c", "dir", "/s", "C:\\windows", "C:\\Program Files", ">", wine(listing)}),
                  std::optional<int>(0));
        // The files the run reads for their content: the profiles in the
        // Windows folder and the INF folder.
        const fs::path copy = work / "C", windows = prefix_->Host("C:\\windows");
        fs::create_directories(copy / "windows");
        fs::copy(windows / "inf", copy / "windows" / "inf", fs::copy_options::recursive);
        for (const fs::directory_entry& entry : fs::directory_iterator(windows)) {
            if (entry.path().extension() == ".ini") fs::copy(entry.path(), copy / "windows");
        }
        Setupsim({"import", "--log", prefix_->Host(log), "--registry", reg, "--listing", listing, "--files", copy.string(),
                  "--medium", prefix_->Host(medium_), "--out", folder.string()});
        // The log does not say where the Setup API copied the INF (Wine's does
        // as NT: INF\oem0.inf with its .pnf), so the import cannot take it back.
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / "C" / "windows" / "inf")) {
            if (entry.path().filename().string().rfind("oem", 0) == 0) fs::remove(entry.path());
        }
        std::ofstream(folder / "machine.ini", std::ios::app) << machine;
        Setupsim({"diff", "--ignore", "set attributes", folder.string(), prefix_->Host(log)});
    }
    void Setupsim(const std::vector<std::string>& args) {
        std::string command = "'" SETUPSIM_PATH "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        ASSERT_TRUE(pipe) << command;
        std::string out;
        for (int c; (c = fgetc(pipe)) != EOF;) out += static_cast<char>(c);
        const int status = pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << out;
    }

    std::unique_ptr<Prefix> prefix_;
    std::string medium_;
    int machines_ = 0;
};

// Says which setup.exe the Wine tests run; `make test` prints the line.
TEST(WineBinary, UnderTest) {
    const std::string line = "wine tests: " + UnderTest();
    std::cout << line << "\n";
    std::filesystem::create_directories(WINE_TESTS_WORK_DIR);
    std::ofstream(std::string(WINE_TESTS_WORK_DIR) + "/binary-under-test.txt") << line << "\n";
    EXPECT_EQ(Missing({"setup.exe"}), "");
}

using BackendUnderWine = WineTest;

TEST_F(BackendUnderWine, ProbesAndDialogsInTheUsersLanguage) {
    const std::string vxd = "Virtual-Device (VxD)", wdm = "Win32 Driver Model (WDM) ";
    const std::string selection = "Windows 98SE/ME device-driver architecture selection";
    struct Row {
        std::vector<std::string> args;
        std::string locale, buttons, line, caption;  // no caption: no dialog
    };
    const Row rows[] = {
        // ERROR_PROC_NOT_FOUND (127) for a missing DLL or export; Wine's raising
        // stub fails (574) twice. (The deletion of a key tree is the contract's.)
        {{"calls"}, "C.UTF-8", "OK", "missing-dll=-1 error=127 missing-export=-1 error=127 raising-export="
         "failed error=574,failed error=574 access-violation=abandoned", ""},
        {{"driver-type", "1"}, "C.UTF-8", wdm + "+OK", "result=1 answer=0", selection},
        {{"driver-type", "0"}, "C.UTF-8", vxd + "+OK", "result=1 answer=1", selection},
        {{"driver-type", "1"}, "fr_FR.UTF-8", "Annuler", "result=2 answer=1",
         "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME"},
        {{"about"}, "C.UTF-8", "OK", "result=1", "About Setup"},
    };
    std::vector<Dialog> dialogs;
    Machine("winxp").Put("C:\\probe\\backend_probe.exe", HostFile(Program("backend_probe.exe")));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.locale);
        std::vector<std::string> args = row.args;
        args.push_back("C:\\probe\\out.txt");
        dialogs = RunAnswered("C:\\probe\\backend_probe.exe", args, {{"*", row.buttons}}, "C:\\", {{"LC_ALL", row.locale}});
        const std::string line = prefix_->Read("C:\\probe\\out.txt").value_or("(none)");
        EXPECT_EQ(line.substr(0, line.find('\r')), row.line);
        ASSERT_EQ(dialogs.size(), row.caption.empty() ? 0u : 1u);
        if (dialogs.empty()) continue;
        EXPECT_EQ(dialogs[0].caption, row.caption);
        EXPECT_EQ(dialogs[0].owner, "(none)");
        EXPECT_TRUE(dialogs[0].centred);
        EXPECT_EQ(dialogs[0].action, row.buttons);
    }
    // The icon control comes first, its text the raw resource reference.
    EXPECT_EQ(dialogs[0].text.substr(dialogs[0].text.find('\n') + 1),
              "Setup Version 2.5\nOrvanta PCI Audio driver package\nOK");
}

// The rows the virtual machine answers natively, on the Win32 backend under
// Wine (which answers as NT does), bar those where Wine departs from Windows.
TEST_F(BackendUnderWine, KeepsThePlatformContract) {
    Machine("winxp").Put("C:\\probe\\backend_probe.exe", HostFile(Program("backend_probe.exe")));
    RunAnswered("C:\\probe\\backend_probe.exe", {"contract", "C:\\probe\\out.txt"}, {});
    std::string report = prefix_->Read("C:\\probe\\out.txt").value_or("(none)");
    if (report.size() > 1) report.resize(report.size() - 2);
    EXPECT_EQ(report.find("\r\n"), std::string::npos) << report;  // a line for each failure
    EXPECT_EQ(report.rfind("checked=", 0), 0u) << report;
}

using FlowsUnderWine = WineTest;

TEST_F(FlowsUnderWine, StartUpAdjustsTheSystemAndHandsOverOnWindows2000) {
    const std::string audio = "Software\\Microsoft\\Multimedia\\Audio", run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string recorder = HostFile(Program("recorder.exe"));
    const std::vector<Dialog> dialogs = Setup(
        "win2k", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\nDriverOnly=1\r\n[Default]\r\nUsingCDDA=1\r\n"},
                                {"W2KSetup.dat", recorder}, {"W2KSetup.exe", recorder}},
        {}, {{"*", "OK"}},
        "[HKEY_CURRENT_USER\\" + audio + "]\r\n\"SystemFormats\"=\"Radio Quality,CD Quality,Phone\"\r\n\r\n"
        "[HKEY_USERS\\.Default\\" + audio + "]\r\n\r\n[HKEY_LOCAL_MACHINE\\" + run + "]\r\n"
        "\"PCI Audio Applications\"=\"C:\\\\OV\\\\mixer.exe\"\r\n\"Other\"=\"C:\\\\other.exe\"\r\n");

    EXPECT_TRUE(dialogs.empty());
    // The .dat file comes first and is started as the program it is.
    EXPECT_EQ(prefix_->Read("C:\\recorder.log"), "C:\\MEDIUM\\W2KSetup.dat /DRIVER\tC:\\MEDIUM\r\n");
    EXPECT_EQ(prefix_->Read("C:\\windows\\OVCDPLAY.INI"), "[CD PLAYER]\r\nUsingCDDA=1\r\n");
    EXPECT_EQ(prefix_->Value("HKCU\\" + audio, "DefaultFormat"), "CD Quality");
    EXPECT_EQ(prefix_->Value("HKU\\.Default\\" + audio, "DefaultFormat"), "CD Quality");
    EXPECT_EQ(prefix_->Value("HKLM\\" + run, "PCI Audio Applications"), std::nullopt);
    EXPECT_EQ(prefix_->Value("HKLM\\" + run, "Other"), "C:\\other.exe");
}

TEST_F(FlowsUnderWine, DriverModeOnWindows95StagesTheVxdDriverAndRestarts) {
    const std::string inf = HostFile(kData + "inf/vxd/OVAUDIO.INF");
    const std::vector<Dialog> dialogs = Setup(
        "win95", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\n"}, {"W2K-ME\\drv\\ovwdm.sys", "WDM"},
                                {"W95-98\\drv\\95\\OVAUDIO.INF", inf}, {"W95-98\\drv\\95\\ovaudio.vxd", "VxD 95"},
                                {"W95-98\\drv\\95\\Mixer.dat", "new mixer"}, {"W95-98\\drv\\98\\ovaudio.vxd", "VxD 98"},
                                {"Dosdrv\\OVSB.COM", "DOS"}, {"Dosdrv\\DOSAPP\\OVMIX.EXE", "DOS mixer"}},
        {"/LOG=C:\\setup.log", "/DRIVER"}, {{"*", "OK"}});

    EXPECT_EQ(Seen(dialogs), (std::vector<std::string>{Box("(none)", kAnnouncement), Box("(none)", kCompleted)}));
    ExpectLogAgrees("C:\\setup.log");
    EXPECT_EQ(prefix_->Listing(kVxdStaging), kVxdStaged);
    EXPECT_EQ(prefix_->Read(kVxdStaging + "ovaudio.vxd"), "VxD 95");
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
    const std::string shipped = HostFile(kData + "inf/vxd/OVAUDIO.INF"), inf = LfOnly(shipped);
    const std::string clicks = "Line-in and Center/Subwoofer share the same jack.+Disable MIDI port (device)+Install";
    const std::string win_ini = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    const std::vector<Dialog> dialogs = Setup(
        "win98", "C:\\PKG", {{"setup.ini", "[InstallOption]\r\nWebSetup=1\r\n"}, {"OVAUDIO.INF", inf},
                             {"ovaudio.vxd", "new driver"}, {"Mixer.exe", "new mixer"}, {"026\\wave.026", "026"},
                             {"..\\Program Files\\PCI Audio\\Mixer.exe", "old mixer"}},
        {"/LOG=support.log"}, {{kVxdDialog, clicks}, {"Setup", "OK"}},
        "[HKEY_CURRENT_USER\\" + win_ini + "]\r\n\"run\"=\"C:\\\\OV\\\\OVTRAY.EXE\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Mixer]\r\n\"Path\"=\"C:\\\\Program Files\\\\PCI Audio\"\r\n");

    EXPECT_EQ(Seen(dialogs), (std::vector<std::string>{kVxdDialog + "|(none)|" + clicks, Box(kVxdDialog, kCompleted)}));
    // The log, in the package folder beside the files the run copies, stays
    // out of the run: it is neither staged nor in the way of a copy.
    ExpectLogAgrees("C:\\PKG\\support.log", "[Dialogs]\n103 = click 1012, click 1000, ok\n");
    ExpectVxdRestart(false);
    EXPECT_EQ(prefix_->Read(kVxdStaging + "OVAUDIO.INF"), inf);
    EXPECT_EQ(prefix_->Listing(kVxdStaging), (std::vector<std::string>{"026", "Mixer.exe", "OVAUDIO.INF", "ovaudio.vxd",
                                                                      "setup.exe", "setup.ini"}));
    // The switches are edited in the LF-only copy; the source-disk entry
    // written after them makes Wine's profile writer save it anew, with CR LF
    // line ends and without blank lines.
    const std::string disk = "1=\"Orvanta PCI Audio Driver Disk\",,0";
    EXPECT_EQ(prefix_->Read("C:\\windows\\inf\\other\\OVAUDIO.INF").value_or("(none)"),
              WithoutBlankLines(Edited(shipped, {{"DISMPU,1,0", "DISMPU,1,1"}, {"LINEINasREAR,1,1", "LINEINasREAR,1,0"},
                                                 {"LINEINasBASS,1,0", "LINEINasBASS,1,1"},
                                                 {disk + "\r\n", disk + ", C:\\Program Files\\Orvanta\\WIN_9x\r\n"}})));
    EXPECT_EQ(prefix_->Read("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_EQ(prefix_->Value("HKCU\\" + win_ini, "run"), "");
}

// The About box from the system menu first, then the driver alone.
TEST_F(FlowsUnderWine, MainDialogInstallsTheVxdDriverUnderItAndRestarts) {
    const std::vector<Dialog> dialogs = Setup(
        "win98", "C:\\MEDIUM", {{"setup.ini", "[InstallOption]\r\nWindows98SEDriver=0\r\n"},
                                {"W2K-ME\\drv\\OVAUDIO.INF", HostFile(kData + "inf/wdm/OVAUDIO.INF")},
                                {"W95-98\\drv\\98\\OVAUDIO.INF", HostFile(kData + "inf/vxd/OVAUDIO.INF")},
                                {"W95-98\\drv\\98\\ovaudio.vxd", "VxD"}, {"W95-98\\drv\\98\\Mixer.dat", "new mixer"},
                                {"W95-98\\app\\Setup.exe", HostFile(Program("recorder.exe"))}},
        {"/LOG=C:\\setup.log"},
        {{kMainDialog, "syscommand:16+Install Applications+OK"}, {"About Setup", "OK"}, {"Setup", "OK"}});

    EXPECT_EQ(Seen(dialogs), (std::vector<std::string>{kMainDialog + "|(none)|syscommand:16+Install Applications+OK",
                                                       "About Setup|" + kMainDialog + "|OK",
                                                       Box(kMainDialog, kAnnouncement), Box(kMainDialog, kCompleted)}));
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_NE(dialogs[1].text.find("Setup Version 2.5"), std::string::npos) << dialogs[1].text;
    ExpectLogAgrees("C:\\setup.log", "[Dialogs]\n102 = sysmenu 16, click 1001, ok\n100 = ok\n");
    EXPECT_EQ(prefix_->Listing(kVxdStaging), kVxdStaged);
    EXPECT_FALSE(prefix_->Read("C:\\windows\\OVXSETUP.INI"));
    EXPECT_FALSE(prefix_->Read("C:\\recorder.log")) << "no applications installer";
    ExpectVxdRestart(true);
}

// A stand-in winmm.dll has the new mixer device arrive at once, as on a
// machine whose driver loads without delay; the program's own waits (quiet
// polls of 5 s, twice, and a pause) remain.
TEST_F(FlowsUnderWine, WdmOptionDialogOnMeInstallsAndRestarts) {
    const std::string shipped = HostFile(kData + "inf/wdm/OVAUDIO.INF"), inf = LfOnly(shipped);
    const std::string clicks =
        "4720 in sound card (rear speakers jack individually)+Disable legacy device (MIDI/GAME port)+Install";
    const std::string tray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
    const std::vector<Dialog> dialogs = Setup(
        "winme", "C:\\PKG", {{"setup.ini", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n"},
                             {"OVAUDIO.INF", inf}, {"ovwdm.sys", "WDM driver"}, {"OVAUDIO.CAT", "catalog"},
                             {"..\\windows\\inf\\Drvdata.bin", "db"}, {"..\\windows\\options\\cabs\\", ""},
                             {"winmm.dll", HostFile(Program("winmm.dll"))}},
        {"/LOG=C:\\setup.log"}, {{kWdmDialog, clicks}, {"Setup", "OK"}},
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n\"SourcePath\"=\"C:\\\\windows"
        "\\\\options\\\\cabs\"\r\n\r\n[HKEY_CURRENT_USER\\" + tray + "]\r\n\"Services\"=dword:00000005\r\n\r\n"
        "[HKEY_USERS\\.Default\\" + tray + "]\r\n\"Services\"=dword:00000007\r\n",
        {{"WINEDLLOVERRIDES", "mscoree,mshtml=;winmm=n,b"}}, [this] {
            // Wine is up now: the restart, not the start, carries this out.
            prefix_->Put("C:\\probe.txt", "");
            prefix_->Put("C:\\windows\\WININIT.INI", "[rename]\r\nNUL=C:\\probe.txt\r\n");
        });

    // The announcement comes with the dialog hidden, without an owner.
    EXPECT_EQ(Seen(dialogs), (std::vector<std::string>{kWdmDialog + "|(none)|" + clicks, Box("(none)", kAnnouncement),
                                                       Box(kWdmDialog, kCompleted)}));
    EXPECT_FALSE(prefix_->Read("C:\\probe.txt")) << "no restart";
    // The stand-in winmm.dll counts no mixer at its first look, one after.
    ExpectLogAgrees("C:\\setup.log", "[Dialogs]\n131 = click 1007, click 1000, ok\n[Machine]\nMixerDevices = 1\n"
                                     "[Faults]\nmixerGetNumDevs = call 1\n");
    EXPECT_FALSE(prefix_->Read("C:\\windows\\inf\\Drvdata.bin"));
    EXPECT_EQ(prefix_->Read("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    EXPECT_EQ(prefix_->Read("C:\\windows\\options\\cabs\\ovwdm.sys"), "WDM driver");
    EXPECT_FALSE(prefix_->Read("C:\\windows\\options\\cabs\\setup.exe"));
    // The staged INF carries the choices, its LF line ends kept; its copy in
    // INF\OTHER the staged folder as its disk, written by Wine's profile
    // writer with CR LF line ends and without blank lines.
    const Files settings = {{"0x00010001,0x03,0,0,0", "0x00010001,0x02,0,0,0"},
                            {"0x00010001,0x05,0,0,0", "0x00010001,0x00,0,0,0"}};
    EXPECT_EQ(prefix_->Read(kWdmStaging + "OVAUDIO.INF"), Edited(inf, settings));
    const std::string disk = "200=\"Orvanta WDM Audio Driver Disk\",,,";
    EXPECT_EQ(prefix_->Read("C:\\windows\\inf\\other\\OVAUDIO.INF").value_or("(none)"),
              WithoutBlankLines(Edited(Edited(shipped, settings),
                                       {{disk + "\r\n", disk + prefix_->ShortPath(kWdmStaging) + "\r\n"},
                                        {"ovprop.dll=200\r\n", "ovprop.dll=200\r\novaudio.cat=200\r\n"}})));
    // The tray volume icon taken out.
    EXPECT_EQ(prefix_->Value("HKCU\\" + tray, "Services"), "0x1");
    EXPECT_EQ(prefix_->Value("HKU\\.Default\\" + tray, "Services"), "0x3");
}

}  // namespace
}  // namespace winetest
