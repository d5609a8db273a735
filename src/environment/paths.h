// Path text helpers shared by every flow.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

// The folder text with exactly one trailing backslash added when it has none.
std::string WithBackslash(std::string folder);

// The Windows folder, ending in a backslash.
std::string WindowsFolder(platform::Platform& platform);

// True when the file opens for reading (mode "rb"); the file is closed again.
bool CanOpenForReading(platform::Platform& platform, const std::string& path);

}  // namespace setup
