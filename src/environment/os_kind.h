// Which Windows the program runs on, as six 0/1 flags.
#pragma once

#include "platform/platform.h"

namespace setup {

struct OsKind {
    int Win95 = 0;
    int Win98 = 0;    // also set on 98 SE
    int Win98SE = 0;
    int WinME = 0;
    int NT4 = 0;      // any NT below version 5
    int Win2000 = 0;  // NT 5 and later: 2000, XP

    // One of the systems that take the VxD or WDM driver.
    bool Windows9x() const { return Win95 || Win98 || Win98SE || WinME; }
};

OsKind ClassifyWindows(const platform::OsVersionInfo& version);

// GetVersionEx, classified.
OsKind DetermineOsKind(platform::Platform& platform);

}  // namespace setup
