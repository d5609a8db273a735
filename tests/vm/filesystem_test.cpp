// Windows 9x files: names kept as spelt, found in any case or by their 8.3
// aliases, given in creation order (what the platform calls answer on them is
// the contract suite's).
#include "platform/vm/filesystem.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using vm::FileSystem;
const std::optional<std::string> none;

std::string Names(const std::vector<FindData>& found, std::string names = "") {  // "long/ALIAS " each
    for (const FindData& data : found) names += data.fileName + (data.alternateFileName.empty() ? "" : "/" + data.alternateFileName) + " ";
    return names;
}

TEST(VmFiles, AliasesInCreationOrder) {
    const std::pair<const char*, const char*> rows[] = {  // created in this order in one folder
        {"Program Files", "PROGRA~1"}, {"Program Data", "PROGRA~2"}, {"Programs.txt", "PROGRAMS.TXT"},
        {"SETUP.EXE", "SETUP.EXE"}, {"Programmer.txt", "PROGRA~1.TXT"}, {"x.infx", "X~1.INF"},
        {"my.file.name.txt", "MYFILE~1.TXT"}, {"a+b;c.t x t", "A_B_C~1.TXT"}, {".profile", "PROFIL~1"}, {"WIN_ME", "WIN_ME"}, {"Name.", "NAME"},
    };
    FileSystem fs;
    fs.AddDrive('C');
    for (const auto& [name, alias] : rows) {
        ASSERT_TRUE(fs.WriteFile(std::string("C:\\") + name, "x")) << name;
        EXPECT_EQ(fs.ShortPath(std::string("C:\\") + name), std::string("C:\\") + alias) << name;
    }
    EXPECT_EQ(Names(fs.Find("C:\\P*")), "Program Files/PROGRA~1 Program Data/PROGRA~2 Programs.txt/PROGRAMS.TXT "
                                         "Programmer.txt/PROGRA~1.TXT .profile/PROFIL~1 ");
    for (int i = 1; i <= 10; ++i) ASSERT_TRUE(fs.PutDirectory("C:\\Tails\\Program Folder " + std::to_string(i)));
    EXPECT_EQ(*fs.ShortPath("C:\\Tails\\Program Folder 9") + *fs.ShortPath("C:\\Tails\\Program Folder 10"), "C:\\TAILS\\PROGRA~9C:\\TAILS\\PROGR~10");
    // An alias is kept for life; a freed number is given again.
    ASSERT_TRUE(fs.Remove("C:\\Tails\\Program Folder 1") && fs.CreateDirectory("C:\\Tails\\Program Stuff"));
    EXPECT_EQ(fs.ShortPath("C:\\Tails\\Program Stuff"), "C:\\TAILS\\PROGRA~1");
    EXPECT_FALSE(fs.CreateDirectory("C:\\tails\\progra~2"));
}

TEST(VmFiles, PathsThroughLongNamesAndAliasesInAnyCase) {
    FileSystem fs;
    fs.AddDrive('C');
    ASSERT_TRUE(fs.PutFile("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "m"));
    struct Row { const char* path; std::optional<std::string> shortPath, longPath; };
    const Row rows[] = {
        {"c:\\progra~1\\orvanta\\win_me\\", "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\", "C:\\Program Files\\Orvanta\\WIN_ME\\"},
        {"C:\\PROGRAM FILES\\Orvanta\\win_me\\mesetup.dat", "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESETUP.DAT", "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat"},
        {"C:\\Program Files\\.\\Orvanta\\..\\Orvanta", "C:\\PROGRA~1\\ORVANTA", "C:\\Program Files\\Orvanta"}, {"C:\\", "C:\\", "C:\\"},
        {"C:\\PROGRA~2", none, none}, {"C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat\\", none, none}, {"D:\\Program Files", none, none},
        {"Program Files", none, none},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(fs.ShortPath(row.path), row.shortPath) << row.path;
        EXPECT_EQ(fs.LongPath(row.path), row.longPath) << row.path;
        EXPECT_EQ(fs.Exists(row.path), row.shortPath.has_value()) << row.path;
    }
}

}  // namespace
