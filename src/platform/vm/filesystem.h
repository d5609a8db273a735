// The virtual machine's drives and files, faithful to the Windows 9x file
// system where the setup logic relies on it: case-insensitive and
// case-preserving names, 8.3 aliases given at creation, attributes, and
// wildcard searches that match the long name or its alias.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vm {

// Every path taken by FileSystem is absolute: a drive letter, ':' and a
// backslash-separated path ("C:\WINDOWS\INF"); components may be long names
// or 8.3 aliases in any case. FullPath turns other forms into this one.
class FileSystem {
public:
    FileSystem();
    ~FileSystem();
    FileSystem(const FileSystem&);
    FileSystem& operator=(const FileSystem&);

    // GetFullPathName: resolves a relative, drive-relative ("D:x") or
    // root-relative ("\x") path against the current directory, folds "."
    // and "..", turns '/' into '\' and drops a trailing backslash (but
    // "C:\" stays). Returns nullopt for an empty path or one that names no
    // drive and cannot be resolved.
    static std::optional<std::string> FullPath(const std::string& currentDirectory, const std::string& path);

    // --- Set-up (loaders and tests) ---
    void AddDrive(char letter);
    bool HasDrive(char letter) const;
    std::vector<char> Drives() const;
    void SetDriveReadOnly(char letter, bool readOnly);
    bool IsDriveReadOnly(char letter) const;
    // Creates every missing folder on the way; ignores read-only drives and
    // attributes. The content replaces an existing file's.
    bool PutFile(const std::string& path, const std::string& bytes,
                 std::uint32_t attributes = platform::FILE_ATTRIBUTE_ARCHIVE);
    bool PutDirectory(const std::string& path);
    // Removes a file or a whole folder tree, whatever its attributes (a
    // medium taken out of the drive, a test's set-up). A drive root is
    // emptied and stays.
    bool Remove(const std::string& path);

    // --- Queries ---
    bool Exists(const std::string& path) const;
    bool IsDirectory(const std::string& path) const;
    bool IsFile(const std::string& path) const;
    // The path with every component's long name in its stored case.
    std::optional<std::string> LongPath(const std::string& path) const;
    // GetShortPathName: every component's 8.3 alias (the upper-cased name
    // itself when it is a valid 8.3 name); nullopt when the path is missing.
    std::optional<std::string> ShortPath(const std::string& path) const;
    std::optional<std::uint32_t> Attributes(const std::string& path) const;
    std::optional<std::string> ReadFile(const std::string& path) const;
    // The stored bytes themselves, for readers that take a little at a time;
    // nullptr for a folder or a missing file. Valid until the next change.
    const std::string* FileBytes(const std::string& path) const;

    // --- Win32 operations (false on failure, as the API) ---
    bool SetAttributes(const std::string& path, std::uint32_t attributes);
    // Fails when the folder exists, its parent is missing or the drive is
    // read-only.
    bool CreateDirectory(const std::string& path);
    // Keeps the source's attributes; fails when the source is missing, the
    // target exists and failIfExists is set, the target is read-only or
    // hidden, the target's folder is missing or the drive is read-only.
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);
    // Fails on a read-only file, a folder, a missing file, a read-only drive.
    bool DeleteFile(const std::string& path);
    // Writes a file's whole content, creating it (attributes ARCHIVE) when
    // missing; fails on a read-only file or drive or a missing folder.
    bool WriteFile(const std::string& path, const std::string& bytes);
    // FindFirstFile/FindNextFile: the pattern's last component may hold '*'
    // and '?', matched without regard to case against each entry's long name
    // or its alias ("*.*" also matches names without a dot); entries in
    // creation order. Like Windows 9x, the walk of a folder other than a
    // drive root yields "." and ".." first when the pattern matches them.
    std::vector<platform::FindData> Find(const std::string& pattern) const;

    // --- Whole-machine views (diff, save) ---
    struct Entry {
        std::string path;       // long path, stored case
        std::string shortPath;  // GetShortPathName of it
        bool directory = false;
        std::uint32_t attributes = 0;
        std::string content;
    };
    // Every folder and file of every drive, depth first in creation order
    // (drive roots themselves are not listed).
    std::vector<Entry> Snapshot() const;

private:
    struct Node;
    std::map<char, std::unique_ptr<Node>> drives_;  // upper-case letter
    std::map<char, bool> readOnlyDrives_;

    Node* Lookup(const std::string& path) const;
    Node* ParentOf(const std::string& path, std::string& leafName) const;
    // The path spelled with each component's long name, or its alias.
    std::optional<std::string> SpelledPath(const std::string& path, bool aliases) const;
    // CopyFile's and WriteFile's common part: the target file, created
    // when missing, or nullptr when it may not be written.
    Node* WritableFile(const std::string& path);
};

// Wildcard match of one name against one pattern component, case ignored,
// with the file system's rule that "*.*" and "*." also match names without
// a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// True when name is a valid 8.3 name as it stands (upper-casing aside).
bool IsValidShortName(const std::string& name);

}  // namespace vm
