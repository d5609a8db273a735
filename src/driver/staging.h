// The fixed folders the driver is staged in, and the copies that fill them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace setup {

// Drive and path are fixed: they do not follow the system's program-files
// folder.
constexpr const char* kProgramFilesFolder = "C:\\Program Files\\";
constexpr const char* kOrvantaFolder = "C:\\Program Files\\Orvanta\\";
constexpr const char* kVxdStagingFolder = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kVxdStaging026Folder = "C:\\Program Files\\Orvanta\\WIN_9x\\026\\";
constexpr const char* kWdmStagingFolder = "C:\\Program Files\\Orvanta\\WIN_ME\\";
constexpr const char* kWdmStagingPath = "C:\\Program Files\\Orvanta\\WIN_ME";  // no trailing backslash
constexpr const char* kDosFolder = "C:\\Program Files\\Orvanta\\DOS\\";
constexpr const char* kDosAppFolder = "C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\";

// Target made normal, then copied over with overwriting allowed; the copy
// keeps the source's attributes (a file from a CD stays read-only).
bool PlainCopy(platform::Platform& platform, const std::string& from, const std::string& to);
// A plain copy whose target is made normal again afterwards.
bool NormalCopy(platform::Platform& platform, const std::string& from, const std::string& to);

// Each folder in order (one level at a time); existing ones and failures
// are ignored.
void CreateFolders(platform::Platform& platform, const std::vector<std::string>& folders);

// The files (not folders) of folder + "*.*", in the order the file system
// yields them.
std::vector<std::string> FilesIn(platform::Platform& platform, const std::string& folder);

// A package INF by name: ".inf" or ".INF" in it, case counting, so
// "Driver.Inf" does not qualify.
bool IsInfName(const std::string& name);

// The file name of the program without folder and extension: the caption
// of message boxes that name none.
std::string ApplicationName(platform::Platform& platform);

}  // namespace setup
