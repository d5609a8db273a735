#include "platform/vm/filesystem_names.h"

#include <cstring>

#include "platform/vm/filesystem.h"

namespace vm {

namespace {

constexpr std::size_t kMaxLongName = 255;
constexpr std::size_t kMaxBase = 8;
constexpr std::size_t kMaxExtension = 3;

bool IsShortNameChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return true;  // code-page characters
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return c != '\0' && std::strchr("$%'-_@~`!(){}^#&", c) != nullptr;
}

// The characters of one part of a long name as they go into an alias: blanks
// and dots dropped, characters that only long names allow ("+,;=[]") turned
// into '_', as the Windows 95 file system does.
std::string AliasCharacters(const std::string& part) {
    std::string out;
    for (char c : part) {
        if (c == ' ' || c == '.') continue;
        out += IsShortNameChar(c) ? names::ToUpper(c) : '_';
    }
    return out;
}

}  // namespace

bool IsValidShortName(const std::string& name) {
    const std::size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > kMaxBase) return false;
    if (dot != std::string::npos && (extension.empty() || extension.size() > kMaxExtension)) return false;
    for (const std::string* part : {&base, &extension}) {
        for (char c : *part) {
            if (!IsShortNameChar(c)) return false;  // also a second dot
        }
    }
    return true;
}

namespace names {

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string ToUpper(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = ToUpper(c);
    return out;
}

bool IsValidLongName(const std::string& name) {
    if (name.empty() || name.size() > kMaxLongName) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
        if (std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
    }
    return true;
}

std::string StripTrailingDotsAndBlanks(const std::string& name) {
    const std::size_t end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

std::string MakeShortAlias(const std::string& longName,
                           const std::function<bool(const std::string&)>& isTaken) {
    if (IsValidShortName(longName)) return ToUpper(longName);

    // Leading dots and blanks never count; the extension is what follows the
    // last remaining dot.
    std::string stem = longName;
    const std::size_t first = stem.find_first_not_of(". ");
    stem = first == std::string::npos ? std::string() : stem.substr(first);
    const std::size_t lastDot = stem.rfind('.');
    const std::string base = AliasCharacters(stem.substr(0, lastDot));
    const std::string extension =
        lastDot == std::string::npos ? std::string() : AliasCharacters(stem.substr(lastDot + 1)).substr(0, kMaxExtension);

    // Windows 9x keeps counting past ~9 and shortens the base so that the
    // whole stays eight characters.
    for (unsigned long number = 1;; ++number) {
        const std::string tail = "~" + std::to_string(number);
        const std::size_t baseLength = tail.size() < kMaxBase ? kMaxBase - tail.size() : 0;
        std::string candidate = base.substr(0, baseLength) + tail;
        if (!extension.empty()) candidate += "." + extension;
        if (!isTaken(candidate)) return candidate;
    }
}

}  // namespace names
}  // namespace vm
