#include "cleanup/driver_file_retirement.h"

#include <string>

#include "cleanup/boot_rename_list.h"
#include "cleanup/cleanup_constants.h"
#include "cleanup/earlier_inf_files.h"
#include "environment/paths.h"

namespace setup {

namespace {

// Only files that are there get a line: a missing source adds nothing.
void ScheduleDriverFileRetirement(platform::Platform& platform, const std::string& windowsFolder) {
    for (const cleanup::RetiredFile& file : cleanup::kRetiredFiles) {
        const std::string source = windowsFolder + file.source;
        if (platform.FindFiles(source).empty()) continue;
        ScheduleBootRename(platform, windowsFolder + file.destination, source);
    }
}

void EmptyWinIniRunEntry(platform::Platform& platform) {
    platform.WritePrivateProfileString(cleanup::kWinIniWindowsSection, cleanup::kWinIniRunKey,
                                       cleanup::kEmptyRunEntry, cleanup::kWinIni);
}

}  // namespace

void CleanEarlierDriverFiles(platform::Platform& platform, int retirement) {
    // Without the Windows folder every path below would point elsewhere.
    const std::string windowsDirectory = platform.GetWindowsDirectory();
    if (windowsDirectory.empty()) return;
    const std::string windowsFolder = WithBackslash(windowsDirectory);

    cleanup::DeleteEarlierInfFiles(platform, windowsFolder);
    if (retirement == 0) return;
    ScheduleDriverFileRetirement(platform, windowsFolder);
    EmptyWinIniRunEntry(platform);
}

}  // namespace setup
