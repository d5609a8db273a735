#include "inf/inf_in_place_edit.h"

#include <cstdio>

#include "inf/inf_line_reader.h"

namespace setup {

namespace {

// True when the bytes at start are the body and a line end, and the byte
// before start (if any) ends the line before. In text mode a CR LF reads as
// "\n", and so does an LF alone; every other character is one byte.
bool IsStoredAt(platform::FileStream& inf, std::int64_t start, const std::string& body) {
    if (start < 0 || body.empty()) return false;
    if (start > 0 && !(inf.Seek(start - 1, SEEK_SET) && inf.Read(1) == "\n")) return false;
    return inf.Seek(start, SEEK_SET) && inf.Read(body.size() + 1) == body + '\n';
}

}  // namespace

std::optional<FoundInfLine> FindInfLine(platform::FileStream& inf,
                                        const std::function<bool(const std::string& body)>& matches) {
    if (!inf.Seek(0, SEEK_SET)) return std::nullopt;
    while (const std::optional<InfLine> line = ReadInfLine(inf)) {
        if (!line->HasLineEnd()) continue;
        const std::string body = line->Body();
        if (!matches(body)) continue;
        if (!IsStoredAt(inf, line->start, body)) return std::nullopt;
        return FoundInfLine{line->start, body};
    }
    return std::nullopt;
}

bool OverwriteInfCharacter(platform::FileStream& inf, const FoundInfLine& line, std::size_t index, char replacement) {
    if (index >= line.body.size()) return false;
    return inf.Seek(line.start + static_cast<std::int64_t>(index), SEEK_SET) &&
           inf.Write(std::string(1, replacement)) && inf.Flush();
}

}  // namespace setup
