// The VxD-or-WDM question of Windows 98 SE and ME.
#pragma once

#include "platform/platform.h"

namespace setup {

class DriverTypeDialog : public platform::DialogHandler {
public:
    DriverTypeDialog(platform::Platform& platform, platform::Hwnd parent);

    // 1 for the VxD architecture, 0 for WDM (the meaning of UseVxd).
    void SetAnswer(int useVxd) { answer_ = useVxd; }
    int Answer() const { return answer_; }

    // IDOK when the user confirmed an answer; anything else means cancelled.
    int DoModal();

    void OnInit(platform::DialogWindow& window) override;
    void OnCommand(platform::DialogWindow& window, int control) override;

private:
    platform::Platform& platform_;
    platform::Hwnd parent_;
    int answer_ = 0;
};

}  // namespace setup
