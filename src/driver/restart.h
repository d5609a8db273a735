// The end of every driver installation.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace setup {

constexpr const char* kDriverAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
constexpr const char* kSetupCompleted = "Setup completed! The system will restart now!";

// The pause between the last installer window closing and the message.
constexpr std::uint32_t kPauseBeforeRestart = 5000;

// "Setup completed! ..." and, after OK, the restart request. The caller
// ends the process (or its dialog) at once.
void RequestRestart(platform::Platform& platform, platform::Hwnd owner);

// Waits until Windows' installer windows have closed, pauses, then
// RequestRestart.
void RestartOnceInstallersClose(platform::Platform& platform, platform::Hwnd owner);

}  // namespace setup
