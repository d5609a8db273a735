#include "environment/registry_key.h"

namespace setup {

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

std::optional<platform::RegValue> RegistryKey::Value(const std::string& name, std::size_t bytes) {
    platform::RegValue value;
    if (!IsOpen() || platform_.RegQueryValueEx(handle_, name, bytes, value) != platform::ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::optional<std::string> RegistryKey::Text(const std::string& name, std::size_t bytes) {
    const std::optional<platform::RegValue> value = Value(name, bytes);
    if (!value) return std::nullopt;
    return value->data.substr(0, value->data.find('\0'));
}

std::optional<std::string> RegistryKey::SubKeyName(std::uint32_t index, std::size_t chars) {
    std::string name;
    if (!IsOpen() || platform_.RegEnumKeyEx(handle_, index, chars, name) != platform::ERROR_SUCCESS) return std::nullopt;
    return name;
}

std::uint32_t LittleEndian(const std::string& data) {
    std::uint32_t number = 0;
    for (std::size_t i = data.size(); i-- > 0;) number = number << 8 | static_cast<unsigned char>(data[i]);
    return number;
}

}  // namespace setup
