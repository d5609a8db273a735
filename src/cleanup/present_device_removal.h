// Removal of the present audio device from the Plug and Play device tree,
// so that no driver serves it while the earlier driver's traces go.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

// Looks through all present devices for the first whose hardware-ID list
// holds a text containing searchText (case counts) and, when removalFlag is
// non-zero, removes it, setting removalFlag to 1 on success and 0 on
// failure. After a match searchText holds that whole hardware ID; without
// one both stay as they were. An empty searchText matches nothing.
void RemovePresentDevice(platform::Platform& platform, std::string& searchText, int& removalFlag);

// The call every driver flow makes: the first present device whose hardware
// IDs contain "PCI\VEN_1D9C&DEV_0111" is removed.
void RemovePresentAudioDevice(platform::Platform& platform);

}  // namespace setup
