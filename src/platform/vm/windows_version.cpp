#include "platform/vm/windows_version.h"

#include <algorithm>
#include <cctype>

namespace vm {

const char* ToString(WindowsVersion version) {
    switch (version) {
        case WindowsVersion::Win95: return "95";
        case WindowsVersion::Win98: return "98";
        case WindowsVersion::Win98SE: return "98SE";
        case WindowsVersion::WinME: return "ME";
        case WindowsVersion::NT4: return "NT4";
        case WindowsVersion::Win2000: return "2000";
        case WindowsVersion::WinXP: return "XP";
    }
    return "?";
}

std::optional<WindowsVersion> ParseWindowsVersion(const std::string& text) {
    std::string key;
    for (char c : text) {
        if (c != ' ' && c != '.') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (key.rfind("WINDOWS", 0) == 0) key.erase(0, 7);
    if (key == "NT40") key = "NT4";
    for (WindowsVersion version : kAllWindowsVersions) {
        if (key == ToString(version)) return version;
    }
    return std::nullopt;
}

platform::OsVersionInfo VersionInfo(WindowsVersion version) {
    using platform::VER_PLATFORM_WIN32_NT;
    using platform::VER_PLATFORM_WIN32_WINDOWS;
    switch (version) {
        case WindowsVersion::Win95: return {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x040003B6, " B"};
        case WindowsVersion::Win98: return {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A07CE, " "};
        case WindowsVersion::Win98SE: return {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A08AE, " A "};
        case WindowsVersion::WinME: return {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x045A0BB8, " "};
        case WindowsVersion::NT4: return {VER_PLATFORM_WIN32_NT, 4, 0, 1381, "Service Pack 6"};
        case WindowsVersion::Win2000: return {VER_PLATFORM_WIN32_NT, 5, 0, 2195, "Service Pack 4"};
        case WindowsVersion::WinXP: return {VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Service Pack 3"};
    }
    return {};
}

bool IsNt(WindowsVersion version) {
    return version == WindowsVersion::NT4 || version == WindowsVersion::Win2000 || version == WindowsVersion::WinXP;
}

}  // namespace vm
