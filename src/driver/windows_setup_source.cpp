#include "driver/windows_setup_source.h"

#include <cctype>

#include "environment/paths.h"
#include "environment/registry_key.h"

namespace setup {

namespace {

constexpr const char* kWindowsSetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr std::size_t kPathBytes = 260;

bool IsSetupFile(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("SETUP") != std::string::npos;
}

}  // namespace

WindowsSetupSource FindWindowsSetupSource(platform::Platform& platform) {
    WindowsSetupSource source;
    RegistryKey key(platform, platform::HKEY_LOCAL_MACHINE, kWindowsSetupKey, platform::KEY_ALL_ACCESS);
    const std::optional<std::string> folder = key.Text("SourcePath", kPathBytes);
    if (folder && !folder->empty() && platform.SetCurrentDirectory(*folder)) {
        source.folder = WithBackslash(*folder);
        source.copying = true;
    }
    return source;
}

void CopyToSetupSource(platform::Platform& platform, WindowsSetupSource& source, const std::string& packageFile,
                       const std::string& name, const std::string& fallbackFolder) {
    if (!source.copying || IsSetupFile(name)) return;
    platform.SetFileAttributes(source.folder + name, platform::FILE_ATTRIBUTE_NORMAL);
    if (platform.CopyFile(packageFile, source.folder + name, false)) return;
    source.copying = false;
    platform.SetFileAttributes(fallbackFolder + name, platform::FILE_ATTRIBUTE_NORMAL);
    platform.CopyFile(packageFile, fallbackFolder + name, false);
}

}  // namespace setup
