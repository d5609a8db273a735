// Everything a run did to its machine, in order, with names: what setupsim
// reports and what setup.exe writes to its log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

using JournalFields = std::vector<std::pair<std::string, std::string>>;

struct JournalEntry {
    std::uint64_t time = 0;  // milliseconds since the program started
    std::string kind;        // "message box", "copy file", "sleep", ...
    JournalFields fields;

    // The value of a field, "" when absent.
    std::string Get(const std::string& name) const;
};

class Journal {
public:
    // keepEntries false: entries only reach the listener (a log on disk),
    // so that a long run does not grow in memory.
    explicit Journal(bool keepEntries = true) : keepEntries_(keepEntries) {}

    void Add(std::uint64_t time, std::string kind, JournalFields fields = {});
    // Called with each entry as it is added.
    void SetListener(std::function<void(const JournalEntry&)> listener) { listener_ = std::move(listener); }

    const std::vector<JournalEntry>& Entries() const { return entries_; }
    // The entries of one kind, in order.
    std::vector<JournalEntry> OfKind(const std::string& kind) const;
    std::size_t Count(const std::string& kind) const;

private:
    bool keepEntries_;
    std::vector<JournalEntry> entries_;
    std::function<void(const JournalEntry&)> listener_;
};

}  // namespace platform
