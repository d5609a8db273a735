// The profile (INI) functions on a file's bytes, as Windows 9x and NT do them.
//
// Reading: sections and keys match without regard to case; blanks around
// section names, keys and values are trimmed; one pair of matching quotes
// (single or double) enclosing the whole value is dropped; lines starting
// with ';' are comments; the first matching section and key win.
// Writing: CR LF line ends; a value of an existing key is replaced in place
// (the key keeps its spelling); a new key goes after the last key line of its
// section; a new section is appended at the end of the file, with no blank
// line before it on NT and with one on 9x (unless the file was empty);
// every other byte of the file stays as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm::profile {

enum class System { Win9x, Nt };

// nullopt when the section or the key is missing.
std::optional<std::string> ReadString(const std::string& content, const std::string& section,
                                      const std::string& key);

// GetPrivateProfileInt: the leading decimal digits of the value, with an
// optional '-', or on NT '+' ("42A9" is 42, "B42" and "" are 0, "+1" is 0
// on 9x and 1 on NT); defaultValue only
// when the section or key is missing. Numbers wrap around modulo 2^32 like
// the 32-bit result of Windows ("4294967297" is 1, "4294967295" is -1).
int ReadInt(const std::string& content, const std::string& section, const std::string& key,
            int defaultValue, System system);

// The new content after WritePrivateProfileString(section, key, value).
std::string WriteString(const std::string& content, const std::string& section, const std::string& key,
                        const std::string& value, System system);

// The content without the first line of key in section (as the profile
// functions find it); unchanged when there is none.
std::string RemoveKey(const std::string& content, const std::string& section, const std::string& key);

// Every section with its key=value pairs in file order, values as read.
struct Entry {
    std::string section;
    std::string key;
    std::string value;
};
std::vector<Entry> ReadAll(const std::string& content);

}  // namespace vm::profile
