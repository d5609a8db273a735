// The two layouts a package medium comes in.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

enum class PackageLayout { Grouped, PerSystem };

const char* ToString(PackageLayout layout);

// Grouped when sourceFolder + "W2K-ME\" exists. The probe sets the current
// directory, and a successful one leaves it there: programs started later
// inherit it.
PackageLayout ProbeLayout(platform::Platform& platform, const std::string& sourceFolder);

}  // namespace setup
