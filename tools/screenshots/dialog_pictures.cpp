// dialog_pictures.exe ID: opens dialog ID as setup.exe opens it, through the
// program's own dialog class on the Win32 backend, so that its initialisation
// runs before make screenshots takes the picture. It runs from a medium
// prepared beside it (tools/screenshots/dialog_screenshots.cpp): the main
// dialog looks for setup.ini and the applications installer in the
// program's folder, and the architecture question (130) is asked from the
// main dialog's initialisation when setup.ini says so. The picture taken,
// the dialog is cancelled: exit code 0 only then, so nothing was installed.
#include <cstdlib>

#include "dialogs/about_dialog.h"
#include "dialogs/setup_dialog.h"
#include "dialogs/vxd_options_dialog.h"
#include "dialogs/wdm_options_dialog.h"
#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"

namespace {

int Open(platform::Platform& platform, int id) {
    switch (id) {
        case IDD_ABOUTBOX: return setup::AboutDialog(platform, 0).DoModal();
        case IDD_SETUP:
        case IDD_DRIVER_TYPE: return setup::SetupDialog(platform).DoModal();
        case IDD_VXD_OPTIONS: return setup::VxdOptionsDialog(platform).DoModal();
        case IDD_WDM_OPTIONS: return setup::WdmOptionsDialog(platform).DoModal();
        default: return -1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    platform::win32::Win32Platform backend;
    return Open(backend, std::atoi(argv[1])) == IDCANCEL ? 0 : 1;
}
