// setup.exe: the program's logic on real Windows.
#include "platform/win32/win32_platform.h"
#include "startup/program_run.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    platform::win32::Win32Platform platform;
    setup::RunProgram(platform);
    return 0;
}
