// The end of every driver installation.
#pragma once

#include "platform/platform.h"

namespace setup {

constexpr const char* kDriverAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
constexpr const char* kSetupCompleted = "Setup completed! The system will restart now!";

// "Setup completed! ..." and, after OK, the restart request. The caller
// ends the process (or its dialog) at once.
void RequestRestart(platform::Platform& platform, platform::Hwnd owner);

}  // namespace setup
