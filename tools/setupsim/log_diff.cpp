#include "setupsim/log_diff.h"

#include <optional>
#include <regex>
#include <unordered_map>

#include "platform/journal/journal_text.h"
#include "setupsim/common_subsequence.h"

namespace setupsim {

namespace {

std::string Normalised(const std::string& description) {
    std::string text = WithoutShortNames(description);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// What the two sides do not share, by a longest common subsequence of the
// effects made alike; between two shared effects the predicted ones come
// first, then the logged ones, each paired with a predicted one left over.
class Differ {
public:
    Differ(const std::vector<std::string>& predicted, const std::vector<std::string>& logged, std::vector<LogDifference>& out)
        : a_(predicted), b_(logged), out_(out) {}

    bool Run() {
        std::unordered_map<std::string, std::uint32_t> ids;
        std::vector<std::uint32_t> a, b;
        for (const std::string& text : a_) a.push_back(ids.emplace(Normalised(text), static_cast<std::uint32_t>(ids.size())).first->second);
        for (const std::string& text : b_) b.push_back(ids.emplace(Normalised(text), static_cast<std::uint32_t>(ids.size())).first->second);
        std::optional<Pairs> pairs = CommonSubsequence(a, b, kMostDifferences);
        if (!pairs) return false;
        pairs->emplace_back(a.size(), b.size());
        std::size_t i = 0, j = 0;
        for (const auto& [pairedA, pairedB] : *pairs) {
            for (; i < pairedA; ++i) out_.push_back({i, a_[i], ""});
            for (; j < pairedB; ++j) Logged(i, b_[j]);
            ++i, ++j;
            unpaired_ = out_.size();
        }
        return true;
    }

private:
    // Pairs with the first predicted effect of this run of differences that
    // has no logged one yet.
    void Logged(std::size_t at, const std::string& text) {
        if (unpaired_ < out_.size() && out_[unpaired_].logged.empty()) {
            out_[unpaired_++].logged = text;
            return;
        }
        out_.push_back({at, "", text});
        unpaired_ = out_.size();
    }

    const std::vector<std::string>& a_;
    const std::vector<std::string>& b_;
    std::vector<LogDifference>& out_;
    std::size_t unpaired_ = 0;
};

}  // namespace

std::string WithoutShortNames(const std::string& text) {
    static const std::regex alias(R"((^|[\\"= ])[^\\"= ~]{1,7}~[0-9A-Za-z]{1,6}(\.[^\\"= ]{0,3})?(?=$|[\\"= ]))");
    return std::regex_replace(text, alias, "$1~");
}

LogLines ReadLog(std::istream& log) {
    LogLines lines;
    std::string line;
    for (std::size_t number = 1; std::getline(log, line); ++number) {
        // Blank lines, and the header's, which start with ';'.
        if (line.find_first_not_of(" \r") == std::string::npos || line[0] == ';') continue;
        const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
        if (!read) {
            lines.badLine = number;
            break;
        }
        lines.effects.push_back(read->description);
    }
    return lines;
}

std::optional<LogComparison> CompareWithLog(const std::vector<platform::JournalEntry>& predicted,
                                            const std::vector<std::string>& logged, const std::vector<std::string>& ignored) {
    const auto kept = [&ignored](const std::string& description) {
        for (const std::string& kind : ignored) {
            const bool fields = description.size() > kind.size();
            if (description.compare(0, kind.size(), kind) == 0 && (!fields || description.compare(kind.size(), 2, "  ") == 0)) return false;
        }
        return true;
    };
    std::vector<std::string> descriptions, log;
    for (const platform::JournalEntry& entry : predicted) {
        if (kept(platform::DescribeEntry(entry))) descriptions.push_back(platform::DescribeEntry(entry));
    }
    for (const std::string& description : logged) {
        if (kept(description)) log.push_back(description);
    }
    LogComparison comparison{descriptions.size(), log.size(), {}};
    if (!Differ(descriptions, log, comparison.differences).Run()) return std::nullopt;
    return comparison;
}

}  // namespace setupsim
