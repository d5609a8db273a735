#include "setupsim/maintainer_commands.h"

#include "setupsim/matrix.h"
#include "setupsim/medium.h"
#include "setupsim/medium_check.h"

namespace setupsim {

namespace {

constexpr const char* kMediumHelp =
    "A package medium folder (what is on the CD: setup.exe, setup.ini, W2K-ME/ or WIN_ME/, ...), or a machine "
    "folder, whose medium is the folder of its ProgramPath (E/ for E:\\setup.exe)";

std::string Dumped(const nlohmann::json& json) {
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

MaintainerCommands::MaintainerCommands(CLI::App& app) {
    checkCommand_ = app.add_subcommand(
        "check", "Check a package medium: what the program will use on each system, and what would go wrong");
    checkCommand_->add_option("MEDIUM", check_.medium, kMediumHelp)->required();
    checkCommand_->add_flag("--strict", check_.strict, "Exit with 1 on warnings too");
    checkCommand_->add_flag("--json", check_.json, "Print the findings as JSON");
    checkCommand_->footer(
        "One line per finding, grouped: the layout the program sees; setup.ini keys that are unknown,\n"
        "misspelt or not numbers; for each Windows version and each driver setup.ini allows, the driver\n"
        "folder and the applications installer; the package files a run needs; INF files whose lines the\n"
        "rewriting rules look for are missing or differ by a blank, a comment or case, or whose line ends\n"
        "are not CR LF.\n\n"
        "Exit codes: 0 no error (warnings allowed unless --strict), 1 errors found, 2 bad usage or a\n"
        "folder that cannot be read.");

    matrixCommand_ = app.add_subcommand(
        "matrix", "Run the program from a medium on a fresh machine of every Windows version, in every start mode");
    matrixCommand_->add_option("MEDIUM", matrix_.medium, kMediumHelp)->required();
    auto* json = matrixCommand_->add_flag("--json", matrix_.json, "Print the table as JSON");
    matrixCommand_->add_flag("--markdown", matrix_.markdown, "Print the table as Markdown, for a README")
        ->excludes(json);
    matrixCommand_->footer(
        "Windows 95, 98, 98 SE, ME, NT 4.0, 2000 and XP, each started with no command line (the user\n"
        "accepts every default), with /AP and with /DRIVER: 21 runs, each on a fresh machine with the\n"
        "medium in E: and the audio card without a driver. One row per run: the outcome the program chose,\n"
        "the driver architecture staged, the installer started from the medium, whether Windows restarts,\n"
        "the messages shown and the virtual time taken.\n\n"
        "Exit codes: 0 the runs were simulated, 2 bad usage or a folder that cannot be read.");
}

std::optional<int> MaintainerCommands::RunParsed(std::ostream& out, std::ostream& err) const {
    if (checkCommand_->parsed()) return Check(out, err);
    if (matrixCommand_->parsed()) return Matrix(out, err);
    return std::nullopt;
}

int MaintainerCommands::Check(std::ostream& out, std::ostream& err) const {
    Medium medium;
    try {
        medium = LoadMedium(check_.medium);
    } catch (const MediumError& error) {
        err << "setupsim check: " << error.what() << "\n";
        return 2;
    }
    const CheckReport report = CheckMedium(medium);
    out << (check_.json ? Dumped(CheckJson(report)) : CheckText(report));
    if (report.Count(Severity::Error) > 0) return 1;
    return check_.strict && report.Count(Severity::Warning) > 0 ? 1 : 0;
}

int MaintainerCommands::Matrix(std::ostream& out, std::ostream& err) const {
    Medium medium;
    try {
        medium = LoadMedium(matrix_.medium);
    } catch (const MediumError& error) {
        err << "setupsim matrix: " << error.what() << "\n";
        return 2;
    }
    const std::vector<MatrixRow> rows = RunMatrix(medium);
    if (matrix_.json) {
        out << Dumped({{"medium", medium.origin}, {"runs", MatrixJson(rows)}});
    } else if (matrix_.markdown) {
        out << MatrixMarkdown(rows);
    } else {
        out << "setupsim matrix: " << medium.origin << "\n\n" << MatrixText(rows);
    }
    return 0;
}

}  // namespace setupsim
