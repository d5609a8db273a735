// Windows' own setup source ("SourcePath"), which also receives the
// package's files while it takes them.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

struct WindowsSetupSource {
    std::string folder;  // ending in a backslash
    bool copying = false;
};

// "SourcePath" of the Windows setup key; copying is on only when the folder
// can be made the current directory (which it then stays).
WindowsSetupSource FindWindowsSetupSource(platform::Platform& platform);

// A package file to the setup source while copying is on, setup files
// aside. The first refused copy turns copying off for good and sends this
// file to fallbackFolder instead.
void CopyToSetupSource(platform::Platform& platform, WindowsSetupSource& source, const std::string& packageFile,
                       const std::string& name, const std::string& fallbackFolder);

}  // namespace setup
