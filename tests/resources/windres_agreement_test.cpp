// The virtual machine's reading of setup.rc against what the resource
// compiler builds into setup.exe: windres compiles the scripts to a .res
// file, and every dialog and string in it must be what the reader says.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/vm/dialog_templates.h"
#include "platform/vm/rc_constants.h"

namespace {

// Little-endian fields of a .res file, with UTF-16 texts turned into UTF-8.
class Reader {
public:
    Reader(const std::vector<unsigned char>& bytes, std::size_t begin, std::size_t end)
        : bytes_(bytes), pos_(begin), end_(end) {}

    std::size_t Pos() const { return pos_; }
    void Align4(std::size_t base) { pos_ = base + ((pos_ - base + 3) & ~std::size_t{3}); }
    void Skip(std::size_t count) {
        Need(count);
        pos_ += count;
    }
    std::uint32_t U8() {
        Need(1);
        return bytes_[pos_++];
    }
    std::uint32_t U16() {
        const std::uint32_t low = U8();
        return low | U8() << 8;
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | U16() << 16;
    }
    int S16() { return static_cast<std::int16_t>(U16()); }

    // A text, or "#n" for an ordinal (0xFFFF, n).
    std::string TextOrOrdinal() {
        std::uint32_t unit = U16();
        if (unit == 0xFFFF) return "#" + std::to_string(U16());
        std::string out;
        for (; unit != 0; unit = U16()) {
            std::uint32_t code = unit;
            if (unit >= 0xD800 && unit < 0xDC00) code = 0x10000 + ((unit - 0xD800) << 10) + (U16() - 0xDC00);
            AppendUtf8(out, code);
        }
        return out;
    }

    std::string CountedText() {
        std::string out;
        for (std::uint32_t length = U16(); length > 0; --length) AppendUtf8(out, U16());
        return out;
    }

private:
    void Need(std::size_t count) const {
        if (pos_ + count > end_) throw std::runtime_error("truncated .res file");
    }
    static void AppendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const std::vector<unsigned char>& bytes_;
    std::size_t pos_;
    std::size_t end_;
};

struct Compiled {
    std::vector<vm::DialogTemplate> dialogs;
    std::vector<vm::ResourceString> strings;
};

vm::DialogTemplate ReadDialog(Reader in, int id, std::uint16_t languageId) {
    const std::size_t base = in.Pos();
    vm::DialogTemplate dialog;
    dialog.id = id;
    dialog.languageId = languageId;
    if (in.U16() != 1 || in.U16() != 0xFFFF) throw std::runtime_error("not a DIALOGEX template");
    in.U32();  // help id
    dialog.exStyle = in.U32();
    dialog.style = in.U32();
    const std::uint32_t count = in.U16();
    dialog.x = in.S16();
    dialog.y = in.S16();
    dialog.width = in.S16();
    dialog.height = in.S16();
    in.TextOrOrdinal();  // menu
    in.TextOrOrdinal();  // window class
    dialog.title = in.TextOrOrdinal();
    if (dialog.style & 0x40) {
        dialog.fontSize = static_cast<int>(in.U16());
        dialog.fontWeight = static_cast<int>(in.U16());
        dialog.fontItalic = in.U8() != 0;
        dialog.fontCharset = static_cast<int>(in.U8());
        dialog.fontName = in.TextOrOrdinal();
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        in.Align4(base);
        vm::ControlTemplate control;
        in.U32();  // help id
        control.exStyle = in.U32();
        control.style = in.U32();
        control.x = in.S16();
        control.y = in.S16();
        control.width = in.S16();
        control.height = in.S16();
        control.id = static_cast<std::int32_t>(in.U32());
        const std::string windowClass = in.TextOrOrdinal();
        control.windowClass = windowClass == "#128" ? "Button" : windowClass == "#130" ? "Static" : windowClass;
        control.text = in.TextOrOrdinal();
        in.Skip(in.U16());  // creation data
        dialog.controls.push_back(control);
    }
    return dialog;
}

Compiled ReadRes(const std::vector<unsigned char>& bytes) {
    Compiled compiled;
    std::size_t pos = 0;
    while (pos + 32 <= bytes.size()) {
        Reader header(bytes, pos, bytes.size());
        const std::uint32_t dataSize = header.U32();
        const std::uint32_t headerSize = header.U32();
        const std::string type = header.TextOrOrdinal();
        const std::string name = header.TextOrOrdinal();
        header.Align4(pos);
        header.U32();  // data version
        header.U16();  // memory flags
        const auto languageId = static_cast<std::uint16_t>(header.U16());
        const std::size_t data = pos + headerSize;
        if (data + dataSize > bytes.size()) throw std::runtime_error("truncated .res file");
        Reader body(bytes, data, data + dataSize);
        if (type == "#5") compiled.dialogs.push_back(ReadDialog(body, std::stoi(name.substr(1)), languageId));
        if (type == "#6") {
            const int first = (std::stoi(name.substr(1)) - 1) * 16;
            for (int i = 0; i < 16; ++i) {
                std::string text = body.CountedText();
                if (!text.empty()) compiled.strings.push_back({first + i, vm::rc::LanguageName(languageId), text});
            }
        }
        pos = (data + dataSize + 3) & ~std::size_t{3};
    }
    return compiled;
}

// windres for either target, or "" when neither is installed.
std::string FindWindres() {
    for (const char* tool : {"x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres"}) {
        if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0) return tool;
    }
    return "";
}

TEST(WindresAgreementTest, ReaderSeesWhatTheCompilerBuilds) {
    const std::string windres = FindWindres();
    if (windres.empty()) GTEST_SKIP() << "no windres on this machine";
    const std::string res = testing::TempDir() + "windres_agreement_setup.res";
    const std::string command = windres + " \"" SETUP_SOURCE_DIR "/src/resources/setup.rc\" -O res -o \"" + res + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(res, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const Compiled compiled = ReadRes(bytes);

    const vm::ResourceScript& read = vm::ProgramResources();
    ASSERT_EQ(compiled.dialogs.size(), read.dialogs.size());
    for (const vm::DialogTemplate& built : compiled.dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(built.id) + " language " + std::to_string(built.languageId));
        const vm::DialogTemplate* seen = nullptr;
        for (const vm::DialogTemplate& dialog : read.dialogs) {
            if (dialog.id == built.id && dialog.languageId == built.languageId) seen = &dialog;
        }
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(seen->title, built.title);
        EXPECT_EQ(seen->style, built.style);
        EXPECT_EQ(seen->exStyle, built.exStyle);
        EXPECT_EQ(seen->x, built.x);
        EXPECT_EQ(seen->y, built.y);
        EXPECT_EQ(seen->width, built.width);
        EXPECT_EQ(seen->height, built.height);
        EXPECT_EQ(seen->fontName, built.fontName);
        EXPECT_EQ(seen->fontSize, built.fontSize);
        EXPECT_EQ(seen->fontWeight, built.fontWeight);
        EXPECT_EQ(seen->fontItalic, built.fontItalic);
        EXPECT_EQ(seen->fontCharset, built.fontCharset);
        ASSERT_EQ(seen->controls.size(), built.controls.size());
        for (std::size_t i = 0; i < built.controls.size(); ++i) {
            SCOPED_TRACE("control " + std::to_string(i));
            const vm::ControlTemplate& a = seen->controls[i];
            const vm::ControlTemplate& b = built.controls[i];
            EXPECT_EQ(a.id, b.id);
            EXPECT_EQ(a.windowClass, b.windowClass);
            EXPECT_EQ(a.iconId >= 0 ? "#" + std::to_string(a.iconId) : a.text, b.text);
            EXPECT_EQ(a.style, b.style);
            EXPECT_EQ(a.exStyle, b.exStyle);
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.y, b.y);
            // The compiler does not store an icon's size: the icon sizes itself.
            EXPECT_EQ(a.kind == "ICON" ? 0 : a.width, b.width);
            EXPECT_EQ(a.kind == "ICON" ? 0 : a.height, b.height);
        }
    }
    ASSERT_EQ(compiled.strings.size(), read.strings.size());
    for (const vm::ResourceString& built : compiled.strings) {
        bool seen = false;
        for (const vm::ResourceString& string : read.strings) {
            seen = seen || (string.id == built.id && string.language == built.language && string.text == built.text);
        }
        EXPECT_TRUE(seen) << built.id << " " << built.language << " \"" << built.text << "\"";
    }
}

}  // namespace
