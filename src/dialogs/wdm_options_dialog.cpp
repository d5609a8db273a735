#include "dialogs/wdm_options_dialog.h"

#include "driver/wdm_installation.h"
#include "environment/source_folder.h"
#include "resources/resource_ids.h"

namespace setup {

WdmOptionsDialog::WdmOptionsDialog(platform::Platform& platform)
    : OptionDialog(platform, IDD_WDM_OPTIONS, DetermineSourceFolder(platform)) {}

OptionState WdmOptionsDialog::ReadOptions(platform::DialogWindow& window) const {
    OptionState options = OptionDialog::ReadOptions(window);
    options.disableLegacy = window.IsChecked(IDC_DISABLE_LEGACY);
    return options;
}

void WdmOptionsDialog::Install(platform::DialogWindow& window, const OptionState& options) {
    InstallWdmDriver(platform_, window, PackageFolder(), options);
}

}  // namespace setup
