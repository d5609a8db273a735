#include "startup/log_guard.h"

#include <algorithm>

#include "driver/staging.h"
#include "environment/paths.h"

namespace setup {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A path as Windows resolves it against the current folder: relative and
// root-relative forms made whole, '/' read as '\'.
std::string FullPath(platform::Platform& machine, std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (path.size() > 1 && path[1] == ':') return path;
    const std::string current = WithBackslash(machine.GetCurrentDirectory().value_or("C:\\"));
    if (path.compare(0, 2, "\\\\") == 0) return path;
    return path.compare(0, 1, "\\") == 0 ? current.substr(0, 2) + path : current + path;
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// A profile named without a folder lives in the Windows folder, where no
// log is ever placed.
bool NamesAFolder(const std::string& file) { return file.find_first_of("\\/:") != std::string::npos; }

// True when folder is protected or inside it, both in their 8.3 forms.
bool IsWithin(platform::Platform& machine, const std::string& folderShort, const std::string& protectedFolder) {
    const std::optional<std::string> shortForm = machine.GetShortPathName(protectedFolder);
    if (!shortForm) return false;
    const std::string prefix = Upper(WithBackslash(*shortForm));
    return Upper(WithBackslash(folderShort)).compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::optional<std::string> PlaceLog(platform::Platform& machine, const std::string& requested) {
    if (requested.empty()) return std::nullopt;
    const std::string full = FullPath(machine, requested);
    const std::size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == full.size()) return std::nullopt;
    const std::optional<std::string> folder = machine.GetShortPathName(full.substr(0, slash + 1));
    if (!folder) return std::nullopt;
    for (const std::string& written : {WindowsFolder(machine), std::string(kOrvantaFolder)}) {
        if (IsWithin(machine, *folder, written)) return std::nullopt;
    }
    if (machine.GetFileAttributes(full)) {
        const std::string start = kLogFirstLineStart;
        const std::unique_ptr<platform::FileStream> earlier = machine.fopen(full, "rb");
        if (!earlier || earlier->Read(start.size()) != start) return std::nullopt;
    }
    return full;
}

LogHidingPlatform::LogHidingPlatform(platform::Platform& inner, const std::string& logPath)
    : ProxyPlatform(inner), log_(Upper(logPath)), logShort_(Upper(inner.GetShortPathName(logPath).value_or(logPath))),
      names_{NameOf(log_), NameOf(logShort_)} {}

bool LogHidingPlatform::IsLog(const std::string& path) {
    const std::string full = Upper(FullPath(inner_, path));
    const std::string name = NameOf(full);
    if (name != names_[0] && name != names_[1]) return false;  // spares the short-name lookup
    return full == log_ || Upper(inner_.GetShortPathName(full).value_or("")) == logShort_;
}

std::unique_ptr<platform::FileStream> LogHidingPlatform::fopen(const std::string& path, const std::string& mode) {
    return IsLog(path) ? nullptr : inner_.fopen(path, mode);
}

bool LogHidingPlatform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return !IsLog(from) && !IsLog(to) && inner_.CopyFile(from, to, failIfExists);
}

bool LogHidingPlatform::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    return !IsLog(path) && inner_.SetFileAttributes(path, attributes);
}

std::optional<std::uint32_t> LogHidingPlatform::GetFileAttributes(const std::string& path) {
    return IsLog(path) ? std::nullopt : inner_.GetFileAttributes(path);
}

bool LogHidingPlatform::DeleteFile(const std::string& path) { return !IsLog(path) && inner_.DeleteFile(path); }

std::vector<platform::FindData> LogHidingPlatform::FindFiles(const std::string& pattern) {
    std::vector<platform::FindData> found = inner_.FindFiles(pattern);
    const std::string folder = pattern.substr(0, pattern.find_last_of("\\/") + 1);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const platform::FindData& entry) { return IsLog(folder + entry.fileName); }),
                found.end());
    return found;
}

std::optional<std::string> LogHidingPlatform::GetShortPathName(const std::string& path) {
    return IsLog(path) ? std::nullopt : inner_.GetShortPathName(path);
}

int LogHidingPlatform::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                            const std::string& file) {
    return NamesAFolder(file) && IsLog(file) ? defaultValue : inner_.GetPrivateProfileInt(section, key, defaultValue, file);
}

std::string LogHidingPlatform::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                       const std::string& defaultValue, const std::string& file) {
    return NamesAFolder(file) && IsLog(file) ? defaultValue : inner_.GetPrivateProfileString(section, key, defaultValue, file);
}

bool LogHidingPlatform::WritePrivateProfileString(const std::string& section, const std::string& key,
                                                  const std::string& value, const std::string& file) {
    return !(NamesAFolder(file) && IsLog(file)) && inner_.WritePrivateProfileString(section, key, value, file);
}

}  // namespace setup
