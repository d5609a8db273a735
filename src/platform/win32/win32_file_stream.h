// A FileStream over the C run-time's FILE*, which does the text-mode
// translation itself.
#pragma once

#include <cstdio>

#include "platform/platform.h"

namespace platform::win32 {

class CrtFileStream final : public FileStream {
public:
    // Takes over an open stream; closes it when destroyed.
    explicit CrtFileStream(std::FILE* file) : file_(file) {}
    ~CrtFileStream() override;
    CrtFileStream(const CrtFileStream&) = delete;
    CrtFileStream& operator=(const CrtFileStream&) = delete;

    std::optional<std::string> Gets(std::size_t maxChars) override;
    std::string Read(std::size_t count) override;
    bool Write(const std::string& bytes) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    bool Flush() override;
    bool Eof() const override;

private:
    std::FILE* file_;
};

}  // namespace platform::win32
