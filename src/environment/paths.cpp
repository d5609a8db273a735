#include "environment/paths.h"

namespace setup {

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string WindowsFolder(platform::Platform& platform) { return WithBackslash(platform.GetWindowsDirectory()); }

bool CanOpenForReading(platform::Platform& platform, const std::string& path) {
    return platform.fopen(path, "rb") != nullptr;
}

}  // namespace setup
