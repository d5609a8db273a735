#include "platform/win32/win32_device_sets.h"

namespace platform::win32 {

Handle DeviceSets::Add(HANDLE set) {
    const Handle number = nextNumber_++;
    sets_[number] = Set{set, {}};
    return number;
}

HANDLE DeviceSets::Find(Handle set) const {
    const auto found = sets_.find(set);
    return found != sets_.end() ? found->second.handle : nullptr;
}

void DeviceSets::Remove(Handle set) { sets_.erase(set); }

void DeviceSets::AddDevice(Handle set, const DeviceInfoData& device) {
    const auto found = sets_.find(set);
    if (found == sets_.end()) return;
    if (DeviceInfoData* known = FindDevice(set, device.DevInst)) {
        *known = device;
        return;
    }
    found->second.devices.push_back(device);
}

DeviceInfoData* DeviceSets::FindDevice(Handle set, std::uint32_t devInst) {
    const auto found = sets_.find(set);
    if (found == sets_.end()) return nullptr;
    for (DeviceInfoData& device : found->second.devices) {
        if (device.DevInst == devInst) return &device;
    }
    return nullptr;
}

}  // namespace platform::win32
