#include "setupsim/setup_ini_check.h"

#include <cctype>
#include <map>

#include "environment/install_options.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/name_compare.h"
#include "platform/vm/profile.h"
#include "setupsim/ini_scan.h"

namespace setupsim {


namespace {

constexpr const char* kKnownSections[] = {"InstallOption", "Default"};

std::string At(const ScannedLine& line) { return "line " + std::to_string(line.number) + ": "; }

bool OneEditApart(const std::string& a, const std::string& b) {
    return EditDistance(vm::Lower(a), vm::Lower(b)) == 1;
}

const setup::SetupIniKey* FindKey(const std::string& section, const std::string& name) {
    for (const setup::SetupIniKey& known : setup::kSetupIniKeys) {
        if (vm::name::Equal(known.section, section) && vm::name::Equal(known.name, name)) return &known;
    }
    return nullptr;
}

const setup::SetupIniKey* KeyOneEditAway(const std::string& section, const std::string& name) {
    for (const setup::SetupIniKey& known : setup::kSetupIniKeys) {
        if (vm::name::Equal(known.section, section) && OneEditApart(known.name, name)) return &known;
    }
    return nullptr;
}

const setup::SetupIniKey* KeyOfOtherSection(const std::string& section, const std::string& name) {
    for (const setup::SetupIniKey& known : setup::kSetupIniKeys) {
        if (!vm::name::Equal(known.section, section) && vm::name::Equal(known.name, name)) return &known;
    }
    return nullptr;
}

// The value's leading number as GetPrivateProfileInt reads it: an optional
// '-' and the digits that follow.
std::size_t LeadingNumberLength(const std::string& text) {
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    return i == digitsStart ? 0 : i;
}

// True when the number's text stands for the value read (no wrap-around).
bool Denotes(const std::string& number, int read) {
    const std::string digits = number[0] == '-' ? number.substr(1) : number;
    const std::size_t first = digits.find_first_not_of('0');
    const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    if (significant.size() > 10) return false;
    const long long value = (number[0] == '-' ? -1 : 1) * std::stoll(significant);
    return value == read;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A log asked for by setup.ini is for a test CD: every user of the medium
// would get one.
void CheckLogPath(const std::string& content, const setup::SetupIniKey& known, const ScannedLine& line,
                  std::vector<Finding>& findings) {
    const std::string path = vm::profile::ReadString(content, known.section, known.name).value_or("");
    if (path.empty()) return;
    const bool absolute = path.size() > 2 && path[1] == ':' && path[2] == '\\';
    findings.push_back({Severity::Warning,
                        At(line) + known.name + " = " + Quoted(path) + ": every run writes a log of its effects " +
                            (absolute ? "there" : "there, relative to the folder it is started in (on a CD, that "
                                                  "folder is read-only and no log is written)") +
                            "; meant for a test CD, not for the package users get"});
}

void CheckValue(const std::string& content, const setup::SetupIniKey& known, const ScannedLine& line,
                std::vector<Finding>& findings) {
    if (known.path) {
        CheckLogPath(content, known, line, findings);
        return;
    }
    const std::string text = vm::profile::ReadString(content, known.section, known.name).value_or("");
    const int read = vm::profile::ReadInt(content, known.section, known.name, known.defaultValue, vm::profile::System::Win9x);
    // NT reads a leading '+' as a sign; 9x stops at it.
    const int readOnNt = vm::profile::ReadInt(content, known.section, known.name, known.defaultValue, vm::profile::System::Nt);
    const std::size_t number = LeadingNumberLength(text);
    const std::string what = At(line) + known.name + " = " + Quoted(text);
    if (number > 0 && number == text.size() && Denotes(text, read)) return;
    if (text.empty()) {
        findings.push_back({read == known.defaultValue ? Severity::Warning : Severity::Error,
                            what + " is empty: the program reads 0" +
                                (read == known.defaultValue ? std::string()
                                                            : ", not the default " + std::to_string(known.defaultValue))});
        return;
    }
    if (number == text.size()) {
        findings.push_back({Severity::Error, what + " is out of range: the program reads " + std::to_string(read)});
        return;
    }
    const bool noteAfterNumber = number > 0 && Denotes(text.substr(0, number), read) &&
                                 (text[number] == ' ' || text[number] == '\t' || text[number] == ';');
    findings.push_back({noteAfterNumber ? Severity::Warning : Severity::Error,
                        what + " is not a number: the program reads " + std::to_string(read) +
                            (readOnNt != read ? " on Windows 95, 98 and ME and " + std::to_string(readOnNt) + " on NT, 2000 and XP" : "") +
                            (noteAfterNumber ? " and ignores the text after it" : "")});
}

struct SectionUse {
    const char* known = nullptr;  // the known section it is, if any
    bool read = false;            // the program reads this section's keys
};

// Section headers: unknown, misspelt, in other case, or repeated.
std::map<int, SectionUse> CheckSections(const std::vector<ScannedLine>& lines, std::vector<Finding>& findings) {
    std::map<int, SectionUse> sections;
    std::map<std::string, int> firstLine;
    for (const ScannedLine& line : lines) {
        if (line.kind != ScannedLine::Kind::Section) continue;
        SectionUse use;
        for (const char* known : kKnownSections) {
            if (vm::name::Equal(known, line.name)) use.known = known;
        }
        const std::string header = "[" + line.name + "]";
        if (use.known) {
            const auto [first, isFirst] = firstLine.emplace(vm::Lower(line.name), line.number);
            use.read = isFirst;
            if (!isFirst) {
                findings.push_back({Severity::Warning, At(line) + header + " appears again: the program reads only the one on line " +
                                                           std::to_string(first->second) + ", so nothing below this header counts"});
            } else if (line.name != use.known) {
                findings.push_back({Severity::Warning, At(line) + header + " differs from [" + use.known +
                                                           "] only in case; the profile functions ignore case, so it is read"});
            }
        } else {
            const char* near = nullptr;
            for (const char* known : kKnownSections) {
                if (OneEditApart(known, line.name)) near = known;
            }
            if (near) {
                findings.push_back({Severity::Error, At(line) + header + " looks like a misspelt [" + near +
                                                         "]: the program never reads it, so none of its keys count"});
            } else {
                findings.push_back({Severity::Warning, At(line) + header + " is not a section the program reads"});
            }
        }
        sections[line.number] = use;
    }
    return sections;
}

}  // namespace

std::vector<Finding> CheckSetupIni(const std::optional<std::string>& content) {
    std::vector<Finding> findings;
    if (!content) {
        findings.push_back({Severity::Warning, "there is no setup.ini: every option takes its default"});
        return findings;
    }
    const std::vector<ScannedLine> lines = ScanIniLines(*content);
    const std::map<int, SectionUse> sections = CheckSections(lines, findings);
    std::map<std::string, int> firstKeyLine;  // "section/key" in lower case
    for (const ScannedLine& line : lines) {
        if (line.kind != ScannedLine::Kind::Key) continue;
        const std::string key = Quoted(line.name);
        if (line.sectionLine == 0) {
            const bool known = KeyOfOtherSection("", line.name) != nullptr;
            findings.push_back({known ? Severity::Error : Severity::Warning,
                                At(line) + key + " stands before any section header: the program does not read it"});
            continue;
        }
        const SectionUse& use = sections.at(line.sectionLine);
        if (!use.read) continue;  // the section's own finding says why
        const auto [first, isFirst] = firstKeyLine.emplace(vm::Lower(std::string(use.known) + "/" + line.name), line.number);
        if (!isFirst) {
            findings.push_back({Severity::Warning, At(line) + key + " is set again: the program reads the one on line " +
                                                       std::to_string(first->second)});
            continue;
        }
        if (const setup::SetupIniKey* known = FindKey(use.known, line.name)) {
            if (line.name != known->name) {
                findings.push_back({Severity::Warning, At(line) + key + " differs from \"" + known->name +
                                                           "\" only in case; the profile functions ignore case, so it counts"});
            }
            CheckValue(*content, *known, line, findings);
        } else if (const setup::SetupIniKey* other = KeyOfOtherSection(use.known, line.name)) {
            findings.push_back({Severity::Error, At(line) + key + " is read from [" + other->section + "], not from [" +
                                                     use.known + "]: here it does not count"});
        } else if (const setup::SetupIniKey* near = KeyOneEditAway(use.known, line.name)) {
            const bool alsoSet = vm::profile::ReadString(*content, near->section, near->name).has_value();
            findings.push_back({alsoSet ? Severity::Warning : Severity::Error,
                                At(line) + key + " looks like a misspelt \"" + near->name +
                                    "\": the program does not read it" +
                                    (alsoSet      ? std::string(" (\"") + near->name + "\" is set as well)"
                                     : near->path ? std::string(", so no log is written")
                                                  : std::string(", so \"") + near->name + "\" keeps its default " +
                                                        std::to_string(near->defaultValue))});
        } else {
            findings.push_back({Severity::Warning, At(line) + key + " is not a key the program reads"});
        }
    }
    return findings;
}

}  // namespace setupsim
