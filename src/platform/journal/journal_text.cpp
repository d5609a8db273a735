#include "platform/journal/journal_text.h"

#include <algorithm>

namespace platform {

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

}  // namespace

std::string QuotedValue(const std::string& value) {
    const bool plain = !value.empty() && value.find_first_of(" =\"") == std::string::npos &&
                       std::none_of(value.begin(), value.end(), IsControl);
    if (plain) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') {
            quoted += "\\\"";
        } else if (c == '\n' || c == '\r' || c == '\t') {
            quoted += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        } else if (IsControl(c)) {
            static const char kHex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            quoted += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string DescribeEntry(const JournalEntry& entry) {
    std::string text = entry.kind;
    for (const auto& [key, value] : entry.fields) text += "  " + key + "=" + QuotedValue(value);
    return text;
}

std::string JournalLine(const JournalEntry& entry) {
    // No printf: its formatting machinery would double setup.exe's run-time.
    std::string time = std::to_string(entry.time);
    if (time.size() < 9) time.insert(0, 9 - time.size(), ' ');
    return time + " ms  " + DescribeEntry(entry);
}

std::optional<JournalLineText> ReadJournalLine(const std::string& line) {
    std::string text = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const std::size_t digits = text.find_first_not_of(' ');
    const std::size_t unit = text.find(" ms  ");
    if (digits == std::string::npos || unit == std::string::npos || unit <= digits ||
        text.find_first_not_of("0123456789", digits) != unit || unit - digits > 19 || unit + 5 >= text.size()) {
        return std::nullopt;
    }
    JournalLineText read;
    read.time = std::stoull(text.substr(digits, unit - digits));
    read.description = text.substr(unit + 5);
    read.kind = read.description.substr(0, read.description.find("  "));
    return read;
}

}  // namespace platform
