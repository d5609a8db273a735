#include <cstdlib>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_whole_text.h"

namespace platform::win32 {
namespace {

// The command line after the program name, found the way the C run-time
// finds WinMain's command line: a quoted name ends at its closing quote, an
// unquoted one at the first blank; the blanks after it are skipped.
std::string AfterProgramName(const char* commandLine) {
    const auto isBlank = [](unsigned char c) { return c != '\0' && c <= ' '; };
    const auto* next = reinterpret_cast<const unsigned char*>(commandLine);
    if (*next == '"') {
        ++next;
        while (*next != '\0' && *next != '"') ++next;
        if (*next == '"') ++next;
    } else {
        while (*next > ' ') ++next;
    }
    while (isBlank(*next)) ++next;
    return reinterpret_cast<const char*>(next);
}

}  // namespace

std::string Win32Platform::ProgramPath() {
    return __argv != nullptr && __argv[0] != nullptr ? __argv[0] : "";
}

std::string Win32Platform::CommandLine() {
    const char* commandLine = ::GetCommandLineA();
    return commandLine != nullptr ? AfterProgramName(commandLine) : "";
}

std::string Win32Platform::GetModuleFileName() {
    return ReadWholeText([](char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); },
                         CutSignal::kResultAtLeastSize);
}

std::uint32_t Win32Platform::GetTickCount() { return ::GetTickCount(); }

LocalTime Win32Platform::GetLocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

OsVersionInfo Win32Platform::GetVersionEx() {
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the size Windows 95 knows");
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    OsVersionInfo version;
    if (!::GetVersionExA(&info)) return version;
    version.platformId = info.dwPlatformId;
    version.majorVersion = info.dwMajorVersion;
    version.minorVersion = info.dwMinorVersion;
    version.buildNumber = info.dwBuildNumber;
    version.csdVersion = info.szCSDVersion;
    return version;
}

}  // namespace platform::win32
