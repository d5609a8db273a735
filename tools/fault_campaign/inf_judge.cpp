// Which INF bytes the rewriting rules may change (campaign.h).
#include <algorithm>
#include <cstring>
#include <set>

#include "fault_campaign/campaign.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/text_lines.h"

namespace campaign {

namespace {

// A line, the column of the character a rule may change, its new values, whether the line is the text alone.
struct EditableLine { const char* text; std::size_t column; const char* values; bool whole; };
const EditableLine kLines[] = {{"HKR,Config,DISMPU,1,0", 20, "1", true}, {"HKR,Config,DISJSTK,1,0", 21, "1", true},
    {"HKR,Config,LINEINasREAR,1,1", 26, "0", true}, {"HKR,Config,LINEINasBASS,1,0", 26, "1", true},
    {"HKR,Config,MICasBASS,1,0", 23, "1", true},
    {"HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0", 48, "2", false},
    {"HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0", 48, "01234567", false}};
const std::string kFlagged[] = {"ksuser.dll", "stream.sys", "ks.sys", "ksproxy.ax", "mspclock.sys", "mskssrv.sys"};


}  // namespace

std::string InPlaceDifference(std::string before, const std::string& after, std::size_t maxEdits) {
    if (!before.empty() && before.back() == '\x1A' && after.size() + 1 == before.size()) before.pop_back();
    if (before.size() != after.size()) return std::to_string(after.size()) + " bytes, not " + std::to_string(before.size());
    for (std::size_t i = 0, edits = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        const std::size_t start = i == 0 ? 0 : before.rfind('\n', i - 1) + 1;  // npos + 1 is 0
        const auto allowed = [&](const EditableLine& line) {
            const std::size_t end = start + std::strlen(line.text);
            return i - start == line.column && std::strchr(line.values, after[i]) &&
                   before.compare(start, end - start, line.text) == 0 &&
                   (!line.whole || before.compare(end, 1, "\n") == 0 || before.compare(end, 2, "\r\n") == 0);
        };
        if (++edits > maxEdits || after[i] == '\0' || before.find('\n', i) == std::string::npos ||
            std::none_of(std::begin(kLines), std::end(kLines), allowed)) {
            return "at " + std::to_string(i) + ", " + std::to_string(before[i]) + " became " + std::to_string(after[i]);
        }
    }
    return "";
}

std::string CopyFlagDifference(const std::string& before, const std::string& after) {
    std::set<std::size_t> reachable{0};  // where in `after` the pieces so far may end
    for (std::size_t start = 0, length = 0; start < before.size(); start += length) {
        length = std::min<std::size_t>(1023, std::min(before.find('\n', start), before.size() - 1) + 1 - start);
        const std::string piece = before.substr(start, length);
        std::set<std::size_t> next;
        for (std::size_t at : reachable) {
            if (after.compare(at, length, piece) == 0) next.insert(at + length);
            for (const std::string& name : kFlagged) {
                const std::string flagged = name + ",,,0x00000010\r\n";
                if (vm::Lower(piece.substr(0, name.size())) == name && after.compare(at, flagged.size(), flagged) == 0) {
                    next.insert(at + flagged.size());
                }
            }
        }
        if (next.empty()) return "the line at " + std::to_string(start) + " is neither kept nor its flagged entry";
        reachable.swap(next);
    }
    return reachable.count(after.size()) ? "" : "bytes after the last line";
}

std::string WithoutSourceDisks(const std::string& text) {
    std::string kept;
    bool skip = false;
    for (const vm::text::Line& line : vm::text::SplitLines(text)) {
        const std::string body = vm::text::TrimLeadingBlanks(text.substr(line.begin, line.end - line.begin));
        const std::size_t close = body.empty() || body[0] != '[' ? std::string::npos : body.find(']', 1);
        const std::string name = close == std::string::npos ? "" : vm::Lower(vm::text::TrimBlanks(body.substr(1, close - 1)));
        if (close != std::string::npos) skip = name == "sourcedisksnames" || name == "sourcedisksfiles";
        if (!skip) kept += text.substr(line.begin, line.next - line.begin);
    }
    return kept;
}

}  // namespace campaign
