#include "inf/inf_line_reader.h"

#include "inf/inf_constants.h"

namespace setup {

std::optional<InfLine> ReadInfLine(platform::FileStream& stream) {
    InfLine line;
    line.start = stream.Tell();
    std::optional<std::string> piece = stream.Gets(inf::kLineBufferChars);
    if (!piece) return std::nullopt;
    line.text = std::move(*piece);
    // An empty piece only comes from a run-time whose fgets stops at a NUL
    // byte; it ends the line rather than risk a loop that reads nothing.
    while (!line.text.empty() && !line.HasLineEnd()) {
        piece = stream.Gets(inf::kLineBufferChars);
        if (!piece || piece->empty()) break;
        line.text += *piece;
    }
    line.end = stream.Tell();
    return line;
}

}  // namespace setup
