#include "cleanup/media_class_purge.h"

#include <string>
#include <vector>

#include "cleanup/cleanup_constants.h"
#include "cleanup/cleanup_text.h"
#include "environment/registry_key.h"
#include "cleanup/registry_purge.h"

namespace setup::cleanup {

namespace {

// Every sub-key name of the class, cut to its first four characters: an
// instance is looked up by those alone.
std::vector<std::string> ReadInstanceList(platform::Platform& platform) {
    std::vector<std::string> instances;
    RegistryKey mediaClass(platform, platform::HKEY_LOCAL_MACHINE, kMediaClassPath,
                           platform::KEY_ENUMERATE_SUB_KEYS);
    if (!mediaClass.IsOpen()) return instances;
    for (std::uint32_t index = 0;; ++index) {
        const std::optional<std::string> name = mediaClass.SubKeyName(index, kNameChars);
        if (!name) break;
        instances.push_back(CutAfter(*name, kInstanceNameChars));
    }
    return instances;
}

// The "ProviderName" value (that spelling exactly) begins with the maker's
// name in any case.
bool ProvidedByMaker(platform::Platform& platform, platform::HKey instance) {
    for (std::uint32_t index = 0; index < kMaxInstanceValues; ++index) {
        platform::RegEnumValueResult value;
        if (platform.RegEnumValue(instance, index, kNameChars, kAnyValueBytes, value) != platform::ERROR_SUCCESS) {
            return false;
        }
        if (value.name != kProviderNameValue) continue;
        platform::RegEnumValueResult provider;
        // A provider text that does not fit its buffer cannot be judged.
        if (platform.RegEnumValue(instance, index, kNameChars, kProviderTextBytes, provider) !=
            platform::ERROR_SUCCESS) {
            continue;
        }
        if (EqualIgnoringCase(CutAfter(TextOf(provider.value.data), kMakerNameChars), kMakerName)) return true;
    }
    return false;
}

}  // namespace

void PurgeMakerMediaInstances(platform::Platform& platform) {
    for (const std::string& instance : ReadInstanceList(platform)) {
        const std::string instancePath = ChildPath(kMediaClassPath, instance);
        RegistryKey key(platform, platform::HKEY_LOCAL_MACHINE, instancePath, platform::KEY_READ);
        if (!key.IsOpen() || !ProvidedByMaker(platform, key.Handle())) continue;
        platform.RegDeleteKey(platform::HKEY_LOCAL_MACHINE, instancePath);
        key.Close();
        for (const char* type : kMediaResourceTypes) {
            DeleteMediaResourceEntries(platform, std::string(kMediaResourcesPath) + type, instance);
        }
    }
}

}  // namespace setup::cleanup
