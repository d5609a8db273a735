// The first phase of the registry purge: the multimedia class instances
// whose provider is the maker, with their resource entries.
#pragma once

#include "platform/platform.h"

namespace setup::cleanup {

// Deletions here never count as device entries removed.
void PurgeMakerMediaInstances(platform::Platform& platform);

}  // namespace setup::cleanup
