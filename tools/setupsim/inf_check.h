// A package INF file against the lines the rewriting rules look for: the
// rules compare exactly, so a line that differs by a blank, a comment or
// case, or is missing, makes them change nothing, silently.
#pragma once

#include <string>
#include <vector>

#include "setupsim/check_findings.h"

namespace setupsim {

enum class InfKind { Vxd, Wdm };

const char* ToString(InfKind kind);  // "VxD", "WDM"

// name: the file's path on the medium, for the findings.
std::vector<Finding> CheckInfFile(const std::string& name, const std::string& content, InfKind kind);

// How many of the kind's lines (exact or near) and disk entries the file
// has; 0 when it has nothing of that kind.
int InfResemblance(const std::string& content, InfKind kind);

// For a folder that serves both drivers: the kind whose lines the file
// resembles more.
InfKind LikelyInfKind(const std::string& content);

}  // namespace setupsim
