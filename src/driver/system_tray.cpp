#include "driver/system_tray.h"

#include "environment/paths.h"
#include "environment/registry_key.h"

namespace setup {

namespace {

std::string FourBytes(std::uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

void ClearVolumeService(platform::Platform& platform, platform::HKey root, const char* path) {
    RegistryKey key(platform, root, path, platform::KEY_ALL_ACCESS);
    if (const std::optional<platform::RegValue> services = key.Value("Services", 4)) {
        // Written back under the type the read returned.
        platform.RegSetValueEx(key.Handle(), "Services", services->type,
                               FourBytes(LittleEndian(services->data) & ~kTrayVolumeService));
    }
}

}  // namespace

std::optional<std::uint32_t> ReadTrayServices(RegistryKey& key) {
    const std::optional<platform::RegValue> services = key.Value("Services", 4);
    if (!services) return std::nullopt;
    return LittleEndian(services->data);
}

void TakeVolumeIconOutOfTray(platform::Platform& platform) {
    ClearVolumeService(platform, platform::HKEY_CURRENT_USER, kSystrayKey);
    ClearVolumeService(platform, platform::HKEY_USERS, kDefaultUserSystrayKey);
    platform.WinExec("SysTray.exe", platform::SW_SHOW);
    platform.Sleep(500);
}

void ResetMixerDefaults(platform::Platform& platform) {
    const std::string path = WindowsFolder(platform) + "mixerdef.ini";
    // Only an existing file is touched, since writing the entry would create
    // a missing one; the stream that tells stays open until it is written.
    const std::unique_ptr<platform::FileStream> file = platform.fopen(path, "rb");
    if (file) platform.WritePrivateProfileString("RUNTIME", "Initialize", "0", path);
}

}  // namespace setup
