// The flows' machines: the campaign's machine folder (machine/) made into
// each flow's, and the bad input a seed chooses.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "fault_campaign/campaign.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/machine_folder.h"

namespace campaign {

namespace {

using vm::WindowsVersion;
const std::string kSource = SETUP_SOURCE_DIR;
const char* const kIni = "[InstallOption]\r\nDriverOnly=0\r\nWebSetup=0\r\n[Default]\r\nUsingCDDA=1\r\n";
const char* const kSe = "[InstallOption]\r\nWindows98SEDriver=1\r\n";

const char* const kBadInputs[] = {"none", "random setup.ini", "random INF files", "NUL bytes in INF files",
    "INF lines of 100,000 characters", "LF line ends in INF files", "CR line ends in INF files", "empty INF files",
    "registry names of 300 characters", "10,000 sub-keys", "registry values of the wrong type",
    "a Windows folder of 200 characters", "a read-only medium", "the medium taken out", "a full disk"};
const char* const kManyKeys[] = {"System\\CurrentControlSet\\Services\\Class\\MEDIA\\%04d", "Enum\\PCI\\VEN_8086&DEV_%08d",
                                 "Enum\\OVX\\CHILD%05d", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App %d"};
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
        {"dialog-apps", WindowsVersion::Win98, "", kIni, false, "click 1002, ok", "P*N?"}};
    return flows;
}

const Flow* FindFlow(const std::string& name) {
    const auto found = std::find_if(Flows().begin(), Flows().end(), [&](const Flow& flow) { return name == flow.name; });
    return found == Flows().end() ? nullptr : &*found;
}

std::string Build(const Flow& flow, std::uint32_t seed, vm::VirtualMachine& m) {
    const auto index = static_cast<std::size_t>(&flow - Flows().data());
    // Seeds walk through the bad inputs and the failure rates together, each flow from another input.
    const int input = seed == 0 ? 0 : static_cast<int>((seed + 3 * index) % std::size(kBadInputs));
    const double rate = kFaultRates[seed % std::size(kFaultRates)];
    std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ull + index);
    const auto below = [&](std::uint64_t n) { return n == 0 ? 0 : random() % n; };
    static const vm::VirtualMachine kBase = [] {
        vm::VirtualMachine base;
        vm::LoadMachineFolder(kSource + "/tools/fault_campaign/machine", base);
        return base;
    }();
    m.vm::VirtualMachine::operator=(kBase);
    std::string& windows = m.settings.windowsFolder;
    if (input == 11) windows += "\\" + std::string(189, 'W');  // 200 characters
    for (const vm::FileSystem::Entry& e : input == 11 ? m.Files().Snapshot() : std::vector<vm::FileSystem::Entry>{}) {
        if (e.path.rfind("C:\\WINDOWS\\", 0) != 0) continue;
        if (!e.directory) m.Files().PutFile(windows + e.path.substr(10), e.content);
    }
    m.settings.version = flow.version;
    m.settings.commandLine = flow.commandLine;
    m.settings.systemFolder = windows + (vm::IsNt(flow.version) ? "\\SYSTEM32" : "\\SYSTEM");
    m.Files().PutDirectory(m.settings.systemFolder);
    if (flow.flat) m.Files().Remove("E:\\");
    const std::filesystem::path flat = kSource + "/examples/flat-package";
    using Walk = std::filesystem::recursive_directory_iterator;
    for (const auto& e : flow.flat ? Walk(flat) : Walk()) {
        const std::string path = Replaced("E:\\" + std::filesystem::relative(e.path(), flat).string(), "/", "\\");
        if (e.is_regular_file()) m.Files().PutFile(path, Read(e.path().string()));
    }
    m.Files().PutFile("E:\\setup.ini", flow.setupIni);
    std::string clicks;  // the option dialogs' boxes the user clicks before Install
    for (std::uint64_t n = below(7); n > 0; --n) clicks += "click " + std::to_string(kClicks[below(7)]) + ", ";
    vm::ApplyMachineIni(std::string("[Dialogs]\n102 = ") + (*flow.mainDialog ? flow.mainDialog : "ok") + "\n103 = " + clicks +
                            "ok\n131 = " + Replaced(clicks, "click 1001, ", "") + "ok\n", "campaign", m);
    // The bad input: INF files (half of them, at least one), setup.ini, the registry, the medium, the disk.
    std::size_t infs = 0, surely = below(6);
    const std::vector<vm::FileSystem::Entry> files = input >= 1 && input <= 7 ? m.Files().Snapshot() : decltype(files){};
    for (const vm::FileSystem::Entry& file : files) {
        const bool ini = vm::Lower(file.path) == "e:\\setup.ini";
        if (!ini && (vm::Lower(file.path).find(".inf") == std::string::npos || (infs++ != surely && below(2)))) continue;
        if (ini != (input == 1)) continue;
        std::string text = input <= 2 ? std::string(below(4096), '\0') : file.content;
        const auto line = [&] { return text.find('\n', below(text.size() + 1)) + 1; };
        for (char& c : text) c = input <= 2 ? static_cast<char>(random()) : c;
        for (std::uint64_t n = input == 3 ? 1 + below(8) : 0; n > 0; --n) {
            text.insert(n < 3 ? line() : below(text.size() + 1), 1, '\0');  // some at a line's start
        }
        for (std::uint64_t n = input == 4 ? 1 + below(3) : 0; n > 0; --n) {
            text.insert(line(), std::string(100000, 'x') + (below(2) ? "\r\n" : ""));
        }
        if (input == 5 || input == 6) text = Replaced(text, "\r\n", input == 5 ? "\n" : "\r");
        m.Files().PutFile(file.path, input == 7 ? "" : text);
    }
    const std::string reg = kSource + "/tools/fault_campaign/bad/" + (input == 8 ? "long-names.reg" : "wrong-types.reg");
    if (input == 8 || input == 10) m.Reg().ImportRegFile(Read(reg));
    for (int i = 1000, parent = static_cast<int>(below(4)); input == 9 && i < 11000; ++i) {
        char key[128];
        std::snprintf(key, sizeof key, kManyKeys[parent], i);
        vm::Registry::SetValue(*m.Reg().Create(platform::HKEY_LOCAL_MACHINE, key), "DriverDesc", 1, "x");
    }
    m.Files().SetDriveReadOnly('E', input == 12);
    if (input == 13) vm::ApplyMachineIni("[Events]\nat " + std::to_string(below(20000)) + " = file-remove E:\\\n", "", m);
    for (const char* operation : {"CopyFile", "WritePrivateProfileString", "CreateDirectory"}) {
        for (std::uint64_t call = 1 + below(30); input == 14 && call < 400; ++call) m.Faults().push_back({operation, call});
    }
    if (rate > 0) m.SetRandomFaults(rate, seed);
    return std::string(kBadInputs[input]) + ", faults " + std::to_string(static_cast<int>(rate * 100)) + "%";
}

}  // namespace campaign
