// The Win32 constants the logic passes and tests, with their documented
// values, so that the logic never needs <windows.h>.
//
// The Win32 backend includes this before <windows.h> (whose macros of the
// same names then take over with the same values); see win32/windows_api.h.
#pragma once

#include <cstdint>

namespace platform {

// Errors
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_PATH_NOT_FOUND = 3;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_INSUFFICIENT_BUFFER = 122;
constexpr long ERROR_ALREADY_EXISTS = 183;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;
constexpr long ERROR_KEY_DELETED = 1018;
constexpr long ERROR_PROC_NOT_FOUND = 127;
constexpr long ERROR_MOD_NOT_FOUND = 126;

// Version
constexpr std::uint32_t VER_PLATFORM_WIN32s = 0;
constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// Files
constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr std::uint32_t SEM_FAILCRITICALERRORS = 0x0001;

// Registry
constexpr std::uintptr_t HKEY_CLASSES_ROOT = 0x80000000u;
constexpr std::uintptr_t HKEY_CURRENT_USER = 0x80000001u;
constexpr std::uintptr_t HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr std::uintptr_t HKEY_USERS = 0x80000003u;
constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr std::uint32_t KEY_NOTIFY = 0x0010;
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_WRITE = 0x20006;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::uint32_t REG_MULTI_SZ = 7;

// Processes
constexpr std::uint32_t STILL_ACTIVE = 259;
constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_TIMEOUT = 258;
constexpr std::uint32_t WAIT_FAILED = 0xFFFFFFFFu;
constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// Windows and messages
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_OKCANCEL = 0x1;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Device installation
constexpr std::uint32_t SPOST_PATH = 1;
constexpr std::uint32_t SRCLIST_SYSTEM = 0x10;
constexpr std::uint32_t SRCLIST_USER = 0x20;
constexpr std::uint32_t DIGCF_PRESENT = 0x02;
constexpr std::uint32_t DIGCF_ALLCLASSES = 0x04;
constexpr std::uint32_t SPDRP_HARDWAREID = 0x01;
constexpr std::uint32_t CR_SUCCESS = 0;
constexpr std::uint32_t CR_FAILURE = 0x13;
constexpr std::uint32_t CM_LOCATE_DEVNODE_NORMAL = 0;

// System
constexpr std::uint32_t EWX_REBOOT = 2;

}  // namespace platform
