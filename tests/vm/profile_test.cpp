#include "platform/vm/profile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using vm::profile::ReadAll;
using vm::profile::ReadInt;
using vm::profile::ReadString;
using vm::profile::WriteString;

struct ReadCase {
    const char* label;
    std::string content;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(ProfileRead, FindsValuesAsWindows9xReadsThem) {
    const std::string nul("[s]\r\nk=a\0b\r\n", 12);
    const ReadCase cases[] = {
        {"plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
        {"double quotes dropped", "[s]\r\nk=\"v w\"\r\n", "s", "k", "v w"},
        {"single quotes dropped", "[s]\r\nk='v w'\r\n", "s", "k", "v w"},
        {"blanks inside quotes kept", "[s]\r\nk=\" v \"\r\n", "s", "k", " v "},
        {"mismatched quotes kept", "[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},
        {"leading quote only kept", "[s]\r\nk=\"v\r\n", "s", "k", "\"v"},
        {"lone quote kept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        {"empty quotes give empty", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
        {"only one pair dropped", "[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "\"v\""},
        {"blanks trimmed", "  [ s ]  \r\n\t k \t= \t v w \t\r\n", "s", "k", "v w"},
        {"caller's blanks trimmed", "[s]\r\nk=v\r\n", " s ", " k ", "v"},
        {"text after ']' ignored", "[s] ; note\r\nk=v\r\n", "s", "k", "v"},
        {"comment is no key", "[s]\r\n;k=v\r\n", "s", ";k", std::nullopt},
        {"indented comment is no key", "[s]\r\n  ;k=v\r\n", "s", ";k", std::nullopt},
        {"section case ignored", "[SeCtIoN]\r\nk=v\r\n", "section", "k", "v"},
        {"key case ignored", "[s]\r\nKeY=v\r\n", "s", "kEy", "v"},
        {"missing file content", "", "s", "k", std::nullopt},
        {"missing section", "[t]\r\nk=v\r\n", "s", "k", std::nullopt},
        {"missing key", "[s]\r\nj=v\r\n", "s", "k", std::nullopt},
        {"key of the next section not found", "[s]\r\n[t]\r\nk=v\r\n", "s", "k", std::nullopt},
        {"first duplicate key wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
        {"first duplicate section wins", "[s]\r\nk=1\r\n[s]\r\nk=2\r\n", "s", "k", "1"},
        {"later duplicate section not searched", "[s]\r\n[t]\r\n[s]\r\nk=2\r\n", "s", "k", std::nullopt},
        {"LF only", "[s]\nj=1\nk=v\n", "s", "k", "v"},
        {"CR only", "[s]\rj=1\rk=v\r", "s", "k", "v"},
        {"no final line end", "[s]\r\nk=v", "s", "k", "v"},
        {"line without '=' ignored", "[s]\r\nk\r\nk=v\r\n", "s", "k", "v"},
        {"value keeps further '='", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
        {"empty key name", "[s]\r\n=v\r\n", "s", "", "v"},
        {"keys before any section ignored", "k=v\r\n[s]\r\n", "s", "k", std::nullopt},
        {"header without ']' is no section", "[s\r\nk=v\r\n", "s", "k", std::nullopt},
        {"Ctrl-Z is an ordinary byte", "[s]\r\nk=v\x1a\r\n", "s", "k", "v\x1a"},
        {"NUL is an ordinary byte", nul, "s", "k", std::string("a\0b", 3)},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadString(c.content, c.section, c.key), c.expected) << c.label;
    }
}

TEST(ProfileReadInt, ParsesLikeGetPrivateProfileInt) {
    struct Case {
        const char* content;
        int expected;
    };
    const Case cases[] = {
        {"[s]\r\nk=42\r\n", 42},
        {"[s]\r\nk=42A9\r\n", 42},
        {"[s]\r\nk=B42\r\n", 0},
        {"[s]\r\nk=+1\r\n", 0},
        {"[s]\r\nk=-5\r\n", -5},
        {"[s]\r\nk=--5\r\n", 0},
        {"[s]\r\nk=- 5\r\n", 0},
        {"[s]\r\nk=\r\n", 0},
        {"[s]\r\nk=\"17\"\r\n", 17},
        {"[s]\r\nk= 8 \r\n", 8},
        {"[s]\r\nk=2147483647\r\n", 2147483647},
        {"[s]\r\nk=-2147483648\r\n", -2147483647 - 1},
        // Overflow wraps modulo 2^32 as the 32-bit result does on Windows.
        {"[s]\r\nk=2147483648\r\n", -2147483647 - 1},
        {"[s]\r\nk=4294967295\r\n", -1},
        {"[s]\r\nk=4294967296\r\n", 0},
        {"[s]\r\nk=4294967297\r\n", 1},
        {"[s]\r\nk=-4294967297\r\n", -1},
        {"[s]\r\nk=12345678901234567890\r\n", -350287150},
        {"[t]\r\nk=5\r\n", 77},
        {"[s]\r\nj=5\r\n", 77},
        {"", 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadInt(c.content, "s", "k", 77), c.expected) << c.content;
    }
}

struct WriteCase {
    const char* label;
    const char* content;
    const char* section;
    const char* key;
    const char* value;
    const char* expected;
};

TEST(ProfileWrite, ChangesOnlyTheBytesWindowsChanges) {
    const WriteCase cases[] = {
        {"new key at the end of its section, before the next one", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "a", "k",
         "v", "[a]\r\nx=1\r\nk=v\r\n[b]\r\ny=2\r\n"},
        {"new key after the last key line, before blank lines and comments",
         "[a]\r\nx=1\r\n\r\n; c\r\n[b]\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n\r\n; c\r\n[b]\r\n"},
        {"new key in a section without keys goes after its header", "[a]\r\n\r\n[b]\r\n", "a", "k", "v",
         "[a]\r\nk=v\r\n\r\n[b]\r\n"},
        {"a line without '=' is not a key line", "[a]\r\nx=1\r\nlonely\r\n", "a", "k", "v",
         "[a]\r\nx=1\r\nk=v\r\nlonely\r\n"},
        {"a commented key is not the key", "[a]\r\n;k=old\r\n", "a", "k", "v", "[a]\r\nk=v\r\n;k=old\r\n"},
        {"value replaced in place, key spelling and other bytes kept", "; top\n[a]\n  X = old ; c\nY=2\n", "A",
         "x", "new", "; top\n[a]\nX=new\nY=2\n"},
        {"quoted value replaced", "[a]\r\nk=\"old\"\r\n", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"empty value replaced", "[a]\r\nk=\r\nz=1\r\n", "a", "k", "v", "[a]\r\nk=v\r\nz=1\r\n"},
        {"the first of duplicate keys replaced", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\nk=2\r\n"},
        {"the first of duplicate sections written", "[a]\r\n[a]\r\nx=1\r\n", "a", "x", "2",
         "[a]\r\nx=2\r\n[a]\r\nx=1\r\n"},
        {"new section appended without a blank line", "[a]\r\nx=1\r\n", "b", "k", "v",
         "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"new section after a file without a final line end", "[a]\r\nx=1", "b", "k", "v",
         "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"new key after a last line without line end", "[a]\r\nx=1", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n"},
        {"new key after a header without line end", "[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"empty file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"only a comment before", "; hi\r\n", "s", "k", "v", "; hi\r\n[s]\r\nk=v\r\n"},
        {"CR-only file keeps its CRs", "[a]\rx=1\r[b]\r", "a", "k", "v", "[a]\rx=1\rk=v\r\n[b]\r"},
        {"LF-only file, value replaced", "[a]\nk=1\n", "a", "k", "2", "[a]\nk=2\n"},
        {"section found without regard to case", "[ABC]\r\n", "abc", "k", "v", "[ABC]\r\nk=v\r\n"},
        {"caller's blanks trimmed", "[a]\r\n", " a ", " k ", "v", "[a]\r\nk=v\r\n"},
        {"value with '=' and blanks written as given", "[a]\r\n", "a", "k", "x = y", "[a]\r\nk=x = y\r\n"},
    };
    for (const WriteCase& c : cases) {
        EXPECT_EQ(WriteString(c.content, c.section, c.key, c.value), c.expected) << c.label;
    }
}

TEST(ProfileWrite, SecondWriteOfTheSameKeyLeavesOneLine) {
    std::string content = "[a]\r\nx=1\r\n[b]\r\n";
    content = WriteString(content, "a", "Key", "first");
    content = WriteString(content, "A", "KEY", "second");
    EXPECT_EQ(content, "[a]\r\nx=1\r\nKey=second\r\n[b]\r\n");
    EXPECT_EQ(ReadString(content, "a", "key"), "second");
}

TEST(ProfileReadAll, ListsEveryKeyInFileOrder) {
    const std::string content =
        "orphan=1\r\n[One]\r\n a = 'x' \r\n;c=3\r\nnokey\r\nb=\r\n[two]\nA=y\n[One]\rb=dup\r";
    const std::vector<vm::profile::Entry> entries = ReadAll(content);
    const std::vector<std::vector<std::string>> expected = {
        {"One", "a", "x"}, {"One", "b", ""}, {"two", "A", "y"}, {"One", "b", "dup"}};
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ((std::vector<std::string>{entries[i].section, entries[i].key, entries[i].value}), expected[i])
            << i;
    }
}

// Any bytes at all: nothing crashes, a written value reads back, and writing
// it a second time changes nothing.
TEST(ProfileRandom, ArbitraryBytesStaySane) {
    std::mt19937 random(20240611);
    const std::string alphabet = std::string("[]=;'\" \tsSkK\r\n\x1a") + std::string(1, '\0');
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            content += random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        }
        (void)ReadAll(content);
        (void)ReadInt(content, "s", "k", 5);
        const std::string written = WriteString(content, "s", "k", "value");
        ASSERT_EQ(ReadString(written, "s", "k"), "value") << testing::PrintToString(content);
        ASSERT_EQ(WriteString(written, "s", "k", "value"), written) << testing::PrintToString(content);
    }
}

}  // namespace
