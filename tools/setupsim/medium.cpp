#include "setupsim/medium.h"

#include <algorithm>
#include <filesystem>

#include "environment/source_folder.h"
#include "platform/vm/machine_folder.h"
#include "platform/vm/name_compare.h"

namespace setupsim {

namespace {

namespace fs = std::filesystem;

// Git keeps no empty folders; machine folders and media alike use this
// stand-in, which is not part of the medium.
constexpr const char* kKeepFile = ".keep";

std::string ReadOrThrow(const fs::path& path) {
    std::optional<std::string> bytes = vm::ReadHostFile(path.string());
    if (!bytes) throw MediumError(path.string() + ": cannot be read");
    return std::move(*bytes);
}

// Name order, as machine folders are loaded, so that 8.3 aliases and the
// order searches yield files in do not depend on the host. within: the
// folders above, to refuse a link that leads back into one of them.
void ReadHostFolder(const fs::path& folder, const std::string& relative, std::vector<MediumEntry>& entries,
                    std::vector<fs::path>& within) {
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    if (error) throw MediumError(folder.string() + ": cannot be read: " + error.message());
    if (std::find(within.begin(), within.end(), real) != within.end()) {
        throw MediumError(folder.string() + ": a link leads back into a folder above it");
    }
    within.push_back(real);
    std::vector<fs::directory_entry> children;
    try {
        children.assign(fs::directory_iterator(folder), fs::directory_iterator{});
    } catch (const fs::filesystem_error& error) {
        throw MediumError(folder.string() + ": cannot be read: " + error.code().message());
    }
    std::sort(children.begin(), children.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    for (const fs::directory_entry& child : children) {
        const std::string name = child.path().filename().string();
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (child.is_directory()) {
            entries.push_back({path, true, {}});
            ReadHostFolder(child.path(), path, entries, within);
        } else if (name != kKeepFile) {
            entries.push_back({path, false, ReadOrThrow(child.path())});
        }
    }
    within.pop_back();
}

// The files under the folder the machine's program is started from.
Medium MediumOfMachine(const std::string& folder) {
    vm::VirtualMachine machine;
    try {
        vm::LoadMachineFolder(folder, machine);
    } catch (const vm::MachineFolderError& error) {
        throw MediumError(std::string("malformed machine folder: ") + error.what());
    }
    const vm::MachineSettings& s = machine.settings;
    const std::string programFolder = setup::SourceFolderFromPath(s.programPath, s.currentDirectory);
    const std::optional<std::string> full = vm::FileSystem::FullPath(s.currentDirectory, programFolder);
    const std::optional<std::string> stored = full ? machine.Files().LongPath(*full) : std::nullopt;
    if (!stored || !machine.Files().IsDirectory(*stored)) {
        throw MediumError("machine folder " + folder + ": its program folder " + programFolder +
                          " (from ProgramPath " + s.programPath + ") does not exist");
    }
    const std::string prefix = stored->back() == '\\' ? *stored : *stored + "\\";
    Medium medium;
    medium.origin = "machine folder " + folder + "; the medium is its " + prefix + " (the folder of ProgramPath " +
                    s.programPath + ")";
    for (const vm::FileSystem::Entry& entry : machine.Files().Snapshot()) {
        if (entry.path.size() <= prefix.size() || !vm::name::Equal(entry.path.substr(0, prefix.size()), prefix)) {
            continue;
        }
        medium.entries.push_back({entry.path.substr(prefix.size()), entry.directory, entry.content});
    }
    return medium;
}

}  // namespace

Medium LoadMedium(const std::string& folder) {
    const fs::path root(folder);
    std::error_code error;
    if (!fs::is_directory(root, error)) throw MediumError(folder + ": is not a folder");
    if (fs::exists(root / "machine.ini", error)) return MediumOfMachine(folder);
    Medium medium;
    medium.origin = "medium folder " + folder;
    std::vector<fs::path> within;
    try {
        ReadHostFolder(root, "", medium.entries, within);
    } catch (const fs::filesystem_error& failure) {
        throw MediumError(failure.path1().string() + ": cannot be read: " + failure.code().message());
    }
    return medium;
}

void PutMedium(vm::FileSystem& files, const Medium& medium) {
    const char drive = kMediumRoot[0];
    if (!files.HasDrive(drive)) files.AddDrive(drive);
    for (const MediumEntry& entry : medium.entries) {
        const std::string path = kMediumRoot + entry.path;
        if (entry.directory) {
            files.PutDirectory(path);
        } else {
            files.PutFile(path, entry.content, platform::FILE_ATTRIBUTE_READONLY);
        }
    }
}

std::string OnMedium(const std::string& path) {
    const std::string root = kMediumRoot;
    if (path.size() >= root.size() && vm::name::Equal(path.substr(0, root.size()), root)) {
        return path.substr(root.size());
    }
    return path;
}

}  // namespace setupsim
