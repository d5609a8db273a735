// The setup environment: Windows classification, the package folder and the
// command line.
#include <gtest/gtest.h>

#include "platform/vm/windows_version.h"
#include "startup/command_line.h"
#include "startup/os_kind.h"
#include "startup/source_folder.h"

namespace {

using setup::OsKind;

std::string Flags(const OsKind& k) {
    std::string flags;
    if (k.Win95) flags += "95 ";
    if (k.Win98) flags += "98 ";
    if (k.Win98SE) flags += "98SE ";
    if (k.WinME) flags += "ME ";
    if (k.NT4) flags += "NT4 ";
    if (k.Win2000) flags += "2000 ";
    return flags;
}

TEST(OsKindTest, EachWindowsVersionSetsItsFlags) {
    struct Row {
        vm::WindowsVersion version;
        const char* flags;
    } rows[] = {
        {vm::WindowsVersion::Win95, "95 "},     {vm::WindowsVersion::Win98, "98 "},
        {vm::WindowsVersion::Win98SE, "98 98SE "}, {vm::WindowsVersion::WinME, "ME "},
        {vm::WindowsVersion::NT4, "NT4 "},      {vm::WindowsVersion::Win2000, "2000 "},
        {vm::WindowsVersion::WinXP, "2000 "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Flags(setup::ClassifyWindows(vm::VersionInfo(row.version))), row.flags) << vm::ToString(row.version);
    }
}

TEST(OsKindTest, EdgesOfTheBuildNumberRules) {
    struct Row {
        platform::OsVersionInfo version;
        const char* flags;
    } rows[] = {
        {{0, 3, 10, 0, ""}, ""},                       // Win32s: no known system
        {{1, 4, 10, 0x04100000, ""}, "ME "},            // 0x0410 >> 4 is 0x41, above 0x40
        {{1, 4, 10, 0x040F08AE, ""}, "98 98SE "},       // high byte of the low word 8: Second Edition
        {{1, 4, 10, 0x040A09AE, ""}, "98 "},            // 9 is not 8
        {{1, 4, 0, 0x045A0BB8, ""}, "95 "},             // minor version 0 wins over the build
        {{2, 3, 51, 1057, ""}, "NT4 "},                 // NT 3.51 counts as NT4
        {{2, 6, 0, 6000, ""}, "2000 "},                 // later NT
        {{3, 5, 0, 0, ""}, ""},                         // an unknown platform
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Flags(setup::ClassifyWindows(row.version)), row.flags)
            << row.version.platformId << " " << row.version.buildNumber;
    }
}

TEST(SourceFolderTest, FromTheProgramPath) {
    struct Row {
        const char* programPath;
        const char* currentDirectory;
        const char* folder;
    } rows[] = {
        {"E:\\setup.exe", "C:\\WINDOWS", "E:\\"},
        {"A:\\setup.exe", "C:\\WINDOWS", "A:\\"},
        {"E:\\Drivers\\Audio\\setup.exe", "C:\\", "E:\\Drivers\\Audio\\"},
        {"\\Audio\\setup.exe", "C:\\Temp", "C:\\Audio\\"},
        {"\\PKG\\SETUP.EXE", "D:\\WORK", "D:\\PKG\\"},
        {"A\\B\\SETUP.EXE", "D:\\WORK", "D:\\A\\B\\"},   // a backslash goes after the drive
        {"A\\SETUP.EXE", "D:\\WORK", "D:A\\"},           // drive-relative
        {"\\setup.exe", "D:\\WORK", "D:\\"},             // the current drive's root
        {"\\\\server\\share\\cd\\setup.exe", "C:\\", "\\\\server\\share\\cd\\"},
        {"setup.exe", "C:\\Downloads\\Audio", "C:\\Downloads\\Audio\\"},
        {"setup", "C:\\", "C:\\"},
        {"E:setup.exe", "C:\\", "C:\\"},                 // no backslash: named without a folder
        {"", "C:\\Temp", "C:\\Temp\\"},
        {"\\Audio\\setup.exe", "", "\\Audio\\"},         // no current directory to take a drive from
    };
    for (const Row& row : rows) {
        EXPECT_EQ(setup::SourceFolderFromPath(row.programPath, row.currentDirectory), row.folder) << row.programPath;
    }
}

TEST(SourceFolderTest, LongPathsNeitherCrashNorLoseText) {
    const std::string deep = "E:\\" + std::string(5000, 'x') + "\\setup.exe";
    EXPECT_EQ(setup::SourceFolderFromPath(deep, "C:\\"), "E:\\" + std::string(5000, 'x') + "\\");
    const std::string noDrive = std::string(3000, '\\');
    EXPECT_NO_THROW(setup::SourceFolderFromPath(noDrive, "C:\\"));
}

TEST(CommandLineTest, UpperCasedInPlaceThenComparedWhole) {
    struct Row {
        const char* text;
        setup::CommandLineMode mode;
        const char* afterwards;
    } rows[] = {
        {"/AP", setup::CommandLineMode::AppsMode, "/AP"},
        {"/ap", setup::CommandLineMode::AppsMode, "/AP"},
        {"ap", setup::CommandLineMode::AppsMode, "AP"},
        {"-Ap", setup::CommandLineMode::AppsMode, "-AP"},
        {"/driver", setup::CommandLineMode::DriverMode, "/DRIVER"},
        {"DRIVER", setup::CommandLineMode::DriverMode, "DRIVER"},
        {"-driver", setup::CommandLineMode::DriverMode, "-DRIVER"},
        {"/AP ", setup::CommandLineMode::NoMode, "/AP "},
        {"/AP /DRIVER", setup::CommandLineMode::NoMode, "/AP /DRIVER"},
        {"/Driver=1", setup::CommandLineMode::NoMode, "/DRIVER=1"},
        {"", setup::CommandLineMode::NoMode, ""},
        {"\xE9/ap", setup::CommandLineMode::NoMode, "\xE9/AP"},  // bytes above 0x7F stay
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        EXPECT_EQ(setup::ClassifyCommandLine(text), row.mode) << row.text;
        EXPECT_EQ(text, row.afterwards);
    }
}

}  // namespace
