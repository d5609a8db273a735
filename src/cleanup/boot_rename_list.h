// The BootRenameList: section "rename" of WININIT.INI, whose lines
// "destination=source" Windows 9x carries out in line order at its next
// start, moving each source to its destination ("NUL" deletes the source).
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

constexpr const char* kBootRenameFile = "WININIT.INI";  // in the Windows folder
constexpr const char* kBootRenameSection = "rename";
constexpr const char* kBootDeleteDestination = "NUL";

// Adds the line destination=source, both full paths. A destination already
// listed keeps its line and place and takes the new source: lines stand in
// the order of their first writing, and the section holds one "NUL" line at
// most. The result of the write is the caller's to ignore.
bool ScheduleBootRename(platform::Platform& platform, const std::string& destination, const std::string& source);

// The line NUL=source: the file goes at the next start.
bool ScheduleBootDelete(platform::Platform& platform, const std::string& source);

}  // namespace setup
