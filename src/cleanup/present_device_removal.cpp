#include "cleanup/present_device_removal.h"

#include <optional>
#include <vector>

#include "cleanup/cleanup_constants.h"

namespace setup {

namespace {

// The texts of a zero-separated list, up to the first empty one or the end
// of the data, whichever comes first.
std::vector<std::string> TextsOf(const std::string& list) {
    std::vector<std::string> texts;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (end == start) break;
        texts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

// Hardware IDs are ASCII, so a plain byte search is the multibyte-aware one.
std::optional<std::string> HardwareIdContaining(platform::Platform& platform, platform::Handle set,
                                                std::uint32_t device, const std::string& searchText) {
    std::string list;
    if (!platform.SetupDiGetDeviceRegistryProperty(set, device, platform::SPDRP_HARDWAREID,
                                                   cleanup::kHardwareIdListBytes, list)) {
        return std::nullopt;  // no hardware IDs, or more than the buffer holds
    }
    for (const std::string& hardwareId : TextsOf(list)) {
        if (hardwareId.find(searchText) != std::string::npos) return hardwareId;
    }
    return std::nullopt;
}

}  // namespace

void RemovePresentDevice(platform::Platform& platform, std::string& searchText, int& removalFlag) {
    // An empty text would be found in every hardware ID: the first device
    // of all would go.
    if (searchText.empty()) return;
    const platform::Handle set = platform.SetupDiGetClassDevs(platform::DIGCF_PRESENT | platform::DIGCF_ALLCLASSES);
    if (set == 0) return;
    std::uint32_t device = 0;
    for (std::uint32_t index = 0; platform.SetupDiEnumDeviceInfo(set, index, device); ++index) {
        const std::optional<std::string> hardwareId = HardwareIdContaining(platform, set, device, searchText);
        if (!hardwareId) continue;
        if (removalFlag != 0) removalFlag = platform.SetupDiRemoveDevice(set, device) ? 1 : 0;
        searchText = *hardwareId;
        break;
    }
    // Whoever asks next sees the error of the search, not of the release.
    const std::uint32_t lastError = platform.GetLastError();
    platform.SetupDiDestroyDeviceInfoList(set);
    platform.SetLastError(lastError);
}

void RemovePresentAudioDevice(platform::Platform& platform) {
    std::string searchText = cleanup::kAudioDeviceHardwareId;
    int removalFlag = 1;
    RemovePresentDevice(platform, searchText, removalFlag);
}

}  // namespace setup
