// The Windows versions a virtual machine can be, and what each reports.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace vm {

enum class WindowsVersion { Win95, Win98, Win98SE, WinME, NT4, Win2000, WinXP };

constexpr WindowsVersion kAllWindowsVersions[] = {
    WindowsVersion::Win95, WindowsVersion::Win98,   WindowsVersion::Win98SE, WindowsVersion::WinME,
    WindowsVersion::NT4,   WindowsVersion::Win2000, WindowsVersion::WinXP,
};

// "95", "98", "98SE", "ME", "NT4", "2000", "XP".
const char* ToString(WindowsVersion version);
// Also accepts "98 SE", "Windows 98 SE", "NT 4.0", any case.
std::optional<WindowsVersion> ParseWindowsVersion(const std::string& text);

// GetVersionEx on that system, with its real build number.
platform::OsVersionInfo VersionInfo(WindowsVersion version);

bool IsNt(WindowsVersion version);

}  // namespace vm
