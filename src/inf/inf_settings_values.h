// The Settings values of the WDM INF: the legacy-device and phone-jack
// choices written as one hex digit at column 48 of two add-registry lines.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

// Opens the staged INF at infPath for update in text mode; an INF that does
// not open is left alone.
void RewriteSettingsValues(platform::Platform& platform, const std::string& infPath, const OptionState& options);

}  // namespace setup
