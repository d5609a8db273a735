// A journal entry as one line of text, and back: setupsim's report and
// setup.exe's log use the same lines, so that one can be held against the
// other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/journal/journal.h"

namespace platform {

// A value as a Windows user writes it: bare when it has no blank, '=' or
// quote; otherwise in quotes, with only the quote and control characters
// escaped (\", \n, \r, \t, \xHH), never a backslash.
std::string QuotedValue(const std::string& value);

// "kind  name=value  name=value", without the time.
std::string DescribeEntry(const JournalEntry& entry);

// "      120 ms  kind  name=value ...": the time right-aligned in nine places.
std::string JournalLine(const JournalEntry& entry);

// A number's digits without 64-bit division, whose run-time helpers a 32-bit
// setup.exe would otherwise carry.
std::string Decimal(std::uint64_t value);

// A line as JournalLine wrote it, read back: its time and the rest as
// DescribeEntry wrote it (values stay quoted: a backslash before "n" may be
// a newline or a folder's first letter). nullopt when it is not such a line.
struct JournalLineText {
    std::uint64_t time = 0;
    std::string kind;
    std::string description;
};
std::optional<JournalLineText> ReadJournalLine(const std::string& line);

}  // namespace platform
