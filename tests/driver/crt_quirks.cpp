#include "driver/crt_quirks.h"

namespace inftest {

namespace {

class QuirkyStream final : public platform::FileStream {
public:
    QuirkyStream(std::unique_ptr<platform::FileStream> inner, CrtQuirksMachine& machine, std::string path, bool text)
        : inner_(std::move(inner)), machine_(machine), path_(std::move(path)), text_(text) {}

    std::optional<std::string> Gets(std::size_t maxChars) override {
        afterRead_ = true;
        std::optional<std::string> line = inner_->Gets(maxChars);
        if (line && machine_.quirks.getsStopsAtNul) line->resize(std::min(line->size(), line->find('\0')));
        return line;
    }
    std::string Read(std::size_t count) override {
        afterRead_ = true;
        return inner_->Read(count);
    }
    bool Write(const std::string& bytes) override {
        afterRead_ = false;
        written_ += bytes.size();
        if (machine_.quirks.writeRoom && written_ > *machine_.quirks.writeRoom) return false;
        return inner_->Write(bytes);
    }
    bool Seek(std::int64_t offset, int origin) override {
        afterRead_ = false;
        return inner_->Seek(offset, origin);
    }
    std::int64_t Tell() override {
        const std::int64_t exact = inner_->Tell();
        if (!(text_ && afterRead_ && machine_.quirks.textTellCountsLfAsCrLf)) return exact;
        const std::string content = machine_.Files().ReadFile(*machine_.FullPath(path_)).value_or("");
        std::int64_t loneLineFeeds = 0;
        for (std::size_t i = static_cast<std::size_t>(exact); i < content.size(); ++i) {
            if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r')) ++loneLineFeeds;
        }
        return exact - loneLineFeeds;
    }
    bool Flush() override { return inner_->Flush(); }
    bool Eof() const override { return inner_->Eof(); }

private:
    std::unique_ptr<platform::FileStream> inner_;
    CrtQuirksMachine& machine_;
    std::string path_;
    bool text_;
    bool afterRead_ = false;
    std::size_t written_ = 0;
};

}  // namespace

std::unique_ptr<platform::FileStream> CrtQuirksMachine::fopen(const std::string& path, const std::string& mode) {
    std::unique_ptr<platform::FileStream> stream = TestMachine::fopen(path, mode);
    if (!stream) return stream;
    return std::make_unique<QuirkyStream>(std::move(stream), *this, path, mode.find('b') == std::string::npos);
}

}  // namespace inftest
