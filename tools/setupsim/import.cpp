#include "setupsim/import.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/journal/journal_text.h"
#include "platform/vm/code_page.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/machine_folder.h"
#include "setupsim/dir_listing.h"
#include "setupsim/undo.h"

namespace setupsim {

namespace {

namespace fs = std::filesystem;

std::string ReadHost(const std::string& path, const char* what) {
    std::optional<std::string> bytes = vm::ReadHostFile(path);
    if (!bytes) throw ImportError(std::string("cannot read the ") + what + " " + path);
    return std::move(*bytes);
}

// The value after "; name: " in the log's header.
std::optional<std::string> HeaderValue(const std::vector<std::string>& lines, const std::string& name) {
    const std::string start = "; " + name + ": ";
    for (const std::string& line : lines) {
        if (line.compare(0, start.size(), start) == 0) return line.substr(start.size());
    }
    return std::nullopt;
}

// "platform 1, version 4.10.2222, ..." as the machine names the system.
vm::WindowsVersion VersionFrom(const std::string& text) {
    int platform = 0, major = 0, minor = 0, build = 0;
    if (std::sscanf(text.c_str(), "platform %d, version %d.%d.%d", &platform, &major, &minor, &build) != 4) {
        throw ImportError("the log's header gives no Windows version: " + text);
    }
    if (platform == 2) return major < 5 ? vm::WindowsVersion::NT4 : minor == 0 && major == 5 ? vm::WindowsVersion::Win2000 : vm::WindowsVersion::WinXP;
    if (minor >= 90) return vm::WindowsVersion::WinME;
    if (minor >= 10) return build >= 2222 ? vm::WindowsVersion::Win98SE : vm::WindowsVersion::Win98;
    return vm::WindowsVersion::Win95;
}

void ApplyHeader(const std::vector<std::string>& lines, vm::VirtualMachine& machine) {
    const std::optional<std::string> windows = HeaderValue(lines, "Windows"), command = HeaderValue(lines, "command line");
    if (!windows || !command) throw ImportError("the log has no header (a log of setup.exe 2.5 or later is needed)");
    vm::MachineSettings& s = machine.settings;
    s.version = VersionFrom(*windows);
    // The program's path ends at its ".exe"; what follows is the command line.
    const std::size_t exe = vm::Lower(*command).find(".exe");
    const std::size_t end = exe == std::string::npos ? command->find(' ') : exe + 4;
    s.programPath = command->substr(0, end);
    s.commandLine = end == std::string::npos || end >= command->size() ? "" : command->substr(command->find_first_not_of(' ', end));
    s.currentDirectory = HeaderValue(lines, "start folder").value_or(s.currentDirectory);
    const std::string folders = HeaderValue(lines, "Windows folder").value_or("");
    const std::size_t comma = folders.find(", system folder: ");
    if (comma != std::string::npos) s.windowsFolder = folders.substr(0, comma), s.systemFolder = folders.substr(comma + 17);
    platform::LocalTime& t = s.startTime;
    std::sscanf(HeaderValue(lines, "local time").value_or("").c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
}

// A user's hive in an export from NT: the one the current user is.
void AdoptTheUser(vm::Registry& registry) {
    const vm::Registry::Key* users = registry.Find(platform::HKEY_USERS, "");
    for (const auto& key : users->subKeys) {
        const std::string& name = key->name;
        if (name.rfind("S-1-5-21-", 0) == 0 && vm::Lower(name).find("_classes") == std::string::npos) return registry.AdoptUser(name);
    }
}

// The boxes answered as they were, in order; "=" and ";" cut a text short,
// as machine.ini reads keys.
std::string Answers(const std::vector<std::string>& lines) {
    std::string answers = "\n[Answers]\n";
    for (const std::string& line : lines) {
        const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
        if (!read || read->kind != "message box") continue;
        const std::string& d = read->description;
        if (d.find("  text=") == std::string::npos) continue;  // mangled in transit
        const std::size_t text = d.find("  text=") + 7, buttons = d.find("  buttons=", text);
        std::string shown = d.substr(text, buttons - text);
        if (!shown.empty() && shown[0] == '"') shown = shown.substr(1, shown.size() - 2);
        shown = shown.substr(0, std::min(shown.find_first_of("=;#\\"), std::size_t{40}));
        answers += (shown.empty() ? "*" : shown) + " = " + (d.find("answer=Cancel") == std::string::npos ? "OK" : "Cancel") + "\n";
    }
    return answers;
}

// Calls whose failure the log shows by the way the program went on: it adds
// to the source list only when the list cannot be read, and re-enumerates
// after changing it unless the device tree's root cannot be had.
std::string ImpliedFaults(const std::vector<std::string>& lines) {
    bool added = false, changed = false, reenumerated = false;
    for (const std::string& line : lines) {
        const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
        if (!read) continue;
        added = added || read->kind == "add to source list";
        changed = changed || read->kind == "add to source list" || read->kind == "set source list";
        reenumerated = reenumerated || read->kind == "re-enumerate devices";
    }
    std::string faults;
    if (added) faults += "SetupQuerySourceList = always\n";
    if (changed && !reenumerated) faults += "CM_Locate_DevNode = always\n";
    return faults.empty() ? "" : "\n[Faults]\n" + faults;
}

}  // namespace

std::vector<std::string> ImportMachine(const ImportSources& sources, const std::string& out) {
    std::vector<std::string> lines;
    {
        std::string text = ReadHost(sources.log, "log");
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = std::min(text.find('\n', start), text.size());
            lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0)));
            start = end + 1;
        }
    }
    vm::VirtualMachine machine;
    ApplyHeader(lines, machine);
    if (sources.files.empty() && sources.listing.empty()) throw ImportError("neither a copy of drive C: nor a listing of its files was given");
    if (!sources.files.empty()) {
        if (!fs::is_directory(sources.files)) throw ImportError("the copy of drive C: " + sources.files + " is not a folder");
        vm::LoadHostFolder(sources.files, "C:", false, machine.Files());
    }
    if (!sources.listing.empty()) {
        for (const ListedEntry& entry : ReadDirListing(ReadHost(sources.listing, "listing"))) {
            if (entry.path.size() < 3 || entry.path[1] != ':') continue;
            machine.Files().AddDrive(entry.path[0]);
            if (entry.folder) {
                machine.Files().PutDirectory(entry.path);
            } else if (!machine.Files().Exists(entry.path)) {
                machine.Files().PutFile(entry.path, std::string(static_cast<std::size_t>(std::min<std::uint64_t>(entry.size, 1u << 16)), '\0'));
            }
        }
    }
    if (!sources.medium.empty()) {
        const std::string& program = machine.settings.programPath;
        const std::string folder = program.substr(0, program.find_last_of('\\'));
        machine.Files().AddDrive(folder[0]);
        machine.Files().PutDirectory(folder.size() > 2 ? folder : folder + "\\");
        vm::LoadHostFolder(sources.medium, folder.size() > 2 ? folder : folder.substr(0, 2), false, machine.Files());
        if (std::toupper(static_cast<unsigned char>(folder[0])) != 'C') machine.Files().SetDriveReadOnly(folder[0], true);
    }
    vm::Registry::Replaced replaced;
    try {
        const std::uint32_t codePage = vm::CodePageOf(machine.settings.language);
        machine.Reg() = vm::Registry::ParseRegFile(ReadHost(sources.registry, "registry export"), codePage, &replaced);
    } catch (const vm::Registry::ParseError& error) {
        throw ImportError(sources.registry + ":" + std::to_string(error.line) + ": " + error.what());
    }
    AdoptTheUser(machine.Reg());
    std::vector<std::string> notes;
    for (const std::string& note : UndoRun(machine, lines)) notes.push_back("not taken back: " + note);
    if (replaced.count > 0) {
        notes.push_back(sources.registry + ":" + std::to_string(replaced.firstLine) + ": " + std::to_string(replaced.count) +
                        " characters the machine's code page lacks read as '?', as the program sees them (the first here)");
    }
    vm::SaveMachineFolder(machine, out);
    std::ofstream(fs::path(out) / "machine.ini", std::ios::app) << Answers(lines) << ImpliedFaults(lines);
    return notes;
}

}  // namespace setupsim
