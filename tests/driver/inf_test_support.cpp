#include "driver/inf_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace inftest {

std::string TestInf(const std::string& relative) {
    const std::string path = std::string(SETUP_SOURCE_DIR) + "/tests/data/inf/" + relative;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "missing test file " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes) {
    for (const auto& [from, to] : changes) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << "the test text holds no \"" << from << "\"";
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

std::string WithLfLineEnds(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

const std::vector<Ticks>& ReachableTickSets() {
    static const std::vector<Ticks> sets = {
        {true, false, false}, {false, true, false}, {false, false, true}, {true, false, true}};
    return sets;
}

std::string ToString(const Ticks& ticks) {
    std::string text = "{";
    if (ticks.box1011) text += "1011 ";
    if (ticks.box1012) text += "1012 ";
    if (ticks.box1013) text += "1013 ";
    if (text.back() == ' ') text.pop_back();
    return text + "}";
}

setup::OptionState OptionsWith(bool motherboard, const Ticks& ticks) {
    setup::OptionState options;
    options.motherboard = motherboard;
    options.lineInRear = ticks.box1011;
    options.lineInBass = ticks.box1012;
    options.micBass = ticks.box1013;
    return options;
}

namespace {

class QuirkyStream final : public platform::FileStream {
public:
    QuirkyStream(std::unique_ptr<platform::FileStream> inner, CrtQuirksMachine& machine, std::string path, bool text)
        : inner_(std::move(inner)), machine_(machine), path_(std::move(path)), text_(text) {}

    std::optional<std::string> Gets(std::size_t maxChars) override {
        afterRead_ = true;
        std::optional<std::string> line = inner_->Gets(maxChars);
        if (line && machine_.quirks.getsStopsAtNul) {
            const std::size_t nul = line->find('\0');
            if (nul != std::string::npos) line->resize(nul);
        }
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
    const bool text = mode.find('b') == std::string::npos;
    return std::make_unique<QuirkyStream>(std::move(stream), *this, path, text);
}

}  // namespace inftest
