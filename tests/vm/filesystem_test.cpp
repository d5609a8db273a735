// The virtual file system as Windows 9x behaves: long names kept as spelt but
// found in any case, 8.3 aliases given at creation, wildcards on either name,
// attributes and the refusals of read-only files and drives.
#include "platform/vm/filesystem.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using vm::FileSystem;
const std::optional<std::string> none;

std::string Names(const std::vector<FindData>& found) {
    std::string names;
    for (const FindData& data : found) names += data.fileName + (data.alternateFileName.empty() ? "" : "/" + data.alternateFileName) + " ";
    return names;
}

FileSystem Fixture() {
    FileSystem fs;
    fs.AddDrive('C');
    fs.AddDrive('E');
    fs.PutFile("C:\\src\\Source File.txt", "source", FILE_ATTRIBUTE_READONLY);
    fs.PutFile("C:\\dst\\existing.txt", "old");
    fs.PutFile("C:\\dst\\readonly.txt", "old", FILE_ATTRIBUTE_READONLY);
    fs.PutFile("C:\\dst\\hidden.txt", "old", FILE_ATTRIBUTE_HIDDEN);
    fs.PutDirectory("C:\\dst\\folder");
    fs.PutFile("E:\\dst\\medium.txt", "e");
    fs.SetDriveReadOnly('e', true);
    return fs;
}

TEST(VmFiles, AliasesInCreationOrder) {
    const std::pair<const char*, const char*> rows[] = {  // created in this order in one folder
        {"Program Files", "PROGRA~1"}, {"Program Data", "PROGRA~2"}, {"Programs.txt", "PROGRAMS.TXT"},
        {"SETUP.EXE", "SETUP.EXE"}, {"Programmer.txt", "PROGRA~1.TXT"}, {"x.infx", "X~1.INF"},
        {"my.file.name.txt", "MYFILE~1.TXT"}, {"a+b;c.t x t", "A_B_C~1.TXT"}, {".profile", "PROFIL~1"},
        {"WIN_ME", "WIN_ME"}, {"Name.", "NAME"},
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
    EXPECT_EQ(fs.ShortPath("C:\\Tails\\Program Folder 9"), "C:\\TAILS\\PROGRA~9");
    EXPECT_EQ(fs.ShortPath("C:\\Tails\\Program Folder 10"), "C:\\TAILS\\PROGR~10");
    // An alias is kept for life; a freed number is given again.
    ASSERT_TRUE(fs.Remove("C:\\Tails\\Program Folder 1"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\Tails\\Program Stuff"));
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
        {"C:\\Program Files\\.\\Orvanta\\..\\Orvanta", "C:\\PROGRA~1\\ORVANTA", "C:\\Program Files\\Orvanta"},
        {"C:\\", "C:\\", "C:\\"},
        {"C:\\PROGRA~2", none, none},
        {"C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat\\", none, none},
        {"D:\\Program Files", none, none},
        {"Program Files", none, none},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(fs.ShortPath(row.path), row.shortPath) << row.path;
        EXPECT_EQ(fs.LongPath(row.path), row.longPath) << row.path;
        EXPECT_EQ(fs.Exists(row.path), row.shortPath.has_value()) << row.path;
    }
}

TEST(VmFiles, WildcardMatch) {
    struct Row { const char *pattern, *name; bool matches; };
    const Row rows[] = {
        {"*.*", "abc", true}, {"*.*", "a.b.c", true}, {"abc.*", "abc", true}, {"abc.*", "abcd", false},
        {"*.", "abc", true}, {"*.", "abc.txt", false}, {"*.inf", "OEM1.INF", true}, {"*.INF", "x.infx", false},
        {"OEM*.INF", "xoem1.inf", false}, {"OEM*.INF", "OEM1.PNF", false}, {"a?c", "ac", false}, {"a?c", "a.c", true},
        {"abc??", "abc", true}, {"ab?.txt", "ab.txt", true}, {"ab?.txt", "abcd.txt", false}, {"????????.???", "abc", true},
        {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const Row& row : rows) EXPECT_EQ(vm::WildcardMatch(row.pattern, row.name), row.matches) << row.pattern << " " << row.name;
}

TEST(VmFiles, FindOnLongNameOrAlias) {
    FileSystem fs;
    fs.AddDrive('C');
    for (const std::string name : {"OEM0.INF", "x.infx", "Readme", "oem1.inf", "OTHER", "zz.INF"}) {
        name == "OTHER" ? fs.PutDirectory("C:\\W\\INF\\" + name) : fs.PutFile("C:\\W\\INF\\" + name, "12345678");
    }
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\W\\INF\\*.INF", "OEM0.INF x.infx/X~1.INF oem1.inf/OEM1.INF zz.INF/ZZ.INF "},
        {"c:\\w\\inf\\oem?.INF", "OEM0.INF oem1.inf/OEM1.INF "},
        {"C:\\W\\INF\\*.", ". .. Readme/README OTHER "},
        {"C:\\W\\INF\\X~1.INF", "x.infx/X~1.INF "},
        {"C:\\*.*", "W "},  // a drive root has no "." and ".."
        {"C:/W/INF/zz.inf", "zz.INF/ZZ.INF "},
        {"C:\\W*\\INF\\*.INF", ""},  // wildcards only in the last component
        {"C:\\W\\INF\\Readme\\*.*", ""},
        {"C:\\W\\INF\\", ""},
    };
    for (const auto& [pattern, expected] : rows) EXPECT_EQ(Names(fs.Find(pattern)), expected) << pattern;
    const std::vector<FindData> found = fs.Find("C:\\W\\INF\\*");
    EXPECT_EQ(found[0].attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found[2].attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found[2].size, 8u);
}

TEST(VmFiles, OperationsAndTheirRefusals) {
    enum Op { Copy, CopyNew, Delete, MakeDir, Write, SetNormal };
    struct Row { Op op; const char *path, *from; bool succeeds; std::optional<std::string> content; std::uint32_t attributes; };
    const char* source = "C:\\src\\Source File.txt";
    const Row rows[] = {
        {Copy, "C:\\dst\\new.txt", source, true, "source", FILE_ATTRIBUTE_READONLY},  // attributes come along
        {CopyNew, "C:\\dst\\new.txt", "C:\\SRC\\source~1.txt", true, "source", FILE_ATTRIBUTE_READONLY},
        {Copy, "C:\\dst\\existing.txt", source, true, "source", FILE_ATTRIBUTE_READONLY},
        {CopyNew, "C:\\dst\\EXISTING.TXT", source, false, "old", FILE_ATTRIBUTE_ARCHIVE},
        {Copy, "C:\\dst\\readonly.txt", source, false, "old", FILE_ATTRIBUTE_READONLY},
        {Copy, "C:\\dst\\hidden.txt", source, false, "old", FILE_ATTRIBUTE_HIDDEN},
        {Copy, "C:\\dst\\folder", source, false, none, FILE_ATTRIBUTE_DIRECTORY},
        {Copy, "C:\\missing\\new.txt", source, false, none, 0},
        {Copy, "E:\\dst\\new.txt", source, false, none, 0},
        {Copy, "C:\\src\\SOURCE~1.TXT", source, false, "source", FILE_ATTRIBUTE_READONLY},  // onto itself
        {Copy, "C:\\dst\\new.txt", "C:\\src", false, none, 0},
        {Delete, "C:\\dst\\hidden.txt", "", true, none, 0},
        {Delete, "C:\\dst\\readonly.txt", "", false, "old", FILE_ATTRIBUTE_READONLY},
        {Delete, "C:\\dst\\folder", "", false, none, FILE_ATTRIBUTE_DIRECTORY},
        {Delete, "E:\\dst\\medium.txt", "", false, "e", FILE_ATTRIBUTE_ARCHIVE},
        {MakeDir, "c:\\DST\\new\\", "", true, none, FILE_ATTRIBUTE_DIRECTORY},
        {MakeDir, "C:\\DST\\FOLDER", "", false, none, FILE_ATTRIBUTE_DIRECTORY},
        {MakeDir, "C:\\dst\\existing.txt", "", false, "old", FILE_ATTRIBUTE_ARCHIVE},
        {MakeDir, "E:\\dst\\new", "", false, none, 0},
        {MakeDir, "C:\\dst\\a*b", "", false, none, 0},
        {Write, "C:\\dst\\hidden.txt", "", true, "w", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {Write, "C:\\dst\\readonly.txt", "", false, "old", FILE_ATTRIBUTE_READONLY},
        {Write, "C:\\dst\\new.txt\\", "", false, none, 0},
        {Write, "E:\\dst\\medium.txt", "", false, "e", FILE_ATTRIBUTE_ARCHIVE},
        {SetNormal, "C:\\dst\\readonly.txt", "", true, "old", FILE_ATTRIBUTE_NORMAL},
        {SetNormal, "C:\\dst\\folder", "", true, none, FILE_ATTRIBUTE_DIRECTORY},
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

TEST(VmFiles, FullPath) {
    struct Row { const char *current, *path; std::optional<std::string> full; };
    const char* cwd = "C:\\WINDOWS\\TEMP";
    const Row rows[] = {
        {cwd, "Sub\\file.txt", "C:\\WINDOWS\\TEMP\\Sub\\file.txt"}, {cwd, "\\Audio\\setup.exe", "C:\\Audio\\setup.exe"},
        {cwd, "D:x", "D:\\x"}, {cwd, "C:x", "C:\\WINDOWS\\TEMP\\x"}, {cwd, "C:", "C:\\WINDOWS\\TEMP"},
        {cwd, "..\\..\\..\\..\\x", "C:\\x"}, {cwd, "E:/W2K-ME/app/", "E:\\W2K-ME\\app"}, {cwd, "E:\\", "E:\\"},
        {cwd, "e:\\a\\.\\b\\..\\c", "E:\\a\\c"}, {cwd, "C:\\a\\\\b", "C:\\a\\b"}, {"C:\\", "x", "C:\\x"},
        {cwd, "\\\\server\\share\\setup.exe", none}, {cwd, "", none}, {"", "x", none}, {"", "D:x", "D:\\x"},
    };
    for (const Row& row : rows) EXPECT_EQ(FileSystem::FullPath(row.current, row.path), row.full) << row.current << " + " << row.path;
}

TEST(VmFiles, RemoveAndSnapshotInCreationOrder) {
    FileSystem fs = Fixture();
    EXPECT_TRUE(fs.Remove("C:\\DST"));
    EXPECT_FALSE(fs.Remove("C:\\dst"));
    fs.PutFile("C:\\Alpha Folder\\2.txt", "two");
    fs.PutFile("C:\\Alpha Folder\\1.txt", "one", FILE_ATTRIBUTE_HIDDEN);
    std::string seen;
    for (const auto& e : fs.Snapshot()) seen += e.path + "|" + e.shortPath + "|" + std::to_string(e.attributes) + "|" + e.content + "\n";
    EXPECT_EQ(seen, "C:\\src|C:\\SRC|16|\nC:\\src\\Source File.txt|C:\\SRC\\SOURCE~1.TXT|1|source\n"
                    "C:\\Alpha Folder|C:\\ALPHAF~1|16|\nC:\\Alpha Folder\\2.txt|C:\\ALPHAF~1\\2.TXT|32|two\n"
                    "C:\\Alpha Folder\\1.txt|C:\\ALPHAF~1\\1.TXT|2|one\nE:\\dst|E:\\DST|16|\nE:\\dst\\medium.txt|E:\\DST\\MEDIUM.TXT|32|e\n");
}

}  // namespace
