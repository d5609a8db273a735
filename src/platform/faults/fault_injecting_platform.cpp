#include "platform/faults/fault_injecting_platform.h"

namespace platform {

bool FaultInjectingPlatform::Refused(const char* operation, std::uint32_t error) {
    std::uint64_t call = 0;
    if (!plan_.Fails(operation, call)) return false;
    inner_.SetLastError(error);
    if (listener_) listener_(operation, call);
    return true;
}

// --- Files and profiles ---

std::optional<std::string> FaultInjectingPlatform::GetCurrentDirectory() {
    return Refused("GetCurrentDirectory") ? std::nullopt : inner_.GetCurrentDirectory();
}
bool FaultInjectingPlatform::SetCurrentDirectory(const std::string& path) {
    return !Refused("SetCurrentDirectory") && inner_.SetCurrentDirectory(path);
}
bool FaultInjectingPlatform::CreateDirectory(const std::string& path) {
    return !Refused("CreateDirectory") && inner_.CreateDirectory(path);
}
std::unique_ptr<FileStream> FaultInjectingPlatform::fopen(const std::string& path, const std::string& mode) {
    return Refused("fopen") ? nullptr : inner_.fopen(path, mode);
}
bool FaultInjectingPlatform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return !Refused("CopyFile") && inner_.CopyFile(from, to, failIfExists);
}
bool FaultInjectingPlatform::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    return !Refused("SetFileAttributes") && inner_.SetFileAttributes(path, attributes);
}
std::optional<std::uint32_t> FaultInjectingPlatform::GetFileAttributes(const std::string& path) {
    return Refused("GetFileAttributes") ? std::nullopt : inner_.GetFileAttributes(path);
}
bool FaultInjectingPlatform::DeleteFile(const std::string& path) {
    return !Refused("DeleteFile") && inner_.DeleteFile(path);
}
std::vector<FindData> FaultInjectingPlatform::FindFiles(const std::string& pattern) {
    return Refused("FindFiles") ? std::vector<FindData>{} : inner_.FindFiles(pattern);
}
std::optional<std::string> FaultInjectingPlatform::GetShortPathName(const std::string& path) {
    return Refused("GetShortPathName") ? std::nullopt : inner_.GetShortPathName(path);
}
int FaultInjectingPlatform::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                                 const std::string& file) {
    return Refused("GetPrivateProfileInt") ? defaultValue : inner_.GetPrivateProfileInt(section, key, defaultValue, file);
}
std::string FaultInjectingPlatform::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                            const std::string& defaultValue, const std::string& file) {
    return Refused("GetPrivateProfileString") ? defaultValue
                                              : inner_.GetPrivateProfileString(section, key, defaultValue, file);
}
bool FaultInjectingPlatform::WritePrivateProfileString(const std::string& section, const std::string& key,
                                                       const std::string& value, const std::string& file) {
    return !Refused("WritePrivateProfileString") && inner_.WritePrivateProfileString(section, key, value, file);
}

// --- Registry: a refused call answers with the error itself ---

long FaultInjectingPlatform::RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) {
    if (!Refused("RegOpenKeyEx")) return inner_.RegOpenKeyEx(root, subKey, access, result);
    result = 0;  // a failed open leaves no key behind
    return ERROR_ACCESS_DENIED;
}
long FaultInjectingPlatform::RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) {
    return Refused("RegQueryValueEx") ? ERROR_ACCESS_DENIED : inner_.RegQueryValueEx(key, name, bufferBytes, result);
}
long FaultInjectingPlatform::RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) {
    return Refused("RegSetValueEx") ? ERROR_ACCESS_DENIED : inner_.RegSetValueEx(key, name, type, data);
}
long FaultInjectingPlatform::RegDeleteValue(HKey key, const std::string& name) {
    return Refused("RegDeleteValue") ? ERROR_ACCESS_DENIED : inner_.RegDeleteValue(key, name);
}
long FaultInjectingPlatform::RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) {
    return Refused("RegEnumKeyEx") ? ERROR_ACCESS_DENIED : inner_.RegEnumKeyEx(key, index, nameChars, name);
}
long FaultInjectingPlatform::RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                                          RegEnumValueResult& result) {
    return Refused("RegEnumValue") ? ERROR_ACCESS_DENIED : inner_.RegEnumValue(key, index, nameChars, dataBytes, result);
}
long FaultInjectingPlatform::RegDeleteKey(HKey root, const std::string& subKey) {
    return Refused("RegDeleteKey") ? ERROR_ACCESS_DENIED : inner_.RegDeleteKey(root, subKey);
}

// --- Processes and windows ---

std::uint32_t FaultInjectingPlatform::WinExec(const std::string& commandLine, int showWindow) {
    return Refused("WinExec") ? 0 : inner_.WinExec(commandLine, showWindow);
}
Handle FaultInjectingPlatform::CreateProcess(const std::string& commandLine, int showWindow) {
    return Refused("CreateProcess") ? 0 : inner_.CreateProcess(commandLine, showWindow);
}
std::uint32_t FaultInjectingPlatform::WaitForInputIdle(Handle process, std::uint32_t milliseconds) {
    return Refused("WaitForInputIdle") ? WAIT_FAILED : inner_.WaitForInputIdle(process, milliseconds);
}
std::uint32_t FaultInjectingPlatform::WaitForSingleObject(Handle process, std::uint32_t milliseconds) {
    return Refused("WaitForSingleObject") ? WAIT_FAILED : inner_.WaitForSingleObject(process, milliseconds);
}
std::optional<std::uint32_t> FaultInjectingPlatform::GetExitCodeProcess(Handle process) {
    return Refused("GetExitCodeProcess") ? std::nullopt : inner_.GetExitCodeProcess(process);
}
Hwnd FaultInjectingPlatform::FindWindowEx(const std::optional<std::string>& className, const std::optional<std::string>& title) {
    return Refused("FindWindowEx") ? 0 : inner_.FindWindowEx(className, title);
}
std::intptr_t FaultInjectingPlatform::SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return Refused("SendMessage") ? 0 : inner_.SendMessage(window, message, wParam, lParam);
}
int FaultInjectingPlatform::DialogBox(int templateId, Hwnd parent, DialogHandler& handler) {
    return Refused("DialogBox") ? -1 : inner_.DialogBox(templateId, parent, handler);
}

// --- Devices, the mixer, the restart ---

bool FaultInjectingPlatform::SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation,
                                             std::uint32_t mediaType, std::uint32_t copyStyle) {
    return !Refused("SetupCopyOEMInf") && inner_.SetupCopyOEMInf(infPath, mediaLocation, mediaType, copyStyle);
}
std::optional<std::vector<std::string>> FaultInjectingPlatform::SetupQuerySourceList(std::uint32_t flags) {
    return Refused("SetupQuerySourceList") ? std::nullopt : inner_.SetupQuerySourceList(flags);
}
bool FaultInjectingPlatform::SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) {
    return !Refused("SetupSetSourceList") && inner_.SetupSetSourceList(flags, list);
}
bool FaultInjectingPlatform::SetupAddToSourceList(std::uint32_t flags, const std::string& source) {
    return !Refused("SetupAddToSourceList") && inner_.SetupAddToSourceList(flags, source);
}
Handle FaultInjectingPlatform::SetupDiGetClassDevs(std::uint32_t flags) {
    return Refused("SetupDiGetClassDevs") ? 0 : inner_.SetupDiGetClassDevs(flags);
}
bool FaultInjectingPlatform::SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) {
    // A refused enumeration reads as the end of the list.
    return !Refused("SetupDiEnumDeviceInfo", ERROR_NO_MORE_ITEMS) && inner_.SetupDiEnumDeviceInfo(set, index, devInst);
}
bool FaultInjectingPlatform::SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                                              std::size_t bufferBytes, std::string& data) {
    return !Refused("SetupDiGetDeviceRegistryProperty", ERROR_INVALID_PARAMETER) &&
           inner_.SetupDiGetDeviceRegistryProperty(set, devInst, property, bufferBytes, data);
}
bool FaultInjectingPlatform::SetupDiRemoveDevice(Handle set, std::uint32_t devInst) {
    return !Refused("SetupDiRemoveDevice") && inner_.SetupDiRemoveDevice(set, devInst);
}
std::uint32_t FaultInjectingPlatform::CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                                        std::uint32_t flags) {
    return Refused("CM_Locate_DevNode") ? CR_FAILURE : inner_.CM_Locate_DevNode(devNode, deviceId, flags);
}
std::uint32_t FaultInjectingPlatform::CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) {
    return Refused("CM_Reenumerate_DevNode") ? CR_FAILURE : inner_.CM_Reenumerate_DevNode(devNode, flags);
}
std::uint32_t FaultInjectingPlatform::mixerGetNumDevs() { return Refused("mixerGetNumDevs") ? 0 : inner_.mixerGetNumDevs(); }
bool FaultInjectingPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
    return !Refused("ExitWindowsEx") && inner_.ExitWindowsEx(flags, reserved);
}

}  // namespace platform
