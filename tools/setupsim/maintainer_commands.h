// The package maintainer's commands: `check` a medium, and run the program
// on every system at once (`matrix`).
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

namespace setupsim {

class MaintainerCommands {
public:
    // Registers the subcommands on app.
    explicit MaintainerCommands(CLI::App& app);

    // After parsing: the exit code of the subcommand that was given, nullopt
    // when neither was.
    std::optional<int> RunParsed(std::ostream& out, std::ostream& err) const;

private:
    struct CheckOptions {
        std::string medium;
        bool strict = false;
        bool json = false;
    };
    struct MatrixOptions {
        std::string medium;
        bool json = false;
        bool markdown = false;
    };

    int Check(std::ostream& out, std::ostream& err) const;
    int Matrix(std::ostream& out, std::ostream& err) const;

    CLI::App* checkCommand_ = nullptr;
    CLI::App* matrixCommand_ = nullptr;
    CheckOptions check_;
    MatrixOptions matrix_;
};

}  // namespace setupsim
