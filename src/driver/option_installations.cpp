#include "driver/option_installations.h"

namespace setup {

std::string Describe(const OptionState& options) {
    return "motherboard=" + std::to_string(options.motherboard) + " jacks=" + std::to_string(options.JackConfig()) +
           " midi=" + std::to_string(options.disableMidi) + " game=" + std::to_string(options.disableGamePort) +
           " legacy=" + std::to_string(options.disableLegacy);
}

}  // namespace setup
