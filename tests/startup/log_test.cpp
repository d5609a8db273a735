// The log asked for with /LOG=path or setup.ini's "Log": the command line
// classified as if the switch were not there, and every effect written down
// line by line, with nothing else changed.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/journal/journal_text.h"
#include "platform/vm/ini_text.h"
#include "startup/log_switch.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestMachine;
using vm::WindowsVersion;

TEST(Log, SwitchTakenOutBeforeTheCommandLineIsClassified) {
    const std::tuple<const char*, const char*, const char*> rows[] = {  // typed, left to classify, log ("-": none)
        {"/LOG=C:\\s.log /DRIVER", "/DRIVER", "C:\\s.log"},
        {"/driver /log=C:\\s.log", "/driver", "C:\\s.log"},
        {"/LOG=C:\\s.log", "", "C:\\s.log"},
        {"/Log=\"C:\\My logs\\s.log\"  /AP", "/AP", "C:\\My logs\\s.log"},
        {"\"/LOG=C:\\My logs\\s.log\" /AP", "/AP", "C:\\My logs\\s.log"},
        {"/AP  /LOG=a /LOG=b", "/AP", "b"},
        {"/DRIVER /LOG=a ", "/DRIVER ", "a"},  // a trailing blank typed stays, as without the switch
        {"/AP/LOG=a", "/AP/LOG=a", "-"},       // glued to a word: not a switch
        {"/LOGFILE=a /AP", "/LOGFILE=a /AP", "-"},
        {"/LOG=\"C:\\unclosed", "", "C:\\unclosed"},
        {"/LOG=", "", ""},
    };
    for (const auto& [typed, rest, log] : rows) {
        const setup::LogSwitch taken = setup::TakeLogSwitch(typed);
        EXPECT_EQ(taken.commandLine, rest) << typed;
        EXPECT_EQ(taken.path.value_or("-"), log) << typed;
    }
}

// Takes the header, its lines starting with ';', off the log.
std::optional<std::string> WithoutHeader(std::optional<std::string> log, std::string* header = nullptr) {
    while (log && log->compare(0, 1, ";") == 0) {
        const std::size_t end = log->find('\n') + 1;
        if (header) *header += log->substr(0, end);
        log->erase(0, end);
    }
    return log;
}

struct Row {
    const char* name;
    WindowsVersion version;
    Package package;
    std::string setupIni, commandLine, logSwitch;  // logSwitch: "" when setup.ini asks for the log
    std::string logAt;                             // "": no log is written
    std::string machineIni = "";
};

struct LoggedRun {
    std::vector<std::string> effects;  // journal lines
    std::vector<std::string> changes;  // what the run changed, the log apart
    std::optional<std::string> log, logAtRestart;  // the journal lines after the header
    std::string header;
    std::uint32_t errorMode = 0;
};

// Reads the log when Windows is asked to restart: a real system may end the
// program then, before anything more is written.
class RestartWatch : public TestMachine {
public:
    RestartWatch(const Row& row, bool withLog)
        : TestMachine(row.version, row.machineIni + "[Machine]\nCommandLine = " + row.commandLine +
                                       (withLog && !row.logSwitch.empty() ? " " + row.logSwitch : "") + "\n"),
          logAt_(row.logAt) {}
    std::optional<std::string> logAtRestart;

    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override {
        if (!logAt_.empty()) logAtRestart = Files().ReadFile(logAt_);
        return TestMachine::ExitWindowsEx(flags, reserved);
    }

private:
    std::string logAt_;
};

LoggedRun RunWithLog(const Row& row, bool withLog) {
    RestartWatch machine(row, withLog);
    machine.PutPackage(row.package);
    machine.PutSetupIni(withLog ? row.setupIni : row.setupIni.substr(0, row.setupIni.find("[Default]")));
    machine.PutMedium("Readme.txt", "read me");
    if (withLog && row.logSwitch == "/LOG=earlier.log") machine.PutMedium("earlier.log", "; Orvanta PCI audio setup 2.5 log\r\n");
    machine.Files().PutDirectory("C:\\My logs"), machine.Files().PutDirectory("C:\\Program Files\\Orvanta");
    machine.Files().PutFile("C:\\WINDOWS\\WININIT.INI", "[rename]\r\n");
    platform::Journal effects;
    LoggedRun run;
    for (const vm::Change& change : setupsim::RunSetup(machine, &effects).changes) {
        if (vm::Lower(change.what) == vm::Lower(row.logAt)) continue;
        run.changes.push_back(change.sign + std::string(" ") + change.what);
        for (const std::string& detail : change.details) run.changes.back() += "\n  " + detail;
    }
    for (const platform::JournalEntry& entry : effects.Entries()) run.effects.push_back(platform::JournalLine(entry));
    if (!row.logAt.empty()) run.log = WithoutHeader(machine.Files().ReadFile(row.logAt), &run.header);
    run.logAtRestart = WithoutHeader(machine.logAtRestart);
    run.errorMode = machine.ErrorMode();
    return run;
}

// With a log anywhere the run does what it does without one, the log apart;
// where the log would become part of the run there is none.
TEST(Log, EveryEffectLineByLineAndNothingElseChanges) {
    const std::string vxd = "[InstallOption]\r\nWebSetup=1\r\n", flat = "[InstallOption]\r\nWebSetup=2\r\nInstallWDMDriver=1\r\n";
    const std::string iniLog = "[Default]\r\nLog=C:\\ini.log\r\n", dialog = "[Dialogs]\n103 = ok\n";
    const WindowsVersion v95 = WindowsVersion::Win95, v98 = WindowsVersion::Win98, me = WindowsVersion::WinME;
    const Row rows[] = {
        {"absolute", v95, Package::Medium, "", "/DRIVER", "/LOG=C:\\s.log", "C:\\s.log"},
        {"quoted, after", v95, Package::Medium, "", "/DRIVER", "/log=\"C:\\My logs\\s.log\"", "C:\\My logs\\s.log"},
        {"setup.ini's", v95, Package::Medium, iniLog, "/DRIVER", "", "C:\\ini.log"},
        {"the command line wins", v95, Package::Medium, iniLog, "/DRIVER", "/LOG=C:\\s.log", "C:\\s.log"},
        {"no such folder", v95, Package::Medium, "", "/DRIVER", "/LOG=C:\\Missing\\s.log", ""},
        {"no such drive", v95, Package::Medium, "", "/DRIVER", "/LOG=Q:\\s.log", ""},
        {"in the VxD package", v98, Package::Vxd, vxd, "", "/LOG=support.log", "E:\\support.log", dialog},
        {"in a flat package, named like an INF", me, Package::Flat, flat, "/DRIVER", "/LOG=support.inf", "E:\\support.inf"},
        {"in a flat package, dialog-free", me, Package::Flat, flat, "", "/LOG=.\\support.log", "E:\\support.log"},
        {"in a driver folder of the medium", v95, Package::Medium, "", "/DRIVER", "/LOG=E:\\W95-98\\drv\\95\\s.log",
         "E:\\W95-98\\drv\\95\\s.log"},
        {"over an earlier log", v98, Package::Vxd, vxd, "", "/LOG=earlier.log", "E:\\earlier.log", dialog},
        {"naming setup.ini", v98, Package::Vxd, vxd, "", "/LOG=setup.ini", "", dialog},
        {"over another file", v98, Package::Vxd, vxd, "", "/LOG=Readme.txt", "", dialog},
        {"naming WININIT.INI", v95, Package::Medium, "", "/DRIVER", "/LOG=C:\\WINDOWS\\WININIT.INI", ""},
        {"in the staging folders", v95, Package::Medium, "", "/DRIVER", "/LOG=C:\\Progra~1\\Orvanta\\s.log", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LoggedRun plain = RunWithLog(row, false), logged = RunWithLog(row, true);
        ASSERT_GT(plain.effects.size(), 10u);
        EXPECT_EQ(logged.effects, plain.effects);
        EXPECT_EQ(logged.changes, plain.changes);
        EXPECT_EQ(logged.errorMode, 0u);  // as it was before the log was opened
        if (row.logAt.empty()) {
            EXPECT_EQ(logged.header, "");
            continue;
        }
        std::string text, beforeRestart;
        for (const std::string& line : plain.effects) {
            if (line.find("restart requested") != std::string::npos) beforeRestart = text;
            text += line + "\r\n";
        }
        EXPECT_EQ(logged.log, text);
        EXPECT_EQ(logged.logAtRestart, beforeRestart);
        const std::string typed = row.commandLine + (row.logSwitch.empty() || row.commandLine.empty() ? "" : " ") + row.logSwitch;
        EXPECT_EQ(logged.header.substr(0, logged.header.find("; Windows")),
                  "; Orvanta PCI audio setup 2.5 log\r\n; command line: E:\\setup.exe" + (typed.empty() ? "" : " " + typed) + "\r\n");
        // The options the run went by, each key with its default where setup.ini is silent.
        const std::string options = logged.header.substr(logged.header.find("; setup.ini:"));
        if (row.setupIni.find("InstallOption") == std::string::npos) {
            EXPECT_EQ(options, "; setup.ini: DriverOnly=0 WindowsMEDriverAskUser=0 WindowsMEDriver=1 Windows98SEDriverAskUser=0 "
                               "Windows98SEDriver=0 WebSetup=0 InstallWDMDriver=0 UsingCDDA=0\r\n");
        }
    }
}

}  // namespace
