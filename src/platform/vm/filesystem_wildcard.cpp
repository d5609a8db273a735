// Wildcard matching as Windows 9x does it for FindFirstFile, which keeps the
// habits of DOS 8.3 patterns: '?' may match nothing at the end of the name or
// before a dot, and a dot of the pattern may match the end of a name that
// has none, as long as only wildcards follow it ("*.*", "abc.*", "*.",
// "????????.???" all match "abc").
#include <vector>

#include "platform/vm/filesystem.h"
#include "platform/vm/filesystem_names.h"

namespace vm {

namespace {

bool OnlyWildcardsFrom(const std::string& pattern, std::size_t from) {
    return pattern.find_first_not_of("*?", from) == std::string::npos;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    const std::size_t patternLength = pattern.size();
    const std::size_t nameLength = name.size();
    const bool nameHasDot = name.find('.') != std::string::npos;

    // matches[i][j]: pattern from i matches name from j. Filled backwards, so
    // that "*a*a*a" costs no more than the table.
    std::vector<std::vector<char>> matches(patternLength + 1, std::vector<char>(nameLength + 1, 0));
    matches[patternLength][nameLength] = 1;
    for (std::size_t i = patternLength; i-- > 0;) {
        const char p = pattern[i];
        for (std::size_t j = nameLength + 1; j-- > 0;) {
            const bool atEnd = j == nameLength;
            bool match = false;
            if (p == '*') {
                match = matches[i + 1][j] || (!atEnd && matches[i][j + 1]);
            } else if (p == '?') {
                const bool mayBeEmpty = atEnd || name[j] == '.';
                match = (!atEnd && matches[i + 1][j + 1]) || (mayBeEmpty && matches[i + 1][j]);
            } else if (p == '.' && atEnd) {
                match = !nameHasDot && OnlyWildcardsFrom(pattern, i + 1);
            } else {
                match = !atEnd && names::ToUpper(p) == names::ToUpper(name[j]) && matches[i + 1][j + 1];
            }
            matches[i][j] = match ? 1 : 0;
        }
    }
    return matches[0][0] != 0;
}

}  // namespace vm
