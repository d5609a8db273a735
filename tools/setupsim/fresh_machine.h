// A Windows machine as it comes from its installation, with the package CD
// in drive E: and the audio card plugged in but no driver of it installed.
// Its Plug and Play installs a new driver within seconds, so that the
// program's waits end as they would on a real machine.
#pragma once

#include <string>

#include "platform/vm/machine.h"
#include "setupsim/medium.h"

namespace setupsim {

// The program is E:\setup.exe, started with commandLine from E:\; message
// boxes and dialogs get their default answer (OK).
void BuildFreshMachine(vm::VirtualMachine& machine, vm::WindowsVersion version, const std::string& commandLine,
                       const Medium& medium);

}  // namespace setupsim
