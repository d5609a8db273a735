#include "setupsim/dir_listing.h"

#include <cctype>
#include <sstream>

namespace setupsim {

namespace {

// "1,234" or "1.234" as a number; false when it is none.
bool ReadSize(const std::string& text, std::uint64_t& size) {
    size = 0;
    bool digits = false;
    for (const char c : text) {
        if (c == ',' || c == '.') continue;
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        size = size * 10 + static_cast<std::uint64_t>(c - '0');
        digits = true;
    }
    return digits;
}

// "06/01/1999", "06.01.99", "06-01-99": three groups of digits.
bool IsDate(const std::string& word) {
    int groups = 0;
    for (std::size_t i = 0; i < word.size();) {
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
        while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i]))) ++i;
        ++groups;
        if (i < word.size() && (word[i] == '/' || word[i] == '.' || word[i] == '-')) ++i;
    }
    return groups == 3;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

std::vector<ListedEntry> ReadDirListing(const std::string& text) {
    std::vector<ListedEntry> entries;
    std::string folder;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t of = line.find("Directory of ");
        if (of != std::string::npos) {
            folder = line.substr(of + 13);
            if (!folder.empty() && folder.back() == '\\') folder.pop_back();
            continue;
        }
        // NT: date, time, [AM|PM], <DIR> or size, then the name (which may hold blanks).
        // 9x: the 8.3 name in the first 12 columns, <DIR> or size, date, time, then the long name.
        const std::vector<std::string> all = Words(line);
        if (folder.empty() || all.size() < 3) continue;
        const bool nt = IsDate(all[0]);
        const std::size_t skip = nt ? 0 : std::min<std::size_t>(line.size(), 12);
        const std::vector<std::string> words = Words(line.substr(skip));
        std::size_t sizeWord = 0;
        if (nt) sizeWord = words.size() > 2 && (words[2] == "AM" || words[2] == "PM") ? 3 : 2;
        if (sizeWord + 1 >= words.size()) continue;
        // Totals and volume lines carry no date where a 9x entry has one.
        if (!nt && (line[0] == ' ' || !IsDate(words[sizeWord + 1]))) continue;
        ListedEntry entry;
        entry.folder = words[sizeWord] == "<DIR>";
        if (!entry.folder && !ReadSize(words[sizeWord], entry.size)) continue;
        // The name is the rest of the line from the word it starts with.
        const std::size_t nameWord = nt ? sizeWord + 1 : sizeWord + 3;
        std::string name;
        if (nameWord < words.size()) {
            std::size_t at = skip;
            for (std::size_t i = 0; i < nameWord; ++i) at = line.find(words[i], at) + words[i].size();
            name = line.substr(line.find(words[nameWord], at));
        } else if (!nt) {  // DOS's dir has no long-name column: the 8.3 name it is
            const std::vector<std::string> parts = Words(line.substr(0, skip));
            name = parts.empty() ? "" : parts[0] + (parts.size() > 1 ? "." + parts[1] : "");
        }
        if (name.empty()) continue;
        if (name == "." || name == "..") continue;
        entry.path = folder + "\\" + name;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace setupsim
