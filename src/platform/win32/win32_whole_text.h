// Texts that Win32 calls write into a caller's buffer, read whole: the call is
// repeated with a larger buffer until the text is known not to be cut.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// How a call tells that the text did not fit, from its result and the size
// of the buffer it was given.
enum class CutSignal {
    // The size it needs, terminating zero included (GetCurrentDirectoryA,
    // GetShortPathNameA, ...), or the whole buffer (GetModuleFileNameA).
    kResultAtLeastSize,
    // size - 1 (GetPrivateProfileStringA).
    kResultSizeMinusOne,
};

// fill(char* buffer, DWORD size) returns the length of the text it wrote.
// Returns the text; empty when the call fails (returns 0). The buffer stops
// growing at kLargestText characters, so that a call that never reports a
// whole text cannot exhaust memory: a text that does not fit even then is a
// failure too. No text the program reads comes near it.
template <typename Fill>
std::string ReadWholeText(Fill fill, CutSignal signal) {
    constexpr std::uint64_t kLargestText = std::uint64_t{1} << 20;
    const std::uint64_t margin = signal == CutSignal::kResultSizeMinusOne ? 1 : 0;
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const std::uint64_t size = buffer.size();
        const std::uint64_t result = fill(&buffer[0], static_cast<DWORD>(size));
        if (result + margin < size) {
            buffer.resize(static_cast<std::size_t>(result));
            return buffer;
        }
        if (size >= kLargestText) return std::string();
        buffer.resize(static_cast<std::size_t>(std::min(std::max(result + 1, size * 2), kLargestText)));
    }
}

}  // namespace platform::win32
