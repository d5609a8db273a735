// A stand-in winmm.dll beside setup.exe: the new driver's mixer device has
// arrived by the second look (Wine has no sound hardware to bring one).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" __declspec(dllexport) UINT WINAPI mixerGetNumDevs() {
    static UINT looks = 0;
    return looks++ == 0 ? 0 : 1;
}
