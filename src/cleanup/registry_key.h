// A registry key the cleanup holds open, closed when it goes out of scope
// unless closed before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace setup::cleanup {

class RegistryKey {
public:
    // Opens root\path with the given access; IsOpen() tells whether it did.
    RegistryKey(platform::Platform& platform, platform::HKey root, const std::string& path, std::uint32_t access);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return handle_ != 0; }
    platform::HKey Handle() const { return handle_; }
    // Closes the key held, if any, and opens root\path; true when it opened.
    bool Reopen(platform::HKey root, const std::string& path, std::uint32_t access);
    void Close();

    // The name of the sub-key at index, through the cleanup's name buffer;
    // nullopt at the end of the list or for a name that does not fit.
    std::optional<std::string> SubKeyName(std::uint32_t index);

private:
    platform::Platform& platform_;
    platform::HKey handle_ = 0;
};

}  // namespace setup::cleanup
