// A platform that fails the calls a fault plan names as Windows refuses them
// (each call's own failure answer, ERROR_ACCESS_DENIED left as the last
// error) and forwards every other call. Any backend can wear it: setupsim's
// virtual machine for the fault campaign, the Win32 backend when wanted.
// What only a machine can do (a medium taken out, a disk that fills) stays
// with the machine.
#pragma once

#include <functional>

#include "platform/faults/fault_plan.h"
#include "platform/proxy_platform.h"

namespace platform {

class FaultInjectingPlatform final : public ProxyPlatform {
public:
    // Told of each failure: the operation and its call number.
    using Listener = std::function<void(const char* operation, std::uint64_t call)>;
    FaultInjectingPlatform(Platform& inner, FaultPlan& plan, Listener listener = {})
        : ProxyPlatform(inner), plan_(plan), listener_(std::move(listener)) {}

    std::optional<std::string> GetCurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::vector<FindData> FindFiles(const std::string& pattern) override;
    std::optional<std::string> GetShortPathName(const std::string& path) override;
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override;
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override;
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;

    long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) override;
    long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    long RegDeleteValue(HKey key, const std::string& name) override;
    long RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override;
    long RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      RegEnumValueResult& result) override;
    long RegDeleteKey(HKey root, const std::string& subKey) override;

    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override;
    Handle CreateProcess(const std::string& commandLine, int showWindow) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) override;
    std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) override;
    std::optional<std::uint32_t> GetExitCodeProcess(Handle process) override;
    Hwnd FindWindowEx(const std::optional<std::string>& className, const std::optional<std::string>& title) override;
    std::intptr_t SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    int DialogBox(int templateId, Hwnd parent, DialogHandler& handler) override;

    bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation, std::uint32_t mediaType,
                         std::uint32_t copyStyle) override;
    std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) override;
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override;
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override;
    Handle SetupDiGetClassDevs(std::uint32_t flags) override;
    bool SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) override;
    bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override;
    bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) override;
    std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                    std::uint32_t flags) override;
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override;
    std::uint32_t mixerGetNumDevs() override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

private:
    // Whether the plan fails this call; a failed call leaves `error`.
    bool Refused(const char* operation, std::uint32_t error = ERROR_ACCESS_DENIED);
    FaultPlan& plan_;
    Listener listener_;
};

}  // namespace platform
