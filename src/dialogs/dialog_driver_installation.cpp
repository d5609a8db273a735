// The unattended driver installation run from inside the main dialog: the
// dialog owns the messages, its UseVxd takes the chosen architecture, and
// it stays drawn during the long waits.
#include "dialogs/setup_dialog.h"
#include "driver/driver_installation.h"

namespace setup {

namespace {

DriverInstallation FromDialog(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                              const InstallOptions& options, int& useVxd, platform::DialogWindow& window) {
    return {platform,
            os,
            sourceFolder,
            options,
            PackageKind::Medium,
            useVxd,
            window.Handle(),
            SourceDiskForm::WdmFixedDescription,
            [&window] { window.Redraw(); }};
}

}  // namespace

// Staged only: the applications installer finishes the work.
void SetupDialog::StageDriver(platform::DialogWindow& window) {
    DriverInstallation run = FromDialog(platform_, os_, sourceFolder_, DriverChoice(), useVxd_, window);
    PrepareForDriver(run, /*announce=*/false);
    setup::StageDriver(run);
    platform_.EndWaitCursor();
}

void SetupDialog::InstallDriver(platform::DialogWindow& window) {
    DriverInstallation run = FromDialog(platform_, os_, sourceFolder_, DriverChoice(), useVxd_, window);
    PrepareForDriver(run, /*announce=*/true);
    setup::StageDriver(run);
    InstallStagedDriverAndRestart(run);
    platform_.EndWaitCursor();
    window.End(platform::IDOK);
}

}  // namespace setup
