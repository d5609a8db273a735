// The About box of the main dialog's system menu: name and version only.
#pragma once

#include "platform/platform.h"

namespace setup {

class AboutDialog : public platform::DialogHandler {
public:
    // Constructed without a parent, the dialog belongs to the program's main
    // window: owner is that window (0 when there is none).
    AboutDialog(platform::Platform& platform, platform::Hwnd owner) : platform_(platform), owner_(owner) {}
    int DoModal();

private:
    platform::Platform& platform_;
    platform::Hwnd owner_;
};

}  // namespace setup
