// The four INF rewriting rules: the right lines, the right character,
// nothing else, whatever the line ends and line lengths.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <sstream>

#include "inf/inf_config_switches.h"
#include "inf/inf_copy_flags.h"
#include "inf/inf_settings_values.h"
#include "inf/inf_source_disks.h"
#include "platform/vm/machine_folder.h"
#include "support/machine_fixture.h"

namespace {

using setup::KernelStreamingInf;
using setup::SourceDiskForm;
using testsupport::Replaced;
using testsupport::TestInf;
using testsupport::TestMachine;

const std::string kLegacy = "HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0";
const std::string kJacks = "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0";
const std::string kSettings = kLegacy + "\r\n" + kJacks + "\r\n";

std::string Digit(std::string line, char digit) {
    line[48] = digit;
    return line;
}

// Options from words: card (the chip on a sound card), rear, bass, mic (the
// jack boxes 1011, 1012, 1013), midi, game, legacy (the boxes that disable).
setup::OptionState Options(const std::string& words) {
    std::istringstream in(words);
    std::set<std::string> set{std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
    setup::OptionState o;
    o.motherboard = !set.count("card");
    o.lineInRear = set.count("rear");
    o.lineInBass = set.count("bass");
    o.micBass = set.count("mic");
    o.disableMidi = set.count("midi");
    o.disableGamePort = set.count("game");
    o.disableLegacy = set.count("legacy");
    return o;
}
const std::string kEverySwitch = "bass mic midi game";

// As the VxD procedure does it: open for update in text mode, rewrite, seek
// to the end, flush, close.
std::string AfterSwitches(TestMachine& machine, const std::string& content, const std::string& options) {
    const std::string inf = "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF";
    machine.Files().PutFile(inf, content);
    if (const std::unique_ptr<platform::FileStream> stream = machine.Journaled().fopen(inf, "r+")) {
        setup::RewriteConfigSwitches(machine.Journaled(), inf, *stream, Options(options));
        stream->Seek(0, SEEK_END);
        stream->Flush();
    }
    return machine.Files().ReadFile(inf).value_or("(missing)");
}

std::string AfterSettings(TestMachine& machine, const std::string& content, const std::string& options) {
    const std::string inf = "C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF";
    machine.Files().PutFile(inf, content);
    setup::RewriteSettingsValues(machine.Journaled(), inf, Options(options));
    return machine.Files().ReadFile(inf).value_or("(missing)");
}

TEST(InfConfigSwitches, EveryReachableChoiceOnTheVxdInf) {
    // Jack boxes: LINEINasREAR, LINEINasBASS, MICasBASS afterwards, and the
    // writes they take. Legacy boxes: DISMPU, DISJSTK, each after 100 ms.
    const std::pair<const char*, std::string> jacks[] = {
        {"rear", "100"},      {"bass", "010ww"},      {"mic", "001ww"},      {"rear mic", "101w"},
        {"card rear", "000w"}, {"card bass", "000w"}, {"card mic", "000w"}, {"card rear mic", "000w"}};
    const std::pair<const char*, std::string> legacy[] = {{"", "00"}, {"midi", "10"}, {"game", "01"}, {"midi game", "11"}};
    for (const auto& [jackWords, jackResult] : jacks) {
        for (const auto& [legacyWords, legacyValues] : legacy) {
            TestMachine machine;
            const std::string values = legacyValues + jackResult.substr(0, 3);
            std::string expected = TestInf("vxd/OVAUDIO.INF");
            const char* names[] = {"DISMPU", "DISJSTK", "LINEINasREAR", "LINEINasBASS", "MICasBASS"};
            const std::string shipped = "00100";
            for (int i = 0; i < 5; ++i) {
                const std::string line = std::string("\r\nHKR,Config,") + names[i] + ",1,";
                expected = Replaced(expected, {{line + shipped[i] + "\r\n", line + values[i] + "\r\n"}});
            }
            const std::string options = std::string(jackWords) + " " + legacyWords;
            EXPECT_EQ(AfterSwitches(machine, TestInf("vxd/OVAUDIO.INF"), options), expected) << options;
            std::string effects;
            for (const platform::JournalEntry& entry : machine.GetJournal().Entries()) {
                if (entry.kind == "sleep") effects += "s" + entry.Get("ms");
                if (entry.kind == "write file") effects += "w";
            }
            std::string legacyEffects;
            for (char value : legacyValues) legacyEffects += value == '1' ? "s100w" : "";
            EXPECT_EQ(effects, legacyEffects + jackResult.substr(3)) << options;
        }
    }
}

TEST(InfSettingsValues, EveryReachableChoiceOnTheWdmInf) {
    const std::pair<const char*, char> jacks[] = {{"rear", '1'},      {"bass", '2'},      {"mic", '4'},
                                                  {"rear mic", '5'},  {"card rear", '0'}, {"card bass", '0'},
                                                  {"card mic", '0'},  {"card rear mic", '0'}};
    for (const auto& [jackWords, digit] : jacks) {
        for (const bool legacy : {false, true}) {
            TestMachine machine;
            // The VxD dialog's boxes play no part here.
            const std::string options = std::string(jackWords) + (legacy ? " legacy" : " midi game");
            const std::string expected = Replaced(
                TestInf("wdm/OVAUDIO.INF"), {{kLegacy, Digit(kLegacy, legacy ? '2' : '3')}, {kJacks, Digit(kJacks, digit)}});
            EXPECT_EQ(AfterSettings(machine, TestInf("wdm/OVAUDIO.INF"), options), expected) << options;
            EXPECT_EQ(machine.GetJournal().Count("sleep"), legacy ? 1u : 0u) << options;
        }
    }
}

// Both in-place rules find their lines the same way: from the start of the
// file, whole lines only, whatever the line ends and whether the run-time's
// text-mode ftell miscounts them. In a row's text \1 and \2 stand for the
// rule's two lines, \3 and \4 for them edited.
TEST(InfInPlaceRules, LineEndsAndLongLines) {
    struct Rule {
        std::string name, lines[4];
        std::function<std::string(TestMachine&, const std::string&)> run;
    } rules[] = {
        {"Config switches", {"HKR,Config,DISMPU,1,0", "HKR,Config,MICasBASS,1,0", "HKR,Config,DISMPU,1,1", "HKR,Config,MICasBASS,1,1"},
         [](TestMachine& m, const std::string& text) { return AfterSwitches(m, text, kEverySwitch); }},
        {"Settings values", {kLegacy, kJacks, Digit(kLegacy, '2'), Digit(kJacks, '4')},
         [](TestMachine& m, const std::string& text) { return AfterSettings(m, text, "legacy mic"); }},
    };
    const std::string nul("\0", 1);
    const std::string longLine = std::string(1500, ';');
    struct Row {
        std::string name, text, expected;
        std::string onlyFor = "";
    } rows[] = {
        {"CR LF", "[x]\r\n\1\r\n\2\r\n", "[x]\r\n\3\r\n\4\r\n"},
        {"LF only", "[x]\n\1\n\2\n[y]\n", "[x]\n\3\n\4\n[y]\n"},
        {"LF only, then CR LF", "\1\n\2\n\1\r\n", "\3\n\4\n\1\r\n"},
        {"CR LF, then LF only", "[x]\r\n\1\r\n[y]\n\2\n", "[x]\r\n\3\r\n[y]\n\4\n"},
        {"the first of two equal lines", "\2\r\n\2\r\n", "\4\r\n\2\r\n"},
        {"a blank before", " \1\r\n\t\2\r\n", " \1\r\n\t\2\r\n"},
        {"last line without line end", "[x]\r\n\1\r\n\2", "[x]\r\n\3\r\n\2"},
        {"LF only, last line without line end", "[x]\n\1\n\2", "[x]\n\3\n\2"},
        {"CR only", "\1\r\2\r", "\1\r\2\r"},
        {"a Ctrl-Z ends the text", "[x]\r\n\x1A\r\n\1\r\n", "[x]\r\n\x1A\r\n\1\r\n"},
        {"a Ctrl-Z cuts the line", "\1\x1A\n\2\n", "\1\x1A\n\2\n"},
        // Opening for update in text mode drops a Ctrl-Z that ends the file.
        {"a Ctrl-Z at the end", "\1\n\2\n\x1A", "\3\n\4\n"},
        {"a NUL byte in an earlier line", "a" + nul + "b\r\n\1\r\n", "a" + nul + "b\r\n\3\r\n"},
        {"after a line of 1023 characters", std::string(1023, 'x') + "\r\n\2\r\n", std::string(1023, 'x') + "\r\n\4\r\n"},
        {"LF only, after a long line", longLine + "\n\1\n" + longLine + "\n\2\n", longLine + "\n\3\n" + longLine + "\n\4\n"},
        // The text after the first 1023 characters of a line is a piece, not a line.
        {"the tail of a long line", std::string(1023, ';') + "\2\r\n", std::string(1023, ';') + "\2\r\n"},
        {"empty file", "", ""},
        {"a comment after", "\1 ;x\r\n", "\1 ;x\r\n", "Config switches"},
        // Text mode reads CR CR LF as a CR, then a line end.
        {"CR CR LF", "\1\r\r\n\2\r\r\n", "\1\r\r\n\2\r\r\n", "Config switches"},
        {"CR CR LF", "\1\r\r\n\2\r\r\n", "\3\r\r\n\4\r\r\n", "Settings values"},
        {"a long line beginning with it", "\1" + std::string(1500, ' ') + "\r\n", "\1" + std::string(1500, ' ') + "\r\n", "Config switches"},
        {"more after the value", "\1 ; x\r\n\2" "1\r\n", "\3 ; x\r\n\4" "1\r\n", "Settings values"},
        {"a long line beginning with it", "\2" + std::string(4945, ',') + "\r\n", "\4" + std::string(4945, ',') + "\r\n", "Settings values"},
    };
    const std::vector<std::pair<std::string, std::string>> decoys[] = {  // lines like the rule's that are not
        {{"one more digit", "HKR,Config,DISMPU,1,00"}, {"another value", "HKR,Config,DISMPU,1,2"},
         {"a blank inside", "HKR, Config,DISMPU,1,0"}},
        {{"a blank too few", "HKR,\"Settings\",\"JackConfig\",     0x00010001,0x05,0,0,0"},
         {"lower case", "hkr,\"settings\",\"jackconfig\",      0x00010001,0x05,0,0,0"},
         {"without quotes", "HKR,Settings,EnableLegacy,      0x00010001,0x03,0,0,0"},
         {"another default", Digit(kLegacy, '1')}, {"cut short", kJacks.substr(0, 54)}},
    };
    for (int r = 0; r < 2; ++r) {
        const Rule& rule = rules[r];
        auto expand = [&](std::string text) {
            for (char c = '\1'; c <= '\4'; ++c) {
                for (std::size_t at = text.find(c); at != std::string::npos; at = text.find(c, at)) text.replace(at, 1, rule.lines[c - 1]);
            }
            return text;
        };
        for (const Row& row : rows) {
            if (!row.onlyFor.empty() && row.onlyFor != rule.name) continue;
            TestMachine machine;  // its text-mode ftell miscounts LF-only lines as the run-time's does
            EXPECT_EQ(rule.run(machine, expand(row.text)), expand(row.expected)) << rule.name << ": " << row.name;
        }
        for (const auto& [name, decoy] : decoys[r]) {
            TestMachine machine;
            EXPECT_EQ(rule.run(machine, decoy + "\r\n"), decoy + "\r\n") << rule.name << ": " << name;
            EXPECT_EQ(machine.GetJournal().Count("sleep"), 0u) << rule.name << ": " << name;
        }
    }
    TestMachine readOnly;
    readOnly.Files().PutFile("C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF", kSettings, platform::FILE_ATTRIBUTE_READONLY);
    setup::RewriteSettingsValues(readOnly, "C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF", Options("legacy mic"));
    EXPECT_EQ(readOnly.Files().ReadFile("C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF"), kSettings);
    EXPECT_EQ(readOnly.GetJournal().Count("sleep"), 0u);
}

std::string InfPath(KernelStreamingInf inf) { return std::string("C:\\WINDOWS\\INF\\") + setup::ToString(inf); }
std::string NewPath(KernelStreamingInf inf) {
    const std::string path = InfPath(inf);
    return path.substr(0, path.size() - 4) + ".new";
}

TEST(InfCopyFlags, TheSystemInfsAndOnlyTheChosenOnes) {
    for (const setup::KernelStreamingInfs chosen : std::vector<setup::KernelStreamingInfs>{
             {}, {KernelStreamingInf::KsFilter}, {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio},
             setup::kAllKernelStreamingInfs}) {
        TestMachine machine;
        for (KernelStreamingInf inf : setup::kEachKernelStreamingInf) {
            machine.Files().PutFile(InfPath(inf), TestInf(std::string("system/") + setup::ToString(inf)));
        }
        setup::RewriteCopyFlags(machine.Journaled(), chosen);
        for (KernelStreamingInf inf : setup::kEachKernelStreamingInf) {
            const bool isChosen = chosen.Has(inf);
            const std::string name = setup::ToString(inf);
            EXPECT_EQ(machine.Files().ReadFile(InfPath(inf)), TestInf((isChosen ? "system/rewritten/" : "system/") + name)) << name;
            EXPECT_EQ(machine.Files().ReadFile(NewPath(inf)),
                      isChosen ? std::optional(TestInf("system/rewritten/" + name)) : std::nullopt) << name;
        }
    }
}

TEST(InfCopyFlags, Lines) {
    const KernelStreamingInf ks = KernelStreamingInf::Ks, wdmaudio = KernelStreamingInf::WdmAudio,
                             ksfilter = KernelStreamingInf::KsFilter;
    const std::string flag = ",,,0x00000010\r\n";
    struct Row {
        KernelStreamingInf inf;
        std::string before, after;
    } rows[] = {
        {ks, "[KS.CopyFiles]\r\nKS.SYS\r\n", "[KS.CopyFiles]\r\nks.sys" + flag},
        {ks, "KS.SYS\r\n[KS.DelFiles]\r\nKS.SYS\r\n", "ks.sys" + flag + "[KS.DelFiles]\r\nKS.SYS\r\n"},
        {ks, "[Ks.Remove.DELFILES]\r\nstream.sys\r\n[KS.CopyFiles]\r\nks.sys\r\n",
         "[Ks.Remove.DELFILES]\r\nstream.sys\r\n[KS.CopyFiles]\r\nks.sys\r\n"},
        {ks, "ks.sys,,,0x00000002 ; the tail goes\r\n", "ks.sys" + flag},
        {ks, "ksuser.dll\r\nStream.Sys,,,4\r\nksproxy.ax\r\n", "ksuser.dll" + flag + "stream.sys" + flag + "ksproxy.ax" + flag},
        {ks, std::string(1023, 'x') + "ks.sys\r\n", std::string(1023, 'x') + "ks.sys\r\n"},
        {ks, std::string(1022, 'x') + "\r\nks.sys\r\n", std::string(1022, 'x') + "\r\nks.sys" + flag},
        {ks, std::string("a\0b\r\nks.sys\r\n", 13), std::string("a\0b\r\n", 5) + "ks.sys" + flag},
        {wdmaudio, "[WDMAUDIO.CopyList]\r\nStream.Sys\r\n[WDMAUDIO.DelFiles]\r\nStream.Sys\r\n",
         "[WDMAUDIO.CopyList]\r\nstream.sys" + flag + "[WDMAUDIO.DelFiles]\r\nStream.Sys\r\n"},
        {ksfilter, "MSPCLOCK.SYS,,,0x00000004\r\nmskssrv.sys\r\n", "mspclock.sys" + flag + "mskssrv.sys" + flag},
        {ksfilter, "ks.sys\r\nstream.sys\r\n", "ks.sys\r\nstream.sys\r\n"},
            };
    for (const Row& row : rows) {
        TestMachine machine;
        machine.Files().PutFile(InfPath(row.inf), row.before);
        setup::RewriteCopyFlags(machine.Journaled(), {row.inf});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(row.inf)), row.after) << setup::ToString(row.inf) << ": " << row.before;
    }
}

TEST(InfCopyFlags, AnInfThatCannotBeReplacedStaysAsItWas) {
    const KernelStreamingInf ks = KernelStreamingInf::Ks;
    const std::string before = "ks.sys\r\n", rewritten = "ks.sys,,,0x00000010\r\n";
    struct Row {
        const char* name;
        std::string newBefore, machineIni;  // an earlier run's .new file ("" none)
        std::optional<std::string> inf, newFile;
    } rows[] = {
        {"read-only INF", "", "[Attributes]\nC:\\WINDOWS\\INF\\ks.inf = R\n", before, rewritten},
        {"read-only .new file", "old", "[Attributes]\nC:\\WINDOWS\\INF\\ks.new = R\n", before, "old"},
        {"CopyFile fails", "", "[Faults]\nCopyFile = always\n", before, rewritten},
        {"the INF does not open", "", "[Faults]\nfopen = call 1\n", before, ""},
        {"the .new file does not open", "", "[Faults]\nfopen = call 2\n", before, std::nullopt},
        {"a longer .new file of an earlier run", std::string(100, 'x'), "", rewritten, rewritten},
    };
    for (const Row& row : rows) {
        TestMachine machine;
        machine.Files().PutFile(InfPath(ks), before);
        if (!row.newBefore.empty()) machine.Files().PutFile(NewPath(ks), row.newBefore);
        vm::ApplyMachineIni(row.machineIni, "machine.ini", machine);
        setup::RewriteCopyFlags(machine.Journaled(), {ks});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(ks)), row.inf) << row.name;
        EXPECT_EQ(machine.Files().ReadFile(NewPath(ks)), row.newFile) << row.name;
    }
}

TEST(InfSourceDisks, EachFormWithItsKeyPresentOrAbsent) {
    const std::string vxd = TestInf("vxd/OVAUDIO.INF"), wdm = TestInf("wdm/OVAUDIO.INF");
    const std::string vxdDisk = "1=\"Orvanta PCI Audio Driver Disk\",,0", wdmDisk = "200=\"Orvanta WDM Audio Driver Disk\",,,";
    const std::string lastFile = "ovprop.dll=200\r\n", shortWdm = "C:\\PROGRA~1\\ORVANTA\\WIN_ME";
    // Described otherwise, and naming the catalog's disk already.
    const std::string wdmOther = Replaced(wdm, {{wdmDisk, "200=\"Orvanta WDM Driver CD\",,,"}, {lastFile, lastFile + "ovaudio.cat=1\r\n"}});
    struct Row {
        SourceDiskForm form;
        std::string inf, expected;
        bool stagingFolders = true;
    } rows[] = {
        {SourceDiskForm::VxdLongPath, vxd, Replaced(vxd, {{vxdDisk, vxdDisk + ", C:\\Program Files\\Orvanta\\WIN_9x"}})},
        {SourceDiskForm::VxdLongPath, wdm, Replaced(wdm, {{wdmDisk + "\r\n", wdmDisk + "\r\n1=, C:\\Program Files\\Orvanta\\WIN_9x\r\n"}})},
        // Windows 9x puts a blank line before a section it appends.
        {SourceDiskForm::VxdLongPath, "[Version]\r\n", "[Version]\r\n\r\n[SourceDisksNames]\r\n1=, C:\\Program Files\\Orvanta\\WIN_9x\r\n"},
        {SourceDiskForm::WdmFixedDescription, wdm, Replaced(wdm, {{wdmDisk, wdmDisk + shortWdm}, {lastFile, lastFile + "ovaudio.cat=200\r\n"}})},
        {SourceDiskForm::WdmFixedDescription, wdmOther,
         Replaced(wdmOther, {{"200=\"Orvanta WDM Driver CD\",,,", wdmDisk + shortWdm}, {"ovaudio.cat=1\r\n", "ovaudio.cat=200\r\n"}})},
        {SourceDiskForm::WdmFixedDescription, vxd, vxd},
        {SourceDiskForm::WdmFixedDescription, wdm, wdm, false},
        {SourceDiskForm::VxdShortPath, vxd, Replaced(vxd, {{vxdDisk, vxdDisk + ", C:\\PROGRA~1\\ORVANTA\\WIN_9X"}})},
        {SourceDiskForm::VxdShortPath, wdm, wdm},
        {SourceDiskForm::VxdShortPath, vxd, vxd, false},
        {SourceDiskForm::VxdShortPath, "[SourceDisksNames]\r\n1=\"" + std::string(1500, 'D') + "\",,0\r\n",
         "[SourceDisksNames]\r\n1=\"" + std::string(1500, 'D') + "\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X\r\n"},
        {SourceDiskForm::WdmAppendedShortPath, wdm, Replaced(wdm, {{wdmDisk, wdmDisk + shortWdm}, {lastFile, lastFile + "ovaudio.cat=200\r\n"}})},
        {SourceDiskForm::WdmAppendedShortPath, wdmOther,
         Replaced(wdmOther, {{"Driver CD\",,,", "Driver CD\",,," + shortWdm}, {"ovaudio.cat=1\r\n", "ovaudio.cat=200\r\n"}})},
        {SourceDiskForm::WdmAppendedShortPath, vxd, vxd},
        {SourceDiskForm::WdmAppendedShortPath, wdm, wdm, false},
    };
    for (const Row& row : rows) {
        TestMachine machine;
        if (row.stagingFolders) {
            machine.Files().PutDirectory("C:\\Program Files\\Orvanta\\WIN_9x");
            machine.Files().PutDirectory("C:\\Program Files\\Orvanta\\WIN_ME");
        }
        machine.Files().PutFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF", row.inf);
        setup::RewriteSourceDisks(machine.Journaled(), "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF", row.form);
        EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"), row.expected)
            << setup::ToString(row.form) << " " << row.inf.substr(0, 40) << (row.stagingFolders ? "" : " (no staging folder)");
    }
}

}  // namespace
