// The application object: one run of the setup program, from the start-up
// sequence to the one outcome it dispatches to.
#pragma once

#include "platform/platform.h"

namespace setup {

class SetupApp {
public:
    explicit SetupApp(platform::Platform& platform);

    // The start-up sequence. Returns when the program is not to continue
    // (the framework then ends it with exit code 0); the outcomes that end
    // the process themselves never return.
    void Run();

private:
    platform::Platform& platform_;
    // The driver architecture the unattended installation chose: 1 VxD, 0 WDM.
    int vxdChosen_ = 0;
};

}  // namespace setup
