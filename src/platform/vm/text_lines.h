// Line and blank handling shared by the virtual machine's text formats
// (profile files, REGEDIT4): CR LF, LF and a lone CR all end a line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vm::text {

struct Line {
    std::size_t begin = 0;  // first byte of the line
    std::size_t end = 0;    // one past its last byte, before the line end
    std::size_t next = 0;   // where the next line starts (after the line end)
    bool terminated() const { return next > end; }
};

// Every line of content; a final line without a line end is included, an
// empty content has no lines.
std::vector<Line> SplitLines(const std::string& content);

// Space, tab, vertical tab and form feed; line ends are never part of a line.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string TrimBlanks(const std::string& s);
std::string TrimLeadingBlanks(const std::string& s);

}  // namespace vm::text
