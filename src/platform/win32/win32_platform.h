// The platform on real Windows: each operation is the ANSI Win32 call of the
// same name. The Setup API, the Configuration Manager, the mixer count, Ctl3d
// and the token calls come from DLLs loaded at run time; a missing DLL or
// export, or an export that raises an exception, is a failed call.
#pragma once

#include "platform/win32/win32_device_sets.h"
#include "platform/win32/win32_runtime_library.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

class Win32Platform final : public Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Start-up facts (win32_startup_facts.cpp)
    std::string ProgramPath() override;
    std::string CommandLine() override;
    std::string GetModuleFileName() override;
    OsVersionInfo GetVersionEx() override;
    std::uint32_t GetTickCount() override;
    LocalTime GetLocalTime() override;

    // Folders and files (win32_files.cpp)
    std::optional<std::string> GetCurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string GetWindowsDirectory() override;
    std::string GetSystemDirectory() override;
    bool CreateDirectory(const std::string& path) override;
    std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::vector<FindData> FindFiles(const std::string& pattern) override;
    std::optional<std::string> GetShortPathName(const std::string& path) override;

    // Profile files (win32_profile.cpp)
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override;
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override;
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;

    // Registry (win32_registry.cpp)
    long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) override;
    long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    long RegDeleteValue(HKey key, const std::string& name) override;
    long RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override;
    long RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      RegEnumValueResult& result) override;
    long RegDeleteKey(HKey root, const std::string& subKey) override;
    long RegCloseKey(HKey key) override;

    // Processes (win32_processes.cpp)
    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override;
    Handle CreateProcess(const std::string& commandLine, int showWindow) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) override;
    std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) override;
    std::optional<std::uint32_t> GetExitCodeProcess(Handle process) override;
    bool CloseHandle(Handle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;

    // Restart (win32_shutdown.cpp)
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

    // Windows and messages (win32_windows.cpp)
    Hwnd FindWindowEx(const std::optional<std::string>& className, const std::optional<std::string>& title) override;
    std::intptr_t SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption, std::uint32_t type) override;
    int DialogBox(int templateId, Hwnd parent, DialogHandler& handler) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    // For the dialog host: a window shows its class cursor again on the next
    // WM_SETCURSOR unless it sets the wait cursor while this is true.
    bool WaitCursorShown() const { return waitCursorDepth_ > 0; }
    void Enable3dControls() override;
    void OutputDebugString(const std::string& text) override;
    std::uint32_t SetErrorMode(std::uint32_t mode) override { return ::SetErrorMode(mode); }

    // Device installation (win32_devices.cpp)
    bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation, std::uint32_t mediaType,
                         std::uint32_t copyStyle) override;
    // The list is copied and the Setup API's own list released at once.
    std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) override;
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override;
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override;
    // Only empties the copy: SetupQuerySourceList has released the original.
    bool SetupFreeSourceList(std::vector<std::string>& list) override;
    Handle SetupDiGetClassDevs(std::uint32_t flags) override;
    bool SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) override;
    bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override;
    bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) override;
    bool SetupDiDestroyDeviceInfoList(Handle set) override;
    std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                    std::uint32_t flags) override;
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t error) override;
    std::uint32_t mixerGetNumDevs() override;

private:
    void EnableShutdownPrivilege();

    RuntimeLibrary setupApi_{"setupapi.dll"};
    RuntimeLibrary configManager_{"cfgmgr32.dll"};
    RuntimeLibrary multimedia_{"winmm.dll"};
    RuntimeLibrary ctl3d_{"ctl3d32.dll"};
    RuntimeLibrary security_{"advapi32.dll"};
    DeviceSets deviceSets_;
    int waitCursorDepth_ = 0;
    HCURSOR cursorBeforeWait_ = nullptr;
    bool ctl3dEnabled_ = false;
};

}  // namespace platform::win32
