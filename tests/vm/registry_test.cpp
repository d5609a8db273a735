// The registry as Windows 9x keeps it, and the REGEDIT4 files of machine folders.
#include "platform/vm/registry.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using vm::Registry;

std::string Tree(const Registry& registry, std::string text = "") {
    for (const std::string& line : registry.Flatten()) text += line + "\n";
    return text;
}

TEST(VmRegistry, KeysAndValuesInAnyCaseInCreationOrder) {
    Registry registry;
    Registry::Key* setup = registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Setup");
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\\\orvanta\\SETUP\\"), setup);
    EXPECT_EQ(registry.Create(HKEY_LOCAL_MACHINE, "software\\ORVANTA\\setup"), setup);
    EXPECT_EQ(registry.Find(HKEY_CURRENT_USER, "Software\\Orvanta\\Setup"), nullptr);
    registry.Create(HKEY_LOCAL_MACHINE, "\xC9t\xE9");  // letters outside ASCII match exactly
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "\xE9T\xE9"), nullptr);
    for (const char* name : {"Zeta", "alpha", "Mid"}) registry.Create(HKEY_LOCAL_MACHINE, std::string("software\\orvanta\\") + name);
    for (const char* name : {"Zed", "", "gone", "able"}) Registry::SetValue(*setup, name, REG_SZ, Registry::SzData(name));
    Registry::SetValue(*setup, "ZED", REG_BINARY, "\x01");  // keeps its place and first spelling
    EXPECT_TRUE(Registry::DeleteValue(*setup, "GONE") && !Registry::DeleteValue(*setup, "gone"));
    const std::string s = "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\";
    EXPECT_EQ(Tree(registry), "HKEY_LOCAL_MACHINE\\Software\n" + s.substr(0, s.size() - 1) + "\n" + s + "Setup\n" + s + "Setup\\\"Zed\"=hex:01\n" + s +
                              "Setup\\@=\"\"\n" + s + "Setup\\\"able\"=\"able\"\n" + s + "Zeta\n" + s + "alpha\n" + s + "Mid\nHKEY_LOCAL_MACHINE\\\xC9t\xE9\n");
}

TEST(VmRegistry, RegFileValueForms) {
    auto bytes = [](std::initializer_list<int> list) { return std::string(list.begin(), list.end()); };
    const std::tuple<std::string, std::string, std::uint32_t, std::string> rows[] = {
        {"\"s\"=\"text\"", "s", REG_SZ, std::string("text\0", 5)}, {"\"e\"=\"a\\\\b\\\"c\"", "e", REG_SZ, std::string("a\\b\"c\0", 6)},
        {"@=\"default\"", "", REG_SZ, std::string("default\0", 8)}, {"  \"odd = [x] ;\"  =  \";\"  ", "odd = [x] ;", REG_SZ, std::string(";\0", 2)},
        {"\"d\"=dword:0000abcd", "d", REG_DWORD, bytes({0xcd, 0xab, 0, 0})}, {"\"d\"=DWORD:1", "d", REG_DWORD, bytes({1, 0, 0, 0})},
        {"\"b\"=hex:1, a ,FF", "b", REG_BINARY, bytes({1, 0xa, 0xff})}, {"\"m\"=hex(7):61,00,00", "m", REG_MULTI_SZ, bytes({0x61, 0, 0})},
        {"\"h1\"=hex(1):41,42", "h1", REG_SZ, "AB"}, {"\"c\"=hex:01,\\\r\n  02,\\\n  03", "c", REG_BINARY, bytes({1, 2, 3})},
        {"\"twice\"=\"1\"\r\n\"TWICE\"=dword:2", "twice", REG_DWORD, bytes({2, 0, 0, 0})},
    };
    for (const auto& [line, name, type, data] : rows) {
        const Registry registry = Registry::ParseRegFile("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\T]\r\n" + line + "\r\n");
        const auto& values = registry.Find(HKEY_LOCAL_MACHINE, "T")->values;
        ASSERT_EQ(values.size(), 1u) << line;
        EXPECT_EQ(std::tie(values[0].name, values[0].type, values[0].data), std::tie(name, type, data)) << line;
    }
    const Registry blocks = Registry::ParseRegFile(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n; c\n[HKLM\\Software\\Old]\n\"gone\"=\"x\"\n[HKLM\\Software\\Keep]\n"
        "\"a\"=\"1\"\n\"b\"=\"2\"\n\"a\"=-\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\old]\n[-HKLM\\Missing]\n  [HKEY_USERS\\.Default]  \n");
    EXPECT_EQ(Tree(blocks), "HKEY_LOCAL_MACHINE\\Software\nHKEY_LOCAL_MACHINE\\Software\\Keep\n"
                            "HKEY_LOCAL_MACHINE\\Software\\Keep\\\"b\"=\"2\"\nHKEY_USERS\\.Default\n");
}

TEST(VmRegistry, RegFileErrorsNameTheirLine) {
    const std::string key = "REGEDIT4\r\n[HKLM\\K]\r\n";  // value lines start at line 3
    const std::tuple<std::string, int, const char*> rows[] = {
        {"\r\n  \r\n", 1, "empty file"}, {"\r\n\r\nREGEDIT5\r\n", 3, "expected REGEDIT4"}, {std::string("\xFF\xFE" "R\0E\0\n\0", 8), 1, "expected REGEDIT4"},
        {"REGEDIT4\r\n[-HKLM\\x]\r\n\"a\"=\"b\"", 3, "value outside a key"}, {"REGEDIT4\r\n\r\n[HKEY_FOO\\x]", 3, "unknown root 'HKEY_FOO'"},
        {"REGEDIT4\r\n[HKLM\\x", 2, "expected ']'"}, {"REGEDIT4\r\n[-HKLM\\]", 2, "root key cannot be deleted"},
        {key + "\"a\"=\"b\\", 3, "unterminated string"}, {key + "\"a\\q\"=\"b\"", 3, "unknown escape '\\q'"},
        {key + "\"a\"=\"b\" x", 3, "unexpected text after the string"}, {key + "a=b", 3, "expected \"name\"=value"},
        {key + "\"a\"=foo", 3, "unknown value data 'foo'"}, {key + "\"a\"=dword:123456789", 3, "bad dword"},
        {key + "\"a\"=hex:100", 3, "bad hex byte '100'"}, {key + "\"a\"=hex:01,,02", 3, "missing hex byte"},
        {key + "\"a\"=hex:01,\\\r\n  02,\\\r\n  zz", 5, "bad hex byte 'zz'"}, {key + "\"a\"=hex:01,\\", 3, "continued past the end"},
        {key + "\"a\"=hex(7)00", 3, "bad value type"}, {key + "\"ok\"=\"1\"\r\n\r\n; fine\r\n\"a\"=hex:q", 6, "bad hex byte 'q'"},
    };
    for (const auto& [text, line, message] : rows) {
        try {
            Registry::ParseRegFile(text);
            ADD_FAILURE() << "no error for " << testing::PrintToString(text);
        } catch (const Registry::ParseError& e) {
            EXPECT_EQ(e.line, line) << testing::PrintToString(text);
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    Registry registry;
    registry.Create(HKEY_LOCAL_MACHINE, "Old");
    EXPECT_THROW(registry.ImportRegFile("REGEDIT4\r\n[-HKLM\\Old]\r\n\"a\"=zz\r\n"), Registry::ParseError);
    EXPECT_EQ(Tree(registry), "HKEY_LOCAL_MACHINE\\Old\n");  // all or nothing
}

// A version 5 file as regedit writes it (UTF-16) or as an editor saves it
// (UTF-8, with or without its mark) reads as its REGEDIT4 twin in the
// machine's code page: its text, and hex(1), hex(2) and hex(7), whose bytes
// are UTF-16 there.
TEST(VmRegistry, UnicodeFilesAsWindowsWritesThem) {
    const std::string ansi = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\T]\r\n\"s\"=\"caf\xE9 \x80\"\r\n\"e\"=hex(2):25,78,25,00\r\n"
                             "\"m\"=hex(7):61,00,e9,00,00\r\n\"b\"=hex:e9,00\r\n";
    const std::u16string v5 = u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\T]\r\n\"s\"=\"caf\u00e9 \u20ac\"\r\n"
                              u"\"e\"=hex(2):25,00,78,00,25,00,00,00\r\n\"m\"=hex(7):61,00,00,00,e9,00,00,00,\\\r\n  00,00\r\n\"b\"=hex:e9,00\r\n";
    const auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t c : text) {
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    std::string utf8;
    for (const char16_t c : v5) utf8 += c < 0x80 ? std::string(1, static_cast<char>(c)) : c < 0x800 ? std::string{static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))}
                                                                                       : std::string{static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    const Registry expected = Registry::ParseRegFile(ansi);
    for (const std::string& file : {utf16(v5, false), utf16(v5, true), "\xEF\xBB\xBF" + utf8, utf8}) {
        EXPECT_EQ(Tree(Registry::ParseRegFile(file)), Tree(expected)) << testing::PrintToString(file.substr(0, 8));
    }
    const std::tuple<std::string, std::uint32_t, int, const char*> faults[] = {  // file, code page, line, message
        {utf8, 932, 4, "U+00E9 has no place in code page 932"},
        {utf8 + "\"x\"=\"\xE9\"\r\n", 1252, 9, "not UTF-8"},
        {utf8 + "\"x\"=hex(2):41,00,42\r\n", 1252, 9, "odd number of bytes"},
    };
    for (const auto& [file, codePage, line, message] : faults) {
        try {
            Registry::ParseRegFile(file, codePage);
            ADD_FAILURE() << "no error for " << message;
        } catch (const Registry::ParseError& e) {
            EXPECT_EQ(e.line, line) << e.what();
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    // What code page 1252 lacks reads '?', as the ANSI calls give it; the first line is named.
    Registry::Replaced replaced;
    const Registry asked = Registry::ParseRegFile(utf16(v5 + u"\"x\"=\"\u4e2d\"\r\n\"y\"=hex(2):2d,4e,00,00\r\n", false), 1252, &replaced);
    EXPECT_EQ(Registry::FindValue(*asked.Find(HKEY_LOCAL_MACHINE, "T"), "y")->data, std::string("?\0", 2));
    EXPECT_EQ(Registry::FindValue(*asked.Find(HKEY_LOCAL_MACHINE, "T"), "x")->data, std::string("?\0", 2));
    EXPECT_EQ(replaced.count, 2u);
    EXPECT_EQ(replaced.firstLine, 9);
    // The user's hive of an export from NT becomes the current user's.
    Registry nt = Registry::ParseRegFile("REGEDIT4\r\n[HKEY_USERS\\S-1-5-21-7\\Software\\X]\r\n\"a\"=\"1\"\r\n"
                                         "[HKEY_USERS\\S-1-5-21-7_Classes\\.wav]\r\n@=\"w\"\r\n[HKEY_USERS\\.DEFAULT]\r\n");
    nt.AdoptUser(nt.Find(HKEY_USERS, "S-1-5-21-7")->name);  // a name the adoption deletes
    EXPECT_EQ(Tree(nt), "HKEY_CLASSES_ROOT\\.wav\nHKEY_CLASSES_ROOT\\.wav\\@=\"w\"\nHKEY_CURRENT_USER\\Software\nHKEY_CURRENT_USER\\Software\\X\n"
                        "HKEY_CURRENT_USER\\Software\\X\\\"a\"=\"1\"\nHKEY_USERS\\.DEFAULT\n");
}

TEST(VmRegistry, ExportIsRegedit4AndReadsBackTheSame) {
    Registry registry;
    Registry::SetValue(*registry.Find(HKEY_CLASSES_ROOT, ""), "", REG_SZ, Registry::SzData("root"));
    Registry::Key& key = *registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta");
    Registry::SetValue(key, "Path", REG_SZ, Registry::SzData("C:\\Orvanta \"4720\""));
    Registry::SetValue(key, "Count", REG_DWORD, Registry::DwordData(42));
    std::string blob;
    for (int i = 0; i < 40; ++i) blob += static_cast<char>(i);
    Registry::SetValue(key, "Blob", REG_BINARY, blob);
    registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Empty");
    EXPECT_EQ(registry.ExportRegFile(),
              "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT]\r\n@=\"root\"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Orvanta]\r\n\"Path\"=\"C:\\\\Orvanta \\\"4720\\\"\"\r\n\"Count\"=dword:0000002a\r\n"
              "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\r\n"
              "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Empty]\r\n\r\n");
    for (const char* name : {" lead", "[bracket]", "quote\"s", "a=b", "@", ";semi", "\xFF\x01"}) registry.Create(HKEY_USERS, name);
    const std::tuple<const char*, std::uint32_t, std::string> odd[] = {
        {"with \"quotes\" and \\back\\", REG_SZ, Registry::SzData("\\\"")}, {"@", REG_SZ, Registry::SzData("x")}, {"no terminator", REG_SZ, "abc"},
        {"inner zero", REG_SZ, std::string("a\0b\0", 4)}, {"line break", REG_SZ, Registry::SzData("a\r\nb")}, {"short dword", REG_DWORD, "\x01\x02"}, {"odd type", 0x12345678u, "\x7F"},
    };
    for (const auto& [name, type, data] : odd) Registry::SetValue(key, name, type, data);
    const std::string text = registry.ExportRegFile();
    EXPECT_EQ(Registry::ParseRegFile(text), registry);
    EXPECT_EQ(Registry::ParseRegFile(text).ExportRegFile(), text);
    registry.Create(HKEY_LOCAL_MACHINE, "a\nb");
    EXPECT_THROW(registry.ExportRegFile(), std::invalid_argument);  // the format cannot carry it
}

}  // namespace
