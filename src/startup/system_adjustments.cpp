#include "startup/system_adjustments.h"

#include "environment/paths.h"
#include "environment/registry_key.h"

namespace setup {

namespace {

constexpr const char* kAudioKey = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultUserAudioKey = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "PCI Audio Applications";
constexpr std::size_t kFormatsBufferBytes = 1024;

std::optional<std::string> ReadSystemFormats(platform::Platform& platform) {
    return RegistryKey(platform, platform::HKEY_CURRENT_USER, kAudioKey, platform::KEY_ALL_ACCESS)
        .Text("SystemFormats", kFormatsBufferBytes);
}

void SetDefaultFormat(platform::Platform& platform, platform::HKey root, const char* path,
                      const std::string& name) {
    RegistryKey key(platform, root, path, platform::KEY_ALL_ACCESS);
    // Without a terminating zero: the value's length is the name's, as every
    // release of this setup has stored it.
    if (key.IsOpen()) platform.RegSetValueEx(key.Handle(), "DefaultFormat", platform::REG_SZ, name);
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
    RegistryKey key(platform, platform::HKEY_LOCAL_MACHINE, kRunKey, platform::KEY_ALL_ACCESS);
    if (key.IsOpen()) platform.RegDeleteValue(key.Handle(), kRunValue);
}

}  // namespace setup
