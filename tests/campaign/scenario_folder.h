// A scenario written out as a machine folder, for setupsim to run: one
// folder per drive, registry.reg and machine.ini.
#pragma once

#include <string>

#include "campaign/scenario.h"

namespace campaign {

// Replaces whatever the folder held. A full disk or a medium taken out at a
// copy are the campaign machine's own and have no words in a machine
// folder. Throws std::runtime_error when the folder cannot be written.
void WriteMachineFolder(const Scenario& scenario, const std::string& folder);

}  // namespace campaign
