#include "startup/command_line.h"

namespace setup {

const char* ToString(CommandLineMode mode) {
    switch (mode) {
        case CommandLineMode::AppsMode: return "AppsMode";
        case CommandLineMode::DriverMode: return "DriverMode";
        case CommandLineMode::NoMode: return "NoMode";
    }
    return "?";
}

CommandLineMode ClassifyCommandLine(std::string& text) {
    // Only ASCII letters change: bytes above 0x7F may be halves of
    // double-byte characters.
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (text == "/AP" || text == "AP" || text == "-AP") return CommandLineMode::AppsMode;
    if (text == "/DRIVER" || text == "DRIVER" || text == "-DRIVER") return CommandLineMode::DriverMode;
    return CommandLineMode::NoMode;
}

}  // namespace setup
