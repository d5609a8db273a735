#include "driver/option_dialogs_install.h"

namespace setup {

std::string Describe(const OptionState& options) {
    return "motherboard=" + std::to_string(options.motherboard) + " jacks=" + std::to_string(options.JackConfig()) +
           " midi=" + std::to_string(options.disableMidi) + " game=" + std::to_string(options.disableGamePort) +
           " legacy=" + std::to_string(options.disableLegacy);
}

// The installation procedures come next; until then Install says what it
// was handed and ends the program.
void InstallVxdDriver(platform::Platform& platform, platform::DialogWindow& /*dialog*/,
                      const std::string& packageFolder, int fullPackage, const OptionState& options) {
    platform.OutputDebugString("not built yet: VxD driver installation from " + packageFolder +
                               " FullPackage=" + std::to_string(fullPackage) + " " + Describe(options));
    platform.ExitProcess(0);
}

void InstallWdmDriver(platform::Platform& platform, platform::DialogWindow& /*dialog*/,
                      const std::string& packageFolder, const OptionState& options) {
    platform.OutputDebugString("not built yet: WDM driver installation from " + packageFolder + " " +
                               Describe(options));
    platform.ExitProcess(0);
}

}  // namespace setup
