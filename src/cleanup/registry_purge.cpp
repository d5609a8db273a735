#include "cleanup/registry_purge.h"

#include "cleanup/cleanup_constants.h"
#include "cleanup/cleanup_text.h"
#include "cleanup/media_class_purge.h"
#include "environment/registry_key.h"

namespace setup {

namespace {


// What one phase of deletions came to.
enum class Deletions { None, Some, Failed };

// Deletes every sub-key of parentPath whose name, cut after the prefix's
// length, equals the prefix (case counts). A deletion shifts the indices,
// so the enumeration starts over at 0 after each one: the scan ends only
// after a whole pass without a match.
Deletions DeleteEntriesBeginningWith(platform::Platform& platform, const std::string& parentPath,
                                     const std::string& prefix) {
    Deletions result = Deletions::None;
    RegistryKey parent(platform, platform::HKEY_LOCAL_MACHINE, parentPath, platform::KEY_ENUMERATE_SUB_KEYS);
    std::uint32_t index = 0;
    while (parent.IsOpen()) {
        const std::optional<std::string> name = parent.SubKeyName(index, cleanup::kNameChars);
        if (!name) break;
        if (cleanup::CutAfter(*name, prefix.size()) != prefix) {
            ++index;
            continue;
        }
        parent.Close();
        const std::string path = cleanup::ChildPath(parentPath, *name);
        RegistryKey entry(platform, platform::HKEY_LOCAL_MACHINE, path, platform::KEY_READ);
        if (entry.IsOpen()) {
            if (platform.RegDeleteKey(platform::HKEY_LOCAL_MACHINE, path) != platform::ERROR_SUCCESS) {
                return Deletions::Failed;
            }
            result = Deletions::Some;
            index = 0;
        } else {
            ++index;  // an entry that will not open is passed over
        }
        entry.Close();
        parent.Reopen(platform::HKEY_LOCAL_MACHINE, parentPath, platform::KEY_ENUMERATE_SUB_KEYS);
    }
    return result;
}

// In their fixed order; the first that resists ends the phase.
Deletions DeleteVirtualDevices(platform::Platform& platform) {
    Deletions result = Deletions::None;
    for (const char* path : cleanup::kVirtualDeviceKeys) {
        RegistryKey key(platform, platform::HKEY_LOCAL_MACHINE, path, platform::KEY_READ);
        if (!key.IsOpen()) continue;
        if (platform.RegDeleteKey(platform::HKEY_LOCAL_MACHINE, path) != platform::ERROR_SUCCESS) {
            return Deletions::Failed;
        }
        result = Deletions::Some;
    }
    return result;
}

void DeleteCompanionRegistrations(platform::Platform& platform) {
    for (const cleanup::RegistryLocation& location : cleanup::kCompanionKeys) {
        RegistryKey key(platform, location.root, location.path, platform::KEY_WRITE);
        if (key.IsOpen()) platform.RegDeleteKey(location.root, location.path);
    }
}

}  // namespace

const char* ToString(PurgeOutcome outcome) {
    switch (outcome) {
        case PurgeOutcome::Removed: return "earlier device entries removed";
        case PurgeOutcome::NothingFound: return "no earlier device entry found";
        case PurgeOutcome::EnumeratedEntryKept: return "a PCI or chip-enumerator entry could not be deleted";
        case PurgeOutcome::VirtualDeviceKept: return "a virtual-device key could not be deleted";
    }
    return "?";
}

PurgeOutcome PurgeEarlierDriverRegistry(platform::Platform& platform) {
    // Phase 1: the maker's multimedia class instances and their resources.
    cleanup::PurgeMakerMediaInstances(platform);

    // Phase 2: the PCI hardware entries of the maker's audio devices.
    const Deletions pci = DeleteEntriesBeginningWith(platform, cleanup::kPciTreePath, cleanup::kPciEntryPrefix);
    if (pci == Deletions::Failed) return PurgeOutcome::EnumeratedEntryKept;

    // Phase 3: the chip enumerator's entries.
    const Deletions chip =
        DeleteEntriesBeginningWith(platform, cleanup::kChipEnumeratorPath, cleanup::kChipEntryPrefix);
    if (chip == Deletions::Failed) return PurgeOutcome::EnumeratedEntryKept;

    // Phase 4: the virtual legacy-audio devices.
    const Deletions devices = DeleteVirtualDevices(platform);
    if (devices == Deletions::Failed) return PurgeOutcome::VirtualDeviceKept;

    // Phase 5: the 3D-audio and ASIO registrations, only after device entries went.
    const bool removed =
        pci == Deletions::Some || chip == Deletions::Some || devices == Deletions::Some;
    if (!removed) return PurgeOutcome::NothingFound;
    DeleteCompanionRegistrations(platform);
    return PurgeOutcome::Removed;
}

}  // namespace setup
