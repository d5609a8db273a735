#include "cleanup/boot_rename_list.h"

namespace setup {

bool ScheduleBootRename(platform::Platform& platform, const std::string& destination, const std::string& source) {
    return platform.WritePrivateProfileString(kBootRenameSection, destination, source, kBootRenameFile);
}

bool ScheduleBootDelete(platform::Platform& platform, const std::string& source) {
    return ScheduleBootRename(platform, kBootDeleteDestination, source);
}

}  // namespace setup
