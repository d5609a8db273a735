// A platform that forwards every call to another and writes each effect the
// program has on the machine into a journal: files, profiles, registry,
// processes and waits, windows, message boxes and dialogs, devices, the
// restart and the exit. Reads are not effects and go unrecorded. setupsim
// journals the virtual machine with it, setup.exe the real one when asked
// for a log; both write the same entries.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/journal/journal.h"
#include "platform/platform.h"

namespace platform {

// How the journal names a button a box or dialog ended with: "OK",
// "Cancel" or the number.
std::string ButtonName(int button);

class JournalingPlatform final : public Platform {
public:
    JournalingPlatform(Platform& inner, Journal& journal);

    // An entry stamped with the time since the journal began.
    void Record(std::string kind, JournalFields fields = {});
    void RecordAt(std::uint32_t tick, std::string kind, JournalFields fields);

    std::string ProgramPath() override { return inner_.ProgramPath(); }
    std::string CommandLine() override { return inner_.CommandLine(); }
    std::string GetModuleFileName() override { return inner_.GetModuleFileName(); }
    OsVersionInfo GetVersionEx() override { return inner_.GetVersionEx(); }
    std::uint32_t GetTickCount() override { return inner_.GetTickCount(); }

    std::optional<std::string> GetCurrentDirectory() override { return inner_.GetCurrentDirectory(); }
    bool SetCurrentDirectory(const std::string& path) override { return inner_.SetCurrentDirectory(path); }
    std::string GetWindowsDirectory() override { return inner_.GetWindowsDirectory(); }
    std::string GetSystemDirectory() override { return inner_.GetSystemDirectory(); }
    bool CreateDirectory(const std::string& path) override;

    std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override {
        return inner_.GetFileAttributes(path);
    }
    bool DeleteFile(const std::string& path) override;
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
                                   const std::string& file) override;

    long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) override {
        return inner_.RegQueryValueEx(key, name, bufferBytes, result);
    }
    long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    long RegDeleteValue(HKey key, const std::string& name) override;
    long RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override {
        return inner_.RegEnumKeyEx(key, index, nameChars, name);
    }
    long RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      RegEnumValueResult& result) override {
        return inner_.RegEnumValue(key, index, nameChars, dataBytes, result);
    }
    long RegDeleteKey(HKey root, const std::string& subKey) override;
    long RegCloseKey(HKey key) override;

    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override;
    Handle CreateProcess(const std::string& commandLine, int showWindow) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) override;
    std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) override;
    std::optional<std::uint32_t> GetExitCodeProcess(Handle process) override {
        return inner_.GetExitCodeProcess(process);
    }
    bool CloseHandle(Handle handle) override { return inner_.CloseHandle(handle); }
    void Sleep(std::uint32_t milliseconds) override;
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;

    Hwnd FindWindowEx(const std::optional<std::string>& className, const std::optional<std::string>& title) override;
    std::intptr_t SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption, std::uint32_t type) override;
    int DialogBox(int templateId, Hwnd parent, DialogHandler& handler) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void Enable3dControls() override;
    void OutputDebugString(const std::string& text) override;

    bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation, std::uint32_t mediaType,
                         std::uint32_t copyStyle) override;
    std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) override {
        return inner_.SetupQuerySourceList(flags);
    }
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override;
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override;
    bool SetupFreeSourceList(std::vector<std::string>& list) override { return inner_.SetupFreeSourceList(list); }
    Handle SetupDiGetClassDevs(std::uint32_t flags) override { return inner_.SetupDiGetClassDevs(flags); }
    bool SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) override {
        return inner_.SetupDiEnumDeviceInfo(set, index, devInst);
    }
    bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override;
    bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) override;
    bool SetupDiDestroyDeviceInfoList(Handle set) override { return inner_.SetupDiDestroyDeviceInfoList(set); }
    std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                    std::uint32_t flags) override {
        return inner_.CM_Locate_DevNode(devNode, deviceId, flags);
    }
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override;
    std::uint32_t GetLastError() override { return inner_.GetLastError(); }
    void SetLastError(std::uint32_t error) override { inner_.SetLastError(error); }

    std::uint32_t mixerGetNumDevs() override { return inner_.mixerGetNumDevs(); }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

    // How the journal names a window: a dialog by its template, another
    // program's window by the title and class it was found by.
    std::string WindowName(Hwnd window) const;

private:
    // A key by the path it was opened by, a root by its name.
    std::string KeyName(HKey key) const;
    void StartProcess(const std::string& commandLine, bool created, Handle process);
    void RecordWait(const char* kind, Handle process, std::uint32_t milliseconds, std::uint32_t result);

    Platform& inner_;
    Journal& journal_;
    std::uint32_t start_;
    int waitCursor_ = 0;
    std::map<HKey, std::string> keys_;                // open keys by the path they were opened by
    std::map<Hwnd, std::string> windows_;             // windows by what found or made them
    std::map<Handle, std::string> processes_;         // started processes by their command line
    std::map<std::pair<Handle, std::uint32_t>, std::string> hardwareIds_;  // devices by the first id read
};

}  // namespace platform
