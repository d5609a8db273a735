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

namespace {

std::string Hex(const std::string& data) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : data) {
        text += std::string(text.empty() ? "" : ",") + digits[byte >> 4] + digits[byte & 15];
    }
    return text;
}

std::string Readable(const Registry::Value& value) {
    if (value.type == platform::REG_SZ || value.type == platform::REG_EXPAND_SZ) {
        return "\"" + value.data.substr(0, value.data.find('\0')) + "\"";
    }
    if (value.type == platform::REG_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.data[i]);
        return "dword:" + std::to_string(number);
    }
    return "hex(" + std::to_string(value.type) + "):" + Hex(value.data);
}

void FlattenKey(const Registry::Key& key, const std::string& path, std::map<std::string, std::string>& out) {
    out[path] = "";
    for (const Registry::Value& value : key.values) {
        out[path + " \"" + (value.name.empty() ? "@" : value.name) + "\""] = Readable(value);
    }
    for (const auto& child : key.subKeys) FlattenKey(*child, path + "\\" + child->name, out);
}

}  // namespace

MachineSnapshot TakeSnapshot(VirtualMachine& machine) {
    MachineSnapshot snapshot{machine.Files().Snapshot(), {}};
    for (platform::HKey root : {platform::HKEY_CLASSES_ROOT, platform::HKEY_CURRENT_USER,
                                platform::HKEY_LOCAL_MACHINE, platform::HKEY_USERS}) {
        if (const Registry::Key* key = machine.Reg().Find(root, "")) {
            for (const auto& child : key->subKeys) {
                FlattenKey(*child, Registry::RootName(root) + "\\" + child->name, snapshot.registry);
            }
        }
    }
    return snapshot;
}

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
    for (const auto& [name, value] : after.registry) {
        auto found = before.registry.find(name);
        const std::string shown = value.empty() ? name : name + " = " + value;
        if (found == before.registry.end()) {
            changes.push_back({'+', shown, {}});
        } else if (found->second != value) {
            changes.push_back({'~', shown, {"was " + found->second}});
        }
    }
    for (const auto& [name, value] : before.registry) {
        if (!after.registry.count(name)) changes.push_back({'-', value.empty() ? name : name + " = " + value, {}});
    }
    return changes;
}

}  // namespace vm
