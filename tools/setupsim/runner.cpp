#include "setupsim/runner.h"

#include "platform/faults/fault_injecting_platform.h"
#include "startup/program_run.h"

namespace setupsim {

const char* ToString(Ending ending) {
    switch (ending) {
        case Ending::Returned: return "returned";
        case Ending::ExitProcess: return "ended its process";
        case Ending::Hung: return "hung";
    }
    return "?";
}

RunResult RunSetup(vm::VirtualMachine& machine, platform::Journal* effects, bool recordReads) {
    const vm::MachineSnapshot before = vm::TakeSnapshot(machine);
    RunResult result;
    // The machine's planned faults: the program's calls fail, the
    // machine's own work does not.
    platform::FaultInjectingPlatform faulty(machine, machine.FaultPlan(), machine.FaultListener());
    ReadRecorder recorder(faulty, machine);
    try {
        platform::Platform& runOn = recordReads ? static_cast<platform::Platform&>(recorder) : faulty;
        setup::RunProgram(runOn, effects ? effects : &machine.GetJournal(), &result.header);
        result.ending = Ending::Returned;
    } catch (const vm::ProcessExit& exit) {
        result.ending = Ending::ExitProcess;
        result.exitCode = exit.exitCode;
    } catch (const vm::VirtualTimeLimit&) {
        result.ending = Ending::Hung;
    }
    result.reads = recorder.Reads();
    result.restartRequested = machine.RestartRequested();
    result.virtualTime = machine.Now();
    result.changes = vm::Diff(before, vm::TakeSnapshot(machine));
    return result;
}

}  // namespace setupsim
