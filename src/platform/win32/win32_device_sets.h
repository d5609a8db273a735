// The Setup API's device sets and device records the program holds, behind
// the plain numbers of the platform interface: a set is known by a small
// number, a device record within it by the device instance it names.
#pragma once

#include <vector>

#include "platform/small_map.h"
#include "platform/win32/win32_runtime_exports.h"

namespace platform::win32 {

class DeviceSets {
public:
    // Numbers a newly obtained set; never 0.
    Handle Add(HANDLE set);
    // The system's handle of a set, or nullptr when the number names none.
    HANDLE Find(Handle set) const;
    void Remove(Handle set);

    // Keeps a record SetupDiEnumDeviceInfo filled, replacing an earlier
    // record of the same device instance.
    void AddDevice(Handle set, const DeviceInfoData& device);
    // The record of a device instance of the set, or nullptr.
    DeviceInfoData* FindDevice(Handle set, std::uint32_t devInst);

private:
    struct Set {
        HANDLE handle;
        std::vector<DeviceInfoData> devices;
    };
    SmallMap<Handle, Set> sets_;
    Handle nextNumber_ = 1;
};

}  // namespace platform::win32
