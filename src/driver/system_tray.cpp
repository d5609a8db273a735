#include "driver/system_tray.h"

#include "environment/paths.h"

namespace setup {

namespace {

struct TrayValue {
    std::uint32_t type = platform::REG_DWORD;
    std::uint32_t number = 0;
};

std::optional<TrayValue> ReadServices(platform::Platform& platform, platform::HKey key) {
    platform::RegValue value;
    if (platform.RegQueryValueEx(key, "Services", 4, value) != platform::ERROR_SUCCESS) return std::nullopt;
    TrayValue tray{value.type, 0};
    for (std::size_t i = value.data.size(); i-- > 0;) tray.number = tray.number << 8 | static_cast<unsigned char>(value.data[i]);
    return tray;
}

std::string FourBytes(std::uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

void ClearVolumeService(platform::Platform& platform, platform::HKey root, const char* path) {
    platform::HKey key = 0;
    if (platform.RegOpenKeyEx(root, path, platform::KEY_ALL_ACCESS, key) != platform::ERROR_SUCCESS) return;
    if (const std::optional<TrayValue> services = ReadServices(platform, key)) {
        // Written back under the type the read returned.
        platform.RegSetValueEx(key, "Services", services->type, FourBytes(services->number & ~kTrayVolumeService));
    }
    platform.RegCloseKey(key);
}

}  // namespace

std::optional<std::uint32_t> ReadTrayServices(platform::Platform& platform, platform::HKey key) {
    const std::optional<TrayValue> services = ReadServices(platform, key);
    if (!services) return std::nullopt;
    return services->number;
}

void TakeVolumeIconOutOfTray(platform::Platform& platform) {
    ClearVolumeService(platform, platform::HKEY_CURRENT_USER, kSystrayKey);
    ClearVolumeService(platform, platform::HKEY_USERS, kDefaultUserSystrayKey);
    platform.WinExec("SysTray.exe", platform::SW_SHOW);
    platform.Sleep(500);
}

void ResetMixerDefaults(platform::Platform& platform) {
    const std::string path = WindowsFolder(platform) + "mixerdef.ini";
    // Only an existing file is touched; the stream stays open meanwhile, as
    // the original keeps it.
    const std::unique_ptr<platform::FileStream> file = platform.fopen(path, "rb");
    if (file) platform.WritePrivateProfileString("RUNTIME", "Initialize", "0", path);
}

}  // namespace setup
