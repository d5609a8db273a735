// The virtual Windows machine: the platform interface on an in-memory
// machine, with a virtual clock, timed events, scripted answers, fault
// injection and a journal of every effect.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/faults/fault_plan.h"
#include "platform/platform.h"
#include "platform/vm/dialog_host.h"
#include "platform/vm/filesystem.h"
#include "platform/journal/journal.h"
#include "platform/vm/registry.h"
#include "platform/vm/windows_version.h"

namespace vm {

// Thrown by ExitProcess: the run ends here.
struct ProcessExit {
    std::uint32_t exitCode = 0;
};

// Thrown by the clock when a run waits longer than the machine allows: a hang.
struct VirtualTimeLimit {
    std::uint64_t time = 0;
};

struct TopLevelWindow {
    std::string title;
    std::string className;
    bool open = true;
};

struct Device {
    std::vector<std::string> hardwareIds;
    bool present = true;
};

// How a program the setup starts behaves.
struct ProgramBehaviour {
    std::string name;                  // file name or full path, case ignored
    std::uint64_t runsFor = 0;         // milliseconds until it exits
    std::uint32_t exitCode = 0;
    std::uint64_t idleAfter = 0;       // WaitForInputIdle returns after this
};

struct StartedProcess {
    std::string commandLine;
    std::string program;               // the resolved program file
    std::string currentDirectory;
    std::uint64_t startedAt = 0;
    ProgramBehaviour behaviour;
};

// A scripted answer to a message box: the first unused one whose text
// occurs in the message ("*" for any) gives the button.
struct MessageBoxAnswer {
    std::string textContains;
    int button = platform::IDOK;
    bool used = false;
    std::uint64_t after = 0;  // how long the user takes to answer
};

// Something that happens on its own at a virtual time.
struct TimedEvent {
    enum class Anchor { Start, Reenumeration };
    Anchor anchor = Anchor::Start;
    std::uint64_t delay = 0;
    std::string description;
    std::function<void(class VirtualMachine&)> action;
};

using platform::FaultRule;

struct MachineSettings {
    WindowsVersion version = WindowsVersion::Win98SE;
    std::string language = "English";
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\SYSTEM";
    std::string programPath = "E:\\setup.exe";
    std::string commandLine;
    std::string currentDirectory = "E:\\";
    std::uint32_t mixerDevices = 0;
    bool setupApi = true;              // Windows 95 has no Setup API
    std::uint64_t timeLimit = 24ull * 60 * 60 * 1000;
    platform::LocalTime startTime{2000, 1, 3, 10, 0, 0};  // the clock when the program starts
};

// The program's own dialog templates and strings, in a language or English.
std::optional<DialogLayout> ProgramDialogLayout(int id, const std::string& language);
std::string ProgramString(int id, const std::string& language);

class VirtualMachine : public platform::Platform {
public:
    VirtualMachine();

    // --- Set-up and inspection (loaders, tests, setupsim) ---
    MachineSettings settings;
    FileSystem& Files() { return fs_; }
    Registry& Reg() { return registry_; }
    platform::Journal& GetJournal() { return journal_; }
    std::uint64_t Now() const { return now_; }
    std::vector<TopLevelWindow>& Windows() { return windows_; }
    std::vector<Device>& Devices() { return devices_; }
    std::vector<std::string>& SourceList() { return sourceList_; }
    std::vector<ProgramBehaviour>& Programs() { return programs_; }
    std::vector<MessageBoxAnswer>& Answers() { return answers_; }
    // The calls that fail on purpose (machine.ini's [Faults]): the machine
    // keeps the plan, a FaultInjectingPlatform over the machine carries it out.
    platform::FaultPlan& FaultPlan() { return faultPlan_; }
    // For a FaultInjectingPlatform over the machine: enters each failure
    // into the machine's journal ("fault").
    std::function<void(const char* operation, std::uint64_t call)> FaultListener();
    std::vector<FaultRule>& Faults() { return faultPlan_.Rules(); }
    const std::vector<StartedProcess>& Processes() const { return processes_; }
    void AddEvent(TimedEvent event);
    const std::vector<TimedEvent>& Events() const { return events_; }
    // Every call of every operation fails with this probability.
    void SetRandomFaults(double probability, std::uint32_t seed) { faultPlan_.SetRandom(probability, seed); }
    bool RestartRequested() const { return restartRequested_; }
    bool WaitCursorShown() const { return waitCursor_ > 0; }
    std::uint32_t ErrorMode() const { return errorMode_; }
    std::uint64_t FaultsInjected() const { return faultPlan_.Injected(); }
    // A path as the machine resolves it against its current directory.
    std::optional<std::string> FullPath(const std::string& path) const;
    void SetMixerDevices(std::uint32_t count) { settings.mixerDevices = count; }
    std::vector<DialogScript>& DialogScripts() { return dialogScripts_; }
    // Where dialog templates come from: by default the program's own
    // resources; tests may put their own here.
    std::function<std::optional<DialogLayout>(int id, const std::string& language)> dialogLayouts;
    std::function<std::string(int id, const std::string& language)> strings;

    // --- platform::Platform ---
    std::string ProgramPath() override;
    std::string CommandLine() override;
    std::string GetModuleFileName() override;
    platform::OsVersionInfo GetVersionEx() override;
    std::uint32_t GetTickCount() override;
    platform::LocalTime GetLocalTime() override;
    std::optional<std::string> GetCurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string GetWindowsDirectory() override;
    std::string GetSystemDirectory() override;
    bool CreateDirectory(const std::string& path) override;
    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::vector<platform::FindData> FindFiles(const std::string& pattern) override;
    std::optional<std::string> GetShortPathName(const std::string& path) override;
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override;
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override;
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;
    long RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                      platform::HKey& result) override;
    long RegQueryValueEx(platform::HKey key, const std::string& name, std::size_t bufferBytes,
                         platform::RegValue& result) override;
    long RegSetValueEx(platform::HKey key, const std::string& name, std::uint32_t type,
                       const std::string& data) override;
    long RegDeleteValue(platform::HKey key, const std::string& name) override;
    long RegEnumKeyEx(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override;
    long RegEnumValue(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      platform::RegEnumValueResult& result) override;
    long RegDeleteKey(platform::HKey root, const std::string& subKey) override;
    long RegCloseKey(platform::HKey key) override;
    std::uint32_t WinExec(const std::string& commandLine, int showWindow) override;
    platform::Handle CreateProcess(const std::string& commandLine, int showWindow) override;
    std::uint32_t WaitForInputIdle(platform::Handle process, std::uint32_t milliseconds) override;
    std::uint32_t WaitForSingleObject(platform::Handle process, std::uint32_t milliseconds) override;
    std::optional<std::uint32_t> GetExitCodeProcess(platform::Handle process) override;
    bool CloseHandle(platform::Handle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;
    platform::Hwnd FindWindowEx(const std::optional<std::string>& className,
                                const std::optional<std::string>& title) override;
    std::intptr_t SendMessage(platform::Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    int MessageBox(platform::Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    int DialogBox(int templateId, platform::Hwnd parent, platform::DialogHandler& handler) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void Enable3dControls() override;
    void OutputDebugString(const std::string& text) override;
    std::uint32_t SetErrorMode(std::uint32_t mode) override;
    bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation, std::uint32_t mediaType,
                         std::uint32_t copyStyle) override;
    std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) override;
    bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) override;
    bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) override;
    bool SetupFreeSourceList(std::vector<std::string>& list) override;
    platform::Handle SetupDiGetClassDevs(std::uint32_t flags) override;
    bool SetupDiEnumDeviceInfo(platform::Handle set, std::uint32_t index, std::uint32_t& devInst) override;
    bool SetupDiGetDeviceRegistryProperty(platform::Handle set, std::uint32_t devInst, std::uint32_t property,
                                          std::size_t bufferBytes, std::string& data) override;
    bool SetupDiRemoveDevice(platform::Handle set, std::uint32_t devInst) override;
    bool SetupDiDestroyDeviceInfoList(platform::Handle set) override;
    std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                    std::uint32_t flags) override;
    std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t error) override;
    std::uint32_t mixerGetNumDevs() override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

private:
    using Fields = std::vector<std::pair<std::string, std::string>>;

    struct OpenKey {
        platform::HKey root = 0;
        std::string path;
    };
    struct Scheduled {
        std::uint64_t at = 0;
        std::size_t event = 0;
    };

    void Log(std::string kind, Fields fields = {});
    // True when the call is to fail on purpose (and journals it).
    bool NoSetupApi();
    void AdvanceTo(std::uint64_t time);
    void Schedule(TimedEvent::Anchor anchor);
    std::string RelativeShortPath(const std::string& path) const;
    std::string ProfilePath(const std::string& file) const;
    std::optional<OpenKey> KeyOf(platform::HKey key) const;
    Registry::Key* FindKey(platform::HKey key);
    std::optional<std::string> ResolveProgram(const std::string& commandLine) const;
    platform::Handle Start(const std::string& commandLine);
    StartedProcess* ProcessOf(platform::Handle handle);
    std::string MultiSz(const std::vector<std::string>& texts) const;

    FileSystem fs_;
    Registry registry_;
    platform::Journal journal_;
    std::uint64_t now_ = 0;
    std::string currentDirectory_;
    bool currentDirectorySet_ = false;
    std::vector<TopLevelWindow> windows_;
    std::vector<Device> devices_;
    std::vector<std::string> sourceList_;
    std::vector<ProgramBehaviour> programs_;
    std::vector<MessageBoxAnswer> answers_;
    platform::FaultPlan faultPlan_;
    std::vector<DialogScript> dialogScripts_;
    platform::Hwnd nextDialog_ = 0x30000;
    std::vector<TimedEvent> events_;
    std::vector<Scheduled> scheduled_;
    std::vector<StartedProcess> processes_;
    std::map<platform::HKey, OpenKey> openKeys_;
    platform::HKey nextKey_ = 0x1000;
    std::map<platform::Handle, std::vector<std::size_t>> deviceSets_;
    platform::Handle nextSet_ = 0x2000;
    std::uint32_t lastError_ = 0;
    int waitCursor_ = 0;
    std::uint32_t errorMode_ = 0;
    bool restartRequested_ = false;
};

}  // namespace vm
