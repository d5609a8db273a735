// setup.exe: the program's logic on real Windows.
#include "platform/win32/win32_platform.h"
#include "startup/setup_app.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    platform::win32::Win32Platform platform;
    setup::SetupApp(platform).Run();
    return 0;
}
