#include "setupsim/ini_scan.h"

#include <algorithm>
#include <numeric>

#include "platform/vm/text_lines.h"

namespace setupsim {

std::vector<ScannedLine> ScanIniLines(const std::string& content) {
    std::vector<ScannedLine> lines;
    int sectionLine = 0;
    int number = 0;
    for (const vm::text::Line& at : vm::text::SplitLines(content)) {
        ScannedLine line;
        line.number = ++number;
        line.sectionLine = sectionLine;
        const std::string body = vm::text::TrimLeadingBlanks(content.substr(at.begin, at.end - at.begin));
        const std::size_t close = body.find(']', 1);
        const std::size_t equals = body.find('=');
        if (body.empty() || body[0] == ';') {
            // a comment or a blank line
        } else if (body[0] == '[' && close != std::string::npos) {
            line.kind = ScannedLine::Kind::Section;
            line.name = vm::text::TrimBlanks(body.substr(1, close - 1));
            sectionLine = line.number;
            line.sectionLine = line.number;
        } else if (equals != std::string::npos) {
            line.kind = ScannedLine::Kind::Key;
            line.name = vm::text::TrimBlanks(body.substr(0, equals));
            line.value = vm::text::TrimBlanks(body.substr(equals + 1));
        }
        lines.push_back(line);
    }
    return lines;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> previous(b.size() + 1);
    std::iota(previous.begin(), previous.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::vector<std::size_t> current(b.size() + 1);
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        previous = std::move(current);
    }
    return previous[b.size()];
}

}  // namespace setupsim
