#include "startup/setup_app.h"

#include <string>

#include "applications/applications_launch.h"
#include "dialogs/setup_dialog.h"
#include "dialogs/vxd_options_dialog.h"
#include "dialogs/wdm_options_dialog.h"
#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "environment/source_folder.h"
#include "startup/command_line.h"
#include "startup/dispatch.h"
#include "startup/log_switch.h"
#include "startup/system_adjustments.h"
#include "startup/unattended_installation.h"
#include "startup/windows2000_handover.h"

namespace setup {

SetupApp::SetupApp(platform::Platform& platform) : platform_(platform) {}

void SetupApp::Run() {
    const OsKind os = DetermineOsKind(platform_);
    const std::string sourceFolder = DetermineSourceFolder(platform_);
    const InstallOptions options = ReadInstallOptions(platform_, sourceFolder);
    const int usingCdda = ReadUsingCdda(platform_, sourceFolder);

    WriteCdPlayerSetting(platform_, usingCdda);
    SelectCdRecordingFormat(platform_);
    DeleteApplicationsRunValue(platform_);

    std::string commandLine = TakeLogSwitch(platform_.CommandLine()).commandLine;
    const CommandLineMode mode = ClassifyCommandLine(commandLine);
    const Outcome outcome = ChooseOutcome(mode, os, options);
    platform_.OutputDebugString(std::string("outcome: ") + ToString(outcome));

    if (TurnsOn3dLook(outcome, options)) platform_.Enable3dControls();
    switch (outcome) {
        case Outcome::Windows2000Handover:
            HandOverToWindows2000Setup(platform_, sourceFolder,
                                       mode == CommandLineMode::DriverMode || options.DriverOnly != 0);
            return;
        case Outcome::SilentEnd:
            platform_.ExitProcess(0);
            return;
        case Outcome::WdmOptionsDialog:
            WdmOptionsDialog(platform_).DoModal();
            return;
        case Outcome::VxdOptionsDialog:
            VxdOptionsDialog(platform_).DoModal();
            return;
        case Outcome::ApplicationsLaunch:
            RunApplicationsLaunch(platform_, os, sourceFolder, options);
            return;
        case Outcome::UnattendedFromMedium:
            RunUnattendedInstallation(platform_, os, sourceFolder, options, PackageKind::Medium, vxdChosen_);
            return;
        case Outcome::UnattendedFromFlatPackage:
            RunUnattendedInstallation(platform_, os, sourceFolder, options, PackageKind::Flat, vxdChosen_);
            return;
        case Outcome::MainDialog:
            SetupDialog(platform_).DoModal();
            return;
    }
}

}  // namespace setup
