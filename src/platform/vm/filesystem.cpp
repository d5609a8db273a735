// The file system's tree: drives, set-up, look-up and whole-machine views.
// The Win32 operations are in filesystem_operations.cpp.
#include "platform/vm/filesystem.h"

#include <algorithm>
#include <functional>

#include "platform/vm/filesystem_names.h"
#include "platform/vm/filesystem_node.h"
#include "platform/vm/filesystem_paths.h"
#include "platform/vm/name_compare.h"

namespace vm {

using platform::FILE_ATTRIBUTE_DIRECTORY;
using platform::FILE_ATTRIBUTE_NORMAL;

// --- Node ---

std::unique_ptr<FileSystem::Node> FileSystem::Node::Clone() const {
    auto copy = std::make_unique<Node>();
    copy->name = name;
    copy->alias = alias;
    copy->directory = directory;
    copy->attributes = attributes;
    copy->content = content;
    for (const auto& child : children) copy->children.push_back(child->Clone());
    return copy;
}

FileSystem::Node* FileSystem::Node::Child(const std::string& component) const {
    for (const auto& child : children) {
        if (name::Equal(child->name, component)) return child.get();
    }
    for (const auto& child : children) {
        if (name::Equal(child->alias, component)) return child.get();
    }
    return nullptr;
}

FileSystem::Node& FileSystem::Node::AddChild(const std::string& longName, bool isDirectory) {
    auto child = std::make_unique<Node>();
    child->name = longName;
    child->alias = names::MakeShortAlias(longName, [this](const std::string& candidate) {
        return std::any_of(children.begin(), children.end(),
                           [&](const auto& sibling) { return name::Equal(sibling->alias, candidate); });
    });
    child->directory = isDirectory;
    children.push_back(std::move(child));
    return *children.back();
}

void FileSystem::Node::RemoveChild(const Node* child) {
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [child](const auto& candidate) { return candidate.get() == child; }),
                   children.end());
}

std::uint32_t FileSystem::Node::ReportedAttributes() const {
    if (directory) return attributes | FILE_ATTRIBUTE_DIRECTORY;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

// --- FileSystem ---

FileSystem::FileSystem() = default;
FileSystem::~FileSystem() = default;

FileSystem::FileSystem(const FileSystem& other) : readOnlyDrives_(other.readOnlyDrives_) {
    for (const auto& [letter, root] : other.drives_) drives_[letter] = root->Clone();
}

FileSystem& FileSystem::operator=(const FileSystem& other) {
    if (this != &other) {
        FileSystem copy(other);
        drives_ = std::move(copy.drives_);
        readOnlyDrives_ = std::move(copy.readOnlyDrives_);
    }
    return *this;
}

void FileSystem::AddDrive(char letter) {
    auto& root = drives_[names::ToUpper(letter)];
    if (!root) {
        root = std::make_unique<Node>();
        root->directory = true;
    }
}

bool FileSystem::HasDrive(char letter) const { return drives_.count(names::ToUpper(letter)) != 0; }

std::vector<char> FileSystem::Drives() const {
    std::vector<char> letters;
    for (const auto& drive : drives_) letters.push_back(drive.first);
    return letters;
}

void FileSystem::SetDriveReadOnly(char letter, bool readOnly) { readOnlyDrives_[names::ToUpper(letter)] = readOnly; }

bool FileSystem::IsDriveReadOnly(char letter) const {
    const auto it = readOnlyDrives_.find(names::ToUpper(letter));
    return it != readOnlyDrives_.end() && it->second;
}

FileSystem::Node* FileSystem::Lookup(const std::string& path) const {
    const auto parsed = paths::ParseAbsolutePath(path);
    if (!parsed) return nullptr;
    const auto drive = drives_.find(parsed->drive);
    if (drive == drives_.end()) return nullptr;
    Node* node = drive->second.get();
    for (const std::string& component : parsed->components) {
        node = node->Child(component);
        if (node == nullptr) return nullptr;
    }
    // "C:\file.txt\" names no file.
    if (parsed->trailingSeparator && !node->directory) return nullptr;
    return node;
}

FileSystem::Node* FileSystem::ParentOf(const std::string& path, std::string& leafName) const {
    auto parsed = paths::ParseAbsolutePath(path);
    if (!parsed || parsed->components.empty()) return nullptr;
    leafName = parsed->components.back();
    parsed->components.pop_back();
    Node* parent = Lookup(paths::Join(parsed->drive, parsed->components));
    return parent != nullptr && parent->directory ? parent : nullptr;
}

bool FileSystem::PutFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
    const auto parsed = paths::ParseAbsolutePath(path);
    if (!parsed || parsed->components.empty() || parsed->trailingSeparator) return false;
    const std::vector<std::string> folders(parsed->components.begin(), parsed->components.end() - 1);
    if (!PutDirectory(paths::Join(parsed->drive, folders))) return false;
    std::string leaf;
    Node* parent = ParentOf(path, leaf);
    if (parent == nullptr) return false;
    Node* file = parent->Child(leaf);
    if (file == nullptr) file = &parent->AddChild(leaf, false);
    if (file->directory) return false;
    file->content = bytes;
    file->attributes = attributes & kStoredAttributes;
    return true;
}

bool FileSystem::PutDirectory(const std::string& path) {
    const auto parsed = paths::ParseAbsolutePath(path);
    if (!parsed || !HasDrive(parsed->drive)) return false;
    Node* node = drives_.at(parsed->drive).get();
    for (const std::string& component : parsed->components) {
        Node* child = node->Child(component);
        if (child == nullptr) child = &node->AddChild(component, true);
        if (!child->directory) return false;
        node = child;
    }
    return true;
}

bool FileSystem::Remove(const std::string& path) {
    Node* node = Lookup(path);
    if (node == nullptr) return false;
    std::string leaf;
    Node* parent = ParentOf(path, leaf);
    if (parent == nullptr) {
        node->children.clear();  // a drive root
    } else {
        parent->RemoveChild(node);
    }
    return true;
}

bool FileSystem::Exists(const std::string& path) const { return Lookup(path) != nullptr; }

bool FileSystem::IsDirectory(const std::string& path) const {
    const Node* node = Lookup(path);
    return node != nullptr && node->directory;
}

bool FileSystem::IsFile(const std::string& path) const {
    const Node* node = Lookup(path);
    return node != nullptr && !node->directory;
}

std::optional<std::string> FileSystem::SpelledPath(const std::string& path, bool aliases) const {
    if (Lookup(path) == nullptr) return std::nullopt;
    const auto parsed = paths::ParseAbsolutePath(path);
    const Node* node = drives_.at(parsed->drive).get();
    std::vector<std::string> spelled;
    for (const std::string& component : parsed->components) {
        node = node->Child(component);
        spelled.push_back(aliases ? node->alias : node->name);
    }
    std::string out = paths::Join(parsed->drive, spelled);
    if (parsed->trailingSeparator) out += '\\';
    return out;
}

std::optional<std::string> FileSystem::LongPath(const std::string& path) const { return SpelledPath(path, false); }

std::optional<std::string> FileSystem::ShortPath(const std::string& path) const { return SpelledPath(path, true); }

std::optional<std::uint32_t> FileSystem::Attributes(const std::string& path) const {
    const Node* node = Lookup(path);
    if (node == nullptr) return std::nullopt;
    return node->ReportedAttributes();
}

std::optional<std::string> FileSystem::ReadFile(const std::string& path) const {
    const Node* node = Lookup(path);
    if (node == nullptr || node->directory) return std::nullopt;
    return node->content;
}

const std::string* FileSystem::FileBytes(const std::string& path) const {
    const Node* node = Lookup(path);
    return node == nullptr || node->directory ? nullptr : &node->content;
}

std::vector<FileSystem::Entry> FileSystem::Snapshot() const {
    std::vector<Entry> entries;
    const std::function<void(const Node&, const std::string&, const std::string&)> walk =
        [&](const Node& folder, const std::string& longPrefix, const std::string& shortPrefix) {
            for (const auto& child : folder.children) {
                Entry entry;
                entry.path = longPrefix + child->name;
                entry.shortPath = shortPrefix + child->alias;
                entry.directory = child->directory;
                entry.attributes = child->ReportedAttributes();
                entry.content = child->content;
                entries.push_back(entry);
                if (child->directory) walk(*child, entry.path + "\\", entry.shortPath + "\\");
            }
        };
    for (const auto& [letter, root] : drives_) {
        const std::string prefix{letter, ':', '\\'};
        walk(*root, prefix, prefix);
    }
    return entries;
}

}  // namespace vm
