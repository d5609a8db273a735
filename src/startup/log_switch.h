// "/LOG=path": a log of every effect, asked for on the command line.
#pragma once

#include <optional>
#include <string>

namespace setup {

struct LogSwitch {
    std::string commandLine;          // the rest, as if the switch had never been typed
    std::optional<std::string> path;  // the log's path; nullopt without the switch
};

// Finds "/LOG=" in any case, anywhere: at the start or after a blank, the
// path up to the next blank, or in quotes ("/LOG="C:\My logs\s.log"" or
// ""/LOG=C:\My logs\s.log""). The switch goes with the blanks before it, or
// after it when it comes first, so that "/LOG=x /DRIVER" and "/DRIVER
// /LOG=x" both leave "/DRIVER". The last switch wins.
LogSwitch TakeLogSwitch(const std::string& commandLine);

}  // namespace setup
