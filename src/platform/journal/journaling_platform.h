// A platform that forwards every call to another and writes each effect the
// program has on the machine into a journal: files, profiles, registry,
// processes and waits, windows, message boxes and dialogs, devices, the
// restart and the exit. Reads are not effects and go unrecorded. setupsim
// journals the virtual machine with it, setup.exe the real one when asked
// for a log; both write the same entries.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/journal/journal.h"
#include "platform/proxy_platform.h"
#include "platform/small_map.h"

namespace platform {

// How the journal names a button a box or dialog ended with: "OK",
// "Cancel" or the number.
std::string ButtonName(int button);

class JournalingPlatform final : public ProxyPlatform {
public:
    JournalingPlatform(Platform& inner, Journal& journal);

    // An entry stamped with the time since the journal began.
    void Record(std::string kind, JournalFields fields = {});
    // The same with fields named by literals: each call site builds only
    // the values (the names become strings in one place, not at each).
    struct Field {
        const char* name;
        std::string value;
    };
    void Record(const char* kind, std::initializer_list<Field> fields);
    void RecordAt(std::uint32_t tick, std::string kind, JournalFields fields);

    bool CreateDirectory(const std::string& path) override;

    std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    bool DeleteFile(const std::string& path) override;

    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;

    long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    long RegDeleteValue(HKey key, const std::string& name) override;
    long RegDeleteKey(HKey root, const std::string& subKey) override;
    long RegCloseKey(HKey key) override;

    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override;
    Handle CreateProcess(const std::string& commandLine, int showWindow) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) override;
    std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) override;
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
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override;
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override;
    bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override;
    bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) override;
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override;

    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

    // How the journal names a window: a dialog by its template, another
    // program's window by the title and class it was found by.
    std::string WindowName(Hwnd window) const;

private:
    // A key by the path it was opened by, a root by its name.
    std::string KeyName(HKey key) const;
    void StartProcess(const std::string& commandLine, bool created, Handle process);
    void RecordWait(const char* kind, Handle process, std::uint32_t milliseconds, std::uint32_t result);

    Journal& journal_;
    std::uint32_t start_;
    int waitCursor_ = 0;
    SmallMap<HKey, std::string> keys_;                // open keys by the path they were opened by
    SmallMap<Hwnd, std::string> windows_;             // windows by what found or made them
    SmallMap<Handle, std::string> processes_;         // started processes by their command line
    SmallMap<std::pair<Handle, std::uint32_t>, std::string> hardwareIds_;  // devices by the first id read
};

}  // namespace platform
