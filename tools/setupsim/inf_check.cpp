#include "setupsim/inf_check.h"

#include <algorithm>
#include <optional>

#include "inf/inf_constants.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/name_compare.h"
#include "platform/vm/profile.h"
#include "setupsim/ini_scan.h"

namespace setupsim {

namespace {

namespace inf = setup::inf;

// A line a rule edits in place, and what the edit is for.
struct EditedLine {
    const char* text;
    bool prefix;             // the file's line may go on after it
    std::size_t valueIndex;  // the character the rule writes
    const char* values;      // every value the character may hold
    const char* purpose;
};

std::size_t LastIndex(const char* text) { return std::char_traits<char>::length(text) - 1; }

const EditedLine kVxdLines[] = {
    {inf::kDisableMidiLine, false, LastIndex(inf::kDisableMidiLine), "01", "Disable MIDI port"},
    {inf::kDisableGamePortLine, false, LastIndex(inf::kDisableGamePortLine), "01", "Disable GAME port"},
    {inf::kLineInRearLine, false, LastIndex(inf::kLineInRearLine), "01", "Line-in/rear sharing"},
    {inf::kLineInBassLine, false, LastIndex(inf::kLineInBassLine), "01", "Line-in/Center-Subwoofer sharing"},
    {inf::kMicBassLine, false, LastIndex(inf::kMicBassLine), "01", "Microphone/Subwoofer sharing"},
};
const EditedLine kWdmLines[] = {
    {inf::kEnableLegacyLine, true, inf::kSettingsValueColumn, "0123456789abcdefABCDEF", "Disable legacy device"},
    {inf::kJackConfigLine, true, inf::kSettingsValueColumn, "0123456789abcdefABCDEF", "phone-jack"},
};

// A line as the rules read the file in text mode: CR LF and LF end a line,
// a CR alone does not.
struct InfTextLine {
    int number = 0;
    std::string body;
    bool terminated = false;
};

std::vector<InfTextLine> SplitAsTheRulesRead(const std::string& content) {
    std::vector<InfTextLine> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        InfTextLine line;
        line.number = static_cast<int>(lines.size()) + 1;
        line.terminated = end != std::string::npos;
        line.body = content.substr(start, line.terminated ? end - start : std::string::npos);
        if (line.terminated && !line.body.empty() && line.body.back() == '\r') line.body.pop_back();
        lines.push_back(line);
        start = line.terminated ? end + 1 : content.size();
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string WithoutBlanks(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), IsBlank), text.end());
    return text;
}

bool Matches(const std::string& line, const std::string& searched, bool prefix) {
    return prefix ? line.compare(0, searched.size(), searched) == 0 && line.size() >= searched.size()
                  : line == searched;
}

// How a line that is not the searched one still resembles it; nullopt when
// it does not.
std::optional<std::vector<std::string>> Differences(const std::string& body, const std::string& searched, bool prefix) {
    std::string text = body.substr(0, body.find(';'));
    const bool comment = text.size() != body.size();
    if (comment) {
        while (!text.empty() && IsBlank(text.back())) text.pop_back();
    }
    if (Matches(text, searched, prefix)) return std::vector<std::string>{"a comment"};
    if (!Matches(vm::Lower(WithoutBlanks(text)), vm::Lower(WithoutBlanks(searched)), prefix)) return std::nullopt;
    std::vector<std::string> reasons;
    if (comment) reasons.push_back("a comment");
    if (!Matches(vm::Lower(text), vm::Lower(searched), prefix)) reasons.push_back("blanks");
    if (!Matches(WithoutBlanks(text), WithoutBlanks(searched), prefix)) reasons.push_back("case");
    if (reasons.empty()) reasons.push_back("other characters");
    return reasons;
}

struct NearMiss {
    const InfTextLine* line = nullptr;
    std::vector<std::string> reasons;
};

std::optional<NearMiss> Resembles(const InfTextLine& line, const EditedLine& edited) {
    if (Matches(line.body, edited.text, edited.prefix)) {
        if (line.terminated) return NearMiss{&line, {}};
        return NearMiss{&line, {"a missing line end (the last line of a file is never matched)"}};
    }
    if (auto reasons = Differences(line.body, edited.text, edited.prefix)) return NearMiss{&line, *reasons};
    const char shipped = edited.text[edited.valueIndex];
    for (const char* value = edited.values; *value; ++value) {
        if (vm::name::FoldCase(*value) == vm::name::FoldCase(shipped)) continue;
        std::string other = edited.text;
        other[edited.valueIndex] = *value;
        std::vector<std::string> reasons{std::string("the value ") + *value + " where the rule expects " + shipped};
        if (Matches(line.body, other, edited.prefix)) return NearMiss{&line, reasons};
        if (auto more = Differences(line.body, other, edited.prefix)) {
            reasons.insert(reasons.end(), more->begin(), more->end());
            return NearMiss{&line, reasons};
        }
    }
    return std::nullopt;
}

std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text;
}

// The exact line, or the first that resembles it, or nothing.
std::optional<NearMiss> FindEditedLine(const std::vector<InfTextLine>& lines, const EditedLine& edited) {
    std::optional<NearMiss> nearest;
    for (const InfTextLine& line : lines) {
        std::optional<NearMiss> found = Resembles(line, edited);
        if (found && found->reasons.empty()) return found;
        if (found && !nearest) nearest = found;
    }
    return nearest;
}

void CheckEditedLines(const std::string& name, const std::vector<InfTextLine>& lines, InfKind kind,
                      std::vector<Finding>& findings) {
    const EditedLine* begin = kind == InfKind::Vxd ? std::begin(kVxdLines) : std::begin(kWdmLines);
    const EditedLine* end = kind == InfKind::Vxd ? std::end(kVxdLines) : std::end(kWdmLines);
    for (const EditedLine* edited = begin; edited != end; ++edited) {
        const std::string what = std::string("the ") + edited->purpose + " choice would silently change nothing";
        const std::optional<NearMiss> found = FindEditedLine(lines, *edited);
        if (!found) {
            findings.push_back({Severity::Error, name + " has no line " + edited->text + ": " + what});
        } else if (!found->reasons.empty()) {
            findings.push_back({Severity::Error, name + " line " + std::to_string(found->line->number) +
                                                     " differs by " + Listed(found->reasons) +
                                                     " from the line the rule looks for: " + what + " (found: " +
                                                     found->line->body + "; looked for: " + edited->text + ")"});
        }
    }
}

void CheckSourceDisk(const std::string& name, const std::string& content, InfKind kind,
                     std::vector<Finding>& findings) {
    const char* key = kind == InfKind::Vxd ? inf::kVxdDiskKey : inf::kWdmDiskKey;
    const std::string entry = std::string("[") + inf::kSourceDisksNames + "] " + key;
    if (!vm::profile::ReadString(content, inf::kSourceDisksNames, key).value_or("").empty()) return;
    const std::string effect = ": the staged files' folder is never written into it, and Windows looks for the "
                               "driver files on the original disk";
    for (const ScannedLine& line : ScanIniLines(content)) {
        if (line.kind == ScannedLine::Kind::Section &&
            EditDistance(vm::Lower(line.name), vm::Lower(inf::kSourceDisksNames)) == 1 &&
            vm::profile::ReadString(content, line.name, key).has_value()) {
            findings.push_back({Severity::Error, name + " line " + std::to_string(line.number) + " [" + line.name +
                                                     "] looks like a misspelt [" + inf::kSourceDisksNames +
                                                     "], so there is no " + entry + effect});
            return;
        }
    }
    findings.push_back({Severity::Error, name + " has no " + entry + " (or it is empty)" + effect});
}

// The source-disk value the rules append the staging folder to, where the
// folder would not land in the path field.
void CheckSourceDiskValue(const std::string& name, const std::string& content, InfKind kind, std::vector<Finding>& findings) {
    const char* key = kind == InfKind::Vxd ? inf::kVxdDiskKey : inf::kWdmDiskKey;
    int section = 0;
    for (const ScannedLine& line : ScanIniLines(content)) {
        if (line.kind == ScannedLine::Kind::Section && vm::name::Equal(line.name, inf::kSourceDisksNames) && section == 0) section = line.number;
        if (line.kind != ScannedLine::Kind::Key || line.sectionLine != section || section == 0 || !vm::name::Equal(line.name, key)) continue;
        const std::string at = name + " line " + std::to_string(line.number) + " [" + inf::kSourceDisksNames + "] " + key + " = " + line.value;
        // Outside quotes a ';' starts a comment for Windows' INF reader, not
        // for the profile functions that read and write the value.
        bool quoted = false;
        std::size_t comment = std::string::npos;
        for (std::size_t i = 0; i < line.value.size() && comment == std::string::npos; ++i) {
            if (line.value[i] == '"') quoted = !quoted;
            if (line.value[i] == ';' && !quoted) comment = i;
        }
        if (comment != std::string::npos) {
            findings.push_back({Severity::Error, at + ": the value ends in a comment, so the folder the rules append to it lands "
                                                      "inside the comment and Windows never sees it"});
        } else if (kind == InfKind::Wdm && (line.value.size() < 3 || line.value.compare(line.value.size() - 3, 3, ",,,") != 0)) {
            findings.push_back({Severity::Error, at + ": the value does not end in \",,,\", so the folder the rules append is "
                                                      "glued onto another field instead of filling the path field"});
        }
        return;
    }
}

// Windows' INF reader stops at a Ctrl-Z, while the profile functions that
// add entries write past it.
void CheckCtrlZ(const std::string& name, const std::string& content, std::vector<Finding>& findings) {
    const std::size_t at = content.find('\x1A');
    if (at == std::string::npos) return;
    const std::string where = name + " line " + std::to_string(std::count(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1);
    if (content.find_first_not_of("\x1A\r\n \t", at) == std::string::npos) {
        findings.push_back({Severity::Warning, where + " ends the file with a Ctrl-Z: an entry the rules add to the file lands "
                                                      "after it, where Windows' INF reader does not look"});
    } else {
        findings.push_back({Severity::Error, where + " holds a Ctrl-Z: Windows' INF reader stops there and never reads the "
                                                    "lines after it"});
    }
}

void CheckLineEnds(const std::string& name, const std::string& content, std::vector<Finding>& findings) {
    std::size_t lf = 0, cr = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r')) ++lf;
        if (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n')) ++cr;
    }
    if (cr > 0) {
        findings.push_back({Severity::Error, name + " has " + std::to_string(cr) +
                                                 " line ends that are a CR alone: the rules read such lines as one "
                                                 "and find nothing in them"});
    }
    if (lf > 0) {
        findings.push_back({Severity::Warning, name + " has " + std::to_string(lf) +
                                                   " line ends that are an LF alone, not CR LF: the rules still find "
                                                   "and edit those lines as in a CR LF file, but the file mixes line "
                                                   "ends once they write to it"});
    }
}

int Resemblance(const std::vector<InfTextLine>& lines, const std::string& content, InfKind kind) {
    int score = 0;
    const EditedLine* begin = kind == InfKind::Vxd ? std::begin(kVxdLines) : std::begin(kWdmLines);
    const EditedLine* end = kind == InfKind::Vxd ? std::end(kVxdLines) : std::end(kWdmLines);
    for (const EditedLine* edited = begin; edited != end; ++edited) score += FindEditedLine(lines, *edited) ? 1 : 0;
    const char* key = kind == InfKind::Vxd ? inf::kVxdDiskKey : inf::kWdmDiskKey;
    return score + (vm::profile::ReadString(content, inf::kSourceDisksNames, key) ? 1 : 0);
}

}  // namespace

const char* ToString(InfKind kind) { return kind == InfKind::Vxd ? "VxD" : "WDM"; }

std::vector<Finding> CheckInfFile(const std::string& name, const std::string& content, InfKind kind) {
    std::vector<Finding> findings;
    if (content.compare(0, 2, "\xFF\xFE") == 0 || content.compare(0, 2, "\xFE\xFF") == 0) {
        findings.push_back({Severity::Error, name + " is a Unicode (UTF-16) INF: the rules read ANSI text, so they find none "
                                                   "of their lines in it and edit nothing"});
        return findings;
    }
    const std::vector<InfTextLine> lines = SplitAsTheRulesRead(content);
    CheckEditedLines(name, lines, kind, findings);
    CheckSourceDisk(name, content, kind, findings);
    CheckSourceDiskValue(name, content, kind, findings);
    CheckCtrlZ(name, content, findings);
    CheckLineEnds(name, content, findings);
    if (findings.empty()) {
        findings.push_back({Severity::Ok, name + " (" + ToString(kind) + "): every line the rules edit and [" +
                                              inf::kSourceDisksNames + "] " +
                                              (kind == InfKind::Vxd ? inf::kVxdDiskKey : inf::kWdmDiskKey) +
                                              " are as the rules look for them; CR LF line ends, no Ctrl-Z"});
    }
    return findings;
}

int InfResemblance(const std::string& content, InfKind kind) {
    return Resemblance(SplitAsTheRulesRead(content), content, kind);
}

InfKind LikelyInfKind(const std::string& content) {
    // Weighed by how many lines each kind has, so five VxD lines do not
    // outweigh two WDM ones.
    const int vxd = InfResemblance(content, InfKind::Vxd) * 3;
    const int wdm = InfResemblance(content, InfKind::Wdm) * 6;
    return wdm > vxd ? InfKind::Wdm : InfKind::Vxd;
}

}  // namespace setupsim
