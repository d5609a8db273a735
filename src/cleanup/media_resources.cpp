// DeleteMediaResourceEntries: the resource sweep of the registry purge.
#include <string>
#include <vector>

#include "cleanup/cleanup_constants.h"
#include "cleanup/cleanup_text.h"
#include "environment/registry_key.h"
#include "cleanup/registry_purge.h"

namespace setup {

namespace {

// A resource entry's name carries its instance in the four characters
// before its last one ("...0003" followed by one more character).
bool NamesInstance(const std::string& name, const std::string& instanceName) {
    constexpr std::size_t kTail = cleanup::kInstanceNameChars + 1;
    if (name.size() < kTail) return false;
    return cleanup::EqualIgnoringCase(name.substr(name.size() - kTail, cleanup::kInstanceNameChars), instanceName);
}

// The first matching names in enumeration order, gathered before anything
// is deleted so that the indices stay put.
std::vector<std::string> FindEntriesOf(platform::Platform& platform, const std::string& typeKeyPath,
                                       const std::string& instanceName) {
    std::vector<std::string> names;
    RegistryKey type(platform, platform::HKEY_LOCAL_MACHINE, typeKeyPath, platform::KEY_READ);
    for (std::uint32_t index = 0; type.IsOpen() && names.size() < cleanup::kMaxResourceMatches; ++index) {
        const std::optional<std::string> name = type.SubKeyName(index, cleanup::kNameChars);
        if (!name) break;
        if (NamesInstance(*name, instanceName)) names.push_back(*name);
    }
    return names;
}

}  // namespace

void DeleteMediaResourceEntries(platform::Platform& platform, const std::string& typeKeyPath,
                                const std::string& instanceName) {
    for (const std::string& name : FindEntriesOf(platform, typeKeyPath, instanceName)) {
        const std::string path = cleanup::ChildPath(typeKeyPath, name);
        RegistryKey entry(platform, platform::HKEY_LOCAL_MACHINE, path, platform::KEY_READ);
        if (entry.IsOpen()) platform.RegDeleteKey(platform::HKEY_LOCAL_MACHINE, path);
    }
}

}  // namespace setup
