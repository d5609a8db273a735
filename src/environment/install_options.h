// The keys of setup.ini that steer a run: one table that the start-up
// sequence, the main dialog, the log's header and setupsim check all read
// (what each does is the README's table: its text would cost setup.exe).
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

struct SetupIniKey {
    const char* section;
    const char* name;
    int defaultValue;
    int InstallOptions::*option;  // the option it fills; nullptr for the keys read on their own
    bool path;                    // a path, not a number
};

// In the order the start-up sequence reads them.
inline constexpr SetupIniKey kSetupIniKeys[] = {
    {"InstallOption", "DriverOnly", 0, &InstallOptions::DriverOnly, false},
    {"InstallOption", "WindowsMEDriverAskUser", 0, &InstallOptions::WindowsMEDriverAskUser, false},
    {"InstallOption", "WindowsMEDriver", 1, &InstallOptions::WindowsMEDriver, false},
    {"InstallOption", "Windows98SEDriverAskUser", 0, &InstallOptions::Windows98SEDriverAskUser, false},
    {"InstallOption", "Windows98SEDriver", 0, &InstallOptions::Windows98SEDriver, false},
    {"InstallOption", "WebSetup", 0, &InstallOptions::WebSetup, false},
    {"InstallOption", "InstallWDMDriver", 0, &InstallOptions::InstallWDMDriver, false},
    {"InstallOption", "FullPackage", 0, nullptr, false},  // a VxD package's own Setup.ini
    {"Default", "UsingCDDA", 0, nullptr, false},
    {"Default", "Log", 0, nullptr, true},
};

// An InstallOptions{} holds the table's defaults: the compiler holds the two to each other.
constexpr bool DefaultsAgree() {
    const InstallOptions defaults{};
    for (const SetupIniKey& key : kSetupIniKeys) {
        if (key.option && defaults.*key.option != key.defaultValue) return false;
    }
    return true;
}
static_assert(DefaultsAgree(), "InstallOptions' member defaults differ from kSetupIniKeys");

// The key of that name (which must be in the table).
const SetupIniKey& SetupIniKeyNamed(const std::string& name);

// The options of sourceFolder + "setup.ini", read in the table's order.
InstallOptions ReadInstallOptions(platform::Platform& platform, const std::string& sourceFolder);
// One option of that file, with its default.
int ReadInstallOption(platform::Platform& platform, const std::string& setupIni, int InstallOptions::*option);

// Section "Default", key "UsingCDDA" of the same file.
int ReadUsingCdda(platform::Platform& platform, const std::string& sourceFolder);

// Section "Default", key "Log": where a test CD asks for a log; "" for none.
std::string ReadLogPath(platform::Platform& platform, const std::string& sourceFolder);

std::string SetupIniPath(const std::string& sourceFolder);

}  // namespace setup
