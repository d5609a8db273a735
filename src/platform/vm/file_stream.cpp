#include "platform/vm/file_stream.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "platform/vm/filesystem_paths.h"

namespace vm {

namespace {

constexpr char kCtrlZ = '\x1A';
// FAT32 holds no file of 4 GiB or more; a write past that fails.
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFu;

struct OpenMode {
    bool read = false;
    bool write = false;
    bool append = false;
    bool truncate = false;
    bool text = true;
};

std::optional<OpenMode> ParseMode(const std::string& mode) {
    OpenMode parsed;
    switch (mode.empty() ? '\0' : mode[0]) {
        case 'r': parsed.read = true; break;
        case 'w': parsed.write = parsed.truncate = true; break;
        case 'a': parsed.write = parsed.append = true; break;
        default: return std::nullopt;
    }
    bool sawPlus = false;
    bool sawType = false;
    for (std::size_t i = 1; i < mode.size(); ++i) {
        const char c = mode[i];
        if (c == '+' && !sawPlus) {
            sawPlus = parsed.read = parsed.write = true;
        } else if ((c == 'b' || c == 't') && !sawType) {
            sawType = true;
            parsed.text = c == 't';
        } else {
            break;  // the run-time stops reading the mode at anything else
        }
    }
    return parsed;
}

bool IsWritableFile(const FileSystem& fs, const std::string& path) {
    const auto attributes = fs.Attributes(path);
    const auto parsed = paths::ParseAbsolutePath(path);
    return fs.IsFile(path) && attributes && (*attributes & platform::FILE_ATTRIBUTE_READONLY) == 0 && parsed &&
           !fs.IsDriveReadOnly(parsed->drive);
}

// Puts bytes at offset, overwriting what is there and extending the content
// (with zeros up to offset, as a seek past the end does).
void Overwrite(std::string& content, std::size_t offset, const std::string& bytes) {
    if (offset > content.size()) content.resize(offset, '\0');
    content.replace(offset, std::min(bytes.size(), content.size() - offset), bytes);
}

std::string ExpandLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class VirtualFileStream final : public platform::FileStream {
public:
    VirtualFileStream(FileSystem& fs, std::string path, OpenMode mode, std::string content)
        : fs_(fs), path_(std::move(path)), mode_(mode), data_(std::move(content)) {}

    ~VirtualFileStream() override { Flush(); }

    std::optional<std::string> Gets(std::size_t maxChars) override {
        if (maxChars == 0 || !mode_.read) return std::nullopt;
        std::string line;
        while (line.size() + 1 < maxChars) {
            const int c = NextChar();
            if (c < 0) break;
            line += static_cast<char>(c);
            if (c == '\n') break;
        }
        // fgets with room for the terminator only succeeds without reading.
        if (line.empty() && maxChars > 1) return std::nullopt;
        return line;
    }

    std::string Read(std::size_t count) override {
        std::string out;
        if (!mode_.read) return out;
        while (out.size() < count) {
            const int c = NextChar();
            if (c < 0) break;
            out += static_cast<char>(c);
        }
        return out;
    }

    bool Write(const std::string& bytes) override {
        if (!mode_.write) return false;
        const std::string stored = mode_.text ? ExpandLineEnds(bytes) : bytes;
        if (mode_.append) position_ = data_.size();
        if (position_ + stored.size() > kMaxFileSize) return false;
        if (stored.empty()) return true;
        Overwrite(data_, position_, stored);
        pending_.push_back({position_, stored});
        position_ += stored.size();
        return true;
    }

    bool Seek(std::int64_t offset, int origin) override {
        std::int64_t base = 0;
        switch (origin) {
            case SEEK_SET: base = 0; break;
            case SEEK_CUR: base = static_cast<std::int64_t>(position_); break;
            case SEEK_END: base = static_cast<std::int64_t>(data_.size()); break;
            default: return false;
        }
        if (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) return false;
        const std::int64_t target = base + offset;
        if (target < 0) return false;
        position_ = static_cast<std::size_t>(target);
        eof_ = false;
        return true;
    }

    std::int64_t Tell() override { return static_cast<std::int64_t>(position_); }

    // Applies this stream's writes to the file as it is now, so that changes
    // others made to other parts of it meanwhile survive.
    bool Flush() override {
        if (pending_.empty()) return true;
        auto content = fs_.ReadFile(path_);
        const auto attributes = fs_.Attributes(path_);
        if (!content || !attributes) {
            pending_.clear();  // the file went away under the stream: nothing left to write to
            return false;
        }
        for (const PendingWrite& write : pending_) Overwrite(*content, write.offset, write.bytes);
        pending_.clear();
        // An open handle writes whatever attributes the file got since.
        if (!fs_.PutFile(path_, *content, *attributes | platform::FILE_ATTRIBUTE_ARCHIVE)) return false;
        data_ = std::move(*content);
        return true;
    }

    bool Eof() const override { return eof_; }

private:
    struct PendingWrite {
        std::size_t offset;
        std::string bytes;
    };

    // The next character as the program sees it, -1 at the end of the data.
    int NextChar() {
        if (position_ >= data_.size()) {
            eof_ = true;
            return -1;
        }
        const char c = data_[position_];
        if (mode_.text) {
            if (c == kCtrlZ) {
                eof_ = true;
                return -1;
            }
            if (c == '\r' && position_ + 1 < data_.size() && data_[position_ + 1] == '\n') {
                position_ += 2;
                return '\n';
            }
        }
        ++position_;
        return static_cast<unsigned char>(c);
    }

    FileSystem& fs_;
    std::string path_;
    OpenMode mode_;
    std::string data_;  // the file's bytes as this stream sees them
    std::size_t position_ = 0;
    bool eof_ = false;
    std::vector<PendingWrite> pending_;
};

}  // namespace

std::unique_ptr<platform::FileStream> OpenFileStream(FileSystem& fs, const std::string& path, const std::string& mode) {
    const auto parsed = ParseMode(mode);
    if (!parsed) return nullptr;
    if (parsed->truncate || (parsed->append && !fs.Exists(path))) {
        if (!fs.WriteFile(path, std::string())) return nullptr;
    } else if (parsed->write && !IsWritableFile(fs, path)) {
        return nullptr;
    }
    auto content = fs.ReadFile(path);
    if (!content) return nullptr;

    // The run-time drops a Ctrl-Z that ends a text file opened for reading
    // and writing, so that what is appended is not hidden behind it.
    if (parsed->text && parsed->read && parsed->write && !content->empty() && content->back() == kCtrlZ) {
        content->pop_back();
        if (!fs.WriteFile(path, *content)) return nullptr;
    }
    return std::make_unique<VirtualFileStream>(fs, path, *parsed, std::move(*content));
}

}  // namespace vm
