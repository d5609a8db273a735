// A strict reader of the machine folder's own INI text: ordered lines, keys
// that may repeat, and the line number of each, for clear error messages.
#pragma once

#include <string>
#include <vector>

namespace vm {

struct IniLine {
    std::string section;
    std::string key;
    std::string value;
    int line = 0;
};

// Throws MachineFolderError (fileName, line) on a line that is neither a
// section header, a comment (';' or '#'), blank, nor key=value in a section.
std::vector<IniLine> ParseIniText(const std::string& text, const std::string& fileName);

std::string Trim(const std::string& text);

// ASCII lower case, for names compared without regard to case.
std::string Lower(std::string text);

}  // namespace vm
