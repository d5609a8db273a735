// The integer keys of setup.ini that steer a run.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

struct InstallOptions {
    int DriverOnly = 0;
    int WindowsMEDriverAskUser = 0;
    int WindowsMEDriver = 1;
    int Windows98SEDriverAskUser = 0;
    int Windows98SEDriver = 0;
    int WebSetup = 0;
    int InstallWDMDriver = 0;
};

// The keys of section "InstallOption" of sourceFolder + "setup.ini", read in
// the order the start-up sequence reads them.
InstallOptions ReadInstallOptions(platform::Platform& platform, const std::string& sourceFolder);

// Section "Default", key "UsingCDDA" of the same file.
int ReadUsingCdda(platform::Platform& platform, const std::string& sourceFolder);

// Section "Default", key "Log": where a test CD asks for a log; "" for none.
std::string ReadLogPath(platform::Platform& platform, const std::string& sourceFolder);

std::string SetupIniPath(const std::string& sourceFolder);

}  // namespace setup
