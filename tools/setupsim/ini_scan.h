// INI-style text (setup.ini, INF files) line by line with line numbers, read
// as the profile functions read it, so that findings can name the line; and
// how far apart two names are.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace setupsim {

struct ScannedLine {
    enum class Kind { Other, Section, Key };
    int number = 0;        // 1-based
    Kind kind = Kind::Other;
    std::string name;      // section or key, blanks trimmed
    std::string value;     // key value, blanks trimmed, quotes kept
    int sectionLine = 0;   // number of the header above a key line, 0 before any
};

std::vector<ScannedLine> ScanIniLines(const std::string& content);

// Levenshtein distance: insertions, deletions and substitutions of one
// character each.
std::size_t EditDistance(const std::string& a, const std::string& b);

}  // namespace setupsim
