// Wildcard matching as Windows 9x does it for FindFirstFile, which keeps the
// habits of DOS 8.3 patterns: '?' may match nothing at the end of the name or
// before a dot, and a dot of the pattern may match the end of a name that
// has none, as long as only wildcards follow it ("*.*", "abc.*", "*.",
// "????????.???" all match "abc").
#include <vector>

#include "platform/vm/filesystem.h"
#include "platform/vm/name_compare.h"

namespace vm {

namespace {

bool OnlyWildcardsFrom(const std::string& pattern, std::size_t from) {
    return pattern.find_first_not_of("*?", from) == std::string::npos;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& entryName) {
    const std::size_t patternLength = pattern.size();
    const std::size_t entryLength = entryName.size();
    const bool entryHasDot = entryName.find('.') != std::string::npos;

    // matches[i][j]: the pattern from i matches the name from j. Filled
    // backwards, so that "*a*a*a" costs no more than the table.
    std::vector<std::vector<char>> matches(patternLength + 1, std::vector<char>(entryLength + 1, 0));
    matches[patternLength][entryLength] = 1;
    for (std::size_t i = patternLength; i-- > 0;) {
        const char p = pattern[i];
        for (std::size_t j = entryLength + 1; j-- > 0;) {
            const bool atEnd = j == entryLength;
            bool match = false;
            if (p == '*') {
                match = matches[i + 1][j] || (!atEnd && matches[i][j + 1]);
            } else if (p == '?') {
                const bool mayBeEmpty = atEnd || entryName[j] == '.';
                match = (!atEnd && matches[i + 1][j + 1]) || (mayBeEmpty && matches[i + 1][j]);
            } else if (p == '.' && atEnd) {
                match = !entryHasDot && OnlyWildcardsFrom(pattern, i + 1);
            } else {
                match = !atEnd && name::FoldCase(p) == name::FoldCase(entryName[j]) && matches[i + 1][j + 1];
            }
            matches[i][j] = match ? 1 : 0;
        }
    }
    return matches[0][0] != 0;
}

}  // namespace vm
