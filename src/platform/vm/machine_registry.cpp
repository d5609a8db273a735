// Registry calls of the virtual machine: handles onto key paths, so that a
// key deleted behind an open handle is noticed, as on Windows.
#include "platform/vm/machine.h"

namespace vm {

namespace {

bool IsRoot(platform::HKey key) {
    return key == platform::HKEY_CLASSES_ROOT || key == platform::HKEY_CURRENT_USER ||
           key == platform::HKEY_LOCAL_MACHINE || key == platform::HKEY_USERS;
}

std::string Join(const std::string& parent, const std::string& child) {
    if (parent.empty()) return child;
    if (child.empty()) return parent;
    return parent + "\\" + child;
}

// "a\\b\\" and "\\a" name the same key as "a\\b" and "a".
std::string TrimSeparators(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    return path;
}

// What RegSetValueExA stores of a string a caller passed without its
// terminating zero: NT counts the zero that follows the data (a C string
// always has one), 9x stores a REG_SZ up to its first zero and the zero.
std::string StoredData(std::uint32_t type, const std::string& data, bool nt) {
    if (nt) {
        const bool text = type == platform::REG_SZ || type == platform::REG_EXPAND_SZ || type == platform::REG_MULTI_SZ;
        return text && !data.empty() && data.back() != '\0' ? data + '\0' : data;
    }
    return type == platform::REG_SZ ? data.substr(0, data.find('\0')) + '\0' : data;
}

}  // namespace

std::optional<VirtualMachine::OpenKey> VirtualMachine::KeyOf(platform::HKey key) const {
    if (IsRoot(key)) return OpenKey{key, ""};
    auto found = openKeys_.find(key);
    if (found == openKeys_.end()) return std::nullopt;
    return found->second;
}

Registry::Key* VirtualMachine::FindKey(platform::HKey key) {
    const std::optional<OpenKey> open = KeyOf(key);
    return open ? registry_.Find(open->root, open->path) : nullptr;
}

long VirtualMachine::RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t /*access*/,
                                  platform::HKey& result) {
    result = 0;  // a failed open leaves no key behind
    const std::optional<OpenKey> parent = KeyOf(root);
    if (!parent) return platform::ERROR_INVALID_HANDLE;
    const OpenKey key{parent->root, Join(parent->path, TrimSeparators(subKey))};
    if (!registry_.Find(key.root, key.path)) return platform::ERROR_FILE_NOT_FOUND;
    result = nextKey_++;
    openKeys_[result] = key;
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegQueryValueEx(platform::HKey key, const std::string& name, std::size_t bufferBytes,
                                     platform::RegValue& result) {
    Registry::Key* found = FindKey(key);
    if (!found) return KeyOf(key) ? platform::ERROR_KEY_DELETED : platform::ERROR_INVALID_HANDLE;
    const Registry::Value* value = Registry::FindValue(*found, name);
    if (!value) return platform::ERROR_FILE_NOT_FOUND;
    if (value->data.size() > bufferBytes) return platform::ERROR_MORE_DATA;
    result = {value->type, value->data};
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegSetValueEx(platform::HKey key, const std::string& name, std::uint32_t type,
                                   const std::string& data) {
    Registry::Key* found = FindKey(key);
    if (!found) return KeyOf(key) ? platform::ERROR_KEY_DELETED : platform::ERROR_INVALID_HANDLE;
    Registry::SetValue(*found, name, type, StoredData(type, data, IsNt(settings.version)));
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegDeleteValue(platform::HKey key, const std::string& name) {
    Registry::Key* found = FindKey(key);
    if (!found) return KeyOf(key) ? platform::ERROR_KEY_DELETED : platform::ERROR_INVALID_HANDLE;
    if (!Registry::DeleteValue(*found, name)) return platform::ERROR_FILE_NOT_FOUND;
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegEnumKeyEx(platform::HKey key, std::uint32_t index, std::size_t nameChars,
                                  std::string& name) {
    Registry::Key* found = FindKey(key);
    if (!found) return KeyOf(key) ? platform::ERROR_KEY_DELETED : platform::ERROR_INVALID_HANDLE;
    if (index >= found->subKeys.size()) return platform::ERROR_NO_MORE_ITEMS;
    const std::string& subKey = found->subKeys[index]->name;
    if (subKey.size() + 1 > nameChars) return platform::ERROR_MORE_DATA;
    name = subKey;
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegEnumValue(platform::HKey key, std::uint32_t index, std::size_t nameChars,
                                  std::size_t dataBytes, platform::RegEnumValueResult& result) {
    Registry::Key* found = FindKey(key);
    if (!found) return KeyOf(key) ? platform::ERROR_KEY_DELETED : platform::ERROR_INVALID_HANDLE;
    if (index >= found->values.size()) return platform::ERROR_NO_MORE_ITEMS;
    const Registry::Value& value = found->values[index];
    if (value.name.size() + 1 > nameChars || value.data.size() > dataBytes) return platform::ERROR_MORE_DATA;
    result = {value.name, {value.type, value.data}};
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegDeleteKey(platform::HKey root, const std::string& subKey) {
    const std::optional<OpenKey> parent = KeyOf(root);
    if (!parent) return platform::ERROR_INVALID_HANDLE;
    const std::string path = Join(parent->path, TrimSeparators(subKey));
    if (TrimSeparators(subKey).empty() || !registry_.Delete(parent->root, path)) return platform::ERROR_FILE_NOT_FOUND;
    return platform::ERROR_SUCCESS;
}

long VirtualMachine::RegCloseKey(platform::HKey key) {
    if (IsRoot(key)) return platform::ERROR_SUCCESS;
    return openKeys_.erase(key) ? platform::ERROR_SUCCESS : platform::ERROR_INVALID_HANDLE;
}

}  // namespace vm
