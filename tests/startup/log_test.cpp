// The log asked for with /LOG=path or setup.ini's "Log": the command line
// classified as if the switch were not there, and every effect written down
// line by line, with nothing else changed.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/journal/journal_text.h"
#include "startup/log_switch.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestMachine;

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

struct LoggedRun {
    std::vector<std::string> effects;  // journal lines
    std::vector<std::string> changed;  // "+ C:\\s.log", sorted
    std::optional<std::string> log, logAtRestart;  // the journal lines after the header
    std::string header;
};

// Takes the header, its lines starting with ';', off the log.
std::optional<std::string> WithoutHeader(std::optional<std::string> log, std::string* header = nullptr) {
    while (log && log->compare(0, 1, ";") == 0) {
        const std::size_t end = log->find('\n') + 1;
        if (header) *header += log->substr(0, end);
        log->erase(0, end);
    }
    return log;
}

// Reads the log when Windows is asked to restart: a real system may end the
// program then, before anything more is written.
class RestartWatch : public TestMachine {
public:
    RestartWatch(const std::string& machineIni, std::string logAt)
        : TestMachine(vm::WindowsVersion::Win95, machineIni), logAt_(std::move(logAt)) {}
    std::optional<std::string> logAtRestart;

    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override {
        logAtRestart = Files().ReadFile(logAt_);
        return TestMachine::ExitWindowsEx(flags, reserved);
    }

private:
    std::string logAt_;
};

// The unattended installation from a Windows 95 medium.
LoggedRun RunWithLog(const std::string& commandLine, const std::string& iniLog, const std::string& logAt) {
    RestartWatch machine("[Machine]\nCommandLine = " + commandLine + "\n", logAt);
    machine.PutPackage(Package::Medium);
    machine.PutSetupIni("[Default]\r\nLog=" + iniLog + "\r\n");
    machine.Files().PutDirectory("C:\\My logs");
    platform::Journal effects;
    LoggedRun run;
    for (const vm::Change& change : setupsim::RunSetup(machine, &effects).changes) {
        run.changed.push_back(change.sign + std::string(" ") + change.what);
    }
    std::sort(run.changed.begin(), run.changed.end());
    for (const platform::JournalEntry& entry : effects.Entries()) run.effects.push_back(platform::JournalLine(entry));
    run.log = WithoutHeader(machine.Files().ReadFile(logAt), &run.header);
    run.logAtRestart = WithoutHeader(machine.logAtRestart);
    return run;
}

TEST(Log, EveryEffectLineByLineAndNothingElseChanges) {
    const struct Row {
        const char* commandLine;
        const char* iniLog;  // setup.ini's [Default] Log
        const char* logAt;   // "" when no log can be written
    } rows[] = {
        {"/LOG=C:\\s.log /DRIVER", "", "C:\\s.log"},
        {"/DRIVER /log=\"C:\\My logs\\s.log\"", "", "C:\\My logs\\s.log"},
        {"/DRIVER", "C:\\ini.log", "C:\\ini.log"},
        {"/LOG=C:\\s.log /DRIVER", "C:\\ini.log", "C:\\s.log"},  // the command line wins
        {"/LOG=C:\\Missing\\s.log /DRIVER", "", ""},
        {"/LOG=Q:\\s.log /DRIVER", "", ""},  // no such drive
    };
    const LoggedRun plain = RunWithLog("/DRIVER", "", "C:\\s.log");
    ASSERT_GT(plain.effects.size(), 20u);
    ASSERT_FALSE(plain.log);
    for (const Row& row : rows) {
        const LoggedRun logged = RunWithLog(row.commandLine, row.iniLog, *row.logAt ? row.logAt : "C:\\s.log");
        EXPECT_EQ(logged.effects, plain.effects) << row.commandLine;
        std::vector<std::string> changed = plain.changed;
        if (*row.logAt) changed.push_back(std::string("+ ") + row.logAt);
        std::sort(changed.begin(), changed.end());
        EXPECT_EQ(logged.changed, changed) << row.commandLine;
        if (!*row.logAt) continue;
        std::string text, beforeRestart;
        for (const std::string& line : plain.effects) {
            if (line.find("restart requested") != std::string::npos) beforeRestart = text;
            text += line + "\r\n";
        }
        EXPECT_EQ(logged.log, text) << row.commandLine;
        EXPECT_EQ(logged.header.substr(0, logged.header.find("; local time")),
                  std::string("; Orvanta PCI audio setup 2.5 log\r\n; command line: E:\\setup.exe ") + row.commandLine +
                      "\r\n; Windows: platform 1, version 4.0.950, \" B\"\r\n");
        EXPECT_EQ(logged.logAtRestart, beforeRestart) << row.commandLine;
    }
}

}  // namespace
