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
    // False when the text is shorter than the bytes the line took: a stream
    // that cut the line short (the C run-time's fgets hands back a C string,
    // which a NUL byte ends) hides the rest.
    bool CameWhole() const { return end - start == static_cast<std::int64_t>(text.size()); }
    // The text without its line end as text mode reads it: without the final
    // "\n" and one CR before it (a CR LF reads as "\n"; a CR alone is a character).
    std::string Body() const {
        if (!HasLineEnd()) return text;
        const std::size_t end = text.size() - 1;
        return text.substr(0, end > 0 && text[end - 1] == '\r' ? end - 1 : end);
    }
};

// The next whole line; nullopt at the end of the file or on a read error.
// A line that ends at the end of the file has no line end.
std::optional<InfLine> ReadInfLine(platform::FileStream& stream);

}  // namespace setup
