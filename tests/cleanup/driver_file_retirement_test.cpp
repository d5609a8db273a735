// The file cleanup of earlier drivers: INF files judged in three passes,
// driver files scheduled in WININIT.INI, the WIN.INI edit.
#include <gtest/gtest.h>

#include "cleanup/driver_file_retirement.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using Names = std::vector<std::string>;

constexpr const char* kWininit = "C:\\WINDOWS\\WININIT.INI";
constexpr const char* kWinIni = "C:\\WINDOWS\\WIN.INI";

// An INF file whose section "Strings" holds the given lines.
std::string Inf(const std::string& strings) {
    return "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=MEDIA\r\n\r\n[Strings]\r\n" + strings;
}
std::string Legacy(const std::string& value) { return Inf("SSC-Legacy.DeviceDesc=\"" + value + "\"\r\n"); }
std::string Wave(const std::string& value) { return Inf("WDM_OVPCI.Wave.szPname=\"" + value + "\"\r\n"); }

TEST(RetireInfFiles, WhichGoAndInWhichOrder) {
    struct File {
        std::string path;  // below C:\WINDOWS\INF; a '!' after the name: read-only
        std::string content;
    };
    struct Row {
        std::vector<File> files;  // created in this order
        Names deleted;            // in order
    } rows[] = {
        {{{"OTHER\\OVXLEG.INF", Legacy("OVX4720 Legacy Audio")}, {"OTHER\\OVXLEG.PNF", "pnf"},
          {"OTHER\\MODEM.INF", Legacy("Standard Modem")}, {"OTHER\\MODEM.PNF", "pnf"}},
         {"OTHER\\OVXLEG.INF", "OTHER\\OVXLEG.PNF"}},
        {{{"OEM3.INF", Wave("Orvanta PCI Wave")}, {"OEM3.PNF", "pnf"}, {"OEM4.INF", Wave("Other Wave")}, {"OTHER\\README.TXT", "t"}},
         {"OEM3.INF", "OEM3.PNF"}},
        // INF\OTHER first, the package's names next, the OEM files last.
        {{{"OEM1.INF", Legacy("OVAUDIO 4720")}, {"oem6.inf", Wave("Orvanta")}, {"oem6.pnf", "p"}, {"OVX.INF", Legacy("OVX4720")},
          {"OTHER\\X.INF", Legacy("Creative")}, {"OTHER\\A.INF", Legacy("OVX4720")}},
         {"OTHER\\A.INF", "OVX.INF", "OEM1.INF", "oem6.inf", "oem6.PNF"}},
        // Without INF files in INF\OTHER the OEM files come first.
        {{{"OVX.INF", Legacy("OVX4720")}, {"OEM1.INF", Legacy("OVX4720")}}, {"OEM1.INF", "OVX.INF"}},
        // The four texts, case and length counting; either key suffices.
        {{{"OTHER\\A.INF", Legacy("OVX4320")}, {"OTHER\\B.INF", Legacy("OVAUDIO Legacy")}, {"OTHER\\C.INF", Wave("Orvanta Wave")},
          {"OTHER\\D.INF", Wave("OVX4720 Wave")}, {"OTHER\\E.INF", Legacy("ovx4720")}, {"OTHER\\G.INF", Legacy("OVX472")},
          {"OTHER\\I.INF", Legacy("OVX4720" + std::string(100, 'x'))}, {"OTHER\\J.INF", Legacy("x OVX4720")},
          {"OTHER\\K.INF", Inf("SSC-Legacy.DeviceDesc=\"Creative\"\r\nWDM_OVPCI.Wave.szPname=\"OVX4320 Wave\"\r\n")},
          {"OTHER\\L.INF", Inf("SSC-Legacy.DeviceDesc=OVX4720\r\nWDM_OVPCI.Wave.szPname=\"x\"\r\n")},
          {"OTHER\\M.INF", Inf("Other.DeviceDesc=\"OVX4720\"\r\n")}, {"OTHER\\O.INF", ""}},
         {"OTHER\\A.INF", "OTHER\\B.INF", "OTHER\\C.INF", "OTHER\\D.INF", "OTHER\\I.INF", "OTHER\\K.INF", "OTHER\\L.INF"}},
        // Only the package's own names are searched in the INF folder.
        {{{"OVAUDIO.INF", Legacy("OVX4720")}, {"OVAUDIO.PNF", "pnf"}, {"ovpci.inf", Wave("Orvanta")}, {"OVNOT.INF", Wave("Other")},
          {"MACHINE.INF", Legacy("OVX4720")}, {"OTHER\\NOTMINE.INF", Legacy("Other")}},
         {"OVAUDIO.INF", "OVAUDIO.PNF", "ovpci.inf"}},
        {{{"OTHER\\RO.INF!", Legacy("OVX4720")}, {"OTHER\\RO.PNF!", "pnf"}}, {"OTHER\\RO.INF", "OTHER\\RO.PNF"}},
        {{{"OTHER\\LONE.PNF", Legacy("OVX4720")}, {"OTHER\\KEEP.INF", Legacy("x")}}, {}},  // a PNF alone is not judged
    };
    for (const Row& row : rows) {
        TestMachine machine;
        std::string files;
        for (const File& file : row.files) {
            const bool readOnly = file.path.back() == '!';
            const std::string path = "C:\\WINDOWS\\INF\\" + file.path.substr(0, file.path.size() - readOnly);
            machine.Files().PutFile(path, file.content, readOnly ? platform::FILE_ATTRIBUTE_READONLY : platform::FILE_ATTRIBUTE_ARCHIVE);
            files += file.path + " ";
        }
        setup::CleanEarlierDriverFiles(machine.Journaled(), 0);
        Names expected;
        for (const std::string& name : row.deleted) expected.push_back("C:\\WINDOWS\\INF\\" + name);
        EXPECT_EQ(machine.Journal("delete file", "path"), expected) << files;
        EXPECT_EQ(machine.GetJournal().Count("write profile"), 0u) << "without retirement no profile is touched";
    }
}

const std::string kRename = "[rename]\r\n";
std::string Line(const std::string& old, const std::string& file) {
    return "C:\\WINDOWS\\" + old + "=C:\\WINDOWS\\" + file + "\r\n";
}

TEST(RetireDriverFiles, OneLinePerPresentFileInTableOrderAndWinIniRunASpace) {
    struct Row {
        Names present;  // below C:\WINDOWS, created in this order
        std::string wininitBefore, wininitAfter;
        std::string winIniBefore = "", winIniAfter = "[Windows]\r\nrun= \r\n";  // no WIN.INI before: one is made
    } rows[] = {
        {{"SYSTEM\\OVAUDIO.VXD"}, "", kRename + Line("SYSTEM\\OVAUDIO.OLD", "SYSTEM\\OVAUDIO.VXD"),
         "[windows]\r\nload=\r\nrun=C:\\OV\\OVTRAY.EXE\r\nBeep=yes\r\n", "[windows]\r\nload=\r\nrun= \r\nBeep=yes\r\n"},
        // In the table's order, whatever the order of creation or the case of the names.
        {{"SYSTEM\\CRLDS3D.DLL", "INF\\CATALOG\\OVAUDIO.CAT", "system\\smidi32p.dll", "SYSTEM32\\DRIVERS\\OVPCI.SYS",
          "SYSTEM\\AUDIO3D.DLL"}, "",
         kRename + Line("SYSTEM\\AUDIO3D.OLD", "SYSTEM\\AUDIO3D.DLL") + Line("SYSTEM\\SMIDI32.OLD", "SYSTEM\\SMIDI32P.DLL") +
             Line("SYSTEM32\\DRIVERS\\OVPCI.OLD", "SYSTEM32\\DRIVERS\\OVPCI.SYS") +
             Line("INF\\CATALOG\\ovaudio.OLD", "INF\\CATALOG\\ovaudio.CAT") + Line("SYSTEM\\CRLDS3D.OLD", "SYSTEM\\CRLDS3D.DLL"),
         "[windows]\r\nload=\r\n\r\n[Desktop]\r\nW=1\r\n", "[windows]\r\nload=\r\nrun= \r\n\r\n[Desktop]\r\nW=1\r\n"},
        {{"SYSTEM32\\OVprop.DLL"}, kRename + "NUL=C:\\OV\\Mixer.old\r\n\r\n[Other]\r\nx=1\r\n",
         kRename + "NUL=C:\\OV\\Mixer.old\r\n" + Line("SYSTEM32\\OVprop.OLD", "SYSTEM32\\OVprop.DLL") + "\r\n[Other]\r\nx=1\r\n",
         "[windows]\r\nRUN=\r\n", "[windows]\r\nRUN= \r\n"},
        {{"SYSTEM\\OVAUDIO.OLD", "SYSTEM\\OVAUDIO.VX"}, "", "(none)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.present.front());
        TestMachine machine;
        for (const std::string& file : row.present) machine.Files().PutFile("C:\\WINDOWS\\" + file, "bin");
        if (!row.wininitBefore.empty()) machine.Files().PutFile(kWininit, row.wininitBefore);
        if (!row.winIniBefore.empty()) machine.Files().PutFile(kWinIni, row.winIniBefore);
        setup::CleanEarlierDriverFiles(machine.Journaled(), 1);
        EXPECT_EQ(machine.Files().ReadFile(kWininit).value_or("(none)"), row.wininitAfter);
        EXPECT_EQ(machine.Files().ReadFile(kWinIni), row.winIniAfter);
        for (const std::string& file : row.present) EXPECT_TRUE(machine.Files().Exists("C:\\WINDOWS\\" + file));
        // A second retirement adds no line.
        const auto wininit = machine.Files().ReadFile(kWininit);
        setup::CleanEarlierDriverFiles(machine.Journaled(), 1);
        EXPECT_EQ(machine.Files().ReadFile(kWininit), wininit);
    }
}

}  // namespace
