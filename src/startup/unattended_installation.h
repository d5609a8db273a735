// The driver installed without a dialog, from the full medium or from a flat
// package.
#pragma once

#include <string>

#include "driver/driver_installation.h"

namespace setup {

// The whole unattended procedure; it ends the process.
void RunUnattendedInstallation(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                               const InstallOptions& options, PackageKind package, int& vxdChosen);

}  // namespace setup
