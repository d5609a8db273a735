#include "platform/vm/filesystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::FILE_ATTRIBUTE_ARCHIVE;
using platform::FILE_ATTRIBUTE_DIRECTORY;
using platform::FILE_ATTRIBUTE_HIDDEN;
using platform::FILE_ATTRIBUTE_NORMAL;
using platform::FILE_ATTRIBUTE_READONLY;
using vm::FileSystem;

std::vector<std::string> Names(const std::vector<platform::FindData>& found) {
    std::vector<std::string> names;
    for (const auto& data : found) names.push_back(data.fileName);
    return names;
}

std::optional<platform::FindData> FindOne(const FileSystem& fs, const std::string& folder, const std::string& name) {
    for (const auto& data : fs.Find(folder + "\\*")) {
        if (data.fileName == name) return data;
    }
    return std::nullopt;
}

// --- Short names ---

TEST(FileSystemShortNames, AliasesGivenInCreationOrder) {
    struct Row {
        std::string name;
        std::string alias;
        std::string alternateFileName;
    };
    // Created in this order in one folder: the tail numbers depend on it.
    const std::vector<Row> rows = {
        {"Program Files", "PROGRA~1", "PROGRA~1"},
        {"Program Data", "PROGRA~2", "PROGRA~2"},
        {"Programs.txt", "PROGRAMS.TXT", "PROGRAMS.TXT"},  // valid 8.3, not upper case
        {"SETUP.EXE", "SETUP.EXE", ""},
        {"Programmer.txt", "PROGRA~1.TXT", "PROGRA~1.TXT"},  // the extension makes it another alias
        {"x.infx", "X~1.INF", "X~1.INF"},
        {"Driver Setup.html", "DRIVER~1.HTM", "DRIVER~1.HTM"},
        {"my.file.name.txt", "MYFILE~1.TXT", "MYFILE~1.TXT"},
        {"a b c", "ABC~1", "ABC~1"},
        {"a+b;c.t x t", "A_B_C~1.TXT", "A_B_C~1.TXT"},
        {".profile", "PROFIL~1", "PROFIL~1"},
        {"abcdefghi", "ABCDEF~1", "ABCDEF~1"},
        {"ORVANTA", "ORVANTA", ""},
        {"WIN_ME", "WIN_ME", ""},
        {"Name.", "NAME", "NAME"},  // Win32 drops trailing dots
    };
    FileSystem fs;
    fs.AddDrive('C');
    for (const Row& row : rows) {
        const std::string path = "C:\\" + row.name;
        ASSERT_TRUE(fs.WriteFile(path, "x")) << row.name;
        EXPECT_EQ(fs.ShortPath(path), "C:\\" + row.alias) << row.name;
        const std::string stored = row.name.back() == '.' ? row.name.substr(0, row.name.size() - 1) : row.name;
        const auto data = FindOne(fs, "C:", stored);
        ASSERT_TRUE(data.has_value()) << row.name;
        EXPECT_EQ(data->alternateFileName, row.alternateFileName) << row.name;
    }
}

TEST(FileSystemShortNames, TailNumbersPastNineShortenTheBase) {
    FileSystem fs;
    fs.AddDrive('C');
    for (int i = 1; i <= 11; ++i) ASSERT_TRUE(fs.CreateDirectory("C:\\Program Folder " + std::to_string(i)));
    EXPECT_EQ(fs.ShortPath("C:\\Program Folder 9"), "C:\\PROGRA~9");
    EXPECT_EQ(fs.ShortPath("C:\\Program Folder 10"), "C:\\PROGR~10");
    EXPECT_EQ(fs.ShortPath("C:\\Program Folder 11"), "C:\\PROGR~11");
}

TEST(FileSystemShortNames, AliasIsKeptForLifeAndFreedNumbersReused) {
    FileSystem fs;
    fs.AddDrive('C');
    ASSERT_TRUE(fs.CreateDirectory("C:\\Program Files"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\Program Data"));
    ASSERT_TRUE(fs.Remove("C:\\Program Files"));
    EXPECT_EQ(fs.ShortPath("C:\\Program Data"), "C:\\PROGRA~2");
    ASSERT_TRUE(fs.CreateDirectory("C:\\Program Stuff"));
    EXPECT_EQ(fs.ShortPath("C:\\Program Stuff"), "C:\\PROGRA~1");
}

TEST(FileSystemShortNames, PathsResolveThroughLongNamesAndAliasesInAnyCase) {
    FileSystem fs;
    fs.AddDrive('C');
    ASSERT_TRUE(fs.PutFile("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "m"));
    ASSERT_TRUE(fs.PutDirectory("C:\\Program Data"));

    struct Row {
        std::string path;
        std::optional<std::string> shortPath;
        std::optional<std::string> longPath;
    };
    const std::vector<Row> rows = {
        {"C:\\Program Files\\Orvanta\\WIN_ME", "C:\\PROGRA~1\\ORVANTA\\WIN_ME", "C:\\Program Files\\Orvanta\\WIN_ME"},
        {"c:\\progra~1\\orvanta\\win_me\\", "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\", "C:\\Program Files\\Orvanta\\WIN_ME\\"},
        {"C:\\PROGRAM FILES\\Orvanta\\win_me\\mesetup.dat", "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESETUP.DAT",
         "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat"},
        {"C:\\progra~2", "C:\\PROGRA~2", "C:\\Program Data"},
        {"C:\\Program Files\\.\\Orvanta\\..\\Orvanta", "C:\\PROGRA~1\\ORVANTA", "C:\\Program Files\\Orvanta"},
        {"C:\\", "C:\\", "C:\\"},
        {"C:\\PROGRA~3", std::nullopt, std::nullopt},
        {"C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat\\", std::nullopt, std::nullopt},  // a file is no folder
        {"D:\\Program Files", std::nullopt, std::nullopt},
        {"Program Files", std::nullopt, std::nullopt},  // not absolute
    };
    for (const Row& row : rows) {
        EXPECT_EQ(fs.ShortPath(row.path), row.shortPath) << row.path;
        EXPECT_EQ(fs.LongPath(row.path), row.longPath) << row.path;
        EXPECT_EQ(fs.Exists(row.path), row.shortPath.has_value()) << row.path;
    }
}

TEST(FileSystemShortNames, CreatingByAnAliasFindsTheExistingEntry) {
    FileSystem fs;
    fs.AddDrive('C');
    ASSERT_TRUE(fs.CreateDirectory("C:\\Program Files"));
    EXPECT_FALSE(fs.CreateDirectory("C:\\progra~1"));
    ASSERT_TRUE(fs.WriteFile("C:\\progra~1\\a.txt", "a"));
    EXPECT_TRUE(fs.IsFile("C:\\Program Files\\A.TXT"));
    EXPECT_EQ(fs.Find("C:\\*").size(), 1u);
}

TEST(FileSystemShortNames, ValidShortNames) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"SETUP.EXE", true},   {"setup.exe", true},   {"A", true},           {"ABCDEFGH.IJK", true},
        {"WIN_ME", true},      {"PROGRA~1", true},    {"A$%'-@.{}!", true},  {"ABCDEFGHI", false},
        {"A.BCDE", false},     {"A.B.C", false},      {"A B", false},        {"A+B", false},
        {".PROFILE", false},   {"ABC.", false},       {"", false},           {"A[1]", false},
    };
    for (const auto& [name, valid] : rows) EXPECT_EQ(vm::IsValidShortName(name), valid) << name;
}

// --- Wildcards ---

TEST(FileSystemWildcard, MatchTable) {
    struct Row {
        std::string pattern;
        std::string name;
        bool matches;
    };
    const std::vector<Row> rows = {
        {"*", "abc", true},
        {"*.*", "abc", true},  // ".*" also matches names without a dot
        {"*.*", "a.b.c", true},
        {"abc.*", "abc", true},
        {"abc.*", "abc.txt", true},
        {"abc.*", "abcd", false},
        {"*.", "abc", true},
        {"*.", "abc.txt", false},
        {"*.inf", "OEM1.INF", true},
        {"*.INF", "x.infx", false},  // found through its alias X~1.INF instead
        {"OEM*.INF", "oem12.inf", true},
        {"OEM*.INF", "xoem1.inf", false},
        {"OEM*.INF", "OEM1.PNF", false},
        {"setup.ini", "SETUP.INI", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},  // '?' is empty only at the end or before a dot
        {"a?c", "a.c", true},
        {"abc?", "abc", true},
        {"abc??", "abc", true},
        {"ab?.txt", "ab.txt", true},
        {"ab?.txt", "abcd.txt", false},
        {"a??", "abcd", false},
        {"????????.???", "abc", true},
        {"*.???", "readme", true},
        {"*.INF", "oem", false},
        {"*a*a*a*a*a*b", std::string(40, 'a'), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vm::WildcardMatch(row.pattern, row.name), row.matches) << row.pattern << " / " << row.name;
    }
}

FileSystem InfFolder() {
    FileSystem fs;
    fs.AddDrive('C');
    for (const char* name : {"OEM0.INF", "x.infx", "Readme", "oem1.inf", "ovaudio.pnf"}) {
        fs.PutFile(std::string("C:\\WINDOWS\\INF\\") + name, name);
    }
    fs.PutDirectory("C:\\WINDOWS\\INF\\OTHER");
    fs.PutFile("C:\\WINDOWS\\INF\\zz.INF", "z");
    return fs;
}

TEST(FileSystemWildcard, FindTable) {
    const FileSystem fs = InfFolder();
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"C:\\WINDOWS\\INF\\*.INF", {"OEM0.INF", "x.infx", "oem1.inf", "zz.INF"}},
        {"c:\\windows\\inf\\oem*.INF", {"OEM0.INF", "oem1.inf"}},
        {"C:\\WINDOWS\\INF\\OEM?.INF", {"OEM0.INF", "oem1.inf"}},
        {"C:\\WINDOWS\\INF\\*.*", {".", "..", "OEM0.INF", "x.infx", "Readme", "oem1.inf", "ovaudio.pnf", "OTHER", "zz.INF"}},
        {"C:\\WINDOWS\\INF\\*.", {".", "..", "Readme", "OTHER"}},
        {"C:\\WINDOWS\\INF\\README", {"Readme"}},
        {"C:\\WINDOWS\\INF\\X~1.INF", {"x.infx"}},
        {"C:\\WINDOWS\\INF\\OTHER\\*.*", {".", ".."}},
        {"C:\\*.*", {"WINDOWS"}},  // a drive root has no "." and ".."
        {"C:/WINDOWS/INF/zz.inf", {"zz.INF"}},
        {"C:\\WINDOWS\\MISSING\\*.*", {}},
        {"C:\\WIN*\\INF\\*.INF", {}},  // wildcards only in the last component
        {"C:\\WINDOWS\\INF\\Readme\\*.*", {}},
        {"C:\\WINDOWS\\INF\\", {}},
        {"D:\\*.*", {}},
    };
    for (const auto& [pattern, expected] : rows) EXPECT_EQ(Names(fs.Find(pattern)), expected) << pattern;
}

TEST(FileSystemWildcard, FindDataFields) {
    FileSystem fs = InfFolder();
    ASSERT_TRUE(fs.SetAttributes("C:\\WINDOWS\\INF\\oem1.inf", FILE_ATTRIBUTE_NORMAL));
    const auto found = fs.Find("C:\\WINDOWS\\INF\\*");
    ASSERT_EQ(found.size(), 9u);
    EXPECT_EQ(found[0].attributes, FILE_ATTRIBUTE_DIRECTORY);  // "."
    EXPECT_EQ(found[1].attributes, FILE_ATTRIBUTE_DIRECTORY);  // ".."
    EXPECT_EQ(found[2].attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(found[2].size, 8u);
    EXPECT_EQ(found[2].alternateFileName, "");
    EXPECT_EQ(found[3].alternateFileName, "X~1.INF");
    EXPECT_EQ(found[5].attributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(found[7].fileName, "OTHER");
    EXPECT_EQ(found[7].attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(found[7].size, 0u);
}

// --- Attributes, copies, deletions ---

TEST(FileSystemAttributes, ReportedValues) {
    FileSystem fs;
    fs.AddDrive('C');
    ASSERT_TRUE(fs.WriteFile("C:\\new.txt", "n"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\Folder"));
    EXPECT_EQ(fs.Attributes("C:\\new.txt"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(fs.Attributes("C:\\Folder"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(fs.Attributes("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(fs.Attributes("C:\\missing"), std::nullopt);

    ASSERT_TRUE(fs.SetAttributes("C:\\new.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(fs.Attributes("C:\\new.txt"), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(fs.SetAttributes("C:\\new.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(fs.Attributes("C:\\new.txt"), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(fs.SetAttributes("C:\\Folder", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(fs.Attributes("C:\\Folder"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(fs.SetAttributes("C:\\missing", FILE_ATTRIBUTE_NORMAL));

    // Writing marks the file for backup again.
    ASSERT_TRUE(fs.SetAttributes("C:\\new.txt", FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(fs.WriteFile("C:\\new.txt", "again"));
    EXPECT_EQ(fs.Attributes("C:\\new.txt"), FILE_ATTRIBUTE_ARCHIVE);
}

TEST(FileSystemAttributes, PlainCopyOfAReadOnlyMediumFile) {
    FileSystem fs;
    fs.AddDrive('C');
    fs.AddDrive('E');
    fs.PutFile("E:\\WIN_ME\\drv\\ovaudio.sys", "new driver", FILE_ATTRIBUTE_READONLY);
    fs.SetDriveReadOnly('E', true);
    fs.PutDirectory("C:\\Staging");
    const std::string target = "C:\\Staging\\ovaudio.sys";

    ASSERT_TRUE(fs.CopyFile("E:\\WIN_ME\\drv\\ovaudio.sys", target, false));
    EXPECT_EQ(fs.Attributes(target), FILE_ATTRIBUTE_READONLY);
    fs.PutFile("E:\\WIN_ME\\drv\\ovaudio.sys", "newer driver", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(fs.CopyFile("E:\\WIN_ME\\drv\\ovaudio.sys", target, false));
    EXPECT_EQ(fs.ReadFile(target), "new driver");

    ASSERT_TRUE(fs.SetAttributes(target, FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(fs.CopyFile("E:\\WIN_ME\\drv\\ovaudio.sys", target, false));
    EXPECT_EQ(fs.ReadFile(target), "newer driver");
    EXPECT_EQ(fs.Attributes(target), FILE_ATTRIBUTE_READONLY);
}

FileSystem CopyFixture() {
    FileSystem fs;
    fs.AddDrive('C');
    fs.AddDrive('E');
    fs.PutFile("C:\\src\\Source File.txt", "source");
    fs.PutFile("C:\\dst\\existing.txt", "old");
    fs.PutFile("C:\\dst\\readonly.txt", "old", FILE_ATTRIBUTE_READONLY);
    fs.PutFile("C:\\dst\\hidden.txt", "old", FILE_ATTRIBUTE_HIDDEN);
    fs.PutDirectory("C:\\dst\\folder");
    fs.PutDirectory("E:\\dst");
    fs.SetDriveReadOnly('E', true);
    return fs;
}

TEST(FileSystemCopyFile, Table) {
    struct Row {
        std::string from;
        std::string to;
        bool failIfExists;
        bool succeeds;
        std::optional<std::string> targetContent;  // after the call
    };
    const std::string source = "C:\\src\\Source File.txt";
    const std::vector<Row> rows = {
        {source, "C:\\dst\\new.txt", false, true, "source"},
        {source, "C:\\dst\\new.txt", true, true, "source"},
        {"C:\\src\\SOURCE~1.TXT", "C:\\dst\\new.txt", true, true, "source"},
        {source, "C:\\dst\\existing.txt", false, true, "source"},
        {source, "C:\\dst\\EXISTING.TXT", true, false, "old"},
        {source, "C:\\dst\\readonly.txt", false, false, "old"},
        {source, "C:\\dst\\hidden.txt", false, false, "old"},
        {source, "C:\\dst\\folder", false, false, std::nullopt},
        {source, "C:\\missing\\new.txt", false, false, std::nullopt},
        {source, "E:\\dst\\new.txt", false, false, std::nullopt},
        {source, "C:\\src\\SOURCE~1.TXT", false, false, "source"},  // onto itself
        {"C:\\src\\missing.txt", "C:\\dst\\new.txt", false, false, std::nullopt},
        {"C:\\src", "C:\\dst\\new.txt", false, false, std::nullopt},
    };
    for (const Row& row : rows) {
        FileSystem fs = CopyFixture();
        EXPECT_EQ(fs.CopyFile(row.from, row.to, row.failIfExists), row.succeeds) << row.from << " -> " << row.to;
        EXPECT_EQ(fs.ReadFile(row.to), row.targetContent) << row.to;
    }
}

TEST(FileSystemCopyFile, OverwriteKeepsTheTargetsNameAndPlace) {
    FileSystem fs = CopyFixture();
    ASSERT_TRUE(fs.CopyFile("C:\\src\\Source File.txt", "C:\\DST\\EXISTING.TXT", false));
    EXPECT_EQ(Names(fs.Find("C:\\dst\\*.txt")), (std::vector<std::string>{"existing.txt", "readonly.txt", "hidden.txt"}));
}

TEST(FileSystemDeleteFile, Table) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"C:\\dst\\existing.txt", true},  {"C:\\dst\\hidden.txt", true}, {"C:\\dst\\readonly.txt", false},
        {"C:\\dst\\folder", false},       {"C:\\dst\\missing.txt", false}, {"E:\\dst", false},
    };
    for (const auto& [path, succeeds] : rows) {
        FileSystem fs = CopyFixture();
        const bool existed = fs.Exists(path);
        EXPECT_EQ(fs.DeleteFile(path), succeeds) << path;
        EXPECT_EQ(fs.Exists(path), existed && !succeeds) << path;
    }
    FileSystem fs = CopyFixture();
    fs.PutFile("E:\\file.txt", "e");  // set-up ignores the drive's protection
    EXPECT_FALSE(fs.DeleteFile("E:\\file.txt"));
    EXPECT_TRUE(fs.IsFile("E:\\file.txt"));
}

TEST(FileSystemCreateDirectory, Table) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"C:\\dst\\New Folder", true},
        {"c:\\DST\\new\\", true},
        {"C:\\dst\\folder", false},        // exists
        {"C:\\DST\\FOLDER", false},        // exists, other case
        {"C:\\dst\\existing.txt", false},  // a file of that name
        {"C:\\missing\\new", false},
        {"E:\\dst\\new", false},  // read-only drive
        {"C:\\dst\\a*b", false},
        {"C:\\", false},
        {"Q:\\new", false},
    };
    for (const auto& [path, succeeds] : rows) {
        FileSystem fs = CopyFixture();
        EXPECT_EQ(fs.CreateDirectory(path), succeeds) << path;
        if (succeeds) {
            EXPECT_TRUE(fs.IsDirectory(path)) << path;
        }
    }
}

TEST(FileSystemWriteFile, Table) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"C:\\dst\\new.txt", true},     {"C:\\dst\\existing.txt", true}, {"C:\\dst\\hidden.txt", true},
        {"C:\\dst\\readonly.txt", false}, {"C:\\dst\\folder", false},    {"C:\\missing\\new.txt", false},
        {"E:\\dst\\new.txt", false},      {"C:\\dst\\new.txt\\", false},
    };
    for (const auto& [path, succeeds] : rows) {
        FileSystem fs = CopyFixture();
        EXPECT_EQ(fs.WriteFile(path, "written"), succeeds) << path;
        if (succeeds) {
            EXPECT_EQ(fs.ReadFile(path), "written") << path;
        }
    }
}

TEST(FileSystemReadOnlyDrive, RefusesEveryChangeButReads) {
    FileSystem fs;
    fs.AddDrive('E');
    fs.PutFile("E:\\setup.ini", "[InstallOption]");
    fs.SetDriveReadOnly('e', true);
    EXPECT_TRUE(fs.IsDriveReadOnly('E'));
    EXPECT_FALSE(fs.WriteFile("E:\\setup.ini", "x"));
    EXPECT_FALSE(fs.SetAttributes("E:\\setup.ini", FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(fs.CreateDirectory("E:\\New"));
    EXPECT_FALSE(fs.CopyFile("E:\\setup.ini", "E:\\copy.ini", false));
    EXPECT_EQ(fs.ReadFile("E:\\setup.ini"), "[InstallOption]");
    EXPECT_EQ(fs.Attributes("E:\\setup.ini"), FILE_ATTRIBUTE_ARCHIVE);
    fs.SetDriveReadOnly('E', false);
    EXPECT_TRUE(fs.WriteFile("E:\\setup.ini", "x"));
}

TEST(FileSystemSetUp, PutFileAndPutDirectory) {
    FileSystem fs;
    fs.AddDrive('C');
    EXPECT_TRUE(fs.PutFile("C:\\a\\b\\..\\c.txt", "c", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(fs.Attributes("C:\\a\\c.txt"), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(fs.Exists("C:\\a\\b"));  // ".." folded before anything is created
    EXPECT_TRUE(fs.PutFile("C:\\A\\C.TXT", "replaced"));
    EXPECT_EQ(fs.ReadFile("C:\\a\\c.txt"), "replaced");
    EXPECT_EQ(fs.LongPath("C:\\A\\C.TXT"), "C:\\a\\c.txt");
    EXPECT_FALSE(fs.PutFile("C:\\a", "onto a folder"));
    EXPECT_FALSE(fs.PutFile("C:\\a\\c.txt\\d.txt", "through a file"));
    EXPECT_FALSE(fs.PutDirectory("C:\\a\\c.txt\\d"));
    EXPECT_FALSE(fs.PutFile("C:\\x\\", "no name"));
    EXPECT_FALSE(fs.PutFile("D:\\x", "no drive"));
    EXPECT_TRUE(fs.PutDirectory("C:\\a"));  // already there
    EXPECT_EQ(fs.Drives(), (std::vector<char>{'C'}));
}

// --- Paths ---

TEST(FileSystemFullPath, Table) {
    struct Row {
        std::string current;
        std::string path;
        std::optional<std::string> full;
    };
    const std::string cwd = "C:\\WINDOWS\\TEMP";
    const std::vector<Row> rows = {
        {cwd, "setup.ini", "C:\\WINDOWS\\TEMP\\setup.ini"},
        {cwd, "Sub\\file.txt", "C:\\WINDOWS\\TEMP\\Sub\\file.txt"},
        {cwd, "\\Audio\\setup.exe", "C:\\Audio\\setup.exe"},
        {cwd, "D:x", "D:\\x"},
        {cwd, "d:", "D:\\"},
        {cwd, "C:x", "C:\\WINDOWS\\TEMP\\x"},
        {cwd, "C:", "C:\\WINDOWS\\TEMP"},
        {cwd, "..", "C:\\WINDOWS"},
        {cwd, ".", "C:\\WINDOWS\\TEMP"},
        {cwd, "..\\..\\..\\..\\x", "C:\\x"},
        {cwd, "E:/W2K-ME/app/Setup.exe", "E:\\W2K-ME\\app\\Setup.exe"},
        {cwd, "E:\\W2K-ME\\", "E:\\W2K-ME"},
        {cwd, "E:\\", "E:\\"},
        {cwd, "e:\\a\\.\\b\\..\\c", "E:\\a\\c"},
        {cwd, "C:\\a\\\\b", "C:\\a\\b"},
        {"C:\\", "x", "C:\\x"},
        {"C:\\WINDOWS\\", "x", "C:\\WINDOWS\\x"},
        {cwd, "\\\\server\\share\\setup.exe", std::nullopt},
        {cwd, "", std::nullopt},
        {"", "x", std::nullopt},
        {"", "\\x", std::nullopt},
        {"", "D:\\x", "D:\\x"},
        {"", "D:x", "D:\\x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FileSystem::FullPath(row.current, row.path), row.full) << row.current << " + " << row.path;
    }
}

// --- Whole tree ---

TEST(FileSystemRemove, TreesFilesAndRoots) {
    FileSystem fs;
    fs.AddDrive('C');
    fs.PutFile("C:\\Program Files\\Orvanta\\WIN_ME\\a.sys", "a", FILE_ATTRIBUTE_READONLY);
    fs.PutFile("C:\\Program Files\\Orvanta\\DOS\\b.exe", "b");
    fs.PutFile("C:\\Program Files\\other.txt", "o");
    fs.PutFile("C:\\AUTOEXEC.BAT", "x");

    EXPECT_TRUE(fs.Remove("C:\\PROGRA~1\\ORVANTA"));
    EXPECT_FALSE(fs.Exists("C:\\Program Files\\Orvanta\\WIN_ME\\a.sys"));
    EXPECT_FALSE(fs.Exists("C:\\Program Files\\Orvanta"));
    EXPECT_TRUE(fs.IsFile("C:\\Program Files\\other.txt"));
    EXPECT_FALSE(fs.Remove("C:\\Program Files\\Orvanta"));

    EXPECT_TRUE(fs.Remove("C:\\"));
    EXPECT_TRUE(fs.HasDrive('C'));
    EXPECT_TRUE(fs.Snapshot().empty());
}

TEST(FileSystemSnapshot, DepthFirstInCreationOrder) {
    FileSystem fs;
    fs.AddDrive('D');
    fs.AddDrive('C');
    fs.PutDirectory("C:\\Beta");
    fs.PutFile("C:\\Alpha Folder\\2.txt", "two");
    fs.PutFile("C:\\Alpha Folder\\1.txt", "one", FILE_ATTRIBUTE_READONLY);
    fs.PutFile("C:\\Beta\\x", "x");
    fs.PutFile("D:\\y", "y");

    struct Row {
        std::string path;
        std::string shortPath;
        bool directory;
        std::uint32_t attributes;
        std::string content;
    };
    const std::vector<Row> expected = {
        {"C:\\Beta", "C:\\BETA", true, FILE_ATTRIBUTE_DIRECTORY, ""},
        {"C:\\Beta\\x", "C:\\BETA\\X", false, FILE_ATTRIBUTE_ARCHIVE, "x"},
        {"C:\\Alpha Folder", "C:\\ALPHAF~1", true, FILE_ATTRIBUTE_DIRECTORY, ""},
        {"C:\\Alpha Folder\\2.txt", "C:\\ALPHAF~1\\2.TXT", false, FILE_ATTRIBUTE_ARCHIVE, "two"},
        {"C:\\Alpha Folder\\1.txt", "C:\\ALPHAF~1\\1.TXT", false, FILE_ATTRIBUTE_READONLY, "one"},
        {"D:\\y", "D:\\Y", false, FILE_ATTRIBUTE_ARCHIVE, "y"},
    };
    const auto snapshot = fs.Snapshot();
    ASSERT_EQ(snapshot.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(snapshot[i].path, expected[i].path);
        EXPECT_EQ(snapshot[i].shortPath, expected[i].shortPath);
        EXPECT_EQ(snapshot[i].directory, expected[i].directory) << expected[i].path;
        EXPECT_EQ(snapshot[i].attributes, expected[i].attributes) << expected[i].path;
        EXPECT_EQ(snapshot[i].content, expected[i].content) << expected[i].path;
    }
}

TEST(FileSystemSnapshot, CopiesAreIndependent) {
    FileSystem original;
    original.AddDrive('C');
    original.PutFile("C:\\a.txt", "a");
    FileSystem copy = original;
    ASSERT_TRUE(copy.WriteFile("C:\\a.txt", "changed"));
    ASSERT_TRUE(copy.CreateDirectory("C:\\New"));
    EXPECT_EQ(original.ReadFile("C:\\a.txt"), "a");
    EXPECT_FALSE(original.Exists("C:\\New"));
    original = copy;
    EXPECT_EQ(original.ReadFile("C:\\a.txt"), "changed");
}

}  // namespace
