#include "setupsim/cli.h"

#include <CLI/CLI.hpp>
#include <fstream>

#include "platform/vm/machine_folder.h"
#include "setupsim/import.h"
#include "setupsim/log_diff.h"
#include "setupsim/maintainer_commands.h"
#include "setupsim/report.h"

namespace setupsim {

namespace {

struct RunOptions {
    std::string machineFolder;
    std::string saveFolder;
    bool json = false;
    bool reads = false;
};

// False, with the reason said, when the folder is malformed.
bool Load(const std::string& folder, vm::VirtualMachine& machine, std::ostream& err) {
    try {
        vm::LoadMachineFolder(folder, machine);
        return true;
    } catch (const vm::MachineFolderError& error) {
        err << "setupsim: malformed machine folder: " << error.what() << "\n";
        return false;
    }
}

int Run(const RunOptions& options, std::ostream& out, std::ostream& err) {
    vm::VirtualMachine machine;
    if (!Load(options.machineFolder, machine, err)) return 2;
    const RunResult result = RunSetup(machine, nullptr, options.reads);
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

struct DiffOptions {
    std::string machineFolder;
    std::string log;
    std::vector<std::string> ignored;  // kinds of effect left out on both sides
};

// Shows a difference as the two sides would read in a text editor.
void PrintDifference(const LogDifference& difference, std::ostream& out) {
    out << "  at predicted effect " << difference.predictedAt + 1 << ":\n"
        << "    predicted: " << (difference.predicted.empty() ? "(nothing)" : difference.predicted) << "\n"
        << "    logged:    " << (difference.logged.empty() ? "(nothing)" : difference.logged) << "\n";
}

int Diff(const DiffOptions& options, std::ostream& out, std::ostream& err) {
    constexpr std::size_t kShown = 10;
    vm::VirtualMachine machine;
    if (!Load(options.machineFolder, machine, err)) return 2;
    std::ifstream file(options.log, std::ios::binary);
    if (!file) {
        err << "setupsim: cannot read the log " << options.log << "\n";
        return 2;
    }
    const LogLines log = ReadLog(file);
    if (log.badLine != 0) {
        err << "setupsim: line " << log.badLine << " of " << options.log
            << " is not a journal line (\"      120 ms  kind  name=value ...\")\n";
        return 2;
    }
    platform::Journal effects;
    RunSetup(machine, &effects);
    const std::optional<LogComparison> compared = CompareWithLog(effects.Entries(), log.effects, options.ignored);
    if (!compared) {
        err << "setupsim: " << options.log << " and the prediction (" << effects.Entries().size() << " effects) differ in more than "
            << kMostDifferences << " effects: too far apart to pair; is it a log of this machine folder's run?\n";
        return 2;
    }
    const LogComparison& comparison = *compared;
    if (comparison.differences.empty()) {
        out << "setupsim diff: the log agrees with the prediction, " << comparison.loggedEffects << " effects.\n";
        return 0;
    }
    out << "setupsim diff: the log differs from the prediction: " << comparison.predictedEffects
        << " effects predicted, " << comparison.loggedEffects << " logged, " << comparison.differences.size()
        << (comparison.differences.size() == 1 ? " difference" : " differences") << ".\n";
    for (std::size_t i = 0; i < comparison.differences.size() && i < kShown; ++i) {
        PrintDifference(comparison.differences[i], out);
    }
    if (comparison.differences.size() > kShown) {
        out << "  and " << comparison.differences.size() - kShown << " more.\n";
    }
    return 1;
}

int Import(const ImportSources& sources, const std::string& folder, std::ostream& out, std::ostream& err) {
    try {
        const std::vector<std::string> notes = ImportMachine(sources, folder);
        out << "setupsim import: the machine before the run is in " << folder << "\n";
        for (const std::string& note : notes) out << "  " << note << "\n";
        return 0;
    } catch (const ImportError& error) {
        err << "setupsim: " << error.what() << "\n";
    } catch (const vm::MachineFolderError& error) {
        err << "setupsim: " << error.what() << "\n";
    }
    return 2;
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
        "diff holds a log written by setup.exe /LOG=path against the prediction for a machine folder.\n"
        "check and matrix take a package medium; their --help says what they do.");

    RunOptions run;
    CLI::App* runCommand = app.add_subcommand("run", "Run the setup program on a machine folder and print the report");
    runCommand->add_option("MACHINE", run.machineFolder, "The machine folder to load")->required();
    runCommand->add_option("--save", run.saveFolder,
                           "Write the machine as it is after the run to this folder (same format)");
    runCommand->add_flag("--json", run.json, "Print the report as JSON instead of text");
    runCommand->add_flag("--reads", run.reads,
                         "Also list what the run read: registry keys and values, files, folders and searches "
                         "(what a customer must send to reproduce a machine)");

    DiffOptions diff;
    CLI::App* diffCommand = app.add_subcommand(
        "diff", "Run a machine folder and hold the prediction against a log setup.exe wrote (/LOG=path)");
    diffCommand->add_option("MACHINE", diff.machineFolder, "The machine folder describing the real system")->required();
    diffCommand->add_option("LOG", diff.log, "The log setup.exe wrote on it")->required();
    diffCommand->add_option("--ignore", diff.ignored,
                            "Leave effects of this kind out on both sides (\"set attributes\" for a system that "
                            "keeps attributes its own way); may be given more than once");
    diffCommand->footer(
        "Effects are compared in order; times are left out, and so are short-name aliases\n"
        "(PROGRA~1 against PROG~FBU) and the case of letters, which a real system chooses itself.\n"
        "Exit codes: 0 they agree, 1 they differ (the first differences are printed),\n"
        "2 bad usage, a malformed machine folder, a log that cannot be read or one too far\n"
        "apart from the prediction to pair (more than 5000 effects without a partner).");

    ImportSources import;
    std::string importOut;
    CLI::App* importCommand = app.add_subcommand(
        "import", "Build a machine folder of a customer's machine as it was before a run, from what they can send");
    importCommand->add_option("--log", import.log, "The log setup.exe wrote (/LOG=path), with its header")->required();
    importCommand->add_option("--registry", import.registry, "A registry export (regedit /e: REGEDIT4 or version 5)")->required();
    importCommand->add_option("--files", import.files, "A folder copied from the machine's drive C:");
    importCommand->add_option("--listing", import.listing,
                              "The output of dir /s (Windows 9x or NT): files not sent become stand-ins of their sizes");
    importCommand->add_option("--medium", import.medium, "The medium's folder, put where the program started");
    importCommand->add_option("--out", importOut, "The machine folder to write")->required();
    importCommand->footer(
        "The Windows version, program, command line, folders and clock come from the log's header;\n"
        "the run is taken back from the log (files and folders it made, profile entries and registry\n"
        "values it wrote, the renames a restart carried out); what cannot be is listed. Dialogs the\n"
        "user answered are to be scripted by hand in machine.ini's [Dialogs].\n"
        "Exit codes: 0 written, 2 bad usage or input that cannot be read.");

    MaintainerCommands maintainer(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (app.exit(error, out, err) == 0) return 0;  // --help
        err << "Run 'setupsim --help' for the commands and options.\n";
        return 2;
    }
    if (runCommand->parsed()) return Run(run, out, err);
    if (diffCommand->parsed()) return Diff(diff, out, err);
    if (importCommand->parsed()) return Import(import, importOut, out, err);
    if (const std::optional<int> code = maintainer.RunParsed(out, err)) return *code;
    return 2;
}

}  // namespace setupsim
