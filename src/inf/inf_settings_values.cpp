#include "inf/inf_settings_values.h"

#include <cstdio>

#include "inf/inf_constants.h"
#include "inf/inf_in_place_edit.h"

namespace setup {

namespace {

std::optional<FoundInfLine> FindSettingsLine(platform::Platform& platform, const std::string& infPath,
                                             const char* settingsLine) {
    return FindInfLine(platform, infPath, [settingsLine](const std::string& body) {
        return body.compare(0, inf::kSettingsLineChars, settingsLine) == 0;
    });
}

char JackConfigDigit(const OptionState& options) { return static_cast<char>('0' + options.JackConfig()); }

}  // namespace

void RewriteSettingsValues(platform::Platform& platform, const std::string& infPath, const OptionState& options) {
    const std::unique_ptr<platform::FileStream> inf = platform.fopen(infPath, "r+");
    if (!inf) return;
    if (options.disableLegacy) {
        if (const std::optional<FoundInfLine> line = FindSettingsLine(platform, infPath, inf::kEnableLegacyLine)) {
            platform.Sleep(inf::kLegacySwitchPauseMs);
            OverwriteInfCharacter(*inf, *line, inf::kSettingsValueColumn, inf::kLegacyDisabledDigit);
        }
    }
    if (const std::optional<FoundInfLine> line = FindSettingsLine(platform, infPath, inf::kJackConfigLine)) {
        OverwriteInfCharacter(*inf, *line, inf::kSettingsValueColumn, JackConfigDigit(options));
    }
    inf->Seek(0, SEEK_END);
    inf->Flush();
}

}  // namespace setup
