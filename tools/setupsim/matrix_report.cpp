// The matrix as a table for people, for a README and for programs.
#include <algorithm>
#include <iomanip>
#include <sstream>

#include "setupsim/matrix.h"

namespace setupsim {

namespace {

constexpr std::size_t kMessageChars = 60;

// A message's first sentence, cut to fit a table cell.
std::string ShortMessage(const std::string& text) {
    std::string shortened = text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool endsSentence = text[i] == '.' || text[i] == '!' || text[i] == '?';
        if (endsSentence && (i + 1 == text.size() || text[i + 1] == ' ')) {
            shortened = text.substr(0, i + 1);
            break;
        }
    }
    if (shortened.size() > kMessageChars) shortened = shortened.substr(0, kMessageChars - 3) + "...";
    return shortened;
}

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    if (items.empty()) return "-";
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

std::string Seconds(std::uint64_t milliseconds) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << static_cast<double>(milliseconds) / 1000.0;
    return text.str();
}

using Table = std::vector<std::vector<std::string>>;

// codeSpans: command lines as Markdown code, so that their backslashes
// stay as they are.
Table Cells(const std::vector<MatrixRow>& rows, bool codeSpans) {
    Table table{{"Windows", "mode", "outcome", "driver", "installer started", "restart", "messages", "time (s)"}};
    for (const MatrixRow& row : rows) {
        std::vector<std::string> messages;
        for (const std::string& message : row.messages) messages.push_back(ShortMessage(message));
        std::vector<std::string> installers;
        for (const std::string& command : row.installers) installers.push_back(codeSpans ? "`" + command + "`" : command);
        std::string driver = row.driver;
        if (row.driver != "-" && row.driverFilesStaged == 0) driver += ", nothing staged";
        table.push_back({WindowsName(row.version), row.mode,
                         row.outcome + (row.ending == Ending::Hung ? " (hung)" : ""), driver,
                         Joined(installers, "; "), row.restart ? "yes" : "no", Joined(messages, " / "),
                         Seconds(row.virtualTime)});
    }
    return table;
}

}  // namespace

std::string MatrixText(const std::vector<MatrixRow>& rows) {
    const Table table = Cells(rows, false);
    std::vector<std::size_t> widths(table[0].size(), 0);
    for (const auto& line : table) {
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
    }
    std::ostringstream out;
    auto print = [&](const std::vector<std::string>& line) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size()) text += std::string(widths[i] - line[i].size() + 2, ' ');
        }
        out << text << "\n";
    };
    print(table[0]);
    std::vector<std::string> rule;
    for (std::size_t width : widths) rule.push_back(std::string(width, '-'));
    print(rule);
    for (std::size_t i = 1; i < table.size(); ++i) print(table[i]);
    return out.str();
}

std::string MatrixMarkdown(const std::vector<MatrixRow>& rows) {
    const Table table = Cells(rows, true);
    std::ostringstream out;
    auto print = [&](const std::vector<std::string>& line) {
        out << "|";
        for (const std::string& cell : line) {
            std::string escaped;
            for (char c : cell) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
            out << " " << escaped << " |";
        }
        out << "\n";
    };
    print(table[0]);
    out << "|";
    for (std::size_t i = 0; i < table[0].size(); ++i) out << "---|";
    out << "\n";
    for (std::size_t i = 1; i < table.size(); ++i) print(table[i]);
    return out.str();
}

nlohmann::json MatrixJson(const std::vector<MatrixRow>& rows) {
    nlohmann::json list = nlohmann::json::array();
    for (const MatrixRow& row : rows) {
        list.push_back({{"windows", vm::ToString(row.version)},
                        {"mode", row.mode},
                        {"outcome", row.outcome},
                        {"ending", ToString(row.ending)},
                        {"driver", row.driver},
                        {"driverFilesStaged", row.driverFilesStaged},
                        {"driverSource", row.driverSource},
                        {"installersStarted", row.installers},
                        {"restart", row.restart},
                        {"messages", row.messages},
                        {"dialogs", row.dialogs},
                        {"virtualTimeMs", row.virtualTime}});
    }
    return list;
}

}  // namespace setupsim
