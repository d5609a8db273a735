// One run of the program on a machine, journaled where asked.
#pragma once

#include <string>
#include <vector>

#include "platform/journal/journal.h"
#include "platform/platform.h"

namespace setup {

// Opens the log the command line ("/LOG=path") or setup.ini ("Log" in
// "Default") asks for, then runs SetupApp with every effect journaled:
// into journal when one is given (setupsim), and line by line into the log,
// each line flushed at once, after the log's header (also handed to
// header when one is given). Without a journal and a log the program runs
// on the machine directly, as it always has. A log that cannot be opened,
// or would become part of the run, changes nothing else.
void RunProgram(platform::Platform& machine, platform::Journal* journal = nullptr,
                std::vector<std::string>* header = nullptr);

}  // namespace setup
