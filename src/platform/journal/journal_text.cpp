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

// Long division by ten in 16-bit steps, each of which fits 32 bits.
std::string Decimal(std::uint64_t value) {
    std::string digits;
    do {
        std::uint64_t quotient = 0;
        std::uint32_t remainder = 0;
        for (int shift = 48; shift >= 0; shift -= 16) {
            const std::uint32_t part = remainder << 16 | static_cast<std::uint32_t>(value >> shift & 0xFFFF);
            quotient |= static_cast<std::uint64_t>(part / 10) << shift;
            remainder = part % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
        value = quotient;
    } while (value != 0);
    return digits;
}

std::string JournalLine(const JournalEntry& entry) {
    // No printf: its formatting machinery would double setup.exe's run-time.
    std::string time = Decimal(entry.time);
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
    for (std::size_t at = digits; at < unit; ++at) read.time = read.time * 10 + static_cast<std::uint64_t>(text[at] - '0');
    read.description = text.substr(unit + 5);
    read.kind = read.description.substr(0, read.description.find("  "));
    return read;
}

}  // namespace platform
