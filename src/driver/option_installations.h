// The installations the option dialogs hand their choices to when Install is
// pressed.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

// Both end the process; they never return to the dialog.
void InstallVxdDriver(platform::Platform& platform, platform::DialogWindow& dialog,
                                   const std::string& packageFolder, int fullPackage, const OptionState& options);
void InstallWdmDriver(platform::Platform& platform, platform::DialogWindow& dialog,
                                   const std::string& packageFolder, const OptionState& options);

// "motherboard=1 jacks=1 midi=0 game=0 legacy=0", for traces.
std::string Describe(const OptionState& options);

}  // namespace setup
