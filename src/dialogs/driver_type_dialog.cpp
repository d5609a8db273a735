#include "dialogs/driver_type_dialog.h"

#include "resources/resource_ids.h"

namespace setup {

DriverTypeDialog::DriverTypeDialog(platform::Platform& platform, platform::Hwnd parent)
    : platform_(platform), parent_(parent) {}

int DriverTypeDialog::DoModal() { return platform_.DialogBox(IDD_DRIVER_TYPE, parent_, *this); }

void DriverTypeDialog::OnInit(platform::DialogWindow& window) {
    window.SetCheck(IDC_VXD, answer_ != 0);
    window.SetCheck(IDC_WDM, answer_ == 0);
}

void DriverTypeDialog::OnCommand(platform::DialogWindow& /*window*/, int control) {
    if (control == IDC_VXD) answer_ = 1;
    if (control == IDC_WDM) answer_ = 0;
}

}  // namespace setup
