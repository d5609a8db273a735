#include "platform/vm/registry.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "platform/vm/name_compare.h"

namespace vm {
namespace {

constexpr std::size_t kRootCount = 4;

struct RootNames {
    platform::HKey root;
    const char* longName;
    const char* shortName;
};

constexpr RootNames kRoots[kRootCount] = {
    {platform::HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {platform::HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {platform::HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {platform::HKEY_USERS, "HKEY_USERS", "HKU"},
};

// The components of a backslash-separated path; empty ones (doubled, leading
// or trailing backslashes) are skipped.
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string::npos) end = path.size();
        if (end > begin) parts.push_back(path.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

using SubKeys = std::vector<std::unique_ptr<Registry::Key>>;

std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = name::FoldCase(c);
    return folded;
}

// Keys with many sub-keys (a PCI tree of thousands of entries) are searched
// through an index from the case-folded name to the sub-key, so that big
// registries load and are walked in linear time. Other code reads the tree
// directly, so the index lives beside it: each entry remembers the sub-key
// list it describes (where it is stored and how long it is) and is rebuilt
// when that changed behind its back. A key made here drops whatever was
// known of an earlier key at the same address.
class ChildIndex {
public:
    // Below this many sub-keys a plain search is as fast.
    static constexpr std::size_t kIndexedFrom = 32;

    SubKeys::iterator Find(Registry::Key& key, const std::string& name) {
        if (key.subKeys.size() < kIndexedFrom) return LinearFind(key, name);
        const std::lock_guard<std::mutex> lock(mutex_);
        for (int attempt = 0; attempt < 2; ++attempt) {
            Entry& entry = Current(key, attempt > 0);
            const auto found = entry.slots.find(Folded(name));
            if (found == entry.slots.end()) return key.subKeys.end();
            const std::size_t position = Locate(key, found->second);
            if (position < key.subKeys.size() && name::Equal(key.subKeys[position]->name, name)) {
                return key.subKeys.begin() + static_cast<std::ptrdiff_t>(position);
            }
        }
        // A sub-key renamed behind the index's back.
        return LinearFind(key, name);
    }

    // key has just had a sub-key appended; storageBefore is where its list
    // was stored before.
    void Appended(Registry::Key& key, const void* storageBefore) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(&key);
        if (found == entries_.end()) return;
        Entry& entry = found->second;
        if (entry.storage != storageBefore || entry.size + 1 != key.subKeys.size()) return;
        const Registry::Key* child = key.subKeys.back().get();
        entry.slots.emplace(Folded(child->name), Slot{child, entry.size});
        entry.storage = key.subKeys.data();
        entry.size = key.subKeys.size();
        ++indexedNames_;
    }

    // The sub-key at position is about to be erased from key.
    void Erasing(Registry::Key& key, std::size_t position) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(&key);
        if (found == entries_.end()) return;
        Entry& entry = found->second;
        if (entry.storage != key.subKeys.data() || entry.size != key.subKeys.size()) return;
        const Registry::Key* child = key.subKeys[position].get();
        const auto slot = entry.slots.find(Folded(child->name));
        if (slot != entry.slots.end() && slot->second.key == child) {
            entry.slots.erase(slot);
            --indexedNames_;
        }
        // Erasing keeps the storage; later sub-keys move down, which Locate
        // allows for.
        --entry.size;
    }

    void Forget(const Registry::Key* key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(key);
        if (found == entries_.end()) return;
        indexedNames_ -= found->second.slots.size();
        entries_.erase(found);
    }

private:
    // A sub-key and where it was last seen; erasures only ever move it
    // towards the front.
    struct Slot {
        const Registry::Key* key = nullptr;
        std::size_t position = 0;
    };
    struct Entry {
        const void* storage = nullptr;
        std::size_t size = 0;
        std::unordered_map<std::string, Slot> slots;
    };
    // Entries of keys long gone stay until their address is reused; this
    // bounds what they hold.
    static constexpr std::size_t kMostIndexedNames = 4'000'000;

    static SubKeys::iterator LinearFind(Registry::Key& key, const std::string& name) {
        return std::find_if(key.subKeys.begin(), key.subKeys.end(),
                            [&](const std::unique_ptr<Registry::Key>& child) { return name::Equal(child->name, name); });
    }

    // The sub-key's position now, or the list's size when it is not found.
    static std::size_t Locate(const Registry::Key& key, Slot& slot) {
        if (key.subKeys.empty()) return 0;
        for (std::size_t i = std::min(slot.position, key.subKeys.size() - 1) + 1; i-- > 0;) {
            if (key.subKeys[i].get() == slot.key) return slot.position = i;
        }
        return key.subKeys.size();
    }

    Entry& Current(Registry::Key& key, bool rebuild) {
        Entry& entry = entries_[&key];
        if (!rebuild && entry.storage == key.subKeys.data() && entry.size == key.subKeys.size()) return entry;
        indexedNames_ -= entry.slots.size();
        if (indexedNames_ + key.subKeys.size() <= kMostIndexedNames) return Build(entry, key);
        entries_.clear();
        indexedNames_ = 0;
        return Build(entries_[&key], key);
    }

    Entry& Build(Entry& entry, const Registry::Key& key) {
        entry.slots.clear();
        entry.slots.reserve(key.subKeys.size());
        // The first of equal names wins, as in a plain search.
        for (std::size_t i = 0; i < key.subKeys.size(); ++i) {
            entry.slots.emplace(Folded(key.subKeys[i]->name), Slot{key.subKeys[i].get(), i});
        }
        entry.storage = key.subKeys.data();
        entry.size = key.subKeys.size();
        indexedNames_ += entry.slots.size();
        return entry;
    }

    std::mutex mutex_;
    std::unordered_map<const Registry::Key*, Entry> entries_;
    std::size_t indexedNames_ = 0;
};

ChildIndex& Children() {
    static ChildIndex index;
    return index;
}

std::unique_ptr<Registry::Key> NewKey() {
    auto key = std::make_unique<Registry::Key>();
    Children().Forget(key.get());
    return key;
}

SubKeys::iterator FindChild(Registry::Key& key, const std::string& name) { return Children().Find(key, name); }

std::unique_ptr<Registry::Key> CloneKey(const Registry::Key& key) {
    auto copy = NewKey();
    copy->name = key.name;
    copy->values = key.values;
    for (const auto& child : key.subKeys) copy->subKeys.push_back(CloneKey(*child));
    return copy;
}

bool SameKey(const Registry::Key& a, const Registry::Key& b) {
    if (a.name != b.name || a.values.size() != b.values.size() || a.subKeys.size() != b.subKeys.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const Registry::Value& x = a.values[i];
        const Registry::Value& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
    for (std::size_t i = 0; i < a.subKeys.size(); ++i) {
        if (!SameKey(*a.subKeys[i], *b.subKeys[i])) return false;
    }
    return true;
}

}  // namespace

Registry::Registry() {
    for (std::size_t i = 0; i < kRootCount; ++i) {
        roots_[i] = NewKey();
        roots_[i]->name = kRoots[i].longName;
    }
}

Registry::Registry(const Registry& other) {
    for (std::size_t i = 0; i < kRootCount; ++i) roots_[i] = CloneKey(*other.roots_[i]);
}

Registry& Registry::operator=(const Registry& other) {
    if (this != &other) {
        Registry copy(other);
        for (std::size_t i = 0; i < kRootCount; ++i) roots_[i] = std::move(copy.roots_[i]);
    }
    return *this;
}

bool operator==(const Registry& a, const Registry& b) {
    for (std::size_t i = 0; i < kRootCount; ++i) {
        if (!SameKey(*a.roots_[i], *b.roots_[i])) return false;
    }
    return true;
}

bool operator!=(const Registry& a, const Registry& b) { return !(a == b); }

Registry::Key* Registry::RootKey(platform::HKey root) const {
    for (std::size_t i = 0; i < kRootCount; ++i) {
        if (kRoots[i].root == root) return roots_[i].get();
    }
    return nullptr;
}

Registry::Key* Registry::Find(platform::HKey root, const std::string& path) {
    Key* key = RootKey(root);
    for (const std::string& part : SplitPath(path)) {
        if (!key) break;
        auto child = FindChild(*key, part);
        key = child == key->subKeys.end() ? nullptr : child->get();
    }
    return key;
}

const Registry::Key* Registry::Find(platform::HKey root, const std::string& path) const {
    return const_cast<Registry*>(this)->Find(root, path);
}

Registry::Key* Registry::Create(platform::HKey root, const std::string& path) {
    Key* key = RootKey(root);
    if (!key) return nullptr;
    for (const std::string& part : SplitPath(path)) {
        auto child = FindChild(*key, part);
        if (child == key->subKeys.end()) {
            const void* storageBefore = key->subKeys.data();
            key->subKeys.push_back(NewKey());
            key->subKeys.back()->name = part;
            Children().Appended(*key, storageBefore);
            key = key->subKeys.back().get();
        } else {
            key = child->get();
        }
    }
    return key;
}

bool Registry::Delete(platform::HKey root, const std::string& path) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return false;
    const std::string last = parts.back();
    parts.pop_back();
    Key* parent = RootKey(root);
    for (const std::string& part : parts) {
        if (!parent) return false;
        auto child = FindChild(*parent, part);
        parent = child == parent->subKeys.end() ? nullptr : child->get();
    }
    if (!parent) return false;
    auto victim = FindChild(*parent, last);
    if (victim == parent->subKeys.end()) return false;
    Children().Erasing(*parent, static_cast<std::size_t>(victim - parent->subKeys.begin()));
    parent->subKeys.erase(victim);
    return true;
}

void Registry::AdoptUser(std::string sid) {  // a copy: it may name the hive it deletes
    const std::function<void(platform::HKey, const std::string&, const Key&)> copy =
        [&](platform::HKey root, const std::string& path, const Key& from) {
            Key* to = Create(root, path);
            for (const Value& value : from.values) SetValue(*to, value.name, value.type, value.data);
            for (const auto& child : from.subKeys) copy(root, path.empty() ? child->name : path + "\\" + child->name, *child);
        };
    const std::pair<const char*, platform::HKey> hives[] = {{"", platform::HKEY_CURRENT_USER}, {"_Classes", platform::HKEY_CLASSES_ROOT}};
    for (const auto& [suffix, root] : hives) {
        const Key* hive = Find(platform::HKEY_USERS, sid + suffix);
        if (!hive) continue;
        copy(root, "", *hive);  // another root: creating there leaves the hive where it is
        Delete(platform::HKEY_USERS, sid + suffix);
    }
}

const Registry::Value* Registry::FindValue(const Key& key, const std::string& name) {
    for (const Value& value : key.values) {
        if (name::Equal(value.name, name)) return &value;
    }
    return nullptr;
}

void Registry::SetValue(Key& key, const std::string& name, std::uint32_t type, const std::string& data) {
    for (Value& value : key.values) {
        if (name::Equal(value.name, name)) {
            // The value keeps its place and the spelling it was created with.
            value.type = type;
            value.data = data;
            return;
        }
    }
    key.values.push_back({name, type, data});
}

bool Registry::DeleteValue(Key& key, const std::string& name) {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const Value& value) { return name::Equal(value.name, name); });
    if (it == key.values.end()) return false;
    key.values.erase(it);
    return true;
}

std::string Registry::SzData(const std::string& text) { return text + std::string(1, '\0'); }

std::string Registry::DwordData(std::uint32_t number) {
    std::string data(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xFFu);
    return data;
}

std::string Registry::RootName(platform::HKey root) {
    for (const RootNames& names : kRoots) {
        if (names.root == root) return names.longName;
    }
    return "";
}

std::optional<platform::HKey> Registry::ParseRootName(const std::string& rootName) {
    for (const RootNames& names : kRoots) {
        if (name::Equal(rootName, names.longName) || name::Equal(rootName, names.shortName)) return names.root;
    }
    return std::nullopt;
}

}  // namespace vm
