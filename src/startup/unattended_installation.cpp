#include "startup/unattended_installation.h"

namespace setup {

void RunUnattendedInstallation(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                               const InstallOptions& options, PackageKind package, int& vxdChosen) {
    DriverInstallation run{platform, os, sourceFolder, options, package, vxdChosen, 0,
                           package == PackageKind::Flat ? SourceDiskForm::WdmFixedDescription
                                                        : SourceDiskForm::WdmAppendedShortPath,
                           {}};
    // A system that takes neither driver gets nothing, not half an
    // installation.
    if (!os.Windows9x()) {
        platform.ExitProcess(0);
        return;
    }
    PrepareForDriver(run, /*announce=*/true);
    StageDriver(run);
    InstallStagedDriverAndRestart(run);
    platform.ExitProcess(0);
}

}  // namespace setup
