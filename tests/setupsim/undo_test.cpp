// A run taken back from its log: the machine as it was before, but for what
// the log says it cannot take back.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/journal/journal_text.h"
#include "platform/vm/profile.h"
#include "platform/vm/snapshot.h"
#include "setupsim/undo.h"
#include "medium_test_support.h"
#include "platform/vm/machine_folder.h"
#include "setupsim/dir_listing.h"
#include "setupsim/import.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestMachine;
using vm::WindowsVersion;

// What Windows 9x does with WININIT.INI at the restart: each rename in line
// order, NUL deleting, then the file kept as WININIT.BAK.
void Restart(TestMachine& machine) {
    const std::string ini = "C:\\WINDOWS\\WININIT.INI";
    const std::optional<std::string> content = machine.Files().ReadFile(ini);
    if (!content) return;
    for (const vm::profile::Entry& entry : vm::profile::ReadAll(*content)) {
        const std::optional<std::string> bytes = machine.Files().ReadFile(entry.value);
        if (bytes && entry.key != "NUL") machine.Files().PutFile(entry.key, *bytes);
        machine.Files().Remove(entry.value);
    }
    machine.Files().PutFile("C:\\WINDOWS\\WININIT.BAK", *content);
    machine.Files().Remove(ini);
}

TEST(UndoRun, TheMachineAsItWasBeforeTheRun) {
    const struct Row {
        const char* name;
        WindowsVersion version;
        Package package;
        std::string setupIni, machineIni;
        std::vector<std::string> left;  // what stays changed, as setupsim lists changes
        std::vector<std::string> notes;
        bool restarts = false;
    } rows[] = {
        {"medium, /DRIVER", WindowsVersion::Win95, Package::Medium, "", "[Machine]\nCommandLine = /DRIVER\n", {}, {}},
        // The renames the restart carried out are taken back; what it deleted
        // stands in empty; the restart's own WININIT.BAK stays (one may have been there).
        {"medium, /DRIVER, restarted", WindowsVersion::Win95, Package::Medium, "", "[Machine]\nCommandLine = /DRIVER\n",
         {"+ C:\\WINDOWS\\WININIT.BAK", "~ C:\\WINDOWS\\Mixer.old | 11 bytes -> 0 bytes"},
         {"C:\\WINDOWS\\Mixer.old was deleted at the restart; an empty file stands in for it"}, true},
        {"VxD dialog", WindowsVersion::Win98, Package::Vxd, "[InstallOption]\r\nWebSetup=1\r\n", "[Dialogs]\n103 = ok\n", {}, {}},
        {"flat, WDM", WindowsVersion::WinME, Package::Flat, "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n", "", {},
         {"the installation source list was changed; the log does not give it before",
          "the INF C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF was installed under a name the log does not give"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestMachine machine(row.version, row.machineIni);
        machine.PutPackage(row.package);
        machine.PutSetupIni(row.setupIni);
        machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "earlier driver");
        machine.Files().PutFile("C:\\WINDOWS\\Mixer.exe", "mixer"), machine.Files().PutFile("C:\\WINDOWS\\Mixer.old", "older mixer");
        machine.PutMedium("W95-98\\drv\\95\\Mixer.dat", "new mixer");  // the mixer is swapped at the restart
        machine.ImportRegistry("[HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio]\n\"SystemFormats\"=\"CD Quality\"\n"
                               "\"DefaultFormat\"=\"Radio\"\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                               "\"PCI Audio Applications\"=\"C:\\\\OV\\\\SoundDeck.exe\"\n");
        const vm::MachineSnapshot before = vm::TakeSnapshot(machine);
        platform::Journal effects;
        setupsim::RunSetup(machine, &effects);
        if (row.restarts) Restart(machine);
        std::vector<std::string> log;
        for (const platform::JournalEntry& entry : effects.Entries()) log.push_back(platform::JournalLine(entry));
        const std::vector<std::string> notes = setupsim::UndoRun(machine, log);
        std::vector<std::string> left;
        for (const vm::Change& change : vm::Diff(before, vm::TakeSnapshot(machine))) {
            left.push_back(change.sign + std::string(" ") + change.what);
            for (const std::string& detail : change.details) left.back() += " | " + detail;
        }
        EXPECT_EQ(left, row.left);
        EXPECT_EQ(notes, row.notes);
    }
}

// The support loop: a run's log, the machine as the customer left it (drive
// C:, the registry as exported, the medium) make a machine folder whose
// prediction agrees with the log.
TEST(Import, TheCustomersMachineReproduced) {
    const std::string temp = testing::TempDir() + "setupsim-import-" + std::to_string(::getpid());
    const std::pair<WindowsVersion, Package> rows[] = {{WindowsVersion::Win95, Package::Medium}, {WindowsVersion::WinME, Package::Flat}};
    for (const auto& [version, package] : rows) {
        TestMachine machine(version, "[Machine]\nCommandLine = /DRIVER /LOG=C:\\support.log\n");
        machine.PutPackage(package);
        machine.PutSetupIni(package == Package::Flat ? "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n" : "");
        machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "earlier driver");
        machine.ImportRegistry("[HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio]\n\"SystemFormats\"=\"CD Quality\"\n");
        // Through a machine folder first: its files are made in name order, as
        // the imported ones will be, so searches yield them alike.
        vm::SaveMachineFolder(machine, temp + "/original");
        vm::VirtualMachine customer;
        vm::LoadMachineFolder(temp + "/original", customer);
        setupsim::RunSetup(customer);
        vm::SaveMachineFolder(customer, temp + "/after");
        setupsim::ImportMachine(
            {temp + "/after/C/support.log", temp + "/after/registry.reg", temp + "/after/C", temp + "/after/E", ""}, temp + "/before");
        const medium_test::Output diff = medium_test::Setupsim({"diff", temp + "/before", temp + "/after/C/support.log"});
        EXPECT_EQ(diff.code, 0) << diff.out << diff.err;
    }
    EXPECT_THROW(setupsim::ImportMachine({temp + "/after/C/setup.ini", temp + "/after/registry.reg", temp + "/after/C", "", ""}, temp + "/x"),
                 setupsim::ImportError);  // no header: no log of a run
    {  // files the customer only listed stand in at their sizes; sent files win; a mangled box is passed over
        std::ofstream(temp + "/dir.txt") << " Directory of C:\\OLD\r\n\r\n06/01/1999  12:00 PM                 3 BIG.DAT\r\n"
                                            " Directory of C:\\\r\n\r\n06/01/1999  12:00 PM                 3 support.log\r\n";
        std::ofstream(temp + "/mangled.log") << std::ifstream(temp + "/after/C/support.log").rdbuf() << "7 ms  message box  b\r\n";
        setupsim::ImportMachine({temp + "/mangled.log", temp + "/after/registry.reg", temp + "/after/C", "", temp + "/dir.txt"},
                                temp + "/listed");
        EXPECT_EQ(std::filesystem::file_size(temp + "/listed/C/OLD/BIG.DAT"), 3u);
        EXPECT_GT(std::filesystem::file_size(temp + "/listed/C/support.log"), 3u);
        std::ostringstream ini;
        ini << std::ifstream(temp + "/listed/machine.ini").rdbuf();
        EXPECT_EQ(ini.str().find(" b ="), std::string::npos) << ini.str();
    }
    vm::VirtualMachine bare;  // a log mangled in transit is taken as far as it reads
    EXPECT_NO_THROW(setupsim::UndoRun(bare, {"5 ms  set registry value  key=HKEY_CURRENT_USER\\X  name=a  type=zz  result=ok  was=hex:q",
                                             "5 ms  write profile  file=\"C:\\a\\x\"  was=\"\\xZZ\"", "garbage", "1 ms  copy file  to="}));
}

// "dir /s" as Windows 9x and NT print it: folders, files and their sizes.
TEST(DirListing, NinetyFiveAndNtAlike) {
    const std::string win9x = " Volume in drive C has no label\r\n Directory of C:\\WINDOWS\r\n\r\n"
                              ".              <DIR>        06-01-99  12:00a .\r\n"
                              "WIN      INI         1,234  06-01-99  12:00a WIN.INI\r\n"
                              "PROGRA~1       <DIR>        06-01-99  12:00a Program Files\r\n"
                              "WAVE     026            12  06-01-99  12:00a wave.026\r\nOVSB     COM             5  06-01-99  12:00a\r\n"
                              "         3 file(s)          1,251 bytes\r\n";
    const std::string nt = " Directory of C:\\WINNT\\INF\r\n\r\n06/01/1999  12:00 PM    <DIR>          ..\r\n"
                           "06/01/1999  12:00 PM             2,048 oem 1.inf\r\n06/01/99  12:00p                 7 KS.INF\r\n"
                           "               2 File(s)          2,055 bytes\r\n";
    std::string read;
    for (const setupsim::ListedEntry& entry : setupsim::ReadDirListing(win9x + nt)) {
        read += entry.path + (entry.folder ? " <DIR>" : " " + std::to_string(entry.size)) + "\n";
    }
    EXPECT_EQ(read, "C:\\WINDOWS\\WIN.INI 1234\nC:\\WINDOWS\\Program Files <DIR>\nC:\\WINDOWS\\wave.026 12\nC:\\WINDOWS\\OVSB.COM 5\n"
                    "C:\\WINNT\\INF\\oem 1.inf 2048\nC:\\WINNT\\INF\\KS.INF 7\n");
}

}  // namespace
