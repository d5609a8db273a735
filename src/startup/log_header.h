// The first lines of a log: what support asks before anything else. The
// journal's readers skip them (they start with ';').
#pragma once

#include <string>
#include <vector>

#include "environment/install_options.h"
#include "platform/platform.h"

namespace setup {

// The version the About box and the version resource name.
constexpr const char* kProgramVersion = "2.5";

struct RunFacts {
    std::string programPath, commandLine;  // as the program was started
    platform::OsVersionInfo version;
    platform::LocalTime time;
    std::string startFolder, windowsFolder, systemFolder;
    InstallOptions options;
    int usingCdda = 0;
};

// Read from the machine; reads are no effects.
RunFacts GatherRunFacts(platform::Platform& machine);

std::vector<std::string> LogHeader(const RunFacts& facts);

}  // namespace setup
