// What only a virtual file can show of a stream: another writer's changes
// survive a flush, attributes and refusals of the file system, a file taken
// away under the stream. (What a stream answers is the contract suite's.)
#include "platform/vm/file_stream.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using vm::OpenFileStream;
const std::string kFile = "C:\\INF\\OVAUDIO.INF";

TEST(VmStream, UpdateInPlaceKeepsOtherChanges) {
    const std::string inf = "[Config]\r\nHKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\n";
    vm::FileSystem fs;
    fs.AddDrive('C'), fs.AddDrive('E');
    fs.PutFile(kFile, inf, platform::FILE_ATTRIBUTE_NORMAL), fs.PutFile("C:\\INF\\ro.inf", "ro", platform::FILE_ATTRIBUTE_READONLY);
    fs.PutFile("E:\\setup.ini", "x"), fs.SetDriveReadOnly('E', true);
    {
        const auto stream = OpenFileStream(fs, kFile, "r+");
        while (stream->Gets(1024) != "HKR,Config,DISMPU,1,0\n") ASSERT_FALSE(stream->Eof());
        ASSERT_TRUE(stream->Seek(-3, SEEK_CUR) && stream->Write("1"));  // the character before CR LF
        ASSERT_TRUE(fs.WriteFile(kFile, inf + "[Other]\r\n"));
        ASSERT_TRUE(stream->Flush() && stream->Seek(0, SEEK_CUR));
        EXPECT_EQ(stream->Gets(1024), "\n");
        EXPECT_EQ(stream->Gets(1024), "HKR,Config,DISJSTK,1,0\n");
    }
    EXPECT_EQ(fs.ReadFile(kFile), "[Config]\r\nHKR,Config,DISMPU,1,1\r\nHKR,Config,DISJSTK,1,0\r\n[Other]\r\n");
    EXPECT_EQ(fs.Attributes(kFile), platform::FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(!OpenFileStream(fs, "C:\\INF\\ro.inf", "r+") && !OpenFileStream(fs, "E:\\setup.ini", "a") && !OpenFileStream(fs, kFile, "x"));
    auto stream = OpenFileStream(fs, kFile, "r+b");
    ASSERT_TRUE(stream->Write("x") && fs.Remove(kFile));
    EXPECT_FALSE(stream->Flush());
    EXPECT_EQ(stream->Gets(1024), std::nullopt);
    EXPECT_FALSE(stream->Eof());  // a read error, not the end of the file
    stream.reset();
    EXPECT_FALSE(fs.Exists(kFile));  // closing does not bring it back
}

}  // namespace
