// The few entries a run keeps by handle (open keys, windows, processes,
// device sets), in a vector searched in order: a tree map's code would cost
// setup.exe several kilobytes for maps that never hold more than a dozen.
// The part of std::map's interface the program uses.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace platform {

template <class Key, class Value>
class SmallMap {
public:
    using Entries = std::vector<std::pair<Key, Value>>;
    using iterator = typename Entries::iterator;
    using const_iterator = typename Entries::const_iterator;

    iterator find(const Key& key) {
        return std::find_if(entries_.begin(), entries_.end(), [&key](const auto& entry) { return entry.first == key; });
    }
    const_iterator find(const Key& key) const {
        return std::find_if(entries_.begin(), entries_.end(), [&key](const auto& entry) { return entry.first == key; });
    }
    iterator end() { return entries_.end(); }
    const_iterator end() const { return entries_.end(); }
    std::size_t count(const Key& key) const { return find(key) != end() ? 1 : 0; }

    Value& operator[](const Key& key) {
        const iterator found = find(key);
        if (found != end()) return found->second;
        entries_.emplace_back(key, Value{});
        return entries_.back().second;
    }
    void erase(const Key& key) {
        const iterator found = find(key);
        if (found != end()) entries_.erase(found);
    }

private:
    Entries entries_;
};

}  // namespace platform
