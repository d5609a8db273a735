// The VxD driver from the option dialog: staged, its INF files edited and
// placed where Plug and Play finds them after the restart.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

// Ends the process; it never returns to the dialog.
void InstallVxdDriver(platform::Platform& platform, platform::DialogWindow& dialog, const std::string& packageFolder,
                      int fullPackage, const OptionState& options);

}  // namespace setup
