#include "platform/vm/text_lines.h"

namespace vm::text {

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        Line line;
        line.begin = begin;
        std::size_t i = begin;
        while (i < content.size() && content[i] != '\r' && content[i] != '\n') ++i;
        line.end = i;
        if (i < content.size()) {
            ++i;
            if (content[i - 1] == '\r' && i < content.size() && content[i] == '\n') ++i;
        }
        line.next = i;
        lines.push_back(line);
        begin = i;
    }
    return lines;
}

std::string TrimLeadingBlanks(const std::string& s) {
    std::size_t first = 0;
    while (first < s.size() && IsBlank(s[first])) ++first;
    return s.substr(first);
}

std::string TrimBlanks(const std::string& s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    return s.substr(first, last - first);
}

}  // namespace vm::text
