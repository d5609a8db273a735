#include "startup/system_adjustments.h"

#include "environment/paths.h"

namespace setup {

namespace {

constexpr const char* kAudioKey = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultUserAudioKey = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "PCI Audio Applications";
constexpr std::size_t kFormatsBufferBytes = 1024;

// REG_SZ data up to its first terminating zero.
std::string TextOf(const std::string& data) { return data.substr(0, data.find('\0')); }

std::optional<std::string> ReadSystemFormats(platform::Platform& platform) {
    platform::HKey key = 0;
    if (platform.RegOpenKeyEx(platform::HKEY_CURRENT_USER, kAudioKey, platform::KEY_ALL_ACCESS, key) !=
        platform::ERROR_SUCCESS) {
        return std::nullopt;
    }
    platform::RegValue value;
    const bool read =
        platform.RegQueryValueEx(key, "SystemFormats", kFormatsBufferBytes, value) == platform::ERROR_SUCCESS;
    platform.RegCloseKey(key);
    if (!read) return std::nullopt;
    return TextOf(value.data);
}

void SetDefaultFormat(platform::Platform& platform, platform::HKey root, const char* path,
                      const std::string& name) {
    platform::HKey key = 0;
    if (platform.RegOpenKeyEx(root, path, platform::KEY_ALL_ACCESS, key) != platform::ERROR_SUCCESS) return;
    // Stored without a terminating zero, as the original writes it.
    platform.RegSetValueEx(key, "DefaultFormat", platform::REG_SZ, name);
    platform.RegCloseKey(key);
}

}  // namespace

void WriteCdPlayerSetting(platform::Platform& platform, int usingCdda) {
    platform.WritePrivateProfileString("CD PLAYER", "UsingCDDA", usingCdda != 0 ? "1" : "0",
                                       WindowsFolder(platform) + "OVCDPLAY.INI");
}

std::optional<std::string> FirstCdFormat(const std::string& systemFormats) {
    std::size_t start = 0;
    while (start <= systemFormats.size()) {
        std::size_t end = systemFormats.find(',', start);
        if (end == std::string::npos) end = systemFormats.size();
        const std::string name = systemFormats.substr(start, end - start);
        if (name.find("CD") != std::string::npos) return name;
        start = end + 1;
    }
    return std::nullopt;
}

void SelectCdRecordingFormat(platform::Platform& platform) {
    const std::optional<std::string> formats = ReadSystemFormats(platform);
    if (!formats) return;
    const std::optional<std::string> name = FirstCdFormat(*formats);
    if (!name) return;
    SetDefaultFormat(platform, platform::HKEY_CURRENT_USER, kAudioKey, *name);
    SetDefaultFormat(platform, platform::HKEY_USERS, kDefaultUserAudioKey, *name);
}

void DeleteApplicationsRunValue(platform::Platform& platform) {
    platform::HKey key = 0;
    if (platform.RegOpenKeyEx(platform::HKEY_LOCAL_MACHINE, kRunKey, platform::KEY_ALL_ACCESS, key) !=
        platform::ERROR_SUCCESS) {
        return;
    }
    platform.RegDeleteValue(key, kRunValue);
    platform.RegCloseKey(key);
}

}  // namespace setup
