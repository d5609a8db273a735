// The file cleanup of earlier drivers: their INF files are deleted and, on
// request, their driver files scheduled to be moved to ".OLD" names at the
// next start of Windows 9x.
#pragma once

#include "platform/platform.h"

namespace setup {

// retirement: 0 for the INF cleanup alone; otherwise the INF cleanup, the
// retirement of the driver files that are present, and an empty "run"
// entry in WIN.INI.
void CleanEarlierDriverFiles(platform::Platform& platform, int retirement);

}  // namespace setup
