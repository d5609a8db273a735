#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_runtime_exports.h"

namespace platform::win32 {
namespace {

bool IsWindowsNt() { return (::GetVersion() & 0x80000000u) == 0; }

}  // namespace

// Windows NT restarts only for a process that holds the shutdown privilege
// enabled. Failures here leave ExitWindowsEx to fail on its own.
void Win32Platform::EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!security_.Call<OpenProcessTokenFunction>("OpenProcessToken", FALSE, ::GetCurrentProcess(),
                                                  DWORD{TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY}, &token)) {
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (security_.Call<LookupPrivilegeValueAFunction>("LookupPrivilegeValueA", FALSE, nullptr,
                                                      "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        security_.Call<AdjustTokenPrivilegesFunction>("AdjustTokenPrivileges", FALSE, token, FALSE, &privileges,
                                                      DWORD{0}, nullptr, nullptr);
    }
    ::CloseHandle(token);
}

bool Win32Platform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
    if (IsWindowsNt()) EnableShutdownPrivilege();
    return ::ExitWindowsEx(flags, reserved) != FALSE;
}

}  // namespace platform::win32
