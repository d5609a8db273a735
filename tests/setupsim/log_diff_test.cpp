// setupsim diff: a log read back line by line and held against the
// prediction, with what a real system names its own way made alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "medium_test_support.h"
#include "platform/journal/journal_text.h"
#include "platform/vm/machine_folder.h"
#include "setupsim/log_diff.h"
#include "setupsim/runner.h"

namespace {

using namespace medium_test;
namespace fs = std::filesystem;

TEST(SetupsimDiff, LinesReadBackAndNamesMadeAlike) {
    const std::pair<const char*, const char*> lines[] = {  // a log's line, what is compared ("-": not a line)
        {"      120 ms  copy file  from=E:\\a  to=\"C:\\Program Files\\a\"  result=ok\r",
         "copy file  from=E:\\a  to=\"C:\\Program Files\\a\"  result=ok"},
        {"0 ms  3d controls", "3d controls"},
        {"12345678901234567890 ms  sleep  ms=1", "-"},  // a time no clock gives
        {"  ms  sleep  ms=1", "-"},
        {"      120 ms  ", "-"},
        {"copy file  from=E:\\a", "-"},
    };
    for (const auto& [line, description] : lines) {
        const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
        EXPECT_EQ(read ? read->description : "-", description) << line;
    }
    const std::pair<const char*, const char*> names[] = {
        {"folder=C:\\PROGRA~1\\ORVANTA\\WIN_9x\\", "folder=C:\\~\\ORVANTA\\WIN_9x\\"},
        {"source=C:\\PROG~FBU\\Orvanta\\WIN_9x", "source=C:\\~\\Orvanta\\WIN_9x"},
        {"inf=\"C:\\A B\\LONGNA~1.INF\"", "inf=\"C:\\A B\\~\""},
        {"text=\"Version ~1 of 2\"  x=A~B", "text=\"Version ~1 of 2\"  x=~"},
        {"path=C:\\Very~LongName\\x", "path=C:\\Very~LongName\\x"},  // more than an alias allows
    };
    for (const auto& [text, alike] : names) EXPECT_EQ(setupsim::WithoutShortNames(text), alike) << text;
}

TEST(SetupsimDiff, DifferencesPairedSideBySide) {
    auto entries = [](std::vector<std::string> kinds) {
        std::vector<platform::JournalEntry> result;
        for (const std::string& kind : kinds) result.push_back({7, kind, {{"path", "C:\\PROGRA~1\\x"}}});
        return result;
    };
    const struct Row {
        std::vector<std::string> predicted, logged;
        std::vector<std::string> differences;  // "at: predicted | logged"
    } rows[] = {
        {{"a", "b", "c"}, {"a  path=c:\\prog~fbu\\X", "b  path=C:\\PROGRA~1\\x", "c  path=C:\\PROGRA~1\\x"}, {}},
        {{"a", "b", "c"}, {"a  path=C:\\PROGRA~1\\x", "c  path=C:\\PROGRA~1\\x"}, {"1: b  path=C:\\PROGRA~1\\x | "}},
        {{"a", "c"}, {"a  path=x", "b  path=x", "c  path=x"},
         {"0: a  path=C:\\PROGRA~1\\x | a  path=x", "1: c  path=C:\\PROGRA~1\\x | b  path=x", "2:  | c  path=x"}},
        {{"a", "b", "c", "d"}, {"a  path=C:\\PROGRA~1\\x", "x", "y", "d  path=C:\\PROGRA~1\\x"},
         {"1: b  path=C:\\PROGRA~1\\x | x", "2: c  path=C:\\PROGRA~1\\x | y"}},
        {{}, {"a"}, {"0:  | a"}},
    };
    for (const Row& row : rows) {
        const setupsim::LogComparison comparison = setupsim::CompareWithLog(entries(row.predicted), row.logged).value();
        std::vector<std::string> differences;
        for (const setupsim::LogDifference& d : comparison.differences) {
            differences.push_back(std::to_string(d.predictedAt) + ": " + d.predicted + " | " + d.logged);
        }
        EXPECT_EQ(differences, row.differences) << row.logged.size();
        EXPECT_EQ(comparison.predictedEffects + comparison.loggedEffects, row.predicted.size() + row.logged.size());
    }
    // Long logs that differ at both ends: a table of the two lengths would
    // take 1.6 gigabytes; too many differences are refused, not paired.
    std::vector<std::string> kinds, logged;
    for (int i = 0; i < 20000; ++i) kinds.push_back("e" + std::to_string(i)), logged.push_back(kinds.back() + "  path=C:\\PROGRA~1\\x");
    logged.front() = "first", logged.back() = "last";
    const std::optional<setupsim::LogComparison> longLogs = setupsim::CompareWithLog(entries(kinds), logged);
    ASSERT_TRUE(longLogs.has_value());
    EXPECT_EQ(longLogs->differences.size(), 2u);
    EXPECT_EQ(longLogs->differences.back().logged, "last");
    EXPECT_FALSE(setupsim::CompareWithLog(entries(kinds), std::vector<std::string>(setupsim::kMostDifferences, "other")));
}

TEST(SetupsimDiff, ExitCodesOnTheExample) {
    const std::string example = kExamples + "win98se-cd";
    vm::VirtualMachine machine;
    vm::LoadMachineFolder(example, machine);
    platform::Journal effects;
    setupsim::RunSetup(machine, &effects);
    std::string log;
    for (const platform::JournalEntry& entry : effects.Entries()) log += platform::JournalLine(entry) + "\r\n";
    const fs::path file = fs::path(testing::TempDir()) / ("setupsim-diff-" + std::to_string(::getpid()) + ".log");
    const struct Row {
        std::string log;
        int code;
        std::string says;
    } rows[] = {
        {log, 0, "the log agrees with the prediction"},
        {"\r\n" + log, 0, "the log agrees with the prediction"},
        {"; Orvanta PCI audio setup 2.5 log\r\n; start folder: E:\\\r\n" + log, 0, "the log agrees with the prediction"},
        {log.substr(0, log.rfind("  ", log.size() - 3)) + "  code=3\r\n", 1, "logged:    program returned  code=3"},
        {log + "not a line\r\n", 2, "line " + std::to_string(effects.Entries().size() + 1) + " of"},
        {"", 1, "at predicted effect 1:"},
    };
    for (const Row& row : rows) {
        std::ofstream(file, std::ios::binary) << row.log;
        const Output output = Setupsim({"diff", example, file.string()});
        EXPECT_EQ(output.code, row.code) << row.says << output.out << output.err;
        EXPECT_NE((output.out + output.err).find(row.says), std::string::npos) << output.out << output.err;
    }
    EXPECT_EQ(Setupsim({"diff", example, (file.parent_path() / "none.log").string()}).code, 2);
    fs::remove(file);
}

}  // namespace
