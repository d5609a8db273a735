// Path forms the virtual file system accepts, and GetFullPathName.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm::paths {

// An absolute path taken apart: "c:\Windows\.\INF\" is drive 'C',
// components {"Windows", "INF"}, with a trailing separator.
struct ParsedPath {
    char drive = 0;                       // upper case
    std::vector<std::string> components;  // "." and ".." folded, trailing dots and blanks dropped
    bool trailingSeparator = false;
};

bool IsSeparator(char c);

// nullopt unless the path is "X:\..." (either separator) and every component
// is a possible name.
std::optional<ParsedPath> ParseAbsolutePath(const std::string& path);

// "X:\" followed by the components joined with backslashes.
std::string Join(char drive, const std::vector<std::string>& components);

}  // namespace vm::paths
