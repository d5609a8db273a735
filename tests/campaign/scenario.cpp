#include "campaign/scenario.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/vm/ini_text.h"

namespace campaign {

namespace {

using vm::WindowsVersion;

const char* const kDefaultIni = "[InstallOption]\r\nDriverOnly=0\r\nWebSetup=0\r\n\r\n[Default]\r\nUsingCDDA=1\r\n";

// Plug and Play's timetable after the re-enumeration: the installer's
// window, the new mixer device, the new driver's class keys, the game
// port and the tray icon coming back.
constexpr std::uint64_t kInstallerWindowOpensMs = 1500;
constexpr std::uint64_t kInstallerWindowClosesMs = 9000;
constexpr std::uint64_t kMixerArrivesMs = 7000;
constexpr std::uint64_t kGamePortArrivesMs = 12000;
constexpr std::uint64_t kTrayIconBackMs = 15000;
// The earlier applications' uninstaller.
constexpr std::uint64_t kUninstallerRunsMs = 3000;
// The user answers the medium prompt twice with OK, then with Cancel.
constexpr std::uint64_t kPromptAnswerMs = 2000;
constexpr int kPromptOks = 2;

std::string TestData(const std::string& relative) {
    const std::string path = std::string(SETUP_SOURCE_DIR) + "/tests/data/inf/" + relative;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("missing test data " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A path inside a .reg string.
std::string RegText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

class Builder {
public:
    Builder(const Flow& flow, const Environment& environment) : flow_(flow), env_(environment) {
        scenario_.flow = flow.name;
        scenario_.windowsFolder = environment.windowsFolder;
        scenario_.readOnlyMedium = environment.readOnlyMedium;
        scenario_.plan = flow.plan;
        scenario_.setupSource = environment.windowsFolder + "\\OPTIONS\\CABS";
        scenario_.mixerFolder = "C:\\OVMIXER";
    }

    Scenario Build() {
        WindowsInstallation();
        EarlierDriver();
        if (flow_.medium == MediumKind::Grouped) {
            GroupedMedium();
        } else {
            FlatMedium();
        }
        RegistryKeys();
        MachineIni();
        return std::move(scenario_);
    }

private:
    std::string W(const std::string& relative) const { return env_.windowsFolder + "\\" + relative; }
    std::string SystemFolder() const { return W(vm::IsNt(flow_.version) ? "SYSTEM32" : "SYSTEM"); }
    void Put(const std::string& path, const std::string& bytes) { scenario_.files.emplace_back(path, bytes); }
    void Medium(const std::string& relative, const std::string& bytes) { Put("E:\\" + relative, bytes); }

    void WindowsInstallation() {
        for (const char* folder : {"INF", "INF\\OTHER", "INF\\CATALOG", "OPTIONS\\CABS"}) {
            scenario_.folders.push_back(W(folder));
        }
        scenario_.folders.push_back(SystemFolder());
        Put("C:\\AUTOEXEC.BAT", "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n");
        Put(W("WIN.INI"), "[windows]\r\nload=\r\nrun=OLDTSR.EXE\r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n");
        Put(W("SYSTEM.INI"), "[boot]\r\nshell=Explorer.exe\r\n");
        Put(W("mixerdef.ini"), "[RUNTIME]\r\nInitialize=1\r\n");
        Put(W("Mixer.exe"), "MZ old mixer");
        Put(SystemFolder() + "\\SYSTRAY.EXE", "MZ systray");
        Put(W("OPTIONS\\CABS\\BASE4.CAB"), "MSCF");
        for (const char* name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
            Put(W(std::string("INF\\") + name), TestData(std::string("system/") + name));
        }
        Put(W("INF\\Drvdata.bin"), "driver database");
        Put(W("INF\\Drvidx.bin"), "driver index");
        // Other makers' INF files that the cleanup must leave alone.
        Put(W("INF\\OEM2.INF"),
            "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=Modem\r\n\r\n[Strings]\r\nSSC-Legacy.DeviceDesc=\"Modem\"\r\n");
        Put(W("INF\\OEM2.PNF"), "precompiled");
        Put(W("INF\\OVMODEM.INF"), "[Version]\r\nClass=Modem\r\n\r\n[Strings]\r\nWDM_OVPCI.Wave.szPname=\"Ovation\"\r\n");
    }

    void EarlierDriver() {
        Put(W("INF\\OTHER\\OEM1.INF"), TestData("vxd/OVAUDIO.INF"));
        Put(W("INF\\OTHER\\OEM1.PNF"), "precompiled");
        Put(W("INF\\OEM3.INF"), TestData("wdm/OVAUDIO.INF"));
        for (const char* name : {"OVAUDIO.VXD", "OVPCIFM.DRV", "DLSWAVE.DAT", "DLSTABLE.DAT"}) {
            Put(SystemFolder() + "\\" + name, std::string("earlier ") + name);
        }
        Put(scenario_.mixerFolder + "\\Mixer.exe", "MZ registered mixer");
        Put("C:\\Program Files\\Orvanta\\Uninst.exe", "MZ uninstaller");
    }

    void GroupedMedium() {
        Medium("setup.exe", "MZ setup");
        Medium("setup.ini", flow_.setupIni);
        Medium("W2KSetup.exe", "MZ setup for Windows 2000/XP");
        Medium("Dosdrv\\OVSB.COM", "dos driver");
        Medium("Dosdrv\\DOSAPP\\OVMIX.EXE", "dos mixer");
        const std::string vxdInf = TestData("vxd/OVAUDIO.INF");
        for (const char* folder : {"W95-98\\drv\\95\\", "W95-98\\drv\\98\\"}) {
            Medium(std::string(folder) + "OVAUDIO.INF", vxdInf);
            Medium(std::string(folder) + "ovaudio.vxd", "vxd driver");
            Medium(std::string(folder) + "Mixer.dat", "MZ new mixer");
        }
        Medium("W95-98\\app\\Setup.exe", "MZ applications for VxD systems");
        Medium("W2K-ME\\drv\\OVAUDIO.INF", TestData("wdm/OVAUDIO.INF"));
        Medium("W2K-ME\\drv\\ovwdm.sys", "wdm driver");
        Medium("W2K-ME\\drv\\ovaudio.cat", "catalog");
        Medium("W2K-ME\\drv\\Mixer.dat", "MZ new mixer");
        Medium("W2K-ME\\drv\\MESetup.dat", "MZ driver setup for the applications installer");
        Medium("W2K-ME\\app\\Setup.exe", "MZ applications for WDM systems");
        Medium("NT40\\app\\Setup.exe", "MZ applications for NT 4.0");
    }

    void FlatMedium() {
        Medium("setup.exe", "MZ setup");
        Medium("setup.ini", flow_.setupIni);
        const bool vxd = flow_.optionDialog == 103;
        Medium("OVAUDIO.INF", TestData(vxd ? "vxd/OVAUDIO.INF" : "wdm/OVAUDIO.INF"));
        if (vxd) {
            Medium("ovaudio.vxd", "vxd driver");
            Medium("Mixer.exe", "MZ new mixer");
        } else {
            Medium("ovwdm.sys", "wdm driver");
            Medium("ovaudio.cat", "catalog");
            Medium("Mixer.dat", "MZ new mixer");
        }
        Medium("Readme.txt", "Read me.\r\n");
        Medium("026\\a.026", "026 data");
    }

    void RegistryKeys() {
        const std::string media = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000";
        const std::string resources = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources\\";
        const std::string text =
            "REGEDIT4\r\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio]\r\n"
            "\"SystemFormats\"=\"Radio Quality,CD Quality,Telephone Quality\"\r\n"
            "\"DefaultFormat\"=\"Radio Quality\"\r\n"
            "[HKEY_USERS\\.Default\\Software\\Microsoft\\Multimedia\\Audio]\r\n"
            "\"DefaultFormat\"=\"Radio Quality\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
            "\"Services\"=dword:00000005\r\n"
            "[HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
            "\"Services\"=dword:00000007\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
            "\"SystemTray\"=\"SysTray.Exe\"\r\n"
            "\"PCI Audio Applications\"=\"C:\\\\Program Files\\\\Orvanta\\\\SoundDeck.exe /tray\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
            "\"SourcePath\"=\"" + RegText(scenario_.setupSource) + "\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PCI Audio Applications]\r\n"
            "\"DisplayName\"=\"PCI Audio Applications\"\r\n"
            "\"UninstallString\"=\"C:\\\\Program Files\\\\Orvanta\\\\Uninst.exe\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\PCI Audio Applications\\Mixer]\r\n"
            "\"Path\"=\"" + RegText(scenario_.mixerFolder) + "\"\r\n"
            "[" + media + "]\r\n"
            "\"DriverDesc\"=\"OVX4720/R3DX PCI Audio Device\"\r\n"
            "\"ProviderName\"=\"Orvanta\"\r\n"
            "[" + media + "\\Settings]\r\n"
            "\"EnableLegacy\"=dword:00000003\r\n"
            "[" + media + "\\Drivers\\wave]\r\n"
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0001]\r\n"
            "\"DriverDesc\"=\"Other Audio Device\"\r\n"
            "\"ProviderName\"=\"Other\"\r\n"
            "[" + resources + "wave\\ovaudio.drv<0000>]\r\n"
            "[" + resources + "mixer\\ovaudio.drv<0000>]\r\n"
            "[" + resources + "wave\\other.drv<0001>]\r\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7110&SUBSYS_00000000&REV_02\\BUS_00&DEV_07&FUNC_00]\r\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02\\BUS_00&DEV_0B&FUNC_00]\r\n"
            "\"Class\"=\"MEDIA\"\r\n"
            "\"Driver\"=\"MEDIA\\\\0000\"\r\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\OVX\\CHILD0000]\r\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\SSC-SWMIDI]\r\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\SSC-JOYSTK]\r\n"
            "[HKEY_CLASSES_ROOT\\Audio3D]\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\OVX4720 ASIO]\r\n"
            "\"Description\"=\"OVX4720 ASIO\"\r\n";
        scenario_.registry = vm::Registry::ParseRegFile(text);
    }

    std::string DialogScripts() const {
        std::string scripts = "[Dialogs]\r\n102 = ";
        switch (flow_.plan) {
            case MainDialogPlan::Both: scripts += "ok"; break;
            case MainDialogPlan::DriverOnly: scripts += "click 1001, ok"; break;
            case MainDialogPlan::AppsOnly: scripts += "click 1002, ok"; break;
        }
        // Whichever option dialog opens, Install is pressed after the clicks.
        for (const char* dialog : {"103", "131"}) {
            scripts += std::string("\r\n") + dialog + " = ";
            for (const std::string& click : env_.optionClicks) scripts += click + ", ";
            scripts += "ok";
        }
        return scripts + "\r\n";
    }

    void MachineIni() {
        const std::string media = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\";
        const auto at = [](std::uint64_t ms) { return "reenumeration " + std::to_string(ms) + " = "; };
        std::string ini = std::string("; ") + flow_.description + "\r\n[Machine]\r\nWindows = " +
                          vm::ToString(flow_.version) + "\r\nWindowsFolder = " + env_.windowsFolder +
                          "\r\nProgramPath = E:\\setup.exe\r\nCommandLine = " + flow_.commandLine +
                          "\r\nCurrentDirectory = E:\\\r\nMixerDevices = 1\r\nTimeLimit = " +
                          std::to_string(kLongestRunMs) + "\r\n";
        if (env_.readOnlyMedium) ini += "ReadOnlyDrives = E\r\n";
        ini += "\r\n[Windows]\r\nSoundDeck = SoundDeckFrame\r\nMixer = OVMixerFrame\r\n"
               "\r\n[Devices]\r\n"
               "Device = PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02, PCI\\VEN_1D9C&DEV_0111\r\n"
               "Device = PCI\\VEN_8086&DEV_7110&SUBSYS_00000000&REV_02, PCI\\VEN_8086&DEV_7110\r\n"
               "\r\n[SourceList]\r\nPath = " + scenario_.setupSource + "\r\n"
               "\r\n[Programs]\r\nSYSTRAY.EXE = runs 86400000\r\nUninst.exe = runs " +
               std::to_string(kUninstallerRunsMs) + ", idle 200\r\n\r\n[Answers]\r\n";
        for (int i = 0; i < kPromptOks; ++i) {
            ini += "Please insert the installation CD = OK after " + std::to_string(kPromptAnswerMs) + "\r\n";
        }
        ini += "Please insert the installation CD = Cancel\r\n\r\n" + DialogScripts() + "\r\n[Events]\r\n" +
               at(kInstallerWindowOpensMs) + "window-open Found New Hardware | OVDNINST\r\n" +
               at(kInstallerWindowClosesMs) + "window-close Found New Hardware\r\n" +
               at(kMixerArrivesMs) + "mixer-devices 2\r\n" +
               at(kMixerArrivesMs) + "registry-set " + media + "0002 | DriverDesc | \"OVX4720/R3DX PCI Audio Device\"\r\n" +
               at(kMixerArrivesMs) + "registry-set " + media + "0002\\Settings | EnableLegacy | dword:00000003\r\n" +
               at(kGamePortArrivesMs) + "registry-set " + media + "0003 | DriverDesc | \"OVX4720/R3DX PCI game port\"\r\n" +
               at(kTrayIconBackMs) + "registry-set HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
               "Applets\\Systray | Services | dword:00000005\r\n";
        scenario_.machineIni = ini;
    }

    const Flow& flow_;
    const Environment& env_;
    Scenario scenario_;
};

}  // namespace

// The flows' own waits at their limits (1000 ms polls and 5 quiet ones for
// the installer windows, which close at 9 s; the mixer 60 x 3 s; the tray
// 30 x 2 s; the game port 20 x 2 s), their fixed pauses, the uninstaller
// and the user's answers, with room for the 100 ms pauses of the INF rules.
const std::uint64_t kLongestRunMs = 500 + 500 + 500 + 200 +                 // applications, tray, "Please wait"
                                    kUninstallerRunsMs + 2000 +             // uninstaller and its polls
                                    kPromptOks * kPromptAnswerMs +          // the medium prompt
                                    60 * 3000 +                             // mixer device
                                    (kInstallerWindowClosesMs + 6000) +     // first installer-window wait
                                    2 * 6000 +                              // the later ones
                                    30 * 2000 + 20 * 2000 +                 // tray icon, game port
                                    5000 +                                  // before the final message
                                    5000;                                   // INF rule pauses

const std::vector<Flow>& Flows() {
    static const std::vector<Flow> flows = {
        {"xp-handover", "Windows XP: hand-over to the setup program for 2000/XP", WindowsVersion::WinXP, "",
         "[InstallOption]\r\nDriverOnly=1\r\n", MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"nt4-silent", "Windows NT 4.0 with /DRIVER: silent end", WindowsVersion::NT4, "/DRIVER", kDefaultIni,
         MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"apps-launch", "/AP on Windows 98 SE: applications launch", WindowsVersion::Win98SE, "/AP",
         "[InstallOption]\r\nWindows98SEDriver=1\r\n", MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"driver-95-vxd", "/DRIVER from the medium: VxD on Windows 95", WindowsVersion::Win95, "/DRIVER", kDefaultIni,
         MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"driver-98se-wdm", "/DRIVER from the medium: WDM on Windows 98 SE", WindowsVersion::Win98SE, "/DRIVER",
         "[InstallOption]\r\nWindows98SEDriver=1\r\n", MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"driver-me-wdm", "/DRIVER from the medium: WDM on Windows ME", WindowsVersion::WinME, "/DRIVER", kDefaultIni,
         MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"flat-me", "flat package on Windows ME (WDM)", WindowsVersion::WinME, "",
         "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n", MediumKind::Flat, MainDialogPlan::Both, 0},
        {"options-vxd", "WebSetup=1: VxD option dialog, Install pressed, on Windows 98", WindowsVersion::Win98, "",
         "[InstallOption]\r\nWebSetup=1\r\nFullPackage=0\r\n", MediumKind::Flat, MainDialogPlan::Both, 103},
        {"options-wdm", "WebSetup=1: WDM option dialog, Install pressed, on Windows 98 SE", WindowsVersion::Win98SE,
         "", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n", MediumKind::Flat, MainDialogPlan::Both, 131},
        {"dialog-both", "main dialog, both boxes, on Windows ME (WDM staged)", WindowsVersion::WinME, "", kDefaultIni,
         MediumKind::Grouped, MainDialogPlan::Both, 0},
        {"dialog-driver", "main dialog, driver only, on Windows 98 SE (WDM)", WindowsVersion::Win98SE, "",
         "[InstallOption]\r\nWindows98SEDriver=1\r\n", MediumKind::Grouped, MainDialogPlan::DriverOnly, 0},
        {"dialog-apps", "main dialog, applications only, on Windows 98", WindowsVersion::Win98, "", kDefaultIni,
         MediumKind::Grouped, MainDialogPlan::AppsOnly, 0},
    };
    return flows;
}

std::optional<std::size_t> FindFlow(const std::string& name) {
    const std::vector<Flow>& flows = Flows();
    for (std::size_t i = 0; i < flows.size(); ++i) {
        if (name == flows[i].name) return i;
    }
    return std::nullopt;
}

Environment DefaultEnvironment(const Flow& flow) {
    Environment environment;
    environment.windowsFolder = vm::IsNt(flow.version) ? "C:\\WINNT" : "C:\\WINDOWS";
    return environment;
}

std::string* Scenario::File(const std::string& path) {
    for (auto& [name, bytes] : files) {
        if (vm::Lower(name) == vm::Lower(path)) return &bytes;
    }
    return nullptr;
}

Scenario BuildScenario(const Flow& flow, const Environment& environment) { return Builder(flow, environment).Build(); }

}  // namespace campaign
