// INF lines as the rules read them: fgets with a 1024-character buffer, so a
// line of more than 1023 characters arrives in pieces, which are joined here
// into the whole line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace setup {

struct InfLine {
    std::int64_t start = 0;  // Tell before the line
    std::int64_t end = 0;    // Tell after it
    std::string text;        // as the stream gives it, line end included when there is one

    bool HasLineEnd() const { return !text.empty() && text.back() == '\n'; }
    // The text without its line end ("\n" in text mode; binary mode keeps a CR before it).
    std::string Body() const { return HasLineEnd() ? text.substr(0, text.size() - 1) : text; }
};

// The next whole line; nullopt at the end of the file or on a read error.
// A line that ends at the end of the file has no line end.
std::optional<InfLine> ReadInfLine(platform::FileStream& stream);

}  // namespace setup
