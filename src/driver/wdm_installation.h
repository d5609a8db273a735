// The WDM driver from the option dialog: staged, its INF files edited and
// handed to Plug and Play at once, then the waits until Windows has it.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

// Ends the process; it never returns to the dialog.
void InstallWdmDriver(platform::Platform& platform, platform::DialogWindow& dialog, const std::string& packageFolder,
                      const OptionState& options);

}  // namespace setup
