#include "setupsim/cli.h"

#include <CLI/CLI.hpp>

#include "platform/vm/machine_folder.h"
#include "setupsim/maintainer_commands.h"
#include "setupsim/report.h"

namespace setupsim {

namespace {

struct RunOptions {
    std::string machineFolder;
    std::string saveFolder;
    bool json = false;
};

int Run(const RunOptions& options, std::ostream& out, std::ostream& err) {
    vm::VirtualMachine machine;
    try {
        vm::LoadMachineFolder(options.machineFolder, machine);
    } catch (const vm::MachineFolderError& error) {
        err << "setupsim: malformed machine folder: " << error.what() << "\n";
        return 2;
    }
    const RunResult result = RunSetup(machine);
    if (options.json) {
        out << JsonReport(machine, result).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out << TextReport(machine, result);
    }
    if (!options.saveFolder.empty()) {
        try {
            vm::SaveMachineFolder(machine, options.saveFolder);
        } catch (const vm::MachineFolderError& error) {
            err << "setupsim: cannot save the machine: " << error.what() << "\n";
            return 2;
        }
    }
    return result.ending == Ending::Hung ? 1 : 0;
}

}  // namespace

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "setupsim runs the Orvanta PCI audio setup program on a virtual Windows machine and reports\n"
        "everything it did: message boxes, files, INI entries, registry changes, programs started,\n"
        "the restart request and the exit code.",
        "setupsim"};
    app.require_subcommand(1);
    app.footer(
        "A machine folder holds machine.ini (the Windows version, folders, command line, windows,\n"
        "devices, programs, answers to message boxes, timed events, faults), registry.reg (REGEDIT4)\n"
        "and one folder per drive (C/, E/, ...). See the README for the format.\n\n"
        "Exit codes of run: 0 simulated, 1 the program hung, 2 bad usage or a malformed machine folder.\n"
        "check and matrix take a package medium; their --help says what they do.");

    RunOptions run;
    CLI::App* runCommand = app.add_subcommand("run", "Run the setup program on a machine folder and print the report");
    runCommand->add_option("MACHINE", run.machineFolder, "The machine folder to load")->required();
    runCommand->add_option("--save", run.saveFolder,
                           "Write the machine as it is after the run to this folder (same format)");
    runCommand->add_flag("--json", run.json, "Print the report as JSON instead of text");

    MaintainerCommands maintainer(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (app.exit(error, out, err) == 0) return 0;  // --help
        err << "Run 'setupsim --help' for the commands and options.\n";
        return 2;
    }
    if (runCommand->parsed()) return Run(run, out, err);
    if (const std::optional<int> code = maintainer.RunParsed(out, err)) return *code;
    return 2;
}

}  // namespace setupsim
