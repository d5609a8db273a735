// Windows 9x files: names kept as spelt, found in any case or by their 8.3
// alias, wildcards on either name, attributes and read-only refusals.
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

FileSystem Fixture() {
    FileSystem fs;
    fs.AddDrive('C'), fs.AddDrive('E');
    fs.PutFile("C:\\src\\Source File.txt", "source", FILE_ATTRIBUTE_READONLY), fs.PutFile("C:\\dst\\existing.txt", "old");
    fs.PutFile("C:\\dst\\readonly.txt", "old", FILE_ATTRIBUTE_READONLY), fs.PutFile("C:\\dst\\hidden.txt", "old", FILE_ATTRIBUTE_HIDDEN);
    fs.PutDirectory("C:\\dst\\folder"), fs.PutFile("E:\\dst\\medium.txt", "e");
    fs.SetDriveReadOnly('e', true);
    return fs;
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

TEST(VmFiles, FindOnLongNameOrAlias) {
    FileSystem fs;
    fs.AddDrive('C');
    for (const std::string name : {"OEM0.INF", "x.infx", "Readme", "oem1.inf", "OTHER", "zz.INF"}) {
        name == "OTHER" ? fs.PutDirectory("C:\\W\\INF\\" + name) : fs.PutFile("C:\\W\\INF\\" + name, "12345678");
    }
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\W\\INF\\*.INF", "OEM0.INF x.infx/X~1.INF oem1.inf/OEM1.INF zz.INF/ZZ.INF "}, {"c:\\w\\inf\\oem?.INF", "OEM0.INF oem1.inf/OEM1.INF "},
        {"C:\\W\\INF\\*.", ". .. Readme/README OTHER "}, {"C:\\W\\INF\\X~1.INF", "x.infx/X~1.INF "},
        {"C:\\W\\INF\\OEM0?.???", "OEM0.INF "}, {"C:\\W\\INF\\re?dme.*", "Readme/README "}, {"C:\\W\\INF\\*a*a*a*a*b", ""},
        {"C:\\*.*", "W "},  // a drive root has no "." and ".."
        {"C:/W/INF/zz.inf", "zz.INF/ZZ.INF "},
        {"C:\\W*\\INF\\*.INF", ""},  // wildcards only in the last component
        {"C:\\W\\INF\\Readme\\*.*", ""}, {"C:\\W\\INF\\", ""},
    };
    for (const auto& [pattern, expected] : rows) EXPECT_EQ(Names(fs.Find(pattern)), expected) << pattern;
    const FindData oem0 = fs.Find("C:\\W\\INF\\*").at(2);
    EXPECT_EQ(std::make_pair(oem0.attributes, oem0.size), std::make_pair(std::uint32_t{FILE_ATTRIBUTE_ARCHIVE}, std::uint64_t{8}));
}

TEST(VmFiles, OperationsAndTheirRefusals) {
    enum Op { Copy, CopyNew, Delete, MakeDir, Write, SetNormal };
    struct Row { Op op; const char *path, *from; bool succeeds; std::optional<std::string> content; std::uint32_t attributes; };
    const char* source = "C:\\src\\Source File.txt";
    const Row rows[] = {
        {Copy, "C:\\dst\\new.txt", source, true, "source", FILE_ATTRIBUTE_READONLY},  // attributes come along
        {CopyNew, "C:\\dst\\new.txt", "C:\\SRC\\source~1.txt", true, "source", FILE_ATTRIBUTE_READONLY},
        {CopyNew, "C:\\dst\\EXISTING.TXT", source, false, "old", FILE_ATTRIBUTE_ARCHIVE},
        {Copy, "C:\\dst\\readonly.txt", source, false, "old", FILE_ATTRIBUTE_READONLY},
        {Copy, "C:\\dst\\hidden.txt", source, false, "old", FILE_ATTRIBUTE_HIDDEN},
        {Copy, "C:\\dst\\folder", source, false, none, FILE_ATTRIBUTE_DIRECTORY}, {Copy, "E:\\dst\\new.txt", source, false, none, 0},
        {Copy, "C:\\src\\SOURCE~1.TXT", source, false, "source", FILE_ATTRIBUTE_READONLY},  // onto itself
        {Delete, "C:\\dst\\hidden.txt", "", true, none, 0}, {Delete, "C:\\dst\\readonly.txt", "", false, "old", FILE_ATTRIBUTE_READONLY},
        {Delete, "E:\\dst\\medium.txt", "", false, "e", FILE_ATTRIBUTE_ARCHIVE},
        {MakeDir, "c:\\DST\\new\\", "", true, none, FILE_ATTRIBUTE_DIRECTORY},
        {MakeDir, "C:\\DST\\FOLDER", "", false, none, FILE_ATTRIBUTE_DIRECTORY},
        {MakeDir, "C:\\dst\\existing.txt", "", false, "old", FILE_ATTRIBUTE_ARCHIVE}, {MakeDir, "E:\\dst\\new", "", false, none, 0},
        {Write, "C:\\dst\\hidden.txt", "", true, "w", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {Write, "C:\\dst\\readonly.txt", "", false, "old", FILE_ATTRIBUTE_READONLY},
        {Write, "E:\\dst\\medium.txt", "", false, "e", FILE_ATTRIBUTE_ARCHIVE},
        {SetNormal, "C:\\dst\\readonly.txt", "", true, "old", FILE_ATTRIBUTE_NORMAL},
        {SetNormal, "E:\\dst\\medium.txt", "", false, "e", FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const Row& row : rows) {
        FileSystem fs = Fixture();
        const bool done = row.op == Copy || row.op == CopyNew ? fs.CopyFile(row.from, row.path, row.op == CopyNew)
                          : row.op == Delete                  ? fs.DeleteFile(row.path)
                          : row.op == MakeDir                 ? fs.CreateDirectory(row.path)
                          : row.op == Write                   ? fs.WriteFile(row.path, "w")
                                                              : fs.SetAttributes(row.path, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(done, row.succeeds) << row.op << " " << row.path;
        EXPECT_EQ(fs.ReadFile(row.path), row.content) << row.op << " " << row.path;
        EXPECT_EQ(fs.Attributes(row.path).value_or(0), row.attributes) << row.op << " " << row.path;
    }
}

}  // namespace
