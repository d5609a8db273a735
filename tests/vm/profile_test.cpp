// The profile functions byte for byte as Windows 9x reads and writes them.
#include "platform/vm/profile.h"

#include <gtest/gtest.h>

namespace {

using vm::profile::WriteString;
const std::optional<std::string> none;

TEST(VmProfile, ReadString) {
    struct Row { std::string content; const char *section, *key; std::optional<std::string> expected; };
    const Row rows[] = {
        {"[s]\r\nk=\"v w\"\r\n", "s", "k", "v w"}, {"[s]\r\nk='v w'\r\n", "s", "k", "v w"}, {"[s]\r\nk=\" v \"\r\n", "s", "k", " v "},
        {"[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},              // mismatched quotes kept
        {"[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "\"v\""},        // one pair dropped
        {"  [ s ]  \r\n\t k \t= \t v w \t\r\n", "s", "k", "v w"}, {"[s] ; note\r\nk=v\r\n", " s ", " k ", "v"},
        {"[s]\r\n  ;k=v\r\n", "s", ";k", none}, {"[SeCtIoN]\r\nKeY=v\r\n", "section", "kEy", "v"},
        {"[s]\r\n[t]\r\nk=v\r\n", "s", "k", none}, {"[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "s", "k", "1"},
        {"[s]\r\n[t]\r\n[s]\r\nk=2\r\n", "s", "k", none},     // a later duplicate section is not searched
        {"[s]\nj=1\nk=v\n", "s", "k", "v"}, {"[s]\rj=1\rk=v", "s", "k", "v"},
        {"[s]\r\nk\r\nk=a=b\r\n", "s", "k", "a=b"}, {"k=v\r\n[s]\r\n", "s", "k", none},
        {"[s]\r\nk=v\x1a\r\n", "s", "k", "v\x1a"},
        {std::string("[s]\r\nk=a\0b\r\n", 12), "s", "k", std::string("a\0b", 3)}, {"", "s", "k", none},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vm::profile::ReadString(row.content, row.section, row.key), row.expected) << row.content;
    }
}

TEST(VmProfile, ReadInt) {
    // Digits past 32 bits wrap as the 32-bit result does on Windows.
    const std::pair<const char*, int> rows[] = {
        {"42A9", 42}, {"B42", 0}, {"+1", 0}, {"-5", -5}, {"--5", 0}, {"- 5", 0}, {"", 0}, {"\"17\"", 17},
        {" 8 ", 8}, {"2147483648", -2147483647 - 1}, {"4294967297", 1}, {"-4294967297", -1}, {"12345678901234567890", -350287150},
    };
    for (const auto& [value, expected] : rows) {
        EXPECT_EQ(vm::profile::ReadInt("[s]\r\nk=" + std::string(value) + "\r\n", "s", "k", 77), expected) << value;
    }
    EXPECT_EQ(vm::profile::ReadInt("[s]\r\nj=5\r\n", "s", "k", 77), 77);
}

TEST(VmProfile, WriteString) {
    struct Row { const char *content, *section, *key, *value, *expected; };
    const Row rows[] = {
        {"[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n[b]\r\ny=2\r\n"},
        {"[a]\r\nx=1\r\n\r\n; c\r\n[b]\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n\r\n; c\r\n[b]\r\n"},
        {"[a]\r\n\r\n[b]\r\n", "a", "k", "v", "[a]\r\nk=v\r\n\r\n[b]\r\n"},
        {"[a]\r\nx=1\r\nlonely\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\nlonely\r\n"},
        {"[a]\r\n;k=old\r\n", "a", "k", "v", "[a]\r\nk=v\r\n;k=old\r\n"},
        {"; top\n[a]\n  X = old ; c\nY=2\n", "A", "x", "new", "; top\n[a]\nX=new\nY=2\n"},
        {"[a]\r\nk=\"old\"\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\nk=2\r\n"},
        {"[a]\r\n[a]\r\nx=1\r\n", "a", "x", "2", "[a]\r\nx=2\r\n[a]\r\nx=1\r\n"}, {"[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"[a]\r\nx=1", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"}, {"[a]\r\nx=1", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n"},
        {"[a]", "a", "k", "v", "[a]\r\nk=v\r\n"}, {"", "s", "k", "v", "[s]\r\nk=v\r\n"}, {"[a]\rx=1\r[b]\r", "a", "k", "v", "[a]\rx=1\rk=v\r\n[b]\r"},
        {"[ABC]\r\n", " abc ", " k ", "x = y", "[ABC]\r\nk=x = y\r\n"},
    };
    for (const Row& row : rows) EXPECT_EQ(WriteString(row.content, row.section, row.key, row.value), row.expected) << row.content;
}

}  // namespace
