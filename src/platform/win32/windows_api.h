// <windows.h> for the Win32 backend, included in the one order that works:
// our constants first (windows.h then redefines the same names as macros of
// the same values), and the ANSI/Unicode name macros removed afterwards, so
// that the platform interface's method names (CopyFile, MessageBox, ...)
// stay themselves. The backend calls the ...A functions by their full names.
#pragma once

#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef GetModuleFileName
#undef GetVersionEx
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef CreateDirectory
#undef CopyFile
#undef SetFileAttributes
#undef GetFileAttributes
#undef DeleteFile
#undef GetShortPathName
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegDeleteKey
#undef CreateProcess
#undef FindWindowEx
#undef SendMessage
#undef MessageBox
#undef OutputDebugString
#undef SetupCopyOEMInf
#undef SetupQuerySourceList
#undef SetupSetSourceList
#undef SetupAddToSourceList
#undef SetupFreeSourceList
#undef SetupDiGetClassDevs
#undef SetupDiGetDeviceRegistryProperty
#undef CM_Locate_DevNode
#undef DialogBox
