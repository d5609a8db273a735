// Dialog 103: the phone jacks and legacy devices for the VxD driver.
#pragma once

#include "dialogs/option_dialog.h"

namespace setup {

class VxdOptionsDialog : public OptionDialog {
public:
    explicit VxdOptionsDialog(platform::Platform& platform);

    // "FullPackage" of the package's Setup.ini: 0 stages the system's DLS
    // files along with the package.
    int FullPackage() const { return fullPackage_; }

    void OnInit(platform::DialogWindow& window) override;
    bool OnPaint(platform::DialogWindow& window) override;
    int QueryDragIcon() override;

protected:
    OptionState ReadOptions(platform::DialogWindow& window) const override;
    void Install(platform::DialogWindow& window, const OptionState& options) override;

private:
    int fullPackage_ = 0;
};

}  // namespace setup
