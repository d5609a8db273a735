// The Config switches of the VxD INF: the legacy-device and phone-jack
// choices written as the last character of five add-registry lines.
#pragma once

#include <string>

#include "environment/option_state.h"
#include "platform/platform.h"

namespace setup {

// inf is the INF copy at infPath as its caller opened it, for update in text
// mode ("r+"); the caller seeks to its end, flushes and closes it afterwards.
// Each switch whose condition holds edits the first line equal to its line,
// if there is one.
void RewriteConfigSwitches(platform::Platform& platform, const std::string& infPath, platform::FileStream& inf,
                           const OptionState& options);

}  // namespace setup
