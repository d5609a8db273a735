// One registry hive as Wine keeps it in a prefix (system.reg, user.reg,
// userdef.reg). The tests prepare values by editing the file before Wine
// starts, and read the outcome after Wine has ended and saved it: no Wine
// process is spent on either.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace winetest {

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;  // as the program would read it with the W functions

    // String types: the UTF-16 data as UTF-8, trailing NULs dropped. Other
    // types: a description that no string value looks like.
    std::string Text() const;
};

class WineRegistryFile {
public:
    // Throws std::runtime_error on text Wine would not have written.
    explicit WineRegistryFile(const std::string& text);
    std::string Text() const;

    // Key paths are relative to the hive's root, with single backslashes,
    // compared without regard to case, like names of values.
    bool HasKey(const std::string& key) const;
    std::optional<RegistryValue> Value(const std::string& key, const std::string& name) const;

    void CreateKey(const std::string& key);
    void SetString(const std::string& key, const std::string& name, const std::string& value);
    void SetDword(const std::string& key, const std::string& name, uint32_t value);

private:
    struct Key {
        std::string path;
        std::string header;               // the "[path] stamp" line as written
        std::vector<std::string> entries; // logical lines: "#..." and values, continuations joined
    };

    const Key* Find(const std::string& path) const;
    Key& FindOrCreate(const std::string& path);
    void SetEntry(const std::string& key, const std::string& name, const std::string& entry);

    std::string preamble_;
    std::vector<Key> keys_;
};

}  // namespace winetest
