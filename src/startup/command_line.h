// What the command line asks for.
#pragma once

#include <string>

namespace setup {

enum class CommandLineMode { AppsMode, DriverMode, NoMode };

const char* ToString(CommandLineMode mode);

// Upper-cases the text in place (the stored text itself changes), then
// compares it whole: no trimming, no search inside it.
CommandLineMode ClassifyCommandLine(std::string& text);

}  // namespace setup
