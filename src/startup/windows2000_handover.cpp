#include "startup/windows2000_handover.h"

#include "environment/messages.h"
#include "environment/paths.h"

namespace setup {

void HandOverToWindows2000Setup(platform::Platform& platform, const std::string& sourceFolder, bool driverOnly) {
    std::string program;
    for (const char* name : {"W2KSetup.dat", "W2KSetup.exe"}) {
        if (CanOpenForReading(platform, sourceFolder + name)) {
            program = sourceFolder + name;
            break;
        }
    }
    if (program.empty()) {
        ShowMessage(platform, 0, kNoWindows2000Setup);
        return;
    }
    if (driverOnly) program += " /DRIVER";
    // "W2KSetup.dat" is a program under another name: WinExec runs it as one.
    platform.WinExec(program, platform::SW_SHOW);
}

}  // namespace setup
