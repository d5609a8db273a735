#include "inf/inf_in_place_edit.h"

#include <cstdio>
#include <memory>

#include "inf/inf_line_reader.h"

namespace setup {

namespace {
constexpr char kCtrlZ = '\x1A';
}  // namespace

std::optional<FoundInfLine> FindInfLine(platform::Platform& platform, const std::string& infPath,
                                        const std::function<bool(const std::string& body)>& matches) {
    // Read in binary mode, where ftell is exact: the Windows run-time's
    // text-mode ftell counts each LF still in its buffer as a CR LF, so the
    // offsets of lines that end in an LF alone come out too small.
    const std::unique_ptr<platform::FileStream> inf = platform.fopen(infPath, "rb");
    if (!inf) return std::nullopt;
    while (const std::optional<InfLine> line = ReadInfLine(*inf)) {
        // Text mode sees nothing from a Ctrl-Z on, and a line that did not
        // come whole may hide one.
        if (!line->CameWhole() || line->text.find(kCtrlZ) != std::string::npos) return std::nullopt;
        if (!line->HasLineEnd()) continue;
        std::string body = line->Body();
        if (matches(body)) return FoundInfLine{line->start, std::move(body)};
    }
    return std::nullopt;
}

bool OverwriteInfCharacter(platform::FileStream& inf, const FoundInfLine& line, std::size_t index, char replacement) {
    if (index >= line.body.size()) return false;
    return inf.Seek(line.start + static_cast<std::int64_t>(index), SEEK_SET) &&
           inf.Write(std::string(1, replacement)) && inf.Flush();
}

}  // namespace setup
