// REGEDIT4 text: reading it into the registry and writing the registry out.
#include <cstdint>
#include <stdexcept>

#include "platform/vm/code_page.h"
#include "platform/vm/name_compare.h"
#include "platform/vm/registry.h"
#include "platform/vm/text_lines.h"

namespace vm {
namespace {

constexpr platform::HKey kRootOrder[] = {platform::HKEY_CLASSES_ROOT, platform::HKEY_CURRENT_USER,
                                         platform::HKEY_LOCAL_MACHINE, platform::HKEY_USERS};
constexpr std::size_t kWrapColumn = 76;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to maxDigits hex digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(const std::string& s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t number = 0;
    for (char c : s) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        number = number * 16u + static_cast<std::uint32_t>(digit);
    }
    return number;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && name::Equal(s.substr(0, prefix.size()), prefix);
}

// Reads REGEDIT4 text line by line, applying each block to a registry.
class RegFileReader {
public:
    RegFileReader(const std::string& text, Registry& registry, std::uint32_t codePage)
        : text_(text), registry_(registry), codePage_(codePage) {
        lines_ = text::SplitLines(text_);
    }

    Registry::Replaced replaced;

    void Run() {
        Decode();
        ReadHeader();
        for (++index_; index_ < lines_.size(); ++index_) ReadLine();
    }

private:
    std::string text_;
    Registry& registry_;
    std::vector<text::Line> lines_;
    std::uint32_t codePage_;
    bool unicode_ = false;  // version 5: its hex(2) and hex(7) data is UTF-16 text
    std::size_t index_ = 0;
    Registry::Key* key_ = nullptr;  // the current block's key; null after a deletion

    int LineNumber() const { return static_cast<int>(index_ + 1); }
    [[noreturn]] void Fail(const std::string& message) const { throw Registry::ParseError(LineNumber(), message); }

    std::string LineText() const {
        const text::Line& line = lines_[index_];
        return text_.substr(line.begin, line.end - line.begin);
    }

    // Version 5 files are Unicode: UTF-16 as regedit writes them, or UTF-8
    // (with or without its byte order mark) as an editor may save them. They
    // become text in the machine's code page; REGEDIT4 files already are.
    void Decode() {
        static const std::string kVersion5 = "Windows Registry Editor Version 5.00";
        const bool utf16 = text_.compare(0, 2, "\xFF\xFE") == 0 || text_.compare(0, 2, "\xFE\xFF") == 0;
        const bool utf8Mark = text_.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const std::string start = text::TrimLeadingBlanks(text_.substr(utf8Mark ? 3 : 0, 64));
        unicode_ = utf16 || name::Equal(start.substr(0, kVersion5.size()), kVersion5);
        if (!unicode_) {
            if (utf8Mark) text_.erase(0, 3);
        } else {
            const bool bigEndian = text_[0] == '\xFE';
            const std::string body = text_.substr(utf16 ? 2 : utf8Mark ? 3 : 0);
            const Converted converted = utf16 ? FromUtf16(body, bigEndian, codePage_) : FromUtf8(body, codePage_);
            // A line is counted in the file's own units: bytes, or UTF-16 characters.
            const auto lineOf = [&](std::size_t at) {
                const std::size_t width = utf16 ? 2 : 1, low = utf16 && bigEndian ? 1 : 0;
                int line = 1;
                for (std::size_t unit = 0; unit < at; ++unit) {
                    line += body[unit * width + low] == '\n' && (width == 1 || body[unit * width + 1 - low] == 0);
                }
                return line;
            };
            if (!converted.problem.empty()) throw Registry::ParseError(lineOf(converted.badAt), converted.problem);
            if (converted.replaced > 0) replaced = {converted.replaced, lineOf(converted.firstReplacedAt)};
            text_ = converted.text;
        }
        lines_ = text::SplitLines(text_);
    }

    void ReadHeader() {
        while (index_ < lines_.size() && text::TrimBlanks(LineText()).empty()) ++index_;
        if (index_ >= lines_.size()) {
            index_ = 0;
            Fail("empty file: expected REGEDIT4");
        }
        const std::string header = text::TrimBlanks(LineText());
        if (!name::Equal(header, "REGEDIT4") && !name::Equal(header, "Windows Registry Editor Version 5.00"))
            Fail("expected REGEDIT4 as the first line");
    }

    void ReadLine() {
        const std::string line = text::TrimBlanks(LineText());
        if (line.empty() || line[0] == ';') return;
        if (line[0] == '[') return ReadKeyLine(line);
        if (line[0] == '"' || line[0] == '@') return ReadValueLine(line);
        Fail("expected \"name\"=value");
    }

    void ReadKeyLine(const std::string& line) {
        if (line.back() != ']') Fail("expected ']' at the end of the key line");
        std::string path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path[0] == '-';
        if (remove) path.erase(0, 1);
        const std::size_t slash = path.find('\\');
        const std::string rootName = path.substr(0, slash);
        const std::string subPath = slash == std::string::npos ? "" : path.substr(slash + 1);
        const std::optional<platform::HKey> root = Registry::ParseRootName(rootName);
        if (!root) Fail("unknown root '" + rootName + "'");
        if (remove) {
            if (subPath.find_first_not_of('\\') == std::string::npos) Fail("a root key cannot be deleted");
            registry_.Delete(*root, subPath);  // deleting a missing key is no fault
            key_ = nullptr;
        } else {
            key_ = registry_.Create(*root, subPath);
        }
    }

    // A '"'-quoted string starting at pos, with \\ and \" escapes; pos ends
    // after the closing quote.
    std::string ReadQuoted(const std::string& line, std::size_t& pos) const {
        std::string result;
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return result;
            }
            if (c == '\\') {
                if (pos + 1 >= line.size()) break;
                const char escaped = line[++pos];
                if (escaped != '\\' && escaped != '"') Fail(std::string("unknown escape '\\") + escaped + "'");
                result += escaped;
            } else {
                result += c;
            }
        }
        Fail("unterminated string");
    }

    void ReadValueLine(const std::string& line) {
        std::size_t pos = 0;
        std::string valueName;
        if (line[0] == '@') {
            pos = 1;
        } else {
            valueName = ReadQuoted(line, pos);
        }
        while (pos < line.size() && text::IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') Fail("expected \"name\"=value");
        if (!key_) Fail("value outside a key");
        const std::string data = text::TrimBlanks(line.substr(pos + 1));
        ReadValueData(valueName, data);
    }

    void ReadValueData(const std::string& valueName, const std::string& data) {
        if (data == "-") {
            Registry::DeleteValue(*key_, valueName);
        } else if (!data.empty() && data[0] == '"') {
            std::size_t pos = 0;
            const std::string textValue = ReadQuoted(data, pos);
            if (pos != data.size()) Fail("unexpected text after the string");
            Registry::SetValue(*key_, valueName, platform::REG_SZ, Registry::SzData(textValue));
        } else if (StartsWithNoCase(data, "dword:")) {
            const std::string digits = data.substr(6);
            const std::optional<std::uint32_t> number = ParseHexNumber(digits, 8);
            if (!number) Fail("bad dword '" + digits + "': expected 1 to 8 hex digits");
            Registry::SetValue(*key_, valueName, platform::REG_DWORD, Registry::DwordData(*number));
        } else if (StartsWithNoCase(data, "hex:")) {
            Registry::SetValue(*key_, valueName, platform::REG_BINARY, ReadHexBytes(data.substr(4)));
        } else if (StartsWithNoCase(data, "hex(")) {
            const std::size_t close = data.find("):");
            const std::optional<std::uint32_t> type =
                close == std::string::npos ? std::nullopt : ParseHexNumber(data.substr(4, close - 4), 8);
            if (!type) Fail("bad value type in '" + data + "'");
            std::string bytes = ReadHexBytes(data.substr(close + 2));
            // Version 5 writes the bytes of strings as UTF-16.
            if (unicode_ && (*type == platform::REG_SZ || *type == platform::REG_EXPAND_SZ || *type == platform::REG_MULTI_SZ)) {
                const Converted converted = FromUtf16(bytes, false, codePage_);
                if (!converted.problem.empty()) Fail(converted.problem);
                if (converted.replaced > 0 && replaced.count == 0) replaced.firstLine = LineNumber();
                replaced.count += converted.replaced;
                bytes = converted.text;
            }
            Registry::SetValue(*key_, valueName, *type, bytes);
        } else {
            Fail("unknown value data '" + data + "'");
        }
    }

    // Comma-separated hex bytes; a '\' ending a line continues the list on
    // the next one (index_ then moves on).
    std::string ReadHexBytes(std::string rest) {
        std::string bytes;
        for (;;) {
            rest = text::TrimBlanks(rest);
            const bool continued = !rest.empty() && rest.back() == '\\';
            if (continued) rest.pop_back();
            std::size_t begin = 0;
            while (begin <= rest.size() && !rest.empty()) {
                std::size_t end = rest.find(',', begin);
                if (end == std::string::npos) end = rest.size();
                const std::string item = text::TrimBlanks(rest.substr(begin, end - begin));
                const bool lastItem = end == rest.size();
                if (item.empty() && !(lastItem && continued)) Fail("missing hex byte");
                if (!item.empty()) {
                    const std::optional<std::uint32_t> byte = ParseHexNumber(item, 2);
                    if (!byte) Fail("bad hex byte '" + item + "'");
                    bytes += static_cast<char>(*byte);
                }
                begin = end + 1;
            }
            if (!continued) return bytes;
            if (++index_ >= lines_.size()) {
                --index_;
                Fail("hex data continued past the end of the file");
            }
            rest = LineText();
        }
    }
};

// --- Writing ---

std::string QuoteString(const std::string& s) {
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// REG_SZ data the "..." form gives back exactly.
bool IsPlainString(const Registry::Value& value) {
    const std::string& data = value.data;
    return value.type == platform::REG_SZ && !data.empty() && data.back() == '\0' &&
           data.find('\0') == data.size() - 1 && !HasLineBreak(data);
}

std::string HexByte(unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    return std::string{digits[byte >> 4], digits[byte & 0xF]};
}

std::string HexType(std::uint32_t type) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[type & 0xF]);
        type >>= 4;
    } while (type != 0);
    return digits;
}

// `"name"=data`; wrap continues long hex lines with '\' as regedit does.
std::string FormatValue(const Registry::Value& value, bool wrap) {
    std::string line = (value.name.empty() ? std::string("@") : QuoteString(value.name)) + "=";
    if (IsPlainString(value)) return line + QuoteString(value.data.substr(0, value.data.size() - 1));
    if (value.type == platform::REG_DWORD && value.data.size() == 4) {
        std::string digits;
        for (std::size_t i = 4; i-- > 0;) digits += HexByte(static_cast<unsigned char>(value.data[i]));
        return line + "dword:" + digits;
    }
    line += value.type == platform::REG_BINARY ? "hex:" : "hex(" + HexType(value.type) + "):";
    std::size_t column = line.size();
    bool lineHasBytes = false;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::string item = HexByte(static_cast<unsigned char>(value.data[i]));
        if (i + 1 < value.data.size()) item += ',';
        if (wrap && lineHasBytes && column + item.size() + 1 > kWrapColumn) {
            line += "\\\r\n  ";
            column = 2;
        }
        line += item;
        column += item.size();
        lineHasBytes = true;
    }
    return line;
}

// A name that would not read back as written.
void CheckNames(const std::string& path, const Registry::Key& key, bool isRoot) {
    if (!isRoot && (key.name.empty() || key.name.find('\\') != std::string::npos || HasLineBreak(key.name)))
        throw std::invalid_argument("key '" + path + "' cannot be saved as REGEDIT4: bad name");
    for (const Registry::Value& value : key.values) {
        if (HasLineBreak(value.name))
            throw std::invalid_argument("value of key '" + path + "' cannot be saved as REGEDIT4: line break in its name");
    }
}

// Calls visit(path, key, isRoot) for root keys with values and every key
// below them, parents first.
template <typename Visit>
void WalkTree(const std::string& path, const Registry::Key& key, Visit& visit) {
    for (const auto& child : key.subKeys) {
        const std::string childPath = path + "\\" + child->name;
        visit(childPath, *child, false);
        WalkTree(childPath, *child, visit);
    }
}

template <typename Visit>
void WalkRegistry(const Registry& registry, Visit visitKey) {
    for (platform::HKey root : kRootOrder) {
        const Registry::Key& rootKey = *registry.Find(root, "");
        const std::string rootName = Registry::RootName(root);
        if (!rootKey.values.empty()) visitKey(rootName, rootKey, true);
        WalkTree(rootName, rootKey, visitKey);
    }
}

}  // namespace

void Registry::ImportRegFile(const std::string& text, std::uint32_t codePage) {
    Registry updated(*this);
    RegFileReader(text, updated, codePage).Run();
    *this = updated;
}

Registry Registry::ParseRegFile(const std::string& text, std::uint32_t codePage, Replaced* replaced) {
    Registry registry;
    RegFileReader reader(text, registry, codePage);
    reader.Run();
    if (replaced) *replaced = reader.replaced;
    return registry;
}

std::string Registry::ExportRegFile() const {
    std::string out = "REGEDIT4\r\n";
    WalkRegistry(*this, [&out](const std::string& path, const Key& key, bool isRoot) {
        CheckNames(path, key, isRoot);
        out += "\r\n[" + path + "]\r\n";
        for (const Value& value : key.values) out += FormatValue(value, true) + "\r\n";
    });
    return out + "\r\n";
}

std::vector<std::string> Registry::Flatten() const {
    std::vector<std::string> lines;
    WalkRegistry(*this, [&lines](const std::string& path, const Key& key, bool isRoot) {
        if (!isRoot) lines.push_back(path);
        for (const Value& value : key.values) lines.push_back(path + "\\" + FormatValue(value, false));
    });
    return lines;
}

}  // namespace vm
