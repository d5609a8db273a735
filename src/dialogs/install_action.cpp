// The OK button of the main dialog: applications, driver, or both.
#include "applications/applications_launch.h"
#include "dialogs/setup_dialog.h"
#include "driver/driver_installation.h"
#include "driver/restart.h"
#include "environment/companion_applications.h"
#include "environment/messages.h"
#include "environment/paths.h"
#include "resources/resource_ids.h"

namespace setup {

namespace {

constexpr const char* kNoteFile = "OVXSETUP.INI";
constexpr const char* kInsertMedium =
    "Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now.";
constexpr const char* kNoApplicationsInstaller = "Can not find the PCI Audio Applications setup program.";
constexpr const char* kWdmStagingPathForNote = "C:\\Program Files\\Orvanta\\WIN_ME";

}  // namespace

void SetupDialog::OnOk(platform::DialogWindow& window) {
    const bool applications = window.IsChecked(IDC_INSTALL_APPLICATIONS);
    const bool driver = window.IsChecked(IDC_INSTALL_DRIVER);
    if (!applications && !driver) {
        window.End(platform::IDCANCEL);
        return;
    }
    window.ShowControl(IDC_INSTALL_APPLICATIONS, false);
    window.ShowControl(IDC_INSTALL_DRIVER, false);
    window.ShowControl(IDC_PLEASE_WAIT, true);
    window.RedrawControl(IDC_PLEASE_WAIT);
    platform_.Sleep(200);

    const bool driverWanted = driver && !os_.NT4;
    if (driverWanted && applications) StageDriver(window);
    if (applications) {
        LaunchApplications(window, driver);
        return;
    }
    if (driverWanted) {
        InstallDriver(window);
        return;
    }
    window.End(platform::IDOK);
}

void SetupDialog::LaunchApplications(platform::DialogWindow& window, bool driverChosen) {
    CloseCompanionApplications(platform_);
    RemoveEarlierApplications(platform_);
    window.Show(false);
    std::optional<std::string> installer;
    for (;;) {
        installer = ChooseApplicationsInstaller(platform_, os_, useVxd_, sourceFolder_);
        if (installer && CanOpenForReading(platform_, *installer)) break;
        if (platform_.MessageBox(window.Handle(), kInsertMedium, "Setup", platform::MB_OKCANCEL) == platform::IDOK) {
            continue;
        }
        if (driverChosen) {
            // What was staged stays; the restart installs the driver.
            RequestRestart(platform_, window.Handle());
            window.End(platform::IDOK);
            return;
        }
        ShowMessage(platform_, window.Handle(), kNoApplicationsInstaller);
        window.End(platform::IDOK);
        return;
    }
    WriteNoteForInstaller(driverChosen && useVxd_ == 0);
    const platform::Handle process = platform_.CreateProcess(*installer, platform::SW_SHOW);
    if (process) platform_.CloseHandle(process);
    window.End(platform::IDOK);
}

// The applications installer finishes the work as this note asks: restart
// or not, and which command installs the staged WDM driver.
void SetupDialog::WriteNoteForInstaller(bool wdmStaged) {
    const std::string note = WindowsFolder(platform_) + kNoteFile;
    if (!wdmStaged) {
        platform_.WritePrivateProfileString("Need_To_Reboot", "Install", "YES", note);
        platform_.WritePrivateProfileString("Need_To_InstallDriver", "Install", "NO", note);
        platform_.WritePrivateProfileString("Need_To_InstallDriver", "Command", "", note);
        return;
    }
    platform_.WritePrivateProfileString("Need_To_Reboot", "Install", "NO", note);
    // Without a short form (the folder could not be made), the long one
    // still names the file the installer is to run.
    const std::string folder =
        WithBackslash(platform_.GetShortPathName(kWdmStagingPathForNote).value_or(kWdmStagingPathForNote));
    platform_.SetCurrentDirectory(folder);
    platform_.WritePrivateProfileString("Need_To_InstallDriver", "Install", "YES", note);
    platform_.WritePrivateProfileString("Need_To_InstallDriver", "Command", folder + "MESetup.dat", note);
}

}  // namespace setup
