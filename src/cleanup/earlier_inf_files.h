// The INF cleanup: INF files of earlier drivers in the Windows INF folders
// go, with their precompiled companions.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup::cleanup {

// windowsFolder ends in a backslash.
void DeleteEarlierInfFiles(platform::Platform& platform, const std::string& windowsFolder);

// Whether the INF file's "Strings" values name an earlier driver.
bool BelongsToEarlierDriver(platform::Platform& platform, const std::string& infPath);

}  // namespace setup::cleanup
