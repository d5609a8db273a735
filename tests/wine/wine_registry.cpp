#include "wine_registry.h"

#include <cstdio>
#include <stdexcept>

namespace winetest {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string result;
    for (size_t i = 0; i < utf8.size();) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += static_cast<size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (code >> 10));
            result += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
    }
    return result;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Utf8(const std::u16string& units) {
    std::string result;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        AppendUtf8(result, code);
    }
    return result;
}

std::vector<uint8_t> LittleEndian(const std::u16string& units) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an escaped text up to the unescaped `close` character, starting at
// `pos`; leaves `pos` after it. The escapes are the ones Wine writes: \\ and
// \ before a delimiter, C letters, \x with up to four hex digits, octal.
std::u16string Unescape(const std::string& text, size_t& pos, char close) {
    static const std::string kLetters = "abtnvfre";
    static const char16_t kCodes[] = {7, 8, 9, 10, 11, 12, 13, 27};
    std::u16string units;
    while (pos < text.size() && text[pos] != close) {
        if (text[pos] != '\\') {
            size_t end = pos + 1;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            units += Utf16(text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        if (++pos >= text.size()) break;
        char c = text[pos];
        if (c == 'x') {
            char16_t code = 0;
            int digits = 0;
            while (digits < 4 && pos + 1 < text.size() && HexDigit(text[pos + 1]) >= 0) {
                code = static_cast<char16_t>(code * 16 + HexDigit(text[++pos]));
                ++digits;
            }
            units += code;
        } else if (c >= '0' && c <= '7') {
            char16_t code = static_cast<char16_t>(c - '0');
            for (int digits = 1; digits < 3 && pos + 1 < text.size() && text[pos + 1] >= '0' &&
                                 text[pos + 1] <= '7';
                 ++digits) {
                code = static_cast<char16_t>(code * 8 + (text[++pos] - '0'));
            }
            units += code;
        } else if (size_t letter = kLetters.find(c); letter != std::string::npos) {
            units += kCodes[letter];
        } else {
            units += static_cast<char16_t>(c);
        }
        ++pos;
    }
    if (pos >= text.size()) throw std::runtime_error("unterminated text in registry file: " + text);
    ++pos;
    return units;
}

std::string Escape(const std::string& utf8, const std::string& delimiters) {
    std::string result;
    for (char16_t unit : Utf16(utf8)) {
        if (unit < 0x20 || unit > 0x7E) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%04x", static_cast<unsigned>(unit));
            result += buffer;
            continue;
        }
        char c = static_cast<char>(unit);
        if (c == '\\' || delimiters.find(c) != std::string::npos) result += '\\';
        result += c;
    }
    return result;
}

std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0) continue;  // commas, blanks and joined continuation marks
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    return bytes;
}

RegistryValue ParseData(const std::string& data) {
    RegistryValue value;
    auto string_data = [&](size_t quote) {
        size_t pos = quote + 1;
        value.data = LittleEndian(Unescape(data, pos, '"') + u'\0');
    };
    if (data.rfind('"', 0) == 0) {
        value.type = kRegSz;
        string_data(0);
    } else if (data.rfind("str(", 0) == 0) {
        value.type = static_cast<uint32_t>(std::stoul(data.substr(4), nullptr, 16));
        string_data(data.find('"'));
    } else if (data.rfind("dword:", 0) == 0) {
        value.type = kRegDword;
        uint32_t number = static_cast<uint32_t>(std::stoul(data.substr(6), nullptr, 16));
        for (int shift = 0; shift < 32; shift += 8) value.data.push_back((number >> shift) & 0xFF);
    } else if (data.rfind("hex:", 0) == 0) {
        value.type = kRegBinary;
        value.data = HexBytes(data.substr(4));
    } else if (data.rfind("hex(", 0) == 0) {
        value.type = static_cast<uint32_t>(std::stoul(data.substr(4), nullptr, 16));
        value.data = HexBytes(data.substr(data.find(':') + 1));
    } else {
        throw std::runtime_error("unknown registry data: " + data);
    }
    return value;
}

// The name of a value line ("" for the default value "@"), and where its
// data starts; nothing for comment lines such as "#time=".
std::optional<std::pair<std::string, size_t>> EntryName(const std::string& entry) {
    if (entry.rfind("@=", 0) == 0) return std::make_pair(std::string(), size_t{2});
    if (entry.empty() || entry[0] != '"') return std::nullopt;
    size_t pos = 1;
    std::string name = Utf8(Unescape(entry, pos, '"'));
    if (pos >= entry.size() || entry[pos] != '=') {
        throw std::runtime_error("bad value line in registry file: " + entry);
    }
    return std::make_pair(name, pos + 1);
}

std::string ValueLine(const std::string& name, const std::string& data) {
    return (name.empty() ? std::string("@") : "\"" + Escape(name, "\"") + "\"") + "=" + data;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string RegistryValue::Text() const {
    if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) {
        return "<not a string: type " + std::to_string(type) + ", " + std::to_string(data.size()) +
               " bytes>";
    }
    std::u16string units;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    while (!units.empty() && units.back() == u'\0') units.pop_back();
    return Utf8(units);
}

WineRegistryFile::WineRegistryFile(const std::string& text) {
    std::vector<std::string> lines = Lines(text);
    size_t i = 0;
    for (; i < lines.size() && (lines[i].empty() || lines[i][0] != '['); ++i) {
        preamble_ += lines[i] + "\n";
    }
    for (; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        if (line[0] == '[') {
            size_t pos = 1;
            keys_.push_back({Utf8(Unescape(line, pos, ']')), line, {}});
            continue;
        }
        // Long hex data goes on over lines that end in a backslash.
        std::string entry = line;
        while (!entry.empty() && entry.back() == '\\' && i + 1 < lines.size()) {
            entry.pop_back();
            entry += lines[++i];
        }
        keys_.back().entries.push_back(entry);
    }
}

std::string WineRegistryFile::Text() const {
    std::string text = preamble_;
    for (const Key& key : keys_) {
        text += "\n" + key.header + "\n";
        for (const std::string& entry : key.entries) text += entry + "\n";
    }
    return text;
}

const WineRegistryFile::Key* WineRegistryFile::Find(const std::string& path) const {
    for (const Key& key : keys_) {
        if (EqualNoCase(key.path, path)) return &key;
    }
    return nullptr;
}

WineRegistryFile::Key& WineRegistryFile::FindOrCreate(const std::string& path) {
    if (const Key* key = Find(path)) return const_cast<Key&>(*key);
    // Wine creates the parent keys itself when it loads the file.
    keys_.push_back({path, "[" + Escape(path, "[]") + "] 0", {}});
    return keys_.back();
}

bool WineRegistryFile::HasKey(const std::string& key) const { return Find(key) != nullptr; }

std::optional<RegistryValue> WineRegistryFile::Value(const std::string& key,
                                                     const std::string& name) const {
    const Key* found = Find(key);
    if (!found) return std::nullopt;
    for (const std::string& entry : found->entries) {
        auto parsed = EntryName(entry);
        if (parsed && EqualNoCase(parsed->first, name)) return ParseData(entry.substr(parsed->second));
    }
    return std::nullopt;
}

void WineRegistryFile::CreateKey(const std::string& key) { FindOrCreate(key); }

void WineRegistryFile::SetEntry(const std::string& key, const std::string& name,
                                const std::string& data) {
    Key& target = FindOrCreate(key);
    for (std::string& entry : target.entries) {
        auto parsed = EntryName(entry);
        if (parsed && EqualNoCase(parsed->first, name)) {
            entry = ValueLine(name, data);
            return;
        }
    }
    target.entries.push_back(ValueLine(name, data));
}

void WineRegistryFile::SetString(const std::string& key, const std::string& name,
                                 const std::string& value) {
    SetEntry(key, name, "\"" + Escape(value, "\"") + "\"");
}

void WineRegistryFile::SetDword(const std::string& key, const std::string& name, uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08x", value);
    SetEntry(key, name, std::string("dword:") + buffer);
}

}  // namespace winetest
