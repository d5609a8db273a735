#include "environment/os_kind.h"

namespace setup {

OsKind ClassifyWindows(const platform::OsVersionInfo& version) {
    OsKind kind;
    if (version.platformId == platform::VER_PLATFORM_WIN32_WINDOWS) {
        // The build number's high word holds the version as 0xMMmm; its
        // low word's high byte is 8 only on the Second Edition of 98.
        const std::uint32_t versionWord = version.buildNumber >> 16;
        if (version.minorVersion == 0) {
            kind.Win95 = 1;
        } else if ((versionWord >> 4) > 0x40) {
            kind.WinME = 1;
        } else {
            kind.Win98 = 1;
            if (((version.buildNumber >> 8) & 0xFF) == 8) kind.Win98SE = 1;
        }
    }
    if (version.platformId == platform::VER_PLATFORM_WIN32_NT) {
        if (version.majorVersion < 5) {
            kind.NT4 = 1;
        } else {
            kind.Win2000 = 1;
        }
    }
    return kind;
}

OsKind DetermineOsKind(platform::Platform& platform) { return ClassifyWindows(platform.GetVersionEx()); }

}  // namespace setup
