#include "platform/vm/ini_text.h"

#include <cctype>

#include "platform/vm/machine_folder.h"

namespace vm {

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<IniLine> ParseIniText(const std::string& text, const std::string& fileName) {
    std::vector<IniLine> lines;
    std::string section;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']') throw MachineFolderError(fileName, number, "a section header must end in ']'");
            section = Trim(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            throw MachineFolderError(fileName, number, "expected key = value, found \"" + line + "\"");
        }
        if (section.empty()) throw MachineFolderError(fileName, number, "key = value before any [section]");
        lines.push_back({section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), number});
    }
    return lines;
}

}  // namespace vm
