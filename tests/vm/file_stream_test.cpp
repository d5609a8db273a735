// msvcrt streams on the virtual files: CR LF and Ctrl-Z in text mode, fgets in
// pieces, and the in-place "r+" update the INF rules make.
#include "platform/vm/file_stream.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using vm::OpenFileStream;
const std::string kFile = "C:\\INF\\OVAUDIO.INF";

vm::FileSystem With(const std::string& content) {
    vm::FileSystem fs;
    fs.AddDrive('C'), fs.AddDrive('E');
    fs.PutFile(kFile, content), fs.PutFile("C:\\INF\\ro.inf", "ro", platform::FILE_ATTRIBUTE_READONLY), fs.PutFile("E:\\setup.ini", "x");
    return fs.SetDriveReadOnly('E', true), fs;
}

TEST(VmStream, ReadInTextAndBinaryMode) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"a\r\nb\r\n", "r", "a\nb\n"}, {"a\r\nb\r\n", "rb", "a\r\nb\r\n"}, {"a\rb", "r", "a\rb"}, {"a\r\r\nb", "r", "a\r\nb"},
        {"a\r", "r", "a\r"}, {"ab\x1A" "cd", "r", "ab"}, {"ab\x1A" "cd", "rb", "ab\x1A" "cd"},
    };
    for (const auto& [stored, mode, read] : rows) {
        vm::FileSystem fs = With(stored);
        const auto stream = OpenFileStream(fs, kFile, mode);
        EXPECT_EQ(stream->Read(100), read) << mode << " " << stored;
        EXPECT_TRUE(stream->Eof());
    }
}

TEST(VmStream, GetsCutsLinesIntoPiecesAndTellCountsBytes) {
    vm::FileSystem fs = With("abcdefghij\r\nxy\r\n\r\nlast");
    const auto stream = OpenFileStream(fs, kFile, "r");
    std::string pieces;
    while (auto line = stream->Gets(5)) pieces += *line + "|";
    EXPECT_EQ(pieces, "abcd|efgh|ij\n|xy\n|\n|last|");
    ASSERT_TRUE(stream->Eof() && stream->Seek(0, SEEK_SET) && !stream->Eof());
    EXPECT_TRUE(stream->Gets(0) == std::nullopt && stream->Gets(1) == "" && stream->Gets(2) == "a");  // Gets(1): room for the terminator only
    EXPECT_EQ(stream->Gets(1024), "bcdefghij\n");
    EXPECT_EQ(stream->Tell(), 12);
    ASSERT_TRUE(stream->Seek(-3, SEEK_END));
    EXPECT_EQ(stream->Read(10), "ast");
    EXPECT_FALSE(stream->Seek(-1, SEEK_SET) || stream->Write("x"));
}

TEST(VmStream, WritesAsTheRunTimeStoresThem) {
    struct Row { const char* mode; std::int64_t seek; int origin; const char* written; std::string stored; };
    const Row rows[] = {
        {"w", 0, SEEK_SET, "a\nb\n", "a\r\nb\r\n"}, {"wb", 0, SEEK_SET, "a\nb\n", "a\nb\n"}, {"r+", 0, SEEK_END, "z\n", "abc\r\nz\r\n"},
        {"r+b", 2, SEEK_END, "z", std::string("abc\r\n\0\0z", 8)}, {"r+b", 1, SEEK_SET, "XYZWV", "aXYZWV"}, {"a", 0, SEEK_SET, "z", "abc\r\nz"},
        {"a+b", 1, SEEK_SET, "z", "abc\r\nz"},
    };
    for (const Row& row : rows) {
        vm::FileSystem fs = With("abc\r\n");
        const auto stream = OpenFileStream(fs, kFile, row.mode);
        ASSERT_TRUE(stream->Seek(row.seek, row.origin) && stream->Write(row.written));
        EXPECT_EQ(fs.ReadFile(kFile), row.mode[0] == 'w' ? "" : "abc\r\n") << row.mode;  // stored on flush; "w" empties at once
        ASSERT_TRUE(stream->Flush());
        EXPECT_EQ(fs.ReadFile(kFile), row.stored) << row.mode;
    }
    vm::FileSystem fs = With("a\r\n\x1A");
    OpenFileStream(fs, kFile, "a+")->Write("b\n");  // the Ctrl-Z that ends it goes first
    EXPECT_EQ(fs.ReadFile(kFile), "a\r\nb\r\n");
}

TEST(VmStream, UpdateInPlaceKeepsOtherChanges) {
    const std::string inf = "[Config]\r\nHKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\n";
    vm::FileSystem fs = With(inf);
    fs.SetAttributes(kFile, platform::FILE_ATTRIBUTE_NORMAL);
    {
        const auto stream = OpenFileStream(fs, kFile, "r+");
        while (stream->Gets(1024) != "HKR,Config,DISMPU,1,0\n") ASSERT_FALSE(stream->Eof());
        ASSERT_TRUE(stream->Seek(-3, SEEK_CUR) && stream->Write("1"));  // the character before CR LF
        ASSERT_TRUE(fs.WriteFile(kFile, inf + "[Other]\r\n"));
        EXPECT_EQ(stream->Gets(1024), "\n");
        EXPECT_EQ(stream->Gets(1024), "HKR,Config,DISJSTK,1,0\n");
    }
    EXPECT_EQ(fs.ReadFile(kFile), "[Config]\r\nHKR,Config,DISMPU,1,1\r\nHKR,Config,DISJSTK,1,0\r\n[Other]\r\n");
    EXPECT_EQ(fs.Attributes(kFile), platform::FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(!OpenFileStream(fs, "C:\\INF\\ro.inf", "r+") && !OpenFileStream(fs, "E:\\setup.ini", "a") && !OpenFileStream(fs, kFile, "x"));
    auto stream = OpenFileStream(fs, kFile, "r+b");
    ASSERT_TRUE(stream->Write("x") && fs.Remove(kFile));
    EXPECT_FALSE(stream->Flush());
    stream.reset();
    EXPECT_FALSE(fs.Exists(kFile));  // closing does not bring it back
}

}  // namespace
