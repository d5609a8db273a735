#include "cleanup/registry_key.h"

#include "cleanup/cleanup_constants.h"

namespace setup::cleanup {

RegistryKey::RegistryKey(platform::Platform& platform, platform::HKey root, const std::string& path,
                         std::uint32_t access)
    : platform_(platform) {
    Reopen(root, path, access);
}

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Reopen(platform::HKey root, const std::string& path, std::uint32_t access) {
    Close();
    platform::HKey opened = 0;
    if (platform_.RegOpenKeyEx(root, path, access, opened) == platform::ERROR_SUCCESS) handle_ = opened;
    return IsOpen();
}

void RegistryKey::Close() {
    if (!IsOpen()) return;
    platform_.RegCloseKey(handle_);
    handle_ = 0;
}

std::optional<std::string> RegistryKey::SubKeyName(std::uint32_t index) {
    std::string name;
    if (platform_.RegEnumKeyEx(handle_, index, kNameChars, name) != platform::ERROR_SUCCESS) return std::nullopt;
    return name;
}

}  // namespace setup::cleanup
