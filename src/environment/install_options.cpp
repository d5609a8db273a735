#include "environment/install_options.h"

namespace setup {

namespace {
constexpr const char* kSection = "InstallOption";
}

std::string SetupIniPath(const std::string& sourceFolder) { return sourceFolder + "setup.ini"; }

InstallOptions ReadInstallOptions(platform::Platform& platform, const std::string& sourceFolder) {
    const std::string file = SetupIniPath(sourceFolder);
    InstallOptions options;
    auto read = [&](const char* key, int& field) {
        field = platform.GetPrivateProfileInt(kSection, key, field, file);
    };
    read("DriverOnly", options.DriverOnly);
    read("WindowsMEDriverAskUser", options.WindowsMEDriverAskUser);
    read("WindowsMEDriver", options.WindowsMEDriver);
    read("Windows98SEDriverAskUser", options.Windows98SEDriverAskUser);
    read("Windows98SEDriver", options.Windows98SEDriver);
    read("WebSetup", options.WebSetup);
    read("InstallWDMDriver", options.InstallWDMDriver);
    return options;
}

int ReadUsingCdda(platform::Platform& platform, const std::string& sourceFolder) {
    return platform.GetPrivateProfileInt("Default", "UsingCDDA", 0, SetupIniPath(sourceFolder));
}

std::string ReadLogPath(platform::Platform& platform, const std::string& sourceFolder) {
    return platform.GetPrivateProfileString("Default", "Log", "", SetupIniPath(sourceFolder));
}

}  // namespace setup
