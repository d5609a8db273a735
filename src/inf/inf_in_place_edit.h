// One-character edits of an INF opened for update in text mode ("r+"): find
// a line from the start of the file, then overwrite one of its characters
// where it is stored. Nothing else in the file changes, nor its length.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace setup {

struct FoundInfLine {
    std::int64_t start = 0;  // offset of its first byte as stored
    std::string body;        // its text without the line end
};

// The first whole line, from the start of the file, whose text without its
// line end passes matches. The line end may be CR LF or LF; a line that ends
// at the end of the file without one never matches. Pieces of a line longer
// than 1023 characters are never tested on their own. The line is read back
// where the stream said it starts before it is returned: when it is not
// there (the run-time's ftell can miscount offsets in text mode), the search
// ends without a line.
std::optional<FoundInfLine> FindInfLine(platform::FileStream& inf,
                                        const std::function<bool(const std::string& body)>& matches);

// Overwrites the character at index of the line's body and flushes.
bool OverwriteInfCharacter(platform::FileStream& inf, const FoundInfLine& line, std::size_t index, char replacement);

}  // namespace setup
