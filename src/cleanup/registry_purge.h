// The registry purge of earlier drivers of the chip family: multimedia class
// instances of the maker and their resource entries, PCI hardware entries,
// the chip enumerator's entries, the virtual legacy-audio devices and, when
// any device entry went, the 3D-audio and ASIO registrations.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

enum class PurgeOutcome {
    Removed = 0,                // device entries removed; 3D-audio and ASIO keys processed
    NothingFound = 1,           // no PCI, chip-enumerator or virtual-device entry
    EnumeratedEntryKept = 2,    // a PCI or chip-enumerator entry resisted deletion; stopped there
    VirtualDeviceKept = 3,      // a virtual-device key resisted deletion; stopped there
};

const char* ToString(PurgeOutcome outcome);

PurgeOutcome PurgeEarlierDriverRegistry(platform::Platform& platform);

// The sweep of one multimedia resource type (its full path under
// HKEY_LOCAL_MACHINE) for one class instance name: deletes the first 15
// sub-keys whose names carry the instance name just before their last
// character.
void DeleteMediaResourceEntries(platform::Platform& platform, const std::string& typeKeyPath,
                                const std::string& instanceName);

}  // namespace setup
