// The one interface between the setup logic and the machine it runs on.
//
// Every operation mirrors a Win32 call the program makes, under the same name
// without the ANSI suffix, with std::string in place of caller buffers and
// plain results in place of out-parameters. No policy lives here: order,
// retries, best effort and buffer limits are the caller's business.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/win32_constants.h"

namespace platform {

using HKey = std::uintptr_t;      // predefined roots below; 0 is "no key"
using Handle = std::uintptr_t;    // processes, device sets, dev nodes; 0 is invalid

// What GetVersionEx fills into OSVERSIONINFOA (structure size 148).
struct OsVersionInfo {
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::string csdVersion;
};

// What GetLocalTime fills into SYSTEMTIME, without the day of the week.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One entry of a FindFirstFile/FindNextFile walk.
struct FindData {
    std::string fileName;          // the long name
    std::string alternateFileName; // the 8.3 alias, empty when the long name is one
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// A value read by RegQueryValueEx or RegEnumValue.
struct RegValue {
    std::uint32_t type = REG_NONE;
    std::string data;  // raw bytes; REG_SZ data keeps its terminating zero if stored with one
};

struct RegEnumValueResult {
    std::string name;
    RegValue value;
};

// A C run-time stream (fopen/fgets/fseek/fwrite/fflush/fclose), with the
// run-time's text-mode translation when opened without "b".
class FileStream {
public:
    virtual ~FileStream() = default;  // closes, as fclose
    // fgets: at most maxChars - 1 characters, up to and including '\n'.
    // nullopt at end of file or on a read error.
    virtual std::optional<std::string> Gets(std::size_t maxChars) = 0;
    // fread: up to count bytes; fewer at end of file.
    virtual std::string Read(std::size_t count) = 0;
    virtual bool Write(const std::string& bytes) = 0;
    virtual bool Seek(std::int64_t offset, int origin) = 0;  // SEEK_SET, SEEK_CUR, SEEK_END
    virtual std::int64_t Tell() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() const = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Start-up facts the run-time library hands the program ---
    // The first command-line argument, as typed or as the starter passed it.
    virtual std::string ProgramPath() = 0;
    // The text after the program name, leading blanks removed, trailing kept.
    virtual std::string CommandLine() = 0;
    // GetModuleFileName of the program itself.
    virtual std::string GetModuleFileName() = 0;

    // --- Version and clock ---
    virtual OsVersionInfo GetVersionEx() = 0;
    // Milliseconds since the system started; wraps after 49.7 days.
    virtual std::uint32_t GetTickCount() = 0;
    virtual LocalTime GetLocalTime() = 0;

    // --- Folders ---
    virtual std::optional<std::string> GetCurrentDirectory() = 0;
    virtual bool SetCurrentDirectory(const std::string& path) = 0;
    virtual std::string GetWindowsDirectory() = 0;
    virtual std::string GetSystemDirectory() = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;

    // --- Files ---
    virtual std::unique_ptr<FileStream> fopen(const std::string& path, const std::string& mode) = 0;
    virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
    virtual bool SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual std::optional<std::uint32_t> GetFileAttributes(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // FindFirstFile, FindNextFile until it fails, FindClose: every entry the
    // walk yields, in the order the file system yields them ("." and ".." too
    // where the system reports them).
    virtual std::vector<FindData> FindFiles(const std::string& pattern) = 0;
    virtual std::optional<std::string> GetShortPathName(const std::string& path) = 0;

    // --- Profile files ---
    virtual int GetPrivateProfileInt(const std::string& section, const std::string& key,
                                     int defaultValue, const std::string& file) = 0;
    // The whole value: never cut to a caller's buffer.
    virtual std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& defaultValue,
                                                const std::string& file) = 0;
    virtual bool WritePrivateProfileString(const std::string& section, const std::string& key,
                                           const std::string& value, const std::string& file) = 0;

    // --- Registry (results are Win32 error codes; ERROR_SUCCESS is 0) ---
    virtual long RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) = 0;
    // Fails with ERROR_MORE_DATA when the data does not fit bufferBytes.
    virtual long RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes,
                                 RegValue& result) = 0;
    virtual long RegSetValueEx(HKey key, const std::string& name, std::uint32_t type,
                               const std::string& data) = 0;
    virtual long RegDeleteValue(HKey key, const std::string& name) = 0;
    // Fails with ERROR_MORE_DATA when the name needs more than nameChars - 1 characters.
    virtual long RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) = 0;
    virtual long RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars,
                              std::size_t dataBytes, RegEnumValueResult& result) = 0;
    // Removes the key together with all its sub-keys, on every system. An
    // empty subKey never empties the key it is relative to.
    virtual long RegDeleteKey(HKey root, const std::string& subKey) = 0;
    virtual long RegCloseKey(HKey key) = 0;

    // --- Processes ---
    virtual std::uint32_t WinExec(const std::string& commandLine, int showWindow) = 0;
    // CreateProcess with no application name, no inheritance, no flags, the
    // caller's environment and current directory; 0 when it fails.
    virtual Handle CreateProcess(const std::string& commandLine, int showWindow) = 0;
    virtual std::uint32_t WaitForInputIdle(Handle process, std::uint32_t milliseconds) = 0;
    virtual std::uint32_t WaitForSingleObject(Handle process, std::uint32_t milliseconds) = 0;
    virtual std::optional<std::uint32_t> GetExitCodeProcess(Handle process) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    [[noreturn]] virtual void ExitProcess(std::uint32_t exitCode) = 0;

    // --- Windows and messages ---
    // FindWindowEx with no parent, no child-after; a class or title left out
    // (nullopt) matches any, an empty text only an empty one.
    virtual Hwnd FindWindowEx(const std::optional<std::string>& className,
                              const std::optional<std::string>& title) = 0;
    virtual std::intptr_t SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
    virtual int MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) = 0;
    // DialogBoxParam with the template of that id in the user's language;
    // returns what the dialog ended with, -1 when it could not be shown.
    virtual int DialogBox(int templateId, Hwnd parent, DialogHandler& handler) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void Enable3dControls() = 0;
    // OutputDebugString: a trace line for whoever watches the run.
    virtual void OutputDebugString(const std::string& text) = 0;
    // SetErrorMode: whether Windows asks the user about a drive without a
    // disk (SEM_FAILCRITICALERRORS: it does not); the mode before.
    virtual std::uint32_t SetErrorMode(std::uint32_t mode) = 0;

    // --- Device installation (Setup API, Configuration Manager) ---
    virtual bool SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation,
                                 std::uint32_t mediaType, std::uint32_t copyStyle) = 0;
    virtual std::optional<std::vector<std::string>> SetupQuerySourceList(std::uint32_t flags) = 0;
    virtual bool SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) = 0;
    virtual bool SetupAddToSourceList(std::uint32_t flags, const std::string& source) = 0;
    virtual bool SetupFreeSourceList(std::vector<std::string>& list) = 0;
    // 0 (INVALID_HANDLE_VALUE's stand-in) when the set cannot be had.
    virtual Handle SetupDiGetClassDevs(std::uint32_t flags) = 0;
    // The index-th device of the set; false past the end.
    virtual bool SetupDiEnumDeviceInfo(Handle set, std::uint32_t index, std::uint32_t& devInst) = 0;
    // Fails (ERROR_INSUFFICIENT_BUFFER) when the property is longer than bufferBytes.
    virtual bool SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst, std::uint32_t property,
                                                  std::size_t bufferBytes, std::string& data) = 0;
    virtual bool SetupDiRemoveDevice(Handle set, std::uint32_t devInst) = 0;
    virtual bool SetupDiDestroyDeviceInfoList(Handle set) = 0;
    virtual std::uint32_t CM_Locate_DevNode(std::uint32_t& devNode, const std::optional<std::string>& deviceId,
                                            std::uint32_t flags) = 0;
    virtual std::uint32_t CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) = 0;
    // After a failed device-installation call the value may be left over
    // from an earlier call (Wine's stubs do not set it); a call abandoned
    // because it raised an exception sets 574 (ERROR_UNHANDLED_EXCEPTION).
    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t error) = 0;

    // --- Multimedia ---
    virtual std::uint32_t mixerGetNumDevs() = 0;

    // --- System ---
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;
};

}  // namespace platform
