#include "environment/option_state.h"

namespace setup {

int OptionState::JackConfig() const {
    if (!motherboard) return 0;
    return (lineInRear ? kJackLineInRear : 0) | (lineInBass ? kJackLineInBass : 0) | (micBass ? kJackMicBass : 0);
}

}  // namespace setup
