#include "campaign/bad_inputs.h"

#include <cstdio>
#include <functional>

#include "platform/vm/ini_text.h"

namespace campaign {

namespace {

using vm::Registry;

constexpr platform::HKey kHklm = platform::HKEY_LOCAL_MACHINE;
const std::string kMedia = "System\\CurrentControlSet\\Services\\Class\\MEDIA";
const std::string kResources = "System\\CurrentControlSet\\control\\MediaResources\\";
const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::size_t kLongName = 300;
constexpr std::size_t kManySubKeys = 10000;
constexpr std::size_t kLongLine = 100000;
constexpr std::size_t kLongWindowsFolder = 200;

std::string Numbered(const char* format, std::size_t number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// A name of exactly kLongName characters that begins with prefix and ends
// with suffix.
std::string LongName(const std::string& prefix, const std::string& suffix = "") {
    return prefix + std::string(kLongName - prefix.size() - suffix.size(), 'x') + suffix;
}

bool IsInf(const std::string& path) { return vm::Lower(path).find(".inf") != std::string::npos; }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Offsets just after a line end, and 0.
std::vector<std::size_t> LineStarts(const std::string& text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') starts.push_back(i + 1);
    }
    return starts;
}

std::string Mutated(BadInput input, const std::string& inf, Random& random) {
    switch (input) {
        case BadInput::InfRandomBytes: return random.Bytes(random.Below(4096));
        case BadInput::InfNulBytes: {
            std::string text = inf;
            // Some land inside the lines the rules look for.
            for (const char* line : {"HKR,Config,DISMPU", "\"JackConfig\"", "[SourceDisksNames]"}) {
                const std::size_t at = text.find(line);
                if (at != std::string::npos && random.OneIn(2)) text.insert(at + random.Below(10), 1, '\0');
            }
            for (std::uint64_t n = 1 + random.Below(8); n > 0; --n) text.insert(random.Below(text.size() + 1), 1, '\0');
            return text;
        }
        case BadInput::InfLongLines: {
            std::string text = inf;
            for (std::uint64_t n = 1 + random.Below(3); n > 0; --n) {
                const std::vector<std::size_t> starts = LineStarts(text);
                const std::size_t at = starts[random.Below(starts.size())];
                const char fill = random.OneIn(2) ? 'x' : ';';
                // Either a line of its own or an existing line made long.
                text.insert(at, random.OneIn(2) ? std::string(kLongLine, fill) + "\r\n" : std::string(kLongLine, fill));
            }
            return text;
        }
        case BadInput::InfLfLineEnds: return Replaced(inf, "\r\n", "\n");
        case BadInput::InfCrLineEnds: return Replaced(inf, "\r\n", "\r");
        case BadInput::InfEmpty: return "";
        default: return inf;
    }
}

// Every INF file of the machine, on the medium and in Windows, half of them
// (at least one) broken the same way.
void BreakInfFiles(BadInput input, Scenario& scenario, Random& random) {
    std::vector<std::string*> infs;
    for (auto& [path, bytes] : scenario.files) {
        if (IsInf(path)) infs.push_back(&bytes);
    }
    const std::size_t surely = random.Below(infs.size());
    for (std::size_t i = 0; i < infs.size(); ++i) {
        if (i == surely || random.OneIn(2)) *infs[i] = Mutated(input, *infs[i], random);
    }
}

// The keys go in before everything else (so that enumerations meet them
// first) or after it.
void AddKeys(Scenario& scenario, Random& random, const std::function<void(Registry&)>& add) {
    if (random.OneIn(2)) {
        add(scenario.registry);
        return;
    }
    Registry first;
    add(first);
    first.ImportRegFile(scenario.registry.ExportRegFile());
    scenario.registry = first;
}

void SetSz(Registry& registry, platform::HKey root, const std::string& path, const std::string& name,
           const std::string& text) {
    Registry::SetValue(*registry.Create(root, path), name, platform::REG_SZ, Registry::SzData(text));
}

void LongRegistryNames(Scenario& scenario, Random& random) {
    AddKeys(scenario, random, [](Registry& registry) {
        registry.Create(kHklm, "Enum\\PCI\\" + LongName("VEN_1D9C&DEV_0111&SUBSYS_"));
        registry.Create(kHklm, "Enum\\OVX\\" + LongName("CHILD"));
        registry.Create(kHklm, kMedia + "\\" + LongName("0009"));
        registry.Create(kHklm, kResources + "wave\\" + LongName("ovaudio.drv<", "0000>"));
        registry.Create(kHklm, kUninstall + "\\" + LongName("PCI Audio "));
        SetSz(registry, kHklm, kMedia + "\\0000", LongName("Provider"), "Orvanta");
        SetSz(registry, platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Audio", "SystemFormats",
              LongName("CD ", ",CD Quality"));
    });
    // Values longer than the program's buffers.
    if (random.OneIn(2)) {
        SetSz(scenario.registry, kHklm, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath",
              LongName("C:\\"));
        SetSz(scenario.registry, kHklm, "Software\\PCI Audio Applications\\Mixer", "Path", LongName("C:\\"));
        SetSz(scenario.registry, kHklm, kUninstall + "\\PCI Audio Applications", "UninstallString",
              LongName("C:\\Program Files\\Orvanta\\", ".exe"));
    }
}

void ManySubKeys(Scenario& scenario, Random& random) {
    struct Target {
        std::string parent;
        const char* format;
    };
    const Target targets[] = {
        {kMedia, "%04zu"},
        {"Enum\\PCI", "VEN_8086&DEV_%08zu"},
        {kResources + "wave", "drv%zu.drv<9999>"},
        {"Enum\\OVX", "OTHER%05zu"},
        {"Enum\\OVX", "CHILD%05zu"},
        {kUninstall, "Application %zu"},
    };
    const Target& target = targets[random.Below(std::size(targets))];
    AddKeys(scenario, random, [&target](Registry& registry) {
        for (std::size_t i = 0; i < kManySubKeys; ++i) {
            // Past the scenario's own names, which they would otherwise meet.
            Registry::Key* key = registry.Create(kHklm, target.parent + "\\" + Numbered(target.format, 1000 + i));
            if (target.parent == kMedia) SetSz(registry, kHklm, target.parent + "\\" + key->name, "DriverDesc", "x");
        }
    });
}

void WrongValueTypes(Scenario& scenario, Random& random) {
    struct Wrong {
        platform::HKey root;
        std::string path;
        const char* name;
        std::uint32_t type;
        std::string data;
    };
    const std::string systray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
    const std::vector<Wrong> wrongs = {
        {platform::HKEY_CURRENT_USER, systray, "Services", platform::REG_SZ, Registry::SzData("5")},
        {platform::HKEY_USERS, ".DEFAULT\\" + systray, "Services", platform::REG_BINARY, std::string("\x07", 1)},
        {kHklm, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath", platform::REG_DWORD,
         Registry::DwordData(7)},
        {platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Audio", "SystemFormats", platform::REG_DWORD,
         Registry::DwordData(0x4443)},
        {kHklm, kMedia + "\\0000", "ProviderName", platform::REG_BINARY, "ORVANTA"},
        {kHklm, kMedia + "\\0000", "DriverDesc", platform::REG_DWORD, Registry::DwordData(1)},
        {kHklm, kMedia + "\\0000\\Settings", "EnableLegacy", platform::REG_SZ, Registry::SzData("3")},
        {kHklm, kUninstall + "\\PCI Audio Applications", "UninstallString", platform::REG_DWORD, Registry::DwordData(2)},
        {kHklm, "Software\\PCI Audio Applications\\Mixer", "Path", platform::REG_BINARY, "C:\\OVMIXER"},
        {kHklm, "Software\\Orvanta\\Mixer", "Path", platform::REG_MULTI_SZ, std::string("C:\\OVMIXER\0\0", 12)},
    };
    for (const Wrong& wrong : wrongs) {
        if (random.OneIn(3)) continue;
        Registry::SetValue(*scenario.registry.Create(wrong.root, wrong.path), wrong.name, wrong.type, wrong.data);
    }
}

// "C:\" and folders of long names up to exactly kLongWindowsFolder characters.
std::string LongWindowsFolder() {
    std::string folder = "C:\\WINDOWS";
    for (std::size_t n = 0; folder.size() < kLongWindowsFolder; ++n) {
        folder += Numbered("\\Windows Installation Folder %02zu", n);
    }
    folder.resize(kLongWindowsFolder);
    if (folder.back() == '\\' || folder.back() == ' ') folder.back() = 'W';
    return folder;
}

}  // namespace

const char* ToString(BadInput input) {
    switch (input) {
        case BadInput::None: return "none";
        case BadInput::SetupIniRandomBytes: return "setup.ini of random bytes";
        case BadInput::InfRandomBytes: return "INF files of random bytes";
        case BadInput::InfNulBytes: return "INF files with NUL bytes";
        case BadInput::InfLongLines: return "INF files with lines of 100,000 characters";
        case BadInput::InfLfLineEnds: return "INF files with LF line ends";
        case BadInput::InfCrLineEnds: return "INF files with CR line ends";
        case BadInput::InfEmpty: return "empty INF files";
        case BadInput::RegistryLongNames: return "registry names of 300 characters";
        case BadInput::RegistryManySubKeys: return "10,000 sub-keys under one key";
        case BadInput::RegistryWrongTypes: return "registry values of the wrong type";
        case BadInput::LongWindowsFolder: return "Windows folder path of 200 characters";
        case BadInput::ReadOnlyMedium: return "medium on a read-only drive";
        case BadInput::MediumTakenOut: return "medium taken out while staging";
        case BadInput::FullDisk: return "full disk";
    }
    return "?";
}

void Prepare(BadInput input, Environment& environment, Random& /*random*/) {
    if (input == BadInput::LongWindowsFolder) environment.windowsFolder = LongWindowsFolder();
    if (input == BadInput::ReadOnlyMedium) environment.readOnlyMedium = true;
}

void Apply(BadInput input, Scenario& scenario, Random& random) {
    switch (input) {
        case BadInput::SetupIniRandomBytes:
            if (std::string* ini = scenario.File("E:\\setup.ini")) *ini = random.Bytes(random.Below(2048));
            break;
        case BadInput::InfRandomBytes:
        case BadInput::InfNulBytes:
        case BadInput::InfLongLines:
        case BadInput::InfLfLineEnds:
        case BadInput::InfCrLineEnds:
        case BadInput::InfEmpty: BreakInfFiles(input, scenario, random); break;
        case BadInput::RegistryLongNames: LongRegistryNames(scenario, random); break;
        case BadInput::RegistryManySubKeys: ManySubKeys(scenario, random); break;
        case BadInput::RegistryWrongTypes: WrongValueTypes(scenario, random); break;
        case BadInput::MediumTakenOut:
            scenario.mediumMayVanish = true;
            if (random.OneIn(2)) {
                scenario.mediumTakenOutAtCopy = 1 + random.Below(12);
            } else {
                // Early: the staging comes after the first pauses.
                scenario.machineIni += "at " + std::to_string(random.Below(3000)) + " = file-remove E:\\\r\n";
            }
            break;
        case BadInput::FullDisk: scenario.diskFreeBytes = random.Below(48 * 1024); break;
        case BadInput::None:
        case BadInput::LongWindowsFolder:
        case BadInput::ReadOnlyMedium: break;
    }
}

}  // namespace campaign
