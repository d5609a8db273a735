// On Windows 2000 and XP the package's own setup program for those systems
// does the work.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

// Starts "W2KSetup.dat" (or else "W2KSetup.exe") from the package folder,
// with " /DRIVER" when only the driver is wanted, without waiting for it.
// Without either file, says so.
void HandOverToWindows2000Setup(platform::Platform& platform, const std::string& sourceFolder, bool driverOnly);

}  // namespace setup
