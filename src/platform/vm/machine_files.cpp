// Folders, files and profile files of the virtual machine.
#include "platform/vm/file_stream.h"
#include "platform/vm/filesystem_paths.h"
#include "platform/vm/machine.h"
#include "platform/vm/profile.h"

namespace vm {

namespace {

profile::System RulesOf(WindowsVersion version) { return IsNt(version) ? profile::System::Nt : profile::System::Win9x; }

}  // namespace

std::optional<std::string> VirtualMachine::FullPath(const std::string& path) const {
    const std::string current = currentDirectorySet_ ? currentDirectory_ : settings.currentDirectory;
    return FileSystem::FullPath(current, path);
}

std::optional<std::string> VirtualMachine::GetCurrentDirectory() {
    return FullPath(".");
}

bool VirtualMachine::SetCurrentDirectory(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    if (!full || !fs_.IsDirectory(*full)) return false;
    currentDirectory_ = *full;
    currentDirectorySet_ = true;
    return true;
}

std::string VirtualMachine::GetWindowsDirectory() { return settings.windowsFolder; }
std::string VirtualMachine::GetSystemDirectory() { return settings.systemFolder; }

bool VirtualMachine::CreateDirectory(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    const bool ok = full && fs_.CreateDirectory(*full);
    return ok;
}

std::unique_ptr<platform::FileStream> VirtualMachine::fopen(const std::string& path, const std::string& mode) {
    const std::optional<std::string> full = FullPath(path);
    if (!full) return nullptr;
    return OpenFileStream(fs_, *full, mode);
}

bool VirtualMachine::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    const std::optional<std::string> source = FullPath(from);
    const std::optional<std::string> target = FullPath(to);
    const bool ok = source && target && fs_.CopyFile(*source, *target, failIfExists);
    return ok;
}

bool VirtualMachine::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    const std::optional<std::string> full = FullPath(path);
    return full && fs_.Attributes(*full) && fs_.SetAttributes(*full, attributes);
}

std::optional<std::uint32_t> VirtualMachine::GetFileAttributes(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    return full ? fs_.Attributes(*full) : std::nullopt;
}

bool VirtualMachine::DeleteFile(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    return full && fs_.DeleteFile(*full);
}

std::vector<platform::FindData> VirtualMachine::FindFiles(const std::string& pattern) {
    // A pattern that ends in a separator names no entry: Windows finds none
    // (the full path would drop the separator and find the folder).
    if (pattern.empty() || paths::IsSeparator(pattern.back())) return {};
    const std::optional<std::string> full = FullPath(pattern);
    return full ? fs_.Find(*full) : std::vector<platform::FindData>{};
}

std::optional<std::string> VirtualMachine::GetShortPathName(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    const std::optional<std::string> shortPath = full ? fs_.ShortPath(*full) : std::nullopt;
    if (!shortPath) return std::nullopt;
    const bool withDrive = path.size() > 1 && (path[1] == ':' || (paths::IsSeparator(path[0]) && paths::IsSeparator(path[1])));
    if (!withDrive) return RelativeShortPath(path);
    // The separator that ends the path stays.
    return paths::IsSeparator(path.back()) && !paths::IsSeparator(shortPath->back()) ? *shortPath + "\\" : *shortPath;
}

// A relative path stays relative, each component given in its 8.3 form;
// "." and ".." stay as they are. Every component is known to exist.
std::string VirtualMachine::RelativeShortPath(const std::string& path) const {
    const bool rootRelative = paths::IsSeparator(path[0]);
    std::string base = rootRelative ? FullPath("\\")->substr(0, 2) : *FullPath(".");
    std::string shortened = rootRelative ? "\\" : "";
    for (std::size_t start = rootRelative ? 1 : 0, end = start; start < path.size(); start = end + 1) {
        end = start;
        while (end < path.size() && !paths::IsSeparator(path[end])) ++end;
        const std::string component = path.substr(start, end - start);
        if (component.empty()) continue;
        base = FullPath(base + "\\" + component).value_or(base);
        const bool dots = component == "." || component == "..";
        const std::string alias = dots ? component : fs_.ShortPath(base).value_or(component);
        shortened += alias.substr(alias.find_last_of('\\') + 1) + (end < path.size() ? "\\" : "");
    }
    return shortened;
}

std::string VirtualMachine::ProfilePath(const std::string& file) const {
    // A profile file named without a folder lives in the Windows folder.
    if (file.find_first_of("\\/:") == std::string::npos) return settings.windowsFolder + "\\" + file;
    return FullPath(file).value_or(file);
}

int VirtualMachine::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                         const std::string& file) {
    const std::optional<std::string> content = fs_.ReadFile(ProfilePath(file));
    return content ? profile::ReadInt(*content, section, key, defaultValue, RulesOf(settings.version)) : defaultValue;
}

std::string VirtualMachine::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                    const std::string& defaultValue, const std::string& file) {
    const std::optional<std::string> content = fs_.ReadFile(ProfilePath(file));
    if (!content) return defaultValue;
    return profile::ReadString(*content, section, key).value_or(defaultValue);
}

bool VirtualMachine::WritePrivateProfileString(const std::string& section, const std::string& key,
                                               const std::string& value, const std::string& file) {
    const std::string path = ProfilePath(file);
    const std::string content = fs_.ReadFile(path).value_or("");
    const bool ok = fs_.WriteFile(path, profile::WriteString(content, section, key, value, RulesOf(settings.version)));
    return ok;
}

}  // namespace vm
