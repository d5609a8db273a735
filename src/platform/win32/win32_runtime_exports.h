// The types of the exports the program looks up at run time, declared here
// from their documented signatures: the Setup API's own headers would bring
// back the ANSI/Unicode name macros that windows_api.h removes.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// SP_DEVINFO_DATA
struct DeviceInfoData {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
static_assert(sizeof(DeviceInfoData) == (sizeof(void*) == 8 ? 32 : 28), "SP_DEVINFO_DATA layout");

// setupapi.dll
using SetupCopyOEMInfAFunction = BOOL WINAPI(PCSTR sourceInf, PCSTR mediaLocation, DWORD mediaType,
                                             DWORD copyStyle, PSTR destination, DWORD destinationSize,
                                             PDWORD requiredSize, PSTR* destinationComponent);
using SetupQuerySourceListAFunction = BOOL WINAPI(DWORD flags, PCSTR** list, PUINT count);
using SetupSetSourceListAFunction = BOOL WINAPI(DWORD flags, PCSTR* list, UINT count);
using SetupAddToSourceListAFunction = BOOL WINAPI(DWORD flags, PCSTR source);
using SetupFreeSourceListAFunction = BOOL WINAPI(PCSTR** list, UINT count);
using SetupDiGetClassDevsAFunction = HANDLE WINAPI(const GUID* classGuid, PCSTR enumerator, HWND parent,
                                                   DWORD flags);
using SetupDiEnumDeviceInfoFunction = BOOL WINAPI(HANDLE set, DWORD index, DeviceInfoData* device);
using SetupDiGetDeviceRegistryPropertyAFunction = BOOL WINAPI(HANDLE set, DeviceInfoData* device, DWORD property,
                                                              PDWORD type, PBYTE buffer, DWORD bufferSize,
                                                              PDWORD requiredSize);
using SetupDiRemoveDeviceFunction = BOOL WINAPI(HANDLE set, DeviceInfoData* device);
using SetupDiDestroyDeviceInfoListFunction = BOOL WINAPI(HANDLE set);

// cfgmgr32.dll
using CM_Locate_DevNodeAFunction = DWORD WINAPI(PDWORD devNode, PSTR deviceId, ULONG flags);
using CM_Reenumerate_DevNodeFunction = DWORD WINAPI(DWORD devNode, ULONG flags);

// winmm.dll
using mixerGetNumDevsFunction = UINT WINAPI();

// ctl3d32.dll
using Ctl3dRegisterFunction = BOOL WINAPI(HINSTANCE instance);
using Ctl3dAutoSubclassFunction = BOOL WINAPI(HINSTANCE instance);

// advapi32.dll: Windows 95 lacks some of the security calls.
using OpenProcessTokenFunction = BOOL WINAPI(HANDLE process, DWORD access, PHANDLE token);
using LookupPrivilegeValueAFunction = BOOL WINAPI(PCSTR system, PCSTR name, PLUID luid);
using AdjustTokenPrivilegesFunction = BOOL WINAPI(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                                  DWORD bufferLength, PTOKEN_PRIVILEGES previousState,
                                                  PDWORD returnLength);

}  // namespace platform::win32
