#include "platform/vm/file_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::FILE_ATTRIBUTE_READONLY;
using vm::FileSystem;
using vm::OpenFileStream;

const std::string kFile = "C:\\WINDOWS\\INF\\OVAUDIO.INF";

FileSystem MachineWith(const std::string& content) {
    FileSystem fs;
    fs.AddDrive('C');
    fs.PutFile(kFile, content);
    return fs;
}

// Every fgets result until the end of the file.
std::vector<std::string> AllLines(platform::FileStream& stream, std::size_t maxChars) {
    std::vector<std::string> lines;
    while (auto line = stream.Gets(maxChars)) lines.push_back(*line);
    return lines;
}

TEST(FileStreamOpen, ModesAndRefusals) {
    struct Row {
        std::string path;
        std::string mode;
        bool opens;
    };
    const std::string readOnly = "C:\\WINDOWS\\INF\\readonly.inf";
    const std::vector<Row> rows = {
        {kFile, "r", true},
        {kFile, "rb", true},
        {kFile, "rt", true},
        {kFile, "r+", true},
        {kFile, "r+b", true},
        {kFile, "rb+", true},
        {kFile, "a+", true},
        {kFile, "x", false},
        {kFile, "", false},
        {"C:\\WINDOWS\\INF\\missing.inf", "rb", false},
        {"C:\\WINDOWS\\INF\\missing.inf", "r+", false},
        {"C:\\WINDOWS\\INF", "r", false},  // a folder
        {"C:\\WINDOWS\\INF", "w", false},
        {"C:\\MISSING\\new.txt", "wb", false},
        {readOnly, "rb", true},
        {readOnly, "r+", false},
        {readOnly, "wb", false},
        {readOnly, "a", false},
        {"E:\\setup.ini", "r", true},
        {"E:\\setup.ini", "r+", false},  // read-only drive
        {"E:\\new.ini", "w", false},
    };
    for (const Row& row : rows) {
        FileSystem fs = MachineWith("x\r\n");
        fs.PutFile(readOnly, "ro", FILE_ATTRIBUTE_READONLY);
        fs.AddDrive('E');
        fs.PutFile("E:\\setup.ini", "[InstallOption]\r\n");
        fs.SetDriveReadOnly('E', true);
        const auto stream = OpenFileStream(fs, row.path, row.mode);
        EXPECT_EQ(stream != nullptr, row.opens) << row.path << " " << row.mode;
    }
}

TEST(FileStreamRead, TextModeTranslation) {
    struct Row {
        std::string stored;
        std::string mode;
        std::string read;
    };
    const std::vector<Row> rows = {
        {"a\r\nb\r\n", "r", "a\nb\n"},
        {"a\r\nb\r\n", "rb", "a\r\nb\r\n"},
        {"a\rb", "r", "a\rb"},  // a lone CR stays
        {"a\r\r\nb", "r", "a\r\nb"},
        {"a\r", "r", "a\r"},
        {"ab\x1A" "cd", "r", "ab"},  // Ctrl-Z ends the data
        {"ab\x1A" "cd", "rb", "ab\x1A" "cd"},
        {"a\n", "r", "a\n"},
    };
    for (const Row& row : rows) {
        FileSystem fs = MachineWith(row.stored);
        const auto stream = OpenFileStream(fs, kFile, row.mode);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->Read(100), row.read) << row.mode;
        EXPECT_TRUE(stream->Eof());
    }
}

TEST(FileStreamRead, GetsCutsLongLinesIntoPieces) {
    FileSystem fs = MachineWith("abcdefghij\r\nxy\r\n\r\nlast");
    const auto stream = OpenFileStream(fs, kFile, "r");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(AllLines(*stream, 5), (std::vector<std::string>{"abcd", "efgh", "ij\n", "xy\n", "\n", "last"}));
    EXPECT_TRUE(stream->Eof());
}

TEST(FileStreamRead, GetsWithTinyBuffers) {
    FileSystem fs = MachineWith("ab");
    const auto stream = OpenFileStream(fs, kFile, "r");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Gets(0), std::nullopt);
    EXPECT_EQ(stream->Gets(1), "");  // room for the terminator only: nothing read
    EXPECT_EQ(stream->Gets(2), "a");
    EXPECT_FALSE(stream->Eof());
    EXPECT_EQ(stream->Gets(2), "b");
    EXPECT_EQ(stream->Gets(2), std::nullopt);
    EXPECT_TRUE(stream->Eof());
}

TEST(FileStreamRead, TellGivesByteOffsetsAndSeekClearsEof) {
    FileSystem fs = MachineWith("line1\r\nline2\r\n");
    const auto stream = OpenFileStream(fs, kFile, "r");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Gets(1024), "line1\n");
    EXPECT_EQ(stream->Tell(), 7);
    EXPECT_EQ(stream->Gets(1024), "line2\n");
    EXPECT_EQ(stream->Tell(), 14);
    EXPECT_FALSE(stream->Eof());
    EXPECT_EQ(stream->Gets(1024), std::nullopt);
    EXPECT_TRUE(stream->Eof());

    ASSERT_TRUE(stream->Seek(0, SEEK_SET));
    EXPECT_FALSE(stream->Eof());
    EXPECT_EQ(stream->Gets(1024), "line1\n");
    ASSERT_TRUE(stream->Seek(-3, SEEK_END));
    EXPECT_EQ(stream->Tell(), 11);
    EXPECT_EQ(stream->Read(10), "2\n");
    EXPECT_FALSE(stream->Seek(-1, SEEK_SET));
    EXPECT_FALSE(stream->Seek(0, 42));
}

TEST(FileStreamWrite, TextModeWritesCrLf) {
    struct Row {
        std::string mode;
        std::string stored;
    };
    const std::vector<Row> rows = {{"w", "a\r\nb\r\n"}, {"wt", "a\r\nb\r\n"}, {"wb", "a\nb\n"}};
    for (const Row& row : rows) {
        FileSystem fs = MachineWith("old content");
        {
            const auto stream = OpenFileStream(fs, kFile, row.mode);
            ASSERT_NE(stream, nullptr);
            EXPECT_TRUE(stream->Write("a\nb\n"));
            EXPECT_EQ(stream->Tell(), static_cast<std::int64_t>(row.stored.size()));
        }
        EXPECT_EQ(fs.ReadFile(kFile), row.stored) << row.mode;
    }
}

TEST(FileStreamWrite, WriteModeEmptiesAtOnceAndStoresOnFlush) {
    FileSystem fs = MachineWith("old content");
    std::vector<std::string> journal;
    const auto stream = OpenFileStream(fs, kFile, "wb", [&](const std::string& path) { journal.push_back(path); });
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(fs.ReadFile(kFile), "");
    EXPECT_EQ(journal.size(), 1u);

    ASSERT_TRUE(stream->Write("new"));
    EXPECT_EQ(fs.ReadFile(kFile), "");  // still in the stream's buffer
    ASSERT_TRUE(stream->Flush());
    EXPECT_EQ(fs.ReadFile(kFile), "new");
    EXPECT_EQ(journal, (std::vector<std::string>{kFile, kFile}));
    EXPECT_EQ(stream->Read(1), "");  // write-only
}

TEST(FileStreamWrite, NewFileInWriteMode) {
    FileSystem fs = MachineWith("");
    {
        const auto stream = OpenFileStream(fs, "C:\\WINDOWS\\INF\\ks.new", "wb");
        ASSERT_NE(stream, nullptr);
        EXPECT_TRUE(fs.IsFile("C:\\WINDOWS\\INF\\ks.new"));
        ASSERT_TRUE(stream->Write("ks.sys,,,0x00000010\r\n"));
    }
    EXPECT_EQ(fs.ReadFile("C:\\WINDOWS\\INF\\ks.new"), "ks.sys,,,0x00000010\r\n");
    EXPECT_EQ(fs.Attributes("C:\\WINDOWS\\INF\\ks.new"), platform::FILE_ATTRIBUTE_ARCHIVE);
}

TEST(FileStreamUpdate, OverwritesOneCharacterInPlace) {
    const std::string inf = "[Config]\r\nHKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\n";
    FileSystem fs = MachineWith(inf);
    fs.SetAttributes(kFile, platform::FILE_ATTRIBUTE_NORMAL);
    std::vector<std::string> journal;
    {
        const auto stream = OpenFileStream(fs, kFile, "r+", [&](const std::string& path) { journal.push_back(path); });
        ASSERT_NE(stream, nullptr);
        std::optional<std::string> line;
        while ((line = stream->Gets(1024)) && *line != "HKR,Config,DISMPU,1,0\n") {
        }
        ASSERT_TRUE(line.has_value());
        ASSERT_TRUE(stream->Seek(-3, SEEK_CUR));  // the character before CR LF
        ASSERT_TRUE(stream->Write("1"));
        ASSERT_TRUE(stream->Flush());
        EXPECT_EQ(journal.size(), 1u);
        // Reading goes on after the written character.
        EXPECT_EQ(stream->Gets(1024), "\n");
        EXPECT_EQ(stream->Gets(1024), "HKR,Config,DISJSTK,1,0\n");
        ASSERT_TRUE(stream->Seek(0, SEEK_END));
        ASSERT_TRUE(stream->Flush());
    }
    std::string expected = inf;
    expected[expected.find("DISMPU,1,0") + 9] = '1';
    EXPECT_EQ(fs.ReadFile(kFile), expected);
    EXPECT_EQ(journal.size(), 1u);
    EXPECT_EQ(fs.Attributes(kFile), platform::FILE_ATTRIBUTE_ARCHIVE);  // a changed file is marked for backup
}

TEST(FileStreamUpdate, WritesAfterTheEndExtendTheFile) {
    struct Row {
        std::string mode;
        std::int64_t seek;
        int origin;
        std::string written;
        std::string stored;
    };
    const std::vector<Row> rows = {
        {"r+", 0, SEEK_END, "z\n", "abc\r\nz\r\n"},
        {"r+b", 2, SEEK_END, "z", std::string("abc\r\n\0\0z", 8)},
        {"r+b", 1, SEEK_SET, "XYZWV", "aXYZWV"},
        {"a", 0, SEEK_SET, "z", "abc\r\nz"},  // appending ignores the position
        {"a+b", 1, SEEK_SET, "z", "abc\r\nz"},
    };
    for (const Row& row : rows) {
        FileSystem fs = MachineWith("abc\r\n");
        {
            const auto stream = OpenFileStream(fs, kFile, row.mode);
            ASSERT_NE(stream, nullptr);
            ASSERT_TRUE(stream->Seek(row.seek, row.origin));
            ASSERT_TRUE(stream->Write(row.written));
        }
        EXPECT_EQ(fs.ReadFile(kFile), row.stored) << row.mode;
    }
}

TEST(FileStreamUpdate, TextUpdateDropsATrailingCtrlZ) {
    FileSystem fs = MachineWith("a\r\n\x1A");
    {
        const auto stream = OpenFileStream(fs, kFile, "a+");
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(fs.ReadFile(kFile), "a\r\n");
        ASSERT_TRUE(stream->Write("b\n"));
    }
    EXPECT_EQ(fs.ReadFile(kFile), "a\r\nb\r\n");

    FileSystem binary = MachineWith("a\x1A");
    EXPECT_NE(OpenFileStream(binary, kFile, "r+b"), nullptr);
    EXPECT_EQ(binary.ReadFile(kFile), "a\x1A");
}

TEST(FileStreamUpdate, FlushKeepsOtherChangesToTheFile) {
    FileSystem fs = MachineWith("0123456789");
    const auto stream = OpenFileStream(fs, kFile, "r+b");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->Seek(2, SEEK_SET));
    ASSERT_TRUE(stream->Write("x"));
    ASSERT_TRUE(fs.WriteFile(kFile, "abcdefghijkl"));
    ASSERT_TRUE(stream->Flush());
    EXPECT_EQ(fs.ReadFile(kFile), "abxdefghijkl");
}

TEST(FileStreamUpdate, FileRemovedWhileOpen) {
    FileSystem fs = MachineWith("abc");
    {
        const auto stream = OpenFileStream(fs, kFile, "r+b");
        ASSERT_NE(stream, nullptr);
        ASSERT_TRUE(stream->Write("x"));
        ASSERT_TRUE(fs.Remove(kFile));
        EXPECT_FALSE(stream->Flush());
        ASSERT_TRUE(stream->Write("y"));
    }  // closing must not bring the file back
    EXPECT_FALSE(fs.Exists(kFile));
}

TEST(FileStreamRead, ReadOnlyStreamRefusesWrites) {
    FileSystem fs = MachineWith("abc");
    const auto stream = OpenFileStream(fs, kFile, "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(stream->Write("x"));
    EXPECT_TRUE(stream->Flush());
    EXPECT_EQ(stream->Read(2), "ab");
    EXPECT_EQ(fs.ReadFile(kFile), "abc");
}

}  // namespace
