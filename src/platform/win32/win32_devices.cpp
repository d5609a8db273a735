#include <algorithm>
#include <climits>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_runtime_exports.h"

namespace platform::win32 {
namespace {

// For a set or device number that names nothing, as the API answers a bad handle.
bool FailInvalidHandle() {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

}  // namespace

bool Win32Platform::SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation,
                                    std::uint32_t mediaType, std::uint32_t copyStyle) {
    return setupApi_.Call<SetupCopyOEMInfAFunction>("SetupCopyOEMInfA", FALSE, infPath.c_str(),
                                                    mediaLocation.c_str(), DWORD{mediaType}, DWORD{copyStyle},
                                                    nullptr, DWORD{0}, nullptr, nullptr);
}

std::optional<std::vector<std::string>> Win32Platform::SetupQuerySourceList(std::uint32_t flags) {
    PCSTR* list = nullptr;
    UINT count = 0;
    if (!setupApi_.Call<SetupQuerySourceListAFunction>("SetupQuerySourceListA", FALSE, DWORD{flags}, &list,
                                                       &count)) {
        return std::nullopt;
    }
    std::vector<std::string> entries;
    for (UINT i = 0; i < count; ++i) entries.emplace_back(list[i] != nullptr ? list[i] : "");
    setupApi_.Call<SetupFreeSourceListAFunction>("SetupFreeSourceListA", FALSE, &list, count);
    return entries;
}

bool Win32Platform::SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) {
    std::vector<PCSTR> entries;
    for (const std::string& entry : list) entries.push_back(entry.c_str());
    return setupApi_.Call<SetupSetSourceListAFunction>("SetupSetSourceListA", FALSE, DWORD{flags},
                                                       entries.data(), static_cast<UINT>(entries.size()));
}

bool Win32Platform::SetupAddToSourceList(std::uint32_t flags, const std::string& source) {
    return setupApi_.Call<SetupAddToSourceListAFunction>("SetupAddToSourceListA", FALSE, DWORD{flags}, source.c_str());
}

bool Win32Platform::SetupFreeSourceList(std::vector<std::string>& list) {
    list.clear();
    return true;
}

Handle Win32Platform::SetupDiGetClassDevs(std::uint32_t flags) {
    const HANDLE set = setupApi_.Call<SetupDiGetClassDevsAFunction>(
        "SetupDiGetClassDevsA", INVALID_HANDLE_VALUE, static_cast<const GUID*>(nullptr), static_cast<PCSTR>(nullptr),
        static_cast<HWND>(nullptr), DWORD{flags});
    if (set == INVALID_HANDLE_VALUE || set == nullptr) return 0;
    return deviceSets_.Add(set);
}

bool Win32Platform::SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) {
    const HANDLE handle = deviceSets_.Find(set);
    if (handle == nullptr) return FailInvalidHandle();
    DeviceInfoData device{};
    device.cbSize = sizeof device;
    if (!setupApi_.Call<SetupDiEnumDeviceInfoFunction>("SetupDiEnumDeviceInfo", FALSE, handle, DWORD{index},
                                                       &device)) {
        return false;
    }
    deviceSets_.AddDevice(set, device);
    devInst = device.DevInst;
    return true;
}

bool Win32Platform::SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                                     std::size_t bufferBytes, std::string& data) {
    const HANDLE handle = deviceSets_.Find(set);
    DeviceInfoData* device = deviceSets_.FindDevice(set, devInst);
    if (handle == nullptr || device == nullptr) return FailInvalidHandle();
    // Never a zero-sized buffer: a property that does not fit must fail.
    std::string buffer(std::max<std::size_t>(bufferBytes, 1), '\0');
    DWORD type = 0;
    DWORD written = 0;
    if (!setupApi_.Call<SetupDiGetDeviceRegistryPropertyAFunction>(
            "SetupDiGetDeviceRegistryPropertyA", FALSE, handle, device, DWORD{property}, &type,
            reinterpret_cast<PBYTE>(&buffer[0]), static_cast<DWORD>(std::min<std::size_t>(bufferBytes, ULONG_MAX)),
            &written)) {
        return false;
    }
    buffer.resize(std::min<std::size_t>(written, bufferBytes));
    data = std::move(buffer);
    return true;
}

bool Win32Platform::SetupDiRemoveDevice(Handle set, std::uint32_t devInst) {
    const HANDLE handle = deviceSets_.Find(set);
    DeviceInfoData* device = deviceSets_.FindDevice(set, devInst);
    if (handle == nullptr || device == nullptr) return FailInvalidHandle();
    return setupApi_.Call<SetupDiRemoveDeviceFunction>("SetupDiRemoveDevice", FALSE, handle, device);
}

bool Win32Platform::SetupDiDestroyDeviceInfoList(Handle set) {
    const HANDLE handle = deviceSets_.Find(set);
    if (handle == nullptr) return FailInvalidHandle();
    if (!setupApi_.Call<SetupDiDestroyDeviceInfoListFunction>("SetupDiDestroyDeviceInfoList", FALSE, handle)) {
        return false;
    }
    deviceSets_.Remove(set);
    return true;
}

std::uint32_t Win32Platform::CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                               std::uint32_t flags) {
    // The API takes the identifier as a writable text.
    std::string writableId = deviceId.value_or("");
    DWORD node = 0;
    const DWORD result = configManager_.Call<CM_Locate_DevNodeAFunction>(
        "CM_Locate_DevNodeA", DWORD{CR_FAILURE}, &node, deviceId ? &writableId[0] : nullptr, ULONG{flags});
    if (result == CR_SUCCESS) devNode = node;
    return result;
}

std::uint32_t Win32Platform::CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) {
    return configManager_.Call<CM_Reenumerate_DevNodeFunction>("CM_Reenumerate_DevNode", DWORD{CR_FAILURE},
                                                               DWORD{devNode}, ULONG{flags});
}

std::uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

void Win32Platform::SetLastError(std::uint32_t error) { ::SetLastError(error); }

std::uint32_t Win32Platform::mixerGetNumDevs() {
    return multimedia_.Call<mixerGetNumDevsFunction>("mixerGetNumDevs", UINT{0});
}

}  // namespace platform::win32
