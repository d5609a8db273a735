// The tray's volume icon and the mixer's defaults, prepared before a new
// driver arrives.
#pragma once

#include <cstdint>
#include <optional>

#include "environment/registry_key.h"
#include "platform/platform.h"

namespace setup {

constexpr const char* kSystrayKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
constexpr const char* kDefaultUserSystrayKey = ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
constexpr std::uint32_t kTrayVolumeService = 0x4;

// Bit 0x4 of "Services" cleared for the current and the default user,
// "SysTray.exe" started again, 500 ms.
void TakeVolumeIconOutOfTray(platform::Platform& platform);

// "mixerdef.ini" in the Windows folder, if it exists: [RUNTIME] Initialize=0.
void ResetMixerDefaults(platform::Platform& platform);

// "Services" of an open Systray key as a 32-bit number.
std::optional<std::uint32_t> ReadTrayServices(RegistryKey& key);

}  // namespace setup
