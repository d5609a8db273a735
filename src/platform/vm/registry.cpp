#include "platform/vm/registry.h"

#include <algorithm>

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

std::vector<std::unique_ptr<Registry::Key>>::iterator FindChild(Registry::Key& key, const std::string& name) {
    return std::find_if(key.subKeys.begin(), key.subKeys.end(),
                        [&](const std::unique_ptr<Registry::Key>& child) { return name::Equal(child->name, name); });
}

std::unique_ptr<Registry::Key> CloneKey(const Registry::Key& key) {
    auto copy = std::make_unique<Registry::Key>();
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
        roots_[i] = std::make_unique<Key>();
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
            key->subKeys.push_back(std::make_unique<Key>());
            key->subKeys.back()->name = part;
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
    parent->subKeys.erase(victim);
    return true;
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
