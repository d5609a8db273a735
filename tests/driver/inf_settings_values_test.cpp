// The Settings values of the WDM INF: column 48 of the two lines, nothing
// else, whatever the line ends and line lengths.
#include "driver/inf_settings_values.h"

#include <gtest/gtest.h>

#include "driver/inf_test_support.h"

namespace {

using inftest::Replaced;
using inftest::TestInf;
using inftest::Ticks;
using inftest::WithLfLineEnds;

const std::string kInf = "C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF";
const std::string kLegacy = "HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0";
const std::string kJacks = "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0";

std::string AfterSettings(testsupport::TestMachine& machine, const std::string& content,
                          const setup::OptionState& options) {
    machine.Files().PutFile(kInf, content);
    setup::RewriteSettingsValues(machine, kInf, options);
    return machine.Files().ReadFile(kInf).value_or("(missing)");
}

// The line with the digit at column 48 replaced.
std::string WithDigit(const std::string& line, char digit) {
    std::string edited = line;
    edited[48] = digit;
    return edited;
}

std::string WdmInfWithDigits(char legacy, char jacks) {
    return Replaced(TestInf("wdm/OVAUDIO.INF"), {{kLegacy + "\r\n", WithDigit(kLegacy, legacy) + "\r\n"},
                                                 {kJacks + "\r\n", WithDigit(kJacks, jacks) + "\r\n"}});
}

setup::OptionState BothValues() {
    setup::OptionState options;
    options.disableLegacy = true;
    options.lineInRear = false;
    options.micBass = true;  // JackConfig 4
    return options;
}

TEST(InfSettingsValuesTest, EveryReachableChoiceOnTheWdmInf) {
    struct Row {
        bool motherboard;
        Ticks ticks;
        char jackDigit;
    } rows[] = {
        {true, {true, false, false}, '1'},  {true, {false, true, false}, '2'},  {true, {false, false, true}, '4'},
        {true, {true, false, true}, '5'},   {false, {true, false, false}, '0'}, {false, {false, true, false}, '0'},
        {false, {false, false, true}, '0'}, {false, {true, false, true}, '0'},
    };
    for (const Row& row : rows) {
        for (const bool disableLegacy : {false, true}) {
            testsupport::TestMachine machine;
            setup::OptionState options = inftest::OptionsWith(row.motherboard, row.ticks);
            options.disableLegacy = disableLegacy;
            // The VxD dialog's boxes play no part here.
            options.disableMidi = options.disableGamePort = !disableLegacy;
            const std::string description = std::string(row.motherboard ? "motherboard " : "sound card ") +
                                            inftest::ToString(row.ticks) +
                                            (disableLegacy ? " legacy devices off" : " legacy devices on");
            EXPECT_EQ(AfterSettings(machine, TestInf("wdm/OVAUDIO.INF"), options),
                      WdmInfWithDigits(disableLegacy ? '2' : '3', row.jackDigit))
                << description;
            EXPECT_EQ(machine.GetJournal().Count("sleep"), disableLegacy ? 1u : 0u) << description;
        }
    }
}

TEST(InfSettingsValuesTest, OnlyLinesBeginningWithTheExactTextAreEdited) {
    struct Row {
        const char* name;
        std::string legacyLine;  // stands where the EnableLegacy line stood
        std::string jackLine;
        bool edited;
    } rows[] = {
        {"a comment after the value", kLegacy + " ; legacy devices", kJacks + " ; phone jacks", true},
        {"more values after it", kLegacy + ",0x00", kJacks + "1", true},
        {"a blank too few", "HKR,\"Settings\",\"EnableLegacy\",   0x00010001,0x03,0,0,0",
         "HKR,\"Settings\",\"JackConfig\",     0x00010001,0x05,0,0,0", false},
        {"a blank too many", "HKR,\"Settings\",\"EnableLegacy\",     0x00010001,0x03,0,0,0",
         "HKR,\"Settings\",\"JackConfig\",       0x00010001,0x05,0,0,0", false},
        {"a blank before", " " + kLegacy, " " + kJacks, false},
        {"lower case", "hkr,\"settings\",\"enablelegacy\",    0x00010001,0x03,0,0,0",
         "hkr,\"settings\",\"jackconfig\",      0x00010001,0x05,0,0,0", false},
        {"without quotes", "HKR,Settings,EnableLegacy,      0x00010001,0x03,0,0,0",
         "HKR,Settings,JackConfig,        0x00010001,0x05,0,0,0", false},
        {"another default", WithDigit(kLegacy, '1'), WithDigit(kJacks, '7'), false},
        {"cut short", kLegacy.substr(0, 54), kJacks.substr(0, 54), false},
        {"commented out", ";" + kLegacy, ";" + kJacks, false},
    };
    for (const Row& row : rows) {
        const std::string content = Replaced(TestInf("wdm/OVAUDIO.INF"), {{kLegacy + "\r\n", row.legacyLine + "\r\n"},
                                                                          {kJacks + "\r\n", row.jackLine + "\r\n"}});
        const std::string expected =
            row.edited ? Replaced(content, {{row.legacyLine + "\r\n", WithDigit(row.legacyLine, '2') + "\r\n"},
                                            {row.jackLine + "\r\n", WithDigit(row.jackLine, '4') + "\r\n"}})
                       : content;
        testsupport::TestMachine machine;
        EXPECT_EQ(AfterSettings(machine, content, BothValues()), expected) << row.name;
    }
}

TEST(InfSettingsValuesTest, LineEndsAndLongLines) {
    const std::string both = kLegacy + "\r\n" + kJacks + "\r\n";
    const std::string bothWritten = WithDigit(kLegacy, '2') + "\r\n" + WithDigit(kJacks, '4') + "\r\n";
    struct Row {
        const char* name;
        std::string content;
        std::string expected;
    } rows[] = {
        {"CR LF", "[x]\r\n" + both, "[x]\r\n" + bothWritten},
        {"LF only", "[x]\n" + WithLfLineEnds(both), "[x]\n" + WithLfLineEnds(bothWritten)},
        {"the line is the first one", both, bothWritten},
        {"the first of two equal lines", kJacks + "\r\n" + kJacks + "\r\n",
         WithDigit(kJacks, '4') + "\r\n" + kJacks + "\r\n"},
        {"last line without line end", "[x]\r\n" + kLegacy + "\r\n" + kJacks,
         "[x]\r\n" + WithDigit(kLegacy, '2') + "\r\n" + kJacks},
        {"last line without line end, with more after the text", kJacks + " ; jacks", kJacks + " ; jacks"},
        {"CR only", kLegacy + "\r" + kJacks + "\r", kLegacy + "\r" + kJacks + "\r"},
        {"a Ctrl-Z ends the text before it", "\x1A\r\n" + both, "\x1A\r\n" + both},
        {"a line of 5000 characters beginning with the text", kJacks + std::string(4945, ',') + "\r\n",
         WithDigit(kJacks, '4') + std::string(4945, ',') + "\r\n"},
        {"after a line of 1023 characters", std::string(1023, ';') + "\r\n" + kJacks + "\r\n",
         std::string(1023, ';') + "\r\n" + WithDigit(kJacks, '4') + "\r\n"},
        // The text that starts after the first 1023 characters of a line
        // arrives as a piece of its own; it does not begin a line.
        {"inside a line, after 1023 characters", std::string(1023, ';') + kJacks + "\r\n",
         std::string(1023, ';') + kJacks + "\r\n"},
        {"a line of 1100 characters beginning with the text, last in the file", kJacks + std::string(1045, ','),
         kJacks + std::string(1045, ',')},
        {"empty file", "", ""},
    };
    for (const Row& row : rows) {
        testsupport::TestMachine machine;
        EXPECT_EQ(AfterSettings(machine, row.content, BothValues()), row.expected) << row.name;
    }
}

TEST(InfSettingsValuesTest, AnInfThatDoesNotOpenStaysAsItWas) {
    const std::string inf = TestInf("wdm/OVAUDIO.INF");
    {
        testsupport::TestMachine machine;
        machine.Files().PutFile(kInf, inf, platform::FILE_ATTRIBUTE_READONLY);
        setup::RewriteSettingsValues(machine, kInf, BothValues());
        EXPECT_EQ(machine.Files().ReadFile(kInf), inf);
        EXPECT_EQ(machine.GetJournal().Count("sleep"), 0u);
    }
    {
        testsupport::TestMachine machine;
        setup::RewriteSettingsValues(machine, kInf, BothValues());
        EXPECT_FALSE(machine.Files().Exists(kInf));
    }
}

TEST(InfSettingsValuesRunTime, OffsetsTheWindowsRunTimeMisreportsAreNeverWritten) {
    inftest::CrtQuirksMachine machine;
    machine.quirks.textTellCountsLfAsCrLf = true;
    const std::string lfOnly = "[x]\n" + kLegacy + "\n" + kJacks + "\n[y]\n";
    EXPECT_EQ(AfterSettings(machine, lfOnly, BothValues()), lfOnly);

    inftest::CrtQuirksMachine crLf;
    crLf.quirks.textTellCountsLfAsCrLf = true;
    EXPECT_EQ(AfterSettings(crLf, TestInf("wdm/OVAUDIO.INF"), BothValues()), WdmInfWithDigits('2', '4'));
}

}  // namespace
