#include "campaign/inf_bytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "platform/vm/ini_text.h"
#include "platform/vm/text_lines.h"

namespace campaign {

namespace {

// A line the in-place rules look for, the column of the one character they
// may change and what it may become.
struct EditableLine {
    const char* text;
    std::size_t column;
    const char* newValues;
};

const EditableLine kEditableLines[] = {
    {"HKR,Config,DISMPU,1,0", 20, "1"},
    {"HKR,Config,DISJSTK,1,0", 21, "1"},
    {"HKR,Config,LINEINasREAR,1,1", 26, "0"},
    {"HKR,Config,LINEINasBASS,1,0", 26, "1"},
    {"HKR,Config,MICasBASS,1,0", 23, "1"},
    {"HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0", 48, "2"},
    {"HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0", 48, "01234567"},
};

const char* const kFlaggedNames[] = {"ksuser.dll", "stream.sys", "ks.sys", "ksproxy.ax", "mspclock.sys", "mskssrv.sys"};
constexpr const char* kKeepExisting = ",,,0x00000010\r\n";
// fgets with a buffer of 1024 characters.
constexpr std::size_t kLinePiece = 1023;
constexpr char kCtrlZ = '\x1A';

bool AllowedEdit(const std::string& before, std::size_t position, char now) {
    for (const EditableLine& line : kEditableLines) {
        if (position < line.column || std::strchr(line.newValues, now) == nullptr || now == '\0') continue;
        if (before.compare(position - line.column, std::strlen(line.text), line.text) == 0) return true;
    }
    return false;
}

bool EndsWithLineEnd(const std::string& text) { return !text.empty() && (text.back() == '\n' || text.back() == '\r'); }

std::size_t LineNumber(const std::string& text, std::size_t position) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), '\n'));
}

std::string Shown(char c) {
    char text[16];
    if (c >= 0x20 && c < 0x7F) {
        std::snprintf(text, sizeof text, "'%c'", c);
    } else {
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
    }
    return text;
}

std::string Excerpt(const std::string& text, std::size_t from) {
    std::string excerpt = text.substr(from, 40);
    for (char& c : excerpt) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return "\"" + excerpt + "\"";
}

// The text without the lines of its source-disk sections (headers included),
// sections found as the profile functions find them.
std::string WithoutSourceDisks(const std::string& text) {
    std::string kept;
    bool inSourceDisks = false;
    for (const vm::text::Line& line : vm::text::SplitLines(text)) {
        const std::string body = vm::text::TrimLeadingBlanks(text.substr(line.begin, line.end - line.begin));
        const std::size_t close = body.empty() || body[0] != '[' ? std::string::npos : body.find(']', 1);
        if (close != std::string::npos) {
            const std::string name = vm::Lower(vm::text::TrimBlanks(body.substr(1, close - 1)));
            inSourceDisks = name == "sourcedisksnames" || name == "sourcedisksfiles";
        }
        if (!inSourceDisks) kept += text.substr(line.begin, line.next - line.begin);
    }
    return kept;
}

std::optional<std::string> Compare(const std::string& package, const std::string& copy, InfEdits edits) {
    std::string before = package;
    std::string after = copy;
    if (edits == InfEdits::InPlaceAndSourceDisks) {
        before = WithoutSourceDisks(package);
        after = WithoutSourceDisks(copy);
        // A section appended to a file whose last line had no line end ends
        // that line first.
        if (!EndsWithLineEnd(package) && !before.empty() && !EndsWithLineEnd(before) &&
            after.size() == before.size() + 2 && after.compare(before.size(), 2, "\r\n") == 0) {
            after.resize(before.size());
        }
    }
    const char* where = edits == InfEdits::InPlaceAndSourceDisks ? " outside the source-disk sections" : "";
    if (before.size() != after.size()) {
        return std::to_string(after.size()) + " bytes" + where + " where the package has " +
               std::to_string(before.size());
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i] || (edits != InfEdits::None && AllowedEdit(before, i, after[i]))) continue;
        const std::size_t lineStart = before.rfind('\n', i == 0 ? 0 : i - 1);
        const std::size_t from = lineStart == std::string::npos || i == 0 ? 0 : lineStart + 1;
        return "line " + std::to_string(LineNumber(before, i)) + where + ": byte " + Shown(before[i]) + " became " +
               Shown(after[i]) + " in " + Excerpt(before, from);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> InfCopyDifference(const std::string& package, const std::string& copy, InfEdits edits) {
    const std::optional<std::string> difference = Compare(package, copy, edits);
    // The run-time drops a Ctrl-Z ending a file opened for update in text mode.
    if (difference && edits != InfEdits::None && !package.empty() && package.back() == kCtrlZ &&
        !Compare(package.substr(0, package.size() - 1), copy, edits)) {
        return std::nullopt;
    }
    return difference;
}

std::optional<std::string> CopyFlagRewriteDifference(const std::string& before, const std::string& after) {
    // Every offset of `after` that the pieces read so far can end at.
    std::set<std::size_t> reachable{0};
    for (std::size_t start = 0; start < before.size();) {
        const std::size_t newline = before.find('\n', start);
        const std::size_t length =
            std::min(kLinePiece, newline == std::string::npos ? before.size() - start : newline + 1 - start);
        const std::string piece = before.substr(start, length);
        const std::string lower = vm::Lower(piece);
        std::set<std::size_t> next;
        for (std::size_t at : reachable) {
            if (after.compare(at, piece.size(), piece) == 0) next.insert(at + piece.size());
            for (const char* name : kFlaggedNames) {
                const std::string flagged = std::string(name) + kKeepExisting;
                if (lower.compare(0, std::strlen(name), name) == 0 && after.compare(at, flagged.size(), flagged) == 0) {
                    next.insert(at + flagged.size());
                }
            }
        }
        if (next.empty()) {
            return "line " + std::to_string(LineNumber(before, start)) + " " + Excerpt(before, start) +
                   " is neither kept nor replaced by its flagged entry";
        }
        reachable = std::move(next);
        start += length;
    }
    if (reachable.count(after.size()) == 0) {
        return std::to_string(after.size() - *reachable.begin()) + " bytes after the last line";
    }
    return std::nullopt;
}

}  // namespace campaign
