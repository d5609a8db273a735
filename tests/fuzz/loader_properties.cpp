#include "fuzz/loader_properties.h"

#include <algorithm>
#include <exception>
#include <map>
#include <vector>

#include "platform/vm/ini_text.h"
#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"
#include "platform/vm/registry.h"
#include "platform/vm/text_lines.h"

namespace fuzzing {

namespace {

// Events further off than this are not waited for: the clock would only
// tick through empty time.
constexpr std::uint64_t kLongestWaitMs = 10'000'000;

int LineCount(const std::string& text) { return static_cast<int>(vm::text::SplitLines(text).size()); }

std::string LineProblem(const char* what, int line, const std::string& text) {
    const int lines = std::max(1, LineCount(text));
    if (line >= 0 && line <= lines) return "";
    return std::string(what) + " names line " + std::to_string(line) + " of " + std::to_string(lines);
}

// Lets every timed event of the machine happen, those after a re-enumeration
// too.
void RunEvents(vm::VirtualMachine& machine) {
    std::uint64_t last = 0;
    for (const vm::TimedEvent& event : machine.Events()) last = std::max(last, event.delay);
    std::uint32_t root = 0;
    if (machine.CM_Locate_DevNode(root, std::nullopt, 0) == platform::CR_SUCCESS) machine.CM_Reenumerate_DevNode(root, 0);
    if (last <= kLongestWaitMs) machine.Sleep(static_cast<std::uint32_t>(last + 1));
}

std::string Trimmed(const std::string& text) { return vm::text::TrimBlanks(text); }

std::string WithoutAny(std::string text, const char* characters) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [&](char c) { return std::string(characters).find(c) != std::string::npos; }),
               text.end());
    return text;
}

// What reading gives back for a written value.
std::string AsRead(const std::string& value) {
    const std::string text = Trimmed(value);
    if (text.size() > 1 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// The part of before that after no longer has, when the two share a prefix
// and a suffix.
std::string RemovedMiddle(const std::string& before, const std::string& after) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    return before.substr(prefix, before.size() - prefix - suffix);
}

// Every section's keys with the value each first has, names in lower case.
using Entries = std::map<std::pair<std::string, std::string>, std::string>;

Entries EntriesOf(const std::string& content) {
    Entries entries;
    for (const vm::profile::Entry& entry : vm::profile::ReadAll(content)) {
        entries.emplace(std::make_pair(vm::Lower(entry.section), vm::Lower(entry.key)), entry.value);
    }
    return entries;
}

std::string ProfileProblem(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& content) {
    const std::string after = vm::profile::WriteString(content, section, key, value);
    const std::optional<std::string> read = vm::profile::ReadString(after, section, key);
    if (read != AsRead(value)) {
        return "wrote [" + section + "] " + key + "=" + value + " and read back " + (read ? "\"" + *read + "\"" : "nothing");
    }
    if (RemovedMiddle(content, after).find_first_of("\r\n") != std::string::npos) return "the write changed more than one line";
    Entries others = EntriesOf(content);
    Entries othersAfter = EntriesOf(after);
    others.erase({vm::Lower(Trimmed(section)), vm::Lower(Trimmed(key))});
    othersAfter.erase({vm::Lower(Trimmed(section)), vm::Lower(Trimmed(key))});
    if (others != othersAfter) return "the write changed another entry";
    vm::profile::ReadInt(after, section, key, 7);
    return "";
}

}  // namespace

std::string CheckMachineIni(const std::string& text) {
    vm::VirtualMachine machine;
    try {
        vm::ApplyMachineIni(text, "machine.ini", machine);
    } catch (const vm::MachineFolderError& error) {
        return LineProblem("a machine.ini fault", error.line, text);
    } catch (const std::exception& error) {
        return std::string("loading machine.ini threw ") + error.what();
    }
    try {
        RunEvents(machine);
    } catch (const vm::VirtualTimeLimit&) {
        // The machine's own time limit came first.
    } catch (const std::exception& error) {
        return std::string("an event threw ") + error.what();
    }
    return "";
}

std::string CheckRegFile(const std::string& text) {
    vm::Registry parsed;
    try {
        parsed = vm::Registry::ParseRegFile(text);
    } catch (const vm::Registry::ParseError& error) {
        const std::string problem = LineProblem("a .reg fault", error.line, text);
        if (!problem.empty() || error.line == 0) return problem.empty() ? "a .reg fault names line 0" : problem;
        vm::Registry imported;
        imported.Create(platform::HKEY_LOCAL_MACHINE, "Software\\Kept");
        const vm::Registry before = imported;
        try {
            imported.ImportRegFile(text);
            return "the import took text that reading refused";
        } catch (const vm::Registry::ParseError&) {
            return imported == before ? "" : "a refused import changed the registry";
        }
    }
    std::string saved;
    try {
        saved = parsed.ExportRegFile();
    } catch (const std::exception& error) {
        return std::string("a registry read from text cannot be saved: ") + error.what();
    }
    try {
        if (vm::Registry::ParseRegFile(saved) != parsed) return "the saved registry reads back differently";
    } catch (const vm::Registry::ParseError& error) {
        return "the saved registry does not read back: line " + std::to_string(error.line) + ": " + error.what();
    }
    return "";
}

std::string CheckProfile(const std::string& input) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t nul = input.find('\0', start);
        if (nul == std::string::npos) break;
        parts.push_back(input.substr(start, nul - start));
        start = nul + 1;
    }
    parts.resize(3);
    const std::string content = input.substr(start);
    // Names as a program can write them: no line breaks; no ']' in a
    // section; a key that is neither a comment, a header nor holds '='.
    const std::string section = WithoutAny(parts[0], "\r\n]");
    std::string key = WithoutAny(parts[1], "\r\n=[");
    key = Trimmed(key);
    while (!key.empty() && key[0] == ';') key = Trimmed(key.substr(1));
    const std::string value = WithoutAny(parts[2], "\r\n");
    return ProfileProblem(section, key, value, content);
}

}  // namespace fuzzing
