#include "platform/win32/win32_file_stream.h"

#include <algorithm>
#include <climits>

namespace platform::win32 {

CrtFileStream::~CrtFileStream() { std::fclose(file_); }

// fgets one character at a time: fgets itself hands back a C string, and a
// line holding a NUL byte would lose what follows it.
std::optional<std::string> CrtFileStream::Gets(std::size_t maxChars) {
    if (maxChars == 0) return std::nullopt;
    std::string line;
    while (line.size() + 1 < maxChars) {
        const int c = std::getc(file_);
        if (c == EOF) {
            if (line.empty()) return std::nullopt;
            break;
        }
        line += static_cast<char>(c);
        if (c == '\n') break;
    }
    return line;
}

std::string CrtFileStream::Read(std::size_t count) {
    std::string bytes(count, '\0');
    if (count == 0) return bytes;
    bytes.resize(std::fread(&bytes[0], 1, count, file_));
    return bytes;
}

bool CrtFileStream::Write(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

// fseek and ftell take a long: the run-time of Windows 95 has no 64-bit
// variants, and the files the program edits are small.
bool CrtFileStream::Seek(std::int64_t offset, int origin) {
    if (offset < LONG_MIN || offset > LONG_MAX) return false;
    return std::fseek(file_, static_cast<long>(offset), origin) == 0;
}

std::int64_t CrtFileStream::Tell() { return std::ftell(file_); }

bool CrtFileStream::Flush() { return std::fflush(file_) == 0; }

bool CrtFileStream::Eof() const { return std::feof(file_) != 0; }

}  // namespace platform::win32
