// The virtual machine's registry: four root keys, sub-keys and values kept in
// the order they were created (the order Windows 9x enumerates them in),
// names matched without regard to case, and deletion of a key together with
// its sub-keys, as on Windows 95/98/ME. Loaded from and saved to REGEDIT4
// text.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vm {

class Registry {
public:
    struct Value {
        std::string name;  // "" is the default value
        std::uint32_t type = platform::REG_SZ;
        std::string data;  // raw bytes as stored (REG_SZ with its terminating zero)
    };
    struct Key {
        std::string name;
        std::vector<Value> values;
        std::vector<std::unique_ptr<Key>> subKeys;
    };

    Registry();
    Registry(const Registry&);
    Registry& operator=(const Registry&);
    // Same keys and values, in the same order, with the same spelling.
    friend bool operator==(const Registry& a, const Registry& b);
    friend bool operator!=(const Registry& a, const Registry& b);

    // root is one of platform::HKEY_CLASSES_ROOT, _CURRENT_USER,
    // _LOCAL_MACHINE, _USERS; path is backslash-separated, "" for the root;
    // empty components (doubled, leading or trailing backslashes) are
    // skipped. Any other root finds and creates nothing.
    Key* Find(platform::HKey root, const std::string& path);
    const Key* Find(platform::HKey root, const std::string& path) const;
    // Creates every missing key on the way.
    Key* Create(platform::HKey root, const std::string& path);
    // Removes the key and everything under it; false when it is missing or
    // is a root.
    bool Delete(platform::HKey root, const std::string& path);

    static const Value* FindValue(const Key& key, const std::string& name);
    static void SetValue(Key& key, const std::string& name, std::uint32_t type, const std::string& data);
    static bool DeleteValue(Key& key, const std::string& name);

    // Convenience for tests and loaders: REG_SZ data with its terminating zero,
    // REG_DWORD as four little-endian bytes.
    static std::string SzData(const std::string& text);
    static std::string DwordData(std::uint32_t number);

    // "HKEY_LOCAL_MACHINE" and the like ("" for a handle that is no root),
    // and back (case ignored; "HKLM" and the other short forms accepted).
    static std::string RootName(platform::HKey root);
    static std::optional<platform::HKey> ParseRootName(const std::string& name);

    // REGEDIT4 text: "REGEDIT4", then one "[ROOT\path]" block per key with
    // "name"=value lines ("@" for the default value; "text", dword:0000abcd,
    // hex:.., hex(n):..; '\\' and '\"' escaped in strings; a '\' at the end
    // of a hex line continues it). "[-ROOT\path]" deletes a key.
    struct ParseError : std::runtime_error {
        int line;
        ParseError(int lineNumber, const std::string& what) : std::runtime_error(what), line(lineNumber) {}
    };
    // Throws ParseError naming the 1-based line of the first fault. The
    // header may also be "Windows Registry Editor Version 5.00": such a file
    // is UTF-16 (with its byte order mark) or UTF-8, and its text and the
    // string data of hex(1), hex(2) and hex(7) are converted to codePage: a
    // character code page 1252 lacks reads as '?' (counted in `replaced`),
    // one setupsim cannot convert to an Asian code page is a ParseError.
    struct Replaced {
        std::size_t count = 0;
        int firstLine = 0;
    };
    static Registry ParseRegFile(const std::string& text, std::uint32_t codePage = 1252, Replaced* replaced = nullptr);
    // Applies registry file text to this registry, as importing a .reg file
    // does; on a ParseError the registry is left as it was.
    void ImportRegFile(const std::string& text, std::uint32_t codePage = 1252);
    // The user whose hive a registry export holds under HKEY_USERS\<sid>
    // (and <sid>_Classes) becomes the current user (and the classes root).
    void AdoptUser(std::string sid);
    // Keys in tree order; values in stored order. ParseRegFile(ExportRegFile())
    // gives back the same registry. Throws std::invalid_argument for a name
    // the format cannot carry (a line break in a key or value name, an empty
    // key name or one with a backslash).
    std::string ExportRegFile() const;

    // Every value of every key, and every key, as flat lines for diffs:
    // "HKEY_LOCAL_MACHINE\path" for a key, "HKEY_LOCAL_MACHINE\path\"name"=value"
    // for a value (the value as in REGEDIT4, on one line), in tree order.
    // Root keys get no line of their own; their values do.
    std::vector<std::string> Flatten() const;

private:
    std::unique_ptr<Key> roots_[4];
    Key* RootKey(platform::HKey root) const;
};

}  // namespace vm
