// `setupsim check`: what the program will find on a medium, and what would
// go wrong, worked out with the program's own functions on a machine that
// holds the medium in E:\.
#pragma once

#include "setupsim/check_findings.h"
#include "setupsim/medium.h"

namespace setupsim {

CheckReport CheckMedium(const Medium& medium);

}  // namespace setupsim
