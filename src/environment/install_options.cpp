#include "environment/install_options.h"

namespace setup {

std::string SetupIniPath(const std::string& sourceFolder) { return sourceFolder + "setup.ini"; }

const SetupIniKey& SetupIniKeyNamed(const std::string& name) {
    for (const SetupIniKey& key : kSetupIniKeys) {
        if (name == key.name) return key;
    }
    return kSetupIniKeys[0];  // not reached: every caller names a key of the table
}

int ReadInstallOption(platform::Platform& platform, const std::string& setupIni, int InstallOptions::*option) {
    for (const SetupIniKey& key : kSetupIniKeys) {
        if (key.option == option) return platform.GetPrivateProfileInt(key.section, key.name, key.defaultValue, setupIni);
    }
    return 0;  // not reached: every option has its key
}

InstallOptions ReadInstallOptions(platform::Platform& platform, const std::string& sourceFolder) {
    const std::string file = SetupIniPath(sourceFolder);
    InstallOptions options;
    for (const SetupIniKey& key : kSetupIniKeys) {
        if (key.option) options.*key.option = platform.GetPrivateProfileInt(key.section, key.name, key.defaultValue, file);
    }
    return options;
}

int ReadUsingCdda(platform::Platform& platform, const std::string& sourceFolder) {
    const SetupIniKey& key = SetupIniKeyNamed("UsingCDDA");
    return platform.GetPrivateProfileInt(key.section, key.name, key.defaultValue, SetupIniPath(sourceFolder));
}

std::string ReadLogPath(platform::Platform& platform, const std::string& sourceFolder) {
    const SetupIniKey& key = SetupIniKeyNamed("Log");
    return platform.GetPrivateProfileString(key.section, key.name, "", SetupIniPath(sourceFolder));
}

}  // namespace setup
