#include "platform/vm/file_stream.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

#include "platform/vm/filesystem_paths.h"

namespace vm {

namespace {

constexpr char kCtrlZ = '\x1A';
// FAT32 holds no file of 4 GiB or more; a write past that fails.
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFu;
// The run-time's stream buffer, and the smaller one it fills once after a
// seek on a stream open for reading only.
constexpr std::size_t kBufferSize = 4096;
constexpr std::size_t kSmallBufferSize = 512;

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

std::int64_t LineFeeds(const std::string& text, std::size_t from, std::size_t to) {
    return std::count(text.begin() + static_cast<std::ptrdiff_t>(from), text.begin() + static_cast<std::ptrdiff_t>(to), '\n');
}

class VirtualFileStream final : public platform::FileStream {
public:
    VirtualFileStream(FileSystem& fs, std::string path, OpenMode mode) : fs_(fs), path_(std::move(path)), mode_(mode) {}

    ~VirtualFileStream() override { Flush(); }

    // fgets: "" when there is room for the terminator only.
    std::optional<std::string> Gets(std::size_t maxChars) override {
        if (maxChars == 0) return std::nullopt;
        std::string line;
        while (line.size() + 1 < maxChars) {
            const int c = GetChar();
            if (c < 0) {
                if (line.empty()) return std::nullopt;
                break;
            }
            line += static_cast<char>(c);
            if (c == '\n') break;
        }
        return line;
    }

    // fread: what the buffer holds, then whole buffers' worth read straight
    // into the caller's memory, then the rest through the buffer.
    std::string Read(std::size_t count) override {
        std::string out;
        while (out.size() < count) {
            const std::size_t wanted = count - out.size();
            if (Buffered() > 0) {
                const std::size_t taken = std::min(Buffered(), wanted);
                out.append(buffer_, next_, taken);
                next_ += taken;
            } else if (wanted >= bufferSize_ && StartReading()) {
                const std::string direct = LowRead(wanted - wanted % bufferSize_);
                if (direct.empty()) {
                    eof_ = !error_;
                    break;
                }
                out += direct;
            } else {
                const int c = Fill();
                if (c < 0) break;
                out += static_cast<char>(c);
            }
        }
        return out;
    }

    bool Write(const std::string& bytes) override {
        if (!mode_.write) return false;
        if (reading_) {
            // Reading and writing take a seek or a flush in between; only at
            // the end of the file does the run-time let a write follow.
            if (!eof_) return (error_ = true, false);
            reading_ = false;
            buffer_.clear();
            next_ = 0;
        }
        const std::uint64_t base = mode_.append ? FileSize() : filePosition_;
        const std::uint64_t stored = pending_.size() + bytes.size() + (mode_.text ? LineFeeds(bytes, 0, bytes.size()) : 0);
        if (base + stored > kMaxFileSize) return false;
        writing_ = true;
        pending_ += bytes;
        return pending_.size() < kBufferSize || FlushWrites();
    }

    bool Seek(std::int64_t offset, int origin) override {
        if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) return false;
        if (origin == SEEK_CUR) {
            const std::int64_t here = Tell();
            if (offset > 0 && here > std::numeric_limits<std::int64_t>::max() - offset) return false;
            offset += here;
            origin = SEEK_SET;
        }
        const bool flushed = FlushWrites();
        buffer_.clear();
        next_ = 0;
        reading_ = false;
        eof_ = false;
        if (!mode_.write && bufferUsed_) bufferSize_ = kSmallBufferSize;
        const std::int64_t base = origin == SEEK_END ? static_cast<std::int64_t>(FileSize()) : 0;
        if (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) return false;
        if (base + offset < 0) return false;
        filePosition_ = static_cast<std::uint64_t>(base + offset);
        atEndOfFile_ = ctrlZSeen_ = false;
        return flushed;
    }

    // ftell: the file pointer less what the buffer holds unread. In text
    // mode the run-time cannot know how many bytes the buffer's characters
    // took on disk: at the end of the file it counts every LF as a CR LF
    // (and a Ctrl-Z that ended a read-only stream's buffer as one byte);
    // elsewhere it takes the buffer for a full one.
    std::int64_t Tell() override {
        const auto position = static_cast<std::int64_t>(filePosition_);
        if (writing_) {
            const auto base = static_cast<std::int64_t>(mode_.append ? FileSize() : filePosition_);
            return base + static_cast<std::int64_t>(pending_.size()) + (mode_.text ? LineFeeds(pending_, 0, pending_.size()) : 0);
        }
        if (!reading_ || Buffered() == 0) return position;
        if (!mode_.text) return position - static_cast<std::int64_t>(Buffered());
        const std::int64_t consumed = static_cast<std::int64_t>(next_) + LineFeeds(buffer_, 0, next_);
        std::int64_t bytesBuffered = 0;
        if (filePosition_ == FileSize()) {
            bytesBuffered = static_cast<std::int64_t>(buffer_.size()) + LineFeeds(buffer_, 0, buffer_.size()) +
                            (ctrlZSeen_ && !mode_.write ? 1 : 0);
        } else {
            bytesBuffered = static_cast<std::int64_t>(buffer_.size() <= kSmallBufferSize ? kSmallBufferSize : kBufferSize) +
                            (startsWithLineFeed_ ? 1 : 0);
        }
        return position - bytesBuffered + consumed;
    }

    // fflush: writes what is held; on a stream being read it drops the
    // buffer, so that reading goes on at the file pointer.
    bool Flush() override {
        if (writing_) return FlushWrites();
        buffer_.clear();
        next_ = 0;
        return true;
    }

    bool Eof() const override { return eof_; }

private:
    std::size_t Buffered() const { return buffer_.size() - next_; }

    std::uint64_t FileSize() const {
        const std::string* bytes = fs_.FileBytes(path_);
        return bytes ? bytes->size() : 0;
    }

    bool StartReading() {
        if (!mode_.read || writing_) return (error_ = true, false);
        reading_ = true;
        return true;
    }

    int GetChar() {
        if (Buffered() > 0) return static_cast<unsigned char>(buffer_[next_++]);
        return Fill();
    }

    // _filbuf: the next buffer's worth; its first character, -1 at the end
    // of the file or on an error.
    int Fill() {
        if (!StartReading()) return -1;
        const std::size_t size = bufferSize_;
        bufferSize_ = kBufferSize;
        bufferUsed_ = true;
        buffer_ = LowRead(size);
        next_ = 0;
        if (buffer_.empty()) {
            eof_ = !error_;
            return -1;
        }
        return static_cast<unsigned char>(buffer_[next_++]);
    }

    // _read: up to count bytes at the file pointer, translated in text mode.
    // A CR that ends the bytes read is decided by the byte after it, which
    // stays unread unless it is the LF of a CR LF that is all the read gave.
    std::string LowRead(std::size_t count) {
        if (atEndOfFile_ || count == 0) return {};
        const std::string* file = fs_.FileBytes(path_);
        if (file == nullptr) return (error_ = true, std::string());  // the file went away under the stream
        const std::size_t start = static_cast<std::size_t>(std::min<std::uint64_t>(filePosition_, file->size()));
        const std::string raw = file->substr(start, count);
        filePosition_ += raw.size();
        if (raw.empty()) return (atEndOfFile_ = true, std::string());
        if (!mode_.text) return raw;
        startsWithLineFeed_ = raw[0] == '\n';
        std::string out;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c == kCtrlZ) {
                atEndOfFile_ = ctrlZSeen_ = true;
                break;
            }
            if (c != '\r') {
                out += c;
            } else if (i + 1 < raw.size()) {
                if (raw[i + 1] != '\n') out += c;
            } else if (filePosition_ >= file->size()) {
                out += c;
            } else if ((*file)[filePosition_] == '\n' && out.empty()) {
                out += '\n';
                ++filePosition_;
            } else if ((*file)[filePosition_] != '\n') {
                out += c;
            }
        }
        return out;
    }

    // Writes what the buffer holds at the file pointer (at the end of the
    // file in append mode), onto the file as it is now, so that changes
    // others made to other parts of it meanwhile survive.
    bool FlushWrites() {
        if (!writing_) return true;
        writing_ = false;
        if (pending_.empty()) return true;
        const std::string stored = mode_.text ? ExpandLineEnds(pending_) : pending_;
        pending_.clear();
        std::optional<std::string> content = fs_.ReadFile(path_);
        const std::optional<std::uint32_t> attributes = fs_.Attributes(path_);
        if (!content || !attributes) return (error_ = true, false);
        const std::size_t at = mode_.append ? content->size() : static_cast<std::size_t>(filePosition_);
        Overwrite(*content, at, stored);
        // An open handle writes whatever attributes the file got since.
        if (!fs_.PutFile(path_, *content, *attributes | platform::FILE_ATTRIBUTE_ARCHIVE)) return (error_ = true, false);
        filePosition_ = at + stored.size();
        return true;
    }

    FileSystem& fs_;
    std::string path_;
    OpenMode mode_;
    std::uint64_t filePosition_ = 0;   // the file pointer below the buffer
    std::string buffer_;               // the characters of the last fill
    std::size_t next_ = 0;             // the next of them to hand out
    std::size_t bufferSize_ = kBufferSize;
    bool bufferUsed_ = false;
    std::string pending_;              // written, not yet in the file
    bool reading_ = false;
    bool writing_ = false;
    bool eof_ = false;                 // the stream's end-of-file flag
    bool error_ = false;
    bool atEndOfFile_ = false;         // the file pointer's: a read found the end or a Ctrl-Z
    bool ctrlZSeen_ = false;
    bool startsWithLineFeed_ = false;  // the last read began with an LF
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
    const std::string* content = fs.FileBytes(path);
    if (content == nullptr) return nullptr;

    // The run-time drops a Ctrl-Z that ends a text file opened for reading
    // and writing, so that what is appended is not hidden behind it.
    if (parsed->text && parsed->read && parsed->write && !content->empty() && content->back() == kCtrlZ) {
        if (!fs.WriteFile(path, content->substr(0, content->size() - 1))) return nullptr;
    }
    return std::make_unique<VirtualFileStream>(fs, path, *parsed);
}

}  // namespace vm
