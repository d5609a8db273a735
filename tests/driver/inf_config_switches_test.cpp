// The Config switches of the VxD INF: the right lines, the right character,
// nothing else, whatever the line ends and line lengths.
#include "driver/inf_config_switches.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "driver/inf_test_support.h"

namespace {

using inftest::Replaced;
using inftest::TestInf;
using inftest::Ticks;
using inftest::WithLfLineEnds;

const std::string kInf = "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF";

// As the VxD procedure does it: open for update in text mode, rewrite, seek
// to the end, flush, close.
std::string AfterSwitches(testsupport::TestMachine& machine, const std::string& content,
                          const setup::OptionState& options) {
    machine.Files().PutFile(kInf, content);
    if (const std::unique_ptr<platform::FileStream> inf = machine.fopen(kInf, "r+")) {
        setup::RewriteConfigSwitches(machine, *inf, options);
        inf->Seek(0, SEEK_END);
        inf->Flush();
    }
    return machine.Files().ReadFile(kInf).value_or("(missing)");
}

// The VxD INF with the five switch lines ending in these characters, in the
// order DISMPU, DISJSTK, LINEINasREAR, LINEINasBASS, MICasBASS.
std::string VxdInfWithSwitches(const std::string& values) {
    const char* lines[] = {"HKR,Config,DISMPU,1,", "HKR,Config,DISJSTK,1,", "HKR,Config,LINEINasREAR,1,",
                           "HKR,Config,LINEINasBASS,1,", "HKR,Config,MICasBASS,1,"};
    const std::string shipped = "00100";
    std::vector<std::pair<std::string, std::string>> changes;
    for (std::size_t i = 0; i < shipped.size(); ++i) {
        changes.push_back({"\r\n" + std::string(lines[i]) + shipped[i] + "\r\n",
                           "\r\n" + std::string(lines[i]) + values[i] + "\r\n"});
    }
    return Replaced(TestInf("vxd/OVAUDIO.INF"), changes);
}

// Every switch's condition holds (a combination the dialog cannot reach).
setup::OptionState EverySwitch() {
    setup::OptionState options;
    options.motherboard = true;
    options.lineInRear = false;
    options.lineInBass = true;
    options.micBass = true;
    options.disableMidi = true;
    options.disableGamePort = true;
    return options;
}

const std::string kSwitchLines =
    "HKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\nHKR,Config,LINEINasREAR,1,1\r\n"
    "HKR,Config,LINEINasBASS,1,0\r\nHKR,Config,MICasBASS,1,0\r\n";
const std::string kEverySwitchWritten =
    "HKR,Config,DISMPU,1,1\r\nHKR,Config,DISJSTK,1,1\r\nHKR,Config,LINEINasREAR,1,0\r\n"
    "HKR,Config,LINEINasBASS,1,1\r\nHKR,Config,MICasBASS,1,1\r\n";

// The sleeps and file writes of the run, in order.
std::vector<std::string> PausesAndWrites(testsupport::TestMachine& machine) {
    std::vector<std::string> effects;
    for (const vm::JournalEntry& entry : machine.GetJournal().Entries()) {
        if (entry.kind == "sleep") effects.push_back("sleep " + entry.Get("ms"));
        if (entry.kind == "write file") effects.push_back("write");
    }
    return effects;
}

TEST(InfConfigSwitchesTest, EveryReachableChoiceOnTheVxdInf) {
    struct JackRow {
        bool motherboard;
        Ticks ticks;
        const char* jackValues;  // LINEINasREAR, LINEINasBASS, MICasBASS afterwards
        int jackWrites;
    } jackRows[] = {
        {true, {true, false, false}, "100", 0},  {true, {false, true, false}, "010", 2},
        {true, {false, false, true}, "001", 2},  {true, {true, false, true}, "101", 1},
        {false, {true, false, false}, "000", 1}, {false, {false, true, false}, "000", 1},
        {false, {false, false, true}, "000", 1}, {false, {true, false, true}, "000", 1},
    };
    struct LegacyRow {
        bool disableMidi;
        bool disableGamePort;
        const char* legacyValues;  // DISMPU, DISJSTK afterwards
        std::vector<std::string> effects;
    } legacyRows[] = {
        {false, false, "00", {}},
        {true, false, "10", {"sleep 100", "write"}},
        {false, true, "01", {"sleep 100", "write"}},
        {true, true, "11", {"sleep 100", "write", "sleep 100", "write"}},
    };
    for (const JackRow& jack : jackRows) {
        for (const LegacyRow& legacy : legacyRows) {
            testsupport::TestMachine machine;
            setup::OptionState options = inftest::OptionsWith(jack.motherboard, jack.ticks);
            options.disableMidi = legacy.disableMidi;
            options.disableGamePort = legacy.disableGamePort;
            const std::string after = AfterSwitches(machine, TestInf("vxd/OVAUDIO.INF"), options);
            const std::string description = std::string(jack.motherboard ? "motherboard " : "sound card ") +
                                            inftest::ToString(jack.ticks) + " MIDI " +
                                            (legacy.disableMidi ? "off" : "on") + " game port " +
                                            (legacy.disableGamePort ? "off" : "on");
            EXPECT_EQ(after, VxdInfWithSwitches(std::string(legacy.legacyValues) + jack.jackValues)) << description;
            std::vector<std::string> effects = legacy.effects;
            effects.insert(effects.end(), static_cast<std::size_t>(jack.jackWrites), "write");
            EXPECT_EQ(PausesAndWrites(machine), effects) << description;
        }
    }
}

TEST(InfConfigSwitchesTest, OnlyAnExactLineIsEdited) {
    // Each variant stands for all five lines; none may be edited.
    struct Row {
        const char* variant;
        std::string (*of)(const std::string& line);
    } rows[] = {
        {"a blank before", [](const std::string& l) { return " " + l; }},
        {"a tab before", [](const std::string& l) { return "\t" + l; }},
        {"a blank after", [](const std::string& l) { return l + " "; }},
        {"a comment after", [](const std::string& l) { return l + " ; shipped value"; }},
        {"commented out", [](const std::string& l) { return ";" + l; }},
        {"a blank inside", [](const std::string& l) { return "HKR, " + l.substr(4); }},
        {"lower case",
         [](const std::string& l) {
             std::string lower = l;
             for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
             return lower;
         }},
        {"another value", [](const std::string& l) { return l.substr(0, l.size() - 1) + "2"; }},
        {"one more digit", [](const std::string& l) { return l + "0"; }},
    };
    const std::vector<std::string> lines = {"HKR,Config,DISMPU,1,0", "HKR,Config,DISJSTK,1,0",
                                            "HKR,Config,LINEINasREAR,1,1", "HKR,Config,LINEINasBASS,1,0",
                                            "HKR,Config,MICasBASS,1,0"};
    for (const Row& row : rows) {
        std::vector<std::pair<std::string, std::string>> decoys;
        for (const std::string& line : lines)
            decoys.push_back({"\r\n" + line + "\r\n", "\r\n" + row.of(line) + "\r\n"});
        const std::string decoyed = Replaced(TestInf("vxd/OVAUDIO.INF"), decoys);
        testsupport::TestMachine alone;
        EXPECT_EQ(AfterSwitches(alone, decoyed, EverySwitch()), decoyed) << row.variant;
        EXPECT_EQ(alone.GetJournal().Count("sleep"), 0u) << row.variant;

        // With the exact lines after the variants, the exact lines are edited.
        testsupport::TestMachine both;
        const std::string withBoth = decoyed + kSwitchLines;
        EXPECT_EQ(AfterSwitches(both, withBoth, EverySwitch()), decoyed + kEverySwitchWritten) << row.variant;
    }
}

TEST(InfConfigSwitchesTest, LineEnds) {
    struct Row {
        const char* name;
        std::string content;
        std::string expected;
    } rows[] = {
        {"CR LF", kSwitchLines, kEverySwitchWritten},
        {"LF only", WithLfLineEnds(kSwitchLines), WithLfLineEnds(kEverySwitchWritten)},
        {"LF only, then CR LF", WithLfLineEnds(kSwitchLines) + kSwitchLines,
         WithLfLineEnds(kEverySwitchWritten) + kSwitchLines},
        {"LF CR", "HKR,Config,DISMPU,1,0\n\r", "HKR,Config,DISMPU,1,1\n\r"},
        {"the switch is the first line", "HKR,Config,MICasBASS,1,0\r\n[Strings]\r\n",
         "HKR,Config,MICasBASS,1,1\r\n[Strings]\r\n"},
        {"the first of two equal lines", "HKR,Config,DISMPU,1,0\r\nHKR,Config,DISMPU,1,0\r\n",
         "HKR,Config,DISMPU,1,1\r\nHKR,Config,DISMPU,1,0\r\n"},
        {"last line without line end", "[x]\r\nHKR,Config,DISMPU,1,0", "[x]\r\nHKR,Config,DISMPU,1,0"},
        {"last line without line end, one character more", "HKR,Config,DISMPU,1,0;", "HKR,Config,DISMPU,1,0;"},
        {"LF-only file, last line without line end", "x\nHKR,Config,MICasBASS,1,0", "x\nHKR,Config,MICasBASS,1,0"},
        {"CR only", "HKR,Config,DISMPU,1,0\rHKR,Config,MICasBASS,1,0\r",
         "HKR,Config,DISMPU,1,0\rHKR,Config,MICasBASS,1,0\r"},
        {"CR CR LF", "HKR,Config,DISMPU,1,0\r\r\n", "HKR,Config,DISMPU,1,0\r\r\n"},
        {"a Ctrl-Z ends the text before it", "[x]\r\n\x1A\r\nHKR,Config,DISMPU,1,0\r\n",
         "[x]\r\n\x1A\r\nHKR,Config,DISMPU,1,0\r\n"},
        {"a NUL byte in an earlier line", std::string("a\0b\r\nHKR,Config,DISMPU,1,0\r\n", 28),
         std::string("a\0b\r\nHKR,Config,DISMPU,1,1\r\n", 28)},
        {"empty file", "", ""},
    };
    for (const Row& row : rows) {
        testsupport::TestMachine machine;
        EXPECT_EQ(AfterSwitches(machine, row.content, EverySwitch()), row.expected) << row.name;
    }
}

TEST(InfConfigSwitchesTest, LongLinesArriveInPiecesAndAreTestedWhole) {
    const std::string dismpu = "HKR,Config,DISMPU,1,0\r\n";
    const std::string written = "HKR,Config,DISMPU,1,1\r\n";
    struct Row {
        const char* name;
        std::string before;  // what comes before the DISMPU line
        bool edited;
    } rows[] = {
        {"after a line of 1021 characters", std::string(1021, 'x') + "\r\n", true},
        {"after a line of 1022 characters", std::string(1022, 'x') + "\r\n", true},
        {"after a line of 1023 characters", std::string(1023, 'x') + "\r\n", true},
        {"after a line of 1024 characters", std::string(1024, 'x') + "\r\n", true},
        {"after a line of 5000 characters", std::string(5000, 'x') + "\r\n", true},
        {"after 5000 characters with LF line ends", std::string(5000, 'x') + "\n", true},
        // The tail after the first 1023 characters is a piece of its own; it
        // is not a line.
        {"as the tail of a line of 1023 characters more", std::string(1023, 'x'), false},
        {"as the tail of a line of 2046 characters more", std::string(2046, 'x'), false},
        {"as the tail of a line of 1000 characters more", std::string(1000, 'x'), false},
    };
    for (const Row& row : rows) {
        testsupport::TestMachine machine;
        const std::string content = row.before + dismpu + "[Strings]\r\n";
        const std::string expected = row.edited ? row.before + written + "[Strings]\r\n" : content;
        setup::OptionState options;
        options.disableMidi = true;
        EXPECT_EQ(AfterSwitches(machine, content, options), expected) << row.name;
    }
    testsupport::TestMachine machine;
    const std::string beginsWithIt = "HKR,Config,DISMPU,1,0" + std::string(1500, ' ') + "\r\n";
    setup::OptionState options;
    options.disableMidi = true;
    EXPECT_EQ(AfterSwitches(machine, beginsWithIt, options), beginsWithIt);
}

TEST(InfConfigSwitchesRunTime, OffsetsTheWindowsRunTimeMisreportsAreNeverWritten) {
    inftest::CrtQuirks tellQuirk;
    tellQuirk.textTellCountsLfAsCrLf = true;
    inftest::CrtQuirks nulQuirk;
    nulQuirk.getsStopsAtNul = true;
    struct Row {
        const char* name;
        inftest::CrtQuirks quirks;
        std::string content;
        std::string expected;
    } rows[] = {
        {"ftell on CR LF lines is right", tellQuirk, "[x]\r\n" + kSwitchLines, "[x]\r\n" + kEverySwitchWritten},
        // Only the first line's offset (after the seek to the start) is true.
        {"ftell on LF-only lines is off", tellQuirk, WithLfLineEnds(kSwitchLines),
         "HKR,Config,DISMPU,1,1\n" + WithLfLineEnds(kSwitchLines.substr(23))},
        // The byte before a wrong offset is the CR of a CR LF, which reads as
        // a line end: the line itself must be there too.
        {"ftell on CR LF lines before an LF-only line is off", tellQuirk, kSwitchLines + "[x]\n",
         "HKR,Config,DISMPU,1,1\r\n" + kSwitchLines.substr(23) + "[x]\n"},
        {"fgets stops at a NUL byte in an earlier line", nulQuirk,
         std::string("\0junk\r\nHKR,Config,DISMPU,1,0\r\n", 30),
         std::string("\0junk\r\nHKR,Config,DISMPU,1,1\r\n", 30)},
        {"fgets stops at a NUL byte before the line end", nulQuirk, std::string("HKR,Config,DISMPU,1,0\0\r\nx\r\n", 27),
         std::string("HKR,Config,DISMPU,1,0\0\r\nx\r\n", 27)},
        {"fgets stops at a NUL byte after the line", nulQuirk, std::string("HKR,Config,DISMPU,1,00\0\r\n", 25),
         std::string("HKR,Config,DISMPU,1,00\0\r\n", 25)},
    };
    for (const Row& row : rows) {
        inftest::CrtQuirksMachine machine;
        machine.quirks = row.quirks;
        EXPECT_EQ(AfterSwitches(machine, row.content, EverySwitch()), row.expected) << row.name;
    }
}

}  // namespace
