// Stands in for the programs setup.exe starts: appends its command line and
// current directory to C:\recorder.log.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fstream>

int main() {
    char folder[MAX_PATH + 1] = "?";
    GetCurrentDirectoryA(sizeof folder, folder);
    std::ofstream log("C:\\recorder.log", std::ios::binary | std::ios::app);
    // A lost record must not look like a clean run.
    return log << GetCommandLineA() << '\t' << folder << "\r\n" << std::flush ? 0 : 250;
}
