#include "platform/vm/profile.h"

#include <cstdint>
#include <limits>

#include "platform/vm/name_compare.h"
#include "platform/vm/text_lines.h"

namespace vm::profile {
namespace {

enum class LineKind {
    Other,    // blank, comment, text before any section, or a line without '='
    Section,  // "[name]"
    Key,      // "key=value"
};

struct ParsedLine {
    text::Line at;
    LineKind kind = LineKind::Other;
    std::string name;   // section or key name, blanks trimmed
    std::string value;  // key value, blanks trimmed, quotes kept
};

// A Ctrl-Z counts as a blank: profiles from DOS-era tools end in one.
bool IsProfileBlank(char c) { return text::IsBlank(c) || c == '\x1A'; }

std::string TrimLeading(const std::string& s) {
    std::size_t first = 0;
    while (first < s.size() && IsProfileBlank(s[first])) ++first;
    return s.substr(first);
}

std::string Trim(const std::string& s) {
    std::string trimmed = TrimLeading(s);
    while (!trimmed.empty() && IsProfileBlank(trimmed.back())) trimmed.pop_back();
    return trimmed;
}

ParsedLine ParseLine(const std::string& content, const text::Line& at) {
    ParsedLine parsed;
    parsed.at = at;
    const std::string body = TrimLeading(content.substr(at.begin, at.end - at.begin));
    if (body.empty() || body[0] == ';') return parsed;
    if (body[0] == '[') {
        const std::size_t close = body.find(']', 1);
        if (close != std::string::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(body.substr(1, close - 1));
            return parsed;
        }
        // Without its ']' the line is no header; it may still be a key line.
    }
    const std::size_t equals = body.find('=');
    if (equals == std::string::npos) return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(body.substr(0, equals));
    parsed.value = Trim(body.substr(equals + 1));
    return parsed;
}

// Every line, each tagged with the section it belongs to (-1 before the
// first header).
struct Document {
    std::vector<ParsedLine> lines;
    std::vector<int> sectionOf;
};

Document Parse(const std::string& content) {
    Document doc;
    int section = -1;
    for (const text::Line& at : text::SplitLines(content)) {
        doc.lines.push_back(ParseLine(content, at));
        if (doc.lines.back().kind == LineKind::Section) section = static_cast<int>(doc.lines.size() - 1);
        doc.sectionOf.push_back(section);
    }
    return doc;
}

// Index of the first header line named section, or -1.
int FindSection(const Document& doc, const std::string& section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (doc.lines[i].kind == LineKind::Section && name::Equal(doc.lines[i].name, section))
            return static_cast<int>(i);
    }
    return -1;
}

// Index of the first key line named key in the section headed at
// sectionLine, or -1.
int FindKey(const Document& doc, int sectionLine, const std::string& key) {
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1;
         i < doc.lines.size() && doc.sectionOf[i] == sectionLine; ++i) {
        if (doc.lines[i].kind == LineKind::Key && name::Equal(doc.lines[i].name, key)) return static_cast<int>(i);
    }
    return -1;
}

// The last key line of the section headed at sectionLine, or the header
// itself when the section has no key line.
std::size_t LastKeyLine(const Document& doc, int sectionLine) {
    std::size_t last = static_cast<std::size_t>(sectionLine);
    for (std::size_t i = last + 1; i < doc.lines.size() && doc.sectionOf[i] == sectionLine; ++i) {
        if (doc.lines[i].kind == LineKind::Key) last = i;
    }
    return last;
}

std::string Unquote(const std::string& value) {
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool EndsWithLineEnd(const std::string& content) {
    return !content.empty() && (content.back() == '\n' || content.back() == '\r');
}

}  // namespace

std::optional<std::string> ReadString(const std::string& content, const std::string& section,
                                      const std::string& key) {
    const Document doc = Parse(content);
    const int sectionLine = FindSection(doc, Trim(section));
    if (sectionLine < 0) return std::nullopt;
    const int keyLine = FindKey(doc, sectionLine, Trim(key));
    if (keyLine < 0) return std::nullopt;
    return Unquote(doc.lines[static_cast<std::size_t>(keyLine)].value);
}

int ReadInt(const std::string& content, const std::string& section, const std::string& key,
            int defaultValue, System system) {
    const std::optional<std::string> value = ReadString(content, section, key);
    if (!value) return defaultValue;
    const std::string& text = *value;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative || (system == System::Nt && !text.empty() && text[0] == '+')) ++i;
    // Digits beyond 32 bits wrap around, as the 32-bit result of Windows
    // does ("4294967297" reads as 1).
    std::uint32_t number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number = number * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) number = 0u - number;
    constexpr auto kIntMax = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    if (number <= kIntMax) return static_cast<int>(number);
    return -static_cast<int>(~number) - 1;
}

std::string WriteString(const std::string& content, const std::string& section, const std::string& key,
                        const std::string& value, System system) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    const Document doc = Parse(content);
    const int sectionLine = FindSection(doc, sectionName);
    std::string result = content;

    if (sectionLine < 0) {
        if (!result.empty() && !EndsWithLineEnd(result)) result += "\r\n";
        if (!result.empty() && system == System::Win9x) result += "\r\n";
        result += "[" + sectionName + "]\r\n" + keyName + "=" + value + "\r\n";
        return result;
    }

    const int keyLine = FindKey(doc, sectionLine, keyName);
    if (keyLine >= 0) {
        const ParsedLine& line = doc.lines[static_cast<std::size_t>(keyLine)];
        result.replace(line.at.begin, line.at.end - line.at.begin, line.name + "=" + value);
        return result;
    }

    const text::Line& anchor = doc.lines[LastKeyLine(doc, sectionLine)].at;
    std::string inserted = keyName + "=" + value + "\r\n";
    if (!anchor.terminated()) inserted = "\r\n" + inserted;
    result.insert(anchor.next, inserted);
    return result;
}

std::string RemoveKey(const std::string& content, const std::string& section, const std::string& key) {
    const Document doc = Parse(content);
    const int sectionLine = FindSection(doc, Trim(section));
    const int keyLine = sectionLine < 0 ? -1 : FindKey(doc, sectionLine, Trim(key));
    if (keyLine < 0) return content;
    const text::Line& line = doc.lines[static_cast<std::size_t>(keyLine)].at;
    return content.substr(0, line.begin) + content.substr(line.next);
}

std::vector<Entry> ReadAll(const std::string& content) {
    const Document doc = Parse(content);
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const ParsedLine& line = doc.lines[i];
        if (line.kind != LineKind::Key || doc.sectionOf[i] < 0) continue;
        entries.push_back({doc.lines[static_cast<std::size_t>(doc.sectionOf[i])].name, line.name,
                           Unquote(line.value)});
    }
    return entries;
}

}  // namespace vm::profile
