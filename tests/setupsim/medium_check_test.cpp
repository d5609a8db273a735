// setupsim check: the findings on a medium broken on purpose, the clean
// examples, bad folders, and setup.ini and the INF files line by line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/inf_check.h"
#include "setupsim/medium_check.h"
#include "setupsim/setup_ini_check.h"

namespace {

using namespace medium_test;
using setupsim::Severity;
constexpr Severity kError = Severity::Error, kWarning = Severity::Warning, kOk = Severity::Ok;
namespace fs = std::filesystem;

TEST(SetupsimCheck, BrokenMediumShowsEachKindOfFinding) {
    std::string findings;
    for (const auto& group : setupsim::CheckMedium(setupsim::LoadMedium(kExamples + "broken-medium")).groups) findings += Described(group.findings);
    for (const char* line : {
             "warning: WIN_ME\\ is present too, but the program never uses it",
             "warning: line 4: \"windowsMEDriver\" differs from \"WindowsMEDriver\" only in case",
             "error: line 5: \"Windows98SEDriverAskUsr\" looks like a misspelt \"Windows98SEDriverAskUser\"",
             "error: line 2: DriverOnly = \"no\" is not a number: the program reads 0",
             "error: Windows 95, VxD driver: the driver folders W95-98\\drv\\95\\ and W95-98\\drv\\ are missing",
             "warning: Windows 95, VxD driver: the applications installer W95-98\\app\\Setup.exe is missing; the program falls back to W2K-ME\\app\\Setup.exe",
             "error: Windows NT 4.0: the applications installer NT40\\app\\Setup.exe is missing",
             "error: Windows XP: neither W2KSetup.dat nor W2KSetup.exe is on the medium", "error: ovaudio.cat is missing from W2K-ME\\drv\\",
             "warning: Mixer.dat is missing from W2K-ME\\drv\\", "warning: Dosdrv\\ is missing",
             "error: W2K-ME\\drv\\OVAUDIO.INF has no line HKR,\"Settings\",\"EnableLegacy\"",
             "error: W2K-ME\\drv\\OVKS.Inf: the program looks for \".inf\" or \".INF\"",
             "error: W2K-ME\\drv\\OVAUDIO.INF line 33 differs by blanks from the line the rule looks for",
             "error: W2K-ME\\drv\\OVAUDIO.INF line 8 [SourceDiskNames] looks like a misspelt [SourceDisksNames]",
             "warning: W2K-ME\\drv\\OVAUDIO.INF has 37 line ends that are an LF alone"})
        EXPECT_NE(findings.find(line), std::string::npos) << line << "\n" << findings;
    const Output cli = Setupsim({"check", kExamples + "broken-medium"});
    EXPECT_TRUE(cli.code == 1 && cli.out.rfind("setupsim check: medium folder", 0) == 0) << cli.out;
    EXPECT_NE(cli.out.find("\n  error: line 5: "), std::string::npos) << cli.out;
    const nlohmann::json json = nlohmann::json::parse(Setupsim({"check", "--json", kExamples + "broken-medium"}).out);
    EXPECT_EQ(json["errors"].get<std::size_t>(), std::count_if(json["findings"].begin(), json["findings"].end(), [](const auto& f) { return f["severity"] == "error"; }));
}

TEST(SetupsimCheck, CommandLineOnCleanExamplesAndBadFolders) {
    const fs::path loop = fs::temp_directory_path() / ("medium-check-loop-" + std::to_string(::getpid()));
    fs::remove_all(loop);
    fs::create_directories(loop / "W2K-ME");
    fs::create_directory_symlink(loop, loop / "W2K-ME" / "again");
    struct Row { std::vector<std::string> args; int code; const char* output; };
    const Row rows[] = {
        {{"check", kExamples + "win98se-cd"}, 0, "setupsim check: machine folder"},
        {{"check", kExamples + "win98se-cd/E"}, 0, "setupsim check: medium folder"},
        {{"check", "--strict", kExamples + "win98se-cd"}, 1, "0 errors, "},  // its medium carries no INF files
        {{"check", "--strict", kExamples + "flat-package"}, 0, "0 errors, 0 warnings"}, {{"check"}, 2, "MEDIUM"},
        {{"check", kExamples + "no-such-medium"}, 2, "is not a folder"}, {{"check", loop.string()}, 2, "a link leads back into a folder above it"},
    };
    for (const Row& row : rows) {
        const Output result = Setupsim(row.args);
        EXPECT_EQ(result.code, row.code) << row.args.back();
        EXPECT_NE((row.code == 2 ? result.err : result.out).find(row.output), std::string::npos) << result.out << result.err;
    }
    fs::remove_all(loop);
}

TEST(SetupsimCheck, SetupIniAsTheProgramReadsIt) {
    struct Row { const char* text; Severity severity; const char* fragment; };  // nullptr: no setup.ini, no finding
    const Row rows[] = {
        {"[InstallOption]\r\nDriverOnly=1\r\nWindowsMEDriver=-1\r\n[Default]\r\nUsingCDDA=007\r\n", kOk, nullptr},
        {nullptr, kWarning, "there is no setup.ini"}, {"[InstallOption]\nDriverOnly=1x\n", kError, "\"1x\" is not a number: the program reads 1"},
        {"[InstallOption]\nWindowsMEDriver=\n", kError, "is empty: the program reads 0, not the default 1"},
        {"[InstallOption]\nDriverOnly=4294967297\n", kError, "is out of range: the program reads 1"},
        {"[InstallOption]\nWebSetu=1\n", kError, "looks like a misspelt \"WebSetup\": the program does not read it, so \"WebSetup\" keeps its default 0"},
        {"[InstallOption]\nColour=blue\n", kWarning, "\"Colour\" is not a key the program reads"},
        {"[InstallOptions]\nDriverOnly=1\n", kError, "looks like a misspelt [InstallOption]"}, {"[Extras]\nDriverOnly=1\n", kWarning, "[Extras] is not a section the program reads"},
        {"[InstallOption]\nUsingCDDA=1\n", kError, "is read from [Default], not from [InstallOption]"},
        {"[InstallOption]\nDriverOnly=1\nDriverOnly=0\n", kWarning, "line 3: \"DriverOnly\" is set again: the program reads the one on line 2"},
        {"DriverOnly=1\n[InstallOption]\n", kError, "stands before any section header"},
        {"[Default]\nLog=\n", kOk, nullptr}, {"[Default]\nLog=C:\\s.log\n", kWarning, "Log = \"C:\\s.log\": every run writes a log of its effects there;"},
        {"[Default]\nLog=s.log\n", kWarning, "relative to the folder it is started in"},
        {"[Default]\nLogg=C:\\s.log\n", kError, "looks like a misspelt \"Log\": the program does not read it, so no log is written"},
    };
    for (const Row& row : rows) {
        const auto findings = setupsim::CheckSetupIni(row.text ? std::optional<std::string>(row.text) : std::nullopt);
        const std::string context = std::string(row.text ? row.text : "(none)") + "\n" + Described(findings);
        ASSERT_EQ(findings.size(), row.fragment ? 1u : 0u) << context;
        if (!row.fragment) continue;
        EXPECT_EQ(findings[0].severity, row.severity) << context;
        EXPECT_NE(findings[0].text.find(row.fragment), std::string::npos) << context;
    }
}

const std::string kVxdInf =
    "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n1=\"Orvanta VxD Audio Driver Disk\",,0001\r\n\r\n[OVX4720.AddReg]\r\n"
    "HKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\nHKR,Config,LINEINasREAR,1,1\r\nHKR,Config,LINEINasBASS,1,0\r\nHKR,Config,MICasBASS,1,0\r\n";
const std::string kWdmInf =
    "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n200=\"Orvanta WDM Audio Driver Disk\",,,\r\n\r\n[OVX4720.AddReg]\r\n"
    "HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0\r\nHKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0\r\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
    return text;
}

TEST(SetupsimCheck, InfLinesTheRulesLookFor) {
    using setupsim::InfKind;
    struct Row { std::string content; InfKind kind; const char* findings; };  // each finding: severity and its start
    const Row rows[] = {
        {kVxdInf, InfKind::Vxd, "ok: OVAUDIO.INF (VxD): every line the rules edit and [SourceDisksNames] 1 are as the rules look for"},
        {Replaced(kWdmInf, "0x05,0,0,0", "0x05,0,0,0 ; jacks"), InfKind::Wdm, "ok: OVAUDIO.INF (WDM): every line the rules edit and [SourceDisksNames] 200"},
        {Replaced(kVxdInf, "DISMPU,1,0", "DISMPU,1,0 ; MIDI"), InfKind::Vxd, "error: OVAUDIO.INF line 8 differs by a comment from the line the rule looks for: the Disable MIDI port choice"},
        {Replaced(kVxdInf, "LINEINasREAR,1,1", "LINEINasREAR,1,0"), InfKind::Vxd, "error: OVAUDIO.INF line 10 differs by the value 0 where the rule expects 1"},
        {Replaced(kWdmInf, "\"JackConfig\",      ", "\"JackConfig\",     "), InfKind::Wdm, "error: OVAUDIO.INF line 9 differs by blanks from the line the rule looks for: the phone-jack choice"},
        {Replaced(kVxdInf, "HKR,Config,DISMPU,1,0\r\n", ""), InfKind::Vxd, "error: OVAUDIO.INF has no line HKR,Config,DISMPU,1,0: the Disable MIDI port choice would silently change nothing"},
        {kVxdInf.substr(0, kVxdInf.size() - 2), InfKind::Vxd, "error: OVAUDIO.INF line 12 differs by a missing line end (the last line of a file is never matched)"},
        {Replaced(kWdmInf, "[SourceDisksNames]", "[SourceDiskNames]"), InfKind::Wdm, "error: OVAUDIO.INF line 4 [SourceDiskNames] looks like a misspelt [SourceDisksNames]"},
        {Replaced(kVxdInf, "\r\n", "\n"), InfKind::Vxd, "warning: OVAUDIO.INF has 12 line ends that are an LF alone"},
        {Replaced(kVxdInf, "\r\n", "\r"), InfKind::Vxd, "error: OVAUDIO.INF has 12 line ends that are a CR alone|error: OVAUDIO.INF has no line HKR,Config,DISMPU|error: OVAUDIO.INF has no line "
        "HKR,Config,DISJSTK|error: OVAUDIO.INF has no line HKR,Config,LINEINasREAR|error: OVAUDIO.INF has no line HKR,Config,LINEINasBASS|error: OVAUDIO.INF has no line HKR,Config,MICasBASS"},
    };
    for (const Row& row : rows) {
        std::string expected = std::string(row.findings) + "|", seen = Described(setupsim::CheckInfFile("OVAUDIO.INF", row.content, row.kind));
        for (std::size_t at = 0; (at = expected.find('|')) != std::string::npos; expected.erase(0, at + 1)) {
            const std::size_t line = seen.find(expected.substr(0, at));
            ASSERT_NE(line, std::string::npos) << expected.substr(0, at) << "\n" << seen;
            seen.erase(line, seen.find('\n', line) + 1 - line);
        }
        EXPECT_EQ(seen, "") << row.findings;
    }
    EXPECT_EQ(setupsim::LikelyInfKind(kWdmInf + "HKR,Config,DISMPU,1,0\r\n"), InfKind::Wdm);  // two WDM lines outweigh one VxD line
}

}  // namespace
