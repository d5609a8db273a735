// cleanup_runner.exe LOG STEP...: runs the cleanup operations of setup.exe on
// the real Win32 backend, one per STEP in the order given, and writes what
// each returned to LOG, one line per step:
//   device    RemovePresentDevice with the audio hardware ID and removal asked
//             -> "device<TAB>flag<TAB>search text after"
//   purge     PurgeEarlierDriverRegistry -> "purge<TAB>outcome number"
//   files:N   CleanEarlierDriverFiles with retirement N -> "files<TAB>N"
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cleanup/cleanup_constants.h"
#include "cleanup/driver_file_retirement.h"
#include "cleanup/present_device_removal.h"
#include "cleanup/registry_purge.h"
#include "platform/win32/win32_platform.h"

namespace {

std::string RunStep(platform::Platform& platform, const std::string& step) {
    if (step == "device") {
        std::string searchText = setup::cleanup::kAudioDeviceHardwareId;
        int removalFlag = 1;
        setup::RemovePresentDevice(platform, searchText, removalFlag);
        return "device\t" + std::to_string(removalFlag) + "\t" + searchText;
    }
    if (step == "purge") {
        return "purge\t" + std::to_string(static_cast<int>(setup::PurgeEarlierDriverRegistry(platform)));
    }
    if (step.rfind("files:", 0) == 0) {
        const int retirement = std::atoi(step.c_str() + 6);
        setup::CleanEarlierDriverFiles(platform, retirement);
        return "files\t" + std::to_string(retirement);
    }
    return "unknown step\t" + step;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: cleanup_runner LOG STEP...\n");
        return 2;
    }
    std::FILE* log = std::fopen(argv[1], "wb");
    if (log == nullptr) return 3;
    platform::win32::Win32Platform platform;
    for (int i = 2; i < argc; ++i) std::fprintf(log, "%s\r\n", RunStep(platform, argv[i]).c_str());
    return std::fclose(log) == 0 ? 0 : 3;
}
