// The resource-script reader on small scripts: the styles windres computes,
// the preprocessing our scripts use, and clear errors for everything else.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/vm/dialog_templates.h"

namespace {

using Files = std::map<std::string, std::string>;

vm::ResourceScript Parse(const Files& files, const std::string& main = "main.rc") {
    return vm::ParseResourceScript(main, [&files](const std::string& name) -> std::optional<std::string> {
        const auto found = files.find(name);
        if (found == files.end()) return std::nullopt;
        return found->second;
    });
}

std::string DialogWith(const std::string& header, const std::string& controls) {
    return "7 DIALOGEX 0, 0, 100, 50\n" + header + "BEGIN\n" + controls + "END\n";
}

// Expected values are what windres 2.x puts into the compiled template.
TEST(ResourceScriptTest, ControlStylesAsWindresBuildsThem) {
    const struct {
        const char* statement;
        std::uint32_t style;
        std::uint32_t exStyle;
    } rows[] = {
        {"LTEXT \"a\", -1, 1, 2, 3, 4", 0x50020000, 0},
        {"LTEXT \"a\", -1, 1, 2, 3, 4, SS_NOPREFIX", 0x50000080, 0},  // explicit styles drop WS_GROUP
        {"LTEXT \"a\", -1, 1, 2, 3, 4, SS_NOPREFIX | WS_GROUP", 0x50020080, 0},
        {"LTEXT \"a\", -1, 1, 2, 3, 4, NOT WS_GROUP", 0x50000000, 0},
        {"CTEXT \"a\", 5, 1, 2, 3, 4", 0x50020001, 0},
        {"RTEXT \"a\", 5, 1, 2, 3, 4, WS_TABSTOP", 0x50010002, 0},
        {"AUTORADIOBUTTON \"a\", 5, 1, 2, 3, 4", 0x50010009, 0},
        {"AUTORADIOBUTTON \"a\", 5, 1, 2, 3, 4, WS_GROUP", 0x50020009, 0},  // and the tab stop
        {"AUTORADIOBUTTON \"a\", 5, 1, 2, 3, 4, NOT WS_TABSTOP | WS_GROUP", 0x50020009, 0},
        {"RADIOBUTTON \"a\", 5, 1, 2, 3, 4", 0x50010004, 0},
        {"AUTOCHECKBOX \"a\", 5, 1, 2, 3, 4, WS_GROUP", 0x50030003, 0},  // keeps its tab stop
        {"CHECKBOX \"a\", 5, 1, 2, 3, 4", 0x50010002, 0},
        {"DEFPUSHBUTTON \"a\", 5, 1, 2, 3, 4, NOT WS_VISIBLE", 0x40010001, 0},
        {"PUSHBUTTON \"a\", 5, 1, 2, 3, 4, WS_GROUP, WS_EX_CLIENTEDGE", 0x50030000, 0x200},
        {"PUSHBUTTON \"a\", 5, 1, 2, 3, 4, (WS_DISABLED | WS_GROUP) | NOT WS_TABSTOP", 0x58020000, 0},
        {"GROUPBOX \"a\", 5, 1, 2, 3, 4", 0x50000007, 0},
        {"ICON 128, -1, 1, 2", 0x50000003, 0},
        {"ICON 128, -1, 1, 2, 3, 4, WS_GROUP", 0x50020003, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.statement);
        const vm::ResourceScript script = Parse({{"main.rc", DialogWith("", std::string(row.statement) + "\n")}});
        ASSERT_EQ(script.dialogs.size(), 1u);
        ASSERT_EQ(script.dialogs[0].controls.size(), 1u);
        const vm::ControlTemplate& control = script.dialogs[0].controls[0];
        EXPECT_EQ(control.style, row.style);
        EXPECT_EQ(control.exStyle, row.exStyle);
        EXPECT_EQ(control.tabStop, (row.style & 0x00010000) != 0);
        EXPECT_EQ(control.groupStart, (row.style & 0x00020000) != 0);
    }
}

TEST(ResourceScriptTest, DialogStylesAsWindresBuildsThem) {
    const struct {
        const char* header;
        std::uint32_t style;
    } rows[] = {
        {"", 0x80880000},  // WS_POPUP | WS_BORDER | WS_SYSMENU
        {"STYLE WS_POPUP\n", 0x80000000},
        {"CAPTION \"x\"\nSTYLE WS_POPUP\n", 0x80C00000},
        {"STYLE WS_POPUP\nCAPTION \"x\"\n", 0x80C00000},
        {"STYLE WS_POPUP\nFONT 8, \"MS Sans Serif\"\n", 0x80000040},
        {"FONT 8, \"MS Sans Serif\"\n", 0x80880040},
        {"STYLE WS_POPUP | WS_SYSMENU | NOT WS_SYSMENU | DS_MODALFRAME\n", 0x80000080},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.header);
        const vm::ResourceScript script = Parse({{"main.rc", DialogWith(row.header, "")}});
        ASSERT_EQ(script.dialogs.size(), 1u);
        EXPECT_EQ(script.dialogs[0].style, row.style);
    }
}

TEST(ResourceScriptTest, PreprocessingLanguagesAndStrings) {
    const Files files = {
        {"main.rc",
         "#include <windows.h>\n"
         "#include \"ids.h\"\n"
         "#include \"ids.h\"\n"  // #pragma once: read once
         "#pragma code_page(65001)\n"
         "/* a comment\n   over two lines */\n"
         "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n"
         "IDD_ONE DIALOGEX 0, 0, WIDTH, 20\n"
         "CAPTION \"say \"\"hi\"\" // not a comment \\\\ \\\"\"\n"
         "FONT 12, \"MS Sans Serif\", 700, 1, 0x80\n"
         "BEGIN\n"
         "    LTEXT \"é\", ID_TEXT, -2, (1 + 2) & 3, 0x10, 8  // a comment\n"
         "END\n"
         "STRINGTABLE\n"
         "BEGIN\n"
         "    7 \"seven\"\n"
         "    ID_TEXT, \"text\"\n"
         "END\n"
         "#include \"english.rci\"\n"},
        {"ids.h", "#pragma once\n#define IDD_ONE 3\n#define BASE 1000\n#define ID_TEXT (BASE + 1)\n#define WIDTH 0x40\n"},
        {"english.rci", "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n1 VERSIONINFO\nFILEVERSION 1,0,0,0\nBEGIN\n"
                        "BLOCK \"x\"\nBEGIN\nVALUE \"a\", \"b\"\nEND\nEND\nIDD_ONE DIALOGEX 0, 0, 1, 1\n{\n}\n"},
    };
    const vm::ResourceScript script = Parse(files);
    ASSERT_EQ(script.dialogs.size(), 2u);
    const vm::DialogTemplate& french = script.dialogs[0];
    EXPECT_EQ(french.id, 3);
    EXPECT_EQ(french.language, "French");
    EXPECT_EQ(french.languageId, 0x040C);
    EXPECT_EQ(french.width, 0x40);
    EXPECT_EQ(french.title, "say \"hi\" // not a comment \\ \"");
    EXPECT_EQ(french.fontWeight, 700);
    EXPECT_TRUE(french.fontItalic);
    EXPECT_EQ(french.fontCharset, 0x80);
    ASSERT_EQ(french.controls.size(), 1u);
    EXPECT_EQ(french.controls[0].id, 1001);
    EXPECT_EQ(french.controls[0].text, "\xC3\xA9");
    EXPECT_EQ(french.controls[0].x, -2);
    EXPECT_EQ(french.controls[0].y, 3);
    EXPECT_EQ(french.controls[0].width, 16);
    EXPECT_EQ(script.dialogs[1].language, "English");
    EXPECT_TRUE(script.dialogs[1].controls.empty());
    ASSERT_EQ(script.strings.size(), 2u);
    EXPECT_EQ(*vm::FindResourceString(script, 1001, "French"), "text");
    EXPECT_EQ(*vm::FindResourceString(script, 7, "Korean"), "seven");
}

TEST(ResourceScriptTest, LoaderChoosesLanguageThenNeutralThenEnglishThenFirst) {
    const std::string dialog = " DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n";
    const Files files = {{"main.rc",
                          "LANGUAGE LANG_JAPANESE, SUBLANG_DEFAULT\n1" + dialog + "2" + dialog + "3" + dialog +
                              "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n2" + dialog + "3" + dialog +
                              "LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL\n3" + dialog +
                              "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL\n4" + dialog}};
    const vm::ResourceScript script = Parse(files);
    const struct {
        int id;
        const char* asked;
        const char* found;
    } rows[] = {
        {1, "Korean", "Japanese"}, {2, "Korean", "English"}, {3, "Korean", "Neutral"},
        {3, "English", "English"}, {2, "Japanese", "Japanese"}, {4, "English", "ChineseTraditional"},
    };
    for (const auto& row : rows) {
        const vm::DialogTemplate* found = vm::FindDialogTemplate(script, row.id, row.asked);
        ASSERT_NE(found, nullptr) << row.id << " " << row.asked;
        EXPECT_EQ(found->language, row.found) << row.id << " " << row.asked;
    }
    EXPECT_EQ(vm::FindDialogTemplate(script, 5, "English"), nullptr);
}

TEST(ResourceScriptTest, RefusesWhatItWouldMisread) {
    const struct {
        Files files;
        const char* error;
    } rows[] = {
        {{{"main.rc", DialogWith("", "LTEXT \"a\", IDC_NOPE, 1, 2, 3, 4\n")}}, "main.rc:3: unknown name IDC_NOPE"},
        {{{"main.rc", DialogWith("CAPTION \"open\n", "")}}, "main.rc:2: string without its closing quote"},
        {{{"main.rc", DialogWith("CAPTION \"\\q\"\n", "")}}, "escape sequence"},
        {{{"main.rc", "#if 0\n#endif\n"}}, "main.rc:1: unsupported directive #if"},
        {{{"main.rc", "#pragma code_page(1252)\n"}}, "only #pragma code_page(65001)"},
        {{{"main.rc", "#define F(x) x\n"}}, "parameters"},
        {{{"main.rc", "#include \"gone.rci\"\n"}}, "main.rc:1: included file \"gone.rci\" not found"},
        {{{"main.rc", "#include \"main.rc\"\n"}}, "nested too deeply"},
        {{{"main.rc", "#define A (A)\n" + DialogWith("", "LTEXT \"a\", A, 1, 2, 3, 4\n")}}, "refers to itself"},
        {{{"main.rc", DialogWith("", "") + DialogWith("", "")}}, "dialog 7 defined twice for English"},
        {{{"main.rc", DialogWith("", "LTEXT \"a\", 9, 1, 2, 3, 4\nLTEXT \"b\", 9, 1, 2, 3, 4\n")}}, "used twice"},
        {{{"main.rc", DialogWith("", "CONTROL \"a\", 9, \"Button\", 0, 1, 2, 3, 4\n")}},
         "unsupported control statement 'CONTROL'"},
        {{{"main.rc", DialogWith("", "LTEXT \"a\", 9, 1, 2, 3, 4, 0, 0, 5\n")}}, "help ids"},
        {{{"main.rc", DialogWith("MENU 5\n", "")}}, "unsupported dialog statement 'MENU'"},
        {{{"main.rc", "1 DIALOG 0, 0, 1, 1\nBEGIN\nEND\n"}}, "unsupported resource type 'DIALOG'"},
        {{{"main.rc", "NAMED DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n"}}, "a dialog needs a number"},
        {{{"main.rc", "1 DIALOGEX 0, 0, 70000, 1\nBEGIN\nEND\n"}}, "out of range"},
        {{{"main.rc", "1 DIALOGEX 0, 0, 1, 1\nBEGIN\nLTEXT \"a\", 9, 1, 2, 3, 4\n"}}, "unexpected end"},
        {{{"main.rc", "1 DIALOGEX 0, 0, 010, 1\nBEGIN\nEND\n"}}, "leading zero"},
        {{{"main.rc", "STRINGTABLE\nBEGIN\n1 \"a\"\n1 \"b\"\nEND\n"}}, "string 1 defined twice"},
        {{{"main.rc", "1 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n\xE2\x80\x94\n"}}, "main.rc:4: unexpected character"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.files.begin()->second);
        try {
            Parse(row.files);
            ADD_FAILURE() << "no error, expected: " << row.error;
        } catch (const vm::rc::ScriptError& error) {
            EXPECT_NE(std::string(error.what()).find(row.error), std::string::npos) << error.what();
        }
    }
}

}  // namespace
