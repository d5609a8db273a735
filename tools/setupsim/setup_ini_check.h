// setup.ini as the program reads it: sections and keys it does not know or
// that are misspelt, keys set twice, values that are not numbers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setupsim/check_findings.h"

namespace setupsim {

// content: the file's bytes, nullopt when the medium has no setup.ini.
std::vector<Finding> CheckSetupIni(const std::optional<std::string>& content);

}  // namespace setupsim
