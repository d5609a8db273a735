// A log at any path: the run does on the machine what it does without one,
// the log file apart; where the log would become part of the run there is
// none.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/journal/journal_text.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/snapshot.h"
#include "startup/log_guard.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestMachine;
using vm::WindowsVersion;

struct Outcome {
    std::vector<std::string> effects;
    vm::MachineSnapshot after;
    std::optional<std::string> log;
    std::uint32_t errorMode = 0;
};

struct Row {
    const char* name;
    WindowsVersion version;
    Package package;
    std::string setupIni, commandLine, log;  // log: the command line's switch
    std::string logAt;                       // "": no log is written
    std::string machineIni = "";
    std::string folder = "";  // made before the run
};

Outcome RunOn(const Row& row, bool withLog) {
    TestMachine machine(row.version, row.machineIni + "[Machine]\nCommandLine = " + row.commandLine +
                                         (withLog ? " " + row.log : std::string()) + "\n");
    machine.PutPackage(row.package);
    machine.PutSetupIni(row.setupIni);
    machine.PutMedium("Readme.txt", "read me");
    if (withLog && row.log == "/LOG=earlier.log") machine.PutMedium("earlier.log", std::string(setup::kLogFirstLineStart) + " 2.5\r\n");
    machine.Files().PutFile("C:\\WINDOWS\\WININIT.INI", "[rename]\r\n");
    if (!row.folder.empty()) machine.Files().PutDirectory(row.folder);
    platform::Journal effects;
    setupsim::RunSetup(machine, &effects);
    Outcome run;
    for (const platform::JournalEntry& entry : effects.Entries()) run.effects.push_back(platform::JournalLine(entry));
    run.after = vm::TakeSnapshot(machine);
    if (!row.logAt.empty()) {
        run.log = machine.Files().ReadFile(row.logAt);
        const auto isLog = [&](const vm::FileSystem::Entry& entry) { return vm::Lower(entry.path) == vm::Lower(row.logAt); };
        run.after.files.erase(std::remove_if(run.after.files.begin(), run.after.files.end(), isLog), run.after.files.end());
    }
    run.errorMode = machine.ErrorMode();
    return run;
}

TEST(LogGuard, TheRunIsTheSameWithTheLogAnywhere) {
    const std::string vxd = "[InstallOption]\r\nWebSetup=1\r\n", flat = "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n";
    const std::string dialog = "[Dialogs]\n103 = ok\n";
    const Row rows[] = {
        {"VxD dialog, in the package", WindowsVersion::Win98, Package::Vxd, vxd, "", "/LOG=support.log", "E:\\support.log", dialog},
        {"flat /DRIVER, named like an INF", WindowsVersion::WinME, Package::Flat, flat, "/DRIVER", "/LOG=support.inf", "E:\\support.inf"},
        {"flat dialog-free, relative", WindowsVersion::WinME, Package::Flat, flat, "", "/LOG=.\\support.log", "E:\\support.log"},
        {"medium, in a driver folder", WindowsVersion::Win95, Package::Medium, "", "/DRIVER", "/LOG=E:\\W95-98\\drv\\95\\s.log",
         "E:\\W95-98\\drv\\95\\s.log"},
        {"absolute elsewhere", WindowsVersion::Win95, Package::Medium, "", "/DRIVER", "/LOG=C:\\support.log", "C:\\support.log"},
        {"over an earlier log", WindowsVersion::Win98, Package::Vxd, vxd, "", "/LOG=earlier.log", "E:\\earlier.log", dialog},
        {"naming setup.ini", WindowsVersion::Win98, Package::Vxd, vxd, "", "/LOG=setup.ini", "", dialog},
        {"over another file", WindowsVersion::Win98, Package::Vxd, vxd, "", "/LOG=Readme.txt", "", dialog},
        {"naming WININIT.INI", WindowsVersion::Win95, Package::Medium, "", "/DRIVER", "/LOG=C:\\WINDOWS\\WININIT.INI", ""},
        {"in the staging folder", WindowsVersion::Win95, Package::Medium, "", "/DRIVER", "/LOG=C:\\Progra~1\\Orvanta\\s.log", "", "",
         "C:\\Program Files\\Orvanta"},
        {"on a drive that does not exist", WindowsVersion::Win95, Package::Medium, "", "/DRIVER", "/LOG=Q:\\s.log", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome plain = RunOn(row, false), logged = RunOn(row, true);
        ASSERT_GT(plain.effects.size(), 10u);
        EXPECT_EQ(logged.effects, plain.effects);
        EXPECT_EQ(vm::Diff(plain.after, logged.after).size(), 0u);
        EXPECT_EQ(logged.log.value_or("").find(setup::kLogFirstLineStart), row.logAt.empty() ? std::string::npos : 0u);
        EXPECT_EQ(logged.errorMode, 0u);  // as it was before the log was opened
    }
}

}  // namespace
