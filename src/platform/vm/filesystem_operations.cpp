// The Win32 file operations on the virtual file system, with the refusals
// Windows 9x makes: read-only files and drives, missing folders, folders
// where a file is expected.
#include "platform/vm/filesystem.h"

#include "platform/vm/filesystem_names.h"
#include "platform/vm/filesystem_node.h"
#include "platform/vm/filesystem_paths.h"

namespace vm {

using platform::FILE_ATTRIBUTE_ARCHIVE;
using platform::FILE_ATTRIBUTE_DIRECTORY;
using platform::FILE_ATTRIBUTE_HIDDEN;

namespace {

bool OnWritableDrive(const FileSystem& fs, const std::string& path) {
    const auto parsed = paths::ParseAbsolutePath(path);
    return parsed && !fs.IsDriveReadOnly(parsed->drive);
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && paths::IsSeparator(path.back()); }

platform::FindData DotEntry(const std::string& name) {
    platform::FindData data;
    data.fileName = name;
    data.attributes = FILE_ATTRIBUTE_DIRECTORY;
    return data;
}

}  // namespace

bool FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    Node* node = Lookup(path);
    if (node == nullptr || !OnWritableDrive(*this, path)) return false;
    // FILE_ATTRIBUTE_NORMAL and DIRECTORY are not bits of the entry: NORMAL
    // alone clears them all.
    node->attributes = attributes & kStoredAttributes;
    return true;
}

bool FileSystem::CreateDirectory(const std::string& path) {
    std::string leaf;
    Node* parent = ParentOf(path, leaf);
    if (parent == nullptr || !OnWritableDrive(*this, path) || parent->Child(leaf) != nullptr) return false;
    parent->AddChild(leaf, true);
    return true;
}

FileSystem::Node* FileSystem::WritableFile(const std::string& path) {
    std::string leaf;
    Node* parent = ParentOf(path, leaf);
    if (parent == nullptr || EndsWithSeparator(path) || !OnWritableDrive(*this, path)) return nullptr;
    Node* file = parent->Child(leaf);
    if (file == nullptr) {
        file = &parent->AddChild(leaf, false);
        file->attributes = FILE_ATTRIBUTE_ARCHIVE;
        return file;
    }
    return file->directory || file->IsReadOnly() ? nullptr : file;
}

bool FileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    const Node* source = Lookup(from);
    if (source == nullptr || source->directory) return false;
    if (const Node* existing = Lookup(to)) {
        if (failIfExists || existing == source) return false;  // onto itself: a sharing violation
        if ((existing->attributes & FILE_ATTRIBUTE_HIDDEN) != 0) return false;
    }
    Node* target = WritableFile(to);
    if (target == nullptr) return false;
    target->content = source->content;
    target->attributes = source->attributes;
    return true;
}

bool FileSystem::DeleteFile(const std::string& path) {
    const Node* node = Lookup(path);
    if (node == nullptr || node->directory || node->IsReadOnly() || !OnWritableDrive(*this, path)) return false;
    std::string leaf;
    ParentOf(path, leaf)->RemoveChild(node);
    return true;
}

bool FileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    Node* file = WritableFile(path);
    if (file == nullptr) return false;
    file->content = bytes;
    file->attributes |= FILE_ATTRIBUTE_ARCHIVE;  // the file system marks every changed file
    return true;
}

std::vector<platform::FindData> FileSystem::Find(const std::string& pattern) const {
    std::vector<platform::FindData> found;
    const std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string::npos) return found;
    const std::string folderPath = pattern.substr(0, separator + 1);
    const std::string leafPattern = pattern.substr(separator + 1);
    const Node* folder = Lookup(folderPath);
    if (folder == nullptr || !folder->directory || leafPattern.empty()) return found;

    const bool isRoot = paths::ParseAbsolutePath(folderPath)->components.empty();
    if (!isRoot) {
        for (const char* dots : {".", ".."}) {
            if (WildcardMatch(leafPattern, dots)) found.push_back(DotEntry(dots));
        }
    }
    for (const auto& child : folder->children) {
        if (!WildcardMatch(leafPattern, child->name) && !WildcardMatch(leafPattern, child->alias)) continue;
        platform::FindData data;
        data.fileName = child->name;
        data.alternateFileName = child->alias == child->name ? std::string() : child->alias;
        data.attributes = child->ReportedAttributes();
        data.size = child->directory ? 0 : child->content.size();
        found.push_back(data);
    }
    return found;
}

}  // namespace vm
