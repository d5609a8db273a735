// The device tree, Setup API and Configuration Manager of the virtual machine.
#include "platform/vm/machine.h"

#include <algorithm>

namespace vm {

std::string VirtualMachine::MultiSz(const std::vector<std::string>& texts) const {
    std::string data;
    for (const std::string& text : texts) data += text + '\0';
    return data + '\0';
}

platform::Handle VirtualMachine::SetupDiGetClassDevs(std::uint32_t /*flags*/) {
    if (NoSetupApi()) return 0;
    std::vector<std::size_t> present;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].present) present.push_back(i);
    }
    deviceSets_[nextSet_] = present;
    return nextSet_++;
}

bool VirtualMachine::SetupDiEnumDeviceInfo(platform::Handle set, std::uint32_t index, std::uint32_t& devInst) {
    auto found = deviceSets_.find(set);
    if (found == deviceSets_.end() || index >= found->second.size()) {
        lastError_ = platform::ERROR_NO_MORE_ITEMS;
        return false;
    }
    devInst = static_cast<std::uint32_t>(found->second[index]);
    return true;
}

bool VirtualMachine::SetupDiGetDeviceRegistryProperty(platform::Handle set, std::uint32_t devInst,
                                                      std::uint32_t property, std::size_t bufferBytes,
                                                      std::string& data) {
    if (!deviceSets_.count(set) || devInst >= devices_.size() || property != platform::SPDRP_HARDWAREID) {
        lastError_ = platform::ERROR_INVALID_PARAMETER;
        return false;
    }
    const std::string list = MultiSz(devices_[devInst].hardwareIds);
    if (list.size() > bufferBytes) {
        lastError_ = platform::ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    data = list;
    return true;
}

bool VirtualMachine::SetupDiRemoveDevice(platform::Handle set, std::uint32_t devInst) {
    if (!deviceSets_.count(set) || devInst >= devices_.size()) return false;
    devices_[devInst].present = false;
    return true;
}

bool VirtualMachine::SetupDiDestroyDeviceInfoList(platform::Handle set) {
    // Releasing the set must not disturb the caller's last error.
    return deviceSets_.erase(set) > 0;
}

bool VirtualMachine::SetupCopyOEMInf(const std::string& infPath, const std::string& /*mediaLocation*/,
                                     std::uint32_t /*mediaType*/, std::uint32_t /*copyStyle*/) {
    if (NoSetupApi()) return false;
    const std::optional<std::string> full = FullPath(infPath);
    const bool ok = full && fs_.IsFile(*full);
    return ok;
}

std::optional<std::vector<std::string>> VirtualMachine::SetupQuerySourceList(std::uint32_t /*flags*/) {
    if (NoSetupApi()) return std::nullopt;
    return sourceList_;
}

bool VirtualMachine::SetupSetSourceList(std::uint32_t /*flags*/, const std::vector<std::string>& list) {
    if (NoSetupApi()) return false;
    sourceList_ = list;
    return true;
}

bool VirtualMachine::SetupAddToSourceList(std::uint32_t /*flags*/, const std::string& source) {
    if (NoSetupApi()) return false;
    if (std::find(sourceList_.begin(), sourceList_.end(), source) == sourceList_.end()) sourceList_.push_back(source);
    return true;
}

bool VirtualMachine::SetupFreeSourceList(std::vector<std::string>& list) {
    list.clear();
    return true;
}

std::uint32_t VirtualMachine::CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                                std::uint32_t /*flags*/) {
    if (NoSetupApi() || deviceId) return platform::CR_FAILURE;
    devNode = 1;  // the root of the device tree
    return platform::CR_SUCCESS;
}

std::uint32_t VirtualMachine::CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t /*flags*/) {
    if (NoSetupApi() || devNode != 1) return platform::CR_FAILURE;
    // Plug and Play finds removed devices again, and its installer starts.
    for (Device& device : devices_) device.present = true;
    Schedule(TimedEvent::Anchor::Reenumeration);
    return platform::CR_SUCCESS;
}

}  // namespace vm
