// The file cleanup of earlier drivers on virtual machines: INF files judged
// in three passes, driver files scheduled in WININIT.INI, the WIN.INI edit.
#include <gtest/gtest.h>

#include "cleanup/boot_rename_list.h"
#include "cleanup/driver_file_retirement.h"
#include "support/cleanup_machine.h"

namespace {

using testsupport::CleanupMachine;
using Names = std::vector<std::string>;

constexpr const char* kWininit = "C:\\WINDOWS\\WININIT.INI";
constexpr const char* kWinIni = "C:\\WINDOWS\\WIN.INI";

// An INF file whose section "Strings" holds the given lines.
std::string Inf(const std::string& strings) {
    return "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=MEDIA\r\n\r\n[Strings]\r\n" + strings;
}
std::string Legacy(const std::string& value) { return Inf("SSC-Legacy.DeviceDesc=\"" + value + "\"\r\n"); }
std::string Wave(const std::string& value) { return Inf("WDM_OVPCI.Wave.szPname=\"" + value + "\"\r\n"); }

std::vector<std::string> DeletedFiles(CleanupMachine& machine) {
    std::vector<std::string> paths;
    for (const vm::JournalEntry& entry : machine.GetJournal().OfKind("delete file")) paths.push_back(entry.Get("path"));
    return paths;
}

TEST(RetireFilesInfTest, WhichInfFilesGo) {
    struct File {
        std::string path;  // below C:\WINDOWS\INF
        std::string content;
        bool deleted;
        bool readOnly = false;
    };
    struct Row {
        const char* description;
        std::vector<File> files;  // created in this order
    } rows[] = {
        {"INF\\OTHER file by its legacy description, with its PNF",
         {{"OTHER\\OVXLEG.INF", Legacy("OVX4720 Legacy Audio"), true},
          {"OTHER\\OVXLEG.PNF", "pnf", true},
          {"OTHER\\MODEM.INF", Legacy("Standard Modem"), false},
          {"OTHER\\MODEM.PNF", "pnf", false}}},
        {"OEM file of the INF folder by its wave name, INF\\OTHER empty",
         {{"OEM3.INF", Wave("Orvanta PCI Wave"), true},
          {"OEM3.PNF", "pnf", true},
          {"OEM4.INF", Wave("Other Wave"), false},
          {"OTHER\\README.TXT", "text", false}}},
        {"OEM files still judged when INF\\OTHER holds INF files",
         {{"OTHER\\X.INF", Legacy("Creative"), false},
          {"OEM5.INF", Legacy("OVAUDIO 4720"), true},
          {"oem6.inf", Wave("Orvanta"), true},
          {"oem6.pnf", "pnf", true}}},
        {"the four texts, case and length counting",
         {{"OTHER\\A.INF", Legacy("OVX4320"), true},
          {"OTHER\\B.INF", Legacy("OVAUDIO Legacy"), true},
          {"OTHER\\C.INF", Wave("Orvanta Wave"), true},
          {"OTHER\\D.INF", Wave("OVX4720 Wave"), true},
          {"OTHER\\E.INF", Legacy("ovx4720"), false},
          {"OTHER\\F.INF", Legacy("ORVANTA"), false},
          {"OTHER\\G.INF", Legacy("OVX472"), false},
          {"OTHER\\H.INF", Wave("Orvant"), false},
          {"OTHER\\I.INF", Legacy("OVX4720" + std::string(100, 'x')), true},
          {"OTHER\\J.INF", Legacy("x OVX4720"), false}}},
        {"either key suffices",
         {{"OTHER\\K.INF",
           Inf("SSC-Legacy.DeviceDesc=\"Creative\"\r\nWDM_OVPCI.Wave.szPname=\"OVX4320 Wave\"\r\n"), true},
          {"OTHER\\L.INF", Inf("SSC-Legacy.DeviceDesc=OVX4720\r\nWDM_OVPCI.Wave.szPname=\"x\"\r\n"), true},
          {"OTHER\\M.INF", Inf("Other.DeviceDesc=\"OVX4720\"\r\n"), false},
          {"OTHER\\N.INF", "[Version]\r\nDriverDesc=\"OVX4720\"\r\n", false},
          {"OTHER\\O.INF", "", false}}},
        {"the package's own names in the INF folder, only those searched",
         {{"OVAUDIO.INF", Legacy("OVX4720"), true},
          {"OVAUDIO.PNF", "pnf", true},
          {"ovpci.inf", Wave("Orvanta"), true},
          {"OVNOT.INF", Wave("Other"), false},
          {"MACHINE.INF", Legacy("OVX4720"), false},
          {"OTHER\\NOTMINE.INF", Legacy("Other"), false}}},
        {"read-only files go too",
         {{"OTHER\\RO.INF", Legacy("OVX4720"), true, true}, {"OTHER\\RO.PNF", "pnf", true, true}}},
        {"a PNF file alone is not judged",
         {{"OTHER\\LONE.PNF", Legacy("OVX4720"), false}, {"OTHER\\KEEP.INF", Legacy("x"), false}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        for (const File& file : row.files) {
            const std::uint32_t attributes =
                file.readOnly ? platform::FILE_ATTRIBUTE_READONLY : platform::FILE_ATTRIBUTE_ARCHIVE;
            machine.Files().PutFile("C:\\WINDOWS\\INF\\" + file.path, file.content, attributes);
        }

        setup::CleanEarlierDriverFiles(machine, 0);

        for (const File& file : row.files) {
            EXPECT_NE(machine.Files().Exists("C:\\WINDOWS\\INF\\" + file.path), file.deleted) << file.path;
        }
    }
}

TEST(RetireFilesInfTest, PassesRunInOrder) {
    const std::string inf = "C:\\WINDOWS\\INF\\";
    struct Row {
        const char* description;
        Names files;    // below C:\WINDOWS\INF, without extension, created in this order
        Names deleted;  // in order
    } rows[] = {
        {"INF\\OTHER first, the package's names next, the OEM files last",
         {"OEM1", "OVX", "OTHER\\A"},
         {inf + "OTHER\\A.INF", inf + "OTHER\\A.PNF", inf + "OVX.INF", inf + "OVX.PNF", inf + "OEM1.INF",
          inf + "OEM1.PNF"}},
        {"without INF files in INF\\OTHER the OEM files come first",
         {"OVX", "OEM1"},
         {inf + "OEM1.INF", inf + "OEM1.PNF", inf + "OVX.INF", inf + "OVX.PNF"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        for (const std::string& name : row.files) {
            machine.Files().PutFile(inf + name + ".INF", Legacy("OVX4720"));
            machine.Files().PutFile(inf + name + ".PNF", "pnf");
        }
        setup::CleanEarlierDriverFiles(machine, 0);
        EXPECT_EQ(DeletedFiles(machine), row.deleted);
    }
}

TEST(RetireFilesInfTest, WithoutRetirementNoProfileIsTouched) {
    CleanupMachine machine;
    machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "vxd");
    machine.Files().PutFile(kWinIni, "[windows]\r\nrun=C:\\OV\\TRAY.EXE\r\n");
    setup::CleanEarlierDriverFiles(machine, 0);
    EXPECT_FALSE(machine.Files().Exists(kWininit));
    EXPECT_EQ(machine.Files().ReadFile(kWinIni), "[windows]\r\nrun=C:\\OV\\TRAY.EXE\r\n");
    EXPECT_EQ(machine.GetJournal().Count("write profile"), 0u);
}

const char* const kAllRetirementLines =
    "[rename]\r\n"
    "C:\\WINDOWS\\SYSTEM\\AUDIO3D.OLD=C:\\WINDOWS\\SYSTEM\\AUDIO3D.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\A3D.OLD=C:\\WINDOWS\\SYSTEM\\A3D.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\R3D.OLD=C:\\WINDOWS\\SYSTEM\\R3D.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\4320VXD.OLD=C:\\WINDOWS\\SYSTEM\\OV4320.VXD\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"
    "C:\\WINDOWS\\SYSTEM\\4320FDRV.OLD=C:\\WINDOWS\\SYSTEM\\OV4320FM.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVPCIFM.OLD=C:\\WINDOWS\\SYSTEM\\OVPCIFM.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVMPU.OLD=C:\\WINDOWS\\SYSTEM\\OVMPU.EXE\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVMPUPCI.OLD=C:\\WINDOWS\\SYSTEM\\OVMPUPCI.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVPCI95.OLD=C:\\WINDOWS\\SYSTEM\\OVPCI95.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVSMIDI.OLD=C:\\WINDOWS\\SYSTEM\\OVSMIDI.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVSWMPU.OLD=C:\\WINDOWS\\SYSTEM\\OVSWMPU.VXD\r\n"
    "C:\\WINDOWS\\SYSTEM\\DLSTABLE.OLD=C:\\WINDOWS\\SYSTEM\\DLSTABLE.DAT\r\n"
    "C:\\WINDOWS\\SYSTEM\\DLSWAVE.OLD=C:\\WINDOWS\\SYSTEM\\DLSWAVE.DAT\r\n"
    "C:\\WINDOWS\\SYSTEM\\SETAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\SETAUDIO.COM\r\n"
    "C:\\WINDOWS\\SYSTEM\\SMIDI32.OLD=C:\\WINDOWS\\SYSTEM\\SMIDI32P.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\SMIDIPCI.OLD=C:\\WINDOWS\\SYSTEM\\SMIDIPCI.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\PARSEDLS.OLD=C:\\WINDOWS\\SYSTEM\\PARSEDLS.EXE\r\n"
    "C:\\WINDOWS\\SYSTEM\\ASIO4720.OLD=C:\\WINDOWS\\SYSTEM\\ASIO4720.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\OVSYNTH.OLD=C:\\WINDOWS\\SYSTEM\\OVSYNTH.DRV\r\n"
    "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\OVPCI.OLD=C:\\WINDOWS\\SYSTEM32\\DRIVERS\\OVPCI.SYS\r\n"
    "C:\\WINDOWS\\INF\\CATALOG\\OVPCI.OLD=C:\\WINDOWS\\INF\\CATALOG\\OVPCI.CAT\r\n"
    "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM32\\DRIVERS\\OVAUDIO.SYS\r\n"
    "C:\\WINDOWS\\INF\\CATALOG\\ovaudio.OLD=C:\\WINDOWS\\INF\\CATALOG\\ovaudio.CAT\r\n"
    "C:\\WINDOWS\\SYSTEM32\\OVprop.OLD=C:\\WINDOWS\\SYSTEM32\\OVprop.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM\\CRLDS3D.OLD=C:\\WINDOWS\\SYSTEM\\CRLDS3D.DLL\r\n";

// Every source of kAllRetirementLines, as a file below C:\WINDOWS.
Names AllRetirementSources() {
    Names sources;
    const std::string lines = kAllRetirementLines;
    for (std::size_t equals = lines.find('='); equals != std::string::npos; equals = lines.find('=', equals + 1)) {
        sources.push_back(lines.substr(equals + 12, lines.find('\r', equals) - equals - 12));
    }
    return sources;
}

TEST(RetireFilesWininitTest, OneLinePerPresentFileInTableOrder) {
    struct Row {
        const char* description;
        Names present;  // below C:\WINDOWS, created in this order
        std::string wininitBefore;
        std::string wininitAfter;
    } rows[] = {
        {"only the VxD",
         {"SYSTEM\\OVAUDIO.VXD"},
         "",
         "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"},
        {"every file of the table", AllRetirementSources(), "", kAllRetirementLines},
        {"table order, not the order of the files",
         {"SYSTEM\\CRLDS3D.DLL", "INF\\CATALOG\\OVAUDIO.CAT", "system\\smidi32p.dll", "SYSTEM\\AUDIO3D.DLL"},
         "",
         "[rename]\r\nC:\\WINDOWS\\SYSTEM\\AUDIO3D.OLD=C:\\WINDOWS\\SYSTEM\\AUDIO3D.DLL\r\n"
         "C:\\WINDOWS\\SYSTEM\\SMIDI32.OLD=C:\\WINDOWS\\SYSTEM\\SMIDI32P.DLL\r\n"
         "C:\\WINDOWS\\INF\\CATALOG\\ovaudio.OLD=C:\\WINDOWS\\INF\\CATALOG\\ovaudio.CAT\r\n"
         "C:\\WINDOWS\\SYSTEM\\CRLDS3D.OLD=C:\\WINDOWS\\SYSTEM\\CRLDS3D.DLL\r\n"},
        {"after the lines already there",
         {"SYSTEM32\\OVprop.DLL"},
         "[rename]\r\nNUL=C:\\OV\\Mixer.old\r\n\r\n[Other]\r\nx=1\r\n",
         "[rename]\r\nNUL=C:\\OV\\Mixer.old\r\nC:\\WINDOWS\\SYSTEM32\\OVprop.OLD=C:\\WINDOWS\\SYSTEM32\\OVprop.DLL\r\n"
         "\r\n[Other]\r\nx=1\r\n"},
        {"no file present", {"SYSTEM\\OVAUDIO.OLD", "SYSTEM\\OVAUDIO.VX"}, "", "(none)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        for (const std::string& file : row.present) machine.Files().PutFile("C:\\WINDOWS\\" + file, "bin");
        if (!row.wininitBefore.empty()) machine.Files().PutFile(kWininit, row.wininitBefore);

        setup::CleanEarlierDriverFiles(machine, 1);

        EXPECT_EQ(machine.Files().ReadFile(kWininit).value_or("(none)"), row.wininitAfter);
        EXPECT_EQ(machine.Files().ReadFile(kWinIni), "[Windows]\r\nrun= \r\n");
        for (const std::string& file : row.present) EXPECT_TRUE(machine.Files().Exists("C:\\WINDOWS\\" + file));
    }
}

TEST(RetireFilesWininitTest, SecondRetirementAddsNoLine) {
    CleanupMachine machine;
    for (const char* file : {"SYSTEM\\OVAUDIO.VXD", "SYSTEM\\A3D.DLL", "SYSTEM32\\DRIVERS\\OVPCI.SYS"}) {
        machine.Files().PutFile("C:\\WINDOWS\\" + std::string(file), "bin");
    }
    setup::CleanEarlierDriverFiles(machine, 1);
    const std::optional<std::string> wininit = machine.Files().ReadFile(kWininit);
    const std::optional<std::string> winIni = machine.Files().ReadFile(kWinIni);
    setup::CleanEarlierDriverFiles(machine, 1);
    EXPECT_EQ(machine.Files().ReadFile(kWininit), wininit);
    EXPECT_EQ(machine.Files().ReadFile(kWinIni), winIni);
}

TEST(RetireFilesWinIniTest, RunEntryBecomesASingleSpace) {
    struct Row {
        std::string before;
        std::string after;
    } rows[] = {
        {"", "[Windows]\r\nrun= \r\n"},
        {"[windows]\r\nload=\r\nrun=C:\\OV\\OVTRAY.EXE\r\nBeep=yes\r\n",
         "[windows]\r\nload=\r\nrun= \r\nBeep=yes\r\n"},
        {"[windows]\r\nload=\r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n",
         "[windows]\r\nload=\r\nrun= \r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n"},
        {"[windows]\r\nRUN=\r\n", "[windows]\r\nRUN= \r\n"},
    };
    for (const Row& row : rows) {
        CleanupMachine machine;
        if (!row.before.empty()) machine.Files().PutFile(kWinIni, row.before);
        setup::CleanEarlierDriverFiles(machine, 1);
        EXPECT_EQ(machine.Files().ReadFile(kWinIni), row.after) << row.before;
    }
}

TEST(RetireFilesBootRenameListTest, LinesStandInTheOrderOfTheirFirstWriting) {
    using Write = std::pair<std::string, std::string>;  // destination, source
    struct Row {
        const char* description;
        std::vector<Write> writes;
        std::string section;
    } rows[] = {
        {"the mixer update",
         {{"NUL", "C:\\OV\\Mixer.old"},
          {"C:\\OV\\Mixer.old", "C:\\OV\\Mixer.exe"},
          {"C:\\OV\\Mixer.exe", "C:\\OV\\Mixer.dat"}},
         "[rename]\r\nNUL=C:\\OV\\Mixer.old\r\nC:\\OV\\Mixer.old=C:\\OV\\Mixer.exe\r\n"
         "C:\\OV\\Mixer.exe=C:\\OV\\Mixer.dat\r\n"},
        {"one NUL line, the later source",
         {{"NUL", "C:\\A.OLD"}, {"C:\\B.OLD", "C:\\B.DLL"}, {"NUL", "C:\\C.OLD"}},
         "[rename]\r\nNUL=C:\\C.OLD\r\nC:\\B.OLD=C:\\B.DLL\r\n"},
        {"one line per destination, in its first place",
         {{"C:\\A.OLD", "C:\\A.DLL"}, {"C:\\B.OLD", "C:\\B.DLL"}, {"C:\\A.OLD", "C:\\A2.DLL"}},
         "[rename]\r\nC:\\A.OLD=C:\\A2.DLL\r\nC:\\B.OLD=C:\\B.DLL\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        for (const Write& write : row.writes) {
            if (write.first == "NUL") {
                setup::ScheduleBootDelete(machine, write.second);
            } else {
                setup::ScheduleBootRename(machine, write.first, write.second);
            }
        }
        EXPECT_EQ(machine.Files().ReadFile(kWininit), row.section);
    }
}

TEST(RetireFilesLongPathsTest, WindowsFolderOfAHundredCharacters) {
    const std::string windows = "C:\\" + std::string(60, 'W') + "\\" + std::string(36, 'X');
    ASSERT_EQ(windows.size(), 100u);
    CleanupMachine machine;
    machine.settings.windowsFolder = windows;
    machine.Files().PutFile(windows + "\\INF\\OTHER\\OVAUDIO.INF", Legacy("OVX4720"));
    machine.Files().PutFile(windows + "\\INF\\OTHER\\OVAUDIO.PNF", "pnf");
    machine.Files().PutFile(windows + "\\INF\\OVPCI.INF", Wave("Orvanta"));
    machine.Files().PutFile(windows + "\\SYSTEM\\OVAUDIO.VXD", "vxd");
    // The same names in a folder that a cut path would name.
    machine.Files().PutFile("C:\\" + std::string(60, 'W') + "\\INF\\OVPCI.INF", Wave("Orvanta"));

    setup::CleanEarlierDriverFiles(machine, 1);

    EXPECT_EQ(DeletedFiles(machine), (Names{windows + "\\INF\\OTHER\\OVAUDIO.INF",
                                            windows + "\\INF\\OTHER\\OVAUDIO.PNF", windows + "\\INF\\OVPCI.INF"}));
    EXPECT_EQ(machine.Files().ReadFile(windows + "\\WININIT.INI"),
              "[rename]\r\n" + windows + "\\SYSTEM\\OVAUDIO.OLD=" + windows + "\\SYSTEM\\OVAUDIO.VXD\r\n");
    EXPECT_EQ(machine.Files().ReadFile(windows + "\\WIN.INI"), "[Windows]\r\nrun= \r\n");
}

TEST(RetireFilesLongPathsTest, UnknownWindowsFolderTouchesNothing) {
    CleanupMachine machine;
    machine.settings.windowsFolder = "";
    // Where paths without the Windows folder would point: the current drive's root.
    machine.Files().PutFile("E:\\INF\\OTHER\\OVAUDIO.INF", Legacy("OVX4720"));
    machine.Files().PutFile("C:\\INF\\OTHER\\OVAUDIO.INF", Legacy("OVX4720"));
    machine.Files().PutFile("C:\\SYSTEM\\OVAUDIO.VXD", "vxd");

    setup::CleanEarlierDriverFiles(machine, 1);

    EXPECT_TRUE(machine.Files().Exists("E:\\INF\\OTHER\\OVAUDIO.INF"));
    EXPECT_TRUE(machine.Files().Exists("C:\\INF\\OTHER\\OVAUDIO.INF"));
    EXPECT_EQ(machine.GetJournal().Count("write profile"), 0u);
}

}  // namespace
