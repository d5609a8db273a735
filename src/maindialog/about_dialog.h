// The About box of the main dialog's system menu: name and version only.
#pragma once

#include "platform/platform.h"

namespace setup {

class AboutDialog : public platform::DialogHandler {
public:
    explicit AboutDialog(platform::Platform& platform) : platform_(platform) {}
    int DoModal();

private:
    platform::Platform& platform_;
};

}  // namespace setup
