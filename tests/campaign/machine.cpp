// The flows' machines: the example Windows 98 SE machine with an earlier
// driver, made into each flow's, and the bad input a seed chooses.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "campaign/campaign.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/machine_folder.h"

namespace campaign {

namespace {

using vm::WindowsVersion;
const std::string kSource = SETUP_SOURCE_DIR;
const char* const kIni = "[InstallOption]\r\nDriverOnly=0\r\nWebSetup=0\r\n[Default]\r\nUsingCDDA=1\r\n";
const char* const kSe = "[InstallOption]\r\nWindows98SEDriver=1\r\n";
const std::string kMedia = "System\\CurrentControlSet\\Services\\Class\\MEDIA\\";

// The flows' bounded waits at their limits (uninstaller, prompts, mixer,
// installer windows, tray icon, game port, pauses): a run taking longer hangs.
constexpr std::uint64_t kLongestRunMs = 5000 + 4000 + 60 * 3000 + 27000 + 30 * 2000 + 20 * 2000 + 11700;

// Other makers' INF files that the cleanup must leave alone, an earlier
// driver's, the system's kernel-streaming ones; "@" names test data.
const char* const kFiles[][2] = {{"INF\\OEM2.INF", "[Strings]\r\nSSC-Legacy.DeviceDesc=\"Modem\"\r\n"},
    {"INF\\OEM2.PNF", "p"}, {"INF\\OVMODEM.INF", "[Strings]\r\nWDM_OVPCI.Wave.szPname=\"Ovation\"\r\n"},
    {"INF\\OTHER\\OEM1.INF", "@vxd/OVAUDIO.INF"}, {"INF\\OTHER\\OEM1.PNF", "p"}, {"INF\\OEM3.INF", "@wdm/OVAUDIO.INF"},
    {"INF\\ks.inf", "@system/ks.inf"}, {"INF\\wdmaudio.inf", "@system/wdmaudio.inf"},
    {"INF\\ksfilter.inf", "@system/ksfilter.inf"}, {"INF\\Drvdata.bin", "d"}, {"SYSTEM\\OVAUDIO.VXD", "v"},
    {"E:\\W95-98\\drv\\95\\OVAUDIO.INF", "@vxd/OVAUDIO.INF"}, {"E:\\W95-98\\drv\\98\\OVAUDIO.INF", "@vxd/OVAUDIO.INF"},
    {"E:\\W2K-ME\\drv\\OVAUDIO.INF", "@wdm/OVAUDIO.INF"}, {"C:\\OVMIXER\\Mixer.exe", "MZ"}};
// The uninstaller, the user's answers, the new driver's keys arriving.
const std::string kMore = "[Machine]\nTimeLimit = " + std::to_string(kLongestRunMs) +
    "\n[Programs]\nUninst.exe = runs 3000, idle 200\n[Answers]\nPlease insert the installation CD = OK after 2000\n"
    "Please insert the installation CD = OK after 2000\nPlease insert the installation CD = Cancel\n[Events]\n"
    "reenumeration 7000 = registry-set HKLM\\" + kMedia + "0002 | DriverDesc | \"OVX4720/R3DX PCI Audio Device\"\n"
    "reenumeration 7000 = registry-set HKLM\\" + kMedia + "0002\\Settings | EnableLegacy | dword:00000003\n"
    "reenumeration 12000 = registry-set HKLM\\" + kMedia + "0003 | DriverDesc | \"OVX4720/R3DX PCI game port\"\n"
    "reenumeration 15000 = registry-set HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray"
    " | Services | dword:00000005\n";

const char* const kBadInputs[] = {"none", "setup.ini of random bytes", "INF files of random bytes",
    "INF files with NUL bytes", "INF files with lines of 100,000 characters", "INF files with LF line ends",
    "INF files with CR line ends", "empty INF files", "registry names of 300 characters",
    "10,000 sub-keys under one key", "registry values of the wrong type", "a Windows folder of 200 characters",
    "a read-only medium", "the medium taken out while staging", "a full disk"};
constexpr double kFaultRates[] = {0.0, 0.02, 0.08, 0.25};
constexpr int kClicks[] = {1006, 1007, 1011, 1012, 1013, 1000, 1001};  // 1001: the VxD dialog's game port

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Registry writes of the bad inputs: names of 300 characters and values
// longer than the program's buffers ("~"), values of the wrong type.
const struct {
    int input;
    const char* key;
    const char* name;
    std::uint32_t type;
    const char* data;
} kRegistry[] = {{8, "Enum\\PCI\\VEN_1D9C&DEV_0111&SUBSYS_~", "", platform::REG_SZ, ""},
    {8, "Enum\\OVX\\CHILD~", "", platform::REG_SZ, ""}, {8, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PCI~", "", platform::REG_SZ, ""},
    {8, "System\\CurrentControlSet\\control\\MediaResources\\wave\\ovaudio.drv<~", "", platform::REG_SZ, ""},
    {8, "System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000", "Provider~", platform::REG_SZ, "Orvanta"},
    {8, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath", platform::REG_SZ, "C:\\~"},
    {8, "Software\\PCI Audio Applications\\Mixer", "Path", platform::REG_SZ, "C:\\~"},
    {10, "System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000", "DriverDesc", platform::REG_DWORD, "\1\0\0"},
    {10, "System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000\\Settings", "EnableLegacy", platform::REG_SZ, "3"},
    {10, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath", platform::REG_DWORD, "\7\0\0"},
    {10, "Software\\PCI Audio Applications\\Mixer", "Path", platform::REG_BINARY, "C:\\OVMIXER"}};

struct Breaker {
    vm::VirtualMachine& m;
    std::mt19937_64 random;
    std::uint64_t Below(std::uint64_t n) { return n == 0 ? 0 : random() % n; }

    std::string Broken(int input, std::string text) {
        const auto line = [&] { return text.find('\n', Below(text.size() + 1)) + 1; };
        if (input <= 2) text.resize(Below(4096));
        for (char& c : text) c = input <= 2 ? static_cast<char>(random()) : c;
        for (std::uint64_t n = input == 3 ? 1 + Below(8) : 0; n > 0; --n) text.insert(n < 3 ? line() : Below(text.size() + 1), 1, '\0');
        for (std::uint64_t n = input == 4 ? 1 + Below(3) : 0; n > 0; --n) text.insert(line(), std::string(100000, 'x') + (Below(2) ? "\r\n" : ""));
        return input == 5 || input == 6 ? Replaced(text, "\r\n", input == 5 ? "\n" : "\r") : input == 7 ? "" : text;
    }

    void Apply(int input) {
        if (input == 1) m.Files().PutFile("E:\\setup.ini", Broken(1, ""));
        std::size_t n = 0, surely = Below(6);  // half the INF files, at least one
        for (const vm::FileSystem::Entry& file : input >= 2 && input <= 7 ? m.Files().Snapshot() : std::vector<vm::FileSystem::Entry>{}) {
            if (vm::Lower(file.path).find(".inf") != std::string::npos && (n++ == surely || Below(2))) {
                m.Files().PutFile(file.path, Broken(input, file.content));
            }
        }
        for (const auto& w : kRegistry) {
            const auto x = [](const char* text) { return Replaced(text, "~", std::string(300, 'x')); };
            if (w.input == input) vm::Registry::SetValue(*m.Reg().Create(platform::HKEY_LOCAL_MACHINE, x(w.key)), x(w.name), w.type, x(w.data));
        }
        const char* parents[] = {"System\\CurrentControlSet\\Services\\Class\\MEDIA\\%04d", "Enum\\PCI\\VEN_8086&DEV_%08d",
                                 "Enum\\OVX\\CHILD%05d", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App %d"};
        for (int i = 1000, parent = static_cast<int>(Below(4)); input == 9 && i < 11000; ++i) {
            char key[128];
            std::snprintf(key, sizeof key, parents[parent], i);
            vm::Registry::SetValue(*m.Reg().Create(platform::HKEY_LOCAL_MACHINE, key), "DriverDesc", platform::REG_SZ, "x");
        }
        m.Files().SetDriveReadOnly('E', input == 12);
        if (input == 13) vm::ApplyMachineIni("[Events]\nat " + std::to_string(Below(20000)) + " = file-remove E:\\\n", "", m);
        for (const char* operation : {"CopyFile", "WritePrivateProfileString", "CreateDirectory"}) {
            for (std::uint64_t call = 1 + Below(30); input == 14 && call < 400; ++call) m.Faults().push_back({operation, call});
        }
    }
};

}  // namespace

const std::vector<Flow>& Flows() {
    static const std::vector<Flow> flows = {
        {"xp-handover", WindowsVersion::WinXP, "", "[InstallOption]\r\nDriverOnly=1\r\n", false, "", ""},
        {"nt4-silent", WindowsVersion::NT4, "/DRIVER", kIni, false, "", ""},
        {"apps-launch", WindowsVersion::Win98SE, "/AP", kSe, false, "", ""},
        {"driver-95-vxd", WindowsVersion::Win95, "/DRIVER", kIni, false, "", ""},
        {"driver-98se-wdm", WindowsVersion::Win98SE, "/DRIVER", kSe, false, "", ""},
        {"driver-me-wdm", WindowsVersion::WinME, "/DRIVER", kIni, false, "", ""},
        {"flat-me", WindowsVersion::WinME, "", "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n", true, "", ""},
        {"options-vxd", WindowsVersion::Win98, "", "[InstallOption]\r\nWebSetup=1\r\nFullPackage=0\r\n", true, "", ""},
        {"options-wdm", WindowsVersion::Win98SE, "", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n", true, "", ""},
        {"dialog-both", WindowsVersion::WinME, "", kIni, false, "ok", "P*C?"},
        {"dialog-driver", WindowsVersion::Win98SE, "", kSe, false, "click 1001, ok", "AC"},
        {"dialog-apps", WindowsVersion::Win98, "", kIni, false, "click 1002, ok", "P*N?"},
    };
    return flows;
}

const Flow* FindFlow(const std::string& name) {
    for (const Flow& flow : Flows()) {
        if (name == flow.name) return &flow;
    }
    return nullptr;
}

std::string Build(const Flow& flow, std::uint32_t seed, vm::VirtualMachine& m) {
    const std::size_t index = static_cast<std::size_t>(&flow - Flows().data());
    // Seeds walk through the bad inputs and the failure rates together, each flow from another input.
    const int input = seed == 0 ? 0 : static_cast<int>((seed + 3 * index) % std::size(kBadInputs));
    const double rate = kFaultRates[seed % std::size(kFaultRates)];
    Breaker breaker{m, std::mt19937_64(seed * 0x9E3779B97F4A7C15ull + index)};
    vm::LoadMachineFolder(kSource + "/examples/win98se-cd", m);
    std::string& windows = m.settings.windowsFolder;
    for (int n = 0; input == 11 && windows.size() < 200; ++n) windows += "\\Windows Installation Folder " + std::to_string(n);
    windows.resize(std::min<std::size_t>(windows.size(), 200));
    if (windows.back() == ' ' || windows.back() == '\\') windows.back() = 'W';
    m.settings.version = flow.version;
    m.settings.commandLine = flow.commandLine;
    m.settings.systemFolder = windows + (vm::IsNt(flow.version) ? "\\SYSTEM32" : "\\SYSTEM");
    m.Files().PutDirectory(m.settings.systemFolder);
    for (const auto& [path, text] : kFiles) {
        m.Files().PutFile(path[1] == ':' ? path : windows + "\\" + path,
                          text[0] == '@' ? Read(kSource + "/tests/data/inf/" + (text + 1)) : text);
    }
    if (flow.flat) m.Files().Remove("E:\\");
    const std::filesystem::path flat = kSource + "/examples/flat-package";
    for (const auto& e : flow.flat ? std::filesystem::recursive_directory_iterator(flat) : std::filesystem::recursive_directory_iterator()) {
        const std::string path = Replaced("E:\\" + std::filesystem::relative(e.path(), flat).string(), "/", "\\");
        if (e.is_regular_file()) m.Files().PutFile(path, Read(e.path().string()));
    }
    m.Files().PutFile("E:\\setup.ini", flow.setupIni);
    m.Reg().ImportRegFile("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\PCI Audio Applications\\Mixer]\r\n\"Path\"=\"C:\\\\OVMIXER\"\r\n"
                          "[HKEY_LOCAL_MACHINE\\" + kMedia + "0001]\r\n\"DriverDesc\"=\"Other Audio Device\"\r\n");
    std::string clicks;
    for (std::uint64_t n = breaker.Below(7); n > 0; --n) clicks += "click " + std::to_string(kClicks[breaker.Below(7)]) + ", ";
    vm::ApplyMachineIni(kMore + "[Dialogs]\n102 = " + (*flow.mainDialog ? flow.mainDialog : "ok") + "\n103 = " + clicks +
                            "ok\n131 = " + Replaced(clicks, "click 1001, ", "") + "ok\n", "campaign", m);
    breaker.Apply(input);
    if (rate > 0) m.SetRandomFaults(rate, seed);
    return std::string(kBadInputs[input]) + ", faults " + std::to_string(static_cast<int>(rate * 100)) + "%";
}

}  // namespace campaign
