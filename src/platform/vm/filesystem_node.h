// One folder or file of the virtual file system; shared by its .cpp files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/vm/filesystem.h"

namespace vm {

// The attribute bits a FAT directory entry keeps for us; DIRECTORY follows
// from the node's kind and NORMAL means "none of them".
constexpr std::uint32_t kStoredAttributes = platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
                                            platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_ARCHIVE;

struct FileSystem::Node {
    std::string name;   // long name, stored case; empty for a drive root
    std::string alias;  // 8.3 alias, upper case
    bool directory = false;
    std::uint32_t attributes = 0;  // kStoredAttributes bits only
    std::string content;
    std::vector<std::unique_ptr<Node>> children;  // creation order, as a FAT directory holds them

    std::unique_ptr<Node> Clone() const;

    // The child named by its long name or its alias, case ignored.
    Node* Child(const std::string& component) const;
    // Appends a child; its alias is chosen now among the siblings' and kept.
    Node& AddChild(const std::string& longName, bool isDirectory);
    void RemoveChild(const Node* child);

    // What GetFileAttributes reports: DIRECTORY for folders, NORMAL for a
    // file without any attribute (as Windows NT does; keeps "0" from ever
    // looking like a failure).
    std::uint32_t ReportedAttributes() const;
    bool IsReadOnly() const { return (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0; }
};

}  // namespace vm
