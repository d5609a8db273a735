#include "support/cleanup_machine.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

std::string Folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

std::pair<platform::HKey, std::string> SplitFullName(const std::string& fullName) {
    const std::size_t slash = fullName.find('\\');
    const std::optional<platform::HKey> root = vm::Registry::ParseRootName(fullName.substr(0, slash));
    if (!root) throw std::invalid_argument("no registry root in " + fullName);
    return {*root, slash == std::string::npos ? "" : fullName.substr(slash + 1)};
}

}  // namespace

void CleanupMachine::ImportRegistry(const std::string& blocks) { Reg().ImportRegFile("REGEDIT4\n\n" + blocks); }

bool CleanupMachine::HasKey(const std::string& fullName) {
    const auto [root, path] = SplitFullName(fullName);
    return Reg().Find(root, path) != nullptr;
}

std::vector<std::string> CleanupMachine::SubKeys(const std::string& fullName) {
    const auto [root, path] = SplitFullName(fullName);
    std::vector<std::string> names;
    if (const vm::Registry::Key* key = Reg().Find(root, path)) {
        for (const auto& child : key->subKeys) names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> CleanupMachine::DeletedKeys() {
    std::vector<std::string> keys;
    for (const vm::JournalEntry& entry : GetJournal().OfKind("delete registry key")) keys.push_back(entry.Get("key"));
    return keys;
}

void CleanupMachine::RefuseOpen(const std::string& path, int times) { refusedOpens_[Folded(path)] = times; }

void CleanupMachine::RefuseDelete(const std::string& path, int times) { refusedDeletes_[Folded(path)] = times; }

bool CleanupMachine::Refused(std::map<std::string, int>& refusals, const std::string& path) {
    auto found = refusals.find(Folded(path));
    if (found == refusals.end() || found->second == 0) return false;
    if (found->second > 0) --found->second;
    return true;
}

long CleanupMachine::RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                                  platform::HKey& result) {
    if (Refused(refusedOpens_, subKey)) return platform::ERROR_ACCESS_DENIED;
    return TestMachine::RegOpenKeyEx(root, subKey, access, result);
}

long CleanupMachine::RegDeleteKey(platform::HKey root, const std::string& subKey) {
    if (Refused(refusedDeletes_, subKey)) return platform::ERROR_ACCESS_DENIED;
    return TestMachine::RegDeleteKey(root, subKey);
}

}  // namespace testsupport
