// The package folder: where the setup program was started from.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

// From the program's path as its first argument and, for a path without a
// drive, the current directory. Always ends in a backslash.
std::string DetermineSourceFolder(platform::Platform& platform);

// The same rule on given texts, for callers that have them. Without
// qualifyWithDrive a folder without a drive stays relative to the current
// drive (the VxD option dialog's rule).
std::string SourceFolderFromPath(const std::string& programPath, const std::string& currentDirectory,
                                 bool qualifyWithDrive = true);

}  // namespace setup
