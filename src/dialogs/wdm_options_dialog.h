// Dialog 131: the phone jacks and legacy devices for the WDM driver.
#pragma once

#include "dialogs/option_dialog.h"

namespace setup {

class WdmOptionsDialog : public OptionDialog {
public:
    explicit WdmOptionsDialog(platform::Platform& platform);

protected:
    OptionState ReadOptions(platform::DialogWindow& window) const override;
    void Install(platform::DialogWindow& window, const OptionState& options) override;
};

}  // namespace setup
