#include "platform/vm/code_page.h"

namespace vm {

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the code page has no character.
constexpr char16_t k1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte for a character; nullopt where the code page has none (setupsim
// converts only ASCII into the code pages of Asian languages).
std::optional<char> ToCodePage(char32_t c, std::uint32_t codePage) {
    if (c < 0x80) return static_cast<char>(c);
    if (codePage != 1252) return std::nullopt;
    if (c >= 0xA0 && c <= 0xFF) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (k1252High[i] != 0 && k1252High[i] == c) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

bool Add(Converted& out, char32_t c, std::size_t at, std::uint32_t codePage) {
    const std::optional<char> byte = ToCodePage(c, codePage);
    if (byte) {
        out.text += *byte;
        return true;
    }
    if (codePage == 1252) {
        if (out.replaced++ == 0) out.firstReplacedAt = at;
        out.text += '?';
        return true;
    }
    char hex[12];
    const char* digits = "0123456789ABCDEF";
    int n = 0;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) hex[n++] = digits[(c >> shift) & 15];
    out.problem = "the character U+" + std::string(hex, static_cast<std::size_t>(n)) + " has no place in code page " +
                  std::to_string(codePage);
    out.badAt = at;
    return false;
}

}  // namespace

std::uint32_t CodePageOf(const std::string& language) {
    if (language == "Japanese") return 932;
    if (language == "Korean") return 949;
    if (language == "ChineseTraditional") return 950;
    return 1252;
}

Converted FromUtf16(const std::string& bytes, bool bigEndian, std::uint32_t codePage) {
    Converted out;
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? a << 8 | b : b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        }
        if (!Add(out, c, i / 2, codePage)) return out;
    }
    if (bytes.size() % 2 != 0) {
        out.problem = "an odd number of bytes is no UTF-16 text";
        out.badAt = bytes.size() / 2;
    }
    return out;
}

Converted FromUtf8(const std::string& bytes, std::uint32_t codePage) {
    Converted out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!valid) {
            out.problem = "the bytes are not UTF-8 text";
            out.badAt = i;
            return out;
        }
        if (!Add(out, c, i, codePage)) return out;
        i += length;
    }
    return out;
}

}  // namespace vm
