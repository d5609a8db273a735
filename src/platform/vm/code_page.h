// Unicode text made the machine's ANSI text, as Windows converts it: registry
// files that regedit writes in UTF-16 or that were saved as UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

// The ANSI code page of a machine's language ("English" 1252, "Japanese"
// 932, ...).
std::uint32_t CodePageOf(const std::string& language);

struct Converted {
    std::string text;             // in the code page
    std::size_t badAt = 0;        // when not ok: the unit (byte or UTF-16 unit) where it failed
    std::string problem;          // "" when the whole text converted
    // Characters code page 1252 lacks read as '?', as Windows' ANSI calls
    // hand them to a program: how many, and the unit of the first.
    std::size_t replaced = 0, firstReplacedAt = 0;
};

// UTF-16 little- or big-endian (without its byte order mark), or UTF-8.
Converted FromUtf16(const std::string& bytes, bool bigEndian, std::uint32_t codePage);
Converted FromUtf8(const std::string& bytes, std::uint32_t codePage);

}  // namespace vm
