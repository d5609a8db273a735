// The virtual machine's reading of setup.rc against the .res file windres
// builds from it: every dialog and string must be what the reader says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include "platform/vm/dialog_templates.h"
#include "platform/vm/rc_constants.h"

namespace {

// Little-endian fields of a .res file from pos, UTF-16 texts turned into UTF-8.
struct Reader {
    const std::string& bytes;
    std::size_t pos;

    std::uint32_t U16() {
        if (pos + 2 > bytes.size()) throw std::runtime_error("truncated .res file");
        pos += 2;
        return static_cast<unsigned char>(bytes[pos - 2]) | static_cast<unsigned char>(bytes[pos - 1]) << 8;
    }
    std::uint32_t U32() { return U16() | U16() << 16; }
    int S16() { return static_cast<std::int16_t>(U16()); }
    void Align(std::size_t base) { pos = base + ((pos - base + 3) & ~std::size_t{3}); }
    std::string Text(std::uint32_t length = 0xFFFFFFFF) {  // "#n" for an ordinal; no text leaves the BMP
        std::string out;
        for (std::uint32_t c = 0, i = 0; i < length && (c = U16()) != 0; ++i) {
            if (c == 0xFFFF && out.empty() && length == 0xFFFFFFFF) return "#" + std::to_string(U16());
            const auto byte = [](std::uint32_t b) { return static_cast<char>(b); };
            out += c < 0x80 ? std::string(1, byte(c)) : c < 0x800 ? std::string{byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))}
                                                                  : std::string{byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
        }
        return out;
    }
};

// One line per dialog and per control, as either side sees it.
std::string Describe(const vm::DialogTemplate& d) {
    std::ostringstream out;
    out << std::hex << d.title << " " << d.style << " " << d.exStyle << std::dec << " " << d.x << "," << d.y << " " << d.width << "x"
        << d.height << " " << d.fontName << " " << d.fontSize << " " << d.fontWeight << " " << d.fontItalic << " " << d.fontCharset << "\n";
    for (const vm::ControlTemplate& c : d.controls) {
        const bool icon = c.windowClass == "Static" && (c.style & 0xF) == 3;  // the compiler stores no icon size
        out << c.id << " " << c.windowClass << " " << (c.iconId >= 0 ? "#" + std::to_string(c.iconId) : c.text) << " " << std::hex << c.style
            << " " << c.exStyle << std::dec << " " << c.x << "," << c.y << " " << (icon ? 0 : c.width) << "x" << (icon ? 0 : c.height) << "\n";
    }
    return out.str();
}

vm::DialogTemplate ReadDialog(Reader in) {
    const std::size_t base = in.pos;
    vm::DialogTemplate d;
    if (in.U16() != 1 || in.U16() != 0xFFFF) throw std::runtime_error("not a DIALOGEX template");
    in.U32();  // help id
    d.exStyle = in.U32(), d.style = in.U32();
    const std::uint32_t count = in.U16();
    d.x = in.S16(), d.y = in.S16(), d.width = in.S16(), d.height = in.S16();
    in.Text(), in.Text();  // menu, window class
    d.title = in.Text();
    if (d.style & 0x40) {  // DS_SETFONT
        d.fontSize = static_cast<int>(in.U16()), d.fontWeight = static_cast<int>(in.U16());
        const std::uint32_t italicAndCharset = in.U16();
        d.fontItalic = (italicAndCharset & 0xFF) != 0, d.fontCharset = static_cast<int>(italicAndCharset >> 8);
        d.fontName = in.Text();
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        in.Align(base);
        vm::ControlTemplate c;
        in.U32();  // help id
        c.exStyle = in.U32(), c.style = in.U32();
        c.x = in.S16(), c.y = in.S16(), c.width = in.S16(), c.height = in.S16();
        c.id = static_cast<std::int32_t>(in.U32());
        c.windowClass = in.Text();
        c.windowClass = c.windowClass == "#128" ? "Button" : c.windowClass == "#130" ? "Static" : c.windowClass;
        c.text = in.Text();
        in.pos += in.U16();  // creation data
        d.controls.push_back(c);
    }
    return d;
}

TEST(WindresAgreement, ReaderSeesWhatTheCompilerBuilds) {
    if (std::system("command -v x86_64-w64-mingw32-windres >/dev/null 2>&1") != 0) GTEST_SKIP() << "no windres on this machine";
    const std::string res = testing::TempDir() + "windres_agreement_" + std::to_string(::getpid()) + ".res";  // runs in other trees share the folder
    const std::string command = "x86_64-w64-mingw32-windres \"" SETUP_SOURCE_DIR "/src/resources/setup.rc\" -O res -o \"" + res + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(res, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const vm::ResourceScript& read = vm::ProgramResources();
    std::size_t dialogs = 0, strings = 0;
    for (std::size_t pos = 0; pos + 32 <= bytes.size();) {
        Reader header{bytes, pos};
        const std::uint32_t dataSize = header.U32(), headerSize = header.U32();
        const std::string type = header.Text(), name = header.Text();
        header.Align(pos), header.U32(), header.U16();  // data version, memory flags
        const auto language = static_cast<std::uint16_t>(header.U16());
        const std::size_t data = pos + headerSize;
        ASSERT_LE(data + dataSize, bytes.size());
        pos = (data + dataSize + 3) & ~std::size_t{3};
        if (type == "#5") {
            ++dialogs;
            const auto seen = std::find_if(read.dialogs.begin(), read.dialogs.end(), [&](const vm::DialogTemplate& d) { return "#" + std::to_string(d.id) == name && d.languageId == language; });
            ASSERT_NE(seen, read.dialogs.end()) << name << " " << language;
            EXPECT_EQ(Describe(*seen), Describe(ReadDialog({bytes, data}))) << name << " " << language;
        }
        Reader body{bytes, data};
        for (int i = 0; type == "#6" && i < 16; ++i) {
            const std::string text = body.Text(body.U16());
            const int id = (std::stoi(name.substr(1)) - 1) * 16 + i;
            if (text.empty()) continue;
            ++strings;
            EXPECT_TRUE(std::any_of(read.strings.begin(), read.strings.end(), [&](const vm::ResourceString& s) {
                return s.id == id && s.language == vm::rc::LanguageName(language) && s.text == text; })) << id << " " << language << " " << text;
        }
    }
    EXPECT_EQ(dialogs, read.dialogs.size());
    EXPECT_EQ(strings, read.strings.size());
}

}  // namespace
