// A customer's machine as it was before a run, built from what the customer
// can send: the log of the run, a registry export, a copy of drive C: and
// the medium's folder.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace setupsim {

struct ImportSources {
    std::string log;       // the log setup.exe wrote (/LOG=path), with its header
    std::string registry;  // a registry export: REGEDIT4, or version 5 in UTF-16 or UTF-8
    std::string files;     // a folder copied from the machine's drive C:
    std::string medium;    // the medium's folder, put where the log says the program started
    std::string listing;   // "dir /s" of the machine's drives: stand-ins of the listed sizes for files not sent
};

struct ImportError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes the machine folder to `out`: the Windows version, program, command
// line, folders and clock from the log's header, the files and registry as
// sent, the run taken back from the log, its message boxes answered as they
// were. Returns a line for each thing support should know: what could not
// be taken back, what the registry's code page could not hold.
std::vector<std::string> ImportMachine(const ImportSources& sources, const std::string& out);

}  // namespace setupsim
