#include "platform/vm/snapshot.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/vm/ini_text.h"
#include "platform/vm/profile.h"

namespace vm {

namespace {

constexpr std::size_t kMaxLinesShown = 12;

bool IsProfileFile(const std::string& path) {
    const std::string lower = Lower(path);
    return lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".ini") == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::map<std::string, std::string> Entries(const std::string& content) {
    std::map<std::string, std::string> entries;
    for (const profile::Entry& entry : profile::ReadAll(content)) {
        entries.emplace("[" + entry.section + "] " + entry.key, entry.value);
    }
    return entries;
}

std::vector<std::string> ProfileDetails(const std::string& before, const std::string& after) {
    const auto old = Entries(before);
    const auto now = Entries(after);
    std::vector<std::string> details;
    for (const auto& [key, value] : now) {
        auto found = old.find(key);
        if (found == old.end()) {
            details.push_back("+ " + key + " = " + value);
        } else if (found->second != value) {
            details.push_back("~ " + key + " = " + value + "   (was " + found->second + ")");
        }
    }
    for (const auto& [key, value] : old) {
        if (!now.count(key)) details.push_back("- " + key + " = " + value);
    }
    return details;
}

std::vector<std::string> LineDetails(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = Lines(before);
    const std::vector<std::string> now = Lines(after);
    std::vector<std::string> details;
    if (old.size() == now.size()) {
        for (std::size_t i = 0; i < now.size() && details.size() < kMaxLinesShown; ++i) {
            if (old[i] != now[i]) details.push_back("line " + std::to_string(i + 1) + ": " + now[i]);
        }
    }
    if (details.empty()) {
        details.push_back(std::to_string(before.size()) + " bytes -> " + std::to_string(after.size()) + " bytes");
    }
    return details;
}

}  // namespace

MachineSnapshot TakeSnapshot(VirtualMachine& machine) { return {machine.Files().Snapshot(), machine.Reg().Flatten()}; }

std::vector<Change> Diff(const MachineSnapshot& before, const MachineSnapshot& after) {
    std::vector<Change> changes;
    std::map<std::string, const FileSystem::Entry*> old;
    for (const FileSystem::Entry& entry : before.files) old[Lower(entry.path)] = &entry;
    std::set<std::string> seen;
    for (const FileSystem::Entry& entry : after.files) {
        const std::string key = Lower(entry.path);
        seen.insert(key);
        auto found = old.find(key);
        const std::string label = entry.path + (entry.directory ? "\\" : "");
        if (found == old.end()) {
            Change change{'+', label, {}};
            if (!entry.directory && IsProfileFile(entry.path)) change.details = ProfileDetails("", entry.content);
            changes.push_back(change);
        } else if (!entry.directory && found->second->content != entry.content) {
            changes.push_back({'~', label,
                               IsProfileFile(entry.path) ? ProfileDetails(found->second->content, entry.content)
                                                         : LineDetails(found->second->content, entry.content)});
        } else if (found->second->attributes != entry.attributes) {
            changes.push_back({'~', label, {"attributes " + std::to_string(entry.attributes)}});
        }
    }
    for (const FileSystem::Entry& entry : before.files) {
        if (!seen.count(Lower(entry.path))) changes.push_back({'-', entry.path + (entry.directory ? "\\" : ""), {}});
    }
    const std::set<std::string> oldKeys(before.registry.begin(), before.registry.end());
    const std::set<std::string> newKeys(after.registry.begin(), after.registry.end());
    for (const std::string& line : after.registry) {
        if (!oldKeys.count(line)) changes.push_back({'+', line, {}});
    }
    for (const std::string& line : before.registry) {
        if (!newKeys.count(line)) changes.push_back({'-', line, {}});
    }
    return changes;
}

}  // namespace vm
