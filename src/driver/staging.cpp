#include "driver/staging.h"

namespace setup {

bool PlainCopy(platform::Platform& platform, const std::string& from, const std::string& to) {
    platform.SetFileAttributes(to, platform::FILE_ATTRIBUTE_NORMAL);
    return platform.CopyFile(from, to, false);
}

bool NormalCopy(platform::Platform& platform, const std::string& from, const std::string& to) {
    const bool copied = PlainCopy(platform, from, to);
    platform.SetFileAttributes(to, platform::FILE_ATTRIBUTE_NORMAL);
    return copied;
}

void CreateFolders(platform::Platform& platform, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) platform.CreateDirectory(folder);
}

std::vector<std::string> FilesIn(platform::Platform& platform, const std::string& folder) {
    std::vector<std::string> names;
    for (const platform::FindData& entry : platform.FindFiles(folder + "*.*")) {
        if (!(entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.fileName);
    }
    return names;
}

bool IsInfName(const std::string& name) {
    return name.find(".inf") != std::string::npos || name.find(".INF") != std::string::npos;
}

std::string ApplicationName(platform::Platform& platform) {
    std::string name = platform.GetModuleFileName();
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace setup
