#include "dialogs/vxd_options_dialog.h"

#include "dialogs/minimised_icon.h"
#include "driver/vxd_installation.h"
#include "environment/install_options.h"
#include "environment/source_folder.h"
#include "resources/resource_ids.h"

namespace setup {

namespace {
std::string VxdPackageFolder(platform::Platform& platform) {
    return SourceFolderFromPath(platform.ProgramPath(), platform.GetCurrentDirectory().value_or(""),
                                /*qualifyWithDrive=*/false);
}
}  // namespace

VxdOptionsDialog::VxdOptionsDialog(platform::Platform& platform)
    : OptionDialog(platform, IDD_VXD_OPTIONS, VxdPackageFolder(platform)) {
    const SetupIniKey& fullPackage = SetupIniKeyNamed("FullPackage");
    fullPackage_ = platform.GetPrivateProfileInt(fullPackage.section, fullPackage.name, fullPackage.defaultValue,
                                                 PackageFolder() + "Setup.ini");
}

void VxdOptionsDialog::OnInit(platform::DialogWindow& window) {
    OptionDialog::OnInit(window);
    window.SetIcon(IDI_SETUP);
}

bool VxdOptionsDialog::OnPaint(platform::DialogWindow& window) { return PaintMinimisedIcon(window, IDI_SETUP); }

int VxdOptionsDialog::QueryDragIcon() { return IDI_SETUP; }

OptionState VxdOptionsDialog::ReadOptions(platform::DialogWindow& window) const {
    OptionState options = OptionDialog::ReadOptions(window);
    options.disableMidi = window.IsChecked(IDC_DISABLE_MIDI);
    options.disableGamePort = window.IsChecked(IDC_DISABLE_GAME);
    return options;
}

void VxdOptionsDialog::Install(platform::DialogWindow& window, const OptionState& options) {
    InstallVxdDriver(platform_, window, PackageFolder(), fullPackage_, options);
}

}  // namespace setup
