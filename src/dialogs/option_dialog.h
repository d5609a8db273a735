// What the two driver option dialogs share: the package folder, the
// phone-jack controls and their rules, and Install handing the choices on.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

class OptionDialog : public platform::DialogHandler {
public:
    int DoModal();
    const std::string& PackageFolder() const { return packageFolder_; }

    void OnInit(platform::DialogWindow& window) override;
    void OnCommand(platform::DialogWindow& window, int control) override;
    void OnOk(platform::DialogWindow& window) override;

protected:
    OptionDialog(platform::Platform& platform, int templateId, std::string packageFolder);

    // The choices as the controls show them at the moment of the click.
    virtual OptionState ReadOptions(platform::DialogWindow& window) const;
    // The installation behind the Install button; it never returns to the
    // dialog.
    virtual void Install(platform::DialogWindow& window, const OptionState& options) = 0;

    platform::Platform& platform_;

private:
    int templateId_;
    std::string packageFolder_;
};

}  // namespace setup
