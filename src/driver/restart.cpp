#include "driver/restart.h"

#include "environment/messages.h"

namespace setup {

void RequestRestart(platform::Platform& platform, platform::Hwnd owner) {
    ShowMessage(platform, owner, kSetupCompleted);
    platform.ExitWindowsEx(platform::EWX_REBOOT, 0);
}

}  // namespace setup
