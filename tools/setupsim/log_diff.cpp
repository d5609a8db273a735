#include "setupsim/log_diff.h"

#include <regex>

#include "platform/journal/journal_text.h"

namespace setupsim {

namespace {

std::string Normalised(const std::string& description) {
    std::string text = WithoutShortNames(description);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::vector<std::string> Normalised(const std::vector<std::string>& descriptions) {
    std::vector<std::string> result;
    for (const std::string& description : descriptions) result.push_back(Normalised(description));
    return result;
}

// What the two sides do not share, by the longest common subsequence of the
// part between their common beginning and end.
class Differ {
public:
    Differ(const std::vector<std::string>& predicted, const std::vector<std::string>& logged,
           std::vector<LogDifference>& out)
        : a_(predicted), b_(logged), normalA_(Normalised(predicted)), normalB_(Normalised(logged)), out_(out) {}

    void Run() {
        std::size_t begin = 0;
        while (begin < a_.size() && begin < b_.size() && Same(begin, begin)) ++begin;
        std::size_t endA = a_.size(), endB = b_.size();
        while (endA > begin && endB > begin && Same(endA - 1, endB - 1)) --endA, --endB;
        const std::size_t n = endA - begin, m = endB - begin;
        // lcs[i][j]: the longest common subsequence of a[begin+i..endA) and b[begin+j..endB).
        std::vector<std::vector<std::uint32_t>> lcs(n + 1, std::vector<std::uint32_t>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;) {
            for (std::size_t j = m; j-- > 0;) {
                lcs[i][j] = Same(begin + i, begin + j) ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
            }
        }
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && Same(begin + i, begin + j)) {
                ++i, ++j;
                unpaired_ = out_.size();
            } else if (j == m || (i < n && lcs[i + 1][j] >= lcs[i][j + 1])) {
                out_.push_back({begin + i, a_[begin + i], ""});
                ++i;
            } else {
                Logged(begin + i, b_[begin + j]);
                ++j;
            }
        }
    }

private:
    bool Same(std::size_t i, std::size_t j) const { return normalA_[i] == normalB_[j]; }

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
    const std::vector<std::string> normalA_, normalB_;
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
        if (line.find_first_not_of(" \r") == std::string::npos) continue;
        const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
        if (!read) {
            lines.badLine = number;
            break;
        }
        lines.effects.push_back(read->description);
    }
    return lines;
}

LogComparison CompareWithLog(const std::vector<platform::JournalEntry>& predicted,
                             const std::vector<std::string>& logged) {
    std::vector<std::string> descriptions;
    for (const platform::JournalEntry& entry : predicted) descriptions.push_back(platform::DescribeEntry(entry));
    LogComparison comparison{descriptions.size(), logged.size(), {}};
    Differ(descriptions, logged, comparison.differences).Run();
    return comparison;
}

}  // namespace setupsim
