#include "platform/vm/registry.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;
using platform::HKEY_USERS;
using vm::Registry;

std::vector<std::string> SubKeyNames(const Registry::Key& key) {
    std::vector<std::string> names;
    for (const auto& child : key.subKeys) names.push_back(child->name);
    return names;
}

std::vector<std::string> ValueNames(const Registry::Key& key) {
    std::vector<std::string> names;
    for (const Registry::Value& value : key.values) names.push_back(value.name);
    return names;
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

TEST(RegistryKeys, FoundWithoutRegardToCaseAndKeepTheirSpelling) {
    Registry registry;
    Registry::Key* setup = registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Setup");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "SOFTWARE\\orvanta\\SETUP"), setup);
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "\\Software\\\\Orvanta\\Setup\\"), setup);
    EXPECT_EQ(registry.Create(HKEY_LOCAL_MACHINE, "software\\ORVANTA\\setup"), setup);
    EXPECT_EQ(setup->name, "Setup");
    EXPECT_EQ(SubKeyNames(*registry.Find(HKEY_LOCAL_MACHINE, "software")), std::vector<std::string>{"Orvanta"});

    EXPECT_EQ(registry.Find(HKEY_CURRENT_USER, "Software\\Orvanta\\Setup"), nullptr);
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Setup\\More"), nullptr);
    EXPECT_EQ(registry.Find(0x1234, ""), nullptr);
    EXPECT_EQ(registry.Create(0x1234, "x"), nullptr);
    EXPECT_EQ(registry.Create(HKEY_USERS, ""), registry.Find(HKEY_USERS, ""));
    // Letters outside ASCII must match exactly.
    registry.Create(HKEY_LOCAL_MACHINE, "\xC9t\xE9");
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "\xE9t\xE9"), nullptr);
    EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, "\xC9T\xE9"), nullptr);
}

TEST(RegistryKeys, DeleteRemovesTheKeyWithAllItsSubKeys) {
    Registry registry;
    registry.Create(HKEY_LOCAL_MACHINE, "A\\B\\C\\D");
    registry.Create(HKEY_LOCAL_MACHINE, "A\\E");
    Registry::SetValue(*registry.Create(HKEY_LOCAL_MACHINE, "A\\B\\C"), "v", platform::REG_SZ, "x");

    EXPECT_FALSE(registry.Delete(HKEY_CURRENT_USER, "A\\B"));
    EXPECT_TRUE(registry.Delete(HKEY_LOCAL_MACHINE, "a\\b"));
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "A\\B"), nullptr);
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "A\\B\\C\\D"), nullptr);
    EXPECT_EQ(SubKeyNames(*registry.Find(HKEY_LOCAL_MACHINE, "A")), std::vector<std::string>{"E"});

    EXPECT_FALSE(registry.Delete(HKEY_LOCAL_MACHINE, "A\\B"));
    EXPECT_FALSE(registry.Delete(HKEY_LOCAL_MACHINE, "X\\B"));
    EXPECT_FALSE(registry.Delete(HKEY_LOCAL_MACHINE, ""));
    EXPECT_FALSE(registry.Delete(HKEY_LOCAL_MACHINE, "\\"));
    EXPECT_FALSE(registry.Delete(0x1234, "A"));
    EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, "A\\E"), nullptr);
}

TEST(RegistryKeys, SubKeysAndValuesEnumerateInCreationOrder) {
    Registry registry;
    Registry::Key& key = *registry.Create(HKEY_CURRENT_USER, "K");
    for (const char* name : {"Zeta", "alpha", "Mid"}) registry.Create(HKEY_CURRENT_USER, std::string("K\\") + name);
    EXPECT_EQ(SubKeyNames(key), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));

    Registry::SetValue(key, "Zed", platform::REG_SZ, Registry::SzData("1"));
    Registry::SetValue(key, "", platform::REG_SZ, Registry::SzData("default"));
    Registry::SetValue(key, "able", platform::REG_DWORD, Registry::DwordData(7));
    // Setting an existing value keeps its place and its first spelling.
    Registry::SetValue(key, "ZED", platform::REG_BINARY, "\x01");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Zed", "", "able"}));
    const Registry::Value* zed = Registry::FindValue(key, "zed");
    ASSERT_NE(zed, nullptr);
    EXPECT_EQ(zed->type, platform::REG_BINARY);
    EXPECT_EQ(zed->data, "\x01");

    EXPECT_TRUE(Registry::DeleteValue(key, "ZeD"));
    EXPECT_FALSE(Registry::DeleteValue(key, "zed"));
    EXPECT_EQ(Registry::FindValue(key, "Zed"), nullptr);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"", "able"}));
    EXPECT_EQ(Registry::FindValue(key, "able")->data, Bytes({7, 0, 0, 0}));
}

TEST(RegistryKeys, CopiesAreIndependent) {
    Registry original;
    Registry::SetValue(*original.Create(HKEY_LOCAL_MACHINE, "A\\B"), "v", platform::REG_SZ, "1");
    Registry copy(original);
    EXPECT_EQ(copy, original);
    Registry::SetValue(*copy.Find(HKEY_LOCAL_MACHINE, "A\\B"), "v", platform::REG_SZ, "2");
    copy.Create(HKEY_LOCAL_MACHINE, "A\\C");
    EXPECT_NE(copy, original);
    EXPECT_EQ(Registry::FindValue(*original.Find(HKEY_LOCAL_MACHINE, "A\\B"), "v")->data, "1");
    EXPECT_EQ(original.Find(HKEY_LOCAL_MACHINE, "A\\C"), nullptr);

    Registry assigned;
    assigned = copy;
    EXPECT_EQ(assigned, copy);
    assigned.Delete(HKEY_LOCAL_MACHINE, "A");
    EXPECT_NE(copy.Find(HKEY_LOCAL_MACHINE, "A\\C"), nullptr);
}

TEST(RegistryRootNames, LongAndShortFormsWithoutRegardToCase) {
    const std::pair<const char*, std::optional<platform::HKey>> cases[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {"hkey_current_user", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS},
        {"HKCR", HKEY_CLASSES_ROOT}, {"hkcu", HKEY_CURRENT_USER},
        {"HKLM", HKEY_LOCAL_MACHINE}, {"HKU", HKEY_USERS},
        {"HKEY_FOO", std::nullopt}, {"", std::nullopt},
        {"HKEY_LOCAL_MACHINE ", std::nullopt}, {"HKEY_DYN_DATA", std::nullopt},
    };
    for (const auto& [name, root] : cases) {
        EXPECT_EQ(Registry::ParseRootName(name), root) << name;
        if (root) {
            EXPECT_EQ(Registry::ParseRootName(Registry::RootName(*root)), root) << name;
        }
    }
    EXPECT_EQ(Registry::RootName(HKEY_LOCAL_MACHINE), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(Registry::RootName(0x1234), "");
}

const std::string kHeader = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\T]\r\n";

TEST(RegistryParse, ReadsEveryValueForm) {
    struct Case {
        std::string lines;
        std::string name;
        std::uint32_t type;
        std::string data;
    };
    const Case cases[] = {
        {"\"s\"=\"text\"", "s", platform::REG_SZ, std::string("text\0", 5)},
        {"\"e\"=\"a\\\\b\\\"c\"", "e", platform::REG_SZ, std::string("a\\b\"c\0", 6)},
        {"@=\"default\"", "", platform::REG_SZ, std::string("default\0", 8)},
        {"\"empty\"=\"\"", "empty", platform::REG_SZ, std::string(1, '\0')},
        {"  \"sp\"  =  \"v\"  ", "sp", platform::REG_SZ, std::string("v\0", 2)},
        {"\"odd = [x] ;\"=\";\"", "odd = [x] ;", platform::REG_SZ, std::string(";\0", 2)},
        {"\"d\"=dword:0000abcd", "d", platform::REG_DWORD, Bytes({0xcd, 0xab, 0, 0})},
        {"\"d\"=dword:1", "d", platform::REG_DWORD, Bytes({1, 0, 0, 0})},
        {"\"d\"=DWORD:FFFFFFFF", "d", platform::REG_DWORD, Bytes({0xff, 0xff, 0xff, 0xff})},
        {"\"b\"=hex:01,02,ff", "b", platform::REG_BINARY, Bytes({1, 2, 0xff})},
        {"\"b\"=hex:1, a ,FF", "b", platform::REG_BINARY, Bytes({1, 0xa, 0xff})},
        {"\"b\"=hex:", "b", platform::REG_BINARY, ""},
        {"\"m\"=hex(7):61,00,62,00,00", "m", platform::REG_MULTI_SZ, Bytes({0x61, 0, 0x62, 0, 0})},
        {"\"x\"=hex(2):25,00", "x", platform::REG_EXPAND_SZ, Bytes({0x25, 0})},
        {"\"h1\"=hex(1):41,42", "h1", platform::REG_SZ, "AB"},
        {"\"t\"=hex(a):00", "t", 10, Bytes({0})},
        {"\"n\"=hex(0):", "n", platform::REG_NONE, ""},
        {"\"c\"=hex:01,\\\r\n  02,\\\r\n  03", "c", platform::REG_BINARY, Bytes({1, 2, 3})},
        {"\"c\"=hex:01,02\\\n03", "c", platform::REG_BINARY, Bytes({1, 2, 3})},
        {"\"twice\"=\"1\"\r\n\"TWICE\"=dword:2", "twice", platform::REG_DWORD, Bytes({2, 0, 0, 0})},
        {"\"u\"=\"\xC3\x9C\"", "u", platform::REG_SZ, std::string("\xC3\x9C\0", 3)},
    };
    for (const Case& c : cases) {
        const Registry registry = Registry::ParseRegFile(kHeader + c.lines + "\r\n");
        const Registry::Key& key = *registry.Find(HKEY_LOCAL_MACHINE, "T");
        ASSERT_EQ(key.values.size(), 1u) << c.lines;
        EXPECT_EQ(key.values[0].name, c.name) << c.lines;
        EXPECT_EQ(key.values[0].type, c.type) << c.lines;
        EXPECT_EQ(key.values[0].data, c.data) << c.lines;
    }
}

TEST(RegistryParse, BlocksCreateAndDeleteKeysAndValues) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
        "; a comment\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Old]\n"
        "\"gone\"=\"x\"\n"
        "[HKLM\\Software\\Orvanta\\Keep]\n"
        "\"a\"=\"1\"\n"
        "\"b\"=\"2\"\n"
        "\"a\"=-\n"
        "\"never there\"=-\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\orvanta\\old]\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Missing]\n"
        "[HKEY_CURRENT_USER\\Empty\\Leaf]\n"
        "  [HKEY_USERS\\.Default]  \n";
    const Registry registry = Registry::ParseRegFile(text);
    EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Old"), nullptr);
    const Registry::Key* keep = registry.Find(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Keep");
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(ValueNames(*keep), std::vector<std::string>{"b"});
    EXPECT_EQ(SubKeyNames(*registry.Find(HKEY_LOCAL_MACHINE, "Software\\Orvanta")),
              std::vector<std::string>{"Keep"});
    EXPECT_NE(registry.Find(HKEY_CURRENT_USER, "Empty\\Leaf"), nullptr);
    EXPECT_NE(registry.Find(HKEY_USERS, ".Default"), nullptr);
}

TEST(RegistryParse, FaultsNameTheirLine) {
    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const std::string key = "REGEDIT4\r\n[HKLM\\K]\r\n";  // value lines start at line 3
    const Case cases[] = {
        {"", 1, "empty file"},
        {"\r\n  \r\n", 1, "empty file"},
        {"\r\n\r\nREGEDIT5\r\n", 3, "expected REGEDIT4"},
        {"\xFF\xFE" "R\0E\0", 1, "UTF-16"},
        {"REGEDIT4\r\n\"a\"=\"b\"", 2, "value outside a key"},
        {"REGEDIT4\r\n[-HKLM\\x]\r\n\"a\"=\"b\"", 3, "value outside a key"},
        {"REGEDIT4\r\n\r\n[HKEY_FOO\\x]", 3, "unknown root 'HKEY_FOO'"},
        {"REGEDIT4\r\n[]", 2, "unknown root ''"},
        {"REGEDIT4\r\n[HKLM\\x", 2, "expected ']'"},
        {"REGEDIT4\r\n[-HKLM]", 2, "root key cannot be deleted"},
        {"REGEDIT4\r\n[-HKLM\\]", 2, "root key cannot be deleted"},
        {key + "\"a\"=\"b", 3, "unterminated string"},
        {key + "\"a\"=\"b\\", 3, "unterminated string"},
        {key + "\"a=1", 3, "unterminated string"},
        {key + "\"a\\q\"=\"b\"", 3, "unknown escape '\\q'"},
        {key + "\"a\"=\"b\" x", 3, "unexpected text after the string"},
        {key + "\"a\" \"b\"", 3, "expected \"name\"=value"},
        {key + "a=b", 3, "expected \"name\"=value"},
        {key + "@", 3, "expected \"name\"=value"},
        {key + "\"a\"=foo", 3, "unknown value data 'foo'"},
        {key + "\"a\"=", 3, "unknown value data ''"},
        {key + "\"a\"=dword:123456789", 3, "bad dword"},
        {key + "\"a\"=dword:", 3, "bad dword"},
        {key + "\"a\"=dword:12g", 3, "bad dword"},
        {key + "\"a\"=hex:01,zz", 3, "bad hex byte 'zz'"},
        {key + "\"a\"=hex:100", 3, "bad hex byte '100'"},
        {key + "\"a\"=hex:01,,02", 3, "missing hex byte"},
        {key + "\"a\"=hex:01,", 3, "missing hex byte"},
        {key + "\"a\"=hex:01,\\\r\n  02,\\\r\n  zz", 5, "bad hex byte 'zz'"},
        {key + "\"a\"=hex:01,\\", 3, "continued past the end"},
        {key + "\"a\"=hex(zz):00", 3, "bad value type"},
        {key + "\"a\"=hex(7)00", 3, "bad value type"},
        {key + "\"ok\"=\"1\"\r\n\r\n; fine\r\n\"a\"=hex:q", 6, "bad hex byte 'q'"},
    };
    for (const Case& c : cases) {
        try {
            Registry::ParseRegFile(c.text);
            ADD_FAILURE() << "no error for " << testing::PrintToString(c.text);
        } catch (const Registry::ParseError& e) {
            EXPECT_EQ(e.line, c.line) << testing::PrintToString(c.text);
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << testing::PrintToString(c.text) << ": " << e.what();
        }
    }
}

TEST(RegistryParse, ImportAppliesToTheRegistryOrLeavesItUntouched) {
    Registry registry;
    Registry::SetValue(*registry.Create(HKEY_LOCAL_MACHINE, "Old"), "v", platform::REG_SZ, "1");
    const Registry before = registry;

    EXPECT_THROW(registry.ImportRegFile("REGEDIT4\r\n[-HKLM\\Old]\r\n[HKLM\\New]\r\n\"a\"=zz\r\n"),
                 Registry::ParseError);
    EXPECT_EQ(registry, before);

    registry.ImportRegFile("REGEDIT4\r\n[HKLM\\New]\r\n\"a\"=\"b\"\r\n[HKLM\\old]\r\n\"v\"=-\r\n");
    EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, "New"), nullptr);
    EXPECT_TRUE(registry.Find(HKEY_LOCAL_MACHINE, "Old")->values.empty());
}

// A registry with one of each value form, an empty key and a root value.
Registry Sample(std::size_t blobBytes) {
    Registry registry;
    Registry::SetValue(*registry.Find(HKEY_CLASSES_ROOT, ""), "", platform::REG_SZ, Registry::SzData("root"));
    Registry::SetValue(*registry.Create(HKEY_CURRENT_USER, "Env"), "X", platform::REG_EXPAND_SZ,
                       Bytes({0x25, 0, 0}));
    Registry::Key& orvanta = *registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta");
    Registry::SetValue(orvanta, "Path", platform::REG_SZ, Registry::SzData("C:\\Orvanta \"4720\""));
    Registry::SetValue(orvanta, "Count", platform::REG_DWORD, Registry::DwordData(42));
    std::string blob;
    for (std::size_t i = 0; i < blobBytes; ++i) blob += static_cast<char>(i);
    Registry::SetValue(orvanta, "Blob", platform::REG_BINARY, blob);
    Registry::SetValue(orvanta, "Multi", platform::REG_MULTI_SZ, Bytes({0x61, 0, 0}));
    registry.Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Empty");
    return registry;
}

TEST(RegistryExport, WritesRegedit4Text) {
    const std::string expected =
        "REGEDIT4\r\n"
        "\r\n[HKEY_CLASSES_ROOT]\r\n"
        "@=\"root\"\r\n"
        "\r\n[HKEY_CURRENT_USER\\Env]\r\n"
        "\"X\"=hex(2):25,00,00\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\Software\\Orvanta]\r\n"
        "\"Path\"=\"C:\\\\Orvanta \\\"4720\\\"\"\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\r\n"
        "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
        "\"Multi\"=hex(7):61,00,00\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Empty]\r\n"
        "\r\n";
    EXPECT_EQ(Sample(40).ExportRegFile(), expected);
    EXPECT_EQ(Registry().ExportRegFile(), "REGEDIT4\r\n\r\n");
}

TEST(RegistryExport, FlattensForDiffs) {
    const std::vector<std::string> expected = {
        "HKEY_CLASSES_ROOT\\@=\"root\"",
        "HKEY_CURRENT_USER\\Env",
        "HKEY_CURRENT_USER\\Env\\\"X\"=hex(2):25,00,00",
        "HKEY_LOCAL_MACHINE\\Software",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\\"Path\"=\"C:\\\\Orvanta \\\"4720\\\"\"",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\\"Count\"=dword:0000002a",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,"
        "11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\\"Multi\"=hex(7):61,00,00",
        "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Empty",
    };
    EXPECT_EQ(Sample(40).Flatten(), expected);
}

TEST(RegistryExport, RoundTripKeepsEverything) {
    Registry registry = Sample(300);
    const char* oddKeys[] = {"Spaces  in name ", " lead", "[bracket]", "quote\"s", "a=b", "@", "-dash",
                             ";semi", "\xC3\x9Cn\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9", "\xFF\x01"};
    for (const char* name : oddKeys) registry.Create(HKEY_USERS, std::string("Odd\\") + name);
    registry.Create(HKEY_USERS, "Odd\\Deep\\Empty\\Chain");

    Registry::Key& values = *registry.Create(HKEY_LOCAL_MACHINE, "Values");
    std::string allBytes;
    for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
    const std::vector<std::tuple<std::string, std::uint32_t, std::string>> odd = {
        {"", platform::REG_SZ, ""},
        {"sz empty", platform::REG_SZ, std::string(1, '\0')},
        {"with \"quotes\" and \\back\\slashes\\", platform::REG_SZ, Registry::SzData("\\\"\\\"")},
        {"@", platform::REG_SZ, Registry::SzData("not the default")},
        {"=", platform::REG_SZ, Registry::SzData("=")},
        {" lead and trail ", platform::REG_SZ, Registry::SzData("  blanks  ")},
        {";semi", platform::REG_SZ, Registry::SzData(";")},
        {"\xC3\x9C", platform::REG_SZ, Registry::SzData("\xC3\xA9t\xC3\xA9")},
        {"no terminator", platform::REG_SZ, "abc"},
        {"two terminators", platform::REG_SZ, std::string("abc\0\0", 5)},
        {"inner zero", platform::REG_SZ, std::string("a\0b\0", 4)},
        {"line break", platform::REG_SZ, Registry::SzData("a\r\nb\rc\nd")},
        {"short dword", platform::REG_DWORD, "\x01\x02\x03"},
        {"long dword", platform::REG_DWORD, "\x01\x02\x03\x04\x05"},
        {"dword", platform::REG_DWORD, Registry::DwordData(0xFFFFFFFFu)},
        {"empty binary", platform::REG_BINARY, ""},
        {"all bytes", platform::REG_BINARY, allBytes},
        {"none", platform::REG_NONE, "\x00"},
        {"odd type", 0x12345678u, "\x7F"},
        {"top type", 0xFFFFFFFFu, allBytes},
        {"expand", platform::REG_EXPAND_SZ, Registry::SzData("%WINDIR%")},
    };
    for (const auto& [name, type, data] : odd) Registry::SetValue(values, name, type, data);

    const std::string text = registry.ExportRegFile();
    const Registry back = Registry::ParseRegFile(text);
    EXPECT_EQ(back, registry);
    EXPECT_EQ(back.ExportRegFile(), text);
    std::size_t lineStart = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", lineStart)) {
        EXPECT_LE(end - lineStart, 76u) << text.substr(lineStart, end - lineStart);
        lineStart = end + 2;
    }
    for (const std::string& line : back.Flatten()) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
}

TEST(RegistryExport, RefusesNamesTheFormatCannotCarry) {
    Registry keyName;
    keyName.Create(HKEY_LOCAL_MACHINE, "a\nb");
    EXPECT_THROW(keyName.ExportRegFile(), std::invalid_argument);

    Registry valueName;
    Registry::SetValue(*valueName.Create(HKEY_LOCAL_MACHINE, "a"), "x\ry", platform::REG_SZ, "");
    EXPECT_THROW(valueName.ExportRegFile(), std::invalid_argument);

    Registry emptyName;
    emptyName.Create(HKEY_LOCAL_MACHINE, "a")->subKeys.push_back(std::make_unique<Registry::Key>());
    EXPECT_THROW(emptyName.ExportRegFile(), std::invalid_argument);
}

// Arbitrary bytes give a registry or a ParseError on a line of the text,
// never anything else.
TEST(RegistryRandom, ArbitraryTextParsesOrFailsCleanly) {
    std::mt19937 random(4720);
    const std::string pieces[] = {"REGEDIT4\r\n", "[HKLM\\", "[-HKCU\\", "]", "\"", "\\", "=", "@",
                                  "dword:", "hex:", "hex(7):", "01,", "zz", "\r\n", "\n", "\r",
                                  ";", " ", "-", "a", std::string(1, '\0'), "\xFF"};
    int parsed = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = round % 2 == 0 ? "REGEDIT4\r\n[HKLM\\K]\r\n" : "";
        const int count = static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i) {
            text += random() % 10 == 0 ? std::string(1, static_cast<char>(random() % 256))
                                       : pieces[random() % std::size(pieces)];
        }
        try {
            const Registry registry = Registry::ParseRegFile(text);
            ++parsed;
            (void)registry.Flatten();
        } catch (const Registry::ParseError& e) {
            ASSERT_GE(e.line, 1) << testing::PrintToString(text);
            ASSERT_LE(static_cast<std::size_t>(e.line), text.size() + 1) << testing::PrintToString(text);
        }
    }
    EXPECT_GT(parsed, 0);
}

}  // namespace
