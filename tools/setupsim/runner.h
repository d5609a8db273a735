// One run of the setup program on a virtual machine, and how it ended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vm/machine.h"
#include "platform/vm/snapshot.h"
#include "setupsim/read_recorder.h"

namespace setupsim {

enum class Ending {
    Returned,     // the start-up sequence returned: the program ends (exit code 0)
    ExitProcess,  // the program ended its process itself
    Hung,         // it waited past the machine's time limit
};

const char* ToString(Ending ending);

struct RunResult {
    Ending ending = Ending::Returned;
    std::uint32_t exitCode = 0;
    bool restartRequested = false;
    std::uint64_t virtualTime = 0;  // milliseconds
    std::vector<vm::Change> changes;
    std::vector<std::string> header;  // the first lines a log of this run starts with
    std::vector<Read> reads;          // when asked for
};

// Runs the program with its effects journaled into `effects`, by default the
// machine's own journal, where they fall among the machine's happenings.
RunResult RunSetup(vm::VirtualMachine& machine, platform::Journal* effects = nullptr, bool recordReads = false);

}  // namespace setupsim
