// A run taken back on the machine it left, from the lines of its log: what
// a customer's machine was before the run, for support to reproduce it.
#pragma once

#include <string>
#include <vector>

#include "platform/vm/machine.h"

namespace setupsim {

// Files and folders the run made go; profile entries and registry values
// get back what the log says they held (was=); a removed device comes back;
// the renames a restart carried out are reversed. What the log cannot take
// back (a file copied over another, a key deleted, a file edited in place)
// stays, each said in a line of the result.
std::vector<std::string> UndoRun(vm::VirtualMachine& machine, const std::vector<std::string>& logLines);

}  // namespace setupsim
