// The WDM driver handed to Plug and Play, and the waits until Windows has
// installed it.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace setup {

struct WdmCompletion {
    // SetupCopyOEMInf of the staged "OVAUDIO.INF".
    bool installInf = false;
    // Called after each pause of the waits, for a dialog that must stay
    // drawn; the final installer-window wait does not call it.
    std::function<void()> repaint;
};

// Driver database deleted, the INF installed (if asked), the staged folder
// added to the installation sources, the devices enumerated again, then the
// waits: a new mixer device, the installer windows gone, the tray's volume
// icon back, the game port present.
void CompleteWdmInstallation(platform::Platform& platform, const WdmCompletion& how);

// Polls once a second until no installer window has been seen for five
// polls in a row.
void WaitForInstallerWindows(platform::Platform& platform, const std::function<void()>& repaint = {});

}  // namespace setup
