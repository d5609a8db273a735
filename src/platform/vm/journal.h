// Everything a run did to the virtual machine, in order, with names.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vm {

struct JournalEntry {
    std::uint64_t time = 0;  // virtual milliseconds since the program started
    std::string kind;        // "message box", "copy file", "sleep", ...
    std::vector<std::pair<std::string, std::string>> fields;

    // The value of a field, "" when absent.
    std::string Get(const std::string& name) const;
};

class Journal {
public:
    void Add(std::uint64_t time, std::string kind, std::vector<std::pair<std::string, std::string>> fields = {});
    const std::vector<JournalEntry>& Entries() const { return entries_; }
    // The entries of one kind, in order.
    std::vector<JournalEntry> OfKind(const std::string& kind) const;
    std::size_t Count(const std::string& kind) const;

private:
    std::vector<JournalEntry> entries_;
};

}  // namespace vm
