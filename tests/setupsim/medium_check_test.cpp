// setupsim check: the findings on a medium broken on purpose, the clean
// examples, setup.ini and the INF files line by line, and the plan of driver
// folders and installers for each system.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/inf_check.h"
#include "setupsim/medium_check.h"
#include "setupsim/setup_ini_check.h"
#include "setupsim/system_plan.h"
#include "startup/install_options.h"

namespace {

using namespace medium_test;
using setupsim::Severity;
constexpr Severity kError = Severity::Error, kWarning = Severity::Warning, kOk = Severity::Ok;
namespace fs = std::filesystem;

TEST(SetupsimCheck, BrokenMediumShowsEachKindOfFinding) {
    const std::string findings = Described(setupsim::CheckMedium(setupsim::LoadMedium(kExamples + "broken-medium")));
    for (const char* line : {
             "warning: WIN_ME\\ is present too, but the program never uses it",
             "warning: line 4: \"windowsMEDriver\" differs from \"WindowsMEDriver\" only in case",
             "error: line 5: \"Windows98SEDriverAskUsr\" looks like a misspelt \"Windows98SEDriverAskUser\"",
             "error: line 2: DriverOnly = \"no\" is not a number: the program reads 0",
             "error: Windows 95, VxD driver: the driver folders W95-98\\drv\\95\\ and W95-98\\drv\\ are missing",
             "warning: Windows 95, VxD driver: the applications installer W95-98\\app\\Setup.exe is missing; the program falls back to W2K-ME\\app\\Setup.exe",
             "error: Windows NT 4.0: the applications installer NT40\\app\\Setup.exe is missing",
             "error: Windows XP: neither W2KSetup.dat nor W2KSetup.exe is on the medium",
             "error: ovaudio.cat is missing from W2K-ME\\drv\\", "warning: Mixer.dat is missing from W2K-ME\\drv\\", "warning: Dosdrv\\ is missing",
             "error: W2K-ME\\drv\\OVAUDIO.INF has no line HKR,\"Settings\",\"EnableLegacy\"",
             "error: W2K-ME\\drv\\OVKS.Inf: the program looks for \".inf\" or \".INF\"",
             "error: W2K-ME\\drv\\OVAUDIO.INF line 33 differs by blanks from the line the rule looks for",
             "error: W2K-ME\\drv\\OVAUDIO.INF line 8 [SourceDiskNames] looks like a misspelt [SourceDisksNames]",
             "warning: W2K-ME\\drv\\OVAUDIO.INF has 37 line ends that are an LF alone"})
        EXPECT_NE(findings.find(line), std::string::npos) << line << "\n" << findings;
    const Output cli = Setupsim({"check", kExamples + "broken-medium"});
    EXPECT_EQ(cli.code, 1);
    EXPECT_EQ(cli.out.rfind("setupsim check: medium folder", 0), 0u);
    EXPECT_NE(cli.out.find("\n  error: line 5: "), std::string::npos) << cli.out;
    const nlohmann::json json = nlohmann::json::parse(Setupsim({"check", "--json", kExamples + "broken-medium"}).out);
    EXPECT_EQ(json["errors"].get<std::size_t>(), std::count_if(json["findings"].begin(), json["findings"].end(), [](const auto& f) { return f["severity"] == "error"; }));
}

TEST(SetupsimCheck, CommandLineOnCleanExamplesAndBadFolders) {
    struct Row { std::vector<std::string> args; int code; const char* output; };
    const Row rows[] = {
        {{"check", kExamples + "win98se-cd"}, 0, "setupsim check: machine folder"},
        {{"check", kExamples + "win98se-cd/E"}, 0, "setupsim check: medium folder"},
        {{"check", "--strict", kExamples + "win98se-cd"}, 1, "0 errors, "},  // its medium carries no INF files
        {{"check", "--strict", kExamples + "flat-package"}, 0, "0 errors, 0 warnings"},
        {{"check"}, 2, "MEDIUM"},
        {{"check", kExamples + "no-such-medium"}, 2, "is not a folder"},
        {{"matrix", kExamples + "no-such-medium"}, 2, "is not a folder"},
    };
    for (const Row& row : rows) {
        const Output result = Setupsim(row.args);
        EXPECT_EQ(result.code, row.code) << row.args.back();
        EXPECT_NE((row.code == 2 ? result.err : result.out).find(row.output), std::string::npos) << result.out << result.err;
    }
    const fs::path medium = fs::temp_directory_path() / ("medium-check-" + std::to_string(::getpid()));
    fs::remove_all(medium);
    fs::create_directories(medium / "E" / "Drivers" / "W2K-ME" / "drv");
    std::ofstream(medium / "machine.ini") << "[Machine]\nProgramPath = E:\\Drivers\\setup.exe\n";
    std::ofstream(medium / "E" / "Drivers" / "setup.exe") << "MZ";
    std::ofstream(medium / "E" / "other.txt") << "not on the medium";
    std::string paths;
    for (const setupsim::MediumEntry& entry : setupsim::LoadMedium(medium.string()).entries) paths += entry.path + " ";
    EXPECT_EQ(paths, "W2K-ME W2K-ME\\drv setup.exe ");  // the folder of its program
    fs::create_directory_symlink(medium / "E", medium / "E" / "Drivers" / "again");
    const Output loop = Setupsim({"check", (medium / "E").string()});
    EXPECT_EQ(loop.code, 2);
    EXPECT_NE(loop.err.find("a link leads back into a folder above it"), std::string::npos) << loop.err;
    fs::remove_all(medium);
}

TEST(SetupsimCheck, SetupIniAsTheProgramReadsIt) {
    struct Row { const char* text; Severity severity; const char* fragment; };  // nullptr: no setup.ini, no finding
    const Row rows[] = {
        {"[InstallOption]\r\nDriverOnly=1\r\nWindowsMEDriver=-1\r\n[Default]\r\nUsingCDDA=007\r\n", kOk, nullptr},
        {nullptr, kWarning, "there is no setup.ini"},
        {"[InstallOption]\nDriverOnly=1x\n", kError, "\"1x\" is not a number: the program reads 1"},
        {"[InstallOption]\nDriverOnly=1 ; yes\n", kWarning, "reads 1 and ignores the text after it"},
        {"[InstallOption]\nWebSetup=+1\n", kError, "\"+1\" is not a number: the program reads 0"},
        {"[InstallOption]\nWindowsMEDriver=\n", kError, "is empty: the program reads 0, not the default 1"},
        {"[InstallOption]\nDriverOnly=\n", kWarning, "is empty: the program reads 0"},
        {"[InstallOption]\nDriverOnly=4294967297\n", kError, "is out of range: the program reads 1"},
        {"[InstallOption]\ndriveronly=1\n", kWarning, "only in case; the profile functions ignore case"},
        {"[InstallOption]\nWebSetu=1\n", kError, "looks like a misspelt \"WebSetup\": the program does not read it, so \"WebSetup\" keeps its default 0"},
        {"[InstallOption]\nDriverOnly=1\nDrverOnly=1\n", kWarning, "(\"DriverOnly\" is set as well)"},
        {"[InstallOption]\nColour=blue\n", kWarning, "\"Colour\" is not a key the program reads"},
        {"[InstallOptions]\nDriverOnly=1\n", kError, "looks like a misspelt [InstallOption]"},
        {"[Extras]\nDriverOnly=1\n", kWarning, "[Extras] is not a section the program reads"},
        {"[installoption]\nDriverOnly=1\n", kWarning, "differs from [InstallOption] only in case"},
        {"[InstallOption]\nUsingCDDA=1\n", kError, "is read from [Default], not from [InstallOption]"},
        {"[InstallOption]\nDriverOnly=1\nDriverOnly=0\n", kWarning, "line 3: \"DriverOnly\" is set again: the program reads the one on line 2"},
        {"[InstallOption]\nDriverOnly=1\n[InstallOption]\nWebSetup=1\n", kWarning, "line 3: [InstallOption] appears again"},
        {"DriverOnly=1\n[InstallOption]\n", kError, "stands before any section header"},
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
        {Replaced(kVxdInf, "HKR,Config,MICasBASS", "HKR, Config,MICASBASS"), InfKind::Vxd, "error: OVAUDIO.INF line 12 differs by blanks and case from"},
        {Replaced(kVxdInf, "LINEINasREAR,1,1", "LINEINasREAR,1,0"), InfKind::Vxd, "error: OVAUDIO.INF line 10 differs by the value 0 where the rule expects 1"},
        {Replaced(kWdmInf, "\"JackConfig\",      ", "\"JackConfig\",     "), InfKind::Wdm, "error: OVAUDIO.INF line 9 differs by blanks from the line the rule looks for: the phone-jack choice"},
        {Replaced(kVxdInf, "HKR,Config,DISMPU,1,0\r\n", ""), InfKind::Vxd, "error: OVAUDIO.INF has no line HKR,Config,DISMPU,1,0: the Disable MIDI port choice would silently change nothing"},
        {kVxdInf.substr(0, kVxdInf.size() - 2), InfKind::Vxd, "error: OVAUDIO.INF line 12 differs by a missing line end (the last line of a file is never matched)"},
        {Replaced(kWdmInf, "200=\"Orvanta WDM Audio Driver Disk\",,,", "200="), InfKind::Wdm, "error: OVAUDIO.INF has no [SourceDisksNames] 200 (or it is empty)"},
        {Replaced(kWdmInf, "[SourceDisksNames]", "[SourceDiskNames]"), InfKind::Wdm, "error: OVAUDIO.INF line 4 [SourceDiskNames] looks like a misspelt [SourceDisksNames]"},
        {Replaced(kVxdInf, "\r\n", "\n"), InfKind::Vxd, "warning: OVAUDIO.INF has 12 line ends that are an LF alone"},
        {Replaced(kVxdInf, "\r\n", "\r"), InfKind::Vxd, "error: OVAUDIO.INF has no line HKR,Config,DISMPU,1,0|error: OVAUDIO.INF has no line HKR,Config,DISJSTK|"
                                                        "error: OVAUDIO.INF has no line HKR,Config,LINEINasREAR|error: OVAUDIO.INF has no line HKR,Config,LINEINasBASS|"
                                                        "error: OVAUDIO.INF has no line HKR,Config,MICasBASS|error: OVAUDIO.INF has 12 line ends that are a CR alone"},
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
    EXPECT_EQ(setupsim::LikelyInfKind(kVxdInf), InfKind::Vxd);
    const std::string others = Described(setupsim::CheckMedium(MediumOf({{"setup.ini", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n"},
        {"OV9XAUD.INF", kVxdInf}, {"OVAUDIO.INF", kWdmInf}, {"ovaudio.cat", "catalog"}, {"W2KSetup.exe", "MZ"}})));
    EXPECT_NE(others.find("warning: OV9XAUD.INF looks like a VxD INF file, but only the WDM driver is staged from the package folder"), std::string::npos) << others;
    EXPECT_NE(others.find("ok: OVAUDIO.INF (WDM): every line"), std::string::npos) << others;
    EXPECT_EQ(others.find("error: "), std::string::npos) << others;
}

TEST(SetupsimCheck, DriverFolderAndInstallerPerSystem) {
    const std::vector<std::pair<std::string, std::string>> perSystem = {{"WIN_9x\\drv\\95\\ovaudio.vxd", "MZ"}, {"WIN_9x\\drv\\98\\ovaudio.vxd", "MZ"},
        {"WIN_ME\\drv\\ovwdm.sys", "MZ"}, {"WIN_9x\\app\\Setup.exe", "MZ"}, {"WIN_ME\\app\\Setup.exe", "MZ"}, {"WIN_NT40\\app\\Setup.exe", "MZ"}};
    const std::vector<std::pair<std::string, std::string>> flat = {{"OVAUDIO.INF", ""}};
    const std::vector<std::pair<std::string, std::string>> driversOnly = {{"W2K-ME\\app\\Setup.exe", "MZ"}, {"W95-98\\drv\\ovaudio.vxd", "MZ"}, {"W95-98\\app\\Setup.exe", "MZ"}};
    struct Row { const char* setupIni; const std::vector<std::pair<std::string, std::string>>& files; const char* planned; };
    const Row rows[] = {
        {"", perSystem, "95 VxD WIN_9x\\drv\\95\\ -> WIN_9x\\app\\Setup.exe|98 VxD WIN_9x\\drv\\98\\ -> WIN_9x\\app\\Setup.exe|98SE VxD WIN_9x\\drv\\98\\ -> WIN_9x\\app\\Setup.exe|ME WDM WIN_ME\\drv\\ -> WIN_ME\\app\\Setup.exe|"},
        // The user is asked on 98 SE and ME; the 98 first edition follows Windows98SEDriver.
        {"[InstallOption]\nWindows98SEDriverAskUser=1\nWindowsMEDriverAskUser=1\nWindows98SEDriver=1\n", perSystem,
         "95 VxD WIN_9x\\drv\\95\\ -> WIN_9x\\app\\Setup.exe|98 WDM WIN_ME\\drv\\ -> WIN_ME\\app\\Setup.exe|98SE VxD WIN_9x\\drv\\98\\ asked -> WIN_9x\\app\\Setup.exe|"
         "98SE WDM WIN_ME\\drv\\ asked -> WIN_ME\\app\\Setup.exe|ME VxD WIN_9x\\drv\\98\\ asked -> WIN_9x\\app\\Setup.exe|ME WDM WIN_ME\\drv\\ asked -> WIN_ME\\app\\Setup.exe|"},
        // Without its system's folder the VxD driver comes from drv\ itself.
        {"[InstallOption]\nWindowsMEDriver=0\n", driversOnly, "95 VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe|98 VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe|98SE VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe|ME VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe|"},
        // The option dialogs take the package folder; the WDM one refuses 95 and 98.
        {"[InstallOption]\nWebSetup=1\nInstallWDMDriver=1\n", flat, "98SE WDM |ME WDM |"},
        {"[InstallOption]\nWebSetup=2\n", flat, "95 VxD |98 VxD |98SE VxD |ME VxD |"},
    };
    for (const Row& row : rows) {
        auto files = row.files;
        files.push_back({"setup.ini", row.setupIni});
        vm::VirtualMachine machine;
        setupsim::PutMedium(machine.Files(), MediumOf(files));
        std::string planned;
        for (const auto& d : setupsim::CheckSystems(machine, setup::ReadInstallOptions(machine, setupsim::kMediumRoot)).drivers)
            planned += std::string(vm::ToString(d.version)) + (d.vxd ? " VxD " : " WDM ") + setupsim::OnMedium(d.driverFolder) + (d.asked ? " asked" : "") +
                       (d.installer ? " -> " + setupsim::OnMedium(*d.installer) : "") + "|";
        EXPECT_EQ(planned, row.planned) << row.setupIni;
    }
}

}  // namespace
