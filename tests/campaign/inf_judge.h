// Which bytes of an INF file the rewriting rules may change, for the fault
// campaign and the INF rules' fuzz target: "" or what broke the rules.
#pragma once

#include <cstddef>
#include <string>

namespace campaign {

// The last character of a whole Config switch line, column 48 of a Settings
// line, to a value its rule writes, on lines with a line end; at most
// maxEdits bytes. A Ctrl-Z ending `before` may go (a text-mode update drops it).
std::string InPlaceDifference(std::string before, const std::string& after, std::size_t maxEdits);
// `before` in the pieces fgets reads (lines, cut at 1023 characters), each
// kept or replaced by the flagged entry of the file name it begins with.
std::string CopyFlagDifference(const std::string& before, const std::string& after);
// The text without its [SourceDisksNames] and [SourceDisksFiles] sections.
std::string WithoutSourceDisks(const std::string& text);

}  // namespace campaign
