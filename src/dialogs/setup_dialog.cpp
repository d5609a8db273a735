#include "dialogs/setup_dialog.h"

#include "applications/applications_launch.h"
#include "dialogs/about_dialog.h"
#include "dialogs/driver_type_dialog.h"
#include "dialogs/minimised_icon.h"
#include "environment/paths.h"
#include "environment/source_folder.h"
#include "resources/resource_ids.h"

namespace setup {

namespace {
constexpr const char* kNoInstallationFiles = "Can not find installation files.";
}  // namespace

int SetupDialog::DoModal() { return platform_.DialogBox(IDD_SETUP, 0, *this); }

void SetupDialog::OnInit(platform::DialogWindow& window) {
    sourceFolder_ = DetermineSourceFolder(platform_);
    window.AppendSystemMenuItem(IDS_ABOUTBOX, IDM_ABOUTBOX);
    window.SetIcon(IDI_SETUP);
    window.SetCheck(IDC_INSTALL_APPLICATIONS, true);
    window.SetCheck(IDC_INSTALL_DRIVER, true);
    window.ShowControl(IDC_PLEASE_WAIT, false);

    const std::string setupIni = SetupIniPath(sourceFolder_);
    for (int InstallOptions::*option : {&InstallOptions::WindowsMEDriverAskUser, &InstallOptions::WindowsMEDriver,
                                        &InstallOptions::Windows98SEDriverAskUser, &InstallOptions::Windows98SEDriver}) {
        options_.*option = ReadInstallOption(platform_, setupIni, option);
    }
    os_ = DetermineOsKind(platform_);
    if (os_.NT4) {
        // No driver on Windows NT 4.0.
        window.SetCheck(IDC_INSTALL_DRIVER, false);
        window.EnableControl(IDC_INSTALL_DRIVER, false);
    }
    useVxd_ = VxdBySetupIni(os_, options_);

    if ((os_.WinME && options_.WindowsMEDriverAskUser != 0) || (os_.Win98SE && options_.Windows98SEDriverAskUser != 0)) {
        // Asked without a parent, the question belongs to the main window.
        DriverTypeDialog question(platform_, window.Handle());
        question.SetAnswer(useVxd_);
        if (question.DoModal() != platform::IDOK) {
            // Closed before it was ever visible, as if cancelled.
            window.Close();
            return;
        }
        useVxd_ = question.Answer();
        answered_ = true;
    }

    const std::optional<std::string> installer = ChooseApplicationsInstaller(platform_, os_, useVxd_, sourceFolder_);
    if (!installer || !CanOpenForReading(platform_, *installer)) {
        platform_.MessageBox(window.Handle(), kNoInstallationFiles, "Setup", platform::MB_OK);
        platform_.ExitProcess(0);
    }
}

void SetupDialog::OnCommand(platform::DialogWindow& window, int control) {
    if (control == IDC_INSTALL_APPLICATIONS || control == IDC_INSTALL_DRIVER) {
        window.EnableControl(platform::IDOK,
                             window.IsChecked(IDC_INSTALL_APPLICATIONS) || window.IsChecked(IDC_INSTALL_DRIVER));
    }
}

bool SetupDialog::OnSysCommand(platform::DialogWindow& window, std::uint32_t command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    AboutDialog(platform_, window.Handle()).DoModal();
    return true;
}

bool SetupDialog::OnPaint(platform::DialogWindow& window) { return PaintMinimisedIcon(window, IDI_SETUP); }

int SetupDialog::QueryDragIcon() { return IDI_SETUP; }

InstallOptions SetupDialog::DriverChoice() const {
    InstallOptions choice = options_;
    if (answered_) {
        if (os_.WinME) choice.WindowsMEDriver = useVxd_ ? 0 : 1;
        if (os_.Win98SE) choice.Windows98SEDriver = useVxd_ ? 0 : 1;
    }
    return choice;
}

}  // namespace setup
