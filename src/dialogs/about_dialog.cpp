#include "dialogs/about_dialog.h"

#include "resources/resource_ids.h"

namespace setup {

int AboutDialog::DoModal() { return platform_.DialogBox(IDD_ABOUTBOX, owner_, *this); }

}  // namespace setup
