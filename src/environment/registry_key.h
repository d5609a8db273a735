// The program's one way into the registry: a key held open and closed when
// it goes out of scope (unless closed before), its values read through a
// buffer of the size the caller gives, as the system would fill it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace setup {

class RegistryKey {
public:
    // Opens nothing yet: Reopen() does.
    explicit RegistryKey(platform::Platform& platform) : platform_(platform) {}
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

    // The value as read through a buffer of `bytes`; nullopt when the key is
    // not open or the value cannot be read (absent, or larger than the buffer).
    std::optional<platform::RegValue> Value(const std::string& name, std::size_t bytes);
    // A string value up to its first terminating zero.
    std::optional<std::string> Text(const std::string& name, std::size_t bytes);
    // The name of the sub-key at index through a buffer of `chars`; nullopt at
    // the end of the list or for a name that does not fit.
    std::optional<std::string> SubKeyName(std::uint32_t index, std::size_t chars);

private:
    platform::Platform& platform_;
    platform::HKey handle_ = 0;
};

// A value's bytes read as the little-endian number a DWORD holds.
std::uint32_t LittleEndian(const std::string& data);

}  // namespace setup
