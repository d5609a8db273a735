#include "platform/vm/journal.h"

namespace vm {

std::string JournalEntry::Get(const std::string& name) const {
    for (const auto& [key, value] : fields) {
        if (key == name) return value;
    }
    return {};
}

void Journal::Add(std::uint64_t time, std::string kind, std::vector<std::pair<std::string, std::string>> fields) {
    entries_.push_back({time, std::move(kind), std::move(fields)});
}

std::vector<JournalEntry> Journal::OfKind(const std::string& kind) const {
    std::vector<JournalEntry> result;
    for (const JournalEntry& entry : entries_) {
        if (entry.kind == kind) result.push_back(entry);
    }
    return result;
}

std::size_t Journal::Count(const std::string& kind) const { return OfKind(kind).size(); }

}  // namespace vm
