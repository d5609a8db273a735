#include "driver/restart.h"

#include "driver/wdm_completion.h"
#include "environment/messages.h"

namespace setup {

void RequestRestart(platform::Platform& platform, platform::Hwnd owner) {
    ShowMessage(platform, owner, kSetupCompleted);
    platform.ExitWindowsEx(platform::EWX_REBOOT, 0);
}

void RestartOnceInstallersClose(platform::Platform& platform, platform::Hwnd owner) {
    WaitForInstallerWindows(platform);
    platform.Sleep(kPauseBeforeRestart);
    RequestRestart(platform, owner);
}

}  // namespace setup
