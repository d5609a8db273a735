// Loading a machine folder from the host's disk, and saving one.
#include "platform/vm/machine_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/vm/code_page.h"
#include "platform/vm/ini_text.h"

namespace vm {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMachineIni = "machine.ini";
constexpr const char* kRegistry = "registry.reg";
// Git keeps no empty folders; a ".keep" file stands in for the folder.
constexpr const char* kKeepFile = ".keep";

std::string ReadOrThrow(const fs::path& path) {
    std::optional<std::string> bytes = ReadHostFile(path.string());
    if (!bytes) throw MachineFolderError(path.string(), 0, "cannot be read");
    return std::move(*bytes);
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw MachineFolderError(path.string(), 0, "cannot be written");
}

bool IsDriveFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return entry.is_directory() && name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]));
}

// Sorted, so that short names and enumeration order do not depend on the
// host file system's order.
std::vector<fs::directory_entry> SortedEntries(const fs::path& folder) {
    std::vector<fs::directory_entry> entries(fs::directory_iterator(folder), fs::directory_iterator{});
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    return entries;
}

void LoadFolder(const fs::path& hostFolder, const std::string& virtualFolder, bool readOnly, FileSystem& files) {
    for (const fs::directory_entry& entry : SortedEntries(hostFolder)) {
        const std::string name = entry.path().filename().string();
        const std::string path = virtualFolder + "\\" + name;
        if (entry.is_directory()) {
            files.PutDirectory(path);
            LoadFolder(entry.path(), path, readOnly, files);
        } else if (name != kKeepFile) {
            files.PutFile(path, ReadOrThrow(entry.path()),
                          readOnly ? platform::FILE_ATTRIBUTE_READONLY : platform::FILE_ATTRIBUTE_ARCHIVE);
        }
    }
}

std::string AttributeLetters(std::uint32_t attributes) {
    std::string letters;
    if (attributes & platform::FILE_ATTRIBUTE_READONLY) letters += "R ";
    if (attributes & platform::FILE_ATTRIBUTE_HIDDEN) letters += "H ";
    if (attributes & platform::FILE_ATTRIBUTE_SYSTEM) letters += "S ";
    if (attributes & platform::FILE_ATTRIBUTE_ARCHIVE) letters += "A ";
    if (!letters.empty()) letters.pop_back();
    return letters;
}

// The clock as machine.ini gives it: "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText(const platform::LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

std::string SavedMachineIni(VirtualMachine& machine) {
    const MachineSettings& s = machine.settings;
    std::ostringstream ini;
    ini << "; Saved by setupsim after a run.\n[Machine]\n"
        << "Windows = " << ToString(s.version) << "\nLanguage = " << s.language
        << "\nWindowsFolder = " << s.windowsFolder << "\nSystemFolder = " << s.systemFolder
        << "\nProgramPath = " << s.programPath << "\nCommandLine = " << s.commandLine
        << "\nCurrentDirectory = " << s.currentDirectory << "\nMixerDevices = " << s.mixerDevices
        << "\nSetupApi = " << (s.setupApi ? "yes" : "no") << "\nStartTime = " << LocalTimeText(machine.GetLocalTime()) << "\n";
    std::string readOnly;
    for (char drive : machine.Files().Drives()) {
        if (machine.Files().IsDriveReadOnly(drive)) readOnly += std::string(readOnly.empty() ? "" : ", ") + drive;
    }
    if (!readOnly.empty()) ini << "ReadOnlyDrives = " << readOnly << "\n";
    ini << "\n[Attributes]\n";
    for (const FileSystem::Entry& entry : machine.Files().Snapshot()) {
        const std::uint32_t usual = machine.Files().IsDriveReadOnly(entry.path[0])
                                        ? platform::FILE_ATTRIBUTE_READONLY
                                        : platform::FILE_ATTRIBUTE_ARCHIVE;
        if (!entry.directory && entry.attributes != usual) {
            const std::string letters = AttributeLetters(entry.attributes);
            // No letter at all means "normal"; say so with A cleared.
            ini << entry.path << " = " << (letters.empty() ? "" : letters) << "\n";
        }
    }
    ini << "\n[Windows]\n";
    for (const TopLevelWindow& window : machine.Windows()) {
        if (window.open) ini << window.title << " = " << window.className << "\n";
    }
    ini << "\n[Devices]\n";
    for (const Device& device : machine.Devices()) {
        if (!device.present) continue;
        ini << "Device = ";
        for (std::size_t i = 0; i < device.hardwareIds.size(); ++i) ini << (i ? ", " : "") << device.hardwareIds[i];
        ini << "\n";
    }
    ini << "\n[SourceList]\n";
    for (const std::string& path : machine.SourceList()) ini << "Path = " << path << "\n";
    return ini.str();
}

}  // namespace

void LoadMachineFolder(const std::string& folder, VirtualMachine& machine) {
    const fs::path root(folder);
    if (!fs::is_directory(root)) throw MachineFolderError(folder, 0, "is not a folder");
    const fs::path iniPath = root / kMachineIni;
    if (!fs::exists(iniPath)) throw MachineFolderError(iniPath.string(), 0, "is missing; every machine folder needs one");
    const std::string iniText = ReadOrThrow(iniPath);

    // Read-only drives are named in machine.ini; look them up before the
    // files go in, which on such a drive are read-only.
    // So is the language, whose code page a Unicode registry file is read in.
    std::string readOnlyDrives, language;
    for (const IniLine& line : ParseIniText(iniText, iniPath.string())) {
        if (Lower(line.section) == "machine" && Lower(line.key) == "readonlydrives") readOnlyDrives = line.value;
        if (Lower(line.section) == "machine" && Lower(line.key) == "language") language = line.value;
    }
    auto readOnly = [&](char drive) {
        return readOnlyDrives.find(drive) != std::string::npos ||
               readOnlyDrives.find(static_cast<char>(std::tolower(static_cast<unsigned char>(drive)))) != std::string::npos;
    };

    for (const fs::directory_entry& entry : SortedEntries(root)) {
        if (!IsDriveFolder(entry)) continue;
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(entry.path().filename().string()[0])));
        machine.Files().AddDrive(drive);
        LoadFolder(entry.path(), std::string(1, drive) + ":", readOnly(drive), machine.Files());
    }
    const fs::path regPath = root / kRegistry;
    if (fs::exists(regPath)) {
        try {
            machine.Reg() = Registry::ParseRegFile(ReadOrThrow(regPath), CodePageOf(language));
        } catch (const Registry::ParseError& error) {
            throw MachineFolderError(regPath.string(), error.line, error.what());
        }
    }
    ApplyMachineIni(iniText, iniPath.string(), machine);
}

void LoadHostFolder(const std::string& hostFolder, const std::string& virtualFolder, bool readOnly, FileSystem& files) {
    LoadFolder(hostFolder, virtualFolder, readOnly, files);
}

void SaveMachineFolder(VirtualMachine& machine, const std::string& folder) {
    const fs::path root(folder);
    std::error_code error;
    fs::create_directories(root, error);
    if (error) throw MachineFolderError(folder, 0, "cannot be created: " + error.message());
    for (const fs::directory_entry& entry : SortedEntries(root)) {
        const std::string name = entry.path().filename().string();
        if (IsDriveFolder(entry) || name == kMachineIni || name == kRegistry) fs::remove_all(entry.path());
    }
    for (char drive : machine.Files().Drives()) fs::create_directories(root / std::string(1, drive));
    for (const FileSystem::Entry& entry : machine.Files().Snapshot()) {
        std::string relative = entry.path.substr(0, 1) + entry.path.substr(2);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        const fs::path host = root / relative;
        if (entry.directory) {
            fs::create_directories(host);
        } else {
            fs::create_directories(host.parent_path());
            WriteHostFile(host, entry.content);
        }
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_directory() && fs::is_empty(entry.path())) WriteHostFile(entry.path() / kKeepFile, "");
    }
    std::string registry;
    try {
        registry = machine.Reg().ExportRegFile();
    } catch (const std::exception& error) {
        throw MachineFolderError((root / kRegistry).string(), 0, error.what());
    }
    WriteHostFile(root / kRegistry, registry);
    WriteHostFile(root / kMachineIni, SavedMachineIni(machine));
}

std::optional<std::string> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace vm
