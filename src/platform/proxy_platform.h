// A platform that forwards every call to another: a wrapper derives from it
// and overrides only what it changes (the journal records effects, the log's
// guard hides the log file).
#pragma once

#include <cstdlib>

#include "platform/platform.h"

namespace platform {

class ProxyPlatform : public Platform {
public:
    explicit ProxyPlatform(Platform& inner) : inner_(inner) {}

    std::string ProgramPath() override { return inner_.ProgramPath(); }
    std::string CommandLine() override { return inner_.CommandLine(); }
    std::string GetModuleFileName() override { return inner_.GetModuleFileName(); }
    OsVersionInfo GetVersionEx() override { return inner_.GetVersionEx(); }
    std::uint32_t GetTickCount() override { return inner_.GetTickCount(); }
    LocalTime GetLocalTime() override { return inner_.GetLocalTime(); }
    std::optional<std::string> GetCurrentDirectory() override { return inner_.GetCurrentDirectory(); }
    bool SetCurrentDirectory(const std::string& path) override { return inner_.SetCurrentDirectory(path); }
    std::string GetWindowsDirectory() override { return inner_.GetWindowsDirectory(); }
    std::string GetSystemDirectory() override { return inner_.GetSystemDirectory(); }
    bool CreateDirectory(const std::string& path) override { return inner_.CreateDirectory(path); }
    std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) override {
        return inner_.fopen(path, mode);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        return inner_.CopyFile(from, to, failIfExists);
    }
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return inner_.SetFileAttributes(path, attributes);
    }
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override {
        return inner_.GetFileAttributes(path);
    }
    bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
    std::vector<FindData> FindFiles(const std::string& pattern) override { return inner_.FindFiles(pattern); }
    std::optional<std::string> GetShortPathName(const std::string& path) override {
        return inner_.GetShortPathName(path);
    }
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override {
        return inner_.GetPrivateProfileInt(section, key, defaultValue, file);
    }
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override {
        return inner_.GetPrivateProfileString(section, key, defaultValue, file);
    }
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override {
        return inner_.WritePrivateProfileString(section, key, value, file);
    }
    long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) override {
        return inner_.RegOpenKeyEx(root, subKey, access, result);
    }
    long RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) override {
        return inner_.RegQueryValueEx(key, name, bufferBytes, result);
    }
    long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override {
        return inner_.RegSetValueEx(key, name, type, data);
    }
    long RegDeleteValue(HKey key, const std::string& name) override { return inner_.RegDeleteValue(key, name); }
    long RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override {
        return inner_.RegEnumKeyEx(key, index, nameChars, name);
    }
    long RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      RegEnumValueResult& result) override {
        return inner_.RegEnumValue(key, index, nameChars, dataBytes, result);
    }
    long RegDeleteKey(HKey root, const std::string& subKey) override { return inner_.RegDeleteKey(root, subKey); }
    long RegCloseKey(HKey key) override { return inner_.RegCloseKey(key); }
    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override {
        return inner_.WinExec(commandLine, showWindow);
    }
    Handle CreateProcess(const std::string& commandLine, int showWindow) override {
        return inner_.CreateProcess(commandLine, showWindow);
    }
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) override {
        return inner_.WaitForInputIdle(process, milliseconds);
    }
    std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) override {
        return inner_.WaitForSingleObject(process, milliseconds);
    }
    std::optional<std::uint32_t> GetExitCodeProcess(Handle process) override {
        return inner_.GetExitCodeProcess(process);
    }
    bool CloseHandle(Handle handle) override { return inner_.CloseHandle(handle); }
    void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override {
        inner_.ExitProcess(exitCode);
        std::abort();  // the inner ExitProcess never returns
    }
    Hwnd FindWindowEx(const std::optional<std::string>& className, const std::optional<std::string>& title) override {
        return inner_.FindWindowEx(className, title);
    }
    std::intptr_t SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
        return inner_.SendMessage(window, message, wParam, lParam);
    }
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption, std::uint32_t type) override {
        return inner_.MessageBox(owner, text, caption, type);
    }
    int DialogBox(int templateId, Hwnd parent, DialogHandler& handler) override {
        return inner_.DialogBox(templateId, parent, handler);
    }
    void BeginWaitCursor() override { inner_.BeginWaitCursor(); }
    void EndWaitCursor() override { inner_.EndWaitCursor(); }
    void Enable3dControls() override { inner_.Enable3dControls(); }
    void OutputDebugString(const std::string& text) override { inner_.OutputDebugString(text); }
    std::uint32_t SetErrorMode(std::uint32_t mode) override { return inner_.SetErrorMode(mode); }
    bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation, std::uint32_t mediaType,
                         std::uint32_t copyStyle) override {
        return inner_.SetupCopyOEMInf(infPath, mediaLocation, mediaType, copyStyle);
    }
    std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) override {
        return inner_.SetupQuerySourceList(flags);
    }
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override {
        return inner_.SetupSetSourceList(flags, list);
    }
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override {
        return inner_.SetupAddToSourceList(flags, source);
    }
    bool SetupFreeSourceList(std::vector<std::string>& list) override { return inner_.SetupFreeSourceList(list); }
    Handle SetupDiGetClassDevs(std::uint32_t flags) override { return inner_.SetupDiGetClassDevs(flags); }
    bool SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) override {
        return inner_.SetupDiEnumDeviceInfo(set, index, devInst);
    }
    bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override {
        return inner_.SetupDiGetDeviceRegistryProperty(set, devInst, property, bufferBytes, data);
    }
    bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) override {
        return inner_.SetupDiRemoveDevice(set, devInst);
    }
    bool SetupDiDestroyDeviceInfoList(Handle set) override { return inner_.SetupDiDestroyDeviceInfoList(set); }
    std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                    std::uint32_t flags) override {
        return inner_.CM_Locate_DevNode(devNode, deviceId, flags);
    }
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override {
        return inner_.CM_Reenumerate_DevNode(devNode, flags);
    }
    std::uint32_t GetLastError() override { return inner_.GetLastError(); }
    void SetLastError(std::uint32_t error) override { inner_.SetLastError(error); }
    std::uint32_t mixerGetNumDevs() override { return inner_.mixerGetNumDevs(); }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override {
        return inner_.ExitWindowsEx(flags, reserved);
    }

protected:
    Platform& inner_;
};

}  // namespace platform
