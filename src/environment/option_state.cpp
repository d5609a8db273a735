#include "environment/option_state.h"

namespace setup {

int OptionState::JackConfig() const {
    if (!motherboard) return 0;
    return (lineInRear ? kJackLineInRear : 0) | (lineInBass ? kJackLineInBass : 0) | (micBass ? kJackMicBass : 0);
}

std::string Describe(const OptionState& options) {
    return "motherboard=" + std::to_string(options.motherboard) + " jacks=" + std::to_string(options.JackConfig()) +
           " midi=" + std::to_string(options.disableMidi) + " game=" + std::to_string(options.disableGamePort) +
           " legacy=" + std::to_string(options.disableLegacy);
}

}  // namespace setup
