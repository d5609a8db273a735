#include <cstdlib>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

HANDLE ToHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::uint32_t Win32Platform::WinExec(const std::string& commandLine, int showWindow) {
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(showWindow));
}

Handle Win32Platform::CreateProcess(const std::string& commandLine, int showWindow) {
    // CreateProcessA may write into the command line it is given.
    std::string writableLine = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, &writableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return 0;
    }
    ::CloseHandle(started.hThread);
    return reinterpret_cast<Handle>(started.hProcess);
}

std::uint32_t Win32Platform::WaitForInputIdle(Handle process, std::uint32_t milliseconds) {
    return ::WaitForInputIdle(ToHandle(process), milliseconds);
}

std::uint32_t Win32Platform::WaitForSingleObject(Handle process, std::uint32_t milliseconds) {
    return ::WaitForSingleObject(ToHandle(process), milliseconds);
}

std::optional<std::uint32_t> Win32Platform::GetExitCodeProcess(Handle process) {
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(ToHandle(process), &exitCode)) return std::nullopt;
    return exitCode;
}

bool Win32Platform::CloseHandle(Handle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::SleepEx(milliseconds, FALSE); }

// The run-time's own termination, so that its streams are flushed before it
// calls ExitProcess.
void Win32Platform::ExitProcess(std::uint32_t exitCode) { std::exit(static_cast<int>(exitCode)); }

}  // namespace platform::win32
