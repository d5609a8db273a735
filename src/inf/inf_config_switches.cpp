#include "inf/inf_config_switches.h"

#include "inf/inf_constants.h"
#include "inf/inf_in_place_edit.h"

namespace setup {

namespace {

struct ConfigSwitch {
    const char* line;
    bool (*applies)(const OptionState& options);
    char value;
    bool pauses;
};

const ConfigSwitch kConfigSwitches[] = {
    {inf::kDisableMidiLine, [](const OptionState& o) { return o.disableMidi; }, '1', true},
    {inf::kDisableGamePortLine, [](const OptionState& o) { return o.disableGamePort; }, '1', true},
    {inf::kLineInRearLine, [](const OptionState& o) { return (o.JackConfig() & kJackLineInRear) == 0; }, '0', false},
    {inf::kLineInBassLine, [](const OptionState& o) { return (o.JackConfig() & kJackLineInBass) != 0; }, '1', false},
    {inf::kMicBassLine, [](const OptionState& o) { return (o.JackConfig() & kJackMicBass) != 0; }, '1', false},
};

}  // namespace

void RewriteConfigSwitches(platform::Platform& platform, const std::string& infPath, platform::FileStream& inf,
                           const OptionState& options) {
    for (const ConfigSwitch& configSwitch : kConfigSwitches) {
        if (!configSwitch.applies(options)) continue;
        const std::string searched = configSwitch.line;
        const std::optional<FoundInfLine> line =
            FindInfLine(platform, infPath, [&](const std::string& body) { return body == searched; });
        if (!line) continue;
        if (configSwitch.pauses) platform.Sleep(inf::kLegacySwitchPauseMs);
        OverwriteInfCharacter(inf, *line, line->body.size() - 1, configSwitch.value);
    }
}

}  // namespace setup
