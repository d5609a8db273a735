#include "platform/journal/journal.h"

namespace platform {

std::string JournalEntry::Get(const std::string& name) const {
    for (const auto& [key, value] : fields) {
        if (key == name) return value;
    }
    return {};
}

void Journal::Add(std::uint64_t time, std::string kind, JournalFields fields) {
    JournalEntry entry{time, std::move(kind), std::move(fields)};
    if (listener_) listener_(entry);
    if (keepEntries_) entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> Journal::OfKind(const std::string& kind) const {
    std::vector<JournalEntry> result;
    for (const JournalEntry& entry : entries_) {
        if (entry.kind == kind) result.push_back(entry);
    }
    return result;
}

std::size_t Journal::Count(const std::string& kind) const { return OfKind(kind).size(); }

}  // namespace platform
