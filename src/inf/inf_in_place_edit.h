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

// The first whole line of the INF at infPath, from the start of the file,
// whose text without its line end passes matches, the lines read as text
// mode gives them: the line end may be CR LF or LF, a Ctrl-Z ends the file,
// and a line that ends without a line end never matches. Pieces of a line
// longer than 1023 characters are never tested on their own.
std::optional<FoundInfLine> FindInfLine(platform::Platform& platform, const std::string& infPath,
                                        const std::function<bool(const std::string& body)>& matches);

// Overwrites the character at index of the line's body and flushes.
bool OverwriteInfCharacter(platform::FileStream& inf, const FoundInfLine& line, std::size_t index, char replacement);

}  // namespace setup
