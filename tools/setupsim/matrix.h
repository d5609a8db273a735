// Every Windows version in every start mode: the program run on a fresh
// machine per combination, and what each run did, in one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/vm/machine.h"
#include "setupsim/medium.h"
#include "setupsim/runner.h"

namespace setupsim {

struct StartMode {
    const char* label;
    const char* commandLine;
};

// No command line (the user accepts every default), /AP, /DRIVER.
extern const StartMode kStartModes[3];

struct MatrixRow {
    vm::WindowsVersion version = vm::WindowsVersion::Win95;
    std::string mode;                     // a StartMode label
    std::string outcome;                  // as the program traced it; "-" when it traced none
    Ending ending = Ending::Returned;
    std::string driver;                   // "VxD", "WDM" or "-": the staging folder the run made
    std::size_t driverFilesStaged = 0;
    std::string driverSource;             // the folder the first staged file came from, "" when none
    std::vector<std::string> installers;  // command lines of programs started from the medium
    bool restart = false;
    std::vector<std::string> messages;    // message box texts, in order
    std::vector<std::string> dialogs;     // titles of the dialogs shown, in order
    std::uint64_t virtualTime = 0;        // milliseconds
};

// What one finished run did, read from the machine's journal.
MatrixRow SummariseRun(vm::VirtualMachine& machine, const RunResult& result);

// Seven versions times three modes, each on its own fresh machine.
std::vector<MatrixRow> RunMatrix(const Medium& medium);

// "95", "98", "98 SE", "ME", "NT 4.0", "2000", "XP".
const char* WindowsName(vm::WindowsVersion version);

std::string MatrixText(const std::vector<MatrixRow>& rows);
std::string MatrixMarkdown(const std::vector<MatrixRow>& rows);
nlohmann::json MatrixJson(const std::vector<MatrixRow>& rows);

}  // namespace setupsim
