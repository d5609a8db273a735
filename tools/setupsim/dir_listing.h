// The output of "dir /s" as Windows 9x and NT print it: every file with its
// folder and size, for stand-ins of the files a customer did not send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace setupsim {

struct ListedEntry {
    std::string path;  // "C:\WINDOWS\WIN.INI", long names
    bool folder = false;
    std::uint64_t size = 0;
};

// Lines it does not know (the volume's name, totals) are passed over.
std::vector<ListedEntry> ReadDirListing(const std::string& text);

}  // namespace setupsim
